// What the component draws must scan: each case is painted on a bitmap
// with a quiet zone, kept as a PNG under test-output/barcodes/ (listed in
// index.tsv) and read back with an independent decoder, zbarimg. The
// symbologies zbarimg has no reader for are pinned by golden bar strings in
// SymbolsTest.cpp.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "Graphics.h"
#include "report/barcode/RM_Barcode.h"
#include "report_barcode/PngFile.h"

namespace {

const std::string kOutDir = std::string(BUILD_DIR) + "/test-output/barcodes";

struct DecodeRow {
    const char* name;
    TRMBarcodeType typ;
    std::string text;
    bool checksum;
    std::string scanned; // what a scanner reads
    int angle = 0;
};

bool HaveZbar() { return std::system("command -v zbarimg >/dev/null 2>&1") == 0; }

std::string Zbar(const std::string& png) {
    std::string cmd = "zbarimg --raw -q -Sean2.enable -Sean5.enable -Supca.enable -Supce.enable "
                      "-Si25.min-length=2 '" +
                      png + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// Sets the row of `file` in index.tsv. ctest runs every case in a process
// of its own, in parallel: the file is read, updated and replaced under a
// lock so that no row is lost.
void AddToIndex(const std::string& file, const std::string& symbology, const std::string& input,
                const std::string& scanned) {
    auto tsv = [](std::string s) {
        for (char& ch : s)
            if (ch == '\t' || ch == '\n') ch = ' ';
        return s;
    };
    const std::string index = kOutDir + "/index.tsv";
    int lock = open((index + ".lock").c_str(), O_CREAT | O_RDWR, 0644);
    ASSERT_GE(lock, 0);
    flock(lock, LOCK_EX);
    std::map<std::string, std::string> rows;
    {
        std::ifstream in(index);
        std::string line;
        std::getline(in, line); // header
        while (std::getline(in, line))
            if (!line.empty()) rows[line.substr(0, line.find('\t'))] = line;
    }
    rows[file] = file + "\t" + symbology + "\t" + tsv(input) + "\t" + tsv(scanned);
    {
        std::ofstream out(index + ".tmp", std::ios::trunc);
        out << "file\tsymbology\tinput\tscanned\n";
        for (const auto& [name, line] : rows) out << line << "\n";
    }
    std::filesystem::rename(index + ".tmp", index);
    flock(lock, LOCK_UN);
    close(lock);
}

std::vector<uint8_t> Gray(TBitmap& bmp) {
    int bw = bmp.Width(), bh = bmp.Height();
    std::vector<uint8_t> gray(size_t(bw) * bh);
    for (int y = 0; y < bh; ++y) {
        const uint8_t* line = bmp.ScanLine(y);
        for (int x = 0; x < bw; ++x)
            gray[size_t(y) * bw + x] = uint8_t((line[4 * x] + line[4 * x + 1] + line[4 * x + 2]) / 3);
    }
    return gray;
}

void WhiteBitmap(TBitmap& bmp, int w, int h) {
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(w, h);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, w, h));
}

void Render(TRMBarcode& bc, const std::string& png) {
    const int quiet = 40;
    int w = bc.Width();
    int h = bc.Height();
    bool upright = bc.Angle() == 90 || bc.Angle() == 270;
    int bw = (upright ? h : w) + 2 * quiet;
    int bh = (upright ? w : h) + 2 * quiet;
    TBitmap bmp;
    WhiteBitmap(bmp, bw, bh);
    bc.SetLeft(quiet);
    bc.SetTop(quiet);
    bc.PaintBarcode(bmp.Canvas());
    ASSERT_TRUE(WriteGrayPng(png, bw, bh, Gray(bmp)));
}

class Decode : public testing::TestWithParam<DecodeRow> {};

TEST_P(Decode, scannerReadsWhatWasDrawn) {
    if (!HaveZbar()) GTEST_SKIP() << "zbarimg is not installed";
    const DecodeRow& row = GetParam();
    std::filesystem::create_directories(kOutDir);
    TRMBarcode bc;
    bc.SetTyp(row.typ);
    bc.SetText(row.text);
    bc.SetChecksum(row.checksum);
    bc.SetModul(2);
    bc.SetHeight(80);
    bc.SetAngle(row.angle);
    std::string file = std::string(row.name) + ".png";
    Render(bc, kOutDir + "/" + file);
    AddToIndex(file, BarcodeTypeTable[row.typ].Name, row.text, row.scanned);
    EXPECT_EQ(Zbar(kOutDir + "/" + file), row.scanned);
}

const std::string kAscii =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
const std::string kCode39Set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

const DecodeRow kRows[] = {
    {"I25_even", bcCode_2_5_interleaved, "12345678", false, "12345678"},
    {"I25_allDigits", bcCode_2_5_interleaved, "0123456789", false, "0123456789"},
    {"I25_oddPadded", bcCode_2_5_interleaved, "1234567", false, "01234567"},
    {"Code39_plain", bcCode39, "LIB-00123", false, "LIB-00123"},
    {"Code39_withCheck", bcCode39, "LIB-00123", true, "LIB-001236"},
    {"Code39_wholeSet", bcCode39, kCode39Set, false, kCode39Set},
    {"Code39Ext_mixedCase", bcCode39Extended, "Lib-00123", false, "L+I+B/M00123"},
    {"Code39Ext_punctuation", bcCode39Extended, "a:b@", false, "+A/Z+B%V"},
    {"Code128A_plain", bcCode128A, "LIB-00123", false, "LIB-00123"},
    {"Code128A_wholeSet", bcCode128A, kAscii.substr(0, 64), false, kAscii.substr(0, 64)},
    {"Code128B_mixedCase", bcCode128B, "Lib-00123", false, "Lib-00123"},
    {"Code128B_wholeSet", bcCode128B, kAscii, false, kAscii},
    {"Code128C_even", bcCode128C, "00123456", false, "00123456"},
    {"Code128C_oddPadded", bcCode128C, "123", false, "0123"},
    {"Code93_plain", bcCode93, "LIB-00123", false, "LIB-00123"},
    {"Code93_wholeSet", bcCode93, kCode39Set, false, kCode39Set},
    {"Code93Ext_mixedCase", bcCode93Extended, "Lib-00123", false, "Lib-00123"},
    {"Code93Ext_wholeAscii", bcCode93Extended, kAscii, false, kAscii},
    {"Codabar_digits", bcCodeCodabar, "123456", false, "A123456B"},
    {"Codabar_wholeSet", bcCodeCodabar, "0123456789-$:/.+", false, "A0123456789-$:/.+B"},
    {"EAN8_withCheck", bcCodeEAN8, "1234567", true, "12345670"},
    {"EAN8_withCheck2", bcCodeEAN8, "9638507", true, "96385074"},
    {"EAN8_given", bcCodeEAN8, "12345670", false, "12345670"},
    {"EAN13_withCheck", bcCodeEAN13, "690123456789", true, "6901234567892"},
    {"EAN13_withCheck2", bcCodeEAN13, "978020137962", true, "9780201379624"},
    {"EAN13_everyParity", bcCodeEAN13, "555555555555", true, "5555555555550"},
    {"EAN13_given", bcCodeEAN13, "9876543210982", false, "9876543210982"},
    {"UPCA_withCheck", bcCodeUPC_A, "03600029145", true, "003600029143"},
    {"UPCA_given", bcCodeUPC_A, "036000291452", false, "036000291452"},
    // UPC-E with the sixth digit 0 to 4: the check comes from the UPC-A.
    {"UPCE0_last0", bcCodeUPC_E0, "1234500", true, "01234505"},
    {"UPCE0_last1", bcCodeUPC_E0, "1234510", true, "01234514"},
    {"UPCE0_last2", bcCodeUPC_E0, "6543220", true, "06543226"},
    {"UPCE0_last3", bcCodeUPC_E0, "1234530", true, "01234531"},
    {"UPCE0_last4", bcCodeUPC_E0, "1234540", true, "01234543"},
    {"UPCE0_last6", bcCodeUPC_E0, "1234560", true, "01234565"},
    {"Supp2_12", bcCodeUPC_Supp2, "12", false, "12"},
    {"Supp2_99", bcCodeUPC_Supp2, "99", false, "99"},
    {"Supp5_52495", bcCodeUPC_Supp5, "52495", false, "52495"},
    {"Supp5_98765", bcCodeUPC_Supp5, "98765", false, "98765"},
    {"EAN128A_plain", bcCodeEAN128A, "LIB-00123", false, "LIB-00123"},
    {"EAN128B_mixedCase", bcCodeEAN128B, "Lib-00123", false, "Lib-00123"},
    {"EAN128C_withCheck", bcCodeEAN128C, "1234567", true, "12345670"},
    {"EAN128C_even", bcCodeEAN128C, "00123456", false, "00123456"},
    {"EAN13_angle90", bcCodeEAN13, "690123456789", true, "6901234567892", 90},
    {"EAN13_angle180", bcCodeEAN13, "690123456789", true, "6901234567892", 180},
    {"EAN13_angle270", bcCodeEAN13, "690123456789", true, "6901234567892", 270},
    {"Code128B_angle90", bcCode128B, "Lib-00123", false, "Lib-00123", 90},
    {"Code128B_angle180", bcCode128B, "Lib-00123", false, "Lib-00123", 180},
    {"Code128B_angle270", bcCode128B, "Lib-00123", false, "Lib-00123", 270},
};

INSTANTIATE_TEST_SUITE_P(Symbologies, Decode, testing::ValuesIn(kRows),
                         RowName());

struct AddOnRow {
    const char* name;
    TRMBarcodeType addOnTyp;
    const char* addOn;
    const char* scanned; // add-on first, as zbarimg lists them
};

class DecodeWithAddOn : public testing::TestWithParam<AddOnRow> {};

// A book label: the EAN-13 and, 9 modules to its right, the add-on.
TEST_P(DecodeWithAddOn, scannerReadsBothParts) {
    if (!HaveZbar()) GTEST_SKIP() << "zbarimg is not installed";
    const AddOnRow& row = GetParam();
    std::filesystem::create_directories(kOutDir);
    TRMBarcode ean, add;
    ean.SetText("978020137962");
    ean.SetChecksum(true);
    add.SetTyp(row.addOnTyp);
    add.SetText(row.addOn);
    for (TRMBarcode* bc : {&ean, &add}) {
        bc->SetModul(2);
        bc->SetHeight(80);
        bc->SetTop(40);
    }
    const int quiet = 40, gap = 18;
    int w = ean.Width() + gap + add.Width() + 2 * quiet;
    TBitmap bmp;
    WhiteBitmap(bmp, w, 160);
    ean.SetLeft(quiet);
    ean.PaintBarcode(bmp.Canvas());
    add.SetLeft(quiet + ean.Width() + gap);
    add.PaintBarcode(bmp.Canvas());
    std::string file = std::string(row.name) + ".png";
    ASSERT_TRUE(WriteGrayPng(kOutDir + "/" + file, w, 160, Gray(bmp)));
    std::string scanned = row.scanned;
    AddToIndex(file, std::string("EAN13 + ") + BarcodeTypeTable[row.addOnTyp].Name,
               std::string("978020137962 + ") + row.addOn, scanned);
    EXPECT_EQ(Zbar(kOutDir + "/" + file), scanned);
}

const AddOnRow kAddOns[] = {
    {"EAN13_withSupp5", bcCodeUPC_Supp5, "52495", "52495\n9780201379624"},
    {"EAN13_withSupp2", bcCodeUPC_Supp2, "07", "07\n9780201379624"},
};
INSTANTIATE_TEST_SUITE_P(Composites, DecodeWithAddOn, testing::ValuesIn(kAddOns),
                         RowName());

} // namespace
