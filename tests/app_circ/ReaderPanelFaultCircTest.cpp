// The reader panel of the book desk when the reader's data is not what it
// should be: a photo file that cannot be read (damaged, cut short, or
// declaring 65,500 x 65,500 pixels) used to stop the reader from
// borrowing, with libjpeg's English message, or to exhaust memory; a
// suspended reader's deposit and photo stayed on the emptied panel.
#include <gtest/gtest.h>

#include <functional>

#include "CircFixture.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "ExtCtrls.h"
#include "app/uBorrowBill.h"
#include "support/CraftedPictures.h"
#include "support/TestNames.h"

namespace {

class ReaderPanel : public DeskFixture<TFrmBorrowBill> {
protected:
    // Gives reader R1 the photo file holding bytes.
    void Photo(const std::string& name, const std::string& bytes) {
        const std::string file = dir_ + name;
        AtomicWriteFile(file, bytes);
        Exec("update Readerinfo set Photo=" + QuotedStr(file) + " where Code='R1'");
    }
    bool PhotoShown() const { return desk->Image1->Picture()->Graphic() != nullptr; }
};

struct PhotoRow {
    const char* name;
    const char* file;
    std::function<std::string()> bytes;
};

class DamagedPhoto : public ReaderPanel, public ::testing::WithParamInterface<PhotoRow> {};

TEST_P(DamagedPhoto, readerIsShownWithoutItAndBorrows) {
    Photo(GetParam().file, GetParam().bytes());
    script_->ExpectMessage("张三借书成功,本次借出1本！", IDOK, "信息");
    Reader("R1");
    EXPECT_EQ(desk->EditRName->Text(), "张三");
    EXPECT_EQ(desk->EditDepo->Text(), "100");
    EXPECT_FALSE(PhotoShown());
    Scan("B1");
    SendKeyToFocus(desk, VK_F2);
    EXPECT_TRUE(script_->Unused().empty());
    EXPECT_EQ(Count("select count(*) from Borrowinfo where Rcode='R1' and Code='B1' and State='未还'"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedPhoto,
    ::testing::Values(PhotoRow{"notAJpeg", "r1.jpg", [] { return std::string("no picture here"); }},
                      PhotoRow{"cutShort", "r1.jpg",
                               [] {
                                   std::string b = SmallJpeg(64, 64);
                                   return b.substr(0, b.size() / 2);
                               }},
                      PhotoRow{"hugeDeclaredSize", "r1.jpg", [] { return JpegDeclaring(65500, 65500); }},
                      PhotoRow{"notABitmap", "r1.bmp", [] { return std::string("BM and nothing else"); }},
                      PhotoRow{"unknownKind", "r1.gif", [] { return std::string("GIF89a"); }}),
    RowName());

TEST_F(ReaderPanel, aGoodPhotoIsShown) {
    Photo("r1.jpg", SmallJpeg(64, 64));
    Reader("R1");
    EXPECT_TRUE(PhotoShown());
}

// The refusal emptied code, name, type, department and count, but left the
// deposit and the photo of the refused reader on the panel.
TEST_F(ReaderPanel, suspendedReaderLeavesNoDepositOrPhotoBehind) {
    Photo("r1.jpg", SmallJpeg(64, 64));
    Exec("update Readerinfo set Isstop=1 where Code='R1'");
    script_->ExpectMessage("此读者已经被停用!", IDOK, "信息");
    Reader("R1");
    EXPECT_TRUE(script_->Unused().empty());
    for (TEdit* e :
         {desk->EditRCode, desk->EditRName, desk->EditRsort, desk->EditDept, desk->EditBeQty, desk->EditDepo})
        EXPECT_EQ(e->Text(), "") << e->Name();
    EXPECT_FALSE(PhotoShown());
}

} // namespace
