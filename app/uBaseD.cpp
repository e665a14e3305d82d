// The root window class; see uBaseD.h.
#include "uBaseD.h"

#include "Graphics.h"

TFrmBaseD::TFrmBaseD(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    TFont font;
    font.SetName("宋体");
    font.SetSize(9);
    font.SetCharset(GB2312_CHARSET);
    SetFont(&font);
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnKeyDown = KeyDownHandler();
}

void TFrmBaseD::InitForm() {}

void TFrmBaseD::FormShow(TObject*) { InitForm(); }

void TFrmBaseD::FormKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_ESCAPE) Close();
}

TKeyEvent TFrmBaseD::KeyDownHandler() {
    return [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
}
