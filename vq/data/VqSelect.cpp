// The lookup dialog; see VqSelect.h.
#include "vq/data/VqSelect.h"

#include <cctype>

#include "Build.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "Gbk.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "vq/controls/VqDBEdit.h"
#include "vq/controls/VqEdits.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/data/VqDecorate.h"
#include "vq/data/VqFieldLookup.h"
#include "vq/data/VqItemDlgs.h"
#include "vq/data/VqRctStr.h"
#include "vq/data/VqTableCopy.h"
#include "vq/data/VqTextUtils.h"
#include "vq/grid/VQDBGrid.h"
#include "vq/grid/VQDBVGrid.h"

namespace {

bool SameWord(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

std::string Quoted(const std::string& v) { return "'" + StringReplace(v, "'", "''", {rfReplaceAll}) + "'"; }

bool IsNumber(const std::string& v) {
    if (v.empty()) return false;
    size_t i = v[0] == '-' || v[0] == '+' ? 1 : 0;
    bool digits = false, dot = false;
    for (; i < v.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(v[i])))
            digits = true;
        else if (v[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits;
}

void EnsureEditing(TField* f) {
    TDataSet* ds = f->DataSet();
    if (ds && ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
}

// The field takes the value and its set-text handler, when assigned, runs
// with its text.
void Take(TField* f, TField* from) {
    f->SetAsString(from->AsString());
    if (f->OnSetText) f->OnSetText(f, f->AsString());
}

} // namespace

std::string SelectOperatorText(const std::string& fieldType, const std::string& value, const std::string& op) {
    const std::string trimmed = Trim(value);
    std::string v = trimmed;
    if (SameWord(fieldType, "Datetime") || SameWord(fieldType, "Varchar") || SameWord(fieldType, "Char"))
        v = Quoted(trimmed);
    else if (SameWord(fieldType, "Boolean"))
        v = value == "是" ? "1" : "0";
    else if (!IsNumber(trimmed))
        v = Quoted(trimmed);
    const std::string pattern = StringReplace(trimmed, "'", "''", {rfReplaceAll});
    if (op == "等于") return "=" + v;
    if (op == "不等于") return " <>" + v;
    if (op == "大于") return " >" + v;
    if (op == "小于") return " <" + v;
    if (op == "小于等于") return " <=" + v;
    if (op == "大于等于") return " >=" + v;
    if (op == "前几位字符为") return " like '" + pattern + "%'";
    if (op == "后几位字符为") return " like '%" + pattern + "'";
    if (op == "包含于") return " like '%" + pattern + "%'";
    return {};
}

TFrmSelect::TFrmSelect(TComponent* AOwner) : TFrmBase(AOwner) {
    SetName("FrmSelect");
    SetCaption("请选择资料");
    SetBounds(0, 0, 651, 406);
    SetPosition(poScreenCenter);
    TBuild b(this);
    PnlTool = b.Add<TPanel>("PnlTool").Align(alTop).Height(39).Caption("");
    auto bar = b.In(PnlTool);
    BtnAdd = bar.Add<TVqButton>("BtnAdd").Set(&TVqButton::SetButtonStyle, sbsNormal).At(2, 1, 54, 37).Caption("增加").Visible(false).OnClick([this](TObject*) {
        if (IsInCommaList("BMaterial,BStock", billCode_)) ShowNewMaterial(nullptr, "", "");
    });
    BtnEdit = bar.Add<TVqButton>("BtnEdit").Set(&TVqButton::SetButtonStyle, sbsNormal).At(58, 1, 54, 37).Caption("编辑").Visible(false);
    BtnSave = bar.Add<TVqButton>("BtnSave").Set(&TVqButton::SetButtonStyle, sbsNormal).At(520, 1, 64, 37).Caption("保存窗口").OnClick([this](TObject*) {
        SaveWindowPosition();
    });
    BtnClose = bar.Add<TVqButton>("BtnClose").Set(&TVqButton::SetButtonStyle, sbsNormal).At(588, 1, 54, 37).Caption("退出").OnClick([this](TObject*) { Close(); });
    PnlHint = b.Add<TPanel>("PnlHint").Align(alBottom).Height(20).Caption("");
    Notebook = b.Add<TNotebook>("Notebook").Align(alClient);
    Notebook->Pages()->Add("Find");
    Notebook->Pages()->Add("Condition");
    auto find = b.In(Notebook->Page(0));
    LblTip = find.Add<TLabel>("LblTip").At(8, 10).Caption("提示:");
    EdtFind = find.Add<TVQEdit>("EdtFind").At(80, 6, 200, 21).OnChange([this](TObject*) { findChange(); });
    BtnFind = find.Add<TVqButton>("BtnFind").Set(&TVqButton::SetButtonStyle, sbsNormal).At(286, 5, 72, 23).Caption("查找字段").OnClick([this](TObject*) {
        const TPoint p = BtnFind->ClientToScreen({0, BtnFind->Height()});
        Menu->Popup(p.X, p.Y);
    });
    MMTCondition = new TVQRctStr(this);
    MMTCondition->SetName("MMTCondition");
    for (auto [name, size] : std::initializer_list<std::pair<const char*, int>>{{"FieldName", 30},
                                                                              {"CFieldName", 20},
                                                                              {"TableName", 20},
                                                                              {"LogicChar", 20},
                                                                              {"FieldValue", 60},
                                                                              {"FieldType", 20},
                                                                              {"InputType", 30},
                                                                              {"OperateChar", 20}})
        MMTCondition->FieldDefs().Add(name, ftString, size);
    dsCondition = new TDataSource(this);
    dsCondition->SetName("dsCondition");
    dsCondition->SetDataSet(MMTCondition);
    TblSelect = new TVQADOQuery(this);
    TblSelect->SetName("TblSelect");
    dsSelect = new TDataSource(this);
    dsSelect->SetName("dsSelect");
    dsSelect->SetDataSet(TblSelect);
    Menu = new TPopupMenu(this);
    Menu->SetName("Menu");
    DBGrid = find.Add<TVQDBGrid>("DBGrid").At(8, 34, 627, 240).OnDblClick([this](TObject*) { Choose(); });
    DBGrid->SetReadOnly(true);
    DBGrid->SetDataSource(dsSelect);
    DBGrid->OnTitleClick = [this](TVQColumn* c) {
        // An ADO result sorts by the clicked column.
        if (c && TblSelect->Active()) TblSelect->SetSort(c->FieldName() + " ASC");
    };
    DBGrid->OnSaveTitleClick = [this](TObject*) { MMTCondition->SaveGridLayoutToRctStr(DBGrid, nullptr, billCode_, true); };
    dbvgrid = find.Add<TVQDBVGrid>("dbvgrid").At(400, 34, 235, 240).Visible(false);
    dbvgrid->SetReadOnly(true);
    dbvgrid->SetDataSource(dsSelect);
    BtnAddRct = find.Add<TVqButton>("BtnAddRct").Set(&TVqButton::SetButtonStyle, sbsNormal).At(300, 280, 100, 25).Caption("加入[+]").Visible(false).OnClick(
        [this](TObject*) { AddRct(); });
    BtnOk = find.Add<TVqButton>("BtnOk").Set(&TVqButton::SetButtonStyle, sbsNormal).At(410, 280, 100, 25).Caption("确定[Enter]").OnClick([this](TObject*) {
        Choose();
    });
    BtnPre = find.Add<TVqButton>("BtnPre").Set(&TVqButton::SetButtonStyle, sbsNormal).At(520, 280, 110, 25).Caption("<<上一步[F12]").OnClick([this](TObject*) {
        Notebook->SetPageIndex(1);
        dbgCondition->SetFocus();
    });
    auto cond = b.In(Notebook->Page(1));
    dbgCondition = cond.Add<TVQDBGrid>("dbgCondition")
                       .At(8, 6, 627, 268)
                       .Columns({{"FieldName", "字段"},
                                 {"CFieldName", "字段名称", 101},
                                 {"TableName", "表名称"},
                                 {"OperateChar", "比较符", 161},
                                 {"FieldValue", "数据值", 226}});
    dbgCondition->Columns()->GetColumn(0)->SetVisible(false);
    dbgCondition->Columns()->GetColumn(2)->SetVisible(false);
    for (int i : {1, 3}) dbgCondition->Columns()->GetColumn(i)->SetReadOnly(true);
    dbgCondition->Columns()->GetColumn(4)->SetButtonStyle(TVQColumnButtonStyle::cbsEllipsis);
    dbgCondition->OnEditButtonClick = [this](TObject*) { conditionButton(); };
    dbgCondition->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) {
        // Enter in the value of the last condition searches.
        if (key == VK_RETURN && shift.Empty() && dbgCondition->SelectedField() &&
            dbgCondition->SelectedField()->FieldName() == "FieldValue" && MMTCondition->RecNo() >= MMTCondition->RecordCount()) {
            key = 0;
            if (MMTCondition->State() == dsEdit || MMTCondition->State() == dsInsert) MMTCondition->Post();
            Search();
        }
    };
    BtnNext = cond.Add<TVqButton>("BtnNext").Set(&TVqButton::SetButtonStyle, sbsNormal).At(520, 280, 110, 25).Caption("下一步>>[F12]").OnClick([this](TObject*) {
        Search();
    });
    dbgCondition->SetDataSource(dsCondition);
    Notebook->SetPageIndex(0);
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { keyDown(s, k, sh); };
    OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
}

void TFrmSelect::SetAsker(TControl* control, const std::string& billCode) {
    asker_ = control;
    billCode_ = billCode;
}

void TFrmSelect::SetValueMode(const std::string& resultField, const std::string& billCode, std::string* value) {
    resultField_ = resultField;
    billCode_ = billCode;
    valueOut_ = value;
}

TField* TFrmSelect::targetField() const {
    if (auto* e = dynamic_cast<TVQDBEDIT*>(asker_)) return e->Field();
    if (auto* v = dynamic_cast<TVQCustomDBVGrid*>(asker_)) return v->GetSelectedField();
    if (auto* g = dynamic_cast<TVQCustomDBGrid*>(asker_)) return g->SelectedField();
    return nullptr;
}

void TFrmSelect::DoAfterShow() {
    auto* grid = dynamic_cast<TVQCustomDBGrid*>(asker_);
    BtnAddRct->SetVisible(grid && IsInCommaList("BMaterial,BStock", billCode_) && grid->SelectedField() &&
                          SameWord(grid->SelectedField()->FieldName(), "ItemCode"));
    // The structure is the module's: a failed load leaves whatever find
    // sections the table already carries (none, in this system).
    MMTCondition->LoadStructure(billCode_);
    if (!MMTCondition->Active()) MMTCondition->Open();
    MMTCondition->EmptyTable();
    TFindsections& fs = MMTCondition->FindSections();
    for (int i = 0; i < fs.Count(); ++i) {
        const TFindsection* s = fs.Items(i);
        MMTCondition->Append();
        MMTCondition->FieldByName("FieldName")->SetAsString(s->FieldName);
        MMTCondition->FieldByName("CFieldName")->SetAsString(ConvertCaption(s->CFieldName));
        MMTCondition->FieldByName("TableName")->SetAsString(s->TableName);
        MMTCondition->FieldByName("FieldValue")->SetAsString(s->FieldValue);
        MMTCondition->FieldByName("LogicChar")->SetAsString(ConvertCaption(s->logicChar));
        MMTCondition->FieldByName("OperateChar")->SetAsString(ConvertCaption(s->OperateChar));
        MMTCondition->FieldByName("InputType")->SetAsString(s->InPutType);
        MMTCondition->FieldByName("FieldType")->SetAsString(s->FieldType);
        MMTCondition->Post();
    }
    MMTCondition->First();
    BtnAdd->SetVisible(IsInCommaList("BMaterial,BStock", billCode_));
    if (MMTCondition->RecordCount() > 0) {
        BtnPre->SetVisible(true);
        Notebook->SetPageIndex(1);
        dbgCondition->SetFocus();
        dbgCondition->SetSelectedIndex(2);
    } else {
        BtnPre->SetVisible(false);
        Search();
    }
}

std::string TFrmSelect::ConditionText() {
    std::string out;
    if (!MMTCondition->Active()) return out;
    if (MMTCondition->State() == dsEdit || MMTCondition->State() == dsInsert) MMTCondition->Post();
    const TBookmark b = MMTCondition->GetBookmark();
    TDisableControls still(MMTCondition);
    for (MMTCondition->First(); !MMTCondition->Eof(); MMTCondition->Next()) {
        const std::string value = MMTCondition->FieldByName("FieldValue")->AsString();
        if (value.empty()) continue;
        const std::string op = SelectOperatorText(MMTCondition->FieldByName("FieldType")->AsString(), value,
                                                  MMTCondition->FieldByName("OperateChar")->AsString());
        if (op.empty()) continue;
        out += out.empty() ? " " : " and ";
        out += MMTCondition->FieldByName("TableName")->AsString() + "." +
               MMTCondition->FieldByName("FieldName")->AsString() + op;
    }
    if (!b.empty()) MMTCondition->GotoBookmark(b);
    return out;
}

// The master query runs on the shared data module's business connection;
// without it the result stays closed (empty).
void TFrmSelect::Search() {
    const std::string condition = ConditionText();
    TblSelect->Close();
    if (TblSelect->Connection()) MMTCondition->OpenMasterQuery(condition, TblSelect, "");
    Notebook->SetPageIndex(0);
    rebuildResult();
    if (EdtFind->CanFocus()) EdtFind->SetFocus();
}

void TFrmSelect::rebuildResult() {
    dbvgrid->SetVisible(false);
    Menu->Items()->Clear();
    if (TblSelect->Active()) MMTCondition->BuildGridColumns(DBGrid, MMTCondition);
    int n = 0;
    for (int i = 0; i < DBGrid->Columns()->Count(); ++i) {
        TVQColumn* c = DBGrid->Columns()->GetColumn(i);
        TField* f = c->Field();
        if (!f || f->DataType() != ftString) continue;
        auto* item = new TMenuItem(Menu);
        item->SetCaption(c->Title()->GetCaption());
        // Every fifteenth item starts a new menu column.
        if (++n % 15 == 0) item->SetBreak(mbBreak);
        const std::string caption = c->Title()->GetCaption();
        item->OnClick = [this, caption](TObject*) { ChooseFindField(caption); };
        Menu->Items()->Add(item);
    }
}

void TFrmSelect::ChooseFindField(const std::string& caption) {
    TVQColumn* c = DBGrid->FindColumnByCaption(caption);
    if (!c) return;
    findField_ = c->FieldName();
    LblTip->SetCaption(caption + "输入:");
    LblTip->SetWidth(6 * GbkByteLength(LblTip->Caption()));
    if (TblSelect->Active()) TblSelect->SetSort(findField_ + " ASC");
}

void TFrmSelect::findChange() {
    const std::string text = EdtFind->Text();
    if (text.empty()) {
        if (TblSelect->Active()) TblSelect->First();
        return;
    }
    if (findField_.empty()) {
        if (Menu->Items()->Count() == 0) {
            EdtFind->Font()->SetColor(clBlue);
            PnlHint->SetCaption("");
            return;
        }
        Menu->Items()->Items(0)->Click();
    }
    TField* f = TblSelect->Active() ? TblSelect->FindField(findField_) : nullptr;
    if (f && f->Size() > 0) EdtFind->SetMaxLength(f->Size());
    const bool found = f && TblSelect->Locate(findField_, Variant(Trim(text)), loCaseInsensitive | loPartialKey);
    EdtFind->Font()->SetColor(found ? clBlack : clBlue);
    PnlHint->SetCaption(found ? "[" + f->AsString() + "]" : "");
}

void TFrmSelect::Choose() {
    if (Notebook->PageIndex() != 0) return;
    if (!TblSelect->Active() || TblSelect->IsEmpty()) {
        Close();
        return;
    }
    if (valueOut_) {
        if (TField* r = TblSelect->FindField(resultField_)) {
            *valueOut_ = r->AsString();
            SetModalResult(1);
        }
        return;
    }
    if (TField* f = targetField()) {
        if (TField* src = TblSelect->FindField(f->FieldName())) {
            EnsureEditing(f);
            Take(f, src);
            TDataSet* ds = f->DataSet();
            if (SameWord(billCode_, "BStock") && dynamic_cast<TVQCustomDBGrid*>(asker_))
                if (TField* a = ds->FindField("StockIndex"), *b = TblSelect->FindField("StockIndex"); a && b)
                    a->SetAsString(b->AsString());
            if (SameWord(billCode_, "BWorker"))
                if (TField* name = TblSelect->FindField("Name")) Take(f, name);
        }
    }
    Close();
}

void TFrmSelect::AddRct() {
    auto* grid = dynamic_cast<TVQCustomDBGrid*>(asker_);
    TField* f = grid ? grid->SelectedField() : nullptr;
    if (!f || !TblSelect->Active() || TblSelect->IsEmpty()) return;
    TField* src = TblSelect->FindField(f->FieldName());
    if (!src) return;
    TDataSet* ds = f->DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert) ds->Append();
    Take(f, src);
    for (auto [to, from] : {std::pair{"Location", "Location"}, std::pair{"Costprice", "CostPrice"}})
        if (TField* a = ds->FindField(to), *b = TblSelect->FindField(from); a && b) Take(a, b);
    if (TField* a = ds->FindField("StockIndex"), *b = TblSelect->FindField("StockIndex"); a && b)
        a->SetAsString(b->AsString());
    ShowAddItemRct(grid);
}

void TFrmSelect::conditionButton() {
    if (!MMTCondition->Active() || MMTCondition->IsEmpty()) return;
    const std::string input = MMTCondition->FieldByName("InputType")->AsString();
    const std::string field = MMTCondition->FieldByName("FieldName")->AsString();
    std::string value;
    if (!SameWord(input, "BPYWB")) {
        if (!PickConditionValue(field, input, value)) return;
    } else {
        ShowImeNameList("I" + field, nullptr, "");
        if (ImeLastPick.empty()) return;
        value = ImeLastPick;
    }
    if (MMTCondition->State() != dsEdit && MMTCondition->State() != dsInsert) MMTCondition->Edit();
    MMTCondition->FieldByName("FieldValue")->SetAsString(value);
}

void TFrmSelect::keyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    const bool findPage = Notebook->PageIndex() == 0;
    switch (Key) {
    case VK_F2: BtnAdd->Click(); break;
    case VK_F3: BtnEdit->Click(); break;
    case VK_F10: EdtFind->SetFocus(); break;
    case VK_F12:
        if (findPage)
            BtnPre->Click();
        else
            BtnNext->Click();
        break;
    case VK_ADD:
        if (!findPage || !BtnAddRct->Visible()) return;
        AddRct();
        break;
    case VK_RETURN:
        if (!findPage || (!DBGrid->Focused() && !EdtFind->Focused())) return;
        Choose();
        break;
    default: FormKeyDown(Sender, Key, Shift); return;
    }
    Key = 0;
}

void TFrmSelect::LoadWindowPosition() {
    const std::string ini = GetExeRelativePath("ConnectSQL.ini");
    const std::string section = "选择窗口" + billCode_;
    auto apply = [&](const char* key, void (TControl::*set)(int)) {
        Variant v;
        ReadIniValue(ini, section, key, v, Variant(std::string()));
        const std::string text = VarToStr(v);
        if (text.empty()) return;
        const int n = StrToInt(text);
        if (n > 0) (this->*set)(n);
    };
    apply("Top", &TControl::SetTop);
    apply("Left", &TControl::SetLeft);
    apply("Width", &TControl::SetWidth);
    apply("Height", &TControl::SetHeight);
}

void TFrmSelect::SaveWindowPosition() {
    const std::string ini = GetExeRelativePath("ConnectSQL.ini");
    const std::string section = "选择窗口" + billCode_;
    WriteIniString(ini, section, "Top", IntToStr(Top()));
    WriteIniString(ini, section, "left", IntToStr(Left()));
    WriteIniString(ini, section, "Width", IntToStr(Width()));
    WriteIniString(ini, section, "Height", IntToStr(Height()));
}

bool PickConditionValue(const std::string& resultField, const std::string& billCode, std::string& value) {
    std::string chosen;
    auto* form = new TFrmSelect(Application);
    form->SetValueMode(resultField, billCode, &chosen);
    form->LoadWindowPosition();
    // The form frees itself when it closes; chosen is written before.
    const int result = form->ShowModal();
    if (result <= 0 || result == mrCancel) return false;
    value = chosen;
    return true;
}

void ShowSelectDialog(TControl* control, const std::string& billCode) {
    auto* form = new TFrmSelect(Application);
    form->SetAsker(control, billCode);
    form->LoadWindowPosition();
    form->ShowModal();
}
