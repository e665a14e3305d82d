// Grid printing to the built-in PDF printer and into the preview: pages,
// header macros, titles repeated on every page, footer sums over the
// printed rows, and the preview window's pages and status. PDFs go to
// build/test-output/gridprint/ (listed in index.tsv) and are read back with
// pdftotext, page by page.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <cstdio>
#include <fstream>

#include "ComCtrls.h"
#include "DialogSeam.h"
#include "TestKit.h"
#include "gridlib/GridFixture.h"
#include "gridlib/print/PrViewEh.h"
#include "gridlib/print/PrnDbgeh.h"

namespace {

// ctest runs the window tests in two lanes at once (offscreen and a real X
// server): each lane writes its own files, so neither reads a PDF the other
// is rewriting.
std::string outDir() {
    const char* lane = getenv("QT_QPA_PLATFORM");
    std::string dir = std::string(BUILD_DIR) + "/test-output/gridprint/";
    if (lane && std::string(lane) != "offscreen") dir += std::string(lane) + "/";
    return dir;
}
const std::string kOut = outDir();

// The text of each page of a PDF.
std::vector<std::string> pdfPages(const std::string& pdf) {
    FILE* p = popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    std::string text;
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    if (p) pclose(p);
    std::vector<std::string> pages;
    size_t from = 0;
    for (size_t ff; (ff = text.find('\f', from)) != std::string::npos; from = ff + 1)
        pages.push_back(text.substr(from, ff - from));
    return pages;
}

// One line per file (columns: file, what it shows, expected page count, a
// text on every page); a file printed again replaces its line.
void listInIndex(const std::string& file, const std::string& what, int pages, const std::string& everyPage) {
    ForceDirectories(kOut);
    const std::string path = kOut + "index.tsv";
    std::vector<std::string> lines;
    {
        std::ifstream in(path);
        for (std::string l; std::getline(in, l);)
            if (!l.empty() && l.rfind(file + '\t', 0) != 0 && l.rfind("file\t", 0) != 0) lines.push_back(l);
    }
    lines.push_back(file + '\t' + what + '\t' + std::to_string(pages) + '\t' + everyPage);
    std::ofstream out(path, std::ios::trunc);
    out << "file\twhat it shows\tpages\ttext on every page\n";
    for (const auto& l : lines) out << l << '\n';
}

std::string printToPdf(TPrintDBGridEh& print, const std::string& name) {
    ForceDirectories(kOut);
    const std::string pdf = kOut + name;
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    print.PrintDirect();
    return pdf;
}

struct PrintFixture : ::testing::Test {
    std::unique_ptr<GridForm> f;
    TPrintDBGridEh* print = nullptr;
    void make(int rows) {
        f = std::make_unique<GridForm>(rows);
        f->queryColumns();
        print = new TPrintDBGridEh(&f->form);
        print->SetDBGridEh(f->grid);
    }
};

TEST_F(PrintFixture, chineseGridOverThreePagesWithPageCountAndFooterSum) {
    make(150);
    print->PageHeader()->CenterText()->Add("图书馆借阅统计");
    print->PageHeader()->CenterText()->Add("&[Page]/&[Pages]");
    print->PageHeader()->LineType = pcltSingleLine;
    const std::string pdf = printToPdf(*print, "three-pages.pdf");
    const auto pages = pdfPages(pdf);
    listInIndex("three-pages.pdf", "150 books, header page of pages, footer sum", 3, "图书编号");
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_NE(pages[i].find("图书馆借阅统计"), std::string::npos) << i;
        EXPECT_NE(pages[i].find(Format("%d/3", int(i) + 1)), std::string::npos) << i;
        EXPECT_NE(pages[i].find("图书编号"), std::string::npos) << "titles repeat on page " << i;
    }
    EXPECT_NE(pages[0].find("图书1 "), std::string::npos);
    EXPECT_NE(pages[2].find("图书150"), std::string::npos);
    // 1 + 2 + ... + 150 on the last page only.
    EXPECT_NE(pages[2].find("11325"), std::string::npos);
    EXPECT_EQ(pages[0].find("合计"), std::string::npos);
    EXPECT_EQ(f->ds->RecNo(), 1) << "the cursor goes back where it was";
}

TEST_F(PrintFixture, selectedRecordsPrintAloneWithTheirSums) {
    make(10);
    TDBGridOptions o = f->grid->Options();
    o << dgMultiSelect;
    f->grid->SetOptions(o);
    for (int rec : {2, 5, 7}) {
        f->ds->SetRecNo(rec);
        f->grid->SelectedRows()->SetCurrentSelected(true);
    }
    const auto pages = pdfPages(printToPdf(*print, "selected-rows.pdf"));
    listInIndex("selected-rows.pdf", "three selected records and their sum", 1, "B005");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("B005"), std::string::npos);
    EXPECT_EQ(pages[0].find("B003"), std::string::npos);
    EXPECT_NE(pages[0].find(" 14 "), std::string::npos) << pages[0];
}

TEST_F(PrintFixture, emptyDataSetPrintsTitlesAndFooters) {
    make(0);
    const auto pages = pdfPages(printToPdf(*print, "empty.pdf"));
    listInIndex("empty.pdf", "no records: titles and the footer row", 1, "合计");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("图书编号"), std::string::npos);
    EXPECT_NE(pages[0].find("合计"), std::string::npos);
}

// A row taller than the page once made the printout start page after page
// with the same row, for ever.
TEST_F(PrintFixture, rowTallerThanThePagePrintsAloneAndGoesOn) {
    make(3);
    f->ds->SetRecNo(2);
    f->ds->Edit();
    // Thirteen characters, one per line in a narrow column.
    f->ds->FieldByName("BookName")->SetAsString("很长的书名很长的书名很长的");
    f->ds->Post();
    f->grid->Columns()->Items(1)->SetWidth(20);
    print->SetOptions({pghRowAutoStretch});
    print->Page()->TopMargin = Currency(24);
    const auto pages = pdfPages(printToPdf(*print, "tall-row.pdf"));
    listInIndex("tall-row.pdf", "a row taller than the page, cut, then the rest", 3, "图书编号");
    EXPECT_GE(pages.size(), 2u);
    EXPECT_LE(pages.size(), 4u);
    EXPECT_NE(pages.back().find("B003"), std::string::npos);
}

TEST_F(PrintFixture, wideGridSplitsIntoBandsOrFitsThePage) {
    make(5);
    for (int i = 0; i < 4; ++i) f->grid->Columns()->Items(i)->SetWidth(400);
    auto pages = pdfPages(printToPdf(*print, "bands.pdf"));
    listInIndex("bands.pdf", "four wide columns in bands, titles repeated", 4, "");
    EXPECT_GE(pages.size(), 2u);
    print->SetOptions({pghFitGridToPageWidth});
    pages = pdfPages(printToPdf(*print, "fit-to-width.pdf"));
    listInIndex("fit-to-width.pdf", "the same grid shrunk to one page", 1, "图书编号");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("金额"), std::string::npos);
}

TEST_F(PrintFixture, optimalWidthsFitTheTexts) {
    make(5);
    f->grid->Columns()->Items(1)->SetWidth(8);
    print->SetOptions({pghOptimalColWidths});
    const auto pages = pdfPages(printToPdf(*print, "optimal-widths.pdf"));
    listInIndex("optimal-widths.pdf", "a column too narrow for its texts printed at their width", 1, "图书5");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("图书5"), std::string::npos);
}

struct MacroRow {
    const char* name;
    const char* text;
    const char* expected;
};

class PrintMacros : public ::testing::TestWithParam<MacroRow> {};

TEST_P(PrintMacros, expand) { EXPECT_EQ(TPrintDBGridEh::ExpandMacros(GetParam().text, 2, 5), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Rows, PrintMacros,
                         ::testing::Values(MacroRow{"pageOfPages", "&[Page]/&[Pages]", "2/5"},
                                           MacroRow{"anyLetterCase", "第&[page]页共&[PAGES]页", "第2页共5页"},
                                           MacroRow{"escapedStaysAsWritten", "&&[Page]", "&&[Page]"},
                                           MacroRow{"plainText", "图书馆", "图书馆"}),
                         RowName());

// "&[pages]" was replaced but did not start the counting pass: every page
// said 1.
TEST(PrintMacroDetection, pagesMacroInAnyCaseStartsTheCount) {
    TPrintDBGridEh p(nullptr);
    EXPECT_FALSE(p.UsesPagesMacro());
    p.PageFooter()->RightText()->Add("共&[pages]页");
    EXPECT_TRUE(p.UsesPagesMacro());
}

TEST(PrintUnits, switchingUnitsConvertsMargins) {
    TPrintDBGridEh p(nullptr);
    p.SetUnits(Inches);
    EXPECT_EQ(p.Page()->LeftMargin, Currency::FromRaw(7874));
    p.SetUnits(MM);
    EXPECT_EQ(p.Page()->LeftMargin, Currency::FromRaw(20000));
}

TEST(PreviewPrinter, pageCountWhileDrawingAndAfter) {
    TPreviewBox box(nullptr);
    TPrinterPreview* pp = box.Printer();
    pp->BeginDoc();
    EXPECT_EQ(box.PageCount(), 1);
    pp->NewPage();
    pp->NewPage();
    EXPECT_EQ(box.PageCount(), 2);
    pp->Abort();
    pp->EndDoc();
    EXPECT_EQ(box.PageCount(), 3);
    EXPECT_EQ(pp->PageCount(), 3);
}

TEST_F(PrintFixture, previewShowsThePagesModally) {
    make(150);
    print->PageHeader()->CenterText()->Add("&[Page]/&[Pages]");
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    int seenPages = 0;
    std::string status;
    script.ExpectForm("TPreviewFormEh", mrCancel, {}, [&](TCustomForm* form) {
        auto* pf = static_cast<TPreviewFormEh*>(form);
        ProcessEvents();
        seenPages = pf->PreviewEh1->PageCount();
        std::vector<std::string> texts;
        for (auto* r : pf->PreviewEh1->Printer()->Page(0)->TextRecords()) texts.push_back(r->Text);
        EXPECT_NE(std::find(texts.begin(), texts.end(), "图书编号"), texts.end());
        EXPECT_NE(std::find(texts.begin(), texts.end(), "1/3"), texts.end()) << ::testing::PrintToString(texts);
        status = pf->StatusBar1->SimpleText();
        SaveFormPng(form, std::string(BUILD_DIR) + "/test-output/screens/gridlib-preview.png");
        SendClick(pf->tbtNextPage);
        EXPECT_EQ(pf->PreviewEh1->PageNumber(), 2);
    });
    print->ShowPreview();
    EXPECT_EQ(seenPages, 3);
    EXPECT_EQ(status, "Page 1 of 3");
}

} // namespace
