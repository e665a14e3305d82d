// The library's combo box (Enter walks on, keypad "+" opens and closes the
// list and is never typed, info-background colour while focused), its
// image form, and the edit with a caption label standing at its left. The
// data-aware forms belong with the data-aware edit and are not here yet.
#pragma once

#include "StdCtrls.h"
#include "vq/controls/VqEdits.h"

#include <string>
#include <vector>

class TImageList;

class TVQCustomComboBox : public TComboBox {
public:
    explicit TVQCustomComboBox(TComponent* AOwner) : TComboBox(AOwner) {}
    std::string ClassName() const override { return "TVQCustomComboBox"; }
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor v) { lineColor_ = v; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void ColorChanged() override;

private:
    TColor restoreColor_ = clWindow;
    TColor lineColor_ = clBlack;
    bool focusColouring_ = false;
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
