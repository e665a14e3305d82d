// Windows described, not hand-built: TBuild creates a named component in its
// owner, places a control in its parent, and sets bounds, caption, common
// properties and handlers in one expression that yields the typed pointer,
// so a form keeps its named members:
//
//   TBuild b(this);                                  // owner (and parent) = this form
//   Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(36);
//   EditOld = b.In(Panel1).Add<TEdit>("EditOld").At(100, 14, 160, 21)
//                 .OnKeyDown(&TFrmChangePassword::EditOldKeyDown);
//
// Handlers are the form's member functions (a member that takes none of the
// event's arguments is called without them) or any callable. Every handler
// bound here is recorded on the owner (BoundHandlers), so one test over all
// windows checks that none was lost. Properties that only some classes have
// (ReadOnly, PasswordChar, Cancel...) exist on TBuilt only where the class
// has the setter; anything else goes through Set(&T::SetX, v) or With(fn).
// Rows describe the shapes that repeat: buttons laid across a bar (Across),
// grid columns (Columns), an OK/Cancel pair (OkCancel).
// Not here: a form file format, layout managers, or anything that checks a
// window (see WindowCheck.h).
#pragma once

#include "Controls.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TLabel;

// One handler a builder bound: the component, the event's name and whether
// the event slot still holds a handler.
struct TBoundHandler {
    TComponent* Component = nullptr;
    std::string Event; // "OnClick"
    std::function<bool()> IsSet;
};

// The handlers builders bound on components owned by owner, in binding order.
std::vector<TBoundHandler> BoundHandlers(const TComponent* owner);

// A grid column the window designs itself: bound to Field, titled Title;
// Width <= 0 keeps the grid's default width.
struct TColumnRow {
    std::string Field;
    std::string Title;
    int Width = 0;
    TAlignment TitleAlignment = taCenter;
    TAlignment Alignment = taLeftJustify;
};

// A button of a row laid across a bar (see TBuild::Across).
template <class F>
struct TToolRow {
    const char* Name;
    const char* Caption;
    const char* Hint; // "" shows no hint
    int Width;
    void (F::*Click)(TObject*);
};

// Where a column of captioned boxes sits: each caption label at LabelLeft,
// LabelDy below its box's top (LabelWidth 0: as wide as its caption), each
// box at Left, Width by Height.
struct TFieldColumn {
    int LabelLeft;
    int Left;
    int Width;
    int Height = 21;
    int LabelDy = 3;
    int LabelWidth = 0;
    int LabelHeight = 0;
};

// One button of an OK/Cancel pair: name, caption, left edge and the modal
// result it closes the form with (0: none).
struct TPairButton {
    const char* Name;
    const char* Caption;
    int Left;
    int ModalResult = 0;
};

// Adds grid columns from rows; the grid class only needs Columns()->Add().
template <class G>
void AddColumns(G* grid, const std::vector<TColumnRow>& rows) {
    for (const TColumnRow& r : rows) {
        auto* col = grid->Columns()->Add();
        col->SetFieldName(r.Field);
        col->Title()->SetCaption(r.Title);
        col->Title()->SetAlignment(r.TitleAlignment);
        if (r.Alignment != taLeftJustify) col->SetAlignment(r.Alignment);
        if (r.Width > 0) col->SetWidth(r.Width);
    }
}

namespace build_detail {
void Record(TComponent* owner, TComponent* component, const char* event, std::function<bool()> isSet);
void SetNameAndParent(TComponent* component, const char* name, TWinControl* parent);

// A handler for an event slot of type Slot (a std::function): a member
// function of the form, called with the event's arguments or with none, or
// any callable.
template <class Slot, class F, class H>
Slot Bind(F* form, H handler) {
    if constexpr (std::is_member_function_pointer_v<H>) {
        return [form, handler](auto&&... args) -> decltype(auto) {
            if constexpr (std::is_invocable_v<H, F*, decltype(args)...>)
                return (form->*handler)(std::forward<decltype(args)>(args)...);
            else
                return (form->*handler)();
        };
    } else {
        return Slot(std::move(handler));
    }
}
} // namespace build_detail

#define BUILD_EVENT_(Event)                                                                                            \
    template <class H>                                                                                                 \
    TBuilt& Event(H handler) requires requires(T * t) {                                                                \
        t->Event;                                                                                                      \
    }                                                                                                                  \
    { return On(#Event, &T::Event, std::move(handler)); }

// A component being described. Every setter returns the same TBuilt, and it
// converts to T*, so one expression names, places and wires a control.
template <class F, class T>
class TBuilt {
public:
    TBuilt(F* form, T* component) : form_(form), c_(component) {}
    operator T*() const { return c_; }
    T* operator->() const { return c_; }
    T* Get() const { return c_; }

    TBuilt& At(int left, int top, int width, int height) {
        c_->SetBounds(left, top, width, height);
        return *this;
    }
    // Left and top only: a label keeps the size its caption gives it.
    TBuilt& At(int left, int top) {
        c_->SetLeft(left);
        c_->SetTop(top);
        return *this;
    }
    TBuilt& Width(int v) { return Set(&T::SetWidth, v); }
    TBuilt& Height(int v) { return Set(&T::SetHeight, v); }
    TBuilt& Align(TAlign v) { return Set(&T::SetAlign, v); }
    TBuilt& Caption(const std::string& v) { return Set(&T::SetCaption, v); }
    TBuilt& Text(const std::string& v) { return Set(&T::SetText, v); }
    // Sets the hint and shows it when there is one.
    TBuilt& Hint(const std::string& v) {
        c_->SetHint(v);
        c_->SetShowHint(!v.empty());
        return *this;
    }
    TBuilt& Color(TColor v) { return Set(&T::SetColor, v); }
    TBuilt& Font(const TFont* v) { return Set(&T::SetFont, v); }
    TBuilt& Visible(bool v) { return Set(&T::SetVisible, v); }
    TBuilt& Enabled(bool v) { return Set(&T::SetEnabled, v); }
    TBuilt& Cursor(TCursor v) { return Set(&T::SetCursor, v); }
    TBuilt& TabOrder(int v) { return Set(&T::SetTabOrder, v); }
    TBuilt& TabStop(bool v) { return Set(&T::SetTabStop, v); }
    TBuilt& ReadOnly(bool v = true) { return Set(&T::SetReadOnly, v); }
    TBuilt& PasswordChar(char v = '*') { return Set(&T::SetPasswordChar, v); }
    TBuilt& Cancel(bool v = true) { return Set(&T::SetCancel, v); }
    TBuilt& Default(bool v = true) { return Set(&T::SetDefault, v); }
    TBuilt& ModalResult(int v) { return Set(&T::SetModalResult, v); }
    TBuilt& Checked(bool v = true) { return Set(&T::SetChecked, v); }
    TBuilt& Transparent(bool v = true) { return Set(&T::SetTransparent, v); }

    // Any setter of the class: .Set(&TPanel::SetBevelOuter, bvLowered).
    template <class C, class R, class V, class A>
    TBuilt& Set(R (C::*setter)(A), V&& value) requires std::is_base_of_v<C, T> {
        (c_->*setter)(std::forward<V>(value));
        return *this;
    }
    // Anything else, on the typed pointer.
    template <class Fn>
    TBuilt& With(Fn&& fn) {
        fn(c_);
        return *this;
    }
    // Grid columns the window designs, in order.
    TBuilt& Columns(const std::vector<TColumnRow>& rows) {
        ::AddColumns(c_, rows);
        return *this;
    }

    // Binds handler to the event slot and records it under event.
    template <class C, class Slot, class H>
    TBuilt& On(const char* event, Slot C::*slot, H handler) requires std::is_base_of_v<C, T> {
        T* c = c_;
        c->*slot = build_detail::Bind<Slot>(form_, std::move(handler));
        build_detail::Record(c->Owner(), c, event, [c, slot] { return bool(c->*slot); });
        return *this;
    }
    BUILD_EVENT_(OnClick)
    BUILD_EVENT_(OnDblClick)
    BUILD_EVENT_(OnMouseDown)
    BUILD_EVENT_(OnMouseUp)
    BUILD_EVENT_(OnMouseMove)
    BUILD_EVENT_(OnResize)
    BUILD_EVENT_(OnEnter)
    BUILD_EVENT_(OnExit)
    BUILD_EVENT_(OnKeyDown)
    BUILD_EVENT_(OnKeyPress)
    BUILD_EVENT_(OnKeyUp)
    BUILD_EVENT_(OnChange)
    BUILD_EVENT_(OnPaint)
    BUILD_EVENT_(OnCellClick)
    BUILD_EVENT_(OnExecute)
    BUILD_EVENT_(OnTimer)
    BUILD_EVENT_(OnDataChange)

private:
    F* form_;
    T* c_;
};

#undef BUILD_EVENT_

// Creates components owned by one form (F, usually deduced from `this`),
// placing controls in the current parent: the form itself unless In() chose
// another. A TBuild is a small value: In() returns a copy for that parent.
template <class F>
class TBuild {
public:
    explicit TBuild(F* form) : form_(form) {
        if constexpr (std::is_base_of_v<TWinControl, F>) parent_ = form;
    }

    // The same builder placing controls in parent (nullptr: none, as for a
    // tab sheet that joins its page control).
    TBuild In(TWinControl* parent) const {
        TBuild b(*this);
        b.parent_ = parent;
        return b;
    }

    // A new T owned by the form, named name ("" leaves it unnamed), and for
    // a control, in the current parent.
    template <class T>
    TBuilt<F, T> Add(const char* name) {
        T* c = new T(form_);
        TWinControl* parent = nullptr;
        if constexpr (std::is_base_of_v<TControl, T>) parent = parent_;
        build_detail::SetNameAndParent(c, name, parent);
        return TBuilt<F, T>(form_, c);
    }
    template <class T>
    TBuilt<F, T> Add(const std::string& name) {
        return Add<T>(name.c_str());
    }

    // Controls added after this are laid left to right from (left, top),
    // height high with gap pixels between them; a row gives each its width.
    TBuild Across(int left, int top, int height, int gap) const {
        TBuild b(*this);
        b.x_ = left;
        b.y_ = top;
        b.h_ = height;
        b.gap_ = gap;
        return b;
    }
    // The next button of an Across row: named, captioned, hinted, sized and
    // wired from the row.
    template <class T>
    TBuilt<F, T> Add(const TToolRow<F>& row) {
        TBuilt<F, T> b = Add<T>(row.Name);
        b.Caption(row.Caption).Hint(row.Hint).OnClick(row.Click);
        return Next(b, row.Width);
    }
    // Places an added control at the Across cursor, width wide.
    template <class T>
    TBuilt<F, T> Next(TBuilt<F, T> b, int width) {
        b.At(x_, y_, width, h_);
        x_ += width + gap_;
        return b;
    }

    // A captioned box of a column: a label (L) named labelName showing
    // caption, and the box T named name at top; label receives the label.
    template <class T, class L = TLabel>
    TBuilt<F, T> Field(const TFieldColumn& col, const char* labelName, const char* caption, const char* name, int top,
                       L** label = nullptr) {
        TBuilt<F, L> l = Add<L>(labelName).Caption(caption);
        if (col.LabelWidth > 0)
            l.At(col.LabelLeft, top + col.LabelDy, col.LabelWidth, col.LabelHeight);
        else
            l.At(col.LabelLeft, top + col.LabelDy);
        if (label) *label = l;
        return Add<T>(name).At(col.Left, top, col.Width, col.Height);
    }

    // An OK/Cancel pair of T side by side at top; the second is the Cancel
    // button (Esc presses it).
    template <class T>
    std::pair<TBuilt<F, T>, TBuilt<F, T>> OkCancel(TPairButton ok, TPairButton cancel, int top, int width, int height) {
        auto one = [&](const TPairButton& p) {
            TBuilt<F, T> b = Add<T>(p.Name);
            b.Caption(p.Caption).At(p.Left, top, width, height);
            if (p.ModalResult) b.ModalResult(p.ModalResult);
            return b;
        };
        TBuilt<F, T> first = one(ok);
        TBuilt<F, T> second = one(cancel);
        second.Cancel(true);
        return {first, second};
    }

    // A component made before (a base window's or a table's), to bind the
    // handlers this form brings: b.Wire(Edit1).OnChange(&TFrmX::Edit1Change).
    template <class T>
    TBuilt<F, T> Wire(T* component) const {
        return TBuilt<F, T>(form_, component);
    }

    F* Form() const { return form_; }
    TWinControl* Parent() const { return parent_; }

private:
    F* form_;
    TWinControl* parent_ = nullptr;
    int x_ = 0, y_ = 0, h_ = 0, gap_ = 0;
};
