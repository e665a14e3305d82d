// The common controls: page control and tab sheets, status bar, tool bar
// and tool buttons, progress bar, up-down arrows, date picker, month
// calendar and the tree view with lazily filled nodes.
#pragma once

#include "Controls.h"
#include "Menus.h"

#include <memory>
#include <string>
#include <vector>

class TImageList;
class TPageControl;
class TStatusBar;

// ------------------------------------------------------------ pages

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    std::string ClassName() const override { return "TTabSheet"; }
    TPageControl* PageControl() const { return pageControl_; }
    // Puts the sheet (last) into pc; nullptr takes it out.
    void SetPageControl(TPageControl* pc);
    void SetText(const std::string& v) override;
    int PageIndex() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Tabs over stacked sheets. A user's tab click asks OnChanging, then shows
// the sheet and fires OnChange; setting ActivePage by code fires neither.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    std::string ClassName() const override { return "TPageControl"; }
    int PageCount() const { return int(pages_.size()); }
    TTabSheet* Pages(int i) const;
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* v);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // The next visible sheet after cur (wrapping), or nullptr.
    TTabSheet* FindNextPage(TTabSheet* cur, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v) { images_ = v; }
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

private:
    friend class TTabSheet;
    void insertPage(TTabSheet* s);
    void removePage(TTabSheet* s);
    void syncTabs();
    void tabClicked(int tab);
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    TImageList* images_ = nullptr;
    bool syncing_ = false;
};

// ------------------------------------------------------------ status bar

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
public:
    std::string Text() const { return text_; }
    void SetText(const std::string& v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle v);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    int Index() const;

private:
    friend class TStatusPanels;
    TStatusBar* bar_ = nullptr;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelStyle style_ = psText;
    TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
    TStatusPanel* Add();
    int Count() const { return int(items_.size()); }
    TStatusPanel* Items(int i) const;
    TStatusPanel* operator[](int i) const { return Items(i); }
    void Delete(int i);
    void Clear();
    void BeginUpdate() {}
    void EndUpdate();

private:
    friend class TStatusPanel;
    TStatusBar* bar_;
    std::vector<std::unique_ptr<TStatusPanel>> items_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// Painted on its own canvas: panels left to right with their widths (the
// last one takes the rest); an owner-drawn panel is painted by OnDrawPanel.
class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    std::string ClassName() const override { return "TStatusBar"; }
    TStatusPanels* Panels() const { return panels_.get(); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v) {
        simplePanel_ = v;
        Invalidate();
    }
    std::string SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& v) {
        simpleText_ = v;
        Invalidate();
    }
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v) { sizeGrip_ = v; }
    // The rectangle panel i occupies in client coordinates.
    TRect PanelRect(int i) const;
    TDrawPanelEvent OnDrawPanel;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    bool sizeGrip_ = true;
    std::string simpleText_;
};

// ------------------------------------------------------------ tool bar

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar; it is placed after the bar's earlier buttons.
class TToolButton : public TControl {
public:
    explicit TToolButton(TComponent* AOwner);
    std::string ClassName() const override { return "TToolButton"; }
    void SetParent(TWinControl* AParent) override;
    void SetText(const std::string& v) override;
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    bool Down() const;
    void SetDown(bool v);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool v) { grouped_ = v; }
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* v);
    // Shows DropdownMenu under the button (after its OnPopup); returns at
    // once.
    void DropDown();
    // Runs OnClick; a button with a drop-down menu and no OnClick drops
    // the menu instead.
    void Click() override;
    // Re-reads caption display and image from the bar.
    void Refresh();

private:
    TToolButtonStyle style_ = tbsButton;
    int imageIndex_ = -1;
    bool grouped_ = false;
    TPopupMenu* dropdownMenu_ = nullptr;
};

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    std::string ClassName() const override { return "TToolBar"; }
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int v) {
        buttonWidth_ = v;
        Realign();
    }
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int v) {
        buttonHeight_ = v;
        Realign();
    }
    int ButtonCount() const;
    TToolButton* Buttons(int i) const;
    // A bar holding a drop-down button is a tab stop; Space, Enter or Down
    // on it drops that button's menu.
    void updateKeyboardAccess();

protected:
    void AlignControls(TRect& Rect) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    TToolButton* dropDownButton() const;
    bool focusedBar_ = false;
    TImageList* images_ = nullptr;
    bool showCaptions_ = false;
    bool flat_ = true;
    int buttonWidth_ = 23, buttonHeight_ = 22;
};

// ------------------------------------------------------------ progress, up-down

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    std::string ClassName() const override { return "TProgressBar"; }
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }
    void StepIt();
    void StepBy(int delta);

private:
    int step_ = 10;
};

enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udVertical, udHorizontal };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// Two arrows that step Position between Min and Max; with an Associate the
// position is shown as that control's text.
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* AOwner);
    std::string ClassName() const override { return "TUpDown"; }
    int Min() const { return min_; }
    void SetMin(int v) {
        min_ = v;
        SetPosition(pos_);
    }
    int Max() const { return max_; }
    void SetMax(int v) {
        max_ = v;
        SetPosition(pos_);
    }
    int Position() const;
    void SetPosition(int v);
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool v) { wrap_ = v; }
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* v);
    // Presses an arrow: steps, then OnClick.
    void ClickButton(TUDBtnType b);
    TUDClickEvent OnClick;
    TNotifyEvent OnChanging;

private:
    int min_ = 0, max_ = 100, pos_ = 0, increment_ = 1;
    bool wrap_ = false;
    TWinControl* associate_ = nullptr;
};

// ------------------------------------------------------------ dates

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };

// Shows the date as "yyyy-MM-dd" (the program's short date format).
class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    std::string ClassName() const override { return "TDateTimePicker"; }
    TDateTime Date() const;
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    TDateTime DateTime() const;
    void SetDateTime(TDateTime v);
    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind v);
    TDTDateFormat DateFormat() const { return dateFormat_; }
    void SetDateFormat(TDTDateFormat v);
    TDateTime MinDate() const;
    void SetMinDate(TDateTime v);
    TDateTime MaxDate() const;
    void SetMaxDate(TDateTime v);
    TNotifyEvent OnChange;

private:
    void applyFormat();
    TDateTimeKind kind_ = dtkDate;
    TDTDateFormat dateFormat_ = dfShort;
};

// A month grid. A double click or Enter on a day fires OnDblClick.
class TMonthCalendar : public TWinControl {
public:
    explicit TMonthCalendar(TComponent* AOwner);
    std::string ClassName() const override { return "TMonthCalendar"; }
    TDateTime Date() const;
    void SetDate(TDateTime v);
    // Where the days are, in client coordinates (below the month bar).
    TRect DayTableRect() const;
    TNotifyEvent OnChange;

protected:
    // WM_KEYDOWN and WM_KEYUP (LParam: the TShiftState bits) reach the
    // day table as typed keys would, so that an owner can pass on the keys
    // it does not keep (a date edit with its calendar dropped down).
    void WndProc(TMessage& Message) override;
};

// ------------------------------------------------------------ tree view

class TTreeNodes;
class TTreeView;

class TTreeNode {
public:
    std::string Text() const;
    void SetText(const std::string& v);
    void* Data() const { return data_; }
    void SetData(void* v) { data_ = v; }
    TTreeNode* Parent() const { return parent_; }
    int Count() const { return int(children_.size()); }
    TTreeNode* Item(int i) const;
    int Index() const;
    int Level() const;
    int AbsoluteIndex() const;
    // Shows the expander even without children, so OnExpanding can add
    // them when first opened.
    bool HasChildren() const;
    void SetHasChildren(bool v);
    bool Expanded() const;
    void SetExpanded(bool v);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int v) { selectedIndex_ = v; }
    TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
    TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in display order (children first), or nullptr.
    TTreeNode* GetNext() const;
    void MakeVisible();
    void Delete();
    void DeleteChildren();
    TTreeView* TreeView() const { return owner_; }

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeView* owner_ = nullptr;
    TTreeNode* parent_ = nullptr;
    std::vector<TTreeNode*> children_;
    void* item_ = nullptr;
    void* data_ = nullptr;
    int imageIndex_ = -1, selectedIndex_ = -1;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* owner) : owner_(owner) {}
    ~TTreeNodes();
    // A sibling of Sibling (a new root node when Sibling is nullptr).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Data);
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Data);
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
    void Delete(TTreeNode* Node);
    void Clear();
    // All nodes in display order.
    int Count() const;
    TTreeNode* Item(int AbsoluteIndex) const;
    TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
    void BeginUpdate();
    void EndUpdate();
    TTreeView* Owner() const { return owner_; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* make(TTreeNode* parent, int index, const std::string& s, void* data);
    void destroy(TTreeNode* n);
    TTreeView* owner_;
    std::vector<TTreeNode*> roots_;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;
    std::string ClassName() const override { return "TTreeView"; }
    TTreeNodes* Items() const { return items_.get(); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* v);
    TTreeNode* GetNodeAt(int X, int Y) const;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v) { hideSelection_ = v; }
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool v) { rowSelect_ = v; }
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool v) { showLines_ = v; }
    bool ShowRoot() const;
    void SetShowRoot(bool v);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v) { images_ = v; }
    void FullExpand();
    void FullCollapse();

    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVExpandingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;

    // Platform code finds nodes from their items through this.
    TTreeNode* NodeOfItem(void* item) const;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    std::unique_ptr<TTreeNodes> items_;
    TImageList* images_ = nullptr;
    bool readOnly_ = false, hideSelection_ = true, rowSelect_ = false, showLines_ = true;
    bool expanding_ = false;
};
