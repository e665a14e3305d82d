// The combo box with key items, its drop-down list, and the placement of
// drop-downs beside their edits.
#include "DBCtrlsEh.h"

#include "Clipbrd.h"
#include "Gbk.h"
#include "ImgList.h"
#include "Screen.h"
#include "ScopeExit.h"
#include "SysUtils.h"

#include <algorithm>
#include <chrono>

namespace {

uint64_t nowMs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Characters of UTF-8 text (edits count the caret in characters).
int charCount(const std::string& s) {
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string charPrefix(const std::string& s, int chars) {
    size_t i = 0;
    int n = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars) break;
            ++n;
        }
        ++i;
    }
    return s.substr(0, i);
}

bool noShiftKey(TShiftState s) { return !s.Contains(ssShift) && !s.Contains(ssCtrl) && !s.Contains(ssAlt); }

} // namespace

// ------------------------------------------------------------ placement --

TDropDownPlace PlaceDropDownRect(const TRect& edit, int W, int H, TDropDownAlign Align, const TRect& work) {
    TDropDownPlace p;
    int top = edit.Top, bottom = edit.Bottom, editW = edit.Right - edit.Left;
    bool above = (work.Bottom < bottom + H && top - H >= work.Top) ||
                 (top - H < work.Top && work.Bottom - bottom < top - work.Top);
    if (above) {
        if (top - H < work.Top) H = top - work.Top;
        p.Y = top - H;
        p.VerticalSide = 2;
    } else {
        if (work.Bottom < bottom + H) H = work.Bottom - bottom;
        p.Y = bottom;
        p.VerticalSide = 3;
    }
    int X = edit.Left;
    if (Align == daRight) X = edit.Left + editW - W;
    else if (Align == daCenter) X = edit.Left - (W - editW) / 2;
    if (W > work.Right - work.Left) W = work.Right - work.Left;
    if (X + W > work.Right) {
        X = work.Right - W;
        p.HorizontalSide = 0;
    } else if (X < work.Left) {
        X = work.Left;
        p.HorizontalSide = 1;
    } else {
        p.HorizontalSide = Align == daRight ? 0 : 1;
    }
    p.X = X;
    p.Width = W;
    p.Height = H;
    return p;
}

TPoint PlaceDropDown(TControl* Edit, TControl* DropDown, TDropDownAlign Align) {
    TPoint o = Edit->ClientToScreen(TPoint{0, 0});
    TRect edit = Rect(o.X, o.Y, o.X + Edit->Width(), o.Y + Edit->Height());
    TDropDownPlace p = PlaceDropDownRect(edit, DropDown->Width(), DropDown->Height(), Align, Screen->WorkAreaRect());
    DropDown->SetBounds(p.X, p.Y, p.Width, p.Height);
    // A list keeps whole rows: above the edit, its bottom stays on the edit.
    if (p.VerticalSide == 2 && DropDown->Height() != p.Height) {
        p.Y = edit.Top - DropDown->Height();
        DropDown->SetBounds(p.X, p.Y, DropDown->Width(), DropDown->Height());
    }
    DropDown->Perform(SizeGripSideMessage, p.VerticalSide);
    DropDown->Perform(SizeGripSideMessage, p.HorizontalSide);
    return TPoint{p.X, p.Y};
}

// ------------------------------------------------------- the popup list --

TPopupListboxEh::TPopupListboxEh(TComponent* AOwner) : TListBox(AOwner) {
    SetTabStop(false);
    grip_ = new TSizeGripEh(this);
    grip_->SetParent(this);
    grip_->SetTriangleShape(true);
}

void TPopupListboxEh::SetImages(TImageList* v) {
    images_ = v;
    if (v) {
        SetStyle(lbOwnerDrawFixed);
        OnDrawItem = [this](TWinControl*, int i, TRect r, TOwnerDrawState st) { drawItem(i, r, st); };
    } else {
        SetStyle(lbStandard);
        OnDrawItem = nullptr;
    }
}

void TPopupListboxEh::drawItem(int Index, TRect R, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    bool selected = State.Contains(odSelected);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->Font()->Assign(Font());
    if (selected) c->Font()->SetColor(clHighlightText);
    c->FillRect(R);
    if (Index < 0 || Index >= Items()->Count()) return;
    int iw = images_ ? images_->Width() : 0;
    if (images_ && Index < images_->Count())
        images_->Draw(c, R.Left + 2, R.Top + (R.Height() - images_->Height()) / 2, Index, true);
    c->TextRect(Rect(R.Left + iw + 4, R.Top, R.Right, R.Bottom), R.Left + iw + 5, R.Top, Items()->Strings(Index));
}

// The list's frame lies inside what the platform reports as its client
// area: rows get the height less a 2-pixel frame above and below, or they
// would not all fit and a scroll bar would show.
int TPopupListboxEh::BorderHeight() const { return std::max(4, Height() - ClientHeight()); }

int TPopupListboxEh::FontHeight() const {
    TBitmap b;
    b.Canvas()->Font()->Assign(Font());
    return b.Canvas()->TextHeight("Wg");
}

void TPopupListboxEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (inSetBounds_) {
        TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    inSetBounds_ = true;
    ScopeExit done([this] { inSetBounds_ = false; });
    int ih = ItemHeight() > 0 ? ItemHeight() : FontHeight();
    int border = BorderHeight();
    rowCount_ = std::max(1, (AHeight - border) / ih);
    TListBox::SetBounds(ALeft, ATop, std::max(AWidth, kScrollArrowWidth), border + rowCount_ * ih);
}

void TPopupListboxEh::SetRowCount(int N) {
    int ih = ItemHeight() > 0 ? ItemHeight() : FontHeight();
    SetBounds(Left(), Top(), Width(), std::max(1, N) * ih + BorderHeight());
}

void TPopupListboxEh::Resize() {
    TListBox::Resize();
    if (grip_) grip_->SnapToCorner();
    UserResized = true;
}

void TPopupListboxEh::KeyPress(char32_t& Key) {
    if (Key == 8 || Key == 27) {
        searchText_.clear();
    } else if (Key >= 32) {
        uint64_t now = nowMs();
        if (now - lastKeyTime_ > 2000) searchText_.clear();
        lastKeyTime_ = now;
        if (charCount(searchText_) < 32) Utf8Append(searchText_, Key);
        int n = charCount(searchText_);
        for (int i = 0; i < Items()->Count(); ++i)
            if (AnsiSameText(charPrefix(Items()->Strings(i), n), searchText_)) {
                SetItemIndex(i);
                break;
            }
        Key = 0;
    }
    TListBox::KeyPress(Key);
}

void TPopupListboxEh::MouseMove(TShiftState Shift, int X, int Y) {
    TListBox::MouseMove(Shift, X, Y);
    if (Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle)) return;
    int i = ItemAtPos(TPoint{X, Y}, true);
    if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
}

bool TPopupListboxEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TListBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    SetTopIndex(std::max(0, TopIndex() + (WheelDelta < 0 ? 1 : -1)));
    return true;
}

void TPopupListboxEh::WndProc(TMessage& Message) {
    if (Message.Msg == SizeGripSideMessage) {
        grip_->MoveToSide(int(Message.WParam));
        return;
    }
    if (Message.Msg == WM_CHAR) {
        char32_t k = char32_t(Message.WParam);
        KeyPress(k);
        return;
    }
    if (Message.Msg == WM_KEYDOWN) {
        // The keys the combo box passes on while the list is shown.
        int n = Items()->Count(), i = ItemIndex(), page = std::max(1, rowCount_ - 1);
        switch (Message.WParam) {
        case VK_UP: i = i <= 0 ? 0 : i - 1; break;
        case VK_DOWN: i = std::min(n - 1, i + 1); break;
        case VK_PRIOR: i = std::max(0, i - page); break;
        case VK_NEXT: i = std::min(n - 1, i < 0 ? page : i + page); break;
        case VK_HOME: i = 0; break;
        case VK_END: i = n - 1; break;
        default: TListBox::WndProc(Message); return;
        }
        if (n > 0) SetItemIndex(i);
        return;
    }
    TListBox::WndProc(Message);
}

// ------------------------------------------------------------ the combo --

TCustomDBComboBoxEh::TCustomDBComboBoxEh(TComponent* AOwner)
    : TCustomDBEditEh(AOwner), items_(new TStringList), keyItems_(new TStringList) {
    RecreateEditButton();
    items_->OnChange = [this](TObject*) { itemsChanged(); };
    keyItems_->OnChange = [this](TObject*) {
        itemsChanged();
        DataChange();
    };
}

TCustomDBComboBoxEh::~TCustomDBComboBoxEh() {
    items_->OnChange = nullptr;
    keyItems_->OnChange = nullptr;
}

std::unique_ptr<TEditButtonEh> TCustomDBComboBoxEh::CreateEditButton() {
    return std::make_unique<TVisibleEditButtonEh>(this);
}

TStrings* TCustomDBComboBoxEh::Items() const { return items_.get(); }
TStrings* TCustomDBComboBoxEh::KeyItems() const { return keyItems_.get(); }

void TCustomDBComboBoxEh::updateItemsCount() {
    itemCount_ = items_->Count();
    keyItemsMode_ = keyItems_->Count() > 0;
    if (keyItemsMode_) {
        itemCount_ = std::min(itemCount_, keyItems_->Count());
        SetEditTextRaw("");
    }
    UpdateReadOnlyState();
}

void TCustomDBComboBoxEh::itemsChanged() {
    updateItemsCount();
    locateItemByText();
    if (keyItemsMode_ && MaxLength() > 0) SetMaxLength(0);
}

void TCustomDBComboBoxEh::showItem() {
    EditImage()->SetImageIndex(itemIndex_);
    if (listVisible_) list_->SetItemIndex(itemIndex_);
}

void TCustomDBComboBoxEh::locateItemByText() {
    int i = items_->IndexOf(GetText());
    itemIndex_ = i < itemCount_ ? i : -1;
    showItem();
}

void TCustomDBComboBoxEh::SetItemIndex(int I) {
    if (I == itemIndex_) return;
    if (I >= 0 && I < itemCount_) {
        itemIndex_ = I;
        if (keyItemsMode_) keyValue_ = Variant(keyItems_->Strings(I));
    } else {
        itemIndex_ = -1;
        keyValue_ = Null();
    }
    showItem();
    int keep = itemIndex_;
    SetEditTextRaw(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string());
    itemIndex_ = keep;
}

int TCustomDBComboBoxEh::FindItemIndex(const std::string& Text, bool Partial) const {
    int n = charCount(Text);
    for (int i = 0; i < itemCount_; ++i) {
        std::string entry = items_->Strings(i);
        if (Partial) entry = charPrefix(entry, n);
        if (AnsiSameText(entry, Text)) return i;
    }
    return -1;
}

bool TCustomDBComboBoxEh::locateText(const std::string& Text, bool Partial) {
    int old = itemIndex_;
    if (!EditCanModify()) return false;
    try {
        int i = FindItemIndex(Text, Partial);
        if (i >= 0) {
            SetItemIndex(i);
            int len = charCount(GetText()), typed = std::min(len, charCount(Text));
            SetSelStart(typed);
            SetSelLength(len - typed);
        } else if (!keyItemsMode_) {
            SetItemIndex(-1);
        }
    } catch (const Exception&) {
        SetItemIndex(old);
        return false;
    }
    return itemIndex_ != old;
}

bool TCustomDBComboBoxEh::completeTypedText(const std::string& Typed) {
    if ((!link_->DataIndependent() && !Field()) || !EditCanModify()) return false;
    int len = charCount(GetText());
    if (Typed == "\b") {
        int selLen = SelLength();
        if (selLen >= len) {
            SetSelStart(std::max(0, len - 1));
            SetSelLength(len > 0 ? 1 : 0);
        } else {
            int l = std::min(len, selLen + 1);
            SetSelStart(len - l);
            SetSelLength(l);
        }
        return false;
    }
    return locateText(charPrefix(GetText(), SelStart()) + Typed, true);
}

void TCustomDBComboBoxEh::StepItem(bool Up) {
    if (!EditCanModify()) return;
    int i = itemIndex_;
    if (Up) {
        if (i > 0) --i;
        else if (i == -1) i = itemCount_ - 1;
    } else if (i < itemCount_ - 1) {
        ++i;
    }
    if (i == itemIndex_) return;
    SetItemIndex(i);
    SelectAll();
}

void TCustomDBComboBoxEh::Clear() {
    if (keyItemsMode_)
        SetValue(Null());
    else
        SetEditTextRaw("");
}

TAlignment TCustomDBComboBoxEh::DefaultAlignment() const {
    return keyItemsMode_ ? taLeftJustify : TCustomDBEditEh::DefaultAlignment();
}

bool TCustomDBComboBoxEh::IsValidChar(char32_t Key) const {
    return keyItemsMode_ || TCustomDBEditEh::IsValidChar(Key);
}

void TCustomDBComboBoxEh::UpdateReadOnlyState() {
    TMaskEdit::SetReadOnly(!link_->CanModify() || ReadOnly() || keyItemsMode_);
}

Variant TCustomDBComboBoxEh::GetVariantValue() const {
    return keyItemsMode_ ? keyValue_ : TCustomDBEditEh::GetVariantValue();
}

void TCustomDBComboBoxEh::InternalSetValue(const Variant& V) {
    if (!keyItemsMode_) {
        TCustomDBEditEh::InternalSetValue(V);
        locateItemByText();
        return;
    }
    keyValue_ = V;
    int i = -1;
    if (!V.IsNull() && !V.IsEmpty()) i = keyItems_->IndexOf(VarToStr(V));
    if (i >= itemCount_) i = -1;
    SetEditTextRaw(i >= 0 ? items_->Strings(i) : std::string());
    itemIndex_ = i;
    showItem();
}

void TCustomDBComboBoxEh::InternalSetText(const std::string& S) {
    if (!keyItemsMode_) {
        TCustomDBEditEh::InternalSetText(S);
        locateItemByText();
        return;
    }
    int i = items_->IndexOf(S);
    if (i < 0 || i >= itemCount_) return;
    keyValue_ = Variant(keyItems_->Strings(i));
    SetEditTextRaw(S);
    itemIndex_ = i;
    showItem();
}

void TCustomDBComboBoxEh::DataChanged() {
    if (TField* f = Field()) {
        if ((f->DataType() == ftString || f->DataType() == ftWideString) && MaxLength() == 0 && !keyItemsMode_)
            SetMaxLength(f->Size());
        if ((EditFocused() && link_->CanModify()) || keyItemsMode_)
            InternalSetValue(f->IsNull() && keyItemsMode_ ? Null() : Variant(f->Text()));
        else
            SetEditTextRaw(f->DisplayText());
    } else if (link_->DataIndependent()) {
        if (keyItemsMode_)
            InternalSetValue(link_->OwnValue());
        else
            SetEditTextRaw(VarToStr(link_->OwnValue()));
    } else {
        SetEditTextRaw("");
    }
    UpdateReadOnlyState();
    SetModified(false);
}

void TCustomDBComboBoxEh::WriteTextToField() {
    if (!link_->DataIndependent() || keyItemsMode_) {
        Variant v = GetValue();
        if (keyItemsMode_ && link_->DataIndependent())
            link_->SetValue(v);
        else
            link_->SetText(VarToStr(v));
    } else {
        link_->SetText(GetText());
    }
}

void TCustomDBComboBoxEh::UpdateData() {
    if (OnNotInList && itemIndex_ == -1) {
        bool recheck = false;
        OnNotInList(this, GetText(), recheck);
    }
    TCustomDBEditEh::UpdateData();
}

void TCustomDBComboBoxEh::Change() {
    TCustomDBEditEh::Change();
    if (completing_) return;
    locateItemByText();
    if (keyItemsMode_ || pendingChar_ == 0) return;
    // Text mode, right after a typed character went in.
    char32_t c = pendingChar_;
    pendingChar_ = 0;
    completing_ = true;
    ScopeExit done([this] { completing_ = false; });
    int len = charCount(GetText());
    if (SelStart() == len && SelLength() == 0 && c != 8) {
        completeTypedText("");
    } else {
        int p = SelStart();
        if (locateText(GetText(), false)) {
            SetSelStart(p);
            SetSelLength(charCount(GetText()) - p);
        }
    }
}

void TCustomDBComboBoxEh::KeyDown(Word& Key, TShiftState Shift) {
    if (listVisible_ && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                         ((Key == VK_HOME || Key == VK_END) && Shift.Contains(ssCtrl)))) {
        int sc = Key | (Shift.Contains(ssShift) ? 0x2000 : 0) | (Shift.Contains(ssCtrl) ? 0x4000 : 0) |
                 (Shift.Contains(ssAlt) ? 0x8000 : 0);
        bool isShortCut = EditButton()->ShortCut == sc;
        for (int i = 0; i < EditButtons()->Count(); ++i) isShortCut |= EditButtons()->Items(i)->ShortCut == sc;
        if (!isShortCut) {
            list_->Perform(WM_KEYDOWN, Key, 0);
            Key = 0;
            return;
        }
    }
    TCustomDBEditEh::KeyDown(Key, Shift);
    if (Key == 0) return;
    if ((Key == VK_UP || Key == VK_DOWN) && !listVisible_ && EditCanModify() && !ReadOnly() &&
        (!wordWrap_ || SelLength() == charCount(GetText()))) {
        StepItem(Key == VK_UP);
        Key = 0;
        return;
    }
    if (Key == VK_DELETE && keyItemsMode_ && (!Field() || !Field()->Required()) && EditCanModify() && !ReadOnly())
        InternalSetValue(Null());
}

void TCustomDBComboBoxEh::KeyPress(char32_t& Key) {
    if (listVisible_ && (Key == 13 || Key == 27)) {
        CloseUp(Key == 13);
        Key = 0;
    }
    pendingChar_ = 0;
    TCustomDBEditEh::KeyPress(Key);
    if (Key == 0) return;
    if (Key == 8 && keyItemsMode_ && !ReadOnly()) {
        completeTypedText("\b");
        Key = 0;
    } else if (Key >= 32) {
        if (dropDownBox_.AutoDrop && !listVisible_) DropDown();
        if (keyItemsMode_ && !ReadOnly()) {
            completeTypedText(GetTypedCharacters());
            Key = 0;
        }
    }
    if (!keyItemsMode_ && (Key >= 32 || Key == 8)) pendingChar_ = Key;
}

bool TCustomDBComboBoxEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (listVisible_) {
        list_->SetTopIndex(std::max(0, list_->TopIndex() + (WheelDelta < 0 ? 1 : -1)));
        return true;
    }
    if (TCustomDBEditEh::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (!noShiftKey(Shift) || ReadOnly() || !EditCanModify()) return false;
    StepItem(WheelDelta > 0);
    return true;
}

void TCustomDBComboBoxEh::ButtonDown(bool IsDownButton) {
    if (EditButton()->Style() == ebsUpDownEh) {
        if (EditCanModify()) StepItem(!IsDownButton);
        return;
    }
    TCustomDBEditEh::ButtonDown(IsDownButton);
}

void TCustomDBComboBoxEh::WndProc(TMessage& Message) {
    if (Message.Msg == WM_PASTE && keyItemsMode_) {
        std::string t = Clipboard()->AsText();
        if (!t.empty()) completeTypedText(t);
        return;
    }
    TCustomDBEditEh::WndProc(Message);
}

void TCustomDBComboBoxEh::DropDown() {
    if (listVisible_) return;
    TCustomDBEditEh::DropDown();
    if (!list_) {
        list_ = NewDropDownWindow<TPopupListboxEh>(this);
        list_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y) { listMouseUp(b, x, y); };
    }
    list_->SetColor(Color());
    list_->Font()->Assign(Font());
    TImageList* images = EditImage()->Images();
    list_->SetImages(images);
    int ih = list_->FontHeight();
    if (images && EditImage()->UseImageHeight() && ih < images->Height() + 1) ih = images->Height() + 1;
    list_->SetItemHeight(ih);
    list_->Items()->Assign(items_.get());
    list_->SetItemIndex(itemIndex_);
    int w = Width();
    if (dropDownBox_.Width == -1) {
        TBitmap b;
        b.Canvas()->Font()->Assign(Font());
        int widest = 0;
        for (int i = 0; i < itemCount_; ++i) widest = std::max(widest, b.Canvas()->TextWidth(items_->Strings(i)));
        int client = widest + 5 + (images ? images->Width() + 4 : 0);
        w = client + (list_->Width() - list_->ClientWidth());
        if (items_->Count() > dropDownBox_.Rows) w += kScrollArrowWidth;
    } else if (dropDownBox_.Width > 0) {
        w = dropDownBox_.Width;
    }
    if (w < Width()) w = Width();
    list_->SetBounds(list_->Left(), list_->Top(), w, list_->Height());
    list_->SetRowCount(std::max(1, std::min(dropDownBox_.Rows, items_->Count())));
    PlaceDropDown(this, list_, dropDownBox_.Align);
    list_->SetVisible(true);
    list_->SizeGrip()->ShowGrip(dropDownBox_.Sizable);
    listVisible_ = true;
    list_->UserResized = false;
    droppedDown_ = true;
}

void TCustomDBComboBoxEh::listMouseUp(TMouseButton Button, int X, int Y) {
    if (Button != mbLeft) return;
    CloseUp(X >= 0 && Y >= 0 && X < list_->ClientWidth() && Y < list_->ClientHeight());
}

void TCustomDBComboBoxEh::CloseUp(bool Accept) {
    if (!listVisible_) return;
    list_->SetVisible(false);
    if (list_->UserResized) {
        dropDownBox_.Rows = list_->RowCount();
        dropDownBox_.Width = list_->Width();
    }
    listVisible_ = false;
    if (Accept && !ReadOnly() && EditCanModify()) {
        SetItemIndex(list_->ItemIndex());
        if (Focused()) SelectAll();
    }
    droppedDown_ = false;
    TCustomDBEditEh::CloseUp(Accept);
}

void TCustomDBComboBoxEh::DoExit() {
    if (listVisible_) CloseUp(false);
    TCustomDBEditEh::DoExit();
}

void TCustomDBComboBoxEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomDBEditEh::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !keyItemsMode_ || Shift.Contains(ssDouble) || !ButtonEnabled() || listVisible_) return;
    TRect b = ButtonsRect();
    if (X >= b.Left && X < b.Right && Y >= b.Top && Y < b.Bottom) return;
    if (!Focused() && CanFocus()) SetFocus();
    openedByPress_ = true;
    DropDown();
}

TControl* TCustomDBComboBoxEh::OpenDropDown() const { return listVisible_ ? list_ : nullptr; }

// A press on the text (it opened the list) dragged into the list goes on
// there, as one on the button does.
void TCustomDBComboBoxEh::MouseMove(TShiftState Shift, int X, int Y) {
    if (Shift.Contains(ssLeft) && TrackDropDownMouse(this, X, Y)) return;
    TCustomDBEditEh::MouseMove(Shift, X, Y);
}

void TCustomDBComboBoxEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && ReleaseDropDownMouse(this, X, Y)) return;
    TCustomDBEditEh::MouseUp(Button, Shift, X, Y);
}

void TCustomDBComboBoxEh::Click() {
    TCustomDBEditEh::Click();
    if (keyItemsMode_ && ButtonEnabled() && droppedDown_ && !openedByPress_) CloseUp(false);
    openedByPress_ = false;
}
