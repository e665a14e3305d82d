// Menus: the main menu of a form, pop-up menus and their items, with
// shortcuts given as the class library's TShortCut words ("Ctrl+F2").
// A disabled item ignores Click(); the form runs item shortcuts itself, so
// they work wherever the focus is inside the window.
#pragma once

#include "Controls.h"

#include <string>
#include <vector>

class TImageList;
class TMenuItemPrivate;
class TMenu;

using TShortCut = Word;
enum : TShortCut { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+F2", "Shift+Del", "Alt+X", "F9"; "" for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText (case-insensitive); scNone when unknown.
TShortCut TextToShortCut(const std::string& Text);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TMenuAutoFlag { maAutomatic, maManual, maParent };

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

// One command or sub-menu. Items own their sub-items (Add/Insert take
// ownership; Delete/Clear free them). Caption "-" is a separator.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    std::string Caption() const;
    void SetCaption(const std::string& v);
    bool Enabled() const;
    void SetEnabled(bool v);
    bool Visible() const;
    void SetVisible(bool v);
    bool Checked() const;
    void SetChecked(bool v);
    bool RadioItem() const;
    void SetRadioItem(bool v);
    int GroupIndex() const;
    void SetGroupIndex(int v);
    bool AutoCheck() const;
    void SetAutoCheck(bool v);
    TShortCut ShortCut() const;
    void SetShortCut(TShortCut v);
    std::string Hint() const;
    void SetHint(const std::string& v);
    int ImageIndex() const;
    void SetImageIndex(int v);
    TMenuBreak Break() const;
    void SetBreak(TMenuBreak v);
    bool IsLine() const { return Caption() == "-"; }

    int Count() const;
    TMenuItem* Items(int i) const;
    TMenuItem* Parent() const;
    int MenuIndex() const;
    int IndexOf(const TMenuItem* item) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out without freeing it.
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    // The sub-item with this caption ("&" ignored), or nullptr.
    TMenuItem* Find(const std::string& caption) const;
    TMenu* GetParentMenu() const;

    // OnClick unless the item is disabled.
    virtual void Click();

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

private:
    friend class TMenu;
    friend class TMenuItemPrivate;
    TMenuItemPrivate* d_;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    std::string ClassName() const override { return "TMenu"; }

    TMenuItem* Items() const { return items_; }
    // Runs the enabled, visible item with this shortcut; true when one ran.
    bool IsShortCut(Word Key, TShiftState Shift);
    // The item anywhere in the tree with this shortcut, or nullptr.
    TMenuItem* FindItemByShortCut(TShortCut sc) const;
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v) { images_ = v; }
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
    void SetAutoHotkeys(TMenuAutoFlag v) { autoHotkeys_ = v; }
    // Called when the item tree changes (the form rebuilds its menu bar).
    std::function<void()> OnChangedInternal;

private:
    TMenuItem* items_;
    TImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    TMenuAutoFlag autoHotkeys_ = maAutomatic;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    std::string ClassName() const override { return "TMainMenu"; }
};

// Which edge of a pop-up menu lies at its popup point: the left edge, the
// right edge, or the middle.
enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    std::string ClassName() const override { return "TPopupMenu"; }
    // Shows the menu at screen point (X, Y) after OnPopup; returns at once.
    virtual void Popup(int X, int Y);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment v) { alignment_ = v; }
    // For the next Popup: a press inside this screen rectangle that closes
    // the menu ends there, instead of reaching the window under it, so a
    // click that closes a button's menu on the button does not press it
    // again. Presses elsewhere go on to their windows as usual.
    void SetCloseClickArea(const TRect& screen) { closeClickArea_ = screen; }
    // The same; Closed runs as this showing of the menu goes (an item
    // chosen, Esc, a press elsewhere; before the item's OnClick), and not
    // at all when Owner was freed meanwhile.
    void Popup(int X, int Y, TControl* Owner, std::function<void()> Closed);
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* v) { popupComponent_ = v; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TNotifyEvent OnPopup;

private:
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;
    TRect closeClickArea_;
};
