// The conditions of the query windows (loans, returns, operators,
// rankings, daily and overdue lists) as statements with bound values: what
// the operator types is matched as typed, a quote or a % included; an
// empty threshold box counts as 0; and a cancelled condition dialog leaves
// the window's condition as it was. The query windows and their dialogs
// call these; tests run the statements on a database.
// Not here: the dialogs and windows themselves.
#pragma once

#include "ADODB.h"
#include "System.h"

#include <string>

// What a loan, return or operator condition dialog holds when confirmed.
// Empty texts add no condition.
struct TLoanCondition {
    TDateTime From = 0;
    TDateTime To = 0;
    std::string Reader;     // contained in Rcode
    std::string Item;       // contained in Code
    std::string Department; // equal to Department
    std::string Operator;   // contained in Operator
    enum TState { All, Open, Returned } State = All;
};

// The loan dialog's condition: BorrowDate within From..To (both
// included), reader, item, department and state.
TBoundSql BorrowWhere(const TLoanCondition& c);
// The return dialog's: ReturnDate within From..To, reader, department, item.
TBoundSql LentWhere(const TLoanCondition& c);
// The operator dialog's: BorrowDate within From..To, operator, item.
TBoundSql OperatorWhere(const TLoanCondition& c);
// "借书日期: 从2011-05-01 到 2011-05-15" (prefix "借书日期" or "还书日期").
std::string DateRangeCaption(const std::string& prefix, TDateTime from, TDateTime to);

// A query window's current condition and the line shown for it.
struct TQueryCondition {
    TBoundSql Where;
    std::string Caption;
};
// The condition after a condition dialog closed: the dialog's when it was
// confirmed, else the previous one unchanged.
TQueryCondition NextCondition(const TQueryCondition& previous, bool confirmed, const TQueryCondition& fromDialog);
// statement + " " + condition: the statement ends with "where" or "and".
TBoundSql WithCondition(const std::string& statement, const TBoundSql& where);

// A threshold box's number: empty or not a whole number counts as 0, and
// so does a negative one.
int ThresholdValue(const std::string& text);

// The reader ranking (books, or periodicals): every reader with at least
// minLoans loans dated From..To (any state) and at least minOverdue overdue
// returns, ordered by the reader's items on loan now, highest first (ties
// by code); OrderId numbers the rows in that order.
TBoundSql ReaderRankingSql(bool periodicals, TDateTime from, TDateTime to, int minLoans, int minOverdue);
// The item ranking: every item lent at least minLoans times From..To,
// most lent first (ties by code), numbered in OrderId.
TBoundSql ItemRankingSql(bool periodicals, TDateTime from, TDateTime to, int minLoans);
// "借阅本数>=3 逾期本数>=1" and "借阅次数>=2".
std::string ReaderThresholdLine(int minLoans, int minOverdue);
std::string ItemThresholdLine(int minLoans);

// The daily lists.
enum class TDailyList { Loans, Returns, Intake, WriteOffs };
TBoundSql DailyListSql(TDailyList list, bool periodicals, TDateTime day);
// The overdue query: open loans past due on day (or due that day), of one
// department when it is not empty.
TBoundSql OverdueQuerySql(bool periodicals, bool pastDue, TDateTime day, const std::string& department);
// "日期: 2011-05-15".
std::string DayCaption(TDateTime day);

// The classes of one level of the classification: the children of
// parentKey ("00" for the top level). Each class counts its own rows and
// those of all its descendants, whose keys begin with its key followed by
// whole four-character steps; so a level of keys of any length (the "00"
// and four digits of new top-level classes beside older four-character
// ones) is grouped right, and a class without rows shows 0.
// Loans by class, loan dates from..to: Sortcode, Sortname, BookQty (all
// loans), BeQty (returned), NotQty (still out).
TBoundSql ClassLoanStatsSql(bool periodicals, const std::string& parentKey, TDateTime from, TDateTime to);
// Holdings by class: Sortcode, Sortname, BookQty (copies), BookSum (their
// prices); state "在馆" (in the library: no state, empty, or anything but
// on loan and written off), "外借", "报废", or "" for every copy.
TBoundSql ClassHoldingsSql(bool periodicals, const std::string& parentKey, const std::string& state);
