// The main window; see uMain.h. The menu tree is a table so that every
// item, caption and key sits in one readable place; commands whose windows
// are not part of the program yet are present and do nothing.
#include "uMain.h"

#include "ADODB.h"
#include "ActnList.h"
#include "Build.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Shell.h"
#include "SysUtils.h"
#include "about.h"
#include "uBookData.h"
#include "uBookPreData.h"
#include "uBookDest.h"
#include "uBookPubData.h"
#include "uBookRejectData.h"
#include "uBookShortData.h"
#include "uBookExccedlist.h"
#include "uBorrowBill.h"
#include "uBorrowBill1.h"
#include "uChangePassword.h"
#include "uClearData.h"
#include "uDMData.h"
#include "uDataMaint.h"
#include "uFirstData.h"
#include "uGlobal.h"
#include "uLogin.h"
#include "uMagzData.h"
#include "uMagzExccedlist.h"
#include "uMagzOrderData.h"
#include "uMagzRejectData.h"
#include "uMainIDE.h"
#include "uParameter.h"
#include "uPrintBar.h"
#include "uReaderData.h"
#include "uQueryCommands.h"
#include "uReaderFirstData.h"
#include "uReaderTypeData.h"
#include "uRightSet.h"
#include "uShortCut.h"
#include "uSortSet.h"
#include "uSysDate.h"
#include "vq/controls/VqHint.h"
#include "vq/controls/VqXPMenu.h"

#include <map>
#include <memory>
#include <set>

TFrmMain* FrmMain = nullptr;

namespace {

struct MenuEntry {
    const char* parent; // "" for the menu bar
    const char* name;   // "" for a separator
    const char* caption;
    const char* key;
};

const MenuEntry menuTree[] = {
    {"", "MenuBaseInfo", "基本资料", ""},
    {"MenuBaseInfo", "NBookSortSet", "图书分类", ""},
    {"MenuBaseInfo", "NBookWordSet", "图书词库", ""},
    {"MenuBaseInfo", "N21", "出版社设置", ""},
    {"MenuBaseInfo", "", "-", ""},
    {"MenuBaseInfo", "NBookPreSet", "图书预编", ""},
    {"MenuBaseInfo", "NBookSet", "图书编目", "Ctrl+F2"},
    {"MenuBaseInfo", "NBookShort", "图书征订", ""},
    {"MenuBaseInfo", "NBookReject", "图书报废", ""},
    {"MenuBaseInfo", "", "-", ""},
    {"MenuBaseInfo", "NMagzSet", "期刊编目", "Ctrl+F3"},
    {"MenuBaseInfo", "NMagzOrder", "期刊征订", ""},
    {"MenuBaseInfo", "NMagzReject", "期刊报废", ""},
    {"MenuBaseInfo", "", "-", ""},
    {"MenuBaseInfo", "NBarcode", "打印条码书标", ""},
    {"MenuBaseInfo", "", "-", ""},
    {"MenuBaseInfo", "NReaderSet", "读者管理", "Ctrl+F4"},
    {"MenuBaseInfo", "NReaderSortSet", "读者类别", ""},
    {"MenuBaseInfo", "NReaderWordSet", "读者词库", ""},
    {"MenuBaseInfo", "", "-", ""},
    {"MenuBaseInfo", "NExit", "退出", ""},

    {"", "MenuBill", "借还管理", ""},
    {"MenuBill", "NBorrow", "借还图书", "Ctrl+F5"},
    {"MenuBill", "NFine", "图书罚款", ""},
    {"MenuBill", "", "-", ""},
    {"MenuBill", "NBorrowMagz", "借还期刊", "Ctrl+F6"},
    {"MenuBill", "NFineMagz", "期刊罚款", ""},

    {"", "MenuQuery", "图书报表", ""},
    {"MenuQuery", "NQryBorrow", "借阅查询", "Ctrl+F7"},
    {"MenuQuery", "NQtyLent", "还书及罚款查询", ""},
    {"MenuQuery", "NQryExcced", "逾期列表", ""},
    {"MenuQuery", "NQrystat", "借阅排名", ""},
    {"NQrystat", "NBorrowList", "借阅读者排行榜", ""},
    {"NQrystat", "NBorrowList1", "借阅图书排行榜", ""},
    {"MenuQuery", "NQryBookSort", "图书分类统计", ""},
    {"MenuQuery", "NQryBorrows", "图书借还分类统计", ""},
    {"MenuQuery", "NQryOperator", "操作员查询", ""},
    {"MenuQuery", "", "-", ""},
    {"MenuQuery", "NDayCheck", "每日盘点", ""},
    {"NDayCheck", "NDayIn", "每日进书", ""},
    {"NDayCheck", "NDayBorrow", "每日借书", ""},
    {"NDayCheck", "NDayLent", "每日还书", ""},
    {"NDayCheck", "NDayReject", "每日报损", ""},
    {"MenuQuery", "NDest", "预约查询", ""},

    {"", "N16", "期刊报表", ""},
    {"N16", "NQryBorrow1", "借阅查询", ""},
    {"N16", "NQryLent1", "还书及罚款查询", ""},
    {"N16", "NQryExceed1", "逾期列表", ""},
    {"N16", "NQryStat1", "借阅排名", ""},
    {"NQryStat1", "NBorrowListq", "借阅读者排行榜", ""},
    {"NQryStat1", "NBorrowListq1", "借阅期刊排行榜", ""},
    {"N16", "NQryMagzSort", "期刊分类统计", ""},
    {"N16", "NQryBorrowqs", "期刊借还分类统计", ""},
    {"N16", "NQryOperator1", "操作员查询", ""},
    {"N16", "", "-", ""},
    {"N16", "NDayCheck1", "每日盘点", ""},
    {"NDayCheck1", "N37", "每日进书", ""},
    {"NDayCheck1", "N38", "每日借书", ""},
    {"NDayCheck1", "N40", "每日还书", ""},
    {"NDayCheck1", "N39", "每日报损", ""},
    {"N16", "NDest1", "预约查询", ""},

    {"", "MenuSystem", "系统 管理", ""},
    {"MenuSystem", "NChangeOperator", "更换操作员", ""},
    {"MenuSystem", "NChangePassword", "更换口令", ""},
    {"MenuSystem", "NOperatorRight", "操作员及权限", ""},
    {"MenuSystem", "NParameter", "系统设置", ""},
    {"MenuSystem", "", "-", ""},
    {"MenuSystem", "NCopa", "数据修复", ""},
    {"MenuSystem", "NBackup", "数据备份", ""},
    {"MenuSystem", "NRestore", "数据恢复", ""},
    {"MenuSystem", "NClearData", "数据清理", ""},

    {"", "H1", "系统帮助", ""},
    {"H1", "MenuItemContents", "帮助主题", "F1"},
    {"H1", "NChkMenu", "快捷菜单", ""},
    {"H1", "N9", "技术支持", ""},
    {"H1", "N6", "常见问题", ""},
    {"H1", "MenuItemAbout", "关于本软件", ""},
};

// The six command keys and the items they run.
struct ActionEntry {
    const char* name;
    const char* key;
    const char* item;
};
const ActionEntry actionTable[] = {
    {"ActBookSet", "Ctrl+F2", "NBookSet"},       {"ActMagzSet", "Ctrl+F3", "NMagzSet"},
    {"ActReaderSet", "Ctrl+F4", "NReaderSet"},   {"ActBorrow", "Ctrl+F5", "NBorrow"},
    {"ActBorrowMagz", "Ctrl+F6", "NBorrowMagz"}, {"ActQryBorrow", "Ctrl+F7", "NQryBorrow"},
};

// The reservation lists of the report menus.
const char* const BookReservationSql =
    "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate from (Borrowinfo a "
    "left join Bookinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code where a.State='预约' "
    "order by a.BorrowDate";
const char* const MagzReservationSql =
    "select a.Id, a.Code,b.name as BookName,a.Rcode,c.Name as ReaderName,a.BorrowDate,b.Orderyear,b.PeriodNo "
    "from (Borrowinfo1 a left join Magzinfo b on a.Code=b.Code) left join Readerinfo c on a.RCode=c.Code "
    "where a.State='预约' order by a.BorrowDate";

// Creates a modal window owned by the main window, shows it and frees it.
template <class T>
void showModalWindow(TComponent* owner) {
    std::unique_ptr<T> form(new T(owner));
    form->ShowModal();
}

const char* const SupportPage = "http://www.quillory.cn/support.htm";
const char* const QuestionsPage = "http://www.quillory.cn/faq.htm";

} // namespace

const std::vector<TModuleRight>& ModuleRights() {
    static const std::vector<TModuleRight> rights = {
        {0, "NBookSet", {"GbtBookSet", "GbtBookSet1"}},
        {1, "NBookSortSet", {"GbtBookSortSet"}},
        {2, "NBookWordSet", {}, "TFrmFirstData"},
        {3, "NReaderSet", {"GbtReaderSet"}, "TFrmReaderData"},
        {4, "NReaderSortSet", {}, "TFrmReaderTypeData"},
        {5, "NReaderWordSet", {}, "TFrmReaderFirstData"},
        {6, "NBookReject", {}},
        {7, "NBookShort", {}, "TFrmBookShortData"},
        {9, "NBorrow", {"GbtBorrow"}, "TFrmBorrowBill"},
        {10, "NFine", {}},
        {12, "NQryBorrow", {"GbtQryBorrow"}},
        {13, "NQtyLent", {}},
        {14, "NQryExcced", {"GbtQryExceed"}},
        {15, "NQrystat", {}},
        {16, "NDayCheck", {}},
        {17, "NOperatorRight", {}},
        {18, "NParameter", {}},
        {19, "NBackup", {}},
        {20, "NRestore", {}},
        {21, "NClearData", {}},
        {22, "NQryOperator", {}},
        {23, "NMagzSet", {"GbtMagzSet", "GbtMagzSet1"}, "TFrmMagzData"},
        {24, "NMagzOrder", {}, "TFrmMagzOrderData"},
        {25, "NMagzReject", {}, "TFrmMagzRejectData"},
        {26, "NBorrowMagz", {"GbtBorrowq"}, "TFrmBorrowBill1"},
        {27, "NFineMagz", {}},
        {28, "NQryBorrow1", {"GbtQryBorrowq"}},
        {29, "NQryLent1", {}},
        {30, "NQryExceed1", {"GbtQryExceedq"}},
        {31, "NQryStat1", {}},
        {32, "NDayCheck1", {}},
        {33, "NQryOperator1", {}},
        {34, "NBookPreSet", {}, "TFrmBookPreData"},
    };
    return rights;
}

std::string ClockText(TDateTime businessDate) {
    Word y, m, d;
    DecodeDate(businessDate, y, m, d);
    std::string weekday;
    WeekdayChar(DayOfWeek(businessDate) - 1, weekday);
    return "今天是 " + IntToStr(int(y)) + "年" + IntToStr(int(m)) + "月" + IntToStr(int(d)) + "日 " + " 星期" + weekday;
}

TFrmMain::TFrmMain(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmMain");
    SetFormStyle(fsMDIForm);
    SetBorderStyle(bsSizeable);
    SetPosition(poDefault);
    SetWindowState(wsMaximized);
    SetCaption(ProductName);
    SetBounds(0, 0, 1024, 700);
    FrmMain = this;

    TBuild b(this);
    MainMenu1 = b.Add<TMainMenu>("MainMenu1");
    buildMenu();
    SetMenu(MainMenu1);

    ActionList1 = b.Add<TActionList>("ActionList1");
    buildActions();

    StatusBar1 = b.Add<TStatusBar>("StatusBar1");
    struct PanelLayout {
        int width;
        TAlignment alignment;
    };
    for (PanelLayout p : {PanelLayout{250, taCenter}, PanelLayout{200, taCenter}, PanelLayout{180, taLeftJustify}}) {
        TStatusPanel* panel = StatusBar1->Panels()->Add();
        panel->SetWidth(p.width);
        panel->SetAlignment(p.alignment);
    }

    Timer1 = b.Add<TTimer>("Timer1")
                 .Set(&TTimer::SetInterval, 500)
                 .Set(&TTimer::SetEnabled, false)
                 .OnTimer(&TFrmMain::Timer1Timer);

    AdoqTemp = b.Add<TADOQuery>("AdoqTemp");
    if (DMData) AdoqTemp->SetConnection(DMData->ADOConnection1);

    SaveDialog1 = b.Add<TSaveDialog>("SaveDialog1");
    OpenDialog1 = b.Add<TOpenDialog>("OpenDialog1");

    wireCommands();
    VQXPMenu1 = b.Add<TVQXPMenu>("VQXPMenu1");
    VQXPMenu1->SetUseSystemColors(true);
    VQXPMenu1->SetActive(true);
    VqHint1 = b.Add<TVqHint>("VqHint1");
    VqHint1->Font()->SetName("MS Sans Serif");
    VqHint1->Font()->SetHeight(-11);
    VqHint1->Font()->SetColor(clWindowText);
    // Esc must not offer to end the program.
    OnKeyDown = nullptr;
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFrmMain::~TFrmMain() {
    // The children belong to the application but live inside the frame:
    // they go before it, so none is left with a destroyed window.
    while (MDIChildCount() > 0) delete MDIChildren(0);
    if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::buildMenu() {
    TBuild b(this);
    std::map<std::string, TMenuItem*> parents;
    for (const MenuEntry& e : menuTree) {
        TMenuItem* item = b.Add<TMenuItem>(e.name).Caption(e.caption);
        if (*e.key) item->SetShortCut(TextToShortCut(e.key));
        TMenuItem* parent = *e.parent ? parents.at(e.parent) : MainMenu1->Items();
        parent->Add(item);
        if (*e.name) parents[e.name] = item;
    }
}

void TFrmMain::buildActions() {
    TBuild b(this);
    for (const ActionEntry& e : actionTable) {
        // Through the item, so a command the operator's rights disabled
        // stays closed to its key too.
        const std::string itemName = e.item;
        b.Add<TAction>(e.name)
            .Set(&TAction::SetShortCut, TextToShortCut(e.key))
            .Set(&TAction::SetActionList, ActionList1)
            .OnExecute([this, itemName](TObject*) {
                if (TMenuItem* item = Item(itemName)) item->Click();
            });
    }
}

void TFrmMain::wireCommands() {
    // Through the builder, so the check over every window sees each command.
    TBuild b(this);
    auto item = [&](const char* name) { return b.Wire(Item(name)); };
    item("NExit").OnClick(&TFrmMain::NExitClick);
    item("NChangeOperator").OnClick(&TFrmMain::NChangeOperatorClick);
    item("NBorrow").OnClick([this](TObject*) {
        TFrmBorrowBill* desk = nullptr;
        ShowMdiChild("TFrmBorrowBill", desk);
    });
    item("NBorrowMagz").OnClick([this](TObject*) {
        TFrmBorrowBill1* desk = nullptr;
        ShowMdiChild("TFrmBorrowBill1", desk);
    });
    item("NDest").OnClick([](TObject*) { ShowReservationList(TItemKind::Book, {BookReservationSql, {}}); });
    item("NDest1").OnClick([](TObject*) { ShowReservationList(TItemKind::Periodical, {MagzReservationSql, {}}); });
    item("NChangePassword").OnClick([this](TObject*) { showModalWindow<TFrmChangePassword>(this); });
    item("NOperatorRight").OnClick([this](TObject*) { showModalWindow<TFrmRightSet>(this); });
    item("NBackup").OnClick([this](TObject*) { BackupCommand(SaveDialog1); });
    item("NRestore").OnClick([this](TObject*) { RestoreCommand(OpenDialog1); });
    item("NCopa").OnClick([](TObject*) { RepairCommand(); });
    item("NClearData").OnClick([this](TObject*) { showModalWindow<TFrmClearData>(this); });
    item("NBookSortSet").OnClick([this](TObject*) { showModalWindow<TFrmSortSet>(this); });
    item("NBookPreSet").OnClick([this](TObject*) {
        TFrmBookPreData* list = nullptr;
        ShowMdiChild("TFrmBookPreData", list);
    });
    item("NBarcode").OnClick([this](TObject*) { showModalWindow<TFrmPrintBar>(this); });
    item("NBookSet").OnClick([this](TObject*) {
        TFrmBookData* books = nullptr;
        ShowMdiChild("TFrmBookData", books);
    });
    item("NBookReject").OnClick([this](TObject*) {
        TFrmBookRejectData* writeOffs = nullptr;
        ShowMdiChild("TFrmBookRejectData", writeOffs);
    });
    item("NParameter").OnClick([this](TObject*) { showModalWindow<TFrmParameter>(this); });
    item("NBookWordSet").OnClick([this](TObject*) {
        TFrmFirstData* lists = nullptr;
        ShowMdiChild("TFrmFirstData", lists);
    });
    item("NReaderWordSet").OnClick([this](TObject*) {
        TFrmReaderFirstData* lists = nullptr;
        ShowMdiChild("TFrmReaderFirstData", lists);
    });
    item("N21").OnClick([this](TObject*) {
        TFrmBookPubData* list = nullptr;
        ShowMdiChild("TFrmBookPubData", list);
    });
    item("NMagzSet").OnClick([this](TObject*) {
        TFrmMagzData* list = nullptr;
        ShowMdiChild("TFrmMagzData", list);
    });
    item("NBookShort").OnClick([this](TObject*) {
        TFrmBookShortData* list = nullptr;
        ShowMdiChild("TFrmBookShortData", list);
    });
    item("NMagzOrder").OnClick([this](TObject*) {
        TFrmMagzOrderData* list = nullptr;
        ShowMdiChild("TFrmMagzOrderData", list);
    });
    item("NMagzReject").OnClick([this](TObject*) {
        TFrmMagzRejectData* list = nullptr;
        ShowMdiChild("TFrmMagzRejectData", list);
    });
    item("NReaderSet").OnClick([this](TObject*) {
        TFrmReaderData* list = nullptr;
        ShowMdiChild("TFrmReaderData", list);
    });
    item("NReaderSortSet").OnClick([this](TObject*) {
        TFrmReaderTypeData* list = nullptr;
        ShowMdiChild("TFrmReaderTypeData", list);
    });
    WireQueryCommands(this);
    item("NChkMenu").OnClick([this](TObject*) { showModalWindow<TFrmShortCut>(this); });
    item("MenuItemAbout").OnClick([](TObject*) { ShowAboutBox(); });
    item("MenuItemContents").OnClick([](TObject*) {
        const std::string help = ExeDir() + "OmbryBook.chm";
        if (FileExists(help)) ShellExecuteOpen(help);
    });
    item("N9").OnClick([](TObject*) { ShellExecuteOpen(SupportPage); });
    item("N6").OnClick([](TObject*) { ShellExecuteOpen(QuestionsPage); });
}

TMenuItem* TFrmMain::Item(const std::string& name) const { return dynamic_cast<TMenuItem*>(FindComponent(name)); }

TCustomForm* TFrmMain::NavigationPage() const {
    // Looked up each time: the operator may close the page, which frees it.
    for (int i = 0; i < MDIChildCount(); ++i)
        if (MDIChildren(i)->ClassName() == "TFrmMainIDE") return MDIChildren(i);
    return nullptr;
}

void TFrmMain::loadOperatorName() {
    AdoqTemp->SetStatement({"Select * from SystemUser where UseCode=?", {OperatorCode}});
    AdoqTemp->Open();
    OperatorName = AdoqTemp->IsEmpty() ? std::string() : AdoqTemp->FieldByName("UseName")->AsString();
    AdoqTemp->Close();
}

void TFrmMain::loadSettings() {
    TADOQuery* q = DMData->AdoqAcctinfo;
    q->Close();
    q->SQL()->SetText("Select * from AcctInfo ");
    q->Open();
    if (q->IsEmpty()) {
        q->Close();
        DMData->ADOConnection1->Execute(
            "insert into AcctInfo (CorpName,IfFine,IfExcced,Ifrepeat,PerFine) values (?,false,true,true,0)",
            {ProductName});
        CorpName = ProductName;
        PerFine = 0;
        PerFine1 = 0;
        IfFine = false;
        IfExcced = true;
        Ifrepeat = true;
        InDay = 30;
        return;
    }
    auto text = [q](const char* f) { return q->FieldByName(f)->AsString(); };
    auto money = [q](const char* f) {
        TField* fd = q->FieldByName(f);
        return fd->IsNull() ? Currency() : fd->AsCurrency();
    };
    auto flag = [q](const char* f) {
        TField* fd = q->FieldByName(f);
        return fd->IsNull() ? false : fd->AsBoolean();
    };
    CorpName = text("CorpName");
    PerFine = money("PerFine");
    PerFine1 = money("PerFine1");
    IfFine = flag("IfFine");
    IfExcced = flag("IfExcced");
    Ifrepeat = flag("Ifrepeat");
    TField* inDay = q->FieldByName("InDay");
    InDay = inDay->IsNull() ? 0 : inDay->AsInteger();
    q->Close();
}

void TFrmMain::openNavigationPage() {
    TFrmMainIDE* page = nullptr;
    ShowMdiChild("TFrmMainIDE", page);
    page->SetLeft(1);
    page->SetTop(1);
}

void TFrmMain::openOverdueLists() {
    auto centre = [this](TCustomForm* child) {
        child->SetLeft((ClientWidth() - child->Width()) / 2);
        child->SetTop((ClientHeight() - child->Height()) / 2);
    };
    TFrmBookExceedList* books = nullptr;
    ShowMdiChild("TFrmBookExceedList", books);
    centre(books);
    TFrmMagzExceedList* periodicals = nullptr;
    ShowMdiChild("TFrmMagzExceedList", periodicals);
    centre(periodicals);
}

void TFrmMain::InitForm() {
    TFrmBaseD::InitForm();
    if (started_) return;
    started_ = true;

    std::string code;
    RunLogin(code);
    if (code.empty()) {
        Application->Terminate();
        return;
    }
    OperatorCode = code;
    AskBusinessDate();
    loadOperatorName();
    loadSettings();
    SetCaption(CorpName);
    openNavigationPage();
    ApplyUserRights();
    if (IfExcced) openOverdueLists();
    StatusBar1->Panels()->Items(0)->SetText(AppTitle);
    StatusBar1->Panels()->Items(1)->SetText("管理员：" + OperatorName);
    Timer1Timer(Timer1);
    Timer1->SetEnabled(true);
}

void TFrmMain::ApplyUserRights() {
    TCustomForm* page = NavigationPage();
    auto setModule = [this, page](const TModuleRight& right, bool enabled) {
        if (TMenuItem* item = Item(right.MenuItem)) item->SetEnabled(enabled);
        if (!page) return;
        for (const char* button : right.Buttons)
            if (auto* control = dynamic_cast<TControl*>(page->FindComponent(button))) control->SetEnabled(enabled);
    };
    std::set<int> granted;
    AdoqTemp->SetStatement({"Select * from UserModule where UseCode=? Order by ModuleId", {OperatorCode}});
    AdoqTemp->Open();
    for (AdoqTemp->First(); !AdoqTemp->Eof(); AdoqTemp->Next()) {
        TField* check = AdoqTemp->FieldByName("IfCheck");
        if (!check->IsNull() && check->AsBoolean()) granted.insert(AdoqTemp->FieldByName("ModuleId")->AsInteger());
    }
    AdoqTemp->Close();
    for (const TModuleRight& right : ModuleRights()) setModule(right, granted.count(right.ModuleId) != 0);
}

void TFrmMain::CloseForbiddenWindows() {
    std::vector<TCustomForm*> forbidden;
    for (int i = 0; i < MDIChildCount(); ++i) {
        TCustomForm* child = MDIChildren(i);
        for (const TModuleRight& right : ModuleRights()) {
            TMenuItem* item = Item(right.MenuItem);
            if (child->ClassName() == right.Window && item && !item->Enabled()) forbidden.push_back(child);
        }
    }
    for (TCustomForm* child : forbidden) child->Close();
}

void TFrmMain::Timer1Timer(TObject*) { StatusBar1->Panels()->Items(2)->SetText(ClockText(BusinessDate)); }

void TFrmMain::NChangeOperatorClick(TObject*) {
    RunLogin(LoginCode);
    if (LoginCode.empty()) return;
    OperatorCode = LoginCode;
    loadOperatorName();
    ApplyUserRights();
    CloseForbiddenWindows();
    StatusBar1->Panels()->Items(1)->SetText("管理员：" + OperatorName);
}

void TFrmMain::NExitClick(TObject*) { Close(); }

void TFrmMain::FormClose(TObject*, TCloseAction& Action) {
    if (OperatorCode.empty()) return;
    if (Application->MessageBox(std::string("确定退出") + ProductName + "？", "提示！", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        Action = caNone;
        return;
    }
    Action = caFree;
    Timer1->SetEnabled(false);
    DMData->ADOConnection1->Close();
    if (DatabaseIsLocal()) ExitBackupAndCompact(this);
    Application->Terminate();
}
