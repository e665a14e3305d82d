// The reader, periodical, subscription and write-off lists print their
// reports as a person prints them: the list narrowed by its own search box,
// then 打印 and 报表打印 from the tool bar and OK in the print dialog, through
// the built-in PDF printer into build/test-output/reports/ with its index
// line. The report covers the rows listed, not the table.
#include "CatalogueFixture.h"

#include "ComCtrls.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookRejectData.h"
#include "app/uGlobal.h"
#include "app/uMagzData.h"
#include "app/uMagzOrderData.h"
#include "app/uMagzRejectData.h"
#include "app/uReaderData.h"
#include "support/ReportOutput.h"

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct ListCase {
    const char* name;
    std::function<TMDIBaseData*()> make;
    // The list's search box and what is typed into it before Enter.
    std::function<TEdit*(TMDIBaseData*)> searchBox;
    const char* typed;
    const char* title;
    const char* listed;
    const char* notListed;
};

template <class T>
std::function<TMDIBaseData*()> make() {
    return [] { return new T(nullptr); };
}

template <class T, TEdit* T::*box>
std::function<TEdit*(TMDIBaseData*)> boxOf() {
    return [](TMDIBaseData* f) { return static_cast<T*>(f)->*box; };
}

class ListReportsTest : public CatalogueFixture, public ::testing::WithParamInterface<ListCase> {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        BusinessDate = EncodeDate(2024, 5, 6);
        Exec("insert into Readerinfo (Code, Name, SortCode, RegDate) values ('R001', '张三', '学生', '2024-01-02'), "
             "('R002', '李四', '教师', '2024-01-03')");
        Exec("insert into Magzinfo (Code, Name, Orderyear, PeriodNo, BookPrice, IsNew) values "
             "('M001', '求是', '2024', '1', 12.5, 1), ('M002', '半月谈', '2024', '2', 8, 1)");
        Exec("insert into MagzOrder (Code, Name, PostNo, Pubfreq, BookPrice, RegQty, BookSum) values "
             "('S1', '求是', '2-1', '半月刊', 12.5, 2, 25), ('S2', '半月谈', '2-2', '半月刊', 8, 1, 8)");
        Exec("insert into Bookinfo (Code, Name, IsOut) values ('B001', '红楼梦', '报废'), ('B002', '史记', '报废')");
        Exec("insert into BookReject (Code, RCode, RejectDate, Finesum) values ('B001', 'R001', '2024-05-01', 45), "
             "('B002', 'R002', '2024-05-02', 88)");
        Exec("insert into MagzReject (Code, RCode, RejectDate, Finesum) values ('M001', 'R001', '2024-05-01', 12.5), "
             "('M002', 'R002', '2024-05-02', 8)");
    }
};

TEST_P(ListReportsTest, reportOfTheListedRowsPrintsThroughThePdfPrinter) {
    const ListCase& c = GetParam();
    std::unique_ptr<TMDIBaseData> list(c.make());
    ShowAndActivate(list.get());
    ProcessEvents();
    TEdit* box = c.searchBox(list.get());
    SendText(box, c.typed);
    SendKey(box, VK_RETURN);
    ASSERT_EQ(list->ADOqData->RecordCount(), 1);

    ForceDirectories(dir_ + "report");
    ASSERT_TRUE(CopyFile(std::string(BUILD_DIR) + "/program/report/" + list->ReportFile,
                         dir_ + "report/" + list->ReportFile, false));
    const std::string name = std::string(c.name) + "ListWindow.pdf";
    const std::string pdf = ReportsFolder() + name;
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    script.ExpectForm("TRMPrintDialogForm", mrOk, {}, [](TCustomForm* f) { SendClickTo(f, "BtnOK"); });
    SendClick(list->BtPrint);
    ClickMenuItem("报表打印");
    ASSERT_TRUE(FileExists(pdf)) << pdf;
    IndexReport(name, list->ReportFile, 1, c.title);
    const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find(c.title), std::string::npos) << text;
    EXPECT_NE(text.find(c.listed), std::string::npos) << text;
    EXPECT_EQ(text.find(c.notListed), std::string::npos) << text;
    EXPECT_TRUE(script.Unused().empty());
}

const ListCase kLists[] = {
    {"readers", make<TFrmReaderData>(), boxOf<TFrmReaderData, &TFrmReaderData::Editcode>(), "张", "读者清单", "张三",
     "李四"},
    {"periodicals", make<TFrmMagzData>(), boxOf<TFrmMagzData, &TFrmMagzData::Editcode>(), "半月", "期刊清单",
     "半月谈", "求是"},
    {"subscriptions", make<TFrmMagzOrderData>(), boxOf<TFrmOrderListData, &TFrmOrderListData::Editcode>(), "S1",
     "期刊订阅清单", "求是", "半月谈"},
    {"bookWriteOffs", make<TFrmBookRejectData>(), boxOf<TFrmBookRejectData, &TFrmBookRejectData::EditBook>(), "B002",
     "图书注销清单", "史记", "红楼梦"},
    {"periodicalWriteOffs", make<TFrmMagzRejectData>(), boxOf<TFrmMagzRejectData, &TFrmMagzRejectData::EditReader>(),
     "R001", "期刊注销清单", "求是", "半月谈"},
};
INSTANTIATE_TEST_SUITE_P(Lists, ListReportsTest, ::testing::ValuesIn(kLists), RowName());

} // namespace
