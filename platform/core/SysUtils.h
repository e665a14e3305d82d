// The class library's text, number, date and file utilities, with the
// behaviour this program's windows rely on: the short date format is fixed
// to "yyyy-MM-dd" for the whole process, the decimal separator is always
// "." whatever the machine's locale, and the error texts are the English
// ones the class library raises. Byte positions (Pos, Copy) count UTF-8
// bytes; where a field is measured in GBK bytes use Gbk.h.
// Not here: GBK conversion (Gbk.h), string lists and streams (Classes.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "System.h"
#include "Variants.h"

// ---------------------------------------------------------------- settings

// The locale values the formatting functions read. The process-wide
// instance FormatSettings holds the values of a Simplified Chinese Windows
// locale with the short date format forced to "yyyy-MM-dd"; the overloads
// taking a TFormatSettings let a caller format with other values without
// touching the global.
struct TFormatSettings {
    uint8_t CurrencyFormat = 0; // 0 "￥1", 1 "1￥", 2 "￥ 1", 3 "1 ￥"
    uint8_t NegCurrFormat = 2;  // 2 "￥-1" (the class library's 0..15)
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    uint8_t CurrencyDecimals = 2;
    char DateSeparator = '-';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string CurrencyString = "￥";
    std::string ShortDateFormat = "yyyy-MM-dd";
    std::string LongDateFormat = "yyyy'年'M'月'd'日'";
    std::string TimeAMString = "上午";
    std::string TimePMString = "下午";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    std::string ShortDayNames[7]; // [0] is Sunday
    std::string LongDayNames[7];
    int TwoDigitYearCenturyWindow = 50;
    TFormatSettings();
};
extern TFormatSettings FormatSettings;

// ------------------------------------------------------------------ Format

// One argument of Format, built implicitly from the usual C++ types.
struct TVarRec {
    enum Kind { vtInteger, vtInt64, vtExtended, vtCurrency, vtString, vtBoolean, vtPointer };
    Kind kind = vtInteger;
    int64_t i = 0;
    double d = 0;
    Currency c;
    std::string s;
    const void* p = nullptr;
    TVarRec(int v) : kind(vtInteger), i(v) {}
    TVarRec(unsigned v) : kind(vtInt64), i(v) {}
    TVarRec(short v) : kind(vtInteger), i(v) {}
    TVarRec(unsigned short v) : kind(vtInteger), i(v) {}
    TVarRec(long v) : kind(vtInt64), i(v) {}
    TVarRec(unsigned long v) : kind(vtInt64), i(int64_t(v)) {}
    TVarRec(long long v) : kind(vtInt64), i(v) {}
    TVarRec(unsigned long long v) : kind(vtInt64), i(int64_t(v)) {}
    TVarRec(double v) : kind(vtExtended), d(v) {}
    TVarRec(float v) : kind(vtExtended), d(v) {}
    TVarRec(TDateTime v) : kind(vtExtended), d(v.Val) {}
    TVarRec(Currency v) : kind(vtCurrency), c(v) {}
    TVarRec(bool v) : kind(vtBoolean), i(v) {}
    TVarRec(char v) : kind(vtString), s(1, v) {}
    TVarRec(const char* v) : kind(vtString), s(v ? v : "") {}
    TVarRec(const std::string& v) : kind(vtString), s(v) {}
    TVarRec(std::string_view v) : kind(vtString), s(v) {}
    TVarRec(const void* v) : kind(vtPointer), p(v) {}
    // A variant passes as its own kind (integer, float, currency, string).
    TVarRec(const Variant& v);
};

// printf-like formatting by the class library's rules:
//   %[index:][-][width][.precision]type, type one of d u e f g n m p s x;
//   "*" takes width or precision from the arguments; "%%" is a percent.
//   %d with precision pads with zeros ("%.3d" of 7 is "007"); %f %n %m
//   default to 2 decimals; %e gives "1.2345000000000E+003" (precision
//   significant digits, 15 by default, three exponent digits); %g the
//   shortest of fixed or exponent with 15 digits; %n groups thousands;
//   %m is money with CurrencyString; %x is upper-case hex.
// Raises EConvertError "Format '%s' invalid or incompatible with argument"
// when a type does not fit its argument and "No argument for format '%s'"
// when arguments run out.
std::string FormatArgs(std::string_view format, const std::vector<TVarRec>& args);
std::string FormatArgs(const TFormatSettings& fs, std::string_view format, const std::vector<TVarRec>& args);
template <class... A>
std::string Format(std::string_view format, const A&... args) {
    return FormatArgs(format, std::vector<TVarRec>{TVarRec(args)...});
}

// ---------------------------------------------------------------- numbers

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// 15 significant digits, no trailing zeros, exponent form "1E20" only when
// the exponent is 15 or more or below -4 ("1E-5", "1.5E-5").
std::string FloatToStr(double v);
std::string FloatToStr(double v, const TFormatSettings& fs);
// The class library's FloatToStrF: precision is significant digits (max
// 15 for double), digits the decimals (ffFixed, ffNumber, ffCurrency) or
// the minimum exponent digits (ffExponent, ffGeneral).
std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
// Pattern formatting: up to three sections "positive;negative;zero"; "0"
// a digit always shown, "#" a digit shown when significant, "." the
// decimal point, "," anywhere before the point switches on thousands
// grouping, "E+00"/"E-00"/"e+0" scientific, '...' and "..." literals, any
// other character copied. Rounds half away from zero on the decimal text.
std::string FormatFloat(const std::string& format, double v);
std::string FormatFloat(const std::string& format, double v, const TFormatSettings& fs);
// The same with exact money (no binary rounding on the way).
std::string FormatCurr(const std::string& format, Currency v);
std::string CurrToStr(Currency v);
std::string CurrToStrF(Currency v, TFloatFormat format, int digits);
std::string CurrToStrF(Currency v, TFloatFormat format, int digits, const TFormatSettings& fs);

// Text to number. Leading and trailing blanks are allowed; "." is the
// decimal separator. StrToFloat raises EConvertError "'%s' is not a valid
// floating point value"; StrToInt "'%s' is not a valid integer value"
// (which also takes "$1F" and "0x1F" hex as the class library does).
double StrToFloat(const std::string& s);
double StrToFloat(const std::string& s, const TFormatSettings& fs);
double StrToFloatDef(const std::string& s, double def);
bool TryStrToFloat(const std::string& s, double& value);
bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& fs);
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int def);
bool TryStrToInt(const std::string& s, int& value);
int64_t StrToInt64(const std::string& s);
int64_t StrToInt64Def(const std::string& s, int64_t def);
bool TryStrToInt64(const std::string& s, int64_t& value);
// Exact: "12.34565" is rounded half to even on the fifth decimal, never via
// double. Raises EConvertError "'%s' is not a valid floating point value".
Currency StrToCurr(const std::string& s);
Currency StrToCurrDef(const std::string& s, Currency def);
bool TryStrToCurr(const std::string& s, Currency& value);
std::string IntToStr(int v);
std::string IntToStr(int64_t v);
std::string IntToStr(long long v);
// Upper-case hex, zero-padded to at least `digits`.
std::string IntToHex(int64_t v, int digits);
// "True"/"False" when useBoolStrs, else "-1"/"0".
std::string BoolToStr(bool v, bool useBoolStrs = false);
// "True"/"False" (any case), or a number (nonzero is true); raises
// EConvertError "'%s' is not a valid boolean value".
bool StrToBool(const std::string& s);
bool StrToBoolDef(const std::string& s, bool def);
bool TryStrToBool(const std::string& s, bool& value);

// ----------------------------------------------------------------- strings

// Blanks are bytes <= ' ' (control characters too), as the class library
// trims.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
// ASCII letters only (Chinese text has no case).
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
// Ordinal byte comparisons; CompareText folds ASCII letters. <0, 0, >0.
int CompareStr(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);
bool SameStr(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);
// Locale comparisons as a Chinese system sorts: Chinese text in GBK order
// (which is pinyin order for the common characters), letters without
// regard to case first, then lower case before upper case (AnsiCompareStr).
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameStr(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
// 'it''s': wraps in single quotes and doubles every quote inside. Every
// SQL statement built from typed or scanned text goes through this.
std::string QuotedStr(const std::string& s);
std::string AnsiQuotedStr(const std::string& s, char quote);
// Undoes AnsiQuotedStr when s starts with quote; else returns s unchanged.
std::string AnsiDequotedStr(const std::string& s, char quote);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags);
// 1-based byte position of sub in s, 0 when absent (or sub empty).
int Pos(const std::string& sub, const std::string& s);
int AnsiPos(const std::string& sub, const std::string& s);
// `count` bytes from 1-based `index`, clipped to the string.
std::string Copy(const std::string& s, int index, int count);
// Removes `count` bytes from 1-based `index`.
void Delete(std::string& s, int index, int count);
// Inserts `sub` before 1-based `index`.
void Insert(const std::string& sub, std::string& s, int index);
// String of `count` copies of c.
std::string StringOfChar(char c, int count);
// Last 1-based position of any byte of delimiters in s, 0 when none.
int LastDelimiter(const std::string& delimiters, const std::string& s);
bool StartsText(const std::string& prefix, const std::string& s);
bool EndsText(const std::string& suffix, const std::string& s);

// ------------------------------------------------------------------- dates

// Raises EConvertError "Invalid argument to date encode" (year 1..9999).
// Days from 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back, for any year (0 is the year before 1, then -1...): the one
// conversion every date codec here uses. TDateTime day 0 is
// DaysFromCivil(1899, 12, 30) = -25569. month 1..12, day 1..31 in; the
// encoders check a date is real before they convert it.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
// Raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);
bool IsLeapYear(Word year);
Word DaysInAMonth(Word year, Word month);
// Same day `months` later, clipped to the month's last day.
TDateTime IncMonth(TDateTime date, int months = 1);
// The local date (whole days), date and time, and time of day.
TDateTime Date();
TDateTime Now();
TDateTime Time();

// Patterns: c (short date + long time), d dd ddd dddd ddddd (short date)
// dddddd (long date), m mm mmm mmmm (month; after h or hh it is minutes),
// yy yyyy, h hh, n nn, s ss, z zzz, t (short time) tt (long time),
// am/pm a/p ampm, / and : (the separators), "..." and '...' literals. Letters
// match without regard to case, so "yyyy-MM-dd" is a date pattern.
std::string FormatDateTime(const std::string& format, TDateTime dt);
std::string FormatDateTime(const std::string& format, TDateTime dt, const TFormatSettings& fs);
// "yyyy-MM-dd" by the process settings.
std::string DateToStr(TDateTime date);
std::string DateToStr(TDateTime date, const TFormatSettings& fs);
std::string TimeToStr(TDateTime time);
// Date, plus the long time when the time is not midnight.
std::string DateTimeToStr(TDateTime dt);
// Accepts the short date format's order with any count of digits
// ("2024-3-5", "2024-03-05"); raises EConvertError "'%s' is not a valid
// date". StrToDateTime takes an optional time after a blank ("... 9:05:00",
// "... 9:05") and raises "'%s' is not a valid date and time".
TDateTime StrToDate(const std::string& s);
TDateTime StrToDate(const std::string& s, const TFormatSettings& fs);
TDateTime StrToDateDef(const std::string& s, TDateTime def);
bool TryStrToDate(const std::string& s, TDateTime& date);
bool TryStrToDate(const std::string& s, TDateTime& date, const TFormatSettings& fs);
TDateTime StrToDateTime(const std::string& s);
bool TryStrToDateTime(const std::string& s, TDateTime& dt);
// "h:n[:s]"; raises EConvertError "'%s' is not a valid time".
TDateTime StrToTime(const std::string& s);
bool TryStrToTime(const std::string& s, TDateTime& time);

// ------------------------------------------------------------------- files

// Paths use "/". ExtractFilePath keeps the trailing delimiter.
std::string ExtractFilePath(const std::string& fileName);
std::string ExtractFileDir(const std::string& fileName);
std::string ExtractFileName(const std::string& fileName);
// With the dot (".ini"); "" when there is none.
std::string ExtractFileExt(const std::string& fileName);
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
std::string ExpandFileName(const std::string& fileName);
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
// Creates every missing folder of dir; false when it cannot.
bool ForceDirectories(const std::string& dir);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);
// Copies bytes and permissions; false when failIfExists and dst exists, or
// on any error (dst is then left as it was: the copy goes beside it first).
bool CopyFile(const std::string& src, const std::string& dst, bool failIfExists);
// Replaces dst by the contents of src so that a reader sees either the old
// or the new file, never a part: copy beside dst, fsync, rename over dst.
// src is left in place. Raises EInOutError naming the file on failure.
void AtomicReplaceFile(const std::string& src, const std::string& dst);
// A fresh name beside target for a file that is written in full and then
// renamed over target: target + ".tmp" + process id + "_" + a serial.
std::string TempFileBeside(const std::string& target);
// Deletes the files of dir that TempFileBeside named for a process that no
// longer runs on this machine (with a "-journal" beside one), left by a run
// that was killed before its rename. A running process's files are kept.
// Returns how many were deleted.
int RemoveLeftoverTempFiles(const std::string& dir);
// Writes bytes to fileName the same atomic way. Raises EFCreateError
// "Cannot create file \"%s\"" when it cannot.
void AtomicWriteFile(const std::string& fileName, std::string_view bytes);
// The whole file as bytes; raises EFOpenError "Cannot open file \"%s\"".
std::string ReadFileBytes(const std::string& fileName);
// Modification time as a TDateTime, -1 when the file is missing.
TDateTime FileAge(const std::string& fileName);
// Bytes, -1 when the file is missing.
int64_t FileSize(const std::string& fileName);
// Names (not paths) of the entries of dir whose names match the mask
// ("*.ini", "*" ; case-insensitive), files only unless withDirs; sorted.
std::vector<std::string> ListFiles(const std::string& dir, const std::string& mask = "*", bool withDirs = false);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
// The folder of the running executable with a trailing "/", where the
// program finds its INI files, Data/ and report/. Tests point it elsewhere
// with SetExeDirForTesting ("" restores the real one).
std::string ExeDir();
void SetExeDirForTesting(const std::string& dir);
// A fresh, unique temporary file name in dir (or the system's temp folder).
std::string GetTempFileName(const std::string& dir = "");
void Sleep(unsigned milliseconds);
