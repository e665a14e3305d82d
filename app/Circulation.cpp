// Circulation rules and the statements of the desks' saves. Every code,
// name, date and amount reaches SQL as a bound value: barcodes and reader
// names are typed or scanned text and may hold a quote or a "%".
#include "Circulation.h"

#include "SysUtils.h"

namespace {

const TCircTables kBookTables{"Borrowinfo", "Bookinfo", "BookQty", "Overdue", "times", "CeQty"};
const TCircTables kMagzTables{"Borrowinfo1", "Magzinfo", "BookQty1", "Overdue1", "times1", "CeQty1"};

std::string ItemConflictText(const std::string& code, const char* what) {
    return "此书(" + code + ")" + what + ",本次存盘已全部取消！";
}

// The first line the save writes: the one a bill-wide refusal names.
const TBillLine* firstSaved(const TBill& bill, std::initializer_list<const char*> states) {
    for (const TBillLine& line : bill.Lines)
        for (const char* s : states)
            if (line.State == s) return &line;
    return nullptr;
}

// A suspension made after the scan stops the whole bill.
void checkReaderActive(TADOConnection* c, const TBill& bill, std::initializer_list<const char*> states) {
    const TBillLine* first = firstSaved(bill, states);
    if (!first) return;
    TRowLookup stopped(c, "select Code from Readerinfo where Code=? and Isstop<>0", {bill.Reader});
    if (!stopped.Empty()) throw ELoanConflict(first->Code, ItemConflictText(first->Code, "的读者已经被停用"));
}

// A reader type's column for the reader; null when the reader has no type.
Variant readerTypeValue(TADOConnection* c, const std::string& reader, const std::string& column) {
    TRowLookup type(c,
                    "select t." + column +
                        " as v from Readerinfo r inner join ReaderType t on r.Sortcode=t.Code "
                        "where r.Code=?",
                    {reader});
    if (type.Empty() || type["v"]->IsNull()) return Null();
    return Variant(type["v"]->AsInteger());
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
    {
        TRowLookup it(c, std::string("select * from ") + t.Items + " where code=?", {scan.Code});
        if (it.Empty()) return TBorrowVerdict::NoSuchItem;
        if (it.Text("islimit") == CircWord::Restricted && scan.ReaderIsLimit) return TBorrowVerdict::Restricted;
        if (it.Text("isOut") == CircWord::WrittenOff) return TBorrowVerdict::WrittenOff;
        item = TItemInfo{};
        item.Name = it.Text("Name");
        item.Publisher = it.Text("Publisher");
        item.Sortcode = it.Text("Sortcode");
        item.Price = it["BookPrice"]->AsCurrency();
        if (kind == TItemKind::Periodical) {
            item.Writer = it.Text("Writer");
            item.Orderyear = it.Text("Orderyear");
            item.PeriodNo = it.Text("PeriodNo");
            item.ZPeriodNo = it.Text("ZPeriodNo");
            item.PeriodSt = it.Text("PeriodSt");
        }
    }
    const std::string loans = std::string("select * from ") + t.Loans + " where code=?";
    {
        TRowLookup open(c, loans + " and State='未还'", {scan.Code});
        if (!open.Empty()) {
            item.OpenLoanDue = open.Text("ReturnDate");
            return TBorrowVerdict::AskReserve;
        }
    }
    if (!TRowLookup(c, loans + " and State='预约' and Rcode<>?", {scan.Code, scan.Reader}).Empty())
        return TBorrowVerdict::ReservedByOther;
    if (!TRowLookup(c, loans + " and Rcode=?", {scan.Code, scan.Reader}).Empty()) return TBorrowVerdict::AskLendAgain;
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
    std::string sql = std::string("select * from ") + CircTables(kind).Loans + " where code=?";
    std::vector<Variant> values{code};
    if (!reader.empty()) {
        sql += " and Rcode=?";
        values.push_back(reader);
    }
    TRowLookup q(c, TBoundSql{sql + " and state='未还'", values});
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
    const std::string loans = std::string("select * from ") + CircTables(kind).Loans + " where code=?";
    {
        TRowLookup res(c, loans + " and state='预约' order by BorrowDate", {code});
        if (!res.Empty() && !AnsiSameText(res.Text("RCode"), reader)) return TRenewVerdict::ReservedByOther;
    }
    TRowLookup open(c, loans + " and state='未还'", {code});
    if (open.Empty()) return TRenewVerdict::NotLent;
    renewTimes = open["RenewTimes"]->AsInteger();
    if (open["ReturnDate"]->AsDateTime().Val < today.Val) return TRenewVerdict::Overdue;
    if (renewTimes + 1 > renewLimit) return TRenewVerdict::LimitReached;
    return TRenewVerdict::Renew;
}

void SaveBorrowBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    if (!c->Connected()) c->Open();
    TTransaction tx(c);
    checkReaderActive(c, bill, {CircWord::NewLoan, CircWord::Reserved});
    const Variant limit = readerTypeValue(c, bill.Reader, t.TypeLimit);
    for (const TBillLine& line : bill.Lines) {
        if (line.State == CircWord::NewLoan) {
            c->Execute(std::string("delete from ") + t.Loans + " where Rcode=? and Code=? and State='预约'",
                       {bill.Reader, line.Code});
            // The item must still exist and not be written off, and no desk
            // may have lent it since the scan: all checked here, under the
            // write lock, before anything of the line is written.
            if (c->Execute(std::string("update ") + t.Items +
                               " set isout='外借',times=times+1,Borrowman=?,BorrowDate=? where Code=? and "
                               "ifnull(isout,'')<>'报废'",
                           {bill.ReaderName, line.BorrowDate, line.Code}) == 0) {
                const bool exists =
                    !TRowLookup(c, std::string("select Code from ") + t.Items + " where Code=?", {line.Code}).Empty();
                throw ELoanConflict(line.Code, ItemConflictText(line.Code, exists ? "已经报废" : "已不存在"));
            }
            c->Execute(std::string("update Readerinfo set ") + t.ReaderQty + "=" + t.ReaderQty + "+1 where Code=?",
                       {bill.Reader});
            if (c->Execute(std::string("insert into ") + t.Loans +
                               "(Code,Rcode,State,BorrowDate,ReturnDate,Operator) select ?,?,'未还',?,?,? where not "
                               "exists (select 1 from " +
                               t.Loans + " where Code=? and State='未还')",
                           {line.Code, bill.Reader, line.BorrowDate, line.ReturnDate, bill.Operator, line.Code}) != 1)
                throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已经被借出"));
            if (!limit.IsNull() && !TRowLookup(c,
                                               std::string("select count(*) from ") + t.Loans +
                                                   " where Rcode=? and State='未还' having count(*)>?",
                                               {bill.Reader, limit})
                                        .Empty())
                throw ELoanConflict(line.Code, ItemConflictText(line.Code, "超出此读者的借书数量"));
        } else if (line.State == CircWord::Reserved) {
            c->Execute(std::string("insert into ") + t.Loans +
                           "(Code,Rcode,State,BorrowDate,Operator) values(?,?,'预约',?,?)",
                       {line.Code, bill.Reader, line.BorrowDate, bill.Operator});
        }
    }
    c->Execute(std::string("update Readerinfo set ") + t.ReaderTimes + "=" + t.ReaderTimes +
                   "+1,BorrowDate=? where Code=?",
               {bill.BusinessDate, bill.Reader});
    tx.Commit();
}

void SaveRenewBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    if (!c->Connected()) c->Open();
    TTransaction tx(c);
    checkReaderActive(c, bill, {CircWord::Renewed});
    const Variant limit = readerTypeValue(c, bill.Reader, "RenewTime");
    for (const TBillLine& line : bill.Lines) {
        if (line.State != CircWord::Renewed) continue;
        // Another desk may have returned or renewed the loan since the
        // scan: the limit is tested against the renewals as they are now.
        std::string sql = std::string("update ") + t.Loans +
                          " set Renewdate=? , ReturnDate=?,RenewTimes=RenewTimes+1 where Code=? and State='未还' and "
                          "Rcode=?";
        std::vector<Variant> values{line.RenewDate, line.ReturnDate, line.Code, bill.Reader};
        if (!limit.IsNull()) {
            sql += " and ifnull(RenewTimes,0)<?";
            values.push_back(limit);
        }
        if (c->Execute(sql, values) == 0) {
            const bool open = FindOpenLoan(c, bill.Kind, line.Code, bill.Reader).Found;
            throw ELoanConflict(line.Code, ItemConflictText(line.Code, open ? "已经达到续借次数" : "已经归还"));
        }
        c->Execute(std::string("update ") + t.Items + " set times=times+1 where Code=?", {line.Code});
    }
    tx.Commit();
}

std::vector<std::string> SaveReturnBill(TADOConnection* c, const TBill& bill) {
    const TCircTables& t = CircTables(bill.Kind);
    std::vector<std::string> returned;
    if (!c->Connected()) c->Open();
    TTransaction tx(c);
    for (const TBillLine& line : bill.Lines) {
        if (line.State != CircWord::NewReturn) continue;
        c->Execute(std::string("update ") + t.Items + " set IsOut='',Borrowman='' where Code=?", {line.Code});
        c->Execute(std::string("update Readerinfo set ") + t.ReaderQty + "=" + t.ReaderQty + "-1 where Code=?",
                   {bill.Reader});
        if (line.ExceedDay > 0)
            c->Execute(std::string("update Readerinfo set ") + t.ReaderOverdue + "=" + t.ReaderOverdue +
                           "+1 where Code=?",
                       {bill.Reader});
        // A loan another desk returned meanwhile must not lower the
        // reader's count a second time.
        if (c->Execute(std::string("update ") + t.Loans +
                           " set State='已还',ReturnDate=?,ExceedDay=?,ExceedFund=? where Code=? and State='未还' and "
                           "Rcode=?",
                       {line.ReturnDate, line.ExceedDay, line.ExceedFund, line.Code, bill.Reader}) == 0)
            throw ELoanConflict(line.Code, ItemConflictText(line.Code, "已经归还"));
        returned.push_back(line.Code);
    }
    tx.Commit();
    return returned;
}

namespace {

// " a.Code=? or a.Code=?" with the codes as its values.
std::string codeAlternatives(const std::vector<std::string>& codes, std::vector<Variant>& values) {
    std::string list;
    for (const std::string& k : codes) {
        list += list.empty() ? " a.Code=?" : " or a.Code=?";
        values.push_back(k);
    }
    return list;
}

std::string ReservationSelect(TItemKind kind) {
    if (kind == TItemKind::Book)
        return "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate from (Borrowinfo a "
               "left join Bookinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code ";
    return "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate,b.Orderyear,b.PeriodNo "
           "from (Borrowinfo1 a left join Magzinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code ";
}

} // namespace

bool HasWaitingReservations(TADOConnection* c, TItemKind kind, const std::vector<std::string>& codes) {
    if (codes.empty()) return false;
    TBoundSql s;
    s.Text = std::string("select * from ") + CircTables(kind).Loans + " a  where State='预约' and (" +
             codeAlternatives(codes, s.Values) + ")";
    return !TRowLookup(c, s).Empty();
}

TBoundSql ReservationListSql(TItemKind kind, const std::string& reader) {
    if (reader.empty()) return {ReservationSelect(kind) + "where a.State='预约' order by a.BorrowDate", {}};
    return {ReservationSelect(kind) + "where a.Rcode=? and a.State='预约' order by a.BorrowDate", {reader}};
}

TBoundSql ReservationsOfCodesSql(TItemKind kind, const std::vector<std::string>& codes) {
    TBoundSql s;
    s.Text = ReservationSelect(kind) + "where a.State='预约' and (" + codeAlternatives(codes, s.Values) +
             ") order by a.BorrowDate";
    return s;
}

TBoundSql ReservationSearchSql(TItemKind kind, const std::string& text) {
    return {ReservationSelect(kind) +
                "where a.State='预约' and (a.code=? or b.Name like ? escape '\\')  order by a.BorrowDate",
            {text, "%" + LikeEscaped(text) + "%"}};
}

TBoundSql OverdueListSql(TItemKind kind, TDateTime today) {
    return {std::string("select * from ") + (kind == TItemKind::Book ? "QryBorrow" : "QryBorrow1") +
                " where State='未还' and ReturnDate<?",
            {today}};
}
