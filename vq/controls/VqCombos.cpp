// Combo boxes and the labelled edit; see VqCombos.h.
#include "vq/controls/VqCombos.h"

#include "Forms.h"
#include "ImgList.h"
#include "vq/controls/VqStdCtrls.h"

#include <cstdlib>

void TVQCustomComboBox::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ADD) {
        Key = 0;
        SetDroppedDown(!DroppedDown());
        return;
    }
    TComboBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN) VqSelectNext(this, true);
}

void TVQCustomComboBox::KeyPress(char32_t& Key) {
    TComboBox::KeyPress(Key);
    if (Key == '+') Key = 0;
}

void TVQCustomComboBox::DoEnter() {
    focusColouring_ = true;
    if (Color() != clInfoBk) restoreColor_ = Color();
    SetColor(clInfoBk);
    focusColouring_ = false;
    TComboBox::DoEnter();
}

void TVQCustomComboBox::DoExit() {
    focusColouring_ = true;
    SetColor(restoreColor_);
    focusColouring_ = false;
    TComboBox::DoExit();
}

void TVQCustomComboBox::ColorChanged() {
    TComboBox::ColorChanged();
    if (!focusColouring_ && Color() != clInfoBk) restoreColor_ = Color();
}

int TVQComboBox::GetImageIndex(int index) {
    if (index < 0) return 0;
    while (imageIndexes_.size() <= size_t(index)) imageIndexes_.push_back("0");
    return std::atoi(imageIndexes_[size_t(index)].c_str());
}

void TVQComboBox::SetImageIndex(int index, int value) {
    if (index < 0) return;
    while (imageIndexes_.size() <= size_t(index)) imageIndexes_.push_back("0");
    imageIndexes_[size_t(index)] = std::to_string(value);
}

int TVQComboBox::TextIndent() const { return (images_ ? images_->Width() : 0) + 6; }

TVQLabelEdit::TVQLabelEdit(TComponent* AOwner) : TVQEdit(AOwner) {
    label_ = new TLabel(this);
    label_->SetAutoSize(true);
    label_->SetTransparent(true);
    label_->SetFocusControl(this);
    label_->SetFont(Font());
    label_->Font()->SetColor(TColor(0x008000));
}

void TVQLabelEdit::SetLabelCaption(const std::string& v) {
    labelCaption_ = v;
    label_->SetCaption(v);
    placeLabel();
}

TColor TVQLabelEdit::LabelColor() const { return label_->Font()->Color(); }
void TVQLabelEdit::SetLabelColor(TColor v) { label_->Font()->SetColor(v); }

void TVQLabelEdit::placeLabel() {
    if (!label_) return;
    label_->SetBounds(Left() - label_->Width(), Top() + 2, label_->Width(), Height());
}

void TVQLabelEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TVQEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    placeLabel();
}

void TVQLabelEdit::SetParent(TWinControl* AParent) {
    TVQEdit::SetParent(AParent);
    if (label_) {
        label_->SetParent(AParent);
        placeLabel();
    }
}

void TVQLabelEdit::SetVisible(bool v) {
    TVQEdit::SetVisible(v);
    if (label_) label_->SetVisible(v);
}
