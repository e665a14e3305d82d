// Printing built pages of more than one paper: every change of paper (size
// or orientation) between two printed pages ends the job and starts the
// next on the new paper; over the PDF printer each job is a file of its own,
// the later ones numbered after the first.
#include <gtest/gtest.h>

#include <cstdio>

#include "Printers.h"
#include "report/model/RM_Report.h"
#include "report/print/RM_PrintDialog.h"
#include "support/ReportOutput.h"

namespace {

TEST(ReportPaperChange, laterJobsOfThePdfPrinterAreNumberedFiles) {
    EXPECT_EQ(RMNumberedJobFile("/tmp/out/清单.pdf", "", 2), "/tmp/out/清单-2.pdf");
    EXPECT_EQ(RMNumberedJobFile("", "图书清单", 3), "图书清单-3.pdf");
    EXPECT_EQ(RMNumberedJobFile("", "", 2), "output-2.pdf");
}

// Design pages on A4 (two built pages), A5 across and A4 again print as
// three jobs, each on its paper, no page lost or repeated.
TEST(ReportPaperChange, eachChangeOfPaperStartsAJobOnThatPaper) {
    TComponent owner(nullptr);
    TRMReport report(&owner);
    auto addPage = [&](int i, const std::string& title, const std::string& rows) {
        while (report.Pages.Count() <= i) report.Pages.Add();
        TRMPage* p = report.Pages[i];
        auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
        b->SetBandType(rows.empty() ? bkTitle : bkMasterData);
        b->CreateUniqueName(&report);
        b->SetBounds(0, 60, 500, 30);
        b->SetDataSet(rows);
        auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
        m->CreateUniqueName(&report);
        m->SetBounds(40, 62, 400, 24);
        m->Memo = {title};
        m->Font.Name = "宋体";
        return p;
    };
    addPage(0, "竖排A4第[Page#]页", "60");
    addPage(1, "横排A5第[Page#]页", "")->ChangePaper(11, 148000, 210000, 0xFFFF, 1);
    addPage(2, "再回A4第[Page#]页", "");
    ASSERT_TRUE(report.PrepareReport());
    const int n = report.EMFPages.Count();
    ASSERT_GE(n, 4);
    const int a4Pages = n - 2;

    const std::string first = ReportsFolder() + "paper-change.pdf";
    const std::string files[] = {first, ReportsFolder() + "paper-change-2.pdf",
                                 ReportsFolder() + "paper-change-3.pdf"};
    for (auto& f : files) remove(f.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(first);
    report.ShowPrintDialog = false;
    ASSERT_TRUE(report.PrintPreparedReport());
    EXPECT_EQ(Printer()->FileName(), first); // the printer keeps its file name

    struct Job {
        int pages;
        const char* size; // as pdfinfo names it
        std::string text;
    };
    const Job jobs[] = {
        {a4Pages, "595 x 842 pts (A4)", "竖排A4第1页"},
        {1, "595 x 420 pts (A5)", "横排A5第" + std::to_string(n - 1) + "页"},
        {1, "595 x 842 pts (A4)", "再回A4第" + std::to_string(n) + "页"},
    };
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(files[j]);
        std::string info = CommandOutput("pdfinfo -f 1 -l 99 '" + files[j] + "'");
        EXPECT_NE(info.find("Pages:           " + std::to_string(jobs[j].pages)), std::string::npos) << info;
        for (int pg = 1; pg <= jobs[j].pages; ++pg) {
            char key[32];
            snprintf(key, sizeof key, "Page %4d size:  ", pg);
            EXPECT_NE(info.find(std::string(key) + jobs[j].size), std::string::npos) << info;
        }
        std::string text = CommandOutput("pdftotext -layout '" + files[j] + "' -");
        EXPECT_NE(text.find(jobs[j].text), std::string::npos) << text;
        std::string file = files[j].substr(ReportsFolder().size());
        IndexReport(file, "(A4, A5 across and A4 pages built in the test)", jobs[j].pages, jobs[j].text);
    }
    // The last A4 page of the first job is there, once.
    std::string text = CommandOutput("pdftotext -layout '" + first + "' -");
    EXPECT_NE(text.find("竖排A4第" + std::to_string(a4Pages) + "页"), std::string::npos) << text;
}

} // namespace
