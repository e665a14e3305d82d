// Button glyphs: cells of a strip, the embossed disabled image, the shared
// lists of images by size with their recycled slots, and the layout of a
// button's content.
#include <gtest/gtest.h>

#include "SysUtils.h"
#include "report/toolkit/RM_TB97Ctls.h"

namespace {

// A strip of cells, each white with a black pixel at (1, 1), a silver pixel
// at (2, 1), and the bottom-left (transparent) colour red.
void makeStrip(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect(0, 0, w, h));
    for (int x0 = 0; x0 + h <= w; x0 += h) {
        b.Canvas()->SetPixels(x0 + 1, 1, clBlack);
        b.Canvas()->SetPixels(x0 + 2, 1, clSilver);
        b.Canvas()->SetPixels(x0 + 3, 2, clNavy);
        b.Canvas()->SetPixels(x0, h - 1, clRed);
    }
}

TEST(ButtonGlyph, aStripOfOneToFiveSquaresHasThatManyCells) {
    struct Case {
        int w, h, cells;
    };
    for (Case c : {Case{48, 16, 3}, Case{80, 16, 5}, Case{16, 16, 1}, Case{112, 16, 1}, Case{50, 16, 1}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        TToolbarButton97 b(nullptr);
        TBitmap g;
        makeStrip(g, c.w, c.h);
        b.SetGlyph(&g);
        EXPECT_EQ(b.NumGlyphs(), c.cells);
    }
}

TEST(ButtonGlyph, theGeneratedDisabledImageIsAPixelLargerAndEmbossesOnlyTheInk) {
    for (bool oldStyle : {false, true}) {
        SCOPED_TRACE(oldStyle ? "old style" : "new style");
        TToolbarButton97 b(nullptr);
        TBitmap g;
        makeStrip(g, 16, 16);
        b.SetGlyph(&g);
        b.SetOldDisabledStyle(oldStyle);
        TGlyphList* list = nullptr;
        int i = b.GlyphHolder().GetStateImage(tbsDisabled, list);
        ASSERT_GE(i, 0);
        EXPECT_EQ(list->Width(), 17);
        EXPECT_EQ(list->Height(), 17);
        EXPECT_EQ(list->Pixel(i, 16, 5), clNone); // the added column
        EXPECT_EQ(list->Pixel(i, 5, 16), clNone); // and row
        EXPECT_EQ(ColorToRGB(list->Pixel(i, 1, 1)), ColorToRGB(clBtnShadow)); // black inks in both styles
        EXPECT_EQ(ColorToRGB(list->Pixel(i, 2, 2)), ColorToRGB(clBtnHighlight));
        // Silver and the transparent colour never ink; navy only in the new style.
        EXPECT_EQ(list->Pixel(i, 0, 15), clNone);
        EXPECT_NE(ColorToRGB(list->Pixel(i, 2, 1)), ColorToRGB(clBtnShadow));
        EXPECT_EQ(list->Pixel(i, 3, 2) != clNone, !oldStyle);
    }
}

TEST(ButtonGlyph, statesWithoutACellShareTheUpImage) {
    TToolbarButton97 one(nullptr), three(nullptr);
    TBitmap g1, g3;
    makeStrip(g1, 16, 16);
    makeStrip(g3, 48, 16);
    one.SetGlyph(&g1);
    three.SetGlyph(&g3);
    TGlyphList *l = nullptr, *m = nullptr;
    int up = one.GlyphHolder().GetStateImage(tbsUp, l);
    EXPECT_EQ(one.GlyphHolder().GetStateImage(tbsHot, m), up);
    EXPECT_EQ(one.GlyphHolder().GetStateImage(tbsLatched, m), up);
    EXPECT_EQ(one.GlyphHolder().GetStateImage(tbsPressed, m), up);
    int up3 = three.GlyphHolder().GetStateImage(tbsUp, l);
    EXPECT_NE(three.GlyphHolder().GetStateImage(tbsPressed, m), up3);
    EXPECT_EQ(three.GlyphHolder().GetStateImage(tbsLatched, m), up3);
    EXPECT_EQ(three.GlyphHolder().GetStateImage(tbsHot, m), up3);
    // The strip's own disabled cell: its white shows the highlight colour.
    int dis = three.GlyphHolder().GetStateImage(tbsDisabled, m);
    EXPECT_EQ(ColorToRGB(m->Pixel(dis, 5, 5)), ColorToRGB(clBtnHighlight));
}

TEST(ButtonGlyph, buttonsOfOneGlyphSizeShareAListWhoseSlotsAreRecycled) {
    ASSERT_EQ(GlyphCache(), nullptr);
    {
        auto a = std::make_unique<TToolbarButton97>(nullptr);
        auto b = std::make_unique<TToolbarButton97>(nullptr);
        TBitmap g;
        makeStrip(g, 16, 16);
        a->SetGlyph(&g);
        b->SetGlyph(&g);
        TGlyphList *la = nullptr, *lb = nullptr;
        a->GlyphHolder().GetStateImage(tbsUp, la);
        b->GlyphHolder().GetStateImage(tbsUp, lb);
        EXPECT_EQ(la, lb);
        EXPECT_EQ(la->Count(), 2);
        a->GlyphHolder().GetStateImage(tbsDisabled, lb);
        EXPECT_EQ(GlyphCache()->ListCount(), 2); // 16 x 16 and 17 x 17
        // A new glyph gives its images back; the next image takes a freed slot.
        a->SetGlyph(&g);
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
        EXPECT_EQ(la->Count(), 1);
        int slots = la->SlotCount();
        a->GlyphHolder().GetStateImage(tbsUp, lb);
        EXPECT_EQ(la->SlotCount(), slots);
        EXPECT_EQ(la->Count(), 2);
    }
    EXPECT_EQ(GlyphCache(), nullptr); // the last holder freed the cache
}

TEST(ButtonGlyph, aListRefusesAnImageSmallerThanItsOwn) {
    TGlyphList list(16, 16);
    TBitmap small;
    small.SetSize(8, 16);
    EXPECT_THROW(list.AddImage(&small, nullptr), EInvalidOperation);
    EXPECT_THROW(list.AddImageMasked(&small, clDefault), EInvalidOperation);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ButtonGlyph, layoutThirdsTheFreeSpaceAndAMissingImageStillTakesItsRoom) {
    TBitmap canvasOwner;
    canvasOwner.SetSize(10, 10);
    TCanvas* c = canvasOwner.Canvas();
    TButtonGlyph g;
    TBitmap strip;
    makeStrip(strip, 16, 16);
    g.SetGlyphBitmap(&strip);
    TRect client(2, 2, 98, 22);
    int tw = c->TextWidth("打印");
    auto l = g.CalcLayout(c, client, TPoint(0, 0), true, true, "打印", false, blGlyphLeft, -1, -1, false, 9);
    int third = (96 - 16 - tw) / 3;
    EXPECT_EQ(l.glyph.X, 2 + third);
    EXPECT_EQ(l.caption.Left, 2 + third + 16 + third);
    EXPECT_EQ(l.glyph.Y, 2 + (20 - 16 + 1) / 2);
    // Caption only: centred (no glyph, so no spacing and no thirds).
    auto t = g.CalcLayout(c, client, TPoint(1, 1), false, true, "打印", false, blGlyphLeft, -1, -1, false, 9);
    EXPECT_EQ(t.caption.Left, 2 + (96 - tw + 1) / 2 + 1);
    TImageList images(nullptr);
    images.SetWidth(20);
    images.SetHeight(20);
    TButtonGlyph fromList;
    fromList.SetImages(&images);
    fromList.SetImageIndex(3); // no such image
    TGlyphList* list = nullptr;
    EXPECT_EQ(fromList.GetStateImage(tbsUp, list), -1);
    auto r = fromList.CalcLayout(c, TRect(0, 0, 60, 30), TPoint(0, 0), true, false, "", false, blGlyphLeft, 0, -1,
                                 false, 9);
    EXPECT_EQ(r.glyph.Y, (30 - 20 + 1) / 2);
}

} // namespace
