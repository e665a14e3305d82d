// The data grid's selection as tab text, CSV, RTF and the binary "VCLDBIF"
// interchange block, all four on the clipboard in one change; cutting and
// clearing the selection; and pasting "VCLDBIF" or text back into the
// selected cells, the records from the current one on, or new records.
//
//   CopyGridToClipboard(grid, false);     // what the grid's Ctrl+C does
//   std::string csv = ExportGridToString<TDBGridEhExportAsCSV>(grid, true);
//   PasteGridFromClipboard(grid, false);  // Ctrl+V
#pragma once

#include "gridlib/grid/DBGridEh.h"

#include <cstdint>
#include <string>
#include <vector>

class TCustomDBGridEh;
class TColumnEh;
class TField;

// The export walk over the selection (or everything): title row, record
// rows and footer rows, each a call into the writer below.
class TDBGridEhExport {
public:
    TDBGridEhExport();
    virtual ~TDBGridEhExport();
    TCustomDBGridEh* Grid = nullptr;
    // Appends the rendering to Out.
    virtual void ExportStream(std::string& Out, bool ExportAll);
    void ExportFile(const std::string& FileName, bool ExportAll);

protected:
    virtual void BeginOutput() {}
    virtual void EndOutput() {}
    virtual void PutTitleRow() {}
    virtual void PutRecordRow();
    virtual void PutCell(TColumnEh* Column, TColCellParamsEh& Params) {
        (void)Column;
        (void)Params;
    }
    virtual void PutFooterRow(int Row);
    virtual void PutFooterCell(int Pos, int Row, const std::string& Text, TAlignment Alignment, TColor Background,
                               TFont* Font, TColumnEh* Column) {
        (void)Pos, (void)Row, (void)Text, (void)Alignment, (void)Background, (void)Font, (void)Column;
    }
    void Put(const std::string& bytes) { out_->append(bytes); }
    std::string FooterValueText(int Row, int Pos) const;
    void SumFooterValues();
    // The footer of column Pos for Row, its text and look as the walk gives them.
    void FooterCell(int Row, int Pos, std::string& Text, TAlignment& Alignment, TColor& Background, TFont* Font);

    std::string* out_ = nullptr;
    std::vector<TColumnEh*> Columns;
    std::vector<int64_t> FooterTotals;
    TColCellParamsEh CellParams;
    std::unique_ptr<TFont> cellFont_;
    int footerRows_ = 0;
};

class TDBGridEhExportAsText : public TDBGridEhExport {
public:
    void ExportStream(std::string& Out, bool ExportAll) override;

protected:
    void PutTitleRow() override;
    void PutRecordRow() override;
    void PutCell(TColumnEh* Column, TColCellParamsEh& Params) override;
    void PutFooterRow(int Row) override;
    void PutFooterCell(int Pos, int Row, const std::string& Text, TAlignment Alignment, TColor Background,
                       TFont* Font, TColumnEh* Column) override;
    virtual void StartRow();
    virtual void StartCell();
    // A cell's text as the format writes it.
    virtual std::string CellText(const std::string& text) const;
    bool AtFirstRow = true, AtFirstCell = true;
};

extern char CsvSeparator;

class TDBGridEhExportAsCSV : public TDBGridEhExportAsText {
public:
    TDBGridEhExportAsCSV() : Separator(CsvSeparator) {}
    char Separator;

protected:
    void StartCell() override;
    std::string CellText(const std::string& text) const override;
};

class TDBGridEhExportAsVCLDBIF : public TDBGridEhExport {
protected:
    void BeginOutput() override;
    void EndOutput() override;
    void PutCell(TColumnEh* Column, TColCellParamsEh& Params) override;
};

class TRtfWriter;

class TDBGridEhExportAsRTF : public TDBGridEhExport {
public:
    TDBGridEhExportAsRTF();
    ~TDBGridEhExportAsRTF() override;
    void ExportStream(std::string& Out, bool ExportAll) override;

protected:
    void EndOutput() override;
    void PutTitleRow() override;
    void PutRecordRow() override;
    void PutFooterRow(int Row) override;

private:
    struct Cell {
        std::string Text;
        TAlignment Alignment = taLeftJustify;
        TColor Background = clWindow;
        std::unique_ptr<TFont> Font;
        bool Left = true, Top = true, Right = true, Bottom = true;
        bool Empty = false;
    };
    void putRow(std::vector<Cell>& cells, const std::string& margin);
    void putTitleLevels();
    int colorIndex(TColor c);
    std::string styledText(TFont* font, const std::string& text, TColor background);
    std::unique_ptr<TRtfWriter> rtf_;
    std::vector<Cell> pending_;
};

// The importers write text or a "VCLDBIF" block into the grid's target
// cells; values a field refuses ask "Ignore error?" (Yes, No, All).
class TDBGridEhImport {
public:
    virtual ~TDBGridEhImport() = default;
    TCustomDBGridEh* Grid = nullptr;
    virtual void ImportStream(const std::string& In, bool ImportAll);
    void ImportFile(const std::string& FileName, bool ImportAll);

protected:
    virtual void ReadPrefix() {}
    virtual void EndInput() {}
    // Reads one record's values into the columns; returns false when it
    // consumed no input at all.
    virtual bool GetRecordRow() = 0;
    void InsertRecords(bool appendMode);
    // Stores Value (as text when AsText) into the column's field.
    void StoreValue(TColumnEh* Column, const Variant& Value, bool AsText);
    TField* TargetField(TColumnEh* Column) const;
    const std::string* in_ = nullptr;
    size_t pos_ = 0;
    std::vector<TColumnEh*> Columns;
    bool EndOfInput = false;
    bool IgnoreErrors = false;
};

class TDBGridEhImportAsText : public TDBGridEhImport {
protected:
    void ReadPrefix() override;
    bool GetRecordRow() override;

private:
    // 0 data, 1 TAB, 2 line end (CR LF, LF or a lone CR), 3 end of input.
    int checkState();
    int readCellText();
    void storeText(TColumnEh* Column);
    char currentChar_ = 0;
    int currentKind_ = 3;
    std::string cellText_;
};

class TDBGridEhImportAsVCLDBIF : public TDBGridEhImport {
protected:
    void ReadPrefix() override;
    bool GetRecordRow() override;

private:
    void readValue();
    void need(size_t n) const;
    int32_t readInt32();
    int columnCount_ = 0;
    Variant lastValue_;
};

// Renders the selection (or everything) with exporter class E.
template <class E>
std::string ExportGridToString(TCustomDBGridEh* Grid, bool ExportAll) {
    E e;
    e.Grid = Grid;
    std::string out;
    e.ExportStream(out, ExportAll);
    return out;
}
template <class I>
void ImportIntoGrid(TCustomDBGridEh* Grid, const std::string& In, bool ImportAll) {
    I i;
    i.Grid = Grid;
    i.ImportStream(In, ImportAll);
}

// Text, "Csv", "Rich Text Format" and "VCLDBIF" in one clipboard change.
void CopyGridToClipboard(TCustomDBGridEh* Grid, bool ExportAll);
void CutGridToClipboard(TCustomDBGridEh* Grid, bool ExportAll);
// Clears or deletes what is selected; asks first with dgConfirmDelete.
void ClearGridSelection(TCustomDBGridEh* Grid, bool All);
// "VCLDBIF" when the clipboard holds it, else its text.
void PasteGridFromClipboard(TCustomDBGridEh* Grid, bool ImportAll);

// The grid's clipboard keys call these.
TDBGridEhEditActionHooks MakeDBGridEhImpExpHooks();
