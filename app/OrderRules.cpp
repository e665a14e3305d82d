// The ordering lists' rules; see OrderRules.h.
#include "OrderRules.h"

namespace {
std::string contains(const std::string& typed) { return "%" + LikeEscaped(typed) + "%"; }
} // namespace

void TOrderWhere::Add(const std::string& text, std::initializer_list<Variant> values) {
    where_.Text += where_.Text.empty() ? " " : " and ";
    where_.Text += text;
    where_.Values.insert(where_.Values.end(), values);
}

void TOrderWhere::Contains(const char* column, const std::string& typed) {
    if (!typed.empty()) Add(std::string(column) + " like ? escape '\\'", {contains(typed)});
}

void TOrderWhere::Equals(const char* column, const std::string& typed) {
    if (!typed.empty()) Add(std::string(column) + " = ?", {typed});
}

TBoundSql OrderListSql(const std::string& table, const TBoundSql& where) {
    const std::string select = "select * from " + table;
    if (where.Text.empty()) return {select + " order by code", {}};
    return {select + " where" + where.Text + " order by code", where.Values};
}

TBoundSql OrderSearchSql(const std::string& table, std::initializer_list<const char*> columns,
                         const std::string& typed) {
    TBoundSql where;
    if (!typed.empty()) {
        for (const char* column : columns) {
            where.Text += where.Text.empty() ? " " : " or ";
            where.Text += std::string(column) + " like ? escape '\\'";
            where.Values.push_back(contains(typed));
        }
    }
    return OrderListSql(table, where);
}

bool OrderCodeTaken(TADOConnection* c, const std::string& table, const std::string& code) {
    if (code.empty()) return false;
    TRowLookup row(c, "select Code from " + table + " where code=?", {code});
    return !row.Empty();
}

int ClearFullyReceivedOrders(TADOConnection* c, const std::string& table) {
    // BeBuy rises by itself with every copy that comes, so a line can pass
    // its RegQty; both default to 0, and a line ordering nothing stays.
    return c->Execute("delete from " + table + " where RegQty>0 and BeBuy>=RegQty");
}

TBoundSql BookShortSearchSql(const std::string& typed) {
    return OrderSearchSql("BookShort", {"code", "Name", "YName"}, typed);
}

TBoundSql BookShortConditionWhere(const TBookShortCondition& c) {
    TOrderWhere w;
    w.Contains("code", c.Code);
    w.Contains("Name", c.Name);
    w.Contains("YName", c.YName);
    w.Contains("Publisher", c.Publisher);
    w.Equals("BookIsbn", c.Isbn);
    w.Contains("Sortcode", c.Sort);
    w.Contains("Translator", c.Translator);
    w.Contains("Writer", c.Writer);
    return w.Where();
}

TBoundSql BookShortConditionSql(const TBookShortCondition& c) {
    return OrderListSql("BookShort", BookShortConditionWhere(c));
}
