// The navigation page; see uMainIDE.h. The pictures are drawn here at
// start, so no image files have to ship with the program.
#include "uMainIDE.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Menus.h"
#include "uVQGifButton.h"

#include <tuple>

namespace {

constexpr TColor PageGrey = RGB(236, 236, 236);
constexpr TColor BookBlue = RGB(52, 112, 190);
constexpr TColor MagzGreen = RGB(46, 142, 96);
constexpr TColor LinkBlue = RGB(0, 70, 170);
// The transparent colour of the pictures that leave out their corners.
constexpr TColor KeyColour = RGB(255, 0, 255);

void setFont(TCanvas* c, int size, bool bold, TColor colour) {
    c->Font()->SetName("宋体");
    c->Font()->SetSize(size);
    c->Font()->SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
    c->Font()->SetColor(colour);
    c->Brush()->SetStyle(bsClear);
}

void centredText(TCanvas* c, const TRect& r, const std::string& text) {
    const int w = c->TextWidth(text), h = c->TextHeight(text);
    c->TextOut(r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2, text);
}

// A square picture: a rounded tile with a simple book (or journal) figure
// and the caption under it.
void drawTile(TBitmap* b, const TNavButton& nb, TColor colour, bool keyCorners) {
    b->SetSize(nb.Width, nb.Height);
    TCanvas* c = b->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(keyCorners ? KeyColour : PageGrey);
    c->FillRect(TRect{0, 0, nb.Width, nb.Height});
    const int tile = nb.Height - 18;
    const int left = (nb.Width - tile) / 2;
    c->Pen()->SetColor(colour);
    c->Brush()->SetColor(colour);
    c->RoundRect(left, 1, left + tile, 1 + tile, 12, 12);
    c->Brush()->SetColor(clWhite);
    c->Pen()->SetColor(clWhite);
    const int bx = left + tile / 4, by = 1 + tile / 4, bw = tile / 2, bh = tile / 2;
    c->Rectangle(bx, by, bx + bw / 2 - 1, by + bh);
    c->Rectangle(bx + bw / 2 + 1, by, bx + bw, by + bh);
    c->Pen()->SetColor(colour);
    for (int y = by + 4; y < by + bh - 2; y += 4) {
        c->MoveTo(bx + 3, y);
        c->LineTo(bx + bw / 2 - 4, y);
        c->MoveTo(bx + bw / 2 + 4, y);
        c->LineTo(bx + bw - 3, y);
    }
    setFont(c, 9, true, RGB(40, 40, 40));
    centredText(c, TRect{0, nb.Height - 16, nb.Width, nb.Height}, nb.Caption);
}

// A one-line link picture.
void drawLink(TBitmap* b, const TNavButton& nb, bool keyGround) {
    b->SetSize(nb.Width, nb.Height);
    TCanvas* c = b->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(keyGround ? KeyColour : PageGrey);
    c->FillRect(TRect{0, 0, nb.Width, nb.Height});
    setFont(c, 9, false, LinkBlue);
    c->Font()->SetStyle(TFontStyles{fsUnderline});
    centredText(c, TRect{0, 0, nb.Width, nb.Height}, std::string("» ") + nb.Caption);
}

void arrow(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
    const int dx = x2 > x1 ? -6 : x2 < x1 ? 6 : 0;
    const int dy = y2 > y1 ? -6 : y2 < y1 ? 6 : 0;
    c->MoveTo(x2, y2);
    c->LineTo(x2 + dx + (dy ? 4 : 0), y2 + dy + (dx ? 4 : 0));
    c->MoveTo(x2, y2);
    c->LineTo(x2 + dx - (dy ? 4 : 0), y2 + dy - (dx ? 4 : 0));
}

// The page: the master-data row above two columns, books on the left and
// periodicals on the right, each flowing from cataloguing to lending to
// the lists.
void drawBackground(TBitmap* b) {
    b->SetSize(716, 509);
    TCanvas* c = b->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(PageGrey);
    c->FillRect(TRect{0, 0, 716, 509});
    c->Brush()->SetColor(RGB(214, 226, 240));
    c->FillRect(TRect{0, 0, 716, 30});
    setFont(c, 11, true, RGB(30, 60, 110));
    c->TextOut(16, 8, "基础资料");
    c->Pen()->SetColor(RGB(170, 180, 195));
    c->Brush()->SetStyle(bsClear);
    c->RoundRect(40, 40, 676, 136, 16, 16);
    for (auto [left, title, colour, flowX] :
         {std::tuple{40, "图书流通", BookBlue, 200}, std::tuple{376, "期刊流通", MagzGreen, 492}}) {
        c->Pen()->SetColor(colour);
        c->Brush()->SetStyle(bsClear);
        c->RoundRect(left, 150, left + 300, 490, 16, 16);
        setFont(c, 10, true, colour);
        c->TextOut(left + 12, 158, title);
        c->Pen()->SetColor(colour);
        arrow(c, flowX, 382, flowX, 400);
    }
    c->Pen()->SetColor(BookBlue);
    arrow(c, 200, 286, 200, 262);
    c->Pen()->SetColor(MagzGreen);
    arrow(c, 492, 289, 492, 264);
    setFont(c, 9, false, RGB(90, 90, 90));
    c->TextOut(60, 405, "查询");
    c->TextOut(396, 405, "查询");
}

} // namespace

const std::vector<TNavButton>& NavButtons() {
    static const std::vector<TNavButton> buttons = {
        {"GbtBookSet", 80, 55, 71, 67, "NBookSet", "图书编目", 2, true},
        {"GbtMagzSet", 199, 55, 71, 67, "NMagzSet", "期刊编目", 1, true},
        {"GbtReaderSet", 317, 56, 71, 66, "NReaderSet", "读者管理", 1, true},
        {"GbtBookSortSet", 438, 56, 71, 66, "NBookSortSet", "图书分类", 1, true},
        {"GbtBorrow", 163, 170, 77, 85, "NBorrow", "借还图书", 1, false},
        {"GbtBorrowq", 453, 172, 77, 85, "NBorrowMagz", "借还期刊", 1, false},
        {"GbtBookSet1", 161, 287, 77, 85, "NBookSet", "图书编目", 2, false},
        {"GbtMagzSet1", 454, 290, 77, 85, "NMagzSet", "期刊编目", 1, false},
        {"GbtQryBorrow", 151, 423, 118, 16, "NQryBorrow", "借阅查询", 1, true},
        {"GbtQryExceed", 152, 450, 113, 17, "NQryExcced", "逾期列表", 1, false},
        {"GbtQryBorrowq", 416, 423, 114, 16, "NQryBorrow1", "借阅查询", 1, true},
        {"GbtQryExceedq", 416, 450, 112, 15, "NQryExceed1", "逾期列表", 1, false},
    };
    return buttons;
}

TFrmMainIDE::TFrmMainIDE(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmMainIDE");
    SetCaption("导航");
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetClientWidth(716);
    SetClientHeight(509);
    // The child window takes the size the form has when it becomes one.
    TCustomForm* main = Application->MainForm();
    if (main && main != this && main->FormStyle() == fsMDIForm) SetFormStyle(fsMDIChild);

    TBuild b(this);
    Panel2 = b.Add<TPanel>("Panel2").Caption("").Set(&TPanel::SetBevelOuter, bvNone).Align(alClient);
    auto page = b.In(Panel2);
    Image1 = page.Add<TImage>("Image1").Align(alClient);
    drawBackground(Image1->Picture()->Bitmap());

    tVQGifButton** fields[] = {&GbtBookSet,   &GbtMagzSet,   &GbtReaderSet,  &GbtBookSortSet,
                               &GbtBorrow,    &GbtBorrowq,   &GbtBookSet1,   &GbtMagzSet1,
                               &GbtQryBorrow, &GbtQryExceed, &GbtQryBorrowq, &GbtQryExceedq};
    size_t i = 0;
    for (const TNavButton& nb : NavButtons()) {
        TBitmap picture;
        const TColor colour =
            std::string(nb.MenuItem).find("Magz") != std::string::npos || std::string(nb.Name).back() == 'q' ? MagzGreen
                                                                                                             : BookBlue;
        if (nb.Height < 30)
            drawLink(&picture, nb, nb.GlyphsTransparent);
        else
            drawTile(&picture, nb, colour, nb.GlyphsTransparent);
        const std::string item = nb.MenuItem;
        *fields[i++] = page.Add<tVQGifButton>(nb.Name)
                           .At(nb.Left, nb.Top, nb.Width, nb.Height)
                           .Transparent()
                           .Cursor(crHandPoint)
                           .Set(&tVQGifButton::SetInterval, nb.Interval)
                           .Set(&tVQGifButton::SetGlyphsTransparent, nb.GlyphsTransparent)
                           .Set(&tVQGifButton::SetUpGlyph, &picture)
                           .Set(&tVQGifButton::SetActiveGlyph, &picture)
                           .OnClick([this, item](TObject*) { RunMenuItem(item); });
    }
}

void TFrmMainIDE::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    SetColor(PageGrey);
    Panel2->SetColor(PageGrey);
}

void TFrmMainIDE::RunMenuItem(const std::string& itemName) {
    TCustomForm* main = Application->MainForm();
    if (!main) return;
    if (auto* item = dynamic_cast<TMenuItem*>(main->FindComponent(itemName))) item->Click();
}
