// Action lists: shortcut lookup for the form's key pipeline.
#include "ActnList.h"

#include <algorithm>

TAction::TAction(TComponent* AOwner) : TComponent(AOwner) {
    if (auto* list = dynamic_cast<TActionList*>(AOwner)) SetActionList(list);
}

TAction::~TAction() { SetActionList(nullptr); }

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
