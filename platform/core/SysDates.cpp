// Dates and times of SysUtils.h. A TDateTime counts days from 1899-12-30
// (day 0); the time of day is the fraction. Decoding rounds to the
// millisecond first so that 0.99999999 days reads as the next midnight
// rather than 23:59:59.999 on the wrong day.
#include <cmath>
#include <ctime>
#include <sys/time.h>

#include "SysUtils.h"

namespace {

constexpr int64_t MSecsPerDay = 86400000;
constexpr int64_t UnixDelta = 25569; // days from 1899-12-30 to 1970-01-01

const Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Whole days (toward zero, as the class library splits) and milliseconds
// of the day.
void split(TDateTime dt, int64_t& days, int64_t& msec) {
    int64_t total = std::llround(dt.Val * double(MSecsPerDay));
    days = total / MSecsPerDay;
    msec = std::llabs(total) % MSecsPerDay;
}

} // namespace

// Howard Hinnant's algorithms: eras of 400 years (146097 days) counted
// from 0000-03-01, so the leap day is the last of its year.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(int64_t(yoe) + era * 400 + (m <= 2));
}

bool IsLeapYear(Word y) { return (y % 4 == 0) && ((y % 100 != 0) || (y % 400 == 0)); }

Word DaysInAMonth(Word year, Word month) {
    if (month < 1 || month > 12) return 0;
    return MonthDays[IsLeapYear(year)][month - 1];
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > MonthDays[IsLeapYear(year)][month - 1])
        return false;
    date = TDateTime(double(DaysFromCivil(year, month, day) + UnixDelta));
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

void DecodeDate(TDateTime date, Word& year, Word& month, Word& day) {
    int64_t days, msec;
    split(date, days, msec);
    int y, m, d;
    CivilFromDays(days - UnixDelta, y, m, d);
    // The years a date may have here are 1..9999: before 0001-01-01 there
    // is no date to give.
    if (y < 1) {
        year = month = day = 0;
        return;
    }
    year = Word(y);
    month = Word(m);
    day = Word(d);
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
    if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
    time = TDateTime(double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / double(MSecsPerDay));
    return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec) {
    int64_t days, ms;
    split(time, days, ms);
    hour = Word(ms / 3600000);
    min = Word(ms / 60000 % 60);
    sec = Word(ms / 1000 % 60);
    msec = Word(ms % 1000);
}

int DayOfWeek(TDateTime date) {
    int64_t days, ms;
    split(date, days, ms);
    // Day 0 (1899-12-30) was a Saturday.
    int64_t r = (days + 6) % 7;
    if (r < 0) r += 7;
    return int(r) + 1;
}

TDateTime IncMonth(TDateTime date, int months) {
    Word y, m, d;
    DecodeDate(date, y, m, d);
    int total = y * 12 + (m - 1) + months;
    int ny = total / 12, nm = total % 12 + 1;
    Word nd = std::min<Word>(d, DaysInAMonth(Word(ny), Word(nm)));
    double frac = date.Val - std::trunc(date.Val);
    TDateTime r = EncodeDate(Word(ny), Word(nm), nd);
    return TDateTime(r.Val + (r.Val >= 0 ? std::fabs(frac) : -std::fabs(frac)));
}

TDateTime Now() {
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    struct tm lt;
    time_t secs = tv.tv_sec;
    localtime_r(&secs, &lt);
    TDateTime d = EncodeDate(Word(lt.tm_year + 1900), Word(lt.tm_mon + 1), Word(lt.tm_mday));
    TDateTime t = EncodeTime(Word(lt.tm_hour), Word(lt.tm_min), Word(std::min(lt.tm_sec, 59)), Word(tv.tv_usec / 1000));
    return TDateTime(d.Val + t.Val);
}

TDateTime Date() { return TDateTime(std::trunc(Now().Val)); }
TDateTime Time() {
    TDateTime n = Now();
    return TDateTime(n.Val - std::trunc(n.Val));
}

// ----------------------------------------------------------- FormatDateTime

namespace {

std::string pad(int v, int width) {
    std::string s = std::to_string(v);
    while (int(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

bool startsNoCase(const std::string& f, size_t i, const char* what) {
    for (size_t k = 0; what[k]; ++k)
        if (i + k >= f.size() || upper(f[i + k]) != upper(what[k])) return false;
    return true;
}

// True when an am/pm marker appears anywhere outside quotes: hours are then
// on the 12-hour clock.
bool uses12Hour(const std::string& f) {
    char quote = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (startsNoCase(f, i, "am/pm") || startsNoCase(f, i, "a/p") || startsNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void formatInto(std::string& out, const std::string& f, TDateTime dt, const TFormatSettings& fs, int depth) {
    if (depth > 2) return;
    Word y, mo, d, h, mi, s, ms;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, mi, s, ms);
    bool twelve = uses12Hour(f);
    char lastToken = 0;
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        char token = upper(c);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        auto count = [&](char letter) {
            size_t n = 0;
            while (i + n < f.size() && upper(f[i + n]) == letter) ++n;
            return int(n);
        };
        switch (token) {
        case '"':
        case '\'': {
            size_t end = f.find(c, i + 1);
            if (end == std::string::npos) end = f.size();
            out.append(f, i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        case 'Y': {
            int n = count('Y');
            out += n <= 2 ? pad(y % 100, 2) : pad(y, 4);
            i += size_t(n);
            continue;
        }
        case 'M': {
            int n = count('M');
            if (n == 1)
                out += std::to_string(mo);
            else if (n == 2)
                out += pad(mo, 2);
            else if (n == 3)
                out += fs.ShortMonthNames[mo - 1];
            else
                out += fs.LongMonthNames[mo - 1];
            i += size_t(n);
            continue;
        }
        case 'D': {
            int n = count('D');
            int dow = DayOfWeek(dt) - 1;
            if (n == 1)
                out += std::to_string(d);
            else if (n == 2)
                out += pad(d, 2);
            else if (n == 3)
                out += fs.ShortDayNames[dow];
            else if (n == 4)
                out += fs.LongDayNames[dow];
            else if (n == 5)
                formatInto(out, fs.ShortDateFormat, dt, fs, depth + 1);
            else
                formatInto(out, fs.LongDateFormat, dt, fs, depth + 1);
            i += size_t(n);
            continue;
        }
        case 'H': {
            int n = count('H');
            int hh = h;
            if (twelve) {
                hh %= 12;
                if (hh == 0) hh = 12;
            }
            out += n == 1 ? std::to_string(hh) : pad(hh, 2);
            i += size_t(std::min(n, 2));
            continue;
        }
        case 'N': {
            int n = count(upper(c));
            out += n == 1 ? std::to_string(mi) : pad(mi, 2);
            i += size_t(std::min(n, 2));
            continue;
        }
        case 'S': {
            int n = count('S');
            out += n == 1 ? std::to_string(s) : pad(s, 2);
            i += size_t(std::min(n, 2));
            continue;
        }
        case 'Z': {
            int n = count('Z');
            out += n < 3 ? std::to_string(ms) : pad(ms, 3);
            i += size_t(std::min(n, 3));
            continue;
        }
        case 'T': {
            int n = count('T');
            formatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, depth + 1);
            i += size_t(std::min(n, 2));
            continue;
        }
        case 'C': {
            formatInto(out, fs.ShortDateFormat, dt, fs, depth + 1);
            if (h || mi || s || ms) {
                out += ' ';
                formatInto(out, fs.LongTimeFormat, dt, fs, depth + 1);
            }
            ++i;
            continue;
        }
        case 'A': {
            bool pm = h >= 12;
            if (startsNoCase(f, i, "am/pm")) {
                bool lower = f[i] == 'a';
                out += pm ? (lower ? "pm" : "PM") : (lower ? "am" : "AM");
                i += 5;
            } else if (startsNoCase(f, i, "a/p")) {
                bool lower = f[i] == 'a';
                out += pm ? (lower ? "p" : "P") : (lower ? "a" : "A");
                i += 3;
            } else if (startsNoCase(f, i, "ampm")) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        case '/':
            out += fs.DateSeparator;
            ++i;
            continue;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            continue;
        default:
            out += c;
            ++i;
            continue;
        }
    }
}

} // namespace

std::string FormatDateTime(const std::string& format, TDateTime dt) {
    return FormatDateTime(format, dt, FormatSettings);
}

std::string FormatDateTime(const std::string& format, TDateTime dt, const TFormatSettings& fs) {
    std::string out;
    formatInto(out, format.empty() ? "c" : format, dt, fs, 0);
    return out;
}

std::string DateToStr(TDateTime date) { return DateToStr(date, FormatSettings); }
std::string DateToStr(TDateTime date, const TFormatSettings& fs) { return FormatDateTime("ddddd", date, fs); }
std::string TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

// --------------------------------------------------------------- parsing

namespace {

bool readInt(const std::string& s, size_t& i, int& v, int& digits) {
    v = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (digits < 9) v = v * 10 + (s[i] - '0');
        ++digits;
        ++i;
    }
    return digits > 0;
}

bool isDateSep(char c, const TFormatSettings& fs) { return c == fs.DateSeparator || c == '-' || c == '/' || c == '.'; }

// Parses a date at s[i..]; leaves i after it.
bool scanDate(const std::string& s, size_t& i, TDateTime& out, const TFormatSettings& fs) {
    int n[3], nd[3];
    int count = 0;
    while (count < 3) {
        if (!readInt(s, i, n[count], nd[count])) return false;
        ++count;
        if (count < 3 && i < s.size() && isDateSep(s[i], fs)) {
            ++i;
            continue;
        }
        break;
    }
    if (count < 2) return false;
    // The order of year, month and day follows the short date format.
    std::string order;
    for (char c : fs.ShortDateFormat) {
        char u = upper(c);
        if ((u == 'Y' || u == 'M' || u == 'D') && order.find(u) == std::string::npos) order += u;
    }
    if (order.size() != 3) order = "YMD";
    int y = 0, m = 0, d = 0, yd = 0;
    if (count == 3) {
        for (int k = 0; k < 3; ++k) {
            if (order[size_t(k)] == 'Y') {
                y = n[k];
                yd = nd[k];
            } else if (order[size_t(k)] == 'M') {
                m = n[k];
            } else {
                d = n[k];
            }
        }
    } else {
        Word cy, cm, cd;
        DecodeDate(Date(), cy, cm, cd);
        y = cy;
        yd = 4;
        bool monthFirst = order.find('M') < order.find('D');
        m = monthFirst ? n[0] : n[1];
        d = monthFirst ? n[1] : n[0];
    }
    if (yd <= 2) {
        Word cy, cm, cd;
        DecodeDate(Date(), cy, cm, cd);
        int century = cy - fs.TwoDigitYearCenturyWindow;
        y += (century / 100) * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && y < century) y += 100;
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    return TryEncodeDate(Word(y), Word(m), Word(d), out);
}

bool scanTime(const std::string& s, size_t& i, TDateTime& out, const TFormatSettings& fs) {
    int h, m = 0, sec = 0, ms = 0, nd;
    if (!readInt(s, i, h, nd)) return false;
    if (i >= s.size() || (s[i] != fs.TimeSeparator && s[i] != ':')) return false;
    ++i;
    if (!readInt(s, i, m, nd)) return false;
    if (i < s.size() && (s[i] == fs.TimeSeparator || s[i] == ':')) {
        ++i;
        if (!readInt(s, i, sec, nd)) return false;
        if (i < s.size() && s[i] == '.') {
            ++i;
            if (!readInt(s, i, ms, nd)) return false;
            while (nd < 3) ms *= 10, ++nd;
            while (nd > 3) ms /= 10, --nd;
        }
    }
    size_t j = i;
    while (j < s.size() && s[j] == ' ') ++j;
    auto marker = [&](const std::string& word) {
        return !word.empty() && s.size() - j >= word.size() && SameText(s.substr(j, word.size()), word);
    };
    if (marker("AM") || marker(fs.TimeAMString)) {
        if (h > 12) return false;
        if (h == 12) h = 0;
        i = j + (marker("AM") ? 2 : fs.TimeAMString.size());
    } else if (marker("PM") || marker(fs.TimePMString)) {
        if (h > 12) return false;
        if (h < 12) h += 12;
        i = j + (marker("PM") ? 2 : fs.TimePMString.size());
    }
    if (h > 23 || m > 59 || sec > 59) return false;
    return TryEncodeTime(Word(h), Word(m), Word(sec), Word(ms), out);
}

} // namespace

bool TryStrToDate(const std::string& s, TDateTime& date) { return TryStrToDate(s, date, FormatSettings); }

bool TryStrToDate(const std::string& text, TDateTime& date, const TFormatSettings& fs) {
    std::string s = Trim(text);
    size_t i = 0;
    TDateTime d;
    if (!scanDate(s, i, d, fs) || i != s.size()) return false;
    date = d;
    return true;
}

TDateTime StrToDate(const std::string& s) { return StrToDate(s, FormatSettings); }

TDateTime StrToDate(const std::string& s, const TFormatSettings& fs) {
    TDateTime d;
    if (!TryStrToDate(s, d, fs)) throw EConvertError("'" + s + "' is not a valid date");
    return d;
}

TDateTime StrToDateDef(const std::string& s, TDateTime def) {
    TDateTime d;
    return TryStrToDate(s, d) ? d : def;
}

bool TryStrToTime(const std::string& text, TDateTime& time) {
    std::string s = Trim(text);
    size_t i = 0;
    TDateTime t;
    if (!scanTime(s, i, t, FormatSettings) || i != s.size()) return false;
    time = t;
    return true;
}

TDateTime StrToTime(const std::string& s) {
    TDateTime t;
    if (!TryStrToTime(s, t)) throw EConvertError("'" + s + "' is not a valid time");
    return t;
}

bool TryStrToDateTime(const std::string& text, TDateTime& dt) {
    std::string s = Trim(text);
    size_t i = 0;
    TDateTime d, t;
    if (scanDate(s, i, d, FormatSettings)) {
        if (i == s.size()) {
            dt = d;
            return true;
        }
        if (s[i] != ' ' && s[i] != 'T') return false;
        while (i < s.size() && (s[i] == ' ' || s[i] == 'T')) ++i;
        if (!scanTime(s, i, t, FormatSettings) || i != s.size()) return false;
        dt = TDateTime(d.Val + (d.Val < 0 ? -t.Val : t.Val));
        return true;
    }
    i = 0;
    if (!scanTime(s, i, t, FormatSettings) || i != s.size()) return false;
    dt = t;
    return true;
}

TDateTime StrToDateTime(const std::string& s) {
    TDateTime d;
    if (!TryStrToDateTime(s, d)) throw EConvertError("'" + s + "' is not a valid date and time");
    return d;
}
