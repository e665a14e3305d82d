// The class box; see ClassBox.h.
#include "ClassBox.h"

#include "ADODB.h"
#include "StdCtrls.h"
#include "uDMData.h"
#include "uSortSet.h"

#include <memory>

std::string ClassKeyOf(const std::string& sortCode) {
    if (sortCode.empty() || !DMData) return "";
    TRowLookup row(DMData->ADOConnection1, "select * from type where sortcode=?", {sortCode});
    return row.Empty() ? std::string() : row.Text("sKey");
}

void PickClassInto(TComponent* owner, TEdit* box) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(owner));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) {
        box->SetText(picker->ChosenSortCode);
        box->SetHint(picker->ChosenSKey);
    }
    if (box->CanFocus()) box->SetFocus();
}
