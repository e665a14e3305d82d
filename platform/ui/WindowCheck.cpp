// The window check; see WindowCheck.h. Reads widget object names, so it
// lives in the layer.
#include "WindowCheck.h"

#include "Build.h"
#include "Forms.h"
#include "SysUtils.h"
#include "Controls_p.h"

#include <QWidget>

#include <algorithm>
#include <map>

namespace {

std::string pathOf(const TControl* c) {
    std::string p = c->Name().empty() ? "<" + c->ClassName() + ">" : c->Name();
    for (const TWinControl* w = c->Parent(); w && !dynamic_cast<const TCustomForm*>(w); w = w->Parent())
        p = (w->Name().empty() ? "<" + w->ClassName() + ">" : w->Name()) + "/" + p;
    return p;
}

bool reachable(const TWinControl* w) {
    if (!w->Visible()) return false;
    if (w->TabStop() && w->Enabled()) return true;
    for (int i = 0; i < w->ControlCount(); ++i)
        if (auto* c = dynamic_cast<const TWinControl*>(w->Controls(i)); c && reachable(c)) return true;
    return false;
}

void checkTabOrder(const TWinControl* parent, const TWindowCheck& rules, std::vector<std::string>& out) {
    std::vector<const TWinControl*> kids;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<const TWinControl*>(parent->Controls(i))) kids.push_back(w);
    for (const TWinControl* w : kids) checkTabOrder(w, rules, out);
    const auto& ex = rules.TabOrderExceptions;
    if (std::find(ex.begin(), ex.end(), parent->Name()) != ex.end()) return;
    std::vector<const TWinControl*> order;
    for (const TWinControl* w : kids)
        if (reachable(w)) order.push_back(w);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->TabOrder() < b->TabOrder(); });
    for (size_t i = 1; i < order.size(); ++i) {
        const TWinControl *a = order[i - 1], *b = order[i];
        const bool sameLine = std::abs(a->Top() - b->Top()) <= rules.LineSlack;
        if (sameLine ? b->Left() < a->Left() : b->Top() < a->Top())
            out.push_back(pathOf(b) + ": tab order " + std::to_string(b->TabOrder()) + " comes after " + pathOf(a) +
                          " but reads before it");
    }
}

} // namespace

std::vector<std::string> CheckWindow(const TCustomForm* form, const TWindowCheck& rules) {
    std::vector<std::string> out;
    std::map<std::string, std::string> names;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        auto* control = dynamic_cast<TControl*>(c);
        if (c->Name().empty()) {
            if (control) out.push_back(pathOf(control) + ": a control without a name");
            continue;
        }
        auto [it, fresh] = names.emplace(UpperCase(c->Name()), c->Name());
        if (!fresh) out.push_back(c->Name() + ": the name is used twice");
        if (!control) continue;
        for (QWidget* w :
             {TControlPrivate::get(control)->outer(), static_cast<QWidget*>(TControlPrivate::get(control)->widget)})
            if (w && w->objectName().toStdString() != c->Name())
                out.push_back(pathOf(control) + ": its widget is named \"" + w->objectName().toStdString() + "\"");
        if (TWinControl* p = control->Parent()) {
            const TRect r = control->BoundsRect(), client = p->ClientRect();
            if (r.Left < client.Left || r.Top < client.Top || r.Right > client.Right || r.Bottom > client.Bottom)
                out.push_back(pathOf(control) + ": (" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
                              std::to_string(r.Right) + "," + std::to_string(r.Bottom) +
                              ") lies outside its parent's client area (" + std::to_string(client.Right) + "x" +
                              std::to_string(client.Bottom) + ")");
        }
    }
    checkTabOrder(form, rules, out);
    for (const TBoundHandler& h : BoundHandlers(form))
        if (!h.IsSet()) out.push_back(h.Component->Name() + "." + h.Event + ": the handler is no longer bound");
    return out;
}
