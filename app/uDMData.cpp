// The data module and the rule that turns "ConSQL.ini" into a database
// file; see uDMData.h.
#include "uDMData.h"

#include "Application.h"
#include "Build.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "SchemaUpgrade.h"
#include "uDataMaint.h"

TDMData* DMData = nullptr;
std::string DatabasePath;

namespace {
bool databaseIsLocal = true;

bool namesFile(const std::string& iniPath) { return iniPath.rfind("\\\\", 0) == 0 || iniPath.rfind("/", 0) == 0; }
} // namespace

std::string DatabaseFileFor(const std::string& iniPath, const std::string& exeDir) {
    if (!namesFile(iniPath)) return exeDir + "Data/ombry.dat";
    std::string path = iniPath;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool DatabaseIsLocal() { return databaseIsLocal; }

std::string ConnectionStringFor(const std::string& databaseFile) {
    return std::string("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") +
           ConnectionStringQuoted(databaseFile) + ";" + "Mode=ReadWrite;Extended Properties=\"\";" +
           "Jet OLEDB:System database=\"\";" + "Jet OLEDB:Registry Path=\"\";" +
           "Jet OLEDB:Database Password=" + DatabasePassword;
}

TDMData::TDMData(TComponent* owner) : TComponent(owner) {
    SetName("DMData");
    TBuild b(this);
    ADOConnection1 = b.Add<TADOConnection>("ADOConnection1")
                         .Set(&TADOConnection::SetLoginPrompt, false)
                         .Set(&TADOConnection::SetMode, cmShareDenyNone);
    AdoqAcctinfo = b.Add<TADOQuery>("AdoqAcctinfo").Set(&TADOQuery::SetConnection, ADOConnection1);
    AdoQueryUser = b.Add<TADOQuery>("AdoQueryUser").Set(&TADOQuery::SetConnection, ADOConnection1);
    AdoCommUser = b.Add<TADOCommand>("AdoCommUser").Set(&TADOCommand::SetConnection, ADOConnection1);
    AdoqTemp = b.Add<TADOQuery>("AdoqTemp").Set(&TADOQuery::SetConnection, ADOConnection1);
    DMData = this;
    opened_ = DataModuleCreate();
}

TDMData::~TDMData() {
    ADOConnection1->Close();
    if (DMData == this) DMData = nullptr;
}

// Reads the configuration and opens the connection. A missing
// configuration is reported before anything touches a database file.
bool TDMData::DataModuleCreate() {
    const std::string iniName = ExeDir() + "ConSQL.ini";
    if (!FileExists(iniName)) {
        Application->MessageBox("系统无法找到配置文件！", "信息", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    std::string configured;
    {
        TIniFile ini(iniName);
        configured = ini.ReadString("Server", "Path", "");
    }
    databaseIsLocal = !namesFile(configured);
    DatabasePath = DatabaseFileFor(configured, ExeDir());
    ADOConnection1->Close();
    ADOConnection1->SetConnectionString(ConnectionStringFor(DatabasePath));
    try {
        ADOConnection1->Open();
    } catch (const Exception&) {}
    if (!ADOConnection1->Connected()) {
        Application->MessageBox("连接失败,请重新设置数据连接！", "错误", MB_OK | MB_ICONERROR);
        return false;
    }
    RemoveLeftoverCopies();
    UpgradeOpenedDatabase(ADOConnection1);
    return true;
}
