// Activation of top-level windows; see Activation_p.h. Off X it is Qt's own
// activateWindow; on X a round trip to the server follows it.
#include "Activation_p.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h> // the round trip that brings Qt's X time forward

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

xcb_connection_t* XConnection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// True while the keyboard is with none of the program's visible windows:
// the only state in which a request made again cannot take the keyboard
// from a window that got it since.
bool KeyboardWithNoWindow() {
    QWindow* f = QGuiApplication::focusWindow();
    return !f || !f->isVisible();
}

// Watches for the notification of the property appended by ActivateTopLevel.
// Qt reads the server time from that same event right after the filter has
// seen it, so a request queued from here goes out with the fresh time.
// Owned by the application object: a test program may make a new one.
class TimeRoundTrip : public QObject, public QAbstractNativeEventFilter {
public:
    explicit TimeRoundTrip(xcb_connection_t* c) : QObject(qApp), connection(c) {
        const char name[] = "_QUILLORY_ACTIVATION_TIME";
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        if (r) atom = r->atom;
        std::free(r);
        qApp->installNativeEventFilter(this);
    }
    ~TimeRoundTrip() override {
        if (qApp) qApp->removeNativeEventFilter(this);
    }

    static TimeRoundTrip* For(xcb_connection_t* c) {
        static QPointer<TimeRoundTrip> instance;
        if (!instance || instance->connection != c) {
            delete instance.data();
            instance = new TimeRoundTrip(c);
        }
        return instance->atom == XCB_ATOM_NONE ? nullptr : instance.data();
    }

    void Ask(QWidget* top, std::uint64_t request) {
        const xcb_window_t w = static_cast<xcb_window_t>(top->winId());
        // A notification can only go missing with the window; keep no more
        // than a few such leftovers.
        if (waiting.size() >= 16) waiting.erase(waiting.begin());
        waiting.push_back({w, top, request});
        // Appending nothing changes nothing but still notifies, with the time.
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, w, atom, XCB_ATOM_INTEGER, 32, 0, nullptr);
        xcb_flush(connection);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || waiting.empty()) return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        auto* pn = reinterpret_cast<xcb_property_notify_event_t*>(ev);
        if (pn->atom != atom) return false;
        for (auto it = waiting.begin(); it != waiting.end();) {
            if (it->window != pn->window) {
                ++it;
                continue;
            }
            QPointer<QWidget> top = it->top;
            const std::uint64_t request = it->request;
            const xcb_timestamp_t now = pn->time;
            it = waiting.erase(it);
            // Queued: Qt takes the event's time only once the filter returns.
            QTimer::singleShot(0, this, [this, top, request, now] { Retry(top, request, now); });
        }
        return false;
    }

    std::uint64_t latest = 0;

private:
    struct Waiting {
        xcb_window_t window;
        QPointer<QWidget> top;
        std::uint64_t request;
    };

    // Runs once Qt has taken the server time of the round trip. Acts only for
    // the latest request, on a window still shown and not behind a modal
    // one, and only while no window of the program has the keyboard: it can
    // then take the keyboard from no window that got it since.
    void Retry(const QPointer<QWidget>& top, std::uint64_t request, xcb_timestamp_t now) {
        if (!top || !top->isVisible() || request != latest) return;
        QWindow* win = top->windowHandle();
        if (!win || QGuiApplication::focusWindow() == win || !KeyboardWithNoWindow()) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->window() != top) return;
        const xcb_window_t w = static_cast<xcb_window_t>(top->winId());
        xcb_get_input_focus_reply_t* focus =
            xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
        const bool serverHasIt = focus && focus->focus == w;
        std::free(focus);
        if (!serverHasIt) {
            top->activateWindow();
            return;
        }
        // The server has given the window the keyboard and Qt missed it; the
        // server sends no second focus-in to a window that has the focus.
        // Taking the focus away and giving it back, at the round trip's time,
        // makes it send one.
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_NONE, XCB_NONE, now);
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, w, now);
        xcb_flush(connection);
    }

    xcb_connection_t* connection;
    xcb_atom_t atom = XCB_ATOM_NONE;
    std::vector<Waiting> waiting;
};

} // namespace

void ActivateTopLevel(QWidget* top) {
    if (!top) return;
    top = top->window();
    top->activateWindow();
    if (!top->isVisible()) return;
    if (xcb_connection_t* c = XConnection()) {
        if (TimeRoundTrip* trip = TimeRoundTrip::For(c)) trip->Ask(top, ++trip->latest);
    }
}
