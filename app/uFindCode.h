// The base of the lookup dialogs that return a chosen code and name: a
// search box, a drop-down of search modes, a read-only grid over ADOQuery1
// and confirm/exit buttons. The derived dialog writes the statement and
// the search modes. Callers read ChosenCode after the modal show; an empty
// code means nothing was chosen.
#pragma once

#include "ComCtrls.h"
#include "uBaseD.h"

class TPanel;
class TDBGrid;
class TEdit;
class TButton;
class TPopupMenu;
class TDataSource;
class TADOQuery;

class TFrmFindCode : public TFrmBaseD {
public:
    explicit TFrmFindCode(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindCode"; }

    void InitForm() override;
    virtual void Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual void DBGrid1KeyPress(TObject* Sender, char32_t& Key);
    // Takes the current row's "code" (and "Name" when the grid shows more
    // than one column) and closes; does nothing on an empty list.
    virtual void BtConfirmClick(TObject* Sender);
    virtual void BtCancelClick(TObject* Sender);

    TPanel* Panel1;
    TDBGrid* DBGrid1;
    TPanel* Panel2;
    TEdit* Edit1;
    TToolBar* ToolBar1;
    // Drops down PopupMenu1, the search modes the derived dialog adds.
    TToolButton* TbCaption;
    TButton* BtConfirm;
    TButton* BtCancel;
    TButton* BtAdd;
    TPopupMenu* PopupMenu1;
    TDataSource* DataSource1;
    TADOQuery* ADOQuery1;

    // Which column the typed text searches; 0 = code.
    int SearchMode = 0;
    std::string ChosenCode;
    std::string ChosenName;
};
