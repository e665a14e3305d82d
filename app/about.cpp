// The about box; see about.h.
#include "about.h"

#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uGlobal.h"

#include <memory>

Taboutform::Taboutform(TComponent* AOwner) : TForm(AOwner) {
    SetName("aboutform");
    SetCaption("关于本软件");
    SetBorderStyle(bsNone);
    SetBorderIcons(TBorderIcons{});
    SetColor(clWhite);
    SetPosition(poScreenCenter);
    SetClientWidth(400);
    SetClientHeight(250);
    SetKeyPreview(true);

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").Align(alClient).Color(clWhite);
    auto close = [this](TObject*) { Close(); };
    auto panel = b.In(Panel1);
    Image1 = panel.Add<TPaintBox>("Image1").Align(alClient).OnPaint(&Taboutform::PaintTitle).OnClick(close);
    LbDate = panel.Add<TLabel>("LbDate").Transparent().At(40, 130, 320, 14).Caption("更新日期:2011-05-01");
    LbName = panel.Add<TLabel>("LbName").Transparent().At(40, 160, 320, 14);

    OnShow = [this](TObject* s) { FormShow(s); };
    OnClick = close;
    OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
        if (Key == VK_ESCAPE) Close();
    };
}

void Taboutform::PaintTitle(TObject*) {
    TCanvas* c = Image1->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, Image1->Width(), Image1->Height()});
    c->Brush()->SetColor(RGB(52, 112, 190));
    c->FillRect(TRect{0, 0, Image1->Width(), 70});
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName("宋体");
    c->Font()->SetSize(16);
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Font()->SetColor(clWhite);
    const std::string title = ProductName;
    c->TextOut((Image1->Width() - c->TextWidth(title)) / 2, 24, title);
}

void Taboutform::FormShow(TObject*) { LbName->SetCaption(CorpName); }

void ShowAboutBox() {
    std::unique_ptr<Taboutform> box(new Taboutform(Application));
    box->ShowModal();
}
