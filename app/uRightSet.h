// The operators and their rights: the operator list (the data module's
// AdoQueryUser), add/edit/delete through the operator editor, and one check
// box per governed module whose states "授权(&R)" writes as the operator's
// 35 UserModule rows. The boxes always show the rights of the current
// operator: they reload on every change of the current row, by mouse or by
// keyboard. Not here: applying rights to the menu (the main window).
#pragma once

#include "uBaseD.h"

#include <array>
#include <string>
#include <vector>

class TToolBar;
class TToolButton;
class TDBGrid;
class TDataSource;
class TSpeedButton;
class TADOQuery;
class TPageControl;
class TTabSheet;
class TCheckBox;

inline constexpr int ModuleCount = 35;

// The check boxes' states by module id, between the rows and the boxes.
extern std::array<bool, ModuleCount> RightFlags;
// 0: the operator editor adds; 1: it edits the current operator.
extern int UserEditMode;

// One check box of the rights window.
struct TRightBox {
    const char* Page;
    const char* Name;
    const char* Caption;
    int ModuleId;
};
// The 33 boxes in page order (ids 8 and 11 have none).
const std::vector<TRightBox>& RightBoxes();

class TFrmRightSet : public TFrmBaseD {
public:
    explicit TFrmRightSet(TComponent* AOwner);
    ~TFrmRightSet() override;
    std::string ClassName() const override { return "TFrmRightSet"; }

    void InitForm() override;
    void DBGrid1CellClick(TObject* Sender);
    void BtallClick(TObject* Sender);
    void BtclearClick(TObject* Sender);
    void ToolButton1Click(TObject* Sender);
    void ToolButton2Click(TObject* Sender);
    void ToolButton3Click(TObject* Sender);
    // Writes the boxes as the operator's 35 rows (ids 8 and 11 as loaded):
    // the delete and the inserts in one transaction, rolled back on error.
    void ToolButton4Click(TObject* Sender);
    void ToolButton5Click(TObject* Sender);

    // The box of a module id (nullptr for 8 and 11).
    TCheckBox* Box(int moduleId) const;
    // The operator whose rights the boxes show.
    const std::string& ShownOperator() const { return shownCode_; }

    TToolBar* ToolBar1;
    TToolButton* ToolButton1;
    TToolButton* ToolButton2;
    TToolButton* ToolButton3;
    TToolButton* ToolButton4;
    TToolButton* ToolButton5;
    TDBGrid* DBGrid1;
    TDataSource* DataSource1;
    TSpeedButton* Btall;
    TSpeedButton* Btclear;
    TADOQuery* ADOQuery1;
    TPageControl* PageControl1;

private:
    void loadRights();
    void requeryUsers();
    void showSystemPage();
    std::array<TCheckBox*, ModuleCount> boxes_{};
    std::vector<TTabSheet*> sheets_;
    std::string shownCode_;
};
