// Action lists: named commands with a shortcut that works anywhere inside
// the window that owns the list (the form's key pipeline asks the list),
// whatever control has the focus.
#pragma once

#include "Menus.h"

#include <vector>

class TActionList;

class TAction : public TComponent {
public:
    explicit TAction(TComponent* AOwner);
    ~TAction() override;
    std::string ClassName() const override { return "TAction"; }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v) { set(caption_, v); }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& v) { set(hint_, v); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { set(enabled_, v); }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { set(checked_, v); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { set(visible_, v); }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut v) { shortCut_ = v; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { set(imageIndex_, v); }
    TActionList* ActionList() const { return list_; }
    void SetActionList(TActionList* v);

    // Runs OnExecute when enabled; true when it ran.
    virtual bool Execute();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    // The controls linked to the action hear of every change of its
    // properties, and of its end (gone true), so they follow it.
    using TClientNotify = std::function<void(bool gone)>;
    void AddClient(const void* id, TClientNotify notify);
    void RemoveClient(const void* id);

private:
    std::vector<std::pair<const void*, TClientNotify>> clients_;
    template <class T> void set(T& field, const T& v) {
        if (field == v) return;
        field = v;
        changed();
    }
    void changed();
    friend class TActionList;
    std::string caption_, hint_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    TShortCut shortCut_ = scNone;
    int imageIndex_ = -1;
    TActionList* list_ = nullptr;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TActionList() override;
    std::string ClassName() const override { return "TActionList"; }

    int ActionCount() const { return int(actions_.size()); }
    TAction* Actions(int i) const { return actions_.at(size_t(i)); }
    // Executes the enabled action with this key; true when one ran.
    bool IsShortCut(Word Key, TShiftState Shift);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v) { images_ = v; }

private:
    friend class TAction;
    std::vector<TAction*> actions_;
    TImageList* images_ = nullptr;
};
