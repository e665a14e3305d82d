// The generated input-code dictionary beside the executable: byte layout of
// known characters' lines and coverage of the common character set.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

std::map<std::string, std::string> loadDictionary() {
    std::ifstream in(std::string(BUILD_DIR) + "/program/Ime.DCT", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string all = s.str();
    std::map<std::string, std::string> lines;
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = all.find("\r\n", at);
        if (end == std::string::npos) end = all.size();
        const std::string line = all.substr(at, end - at);
        if (line.size() >= 2) lines.emplace(line.substr(0, 2), line);
        at = end + 2;
    }
    return lines;
}

struct Known {
    const char* name;
    const char* gbk; // the character's two GBK bytes
    char wb, wbh, py;
};


class ImeDct : public ::testing::TestWithParam<Known> {};

TEST_P(ImeDct, lineHoldsCodesAtTheirColumns) {
    static const auto lines = loadDictionary();
    ASSERT_FALSE(lines.empty()) << "Ime.DCT missing from the program folder";
    const Known& k = GetParam();
    const auto it = lines.find(k.gbk);
    ASSERT_NE(it, lines.end());
    std::string expected(37, ' ');
    expected[0] = k.gbk[0];
    expected[1] = k.gbk[1];
    expected[6] = k.wb;
    expected[12] = k.wbh;
    expected[36] = k.py;
    EXPECT_EQ(it->second, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, ImeDct,
    ::testing::Values(Known{"Zhong", "\xD6\xD0", 'k', 's', 'z'}, Known{"Hao", "\xBA\xC3", 'v', 'z', 'h'},
                      Known{"Yi", "\xD2\xBB", 'g', 'h', 'y'}, Known{"XingMostlyX", "\xD0\xD0", 't', 'p', 'x'},
                      Known{"A", "\xB0\xA1", 'k', 's', 'a'}, Known{"Shu", "\xCA\xE9", 'n', 'z', 's'}),
    RowName());

TEST(ImeDctCoverage, everyCommonCharacterHasAllThreeCodes) {
    const auto lines = loadDictionary();
    int missing = 0;
    for (unsigned hi = 0xB0; hi <= 0xF7; ++hi)
        for (unsigned lo = 0xA1; lo <= 0xFE; ++lo) {
            if (hi == 0xD7 && lo > 0xF9) continue;
            const auto it = lines.find(std::string{char(hi), char(lo)});
            if (it == lines.end() || it->second[6] == ' ' || it->second[12] == ' ' || it->second[36] == ' ') ++missing;
        }
    EXPECT_EQ(missing, 0);
}

} // namespace
