// How a memo lays its characters out: justified lines spread over the
// width, character spacing, and vertical writing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Metafile.h"
#include "report/barcode/RM_BarCodeView.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

std::vector<const TMetafileRecord*> draw(TRMMemoView& m, TMetafile& mf) {
    TMetafileCanvas c(&mf);
    m.Draw(&c);
    return c.TextRecords();
}

TEST(MemoDraw, justifiedLineSpreadsItsCharactersOverTheWidth) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 24);
    m.Font.Name = "宋体";
    m.Memo = {"合计"};
    m.SetAlignment(3);
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0]->Text, "合");
    EXPECT_EQ(r[0]->Bounds.Left, m.GapX);
    EXPECT_NEAR(r[1]->Bounds.Right, 300 - m.GapX, 2); // the last character ends at the right gap
}

TEST(MemoDraw, characterSpacingAddsPixelsBetweenCharacters) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 24);
    m.Font.Name = "宋体";
    m.Memo = {"图书"};
    m.CharSpacing = 10;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1]->Bounds.Left, r[0]->Bounds.Right + 10);
}

TEST(MemoDraw, verticalWritingStacksCharactersInColumnsFromTheRight) {
    TRMMemoView m;
    m.SetBounds(0, 0, 100, 200);
    m.Font.Name = "宋体";
    m.Memo = {"图书", "馆"};
    m.RotationType = 2;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->Bounds.Left, r[1]->Bounds.Left); // one column
    EXPECT_LT(r[0]->Bounds.Top, r[1]->Bounds.Top);   // going down
    EXPECT_LT(r[2]->Bounds.Left, r[0]->Bounds.Left); // the next column to the left
    EXPECT_GT(r[0]->Bounds.Left, 50);                // starting at the right
}

TEST(MemoDraw, quarterTurnedLinesRunAlongTheHeightFromTheirOwnSide) {
    struct Case {
        uint8_t rotation;
        int orientation;
        bool linesRightward; // the second line lies right of the first
    };
    for (Case c : {Case{1, 900, true}, Case{3, 2700, false}}) {
        SCOPED_TRACE(int(c.rotation));
        TRMMemoView m;
        m.SetBounds(0, 0, 100, 200);
        m.Font.Name = "宋体";
        m.Memo = {"图书馆", "读者"};
        m.RotationType = c.rotation;
        TMetafile mf;
        auto r = draw(m, mf);
        ASSERT_EQ(r.size(), 2u); // each line one output
        EXPECT_EQ(r[0]->FontOrientation, c.orientation);
        EXPECT_EQ(r[0]->Text, "图书馆");
        if (c.linesRightward)
            EXPECT_LT(r[0]->Bounds.Left, r[1]->Bounds.Left);
        else
            EXPECT_GT(r[0]->Bounds.Left, r[1]->Bounds.Left);
    }
}

TEST(MemoDraw, turnedCharactersSitSideBySideAlongDescendingLines) {
    TRMMemoView m;
    m.SetBounds(0, 0, 200, 100);
    m.Font.Name = "宋体";
    m.Memo = {"图书", "馆"};
    m.RotationType = 4;
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->FontOrientation, 900);
    EXPECT_LT(r[0]->Bounds.Left, r[1]->Bounds.Left);
    EXPECT_EQ(r[0]->Bounds.Top, r[1]->Bounds.Top);
    EXPECT_GT(r[2]->Bounds.Top, r[0]->Bounds.Top);
}

// Lines are drawn under the text rows the height holds, in the top frame's
// colour, whether or not there is text.
TEST(MemoDraw, underlinesRuleEveryRowTheHeightHolds) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 100);
    m.Font.Name = "宋体";
    m.Flags |= flUnderlines;
    m.TopFrame.Color = clRed;
    const int row = m.FontPixelHeight() + m.LineSpacing;
    auto lines = DrawnRecords(m, mrLine);
    ASSERT_EQ(int(lines.size()), 100 / row);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].PenColor, clRed);
        EXPECT_EQ(lines[i].Points[0].Y, m.GapY + row * int(i) + 2 + m.FontPixelHeight());
        EXPECT_EQ(lines[i].Points[0].X, 0);
        EXPECT_EQ(lines[i].Points[1].X, 299);
    }
}

// In built pages a memo with AutoWidth takes the width of its text; a
// right-aligned one keeps its right edge. Design drawing leaves it alone.
TEST(MemoDraw, autoWidthFitsTheTextAndKeepsARightEdge) {
    struct Case {
        int alignment;
        bool prepared;
    };
    for (Case c : {Case{0, true}, Case{1, true}, Case{1, false}}) {
        SCOPED_TRACE(c.alignment * 10 + c.prepared);
        TRMMemoView m;
        m.SetBounds(100, 0, 300, 24);
        m.Font.Name = "宋体";
        m.Memo = {"图书馆"};
        m.Flags |= flAutoWidth;
        m.SetAlignment(c.alignment);
        const int w = m.CalcTextWidth(m.Memo);
        ASSERT_LT(w, 300);
        RMPreparedMode = c.prepared;
        TMetafile mf;
        draw(m, mf);
        RMPreparedMode = false;
        EXPECT_EQ(m.Width, c.prepared ? w : 300);
        EXPECT_EQ(m.Left + m.Width, c.prepared && c.alignment == 0 ? 100 + w : 400);
    }
}

// ScaleFontSize, in built pages: by width each line makes the font smaller
// until it fits; by height the lines do, but not below 5. The object keeps
// its own size.
TEST(MemoDraw, scaleFontSizeShrinksTheTextToTheObject) {
    auto drawnHeight = [](uint8_t type, int width, int height, const TRMLines& text, bool prepared, int size = 12) {
        TRMMemoView m;
        m.SetBounds(0, 0, width, height);
        m.Font.Name = "宋体";
        m.Font.Size = size;
        m.Memo = text;
        m.SetPropValue("ScaleFontSize", true);
        m.ScaleFontType = type;
        RMPreparedMode = prepared;
        TMetafile mf;
        auto r = draw(m, mf);
        RMPreparedMode = false;
        EXPECT_EQ(m.Font.Size, size);
        return r.empty() ? 0 : std::abs(r[0]->FontHeight);
    };
    const int full = drawnHeight(0, 1000, 30, {"中华人民共和国图书馆"}, true);
    const int byWidth = drawnHeight(0, 100, 30, {"中华人民共和国图书馆"}, true);
    EXPECT_LT(byWidth, full);
    EXPECT_EQ(drawnHeight(0, 100, 30, {"中华人民共和国图书馆"}, false), full); // design view
    const int byHeight = drawnHeight(1, 1000, 30, {"一", "二", "三"}, true);
    EXPECT_LT(byHeight, full);
    EXPECT_EQ(drawnHeight(1, 1000, 2, {"一", "二", "三"}, true), drawnHeight(1, 1000, 100, {"一"}, true, 5));
}

// MangeTag: "_" lowers and "~" raises half-size characters until "|", the
// marks are not drawn, and a grave accent starts a new line.
TEST(MemoDraw, markedTextSetsSmallCharactersBelowAndAboveTheLine) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 60);
    m.Font.Name = "宋体";
    m.Font.Size = 20;
    m.SetPropValue("MangeTag", true);
    m.Memo = {"H_2|O~+`x"};
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 5u);
    std::vector<std::string> texts;
    for (auto* t : r) texts.push_back(t->Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"H", "2", "O", "+", "x"}));
    EXPECT_LT(std::abs(r[1]->FontHeight), std::abs(r[0]->FontHeight)); // small
    EXPECT_GT(r[1]->Bounds.Top, r[0]->Bounds.Top);                    // lowered
    EXPECT_EQ(r[2]->FontHeight, r[0]->FontHeight);                     // back to full size
    EXPECT_EQ(r[2]->Bounds.Top, r[0]->Bounds.Top);
    EXPECT_EQ(r[3]->Bounds.Top, r[0]->Bounds.Top); // raised: on the line's top
    EXPECT_EQ(r[3]->FontHeight, r[1]->FontHeight);
    EXPECT_EQ(r[1]->Bounds.Left, r[0]->Bounds.Right); // the mark takes no room
    EXPECT_GT(r[4]->Bounds.Top, r[0]->Bounds.Top);    // the next line
    EXPECT_EQ(r[4]->Bounds.Left, r[0]->Bounds.Left);
}

// A justified marked line spreads its room between the characters, not the
// marks: the last character ends at the right edge.
TEST(MemoDraw, justifiedMarkedTextFillsTheLine) {
    TRMMemoView m;
    m.SetBounds(0, 0, 300, 60);
    m.Font.Name = "宋体";
    m.Font.Size = 20;
    m.SetPropValue("MangeTag", true);
    m.SetPropValue("Alignment", 3);
    m.Memo = {"H_2|O"};
    TMetafile mf;
    auto r = draw(m, mf);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->Bounds.Left, m.GapX);
    EXPECT_GT(r[1]->Bounds.Left, r[0]->Bounds.Right + 50);
    EXPECT_NEAR(r[2]->Bounds.Right, 300 - m.GapX, 3);
}

// Vertical writing, characters turned one by one and justified
// quarter-turned lines read the size marks too: the marks are not drawn,
// the characters after "_" are small.
TEST(MemoDraw, turnedMarkedTextLeavesTheMarksOut) {
    struct Case {
        int rotation, alignment, width;
    };
    for (Case c : {Case{2, 0, 300}, Case{4, 0, 300}, Case{1, 3, 100}, Case{3, 3, 100}}) {
        SCOPED_TRACE(c.rotation);
        TRMMemoView m;
        m.SetBounds(0, 0, c.width, 300);
        m.Font.Name = "宋体";
        m.Font.Size = 20;
        m.RotationType = uint8_t(c.rotation);
        m.SetPropValue("MangeTag", true);
        m.SetPropValue("Alignment", c.alignment);
        m.Memo = {"H_2|O"};
        TMetafile mf;
        auto r = draw(m, mf);
        std::vector<std::string> texts;
        for (auto* t : r) texts.push_back(t->Text);
        EXPECT_EQ(texts, (std::vector<std::string>{"H", "2", "O"}));
        ASSERT_EQ(r.size(), 3u);
        EXPECT_LT(std::abs(r[1]->FontHeight), std::abs(r[0]->FontHeight));
        EXPECT_EQ(r[2]->FontHeight, r[0]->FontHeight);
        if (c.alignment == 3) {
            // The room spreads: the first and last characters stand near
            // the two ends of the turned line.
            ASSERT_FALSE(r[0]->Points.empty() || r[2]->Points.empty());
            EXPECT_GT(std::abs(r[2]->Points[0].Y - r[0]->Points[0].Y), 200);
        }
    }
}

// The memo's options kept in Flags2 read and write by name; AutoWidth and
// WordBreak switch ScaleFontSize off.
TEST(MemoDraw, optionsInTheSecondFlagsWordReadAndWriteByName) {
    struct Case {
        const char* name;
        int32_t bit;
    };
    for (Case c : {Case{"MangeTag", mfMangeTag}, Case{"ScaleFontSize", mfScaleFontSize},
                   Case{"PrintAtAppendBlank", mfPrintAtAppendBlank}, Case{"DataFieldOnly", mfDataFieldOnly}}) {
        SCOPED_TRACE(c.name);
        TRMMemoView m;
        m.SetPropValue(c.name, true);
        EXPECT_EQ(m.Flags2, c.bit);
        EXPECT_TRUE(m.GetPropValue(c.name).AsBoolean());
        m.SetPropValue(c.name, false);
        EXPECT_EQ(m.Flags2, 0);
    }
    for (const char* off : {"AutoWidth", "WordBreak"}) {
        TRMMemoView m;
        m.SetPropValue("ScaleFontSize", true);
        m.SetPropValue(off, true);
        EXPECT_FALSE(m.GetPropValue("ScaleFontSize").AsBoolean()) << off;
    }
    TRMMemoView m;
    m.SetPropValue("FontScaleWidth", 7);
    EXPECT_EQ(m.FontScaleWidth, 7);
    EXPECT_EQ(m.GetPropValue("FontScaleWidth").AsInteger(), 7);
}

// Only with WordBreak does a mark that may not begin a line take the
// character before it down with it.
TEST(MemoDraw, wordBreakKeepsPunctuationOffTheStartOfALine) {
    TRMMemoView m;
    m.Font.Name = "宋体";
    const std::string text = "图书馆图书馆，";
    // A width that holds the six characters but not the comma.
    TMetafile mf;
    TMetafileCanvas c(&mf);
    m.Font.ApplyTo(c.Font(), 1.0);
    const int w = c.TextWidth("图书馆图书馆");
    TRMLines plain = m.WrapLines({text}, w);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[1], "，");
    m.Flags |= flWordBreak;
    TRMLines kept = m.WrapLines({text}, w);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], "图书馆图书");
    EXPECT_EQ(kept[1], "馆，");
}

// A code the symbol cannot carry draws its error in the object's frame;
// painting goes on.
TEST(MemoDraw, unencodableBarcodeDrawsItsErrorInsteadOfThrowing) {
    TRMBarCodeView b;
    b.SetBounds(0, 0, 200, 80);
    b.Settings.BarType = uint8_t(bcCodeEAN13);
    b.Memo = {"ABC"};
    TMetafile mf;
    std::vector<std::string> texts;
    {
        TMetafileCanvas c(&mf);
        EXPECT_NO_THROW(b.Draw(&c));
        for (auto* t : c.TextRecords()) texts.push_back(t->Text);
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "条码错误: ABC");
    EXPECT_FALSE(b.LastError.empty());
}

} // namespace

namespace {

// Lines that carry the line-end mark were wrapped when the page was built:
// drawing takes them as they are, however narrow the memo, and leaves the
// marks out; the same text without marks is wrapped again.
TEST(MemoDraw, prewrappedLinesAreNotWrappedAgain) {
    struct Case {
        TRMLines memo;
        std::vector<std::string> drawn;
    };
    const std::string mark(1, RMLineEndMark);
    for (const Case& c : {Case{{"图书馆藏" + mark, "目录" + mark}, {"图书馆藏", "目录"}},
                          Case{{"图书馆藏", "目录"}, {"图书", "馆藏", "目录"}},
                          // A mark alone after unmarked lines only flags them.
                          Case{{"图书馆藏", "目录", mark}, {"图书馆藏", "目录"}}}) {
        SCOPED_TRACE(c.memo.front());
        TRMMemoView m;
        m.Font.Name = "宋体";
        m.Font.Size = 12;
        m.Flags |= flWordWrap;
        TMetafile probe;
        TMetafileCanvas pc(&probe);
        m.Font.ApplyTo(pc.Font(), 1.0);
        // Room for two characters and not three.
        m.SetBounds(0, 0, pc.TextWidth("图书") + 2 * m.GapX + 4, 120);
        m.Memo = c.memo;
        TMetafile mf;
        std::vector<std::string> texts;
        for (auto* t : draw(m, mf)) texts.push_back(t->Text);
        EXPECT_EQ(texts, c.drawn);
        // The height the build measures agrees with what is drawn.
        m.Memo1 = c.memo;
        TRMMemoView one = m;
        one.Memo1 = {"图书"};
        EXPECT_EQ(m.CalcHeight() - one.CalcHeight(),
                  (int(c.drawn.size()) - 1) * (one.FontPixelHeight() + one.LineSpacing));
    }
}

// A wrapped memo is written into its built page with the lines it was
// measured with, each ending in the mark, and keeps its WordWrap: every
// device draws those lines, and a script's LastValue has no marks.
TEST(MemoDraw, builtPageKeepsTheWrappedLinesWithTheirMarks) {
    TComponent owner{nullptr};
    TRMReport report{&owner};
    TRMPage* page = report.Pages[0];
    AddBand(report, page, bkTitle, 20, 200);
    auto* m = AddMemo(report, page, 10, 20, "中文图书馆藏书目录总表", 60);
    m->Flags |= flWordWrap;
    m->Height = 200;
    ASSERT_TRUE(report.PrepareReport());
    TRMPage* p = report.EMFPages.UnpackPage(0);
    ASSERT_EQ(p->Objects.size(), 1u);
    auto* built = static_cast<TRMMemoView*>(p->Objects[0].get());
    EXPECT_TRUE(built->Flags & flWordWrap);
    ASSERT_GT(built->Memo.size(), 1u);
    std::string joined;
    for (auto& l : built->Memo) {
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), RMLineEndMark);
        joined += l.substr(0, l.size() - 1);
    }
    EXPECT_EQ(joined, "中文图书馆藏书目录总表");
    TRMLines lines = RMStripLineEnds(built->Memo);
    report.EMFPages.FreeUnpacked(0);
    EXPECT_EQ(PageTexts(report, 0), std::vector<std::string>(lines.begin(), lines.end()));
}

} // namespace


namespace {

struct LineRecorder : TRMExportFilter {
    int objects = 0;
    std::vector<std::pair<std::string, int>> lines; // text, frame mask
    void OnData(int, int, TRMView*) override { ++objects; }
    void OnText(const TRect&, int, int, const std::string& text, int mask) override { lines.push_back({text, mask}); }
};

// An exported memo gives the object, then each line with the frame sides
// it shows: the sides between two lines of one memo are left out, and
// turned lines show none. Prewrapped lines go as they are, without marks.
TEST(MemoDraw, exportHandsEachLineWithItsFrameSides) {
    using Lines = std::vector<std::pair<std::string, int>>;
    const std::string mark(1, RMLineEndMark);
    struct Case {
        TRMLines memo;
        int rotation;
        Lines expected;
    };
    for (const Case& c : {Case{{"书名"}, 0, {{"书名", 15}}},
                          Case{{"甲" + mark, "乙" + mark, "丙" + mark}, 0, {{"甲", 13}, {"乙", 5}, {"丙", 7}}},
                          Case{{"甲", "乙"}, 1, {{"甲", 0}, {"乙", 0}}}}) {
        SCOPED_TRACE(c.memo.front());
        TRMMemoView m;
        m.SetBounds(10, 20, 200, 100);
        m.Font.Name = "宋体";
        m.SetFrameAll(true);
        m.RotationType = uint8_t(c.rotation);
        m.Memo = c.memo;
        LineRecorder r;
        m.ExportData(&r);
        EXPECT_EQ(r.objects, 1);
        EXPECT_EQ(r.lines, c.expected);
    }
}

} // namespace
