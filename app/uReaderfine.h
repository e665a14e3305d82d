// Fine collection for book loans ("罚款管理"): load a reader, pick one of
// the reader's returned loans with an unpaid fine, deduct days if the
// library allows it, and record the payment in one transaction that must
// mark exactly that loan paid. The amount due is the overdue days at the
// rate in force now. Loading another reader empties the payment boxes and
// the running total. The periodical window (uReaderfine1) adds year and
// issue number. Rules: FineCollection.h.
#pragma once

#include "uBaseD.h"

#include "Circulation.h"
#include "FineCollection.h"

class TPanel;
class TLabel;
class TEdit;
class TSpeedButton;
class TDBGridEh;
class TDBNumberEditEh;
class TBitBtn;
class TDataSource;
class TADOQuery;

class TFrmReaderFine : public TFrmBaseD {
public:
    explicit TFrmReaderFine(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderFine"; }

    void InitForm() override;
    void EditCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SbtReaderClick(TObject* Sender);
    void DBGridEh1DblClick(TObject* Sender);
    void EditMinDayExit(TObject* Sender);
    void EditMinDayKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void BtSaveClick(TObject* Sender);
    void BtCancelClick(TObject* Sender);

    // Loads the reader whose code EditCode holds; false (and a message
    // unless quiet) when there is none.
    bool LoadReader(bool quiet);

    TEdit* EditCode;
    TSpeedButton* SbtReader;
    TEdit* EditName;
    TEdit* EditSax;
    TEdit* EditSortcode;
    TEdit* EditTel;
    TEdit* EditDept;
    TDBGridEh* DBGridEh1;
    TEdit* EditBCode;
    TEdit* EditBName;
    TDBNumberEditEh* EditExceedDay;
    TDBNumberEditEh* Editprice;
    TDBNumberEditEh* EditExceedFund;
    TDBNumberEditEh* EditMinDay;
    TDBNumberEditEh* EditMinFund;
    TDBNumberEditEh* EditRealFund;
    TDBNumberEditEh* EditTotal;
    TEdit* Edityear = nullptr;
    TEdit* EditNo = nullptr;
    TBitBtn* BtSave;
    TBitBtn* BtCancel;
    TDataSource* DataSource1;
    TADOQuery* AdoqFine;

    // The loan picked for payment (0: none).
    int FineLoanId = 0;
    // The fines collected since this reader was loaded.
    Currency Total;

protected:
    TFrmReaderFine(TComponent* AOwner, TItemKind kind);
    TItemKind Kind;

private:
    void clearPayment();
    void showAmounts();
    Currency perDay() const;
    int overdueDays_ = 0;
    TFineAmounts amounts_;
};
