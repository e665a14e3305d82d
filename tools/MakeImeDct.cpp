// Build-time generator of "Ime.DCT", the input-code dictionary the program
// reads to fill the PY, WB and WBH columns: one GBK line per Chinese
// character with its wubi letter at byte column 7, its five-stroke letter
// (h s p n z) at column 13 and its pinyin initial at column 37.
// It reads the packaged input-method tables; it is not part of the program.
//
// Usage: MakeImeDct <rime-data folder> <output file>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One letter per character: the first code the table gives, or with weights
// ("行\txing\t91.78%") the code of the most frequent reading. The stroke
// table lists codes after Taiwan's glyphs first and then, below a comment
// naming Mainland China, the mainland stroke orders: those win, as this
// system's names are in simplified characters ("书": zzsn, not hszsn).
struct Letter {
    char letter = 0;
    double weight = -1;
};

using Table = std::map<std::string, Letter>;

// Reads a dictionary table: the lines after "..." are "text<TAB>code[<TAB>weight]".
// Only single characters count; a phrase teaches nothing about one character.
Table readTable(const std::string& path, bool byPercent) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "MakeImeDct: cannot read " << path << "\n";
        std::exit(1);
    }
    Table t;
    std::string line;
    bool body = false;
    double section = 0;
    while (std::getline(in, line)) {
        if (!body) {
            body = line == "...";
            continue;
        }
        if (!line.empty() && line[0] == '#' && line.find("Mainland") != std::string::npos) section = 1;
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        if (tab == std::string::npos || tab + 1 >= line.size()) continue;
        const std::string text = line.substr(0, tab);
        const unsigned char lead = static_cast<unsigned char>(text[0]);
        const std::size_t charLen = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (text.size() != charLen || charLen < 3) continue;
        const char c = line[tab + 1];
        if (c < 'a' || c > 'z') continue;
        double w = section;
        const auto tab2 = line.find('\t', tab + 1);
        if (byPercent && tab2 != std::string::npos) w = std::atof(line.c_str() + tab2 + 1);
        auto [it, fresh] = t.try_emplace(text, Letter{c, w});
        if (!fresh && w > it->second.weight) it->second = Letter{c, w};
    }
    return t;
}

// The UTF-8 text of one double-byte GBK code, or empty when it names nothing.
std::string gbkToUtf8(iconv_t cd, unsigned char hi, unsigned char lo) {
    char in[2] = {static_cast<char>(hi), static_cast<char>(lo)};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = 2, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return {};
    return std::string(out, static_cast<std::size_t>(op - out));
}

char letterOf(const Table& t, const std::string& ch) {
    const auto it = t.find(ch);
    return it == t.end() ? ' ' : it->second.letter;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: MakeImeDct <rime-data folder> <output file>\n";
        return 2;
    }
    const std::string dir = argv[1];
    const Table wubi = readTable(dir + "/wubi86.dict.yaml", false);
    const Table stroke = readTable(dir + "/stroke.dict.yaml", false);
    const Table pinyin = readTable(dir + "/luna_pinyin.dict.yaml", true);

    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::cerr << "MakeImeDct: no GBK converter\n";
        return 1;
    }
    std::string out;
    int lines = 0;
    for (unsigned hi = 0x81; hi <= 0xFE; ++hi) {
        for (unsigned lo = 0x40; lo <= 0xFE; ++lo) {
            if (lo == 0x7F) continue;
            const std::string ch = gbkToUtf8(cd, static_cast<unsigned char>(hi), static_cast<unsigned char>(lo));
            if (ch.size() < 3) continue;
            const char wb = letterOf(wubi, ch);
            const char wbh = letterOf(stroke, ch);
            const char py = letterOf(pinyin, ch);
            if (wb == ' ' && wbh == ' ' && py == ' ') continue;
            // Columns 1-2 the character, 7 wubi, 13 strokes, 37 pinyin.
            std::string line(37, ' ');
            line[0] = static_cast<char>(hi);
            line[1] = static_cast<char>(lo);
            line[6] = wb;
            line[12] = wbh;
            line[36] = py;
            out += line;
            out += "\r\n";
            ++lines;
        }
    }
    iconv_close(cd);

    const std::string tmp = std::string(argv[2]) + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << out;
        if (!f) {
            std::cerr << "MakeImeDct: cannot write " << tmp << "\n";
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), argv[2]) != 0) {
        std::cerr << "MakeImeDct: cannot replace " << argv[2] << "\n";
        return 1;
    }
    std::cout << "MakeImeDct: " << lines << " characters\n";
    return 0;
}
