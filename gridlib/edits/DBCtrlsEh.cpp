// The field link, the data-aware edit base and the number box. The edit
// keeps no value of its own: the link holds it (unbound) or the field does
// (bound); the window only shows it, as display text unfocused and as edit
// text focused.
#include "DBCtrlsEh.h"

#include "ExtCtrls.h"
#include "Gbk.h"
#include "ImgList.h"
#include "Menus.h"
#include "Sound.h"
#include "SysUtils.h"
#include "ScopeExit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// ------------------------------------------------------------ the link --

TFieldDataLinkEh::TFieldDataLinkEh() = default;

bool TFieldDataLinkEh::Active() const { return independent_ || (TDataLink::Active() && Field()); }

bool TFieldDataLinkEh::CanModify() const {
    if (independent_) return true;
    return Field() && Field()->CanModify();
}

void TFieldDataLinkEh::SetDataSource(TDataSource* ds) {
    if (ds == DataSource()) return;
    TDataLink::SetDataSource(ds);
    updateIndependent();
}

void TFieldDataLinkEh::SetFieldName(const std::string& name) {
    if (name == FieldName()) return;
    TField* before = Field();
    TFieldDataLink::SetFieldName(name);
    if (!before && !Field()) reresolve();
    updateIndependent();
}

void TFieldDataLinkEh::updateIndependent() {
    bool ind = DataSource() == nullptr && FieldName().empty();
    if (ind == independent_) return;
    independent_ = ind;
    ownValue_ = Null();
    reresolve();
}

TField* TFieldDataLinkEh::ResolveField() { return independent_ ? nullptr : TFieldDataLink::ResolveField(); }

void TFieldDataLinkEh::reresolve() {
    TField* before = Field();
    UpdateField();
    if (!before && !Field()) {
        EditingChanged();
        RecordChanged(nullptr);
    }
}

bool TFieldDataLinkEh::Edit() {
    if (independent_) {
        if (!Editing() && !ReadOnly()) SetEditing(true);
    } else if (CanModify() && !Editing()) {
        // The data set's state change re-announces the record; the text
        // being typed must survive it.
        enteringEdit_ = true;
        ScopeExit restore([&] { enteringEdit_ = false; });
        TDataLink::Edit();
    }
    return Editing();
}

void TFieldDataLinkEh::SetText(const std::string& s) {
    if (independent_) {
        ownValue_ = Variant(s);
        RecordChanged(nullptr);
    } else {
        TFieldDataLink::SetText(s);
    }
}

void TFieldDataLinkEh::SetValue(const Variant& v) {
    if (independent_) {
        ownValue_ = v;
        RecordChanged(nullptr);
    } else {
        TFieldDataLink::SetValue(v);
    }
}

void TFieldDataLinkEh::UpdateRecord() {
    if (independent_)
        UpdateData();
    else
        TDataLink::UpdateRecord();
}

void TFieldDataLinkEh::ActiveChanged() {
    reresolve();
    if (OnActiveChange) OnActiveChange(Control());
}

void TFieldDataLinkEh::EditingChanged() {
    if (independent_) return; // an unbound link keeps its own edit mode
    TFieldDataLink::EditingChanged();
}

void TFieldDataLinkEh::FocusControl(TField** field) {
    if (!field || !*field || *field != Field()) return;
    auto* w = dynamic_cast<TWinControl*>(Control());
    if (w && w->CanFocus()) {
        *field = nullptr;
        w->SetFocus();
    }
}

void TFieldDataLinkEh::LayoutChanged() { reresolve(); }

void TFieldDataLinkEh::RecordChanged(TField* field) {
    if (enteringEdit_) return;
    TFieldDataLink::RecordChanged(field);
}

void TFieldDataLinkEh::UpdateData() {
    if (independent_) {
        if (Modified() && OnUpdateData) OnUpdateData(Control());
        SetEditing(false, false);
        SetModified(false);
        return;
    }
    TFieldDataLink::UpdateData();
}

// ------------------------------------------------------- the edit base --

TCustomDBEditEh::TCustomDBEditEh(TComponent* AOwner) : TMaskEdit(AOwner), link_(new TFieldDataLinkEh) {
    link_->SetControl(this);
    link_->OnDataChange = [this](TObject*) { DataChange(); };
    link_->OnEditingChange = [this](TObject*) { EditingChanged(); };
    link_->OnUpdateData = [this](TObject*) { UpdateData(); };
    link_->OnActiveChange = [this](TObject*) { UpdateEditButtonsState(); };
    editButton_ = CreateEditButton();
    editButton_->OnInternalChange = [this](TEditButtonEh*) { LayoutEditButtons(); };
    editButtons_ = std::make_unique<TEditButtonsEh>();
    editButtons_->OnInternalChange = [this](TEditButtonEh*) { LayoutEditButtons(); };
    editImage_ = std::make_unique<TEditImageEh>(this);
    if (FlatEditButtonWidth == 0) FlatEditButtonWidth = CalcFlatButtonWidth();
    UpdateReadOnlyState();
}

TCustomDBEditEh::~TCustomDBEditEh() {
    // The link must not call back into a half-destroyed edit.
    link_->OnDataChange = nullptr;
    link_->OnEditingChange = nullptr;
    link_->OnUpdateData = nullptr;
    link_->OnActiveChange = nullptr;
    link_->SetDataSource(nullptr);
}

std::unique_ptr<TEditButtonEh> TCustomDBEditEh::CreateEditButton() { return std::make_unique<TEditButtonEh>(this); }

void TCustomDBEditEh::RecreateEditButton() {
    editButton_ = CreateEditButton();
    editButton_->OnInternalChange = [this](TEditButtonEh*) { LayoutEditButtons(); };
    LayoutEditButtons();
}

bool TCustomDBEditEh::ButtonEnabled() const { return Enabled() && link_->Active(); }

TAlignment TCustomDBEditEh::DefaultAlignment() const {
    if (Field()) return TAlignment(Field()->Alignment());
    return taLeftJustify;
}

TAlignment TCustomDBEditEh::Alignment() const { return alignmentStored_ ? alignment_ : DefaultAlignment(); }

void TCustomDBEditEh::SetAlignment(TAlignment v) {
    if (alignmentStored_ && alignment_ == v) return;
    alignment_ = v;
    alignmentStored_ = true;
    TCustomEdit::SetAlignment(v);
    Invalidate();
}

void TCustomDBEditEh::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    LayoutEditButtons();
}

void TCustomDBEditEh::SetAlwaysShowBorder(bool v) {
    if (alwaysShowBorder_ == v) return;
    alwaysShowBorder_ = v;
    updateBorderActive();
}

void TCustomDBEditEh::SetReadOnly(bool v) {
    readOnlyFlag_ = v;
    EditingChanged();
}

void TCustomDBEditEh::EditingChanged() { UpdateReadOnlyState(); }

void TCustomDBEditEh::UpdateReadOnlyState() { TMaskEdit::SetReadOnly(!link_->CanModify() || readOnlyFlag_); }

void TCustomDBEditEh::SetDataSource(TDataSource* v) {
    link_->SetDataSource(v);
    DataChange();
    Invalidate();
}

void TCustomDBEditEh::SetDataField(const std::string& v) {
    link_->SetFieldName(v);
    UpdateEditButtonsState();
    Invalidate();
}

void TCustomDBEditEh::DataChange() {
    DataChanged();
    // The field's alignment may have changed with the record or the link,
    // unless one was set on the edit itself.
    TCustomEdit::SetAlignment(Alignment());
    UpdateEditButtonsState();
}

void TCustomDBEditEh::SetEditTextRaw(const std::string& S) { TMaskEdit::SetText(S); }

void TCustomDBEditEh::DataChanged() {
    if (TField* f = Field()) {
        if (editFocused_ && link_->CanModify())
            InternalSetText(f->DataType() == ftMemo ? f->AsString() : f->Text());
        else
            SetEditTextRaw(f->DataType() == ftMemo ? f->AsString() : f->DisplayText());
    } else if (link_->DataIndependent()) {
        SetEditTextRaw(VarToStr(link_->OwnValue()));
    } else {
        SetEditTextRaw("");
    }
    UpdateReadOnlyState();
    SetModified(false);
}

Variant TCustomDBEditEh::GetVariantValue() const { return Variant(GetText()); }

bool TCustomDBEditEh::IsValidChar(char32_t Key) const { return Field() ? Field()->IsValidChar(Key) : true; }

void TCustomDBEditEh::InternalSetText(const std::string& S) { SetEditTextRaw(S); }

void TCustomDBEditEh::InternalSetValue(const Variant& V) { InternalSetText(VarToStr(V)); }

namespace {
// The four steps of a Value or Text assignment around the showing step.
template <class Show>
void assignAndWrite(TCustomDBEditEh* e, TFieldDataLinkEh* link, bool inUpdateData, Show show) {
    if (!link->DataIndependent() && e->DataSource() && e->DataSource()->DataSet()) e->DataSource()->DataSet()->Edit();
    show();
    if (inUpdateData) return;
    ScopeExit refused([&] { link->Reset(); });
    e->UpdateData();
    refused.Dismiss();
}
} // namespace

void TCustomDBEditEh::SetVariantValue(const Variant& V) {
    assignAndWrite(this, link_.get(), inUpdateData_, [&] { InternalSetValue(V); });
}

void TCustomDBEditEh::SetText(const std::string& S) {
    assignAndWrite(this, link_.get(), inUpdateData_, [&] { InternalSetText(S); });
}

void TCustomDBEditEh::fireUpdateData() {
    bool handled = false;
    inUpdateData_ = true;
    {
        ScopeExit restore([&] { inUpdateData_ = false; });
        if (OnUpdateData) OnUpdateData(this, handled);
    }
    if (!handled) WriteTextToField();
}

void TCustomDBEditEh::UpdateData() {
    if (editFocused_) ValidateEdit();
    fireUpdateData();
}

void TCustomDBEditEh::WriteTextToField() {
    if (link_->DataIndependent())
        link_->SetText(EditText());
    else
        link_->SetText(GetText());
}

bool TCustomDBEditEh::EditCanModify() { return link_->Edit(); }

void TCustomDBEditEh::resetLink() { link_->Reset(); }

void TCustomDBEditEh::KeyDown(Word& Key, TShiftState Shift) {
    TMaskEdit::KeyDown(Key, Shift);
    if (Key == 0) return;
    int sc = Key | (Shift.Contains(ssShift) ? 0x2000 : 0) | (Shift.Contains(ssCtrl) ? 0x4000 : 0) |
             (Shift.Contains(ssAlt) ? 0x8000 : 0);
    int found = -1;
    if (editButton_->ShortCut == sc) found = 0;
    for (int i = 0; found < 0 && i < editButtons_->Count(); ++i)
        if (editButtons_->Items(i)->ShortCut == sc) found = i + 1;
    if (found >= 0 && found < ButtonControlCount() && (found > 0 || ButtonEnabled())) {
        bool autoRepeat = false;
        ButtonControl(found)->FireOnDown(false, autoRepeat);
        ButtonControl(found)->Click();
        Key = 0;
        return;
    }
    if (Key == 'A' && Shift == TShiftState{ssCtrl}) SelectAll();
    if ((Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) && !readOnlyFlag_) link_->Edit();
}

void TCustomDBEditEh::KeyUp(Word& Key, TShiftState Shift) {
    typedCharacters_.clear();
    TMaskEdit::KeyUp(Key, Shift);
}

void TCustomDBEditEh::KeyPress(char32_t& Key) {
    typedCharacters_.clear();
    if (Key >= 32) Utf8Append(typedCharacters_, Key);
    TMaskEdit::KeyPress(Key);
    if (Key == 0) return;
    if (Field() && Key >= 32 && Key <= 255 && !IsValidChar(Key)) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    if ((Key >= 32 || Key == 8 || Key == 22 || Key == 24) && !readOnlyFlag_) {
        link_->Edit();
    } else if (Key == 27) {
        link_->Reset();
        SelectAll();
        Key = 0;
    } else if (Key == 9 || Key == 10) {
        Key = 0;
    }
}

bool TCustomDBEditEh::WantEscape() const { return link_->Modified(); }

void TCustomDBEditEh::Change() {
    link_->Modify();
    SetModified(true);
    TMaskEdit::Change();
}

void TCustomDBEditEh::DoEnter() {
    if (!editFocused_) {
        editFocused_ = true;
        if (!refocusing_) resetLink();
    }
    TMaskEdit::DoEnter();
    updateBorderActive();
}

void TCustomDBEditEh::DoExit() {
    // The typed text stays for correction: taking the focus back must
    // not re-read the field.
    ScopeExit refused([&] {
        editFocused_ = true;
        refocusing_ = true;
        if (CanFocus()) SetFocus();
        refocusing_ = false;
        SelectAll();
    });
    link_->UpdateRecord();
    refused.Dismiss();
    if (editFocused_) {
        editFocused_ = false;
        resetLink();
    }
    TMaskEdit::DoExit();
    updateBorderActive();
}

void TCustomDBEditEh::updateBorderActive() {
    bool active = Focused() || editFocused_ || alwaysShowBorder_;
    if (active == borderActive_) return;
    borderActive_ = active;
    UpdateEditButtonsState();
}

void TCustomDBEditEh::Resize() {
    TMaskEdit::Resize();
    LayoutEditButtons();
}

void TCustomDBEditEh::EnabledChanged() {
    TMaskEdit::EnabledChanged();
    UpdateEditButtonsState();
}

TEditButtonControlEh* TCustomDBEditEh::ButtonControl(int i) const { return buttonControls_.at(size_t(i)).first; }

void TCustomDBEditEh::LayoutEditButtons() {
    size_t n = size_t(editButtons_->Count()) + 1;
    if (n == 1 && buttonControls_.empty() && !editButton_->Visible()) {
        buttonsWidth_ = 0; // the common case builds no child controls at all
        return;
    }
    while (buttonControls_.size() > n) {
        delete buttonControls_.back().first;
        delete buttonControls_.back().second;
        buttonControls_.pop_back();
    }
    while (buttonControls_.size() < n) {
        auto* b = new TEditButtonControlEh(this);
        b->SetParent(this);
        b->SetBounds(0, 0, 10, 17);
        auto* s = new TShape(this);
        s->SetParent(this);
        b->OnDown = [this](TObject* c, bool top, bool& rep, bool& handled) { EditButtonDown(c, top, rep, handled); };
        b->OnClick = [this](TObject* c) { EditButtonClick(c); };
        b->OnMouseMove = [this](TObject* c, TShiftState sh, int x, int y) { EditButtonMouseMove(c, sh, x, y); };
        b->OnMouseUp = [this](TObject* c, TMouseButton mb, TShiftState sh, int x, int y) {
            EditButtonMouseUp(c, mb, sh, x, y);
        };
        buttonControls_.emplace_back(b, s);
    }
    int clientH = ClientHeight(), clientW = ClientWidth();
    int buttonHeight = clientH;
    std::vector<int> widths(n), sepWidths(n);
    for (size_t i = 0; i < n; ++i) {
        TEditButtonEh* set = i == 0 ? editButton_.get() : editButtons_->Items(int(i) - 1);
        auto [b, s] = buttonControls_[i];
        b->SetVisible(set->Visible());
        b->SetButtonStyle(set->Style());
        b->SetNumGlyphs(set->NumGlyphs());
        b->SetHint(set->Hint());
        b->SetFlat(flat_);
        int w = !set->Visible() ? 0 : set->Width() > 0 ? set->Width() : flat_ ? FlatEditButtonWidth : kScrollArrowWidth;
        if (set->Visible()) {
            int h = int(std::nearbyint(w * 3 / 2.0)) < clientH ? w : clientH;
            buttonHeight = std::min(buttonHeight, h);
        }
        widths[i] = w;
        sepWidths[i] = flat_ && set->Visible() ? 1 : 0;
        s->SetVisible(sepWidths[i] > 0);
    }
    int x = clientW;
    for (size_t k = n; k-- > 0;) {
        auto [b, s] = buttonControls_[k];
        x -= widths[k];
        b->SetBounds(x, 0, widths[k], buttonHeight);
        TEditButtonEh* set = k == 0 ? editButton_.get() : editButtons_->Items(int(k) - 1);
        SetButtonFace(b, set->Style(), set->Glyph(), widths[k], buttonHeight, Color(), flat_, borderActive_, Enabled());
        x -= sepWidths[k];
        s->SetBounds(x, 0, sepWidths[k], buttonHeight);
    }
    buttonsWidth_ = clientW - x;
    SetTextMargins(imageWidth_, buttonsWidth_);
    UpdateEditButtonsState();
}

void TCustomDBEditEh::UpdateEditButtonsState() {
    for (auto [b, s] : buttonControls_) {
        b->SetEnabled(ButtonEnabled());
        b->SetHot(borderActive_);
        s->Pen()->SetColor(borderActive_ ? clBtnFace : Color());
    }
}

void TCustomDBEditEh::ButtonDown(bool IsDownButton) {
    (void)IsDownButton;
    if (editButton_->Style() == ebsUpDownEh || droppedDown_) return;
    DropDown();
    openedByPress_ = true;
}

void TCustomDBEditEh::DropDown() {
    if (!buttonControls_.empty()) ButtonControl(0)->SetHeldDown(true);
}

void TCustomDBEditEh::CloseUp(bool Accept) {
    (void)Accept;
    track_.Cancel();
    if (!buttonControls_.empty()) ButtonControl(0)->SetHeldDown(false);
}

void TCustomDBEditEh::PostReleaseButton(TObject* Control) { releaseButton_.Post(this, Control); }

void TCustomDBEditEh::EditButtonDown(TObject* Control, bool TopButton, bool& AutoRepeat, bool& Handled) {
    if (CanFocus() && !Focused()) SetFocus();
    Handled = false;
    if (releaseButton_.Take(Control)) return;
    int index = -1;
    for (size_t i = 0; i < buttonControls_.size(); ++i)
        if (buttonControls_[i].first == Control) index = int(i);
    if (index < 0) return;
    TEditButtonEh* set = index == 0 ? editButton_.get() : editButtons_->Items(index - 1);
    if (index == 0) {
        if (OnButtonDown) OnButtonDown(Control, TopButton, AutoRepeat, Handled);
    } else if (set->OnDown) {
        set->OnDown(Control, TopButton, AutoRepeat, Handled);
    }
    if (Handled) return;
    if (set->DropdownMenu) {
        PopupButtonMenu(set->DropdownMenu, this, ButtonControl(index), releaseButton_);
    } else if (index == 0) {
        ButtonDown(!TopButton);
    }
}

void TCustomDBEditEh::EditButtonClick(TObject* Control) {
    bool handled = false;
    bool isMain = !buttonControls_.empty() && buttonControls_[0].first == Control;
    if (isMain) {
        if (OnButtonClick) OnButtonClick(Control, handled);
    } else {
        for (size_t i = 1; i < buttonControls_.size(); ++i)
            if (buttonControls_[i].first == Control && editButtons_->Items(int(i) - 1)->OnClick)
                editButtons_->Items(int(i) - 1)->OnClick(Control, handled);
    }
    if (!handled && droppedDown_ && !openedByPress_ && isMain) CloseUp(false);
    openedByPress_ = false;
}

void TCustomDBEditEh::EditButtonMouseMove(TObject* Control, TShiftState Shift, int X, int Y) {
    if (!Shift.Contains(ssLeft) || buttonControls_.empty() || Control != buttonControls_[0].first) return;
    TrackDropDownMouse(buttonControls_[0].first, X, Y);
}

void TCustomDBEditEh::EditButtonMouseUp(TObject* Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Shift;
    auto* c = dynamic_cast<TControl*>(Control);
    if (Button != mbLeft || !c) return;
    if (ReleaseDropDownMouse(c, X, Y)) return;
    if (X < 0 || Y < 0 || X >= c->Width() || Y >= c->Height()) openedByPress_ = false;
}

TRect TCustomDBEditEh::DropDownPressArea() const {
    TControl* d = OpenDropDown();
    return d ? d->ClientRect() : TRect{};
}

bool TCustomDBEditEh::TrackDropDownMouse(TControl* Source, int X, int Y) {
    TControl* d = track_.Tracking() ? nullptr : OpenDropDown();
    return track_.Move(Source, d, d ? DropDownPressArea() : TRect{}, X, Y);
}

bool TCustomDBEditEh::ReleaseDropDownMouse(TControl* Source, int X, int Y) {
    if (!track_.Release(Source, X, Y)) return false;
    // The press ended in the drop-down: the next click on the button closes.
    openedByPress_ = false;
    return true;
}

// ---------------------------------------------------------- the image --

void TEditImageEh::Assign(const TEditImageEh& other) {
    SetImages(other.images_);
    SetImageIndex(other.imageIndex_);
    SetVisible(other.visible_);
    SetWidth(other.width_);
}

void TEditImageEh::SetImages(TImageList* v) {
    if (v == images_) return;
    images_ = v;
    changed();
}

void TEditImageEh::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    changed();
}

void TEditImageEh::SetUseImageHeight(bool v) {
    if (v == useImageHeight_) return;
    useImageHeight_ = v;
    changed();
}

void TEditImageEh::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed();
}

void TEditImageEh::SetWidth(int v) {
    if (v == width_) return;
    width_ = v;
    changed();
}

void TEditImageEh::changed() {
    if (edit_) edit_->EditImageChanged();
}

void TCustomDBEditEh::EditImageChanged() {
    TEditImageEh* im = editImage_.get();
    bool shown = im->Visible() && im->Images();
    imageWidth_ = !shown ? 0 : (im->Width() > 0 ? im->Width() : im->Images()->Width()) + 4;
    SetTextMargins(imageWidth_, buttonsWidth_);
    if (!shown) {
        if (imageBox_) imageBox_->SetVisible(false);
        return;
    }
    if (!imageBox_) {
        imageBox_ = new TPaintBox(this);
        imageBox_->SetParent(this);
        imageBox_->OnPaint = [this](TObject*) {
            TEditImageEh* e = editImage_.get();
            if (!e->Visible() || !e->Images() || e->ImageIndex() < 0) return;
            // Centred in the strip less 2 pixels left and right, 1 top and bottom.
            TRect r = Rect(2, 1, imageWidth_ - 2, ClientHeight() - 1);
            int x = r.Left + (r.Width() - e->Images()->Width()) / 2;
            int y = r.Top + (r.Height() - e->Images()->Height()) / 2;
            e->Images()->Draw(imageBox_->Canvas(), x, y, e->ImageIndex(), Enabled());
        };
    }
    TRect r = ImageRect();
    imageBox_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    imageBox_->SetVisible(true);
    imageBox_->Invalidate();
}

TRect TCustomDBEditEh::ButtonsRect() const {
    return Rect(ClientWidth() - buttonsWidth_, 0, ClientWidth(), ClientHeight());
}

TRect TCustomDBEditEh::ImageRect() const { return Rect(0, 0, imageWidth_, ClientHeight()); }

// ------------------------------------------------------ the number box --

namespace {

std::string zeros(int n) { return std::string(size_t(std::max(0, n)), '0'); }

[[noreturn]] void notAFloat(const std::string& t) {
    throw EConvertError("'" + t + "' is not a valid floating point value");
}

} // namespace

TCustomDBNumberEditEh::TCustomDBNumberEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
    SetMaxLength(0);
    DataChange();
}

TAlignment TCustomDBNumberEditEh::DefaultAlignment() const {
    if (Field()) return TAlignment(Field()->Alignment());
    return taRightJustify;
}

void TCustomDBNumberEditEh::SetDecimalPlaces(unsigned v) {
    if (v == decimalPlaces_) return;
    decimalPlaces_ = v;
    DataChange();
    Invalidate();
}

std::string TCustomDBNumberEditEh::DisplayFormat() const {
    if (displayFormatStored_) return displayFormat_;
    if (Field() && (dynamic_cast<TNumericField*>(Field()) || Field()->DataType() == ftDateTime))
        return Field()->DisplayFormat();
    return "";
}

void TCustomDBNumberEditEh::SetDisplayFormat(const std::string& v) {
    if (displayFormatStored_ && displayFormat_ == v) return;
    displayFormat_ = v;
    displayFormatStored_ = true;
    Invalidate();
    DataChange();
}

bool TCustomDBNumberEditEh::IsCurrency() const {
    if (currencyStored_) return currency_;
    if (auto* f = dynamic_cast<TFloatField*>(Field())) return f->Currency();
    return false;
}

void TCustomDBNumberEditEh::SetCurrency(bool v) {
    if (currencyStored_ && currency_ == v) return;
    currency_ = v;
    currencyStored_ = true;
    Invalidate();
    DataChange();
}

double TCustomDBNumberEditEh::MinValue() const {
    if (minStored_) return min_;
    if (auto* f = dynamic_cast<TNumericField*>(Field())) return f->MinValue();
    return 0;
}

double TCustomDBNumberEditEh::MaxValue() const {
    if (maxStored_) return max_;
    if (auto* f = dynamic_cast<TNumericField*>(Field())) return f->MaxValue();
    return 0;
}

void TCustomDBNumberEditEh::SetMinValue(double v) {
    if (minStored_ && min_ == v) return;
    min_ = v;
    if (link_->DataIndependent()) UpdateData();
    minStored_ = true;
}

void TCustomDBNumberEditEh::SetMaxValue(double v) {
    if (maxStored_ && max_ == v) return;
    max_ = v;
    if (link_->DataIndependent()) UpdateData();
    maxStored_ = true;
}

double TCustomDBNumberEditEh::ClampValue(double x) const {
    if (min_ == max_) return x;
    if (min_ < max_) return std::clamp(x, min_, max_);
    if (max_ == 0) return x < min_ ? min_ : x;
    if (min_ == 0) return x > max_ ? max_ : x;
    return x;
}

std::string TCustomDBNumberEditEh::DeriveEditFormat(const std::string& f) {
    std::string out;
    char quote = 0;
    bool afterE = false, special = false;
    int expZeros = 0;
    for (char c : f) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '"' || c == '\'')
                quote = c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (special) {
            special = false;
            if (c == '0') {
                if (++expZeros >= 4) break;
                special = true;
                continue;
            }
        }
        if (afterE && c == '+') {
            afterE = false;
            special = true;
            continue;
        }
        afterE = false;
        if (c == 'E' || c == 'e') {
            afterE = true;
            continue;
        }
        if (c == ';') break;
        if (c == '#' || c == ',' || c == '.' || c == '0') out += c;
    }
    return out;
}

std::string TCustomDBNumberEditEh::NormalizeNumberText(const std::string& s) {
    const char dec = FormatSettings.DecimalSeparator, th = FormatSettings.ThousandSeparator;
    std::string t = Trim(s);
    if (dec != th) t.erase(std::remove(t.begin(), t.end(), th), t.end());
    if (dec != '.' && th != '.') std::replace(t.begin(), t.end(), '.', dec);
    if (dec != ',' && th != ',') std::replace(t.begin(), t.end(), ',', dec);
    return t;
}

std::string TCustomDBNumberEditEh::InsertThousandSeparators(const std::string& s, bool group) {
    std::string sign, body = s;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        sign = body.substr(0, 1);
        body.erase(0, 1);
    }
    size_t end = body.find_first_of(std::string(1, FormatSettings.DecimalSeparator) + "Ee");
    if (end == std::string::npos) end = body.size();
    std::string intPart = body.substr(0, end), rest = body.substr(end), grouped;
    int taken = 0;
    for (size_t i = intPart.size(); i-- > 0;) {
        grouped.insert(grouped.begin(), intPart[i]);
        if (group && ++taken % 3 == 0 && i > 0) grouped.insert(grouped.begin(), FormatSettings.ThousandSeparator);
    }
    return sign + grouped + rest;
}

bool TCustomDBNumberEditEh::IsValidFloatText(const std::string& text, double& v) {
    const char dec = FormatSettings.DecimalSeparator;
    std::string t = text.substr(0, 63);
    for (char c : t)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != 'E' && c != 'e' && c != dec)
            return false;
    // sign? digits* (sep digits*)? ((E|e) sign? digits+)?, with a digit or
    // the separator in the mantissa.
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t mantStart = i;
    bool digits = false, sep = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
    if (i < t.size() && t[i] == dec) {
        sep = true;
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
    }
    if (!digits && !sep) return false;
    size_t mantEnd = i;
    std::string exp;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        size_t expStart = i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t expDigits = i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        if (i == expDigits) return false;
        exp = "e" + t.substr(expStart, i - expStart);
    }
    if (i != t.size()) return false;
    std::string mant = t.substr(0, mantStart) + t.substr(mantStart, mantEnd - mantStart);
    std::replace(mant.begin(), mant.end(), dec, '.');
    if (!digits) {
        v = 0;
        return true;
    }
    v = std::strtod((mant + exp).c_str(), nullptr);
    return std::isfinite(v);
}

bool TCustomDBNumberEditEh::IsValidChar(char32_t Key) const {
    if (Key > 127) return false;
    std::string t = GetText();
    int start = std::clamp(SelStart(), 0, int(t.size()));
    int len = std::clamp(SelLength(), 0, int(t.size()) - start);
    t.replace(size_t(start), size_t(len), 1, char(Key));
    t = NormalizeNumberText(t);
    size_t p = t.find(FormatSettings.DecimalSeparator);
    if (p != std::string::npos) {
        size_t e = t.find_first_of("Ee", p);
        size_t n = (e != std::string::npos ? e : t.size()) - p - 1;
        if (n > decimalPlaces_) return false;
    }
    double v = 0;
    if (!IsValidFloatText(t, v)) return false;
    if (min_ >= 0 && max_ > 0 && v < 0) return false;
    return true;
}

std::string TCustomDBNumberEditEh::formatDisplayValue(double x) const {
    std::string df = DisplayFormat();
    if (!df.empty()) return FormatFloat(df, x);
    if (IsCurrency()) {
        // Money keeps four decimals, ties to even, before the locale's format.
        Currency c = Currency::FromRaw(int64_t(std::nearbyint(x * 10000.0)));
        return CurrToStrF(c, ffCurrency, FormatSettings.CurrencyDecimals);
    }
    return FloatToStr(x);
}

std::string TCustomDBNumberEditEh::GetDisplayText() const {
    if (numberValue_.IsNull() || numberValue_.IsEmpty()) return "";
    return formatDisplayValue(numberValue_.AsDouble());
}

void TCustomDBNumberEditEh::setOwnText(const std::string& s) {
    bool was = settingText_;
    settingText_ = true;
    ScopeExit restore([&] { settingText_ = was; });
    SetEditTextRaw(s);
}

void TCustomDBNumberEditEh::InternalSetValue(const Variant& V) {
    if (V.IsNull() || V.IsEmpty()) {
        setOwnText("");
        numberValue_ = Null();
        return;
    }
    double x = V.AsDouble();
    numberValue_ = Variant(x);
    link_->Modify();
    if (EditFocused() && link_->CanModify())
        reformatEditText(editFormat_.empty() ? FloatToStr(x) : FormatFloat(editFormat_, x));
    else
        setOwnText(GetDisplayText());
}

void TCustomDBNumberEditEh::InternalSetText(const std::string& S) {
    if (S.empty()) {
        InternalSetValue(Null());
        return;
    }
    InternalSetValue(Variant(StrToFloat(NormalizeNumberText(S))));
}

Variant TCustomDBNumberEditEh::GetVariantValue() const { return numberValue_; }

void TCustomDBNumberEditEh::WriteTextToField() { link_->SetValue(numberValue_); }

void TCustomDBNumberEditEh::DataChanged() {
    if (!DisplayFormat().empty() || !IsCurrency())
        editFormat_ = DeriveEditFormat(DisplayFormat());
    else
        editFormat_ = ",#." + zeros(FormatSettings.CurrencyDecimals);
    if (TField* f = Field())
        InternalSetValue(f->IsNull() ? Null() : Variant(f->AsFloat()));
    else if (link_->DataIndependent())
        InternalSetValue(link_->OwnValue());
    else
        InternalSetValue(Null());
    UpdateReadOnlyState();
    SetModified(false);
}

void TCustomDBNumberEditEh::reformatEditText(const std::string& s) {
    std::string t = s;
    if (!t.empty() && t != "-") t = NormalizeNumberText(t);
    t = InsertThousandSeparators(t, editFormat_.find(',') != std::string::npos);
    std::string current = GetText();
    if (t == current) return;
    int caret = SelStart();
    setOwnText(t);
    if (Focused()) SetSelStart(std::max(0, caret + int(t.size()) - int(s.size())));
}

void TCustomDBNumberEditEh::parseEditText() {
    std::string t = NormalizeNumberText(GetText());
    if (t.empty()) {
        numberValue_ = Null();
        setOwnText("");
        return;
    }
    double v = 0;
    if (!IsValidFloatText(t, v)) notAFloat(t);
    numberValue_ = Variant(ClampValue(v));
}

void TCustomDBNumberEditEh::Change() {
    TCustomDBEditEh::Change();
    if (settingText_ || pasting_) return;
    reformatEditText(GetText());
    parseEditText();
}

void TCustomDBNumberEditEh::KeyPress(char32_t& Key) {
    TCustomDBEditEh::KeyPress(Key);
    if (Key == ',' || Key == '.') Key = char32_t(FormatSettings.DecimalSeparator);
    if (Key >= 32 && Key != 127 && !IsValidChar(Key)) Key = 0;
    if (Key == 27) {
        link_->Reset();
        Key = 0;
    }
}

void TCustomDBNumberEditEh::StepValue(bool Up) {
    if (increment_ == 0 || !EditCanModify()) return;
    Variant v = GetValue();
    double next = v.IsNull() || v.IsEmpty() ? increment_ : v.AsDouble() + increment_ * (Up ? 1 : -1);
    InternalSetValue(Variant(ClampValue(next)));
    if (EditFocused()) SelectAll();
}

void TCustomDBNumberEditEh::KeyDown(Word& Key, TShiftState Shift) {
    TCustomDBEditEh::KeyDown(Key, Shift);
    if ((Key == VK_UP || Key == VK_DOWN) && !ReadOnly()) {
        StepValue(Key == VK_UP);
        Key = 0;
    }
}

bool TCustomDBNumberEditEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomDBEditEh::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (!Shift.Empty() || ReadOnly() || !link_->Edit()) return false;
    StepValue(WheelDelta > 0);
    return true;
}

void TCustomDBNumberEditEh::ButtonDown(bool IsDownButton) {
    if (EditButton()->Style() == ebsUpDownEh) {
        if (!ReadOnly()) StepValue(!IsDownButton);
        return;
    }
    TCustomDBEditEh::ButtonDown(IsDownButton);
}

void TCustomDBNumberEditEh::WndProc(TMessage& Message) {
    if (Message.Msg != WM_PASTE) {
        TCustomDBEditEh::WndProc(Message);
        return;
    }
    // A paste that leaves no number is undone without a word.
    std::string before = GetText();
    pasting_ = true;
    try {
        link_->Edit();
        TCustomDBEditEh::WndProc(Message);
        pasting_ = false;
        reformatEditText(GetText());
        parseEditText();
    } catch (...) {
        pasting_ = false;
        setOwnText(before);
        SelectAll();
        if (CanFocus()) SetFocus();
    }
}
