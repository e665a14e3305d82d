// Clearing old data in one of three scopes: everything but the
// classification, publishers, pre-catalogue and administration tables; all
// loan records; or the returned loans of a date range. It asks OK/Cancel
// first, runs the scope's statements in one transaction, and the
// loans-only scope also resets what the loans left behind (the items'
// state and borrower, the readers' loan counts), so no reader stays at a
// loan limit of loans that no longer exist.
#pragma once

#include "uBaseD.h"

#include "ADODB.h"

#include <vector>

class TLabel;
class TRadioButton;
class TPanel;
class TDateTimePicker;
class TBitBtn;
class TProgressBar;

enum class TClearScope { Everything = 1, AllLoans = 2, ReturnedLoans = 3 };

// One statement of a scope and the progress position shown before it.
struct TClearStep {
    int Progress;
    TBoundSql Sql;
};
// The statements of a scope in their order; from and to (both included)
// matter only to ReturnedLoans.
std::vector<TClearStep> ClearDataSteps(TClearScope scope, TDateTime from, TDateTime to);

// The last day of the month before the business date's, and 30 days before
// it: where the date pickers start.
void DefaultClearDates(TDateTime businessDate, TDateTime& from, TDateTime& to);

class TFrmClearData : public TFrmBaseD {
public:
    explicit TFrmClearData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmClearData"; }

    void InitForm() override;
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);

    TLabel* Label1;
    TRadioButton* Radio1;
    TRadioButton* Radio2;
    TRadioButton* Radio3;
    TPanel* Panel1;
    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
    TProgressBar* ProgressBar1;

    TClearScope Scope() const;
};
