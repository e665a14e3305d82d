// The in-memory table's file codecs on their own: byte-exact pieces of the
// text and binary formats, and every field type through both. The table's
// use of them is tested in VqMemTableFileTest.cpp; damaged input in
// VqMemTableCorruptTest.cpp.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <cmath>
#include <cstring>

#include "vq/VqMemTableFormat.h"

using namespace VqMemFile;

namespace {

std::string Hex(std::string_view s) {
    static const char* d = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : s) {
        if (!r.empty()) r.push_back(' ');
        r.push_back(d[c >> 4]);
        r.push_back(d[c & 15]);
    }
    return r;
}

std::string Ext(double v) {
    uint8_t b[10];
    DoubleToExtended(v, b);
    return Hex(std::string_view(reinterpret_cast<char*>(b), 10));
}

} // namespace

TEST(VqMemTableFormat, twoStringFieldsDataOnlyGiveThreeExactLines) {
    TextWriter w;
    w.NamesLine({"Code", "Name"});
    w.BeginRecord();
    w.Cell(ValueToCell(tnString, std::string("A1")));
    w.Cell(ValueToCell(tnString, std::string("书")));
    w.BeginRecord();
    w.Cell(ValueToCell(tnString, std::string("A2")));
    w.NullCell();
    EXPECT_EQ(w.Finish(true), "\"Code\",\"Name\",\r\n\"A1\",\"\xCA\xE9\",\r\n\"A2\",\r\n");
}

TEST(VqMemTableFormat, refusedLastRecordKeepsEveryComma) {
    TextWriter w;
    w.NamesLine({"Code"});
    w.BeginRecord();
    w.Cell(QuoteCell("A1"));
    EXPECT_EQ(w.Finish(false), "\"Code\",\r\n\"A1\",\r\n");
}

TEST(VqMemTableFormat, definitionBlockIsExact) {
    FieldDef code{"Code", tnString, 20, "条码", "", 10, true, false, false};
    FieldDef qty{"Qty", tnInteger, 0, "数\"量", "", 5, false, true, false};
    IndexDef idx{"ByCode", "Code;Qty", "ByCode", true, false, false, true};
    TextWriter w;
    std::vector<IndexDef> idxs{idx};
    w.DefinitionBlock({code, qty}, &idxs);
    w.NamesLine({"条码", "数\"量"});
    const std::string expected = "\"@@FILE VERSION@@\",\"200\"\r\n"
                                 "\"@@TABLEDEF START@@\"\r\n"
                                 "\"Code=String,20,\"\"\xCC\xF5\xC2\xEB\"\",\"\"\"\",10,REQ\"\r\n"
                                 "\"Qty=Integer,0,\"\"\xCA\xFD\"\"\"\"\xC1\xBF\"\",\"\"\"\",5,RO\"\r\n"
                                 "\"@@INDEXDEF START@@\"\r\n"
                                 "\"ByCode=\"\"Code;Qty\"\",\"\"ByCode\"\",DESC,UNIQ\"\r\n"
                                 "\"@@INDEXDEF END@@\"\r\n"
                                 "\"@@TABLEDEF END@@\"\r\n"
                                 "\"\xCC\xF5\xC2\xEB\",\"\xCA\xFD\"\"\xC1\xBF\",\r\n";
    EXPECT_EQ(w.Finish(true), expected);

    const TextFile f = ParseTextFile(expected);
    EXPECT_TRUE(f.DefinitionBlock);
    EXPECT_TRUE(f.IndexBlock);
    ASSERT_EQ(f.Fields.size(), 2u);
    EXPECT_EQ(f.Fields[0], code);
    EXPECT_EQ(f.Fields[1], qty);
    ASSERT_EQ(f.Indexes.size(), 1u);
    EXPECT_EQ(f.Indexes[0], idx);
    EXPECT_TRUE(f.Rows.empty());
}

TEST(VqMemTableFormat, flagTextInsideDisplayNameIsNoFlag) {
    const TextFile f = ParseTextFile(
        "\"@@TABLEDEF START@@\"\r\n\"A=String,5,\"\",REQ,RO\"\",\"\"\"\",3\"\r\n\"@@TABLEDEF END@@\"\r\n");
    ASSERT_EQ(f.Fields.size(), 1u);
    EXPECT_EQ(f.Fields[0].DisplayName, ",REQ,RO");
    EXPECT_FALSE(f.Fields[0].Required);
    EXPECT_FALSE(f.Fields[0].ReadOnly);
}

TEST(VqMemTableFormat, invisibleFlagIsRead) {
    const TextFile f = ParseTextFile(
        "\"@@TABLEDEF START@@\"\n\"A=Memo,0,\"\"a\"\",\"\"\"\",3,INV\"\n\"@@TABLEDEF END@@\"\n\"a\",\n\"x\"");
    ASSERT_EQ(f.Fields.size(), 1u);
    EXPECT_TRUE(f.Fields[0].Invisible);
    EXPECT_EQ(f.Fields[0].Type, tnMemo);
    ASSERT_EQ(f.Rows.size(), 1u);
    EXPECT_EQ(f.Rows[0][0], "x");
}

TEST(VqMemTableFormat, recordLinesSplitIntoCells) {
    const TextFile f = ParseTextFile("\"N1\",\"N2\",\r\n\"a\"\"b\",,\"c\",\r\n\r\n");
    ASSERT_EQ(f.Rows.size(), 1u);
    ASSERT_EQ(f.Rows[0].size(), 3u);
    EXPECT_EQ(f.Rows[0][0], "a\"b");
    EXPECT_FALSE(f.Rows[0][1].has_value());
    EXPECT_EQ(f.Rows[0][2], "c");
    const TextFile g = ParseTextFile(std::string_view("\"N\",\r\n\"\",\0\"z\"", 14));
    ASSERT_EQ(g.Rows.size(), 2u);
    EXPECT_EQ(g.Rows[0][0], "");
    EXPECT_EQ(g.Rows[1][0], "z");
}

TEST(VqMemTableFormat, escapesAreExactAndReversible) {
    const std::string s("a\n\r\0%b", 6);
    EXPECT_EQ(EscapeText(s), "a%n%c%0%%b");
    EXPECT_EQ(UnescapeText("a%n%c%0%%b"), s);
    EXPECT_EQ(UnescapeText("50%x%"), "50%x%");
}

struct SixBitRow {
    const char* name;
    std::string bytes;
    std::string text;
};
class VqMemTableSixBit : public ::testing::TestWithParam<SixBitRow> {};
TEST_P(VqMemTableSixBit, encodesAndDecodes) {
    EXPECT_EQ(BytesToSixBit(GetParam().bytes), GetParam().text);
    EXPECT_EQ(SixBitToBytes(GetParam().text), GetParam().bytes);
}
INSTANTIATE_TEST_SUITE_P(Rows, VqMemTableSixBit,
                         ::testing::Values(SixBitRow{"Empty", "", ""},
                                           SixBitRow{"OneByte", std::string("\xFF", 1), "_#"},
                                           SixBitRow{"TwoBytes", std::string("\x01\x02", 2), "!( "},
                                           SixBitRow{"ThreeBytes", std::string("\x00\xFF\x10", 3), " \\/$"}),
                         RowName());

struct ExtRow {
    const char* name;
    double value;
    const char* bytes;
};
class VqMemTableExtended : public ::testing::TestWithParam<ExtRow> {};
TEST_P(VqMemTableExtended, encodesByHandAndBack) {
    EXPECT_EQ(Ext(GetParam().value), GetParam().bytes);
    uint8_t b[10];
    DoubleToExtended(GetParam().value, b);
    const double back = ExtendedToDouble(b);
    if (std::isnan(GetParam().value))
        EXPECT_TRUE(std::isnan(back));
    else
        EXPECT_EQ(std::memcmp(&back, &GetParam().value, sizeof back), 0);
}
INSTANTIATE_TEST_SUITE_P(Rows, VqMemTableExtended,
                         ::testing::Values(ExtRow{"Zero", 0.0, "00 00 00 00 00 00 00 00 00 00"},
                                           ExtRow{"NegativeZero", -0.0, "00 00 00 00 00 00 00 00 00 80"},
                                           ExtRow{"One", 1.0, "00 00 00 00 00 00 00 80 FF 3F"},
                                           ExtRow{"MinusTwoAndAHalf", -2.5, "00 00 00 00 00 00 00 A0 00 C0"},
                                           ExtRow{"OneTenth", 0.1, "00 D0 CC CC CC CC CC CC FB 3F"},
                                           ExtRow{"Infinity", HUGE_VAL, "00 00 00 00 00 00 00 80 FF 7F"},
                                           ExtRow{"SmallestDenormal", 4.9406564584124654e-324,
                                                  "00 00 00 00 00 00 00 80 CD 3B"},
                                           ExtRow{"Largest", 1.7976931348623157e308, "00 F8 FF FF FF FF FF FF FE 43"}),
                         RowName());

TEST(VqMemTableFormat, extendedBeyondDoubleRangeBecomesInfinityOrZero) {
    const uint8_t big[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};
    EXPECT_EQ(ExtendedToDouble(big), HUGE_VAL);
    const uint8_t tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x80};
    EXPECT_EQ(ExtendedToDouble(tiny), 0.0);
    EXPECT_TRUE(std::signbit(ExtendedToDouble(tiny)));
}

TEST(VqMemTableFormat, integersTakeTheSmallestTag) {
    ValueWriter w;
    w.Integer(-128);
    w.Integer(127);
    w.Integer(200);
    w.Integer(-32769);
    w.Boolean(true);
    w.Boolean(false);
    EXPECT_EQ(Hex(w.Bytes()), "02 80 02 7F 03 C8 00 04 FF 7F FF FF 09 08");
}

TEST(VqMemTableFormat, textsTakeTheirTag) {
    ValueWriter w;
    w.Text("ab");
    w.Text(std::string(256, 'x'));
    w.Text("书");
    const std::string& b = w.Bytes();
    EXPECT_EQ(Hex(b.substr(0, 4)), "06 02 61 62");
    EXPECT_EQ(Hex(b.substr(4, 5)), "0C 00 01 00 00");
    EXPECT_EQ(Hex(b.substr(4 + 5 + 256)), "14 03 00 00 00 E4 B9 A6");
}

TEST(VqMemTableFormat, binaryFileIsExact) {
    ValueWriter w;
    w.Signature();
    w.Integer(200);
    w.ListBegin();
    w.Text("Code");
    w.Text("String");
    w.Integer(20);
    w.Text("条码");
    w.Text("");
    w.Integer(10);
    w.Boolean(true);
    w.Boolean(false);
    w.ListEnd();
    w.ListBegin();
    w.ListEnd();
    w.ListBegin();
    WriteBinaryValue(w, tnString, std::string("A1"));
    WriteBinaryValue(w, tnString, std::monostate{});
    w.ListEnd();
    EXPECT_EQ(Hex(w.Bytes()), "54 50 46 30 03 C8 00 01 06 04 43 6F 64 65 06 06 53 74 72 69 6E 67 02 14 "
                              "14 06 00 00 00 E6 9D A1 E7 A0 81 06 00 02 0A 09 08 00 01 00 01 06 02 41 "
                              "31 06 00 00");
    const BinaryFile f = ParseBinaryFile(w.Bytes(), 0);
    ASSERT_EQ(f.Fields.size(), 1u);
    EXPECT_EQ(f.Fields[0], (FieldDef{"Code", tnString, 20, "条码", "", 10, true, false, false}));
    ASSERT_EQ(f.Rows.size(), 2u);
    EXPECT_EQ(BinaryToValue(tnString, f.Rows[0][0], "Code"), Value(std::string("A1")));
    EXPECT_EQ(BinaryToValue(tnString, f.Rows[1][0], "Code"), Value(std::string("")));
}

struct TypeRow {
    const char* name;
    int type;
    Value value;
    const char* cell; // the text-format cell
};
class VqMemTableEveryType : public ::testing::TestWithParam<TypeRow> {};

TEST_P(VqMemTableEveryType, textCellIsExactAndReadsBack) {
    const auto& p = GetParam();
    const std::string cell = ValueToCell(p.type, p.value);
    if (p.cell) EXPECT_EQ(cell, p.cell);
    size_t pos = 0;
    std::optional<std::string> raw;
    ASSERT_TRUE(ReadCell(cell, pos, raw));
    EXPECT_EQ(CellToValue(p.type, 0, *raw, "F"), p.value);
}

TEST_P(VqMemTableEveryType, binaryValueReadsBack) {
    const auto& p = GetParam();
    ValueWriter w;
    WriteBinaryValue(w, p.type, p.value);
    ValueReader r(w.Bytes());
    EXPECT_EQ(BinaryToValue(p.type, r.Any(), "F"), p.value);
    EXPECT_EQ(r.Position(), w.Bytes().size());
}

INSTANTIATE_TEST_SUITE_P(Rows, VqMemTableEveryType,
                         ::testing::Values(TypeRow{"String", tnString, std::string("a\"b%\n"), "\"a\"\"b%%%n\""},
                                           TypeRow{"FixedChar", tnFixedChar, std::string("书"), "\"书\""},
                                           TypeRow{"WideString", tnWideString, std::string("x"), "\"x\""},
                                           TypeRow{"Memo", tnMemo, std::string("l1\r\nl2", 6), "\"l1%c%nl2\""},
                                           TypeRow{"FmtMemo", tnFmtMemo, std::string("a\0b", 3), "\"a%0b\""},
                                           TypeRow{"SmallInt", tnSmallInt, int64_t(-32768), "\"-32768\""},
                                           TypeRow{"Integer", tnInteger, int64_t(-2147483647 - 1), "\"-2147483648\""},
                                           TypeRow{"Word", tnWord, int64_t(65535), "\"65535\""},
                                           TypeRow{"AutoInc", tnAutoInc, int64_t(7), "\"7\""},
                                           TypeRow{"LargeInt", tnLargeInt, int64_t(1) << 40, "\"1099511627776\""},
                                           TypeRow{"BooleanTrue", tnBoolean, true, "\"True\""},
                                           TypeRow{"BooleanFalse", tnBoolean, false, "\"False\""},
                                           TypeRow{"Float", tnFloat, 0.1, "\"0.1\""},
                                           TypeRow{"FloatLarge", tnFloat, 1.5e20, "\"1.5E20\""},
                                           TypeRow{"FloatSmall", tnFloat, -2.5e-7, "\"-2.5E-7\""},
                                           TypeRow{"Currency", tnCurrency, 12.3456, "\"12.3456\""},
                                           TypeRow{"BCD", tnBCD, -7.5, "\"-7.5\""},
                                           TypeRow{"Date", tnDate, 46000.0, "\"09/12/2025\""},
                                           TypeRow{"Time", tnTime, 0.5 + 1.0 / 86400, "\"12:00:01\""},
                                           TypeRow{"DateTime", tnDateTime, 2.75, "\"01/01/1900 18:00:00\""},
                                           TypeRow{"Blob", tnBlob, std::string("\x00\xFF\x10", 3), "\" \\/$\""},
                                           TypeRow{"Graphic", tnGraphic, std::string("\x89PNG"), "\")\"\"E3'!\""},
                                           TypeRow{"VarBytes", tnVarBytes, std::string("\x01\x02", 2), "\"!( \""},
                                           TypeRow{"TypedBinary", tnTypedBinary, std::string(300, '\xAB'), nullptr}),
                         RowName());
