// Dialog bases; see VqBase.h.
#include "vq/controls/VqBase.h"

#include "vq/controls/VqStdCtrls.h"
#include "vq/data/VqDecorate.h"

namespace {

// The close button's glyph: a door with an arrow leaving it, drawn here
// because the program carries no bitmap resources.
void drawExitGlyph(TBitmap* b) {
    b->SetSize(20, 20);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 20, 20));
    c->Brush()->SetColor(RGB(160, 110, 60));
    c->FillRect(Rect(3, 2, 11, 18));
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(3, 2, 11, 18);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(RGB(200, 30, 30));
    c->Pen()->SetColor(RGB(200, 30, 30));
    c->FillRect(Rect(10, 9, 16, 11));
    c->Polygon({Point(15, 6), Point(19, 10), Point(15, 14)});
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(clFuchsia);
}

} // namespace

TFrmBase::TFrmBase(TComponent* AOwner) : TForm(AOwner) {
    SetBounds(0, 0, 544, 375);
    SetColor(clBtnFace);
    Font()->SetName("宋体");
    Font()->SetHeight(-12);
    Font()->SetCharset(GB2312_CHARSET);
    SetKeyPreview(true);
    SetShowHint(true);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
}

void TFrmBase::FormShow(TObject*) {
    DoBeforeShow();
    DecorateForm(this);
    DoAfterShow();
}

void TFrmBase::FormKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_ESCAPE) {
        Key = 0;
        Close();
    }
}

TFrmDlgBase::TFrmDlgBase(TComponent* AOwner) : TFrmBase(AOwner) {
    SetPosition(poDesktopCenter);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    PnlTop = new TVQPanel(this);
    PnlTop->SetName("PnlTop");
    PnlTop->SetParent(this);
    PnlTop->SetCaption("");
    PnlTop->SetAlign(alTop);
    PnlTop->SetHeight(39);

    auto inner = [this](const char* name, TAlign align, int width) {
        auto* p = new TVQPanel(this);
        p->SetName(name);
        p->SetParent(PnlTop);
        p->SetCaption("");
        p->SetBevelOuter(bvNone);
        p->SetAlign(align);
        if (width) p->SetWidth(width);
        return p;
    };
    PnlLeft = inner("PnlLeft", alLeft, 56);
    PnlRight = inner("PnlRight", alRight, 73);
    Pnlcenter = inner("Pnlcenter", alClient, 0);

    BtnClose = new TVqButton(this);
    BtnClose->SetName("BtnClose");
    BtnClose->SetParent(PnlRight);
    BtnClose->SetBounds(0, 0, 54, 37);
    BtnClose->SetAlign(alRight);
    BtnClose->SetCaption("退出");
    BtnClose->SetHint("退出当前模块");
    BtnClose->SetShowHint(true);
    BtnClose->SetLayout(GlyphTop);
    BtnClose->SetButtonStyle(sbsNormal);
    TBitmap glyph;
    drawExitGlyph(&glyph);
    BtnClose->SetGlyph(&glyph);
    BtnClose->OnClick = [this](TObject* s) { BtnCloseClick(s); };
}

void TFrmDlgBase::BtnCloseClick(TObject*) { Close(); }

void TFrmDlgBase::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }
