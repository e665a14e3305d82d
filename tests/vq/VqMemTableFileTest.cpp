// The in-memory table's files through the table: exact bytes of small saves,
// every field type through both formats, appending versus replacing loads,
// field selection.
#include <gtest/gtest.h>

#include <cstdio>

#include "vq/VqMemTable.h"

namespace {

constexpr TVqMemTableSaveFlags kAll =
    mtfSaveData | mtfSaveCalculated | mtfSaveLookup | mtfSaveNonVisible | mtfSaveBlobs | mtfSaveDef | mtfSaveIndexDef;

std::unique_ptr<TVqMemTable> TwoStrings() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Name", ftString, 10);
    t->Open();
    return t;
}

void Row(TDataSet& t, const Variant& a, const Variant& b) {
    t.Append();
    t.Fields()[0]->SetAsVariant(a);
    t.Fields()[1]->SetAsVariant(b);
    t.Post();
}

// Every type the table stores, with display labels, and one row of values
// and one row of nulls.
std::unique_ptr<TVqMemTable> AllTypes() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    struct D {
        const char* n;
        TFieldType t;
        int size;
    };
    const D defs[] = {{"S", ftString, 8},  {"Si", ftSmallint, 0}, {"I", ftInteger, 0},  {"W", ftWord, 0},
                      {"B", ftBoolean, 0}, {"F", ftFloat, 0},     {"C", ftCurrency, 0}, {"D", ftDate, 0},
                      {"T", ftTime, 0},    {"Dt", ftDateTime, 0}, {"L", ftLargeint, 0}, {"M", ftMemo, 0},
                      {"Bl", ftBlob, 0},   {"A", ftAutoInc, 0}};
    for (const auto& d : defs) t->FieldDefs().Add(d.n, d.t, d.size);
    t->IndexDefs().Add("ByI", "I", ixUnique | ixDescending);
    t->Open();
    for (TField* f : t->Fields()) f->SetDisplayLabel("标签" + f->FieldName());
    t->Append();
    t->FieldByName("S")->SetAsString("书\"%x");
    t->FieldByName("Si")->SetAsInteger(-32768);
    t->FieldByName("I")->SetAsInteger(2147483647);
    t->FieldByName("W")->SetAsInteger(65535);
    t->FieldByName("B")->SetAsBoolean(true);
    t->FieldByName("F")->SetAsFloat(-1.25e-3);
    t->FieldByName("C")->SetAsCurrency(Currency::FromRaw(-123456789));
    t->FieldByName("D")->SetAsDateTime(46000);
    t->FieldByName("T")->SetAsDateTime(0.75);
    t->FieldByName("Dt")->SetAsDateTime(46000.5);
    t->FieldByName("L")->SetAsLargeInt((1LL << 40) + 3);
    t->FieldByName("M")->SetAsString(std::string("l1\r\nl2\0%", 8));
    t->FieldByName("Bl")->SetAsString(std::string("\x00\xFF\x10\x89", 4));
    t->FieldByName("A")->SetAsInteger(5);
    t->Post();
    t->Append();
    t->FieldByName("I")->SetAsInteger(1);
    t->Post();
    return t;
}

std::vector<std::string> Dump(TDataSet& t) {
    std::vector<std::string> r;
    t.First();
    while (!t.Eof()) {
        std::string line;
        for (TField* f : t.Fields())
            line += f->FieldName() + "=" + (f->IsNull() ? std::string("null") : f->AsString()) + "|";
        r.push_back(line);
        t.Next();
    }
    return r;
}

} // namespace

TEST(VqMemTableFile, dataOnlyTextOfTwoRowsIsExact) {
    auto t = TwoStrings();
    Row(*t, "A1", "书");
    Row(*t, "A2", Null());
    EXPECT_EQ(t->SaveToText(mtfSaveData), "\"Code\",\"Name\",\r\n\"A1\",\"\xCA\xE9\",\r\n\"A2\",\r\n");
}

TEST(VqMemTableFile, skipRestLeavesNoCellForUnselectedFields) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("Code", ftString, 10);
    t.FieldDefs().Add("Note", ftMemo);
    t.FieldDefs().Add("Qty", ftInteger);
    t.Open();
    t.Append();
    t.FieldByName("Code")->SetAsString("A");
    t.FieldByName("Note")->SetAsString("n");
    t.FieldByName("Qty")->SetAsInteger(3);
    t.Post();
    EXPECT_EQ(t.SaveToText(mtfSaveData), "\"Code\",\"Note\",\"Qty\",\r\n\"A\",,\"3\"\r\n");
    EXPECT_EQ(t.SaveToText(mtfSaveData | mtfSkipRest), "\"Code\",\"Qty\",\r\n\"A\",\"3\"\r\n");
}

TEST(VqMemTableFile, refusedLastRecordKeepsItsPredecessorsComma) {
    auto t = TwoStrings();
    Row(*t, "A1", "x");
    Row(*t, "A2", "y");
    t->OnSaveRecord = [](TDataSet* ds, bool& accept) { accept = ds->FieldByName("Code")->AsString() != "A2"; };
    EXPECT_EQ(t->SaveToText(mtfSaveData), "\"Code\",\"Name\",\r\n\"A1\",\"x\",\r\n");
}

TEST(VqMemTableFile, textWithLineBreaksZeroAndPercentSurvives) {
    auto t = TwoStrings();
    TVqMemTable m(nullptr);
    m.FieldDefs().Add("Note", ftMemo);
    m.Open();
    m.Append();
    m.FieldByName("Note")->SetAsString(std::string("a\nb\rc\0d%e", 9));
    m.Post();
    const std::string text = m.SaveToText(mtfSaveData | mtfSaveBlobs);
    EXPECT_EQ(text, "\"Note\",\r\n\"a%nb%cc%0d%%e\"\r\n");
    m.EmptyTable();
    m.LoadFromText(text);
    ASSERT_EQ(m.RecordCount(), 1);
    EXPECT_EQ(m.FieldByName("Note")->AsString(), std::string("a\nb\rc\0d%e", 9));
}

TEST(VqMemTableFile, dataOnlyLoadAppendsAndDefinitionLoadReplaces) {
    auto t = TwoStrings();
    Row(*t, "A1", "x");
    t->LoadFromText("\"Code\",\"Name\",\r\n\"B1\",\"y\"\r\n");
    EXPECT_EQ(t->RecordCount(), 2);
    TVqMemTable other(nullptr);
    other.FieldDefs().Add("Id", ftInteger);
    other.Open();
    other.Append();
    other.FieldByName("Id")->SetAsInteger(9);
    other.Post();
    const std::string withDefs = other.SaveToText(mtfSaveData | mtfSaveDef);
    t->LoadFromText(withDefs);
    ASSERT_EQ(t->FieldCount(), 1);
    EXPECT_EQ(t->Fields()[0]->FieldName(), "Id");
    ASSERT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 9);
}

TEST(VqMemTableFile, everyTypeRoundTripsThroughText) {
    auto t = AllTypes();
    const auto before = Dump(*t);
    const std::string text = t->SaveToText(kAll);
    TVqMemTable back(nullptr);
    back.LoadFromText(text);
    EXPECT_EQ(Dump(back), before);
    EXPECT_EQ(back.FieldByName("S")->DisplayLabel(), "标签S");
    EXPECT_EQ(back.IndexDefs().Count(), 1);
    back.SetIndexName("ByI");
    back.First();
    EXPECT_EQ(back.FieldByName("I")->AsInteger(), 2147483647);
    EXPECT_EQ(back.SaveToText(kAll), text);
}

TEST(VqMemTableFile, everyTypeRoundTripsThroughBinaryWithNullsAsZero) {
    auto t = AllTypes();
    const std::string bin = t->SaveToBinary(kAll);
    EXPECT_EQ(bin.substr(0, 7), std::string("TPF0\x03\xC8\x00", 7));
    TVqMemTable back(nullptr);
    back.LoadFromBinary(bin);
    ASSERT_EQ(back.FieldCount(), t->FieldCount());
    EXPECT_EQ(back.FieldByName("Bl")->DisplayLabel(), "标签Bl");
    const auto rows = Dump(back);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], Dump(*t)[0]);
    // Null numbers and texts come back as zero and empty; null dates stay null.
    back.Last();
    EXPECT_EQ(back.FieldByName("Si")->AsInteger(), 0);
    EXPECT_FALSE(back.FieldByName("S")->IsNull());
    EXPECT_EQ(back.FieldByName("S")->AsString(), "");
    EXPECT_TRUE(back.FieldByName("D")->IsNull());
    EXPECT_TRUE(back.FieldByName("Dt")->IsNull());
    EXPECT_EQ(back.SaveToBinary(kAll).size(), bin.size());
}

TEST(VqMemTableFile, dateOfDayZeroComesBackNullFromBinary) {
    TVqMemTable t(nullptr);
    t.FieldDefs().Add("D", ftDate);
    t.Open();
    t.Append();
    t.FieldByName("D")->SetAsDateTime(0);
    t.Post();
    const std::string bin = t.SaveToBinary(mtfSaveData);
    EXPECT_EQ(bin, std::string("TPF0\x03\xC8\x00\x01\x00\x01\x00\x01\x05", 13) + std::string(10, '\0') +
                       std::string("\x00", 1));
    t.LoadFromBinary(bin);
    t.Last();
    EXPECT_TRUE(t.FieldByName("D")->IsNull());
}

TEST(VqMemTableFile, filesOnDiskRoundTrip) {
    auto t = AllTypes();
    const std::string txt = std::string(BUILD_DIR) + "/vqmem_file_test.txt";
    const std::string bin = std::string(BUILD_DIR) + "/vqmem_file_test.bin";
    t->SaveToFile(txt, kAll);
    t->SaveToBinaryFile(bin, kAll);
    TVqMemTable a(nullptr), b(nullptr);
    a.LoadFromFile(txt);
    b.LoadFromBinaryFile(bin);
    EXPECT_EQ(Dump(a), Dump(*t));
    EXPECT_EQ(Dump(a)[0], Dump(b)[0]);
    std::remove(txt.c_str());
    std::remove(bin.c_str());
}

TEST(VqMemTableFile, loadEventsSeeEachFieldAndMayRefuseRecords) {
    auto t = TwoStrings();
    t->FieldByName("Name")->SetReadOnly(true);
    std::vector<std::string> seen;
    t->OnLoadField = [&](TDataSet*, int pos, TField* f) { seen.push_back(std::to_string(pos) + ":" + f->AsString()); };
    t->OnLoadRecord = [](TDataSet* ds, bool& accept) { accept = ds->FieldByName("Code")->AsString() != "skip"; };
    t->LoadFromText("\"Code\",\"Name\",\r\n\"A1\",\"x\",\r\n\"skip\",\"y\",\r\n\"A3\",\"z\"");
    EXPECT_EQ(seen, (std::vector<std::string>{"0:A1", "1:x", "0:skip", "1:y", "0:A3", "1:z"}));
    ASSERT_EQ(t->RecordCount(), 2);
    t->Last();
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "z");
    EXPECT_TRUE(t->FieldByName("Name")->ReadOnly());
}

TEST(VqMemTableFile, persistentTableReadsOnOpenAndWritesOnClose) {
    const std::string path = std::string(BUILD_DIR) + "/vqmem_persistent.bin";
    std::remove(path.c_str());
    {
        TVqMemTable t(nullptr);
        t.FieldDefs().Add("Code", ftString, 10);
        t.SetPersistent(true);
        t.PersistentFile = path;
        t.Open();
        t.Append();
        t.FieldByName("Code")->SetAsString("kept");
        t.Post();
        t.Close();
    }
    TVqMemTable u(nullptr);
    u.FieldDefs().Add("Code", ftString, 10);
    u.SetPersistent(true);
    u.PersistentFile = path;
    u.Open();
    ASSERT_EQ(u.RecordCount(), 1);
    EXPECT_EQ(u.FieldByName("Code")->AsString(), "kept");
    u.SetPersistent(false);
    std::remove(path.c_str());
}

TEST(VqMemTableFile, compressionEventsWrapTheWholeStream) {
    auto t = TwoStrings();
    Row(*t, "A1", "x");
    // A reversible stand-in for compression: every byte inverted.
    auto invert = [](TStream* from, TStream* to) {
        char c;
        while (from->Read(&c, 1) == 1) {
            c = char(~c);
            to->WriteBuffer(&c, 1);
        }
    };
    t->OnCompressSave = invert;
    t->OnDecompressLoad = invert;
    TMemoryStream m;
    t->SaveToStream(&m, mtfSaveData);
    const std::string head(m.Memory(), 2);
    EXPECT_EQ(head, std::string({char(~'"'), char(~'C')}));
    m.SetPosition(0);
    t->LoadFromStream(&m);
    EXPECT_EQ(t->RecordCount(), 2);
    t->Last();
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "x");
}

TEST(VqMemTableFile, failedSaveLeavesThePreviousFileWhole) {
    const std::string path = std::string(BUILD_DIR) + "/vqmem_failed_save.txt";
    auto t = TwoStrings();
    Row(*t, "A1", "x");
    t->SaveToFile(path, mtfSaveData);
    t->OnSaveRecord = [](TDataSet*, bool&) { throw EMemTableError("stop"); };
    EXPECT_THROW(t->SaveToFile(path, mtfSaveData), EMemTableError);
    TVqMemTable u(nullptr);
    u.FieldDefs().Add("Code", ftString, 10);
    u.FieldDefs().Add("Name", ftString, 10);
    u.LoadFromFile(path);
    EXPECT_EQ(u.RecordCount(), 1);
    std::remove(path.c_str());
}
