// The data grid's in-place editor: its styles and buttons, the pick list
// and calendar drop-downs, and the buttons painted in cells that always
// show them.
#include <algorithm>
#include <cmath>

#include "ExtCtrls.h"
#include "Menus.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/grid/DBLookupGridsEh.h"

namespace {

bool isDateField(const TField* f) {
    const TFieldType t = f->DataType();
    return t == ftDate || t == ftDateTime || t == ftTimeStamp;
}

// The width of a button whose own width is automatic.
int autoButtonWidth(bool flat) { return flat ? FlatEditButtonWidth : kScrollArrowWidth; }

int itemButtonWidth(const TEditButtonEh* b, bool flat) { return b->Width() > 0 ? b->Width() : autoButtonWidth(flat); }

// The class library's shortcut of a key with its modifiers.
int shortCutOf(Word Key, TShiftState Shift) {
    int s = Key;
    if (Shift.Contains(ssShift)) s |= 0x2000;
    if (Shift.Contains(ssCtrl)) s |= 0x4000;
    if (Shift.Contains(ssAlt)) s |= 0x8000;
    return s;
}

bool dropsDown(TInplaceEditStyleEh s) { return s == iesPickListEh || s == iesDataGridEh || s == iesCalendarEh; }

TButtonFaceKindEh defaultFace(TInplaceEditStyleEh s) {
    if (s == iesEllipsisEh) return fkEllipsisEh;
    if (s == iesUpDownEh) return fkUpDownEh;
    return fkDropDownEh;
}

// The style a column's editor takes; the editor itself does not look at
// the column's images (a key-image column never shows an editor).
TInplaceEditStyleEh editStyleOf(const TColumnEh* c, bool consultImages) {
    switch (c->ButtonStyle()) {
    case cbsEllipsisEh: return iesEllipsisEh;
    case cbsNoneEh: return iesSimpleEh;
    case cbsUpDownEh: return iesUpDownEh;
    case cbsDropDownEh: return iesDropDownEh;
    case cbsAutoEh: break;
    }
    TField* f = c->Field();
    if (!f) return iesSimpleEh;
    TCustomDBGridEh* g = c->Grid();
    if (f->Lookup()) {
        if (f->KeyFields().empty() || c->ReadOnly()) return iesSimpleEh;
        try {
            for (TField* k : FieldsByNames(f->DataSet(), g, f->KeyFields()))
                if (!k->CanModify()) return iesSimpleEh;
        } catch (const Exception&) {
            return iesSimpleEh;
        }
        TGridDataLinkEh* link = g ? g->DataLink() : nullptr;
        if (g && (g->ReadOnly() || !link->Active() || link->ReadOnly() || !link->DataSet()->CanModify()))
            return iesSimpleEh;
        return iesDataGridEh;
    }
    const TStrings* pick = c->PickList();
    if (pick && pick->Count() > 0 && !c->ReadOnly() && (!consultImages || !c->ImageList())) return iesPickListEh;
    if (isDateField(f) && !c->ReadOnly()) return iesCalendarEh;
    return iesSimpleEh;
}

} // namespace

// ================================================================ column

TInplaceEditStyleEh TColumnEh::ColumnEditStyle() const { return editStyleOf(this, true); }

int TColumnEh::EditButtonsWidth() const {
    TCustomDBGridEh* g = Grid();
    const bool flat = g && g->Flat();
    int w = ColumnEditStyle() == iesSimpleEh ? 0 : (flat ? FlatEditButtonWidth + 1 : kScrollArrowWidth);
    for (int i = 0; i < editButtons_.Count(); ++i) {
        const TEditButtonEh* b = editButtons_.Items(i);
        if (b->Visible()) w += itemButtonWidth(b, flat) + (flat ? 1 : 0);
    }
    return w;
}

// ================================================================ grid side

TInplaceEdit* TCustomDBGridEh::CreateEditor() { return new TDBGridInplaceEdit(this); }

// The platform editor paints the ellipsis and drop-down buttons; the
// up/down button and the drop-downs themselves are the editor's own.
TEditStyle TCustomDBGridEh::GetEditStyle(int ACol, int) {
    TColumnEh* c = columnAt(ACol);
    switch (c ? editStyleOf(c, false) : iesSimpleEh) {
    case iesSimpleEh:
    case iesUpDownEh: return esSimple;
    case iesEllipsisEh: return esEllipsis;
    default: return esDropDown;
    }
}

// The platform editor's button (a press, Alt+Down or Alt+Up): a drop-down
// opens, or closes unchanged when it is open; an ellipsis or a plain
// drop-down button is the column's or the grid's to answer.
void TCustomDBGridEh::EditButtonClick() {
    TDBGridInplaceEdit* ed = InplaceEditorEh();
    TColumnEh* c = columnAt(Col());
    if (ed && dropsDown(ed->EditStyleEh())) {
        if (ed->DroppedDown())
            ed->CloseUp(false);
        else
            ed->DropDown();
        return;
    }
    if (c && c->OnEditButtonClick) {
        c->OnEditButtonClick(c);
        return;
    }
    if (OnEditButtonClick) OnEditButtonClick(this);
}

TDBGridInplaceEdit* TCustomDBGridEh::InplaceEditorEh() const {
    return dynamic_cast<TDBGridInplaceEdit*>(InplaceEditor());
}

TPopupListboxEh* TCustomDBGridEh::openPickList() const {
    TDBGridInplaceEdit* ed = InplaceEditorEh();
    return ed && ed->EditStyleEh() == iesPickListEh && ed->DroppedDown() ? ed->PopupList() : nullptr;
}

void TCustomDBGridEh::drawCellButtons(TCanvas* c, TColumnEh* col, const TRect& cell, int left) {
    const bool flat = Flat();
    const bool enabled = dataLink_->Active();
    const int h = std::min(cell.Height(), DefaultRowHeight());
    int x = left;
    auto face = [&](int w, TButtonFaceKindEh kind) {
        TRect b{x, cell.Top, std::min(x + w, int(cell.Right)), cell.Top + h};
        if (flat) {
            // A line in the cell's colour keeps the button off the text.
            c->Brush()->SetColor(col->Color());
            c->FillRect(TRect{b.Left, b.Top, b.Left + 1, b.Bottom});
            ++b.Left;
        }
        PaintEditButtonFace(c, b, col->Color(), kind, 0, flat, false, enabled, 0);
        x += w;
    };
    const TInplaceEditStyleEh style = col->ColumnEditStyle();
    if (style != iesSimpleEh) face(flat ? FlatEditButtonWidth + 1 : kScrollArrowWidth, defaultFace(style));
    TEditButtonsEh* items = col->EditButtons();
    for (int i = 0; i < items->Count(); ++i) {
        TEditButtonEh* item = items->Items(i);
        if (!item->Visible()) continue;
        const int w = itemButtonWidth(item, flat) + (flat ? 1 : 0);
        if (item->Style() != ebsGlyphEh) {
            face(w, FaceKindOfStyle(item->Style()));
            continue;
        }
        TRect b{x, cell.Top, std::min(x + w, int(cell.Right)), cell.Top + h};
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(b);
        if (!flat) c->DrawEdge(b, BDR_RAISEDINNER, BF_RECT);
        if (TBitmap* g = item->Glyph(); g && g->Width() > 0) {
            const int gw = g->Width() / std::max(1, item->NumGlyphs());
            TRect src{0, 0, gw, g->Height()};
            TRect dst{b.Left + (b.Width() - gw) / 2, b.Top + (b.Height() - g->Height()) / 2, 0, 0};
            dst.Right = dst.Left + gw;
            dst.Bottom = dst.Top + g->Height();
            c->CopyRect(dst, g->Canvas(), src);
        }
        x += w;
    }
    if (h < cell.Height()) {
        // Rows taller than one line: below the buttons is the cell's own.
        c->Brush()->SetColor(col->Color());
        c->FillRect(TRect{left, cell.Top + h, cell.Right, cell.Bottom});
    }
}

bool TCustomDBGridEh::pressCellButton(int X, int Y) {
    TColumnEh* col = columnAt(Col());
    if (!col) return false;
    const TRect cell = CellRect(Col(), Row());
    const int zone = col->EditButtonsWidth();
    if (zone <= 0 || X < cell.Right - zone || X >= cell.Right || Y < cell.Top || Y >= cell.Bottom) return false;
    if (!EditorMode()) ShowEditor();
    TDBGridInplaceEdit* ed = InplaceEditorEh();
    if (!ed || !ed->Visible()) return false;
    CancelMode();
    return ed->PressButtonAt(X - ed->Left(), Y - ed->Top());
}

// ================================================================ editor

TDBGridInplaceEdit::TDBGridInplaceEdit(TCustomDBGridEh* Grid) : TInplaceEdit(Grid), grid_(Grid) {}

TDBGridInplaceEdit::~TDBGridInplaceEdit() = default;

TColumnEh* TDBGridInplaceEdit::Column() const {
    return grid_->Columns()->Count() > 0 ? grid_->columnAt(grid_->Col()) : nullptr;
}

int TDBGridInplaceEdit::defaultButtonWidth() const { return autoButtonWidth(grid_->Flat()); }

bool TDBGridInplaceEdit::DroppedDown() const {
    return listDown_ || calendarDown_ || (style_ == iesDataGridEh && grid_->DroppedDataGrid());
}

int TDBGridInplaceEdit::ButtonAreaWidth() const {
    if (IsRectEmpty(ButtonRect())) return OuterButtonsWidth();
    return OuterButtonsWidth() + ButtonRect().Width() + (grid_->Flat() ? 1 : 0);
}

void TDBGridInplaceEdit::UpdateContents() {
    CloseUp(false);
    TInplaceEdit::UpdateContents();
    TColumnEh* c = Column();
    style_ = c ? editStyleOf(c, false) : iesSimpleEh;
    readOnlyOverridden_ = false;
    forcedReadOnly_ = false;
    if (c && c->Field()) {
        Font()->Assign(c->Font());
        // What the cell's parameters say of the editor: its colour, its
        // text and whether it may change (a handler may force either way).
        TColCellParamsEh p;
        p.Background = c->Color();
        p.Font = Font();
        p.Alignment = c->Alignment();
        p.State = TGridDrawState{gdFocused};
        p.Text = GetText();
        p.Col = grid_->Col();
        p.Row = grid_->Row();
        const bool readOnly = !c->CanModify(false);
        p.ReadOnly = readOnly;
        if (grid_->OnGetCellParams) grid_->OnGetCellParams(grid_, c, Font(), p.Background, p.State);
        if (c->OnGetCellParams) c->OnGetCellParams(c, true, &p);
        SetColor(p.Background);
        if (p.ReadOnly != readOnly) {
            readOnlyOverridden_ = true;
            forcedReadOnly_ = p.ReadOnly;
            if (p.ReadOnly) SetMaxLength(-1);
        }
        if (p.Text != GetText()) SetText(p.Text);
    }
    // A cell that shows its text wrapped is edited wrapped.
    SetWordWrap(c && c->WordWrap() && grid_->multiLineRows_);
    updateEditButtons();
}

bool TDBGridInplaceEdit::KeepsLineKey(Word Key) const {
    // Without the editor always shown, the arrows only move the caret.
    if (!grid_->Options().Contains(dgAlwaysShowEditor)) return true;
    return TInplaceEdit::KeepsLineKey(Key);
}

void TDBGridInplaceEdit::BoundsChanged() {
    TInplaceEdit::BoundsChanged();
    updateEditButtons();
}

// The column's buttons at the right edge, the last one outermost; the
// default button (the platform's, or the up/down control) nearest the text.
void TDBGridInplaceEdit::updateEditButtons() {
    TColumnEh* c = Column();
    const bool flat = grid_->Flat();
    std::vector<int> visibleItems;
    if (c)
        for (int i = 0; i < c->EditButtons()->Count(); ++i)
            if (c->EditButtons()->Items(i)->Visible()) visibleItems.push_back(i);
    while (buttons_.size() > visibleItems.size()) {
        delete buttons_.back().control;
        buttons_.pop_back();
    }
    while (buttons_.size() < visibleItems.size()) {
        auto* b = new TEditButtonControlEh(this);
        b->SetParent(this);
        const size_t slot = buttons_.size();
        b->OnDown = [this, slot, b](TObject*, bool, bool&, bool&) {
            if (slot < buttons_.size()) editButtonDown(buttons_[slot].item, b);
        };
        b->OnClick = [this, slot, b](TObject*) {
            if (slot < buttons_.size()) editButtonClick(buttons_[slot].item, b);
        };
        buttons_.push_back({b, -1});
    }
    if (style_ == iesUpDownEh && !upDown_) {
        upDown_ = new TEditButtonControlEh(this);
        upDown_->SetParent(this);
        upDown_->SetButtonStyle(ebsUpDownEh);
        upDown_->OnDown = [this](TObject*, bool TopButton, bool&, bool&) {
            if (CanFocus() && !Focused()) SetFocus();
            UpDownStep(!TopButton);
        };
    }
    if (upDown_) upDown_->SetVisible(style_ == iesUpDownEh);
    // A button is as high as the editor unless it is so narrow that it
    // would look like a post; then 1.5 x its width.
    const int clientH = ClientHeight();
    auto heightFor = [&](int w) { return std::lround(w * 1.5) < clientH ? int(std::nearbyint(w * 1.5)) : clientH; };
    int h = clientH;
    for (size_t i = 0; i < buttons_.size(); ++i)
        h = std::min(h, heightFor(itemButtonWidth(c->EditButtons()->Items(visibleItems[i]), flat)));
    if (style_ == iesUpDownEh) h = std::min(h, heightFor(defaultButtonWidth()));
    // In a flat grid a line of the button face keeps each button off its
    // neighbour (and the first off the text).
    const int sep = flat ? 1 : 0;
    size_t lines = 0;
    auto separate = [&](int& x) {
        if (!flat) return;
        x -= sep;
        TShape* s = separatorAt(lines++);
        s->SetBounds(x, 0, sep, h);
        s->SetVisible(true);
    };
    int x = Width();
    for (size_t i = buttons_.size(); i-- > 0;) {
        TEditButtonEh* item = c->EditButtons()->Items(visibleItems[i]);
        TEditButtonControlEh* b = buttons_[i].control;
        buttons_[i].item = visibleItems[i];
        b->SetButtonStyle(item->Style());
        b->SetNumGlyphs(item->NumGlyphs());
        b->SetHint(item->Hint());
        b->SetFlat(flat);
        const int w = itemButtonWidth(item, flat);
        SetButtonFace(b, item->Style(), item->Glyph(), w, h, Color(), flat, true, true);
        x -= w;
        b->SetBounds(x, 0, w, h);
        b->SetVisible(true);
        b->SetEnabled(true);
        b->SetHot(true);
        separate(x);
    }
    if (style_ == iesUpDownEh) {
        x -= defaultButtonWidth();
        upDown_->SetFlat(flat);
        SetButtonFace(upDown_, ebsUpDownEh, nullptr, defaultButtonWidth(), h, Color(), flat, true, true);
        upDown_->SetBounds(x, 0, defaultButtonWidth(), h);
        upDown_->SetHot(true);
        separate(x);
    }
    // The default button (drawn by the editor itself) sits left of these.
    SetButtonWidth(defaultButtonWidth());
    SetOuterButtonsWidth(Width() - x);
    if (style_ != iesSimpleEh && style_ != iesUpDownEh) {
        int left = x - defaultButtonWidth();
        separate(left);
    }
    for (size_t i = lines; i < separators_.size(); ++i) separators_[i]->SetVisible(false);
}

TShape* TDBGridInplaceEdit::separatorAt(size_t i) {
    while (separators_.size() <= i) {
        auto* s = new TShape(this);
        s->SetParent(this);
        s->Pen()->SetColor(clBtnFace);
        s->Brush()->SetColor(clBtnFace);
        separators_.push_back(s);
    }
    return separators_[i];
}

void TDBGridInplaceEdit::editButtonDown(int item, TEditButtonControlEh* control) {
    if (CanFocus() && !Focused()) SetFocus();
    // The press that closed this button's menu does not pop it up again.
    if (releaseButton_.Take(control)) return;
    TColumnEh* c = Column();
    if (!c || item < 0 || item >= c->EditButtons()->Count()) return;
    TEditButtonEh* b = c->EditButtons()->Items(item);
    bool handled = false, autoRepeat = false;
    if (b->OnDown) b->OnDown(control, true, autoRepeat, handled);
    if (handled || !b->DropdownMenu) return;
    PopupButtonMenu(b->DropdownMenu, this, control, releaseButton_);
}

void TDBGridInplaceEdit::editButtonClick(int item, TEditButtonControlEh* control) {
    TColumnEh* c = Column();
    if (!c || item < 0 || item >= c->EditButtons()->Count()) return;
    TEditButtonEh* b = c->EditButtons()->Items(item);
    bool handled = false;
    if (b->OnClick) b->OnClick(control, handled);
}

// The default button of a drop-down: the press opens (the click that ends
// it leaves the drop-down open), a later click closes without taking a
// value, and a press dragged into the open drop-down goes on there. A
// press on the editor's text closes its open drop-down without taking
// anything, as a press anywhere outside the drop-down does; a press on the
// other buttons is theirs to decide.
void TDBGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TRect b = ButtonRect();
    if (Button != mbLeft || !dropsDown(style_) || !PtInRect(b, TPoint{X, Y})) {
        if (DroppedDown() && X < Width() - ButtonAreaWidth()) CloseUp(false);
        TInplaceEdit::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !Focused()) SetFocus();
    buttonHeld_ = true;
    track_.Cancel();
    if (DroppedDown()) return;
    DropDown();
    openedByThisPress_ = DroppedDown();
}

void TDBGridInplaceEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (buttonHeld_ && Shift.Contains(ssLeft)) trackDropDownMouse(X, Y);
    TInplaceEdit::MouseMove(Shift, X, Y);
}

void TDBGridInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft || !buttonHeld_) {
        TInplaceEdit::MouseUp(Button, Shift, X, Y);
        return;
    }
    buttonHeld_ = false;
    if (track_.Release(this, X, Y)) {
        openedByThisPress_ = false;
        return;
    }
    if (PtInRect(ButtonRect(), TPoint{X, Y}) && DroppedDown() && !openedByThisPress_) CloseUp(false);
    openedByThisPress_ = false;
}

void TDBGridInplaceEdit::trackDropDownMouse(int X, int Y) {
    if (track_.Tracking()) {
        track_.Move(this, nullptr, TRect{}, X, Y);
        return;
    }
    TControl* d = nullptr;
    TRect area;
    if (listDown_) {
        d = list_;
        area = list_->ClientRect();
    } else if (calendarDown_) {
        // The days only: not the month bar's buttons on the way there.
        d = calendar_;
        area = calendar_->DayTableRect();
    } else if (TPopupDataGridEh* g = style_ == iesDataGridEh ? grid_->DroppedDataGrid() : nullptr) {
        d = g;
        area = g->DataRowsRect();
    }
    track_.Move(this, d, area, X, Y);
}

bool TDBGridInplaceEdit::PressButtonAt(int X, int Y) {
    const TRect def = ButtonRect();
    if (!IsRectEmpty(def) && X >= def.Left && X < def.Right) {
        MouseDown(mbLeft, {}, X, Y);
        return true;
    }
    auto hit = [&](TEditButtonControlEh* b) {
        return b && b->Visible() && X >= b->Left() && X < b->Left() + b->Width() && Y >= 0 && Y < Height();
    };
    if (hit(upDown_)) {
        UpDownStep(Y - upDown_->Top() >= upDown_->Height() / 2);
        return true;
    }
    for (const Button& b : buttons_)
        if (hit(b.control)) {
            editButtonDown(b.item, b.control);
            editButtonClick(b.item, b.control);
            return true;
        }
    return false;
}

void TDBGridInplaceEdit::UpDownStep(bool IsBottom) {
    TColumnEh* c = Column();
    if (!c || !c->CanModify(true)) return;
    const int col = grid_->Col(), row = grid_->Row();
    if (grid_->GetEditText(col, row) != GetText()) {
        grid_->SetEditText(col, row, GetText());
        grid_->UpdateData();
    }
    // The column steps by its Increment; lists run top to bottom, so there
    // the top button goes to the previous item.
    const double up = c->GetColumnType() == ctCommon ? 1 : -1;
    c->SetNextFieldValue(IsBottom ? -up : up);
    grid_->DataLink()->SetModified(false);
    SetText(grid_->GetEditText(col, row));
    SelectAll();
}

// ---- drop-downs

void TDBGridInplaceEdit::DropDown() {
    if (DroppedDown() || !Visible()) return;
    TColumnEh* c = Column();
    if (!c) return;
    switch (style_) {
    case iesDataGridEh:
        grid_->DropDownDataGrid();
        SetButtonDown(grid_->DroppedDataGrid() != nullptr);
        return;
    case iesCalendarEh: {
        if (!calendar_) {
            calendar_ = NewDropDownWindow<TPopupMonthCalendarEh>(this);
            calendar_->SetBounds(0, 0, 240, 180);
        }
        calendar_->SetColor(Color());
        calendar_->Font()->Assign(Font());
        // The text as a date; a text that is none opens on the field's date.
        TDateTime d = Date();
        const std::string text = Trim(GetText());
        TField* f = c->Field();
        if (!text.empty() && !TryStrToDate(text, d))
            d = f && !f->IsNull() && f->AsFloat() != 0 ? f->AsDateTime() : Date();
        calendar_->SetDate(d);
        PlaceDropDown(this, calendar_, daLeft);
        calendar_->SetVisible(true);
        calendarDown_ = true;
        SetButtonDown(true);
        return;
    }
    case iesPickListEh: {
        if (!list_) {
            list_ = NewDropDownWindow<TPopupListboxEh>(this);
            list_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int x, int y) { listMouseUp(b, x, y); };
        }
        list_->SetColor(Color());
        list_->Font()->Assign(Font());
        // A key list offers only the texts that have keys.
        TStrings* pick = c->PickList();
        int n = pick->Count();
        if (c->KeyList()->Count() > 0) n = std::min(n, c->KeyList()->Count());
        TStrings* items = list_->Items();
        items->BeginUpdate();
        items->Clear();
        for (int i = 0; i < n; ++i) items->Add(pick->Strings(i));
        items->EndUpdate();
        // Rows as high as the list lays them out for this font (Chinese
        // glyphs stand taller than a Latin line), so whole rows fit.
        list_->SetItemHeight(std::max(list_->FontHeight(), n > 0 ? list_->ItemRect(0).Height() : 0));
        TField* f = c->Field();
        int index = -1;
        if (f && !f->IsNull())
            for (int i = 0; i < n && index < 0; ++i)
                if (pick->Strings(i) == GetText()) index = i;
        list_->SetItemIndex(index);
        TBitmap measure;
        measure.Canvas()->Font()->Assign(Font());
        int widest = 0;
        for (int i = 0; i < n; ++i) widest = std::max(widest, measure.Canvas()->TextWidth(pick->Strings(i)));
        const int frame = list_->Width() - list_->ClientWidth();
        const int client = std::max(Width() - frame, widest) + 4;
        list_->SetBounds(list_->Left(), list_->Top(), client + frame, list_->Height());
        list_->SetRowCount(std::max(1, std::min(n, c->DropDownRows())));
        PlaceDropDown(this, list_, daLeft);
        list_->SetVisible(true);
        list_->SizeGrip()->ShowGrip(c->DropDownSizing());
        list_->UserResized = false;
        listDown_ = true;
        SetButtonDown(true);
        return;
    }
    default: return;
    }
}

void TDBGridInplaceEdit::CloseUp(bool Accept) {
    track_.Cancel();
    SetButtonDown(false);
    if (style_ == iesDataGridEh && grid_->DroppedDataGrid()) {
        grid_->CloseUpDataGrid(Accept);
        return;
    }
    TColumnEh* c = Column();
    if (calendarDown_) {
        calendarDown_ = false;
        calendar_->SetVisible(false);
        if (!Accept || !c || !c->Field() || !c->CanModify(true)) return;
        c->Field()->SetAsDateTime(calendar_->Date());
        grid_->DataLink()->SetModified(false);
        SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
        SelectAll();
        return;
    }
    if (!listDown_) return;
    listDown_ = false;
    list_->SetVisible(false);
    if (c && list_->UserResized) {
        c->SetDropDownRows(list_->RowCount());
        c->SetDropDownWidth(list_->Width());
    }
    const int index = list_->ItemIndex();
    if (Accept && index >= 0 && grid_->CanEditModify()) {
        const std::string text = list_->Items()->Strings(index);
        SetText(text);
        grid_->EditorTextChanged(text);
        SelectAll();
        grid_->PickListChosen();
        return;
    }
    SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
}

void TDBGridInplaceEdit::listMouseUp(TMouseButton Button, int X, int Y) {
    if (Button != mbLeft) return;
    CloseUp(X >= 0 && Y >= 0 && X < list_->ClientWidth() && Y < list_->ClientHeight());
}

// While the list is open the editor shows the item the keys went to.
void TDBGridInplaceEdit::showListItemText() {
    const int index = list_->ItemIndex();
    if (index < 0 || list_->Items()->Strings(index) == GetText()) return;
    SetText(list_->Items()->Strings(index));
    SelectAll();
}

void TDBGridInplaceEdit::DoExit() {
    CloseUp(false);
    TInplaceEdit::DoExit();
}

bool TDBGridInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    // An open drop-down stays put under the pointer: nothing moves.
    if (DroppedDown()) return true;
    return TInplaceEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// ---- keys

void TDBGridInplaceEdit::HandleKeyDown(Word& Key, TShiftState Shift) {
    TColumnEh* c = Column();
    const bool alt = Shift.Contains(ssAlt);
    if (dropsDown(style_)) {
        const bool open = DroppedDown();
        if (open && (Key == VK_RETURN || Key == VK_ESCAPE) && !alt) {
            CloseUp(Key == VK_RETURN);
            Key = 0;
            return;
        }
        if (!open && Key == VK_RETURN && Shift == TShiftState{ssCtrl}) {
            DropDown();
            Key = 0;
            return;
        }
        if (alt && (Key == VK_UP || Key == VK_DOWN)) {
            if (open)
                CloseUp(true);
            else
                DropDown();
            Key = 0;
            return;
        }
        const bool ctrl = Shift.Contains(ssCtrl);
        const bool steers = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                            ((Key == VK_HOME || Key == VK_END) && ctrl) ||
                            (style_ == iesCalendarEh && (Key == VK_LEFT || Key == VK_RIGHT));
        // The data grid takes its keys through the grid (DroppedDataGrid).
        if (open && steers && style_ != iesDataGridEh) {
            intptr_t bits = 0;
            for (auto i : {ssShift, ssAlt, ssCtrl})
                if (Shift.Contains(i)) bits |= intptr_t(1) << i;
            if (calendarDown_) {
                calendar_->Perform(WM_KEYDOWN, Key, bits);
            } else {
                list_->Perform(WM_KEYDOWN, Key, bits);
                showListItemText();
            }
            Key = 0;
            return;
        }
    }
    if (!c) return;
    if (Key == VK_RETURN && Shift == TShiftState{ssCtrl} && (style_ == iesEllipsisEh || style_ == iesDropDownEh)) {
        grid_->EditButtonClick();
        Key = 0;
        return;
    }
    if (Key == 'F' && Shift == TShiftState{ssCtrl} && grid_->OptionsEh().Contains(dghIncSearch)) {
        grid_->StartIncSearch();
        Key = 0;
        return;
    }
    const int shortCut = shortCutOf(Key, Shift);
    if (style_ == iesDataGridEh && shortCut == c->DropDownSpecRow()->ShortCut && c->DropDownSpecRow()->Visible()) {
        // The special row's value goes into the key fields, its text shows.
        Key = 0;
        TField* f = c->Field();
        if (!f || !grid_->listCellMayChange() || !grid_->DataLink()->Edit()) return;
        TSpecRowEh* specialRow = c->DropDownSpecRow();
        TDataSet* ds = f->DataSet();
        if (!VariantsEqual(specialRow->Value(), ds->FieldValues(f->KeyFields())))
            AssignFieldValues(ds, f->KeyFields(), specialRow->Value());
        grid_->DataLink()->SetModified(false);
        grid_->editText_ = specialRow->CellTextAt(0);
        SetText(grid_->editText_);
        SelectAll();
        if (grid_->DroppedDataGrid()) grid_->DroppedDataGrid()->SetKeyValue(specialRow->Value());
        grid_->InvalidateCell(grid_->Col(), grid_->Row());
        return;
    }
    for (const Button& b : buttons_) {
        if (c->EditButtons()->Items(b.item)->ShortCut != shortCut) continue;
        Key = 0;
        editButtonDown(b.item, b.control);
        editButtonClick(b.item, b.control);
        return;
    }
}

void TDBGridInplaceEdit::HandleKeyPress(char32_t Key) {
    TColumnEh* c = Column();
    if (Key >= 32 && c && c->AutoDropDown() && dropsDown(style_) && !DroppedDown()) DropDown();
}
