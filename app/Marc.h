// Reading bibliographic records in the ISO 2709 exchange structure with
// UNIMARC tags, as the MARC import takes them: GBK bytes, one record per
// line or records ending in 0x1D. Offsets and lengths in a record are byte
// counts of the GBK text, so a record is sliced as raw bytes and each value
// is decoded from GBK only after it was cut out.
// Not here: the dialog and the database writes (uMarcIn).
#pragma once

#include "System.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One record of a MARC file: its number in the file (1-based, counting
// every line or 0x1D-ended piece, blank ones included, so it matches the
// line number of a one-record-per-line file) and its raw bytes.
struct TMarcChunk {
    int Number = 0;
    std::string_view Bytes;
};

// The records of a file's bytes, split at line breaks and at the record
// terminator 0x1D (both forms of file, and a mix, read the same).
std::vector<TMarcChunk> SplitMarcRecords(std::string_view file);

// The columns of BookinfoPre one record fills, in UTF-8, cut to the
// columns' widths in GBK bytes at a character boundary; a subfield the
// record does not have is absent. Price is separate: see MarcPrice.
struct TMarcBook {
    std::vector<std::pair<std::string, std::string>> Columns; // column -> value
    std::optional<Currency> Price;
    // The value of a column, "" when absent.
    std::string Value(const std::string& column) const;
};

enum class TMarcParse { Ok, Blank, Damaged };

// Parses one record: the 24-byte leader is skipped, blanks and control
// bytes are trimmed from both ends, the directory runs to the first 0x1E
// and holds floor(length / 12) entries (an incomplete last entry is
// passed over). A later field of the same tag overwrites only the
// subfields it has. Blank: nothing but blanks. Damaged: an entry whose
// length or start is not a number, or a field outside the record (the
// record is never read past its end); out is then unspecified.
TMarcParse ParseMarcRecord(std::string_view record, TMarcBook& out);

// The price of 010 $d: the digits and the first point are kept, every
// other character dropped; nothing left, a lone point, or more than a
// currency can hold give no price.
std::optional<Currency> MarcPrice(const std::string& value);
