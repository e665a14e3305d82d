// Platform-only side of menus: each item is a QAction, and a QMenu once it
// has sub-items.
#pragma once

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <vector>

#include "Menus.h"

class TMenuItemPrivate {
public:
    static TMenuItemPrivate* get(const TMenuItem* item) { return item->d_; }

    TMenuItem* q = nullptr;
    QAction* action = nullptr;
    QMenu* menu = nullptr;
    TMenuItem* parent = nullptr;
    TMenu* owningMenu = nullptr;
    std::vector<TMenuItem*> items;
    std::string caption;
    std::string hint;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool radio = false;
    bool autoCheck = false;
    int groupIndex = 0;
    int imageIndex = -1;
    TShortCut shortCut = scNone;
    TMenuBreak brk = mbNone;
    void refresh();
    void rebuildMenu();
};

// The action standing for item (its menu attached when it has sub-items).
QAction* MenuItemAction(TMenuItem* item);
QMenu* MenuItemMenu(TMenuItem* item);
