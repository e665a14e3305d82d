#include "VQExcelExport.h"

#include <xlsxwriter.h>

#include <map>
#include <tuple>

#include "Dialogs.h"
#include "Forms.h"
#include "ScopeExit.h"
#include "gridlib/grid/DBGridEh.h"
#include "vq/grid/VQDBGrid.h"

namespace {

// Default-palette colours of the indexes the layout names.
constexpr lxw_color_t kTitleFill = 0xC0C0C0; // index 15
constexpr lxw_color_t kMarkFill = 0x00CCFF;  // index 40
constexpr lxw_color_t kMarkFont = 0x0000FF;  // index 5

enum TCellKind { ckPlain, ckFloat, ckText, ckDate, ckTime };

TCellKind KindOf(const TField* f) {
    if (!f) return ckPlain;
    switch (f->DataType()) {
    case ftFloat: return ckFloat;
    case ftString:
    case ftFixedChar:
    case ftWideString: return ckText;
    // A date is a number in a workbook: without a date format it would
    // show as its day count.
    case ftDate:
    case ftDateTime: return ckDate;
    case ftTime: return ckTime;
    default: return ckPlain;
    }
}

// Formats made once per combination the export meets.
class TFormats {
public:
    TFormats(lxw_workbook* wb, bool frame) : wb_(wb), frame_(frame) {}
    lxw_format* Title(bool firstCell) {
        lxw_format*& f = title_[firstCell];
        if (!f) {
            f = workbook_add_format(wb_);
            format_set_bold(f);
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, kTitleFill);
            format_set_align(f, LXW_ALIGN_CENTER);
            if (frame_) format_set_border(f, LXW_BORDER_THIN);
            if (firstCell && frame_) format_set_font_size(f, 12);
        }
        return f;
    }
    // mark: 0 none, 1 bold, 2 bold with fill and font colour.
    lxw_format* Cell(TCellKind kind, int mark) {
        const auto key = std::make_tuple(int(kind), mark);
        auto it = cells_.find(key);
        if (it != cells_.end()) return it->second;
        lxw_format* f = nullptr;
        if (kind != ckPlain || mark || frame_) {
            f = workbook_add_format(wb_);
            switch (kind) {
            case ckFloat: format_set_num_format(f, "#,##0.00_ "); break;
            case ckText: format_set_num_format(f, "@"); break;
            case ckDate: format_set_num_format(f, "yyyy-mm-dd"); break;
            case ckTime: format_set_num_format(f, "hh:mm:ss"); break;
            default: break;
            }
            if (mark) format_set_bold(f);
            if (mark == 2) {
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, kMarkFill);
                format_set_font_color(f, kMarkFont);
            }
            if (frame_) format_set_border(f, LXW_BORDER_THIN);
        }
        cells_[key] = f;
        return f;
    }

private:
    lxw_workbook* wb_;
    bool frame_;
    lxw_format* title_[2] = {nullptr, nullptr};
    std::map<std::tuple<int, int>, lxw_format*> cells_;
};

void Check(lxw_error err, const std::string& fileName) {
    if (err != LXW_NO_ERROR) throw EVQExportError("导出Excel失败：" + fileName + "：" + lxw_strerror(err));
}

void WriteCell(lxw_worksheet* ws, lxw_row_t row, lxw_col_t col, const TField* f, lxw_format* fmt,
               const std::string& fileName) {
    if (!f || f->IsNull()) {
        if (fmt) Check(worksheet_write_blank(ws, row, col, fmt), fileName);
        return;
    }
    switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: Check(worksheet_write_number(ws, row, col, double(f->AsLargeInt()), fmt), fileName); break;
    case ftFloat: Check(worksheet_write_number(ws, row, col, f->AsFloat(), fmt), fileName); break;
    // A cell holds a double whatever we do; the amount is exact to the
    // cent in it.
    case ftCurrency:
    case ftBCD: Check(worksheet_write_number(ws, row, col, f->AsCurrency().ToDouble(), fmt), fileName); break;
    case ftBoolean: Check(worksheet_write_boolean(ws, row, col, f->AsBoolean(), fmt), fileName); break;
    case ftDate:
    case ftTime:
    case ftDateTime: Check(worksheet_write_number(ws, row, col, f->AsDateTime().Val, fmt), fileName); break;
    case ftGraphic:
    case ftBlob:
    case ftTypedBinary:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftBytes:
    case ftVarBytes:
        if (fmt) Check(worksheet_write_blank(ws, row, col, fmt), fileName);
        break;
    default: Check(worksheet_write_string(ws, row, col, f->AsString().c_str(), fmt), fileName); break;
    }
}

} // namespace

void WriteExcelWorkbook(const TVQExportSource& src, const std::string& fileName, bool frame) {
    if (!src.DataSet || !src.DataSet->Active()) throw EVQExportError("导出Excel失败：数据集没有打开");
    if (src.Columns.size() > 16384)
        throw EVQExportError(Format("导出Excel失败：%d 列超过了表格的 16384 列", int(src.Columns.size())));
    TVQAtomicFile out(fileName, ".xlsx");
    lxw_workbook_options opts{};
    opts.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(out.TempName().c_str(), &opts);
    if (!wb) throw EVQExportError("导出Excel失败：无法创建文件 " + fileName);
    TDataSet* ds = src.DataSet;
    TVQDisabledControls disabled(ds);
    ScopeExit rewind([&] { ds->First(); });
    ScopeExit refused([&] { workbook_close(wb); });
    {
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        TFormats formats(wb, frame);
        for (size_t c = 0; c < src.Columns.size(); ++c)
            Check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), src.Columns[c].Width / 6, nullptr), fileName);
        for (size_t c = 0; c < src.Columns.size(); ++c)
            Check(worksheet_write_string(ws, 0, lxw_col_t(c), src.Columns[c].Caption.c_str(), formats.Title(c == 0)),
                  fileName);
        TField* mark = ds->FindField("VerquilID");
        std::vector<TCellKind> kinds;
        for (const auto& col : src.Columns) kinds.push_back(KindOf(col.Field));
        lxw_row_t row = 1;
        ds->First();
        while (!ds->Eof()) {
            int level = 0;
            if (mark && !mark->IsNull()) {
                const int v = mark->AsInteger();
                level = v == 3 ? 2 : v > 3 ? 1 : 0;
            }
            for (size_t c = 0; c < src.Columns.size(); ++c)
                WriteCell(ws, row, lxw_col_t(c), src.Columns[c].Field, formats.Cell(kinds[c], level), fileName);
            ++row;
            ds->Next();
        }
    }
    refused.Dismiss();
    Check(workbook_close(wb), fileName);
    out.Commit();
}

bool TVQExcelExport::ExportDBGrid(TVQCustomDBGrid* grid) {
    if (!grid) return false;
    return ExportSource(grid->ExportSource(), grid->Name());
}

TVQExportSource ExportSourceOfGridEh(const TCustomDBGridEh* grid) {
    TVQExportSource s;
    if (!grid) return s;
    if (TDataSource* ds = grid->DataSource()) s.DataSet = ds->DataSet();
    for (TColumnEh* c : grid->VisibleColumns()) s.Columns.push_back({c->Title()->Caption(), c->Field(), c->Width()});
    return s;
}

bool TVQExcelExport::ExportDBGridEh(const std::string&, const std::string&, TCustomDBGridEh* grid) {
    if (!grid) return false;
    return ExportSource(ExportSourceOfGridEh(grid), grid->Name());
}

bool TVQExcelExport::ExportSource(const TVQExportSource& src, const std::string& suggestedName) {
    TSaveDialog dlg(nullptr);
    dlg.SetDefaultExt("xlsx");
    dlg.SetFilter("Excel 工作簿 (*.xlsx)|*.xlsx");
    dlg.SetOptions(TOpenOptions{ofOverwritePrompt});
    if (!suggestedName.empty()) dlg.SetFileName(suggestedName + ".xlsx");
    if (!dlg.Execute()) return false;
    try {
        WriteExcelWorkbook(src, dlg.FileName(), false);
    } catch (const Exception& e) {
        Application->MessageBox(e.Message, "提示", MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void GridToExcel(const std::string&, const std::string&, TVQCustomDBGrid* grid, const std::string& fileName) {
    if (!grid) throw EVQExportError("网格参数不存在");
    WriteExcelWorkbook(grid->ExportSource(), fileName, true);
}
