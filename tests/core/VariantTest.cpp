// Variant types, conversions, arrays and comparison.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "SysUtils.h"
#include "Variants.h"

namespace {

TEST(Variant, typesOfConstructedValues) {
    EXPECT_EQ(VarType(Variant()), varEmpty);
    EXPECT_EQ(VarType(Null()), varNull);
    EXPECT_EQ(VarType(Variant(int16_t(3))), varSmallint);
    EXPECT_EQ(VarType(Variant(3)), varInteger);
    EXPECT_EQ(VarType(Variant(3LL)), varInt64);
    EXPECT_EQ(VarType(Variant(1.5)), varDouble);
    EXPECT_EQ(VarType(Variant(Currency(2))), varCurrency);
    EXPECT_EQ(VarType(Variant(TDateTime(45000))), varDate);
    EXPECT_EQ(VarType(Variant("x")), varString);
    EXPECT_EQ(VarType(Variant(true)), varBoolean);
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_TRUE(VarIsEmpty(Unassigned()));
    EXPECT_TRUE(VarIsClear(Null()));
}

struct ConvRow {
    const char* name;
    Variant value;
    const char* text;
};

class VarToStrTest : public testing::TestWithParam<ConvRow> {};

TEST_P(VarToStrTest, text) { EXPECT_EQ(VarToStr(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Rows, VarToStrTest,
    testing::Values(ConvRow{"Empty", Variant(), ""}, ConvRow{"Null", Null(), ""},
                    ConvRow{"Integer", Variant(-12), "-12"}, ConvRow{"Double", Variant(2.5), "2.5"},
                    ConvRow{"Currency", Variant(Currency::FromRaw(15000)), "1.5"},
                    ConvRow{"Date", Variant(TDateTime(EncodeDate(2024, 3, 5))), "2024-03-05"},
                    ConvRow{"DateTime", Variant(TDateTime(EncodeDate(2024, 3, 5).Val + EncodeTime(8, 0, 0, 0).Val)),
                            "2024-03-05 08:00:00"},
                    ConvRow{"BooleanTrue", Variant(true), "True"}, ConvRow{"Array", VarArrayOf({1, 2}), ""}),
    RowName());

TEST(Variant, conversionsFollowTheClassLibraryRules) {
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant(" 2.5 ").AsDouble(), 2.5);
    EXPECT_EQ(Variant("12.345").AsCurrency().Raw(), 123450);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2); // banker's
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_TRUE(Variant(-1).AsBoolean());
    EXPECT_EQ(Variant("2024-3-5").AsDateTime().Val, EncodeDate(2024, 3, 5).Val);
    EXPECT_EQ(VarToStrDef(Null(), "(none)"), "(none)");
    for (const Variant& bad : {Null(), Variant("abc"), VarArrayOf({1})}) {
        try {
            bad.AsInteger();
            FAIL();
        } catch (const EVariantError& e) {
            EXPECT_EQ(e.Message, "Invalid variant type conversion");
        }
    }
    EXPECT_THROW(Null().AsString(), EVariantError);
    EXPECT_EQ(VarAsType(Variant("7"), varInteger).Type(), varInteger);
}

TEST(Variant, arraysHaveBoundsAndValueSemantics) {
    Variant a = VarArrayCreate(1, 3, varVariant);
    EXPECT_TRUE(VarIsArray(a));
    EXPECT_EQ(VarType(a), varArray | varVariant);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    a[1] = "code";
    a[3] = 5;
    EXPECT_TRUE(VarIsEmpty(a[2]));
    Variant copy = a;
    copy[1] = "changed";
    EXPECT_EQ(a[1].AsString(), "code");
    try {
        a[4] = 1;
        FAIL();
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message, "Variant or safe array index out of bounds");
    }
    Variant keys = VarArrayOf({"A001", 3});
    EXPECT_EQ(VarArrayLowBound(keys), 0);
    EXPECT_EQ(VarArrayHighBound(keys), 1);
    VarArrayRedim(keys, 2);
    EXPECT_EQ(keys.ArrayCount(), 3);
    EXPECT_THROW(VarArrayLowBound(Variant(1)), EVariantError);
}

TEST(Variant, equality) {
    EXPECT_TRUE(VariantsEqual(Variant(1), Variant(1.0)));
    EXPECT_TRUE(VariantsEqual(Variant("5"), Variant(5)));
    EXPECT_FALSE(VariantsEqual(Variant("abc"), Variant(5)));
    EXPECT_FALSE(VariantsEqual(Variant("abc"), Variant("ABC")));
    EXPECT_TRUE(VariantsEqual(Null(), Null()));
    EXPECT_FALSE(VariantsEqual(Null(), Variant()));
    EXPECT_FALSE(VariantsEqual(Null(), Variant(0)));
    EXPECT_TRUE(VariantsEqual(Variant(Currency(2)), Variant(2)));
    EXPECT_TRUE(VarArrayOf({1, "a"}) == VarArrayOf({1, "a"}));
    EXPECT_FALSE(VarArrayOf({1, "a"}) == VarArrayOf({1, "b"}));
    EXPECT_LT(VarCompareValue(Null(), Variant(1)), 0);
    EXPECT_GT(VarCompareValue(Variant(10), Variant("9")), 0);
    EXPECT_LT(VarCompareValue(Variant("安"), Variant("北")), 0);
}

} // namespace
