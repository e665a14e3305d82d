#include "WindowWatch.h"

#include "Controls_p.h"
#include "Forms_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <vector>

bool ApplicationActive();

namespace {
struct Watch {
    const void* id;
    TWindowWatch fn;
};

// One filter on the application object sees every window's events before
// the window does. Owned by the application: a test program may make a
// new one.
class Watcher : public QObject {
public:
    std::vector<Watch> watches;
    TKeyWatch keys;

    Watcher() : QObject(qApp) {
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow*) { check(); });
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState) { check(); });
    }

    void check() {
        bool active = ApplicationActive();
        if (active == lastActive) return;
        lastActive = active;
        tell(active ? wwApplicationActive : wwApplicationInactive, nullptr);
    }

    static Watcher* get() {
        static QPointer<Watcher> instance;
        if (!instance && qApp) instance = new Watcher;
        return instance.data();
    }

    void tell(TWindowWatchKind kind, TCustomForm* form) {
        // A copy: a watch may remove itself or others.
        auto snapshot = watches;
        for (auto& w : snapshot) {
            try {
                w.fn(kind, form);
            } catch (...) {}
        }
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!keys || !o->isWidgetType()) return false;
            auto* k = static_cast<QKeyEvent*>(e);
            Word vk = QtKeyToVK(k->key(), k->modifiers());
            if (!vk) return false;
            // The copy runs even when the watch clears itself.
            TKeyWatch fn = keys;
            return fn(vk, e->type() == QEvent::KeyPress, ShiftOf(k->modifiers(), QGuiApplication::mouseButtons()));
        }
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange: {
            if (watches.empty() || !o->isWidgetType()) return false;
            auto* fw = dynamic_cast<FormWidget*>(static_cast<QWidget*>(o));
            if (fw && fw->form && fw->isWindow()) tell(wwFormShowChanged, fw->form);
            return false;
        }
        default: return false;
        }
    }

private:
    bool lastActive = ApplicationActive();
};
} // namespace

void AddWindowWatch(const void* id, TWindowWatch watch) {
    Watcher* w = Watcher::get();
    if (!w) return;
    for (auto& x : w->watches)
        if (x.id == id) {
            x.fn = std::move(watch);
            return;
        }
    w->watches.push_back({id, std::move(watch)});
}

void RemoveWindowWatch(const void* id) {
    Watcher* w = Watcher::get();
    if (!w) return;
    std::erase_if(w->watches, [id](const Watch& x) { return x.id == id; });
}

bool ApplicationActive() {
    // The keyboard is with one of the program's windows: not with another
    // program, nor with none.
    QWindow* focus = QGuiApplication::focusWindow();
    if (!focus || QGuiApplication::applicationState() != Qt::ApplicationActive) return false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == focus) return true;
    return false;
}

void SetKeyWatch(TKeyWatch keys) {
    if (Watcher* w = Watcher::get()) w->keys = std::move(keys);
}
