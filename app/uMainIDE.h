// The navigation page: an MDI child whose background shows the flow of the
// library's work, with twelve fading picture buttons that run the most used
// main-menu commands. A button runs its menu item's Click, so a command the
// operator's rights disabled never runs from here either.
// Not here: the rights themselves (the main window sets the buttons).
#pragma once

#include "uBaseD.h"

#include <string>
#include <vector>

class TPanel;
class TImage;
class tVQGifButton;

// One navigation button: its place and the main-menu item it runs.
struct TNavButton {
    const char* Name;
    int Left, Top, Width, Height;
    const char* MenuItem;
    const char* Caption;
    unsigned Interval;
    bool GlyphsTransparent;
};
const std::vector<TNavButton>& NavButtons();

class TFrmMainIDE : public TFrmBaseD {
public:
    explicit TFrmMainIDE(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMainIDE"; }

    void FormShow(TObject* Sender) override;
    // Runs the main window's menu item of that name (nothing when the item
    // is missing or disabled).
    void RunMenuItem(const std::string& itemName);

    TPanel* Panel2;
    TImage* Image1;
    tVQGifButton* GbtBookSet;
    tVQGifButton* GbtMagzSet;
    tVQGifButton* GbtReaderSet;
    tVQGifButton* GbtBookSortSet;
    tVQGifButton* GbtBorrow;
    tVQGifButton* GbtBorrowq;
    tVQGifButton* GbtBookSet1;
    tVQGifButton* GbtMagzSet1;
    tVQGifButton* GbtQryBorrow;
    tVQGifButton* GbtQryExceed;
    tVQGifButton* GbtQryBorrowq;
    tVQGifButton* GbtQryExceedq;
};
