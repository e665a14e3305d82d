// A small date value (year, month, day; all 0 = empty) with the steps the
// calendars and the date pad take, and the 6 x 7 month grid a calendar
// draws: day numbers, week numbers and the selected and today cells.
// Pure logic: no window.
#pragma once

#include "System.h"

#include <cstdint>
#include <functional>
#include <string>

class TvqDate {
public:
    TvqDate();
    virtual ~TvqDate() = default;

    uint16_t Year() const { return year_; }
    uint16_t Month() const { return month_; }
    uint16_t Day() const { return day_; }
    bool Empty() const { return year_ == 0 && month_ == 0 && day_ == 0; }
    // 0 for an empty or invalid date.
    TDateTime AsDateTime() const;
    // Above 0: that date; else the empty date. Notifies only on a change.
    void SetDateTime(TDateTime value);
    // Month 0 -> December before, 13 or more -> January after, a day past
    // the month's end -> its last day.
    void SetYMD(int year, int month, int day);
    void SetYear(int year);
    virtual void SetMonth(int month);
    int DaysInMonth(int month) const;
    void PrevDay();
    // Days past the month's end carry into the next month.
    void NextDay();
    void PrevWeek();
    void NextWeek();
    virtual void PrevMonth();
    // Without carry: 31 January -> the last day of February.
    virtual void NextMonth();
    void PrevYear();
    void NextYear();
    void AddDays(int n);
    // Day, month and year in the short date format's order, joined by the
    // date separator, without leading zeros ("2006-3-5").
    std::string AsText() const;
    int DateOrder() const { return order_; }

    std::function<void(TvqDate*)> OnChange;

protected:
    virtual void Change();
    void shift(int days, int months, int years, bool carry);
    void store(int y, int m, int d);

    uint16_t year_ = 0, month_ = 0, day_ = 0;
    uint8_t order_ = 0;
};

bool VqIsLeapYear(int year);
int VqMonthDays(int year, int month);

enum TWeekDay { Mon, Tue, Wed, Thu, Fri, Sat, Sun };

class TVQCalendarDate : public TvqDate {
public:
    static constexpr uint8_t NoCell = 255;

    TVQCalendarDate();

    TWeekDay FirstWeekday() const { return firstWeekday_; }
    void SetFirstWeekday(TWeekDay v);
    // -1 previous month, 1 next month, 0 the current one.
    int CellPart(int cell) const;
    TWeekDay CellWeekday(int cell) const;
    // Moves the date by the distance between the cells.
    void SelectCell(int cell);
    void SetMonth(int month) override;
    void PrevMonth() override;
    void NextMonth() override;
    void Rebuild();

    uint8_t Cell(int cell) const { return cells_[cell - 1]; }
    uint8_t Week(int row) const { return weeks_[row - 1]; }
    int FirstCell() const { return firstCell_; }
    int LastCell() const { return lastCell_; }
    TDateTime Cell1Date() const { return cell1_; }
    uint8_t SelectedCell() const { return selected_; }
    // The cell of the computer's date: 1 to 42 only while today lies on the
    // sheet shown, else NoCell.
    uint8_t TodayCell() const { return today_; }
    bool MonthRebuilt() const { return monthRebuilt_; }
    bool StayInGrid() const { return stayInGrid_; }
    void SetStayInGrid(bool v) { stayInGrid_ = v; }
    // The computer's date; a test may pin it.
    static std::function<TDateTime()> Today;

protected:
    void Change() override;

private:
    uint8_t cellOf(TDateTime d) const;
    TWeekDay firstWeekday_ = Mon;
    TDateTime cell1_ = 0;
    int firstCell_ = 1, lastCell_ = 1;
    uint8_t cells_[42] = {};
    uint8_t weeks_[6] = {};
    bool monthRebuilt_ = false;
    bool stayInGrid_ = false;
    bool force_ = false;
    uint8_t selected_ = NoCell;
    uint8_t today_ = NoCell;
};

// The system's short weekday names, Sunday first.
const std::string& VqWeekdayName(int index);
