// The money amount view: digit cells, the cut (not rounded) decimals, the
// overflow stars, the symbol cell, separator colours, the caption row and
// its record.
#include <gtest/gtest.h>

#include <algorithm>

#include "Metafile.h"
#include "report/io/RM_Stream.h"
#include "report/model/RM_Report.h"

namespace {

struct AmountCase {
    const char* name;
    int digits, decimals;
    const char* symbol;
    const char* amount;
    int firstCell;     // the symbol's cell, or the first digit's
    const char* cells; // the characters from firstCell on, symbol as '$'
};
void PrintTo(const AmountCase& c, std::ostream* os) { *os << c.name; }

class MoneyAmounts : public ::testing::TestWithParam<AmountCase> {};

TEST_P(MoneyAmounts, fillTheLastCells) {
    const AmountCase& c = GetParam();
    TRMMoneyView m;
    m.Digits = c.digits;
    m.Decimals = c.decimals;
    m.CurrencySymbol = c.symbol;
    int first = -1;
    auto cells = m.AmountCells(c.amount, first);
    std::string got;
    for (auto& x : cells) got += x == "￥" ? "$" : x;
    EXPECT_EQ(first, c.firstCell);
    EXPECT_EQ(got, c.cells);
}

INSTANTIATE_TEST_SUITE_P(MoneyView, MoneyAmounts,
                         ::testing::Values(AmountCase{"defaults", 12, 2, "￥", "1234.5", 5, "$123450"},
                                           AmountCase{"thirdDecimalIsCutNotRounded", 12, 2, "￥", "1234.567", 5,
                                                      "$123456"},
                                           AmountCase{"overflowWithSymbolIsStars", 4, 2, "￥", "123.45", 0, "$***"},
                                           AmountCase{"noDecimalsCutsTheFraction", 12, 0, "￥", "12.6", 9, "$12"},
                                           AmountCase{"noSymbolStartsOneCellLater", 12, 2, "", "7", 9, "700"},
                                           AmountCase{"overflowWithoutSymbol", 4, 2, "", "12345.6", 0, "****"}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(MoneyView, separatorColoursMarkTheDecimalPointAndThousands) {
    TRMMoneyView m;
    EXPECT_EQ(m.SeparatorColor(10), m.DecimalLineColor); // between the tenth and eleventh cells
    for (int i : {7, 4, 1}) EXPECT_EQ(m.SeparatorColor(i), m.ThousandsLineColor) << i;
    for (int i : {9, 8, 6, 5, 3, 2, 11}) EXPECT_EQ(m.SeparatorColor(i), m.LineColor) << i;
}

// The texts a drawn view leaves on a recording canvas, left to right.
std::vector<std::string> drawnTexts(TRMMoneyView& m) {
    TMetafile mf;
    TMetafileCanvas c(&mf);
    m.Draw(&c);
    auto recs = c.TextRecords();
    std::sort(recs.begin(), recs.end(), [](auto* a, auto* b) { return a->Bounds.Left < b->Bounds.Left; });
    std::vector<std::string> out;
    for (auto* r : recs) out.push_back(r->Text);
    return out;
}

TEST(MoneyView, captionRowReadsFromTheHighestPlace) {
    TRMMoneyView m;
    m.SetBounds(0, 0, 240, 24);
    m.ShowTitle = true;
    EXPECT_EQ(drawnTexts(m),
              (std::vector<std::string>{"十", "亿", "千", "百", "十", "万", "千", "百", "十", "元", "角", "分"}));
}

TEST(MoneyView, amountIsDrawnOneCharacterPerCell) {
    TRMMoneyView m;
    m.SetBounds(0, 0, 240, 24);
    m.Memo = {"1234.5"};
    auto texts = drawnTexts(m);
    EXPECT_EQ(texts, (std::vector<std::string>{"￥", "1", "2", "3", "4", "5", "0"}));
    m.Memo = {"  "};
    EXPECT_TRUE(drawnTexts(m).empty()); // an empty amount: background, frame and lines only
}

// A view with no cells would divide by zero.
TEST(MoneyView, zeroDigitsDrawsWithoutCells) {
    TRMMoneyView m;
    m.SetBounds(0, 0, 240, 24);
    m.Digits = 0;
    m.Memo = {"12"};
    EXPECT_TRUE(drawnTexts(m).empty());
}

TEST(MoneyView, recordRoundTripsAndLoadsByType) {
    TRMMoneyView m;
    m.Name = "MoneyMemo1";
    m.ShowTitle = true;
    m.CurrencySymbol = "$";
    m.Digits = 9;
    m.Decimals = 3;
    m.LineWidth = 2;
    m.LineColor = TColor(0x123456);
    TMemoryStream s;
    m.SaveToStream(s);
    s.SetPosition(0);
    auto v = RMCreateObject(rmgtMoney, "");
    v->LoadFromStream(s);
    auto* back = dynamic_cast<TRMMoneyView*>(v.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_TRUE(back->ShowTitle);
    EXPECT_EQ(back->CurrencySymbol, "$");
    EXPECT_EQ(back->Digits, 9);
    EXPECT_EQ(back->Decimals, 3);
    EXPECT_EQ(back->LineWidth, 2);
    EXPECT_EQ(back->LineColor, TColor(0x123456));
    EXPECT_EQ(back->GetPropValue(" 数字位数").AsInteger(), 9);
    back->SetPropValue(" 货币符号", std::string("￥"));
    EXPECT_EQ(back->CurrencySymbol, "￥");
}

} // namespace
