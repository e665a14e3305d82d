// The application's hint window; see HintHook.h.
#include "HintHook.h"

#include "Controls_p.h"
#include "Forms.h"

// The tool-tip event of any widget is caught application-wide: Qt itself
// is what knows when a hint is due.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

struct HintState {
    THintWindowClass make;
    TShowHintEvent onShowHint;
    // Never freed: it lives as long as the window system.
    THintWindow* window = nullptr;
    QTimer* hideTimer = nullptr;
};

HintState& state() {
    static HintState s;
    return s;
}

class HintFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        HintState& s = state();
        if (!s.make) return false;
        switch (event->type()) {
        case QEvent::ToolTip: {
            auto* w = qobject_cast<QWidget*>(watched);
            if (!w || w->toolTip().isEmpty()) return false;
            auto* help = static_cast<QHelpEvent*>(event);
            ShowApplicationHint(w->toolTip().toStdString(), {help->globalPos().x(), help->globalPos().y()});
            return true;
        }
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::WindowDeactivate:
            if (s.window && s.window->Visible()) HideApplicationHint();
            return false;
        default: return false;
        }
    }
};

} // namespace

void SetHintWindowClass(THintWindowClass make) {
    HintState& s = state();
    delete s.window;
    s.window = nullptr;
    s.make = std::move(make);
    static HintFilter* filter = nullptr;
    if (!filter) {
        Application->ShowHint(); // the application object starts the window system
        filter = new HintFilter;
        qApp->installEventFilter(filter);
    }
}

void SetApplicationShowHint(TShowHintEvent event) { state().onShowHint = std::move(event); }

THintWindow* ApplicationHintWindow() { return state().window; }

bool ShowApplicationHint(const std::string& text, TPoint cursor) {
    HintState& s = state();
    if (!s.make || text.empty() || !Application->ShowHint()) return false;
    std::string hint = text.substr(0, text.find('|'));
    bool canShow = true;
    THintInfo info{cursor, Screen->Width()};
    if (s.onShowHint) s.onShowHint(hint, canShow, info);
    if (!canShow || hint.empty()) return false;
    if (!s.window) s.window = s.make();
    TRect r = s.window->CalcHintRect(info.HintMaxWidth, hint);
    OffsetRect(r, info.CursorPos.X, info.CursorPos.Y + 16);
    s.window->ActivateHint(r, hint);
    if (!s.hideTimer) {
        s.hideTimer = new QTimer;
        s.hideTimer->setSingleShot(true);
        QObject::connect(s.hideTimer, &QTimer::timeout, [] { HideApplicationHint(); });
    }
    s.hideTimer->start(Application->HintHidePause());
    return true;
}

void HideApplicationHint() {
    if (THintWindow* w = state().window) w->ReleaseHandle();
}

bool MouseIsOver(const TControl* c) {
    QWidget* w = TControlPrivate::get(c)->widget;
    return w && w->isVisible() && w->underMouse();
}

TPoint GetCursorPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}
