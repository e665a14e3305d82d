// Hooks on other controls; see ControlHook.h.
//
// One event filter per hooked control watches the control's window and the
// inner windows that belong to the same control (an editable combo box's
// line, a scroll area's viewport). A paint event of any of them is handed
// on first (sent again while the filter stands aside), so that window
// paints completely; then the hooks paint on the same window within that
// paint event, where Qt allows it, through a canvas moved so that its
// origin stays the control's top-left: an inner window shows the part of
// the hooks' painting that falls on it.
#include "ControlHook.h"

#include "Canvas_p.h"
#include "Controls_p.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

constexpr const char* kHookProperty = "quilloryControlHook";

class HookFilter : public QObject {
public:
    HookFilter(TControl* control, QWidget* outer) : QObject(outer), control_(control), outer_(outer) {
        outer->setProperty(kHookProperty, QVariant::fromValue<void*>(this));
        watch(outer);
        for (QWidget* w : outer->findChildren<QWidget*>())
            if (ControlOfWidget(w) == control_) watch(w);
    }
    ~HookFilter() override {
        std::vector<TControlHook*> hooks;
        hooks.swap(hooks_);
        for (TControlHook* h : hooks) h->HookMessage(control_, hmDestroy, 0, false);
    }

    std::vector<TControlHook*> hooks_;

    static HookFilter* of(const TControl* control) {
        QWidget* outer = WidgetOf(control);
        if (!outer) return nullptr;
        return static_cast<HookFilter*>(outer->property(kHookProperty).value<void*>());
    }

    void detach() {
        if (outer_) outer_->setProperty(kHookProperty, QVariant());
        deleteLater();
    }

    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || !outer_ || hooks_.empty()) return false;
        switch (e->type()) {
        case QEvent::Paint:
            if (std::find(painting_.begin(), painting_.end(), w) != painting_.end()) return false;
            paintThrough(w, e);
            return true;
        case QEvent::ChildAdded: {
            auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child());
            if (child && ControlOfWidget(child) == control_) watch(child);
            return false;
        }
        case QEvent::FocusIn: tell(hmSetFocus); return false;
        case QEvent::FocusOut: tell(hmKillFocus); return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            const Word vk = QtKeyToVK(ke->key(), ke->modifiers());
            if (vk) tell(e->type() == QEvent::KeyPress ? hmKeyDown : hmKeyUp, vk, ke->isAutoRepeat());
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            if (static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) return false;
            tell(e->type() == QEvent::MouseButtonPress     ? hmLButtonDown
                 : e->type() == QEvent::MouseButtonRelease ? hmLButtonUp
                                                           : hmLButtonDblClk);
            return false;
        }
        case QEvent::Enter:
            if (w == outer_) tell(hmMouseEnter);
            return false;
        case QEvent::Leave:
            if (w == outer_) tell(hmMouseLeave);
            return false;
        case QEvent::EnabledChange:
            if (w == outer_) tell(hmEnabledChanged);
            return false;
        default: return false;
        }
    }

private:
    void watch(QWidget* w) {
        w->removeEventFilter(this);
        w->installEventFilter(this);
    }

    void tell(THookMessage m, Word key = 0, bool repeat = false) {
        const std::vector<TControlHook*> hooks = hooks_;
        for (TControlHook* h : hooks)
            if (std::find(hooks_.begin(), hooks_.end(), h) != hooks_.end())
                DispatchSafely(control_, [&] { h->HookMessage(control_, m, key, repeat); });
    }

    void paintThrough(QWidget* w, QEvent* e) {
        QPointer<QWidget> guard(w);
        painting_.push_back(w);
        QCoreApplication::sendEvent(w, e);
        painting_.pop_back();
        if (!outer_ || !guard) return;
        tell(hmPaint);
        QPainter p(w);
        p.translate(-w->mapTo(outer_.data(), QPoint(0, 0)));
        TCanvas canvas;
        CanvasPainterScope scope(&canvas, &p, outer_->rect());
        const std::vector<TControlHook*> hooks = hooks_;
        for (TControlHook* h : hooks)
            if (std::find(hooks_.begin(), hooks_.end(), h) != hooks_.end())
                DispatchSafely(control_, [&] { h->AfterPaint(control_, &canvas); });
    }

    TControl* control_;
    QPointer<QWidget> outer_;
    // The windows whose paint event is being handed on.
    std::vector<QWidget*> painting_;
};

} // namespace

void AddControlHook(TControl* control, TControlHook* hook) {
    if (!control || !hook) return;
    HookFilter* f = HookFilter::of(control);
    if (!f) f = new HookFilter(control, WidgetOf(control));
    if (std::find(f->hooks_.begin(), f->hooks_.end(), hook) == f->hooks_.end()) f->hooks_.push_back(hook);
    control->Invalidate();
}

void RemoveControlHook(TControl* control, TControlHook* hook) {
    HookFilter* f = HookFilter::of(control);
    if (!f) return;
    f->hooks_.erase(std::remove(f->hooks_.begin(), f->hooks_.end(), hook), f->hooks_.end());
    if (f->hooks_.empty()) f->detach();
    control->Invalidate();
}

bool HasControlHook(const TControl* control, const TControlHook* hook) {
    HookFilter* f = HookFilter::of(control);
    return f && std::find(f->hooks_.begin(), f->hooks_.end(), hook) != f->hooks_.end();
}
