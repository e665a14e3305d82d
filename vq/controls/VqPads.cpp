// Number pad and candidate list; see VqPads.h.
#include "vq/controls/VqPads.h"

#include "Forms.h"
#include "SysUtils.h"
#include "vq/controls/VqStdUtils.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kKey = 20;
constexpr int kOrigin = 2;

const char* const kLabels[19] = {"7", "8", "9", "/", "4", "5", "6", "*",  "1", "2",
                                 "3", "-", "0", ".", "±", "+", "C", "<-", "="};

TRect keyRect(int key) {
    if (key == 18) return Bounds(kOrigin + 2 * kKey, kOrigin + 4 * kKey, 2 * kKey, kKey);
    return Bounds(kOrigin + (key % 4) * kKey, kOrigin + (key / 4) * kKey, kKey, kKey);
}

char32_t decimalSeparator() { return char32_t(uint8_t(FormatSettings.DecimalSeparator)); }

bool isOperator(char32_t k) {
    return k == '\r' || k == '%' || k == '*' || k == '+' || k == '-' || k == '/' || k == '=';
}

} // namespace

TVQNumPad::TVQNumPad(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 84, 104);
    SetColor(clBtnFace);
    Font()->SetName("宋体");
    Font()->SetSize(9);
    Font()->SetStyle({fsBold});
    SetVisible(false);
}

void TVQNumPad::SetDisplayText(const std::string& v) {
    if (v == text_) return;
    text_ = v;
    Invalidate();
    if (OnValueChange) OnValueChange(this);
}

double TVQNumPad::Value() const {
    if (state_ == psError) return 0;
    double v = 0;
    return TryStrToFloat(Trim(text_), v) ? v : 0;
}

void TVQNumPad::SetValue(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%31.16f", v);
    std::string s = buf;
    const char sep = FormatSettings.DecimalSeparator;
    if (sep != '.') std::replace(s.begin(), s.end(), '.', sep);
    if (s.find(sep) != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == sep) s.pop_back();
    }
    s = Trim(s);
    if (s == "-0") s = "0";
    SetDisplayText(s);
}

int TVQNumPad::KeyAt(int x, int y) {
    x -= kOrigin;
    y -= kOrigin;
    if (x < 0 || y < 0 || x >= 4 * kKey || y >= 5 * kKey) return NoKey;
    const int row = y / kKey, col = x / kKey;
    if (row == 4) return col >= 2 ? 18 : 16 + col;
    return row * 4 + col;
}

char32_t TVQNumPad::KeyChar(int key) {
    switch (key) {
    case 13: return decimalSeparator();
    case 14: return '_';
    case 16: return 'C';
    case 17: return 8;
    case 18: return '\r';
    default: return key >= 0 && key < 19 ? char32_t(kLabels[key][0]) : 0;
    }
}

void TVQNumPad::startEntry() {
    if (state_ != psResult) return;
    state_ = psEntering;
    text_ = "0";
    Invalidate();
}

void TVQNumPad::ProcessKey(char32_t key) {
    if (key >= 'a' && key <= 'z') key = key - 'a' + 'A';
    if (state_ == psError && key != 'C') return;
    if (key == decimalSeparator()) {
        startEntry();
        if (text_.find(char(key)) == std::string::npos) SetDisplayText(text_ + char(key));
        return;
    }
    if (key == 8) {
        startEntry();
        if (text_.size() == 1 || (text_.size() == 2 && text_[0] == '-'))
            SetDisplayText("0");
        else
            SetDisplayText(text_.substr(0, text_.size() - 1));
        return;
    }
    if (key >= '0' && key <= '9') {
        startEntry();
        std::string t = text_ == "0" ? "" : text_;
        if (t.find('E') != std::string::npos) return;
        SetDisplayText(t + char(key));
        return;
    }
    if (isOperator(key)) {
        if (state_ == psEntering) {
            state_ = psResult;
            double v = Value();
            if (key == '%') {
                if (pending_ == '*' || pending_ == '/')
                    v = v / 100;
                else if (pending_ == '+' || pending_ == '-')
                    v = operand_ * v / 100;
            }
            switch (pending_) {
            case '*': v = operand_ * v; break;
            case '+': v = operand_ + v; break;
            case '-': v = operand_ - v; break;
            case '/':
                if (v == 0) {
                    state_ = psError;
                    SetDisplayText("Error");
                } else {
                    v = operand_ / v;
                }
                break;
            default: break;
            }
            if (state_ != psError) SetValue(v);
        }
        pending_ = key;
        operand_ = Value();
        if (key == '\r' && state_ != psError) Accept();
        return;
    }
    if (key == 'C') {
        state_ = psResult;
        pending_ = '=';
        SetDisplayText("0");
        Invalidate();
        return;
    }
    if (key == '_') SetValue(-Value());
}

void TVQNumPad::Popup(int x, int y) {
    if (Value() != 0) {
        state_ = psResult;
        pending_ = '=';
    }
    int left = x - Width() + 1, top = y + 1;
    if (TWinControl* p = Parent()) {
        left = std::clamp(left, 0, std::max(0, p->ClientWidth() - Width()));
        top = std::clamp(top, 0, std::max(0, p->ClientHeight() - Height()));
    }
    SetBounds(left, top, Width(), Height());
    BringToFront();
    Show();
    if (CanFocus()) SetFocus();
}

void TVQNumPad::Accept() {
    Hide();
    if (auto* p = dynamic_cast<TWinControl*>(Owner()); p && p->CanFocus()) p->SetFocus();
    if (OnAccept) OnAccept(this);
}

void TVQNumPad::Cancel() {
    Hide();
    if (auto* p = dynamic_cast<TWinControl*>(Owner()); p && p->CanFocus()) p->SetFocus();
    if (OnCancel) OnCancel(this);
}

void TVQNumPad::DoExit() {
    TCustomControl::DoExit();
    if (Visible()) Cancel();
}

void TVQNumPad::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    const char32_t k = Key;
    Key = 0;
    if (k == 27) {
        if (state_ == psEntering || state_ == psError)
            ProcessKey('C');
        else
            Cancel();
        return;
    }
    if (k == '.' || k == ',') {
        ProcessKey(decimalSeparator());
        return;
    }
    if (isOperator(k) || (k >= '0' && k <= '9') || k == 'C' || k == 'c' || k == '_' || k == 8) ProcessKey(k);
}

void TVQNumPad::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    pressed_ = KeyAt(X, Y);
    inside_ = pressed_ != NoKey;
    Invalidate();
}

void TVQNumPad::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int key = KeyAt(X, Y);
    if (pressed_ != NoKey) {
        inside_ = key == pressed_;
    } else {
        hot_ = key;
    }
    Invalidate();
}

void TVQNumPad::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || pressed_ == NoKey) return;
    const int key = pressed_;
    pressed_ = NoKey;
    if (KeyAt(X, Y) == key) {
        hot_ = key;
        ProcessKey(KeyChar(key));
    }
    Invalidate();
}

void TVQNumPad::MouseLeave() {
    TCustomControl::MouseLeave();
    hot_ = NoKey;
    Invalidate();
}

void TVQNumPad::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    c->Font()->Assign(Font());
    for (int key = 0; key < 19; ++key) {
        TRect k = keyRect(key);
        c->Brush()->SetColor(Color());
        c->FillRect(k);
        const bool down = key == pressed_ && inside_;
        TRect t = k;
        if (down) OffsetRect(t, 1, 1);
        c->Brush()->SetStyle(bsClear);
        c->DrawText(kLabels[key], -1, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c->Brush()->SetStyle(bsSolid);
        TRect edge = k;
        if (down)
            Frame3D(c, edge, clBtnShadow, clBtnHighlight, 1);
        else if (key == hot_ && pressed_ == NoKey)
            Frame3D(c, edge, clBtnHighlight, clBtnShadow, 1);
    }
    if (OnPaint) OnPaint(this);
}

// ------------------------------------------------------------ candidates

TVqIMEPad::TVqIMEPad(TComponent* AOwner) : TCustomControl(AOwner), items_(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 200, 190);
    SetColor(clBtnFace);
    Font()->SetName("宋体");
    Font()->SetSize(9);
    SetVisible(false);
}

TVqIMEPad::~TVqIMEPad() = default;

void TVqIMEPad::SetItemIndex(int v) {
    if (v == itemIndex_) return;
    itemIndex_ = v;
    Invalidate();
}

int TVqIMEPad::LineCount() const { return std::min(8, items_->Count()); }

void TVqIMEPad::Popup(int x, int y) {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(Font());
    int widest = 0;
    for (int i = 0; i < items_->Count(); ++i)
        widest = std::max(widest, DoubleByteTextWidth(probe.Canvas(), items_->Strings(i)));
    SetWidth(widest + 50);
    SetHeight(5 + 20 * (LineCount() + 1) + 6);
    if (Visible()) {
        Invalidate();
        return;
    }
    if (items_->Count() == 0) {
        Hide();
        return;
    }
    int left = x, top = y;
    if (TWinControl* p = Parent()) {
        if (top + Height() > p->ClientHeight()) top -= (editControl_ ? editControl_->Height() : 0) + Height();
        if (left + Width() > p->ClientWidth()) left = p->ClientWidth() - Width();
        left = std::max(0, left);
        top = std::max(0, top);
    }
    SetBounds(left, top, Width(), Height());
    BringToFront();
    Show();
}

void TVqIMEPad::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    Hide();
}

void TVqIMEPad::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (Y <= 20 * LineCount() + 40) SetItemIndex(Y / 20);
}

void TVqIMEPad::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    c->DrawEdge(r, EDGE_RAISED, BF_RECT);
    TRect inner = r;
    InflateRect(inner, -2, -2);
    c->DrawEdge(inner, EDGE_ETCHED, BF_RECT);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    auto etchedLine = [&](int y) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(5, y);
        c->LineTo(r.Right - 5, y);
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(5, y + 1);
        c->LineTo(r.Right - 5, y + 1);
    };
    TRect title = Rect(5, 5, r.Right - 5, 25);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clBlack);
    c->DrawText(Caption(), -1, title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    etchedLine(25);
    c->Font()->SetStyle({});
    for (int i = 0; i < LineCount(); ++i) {
        TRect line = Rect(5, 25 + 20 * i, r.Right - 5, 45 + 20 * i);
        c->Font()->SetColor(i + 1 == itemIndex_ ? clRed : clBlack);
        c->DrawText("·" + std::to_string(i + 1) + ": " + items_->Strings(i), -1, line,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        etchedLine(line.Bottom);
    }
    c->Brush()->SetStyle(bsSolid);
    if (OnPaint) OnPaint(this);
}
