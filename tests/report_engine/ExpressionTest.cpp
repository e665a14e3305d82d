// Expressions with their values, the function library and the Chinese
// number words.
#include <gtest/gtest.h>

#include "report/model/RM_Report.h"

namespace {

struct ExprCase {
    const char* name;
    const char* expr;
    const char* expected; // the value as text
};
void PrintTo(const ExprCase& c, std::ostream* os) { *os << c.name; }

class Expressions : public ::testing::TestWithParam<ExprCase> {};

TEST_P(Expressions, evaluate) {
    TRMReport r;
    r.Variables["X"] = 5;
    r.Dictionary.Variables = {{"Price", "12.5"}, {"Twice", "[Price] * 2"}};
    const ExprCase& c = GetParam();
    EXPECT_EQ(VarToStr(r.Calc(c.expr)), c.expected) << c.expr;
}

const ExprCase kExpr[] = {
    {"priorities", "1 + 2 * 3", "7"},
    {"parentheses", "(1 + 2) * 3", "9"},
    {"unaryMinusAfterTimes", "2 * -3", "-6"},
    {"divisionByZeroIsZero", "5 / 0", "0"},
    {"divisionGivesFraction", "7 / 2", "3.5"},
    {"modulo", "7 mod 3", "1"},
    {"comparisonGivesOne", "3 > 2", "1"},
    {"orBindsLikeTimes", "(1 = 1) or (2 = 3)", "1"},
    {"textJoins", "'a' + 'b'", "ab"},
    {"quoteInText", "'it''s'", "it's"},
    {"ifIsLazy", "IF(1 = 1, 'yes', 1 / 0)", "yes"},
    {"copyCountsCharacters", "COPY('图书馆', 3, 2)", "书"},
    {"pos", "POS('b', 'abc')", "2"},
    {"namecase", "NAMECASE('abc')", "Abc"},
    {"trueIsOne", "TRUE", "1"},
    {"reportVariable", "X + 1", "6"},
    {"dictionaryVariable", "[Twice]", "25"},
    {"maxnumOfEqualTakesFirst", "MAXNUM(2, 2)", "2"},
    {"strToFloatEmpty", "STRTOFLOAT('')", "0"},
    {"cnumberTwelve", "CNUMBER(12)", "十二"},
    {"cnumber105", "CNUMBER(105)", "一百零五"},
    {"cnumberTenThousand", "CNUMBER(100000)", "十万"},
    {"cnumberMillion", "CNUMBER(1000000)", "一百万"},
    {"cnumberHalf", "CNUMBER(0.5)", "点五"},
    {"cnumberNegative", "CNUMBER(-3)", "负三"},
    {"cnumberDecimals", "CNUMBER(1.05)", "一点零五"},
    {"cnumberHundredMillionHasNoWan", "CNUMBER(100000000)", "一亿"},
    {"money100", "CurrToBigNum(100)", "壹佰圆整"},
    {"money105", "CurrToBigNum(105)", "壹佰零伍圆整"},
    {"money10", "CurrToBigNum(10)", "拾圆整"},
    {"money10001", "CurrToBigNum(10001)", "壹万零壹圆整"},
    {"money1010", "CurrToBigNum(1010)", "壹仟零壹拾圆整"},
    {"moneyCents", "CurrToBigNum(12.34)", "拾贰圆叁角肆分"},
    {"moneyHalf", "CurrToBigNum(0.5)", "伍角整"},
    {"moneyZero", "CurrToBigNum(0)", "零整"},
    {"moneyNegative", "CurrToBigNum(-5)", "负伍圆整"},
    {"smallToBig", "SmallToBig(1024)", "壹零贰肆"},
    {"smallToBigWithPoint", "SmallToBig('12.5')", "壹贰点伍"},
    {"singleDigitTens", "SinglNumToBig(1234.5, 2)", "叁"},
    {"singleDigitBeyond", "SinglNumToBig(1234, 5)", ""},
    {"monthLong13", "MonthToEnglishLong(13)", ""},
    {"roundHalfAway", "RMRound(2.5, 0)", "3"},
    {"roundSmall", "RMRound(0.3, 0)", "0"},
    {"roundTwo", "RMRound(3.14159, 2)", "3.14"},
};
INSTANTIATE_TEST_SUITE_P(Report, Expressions, ::testing::ValuesIn(kExpr),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Expressions, variableThatNamesItselfGivesNullInsteadOfRecursing) {
    TRMReport r;
    r.Dictionary.Variables = {{"A", "[B] + 1"}, {"B", "[A]"}};
    Variant v;
    EXPECT_NO_THROW(v = r.Calc("[A]"));
    EXPECT_FALSE(r.BuildErrors.empty());
}

TEST(Expressions, unbalancedParenthesisSaysWhat) {
    TRMReport r;
    try {
        r.Calc("(1 + 2");
        FAIL();
    } catch (const ERMExpressionError& e) {
        EXPECT_FALSE(e.Message.empty());
    }
}

TEST(Expressions, memoTextExpandsBracketsWithFormats) {
    TRMReport r;
    r.Variables["PRICE"] = 1234.5;
    TRMMemoView m;
    EXPECT_EQ(r.ExpandVariables("价格 [Price #N0.00] 元", &m), "价格 1234.50 元");
    EXPECT_EQ(r.ExpandVariables("\\[不是表达式]", &m), "[不是表达式]");
    m.FormatCode = 0x01020200 | '.';
    EXPECT_EQ(r.ExpandVariables("[Price]", &m), "1,234.5");
}

} // namespace

namespace {

struct PostfixCase {
    const char* name;
    const char* expr;
    const char* postfix;
};
void PrintTo(const PostfixCase& c, std::ostream* os) { *os << c.name; }

class Postfix : public ::testing::TestWithParam<PostfixCase> {};

// The postfix text is what scripts and conditions keep and run: operands
// in evaluation order with a blank after each, calls as written, one
// character per operator.
TEST_P(Postfix, compilesToTheOperatorCodes) {
    EXPECT_EQ(TRMParser::CompileToPostfix(GetParam().expr), GetParam().postfix) << GetParam().expr;
}

const PostfixCase kPostfix[] = {
    {"timesBeforePlus", "2+3*4", "2 3 4 *+"},
    {"parenthesesFirst", "(2+3)*4", "2 3 +4 *"},
    {"equalPrioritiesFromTheLeft", "8 - 2 - 1", "8 2 -1 -"},
    {"modIsThirteen", "7 mod 3", "7 3 \r"},
    {"notIsTwelve", "NOT 0", "0 \x0c"},
    {"twoCharacterComparisons", "a <> b", "a b \x03"},
    {"greaterOrEqual", "a >= b", "a b \x01"},
    {"lessOrEqual", "a <= b", "a b \x02"},
    {"orAndAreWordsOfAnyCase", "a Or b and c", "a b \x04" "c \x05"},
    {"intIsAPrefixOperator", "INT(x) * 2", "x \x06" "2 *"},
    {"roundIsFourteen", "ROUND(x)", "x \x0e"},
    {"callStandsAsWritten", "IF(1, 'a', X) + 1", "IF(1, 'a', X)1 +"},
    {"bracketKeepsItsText", "[Price] * 2", "[Price] 2 *"},
    {"arrayElementIsOneOperand", "A[2] + 1", "A[2] 1 +"},
    {"literalKeepsDoubledQuotes", "'It''s'", "'It''s' "},
    {"semicolonEndsIt", "3 + 4 ; 5", "3 4 +"},
    {"unaryMinusIsNine", "-a", "a \x09"},
    {"prefixMinusAfterTimesBindsToItsOperand", "2 * -3", "2 3 \x09*"},
    {"notAfterAndBindsToItsOperand", "a AND NOT b", "a b \x0c\x05"},
    {"percentPrefixIsKept", "%dX + 1", "%dX 1 +"},
    {"quotedNameRunsOverBlanks", "Table.\"Book Name\" = 'x'", "Table.\"Book Name\" 'x' ="},
};
INSTANTIATE_TEST_SUITE_P(Report, Postfix, ::testing::ValuesIn(kPostfix),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Postfix, evaluatesWithTheValueRules) {
    TRMReport r;
    TRMParser& p = r.Parser;
    EXPECT_EQ(VarToStr(p.EvaluatePostfix("")), "0");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix("   ")), "0");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("1,5 + 1.5"))), "3");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("INT(2.9999999999999)"))), "3");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("FRAC(2.9999999999999)"))), "0");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("INT(-2.5)"))), "-2");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("ROUND(2.5) + ROUND(3.5)"))), "6");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("COPY('abcdef', 2, 3)"))), "bcd");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("1 - -1"))), "2");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("1 AND NOT 0"))), "1");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("NOT 5"))), "0");
    EXPECT_EQ(VarToStr(p.EvaluatePostfix(TRMParser::CompileToPostfix("STR(12) + 'a'"))), "12a");
}

TEST(Postfix, namesReachTheOwnerUpperCasedAndBracketsAsWritten) {
    TRMParser p;
    std::vector<std::string> asked;
    p.OnGetValue = [&](const std::string& name, bool bracketed) {
        asked.push_back(bracketed ? "[" + name + "]" : name);
        return Variant(1);
    };
    p.Calc("abc + [Tbl.\"Book name\"] + IF(1, 2, zzz)");
    EXPECT_EQ(asked, (std::vector<std::string>{"ABC", "[Tbl.\"Book name\"]"}));
}

TEST(Postfix, theValueStackIsBoundedAndChecked) {
    TRMParser p;
    // Thirteen values wait on the stack before the first addition.
    std::string deep = "1";
    for (int i = 0; i < 12; ++i) deep = "1+(" + deep + ")";
    std::string shallow = "1";
    for (int i = 0; i < 9; ++i) shallow = "1+(" + shallow + ")";
    EXPECT_EQ(VarToStr(p.Calc(shallow)), "10");
    EXPECT_THROW(p.Calc(deep), ERMExpressionError);
    EXPECT_THROW(p.EvaluatePostfix("1 +"), ERMExpressionError);
    EXPECT_THROW(p.EvaluatePostfix("*"), ERMExpressionError);
    EXPECT_THROW(p.Calc("(1 + 2"), ERMExpressionError);
}

} // namespace
