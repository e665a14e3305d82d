// Renders a sample page of every kind of drawing to a PNG among the
// screenshots for a visual check, and pins a few of its pixels.
#include <filesystem>
#include <gtest/gtest.h>

#include <QImage>

#include "Graphics.h"
#include "Canvas_p.h"

namespace {

void DrawSamplePage(TCanvas* c) {
    c->Brush()->SetColor(RGB(255, 242, 222));
    c->FillRect(Rect(0, 0, 400, 300));
    c->Font()->SetName("宋体");
    c->Font()->SetSize(9);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(10, 10, "宋体 9 磅：图书馆借阅清单 ABC 123");
    c->Font()->SetName("黑体");
    c->Font()->SetSize(14);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clRed);
    c->TextOut(10, 30, "黑体粗体 逾期罚款");
    c->Font()->SetStyle({});
    c->Font()->SetColor(clWindowText);
    c->Font()->SetName("Arial");
    c->Font()->SetSize(10);
    c->TextOut(10, 60, "Arial 10 with 中文 mixed");
    TRect r = Rect(10, 85, 150, 140);
    c->Brush()->SetColor(clWhite);
    c->FillRect(r);
    c->Font()->SetName("宋体");
    c->Font()->SetSize(9);
    c->DrawText("自动换行的长文本：读者证号、姓名、单位、借书日期与应还日期", -1, r, DT_WORDBREAK);
    TRect e = Rect(160, 85, 260, 100);
    c->DrawText("一行放不下的文字被截断", -1, e, DT_SINGLELINE | DT_END_ELLIPSIS);
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(clSkyBlue);
    c->Rectangle(160, 110, 220, 140);
    c->Brush()->SetColor(clMoneyGreen);
    c->Ellipse(230, 110, 290, 140);
    c->RoundRect(300, 110, 380, 140, 10, 10);
    c->Brush()->SetColor(clNavy);
    c->Polygon({{20, 200}, {40, 160}, {60, 200}});
    c->Pen()->SetStyle(psDot);
    c->MoveTo(70, 160);
    c->LineTo(150, 200);
    c->Pen()->SetStyle(psSolid);
    TRect edge = Rect(170, 160, 250, 190);
    c->DrawEdge(edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    TRect sunk = Rect(260, 160, 340, 190);
    c->DrawEdge(sunk, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    TRect check = Bounds(20, 220, 13, 13);
    c->DrawFrameControl(check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    TRect radio = Bounds(40, 220, 13, 13);
    c->DrawFrameControl(radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    TRect combo = Bounds(60, 220, 16, 16);
    c->DrawFrameControl(combo, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    TRect push = Bounds(90, 215, 60, 24);
    c->DrawFrameControl(push, DFC_BUTTON, DFCS_BUTTONPUSH);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(105, 220, "确定");
    c->DrawFocusRect(Rect(100, 218, 140, 236));
    c->Font()->SetOrientation(900);
    c->TextOut(370, 290, "竖排文字");
    c->Font()->SetOrientation(0);
    c->Brush()->SetColor(clRed);
    c->Brush()->SetStyle(bsDiagCross);
    c->Rectangle(170, 220, 250, 280);
}

TEST(SamplePage, rendersToPngForVisualCheck) {
    TBitmap b;
    b.SetSize(400, 300);
    DrawSamplePage(b.Canvas());
    std::filesystem::create_directories(std::string(BUILD_DIR) + "/test-output/screens");
    std::string path = std::string(BUILD_DIR) + "/test-output/screens/canvas-sample-page.png";
    ASSERT_TRUE(BitmapImage(&b).save(QString::fromStdString(path), "PNG"));
    EXPECT_EQ(b.Canvas()->Pixels(1, 299), RGB(255, 242, 222));
    EXPECT_EQ(b.Canvas()->Pixels(160, 110), clNavy);
    // Some text pixels landed in the heading's cell.
    int inked = 0;
    for (int x = 10; x < 200; ++x)
        for (int y = 30; y < 50; ++y)
            if (b.Canvas()->Pixels(x, y) == clRed) ++inked;
    EXPECT_GT(inked, 50);
}

} // namespace
