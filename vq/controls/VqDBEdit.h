// The data-aware edit: shows a field of the current record and writes the
// operator's change back when the focus leaves (or the data set posts). With
// its lookup field enabled it shows the name field and switches to the code
// field while it has the focus, so a code is typed and a name is read. Its
// button hands the field to the library's field lookup.
#pragma once

#include "DBCtrls.h"
#include "vq/controls/VqEdits.h"

struct TVQLookupField {
    std::string CodeField;
    bool Enabled = false;
    std::string NameField;
};

class TVQDBEDIT : public TVQEdit {
public:
    explicit TVQDBEDIT(TComponent* AOwner);
    ~TVQDBEDIT() override;
    std::string ClassName() const override { return "TVQDBEDIT"; }

    TDataSource* DataSource() const { return data_.DataSource(); }
    void SetDataSource(TDataSource* v) { data_.SetDataSource(v); }
    std::string DataField() const { return data_.DataField(); }
    void SetDataField(const std::string& v);
    TField* Field() const { return data_.Field(); }
    const TVQLookupField& LookupField() const { return lookupField_; }
    // An enabled lookup binds the edit to the name field at once (unless it
    // has the focus, when it shows the code).
    void SetLookupField(const TVQLookupField& v);

    // The edit's own behaviour; then, for a modifiable text edit with a
    // visible button, the field lookup.
    void ButtonClick() override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;

private:
    void dataChange();
    TDBControlLink data_;
    TVQLookupField lookupField_;
    bool loading_ = false;
};
