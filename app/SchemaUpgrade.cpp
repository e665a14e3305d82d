// The schema upgrade of an opened database; see SchemaUpgrade.h.
#include "SchemaUpgrade.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "uGlobal.h"

namespace {

constexpr size_t kCodesShown = 10;

std::string indexOf(const std::string& table) { return table + "_Code"; }

std::string caption(const std::string& table) { return SameText(table, "Magzinfo") ? "期刊编号" : "图书编号"; }

void createCodeIndex(TADOConnection* c, const std::string& table, bool unique) {
    c->Execute("drop index if exists " + indexOf(table));
    c->Execute(std::string(unique ? "create unique index " : "create index ") + indexOf(table) + " on " + table +
               " (Code)");
}

} // namespace

const std::vector<std::string>& UniqueCodeTables() {
    static const std::vector<std::string> tables = {"Bookinfo", "Magzinfo"};
    return tables;
}

bool CodeIsUnique(TADOConnection* c, const std::string& table) {
    TRowLookup index(c, "select sql from sqlite_master where type='index' and name=? collate nocase",
                     {Variant(indexOf(table))});
    return !index.Empty() && Pos("UNIQUE", UpperCase(index.Text("sql"))) > 0;
}

TDuplicateCodes DuplicateCodes(TADOConnection* c, const std::string& table) {
    TDuplicateCodes found{table, {}};
    // NULL codes never collide in a unique index; empty ones do.
    TADOQuery q;
    q.SetConnection(c);
    q.SQL()->SetText("select min(Code) as Code, count(*) as N from " + table +
                     " where Code is not null group by Code having count(*)>1 order by min(Code)");
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        found.Codes.emplace_back(q.FieldByName("Code")->AsString(), q.FieldByName("N")->AsInteger());
    return found;
}

std::vector<TDuplicateCodes> UpgradeSchema(TADOConnection* c) {
    for (const char* table : {"Bookinfo", "BookinfoPre", "Magzinfo"})
        c->Execute(std::string("create index if not exists ") + table + "_BookIsbn on " + table + " (BookIsbn)");
    std::vector<TDuplicateCodes> kept;
    for (const std::string& table : UniqueCodeTables()) {
        if (CodeIsUnique(c, table)) continue;
        TDuplicateCodes found = DuplicateCodes(c, table);
        if (!found.Codes.empty()) {
            kept.push_back(std::move(found));
            continue;
        }
        TTransaction tx(c);
        createCodeIndex(c, table, true);
        tx.Commit();
    }
    return kept;
}

void RelaxCodeIndex(TADOConnection* c, const std::string& table) { createCodeIndex(c, table, false); }

std::string DuplicateCodesMessage(const std::vector<TDuplicateCodes>& found) {
    std::string text;
    for (const TDuplicateCodes& t : found) {
        if (t.Codes.empty()) continue;
        text += "\n" + caption(t.Table) + ": ";
        for (size_t i = 0; i < t.Codes.size() && i < kCodesShown; ++i)
            text += (i ? ", " : "") + t.Codes[i].first + "(" + IntToStr(t.Codes[i].second) + ")";
        if (t.Codes.size() > kCodesShown) text += " 等" + IntToStr(int(t.Codes.size())) + "个";
    }
    return text.empty() ? text : "数据库中有重复的编号,请修改后重新进入系统:" + text;
}

void UpgradeOpenedDatabase(TADOConnection* c) {
    std::vector<TDuplicateCodes> kept;
    try {
        kept = UpgradeSchema(c);
    } catch (const Exception&) {
        // A file this release cannot change (read-only share, older
        // layout) still opens: its saves keep the codes unique.
        return;
    }
    const std::string message = DuplicateCodesMessage(kept);
    if (!message.empty()) ShowInfoBox(message);
}
