// The data-aware combo box and the labelled data-aware controls: the
// library's combo box bound to a field, and the data-aware edit and combo
// box with a caption label standing at their left.
#pragma once

#include "DBCtrls.h"
#include "StdCtrls.h"
#include "vq/controls/VqCombos.h"
#include "vq/controls/VqDBEdit.h"

#include <string>

// Shows the field's text (in the list styles, the matching item selected;
// the drop-down style shows a text that no item matches as it stands) and
// writes the operator's choice back when the focus leaves. Typing starts
// editing only when the field can take it: a character the field refuses
// beeps and is dropped, and while the data set cannot edit, Up and Down do
// nothing. Esc goes back to the field's value.
class TVQDBComboBox : public TVQComboBox {
public:
    explicit TVQDBComboBox(TComponent* AOwner);
    ~TVQDBComboBox() override;
    std::string ClassName() const override { return "TVQDBComboBox"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    // Loads the field's text again (the list may have changed).
    void ItemsChanged() { dataChange(); }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoExit() override;

private:
    void dataChange();
    bool canEdit();
    TDBControlLink data_;
    bool readOnly_ = false;
    bool loading_ = false;
};

// A control with a caption label whose right edge is the control's left
// edge, 2 pixels lower than its top and as high as it; the label (green
// until told otherwise, in the control's font) follows the control's
// parent, visibility and enabled state.
template <class Base>
class TVQLabelled : public Base {
public:
    explicit TVQLabelled(TComponent* AOwner) : Base(AOwner) {
        label_ = new TLabel(this);
        label_->SetAutoSize(true);
        label_->SetTransparent(true);
        label_->SetFocusControl(this);
        label_->SetFont(this->Font());
        label_->Font()->SetColor(TColor(0x008000));
    }
    TLabel* EditLabel() const { return label_; }
    const std::string& LabelCaption() const { return labelCaption_; }
    void SetLabelCaption(const std::string& v) {
        labelCaption_ = v;
        label_->SetCaption(v);
        placeLabel();
    }
    TColor LabelColor() const { return label_ ? label_->Font()->Color() : TColor(0x008000); }
    void SetLabelColor(TColor v) { label_->Font()->SetColor(v); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        Base::SetBounds(ALeft, ATop, AWidth, AHeight);
        placeLabel();
    }
    void SetParent(TWinControl* AParent) override {
        Base::SetParent(AParent);
        if (label_) {
            label_->SetParent(AParent);
            placeLabel();
        }
    }
    void SetVisible(bool v) override {
        Base::SetVisible(v);
        if (label_) label_->SetVisible(v);
    }
    void SetEnabled(bool v) override {
        Base::SetEnabled(v);
        if (label_) label_->SetEnabled(v);
    }

private:
    void placeLabel() {
        if (label_) label_->SetBounds(this->Left() - label_->Width(), this->Top() + 2, label_->Width(), this->Height());
    }
    TLabel* label_ = nullptr;
    std::string labelCaption_;
};

class tVQDBLabelEdit : public TVQLabelled<TVQDBEDIT> {
public:
    explicit tVQDBLabelEdit(TComponent* AOwner) : TVQLabelled<TVQDBEDIT>(AOwner) {}
    std::string ClassName() const override { return "tVQDBLabelEdit"; }
};

class TVQDBLabelComboBox : public TVQLabelled<TVQDBComboBox> {
public:
    explicit TVQDBLabelComboBox(TComponent* AOwner) : TVQLabelled<TVQDBComboBox>(AOwner) {}
    std::string ClassName() const override { return "TVQDBLabelComboBox"; }
};
