// The rights window; see uRightSet.h.
#include "uRightSet.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "useradd.h"

#include <memory>

std::array<bool, ModuleCount> RightFlags{};
int UserEditMode = 0;

namespace {
const char* const UsersSql = "select * from SystemUser order by UseCode";
const char* const SystemPage = "系统管理";
} // namespace

const std::vector<TRightBox>& RightBoxes() {
    static const std::vector<TRightBox> boxes = {
        {"基础资料", "ChkBook", "图书编目", 0},
        {"基础资料", "ChkBookSort", "图书类别", 1},
        {"基础资料", "ChkBookword", "图书词库", 2},
        {"基础资料", "ChkReader", "读者管理", 3},
        {"基础资料", "ChkReaderSort", "读者类别", 4},
        {"基础资料", "ChkReaderword", "读者词库", 5},
        {"基础资料", "ChkBookReject", "图书报废", 6},
        {"基础资料", "ChkBookShort", "图书征订", 7},
        {"基础资料", "ChkMagz", "期刊编目", 23},
        {"基础资料", "ChkMagzOrder", "期刊征订", 24},
        {"基础资料", "ChkMagzReject", "期刊报废", 25},
        {"基础资料", "ChkBookPre", "图书预编", 34},
        {"借还管理", "ChkBorrow", "借还图书", 9},
        {"借还管理", "ChkFine", "图书罚款", 10},
        {"借还管理", "ChkBorrowM", "借还期刊", 26},
        {"借还管理", "ChkFineM", "期刊罚款", 27},
        {"图书报表", "ChkQryBorrow", "借书查询", 12},
        {"图书报表", "ChkQryLent", "还书查询", 13},
        {"图书报表", "ChkQryBorrowlist", "逾期列表", 14},
        {"图书报表", "ChkQryBorrowOrder", "借阅排名", 15},
        {"图书报表", "ChkQryDay", "每日盘点", 16},
        {"图书报表", "ChkQryOper", "操作员查询", 22},
        {"期刊报表", "ChkQryBorrowq", "借书查询", 28},
        {"期刊报表", "ChkQryLentq", "还书查询", 29},
        {"期刊报表", "ChkQryBorrowListq", "逾期列表", 30},
        {"期刊报表", "ChkQryBorrowOrderq", "借阅排名", 31},
        {"期刊报表", "ChkQryDayq", "每日盘点", 32},
        {"期刊报表", "ChkQryOperq", "操作员查询", 33},
        {"系统管理", "ChkOperator", "操作员权限", 17},
        {"系统管理", "ChkParameter", "系统设置", 18},
        {"系统管理", "ChkBackup", "数据备份", 19},
        {"系统管理", "ChkRestore", "数据恢复", 20},
        {"系统管理", "ChkClear", "数据清理", 21},
    };
    return boxes;
}

TFrmRightSet::TFrmRightSet(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmRightSet");
    SetCaption("权限设置");
    SetClientWidth(640);
    SetClientHeight(400);

    TBuild b(this);
    ToolBar1 = b.Add<TToolBar>("ToolBar1")
                   .Set(&TToolBar::SetShowCaptions, true)
                   .Set(&TToolBar::SetButtonWidth, 64)
                   .Set(&TToolBar::SetButtonHeight, 26);
    auto tools = b.In(ToolBar1);
    ToolButton1 = tools.Add<TToolButton>("ToolButton1").Caption("新增(&A)").OnClick(&TFrmRightSet::ToolButton1Click);
    ToolButton2 = tools.Add<TToolButton>("ToolButton2").Caption(" 修改(&M)").OnClick(&TFrmRightSet::ToolButton2Click);
    ToolButton3 = tools.Add<TToolButton>("ToolButton3").Caption("删除(&D)").OnClick(&TFrmRightSet::ToolButton3Click);
    ToolButton4 = tools.Add<TToolButton>("ToolButton4").Caption("授权(&R)").OnClick(&TFrmRightSet::ToolButton4Click);
    ToolButton5 = tools.Add<TToolButton>("ToolButton5").Caption("退出(&E)").OnClick(&TFrmRightSet::ToolButton5Click);

    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(DMData->AdoQueryUser);

    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .At(6, 36, 260, 356)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                            dgRowLines, dgRowSelect, dgAlwaysShowSelection})
                  .Columns({{"UseCode", "用户编码", 67, taLeftJustify},
                            {"UseName", "用户名称", 102, taLeftJustify},
                            {"Duty", "职务", 68, taLeftJustify}})
                  .Set(&TDBGrid::SetDataSource, DataSource1)
                  .OnCellClick([this](TColumn*) { DBGrid1CellClick(DBGrid1); });

    PageControl1 = b.Add<TPageControl>("PageControl1").At(274, 36, 360, 320);
    int row = 0;
    std::string page;
    for (const TRightBox& r : RightBoxes()) {
        if (page != r.Page) {
            page = r.Page;
            TTabSheet* sheet = b.In(nullptr)
                                   .Add<TTabSheet>("TabSheet" + std::to_string(sheets_.size() + 1))
                                   .Set(&TTabSheet::SetPageControl, PageControl1)
                                   .Caption(r.Page);
            sheets_.push_back(sheet);
            row = 0;
        }
        boxes_[size_t(r.ModuleId)] = b.In(sheets_.back())
                                         .Add<TCheckBox>(r.Name)
                                         .Caption(r.Caption)
                                         .At(20 + (row % 2) * 160, 16 + (row / 2) * 28, 140, 20);
        ++row;
    }

    Btall = b.Add<TSpeedButton>("Btall").Caption("全选").At(440, 364, 90, 26).OnClick(&TFrmRightSet::BtallClick);
    Btclear = b.Add<TSpeedButton>("Btclear").Caption("全清").At(540, 364, 90, 26).OnClick(&TFrmRightSet::BtclearClick);

    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1");
    ADOQuery1->SetConnection(DMData->ADOConnection1);

    // A mouse click alone is not enough: moving with the keyboard changes
    // the operator too, and "授权(&R)" must never write one operator's boxes
    // onto another.
    DataSource1->OnDataChange = [this](TObject*, TField* field) {
        if (!field) loadRights();
    };
}

TFrmRightSet::~TFrmRightSet() { DataSource1->OnDataChange = nullptr; }

TCheckBox* TFrmRightSet::Box(int moduleId) const {
    return moduleId >= 0 && moduleId < ModuleCount ? boxes_[size_t(moduleId)] : nullptr;
}

void TFrmRightSet::showSystemPage() {
    for (TTabSheet* s : sheets_)
        if (s->Caption() == SystemPage) PageControl1->SetActivePage(s);
}

void TFrmRightSet::requeryUsers() {
    TADOQuery* users = DMData->AdoQueryUser;
    users->Close();
    users->SQL()->SetText(UsersSql);
    users->Open();
    users->First();
}

void TFrmRightSet::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("权限设置");
    requeryUsers();
    showSystemPage();
    DBGrid1CellClick(DBGrid1);
}

void TFrmRightSet::DBGrid1CellClick(TObject*) { loadRights(); }

// Flags follow the rows' ModuleId, and an id without a row reads false:
// an operator never shows the boxes of the one shown before.
void TFrmRightSet::loadRights() {
    TADOQuery* users = DMData->AdoQueryUser;
    RightFlags.fill(false);
    shownCode_.clear();
    if (users->Active() && !users->IsEmpty()) {
        shownCode_ = users->FieldByName("UseCode")->AsString();
        ADOQuery1->SetStatement({"select * from UserModule where Usecode=? order by ModuleId", {shownCode_}});
        ADOQuery1->Open();
        for (ADOQuery1->First(); !ADOQuery1->Eof(); ADOQuery1->Next()) {
            int id = ADOQuery1->FieldByName("ModuleId")->AsInteger();
            if (id >= 0 && id < ModuleCount) RightFlags[size_t(id)] = ADOQuery1->FieldByName("Ifcheck")->AsBoolean();
        }
        ADOQuery1->Close();
    }
    for (int id = 0; id < ModuleCount; ++id)
        if (TCheckBox* b = boxes_[size_t(id)]) b->SetChecked(RightFlags[size_t(id)]);
}

void TFrmRightSet::BtallClick(TObject*) {
    for (TCheckBox* b : boxes_)
        if (b) b->SetChecked(true);
}

void TFrmRightSet::BtclearClick(TObject*) {
    for (TCheckBox* b : boxes_)
        if (b) b->SetChecked(false);
}

void TFrmRightSet::ToolButton4Click(TObject*) {
    if (shownCode_.empty()) return;
    for (int id = 0; id < ModuleCount; ++id)
        if (TCheckBox* b = boxes_[size_t(id)]) RightFlags[size_t(id)] = b->Checked();
    TADOConnection* conn = DMData->ADOConnection1;
    TTransaction tx(conn);
    conn->Execute("Delete from UserModule where Usecode=?", {shownCode_});
    for (int id = 0; id < ModuleCount; ++id)
        conn->Execute("insert into UserModule(Usecode,ModuleId,Ifcheck) values(?,?,?)",
                      {shownCode_, id, RightFlags[size_t(id)] ? -1 : 0});
    tx.Commit();
}

void TFrmRightSet::ToolButton1Click(TObject*) {
    UserEditMode = 0;
    std::string saved;
    {
        std::unique_ptr<TFrmUseradd> editor(new TFrmUseradd(Application));
        editor->SetCaption("用户新增");
        editor->ShowModal();
        saved = editor->SavedCode;
    }
    if (saved.empty()) return;
    TADOConnection* conn = DMData->ADOConnection1;
    {
        TTransaction tx(conn);
        for (int id = 0; id < ModuleCount; ++id)
            conn->Execute("insert into UserModule(Usecode,ModuleId,Ifcheck) values(?,?,0)", {saved, id});
        tx.Commit();
    }
    requeryUsers();
    DMData->AdoQueryUser->Locate("UseCode", Variant(saved), loCaseInsensitive);
    showSystemPage();
    loadRights();
}

void TFrmRightSet::ToolButton2Click(TObject*) {
    TADOQuery* users = DMData->AdoQueryUser;
    if (!users->Active() || users->IsEmpty()) return;
    UserEditMode = 1;
    {
        std::unique_ptr<TFrmUseradd> editor(new TFrmUseradd(Application));
        editor->SetCaption("用户修改");
        editor->ShowModal();
    }
    requeryUsers();
    showSystemPage();
    loadRights();
}

void TFrmRightSet::ToolButton3Click(TObject*) {
    TADOQuery* users = DMData->AdoQueryUser;
    if (!users->Active() || users->IsEmpty()) return;
    if (Application->MessageBox("是否确定删除!", "确认", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    const std::string code = users->FieldByName("UseCode")->AsString();
    if (users->FieldByName("Duty")->AsString() == "超级用户" && code == "Admin") {
        ShowInfoBox("此用户不能删除！");
        return;
    }
    TADOConnection* conn = DMData->ADOConnection1;
    {
        TTransaction tx(conn);
        conn->Execute("delete  from  UserModule  where UseCode=?", {code});
        conn->Execute("delete  from  SystemUser  where UseCode=?", {code});
        tx.Commit();
    }
    requeryUsers();
    showSystemPage();
    loadRights();
}

void TFrmRightSet::ToolButton5Click(TObject*) { Close(); }
