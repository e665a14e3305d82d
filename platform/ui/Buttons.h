// Picture buttons: TBitBtn (a push button with a glyph and stock kinds) and
// TSpeedButton (a flat tool button that never takes the focus and can stay
// down, alone or in a group).
#pragma once

#include "StdCtrls.h"

class TBitmap;

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The glyph's bottom-left pixel colour is transparent; with NumGlyphs > 1
// the first (up) image of the strip is shown.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    std::string ClassName() const override { return "TBitBtn"; }
    TBitmap* Glyph() const { return glyph_; }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    // Sets caption, ModalResult, Default/Cancel as the stock kinds have them.
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { spacing_ = v; }
    int Margin() const { return margin_; }
    void SetMargin(int v) { margin_ = v; }
    // bkClose closes the form after OnClick.
    void Click() override;

private:
    void glyphChanged();
    TBitmap* glyph_;
    int numGlyphs_ = 1;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4, margin_ = -1;
};

class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    std::string ClassName() const override { return "TSpeedButton"; }
    void SetText(const std::string& v) override;
    bool Down() const;
    // Putting a grouped button down lets the others of its group up.
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool Flat() const;
    void SetFlat(bool v);
    TBitmap* Glyph() const { return glyph_; }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    // Group buttons go down (or up, with AllowAllUp) before OnClick.
    void Click() override;

private:
    void glyphChanged();
    TBitmap* glyph_;
    int numGlyphs_ = 1;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    TButtonLayout layout_ = blGlyphLeft;
};
