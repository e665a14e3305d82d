// Small text, INI and input-code routines the library's dialogs and the
// import wizard share: the comma-list test, a case-blind replace, the
// Chinese wording of common database errors, the input-code builder over
// "Ime.DCT", and single-value INI access. No window, no message box.
#pragma once

#include "Variants.h"

#include <string>
#include <unordered_map>

// True when value equals (ignoring case) one of the list's items. Items are
// the pieces between commas or line breaks, untrimmed; a final empty piece
// after a trailing separator is no item, so "" is in "a,,b" but not in "".
bool IsInCommaList(const std::string& list, const std::string& value);

// Every occurrence of search, found without regard to case, replaced. The
// search goes on after the inserted text, so a replacement that contains
// the search text is inserted once per occurrence (never re-scanned).
std::string ReplaceTextNoCase(const std::string& text, const std::string& search, const std::string& replacement);

// A database error message in the operator's words: the first known English
// phrase it contains decides the rewording; then every "Field" becomes "字段".
std::string TranslateDBError(const std::string& message);

// The pinyin-initial, stroke and wubi codes of a text from "Ime.DCT" in the
// executable's folder: the text is taken two GBK bytes at a time, and the
// first dictionary line beginning with those two bytes adds its trimmed
// columns 37, 13 and 7. All three are cleared first; a missing or unreadable
// dictionary gives three empty codes and no message.
void BuildInputCodes(const std::string& text, std::string& py, std::string& wbh, std::string& wb);

// The same dictionary read once, for the codes of many texts (a whole
// table's): Build gives what BuildInputCodes gives.
class TInputCodeDictionary {
public:
    TInputCodeDictionary();
    void Build(const std::string& text, std::string& py, std::string& wbh, std::string& wb) const;

private:
    struct TCodes {
        std::string Py, Wbh, Wb;
    };
    // The first line of each two-byte character.
    std::unordered_map<std::string, TCodes> codes_;
};

// The value part of an INI line: cut at the first "#" or "*", trimmed.
std::string StripIniComment(const std::string& text);

// Reads one value. A non-empty stored text is stripped of its comment and
// converted by the type of def: integer kinds give an integer, floats and
// currency a float, a date a date-time, a Boolean true exactly for 1, text
// (and anything else) the text. Empty or missing gives def. A text that
// does not convert raises EConvertError for the caller.
void ReadIniValue(const std::string& fileName, const std::string& section, const std::string& key, Variant& result,
                  const Variant& def);

// Writes the value as text, creating the file, section and key as needed.
void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);

// The executable's folder (with its separator) followed by fileName.
std::string GetExeRelativePath(const std::string& fileName);

// The structure table's name as the SQL should use it: unchanged here.
inline std::string MapTableName(const std::string& name) { return name; }
