// The MARC import: appends one pre-catalogue record (BookinfoPre) for each
// record of a MARC file the operator picks (Marc.h reads them). The whole
// file goes in one transaction; a damaged record is skipped and counted,
// never the end of the import, and the closing message says how many were
// imported and which records were skipped.
// Not here: the pre-catalogue list, which opens this dialog and requeries.
#pragma once

#include "uBaseD.h"

#include "ADODB.h"

#include <string>
#include <vector>

class TLabel;
class TEdit;
class TButton;
class TSpeedButton;
class TOpenDialog;

// What an import did: records written, and the numbers (line numbers of a
// one-record-per-line file) of the records skipped as damaged or refused
// by the database. Blank lines are neither.
struct TMarcImportResult {
    int Imported = 0;
    std::vector<int> Skipped;
};

// Appends a BookinfoPre row for every record of the file's bytes, RegDate
// = regDate (date only), inside one transaction that it commits. Raises
// EDatabaseError, writing nothing, when the transaction cannot be had or
// committed.
TMarcImportResult ImportMarc(TADOConnection* c, std::string_view fileBytes, TDateTime regDate);

// The closing message: "导入完成: 共导入 N 条记录。" and, when any were
// skipped, "跳过 M 条损坏的记录(第 a,b,c 行)。" (at most 20 numbers, then "...").
std::string MarcImportMessage(const TMarcImportResult& r);

class TFrmMarcIn : public TFrmBaseD {
public:
    explicit TFrmMarcIn(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMarcIn"; }

    void InitForm() override;
    void SbtFileClick(TObject* Sender);
    // Imports the file named in EditFile, says what it did and closes; an
    // empty or unreadable name is said and the dialog stays.
    void BtConfirmClick(TObject* Sender);
    void BtCancelClick(TObject* Sender);

    TLabel* LbFile;
    TEdit* EditFile;
    TSpeedButton* SbtFile;
    TLabel* Label1;
    TButton* BtConfirm;
    TButton* BtCancel;
    TOpenDialog* ODGSource;
};
