// The lookup dialog for a bill code: search conditions from the bill's
// structure, the bill's master query run with them, the result in a data
// grid with an incremental find box, and the chosen row copied into the
// field that asked (or one value handed back). Its structure and rows live
// behind the shared data module, which this system never assigns: the
// dialog then opens with no conditions and an empty result, and choosing
// just closes it.
#pragma once

#include <string>

#include "vq/controls/VqBase.h"

class TControl;
class TField;
class TLabel;
class TNotebook;
class TPanel;
class TPopupMenu;
class TDataSource;
class TVqButton;
class TVQEdit;
class TVQDBGrid;
class TVQDBVGrid;
class TVQRctStr;
class TVQADOQuery;
class TMenuItem;

// The text one condition row adds after "Table.Field": the value V trimmed,
// quoted for the text and date types (a quote inside doubled), 1 or 0 for
// a Boolean (是 is 1), and then by the operator word ("等于" "=" V,
// "不等于" " <>" V, "大于" " >" V, "小于" " <" V, "小于等于" " <=" V,
// "大于等于" " >=" V, and the three "like" words). A number type with a
// value that is no number is quoted as text, so no typed value can become
// SQL. An unknown operator word gives "" (the row is left out).
std::string SelectOperatorText(const std::string& fieldType, const std::string& value, const std::string& op);

class TFrmSelect : public TFrmBase {
public:
    explicit TFrmSelect(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmSelect"; }

    TPanel* PnlTool;
    TVqButton* BtnAdd;
    TVqButton* BtnEdit;
    TVqButton* BtnClose;
    TVqButton* BtnSave;
    TNotebook* Notebook;
    TLabel* LblTip;
    TVQEdit* EdtFind;
    TVqButton* BtnFind;
    TVQDBGrid* DBGrid;
    TVQDBVGrid* dbvgrid;
    TVqButton* BtnAddRct;
    TVqButton* BtnOk;
    TVqButton* BtnPre;
    TVQDBGrid* dbgCondition;
    TVqButton* BtnNext;
    TPanel* PnlHint;
    TVQRctStr* MMTCondition;
    TDataSource* dsCondition;
    TVQADOQuery* TblSelect;
    TDataSource* dsSelect;
    TPopupMenu* Menu;

    // Control mode: the control that asked and the bill code.
    void SetAsker(TControl* control, const std::string& billCode);
    // Value mode: the result field's value goes to *value when a row is
    // chosen.
    void SetValueMode(const std::string& resultField, const std::string& billCode, std::string* value);
    const std::string& BillCode() const { return billCode_; }

    // The WHERE text of the filled condition rows: " T.F=5 and T2.G >7".
    std::string ConditionText();
    // Runs the master query with the conditions (nothing to run without the
    // shared data module) and opens the "Find" page.
    void Search();
    // The column titled caption becomes the find field.
    void ChooseFindField(const std::string& caption);
    const std::string& FindField() const { return findField_; }
    // Enter, double click, "确定[Enter]".
    void Choose();
    void AddRct();
    // Section "选择窗口" + bill code of "ConnectSQL.ini" beside the program.
    void LoadWindowPosition();
    void SaveWindowPosition();

protected:
    void DoAfterShow() override;

private:
    void findChange();
    void keyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void conditionButton();
    void rebuildResult();
    TField* targetField() const;
    TControl* asker_ = nullptr;
    std::string billCode_;
    std::string resultField_;
    std::string* valueOut_ = nullptr;
    std::string findField_;
};

// Value mode: a modal lookup for billCode; a chosen row's resultField
// becomes value. True when a value was chosen.
bool PickConditionValue(const std::string& resultField, const std::string& billCode, std::string& value);

// Control mode (what the field lookup opens for a field with an action).
void ShowSelectDialog(TControl* control, const std::string& billCode);
