// The base of the modal record editors: AdoqEdit holds the edited row (a
// new one appended when EditMode is 1, else the row whose KeyField equals
// KeyValue), and the save runs BeforePost and the row's Post in one
// transaction. The editor frees itself when it closes.
// Not here: the derived editor's statement, controls and checks.
#pragma once

#include "uBaseD.h"

#include <cstdint>

class TPanel;
class TButton;
class TADOQuery;
class TDataSource;

class TFrmBaseDataEdit : public TFrmBaseD {
public:
    explicit TFrmBaseDataEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBaseDataEdit"; }

    void InitForm() override;
    // InitForm, then a fresh appended row (EditMode 1) or the keyed row in
    // edit state.
    void FormShow(TObject* Sender) override;
    // Esc closes; Enter moves to the next control in tab order (a button
    // and a memo keep Enter for themselves).
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;

    // Checks the entered values; false stops the save (the override shows
    // its own message). The base accepts everything.
    virtual bool ValidateRecord();
    // The text of the box being typed in goes into the row; then
    // ValidateRecord, then BeforePost and the Post of AdoqEdit inside one
    // transaction. A failed check or a failed save ends with EAbort (after
    // "存盘失败！" and a rollback for the latter); the row stays in insert
    // or edit state.
    virtual void SaveRecord();
    // Derived columns and side updates, run inside the save transaction.
    virtual void BeforePost();

    virtual void BtSaveAddClick(TObject* Sender);
    virtual void BtSaveExitClick(TObject* Sender);
    virtual void BtCancelExitClick(TObject* Sender);
    virtual void FormClose(TObject* Sender, TCloseAction& Action);

    TPanel* Panel1;
    TButton* BtSaveAdd;
    TButton* BtSaveExit;
    TButton* BtCancelExit;
    TADOQuery* AdoqEdit;
    TDataSource* DSEdit;
    TADOQuery* Adoqtemp;

    // 1 = add a new row; anything else = edit the row KeyField = KeyValue.
    uint8_t EditMode = 0;
    std::string KeyField;
    std::string KeyValue;

private:
    void cancelPending();
};
