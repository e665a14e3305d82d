// The data module: the "ConSQL.ini" rule, the missing configuration that
// ends the start before any database is touched, and the failed connection.
#include "CoreFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uDMData.h"

#include <memory>

namespace {

struct PathRow {
    const char* name;
    const char* configured;
    const char* expected; // "" = Data/ombry.dat beside the executable
};
class DatabaseFileCoreTest : public ::testing::TestWithParam<PathRow> {};
TEST_P(DatabaseFileCoreTest, selectsFile) {
    const PathRow& r = GetParam();
    const std::string expected = *r.expected ? std::string(r.expected) : std::string("/opt/lib/Data/ombry.dat");
    EXPECT_EQ(DatabaseFileFor(r.configured, "/opt/lib/"), expected);
}
INSTANTIATE_TEST_SUITE_P(Rows, DatabaseFileCoreTest,
                         ::testing::Values(PathRow{"share", "\\\\server\\share\\lib.dat", "//server/share/lib.dat"},
                                           PathRow{"absolute", "/srv/library/lib.dat", "/srv/library/lib.dat"},
                                           PathRow{"driveLetter", "D:\\lib.dat", ""}, PathRow{"empty", "", ""},
                                           PathRow{"relative", "lib.dat", ""},
                                           PathRow{"singleBackslash", "\\lib.dat", ""}),
                         RowName());

class DataModuleCoreTest : public CoreFixture {
protected:
    TSeamScript script;
    void SetUp() override {
        CoreFixture::SetUp();
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
};

TEST_F(DataModuleCoreTest, opensDatabaseBesideExecutableForEmptyPath) {
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    EXPECT_TRUE(dm->Opened());
    EXPECT_TRUE(dm->ADOConnection1->Connected());
    EXPECT_EQ(DatabasePath, dbFile_);
    EXPECT_TRUE(DatabaseIsLocal());
    EXPECT_EQ(DMData, dm.get());
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(ConnectionStringValue(dm->ADOConnection1->ConnectionString(), "Jet OLEDB:Database Password"),
              "mopu284617");
}

TEST_F(DataModuleCoreTest, opensFileTheIniNames) {
    const std::string other = dir_ + "elsewhere.dat";
    ASSERT_TRUE(CopyFile(dbFile_, other, false));
    WriteIni("[server]\r\npath=" + other + "\r\n");
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    EXPECT_TRUE(dm->Opened());
    EXPECT_EQ(DatabasePath, other);
    EXPECT_FALSE(DatabaseIsLocal());
}

TEST_F(DataModuleCoreTest, missingIniEndsBeforeTouchingDatabase) {
    ASSERT_TRUE(DeleteFile(dir_ + "ConSQL.ini"));
    const std::string before = ReadFileBytes(dbFile_);
    const TDateTime stamp = FileAge(dbFile_);
    script.ExpectMessage("系统无法找到配置文件！", IDOK);
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    EXPECT_FALSE(dm->Opened());
    EXPECT_FALSE(dm->ADOConnection1->Connected());
    EXPECT_EQ(dm->ADOConnection1->ConnectionString(), "");
    EXPECT_EQ(DatabasePath, "");
    EXPECT_EQ(script.Texts(), (std::vector<std::string>{"系统无法找到配置文件！"}));
    EXPECT_EQ(ReadFileBytes(dbFile_), before);
    EXPECT_EQ(double(FileAge(dbFile_)), double(stamp));
}

TEST_F(DataModuleCoreTest, missingDatabaseSaysConnectionFailed) {
    WriteIni("[Server]\r\nPath=/nonexistent/folder/lib.dat\r\n");
    script.ExpectMessage("连接失败,请重新设置数据连接！", IDOK);
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    EXPECT_FALSE(dm->Opened());
    EXPECT_FALSE(dm->ADOConnection1->Connected());
    EXPECT_EQ(script.Texts(), (std::vector<std::string>{"连接失败,请重新设置数据连接！"}));
    EXPECT_FALSE(FileExists("/nonexistent/folder/lib.dat"));
}

} // namespace
