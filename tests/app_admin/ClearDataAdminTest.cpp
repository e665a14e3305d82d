// Data clearing through the real dialog: the question before anything is
// deleted, each scope's statements, the counters the loans-only scope
// resets, and a failure that leaves everything as it was.
#include "AdminFixture.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uClearData.h"
#include "app/uGlobal.h"

#include <memory>

namespace {

class ClearDataAdminTest : public AdminFixture {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        BusinessDate = EncodeDate(2011, 5, 15);
        Exec("insert into Readerinfo (Code, Name, BookQty, BookQty1) values ('R1', '甲', 2, 1)");
        Exec("insert into Bookinfo (Code, Name, IsOut, Borrowman) values ('B1', '书一', '外借', '甲')");
        Exec("insert into Bookinfo (Code, Name, IsOut) values ('B2', '书二', '报废')");
        Exec("insert into Magzinfo (Code, Name, IsOut, Borrowman) values ('M1', '刊一', '外借', '甲')");
        Exec("insert into Borrowinfo (Code, Rcode, State, ReturnDate) values "
             "('B1', 'R1', '未还', '2011-04-10'), ('B3', 'R1', '已还', '2011-03-31'), "
             "('B4', 'R1', '已还', '2011-04-01'), ('B5', 'R1', '已还', '2011-04-30'), "
             "('B6', 'R1', '已还', '2011-05-01'), ('B7', 'R1', '预约', '2011-04-10')");
        Exec("insert into Borrowinfo1 (Code, Rcode, State, ReturnDate) values "
             "('M1', 'R1', '未还', '2011-04-10'), ('M2', 'R1', '已还', '2011-04-20')");
        form.reset(new TFrmClearData(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    void TearDown() override {
        form.reset();
        AdminFixture::TearDown();
    }
    std::unique_ptr<TFrmClearData> form;
};

TEST(ClearDates, startOnTheLastDayOfThePreviousMonthAndThirtyDaysBefore) {
    TDateTime from, to;
    DefaultClearDates(EncodeDate(2011, 5, 15), from, to);
    EXPECT_EQ(to, EncodeDate(2011, 4, 30));
    EXPECT_EQ(from, EncodeDate(2011, 3, 31));
}

TEST_F(ClearDataAdminTest, returnedLoansOfTheRangeGoBothEndsIncluded) {
    EXPECT_EQ(form->DateFrom->Date(), EncodeDate(2011, 3, 31));
    EXPECT_EQ(form->DateTo->Date(), EncodeDate(2011, 4, 30));
    form->DateFrom->SetDate(EncodeDate(2011, 4, 1));
    script.ExpectMessage("是否确定清理数据", IDOK);
    script.ExpectMessage("清理成功!", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Rows("select Code from Borrowinfo order by Code"), (std::vector<std::string>{"B1", "B3", "B6", "B7"}));
    EXPECT_EQ(Rows("select Code from Borrowinfo1 order by Code"), (std::vector<std::string>{"M1"}));
    EXPECT_FALSE(form->Visible());
}

TEST_F(ClearDataAdminTest, cancelledQuestionDeletesNothing) {
    const std::string books = Scalar("select count(*) from Bookinfo");
    SendClick(form->Radio1);
    script.ExpectMessage("是否确定清理数据", IDCANCEL);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo"), "6");
    EXPECT_EQ(Scalar("select count(*) from Bookinfo"), books);
    EXPECT_EQ(Scalar("select count(*) from Readerinfo where Code='R1'"), "1");
    EXPECT_TRUE(form->Visible());
}

TEST_F(ClearDataAdminTest, allLoansScopeResetsReaderCountersAndBorrowers) {
    SendClick(form->Radio2);
    script.ExpectMessage("是否确定清理数据", IDOK);
    script.ExpectMessage("清理成功!", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo"), "0");
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo1"), "0");
    EXPECT_EQ(Rows("select BookQty, BookQty1 from Readerinfo where Code='R1'"), (std::vector<std::string>{"0|0"}));
    EXPECT_EQ(Rows("select Code, IsOut, Borrowman from Bookinfo where Code in ('B1','B2') order by Code"),
              (std::vector<std::string>{"B1||", "B2|报废|"}));
    EXPECT_EQ(Rows("select IsOut, Borrowman from Magzinfo where Code='M1'"), (std::vector<std::string>{"|"}));
}

TEST_F(ClearDataAdminTest, everythingScopeKeepsClassesPublishersAndPreCatalogue) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values ('000000', '00', 'A', '甲')");
    const std::string pubs = Scalar("select count(*) from Bookpub");
    const std::string pre = Scalar("select count(*) from BookinfoPre");
    SendClick(form->Radio1);
    script.ExpectMessage("是否确定清理数据", IDOK);
    script.ExpectMessage("清理成功!", IDOK);
    SendClick(form->BitBtn1);
    for (const char* t : {"Bookinfo", "Magzinfo", "Readerinfo", "ReaderType", "Borrowinfo", "Borrowinfo1"})
        EXPECT_EQ(Scalar(std::string("select count(*) from ") + t), "0") << t;
    EXPECT_EQ(Scalar("select count(*) from Type"), "1");
    EXPECT_EQ(Scalar("select count(*) from Bookpub"), pubs);
    EXPECT_EQ(Scalar("select count(*) from BookinfoPre"), pre);
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='Admin'"), "1");
}

} // namespace
