// Golden bar strings for the symbologies no independent decoder reads here
// (2 of 5 industrial and matrix, MSI, PostNet, UPC-E1), written by hand from
// the published pattern tables; and the check-digit and character rules of
// every encoder. Decoding of what is drawn is in DecodeTest.cpp.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "System.h"
#include "report/barcode/BarcodeSymbols.h"

namespace {

struct GoldenRow {
    const char* name;
    TRMBarcodeType typ;
    const char* text;
    bool checksum;
    std::string bars;
    const char* textAfter;
};

class GoldenBars : public testing::TestWithParam<GoldenRow> {};

TEST_P(GoldenBars, encodesThePublishedPattern) {
    const GoldenRow& row = GetParam();
    barcode::Encoded e = barcode::Encode(row.typ, row.text, row.checksum, csmModulo10);
    EXPECT_EQ(e.Bars, row.bars);
    EXPECT_EQ(e.Text, row.textAfter);
}

// 2 of 5: 1 = wide narrow narrow narrow wide, 2 = narrow wide narrow narrow
// wide. MSI: bit 0 = narrow bar + wide space, bit 1 = wide bar + narrow
// space. PostNet: 1 = 00011, 2 = 00101 (1 a tall bar, 0 a short one).
// EAN sets, as module widths space-bar-space-bar: A(1) 2221, A(2) 2122,
// B(3) 1141, B(4) 2311, A(5) 1231, B(6) 4111.
const GoldenRow kGolden[] = {
    {"Industrial25_12", bcCode_2_5_industrial, "12", false,
     "606050"
     "6050505060"
     "5060505060"
     "605060",
     "12"},
    {"Matrix25_12", bcCode_2_5_matrix, "12", false,
     "705050"
     "60506"
     "0"
     "51506"
     "0"
     "70505",
     "12"},
    {"Matrix25_90", bcCode_2_5_matrix, "90", false,
     "705050"
     "51515"
     "0"
     "50615"
     "0"
     "70505",
     "90"},
    // The usual MSI example: 1234567 carries the check digit 4.
    {"Msi_1234567", bcCodeMSI, "1234567", false,
     "60"
     "51515160"
     "51516051"
     "51516060"
     "51605151"
     "51605160"
     "51606051"
     "51606060"
     "51605151"
     "515",
     "1234567"},
    // 80: the rightmost 0 doubled is 0, plus 8 = 8, check 2.
    {"Msi_80", bcCodeMSI, "80", false,
     "60"
     "60515151"
     "51515151"
     "51516051"
     "515",
     "80"},
    {"PostNet_12", bcCodePostNet, "12", false,
     "51"
     "A1A1A15151"
     "A1A151A151"
     "5",
     "12"},
    // 123456 in number system 1 stands for 1-12345-00006, check digit 2;
    // number system 1 writes the parity row of 2 (EEooEo) inverted.
    {"UpcE1_123456", bcCodeUPC_E1, "1234560", true,
     "505"
     "1615"
     "1516"
     "0535"
     "1705"
     "0625"
     "3505"
     "050505",
     "1234562"},
};

INSTANTIATE_TEST_SUITE_P(Symbologies, GoldenBars, testing::ValuesIn(kGolden),
                         RowName());

TEST(CheckDigits, mod10WeighsThreeFromTheRight) {
    EXPECT_EQ(barcode::AppendMod10CheckDigit("690123456789"), "6901234567892");
    EXPECT_EQ(barcode::AppendMod10CheckDigit("03600029145"), "036000291452");
    EXPECT_EQ(barcode::AppendMod10CheckDigit("1234567"), "12345670");
    EXPECT_EQ(barcode::AppendMod10CheckDigit("000000000000"), "0000000000000");
}

TEST(CheckDigits, mod10RaisesTheIntegerConversionErrorOnALetter) {
    try {
        barcode::AppendMod10CheckDigit("12A");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'A' is not a valid integer value");
    }
}

TEST(CheckDigits, fiveDigitAddOnCheck) {
    // 3 x (5 + 4 + 5) + 9 x (2 + 9) = 141.
    EXPECT_EQ(barcode::AppendAddOnCheckDigit("524950"), "524951");
}

struct UpcERow {
    const char* name;
    const char* six;
    const char* expanded;
    char check;
};

class UpcECheck : public testing::TestWithParam<UpcERow> {};

// Scanners check a UPC-E symbol against the UPC-A number it stands for; a
// check digit taken over the six compressed digits is wrong whenever the
// last of them is 0 to 4, and those labels do not scan.
TEST_P(UpcECheck, upcECheckDigitComesFromTheExpandedUpcA) {
    const UpcERow& row = GetParam();
    EXPECT_EQ(barcode::ExpandUpcE(row.six, 0), row.expanded);
    EXPECT_EQ(barcode::UpcECheckDigit(row.six, 0), row.check);
}

const UpcERow kUpcE[] = {
    {"last0", "123450", "01200000345", '5'}, {"last1", "123451", "01210000345", '4'},
    {"last2", "654322", "06520000432", '6'}, {"last3", "123453", "01230000045", '1'},
    {"last4", "123454", "01234000005", '3'}, {"last6", "123456", "01234500006", '5'},
};
INSTANTIATE_TEST_SUITE_P(Rows, UpcECheck, testing::ValuesIn(kUpcE),
                         RowName());

TEST(CheckDigits, upcEWithChecksumStoresTheExpandedCheckDigit) {
    EXPECT_EQ(barcode::Encode(bcCodeUPC_E0, "1234500", true, csmModulo10).Text, "1234505");
    EXPECT_EQ(barcode::Encode(bcCodeUPC_E0, "1234509", false, csmModulo10).Text, "1234509");
}

// MSI readers double from the rightmost digit; for odd lengths doubling
// from the left gives another digit (9 instead of 4 for 1234567).
TEST(CheckDigits, msiCheckDigitDoublesFromTheRight) {
    EXPECT_EQ(barcode::MsiCheckDigit("1234567"), '4');
    EXPECT_EQ(barcode::MsiCheckDigit("123456"), '6');
    EXPECT_EQ(barcode::MsiCheckDigit("80"), '2');
    EXPECT_EQ(barcode::MsiCheckDigit("0"), '0');
}

TEST(Interleaved25, oddInterleaved25GetsALeadingZeroInsteadOfLosingTheLastDigit) {
    barcode::Encoded odd = barcode::Encode(bcCode_2_5_interleaved, "12345", false, csmModulo10);
    barcode::Encoded padded = barcode::Encode(bcCode_2_5_interleaved, "012345", false, csmModulo10);
    EXPECT_EQ(odd.Bars, padded.Bars);
    EXPECT_EQ(odd.Text, "012345");
    // start + 3 pairs of 10 elements + stop
    EXPECT_EQ(odd.Bars.size(), 4u + 30u + 3u);
}

TEST(Interleaved25, pairsInterleaveBarsOfTheFirstDigitWithSpacesOfTheSecond) {
    // 1 = wnnnw as bars, 2 = nwnnw as spaces.
    EXPECT_EQ(barcode::Encode(bcCode_2_5_interleaved, "12", false, csmModulo10).Bars, "5050"
                                                                                      "6051505061"
                                                                                      "605");
}

struct BadCharRow {
    const char* name;
    TRMBarcodeType typ;
    const char* text;
    const char* message;
};

class UnencodableCharacter : public testing::TestWithParam<BadCharRow> {};

// A character without a pattern used to be skipped or printed as a space,
// so the label scanned as another code; now the error names it.
TEST_P(UnencodableCharacter, unencodableCharacterRaisesNamingIt) {
    const BadCharRow& row = GetParam();
    try {
        barcode::Encode(row.typ, row.text, false, csmModulo10);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, row.message);
    }
}

const BadCharRow kBadChars[] = {
    {"Code39Lower", bcCode39, "ab-1", "TRMBarcode: character <a> cannot be encoded in Code39"},
    {"Code39Asterisk", bcCode39, "A*B", "TRMBarcode: character <*> cannot be encoded in Code39"},
    {"Code39ExtendedChinese", bcCode39Extended, "A中",
     "TRMBarcode: character <中> cannot be encoded in Code39 Extended"},
    {"Code128ALower", bcCode128A, "ABc", "TRMBarcode: character <c> cannot be encoded in Code128A"},
    {"Code128BAccent", bcCode128B, "Aé", "TRMBarcode: character <é> cannot be encoded in Code128B"},
    {"Code128BTab", bcCode128B, "A\tB", "TRMBarcode: character <#9> cannot be encoded in Code128B"},
    {"Ean128BDel", bcCodeEAN128B, "A\x7f", "TRMBarcode: character <#127> cannot be encoded in EAN128B"},
    {"CodabarLetter", bcCodeCodabar, "12E4", "TRMBarcode: character <E> cannot be encoded in Codebar"},
    {"Code93Lower", bcCode93, "a", "TRMBarcode:Code93 bad Data <a>"},
    {"Code93ExtendedChinese", bcCode93Extended, "书1",
     "TRMBarcode: character <书> cannot be encoded in Code93 Extended"},
};
INSTANTIATE_TEST_SUITE_P(Rows, UnencodableCharacter, testing::ValuesIn(kBadChars),
                         RowName());

TEST(FullAscii, code39ExpandsEveryRangeOfTheTable) {
    std::string all;
    for (int ch = 0; ch < 128; ++ch) all += char(ch);
    std::string full = barcode::Code39FullAscii(all, "TRMBarcode");
    EXPECT_EQ(full.substr(0, 2 * 32), "%U$A$B$C$D$E$F$G$H$I$J$K$L$M$N$O$P$Q$R$S$T$U$V$W$X$Y$Z%A%B%C%D%E");
    EXPECT_EQ(barcode::Code39FullAscii(" !\"#$%&'()*+,-./0189:;<=>?@AZ", ""),
              " /A/B/C/D/E/F/G/H/I/J/K/L/M/N/O0189/Z%F%G%H%I%J%VAZ");
    EXPECT_EQ(barcode::Code39FullAscii("[\\]^_`az{|}~\x7f", ""), "%K%L%M%N%O%W+A+Z%P%Q%R%S%T");
}

TEST(FullAscii, code93UsesItsShiftCharacters) {
    EXPECT_EQ(barcode::Code93FullAscii("Lib-00123", ""), "L}I}B{M00123");
    EXPECT_EQ(barcode::Code93FullAscii(std::string("\0\x01$%/+", 6), ""), "]U[A{D{E{O{K");
}

TEST(Code93, shiftCharactersMayBeWrittenDirectly) {
    barcode::Encoded a = barcode::Encode(bcCode93, "[A", false, csmModulo10);
    barcode::Encoded b = barcode::Encode(bcCode93Extended, "\x01", false, csmModulo10);
    EXPECT_EQ(a.Bars, b.Bars);
    EXPECT_EQ(b.Text, "\x01");
}

TEST(Code39, checksumAddsTheModulo43Character) {
    // LIB-00123: 21+18+11+36+0+0+1+2+3 = 92, 92 mod 43 = 6.
    barcode::Encoded with = barcode::Encode(bcCode39, "LIB-00123", true, csmModulo10);
    barcode::Encoded data = barcode::Encode(bcCode39, "LIB-001236", false, csmModulo10);
    EXPECT_EQ(with.Bars, data.Bars);
}

TEST(Code39, asteriskFramesTheData) {
    std::string star = "515060605";
    std::string bars = barcode::Encode(bcCode39, "", false, csmModulo10).Bars;
    EXPECT_EQ(bars, star + "0" + star);
}

TEST(Code128, widthsToBarsAlternatesBarAndSpace) { EXPECT_EQ(barcode::WidthsToBars("2331112"), "6270506"); }

TEST(Code128, codeCPadsAnOddTextWithALeadingZero) {
    barcode::Encoded e = barcode::Encode(bcCode128C, "123", false, csmModulo10);
    EXPECT_EQ(e.Text, "0123");
    EXPECT_EQ(e.Bars, barcode::Encode(bcCode128C, "0123", false, csmModulo10).Bars);
    // start, two symbols, check and stop: 4 x 6 + 7 elements.
    EXPECT_EQ(e.Bars.size(), 31u);
}

TEST(Code128, ean128ChecksumAppendsAMod10DigitToTheText) {
    barcode::Encoded e = barcode::Encode(bcCodeEAN128C, "1234567", true, csmModulo10);
    EXPECT_EQ(e.Text, "12345670");
    EXPECT_EQ(barcode::Encode(bcCodeEAN128C, "1234567", true, csmNone).Text, "01234567");
}

TEST(Ean, fitTextCutsOrPadsWithZeros) {
    EXPECT_EQ(barcode::FitText("123", 13), "0000000000123");
    EXPECT_EQ(barcode::FitText("123456789", 8), "12345678");
}

TEST(Ean, ean13WithChecksumPadsAndAppendsTheCheckDigit) {
    EXPECT_EQ(barcode::Encode(bcCodeEAN13, "123", true, csmModulo10).Text, "0000000001236");
    EXPECT_EQ(barcode::Encode(bcCodeEAN13, "123", false, csmModulo10).Text, "0000000000123");
}

TEST(Ean, lengthErrorsWhenTheCheckDigitIsLeftOff) {
    try {
        barcode::Encode(bcCodeEAN13, "123", true, csmNone);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Invalid Text len (EAN13)");
    }
    try {
        barcode::Encode(bcCodeEAN8, "123", true, csmNone);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Invalid Text len (EAN8)");
    }
}

TEST(Ean, ean13GuardsAndDigitZeroPatterns) {
    std::string bars = barcode::Encode(bcCodeEAN13, "0000000000000", false, csmModulo10).Bars;
    std::string l0 = "2605", r0 = "7150";
    std::string expected = "505";
    for (int i = 0; i < 6; ++i) expected += l0;
    expected += "05050";
    for (int i = 0; i < 6; ++i) expected += r0;
    expected += "505";
    EXPECT_EQ(bars, expected);
}

TEST(AddOn, twoDigitParityFollowsTheValueModFour) {
    // 13 mod 4 = 1: L then G. A(1) = 2221, B(3) = 1141.
    barcode::Encoded e = barcode::Encode(bcCodeUPC_Supp2, "13", false, csmModulo10);
    EXPECT_EQ(e.Bars, "506"
                      "1615"
                      "05"
                      "0535");
}

} // namespace

namespace {

struct SameBarsRow {
    const char* name;
    TRMBarcodeType typ;
    const char* text;
    TRMBarcodeType asTyp;
    const char* asText;
};

class SameBars : public testing::TestWithParam<SameBarsRow> {};

TEST_P(SameBars, encodesAsItsEquivalent) {
    const SameBarsRow& row = GetParam();
    EXPECT_EQ(barcode::Encode(row.typ, row.text, false, csmModulo10).Bars,
              barcode::Encode(row.asTyp, row.asText, false, csmModulo10).Bars);
}

const SameBarsRow kSameBars[] = {
    {"Ean8CutToEightDigits", bcCodeEAN8, "123456789", bcCodeEAN8, "12345678"},
    {"Code39ExtendedLowerCase", bcCode39Extended, "ab", bcCode39, "+A+B"},
    {"Code93ExtendedLowerCase", bcCode93Extended, "a", bcCode93, "}A"},
    {"UpcAPaddedToTwelve", bcCodeUPC_A, "36000291452", bcCodeUPC_A, "036000291452"},
};
INSTANTIATE_TEST_SUITE_P(Rows, SameBars, testing::ValuesIn(kSameBars),
                         RowName());

} // namespace

namespace {

// The digit tables are indexed by the digit; a letter handed straight to
// the encoder must be refused, not read past the table.
TEST(Encode, numericTypeRefusesALetterEvenWhenCalledDirectly) {
    for (TRMBarcodeType t : {bcCode_2_5_interleaved, bcCodeEAN13, bcCodeUPC_E0, bcCodePostNet}) {
        try {
            barcode::Encode(t, "12a4", false, csmModulo10);
            ADD_FAILURE() << BarcodeTypeTable[t].Name;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "Barcode must be numeric");
        }
    }
}

} // namespace
