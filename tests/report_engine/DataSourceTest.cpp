// The data sources bands walk: a table's range (from its first or current
// record, to its last, its current or a count), the table given directly or
// through a data source, details that move with their master, and rows
// given by events.
#include <gtest/gtest.h>

#include <memory>

#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"

namespace {

struct Table {
    TComponent owner{nullptr};
    TListDataSet rows{&owner};
    TRMDBDataSet* rm;
    explicit Table(int n) {
        rows.FieldDefs().Add("No", ftInteger);
        for (int i = 1; i <= n; ++i) rows.AddRow({i});
        rows.Open();
        rm = new TRMDBDataSet(&owner);
        rm->SetName("RMRows");
        rm->SetDataSet(&rows);
    }
    int current() { return rows.FieldByName("No")->AsInteger(); }
    // The records one walk sees, as the page builder drives it.
    std::vector<int> walk() {
        std::vector<int> seen;
        rm->Init();
        for (rm->First(); !rm->Eof(); rm->Next()) seen.push_back(current());
        rm->Exit();
        return seen;
    }
};

TEST(ReportDataSource, rangesOfATable) {
    struct Case {
        const char* what;
        int startAt;
        TRMRangeBegin begin;
        TRMRangeEnd end;
        int count;
        std::vector<int> seen;
    };
    const Case cases[] = {
        {"all", 3, rbFirst, reLast, 0, {1, 2, 3, 4, 5}},
        {"from the current record", 3, rbCurrent, reLast, 0, {3, 4, 5}},
        {"up to the current record", 2, rbFirst, reCurrent, 0, {1, 2}},
        {"the current record alone", 4, rbCurrent, reCurrent, 0, {4}},
        {"three records", 1, rbFirst, reCount, 3, {1, 2, 3}},
        {"a count of none", 1, rbFirst, reCount, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table t(5);
        t.rows.First();
        t.rows.MoveBy(c.startAt - 1);
        t.rm->RangeBegin = c.begin;
        t.rm->RangeEnd = c.end;
        t.rm->RangeEndCount = c.count;
        EXPECT_EQ(t.walk(), c.seen);
        EXPECT_EQ(t.current(), c.startAt); // the list stays where it stood
    }
}

TEST(ReportDataSource, tableGivenDirectlyOrThroughADataSource) {
    Table t(2);
    TDataSource src(&t.owner);
    src.SetDataSet(&t.rows);
    t.rm->SetDataSource(&src);
    EXPECT_EQ(t.rm->DataSet(), nullptr);
    EXPECT_EQ(t.rm->GetSourceDataSet(), &t.rows);
    EXPECT_EQ(t.walk(), (std::vector<int>{1, 2}));
    t.rm->SetDataSet(&t.rows);
    EXPECT_EQ(t.rm->DataSource(), nullptr);
    t.rm->SetDataSource(nullptr);
    EXPECT_EQ(t.rm->DataSet(), &t.rows);
    t.rm->SetDataSet(nullptr);
    try {
        t.rm->Init();
        ADD_FAILURE() << "no table, no walk";
    } catch (const EDSError& e) {
        EXPECT_EQ(e.Message, "Unable to open dataset RMRows");
    }
}

TEST(ReportDataSource, tableGoneLeavesNoDanglingLink) {
    Table t(1);
    {
        TListDataSet other(nullptr);
        t.rm->SetDataSet(&other);
    }
    EXPECT_EQ(t.rm->DataSet(), nullptr);
}

// A detail moves with its master, the master's event after it; a counted
// master stops moving its details when its count is reached.
TEST(ReportDataSource, detailsMoveWithTheirMaster) {
    Table master(5), detail(5);
    detail.rm->SetMasterDataset(master.rm);
    detail.rm->SetMasterDataset(master.rm); // once only
    ASSERT_EQ(master.rm->Details().size(), 1u);
    std::vector<int> atEvent;
    master.rm->OnNext = [&] { atEvent.push_back(detail.current()); };
    master.rm->RangeEnd = reCount;
    master.rm->RangeEndCount = 3;
    EXPECT_EQ(master.walk(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(atEvent, (std::vector<int>{2, 3}));
    master.rm->SetMasterDataset(master.rm);
    EXPECT_EQ(master.rm->MasterDataset(), nullptr);
    {
        TRMUserDataset gone(nullptr);
        gone.SetMasterDataset(master.rm);
        EXPECT_EQ(master.rm->Details().size(), 2u);
    }
    EXPECT_EQ(master.rm->Details().size(), 1u);
    auto boss = std::make_unique<TRMUserDataset>(nullptr);
    detail.rm->SetMasterDataset(boss.get());
    EXPECT_TRUE(master.rm->Details().empty());
    boss.reset();
    EXPECT_EQ(detail.rm->MasterDataset(), nullptr);
}

// Rows given by events: without an end test the set ends at once (it would
// never end otherwise), a count ends it, and OnCheckEOF decides.
TEST(ReportDataSource, rowsGivenByEvents) {
    TRMUserDataset plain(nullptr);
    plain.First();
    EXPECT_TRUE(plain.Eof());
    plain.RangeEnd = reCount;
    plain.RangeEndCount = 2;
    int n = 0;
    for (plain.First(); !plain.Eof(); plain.Next()) ++n;
    EXPECT_EQ(n, 2);
    TRMUserDataset decided(nullptr);
    int row = 0;
    decided.OnFirst = [&] { row = 0; };
    decided.OnNext = [&] { ++row; };
    decided.OnCheckEOF = [&](bool& eof) { eof = row >= 4; };
    n = 0;
    for (decided.First(); !decided.Eof(); decided.Next()) ++n;
    EXPECT_EQ(n, 4);
}

// A table's walk asks OnCheckEOF too: it may end the walk early, but a
// table at its end stays at its end whatever the answer.
TEST(ReportDataSource, tableWalkAsksWhetherItEnds) {
    Table t(5);
    t.rm->OnCheckEOF = [&](bool& eof) { eof = t.current() == 3; };
    EXPECT_EQ(t.walk(), (std::vector<int>{1, 2}));
    t.rm->OnCheckEOF = [](bool& eof) { eof = false; };
    EXPECT_EQ(t.walk(), (std::vector<int>{1, 2, 3, 4, 5}));
    t.rm->RangeEnd = reCount;
    t.rm->RangeEndCount = 2;
    EXPECT_EQ(t.walk(), (std::vector<int>{1, 2}));
}

// The data-access helpers: which field kinds are blobs, a blob into a
// string list or a stream (rewound), and one record under two bookmarks.
TEST(ReportDataSource, blobFieldsAndRecordIdentity) {
    TListDataSet rows(nullptr);
    const TFieldType kinds[] = {ftString, ftInteger, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftTypedBinary, ftBytes};
    const bool blob[] = {false, false, true, true, true, true, true, false};
    for (size_t i = 0; i < std::size(kinds); ++i)
        rows.FieldDefs().Add("F" + std::to_string(i), kinds[i], kinds[i] == ftString ? 20 : 0);
    rows.AddRow({std::string("甲"), 1, std::string("\x01\x02"), std::string("第一行\r\n第二行"), std::string(), std::string(),
                 std::string(), std::string()});
    rows.AddRow({std::string("乙"), 2, Variant(), Variant(), Variant(), Variant(), Variant(), Variant()});
    rows.Open();
    for (size_t i = 0; i < std::size(kinds); ++i)
        EXPECT_EQ(RMIsBlob(rows.FieldByName("F" + std::to_string(i))), blob[i]) << i;
    EXPECT_FALSE(RMIsBlob(nullptr));
    TStringList lines;
    RMAssignBlob(rows.FieldByName("F3"), &lines);
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Strings(1), "第二行");
    TMemoryStream s;
    s.WriteBuffer(std::string_view("ab"));
    RMAssignBlob(rows.FieldByName("F2"), s);
    EXPECT_EQ(s.Bytes(), std::string("ab\x01\x02"));
    EXPECT_EQ(s.Position(), 0);
    TBookmark first = rows.GetBookmark();
    rows.Next();
    EXPECT_FALSE(RMIsSameRecord(&rows, first, rows.GetBookmark()));
    rows.Prior();
    EXPECT_TRUE(RMIsSameRecord(&rows, first, rows.GetBookmark()));
}

} // namespace
