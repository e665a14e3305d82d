// The flat hint window: every hint of the program, once a TVqHint exists,
// shows as a borderless box with a coloured arrow column pointing at the
// cursor, placed beside the cursor on the side that faces the middle of the
// screen, its text wrapped to MaxHintWidth.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "HintHook.h"

#include <memory>
#include <string>

class TVqHint : public TComponent {
public:
    // Installs the flat hint window for the whole application and the hint
    // pauses 25 / 500 / 5000 ms. The installation outlives the component.
    explicit TVqHint(TComponent* AOwner);
    ~TVqHint() override;
    std::string ClassName() const override { return "TVqHint"; }

    TColor ColorBackground() const { return colors_[0]; }
    TColor ColorBorder() const { return colors_[1]; }
    TColor ColorArrowBackground() const { return colors_[2]; }
    TColor ColorArrow() const { return colors_[3]; }
    void SetColor(int index, TColor v) { colors_[index & 3] = v; }
    int MaxHintWidth() const { return maxHintWidth_; }
    void SetMaxHintWidth(int v) { maxHintWidth_ = v; }
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* v) { font_->Assign(v); }
    std::function<void(std::string& HintStr, bool& CanShow, THintInfo& Info)> OnShowHint;

private:
    TColor colors_[4] = {clWhite, clBlack, RGB(255, 210, 83), clBlack};
    int maxHintWidth_ = 200;
    std::unique_ptr<TFont> font_;
};

// Quarter of the screen the cursor is in, as the hint names it: 1 top-left,
// 0 top-right, 3 bottom-left, 2 bottom-right.
int FlatHintQuarter(TPoint cursor, int screenWidth, int screenHeight);
// The window rectangle for a w x h hint with the cursor at P: beside it, on
// the side facing the middle of the screen, 12 pixels off in the top-left
// quarter and 5 elsewhere.
TRect FlatHintPlacement(TPoint cursor, int quarter, int w, int h);

class TFlatHintWindow : public THintWindow {
public:
    explicit TFlatHintWindow(TComponent* AOwner);
    std::string ClassName() const override { return "TFlatHintWindow"; }
    // The rectangle's size is recomputed from the text (wrapped at
    // MaxHintWidth - 22) and the window placed beside the cursor.
    void ActivateHint(const TRect& Rect, const std::string& Hint) override;
    TRect CalcHintRect(int MaxWidth, const std::string& Hint) override;
    // ActivateHint with the cursor at a given screen point.
    void ActivateHintAt(TPoint cursor, const std::string& Hint);
    int Quarter() const { return quarter_; }
    TPoint ArrowTip() const { return {arrowX_, arrowY_}; }
    const std::string& HintText() const { return text_; }
    // What Paint draws, onto any canvas whose client rectangle is k.
    void PaintTo(TCanvas* c, const TRect& k);

protected:
    void Paint() override;

private:
    std::string text_;
    TColor colors_[4] = {clWhite, clBlack, RGB(255, 210, 83), clBlack};
    int maxHintWidth_ = 200;
    int quarter_ = 1;
    int arrowX_ = 0, arrowY_ = 0;
};
