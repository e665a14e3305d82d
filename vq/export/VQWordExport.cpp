#include "VQWordExport.h"

#include <fstream>

#include "Gbk.h"
#include "RtfWriter.h"
#include "vq/grid/VQDBGrid.h"

namespace {

std::string CellText(const TField* f) {
    if (!f) return "";
    if (f->DataType() == ftBoolean) return f->IsNull() ? "" : f->AsBoolean() ? "是" : "否";
    return f->AsString();
}

// One table row: the cell edges in twips (grid pixels x 15, at least 1
// pixel so that a row never has two edges at one place), then the cells.
void Row(TRtfWriter& w, const std::vector<int>& rightEdges, const std::vector<std::string>& texts) {
    w.Raw("\\trowd\\trgaph108");
    for (int edge : rightEdges)
        w.Raw("\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10"
              "\\cellx" +
              std::to_string(edge));
    w.Line("");
    for (const std::string& t : texts) {
        w.Raw("\\pard\\intbl ");
        w.Text(t);
        w.Line("\\cell");
    }
    w.Line("\\row");
}

} // namespace

std::string GridRtfDocument(const TVQExportSource& src, const std::string& heading, const std::string& footer) {
    TDataSet* ds = src.DataSet;
    if (!ds || !ds->Active()) throw EVQExportError("导出Word失败：数据集没有打开");
    TRtfWriter w;
    const int font = w.FontIndex("宋体");
    w.Line("\\pard\\plain\\f" + std::to_string(font) + "\\fs18");
    if (!heading.empty()) {
        w.Text(heading);
        w.Line("\\par");
    }
    std::vector<int> edges;
    std::vector<std::string> texts;
    int x = 0;
    for (const auto& c : src.Columns) {
        x += 15 * std::max(1, c.Width);
        edges.push_back(x);
        texts.push_back(c.Caption);
    }
    if (!src.Columns.empty()) Row(w, edges, texts);
    {
        TVQDisabledControls disabled(ds);
        TBookmark here = ds->GetBookmark();
        ScopeExit back([&] {
            if (ds->BookmarkValid(here)) ds->GotoBookmark(here);
            ds->FreeBookmark(here);
        });
        if (!src.Columns.empty())
            for (ds->First(); !ds->Eof(); ds->Next()) {
                texts.clear();
                for (const auto& c : src.Columns) texts.push_back(CellText(c.Field));
                Row(w, edges, texts);
            }
    }
    w.Line("\\pard\\par");
    if (!footer.empty()) {
        w.Text(footer);
        w.Line("\\par");
    }
    return w.Document();
}

void ExportGridToRtf(TVQCustomDBGrid* grid, const std::string& heading, const std::string& footer,
                     const std::string& fileName) {
    if (!grid) throw EVQExportError("网格参数不存在");
    const std::string doc = GridRtfDocument(grid->ExportSource(), heading, footer);
    TVQAtomicFile out(fileName);
    {
        std::ofstream f(out.TempName(), std::ios::binary | std::ios::trunc);
        if (f) f.write(doc.data(), std::streamsize(doc.size()));
        f.close();
        if (!f.good()) throw EVQExportError("导出Word失败：无法写入文件 " + fileName);
    }
    out.Commit();
}
