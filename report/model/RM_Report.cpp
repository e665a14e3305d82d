#include "report/model/RM_Report.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Dialogs.h"
#include "Forms.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Register.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_FuncLib.h"

TRMDesignerFactory RMDesignerClass;
TRMReportDesigner* CurDesigner = nullptr;
bool RMShowBandTitles = false;

namespace {
const char* const kReportSig = "VodidiVerovev Report File\x1A";
const char* const kTemplateSig = "VodidiVerovev Template File\x1A";
const char* const kPreparedSig = "VodidiVerovev Prepared Report File\x1A";

std::vector<TRMDataset*>& datasets() {
    static std::vector<TRMDataset*> v;
    return v;
}
} // namespace

// ---------------------------------------------------------------- data sets

TRMDataset::TRMDataset(TComponent* owner) : TComponent(owner) { datasets().push_back(this); }
TRMDataset::~TRMDataset() {
    SetMasterDataset(nullptr);
    for (TRMDataset* d : details_) d->master_ = nullptr;
    auto& v = datasets();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

void TRMDataset::SetMasterDataset(TRMDataset* master) {
    if (master == this || master == master_) return;
    if (master_) std::erase(master_->details_, this);
    master_ = master;
    if (master_) master_->details_.push_back(this);
}

TRMDataset* TRMDataset::Find(const std::string& name, TComponent* owner) {
    std::string n = Trim(name);
    size_t dot = n.rfind('.');
    if (owner)
        for (TRMDataset* d : datasets())
            if (d->Owner() == owner && SameText(d->Name(), n)) return d;
    for (TRMDataset* d : datasets()) {
        if (SameText(d->Name(), n)) return d;
        if (dot != std::string::npos && d->Owner() && SameText(d->Name(), n.substr(dot + 1)) &&
            SameText(d->Owner()->Name(), n.substr(0, dot)))
            return d;
    }
    return nullptr;
}

void TRMDataset::First() {
    recNo_ = 0;
    rawFirst();
    for (TRMDataset* d : details_) d->First();
    if (OnFirst) OnFirst();
    eof_ = rawEof();
    if (RangeEnd == reCount && RangeEndCount <= 0) eof_ = true;
}
void TRMDataset::Next() {
    if (eof_) return;
    ++recNo_;
    if (RangeEnd == reCount && recNo_ >= RangeEndCount) {
        eof_ = true;
        return;
    }
    if (RangeEnd == reCurrent && atRangeEnd()) {
        eof_ = true;
        return;
    }
    rawNext();
    for (TRMDataset* d : details_) d->Next();
    if (OnNext) OnNext();
    eof_ = rawEof();
}
void TRMDataset::Prior() {
    if (recNo_ > 0) --recNo_;
    rawPrior();
    for (TRMDataset* d : details_) d->Prior();
    if (OnPrior) OnPrior();
    eof_ = false;
}
bool TRMDataset::Eof() {
    if (eof_ || !OnCheckEOF) return eof_;
    bool eof = false;
    OnCheckEOF(eof);
    return eof;
}

TRMDBDataSet::TRMDBDataSet(TComponent* owner) : TRMDataset(owner) {}

void TRMDBDataSet::Notification(TComponent* component, TOperation operation) {
    TRMDataset::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == dataSet_) dataSet_ = nullptr;
    if (component == dataSource_) dataSource_ = nullptr;
}

void TRMDBDataSet::SetDataSet(TDataSet* ds) {
    if (dataSet_) dataSet_->RemoveFreeNotification(this);
    dataSet_ = ds;
    if (dataSet_) dataSet_->FreeNotification(this);
    SetDataSource(nullptr);
}

void TRMDBDataSet::SetDataSource(TDataSource* ds) {
    if (dataSource_) dataSource_->RemoveFreeNotification(this);
    dataSource_ = ds;
    if (!ds) return;
    ds->FreeNotification(this);
    if (dataSet_) dataSet_->RemoveFreeNotification(this);
    dataSet_ = nullptr;
}

TDataSet* TRMDBDataSet::table() const {
    return dataSource_ && dataSource_->DataSet() ? dataSource_->DataSet() : dataSet_;
}

TDataSet* TRMDBDataSet::GetSourceDataSet() const {
    if (TDataSet* t = table()) return t;
    throw EDSError("Unable to open dataset " + Name());
}

void TRMDBDataSet::Init() {
    TDataSet* t = GetSourceDataSet();
    if (OpenDataSource) {
        if (!t->Active()) t->Open();
        if (OnOpen) OnOpen();
    }
    start_ = t->Active() ? t->GetBookmark() : TBookmark();
    t->DisableControls();
    disabled_ = true;
}

void TRMDBDataSet::Exit() {
    TDataSet* t = table();
    if (!t) return;
    // Back to where the list stood, whatever the range walked.
    if (t->Active() && !start_.empty() && t->BookmarkValid(start_)) t->GotoBookmark(start_);
    start_.clear();
    if (disabled_) t->EnableControls();
    disabled_ = false;
    if (OnClose) OnClose();
    if (CloseDataSource) t->Close();
}

void TRMDBDataSet::First() {
    TDataSet* t = table();
    if (t && RangeBegin == rbCurrent && !start_.empty()) {
        recNo_ = 0;
        t->GotoBookmark(start_);
        for (TRMDataset* d : Details()) d->First();
        if (OnFirst) OnFirst();
        eof_ = t->Eof() || t->IsEmpty();
        return;
    }
    TRMDataset::First();
}

int TRMDBDataSet::MoveBy(int distance) {
    TDataSet* t = GetSourceDataSet();
    return t->MoveBy(distance);
}

bool TRMDBDataSet::rawEof() {
    TDataSet* t = table();
    return !t || !t->Active() || t->Eof() || t->IsEmpty();
}
void TRMDBDataSet::rawFirst() {
    if (TDataSet* t = table()) t->First();
}
void TRMDBDataSet::rawNext() {
    if (TDataSet* t = table()) t->Next();
}
void TRMDBDataSet::rawPrior() {
    if (TDataSet* t = table()) t->Prior();
}
bool TRMDBDataSet::atRangeEnd() {
    TDataSet* t = table();
    return !t || start_.empty() || RMIsSameRecord(t, t->GetBookmark(), start_);
}

Variant TRMDBDataSet::FieldValue(const std::string& field) {
    TDataSet* t = table();
    if (!t) return Variant();
    TField* fd = t->FindField(RMRemoveQuotes(field));
    if (!fd) return Variant();
    Variant v = fd->Value();
    return VarIsNull(v) ? Variant(std::string()) : v;
}

std::vector<std::string> TRMDBDataSet::FieldNames() {
    std::vector<std::string> r;
    if (TDataSet* t = table())
        for (int i = 0; i < t->FieldCount(); ++i) r.push_back(t->Fields()[i]->FieldName());
    return r;
}

// ---------------------------------------------------------------- page lists

std::vector<int> RMParsePageList(const std::string& text, int count) {
    std::string t;
    for (char c : text)
        if (c != ' ' && c != '\t') t += c;
    std::vector<int> out;
    if (t.empty()) {
        for (int i = 1; i <= count; ++i) out.push_back(i);
        return out;
    }
    // "3-" runs to the last page.
    if (t.back() == '-') t += std::to_string(count);
    // The items name a set of pages: they print in page order, each once,
    // whatever order the list names them in.
    std::vector<bool> chosen(size_t(std::max(count, 0)) + 1, false);
    size_t from = 0;
    while (from <= t.size()) {
        size_t comma = t.find(',', from);
        if (comma == std::string::npos) comma = t.size();
        const std::string part = t.substr(from, comma - from);
        from = comma + 1;
        if (part.empty()) continue;
        const size_t dash = part.find('-', 1);
        long long a, b;
        if (dash == std::string::npos)
            a = b = StrToInt64(part);
        else {
            a = StrToInt64(part.substr(0, dash));
            b = StrToInt64(part.substr(dash + 1));
        }
        for (long long i = std::max<long long>(a, 1); i <= std::min<long long>(b, count); ++i) chosen[size_t(i)] = true;
    }
    for (int i = 1; i <= count; ++i)
        if (chosen[size_t(i)]) out.push_back(i);
    return out;
}

// ---------------------------------------------------------------- report

TRMReport::TRMReport(TComponent* owner) : TComponent(owner) {
    Parser.OnGetValue = [this](const std::string& n, bool bracketed) {
        Variant v;
        getValue(n, bracketed, v);
        return v;
    };
    Parser.OnFunction = [this](const TRMFuncCall& c, Variant& r) { return doFunction(c, r); };
    // GETCONTROLPROPVALUE looks for controls under the report's window.
    Parser.Owner = owner;
    RMGetConstants().SetVariable("poPortrait", 0);
    RMGetConstants().SetVariable("poLandscape", 1);
    NewReport();
}

TRMReport::~TRMReport() {
    if (dataset_) dataset_->RemoveFreeNotification(this);
}

void TRMReport::SetDataset(TRMDataset* d) {
    if (dataset_ == d) return;
    if (dataset_) dataset_->RemoveFreeNotification(this);
    dataset_ = d;
    if (d) d->FreeNotification(this);
}

void TRMReport::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == dataset_) dataset_ = nullptr;
}

void TRMReport::NewReport() {
    Pages.Clear();
    Dictionary.Clear();
    ReportInfo = {};
    DoublePass = false;
    Pages.Add()->Name = "Page1";
    FileName = "Untitled";
    Modified = false;
    if (!DefaultDictionaryFile.empty()) Dictionary.LoadFromFile(DefaultDictionaryFile);
}

TRMView* TRMReport::FindObject(const std::string& name) const {
    for (int i = 0; i < Pages.Count(); ++i)
        if (TRMView* v = Pages[i]->FindObject(name)) return v;
    return nullptr;
}

Variant TRMReport::Calc(const std::string& expr) { return Parser.Calc(expr); }

std::string TRMReport::ExpandVariables(const std::string& text, TRMView* view) {
    TRMView* wasView = std::exchange(curView_, view);
    ScopeExit restoreView([&] { curView_ = wasView; });
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '[') {
            out += '[';
            i += 2;
            continue;
        }
        if (c != '[') {
            out += c;
            ++i;
            continue;
        }
        // The outermost bracket, nested ones and quoted texts inside.
        int depth = 0;
        bool q = false;
        size_t j = i;
        for (; j < text.size(); ++j) {
            char d = text[j];
            if (d == '\'') q = !q;
            if (q) continue;
            if (d == '[')
                ++depth;
            else if (d == ']' && --depth == 0)
                break;
        }
        if (j >= text.size()) {
            out += text.substr(i);
            break;
        }
        std::string expr = text.substr(i + 1, j - i - 1);
        int code = view ? view->FormatCode : 0;
        std::string ftext = view ? view->FormatText : std::string();
        RMSplitFormatSuffix(expr, code, ftext);
        Variant v;
        try {
            v = Calc(expr);
        } catch (const Exception& e) {
            RMDataSetError(this, e.Message, view);
            v = Null();
        }
        currentValue_ = v;
        if (view && (view->Flags & flHideZeros) && RMIsNumber(v) && v.AsDouble() == 0) {
        } else {
            out += RMFormatValue(v, code, ftext);
        }
        i = j + 1;
    }
    return out;
}

// ---------------------------------------------------------------- files

void TRMReport::writeBody(TStream& s) {
    for (auto* t :
         {&ReportInfo.Title, &ReportInfo.Author, &ReportInfo.Company, &ReportInfo.CopyRight, &ReportInfo.Comment})
        RMWriteString(s, *t);
    RMWriteByte(s, 0);
    RMWriteBoolean(s, PrintVisibleDefault);
    RMWriteWordBool(s, DoublePass);
    std::string pn = PrinterName;
    if (pn.empty() || SameText(pn, "默认打印机")) pn = "Default Printer";
    if (SameText(pn, "虚拟打印机")) pn = "Virtual Printer";
    RMWriteString(s, pn);
    for (int i = 0; i < Pages.Count(); ++i) {
        RMWriteByte(s, 255);
        Pages[i]->SaveToStream(s);
    }
    for (int i = 0; i < Pages.Count(); ++i)
        for (auto& o : Pages[i]->Objects) {
            RMWriteByte(s, o->ObjectType);
            if (o->ObjectType == rmgtAddIn) RMWriteString(s, o->ClassName());
            RMWriteByte(s, uint8_t(i));
            int64_t at = RMReserveEnd(s);
            o->SaveToStream(s);
            RMPatchEnd(s, at);
        }
    RMWriteByte(s, 252);
    Dictionary.SaveToStream(s);
}

void TRMReport::SaveToStream(TStream& s) {
    TRMReport* wasReport = std::exchange(CurReport, this);
    ScopeExit restoreReport([&] { CurReport = wasReport; });
    RMStreamVersion = RMCurrentVersion;
    SubVersion1 = 0;
    SubVersion2 = 11;
    RMWriteByte(s, RMCurrentVersion);
    RMWriteByte(s, SubVersion1);
    RMWriteByte(s, SubVersion2);
    RMWriteString(s, kReportSig);
    RMWriteBoolean(s, PrintBackColor);
    RMWriteInteger(s, PrintOffsetTop);
    RMWriteInteger(s, PrintOffsetLeft);
    RMWriteBoolean(s, PrintPagePerPage);
    writeBody(s);
}

void TRMReport::readBody(TStream& s) {
    const int V = RMStreamVersion;
    const int R = loadRevision_;
    Pages.Clear();
    Dictionary.Clear();
    ReportInfo = {};
    DoublePass = false;
    if (R > 4001)
        for (auto* t :
             {&ReportInfo.Title, &ReportInfo.Author, &ReportInfo.Company, &ReportInfo.CopyRight, &ReportInfo.Comment})
            *t = RMReadString(s);
    if (V >= 32) RMReadByte(s);
    PrintVisibleDefault = V >= 35 ? RMReadBoolean(s) : false;
    if (R < 4101) RMReadWord(s);
    DoublePass = RMReadWordBool(s);
    PrinterName = RMReadVersionedString(s);
    std::vector<std::string> unknown;
    while (s.Position() < s.Size()) {
        uint8_t b = RMReadByte(s);
        if (b == 255) {
            Pages.Add()->LoadFromStream(s, SubVersion2);
            TRMPage* p = Pages[Pages.Count() - 1];
            if (V <= 23) {
                for (int n = 1; n <= 10000; ++n) {
                    std::string nm = "Page" + std::to_string(n);
                    bool used = false;
                    for (int k = 0; k < Pages.Count() - 1; ++k) used |= Pages[k]->Name == nm;
                    if (!used) {
                        p->Name = nm;
                        break;
                    }
                }
            }
        } else if (b == 252 || b == 254) {
            Dictionary.LoadFromStream(s, b == 254 ? -1 : V);
        } else if (b == 253) {
            break;
        } else if (b > 10) {
            throw EReadError("不支持的rmf格式");
        } else {
            int32_t end = 0;
            std::string cls;
            try {
                if (b == rmgtAddIn) {
                    cls = RMReadVersionedString(s);
                    std::string u = UpperCase(cls);
                    if (u == "TRMBDELOOKUPCONTROL" || u == "TRMIBXLOOKUPCONTROL") cls = "TRMDBLookupControl";
                    if (u == "TRMFRAMEDMEMOVIEW") b = rmgtMemo;
                }
                uint8_t pageNo = RMReadByte(s);
                if (V > 28) end = RMReadInteger(s);
                if (pageNo >= Pages.Count()) throw EReadError("Stream read error");
                auto o = RMCreateObject(b, cls);
                o->Parent = Pages[pageNo];
                o->LoadFromStream(s);
                if (SameText(cls, "TFRFRAMEDMEMOVIEW") || SameText(cls, "TRMFRAMEDMEMOVIEW")) {
                    char skip[8];
                    s.ReadBuffer(skip, 8);
                }
                Pages[pageNo]->Add(std::move(o));
                if (end) s.SetPosition(end);
            } catch (const EClassNotFound& e) {
                if (V < 24) continue;
                if (end == 0) end = RMReadInteger(s);
                unknown.push_back(e.Message);
                s.SetPosition(end);
            }
        }
    }
    if (V < 32 || V * 100 + SubVersion1 * 10 < 3810) {
        auto conv = [](int a) { return int(std::lround(std::nearbyint(a * 50.0 / 18.0) * 96.0 / 254.0)); };
        for (int i = 0; i < Pages.Count(); ++i) {
            if (Pages[i]->PageType != 0) continue;
            for (auto& o : Pages[i]->Objects) {
                int r = conv(o->Left + o->Width), bt = conv(o->Top + o->Height);
                o->Left = conv(o->Left);
                o->Top = conv(o->Top);
                o->Width = r - o->Left;
                o->Height = bt - o->Top;
            }
        }
    }
    for (int i = 0; i < Pages.Count(); ++i)
        for (auto& o : Pages[i]->Objects) {
            if (o->ObjectType == rmgtSubReport) {
                int sp = static_cast<TRMSubReportView*>(o.get())->SubPage;
                if (sp >= 0 && sp < Pages.Count()) Pages[sp]->IsSubReportPage = true;
            }
            o->AfterLoad();
        }
    if (!unknown.empty()) {
        std::string t;
        for (auto& u : unknown) t += u + "\r";
        throw EClassNotFound(t);
    }
}

bool TRMReport::LoadFromStream(TStream& s) {
    TRMReport* wasReport = std::exchange(CurReport, this);
    ScopeExit restoreReport([&] { CurReport = wasReport; });
    RMPreparedMode = false;
    Dictionary.Clear();
    LastError.clear();
    if (s.Size() - s.Position() <= 0) return false;
    int64_t start = s.Position();
    try {
        uint8_t V = RMReadByte(s);
        SubVersion1 = SubVersion2 = 0;
        if (V <= 20) {
            V = 21;
            s.SetPosition(start);
            RMStreamVersion = 21;
            loadRevision_ = 2100;
        } else {
            if (V > RMCurrentVersion) {
                LastError = "不支持的rmf格式";
                Application->MessageBox(LastError, "错误", MB_OK | MB_ICONERROR);
                return false;
            }
            RMStreamVersion = V;
            if (V >= 36) {
                SubVersion1 = RMReadByte(s);
                SubVersion2 = RMReadByte(s);
            }
            loadRevision_ = V * 100 + SubVersion1 * 10 + SubVersion2;
            const int R = loadRevision_;
            if (R > 4101 && RMReadString(s) != kReportSig) {
                LastError = "不是VodidiVerovev报表文件！";
                Application->MessageBox(LastError, "错误", MB_OK | MB_ICONERROR);
                Pages.Clear();
                Pages.Add()->Name = "Page1";
                return false;
            }
            if (R > 4003) PrintBackColor = RMReadBoolean(s);
            if (R > 4099) {
                PrintOffsetTop = RMReadInteger(s);
                PrintOffsetLeft = RMReadInteger(s);
            }
            if (SubVersion2 > 10) PrintPagePerPage = RMReadByte(s) == 1;
        }
        readBody(s);
        RMStreamVersion = RMCurrentVersion;
        SaveReportOptions.LoadReportSetting(this);
        return true;
    } catch (const EClassNotFound& e) {
        LastError = "Opened report contains the following non-plugged components:\r" + e.Message +
                    "Use appropriate component from RM component palette";
        BuildErrors.push_back(LastError);
        RMStreamVersion = RMCurrentVersion;
        SaveReportOptions.LoadReportSetting(this);
        return true; // everything else loaded
    } catch (const Exception& e) {
        LastError = "不支持的rmf格式";
        Application->MessageBox(LastError, "错误", MB_OK | MB_ICONERROR);
        Pages.Clear();
        Pages.Add()->Name = "Page1";
        RMStreamVersion = RMCurrentVersion;
        return false;
    }
}

bool TRMReport::LoadFromFile(const std::string& fileName) {
    std::string f = fileName;
    if (!FileExists(f) && ExtractFileExt(f).empty()) f += ".rmf";
    FileName = f;
    if (!FileExists(f)) {
        LastError = "报表文件不存在：" + f;
        return false;
    }
    TMemoryStream m;
    try {
        m.LoadFromFile(f);
    } catch (const Exception& e) {
        LastError = e.Message;
        return false;
    }
    bool ok = LoadFromStream(m);
    Modified = false;
    return ok;
}

void TRMReport::SaveToFile(const std::string& fileName) {
    std::string f = ExtractFileExt(fileName).empty() ? fileName + ".rmf" : fileName;
    TMemoryStream m;
    SaveToStream(m);
    m.SaveToFile(f);
    FileName = f;
    Modified = false;
}

void TRMReport::SaveTemplate(const std::string& fileName, const TRMLines& description, const std::string& bmp) {
    TMemoryStream m;
    RMStreamVersion = RMCurrentVersion;
    RMWriteByte(m, RMCurrentVersion);
    RMWriteString(m, kTemplateSig);
    RMWriteMemo(m, description);
    int64_t at = RMReserveEnd(m);
    if (bmp.empty())
        RMWriteByte(m, 0);
    else {
        RMWriteByte(m, 1);
        m.WriteBuffer(bmp);
    }
    RMPatchEnd(m, at);
    loadRevision_ = 4311;
    writeBody(m);
    m.SaveToFile(ExtractFileExt(fileName).empty() ? fileName + ".rmt" : fileName);
}

bool TRMReport::LoadTemplate(const std::string& fileName, TRMLines* description, std::string* bmp, bool loadReport) {
    std::string f = fileName;
    if (!FileExists(f) && ExtractFileExt(f).empty()) f += ".rmt";
    if (!FileExists(f)) return false;
    TMemoryStream m;
    m.LoadFromFile(f);
    try {
        RMStreamVersion = RMCurrentVersion;
        uint8_t v = RMReadByte(m);
        if (v < 10)
            m.SetPosition(0);
        else if (v > 41 && RMReadString(m) != kTemplateSig) {
            Application->MessageBox("不是VodidiVerovev报表模板文件!", "错误", MB_OK | MB_ICONERROR);
            return false;
        }
        TRMLines d = RMReadMemo(m);
        int32_t body = RMReadInteger(m);
        std::string pic;
        if (RMReadByte(m) == 1 && body > m.Position()) pic = RMReadBytes(m, body - m.Position());
        if (description) *description = d;
        if (bmp) *bmp = pic;
        if (loadReport) {
            m.SetPosition(body);
            RMStreamVersion = RMCurrentVersion;
            SubVersion1 = 0;
            SubVersion2 = 11;
            loadRevision_ = 4311;
            readBody(m);
        }
        return true;
    } catch (const Exception& e) {
        LastError = e.Message;
        return false;
    }
}

bool TRMReport::LoadPreparedReport(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    TMemoryStream m;
    m.LoadFromFile(fileName);
    bool ok = EMFPages.LoadFromStream(m);
    if (ok) CanRebuild = false;
    return ok;
}

void TRMReport::SavePreparedReport(const std::string& fileName) {
    TMemoryStream m;
    EMFPages.PrinterName = PrinterName;
    EMFPages.PrintVisibleDefault = PrintVisibleDefault;
    EMFPages.SaveToStream(m);
    m.SaveToFile(fileName);
}

int TRMReport::DesignReport() {
    if (!RMDesignerClass) return 2;
    std::unique_ptr<TRMReportDesigner> d(RMDesignerClass(true));
    if (!d) return 2;
    // The designer edits the design, never built pages.
    TRMReportDesigner* was = CurDesigner;
    bool prepared = RMPreparedMode;
    CurDesigner = d.get();
    RMPreparedMode = false;
    TRMReport* wasReport = std::exchange(CurReport, this);
    ScopeExit restoreReport([&] { CurReport = wasReport; });
    int r = d->ShowModal();
    CurDesigner = was;
    RMPreparedMode = prepared;
    return r;
}

bool TRMReport::EditPreparedPage(int index) {
    if (!RMDesignerClass || index < 0 || index >= EMFPages.Count()) return false;
    std::unique_ptr<TRMReportDesigner> d(RMDesignerClass(false));
    if (!d) return false;
    TRMPage* p = EMFPages.UnpackPage(index);
    d->Page = p;
    d->PreparedPageNo = index;
    d->FromPreview = true;
    TRMReportDesigner* was = CurDesigner;
    bool prepared = RMPreparedMode;
    CurDesigner = d.get();
    RMPreparedMode = false;
    PageEditing = true;
    int r = d->ShowModal();
    PageEditing = false;
    CurDesigner = was;
    RMPreparedMode = prepared;
    if (r == mrOk) {
        EMFPages.PackPage(index);
        Modified = true;
    }
    EMFPages.FreeUnpacked(index);
    return r == mrOk;
}

// ---------------------------------------------------------------- built pages

void TRMEMFPages::Clear() {
    pages_.clear();
    bk_.clear();
}

void TRMEMFPages::ClearForRebuild() {
    for (auto& p : pages_)
        if (p->Stream.capacity() > 4096) spare_.push_back(std::move(p->Stream));
    Clear();
}

std::string TRMEMFPages::TakeSpareBytes(size_t room) {
    std::string b;
    if (!spare_.empty()) {
        b = std::move(spare_.back());
        spare_.pop_back();
        b.clear();
    }
    b.reserve(room);
    return b;
}
void TRMEMFPages::Delete(int i) {
    if (i >= 0 && i < Count()) pages_.erase(pages_.begin() + i);
}

TRMEMFPageRec& TRMEMFPages::AddPage(TRMPage* p, int designPageNo) {
    auto r = std::make_unique<TRMEMFPageRec>();
    r->PaperSize = uint16_t(p->PaperSize);
    r->PaperWidth = p->PaperWidth / 100;
    r->PaperHeight = p->PaperHeight / 100;
    r->Orientation = p->Orientation;
    r->Bin = p->Bin;
    r->Margins = p->MarginRectPx();
    r->PageWidth = p->PaperWidthPx();
    r->PageHeight = p->PaperHeightPx();
    r->Stream = std::string(1, char(RMCurrentVersion));
    r->DesignPageNo = uint8_t(designPageNo);
    pages_.push_back(std::move(r));
    return *pages_.back();
}

void TRMEMFPages::RegroupPagePerPage() {
    if (pages_.empty()) return;
    std::vector<uint8_t> order; // design pages in the order they first built
    std::map<uint8_t, std::vector<std::unique_ptr<TRMEMFPageRec>>> runs;
    for (auto& p : pages_) {
        if (!runs.count(p->DesignPageNo)) order.push_back(p->DesignPageNo);
        runs[p->DesignPageNo].push_back(std::move(p));
    }
    if (order.size() < 2) {
        pages_.clear();
        for (auto& p : runs.begin()->second) pages_.push_back(std::move(p));
        return;
    }
    pages_.clear();
    for (size_t k = 0;; ++k) {
        bool any = false;
        for (uint8_t d : order)
            if (k < runs[d].size()) {
                pages_.push_back(std::move(runs[d][k]));
                any = true;
            }
        if (!any) break;
    }
}

void TRMEMFPages::InsertPage(int index, int like) {
    if (like < 0 || like >= Count()) return;
    auto r = std::make_unique<TRMEMFPageRec>();
    const TRMEMFPageRec& l = *pages_[size_t(like)];
    r->PaperSize = l.PaperSize;
    r->PaperWidth = l.PaperWidth;
    r->PaperHeight = l.PaperHeight;
    r->Orientation = l.Orientation;
    r->Bin = l.Bin;
    r->Margins = l.Margins;
    r->PageWidth = l.PageWidth;
    r->PageHeight = l.PageHeight;
    r->Stream = std::string(1, char(RMCurrentVersion));
    index = std::clamp(index, 0, Count());
    pages_.insert(pages_.begin() + index, std::move(r));
}

TRMPage* TRMEMFPages::UnpackPage(int i) {
    TRMEMFPageRec& r = *pages_[size_t(i)];
    auto page = std::make_unique<TRMPage>(report_);
    page->PaperSize = r.PaperSize;
    page->Orientation = r.Orientation;
    page->PaperWidth = (r.Orientation ? r.PaperHeight : r.PaperWidth) * 100;
    page->PaperHeight = (r.Orientation ? r.PaperWidth : r.PaperHeight) * 100;
    TMemoryStream m;
    m.WriteBuffer(r.Stream);
    m.SetPosition(0);
    uint8_t saved = RMStreamVersion;
    RMStreamVersion = RMReadByte(m);
    while (m.Position() < m.Size()) {
        uint8_t t = RMReadByte(m);
        std::string cls;
        if (t == rmgtAddIn) cls = RMReadVersionedString(m);
        auto o = RMCreateObject(t, cls);
        o->PreparedForm = true;
        o->Parent = page.get();
        o->LoadFromStream(m);
        o->PreparedForm = false;
        page->Add(std::move(o));
    }
    RMStreamVersion = saved;
    r.Page = std::move(page);
    return r.Page.get();
}

bool TRMEMFPages::DoObjectEvent(int i, TPoint p, int& cursor, bool isClick) {
    if (i < 0 || i >= Count() || !report_) return false;
    if (isClick ? !report_->OnObjectClick : !report_->OnMouseOverObject) return false;
    TRMEMFPageRec& r = *pages_[size_t(i)];
    TRMPage* page = r.Page ? r.Page.get() : UnpackPage(i);
    for (auto it = page->Objects.rbegin(); it != page->Objects.rend(); ++it) {
        TRMView* v = it->get();
        if (p.X >= v->Left && p.X < v->Left + v->Width && p.Y >= v->Top && p.Y < v->Top + v->Height) {
            if (isClick)
                report_->OnObjectClick(v, i);
            else
                report_->OnMouseOverObject(v, cursor);
            return true;
        }
    }
    return false;
}

void TRMEMFPages::PackPage(int i) {
    TRMEMFPageRec& r = *pages_[size_t(i)];
    if (!r.Page) return;
    TMemoryStream m;
    RMStreamVersion = RMCurrentVersion;
    RMWriteByte(m, RMCurrentVersion);
    for (auto& o : r.Page->Objects) {
        o->Memo1 = o->Memo;
        o->StreamOut(m);
    }
    m.SetPosition(0);
    r.Stream = m.ReadRest();
}

void TRMEMFPages::Draw(int i, TCanvas* canvas, const TRect& rect) {
    if (i < 0 || i >= Count()) return;
    TRMEMFPageRec& r = *pages_[size_t(i)];
    bool had = r.Page != nullptr;
    TRMPage* p = had ? r.Page.get() : UnpackPage(i);
    double fx = r.PageWidth ? double(rect.Width()) / r.PageWidth : 1.0;
    double fy = r.PageHeight ? double(rect.Height()) / r.PageHeight : 1.0;
    bool wasPrepared = RMPreparedMode;
    RMPreparedMode = true;
    const TRMBkPicture* bk = RMPrintVisibleJob ? nullptr : GetBkPicture(r.BkPictureIndex);
    if (bk) {
        if (auto g = bk->Picture.Decode()) {
            TRect d(rect.Left + int(bk->Left * fx), rect.Top + int(bk->Top * fy),
                    rect.Left + int((bk->Left + bk->Width) * fx), rect.Top + int((bk->Top + bk->Height) * fy));
            canvas->StretchDraw(d, g.get());
        }
    }
    for (auto& o : p->Objects) {
        if (RMPrintVisibleJob && !(o->Flags & flPrintVisible)) continue;
        o->ScaleX = fx;
        o->ScaleY = fy;
        o->OffsetX = rect.Left;
        o->OffsetY = rect.Top;
        try {
            o->Draw(canvas);
        } catch (const Exception&) {
            // One object that cannot draw must not stop the page.
        }
    }
    RMPreparedMode = wasPrepared;
    if (!had && !r.Visible) r.Page.reset();
}

void TRMEMFPages::SaveToStream(TStream& s) {
    RMStreamVersion = RMCurrentVersion;
    RMWriteByte(s, RMCurrentVersion);
    RMWriteByte(s, 10);
    RMWriteString(s, kPreparedSig);
    RMWriteBoolean(s, false);
    RMWriteBoolean(s, PrintVisibleDefault);
    RMWriteInteger(s, int32_t(bk_.size()));
    for (auto& b : bk_) {
        RMWriteInteger(s, b.Left);
        RMWriteInteger(s, b.Top);
        RMWriteInteger(s, b.Width);
        RMWriteInteger(s, b.Height);
        RMWritePicture(s, b.Picture, false);
    }
    RMWriteString(s, PrinterName);
    RMWriteInteger(s, Count());
    for (int i = 0; i < Count(); ++i) {
        TRMEMFPageRec& r = *pages_[size_t(i)];
        if (r.Page) PackPage(i);
        int64_t at = RMReserveEnd(s);
        RMWriteWord(s, r.PaperSize);
        RMWriteInteger(s, r.PaperWidth);
        RMWriteInteger(s, r.PaperHeight);
        RMWriteByte(s, r.Orientation);
        RMWriteInteger(s, r.Bin);
        RMWriteInteger(s, r.Margins.Left);
        RMWriteInteger(s, r.Margins.Top);
        RMWriteInteger(s, r.Margins.Right);
        RMWriteInteger(s, r.Margins.Bottom);
        s.WriteBuffer(r.Stream);
        RMPatchEnd(s, at);
    }
}

bool TRMEMFPages::LoadFromStream(TStream& s) {
    Clear();
    try {
        uint8_t v = RMReadByte(s);
        RMReadByte(s);
        if (RMReadString(s) != kPreparedSig) return false;
        // A compressed file would load as empty pages: refuse it.
        if (RMReadBoolean(s)) return false;
        RMStreamVersion = v;
        PrintVisibleDefault = RMReadBoolean(s);
        int nb = RMReadInteger(s);
        for (int i = 0; i < nb; ++i) {
            TRMBkPicture b;
            b.Left = RMReadInteger(s);
            b.Top = RMReadInteger(s);
            b.Width = RMReadInteger(s);
            b.Height = RMReadInteger(s);
            b.Picture = RMReadPicture(s, false);
            bk_.push_back(b);
        }
        PrinterName = RMReadString(s);
        int n = RMReadInteger(s);
        for (int i = 0; i < n; ++i) {
            auto r = std::make_unique<TRMEMFPageRec>();
            int32_t end = RMReadInteger(s);
            r->PaperSize = RMReadWord(s);
            r->PaperWidth = RMReadInteger(s);
            r->PaperHeight = RMReadInteger(s);
            r->Orientation = RMReadByte(s);
            r->Bin = RMReadInteger(s);
            r->Margins.Left = RMReadInteger(s);
            r->Margins.Top = RMReadInteger(s);
            r->Margins.Right = RMReadInteger(s);
            r->Margins.Bottom = RMReadInteger(s);
            if (end < s.Position() || end > s.Size()) throw EReadError("Stream read error");
            r->Stream = RMReadBytes(s, end - s.Position());
            r->PageWidth = RMToPixels(r->PaperWidth / 10.0);
            r->PageHeight = RMToPixels(r->PaperHeight / 10.0);
            // The file keeps no index per page: with one background every
            // page shows it, with none or several none is guessed.
            r->BkPictureIndex = bk_.size() == 1 ? 0 : 255;
            pages_.push_back(std::move(r));
        }
        RMStreamVersion = RMCurrentVersion;
        return true;
    } catch (const Exception&) {
        Clear();
        RMStreamVersion = RMCurrentVersion;
        return false;
    }
}

// ---------------------------------------------------------------- functions beyond the report's own

TRMObject* TRMReport::FindPropertyOwner(const std::string& name) const {
    std::string n = Trim(name);
    // "PAGE" followed by a number: that design page.
    if (n.size() > 4 && SameText(n.substr(0, 4), "PAGE") && isdigit(uint8_t(n[4]))) {
        int k = 0;
        if (TryStrToInt(n.substr(4), k) && k >= 1 && k <= Pages.Count()) return Pages[k - 1];
        return nullptr;
    }
    return FindObject(n);
}

bool TRMReport::libraryFunction(const TRMFuncCall& c, Variant& r) {
    if (RMStdFunction(c, r)) return true;
    if (RMCallFunctionLibraries(c, r)) return true;
    // Obj.Method(...): the object's method gets the arguments as written.
    size_t dot = c.Name.find('.');
    if (dot != std::string::npos)
        if (TRMObject* o = FindPropertyOwner(c.Name.substr(0, dot))) {
            std::vector<Variant> args(c.ArgTexts.begin(), c.ArgTexts.end());
            r = o->DoMethod(c.Name.substr(dot + 1), args);
            return true;
        }
    if (OnUserFunction) {
        r = std::string("0");
        OnUserFunction(c.Name, c.ArgTexts, r);
        return true;
    }
    return false;
}

Variant TRMReport::calcWidth() {
    TRMView* v = scriptView_ ? scriptView_ : curView_;
    if (!v) return 0;
    auto* m = dynamic_cast<TRMMemoView*>(v);
    if (!m) return v->Width;
    // The text as it prints now (its script runs before the text is
    // expanded, so what the memo last printed would be a row behind).
    static int depth = 0;
    if (depth > 0) return m->Width; // [CALCWIDTH] inside the memo's own text
    ++depth;
    ScopeExit leave([] { --depth; });
    TRMLines lines;
    for (auto& l : m->Memo) lines.push_back(ExpandVariables(l, m));
    return m->CalcTextWidth(lines);
}
