// The preview window, its search and page setup, and the print dialog,
// driven through the window system and the dialog seam. Screenshots go to
// build/test-output/screens/.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/ListDataSet.h"
#include "Metafile.h"
#include "Printers.h"
#include "Registry.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "DragTo.h"
#include "report/model/RM_Report.h"
#include "report/preview/RM_Preview.h"
#include "report/print/RM_PrintDialog.h"

namespace {

const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

struct TwoPageList {
    TComponent owner{nullptr};
    TListDataSet books{&owner};
    TRMDBDataSet rm{&owner};
    TRMReport report{&owner};
    TSeamScript seam;

    TwoPageList() {
        seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        books.FieldDefs().Add("Name", ftString, 40);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= 60; ++i) books.AddRow({std::string("图书") + std::to_string(i), double(i)});
        books.Open();
        rm.SetName("RMBooks");
        rm.SetDataSet(&books);
        TRMPage* p = report.Pages[0];
        p->MarginLeft = p->MarginTop = p->MarginRight = p->MarginBottom = 10000; // 10 mm all round
        report.DoublePass = true;
        report.ReportInfo.Title = "图书清单";
        auto band = [&](TRMBandKind k, int top, int h, const char* ds = "") {
            auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
            b->SetBandType(k);
            b->CreateUniqueName(&report);
            b->SetBounds(0, top, 700, h);
            b->SetDataSet(ds);
        };
        auto memo = [&](int l, int t, int w, const std::string& text, int size = 10) {
            auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
            m->CreateUniqueName(&report);
            m->SetBounds(l, t, w, 22);
            m->Memo = {text};
            m->Font.Name = "宋体";
            m->Font.Size = size;
            m->SetFrameAll(true);
        };
        band(bkTitle, 40, 40);
        memo(40, 44, 600, "图书清单", 16);
        band(bkMasterData, 100, 22, "RMBooks");
        memo(40, 100, 300, "[Name]");
        memo(340, 100, 120, "[Price #N0.00]");
        band(bkPageFooter, 200, 24);
        memo(40, 201, 600, "第 [Page#] 页 共 [TotalPages#] 页");
        EXPECT_TRUE(report.PrepareReport());
    }
};

TEST(ReportPreview, navigatesByKeysAndButtons) {
    TwoPageList f;
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    EXPECT_EQ(w.CurPage(), 1);
    EXPECT_EQ(w.Preview->StatusLabel->Caption(), "页 1/2");
    // PgDn scrolls; Ctrl+PgDn turns the page.
    int bar = w.Preview->VScrollBar->Position();
    SendKeyToFocus(&w, VK_NEXT);
    EXPECT_EQ(w.Preview->VScrollBar->Position(), bar + 200);
    SendKeyToFocus(&w, VK_NEXT, TShiftState{} << ssCtrl);
    EXPECT_EQ(w.CurPage(), 2);
    EXPECT_EQ(w.Preview->StatusLabel->Caption(), "页 2/2");
    EXPECT_EQ(w.edtPageNo->Text(), "2");
    SendKeyToFocus(&w, VK_NEXT, TShiftState{} << ssCtrl); // stays on the last page
    EXPECT_EQ(w.CurPage(), 2);
    SendClick(w.btnFirst);
    EXPECT_EQ(w.CurPage(), 1);
    SendKeyToFocus(&w, VK_END, TShiftState{} << ssCtrl);
    EXPECT_EQ(w.CurPage(), 2);
    SendKeyToFocus(&w, '4', TShiftState{} << ssCtrl); // two pages
    ProcessEvents();
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&w, kScreens + "report-preview-two-pages.png"));
}

// The preview's toolbar is dragged off its dock to float over the pages,
// keeps working there, docks below the pages, and opens there next time.
TEST(ReportPreview, toolbarFloatsDocksBelowAndOpensWhereItWasLeft) {
    std::string reg = std::string(BUILD_DIR) + "/test-output/preview-toolbar-registry.ini";
    remove(reg.c_str());
    SetRegistryFileForTesting(reg);
    ScopeExit back([] { SetRegistryFileForTesting(""); });
    ForceDirectories(kScreens);
    TwoPageList f;
    {
        TRMPreviewForm w(nullptr, &f.report);
        ShowAndActivate(&w);
        TToolbar97* tb = w.ToolbarPreviewStand;
        ASSERT_EQ(tb->DockedTo(), w.Dock971);
        EXPECT_TRUE(SaveFormPng(&w, kScreens + "report-preview-toolbar-docked.png"));
        // By its handle, out over the pages.
        DragTo(tb, TPoint(3, 5), w.ClientToScreen(TPoint(150, 220)));
        ASSERT_FALSE(tb->Docked());
        ASSERT_NE(tb->FloatingForm(), nullptr);
        EXPECT_TRUE(tb->FloatingForm()->Visible());
        EXPECT_EQ(w.Dock971->Height(), 1); // an empty dock keeps its line
        EXPECT_FALSE(tb->Moving());
        SendClick(w.btnNext);
        EXPECT_EQ(w.CurPage(), 2);
        EXPECT_TRUE(SaveFormPng(&w, kScreens + "report-preview-toolbar-floating-pages.png"));
        EXPECT_TRUE(SaveFormPng(tb->FloatingForm(), kScreens + "report-preview-toolbar-floating.png"));
        // By its edge, onto the dock below the pages.
        DragTo(tb, TPoint(1, 1), w.Dock972->ClientToScreen(TPoint(40, -3)));
        ASSERT_EQ(tb->DockedTo(), w.Dock972);
        EXPECT_EQ(w.Dock972->Height(), tb->Height());
        EXPECT_EQ(tb->Top() + w.Dock972->Top() + tb->Height(), w.ClientHeight());
        SendClick(w.btnFirst);
        EXPECT_EQ(w.CurPage(), 1);
        EXPECT_TRUE(SaveFormPng(&w, kScreens + "report-preview-toolbar-bottom.png"));
        w.Close();
    }
    TRMPreviewForm again(nullptr, &f.report);
    ShowAndActivate(&again);
    EXPECT_EQ(again.ToolbarPreviewStand->DockedTo(), again.Dock972);
    again.Close();
}

// "75%" typed with the percent sign means 75 %, not the default.
TEST(ReportPreview, zoomTextWithPercentSignIsTaken) {
    TwoPageList f;
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    w.ZoomText("75%");
    EXPECT_DOUBLE_EQ(w.Zoom(), 75);
    w.ZoomText("80");
    EXPECT_DOUBLE_EQ(w.Zoom(), 80);
}

TEST(ReportPreview, searchFindsTextOnTheSecondPageAndF3GoesOn) {
    TwoPageList f;
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    f.seam.ExpectForm("TRMPreviewSearchForm", mrOk, {{"edtSearchTxt", "图书5"}, {"rdbFromFirst", "True"}});
    SendClick(w.btnFind);
    EXPECT_EQ(w.CurPage(), 1); // 图书5 is on page 1
    // Whole-word search skips 图书50..59 only by word characters, so search
    // a text that sits on page 2 only.
    EXPECT_TRUE(w.Preview->FindText("图书58", false, false, true));
    EXPECT_EQ(w.CurPage(), 2);
    EXPECT_FALSE(w.Preview->FindText("不存在的书", false, false, true));
    f.seam.ExpectMessage("未找到", IDOK);
    SendKeyToFocus(&w, VK_F3);
    EXPECT_TRUE(f.seam.Unused().empty());
}

// With a designer registered and built pages open to change: Ctrl+E
// edits the current page in the designer and what it changed is kept;
// pages are inserted with their neighbour's paper and deleted after a
// question, never the last one.
TEST(ReportPreview, builtPagesAreEditedInsertedAndDeleted) {
    TwoPageList f;
    f.report.ModifyPrepared = true;
    struct Editor : TRMReportDesigner {
        int ShowModal() override {
            for (auto& o : Page->Objects)
                if (o->Memo.size() == 1 && o->Memo[0] == "图书清单") o->Memo = {"已改的标题"};
            return mrOk;
        }
    };
    RMDesignerClass = [&](bool full) -> TRMReportDesigner* {
        auto* d = new Editor;
        d->FullDesigner = full;
        return d;
    };
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    SendKeyToFocus(&w, 'E', TShiftState{} << ssCtrl);
    std::vector<std::string> texts;
    {
        TMetafile mf;
        TMetafileCanvas c(&mf);
        auto& r = f.report.EMFPages[0];
        f.report.EMFPages.Draw(0, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
        for (auto* t : c.TextRecords()) texts.push_back(t->Text);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), "已改的标题"), texts.end());
    EXPECT_TRUE(f.report.Modified);

    f.report.EMFPages[1].Orientation = 1;
    w.Preview->Last();
    w.Preview->InsertPageAfter();
    ASSERT_EQ(f.report.EMFPages.Count(), 3);
    EXPECT_EQ(f.report.EMFPages[2].Orientation, 1);
    f.seam.ExpectMessage("删除该页吗", IDNO);
    w.Preview->DeletePage(2);
    EXPECT_EQ(f.report.EMFPages.Count(), 3);
    f.seam.ExpectMessage("删除该页吗", IDYES);
    w.Preview->DeletePage(2);
    EXPECT_EQ(f.report.EMFPages.Count(), 2);
    f.seam.ExpectMessage("删除该页吗", IDYES);
    w.Preview->DeletePage(1);
    w.Preview->DeletePage(0); // the only page stays, and nothing is asked
    EXPECT_EQ(f.report.EMFPages.Count(), 1);
    EXPECT_TRUE(f.seam.Unused().empty());
    RMDesignerClass = nullptr;
}

// A click on a built object goes to the report's handler with the object
// and its page; a click beside every object does not.
TEST(ReportPreview, clickOnABuiltObjectReachesTheReport) {
    TwoPageList f;
    std::vector<std::string> clicked;
    f.report.OnObjectClick = [&](TRMView* v, int page) {
        clicked.push_back(std::to_string(page) + ":" + (v->Memo.empty() ? "" : v->Memo[0]));
    };
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    SendKeyToFocus(&w, '2', TShiftState{} << ssCtrl); // whole page: no scrolling
    double s = w.Zoom() / 100;
    TRect r = w.Preview->PageRect(0);
    auto at = [&](int px, int py) {
        SendClick(w.Preview->DrawPanel, r.Left + int(px * s), r.Top + int(py * s));
    };
    at(60, 52); // inside the title memo, which stands at 40, 42
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], "0:图书清单");
    at(8, 8); // the margin
    EXPECT_EQ(clicked.size(), 1u);
}

TEST(ReportPreview, searchDialogScreenshot) {
    TRMPreviewSearchForm s(nullptr);
    s.edtSearchTxt->SetText("图书");
    ShowAndActivate(&s);
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&s, kScreens + "report-preview-search.png"));
}

TEST(ReportPageSetup, landscapeRebuildsWithTheNewPaper) {
    TwoPageList f;
    {
        TRMPageSetupForm shot(nullptr, &f.report);
        ShowAndActivate(&shot);
        ForceDirectories(kScreens);
        EXPECT_TRUE(SaveFormPng(&shot, kScreens + "report-page-setup.png"));
        shot.PageControl1->SetActivePage(shot.TabSheet2);
        ProcessEvents();
        EXPECT_TRUE(SaveFormPng(&shot, kScreens + "report-page-setup-margins.png"));
        EXPECT_FALSE(shot.edtWidth->Enabled()); // A4: the size is not typed
        EXPECT_EQ(shot.edtWidth->Text(), "21.00");
        EXPECT_EQ(shot.edtHeight->Text(), "29.70");
        EXPECT_EQ(shot.edtLeft->Text(), "1.0"); // 10 mm shown in centimetres
    }
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    f.seam.ExpectForm("TRMPageSetupForm", mrOk, {{"rdbLandscape", "True"}, {"edtLeft", "2.0"}},
                      [](TCustomForm* form) { SendClickTo(form, "btnOK"); });
    SendKeyToFocus(&w, 'U', TShiftState{} << ssCtrl);
    EXPECT_EQ(f.report.Pages[0]->Orientation, 1);
    EXPECT_EQ(f.report.Pages[0]->MarginLeft, 20000);
    ASSERT_GT(f.report.EMFPages.Count(), 0);
    EXPECT_GT(f.report.EMFPages[0].PageWidth, f.report.EMFPages[0].PageHeight);
}

TEST(ReportPageSetup, settingEdgesAndCustomPaper) {
    TRMPageSetting s;
    s.SetMargin(0, -1);
    EXPECT_EQ(s.MarginLeft, 10);
    s.SetColCount(0);
    EXPECT_EQ(s.ColCount, 1);
    s.SetOrientation(1);
    EXPECT_EQ(s.PaperWidth, 2970);
    EXPECT_EQ(s.PaperHeight, 2100);

    TRMPageSetupForm d(nullptr);
    d.Setting.PaperWidth = 2000;
    d.Setting.PaperHeight = 1000;
    d.Setting.MarginLeft = 20;
    ShowAndActivate(&d);
    EXPECT_EQ(d.cmbPaperNames->Text(), "自定义大小"); // no such paper
    EXPECT_TRUE(d.edtWidth->Enabled());
    EXPECT_EQ(d.edtLeft->Text(), "2.0");
    d.PageControl1->SetActivePage(d.TabSheet2);
    d.edtLeft->SetFocus();
    d.edtLeft->SetText("");
    SendText(d.edtLeft, "1.5");
    SendKey(d.edtLeft, VK_TAB);
    EXPECT_DOUBLE_EQ(d.Setting.MarginLeft, 15);
    // The virtual printer offers the whole paper table and the extra papers.
    d.PageControl1->SetActivePage(d.TabSheet1);
    d.cmbPrinterNames->SetFocus();
    SendKey(d.cmbPrinterNames, VK_HOME);
    SendKey(d.cmbPrinterNames, VK_DOWN);
    EXPECT_EQ(d.cmbPrinterNames->Text(), "虚拟打印机");
    EXPECT_EQ(d.cmbPaperNames->Items()->Count(), 72);
    EXPECT_EQ(d.cmbPaperNames->Text(), "自定义大小");
    EXPECT_EQ(d.lstBinNames->Items()->Count(), 1);
    d.PageControl1->SetActivePage(d.TabSheet2);
    // Pressing Cancel from inside an edit stores nothing.
    d.edtTop->SetFocus();
    d.edtTop->SetText("9.9");
    SendClick(d.btnCancel);
    EXPECT_DOUBLE_EQ(d.Setting.MarginTop, 10);
}

TEST(ReportPageSetup, marginsBeyondThePaperAreSaidAndTheDialogStays) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    TRMPageSetupForm d(nullptr);
    ShowAndActivate(&d);
    d.Setting.MarginLeft = 150;
    d.Setting.MarginRight = 150;
    d.ShowSetting();
    seam.ExpectMessage("页边距超出纸张大小", IDOK);
    SendClick(d.btnOK);
    EXPECT_NE(d.ModalResult(), mrOk);
    EXPECT_TRUE(seam.Unused().empty());
}

TEST(ReportPrintDialog, pageListAndCopiesGoToThePdf) {
    TwoPageList f;
    std::string pdf = std::string(BUILD_DIR) + "/test-output/reports/print-dialog-page2-twice.pdf";
    ForceDirectories(ExtractFilePath(pdf));
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    f.seam.ExpectForm("TRMPrintDialogForm", mrOk,
                      {{"CmbPrinters", "PDF"}, {"RbPages", "True"}, {"EdtPages", "2"}, {"EdtCopies", "2"}},
                      [](TCustomForm* form) { SendClickTo(form, "BtnOK"); });
    ASSERT_TRUE(f.report.PrintPreparedReport());
    FILE* p = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    std::string text;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    pclose(p);
    // Two copies of page 2 only.
    size_t first = text.find("第 2 页 共 2 页");
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find("第 2 页 共 2 页", first + 1), std::string::npos);
    EXPECT_EQ(text.find("第 1 页"), std::string::npos);
}

// Odd or even pages of the chosen ones; a scale that is no number prints
// at 100 %, one beyond the bounds at the bound; offsets typed in
// centimetres come back in screen pixels.
TEST(ReportPrintDialog, oddEvenScaleAndOffsets) {
    struct Case {
        const char* oddEven;
        const char* scale;
        std::vector<int> pages;
        int scaleOut;
    };
    const Case cases[] = {
        {"奇数页", "abc", {1, 3, 5}, 100},
        {"偶数页", "5000", {2, 4}, 1000},
        {"全部页", "0", {1, 2, 3, 4, 5}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oddEven);
        TSeamScript seam;
        seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        seam.ExpectForm("TRMPrintDialogForm", mrOk,
                        {{"CmbPrintAll", c.oddEven}, {"EdtScale", c.scale}, {"EdtOffsetTop", "0.5"}},
                        [](TCustomForm* form) { SendClickTo(form, "BtnOK"); });
        TRMPrintDialogForm d(nullptr, 5, 1);
        ASSERT_EQ(d.ShowModal(), mrOk);
        EXPECT_EQ(d.Pages, c.pages);
        EXPECT_EQ(d.Scale, c.scaleOut);
        EXPECT_EQ(d.OffsetTop, RMToPixels(5));
        EXPECT_EQ(d.OffsetLeft, 0);
    }
}

TEST(ReportPrintDialog, badPageListIsSaidAndTheDialogStays) {
    TRMPrintDialogForm d(nullptr, 2, 1);
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    seam.ExpectMessage("页码范围无效", IDOK);
    ShowAndActivate(&d);
    d.RbPages->SetChecked(true);
    d.EdtPages->SetText("一到三");
    SendClick(d.BtnOK);
    EXPECT_NE(d.ModalResult(), mrOk);
    EXPECT_TRUE(d.Pages.empty());
    d.EdtPages->SetText("2-9");
    SendClick(d.BtnOK);
    EXPECT_EQ(d.Pages, (std::vector<int>{2}));
}

TEST(ReportPreview, zoomKeysTogglesAndComboStayInStep) {
    TwoPageList f;
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    SendKeyToFocus(&w, '2', TShiftState{} << ssCtrl); // whole page
    EXPECT_EQ(w.Preview->ZoomMode(), zmWholePage);
    EXPECT_TRUE(w.btnOnePage->Down());
    EXPECT_EQ(w.cmbZoom->ItemIndex(), 8);
    // One page per row, centred, nothing to scroll vertically... but two
    // pages: the bar scrolls to the second one.
    TRect r = w.Preview->PageRect(0);
    EXPECT_NEAR(r.Left, (w.Preview->DrawPanel->Width() - r.Width()) / 2, 1);
    SendClick(w.btn100);
    EXPECT_DOUBLE_EQ(w.Zoom(), 100);
    EXPECT_TRUE(w.btn100->Down());
    EXPECT_FALSE(w.btnOnePage->Down());
    EXPECT_EQ(w.cmbZoom->ItemIndex(), 2);
    SendKeyToFocus(&w, '3', TShiftState{} << ssCtrl); // page width
    EXPECT_TRUE(w.btnPageWidth->Down());
    EXPECT_EQ(w.cmbZoom->Text(), "页面宽度");
    // The next window starts where this one ended.
    EXPECT_EQ(TRMPreviewForm::LastZoomMode, zmPageWidth);
    // A typed zoom with Enter.
    w.cmbZoom->SetFocus();
    w.cmbZoom->SetText("");
    SendText(w.cmbZoom, "80");
    SendKey(w.cmbZoom, VK_RETURN);
    EXPECT_DOUBLE_EQ(w.Zoom(), 80);
    EXPECT_FALSE(w.btnPageWidth->Down());
    TRMPreviewForm::LastZoomMode = zmPercent;
    TRMPreviewForm::LastScale = 1;
}

TEST(ReportPreview, pageBoxAndMagnifierClick) {
    TwoPageList f;
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    SendKeyToFocus(&w, 'G', TShiftState{} << ssCtrl);
    EXPECT_TRUE(w.edtPageNo->Focused());
    SendText(w.edtPageNo, "2");
    SendKey(w.edtPageNo, VK_RETURN);
    EXPECT_EQ(w.CurPage(), 2);
    w.edtPageNo->SetText("");
    SendText(w.edtPageNo, "x");
    SendKey(w.edtPageNo, VK_RETURN);
    EXPECT_EQ(w.edtPageNo->Text(), "2"); // not a number: the page number again
    w.Preview->GotoPage(0);
    EXPECT_EQ(w.CurPage(), 1);
    w.Preview->GotoPage(7);
    EXPECT_EQ(w.CurPage(), 2);
    SendClick(w.btnMagnifier);
    EXPECT_TRUE(w.Preview->Magnifier());
    SendKeyToFocus(&w, '2', TShiftState{} << ssCtrl);
    TRect r = w.Preview->PageRect(0);
    // Over a page the mouse shows the magnifier, the program's own cursor.
    SendMouseMove(w.Preview->DrawPanel, r.Left + 20, r.Top + 20);
    EXPECT_GT(crMagnifier(), 0);
    EXPECT_EQ(w.Preview->DrawPanel->Cursor(), crMagnifier());
    SendMouseMove(w.Preview->DrawPanel, 2, r.Top + 20);
    EXPECT_EQ(w.Preview->DrawPanel->Cursor(), crDefault);
    SendClick(w.Preview->DrawPanel, r.Left + 20, r.Top + 20);
    EXPECT_DOUBLE_EQ(w.Zoom(), 100); // whole page -> 100 %
    SendClick(w.Preview->DrawPanel, w.Preview->PageRect(0).Left + 20, 20);
    EXPECT_EQ(w.Preview->ZoomMode(), zmWholePage); // and back
    SendClick(w.btnMagnifier);
    EXPECT_FALSE(TRMPreviewForm::LastMagnifier);
}

TEST(ReportPreview, ctrlPPrintsToThePdfAndEscCloses) {
    TwoPageList f;
    std::string pdf = std::string(BUILD_DIR) + "/test-output/reports/preview-ctrl-p.pdf";
    ForceDirectories(ExtractFilePath(pdf));
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    f.seam.ExpectForm("TRMPrintDialogForm", mrOk, {{"CmbPrinters", "PDF"}, {"RbAll", "True"}},
                      [](TCustomForm* form) { SendClickTo(form, "BtnOK"); });
    SendKeyToFocus(&w, 'P', TShiftState{} << ssCtrl);
    ASSERT_TRUE(FileExists(pdf));
    FILE* p = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    std::string text;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    pclose(p);
    EXPECT_NE(text.find("第 1 页 共 2 页"), std::string::npos) << text;
    EXPECT_NE(text.find("第 2 页 共 2 页"), std::string::npos) << text;
    SendKeyToFocus(&w, VK_ESCAPE);
    ProcessEvents();
    EXPECT_FALSE(w.Visible());
}

struct WordCase {
    const char* name;
    const char* text;
    const char* what;
    bool hit;
};
void PrintTo(const WordCase& c, std::ostream* os) { *os << c.name; }
class WholeWords : public ::testing::TestWithParam<WordCase> {};
TEST_P(WholeWords, match) { EXPECT_EQ(RMMatchWholeWord(GetParam().text, GetParam().what), GetParam().hit); }
INSTANTIATE_TEST_SUITE_P(
    ReportPreview, WholeWords,
    ::testing::Values(WordCase{"letterAfter", "ABC", "AB", false}, WordCase{"hyphenAfter", "AB-C", "AB", true},
                      WordCase{"spaceAfter", "AB C", "AB", true}, WordCase{"atEnd", "XX AB", "AB", true},
                      WordCase{"doubleByteAfter", "AB图书", "AB", true}, WordCase{"letterBefore", "XAB", "AB", false},
                      WordCase{"laterOccurrence", "ABC AB", "AB", true}),
    [](const auto& i) { return std::string(i.param.name); });

// The build runs inside the progress window's modal loop; Cancel, pressed
// while it runs, stops it.
TEST(ReportProgress, buildRunsUnderTheWindowAndCancelStopsIt) {
    TwoPageList f;
    TDialogSeam::Instance().Uninstall(); // the real modal window, not a scripted answer
    f.report.ShowProgress = true;
    std::string shownCaption;
    std::vector<std::string> lines;
    f.report.OnBeginPage = [&](int) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TRMProgressForm*>(Screen->Forms(i)); p && p->Visible()) {
                shownCaption = p->Caption();
                lines.push_back(p->Label1->Caption());
            }
    };
    EXPECT_TRUE(f.report.PrepareReport());
    EXPECT_EQ(f.report.EMFPages.Count(), 2);
    EXPECT_EQ(shownCaption, "正在准备报表 - 图书清单");
    // The line names the page as it starts; the final pass of two knows
    // the page count.
    EXPECT_EQ(lines, (std::vector<std::string>{"进行第一次处理:  1", "进行第一次处理:  2", "正在处理页:  1 从 2",
                                               "正在处理页:  2 从 2"}));
    // A real display reports the window's activation a little later, so the
    // Cancel goes in at the first page whose window already takes input.
    bool cancelled = false;
    f.report.OnBeginPage = [&](int) {
        if (cancelled) return;
        for (int i = 0; i < Screen->FormCount(); ++i) {
            auto* p = dynamic_cast<TRMProgressForm*>(Screen->Forms(i));
            if (p && p->Visible() && TakesKeys(p)) {
                cancelled = true;
                SendClick(p->btnCancel);
            }
        }
    };
    EXPECT_FALSE(f.report.PrepareReport());
    EXPECT_TRUE(f.report.Terminated);
    EXPECT_EQ(f.report.EMFPages.Count(), 0); // two passes: a cancelled build keeps nothing
}

// A scripted answer to the progress window still builds.
TEST(ReportProgress, scriptedWindowStillRunsTheWork) {
    TwoPageList f;
    f.report.ShowProgress = true;
    f.seam.ExpectForm("TRMProgressForm", mrOk);
    EXPECT_TRUE(f.report.PrepareReport());
    EXPECT_EQ(f.report.EMFPages.Count(), 2);
}

TEST(ReportMenu, missingTemplateSaysSoWithThePath) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    seam.ExpectMessage("报表文件不存在：/nonexistent/report/BookData.rmf", IDOK);
    EXPECT_FALSE(RMShowReportFile("/nonexistent/report/BookData.rmf", 0));
    EXPECT_TRUE(seam.Unused().empty());
}

} // namespace
