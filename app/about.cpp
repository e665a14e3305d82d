// The about box; see about.h.
#include "about.h"

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

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alClient);
    Panel1->SetColor(clWhite);

    Image1 = new TPaintBox(this);
    Image1->SetName("Image1");
    Image1->SetParent(Panel1);
    Image1->SetAlign(alClient);
    Image1->OnPaint = [this](TObject*) {
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
    };

    auto label = [this](const char* name, int top) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(Panel1);
        l->SetTransparent(true);
        l->SetBounds(40, top, 320, 14);
        return l;
    };
    LbDate = label("LbDate", 130);
    LbDate->SetCaption("更新日期:2011-05-01");
    LbName = label("LbName", 160);

    OnShow = [this](TObject* s) { FormShow(s); };
    auto close = [this](TObject*) { Close(); };
    OnClick = close;
    Image1->OnClick = close;
    OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
        if (Key == VK_ESCAPE) Close();
    };
}

void Taboutform::FormShow(TObject*) { LbName->SetCaption(CorpName); }

void ShowAboutBox() {
    std::unique_ptr<Taboutform> box(new Taboutform(Application));
    box->ShowModal();
}
