// The sum list engine over a list data set: fixed-point sums, averages and
// counts kept by the data set's events, full walks only where the shape
// changes, two producers on one data set, and the cursor left in place.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "SysUtils.h"
#include "db/ListDataSet.h"
#include "gridlib/data/DBSumLst.h"

namespace {

struct SumFixture : ::testing::Test {
    TComponent owner{nullptr};
    TListDataSet* ds = new TListDataSet(&owner);
    TDBSumList* sums = new TDBSumList(&owner);
    void SetUp() override {
        ds->FieldDefs().Add("Name", ftString, 10);
        ds->FieldDefs().Add("Price", ftFloat);
    }
    void rows(std::initializer_list<Variant> prices) {
        int i = 0;
        for (const Variant& p : prices) ds->AddRow({Variant(Format("R%d", ++i)), p});
        ds->Open();
    }
    TDBSum* add(TGroupOperation op, const std::string& field) {
        TDBSum* s = sums->SumCollection()->Add();
        s->SetGroupOperation(op);
        s->SetFieldName(field);
        return s;
    }
};

TEST_F(SumFixture, sumOfTenthsIsExactFixedPoint) {
    rows({Variant(0.1), Variant(0.2), Variant(0.3)});
    TDBSum* s = add(goSum, "Price");
    sums->SetDataSet(ds);
    EXPECT_EQ(s->SumValue, 6000);
}

TEST_F(SumFixture, averageFollowsEditsToAndFromNull) {
    rows({Variant(10.0), Variant(12.5), Null()});
    TDBSum* avg = add(goAvg, "Price");
    sums->SetDataSet(ds);
    EXPECT_EQ(avg->NotNullCount, 2);
    EXPECT_EQ(avg->SumValue, 112500);
    ds->SetRecNo(2);
    ds->Edit();
    ds->FieldByName("Price")->Clear();
    ds->Post();
    EXPECT_EQ(avg->NotNullCount, 1);
    EXPECT_EQ(avg->SumValue, 100000);
    ds->SetRecNo(3);
    ds->Edit();
    ds->FieldByName("Price")->SetAsFloat(7);
    ds->Post();
    EXPECT_EQ(avg->NotNullCount, 2);
    EXPECT_EQ(avg->SumValue, 85000);
}

TEST_F(SumFixture, countWithoutFieldCountsRecordsWithFieldCountsValues) {
    rows({Variant(1.0), Null(), Variant(3.0)});
    TDBSum* all = add(goCount, "");
    TDBSum* valued = add(goCount, "Price");
    sums->SetDataSet(ds);
    EXPECT_EQ(all->SumValue, 30000);
    EXPECT_EQ(valued->SumValue, 20000);
}

TEST_F(SumFixture, insertWithDefaultValueCountsOnce) {
    rows({Variant(1.0)});
    TDBSum* s = add(goSum, "Price");
    sums->SetDataSet(ds);
    ds->OnNewRecord = [](TDataSet* d) { d->FieldByName("Price")->SetAsFloat(5); };
    ds->Append();
    ds->Post();
    EXPECT_EQ(s->SumValue, 60000);
}

TEST_F(SumFixture, postsAndDeletesDoNoWalk) {
    rows({Variant(1.0), Variant(2.0), Variant(3.0)});
    TDBSum* s = add(goSum, "Price");
    sums->SetDataSet(ds);
    const int walks = sums->Producer()->RecalcCount();
    ds->Edit();
    ds->FieldByName("Price")->SetAsFloat(4);
    ds->Post();
    ds->Delete();
    EXPECT_EQ(sums->Producer()->RecalcCount(), walks);
    EXPECT_EQ(s->SumValue, 50000);
}

TEST_F(SumFixture, deleteCancelledByApplicationLeavesValues) {
    rows({Variant(1.0), Variant(2.0)});
    TDBSum* s = add(goSum, "Price");
    sums->SetDataSet(ds);
    ds->BeforeDelete = [](TDataSet*) { throw EAbort(""); };
    EXPECT_THROW(ds->Delete(), EAbort);
    EXPECT_EQ(s->SumValue, 30000);
}

TEST_F(SumFixture, filterTextAloneDoesNotRecalcFilteredOnDoesAtNextScroll) {
    rows({Variant(1.0), Variant(2.0), Variant(3.0)});
    TDBSum* s = add(goSum, "Price");
    sums->SetDataSet(ds);
    ds->SetFilter("Price > 1");
    ds->First();
    EXPECT_EQ(s->SumValue, 60000);
    ds->SetFiltered(true);
    ds->First();
    EXPECT_EQ(s->SumValue, 50000);
}

TEST_F(SumFixture, recalculationPutsCursorBack) {
    rows({Variant(1.0), Variant(2.0), Variant(3.0), Variant(4.0)});
    add(goSum, "Price");
    sums->SetDataSet(ds);
    ds->SetRecNo(3);
    sums->SetActive(false);
    sums->SetActive(true);
    EXPECT_EQ(ds->RecNo(), 3);
}

// A sum over a field the data set lacks once raised "Field ... not found"
// from AfterPost, after the record was saved.
TEST_F(SumFixture, missingFieldNeverRaisesAfterPost) {
    rows({Variant(1.0)});
    TDBSum* s = add(goSum, "NoSuchField");
    sums->SetDataSet(ds);
    ds->Edit();
    ds->FieldByName("Price")->SetAsFloat(2);
    EXPECT_NO_THROW(ds->Post());
    EXPECT_EQ(s->SumValue, 0);
}

// Two producers on one data set once restored each other's saved handlers:
// whichever went first dropped the other's hook.
TEST_F(SumFixture, twoProducersSurviveEitherGoingFirst) {
    for (bool firstGoesFirst : {true, false}) {
        TComponent local(nullptr);
        auto* d = new TListDataSet(&local);
        d->FieldDefs().Add("Price", ftFloat);
        d->AddRow({Variant(2.0)});
        d->Open();
        int appScrolls = 0;
        d->AfterScroll = [&](TDataSet*) { ++appScrolls; };
        auto* a = new TDBSumList(&local);
        auto* b = new TDBSumList(&local);
        for (TDBSumList* l : {a, b}) {
            TDBSum* s = l->SumCollection()->Add();
            s->SetFieldName("Price");
            l->SetDataSet(d);
        }
        delete (firstGoesFirst ? a : b);
        TDBSumList* left = firstGoesFirst ? b : a;
        d->Edit();
        d->FieldByName("Price")->SetAsFloat(5);
        d->Post();
        EXPECT_EQ(left->SumCollection()->Items(0)->SumValue, 50000) << firstGoesFirst;
        const int before = appScrolls;
        d->First();
        EXPECT_GT(appScrolls, before) << "the application's own handler stays";
        delete left;
        d->Last();
        EXPECT_GT(appScrolls, before + 1);
    }
}

TEST_F(SumFixture, closingClearsAndDeactivatingRestoresHandlers) {
    rows({Variant(1.0)});
    TDBSum* s = add(goSum, "Price");
    int opens = 0;
    ds->AfterOpen = [&](TDataSet*) { ++opens; };
    sums->SetDataSet(ds);
    ds->Close();
    EXPECT_EQ(s->SumValue, 0);
    ds->Open();
    EXPECT_EQ(s->SumValue, 10000);
    EXPECT_EQ(opens, 1);
    sums->SetActive(false);
    ds->Close();
    ds->Open();
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(s->SumValue, 0);
}

TEST_F(SumFixture, dataSetDestroyedFirstLeavesListWithout) {
    rows({Variant(1.0)});
    add(goSum, "Price");
    sums->SetDataSet(ds);
    delete ds;
    ds = nullptr;
    EXPECT_EQ(sums->DataSet(), nullptr);
}

} // namespace
