// The common controls on Qt widgets. The status bar paints itself on its
// TCanvas (owner-drawn panels share that canvas); the tree keeps its own
// node objects beside the Qt items so that node pointers stay valid as the
// class library's do.
#include "ComCtrls.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QShortcutEvent>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ImgList.h"
#include "Canvas_p.h"
#include "Controls_p.h"
#include "ImgList_p.h"
#include "Menus_p.h"

// ------------------------------------------------------------ dates

static const QDate kEpoch(1899, 12, 30);

static QDateTime ToQDateTime(TDateTime v) {
    double days = std::floor(double(v));
    qint64 ms = qint64(std::llround((double(v) - days) * 86400000.0));
    return QDateTime(kEpoch.addDays(qint64(days)), QTime(0, 0).addMSecs(int(std::min<qint64>(ms, 86399999))));
}

static TDateTime FromQDateTime(const QDateTime& dt) {
    double days = double(kEpoch.daysTo(dt.date()));
    return TDateTime(days + dt.time().msecsSinceStartOfDay() / 86400000.0);
}

// ------------------------------------------------------------ page control

namespace {
class PageControlPrivate : public TControlPrivate {
public:
    PageControlPrivate() : TControlPrivate(NewWidget<QWidget>()) {
        bar = new QTabBar(widget);
        bar->setDrawBase(true);
        bar->setExpanding(false);
        area = new QWidget(widget);
        widget->installEventFilter(this);
        bar->installEventFilter(this);
    }
    QWidget* client() const override { return area; }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == widget && e->type() == QEvent::Resize) place();
        // A tab's accelerator (Alt and the letter marked in its caption)
        // turns to its page as a click on the tab does, asking first; the
        // bar's own handling would change pages without a word.
        if (o == bar && e->type() == QEvent::Shortcut && tabChosen) {
            const QKeySequence key = static_cast<QShortcutEvent*>(e)->key();
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isTabEnabled(i) && QKeySequence::mnemonic(bar->tabText(i)) == key) {
                    tabChosen(i);
                    return true;
                }
        }
        return TControlPrivate::eventFilter(o, e);
    }
    std::function<void(int)> tabChosen;
    void place() {
        int h = bar->sizeHint().height();
        bar->setGeometry(0, 0, widget->width(), h);
        area->setGeometry(0, h, widget->width(), std::max(0, widget->height() - h));
    }
    QTabBar* bar;
    QWidget* area;
};
} // namespace

static PageControlPrivate* PD(const TPageControl* p) {
    return static_cast<PageControlPrivate*>(TControlPrivate::get(p));
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {}
TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pc == pageControl_) return;
    if (pageControl_) pageControl_->removePage(this);
    pageControl_ = pc;
    if (pc) {
        SetParent(pc);
        SetAlign(alClient);
        pc->insertPage(this);
    } else {
        SetParent(nullptr);
    }
}

void TTabSheet::SetText(const std::string& v) {
    d_->text = v;
    if (pageControl_) pageControl_->syncTabs();
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& p = pageControl_->pages_;
    return int(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetTabVisible(bool v) {
    tabVisible_ = v;
    if (pageControl_) pageControl_->syncTabs();
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner, new PageControlPrivate) {
    auto* d = PD(this);
    d->widget->setFocusPolicy(Qt::NoFocus);
    d->bar->setFocusPolicy(Qt::NoFocus);
    d->tabStop = false;
    QObject::connect(d->bar, &QTabBar::tabBarClicked, d->bar,
                     [this](int tab) { DispatchSafely(this, [&] { tabClicked(tab); }); });
    d->tabChosen = [this](int tab) { DispatchSafely(this, [&] { tabClicked(tab); }); };
    SetBounds(0, 0, 289, 193);
    d->place();
}

TPageControl::~TPageControl() {
    for (TTabSheet* s : pages_) s->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int i) const {
    if (i < 0 || i >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return pages_[size_t(i)];
}

void TPageControl::insertPage(TTabSheet* s) {
    pages_.push_back(s);
    if (!active_) active_ = s;
    syncTabs();
}

void TPageControl::removePage(TTabSheet* s) {
    pages_.erase(std::remove(pages_.begin(), pages_.end(), s), pages_.end());
    if (active_ == s) active_ = pages_.empty() ? nullptr : pages_.front();
    syncTabs();
}

// The tab bar shows the visible sheets only; tab i is the i-th of those.
void TPageControl::syncTabs() {
    auto* d = PD(this);
    syncing_ = true;
    while (d->bar->count() > 0) d->bar->removeTab(0);
    int current = -1;
    for (TTabSheet* s : pages_) {
        if (!s->TabVisible()) continue;
        if (s == active_) current = d->bar->count();
        d->bar->addTab(ToQt(s->Caption()));
    }
    if (current >= 0) d->bar->setCurrentIndex(current);
    for (TTabSheet* s : pages_) s->SetVisible(s == active_);
    d->place();
    syncing_ = false;
}

void TPageControl::tabClicked(int tab) {
    if (tab < 0) return;
    int n = -1;
    TTabSheet* target = nullptr;
    for (TTabSheet* s : pages_)
        if (s->TabVisible() && ++n == tab) target = s;
    if (!target || target == active_) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) {
        syncTabs();
        return;
    }
    SetActivePage(target);
    if (OnChange) OnChange(this);
}

void TPageControl::SetActivePage(TTabSheet* v) {
    if (v && v->pageControl_ != this) return;
    TTabSheet* old = active_;
    active_ = v;
    syncTabs();
    if (old != v) {
        if (old && old->OnHide) old->OnHide(old);
        if (v && v->OnShow) v->OnShow(v);
    }
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }
void TPageControl::SetActivePageIndex(int v) {
    if (v >= 0 && v < PageCount()) SetActivePage(pages_[size_t(v)]);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* cur, bool forward, bool checkVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = cur ? cur->PageIndex() : (forward ? n - 1 : 0);
    for (int step = 1; step <= n; ++step) {
        int i = forward ? (start + step) % n : (start - step + n * 2) % n;
        if (!checkVisible || pages_[size_t(i)]->TabVisible()) return pages_[size_t(i)];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool forward) {
    if (TTabSheet* p = FindNextPage(active_, forward, true); p && p != active_) {
        bool allow = true;
        if (OnChanging) OnChanging(this, allow);
        if (!allow) return;
        SetActivePage(p);
        if (OnChange) OnChange(this);
    }
}

// ------------------------------------------------------------ status bar

void TStatusPanel::SetText(const std::string& v) {
    text_ = v;
    if (bar_) bar_->Invalidate();
}
void TStatusPanel::SetWidth(int v) {
    width_ = v;
    if (bar_) bar_->Invalidate();
}
void TStatusPanel::SetAlignment(TAlignment v) {
    alignment_ = v;
    if (bar_) bar_->Invalidate();
}
void TStatusPanel::SetStyle(TStatusPanelStyle v) {
    style_ = v;
    if (bar_) bar_->Invalidate();
}
void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    bevel_ = v;
    if (bar_) bar_->Invalidate();
}
int TStatusPanel::Index() const {
    if (!bar_) return -1;
    auto* ps = bar_->Panels();
    for (int i = 0; i < ps->Count(); ++i)
        if (ps->Items(i) == this) return i;
    return -1;
}

TStatusPanel* TStatusPanels::Add() {
    auto p = std::make_unique<TStatusPanel>();
    p->bar_ = bar_;
    items_.push_back(std::move(p));
    bar_->Invalidate();
    return items_.back().get();
}
TStatusPanel* TStatusPanels::Items(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return items_[size_t(i)].get();
}
void TStatusPanels::Delete(int i) {
    Items(i);
    items_.erase(items_.begin() + i);
    bar_->Invalidate();
}
void TStatusPanels::Clear() {
    items_.clear();
    bar_->Invalidate();
}
void TStatusPanels::EndUpdate() { bar_->Invalidate(); }

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), panels_(std::make_unique<TStatusPanels>(this)) {
    d_->widget->setFocusPolicy(Qt::NoFocus);
    d_->tabStop = false;
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

TRect TStatusBar::PanelRect(int i) const {
    int x = 0;
    const int h = ClientHeight();
    for (int k = 0; k < panels_->Count(); ++k) {
        int w = panels_->Items(k)->Width();
        if (k == panels_->Count() - 1) w = std::max(w, ClientWidth() - x);
        if (k == i) return Rect(x, 2, x + w - 2, h);
        x += w;
    }
    return {};
}

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    auto text = [c](TRect r, const std::string& s, TAlignment a) {
        InflateRect(r, -2, 0);
        unsigned fmt = DT_VCENTER | DT_SINGLELINE |
                       (a == taCenter         ? DT_CENTER
                        : a == taRightJustify ? DT_RIGHT
                                              : DT_LEFT);
        c->Brush()->SetStyle(bsClear);
        c->DrawText(s, -1, r, fmt);
        c->Brush()->SetStyle(bsSolid);
    };
    if (simplePanel_ || panels_->Count() == 0) {
        text(Rect(0, 2, ClientWidth(), ClientHeight()), simpleText_, taLeftJustify);
        return;
    }
    for (int i = 0; i < panels_->Count(); ++i) {
        TStatusPanel* p = panels_->Items(i);
        TRect r = PanelRect(i);
        if (p->Bevel() != pbNone) {
            TRect edge = r;
            c->DrawEdge(edge, p->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RECT);
        }
        TRect inner = r;
        InflateRect(inner, -1, -1);
        if (p->Style() == psOwnerDraw && OnDrawPanel) {
            int saved = c->SaveDC();
            c->IntersectClipRect(inner);
            OnDrawPanel(this, p, inner);
            c->RestoreDC(saved);
        } else {
            text(inner, p->Text(), p->Alignment());
        }
    }
}

// ------------------------------------------------------------ tool bar

static QToolButton* ToolWidget(const TControl* c) {
    return static_cast<QToolButton*>(TControlPrivate::get(c)->widget.data());
}

TToolButton::TToolButton(TComponent* AOwner) : TControl(AOwner, new TControlPrivate(NewWidget<QToolButton>())) {
    auto* b = ToolWidget(this);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    d_->clickOnRelease = false;
    d_->fillBackground = false;
    QObject::connect(b, &QToolButton::clicked, b, [this] { DispatchSafely(this, [this] { Click(); }); });
    SetBounds(0, 0, 23, 22);
}

void TToolButton::SetParent(TWinControl* AParent) {
    TControl::SetParent(AParent);
    Refresh();
    if (AParent) AParent->Realign();
    if (auto* bar = dynamic_cast<TToolBar*>(AParent)) bar->updateKeyboardAccess();
}

void TToolButton::SetText(const std::string& v) {
    d_->text = v;
    Refresh();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
    style_ = v;
    auto* b = ToolWidget(this);
    b->setCheckable(v == tbsCheck);
    b->setEnabled(v != tbsSeparator && v != tbsDivider && Enabled());
    if (v == tbsSeparator || v == tbsDivider) SetWidth(8);
    Refresh();
    if (Parent()) Parent()->Realign();
}

void TToolButton::SetImageIndex(int v) {
    imageIndex_ = v;
    Refresh();
}

bool TToolButton::Down() const { return ToolWidget(this)->isChecked(); }

void TToolButton::SetDown(bool v) {
    auto* b = ToolWidget(this);
    b->setCheckable(true);
    b->setChecked(v);
    if (v && grouped_ && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* o = dynamic_cast<TToolButton*>(Parent()->Controls(i)); o && o != this && o->grouped_ && o->Down())
                ToolWidget(o)->setChecked(false);
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
    dropdownMenu_ = v;
    auto* b = ToolWidget(this);
    // The arrow part is the toolkit's own: it needs the menu to draw and
    // to drop it.
    b->setMenu(v && style_ == tbsDropDown ? MenuItemMenu(v->Items()) : nullptr);
    b->setPopupMode(v && style_ == tbsDropDown ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
    if (auto* bar = dynamic_cast<TToolBar*>(Parent())) bar->updateKeyboardAccess();
}

void TToolButton::DropDown() {
    if (!dropdownMenu_) return;
    QWidget* b = ToolWidget(this);
    const QPoint p = b->mapToGlobal(QPoint(0, b->height()));
    dropdownMenu_->SetPopupComponent(this);
    dropdownMenu_->Popup(p.x(), p.y());
}

void TToolButton::Click() {
    if (style_ == tbsCheck && grouped_ && Down()) SetDown(true);
    // A button whose only job is its menu drops the menu, as its arrow does.
    if (dropdownMenu_ && !OnClick) {
        DropDown();
        return;
    }
    TControl::Click();
}

void TToolButton::Refresh() {
    auto* b = ToolWidget(this);
    auto* bar = dynamic_cast<TToolBar*>(Parent());
    if (style_ == tbsSeparator || style_ == tbsDivider) {
        b->setText("");
        b->setIcon(QIcon());
        return;
    }
    bool captions = !bar || bar->ShowCaptions();
    b->setText(captions ? ToQt(d_->text) : QString());
    QIcon icon;
    if (bar && bar->Images() && imageIndex_ >= 0 && imageIndex_ < bar->Images()->Count())
        icon = QIcon(QPixmap::fromImage(ImageListImage(bar->Images(), imageIndex_)));
    b->setIcon(icon);
    b->setToolButtonStyle(captions && !icon.isNull() ? Qt::ToolButtonTextUnderIcon
                          : captions                 ? Qt::ToolButtonTextOnly
                                                     : Qt::ToolButtonIconOnly);
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::SetImages(TImageList* v) {
    images_ = v;
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->Refresh();
}

void TToolBar::SetShowCaptions(bool v) {
    showCaptions_ = v;
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->Refresh();
    Realign();
}

void TToolBar::SetFlat(bool v) {
    flat_ = v;
    for (int i = 0; i < ButtonCount(); ++i) ToolWidget(Buttons(i))->setAutoRaise(v && !focusedBar_);
}

TToolButton* TToolBar::dropDownButton() const {
    for (int i = 0; i < ButtonCount(); ++i)
        if (TToolButton* b = Buttons(i); b->DropdownMenu() && b->Visible() && b->Enabled()) return b;
    return nullptr;
}

// Tool buttons take no focus, so a bar with a drop-down menu takes it for
// them: Tab reaches the bar and a key drops the menu.
void TToolBar::updateKeyboardAccess() {
    const bool reachable = dropDownButton() != nullptr;
    d_->widget->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    SetTabStop(reachable);
}

void TToolBar::KeyDown(Word& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key != VK_SPACE && Key != VK_RETURN && Key != VK_DOWN) return;
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return;
    if (TToolButton* b = dropDownButton()) {
        Key = 0;
        b->DropDown();
    }
}

// The focused bar shows its buttons raised: a flat bar has no other mark.
void TToolBar::DoEnter() {
    focusedBar_ = true;
    SetFlat(flat_);
    TWinControl::DoEnter();
}

void TToolBar::DoExit() {
    focusedBar_ = false;
    SetFlat(flat_);
    TWinControl::DoExit();
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int i) const {
    int n = 0;
    for (int k = 0; k < ControlCount(); ++k)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(k)); b && n++ == i) return b;
    throw EListError("List index out of bounds (" + std::to_string(i) + ")");
}

void TToolBar::AlignControls(TRect& r) {
    int x = r.Left + 2;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (!b || !b->Visible()) continue;
        bool sep = b->Style() == tbsSeparator || b->Style() == tbsDivider;
        int w = sep ? 8 : showCaptions_ ? std::max(buttonWidth_, ToolWidget(b)->sizeHint().width()) : buttonWidth_;
        b->SetBounds(x, r.Top + 2, w, buttonHeight_);
        x += w;
    }
    TWinControl::AlignControls(r);
}

// ------------------------------------------------------------ progress bar

static QProgressBar* Progress(const TControl* c) {
    return static_cast<QProgressBar*>(TControlPrivate::get(c)->widget.data());
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner, new TControlPrivate(NewWidget<QProgressBar>())) {
    auto* p = Progress(this);
    p->setRange(0, 100);
    p->setValue(0);
    p->setTextVisible(false);
    p->setFocusPolicy(Qt::NoFocus);
    d_->tabStop = false;
    SetBounds(0, 0, 150, 16);
}
int TProgressBar::Min() const { return Progress(this)->minimum(); }
void TProgressBar::SetMin(int v) { Progress(this)->setMinimum(v); }
int TProgressBar::Max() const { return Progress(this)->maximum(); }
void TProgressBar::SetMax(int v) { Progress(this)->setMaximum(v); }
int TProgressBar::Position() const { return Progress(this)->value(); }
void TProgressBar::SetPosition(int v) { Progress(this)->setValue(std::clamp(v, Min(), Max())); }
void TProgressBar::StepIt() { StepBy(step_); }
void TProgressBar::StepBy(int delta) {
    // The class library wraps round to Min after Max.
    int v = Position() + delta;
    if (v > Max()) v = Min() + (v - Max()) - 1;
    SetPosition(v);
}

// ------------------------------------------------------------ up-down

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    QWidget* w = d_->widget;
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(w);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(w);
    down->setArrowType(Qt::DownArrow);
    for (auto* b : {up, down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    QObject::connect(up, &QToolButton::clicked, up, [this] { DispatchSafely(this, [this] { ClickButton(btNext); }); });
    QObject::connect(down, &QToolButton::clicked, down,
                     [this] { DispatchSafely(this, [this] { ClickButton(btPrev); }); });
    d_->clickOnRelease = false;
    SetBounds(0, 0, 15, 21);
}

int TUpDown::Position() const {
    // With an associate the typed text is the position, when it is a number.
    if (associate_) {
        bool ok = false;
        int v = ToQt(associate_->Text()).trimmed().toInt(&ok);
        if (ok) return std::clamp(v, min_, max_);
    }
    return pos_;
}

void TUpDown::SetPosition(int v) {
    pos_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (associate_) associate_->SetText(std::to_string(pos_));
}

void TUpDown::SetAssociate(TWinControl* v) {
    associate_ = v;
    if (v) {
        SetBounds(v->Left() + v->Width(), v->Top(), Width(), v->Height());
        v->SetText(std::to_string(pos_));
    }
}

void TUpDown::ClickButton(TUDBtnType b) {
    if (OnChanging) OnChanging(this);
    int p = Position();
    int next = b == btNext ? p + increment_ : p - increment_;
    if (next > max_) next = wrap_ ? min_ : max_;
    if (next < min_) next = wrap_ ? max_ : min_;
    SetPosition(next);
    if (OnClick) OnClick(this, b);
}

// ------------------------------------------------------------ date picker

static QDateTimeEdit* DateEdit(const TControl* c) {
    return static_cast<QDateTimeEdit*>(TControlPrivate::get(c)->widget.data());
}

TDateTimePicker::TDateTimePicker(TComponent* AOwner)
    : TWinControl(AOwner, new TControlPrivate(NewWidget<QDateTimeEdit>())) {
    auto* e = DateEdit(this);
    e->setCalendarPopup(true);
    e->setFocusPolicy(Qt::StrongFocus);
    e->setDateTime(QDateTime(QDate::currentDate(), QTime::currentTime()));
    d_->parentColor = false;
    d_->color = clWindow;
    d_->applyColor();
    d_->clickOnRelease = false;
    applyFormat();
    QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [this](const QDateTime&) {
        DispatchSafely(this, [this] {
            if (OnChange) OnChange(this);
        });
    });
    SetBounds(0, 0, 186, 21);
}

void TDateTimePicker::applyFormat() {
    auto* e = DateEdit(this);
    if (kind_ == dtkTime)
        e->setDisplayFormat("HH:mm:ss");
    else
        e->setDisplayFormat(dateFormat_ == dfShort ? "yyyy-MM-dd" : QString::fromUtf8("yyyy'年'M'月'd'日'"));
    e->setCalendarPopup(kind_ == dtkDate);
}

TDateTime TDateTimePicker::Date() const { return std::floor(double(DateTime())); }
void TDateTimePicker::SetDate(TDateTime v) { SetDateTime(std::floor(double(v)) + (double(Time()))); }
TDateTime TDateTimePicker::Time() const {
    double v = DateTime();
    return v - std::floor(v);
}
void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(double(Date()) + (double(v) - std::floor(double(v)))); }
TDateTime TDateTimePicker::DateTime() const { return FromQDateTime(DateEdit(this)->dateTime()); }
void TDateTimePicker::SetDateTime(TDateTime v) { DateEdit(this)->setDateTime(ToQDateTime(v)); }
void TDateTimePicker::SetKind(TDateTimeKind v) {
    kind_ = v;
    applyFormat();
}
void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
    dateFormat_ = v;
    applyFormat();
}
TDateTime TDateTimePicker::MinDate() const { return FromQDateTime(DateEdit(this)->minimumDateTime()); }
void TDateTimePicker::SetMinDate(TDateTime v) { DateEdit(this)->setMinimumDateTime(ToQDateTime(v)); }
TDateTime TDateTimePicker::MaxDate() const { return FromQDateTime(DateEdit(this)->maximumDateTime()); }
void TDateTimePicker::SetMaxDate(TDateTime v) { DateEdit(this)->setMaximumDateTime(ToQDateTime(v)); }

// ------------------------------------------------------------ month calendar

static QCalendarWidget* Calendar(const TControl* c) {
    return static_cast<QCalendarWidget*>(TControlPrivate::get(c)->widget.data());
}

TMonthCalendar::TMonthCalendar(TComponent* AOwner)
    : TWinControl(AOwner, new TControlPrivate(NewWidget<QCalendarWidget>())) {
    auto* cal = Calendar(this);
    cal->setFocusPolicy(Qt::StrongFocus);
    cal->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    d_->clickOnRelease = false;
    // Double click and Enter on a day both "activate" it.
    QObject::connect(cal, &QCalendarWidget::activated, cal,
                     [this](QDate) { DispatchSafely(this, [this] { DblClick(); }); });
    QObject::connect(cal, &QCalendarWidget::clicked, cal, [this](QDate) { DispatchSafely(this, [this] { Click(); }); });
    QObject::connect(cal, &QCalendarWidget::selectionChanged, cal, [this] {
        DispatchSafely(this, [this] {
            if (OnChange) OnChange(this);
        });
    });
    // The calendar's own view gets the mouse; the bridge must see its keys.
    if (auto* view = cal->findChild<QAbstractItemView*>()) d_->bridge(view);
    SetBounds(0, 0, 191, 154);
}

TDateTime TMonthCalendar::Date() const { return double(kEpoch.daysTo(Calendar(this)->selectedDate())); }
void TMonthCalendar::SetDate(TDateTime v) {
    Calendar(this)->setSelectedDate(kEpoch.addDays(qint64(std::floor(double(v)))));
}

TRect TMonthCalendar::DayTableRect() const {
    QWidget* cal = Calendar(this);
    QWidget* view = cal->findChild<QAbstractItemView*>();
    if (!view) return ClientRect();
    const QPoint p = view->mapTo(cal, QPoint(0, 0));
    return Rect(p.x(), p.y(), p.x() + view->width(), p.y() + view->height());
}

void TMonthCalendar::WndProc(TMessage& m) {
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) {
        QWidget* view = Calendar(this)->findChild<QAbstractItemView*>();
        if (!view) view = Calendar(this);
        TShiftState shift;
        for (auto i : {ssShift, ssAlt, ssCtrl})
            if (m.LParam & (1 << i)) shift << i;
        QKeyEvent ev(m.Msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease, VKToQtKey(Word(m.WParam)),
                     ModifiersOf(shift));
        QCoreApplication::sendEvent(view, &ev);
        return;
    }
    TWinControl::WndProc(m);
}

// ------------------------------------------------------------ tree view

namespace {
constexpr int kNodeRole = Qt::UserRole + 77;
} // namespace

static QTreeWidget* Tree(const TTreeView* t) {
    return static_cast<QTreeWidget*>(TControlPrivate::get(t)->widget.data());
}

TTreeView::TTreeView(TComponent* AOwner)
    : TWinControl(AOwner, new TControlPrivate(NewWidget<QTreeWidget>())), items_(std::make_unique<TTreeNodes>(this)) {
    auto* t = Tree(this);
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setFocusPolicy(Qt::StrongFocus);
    t->setRootIsDecorated(true);
    d_->parentColor = false;
    d_->color = clWindow;
    d_->applyColor();
    d_->bridge(t->viewport());
    d_->clickOnRelease = true;
    QObject::connect(t, &QTreeWidget::currentItemChanged, t, [this](QTreeWidgetItem* cur, QTreeWidgetItem*) {
        TTreeNode* n = NodeOfItem(cur);
        DispatchSafely(this, [&] {
            if (OnChange) OnChange(this, n);
        });
    });
    QObject::connect(t, &QTreeWidget::itemExpanded, t, [this, t](QTreeWidgetItem* it) {
        if (expanding_) return;
        TTreeNode* n = NodeOfItem(it);
        bool allow = true;
        DispatchSafely(this, [&] {
            if (OnExpanding) OnExpanding(this, n, allow);
        });
        if (!allow) {
            expanding_ = true;
            t->collapseItem(it);
            expanding_ = false;
            return;
        }
        DispatchSafely(this, [&] {
            if (OnExpanded) OnExpanded(this, n);
        });
    });
    QObject::connect(t, &QTreeWidget::itemCollapsed, t, [this, t](QTreeWidgetItem* it) {
        if (expanding_) return;
        TTreeNode* n = NodeOfItem(it);
        bool allow = true;
        DispatchSafely(this, [&] {
            if (OnCollapsing) OnCollapsing(this, n, allow);
        });
        if (!allow) {
            expanding_ = true;
            t->expandItem(it);
            expanding_ = false;
            return;
        }
        DispatchSafely(this, [&] {
            if (OnCollapsed) OnCollapsed(this, n);
        });
    });
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() { items_->Clear(); }

TTreeNode* TTreeView::NodeOfItem(void* item) const {
    auto* it = static_cast<QTreeWidgetItem*>(item);
    if (!it) return nullptr;
    return static_cast<TTreeNode*>(it->data(0, kNodeRole).value<void*>());
}

TTreeNode* TTreeView::Selected() const { return NodeOfItem(Tree(this)->currentItem()); }
void TTreeView::SetSelected(TTreeNode* v) {
    Tree(this)->setCurrentItem(v ? static_cast<QTreeWidgetItem*>(v->item_) : nullptr);
}
TTreeNode* TTreeView::GetNodeAt(int X, int Y) const { return NodeOfItem(Tree(this)->itemAt(X, Y)); }
bool TTreeView::ShowRoot() const { return Tree(this)->rootIsDecorated(); }
void TTreeView::SetShowRoot(bool v) { Tree(this)->setRootIsDecorated(v); }
void TTreeView::FullExpand() {
    for (int i = 0; i < items_->Count(); ++i) items_->Item(i)->SetExpanded(true);
}
void TTreeView::FullCollapse() { Tree(this)->collapseAll(); }

// Nodes

TTreeNodes::~TTreeNodes() { Clear(); }

TTreeNode* TTreeNodes::make(TTreeNode* parent, int index, const std::string& s, void* data) {
    auto* n = new TTreeNode;
    n->owner_ = owner_;
    n->parent_ = parent;
    n->data_ = data;
    auto* it = new QTreeWidgetItem(QStringList{ToQt(s)});
    it->setData(0, kNodeRole, QVariant::fromValue<void*>(n));
    n->item_ = it;
    auto& list = parent ? parent->children_ : roots_;
    index = std::clamp(index, 0, int(list.size()));
    list.insert(list.begin() + index, n);
    if (parent)
        static_cast<QTreeWidgetItem*>(parent->item_)->insertChild(index, it);
    else
        Tree(owner_)->insertTopLevelItem(index, it);
    return n;
}

void TTreeNodes::destroy(TTreeNode* n) {
    for (TTreeNode* c : std::vector<TTreeNode*>(n->children_)) destroy(c);
    n->children_.clear();
    auto& list = n->parent_ ? n->parent_->children_ : roots_;
    list.erase(std::remove(list.begin(), list.end(), n), list.end());
    delete static_cast<QTreeWidgetItem*>(n->item_);
    delete n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& s) { return AddObject(sibling, s, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& s, void* data) {
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    int count = parent ? parent->Count() : int(roots_.size());
    return make(parent, count, s, data);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& s) { return AddChildObject(parent, s, nullptr); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& s, void* data) {
    return make(parent, parent ? parent->Count() : int(roots_.size()), s, data);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& s) {
    if (!sibling) return make(nullptr, int(roots_.size()), s, nullptr);
    return make(sibling->parent_, sibling->Index(), s, nullptr);
}
void TTreeNodes::Delete(TTreeNode* node) {
    if (node) destroy(node);
}
void TTreeNodes::Clear() {
    for (TTreeNode* n : std::vector<TTreeNode*>(roots_)) destroy(n);
}

static void Flatten(const std::vector<TTreeNode*>& list, std::vector<TTreeNode*>& out) {
    for (TTreeNode* n : list) {
        out.push_back(n);
        std::vector<TTreeNode*> kids;
        for (int i = 0; i < n->Count(); ++i) kids.push_back(n->Item(i));
        Flatten(kids, out);
    }
}

int TTreeNodes::Count() const {
    std::vector<TTreeNode*> all;
    Flatten(roots_, all);
    return int(all.size());
}

TTreeNode* TTreeNodes::Item(int i) const {
    std::vector<TTreeNode*> all;
    Flatten(roots_, all);
    if (i < 0 || i >= int(all.size())) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return all[size_t(i)];
}

void TTreeNodes::BeginUpdate() { Tree(owner_)->setUpdatesEnabled(false); }
void TTreeNodes::EndUpdate() { Tree(owner_)->setUpdatesEnabled(true); }

std::string TTreeNode::Text() const { return FromQt(static_cast<QTreeWidgetItem*>(item_)->text(0)); }
void TTreeNode::SetText(const std::string& v) { static_cast<QTreeWidgetItem*>(item_)->setText(0, ToQt(v)); }
TTreeNode* TTreeNode::Item(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return children_[size_t(i)];
}
int TTreeNode::Index() const {
    const auto& list = parent_ ? parent_->children_ : owner_->items_->roots_;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}
int TTreeNode::Level() const { return parent_ ? parent_->Level() + 1 : 0; }
int TTreeNode::AbsoluteIndex() const {
    std::vector<TTreeNode*> all;
    Flatten(owner_->items_->roots_, all);
    return int(std::find(all.begin(), all.end(), this) - all.begin());
}
bool TTreeNode::HasChildren() const {
    auto* it = static_cast<QTreeWidgetItem*>(item_);
    return it->childCount() > 0 || it->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}
void TTreeNode::SetHasChildren(bool v) {
    static_cast<QTreeWidgetItem*>(item_)->setChildIndicatorPolicy(v ? QTreeWidgetItem::ShowIndicator
                                                                    : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}
bool TTreeNode::Expanded() const { return static_cast<QTreeWidgetItem*>(item_)->isExpanded(); }
void TTreeNode::SetExpanded(bool v) { static_cast<QTreeWidgetItem*>(item_)->setExpanded(v); }
void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (TTreeNode* c : std::vector<TTreeNode*>(children_)) c->Expand(true);
}
void TTreeNode::Collapse(bool recurse) {
    if (recurse)
        for (TTreeNode* c : children_) c->Collapse(true);
    SetExpanded(false);
}
bool TTreeNode::Selected() const { return Tree(owner_)->currentItem() == item_; }
void TTreeNode::SetSelected(bool v) {
    if (v)
        Tree(owner_)->setCurrentItem(static_cast<QTreeWidgetItem*>(item_));
    else if (Selected())
        Tree(owner_)->setCurrentItem(nullptr);
}
TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& list = parent_ ? parent_->children_ : owner_->items_->roots_;
    int i = Index();
    return i + 1 < int(list.size()) ? list[size_t(i + 1)] : nullptr;
}
TTreeNode* TTreeNode::GetPrevSibling() const {
    const auto& list = parent_ ? parent_->children_ : owner_->items_->roots_;
    int i = Index();
    return i > 0 ? list[size_t(i - 1)] : nullptr;
}
TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}
void TTreeNode::MakeVisible() { Tree(owner_)->scrollToItem(static_cast<QTreeWidgetItem*>(item_)); }
void TTreeNode::Delete() { owner_->items_->Delete(this); }
void TTreeNode::DeleteChildren() {
    for (TTreeNode* c : std::vector<TTreeNode*>(children_)) owner_->items_->destroy(c);
}
