// The metafile recorder played back scaled, its stream round trip, and the
// PDF printer writing two pages of Chinese text that pdftotext reads back.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <memory>

#include "Graphics.h"
#include "Metafile.h"
#include "Printers.h"
#include "SysUtils.h"

namespace {

std::string TempPath(const std::string& name) { return std::string(BUILD_DIR) + "/ui_graphics_" + name; }

std::string RunCommand(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

void DrawSample(TCanvas* c) {
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(10, 10, 30, 20);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(10, 30, "索书号");
}

TEST(Metafile, recordsOnCanvasDestructionAndSizesToExtent) {
    TMetafile mf;
    {
        TMetafileCanvas c(&mf);
        DrawSample(&c);
        EXPECT_EQ(c.Records().size(), 2u);
        EXPECT_TRUE(mf.Empty());
    }
    ASSERT_EQ(mf.Records().size(), 2u);
    EXPECT_EQ(mf.Records()[0].Kind, mrRectangle);
    EXPECT_EQ(mf.Records()[0].Bounds, Rect(10, 10, 30, 20));
    ASSERT_EQ(mf.TextRecords().size(), 1u);
    EXPECT_EQ(mf.TextRecords()[0]->Text, "索书号");
    EXPECT_EQ(mf.Width(), mf.TextRecords()[0]->Bounds.Right > 30 ? mf.TextRecords()[0]->Bounds.Right : 30);
}

TEST(Metafile, playbackScalesOntoBitmap) {
    TMetafile mf;
    {
        TMetafileCanvas c(&mf);
        c.Pen()->SetColor(clBlue);
        c.Brush()->SetColor(clYellow);
        c.Rectangle(10, 10, 30, 20);
    }
    mf.SetWidth(50);
    mf.SetHeight(50);
    TBitmap b;
    b.SetSize(100, 100);
    b.Canvas()->StretchDraw(Rect(0, 0, 100, 100), &mf);
    EXPECT_EQ(b.Canvas()->Pixels(20, 20), clBlue) << "top-left corner doubled";
    EXPECT_EQ(b.Canvas()->Pixels(40, 30), clYellow) << "inside doubled";
    EXPECT_EQ(b.Canvas()->Pixels(62, 30), clWhite) << "right of the doubled rectangle";
    EXPECT_EQ(b.Canvas()->Pen()->Color(), clBlack) << "canvas pen restored after playback";
}

TEST(Metafile, streamRoundTripKeepsRecords) {
    TMetafile mf;
    {
        TMetafileCanvas c(&mf);
        DrawSample(&c);
    }
    TMemoryStream ms;
    mf.SaveToStream(ms);
    ms.SetPosition(0);
    TMetafile back;
    back.LoadFromStream(ms);
    ASSERT_EQ(back.Records().size(), 2u);
    EXPECT_EQ(back.Records()[1].Text, "索书号");
    EXPECT_EQ(back.Records()[0].BrushColor, clYellow);
    EXPECT_EQ(back.Width(), mf.Width());
}

TEST(Metafile, foreignFileIsNotValid) {
    TMemoryStream ms;
    ms.Write("\x01\x00\x00\x00 EMF", 8);
    ms.SetPosition(0);
    TMetafile mf;
    try {
        mf.LoadFromStream(ms);
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Metafile is not valid");
    }
}

TEST(Recorder, tapsACanvasThatAlsoPaints) {
    TBitmap b;
    b.SetSize(10, 10);
    TMetafile mf;
    TMetafileCanvas rec(&mf);
    rec.FillRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(rec.Records()[0].Kind, mrFillRect);
    EXPECT_EQ(rec.Records()[0].BrushColor, clWhite);
}

class PdfPrinter : public testing::Test {
protected:
    void SetUp() override {
        printer = std::make_unique<TPrinter>();
        printer->SetPrinterIndex(printer->PdfPrinterIndex());
        path = TempPath(std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".pdf");
        DeleteFile(path);
        printer->SetFileName(path);
    }
    std::unique_ptr<TPrinter> printer;
    std::string path;
};

TEST_F(PdfPrinter, twoPagesOfChineseTextReadBack) {
    EXPECT_EQ(printer->Printers().back(), "PDF");
    printer->SetTitle("借阅清单");
    printer->BeginDoc();
    TCanvas* c = printer->Canvas();
    c->Font()->SetName("宋体");
    c->Font()->SetSize(12);
    EXPECT_EQ(c->Font()->Height(), -100);
    c->TextOut(300, 300, "图书馆借阅清单 第一页");
    c->Rectangle(300, 500, 2000, 700);
    printer->NewPage();
    EXPECT_EQ(printer->PageNumber(), 2);
    c->TextOut(300, 300, "读者：张三 第二页");
    printer->EndDoc();
    EXPECT_FALSE(printer->Printing());
    std::string text = RunCommand("pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null");
    EXPECT_NE(text.find("图书馆借阅清单"), std::string::npos) << text;
    EXPECT_NE(text.find("读者：张三"), std::string::npos) << text;
    std::string info = RunCommand("pdfinfo '" + path + "' 2>/dev/null");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
}

TEST_F(PdfPrinter, pageMetricsFollowPaperAndOrientation) {
    EXPECT_EQ(printer->PaperSizes()[0].Name, "A4");
    EXPECT_EQ(printer->XDpi(), 600);
    EXPECT_EQ(printer->PageWidth(), 4961);
    EXPECT_EQ(printer->PageHeight(), 7016);
    printer->SetOrientation(poLandscape);
    EXPECT_EQ(printer->PageWidth(), 7016);
    EXPECT_TRUE(printer->SetPaperByName("a5"));
    EXPECT_EQ(printer->PageHeight(), 3496);
    EXPECT_EQ(printer->GetDeviceCaps(PHYSICALOFFSETX), 0);
}

TEST_F(PdfPrinter, misuseRaisesPrinterErrors) {
    try {
        printer->NewPage();
        FAIL();
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "Printer is not currently printing");
    }
    printer->BeginDoc();
    try {
        printer->BeginDoc();
        FAIL();
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message, "Printing in progress");
    }
    printer->Abort();
    EXPECT_TRUE(printer->Aborted());
    EXPECT_FALSE(FileExists(path)) << "an aborted document leaves no file";
}

} // namespace
