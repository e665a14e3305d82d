// The settings window; see uParameter.h.
#include "uParameter.h"

#include "Build.h"
#include "Buttons.h"
#include "Classes.h"
#include "ComCtrls.h"
#include "DBCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "vq/data/VqTextUtils.h"

#include <algorithm>
#include <memory>
#include <set>

namespace {

struct TCodeTable {
    const char* Select;
    const char* Update;
};
const TCodeTable booksTable{"Select top 100000 Id,Name,PY FROM Bookinfo order by Code",
                            "update Bookinfo set PY=?,WBH=?,WB=? where Id=?"};
const TCodeTable magzTable{"Select top 100000 Id,Name,PY FROM Magzinfo order by Code",
                           "update Magzinfo set PY=?,WBH=?,WB=? where Id=?"};
const TCodeTable readersTable{"Select Code as Id,Name,PY FROM Readerinfo ",
                              "update Readerinfo set PY=?,WBH=?,WB=? where Code=?"};

int regenerate(TADOConnection* c, const TCodeTable& t, const TProgressFn& progress) {
    struct Row {
        Variant key;
        std::string name;
    };
    std::vector<Row> rows;
    int total = 0;
    {
        TADOQuery q;
        q.SetConnection(c);
        q.SQL()->SetText(t.Select);
        q.Open();
        total = q.RecordCount();
        for (q.First(); !q.Eof(); q.Next()) {
            const std::string name = q.FieldByName("Name")->AsString();
            TField* py = q.FieldByName("PY");
            if (name.empty() || (!py->IsNull() && !py->AsString().empty())) continue;
            rows.push_back({q.FieldByName("Id")->Value(), name});
        }
    }
    const TInputCodeDictionary dictionary;
    TTransaction transaction(c);
    int i = 0;
    for (const Row& r : rows) {
        std::string py, wbh, wb;
        dictionary.Build(r.name, py, wbh, wb);
        c->Execute(t.Update, {py, wbh, wb, r.key});
        if (progress && (++i % 256 == 0)) progress(i, int(rows.size()));
    }
    transaction.Commit();
    if (progress) progress(total, total);
    return int(rows.size());
}

std::vector<std::string> tableNames(TADOConnection* c) {
    TStringList list;
    c->GetTableNames(&list, false);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.Strings(i));
    return names;
}

std::vector<std::string> fieldNames(TADOConnection* c, const std::string& table) {
    TADOQuery q;
    q.SetConnection(c);
    q.SQL()->SetText("select * from " + table + " where 1=0");
    q.Open();
    std::vector<std::string> names;
    for (int i = 0; i < q.FieldCount(); ++i) names.push_back(q.Fields().Fields(i)->FieldName());
    return names;
}

bool tableEmpty(TADOConnection* c, const std::string& table) {
    TRowLookup row(c, "select * from " + table);
    return row.Empty();
}

void copyTable(TADOConnection* current, TADOConnection* older, const std::string& table) {
    const std::vector<std::string> now = fieldNames(current, table);
    std::vector<std::string> common;
    for (const std::string& f : fieldNames(older, table)) {
        if (SameText(f, "Id")) continue;
        if (std::any_of(now.begin(), now.end(), [&](const std::string& n) { return SameText(n, f); }))
            common.push_back(f);
    }
    TADOQuery source;
    source.SetConnection(older);
    source.SQL()->SetText("select * from " + table);
    source.Open();
    std::string columns, marks;
    for (const std::string& f : common) {
        columns += (columns.empty() ? "" : ",") + f;
        marks += marks.empty() ? "?" : ",?";
    }
    TTransaction transaction(current);
    current->Execute("Delete from " + table);
    // The older file's items may share codes: they come over as they are
    // and the index is made unique again afterwards if it can be.
    const std::vector<std::string>& unique = UniqueCodeTables();
    if (std::any_of(unique.begin(), unique.end(), [&](const std::string& t) { return SameText(t, table); }))
        RelaxCodeIndex(current, table);
    if (!common.empty()) {
        const std::string insert = "insert into " + table + " (" + columns + ") values (" + marks + ")";
        std::vector<Variant> values(common.size());
        for (source.First(); !source.Eof(); source.Next()) {
            for (size_t i = 0; i < common.size(); ++i) values[i] = source.FieldByName(common[i])->Value();
            current->Execute(insert, values);
        }
    }
    transaction.Commit();
}

} // namespace

int RegenerateInputCodes(TADOConnection* c, TInputCodeKinds kinds, const TProgressFn& progress) {
    int filled = 0;
    if (kinds.Books) filled += regenerate(c, booksTable, progress);
    if (kinds.Periodicals) filled += regenerate(c, magzTable, progress);
    if (kinds.Readers) {
        if (progress) progress(0, 1);
        filled += regenerate(c, readersTable, progress);
    }
    return filled;
}

std::vector<std::string> UpgradeTables(TADOConnection* current, TADOConnection* older) {
    const std::vector<std::string> now = tableNames(current);
    auto has = [&now](const std::string& name) {
        return std::any_of(now.begin(), now.end(), [&](const std::string& n) { return SameText(n, name); });
    };
    std::vector<std::string> tables;
    for (const std::string& name : tableNames(older)) {
        const std::string upper = UpperCase(name);
        if (!has(name) || upper.rfind("QRY", 0) == 0 || upper.rfind("SQLITE_", 0) == 0 || upper.rfind("MSYS", 0) == 0 ||
            upper == "TABLESTRUCTURE" || upper == "MODULETABLE")
            continue;
        // The classification comes over only into an empty one: a library's
        // own tree is never replaced, and books must not name missing classes.
        if (upper == "TYPE" && !tableEmpty(current, name)) continue;
        tables.push_back(name);
    }
    return tables;
}

TUpgradeResult UpgradeData(TADOConnection* current, TADOConnection* older, const TProgressFn& progress) {
    TUpgradeResult result;
    const std::vector<std::string> tables = UpgradeTables(current, older);
    for (size_t i = 0; i < tables.size(); ++i) {
        if (progress) progress(int(i), int(tables.size()));
        try {
            copyTable(current, older, tables[i]);
            result.Copied.push_back(tables[i]);
        } catch (const Exception&) {
            result.Failed.push_back(tables[i]);
        }
    }
    result.Duplicates = UpgradeSchema(current);
    if (progress) progress(int(tables.size()), int(tables.size()));
    return result;
}

// ---------------------------------------------------------------- the window

TFrmParameter::TFrmParameter(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmParameter");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetClientWidth(460);
    SetClientHeight(330);

    TBuild b(this);
    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1").Set(&TADOQuery::SetCursorType, ctStatic);
    if (DMData) ADOQuery1->SetConnection(DMData->ADOConnection1);
    ADOQuery1->SQL()->SetText("select * from AcctInfo");
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(ADOQuery1);
    adosConnection = b.Add<TADOConnection>("adosConnection");
    adosConnection->SetLoginPrompt(false);
    adosConnection->SetMode(cmShareDenyNone);
    odgSData = b.Add<TOpenDialog>("odgSData");

    PageControl1 = b.Add<TPageControl>("PageControl1").At(8, 8, 444, 272).TabOrder(0);
    auto sheet = [&](const char* name, const char* caption) {
        return static_cast<TTabSheet*>(
            b.In(nullptr).Add<TTabSheet>(name).Set(&TTabSheet::SetPageControl, PageControl1).Caption(caption));
    };
    TabSheet1 = sheet("TabSheet1", "基本设置");
    TabSheet2 = sheet("TabSheet2", "其他设置");
    TabSheet3 = sheet("TabSheet3", "数据升级");

    auto basic = b.In(TabSheet1);
    const TFieldColumn column{20, 76, 330, 21, 3, 50, 14};
    auto bound = [&](const char* label, const char* caption, const char* name, const char* field, int top) {
        TDBEdit* e = basic.Field<TDBEdit>(column, label, caption, name, top);
        e->SetDataSource(DataSource1);
        e->SetDataField(field);
        return e;
    };
    DBEditCorpName = bound("LbCorpName", "名称:", "DBEditCorpName", "CorpName", 16);
    DBEditTel = bound("LbTel", "电话:", "DBEditTel", "Tel", 48);
    DBEditFax = bound("LbFax", "传真:", "DBEditFax", "Fax", 80);
    DBEditAddr = bound("LbAddr", "地址:", "DBEditAddr", "Addr", 112);
    DBEditRemarks = bound("LbRemarks", "备注:", "DBEditRemarks", "Remarks", 144);

    auto other = b.In(TabSheet2);
    auto check = [&](const char* name, const char* caption, const char* field, int top) {
        TDBCheckBox* c = other.Add<TDBCheckBox>(name).Caption(caption).At(24, top, 160, 20);
        c->SetDataSource(DataSource1);
        c->SetDataField(field);
        return c;
    };
    DBChkFine = check("DBChkFine", "是否超期罚款", "IfFine", 16);
    other.Add<TLabel>("LbPerFine").Caption("图书:").At(200, 19);
    EditPerFine = other.Add<TDBNumberEditEh>("EditPerFine").At(240, 16, 90, 21);
    other.Add<TLabel>("LbPerFineUnit").Caption("元/天").At(336, 19);
    other.Add<TLabel>("LbPerFine1").Caption("期刊:").At(200, 51);
    DBNumberEditEh1 = other.Add<TDBNumberEditEh>("DBNumberEditEh1").At(240, 48, 90, 21);
    other.Add<TLabel>("LbPerFine1Unit").Caption("元/天").At(336, 51);
    DBChkExcced = check("DBChkExcced", "逾期不还警告提示", "IfExcced", 84);
    DBChkRepeat = check("DBChkRepeat", "图书重借提示", "Ifrepeat", 112);
    other.Add<TLabel>("LbInDay").Caption("入库时间不超过").At(24, 147);
    EditDay = other.Add<TDBEdit>("EditDay").At(120, 144, 60, 21);
    other.Add<TLabel>("LbInDayUnit").Caption("天,视为新书").At(186, 147);
    for (auto [edit, field] : {std::pair{EditPerFine, "PerFine"}, std::pair{DBNumberEditEh1, "PerFine1"}}) {
        edit->SetDataSource(DataSource1);
        edit->SetDataField(field);
        edit->SetDecimalPlaces(4);
    }
    EditDay->SetDataSource(DataSource1);
    EditDay->SetDataField("InDay");
    DBChkFine->OnClick = [this](TObject* s) { DBChkFineClick(s); };

    auto upgrade = b.In(TabSheet3);
    upgrade.Add<TLabel>("LbPath").Caption("原数据库:").At(16, 19);
    EdtPath = upgrade.Add<TEdit>("EdtPath").At(80, 16, 300, 21).ReadOnly();
    SpeedButton2 = upgrade.Add<TSpeedButton>("SpeedButton2")
                       .Caption("...")
                       .Hint("点击按钮或按+/F5键选择设定数据")
                       .At(384, 15, 26, 23)
                       .OnClick(&TFrmParameter::SpeedButton2Click);
    LbUpgrade = upgrade.Add<TLabel>("LbUpgrade")
                    .Caption("注意:请先选择要升级的旧数据库,然后点击数据升级!(本系统的数据库文件)")
                    .At(16, 48);
    ChkBook = upgrade.Add<TCheckBox>("ChkBook").Caption("图书信息").At(16, 84, 90, 20);
    ChkMagz = upgrade.Add<TCheckBox>("ChkMagz").Caption("期刊信息").At(116, 84, 90, 20);
    ChkReader = upgrade.Add<TCheckBox>("ChkReader").Caption("读者信息").At(216, 84, 90, 20);
    Button1 = upgrade.Add<TButton>("Button1")
                  .Caption("生成拼音五笔")
                  .At(316, 82, 100, 25)
                  .OnClick(&TFrmParameter::Button1Click);
    Pb1 = upgrade.Add<TProgressBar>("Pb1").At(16, 124, 400, 16);
    BitBtn1 =
        upgrade.Add<TBitBtn>("BitBtn1").Caption("数据升级").At(316, 156, 100, 27).OnClick(&TFrmParameter::BitBtn1Click);

    auto [save, close] = b.OkCancel<TButton>({"BtSave", "确认", 280}, {"BtClose", "取消", 368}, 292, 80, 27);
    BtSave = save.OnClick(&TFrmParameter::BtSaveClick);
    BtClose = close.OnClick(&TFrmParameter::BtCloseClick);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmParameter::InitForm() {
    TFrmBaseD::InitForm();
    SetCaption("系统设置");
}

void TFrmParameter::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    if (!ADOQuery1->Active()) ADOQuery1->Open();
    if (ADOQuery1->IsEmpty())
        ADOQuery1->Append();
    else
        ADOQuery1->Edit();
    EditPerFine->SetEnabled(DBChkFine->Checked());
    PageControl1->SetActivePage(TabSheet1);
    SetActiveControl(DBEditCorpName);
}

void TFrmParameter::FormClose(TObject*, TCloseAction&) {
    // Unconfirmed edits go with the window.
    if (ADOQuery1->State() == dsEdit || ADOQuery1->State() == dsInsert) ADOQuery1->Cancel();
    ADOQuery1->Close();
    adosConnection->Close();
}

void TFrmParameter::DBChkFineClick(TObject*) { EditPerFine->SetEnabled(DBChkFine->Checked()); }

void TFrmParameter::BtSaveClick(TObject*) {
    if (ADOQuery1->State() == dsEdit || ADOQuery1->State() == dsInsert) ADOQuery1->Post();
    auto field = [this](const char* name) { return ADOQuery1->FieldByName(name); };
    auto flag = [&](const char* name) { return !field(name)->IsNull() && field(name)->AsBoolean(); };
    auto money = [&](const char* name) { return field(name)->IsNull() ? Currency() : field(name)->AsCurrency(); };
    CorpName = field("CorpName")->AsString();
    PerFine = money("PerFine");
    PerFine1 = money("PerFine1");
    IfFine = flag("IfFine");
    IfExcced = flag("IfExcced");
    Ifrepeat = flag("Ifrepeat");
    InDay = field("InDay")->IsNull() ? 0 : field("InDay")->AsInteger();
    Close();
}

void TFrmParameter::BtCloseClick(TObject*) { Close(); }

void TFrmParameter::Button1Click(TObject*) {
    const TInputCodeKinds kinds{ChkBook->Checked(), ChkMagz->Checked(), ChkReader->Checked()};
    Screen->SetCursor(crHourGlass);
    try {
        RegenerateInputCodes(DMData->ADOConnection1, kinds, [this](int position, int max) {
            Pb1->SetMax(std::max(max, 1));
            Pb1->SetPosition(position);
            Application->ProcessMessages();
        });
    } catch (const Exception&) {
        Screen->SetCursor(crDefault);
        ShowInfoBox("生成不成功!");
        return;
    }
    Screen->SetCursor(crDefault);
    ShowMessage("生成成功!");
}

void TFrmParameter::SpeedButton2Click(TObject*) {
    odgSData->SetTitle("选择原账套数据库");
    odgSData->SetFilter("本系统数据库 (*.dat;*.mdb)|*.dat;*.mdb|所有文件 (*.*)|*.*");
    if (!odgSData->Execute()) return;
    const std::string file = odgSData->FileName();
    EdtPath->SetText(file);
    adosConnection->Close();
    adosConnection->SetConnectionString(ConnectionStringFor(file));
    try {
        adosConnection->Open();
    } catch (const Exception&) {
        EdtPath->SetText("");
        ShowInfoBox("此文件不是本系统的数据库,不能升级!");
    }
}

void TFrmParameter::BitBtn1Click(TObject*) {
    if (Application->MessageBox("是否要升级。", "询问", MB_OKCANCEL) != IDOK) return;
    if (!adosConnection->Connected()) {
        ShowMessage("请设置右边的原账套数据库");
        return;
    }
    Screen->SetCursor(crHourGlass);
    const TUpgradeResult result = UpgradeData(DMData->ADOConnection1, adosConnection, [this](int position, int max) {
        Pb1->SetMax(std::max(max, 1));
        Pb1->SetPosition(position);
        Application->ProcessMessages();
    });
    Screen->SetCursor(crDefault);
    if (result.Failed.empty()) {
        ShowInfoBox("数据升级成功!");
    } else {
        std::string failed;
        for (const std::string& t : result.Failed) failed += (failed.empty() ? "" : ",") + t;
        ShowInfoBox("以下数据表升级不成功,保持原样: " + failed);
    }
    if (const std::string duplicates = DuplicateCodesMessage(result.Duplicates); !duplicates.empty())
        ShowInfoBox(duplicates);
}
