// How windows read the column layouts of their grids from the database:
// ModuleTable names a window's layout code, TableStructure holds one row
// per column. These are the reading (and width/order saving) rules every
// list, query and desk window shares, as plain functions.
// Not here: the layout editor dialog.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TADOConnection;
class TColumn;
class TDBGrid;

// One TableStructure row.
struct TLayoutRow {
    int Id = 0;
    std::string ColumnsCode; // field name in the window's query
    std::string ColumnsName; // column title
    int TableOrder = 0;
    int ColumnsLength = 0;
    bool IsKey = false;
    bool IsVisible = false;
};

// The layout code of a window (its component name) from ModuleTable; ""
// when the window has none.
std::string LayoutCodeOf(TADOConnection* connection, const std::string& moduleCode);
// Every row of a layout in ascending TableOrder (rows of equal order as the
// database returns them).
std::vector<TLayoutRow> ReadLayout(TADOConnection* connection, const std::string& tableCode);

// The rows that become grid columns: IsVisible ones, in the given order.
std::vector<TLayoutRow> ShownRows(const std::vector<TLayoutRow>& rows);
// The row that gives a grid column its title and width: the row whose
// ColumnsCode is fieldName, else the first, in the given order, whose
// ColumnsCode begins with it (both case-sensitive); nullptr when none does.
const TLayoutRow* RowForField(const std::vector<TLayoutRow>& rows, const std::string& fieldName);
// The layout's key column: the first row with IsKey; nullptr when none.
const TLayoutRow* KeyRow(const std::vector<TLayoutRow>& rows);

// Adds a column the window designs itself (not from TableStructure): bound to
// `field`, with a centred title; width <= 0 keeps the grid's default width.
TColumn* AddDesignedColumn(TDBGrid* grid, const std::string& field, const std::string& title, int width);

// Replaces the grid's columns by the shown rows: each bound to its
// ColumnsCode, title (centred) and width from RowForField.
void BuildGridColumns(TDBGrid* grid, const std::vector<TLayoutRow>& rows);

// Writes, for every shown column at visual position i (from 0), given as
// (field name, width) in visual order: ColumnsLength := width and
// TableOrder := i + 1 into the row RowForField finds. One transaction.
void SaveGridLayout(TADOConnection* connection, const std::string& tableCode,
                    const std::vector<std::pair<std::string, int>>& shownColumns);
