// The per-test library; see CircFixture.h.
#include "CircFixture.h"

#include "ADODB.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

TDateTime Day(int offset) { return TDateTime(EncodeDate(2025, 3, 10).Val + offset); }

void CircFixture::SetUp() {
    // The circulation fixture: two reader types, four readers (one suspended,
    // one with a quote in the code), books and periodicals.
    const std::string rows =
        "INSERT INTO ReaderType(Code,CeQty,LimitDay,RenewTime,IsLimit,CeQty1,LimitDay1,IsLimit1) VALUES"
        " ('学生',3,30,1,1,2,7,0),('教师',10,60,2,0,5,14,0);\n"
        "INSERT INTO Readerinfo(Code,Name,SortCode,Department,DepoSum,Isstop,TelDay,TelNight,HandTel) VALUES"
        " ('R1','张三','学生','中文系',100,0,'010-1','010-2','139'),"
        " ('R2','李四','学生','数学系',50,0,NULL,NULL,NULL),"
        " ('R3','王五','教师','物理系',0,1,NULL,NULL,NULL),"
        " ('R''Q','奥''康纳','教师','外语系',0,0,NULL,NULL,NULL);\n"
        "INSERT INTO Bookinfo(Code,Name,Publisher,SortCode,BookPrice,IsLimit,IsOut) VALUES"
        " ('B1','红楼梦','人民文学','I242',35.5,NULL,NULL),"
        " ('B2','三国演义','人民文学','I242',28,NULL,NULL),"
        " ('B3','水浒传','中华书局','I242',30,NULL,NULL),"
        " ('B4','西游记','中华书局','I242',25,NULL,NULL),"
        " ('B5','史记','中华书局','K204',80,'限制',NULL),"
        " ('B6','旧书','中华书局','K204',10,NULL,'报废'),"
        " ('B''7','引号书','中华书局','K204',12,NULL,NULL);\n"
        "INSERT INTO Magzinfo(Code,Name,Writer,Orderyear,PeriodNo,ZPeriodNo,PeriodSt,BookPrice) VALUES"
        " ('M1','读者','读者杂志社','2025','3','301','',6),"
        " ('M2','收获','收获编辑部','2025','2','202','',12);\n";
    folder_ = std::make_unique<TestProgramFolder>("appcirc", rows);
    dir_ = folder_->dir;
    dbFile_ = folder_->dbFile;
    script_ = std::make_unique<TSeamScript>();
    script_->OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    new TDMData(nullptr);
    ASSERT_TRUE(DMData && DMData->Opened());
    OperatorCode = "admin";
    OperatorName = "管理员";
    BusinessDate = Day(0);
    IfFine = true;
    IfExcced = false;
    PerFine = Currency::FromRaw(2000);  // 0.2
    PerFine1 = Currency::FromRaw(1000); // 0.1
}

void CircFixture::TearDown() {
    ProcessEvents();
    delete DMData;
    script_.reset();
    folder_.reset();
}

TADOConnection* CircFixture::Conn() { return DMData->ADOConnection1; }

void CircFixture::Exec(const std::string& sql) { folder_->Exec(sql); }

std::string CircFixture::Scalar(const std::string& sql) { return folder_->Scalar(sql); }

void CircFixture::Lend(const std::string& table, const std::string& code, const std::string& reader, int dueOffset,
                       int renewTimes) {
    Exec("insert into " + table + "(Code,Rcode,State,BorrowDate,ReturnDate,RenewTimes,Operator) values(" +
         QuotedStr(code) + "," + QuotedStr(reader) + ",'未还','" + DateToStr(Day(dueOffset - 30)) + "','" +
         DateToStr(Day(dueOffset)) + "'," + IntToStr(renewTimes) + ",'x')");
    const bool book = table == "Borrowinfo";
    Exec(std::string("update ") + (book ? "Bookinfo" : "Magzinfo") + " set IsOut='外借' where Code=" + QuotedStr(code));
    Exec(std::string("update Readerinfo set ") + (book ? "BookQty=BookQty+1" : "BookQty1=BookQty1+1") +
         " where Code=" + QuotedStr(reader));
}

void CircFixture::Reserve(const std::string& table, const std::string& code, const std::string& reader, int dayOffset) {
    Exec("insert into " + table + "(Code,Rcode,State,BorrowDate,Operator) values(" + QuotedStr(code) + "," +
         QuotedStr(reader) + ",'预约','" + DateToStr(Day(dayOffset)) + "','x')");
}
