// Spreadsheet export: what a grid shows (visible columns packed from column
// A, every record) written as a real .xlsx workbook with typed cells.
// Row 1 holds the captions, bold and centred on grey (192,192,192), each
// column as wide as the grid column's pixels / 6. From row 2 the cells are
// typed by field: numbers as numbers (floats "#,##0.00_ "), texts as texts
// in the "@" format (a text beginning with "=" stays text: no cell is ever
// a formula), dates as dates ("yyyy-mm-dd"), Booleans as Booleans; a null
// leaves the cell empty. A record whose "VerquilID" is 3 or more is bold;
// exactly 3 also gets the fill of palette index 40 and the font colour of
// index 5. The framed variant (the export window's) draws thin lines round
// every cell of A1:<last column><records + 1> and sets A1's font to 12.
// The workbook is streamed row by row (constant memory) and renamed over
// the target only once complete.
#pragma once

#include <string>

#include "VQExportSource.h"

class TVQCustomDBGrid;
class TCustomDBGridEh;

// What the second grid library's grid shows, as the writers read it: its
// visible columns in collection order (title caption, field, width).
TVQExportSource ExportSourceOfGridEh(const TCustomDBGridEh* grid);

// Writes the workbook; the data set is walked under disabled controls and
// left on its first record. Throws EVQExportError naming the cause.
void WriteExcelWorkbook(const TVQExportSource& src, const std::string& fileName, bool frame);

// The spreadsheet export of the list windows' "导出Excel".
class TVQExcelExport {
public:
    // Asks for a file name (save dialog, default extension "xlsx") and
    // writes the grid there. False when the operator cancelled or the
    // export failed; a failure is shown as "导出Excel失败：" + cause.
    static bool ExportDBGrid(TVQCustomDBGrid* grid);
    // The query windows' "导出Excel": the same export over the second grid
    // library's grid. Every caller passes the title and closing text empty;
    // the workbook has no place for them either way.
    static bool ExportDBGridEh(const std::string& title, const std::string& closing, TCustomDBGridEh* grid);
    // The same for any grid that can describe itself as a source (the
    // second grid library's query grids).
    static bool ExportSource(const TVQExportSource& src, const std::string& suggestedName = "");
};

// The export window's spreadsheet choice: the framed layout, written to
// fileName (the window asks for it). Throws EVQExportError.
void GridToExcel(const std::string& title, const std::string& closing, TVQCustomDBGrid* grid,
                 const std::string& fileName);
