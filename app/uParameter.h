// The settings window: the single AcctInfo row, copied into the logged-in
// settings when confirmed; and two maintenance tasks on its third page:
// filling missing input codes of books, periodicals and readers from
// "Ime.DCT", and the data upgrade from an older database file of this
// system (opened through a second connection). The upgrade replaces each
// common table in one transaction of its own, so a failure leaves that
// table as it was, and brings the classification over when the current
// one is empty, since the shipped database holds none.
#pragma once

#include "uBaseD.h"

#include "ADODB.h"

#include <functional>
#include "SchemaUpgrade.h"

#include <string>
#include <vector>

class TPageControl;
class TTabSheet;
class TDBEdit;
class TDBCheckBox;
class TDBNumberEditEh;
class TEdit;
class TSpeedButton;
class TCheckBox;
class TButton;
class TProgressBar;
class TBitBtn;
class TADOQuery;
class TDataSource;
class TOpenDialog;
class TLabel;

// Which kinds the regeneration fills.
struct TInputCodeKinds {
    bool Books = false;
    bool Periodicals = false;
    bool Readers = false;
};
// Progress of a long task: position and maximum.
using TProgressFn = std::function<void(int position, int max)>;

// Fills PY, WBH and WB from the name for the rows whose Name is not empty
// and whose PY is null or empty: at most 100000 books and 100000
// periodicals in code order, every reader. One transaction for each kind.
// Returns the rows filled.
int RegenerateInputCodes(TADOConnection* c, TInputCodeKinds kinds, const TProgressFn& progress = nullptr);

// The tables an upgrade takes from the older database: those both have
// (letter case ignored) except the saved queries (QRY...), the layout
// tables and the engine's own; Type only while the current one is empty.
std::vector<std::string> UpgradeTables(TADOConnection* current, TADOConnection* older);

// The outcome of an upgrade: the tables replaced, those left as they
// were because their copy failed, and the item codes the copied rows share
// (SchemaUpgrade.h).
struct TUpgradeResult {
    std::vector<std::string> Copied;
    std::vector<std::string> Failed;
    std::vector<TDuplicateCodes> Duplicates;
};
// For each table of UpgradeTables, in one transaction: deletes the
// current rows and copies every older row's columns that the current
// table also has, except Id (numbered afresh). Items that share a code in
// the older file come over all the same, and their code index stays plain
// until the duplicates are mended.
TUpgradeResult UpgradeData(TADOConnection* current, TADOConnection* older, const TProgressFn& progress = nullptr);

class TFrmParameter : public TFrmBaseD {
public:
    explicit TFrmParameter(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmParameter"; }

    void InitForm() override;
    void FormShow(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BtSaveClick(TObject* Sender);
    void BtCloseClick(TObject* Sender);
    void DBChkFineClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void BitBtn1Click(TObject* Sender);

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TTabSheet* TabSheet3;
    TDBEdit* DBEditCorpName;
    TDBEdit* DBEditTel;
    TDBEdit* DBEditFax;
    TDBEdit* DBEditAddr;
    TDBEdit* DBEditRemarks;
    TDBCheckBox* DBChkFine;
    TDBCheckBox* DBChkExcced;
    TDBCheckBox* DBChkRepeat;
    TDBNumberEditEh* EditPerFine;
    TDBNumberEditEh* DBNumberEditEh1;
    TDBEdit* EditDay;
    TEdit* EdtPath;
    TSpeedButton* SpeedButton2;
    TLabel* LbUpgrade;
    TCheckBox* ChkBook;
    TCheckBox* ChkMagz;
    TCheckBox* ChkReader;
    TButton* Button1;
    TProgressBar* Pb1;
    TBitBtn* BitBtn1;
    TButton* BtSave;
    TButton* BtClose;
    TADOQuery* ADOQuery1;
    TDataSource* DataSource1;
    TADOConnection* adosConnection;
    TOpenDialog* odgSData;
};
