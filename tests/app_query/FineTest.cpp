// Fine collection through the real window: a reader loaded with Enter, a
// loan picked with a double-click, days deducted, the payment written to
// exactly that loan with the messages and the running total; and the
// refusals (nothing picked, a rate of 0, more deducted than due, the loan
// of a reader no longer loaded). The amounts as plain rules first.
#include "QueryFixture.h"

#include "Buttons.h"
#include "DB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/FineCollection.h"
#include "app/uGlobal.h"
#include "app/uReaderfine.h"
#include "app/uReaderfine1.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"

#include <memory>

namespace {

struct AmountRow {
    const char* name;
    int overdue, deducted;
    Currency perDay, due, real;
    const char* refusal;
};
void PrintTo(const AmountRow& r, std::ostream* os) { *os << r.name; }

class FineAmountCases : public ::testing::TestWithParam<AmountRow> {};

TEST_P(FineAmountCases, dueDeductedAndRefusal) {
    const AmountRow& r = GetParam();
    const TFineAmounts a = FineAmounts(r.overdue, r.deducted, r.perDay);
    EXPECT_EQ(a.Due, r.due);
    EXPECT_EQ(a.Real, r.real);
    EXPECT_EQ(FineRefusal("R1", "B1", a), r.refusal);
}

const Currency half = Currency::FromRaw(5000);
INSTANTIATE_TEST_SUITE_P(Rules, FineAmountCases,
                         ::testing::Values(AmountRow{"sixDaysAtHalf", 6, 0, half, Currency(3), Currency(3), ""},
                                           AmountRow{"twoDaysDeducted", 6, 2, half, Currency(3), Currency(2), ""},
                                           AmountRow{"rateZero", 6, 0, Currency(), Currency(), Currency(),
                                                     "应罚金额不能为空或零！"},
                                           AmountRow{"moreDeductedThanDue", 6, 7, half, Currency(3),
                                                     Currency::FromRaw(-5000), "扣减金额不能大于应罚金额！"}),
                         RowName());

TEST(FineRules, readerAndItemAreAskedForFirst) {
    const TFineAmounts a = FineAmounts(6, 0, half);
    EXPECT_EQ(FineRefusal(" ", "B1", a), "会员卡号必须填写！");
    EXPECT_EQ(FineRefusal("R1", "", a), "书籍编码必须填写！");
}

class FineWindowTest : public QueryFixture {
protected:
    void SetUp() override {
        QueryFixture::SetUp();
        LoanFixture();
        PerFine = half;
        PerFine1 = Currency(1);
        Exec("update Borrowinfo set ExceedDay=6, ExceedFund=3, IsPay=0 where Code='B3'");
        Exec("update Borrowinfo set Rcode='R3' where Code='B2' and State='已还'");
        form.reset(new TFrmReaderFine(Application));
        ShowAndActivate(form.get());
    }
    void TearDown() override {
        form.reset();
        QueryFixture::TearDown();
    }
    void load(const std::string& reader) {
        SendText(form->EditCode, reader);
        SendKey(form->EditCode, VK_RETURN);
    }
    // Double-clicks the grid row of the loan with this item code.
    void pick(const std::string& code) {
        ASSERT_TRUE(form->AdoqFine->Locate("Code", Variant(code), 0));
        TDBGridEh* g = form->DBGridEh1;
        const TRect r = g->CellRect(1 + g->IndicatorOffset(), g->Row());
        SendDoubleClick(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TFrmReaderFine> form;
};

TEST_F(FineWindowTest, unknownReaderIsSaidAndTheBoxEmptied) {
    script.ExpectMessage("没有此读者,请重新输入!", IDOK);
    load("R9");
    EXPECT_EQ(form->EditCode->Text(), "");
}

TEST_F(FineWindowTest, paymentWithDeductedDaysMarksTheLoanAndAddsToTheTotal) {
    load("R3");
    EXPECT_EQ(form->EditName->Text(), "王五");
    EXPECT_EQ(Column(form->AdoqFine, "Code"), (std::vector<std::string>{"B2", "B3"}));
    pick("B3");
    EXPECT_EQ(form->EditBCode->Text(), "B3");
    EXPECT_EQ(form->EditExceedFund->Text(), "3");
    SendText(form->EditMinDay, "2");
    SendKey(form->EditMinDay, VK_RETURN);
    EXPECT_EQ(form->EditMinFund->Text(), "1");
    EXPECT_EQ(form->EditRealFund->Text(), "2");
    script.ExpectMessage("罚款成功!", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(Rows("select IsPay, ExceedFund from Borrowinfo where Code='B3'"), (std::vector<std::string>{"True|2"}));
    EXPECT_EQ(Column(form->AdoqFine, "Code"), (std::vector<std::string>{"B2"}));
    EXPECT_EQ(form->EditTotal->Text(), "2");
    EXPECT_EQ(form->EditBCode->Text(), "");
    // B2: 3 days at 0.5.
    pick("B2");
    script.ExpectMessage("罚款成功!", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(form->EditTotal->Text(), "3.5");
}

TEST_F(FineWindowTest, payingWithoutPickingALoanIsRefused) {
    load("R3");
    script.ExpectMessage("书籍编码必须填写！", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(Scalar("select count(*) from Borrowinfo where IsPay=1"), "0");
}

TEST_F(FineWindowTest, rateOfZeroIsRefused) {
    PerFine = Currency();
    load("R3");
    pick("B3");
    script.ExpectMessage("应罚金额不能为空或零！", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(Rows("select IsPay, ExceedFund from Borrowinfo where Code='B3'"), (std::vector<std::string>{"False|3"}));
}

TEST_F(FineWindowTest, moreDaysDeductedThanOverdueIsRefused) {
    load("R3");
    pick("B3");
    SendText(form->EditMinDay, "9");
    script.ExpectMessage("扣减金额不能大于应罚金额！", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(Rows("select IsPay, ExceedFund from Borrowinfo where Code='B3'"), (std::vector<std::string>{"False|3"}));
}

TEST_F(FineWindowTest, loadingAnotherReaderClearsThePickedLoanAndTheTotal) {
    load("R3");
    pick("B3");
    script.ExpectMessage("罚款成功!", IDOK);
    SendClick(form->BtSave);
    pick("B2");
    form->EditCode->SetText("");
    load("R12");
    EXPECT_EQ(form->EditBCode->Text(), "");
    EXPECT_EQ(form->EditTotal->Text(), "");
    // Nothing of R3's is paid in R12's name.
    script.ExpectMessage("书籍编码必须填写！", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(Rows("select IsPay from Borrowinfo where Code='B2' and State='已还'"), (std::vector<std::string>{"False"}));
}

TEST_F(FineWindowTest, loanPaidMeanwhileReportsFailure) {
    load("R3");
    pick("B3");
    Exec("update Borrowinfo set IsPay=1 where Code='B3'");
    script.ExpectMessage("存盘失败！", IDOK);
    SendClick(form->BtSave);
    EXPECT_EQ(form->EditTotal->Text(), "");
    EXPECT_EQ(form->EditBCode->Text(), "B3");
}

TEST_F(FineWindowTest, screenshot) {
    load("R3");
    pick("B3");
    SaveFormPng(form.get(), std::string(BUILD_DIR) + "/test-output/screens/fine-window.png");
}

TEST_F(QueryFixture, periodicalFinesUseThePeriodicalRateAndShowYearAndIssue) {
    LoanFixture();
    PerFine1 = Currency(1);
    std::unique_ptr<TFrmReaderFine1> w(new TFrmReaderFine1(Application));
    ShowAndActivate(w.get());
    SendText(w->EditCode, "R120");
    SendKey(w->EditCode, VK_RETURN);
    ASSERT_FALSE(w->AdoqFine->IsEmpty());
    TDBGridEh* g = w->DBGridEh1;
    const TRect r = g->CellRect(1 + g->IndicatorOffset(), g->Row());
    SendDoubleClick(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_EQ(w->Edityear->Text(), "2011");
    EXPECT_EQ(w->EditNo->Text(), "3");
    EXPECT_EQ(w->EditExceedFund->Text(), "2");
    script.ExpectMessage("罚款成功!", IDOK);
    SendClick(w->BtSave);
    EXPECT_EQ(Rows("select IsPay, ExceedFund from Borrowinfo1"), (std::vector<std::string>{"True|2"}));
}

} // namespace
