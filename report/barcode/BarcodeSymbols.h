// The symbologies as plain functions: text in, bar string out, with the
// check characters each symbology adds. No canvas, no module widths and no
// component state here; TRMBarcode (RM_Barcode.h) wraps these and draws.
// A bar string is one character per element: '0'-'3' spaces, '5'-'8' bars,
// 'A'-'D' short bars, the digit being the width index w0..w3.
#pragma once

#include <string>
#include <string_view>

enum TRMBarcodeType {
    bcCode_2_5_interleaved,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
    bcCodeUPC_A,
    bcCodeUPC_E0,
    bcCodeUPC_E1,
    bcCodeUPC_Supp2,
    bcCodeUPC_Supp5,
    bcCodeEAN128A,
    bcCodeEAN128B,
    bcCodeEAN128C,
};

constexpr int BarcodeTypeCount = 23;

enum TRMCheckSumMethod { csmNone, csmModulo10 };

struct TRMBarcodeTypeInfo {
    const char* Name; // the name the barcode editor lists
    bool Num;         // numeric only
};

extern const TRMBarcodeTypeInfo BarcodeTypeTable[BarcodeTypeCount];

namespace barcode {

// What an encoder made: the bar string, and the text as the component keeps
// it afterwards (fitted digits, appended check digit, leading zero).
struct Encoded {
    std::string Bars;
    std::string Text;
};

// Encodes `text` (already trimmed for numeric-only types) in symbology
// `typ`. Raises Exception with the component's English texts ("Barcode
// must be numeric", "Invalid Text len (EAN13)", "%s:Code93 bad Data <%s>",
// or a text naming a character the symbology has no encoding for);
// EConvertError where a mod-10 check digit meets a non-digit. `className`
// fills the "%s" of those texts.
Encoded Encode(TRMBarcodeType typ, std::string_view text, bool checksum, TRMCheckSumMethod method,
               std::string_view className = "TRMBarcode");

// Shared steps, public so that tests can pin their arithmetic.
std::string FitText(std::string_view text, size_t n);
std::string AppendMod10CheckDigit(std::string_view s);
std::string AppendAddOnCheckDigit(std::string_view s);
// The check digit of a 6-digit zero-suppressed UPC-E body, computed over
// the UPC-A number it stands for (number system 0 or 1), as scanners do.
char UpcECheckDigit(std::string_view sixDigits, int numberSystem);
// The UPC-A digits (11, without check) a UPC-E body stands for.
std::string ExpandUpcE(std::string_view sixDigits, int numberSystem);
char MsiCheckDigit(std::string_view digits);
// Element widths (digits '1'-'4', bar first) to bar string.
std::string WidthsToBars(std::string_view widths);
// Full ASCII expansions; a character from 128 up raises.
std::string Code39FullAscii(std::string_view text, std::string_view className);
std::string Code93FullAscii(std::string_view text, std::string_view className);

} // namespace barcode
