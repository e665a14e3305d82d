// Action lists: shortcut lookup for the form's key pipeline.
#include "ActnList.h"

#include <algorithm>

TAction::TAction(TComponent* AOwner) : TComponent(AOwner) {
    if (auto* list = dynamic_cast<TActionList*>(AOwner)) SetActionList(list);
}

TAction::~TAction() {
    SetActionList(nullptr);
    auto clients = std::move(clients_);
    for (auto& c : clients) c.second(true);
}

void TAction::AddClient(const void* id, TClientNotify notify) {
    RemoveClient(id);
    clients_.emplace_back(id, std::move(notify));
}

void TAction::RemoveClient(const void* id) {
    std::erase_if(clients_, [id](auto& c) { return c.first == id; });
}

void TAction::changed() {
    // A copy: a client may unlink itself while it follows the change.
    auto clients = clients_;
    for (auto& c : clients) c.second(false);
}

void TAction::SetActionList(TActionList* v) {
    if (list_) {
        auto& a = list_->actions_;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
    list_ = v;
    if (v) v->actions_.push_back(this);
}

bool TAction::Execute() {
    if (OnUpdate) OnUpdate(this);
    if (!enabled_) return false;
    if (OnExecute) OnExecute(this);
    return true;
}

TActionList::~TActionList() {
    for (TAction* a : actions_) a->list_ = nullptr;
}

bool TActionList::IsShortCut(Word Key, TShiftState Shift) {
    TShortCut sc = ShortCut(Key, Shift);
    for (TAction* a : std::vector<TAction*>(actions_)) {
        if (a->ShortCut() != sc || sc == scNone) continue;
        if (a->OnUpdate) a->OnUpdate(a);
        if (!a->Enabled()) return false;
        a->Execute();
        return true;
    }
    return false;
}
