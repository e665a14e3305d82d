// A grid form for the selection tests: the query windows' columns over 20
// books with multi-select, and presses, drags and the selection read back
// in data columns and record numbers.
#pragma once

#include <ostream>
#include <set>

#include "GridFixture.h"
#include "TestKit.h"

struct CellBox {
    int left, right, top, bottom;
    bool operator==(const CellBox&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const CellBox& b) {
    return os << "columns " << b.left << ".." << b.right << ", records " << b.top << ".." << b.bottom;
}

struct SelectForm : GridForm {
    explicit SelectForm(int width = 520, TDBGridOptions more = {}) : GridForm(20, width, 300) {
        queryColumns();
        TDBGridOptions o = grid->Options();
        o << dgMultiSelect;
        if (more.Contains(dgRowSelect)) o << dgRowSelect;
        grid->SetOptions(o);
        ShowAndActivate(&form);
    }
    // Data column col (-1: the indicator) of visible data row row.
    TPoint at(int col, int row) {
        const TRect r = grid->CellRect(grid->IndicatorOffset() + col, grid->TitleOffset() + row);
        return {r.Left + 4, r.Top + 3};
    }
    void click(int col, int row, TShiftState shift = {}, TMouseButton button = mbLeft) {
        const TPoint p = at(col, row);
        SendMouseDown(grid, p.X, p.Y, button, shift);
        SendMouseUp(grid, p.X, p.Y, button, shift);
    }
    void drag(int col, int row, int toCol, int toRow, TShiftState shift = {}) {
        const TPoint p = at(col, row), q = at(toCol, toRow);
        SendMouseDown(grid, p.X, p.Y, mbLeft, shift);
        TShiftState held = shift;
        held << ssLeft;
        SendMouseMove(grid, q.X, q.Y, held);
        SendMouseUp(grid, q.X, q.Y, mbLeft, shift);
    }
    int recOf(const TBookmark& b) {
        const TBookmark back = ds->GetBookmark();
        ds->GotoBookmark(b);
        const int n = ds->RecNo();
        ds->GotoBookmark(back);
        return n;
    }
    // The selected rectangle: data columns and record numbers.
    CellBox box() {
        CellBox b{-1, -1, -1, -1};
        TBookmark top, bottom;
        if (!grid->Selection()->Rect()->BoxRect(b.left, top, b.right, bottom)) return b;
        b.top = recOf(top);
        b.bottom = recOf(bottom);
        return b;
    }
    std::set<int> selectedRecords() {
        std::set<int> out;
        TBookmarkListEh* rows = grid->SelectedRows();
        for (int i = 0; i < rows->Count(); ++i) out.insert(recOf((*rows)[i]));
        return out;
    }
};

