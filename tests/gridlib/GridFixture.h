// A small book list in memory for the grid's tests: code, name, quantity
// and price of each book, and a form holding a data grid over it.
#pragma once

#include <string>

#include "Forms.h"
#include "SysUtils.h"
#include "db/ListDataSet.h"
#include "gridlib/grid/DBGridEh.h"

inline TListDataSet* MakeBookList(TComponent* owner, int count) {
    auto* ds = new TListDataSet(owner);
    ds->FieldDefs().Add("Code", ftString, 10);
    ds->FieldDefs().Add("BookName", ftString, 40);
    ds->FieldDefs().Add("BookQty", ftInteger);
    ds->FieldDefs().Add("BookSum", ftCurrency);
    for (int i = 1; i <= count; ++i)
        ds->AddRow({Variant(Format("B%.3d", i)), Variant(Format("图书%d", i)), Variant(i),
                    Variant(Currency::FromRaw(int64_t(i) * 12500))});
    ds->Open();
    return ds;
}

struct GridForm {
    TForm form{nullptr};
    TListDataSet* ds = nullptr;
    TDataSource* src = nullptr;
    TDBGridEh* grid = nullptr;
    explicit GridForm(int count, int width = 520, int height = 300) {
        form.SetBounds(0, 0, width + 20, height + 40);
        ds = MakeBookList(&form, count);
        src = new TDataSource(&form);
        src->SetDataSet(ds);
        grid = new TDBGridEh(&form);
        grid->SetName("DBGridEh1");
        grid->SetParent(&form);
        grid->SetBounds(0, 0, width, height);
        grid->SetDataSource(src);
    }
    // The query windows' set-up: stored columns with centred captions and a
    // footer row of sums.
    void queryColumns() {
        grid->SetEnabled(false);
        const char* fields[] = {"Code", "BookName", "BookQty", "BookSum"};
        const char* captions[] = {"图书编号", "名称", "数量", "金额"};
        for (int i = 0; i < 4; ++i) {
            TColumnEh* c = grid->Columns()->Add();
            c->SetFieldName(fields[i]);
            c->Title()->SetCaption(captions[i]);
            c->Title()->SetAlignment(taCenter);
            c->SetWidth(i == 1 ? 160 : 90);
        }
        grid->Columns()->Items(0)->Footer()->SetValueType(fvtStaticText);
        grid->Columns()->Items(0)->Footer()->SetValue("合计");
        grid->Columns()->Items(2)->Footer()->SetValueType(fvtSum);
        grid->Columns()->Items(3)->Footer()->SetValueType(fvtSum);
        grid->SetFooterRowCount(1);
        grid->SumList()->SetActive(true);
        grid->SetEnabled(true);
    }
};
