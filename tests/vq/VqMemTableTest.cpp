// The in-memory table as a data set: slots, editing, indexes, Locate and the
// master-detail filter. File formats are in VqMemTableFileTest.cpp.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "vq/VqMemTable.h"

namespace {

std::unique_ptr<TVqMemTable> CodeTable() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Qty", ftInteger);
    t->FieldDefs().Add("Price", ftCurrency);
    return t;
}

void Add(TDataSet& t, const std::string& code, const Variant& qty) {
    t.Append();
    t.FieldByName("Code")->SetAsString(code);
    t.FieldByName("Qty")->SetAsVariant(qty);
    t.Post();
}

std::string Codes(TDataSet& t) {
    std::string r;
    t.First();
    while (!t.Eof()) {
        if (!r.empty()) r += ",";
        r += t.FieldByName("Code")->IsNull() ? "-" : t.FieldByName("Code")->AsString();
        t.Next();
    }
    return r;
}

std::string EMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

} // namespace

TEST(VqMemTable, newTableIsEmptyBeforeAnyFetch) {
    auto t = CodeTable();
    t->Open();
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_EQ(t->RecNo(), -1);
    t->First();
    EXPECT_TRUE(t->Bof());
    EXPECT_TRUE(t->Eof());
}

TEST(VqMemTable, deletedSlotIsReusedAndRecordNumbersStayDense) {
    auto t = CodeTable();
    t->Open();
    Add(*t, "A", 1);
    Add(*t, "B", 2);
    const TBookmark c = (Add(*t, "C", 3), t->GetBookmark());
    t->First();
    t->Next();
    const TBookmark b = t->GetBookmark();
    t->Delete();
    Add(*t, "D", 4);
    EXPECT_EQ(t->GetBookmark(), b); // the fourth record took the second's slot
    EXPECT_EQ(Codes(*t), "A,C,D");
    t->First();
    EXPECT_EQ(t->RecNo(), 1);
    t->Next();
    EXPECT_EQ(t->RecNo(), 2);
    t->Next();
    EXPECT_EQ(t->RecNo(), 3);
    t->GotoBookmark(c);
    EXPECT_EQ(t->FieldByName("Code")->AsString(), "C");
}

TEST(VqMemTable, setRecNoMovesOnlyWithinRange) {
    auto t = CodeTable();
    t->Open();
    for (const char* c : {"A", "B", "C"}) Add(*t, c, 1);
    t->SetRecNo(2);
    EXPECT_EQ(t->FieldByName("Code")->AsString(), "B");
    t->SetRecNo(0);
    t->SetRecNo(4);
    EXPECT_EQ(t->RecNo(), 2);
}

TEST(VqMemTable, stringKeepsSizeAndTellsEmptyFromNull) {
    auto t = CodeTable();
    t->Open();
    Add(*t, "12345678901", Null());
    EXPECT_EQ(t->FieldByName("Code")->AsString(), "1234567890");
    EXPECT_TRUE(t->FieldByName("Qty")->IsNull());
    t->Edit();
    t->FieldByName("Code")->SetAsString("");
    t->Post();
    EXPECT_FALSE(t->FieldByName("Code")->IsNull());
}

TEST(VqMemTable, currencyIsExact) {
    auto t = CodeTable();
    t->Open();
    t->Append();
    t->FieldByName("Price")->SetAsCurrency(Currency::FromRaw(123456789));
    t->Post();
    EXPECT_EQ(t->FieldByName("Price")->AsCurrency(), Currency::FromRaw(123456789));
}

TEST(VqMemTable, emptyTableCancelsInsertAndEmpties) {
    auto t = CodeTable();
    t->Open();
    Add(*t, "A", 1);
    t->Append();
    t->EmptyTable();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), 0);
    EXPECT_TRUE(t->Eof());
}

TEST(VqMemTable, uniqueIndexRefusesDuplicateAndLeavesInsertPending) {
    auto t = CodeTable();
    t->IndexDefs().Add("ByCode", "Code", ixUnique);
    t->Open();
    Add(*t, "A", 1);
    t->Append();
    t->FieldByName("Code")->SetAsString("A");
    EXPECT_EQ(EMessage([&] { t->Post(); }), "Duplicate index value. Operation aborted.");
    EXPECT_EQ(t->State(), dsInsert);
    t->FieldByName("Code")->SetAsString("B");
    t->Post();
    EXPECT_EQ(t->RecordCount(), 2);
}

TEST(VqMemTable, descendingIndexPutsNullsLast) {
    auto t = CodeTable();
    t->IndexDefs().Add("Down", "Qty", ixDescending);
    t->IndexDefs().Add("Up", "Qty", 0);
    t->Open();
    Add(*t, "two", 2);
    Add(*t, "none", Null());
    Add(*t, "three", 3);
    Add(*t, "one", 1);
    t->SetIndexName("Down");
    EXPECT_EQ(Codes(*t), "three,two,one,none");
    t->SetIndexName("Up");
    EXPECT_EQ(t->IndexFieldNames(), "Qty");
    EXPECT_EQ(Codes(*t), "none,one,two,three");
    t->SetIndexName("");
    EXPECT_EQ(Codes(*t), "two,none,three,one");
    EXPECT_EQ(EMessage([&] { t->SetIndexName("Nope"); }), "Index Nope does not exist");
}

TEST(VqMemTable, editMovesRecordWithinSortedIndex) {
    auto t = CodeTable();
    t->IndexDefs().Add("Up", "Qty", 0);
    t->Open();
    t->SetIndexName("Up");
    Add(*t, "a", 1);
    Add(*t, "b", 2);
    Add(*t, "c", 3);
    t->First();
    t->Edit();
    t->FieldByName("Qty")->SetAsInteger(10);
    t->Post();
    EXPECT_EQ(t->FieldByName("Code")->AsString(), "a");
    EXPECT_EQ(t->RecNo(), 3);
    EXPECT_EQ(Codes(*t), "b,c,a");
    t->First();
    t->Delete();
    EXPECT_EQ(Codes(*t), "c,a");
}

TEST(VqMemTable, integerKeysFarApartSortByValue) {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Big", ftLargeint);
    t->FieldDefs().Add("Qty", ftInteger);
    t->IndexDefs().Add("Big", "Big", 0);
    t->IndexDefs().Add("Qty", "Qty", 0);
    t->Open();
    auto put = [&](const char* c, long long big, int qty) {
        t->Append();
        t->FieldByName("Code")->SetAsString(c);
        t->FieldByName("Big")->SetAsLargeInt(big);
        t->FieldByName("Qty")->SetAsInteger(qty);
        t->Post();
    };
    put("x", (1LL << 33) + 1, 2147483647);
    put("y", (1LL << 32) + 5, -2147483647 - 1);
    put("z", 7, 0);
    t->SetIndexName("Big");
    EXPECT_EQ(Codes(*t), "z,y,x");
    t->SetIndexName("Qty");
    EXPECT_EQ(Codes(*t), "y,z,x");
}

struct LocateRow {
    const char* name;
    const char* key;
    TLocateOptions options;
    bool useIndex;
    const char* found; // nullptr: not found
};
class VqMemTableLocate : public ::testing::TestWithParam<LocateRow> {};
TEST_P(VqMemTableLocate, findsByTheOptions) {
    const auto& p = GetParam();
    auto t = CodeTable();
    t->IndexDefs().Add("ByCode", "Code", 0);
    t->Open();
    if (p.useIndex) t->SetIndexName("ByCode");
    Add(*t, "zz", 1);
    Add(*t, "ABC", 2);
    Add(*t, "abc", 3);
    Add(*t, "ABD", 4);
    t->Last();
    const bool ok = t->Locate("Code", Variant(std::string(p.key)), p.options);
    EXPECT_EQ(ok, p.found != nullptr);
    if (p.found) EXPECT_EQ(t->FieldByName("Code")->AsString(), p.found);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, VqMemTableLocate,
    ::testing::Values(LocateRow{"ExactScan", "ABC", 0, false, "ABC"}, LocateRow{"ExactIndexed", "abc", 0, true, "abc"},
                      LocateRow{"MissingIndexed", "ABE", 0, true, nullptr},
                      LocateRow{"PartialKey", "AB", loPartialKey, false, "ABC"},
                      LocateRow{"CaseInsensitive", "ABC", loCaseInsensitive, false, "ABC"},
                      LocateRow{"CaseInsensitiveFindsLower", "abd", loCaseInsensitive, true, "ABD"}),
    RowName());

TEST(VqMemTable, locateOnTwoFieldsNeedsAnArray) {
    auto t = CodeTable();
    t->Open();
    Add(*t, "A", 1);
    EXPECT_EQ(EMessage([&] { t->Locate("Code;Qty", Variant(std::string("A"))); }), "More fields than values");
    EXPECT_TRUE(t->Locate("Code;Qty", VarArrayOf({Variant("A"), Variant(1)})));
}

TEST(VqMemTable, detailShowsOnlyTheMastersRecords) {
    TVqMemTable master(nullptr);
    master.FieldDefs().Add("Id", ftInteger);
    master.Open();
    for (int i : {1, 2}) {
        master.Append();
        master.FieldByName("Id")->SetAsInteger(i);
        master.Post();
    }
    TDataSource src(nullptr);
    src.SetDataSet(&master);
    TVqMemTable detail(nullptr);
    detail.FieldDefs().Add("MasterId", ftInteger);
    detail.FieldDefs().Add("Line", ftInteger);
    detail.FieldDefs().Add("Code", ftString, 5);
    detail.IndexDefs().Add("ByMaster", "MasterId;Line", 0);
    detail.SetIndexName("ByMaster");
    detail.Open();
    auto put = [&](int m, int line, const char* c) {
        detail.Append();
        detail.FieldByName("MasterId")->SetAsInteger(m);
        detail.FieldByName("Line")->SetAsInteger(line);
        detail.FieldByName("Code")->SetAsString(c);
        detail.Post();
    };
    put(2, 1, "b1");
    put(1, 2, "a2");
    put(1, 1, "a1");
    detail.SetMasterFields("Id");
    detail.SetMasterSource(&src);
    master.First();
    EXPECT_EQ(Codes(detail), "a1,a2");
    master.Next();
    EXPECT_EQ(Codes(detail), "b1");
    detail.Append();
    detail.FieldByName("Line")->SetAsInteger(2);
    detail.FieldByName("Code")->SetAsString("b2");
    detail.Post();
    EXPECT_EQ(detail.FieldByName("MasterId")->AsInteger(), 2);
    EXPECT_EQ(Codes(detail), "b1,b2");
    detail.SetMasterSource(nullptr);
}

TEST(VqMemTable, masterSourceOnItselfIsRefused) {
    TVqMemTable t(nullptr);
    TDataSource src(nullptr);
    src.SetDataSet(&t);
    EXPECT_EQ(EMessage([&] { t.SetMasterSource(&src); }), "Selfreferencing master/detail relations not allowed.");
}

TEST(VqMemTable, loadFromDataSetCopiesFieldsByName) {
    auto a = CodeTable();
    a->Open();
    Add(*a, "A", 1);
    Add(*a, "B", 2);
    Add(*a, "C", 3);
    TVqMemTable b(nullptr);
    b.FieldDefs().Add("Qty", ftInteger);
    b.FieldDefs().Add("Code", ftString, 10);
    b.Open();
    EXPECT_EQ(b.LoadFromDataSet(a.get(), nullptr, 2), 2);
    EXPECT_EQ(Codes(b), "A,B");
    b.Last();
    EXPECT_EQ(b.FieldByName("Qty")->AsInteger(), 2);
}

TEST(VqMemTable, readOnlyFieldRefusesWrites) {
    auto t = CodeTable();
    t->Open();
    t->FieldByName("Qty")->SetReadOnly(true);
    t->FieldByName("Qty")->SetDisplayLabel("数量");
    t->Append();
    EXPECT_EQ(EMessage([&] { t->FieldByName("Qty")->SetAsInteger(1); }), "Field 数量 is read only");
    t->Cancel();
}

struct TwoFieldRow {
    const char* name;
    TIndexOptions options;
    const char* order;
};
class VqMemTableTwoFieldIndex : public ::testing::TestWithParam<TwoFieldRow> {};
TEST_P(VqMemTableTwoFieldIndex, ordersByTextThenNumberWithNulls) {
    auto t = CodeTable();
    t->IndexDefs().Add("Both", "Code;Qty", GetParam().options);
    t->Open();
    Add(*t, "b", 1);
    Add(*t, "B", 2);
    Add(*t, "a", Null());
    Add(*t, "a", 3);
    t->Append();
    t->FieldByName("Qty")->SetAsInteger(5);
    t->Post();
    Add(*t, "书", 0);
    t->SetIndexName("Both");
    std::string order;
    t->First();
    while (!t->Eof()) {
        order += (t->FieldByName("Code")->IsNull() ? "-" : t->FieldByName("Code")->AsString()) +
                 (t->FieldByName("Qty")->IsNull() ? "-" : t->FieldByName("Qty")->AsString()) + " ";
        t->Next();
    }
    EXPECT_EQ(order, GetParam().order);
}
INSTANTIATE_TEST_SUITE_P(Rows, VqMemTableTwoFieldIndex,
                         ::testing::Values(TwoFieldRow{"Ascending", 0, "-5 a- a3 b1 B2 书0 "},
                                           TwoFieldRow{"Descending", ixDescending, "书0 B2 b1 a3 a- -5 "},
                                           TwoFieldRow{"CaseInsensitive", ixCaseInsensitive, "-5 a- a3 b1 B2 书0 "}),
                         RowName());

TEST(VqMemTable, lookupUsesTheIndexWithoutMoving) {
    auto t = CodeTable();
    t->IndexDefs().Add("ByQty", "Qty", 0);
    t->Open();
    t->SetIndexName("ByQty");
    Add(*t, "A", 5);
    Add(*t, "B", 7);
    t->First();
    EXPECT_EQ(VarToStr(t->Lookup("Qty", Variant(7), "Code")), "B");
    EXPECT_TRUE(VarIsNull(t->Lookup("Qty", Variant(8), "Code")));
    EXPECT_EQ(VarToStr(t->Lookup("Code", Variant("A"), "Qty")), "5");
    EXPECT_EQ(t->FieldByName("Code")->AsString(), "A");
}

TEST(VqMemTable, attachedTableSharesRecordsInItsOwnOrder) {
    auto master = CodeTable();
    master->Open();
    Add(*master, "b", 2);
    Add(*master, "a", 1);
    TVqMemTable view(nullptr);
    view.IndexDefs().Add("ByCode", "Code", 0);
    view.SetAttachedTo(master.get());
    view.Open();
    view.SetIndexName("ByCode");
    EXPECT_EQ(Codes(view), "a,b");
    Add(*master, "c", 3);
    EXPECT_EQ(Codes(view), "a,b,c");
    view.Locate("Code", Variant("a"));
    view.Edit();
    view.FieldByName("Code")->SetAsString("d");
    view.Post();
    EXPECT_EQ(Codes(view), "b,c,d");
    EXPECT_EQ(Codes(*master), "b,d,c");
    master->Last();
    master->Delete();
    EXPECT_EQ(Codes(view), "b,d");
    view.Close();
    EXPECT_EQ(Codes(*master), "b,d");
    master->EmptyTable();
    view.Open();
    EXPECT_EQ(view.RecordCount(), 0);
}

TEST(VqMemTable, attachingToItselfOrToAnAttachmentIsRefused) {
    TVqMemTable a(nullptr), b(nullptr), c(nullptr);
    a.FieldDefs().Add("Code", ftString, 5);
    EXPECT_EQ(EMessage([&] { a.SetAttachedTo(&a); }), "Cant attach memorytable to it self.");
    b.SetAttachedTo(&a);
    EXPECT_EQ(EMessage([&] { c.SetAttachedTo(&b); }), "Cant attach to another table which itself is an attachment.");
}
