// Combo boxes and the labelled edit; see VqCombos.h.
#include "vq/controls/VqCombos.h"

#include "Forms.h"
#include "ImgList.h"
#include "vq/controls/VqStdCtrls.h"

#include <cstdlib>

void FlatBorder(TControl* window, TCanvas* canvas, bool onButtonFace) {
    TRect r{0, 0, window->Width(), window->Height()};
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(onButtonFace ? clBtnFace : clWindow);
    for (int i = 0; i < 2; ++i) {
        canvas->FrameRect(r);
        InflateRect(r, -1, -1);
    }
}

TVQCustomComboBox::TVQCustomComboBox(TComponent* AOwner) : TComboBox(AOwner) { AddControlHook(this, &flat_); }

TVQCustomComboBox::~TVQCustomComboBox() { RemoveControlHook(this, &flat_); }

void TVQCustomComboBox::FlatPainter::AfterPaint(TControl* control, TCanvas* c) {
    auto* combo = static_cast<TVQCustomComboBox*>(control);
    if (combo->ctl3D_) return;
    FlatBorder(combo, c, ColorToRGB(combo->Color()) != ColorToRGB(clWhite));
    const int w = combo->Width(), h = combo->Height();
    c->Pen()->SetColor(combo->lineColor_);
    c->Pen()->SetWidth(1);
    auto line = [c](int x1, int y1, int x2, int y2) {
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    const TVQFrameStyle& f = combo->frameStyle_;
    if (f.Contains(fsTop)) line(0, 0, w, 0);
    if (f.Contains(fsBottom)) line(0, h - 1, w, h - 1);
    if (f.Contains(fsLeft)) line(0, 0, 0, h);
    if (f.Contains(fsRight)) line(w - 1, 0, w - 1, h);
}

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
