#include "report/toolkit/RM_Common.h"

#include <algorithm>
#include <cmath>

#include "Dialogs.h"
#include "Registry.h"
#include "ScopeExit.h"
#include "Sound.h"
#include "SysUtils.h"

const char* const RMRegRootKey = "Software\\Pellucane\\Vodidi Verovev";

// ------------------------------------------------------------ positions

namespace {
std::string sectionOf(TCustomToolWindow97* w) {
    if (dynamic_cast<TRMResizeableToolWindow*>(w)) return "Form\\" + w->ClassName();
    return "ToolBar\\" + w->Name();
}
} // namespace

void SaveToolWindowPosition(TCustomToolWindow97* w) {
    TRegIniFile ini(RMRegRootKey);
    std::string s = sectionOf(w);
    bool docked = w->Docked();
    ini.WriteString(s, "isVisible", w->Visible() ? "1" : "0");
    TPoint fp = w->FloatingForm() && !docked ? TPoint(w->FloatingForm()->Left(), w->FloatingForm()->Top())
                                             : w->FloatingPosition();
    ini.WriteString(s, "XPosition", std::to_string(docked ? w->DockPos() : fp.X));
    ini.WriteString(s, "YPosition", std::to_string(docked ? w->DockRow() : fp.Y));
    ini.WriteString(s, "Width", std::to_string(w->Width()));
    ini.WriteString(s, "Height", std::to_string(w->Height()));
    ini.WriteString(s, "DockName", docked ? w->DockedTo()->Name() : "");
    ini.WriteString(s, "Docked", docked ? "1" : "0");
}

void RestoreToolWindowPosition(TCustomToolWindow97* w) {
    TRegIniFile ini(RMRegRootKey);
    std::string s = sectionOf(w);
    auto num = [&](const char* name, int def) {
        int v;
        return TryStrToInt(ini.ReadString(s, name, ""), v) ? v : def;
    };
    auto flag = [&](const char* name, bool def) {
        std::string v = ini.ReadString(s, name, def ? "1" : "0");
        return v == "1" || SameText(v, "true");
    };
    bool visible = flag("isVisible", true);
    w->Hide();
    bool docked = flag("Docked", true);
    int x = num("XPosition", docked && w->Docked() ? w->DockPos() : w->Left());
    int y = num("YPosition", docked && w->Docked() ? w->DockRow() : w->Top());
    int width = num("Width", w->Width()), height = num("Height", w->Height());
    if (auto* r = dynamic_cast<TRMResizeableToolWindow*>(w)) {
        width = std::max(40, width);
        height = std::max(40, height);
        // The client area is what is left inside the frame and handle.
        TSize whole = r->OrderControls(false);
        int frameW = whole.cx - std::max(r->MinClientWidth, r->ClientAreaWidth);
        int frameH = whole.cy - std::max(r->MinClientHeight, r->ClientAreaHeight);
        r->MinClientWidth = std::min(r->MinClientWidth, width - frameW);
        r->MinClientHeight = std::min(r->MinClientHeight, height - frameH);
        r->ClientAreaWidth = width - frameW;
        r->ClientAreaHeight = height - frameH;
    }
    w->SetBounds(w->Left(), w->Top(), width, height);
    if (docked) {
        std::string dockName = ini.ReadString(s, "DockName", "");
        TComponent* c = w->Owner() && !dockName.empty() ? w->Owner()->FindComponent(dockName) : nullptr;
        if (c) {
            auto* d = dynamic_cast<TDock97*>(c);
            if (!d) throw EInvalidCast("Invalid class typecast");
            d->LockArrange();
            ScopeExit unlock([d] { d->UnlockArrange(); });
            w->SetDockedTo(d);
            w->SetDockRow(y);
            w->SetDockPos(x);
        }
    } else {
        w->SetFloatingPosition(TPoint(x, y));
        w->SetDockedTo(nullptr);
    }
    w->SetVisible(visible);
}

void SaveToolWindowPositions(std::initializer_list<TCustomToolWindow97*> ws) {
    for (auto* w : ws) SaveToolWindowPosition(w);
}

void RestoreToolWindowPositions(std::initializer_list<TCustomToolWindow97*> ws) {
    for (auto* w : ws) RestoreToolWindowPosition(w);
}

// ------------------------------------------------------------ resizeable tool window

TRMResizeableToolWindow::TRMResizeableToolWindow(TComponent* owner) : TToolWindow97(owner) {}

void TRMResizeableToolWindow::SavePosition() { SaveToolWindowPosition(this); }
void TRMResizeableToolWindow::RestorePosition() { RestoreToolWindowPosition(this); }

TSize TRMResizeableToolWindow::OrderControls(bool vertical) {
    TSize s = TToolWindow97::OrderControls(vertical);
    // The strip facing the form's centre is the sizing edge.
    if (Docked()) {
        s.cx += 2;
        s.cy += 2;
    }
    return s;
}

int TRMResizeableToolWindow::SizeHitTest(int x, int y) const {
    if (!Docked()) return 0;
    TDockPosition p = DockedTo()->Position();
    int W = ClientWidth(), H = ClientHeight();
    int r = 0;
    if (y >= -2 && y <= 2 && p == dpBottom) r = 1;
    if (y >= H - 4 && y <= H && p != dpBottom) r = 3;
    if (x >= -2 && x <= 2 && p == dpRight) r = 2;
    if (x >= W - 4 && x <= W && p != dpRight) r = 4;
    if (FullSize) {
        bool vert = p == dpLeft || p == dpRight;
        if (vert && r != 2 && r != 4) r = 0;
        if (!vert && r != 1 && r != 3) r = 0;
    }
    return r;
}

void TRMResizeableToolWindow::BeginSizing(int edge, TPoint screen) {
    edge_ = edge;
    bool vert = edge == 1 || edge == 3;
    startSize_ = vert ? Height() : Width();
    startCoord_ = vert ? screen.Y : screen.X;
    // Every window the drag may size, for Esc.
    starts_.clear();
    if (TDock97* d = DockedTo()) {
        for (auto* t : d->ToolWindows())
            if (auto* w = dynamic_cast<TToolWindow97*>(t); w && w->Docked() && w->DockRow() == DockRow())
                starts_.push_back({w, w->ClientAreaWidth, w->ClientAreaHeight});
    } else {
        starts_.push_back({this, ClientAreaWidth, ClientAreaHeight});
    }
    static const int codes[] = {0, 2, 0, 5, 1};
    SizingStarted(codes[edge]);
    SetMouseCapture(true);
}

void TRMResizeableToolWindow::apply(int size) {
    bool vert = edge_ == 1 || edge_ == 3;
    int frame = vert ? Height() - ClientAreaHeight : Width() - ClientAreaWidth;
    int minSize = (vert ? MinClientHeight : MinClientWidth) + frame;
    size = std::max(size, minSize);
    std::vector<TToolWindow97*> sized{this};
    if (TDock97* d = DockedTo()) {
        if (d->Vertical() != vert) {
            // Across the dock the whole row takes the size, no smaller than
            // the largest minimum among its windows.
            sized.clear();
            for (auto* t : d->ToolWindows())
                if (auto* w = dynamic_cast<TToolWindow97*>(t); w && w->Docked() && w->DockRow() == DockRow()) {
                    sized.push_back(w);
                    size = std::max(size, (vert ? w->MinClientHeight : w->MinClientWidth) + frame);
                }
        } else {
            int largest = vert ? d->Height() - Top() : d->Width() - Left();
            size = std::min(size, std::max(minSize, largest));
        }
    }
    // The row's windows share this one's frame: their own outer size is
    // the row's, not theirs.
    for (auto* w : sized) (vert ? w->ClientAreaHeight : w->ClientAreaWidth) = size - frame;
    if (DockedTo()) DockedTo()->ArrangeBars();
    ArrangeControls();
}

void TRMResizeableToolWindow::SizeTo(TPoint screen) {
    if (!edge_) return;
    bool vert = edge_ == 1 || edge_ == 3;
    bool fromStart = edge_ == 1 || edge_ == 2;
    int cur = vert ? screen.Y : screen.X;
    apply(startSize_ + (fromStart ? startCoord_ - cur : cur - startCoord_));
}

void TRMResizeableToolWindow::EndSizing(bool accept) {
    if (!edge_) return;
    if (!accept) {
        for (auto& st : starts_) {
            st.window->ClientAreaWidth = st.width;
            st.window->ClientAreaHeight = st.height;
        }
        if (DockedTo()) DockedTo()->ArrangeBars();
        ArrangeControls();
    }
    edge_ = 0;
    SetMouseCapture(false);
    SizingEnded(accept);
}

void TRMResizeableToolWindow::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    int e = b == mbLeft ? SizeHitTest(x, y) : 0;
    if (e) {
        BeginSizing(e, ClientToScreen(TPoint(x, y)));
        return;
    }
    TToolWindow97::MouseDown(b, s, x, y);
}

void TRMResizeableToolWindow::MouseMove(TShiftState s, int x, int y) {
    if (edge_) {
        SizeTo(ClientToScreen(TPoint(x, y)));
        return;
    }
    int e = SizeHitTest(x, y);
    SetCursor(e == 1 || e == 3 ? crVSplit : e ? crHSplit : crDefault);
    TToolWindow97::MouseMove(s, x, y);
}

void TRMResizeableToolWindow::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (edge_ && b == mbLeft) {
        SizeTo(ClientToScreen(TPoint(x, y)));
        EndSizing(true);
        return;
    }
    TToolWindow97::MouseUp(b, s, x, y);
}

void TRMResizeableToolWindow::KeyDown(Word& key, TShiftState s) {
    if (edge_ && key == VK_ESCAPE) {
        EndSizing(false);
        key = 0;
        return;
    }
    TToolWindow97::KeyDown(key, s);
}

// ------------------------------------------------------------ spin edit

namespace {
constexpr int kUpDownWidth = 15;
}

TRMUpDown::TRMUpDown(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 15, 21); }

void TRMUpDown::Paint() {
    TCanvas* c = Canvas();
    int h = Height(), w = Width(), mid = h / 2;
    for (int part = 1; part <= 2; ++part) {
        TRect r = part == 1 ? TRect(0, 0, w, mid) : TRect(0, mid, w, h);
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(r);
        TRect e = r;
        c->DrawEdge(e, pressed_ == part ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        int cx = r.Left + w / 2 + (pressed_ == part ? 1 : 0), cy = r.Top + r.Height() / 2 + (pressed_ == part ? 1 : 0);
        TColor col = Enabled() ? clBlack : clGrayText;
        c->Pen()->SetColor(col);
        c->Brush()->SetColor(col);
        if (part == 1)
            c->Polygon({TPoint(cx - 3, cy + 1), TPoint(cx + 3, cy + 1), TPoint(cx, cy - 2)});
        else
            c->Polygon({TPoint(cx - 3, cy - 1), TPoint(cx + 3, cy - 1), TPoint(cx, cy + 2)});
    }
}

void TRMUpDown::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    if (b != mbLeft || !Enabled()) return;
    pressed_ = y < Height() / 2 ? 1 : 2;
    Invalidate();
    if (OnStep) OnStep(pressed_ == 1);
}

void TRMUpDown::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseUp(b, s, x, y);
    pressed_ = 0;
    Invalidate();
}

TRMSpinEdit::TRMSpinEdit(TComponent* owner) : TEdit(owner) {
    button_ = new TRMUpDown(this);
    button_->OnStep = [this](bool up) {
        if (TabStop() && CanFocus() && !Focused()) SetFocus();
        if (up)
            UpClick();
        else
            DownClick();
    };
    SetText("0");
}

void TRMSpinEdit::placeButton() {
    button_->SetBounds(Left() + Width(), Top(), kUpDownWidth, Height());
    button_->BringToFront();
}

void TRMSpinEdit::SetBounds(int l, int t, int w, int h) {
    // The given width holds the edit and its arrows.
    TEdit::SetBounds(l, t, std::max(10, w - kUpDownWidth), h);
    if (button_) placeButton();
}

void TRMSpinEdit::SetParent(TWinControl* p) {
    TEdit::SetParent(p);
    if (button_) {
        button_->SetParent(p);
        placeButton();
    }
}

void TRMSpinEdit::SetEnabled(bool v) {
    TEdit::SetEnabled(v);
    button_->SetEnabled(v);
}

void TRMSpinEdit::SetVisible(bool v) {
    TEdit::SetVisible(v);
    button_->SetVisible(v);
}

void TRMSpinEdit::SetValueType(TRMValueType v) {
    double cur = Value();
    valueType_ = v;
    if (v == rmvtInteger) {
        Increment = std::nearbyint(Increment);
        if (Increment == 0) Increment = 1;
    }
    SetValue(cur);
}

void TRMSpinEdit::SetDecimal(int v) {
    double cur = Value();
    decimal_ = std::clamp(v, 0, 15);
    SetValue(cur);
}

double TRMSpinEdit::CheckValue(double v) const {
    if (MinValue == MaxValue) return v;
    return std::clamp(v, MinValue, MaxValue);
}

double TRMSpinEdit::Value() const {
    std::string t = Trim(Text());
    if (t.empty()) return 0;
    if (valueType_ == rmvtFloat) {
        double d;
        for (char& c : t)
            if (c == ',') c = '.';
        return TryStrToFloat(t, d) ? d : MinValue;
    }
    int i;
    return TryStrToInt(t, i) ? double(i) : std::trunc(MinValue);
}

void TRMSpinEdit::SetValue(double v) {
    v = CheckValue(v);
    if (valueType_ == rmvtFloat)
        SetText(FormatFloat(decimal_ > 0 ? "0." + std::string(size_t(decimal_), '0') : "0", v));
    else
        SetText(std::to_string(int64_t(std::nearbyint(v))));
}

void TRMSpinEdit::step(double by) {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    std::string before = Text();
    stepping_ = true;
    SetValue(Value() + by);
    stepping_ = false;
    if (!SameText(before, Text()) && OnChange) OnChange(this);
}

void TRMSpinEdit::UpClick() {
    step(Increment);
    if (OnTopClick) OnTopClick(this);
}

void TRMSpinEdit::DownClick() {
    step(-Increment);
    if (OnBottomClick) OnBottomClick(this);
}

bool TRMSpinEdit::IsValidChar(char32_t c) const {
    if (c < 32) return true;
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return true;
    if (valueType_ == rmvtFloat) {
        std::string t = Text();
        if ((c == '.' || c == ',') && t.find('.') == std::string::npos && t.find(',') == std::string::npos) return true;
        if ((c == 'e' || c == 'E') && UpperCase(t).find('E') == std::string::npos) return true;
    }
    return false;
}

void TRMSpinEdit::KeyDown(Word& key, TShiftState s) {
    if (ArrowKeys && (key == VK_UP || key == VK_DOWN)) {
        if (key == VK_UP)
            UpClick();
        else
            DownClick();
        key = 0;
        return;
    }
    TEdit::KeyDown(key, s);
}

void TRMSpinEdit::KeyPress(char32_t& key) {
    bool refused = !IsValidChar(key) || (!EditorEnabled && (key >= 32 || key == 8));
    if (refused) {
        key = 0;
        MessageBeep(0);
        return;
    }
    TEdit::KeyPress(key);
}

void TRMSpinEdit::DoExit() {
    TEdit::DoExit();
    double v = Value();
    if (CheckValue(v) != v) SetValue(v);
}
