// The library's combo box (Enter walks on, keypad "+" opens and closes the
// list and is never typed, info-background colour while focused), its
// image form, and the edit with a caption label standing at its left. The
// data-aware forms belong with the data-aware edit and are not here yet.
#pragma once

#include "ControlHook.h"
#include "StdCtrls.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqStdCtrls.h"

#include <string>
#include <vector>

class TImageList;

// Paints the outer 2-pixel ring of window in the button-face colour, or in
// the window colour when onButtonFace is false, on canvas, which covers the
// whole window (as a control hook's canvas does).
void FlatBorder(TControl* window, TCanvas* canvas, bool onButtonFace = true);

// Not 3-D (Ctl3D off), the combo box is drawn flat after its own painting:
// FlatBorder (in the window colour on a white combo box), then lines in
// LineColor on the FrameStyle sides.
class TVQCustomComboBox : public TComboBox {
public:
    explicit TVQCustomComboBox(TComponent* AOwner);
    ~TVQCustomComboBox() override;
    std::string ClassName() const override { return "TVQCustomComboBox"; }
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor v) {
        lineColor_ = v;
        Invalidate();
    }
    TVQFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TVQFrameStyle v) {
        frameStyle_ = v;
        Invalidate();
    }
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v) {
        ctl3D_ = v;
        Invalidate();
    }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void ColorChanged() override;

private:
    struct FlatPainter : TControlHook {
        void AfterPaint(TControl* control, TCanvas* canvas) override;
    };
    TColor restoreColor_ = clWindow;
    TColor lineColor_ = clBlack;
    TVQFrameStyle frameStyle_{fsTop, fsBottom, fsLeft, fsRight};
    bool ctl3D_ = true;
    bool focusColouring_ = false;
    FlatPainter flat_;
};

// Items with an image index each (the text starts image width + 6 pixels
// in). The platform's combo box draws its own items, so the images are
// kept but not painted yet.
class TVQComboBox : public TVQCustomComboBox {
public:
    explicit TVQComboBox(TComponent* AOwner) : TVQCustomComboBox(AOwner) {}
    std::string ClassName() const override { return "TVQComboBox"; }
    TImageList* ImageList() const { return images_; }
    void SetImageList(TImageList* v) { images_ = v; }
    // Reading past the list pads it with "0" entries first.
    int GetImageIndex(int index);
    void SetImageIndex(int index, int value);
    // Where an item's text starts inside its rectangle.
    int TextIndent() const;

private:
    TImageList* images_ = nullptr;
    std::vector<std::string> imageIndexes_;
};

// An edit whose caption label ends at the edit's left edge, 2 pixels lower,
// as high as the edit; the label follows the edit's parent and visibility.
class TVQLabelEdit : public TVQEdit {
public:
    explicit TVQLabelEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TVQLabelEdit"; }
    TLabel* EditLabel() const { return label_; }
    const std::string& LabelCaption() const { return labelCaption_; }
    void SetLabelCaption(const std::string& v);
    TColor LabelColor() const;
    void SetLabelColor(TColor v);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void SetVisible(bool v) override;

private:
    void placeLabel();
    TLabel* label_;
    std::string labelCaption_;
};
