// The statistics chart bound to a small data set: points and marks from the
// label and value fields, series removed and recreated, and the chart
// rendered into a bitmap.
#include <filesystem>
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "ADODB.h"
#include "Chart.h"
#include "Printers.h"
#include "SysUtils.h"
#include "Canvas_p.h"

namespace {

class ChartOverDataSet : public testing::Test {
protected:
    void SetUp() override {
        // One file per test: ctest runs the tests of this fixture in
        // parallel processes.
        std::string db = std::string(BUILD_DIR) + "/ui_graphics_chart_" +
                         testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
        DeleteFile(db);
        std::string cmd = "sqlite3 '" + db +
                          "' \"create table Stat(Kind text, Cnt integer);"
                          " insert into Stat values('文学', 30), ('历史', 10), ('科技', 60);\"";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        conn.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db);
        conn.SetLoginPrompt(false);
        conn.Open();
        query = new TADOQuery(nullptr);
        query->SetConnection(&conn);
        query->SQL()->Add("select Kind, Cnt from Stat order by Cnt");
        query->Open();
        chart.SetBounds(0, 0, 400, 300);
        chart.Title()->Text()->Add("分类借阅统计");
    }
    void TearDown() override { delete query; }

    TPieSeries* BindPie() {
        auto* pie = new TPieSeries(&chart);
        pie->SetParentChart(&chart);
        pie->SetXLabelsSource("Kind");
        pie->SetYValuesSource("Cnt");
        pie->Marks().Style = smsLabelPercent;
        pie->SetDataSource(query);
        return pie;
    }

    TADOConnection conn;
    TADOQuery* query = nullptr;
    TDBChart chart{nullptr};
};

TEST_F(ChartOverDataSet, pointsAndMarksComeFromTheFields) {
    query->Last();
    TPieSeries* pie = BindPie();
    ASSERT_EQ(pie->Count(), 3);
    EXPECT_EQ(pie->XLabel(0), "历史");
    EXPECT_EQ(pie->YValue(2), 60.0);
    EXPECT_EQ(pie->MarkText(0), "历史 10 %");
    EXPECT_EQ(pie->MarkText(2), "科技 60 %");
    EXPECT_EQ(query->RecNo(), 3) << "the data set keeps its position";
}

TEST_F(ChartOverDataSet, removedSeriesCanBeRecreated) {
    BindPie();
    chart.FreeAllSeries();
    EXPECT_EQ(chart.SeriesCount(), 0);
    auto* bars = new TBarSeries(&chart);
    bars->SetParentChart(&chart);
    bars->SetXLabelsSource("Kind");
    bars->SetYValuesSource("Cnt");
    bars->SetDataSource(query);
    EXPECT_EQ(chart.SeriesCount(), 1);
    EXPECT_EQ(bars->Count(), 3);
    delete bars;
    EXPECT_EQ(chart.SeriesCount(), 0) << "a freed series leaves its chart";
}

TEST_F(ChartOverDataSet, freedDataSetIsForgotten) {
    TPieSeries* pie = BindPie();
    delete query;
    query = nullptr;
    EXPECT_EQ(pie->DataSource(), nullptr);
    EXPECT_EQ(pie->Count(), 0);
}

TEST_F(ChartOverDataSet, rendersIntoBitmap) {
    BindPie();
    auto bmp = chart.CreateBitmap(400, 300);
    ASSERT_EQ(bmp->Width(), 400);
    std::filesystem::create_directories(std::string(BUILD_DIR) + "/test-output/screens");
    std::string path = std::string(BUILD_DIR) + "/test-output/screens/chart-pie.png";
    BitmapImage(bmp.get()).save(QString::fromStdString(path), "PNG");
    // Every slice shows in its palette colour (red, green, yellow).
    int red = 0, green = 0, yellow = 0;
    for (int y = 0; y < 300; y += 2)
        for (int x = 0; x < 400; x += 2) {
            TColor c = bmp->Canvas()->Pixels(x, y);
            red += c == clRed;
            green += c == clGreen;
            yellow += c == clYellow;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
    EXPECT_GT(yellow, 100);
    EXPECT_GT(yellow, red) << "科技 (60) outweighs 历史 (10)";
}

TEST_F(ChartOverDataSet, barAndLineSeriesShareTheCategories) {
    auto* bars = new TBarSeries(&chart);
    bars->SetTitle("借出");
    bars->SetParentChart(&chart);
    bars->SetXLabelsSource("Kind");
    bars->SetYValuesSource("Cnt");
    bars->SetDataSource(query);
    auto* line = new TLineSeries(&chart);
    line->SetTitle("归还");
    line->SetSeriesColor(clBlue);
    line->SetParentChart(&chart);
    line->Add(5, "历史");
    line->Add(20, "文学");
    line->Add(40, "科技");
    auto bmp = chart.CreateBitmap(400, 300);
    std::filesystem::create_directories(std::string(BUILD_DIR) + "/test-output/screens");
    BitmapImage(bmp.get()).save(QString::fromStdString(std::string(BUILD_DIR) + "/test-output/screens/chart-bars.png"), "PNG");
    int bar = 0, blue = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            TColor c = bmp->Canvas()->Pixels(x, y);
            bar += c == clRed;
            blue += c == clBlue;
        }
    EXPECT_GT(bar, 500) << "the first series takes the first palette colour";
    EXPECT_GT(blue, 50);
}

TEST_F(ChartOverDataSet, printsOnePageToThePdfPrinter) {
    BindPie();
    std::string path = std::string(BUILD_DIR) + "/ui_graphics_chart.pdf";
    DeleteFile(path);
    auto pdf = std::make_unique<TPrinter>();
    pdf->SetPrinterIndex(pdf->PdfPrinterIndex());
    pdf->SetFileName(path);
    auto old = SetPrinter(std::move(pdf));
    chart.Print();
    SetPrinter(std::move(old));
    std::string cmd = "pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null";
    std::string text;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
        pclose(p);
    }
    EXPECT_NE(text.find("分类借阅统计"), std::string::npos) << text;
    EXPECT_NE(text.find("科技 60 %"), std::string::npos) << text;
}

} // namespace
