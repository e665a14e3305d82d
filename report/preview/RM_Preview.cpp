#include "report/preview/RM_Preview.h"

#include <algorithm>
#include <cmath>

#include "Dialogs.h"
#include "Printers.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/print/RM_PrintDialog.h"
#include "report/print/RM_XLSExport.h"

double TRMPreviewForm::LastScale = 1.0;
TRMZoomMode TRMPreviewForm::LastZoomMode = zmPercent;
bool TRMPreviewForm::LastMagnifier = false;

namespace {
const char* const kZoomItems[] = {"200%", "150%",     "100%", "75%",  "50%",         "25%",
                                  "10%",  "页面宽度", "整页", "双页", "打印机分辨率"};

// The sixteen toolbar pictures, drawn here rather than shipped as files.
void drawImages(TImageList* list) {
    list->SetWidth(16);
    list->SetHeight(16);
    for (int i = 0; i < 16; ++i) {
        TBitmap b;
        b.SetSize(16, 16);
        TCanvas* c = b.Canvas();
        c->Brush()->SetColor(clFuchsia);
        c->FillRect(TRect(0, 0, 16, 16));
        c->Pen()->SetColor(clBlack);
        c->Pen()->SetWidth(1);
        auto page = [&](int l, int t, int r, int bt) {
            c->Brush()->SetColor(clWhite);
            c->Rectangle(l, t, r, bt);
        };
        auto tri = [&](std::vector<TPoint> p) {
            c->Brush()->SetColor(TColor(0x804000));
            c->Pen()->SetColor(TColor(0x804000));
            c->Polygon(p);
            c->Pen()->SetColor(clBlack);
        };
        switch (i) {
        case 0: // magnifier
            c->Brush()->SetColor(TColor(0xFFFFC0));
            c->Pen()->SetWidth(2);
            c->Ellipse(2, 2, 11, 11);
            c->MoveTo(10, 10);
            c->LineTo(14, 14);
            break;
        case 1: // whole page
            page(3, 1, 13, 15);
            for (int y = 4; y < 13; y += 2) {
                c->MoveTo(5, y);
                c->LineTo(11, y);
            }
            break;
        case 2: // 100 %
            c->Font()->SetSize(7);
            c->Font()->SetStyle(TFontStyles() << fsBold);
            c->Brush()->SetStyle(bsClear);
            c->TextOut(0, 2, "1:1");
            c->Brush()->SetStyle(bsSolid);
            break;
        case 3: // page width
            page(4, 1, 12, 15);
            tri({TPoint(0, 8), TPoint(3, 5), TPoint(3, 11)});
            tri({TPoint(15, 8), TPoint(12, 5), TPoint(12, 11)});
            break;
        case 4: // first
            c->Brush()->SetColor(TColor(0x804000));
            c->FillRect(TRect(3, 3, 5, 13));
            tri({TPoint(5, 8), TPoint(12, 3), TPoint(12, 13)});
            break;
        case 5: tri({TPoint(4, 8), TPoint(11, 3), TPoint(11, 13)}); break;
        case 6: tri({TPoint(11, 8), TPoint(4, 3), TPoint(4, 13)}); break;
        case 7: // last
            tri({TPoint(10, 8), TPoint(3, 3), TPoint(3, 13)});
            c->Brush()->SetColor(TColor(0x804000));
            c->FillRect(TRect(11, 3, 13, 13));
            break;
        case 8: // find: a page under the glass
            page(1, 1, 10, 13);
            c->Brush()->SetColor(TColor(0xFFFFC0));
            c->Pen()->SetWidth(2);
            c->Ellipse(6, 5, 13, 12);
            c->MoveTo(12, 11);
            c->LineTo(15, 14);
            break;
        case 9: // open: a folder
            c->Brush()->SetColor(TColor(0x00C0FF));
            c->Polygon({TPoint(1, 4), TPoint(6, 4), TPoint(7, 6), TPoint(14, 6), TPoint(14, 13), TPoint(1, 13)});
            break;
        case 10: // save: a disk
            c->Brush()->SetColor(TColor(0x806000));
            c->Rectangle(1, 1, 15, 15);
            c->Brush()->SetColor(clWhite);
            c->Rectangle(4, 2, 12, 7);
            c->Brush()->SetColor(clSilver);
            c->Rectangle(4, 10, 12, 15);
            break;
        case 11: // print
            page(4, 1, 12, 6);
            c->Brush()->SetColor(clSilver);
            c->Rectangle(1, 6, 15, 12);
            page(4, 10, 12, 15);
            c->Brush()->SetColor(clLime);
            c->FillRect(TRect(12, 7, 14, 9));
            break;
        case 12: // page setup: a page with a ruler
            page(3, 3, 14, 15);
            c->Brush()->SetColor(TColor(0x00C0FF));
            c->Rectangle(0, 0, 16, 3);
            c->Rectangle(0, 0, 3, 16);
            break;
        case 13: // design: a pencil
            c->Brush()->SetColor(TColor(0x00C0FF));
            c->Polygon({TPoint(2, 14), TPoint(3, 10), TPoint(11, 2), TPoint(14, 5), TPoint(6, 13)});
            break;
        case 14: // close: a door
            c->Brush()->SetColor(TColor(0x2060A0));
            c->Rectangle(3, 1, 13, 15);
            c->Brush()->SetColor(clYellow);
            c->FillRect(TRect(10, 8, 12, 10));
            break;
        case 15: // spreadsheet: a grid
            page(1, 2, 15, 14);
            c->Brush()->SetColor(TColor(0x008000));
            c->FillRect(TRect(1, 2, 15, 5));
            for (int x = 5; x < 15; x += 4) {
                c->MoveTo(x, 5);
                c->LineTo(x, 14);
            }
            for (int y = 8; y < 14; y += 3) {
                c->MoveTo(1, y);
                c->LineTo(15, y);
            }
            break;
        }
        list->AddMasked(&b, clFuchsia);
    }
}
} // namespace

TRMPreviewForm::TRMPreviewForm(TComponent* owner, TRMReport* report) : TForm(owner), report_(report) {
    SetName("RMPreviewForm");
    RMRegisterBuiltInExportFilters();
    std::string title = report->ReportInfo.Title.empty() ? ExtractFileName(report->FileName) : report->ReportInfo.Title;
    SetCaption(RMLoadStr(47207) + " - " + title);
    SetClientWidth(900);
    SetClientHeight(640);
    SetKeyPreview(true);
    SetShowHint(true);
    SetPosition(poScreenCenter);
    RMSetDialogFont(Font());
    build();
    localize();
    report_->PreviewOpened = true;
    // Every preview starts from the zoom the last one ended with.
    Preview->SetPercentScale(LastScale);
    Preview->SetZoomModeOnly(LastZoomMode);
    Preview->SetMagnifier(LastMagnifier);
    btnMagnifier->SetDown(LastMagnifier);
    Preview->ShowReport(report_);
    applyButtons();
    syncToolbar();
}

// The engine's numbered texts over the designed ones, where the table has
// them; a toolbar hint keeps its keys after the text.
void TRMPreviewForm::localize() {
    static const std::pair<const char*, int> kCaptions[] = {
        {"ToolbarPreviewStand", 45011}, {"itmScale7", 45020},     {"itmScale8", 45021},     {"itmScale9", 45022},
        {"itmPrint", 46866},            {"itmPrintCurrentPage", 45376}, {"itmNewPage", 45030}, {"InsertBefore1", 46867},
        {"InsertAfter1", 46868},        {"Append1", 46869},       {"itmDeletePage", 45031}, {"itmEditPage", 45029},
    };
    for (auto& [name, id] : kCaptions) RMSetStrProp(FindComponent(name), "Caption", id);
    static const struct {
        const char* name;
        int id;
        const char* keys;
    } kHints[] = {
        {"cmbZoom", 45007, ""},
        {"btnMagnifier", 45008, " (Ctrl+M)"},
        {"btnOnePage", 46858, " (Ctrl+2)"},
        {"btnPageWidth", 46857, " (Ctrl+3)"},
        {"btnFirst", 45032, " (Ctrl+Home)"},
        {"btnPrior", 45033, " (Ctrl+PgUp)"},
        {"btnNext", 45034, " (Ctrl+PgDn)"},
        {"btnLast", 45035, " (Ctrl+End)"},
        {"btnFind", 45028, " (Ctrl+F)"},
        {"btnOpen", 45025, " (Ctrl+O)"},
        {"btnSave", 45026, " (Ctrl+S)"},
        {"btnSaveToXLS", 45009, ""},
        {"btnPrint", 45027, " (Ctrl+P)"},
        {"btnPageSetup", 45024, " (Ctrl+U)"},
        {"btnDesign", 45010, ""},
        {"btnExit", 45023, " (Esc)"},
    };
    for (auto& h : kHints)
        if (std::string t = RMLoadStr(h.id); !t.empty())
            if (auto* c = dynamic_cast<TControl*>(FindComponent(h.name))) c->SetHint(t + h.keys);
    // The named zoom choices follow the percentages.
    static const int kZoomTexts[] = {46857, 46858, 46859, 46870};
    for (int i = 0; i < 4; ++i)
        if (std::string t = RMLoadStr(kZoomTexts[i]); !t.empty()) cmbZoom->Items()->SetStrings(7 + i, t);
}

void TRMPreviewForm::build() {
    ImageList1 = new TImageList(this);
    ImageList1->SetName("ImageList1");
    drawImages(ImageList1);

    Dock971 = new TDock97(this, dpTop);
    Dock971->SetName("Dock971");
    Dock971->SetParent(this);
    Dock971->FixAlign = true;
    Dock972 = new TDock97(this, dpBottom);
    Dock972->SetName("Dock972");
    Dock972->SetParent(this);
    Dock972->FixAlign = true;

    ToolbarPreviewStand = new TToolbar97(this);
    ToolbarPreviewStand->SetName("ToolbarPreviewStand");
    ToolbarPreviewStand->SetCaption("预览工具栏");
    ToolbarPreviewStand->CloseButton = false;
    ToolbarPreviewStand->LockLayout();
    TToolbar97* tb = ToolbarPreviewStand;
    tb->SetDockedTo(Dock971);
    auto sep = [&]() {
        auto* s = new TToolbarSep97(this);
        s->SetParent(tb);
        return s;
    };
    auto button = [&](const char* name, int image, const char* hint, bool toggle = false, int group = 0) {
        auto* b = new TToolbarButton97(this);
        b->SetName(name);
        b->SetParent(tb);
        b->SetImages(ImageList1, image);
        b->SetHint(hint);
        b->SetShowHint(true);
        if (toggle) {
            b->AllowAllUp = true;
            b->GroupIndex = group;
        }
        return b;
    };
    cmbZoom = new TComboBox(this);
    cmbZoom->SetName("cmbZoom");
    cmbZoom->SetParent(tb);
    cmbZoom->SetBounds(0, 0, 90, 21);
    cmbZoom->SetHint("显示比例");
    cmbZoom->SetShowHint(true);
    cmbZoom->SetTabStop(false);
    for (const char* z : kZoomItems) cmbZoom->Items()->Add(z);
    sepZoom = sep();
    btnMagnifier = button("btnMagnifier", 0, "放大镜 (Ctrl+M)", true, 1);
    btnOnePage = button("btnOnePage", 1, "整页 (Ctrl+2)", true, 2);
    btn100 = button("btn100", 2, "100% (Ctrl+1)", true, 2);
    btnPageWidth = button("btnPageWidth", 3, "页面宽度 (Ctrl+3)", true, 2);
    sep();
    btnFirst = button("btnFirst", 4, "第一页 (Ctrl+Home)");
    btnPrior = button("btnPrior", 5, "上一页 (Ctrl+PgUp)");
    edtPageNo = new TEdit97(this);
    edtPageNo->SetName("edtPageNo");
    edtPageNo->SetParent(tb);
    edtPageNo->SetBounds(0, 0, 40, 20);
    edtPageNo->SetHint("页码 (Ctrl+G)");
    edtPageNo->SetShowHint(true);
    btnNext = button("btnNext", 6, "下一页 (Ctrl+PgDn)");
    btnLast = button("btnLast", 7, "最后一页 (Ctrl+End)");
    sepFind = sep();
    btnFind = button("btnFind", 8, "查找文本 (Ctrl+F)");
    sepFile = sep();
    btnOpen = button("btnOpen", 9, "打开报表 (Ctrl+O)");
    btnSave = button("btnSave", 10, "保存报表 (Ctrl+S)");
    btnSaveToXLS = button("btnSaveToXLS", 15, "保存为excel格式文件");
    btnPrint = button("btnPrint", 11, "打印报表 (Ctrl+P)");
    btnPageSetup = button("btnPageSetup", 12, "页面设置 (Ctrl+U)");
    sepDesign = sep();
    btnDesign = button("btnDesign", 13, "修改报表");
    sepExit = sep();
    btnExit = button("btnExit", 14, "关闭预览 (Esc)");
    tb->UnlockLayout();

    ProcMenu = new TPopupMenu(this);
    ProcMenu->SetName("ProcMenu");
    auto item = [&](TMenuItem* parent, const char* name, const std::string& caption, int tag = 0) {
        auto* m = new TMenuItem(this);
        m->SetName(name);
        m->SetCaption(caption);
        m->SetTag(tag);
        parent->Add(m);
        return m;
    };
    const std::pair<int, const char*> scales[] = {{200, "200%"},   {150, "150%"},  {100, "100%"}, {75, "75%"},
                                                  {50, "50%"},     {25, "25%"},    {10, "10%"},   {1, "页宽(&P)"},
                                                  {2, "整页(&W)"}, {3, "双页(&T)"}};
    int k = 0;
    for (auto [tag, cap] : scales) {
        auto* m = item(ProcMenu->Items(), ("itmScale" + std::to_string(k++)).c_str(), cap, tag);
        m->SetRadioItem(true);
        m->SetGroupIndex(1);
        m->SetChecked(tag == 100);
        m->OnClick = [this, m](TObject*) {
            int t = int(m->Tag());
            if (t == 1)
                Preview->PageWidth();
            else if (t == 2)
                Preview->OnePage();
            else if (t == 3)
                Preview->TwoPages();
            else
                Preview->SetZoom(t);
            m->SetChecked(true);
            remember();
        };
    }
    item(ProcMenu->Items(), "N1", "-");
    itmPrint = item(ProcMenu->Items(), "itmPrint", "打印...");
    itmPrint->OnClick = [this](TObject*) { Preview->Print(); };
    itmPrintCurrentPage = item(ProcMenu->Items(), "itmPrintCurrentPage", "打印当前页");
    itmPrintCurrentPage->OnClick = [this](TObject*) { Preview->PrintCurrentPage(); };
    auto* n4 = item(ProcMenu->Items(), "N4", "-");
    itmNewPage = item(ProcMenu->Items(), "itmNewPage", "增加页");
    item(itmNewPage, "InsertBefore1", "插入新页(之前)")->OnClick = [this](TObject*) { Preview->InsertPageBefore(); };
    item(itmNewPage, "InsertAfter1", "插入新页(之后)")->OnClick = [this](TObject*) {
        Preview->InsertPageAfter();
        Preview->Next();
    };
    item(itmNewPage, "N2", "-");
    item(itmNewPage, "Append1", "追加新页")->OnClick = [this](TObject*) {
        Preview->AddPage();
        Preview->Last();
    };
    itmDeletePage = item(ProcMenu->Items(), "itmDeletePage", "删除页...");
    itmDeletePage->OnClick = [this](TObject*) { Preview->DeletePage(Preview->CurPage() - 1); };
    itmEditPage = item(ProcMenu->Items(), "itmEditPage", "编辑页...");
    itmEditPage->OnClick = [this](TObject*) { Preview->EditPage(Preview->CurPage() - 1); };
    bool designer = bool(RMDesignerClass);
    for (auto* m : {n4, itmNewPage, itmDeletePage, itmEditPage}) m->SetVisible(designer);
    ProcMenu->OnPopup = [this](TObject*) {
        int idx = cmbZoom->ItemIndex();
        if (idx >= 0 && idx < 10) {
            auto* m = dynamic_cast<TMenuItem*>(FindComponent("itmScale" + std::to_string(idx)));
            if (m) m->SetChecked(true);
        }
        bool canModify = Preview->CanModifyPages();
        for (const char* n : {"N4", "itmNewPage", "itmDeletePage", "itmEditPage"})
            if (auto* m = dynamic_cast<TMenuItem*>(FindComponent(n))) m->SetVisible(canModify);
        itmPrint->SetEnabled(btnPrint->Enabled());
        itmPrintCurrentPage->SetEnabled(btnPrint->Enabled());
    };

    Preview = new TRMPreview(this);
    Preview->SetName("Preview");
    Preview->SetParent(this);
    Preview->SetAlign(alClient);
    Preview->SetPopupMenu(ProcMenu);
    Preview->DrawPanel->SetPopupMenu(ProcMenu);
    Preview->OnStatusChange = [this](TObject*) { syncToolbar(); };
    Preview->OnPageChanged = [this](TObject*) { edtPageNo->SetText(std::to_string(Preview->CurPage())); };

    cmbZoom->OnChange = [this](TObject*) {
        if (syncing_) return;
        int i = cmbZoom->ItemIndex();
        static const int pct[] = {200, 150, 100, 75, 50, 25, 10};
        if (i >= 0 && i < 7)
            Preview->SetZoom(pct[i]);
        else if (i == 7)
            Preview->PageWidth();
        else if (i == 8)
            Preview->OnePage();
        else if (i == 9)
            Preview->TwoPages();
        else if (i == 10)
            Preview->PrinterZoom();
    };
    cmbZoom->OnKeyDown = [this](TObject*, Word& k, TShiftState) {
        if (k == VK_RETURN) {
            ZoomText(cmbZoom->Text());
            k = 0;
        }
    };
    edtPageNo->OnKeyDown = [this](TObject*, Word& k, TShiftState) {
        if (k != VK_RETURN) return;
        int n;
        if (TryStrToInt(Trim(edtPageNo->Text()), n)) Preview->GotoPage(n);
        edtPageNo->SetText(std::to_string(Preview->CurPage()));
        edtPageNo->SelectAll();
        k = 0;
    };
    btnMagnifier->OnClick = [this](TObject*) {
        Preview->SetMagnifier(btnMagnifier->Down());
        LastMagnifier = btnMagnifier->Down();
    };
    btnOnePage->OnClick = [this](TObject*) {
        Preview->OnePage();
        remember();
    };
    btn100->OnClick = [this](TObject*) {
        Preview->SetZoom(100);
        remember();
    };
    btnPageWidth->OnClick = [this](TObject*) {
        Preview->PageWidth();
        remember();
    };
    btnFirst->OnClick = [this](TObject*) { Preview->First(); };
    btnPrior->OnClick = [this](TObject*) { Preview->Prior(); };
    btnNext->OnClick = [this](TObject*) { Preview->Next(); };
    btnLast->OnClick = [this](TObject*) { Preview->Last(); };
    btnFind->OnClick = [this](TObject*) { Preview->Find(); };
    btnPrint->OnClick = [this](TObject*) { Preview->Print(); };
    btnPageSetup->OnClick = [this](TObject*) { Preview->PageSetup(); };
    btnDesign->OnClick = [this](TObject*) {
        // No designer is registered yet: the button stays hidden and does
        // nothing when reached by other means.
    };
    btnOpen->OnClick = [this](TObject*) { open(); };
    btnSave->OnClick = [this](TObject*) { save(); };
    btnSaveToXLS->OnClick = [this](TObject*) { saveToXLS(); };
    btnExit->OnClick = [this](TObject*) { exitClick(); };
    OnKeyDown = [this](TObject*, Word& k, TShiftState s) { keyDown(k, s); };
}

void TRMPreviewForm::applyButtons() {
    int b = report_->PreviewButtons;
    cmbZoom->SetVisible(b & pbZoom);
    sepZoom->SetVisible(b & pbZoom);
    btnFind->SetVisible(b & pbFind);
    sepFind->SetVisible(b & pbFind);
    btnOpen->SetVisible(b & pbLoad);
    btnSave->SetVisible(b & pbSave);
    btnSaveToXLS->SetVisible((b & pbSaveToXLS) && spreadsheetFilter());
    btnPrint->SetVisible(b & pbPrint);
    btnPageSetup->SetVisible(b & pbPageSetup);
    sepFile->SetVisible(btnOpen->Visible() || btnSave->Visible() || btnPrint->Visible() || btnPageSetup->Visible() ||
                        btnSaveToXLS->Visible());
    bool design = (b & pbDesign) && RMDesignerClass;
    btnDesign->SetVisible(design);
    sepDesign->SetVisible(design);
    btnExit->SetVisible(b & pbExit);
    sepExit->SetVisible(b & pbExit);
    btnPrint->SetEnabled(!Printer()->Printers().empty());
    itmPrint->SetVisible(btnPrint->Visible());
    itmPrintCurrentPage->SetVisible(btnPrint->Visible());
    ToolbarPreviewStand->ArrangeControls();
}

void TRMPreviewForm::syncCombo() {
    syncing_ = true;
    if (btnPageWidth->Down())
        cmbZoom->SetItemIndex(7);
    else if (btnOnePage->Down())
        cmbZoom->SetItemIndex(8);
    else if (btn100->Down())
        cmbZoom->SetItemIndex(2);
    else if (Preview->ZoomMode() == zmTwoPages)
        cmbZoom->SetItemIndex(9);
    else if (Preview->ZoomMode() == zmPrinter)
        cmbZoom->SetItemIndex(10);
    else {
        std::string t = std::to_string(int(std::lround(Preview->Zoom()))) + "%";
        int i = cmbZoom->Items()->IndexOf(t);
        cmbZoom->SetItemIndex(i);
        if (i < 0) cmbZoom->SetText(t);
    }
    syncing_ = false;
}

void TRMPreviewForm::syncToolbar() {
    TRMZoomMode m = Preview->ZoomMode();
    auto setGroup = [](TToolbarButton97* down, std::initializer_list<TToolbarButton97*> all) {
        for (auto* b : all) b->SetDown(b == down);
    };
    if (m == zmPageWidth)
        setGroup(btnPageWidth, {btnOnePage, btn100, btnPageWidth});
    else if (m == zmWholePage)
        setGroup(btnOnePage, {btnOnePage, btn100, btnPageWidth});
    else if (m == zmPercent && std::lround(Preview->Zoom()) == 100)
        setGroup(btn100, {btnOnePage, btn100, btnPageWidth});
    else
        setGroup(nullptr, {btnOnePage, btn100, btnPageWidth});
    syncCombo();
}

void TRMPreviewForm::remember() {
    LastScale = Preview->PercentScale();
    LastZoomMode = Preview->ZoomMode();
}

void TRMPreviewForm::ZoomText(const std::string& t0) {
    std::string t = Trim(t0);
    int i = cmbZoom->Items()->IndexOf(t);
    if (i >= 7) {
        cmbZoom->SetItemIndex(i);
        return;
    }
    // "75%" and "75" both mean 75 %; anything else leaves the zoom alone.
    if (!t.empty() && t.back() == '%') t.pop_back();
    double z;
    if (TryStrToFloat(Trim(t), z) && z > 0) Preview->SetZoom(z);
    syncToolbar();
}

void TRMPreviewForm::open() {
    TOpenDialog d(this);
    d.SetFilter("Report 文件 (*.rmp)|*.rmp");
    d.SetInitialDir(Preview->InitialDir);
    if (!d.Execute()) return;
    std::vector<std::string> files{d.FileName()};
    Preview->LoadFromFiles(files);
    SetCaption(RMLoadStr(47207) + " - " + ExtractFileName(files[0]));
}

TRMExportFilter* TRMPreviewForm::spreadsheetFilter() const {
    for (int i = 0; i < RMGetExportFilterCount(); ++i)
        if (RMGetExportFilter(i).Filter->IsSpreadsheet()) return RMGetExportFilter(i).Filter;
    return nullptr;
}

void TRMPreviewForm::saveToXLS() {
    TRMExportFilter* f = spreadsheetFilter();
    if (!f) return;
    // The filter asks for its file itself; the export then runs without
    // asking again.
    if (f->FileName.empty()) f->FileName = ChangeFileExt(report_->ReportInfo.Title.empty() ? ExtractFileName(report_->FileName) : report_->ReportInfo.Title, ".xlsx");
    if (f->Setup() != 1) return;
    bool shown = f->ShowDialog;
    f->ShowDialog = false;
    ScopeExit back([&] { f->ShowDialog = shown; });
    Preview->ExportTo(f, f->FileName);
}

void TRMPreviewForm::save() {
    TSaveDialog d(this);
    std::string filter = "Report 文件 (*.rmp)|*.rmp";
    for (int i = 0; i < RMGetExportFilterCount(); ++i)
        filter += "|" + RMGetExportFilter(i).Description + "|" + RMGetExportFilter(i).Mask;
    d.SetFilter(filter);
    d.SetFilterIndex(1);
    d.SetDefaultExt("rmp");
    d.SetInitialDir(Preview->InitialDir);
    if (d.Execute()) Preview->SaveToFile(d.FileName(), d.FilterIndex());
}

void TRMPreviewForm::exitClick() {
    if (report_->ModalPreview && Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TRMPreviewForm::DoShow() {
    TForm::DoShow();
    // The keyboard starts on the pages, not in a box of the toolbar.
    if (Preview->DrawPanel->CanFocus()) Preview->DrawPanel->SetFocus();
    RestoreToolWindowPositions({ToolbarPreviewStand});
    ToolbarPreviewStand->Show();
}

void TRMPreviewForm::DoClose(TCloseAction& a) {
    SaveToolWindowPositions({ToolbarPreviewStand});
    TForm::DoClose(a);
    if (FreeOnClose) {
        a = caFree;
        report_->PreviewOpened = false;
    }
}

void TRMPreviewForm::keyDown(Word& k, TShiftState s) {
    bool ctrl = s.Contains(ssCtrl), alt = s.Contains(ssAlt);
    // Caret keys typed into the zoom box or the page box are theirs.
    bool inBox = cmbZoom->Focused() || edtPageNo->Focused();
    if (inBox && !ctrl && (k == VK_LEFT || k == VK_RIGHT || k == VK_HOME || k == VK_END)) return;
    if (inBox && cmbZoom->Focused() && !ctrl && (k == VK_UP || k == VK_DOWN)) return;
    auto* v = Preview->VScrollBar;
    auto* h = Preview->HScrollBar;
    auto moveBar = [](TScrollBar* b, int by) { b->SetPosition(std::clamp(b->Position() + by, b->Min(), b->Max())); };
    switch (k) {
    case VK_UP: moveBar(v, -v->SmallChange()); break;
    case VK_DOWN: moveBar(v, v->SmallChange()); break;
    case VK_LEFT: moveBar(h, -h->SmallChange()); break;
    case VK_RIGHT: moveBar(h, h->SmallChange()); break;
    case VK_PRIOR:
        if (ctrl)
            btnPrior->Click();
        else
            moveBar(v, -v->LargeChange());
        break;
    case VK_NEXT:
        if (ctrl)
            btnNext->Click();
        else
            moveBar(v, v->LargeChange());
        break;
    case VK_ESCAPE: btnExit->Click(); break;
    case VK_HOME:
        if (!ctrl) return;
        btnFirst->Click();
        break;
    case VK_END:
        if (!ctrl) return;
        btnLast->Click();
        break;
    case VK_F3:
        if (ctrl) break;
        if (Preview->SearchText().empty()) return;
        Preview->ContinueFromCurrentPage();
        if (!Preview->FindNext()) ShowMessage("未找到 \"" + Preview->SearchText() + "\"。");
        break;
    default:
        if (!ctrl) return;
        switch (k) {
        case 'P':
            if (!btnPrint->Enabled()) break;
            if (alt)
                Preview->PrintCurrentPage();
            else
                btnPrint->Click();
            break;
        case 'O': btnOpen->Click(); break;
        case 'S': btnSave->Click(); break;
        case 'F': btnFind->Click(); break;
        case 'U': btnPageSetup->Click(); break;
        case 'E':
            if (itmEditPage->Visible()) itmEditPage->Click();
            break;
        case 'M':
            btnMagnifier->SetDown(!btnMagnifier->Down());
            btnMagnifier->OnClick(btnMagnifier);
            break;
        case '1': btn100->Click(); break;
        case '2': btnOnePage->Click(); break;
        case '3': btnPageWidth->Click(); break;
        case '4':
            Preview->TwoPages();
            remember();
            break;
        case 'G':
            edtPageNo->SetFocus();
            edtPageNo->SelectAll();
            break;
        default: break; // other Ctrl keys are eaten
        }
    }
    k = 0;
}

// ------------------------------------------------------------ search dialog

TRMPreviewSearchForm::TRMPreviewSearchForm(TComponent* owner) : TForm(owner) {
    SetName("RMPreviewSearchForm");
    SetCaption("查找文本");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(300);
    SetClientHeight(170);
    RMSetDialogFont(Font());
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption("待查文本(&F)");
    Label1->SetBounds(10, 14, 80, 16);
    edtSearchTxt = new TEdit(this);
    edtSearchTxt->SetName("edtSearchTxt");
    edtSearchTxt->SetParent(this);
    edtSearchTxt->SetBounds(92, 10, 198, 21);
    Label1->SetFocusControl(edtSearchTxt);
    GroupBox1 = new TGroupBox(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetParent(this);
    GroupBox1->SetCaption("选项");
    GroupBox1->SetBounds(10, 40, 135, 80);
    chkCaseSensitive = new TCheckBox(this);
    chkCaseSensitive->SetName("chkCaseSensitive");
    chkCaseSensitive->SetParent(GroupBox1);
    chkCaseSensitive->SetCaption("大小写敏感");
    chkCaseSensitive->SetBounds(10, 22, 120, 20);
    chkWholewords = new TCheckBox(this);
    chkWholewords->SetName("chkWholewords");
    chkWholewords->SetParent(GroupBox1);
    chkWholewords->SetCaption("全字匹配");
    chkWholewords->SetBounds(10, 48, 120, 20);
    GroupBox2 = new TGroupBox(this);
    GroupBox2->SetName("GroupBox2");
    GroupBox2->SetParent(this);
    GroupBox2->SetCaption("起点");
    GroupBox2->SetBounds(155, 40, 135, 80);
    rdbFromFirst = new TRadioButton(this);
    rdbFromFirst->SetName("rdbFromFirst");
    rdbFromFirst->SetParent(GroupBox2);
    rdbFromFirst->SetCaption("首页");
    rdbFromFirst->SetBounds(10, 22, 110, 20);
    rdbFromFirst->SetChecked(true);
    rdbFromCursor = new TRadioButton(this);
    rdbFromCursor->SetName("rdbFromCursor");
    rdbFromCursor->SetParent(GroupBox2);
    rdbFromCursor->SetCaption("当前页");
    rdbFromCursor->SetBounds(10, 48, 110, 20);
    btnOK = new TButton(this);
    btnOK->SetName("btnOK");
    btnOK->SetParent(this);
    btnOK->SetCaption("确认");
    btnOK->SetBounds(134, 134, 75, 25);
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnCancel = new TButton(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(this);
    btnCancel->SetCaption("取消");
    btnCancel->SetBounds(215, 134, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    static const std::pair<const char*, int> kTexts[] = {
        {"Label1", 45001},         {"GroupBox1", 45002},    {"chkCaseSensitive", 45003}, {"chkWholewords", 45377},
        {"GroupBox2", 45004},      {"rdbFromFirst", 45005}, {"rdbFromCursor", 45006},    {"btnOK", 47000},
        {"btnCancel", 47001},
    };
    RMSetStrProp(this, "Caption", 45000);
    for (auto& [name, id] : kTexts) RMSetStrProp(FindComponent(name), "Caption", id);
}

void TRMPreviewSearchForm::DoShow() {
    TForm::DoShow();
    if (edtSearchTxt->CanFocus()) edtSearchTxt->SetFocus();
    edtSearchTxt->SelectAll();
}

// ------------------------------------------------------------ progress window

TRMProgressForm::TRMProgressForm(TComponent* owner) : TForm(owner) {
    SetName("RMProgressForm");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(278);
    SetClientHeight(106);
    RMSetDialogFont(Font());
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetAutoSize(false);
    Label1->SetAlignment(taCenter);
    Label1->SetBounds(20, 16, 237, 16);
    Label1->SetCaption("1");
    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(this);
    Label2->SetAutoSize(false);
    Label2->SetAlignment(taCenter);
    Label2->SetBounds(20, 38, 237, 16);
    Label2->SetCaption(" ");
    btnCancel = new TButton(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(this);
    btnCancel->SetCaption("取消");
    RMSetStrProp(btnCancel, "Caption", 47001);
    btnCancel->SetBounds(101, 68, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->OnClick = [this](TObject*) {
        if (report_) report_->Terminated = true;
        SetModalResult(mrCancel);
    };
    start_ = new TTimer(this);
    start_->SetEnabled(false);
    start_->SetInterval(1);
    start_->OnTimer = [this](TObject*) {
        start_->SetEnabled(false);
        runWork();
    };
}

void TRMProgressForm::runWork() {
    if (started_) return;
    started_ = true;
    if (OnWork) OnWork(this);
    if (Modal() && ModalResult() == mrNone) SetModalResult(report_ && report_->Terminated ? mrCancel : mrOk);
}

TModalResult TRMProgressForm::Execute(TRMReport* report) {
    report_ = report;
    started_ = false;
    Label2->SetCaption("");
    // The work starts from inside the modal loop, so the window shows and
    // Cancel can be pressed while it runs.
    start_->SetEnabled(true);
    TModalResult r = ShowModal();
    start_->SetEnabled(false);
    // A modal loop answered without running (a scripted dialog) still does
    // the work, only without the window.
    if (!started_) {
        runWork();
        if (report_ && report_->Terminated) r = mrCancel;
    }
    return r;
}

std::string RMProgressText(const TRMReport& report, int pageNo) {
    if (report.DoublePass && !report.FinalPass) return "进行第一次处理:  " + std::to_string(pageNo);
    std::string t = "正在处理页:  " + std::to_string(pageNo);
    // The final pass of two knows how many pages there will be.
    if (report.DoublePass) t += " 从 " + std::to_string(report.TotalPages);
    return t;
}

TRMProgressRunner RMProgressRunner = [](TRMReport* report, const std::string& caption,
                                        const std::function<void()>& work) {
    TRMProgressForm f(nullptr);
    f.SetCaption(caption);
    auto before = report->OnProgress;
    auto beforePage = report->OnBeginPage;
    // The line names the page being built, as each one starts.
    report->OnBeginPage = [&](int pageIndex) {
        f.Label1->SetCaption(RMProgressText(*report, pageIndex + 1));
        if (beforePage) beforePage(pageIndex);
    };
    report->OnProgress = [&](int pageNo) {
        // Printing and export name the page just done.
        if (!report->ProgressStatus.empty())
            f.Label1->SetCaption(report->ProgressStatus + "  " + std::to_string(pageNo));
        if (before) before(pageNo);
        // Cancel is pressed between pages.
        Application->ProcessMessages();
    };
    auto beforeText = report->OnProgressText;
    report->OnProgressText = [&](const std::string& text) {
        f.Label1->SetCaption(text);
        Application->ProcessMessages();
    };
    f.OnWork = [&](TRMProgressForm*) { work(); };
    ScopeExit restore([&] {
        report->OnProgress = before;
        report->OnBeginPage = beforePage;
        report->OnProgressText = beforeText;
    });
    f.Execute(report);
};

// ---------------------------------------------------------------- report entry points

void TRMReport::ShowPreparedReport() {
    if (EMFPages.Count() == 0) return;
    auto* main = dynamic_cast<TForm*>(Application->MainForm());
    bool mdi = MDIPreview && main && main->FormStyle() == fsMDIForm;
    if (!ModalPreview || mdi) {
        // A window that stays open beside the program: the report owns it
        // and it frees itself when closed.
        auto* f = new TRMPreviewForm(this, this);
        f->FreeOnClose = true;
        f->Preview->InitialDir = PreviewInitialDir;
        if (mdi) {
            f->SetFormStyle(fsMDIChild);
            f->SetWindowState(wsNormal);
        }
        f->Show();
        return;
    }
    TRMPreviewForm f(nullptr, this);
    f.Preview->InitialDir = PreviewInitialDir;
    f.ShowModal();
    PreviewOpened = false;
}

void TRMReport::ShowReport() {
    if (PrepareReport()) ShowPreparedReport();
}

bool RMShowReportFile(const std::string& path, int mode, TComponent* owner,
                      const std::map<std::string, Variant>& variables) {
    TRMReport r(owner);
    for (auto& [k, v] : variables) r.Variables[UpperCase(k)] = v;
    if (!r.LoadFromFile(path)) {
        if (!FileExists(r.FileName)) ShowMessage("报表文件不存在：" + r.FileName);
        return false;
    }
    if (mode == 1) {
        r.PrintReport();
    } else {
        r.ShowReport();
    }
    return true;
}
