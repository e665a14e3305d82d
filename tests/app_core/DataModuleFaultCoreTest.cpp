// The data module on a database whose path the connection string could not
// carry: a ";" in a folder name cut the path short, so the program did not
// start.
#include "CoreFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uDMData.h"

#include <memory>

namespace {

class DataModuleFault : public CoreFixture {};

TEST_F(DataModuleFault, databaseInAFolderWithASemicolonOpens) {
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    const std::string folder = dir_ + "lib;x=1";
    ForceDirectories(folder);
    const std::string other = folder + "/ombry.dat";
    ASSERT_TRUE(CopyFile(dbFile_, other, false));
    WriteIni("[Server]\r\nPath=" + other + "\r\n");
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    EXPECT_TRUE(dm->Opened());
    EXPECT_EQ(DatabasePath, other);
    EXPECT_EQ(dm->ADOConnection1->DatabasePath(), other);
    EXPECT_EQ(ConnectionStringValue(dm->ADOConnection1->ConnectionString(), "Jet OLEDB:Database Password"),
              "mopu284617");
    EXPECT_TRUE(script.Shown().empty());
}

} // namespace
