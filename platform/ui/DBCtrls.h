// Data-aware controls: each shows one field of the current record through a
// TFieldDataLink and, when the data source allows it, writes the user's
// change back (on leaving the control, or when the data set posts).
//
//   shown --typing--> modified --exit / Post (UpdateData)--> written
//     ^                  |  Esc (Reset)                        |
//     +------------------+---------------- record changes -----+
#pragma once

#include "ExtCtrls.h"
#include "StdCtrls.h"

class TDataSource;
class TField;
class TFieldDataLink;

// The data side every data-aware control shares.
class TDBControlLink {
public:
    explicit TDBControlLink(TComponent* control);
    ~TDBControlLink();
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* v);
    std::string DataField() const;
    void SetDataField(const std::string& v);
    TField* Field() const;
    TFieldDataLink* Link() const { return link_; }

private:
    TFieldDataLink* link_;
};

class TDBEdit : public TEdit {
public:
    explicit TDBEdit(TComponent* AOwner);
    ~TDBEdit() override;
    std::string ClassName() const override { return "TDBEdit"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoExit() override;

private:
    void dataChange();
    TDBControlLink data_;
    bool loading_ = false;
};

// The field's display text as a label.
class TDBText : public TLabel {
public:
    explicit TDBText(TComponent* AOwner);
    std::string ClassName() const override { return "TDBText"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }

private:
    TDBControlLink data_;
};

class TDBMemo : public TMemo {
public:
    explicit TDBMemo(TComponent* AOwner);
    ~TDBMemo() override;
    std::string ClassName() const override { return "TDBMemo"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }

protected:
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoExit() override;

private:
    void dataChange();
    TDBControlLink data_;
    bool loading_ = false;
};

// Checked when the field is true; a string field stores ValueChecked /
// ValueUnchecked ("True"/"False" by default).
class TDBCheckBox : public TCheckBox {
public:
    explicit TDBCheckBox(TComponent* AOwner);
    ~TDBCheckBox() override;
    std::string ClassName() const override { return "TDBCheckBox"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }
    std::string ValueChecked() const { return valueChecked_; }
    void SetValueChecked(const std::string& v) { valueChecked_ = v; }
    std::string ValueUnchecked() const { return valueUnchecked_; }
    void SetValueUnchecked(const std::string& v) { valueUnchecked_ = v; }
    void Click() override;

protected:
    void DoExit() override;

private:
    void dataChange();
    TDBControlLink data_;
    std::string valueChecked_ = "True", valueUnchecked_ = "False";
    bool loading_ = false;
};

class TDBComboBox : public TComboBox {
public:
    explicit TDBComboBox(TComponent* AOwner);
    ~TDBComboBox() override;
    std::string ClassName() const override { return "TDBComboBox"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }

protected:
    void DoExit() override;

private:
    void dataChange();
    TDBControlLink data_;
    bool loading_ = false;
};

// A radio group whose item i stores Values[i] (or the item's caption when
// Values has no entry i) in the field.
class TDBRadioGroup : public TRadioGroup {
public:
    explicit TDBRadioGroup(TComponent* AOwner);
    ~TDBRadioGroup() override;
    std::string ClassName() const override { return "TDBRadioGroup"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }
    TStrings* Values() const;
    void Click() override;

private:
    std::string valueOf(int i) const;
    void dataChange();
    TDBControlLink data_;
    TStringList* values_;
    bool loading_ = false;
};

// Picks a key from another data set: shows ListField of ListSource's rows,
// stores the row's KeyField value in DataField. The rows are read when
// ListSource, KeyField and ListField are set, and again by ReloadList()
// (after the list's data set changed).
class TDBLookupComboBox : public TComboBox {
public:
    explicit TDBLookupComboBox(TComponent* AOwner);
    ~TDBLookupComboBox() override;
    std::string ClassName() const override { return "TDBLookupComboBox"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }
    TDataSource* ListSource() const { return listSource_; }
    void SetListSource(TDataSource* v) {
        listSource_ = v;
        ReloadList();
    }
    std::string KeyField() const { return keyField_; }
    void SetKeyField(const std::string& v) {
        keyField_ = v;
        ReloadList();
    }
    std::string ListField() const { return listField_; }
    void SetListField(const std::string& v) {
        listField_ = v;
        ReloadList();
    }
    // The key of the chosen row as text ("" for none).
    std::string KeyValue() const;
    void SetKeyValue(const std::string& v);
    void ReloadList();

private:
    void dataChange();
    void picked();
    TDBControlLink data_;
    TDataSource* listSource_ = nullptr;
    std::string keyField_, listField_;
    std::vector<std::string> keys_;
    bool loading_ = false;
};

// A picture stored in a blob field (BMP or JPEG bytes). Stretch as TImage.
class TDBImage : public TImage {
public:
    explicit TDBImage(TComponent* AOwner);
    std::string ClassName() const override { return "TDBImage"; }
    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v) { data_.SetDataField(v); }
    TField* Field() const { return data_.Field(); }

private:
    void dataChange();
    TDBControlLink data_;
};
