#include "vq/data/VqFieldLookup.h"

#include <cctype>
#include <cstring>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "vq/controls/VqDBEdit.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqQueryDate.h"
#include "vq/data/VqDecorate.h"
#include "vq/data/VqRctStr.h"
#include "vq/data/VqSelect.h"
#include "vq/data/VqTableCopy.h"
#include "vq/data/VqTextUtils.h"
#include "vq/grid/VQDBGrid.h"
#include "vq/grid/VQDBVGrid.h"

std::string ImeLastPick;

namespace {

const char* const kNameLists = "IItemName,ICName,ICCode,ISName,ISCode,ISJName,ICJName,ISItemName,ISItemCode";

bool SameWord(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void EnsureEditing(TField* f) {
    TDataSet* ds = f->DataSet();
    if (ds && ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
}

} // namespace

TFrmIME::TFrmIME(TComponent* AOwner) : TFrmDlgBase(AOwner) {
    SetName("FrmIME");
    SetCaption("拼音五笔输入");
    SetBounds(0, 0, 330, 300);
    EdtIME = new TVQEdit(this);
    EdtIME->SetName("EdtIME");
    EdtIME->SetParent(this);
    EdtIME->SetBounds(8, 46, 306, 21);
    EdtIME->OnChange = [this](TObject*) { Search(); };
    QryIME = new TVQADOQuery(this);
    QryIME->SetName("QryIME");
    dsIME = new TDataSource(this);
    dsIME->SetDataSet(QryIME);
    dbgrid = new TVQDBGrid(this);
    dbgrid->SetName("dbgrid");
    dbgrid->SetParent(this);
    dbgrid->SetBounds(8, 72, 306, 170);
    dbgrid->SetDataSource(dsIME);
    dbgrid->OnDblClick = [this](TObject*) { Choose(); };
    PnlKeys = new TPanel(this);
    PnlKeys->SetName("PnlKeys");
    PnlKeys->SetParent(this);
    PnlKeys->SetBounds(8, 246, 306, 20);
    PnlKeys->SetCaption("[F10]输入[F6]切换拼音五笔[ENTER]确定[ESC]取消");
    OnKeyDown = [this](TObject* s, Word& key, TShiftState shift) {
        if (key == VK_RETURN) {
            key = 0;
            Choose();
        } else if (key == VK_F6) {
            key = 0;
            ToggleImeMode();
        } else if (key == VK_F10) {
            key = 0;
            EdtIME->SetFocus();
        } else {
            FormKeyDown(s, key, shift);
        }
    };
}

void TFrmIME::DoAfterShow() { Search(); }

void TFrmIME::Search() {}

void TFrmIME::Choose() {
    if (QryIME->Active()) {
        ImeLastPick = QryIME->IsEmpty() || QryIME->FieldCount() == 0 ? "" : QryIME->Fields().Fields(0)->AsString();
    }
    Close();
}

void ShowImeNameList(const std::string& key, TField* field, const std::string& text) {
    if (!IsInCommaList(kNameLists, key)) return;
    auto* form = new TFrmIME(Application);
    form->Key = key;
    form->Field = field;
    form->EdtIME->SetText(text);
    ImeLastPick.clear();
    // The form frees itself when it closes.
    form->ShowModal();
}

void ShowFieldLookup(TControl* control) {
    TField* f = nullptr;
    if (auto* grid = dynamic_cast<TVQCustomDBGrid*>(control))
        f = grid->SelectedField();
    else if (auto* vgrid = dynamic_cast<TVQCustomDBVGrid*>(control))
        f = vgrid->GetSelectedField();
    else if (auto* edit = dynamic_cast<TVQDBEDIT*>(control))
        f = edit->Field();
    if (!f) return;
    auto* rs = dynamic_cast<TVQRctStr*>(f->DataSet());
    if (!rs) return;
    const int si = IndexOfSection(rs->MstSections(), f->FieldName());
    const std::string action = si < 0 ? std::string() : rs->MstSections().Items(si)->ActionType;
    if (action.empty()) {
        ShowMessage("请先设置数据浏览结构!!");
        return;
    }
    if (SameWord(action, "BPYWB")) {
        ShowImeNameList("I" + f->FieldName(), f, "");
        if (ImeLastPick.empty()) return;
        EnsureEditing(f);
        f->SetAsString(ImeLastPick);
        if (f->OnSetText) f->OnSetText(f, f->AsString());
        return;
    }
    if (SameWord(action, "BGetDate")) {
        EnsureEditing(f);
        SelectFieldDate(f, control);
        if (f->OnSetText) f->OnSetText(f, f->AsString());
        return;
    }
    // The lookup dialog of the bill: its structure and rows are the shared
    // data module's, so it opens with nothing to choose from.
    ShowSelectDialog(control, action);
}
