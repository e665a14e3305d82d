// The book catalogue's statements; see BookRules.h.
#include "BookRules.h"

#include "SysUtils.h"
#include "uGlobal.h"

namespace {

// Appends one criterion joined by "and"; "like ? escape '\'" patterns are
// built by the caller.
struct TWhere {
    TBoundSql s;
    void add(const std::string& text, std::initializer_list<Variant> values) {
        if (!s.Text.empty()) s.Text += " and ";
        s.Text += text;
        s.Values.insert(s.Values.end(), values);
    }
};

std::string contains(const std::string& t) { return "%" + LikeEscaped(t) + "%"; }
std::string beginsWith(const std::string& t) { return LikeEscaped(t) + "%"; }

} // namespace

TBoundSql BookSearchWhere(const std::string& text, const std::string& sortText, bool withCode) {
    TBoundSql where;
    if (!text.empty()) {
        where.Text = "(Name like ? escape '\\' or Scode=? or Py like ? escape '\\' or Wb like ? escape '\\' or "
                     "Wbh like ? escape '\\')";
        where.Values = {contains(text), text, beginsWith(text), beginsWith(text), beginsWith(text)};
        if (withCode) {
            where.Text.insert(1, "Code like ? escape '\\' or ");
            where.Values.insert(where.Values.begin(), contains(text));
        }
    } else if (!sortText.empty()) {
        where.Text = "SortCode like ? escape '\\'";
        where.Values = {contains(sortText)};
    }
    return where;
}

TBoundSql BookConditionWhere(const TBookCondition& c) {
    TWhere w;
    const std::string like = " like ? escape '\\'";
    if (!c.Code.empty()) w.add("Code" + like, {contains(c.Code)});
    if (!c.Name.empty())
        w.add("(Name" + like + " or Py" + like + " or Wb" + like + " or Wbh" + like + ")",
              {contains(c.Name), beginsWith(c.Name), beginsWith(c.Name), beginsWith(c.Name)});
    const std::pair<const char*, const std::string*> containing[] = {
        {"YName", &c.YName}, {"Scode", &c.Scode}, {"Publisher", &c.Publisher}, {"BookIsbn", &c.Isbn},
        {"Sortcode", &c.Sort}, {"Writer", &c.Writer}, {"Translator", &c.Translator}};
    for (auto [column, value] : containing)
        if (!value->empty()) w.add(std::string(column) + like, {contains(*value)});
    if (!c.Posi.empty()) w.add("BookPosi=?", {c.Posi});
    if (c.State == "在馆")
        w.add("((IsOut is null) or (IsOut<>'外借' and IsOut<>'报废'))", {});
    else if (c.State == "外借" || c.State == "报废")
        w.add("IsOut=?", {c.State});
    if (!c.Remarks.empty()) w.add("Remarks" + like, {contains(c.Remarks)});
    if (!c.Remarks1.empty()) w.add("Remarks1" + like, {contains(c.Remarks1)});
    if (c.OnlyNew) w.add("DateDiff(\"y\", RegDate, ?)<=?", {Variant(c.Today), c.InDay});
    if (c.Range) w.add("Code>=? and Code<=?", {c.From, c.To});
    return w.s;
}

TBoundSql BookListSql(const std::string& table, const TBoundSql& where) {
    TBoundSql s;
    s.Text = "select * from " + table + (where.Text.empty() ? "" : " where " + where.Text) + " order by Id";
    s.Values = where.Values;
    return s;
}

bool BookCodeTaken(TADOConnection* c, const std::string& code, int64_t selfId) {
    TRowLookup row(c, "SELECT Code FROM Bookinfo WHERE Code=? and Id<>?", {code, Variant(selfId)});
    return !row.Empty();
}

void BookSaveSideUpdates(TADOConnection* c, bool adding, const std::string& oldCode, const std::string& code,
                         const std::string& name, const std::string& isbn) {
    if (!adding && !oldCode.empty() && oldCode != code) {
        c->Execute("update Borrowinfo set Code=? where Code=?", {code, oldCode});
        c->Execute("update BookReject set Code=? where Code=?", {code, oldCode});
    }
    if (adding) {
        if (isbn.empty())
            c->Execute("update BookShort set BeBuy=BeBuy+1 where Name=?", {name});
        else
            c->Execute("update BookShort set BeBuy=BeBuy+1 where Name=? or BookIsbn=?", {name, isbn});
    }
}

TTransferResult TransferToCatalogue(TADOConnection* c, int64_t preId, const std::string& code, bool keepRecord) {
    // The columns a record and a copy share; the abstract and the input
    // codes go too, so the copy is found by its pinyin at once.
    static const std::string columns =
        "Name, YName, CodeSet, Scode, SortCode, Publisher, Writer, PubDate, BookPrice, AvePrice, BookPage, "
        "BookIsbn, Translator, Attach, language, Print, Size, Grade, Supplier, RegDate, Remarks, BookPosi, "
        "SortNum, PubNum, IsLimit, Remarks1";
    TTransaction transaction(c);
    // Checked inside the transaction that writes the copy.
    if (BookCodeTaken(c, code, 0)) return TTransferResult::DuplicateCode;
    TRowLookup record(c, "select Name from BookinfoPre where Id=?", {Variant(preId)});
    if (record.Empty()) return TTransferResult::NoRecord;
    std::string py, wbh, wb;
    const std::string name = record.Text("Name");
    if (!name.empty()) LookupInputCodes(name, py, wbh, wb);
    std::string insert = "insert into Bookinfo (Code, ";
    insert.append(columns).append(", Py, Wbh, Wb) select ?, ").append(columns);
    insert.append(", ?, ?, ? from BookinfoPre where Id=?");
    c->Execute(insert, {code, py, wbh, wb, Variant(preId)});
    if (!keepRecord) c->Execute("delete from BookinfoPre where Id=?", {Variant(preId)});
    transaction.Commit();
    return TTransferResult::Done;
}

int DeletePreCatalogue(TADOConnection* c, const TBoundSql& condition, int64_t lastListedId) {
    if (!condition.Text.empty()) return c->Execute({"delete from BookinfoPre where " + condition.Text, condition.Values});
    return c->Execute("delete from BookinfoPre where Id<=?", {Variant(lastListedId)});
}

void RestoreCopyState(TADOConnection* c, const std::string& code) {
    TRowLookup loan(c, "select Code from Borrowinfo where Code=? and State='未还'", {code});
    c->Execute("update Bookinfo set IsOut=? where Code=?", {std::string(loan.Empty() ? "" : "外借"), code});
}

void WriteOffSideUpdates(TADOConnection* c, const std::string& code, const std::string& formerCode) {
    c->Execute("update Bookinfo set IsOut='报废' where Code=?", {code});
    if (formerCode.empty() || SameText(formerCode, code)) return;
    // The row being saved still carries the former code until it is posted.
    TADOQuery others;
    others.SetConnection(c);
    others.SetStatement({"select count(*) as n from BookReject where Code=?", {formerCode}});
    others.Open();
    if (others.FieldByName("n")->AsInteger() <= 1) RestoreCopyState(c, formerCode);
}

void DeleteWriteOffs(TADOConnection* c, const std::string& code) {
    RestoreCopyState(c, code);
    c->Execute("delete from BookReject where Code=?", {code});
}
