// Menus on QAction/QMenu. Shortcuts are shown in the menu text but run by
// the form's key pipeline (TMenu::IsShortCut), never by Qt's shortcut map,
// so a key never runs a command twice.
#include "Menus_p.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QKeySequence>
#include <QMouseEvent>
#include <algorithm>
#include <memory>
#include <cctype>

#include "Activation_p.h"
#include "Canvas_p.h"
#include "Controls_p.h"

namespace {
TMenuItem* ItemOfAction(const QAction* a);

// Lets an owner-drawn menu (TMenu::OwnerDraw) measure and paint its items
// through OnMeasureItem / OnDrawItem on a TCanvas; other items keep the
// style's look.
class OwnerDrawStyle : public QProxyStyle {
public:
    void drawControl(ControlElement el, const QStyleOption* opt, QPainter* p, const QWidget* w) const override {
        if (el == CE_MenuItem) {
            auto* menu = qobject_cast<const QMenu*>(w);
            auto* mo = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
            if (menu && mo) {
                QAction* a = menu->actionAt(mo->rect.center());
                TMenuItem* item = ItemOfAction(a);
                if (item && item->OnDrawItem && item->GetParentMenu() && item->GetParentMenu()->OwnerDraw()) {
                    TCanvas canvas;
                    CanvasPainterScope scope(&canvas, p, w->rect());
                    QRect r = mo->rect;
                    bool selected = mo->state & State_Selected;
                    DispatchSafely(item, [&] {
                        item->OnDrawItem(item, &canvas, Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1),
                                         selected);
                    });
                    return;
                }
            }
        }
        QProxyStyle::drawControl(el, opt, p, w);
    }
    QSize sizeFromContents(ContentsType ct, const QStyleOption* opt, const QSize& size,
                           const QWidget* w) const override {
        QSize s = QProxyStyle::sizeFromContents(ct, opt, size, w);
        if (ct != CT_MenuItem) return s;
        auto* mo = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
        auto* menu = qobject_cast<const QMenu*>(w);
        if (!mo || !menu) return s;
        for (QAction* a : menu->actions()) {
            TMenuItem* item = ItemOfAction(a);
            if (!item || !item->OnMeasureItem || !item->GetParentMenu() || !item->GetParentMenu()->OwnerDraw())
                continue;
            if (a->text() != mo->text) continue;
            int width = s.width(), height = s.height();
            TCanvas canvas;
            DispatchSafely(item, [&] { item->OnMeasureItem(item, &canvas, width, height); });
            return QSize(width, height);
        }
        return s;
    }
};

OwnerDrawStyle* TheOwnerDrawStyle() {
    EnsureApplication();
    static OwnerDrawStyle* style = new OwnerDrawStyle;
    return style;
}

TMenuItem* ItemOfAction(const QAction* a) {
    if (!a) return nullptr;
    return static_cast<TMenuItem*>(a->property("_tmenuitem").value<void*>());
}
} // namespace

// ------------------------------------------------------------ shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift) {
    TShortCut sc = TShortCut(Key & 0xFF);
    if (Shift.Contains(ssShift)) sc |= scShift;
    if (Shift.Contains(ssCtrl)) sc |= scCtrl;
    if (Shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut sc, Word& Key, TShiftState& Shift) {
    Key = Word(sc & 0xFF);
    Shift = {};
    if (sc & scShift) Shift << ssShift;
    if (sc & scCtrl) Shift << ssCtrl;
    if (sc & scAlt) Shift << ssAlt;
}

namespace {
struct KeyName {
    Word vk;
    const char* name;
};
const KeyName kNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_F1, "F1"},      {VK_F2, "F2"},       {VK_F3, "F3"},      {VK_F4, "F4"},        {VK_F5, "F5"},
    {VK_F6, "F6"},      {VK_F7, "F7"},       {VK_F8, "F8"},      {VK_F9, "F9"},        {VK_F10, "F10"},
    {VK_F11, "F11"},    {VK_F12, "F12"},
};

std::string KeyText(Word vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    for (const auto& k : kNames)
        if (k.vk == vk) return k.name;
    return {};
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           });
}

std::string StripAmpersands(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}
} // namespace

std::string ShortCutToText(TShortCut sc) {
    std::string key = KeyText(Word(sc & 0xFF));
    if (key.empty()) return {};
    std::string out;
    if (sc & scShift) out += "Shift+";
    if (sc & scCtrl) out += "Ctrl+";
    if (sc & scAlt) out += "Alt+";
    return out + key;
}

TShortCut TextToShortCut(const std::string& text) {
    std::string rest = text;
    TShortCut mods = 0;
    for (;;) {
        if (rest.size() > 6 && SameTextAscii(rest.substr(0, 6), "Shift+"))
            mods |= scShift, rest = rest.substr(6);
        else if (rest.size() > 5 && SameTextAscii(rest.substr(0, 5), "Ctrl+"))
            mods |= scCtrl, rest = rest.substr(5);
        else if (rest.size() > 4 && SameTextAscii(rest.substr(0, 4), "Alt+"))
            mods |= scAlt, rest = rest.substr(4);
        else
            break;
    }
    for (int vk = 1; vk < 256; ++vk) {
        std::string name = KeyText(Word(vk));
        if (!name.empty() && SameTextAscii(name, rest)) return TShortCut(mods | vk);
    }
    return scNone;
}

// ------------------------------------------------------------ items

void TMenuItemPrivate::refresh() {
    QString text = ToQt(caption);
    if (shortCut != scNone) text += "\t" + ToQt(ShortCutToText(shortCut));
    // A separator's "-" is a marker, not a text: styles draw a separator's
    // text beside its line.
    action->setText(caption == "-" ? QString() : text);
    action->setSeparator(caption == "-");
    action->setEnabled(enabled);
    action->setVisible(visible);
    action->setCheckable(checked || radio || autoCheck);
    action->setChecked(checked);
    action->setStatusTip(ToQt(hint));
}

void TMenuItemPrivate::rebuildMenu() {
    if (items.empty()) {
        action->setMenu(nullptr);
        return;
    }
    if (!menu) {
        menu = new QMenu;
        menu->setStyle(TheOwnerDrawStyle());
    }
    menu->clear();
    for (TMenuItem* it : items) menu->addAction(TMenuItemPrivate::get(it)->action);
    action->setMenu(menu);
}

static void NotifyChanged(TMenuItem* item) {
    TMenuItem* root = item;
    while (root->Parent()) root = root->Parent();
    if (TMenu* m = TMenuItemPrivate::get(root)->owningMenu)
        if (m->OnChangedInternal) m->OnChangedInternal();
}

QAction* MenuItemAction(TMenuItem* item) { return TMenuItemPrivate::get(item)->action; }
QMenu* MenuItemMenu(TMenuItem* item) {
    auto* d = TMenuItemPrivate::get(item);
    if (!d->menu) {
        d->menu = new QMenu;
        d->menu->setStyle(TheOwnerDrawStyle());
        for (TMenuItem* it : d->items) d->menu->addAction(TMenuItemPrivate::get(it)->action);
    }
    return d->menu;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), d_(new TMenuItemPrivate) {
    d_->q = this;
    // An action needs the application, and a menu may be the first thing a
    // program makes.
    EnsureApplication();
    d_->action = new QAction;
    d_->action->setShortcutContext(Qt::WidgetShortcut);
    d_->action->setProperty("_tmenuitem", QVariant::fromValue<void*>(this));
    QObject::connect(d_->action, &QAction::triggered, d_->action,
                     [this] { DispatchSafely(this, [this] { Click(); }); });
    d_->refresh();
}

TMenuItem::~TMenuItem() {
    for (TMenuItem* it : std::vector<TMenuItem*>(d_->items)) {
        it->d_->parent = nullptr;
        if (!it->Owner()) delete it;
    }
    if (d_->parent) d_->parent->Remove(this);
    delete d_->menu;
    delete d_->action;
    delete d_;
}

std::string TMenuItem::Caption() const { return d_->caption; }
void TMenuItem::SetCaption(const std::string& v) {
    bool sep = (v == "-") != (d_->caption == "-");
    d_->caption = v;
    d_->refresh();
    if (sep) NotifyChanged(this);
}
bool TMenuItem::Enabled() const { return d_->enabled; }
void TMenuItem::SetEnabled(bool v) {
    d_->enabled = v;
    d_->refresh();
}
bool TMenuItem::Visible() const { return d_->visible; }
void TMenuItem::SetVisible(bool v) {
    d_->visible = v;
    d_->refresh();
}
bool TMenuItem::Checked() const { return d_->checked; }
void TMenuItem::SetChecked(bool v) {
    d_->checked = v;
    if (v && d_->radio && d_->parent) {
        for (TMenuItem* s : d_->parent->d_->items)
            if (s != this && s->d_->radio && s->d_->groupIndex == d_->groupIndex) {
                s->d_->checked = false;
                s->d_->refresh();
            }
    }
    d_->refresh();
}
bool TMenuItem::RadioItem() const { return d_->radio; }
void TMenuItem::SetRadioItem(bool v) {
    d_->radio = v;
    d_->refresh();
}
int TMenuItem::GroupIndex() const { return d_->groupIndex; }
void TMenuItem::SetGroupIndex(int v) { d_->groupIndex = v; }
bool TMenuItem::AutoCheck() const { return d_->autoCheck; }
void TMenuItem::SetAutoCheck(bool v) {
    d_->autoCheck = v;
    d_->refresh();
}
TShortCut TMenuItem::ShortCut() const { return d_->shortCut; }
void TMenuItem::SetShortCut(TShortCut v) {
    d_->shortCut = v;
    d_->refresh();
}
std::string TMenuItem::Hint() const { return d_->hint; }
void TMenuItem::SetHint(const std::string& v) {
    d_->hint = v;
    d_->refresh();
}
int TMenuItem::ImageIndex() const { return d_->imageIndex; }
void TMenuItem::SetImageIndex(int v) { d_->imageIndex = v; }
TMenuBreak TMenuItem::Break() const { return d_->brk; }
void TMenuItem::SetBreak(TMenuBreak v) { d_->brk = v; }

int TMenuItem::Count() const { return int(d_->items.size()); }
TMenuItem* TMenuItem::Items(int i) const {
    if (i < 0 || i >= Count()) throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return d_->items[size_t(i)];
}
TMenuItem* TMenuItem::Parent() const { return d_->parent; }
int TMenuItem::MenuIndex() const { return d_->parent ? d_->parent->IndexOf(this) : -1; }
int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(d_->items.begin(), d_->items.end(), item);
    return it == d_->items.end() ? -1 : int(it - d_->items.begin());
}
void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }
void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->d_->parent) throw EInvalidOperation("Menu inserted twice");
    index = std::clamp(index, 0, Count());
    d_->items.insert(d_->items.begin() + index, item);
    item->d_->parent = this;
    d_->rebuildMenu();
    NotifyChanged(this);
}
void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(d_->items.begin(), d_->items.end(), item);
    if (it == d_->items.end()) return;
    d_->items.erase(it);
    item->d_->parent = nullptr;
    d_->rebuildMenu();
    NotifyChanged(this);
}
void TMenuItem::Delete(int index) {
    TMenuItem* it = Items(index);
    Remove(it);
    delete it;
}
void TMenuItem::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}
TMenuItem* TMenuItem::Find(const std::string& caption) const {
    std::string want = StripAmpersands(caption);
    for (TMenuItem* it : d_->items)
        if (StripAmpersands(it->Caption()) == want) return it;
    return nullptr;
}
TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->Parent()) root = root->Parent();
    return root->d_->owningMenu;
}

void TMenuItem::Click() {
    if (!d_->enabled) return;
    if (d_->autoCheck)
        SetChecked(!d_->checked);
    else
        d_->refresh();
    if (OnClick) OnClick(this);
}

// ------------------------------------------------------------ menus

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) { items_->d_->owningMenu = this; }

TMenu::~TMenu() {
    items_->d_->owningMenu = nullptr;
    OnChangedInternal = nullptr;
    // Items owned by a form die with the form; detach them first.
    for (TMenuItem* it : std::vector<TMenuItem*>(items_->d_->items)) items_->Remove(it);
    delete items_;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut sc) const {
    std::function<TMenuItem*(TMenuItem*)> walk = [&](TMenuItem* p) -> TMenuItem* {
        for (int i = 0; i < p->Count(); ++i) {
            TMenuItem* it = p->Items(i);
            if (it->ShortCut() == sc) return it;
            if (TMenuItem* r = walk(it)) return r;
        }
        return nullptr;
    };
    return sc == scNone ? nullptr : walk(items_);
}

bool TMenu::IsShortCut(Word Key, TShiftState Shift) {
    TMenuItem* it = FindItemByShortCut(::ShortCut(Key, Shift));
    if (!it) return false;
    for (TMenuItem* p = it; p && p != items_; p = p->Parent())
        if (!p->Enabled() || !p->Visible()) return false;
    it->Click();
    return true;
}

namespace {
class CloseClickFilter : public QObject {
public:
    CloseClickFilter(QMenu* menu, QRect area) : QObject(menu), menu_(menu), area_(area) {
        setObjectName(Name);
        menu->installEventFilter(this);
    }
    static constexpr const char* Name = "closeClickFilter";

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            QPoint g = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            if (!menu_->rect().contains(menu_->mapFromGlobal(g)) && area_.contains(g))
                menu_->setAttribute(Qt::WA_NoMouseReplay);
        }
        return false;
    }

private:
    QMenu* menu_;
    QRect area_;
};
} // namespace

void TPopupMenu::Popup(int X, int Y) { Popup(X, Y, nullptr, nullptr); }

void TPopupMenu::Popup(int X, int Y, TControl* Owner, std::function<void()> Closed) {
    if (OnPopup) OnPopup(this);
    QMenu* m = MenuItemMenu(Items());
    // The menu has no parent window: once it closes, the window it came
    // from takes the keyboard again, also where the platform would leave
    // no window active.
    QPointer<QWidget> from = QApplication::activeWindow();
    auto once = std::make_shared<QMetaObject::Connection>();
    QPointer<QWidget> owner = Owner ? WidgetOf(Owner) : nullptr;
    *once = QObject::connect(m, &QMenu::aboutToHide, m, [from, once, owner, Owner, Closed] {
        QObject::disconnect(*once);
        if (owner && Closed) DispatchSafely(Owner, Closed);
        QTimer::singleShot(0, from, [from] {
            if (!from || !from->isVisible() || QApplication::activePopupWidget()) return;
            if (QGuiApplication::focusWindow() != from->windowHandle()) ActivateTopLevel(from);
        });
    });
    // The press that closes the menu is handed on to the window under the
    // pointer unless the menu says no; a press in the close-click area is
    // not.
    m->setAttribute(Qt::WA_NoMouseReplay, false);
    delete m->findChild<QObject*>(CloseClickFilter::Name, Qt::FindDirectChildrenOnly);
    TRect area = closeClickArea_;
    closeClickArea_ = TRect();
    if (!IsRectEmpty(area)) new CloseClickFilter(m, QRect(area.Left, area.Top, area.Width(), area.Height()));
    QPoint at(X, Y);
    if (alignment_ != paLeft) {
        int w = m->sizeHint().width();
        at.rx() -= alignment_ == paRight ? w : w / 2;
    }
    m->popup(at);
}
