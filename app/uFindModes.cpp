// The searching lookups' shared part; see uFindModes.h.
#include "uFindModes.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "uGridLayout.h"

TFrmFindByModes::TFrmFindByModes(TComponent* AOwner, std::string caption, std::vector<TFindMode> modes,
                                 std::vector<TFindColumn> columns)
    : TFrmFindCode(AOwner), caption_(std::move(caption)), modes_(std::move(modes)) {
    TBuild b(this);
    TMenuItem** items[] = {&N1, &N2, &N3};
    for (size_t i = 0; i < 3; ++i) {
        *items[i] =
            b.Add<TMenuItem>("N" + std::to_string(i + 1)).Caption(modes_[i].Caption).OnClick([this, i](TObject*) {
                ModeClick(int(i));
            });
        PopupMenu1->Items()->Add(*items[i]);
    }
    TbCaption->SetHint("查找方式切换,快捷键F6");
    TbCaption->SetShowHint(true);
    BtAdd->SetVisible(false);
    std::vector<TColumnRow> rows;
    for (const auto& c : columns)
        rows.push_back({c.Field, c.Title, c.Width, taCenter, c.Centred ? taCenter : taLeftJustify});
    AddColumns(DBGrid1, rows);
    // The lookup's own search and keys replace the base window's.
    b.Wire(Edit1).OnChange(&TFrmFindByModes::Edit1Change);
    b.Wire(DBGrid1).OnKeyDown(&TFrmFindByModes::DBGrid1KeyDown);
}

void TFrmFindByModes::InitForm() {
    TFrmFindCode::InitForm();
    SetCaption(caption_);
    TbCaption->SetCaption(modes_[0].Caption);
    openSql(AllRowsSql(), "");
    Edit1->SetText(ChosenCode);
    if (Edit1->CanFocus()) Edit1->SetFocus();
    SetActiveControl(Edit1);
}

void TFrmFindByModes::openSql(const std::string& sql, const std::string& typed) {
    ADOQuery1->Close();
    ADOQuery1->SQL()->SetText(sql);
    const std::string literal = LikeEscaped(typed);
    if (TParameter* p = ADOQuery1->Parameters()->FindParam("prefix")) p->SetValue(literal + "%");
    if (TParameter* p = ADOQuery1->Parameters()->FindParam("part")) p->SetValue("%" + literal + "%");
    ADOQuery1->Open();
}

void TFrmFindByModes::Edit1Change(TObject*) {
    int mode = (SearchMode >= 0 && SearchMode < 3) ? SearchMode : 0;
    openSql(SearchSql(modes_[size_t(mode)].Condition), Edit1->Text());
}

void TFrmFindByModes::ModeClick(int i) {
    SearchMode = i;
    ADOQuery1->SetSort(modes_[size_t(i)].Sort);
    TbCaption->SetCaption(modes_[size_t(i)].Caption);
}

void TFrmFindByModes::Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmFindCode::Edit1KeyDown(Sender, Key, Shift);
    if (Key == VK_ESCAPE) {
        // Esc has closed the dialog; it must not also press the cancel
        // button, so a caller's preset code comes back unchanged.
        Key = 0;
    } else if (Key == VK_F6) {
        ModeClick(SearchMode);
        Key = 0;
    }
}

void TFrmFindByModes::DBGrid1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_F6) {
        ModeClick(SearchMode);
        Key = 0;
    }
}
