// The library's message box; see VqMsgDlg.h.
#include "vq/controls/VqMsgDlg.h"

#include "ExtCtrls.h"
#include "Sound.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "vq/data/VqDecorate.h"

#include <algorithm>

namespace {

// The box's own form class, so a script can name it.
class TFrmVqMsgBox : public TForm {
public:
    explicit TFrmVqMsgBox(TComponent* AOwner) : TForm(AOwner) {}
    std::string ClassName() const override { return "TFrmVqMsgBox"; }
};

std::string joinLines(TStrings* lines) {
    std::string text;
    for (int i = 0; i < lines->Count(); ++i) {
        if (i) text += '\r';
        text += lines->Strings(i);
    }
    return text;
}

int systemBox(const std::string& text, const std::string& title, unsigned flags) {
    const std::string caption = title.empty() ? Application->Title() : title;
    return Application->MessageBox(ConvertCaption(text), caption, flags);
}

} // namespace

TVQMsgdlg::TVQMsgdlg(TComponent* AOwner)
    : TComponent(AOwner), buttons_(std::make_unique<TStringList>()), message_(std::make_unique<TStringList>()),
      font_(std::make_unique<TFont>()) {
    font_->SetName("宋体");
    font_->SetSize(9);
}

TVQMsgdlg::~TVQMsgdlg() = default;

void TVQMsgdlg::SetButtons(TStrings* v) { buttons_->Assign(v); }
void TVQMsgdlg::SetMessage(TStrings* v) { message_->Assign(v); }
void TVQMsgdlg::SetFont(TFont* v) { font_->Assign(v); }

void TVQMsgdlg::LoadIcon(TDefaultIcons icon, TBitmap* b) {
    if (icon == icNone) {
        b->SetSize(0, 0);
        return;
    }
    b->SetSize(32, 32);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 32, 32));
    c->Pen()->SetColor(clBlack);
    c->Font()->SetName("DejaVu Sans");
    c->Font()->SetStyle({fsBold});
    c->Font()->SetHeight(-20);
    c->Brush()->SetStyle(bsSolid);
    TColor face = clBlue;
    const char* mark = "i";
    switch (icon) {
    case icWarning:
        c->Brush()->SetColor(clYellow);
        c->Polygon({Point(16, 1), Point(31, 29), Point(1, 29)});
        mark = "!";
        face = clYellow;
        break;
    case icError:
        c->Brush()->SetColor(clRed);
        c->Ellipse(1, 1, 31, 31);
        mark = "X";
        face = clRed;
        break;
    case icInformation:
        c->Brush()->SetColor(clWhite);
        c->Ellipse(1, 1, 31, 31);
        mark = "i";
        face = clWhite;
        break;
    case icConfirmation:
        c->Brush()->SetColor(clWhite);
        c->Ellipse(1, 1, 31, 31);
        mark = "?";
        face = clWhite;
        break;
    case icNone: break;
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(face == clRed ? clWhite : face == clYellow ? clBlack : clBlue);
    TRect r = Rect(0, icon == icWarning ? 6 : 2, 32, 32);
    c->DrawText(mark, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(clFuchsia);
}

int TVQMsgdlg::Execute() {
    // A run that ends without a button click answers "no answer", never
    // what the previous run of this component answered.
    result_ = -1;
    std::unique_ptr<TFrmVqMsgBox> form(new TFrmVqMsgBox(nullptr));
    form->SetName("VqMsgDlgForm");
    form->SetFont(font_.get());
    form->SetCaption(title_);
    form->SetColor(clBtnFace);
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetKeyPreview(true);

    auto* label = new TLabel(form.get());
    label->SetName("LbText");
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetLeft(8);
    label->SetTop(8);
    auto* image = new TImage(form.get());
    image->SetName("ImgIcon");
    image->SetBounds(0, 0, 1, 1);
    int imageHeight = 0;
    if (icon_ != icNone) {
        image->SetParent(form.get());
        TBitmap icon;
        LoadIcon(icon_, &icon);
        image->Picture()->SetGraphic(&icon);
        image->SetTransparent(true);
        image->SetBounds(10, 10, icon.Width(), icon.Height());
        imageHeight = icon.Height();
        label->SetLeft(image->Left() + image->Width() + 10);
    }

    TBitmap probe;
    probe.SetSize(1, 1);
    TCanvas* canvas = probe.Canvas();
    canvas->SetFont(font_.get());
    const std::string text = joinLines(message_.get());
    int widest = 0;
    for (int i = 0; i < message_->Count(); ++i) widest = std::max(widest, canvas->TextWidth(message_->Strings(i)));
    int formWidth = 8 + 16 + 85;
    if (widest > 0) formWidth = widest + label->Left() + 18;
    int formHeight = 0;
    const int limit = int(Screen->Width() * 0.6);
    int textHeight = 0;
    int labelWidth = widest;
    if (formWidth > limit) {
        labelWidth = widest - (formWidth - limit);
        TRect r = Rect(0, 0, labelWidth, 0);
        textHeight = canvas->DrawText(StringReplace(text, "\r", "\n", {rfReplaceAll}), -1, r,
                                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        label->SetWordWrap(true);
        formWidth = limit;
    } else {
        textHeight = message_->Count() * canvas->TextHeight("W");
    }
    label->SetBounds(label->Left(), label->Top(), std::max(labelWidth, 1), std::max(textHeight, 1));
    label->SetCaption(StringReplace(text, "\r", "\n", {rfReplaceAll}));
    if (textHeight > 0) formHeight = std::max(textHeight, imageHeight) + 40;

    while (buttons_->Count() > 0 && buttons_->Strings(buttons_->Count() - 1).empty())
        buttons_->Delete(buttons_->Count() - 1);
    if (buttons_->Count() == 0) buttons_->Add("确定");

    std::vector<TButton*> buttons;
    for (int i = 0; i < buttons_->Count(); ++i) {
        auto* b = new TButton(form.get());
        b->SetName("btn" + std::to_string(i));
        b->SetParent(form.get());
        b->SetBounds(8 + 85 * i, formHeight, 80, 25);
        b->SetCaption(buttons_->Strings(i));
        b->OnClick = [this, i, f = form.get()](TObject*) {
            result_ = i;
            f->SetModalResult(mrOk);
        };
        buttons.push_back(b);
    }
    formHeight += 60;
    const int need = 16 + 85 * int(buttons.size());
    if (formWidth < need)
        formWidth = need;
    else
        for (TButton* b : buttons) b->SetLeft(b->Left() + (formWidth - need) / 2);
    form->SetClientWidth(formWidth);
    form->SetClientHeight(formHeight);

    if (default_ >= 0 && default_ < int(buttons.size())) form->SetActiveControl(buttons[size_t(default_)]);
    form->OnShow = [this](TObject*) {
        switch (wav_) {
        case wavAsterisk: MessageBeep(MB_ICONASTERISK); break;
        case wavExclamation: MessageBeep(MB_ICONEXCLAMATION); break;
        case wavQuestion: MessageBeep(MB_ICONQUESTION); break;
        case wavDefault: MessageBeep(0); break;
        case wavCustom: break;
        }
    };
    form->ShowModal();
    return result_;
}

int TVQMsgdlg::QueryOkCancel(const std::string& Text, const std::string& Title, int Mode) {
    if (Mode != 1 && Mode != 2) return 0;
    return systemBox(Text, Title, MB_OKCANCEL | MB_ICONQUESTION | (Mode == 2 ? unsigned(MB_DEFBUTTON2) : 0u));
}

int TVQMsgdlg::QueryYesNo(const std::string& Text, const std::string& Title, int Mode) {
    if (Mode != 1 && Mode != 2) return 0;
    return systemBox(Text, Title, MB_YESNO | MB_ICONQUESTION | (Mode == 2 ? unsigned(MB_DEFBUTTON2) : 0u));
}

int TVQMsgdlg::ShowError(const std::string& Text, const std::string& Title) {
    return systemBox(Text, Title, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
}

void ShowOkMessage(TDefaultIcons Icon, const std::string& Title, const std::string& Text) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("确定");
    box.Message()->Add(Text);
    box.SetTitle(Title);
    box.SetIcon(Icon);
    box.SetWAV(wavDefault);
    box.Execute();
}

bool AskOkCancel(const std::string& Title, const std::string& Text, int Mode) {
    return TVQMsgdlg::QueryOkCancel(Text, Title, Mode) == IDOK;
}
