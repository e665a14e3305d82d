// Image lists: equally sized small pictures addressed by index, drawn
// transparently (a masked colour or the bitmap's own transparency).
#pragma once

#include "Graphics.h"

#include <vector>

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    std::string ClassName() const override { return "TImageList"; }
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = v; }
    int Count() const;
    // A strip wider than Width adds one image per Width pixels. Returns the
    // index of the first image added.
    int Add(TBitmap* Image, TBitmap* Mask = nullptr);
    // Pixels of MaskColor become transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    void Delete(int Index);
    void Clear();
    // Draws image Index at (X, Y); a disabled image is drawn greyed.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    // Copies image Index into Image (resized to Width x Height).
    void GetBitmap(int Index, TBitmap* Image) const;
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor v) { bkColor_ = v; }
    TNotifyEvent OnChange;

    // For platform code only (ui_private/ImgList_p.h).
    const void* ImageHandle(int Index) const;

private:
    struct Impl;
    Impl* impl_;
    int width_ = 16, height_ = 16;
    TColor bkColor_ = clNone;
};
