// The control hierarchy on Qt widgets: geometry, alignment, font and colour
// inheritance, the event bridge (mouse, focus, the key pipeline) and the
// painting of custom and graphic controls. Forms add their own part in
// Forms.cpp; the concrete controls in StdCtrls.cpp and friends.
#include "Controls_p.h"
#include "Forms_p.h"
#include "Canvas_p.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <map>

#include "Cursors.h"
#include "Forms.h"
#include "Menus.h"
#include "Canvas_p.h"
#include "Forms_p.h"

// ------------------------------------------------------------ helpers

QString ToQt(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string FromQt(const QString& s) { return s.toUtf8().toStdString(); }

static const char* kControlProperty = "_tcontrol";

TControl* ControlOfWidget(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property(kControlProperty);
        if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
    }
    return nullptr;
}

// ---- dragging one control onto another
//
//   idle --BeginDrag(false)--> pending --moved Threshold px--> running
//     ^                          |  release (a click)            | release: EndDrag(true)
//     +--------------------------+-------------------------------+ EndDrag(false), source gone
//
// One drag at a time, held here; the source's pointer events feed it.
namespace {
struct DragRun {
    TControl* source = nullptr;
    bool running = false;
    int threshold = 5;
    QPoint from;
    TControl* target = nullptr;
    bool accepted = false;
    TCursor sourceCursor = crDefault;
};
DragRun g_drag;
// Where the pointer was at the last event that reached a control (screen).
QPoint g_pointer;

TControl* dragTargetAt(const QPoint& global) {
    QWidget* w = QApplication::widgetAt(global);
    TControl* c = ControlOfWidget(w);
    return c && c->Enabled() ? c : nullptr;
}

bool askTarget(TControl* target, TDragState state, const QPoint& global) {
    bool accept = false;
    if (target && target->OnDragOver) {
        const TPoint p = target->ScreenToClient({global.x(), global.y()});
        target->OnDragOver(target, g_drag.source, p.X, p.Y, state, accept);
    }
    return accept;
}

void dragMoveTo(const QPoint& global) {
    TControl* now = dragTargetAt(global);
    if (now != g_drag.target) {
        if (g_drag.target) askTarget(g_drag.target, dsDragLeave, global);
        g_drag.target = now;
        g_drag.accepted = askTarget(now, dsDragEnter, global);
    } else {
        g_drag.accepted = askTarget(now, dsDragMove, global);
    }
    if (g_drag.source) g_drag.source->SetCursor(g_drag.accepted ? crDrag : crNoDrop);
}

void startDrag() {
    TControl* s = g_drag.source;
    g_drag.running = true;
    g_drag.sourceCursor = s->Cursor();
    s->SetMouseCapture(true);
    if (s->OnStartDrag) s->OnStartDrag(s);
    if (g_drag.source == s) dragMoveTo(g_pointer);
}

// The source's pointer events while a drag is pending or running; true
// when the drag took the event.
bool dragMouseEvent(TControl* q, QEvent::Type type, const QPoint& global) {
    g_pointer = global;
    if (g_drag.source != q) return false;
    if (type == QEvent::MouseMove) {
        if (g_drag.running)
            dragMoveTo(global);
        else if ((global - g_drag.from).manhattanLength() >= g_drag.threshold)
            startDrag();
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (!g_drag.running) {
            g_drag = {};
            return false;
        }
        q->EndDrag(true);
        return true;
    }
    return false;
}
} // namespace

QWidget* WidgetOf(const TControl* c) { return c ? TControlPrivate::get(c)->outer() : nullptr; }
QWidget* ClientWidgetOf(const TControl* c) { return c ? TControlPrivate::get(c)->client() : nullptr; }

namespace {
struct KeyPair {
    int qt;
    Word vk;
};
const KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},        {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},     {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},        {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},      {Qt::Key_Down, VK_DOWN},       {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},    {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Help, VK_HELP},
    {Qt::Key_Menu, VK_APPS},        {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, 0xBA},      {Qt::Key_Equal, 0xBB},         {Qt::Key_Comma, 0xBC},
    {Qt::Key_Minus, 0xBD},          {Qt::Key_Period, 0xBE},        {Qt::Key_Slash, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},      {Qt::Key_BracketLeft, 0xDB},   {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD},   {Qt::Key_Apostrophe, 0xDE},    {Qt::Key_Plus, 0xBB},
    {Qt::Key_Asterisk, 0x38},       {Qt::Key_Clear, VK_CLEAR},
};
} // namespace

Word QtKeyToVK(int k, Qt::KeyboardModifiers mods) {
    const bool pad = mods & Qt::KeypadModifier;
    if (pad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return Word(VK_NUMPAD0 + (k - Qt::Key_0));
        switch (k) {
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        default: break;
        }
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return Word('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return Word('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return Word(VK_F1 + (k - Qt::Key_F1));
    for (const auto& p : kKeys)
        if (p.qt == k) return p.vk;
    return 0;
}

int VKToQtKey(Word vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    case VK_MULTIPLY: return Qt::Key_Asterisk;
    case VK_DIVIDE: return Qt::Key_Slash;
    case VK_DECIMAL: return Qt::Key_Period;
    case 0xBB: return Qt::Key_Equal;
    default: break;
    }
    for (const auto& p : kKeys)
        if (p.vk == vk) return p.qt;
    return Qt::Key_unknown;
}

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState s;
    if (mods & Qt::ShiftModifier) s << ssShift;
    if (mods & Qt::ControlModifier) s << ssCtrl;
    if (mods & Qt::AltModifier) s << ssAlt;
    if (buttons & Qt::LeftButton) s << ssLeft;
    if (buttons & Qt::RightButton) s << ssRight;
    if (buttons & Qt::MiddleButton) s << ssMiddle;
    return s;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState shift) {
    Qt::KeyboardModifiers m;
    if (shift.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (shift.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

static TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

static Qt::CursorShape ShapeOf(TCursor c) {
    switch (c) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS:
    case crVSplit: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE:
    case crHSplit: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crAppStart: return Qt::BusyCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crNone: return Qt::BlankCursor;
    default: return Qt::ArrowCursor;
    }
}

// UTF-8 <-> code points for the character stage of the key pipeline.
static std::u32string ToU32(const QString& s) {
    std::u32string out;
    for (char32_t c : s.toUcs4()) out.push_back(c);
    return out;
}
static QString FromU32(const std::u32string& s) { return QString::fromUcs4(s.data(), qsizetype(s.size())); }

// ------------------------------------------------------------ private part

TControlPrivate::TControlPrivate(QWidget* w) : widget(w), font(std::make_unique<TFont>()) {}

TControlPrivate::~TControlPrivate() = default;

void TControlPrivate::bridge(QWidget* w) {
    if (!w) return;
    w->installEventFilter(this);
    if (w == outer() || w == widget) w->setProperty(kControlProperty, QVariant::fromValue<void*>(q));
}

namespace {

// Whether the widget's own palette already gives these roles this colour
// in every state: setting it again would only make Qt resolve and pass the
// palette down once more, which is most of what building a window costs.
bool PaletteHolds(const QWidget* w, std::initializer_list<QPalette::ColorRole> roles, const QColor& c) {
    const QPalette& pal = w->palette();
    for (QPalette::ColorRole role : roles)
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            if (!pal.isBrushSet(group, role) || pal.color(group, role) != c) return false;
    return true;
}

void SetPaletteColors(QWidget* w, std::initializer_list<QPalette::ColorRole> roles, const QColor& c) {
    if (PaletteHolds(w, roles, c)) return;
    QPalette pal = w->palette();
    for (QPalette::ColorRole role : roles) pal.setColor(role, c);
    w->setPalette(pal);
}

constexpr std::initializer_list<QPalette::ColorRole> kBackRoles = {QPalette::Window, QPalette::Base};
constexpr std::initializer_list<QPalette::ColorRole> kTextRoles = {QPalette::WindowText, QPalette::Text,
                                                                   QPalette::ButtonText};

} // namespace

namespace {

QColor backColor(const TControlPrivate* d) {
    TColor c = d->color;
    if (d->parentColor && d->parent) c = d->parent->Color();
    return ToQColor(ColorToRGB(c));
}

} // namespace

void TControlPrivate::applyColor() {
    if (!widget) return;
    const QColor qc = backColor(this);
    SetPaletteColors(widget, kBackRoles, qc);
    QWidget* cl = client();
    if (cl && cl != widget) {
        SetPaletteColors(cl, kBackRoles, qc);
        cl->setAutoFillBackground(fillBackground);
    }
    widget->setAutoFillBackground(fillBackground);
}

void TControlPrivate::applyFont() {
    if (!widget) return;
    const QFont qf = ToQFont(*font, 96);
    if (!widget->testAttribute(Qt::WA_SetFont) || widget->font() != qf) widget->setFont(qf);
    SetPaletteColors(widget, kTextRoles, ToQColor(ColorToRGB(font->Color())));
}

void TControlPrivate::applyColorAndFont() {
    if (!widget) return;
    const QFont qf = ToQFont(*font, 96);
    if (!widget->testAttribute(Qt::WA_SetFont) || widget->font() != qf) widget->setFont(qf);
    const QColor back = backColor(this);
    const QColor text = ToQColor(ColorToRGB(font->Color()));
    if (!PaletteHolds(widget, kBackRoles, back) || !PaletteHolds(widget, kTextRoles, text)) {
        // Each setPalette resolves the palette and passes it down once
        // more: one write for both sets of roles halves that.
        QPalette pal = widget->palette();
        for (QPalette::ColorRole role : kBackRoles) pal.setColor(role, back);
        for (QPalette::ColorRole role : kTextRoles) pal.setColor(role, text);
        widget->setPalette(pal);
    }
    QWidget* cl = client();
    if (cl && cl != widget) {
        SetPaletteColors(cl, kBackRoles, back);
        cl->setAutoFillBackground(fillBackground);
    }
    widget->setAutoFillBackground(fillBackground);
}

void TControlPrivate::parentFontChanged() {
    if (!parentFont || !parent) return;
    inheritingFont = true;
    font->Assign(parent->Font());
    inheritingFont = false;
    if (!holdFont) applyFont();
    for (TControl* c : children) TControlPrivate::get(c)->parentFontChanged();
}

void TControlPrivate::parentColorChanged() {
    if (!parentColor) return;
    applyColor();
    for (TControl* c : children) TControlPrivate::get(c)->parentColorChanged();
}

bool TControlPrivate::eventFilter(QObject* o, QEvent* e) {
    QWidget* w = qobject_cast<QWidget*>(o);
    if (!w || !q) return false;
    // A form's destructor hides its children, and Qt then moves focus among
    // controls whose handlers capture the half-destroyed owner.
    if (q->ComponentState().Contains(csDestroying)) return false;
    auto* wc = dynamic_cast<TWinControl*>(q);
    switch (e->type()) {
    case QEvent::KeyPress:
        if (g_drag.running && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            // Esc gives a running drag up, wherever the keyboard is.
            TControl* source = g_drag.source;
            DispatchSafely(source, [&] { source->EndDrag(false); });
            return true;
        }
        return wc && keyPressed(w, static_cast<QKeyEvent*>(e));
    case QEvent::KeyRelease: return wc && keyReleased(w, static_cast<QKeyEvent*>(e));
    case QEvent::FocusIn: {
        if (!wc) return false;
        TCustomForm* form = GetParentForm(q);
        auto* fd = form ? TFormPrivate::get(form) : nullptr;
        // Back in a re-activated window (or from a popup) with the focus
        // where it was: nothing was left.
        if (fd && fd->enteredWidget == widget) return false;
        if (!fd) {
            auto r = static_cast<QFocusEvent*>(e)->reason();
            if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason)
                DispatchSafely(q, [&] { wc->DoEnter(); });
            return false;
        }
        // The focus moved while the window was inactive (after a modal
        // dialog): the control that had it has not been left yet.
        if (QWidget* before = fd->enteredWidget) {
            fd->enteredWidget = nullptr;
            if (auto* old = dynamic_cast<TWinControl*>(ControlOfWidget(before));
                old && !old->ComponentState().Contains(csDestroying))
                DispatchSafely(old, [&] { old->DoExit(); });
        }
        fd->enteredWidget = widget;
        DispatchSafely(q, [&] { wc->DoEnter(); });
        return false;
    }
    case QEvent::FocusOut: {
        if (!wc) return false;
        auto r = static_cast<QFocusEvent*>(e)->reason();
        if (r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason) return false;
        TCustomForm* form = GetParentForm(q);
        auto* fd = form ? TFormPrivate::get(form) : nullptr;
        if (fd) {
            if (fd->enteredWidget != widget) return false;
            fd->enteredWidget = nullptr;
        }
        DispatchSafely(q, [&] { wc->DoExit(); });
        return false;
    }
    case QEvent::Resize:
        if (w == client() && wc) wc->Realign();
        if (w == outer()) DispatchSafely(q, [&] { q->Resize(); });
        return false;
    case QEvent::Enter:
        if (w == mouseTarget()) DispatchSafely(q, [&] { q->MouseEnter(); });
        return false;
    case QEvent::Leave:
        if (w == mouseTarget()) DispatchSafely(q, [&] { q->MouseLeave(); });
        return false;
    default: break;
    }
    if (w != mouseTarget()) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        g_pointer = me->globalPosition().toPoint();
        inDoubleClick = false;
        QPoint p = me->position().toPoint();
        DispatchSafely(
            q, [&] { q->MouseDown(ButtonOf(me->button()), ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(e);
        inDoubleClick = true;
        QPoint p = me->position().toPoint();
        DispatchSafely(q, [&] {
            TShiftState s = ShiftOf(me->modifiers(), me->buttons());
            s << ssDouble;
            q->MouseDown(ButtonOf(me->button()), s, p.x(), p.y());
            if (me->button() == Qt::LeftButton) q->DblClick();
        });
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(e);
        bool dragged = false;
        DispatchSafely(q, [&] { dragged = dragMouseEvent(q, e->type(), me->globalPosition().toPoint()); });
        if (dragged) return true;
        QPoint p = me->position().toPoint();
        const bool inside = w->rect().contains(p);
        const bool wasDouble = inDoubleClick;
        inDoubleClick = false;
        DispatchSafely(q, [&] {
            q->MouseUp(ButtonOf(me->button()), ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y());
            if (clickOnRelease && inside && !wasDouble && me->button() == Qt::LeftButton && q->Enabled()) q->Click();
        });
        return false;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        bool dragged = false;
        DispatchSafely(q, [&] { dragged = dragMouseEvent(q, e->type(), me->globalPosition().toPoint()); });
        if (dragged) return true;
        QPoint p = me->position().toPoint();
        DispatchSafely(q, [&] { q->MouseMove(ShiftOf(me->modifiers(), me->buttons()), p.x(), p.y()); });
        return false;
    }
    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(e);
        bool handled = false;
        QPoint p = we->position().toPoint();
        DispatchSafely(q, [&] {
            handled =
                q->DoMouseWheel(ShiftOf(we->modifiers(), we->buttons()), we->angleDelta().y(), TPoint{p.x(), p.y()});
        });
        return handled;
    }
    case QEvent::ContextMenu: {
        auto* ce = static_cast<QContextMenuEvent*>(e);
        bool own = false;
        DispatchSafely(q, [&] { own = q->DoContextPopup(TPoint{ce->pos().x(), ce->pos().y()}); });
        if (own) return true;
        if (popupMenu) {
            QPoint g = ce->globalPos();
            DispatchSafely(q, [&] { popupMenu->Popup(g.x(), g.y()); });
            return true;
        }
        return false;
    }
    default: return false;
    }
}

// The one key event being worked on, so that a widget reached again while
// delivering it (a focus proxy, a parent) does not run the pipeline twice.
static QEvent* g_keyInFlight = nullptr;

namespace {
struct KeyFlight {
    QEvent* saved;
    explicit KeyFlight(QEvent* e) : saved(g_keyInFlight) { g_keyInFlight = e; }
    ~KeyFlight() { g_keyInFlight = saved; }
};
} // namespace

static TCustomForm* FormOf(TControl* c) {
    if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
    return GetParentForm(c);
}

bool TControlPrivate::keyPressed(QWidget* target, QKeyEvent* e) {
    if (g_keyInFlight == e) return false;
    KeyFlight flight(e);
    auto* wc = static_cast<TWinControl*>(q);
    QPointer<QWidget> guard(target);
    TCustomForm* form = FormOf(q);
    const Word original = QtKeyToVK(e->key(), e->modifiers());
    TShiftState shift = ShiftOf(e->modifiers(), QApplication::mouseButtons());
    if (e->key() == Qt::Key_Backtab) shift << ssShift;
    Word key = original;
    bool consumed = false;
    bool keyAlive = true;
    bool ok = DispatchSafely(q, [&] {
        // Characters without a key code (typed Chinese) skip the key stage.
        if (!original) return;
        if (key && form && form != q && form->KeyPreview()) static_cast<TWinControl*>(form)->KeyDown(key, shift);
        if (key) wc->KeyDown(key, shift);
        if (!key) {
            consumed = true;
            return;
        }
        if (form && form->IsShortCut(key, shift)) {
            consumed = true;
            return;
        }
        if (key == VK_TAB && !wc->WantTabs() && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
            if (form)
                form->SelectNext(form->ActiveControl() ? form->ActiveControl() : wc, !shift.Contains(ssShift), true);
            consumed = true;
            return;
        }
        if (key == VK_RETURN && enterClicks && shift.Empty()) {
            q->Click();
            consumed = true;
            return;
        }
        if (key == VK_RETURN && !wc->WantReturns() && form && FormPressDialogButton(form, key, shift)) {
            consumed = true;
            return;
        }
        if (key == VK_ESCAPE && !wc->WantEscape() && form && FormPressDialogButton(form, key, shift)) {
            consumed = true;
            return;
        }
        // Alt with a letter or digit: a caption's accelerator.
        if (form && shift.Contains(ssAlt) && !shift.Contains(ssCtrl) &&
            ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) && FormDialogChar(form, char32_t(key))) {
            consumed = true;
            return;
        }
    });
    if (!ok || consumed || !guard) {
        e->accept();
        return true;
    }
    // The character stage.
    std::u32string chars;
    if (key == VK_RETURN)
        chars = U"\r";
    else if (key == VK_ESCAPE)
        chars = U"\x1b";
    else if (key == VK_BACK)
        chars = U"\b";
    else if (key != VK_TAB) {
        chars = ToU32(e->text());
        chars.erase(std::remove_if(chars.begin(), chars.end(),
                                   [](char32_t c) { return c < 32 && c != 8 && c != 13 && c != 27; }),
                    chars.end());
        if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) chars.clear();
    }
    std::u32string delivered;
    ok = DispatchSafely(q, [&] {
        for (char32_t c : chars) {
            char32_t ch = c;
            if (form && form != q && form->KeyPreview()) static_cast<TWinControl*>(form)->KeyPress(ch);
            if (ch) wc->KeyPress(ch);
            if (ch) delivered.push_back(ch);
        }
    });
    if (!ok || !guard) {
        e->accept();
        return true;
    }
    keyAlive = chars.empty() || !delivered.empty();
    if (!passKeysToWidget || !keyAlive) {
        e->accept();
        return true;
    }
    const bool sameKey = key == original && delivered == chars;
    if (sameKey) {
        static_cast<QObject*>(target)->event(e);
    } else {
        int qk = VKToQtKey(key);
        QString text;
        if (!delivered.empty() && delivered != U"\r" && delivered != U"\x1b" && delivered != U"\b") {
            text = FromU32(delivered);
            if (delivered != chars)
                qk = delivered.size() == 1 && delivered[0] < 128 ? int(QChar(delivered[0]).toUpper().unicode())
                                                                 : Qt::Key_unknown;
        }
        QKeyEvent replaced(QEvent::KeyPress, qk, e->modifiers(), text, e->isAutoRepeat());
        static_cast<QObject*>(target)->event(&replaced);
    }
    e->accept();
    return true;
}

bool TControlPrivate::keyReleased(QWidget* target, QKeyEvent* e) {
    if (g_keyInFlight == e) return false;
    KeyFlight flight(e);
    auto* wc = static_cast<TWinControl*>(q);
    TCustomForm* form = FormOf(q);
    Word key = QtKeyToVK(e->key(), e->modifiers());
    TShiftState shift = ShiftOf(e->modifiers(), QApplication::mouseButtons());
    if (!key) return false;
    bool ok = DispatchSafely(q, [&] {
        if (form && form != q && form->KeyPreview()) static_cast<TWinControl*>(form)->KeyUp(key, shift);
        if (key) wc->KeyUp(key, shift);
    });
    if (!ok || !key || !passKeysToWidget) {
        e->accept();
        return true;
    }
    return false;
}

// ------------------------------------------------------------ TControl

TControl::TControl(TComponent* AOwner) : TControl(AOwner, new TControlPrivate(NewWidget<QWidget>())) {}

TControl::TControl(TComponent* AOwner, TControlPrivate* dd) : TComponent(AOwner), d_(dd) {
    Application.get();
    d_->q = this;
    d_->parentColor = true;
    d_->bridge(d_->outer());
    if (d_->widget != d_->outer()) d_->bridge(d_->widget);
    if (d_->client() != d_->widget) d_->bridge(d_->client());
    if (d_->mouseTarget() != d_->client() && d_->mouseTarget() != d_->widget) d_->bridge(d_->mouseTarget());
    d_->font->OnChange = [this](TObject*) {
        if (!d_->inheritingFont) d_->parentFont = false;
        if (!d_->holdFont) d_->applyFont();
        if (!d_->inheritingFont)
            for (TControl* c : d_->children) TControlPrivate::get(c)->parentFontChanged();
        FontChanged();
    };
    d_->applyFont();
}

TControl::~TControl() {
    // Marked before any widget is hidden, so that no event reaches this
    // control or the ones it owns once the subclasses are gone.
    Destroying();
    if (g_drag.source == this) g_drag = {};
    if (g_drag.target == this) g_drag.target = nullptr;
    if (d_->parent) SetParent(nullptr);
    for (TControl* c : std::vector<TControl*>(d_->children)) {
        c->d_->parent = nullptr;
        if (QWidget* w = c->d_->outer()) {
            w->hide();
            w->setParent(nullptr);
        }
    }
    d_->children.clear();
    d_->q = nullptr;
    QWidget* outer = d_->outer();
    QWidget* inner = d_->widget;
    delete d_->canvas;
    delete d_;
    if (inner && inner != outer) delete inner;
    delete outer;
}

void TControl::SetName(const std::string& name) {
    TComponent::SetName(name);
    if (QWidget* w = d_->outer()) w->setObjectName(ToQt(name));
    if (d_->widget && d_->widget != d_->outer()) d_->widget->setObjectName(ToQt(name));
}

TWinControl* TControl::Parent() const { return d_->parent; }

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == d_->parent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (TWinControl* old = d_->parent) {
        auto& ch = old->d_->children;
        ch.erase(std::remove(ch.begin(), ch.end(), this), ch.end());
        auto& tl = old->d_->tabOrderList;
        tl.erase(std::remove(tl.begin(), tl.end(), this), tl.end());
        d_->parent = nullptr;
        if (QWidget* w = d_->outer()) {
            w->hide();
            w->setParent(nullptr);
        }
        if (d_->align != alNone) old->Realign();
    }
    if (!AParent) return;
    d_->parent = AParent;
    AParent->d_->children.push_back(this);
    if (auto* wc = dynamic_cast<TWinControl*>(this)) AParent->d_->tabOrderList.push_back(wc);
    if (QWidget* w = d_->outer()) {
        QRect g = w->geometry();
        if (d_->dropDownWindow)
            w->setParent(AParent->d_->client(), w->windowFlags());
        else
            w->setParent(AParent->d_->client());
        w->setGeometry(g);
        w->setVisible(d_->visible);
    }
    // The inherited font and the colour reach the widget together.
    d_->holdFont = true;
    d_->parentFontChanged();
    d_->holdFont = false;
    d_->applyColorAndFont();
    if (d_->align != alNone) AParent->Realign();
}

TCustomForm* TControl::GetParentForm() const { return ::GetParentForm(const_cast<TControl*>(this)); }

int TControl::Left() const { return d_->outer()->geometry().x(); }
int TControl::Top() const { return d_->outer()->geometry().y(); }
int TControl::Width() const { return d_->outer()->geometry().width(); }
int TControl::Height() const { return d_->outer()->geometry().height(); }
void TControl::SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
void TControl::SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
void TControl::SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
void TControl::SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    QWidget* w = d_->outer();
    QRect old = w->geometry();
    QRect g(ALeft, ATop, std::max(0, AWidth), std::max(0, AHeight));
    if (g == old) return;
    w->setGeometry(g);
    if (!w->isVisible() && g.size() != old.size()) {
        // Hidden widgets get their resize event only when shown; the
        // children, the scroll area's viewport and OnResize need it now.
        QResizeEvent ev(g.size(), old.size());
        QCoreApplication::sendEvent(w, &ev);
    }
    if (d_->parent && d_->align != alNone && !d_->parent->d_->aligning) d_->parent->Realign();
}

TRect TControl::BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
int TControl::ClientWidth() const { return ClientRect().Width(); }
int TControl::ClientHeight() const { return ClientRect().Height(); }
void TControl::SetClientWidth(int v) {
    SetWidth(Width() - ClientWidth() + v);
    if (dynamic_cast<TCustomForm*>(this)) static_cast<TFormPrivate*>(d_)->wantedClient.setWidth(v);
}
void TControl::SetClientHeight(int v) {
    SetHeight(Height() - ClientHeight() + v);
    if (dynamic_cast<TCustomForm*>(this)) static_cast<TFormPrivate*>(d_)->wantedClient.setHeight(v);
}

TRect TControl::ClientRect() const {
    QWidget* c = d_->client();
    QSize s = c == d_->outer() ? d_->outer()->geometry().size() : c->size();
    return Rect(0, 0, s.width(), s.height());
}

TPoint TControl::ClientToScreen(TPoint p) const {
    QPoint g = d_->client()->mapToGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    QPoint g = d_->client()->mapFromGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

TAlign TControl::Align() const { return d_->align; }
void TControl::SetAlign(TAlign v) {
    if (v == d_->align) return;
    d_->align = v;
    if (d_->parent) d_->parent->Realign();
}

bool TControl::Visible() const { return d_->visible; }
void TControl::SetVisible(bool v) {
    d_->visible = v;
    if (d_->parent) d_->outer()->setVisible(v);
    if (d_->parent && d_->align != alNone) d_->parent->Realign();
}
bool TControl::Showing() const { return d_->outer()->isVisible(); }

bool TControl::Enabled() const { return d_->enabled; }
void TControl::SetEnabled(bool v) {
    if (d_->enabled == v) return;
    d_->enabled = v;
    d_->outer()->setEnabled(v);
    EnabledChanged();
}

TColor TControl::Color() const {
    if (d_->parentColor && d_->parent) return d_->parent->Color();
    return d_->color;
}
void TControl::SetColor(TColor v) {
    d_->color = v;
    d_->parentColor = false;
    d_->applyColor();
    for (TControl* c : d_->children) c->d_->parentColorChanged();
    ColorChanged();
}
bool TControl::ParentColor() const { return d_->parentColor; }
void TControl::SetParentColor(bool v) {
    d_->parentColor = v;
    d_->applyColor();
    for (TControl* c : d_->children) c->d_->parentColorChanged();
}

TFont* TControl::Font() const { return d_->font.get(); }
void TControl::SetFont(const TFont* v) { d_->font->Assign(const_cast<TFont*>(v)); }
bool TControl::ParentFont() const { return d_->parentFont; }
void TControl::SetParentFont(bool v) {
    d_->parentFont = v;
    if (v) d_->parentFontChanged();
}

std::string TControl::GetText() const { return d_->text; }
void TControl::SetText(const std::string& v) {
    d_->text = v;
    Invalidate();
}

std::string TControl::Hint() const { return d_->hint; }
void TControl::SetHint(const std::string& v) {
    d_->hint = v;
    // The first part of "short|long" is the tooltip.
    std::string shortHint = v.substr(0, v.find('|'));
    d_->outer()->setToolTip(ToQt(shortHint));
}
bool TControl::ShowHint() const { return d_->showHint; }
void TControl::SetShowHint(bool v) { d_->showHint = v; }

TCursor TControl::Cursor() const { return d_->cursor; }
static std::map<TCursor, QCursor>& OwnCursors() {
    static std::map<TCursor, QCursor> cursors;
    return cursors;
}

TCursor RegisterCursor(TBitmap* image, int hotX, int hotY) {
    QImage img = BitmapImage(image).convertToFormat(QImage::Format_ARGB32);
    TColor t = image->TransparentColor();
    QRgb clear = qRgb(t & 0xFF, (t >> 8) & 0xFF, (t >> 16) & 0xFF);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (clear & 0xFFFFFF)) img.setPixel(x, y, 0);
    auto& cursors = OwnCursors();
    TCursor id = TCursor(cursors.size()) + 1;
    cursors.emplace(id, QCursor(QPixmap::fromImage(img), hotX, hotY));
    return id;
}

void TControl::SetCursor(TCursor v) {
    d_->cursor = v;
    auto own = v > 0 ? OwnCursors().find(v) : OwnCursors().end();
    if (v == crDefault)
        d_->mouseTarget()->unsetCursor();
    else if (own != OwnCursors().end())
        d_->mouseTarget()->setCursor(own->second);
    else
        d_->mouseTarget()->setCursor(ShapeOf(v));
}

TPopupMenu* TControl::PopupMenu() const { return d_->popupMenu; }
void TControl::SetPopupMenu(TPopupMenu* v) {
    if (d_->popupMenu) d_->popupMenu->RemoveFreeNotification(this);
    d_->popupMenu = v;
    if (v) v->FreeNotification(this);
}

void TControl::Invalidate() { d_->mouseTarget()->update(); }
void TControl::Repaint() { d_->mouseTarget()->repaint(); }
void TControl::Update() { d_->mouseTarget()->repaint(); }

void TControl::BringToFront() { d_->outer()->raise(); }
void TControl::SendToBack() { d_->outer()->lower(); }

bool TControl::DropDownWindow() const { return d_->dropDownWindow; }
void TControl::SetDropDownWindow(bool v) {
    if (v == d_->dropDownWindow) return;
    d_->dropDownWindow = v;
    QWidget* w = d_->outer();
    bool shown = w->isVisible();
    QRect g = w->geometry();
    if (v) {
        QPoint p = w->parentWidget() ? w->parentWidget()->mapToGlobal(g.topLeft()) : g.topLeft();
        // The offscreen platform activates every window it shows but a
        // tooltip; a drop-down must leave the activation where it is.
        bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
        w->setWindowFlags((offscreen ? Qt::ToolTip : Qt::Tool) | Qt::FramelessWindowHint |
                          Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
        w->setAttribute(Qt::WA_ShowWithoutActivating, true);
        w->setGeometry(QRect(p, g.size()));
    } else {
        QPoint p = w->parentWidget() ? w->parentWidget()->mapFromGlobal(g.topLeft()) : g.topLeft();
        w->setWindowFlags(Qt::Widget);
        w->setAttribute(Qt::WA_ShowWithoutActivating, false);
        w->setGeometry(QRect(p, g.size()));
    }
    if (shown) w->show();
}

void TControl::PostCall(std::function<void()> fn) {
    QMetaObject::invokeMethod(
        d_, [this, fn = std::move(fn)] { DispatchSafely(this, fn); }, Qt::QueuedConnection);
}


TDragMode TControl::DragMode() const { return d_->dragMode; }
void TControl::SetDragMode(TDragMode v) { d_->dragMode = v; }

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (g_drag.source) return;
    g_drag = {};
    g_drag.source = this;
    g_drag.threshold = Threshold < 0 ? 5 : Threshold;
    g_drag.from = g_pointer;
    if (Immediate) startDrag();
}

bool TControl::Dragging() const { return g_drag.source == this && g_drag.running; }

void TControl::EndDrag(bool Drop) {
    if (g_drag.source != this) return;
    const DragRun run = g_drag;
    g_drag = {};
    if (!run.running) return;
    SetCursor(run.sourceCursor);
    SetMouseCapture(false);
    TControl* target = Drop && run.accepted ? run.target : nullptr;
    if (!target && run.target) {
        g_drag.source = this;
        askTarget(run.target, dsDragLeave, g_pointer);
        g_drag.source = nullptr;
    }
    TPoint at{0, 0};
    if (target) at = target->ScreenToClient({g_pointer.x(), g_pointer.y()});
    if (target && target->OnDragDrop) target->OnDragDrop(target, this, at.X, at.Y);
    if (OnEndDrag) OnEndDrag(this, target, at.X, at.Y);
}

bool TControl::MouseCapture() const { return d_->capture; }
void TControl::SetMouseCapture(bool v) {
    if (v == d_->capture) return;
    d_->capture = v;
    if (v)
        d_->mouseTarget()->grabMouse();
    else
        d_->mouseTarget()->releaseMouse();
}

intptr_t TControl::Perform(unsigned Msg, intptr_t WParam, intptr_t LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

static void SendSyntheticKey(QWidget* w, QEvent::Type type, Word vk, const QString& text) {
    QKeyEvent ev(type, VKToQtKey(vk), Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &ev);
}

void TControl::WndProc(TMessage& m) {
    QWidget* w = d_->widget;
    if (!w) return;
    switch (m.Msg) {
    case WM_KEYDOWN: SendSyntheticKey(w, QEvent::KeyPress, Word(m.WParam), QString()); break;
    case WM_KEYUP: SendSyntheticKey(w, QEvent::KeyRelease, Word(m.WParam), QString()); break;
    case WM_CHAR: {
        char32_t c = char32_t(m.WParam);
        QString text = QString::fromUcs4(&c, 1);
        int qk = c == 13   ? Qt::Key_Return
                 : c == 27 ? Qt::Key_Escape
                 : c == 8  ? Qt::Key_Backspace
                 : c < 128 ? int(QChar(c).toUpper().unicode())
                           : Qt::Key_unknown;
        QKeyEvent ev(QEvent::KeyPress, qk, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &ev);
        break;
    }
    case WM_CUT: QMetaObject::invokeMethod(w, "cut"); break;
    case WM_COPY: QMetaObject::invokeMethod(w, "copy"); break;
    case WM_PASTE: QMetaObject::invokeMethod(w, "paste"); break;
    case WM_CLEAR: QMetaObject::invokeMethod(w, "clear"); break;
    case WM_UNDO: QMetaObject::invokeMethod(w, "undo"); break;
    case WM_SETREDRAW:
        w->setUpdatesEnabled(m.WParam != 0);
        if (m.WParam) w->update();
        break;
    case WM_CLOSE:
        if (auto* f = dynamic_cast<TCustomForm*>(this)) f->Close();
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        // To the innermost widget at the point, as the window system would
        // deliver it: the control's own handlers and the widget's both run.
        // A point off the control goes to its mouse surface, as to a
        // widget that holds the press.
        const QPoint p(int16_t(m.LParam & 0xFFFF), int16_t((m.LParam >> 16) & 0xFFFF));
        const QPoint global = d_->client()->mapToGlobal(p);
        QWidget* outer = d_->outer();
        QWidget* hit = outer->childAt(outer->mapFromGlobal(global));
        if (!hit) hit = d_->mouseTarget();
        const QPointF local = hit->mapFromGlobal(QPointF(global));
        const QPointF scene = hit->window()->mapFromGlobal(QPointF(global));
        const QEvent::Type type = m.Msg == WM_LBUTTONDOWN ? QEvent::MouseButtonPress
                                  : m.Msg == WM_LBUTTONUP ? QEvent::MouseButtonRelease
                                                          : QEvent::MouseMove;
        const Qt::MouseButton button = m.Msg == WM_MOUSEMOVE ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = m.Msg == WM_LBUTTONUP || (m.Msg == WM_MOUSEMOVE && !(m.WParam & 1))
                                          ? Qt::MouseButtons()
                                          : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent ev(type, local, scene, QPointF(global), button, held, QGuiApplication::keyboardModifiers());
        QCoreApplication::sendEvent(hit, &ev);
        break;
    }
    default: break;
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && d_->dragMode == dmAutomatic) BeginDrag(false);
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}
void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::Resize() {
    if (OnResize) OnResize(this);
}
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::EnabledChanged() { Invalidate(); }

// ------------------------------------------------------------ TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}
TWinControl::TWinControl(TComponent* AOwner, TControlPrivate* dd) : TControl(AOwner, dd) { d_->tabStop = true; }
TWinControl::~TWinControl() = default;

int TWinControl::ControlCount() const { return int(d_->children.size()); }
TControl* TWinControl::Controls(int i) const {
    if (i < 0 || i >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return d_->children[size_t(i)];
}

static void CollectTabList(const TWinControl* c, std::vector<TWinControl*>& out) {
    for (TWinControl* w : TControlPrivate::get(c)->tabOrderList) {
        out.push_back(w);
        CollectTabList(w, out);
    }
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> out;
    CollectTabList(this, out);
    return out;
}

int TWinControl::TabOrder() const {
    if (!d_->parent) return -1;
    auto& tl = d_->parent->d_->tabOrderList;
    auto it = std::find(tl.begin(), tl.end(), this);
    return it == tl.end() ? -1 : int(it - tl.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!d_->parent) return;
    auto& tl = d_->parent->d_->tabOrderList;
    tl.erase(std::remove(tl.begin(), tl.end(), this), tl.end());
    v = std::clamp(v, 0, int(tl.size()));
    tl.insert(tl.begin() + v, this);
}

bool TWinControl::TabStop() const { return d_->tabStop; }
void TWinControl::SetTabStop(bool v) { d_->tabStop = v; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (dynamic_cast<const TCustomForm*>(c)) break;
    }
    return d_->widget && d_->widget->focusPolicy() != Qt::NoFocus;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    QWidget* w = d_->widget;
    if (w->focusProxy()) w = w->focusProxy();
    w->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    QWidget* w = d_->widget;
    if (!w) return false;
    QWidget* fw = w->window()->focusWidget();
    if (!fw) return false;
    return fw == w || ControlOfWidget(fw) == this;
}

void TWinControl::Realign() {
    if (d_->aligning) return;
    d_->aligning = true;
    TRect r = ClientRect();
    AlignControls(r);
    d_->aligning = false;
}

void TWinControl::AlignControls(TRect& r) {
    auto pick = [&](TAlign a) {
        std::vector<TControl*> list;
        for (TControl* c : d_->children)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        auto key = [a](TControl* c) {
            switch (a) {
            case alTop: return c->Top();
            case alBottom: return -(c->Top() + c->Height());
            case alLeft: return c->Left();
            case alRight: return -(c->Left() + c->Width());
            default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) { return key(x) < key(y); });
        return list;
    };
    for (TControl* c : pick(alTop)) {
        c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
        r.Top += c->Height();
    }
    for (TControl* c : pick(alBottom)) {
        c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
        r.Bottom -= c->Height();
    }
    for (TControl* c : pick(alLeft)) {
        c->SetBounds(r.Left, r.Top, c->Width(), std::max(0, r.Height()));
        r.Left += c->Width();
    }
    for (TControl* c : pick(alRight)) {
        c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), std::max(0, r.Height()));
        r.Right -= c->Width();
    }
    for (TControl* c : pick(alClient)) c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) { d_->client()->scroll(DeltaX, DeltaY); }

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool forward, bool checkTabStop) const {
    std::vector<TWinControl*> list = TabList();
    if (list.empty()) return nullptr;
    const int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[size_t(i)] == cur) start = i;
    if (start < 0) start = forward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        int i = forward ? (start + step) % n : (start - step + n * 2) % n;
        TWinControl* c = list[size_t(i)];
        if (c == cur) continue;
        if (checkTabStop && !c->TabStop()) continue;
        if (!c->CanFocus()) continue;
        // Containers without their own focus pass it to their children.
        if (!c->TabList().empty() && !c->TabStop()) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(cur, forward, checkTabStop)) next->SetFocus();
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ------------------------------------------------------------ custom control

namespace {

class GraphicWidget : public QWidget {
public:
    TGraphicControl* control = nullptr;
    void paintEvent(QPaintEvent*) override;
};

class GraphicControlPrivate : public TControlPrivate {
public:
    GraphicControlPrivate() : TControlPrivate(NewWidget<GraphicWidget>()) {
        fillBackground = false;
        widget->setFocusPolicy(Qt::NoFocus);
        canvas = new TCanvas;
    }
};

} // namespace

CustomControlPrivate::CustomControlPrivate() : TControlPrivate(NewWidget<CustomArea>()) {
    area()->setFrameStyle(QFrame::NoFrame);
    area()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area()->setFocusPolicy(Qt::StrongFocus);
    area()->viewport()->setMouseTracking(true);
    passKeysToWidget = false;
    canvas = new TCanvas;
}

void CustomArea::paintEvent(QPaintEvent*) {
    if (!control) return;
    QPainter p(viewport());
    CanvasPainterScope scope(control->Canvas(), &p, viewport()->rect());
    DispatchSafely(control, [&] { TControlPrivate::paint(control); });
}

void CustomArea::barAction(TScrollBarKind kind, QScrollBar* bar, int action) {
    TScrollCode code = scPosition;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove: code = scTrack; break;
    default: break;
    }
    int pos = bar->sliderPosition();
    DispatchSafely(control, [&] { TControlPrivate::scroll(control, kind, code, pos); });
}

void GraphicWidget::paintEvent(QPaintEvent*) {
    if (!control) return;
    QPainter p(this);
    CanvasPainterScope scope(control->Canvas(), &p, rect());
    DispatchSafely(control, [&] { TControlPrivate::paint(control); });
}

void TControlPrivate::paint(TCustomControl* c) { c->Paint(); }
void TControlPrivate::paint(TGraphicControl* c) { c->Paint(); }
void TControlPrivate::scroll(TCustomControl* c, TScrollBarKind kind, TScrollCode code, int pos) {
    c->ScrollBarChanged(kind, code, pos);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TCustomControl(AOwner, new CustomControlPrivate) {}

TCustomControl::TCustomControl(TComponent* AOwner, TControlPrivate* dd) : TWinControl(AOwner, dd) {
    if (auto* area = dynamic_cast<CustomArea*>(d_->widget.data())) {
        area->control = this;
        QObject::connect(area->horizontalScrollBar(), &QScrollBar::actionTriggered, area,
                         [area](int a) { area->barAction(sbHorizontal, area->horizontalScrollBar(), a); });
        QObject::connect(area->verticalScrollBar(), &QScrollBar::actionTriggered, area,
                         [area](int a) { area->barAction(sbVertical, area->verticalScrollBar(), a); });
        QObject::connect(area->horizontalScrollBar(), &QScrollBar::sliderReleased, area,
                         [area] { area->barAction(sbHorizontal, area->horizontalScrollBar(), -1); });
    }
    d_->parentColor = false;
    d_->color = clWindow;
    d_->applyColor();
}

TCustomControl::~TCustomControl() {
    if (auto* area = dynamic_cast<CustomArea*>(d_->widget.data())) area->control = nullptr;
}

TCanvas* TCustomControl::Canvas() const { return d_->canvas; }

void TCustomControl::InvalidateRect(const TRect& R) {
    d_->client()->update(QRect(R.Left, R.Top, R.Width(), R.Height()));
}

TBorderStyle TCustomControl::BorderStyle() const {
    auto* p = dynamic_cast<CustomControlPrivate*>(d_);
    return p ? p->border : bsNone;
}

void TCustomControl::SetBorderStyle(TBorderStyle v) {
    auto* p = dynamic_cast<CustomControlPrivate*>(d_);
    if (!p) return;
    p->border = v;
    p->area()->setFrameStyle(v == bsNone ? QFrame::NoFrame : int(QFrame::Panel) | int(QFrame::Sunken));
    p->area()->setLineWidth(v == bsNone ? 0 : 2);
}

TRect TCustomControl::ClientRect() const {
    QWidget* c = d_->client();
    return Rect(0, 0, c->width(), c->height());
}

TScrollStyle TCustomControl::ScrollBars() const {
    auto* p = dynamic_cast<CustomControlPrivate*>(d_);
    return p ? p->bars : ssNone;
}

void TCustomControl::SetScrollBars(TScrollStyle v) {
    auto* p = dynamic_cast<CustomControlPrivate*>(d_);
    if (!p) return;
    p->bars = v;
    p->area()->setHorizontalScrollBarPolicy(v == ssHorizontal || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                             : Qt::ScrollBarAlwaysOff);
    p->area()->setVerticalScrollBarPolicy(v == ssVertical || v == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
}

static QScrollBar* BarOf(TControlPrivate* d, TScrollBarKind k) {
    auto* p = dynamic_cast<CustomControlPrivate*>(d);
    if (!p) return nullptr;
    return k == sbHorizontal ? p->area()->horizontalScrollBar() : p->area()->verticalScrollBar();
}

void TCustomControl::SetScrollRange(TScrollBarKind Kind, int Min, int Max, int PageSize) {
    if (QScrollBar* b = BarOf(d_, Kind)) {
        QSignalBlocker block(b);
        b->setRange(Min, std::max(Min, Max - std::max(0, PageSize - 1)));
        b->setPageStep(std::max(1, PageSize));
        b->setSingleStep(1);
    }
}

void TCustomControl::SetScrollPos(TScrollBarKind Kind, int Pos) {
    if (QScrollBar* b = BarOf(d_, Kind)) {
        QSignalBlocker block(b);
        b->setSliderPosition(Pos);
        b->setValue(Pos);
    }
}

int TCustomControl::GetScrollPos(TScrollBarKind Kind) const {
    QScrollBar* b = BarOf(d_, Kind);
    return b ? b->value() : 0;
}

void TCustomControl::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomControl::ScrollBarChanged(TScrollBarKind, TScrollCode, int) {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner, new GraphicControlPrivate) {}
TGraphicControl::TGraphicControl(TComponent* AOwner, TControlPrivate* dd) : TControl(AOwner, dd) {
    if (auto* g = dynamic_cast<GraphicWidget*>(d_->widget.data())) g->control = this;
}
TGraphicControl::~TGraphicControl() {
    if (auto* g = dynamic_cast<GraphicWidget*>(d_->widget.data())) g->control = nullptr;
}
TCanvas* TGraphicControl::Canvas() const { return d_->canvas; }
void TGraphicControl::Paint() {
    if (OnPaint) OnPaint(this);
}

// ------------------------------------------------------------ hint window

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    QWidget* w = d_->widget;
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    w->setFocusPolicy(Qt::NoFocus);
    d_->tabStop = false;
    d_->visible = false;
    SetColor(clInfoBk);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& Hint) {
    QFontMetrics fm(ToQFont(*Font(), 96));
    QRect r = fm.boundingRect(QRect(0, 0, MaxWidth, 10000), Qt::TextWordWrap, ToQt(Hint));
    return Rect(0, 0, r.width() + 6, r.height() + 4);
}

void THintWindow::ActivateHint(const TRect& r, const std::string& Hint) {
    d_->text = Hint;
    QWidget* w = d_->widget;
    w->setGeometry(r.Left, r.Top, r.Width(), r.Height());
    d_->visible = true;
    w->show();
    w->update();
}

void THintWindow::ReleaseHandle() {
    d_->visible = false;
    d_->widget->hide();
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->Pen()->SetColor(clBlack);
    c->Rectangle(r);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    InflateRect(r, -2, -2);
    c->DrawText(d_->text, -1, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
    TCustomControl::Paint();
}

void PaintParentBackground(TControl* control, TCanvas* canvas) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent || !canvas) return;
    QPainter* p = canvas->d()->painter();
    if (!p) return;
    QWidget* mine = TControlPrivate::get(control)->outer();
    QWidget* ground = mine->parentWidget();
    if (!ground) return;
    const QRect r = mine->geometry();
    p->save();
    ground->render(p, QPoint(0, 0), QRegion(r), QWidget::DrawWindowBackground);
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == control) break;
        QWidget* s = TControlPrivate::get(sibling)->outer();
        if (!s || s->parentWidget() != ground || !s->isVisibleTo(ground)) continue;
        const QRect both = r.intersected(s->geometry());
        if (both.isEmpty()) continue;
        s->render(p, both.topLeft() - r.topLeft(), QRegion(both.translated(-s->geometry().topLeft())),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    p->restore();
}
