// The reader contact card: code, name, e-mail with a send button,
// department, address and the phone lines the caller writes into Memo1.
// Every caller (desks, reservation and overdue lists) opens it through
// ShowReaderDetail. Not here: editing a reader (the reader list).
#pragma once

#include "uBaseD.h"

class TADOQuery;
class TEdit;
class TMemo;
class TButton;
class TPanel;

class TFrmReaderDetail : public TFrmBaseD {
public:
    explicit TFrmReaderDetail(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderDetail"; }
    void InitForm() override;
    // Shows the current row of ADOqReader in the boxes.
    void ShowRow();
    void BtMailClick(TObject* Sender);

    TADOQuery* ADOqReader;
    TPanel* Panel1;
    TEdit* EditCode;
    TEdit* EditName;
    TEdit* EditMail;
    TButton* BtMail;
    TEdit* EditDept;
    TMemo* MemoAddr;
    TMemo* Memo1;
    TButton* BtClose;
};

// Opens the card of one reader modally: the three phone lines
// "电话(日):", "电话(夜):", "手机:" followed by the reader's numbers.
void ShowReaderDetail(const std::string& readerCode);
