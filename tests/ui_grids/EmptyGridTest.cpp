// An empty list looks empty: no row painted as selected without a record.
#include <gtest/gtest.h>

#include "DBGrids.h"
#include "GridTestSupport.h"
#include "Controls_p.h"
#include "TestKit.h"

#include <QImage>

namespace {

// Overdue lists after the returns, a search without hits and the grid of a
// closed bill showed one dark "selected" blank row, as if a record were
// there.
TEST(EmptyGrid, showsNoSelectedBlankRow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* ds = new TVectorDataSet(&form);
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    auto* grid = new TDBGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 300, 200);
    grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection});
    ds->Open();
    grid->SetDataSource(src);
    ShowAndActivate(&form);
    grid->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(ds->IsEmpty());
    const TRect cell = grid->CellRect(1, 1);
    const QImage img = TControlPrivate::get(grid)->mouseTarget()->grab().toImage();
    const QColor highlight = QColor::fromRgb(ColorToRGB(clHighlight) & 0xFF, (ColorToRGB(clHighlight) >> 8) & 0xFF,
                                             (ColorToRGB(clHighlight) >> 16) & 0xFF);
    const QColor seen = img.pixelColor((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    EXPECT_NE(seen, highlight);
    EXPECT_EQ(seen, QColor(Qt::white));
}

} // namespace
