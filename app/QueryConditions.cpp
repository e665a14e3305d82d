// The query windows' conditions; see QueryConditions.h.
#include "QueryConditions.h"

#include "SysUtils.h"

namespace {

Variant day(TDateTime d) { return Variant(TDateTime(int(d))); }

std::string contains(const std::string& typed) { return "%" + LikeEscaped(typed) + "%"; }

// Appends " and <sql>" with its value when text is not empty.
void addLike(TBoundSql& where, const char* column, const std::string& text) {
    if (text.empty()) return;
    where.Text += std::string(" and ") + column + " like ? escape '\\'";
    where.Values.emplace_back(contains(text));
}

void addEqual(TBoundSql& where, const char* column, const std::string& text) {
    if (text.empty()) return;
    where.Text += std::string(" and ") + column + " = ?";
    where.Values.emplace_back(text);
}

TBoundSql dateRange(const char* column, TDateTime from, TDateTime to) {
    return {std::string(" ") + column + ">=? and " + column + "<=? ", {day(from), day(to)}};
}

const char* loans(bool periodicals) { return periodicals ? "Borrowinfo1" : "Borrowinfo"; }

} // namespace

TBoundSql BorrowWhere(const TLoanCondition& c) {
    TBoundSql where = dateRange("BorrowDate", c.From, c.To);
    addLike(where, "Rcode", c.Reader);
    addLike(where, "Code", c.Item);
    addEqual(where, "Department", c.Department);
    if (c.State == TLoanCondition::Open) where.Text += " and State='未还'";
    if (c.State == TLoanCondition::Returned) where.Text += " and State='已还'";
    return where;
}

TBoundSql LentWhere(const TLoanCondition& c) {
    TBoundSql where = dateRange("ReturnDate", c.From, c.To);
    addLike(where, "Rcode", c.Reader);
    addEqual(where, "Department", c.Department);
    addLike(where, "Code", c.Item);
    return where;
}

TBoundSql OperatorWhere(const TLoanCondition& c) {
    TBoundSql where = dateRange("BorrowDate", c.From, c.To);
    addLike(where, "Operator", c.Operator);
    addLike(where, "Code", c.Item);
    return where;
}

std::string DateRangeCaption(const std::string& prefix, TDateTime from, TDateTime to) {
    return prefix + ": 从" + DateToStr(from) + " 到 " + DateToStr(to);
}

TQueryCondition NextCondition(const TQueryCondition& previous, bool confirmed, const TQueryCondition& fromDialog) {
    return confirmed ? fromDialog : previous;
}

TBoundSql WithCondition(const std::string& statement, const TBoundSql& where) {
    return {statement + " " + where.Text, where.Values};
}

int ThresholdValue(const std::string& text) {
    int v = 0;
    if (!TryStrToInt(Trim(text), v) || v < 0) return 0;
    return v;
}

TBoundSql ReaderRankingSql(bool periodicals, TDateTime from, TDateTime to, int minLoans, int minOverdue) {
    const std::string onLoan = periodicals ? "BookQty1" : "BookQty";
    const std::string overdue = periodicals ? "Overdue1" : "Overdue";
    // Both thresholds always stand, 0 for an empty box, so the statement
    // is whole whatever the operator left empty.
    // OrderId is the rank in the statement's order, fixed as the rows are
    // fetched, so sorting the result by a title later keeps each rank.
    return {"select a.code,a.Name,a.Sortcode,a.BorrowDate,b.BorrowQty,a." + onLoan + ",a." + overdue +
                ",row_number() over (order by a." + onLoan + " desc, a.code) as OrderId"
                "  from Readerinfo a left join (select Rcode,count(*) as BorrowQty from " + loans(periodicals) +
                " where BorrowDate>=? and BorrowDate<=? Group by Rcode) as b on a.code=b.Rcode  where "
                "iif(isnull(b.BorrowQty),0,b.BorrowQty) >= ? and iif(isnull(a." +
                overdue + "),0,a." + overdue + ") >= ? order by OrderId",
            {day(from), day(to), minLoans, minOverdue}};
}

TBoundSql ItemRankingSql(bool periodicals, TDateTime from, TDateTime to, int minLoans) {
    const std::string columns = periodicals
                                    ? "a.code,a.Name,a.Orderyear,a.BookIsbn,a.PeriodNo,a.ZPeriodNo,a.PeriodSt,"
                                      "a.BorrowDate,a.times,b.BorrowQty"
                                    : "a.code,a.Name,a.CodeSet,a.BookIsbn,a.YName,a.Sortcode,a.BorrowDate,a.times,"
                                      "b.BorrowQty";
    const std::string items = periodicals ? " from Magzinfo a" : " from Bookinfo a";
    return {"select " + columns + ",row_number() over (order by b.BorrowQty desc, a.code) as OrderId" + items +
                "  left join (select code,count(*) as BorrowQty from " + loans(periodicals) +
                " where BorrowDate>=? and BorrowDate<=? Group by code) as b on a.code=b.code  where "
                "iif(isnull(b.BorrowQty),0,b.BorrowQty) >= ? order by OrderId",
            {day(from), day(to), minLoans}};
}

std::string ReaderThresholdLine(int minLoans, int minOverdue) {
    return "借阅本数>=" + IntToStr(minLoans) + " 逾期本数>=" + IntToStr(minOverdue);
}

std::string ItemThresholdLine(int minLoans) { return "借阅次数>=" + IntToStr(minLoans); }

TBoundSql DailyListSql(TDailyList list, bool periodicals, TDateTime d) {
    const std::string view = periodicals ? "QryBorrow1" : "QryBorrow";
    switch (list) {
    case TDailyList::Loans: return {"select * from " + view + " where  BorrowDate=?", {day(d)}};
    case TDailyList::Returns: return {"select * from " + view + " where State='已还' and ReturnDate=?", {day(d)}};
    case TDailyList::Intake:
        return {std::string("select * from ") + (periodicals ? "Magzinfo" : "Bookinfo") + " where RegDate=?", {day(d)}};
    case TDailyList::WriteOffs:
        return {std::string("select * from ") + (periodicals ? "QryReject1" : "QryReject") + " where RejectDate=?",
                {day(d)}};
    }
    return {};
}

TBoundSql OverdueQuerySql(bool periodicals, bool pastDue, TDateTime d, const std::string& department) {
    TBoundSql s{std::string("select * from ") + (periodicals ? "QryBorrow1" : "QryBorrow") +
                    " where State='未还' and ReturnDate" + (pastDue ? "<" : "=") + "?",
                {day(d)}};
    if (!department.empty()) {
        s.Text += "  and  Department=?";
        s.Values.emplace_back(department);
    }
    return s;
}

std::string DayCaption(TDateTime d) { return "日期: " + DateToStr(d); }

namespace {
// The rows of class a: b.sKey is a.sKey or a descendant's key.
const char* const underClass =
    "on left(b.sKey,len(a.sKey))=a.sKey and (len(b.sKey)-len(a.sKey)) % 4 = 0 ";
} // namespace

TBoundSql ClassLoanStatsSql(bool periodicals, const std::string& parentKey, TDateTime from, TDateTime to) {
    return {std::string("select a.Sortcode,a.Sortname,iif(isnull(sum(b.BookQty)),0,sum(b.BookQty)) as BookQty,"
                        "iif(isnull(sum(b.beQty)),0,sum(b.beQty)) as BeQty,"
                        "iif(isnull(sum(b.NotQty)),0,sum(b.NotQty)) as NotQty "
                        "from (select * from type where Parentkey=?) a left join "
                        "(select sKey,sum(BookQty) as BookQty,sum(beQty) as beQty,sum(NotQty) as NotQty from ") +
                (periodicals ? "QryBorrowqSort" : "QryBorrowSort") +
                " where BorrowDate>=? and BorrowDate<=? Group by sKey) b " + underClass +
                "group by a.sKey,a.Sortcode,a.Sortname order by a.sKey",
            {parentKey, day(from), day(to)}};
}

TBoundSql ClassHoldingsSql(bool periodicals, const std::string& parentKey, const std::string& state) {
    std::string where;
    if (state == "在馆")
        where = " where (b.IsOut is null or (b.IsOut <> '外借' and b.IsOut <> '报废'))";
    else if (state == "外借" || state == "报废")
        where = " where b.IsOut = '" + state + "'";
    return {std::string("select a.Sortcode,a.Sortname,count(b.sKey) as BookQty,"
                        "iif(isnull(sum(b.BookPrice)),0,sum(b.BookPrice)) as BookSum "
                        "from (select * from type where Parentkey=?) a left join "
                        "(select b.sKey,b.BookPrice from ") +
                (periodicals ? "QryMagzInfo" : "QryBookInfo") + " b" + where + ") b " + underClass +
                "group by a.sKey,a.Sortcode,a.Sortname order by a.sKey",
            {parentKey}};
}
