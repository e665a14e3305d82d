// The shipped database as the windows rely on it: the first operator and his
// rights, a layout for every window that looks one up, the defaults the
// circulation statements count on, and the saved queries' joins.
#include "JetSql.h"
#include "TestDb.h"

#include <gtest/gtest.h>

#include "support/TestNames.h"

namespace {

TEST(ShippedDb, carriesTheDatabasePassword) {
    TestDb db;
    EXPECT_EQ(db.rows("select Password from MSysPassword"), std::vector<std::string>{"mopu284617"});
}

TEST(ShippedDb, adminIsSuperUserWithEmptyPasswordAndAllRights) {
    TestDb db;
    EXPECT_EQ(db.one(JetToSqlite("select UseCode,UseName,Duty from SystemUser where Usecode='admin' and (Passwords='' "
                                 "or Isnull(Passwords))")),
              "Admin|管理员|超级用户");
    EXPECT_EQ(
        db.one("select count(*), min(ModuleId), max(ModuleId), sum(Ifcheck) from UserModule where Usecode='Admin'"),
        "35|0|34|35");
}

TEST(ShippedDb, noSettingsRowSoFirstStartInsertsIt) {
    TestDb db;
    EXPECT_EQ(db.one("select count(*) from AcctInfo"), "0");
    db.exec("insert into AcctInfo(CorpName,IfFine,IfExcced,Ifrepeat,PerFine) values('x',0,1,1,0)");
    EXPECT_EQ(db.one("select PerFine1, InDay, Rcardmemo from AcctInfo"), "0.0|30|<null>");
}

// Every window that looks its layout up by component name finds one, with
// visible columns and, for list windows and desks, exactly one key row.
class WindowLayout : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowLayout, hasVisibleColumnsAndOneKey) {
    TestDb db;
    const std::string module = GetParam();
    std::string code = module;
    if (module.rfind("Frm", 0) == 0) {
        code = db.one("select TableCode from ModuleTable where ModuleCode='" + module + "'");
        ASSERT_NE(code, "<none>");
    }
    EXPECT_NE(db.one("select count(*) from TableStructure where TableCode='" + code + "' and IsVisible=1"), "0");
    const bool needsKey = module.rfind("FrmQry", 0) != 0;
    if (needsKey) {
        EXPECT_EQ(db.one("select count(*) from TableStructure where TableCode='" + code + "' and IsKey=1"), "1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowLayout,
    ::testing::Values("FrmBookData", "FrmBookPreData", "FrmBookPubData", "FrmBookShortData", "FrmBookRejectData",
                      "FrmMagzData", "FrmMagzOrderData", "FrmMagzRejectData", "FrmReaderData", "FrmReaderTypeData",
                      "FrmQryBorrow", "FrmQryBorrow1", "FrmQryLent", "FrmQryLent1", "FrmQryOperator", "FrmQryOperator1",
                      "FrmQryBorrowOrder", "FrmQryBorrowOrderq", "FrmQryBorrowOrder1", "FrmQryBorrowOrderq1",
                      "FrmQryDayIn", "FrmQryDayIn1", "FrmQryDayBorrow", "FrmQryDayBorrow1", "FrmQryDayLent",
                      "FrmQryDayLent1", "FrmQryDayReject", "FrmQryDayReject1", "FrmQryBorrowList", "FrmQryBorrowList1",
                      "FrmQryBorrowS", "FrmQryBorrowqS", "FrmQryBookDataS", "FrmQryMagzDataS", "Borrowinfo",
                      "Renewinfo", "Returninfo", "Borrowinfo1", "Returninfo1", "Booksupplier", "Bookattch", "Bookposi",
                      "Bookgrade", "BookLang", "BookPrint", "BookSize", "Readerdept", "ReaderAddr", "BookRemark"),
    [](const auto& info) { return std::string(info.param); });

// A layout's title is found by case-sensitive prefix of the field name in
// layout order, so "Code" must come before "CodeSet", "Remarks" before
// "Remarks1" and so on, or the shorter column takes the longer one's title.
TEST(ShippedDb, noLayoutColumnIsShadowedByAnEarlierLongerName) {
    TestDb db;
    const auto shadowed = db.rows(
        "select a.TableCode, a.ColumnsCode from TableStructure a join TableStructure b on a.TableCode=b.TableCode "
        "and b.TableOrder<a.TableOrder and substr(b.ColumnsCode,1,length(a.ColumnsCode))=a.ColumnsCode collate binary");
    EXPECT_TRUE(shadowed.empty()) << shadowed.front();
}

TEST(ShippedDb, deskBillLayoutNamesTheBillFields) {
    TestDb db;
    EXPECT_EQ(db.rows("select ColumnsCode from TableStructure where TableCode='Returninfo' order by TableOrder"),
              (std::vector<std::string>{"Code", "Name", "Rcode", "State", "BorrowDate", "ReturnDate", "RenewTimes",
                                        "RenewDate", "BookPrice", "Publisher", "SortCode", "ExceedDay", "ExceedFund"}));
}

TEST(ShippedDb, countersStartAtZeroSoIncrementsWork) {
    TestDb db;
    db.exec("insert into Bookinfo(Code) values('B1')");
    db.exec("insert into Readerinfo(Code) values('R1')");
    db.exec("insert into Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,Operator) "
            "values('B1','R1','未还','2024-05-01','2024-05-31','张三')");
    db.exec("update Bookinfo set times=times+1 where Code='B1'");
    db.exec("update Readerinfo set BookQty=BookQty+1,times=times+1 where Code='R1'");
    db.exec("update Borrowinfo set RenewTimes=RenewTimes+1 where Code='B1'");
    EXPECT_EQ(db.one("select Times from Bookinfo"), "1");
    EXPECT_EQ(db.one("select BookQty,Times,Overdue from Readerinfo"), "1|1|0");
    EXPECT_EQ(db.one(JetToSqlite("select RenewTimes, IsPay from Borrowinfo where IsPay=false")), "1|0");
}

TEST(ShippedDb, longTextKeepsDigitsAsText) {
    TestDb db;
    db.exec("insert into Bookinfo(Code,Remarks,Remarks1) values('B1','00123','1e5')");
    EXPECT_EQ(db.one("select typeof(Remarks), Remarks, Remarks1 from Bookinfo"), "text|00123|1e5");
}

TEST(ShippedDb, writeOffWithoutReaderStillListed) {
    TestDb db;
    db.exec("insert into Bookinfo(Code,Name) values('B1','数据库')");
    db.exec("insert into BookReject(Code,RCode,RejectDate,Finesum) values('B1','','2024-05-01',20)");
    db.exec("insert into MagzReject(Code,RejectDate,Finesum) values('M1','2024-05-01',5)");
    EXPECT_EQ(db.one(JetToSqlite("select Code,BName,RName from QryReject where RejectDate=#2024-05-01#")),
              "B1|数据库|<null>");
    EXPECT_EQ(db.one(JetToSqlite("select Code,BName,RName from QryReject1 where RejectDate=#2024-05-01#")),
              "M1|<null>|<null>");
}

TEST(ShippedDb, loanOfDeletedReaderStillListed) {
    TestDb db;
    db.exec("insert into Borrowinfo1(Code,Rcode,State,BorrowDate,ReturnDate) "
            "values('M1','R9','未还','2024-05-01','2024-05-31')");
    EXPECT_EQ(
        db.one(JetToSqlite("select Code,RName,State from QryBorrow1 where State='未还' and ReturnDate<#2024-06-01#")),
        "M1|<null>|未还");
}

TEST(ShippedDb, codeLookupsUseAnIndex) {
    TestDb db;
    const auto plan = db.rows("explain query plan select * from Bookinfo where Code like 'B0%' order by Code limit 20");
    ASSERT_FALSE(plan.empty());
    EXPECT_NE(plan.back().find("INDEX Bookinfo_Code"), std::string::npos) << plan.back();
    EXPECT_NE(db.one("explain query plan select * from Borrowinfo where Code='B1' and State='未还'")
                  .find("INDEX Borrowinfo_Code"),
              std::string::npos);
}

} // namespace
