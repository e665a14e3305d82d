// The grid layout reading rules; see uGridLayout.h.
#include "uGridLayout.h"

#include "ADODB.h"
#include "DBGrids.h"
#include "SysUtils.h"

std::string LayoutCodeOf(TADOConnection* connection, const std::string& moduleCode) {
    TRowLookup q(connection, "Select * from ModuleTable where ModuleCode=?", {moduleCode});
    return q.Empty() ? std::string() : q.Text("TableCode");
}

std::vector<TLayoutRow> ReadLayout(TADOConnection* connection, const std::string& tableCode) {
    TADOQuery q;
    q.SetConnection(connection);
    q.SetStatement({"select * from TableStructure where TableCode=? order by TableOrder", {tableCode}});
    q.Open();
    std::vector<TLayoutRow> rows;
    for (q.First(); !q.Eof(); q.Next()) {
        TLayoutRow r;
        r.Id = q.FieldByName("Id")->AsInteger();
        r.ColumnsCode = q.FieldByName("ColumnsCode")->AsString();
        r.ColumnsName = q.FieldByName("ColumnsName")->AsString();
        r.TableOrder = q.FieldByName("TableOrder")->AsInteger();
        r.ColumnsLength = q.FieldByName("ColumnsLength")->AsInteger();
        r.IsKey = q.FieldByName("IsKey")->AsBoolean();
        r.IsVisible = q.FieldByName("IsVisible")->AsBoolean();
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<TLayoutRow> ShownRows(const std::vector<TLayoutRow>& rows) {
    std::vector<TLayoutRow> shown;
    for (const TLayoutRow& r : rows)
        if (r.IsVisible) shown.push_back(r);
    return shown;
}

const TLayoutRow* RowForField(const std::vector<TLayoutRow>& rows, const std::string& fieldName) {
    // An exact code first: a prefix alone let "Code" take the title and
    // width of an earlier "CodeSet" row, and saving then wrote Code's
    // width into CodeSet.
    for (const TLayoutRow& r : rows)
        if (r.ColumnsCode == fieldName) return &r;
    for (const TLayoutRow& r : rows)
        if (r.ColumnsCode.compare(0, fieldName.size(), fieldName) == 0) return &r;
    return nullptr;
}

const TLayoutRow* KeyRow(const std::vector<TLayoutRow>& rows) {
    for (const TLayoutRow& r : rows)
        if (r.IsKey) return &r;
    return nullptr;
}

TColumn* AddDesignedColumn(TDBGrid* grid, const std::string& field, const std::string& title, int width) {
    TColumn* c = grid->Columns()->Add();
    c->SetFieldName(field);
    c->Title()->SetCaption(title);
    c->Title()->SetAlignment(taCenter);
    if (width > 0) c->SetWidth(width);
    return c;
}

void BuildGridColumns(TDBGrid* grid, const std::vector<TLayoutRow>& rows) {
    TDBGridColumns* columns = grid->Columns();
    columns->Clear();
    for (const TLayoutRow& shown : ShownRows(rows)) {
        TColumn* c = columns->Add();
        c->SetFieldName(shown.ColumnsCode);
        if (const TLayoutRow* r = RowForField(rows, shown.ColumnsCode)) {
            c->Title()->SetCaption(r->ColumnsName);
            c->SetWidth(r->ColumnsLength);
        }
        c->Title()->SetAlignment(taCenter);
    }
}

void SaveGridLayout(TADOConnection* connection, const std::string& tableCode,
                    const std::vector<std::pair<std::string, int>>& shownColumns) {
    const std::vector<TLayoutRow> rows = ReadLayout(connection, tableCode);
    TTransaction tx(connection);
    for (size_t i = 0; i < shownColumns.size(); ++i) {
        const TLayoutRow* r = RowForField(rows, shownColumns[i].first);
        if (!r) continue;
        connection->Execute("update TableStructure set ColumnsLength=?,TableOrder=? where Id=?",
                            {shownColumns[i].second, int(i + 1), r->Id});
    }
    tx.Commit();
}
