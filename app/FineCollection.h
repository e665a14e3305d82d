// The rules of collecting a fine, as plain functions the two fine windows
// share: what is due, what a deduction of days leaves, whether it may be
// paid, and the statements (values bound, so an amount is written as a
// number whatever the display format). Not here: the windows.
#pragma once

#include "ADODB.h"
#include "Circulation.h"
#include "System.h"

#include <string>

// The returned loans of a reader with a fine not paid yet.
TBoundSql UnpaidFinesSql(TItemKind kind, const std::string& reader);

// What a payment comes to: due = overdue days x rate, deducted = deducted
// days x rate, real = due - deducted.
struct TFineAmounts {
    Currency Due;
    Currency Deducted;
    Currency Real;
};
TFineAmounts FineAmounts(int overdueDays, int deductedDays, Currency perDay);

// Why a payment may not go ahead ("" when it may), tested in this order:
// no reader, no loan picked, nothing due, more deducted than due.
std::string FineRefusal(const std::string& reader, const std::string& item, const TFineAmounts& amounts);

// Marks the loan paid with the amount collected; it must still be the
// reader's returned, unpaid loan.
TBoundSql FinePaymentSql(TItemKind kind, const std::string& reader, int loanId, Currency real);
