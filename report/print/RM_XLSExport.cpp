#include "report/print/RM_XLSExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "Dialogs.h"
#include "SysUtils.h"

namespace {

// Plain decimals only: "0012" (a code) or "1,234" stay text.
bool plainNumber(const std::string& t, double& v) {
    if (t.empty() || t.size() > 15) return false;
    size_t i = t[0] == '-' ? 1 : 0;
    if (i >= t.size() || !isdigit(uint8_t(t[i]))) return false;
    if (t[i] == '0' && i + 1 < t.size() && t[i + 1] != '.') return false;
    bool dot = false;
    for (size_t k = i; k < t.size(); ++k) {
        if (t[k] == '.' && !dot && k + 1 < t.size()) {
            dot = true;
            continue;
        }
        if (!isdigit(uint8_t(t[k]))) return false;
    }
    return TryStrToFloat(t, v);
}

// Positions within a few pixels of each other are one row or column.
std::vector<int> clusters(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    std::vector<int> out;
    for (int x : v)
        if (out.empty() || x - out.back() > 3) out.push_back(x);
    return out;
}
int indexIn(const std::vector<int>& c, int x) {
    int best = 0;
    for (int i = 0; i < int(c.size()); ++i)
        if (c[size_t(i)] <= x + 3) best = i;
    return best;
}

} // namespace

int TRMXLSExportFilter::Setup() {
    TSaveDialog d(nullptr);
    d.SetFilter("Excel 文件 (*.xlsx)|*.xlsx");
    d.SetDefaultExt("xlsx");
    d.SetFileName(FileName);
    if (!d.Execute()) return 2;
    FileName = d.FileName();
    return 1;
}

void TRMXLSExportFilter::OnBeginDoc() {
    items_.clear();
    page_ = 0;
}

void TRMXLSExportFilter::OnBeginPage(int pageIndex, int, int) { page_ = pageIndex; }

void TRMXLSExportFilter::OnData(int left, int top, TRMView* view) {
    auto* m = dynamic_cast<TRMMemoView*>(view);
    if (!m) return;
    const TRMLines lines = RMStripLineEnds(m->Memo1.empty() ? m->Memo : m->Memo1);
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    text = Trim(text);
    if (text.empty()) return;
    items_.push_back({page_, left, top, m->Width, text});
}

void TRMXLSExportFilter::OnEndDoc() {
    if (!Stream) return;
    // The workbook is written beside the target, then copied into the
    // stream the export opened, and the side file removed.
    std::string temp = FileName + ".part~";
    lxw_workbook* wb = workbook_new(temp.c_str());
    if (!wb) throw Exception("导出Excel失败：无法创建文件 " + FileName);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    std::vector<int> lefts;
    for (auto& it : items_) lefts.push_back(it.Left);
    std::vector<int> cols = clusters(lefts);
    std::map<int, int> widths;
    lxw_row_t rowBase = 0;
    int lastPage = items_.empty() ? 0 : items_.back().Page;
    for (int pg = 0; pg <= lastPage; ++pg) {
        std::vector<int> tops;
        for (auto& it : items_)
            if (it.Page == pg) tops.push_back(it.Top);
        std::vector<int> rows = clusters(tops);
        for (auto& it : items_) {
            if (it.Page != pg) continue;
            lxw_row_t r = rowBase + lxw_row_t(indexIn(rows, it.Top));
            lxw_col_t c = lxw_col_t(indexIn(cols, it.Left));
            double v;
            if (plainNumber(it.Text, v))
                worksheet_write_number(ws, r, c, v, nullptr);
            else
                worksheet_write_string(ws, r, c, it.Text.c_str(), nullptr);
            widths[int(c)] = std::max(widths[int(c)], it.Width);
        }
        rowBase += lxw_row_t(rows.size());
    }
    for (auto [c, w] : widths) worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), std::max(4.0, w / 7.0), nullptr);
    lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        std::remove(temp.c_str());
        throw Exception("导出Excel失败：" + std::string(lxw_strerror(e)));
    }
    {
        TFileStream in(temp, fmOpenRead);
        std::string bytes(size_t(in.Size()), '\0');
        if (!bytes.empty()) in.ReadBuffer(bytes.data(), int64_t(bytes.size()));
        Stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    }
    std::remove(temp.c_str());
}

TRMXLSExportFilter* RMSpreadsheetExportFilter() {
    static TRMXLSExportFilter filter;
    return &filter;
}

void RMRegisterBuiltInExportFilters() {
    static bool done = false;
    if (done) return;
    done = true;
    RMRegisterExportFilter(RMSpreadsheetExportFilter(), "Excel 文件 (*.xlsx)", "*.xlsx");
}
