// The catalogue's key rules; see Catalogue.h.
#include "Catalogue.h"

#include "SysUtils.h"

#include <cstdio>

namespace {

// The value of a text made of 1 to 9 decimal digits only; nullopt else.
std::optional<long> digitsValue(const std::string& s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    long v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return std::nullopt;
        v = v * 10 + (ch - '0');
    }
    return v;
}

std::string fourDigits(long n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04ld", n);
    return buf;
}

} // namespace

std::optional<std::string> NextClassKey(const std::string& parentKey, const std::vector<std::string>& siblingKeys) {
    long highest = -1;
    for (const std::string& key : siblingKeys) {
        if (key.size() < 4) continue;
        if (auto n = digitsValue(key.substr(key.size() - 4)); n && *n > highest) highest = *n;
    }
    if (highest >= 9999) return std::nullopt;
    return parentKey + fourDigits(highest + 1);
}

std::optional<std::string> NextClassKey(TADOConnection* c, const std::string& parentKey) {
    TADOQuery q;
    q.SetConnection(c);
    q.SetStatement({"select sKey from Type where ParentKey=?", {parentKey}});
    q.Open();
    std::vector<std::string> keys;
    for (q.First(); !q.Eof(); q.Next()) keys.push_back(q.FieldByName("sKey")->AsString());
    return NextClassKey(parentKey, keys);
}

TCallNumber NextBookCallNumber(const std::string& sortCode, const std::vector<std::string>& usedSortNums) {
    long highest = 0;
    for (const std::string& s : usedSortNums)
        if (auto n = digitsValue(Trim(s)); n && *n > highest) highest = *n;
    const std::string next = IntToStr(int(highest + 1));
    return {next, sortCode + "/" + next};
}

TCallNumber NextPeriodicalCallNumber(const std::string& sortCode, const std::vector<std::string>& usedScodes) {
    const std::string prefix = sortCode + "/";
    long highest = 0;
    for (const std::string& s : usedScodes) {
        if (s.size() <= prefix.size() || CompareText(s.substr(0, prefix.size()), prefix) != 0) continue;
        if (auto n = digitsValue(s.substr(prefix.size())); n && *n > highest) highest = *n;
    }
    const std::string next = IntToStr(int(highest + 1));
    return {next, sortCode + "/" + next};
}

std::string PublisherFromIsbn(TADOConnection* c, const std::string& isbn) {
    return PublisherFromIsbn(isbn, [c](const std::string& prefix) {
        TADOQuery q;
        q.SetConnection(c);
        q.SetStatement({"select Code from Bookpub where Isbn=?", {prefix}});
        q.Open();
        std::vector<std::string> names;
        for (q.First(); !q.Eof(); q.Next()) names.push_back(q.FieldByName("Code")->AsString());
        return names;
    });
}
