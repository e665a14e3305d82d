// The standard controls: label, edit, memo, buttons, check and radio
// buttons, group box, combo box, list box and scroll bar, each on the
// matching Qt widget. Item lists (Items, Lines) are TStringLists the control
// follows: changing the list changes what the control shows.
#pragma once

#include "Controls.h"
#include "Forms.h"

#include <string>

class TStringList;
class TStrings;

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// Static text. AutoSize (on) fits the bounds to the caption; "&" underlines
// the next letter and FocusControl gets the focus on Alt+letter.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    std::string ClassName() const override { return "TLabel"; }
    void SetText(const std::string& v) override;
    bool AutoSize() const;
    void SetAutoSize(bool v);
    bool Transparent() const;
    void SetTransparent(bool v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const;
    void SetLayout(TTextLayout v);
    bool WordWrap() const;
    void SetWordWrap(bool v);
    TWinControl* FocusControl() const;
    void SetFocusControl(TWinControl* v);

protected:
    void FontChanged() override;
};

// One line of text. OnChange fires on every change of Text, typed or set.
class TCustomEdit : public TWinControl {
public:
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    int MaxLength() const;
    void SetMaxLength(int v);
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SetSelText(const std::string& v);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool Modified() const;
    void SetModified(bool v);
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle v);
    TEditCharCase CharCase() const;
    void SetCharCase(TEditCharCase v);
    bool AutoSelect() const;
    void SetAutoSelect(bool v);
    // Where a one-line edit puts its text (numbers stand right).
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    // Pixels kept clear of text at the left and right of a one-line edit
    // (for an image or buttons drawn over those strips).
    void SetTextMargins(int Left, int Right);

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TComponent* AOwner, TControlPrivate* dd);
    virtual void Change();
    void DoEnter() override;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TEdit"; }
    // 0 shows the text; any other character hides it behind that character.
    char PasswordChar() const;
    void SetPasswordChar(char v);
};

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    std::string ClassName() const override { return "TMemo"; }
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    TStrings* Lines() const;
    bool WordWrap() const;
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    bool WantReturns() const override;
    void SetWantReturns(bool v);
    bool WantTabs() const override;
    void SetWantTabs(bool v);
};

// A push button. Default: Enter anywhere on the form presses it; Cancel:
// Esc does. A non-zero ModalResult is given to the form before OnClick.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    std::string ClassName() const override { return "TButton"; }
    void SetText(const std::string& v) override;
    bool Default() const;
    void SetDefault(bool v);
    bool Cancel() const;
    void SetCancel(bool v);
    TModalResult ModalResult() const;
    void SetModalResult(TModalResult v);
    void Click() override;

protected:
    TButton(TComponent* AOwner, TControlPrivate* dd);

private:
    int modalResult_ = 0;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCheckBox"; }
    void SetText(const std::string& v) override;
    bool Checked() const;
    // Fires OnClick when the state changes, as a click would.
    void SetChecked(bool v);
    TCheckBoxState State() const;
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const;
    void SetAllowGrayed(bool v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    std::string ClassName() const override { return "TRadioButton"; }
    void SetText(const std::string& v) override;
    bool Checked() const;
    // Checking one unchecks the other radio buttons of the same parent.
    void SetChecked(bool v);
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    std::string ClassName() const override { return "TGroupBox"; }
    void SetText(const std::string& v) override;
};

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    std::string ClassName() const override { return "TComboBox"; }
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    TStrings* Items() const;
    int ItemIndex() const;
    void SetItemIndex(int v);
    TComboBoxStyle Style() const;
    // csDropDownList lets the user only pick; csDropDown also type.
    void SetStyle(TComboBoxStyle v);
    int DropDownCount() const;
    void SetDropDownCount(int v);
    int MaxLength() const;
    void SetMaxLength(int v);
    bool Sorted() const;
    void SetSorted(bool v);
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    void SelectAll();
    void Clear();
    int ItemHeight() const;
    void SetItemHeight(int v);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    std::string ClassName() const override { return "TListBox"; }
    TStrings* Items() const;
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool MultiSelect() const;
    void SetMultiSelect(bool v);
    bool Selected(int i) const;
    void SetSelected(int i, bool v);
    int SelCount() const;
    bool Sorted() const;
    void SetSorted(bool v);
    TListBoxStyle Style() const;
    // Owner-drawn styles paint each item through OnDrawItem on Canvas().
    void SetStyle(TListBoxStyle v);
    int ItemHeight() const;
    void SetItemHeight(int v);
    int TopIndex() const;
    void SetTopIndex(int v);
    int Columns() const;
    void SetColumns(int v);
    TCanvas* Canvas() const;
    TRect ItemRect(int i) const;
    int ItemAtPos(TPoint p, bool Existing) const;
    void Clear();

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
};

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    std::string ClassName() const override { return "TScrollBar"; }
    TScrollBarKind Kind() const;
    void SetKind(TScrollBarKind v);
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int PageSize() const;
    void SetPageSize(int v);
    int SmallChange() const;
    void SetSmallChange(int v);
    int LargeChange() const;
    void SetLargeChange(int v);
    void SetParams(int APosition, int AMin, int AMax);
    TNotifyEvent OnChange;
    std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)> OnScroll;
};
