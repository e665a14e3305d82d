// The grid-column dialog of the title menu ("数据编辑框参数设定"): which
// columns show (left list) and on which the cursor stops (right list).
// Entry j of each list stands for column j, also when two columns share a
// caption. The lists are small check lists of their own until the house's
// check-list box takes their place.
#pragma once

#include <string>
#include <vector>

#include "Forms.h"
#include "StdCtrls.h"

class TVQCustomDBGrid;
class TPopupMenu;
class TButton;
class TLabel;

// A list box with a check box per item: a click on the item, Space or
// keypad "+" toggles it.
class TVQGridCheckList : public TListBox {
public:
    explicit TVQGridCheckList(TComponent* AOwner);
    std::string ClassName() const override { return "TVQGridCheckList"; }
    int AddItem(const std::string& caption);
    bool GetChecked(int i) const { return i >= 0 && size_t(i) < checked_.size() && checked_[size_t(i)]; }
    void SetChecked(int i, bool v);
    int Count() const { return int(checked_.size()); }
    void ClearItems();

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void drawItem(int index, TRect rect, TOwnerDrawState state);
    std::vector<bool> checked_;
};

class TFrmDBGridDlg : public TForm {
public:
    TFrmDBGridDlg(TComponent* AOwner, TVQCustomDBGrid* grid, int mode);
    std::string ClassName() const override { return "TFrmDBGridDlg"; }

    TLabel* SPLabel4;
    TLabel* SPLabel1;
    TVQGridCheckList* LbxColumns;
    TVQGridCheckList* LbxTabStop;
    TButton* BtnOk;
    TButton* BtnCancel;
    TPopupMenu* PMColumn;

    // "全部选定", "设为默认值", "清除所选列表".
    void CheckAll();
    void CheckDefaults();
    void ClearAll();
    // Column j shows when entry j of the left list is ticked; tab stops
    // likewise from the right list, or every column when none is ticked.
    void Apply();

private:
    void FormShow();
    TVQCustomDBGrid* grid_;
    int mode_;
};

// Opens the dialog for the grid; OK applies the choices. True when applied.
bool ShowGridColumnDialog(TVQCustomDBGrid* grid, int mode);
