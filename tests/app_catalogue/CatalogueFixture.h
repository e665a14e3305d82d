// A program folder of its own for each catalogue test (see AppDbFixture).
#pragma once

#include "support/AppDbFixture.h"
#include "support/TestNames.h"

#include "Gbk.h"
#include "SysUtils.h"

#include <initializer_list>
#include <string>
#include <tuple>

class CatalogueFixture : public AppDbFixture {
protected:
    CatalogueFixture() : AppDbFixture("appcatalogue") {}
};

// An input-code dictionary ("Ime.DCT") in dir holding only the characters
// given, each with its wubi, stroke and pinyin letters, at the columns the
// program reads.
inline void WriteInputDictionary(const std::string& dir,
                                 std::initializer_list<std::tuple<const char*, char, char, char>> characters) {
    std::string text;
    for (const auto& [ch, wb, wbh, py] : characters)
        text += Utf8ToGbk(ch) + std::string(4, ' ') + wb + std::string(5, ' ') + wbh + std::string(23, ' ') + py + "\r\n";
    AtomicWriteFile(dir + "Ime.DCT", text);
}
