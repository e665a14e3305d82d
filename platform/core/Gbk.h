// GBK (code page 936) and UTF-8 helpers. Text lives as UTF-8 in memory; the
// files the program shares with older installations are GBK, and several
// fields are limited in GBK bytes (a Chinese character is two), so lengths
// and slices are measured here without ever splitting a character.
// Not here: file reading and writing (Classes.h, SysUtils.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions never throw: a character the other side cannot hold becomes
// '?', and malformed input bytes become '?' too.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
// Text read from a file the program keeps in GBK: GBK, unless the bytes
// start with a UTF-8 byte-order mark (a file someone saved from a modern
// editor), which is then dropped and the rest taken as UTF-8.
std::string FileTextToUtf8(std::string_view bytes);

// Bytes the UTF-8 text takes in GBK (ASCII 1, Chinese 2, unmappable 1).
int GbkByteLength(std::string_view utf8);
// The longest prefix of utf8 that takes at most n GBK bytes.
std::string GbkLeftBytes(std::string_view utf8, int n);
// The characters covering GBK bytes [start1, start1 + count) (1-based), with
// a character cut by either end left out, returned as UTF-8.
std::string GbkCopyBytes(std::string_view utf8, int start1, int count);
// Compares two UTF-8 texts by the bytes of their GBK forms (pinyin order
// for the common Chinese characters), ASCII letters folded when
// ignoreCase; -1, 0 or 1. Converts nothing.
int CompareGbk(std::string_view a, std::string_view b, bool ignoreCase);
// True for the first byte of a GBK double-byte character (0x81..0xFE).
bool IsDBCSLeadByte(uint8_t b);

// Characters (code points) in UTF-8 text; malformed bytes count one each.
int Utf8Length(std::string_view utf8);
// Decodes the code point at byte offset pos and advances pos past it;
// returns U+FFFD for a malformed byte (advancing one byte).
char32_t Utf8Next(std::string_view utf8, size_t& pos);
void Utf8Append(std::string& out, char32_t cp);
// `count` characters from 1-based character `index`.
std::string Utf8Copy(std::string_view utf8, int index, int count);
// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);
