// MARC records made in a test, as a cataloguing program writes them: a
// leader, the directory, 0x1E, the fields each ending in 0x1E, and 0x1D.
// Values are given in UTF-8 and written in GBK, so the directory's lengths
// and starts are GBK byte counts.
#pragma once

#include "Gbk.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct TMarcField {
    std::string tag;
    std::vector<std::pair<char, std::string>> subfields;
};

// One record; terminate=false leaves off the record terminator.
inline std::string MarcRecord(const std::vector<TMarcField>& fields, bool terminate = true) {
    std::string directory, data;
    for (const TMarcField& f : fields) {
        std::string body;
        for (const auto& [code, value] : f.subfields) body += std::string("\x1F") + code + Utf8ToGbk(value);
        body += "\x1E";
        char entry[16];
        std::snprintf(entry, sizeof entry, "%s%04zu%05zu", f.tag.c_str(), body.size(), data.size());
        directory += entry;
        data += body;
    }
    return std::string("01234nam  2200277   450 ") + directory + "\x1E" + data + (terminate ? "\x1D" : "");
}

// The record with the start of its first field of tag moved to start: a
// directory that points outside the record when start is past its end.
inline std::string MarcWithFieldStart(std::string record, const std::string& tag, const char* start) {
    record.replace(record.find(tag, 24) + 7, 5, start);
    return record;
}
