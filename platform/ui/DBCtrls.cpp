// Data-aware controls over TFieldDataLink. A control puts the data set in
// edit state only when the user starts changing it (a key that edits, a
// click on a check box), and a refused edit (read-only data set or field)
// swallows the key instead of changing the text.
#include "DBCtrls.h"

#include "DB.h"
#include "Jpeg.h"
#include "Sound.h"
#include "ScopeExit.h"

#include <algorithm>

// ------------------------------------------------------------ link

TDBControlLink::TDBControlLink(TComponent* control) : link_(new TFieldDataLink) { link_->SetControl(control); }
TDBControlLink::~TDBControlLink() { delete link_; }
TDataSource* TDBControlLink::DataSource() const { return link_->DataSource(); }
void TDBControlLink::SetDataSource(TDataSource* v) { link_->SetDataSource(v); }
std::string TDBControlLink::DataField() const { return link_->FieldName(); }
void TDBControlLink::SetDataField(const std::string& v) { link_->SetFieldName(v); }
TField* TDBControlLink::Field() const { return link_->Field(); }

static bool EditingKey(char32_t k) { return k >= 32 || k == 8; }

// ------------------------------------------------------------ edit

TDBEdit::TDBEdit(TComponent* AOwner) : TEdit(AOwner), data_(this) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnEditingChange = [this](TObject*) { SetReadOnly(!data_.Link()->CanModify() && Field()); };
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(Text());
    };
    l->OnActiveChange = [this](TObject*) { dataChange(); };
}

TDBEdit::~TDBEdit() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnEditingChange = l->OnUpdateData = l->OnActiveChange = nullptr;
}

void TDBEdit::dataChange() {
    loading_ = true;
    TField* f = Field();
    std::string text = !f ? std::string() : Focused() && data_.Link()->CanModify() ? f->Text() : f->DisplayText();
    // Unchanged text keeps the caret and selection (entering edit state
    // re-reads the record while the user is typing).
    if (text != Text()) SetText(text);
    if (f && f->Size() > 0 &&
        (f->DataType() == ftString || f->DataType() == ftFixedChar || f->DataType() == ftWideString))
        if (MaxLength() != f->Size()) SetMaxLength(f->Size());
    SetModified(false);
    loading_ = false;
}

void TDBEdit::KeyDown(Word& Key, TShiftState Shift) {
    TEdit::KeyDown(Key, Shift);
    if (!Field()) return;
    if (Key == VK_ESCAPE && data_.Link()->Modified()) {
        data_.Link()->Reset();
        SelectAll();
        Key = 0;
    } else if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) {
        if (!data_.Link()->Edit()) Key = 0;
    }
}

void TDBEdit::KeyPress(char32_t& Key) {
    TEdit::KeyPress(Key);
    if (!Key || !Field() || !EditingKey(Key)) return;
    if (!data_.Link()->Edit()) {
        Key = 0;
        MessageBeep(0);
    }
}

void TDBEdit::Change() {
    if (!loading_ && Field()) data_.Link()->Modify();
    TEdit::Change();
}

void TDBEdit::DoExit() {
    if (Field() && data_.Link()->Modified()) data_.Link()->UpdateRecord();
    TEdit::DoExit();
    if (Field()) dataChange();
}

// ------------------------------------------------------------ text

TDBText::TDBText(TComponent* AOwner) : TLabel(AOwner), data_(this) {
    SetAutoSize(false);
    data_.Link()->OnDataChange = [this](TObject*) { SetCaption(Field() ? Field()->DisplayText() : std::string()); };
    data_.Link()->OnActiveChange = data_.Link()->OnDataChange;
}

// ------------------------------------------------------------ memo

TDBMemo::TDBMemo(TComponent* AOwner) : TMemo(AOwner), data_(this) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetAsString(Text());
    };
}

TDBMemo::~TDBMemo() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
}

void TDBMemo::dataChange() {
    loading_ = true;
    SetText(Field() ? Field()->AsString() : std::string());
    loading_ = false;
}

void TDBMemo::KeyPress(char32_t& Key) {
    TMemo::KeyPress(Key);
    if (!Key || !Field() || !(EditingKey(Key) || Key == '\r')) return;
    if (!data_.Link()->Edit()) Key = 0;
}

void TDBMemo::Change() {
    if (!loading_ && Field()) data_.Link()->Modify();
    TMemo::Change();
}

void TDBMemo::DoExit() {
    if (Field() && data_.Link()->Modified()) data_.Link()->UpdateRecord();
    TMemo::DoExit();
}

// ------------------------------------------------------------ check box

TDBCheckBox::TDBCheckBox(TComponent* AOwner) : TCheckBox(AOwner), data_(this) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        TField* f = Field();
        if (!f) return;
        if (f->DataType() == ftBoolean)
            f->SetAsBoolean(Checked());
        else
            f->SetAsString(Checked() ? valueChecked_ : valueUnchecked_);
    };
}

TDBCheckBox::~TDBCheckBox() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
}

void TDBCheckBox::dataChange() {
    loading_ = true;
    TField* f = Field();
    bool on = false;
    if (f && !f->IsNull()) {
        if (f->DataType() == ftBoolean) {
            on = f->AsBoolean();
        } else {
            // ValueChecked may list several spellings: "True;Yes;是".
            std::string text = f->AsString(), list = valueChecked_ + ";";
            for (size_t start = 0, p; (p = list.find(';', start)) != std::string::npos; start = p + 1)
                if (list.substr(start, p - start) == text) on = true;
        }
    }
    SetState(f && f->IsNull() && AllowGrayed() ? cbGrayed : on ? cbChecked : cbUnchecked);
    loading_ = false;
}

void TDBCheckBox::Click() {
    if (loading_) return;
    if (Field()) {
        TCheckBoxState wanted = State();
        if (!data_.Link()->Edit()) {
            // Not editable: put the box back as the field says.
            dataChange();
            return;
        }
        // Entering edit state re-reads the record; keep the user's click.
        loading_ = true;
        SetState(wanted);
        loading_ = false;
        data_.Link()->Modify();
    }
    TCheckBox::Click();
}

void TDBCheckBox::DoExit() {
    if (Field() && data_.Link()->Modified()) data_.Link()->UpdateRecord();
    TCheckBox::DoExit();
}

// ------------------------------------------------------------ combo box

TDBComboBox::TDBComboBox(TComponent* AOwner) : TComboBox(AOwner), data_(this) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(Text());
    };
}

TDBComboBox::~TDBComboBox() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
}

void TDBComboBox::dataChange() {
    loading_ = true;
    SetText(Field() ? Field()->Text() : std::string());
    loading_ = false;
}

void TDBComboBox::DoExit() {
    if (Field() && Text() != Field()->Text() && data_.Link()->Edit()) {
        data_.Link()->Modify();
        data_.Link()->UpdateRecord();
    }
    TComboBox::DoExit();
}

// ------------------------------------------------------------ image

TDBImage::TDBImage(TComponent* AOwner) : TImage(AOwner), data_(this) {
    data_.Link()->OnDataChange = [this](TObject*) { dataChange(); };
    data_.Link()->OnActiveChange = data_.Link()->OnDataChange;
}

void TDBImage::dataChange() {
    TField* f = Field();
    std::string bytes = f && !f->IsNull() ? f->AsString() : std::string();
    if (bytes.size() < 4) {
        Picture()->SetGraphic(nullptr);
        return;
    }
    TMemoryStream stream;
    stream.Write(bytes.data(), int64_t(bytes.size()));
    stream.Seek(0, soFromBeginning);
    // A picture that does not decode shows nothing rather than failing the
    // whole record display.
    try {
        if ((unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xD8) {
            TJPEGImage jpeg;
            jpeg.LoadFromStream(stream);
            Picture()->SetGraphic(&jpeg);
        } else {
            TBitmap bmp;
            bmp.LoadFromStream(stream);
            Picture()->SetGraphic(&bmp);
        }
    } catch (const Exception&) {
        Picture()->SetGraphic(nullptr);
    }
}

// ------------------------------------------------------------ radio group

TDBRadioGroup::TDBRadioGroup(TComponent* AOwner) : TRadioGroup(AOwner), data_(this), values_(new TStringList) {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        if (Field()) Field()->SetText(ItemIndex() >= 0 ? valueOf(ItemIndex()) : std::string());
    };
}

TDBRadioGroup::~TDBRadioGroup() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
    delete values_;
}

TStrings* TDBRadioGroup::Values() const { return values_; }

std::string TDBRadioGroup::valueOf(int i) const {
    return i < values_->Count() ? values_->Strings(i) : Items()->Strings(i);
}

void TDBRadioGroup::dataChange() {
    loading_ = true;
    int index = -1;
    if (TField* f = Field())
        for (int i = 0; i < Items()->Count(); ++i)
            if (valueOf(i) == f->Text()) index = i;
    SetItemIndex(index);
    loading_ = false;
}

void TDBRadioGroup::Click() {
    if (loading_) return;
    if (Field()) {
        int wanted = ItemIndex();
        if (!data_.Link()->Edit()) {
            dataChange();
            return;
        }
        loading_ = true;
        SetItemIndex(wanted);
        loading_ = false;
        data_.Link()->Modify();
        data_.Link()->UpdateRecord();
    }
    TRadioGroup::Click();
}

// ------------------------------------------------------------ lookup combo

TDBLookupComboBox::TDBLookupComboBox(TComponent* AOwner) : TComboBox(AOwner), data_(this) {
    SetStyle(csDropDownList);
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = [this](TObject*) { dataChange(); };
    l->OnActiveChange = l->OnDataChange;
    l->OnUpdateData = [this](TObject*) {
        if (Field()) {
            int i = ItemIndex();
            if (i >= 0 && i < int(keys_.size()))
                Field()->SetText(keys_[size_t(i)]);
            else
                Field()->Clear();
        }
    };
    OnSelect = [this](TObject*) { picked(); };
}

TDBLookupComboBox::~TDBLookupComboBox() {
    TFieldDataLink* l = data_.Link();
    l->OnDataChange = l->OnActiveChange = l->OnUpdateData = nullptr;
}

void TDBLookupComboBox::ReloadList() {
    keys_.clear();
    Items()->BeginUpdate();
    {
        ScopeExit endUpdate([this] { Items()->EndUpdate(); });
        Items()->Clear();
        TDataSet* ds = listSource_ ? listSource_->DataSet() : nullptr;
        if (ds && ds->Active() && !keyField_.empty() && !listField_.empty()) {
            TField* key = ds->FieldByName(keyField_);
            TField* text = ds->FieldByName(listField_);
            int saved = ds->RecNo();
            TDisableControls still(ds);
            for (ds->First(); !ds->Eof(); ds->Next()) {
                keys_.push_back(key->Text());
                Items()->Add(text->DisplayText());
            }
            if (saved > 0) ds->SetRecNo(saved);
        }
    }
    dataChange();
}

std::string TDBLookupComboBox::KeyValue() const {
    int i = ItemIndex();
    return i >= 0 && i < int(keys_.size()) ? keys_[size_t(i)] : std::string();
}

void TDBLookupComboBox::SetKeyValue(const std::string& v) {
    loading_ = true;
    auto it = std::find(keys_.begin(), keys_.end(), v);
    SetItemIndex(it == keys_.end() ? -1 : int(it - keys_.begin()));
    loading_ = false;
}

void TDBLookupComboBox::dataChange() {
    if (TField* f = Field()) SetKeyValue(f->IsNull() ? std::string() : f->Text());
}

void TDBLookupComboBox::picked() {
    if (loading_ || !Field()) return;
    std::string wanted = KeyValue();
    if (!data_.Link()->Edit()) {
        dataChange();
        return;
    }
    SetKeyValue(wanted);
    data_.Link()->Modify();
    data_.Link()->UpdateRecord();
}
