// Export, clipboard and import of the data grid's selection.
#include "DBGridEhImpExp.h"

#include "Clipbrd.h"
#include "DB.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Gbk.h"
#include "RtfWriter.h"
#include "Screen.h"
#include "ScopeExit.h"
#include "SysUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>

char CsvSeparator = ';';

namespace {

// The walk keeps the grid's record and puts it back, also on failure.
struct PositionGuard {
    TDataSet* ds;
    TBookmark at;
    bool restore;
    PositionGuard(TDataSet* d, bool r) : ds(d), restore(r) {
        ds->DisableControls();
        if (!ds->IsEmpty() && ds->State() == dsBrowse) at = ds->GetBookmark();
    }
    void restoreNow() {
        if (restore && !at.empty() && ds->BookmarkValid(at)) ds->GotoBookmark(at);
        restore = false;
    }
    ~PositionGuard() {
        try {
            restoreNow();
        } catch (...) {
        }
        ds->EnableControls();
    }
};

TDataSet* gridDataSet(TCustomDBGridEh* g) {
    TDataSource* src = g ? g->DataSource() : nullptr;
    return src ? src->DataSet() : nullptr;
}

std::vector<TColumnEh*> rectangleColumns(TCustomDBGridEh* g) {
    std::vector<TColumnEh*> out;
    TDBGridEhSelectionRect* r = g->Selection()->Rect();
    for (int i = std::max(0, r->LeftCol()); i <= r->RightCol() && i < g->Columns()->Count(); ++i)
        if (g->Columns()->Items(i)->Visible()) out.push_back(g->Columns()->Items(i));
    return out;
}

std::vector<TColumnEh*> selectedColumns(TCustomDBGridEh* g) {
    std::vector<TColumnEh*> out;
    TDBGridEhSelectionCols* c = g->Selection()->Columns();
    for (int i = 0; i < c->Count(); ++i) out.push_back(c->Items(i));
    return out;
}

// The field a value goes to: a lookup column stores its key.
TField* valueField(TColumnEh* c) {
    TField* f = c->Field();
    if (f && f->FieldKind() == fkLookup) {
        TDataSet* ds = f->DataSet();
        return ds && !f->KeyFields().empty() ? ds->FindField(f->KeyFields()) : nullptr;
    }
    return f;
}

std::string putInt32(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[size_t(i)] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    return s;
}

int64_t roundHalfEven(double v) {
    double r = std::nearbyint(v); // the default rounding mode is to nearest, ties to even
    return int64_t(r);
}

} // namespace

// ================================================================ export

TDBGridEhExport::TDBGridEhExport() : cellFont_(new TFont) { CellParams.Font = cellFont_.get(); }
TDBGridEhExport::~TDBGridEhExport() = default;

void TDBGridEhExport::ExportFile(const std::string& FileName, bool ExportAll) {
    std::string out;
    ExportStream(out, ExportAll);
    std::ofstream f(FileName, std::ios::binary | std::ios::trunc);
    if (!f) throw EFCreateError("Cannot create file \"" + FileName + "\"");
    f.write(out.data(), std::streamsize(out.size()));
}

void TDBGridEhExport::ExportStream(std::string& Out, bool ExportAll) {
    out_ = &Out;
    TDataSet* ds = gridDataSet(Grid);
    TDBGridEhSelectionType kind = ExportAll ? gstAll : Grid->Selection()->Kind();
    if (kind == gstNon || !ds || !ds->Active()) return;
    PositionGuard guard(ds, true);
    footerRows_ = Grid->FooterRowCount();
    auto start = [&](std::vector<TColumnEh*> cols) {
        Columns = std::move(cols);
        FooterTotals.assign(size_t(footerRows_) * Columns.size(), 0);
        BeginOutput();
        if (Grid->Options().Contains(dgTitles)) PutTitleRow();
    };
    switch (kind) {
    case gstRecordBookmarks: {
        start(Grid->VisibleColumns());
        // The list is kept in the order the rows are shown.
        TBookmarkListEh* rows = Grid->Selection()->Rows();
        for (int i = 0; i < rows->Count(); ++i) {
            ds->GotoBookmark(rows->BookmarkAt(i));
            SumFooterValues();
            PutRecordRow();
        }
        break;
    }
    case gstRectangle: {
        start(rectangleColumns(Grid));
        TDBGridEhSelectionRect* r = Grid->Selection()->Rect();
        TBookmark bottom = r->BottomRow();
        ds->GotoBookmark(r->TopRow());
        while (!ds->Eof()) {
            PutRecordRow();
            SumFooterValues();
            if (ds->GetBookmark() == bottom) break;
            ds->Next();
        }
        break;
    }
    case gstColumns:
    case gstAll:
        start(kind == gstColumns ? selectedColumns(Grid) : Grid->VisibleColumns());
        for (ds->First(); !ds->Eof(); ds->Next()) {
            PutRecordRow();
            SumFooterValues();
        }
        break;
    default: break;
    }
    for (int row = 0; row < footerRows_; ++row) PutFooterRow(row);
    guard.restoreNow();
    EndOutput();
}

void TDBGridEhExport::PutRecordRow() {
    for (TColumnEh* c : Columns) {
        CellParams.Row = -1;
        CellParams.Col = -1;
        CellParams.State = TGridDrawState();
        cellFont_->Assign(c->Font());
        CellParams.Background = c->Color();
        CellParams.Alignment = c->Alignment();
        CellParams.Text = Grid->CellDisplayText(c);
        CellParams.CheckboxState = c->CheckboxState();
        CellParams.ReadOnly = false;
        if (Grid->OnGetCellParams) Grid->OnGetCellParams(Grid, c, cellFont_.get(), CellParams.Background, {});
        if (c->OnGetCellParams) c->OnGetCellParams(c, false, &CellParams);
        PutCell(c, CellParams);
    }
}

void TDBGridEhExport::SumFooterValues() {
    TDataSet* ds = gridDataSet(Grid);
    for (int row = 0; row < footerRows_; ++row)
        for (size_t i = 0; i < Columns.size(); ++i) {
            TColumnEh* c = Columns[i];
            TColumnFooterEh* f = c->FooterOfRow(row);
            TField* field = ds->FindField(f->FieldName().empty() ? c->FieldName() : f->FieldName());
            if (!field) continue;
            int64_t& total = FooterTotals[size_t(row) * Columns.size() + i];
            if (f->ValueType() == fvtSum && !field->IsNull()) total += roundHalfEven(field->AsFloat() * 10000.0);
            else if (f->ValueType() == fvtCount) total += 10000;
        }
}

std::string TDBGridEhExport::FooterValueText(int Row, int Pos) const {
    TColumnEh* c = Columns[size_t(Pos)];
    TColumnFooterEh* f = c->FooterOfRow(Row);
    double v = double(FooterTotals[size_t(Row) * Columns.size() + size_t(Pos)]) / 10000.0;
    if (f->ValueType() == fvtCount) return FloatToStr(v);
    TDataSet* ds = gridDataSet(Grid);
    TField* field = ds ? ds->FindField(f->FieldName().empty() ? c->FieldName() : f->FieldName()) : nullptr;
    if (!field) return "";
    switch (field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        if (!field->DisplayFormat().empty()) return FormatFloat(field->DisplayFormat(), v);
        return std::to_string(roundHalfEven(v));
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
        if (!field->DisplayFormat().empty()) return FormatFloat(field->DisplayFormat(), v);
        if (field->DataType() == ftCurrency ||
            (dynamic_cast<TFloatField*>(field) && static_cast<TFloatField*>(field)->Currency()))
            return CurrToStrF(Currency::FromRaw(FooterTotals[size_t(Row) * Columns.size() + size_t(Pos)]), ffCurrency,
                              FormatSettings.CurrencyDecimals);
        return FloatToStr(v);
    default: return "";
    }
}

void TDBGridEhExport::FooterCell(int Row, int Pos, std::string& Text, TAlignment& Alignment, TColor& Background,
                                 TFont* Font) {
    TColumnEh* c = Columns[size_t(Pos)];
    TColumnFooterEh* f = c->FooterOfRow(Row);
    Font->Assign(f->Font());
    Background = f->Color();
    Alignment = f->Alignment();
    Text = f->ValueType() == fvtSum || f->ValueType() == fvtCount ? FooterValueText(Row, Pos)
                                                                   : Grid->GetFooterValue(Row, c);
    if (Grid->OnGetFooterParams)
        Grid->OnGetFooterParams(Grid, c->Index(), Row, c, Font, Background, Alignment, {}, Text);
}

void TDBGridEhExport::PutFooterRow(int Row) {
    TFont font;
    for (size_t i = 0; i < Columns.size(); ++i) {
        std::string text;
        TAlignment al;
        TColor bg;
        FooterCell(Row, int(i), text, al, bg, &font);
        PutFooterCell(int(i), Row, text, al, bg, &font, Columns[i]);
    }
}

// ----------------------------------------------------------- text, CSV --

void TDBGridEhExportAsText::ExportStream(std::string& Out, bool ExportAll) {
    AtFirstRow = true;
    TDBGridEhExport::ExportStream(Out, ExportAll);
}

void TDBGridEhExportAsText::StartRow() {
    if (!AtFirstRow) Put("\r\n");
    AtFirstRow = false;
    AtFirstCell = true;
}

void TDBGridEhExportAsText::StartCell() {
    if (!AtFirstCell) Put("\t");
    AtFirstCell = false;
}

// Other programs read a tab or a line end inside a cell as the table's own.
std::string TDBGridEhExportAsText::CellText(const std::string& text) const {
    std::string s = text;
    for (char& ch : s)
        if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
    return s;
}

void TDBGridEhExportAsText::PutTitleRow() {
    StartRow();
    for (TColumnEh* c : Columns) {
        StartCell();
        Put(CellText(c->Title()->Caption()));
    }
}

void TDBGridEhExportAsText::PutRecordRow() {
    StartRow();
    TDBGridEhExport::PutRecordRow();
}

void TDBGridEhExportAsText::PutCell(TColumnEh*, TColCellParamsEh& Params) {
    StartCell();
    Put(CellText(Params.Text));
}

void TDBGridEhExportAsText::PutFooterRow(int Row) {
    StartRow();
    TDBGridEhExport::PutFooterRow(Row);
}

void TDBGridEhExportAsText::PutFooterCell(int, int, const std::string& Text, TAlignment, TColor, TFont*, TColumnEh*) {
    StartCell();
    Put(CellText(Text));
}

void TDBGridEhExportAsCSV::StartCell() {
    if (!AtFirstCell) Put(std::string(1, Separator));
    AtFirstCell = false;
}

std::string TDBGridEhExportAsCSV::CellText(const std::string& text) const {
    std::string s = "\"";
    for (char ch : text) {
        if (ch == '"') s += '"';
        s += ch;
    }
    return s + "\"";
}

// -------------------------------------------------------------- VCLDBIF --

void TDBGridEhExportAsVCLDBIF::BeginOutput() {
    Put("VCLDBIF");
    Put(std::string(1, '\1'));
    Put(putInt32(int32_t(Columns.size())));
    for (TColumnEh* c : Columns) {
        Put(std::string(1, c->Visible() ? '\1' : '\0'));
        Put(std::string(1, '\0'));
    }
}

void TDBGridEhExportAsVCLDBIF::EndOutput() { Put(std::string(1, '\0')); }

void TDBGridEhExportAsVCLDBIF::PutCell(TColumnEh* Column, TColCellParamsEh&) {
    TField* f = valueField(Column);
    if (!f) {
        Put(std::string(1, '\1'));
        return;
    }
    if (f->IsNull()) {
        Put(std::string(1, '\2'));
        return;
    }
    switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        Put(std::string(1, '\3') + putInt32(f->AsInteger()));
        break;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
    case ftFMTBcd: {
        double d = f->AsFloat();
        std::string b(8, '\0');
        std::memcpy(b.data(), &d, 8);
        Put(std::string(1, '\4') + b);
        break;
    }
    case ftString:
    case ftBoolean:
    case ftMemo:
    case ftFixedChar:
    case ftLargeint:
    case ftGuid:
    case ftWideString: {
        // Lengths count bytes: text travels as GBK, as on disk.
        std::string s = Utf8ToGbk(f->AsString());
        Put(std::string(1, '\5') + putInt32(int32_t(s.size())) + s);
        break;
    }
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic: {
        std::string s = f->AsString();
        Put(std::string(1, '\6') + putInt32(int32_t(s.size())) + s);
        break;
    }
    default: Put(std::string(1, '\1')); break;
    }
}

// ------------------------------------------------------------------ RTF --

TDBGridEhExportAsRTF::TDBGridEhExportAsRTF() = default;
TDBGridEhExportAsRTF::~TDBGridEhExportAsRTF() = default;

int TDBGridEhExportAsRTF::colorIndex(TColor c) {
    TColor rgb = ColorToRGB(c);
    return rtf_->ColorIndex(uint8_t(rgb & 0xFF), uint8_t((rgb >> 8) & 0xFF), uint8_t((rgb >> 16) & 0xFF));
}

std::string TDBGridEhExportAsRTF::styledText(TFont* font, const std::string& text, TColor background) {
    std::string w = "\\fs" + std::to_string(font->Size() * 2);
    TFontStyles st = font->Style();
    if (st.Contains(fsBold)) w += "\\b";
    if (st.Contains(fsItalic)) w += "\\i";
    if (st.Contains(fsStrikeOut)) w += "\\strike";
    if (st.Contains(fsUnderline)) w += "\\ul";
    w += "\\f" + std::to_string(rtf_->FontIndex(font->Name()));
    w += "\\cf" + std::to_string(colorIndex(font->Color()));
    w += "\\cb" + std::to_string(colorIndex(background)) + " ";
    return w + RtfEscape(text);
}

void TDBGridEhExportAsRTF::ExportStream(std::string& Out, bool ExportAll) {
    // Unicode escapes with GBK fallbacks: the document says so in its header.
    rtf_ = std::make_unique<TRtfWriter>("{\\rtf0\\ansi\\ansicpg936\\uc2");
    rtf_->AddColor(0, 0, 0);
    rtf_->AddColor(255, 255, 255);
    colorIndex(clBtnFace);
    std::string body;
    TDBGridEhExport::ExportStream(body, ExportAll);
    if (body.empty()) body = "}";
    std::string doc = rtf_->Document(); // header, tables, (empty body), "}"
    doc.resize(doc.size() - 1);        // the walk wrote the closing brace
    Out += doc + body;
    rtf_.reset();
}

void TDBGridEhExportAsRTF::EndOutput() { Put("}"); }

void TDBGridEhExportAsRTF::putRow(std::vector<Cell>& cells, const std::string& margin) {
    std::string r = "\\trowd\\trgaph40\r\n";
    int ppi = Screen->PixelsPerInch();
    int edge = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        Cell& c = cells[i];
        if (c.Left) r += "\\clbrdrl\\brdrs\\brdrcf0\r\n";
        if (c.Top) r += "\\clbrdrt\\brdrs\\brdrcf0\r\n";
        if (c.Bottom) r += "\\clbrdrb\\brdrs\\brdrcf0\r\n";
        if (c.Right) r += "\\clbrdrr\\brdrs\\brdrcf0\r\n";
        r += "\\clshdng10000\\clcfpat" + std::to_string(colorIndex(c.Background));
        edge += int(double(Columns[i]->Width()) / ppi * 1440);
        r += "\\cellx" + std::to_string(edge) + "\r\n";
    }
    r += "{\\trrh0\r\n";
    for (Cell& c : cells) {
        const char* al = c.Alignment == taRightJustify ? "\\qr" : c.Alignment == taCenter ? "\\qc" : "\\ql";
        // A cell merged into its neighbour's title keeps no text of its own.
        if (c.Empty) {
            r += std::string("\\pard\\intbl{\\qc") + styledText(c.Font.get(), "", c.Background) + "\\cell}\r\n";
            continue;
        }
        r += std::string("\\pard\\intbl{") + al + "\\sb" + margin + "\\sa" + margin;
        r += styledText(c.Font.get(), c.Text, c.Background);
        r += "\\cell}\r\n";
    }
    r += "\\pard\\intbl\\row}\r\n";
    Put(r);
}

// Multi-level titles: one row per level of the title tree, top level
// first. A node spanning several columns or levels is one block of cells
// with its text in the top-left one and no borders inside the block.
void TDBGridEhExportAsRTF::PutTitleRow() {
    if (Grid->UseMultiTitle() && !Columns.empty()) {
        putTitleLevels();
        return;
    }
    std::vector<Cell> cells(Columns.size());
    for (size_t i = 0; i < Columns.size(); ++i) {
        TColumnTitleEh* t = Columns[i]->Title();
        cells[i].Text = t->Caption();
        cells[i].Alignment = t->Alignment();
        cells[i].Background = t->Color();
        cells[i].Font = std::make_unique<TFont>();
        cells[i].Font->Assign(t->Font());
    }
    putRow(cells, Grid->Flat() ? "12" : "24");
}

void TDBGridEhExportAsRTF::putTitleLevels() {
    const size_t n = Columns.size();
    // Heights in title levels, as the grid lays its titles out: every
    // upper node one level, a leaf the levels left below its upper nodes
    // (a caption without "|" stands as high as the whole title).
    THeadTreeNode* root = Grid->HeadTree();
    auto depth = [root](THeadTreeNode* t) {
        int d = 0;
        for (THeadTreeNode* h = t->Host; h && h != root; h = h->Host) ++d;
        return d;
    };
    std::vector<THeadTreeNode*> node(n);
    int deepest = 0;
    for (size_t i = 0; i < n; ++i) {
        node[i] = Grid->LeafFieldArr(Columns[i]->Index());
        if (node[i]) deepest = std::max(deepest, depth(node[i]));
    }
    auto levelsOf = [&](THeadTreeNode* t) { return t->Child ? 1 : deepest - depth(t) + 1; };
    // The matrix of nodes, row 0 the leaves: each pass lifts the columns
    // whose running height is the lowest one level up the tree.
    std::vector<int> height(n, 0);
    for (size_t i = 0; i < n; ++i)
        if (node[i]) height[i] = levelsOf(node[i]);
    std::vector<std::vector<THeadTreeNode*>> matrix;
    for (bool first = true;; first = false) {
        int lowest = INT_MAX;
        for (size_t i = 0; i < n; ++i)
            if (node[i]) lowest = std::min(lowest, height[i]);
        std::vector<THeadTreeNode*> row = node;
        bool moved = false;
        for (size_t i = 0; i < n; ++i)
            if (node[i] && height[i] == lowest && node[i]->Host) {
                node[i] = node[i]->Host;
                height[i] += levelsOf(node[i]);
                moved = true;
            }
        if (first || moved) matrix.push_back(std::move(row));
        if (!moved) break;
    }
    const int levels = int(matrix.size());
    // Each level's cells; a block's inner cells are cleared and lose the
    // borders between them.
    std::vector<std::vector<Cell>> rows(static_cast<size_t>(levels));
    for (auto& row : rows) row.resize(n);
    for (int r = levels - 1; r >= 0; --r)
        for (size_t c = 0; c < n; ++c) {
            Cell& cell = rows[size_t(r)][c];
            THeadTreeNode* at = matrix[size_t(r)][c];
            if (cell.Empty || !at) continue;
            int below = r;
            while (below > 0 && matrix[size_t(below - 1)][c] == at) --below;
            size_t right = c;
            while (right + 1 < n && matrix[size_t(r)][right + 1] == at) ++right;
            for (int rr = below; rr <= r; ++rr)
                for (size_t cc = c; cc <= right; ++cc) {
                    Cell& b = rows[size_t(rr)][cc];
                    b.Empty = rr != r || cc != c;
                    b.Left = cc == c;
                    b.Right = cc == right;
                    b.Top = rr == r;
                    b.Bottom = rr == below;
                }
            cell.Text = at->Text;
        }
    const int ppi = Screen->PixelsPerInch();
    const std::string margin = std::to_string(int(double(Grid->VTitleMargin()) / 2 / ppi * 1440 - 20));
    for (int r = levels - 1; r >= 0; --r) {
        std::vector<Cell>& cells = rows[size_t(r)];
        for (size_t c = 0; c < n; ++c) {
            Cell& cell = cells[c];
            cell.Alignment = taCenter;
            cell.Font = std::make_unique<TFont>();
            // The leaves in their column's title colours, the levels above
            // in the grid's.
            TColumnTitleEh* t = Columns[c]->Title();
            cell.Font->Assign(r == 0 ? t->Font() : Grid->TitleFont());
            cell.Background = r == 0 ? t->Color() : Grid->FixedColor();
        }
        putRow(cells, margin);
    }
}

void TDBGridEhExportAsRTF::PutRecordRow() {
    std::vector<Cell> cells(Columns.size());
    size_t i = 0;
    // The base fills the cell parameters per column; keep each one.
    for (TColumnEh* c : Columns) {
        CellParams.State = TGridDrawState();
        cellFont_->Assign(c->Font());
        CellParams.Background = c->Color();
        CellParams.Alignment = c->Alignment();
        CellParams.Text = Grid->CellDisplayText(c);
        CellParams.CheckboxState = c->CheckboxState();
        if (Grid->OnGetCellParams) Grid->OnGetCellParams(Grid, c, cellFont_.get(), CellParams.Background, {});
        if (c->OnGetCellParams) c->OnGetCellParams(c, false, &CellParams);
        cells[i].Text = CellParams.Text;
        cells[i].Alignment = CellParams.Alignment;
        cells[i].Background = CellParams.Background;
        cells[i].Font = std::make_unique<TFont>();
        cells[i].Font->Assign(cellFont_.get());
        ++i;
    }
    putRow(cells, Grid->Flat() ? "12" : "24");
}

void TDBGridEhExportAsRTF::PutFooterRow(int Row) {
    std::vector<Cell> cells(Columns.size());
    for (size_t i = 0; i < Columns.size(); ++i) {
        cells[i].Font = std::make_unique<TFont>();
        FooterCell(Row, int(i), cells[i].Text, cells[i].Alignment, cells[i].Background, cells[i].Font.get());
    }
    putRow(cells, Grid->Flat() ? "12" : "24");
}

// ================================================================ import

TField* TDBGridEhImport::TargetField(TColumnEh* Column) const { return valueField(Column); }

void TDBGridEhImport::ImportFile(const std::string& FileName, bool ImportAll) {
    std::ifstream f(FileName, std::ios::binary);
    if (!f) throw EFOpenError("Cannot open file \"" + FileName + "\"");
    std::string in((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    ImportStream(in, ImportAll);
}

void TDBGridEhImport::StoreValue(TColumnEh* Column, const Variant& Value, bool AsText) {
    if (!Column || !Column->CanModify(false)) return;
    TField* f = TargetField(Column);
    if (!f) return;
    TDataSet* ds = f->DataSet();
    if (!ds->CanModify()) return;
    try {
        if (ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
        if (ds->State() != dsEdit && ds->State() != dsInsert) return;
        if (AsText)
            f->SetText(VarToStr(Value));
        else
            f->SetValue(Value);
    } catch (const Exception& e) {
        if (IgnoreErrors) return;
        int r = MessageDlg("Error during insert value:\n" + e.Message + "\n\nIgnore error?", mtError,
                           {mbYes, mbNo, mbAll}, 0);
        if (r == mrNo) throw EAbort("");
        if (r == mrAll) IgnoreErrors = true;
    }
}

void TDBGridEhImport::InsertRecords(bool appendMode) {
    TDataSet* ds = gridDataSet(Grid);
    while (!EndOfInput) {
        size_t before = pos_;
        if (appendMode)
            ds->Append();
        else
            ds->Insert();
        bool consumed = GetRecordRow();
        ds->Post();
        if (!appendMode) ds->Next();
        // Input that gives no record must not make records for ever.
        if (!consumed && pos_ == before) break;
    }
}

void TDBGridEhImport::ImportStream(const std::string& In, bool ImportAll) {
    in_ = &In;
    pos_ = 0;
    EndOfInput = false;
    IgnoreErrors = false;
    TDataSet* ds = gridDataSet(Grid);
    if (!ds || !ds->Active()) return;
    if (ImportAll) {
        Grid->Selection()->Clear();
        ds->First();
        std::vector<TColumnEh*> vis = Grid->VisibleColumns();
        if (!vis.empty()) Grid->SetSelectedIndex(vis.front()->Index());
    }
    bool appendMode = ds->Eof();
    bool insertMode = ds->State() == dsInsert;
    PositionGuard guard(ds, !insertMode);
    ScopeExit ended([this] { EndInput(); });
    TDBGridEhSelectionType kind = Grid->Selection()->Kind();
    auto walk = [&](auto next) {
        while (!EndOfInput) {
            GetRecordRow();
            if (!next()) break;
        }
    };
    switch (kind) {
    case gstNon: {
        for (int i = std::max(0, Grid->SelectedIndex()); i < Grid->Columns()->Count(); ++i)
            if (Grid->Columns()->Items(i)->Visible()) Columns.push_back(Grid->Columns()->Items(i));
        ReadPrefix();
        if (insertMode) {
            InsertRecords(appendMode);
            break;
        }
        guard.restoreNow();
        while (!ds->Eof() && !EndOfInput) {
            GetRecordRow();
            ds->Next();
        }
        if (Grid->AllowedOperations().Contains(alopAppendEh)) {
            guard.restore = false;
            InsertRecords(true);
        }
        break;
    }
    case gstRecordBookmarks: {
        Columns = Grid->VisibleColumns();
        ReadPrefix();
        if (insertMode) {
            InsertRecords(appendMode);
            break;
        }
        TBookmarkListEh* rows = Grid->Selection()->Rows();
        for (int i = 0; i < rows->Count() && !EndOfInput; ++i) {
            ds->GotoBookmark(rows->BookmarkAt(i));
            GetRecordRow();
        }
        break;
    }
    case gstRectangle: {
        Columns = rectangleColumns(Grid);
        ReadPrefix();
        if (insertMode) {
            InsertRecords(appendMode);
            break;
        }
        TBookmark bottom = Grid->Selection()->Rect()->BottomRow();
        ds->GotoBookmark(Grid->Selection()->Rect()->TopRow());
        walk([&] {
            if (ds->GetBookmark() == bottom) return false;
            ds->Next();
            return !ds->Eof();
        });
        break;
    }
    case gstColumns:
    case gstAll: {
        Columns = kind == gstColumns ? selectedColumns(Grid) : Grid->VisibleColumns();
        ReadPrefix();
        if (insertMode) {
            InsertRecords(appendMode);
            break;
        }
        ds->First();
        walk([&] {
            ds->Next();
            return !ds->Eof();
        });
        break;
    }
    }
    if (ds->State() == dsEdit) ds->Post();
}

// ---------------------------------------------------------------- text --

// Line ends: CR LF as written by this grid, LF as most programs here
// write, and a lone CR as older ones do.
int TDBGridEhImportAsText::checkState() {
    if (pos_ >= in_->size()) {
        currentKind_ = 3;
        EndOfInput = true;
        return currentKind_;
    }
    currentChar_ = (*in_)[pos_++];
    if (currentChar_ == '\t') {
        currentKind_ = 1;
    } else if (currentChar_ == '\r') {
        if (pos_ < in_->size() && (*in_)[pos_] == '\n') ++pos_;
        currentKind_ = 2;
    } else if (currentChar_ == '\n') {
        currentKind_ = 2;
    } else {
        currentKind_ = 0;
    }
    return currentKind_;
}

int TDBGridEhImportAsText::readCellText() {
    cellText_ = std::string(1, currentChar_);
    while (checkState() == 0) cellText_ += currentChar_;
    if (currentKind_ == 1) checkState();
    return currentKind_;
}

void TDBGridEhImportAsText::ReadPrefix() { checkState(); }

void TDBGridEhImportAsText::storeText(TColumnEh* c) {
    if (!c || !c->CanModify(false)) return;
    TField* f = c->Field();
    if (f && f->FieldKind() == fkLookup) {
        if (f->KeyFields().empty() || !f->LookupDataSet()) return;
        TDataSet* lk = f->LookupDataSet();
        // An entry spelled exactly (ignoring case) wins over one that only
        // starts with the text.
        bool found = lk->Locate(f->LookupResultField(), Variant(cellText_), loCaseInsensitive) ||
                     lk->Locate(f->LookupResultField(), Variant(cellText_), loCaseInsensitive | loPartialKey);
        if (!found) return;
        StoreValue(c, lk->FieldByName(f->LookupKeyFields())->Value(), false);
        return;
    }
    if (c->GetColumnType() == ctKeyPickList) {
        int i = c->PickList()->IndexOf(cellText_);
        if (i < 0 || i >= c->KeyList()->Count())
            StoreValue(c, Null(), false);
        else
            StoreValue(c, Variant(c->KeyList()->Strings(i)), true);
        return;
    }
    StoreValue(c, Variant(cellText_), true);
}

bool TDBGridEhImportAsText::GetRecordRow() {
    if (currentKind_ == 3) return false;
    size_t i = 0;
    if (currentKind_ == 0) {
        readCellText();
        if (!Columns.empty()) storeText(Columns[0]);
        i = 1;
    }
    while (currentKind_ == 0 || currentKind_ == 1) {
        if (currentKind_ == 1) {
            cellText_.clear();
            checkState();
        } else {
            readCellText();
        }
        if (i < Columns.size()) storeText(Columns[i]);
        ++i;
    }
    checkState();
    return true;
}

// ------------------------------------------------------------- VCLDBIF --

void TDBGridEhImportAsVCLDBIF::need(size_t n) const {
    if (in_->size() - pos_ < n)
        throw Exception("TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format");
}

int32_t TDBGridEhImportAsVCLDBIF::readInt32() {
    need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(static_cast<unsigned char>((*in_)[pos_ + size_t(i)])) << (8 * i);
    pos_ += 4;
    return int32_t(v);
}

void TDBGridEhImportAsVCLDBIF::ReadPrefix() {
    need(12);
    if (in_->compare(0, 7, "VCLDBIF") != 0)
        throw Exception("TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format");
    pos_ = 8;
    columnCount_ = readInt32();
    // Every column takes at least its two header bytes.
    if (columnCount_ < 1 || size_t(columnCount_) > (in_->size() - pos_) / 2)
        throw Exception("TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format");
    for (int i = 0; i < columnCount_; ++i) {
        need(1);
        ++pos_; // the visible flag
        size_t z = in_->find('\0', pos_);
        if (z == std::string::npos) throw Exception("TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format");
        pos_ = z + 1;
    }
    readValue();
}

void TDBGridEhImportAsVCLDBIF::readValue() {
    if (EndOfInput) return;
    need(1);
    unsigned char tag = static_cast<unsigned char>((*in_)[pos_++]);
    lastValue_ = Variant();
    switch (tag) {
    case 0: EndOfInput = true; break;
    case 2: lastValue_ = Null(); break;
    case 3: lastValue_ = Variant(int(readInt32())); break;
    case 4: {
        need(8);
        double d;
        std::memcpy(&d, in_->data() + pos_, 8);
        pos_ += 8;
        lastValue_ = Variant(d);
        break;
    }
    case 5:
    case 6: {
        int32_t len = readInt32();
        if (len < 0) throw Exception("TDBGridEhImportAsVCLDBIF.ReadPrefix: Invalid VCLDBIF format");
        need(size_t(len));
        std::string s = in_->substr(pos_, size_t(len));
        pos_ += size_t(len);
        lastValue_ = Variant(tag == 5 ? GbkToUtf8(s) : s);
        break;
    }
    default: break; // 1 and unknown tags: no value
    }
}

bool TDBGridEhImportAsVCLDBIF::GetRecordRow() {
    size_t before = pos_;
    for (int i = 0; i < columnCount_; ++i) {
        TColumnEh* c = size_t(i) < Columns.size() ? Columns[size_t(i)] : nullptr;
        if (!lastValue_.IsEmpty() && c) StoreValue(c, lastValue_, false);
        readValue();
    }
    return pos_ != before;
}

// ============================================================= clipboard

void CopyGridToClipboard(TCustomDBGridEh* Grid, bool ExportAll) {
    TDataSet* ds = gridDataSet(Grid);
    if (!ds) return;
    TClipboard* cb = Clipboard();
    cb->Open();
    ds->DisableControls();
    ScopeExit done([&] {
        cb->Close();
        ds->EnableControls();
    });
    auto bytes = [](const std::string& s, bool zero) {
        std::vector<unsigned char> v(s.begin(), s.end());
        if (zero) v.push_back(0);
        return v;
    };
    // The text format carries no NUL: the platform's text setter ends it.
    cb->SetAsText(ExportGridToString<TDBGridEhExportAsText>(Grid, ExportAll));
    cb->SetBuffer("Csv", bytes(ExportGridToString<TDBGridEhExportAsCSV>(Grid, ExportAll), true));
    cb->SetBuffer("Rich Text Format", bytes(ExportGridToString<TDBGridEhExportAsRTF>(Grid, ExportAll), true));
    cb->SetBuffer("VCLDBIF", bytes(ExportGridToString<TDBGridEhExportAsVCLDBIF>(Grid, ExportAll), false));
}

namespace {
void clearSelection(TCustomDBGridEh* Grid, TDataSet* ds, TDBGridEhSelectionType kind);
}

void ClearGridSelection(TCustomDBGridEh* Grid, bool All) {
    TDataSet* ds = gridDataSet(Grid);
    if (!ds || !ds->Active()) return;
    TDBGridEhSelectionType kind = All ? gstAll : Grid->Selection()->Kind();
    if (kind == gstNon) return;
    if (Grid->Options().Contains(dgConfirmDelete)) {
        // Every mass change asks, the deletion of everything included.
        std::string q = kind == gstRectangle || kind == gstColumns ? "Clear selected cells?"
                        : kind == gstRecordBookmarks && Grid->Selection()->Rows()->Count() < 2
                            ? "Delete record?"
                            : "Delete all selected records?";
        if (MessageDlg(q, mtConfirmation, {mbOK, mbCancel}, 0) == mrCancel) return;
    }
    clearSelection(Grid, ds, kind);
}

namespace {
void clearSelection(TCustomDBGridEh* Grid, TDataSet* ds, TDBGridEhSelectionType kind) {
    auto clearCells = [&](const std::vector<TColumnEh*>& cols) {
        for (TColumnEh* c : cols) {
            if (!c->CanModify(false)) continue;
            TField* f = valueField(c);
            if (!f || !f->DataSet()->CanModify()) continue;
            if (ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
            if (ds->State() == dsEdit || ds->State() == dsInsert) f->Clear();
        }
    };
    PositionGuard guard(ds, kind == gstRectangle || kind == gstColumns);
    switch (kind) {
    case gstRecordBookmarks: {
        guard.restore = false;
        std::vector<TBookmark> marks;
        TBookmarkListEh* rows = Grid->Selection()->Rows();
        for (int i = 0; i < rows->Count(); ++i) marks.push_back(rows->BookmarkAt(i));
        for (const TBookmark& b : marks)
            if (ds->BookmarkValid(b)) {
                ds->GotoBookmark(b);
                ds->Delete();
            }
        Grid->Selection()->Clear();
        break;
    }
    case gstRectangle: {
        std::vector<TColumnEh*> cols = rectangleColumns(Grid);
        TBookmark bottom = Grid->Selection()->Rect()->BottomRow();
        ds->GotoBookmark(Grid->Selection()->Rect()->TopRow());
        while (!ds->Eof()) {
            clearCells(cols);
            if (ds->GetBookmark() == bottom) break;
            ds->Next();
        }
        break;
    }
    case gstColumns:
        for (ds->First(); !ds->Eof(); ds->Next()) clearCells(selectedColumns(Grid));
        break;
    case gstAll:
        guard.restore = false;
        ds->First();
        // Stops when a delete does not lower the count (a data set that
        // refuses or re-adds the record).
        while (!ds->IsEmpty()) {
            int before = ds->RecordCount();
            ds->Delete();
            if (ds->RecordCount() >= before) break;
        }
        Grid->Selection()->Clear();
        break;
    default: break;
    }
    if (ds->State() == dsEdit) ds->Post();
}
} // namespace

void CutGridToClipboard(TCustomDBGridEh* Grid, bool ExportAll) {
    CopyGridToClipboard(Grid, ExportAll);
    ClearGridSelection(Grid, ExportAll);
}

void PasteGridFromClipboard(TCustomDBGridEh* Grid, bool ImportAll) {
    TClipboard* cb = Clipboard();
    if (cb->HasFormat("VCLDBIF")) {
        std::vector<unsigned char> b = cb->GetBuffer("VCLDBIF");
        ImportIntoGrid<TDBGridEhImportAsVCLDBIF>(Grid, std::string(b.begin(), b.end()), ImportAll);
    } else if (cb->HasFormat(CF_TEXT)) {
        std::string t = cb->AsText();
        size_t z = t.find('\0');
        if (z != std::string::npos) t.resize(z);
        ImportIntoGrid<TDBGridEhImportAsText>(Grid, t, ImportAll);
    }
}

TDBGridEhEditActionHooks MakeDBGridEhImpExpHooks() {
    TDBGridEhEditActionHooks h;
    h.Copy = [](TCustomDBGridEh* g) { CopyGridToClipboard(g, false); };
    h.Cut = [](TCustomDBGridEh* g) { CutGridToClipboard(g, false); };
    h.Paste = [](TCustomDBGridEh* g) { PasteGridFromClipboard(g, false); };
    // The grid has asked already when it clears cells itself.
    h.ClearCells = [](TCustomDBGridEh* g) {
        TDataSet* ds = gridDataSet(g);
        if (ds && ds->Active() && g->Selection()->Kind() != gstNon) clearSelection(g, ds, g->Selection()->Kind());
    };
    return h;
}
