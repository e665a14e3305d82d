// The classification tree; see uSortSet.h.
#include "uSortSet.h"

#include "ADODB.h"
#include "Build.h"
#include "Catalogue.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"

#include <memory>

namespace {
constexpr TColor PaleBlue = RGB(204, 236, 255);
constexpr TColor TitleOrange = RGB(255, 227, 170);
const char* const RootText = "中图分类简表";

TADOConnection* connection() { return DMData->ADOConnection1; }
} // namespace

// ---------------------------------------------------------------- edit dialog

TFrmSortSetEdit::TFrmSortSetEdit(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmSortSetEdit");
    SetBorderStyle(bsDialog);
    SetClientWidth(300);
    SetClientHeight(120);

    TBuild b(this);
    const TFieldColumn column{16, 100, 180, 21, 3, 80, 14};
    EditCode = b.Field<TEdit>(column, "LbCode", "类目分类号：", "EditCode", 16);
    EditName = b.Field<TEdit>(column, "LbName", "类目名称：", "EditName", 46);
    auto [ok, cancel] = b.OkCancel<TButton>({"BtOk", "确定", 120, mrOk}, {"BtCancel", "取消", 208}, 82, 76, 25);
    BtOk = ok.OnClick(&TFrmSortSetEdit::BtOkClick);
    BtCancel = cancel.OnClick(&TFrmSortSetEdit::BtCancelClick);
    BtOk->SetDefault(true);
}

void TFrmSortSetEdit::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("图书类目");
    SetColor(PaleBlue);
    EditCode->SetText(CodeText);
    EditName->SetText(NameText);
    SetActiveControl(EditCode);
}

void TFrmSortSetEdit::BtOkClick(TObject*) {
    CodeText = EditCode->Text();
    NameText = EditName->Text();
}

void TFrmSortSetEdit::BtCancelClick(TObject*) { Close(); }

// ---------------------------------------------------------------- the tree

TFrmSortSet::TFrmSortSet(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmSortSet");
    SetBorderStyle(bsSizeable);
    SetClientWidth(640);
    SetClientHeight(440);

    TBuild b(this);
    ToolBar1 = b.Add<TToolBar>("ToolBar1")
                   .Set(&TToolBar::SetFlat, true)
                   .Set(&TToolBar::SetShowCaptions, true)
                   .Set(&TToolBar::SetButtonWidth, 70)
                   .Set(&TToolBar::SetButtonHeight, 26)
                   .Height(30);
    auto tools = b.In(ToolBar1);
    TbtAdd = tools.Add<TToolButton>("TbtAdd").Caption("新增(&A)").OnClick(&TFrmSortSet::TbtAddClick);
    TbtEdit = tools.Add<TToolButton>("TbtEdit").Caption("修改(&E)").OnClick(&TFrmSortSet::TbtEditClick);
    TbtDelete = tools.Add<TToolButton>("TbtDelete").Caption("删除(&D)").OnClick(&TFrmSortSet::TbtDeleteClick);
    TbtOk = tools.Add<TToolButton>("TbtOk").Caption("确定(&O)").OnClick(&TFrmSortSet::TbtOkClick);
    TbtExit = tools.Add<TToolButton>("TbtExit").Caption("取消(&C)").OnClick(&TFrmSortSet::TbtExitClick);
    TbtHelp = tools.Add<TToolButton>("TbtHelp").Caption("帮助(&H)").OnClick(&TFrmSortSet::TbtHelpClick);

    Tvtemp = b.Add<TTreeView>("Tvtemp")
                 .Align(alLeft)
                 .Width(300)
                 .TabOrder(0)
                 .Set(&TTreeView::SetReadOnly, true)
                 .Set(&TTreeView::SetHideSelection, false)
                 .OnChange(&TFrmSortSet::TvtempChange)
                 .OnKeyPress(&TFrmSortSet::TvtempKeyPress)
                 .OnKeyDown(KeyDownHandler())
                 .OnDblClick(&TFrmSortSet::TbtOkClick);
    Tvtemp->OnExpanding = [this](TObject* s, TTreeNode* n, bool& allow) { TvtempExpanding(s, n, allow); };
    Splitter1 = b.Add<TSplitter>("Splitter1").Align(alLeft).Width(4);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alClient).TabOrder(1);
    auto right = b.In(Panel1);
    Label1 = right.Add<TLabel>("Label1").Caption("说明：双击所选类别或按确定选定退出！").Align(alBottom);
    DBGrid1 = right.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgColumnResize, dgColLines, dgRowLines,
                                                            dgRowSelect, dgAlwaysShowSelection})
                  .OnKeyDown(KeyDownHandler())
                  .OnDblClick(&TFrmSortSet::DBGrid1DblClick)
                  .Columns({{"SortCode", "类目分类号", 92}, {"SortName", "类目名称", 228}});

    ADOqSortList = b.Add<TADOQuery>("ADOqSortList").Set(&TADOQuery::SetCursorType, ctStatic);
    ADOqTemp = b.Add<TADOQuery>("ADOqTemp");
    if (DMData) {
        ADOqSortList->SetConnection(connection());
        ADOqTemp->SetConnection(connection());
    }
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(ADOqSortList);
    DBGrid1->SetDataSource(DataSource1);
}

TFrmSortSet::~TFrmSortSet() {
    // The tree goes after the list it would refresh.
    rebuilding_ = true;
    Tvtemp->OnChange = nullptr;
    Tvtemp->OnExpanding = nullptr;
}

TTreeNode* TFrmSortSet::addNode(TTreeNode* parent, const std::string& key, const std::string& text) {
    TTreeNode* node = Tvtemp->Items()->AddChild(parent, text);
    nodes_[key] = node;
    keys_[node] = key;
    return node;
}

void TFrmSortSet::addRows(const std::string& sql, const std::vector<Variant>& values) {
    ADOqTemp->SetStatement({sql, values});
    ADOqTemp->Open();
    for (ADOqTemp->First(); !ADOqTemp->Eof(); ADOqTemp->Next()) {
        const std::string key = ADOqTemp->FieldByName("sKey")->AsString();
        if (key.empty() || nodes_.count(key)) continue;
        // A class whose parent is not in the tree still shows, under the root.
        TTreeNode* parent = FindParentNode(ADOqTemp->FieldByName("ParentKey")->AsString());
        addNode(parent ? parent : root_, key,
                ADOqTemp->FieldByName("SortCode")->AsString() + " " + ADOqTemp->FieldByName("SortName")->AsString());
    }
    ADOqTemp->Close();
}

void TFrmSortSet::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("中图分类简表");
    ChosenSortCode.clear();
    rebuilding_ = true;
    Tvtemp->Items()->BeginUpdate();
    Tvtemp->Items()->Clear();
    nodes_.clear();
    keys_.clear();
    loaded_.clear();
    root_ = addNode(nullptr, RootClassKey, RootText);
    // The first level, then its children, whatever width the first-level
    // keys have (those added here have six characters, older ones four).
    addRows("select * from Type where ParentKey=? order by sKey", {RootClassKey});
    addRows("select * from Type where ParentKey in (select sKey from Type where ParentKey=?) order by sKey",
            {RootClassKey});
    loaded_[RootClassKey] = true;
    for (int i = 0; i < root_->Count(); ++i) loaded_[KeyOf(root_->Item(i))] = true;
    Tvtemp->Items()->EndUpdate();
    rebuilding_ = false;
    showChildren(RootClassKey);
}

void TFrmSortSet::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    SetColor(PaleBlue);
    Panel1->SetColor(PaleBlue);
    ToolBar1->SetColor(PaleBlue);
    DBGrid1->SetFixedColor(TitleOrange);
    root_->Expand(false);
    Tvtemp->SetSelected(root_);
    SetActiveControl(Tvtemp);
}

void TFrmSortSet::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_F1) {
        TbtHelpClick(Sender);
        Key = 0;
        return;
    }
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
}

TTreeNode* TFrmSortSet::FindParentNode(const std::string& key) const {
    if (key.size() == 2) return root_;
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : it->second;
}

std::string TFrmSortSet::KeyOf(TTreeNode* node) const {
    auto it = keys_.find(node);
    return it == keys_.end() ? std::string() : it->second;
}

void TFrmSortSet::showChildren(const std::string& key) {
    ADOqSortList->SetStatement({"select * from Type where ParentKey=? order by sKey", {key}});
    ADOqSortList->Open();
}

void TFrmSortSet::TvtempChange(TObject*, TTreeNode* Node) {
    if (Node && !rebuilding_) showChildren(KeyOf(Node));
}

void TFrmSortSet::TvtempExpanding(TObject*, TTreeNode* Node, bool& AllowExpansion) {
    AllowExpansion = true;
    Screen->SetCursor(crHourGlass);
    // Each visible child gets its own children, so it shows whether it
    // can be opened.
    std::vector<std::string> keys;
    for (int i = 0; i < Node->Count(); ++i) keys.push_back(KeyOf(Node->Item(i)));
    for (const std::string& key : keys) {
        if (loaded_[key]) continue;
        addRows("select * from Type where ParentKey=? order by sKey", {key});
        loaded_[key] = true;
    }
    Screen->SetCursor(crDefault);
}

void TFrmSortSet::choose(bool withKey) {
    TTreeNode* node = Tvtemp->Selected();
    std::string code, key;
    if (node) {
        TRowLookup row(connection(), "select * from Type where sKey=?", {KeyOf(node)});
        if (!row.Empty()) {
            code = row.Text("SortCode");
            key = row.Text("sKey");
        }
    }
    ChosenSortCode = code;
    if (withKey) ChosenSKey = key;
    Close();
}

void TFrmSortSet::TbtOkClick(TObject*) { choose(true); }

void TFrmSortSet::TvtempKeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    choose(false);
}

void TFrmSortSet::DBGrid1DblClick(TObject*) {
    ChosenSortCode = ADOqSortList->Active() && !ADOqSortList->IsEmpty()
                         ? ADOqSortList->FieldByName("SortCode")->AsString()
                         : std::string();
    Close();
}

void TFrmSortSet::TbtExitClick(TObject*) { Close(); }

void TFrmSortSet::TbtHelpClick(TObject*) { WinExecHelp("HH.exe Vozoveraz.chm::lbxz.htm"); }

bool TFrmSortSet::codeTaken(const std::string& code, const std::string& exceptKey) {
    TRowLookup row(connection(), "select sKey from Type where SortCode=? and sKey<>?", {code, exceptKey});
    return !row.Empty();
}

bool TFrmSortSet::editClass(std::string& code, std::string& name, const std::string& exceptKey) {
    std::unique_ptr<TFrmSortSetEdit> edit(new TFrmSortSetEdit(this));
    edit->CodeText = code;
    edit->NameText = name;
    if (edit->ShowModal() != mrOk) return false;
    code = Trim(edit->EditCode->Text());
    name = edit->EditName->Text();
    if (code.empty()) {
        ShowInfoBox("类目分类号必须填写！");
        return false;
    }
    // Items and the statistics find their class by code alone.
    if (codeTaken(code, exceptKey)) {
        ShowInfoBox("该类目分类号已经存在,请重新录入!");
        return false;
    }
    return true;
}

void TFrmSortSet::TbtAddClick(TObject*) {
    TTreeNode* parent = Tvtemp->Selected();
    if (!parent) {
        ShowInfoBox("请选择左边父类别名称!");
        return;
    }
    std::string code, name;
    if (!editClass(code, name, "")) return;
    const std::string parentKey = KeyOf(parent);
    TADOConnection* c = connection();
    try {
        if (!c->Connected()) c->Open();
        TTransaction transaction(c);
        const std::optional<std::string> key = NextClassKey(c, parentKey);
        if (!key) {
            ShowInfoBox("该分类已用完,请重建分类!");
            return;
        }
        c->Execute("Insert into Type(sKey,SortCode,SortName,ParentKey) values(?,?,?,?)", {*key, code, name, parentKey});
        transaction.Commit();
        addNode(parent, *key, code + " " + name);
        loaded_[*key] = true;
    } catch (const Exception&) {
        ShowInfoBox("保存失败！");
        return;
    }
    parent->Expand(false);
    showChildren(parentKey);
}

void TFrmSortSet::TbtEditClick(TObject*) {
    TTreeNode* node = Tvtemp->Selected();
    if (!node || node == root_) return;
    const std::string key = KeyOf(node);
    std::string code, name;
    {
        TRowLookup row(connection(), "select * from Type where sKey=?", {key});
        if (!row.Empty()) {
            code = row.Text("SortCode");
            name = row.Text("SortName");
        }
    }
    if (!editClass(code, name, key)) return;
    TADOConnection* c = connection();
    try {
        if (!c->Connected()) c->Open();
        TTransaction transaction(c);
        c->Execute("update Type set SortCode=?,SortName=? where sKey=?", {code, name, key});
        transaction.Commit();
    } catch (const Exception&) {
        ShowInfoBox("保存失败！");
        return;
    }
    node->SetText(code + " " + name);
    if (node->Parent()) showChildren(KeyOf(node->Parent()));
}

void TFrmSortSet::forget(TTreeNode* node) {
    for (int i = 0; i < node->Count(); ++i) forget(node->Item(i));
    const std::string key = KeyOf(node);
    nodes_.erase(key);
    loaded_.erase(key);
    keys_.erase(node);
}

void TFrmSortSet::TbtDeleteClick(TObject*) {
    TTreeNode* node = Tvtemp->Selected();
    if (!node || node == root_) return;
    if (Application->MessageBox("请不要随意删除,否则会影响正常运行,是否确定删除此类及其所有子类？", "提示！",
                                MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return;
    const std::string key = KeyOf(node);
    TTreeNode* parent = node->Parent();
    connection()->Execute("delete from Type where sKey like ? escape '\\'", {LikeEscaped(key) + "%"});
    forget(node);
    node->Delete();
    if (parent) {
        Tvtemp->SetSelected(parent);
        showChildren(KeyOf(parent));
    }
}

bool PickClass(TComponent* owner, std::string& sortCode, std::string* sKey) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(owner));
    picker->ShowModal();
    if (picker->ChosenSortCode.empty()) return false;
    sortCode = picker->ChosenSortCode;
    if (sKey) *sKey = picker->ChosenSKey;
    return true;
}
