// The reader rules; see ReaderRules.h.
#include "ReaderRules.h"

namespace {

const char* const LoanTables[] = {"Borrowinfo", "Borrowinfo1"};

std::string contains(const std::string& typed) { return "%" + LikeEscaped(typed) + "%"; }
std::string startsWith(const std::string& typed) { return LikeEscaped(typed) + "%"; }

// One criterion: its text joins the condition with " and " unless first.
void append(TBoundSql& where, const std::string& text, std::initializer_list<Variant> values) {
    where.Text += where.Text.empty() ? " " : " and ";
    where.Text += text;
    where.Values.insert(where.Values.end(), values);
}

} // namespace

TBoundSql ReaderQuickSearchSql(const std::string& typed) {
    if (typed.empty()) return {"select * from Readerinfo", {}};
    return {"select * from Readerinfo where code like ? escape '\\' or Name like ? escape '\\' or Py like ? escape "
            "'\\' or Wb like ? escape '\\' or Wbh like ? escape '\\'",
            {contains(typed), contains(typed), startsWith(typed), startsWith(typed), startsWith(typed)}};
}

TBoundSql ReaderConditionWhere(const TReaderCondition& c) {
    TBoundSql where;
    if (!c.Code.empty()) append(where, "code like ? escape '\\'", {contains(c.Code)});
    if (!c.Name.empty())
        append(where,
               "(Name like ? escape '\\' or Py like ? escape '\\' or Wb like ? escape '\\' or Wbh like ? escape '\\')",
               {contains(c.Name), startsWith(c.Name), startsWith(c.Name), startsWith(c.Name)});
    if (!c.Sort.empty()) append(where, "Sortcode = ?", {c.Sort});
    if (!c.Department.empty()) append(where, "Department = ?", {c.Department});
    if (!c.Tel.empty())
        append(where, "(TelDay like ? escape '\\' or Telnight like ? escape '\\' or HandTel like ? escape '\\')",
               {contains(c.Tel), contains(c.Tel), contains(c.Tel)});
    if (!c.Addr.empty()) append(where, "Addr like ? escape '\\'", {contains(c.Addr)});
    return where;
}

TBoundSql ReaderConditionSql(const TReaderCondition& c) {
    TBoundSql where = ReaderConditionWhere(c);
    if (where.Text.empty()) return {"select * from Readerinfo", {}};
    return {"select * from Readerinfo where" + where.Text + " order by code", where.Values};
}

bool ReaderHasOpenLoans(TADOConnection* c, const std::string& code) {
    for (const char* table : LoanTables) {
        TRowLookup row(c, std::string("select Id from ") + table + " where Rcode=? and State='未还'", {code});
        if (!row.Empty()) return true;
    }
    return false;
}

void RenameReaderCode(TADOConnection* c, const std::string& oldCode, const std::string& newCode) {
    if (oldCode.empty() || oldCode == newCode) return;
    for (const char* table : {"Borrowinfo", "Borrowinfo1", "BookReject", "MagzReject"})
        c->Execute(std::string("update ") + table + " set Rcode=? where Rcode=?", {newCode, oldCode});
}

void DeleteReaderLoans(TADOConnection* c, const std::string& code) {
    for (const char* table : LoanTables) c->Execute(std::string("delete from ") + table + " where Rcode=?", {code});
}

bool ReaderCodeTaken(TADOConnection* c, const std::string& code, const std::string& selfCode) {
    if (code.empty()) return false;
    TRowLookup row(c, "select code from Readerinfo where code=? and code<>?", {code, selfCode});
    return !row.Empty();
}
