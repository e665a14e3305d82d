// The MARC import through the real dialog: a GBK file made here, with a
// blank line and a damaged record among good ones, becomes pre-catalogue
// rows, and the closing message names what was skipped.
#include "CatalogueFixture.h"

#include "Buttons.h"
#include "Gbk.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uMarcIn.h"
#include "support/MarcRecords.h"

#include <memory>

namespace {

std::string record(const std::string& name, const std::string& sortCode, const std::string& price) {
    return MarcRecord({{"010", {{'a', "7-111"}, {'d', price}}}, {"200", {{'a', name}, {'f', "作者"}}},
                       {"690", {{'a', sortCode}}}});
}

class MarcInCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("delete from BookinfoPre");
        form.reset(new TFrmMarcIn(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    void TearDown() override {
        form.reset();
        CatalogueFixture::TearDown();
    }
    std::unique_ptr<TFrmMarcIn> form;
};

TEST_F(MarcInCatalogueTest, importsGoodRecordsAndNamesTheLinesItSkipped) {
    const std::string damaged = MarcWithFieldStart(record("坏", "X", "1"), "200", "99999");
    const std::string file = dir_ + "books.iso";
    AtomicWriteFile(file, record("红楼梦", "I242.4", "CNY25.50") + "\r\n\r\n" + damaged + "\r\n" +
                              record("三国演义", "I242.3", "abc") + "\r\n");
    SendText(form->EditFile, file);
    script.ExpectMessage("共导入 2 条记录。\n跳过 1 条损坏的记录(第 3 行)。", IDOK);
    SendClick(form->BtConfirm);
    EXPECT_EQ(Rows("select Name, Writer, SortCode, BookIsbn, BookPrice, Scode, Py from BookinfoPre order by Id"),
              (std::vector<std::string>{"红楼梦|作者|I242.4|7-111|25.5||", "三国演义|作者|I242.3|7-111|||"}));
    // The computer's date, not the business date, and no time of day.
    EXPECT_EQ(Scalar("select count(*) from BookinfoPre where RegDate='" + FormatDateTime("yyyy-mm-dd", Date()) + "'"),
              "2");
    EXPECT_FALSE(form->Visible());
}

TEST_F(MarcInCatalogueTest, emptyFileNameIsSaidAndTheDialogStays) {
    script.ExpectMessage("请选择要导入的Marc文件!", IDOK);
    SendClick(form->BtConfirm);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(Scalar("select count(*) from BookinfoPre"), "0");
}

TEST_F(MarcInCatalogueTest, browseButtonPutsTheChosenFileInTheBox) {
    script.ExpectFile(TSeamKind::OpenDialog, "/tmp/some.iso");
    SendClick(form->SbtFile);
    EXPECT_EQ(form->EditFile->Text(), "/tmp/some.iso");
    EXPECT_EQ(script.Shown().back().Text, "选择Marc文件");
}

} // namespace
