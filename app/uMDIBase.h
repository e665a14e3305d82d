// The lending desk base: toolbar, mode buttons, reader panel, item-code
// entry, the bill grid over an in-memory bill, the count box and the key
// map that the book and periodical desks share. What a scanned code does
// and what a save writes belong to the desks (AddItem, CanSave, LoadReader
// and SetupColumns are theirs to extend); the rules live in Circulation.h.
//
// Desk states (the bill is AdoqData):
//
//   no reader --LoadReader--> reader shown, bill = reader's loans
//       ^                        |  AddItem: lines added / marked
//       |                        v
//       +--BtClearClick-- bill with desk lines --save ok--> BtClearClick
//                                 (a failed save keeps the bill as it is)
//
// Invariant: the count box equals the number of lines added or marked in
// this bill (new loans, renewals or returns; never reservations), and
// LoanCount equals the reader's loaded loans plus the new-loan lines.
#pragma once

#include "uBaseD.h"
#include "Circulation.h"

#include <functional>
#include <string>

class TPanel;
class TBitBtn;
class TSpeedButton;
class TRadioButton;
class TActionList;
class TAction;
class TEdit;
class TLabel;
class TImage;
class TDBGrid;
class TDataSource;
class TADOQuery;
class TADOCommand;
class TPopupMenu;
class TMenuItem;
class TDBNumberEditEh;

class TMDIBase : public TFrmBaseD {
public:
    explicit TMDIBase(TComponent* AOwner);
    ~TMDIBase() override;
    std::string ClassName() const override { return "TMDIBase"; }

    void InitForm() override;
    // Processes the code just entered in EditBCode.
    virtual void AddItem();
    // Validation before a save; false stops it (the desk shows why).
    virtual bool CanSave();
    // Loads the reader whose code is in EditRCode: panel, photo and the
    // limits of the reader's type. Stops early (panel emptied) for an
    // unknown or, outside return mode, a suspended reader.
    virtual void LoadReader();
    // Rebuilds the grid columns from the layout rows of tableCode.
    virtual void SetupColumns(const std::string& tableCode);

    virtual void BtSaveClick(TObject* Sender);
    virtual void BtClearClick(TObject* Sender);
    void BtExitClick(TObject* Sender);
    void BtHelpClick(TObject* Sender);
    void SbtReaderClick(TObject* Sender);
    virtual void SbtBookClick(TObject* Sender);
    virtual void SbtDestClick(TObject* Sender);
    void SbtReaderinfoClick(TObject* Sender);
    void BtInterfaceClick(TObject* Sender);
    virtual void N1Click(TObject* Sender);
    virtual void DBGrid1DblClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormActivate(TObject* Sender) {}
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;

    // The layout editor the F8 button runs (true: confirmed): the
    // program's own editor unless a test puts another in.
    static std::function<bool(const std::string& tableCode)> EditGridLayout;

    std::string HelpTopic;
    std::string BillTableCode;
    std::string KeyColumn;
    bool ReaderIsLimit = false;
    int RenewLimit = 0;
    int LoanLimit = 0;
    int LoanCount = 0;
    int LoanDays = 0;

    TPanel* Panel5;
    TBitBtn* BtSave;
    TBitBtn* BtClear;
    TBitBtn* BtExit;
    TSpeedButton* SbtDest;
    TSpeedButton* SbtReaderinfo;
    TBitBtn* BtInterface;
    TBitBtn* BtHelp;
    TPanel* Panel2;
    TRadioButton* Rb1;
    TRadioButton* Rb2;
    TRadioButton* Rb3;
    TActionList* ActionList1;
    TAction* AtBorrow;
    TAction* AtRenew;
    TAction* AtReturn;
    TPanel* Panel1;
    TEdit* EditRCode;
    TSpeedButton* SbtReader;
    TEdit* EditRName;
    TEdit* EditRsort;
    TEdit* EditDept;
    TEdit* EditCeQty;
    TEdit* EditBeQty;
    TEdit* EditDepo;
    TPanel* PanelPhoto;
    TImage* Image1;
    TLabel* LbBCode;
    TEdit* EditBCode;
    TSpeedButton* SbtBook;
    TLabel* LbHint;
    TDBGrid* DBGrid1;
    TADOQuery* AdoqData;
    TDataSource* DSdata;
    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TPanel* Panel6;
    TLabel* LbQty;
    TDBNumberEditEh* EditQty;
    TLabel* LbBen;
    TADOQuery* Adoqtemp;
    TADOQuery* AdoqTemp1;
    TADOQuery* Adoqueryset;
    TADOCommand* AdoCommSave;

    // The count box as a number ("" reads as 0).
    int QtyValue() const;
    void SetQtyValue(int v);

protected:
    // Books or periodicals: which reader counter the panel shows.
    TItemKind Kind = TItemKind::Book;
    bool BorrowMode() const { return BillTableCode == "Borrowinfo" || BillTableCode == "Borrowinfo1"; }
    bool BillEmpty() const;
    // Deletes the current bill line; a line counted in the box (new loan,
    // renewal, return) lowers the box, a new loan also LoanCount.
    void DeleteBillLine();
    // The bill lines as the saves read them.
    TBill CollectBill() const;
    // Refusal: message, item box emptied, silent abort.
    [[noreturn]] void RefuseItem(const std::string& message);
    // Runs a save body; a conflict names the item, any other failure says
    // "存盘失败！"; both end with a silent abort and keep the bill.
    void RunSave(const std::function<void()>& body);
    // The key map of the boxes and the grid (F-keys are the form's).
    void EditRCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditBCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditBCodeKeyPress(TObject* Sender, char32_t& Key);
    void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void ReadOnlyBoxKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // Leaving a typed box: back to white; a reader code loads its reader.
    void TypedBoxExit(TObject* Sender);
    // The reader lookup: the chosen code, "" when cancelled.
    std::string PickReader();

private:
    void buildToolbar();
    void buildModePanel();
    void buildReaderPanel();
    void buildGridAndFooter();
    void clearReaderPanel();
};
