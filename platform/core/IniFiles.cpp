// INI files kept as their lines, so a rewrite changes only the line it
// must. Lookups scan the lines: the program's INI files are a few dozen
// lines, and scanning keeps comments, blank lines and order intact.
#include "IniFiles.h"

#include <sys/stat.h>

#include "Gbk.h"
#include "ScopeExit.h"
#include "SysUtils.h"

struct TCustomIniFile::Data {
    std::vector<std::string> lines;

    static bool header(const std::string& line, std::string& name) {
        std::string t = Trim(line);
        if (t.size() < 2 || t[0] != '[') return false;
        size_t close = t.find(']');
        if (close == std::string::npos) return false;
        name = Trim(t.substr(1, close - 1));
        return true;
    }

    // Key and value of a "key=value" line; false for comments and others.
    static bool entry(const std::string& line, std::string& key, std::string& value) {
        std::string t = TrimLeft(line);
        if (t.empty() || t[0] == ';' || t[0] == '[') return false;
        size_t eq = t.find('=');
        if (eq == std::string::npos) return false;
        key = Trim(t.substr(0, eq));
        value = Trim(t.substr(eq + 1));
        return !key.empty();
    }

    int findSection(const std::string& section) const {
        std::string name;
        for (size_t i = 0; i < lines.size(); ++i)
            if (header(lines[i], name) && SameText(name, section)) return int(i);
        return -1;
    }

    int sectionEnd(int headerIndex) const {
        std::string name;
        size_t i = size_t(headerIndex) + 1;
        while (i < lines.size() && !header(lines[i], name)) ++i;
        return int(i);
    }

    int findKey(const std::string& section, const std::string& ident) const {
        int h = findSection(section);
        if (h < 0) return -1;
        int end = sectionEnd(h);
        std::string key, value;
        for (int i = h + 1; i < end; ++i)
            if (entry(lines[size_t(i)], key, value) && SameText(key, ident)) return i;
        return -1;
    }
};

TCustomIniFile::TCustomIniFile(std::string fileName) : d_(std::make_unique<Data>()), fileName_(std::move(fileName)) {}

TCustomIniFile::~TCustomIniFile() = default;

void TCustomIniFile::load() {
    d_->lines.clear();
    if (!FileExists(fileName_)) return;
    std::string text = FileTextToUtf8(ReadFileBytes(fileName_));
    size_t i = 0;
    while (i < text.size()) {
        size_t j = text.find_first_of("\r\n", i);
        if (j == std::string::npos) {
            d_->lines.push_back(text.substr(i));
            break;
        }
        d_->lines.push_back(text.substr(i, j - i));
        if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
        i = j + 1;
    }
}

void TCustomIniFile::save() {
    std::string text;
    for (const auto& l : d_->lines) {
        text += l;
        text += "\r\n";
    }
    try {
        AtomicWriteFile(fileName_, Utf8ToGbk(text));
    } catch (const EStreamError&) {
        throw EIniFileException("Unable to write to " + fileName_);
    }
}

std::string TCustomIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
    refresh();
    int i = d_->findKey(section, ident);
    if (i < 0) return def;
    std::string key, value;
    Data::entry(d_->lines[size_t(i)], key, value);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

void TCustomIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    refresh();
    std::vector<std::string> before = d_->lines;
    int i = d_->findKey(section, ident);
    if (i >= 0) {
        std::string key, old;
        Data::entry(d_->lines[size_t(i)], key, old);
        d_->lines[size_t(i)] = key + "=" + value;
    } else {
        int h = d_->findSection(section);
        if (h < 0) {
            d_->lines.push_back("[" + section + "]");
            d_->lines.push_back(ident + "=" + value);
        } else {
            int end = d_->sectionEnd(h);
            // After the section's last entry, before blank lines that
            // separate it from the next one.
            int at = end;
            while (at > h + 1 && Trim(d_->lines[size_t(at - 1)]).empty()) --at;
            d_->lines.insert(d_->lines.begin() + at, ident + "=" + value);
        }
    }
    ScopeExit refused([&] { d_->lines = std::move(before); });
    changed();
    refused.Dismiss();
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) {
    std::string s = ReadString(section, ident, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) {
    std::string s = ReadString(section, ident, "");
    return s.empty() ? def : StrToFloatDef(s, def);
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const std::string& section, const std::string& ident, TDateTime def) {
    TDateTime d;
    return TryStrToDate(ReadString(section, ident, ""), d) ? d : def;
}

void TCustomIniFile::WriteDate(const std::string& section, const std::string& ident, TDateTime value) {
    WriteString(section, ident, DateToStr(value));
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& section, const std::string& ident, TDateTime def) {
    TDateTime d;
    return TryStrToDateTime(ReadString(section, ident, ""), d) ? d : def;
}

void TCustomIniFile::WriteDateTime(const std::string& section, const std::string& ident, TDateTime value) {
    WriteString(section, ident, DateTimeToStr(value));
}

TDateTime TCustomIniFile::ReadTime(const std::string& section, const std::string& ident, TDateTime def) {
    TDateTime d;
    return TryStrToTime(ReadString(section, ident, ""), d) ? d : def;
}

void TCustomIniFile::WriteTime(const std::string& section, const std::string& ident, TDateTime value) {
    WriteString(section, ident, TimeToStr(value));
}

void TCustomIniFile::ReadSection(const std::string& section, TStrings* strings) {
    refresh();
    strings->BeginUpdate();
    strings->Clear();
    int h = d_->findSection(section);
    if (h >= 0) {
        int end = d_->sectionEnd(h);
        std::string key, value;
        for (int i = h + 1; i < end; ++i)
            if (Data::entry(d_->lines[size_t(i)], key, value)) strings->Add(key);
    }
    strings->EndUpdate();
}

void TCustomIniFile::ReadSections(TStrings* strings) {
    refresh();
    strings->BeginUpdate();
    strings->Clear();
    std::string name;
    for (const auto& l : d_->lines)
        if (Data::header(l, name)) strings->Add(name);
    strings->EndUpdate();
}

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
    refresh();
    strings->BeginUpdate();
    strings->Clear();
    int h = d_->findSection(section);
    if (h >= 0) {
        int end = d_->sectionEnd(h);
        std::string key, value;
        for (int i = h + 1; i < end; ++i)
            if (Data::entry(d_->lines[size_t(i)], key, value)) strings->Add(key + "=" + value);
    }
    strings->EndUpdate();
}

bool TCustomIniFile::SectionExists(const std::string& section) {
    refresh();
    return d_->findSection(section) >= 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
    refresh();
    return d_->findKey(section, ident) >= 0;
}

void TCustomIniFile::EraseSection(const std::string& section) {
    refresh();
    int h = d_->findSection(section);
    if (h < 0) return;
    std::vector<std::string> before = d_->lines;
    d_->lines.erase(d_->lines.begin() + h, d_->lines.begin() + d_->sectionEnd(h));
    ScopeExit refused([&] { d_->lines = std::move(before); });
    changed();
    refused.Dismiss();
}

void TCustomIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    refresh();
    int i = d_->findKey(section, ident);
    if (i < 0) return;
    std::vector<std::string> before = d_->lines;
    d_->lines.erase(d_->lines.begin() + i);
    ScopeExit refused([&] { d_->lines = std::move(before); });
    changed();
    refused.Dismiss();
}

void TCustomIniFile::UpdateFile() {}

// ----------------------------------------------------------------- TIniFile

TIniFile::TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {}

namespace {

void fileStamp(const std::string& fileName, int64_t& stamp, int64_t& size) {
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0) {
        stamp = size = -1;
        return;
    }
    stamp = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    size = int64_t(st.st_size);
}

} // namespace

void TIniFile::refresh() {
    // Another copy of the program may have written the file.
    int64_t stamp, size;
    fileStamp(FileName(), stamp, size);
    if (stamp == stamp_ && size == size_) return;
    load();
    stamp_ = stamp;
    size_ = size;
}

void TIniFile::changed() {
    save();
    fileStamp(FileName(), stamp_, size_);
}

// -------------------------------------------------------------- TMemIniFile

TMemIniFile::TMemIniFile(const std::string& fileName) : TCustomIniFile(fileName) { load(); }

void TMemIniFile::UpdateFile() { save(); }
