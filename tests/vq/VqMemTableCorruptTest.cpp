// Damaged files: every cut of a valid file, and files with wrong values,
// must raise EMemTableError with a clear text and leave the table exactly
// as it was (fields, records, position).
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "vq/VqMemTable.h"

namespace {

constexpr TVqMemTableSaveFlags kDefs = mtfSaveData | mtfSaveBlobs | mtfSaveDef | mtfSaveIndexDef;

std::unique_ptr<TVqMemTable> Sample() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Qty", ftInteger);
    t->FieldDefs().Add("Day", ftDate);
    t->FieldDefs().Add("Pic", ftBlob);
    t->IndexDefs().Add("ByCode", "Code", ixUnique);
    t->Open();
    const char* codes[] = {"A\"1", "书2", "C%3"};
    for (int i = 0; i < 3; ++i) {
        t->Append();
        t->FieldByName("Code")->SetAsString(codes[i]);
        t->FieldByName("Qty")->SetAsInteger(i * 1000);
        t->FieldByName("Day")->SetAsDateTime(45000 + i);
        t->FieldByName("Pic")->SetAsString(std::string("\x01\xFE\x00", 3));
        t->Post();
    }
    t->First();
    t->Next();
    return t;
}

// The table's whole visible state.
std::string Snapshot(TVqMemTable& t) {
    const std::string where = t.Active() ? t.FieldByName("Code")->AsString() : "closed";
    return where + "|" + t.SaveToText(kDefs);
}

std::string LoadError(TVqMemTable& t, const std::function<void()>& load) {
    try {
        load();
    } catch (const EMemTableError& e) {
        return e.Message;
    }
    return "";
}

} // namespace

TEST(VqMemTableCorrupt, everyCutOfABinaryFileFailsAndChangesNothing) {
    auto source = Sample();
    const std::string file = source->SaveToBinary(kDefs);
    auto t = Sample();
    const std::string before = Snapshot(*t);
    for (size_t n = 0; n < file.size(); ++n) {
        const std::string cut = file.substr(0, n);
        const std::string err = LoadError(*t, [&] { t->LoadFromBinary(cut); });
        ASSERT_FALSE(err.empty()) << "cut at " << n;
        ASSERT_EQ(Snapshot(*t), before) << "cut at " << n;
    }
    EXPECT_EQ(LoadError(*t, [&] { t->LoadFromBinary(file.substr(0, 20)); }),
              "Binary table file is truncated at byte 20.");
}

TEST(VqMemTableCorrupt, cutTextFileFailsOrLoadsWholeRecordsOnly) {
    auto source = Sample();
    const std::string file = source->SaveToText(kDefs);
    for (size_t n = 0; n < file.size(); ++n) {
        auto t = Sample();
        const std::string before = Snapshot(*t);
        const std::string err = LoadError(*t, [&] { t->LoadFromText(file.substr(0, n)); });
        if (!err.empty()) ASSERT_EQ(Snapshot(*t), before) << "cut at " << n << ": " << err;
    }
}

struct BadTextRow {
    const char* name;
    const char* file;
    const char* message;
};
class VqMemTableBadText : public ::testing::TestWithParam<BadTextRow> {};
TEST_P(VqMemTableBadText, raisesAndChangesNothing) {
    auto t = Sample();
    const std::string before = Snapshot(*t);
    EXPECT_EQ(LoadError(*t, [&] { t->LoadFromText(GetParam().file); }), GetParam().message);
    EXPECT_EQ(Snapshot(*t), before);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, VqMemTableBadText,
    ::testing::Values(
        BadTextRow{"UnknownType",
                   "\"@@TABLEDEF START@@\"\r\n\"A=Text,5,\"\"a\"\",\"\"\"\",5\"\r\n\"@@TABLEDEF END@@\"\r\n",
                   "Unknown field type (Text) in CSV file. (A=Text,5,\"a\",\"\",5)"},
        BadTextRow{"DefinitionsDoNotEnd", "\"@@TABLEDEF START@@\"\r\n\"A=String,5,\"\"a\"\",\"\"\"\",5\"\r\n",
                   "Table definition does not end in CSV file."},
        BadTextRow{"BadSize",
                   "\"@@TABLEDEF START@@\"\r\n\"A=String,x,\"\"a\"\",\"\"\"\",5\"\r\n\"@@TABLEDEF END@@\"\r\n",
                   "'x' is not a valid integer value"},
        BadTextRow{"QuoteDoesNotEnd", "\"Code\",\r\n\"B1\",\"3", "Quoted text does not end in CSV line (\"B1\",\"3)."},
        BadTextRow{"NotANumber", "\"Code\",\"Qty\",\r\n\"Z1\",\"7\",\r\n\"Z2\",\"seven\"",
                   "'seven' is not a valid integer value for field 'Qty'"},
        BadTextRow{"NotADate", "\"Code\",\"Qty\",\"Day\",\r\n\"Z1\",\"7\",\"31/02/2020\"",
                   "'31/02/2020' is not a valid date for field 'Day'"},
        BadTextRow{"BadBlobText", "\"Code\",\"Qty\",\"Day\",\"Pic\",\r\n\"Z1\",,,\"ab\"",
                   "Invalid character in blob text (code 97)."},
        BadTextRow{"DuplicateInUniqueIndex", "\"Code\",\r\n\"Z1\",\r\n\"Z1\"",
                   "Duplicate index value. Operation aborted."}),
    RowName());

struct BadBinaryRow {
    const char* name;
    std::string file;
    const char* message;
};
class VqMemTableBadBinary : public ::testing::TestWithParam<BadBinaryRow> {};
TEST_P(VqMemTableBadBinary, raisesAndChangesNothing) {
    auto t = Sample();
    const std::string before = Snapshot(*t);
    EXPECT_EQ(LoadError(*t, [&] { t->LoadFromBinary(GetParam().file); }), GetParam().message);
    EXPECT_EQ(Snapshot(*t), before);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, VqMemTableBadBinary,
    ::testing::Values(
        BadBinaryRow{"NoSignature", std::string("TPF1\x02\x01", 6), "Binary table file has no TPF0 signature."},
        BadBinaryRow{"UnknownTag", std::string("TPF0\x02\x01\x07", 7),
                     "Binary table file is corrupted: list expected at byte 6."},
        BadBinaryRow{"HugeTextLength", std::string("TPF0\x02\x01\x01\x0C\xFF\xFF\xFF\x7F", 12),
                     "Binary table file is truncated at byte 12."},
        BadBinaryRow{"UnknownFieldType",
                     std::string("TPF0\x02\x01\x01\x06\x01"
                                 "A"
                                 "\x06\x04"
                                 "Text",
                                 16) +
                         std::string("\x02\x00\x06\x00\x06\x00\x02\x00\x08\x08\x00\x01\x00\x01\x00", 15),
                     "Unknown field type (Text)"},
        BadBinaryRow{"TextIntoInteger",
                     std::string("TPF0\x02\x01\x01\x00\x01\x00\x01", 11) + std::string("\x06\x01Z\x06\x01Q\x05", 7) +
                         std::string(10, '\0') + std::string("\x06\x00\x00", 3),
                     "Binary table file does not match field 'Qty' (Integer)."},
        BadBinaryRow{"PartialRecord", std::string("TPF0\x02\x01\x01\x00\x01\x00\x01\x06\x01Z\x00", 15),
                     "Binary table file is corrupted: unexpected value tag 0 at byte 14."}),
    RowName());

// Found by fuzzing: a definition block without field lines closed the table
// and then failed to reopen it.
TEST(VqMemTableCorrupt, definitionBlockWithoutFieldsLeavesTableAsItWas) {
    auto t = Sample();
    const std::string before = Snapshot(*t);
    const std::string err = LoadError(
        *t, [&] { t->LoadFromText("\"@@TABLEDEF START@@\"\r\n\"@@TABLEDEF END@@\"\r\n\"a\",\r\n\"x\",\r\n"); });
    EXPECT_EQ(err, "The table file defines no fields.");
    EXPECT_EQ(Snapshot(*t), before);
}
