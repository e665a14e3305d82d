// The system's fourteen report templates, made by the build's generator,
// built over Chinese fixture rows and printed through the PDF printer into
// build/test-output/reports/. pdftotext checks pages and texts; the label
// pages go through pdftoppm and zbarimg, as a scanner would read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "db/ListDataSet.h"
#include "Printers.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"

namespace {

const std::string kOut = std::string(BUILD_DIR) + "/test-output/reports/";

std::string run(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::string templatesDir() {
    static std::string dir = [] {
        std::string d = std::string(BUILD_DIR) + "/test-tmp-templates-" + std::to_string(getpid()) + "/";
        run("QT_QPA_PLATFORM=offscreen " BUILD_DIR "/tools/MakeReportTemplates " + d + " --force");
        return d;
    }();
    return dir;
}

struct TemplateCase {
    const char* name;
    const char* file;
    std::vector<const char*> fields;
    int rows;
    const char* firstPageText;
    const char* lastPageText; // "" for none
    bool barcodes;
};
void PrintTo(const TemplateCase& c, std::ostream* os) { *os << c.name; }

// A value for a field of row i that reads like the real thing.
Variant valueFor(const std::string& field, int i) {
    static const char* titles[] = {"红楼梦", "三国演义", "水浒传", "西游记", "围城", "边城", "呐喊", "家"};
    static const char* names[] = {"张三", "李四", "王五", "赵六", "钱七"};
    std::string f = UpperCase(field);
    char code[16];
    snprintf(code, sizeof code, "%08d", 10000000 + i);
    if (f == "CODE" || f == "BARCODE") return std::string(code);
    if (f == "NAME" || f == "BNAME") return std::string(titles[i % 8]) + std::to_string(i);
    if (f == "WRITER" || f == "RNAME") return std::string(names[i % 5]);
    if (f == "PUBLISHER" || f == "DEPARTMENT") return std::string("人民文学出版社");
    if (f == "BOOKPRICE" || f == "FINESUM" || f == "DEPOSUM") return double(10 + i % 7) + 0.5;
    if (f == "BOOKSUM") return double(2 * (10 + i % 7) + 1);
    if (f == "REGQTY" || f == "CEQTY" || f == "CEQTY1") return 2;
    if (f == "LIMITDAY" || f == "LIMITDAY1") return 30;
    if (f == "RENEWTIME") return 1;
    if (f == "REGDATE" || f == "REJECTDATE") return TDateTime(EncodeDate(2024, 3, 1 + i % 28));
    if (f == "SCODE1") return std::string("I247.5");
    if (f == "SCODE2") return std::string("C" + std::to_string(100 + i));
    if (f == "SCODE3") return std::string("2024");
    if (f == "SORTCODE") return std::string(i % 2 ? "学生" : "教师");
    if (f == "SAX") return std::string(i % 2 ? "男" : "女");
    return std::string(field) + std::to_string(i);
}

class Templates : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(Templates, printToPdfWithTheirTextsAndPages) {
    const TemplateCase& c = GetParam();
    ForceDirectories(kOut);
    TComponent owner(nullptr);
    owner.SetName("FrmTest");
    TListDataSet data(&owner);
    for (auto* f : c.fields) {
        std::string u = UpperCase(f);
        TFieldType t = ftString;
        if (u == "BOOKPRICE" || u == "FINESUM" || u == "DEPOSUM" || u == "BOOKSUM")
            t = ftFloat;
        else if (u == "REGQTY" || u == "CEQTY" || u == "CEQTY1" || u == "LIMITDAY" || u == "LIMITDAY1" ||
                 u == "RENEWTIME")
            t = ftInteger;
        else if (u == "REGDATE" || u == "REJECTDATE")
            t = ftDate;
        data.FieldDefs().Add(f, t, t == ftString ? 60 : 0);
    }
    for (int i = 0; i < c.rows; ++i) {
        std::vector<Variant> row;
        for (auto* f : c.fields) row.push_back(valueFor(f, i));
        data.AddRow(row);
    }
    data.Open();
    // The reader card back reads the library's rules from the window's
    // settings query.
    TListDataSet settings(&owner);
    settings.SetName("ADOQuery1");
    settings.FieldDefs().Add("Rcardmemo", ftString, 200);
    settings.AddRow({std::string("一、本证只限本人使用。二、借书期限为三十天，逾期按规定交纳滞纳金。")});
    settings.Open();
    TRMDBDataSet rm(&owner);
    rm.SetName("RMDBDataSet1");
    rm.SetDataSet(&data);

    TRMReport r(&owner);
    ASSERT_TRUE(r.LoadFromFile(templatesDir() + c.file)) << r.LastError;
    r.Variables["馆名"] = std::string("实验中学图书馆");
    ASSERT_TRUE(r.PrepareReport());
    EXPECT_TRUE(r.BuildErrors.empty()) << r.BuildErrors[0];
    int pages = r.EMFPages.Count();
    ASSERT_GT(pages, 0);

    std::string pdf = kOut + c.name + ".pdf";
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    r.ShowPrintDialog = false;
    ASSERT_TRUE(r.PrintPreparedReport());
    ASSERT_TRUE(FileExists(pdf));

    // The index of what this folder holds, one line per template.
    ForceDirectories(kOut + "index.d");
    {
        std::ofstream line(kOut + "index.d/" + c.name + ".tsv");
        line << c.name << ".pdf\t" << c.file << "\t" << pages << "\t" << c.firstPageText << "\n";
    }
    run("cd " + kOut +
        " && (printf 'file\\ttemplate\\tpages\\tfirst page text\\n'; cat index.d/*.tsv) > index.tsv.tmp"
        " && mv index.tsv.tmp index.tsv");

    std::string text = run("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> pageTexts;
    std::stringstream ss(text);
    std::string pg;
    while (std::getline(ss, pg, '\f')) pageTexts.push_back(pg);
    if (!pageTexts.empty() && Trim(pageTexts.back()).empty()) pageTexts.pop_back();
    ASSERT_EQ(int(pageTexts.size()), pages);
    EXPECT_NE(pageTexts[0].find(c.firstPageText), std::string::npos) << pageTexts[0];
    EXPECT_NE(pageTexts[0].find("第 1 页 共 " + std::to_string(pages) + " 页"), std::string::npos) << pageTexts[0];
    if (*c.lastPageText) EXPECT_NE(pageTexts.back().find(c.lastPageText), std::string::npos) << pageTexts.back();

    if (c.barcodes) {
        std::string png = kOut + c.name + "-p1";
        run("pdftoppm -r 300 -f 1 -l 1 -png '" + pdf + "' '" + png + "'");
        std::string scan =
            run("zbarimg -q '" + png + "-1.png' 2>/dev/null; zbarimg -q '" + png + "-01.png' 2>/dev/null");
        EXPECT_NE(scan.find("CODE-39:10000000"), std::string::npos) << scan;
        EXPECT_NE(scan.find("CODE-39:10000001"), std::string::npos) << scan;
    }
}

const std::vector<TemplateCase> kTemplates = {
    {"bookList",
     "BookData.rmf",
     {"Code", "Name", "Writer", "Publisher", "SortCode", "BookPosi", "BookPrice"},
     80,
     "图书清单",
     "合计金额：",
     false},
    {"preCatalogueList",
     "BookDataPre.rmf",
     {"Name", "Writer", "Publisher", "BookIsbn", "SortCode", "BookPrice"},
     30,
     "预编目清单",
     "合计金额：",
     false},
    {"publishers", "BookPubData.rmf", {"Code", "Isbn", "PY"}, 20, "出版社清单", "共 20 条", false},
    {"ordering",
     "BookShortData.rmf",
     {"Code", "Name", "Publisher", "BookPrice", "RegQty", "BookSum"},
     25,
     "图书订购清单",
     "合计金额：",
     false},
    {"writeOffs",
     "BookRejectData.rmf",
     {"Code", "BName", "Writer", "RejectDate", "RName", "Remarks", "Finesum"},
     12,
     "图书注销清单",
     "合计金额：",
     false},
    {"periodicals",
     "MagzData.rmf",
     {"Code", "Name", "Orderyear", "PeriodNo", "Publisher", "BookPrice"},
     40,
     "期刊清单",
     "合计金额：",
     false},
    {"subscriptions",
     "MagzOrderData.rmf",
     {"Code", "Name", "PostNo", "Pubfreq", "BookPrice", "RegQty", "BookSum"},
     15,
     "期刊订阅清单",
     "合计金额：",
     false},
    {"periodicalWriteOffs",
     "MagzRejectData.rmf",
     {"Code", "BName", "Orderyear", "PeriodNo", "RejectDate", "RName", "Finesum"},
     8,
     "期刊注销清单",
     "合计金额：",
     false},
    {"readers",
     "ReaderData.rmf",
     {"Code", "Name", "Sax", "SortCode", "Department", "RegDate", "DepoSum"},
     50,
     "读者清单",
     "合计金额：",
     false},
    {"readerTypes",
     "ReadertypeData.rmf",
     {"Code", "CeQty", "LimitDay", "RenewTime", "CeQty1", "LimitDay1"},
     4,
     "读者类型",
     "共 4 条",
     false},
    {"barcodeLabels", "PrintBar.rmf", {"Barcode"}, 24, "实验中学图书馆", "", true},
    {"spineLabels", "PrintLab.rmf", {"Scode1", "Scode2", "Scode3", "BarCode"}, 30, "I247.5", "", false},
    {"readerCards", "ReaderCard.rmf", {"Code", "Name", "SortCode", "Department"}, 6, "实验中学图书馆借书证", "", true},
    {"readerCardBacks", "ReaderCardB.rmf", {"Code", "Name"}, 4, "借书须知", "", false},
};
INSTANTIATE_TEST_SUITE_P(Report, Templates, ::testing::ValuesIn(kTemplates),
                         [](const auto& i) { return std::string(i.param.name); });

} // namespace
