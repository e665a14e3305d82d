// The periodical rules; see PeriodicalRules.h.
#include "PeriodicalRules.h"

#include "OrderRules.h"
#include "SysUtils.h"

namespace {

std::string contains(const std::string& typed) { return "%" + LikeEscaped(typed) + "%"; }
std::string startsWith(const std::string& typed) { return LikeEscaped(typed) + "%"; }

void append(TBoundSql& where, const std::string& text, std::initializer_list<Variant> values) {
    where.Text += where.Text.empty() ? " " : " and ";
    where.Text += text;
    where.Values.insert(where.Values.end(), values);
}

void appendContains(TBoundSql& where, const char* column, const std::string& typed) {
    if (typed.empty()) return;
    append(where, std::string(column) + " like ? escape '\\'", {contains(typed)});
}

void appendEquals(TBoundSql& where, const char* column, const std::string& typed) {
    if (typed.empty()) return;
    append(where, std::string(column) + " = ?", {typed});
}

TBoundSql withWhere(const char* select, const TBoundSql& where, const char* order) {
    if (where.Text.empty()) return {std::string(select) + order, {}};
    return {std::string(select) + " where" + where.Text + order, where.Values};
}

} // namespace

TBoundSql MagzQuickSearchSql(const std::string& typed, const std::string& sortCode) {
    TBoundSql where;
    if (!typed.empty()) {
        where = {" code like ? escape '\\' or Name like ? escape '\\' or Scode=? or Py like ? escape '\\' or Wb "
                 "like ? escape '\\' or Wbh like ? escape '\\'",
                 {contains(typed), contains(typed), typed, startsWith(typed), startsWith(typed), startsWith(typed)}};
    } else if (!sortCode.empty()) {
        appendContains(where, "SortCode", sortCode);
    }
    return withWhere("select * from Magzinfo", where, " order by code");
}

TBoundSql MagzConditionWhere(const TMagzCondition& c) {
    TBoundSql where;
    appendContains(where, "code", c.Code);
    if (!c.Name.empty())
        append(where,
               "(Name like ? escape '\\' or Py like ? escape '\\' or Wb like ? escape '\\' or Wbh like ? escape '\\')",
               {contains(c.Name), startsWith(c.Name), startsWith(c.Name), startsWith(c.Name)});
    appendContains(where, "Scode", c.Scode);
    appendContains(where, "Publisher", c.Publisher);
    appendContains(where, "BookIsbn", c.Isbn);
    appendContains(where, "Sortcode", c.Sort);
    appendContains(where, "Writer", c.Writer);
    appendEquals(where, "BookPosi", c.Posi);
    appendEquals(where, "Orderyear", c.Year);
    appendEquals(where, "PeriodNo", c.PeriodNo);
    if (c.State == "在馆")
        append(where, "(IsOut is null or (IsOut <> '外借' and IsOut <> '报废'))", {});
    else if (c.State == "外借" || c.State == "报废")
        append(where, "IsOut = ?", {c.State});
    appendContains(where, "Remarks", c.Remarks);
    append(where, c.Current ? "IsNew = true" : "IsNew = false", {});
    return where;
}

TBoundSql MagzConditionSql(const TMagzCondition& c) {
    return withWhere("select * from Magzinfo", MagzConditionWhere(c), " order by code");
}

const std::vector<const char*>& MagzCopiedColumns() {
    static const std::vector<const char*> columns = {
        "Name",      "Scode",     "SortCode",  "Publisher", "Writer",   "PubDate",  "BookPrice", "AvePrice", "BookPage",
        "BookIsbn",  "Attach",    "language",  "Print",     "Size",     "Grade",    "Supplier",  "RegDate",  "Remarks",
        "BookPosi",  "IsLimit",   "Pubfreq",   "PubNo",     "PeriodNo", "ZPeriodNo", "Orderyear", "PeriodSt", "SortNum"};
    return columns;
}

bool MagzCodeTaken(TADOConnection* c, const std::string& code, int64_t selfId) {
    if (code.empty()) return false;
    TRowLookup row(c, "select Id from Magzinfo where Code=? and Id<>?", {code, selfId});
    return !row.Empty();
}

void RenameMagzCode(TADOConnection* c, const std::string& oldCode, const std::string& newCode) {
    if (oldCode.empty() || oldCode == newCode) return;
    c->Execute("update Borrowinfo1 set Code=? where Code=?", {newCode, oldCode});
    c->Execute("update MagzReject set Code=? where Code=?", {newCode, oldCode});
}

void CountSubscriptionReceived(TADOConnection* c, const std::string& name, const std::string& issn) {
    // An empty ISSN matches nothing: it would count the copy on every
    // subscription whose ISSN was left empty.
    c->Execute("update MagzOrder set BeBuy=BeBuy+1 where Name=? or (?<>'' and BookIsbn=?)", {name, issn, issn});
}

bool WriteOffMagz(TADOConnection* c, const std::string& code) {
    return c->Execute("update Magzinfo set IsOut='报废' where Code=?", {code}) > 0;
}

void RestoreMagzState(TADOConnection* c, const std::string& code) {
    TRowLookup loan(c, "select Id from Borrowinfo1 where Code=? and State='未还'", {code});
    c->Execute("update Magzinfo set IsOut=? where Code=?", {std::string(loan.Empty() ? "" : "外借"), code});
}

void DeleteMagzWriteOffs(TADOConnection* c, const std::string& code) {
    RestoreMagzState(c, code);
    c->Execute("delete from MagzReject where Code=?", {code});
}

bool MoveMagzWriteOff(TADOConnection* c, const std::string& oldCode, const std::string& newCode, int64_t rejectRowId) {
    if (!oldCode.empty() && CompareText(oldCode, newCode) != 0) {
        TRowLookup other(c, "select Code from MagzReject where Code=? and rowid<>?", {oldCode, rejectRowId});
        if (other.Empty()) RestoreMagzState(c, oldCode);
    }
    return WriteOffMagz(c, newCode);
}

TBoundSql MagzRejectSearchSql(const std::string& copy, const std::string& reader) {
    TBoundSql where;
    if (!copy.empty())
        appendContains(where, "code", copy);
    else
        appendContains(where, "Rcode", reader);
    return withWhere("select * from QryReject1", where, " order by code");
}

TBoundSql MagzOrderSearchSql(const std::string& typed) { return OrderSearchSql("MagzOrder", {"code", "Name"}, typed); }

TBoundSql MagzOrderConditionWhere(const TMagzOrderCondition& c) {
    TOrderWhere w;
    w.Contains("code", c.Code);
    w.Contains("Name", c.Name);
    w.Contains("Publisher", c.Publisher);
    w.Equals("BookIsbn", c.Isbn);
    w.Contains("Sortcode", c.Sort);
    w.Contains("PostNo", c.PostNo);
    w.Contains("PubNo", c.PubNo);
    w.Contains("Pubfreq", c.Pubfreq);
    w.Contains("Tel", c.Tel);
    w.Contains("LinkMan", c.LinkMan);
    w.Contains("Writer", c.Writer);
    return w.Where();
}

TBoundSql MagzOrderConditionSql(const TMagzOrderCondition& c) {
    return OrderListSql("MagzOrder", MagzOrderConditionWhere(c));
}
