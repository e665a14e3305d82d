// The item line dialogs; see VqItemDlgs.h.
#include "vq/data/VqItemDlgs.h"

#include "Build.h"
#include "DB.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "vq/controls/VqDBCombos.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/data/VqRctStr.h"
#include "vq/data/VqTableCopy.h"
#include "vq/data/VqTextUtils.h"
#include "vq/grid/VQDBGrid.h"
#include "vq/grid/VQDBVGrid.h"

namespace {

bool SameWord(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

void EnsureEditing(TField* f) {
    TDataSet* ds = f->DataSet();
    if (ds && ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
}

void RunSetText(TField* f) {
    if (f->OnSetText) f->OnSetText(f, f->Text());
}

} // namespace

std::string ItemLevelCode(const std::string& itemCode) {
    const auto blank = itemCode.find(' ');
    if (blank == std::string::npos) return itemCode;
    const std::string rest = itemCode.substr(blank + 1);
    std::string out;
    size_t pos = 0;
    for (int n = 0; n < 30 && pos < rest.size(); ++n) {
        const size_t start = pos;
        Utf8Next(rest, pos);
        out += rest.substr(start, pos - start);
    }
    return out;
}

// ------------------------------------------------------------ TFrmAddItemRct

TFrmAddItemRct::TFrmAddItemRct(TComponent* AOwner, TVQCustomDBGrid* grid) : TFrmDlgBase(AOwner), grid_(grid) {
    SetName("FrmAddItemRct");
    SetCaption("请输入数量");
    SetBounds(0, 0, 300, 320);
    SetPosition(poScreenCenter);
    dsAddItemRct = new TDataSource(this);
    dsAddItemRct->SetName("dsAddItemRct");
    TBuild b(this);
    BtnSave = b.In(PnlLeft).Add<TVqButton>("BtnSave").Set(&TVqButton::SetButtonStyle, sbsNormal).At(0, 0, 56, 37).Caption("确定[F2]").OnClick([this](TObject*) {
        Save();
    });
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        if (k == VK_F2) {
            k = 0;
            Save();
            return;
        }
        FormKeyDown(s, k, sh);
    };
    OnClose = [this](TObject*, TCloseAction& a) {
        // Closing without saving drops the pending line.
        TDataSet* ds = dsAddItemRct->DataSet();
        if (!saved_ && ds && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Cancel();
        a = caFree;
    };
}

tVQDBLabelEdit* TFrmAddItemRct::addEdit(const std::string& field, const std::string& titleOf, int top) {
    TVQColumn* c = grid_->FindColumnByFieldName(titleOf);
    auto* e = new tVQDBLabelEdit(this);
    e->SetName("Edt" + field);
    e->SetParent(this);
    e->SetBounds(80, top, 180, 21);
    e->SetLabelColor(clWindowText);
    e->SetDataSource(dsAddItemRct);
    e->SetDataField(field);
    e->SetLabelCaption(c ? c->Title()->GetCaption() : field);
    edits_.push_back(e);
    return e;
}

void TFrmAddItemRct::DoAfterShow() {
    dsAddItemRct->SetDataSet(grid_ ? grid_->DataSet() : nullptr);
    TField* sel = grid_ ? grid_->SelectedField() : nullptr;
    if (!sel || !SameWord(sel->FieldName(), "ItemCode")) {
        Close();
        return;
    }
    addEdit("ItemCode", "ItemCode", 65)->SetEnabled(false);
    struct Row {
        const char* field;
        const char* titleOf;
        int kind; // 0 disabled, 1 read-only as its column, 2 takes the focus, 3 plain, 4 with button
    };
    std::vector<Row> rows = {{"ItemName", "ItemName", 0}, {"Model", "Model", 1},       {"Qty", "Qty", 2},
                             {"MaxQty", "maxQty", 2},     {"minQty", "minQty", 3},     {"DisCount", "DisCount", 1},
                             {"Price", "Price", 1},       {"Bprice", "BPrice", 1}};
    if (grid_->Owner() && grid_->Owner()->Name() == "FrmRpSOutItem") {
        rows.push_back({"Charger", "Charger", 4});
        rows.push_back({"Class", "Class", 4});
    }
    tVQDBLabelEdit* focus = nullptr;
    for (const Row& r : rows) {
        TVQColumn* c = grid_->FindColumnByFieldName(r.titleOf);
        if (!c) continue;
        tVQDBLabelEdit* e = addEdit(r.field, r.titleOf, 87 + 22 * (int(edits_.size()) - 1));
        switch (r.kind) {
        case 0: e->SetEnabled(false); break;
        case 1: e->SetReadOnly(c->ReadOnly()); break;
        case 2: focus = e; break;
        case 4:
            if (e->Button()) e->Button()->SetVisible(true);
            break;
        default: break;
        }
    }
    tVQDBLabelEdit* last = edits_.back();
    last->OnKeyDown = [this](TObject*, Word& k, TShiftState) {
        if (k == VK_RETURN) {
            k = 0;
            Save();
        }
    };
    if (focus && focus->CanFocus()) focus->SetFocus();
}

void TFrmAddItemRct::Save() {
    TDataSet* ds = dsAddItemRct->DataSet();
    if (ds) {
        // The focused edit writes its text first.
        for (tVQDBLabelEdit* e : edits_)
            if (e->Focused() && e->Field() && e->Text() != e->Field()->Text() && e->Field()->CanModify()) {
                EnsureEditing(e->Field());
                e->Field()->SetText(e->Text());
            }
        ds->CheckBrowseMode();
    }
    saved_ = true;
    // A modal show ends with its result; closing would answer Cancel.
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

int ShowAddItemRct(TVQCustomDBGrid* grid) {
    auto* form = new TFrmAddItemRct(Application, grid);
    return form->ShowModal();
}

// ------------------------------------------------------------ TFrmNewMaterial

TFrmNewMaterial::TFrmNewMaterial(TComponent* AOwner, TField* target, const std::string& itemCode,
                                 const std::string& itemName)
    : TFrmDlgBase(AOwner), target_(target), itemCode_(itemCode), itemName_(itemName) {
    SetName("FrmNewMaterial");
    SetCaption("新件");
    SetBounds(0, 0, 640, 420);
    SetPosition(poScreenCenter);
    TblMaterial = new TVQRctStr(this);
    TblMaterial->SetName("TblMaterial");
    TblMaterial->OnVQSetText = [this](TField* f, const std::string& text) { TblMaterial->SetTextWithLookups(f, text); };
    dsMaterial = new TDataSource(this);
    dsMaterial->SetName("dsMaterial");
    dsMaterial->SetDataSet(TblMaterial);
    TBuild b(this);
    BtnAdd = b.In(PnlLeft).Add<TVqButton>("BtnAdd").Set(&TVqButton::SetButtonStyle, sbsNormal).At(0, 0, 56, 37).Caption("增加");
    BtnSave = b.In(Pnlcenter).Add<TVqButton>("BtnSave").Set(&TVqButton::SetButtonStyle, sbsNormal).At(0, 0, 56, 37).Caption("保存").OnClick([this](TObject*) {
        Save();
    });
    PnlKeys = b.Add<TPanel>("PnlKeys").Align(alBottom).Height(22).Caption("[F5] 保存");
    auto vgrid = [&](const char* name, int left) {
        TVQDBVGrid* g = b.Add<TVQDBVGrid>(name).At(left, 45, 205, 320);
        g->SetDBGridMode({});
        g->SetDataSource(dsMaterial);
        g->OnKeyDown = [this, g](TObject*, Word& k, TShiftState) { gridKey(g, k); };
        return g;
    };
    DBVBase = vgrid("DBVBase", 4);
    Base2 = vgrid("Base2", 214);
    dbvPlus = vgrid("dbvPlus", 424);
    TVColumn* mode = dbvPlus->Columns()->Add();
    mode->SetFieldName("NewPriceMode");
    mode->Title()->SetCaption("价格取向");
    *mode->GetPickList() = {"取旧价", "取新价"};
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        if (k == VK_F2) {
            k = 0;
            BtnAdd->Click();
        } else if (k == VK_F5) {
            k = 0;
            Save();
        } else {
            FormKeyDown(s, k, sh);
        }
    };
}

// Enter on the last row of one record grid goes on to the next; on the
// last row of the last it saves.
void TFrmNewMaterial::gridKey(TVQDBVGrid* grid, Word& Key) {
    if (Key != VK_RETURN || grid->GetSelectedIndex() < grid->Columns()->Count() - 1) return;
    Key = 0;
    if (grid == DBVBase) {
        Base2->SetFocus();
        Base2->SetSelectedIndex(0);
    } else if (grid == Base2) {
        dbvPlus->SetFocus();
        dbvPlus->SetSelectedIndex(0);
    } else {
        Save();
    }
}

void TFrmNewMaterial::DoBeforeShow() {
    TblMaterial->PrepareFromStructure("EMaterial", false);
    TMstSections& ms = TblMaterial->MstSections();
    for (int i = 0; i < ms.Count(); ++i) {
        const TMstSection* s = ms.Items(i);
        TVQDBVGrid* g = dynamic_cast<TVQDBVGrid*>(FindComponent(Trim(s->DBControl)));
        if (!g) continue;
        TVColumn* c = g->Columns()->Add();
        c->SetFieldName(s->Alias());
        c->Title()->SetCaption(s->CFieldName);
        c->SetReadOnly(s->IsReadOnly);
        if (!s->IsReadOnly && !s->ActionType.empty()) c->SetButtonStyle(TVQColumnButtonStyle::cbsEllipsis);
    }
    // An existing item is read from the item master, which is the module's:
    // nothing comes from it here.
    if (!TblMaterial->Active()) return;
    if (target_) {
        if (TblMaterial->IsEmpty())
            TblMaterial->Append();
        else
            TblMaterial->Edit();
        for (const char* name : {"itemCode", "PartsCode", "LevelCode"})
            if (TField* f = TblMaterial->FindField(name)) f->SetAsString(target_->Text());
        if (TField* f = TblMaterial->FindField("itemName")) f->SetAsString(itemName_);
    }
}

void TFrmNewMaterial::CompleteItem() {
    if (!TblMaterial->Active()) return;
    TField* code = TblMaterial->FindField("ItemCode");
    const bool editing = TblMaterial->State() == dsEdit || TblMaterial->State() == dsInsert;
    if (code && editing) code->SetAsString(Trim(code->AsString()));
    if (!editing) return;
    TField* parts = TblMaterial->FindField("PartsCode");
    if (parts) parts->SetAsString(UpperCase(parts->AsString()));
    if (TField* model = TblMaterial->FindField("Model")) model->SetAsString(UpperCase(model->AsString()));
    if (!code) return;
    if (code->AsString().empty() && parts) code->SetAsString(parts->AsString());
    code->SetAsString(UpperCase(code->AsString()));
    if (TField* level = TblMaterial->FindField("LevelCode")) level->SetAsString(ItemLevelCode(code->AsString()));
    TField* name = TblMaterial->FindField("ItemName");
    if (name && !name->AsString().empty()) {
        std::string py, wbh, wb;
        BuildInputCodes(name->AsString(), py, wbh, wb);
        for (auto [field, value] : {std::pair{"PY", &py}, std::pair{"WBH", &wbh}, std::pair{"WB", &wb}})
            if (TField* f = TblMaterial->FindField(field)) f->SetAsString(*value);
        // The name list (tMaterialName) is the module's as well.
    }
}

void TFrmNewMaterial::Save() {
    try {
        CompleteItem();
        TField* code = TblMaterial->Active() ? TblMaterial->FindField("ItemCode") : nullptr;
        const std::string itemCode = code ? code->AsString() : std::string();
        if (!TblMaterial->SaveToMasterTable("tmaterial.ItemCode='" + StringReplace(itemCode, "'", "''", {rfReplaceAll}) + "'",
                                            true))
            return;
        if (target_) {
            EnsureEditing(target_);
            target_->SetAsString(itemCode);
            RunSetText(target_);
        }
        Close();
    } catch (const Exception& e) {
        ShowMessage(TranslateDBError(e.Message));
    }
}

void ShowNewMaterial(TField* target, const std::string& itemCode, const std::string& itemName) {
    auto* form = new TFrmNewMaterial(Application, target, itemCode, itemName);
    form->ShowModal();
}

// ------------------------------------------------------------ TFrmSelectItemName

TFrmSelectItemName::TFrmSelectItemName(TComponent* AOwner, TField* target) : TFrmDlgBase(AOwner), target_(target) {
    SetName("FrmSelectItemName");
    SetCaption("请选择品种");
    SetBounds(0, 0, 420, 320);
    SetPosition(poScreenCenter);
    QryItemName = new TVQADOQuery(this);
    QryItemName->SetName("QryItemName");
    dsItemName = new TDataSource(this);
    dsItemName->SetName("dsItemName");
    dsItemName->SetDataSet(QryItemName);
    TBuild b(this);
    dbgridItemName = b.Add<TVQDBGrid>("dbgridItemName").Align(alClient).OnDblClick([this](TObject*) { Choose(); });
    dbgridItemName->SetReadOnly(true);
    dbgridItemName->SetDataSource(dsItemName);
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        if (k == VK_RETURN) {
            k = 0;
            Choose();
            return;
        }
        FormKeyDown(s, k, sh);
    };
}

void TFrmSelectItemName::Choose() {
    if (target_ && QryItemName->Active() && !QryItemName->IsEmpty())
        if (TField* code = QryItemName->FindField("编号")) {
            EnsureEditing(target_);
            target_->SetAsString(code->AsString());
            RunSetText(target_);
        }
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void SelectItemName(const std::string& name, const std::string& model, TField* target) {
    if (!target) return;
    auto clear = [&] {
        EnsureEditing(target);
        target->Clear();
        RunSetText(target);
    };
    if (name.empty()) {
        clear();
        return;
    }
    (void)model; // the module's settings decide whether the model counts
    auto* picker = new TFrmSelectItemName(Application, target);
    // The items are the module's: without its business connection the
    // query stays closed, as if no item matched.
    const int rows = picker->QryItemName->Active() ? picker->QryItemName->RecordCount() : 0;
    if (rows == 1) {
        if (TField* code = picker->QryItemName->FindField("编号")) {
            EnsureEditing(target);
            target->SetAsString(code->AsString());
            RunSetText(target);
        }
    } else if (rows > 1) {
        picker->ShowModal();
        return;
    } else {
        delete picker;
        clear();
        ShowNewMaterial(target, "", name);
        return;
    }
    delete picker;
}
