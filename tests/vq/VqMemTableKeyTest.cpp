// Key searches of the in-memory table (SetKey/EditKey, GotoKey, GotoNearest,
// FindKey, FindNearest) on the current index.
#include <gtest/gtest.h>

#include "vq/VqMemTable.h"

namespace {

// Rows (Code, Line) added out of order so that only the index orders them.
std::unique_ptr<TVqMemTable> LineTable(TIndexOptions options = 0) {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Line", ftInteger);
    t->IndexDefs().Add("ByCodeLine", "Code;Line", options);
    t->Open();
    const std::pair<const char*, int> rows[] = {{"C", 1}, {"A", 2}, {"E", 1}, {"A", 1}, {"C", 2}};
    for (const auto& [code, line] : rows) {
        t->Append();
        t->FieldByName("Code")->SetAsString(code);
        t->FieldByName("Line")->SetAsInteger(line);
        t->Post();
    }
    t->SetIndexName("ByCodeLine");
    return t;
}

std::string Here(TDataSet& t) {
    return t.FieldByName("Code")->AsString() + std::to_string(t.FieldByName("Line")->AsInteger());
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

TEST(VqMemTableKey, findKeyAndFindNearest) {
    struct Case {
        std::vector<Variant> key;
        bool found;        // FindKey's result
        std::string atKey; // the record after FindKey
        std::string atNearest;
    };
    // The cursor starts on the last record (E1) each time, so a miss shows
    // as no move.
    const Case cases[] = {
        {{Variant("C")}, true, "C1", "C1"},
        {{Variant("C"), Variant(2)}, true, "C2", "C2"},
        {{Variant("A"), Variant(2)}, true, "A2", "A2"},
        {{Variant("B")}, false, "E1", "C1"},
        {{Variant("C"), Variant(3)}, false, "E1", "E1"},
        {{Variant("Z")}, false, "E1", "E1"},
        {{Variant("")}, false, "E1", "A1"},
    };
    auto t = LineTable();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key[0].AsString() + "/" + std::to_string(c.key.size()));
        t->Last();
        EXPECT_EQ(t->FindKey(c.key), c.found);
        EXPECT_EQ(Here(*t), c.atKey);
        EXPECT_EQ(t->State(), dsBrowse);
        t->Last();
        t->FindNearest(c.key);
        EXPECT_EQ(Here(*t), c.atNearest);
    }
}

TEST(VqMemTableKey, setKeyFillsTheKeyBufferAndEditKeyKeepsIt) {
    auto t = LineTable();
    t->Last();
    t->SetKey();
    EXPECT_EQ(t->State(), dsSetKey);
    t->FieldByName("Code")->SetAsString("A");
    t->FieldByName("Line")->SetAsInteger(2);
    // Reads in dsSetKey show the key, not the record.
    EXPECT_EQ(Here(*t), "A2");
    EXPECT_TRUE(t->GotoKey());
    EXPECT_EQ(Here(*t), "A2");

    t->EditKey();
    EXPECT_EQ(Here(*t), "A2");
    t->FieldByName("Line")->SetAsInteger(1);
    EXPECT_TRUE(t->GotoKey());
    EXPECT_EQ(Here(*t), "A1");

    t->SetKey();
    EXPECT_TRUE(t->FieldByName("Code")->IsNull());
    t->FieldByName("Code")->SetAsString("E");
    EXPECT_TRUE(t->GotoKey());
    EXPECT_EQ(Here(*t), "E1");

    // Cancel leaves dsSetKey without searching.
    t->SetKey();
    t->FieldByName("Code")->SetAsString("A");
    t->Cancel();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(Here(*t), "E1");
}

TEST(VqMemTableKey, keyFieldCountLimitsTheComparedFields) {
    struct Case {
        int keyFieldCount;
        bool found;
        std::string at;
    };
    // Key (C, 9): only the first field matches anything.
    const Case cases[] = {{0, false, "E1"}, {1, true, "C1"}, {2, false, "E1"}, {5, false, "E1"}};
    auto t = LineTable();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyFieldCount);
        t->Last();
        t->SetKey();
        t->FieldByName("Code")->SetAsString("C");
        t->FieldByName("Line")->SetAsInteger(9);
        t->KeyFieldCount = c.keyFieldCount;
        EXPECT_EQ(t->GotoKey(), c.found);
        EXPECT_EQ(Here(*t), c.at);
    }
}

TEST(VqMemTableKey, descendingAndCaseInsensitiveIndexes) {
    struct Case {
        TIndexOptions options;
        const char* key;
        bool found;
        std::string at;
        std::string nearest;
    };
    const Case cases[] = {
        {ixDescending, "C", true, "C2", "C2"},
        {ixDescending, "B", false, "A1", "A2"},
        {ixDescending, "0", false, "A1", "A1"},
        {ixCaseInsensitive, "c", true, "C1", "C1"},
        // The locale's order puts "c" just before "C".
        {0, "c", false, "E1", "C1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto t = LineTable(c.options);
        t->Last();
        EXPECT_EQ(t->FindKey({Variant(c.key)}), c.found);
        EXPECT_EQ(Here(*t), c.at);
        t->Last();
        t->FindNearest({Variant(c.key)});
        EXPECT_EQ(Here(*t), c.nearest);
    }
}

TEST(VqMemTableKey, recordsHiddenByTheFilterAreSkipped) {
    auto t = LineTable();
    t->OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("Line")->AsInteger() != 1; };
    t->SetFiltered(true);
    t->First();
    EXPECT_TRUE(t->FindKey({Variant("C")}));
    EXPECT_EQ(Here(*t), "C2");
    EXPECT_FALSE(t->FindKey({Variant("E")}));
    EXPECT_EQ(Here(*t), "C2");
    t->FindNearest({Variant("D")});
    EXPECT_EQ(Here(*t), "C2"); // E1 is hidden: the last presented record
}

TEST(VqMemTableKey, rowOrderHasNoKey) {
    auto t = LineTable();
    t->SetIndexName("");
    EXPECT_EQ(EMessage([&] { t->FindKey({Variant("A")}); }), "No index currently active");
    EXPECT_EQ(t->State(), dsBrowse);
}
