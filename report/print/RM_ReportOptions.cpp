// The report component's options: the store of its print settings, the
// printer it asks for, export through a filter, and the composite report.
#include <algorithm>
#include <cmath>
#include <memory>

#include "Dialogs.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Printers.h"
#include "Registry.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/print/RM_Printer.h"

// ---------------------------------------------------------------- settings store

namespace {

// One section of settings, in the registry or in an INI file.
class SettingsSection {
public:
    SettingsSection(const TRMSaveReportOptions& o, const std::string& section, bool create) {
        if (o.UseRegistry) {
            reg_ = std::make_unique<TRegistry>();
            reg_->SetRootKey(HKEY_CURRENT_USER);
            std::string path = o.RegistryPath;
            if (!path.empty() && path.back() != '\\') path += '\\';
            open_ = reg_->OpenKey("\\" + path + section, create);
        } else {
            if (o.IniFileName.empty()) return;
            ini_ = std::make_unique<TIniFile>(o.IniFileName);
            section_ = section;
            open_ = create || ini_->SectionExists(section);
        }
    }
    bool Open() const { return open_; }
    bool Has(const std::string& k) const { return reg_ ? reg_->ValueExists(k) : ini_->ValueExists(section_, k); }
    int ReadInt(const std::string& k, int def) const {
        if (!Has(k)) return def;
        try {
            return reg_ ? reg_->ReadInteger(k) : ini_->ReadInteger(section_, k, def);
        } catch (const Exception&) {
            return def;
        }
    }
    bool ReadBool(const std::string& k, bool def) const {
        if (!Has(k)) return def;
        try {
            return reg_ ? reg_->ReadBool(k) : ini_->ReadBool(section_, k, def);
        } catch (const Exception&) {
            return def;
        }
    }
    void WriteInt(const std::string& k, int v) {
        if (reg_)
            reg_->WriteInteger(k, v);
        else
            ini_->WriteInteger(section_, k, v);
    }
    void WriteBool(const std::string& k, bool v) {
        if (reg_)
            reg_->WriteBool(k, v);
        else
            ini_->WriteBool(section_, k, v);
    }

private:
    std::unique_ptr<TRegistry> reg_;
    std::unique_ptr<TIniFile> ini_;
    std::string section_;
    bool open_ = false;
};

std::string sectionOf(TRMReport* r, const std::string& name) {
    if (!name.empty()) return name;
    if (!r->ReportInfo.Title.empty()) return r->ReportInfo.Title;
    return ExtractFileName(r->FileName);
}

std::string pageKey(int n, const char* side) { return "Page_" + std::to_string(n) + "_" + side; }

} // namespace

void TRMSaveReportOptions::LoadReportSetting(TRMReport* r, const std::string& name) {
    if (r->OnLoadReportSetting) {
        r->OnLoadReportSetting(r);
        return;
    }
    if (!AutoLoadSaveSetting) return;
    std::string section = sectionOf(r, name);
    if (section.empty()) return;
    SettingsSection s(*this, section, false);
    if (!s.Open()) return;
    r->PrintVisibleDefault = s.ReadBool("taoda", r->PrintVisibleDefault);
    r->PrintOffsetTop = s.ReadInt("PrintOffsetTop", 0);
    r->PrintOffsetLeft = s.ReadInt("PrintOffsetLeft", 0);
    r->PrintBackColor = s.ReadBool("PrintBackColor", r->PrintBackColor);
    r->DoublePass = s.ReadBool("DoublePass", r->DoublePass);
    bool newFlag = s.ReadBool("NewFlag", false);
    int count = s.ReadInt("PageCount", -1);
    // Settings saved for more pages than the report has now fill only the
    // pages there are.
    for (int n = 0; n < std::min(count, r->Pages.Count()); ++n) {
        TRMPage* p = r->Pages[n];
        int m[4];
        const char* sides[] = {"LeftMargin", "TopMargin", "RightMargin", "BottomMargin"};
        for (int k = 0; k < 4; ++k) m[k] = s.ReadInt(pageKey(n, sides[k]), 0);
        if (newFlag) {
            // Thousandths of a millimetre, as the page holds them; the
            // objects move with the left and top margins.
            // (the setters round to whole pixels; the exact values follow).
            p->SetLeftMargin(RMToPixels(m[0] / 1000.0));
            bool leftTaken = p->MarginRectPx().Left == RMToPixels(m[0] / 1000.0);
            int left = p->MarginLeft;
            p->SetTopMargin(RMToPixels(m[1] / 1000.0));
            p->MarginLeft = leftTaken ? m[0] : left;
            p->MarginTop = m[1];
            p->MarginRight = m[2];
            p->MarginBottom = m[3];
        } else {
            // Older settings hold a rectangle of screen pixels.
            p->SetMarginRect(TRect(m[0], m[1], m[2], m[3]));
        }
    }
}

void TRMSaveReportOptions::SaveReportSetting(TRMReport* r, const std::string& name) {
    if (r->OnSaveReportSetting) {
        r->OnSaveReportSetting(r);
        return;
    }
    if (!AutoLoadSaveSetting) return;
    std::string section = sectionOf(r, name);
    if (section.empty()) return;
    SettingsSection s(*this, section, true);
    if (!s.Open()) return;
    s.WriteBool("taoda", r->PrintVisibleDefault);
    s.WriteInt("PrintOffsetTop", r->PrintOffsetTop);
    s.WriteInt("PrintOffsetLeft", r->PrintOffsetLeft);
    s.WriteBool("PrintBackColor", r->PrintBackColor);
    s.WriteBool("DoublePass", r->DoublePass);
    s.WriteBool("NewFlag", true);
    s.WriteInt("PageCount", r->Pages.Count());
    for (int n = 0; n < r->Pages.Count(); ++n) {
        TRMPage* p = r->Pages[n];
        s.WriteInt(pageKey(n, "LeftMargin"), p->MarginLeft);
        s.WriteInt(pageKey(n, "TopMargin"), p->MarginTop);
        s.WriteInt(pageKey(n, "RightMargin"), p->MarginRight);
        s.WriteInt(pageKey(n, "BottomMargin"), p->MarginBottom);
    }
}

// ---------------------------------------------------------------- printer choice

namespace {
void switchPlatformPrinter(int entry) {
    int platform = RMPrinters()->PlatformIndex(entry);
    if (entry < 2 || platform < 0 || Printer()->Printing()) return;
    Printer()->SetPrinterIndex(platform);
}

// The design pages' papers as the engine printer takes them.
void applyPapers(TRMReport* r) {
    for (int i = 0; i < r->Pages.Count(); ++i) {
        TRMPage* p = r->Pages[i];
        if (p->PageType != 0) continue;
        RMPrinter()->SetPrinterInfo(p->PaperSize, p->PaperWidth / 100, p->PaperHeight / 100, p->Orientation, p->Bin,
                                    true);
        p->ChangePaper(p->PaperSize, p->PaperWidth, p->PaperHeight, p->Bin, p->Orientation);
    }
}
} // namespace

void TRMReport::SelectPrinter(const std::string& name) {
    int entry = 0;
    if (name.empty() || SameText(name, "Default Printer") || SameText(name, "默认打印机"))
        entry = 0;
    else if (SameText(name, "Virtual Printer") || SameText(name, "虚拟打印机"))
        entry = 1;
    else
        entry = std::max(0, RMPrinters()->IndexOfName(name));
    RMPrinter()->SetPrinterIndex(entry);
    // The platform's printer follows a printer chosen by name; the default
    // leaves it as the program set it.
    try {
        switchPlatformPrinter(entry);
    } catch (const Exception&) {
    }
    PrinterName = name;
}

bool TRMReport::ChangePrinter(int oldIndex, int newIndex) {
    try {
        if (newIndex < 0 || newIndex >= RMPrinters()->Count())
            throw Exception("Printer index out of range: " + std::to_string(newIndex));
        RMPrinter()->SetPrinterIndex(newIndex);
        switchPlatformPrinter(newIndex);
        PrinterName = newIndex == 0 ? "Default Printer" : newIndex == 1 ? "Virtual Printer" : RMPrinters()->Name(newIndex);
        applyPapers(this);
        return true;
    } catch (const Exception&) {
        Application->MessageBox("所选打印机错误", "错误", MB_OK | MB_ICONERROR);
        RMPrinter()->SetPrinterIndex(oldIndex);
        try {
            switchPlatformPrinter(oldIndex);
            applyPapers(this);
        } catch (const Exception&) {
        }
        return false;
    }
}

// ---------------------------------------------------------------- export

namespace {
std::vector<TRMExportFilterInfo>* filters = nullptr;
}

void RMRegisterExportFilter(TRMExportFilter* filter, const std::string& description, const std::string& mask) {
    if (!filters) filters = new std::vector<TRMExportFilterInfo>;
    for (auto& f : *filters)
        if (f.Filter == filter) return;
    filters->push_back({filter, description, mask});
}

void RMUnregisterExportFilter(TRMExportFilter* filter) {
    if (filters) std::erase_if(*filters, [filter](const TRMExportFilterInfo& f) { return f.Filter == filter; });
}

int RMGetExportFilterCount() { return filters ? int(filters->size()) : -1; }

const TRMExportFilterInfo& RMGetExportFilter(int index) { return filters->at(size_t(index)); }

bool TRMReport::ExportTo(TRMExportFilter* filter, const std::string& fileName) {
    if (!filter) return false;
    RMPreparedMode = true;
    ExportFilter = filter;
    ScopeExit done([this] {
        ExportFilter = nullptr;
        RMPreparedMode = false;
    });
    filter->FileName = fileName;
    std::string name = fileName;
    bool goOn = true;
    if (filter->OnBeforeExport) filter->OnBeforeExport(name, goOn);
    filter->FileName = name;
    if (!goOn || EMFPages.Count() == 0) return false;
    if (filter->ShowDialog && filter->ShowModal() != 1) return false;
    name = filter->FileName;
    Terminated = false;
    const int total = EMFPages.Count();
    TFileStream file(name, fmCreate);
    filter->Stream = &file;
    bool finished = false;
    {
        ScopeExit after([&] {
            filter->Stream = nullptr;
            if (filter->OnAfterExport) filter->OnAfterExport(name);
        });
        auto work = [&] {
            filter->OnBeginDoc();
            for (int i = 0; i < total && !Terminated; ++i) {
                TRMEMFPageRec& rec = EMFPages[i];
                filter->OnBeginPage(i, rec.PageWidth, rec.PageHeight);
                if (TRMPage* p = EMFPages.UnpackPage(i))
                    for (auto& o : p->Objects) o->ExportData(filter);
                EMFPages.FreeUnpacked(i);
                if (OnProgress) OnProgress(i + 1);
                filter->OnEndPage();
            }
            filter->OnEndDoc();
            finished = !Terminated;
        };
        if (ShowProgress && !OnProgress && RMProgressRunner) {
            ProgressStatus = "正在处理页:";
            ScopeExit statusBack([this] { ProgressStatus.clear(); });
            RMProgressRunner(this, "正在准备报表" + (ReportInfo.Title.empty() ? "" : " - " + ReportInfo.Title), work);
        } else {
            work();
        }
    }
    return finished;
}

// ---------------------------------------------------------------- composite report

void TRMEMFPages::AppendCopy(const TRMEMFPages& from, int i) {
    const TRMEMFPageRec& src = *from.pages_[size_t(i)];
    auto r = std::make_unique<TRMEMFPageRec>();
    r->PaperSize = src.PaperSize;
    r->PaperWidth = src.PaperWidth;
    r->PaperHeight = src.PaperHeight;
    r->Orientation = src.Orientation;
    r->Bin = src.Bin;
    r->Margins = src.Margins;
    r->PageWidth = src.PageWidth;
    r->PageHeight = src.PageHeight;
    r->Stream = src.Stream;
    r->DesignPageNo = src.DesignPageNo;
    if (const TRMBkPicture* bk = from.GetBkPicture(src.BkPictureIndex); bk && bk_.size() < 255)
        r->BkPictureIndex = uint8_t(AddBkPicture(*bk));
    pages_.push_back(std::move(r));
}

void TRMCompositeReport::SetCompositeMode(TRMCompositeMode m) {
    mode_ = m;
    if (m == rmPagePerPage) ShowProgress = false;
}

void TRMCompositeReport::collect() {
    EMFPages.Clear();
    if (mode_ == rmPagePerPage) {
        // The first page of every member, then the second of every member...
        for (int k = 0;; ++k) {
            bool added = false;
            for (TRMReport* m : Reports)
                if (k < m->EMFPages.Count()) {
                    EMFPages.AppendCopy(m->EMFPages, k);
                    added = true;
                }
            if (!added) break;
        }
    } else {
        for (TRMReport* m : Reports)
            for (int k = 0; k < m->EMFPages.Count(); ++k) EMFPages.AppendCopy(m->EMFPages, k);
    }
}

bool TRMCompositeReport::PrepareReport() {
    CanRebuild = true;
    BuildErrors.clear();
    Terminated = false;
    auto errorsOf = [this](TRMReport* m) {
        BuildErrors.insert(BuildErrors.end(), m->BuildErrors.begin(), m->BuildErrors.end());
    };
    if (mode_ == rmPagePerPage || ShowPreparedReports) {
        // Every member numbers its own pages.
        bool ok = true;
        if (!ShowPreparedReports)
            for (TRMReport* m : Reports) {
                m->PageNoBase = 0;
                m->MasterTotalPages = -1;
                ok = m->PrepareReport() && ok;
                errorsOf(m);
            }
        collect();
        return ok && EMFPages.Count() > 0;
    }
    // One report after the other: a member's pages number on from the
    // pages before it, and the page count is the whole composite's (known
    // after a first pass when DoublePass is set, else 0). A member whose
    // first design page prints to the previous page goes on on the last
    // page built before it, when that page has its paper.
    struct Saved {
        bool progress;
        std::function<void(int)> onProgress, onBeginPage;
    };
    std::vector<Saved> saved;
    for (TRMReport* m : Reports) saved.push_back({m->ShowProgress, m->OnProgress, m->OnBeginPage});
    ScopeExit restore([&] {
        for (size_t i = 0; i < Reports.size(); ++i) {
            Reports[i]->PageNoBase = 0;
            Reports[i]->MasterTotalPages = -1;
            Reports[i]->ShowProgress = saved[i].progress;
            Reports[i]->OnProgress = saved[i].onProgress;
            Reports[i]->OnBeginPage = saved[i].onBeginPage;
            Reports[i]->ContinueFrom = {};
        }
    });
    bool ok = true;
    auto pass = [&](int total) {
        EMFPages.Clear();
        ok = true;
        for (size_t i = 0; i < Reports.size() && !Terminated; ++i) {
            TRMReport* m = Reports[i];
            m->ContinueFrom = {};
            if (i > 0 && EMFPages.Count() > 0 && m->Pages.Count() > 0 && m->Pages[0]->PrintToPrevPage) {
                TRMEMFPageRec& last = EMFPages[EMFPages.Count() - 1];
                TRMPage* first = m->Pages[0];
                TRMReport* before = Reports[i - 1];
                if (uint16_t(first->PaperSize) == last.PaperSize && first->Orientation == last.Orientation)
                    m->ContinueFrom = {&EMFPages, EMFPages.Count() - 1, before->LastPageEndY, before->LastPageBottom};
            }
            const bool goesOn = m->ContinueFrom.Pages != nullptr;
            m->PageNoBase = EMFPages.Count() - (goesOn ? 1 : 0);
            m->MasterTotalPages = total;
            // The composite's progress window serves every member: its
            // line counts the composite's pages, and its Cancel stops the
            // member being built.
            m->ShowProgress = false;
            // A member's own first pass (it counts its pages again in its
            // final one) is not counted.
            m->OnBeginPage = [this, m, i, &saved](int pageIndex) {
                if (saved[i].onBeginPage) saved[i].onBeginPage(pageIndex);
                if (OnBeginPage && m->FinalPass) OnBeginPage(m->PageNoBase + pageIndex);
                if (Terminated) m->Terminated = true;
            };
            m->OnProgress = [this, m, i, &saved](int pageNo) {
                if (saved[i].onProgress) saved[i].onProgress(pageNo);
                if (OnProgress && m->FinalPass) OnProgress(m->PageNoBase + pageNo);
                if (Terminated) m->Terminated = true;
            };
            ok = m->PrepareReport() && ok;
            errorsOf(m);
            if (m->Terminated) Terminated = true;
            if (goesOn && m->EMFPages.Count() > 0) EMFPages.Delete(EMFPages.Count() - 1);
            for (int k = 0; k < m->EMFPages.Count(); ++k) EMFPages.AppendCopy(m->EMFPages, k);
            m->ContinueFrom = {};
        }
    };
    int total = 0;
    auto build = [&] {
        if (DoublePass) {
            FinalPass = false;
            pass(0);
            total = EMFPages.Count();
            BuildErrors.clear();
            if (Terminated) return;
        }
        FinalPass = true;
        TotalPages = total;
        pass(total);
        if (!DoublePass) TotalPages = EMFPages.Count();
    };
    if (ShowProgress && !OnProgress && RMProgressRunner)
        RMProgressRunner(this, "正在准备报表" + (ReportInfo.Title.empty() ? "" : " - " + ReportInfo.Title), build);
    else
        build();
    if (Terminated && DoublePass) EMFPages.Clear();
    return ok && !Terminated;
}
