// What a drawn menu shows: a separator is a line only.
#include <gtest/gtest.h>

#include "Menus.h"
#include "TestKit.h"
#include "Menus_p.h"

#include <QImage>
#include <QMenu>

namespace {

int DarkPixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 90) ++n;
    return n;
}

// Every separator of every menu began with a stray "-": its caption was
// drawn as text at the left end of the line.
TEST(MenuPaint, separatorDrawsNoCaption) {
    TPopupMenu popup(nullptr);
    for (const char* caption : {"数据修复", "-", "数据备份"}) {
        auto* item = new TMenuItem(&popup);
        item->SetCaption(caption);
        popup.Items()->Add(item);
    }
    QMenu* menu = MenuItemMenu(popup.Items());
    menu->adjustSize();
    const QImage img = menu->grab().toImage();
    QAction* separator = menu->actions().at(1);
    ASSERT_TRUE(separator->isSeparator());
    const QRect line = menu->actionGeometry(separator).intersected(img.rect());
    ASSERT_FALSE(line.isEmpty());
    EXPECT_EQ(DarkPixels(img, line), 0);
    // The same measure sees an item's text.
    EXPECT_GT(DarkPixels(img, menu->actionGeometry(menu->actions().at(0)).intersected(img.rect())), 0);
}

} // namespace
