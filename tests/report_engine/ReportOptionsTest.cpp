// The report component's options: its print settings kept in the registry
// or an INI file, the printer it asks for, the defaults the print dialog
// and the preview start from, printing under the progress window, export
// through a filter (a workbook read back with openpyxl) and the composite
// report (printed to PDF, read back with pdfinfo and pdftotext).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <unistd.h>

#include "ExtCtrls.h"
#include "Metafile.h"
#include "Printers.h"
#include "Registry.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/preview/RM_Preview.h"
#include "report/print/RM_PrintDialog.h"
#include "report/print/RM_XLSExport.h"
#include "support/ReportOutput.h"

namespace {

const std::string kScratch = std::string(BUILD_DIR) + "/test-output/scratch/";
const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

// A list of `rows` books with a title, a page footer "第 n 页 共 m 页" and
// a total; two passes so that the page count is known.
struct BookList {
    TComponent owner{nullptr};
    TListDataSet books{&owner};
    TRMDBDataSet rm{&owner};
    TRMReport report{&owner};

    explicit BookList(int rows, const std::string& title = "图书清单", const std::string& dsName = "RMBooks",
                      TRMReport* into = nullptr) {
        TRMReport& r = into ? *into : report;
        books.FieldDefs().Add("Name", ftString, 40);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= rows; ++i) books.AddRow({title + "书" + std::to_string(i), double(i)});
        books.Open();
        rm.SetName(dsName);
        rm.SetDataSet(&books);
        TRMPage* p = r.Pages.Count() ? r.Pages[0] : r.Pages.Add();
        r.DoublePass = true;
        r.ReportInfo.Title = title;
        auto band = [&](TRMBandKind k, int top, int h, const std::string& ds = "") {
            auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
            b->SetBandType(k);
            b->CreateUniqueName(&r);
            b->SetBounds(0, top, 700, h);
            b->SetDataSet(ds);
        };
        auto memo = [&](int l, int t, int w, const std::string& text) {
            auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
            m->CreateUniqueName(&r);
            m->SetBounds(l, t, w, 22);
            m->Memo = {text};
            m->Font.Name = "宋体";
        };
        band(bkTitle, 40, 40);
        memo(40, 44, 600, title);
        band(bkMasterData, 100, 22, dsName);
        memo(40, 100, 300, "[Name]");
        memo(340, 100, 120, "[Price]");
        band(bkPageFooter, 200, 24);
        memo(40, 201, 600, "第 [Page#] 页 共 [TotalPages#] 页");
    }
};

std::string pdfText(const std::string& pdf) { return CommandOutput("pdftotext -layout '" + pdf + "' -"); }
int pdfPages(const std::string& pdf) {
    std::string info = CommandOutput("pdfinfo '" + pdf + "'");
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// ---------------------------------------------------------------- settings store

class ReportSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ForceDirectories(kScratch);
        // Each test a file of its own: ctest runs them side by side.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        reg_ = kScratch + "report-settings-" + name + ".reg";
        ini_ = kScratch + "report-settings-" + name + ".ini";
        remove(reg_.c_str());
        remove(ini_.c_str());
        SetRegistryFileForTesting(reg_);
    }
    void TearDown() override { SetRegistryFileForTesting(""); }
    std::string reg_, ini_;
};

// What one report saves, another of the same title loads: "taoda", the
// offsets, the options and every page's margins; in the registry and in
// an INI file alike. Settings for more pages than the report has fill
// only its pages.
TEST_F(ReportSettings, savedSettingsComeBackInAReportOfTheSameTitle) {
    for (bool registry : {true, false}) {
        SCOPED_TRACE(registry ? "registry" : "ini");
        TRMReport saved;
        saved.ReportInfo.Title = "读者清单";
        saved.SaveReportOptions.AutoLoadSaveSetting = true;
        saved.SaveReportOptions.UseRegistry = registry;
        saved.SaveReportOptions.IniFileName = ini_;
        saved.Pages.Add(); // two pages
        saved.PrintVisibleDefault = true;
        saved.PrintOffsetTop = 12;
        saved.PrintOffsetLeft = -7;
        saved.PrintBackColor = false;
        saved.DoublePass = true;
        saved.Pages[0]->MarginLeft = 15000;
        saved.Pages[0]->MarginBottom = 22500;
        saved.Pages[1]->MarginTop = 31000;
        saved.SaveReportOptions.SaveReportSetting(&saved);

        TRMReport loaded;
        loaded.ReportInfo.Title = "读者清单";
        loaded.SaveReportOptions = saved.SaveReportOptions;
        // one page where two were saved
        loaded.SaveReportOptions.LoadReportSetting(&loaded);
        EXPECT_TRUE(loaded.PrintVisibleDefault);
        EXPECT_EQ(loaded.PrintOffsetTop, 12);
        EXPECT_EQ(loaded.PrintOffsetLeft, -7);
        EXPECT_FALSE(loaded.PrintBackColor);
        EXPECT_TRUE(loaded.DoublePass);
        ASSERT_EQ(loaded.Pages.Count(), 1);
        EXPECT_EQ(loaded.Pages[0]->MarginLeft, 15000);
        EXPECT_EQ(loaded.Pages[0]->MarginTop, TRMPage().MarginTop);
        EXPECT_EQ(loaded.Pages[0]->MarginBottom, 22500);
    }
    // The registry keeps them under the report's title.
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\VodidiVerovev\\ReportSettings\\读者清单", false));
    EXPECT_TRUE(r.ReadBool("taoda"));
    EXPECT_TRUE(r.ReadBool("NewFlag"));
    EXPECT_EQ(r.ReadInteger("PageCount"), 2);
    EXPECT_EQ(r.ReadInteger("Page_1_TopMargin"), 31000);
}

// Settings written before the margins were kept in the page's own units
// ("NewFlag" missing) hold a rectangle of screen pixels; a report loaded
// from its file takes its settings at once; without AutoLoadSaveSetting
// nothing is read or written, and the report's own handlers take over.
TEST_F(ReportSettings, olderPixelMarginsFileLoadAndHandlers) {
    {
        TRegistry r;
        ASSERT_TRUE(r.OpenKey("\\VodidiVerovev\\ReportSettings\\old.rmf", true));
        r.WriteInteger("PrintOffsetTop", 5);
        r.WriteInteger("PageCount", 1);
        r.WriteInteger("Page_0_LeftMargin", 96); // one inch
    }
    std::string file = kScratch + "old.rmf";
    {
        TRMReport design;
        auto* m = design.Pages[0]->Add(std::make_unique<TRMMemoView>());
        m->Name = "Memo1";
        m->SetBounds(100, 100, 50, 20);
        design.SaveToFile(file);
    }
    TRMReport r;
    r.SaveReportOptions.AutoLoadSaveSetting = true;
    ASSERT_TRUE(r.LoadFromFile(file)); // no title: the file name names the section
    EXPECT_EQ(r.PrintOffsetTop, 5);
    EXPECT_NEAR(r.Pages[0]->MarginLeft, 25400, 1);
    EXPECT_EQ(r.Pages[0]->MarginRight, 0);
    // The objects move with the left margin.
    EXPECT_EQ(r.FindObject("Memo1")->Left, 100 + 96 - TRMPage().MarginRectPx().Left);

    TRMReport off;
    off.FileName = file;

    off.SaveReportOptions.LoadReportSetting(&off);
    EXPECT_EQ(off.PrintOffsetTop, 0);
    EXPECT_EQ(off.Pages[0]->MarginLeft, TRMPage().MarginLeft);

    int loads = 0, saves = 0;
    off.OnLoadReportSetting = [&](TRMReport* x) { loads += x == &off; };
    off.OnSaveReportSetting = [&](TRMReport* x) { saves += x == &off; };
    off.SaveReportOptions.LoadReportSetting(&off);
    off.SaveReportOptions.SaveReportSetting(&off);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(saves, 1);
}

// A print whose offsets were changed in the dialog keeps them in the
// report's settings.
TEST_F(ReportSettings, offsetsChangedInThePrintDialogAreSaved) {
    BookList f(3, "偏移清单");
    f.report.SaveReportOptions.AutoLoadSaveSetting = true;
    ASSERT_TRUE(f.report.PrepareReport());
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    std::string pdf = ReportsFolder() + "offset-saved.pdf";
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    seam.ExpectForm("TRMPrintDialogForm", mrOk, {{"CmbPrinters", "PDF"}, {"EdtOffsetTop", "1"}},
                    [](TCustomForm* form) { SendClickTo(form, "BtnOK"); });
    ASSERT_TRUE(f.report.PrintPreparedReport());
    TRegistry r;
    ASSERT_TRUE(r.OpenKey("\\VodidiVerovev\\ReportSettings\\偏移清单", false));
    EXPECT_EQ(r.ReadInteger("PrintOffsetTop"), RMToPixels(10));
    IndexReport("offset-saved.pdf", "(a list built in the test, printed 1 cm lower)", 1, "偏移清单");
}

// ---------------------------------------------------------------- printers

TEST(ReportPrinterChoice, selectPrinterByNameAndChangePrinter) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    TRMReport r;
    r.Pages.Add();
    const int pdf = RMPrinters()->IndexOfName("PDF");
    ASSERT_GE(pdf, 2);
    struct Case {
        std::string name;
        int entry;
    };
    for (const Case& c : {Case{"PDF", pdf}, Case{"Virtual Printer", 1}, Case{"", 0}, Case{"Default Printer", 0},
                          Case{"没有这台打印机", 0}}) {
        SCOPED_TRACE(c.name);
        r.SelectPrinter(c.name);
        EXPECT_EQ(RMPrinter()->PrinterIndex(), c.entry);
        EXPECT_EQ(r.PrinterName, c.name);
    }
    // A build asks for the report's printer.
    r.PrinterName = "Virtual Printer";
    r.PrepareReport();
    EXPECT_EQ(RMPrinter()->PrinterIndex(), 1);

    EXPECT_TRUE(r.ChangePrinter(1, pdf));
    EXPECT_EQ(r.PrinterName, "PDF");
    EXPECT_EQ(RMPrinter()->PrinterIndex(), pdf);
    EXPECT_EQ(Printer()->PrinterIndex(), Printer()->PdfPrinterIndex());
    EXPECT_TRUE(r.ChangePrinter(pdf, 0));
    EXPECT_EQ(r.PrinterName, "Default Printer");
    // A printer that is not there is said, and the one before stays.
    seam.ExpectMessage("所选打印机错误", IDOK, "错误");
    EXPECT_FALSE(r.ChangePrinter(0, 999));
    EXPECT_EQ(RMPrinter()->PrinterIndex(), 0);
    EXPECT_EQ(r.PrinterName, "Default Printer");
    EXPECT_TRUE(seam.Unused().empty());
}

// The print dialog starts from the report's copies and collation.
TEST(ReportPrinterChoice, defaultCopiesAndCollateReachThePrintDialog) {
    BookList f(2, "份数清单");
    f.report.DefaultCopies = 3;
    f.report.DefaultCollate = false;
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    std::string copies;
    bool collate = true;
    seam.ExpectForm("TRMPrintDialogForm", mrCancel, {}, [&](TCustomForm* form) {
        auto* d = static_cast<TRMPrintDialogForm*>(form);
        copies = d->EdtCopies->Text();
        collate = d->ChkCollate->Checked();
    });
    f.report.PrintReport();
    EXPECT_EQ(copies, "3");
    EXPECT_FALSE(collate);
    EXPECT_TRUE(seam.Unused().empty());
}

// ---------------------------------------------------------------- preview options

TEST(ReportPreviewOptions, initialZoomOpensThePreviewThere) {
    struct Case {
        TRMPreviewZoom zoom;
        TRMZoomMode mode;
        int item;
    };
    for (const Case& c : {Case{pzPageWidth, zmPageWidth, 7}, Case{pzOnePage, zmWholePage, 8},
                          Case{pzTwoPages, zmTwoPages, 9}}) {
        SCOPED_TRACE(c.item);
        BookList f(60);
        ASSERT_TRUE(f.report.PrepareReport());
        f.report.InitialZoom = c.zoom;
        TRMPreviewForm w(nullptr, &f.report);
        ShowAndActivate(&w);
        EXPECT_EQ(w.Preview->ZoomMode(), c.mode);
        EXPECT_EQ(w.cmbZoom->ItemIndex(), c.item);
        EXPECT_EQ(w.btnPageWidth->Down(), c.zoom == pzPageWidth);
        EXPECT_EQ(w.btnOnePage->Down(), c.zoom == pzOnePage);
    }
}

// Without a modal preview the window stays open beside the program, and
// frees itself when closed.
TEST(ReportPreviewOptions, modelessPreviewStaysOpenAndFreesItselfOnClose) {
    BookList f(3);
    ASSERT_TRUE(f.report.PrepareReport());
    f.report.ModalPreview = false;
    f.report.PreviewInitialDir = kScratch;
    auto open = [] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TRMPreviewForm*>(Screen->Forms(i))) return p;
        return static_cast<TRMPreviewForm*>(nullptr);
    };
    f.report.ShowPreparedReport(); // returns at once
    TRMPreviewForm* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(w->Preview->InitialDir, kScratch);
    EXPECT_EQ(w->Caption(), "预览 - 图书清单");
    SendKeyToFocus(w, VK_ESCAPE);
    ProcessEvents();
    EXPECT_EQ(open(), nullptr);
    EXPECT_FALSE(f.report.PreviewOpened);
}

// Pages opened from a prepared-report file are not built again by page
// setup, which would put the design's pages in their place.
TEST(ReportPreviewOptions, pageSetupLeavesPagesOpenedFromAFileAlone) {
    BookList f(60);
    ASSERT_TRUE(f.report.PrepareReport());
    ForceDirectories(kScratch); // run alone, no other test has made it
    std::string rmp = kScratch + "opened.rmp";
    f.report.SavePreparedReport(rmp);
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    f.report.Pages[0]->Clear(); // the design now builds one empty page
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    w.Preview->LoadFromFiles({rmp});
    EXPECT_FALSE(f.report.CanRebuild);
    SendKeyToFocus(&w, 'U', TShiftState{} << ssCtrl); // no dialog, no rebuild
    EXPECT_EQ(w.PageCount(), 2);
    EXPECT_TRUE(seam.Shown().empty());
    EXPECT_TRUE(w.Preview->FindText("图书清单书60", false, false, true));
    // A build makes them the design's again.
    ASSERT_TRUE(f.report.PrepareReport());
    EXPECT_TRUE(f.report.CanRebuild);
}

// ---------------------------------------------------------------- printing under the progress window

// The pages print inside the progress window, its line naming the page
// printed; Cancel stops the print and nothing of it reaches the file.
TEST(ReportPrintProgress, pagesPrintUnderTheWindowAndCancelStopsThem) {
    BookList f(150, "进度清单");
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_GE(f.report.EMFPages.Count(), 3);
    TDialogSeam::Instance().Uninstall(); // the real modal window
    f.report.ShowProgress = true;
    f.report.ShowPrintDialog = false;
    std::string pdf = ReportsFolder() + "print-progress.pdf";
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    std::string caption;
    std::vector<std::string> lines;
    bool cancel = false, pictured = false;
    ForceDirectories(kScreens);
    TTimer watch(nullptr);
    watch.SetInterval(1);
    watch.OnTimer = [&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TRMProgressForm*>(Screen->Forms(i)); p && p->Visible()) {
                caption = p->Caption();
                if (lines.empty() || lines.back() != p->Label1->Caption()) lines.push_back(p->Label1->Caption());
                if (!pictured && p->Label1->Caption() != "1")
                    pictured = SaveFormPng(p, kScreens + "report-print-progress.png");
                // Only once a page is under way: asking for the keyboard
                // before waits in a loop of its own, which would run the
                // whole print while this handler cannot fire again.
                if (cancel && p->Label1->Caption() != "1" && TakesKeys(p)) SendClick(p->btnCancel);
            }
    };
    watch.SetEnabled(true);
    ASSERT_TRUE(f.report.PrintPreparedReport());
    EXPECT_EQ(caption, "正在准备报表 - 进度清单");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "正在打印页:  " + std::to_string(f.report.EMFPages.Count()));
    for (auto& l : lines) EXPECT_TRUE(l == "1" || l.rfind("正在打印页:  ", 0) == 0) << l;
    EXPECT_EQ(pdfPages(pdf), f.report.EMFPages.Count());
    IndexReport("print-progress.pdf", "(a list built in the test)", f.report.EMFPages.Count(), "进度清单");

    // Cancel while it prints, on either display.
    {
        std::string cancelled = ReportsFolder() + "print-progress-cancelled.pdf";
        remove(cancelled.c_str());
        Printer()->SetFileName(cancelled);
        cancel = true;
        lines.clear();
        EXPECT_FALSE(f.report.PrintPreparedReport("", 20, 1));
        watch.SetEnabled(false);
        EXPECT_TRUE(f.report.Terminated);
        EXPECT_FALSE(FileExists(cancelled));
    }
    watch.SetEnabled(false);
    Printer()->SetFileName("");
}

// After each page (uncollated: after its copies) the job ends and the
// handler sees the page's index; it may name another, and printing goes
// on after that one. The next page begins a new job: on the PDF printer a
// file of its own, numbered after the first; none is left empty.
TEST(ReportPrintEvents, endPrintPageEndsTheJobAndMayMoveOn) {
    BookList f(110, "分页清单");
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_EQ(f.report.EMFPages.Count(), 3);
    f.report.ShowPrintDialog = false;
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    struct Case {
        const char* file;
        int copies;
        bool collate;
        std::vector<int> seen;                      // the indexes the handler got
        std::vector<std::vector<int>> jobs;         // the page numbers of each file
    };
    const Case cases[] = {
        // At the first page the handler skips the second.
        {"end-print-page-collated.pdf", 1, true, {0, 2}, {{1}, {3}}},
        {"end-print-page-uncollated.pdf", 2, false, {0, 2}, {{1, 1}, {3, 3}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.file);
        std::string pdf = ReportsFolder() + k.file;
        std::vector<std::string> files{pdf};
        for (int j = 2; j <= 3; ++j) files.push_back(pdf.substr(0, pdf.size() - 4) + "-" + std::to_string(j) + ".pdf");
        for (auto& file : files) remove(file.c_str());
        Printer()->SetFileName(pdf);
        std::vector<int> seen;
        f.report.OnEndPrintPage = [&](int& pageNo) {
            seen.push_back(pageNo);
            if (pageNo == 0) pageNo = 1;
        };
        ASSERT_TRUE(f.report.PrintPreparedReport("", k.copies, k.collate));
        EXPECT_EQ(seen, k.seen);
        for (size_t j = 0; j < files.size(); ++j) {
            if (j >= k.jobs.size()) {
                EXPECT_FALSE(FileExists(files[j])) << files[j];
                continue;
            }
            ASSERT_EQ(pdfPages(files[j]), int(k.jobs[j].size())) << files[j];
            std::string text = pdfText(files[j]);
            for (int pageNo : k.jobs[j])
                EXPECT_NE(text.find("第 " + std::to_string(pageNo) + " 页 共 3 页"), std::string::npos) << text;
        }
    }
    f.report.OnEndPrintPage = nullptr;
    Printer()->SetFileName("");
}

// ---------------------------------------------------------------- export

const char* kCells = R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
for row in ws.iter_rows():
    for c in row:
        if c.value is not None:
            print(c.coordinate, repr(c.value), type(c.value).__name__)
)PY";

std::string workbookCells(const std::string& file) {
    std::string py = kScratch + "cells-" + std::to_string(getpid()) + ".py";
    {
        std::ofstream out(py);
        out << kCells;
    }
    return CommandOutput("/usr/bin/python3 '" + py + "' '" + file + "' 2>&1");
}

std::string exportsFolder() {
    std::string d = std::string(BUILD_DIR) + "/test-output/exports/";
    ForceDirectories(d);
    return d;
}

// Every text of every page as a cell, a line of objects a row, the pages
// one below the other; numbers as numbers. The before-export event may
// rename the file or stop the export.
TEST(ReportExport, builtPagesBecomeAWorkbook) {
    BookList f(60, "导出清单");
    ASSERT_TRUE(f.report.PrepareReport());
    const int pages = f.report.EMFPages.Count();
    ASSERT_EQ(pages, 2);
    TRMXLSExportFilter filter;
    filter.ShowDialog = false;
    std::string file = exportsFolder() + "report-list.xlsx";
    remove(file.c_str());
    std::string after;
    filter.OnBeforeExport = [&](std::string& name, bool&) { name = file; };
    filter.OnAfterExport = [&](const std::string& name) { after = name; };
    ASSERT_TRUE(f.report.ExportTo(&filter, exportsFolder() + "renamed-away.xlsx"));
    EXPECT_EQ(after, file);
    EXPECT_EQ(f.report.ExportFilter, nullptr);
    std::string cells = workbookCells(file);
    EXPECT_NE(cells.find("A1 '导出清单' str"), std::string::npos) << cells;
    EXPECT_NE(cells.find("A2 '导出清单书1' str"), std::string::npos) << cells;
    EXPECT_NE(cells.find("B2 1 int"), std::string::npos) << cells;
    EXPECT_NE(cells.find("'导出清单书60' str"), std::string::npos) << cells;
    EXPECT_NE(cells.find("'第 2 页 共 2 页' str"), std::string::npos) << cells;
    EXPECT_EQ(cells.find("Error"), std::string::npos) << cells;
    {
        std::ofstream idx(exportsFolder() + "index.tsv", std::ios::app);
        idx << "report-list.xlsx\t(a 60-row list built in the test, 2 pages)\t导出清单\n";
    }

    // Stopped before it starts: no file.
    std::string stopped = exportsFolder() + "stopped.xlsx";
    remove(stopped.c_str());
    filter.OnBeforeExport = [](std::string&, bool& goOn) { goOn = false; };
    EXPECT_FALSE(f.report.ExportTo(&filter, stopped));
    EXPECT_FALSE(FileExists(stopped));
}

// The preview's spreadsheet button asks for a file and writes the
// workbook; the save entry of a filter (index 2 on) writes with the
// filter's extension.
TEST(ReportExport, previewSpreadsheetButtonAndSaveEntry) {
    BookList f(3, "另存清单");
    ASSERT_TRUE(f.report.PrepareReport());
    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    ASSERT_GE(RMGetExportFilterCount(), 1);
    EXPECT_EQ(RMGetExportFilter(0).Mask, "*.xlsx");
    ASSERT_TRUE(w.btnSaveToXLS->Visible());
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(&w, kScreens + "report-preview-spreadsheet-button.png"));
    std::string file = exportsFolder() + "preview-button.xlsx";
    remove(file.c_str());
    {
        TSeamScript seam;
        seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        seam.ExpectFile(TSeamKind::SaveDialog, file);
        SendClick(w.btnSaveToXLS);
        EXPECT_TRUE(seam.Unused().empty());
    }
    ASSERT_TRUE(FileExists(file));
    EXPECT_NE(workbookCells(file).find("'另存清单书3' str"), std::string::npos);
    EXPECT_TRUE(RMSpreadsheetExportFilter()->ShowDialog); // back as it was

    std::string saved = exportsFolder() + "preview-save.xlsx";
    remove(saved.c_str());
    w.Preview->SaveToFile(exportsFolder() + "preview-save.rmp", 2);
    ASSERT_TRUE(FileExists(saved));
    EXPECT_NE(workbookCells(saved).find("'另存清单书1' str"), std::string::npos);
}

// ---------------------------------------------------------------- composite report

// One report after the other: page numbers run on through the whole and
// the page count is the composite's; page per page: the members' pages in
// turns, each numbering its own.
TEST(ReportComposite, membersBuildIntoOnePrintedReport) {
    BookList a(110, "甲清单", "RMBooksA"); // 3 pages
    BookList b(5, "乙清单", "RMBooksB");  // 1 page
    ASSERT_TRUE(a.report.PrepareReport());
    ASSERT_EQ(a.report.EMFPages.Count(), 3);
    TRMCompositeReport c;
    c.ReportInfo.Title = "合并清单";
    c.Reports = {&a.report, &b.report};
    c.DoublePass = true;
    ASSERT_TRUE(c.PrepareReport());
    ASSERT_EQ(c.EMFPages.Count(), 4);

    struct Case {
        TRMCompositeMode mode;
        const char* file;
        std::vector<std::string> order; // one text of each page, in page order
    };
    const Case cases[] = {
        {rmReportPerReport, "composite-report-per-report.pdf",
         {"第 1 页 共 4 页", "第 2 页 共 4 页", "第 3 页 共 4 页", "乙清单书5"}},
        {rmPagePerPage, "composite-page-per-page.pdf",
         {"第 1 页 共 3 页", "第 1 页 共 1 页", "第 2 页 共 3 页", "第 3 页 共 3 页"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.file);
        c.SetCompositeMode(k.mode);
        ASSERT_TRUE(c.PrepareReport());
        ASSERT_EQ(c.EMFPages.Count(), 4);
        std::string pdf = ReportsFolder() + k.file;
        remove(pdf.c_str());
        Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
        Printer()->SetFileName(pdf);
        c.ShowPrintDialog = false;
        ASSERT_TRUE(c.PrintPreparedReport());
        EXPECT_EQ(pdfPages(pdf), 4);
        std::string text = pdfText(pdf);
        std::vector<std::string> pages;
        for (size_t at = 0, ff; (ff = text.find('\f', at)) != std::string::npos; at = ff + 1)
            pages.push_back(text.substr(at, ff - at));
        ASSERT_EQ(pages.size(), 4u) << text;
        for (size_t i = 0; i < 4; ++i) EXPECT_NE(pages[i].find(k.order[i]), std::string::npos) << i << pages[i];
        if (k.mode == rmReportPerReport) EXPECT_NE(pages[3].find("第 4 页 共 4 页"), std::string::npos);
        EXPECT_NE(pages[0].find("甲清单书1"), std::string::npos);
        IndexReport(k.file, "(two lists built in the test, 3 and 1 pages)", 4, k.order[0]);
    }
    Printer()->SetFileName("");
    // The members keep their own numbering for a build of their own.
    ASSERT_TRUE(b.report.PrepareReport());
    EXPECT_EQ(b.report.PageNoBase, 0);
    EXPECT_EQ(b.report.MasterTotalPages, -1);
}

// A member whose first design page prints to the previous page goes on
// on the last page of the member before it, below its rows, when that
// page has its paper; its pages number on from there.
TEST(ReportComposite, memberPrintingToThePreviousPageGoesOnBelowTheOneBefore) {
    BookList a(5, "甲清单", "RMBooksA");
    BookList b(40, "乙清单", "RMBooksB");
    b.report.Pages[0]->PrintToPrevPage = true;
    TRMCompositeReport c;
    c.Reports = {&a.report, &b.report};
    c.DoublePass = true;
    ASSERT_TRUE(c.PrepareReport());
    ASSERT_EQ(c.EMFPages.Count(), 2);
    auto records = [&](int i) {
        std::vector<std::pair<std::string, int>> out; // text, top
        TMetafile mf;
        TMetafileCanvas canvas(&mf);
        auto& r = c.EMFPages[i];
        c.EMFPages.Draw(i, &canvas, TRect(0, 0, r.PageWidth, r.PageHeight));
        for (auto* t : canvas.TextRecords()) out.push_back({t->Text, t->Bounds.Top});
        return out;
    };
    auto top = [](const std::vector<std::pair<std::string, int>>& recs, const std::string& text) {
        for (auto& [t, y] : recs)
            if (t == text) return y;
        return -1;
    };
    auto first = records(0);
    ASSERT_GE(top(first, "甲清单书5"), 0);
    ASSERT_GE(top(first, "乙清单书1"), 0);
    EXPECT_GT(top(first, "乙清单书1"), top(first, "甲清单书5"));
    EXPECT_GT(top(first, "乙清单"), top(first, "甲清单书5")); // its title, on the same page
    auto second = records(1);
    EXPECT_GE(top(second, "乙清单书40"), 0);
    EXPECT_GE(top(second, "第 2 页 共 2 页"), 0);

    // On other paper it starts a page of its own.
    b.report.Pages[0]->ChangePaper(11, 148000, 210000, 0xFFFF, 1);
    ASSERT_TRUE(c.PrepareReport());
    ASSERT_GE(c.EMFPages.Count(), 3);
    EXPECT_LT(top(records(0), "乙清单书1"), 0);
    EXPECT_GE(top(records(1), "乙清单书1"), 0);
    EXPECT_EQ(b.report.ContinueFrom.Pages, nullptr);
}

// The composite builds under one progress window of its own: its line
// counts the composite's pages through every member, and Cancel stops the
// member being built.
TEST(ReportComposite, buildsUnderItsOwnProgressWindow) {
    BookList a(110, "甲清单", "RMBooksA"); // 3 pages
    BookList b(5, "乙清单", "RMBooksB");   // 1 page
    a.report.ShowProgress = true;          // a member shows no window of its own
    TRMCompositeReport c;
    c.ReportInfo.Title = "合并清单";
    c.Reports = {&a.report, &b.report};
    c.DoublePass = true;
    c.ShowProgress = true;
    TDialogSeam::Instance().Uninstall(); // the real modal window
    std::set<std::string> captions;
    std::vector<std::string> lines;
    c.OnBeginPage = [&](int) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TRMProgressForm*>(Screen->Forms(i)); p && p->Visible()) {
                captions.insert(p->Caption());
                lines.push_back(p->Label1->Caption());
            }
    };
    ASSERT_TRUE(c.PrepareReport());
    EXPECT_EQ(c.EMFPages.Count(), 4);
    EXPECT_EQ(captions, (std::set<std::string>{"正在准备报表 - 合并清单"}));
    EXPECT_EQ(lines, (std::vector<std::string>{"进行第一次处理:  1", "进行第一次处理:  2", "进行第一次处理:  3",
                                               "进行第一次处理:  4", "正在处理页:  1 从 4", "正在处理页:  2 从 4",
                                               "正在处理页:  3 从 4", "正在处理页:  4 从 4"}));
    EXPECT_TRUE(a.report.ShowProgress);

    bool cancelled = false;
    c.OnBeginPage = [&](int) {
        if (cancelled) return;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TRMProgressForm*>(Screen->Forms(i)); p && p->Visible() && TakesKeys(p)) {
                cancelled = true;
                SendClick(p->btnCancel);
            }
    };
    EXPECT_FALSE(c.PrepareReport());
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(c.Terminated);
    EXPECT_EQ(c.EMFPages.Count(), 0);
}

} // namespace
