// The condition dialogs' shared pieces; see ConditionFields.h.
#include "ConditionFields.h"

#include "ADODB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uFindBook.h"
#include "uFindReader.h"

#include <memory>

TDateTime MonthStart(TDateTime date) {
    Word y, m, d;
    DecodeDate(date, y, m, d);
    return EncodeDate(y, m, 1);
}

namespace {
void fill(TComboBox* box, const char* sql, const char* field) {
    box->Items()->Clear();
    if (!DMData) return;
    TRowLookup rows(DMData->ADOConnection1, sql);
    TADOQuery& q = rows.Query();
    for (q.First(); !q.Eof(); q.Next()) box->Items()->Add(q.FieldByName(field)->AsString());
}

template <class Finder>
void pickInto(TComponent* owner, TEdit* box) {
    std::unique_ptr<Finder> find(new Finder(owner));
    find->ChosenCode = box->Text();
    find->ShowModal();
    if (!find->ChosenCode.empty()) box->SetText(find->ChosenCode);
    if (box->CanFocus()) box->SetFocus();
}
} // namespace

void FillDepartments(TComboBox* box) { fill(box, "select * from Readerdept order by Code", "Code"); }

void FillOperators(TComboBox* box) { fill(box, "select UseName from SystemUser", "UseName"); }

void PickReaderInto(TComponent* owner, TEdit* box) { pickInto<TFrmFindReader>(owner, box); }

void PickBookInto(TComponent* owner, TEdit* box) { pickInto<TFrmFindBook>(owner, box); }
