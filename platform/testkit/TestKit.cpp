// The drivers on Qt's window-system interface. QTest's QWindow functions
// queue nothing and skip no step: each event enters QGuiApplication as the
// platform plugin would hand it over, where a window blocked by a modal one
// drops it, keys go to the window's focus widget (or the open popup) and a
// pressed button keeps the mouse on the widget that took the press.
#include "TestKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "Activation_p.h"
#include "Controls_p.h"
#include "Canvas_p.h"
#include "Forms_p.h"

namespace {

std::string Describe(const QWidget* w) {
    if (!w) return "(none)";
    std::string s = w->metaObject()->className();
    if (!w->objectName().isEmpty()) s += " " + FromQt(w->objectName());
    if (w->isWindow() && !w->windowTitle().isEmpty()) s += " [" + FromQt(w->windowTitle()) + "]";
    return s;
}

std::string Describe(const TControl* c) {
    std::string s = c->ClassName();
    if (!c->Name().empty()) s += " " + c->Name();
    return s;
}

// Whether Qt keeps input from win while modal is open: a window is free
// only when it is the modal window or belongs to it (a child or a popup of
// its own).
bool BlockedBy(QWindow* win, QWindow* modal) {
    // A popup (a menu a modal window opened) holds the input grab itself.
    if (win->type() == Qt::Popup) return false;
    for (QWindow* w = win; w; w = w->transientParent() ? w->transientParent() : w->parent())
        if (w == modal) return false;
    return true;
}

// The window a person would see the widget in, when it can take input at
// all; otherwise fails the test with why and returns nullptr.
QWindow* ReachableWindow(QWidget* w, const std::string& what) {
    if (!w) {
        ADD_FAILURE() << what << ": no widget";
        return nullptr;
    }
    QWidget* top = w->window();
    QWindow* win = top->windowHandle();
    if (!win || !top->isVisible() || !win->isVisible()) {
        ADD_FAILURE() << what << ": its window " << Describe(top) << " is not shown";
        return nullptr;
    }
    if (!w->isVisible()) {
        ADD_FAILURE() << what << " is hidden";
        return nullptr;
    }
    if (!w->isEnabled()) {
        ADD_FAILURE() << what << " is disabled";
        return nullptr;
    }
    if (QWindow* modal = QGuiApplication::modalWindow(); modal && BlockedBy(win, modal)) {
        // Qt drops the event anyway; saying so names the window in the way.
        ADD_FAILURE() << what << ": its window " << Describe(top) << " is blocked by the modal window ["
                      << FromQt(modal->title()) << "]";
        return nullptr;
    }
    return win;
}

// Waits (briefly: the window system reports activation asynchronously on a
// real display) until win is the focus window.
bool BecomesFocusWindow(QWindow* win) {
    if (QGuiApplication::focusWindow() == win) return true;
    return QTest::qWaitFor([win] { return QGuiApplication::focusWindow() == win; }, 3000);
}

QWindow* KeyWindow(QWidget* w, const std::string& what) {
    QWindow* win = ReachableWindow(w, what);
    if (!win) return nullptr;
    if (!BecomesFocusWindow(win)) {
        QWindow* f = QGuiApplication::focusWindow();
        ADD_FAILURE() << what << ": its window " << Describe(w->window())
                      << " is not the focus window (the keyboard is with "
                      << (f ? "[" + FromQt(f->title()) + "]" : std::string("no window")) << ")";
        return nullptr;
    }
    return win;
}

QString KeyText(Word vk, TShiftState shift) {
    if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return {};
    if (vk >= 'A' && vk <= 'Z') return QChar(shift.Contains(ssShift) ? vk : vk + 32);
    if (vk >= '0' && vk <= '9') return QChar(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return QChar('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_ADD: return "+";
    case VK_SUBTRACT: return "-";
    case VK_SPACE: return " ";
    case VK_RETURN: return "\r";
    case VK_ESCAPE: return QChar(27);
    case VK_BACK: return QChar(8);
    case VK_TAB: return "\t";
    default: return {};
    }
}

// The buttons shown pressed at this moment.
std::vector<QPointer<QAbstractButton>> ButtonsDown() {
    std::vector<QPointer<QAbstractButton>> down;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isDown() && b->isVisible()) down.emplace_back(b);
    return down;
}

void PressKey(QWindow* win, Word vk, TShiftState shift) {
    Qt::KeyboardModifiers mods = ModifiersOf(shift);
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) mods |= Qt::KeypadModifier;
    const auto before = ButtonsDown();
    QTest::sendKeyEvent(QTest::Click, win, Qt::Key(VKToQtKey(vk)), KeyText(vk, shift), mods);
    // A button's accelerator (Alt and its caption's letter) shows the
    // button pressed and clicks it a moment later, from a timer. A person
    // sees the click happen before the next key, so the key is not done
    // until every button it pressed is up again (clicked, or gone with its
    // window).
    if (QApplication::mouseButtons() != Qt::NoButton) return;
    std::vector<QPointer<QAbstractButton>> pressed;
    for (const auto& b : ButtonsDown())
        if (std::find(before.begin(), before.end(), b) == before.end()) pressed.push_back(b);
    if (pressed.empty()) return;
    QTest::qWaitFor(
        [&] {
            return std::all_of(pressed.begin(), pressed.end(), [](const QPointer<QAbstractButton>& b) {
                return !b || !b->isDown();
            });
        },
        2000);
}

// The widget that takes target's keys once target has the focus.
QWidget* KeyWidget(TWinControl* target) {
    QWidget* w = TControlPrivate::get(target)->widget;
    return w && w->focusProxy() ? w->focusProxy() : w;
}

// Gives target the focus as the program would; false (test failed) when it
// cannot take it.
bool FocusFor(TWinControl* target, const std::string& what) {
    QWidget* w = KeyWidget(target);
    if (!ReachableWindow(w, what)) return false;
    if (!target->CanFocus()) {
        ADD_FAILURE() << what << " cannot take the focus";
        return false;
    }
    target->SetFocus();
    return true;
}

Qt::MouseButton QtButton(TMouseButton b) {
    return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

enum class Mouse { Click, DoubleClick, Press, Move, Release };

// Delivers a mouse action at pos of w through w's window. Fails (sending
// nothing) when a person could not point there: the window is not shown or
// blocked, w is hidden or disabled, or another widget covers that point.
void MouseAt(QWidget* w, QPoint pos, Mouse action, Qt::MouseButton button, Qt::KeyboardModifiers mods,
             const std::string& what) {
    QWindow* win = ReachableWindow(w, what);
    if (!win) return;
    QWidget* top = w->window();
    const QPoint at = w->mapTo(top, pos);
    if (action != Mouse::Move && action != Mouse::Release) {
        if (!w->rect().contains(pos)) {
            ADD_FAILURE() << what << ": (" << pos.x() << ", " << pos.y() << ") lies outside it (" << w->width() << " x "
                          << w->height() << ")";
            return;
        }
        QWidget* hit = top->childAt(at);
        if (!hit) hit = top;
        if (hit != w && !w->isAncestorOf(hit)) {
            ADD_FAILURE() << what << ": at (" << pos.x() << ", " << pos.y() << ") the mouse would hit "
                          << Describe(hit);
            return;
        }
    }
    switch (action) {
    case Mouse::Click: QTest::mouseClick(win, button, mods, at); break;
    case Mouse::DoubleClick: QTest::mouseDClick(win, button, mods, at); break;
    case Mouse::Press: QTest::mousePress(win, button, mods, at); break;
    case Mouse::Move: QTest::mouseMove(win, at); break;
    case Mouse::Release: QTest::mouseRelease(win, button, mods, at); break;
    }
    ProcessEvents();
}

void MouseOn(TControl* target, int x, int y, Mouse action, TMouseButton button, TShiftState shift) {
    QWidget* w = TControlPrivate::get(target)->mouseTarget();
    if (x < 0 && w) x = w->width() / 2;
    if (y < 0 && w) y = w->height() / 2;
    MouseAt(w, QPoint(x, y), action, QtButton(button), ModifiersOf(shift), Describe(target));
}

} // namespace

void ProcessEvents() {
    Application.get();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents(QEventLoop::AllEvents);
    }
}

void ShowAndActivate(TCustomForm* form) {
    form->Show();
    QWidget* top = WidgetOf(form)->window();
    ActivateTopLevel(top);
    QWindow* win = top->windowHandle();
    ProcessEvents();
    if (!win || !QTest::qWaitForWindowActive(win, 5000))
        ADD_FAILURE() << "form " << Describe(form) << ": its window " << Describe(top) << " never became active";
}

void SendKey(TWinControl* target, Word vk, TShiftState shift) {
    const std::string what = Describe(target);
    if (auto* form = dynamic_cast<TCustomForm*>(target)) {
        SendKeyToFocus(form, vk, shift);
        return;
    }
    if (!FocusFor(target, what)) return;
    if (QWindow* win = KeyWindow(KeyWidget(target), what)) PressKey(win, vk, shift);
    ProcessEvents();
}

void SendKeyToFocus(TControl* in, Word vk, TShiftState shift) {
    if (QWindow* win = KeyWindow(WidgetOf(in), "the window of " + Describe(in))) PressKey(win, vk, shift);
    ProcessEvents();
}

namespace {

// One key press per character, each with the text it types.
void TypeInto(QWindow* window, const std::string& text) {
    QPointer<QWindow> win = window;
    for (char32_t c : ToQt(text).toUcs4()) {
        if (!win) break;
        QString s = QString::fromUcs4(&c, 1);
        int qk = c < 128 ? int(QChar(c).toUpper().unicode()) : int(Qt::Key_unknown);
        QTest::sendKeyEvent(QTest::Click, win, Qt::Key(qk), s, Qt::NoModifier);
    }
}

} // namespace

void SendTextToFocus(TControl* in, const std::string& text) {
    if (QWindow* win = KeyWindow(WidgetOf(in), "the window of " + Describe(in))) TypeInto(win, text);
    ProcessEvents();
}

bool TakesKeys(TControl* in) {
    QWidget* top = WidgetOf(in)->window();
    QWindow* win = top->windowHandle();
    return win && top->isVisible() && BecomesFocusWindow(win);
}

void SendText(TWinControl* target, const std::string& text) {
    const std::string what = Describe(target);
    if (!FocusFor(target, what)) return;
    if (QWindow* win = KeyWindow(KeyWidget(target), what)) TypeInto(win, text);
    ProcessEvents();
}

void SendClick(TControl* target, int x, int y, TMouseButton button) { MouseOn(target, x, y, Mouse::Click, button, {}); }

void SendDoubleClick(TControl* target, int x, int y) { MouseOn(target, x, y, Mouse::DoubleClick, mbLeft, {}); }

void SendMouseDown(TControl* target, int x, int y, TMouseButton button, TShiftState shift) {
    MouseOn(target, x, y, Mouse::Press, button, shift);
}

void SendMouseMove(TControl* target, int x, int y, TShiftState shift) {
    MouseOn(target, x, y, Mouse::Move, mbLeft, shift);
}

void SendMouseUp(TControl* target, int x, int y, TMouseButton button, TShiftState shift) {
    MouseOn(target, x, y, Mouse::Release, button, shift);
}

void SendWheel(TControl* target, int x, int y, int delta) {
    QWidget* w = TControlPrivate::get(target)->mouseTarget();
    const std::string what = Describe(target);
    QWindow* win = ReachableWindow(w, what);
    if (!win) return;
    const QPoint at = w->mapTo(w->window(), QPoint(x, y));
    QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(QPoint(x, y))), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(win, &e);
    ProcessEvents();
}

void SendApplicationDeactivate() {
    auto* elsewhere = new QWindow;
    elsewhere->setFlags(Qt::Window | Qt::FramelessWindowHint);
    elsewhere->setGeometry(0, 0, 1, 1);
    elsewhere->show();
    elsewhere->requestActivate();
    if (!QTest::qWaitForWindowActive(elsewhere, 5000)) ADD_FAILURE() << "no window outside the program took the keyboard";
    delete elsewhere;
    ProcessEvents();
}

void SendCloseBox(TCustomForm* form) {
    QWidget* top = WidgetOf(form)->window();
    // QWindow::close hands the request to the platform window, which
    // delivers it as the window system's close event.
    if (QWindow* win = ReachableWindow(top, "the close box of " + Describe(form))) win->close();
    ProcessEvents();
}

void SendClickToWidget(QWidget* widget, const QPoint& pos) {
    MouseAt(widget, pos, Mouse::Click, Qt::LeftButton, Qt::NoModifier, Describe(widget));
}

void SendKeyToWidget(QWidget* widget, Word vk, TShiftState shift) {
    if (QWindow* win = KeyWindow(widget, Describe(widget))) PressKey(win, vk, shift);
    ProcessEvents();
}

namespace {

QMenu* OpenMenu() {
    auto open = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    if (!open()) QTest::qWaitFor([&] { return open() != nullptr; }, 1000);
    return open();
}

} // namespace

std::vector<std::string> OpenMenuCaptions() {
    std::vector<std::string> out;
    if (QMenu* m = OpenMenu())
        for (QAction* a : m->actions())
            if (!a->isSeparator()) out.push_back(FromQt(a->text()));
    return out;
}

TRect OpenMenuRect() {
    QMenu* m = OpenMenu();
    if (!m) return {};
    QRect g = m->geometry();
    return TRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

bool MenuOpen() {
    ProcessEvents();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
}

void SendKeyToMenu(Word vk) {
    QMenu* m = OpenMenu();
    if (!m || !m->isVisible()) {
        ADD_FAILURE() << "no menu is open for the key";
        return;
    }
    QWindow* win = QGuiApplication::focusWindow();
    if (!win) {
        ADD_FAILURE() << "no window takes keys";
        return;
    }
    PressKey(win, vk, {});
    ProcessEvents();
}

void ClickMenuItem(const std::string& caption) {
    QMenu* m = OpenMenu();
    if (!m) {
        ADD_FAILURE() << "no menu is open to choose " << caption;
        return;
    }
    for (QAction* a : m->actions())
        if (FromQt(a->text()) == caption) {
            MouseAt(m, m->actionGeometry(a).center(), Mouse::Click, Qt::LeftButton, Qt::NoModifier,
                    "the menu item " + caption);
            return;
        }
    ADD_FAILURE() << "the open menu has no item " << caption;
}

// Polls for a modal message box: the box runs its own loop, so the answer
// comes from a timer inside it.
class TMessageBoxAnswer::Watch : public QTimer {};

TMessageBoxAnswer::TMessageBoxAnswer(Word vk) : vk_(vk), watch_(new Watch) {
    watch_->setInterval(20);
    QObject::connect(watch_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !text_.empty()) return;
        text_ = FromQt(box->text());
        SendKeyToWidget(box, vk_);
    });
    watch_->start();
}

TMessageBoxAnswer::~TMessageBoxAnswer() { delete watch_; }

void SendKeyTo(TComponent* root, const std::string& name, Word vk, TShiftState shift) {
    if (auto* c = dynamic_cast<TWinControl*>(FindControl(root, name)))
        SendKey(c, vk, shift);
    else
        ADD_FAILURE() << "no focusable control named " << name;
}

void SendTextTo(TComponent* root, const std::string& name, const std::string& text) {
    if (auto* c = dynamic_cast<TWinControl*>(FindControl(root, name)))
        SendText(c, text);
    else
        ADD_FAILURE() << "no focusable control named " << name;
}

void SendClickTo(TComponent* root, const std::string& name) {
    if (TControl* c = FindControl(root, name))
        SendClick(c);
    else
        ADD_FAILURE() << "no control named " << name;
}

bool GrabShown(TControl* target, TBitmap* into) {
    ProcessEvents();
    QWidget* w = TControlPrivate::get(target)->mouseTarget();
    QWidget* top = w->window();
    QScreen* screen = top->screen();
    if (!screen) return false;
    const QPoint at = w->mapTo(top, QPoint(0, 0));
    const QPixmap shown = screen->grabWindow(top->winId(), at.x(), at.y(), w->width(), w->height());
    if (shown.isNull()) return false;
    SetBitmapImage(into, shown.toImage().convertToFormat(QImage::Format_RGB32));
    return true;
}

bool SaveScreenPng(const TRect& area, const std::string& path) {
    ProcessEvents();
    QRect r(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top);
    if (r.isEmpty()) return false;
    QPixmap shot(r.size());
    shot.fill(QColor(0, 128, 128));
    QPainter painter(&shot);
    // Ordinary windows first, then the ones that float above them (tool
    // windows, drop-downs, a drag's outline): the order a screen stacks
    // them in whatever the window system.
    for (bool above : {false, true})
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || !top->geometry().intersects(r)) continue;
            bool floats = top->testAttribute(Qt::WA_ShowWithoutActivating) || top->windowType() == Qt::ToolTip;
            if (floats != above) continue;
            painter.drawPixmap(top->geometry().topLeft() - r.topLeft(), top->grab());
        }
    painter.end();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return shot.save(ToQt(path), "PNG");
}

bool SaveFormPng(TCustomForm* form, const std::string& path) {
    QWidget* w = WidgetOf(form);
    if (auto* top = FormD(form)->top(); top && !FormD(form)->sub) w = top;
    ProcessEvents();
    QPixmap shot = w->grab();
    // Drop-down windows of the form's controls (a calendar, a list) are
    // windows of their own: paint them over the form where they show.
    QPainter painter(&shot);
    QPoint origin = w->mapToGlobal(QPoint(0, 0));
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == w || !top->isVisible() || !top->testAttribute(Qt::WA_ShowWithoutActivating)) continue;
        QWidget* p = top->parentWidget();
        while (p && p != w) p = p->parentWidget();
        if (p == w) painter.drawPixmap(top->geometry().topLeft() - origin, top->grab());
    }
    // So is an open pop-up menu, which belongs to no window.
    if (QWidget* pop = QApplication::activePopupWidget(); pop && pop->isVisible() && pop->parentWidget() == nullptr)
        painter.drawPixmap(pop->geometry().topLeft() - origin, pop->grab());
    painter.end();
    // A clean build has no screens folder until some test makes one, and
    // tests run in any order.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return shot.save(ToQt(path), "PNG");
}
