// The date and time edit: a fixed mask from the locale's short date format,
// the value parsed after every change, blank parts completed from today on
// leaving, two-digit years in a window around the current year, the part
// under the caret stepped by keys, wheel and up-down button, and the
// drop-down month calendar.
#include "DBCtrlsEh.h"

#include "ScopeExit.h"
#include "SysUtils.h"

#include <cctype>
#include <cmath>

namespace {

char upper(char c) { return char(std::toupper(static_cast<unsigned char>(c))); }

// The part of text under the run of letter in format: Default when the
// letter is absent or the text is longer than the format, Empty when only
// blanks stand there, -1 when it is no number.
int extractDatePart(const std::string& format, const std::string& text, char letter, int def, int empty) {
    size_t len = format.size();
    if (text.size() > len) return def;
    if (text.size() < len) len = text.size();
    size_t pos = std::string::npos;
    for (size_t i = 0; i < format.size(); ++i)
        if (upper(format[i]) == letter) {
            pos = i;
            break;
        }
    if (pos == std::string::npos) return def;
    std::string taken;
    for (size_t i = pos; i < len && upper(format[i]) == letter && taken.size() < 20; ++i)
        if (text[i] != ' ') taken += text[i];
    if (taken.empty()) return empty;
    int v = 0;
    for (char c : taken) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

int yearOf(TDateTime d) {
    Word y, m, dd;
    DecodeDate(d, y, m, dd);
    return y;
}

bool tryEncodeDateParts(int y, int m, int d, TDateTime& out) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInAMonth(Word(y), Word(m))) return false;
    out = EncodeDate(Word(y), Word(m), Word(d));
    return true;
}

std::string timeFormat() {
    char t = FormatSettings.TimeSeparator;
    return std::string("HH") + t + "NN" + t + "SS";
}

} // namespace

// ---------------------------------------------------------- the rules --

TDateOrderEh TCustomDBDateTimeEditEh::DateOrderOf(const std::string& f) {
    for (char c : f) {
        switch (upper(c)) {
        case 'D': return doDMY;
        case 'M': return doMDY;
        case 'Y': return doYMD;
        default: break;
        }
    }
    return doDMY;
}

std::string TCustomDBDateTimeEditEh::DateFormatFor(TDateOrderEh order, bool four, char sep) {
    std::string y = four ? "YYYY" : "YY";
    switch (order) {
    case doMDY: return std::string("MM") + sep + "DD" + sep + y;
    case doDMY: return std::string("DD") + sep + "MM" + sep + y;
    case doYMD: return y + sep + "MM" + sep + "DD";
    }
    return {};
}

std::string TCustomDBDateTimeEditEh::DateMaskFor(TDateOrderEh order, bool four, char sep) {
    std::string body;
    if (!four)
        body = std::string("99") + sep + "99" + sep + "99";
    else if (order == doYMD)
        body = std::string("9999") + sep + "99" + sep + "99";
    else
        body = std::string("99") + sep + "99" + sep + "9999";
    return "!" + body + ";1; ";
}

int TCustomDBDateTimeEditEh::ExpandTwoDigitYear(int year, int currentYear) {
    if (year >= 100) return year;
    int base = currentYear - TwoDigitYearWindow;
    year += (base / 100) * 100;
    if (year < base) year += 100;
    return year;
}

void TCustomDBDateTimeEditEh::FixDateParts(int& year, int& month, int& day, TDateTime today) {
    Word ty, tm, td;
    DecodeDate(today, ty, tm, td);
    if (year < 1) year = ty;
    if (month < 1) month = tm;
    if (day < 1) day = td;
    if (month > 12) month = 12;
    if (year > 9999) year = 9999;
    int last = DaysInAMonth(Word(year), Word(month));
    if (day > last) day = last;
}

std::string TCustomDBDateTimeEditEh::FormatDateValue(const std::string& format, TDateTime dt) {
    double v = double(dt);
    double days = std::floor(v);
    Word y = 0, m = 0, d = 0;
    if (days > -693594) DecodeDate(TDateTime(days), y, m, d);
    long ms = std::lround((v - days) * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    int hh = int(ms / 3600000), nn = int(ms / 60000 % 60), ss = int(ms / 1000 % 60);
    std::string out;
    for (size_t i = 0; i < format.size();) {
        char L = upper(format[i]);
        size_t run = 1;
        while (i + run < format.size() && upper(format[i + run]) == L) ++run;
        int value = -1;
        switch (L) {
        case 'Y': value = run <= 2 ? y % 100 : y; break;
        case 'M': value = m; break;
        case 'D': value = d; break;
        case 'H': value = hh; break;
        case 'N': value = nn; break;
        case 'S': value = ss; break;
        default: break;
        }
        if (value < 0) {
            out.append(format, i, run);
        } else {
            std::string n = std::to_string(value);
            if (n.size() < run) n.insert(0, run - n.size(), '0');
            out += n;
        }
        i += run;
    }
    return out;
}

Variant TCustomDBDateTimeEditEh::TextToDateValue(const std::string& format, std::string& text, bool raiseOnError,
                                                 bool fix, TDateTime today) {
    if (text.empty()) return Null();
    int month = extractDatePart(format, text, 'M', 0, -1);
    int day = extractDatePart(format, text, 'D', 1, -1);
    int year = extractDatePart(format, text, 'Y', yearOf(today), -1);
    if (year >= 0) year = ExpandTwoDigitYear(year, yearOf(today));
    if (month == -1 && day == -1 && year == -1) return Null();
    if (fix) {
        FixDateParts(year, month, day, today);
        TDateTime fixed;
        if (tryEncodeDateParts(year, month, day, fixed) && double(fixed) != std::floor(double(today)))
            text = FormatDateValue(format, fixed);
    }
    TDateTime out;
    if (tryEncodeDateParts(year, month, day, out)) return Variant(out);
    if (raiseOnError) throw EConvertError("Invalid argument to date encode");
    return Null();
}

Variant TCustomDBDateTimeEditEh::TextToTimeValue(const std::string& format, std::string& text, bool raiseOnError,
                                                 bool fix) {
    if (text.empty()) return Null();
    int h = extractDatePart(format, text, 'H', 0, -1);
    int n = extractDatePart(format, text, 'N', 0, -1);
    int s = extractDatePart(format, text, 'S', 0, -1);
    if (h == -1 && n == -1 && s == -1) return Null();
    if (fix) {
        bool changed = false;
        auto clamp = [&](int& v, int hi) {
            int w = v < 0 ? 0 : v > hi ? hi : v;
            changed |= w != v;
            v = w;
        };
        clamp(h, 23);
        clamp(n, 59);
        clamp(s, 59);
        if (changed) text = FormatDateValue(timeFormat(), TDateTime((h * 3600000.0 + n * 60000.0 + s * 1000.0) / 86400000.0));
    }
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59) {
        if (raiseOnError) throw EConvertError("Invalid argument to time encode");
        return Null();
    }
    return Variant(TDateTime((h * 3600000.0 + n * 60000.0 + s * 1000.0) / 86400000.0));
}

bool TCustomDBDateTimeEditEh::StepDatePart(const std::string& text, const std::string& format, bool up,
                                           std::string& newText, int& len, int& start, char dateSep, char timeSep) {
    newText = text;
    if (format.empty()) return false;
    if (start > int(format.size())) start = int(format.size());
    if (start < 1) start = 1;
    char ch = format[size_t(start - 1)];
    if (ch == dateSep || ch == timeSep) {
        ++start;
        if (start > int(format.size())) return false;
        ch = format[size_t(start - 1)];
    }
    char U = upper(ch);
    if (std::string("DHMNSY").find(U) == std::string::npos) return false;
    size_t r = format.find(ch);
    size_t s = 1;
    while (r + s < format.size() && format[r + s] == ch) ++s;
    int n = 0;
    for (size_t i = r; i < r + s && i < text.size(); ++i)
        if (std::isdigit(static_cast<unsigned char>(text[i]))) n = n * 10 + (text[i] - '0');
    switch (U) {
    case 'D': n = up ? (n <= 30 ? n + 1 : 1) : (n > 1 ? n - 1 : 31); break;
    case 'M': n = up ? (n < 12 ? n + 1 : 1) : (n > 1 ? n - 1 : 12); break;
    case 'Y': n = up ? (n < 9999 ? n + 1 : 1) : (n > 1 ? n - 1 : 9999); break;
    case 'H': n = up ? (n < 23 ? n + 1 : 0) : (n <= 0 ? 23 : n - 1); break;
    default: n = up ? (n < 59 ? n + 1 : 0) : (n <= 0 ? 59 : n - 1); break;
    }
    std::string num = std::to_string(n);
    if (num.size() < s) num.insert(0, s - num.size(), '0');
    std::string after = r + s < text.size() ? text.substr(r + s, 255) : std::string();
    newText = text.substr(0, std::min(r, text.size())) + num + after;
    start = int(r) + 1;
    len = int(s);
    return true;
}

// ------------------------------------------------------------ the edit --

TCustomDBDateTimeEditEh::TCustomDBDateTimeEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
    RecreateEditButton();
    fourDigitYear_ = AnsiUpperCase(FormatSettings.ShortDateFormat).find("YYY") != std::string::npos;
    UpdateMask();
}

TCustomDBDateTimeEditEh::~TCustomDBDateTimeEditEh() = default;

std::unique_ptr<TEditButtonEh> TCustomDBDateTimeEditEh::CreateEditButton() {
    return std::make_unique<TVisibleEditButtonEh>(this);
}

TDateOrderEh TCustomDBDateTimeEditEh::order() const { return DateOrderOf(FormatSettings.ShortDateFormat); }

std::string TCustomDBDateTimeEditEh::CurrentFormat() const {
    if (kind_ == dtkTimeEh) return timeFormat();
    return DateFormatFor(order(), fourDigitYear_, FormatSettings.DateSeparator);
}

void TCustomDBDateTimeEditEh::SetKind(TDateTimeKindEh v) {
    if (v == kind_) return;
    kind_ = v;
    UpdateMask();
    DataChange();
}

void TCustomDBDateTimeEditEh::UpdateFourDigitYear() {
    bool four = AnsiUpperCase(FormatSettings.ShortDateFormat).find("YYY") != std::string::npos;
    if (four != fourDigitYear_) fourDigitYear_ = four;
    // The order and the separator come from the same settings: a change of
    // any of them shows the next time the edit is entered.
    UpdateMask();
}

void TCustomDBDateTimeEditEh::UpdateMask() {
    std::string mask = kind_ == dtkTimeEh
                           ? std::string("!99") + FormatSettings.TimeSeparator + "99" + FormatSettings.TimeSeparator +
                                 "99;1; "
                           : DateMaskFor(order(), fourDigitYear_, FormatSettings.DateSeparator);
    if (mask == EditMask()) return;
    settingText_ = true;
    ScopeExit done([this] { settingText_ = false; });
    SetEditMask(mask);
    SetEditTextRaw(dateValue_.IsNull() ? std::string() : FormatDateValue(CurrentFormat(), dateValue_.AsDateTime()));
}

void TCustomDBDateTimeEditEh::setOwnText(const std::string& s) {
    settingText_ = true;
    ScopeExit done([this] { settingText_ = false; });
    SetEditTextRaw(s);
}

Variant TCustomDBDateTimeEditEh::GetVariantValue() const { return dateValue_; }

void TCustomDBDateTimeEditEh::InternalSetValue(const Variant& V) {
    if (V.IsNull() || V.IsEmpty()) {
        setOwnText("");
        dateValue_ = Null();
        return;
    }
    double d = double(VarToDateTime(V));
    if (kind_ == dtkTimeEh) {
        double t = d - std::floor(d);
        dateValue_ = Variant(TDateTime(t));
        setOwnText(FormatDateValue(timeFormat(), TDateTime(t)));
    } else {
        double whole = std::floor(d);
        dateValue_ = Variant(TDateTime(whole));
        setOwnText(FormatDateValue(CurrentFormat(), TDateTime(whole)));
    }
}

void TCustomDBDateTimeEditEh::InternalSetText(const std::string& S) {
    std::string t = S;
    Variant v = kind_ == dtkTimeEh ? TextToTimeValue(timeFormat(), t, true, false)
                                   : TextToDateValue(CurrentFormat(), t, true, false, Date());
    dateValue_ = v;
    setOwnText(S);
}

void TCustomDBDateTimeEditEh::parseEditText() {
    std::string t = EditText();
    try {
        dateValue_ = kind_ == dtkTimeEh ? TextToTimeValue(timeFormat(), t, false, false)
                                        : TextToDateValue(CurrentFormat(), t, false, false, Date());
    } catch (const Exception&) {
        dateValue_ = Null();
    }
}

void TCustomDBDateTimeEditEh::Change() {
    TCustomDBEditEh::Change();
    if (!settingText_) parseEditText();
}

void TCustomDBDateTimeEditEh::ValidateEdit() {
    if (validating_) return;
    validating_ = true;
    ScopeExit done([this] { validating_ = false; });
    TCustomDBEditEh::ValidateEdit();
    std::string t = EditText();
    Variant v = kind_ == dtkTimeEh ? TextToTimeValue(timeFormat(), t, false, true)
                                   : TextToDateValue(CurrentFormat(), t, false, true, Date());
    setOwnText(v.IsNull() ? std::string() : FormatDateValue(CurrentFormat(), v.AsDateTime()));
    dateValue_ = v;
}

void TCustomDBDateTimeEditEh::DataChanged() {
    if (TField* f = Field())
        InternalSetValue(f->Value());
    else if (link_->DataIndependent())
        InternalSetValue(link_->OwnValue());
    else
        InternalSetValue(Null());
    UpdateReadOnlyState();
    SetModified(false);
}

void TCustomDBDateTimeEditEh::WriteTextToField() {
    Variant v = dateValue_;
    if (Field() && !v.IsNull()) {
        double cur = Field()->IsNull() ? 0.0 : double(Field()->AsDateTime());
        double mine = double(v.AsDateTime());
        // A date keeps the field's time of day, a time the field's date.
        double out = kind_ == dtkDateEh ? mine + (cur - std::floor(cur)) : mine + std::floor(cur);
        link_->SetValue(Variant(TDateTime(out)));
        return;
    }
    link_->SetValue(v);
}

void TCustomDBDateTimeEditEh::StepPart(bool Up) {
    int start = SelStart() + 1, len = SelLength();
    std::string newText;
    if (!StepDatePart(EditText(), CurrentFormat(), Up, newText, len, start, FormatSettings.DateSeparator,
                      FormatSettings.TimeSeparator))
        return;
    setOwnText(newText);
    parseEditText();
    SetSelStart(start - 1);
    SetSelLength(len);
}

void TCustomDBDateTimeEditEh::KeyDown(Word& Key, TShiftState Shift) {
    if (calendarVisible_ && calendar_) {
        bool ctrl = Shift.Contains(ssCtrl);
        if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT ||
            Key == VK_RIGHT || ((Key == VK_HOME || Key == VK_END) && ctrl)) {
            intptr_t bits = 0;
            for (auto i : {ssShift, ssAlt, ssCtrl})
                if (Shift.Contains(i)) bits |= intptr_t(1) << i;
            calendar_->Perform(WM_KEYDOWN, Key, bits);
            Key = 0;
            return;
        }
    }
    bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    if ((Key == VK_UP || Key == VK_DOWN) && plain && !ReadOnly() && EditCanModify()) {
        if (OnKeyDown) {
            OnKeyDown(this, Key, Shift);
            if (Key == 0) return;
        }
        StepPart(Key == VK_UP);
        TCustomDBEditEh::KeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if ((Key == VK_LEFT || Key == VK_RIGHT) && plain && SelLength() > 1) {
        if (OnKeyDown) {
            OnKeyDown(this, Key, Shift);
            if (Key == 0) return;
        }
        int s = SelStart(), l = SelLength();
        SetSelLength(0);
        SetSelStart(Key == VK_LEFT ? s : s + l - 1);
    }
    TCustomDBEditEh::KeyDown(Key, Shift);
}

void TCustomDBDateTimeEditEh::KeyPress(char32_t& Key) {
    if (calendarVisible_ && (Key == 13 || Key == 27)) {
        CloseUp(Key == 13);
        Key = 0;
    }
    TCustomDBEditEh::KeyPress(Key);
}

bool TCustomDBDateTimeEditEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (calendarVisible_ && calendar_) {
        // The calendar turns by a day whatever the pointer is over.
        calendar_->SetDate(TDateTime(double(calendar_->Date()) + (WheelDelta < 0 ? 1 : -1)));
        return true;
    }
    if (TCustomDBEditEh::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || ReadOnly() || !EditCanModify())
        return false;
    StepPart(WheelDelta > 0);
    return true;
}

void TCustomDBDateTimeEditEh::ButtonDown(bool IsDownButton) {
    if (EditButton()->Style() == ebsUpDownEh) {
        if (!ReadOnly() && EditCanModify()) StepPart(!IsDownButton);
        return;
    }
    TCustomDBEditEh::ButtonDown(IsDownButton);
}

void TCustomDBDateTimeEditEh::DoEnter() {
    UpdateFourDigitYear();
    TCustomDBEditEh::DoEnter();
}

void TCustomDBDateTimeEditEh::DoExit() {
    if (calendarVisible_) CloseUp(false);
    TCustomDBEditEh::DoExit();
}

TControl* TCustomDBDateTimeEditEh::OpenDropDown() const { return calendarVisible_ ? calendar_ : nullptr; }

// Only the days: a press passed on to the month bar on the way down from
// the button would work its buttons (or open its month menu) mid-drag.
TRect TCustomDBDateTimeEditEh::DropDownPressArea() const {
    return calendarVisible_ ? calendar_->DayTableRect() : TRect{};
}

void TCustomDBDateTimeEditEh::DropDown() {
    TCustomDBEditEh::DropDown();
    if (calendarVisible_) return;
    if (!calendar_) {
        calendar_ = NewDropDownWindow<TPopupMonthCalendarEh>(this);
        calendar_->SetBounds(0, 0, 240, 180);
    }
    calendar_->SetDate(dateValue_.IsNull() ? Date() : dateValue_.AsDateTime());
    PlaceDropDown(this, calendar_, daLeft);
    calendar_->SetVisible(true);
    calendarVisible_ = true;
    droppedDown_ = true;
}

void TCustomDBDateTimeEditEh::CloseUp(bool Accept) {
    if (!calendarVisible_) return;
    calendarVisible_ = false;
    calendar_->SetVisible(false);
    if (Accept && !ReadOnly() && EditCanModify() && kind_ == dtkDateEh) {
        InternalSetValue(Variant(calendar_->Date()));
        // The chosen date is a change of the edit: leaving it writes.
        link_->Modify();
        SetModified(true);
        if (Focused()) SelectAll();
    }
    droppedDown_ = false;
    TCustomDBEditEh::CloseUp(Accept);
    if (ButtonControlCount() > 0) PostReleaseButton(ButtonControl(0));
}
