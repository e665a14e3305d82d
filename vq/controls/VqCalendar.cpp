// The library's month calendar and date pad; see VqCalendar.h.
#include "vq/controls/VqCalendar.h"

#include "Forms.h"
#include "SysUtils.h"
#include "vq/controls/VqStdUtils.h"

#include <algorithm>
#include <cmath>

TVQCustomCalendar::TVQCustomCalendar(TComponent* AOwner)
    : TCustomControl(AOwner), date_(std::make_unique<TVQCalendarDate>()) {
    SetColor(clBtnFace);
    Font()->SetName("Times New Roman");
    Font()->SetSize(9);
    date_->OnChange = [this](TvqDate*) { dateChanged(); };
    SetTabStop(true);
}

TVQCustomCalendar::~TVQCustomCalendar() = default;

void TVQCustomCalendar::SetOptions(TCalendarOptions v) {
    options_ = v;
    // The grid stays put while the month cannot switch by a click.
    date_->SetStayInGrid(!v.Contains(coMonthSwitch));
    CalcCellSize();
    Invalidate();
}

void TVQCustomCalendar::SetSelectStyle(TSelectStyle v) {
    selectStyle_ = v;
    Invalidate();
}

void TVQCustomCalendar::SetBevel(TCalendarBevelStyle v) {
    bevel_ = v;
    Invalidate();
}

void TVQCustomCalendar::CalcCellSize() {
    const int height = Height(), width = Width();
    h_ = std::max(1, (height - 2 * b_ - (options_.Contains(coShowTodayBtn) ? 30 : 8)) / 8);
    const int units = options_.Contains(coShowWeeks) ? 25 : 21;
    u_ = std::max(1, (width - 8) / units);
    m_ = std::max(0, (width - u_ * units - 8) / 2);
    w_ = options_.Contains(coShowWeeks) ? 4 * u_ : 0;
}

void TVQCustomCalendar::Resize() {
    TCustomControl::Resize();
    CalcCellSize();
}

TRect TVQCustomCalendar::CellRect(int cell) const {
    const int col = (cell - 1) % 7, row = (cell - 1) / 7;
    const int left = w_ + m_ + 4 + col * 3 * u_, top = 2 * h_ + b_ + 6 + row * h_;
    return Rect(left, top, left + 3 * u_, top + h_);
}

int TVQCustomCalendar::CellAt(int x, int y) const {
    const int left = w_ + m_ + 4, top = 2 * h_ + b_ + 6;
    if (x < left || x >= left + 21 * u_ || y < top || y >= top + 6 * h_) return 0;
    return (x - left) / (3 * u_) + ((y - b_ - 6) / h_) * 7 - 13;
}

TRect TVQCustomCalendar::PrevButtonRect() const { return Rect(4, 2, 4 + h_, h_ + 3); }

TRect TVQCustomCalendar::NextButtonRect() const {
    const int right = Width() - 2 * (b_ ? 1 : 0) - 4;
    return Rect(right - h_, 2, right, h_ + 3);
}

std::string TVQCustomCalendar::TitleCaption() const {
    const TDateTime d = date_->AsDateTime() > 0 ? date_->AsDateTime() : Date();
    return FormatDateTime(" mmmm, yyyy ", d);
}

void TVQCustomCalendar::dateChanged() {
    Invalidate();
    if (OnValueChange) OnValueChange(this);
}

void TVQCustomCalendar::paintArrow(TCanvas* c, TRect r, bool next, bool pressed) {
    const int side = std::min({r.Width(), r.Height(), 20});
    const int cx = (r.Left + r.Right) / 2 + (pressed ? 1 : 0), cy = (r.Top + r.Bottom) / 2 + (pressed ? 1 : 0);
    const int half = std::max(2, side / 2 - 4);
    c->Brush()->SetColor(Enabled() ? clWindowText : clGrayText);
    c->Pen()->SetColor(Enabled() ? clWindowText : clGrayText);
    std::vector<TPoint> tri = next ? std::vector<TPoint>{Point(cx - half / 2, cy - half), Point(cx + half / 2 + 1, cy),
                                                         Point(cx - half / 2, cy + half)}
                                   : std::vector<TPoint>{Point(cx + half / 2, cy - half), Point(cx - half / 2 - 1, cy),
                                                         Point(cx + half / 2, cy + half)};
    c->Polygon(tri);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(tri[0].X, tri[0].Y);
    c->LineTo(tri[1].X, tri[1].Y);
}

void TVQCustomCalendar::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (bevel_ == cbsRaised)
        c->DrawEdge(r, EDGE_RAISED, BF_RECT);
    else if (bevel_ == cbsLowered)
        c->DrawEdge(r, EDGE_SUNKEN, BF_RECT);
    c->Font()->Assign(Font());
    const TVQCalendarDate& d = *date_;

    // Title.
    paintArrow(c, PrevButtonRect(), false, tracked_ == ptPrev && pressed_);
    paintArrow(c, NextButtonRect(), true, tracked_ == ptNext && pressed_);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(colors_.Titles);
    TRect title = Rect(u_ + 14, 2, Width() - u_ - 14, h_ + 2);
    c->DrawText(TitleCaption(), -1, title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    // Weekday header: the last character of each name.
    for (int col = 0; col < 7; ++col) {
        const int weekday = (int(d.FirstWeekday()) + col + 1) % 7; // Sunday = 0
        const std::string name = VqWeekdayName(weekday);
        // 星期一 ... 星期日 keep their last character; a short name stays.
        std::string shown = name;
        if (name.size() > 3 && (uint8_t(name.back()) & 0xC0) == 0x80) shown = name.substr(name.size() - 3);
        TRect cell = Rect(w_ + m_ + 4 + col * 3 * u_, b_ + h_ + 2, w_ + m_ + 4 + (col + 1) * 3 * u_, b_ + 2 * h_ + 2);
        c->DrawText(shown, -1, cell, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(4, b_ + 2 * h_ + 3);
    c->LineTo(Width() - 4, b_ + 2 * h_ + 3);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(4, b_ + 2 * h_ + 4);
    c->LineTo(Width() - 4, b_ + 2 * h_ + 4);

    // Days.
    c->Font()->SetStyle({});
    const bool full = options_.Contains(coFullDisplay);
    for (int cell = 1; cell <= 42; ++cell) {
        const int part = d.CellPart(cell);
        if (part != 0 && !full) continue;
        const bool weekend = weekEnds_.count(d.CellWeekday(cell)) > 0;
        TColor color = !Enabled()  ? clGrayText
                       : part == 0 ? (weekend ? colors_.WeekEnd : Font()->Color())
                       : weekend   ? colors_.InactiveWeekEnd
                                   : colors_.Inactive;
        TRect cr = CellRect(cell);
        const bool selected = cell == d.SelectedCell() && (part == 0 || full);
        if (selected && selectStyle_ == ssOval) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(colors_.Select);
            c->Pen()->SetColor(colors_.Select);
            c->Ellipse(cr.Left, cr.Top + 1, cr.Right, cr.Bottom - 1);
            c->Brush()->SetStyle(bsClear);
            color = clWhite;
        }
        c->Font()->SetStyle(selected && selectStyle_ != ssNoMark ? TFontStyles{fsBold} : TFontStyles{});
        c->Font()->SetColor(color);
        c->DrawText(std::to_string(d.Cell(cell)), -1, cr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (selected && selectStyle_ == ssFrame) {
            TRect f = cr;
            Frame3D(c, f, clBtnShadow, clHighlightText, 1);
        } else if (cell == hover_ && hilightStyle_ == hsFrame && !selected) {
            TRect f = cr;
            Frame3D(c, f, clHighlightText, clBtnShadow, 1);
        }
        if (cell == d.TodayCell() && options_.Contains(coShowToday) && (part == 0 || full)) {
            c->Pen()->SetColor(clRed);
            c->Brush()->SetStyle(bsClear);
            c->Ellipse(cr.Left + 1, cr.Top + 1, cr.Right - 1, cr.Bottom - 1);
        }
    }
    if (options_.Contains(coShowWeeks)) {
        c->Font()->SetStyle({});
        c->Font()->SetColor(Font()->Color());
        for (int row = 1; row <= 6; ++row) {
            TRect wr = Rect(m_ + 4, 2 * h_ + b_ + 6 + (row - 1) * h_, m_ + 4 + 3 * u_, 2 * h_ + b_ + 6 + row * h_);
            c->DrawText(std::to_string(d.Week(row)), -1, wr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    if (options_.Contains(coShowTodayBtn)) {
        c->Font()->SetColor(colors_.Titles);
        TRect tr = Rect(14, Height() - b_ - 22, Width() - 4, Height() - b_ - 2);
        c->DrawText(" " + DateToStr(Date()), -1, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    c->Brush()->SetStyle(bsSolid);
    if (OnPaint) OnPaint(this);
}

void TVQCustomCalendar::DoAccept() {
    if (OnAccept) OnAccept(this);
}

void TVQCustomCalendar::DoCancel() {
    if (OnCancel) OnCancel(this);
}

void TVQCustomCalendar::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
    case VK_PRIOR: ctrl ? date_->PrevYear() : date_->PrevMonth(); break;
    case VK_NEXT: ctrl ? date_->NextYear() : date_->NextMonth(); break;
    case VK_HOME: date_->SetDateTime(TVQCalendarDate::Today()); break;
    case VK_LEFT: date_->PrevDay(); break;
    case VK_RIGHT: date_->NextDay(); break;
    case VK_UP: date_->PrevWeek(); break;
    case VK_DOWN: date_->NextWeek(); break;
    case VK_RETURN: DoAccept(); break;
    case VK_ESCAPE: DoCancel(); break;
    default: return;
    }
    Key = 0;
}

void TVQCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus() && !Focused()) SetFocus();
    const TPoint p = Point(X, Y);
    if (PtInRect(PrevButtonRect(), p))
        tracked_ = ptPrev;
    else if (PtInRect(NextButtonRect(), p))
        tracked_ = ptNext;
    else if (CellAt(X, Y))
        tracked_ = ptDays;
    else if (options_.Contains(coShowTodayBtn) && Y >= Height() - b_ - 22)
        tracked_ = ptToday;
    else
        tracked_ = ptNone;
    pressed_ = tracked_ != ptNone;
    pressCell_ = date_->SelectedCell();
    Invalidate();
}

void TVQCustomCalendar::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const TPoint p = Point(X, Y);
    if (tracked_ == ptPrev || tracked_ == ptNext) {
        pressed_ = PtInRect(tracked_ == ptPrev ? PrevButtonRect() : NextButtonRect(), p);
        Invalidate();
        return;
    }
    if (tracked_ == ptNone) {
        const int cell = CellAt(X, Y);
        const bool eligible =
            cell && hilightStyle_ == hsFrame && (options_.Contains(coFullDisplay) || date_->CellPart(cell) == 0);
        const int hover = eligible ? cell : 0;
        if (hover != hover_) {
            hover_ = hover;
            Invalidate();
        }
    }
}

void TVQCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const Part part = tracked_;
    tracked_ = ptNone;
    pressed_ = false;
    const TPoint p = Point(X, Y);
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (part) {
    case ptPrev:
        if (PtInRect(PrevButtonRect(), p)) ctrl ? date_->PrevYear() : date_->PrevMonth();
        break;
    case ptNext:
        if (PtInRect(NextButtonRect(), p)) ctrl ? date_->NextYear() : date_->NextMonth();
        break;
    case ptToday:
        date_->SetDateTime(TVQCalendarDate::Today());
        DoAccept();
        break;
    case ptDays: {
        const int cell = CellAt(X, Y);
        if (!cell) {
            if (!options_.Contains(coCancelIfOut)) DoAccept();
            break;
        }
        const int where = date_->CellPart(cell);
        if (options_.Contains(coFullDisplay) || where == 0) {
            date_->SelectCell(cell);
            DoAccept();
        } else if (options_.Contains(coMonthSwitch)) {
            where < 0 ? date_->PrevMonth() : date_->NextMonth();
        }
        break;
    }
    case ptNone: break;
    }
    Invalidate();
}

void TVQCustomCalendar::MouseLeave() {
    TCustomControl::MouseLeave();
    if (hover_) {
        hover_ = 0;
        Invalidate();
    }
}

TVQCalendar::TVQCalendar(TComponent* AOwner) : TVQCustomCalendar(AOwner) {
    SetBounds(0, 0, 155, 141);
    CalcCellSize();
}

// ------------------------------------------------------------- date pad

TVQDatePad::TVQDatePad(TComponent* AOwner) : TVQCustomCalendar(AOwner) {
    SetVisible(false);
    CalcCellSize();
}

void TVQDatePad::CalcCellSize() {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(Font());
    TTextMetric tm;
    probe.Canvas()->GetTextMetrics(tm);
    u_ = int(std::lround(tm.tmAveCharWidth * 1.4));
    h_ = int(std::lround((tm.tmHeight + tm.tmHeight / 8) * 1.2));
    m_ = 0;
    b_ = 0;
    const bool weeks = Options().Contains(coShowWeeks);
    w_ = weeks ? 4 * u_ : 0;
    const int width = u_ * (weeks ? 25 : 21) + 12;
    const int height = h_ * (Options().Contains(coShowTodayBtn) ? 9 : 8) + 12;
    if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}

void TVQDatePad::Popup(int x, int y) {
    TWinControl* from = caller_ ? caller_ : Parent();
    if (from && Parent()) {
        const TPoint at = Parent()->ScreenToClient(from->ClientToScreen(Point(x + 1, y + 1)));
        const int left = std::clamp(at.X, 0, std::max(0, Parent()->ClientWidth() - Width()));
        const int top = std::clamp(at.Y, 0, std::max(0, Parent()->ClientHeight() - Height()));
        SetBounds(left, top, Width(), Height());
    }
    BringToFront();
    Show();
    if (CanFocus()) SetFocus();
}

void TVQDatePad::DoAccept() {
    TVQCustomCalendar::DoAccept();
    Hide();
    if (caller_ && caller_->CanFocus()) caller_->SetFocus();
}

void TVQDatePad::DoCancel() {
    TVQCustomCalendar::DoCancel();
    Hide();
    if (caller_ && caller_->CanFocus()) caller_->SetFocus();
}

void TVQDatePad::DoExit() {
    TVQCustomCalendar::DoExit();
    if (Visible()) DoCancel();
}
