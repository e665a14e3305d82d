// Circulation rules and the statements of the desks' saves. Every code and
// name enters SQL through QuotedStr: barcodes and reader names are typed or
// scanned text and may hold a quote.
#include "Circulation.h"

#include "ADODB.h"
#include "SysUtils.h"

namespace {

const TCircTables kBookTables{"Borrowinfo", "Bookinfo", "BookQty", "Overdue", "times"};
const TCircTables kMagzTables{"Borrowinfo1", "Magzinfo", "BookQty1", "Overdue1", "times1"};

// A query opened on the statement, closed when it goes out of scope.
class TLookup {
public:
    TLookup(TADOConnection* c, const std::string& sql) {
        q_.SetConnection(c);
        q_.SQL()->SetText(sql);
        q_.Open();
    }
    bool Empty() const { return q_.IsEmpty(); }
    TField* operator[](const std::string& name) const { return q_.FieldByName(name); }
    std::string Text(const std::string& name) const { return q_.FieldByName(name)->AsString(); }

private:
    TADOQuery q_;
};

std::string Q(const std::string& s) { return QuotedStr(s); }

// Runs the body inside one transaction, rolling every statement back when
// it throws.
template <class Body>
void InTransaction(TADOConnection* c, Body body) {
    if (!c->Connected()) c->Open();
    c->BeginTrans();
    try {
        body();
        c->CommitTrans();
    } catch (...) {
        if (c->InTransaction()) c->RollbackTrans();
        throw;
    }
}

std::string ItemConflictText(const std::string& code, const char* what) {
    return "此书(" + code + ")" + what + ",本次存盘已全部取消！";
}

} // namespace

const TCircTables& CircTables(TItemKind kind) { return kind == TItemKind::Book ? kBookTables : kMagzTables; }

int OverdueDays(TDateTime due, TDateTime returnedOn) {
    if (due.Val >= returnedOn.Val) return 0;
    return int(Trunc(returnedOn.Val - due.Val));
}

Currency OverdueFine(int days, Currency perDay, bool chargeFines) {
    if (!chargeFines) return Currency();
    return Currency(days) * perDay;
}

TDateTime DueDate(TDateTime from, int loanDays) { return TDateTime(from.Val + loanDays); }

std::string SqlDate(TDateTime d) { return DateToStr(d); }

TBorrowVerdict CheckBorrow(TADOConnection* c, TItemKind kind, const TBorrowScan& scan, TItemInfo& item) {
    const TCircTables& t = CircTables(kind);
    if (scan.LoanCount >= scan.LoanLimit) return TBorrowVerdict::LimitReached;
    if (scan.InBill) return TBorrowVerdict::AlreadyInBill;
    const std::string K = Q(scan.Code), R = Q(scan.Reader);
    {
        TLookup it(c, std::string("select * from ") + t.Items + " where code=" + K);
        if (it.Empty()) return TBorrowVerdict::NoSuchItem;
        if (it.Text("islimit") == CircWord::Restricted && scan.ReaderIsLimit) return TBorrowVerdict::Restricted;
        if (it.Text("isOut") == CircWord::WrittenOff) return TBorrowVerdict::WrittenOff;
        item = TItemInfo{};
        item.Name = it.Text("Name");
        item.Publisher = it.Text("Publisher");
        item.Sortcode = it.Text("Sortcode");
        item.Price = Currency::FromDouble(it["BookPrice"]->AsFloat());
        if (kind == TItemKind::Periodical) {
            item.Writer = it.Text("Writer");
            item.Orderyear = it.Text("Orderyear");
            item.PeriodNo = it.Text("PeriodNo");
            item.ZPeriodNo = it.Text("ZPeriodNo");
            item.PeriodSt = it.Text("PeriodSt");
        }
    }
    const std::string loans = std::string("select * from ") + t.Loans + " where code=" + K;
    {
        TLookup open(c, loans + " and State='未还'");
        if (!open.Empty()) {
            item.OpenLoanDue = open.Text("ReturnDate");
            return TBorrowVerdict::AskReserve;
        }
    }
    if (!TLookup(c, loans + " and State='预约' and Rcode<>" + R).Empty()) return TBorrowVerdict::ReservedByOther;
    if (!TLookup(c, loans + " and Rcode=" + R).Empty()) return TBorrowVerdict::AskLendAgain;
    return TBorrowVerdict::Lend;
}

std::string BorrowRefusalText(TBorrowVerdict v, int loanLimit) {
    switch (v) {
    case TBorrowVerdict::LimitReached: return "借书数量超出" + IntToStr(loanLimit) + "本,不能再借!";
    case TBorrowVerdict::NoSuchItem: return "无此编号图书,请重新输入!";
    case TBorrowVerdict::Restricted: return "此读者被限制借出此书!";
    case TBorrowVerdict::WrittenOff: return "此书已经报废,不能借出!";
    case TBorrowVerdict::ReservedByOther: return "此书已经被他人预约,不能借出!";
    default: return "";
    }
}

TOpenLoan FindOpenLoan(TADOConnection* c, TItemKind kind, const std::string& code, const std::string& reader) {
    std::string sql = std::string("select * from ") + CircTables(kind).Loans + " where code=" + Q(code);
    if (!reader.empty()) sql += " and Rcode=" + Q(reader);
    TLookup q(c, sql + " and state='未还'");
    TOpenLoan loan;
    if (q.Empty()) return loan;
    loan.Found = true;
    loan.Reader = q.Text("Rcode");
    loan.ReturnDate = q["ReturnDate"]->AsDateTime();
    loan.RenewTimes = q["RenewTimes"]->AsInteger();
    return loan;
}

TRenewVerdict CheckRenew(TADOConnection* c, TItemKind kind, const std::string& code, const std::string& reader,
                         TDateTime today, int renewLimit, int& renewTimes) {
    const std::string loans = std::string("select * from ") + CircTables(kind).Loans + " where code=" + Q(code);
    {
        TLookup res(c, loans + " and state='预约' order by BorrowDate");
        if (!res.Empty() && !AnsiSameText(res.Text("RCode"), reader)) return TRenewVerdict::ReservedByOther;
    }
    TLookup open(c, loans + " and state='未还'");
    if (open.Empty()) return TRenewVerdict::NotLent;
    renewTimes = open["RenewTimes"]->AsInteger();
    if (open["ReturnDate"]->AsDateTime().Val < today.Val) return TRenewVerdict::Overdue;
    if (renewTimes + 1 > renewLimit) return TRenewVerdict::LimitReached;
    return TRenewVerdict::Renew;
}

void SaveBorrowBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    const std::string R = Q(bill.Reader), N = Q(bill.ReaderName), Op = Q(bill.Operator);
    InTransaction(c, [&] {
        for (const TBillLine& line : bill.Lines) {
            const std::string K = Q(line.Code);
            const std::string borrowed = Q(SqlDate(line.BorrowDate));
            if (line.State == CircWord::NewLoan) {
                c->Execute(std::string("delete from ") + t.Loans + " where Rcode=" + R + " and Code=" + K +
                           " and State='预约'");
                // The item must still exist, and no desk may have lent it
                // since the scan: both are checked here, under the write lock.
                if (c->Execute(std::string("update ") + t.Items + " set isout='外借',times=times+1,Borrowman=" + N +
                               ",BorrowDate=" + borrowed + " where Code=" + K) == 0)
                    throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已不存在"));
                c->Execute(std::string("update Readerinfo set ") + t.ReaderQty + "=" + t.ReaderQty +
                           "+1 where Code=" + R);
                if (c->Execute(std::string("insert into ") + t.Loans +
                               "(Code,Rcode,State,BorrowDate,ReturnDate,Operator) select " + K + "," + R + ",'未还'," +
                               borrowed + "," + Q(SqlDate(line.ReturnDate)) + "," + Op +
                               " where not exists (select 1 from " + t.Loans + " where Code=" + K +
                               " and State='未还')") != 1)
                    throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已经被借出"));
            } else if (line.State == CircWord::Reserved) {
                c->Execute(std::string("insert into ") + t.Loans + "(Code,Rcode,State,BorrowDate,Operator) values(" +
                           K + "," + R + ",'预约'," + borrowed + "," + Op + ")");
            }
        }
        c->Execute(std::string("update Readerinfo set ") + t.ReaderTimes + "=" + t.ReaderTimes +
                   "+1,BorrowDate=" + Q(SqlDate(bill.BusinessDate)) + " where Code=" + R);
    });
}

void SaveRenewBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    InTransaction(c, [&] {
        for (const TBillLine& line : bill.Lines) {
            if (line.State != CircWord::Renewed) continue;
            const std::string K = Q(line.Code);
            c->Execute(std::string("update ") + t.Items + " set times=times+1 where Code=" + K);
            if (c->Execute(std::string("update ") + t.Loans + " set Renewdate=#" + SqlDate(line.RenewDate) +
                           "# , ReturnDate=#" + SqlDate(line.ReturnDate) + "#,RenewTimes=RenewTimes+1 where Code=" + K +
                           " and State='未还' and Rcode=" + Q(bill.Reader)) == 0)
                throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已经归还"));
        }
    });
}

std::vector<std::string> SaveReturnBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    const std::string R = Q(bill.Reader);
    std::vector<std::string> returned;
    InTransaction(c, [&] {
        for (const TBillLine& line : bill.Lines) {
            if (line.State != CircWord::NewReturn) continue;
            const std::string K = Q(line.Code);
            c->Execute(std::string("update ") + t.Items + " set IsOut='',Borrowman='' where Code=" + K);
            c->Execute(std::string("update Readerinfo set ") + t.ReaderQty + "=" + t.ReaderQty + "-1 where Code=" + R);
            if (line.ExceedDay > 0)
                c->Execute(std::string("update Readerinfo set ") + t.ReaderOverdue + "=" + t.ReaderOverdue +
                           "+1 where Code=" + R);
            // A loan another desk returned meanwhile must not lower the
            // reader's count a second time.
            if (c->Execute(std::string("update ") + t.Loans +
                           " set State='已还',ReturnDate=" + Q(SqlDate(line.ReturnDate)) +
                           ",ExceedDay=" + IntToStr(line.ExceedDay) + ",ExceedFund=" + CurrToStr(line.ExceedFund) +
                           " where Code=" + K + " and State='未还' and Rcode=" + R) == 0)
                throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已经归还"));
            returned.push_back(line.Code);
        }
    });
    return returned;
}

std::string ReturnedCodeList(const std::vector<std::string>& codes) {
    std::string list;
    for (const std::string& k : codes) list += (list.empty() ? " a.Code=" : " or a.Code=") + Q(k);
    return list;
}

bool HasWaitingReservations(TADOConnection* c, TItemKind kind, const std::string& codeList) {
    if (codeList.empty()) return false;
    return !TLookup(c, std::string("select * from ") + CircTables(kind).Loans + " a  where State='预约' and (" +
                           codeList + ")")
                .Empty();
}

namespace {

std::string ReservationSelect(TItemKind kind) {
    if (kind == TItemKind::Book)
        return "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate from (Borrowinfo a "
               "left join Bookinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code ";
    return "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate,b.Orderyear,b.PeriodNo "
           "from (Borrowinfo1 a left join Magzinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code ";
}

} // namespace

std::string ReservationListSql(TItemKind kind, const std::string& reader) {
    if (reader.empty()) return ReservationSelect(kind) + "where a.State='预约' order by a.BorrowDate";
    return ReservationSelect(kind) + "where a.Rcode=" + Q(reader) + " and a.State='预约' order by a.BorrowDate";
}

std::string ReservationsOfCodesSql(TItemKind kind, const std::string& codeList) {
    return ReservationSelect(kind) + "where a.State='预约' and (" + codeList + ") order by a.BorrowDate";
}

std::string ReservationSearchSql(TItemKind kind, const std::string& text) {
    return ReservationSelect(kind) + "where a.State='预约' and (a.code=" + Q(text) + " or b.Name like " +
           Q("%" + text + "%") + ")  order by a.BorrowDate";
}

std::string OverdueListSql(TItemKind kind, TDateTime today) {
    return std::string("select * from ") + (kind == TItemKind::Book ? "QryBorrow" : "QryBorrow1") +
           " where State='未还' and ReturnDate<#" + SqlDate(today) + "#";
}
