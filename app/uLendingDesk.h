// What the book desk and the periodical desk do alike, on their own
// tables: the modes, loading a reader's bill, the lines a scanned or
// double-clicked code adds or marks, and the three saves. The desks
// (uBorrowBill, uBorrowBill1) only pick the item kind and their modes.
// Not a window of its own: a class between the desk base and the two
// desks, so that each desk stays a distinct window class.
#pragma once

#include "uMDIBase.h"

enum TDeskMode { dmBorrow, dmRenew, dmReturn };

class TLendingDesk : public TMDIBase {
public:
    std::string ClassName() const override { return "TLendingDesk"; }

    void InitForm() override;
    void AddItem() override;
    bool CanSave() override;
    void LoadReader() override;
    void BtSaveClick(TObject* Sender) override;
    void BtClearClick(TObject* Sender) override;
    void SbtBookClick(TObject* Sender) override;
    void SbtDestClick(TObject* Sender) override;
    void DBGrid1DblClick(TObject* Sender) override;
    void N1Click(TObject* Sender) override;

    // Selects the mode's button and texts, clears the desk and rebuilds
    // the columns. A mode the desk does not have changes nothing.
    void SetMode(TDeskMode mode);
    TDeskMode Mode() const;

    void AddBorrowLine();
    void AddRenewLine();
    void AddReturnLine();
    void SaveBorrowBill();
    void SaveRenewBill();
    void SaveReturnBill();

    // The statement that loaded the current reader's bill.
    TBoundSql BillSql;

protected:
    TLendingDesk(TComponent* AOwner, TItemKind kind);
    // The statement of the reader's bill in the current mode.
    TBoundSql BillStatement(const std::string& reader) const;
    // The item lookup: the chosen code, "" when cancelled.
    std::string PickItem();

private:
    void setModeTexts(TDeskMode mode, bool initial);
    // Finds the open loan of the scanned code, loading its borrower when
    // the reader box is empty; refuses with the mode's message.
    void findLoanForScan(const std::string& code);
    // Locates the bill line of a code (letter case ignored).
    bool locateLine(const std::string& code);
    void markRenewed();
    void markReturned();
    void resortBill();
    // Whether the bill holds a new-loan or reservation line.
    bool hasNewBorrowLine() const;
    void appendLine(const std::string& code, const char* state, const TItemInfo& item, bool withDueDate);
    TDeskMode mode_ = dmBorrow;
    bool started_ = false;
    bool switching_ = false;
};
