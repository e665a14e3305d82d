// Registry settings, clipboard formats, help command lines and sounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Clipbrd.h"
#include "Registry.h"
#include "Shell.h"
#include "Sound.h"
#include "TestKit.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // One file per test: ctest runs them in parallel processes.
        path = std::string(BUILD_DIR) + "/ui_registry_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::remove(path);
        SetRegistryFileForTesting(path);
    }
    void TearDown() override { SetRegistryFileForTesting(""); }
    std::string path;
};

TEST_F(RegistryTest, typedValuesRoundTripUnderAKey) {
    TRegistry r;
    ASSERT_FALSE(r.OpenKey("Software\\Quillory\\Designer", false));
    ASSERT_TRUE(r.OpenKey("Software\\Quillory\\Designer", true));
    r.WriteString("Title", "报表设计");
    r.WriteInteger("Left", -20);
    r.WriteBool("Visible", true);
    r.CloseKey();
    TRegistry again;
    ASSERT_TRUE(again.OpenKey("Software\\Quillory\\Designer", false));
    EXPECT_EQ(again.ReadString("Title"), "报表设计");
    EXPECT_EQ(again.ReadInteger("Left"), -20);
    EXPECT_TRUE(again.ReadBool("Visible"));
    EXPECT_THROW(again.ReadInteger("Title"), ERegistryException);
}

TEST_F(RegistryTest, regIniFileReadsDefaultsAndErasesSections) {
    TRegIniFile ini("Software\\Quillory");
    EXPECT_EQ(ini.ReadInteger("Toolbar", "Top", 7), 7);
    ini.WriteInteger("Toolbar", "Top", 30);
    ini.WriteString("Toolbar", "Dock", "上");
    EXPECT_EQ(ini.ReadInteger("Toolbar", "Top", 7), 30);
    EXPECT_EQ(ini.ReadString("Toolbar", "Dock", ""), "上");
    ini.EraseSection("Toolbar");
    EXPECT_EQ(ini.ReadInteger("Toolbar", "Top", 7), 7);
}

TEST(Clipboard, severalFormatsInOneOpenClose) {
    TClipboard* c = Clipboard();
    c->Open();
    c->SetAsText("a\tb");
    c->SetBuffer("Csv", {'a', ',', 'b'});
    c->SetBuffer("VCLDBIF", {1, 2, 3});
    c->Close();
    EXPECT_EQ(c->AsText(), "a\tb");
    EXPECT_TRUE(c->HasFormat("Csv"));
    EXPECT_EQ(c->GetBuffer("VCLDBIF"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(ClipboardMimeType("Rich Text Format"), "text/rtf");
}

TEST(Shell, helpCommandLineMapsToAnExistingPageAndNothingElse) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(BUILD_DIR) / "ui_help";
    fs::create_directories(dir / "help");
    std::ofstream(dir / "help.chm") << "x";
    std::ofstream(dir / "help" / "borrow.htm") << "<html></html>";
    std::string chm = (dir / "help.chm").string();
    EXPECT_EQ(HelpTarget("HH.exe " + chm + "::/borrow.htm"), (dir / "help" / "borrow.htm").string());
    EXPECT_EQ(HelpTarget("HH.exe " + chm + "::/missing.htm"), chm);
    EXPECT_EQ(HelpTarget("HH.exe /nowhere/none.chm::/a.htm"), "");
    EXPECT_EQ(HelpTarget("rm -rf /tmp/x"), "");
    EXPECT_FALSE(WinExecHelp("rm -rf /tmp/x"));
}

TEST(Sound, wavFromMemoryIsCheckedAndBeepsAreRecorded) {
    TSeamScript script;
    const char wav[] = "RIFF\x24\0\0\0WAVEfmt ";
    EXPECT_TRUE(PlaySoundFromMemory(wav, sizeof wav));
    EXPECT_FALSE(PlaySoundFromMemory("garbage!garbage!", 16));
    MessageBeep(MB_ICONSTOP);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Kind, TSeamKind::Beep);
}

} // namespace
