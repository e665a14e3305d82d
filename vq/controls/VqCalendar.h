// The month calendar the library draws itself: a title row with previous
// and next buttons and " month, year ", the weekday header (the last
// character of 星期一 ... 星期日), six rows of days, optional week numbers
// and today row. TVQCalendar is the control, TVQDatePad the same calendar
// as the pop-up of a date edit (Enter accepts, Esc or leaving cancels).
// The month menu and the year spin of the title are not part of it yet.
#pragma once

#include "Controls.h"
#include "vq/controls/VqDate.h"

#include <memory>
#include <set>
#include <string>

enum TCalendarOption {
    coFullDisplay,
    coShowPopups,
    coMonthSwitch,
    coCancelIfOut,
    coShowWeeks,
    coShowToday,
    coShowTodayBtn
};
class TCalendarOptions {
public:
    TCalendarOptions() = default;
    TCalendarOptions(std::initializer_list<TCalendarOption> items) {
        for (auto i : items) bits_ |= 1u << i;
    }
    bool Contains(TCalendarOption i) const { return bits_ & (1u << i); }

private:
    unsigned bits_ = 0;
};
enum TCalendarBevelStyle { cbsNone, cbsLowered, cbsRaised };
enum TSelectStyle { ssNoMark, ssFrame, ssOval };
enum THilightStyle { hsNone, hsMoving, hsRaising, hsFlushing, hsUnderline, hsColor, hsFrame };

struct TVQCalendarColors {
    TColor Titles = clWindowText;
    TColor WeekEnd = clMaroon;
    TColor Inactive = cl3DLight;
    TColor InactiveWeekEnd = clInfoBk;
    TColor Select = clHighlight;
};

class TVQCustomCalendar : public TCustomControl {
public:
    explicit TVQCustomCalendar(TComponent* AOwner);
    ~TVQCustomCalendar() override;
    std::string ClassName() const override { return "TVQCustomCalendar"; }

    TVQCalendarDate* CalDate() const { return date_.get(); }
    TCalendarOptions Options() const { return options_; }
    void SetOptions(TCalendarOptions v);
    TWeekDay BeginingOfWeek() const { return date_->FirstWeekday(); }
    void SetBeginingOfWeek(TWeekDay v) { date_->SetFirstWeekday(v); }
    TSelectStyle SelectStyle() const { return selectStyle_; }
    void SetSelectStyle(TSelectStyle v);
    THilightStyle HilightStyle() const { return hilightStyle_; }
    void SetHilightStyle(THilightStyle v) { hilightStyle_ = v; }
    TCalendarBevelStyle Bevel() const { return bevel_; }
    void SetBevel(TCalendarBevelStyle v);
    TVQCalendarColors& Colors() { return colors_; }

    int CellHeight() const { return h_; }
    int UnitWidth() const { return u_; }
    // The cell (1 to 42) under a client point, 0 outside the days.
    int CellAt(int x, int y) const;
    TRect CellRect(int cell) const;
    TRect PrevButtonRect() const;
    TRect NextButtonRect() const;
    std::string TitleCaption() const;
    int HoverCell() const { return hover_; }

    TNotifyEvent OnAccept;
    TNotifyEvent OnCancel;
    TNotifyEvent OnValueChange;

    virtual void CalcCellSize();

protected:
    virtual void DoAccept();
    virtual void DoCancel();
    void Paint() override;
    void Resize() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool WantReturns() const override { return true; }
    bool WantEscape() const override { return true; }

    int h_ = 16, u_ = 7, m_ = 0, w_ = 0, b_ = 0;

private:
    enum Part { ptNone, ptPrev, ptNext, ptToday, ptDays };
    void dateChanged();
    void paintArrow(TCanvas* c, TRect r, bool next, bool pressed);
    std::unique_ptr<TVQCalendarDate> date_;
    TVQCalendarColors colors_;
    TCalendarOptions options_{coShowPopups};
    TSelectStyle selectStyle_ = ssFrame;
    THilightStyle hilightStyle_ = hsFrame;
    TCalendarBevelStyle bevel_ = cbsRaised;
    std::set<TWeekDay> weekEnds_{Sat, Sun};
    Part tracked_ = ptNone;
    bool pressed_ = false;
    int pressCell_ = 0;
    int hover_ = 0;
};

class TVQCalendar : public TVQCustomCalendar {
public:
    explicit TVQCalendar(TComponent* AOwner);
    std::string ClassName() const override { return "TVQCalendar"; }
};

// Sized from its font; shown beside its Caller inside the Caller's form.
class TVQDatePad : public TVQCustomCalendar {
public:
    explicit TVQDatePad(TComponent* AOwner);
    std::string ClassName() const override { return "TVQDatePad"; }
    TWinControl* Caller() const { return caller_; }
    void SetCaller(TWinControl* v) { caller_ = v; }
    void CalcCellSize() override;
    // (x, y) in the Caller's client area: the pad opens 1 pixel right and
    // below, kept inside the form.
    void Popup(int x, int y);

protected:
    void DoAccept() override;
    void DoCancel() override;
    void DoExit() override;

private:
    TWinControl* caller_ = nullptr;
};
