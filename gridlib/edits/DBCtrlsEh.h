// The data-aware edits of the second grid library: a field link that can
// also stand alone (it then keeps the edit's value itself), the edit base
// with its button row, and the number box. The date edit and the combo box
// of the same family are not built here.
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

// A one-line edit bound to a field or standing alone (see the link). Value
// and Text assignments show the value and write it at once: into the
// link's own value when unbound, into the field when bound (the data set is
// put into edit state; posting is the caller's business).
//
//   unfocused (display text) --enter: reset link--> focused (edit text)
//   focused --exit: UpdateData ok--> unfocused
//   focused --exit: UpdateData raises--> focused, all text selected
class TCustomDBEditEh : public TMaskEdit {
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
    virtual void CloseUp(bool Accept);
    void EditButtonDown(TObject* Control, bool TopButton, bool& AutoRepeat, bool& Handled);
    void EditButtonClick(TObject* Control);
    // Puts the link into edit mode; answers whether it is editing.
    bool EditCanModify();
    // Sets the shown text without any of the Text assignment's effects.
    void SetEditTextRaw(const std::string& S);

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void EnabledChanged() override;
    bool WantEscape() const override;

    std::unique_ptr<TFieldDataLinkEh> link_;
    bool inUpdateData_ = false;
    bool droppedDown_ = false;

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
    bool openedByPress_ = false;
    bool refocusing_ = false;
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
