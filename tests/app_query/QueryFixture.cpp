// The query window tests' shared rows and printed output; see QueryFixture.h.
#include "QueryFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "DB.h"
#include "Printers.h"
#include "app/uGlobal.h"

#include <cstdio>
#include <fstream>

std::vector<std::string> QueryFixture::Column(TDataSet* ds, const std::string& field) {
    std::vector<std::string> values;
    for (ds->First(); !ds->Eof(); ds->Next()) values.push_back(ds->FieldByName(field)->AsString());
    ds->First();
    return values;
}

void QueryFixture::LoanFixture() {
    BusinessDate = EncodeDate(2011, 5, 15);
    CorpName = "测试图书馆";
    Exec("insert into Readerdept (Code) values ('一班'), ('二班')");
    Exec("insert into Readerinfo (Code, Name, Department, BookQty, Overdue, BookQty1, Overdue1) values "
         "('R12', '张三', '一班', 2, 1, 0, 0), ('R120', '李四', '二班', 1, 0, 1, 2), ('R3', '王五', '一班', 0, 0, 0, 0)");
    Exec("insert into Bookinfo (Code, Name, SortCode, BookPrice) values "
         "('B1', '书一', 'A1', 10), ('B2', '书二', 'A1', 20), ('B3', '书三', 'B1', 30)");
    Exec("insert into Magzinfo (Code, Name, Orderyear, PeriodNo) values ('M1', '刊一', 2011, 3)");
    Exec("insert into Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate, ExceedDay, ExceedFund, IsPay, Operator) "
         "values ('B1', 'R12', '未还', '2011-05-02', '2011-06-01', 0, 0, 0, '管理员'), "
         "('B2', 'R120', '已还', '2011-05-03', '2011-05-10', 3, 1.5, 0, '管理员'), "
         "('B3', 'R3', '已还', '2011-04-20', '2011-05-12', 6, 3, 1, '张老师'), "
         "('B2', 'R12', '预约', '2011-05-04', null, 0, 0, 0, '管理员')");
    Exec("insert into Borrowinfo1 (Code, Rcode, State, BorrowDate, ReturnDate, ExceedDay, ExceedFund, IsPay, Operator) "
         "values ('M1', 'R120', '已还', '2011-05-05', '2011-05-08', 2, 1, 0, '管理员')");
}

std::string PrintDir() {
    const char* lane = getenv("QT_QPA_PLATFORM");
    std::string dir = std::string(BUILD_DIR) + "/test-output/print/";
    if (lane && std::string(lane) != "offscreen") dir += std::string(lane) + "/";
    return dir;
}

std::string PdfTarget(const std::string& name) {
    ForceDirectories(PrintDir());
    const std::string pdf = PrintDir() + name;
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    return pdf;
}

std::vector<std::string> PdfPages(const std::string& pdf) {
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

void ListInIndex(const std::string& file, const std::string& what, int pages, const std::string& everyPage) {
    ForceDirectories(PrintDir());
    const std::string path = PrintDir() + "index.tsv";
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
