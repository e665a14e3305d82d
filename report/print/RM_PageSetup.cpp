// The page setup dialog and its page setting.
#include <algorithm>
#include <cmath>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Printers.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/print/RM_PrintDialog.h"
#include "report/toolkit/RM_Common.h"

void TRMPageSetting::SetMargin(int index, double mm) {
    if (mm < 0) return;
    switch (index) {
    case 0: MarginLeft = mm; break;
    case 1: MarginTop = mm; break;
    case 2: MarginRight = mm; break;
    case 3: MarginBottom = mm; break;
    case 4: ColGap = mm; break;
    default: break;
    }
}

void TRMPageSetting::SetColCount(int n) {
    if (n > 0) ColCount = n;
}

void TRMPageSetting::SetOrientation(int o) {
    if (o == Orientation) return;
    Orientation = o;
    std::swap(PaperWidth, PaperHeight);
}

// ------------------------------------------------------------ thumbnail

TRMPageImage::TRMPageImage(TComponent* owner, TRMPageSetupForm* form) : TGraphicControl(owner), form_(form) {}

void TRMPageImage::DrawPage() {
    const TRMPageSetting& s = form_->Setting;
    bmp_.SetSize(std::max(1, Width()), std::max(1, Height()));
    TCanvas* c = bmp_.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, Width(), Height()));
    if (s.PaperHeight <= 0 || s.PaperWidth <= 0) {
        Invalidate();
        return;
    }
    double r = double(s.PaperWidth) / s.PaperHeight;
    int h = Height();
    while (h > 20 && std::lround(h * r) >= Width()) h -= 20;
    int w = int(std::lround(h * r));
    double sx = double(w) / s.PaperWidth, sy = double(h) / s.PaperHeight;
    int top = int(std::lround(s.MarginTop * 10 * sy)), bottom = int(std::lround(s.MarginBottom * 10 * sy));
    int left = int(std::lround(s.MarginLeft * 10 * sx)), right = int(std::lround(s.MarginRight * 10 * sx));
    int x0 = (Width() - w) / 2, y0 = (Height() - h) / 2;
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(x0, y0, x0 + w - 5, y0 + h - 5);
    c->Brush()->SetColor(TColor(0x808080));
    c->FillRect(TRect(x0 + 6, y0 + h - 5, x0 + w, y0 + h));
    c->FillRect(TRect(x0 + w - 5, y0 + 6, x0 + w, y0 + h));
    c->Pen()->SetStyle(psDot);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(x0 + left + 1, y0 + top + 1, x0 + w - right - 6, y0 + h - bottom - 6);
    c->Pen()->SetStyle(psSolid);
    // A few grey lines stand for the text inside the margins.
    c->Pen()->SetColor(clSilver);
    for (int y = y0 + top + 5; y < y0 + h - bottom - 10; y += 5) {
        c->MoveTo(x0 + left + 4, y);
        c->LineTo(x0 + w - right - 9, y);
    }
    Invalidate();
}

void TRMPageImage::Paint() { Canvas()->Draw(0, 0, &bmp_); }

// ------------------------------------------------------------ dialog

namespace {
TLabel* label(TForm* f, TWinControl* parent, const char* name, const char* caption, int l, int t) {
    auto* x = new TLabel(f);
    x->SetName(name);
    x->SetParent(parent);
    x->SetCaption(caption);
    x->SetBounds(l, t + 3, 110, 16);
    return x;
}
TRMSpinEdit* spin(TForm* f, TWinControl* parent, const char* name, int l, int t, int w, TRMValueType type, double min,
                  double inc) {
    auto* e = new TRMSpinEdit(f);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(l, t, w, 21);
    e->SetValueType(type);
    e->MinValue = min;
    e->Increment = inc;
    e->SetDecimal(type == rmvtFloat ? 2 : 0);
    return e;
}
TCheckBox* check(TForm* f, TWinControl* parent, const char* name, const char* caption, int l, int t) {
    auto* c = new TCheckBox(f);
    c->SetName(name);
    c->SetParent(parent);
    c->SetCaption(caption);
    c->SetBounds(l, t, 200, 20);
    return c;
}
TTabSheet* sheet(TForm* f, TPageControl* pc, const char* name, const char* caption) {
    auto* s = new TTabSheet(f);
    s->SetName(name);
    s->SetPageControl(pc);
    s->SetCaption(caption);
    return s;
}
} // namespace

TRMPageSetupForm::TRMPageSetupForm(TComponent* owner, TRMReport* report) : TForm(owner), report_(report) {
    SetName("RMPageSetupForm");
    SetCaption("页面设置");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(494);
    SetClientHeight(280);
    RMSetDialogFont(Font());

    PageControl1 = new TPageControl(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetBounds(8, 8, 320, 264);
    TabSheet1 = sheet(this, PageControl1, "TabSheet1", "纸张类型(&S)");
    TabSheet4 = sheet(this, PageControl1, "TabSheet4", "纸张来源(&P)");
    TabSheet2 = sheet(this, PageControl1, "TabSheet2", "页边距(&M)");
    TabSheet3 = sheet(this, PageControl1, "TabSheet3", "其它");

    label(this, TabSheet1, "lblPrinterName", "打印机:", 8, 10);
    cmbPrinterNames = new TComboBox(this);
    cmbPrinterNames->SetName("cmbPrinterNames");
    cmbPrinterNames->SetParent(TabSheet1);
    cmbPrinterNames->SetStyle(csDropDownList);
    cmbPrinterNames->SetBounds(79, 10, 225, 21);
    label(this, TabSheet1, "lblPaperSize", "大小:", 8, 38);
    cmbPaperNames = new TComboBox(this);
    cmbPaperNames->SetName("cmbPaperNames");
    cmbPaperNames->SetParent(TabSheet1);
    cmbPaperNames->SetStyle(csDropDownList);
    cmbPaperNames->SetBounds(79, 38, 225, 21);
    label(this, TabSheet1, "Label1", "宽度(厘米):", 8, 68);
    edtWidth = spin(this, TabSheet1, "edtWidth", 79, 68, 86, rmvtFloat, 0, 1);
    label(this, TabSheet1, "Label2", "高度(厘米):", 8, 94);
    edtHeight = spin(this, TabSheet1, "edtHeight", 79, 94, 86, rmvtFloat, 0, 1);
    auto* g2 = new TGroupBox(this);
    g2->SetName("GroupBox2");
    g2->SetParent(TabSheet1);
    g2->SetCaption("打印方向");
    g2->SetBounds(180, 62, 124, 76);
    rdbPortrait = new TRadioButton(this);
    rdbPortrait->SetName("rdbPortrait");
    rdbPortrait->SetParent(g2);
    rdbPortrait->SetCaption("纵向(&P)");
    rdbPortrait->SetBounds(8, 18, 100, 18);
    rdbPortrait->SetChecked(true);
    rdbLandscape = new TRadioButton(this);
    rdbLandscape->SetName("rdbLandscape");
    rdbLandscape->SetParent(g2);
    rdbLandscape->SetCaption("横向(&L)");
    rdbLandscape->SetBounds(8, 38, 100, 18);
    chkUnlimitedHeight = check(this, TabSheet1, "chkUnlimitedHeight", "不限制高度", 8, 146);
    chkUnlimitedHeight->SetWidth(160);
    label(this, TabSheet1, "Label9", "标题:", 8, 174);
    edtTitle = new TEdit(this);
    edtTitle->SetName("edtTitle");
    edtTitle->SetParent(TabSheet1);
    edtTitle->SetBounds(79, 174, 225, 21);

    label(this, TabSheet4, "lblPaperTray", "纸张来源:", 8, 10);
    lstBinNames = new TListBox(this);
    lstBinNames->SetName("lstBinNames");
    lstBinNames->SetParent(TabSheet4);
    lstBinNames->SetBounds(8, 32, 296, 150);

    label(this, TabSheet2, "Label4", "上(厘米):", 30, 21);
    edtTop = spin(this, TabSheet2, "edtTop", 119, 21, 83, rmvtFloat, -2147483647, 0.1);
    label(this, TabSheet2, "Label6", "下(厘米):", 30, 48);
    edtBottom = spin(this, TabSheet2, "edtBottom", 119, 48, 83, rmvtFloat, -2147483647, 0.1);
    label(this, TabSheet2, "Label3", "左(厘米):", 30, 75);
    edtLeft = spin(this, TabSheet2, "edtLeft", 119, 75, 83, rmvtFloat, -2147483647, 0.1);
    label(this, TabSheet2, "Label5", "右(厘米):", 30, 102);
    edtRight = spin(this, TabSheet2, "edtRight", 119, 102, 83, rmvtFloat, -2147483647, 0.1);
    for (auto* e : {edtTop, edtBottom, edtLeft, edtRight}) e->SetDecimal(1);

    auto* g5 = new TGroupBox(this);
    g5->SetName("GroupBox5");
    g5->SetParent(TabSheet3);
    g5->SetCaption("分栏");
    g5->SetBounds(8, 8, 296, 76);
    label(this, g5, "Label7", "栏数(&N):", 8, 21);
    edtColCount = spin(this, g5, "edtColCount", 110, 21, 60, rmvtInteger, 1, 1);
    label(this, g5, "Label8", "栏间隔(厘米):", 8, 48);
    edtColGap = spin(this, g5, "edtColGap", 110, 48, 105, rmvtFloat, -2147483647, 0.1);
    auto* g1 = new TGroupBox(this);
    g1->SetName("GroupBox1");
    g1->SetParent(TabSheet3);
    g1->SetCaption("选项");
    g1->SetBounds(8, 90, 296, 120);
    chkPrintToPrevPage = check(this, g1, "chkPrintToPrevPage", "打印到前一页(&P)", 8, 18);
    chkDoublePass = check(this, g1, "chkDoublePass", "两遍报表(&T)", 8, 42);
    chkTaoda = check(this, g1, "chkTaoda", "不打印背景图", 8, 66);
    chkPrintBackColor = check(this, g1, "chkPrintBackColor", "打印时打印背景颜色", 8, 90);

    grbPreview = new TGroupBox(this);
    grbPreview->SetName("grbPreview");
    grbPreview->SetParent(this);
    grbPreview->SetCaption("预览");
    grbPreview->SetBounds(336, 8, 150, 224);
    PageImage = new TRMPageImage(this, this);
    PageImage->SetName("PageImage");
    PageImage->SetParent(grbPreview);
    PageImage->SetBounds(5, 20, grbPreview->Width() - 10, grbPreview->Height() - 30);

    btnOK = new TButton(this);
    btnOK->SetName("btnOK");
    btnOK->SetParent(this);
    btnOK->SetCaption("确认");
    btnOK->SetBounds(336, 244, 72, 25);
    btnOK->SetDefault(true);
    btnOK->OnClick = [this](TObject*) { okClick(); };
    btnCancel = new TButton(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(this);
    btnCancel->SetCaption("取消");
    btnCancel->SetBounds(414, 244, 72, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);

    // The engine's numbered texts, where the table has them.
    static const std::pair<const char*, int> kTexts[] = {
        {"TabSheet1", 45391},         {"GroupBox2", 45392},     {"rdbPortrait", 45393},       {"rdbLandscape", 45394},
        {"lblPaperSize", 45395},      {"Label1", 45396},        {"Label2", 45397},            {"TabSheet2", 45398},
        {"Label3", 45400},            {"Label4", 45401},        {"Label5", 45402},            {"Label6", 45403},
        {"chkPrintBackColor", 45369}, {"TabSheet3", 45405},     {"GroupBox1", 45406},         {"chkPrintToPrevPage", 45407},
        {"chkUnlimitedHeight", 45413}, {"GroupBox5", 45408},    {"Label7", 45409},            {"Label8", 45410},
        {"TabSheet4", 45411},         {"lblPaperTray", 45412},  {"Label9", 45372},            {"chkDoublePass", 45374},
        {"lblPrinterName", 45371},    {"chkTaoda", 45375},      {"grbPreview", 45399},        {"btnOK", 47000},
        {"btnCancel", 47001},
    };
    RMSetStrProp(this, "Caption", 45390);
    for (auto& [name, id] : kTexts) RMSetStrProp(FindComponent(name), "Caption", id);

    for (int i = 0; i < RMPrinters()->Count(); ++i) cmbPrinterNames->Items()->Add(RMPrinters()->Name(i));

    // Events: the edits store on leaving and on their arrows; nothing is
    // stored while Cancel is being pressed.
    cmbPrinterNames->OnChange = [this](TObject*) { PrinterChanged(); };
    cmbPaperNames->OnChange = [this](TObject*) {
        if (showing_) return;
        int i = cmbPaperNames->ItemIndex();
        if (i < 0) return;
        const TRMPrinterInfo& info = chosenInfo();
        if (i >= info.GetPaperCount()) return;
        const TRMPaperInfo& p = info.Papers[size_t(i)];
        Setting.PaperSize = p.Code;
        if (p.Code != info.CustomPaperCode) {
            Setting.PaperWidth = Setting.Orientation ? p.Height : p.Width;
            Setting.PaperHeight = Setting.Orientation ? p.Width : p.Height;
        }
        ShowSetting();
    };
    auto orient = [this](TObject*) {
        if (showing_) return;
        Setting.SetOrientation(rdbPortrait->Checked() ? 0 : 1);
        ShowSetting();
    };
    rdbPortrait->OnClick = orient;
    rdbLandscape->OnClick = orient;
    for (auto* e : {edtWidth, edtHeight}) {
        auto read = [this](TObject*) {
            if (showing_ || cancelling()) return;
            ReadPaperSize();
            ShowSetting();
        };
        e->OnExit = read;
        e->OnTopClick = read;
        e->OnBottomClick = read;
    }
    for (auto* e : {edtTop, edtBottom, edtLeft, edtRight, edtColCount, edtColGap}) {
        auto read = [this](TObject*) {
            if (showing_ || cancelling()) return;
            ReadMargins();
        };
        e->OnExit = read;
        e->OnTopClick = read;
        e->OnBottomClick = read;
    }
    lstBinNames->OnClick = [this](TObject*) {
        int i = lstBinNames->ItemIndex();
        if (i >= 0) Setting.Bin = chosenInfo().GetBin(i);
    };
    auto box = [this](TCheckBox* c, bool TRMPageSetting::*field) {
        c->OnClick = [this, c, field](TObject*) {
            if (!showing_) Setting.*field = c->Checked();
        };
    };
    box(chkPrintToPrevPage, &TRMPageSetting::PrintToPrevPage);
    box(chkUnlimitedHeight, &TRMPageSetting::UnlimitedHeight);
    box(chkDoublePass, &TRMPageSetting::DoublePass);
    box(chkTaoda, &TRMPageSetting::PrintVisible);
    box(chkPrintBackColor, &TRMPageSetting::PrintBackColor);
    edtTitle->OnExit = [this](TObject*) { Setting.Title = edtTitle->Text(); };

    if (report_) {
        // The report's first page gives the setting; built pages may have
        // been set up already, so the first of them wins when there is one.
        TRMPage* p = report_->Pages.Count() ? report_->Pages[0] : nullptr;
        if (p) {
            Setting.PaperSize = RMPaperCodeOf(p->PaperWidth / 100, p->PaperHeight / 100);
            Setting.Orientation = p->Orientation;
            Setting.PaperWidth = (p->Orientation ? p->PaperHeight : p->PaperWidth) / 100;
            Setting.PaperHeight = (p->Orientation ? p->PaperWidth : p->PaperHeight) / 100;
            Setting.MarginLeft = p->MarginLeft / 1000.0;
            Setting.MarginTop = p->MarginTop / 1000.0;
            Setting.MarginRight = p->MarginRight / 1000.0;
            Setting.MarginBottom = p->MarginBottom / 1000.0;
            Setting.ColCount = p->Columns;
            Setting.ColGap = p->ColumnGap / 1000.0;
            Setting.PrintToPrevPage = p->PrintToPrevPage;
            Setting.Bin = p->Bin;
        }
        Setting.Title = report_->ReportInfo.Title;
        Setting.DoublePass = report_->DoublePass;
        Setting.PrintVisible = report_->PrintVisibleDefault;
        Setting.PrintBackColor = report_->PrintBackColor;
    }
    fill();
}

bool TRMPageSetupForm::cancelling() const { return ActiveControl() == btnCancel; }

int TRMPageSetupForm::ChosenPrinter() const { return cmbPrinterNames->ItemIndex(); }

const TRMPrinterInfo& TRMPageSetupForm::chosenInfo() const {
    return RMPrinters()->GetPrinterInfo(std::max(0, ChosenPrinter()));
}

void TRMPageSetupForm::DoShow() {
    fill();
    TForm::DoShow();
}

void TRMPageSetupForm::fill() {
    if (Setting.ColCount <= 0) Setting.ColCount = 1;
    int idx = Printer()->PrinterIndex();
    showing_ = true;
    cmbPrinterNames->SetItemIndex(idx < 0 ? 0 : idx + 2);
    edtTitle->SetText(Setting.Title);
    showing_ = false;
    PrinterChanged();
}

void TRMPageSetupForm::PrinterChanged() {
    // The chosen printer's papers and sources; the paper is found in
    // portrait terms, within a tenth of a millimetre either way; else it is
    // the custom size.
    const TRMPrinterInfo& info = chosenInfo();
    showing_ = true;
    cmbPaperNames->Items()->Clear();
    for (auto& p : info.Papers) cmbPaperNames->Items()->Add(p.Name);
    lstBinNames->Items()->Clear();
    for (auto& b : info.Bins) lstBinNames->Items()->Add(b.Name);
    showing_ = false;
    int w = Setting.Orientation ? Setting.PaperHeight : Setting.PaperWidth;
    int h = Setting.Orientation ? Setting.PaperWidth : Setting.PaperHeight;
    const auto& papers = info.Papers;
    Setting.PaperSize = info.CustomPaperCode;
    for (auto& p : papers)
        if (p.Code != info.CustomPaperCode && std::abs(p.Width - w) <= 1 && std::abs(p.Height - h) <= 1) {
            Setting.PaperSize = p.Code;
            break;
        }
    ShowSetting();
}

void TRMPageSetupForm::ShowSetting() {
    if (showing_) return;
    showing_ = true;
    edtTop->SetValue(Setting.MarginTop / 10);
    edtBottom->SetValue(Setting.MarginBottom / 10);
    edtLeft->SetValue(Setting.MarginLeft / 10);
    edtRight->SetValue(Setting.MarginRight / 10);
    edtColCount->SetValue(Setting.ColCount);
    edtColGap->SetValue(Setting.ColGap / 10);
    chkPrintToPrevPage->SetChecked(Setting.PrintToPrevPage);
    chkUnlimitedHeight->SetChecked(Setting.UnlimitedHeight);
    chkDoublePass->SetChecked(Setting.DoublePass);
    chkTaoda->SetChecked(Setting.PrintVisible);
    chkPrintBackColor->SetChecked(Setting.PrintBackColor);
    (Setting.Orientation ? rdbLandscape : rdbPortrait)->SetChecked(true);
    edtWidth->SetValue(Setting.PaperWidth / 100.0);
    edtHeight->SetValue(Setting.PaperHeight / 100.0);
    const TRMPrinterInfo& info = chosenInfo();
    lstBinNames->SetItemIndex(info.GetBinIndex(Setting.Bin));
    const auto& papers = info.Papers;
    int sel = int(papers.size()) - 1;
    for (size_t i = 0; i < papers.size(); ++i)
        if (papers[i].Code == Setting.PaperSize) sel = int(i);
    cmbPaperNames->SetItemIndex(sel);
    bool custom = sel == int(papers.size()) - 1;
    edtWidth->SetEnabled(custom);
    edtHeight->SetEnabled(custom);
    showing_ = false;
    if (custom) ReadPaperSize();
    PageImage->DrawPage();
}

void TRMPageSetupForm::ReadPaperSize() {
    Setting.PaperWidth = int(std::lround(edtWidth->Value() * 100));
    Setting.PaperHeight = int(std::lround(edtHeight->Value() * 100));
}

void TRMPageSetupForm::ReadMargins() {
    Setting.SetMargin(0, edtLeft->Value() * 10);
    Setting.SetMargin(1, edtTop->Value() * 10);
    Setting.SetMargin(2, edtRight->Value() * 10);
    Setting.SetMargin(3, edtBottom->Value() * 10);
    Setting.SetColCount(edtColCount->AsInteger());
    Setting.SetMargin(4, edtColGap->Value() * 10);
    if (!showing_) PageImage->DrawPage();
}

void TRMPageSetupForm::okClick() {
    // What is still typed in an edit counts, as leaving it would store it.
    if (edtWidth->Enabled()) ReadPaperSize();
    ReadMargins();
    Setting.Title = edtTitle->Text();
    Setting.SetOrientation(rdbLandscape->Checked() ? 1 : 0);
    if (Setting.PaperWidth <= 0 || Setting.PaperHeight <= 0 ||
        Setting.MarginLeft + Setting.MarginRight >= Setting.PaperWidth / 10.0 ||
        Setting.MarginTop + Setting.MarginBottom >= Setting.PaperHeight / 10.0) {
        // Said, and the dialog stays open, rather than closing as if done.
        ShowMessage("页边距超出纸张大小。");
        return;
    }
    int chosen = ChosenPrinter();
    try {
        if (chosen == 0)
            Printer()->SetPrinterIndex(-1);
        else if (chosen >= 2)
            Printer()->SetPrinterIndex(chosen - 2);
    } catch (const Exception& e) {
        ShowMessage(e.Message);
        return;
    }
    if (chosen != 1) {
        // Margins outside what the printer can reach are offered a fix.
        TPrinter* pr = Printer();
        double dx = pr->XDpi() > 0 ? pr->GetDeviceCaps(PHYSICALOFFSETX) * 25.4 / pr->XDpi() : 0;
        double dy = pr->YDpi() > 0 ? pr->GetDeviceCaps(PHYSICALOFFSETY) * 25.4 / pr->YDpi() : 0;
        double* sides[] = {&Setting.MarginLeft, &Setting.MarginTop, &Setting.MarginRight, &Setting.MarginBottom};
        double mins[] = {dx, dy, dx, dy};
        bool below = false;
        for (int i = 0; i < 4; ++i) below |= *sides[i] < mins[i] - 1e-9;
        if (below && Application->MessageBox("有一处或多处页边距设置了页面的可打印区域之外，是否自动调整页边距？",
                                             "警告", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
            for (int i = 0; i < 4; ++i)
                if (*sides[i] < mins[i]) *sides[i] = mins[i] + 0.5;
    }
    RMPrinter()->SetPrinterIndex(chosen);
    RMPrinter()->SetPrinterInfo(Setting.PaperSize, Setting.PaperWidth, Setting.PaperHeight, Setting.Orientation,
                                Setting.Bin);
    if (report_) applyToReport();
    SetModalResult(mrOk);
}

void TRMPageSetupForm::applyToReport() {
    const TRMPageSetting& s = Setting;
    for (int i = 0; i < report_->Pages.Count(); ++i) {
        TRMPage* p = report_->Pages[i];
        if (p->PageType != 0) continue;
        int w = (s.Orientation ? s.PaperHeight : s.PaperWidth) * 100;
        int h = (s.Orientation ? s.PaperWidth : s.PaperHeight) * 100;
        p->ChangePaper(s.PaperSize, w, h, s.Bin, uint8_t(s.Orientation));
        p->MarginLeft = int(std::lround(s.MarginLeft * 1000));
        p->MarginTop = int(std::lround(s.MarginTop * 1000));
        p->MarginRight = int(std::lround(s.MarginRight * 1000));
        p->MarginBottom = int(std::lround(s.MarginBottom * 1000));
        if (edtColCount->Enabled()) {
            p->Columns = s.ColCount;
            p->ColumnGap = int(std::lround(s.ColGap * 1000));
        }
        p->PrintToPrevPage = s.PrintToPrevPage;
    }
    report_->ReportInfo.Title = s.Title;
    report_->DoublePass = s.DoublePass;
    report_->PrintVisibleDefault = s.PrintVisible;
    report_->PrintBackColor = s.PrintBackColor;
    report_->Modified = true;
}
