// The print dialog's printer part: the chosen printer takes over at once
// and comes back on Cancel; what the queue says of itself; the papers to
// scale to and the "no background" option reach the printed PDF.
#include <gtest/gtest.h>

#include "db/ListDataSet.h"
#include "Printers.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "report/model/RM_Report.h"
#include "report/print/RM_PrintDialog.h"
#include "support/ReportOutput.h"

namespace {

TEST(ReportPrintDialog, queueStatusReadsAsTheSpoolerStates) {
    struct Case {
        unsigned status;
        int jobs;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "空闲"},
        {0, 2, "打印:有2篇文档正在等待打印"},
        {1, 0, "暂停"},
        {16, 0, "缺纸"},
        {1024, 3, "正在打印:有3篇文档正在等待打印"},
        {3, 1, "打印:有1篇文档正在等待打印"}, // two states at once name neither
        {3, 0, "空闲"},
    };
    for (const Case& c : cases) EXPECT_EQ(RMPrinterStatusText(c.status, c.jobs), c.text) << c.status << "/" << c.jobs;
}

// Choosing a printer switches the engine printer at once and lists that
// printer's papers to scale to ("无缩放" first, no custom size); Cancel
// puts the printer chosen before back.
TEST(ReportPrintDialog, chosenPrinterTakesOverAtOnceAndCancelPutsTheOldOneBack) {
    RMPrinter()->SetPrinterIndex(1); // the virtual printer, as before a first print
    int pdfEntry = RMPrinters()->IndexOfName("PDF");
    ASSERT_GE(pdfEntry, 2);
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    seam.ExpectForm("TRMPrintDialogForm", mrCancel, {}, [&](TCustomForm* f) {
        auto& d = *static_cast<TRMPrintDialogForm*>(f);
        EXPECT_EQ(d.CmbPrinters->Items()->IndexOf("虚拟打印机"), -1);
        EXPECT_EQ(d.CmbScalePapers->Text(), "无缩放");
        d.CmbPrinters->SetFocus();
        SendKey(d.CmbPrinters, VK_HOME);
        SendKey(d.CmbPrinters, VK_END);
        EXPECT_EQ(d.CmbPrinters->Text(), "PDF");
        EXPECT_EQ(RMPrinter()->PrinterIndex(), pdfEntry);
        EXPECT_EQ(Printer()->PrinterIndex(), Printer()->PdfPrinterIndex());
        // Its papers less the custom size, after "无缩放".
        const TRMPrinterInfo& info = RMPrinters()->GetPrinterInfo(pdfEntry);
        EXPECT_EQ(d.CmbScalePapers->Items()->Count(), info.GetPaperCount());
        EXPECT_EQ(d.CmbScalePapers->Items()->IndexOf("自定义大小"), -1);
        // The PDF printer has no queue to ask: the information stays empty.
        EXPECT_EQ(d.LblStatus->Caption(), "");
        EXPECT_EQ(d.LblType->Caption(), "");
        ForceDirectories(std::string(BUILD_DIR) + "/test-output/screens/");
        EXPECT_TRUE(SaveFormPng(&d, std::string(BUILD_DIR) + "/test-output/screens/report-print-dialog.png"));
        SendClick(d.BtnCancel);
    });
    TRMPrintDialogForm d(nullptr, 3, 1);
    EXPECT_EQ(d.ShowModal(), mrCancel);
    EXPECT_TRUE(seam.Unused().empty());
    EXPECT_EQ(RMPrinter()->PrinterIndex(), 1);
}

// The properties button opens the platform's printer settings.
TEST(ReportPrintDialog, propertiesOpenThePrinterSettings) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    TSeamAnswer a;
    a.Kind = TSeamKind::PrintDialog;
    a.Caption = "打印设置";
    a.Result = 1;
    seam.Expect(a);
    TRMPrintDialogForm d(nullptr, 1, 1);
    ShowAndActivate(&d);
    SendClick(d.BtnPrinterProp);
    EXPECT_TRUE(seam.Unused().empty());
    SendClick(d.BtnCancel);
}

// A page scaled to another paper fills that paper; "不打印背景图" leaves
// the objects not marked to print visible off the paper.
TEST(ReportPrintDialog, scaleToPaperAndNoBackgroundReachThePdf) {
    TComponent owner(nullptr);
    TRMReport report(&owner);
    TRMPage* p = report.Pages[0];
    auto* title = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
    title->SetBandType(bkTitle);
    title->CreateUniqueName(&report);
    title->SetBounds(0, 70, 700, 100);
    auto memo = [&](int top, const std::string& text, bool visible) {
        auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
        m->CreateUniqueName(&report);
        m->SetBounds(60, top, 300, 24);
        m->Memo = {text};
        m->Font.Name = "宋体";
        if (!visible) m->Flags &= ~flPrintVisible;
    };
    memo(80, "借书证正面", true);
    memo(120, "套打底纹", false);
    ASSERT_TRUE(report.PrepareReport());
    ASSERT_EQ(report.EMFPages.Count(), 1);
    struct Case {
        const char* name;
        const char* paper;
        const char* taoda;
        const char* size; // pdfinfo's page size
        bool background;
    };
    const Case cases[] = {
        {"scaled-a5", "A5", "False", "(A5)", true},
        {"no-background", "无缩放", "True", "(A4)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = std::string("print-dialog-") + c.name + ".pdf";
        std::string pdf = ReportsFolder() + file;
        remove(pdf.c_str());
        Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
        Printer()->SetFileName(pdf);
        TSeamScript seam;
        seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        seam.ExpectForm("TRMPrintDialogForm", mrOk,
                        {{"CmbPrinters", "PDF"}, {"CmbScalePapers", c.paper}, {"ChkTaoda", c.taoda}},
                        [](TCustomForm* form) { SendClickTo(form, "BtnOK"); });
        report.ShowPrintDialog = true;
        ASSERT_TRUE(report.PrintPreparedReport());
        IndexReport(file, "(one-page card built in the test)", 1, "借书证正面");
        std::string info = CommandOutput("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find(c.size), std::string::npos) << info;
        std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
        EXPECT_NE(text.find("借书证正面"), std::string::npos) << text;
        EXPECT_EQ(text.find("套打底纹") != std::string::npos, c.background) << text;
    }
}

} // namespace
