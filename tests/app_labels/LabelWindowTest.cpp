// The label window through its real controls: the range checks, barcode
// labels from a prefix and a range with repeats, spine labels of the books
// and periodicals in a code range, labels collected again code by code, and
// printing through the built-in PDF printer into
// build/test-output/reports/ (with its index), read back with pdftotext and,
// for the barcodes, pdftoppm and zbarimg as a scanner would.
#include "support/AppDbFixture.h"
#include "support/ReportOutput.h"
#include "support/TestNames.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "app/uPrintBar.h"
#include "Controls_p.h" // the tab bar behind the page control
#include "report/model/RM_Report.h"
#include "vq/VqMemTable.h"

#include <QTabBar>

#include <cstdio>

namespace {

const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

std::string run(const std::string& cmd) { return CommandOutput(cmd); }

// ------------------------------------------------------------ the rules

struct RangeRow {
    const char* name;
    const char* from;
    const char* to;
    const char* error;
};
void PrintTo(const RangeRow& r, std::ostream* os) { *os << r.name; }

class LabelRange : public ::testing::TestWithParam<RangeRow> {};

TEST_P(LabelRange, isCheckedInTheFixedOrder) {
    EXPECT_EQ(LabelRangeError(GetParam().from, GetParam().to), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LabelRange,
    ::testing::Values(RangeRow{"emptyStart", "", "0010", "请输入起始或终止号码！"},
                      RangeRow{"emptyEnd", "0001", "", "请输入起始或终止号码！"},
                      RangeRow{"letter", "00A1", "0010", "号码必须是数字！"},
                      RangeRow{"quote", "0'01", "0010", "号码必须是数字！"},
                      RangeRow{"minus", "0001", "-010", "号码必须是数字！"},
                      RangeRow{"startAboveEnd", "0102", "0098", "起始号码不能大于终止号码！"},
                      RangeRow{"startAboveEndAcrossLengths", "10", "5", "起始号码不能大于终止号码！"},
                      RangeRow{"differentLengths", "5", "10", "起始号码和终止号码长度必须相等！"},
                      RangeRow{"leadingZerosKeepTheWidth", "005", "010", ""},
                      RangeRow{"oneNumber", "0007", "0007", ""},
                      RangeRow{"widerThanAnyInteger", "123456789012345678901", "123456789012345678902", ""}),
    RowName());

TEST(BarcodeLabelCodes, repeatEachNumberAtTheWidthOfTheStart) {
    EXPECT_EQ(BarcodeLabelCodes("A", "0098", "0102", 2),
              (std::vector<std::string>{"A0098", "A0098", "A0099", "A0099", "A0100", "A0100", "A0101", "A0101",
                                        "A0102", "A0102"}));
    EXPECT_EQ(BarcodeLabelCodes("", "099", "101", 1), (std::vector<std::string>{"099", "100", "101"}));
    EXPECT_TRUE(BarcodeLabelCodes("A", "0001", "0100", 0).empty());
    // Past what a 64-bit number holds, still one more each step.
    EXPECT_EQ(BarcodeLabelCodes("", "99999999999999999998", "99999999999999999999", 1),
              (std::vector<std::string>{"99999999999999999998", "99999999999999999999"}));
}

struct CountRow {
    const char* name;
    const char* from;
    const char* to;
    int repeat;
    int64_t count;
};

class LabelCount : public ::testing::TestWithParam<CountRow> {};

TEST_P(LabelCount, isTheNumbersTimesTheRepeatCappedPastTheMost) {
    const CountRow& r = GetParam();
    EXPECT_EQ(BarcodeLabelCount(r.from, r.to, r.repeat), r.count);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LabelCount,
    ::testing::Values(CountRow{"oneNumber", "0007", "0007", 1, 1},
                      CountRow{"repeatsMultiply", "0098", "0102", 2, 10},
                      CountRow{"noRepeatNoLabels", "0001", "9999", 0, 0},
                      CountRow{"carriesAcrossTheSharedDigits", "1099", "1101", 3, 9},
                      CountRow{"justTheMost", "000001", "100000", 1, LabelsMost},
                      CountRow{"repeatsPastTheMost", "000001", "050001", 2, LabelsMost + 1},
                      CountRow{"widerThanAnyInteger", "000000000000000000001", "900000000000000000000", 1,
                               LabelsMost + 1},
                      CountRow{"longCodesCloseTogether", "123456789012345678901", "123456789012345678903", 1, 3}),
    RowName());

// ------------------------------------------------------------ the window

class LabelWindow : public AppDbFixture {
protected:
    LabelWindow() : AppDbFixture("applabels") {}
    void SetUp() override {
        AppDbFixture::SetUp();
        CorpName = "实验中学图书馆";
        // The templates the build made, where the program finds them.
        ForceDirectories(dir_ + "report");
        for (const char* f : {"PrintBar.rmf", "PrintLab.rmf"})
            CopyFile(std::string(BUILD_DIR) + "/program/report/" + f, dir_ + "report/" + f, false);
        Exec("insert into Bookinfo (Code, Name, SortCode, SortNum, CodeSet) values "
             "('0001', '红楼梦', 'I242.4', '12', '上册'), ('0005', '三国演义', 'I242.4', '13', ''), "
             "('00021', '呐喊', 'I210.6', '2', ''), ('0010', '围城', 'I246.5', '7', '下册'), "
             "('0011', '边城', 'I246.5', '8', ''), ('B0003', '家', 'I246.5', '9', '')");
        Exec("insert into Magzinfo (Code, Name, SortCode, SortNum, Orderyear, PeriodNo) values "
             "('0002', '读者', 'Z62', '5', '2026', '12'), ('0003', '收获', 'I21', '1', '2026', '6')");
        form = std::make_unique<TFrmPrintBar>(nullptr);
        ShowAndActivate(form.get());
    }
    void TearDown() override {
        form.reset();
        AppDbFixture::TearDown();
    }

    // Every row of a label table, its fields joined by "|".
    static std::vector<std::string> rows(TDataSet* t) {
        std::vector<std::string> out;
        for (t->First(); !t->Eof(); t->Next()) {
            std::string row;
            for (int i = 0; i < t->FieldCount(); ++i) row += (i ? "|" : "") + t->Fields().Fields(i)->AsString();
            out.push_back(row);
        }
        return out;
    }

    // A click on the tab of page `index`, where it is drawn.
    void clickTab(int index) {
        QWidget* pages = WidgetOf(form->PageControl1);
        auto* bar = pages->findChild<QTabBar*>();
        ASSERT_NE(bar, nullptr);
        SendClickToWidget(bar, bar->tabRect(index).center());
    }

    void range(const std::string& prefix, const std::string& from, const std::string& to) {
        SendText(form->EditFront, prefix);
        SendText(form->EditFrom, from);
        SendText(form->EditTo, to);
    }

    void reprint(const std::string& code) {
        SendText(form->EditCode, code);
        SendKey(form->EditCode, VK_RETURN);
    }

    // Prints through the window's "打印" into the reports folder as name + ".pdf", lists
    // it in the index and returns the PDF's text.
    std::string printToPdf(const std::string& name, int pages, const std::string& firstPageText) {
        const std::string pdf = ReportsFolder() + name + ".pdf";
        remove(pdf.c_str());
        Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
        Printer()->SetFileName(pdf);
        script.ExpectForm("TRMPrintDialogForm", mrOk, {{"CmbPrinters", "PDF"}, {"RbAll", "True"}},
                          [](TCustomForm* dialog) { SendClickTo(dialog, "BtnOK"); });
        SendClick(form->Btprint);
        EXPECT_TRUE(FileExists(pdf)) << pdf;
        IndexReport(name + ".pdf", form->ReportFile, pages, firstPageText);
        return run("pdftotext -layout '" + pdf + "' -");
    }

    // What a scanner reads on the first page of a PDF: symbology:code, one
    // line per barcode.
    static std::string scan(const std::string& pdf) {
        const std::string png = pdf.substr(0, pdf.size() - 4) + "-p1";
        run("pdftoppm -r 300 -f 1 -l 1 -png '" + pdf + "' '" + png + "'");
        return run("zbarimg -q '" + png + "-1.png' 2>/dev/null; zbarimg -q '" + png + "-01.png' 2>/dev/null");
    }

    std::unique_ptr<TFrmPrintBar> form;
};

TEST_F(LabelWindow, opensOnBarcodeLabelsWithOneRepeat) {
    EXPECT_EQ(form->Caption(), "打印条码书标");
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
    EXPECT_EQ(form->ReportFile, "PrintBar.rmf");
    EXPECT_EQ(form->RMDBDataSet1->DataSet(), form->TblBarcode);
    EXPECT_EQ(form->EditQty->Text(), "1");
    EXPECT_TRUE(form->Rb1->Checked());
    EXPECT_FALSE(form->Cbxtype->Visible());
    EXPECT_EQ(form->Cbxtype->Text(), "图书");
}

TEST_F(LabelWindow, rangeWithRepeatsGivesEachNumberInTurn) {
    range("A", "0098", "0102");
    SendKey(form->EditQty, VK_UP);
    EXPECT_EQ(form->EditQty->Text(), "2");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBarcode), (std::vector<std::string>{"A0098", "A0098", "A0099", "A0099", "A0100", "A0100",
                                                                 "A0101", "A0101", "A0102", "A0102"}));
    // The read-only count goes no lower than 0, and 0 makes no labels.
    for (int i = 0; i < 3; ++i) SendKey(form->EditQty, VK_DOWN);
    EXPECT_EQ(form->EditQty->Text(), "0");
    SendClick(form->Btmake);
    EXPECT_TRUE(rows(form->TblBarcode).empty());
}

TEST_F(LabelWindow, refusedRangeSaysWhyAndKeepsTheLabelsMade) {
    range("", "005", "007");
    SendClick(form->Btmake);
    ASSERT_EQ(rows(form->TblBarcode), (std::vector<std::string>{"005", "006", "007"}));
    form->EditFrom->SetText("5");
    form->EditTo->SetText("10");
    script.ExpectMessage("起始号码和终止号码长度必须相等！", IDOK, "信息");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBarcode).size(), 3u);
    EXPECT_TRUE(script.Unused().empty());
}

// Labels are 30 characters at most, as item codes are: a longer one was cut
// and printed a code that belongs to no item.
TEST_F(LabelWindow, codeLongerThanAnItemCodeIsRefusedNotCut) {
    range("LIBRARY-SECOND-FLOOR-", "0000000001", "0000000003");
    script.ExpectMessage("条码长度不能超过30个字符！", IDOK, "信息");
    SendClick(form->Btmake);
    EXPECT_TRUE(rows(form->TblBarcode).empty());
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(LabelWindow, spineLabelsListTheBooksWhoseCodesLieInTheRangeAsText) {
    SendClick(form->Rb2);
    EXPECT_TRUE(form->Cbxtype->Visible());
    EXPECT_EQ(form->ReportFile, "PrintLab.rmf");
    EXPECT_EQ(form->RMDBDataSet1->DataSet(), form->TblBookmark);
    range("X", "0001", "0010");
    SendClick(form->Btmake);
    // "00021" sorts between "0001" and "0010"; "0011" and "B0003" do not.
    EXPECT_EQ(rows(form->TblBookmark), (std::vector<std::string>{"I242.4|12|上册|", "I210.6|2||", "I242.4|13||",
                                                                  "I246.5|7|下册|"}));
}

// Periodicals carry no volume number: the periodical spine labels once
// stopped on the missing column.
TEST_F(LabelWindow, periodicalSpineLabelsLeaveTheVolumeLineEmpty) {
    SendClick(form->Rb2);
    SendKey(form->Cbxtype, VK_DOWN);
    EXPECT_EQ(form->Cbxtype->Text(), "期刊");
    range("", "0001", "0009");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBookmark), (std::vector<std::string>{"Z62|5||", "I21|1||"}));
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages from wherever the keyboard
// is, each page's mode set as by its tab, and typing goes on in the page
// shown.
TEST_F(LabelWindow, ctrlTabTurnsThePagesFromTheKeyboard) {
    SendKey(form->EditTo, VK_TAB, TShiftState() << ssCtrl);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet2);
    EXPECT_FALSE(form->Btmake->Enabled());
    EXPECT_EQ(form->DBGrid1->DataSource()->DataSet(), form->TblBarcode);
    SendTextToFocus(form.get(), "B");
    EXPECT_EQ(form->EditFrontb->Text(), "B");
    // The one-column reprint list lets Tab go on to the buttons (生成 is
    // off on this page) rather than keeping the keyboard.
    SendKey(form->DBGrid1, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), form->Btpreview);
    SendKeyToFocus(form.get(), VK_TAB, TShiftState() << ssCtrl << ssShift);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
    EXPECT_TRUE(form->Btmake->Enabled());
    SendTextToFocus(form.get(), "A");
    EXPECT_EQ(form->EditFront->Text(), "A");
    // Past the last page the first comes again.
    SendKeyToFocus(form.get(), VK_TAB, TShiftState() << ssCtrl);
    SendKeyToFocus(form.get(), VK_TAB, TShiftState() << ssCtrl);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
}

// Alt and a page's letter turn to that page as its tab does (the mode of the
// page's selected radio button, 生成 on or off), with the keyboard in the
// page's first box; a letter of the page already shown changes nothing.
TEST_F(LabelWindow, altLettersTurnThePages) {
    SendText(form->EditFrom, "0001");
    SendKeyToFocus(form.get(), 'B', TShiftState() << ssAlt);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet2);
    EXPECT_FALSE(form->Btmake->Enabled());
    EXPECT_EQ(form->ActiveControl(), form->EditFrontb);
    SendClick(form->Rbb2);
    SendKeyToFocus(form.get(), 'B', TShiftState() << ssAlt);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet2);
    EXPECT_EQ(form->ReportFile, "PrintLab.rmf");

    SendKeyToFocus(form.get(), 'P', TShiftState() << ssAlt);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
    EXPECT_TRUE(form->Btmake->Enabled());
    EXPECT_EQ(form->ActiveControl(), form->EditFront);
    EXPECT_EQ(form->ReportFile, "PrintBar.rmf"); // 条形码 is selected here
    EXPECT_EQ(form->EditFrom->Text(), "0001");
    // A click on a tab leaves the keyboard in that page too.
    clickTab(1);
    EXPECT_EQ(form->ActiveControl(), form->EditFrontb);
    // To look at: the pages' letters underlined in their tabs.
    ForceDirectories(kScreens);
    EXPECT_TRUE(SaveFormPng(form.get(), kScreens + "label-window-pages.png"));
}

TEST_F(LabelWindow, reprintCollectsCodesUntilTheModeChanges) {
    clickTab(1);
    ASSERT_EQ(form->PageControl1->ActivePage(), form->TabSheet2);
    EXPECT_FALSE(form->Btmake->Enabled());
    SendText(form->EditFrontb, "A");
    for (const char* code : {"0101", "0102", "0107"}) reprint(code);
    EXPECT_EQ(form->EditCode->Text(), "");
    SendKey(form->EditCode, VK_RETURN); // nothing typed, nothing added
    EXPECT_EQ(rows(form->TblBarcode), (std::vector<std::string>{"A0101", "A0102", "A0107"}));
    EXPECT_EQ(form->DBGrid1->DataSource()->DataSet(), form->TblBarcode);

    SendClick(form->Rbb2);
    EXPECT_TRUE(form->Cbxtypeb->Visible());
    EXPECT_EQ(form->DBGrid1->DataSource()->DataSet(), form->TblBookmark);
    EXPECT_EQ(form->ReportFile, "PrintLab.rmf");
    for (const char* code : {"0010", "9999", "00'1", "0001"}) reprint(code);
    EXPECT_EQ(rows(form->TblBookmark), (std::vector<std::string>{"I246.5|7|下册|0010", "I242.4|12|上册|0001"}));

    // Back to barcodes: that table starts empty.
    SendClick(form->Rbb1);
    EXPECT_TRUE(rows(form->TblBarcode).empty());
    EXPECT_FALSE(form->Cbxtypeb->Visible());
}

// A slipped digit in "到" asks before it makes thousands of labels, and a
// run no label printer could take is refused outright.
TEST_F(LabelWindow, largeRangeAsksFirstAndAHugeOneIsRefused) {
    range("A", "0001", "1001");
    script.ExpectMessage("将生成1001个标签，是否继续？", IDCANCEL, "询问");
    SendClick(form->Btmake);
    EXPECT_TRUE(rows(form->TblBarcode).empty());
    script.ExpectMessage("将生成1001个标签，是否继续？", IDOK, "询问");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBarcode).size(), 1001u);
    EXPECT_TRUE(script.Unused().empty());

    // A thousand asks nothing.
    SendKey(form->EditTo, 'A', TShiftState() << ssCtrl);
    SendText(form->EditTo, "1000");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBarcode).size(), 1000u);

    SendKey(form->EditFrom, 'A', TShiftState() << ssCtrl);
    SendText(form->EditFrom, "00000001");
    SendKey(form->EditTo, 'A', TShiftState() << ssCtrl);
    SendText(form->EditTo, "99999999");
    script.ExpectMessage("一次最多生成100000个标签，请缩小号码范围！", IDOK, "信息");
    SendClick(form->Btmake);
    EXPECT_EQ(rows(form->TblBarcode).size(), 1000u);
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(LabelWindow, enterOnThePrintPageAddsNoLabel) {
    SendKey(form->EditFrom, VK_RETURN);
    SendKey(form->EditFront, VK_RETURN);
    EXPECT_TRUE(rows(form->TblBarcode).empty());
    EXPECT_TRUE(form->Visible());
}

// The page switch takes the mode its page's radio button shows: what
// prints is what the operator sees selected.
TEST_F(LabelWindow, pageSwitchFollowsTheSelectedRadioButton) {
    clickTab(1);
    SendClick(form->Rbb2);
    clickTab(0);
    EXPECT_TRUE(form->Rb1->Checked());
    EXPECT_EQ(form->ReportFile, "PrintBar.rmf");
    EXPECT_EQ(form->RMDBDataSet1->DataSet(), form->TblBarcode);
    EXPECT_TRUE(form->Btmake->Enabled());
    clickTab(1);
    EXPECT_EQ(form->ReportFile, "PrintLab.rmf");
    EXPECT_EQ(form->DBGrid1->DataSource()->DataSet(), form->TblBookmark);
    reprint("0005");
    clickTab(0);
    SendClick(form->Rb2);
    clickTab(1);
    // Entering the page starts its table afresh.
    EXPECT_TRUE(rows(form->TblBookmark).empty());
}

TEST_F(LabelWindow, barcodeLabelsPrintToPdfAndScanBackToTheirCodes) {
    range("A", "0098", "0102");
    SendKey(form->EditQty, VK_UP);
    SendClick(form->Btmake);
    const std::string text = printToPdf("labelWindowBarcodes", 1, "实验中学图书馆");
    EXPECT_NE(text.find("实验中学图书馆"), std::string::npos) << text;
    // The scanner reports each code once however often it is printed; the
    // text under the bars shows the repeats.
    const std::string codes = scan(ReportsFolder() + "labelWindowBarcodes.pdf");
    for (const char* code : {"A0098", "A0099", "A0100", "A0101", "A0102"}) {
        EXPECT_NE(codes.find(std::string("CODE-39:") + code + "\n"), std::string::npos) << code << "\n" << codes;
        size_t printed = 0;
        for (size_t at = text.find(code); at != std::string::npos; at = text.find(code, at + 1)) ++printed;
        EXPECT_EQ(printed, 2u) << code << "\n" << text;
    }
}

TEST_F(LabelWindow, spineLabelsPrintTheCallNumbers) {
    SendClick(form->Rb2);
    range("", "0001", "0010");
    SendClick(form->Btmake);
    const std::string text = printToPdf("labelWindowSpines", 1, "I242.4");
    for (const char* t : {"I242.4", "I210.6", "I246.5", "上册", "下册", "实验中学图书馆"})
        EXPECT_NE(text.find(t), std::string::npos) << t << "\n" << text;
}

TEST_F(LabelWindow, previewShowsTheLabelPage) {
    range("A", "0098", "0125");
    SendClick(form->Btmake);
    int pages = 0;
    script.ExpectForm("TRMPreviewForm", mrOk, {}, [&](TCustomForm* preview) {
        ProcessEvents();
        ForceDirectories(kScreens);
        EXPECT_TRUE(SaveFormPng(preview, kScreens + "label-page-preview.png"));
        pages = form->RMReport1->EMFPages.Count();
    });
    SendClick(form->Btpreview);
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(LabelWindow, missingTemplateSaysWhichFile) {
    remove((dir_ + "report/PrintLab.rmf").c_str());
    SendClick(form->Rb2);
    script.ExpectMessage("报表文件不存在：" + dir_ + "report/PrintLab.rmf", IDOK);
    SendClick(form->Btpreview);
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(LabelWindow, helpOpensTheLabelHelpAndEscCloses) {
    script.ExpectForm("TFrmBarHelp", mrOk);
    SendClick(form->SbtHelp);
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_FALSE(form->Btdesign->Enabled()); // no designer in this program yet
    SendKey(form->EditTo, VK_ESCAPE);
    EXPECT_FALSE(form->Visible());
}

} // namespace
