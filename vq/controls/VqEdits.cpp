// The library's edit with its embedded button; see VqEdits.h.
#include "vq/controls/VqEdits.h"

#include "Forms.h"
#include "SysUtils.h"
#include "vq/controls/VqCalendar.h"
#include "vq/controls/VqPads.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/controls/VqStdUtils.h"

namespace {

// The shared pad clears the one reference to itself when its owner frees
// it, so the next edit makes a new one instead of using a dead pad.
TVQNumPad* g_numPad = nullptr;

class TSharedNumPad : public TVQNumPad {
public:
    using TVQNumPad::TVQNumPad;
    ~TSharedNumPad() override {
        if (g_numPad == this) g_numPad = nullptr;
    }
};

TVQDatePad* g_datePad = nullptr;

class TSharedDatePad : public TVQDatePad {
public:
    using TVQDatePad::TVQDatePad;
    ~TSharedDatePad() override {
        if (g_datePad == this) g_datePad = nullptr;
    }
};

// The button glyphs, drawn here: the program carries no bitmap resources.
void drawGlyph(TVQEditDataType type, TBitmap* b) {
    b->SetSize(12, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 12, 12));
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    switch (type) {
    case edtNumber: // a calculator
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(2, 0, 10, 12);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect(3, 1, 9, 4));
        for (int y = 6; y <= 9; y += 3)
            for (int x = 3; x <= 7; x += 2) c->SetPixels(x, y, clBlack);
        break;
    case edtDate: // a calendar sheet
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 1, 12, 12);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(1, 2, 11, 4));
        for (int y = 6; y <= 9; y += 3)
            for (int x = 2; x <= 9; x += 3) c->SetPixels(x, y, clBlack);
        break;
    default: // three dots: look something up
        for (int x = 2; x <= 8; x += 3) c->FillRect(Rect(x, 8, x + 2, 10));
        break;
    }
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(clFuchsia);
}

} // namespace

TVQNumPad* SharedNumPad() { return g_numPad; }
TVQDatePad* SharedDatePad() { return g_datePad; }

// ------------------------------------------------------------- button

TVQEditButton::TVQEditButton(TVQEdit* edit) : TGraphicControl(edit), edit_(edit), glyph_(std::make_unique<TBitmap>()) {
    SetCursor(crHandPoint);
    SetHint(HotKeyHintButton);
    SetShowHint(true);
}

TVQEditButton::~TVQEditButton() = default;

void TVQEditButton::SetGlyph(TBitmap* v) {
    if (v)
        glyph_->Assign(v);
    else
        glyph_ = std::make_unique<TBitmap>();
    Layout();
}

TRect TVQEditButton::ButtonRect() const {
    if (!Visible() || glyph_->Empty()) return {};
    return BoundsRect();
}

void TVQEditButton::Layout() {
    const int w = glyph_->Empty() ? 0 : glyph_->Width() + 3;
    SetBounds(edit_->ClientWidth() - w, 0, w, edit_->ClientHeight());
    Invalidate();
}

void TVQEditButton::Paint() {
    if (glyph_->Empty()) return;
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    DrawButtonFace(c, r, down_);
    glyph_->SetTransparent(true);
    const int shift = down_ ? 1 : 0;
    c->Draw((r.Width() - glyph_->Width()) / 2 + shift, (r.Height() - glyph_->Height()) / 2 + shift, glyph_.get());
}

void TVQEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || glyph_->Empty()) return;
    down_ = true;
    Invalidate();
}

void TVQEditButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !down_) return;
    down_ = false;
    Invalidate();
    edit_->ButtonClick();
}

// --------------------------------------------------------------- edit

TVQEdit::TVQEdit(TComponent* AOwner) : TEdit(AOwner) {
    button_ = new TVQEditButton(this);
    button_->SetParent(this);
    button_->SetVisible(false);
}

TVQEdit::~TVQEdit() = default;

bool TVQEdit::IsValidChar(char32_t c) const {
    if (c == '\r' || c == 27) return false;
    if (validChars_.empty() || c == 8) return true;
    std::string utf8;
    if (c < 0x80) {
        utf8 = char(c);
    } else if (c < 0x800) {
        utf8 = {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        utf8 = {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    } else {
        utf8 = {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)), char(0x80 | ((c >> 6) & 0x3F)),
                char(0x80 | (c & 0x3F))};
    }
    return validChars_.find(utf8) != std::string::npos;
}

void TVQEdit::SetDataType(TVQEditDataType v) {
    dataType_ = v;
    if (v == edtPickList) return;
    if (v == edtText) {
        button_->SetVisible(false);
        return;
    }
    TBitmap glyph;
    drawGlyph(v, &glyph);
    button_->SetGlyph(&glyph);
    button_->SetVisible(Enabled());
}

void TVQEdit::ButtonClick() {
    if (!EditCanModify()) return;
    if (OnButtonClick) {
        OnButtonClick(this);
        return;
    }
    if (dataType_ == edtDate) {
        if (!g_datePad) {
            g_datePad = new TSharedDatePad(this);
            g_datePad->SetName("VqDatePad");
        }
        const bool open = g_datePad->Visible() && g_datePad->Caller() == this;
        if (!open) savedText_ = Text();
        g_datePad->SetCaller(this);
        g_datePad->OnAccept = [this](TObject*) { AcceptPopup(); };
        g_datePad->OnCancel = [this](TObject*) { CancelPopup(); };
        g_datePad->OnValueChange = [this](TObject*) {
            if (droppedDown_) SetText(g_datePad->CalDate()->AsText());
        };
        ShowPopup(!open);
        return;
    }
    if (dataType_ != edtNumber) return;
    if (!g_numPad) {
        g_numPad = new TSharedNumPad(this);
        g_numPad->SetName("VqNumPad");
    }
    const bool open = g_numPad->Visible() && g_numPad->Owner() == this;
    if (!open) savedText_ = Text();
    g_numPad->OnAccept = [this](TObject*) { AcceptPopup(); };
    g_numPad->OnCancel = [this](TObject*) { CancelPopup(); };
    g_numPad->OnValueChange = [this](TObject*) {
        if (droppedDown_) SetText(g_numPad->DisplayText());
    };
    ShowPopup(!open);
}

void TVQEdit::ShowPopup(bool show) {
    TCustomControl* pad = dataType_ == edtDate ? static_cast<TCustomControl*>(g_datePad) : g_numPad;
    if (!pad) return;
    if (!show) {
        CancelPopup();
        pad->Hide();
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomForm* form = ::GetParentForm(this);
    if (!form) return;
    if (dataType_ == edtDate) {
        g_datePad->SetParent(form);
        droppedDown_ = true;
        g_datePad->Popup(-3, ClientHeight());
        return;
    }
    g_numPad->SetParent(form);
    double v = 0;
    g_numPad->SetValue(TryStrToFloat(Trim(Text()), v) ? v : 0);
    const TPoint at = form->ScreenToClient(ClientToScreen(Point(Width() - 3, ClientHeight())));
    droppedDown_ = true;
    g_numPad->Popup(at.X, at.Y);
}

void TVQEdit::AcceptPopup() {
    if (dataType_ == edtDate) {
        if (g_datePad && droppedDown_) {
            droppedDown_ = false;
            const TDateTime d = g_datePad->CalDate()->AsDateTime();
            SetText(d > 0 ? DateToStr(d) : "");
        }
        droppedDown_ = false;
        return;
    }
    if (g_numPad && droppedDown_) {
        droppedDown_ = false;
        SetText(FloatToStr(g_numPad->Value()));
    }
    droppedDown_ = false;
}

void TVQEdit::CancelPopup() {
    if (droppedDown_) SetText(savedText_);
    droppedDown_ = false;
}

void TVQEdit::KeyDown(Word& Key, TShiftState Shift) {
    TEdit::KeyDown(Key, Shift);
    switch (Key) {
    case VK_DOWN:
    case VK_RETURN:
        Key = 0;
        VqSelectNext(this, true);
        break;
    case VK_UP:
        Key = 0;
        VqSelectNext(this, false);
        break;
    case VK_ADD:
        if (button_->Visible()) {
            Key = 0;
            ButtonClick();
        }
        break;
    default: break;
    }
}

void TVQEdit::KeyPress(char32_t& Key) {
    TEdit::KeyPress(Key);
    if (Key == '+' && button_->Visible()) Key = 0;
    if (Key && !IsValidChar(Key)) Key = 0;
}

void TVQEdit::DoEnter() {
    focusColouring_ = true;
    if (Color() != clInfoBk) restoreColor_ = Color();
    SetColor(clInfoBk);
    focusColouring_ = false;
    TEdit::DoEnter();
    SelectAll();
    if (OnHotKeyHint) OnHotKeyHint(this, button_->Visible() ? HotKeyHintButton : "");
}

void TVQEdit::DoExit() {
    focusColouring_ = true;
    SetColor(restoreColor_);
    focusColouring_ = false;
    TEdit::DoExit();
    if (OnHotKeyHint) OnHotKeyHint(this, "");
}

void TVQEdit::ColorChanged() {
    TEdit::ColorChanged();
    // A colour the program assigns while the edit has the focus is the one
    // to return to when the focus leaves.
    if (!focusColouring_ && Color() != clInfoBk) restoreColor_ = Color();
}

void TVQEdit::DblClick() {
    TEdit::DblClick();
    if (button_->Visible()) ButtonClick();
}

void TVQEdit::Resize() {
    TEdit::Resize();
    button_->Layout();
}

void TVQEdit::EnabledChanged() {
    TEdit::EnabledChanged();
    if (dataType_ != edtText && dataType_ != edtPickList) button_->SetVisible(Enabled());
}
