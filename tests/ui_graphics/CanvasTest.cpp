// Canvas primitives drawn on a bitmap and checked at key pixels; CopyRect's
// raster operations; pen modes; clipping save and restore.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Graphics.h"

namespace {

TBitmap* WhiteBitmap(TBitmap& b, int w = 40, int h = 40) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, w, h));
    return &b;
}

struct PixelRow {
    const char* name;
    std::function<void(TCanvas*)> draw;
    std::vector<std::pair<TPoint, TColor>> expect;
};

class CanvasPixels : public testing::TestWithParam<PixelRow> {};

TEST_P(CanvasPixels, keyPixelsHaveTheExpectedColour) {
    TBitmap b;
    WhiteBitmap(b);
    GetParam().draw(b.Canvas());
    for (auto& [p, c] : GetParam().expect)
        EXPECT_EQ(b.Canvas()->Pixels(p.X, p.Y), c) << GetParam().name << " at " << p.X << "," << p.Y;
}

INSTANTIATE_TEST_SUITE_P(
    Primitives, CanvasPixels,
    testing::Values(
        PixelRow{"FillRectExcludesRightAndBottom",
                 [](TCanvas* c) {
                     c->Brush()->SetColor(clRed);
                     c->FillRect(Rect(2, 2, 10, 10));
                 },
                 {{{2, 2}, clRed}, {{9, 9}, clRed}, {{10, 9}, clWhite}, {{9, 10}, clWhite}, {{1, 2}, clWhite}}},
        PixelRow{"RectangleOutlineWithPenFillWithBrush",
                 [](TCanvas* c) {
                     c->Pen()->SetColor(clBlue);
                     c->Brush()->SetColor(clYellow);
                     c->Rectangle(5, 5, 15, 15);
                 },
                 {{{5, 5}, clBlue},
                  {{14, 14}, clBlue},
                  {{14, 5}, clBlue},
                  {{10, 10}, clYellow},
                  {{15, 15}, clWhite},
                  {{15, 10}, clWhite}}},
        PixelRow{"ClearBrushRectangleLeavesInside",
                 [](TCanvas* c) {
                     c->Brush()->SetStyle(bsClear);
                     c->Rectangle(5, 5, 15, 15);
                 },
                 {{{5, 5}, clBlack}, {{10, 10}, clWhite}}},
        PixelRow{"FrameRectUsesBrushColour",
                 [](TCanvas* c) {
                     c->Brush()->SetColor(clGreen);
                     c->FrameRect(Rect(3, 3, 13, 13));
                 },
                 {{{3, 3}, clGreen}, {{12, 12}, clGreen}, {{8, 8}, clWhite}, {{13, 13}, clWhite}}},
        PixelRow{"LineToLeavesEndPoint",
                 [](TCanvas* c) {
                     c->Pen()->SetColor(clRed);
                     c->MoveTo(0, 20);
                     c->LineTo(10, 20);
                 },
                 {{{0, 20}, clRed}, {{9, 20}, clRed}, {{10, 20}, clWhite}, {{5, 21}, clWhite}}},
        PixelRow{"TriangleFilled",
                 [](TCanvas* c) {
                     c->Brush()->SetColor(clNavy);
                     c->Pen()->SetColor(clNavy);
                     c->Polygon({{0, 0}, {30, 0}, {0, 30}});
                 },
                 {{{5, 5}, clNavy}, {{25, 25}, clWhite}}},
        PixelRow{"EllipseCentreFilledCornerNot",
                 [](TCanvas* c) {
                     c->Brush()->SetColor(clLime);
                     c->Ellipse(0, 0, 20, 20);
                 },
                 {{{10, 10}, clLime}, {{1, 1}, clWhite}, {{10, 0}, clBlack}}},
        PixelRow{"SystemColourResolvesToClassicScheme",
                 [](TCanvas* c) {
                     c->Brush()->SetColor(clBtnFace);
                     c->FillRect(Rect(0, 0, 4, 4));
                 },
                 {{{1, 1}, RGB(212, 208, 200)}}},
        PixelRow{"SetPixelsThenRead",
                 [](TCanvas* c) { c->SetPixels(7, 8, RGB(1, 2, 3)); },
                 {{{7, 8}, RGB(1, 2, 3)}, {{8, 8}, clWhite}}},
        PixelRow{"PixelsOutsideReadAsNone", [](TCanvas*) {}, {{{40, 0}, clNone}, {{-1, 3}, clNone}}}),
    RowName());

TEST(Canvas, xorPenTwiceRestoresWhatWasThere) {
    TBitmap b;
    WhiteBitmap(b);
    TCanvas* c = b.Canvas();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(0, 5);
    c->LineTo(20, 5);
    EXPECT_EQ(c->Pixels(3, 5), clBlack);
    c->MoveTo(0, 5);
    c->LineTo(20, 5);
    EXPECT_EQ(c->Pixels(3, 5), clWhite);
}

TEST(Canvas, focusRectDrawnTwiceErasesItself) {
    TBitmap b;
    WhiteBitmap(b);
    b.Canvas()->DrawFocusRect(Rect(2, 2, 12, 12));
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite);
    b.Canvas()->DrawFocusRect(Rect(2, 2, 12, 12));
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clWhite);
}

TEST(Canvas, clipLimitsDrawingAndRestoreDCLiftsIt) {
    TBitmap b;
    WhiteBitmap(b);
    TCanvas* c = b.Canvas();
    int saved = c->SaveDC();
    c->IntersectClipRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 10));
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(c->Pixels(9, 9), clRed);
    EXPECT_EQ(c->Pixels(10, 10), clWhite);
    c->RestoreDC(saved);
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 40, 40));
    c->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(c->Pixels(20, 20), clRed);
}

TEST(Canvas, unboundCanvasRefusesToDraw) {
    TCanvas c;
    try {
        c.FillRect(Rect(0, 0, 1, 1));
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "Canvas does not allow drawing");
    }
}

struct RopRow {
    const char* name;
    TCopyMode mode;
    TColor src, dst, brush, expected;
};

class CopyRectRop : public testing::TestWithParam<RopRow> {};

TEST_P(CopyRectRop, combinesSourceDestinationAndBrush) {
    const RopRow& r = GetParam();
    TBitmap src, dst;
    src.SetSize(4, 4);
    src.Canvas()->Brush()->SetColor(r.src);
    src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    dst.SetSize(8, 8);
    dst.Canvas()->Brush()->SetColor(r.dst);
    dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
    dst.Canvas()->Brush()->SetColor(r.brush);
    dst.Canvas()->SetCopyMode(r.mode);
    dst.Canvas()->CopyRect(Rect(2, 2, 6, 6), src.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(dst.Canvas()->Pixels(3, 3), r.expected);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), r.dst) << "outside the target";
}

INSTANTIATE_TEST_SUITE_P(
    RasterOps, CopyRectRop,
    testing::Values(
        RopRow{"SrcCopy", cmSrcCopy, RGB(0x12, 0x34, 0x56), clWhite, clRed, RGB(0x12, 0x34, 0x56)},
        RopRow{"SrcAnd", cmSrcAnd, RGB(0xF0, 0x0F, 0xFF), RGB(0x3C, 0x3C, 0x3C), clRed, RGB(0x30, 0x0C, 0x3C)},
        RopRow{"SrcInvert", cmSrcInvert, RGB(0xFF, 0x00, 0x0F), RGB(0x0F, 0x0F, 0x0F), clRed, RGB(0xF0, 0x0F, 0x00)},
        RopRow{"SrcPaint", cmSrcPaint, RGB(0xF0, 0x00, 0x01), RGB(0x0F, 0x10, 0x02), clRed, RGB(0xFF, 0x10, 0x03)},
        RopRow{"NotSrcCopy", cmNotSrcCopy, RGB(0xFF, 0x00, 0x80), clWhite, clRed, RGB(0x00, 0xFF, 0x7F)},
        RopRow{"DstInvert", cmDstInvert, clBlack, RGB(0x10, 0x20, 0x30), clRed, RGB(0xEF, 0xDF, 0xCF)},
        RopRow{"MergeCopy", cmMergeCopy, RGB(0xFF, 0xFF, 0x0F), clWhite, RGB(0x0F, 0xF0, 0xFF), RGB(0x0F, 0xF0, 0x0F)},
        RopRow{"PatCopy", cmPatCopy, clBlack, clWhite, clMaroon, clMaroon},
        RopRow{"Whiteness", cmWhiteness, clBlack, clBlack, clRed, clWhite},
        RopRow{"Blackness", cmBlackness, clWhite, clWhite, clRed, clBlack}),
    RowName());

TEST(Canvas, copyRectStretchesSource) {
    TBitmap src, dst;
    src.SetSize(2, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    dst.SetSize(10, 10);
    dst.Canvas()->CopyRect(Rect(0, 0, 10, 10), src.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(dst.Canvas()->Pixels(2, 7), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(7, 2), clBlue);
}

TEST(Canvas, stretchDrawWithSrcAndShowsBackgroundThroughWhite) {
    TBitmap picture;
    picture.SetSize(2, 2);
    picture.Canvas()->SetPixels(0, 0, clBlack);
    TBitmap b;
    WhiteBitmap(b, 10, 10);
    b.Canvas()->Brush()->SetColor(clYellow);
    b.Canvas()->FillRect(Rect(0, 0, 10, 10));
    b.Canvas()->SetCopyMode(cmSrcAnd);
    b.Canvas()->StretchDraw(Rect(0, 0, 10, 10), &picture);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(7, 7), clYellow);
}

TEST(Canvas, brushBitmapTilesItsPattern) {
    TBitmap pattern;
    pattern.SetSize(8, 8);
    pattern.Canvas()->Brush()->SetColor(clBlack);
    pattern.Canvas()->FillRect(Rect(0, 0, 4, 8));
    TBitmap b;
    WhiteBitmap(b, 16, 16);
    b.Canvas()->Brush()->SetBitmap(&pattern);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(5, 1), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(9, 9), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(13, 9), clWhite);
}

TEST(Canvas, frame3DDrawsBothSidesAndShrinksTheRect) {
    TBitmap b;
    WhiteBitmap(b, 20, 20);
    TRect r = Rect(2, 2, 12, 12);
    Frame3D(b.Canvas(), r, clBtnHighlight, clBtnShadow, 1);
    EXPECT_EQ(r, Rect(3, 3, 11, 11));
    EXPECT_EQ(b.Canvas()->Pixels(2, 5), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(5, 2), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(11, 5), clGray);
    EXPECT_EQ(b.Canvas()->Pixels(5, 11), clGray);
    EXPECT_EQ(b.Canvas()->Pixels(12, 5), clWhite) << "outside";
}

TEST(Canvas, sunkenEdgeIsDarkAtTopLeft) {
    TBitmap b;
    WhiteBitmap(b, 20, 20);
    TRect r = Rect(0, 0, 20, 20);
    b.Canvas()->DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 18, 18));
    EXPECT_EQ(b.Canvas()->Pixels(0, 5), clGray);
    EXPECT_EQ(b.Canvas()->Pixels(1, 5), RGB(64, 64, 64));
    EXPECT_EQ(b.Canvas()->Pixels(19, 5), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(18, 5), RGB(212, 208, 200));
}

TEST(Bitmap, twentyFourBitScanLineIsBlueGreenRed) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(3, 2);
    b.Canvas()->SetPixels(1, 1, RGB(10, 20, 30));
    uint8_t* line = b.ScanLine(1);
    EXPECT_EQ(line[3], 30);
    EXPECT_EQ(line[4], 20);
    EXPECT_EQ(line[5], 10);
    line[0] = 200;
    line[1] = 100;
    line[2] = 50;
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), RGB(50, 100, 200));
}

TEST(Bitmap, transparentDrawSkipsBottomLeftColour) {
    TBitmap glyph;
    glyph.SetSize(4, 4);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas()->SetPixels(1, 1, clBlue);
    glyph.SetTransparent(true);
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
    TBitmap b;
    WhiteBitmap(b, 10, 10);
    b.Canvas()->Draw(2, 2, &glyph);
    EXPECT_EQ(b.Canvas()->Pixels(3, 3), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clWhite);
}

TEST(Bitmap, resizeKeepsDrawingAndWhitensNewArea) {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->SetPixels(1, 1, clRed);
    b.SetSize(8, 8);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(6, 6), clWhite);
}

TEST(Bitmap, widthSetBeforeHeightIsKept) {
    TBitmap b;
    b.SetWidth(8);
    b.SetHeight(4);
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(b.Height(), 4);
    b.Canvas()->SetPixels(7, 3, clRed);
    EXPECT_EQ(b.Canvas()->Pixels(7, 3), clRed);
}

TEST(Colors, colorToRGBAndNames) {
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 36, 106));
    EXPECT_EQ(ColorToRGB(RGB(255, 242, 222)), RGB(255, 242, 222));
    EXPECT_EQ(ColorToRGB(clNone), clBlack);
    EXPECT_EQ(clBtnFace, TColor(0x8000000F));
    EXPECT_EQ(RGB(255, 0, 0), clRed);
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(StringToColor("clred"), clRed);
}

TEST(Font, ninePointSongIsHeightMinusTwelve) {
    TFont f;
    EXPECT_EQ(f.Name(), "宋体");
    EXPECT_EQ(f.Height(), -12);
    EXPECT_EQ(f.Size(), 9);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    TFont printer;
    printer.SetPixelsPerInch(600);
    printer.Assign(&f);
    EXPECT_EQ(printer.Size(), 12);
    EXPECT_EQ(printer.Height(), -100);
}

} // namespace
