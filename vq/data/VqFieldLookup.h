// The input help behind the ellipsis buttons of the in-house data-aware
// controls for fields of a bill-structure table, and the pinyin/wubi name
// list. The lists themselves live in the shared data module's databases,
// which this system never assigns: the name list opens empty, so nothing
// is ever picked from it.
#pragma once

#include <string>

#include "vq/controls/VqBase.h"

class TControl;
class TField;
class TVQEdit;
class TVQDBGrid;
class TVQADOQuery;
class TDataSource;
class TPanel;

// The last pick of the name list; emptied before the list shows.
extern std::string ImeLastPick;

// For a data grid (its selected field) or a data-aware edit (its field) on
// a TVQRctStr: the field's section decides.
// No input help ("ActionType" empty) says "请先设置数据浏览结构!!"; "BPYWB"
// opens the name list and writes a pick into the field; "BGetDate" the date
// dialog; any other is the lookup dialog of a bill, whose rows are the
// module's (nothing opens). Any other control: nothing.
void ShowFieldLookup(TControl* control);

// The nine name lists ("IItemName", "ICName", ...); any other key shows
// nothing. The caller reads ImeLastPick afterwards.
void ShowImeNameList(const std::string& key, TField* field, const std::string& text);

// "拼音五笔输入": the typed code, the matching names, the keys' help.
class TFrmIME : public TFrmDlgBase {
public:
    explicit TFrmIME(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmIME"; }

    TVQEdit* EdtIME;
    TVQDBGrid* dbgrid;
    TVQADOQuery* QryIME;
    TDataSource* dsIME;
    TPanel* PnlKeys;
    std::string Key;
    TField* Field = nullptr;

    // Without the shared data module the query stays closed: the list is
    // empty whatever is typed.
    void Search();
    // Enter or a double click: the first column of the current row (or
    // nothing) becomes the last pick; the form closes.
    void Choose();

protected:
    void DoAfterShow() override;
};
