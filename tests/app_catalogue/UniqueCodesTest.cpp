// Item codes unique in the database itself: the shipped schema refuses a
// second copy with a code already stored (in any letter case), and a file
// of an earlier release, whose code index is plain, gets the unique one as
// it opens, unless its items already share codes: then it opens as it is,
// keeps every row, and says which codes to mend, until they are mended.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "app/SchemaUpgrade.h"
#include "app/uDMData.h"

#include <gtest/gtest.h>

namespace {

struct ItemTable {
    const char* name;
    const char* table;
    const char* caption;
};

void PrintTo(const ItemTable& t, std::ostream* os) { *os << t.name; }

const ItemTable kTables[] = {{"books", "Bookinfo", "图书编号"}, {"periodicals", "Magzinfo", "期刊编号"}};

class UniqueCodesTest : public CatalogueFixture, public ::testing::WithParamInterface<ItemTable> {
protected:
    std::string table() const { return GetParam().table; }
    void insert(const std::string& code) {
        dm->ADOConnection1->Execute("insert into " + table() + " (Code, Name) values (?, '书')", {Variant(code)});
    }
    // The file as an earlier release made it: the code index plain.
    void makeIndexPlain() {
        Exec("drop index " + table() + "_Code");
        Exec("create index " + table() + "_Code on " + table() + " (Code)");
    }
    // Closes the program's connection and opens the file again, as the
    // program does at start.
    void reopen() {
        dm.reset();
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
    }
};

TEST_P(UniqueCodesTest, secondCopyWithACodeAlreadyStoredIsRefused) {
    insert("A001");
    for (const char* same : {"A001", "a001"}) EXPECT_THROW(insert(same), EDatabaseError) << same;
    insert("A002");
    // Codes that are not there yet, or none at all, are no conflict.
    Exec("insert into " + table() + " (Code, Name) values (null, 'x'), (null, 'y')");
    EXPECT_EQ(Scalar("select count(*) from " + table()), "4");
}

TEST_P(UniqueCodesTest, olderFileWithoutDuplicatesGetsTheUniqueIndexAsItOpens) {
    dm.reset();
    makeIndexPlain();
    Exec("insert into " + table() + " (Code, Name) values ('A001', '一'), ('A002', '二')");
    reopen();
    EXPECT_TRUE(CodeIsUnique(dm->ADOConnection1, table()));
    EXPECT_THROW(insert("A001"), EDatabaseError);
    EXPECT_EQ(Rows("select Code from " + table() + " order by Code"), (std::vector<std::string>{"A001", "A002"}));
}

TEST_P(UniqueCodesTest, olderFileWithDuplicatesOpensKeepsItsRowsAndSaysWhichCodesUntilMended) {
    dm.reset();
    makeIndexPlain();
    Exec("insert into " + table() +
         " (Code, Name) values ('B7', '一'), ('B7', '二'), ('A1', '三'), ('A1', '四'), ('A1', '五'), ('C1', '六')");
    script.ExpectMessage(std::string("数据库中有重复的编号,请修改后重新进入系统:\n") + GetParam().caption +
                             ": A1(3), B7(2)",
                         IDOK);
    reopen();
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_FALSE(CodeIsUnique(dm->ADOConnection1, table()));
    EXPECT_EQ(Scalar("select count(*) from " + table()), "6");

    // Mended: the next opening makes the index unique without a word.
    Exec("update " + table() + " set Code='B8' where Name='二'");
    Exec("delete from " + table() + " where Name in ('四', '五')");
    reopen();
    EXPECT_TRUE(CodeIsUnique(dm->ADOConnection1, table()));
    EXPECT_THROW(insert("c1"), EDatabaseError);
}

INSTANTIATE_TEST_SUITE_P(Items, UniqueCodesTest, ::testing::ValuesIn(kTables),
                         [](const auto& info) { return std::string(info.param.name); });

// Order lines, subscriptions and readers have their code as the table's
// key since the first schema: a second row with a code already stored, in
// any letter case, is refused by the database itself.
class KeyedCodesTest : public CatalogueFixture, public ::testing::WithParamInterface<ItemTable> {};

TEST_P(KeyedCodesTest, secondRowWithACodeAlreadyStoredIsRefused) {
    const std::string table = GetParam().table;
    auto insert = [&](const std::string& code) {
        dm->ADOConnection1->Execute("insert into " + table + " (Code, Name) values (?, '名')", {Variant(code)});
    };
    insert("K001");
    for (const char* same : {"K001", "k001"}) EXPECT_THROW(insert(same), EDatabaseError) << same;
    insert("K002");
    EXPECT_EQ(Scalar("select count(*) from " + table), "2");
}

const ItemTable kKeyedTables[] = {
    {"bookOrders", "Bookshort", "登记编号"}, {"subscriptions", "MagzOrder", "登记编号"}, {"readers", "Readerinfo", "读者编号"}};
INSTANTIATE_TEST_SUITE_P(Keys, KeyedCodesTest, ::testing::ValuesIn(kKeyedTables),
                         [](const auto& info) { return std::string(info.param.name); });

class IsbnIndexTest : public CatalogueFixture {};

// Copy cataloguing looks copies up by ISBN: an older file gets the indexes
// as it opens, and a lookup uses them.
TEST_F(IsbnIndexTest, olderFileGetsTheIsbnIndexesAsItOpens) {
    dm.reset();
    for (const char* t : {"Bookinfo", "BookinfoPre", "Magzinfo"}) Exec(std::string("drop index ") + t + "_BookIsbn");
    dm.reset(new TDMData(nullptr));
    ASSERT_TRUE(dm->Opened());
    EXPECT_EQ(Rows("select name from sqlite_master where type='index' and name like '%_BookIsbn' order by name"),
              (std::vector<std::string>{"BookinfoPre_BookIsbn", "Bookinfo_BookIsbn", "Bookshort_BookIsbn",
                                        "MagzOrder_BookIsbn", "Magzinfo_BookIsbn"}));
}

TEST(DuplicateCodesMessage, namesAtMostTenCodesOfATableAndCountsTheRest) {
    TDuplicateCodes books{"Bookinfo", {}};
    for (int i = 0; i < 12; ++i) books.Codes.emplace_back("B" + std::to_string(i), 2);
    const TDuplicateCodes magz{"Magzinfo", {{"M1", 4}}};
    EXPECT_EQ(DuplicateCodesMessage({books, magz}),
              "数据库中有重复的编号,请修改后重新进入系统:\n图书编号: B0(2), B1(2), B2(2), B3(2), B4(2), B5(2), B6(2), "
              "B7(2), B8(2), B9(2) 等12个\n期刊编号: M1(4)");
    EXPECT_EQ(DuplicateCodesMessage({{"Bookinfo", {}}}), "");
}

} // namespace
