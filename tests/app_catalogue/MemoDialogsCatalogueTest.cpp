// The long-text dialogs of the catalogue editors, opened by a double-click
// on the box (a real one on a real display too): the book's synopsis and
// abstract, the periodical's contents; what OK hands back is the text as
// typed, with no line break added after it, and Cancel drops it. A save by
// a button's key takes the text of the box still being typed in.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "DBCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookDataEdit.h"
#include "app/uBookMemo.h"
#include "app/uBookMemo1.h"
#include "app/uGlobal.h"
#include "app/uMagzDataEdit.h"
#include "app/uMagzMemo.h"
#include "app/uReaderTypeDataEdit.h"

#include <memory>

namespace {

class MemoDialogsTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into Type (sKey, SortCode, SortName, ParentKey) values ('000000', 'I24', '小说', '00')");
        Exec("insert into Bookinfo (Code, Name, SortCode, Remarks, Remarks1) values ('B1', '围城', 'I24', '旧简介', '')");
        Exec("insert into Magzinfo (Code, Name, SortCode, Remarks, IsNew) values ('M1', '求是', 'I24', '', 1)");
    }
    std::unique_ptr<TFrmBookDataEdit> bookEditor() {
        std::unique_ptr<TFrmBookDataEdit> e(new TFrmBookDataEdit(nullptr));
        e->EditMode = 2;
        e->EditId = std::stoi(Scalar("select Id from Bookinfo where Code='B1'"));
        ShowAndActivate(e.get());
        ProcessEvents();
        return e;
    }
    // Answers the dialog named form: checks its caption, types two lines
    // over its text and presses button.
    void answer(const char* form, const char* caption, const char* button) {
        script.ExpectForm(form, mrNone, {}, [caption, button](TCustomForm* f) {
            EXPECT_EQ(f->Caption(), caption);
            auto* d = static_cast<TFrmMemoDialog*>(f);
            SendKey(d->Memo1, 'A', TShiftState() << ssCtrl);
            SendText(d->Memo1, "第一行");
            SendKey(d->Memo1, VK_RETURN);
            SendText(d->Memo1, "第二行");
            SendClickTo(f, button);
        });
    }
};

TEST_F(MemoDialogsTest, synopsisAndAbstractOpenByDoubleClickAndComeBackAsTyped) {
    auto e = bookEditor();
    answer("TFrmBookMemo", "图书简介", "BtOK");
    SendDoubleClick(e->EditRemarks);
    EXPECT_EQ(script.Shown().size(), 1u);
    answer("TFrmBookMemo1", "图书摘要", "BtOK");
    SendDoubleClick(e->EditRemarks1);
    EXPECT_EQ(script.Shown().size(), 2u);
    SendClick(e.release()->BtSaveExit);
    EXPECT_EQ(Rows("select Remarks, Remarks1 from Bookinfo where Code='B1'"),
              (std::vector<std::string>{"第一行\r\n第二行|第一行\r\n第二行"}));
}

TEST_F(MemoDialogsTest, cancelledSynopsisLeavesTheBoxAsItWas) {
    auto e = bookEditor();
    answer("TFrmBookMemo", "图书简介", "BtCancel");
    SendDoubleClick(e->EditRemarks);
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Remarks")->AsString(), "旧简介");
}

TEST_F(MemoDialogsTest, periodicalContentsOpenByDoubleClickAndAreStoredWithoutATrailingBreak) {
    std::unique_ptr<TFrmMagzDataEdit> e(new TFrmMagzDataEdit(nullptr));
    e->EditMode = 2;
    e->EditId = std::stoi(Scalar("select Id from Magzinfo where Code='M1'"));
    ShowAndActivate(e.get());
    ProcessEvents();
    answer("TFrmMagzMemo", "期刊目录", "BtOK");
    SendDoubleClick(e->EditRemarks);
    ASSERT_EQ(script.Shown().size(), 1u);
    SendClick(e.release()->BtSaveExit);
    EXPECT_EQ(Scalar("select Remarks from Magzinfo where Code='M1'"), "第一行\r\n第二行");
}

TEST_F(MemoDialogsTest, contentsTypedIntoTheBoxItselfGetNoTrailingBreak) {
    std::unique_ptr<TFrmMagzDataEdit> e(new TFrmMagzDataEdit(nullptr));
    e->EditMode = 2;
    e->EditId = std::stoi(Scalar("select Id from Magzinfo where Code='M1'"));
    ShowAndActivate(e.get());
    SendClick(e->EditRemarks);
    SendText(e->EditRemarks, "Editorial");
    // Alt+S, 保存退出, with the focus still in the box; the editor frees
    // itself as it closes.
    SendKeyToFocus(e.release(), 'S', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select Remarks from Magzinfo where Code='M1'"), "Editorial");
}

TEST_F(MemoDialogsTest, readerTypeSavedByItsKeyTakesTheNameStillBeingTyped) {
    std::unique_ptr<TFrmReaderTypeDataEdit> e(new TFrmReaderTypeDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "研究生");
    // Alt+S, 保存退出, with the focus still in the box; the editor frees
    // itself as it closes.
    SendKeyToFocus(e.release(), 'S', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select Code from ReaderType"), (std::vector<std::string>{"研究生"}));
}

} // namespace
