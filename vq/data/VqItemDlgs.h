// The item line dialogs of bills of goods: the quantity dialog that
// completes a line just added from the lookup dialog, the new-item dialog
// of the item master, and the item picker by name. The item master lives
// behind the shared data module, which this system never assigns: the
// quantity dialog works on the grid's own data set, the picker finds no
// item, and the new-item dialog opens empty and cannot save.
#pragma once

#include <string>
#include <vector>

#include "vq/controls/VqBase.h"

class TField;
class TDataSource;
class TPanel;
class TVqButton;
class TVQCustomDBGrid;
class TVQDBGrid;
class TVQDBVGrid;
class TVQRctStr;
class TVQADOQuery;
class tVQDBLabelEdit;

class TFrmAddItemRct : public TFrmDlgBase {
public:
    TFrmAddItemRct(TComponent* AOwner, TVQCustomDBGrid* grid);
    std::string ClassName() const override { return "TFrmAddItemRct"; }
    TDataSource* dsAddItemRct;
    TVqButton* BtnSave;
    // The edits made on show, in order (ItemCode first).
    const std::vector<tVQDBLabelEdit*>& Edits() const { return edits_; }
    // Posts the line and closes.
    void Save();

protected:
    void DoAfterShow() override;

private:
    tVQDBLabelEdit* addEdit(const std::string& field, const std::string& titleOf, int top);
    TVQCustomDBGrid* grid_;
    std::vector<tVQDBLabelEdit*> edits_;
    bool saved_ = false;
};

class TFrmNewMaterial : public TFrmDlgBase {
public:
    TFrmNewMaterial(TComponent* AOwner, TField* target, const std::string& itemCode, const std::string& itemName);
    std::string ClassName() const override { return "TFrmNewMaterial"; }
    TVQRctStr* TblMaterial;
    TDataSource* dsMaterial;
    TVQDBVGrid* DBVBase;
    TVQDBVGrid* Base2;
    TVQDBVGrid* dbvPlus;
    TVqButton* BtnAdd;
    TVqButton* BtnSave;
    TPanel* PnlKeys;
    const std::string& ItemName() const { return itemName_; }
    // Completes the item being edited (codes upper-cased, the level code,
    // the input codes of the name) and saves it to the item master; without
    // the shared data module nothing is saved and the dialog stays.
    void Save();
    // The first part of Save: the item's own fields.
    void CompleteItem();

protected:
    void DoBeforeShow() override;

private:
    void gridKey(TVQDBVGrid* grid, Word& Key);
    TField* target_;
    std::string itemCode_;
    std::string itemName_;
};

class TFrmSelectItemName : public TFrmDlgBase {
public:
    TFrmSelectItemName(TComponent* AOwner, TField* target);
    std::string ClassName() const override { return "TFrmSelectItemName"; }
    TVQDBGrid* dbgridItemName;
    TVQADOQuery* QryItemName;
    TDataSource* dsItemName;
    // The current row's 编号 into the target field; closes.
    void Choose();

private:
    TField* target_;
};

// The quantity dialog for grid, shown modally; its modal result.
int ShowAddItemRct(TVQCustomDBGrid* grid);
// The new-item dialog, shown modally.
void ShowNewMaterial(TField* target, const std::string& itemCode, const std::string& itemName);
// Finds items whose name contains name (and of model, when the settings
// ask for it) and puts the chosen item's code into target; an empty name
// empties target; no match empties it and opens the new-item dialog.
void SelectItemName(const std::string& name, const std::string& model, TField* target);
// The item's level code: the code, or (when it holds a blank) the at most
// 30 characters after the first blank.
std::string ItemLevelCode(const std::string& itemCode);
