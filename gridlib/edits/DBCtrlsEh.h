// The data-aware edits of the second grid library: a field link that can
// also stand alone (it then keeps the edit's value itself), the edit base
// with its button row and image, the number box, the date and time edit,
// the combo box with key items, and the drop-down list they open.
//
// Usage, unbound (the desks' count box):
//   auto* qty = new TDBNumberEditEh(this);
//   qty->SetParent(panel); qty->SetName("EditQty"); qty->SetDecimalPlaces(0);
//   qty->SetValue(0); ... qty->SetValue(qty->GetValue().AsDouble() + 1);
//   if (!qty->GetText().empty()) n = qty->GetValue().AsInteger();
// Bound (a settings row): SetDataSource(ds); SetDataField("PerFine");
//   SetDecimalPlaces(4); leaving the box writes the field.
#pragma once

#include "Mask.h"
#include "ToolCtrlsEh.h"
#include "Variants.h"
#include "DB.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDataSource;
class TField;
class TShape;
class TImageList;
class TPaintBox;
class TCustomDBEditEh;
class TStringList;
class TStrings;

// Links one edit to one field, or, while neither a data source nor a field
// name is set, keeps the edit's value itself ("independent").
//
//   independent --SetDataSource/SetFieldName--> bound (OwnValue dropped)
//   bound --both cleared--> independent (OwnValue Null)
//   independent: Editing false --Edit()--> true --UpdateData--> false
//   bound: Editing follows the data set's edit state and CanModify.
class TFieldDataLinkEh : public TFieldDataLink {
public:
    TFieldDataLinkEh();

    void SetFieldName(const std::string& name);
    void SetDataSource(TDataSource* ds);
    bool DataIndependent() const { return independent_; }
    // Independent, or the platform link is active and a field is resolved.
    bool Active() const;
    bool CanModify() const override;
    const Variant& OwnValue() const { return ownValue_; }
    // Enters edit mode (the data set's Edit for a bound link); returns Editing.
    bool Edit();
    // Independent: keeps the value. Bound: the field's (TFieldDataLink).
    void SetText(const std::string& s) override;
    void SetValue(const Variant& v) override;
    // The update-record request an edit issues when it loses the focus:
    // writes through OnUpdateData when the text was modified.
    void UpdateRecord();

protected:
    // No field while independent.
    TField* ResolveField() override;
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField** field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void updateIndependent();
    // UpdateField, re-announcing even when there was and is no field: the
    // edit may be showing its own value, which has to go.
    void reresolve();
    bool independent_ = true;
    bool enteringEdit_ = false;
    Variant ownValue_ = Null();
};

using TUpdateDataEventEh = std::function<void(TObject* Sender, bool& Handled)>;

// The picture at the left edge of an edit (the combo box shows the picture
// of its entry there).
class TEditImageEh {
public:
    explicit TEditImageEh(TCustomDBEditEh* Edit) : edit_(Edit) {}
    // Copies Images, ImageIndex, Visible and Width (not UseImageHeight).
    void Assign(const TEditImageEh& other);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    bool UseImageHeight() const { return useImageHeight_; }
    void SetUseImageHeight(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // 0: the image list's width.
    int Width() const { return width_; }
    void SetWidth(int v);

private:
    void changed();
    TCustomDBEditEh* edit_;
    TImageList* images_ = nullptr;
    int imageIndex_ = -1;
    bool useImageHeight_ = true;
    bool visible_ = false;
    int width_ = 0;
};

// A one-line edit bound to a field or standing alone (see the link). Value
// and Text assignments show the value and write it at once: into the
// link's own value when unbound, into the field when bound (the data set is
// put into edit state; posting is the caller's business).
//
//   unfocused (display text) --enter: reset link--> focused (edit text)
//   focused --exit: UpdateData ok--> unfocused
//   focused --exit: UpdateData raises--> focused, all text selected
class TCustomDBEditEh : public TMaskEdit, public IDropDownOwnerEh {
public:
    explicit TCustomDBEditEh(TComponent* AOwner);
    ~TCustomDBEditEh() override;
    std::string ClassName() const override { return "TCustomDBEditEh"; }

    // The shown value: the text here; a number or Null for the number box.
    Variant GetValue() const { return GetVariantValue(); }
    Variant Value() const { return GetValue(); }
    // Shows and writes V. On a write error the link is reset and the error
    // goes on to the caller.
    void SetValue(const Variant& V) { SetVariantValue(V); }
    // Shows and writes S ("" empties the box).
    void SetText(const std::string& S) override;

    TDataSource* DataSource() const { return link_->DataSource(); }
    void SetDataSource(TDataSource* v);
    std::string DataField() const { return link_->FieldName(); }
    void SetDataField(const std::string& v);
    TField* Field() const { return link_->Field(); }
    TFieldDataLinkEh* DataLink() const { return link_.get(); }
    bool ReadOnly() const { return readOnlyFlag_; }
    void SetReadOnly(bool v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    bool AlwaysShowBorder() const { return alwaysShowBorder_; }
    void SetAlwaysShowBorder(bool v);
    bool BorderActive() const { return borderActive_; }
    bool EditFocused() const { return editFocused_; }
    TEditButtonEh* EditButton() const { return editButton_.get(); }
    TEditButtonsEh* EditButtons() const { return editButtons_.get(); }
    // Re-reads the value from the link (as a data change does).
    void DataChange();
    // Validates, fires OnUpdateData and writes unless a handler took over.
    virtual void UpdateData();
    // Width of the button row at the right edge, separators included.
    int ButtonsWidth() const { return buttonsWidth_; }
    // The button controls, the main button first (built by LayoutEditButtons).
    TEditButtonControlEh* ButtonControl(int i) const;
    int ButtonControlCount() const { return int(buttonControls_.size()); }
    void LayoutEditButtons();
    void UpdateEditButtonsState();
    TEditImageEh* EditImage() const { return editImage_.get(); }
    // Width of the image strip at the left edge (image plus 4), 0 without one.
    int ImageWidth() const { return imageWidth_; }
    // Client rectangles of the button row and the image strip.
    TRect ButtonsRect() const;
    TRect ImageRect() const;
    // Re-reads the image settings (width of the strip, text margin, picture).
    void EditImageChanged();
    // A drop-down (calendar or list) is open.
    bool DroppedDown() const { return droppedDown_; }
    // The current press of the main button opened the drop-down.
    bool OpenedByPress() const { return openedByPress_; }
    // The character being typed, while KeyPress handles it.
    const std::string& GetTypedCharacters() const { return typedCharacters_; }
    // Closing a drop-down from the drop-down itself (Enter, a click on an entry).
    void CloseUp(bool Accept) override;

    TButtonClickEventEh OnButtonClick;
    TButtonDownEventEh OnButtonDown;
    TUpdateDataEventEh OnUpdateData;

protected:
    virtual bool ButtonEnabled() const;
    virtual std::unique_ptr<TEditButtonEh> CreateEditButton();
    virtual TAlignment DefaultAlignment() const;
    virtual Variant GetVariantValue() const;
    virtual void SetVariantValue(const Variant& V);
    virtual bool IsValidChar(char32_t Key) const;
    virtual void ButtonDown(bool IsDownButton);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void InternalSetText(const std::string& S);
    virtual void InternalSetValue(const Variant& V);
    virtual void WriteTextToField();
    virtual void UpdateReadOnlyState();
    virtual void DropDown();
    // Marks the press now under way on Control as the one that closed a
    // drop-down: it does not open it again. Cleared once the events already
    // waiting have been handled.
    void PostReleaseButton(TObject* Control);
    void EditButtonDown(TObject* Control, bool TopButton, bool& AutoRepeat, bool& Handled);
    void EditButtonClick(TObject* Control);
    // The main button's press dragged into the open drop-down goes on there.
    void EditButtonMouseMove(TObject* Control, TShiftState Shift, int X, int Y);
    // A release off the button ends OpenedByPress; one in the drop-down
    // (after a drag) is the drop-down's.
    void EditButtonMouseUp(TObject* Control, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The drop-down that is open now (calendar, list), null when none, and
    // where in it a press may go on (its client coordinates).
    virtual TControl* OpenDropDown() const { return nullptr; }
    virtual TRect DropDownPressArea() const;
    // The mouse of a press on Source with the button held, for the drop-down.
    bool TrackDropDownMouse(TControl* Source, int X, int Y);
    bool ReleaseDropDownMouse(TControl* Source, int X, int Y);
    // Puts the link into edit mode; answers whether it is editing.
    bool EditCanModify();
    // Sets the shown text without any of the Text assignment's effects.
    void SetEditTextRaw(const std::string& S);
    // Makes the main button again from CreateEditButton (a subclass's
    // constructor calls it: the base constructor cannot reach the override).
    void RecreateEditButton();

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void EnabledChanged() override;
    bool WantEscape() const override;
    bool WantReturns() const override { return droppedDown_; }

    std::unique_ptr<TFieldDataLinkEh> link_;
    bool inUpdateData_ = false;
    bool droppedDown_ = false;
    bool openedByPress_ = false;

private:
    void resetLink();
    void updateBorderActive();
    void fireUpdateData();
    std::unique_ptr<TEditButtonEh> editButton_;
    std::unique_ptr<TEditButtonsEh> editButtons_;
    std::vector<std::pair<TEditButtonControlEh*, TShape*>> buttonControls_;
    int buttonsWidth_ = 0;
    bool readOnlyFlag_ = false;
    bool alignmentStored_ = false;
    TAlignment alignment_ = taLeftJustify;
    bool flat_ = false;
    bool alwaysShowBorder_ = false;
    bool borderActive_ = false;
    bool editFocused_ = false;
    bool refocusing_ = false;
    std::unique_ptr<TEditImageEh> editImage_;
    TPaintBox* imageBox_ = nullptr;
    int imageWidth_ = 0;
    std::string typedCharacters_;
    TReleaseButtonEh releaseButton_;
    TDropDownMouseTrackEh track_;
};

// The number box: keeps a double (or Null when empty), shows it with
// DisplayFormat while unfocused and with live thousands grouping while
// focused, refuses characters that would not leave a number with at most
// DecimalPlaces decimals, steps by Increment on Up/Down, the wheel and an
// up-down button, and clamps to explicitly set MinValue/MaxValue.
class TCustomDBNumberEditEh : public TCustomDBEditEh {
public:
    explicit TCustomDBNumberEditEh(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomDBNumberEditEh"; }

    unsigned DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(unsigned v);
    // Explicit pattern, else the field's, else "".
    std::string DisplayFormat() const;
    void SetDisplayFormat(const std::string& v);
    // Explicit money flag, else the field's, else false.
    bool IsCurrency() const;
    void SetCurrency(bool v);
    double Increment() const { return increment_; }
    void SetIncrement(double v) { increment_ = v; }
    // Explicit limit, else the field's, else 0. Clamping uses only the
    // explicit limits.
    double MinValue() const;
    void SetMinValue(double v);
    double MaxValue() const;
    void SetMaxValue(double v);
    // The format used while focused (derived from the display format).
    const std::string& EditFormat() const { return editFormat_; }
    // "" for Null, else the value in the display format.
    virtual std::string GetDisplayText() const;
    // Steps by Increment (Null steps to Increment either way), clamped.
    void StepValue(bool Up);

    // Rules a test can call without a window.
    static std::string DeriveEditFormat(const std::string& displayFormat);
    static std::string NormalizeNumberText(const std::string& s);
    static std::string InsertThousandSeparators(const std::string& s, bool group);
    static bool IsValidFloatText(const std::string& s, double& v);
    double ClampValue(double x) const;

protected:
    TAlignment DefaultAlignment() const override;
    Variant GetVariantValue() const override;
    bool IsValidChar(char32_t Key) const override;
    void ButtonDown(bool IsDownButton) override;
    void DataChanged() override;
    void InternalSetText(const std::string& S) override;
    void InternalSetValue(const Variant& V) override;
    void WriteTextToField() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WndProc(TMessage& Message) override;

private:
    std::string formatDisplayValue(double x) const;
    void reformatEditText(const std::string& s);
    void parseEditText();
    void setOwnText(const std::string& s);
    bool displayFormatStored_ = false, currencyStored_ = false;
    bool minStored_ = false, maxStored_ = false;
    bool currency_ = false;
    unsigned decimalPlaces_ = 2;
    std::string displayFormat_;
    std::string editFormat_;
    double increment_ = 1.0;
    bool settingText_ = false;
    bool pasting_ = false;
    double min_ = 0, max_ = 0;
    Variant numberValue_ = Null();
};

class TDBNumberEditEh : public TCustomDBNumberEditEh {
public:
    explicit TDBNumberEditEh(TComponent* AOwner) : TCustomDBNumberEditEh(AOwner) {}
    std::string ClassName() const override { return "TDBNumberEditEh"; }
};

// ----------------------------------------------- drop-down placement --

enum TDropDownAlign { daLeft, daRight, daCenter };

// Where a drop-down of W x H goes beside an edit (both in screen
// coordinates) inside the work area: below, or above when only above fits
// or above has more room; cut to the work area; shifted inside it. The
// sides name where the drop-down's size grip belongs (0 left, 1 right,
// 2 top, 3 bottom): away from the edit.
struct TDropDownPlace {
    int X = 0, Y = 0, Width = 0, Height = 0;
    int VerticalSide = 3, HorizontalSide = 1;
};
TDropDownPlace PlaceDropDownRect(const TRect& editScreen, int Width, int Height, TDropDownAlign Align,
                                 const TRect& work);
// Places DropDown (a drop-down window) beside Edit in the screen's work
// area, resizing it when it must, sends it the two grip sides, and
// returns its top-left corner.
TPoint PlaceDropDown(TControl* Edit, TControl* DropDown, TDropDownAlign Align);
// A drop-down of kind T for Owner: owned and parented by it, hidden, and a
// window of its own over the owner's window.
template <class T>
T* NewDropDownWindow(TWinControl* Owner) {
    auto* w = new T(Owner);
    w->SetVisible(false);
    w->SetParent(Owner);
    w->SetDropDownWindow(true);
    return w;
}

// The combo box's drop-down list: whole-row heights, a size grip, typed
// characters seek the first entry that starts with them (2 s pause starts
// over, at most 32 characters), the entry under the pointer is selected,
// the wheel turns one row.
class TPopupListboxEh : public TListBox {
public:
    explicit TPopupListboxEh(TComponent* AOwner);
    std::string ClassName() const override { return "TPopupListboxEh"; }
    void SetImages(TImageList* v);
    TImageList* Images() const { return images_; }
    int RowCount() const { return rowCount_; }
    void SetRowCount(int N);
    // The height the frame adds to the rows.
    int BorderHeight() const;
    // Height of one line of the list's font.
    int FontHeight() const;
    TSizeGripEh* SizeGrip() const { return grip_; }
    bool UserResized = false;
    const std::string& SearchText() const { return searchText_; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void KeyPress(char32_t& Key) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Resize() override;
    void WndProc(TMessage& Message) override;

private:
    void drawItem(int Index, TRect R, TOwnerDrawState State);
    TImageList* images_ = nullptr;
    TSizeGripEh* grip_ = nullptr;
    int rowCount_ = 1;
    std::string searchText_;
    uint64_t lastKeyTime_ = 0;
    bool inSetBounds_ = false;
};

// ----------------------------------------------------- date and time --

enum TDateTimeKindEh { dtkDateEh, dtkTimeEh };
enum TDateOrderEh { doMDY, doDMY, doYMD };

// A date or a time of day typed into a fixed mask made from the locale's
// short date format. The value is Null while a part is blank; leaving the
// edit completes blank parts from today and clamps impossible dates.
// Up/Down and the wheel step the part under the caret; Alt+Down or the
// button drops a month calendar down.
class TCustomDBDateTimeEditEh : public TCustomDBEditEh {
public:
    explicit TCustomDBDateTimeEditEh(TComponent* AOwner);
    ~TCustomDBDateTimeEditEh() override;
    std::string ClassName() const override { return "TCustomDBDateTimeEditEh"; }

    TDateTimeKindEh Kind() const { return kind_; }
    void SetKind(TDateTimeKindEh v);
    bool FourDigitYear() const { return fourDigitYear_; }
    bool CalendarVisible() const { return calendarVisible_; }
    TPopupMonthCalendarEh* Calendar() const { return calendar_; }
    // The pattern the text follows ("YYYY-MM-DD", "HH:NN:SS").
    std::string CurrentFormat() const;
    // Steps the part under the caret and selects it.
    void StepPart(bool Up);
    void ValidateEdit() override;
    void DropDown() override;
    void CloseUp(bool Accept) override;

    // The rules, callable without a window.
    static constexpr int TwoDigitYearWindow = 60;
    static TDateOrderEh DateOrderOf(const std::string& shortDateFormat);
    static std::string DateFormatFor(TDateOrderEh order, bool fourDigit, char separator);
    static std::string DateMaskFor(TDateOrderEh order, bool fourDigit, char separator);
    static int ExpandTwoDigitYear(int year, int currentYear);
    static void FixDateParts(int& year, int& month, int& day, TDateTime today);
    // Null when all parts are blank or the date is impossible (raises
    // EConvertError "Invalid argument to date encode" when asked). With
    // fix, blank parts come from today and the text is rewritten.
    static Variant TextToDateValue(const std::string& format, std::string& text, bool raiseOnError, bool fix,
                                   TDateTime today);
    static Variant TextToTimeValue(const std::string& format, std::string& text, bool raiseOnError, bool fix);
    static std::string FormatDateValue(const std::string& format, TDateTime d);
    // The text with the part at Start (1-based) stepped; Start and Len come
    // back as the stepped part.
    static bool StepDatePart(const std::string& text, const std::string& format, bool up, std::string& newText,
                             int& len, int& start, char dateSeparator, char timeSeparator);

protected:
    std::unique_ptr<TEditButtonEh> CreateEditButton() override;
    Variant GetVariantValue() const override;
    void ButtonDown(bool IsDownButton) override;
    void DataChanged() override;
    void InternalSetText(const std::string& S) override;
    void InternalSetValue(const Variant& V) override;
    void WriteTextToField() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool WantEscape() const override { return calendarVisible_ || TCustomDBEditEh::WantEscape(); }
    TControl* OpenDropDown() const override;
    TRect DropDownPressArea() const override;
    void UpdateFourDigitYear();
    void UpdateMask();

private:
    void setOwnText(const std::string& s);
    void parseEditText();
    TDateOrderEh order() const;
    TDateTimeKindEh kind_ = dtkDateEh;
    bool fourDigitYear_ = true;
    bool calendarVisible_ = false;
    bool validating_ = false;
    bool settingText_ = false;
    Variant dateValue_ = Null();
    TPopupMonthCalendarEh* calendar_ = nullptr;
};

class TDBDateTimeEditEh : public TCustomDBDateTimeEditEh {
public:
    explicit TDBDateTimeEditEh(TComponent* AOwner) : TCustomDBDateTimeEditEh(AOwner) {}
    std::string ClassName() const override { return "TDBDateTimeEditEh"; }
};

// ------------------------------------------------------------ combo --

// The settings of the combo box's drop-down list.
struct TDropDownBoxEh {
    TDropDownAlign Align = daLeft;
    bool AutoDrop = false;
    int Rows = 7;
    bool Sizable = false;
    // -1: the widest entry; 0: the edit's width.
    int Width = 0;
};

using TNotInListEventEh = std::function<void(TObject* Sender, const std::string& NewText, bool& RecheckInList)>;

// A combo box in one of two modes: with KeyItems empty it edits text and
// completes it from Items; with KeyItems it shows Items[i] and its value
// is KeyItems[i] (typing only seeks an entry, never writes text). A value
// that is no key is kept and given back while nothing shows.
class TCustomDBComboBoxEh : public TCustomDBEditEh {
public:
    explicit TCustomDBComboBoxEh(TComponent* AOwner);
    ~TCustomDBComboBoxEh() override;
    std::string ClassName() const override { return "TCustomDBComboBoxEh"; }

    TStrings* Items() const;
    TStrings* KeyItems() const;
    bool KeyItemsMode() const { return keyItemsMode_; }
    int ItemCount() const { return itemCount_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int I);
    const Variant& KeyValue() const { return keyValue_; }
    TDropDownBoxEh& DropDownBox() { return dropDownBox_; }
    bool ListVisible() const { return listVisible_; }
    TPopupListboxEh* PopupList() const { return list_; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    // Up: the previous entry (none: the last); down: the next (none: the first).
    void StepItem(bool Up);
    // The first entry equal to Text (or starting with it) ignoring case; -1.
    int FindItemIndex(const std::string& Text, bool Partial) const;
    void Clear();
    void DropDown() override;
    void CloseUp(bool Accept) override;

    TNotInListEventEh OnNotInList;

protected:
    std::unique_ptr<TEditButtonEh> CreateEditButton() override;
    TAlignment DefaultAlignment() const override;
    Variant GetVariantValue() const override;
    bool IsValidChar(char32_t Key) const override;
    void ButtonDown(bool IsDownButton) override;
    void DataChanged() override;
    void InternalSetText(const std::string& S) override;
    void InternalSetValue(const Variant& V) override;
    void WriteTextToField() override;
    void UpdateReadOnlyState() override;
    void UpdateData() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WndProc(TMessage& Message) override;
    bool WantEscape() const override { return listVisible_ || TCustomDBEditEh::WantEscape(); }
    TControl* OpenDropDown() const override;

private:
    void updateItemsCount();
    void itemsChanged();
    void locateItemByText();
    bool locateText(const std::string& Text, bool Partial);
    bool completeTypedText(const std::string& Typed);
    void listMouseUp(TMouseButton Button, int X, int Y);
    void showItem();
    std::unique_ptr<TStringList> items_, keyItems_;
    bool keyItemsMode_ = false;
    int itemCount_ = 0;
    int itemIndex_ = -1;
    Variant keyValue_ = Null();
    TDropDownBoxEh dropDownBox_;
    TPopupListboxEh* list_ = nullptr;
    bool listVisible_ = false;
    bool wordWrap_ = false;
    char32_t pendingChar_ = 0;
    bool completing_ = false;
};

class TDBComboBoxEh : public TCustomDBComboBoxEh {
public:
    explicit TDBComboBoxEh(TComponent* AOwner) : TCustomDBComboBoxEh(AOwner) {}
    std::string ClassName() const override { return "TDBComboBoxEh"; }
};
