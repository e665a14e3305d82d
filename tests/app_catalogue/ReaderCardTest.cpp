// Reader cards through their dialog: the front and the back printed over the
// readers listed, through the built-in PDF printer into
// build/test-output/reports/ (with its index line); pdftotext reads the
// names and the back text, zbarimg the barcodes. The back text is stored
// whichever way the dialog closes.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "Printers.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uPrintReaderCard.h"
#include "report/model/RM_Report.h"

#include <cstdio>
#include <fstream>

namespace {

const std::string kOut = std::string(BUILD_DIR) + "/test-output/reports/";

std::string run(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

class ReaderCardTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        CorpName = "实验中学图书馆";
        // The templates the build made, as the program finds them.
        ForceDirectories(dir_ + "report");
        for (const char* f : {"ReaderCard.rmf", "ReaderCardB.rmf"})
            CopyFile(std::string(BUILD_DIR) + "/program/report/" + f, dir_ + "report/" + f, false);
        Exec("insert into AcctInfo (CorpName, Rcardmemo) values ('实验中学图书馆', '一、本证只限本人使用。')");
        Exec("insert into Readerinfo (Code, Name, SortCode, Department) values "
             "('20240001', '张三', '学生', '初一(1)班'), ('20240002', '李四', '学生', '初一(2)班'), "
             "('20240003', '王五', '教师', '教务处'), ('30240004', '不在列表', '学生', '')");
        list.SetConnection(dm->ADOConnection1);
        list.SQL()->SetText("select * from Readerinfo where Code like '2024%' order by Code");
        list.Open();
        ForceDirectories(kOut + "index.d");
    }
    // Prints the side chosen into kOut + name + ".pdf"; the text of the PDF.
    std::string print(TFrmPrintReaderCard& form, const std::string& name, const std::string& what) {
        const std::string pdf = kOut + name + ".pdf";
        remove(pdf.c_str());
        Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
        Printer()->SetFileName(pdf);
        script.ExpectForm("TRMPrintDialogForm", mrOk, {{"CmbPrinters", "PDF"}, {"RbAll", "True"}},
                          [](TCustomForm* dialog) { SendClickTo(dialog, "BtnOK"); });
        SendClick(form.SbtPrint);
        EXPECT_TRUE(FileExists(pdf)) << pdf;
        std::ofstream(kOut + "index.d/" + name + ".tsv")
            << name << ".pdf\t" << form.CardTemplate << "\t1\t" << what << "\n";
        run("cd " + kOut + " && (printf 'file\\ttemplate\\tpages\\tfirst page text\\n'; cat index.d/*.tsv) > "
            "index.tsv.tmp && mv index.tsv.tmp index.tsv");
        return run("pdftotext -layout '" + pdf + "' -");
    }
    TADOQuery list;
};

TEST_F(ReaderCardTest, frontCardsOfTheListedReadersCarryNameAndReadableBarcode) {
    TFrmPrintReaderCard form(nullptr);
    form.RMDBDataSet1->SetDataSet(&list);
    ShowAndActivate(&form);
    const std::string text = print(form, "readerCardsFront", "实验中学图书馆借书证");
    for (const char* name : {"张三", "李四", "王五", "实验中学图书馆借书证"})
        EXPECT_NE(text.find(name), std::string::npos) << name << "\n" << text;
    EXPECT_EQ(text.find("不在列表"), std::string::npos);
    const std::string png = kOut + "readerCardsFront-p1";
    run("pdftoppm -r 300 -f 1 -l 1 -png '" + kOut + "readerCardsFront.pdf' '" + png + "'");
    const std::string scan = run("zbarimg -q '" + png + "-1.png' 2>/dev/null; zbarimg -q '" + png + "-01.png' 2>/dev/null");
    for (const char* code : {"20240001", "20240002", "20240003"})
        EXPECT_NE(scan.find(std::string("CODE-39:") + code), std::string::npos) << code << "\n" << scan;
}

TEST_F(ReaderCardTest, backTextIsEditedPrintedAndKeptWhenTheCloseBoxCloses) {
    {
        TFrmPrintReaderCard form(nullptr);
        form.RMDBDataSet1->SetDataSet(&list);
        ShowAndActivate(&form);
        EXPECT_EQ(TrimRight(form.Memo1->Text()), "一、本证只限本人使用。");
        SendClick(form.Rb2);
        EXPECT_EQ(form.CardTemplate, "ReaderCardB.rmf");
        SendKey(form.Memo1, VK_END, TShiftState() << ssCtrl);
        SendText(form.Memo1, "二、遗失请挂失。");
        SendCloseBox(&form);
    }
    EXPECT_EQ(TrimRight(Scalar("select Rcardmemo from AcctInfo")), "一、本证只限本人使用。二、遗失请挂失。");
    TFrmPrintReaderCard form(nullptr);
    form.RMDBDataSet1->SetDataSet(&list);
    ShowAndActivate(&form);
    EXPECT_EQ(form.CardTemplate, "ReaderCard.rmf");
    SendClick(form.Rb2);
    const std::string text = print(form, "readerCardsBack", "借书须知");
    EXPECT_NE(text.find("二、遗失请挂失。"), std::string::npos) << text;
    EXPECT_NE(text.find("借书须知"), std::string::npos) << text;
}

// Both ways to the template name the file that is not there, and neither
// goes on to a print dialog or a preview.
TEST_F(ReaderCardTest, missingTemplateSaysWhichFile) {
    remove((dir_ + "report/ReaderCardB.rmf").c_str());
    TFrmPrintReaderCard form(nullptr);
    form.RMDBDataSet1->SetDataSet(&list);
    ShowAndActivate(&form);
    SendClick(form.Rb2);
    for (TSpeedButton* button : {form.SbtPreview, form.SbtPrint}) {
        script.ExpectMessage("报表文件不存在：" + dir_ + "report/ReaderCardB.rmf", IDOK);
        SendClick(button);
        EXPECT_TRUE(script.Unused().empty()) << button->Name();
    }
}

} // namespace
