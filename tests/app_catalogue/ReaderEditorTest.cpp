// The reader editor through its window: a photo picked through the file
// dialog and stored as path plus bitmap (a JPEG only as path), a rename in
// edit mode carrying the loans of both loan tables, codes unique in the
// save itself, and a new reader never taking over loans with an empty code.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uGlobal.h"
#include "app/uReaderDataEdit.h"
#include "gridlib/edits/DBCtrlsEh.h"

#include <memory>

namespace {

class ReaderEditorTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into ReaderType (Code, CeQty) values ('学生', 5)");
        Exec("insert into Readerinfo (Code, Name, SortCode) values ('001', '张三', '学生')");
        ForceDirectories(dir_ + "Bmp");
    }
    // A small picture file of the given kind in Bmp/.
    std::string picture(const std::string& name) {
        TBitmap bmp;
        bmp.SetSize(24, 32);
        bmp.Canvas()->Brush()->SetColor(RGB(30, 120, 200));
        bmp.Canvas()->FillRect(TRect(0, 0, 24, 32));
        const std::string path = dir_ + "Bmp/" + name;
        if (EndsText(".jpg", name)) {
            TJPEGImage jpeg;
            jpeg.Assign(&bmp);
            jpeg.SaveToFile(path);
        } else {
            bmp.SaveToFile(path);
        }
        return path;
    }
    std::unique_ptr<TFrmReaderDataEdit> open(int mode, const std::string& code = "") {
        std::unique_ptr<TFrmReaderDataEdit> e(new TFrmReaderDataEdit(nullptr));
        e->EditMode = uint8_t(mode);
        e->KeyField = "Code";
        e->KeyValue = code;
        ShowAndActivate(e.get());
        return e;
    }
    void typeInto(TWinControl* box, const std::string& text) {
        SendKey(box, 'A', TShiftState() << ssCtrl);
        SendText(box, text);
    }
};

struct PhotoCase {
    const char* name;
    const char* file;
    bool bitmapStored;
};

class ReaderPhotoTest : public ReaderEditorTest, public ::testing::WithParamInterface<PhotoCase> {};

TEST_P(ReaderPhotoTest, newReaderWithAPhotoKeepsItsPathAndABitmapOnly) {
    const PhotoCase& c = GetParam();
    const std::string path = picture(c.file);
    auto e = open(1);
    typeInto(e->EditCode, "002");
    typeInto(e->EditName, "李四");
    typeInto(e->EditSort, "学生");
    script.ExpectFile(TSeamKind::OpenDialog, path);
    SendClick(e->SBtIn);
    EXPECT_EQ(e->Image1->Picture()->Width(), 24);
    EXPECT_EQ(script.Shown().back().Text, "查找相片");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, Name, Photo, RegDate, iif(Isstop,1,0) from Readerinfo where Code='002'"),
              (std::vector<std::string>{"002|李四|" + path + "|2024-05-06|0"}));
    const std::string stored = Scalar("select length(PhotoBmp) from Readerinfo where Code='002'");
    if (c.bitmapStored)
        EXPECT_GT(std::stoi(stored), 24 * 32 * 3) << stored;
    else
        EXPECT_EQ(stored, "");
    EXPECT_EQ(e->LastSavedCode, "002");
}

const PhotoCase photoCases[] = {{"bitmap", "li.bmp", true}, {"jpeg", "li.jpg", false}};
INSTANTIATE_TEST_SUITE_P(Photos, ReaderPhotoTest, ::testing::ValuesIn(photoCases), RowName());

TEST_F(ReaderEditorTest, photoIsKeptByAnEditThatLeavesItAndDroppedByCancel) {
    const std::string path = picture("zhang.bmp");
    {
        auto e = open(2, "001");
        script.ExpectFile(TSeamKind::OpenDialog, path);
        SendClick(e->SBtIn);
        SendClick(e->BtSaveAdd);
    }
    const std::string bytes = Scalar("select length(PhotoBmp) from Readerinfo where Code='001'");
    ASSERT_NE(bytes, "");
    {
        auto e = open(2, "001");
        EXPECT_EQ(e->Image1->Picture()->Width(), 24);
        typeInto(e->DBEdit8, "110101200001010011");
        SendClick(e->BtSaveAdd);
    }
    EXPECT_EQ(Rows("select Photo, length(PhotoBmp), CardId from Readerinfo where Code='001'"),
              (std::vector<std::string>{path + "|" + bytes + "|110101200001010011"}));
    {
        auto e = open(2, "001");
        SendClick(e->SpeedButton2);
        EXPECT_TRUE(e->Image1->Picture()->Graphic() == nullptr || e->Image1->Picture()->Graphic()->Empty());
        SendClick(e->BtSaveAdd);
    }
    EXPECT_EQ(Rows("select Photo, PhotoBmp is null from Readerinfo where Code='001'"),
              (std::vector<std::string>{"|1"}));
}

TEST_F(ReaderEditorTest, renameCarriesTheLoansOfBothLoanTablesAndTheWriteOffs) {
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B1', '001', '未还'), ('B2', '001', '已还'), "
         "('B3', '009', '未还')");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M1', '001', '未还'), ('M2', '001', '预约')");
    Exec("insert into BookReject (Code, RCode) values ('B4', '001'), ('B5', '009')");
    Exec("insert into MagzReject (Code, RCode) values ('M3', '001')");
    auto e = open(2, "001");
    typeInto(e->EditCode, "101");
    // Leaving and entering the box again must not make "101" the old code.
    SendKey(e->EditCode, VK_TAB);
    typeInto(e->EditCode, "101");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Code, Rcode from Borrowinfo order by Code"),
              (std::vector<std::string>{"B1|101", "B2|101", "B3|009"}));
    EXPECT_EQ(Rows("select Code, Rcode from Borrowinfo1 order by Code"), (std::vector<std::string>{"M1|101", "M2|101"}));
    // The write-off lists still name the reader held responsible.
    EXPECT_EQ(Rows("select Code, RCode from BookReject order by Code"), (std::vector<std::string>{"B4|101", "B5|009"}));
    EXPECT_EQ(Rows("select Code, RName from QryReject1"), (std::vector<std::string>{"M3|张三"}));
    EXPECT_EQ(Rows("select Code from Readerinfo"), (std::vector<std::string>{"101"}));
}

TEST_F(ReaderEditorTest, newReaderDoesNotTakeLoansWithAnEmptyReaderCode) {
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B9', '', '已还')");
    auto e = open(1);
    typeInto(e->EditCode, "003");
    typeInto(e->EditName, "王五");
    typeInto(e->EditSort, "学生");
    SendClick(e->BtSaveAdd);
    EXPECT_EQ(Rows("select Rcode from Borrowinfo"), (std::vector<std::string>{""}));
}

struct DuplicateCase {
    const char* name;
    int mode;
    const char* startCode;
};

class ReaderDuplicateTest : public ReaderEditorTest, public ::testing::WithParamInterface<DuplicateCase> {};

// The code box is never left: the save itself must find the duplicate.
TEST_P(ReaderDuplicateTest, takenCodeIsRefusedByTheSave) {
    const DuplicateCase& c = GetParam();
    Exec("insert into Readerinfo (Code, Name, SortCode) values ('007', '赵六', '学生')");
    auto e = open(c.mode, c.startCode);
    e->AdoqEdit->FieldByName("Code")->SetAsString("007");
    e->AdoqEdit->FieldByName("Name")->SetAsString("重复");
    e->AdoqEdit->FieldByName("SortCode")->SetAsString("学生");
    script.ExpectMessage("该读者已有重码！请重新录入", IDOK);
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Rows("select Code, Name from Readerinfo order by Code"),
              (std::vector<std::string>{"001|张三", "007|赵六"}));
}

const DuplicateCase duplicateCases[] = {{"addMode", 1, ""}, {"editMode", 2, "001"}};
INSTANTIATE_TEST_SUITE_P(Codes, ReaderDuplicateTest, ::testing::ValuesIn(duplicateCases), RowName());

TEST_F(ReaderEditorTest, leavingTheCodeBoxWithATakenCodePutsTheLoadedCodeBack) {
    Exec("insert into Readerinfo (Code, Name, SortCode) values ('007', '赵六', '学生')");
    auto e = open(2, "001");
    typeInto(e->EditCode, "007");
    script.ExpectMessage("该读者已有重码！请重新录入", IDOK);
    SendKey(e->EditCode, VK_TAB);
    EXPECT_EQ(e->AdoqEdit->FieldByName("Code")->AsString(), "001");
}

TEST_F(ReaderEditorTest, unknownTypeIsSaidAndEmptiedAndF5PicksOne) {
    auto e = open(1);
    typeInto(e->EditSort, "无");
    script.ExpectMessage("无此类别!", IDOK);
    SendKey(e->EditSort, VK_TAB);
    EXPECT_EQ(e->EditSort->Text(), "");
    script.ExpectForm("TFrmFindReaderSort", mrNone, {}, [](TCustomForm* f) {
        SendKeyTo(f, "DBGrid1", VK_RETURN);
    });
    SendKey(e->EditSort, VK_F5);
    EXPECT_EQ(e->AdoqEdit->FieldByName("SortCode")->AsString(), "学生");
}

// Saved by its key with the focus still in the type box: a reader of no
// type would reach the desks without lending limits.
TEST_F(ReaderEditorTest, unknownTypeIsRefusedByASaveThatNeverLeftItsBox) {
    auto e = open(1);
    typeInto(e->EditCode, "004");
    typeInto(e->EditName, "钱七");
    typeInto(e->EditSort, "无此类");
    script.ExpectMessage("无此类别!", IDOK);
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Scalar("select count(*) from Readerinfo where Code='004'"), "0");
    e->AdoqEdit->Cancel();
    e.reset();

    // A reader whose type has gone since is still corrected and saved.
    Exec("update Readerinfo set SortCode='旧类' where Code='001'");
    e = open(2, "001");
    typeInto(e->EditName, "张三丰");
    SendKeyToFocus(e.get(), 'A', TShiftState() << ssAlt);
    EXPECT_EQ(Rows("select Name, SortCode from Readerinfo where Code='001'"), (std::vector<std::string>{"张三丰|旧类"}));
}

// Enter and Esc once reached the editor only when no box took them first,
// so neither worked from a box.
TEST_F(ReaderEditorTest, enterMovesFromBoxToBoxAndEscCloses) {
    std::unique_ptr<TFrmReaderDataEdit> e(new TFrmReaderDataEdit(nullptr));
    e->EditMode = 1;
    ShowAndActivate(e.get());
    SendText(e->EditCode, "004");
    SendKey(e->EditCode, VK_RETURN);
    EXPECT_EQ(e->ActiveControl(), e->EditName);
    SendKey(e->DBEdit3, VK_RETURN);
    EXPECT_EQ(e->ActiveControl(), e->BtSaveAdd);
    SendKey(e->EditName, VK_ESCAPE);
    EXPECT_FALSE(e->Visible());
    e.release(); // a closed editor frees itself
    ProcessEvents();
}

TEST_F(ReaderEditorTest, departmentsOfTheWordListAreOffered) {
    Exec("insert into Readerdept (Code) values ('初一(1)班'), ('教务处')");
    auto e = open(1);
    ASSERT_EQ(e->CmbDept->Items()->Count(), 2);
    EXPECT_EQ(e->CmbDept->Items()->Strings(1), "教务处");
}

TEST_F(ReaderEditorTest, pictureOfTheEditorWithAPhoto) {
    TBitmap bmp;
    bmp.SetSize(90, 120);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(RGB(200, 225, 245));
    c->FillRect(TRect(0, 0, 90, 120));
    c->Brush()->SetColor(RGB(60, 60, 90));
    c->Ellipse(10, 70, 80, 140);
    c->Brush()->SetColor(RGB(240, 200, 170));
    c->Ellipse(25, 20, 65, 70);
    const std::string path = dir_ + "Bmp/zhang-photo.bmp";
    bmp.SaveToFile(path);
    Exec("update Readerinfo set Sax='男', Department='初一(1)班', TelDay='010-8001', Addr='北京市海淀区' where Code='001'");
    auto e = open(2, "001");
    script.ExpectFile(TSeamKind::OpenDialog, path);
    SendClick(e->SBtIn);
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    EXPECT_TRUE(SaveFormPng(e.get(), screens + "reader-editor-photo.png"));
}

} // namespace
