// Date value and month grid; see VqDate.h.
#include "vq/controls/VqDate.h"

#include "SysUtils.h"

#include <cctype>
#include <cmath>
#include <cstdio>

bool VqIsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int VqMonthDays(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && VqIsLeapYear(y) ? 29 : days[m - 1];
}

TvqDate::TvqDate() {
    Word y, m, d;
    DecodeDate(Date(), y, m, d);
    year_ = y, month_ = m, day_ = d;
    for (char c : FormatSettings.ShortDateFormat) {
        const char u = char(std::toupper(uint8_t(c)));
        if (u == 'D') break;
        if (u == 'M') {
            order_ = 1;
            break;
        }
        if (u == 'Y') {
            order_ = 2;
            break;
        }
    }
}

TDateTime TvqDate::AsDateTime() const {
    TDateTime d = 0;
    if (year_ == 0 || month_ < 1 || month_ > 12 || day_ < 1 || day_ > 31) return 0;
    if (!TryEncodeDate(year_, month_, day_, d)) return 0;
    return d;
}

void TvqDate::store(int y, int m, int d) {
    if (y == year_ && m == month_ && d == day_) return;
    year_ = uint16_t(y), month_ = uint16_t(m), day_ = uint16_t(d);
    Change();
}

void TvqDate::SetDateTime(TDateTime value) {
    if (value <= 0) {
        store(0, 0, 0);
        return;
    }
    Word y = 0, m = 0, d = 0;
    try {
        DecodeDate(value, y, m, d);
    } catch (const Exception&) {
        y = m = d = 0;
    }
    store(y, m, d);
}

void TvqDate::SetYMD(int y, int m, int d) {
    if (m <= 0) {
        m = 12;
        --y;
    } else if (m >= 13) {
        m = 1;
        ++y;
    }
    d = std::min(d, VqMonthDays(y, m));
    TDateTime date = 0;
    if (y > 0 && d > 0 && TryEncodeDate(Word(y), Word(m), Word(d), date))
        SetDateTime(date);
    else
        store(0, 0, 0);
}

void TvqDate::SetYear(int y) {
    if (y != year_) SetYMD(y, month_, day_);
}

void TvqDate::SetMonth(int m) {
    if (m != month_) SetYMD(year_, m, day_);
}

int TvqDate::DaysInMonth(int m) const { return VqMonthDays(year_, m); }

void TvqDate::shift(int days, int months, int years, bool carry) {
    int y = year_, m = month_ + months % 12, d = day_ + days;
    y += years + months / 12;
    if (m <= 0) {
        m += 12;
        --y;
    } else if (m > 12) {
        m -= 12;
        ++y;
    }
    while (d <= 0) {
        if (--m == 0) {
            m = 12;
            --y;
        }
        d = VqMonthDays(y, m) - std::abs(d);
    }
    if (carry) {
        while (d > VqMonthDays(y, m)) {
            d -= VqMonthDays(y, m);
            if (++m == 13) {
                m = 1;
                ++y;
            }
        }
    } else {
        d = std::min(d, VqMonthDays(y, m));
    }
    TDateTime date = 0;
    if (y > 0 && TryEncodeDate(Word(y), Word(m), Word(d), date)) SetDateTime(date);
}

void TvqDate::PrevDay() { shift(-1, 0, 0, false); }
void TvqDate::NextDay() { shift(1, 0, 0, true); }
void TvqDate::PrevWeek() { shift(-7, 0, 0, false); }
void TvqDate::NextWeek() { shift(7, 0, 0, true); }
void TvqDate::PrevMonth() { shift(0, -1, 0, false); }
void TvqDate::NextMonth() { shift(0, 1, 0, false); }
void TvqDate::PrevYear() { shift(0, 0, -1, false); }
void TvqDate::NextYear() { shift(0, 0, 1, false); }
void TvqDate::AddDays(int n) { SetDateTime(AsDateTime() + n); }

std::string TvqDate::AsText() const {
    if (AsDateTime() == 0) return {};
    int a = day_, b = month_, c = year_;
    if (order_ == 1)
        a = month_, b = day_;
    else if (order_ == 2)
        a = year_, c = day_;
    const char sep[2] = {FormatSettings.DateSeparator, 0};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d%s%d%s%d", a, sep, b, sep, c);
    return buf;
}

void TvqDate::Change() {
    if (OnChange) OnChange(this);
}

// ------------------------------------------------------------ month grid

std::function<TDateTime()> TVQCalendarDate::Today = [] { return Date(); };

namespace {

// Monday 0 .. Sunday 6.
int weekdayOf(TDateTime d) { return (DayOfWeek(d) + 5) % 7; }

} // namespace

TVQCalendarDate::TVQCalendarDate() {
    Rebuild();
    selected_ = cellOf(AsDateTime());
}

uint8_t TVQCalendarDate::cellOf(TDateTime d) const {
    // A date before cell 1 is off the sheet as much as one after cell 42.
    const double offset = std::floor(d) - cell1_;
    return offset >= 0 && offset < 42 ? uint8_t(offset + 1) : NoCell;
}

void TVQCalendarDate::Rebuild() {
    if (month_ < 1 || month_ > 12 || year_ == 0) return;
    TDateTime day1 = 0;
    if (!TryEncodeDate(year_, month_, 1, day1)) return;
    firstCell_ = 1 + (weekdayOf(day1) - firstWeekday_ + 7) % 7;
    const int length = VqMonthDays(year_, month_);
    lastCell_ = firstCell_ + length - 1;
    cell1_ = day1 - (firstCell_ - 1);
    const int prevYear = month_ == 1 ? year_ - 1 : year_;
    const int prevMonth = month_ == 1 ? 12 : month_ - 1;
    const int prevLength = VqMonthDays(prevYear, prevMonth);
    for (int c = 1; c <= 42; ++c) {
        if (c < firstCell_)
            cells_[c - 1] = uint8_t(prevLength - (firstCell_ - c) + 1);
        else if (c <= lastCell_)
            cells_[c - 1] = uint8_t(c - firstCell_ + 1);
        else
            cells_[c - 1] = uint8_t(c - lastCell_);
    }
    const double dayIndex = cell1_ - EncodeDate(Word(prevYear), 1, 1);
    int week = int(std::nearbyint(dayIndex / 7)) + 1;
    int count = int(dayIndex) + 7;
    if (count > 365) {
        week = 1;
        count = 0;
    }
    weeks_[0] = uint8_t(week);
    for (int row = 2; row <= 6; ++row) {
        count += 7;
        if (count >= 366) {
            week = 1;
            count = 0;
        } else {
            ++week;
        }
        weeks_[row - 1] = uint8_t(week);
    }
    today_ = cellOf(Today());
}

void TVQCalendarDate::Change() {
    monthRebuilt_ = false;
    const TDateTime d = AsDateTime();
    bool rebuild = force_;
    force_ = false;
    if (d > 0) {
        const double offset = std::floor(d) - cell1_;
        if (stayInGrid_)
            rebuild = rebuild || offset < 0 || offset >= 42;
        else
            rebuild = rebuild || offset < firstCell_ - 1 || offset > lastCell_ - 1;
    }
    if (rebuild) {
        Rebuild();
        monthRebuilt_ = true;
    }
    selected_ = d > 0 ? cellOf(d) : NoCell;
    TvqDate::Change();
}

void TVQCalendarDate::SetFirstWeekday(TWeekDay v) {
    if (v == firstWeekday_) return;
    firstWeekday_ = v;
    Rebuild();
    selected_ = cellOf(AsDateTime());
}

int TVQCalendarDate::CellPart(int cell) const { return cell < firstCell_ ? -1 : cell > lastCell_ ? 1 : 0; }

TWeekDay TVQCalendarDate::CellWeekday(int cell) const {
    int w = cell % 7 + firstWeekday_ + 6;
    while (w > 6) w -= 7;
    return TWeekDay(w);
}

void TVQCalendarDate::SelectCell(int cell) {
    if (cell < 1 || cell > 42 || cell == selected_ || selected_ == NoCell) return;
    AddDays(cell - selected_);
}

void TVQCalendarDate::SetMonth(int m) {
    force_ = true;
    TvqDate::SetMonth(m);
    force_ = false;
}

void TVQCalendarDate::PrevMonth() {
    if (stayInGrid_ && selected_ != NoCell && CellPart(selected_) != 0) {
        // Steps count from the month on display, not from the shown day of
        // its neighbour.
        const int part = CellPart(selected_);
        SetYMD(year_, month_ - part, day_);
    }
    force_ = true;
    TvqDate::PrevMonth();
    force_ = false;
}

void TVQCalendarDate::NextMonth() {
    if (stayInGrid_ && selected_ != NoCell && CellPart(selected_) != 0) {
        const int part = CellPart(selected_);
        SetYMD(year_, month_ - part, day_);
    }
    force_ = true;
    TvqDate::NextMonth();
    force_ = false;
}

const std::string& VqWeekdayName(int index) {
    static std::string names[7];
    static bool filled = false;
    if (!filled) {
        for (int i = 0; i < 7; ++i) names[i] = FormatDateTime("ddd", EncodeDate(1901, 12, 1) + i);
        filled = true;
    }
    return names[((index % 7) + 7) % 7];
}
