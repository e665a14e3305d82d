// INI files, streams and the file helpers, on files in a fresh temporary
// folder per test.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "Classes.h"
#include "IniFiles.h"
#include "SysUtils.h"

namespace {

class FilesTest : public testing::Test {
protected:
    void SetUp() override {
        std::string f = GetTempFileName();
        DeleteFile(f);
        dir_ = f + "_d/";
        ASSERT_TRUE(ForceDirectories(dir_));
    }
    void TearDown() override {
        for (const auto& n : ListFiles(dir_, "*")) DeleteFile(dir_ + n);
        RemoveDir(dir_);
    }
    std::string dir_;
};

TEST_F(FilesTest, iniKeysAndSectionsIgnoreCase) {
    std::string path = dir_ + "ConSQL.ini";
    AtomicWriteFile(path, "; comment\r\n[Server]\r\nPath=\r\nName = Main \r\n\r\n[Other]\r\nX=\"quoted\"\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("server", "PATH", "default"), "");
    EXPECT_EQ(ini.ReadString("SERVER", "name", ""), "Main");
    EXPECT_EQ(ini.ReadString("Other", "x", ""), "quoted");
    EXPECT_EQ(ini.ReadString("Missing", "x", "dflt"), "dflt");
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_TRUE(ini.ValueExists("server", "path"));
    EXPECT_FALSE(ini.ValueExists("server", "user"));
    ini.WriteString("SERVER", "path", "/data/ombry.dat");
    ini.WriteString("server", "Timeout", "5");
    // The existing key keeps its spelling; the new key lands at the end of
    // its section, before the blank line; everything else stays.
    EXPECT_EQ(ReadFileBytes(path), "; comment\r\n[Server]\r\nPath=/data/ombry.dat\r\nName = Main \r\nTimeout=5\r\n\r\n"
                                   "[Other]\r\nX=\"quoted\"\r\n");
    TStringList keys;
    ini.ReadSection("server", &keys);
    EXPECT_EQ(keys.CommaText(), "Path,Name,Timeout");
    ini.ReadSections(&keys);
    EXPECT_EQ(keys.CommaText(), "Server,Other");
    ini.ReadSectionValues("Server", &keys);
    EXPECT_EQ(keys.Values("timeout"), "5");
}

TEST_F(FilesTest, iniIsGbkOnDiskAndWrittenAtOnce) {
    std::string path = dir_ + "ConnectSQL.ini";
    {
        TIniFile ini(path);
        ini.WriteString("图书", "名称", "中文");
        ini.WriteInteger("Main", "Count", 12);
        ini.WriteBool("Main", "On", true);
        ini.WriteDate("Main", "Day", EncodeDate(2024, 3, 5));
        ini.WriteFloat("Main", "Rate", 0.5);
    }
    EXPECT_EQ(ReadFileBytes(path), "[\xCD\xBC\xCA\xE9]\r\n\xC3\xFB\xB3\xC6=\xD6\xD0\xCE\xC4\r\n"
                                   "[Main]\r\nCount=12\r\nOn=1\r\nDay=2024-03-05\r\nRate=0.5\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("图书", "名称", ""), "中文");
    EXPECT_EQ(ini.ReadInteger("main", "count", 0), 12);
    EXPECT_EQ(ini.ReadInteger("main", "on", 0), 1);
    EXPECT_EQ(ini.ReadInteger("main", "day", -1), -1); // not a number
    EXPECT_TRUE(ini.ReadBool("main", "on", false));
    EXPECT_EQ(ini.ReadDate("main", "day", 0).Val, EncodeDate(2024, 3, 5).Val);
    EXPECT_EQ(ini.ReadDate("main", "count", 7).Val, 7);
    EXPECT_EQ(ini.ReadFloat("main", "rate", 0), 0.5);
    ini.DeleteKey("main", "RATE");
    ini.EraseSection("图书");
    EXPECT_EQ(ReadFileBytes(path), "[Main]\r\nCount=12\r\nOn=1\r\nDay=2024-03-05\r\n");
}

TEST_F(FilesTest, iniSeesAnotherWritersChanges) {
    std::string path = dir_ + "shared.ini";
    TIniFile a(path), b(path);
    EXPECT_EQ(b.ReadString("S", "K", "none"), "none");
    a.WriteString("S", "K", "from a, longer");
    EXPECT_EQ(b.ReadString("S", "K", "none"), "from a, longer");
}

TEST_F(FilesTest, iniWriteFailureRaisesAndKeepsMemory) {
    TIniFile ini(dir_ + "no/such/folder/x.ini");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    try {
        ini.WriteString("S", "K", "v");
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + dir_ + "no/such/folder/x.ini");
    }
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
}

TEST_F(FilesTest, iniSavedAsUtf8WithMarkStillReads) {
    std::string path = dir_ + "edited.ini";
    AtomicWriteFile(path, "\xEF\xBB\xBF[Server]\r\nPath=/数据/ombry.dat\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Server", "Path", ""), "/数据/ombry.dat");
}

TEST_F(FilesTest, memIniWritesOnlyOnUpdateFile) {
    std::string path = dir_ + "mem.ini";
    TMemIniFile ini(path);
    ini.WriteString("A", "B", "C");
    EXPECT_FALSE(FileExists(path));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nB=C\r\n");
}

TEST_F(FilesTest, atomicReplaceFileSwapsContentWhole) {
    std::string src = dir_ + "new.dat", dst = dir_ + "ombry.dat";
    AtomicWriteFile(dst, "old contents");
    AtomicWriteFile(src, std::string(100000, 'n'));
    chmod(dst.c_str(), 0640);
    AtomicReplaceFile(src, dst);
    EXPECT_EQ(ReadFileBytes(dst), std::string(100000, 'n'));
    EXPECT_TRUE(FileExists(src));
    // No temporary files left beside it.
    EXPECT_EQ(ListFiles(dir_, "*"), (std::vector<std::string>{"new.dat", "ombry.dat"}));
    EXPECT_THROW(AtomicReplaceFile(dir_ + "missing", dst), EInOutError);
    EXPECT_EQ(FileSize(dst), 100000);
}

TEST_F(FilesTest, copyFileHonoursFailIfExists) {
    std::string a = dir_ + "a.txt", b = dir_ + "b.txt";
    AtomicWriteFile(a, "A");
    AtomicWriteFile(b, "B");
    EXPECT_FALSE(CopyFile(a, b, true));
    EXPECT_EQ(ReadFileBytes(b), "B");
    EXPECT_TRUE(CopyFile(a, b, false));
    EXPECT_EQ(ReadFileBytes(b), "A");
    EXPECT_TRUE(CopyFile(a, dir_ + "c.txt", true));
    EXPECT_FALSE(CopyFile(dir_ + "none", dir_ + "d.txt", false));
    EXPECT_FALSE(FileExists(dir_ + "d.txt"));
    EXPECT_TRUE(RenameFile(dir_ + "c.txt", dir_ + "e.txt"));
    EXPECT_FALSE(RenameFile(dir_ + "e.txt", b)); // never overwrites
    EXPECT_TRUE(DeleteFile(dir_ + "e.txt"));
    EXPECT_FALSE(FileExists(dir_ + "e.txt"));
}

TEST_F(FilesTest, forceDirectoriesMakesEveryLevel) {
    std::string deep = dir_ + "x/y/z";
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    RemoveDir(deep);
    RemoveDir(dir_ + "x/y");
    RemoveDir(dir_ + "x");
}

TEST(Paths, pieces) {
    EXPECT_EQ(ExtractFilePath("/opt/app/Data/ombry.dat"), "/opt/app/Data/");
    EXPECT_EQ(ExtractFileDir("/opt/app/Data/ombry.dat"), "/opt/app/Data");
    EXPECT_EQ(ExtractFileName("/opt/app/Data/ombry.dat"), "ombry.dat");
    EXPECT_EQ(ExtractFileExt("/opt/app/ConSQL.ini"), ".ini");
    EXPECT_EQ(ExtractFileExt("/opt/a.b/file"), "");
    EXPECT_EQ(ChangeFileExt("/opt/r.frf", ".bak"), "/opt/r.bak");
    EXPECT_EQ(ChangeFileExt("/opt/r", ".bak"), "/opt/r.bak");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt"), "/opt/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/"), "/opt/");
    EXPECT_EQ(ExpandFileName("/a/b/../c/./d"), "/a/c/d");
}

TEST(Paths, exeDirIsTheProgramFolderUnlessOverridden) {
    std::string real = ExeDir();
    EXPECT_EQ(real.back(), '/');
    EXPECT_TRUE(FileExists(real + "test_core"));
    SetExeDirForTesting("/tmp/somewhere");
    EXPECT_EQ(ExeDir(), "/tmp/somewhere/");
    SetExeDirForTesting("");
    EXPECT_EQ(ExeDir(), real);
}

TEST(Streams, memoryStreamReadWriteSeek) {
    TMemoryStream m;
    m.WriteBuffer("hello world");
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(m.Seek(-5, soFromEnd), 6);
    char buf[5];
    m.ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "world");
    try {
        m.ReadBuffer(buf, 1);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Stream read error");
    }
    m.SetPosition(0);
    m.WriteBuffer("J");
    m.SetSize(5);
    EXPECT_EQ(m.Bytes(), "Jello");
    TStringStream s;
    s.CopyFrom(&m, 0);
    EXPECT_EQ(s.DataString(), "Jello");
    s.SetPosition(1);
    EXPECT_EQ(s.ReadString(3), "ell");
}

TEST(Streams, fileStreamModesAndErrors) {
    std::string path = GetTempFileName();
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("abc");
    }
    {
        TFileStream f(path, fmOpenReadWrite | fmShareDenyNone);
        f.Seek(0, soFromEnd);
        f.WriteBuffer("def");
        EXPECT_EQ(f.Size(), 6);
    }
    TFileStream r(path, fmOpenRead);
    EXPECT_EQ(r.ReadRest(), "abcdef");
    DeleteFile(path);
    try {
        TFileStream missing(path, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file \"" + path + "\"");
    }
    try {
        TFileStream bad("/nonexistent-folder/x.dat", fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message, "Cannot create file \"/nonexistent-folder/x.dat\"");
    }
}

TEST(Streams, stringListThroughStreamIsGbk) {
    TStringList l;
    l.Add("读者");
    TMemoryStream m;
    l.SaveToStream(&m);
    EXPECT_EQ(m.Bytes(), "\xB6\xC1\xD5\xDF\r\n");
    m.SetPosition(0);
    TStringList back;
    back.LoadFromStream(&m);
    EXPECT_EQ(back[0], "读者");
}

} // namespace
