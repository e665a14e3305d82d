// The key rules of the catalogue that several windows share: class keys of
// the classification tree, call numbers, and the publisher an ISBN names.
// Everything here is a plain function (the database ones take the
// connection), so the tree window, the editors and the tests agree.
// Not here: the windows and their messages (uSortSet, the editors).
#pragma once

#include "ADODB.h"

#include <optional>
#include <string>
#include <vector>

// The root of the classification tree is not a row; its key is "00".
inline constexpr const char* RootClassKey = "00";

// The key of a new class under parentKey, given the keys of its present
// children: parentKey + four digits, "0000" for the first child, else one
// more than the largest number among the children's last four digits
// (compared as numbers, so legacy keys of other widths cannot make the
// maximum repeat an existing key; keys whose last four characters are not
// digits are passed over). nullopt when 9999 is taken: the level is full.
std::optional<std::string> NextClassKey(const std::string& parentKey, const std::vector<std::string>& siblingKeys);

// The same, reading the children of parentKey from table Type.
std::optional<std::string> NextClassKey(TADOConnection* c, const std::string& parentKey);

// A call number: the running number within a class and the text shown on
// the spine ("TP31/8").
struct TCallNumber {
    std::string SortNum;
    std::string Scode;
};

// The next call number of class sortCode for books, given the SortNum
// values the class already uses: one more than the largest numeric value
// ("1" for the first copy); empty and non-numeric values are passed over.
TCallNumber NextBookCallNumber(const std::string& sortCode, const std::vector<std::string>& usedSortNums);

// The next call number of class sortCode for periodicals, given the Scode
// values of the class's copies: one more than the largest number after the
// last "/" among those that read sortCode + "/" + number; others (another
// class that begins the same, a non-numeric suffix) are passed over.
TCallNumber NextPeriodicalCallNumber(const std::string& sortCode, const std::vector<std::string>& usedScodes);

// The publisher a typed ISBN names: for prefix lengths 4 to 10, the first
// prefix of the ISBN that exactly one publisher holds as its Isbn; "" when
// none does. publishersWithPrefix returns the publishers holding a prefix.
template <class Lookup>
std::string PublisherFromIsbn(const std::string& isbn, Lookup publishersWithPrefix) {
    for (size_t n = 4; n <= 10 && n <= isbn.size(); ++n) {
        const std::vector<std::string> names = publishersWithPrefix(isbn.substr(0, n));
        if (names.size() == 1) return names.front();
    }
    return {};
}
// The same on table Bookpub.
std::string PublisherFromIsbn(TADOConnection* c, const std::string& isbn);
