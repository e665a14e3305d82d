// A scope that fails midway: everything it deleted comes back, the dialog
// says so and stays open with the bar hidden.
#include "AdminFixture.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "app/uClearData.h"

#include <memory>

namespace {

class ClearDataFaultAdminTest : public AdminFixture {};

TEST_F(ClearDataFaultAdminTest, failedStatementRollsBackTheWholeScope) {
    Exec("insert into Borrowinfo (Code, Rcode, State) values ('B1', 'R1', '未还')");
    Exec("insert into Readerinfo (Code, Name, BookQty) values ('R1', '甲', 1)");
    // The second loan table refuses its delete.
    Exec("create trigger refuse before delete on Borrowinfo1 begin select raise(abort, 'refused'); end");
    Exec("insert into Borrowinfo1 (Code, Rcode, State) values ('M1', 'R1', '未还')");
    std::unique_ptr<TFrmClearData> form(new TFrmClearData(nullptr));
    ShowAndActivate(form.get());
    SendClick(form->Radio2);
    script.ExpectMessage("是否确定清理数据", IDOK);
    script.ExpectMessage("清理不成功!", IDOK);
    SendClick(form->BitBtn1);
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo"), "1");
    EXPECT_EQ(Scalar("select BookQty from Readerinfo where Code='R1'"), "1");
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->ProgressBar1->Visible());
}

} // namespace
