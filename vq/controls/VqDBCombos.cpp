// The data-aware combo box; see VqDBCombos.h.
#include "vq/controls/VqDBCombos.h"

#include "DB.h"
#include "Sound.h"

TVQDBComboBox::TVQDBComboBox(TComponent* AOwner) : TVQComboBox(AOwner), data_(this) {
    SetStyle(csDropDown);
    SetDropDownCount(8);
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(Style() == csDropDownList && ItemIndex() < 0 ? std::string() : Text());
    };
}

TVQDBComboBox::~TVQDBComboBox() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
}

// An open list keeps what the operator is choosing.
void TVQDBComboBox::dataChange() {
    if (DroppedDown()) return;
    loading_ = true;
    const std::string text = Field() ? Field()->Text() : std::string();
    const int i = Items()->IndexOf(text);
    SetItemIndex(i);
    if (i < 0 && Style() != csDropDownList) SetText(text);
    loading_ = false;
}

bool TVQDBComboBox::canEdit() {
    return !readOnly_ && Field() && Field()->CanModify() && data_.Link()->CanModify() && data_.Link()->Edit();
}

void TVQDBComboBox::KeyDown(Word& Key, TShiftState Shift) {
    if ((Key == VK_UP || Key == VK_DOWN) && Field() && !canEdit()) {
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE && Field()) {
        data_.Link()->Reset();
        dataChange();
        SelectAll();
        Key = 0;
        return;
    }
    TVQComboBox::KeyDown(Key, Shift);
}

void TVQDBComboBox::KeyPress(char32_t& Key) {
    TVQComboBox::KeyPress(Key);
    if (!Key || !Field()) return;
    if (Key >= 32 && !Field()->IsValidChar(Key)) {
        MessageBeep(0);
        Key = 0;
        return;
    }
    const bool editing = Key == 8 || Key == 22 || Key == 24 || Key >= 32;
    if (editing && !canEdit()) Key = 0;
}

// Leaving writes the record; a value the field refuses keeps the focus
// here with the text selected.
void TVQDBComboBox::DoExit() {
    TField* f = Field();
    if (f && !loading_) {
        const std::string text = Style() == csDropDownList && ItemIndex() < 0 ? std::string() : Text();
        if (text != f->Text() && canEdit()) {
            try {
                data_.Link()->Modify();
                data_.Link()->UpdateRecord();
            } catch (...) {
                SelectAll();
                SetFocus();
                throw;
            }
        }
    }
    TVQComboBox::DoExit();
}
