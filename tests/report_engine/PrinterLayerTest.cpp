// The printer layer: the printers the engine offers, their papers and
// sources in the engine's order, switching printers and the page geometry.
#include <gtest/gtest.h>

#include "Printers.h"
#include "report/model/RM_Class.h"
#include "report/print/RM_Printer.h"

TEST(ReportPrinterLayer, listHasDefaultVirtualAndThePlatformPrintersWithPdf) {
    TRMPrinterList* l = RMPrinters();
    ASSERT_GE(l->Count(), 3);
    EXPECT_EQ(l->Name(0), "默认打印机");
    EXPECT_EQ(l->Name(1), "虚拟打印机");
    EXPECT_GE(l->IndexOfName("PDF"), 2);
    EXPECT_EQ(l->PlatformIndex(1), -1);
    EXPECT_EQ(l->PlatformIndex(l->IndexOfName("PDF")), Printer()->PdfPrinterIndex());
}

TEST(ReportPrinterLayer, virtualPrinterOffersTablePapersExtrasAndCustomLast) {
    const TRMPrinterInfo& v = RMPrinters()->GetPrinterInfo(1);
    EXPECT_EQ(RMPaperTable().size(), 67u);
    ASSERT_EQ(v.GetPaperCount(), 72);
    EXPECT_EQ(v.FirstExtraPaper, 66);
    EXPECT_EQ(v.Papers[0].Code, 1);
    EXPECT_EQ(v.Papers[66].Code, 800);
    EXPECT_EQ(v.Papers[66].Name, "16开(18.4 x 26 厘米)");
    EXPECT_EQ(v.Papers[71].Code, 256);
    EXPECT_EQ(v.Papers[71].Name, "自定义大小");
    const TRMPaperInfo& a4 = v.Papers[size_t(v.GetPaperIndex(9))];
    EXPECT_EQ(a4.Width, 2100);
    EXPECT_EQ(a4.Height, 2970);
    EXPECT_EQ(v.GetPaperIndex(49), 71); // absent: the custom entry
    ASSERT_EQ(v.Bins.size(), 1u);
    EXPECT_EQ(v.Bins[0].Name, "缺省");
    EXPECT_EQ(v.GetBin(0), 65535);
    EXPECT_EQ(v.GetBin(5), 0);
    EXPECT_EQ(v.GetBinIndex(7), 0);
}

TEST(ReportPrinterLayer, devicePapersAreNormalised) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::vector<int> codes;
        std::vector<std::pair<int, int>> sizes;
        std::vector<std::string> expectNames; // before the extras
        int expectCustomCode;
    };
    const Case cases[] = {
        {"names rebuilt from codes when fewer",
         {"x"},
         {9, 999, 998},
         {{0, 0}, {1000, 2000}},
         {"A4 210 x 297 mm", "100 x 200 mm"}, // 998 has neither name nor size: dropped
         256},
        {"surplus names dropped; a user paper is the custom one",
         {"A4", "User defined", "Odd", "spare"},
         {9, 119, 11},
         {{2100, 2970}, {0, 0}, {1480, 2100}},
         {"A4", "Odd"},
         119},
        {"a zero-size paper without table size goes",
         {"A4", "Nothing"},
         {9, 500},
         {{2100, 2970}, {0, 0}},
         {"A4"},
         256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRMPrinterInfo info;
        info.SetPapers(c.names, c.codes, c.sizes);
        ASSERT_EQ(info.FirstExtraPaper, int(c.expectNames.size()));
        for (size_t i = 0; i < c.expectNames.size(); ++i) EXPECT_EQ(info.Papers[i].Name, c.expectNames[i]);
        ASSERT_EQ(info.GetPaperCount(), int(c.expectNames.size()) + 6);
        EXPECT_EQ(info.Papers[size_t(info.FirstExtraPaper)].Code, 800);
        EXPECT_EQ(info.Papers.back().Name, "自定义大小");
        EXPECT_EQ(info.Papers.back().Code, c.expectCustomCode);
        EXPECT_EQ(info.CustomPaperCode, c.expectCustomCode);
    }
}

TEST(ReportPrinterLayer, binsAreCutToTheShorterListAndKeepTheDefault) {
    TRMPrinterInfo info;
    info.SetBins({"上层纸盒", "手动", "多余"}, {1, 4});
    ASSERT_EQ(info.Bins.size(), 3u);
    EXPECT_EQ(info.Bins[0].Number, 65535);
    EXPECT_EQ(info.Bins[2].Name, "手动");
    info.SetBins({"缺省", "手动"}, {7, 4});
    EXPECT_EQ(info.Bins.size(), 2u);
    EXPECT_EQ(info.GetBinIndex(4), 1);
}

TEST(ReportPrinterLayer, switchingPrinterKeepsAMatchingPaperElseCustom) {
    TRMPrinter p;
    int pdf = RMPrinters()->IndexOfName("PDF");
    ASSERT_GT(pdf, 1);
    p.SetPrinterIndex(1);
    p.SetPrinterInfo(9, 2100, 2970, 0, 65535);
    p.SetPrinterIndex(pdf); // the platform's A4 matches
    EXPECT_EQ(p.PaperSize, 9);
    p.SetPrinterIndex(1);
    p.SetPrinterInfo(8, 2970, 4200, 0, 65535, true); // A3: the PDF printer has none
    p.SetPrinterIndex(pdf);
    EXPECT_EQ(p.PaperSize, RMPrinters()->GetPrinterInfo(pdf).CustomPaperCode);
    EXPECT_EQ(p.PaperWidth(), 2970);
    EXPECT_EQ(p.PaperHeight(), 4200);
}

TEST(ReportPrinterLayer, equalPaperIgnoresTheDefaultBinAndVirtualPageInfo) {
    TRMPrinter p;
    p.SetPrinterIndex(1);
    p.SetPrinterInfo(9, 2100, 2970, 0, 3, true);
    EXPECT_TRUE(p.IsEqualPaper(9, 2101, 2970, 0, 65535));
    EXPECT_FALSE(p.IsEqualPaper(9, 2100, 2970, 0, 4));
    EXPECT_FALSE(p.IsEqualPaper(9, 2100, 2970, 1, 3));
    p.SetPrinterInfo(256, 1000, 500, 1, 65535); // custom, landscape
    EXPECT_EQ(p.PaperWidth(), 1000);
    EXPECT_EQ(p.PaperHeight(), 500);
    p.SetPrinterInfo(9, 2100, 2970, 0, 65535);
    TRMPageInfo info;
    p.FillPageInfo(info);
    EXPECT_EQ(info.ScreenPageWidth, RMToPixels(210));
    EXPECT_EQ(info.ScreenPageHeight, RMToPixels(297));
    EXPECT_EQ(info.ScreenOffsetX, 18);
    EXPECT_EQ(info.ScreenOffsetY, 18);
    EXPECT_EQ(info.ScreenPrintWidth, info.ScreenPageWidth - 36);
    EXPECT_EQ(info.ScreenPrintHeight, info.ScreenPageHeight - 36);
}
