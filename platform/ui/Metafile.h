// The recording canvas: a metafile is a display list of drawing primitives
// and text runs, each with the box it covers, that plays back scaled onto
// any canvas. It stands for the class library's metafile in previews and
// reports, and it is the fixture of drawing tests: draw on a
// TMetafileCanvas, then assert on Records().
// Not here: reading Windows .wmf/.emf files (only our own stream format).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"

enum TMetafileRecordKind {
    mrLine,     // Points: from, to (end point excluded, as LineTo)
    mrPolyline, // Points: the vertices
    mrPolygon,  // Points: the vertices
    mrFillRect, // Points: top-left, bottom-right
    mrFrameRect,
    mrRectangle,
    mrRoundRect, // Param1, Param2: corner ellipse width, height
    mrEllipse,
    mrFocusRect,
    mrPixel,        // Points: the pixel; Color: its colour
    mrText,         // Points: text cell origin; Text; Bounds: the text cell
    mrImage,        // Bounds: destination; Image: a snapshot of the pixels
    mrEdge,         // Param1: edge, Param2: BF_* flags
    mrFrameControl, // Param1: kind, Param2: state
};

// One recorded drawing call with the pen, brush and font it used. Bounds is
// the box in device pixels the call may paint (right/bottom exclusive).
struct TMetafileRecord {
    TMetafileRecordKind Kind = mrLine;
    std::vector<TPoint> Points;
    TRect Bounds;
    int Param1 = 0;
    int Param2 = 0;
    std::string Text;
    TColor Color = clNone;
    TColor PenColor = clBlack;
    int PenWidth = 1;
    TPenStyle PenStyle = psSolid;
    TPenMode PenMode = pmCopy;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = bsSolid;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor FontColor = clBlack;
    int FontOrientation = 0;
    bool Clipped = false;
    TRect Clip;
    std::shared_ptr<TBitmap> Image;
};

// Width/Height are the logical frame that Draw maps onto its target
// rectangle; when left 0 they become the extent of what was drawn.
class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;
    std::string ClassName() const override { return "TMetafile"; }
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return records_.empty(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int v) override {
        width_ = v;
        Changed();
    }
    void SetHeight(int v) override {
        height_ = v;
        Changed();
    }
    // Size in 0.01 mm, derived from Width/Height at 96 dpi unless set.
    int MMWidth() const;
    int MMHeight() const;
    void SetMMWidth(int v) { mmWidth_ = v; }
    void SetMMHeight(int v) { mmHeight_ = v; }
    bool Enhanced() const { return true; }
    void Clear();

    const std::vector<TMetafileRecord>& Records() const { return records_; }
    void SetRecords(std::vector<TMetafileRecord> records);
    // The text runs in drawing order, for searching a preview.
    std::vector<const TMetafileRecord*> TextRecords() const;

    // Plays the records back, mapping (0, 0, Width, Height) onto r.
    void Draw(TCanvas* canvas, const TRect& r) override;
    // Our own stream format; anything else throws EInvalidGraphic
    // "Metafile is not valid".
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    std::vector<TMetafileRecord> records_;
    int width_ = 0;
    int height_ = 0;
    int mmWidth_ = 0;
    int mmHeight_ = 0;
};

// A canvas that records instead of painting. What it records is visible at
// once through Records(); the metafile receives it (replacing its content)
// when the canvas is destroyed, as with the class library. Text metrics are
// those of a 96 dpi screen, or of referenceDevice when one is given.
class TMetafileCanvas : public TCanvas {
public:
    explicit TMetafileCanvas(TMetafile* metafile, TCanvas* referenceDevice = nullptr);
    ~TMetafileCanvas() override;
    std::string ClassName() const override { return "TMetafileCanvas"; }
    const std::vector<TMetafileRecord>& Records() const { return records_; }
    std::vector<const TMetafileRecord*> TextRecords() const;
    void Clear() { records_.clear(); }

private:
    TMetafile* metafile_;
    std::vector<TMetafileRecord> records_;
};
