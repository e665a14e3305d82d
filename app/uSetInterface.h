// The layout editor: the TableStructure rows of one layout in an editable
// grid (title, shown, width, order). Edits stay in memory until "确定"
// writes them all; "取消", Esc and the close box write nothing and answer
// false. EditGridLayout is the entry every list, query and desk window
// calls; its answer is that call's own, never an earlier one's.
#pragma once

#include "uBaseD.h"

#include <string>

class TPanel;
class TLabel;
class TBitBtn;
class TDataSource;
class TADOQuery;
class TDBGridEh;

// The layout being edited and the answer of the last use.
extern std::string LayoutTableCode;
extern bool LayoutConfirmed;

// Shows the editor on the rows of tableCode; true when "确定" wrote them.
bool EditGridLayout(const std::string& tableCode);

class TFrmSetInterface : public TFrmBaseD {
public:
    explicit TFrmSetInterface(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmSetInterface"; }

    void InitForm() override;
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGridEh1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TPanel* Panel1;
    TDBGridEh* DBGridEh1;
    TLabel* Label1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TDataSource* DataSource1;
    TADOQuery* Adoqueryset;
};
