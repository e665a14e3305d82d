// Writes the system's report templates (report/*.rmf) with the engine's own
// object model. A template that already exists is left alone, so one a
// librarian edited in the designer survives a rebuild; --force rewrites.
//
//   MakeReportTemplates <folder> [--force]
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "SysUtils.h"
#include "report/barcode/RM_BarCodeView.h"
#include "report/model/RM_Report.h"

namespace {

struct Column {
    const char* Field;
    const char* Caption;
    int Width;
    bool Amount = false; // right-aligned with two decimals
};

struct Builder {
    TRMReport r;
    TRMPage* p;
    Builder() : p(r.Pages[0]) {
        r.DoublePass = true;
        p->MarginLeft = p->MarginRight = 15000;
        p->MarginTop = p->MarginBottom = 12000;
    }
    TRMBandView* band(TRMBandKind k, int top, int h, const std::string& ds = "") {
        auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
        b->SetBandType(k);
        b->CreateUniqueName(&r);
        b->SetBounds(0, top, p->PaperWidthPx(), h);
        b->SetDataSet(ds);
        return b;
    }
    TRMMemoView* memo(int l, int t, int w, int h, const std::string& text, int size = 10, int align = 0,
                      bool bold = false, bool frame = false) {
        auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
        m->CreateUniqueName(&r);
        m->SetBounds(l, t, w, h);
        m->Memo = {text};
        m->Font.Name = "宋体";
        m->Font.Size = size;
        m->Font.Style = bold ? 2 : 0;
        m->SetAlignment(align);
        m->SetLayout(1);
        if (frame) m->SetFrameAll(true);
        return m;
    }
    void pageNumbers(int top) {
        band(bkPageFooter, top, 26);
        memo(p->PrintableLeft(), top + 4, p->PrintableWidth(), 18, "第 [Page#] 页 共 [TotalPages#] 页", 9, 2);
    }
};

// A list: library name and title, a header row repeated on every page,
// one framed row per record, a total line, page numbers.
void makeList(const std::string& file, const std::string& title, bool landscape, const std::vector<Column>& cols,
              const char* amountField) {
    Builder b;
    if (landscape) b.p->Orientation = 1;
    int left = b.p->PrintableLeft(), width = b.p->PrintableWidth();
    int total = 0;
    for (auto& c : cols) total += c.Width;
    double k = double(width) / total;
    b.r.ReportInfo.Title = title;
    b.band(bkTitle, 20, 62);
    b.memo(left, 22, width, 24, "[馆名]", 12, 2, true);
    b.memo(left, 48, width, 30, title, 16, 2, true);
    auto* ph = b.band(bkPageHeader, 100, 26);
    ph->Flags |= bfOnFirstPage;
    b.band(bkMasterData, 140, 22, "RMDBDataSet1")->Name = "MasterData1";
    int x = left;
    for (size_t i = 0; i < cols.size(); ++i) {
        int w = i + 1 == cols.size() ? left + width - x : int(cols[i].Width * k);
        auto* h = b.memo(x, 101, w, 24, cols[i].Caption, 10, 2, true, true);
        h->FillColor = TColor(0xEEEEEE);
        std::string text = std::string("[") + cols[i].Field + (cols[i].Amount ? " #N0.00]" : "]");
        auto* d = b.memo(x, 140, w, 22, text, 9, cols[i].Amount ? 1 : 0, false, true);
        d->Flags &= ~flHideZeros;
        x += w;
    }
    b.band(bkSummary, 180, 28);
    std::string sum = "共 [COUNT(MasterData1)] 条";
    if (amountField) sum += std::string("    合计金额：[SUM([") + amountField + "]) #N0.00] 元";
    auto* s = b.memo(left, 184, width, 22, sum, 10, 1, true);
    s->TopFrame.Visible = true;
    b.pageNumbers(220);
    b.r.SaveToFile(file);
}

// Barcode labels: four across, each the library name over the bars.
void makeBarcodeLabels(const std::string& file) {
    Builder b;
    b.r.ReportInfo.Title = "条码标签";
    int left = b.p->PrintableLeft();
    auto* d = b.band(bkMasterData, 40, 96, "RMDBDataSet1");
    d->Columns = 4;
    d->ColumnWidth = b.p->PrintableWidth() / 4;
    d->ColumnGap = 0;
    auto* t = b.memo(left + 4, 42, d->ColumnWidth - 8, 18, "[馆名]", 9, 2);
    t->Flags &= ~flPrintFrame;
    auto* bc = static_cast<TRMBarCodeView*>(b.p->Add(std::make_unique<TRMBarCodeView>()));
    bc->CreateUniqueName(&b.r);
    bc->SetBounds(left + 10, 60, d->ColumnWidth - 20, 70);
    bc->Memo = {"[Barcode]"};
    bc->Settings.BarType = 3; // Code 39, what the item numbers are printed in
    bc->Settings.CheckSum = 0;
    bc->Settings.Zoom = 1;
    bc->Settings.Ratio = 2.5;
    b.pageNumbers(160);
    b.r.SaveToFile(file);
}

// Spine labels: five across, the three lines of the call number in a frame.
void makeSpineLabels(const std::string& file) {
    Builder b;
    b.r.ReportInfo.Title = "书标";
    int left = b.p->PrintableLeft();
    auto* d = b.band(bkMasterData, 40, 110, "RMDBDataSet1");
    d->Columns = 5;
    d->ColumnWidth = b.p->PrintableWidth() / 5;
    d->ColumnGap = 0;
    int w = d->ColumnWidth - 12;
    auto* f = b.memo(left + 6, 44, w, 100, "", 9, 2, false, true);
    f->Memo.clear();
    b.memo(left + 6, 46, w, 18, "[馆名]", 8, 2);
    b.memo(left + 6, 68, w, 24, "[Scode1]", 13, 2, true);
    b.memo(left + 6, 92, w, 24, "[Scode2]", 13, 2, true);
    b.memo(left + 6, 116, w, 24, "[Scode3]", 13, 2, true);
    b.pageNumbers(170);
    b.r.SaveToFile(file);
}

// Reader cards, two across: front with the reader and the card barcode,
// back with the library's rules from its settings.
void makeReaderCard(const std::string& file, bool back) {
    Builder b;
    b.r.ReportInfo.Title = back ? "借书证背面" : "借书证";
    int left = b.p->PrintableLeft();
    auto* d = b.band(bkMasterData, 40, 210, "RMDBDataSet1");
    d->Columns = 2;
    d->ColumnWidth = b.p->PrintableWidth() / 2;
    d->ColumnGap = 0;
    int w = d->ColumnWidth - 20;
    auto* frame = b.memo(left + 10, 44, w, 200, "", 9, 0, false, true);
    frame->Memo.clear();
    frame->SetFrameAll(true, 1.5);
    if (!back) {
        b.memo(left + 10, 48, w, 26, "[馆名]借书证", 13, 2, true);
        b.memo(left + 24, 80, w - 28, 20, "姓名：[Name]", 10);
        b.memo(left + 24, 102, w - 28, 20, "证号：[Code]", 10);
        b.memo(left + 24, 124, w - 28, 20, "类型：[SortCode]", 10);
        b.memo(left + 24, 146, w - 28, 20, "单位：[Department]", 10);
        auto* bc = static_cast<TRMBarCodeView*>(b.p->Add(std::make_unique<TRMBarCodeView>()));
        bc->CreateUniqueName(&b.r);
        bc->SetBounds(left + 24, 170, w - 48, 66);
        bc->Memo = {"[Code]"};
        bc->Settings.BarType = 3;
        bc->Settings.CheckSum = 0;
        bc->Settings.Ratio = 2.5;
    } else {
        b.memo(left + 10, 48, w, 26, "借书须知", 13, 2, true);
        auto* m = b.memo(left + 20, 80, w - 20, 160, "[ADOQuery1.\"Rcardmemo\"]", 9);
        // Chinese punctuation never starts a line of the rules.
        m->Flags |= flWordWrap | flWordBreak;
        m->SetLayout(0);
    }
    b.pageNumbers(270);
    b.r.SaveToFile(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: MakeReportTemplates <folder> [--force]\n");
        return 2;
    }
    std::string dir = IncludeTrailingPathDelimiter(argv[1]);
    bool force = argc > 2 && strcmp(argv[2], "--force") == 0;
    ForceDirectories(dir);
    struct Item {
        const char* File;
        std::function<void(const std::string&)> Make;
    };
    using C = std::vector<Column>;
    std::vector<Item> items = {
        {"BookData.rmf",
         [](auto& f) {
             makeList(f, "图书清单", true,
                      C{{"Code", "条码号", 80},
                        {"Name", "书名", 210},
                        {"Writer", "作者", 90},
                        {"Publisher", "出版社", 140},
                        {"SortCode", "分类号", 80},
                        {"BookPosi", "馆藏位置", 80},
                        {"BookPrice", "定价", 60, true}},
                      "BookPrice");
         }},
        {"BookDataPre.rmf",
         [](auto& f) {
             makeList(f, "预编目清单", true,
                      C{{"Name", "书名", 210},
                        {"Writer", "作者", 90},
                        {"Publisher", "出版社", 140},
                        {"BookIsbn", "ISBN", 100},
                        {"SortCode", "分类号", 80},
                        {"BookPrice", "定价", 60, true}},
                      "BookPrice");
         }},
        {"BookPubData.rmf",
         [](auto& f) {
             makeList(f, "出版社清单", false,
                      C{{"Code", "出版社", 250}, {"Isbn", "ISBN 前缀", 120}, {"PY", "拼音码", 100}}, nullptr);
         }},
        {"BookShortData.rmf",
         [](auto& f) {
             makeList(f, "图书订购清单", true,
                      C{{"Code", "订单号", 80},
                        {"Name", "书名", 210},
                        {"Publisher", "出版社", 140},
                        {"BookPrice", "单价", 60, true},
                        {"RegQty", "订购数", 50},
                        {"BookSum", "金额", 70, true}},
                      "BookSum");
         }},
        {"BookRejectData.rmf",
         [](auto& f) {
             makeList(f, "图书注销清单", true,
                      C{{"Code", "条码号", 80},
                        {"BName", "书名", 210},
                        {"Writer", "作者", 90},
                        {"RejectDate", "注销日期", 80},
                        {"RName", "读者", 70},
                        {"Remarks", "原因", 120},
                        {"Finesum", "赔款", 60, true}},
                      "Finesum");
         }},
        {"MagzData.rmf",
         [](auto& f) {
             makeList(f, "期刊清单", true,
                      C{{"Code", "条码号", 80},
                        {"Name", "刊名", 200},
                        {"Orderyear", "年份", 50},
                        {"PeriodNo", "期号", 50},
                        {"Publisher", "出版社", 140},
                        {"BookPrice", "定价", 60, true}},
                      "BookPrice");
         }},
        {"MagzOrderData.rmf",
         [](auto& f) {
             makeList(f, "期刊订阅清单", true,
                      C{{"Code", "订单号", 80},
                        {"Name", "刊名", 200},
                        {"PostNo", "邮发代号", 70},
                        {"Pubfreq", "刊期", 50},
                        {"BookPrice", "单价", 60, true},
                        {"RegQty", "订阅数", 50},
                        {"BookSum", "金额", 70, true}},
                      "BookSum");
         }},
        {"MagzRejectData.rmf",
         [](auto& f) {
             makeList(f, "期刊注销清单", true,
                      C{{"Code", "条码号", 80},
                        {"BName", "刊名", 200},
                        {"Orderyear", "年份", 50},
                        {"PeriodNo", "期号", 50},
                        {"RejectDate", "注销日期", 80},
                        {"RName", "读者", 70},
                        {"Finesum", "赔款", 60, true}},
                      "Finesum");
         }},
        {"ReaderData.rmf",
         [](auto& f) {
             makeList(f, "读者清单", true,
                      C{{"Code", "借书证号", 80},
                        {"Name", "姓名", 70},
                        {"Sax", "性别", 40},
                        {"SortCode", "读者类型", 70},
                        {"Department", "单位", 140},
                        {"RegDate", "办证日期", 80},
                        {"DepoSum", "押金", 60, true}},
                      "DepoSum");
         }},
        {"ReadertypeData.rmf",
         [](auto& f) {
             makeList(f, "读者类型", false,
                      C{{"Code", "读者类型", 120},
                        {"CeQty", "可借图书", 70},
                        {"LimitDay", "借期(天)", 70},
                        {"RenewTime", "续借次数", 70},
                        {"CeQty1", "可借期刊", 70},
                        {"LimitDay1", "期刊借期", 70}},
                      nullptr);
         }},
        {"PrintBar.rmf", [](auto& f) { makeBarcodeLabels(f); }},
        {"PrintLab.rmf", [](auto& f) { makeSpineLabels(f); }},
        {"ReaderCard.rmf", [](auto& f) { makeReaderCard(f, false); }},
        {"ReaderCardB.rmf", [](auto& f) { makeReaderCard(f, true); }},
    };
    int written = 0;
    for (auto& it : items) {
        std::string f = dir + it.File;
        if (!force && FileExists(f)) continue;
        it.Make(f);
        ++written;
    }
    printf("%d report templates written to %s\n", written, dir.c_str());
    return 0;
}
