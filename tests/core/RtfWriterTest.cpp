// The shared RTF writer: the escaped bytes of texts, the font and colour
// tables, and whole documents written into build/test-output/rtf/ and read
// back by an independent reader (tests/support/rtf_text.py) both as a
// Unicode-aware word processor and as one that knows only code page 936.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "RtfWriter.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

const std::string kOut = BUILD_DIR "/test-output/rtf/";

std::string run(const std::string& cmd) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p.get())) > 0) out.append(buf.data(), n);
    return out;
}

struct EscapeRow {
    const char* name;
    const char* text;
    int skip;
    const char* expected;
};

class RtfEscapeBytes : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(RtfEscapeBytes, areTheWordsGiven) {
    const auto& r = GetParam();
    EXPECT_EQ(RtfEscape(r.text, r.skip), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfEscapeBytes,
    ::testing::Values(EscapeRow{"plainAsciiUnchanged", "Book 12.50", 2, "Book 12.50"},
                      EscapeRow{"bracesAndBackslash", "a{b}\\c", 2, "a\\{b\\}\\\\c"},
                      // 中 is U+4E2D (20013), GBK D6 D0.
                      EscapeRow{"chineseWithGbkFallback", "中", 2, "\\u20013\\'d6\\'d0"},
                      EscapeRow{"chineseWithQuestionMark", "中", 1, "\\u20013?"},
                      // U+9F98 is above 32767: a negative number.
                      EscapeRow{"highCodeNegative", "龘", 2, "\\u-24680\\'fd\\'93"},
                      // A character GBK lacks keeps the skip count with "??".
                      EscapeRow{"notInGbk", "\xea\xb0\x80", 2, "\\u-21504??"},
                      EscapeRow{"beyondBasicPlane", "\xf0\x9f\x98\x80", 2, "\\u-10179??\\u-8704??"},
                      EscapeRow{"lineEndsAndTab", "a\r\nb\nc\rd\te", 2, "a\\line b\\line c\\line d\\tab e"},
                      EscapeRow{"controlCharactersDropped",
                                "a\x01\x1f"
                                "b",
                                2, "ab"}),
    RowName());

TEST(RtfWriter, tablesKeepOrderOfFirstUseAndNoDuplicates) {
    TRtfWriter w("{\\rtf0\\ansi");
    EXPECT_EQ(w.ColorIndex(0, 0, 0), 0);
    EXPECT_EQ(w.ColorIndex(255, 255, 255), 1);
    EXPECT_EQ(w.ColorIndex(0, 0, 0), 0);
    EXPECT_EQ(w.AddColor(0, 0, 0), 2);
    EXPECT_EQ(w.FontIndex("Arial"), 0);
    EXPECT_EQ(w.FontIndex("宋体", "modern"), 1);
    EXPECT_EQ(w.FontIndex("ARIAL"), 0);
    EXPECT_EQ(w.ColorTable(), "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue0;}");
    EXPECT_EQ(w.FontTable(),
              "{\\fonttbl{\\f0\\fnil\\fcharset134 Arial;}{\\f1\\fmodern\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}");
}

TEST(RtfWriter, documentIsHeaderTablesBodyAndClosingBrace) {
    TRtfWriter w;
    w.FontIndex("SimSun");
    w.ColorIndex(255, 0, 0);
    w.Raw("\\f0\\cf0 ");
    w.Text("x");
    w.Line("\\par");
    EXPECT_EQ(w.Document(), "{\\rtf1\\ansi\\ansicpg936\\uc2\r\n"
                            "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\r\n"
                            "{\\colortbl\\red255\\green0\\blue0;}\r\n"
                            "\\f0\\cf0 x\\par\r\n}");
    TRtfWriter empty("{\\rtf0\\ansi");
    EXPECT_EQ(empty.Document(), "{\\rtf0\\ansi\r\n}");
}

// A table of Chinese texts with the characters RTF reserves, saved as a
// file: both kinds of reader see the texts exactly, and every byte of the
// file is ASCII.
TEST(RtfWriter, chineseTableReadsBackInBothKindsOfReader) {
    const std::vector<std::vector<std::string>> rows = {
        {"书名", "作者", "定价"},
        {"红楼梦{上}", "曹雪芹", "45.00"},
        {"C:\\图书\\目录", "鲁迅 & 许广平", "12.50"},
    };
    TRtfWriter w;
    int f = w.FontIndex("宋体");
    w.ColorIndex(0, 0, 0);
    for (const auto& row : rows) {
        w.Line("\\trowd\\trgaph40");
        for (size_t i = 0; i < row.size(); ++i)
            w.Line("\\clbrdrl\\brdrs\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" +
                   std::to_string(1440 * (i + 1)));
        for (const auto& cell : row) {
            w.Raw("\\pard\\intbl{\\f" + std::to_string(f) + "\\fs18 ");
            w.Text(cell);
            w.Line("\\cell}");
        }
        w.Line("\\pard\\intbl\\row");
    }
    std::filesystem::create_directories(kOut);
    const std::string file = kOut + "chinese-table.rtf";
    std::string doc = w.Document();
    {
        std::ofstream out(file, std::ios::binary);
        out << doc;
    }
    {
        std::ofstream index(kOut + "index.tsv");
        index << "file\twhat it shows\texpected text\n"
              << "chinese-table.rtf\tthree-row table of Chinese texts with braces and backslashes\t红楼梦{上}\n";
    }
    for (unsigned char c : doc) ASSERT_LT(c, 128) << "the writer must write ASCII only";

    std::string expected;
    for (const auto& row : rows) {
        for (const auto& cell : row) expected += cell + "\t";
        expected += "\n";
    }
    const std::string reader = "python3 " SOURCE_DIR "/tests/support/rtf_text.py '" + file + "' ";
    EXPECT_EQ(run(reader + "unicode"), expected);
    EXPECT_EQ(run(reader + "legacy"), expected);
}

} // namespace
