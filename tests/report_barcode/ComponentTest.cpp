// The component's properties, module widths, text rules and drawing,
// checked on the recording canvas: polygon by polygon, rotation by
// rotation, and the human-readable line under the bars.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <algorithm>
#include <climits>
#include <functional>

#include "Metafile.h"
#include "report/barcode/RM_Barcode.h"

namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

TEST(BarcodeComponent, constructorValues) {
    TRMBarcode bc;
    EXPECT_EQ(bc.Height(), 0);
    EXPECT_EQ(bc.Text(), "");
    EXPECT_EQ(bc.Top(), 0);
    EXPECT_EQ(bc.Left(), 0);
    EXPECT_EQ(bc.Modul(), 1);
    EXPECT_EQ(bc.Ratio(), 2.0);
    EXPECT_EQ(bc.Typ(), bcCodeEAN13);
    EXPECT_FALSE(bc.Checksum());
    EXPECT_EQ(bc.CheckSumMethod(), csmModulo10);
    EXPECT_EQ(bc.Angle(), 0.0);
    EXPECT_EQ(bc.Color(), clWhite);
    EXPECT_EQ(bc.ColorBar(), clBlack);
    EXPECT_EQ(bc.ClassName(), "TRMBarcode");
}

TEST(BarcodeComponent, typeTableNamesInEditorOrder) {
    std::string names;
    for (const auto& t : BarcodeTypeTable) names += std::string(t.Name) + (t.Num ? "#" : "") + ",";
    EXPECT_EQ(names, "2_5_interleaved#,2_5_industrial#,2_5_matrix#,Code39,Code39 Extended,Code128A,"
                     "Code128B,Code128C#,Code93,Code93 Extended,MSI#,PostNet#,Codebar,EAN8#,EAN13#,"
                     "UPC_A#,UPC_E0#,UPC_E1#,UPC Supp2#,UPC Supp5#,EAN128A,EAN128B,EAN128C#,");
}

TEST(BarcodeComponent, writesNotifyOnlyOnChange) {
    TRMBarcode bc;
    int changes = 0;
    bc.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &bc);
        ++changes;
    };
    bc.SetHeight(0);
    bc.SetText("");
    bc.SetAngle(0);
    bc.SetTyp(bcCodeEAN13);
    EXPECT_EQ(changes, 0);
    bc.SetHeight(40);
    bc.SetText("1");
    bc.SetChecksum(true);
    bc.SetRatio(2.5);
    EXPECT_EQ(changes, 4);
}

TEST(BarcodeComponent, modulTakesOneToFortyNineAndAlwaysNotifies) {
    TRMBarcode bc;
    int changes = 0;
    bc.OnChange = [&](TObject*) { ++changes; };
    bc.SetModul(0);
    bc.SetModul(50);
    EXPECT_EQ(bc.Modul(), 1);
    EXPECT_EQ(changes, 0);
    bc.SetModul(1);
    EXPECT_EQ(changes, 1);
    bc.SetModul(49);
    EXPECT_EQ(bc.Modul(), 49);
    EXPECT_EQ(changes, 2);
}

struct WidthRow {
    const char* name;
    TRMBarcodeType typ;
    int modul;
    double ratio;
    double ratioAfter;
    std::array<int, 4> widths;
};

class ModuleWidths : public testing::TestWithParam<WidthRow> {};

TEST_P(ModuleWidths, followModulAndClampedRatio) {
    const WidthRow& row = GetParam();
    TRMBarcode bc;
    bc.SetTyp(row.typ);
    bc.SetModul(row.modul);
    bc.SetRatio(row.ratio);
    bc.PrepareModuleWidths();
    EXPECT_EQ(bc.Ratio(), row.ratioAfter);
    EXPECT_EQ(bc.ModuleWidths(), row.widths);
}

const WidthRow kWidths[] = {
    {"Default", bcCodeEAN13, 1, 2.0, 2.0, {1, 2, 3, 4}},
    {"HalfToEven", bcCode39, 1, 2.5, 2.5, {1, 2, 3, 4}},
    {"Ean13RatioRaised", bcCodeEAN13, 1, 1.0, 2.0, {1, 2, 3, 4}},
    {"Code128NotClamped", bcCode128B, 1, 1.0, 1.0, {1, 1, 1, 2}},
    {"MatrixLowerBound", bcCode_2_5_matrix, 2, 2.0, 2.25, {2, 4, 6, 8}},
    {"UpperBound", bcCodeCodabar, 2, 7.0, 3.0, {2, 6, 9, 12}},
    // Narrow 49 at ratio 3 is 147 pixels: past a signed byte, which used
    // to wrap to negative widths.
    {"barWidthsDoNotOverflowAtTheWidestModule", bcCode39, 49, 3.0, 3.0, {49, 147, 220, 294}},
    {"barWidthsDoNotOverflowWithAHugeRatio", bcCode128B, 49, 1e12, 1e12, {49, 1000, 1500, 2000}},
    {"barWidthsStayPositiveWithANegativeRatio", bcCodeMSI, 3, -2.0, -2.0, {3, 1, 1, 2}},
};
INSTANTIATE_TEST_SUITE_P(Rows, ModuleWidths, testing::ValuesIn(kWidths),
                         RowName());

TEST(BarcodeComponent, widthOfEan13IsNinetyFiveModules) {
    TRMBarcode bc;
    bc.SetText("690123456789");
    bc.SetChecksum(true);
    EXPECT_EQ(bc.Width(), 95);
    bc.SetModul(3);
    EXPECT_EQ(bc.Width(), 285);
}

TEST(BarcodeComponent, widthWriteScalesModul) {
    TRMBarcode bc;
    bc.SetText("1234567890128");
    bc.SetWidth(200);
    EXPECT_EQ(bc.Modul(), 2);
    bc.SetModul(1);
    bc.SetWidth(20);
    EXPECT_EQ(bc.Modul(), 1);
}

TEST(BarcodeComponent, numericTypesTrimAndStoreTheText) {
    TRMBarcode bc;
    bc.SetTyp(bcCodeMSI);
    bc.SetText(" 42 \t");
    bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "42");
    bc.SetText("4 2");
    EXPECT_EQ(ErrorOf([&] { bc.EncodeBars(); }), "Barcode must be numeric");
    bc.SetText("");
    EXPECT_EQ(ErrorOf([&] { bc.EncodeBars(); }), "");
}

TEST(BarcodeComponent, encoderTextIsStoredBack) {
    TRMBarcode bc;
    bc.SetChecksum(true);
    bc.SetText("123");
    bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "0000000001236");
    bc.SetTyp(bcCode39Extended);
    bc.SetText("ab");
    bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "ab");
}

// Width and the drawing encode again; the stored text already carried its
// check digit, and each paint used to add one more (a second check digit
// in the bars, a label that grew with every repaint).
TEST(BarcodeComponent, ean128ChecksumIsAppendedOnceNotOnEveryPaint) {
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetTyp(bcCodeEAN128C);
    bc.SetChecksum(true);
    bc.SetText("1234567");
    std::string first = bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "12345670");
    EXPECT_EQ(bc.Width(), 90); // start, FNC1, 4 pairs, check: 7 x 11, stop 13
    bc.PaintBarcode(&mc);
    bc.PaintBarcode(&mc);
    EXPECT_EQ(bc.EncodeBars(), first);
    EXPECT_EQ(bc.Text(), "12345670");
    // A text set anew is data again, even when it equals the stored one.
    bc.SetText("12345670");
    bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "0123456708");
    // So is the stored text under other settings.
    bc.SetText("1234567");
    bc.EncodeBars();
    bc.SetTyp(bcCode128C);
    bc.EncodeBars();
    EXPECT_EQ(bc.Text(), "12345670");
}

TEST(BarcodeComponent, wrongTypeAndInternalErrorsNameTheClass) {
    TRMBarcode bc;
    bc.SetTyp(static_cast<TRMBarcodeType>(23));
    EXPECT_EQ(ErrorOf([&] { bc.EncodeBars(); }), "TRMBarcode: wrong BarcodeType");
    EXPECT_EQ(ErrorOf([&] { bc.BarWidthOf('4'); }), "TRMBarcode: internal Error");
    EXPECT_EQ(bc.BarWidthOf('C').Width, 3);
    EXPECT_EQ(bc.BarWidthOf('C').Kind, 2);
}

std::vector<const TMetafileRecord*> Polygons(const TMetafileCanvas& mc) {
    std::vector<const TMetafileRecord*> out;
    for (const auto& r : mc.Records())
        if (r.Kind == mrPolygon) out.push_back(&r);
    return out;
}

TEST(BarcodeDrawing, onePolygonPerElementWithSpacesInColor) {
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetTyp(bcCode39);
    bc.SetText("");
    bc.SetLeft(10);
    bc.SetTop(5);
    bc.SetHeight(30);
    bc.SetColor(clYellow);
    bc.SetColorBar(clNavy);
    bc.PaintBarcode(&mc);
    // *: n w n n w n w n n, a narrow gap, *.
    auto polys = Polygons(mc);
    ASSERT_EQ(polys.size(), 19u);
    EXPECT_EQ(polys[0]->Points, (std::vector<TPoint>{{10, 5}, {10, 35}, {10, 35}, {10, 5}}));
    EXPECT_EQ(polys[0]->BrushColor, clNavy);
    EXPECT_EQ(polys[0]->PenColor, clNavy);
    EXPECT_EQ(polys[1]->Points, (std::vector<TPoint>{{11, 5}, {11, 35}, {12, 35}, {12, 5}}));
    EXPECT_EQ(polys[1]->BrushColor, clYellow);
    EXPECT_EQ(polys[1]->PenColor, clYellow);
    EXPECT_EQ(polys[0]->PenWidth, 1);
}

TEST(BarcodeDrawing, shortBarsTakeTwoFifthsFromTheTopEdge) {
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetTyp(bcCodePostNet);
    bc.SetText("0");
    bc.SetHeight(21);
    bc.PaintBarcode(&mc);
    auto polys = Polygons(mc);
    ASSERT_EQ(polys.size(), 13u);         // frame bar, gap, 10 elements, frame bar
    EXPECT_EQ(polys[2]->Points[1].Y, 21); // digit 0 begins with two tall bars
    EXPECT_EQ(polys[6]->Points[1].Y, 8);  // then short ones: 21 * 2 div 5
    EXPECT_EQ(polys[6]->Points[0].Y, 0);
}

TEST(BarcodeDrawing, paintBarcodeGivesBackFontPenAndBrushAlsoOnError) {
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    mc.Pen()->SetColor(clRed);
    mc.Pen()->SetWidth(3);
    mc.Brush()->SetColor(clLime);
    mc.Font()->SetName("Arial");
    TRMBarcode bc;
    bc.SetText("690123456789");
    bc.SetHeight(10);
    bc.PaintBarcode(&mc);
    EXPECT_EQ(mc.Pen()->Color(), clRed);
    EXPECT_EQ(mc.Pen()->Width(), 3);
    EXPECT_EQ(mc.Brush()->Color(), clLime);
    EXPECT_EQ(mc.Font()->Name(), "Arial");
    bc.SetText("x");
    EXPECT_EQ(ErrorOf([&] { bc.PaintBarcode(&mc); }), "Barcode must be numeric");
    EXPECT_EQ(mc.Pen()->Color(), clRed);
    EXPECT_EQ(mc.Brush()->Color(), clLime);
}

struct AngleRow {
    const char* name;
    double angle;
    bool upright;
    TPoint firstBarCorner; // where element 0 at height 0 lands, box at (100, 50)
};

class Rotation : public testing::TestWithParam<AngleRow> {};

TEST_P(Rotation, symbolStaysInItsBoxAndReadsInTheTurnedDirection) {
    const AngleRow& row = GetParam();
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetText("690123456789");
    bc.SetChecksum(true);
    bc.SetLeft(100);
    bc.SetTop(50);
    bc.SetHeight(40);
    bc.SetAngle(row.angle);
    bc.PaintBarcode(&mc);
    int w = 95, h = 40;
    int ex = row.upright ? h : w, ey = row.upright ? w : h;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    auto polys = Polygons(mc);
    for (const auto* p : polys)
        for (const TPoint& pt : p->Points) {
            minX = std::min(minX, pt.X);
            maxX = std::max(maxX, pt.X);
            minY = std::min(minY, pt.Y);
            maxY = std::max(maxY, pt.Y);
        }
    EXPECT_GE(minX, 100);
    EXPECT_GE(minY, 50);
    EXPECT_LE(maxX, 100 + ex);
    EXPECT_LE(maxY, 50 + ey);
    EXPECT_GE(maxX - minX, ex - 1);
    EXPECT_GE(maxY - minY, ey - 1);
    EXPECT_EQ(polys.front()->Points[0], row.firstBarCorner);
}

const AngleRow kAngles[] = {
    {"Deg0", 0, false, {100, 50}},
    {"Deg90", 90, true, {100, 145}},   // reads bottom to top
    {"Deg180", 180, false, {195, 90}}, // right to left, upside down
    {"Deg270", 270, true, {140, 50}},  // top to bottom
};
INSTANTIATE_TEST_SUITE_P(Angles, Rotation, testing::ValuesIn(kAngles),
                         RowName());

struct LabelRow {
    const char* name;
    int angle;
    // Expected bar box (Left, Top, Height) and text origin, given text width t.
    int left, top, height;
    std::function<TPoint(int t)> origin;
};

class Label : public testing::TestWithParam<LabelRow> {};

TEST_P(Label, textLineLiesUnderTheBarsAsTheSymbolReads) {
    const LabelRow& row = GetParam();
    const int q = 200, r = 120;
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetText("123");
    bc.SetChecksum(true);
    bc.SetAngle(row.angle);
    PaintBarcodeLabel(bc, &mc, q, r, true);
    EXPECT_EQ(bc.Left(), row.left);
    EXPECT_EQ(bc.Top(), row.top);
    EXPECT_EQ(bc.Height(), row.height);
    auto texts = mc.TextRecords();
    ASSERT_EQ(texts.size(), 1u);
    const TMetafileRecord& t = *texts[0];
    EXPECT_EQ(t.Text, "0000000001236");
    EXPECT_EQ(t.FontName, "Courier New");
    EXPECT_EQ(t.FontHeight, 12);
    EXPECT_EQ(t.FontColor, clBlack);
    EXPECT_EQ(t.FontOrientation, row.angle * 10);
    TMetafile probeFile;
    TMetafileCanvas probe(&probeFile);
    probe.Font()->SetName("Courier New");
    probe.Font()->SetHeight(12);
    int width = probe.TextWidth("0000000001236");
    ASSERT_GT(width, 0);
    EXPECT_EQ(t.Points.at(0), row.origin(width));
}

const LabelRow kLabels[] = {
    {"Deg0", 0, 0, 0, 106,
     [](int t) {
         return TPoint{(200 - t) / 2, 108};
     }},
    {"Deg90", 90, 0, 0, 186,
     [](int t) {
         return TPoint{188, 120 - (120 - t) / 2};
     }},
    {"Deg180", 180, 0, 14, 106,
     [](int t) {
         return TPoint{200 - (200 - t) / 2, 12};
     }},
    {"Deg270", 270, 14, 0, 186,
     [](int t) {
         return TPoint{12, (120 - t) / 2};
     }},
};
INSTANTIATE_TEST_SUITE_P(Angles, Label, testing::ValuesIn(kLabels),
                         RowName());

TEST(Label, withoutTextTheBarsTakeTheWholeHeight) {
    TMetafile mf;
    TMetafileCanvas mc(&mf);
    TRMBarcode bc;
    bc.SetText("123");
    PaintBarcodeLabel(bc, &mc, 200, 120, false);
    EXPECT_EQ(bc.Height(), 120);
    EXPECT_TRUE(mc.TextRecords().empty());
}

} // namespace
