// The rules of lending, reservation, renewal and return that both desks
// share: overdue days, fines, due dates, the tests a scanned code passes,
// and the statements of the three saves. Everything here runs on a
// connection without a window, so tests and benchmarks call it directly.
// Not here: the bill grid, messages and focus (uMDIBase, uBorrowBill,
// uBorrowBill1), which turn the verdicts below into the desk's texts.
#pragma once

#include "ADODB.h"
#include "System.h"

#include <string>
#include <vector>

// The words stored in loan rows and item rows, and shown on desk lines.
namespace CircWord {
inline constexpr const char* Open = "未还";
inline constexpr const char* Returned = "已还";
inline constexpr const char* Reserved = "预约";
inline constexpr const char* NewLoan = "新借";
inline constexpr const char* Renewed = "续借";
inline constexpr const char* NewReturn = "新还";
inline constexpr const char* OnLoan = "外借";
inline constexpr const char* WrittenOff = "报废";
inline constexpr const char* Restricted = "限制";
} // namespace CircWord

// Books and periodicals keep the same columns in parallel tables.
enum class TItemKind { Book, Periodical };

struct TCircTables {
    const char* Loans;         // "Borrowinfo" / "Borrowinfo1"
    const char* Items;         // "Bookinfo" / "Magzinfo"
    const char* ReaderQty;     // "BookQty" / "BookQty1"
    const char* ReaderOverdue; // "Overdue" / "Overdue1"
    const char* ReaderTimes;   // "times" / "times1"
    const char* TypeLimit;     // the reader type's loan limit: "CeQty" / "CeQty1"
};
const TCircTables& CircTables(TItemKind kind);

// Overdue days of a loan due on `due` and returned on `returnedOn`: 0 when
// due on or after that day, else the whole days between them.
int OverdueDays(TDateTime due, TDateTime returnedOn);
// days x perDay, exactly, when fines are charged; 0 otherwise.
Currency OverdueFine(int days, Currency perDay, bool chargeFines);
// The due date of a loan made (or renewed) on `from` for `loanDays` days.
TDateTime DueDate(TDateTime from, int loanDays);
// A date as the desks show it: "yyyy-MM-dd".
std::string SqlDate(TDateTime d);

// ---------------------------------------------------------------- lending

// What a code scanned at a borrow desk leads to, in the order tested.
enum class TBorrowVerdict {
    LimitReached,    // "借书数量超出" + limit + "本,不能再借!"
    AlreadyInBill,   // silent
    NoSuchItem,      // "无此编号图书,请重新输入!"
    Restricted,      // "此读者被限制借出此书!"
    WrittenOff,      // "此书已经报废,不能借出!"
    ReservedByOther, // "此书已经被他人预约,不能借出!"
    AskLendAgain,    // in the library, the reader had it before: ask, then lend
    Lend,            // in the library: a new loan line
    AskReserve,      // on loan: ask, then a reservation line
};

struct TBorrowScan {
    std::string Code;   // the scanned item code
    std::string Reader; // the reader code box
    int LoanCount = 0;
    int LoanLimit = 0;
    bool ReaderIsLimit = false;
    bool InBill = false; // the bill already holds a line with this code
};

// The columns of the item a desk copies into its line.
struct TItemInfo {
    std::string Name, Publisher, Sortcode;
    std::string Writer, Orderyear, PeriodNo, ZPeriodNo, PeriodSt; // periodicals
    Currency Price;
    std::string OpenLoanDue; // due date text of the item's open loan (AskReserve)
};

// Runs the lending tests in order, with at most four look-ups, and stops
// at the first that decides. `item` is filled once the item is found.
// Raises EDatabaseError when a look-up fails.
TBorrowVerdict CheckBorrow(TADOConnection* c, TItemKind kind, const TBorrowScan& scan, TItemInfo& item);
// The refusal text of a verdict ("" for the silent and the passing ones).
std::string BorrowRefusalText(TBorrowVerdict v, int loanLimit);

// ------------------------------------------------------ renewal and return

struct TOpenLoan {
    bool Found = false;
    std::string Reader;
    TDateTime ReturnDate;
    int RenewTimes = 0;
};
// The open loan of an item; with a reader code, only that reader's.
TOpenLoan FindOpenLoan(TADOConnection* c, TItemKind kind, const std::string& code, const std::string& reader);

// NotLent: the loan was returned (by another desk) since it was found.
enum class TRenewVerdict { NotLent, ReservedByOther, Overdue, LimitReached, Renew };
// The renewal tests after the loan was found: the earliest reservation
// must be the reader's own (or none), the loan not yet overdue on
// `today`, and the renewals below `renewLimit`. `renewTimes` receives the
// loan's renewals so far.
TRenewVerdict CheckRenew(TADOConnection* c, TItemKind kind, const std::string& code, const std::string& reader,
                         TDateTime today, int renewLimit, int& renewTimes);

// ------------------------------------------------------------------ saves

// One line of a bill as the saves read it.
struct TBillLine {
    std::string Code;
    std::string State; // "新借", "预约", "续借", "新还" are saved; others skipped
    TDateTime BorrowDate, ReturnDate, RenewDate;
    int ExceedDay = 0;
    Currency ExceedFund;
};

struct TBill {
    TItemKind Kind = TItemKind::Book;
    std::string Reader, ReaderName, Operator;
    TDateTime BusinessDate;
    std::vector<TBillLine> Lines;
};

// Something another desk did between the scan and the save makes a line
// impossible: it lent, returned, renewed or wrote off the item, or
// suspended the reader, or the reader reached the loan limit. The message
// names the item, so the operator knows which line to drop.
class ELoanConflict : public Exception {
public:
    ELoanConflict(const std::string& code, const std::string& message) : Exception(message), Code(code) {}
    std::string Code;
};

// Each save is one transaction on `c`: every statement of the bill or
// none. Under the transaction's write lock it re-checks what the scan saw,
// reading the database as it is now:
//   lending   the item still exists, is not written off ("报废") and has
//             no open loan; the reader is not suspended; the reader's open
//             loans stay within the reader type's limit (CeQty / CeQty1);
//   renewal   the loan is still open, below the type's renewal limit
//             (RenewTime), and the reader is not suspended;
//   return    the loan is still open.
// Raises ELoanConflict naming the first item that fails, or the
// statement's EDatabaseError, after rolling back: nothing of the bill is
// written then. Opens a closed connection first.
void SaveBorrowBill(TADOConnection* c, const TBill& bill);
void SaveRenewBill(TADOConnection* c, const TBill& bill);
// Returns the codes returned, in bill order.
std::vector<std::string> SaveReturnBill(TADOConnection* c, const TBill& bill);

// Whether any of the returned items has a waiting reservation.
bool HasWaitingReservations(TADOConnection* c, TItemKind kind, const std::vector<std::string>& codes);

// ------------------------------------------------------------- statements

// The reservation-list statements and their values: of one reader, of
// everyone (reader ""), of returned items, and of a search text (the code,
// or a part of the name, "%" and "_" in it being only characters).
TBoundSql ReservationListSql(TItemKind kind, const std::string& reader);
TBoundSql ReservationsOfCodesSql(TItemKind kind, const std::vector<std::string>& codes);
TBoundSql ReservationSearchSql(TItemKind kind, const std::string& text);
// Open loans due before `today`.
TBoundSql OverdueListSql(TItemKind kind, TDateTime today);
