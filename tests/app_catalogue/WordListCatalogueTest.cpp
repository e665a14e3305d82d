// The word-list windows through the real window: the first list on
// opening, words typed with Enter alone, empty rows never posted, a pending
// word kept when the list changes, and which deletes ask.
#include "CatalogueFixture.h"

#include "Buttons.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "app/uFirstData.h"
#include "app/uReaderFirstData.h"

#include <memory>

namespace {

class WordListCatalogueTest : public CatalogueFixture {
protected:
    void TearDown() override {
        form.reset();
        CatalogueFixture::TearDown();
    }
    template <class T>
    void open() {
        form.reset(new T(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    void typeWord(const std::string& word) {
        SendText(form->DBGrid1, word);
        SendKey(form->DBGrid1, VK_RETURN);
        ProcessEvents();
    }
    std::unique_ptr<TFrmWordList> form;
};

TEST_F(WordListCatalogueTest, bookListsOpenOnTheSuppliers) {
    open<TFrmFirstData>();
    EXPECT_EQ(form->CurrentTable, "Booksupplier");
    EXPECT_EQ(form->Panel3->Caption(), "代理商");
    ASSERT_EQ(form->DBGrid1->Columns()->Count(), 1);
    EXPECT_EQ(form->ListButtons.size(), 7u);
}

TEST_F(WordListCatalogueTest, readerRemarksAreTheBookRemarkTable) {
    open<TFrmReaderFirstData>();
    EXPECT_EQ(form->CurrentTable, "Readerdept");
    SendClick(form->ListButtons[2]);
    EXPECT_EQ(form->CurrentTable, "BookRemark");
    EXPECT_EQ(form->Panel3->Caption(), "备注");
}

TEST_F(WordListCatalogueTest, wordsTypedWithEnterAloneArePostedOneAfterAnother) {
    open<TFrmReaderFirstData>();
    SendKey(form->DBGrid1, VK_F2);
    typeWord("计算机系");
    typeWord("中文系");
    // Enter on the empty row that follows posts nothing.
    SendKey(form->DBGrid1, VK_RETURN);
    SendKey(form->DBGrid1, VK_F3);
    EXPECT_EQ(Rows("select Code from Readerdept order by Code"), (std::vector<std::string>{"中文系", "计算机系"}));
}

TEST_F(WordListCatalogueTest, switchingListsKeepsAnUnpostedWord) {
    open<TFrmReaderFirstData>();
    SendKey(form->DBGrid1, VK_F2);
    SendText(form->DBGrid1, "外语系");
    SendClick(form->ListButtons[1]);
    EXPECT_EQ(Rows("select Code from Readerdept"), (std::vector<std::string>{"外语系"}));
    EXPECT_EQ(form->CurrentTable, "ReaderAddr");
}

TEST_F(WordListCatalogueTest, functionKeyDeletesAtOnceDeleteKeyAsks) {
    Exec("insert into Bookattch (Code) values ('光盘'), ('磁带')");
    open<TFrmFirstData>();
    SendClick(form->ListButtons[1]);
    SendKey(form->DBGrid1, VK_F4);
    EXPECT_EQ(Scalar("select count(*) from Bookattch"), "1");
    script.ExpectMessage("是否删除此记录？", IDCANCEL, "询问");
    SendKey(form->DBGrid1, VK_DELETE);
    EXPECT_EQ(Scalar("select count(*) from Bookattch"), "1");
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendKey(form->DBGrid1, VK_DELETE);
    EXPECT_EQ(Scalar("select count(*) from Bookattch"), "0");
}

} // namespace
