// The splash window; see uStartup.h.
#include "uStartup.h"

#include "Build.h"
#include "Build.h"
#include "Graphics.h"
#include "uGlobal.h"

TFrmStartup::TFrmStartup(TComponent* AOwner) : TForm(AOwner) {
    SetName("FrmStartup");
    SetBorderStyle(bsNone);
    SetPosition(poDesktopCenter);
    SetColor(clBlack);
    SetClientWidth(588);
    SetClientHeight(397);

    Image1 = TBuild(this).Add<TPaintBox>("Image1").Align(alClient);
    Image1->OnPaint = [this](TObject*) {
        TCanvas* c = Image1->Canvas();
        c->Brush()->SetColor(clBlack);
        c->FillRect(TRect{0, 0, Image1->Width(), Image1->Height()});
        c->Font()->SetName("宋体");
        c->Font()->SetSize(26);
        c->Font()->SetStyle(TFontStyles{fsBold});
        c->Font()->SetColor(clWhite);
        const std::string title = ProductName;
        c->TextOut((Image1->Width() - c->TextWidth(title)) / 2, 150, title);
        c->Pen()->SetColor(RGB(208, 243, 255));
        c->MoveTo(80, 210);
        c->LineTo(Image1->Width() - 80, 210);
        c->Font()->SetSize(10);
        c->Font()->SetStyle(TFontStyles{});
        const std::string wait = "正在启动，请稍候...";
        c->TextOut((Image1->Width() - c->TextWidth(wait)) / 2, 240, wait);
    };
}
