#include "vq/controls/VqDBEdit.h"

#include "DB.h"
#include "ScopeExit.h"
#include "Sound.h"
#include "vq/data/VqFieldLookup.h"

TVQDBEDIT::TVQDBEDIT(TComponent* AOwner) : TVQEdit(AOwner), data_(this) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnEditingChange = [this](TObject*) { SetReadOnly(Field() && !data_.Link()->CanModify()); };
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(Text());
    };
    l->OnActiveChange = [this](TObject*) { dataChange(); };
}

TVQDBEDIT::~TVQDBEDIT() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnEditingChange = l->OnUpdateData = l->OnActiveChange = nullptr;
}

void TVQDBEDIT::SetDataField(const std::string& v) {
    // A length taken from the previous field would cut the next one.
    if (Field() && MaxLength() == Field()->Size()) SetMaxLength(0);
    data_.SetDataField(v);
}

void TVQDBEDIT::SetLookupField(const TVQLookupField& v) {
    lookupField_ = v;
    if (lookupField_.Enabled) SetDataField(Focused() ? lookupField_.CodeField : lookupField_.NameField);
}

void TVQDBEDIT::dataChange() {
    loading_ = true;
    TField* f = Field();
    const std::string text = f ? f->DisplayText() : std::string();
    if (text != Text()) SetText(text);
    if (f && f->Size() > 0 && MaxLength() == 0 &&
        (f->DataType() == ftString || f->DataType() == ftFixedChar || f->DataType() == ftWideString))
        SetMaxLength(f->Size());
    SetModified(false);
    loading_ = false;
}

void TVQDBEDIT::KeyDown(Word& Key, TShiftState Shift) {
    TVQEdit::KeyDown(Key, Shift);
    if (!Key || !Field()) return;
    if (Key == VK_ESCAPE) {
        data_.Link()->Reset();
        SelectAll();
        Key = 0;
    } else if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) {
        if (!data_.Link()->Edit()) Key = 0;
    }
}

void TVQDBEDIT::KeyPress(char32_t& Key) {
    TVQEdit::KeyPress(Key);
    if (!Key || !Field()) return;
    const bool editing = Key == 8 || Key == 22 || Key == 24 || Key >= 32;
    if (!editing) return;
    if (Key >= 32 && !Field()->IsValidChar(Key)) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    if (!data_.Link()->Edit()) {
        MessageBeep(0);
        Key = 0;
    }
}

void TVQDBEDIT::Change() {
    if (!loading_ && Field()) data_.Link()->Modify();
    TVQEdit::Change();
}

void TVQDBEDIT::DoEnter() {
    if (lookupField_.Enabled) SetDataField(lookupField_.CodeField);
    TVQEdit::DoEnter();
}

void TVQDBEDIT::DoExit() {
    if (Field() && data_.Link()->Modified()) {
        ScopeExit refused([&] {
            SelectAll();
            SetFocus();
        });
        data_.Link()->UpdateRecord();
        refused.Dismiss();
    }
    TVQEdit::DoExit();
    if (lookupField_.Enabled) SetDataField(lookupField_.NameField);
    else if (Field()) dataChange();
}

void TVQDBEDIT::ButtonClick() {
    TVQEdit::ButtonClick();
    if (!ReadOnly() && DataType() == edtText && Button() && Button()->Visible()) ShowFieldLookup(this);
}
