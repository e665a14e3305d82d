#include "vq/controls/VqWizardTree.h"

TVQWizardTree::TVQWizardTree(TComponent* AOwner) : TPanel(AOwner), items_(std::make_unique<TStringList>()) {
    for (const char* s : {"Start", "First Page", "Second Page", "Finish"}) items_->Add(s);
    SetCaption("");
    SetBevelOuter(bvNone);
    Font()->SetColor(clWhite);
    SetColor(TColor(8421376));
    SetWidth(133);
    SetHeight(140);
}

TVQWizardTree::~TVQWizardTree() = default;

void TVQWizardTree::SetItems(TStrings* v) {
    if (v) items_->Assign(v);
    else items_->Clear();
    Invalidate();
}

void TVQWizardTree::SetItemIndex(int v) {
    if (v < -1 || v >= items_->Count()) return;
    set(itemIndex_, v);
}

void TVQWizardTree::drawItem(int index, bool current) {
    const int n = items_->Count();
    if (index < 0 || index >= n || index >= int(rects_.size())) return;
    TCanvas* c = Canvas();
    TRect& r = rects_[size_t(index)];
    const int B = boxWidth_, H = horizontalSpace_, K = boxHeight_;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(current ? selectedBoxColor_ : boxColor_);
    c->FillRect(TRect(r.Left, r.Top, r.Left + B, r.Bottom));
    int textX = r.Left + B + H;
    if (index == 0 || index == n - 1) textX += B / 2 + H;
    c->Font()->Assign(Font());
    c->Font()->SetStyle(current ? TFontStyles{fsBold} : TFontStyles{});
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(r.Left + B + H, r.Top, r.Right, r.Bottom));
    const std::string& text = items_->Strings(index);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(textX, r.Top + (K - c->TextHeight(text)) / 2, text);
    c->Brush()->SetStyle(bsSolid);
    r = TRect(r.Left, r.Top, r.Left + c->TextWidth(text) + B + H, r.Top + K);
}

void TVQWizardTree::Paint() {
    TCanvas* c = Canvas();
    const int n = items_->Count();
    const int B = boxWidth_, H = horizontalSpace_, V = verticalSpace_, K = boxHeight_;
    rects_.resize(size_t(n));
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Pen()->SetColor(lineColor_);
    int y = topMargin_ + V;
    for (int i = 0; i < n; ++i) {
        const bool edge = i == 0 || i == n - 1;
        const int x = edge ? leftMargin_ + H : leftMargin_ + B + 2 * H;
        c->Font()->Assign(Font());
        c->Font()->SetStyle(i == itemIndex_ ? TFontStyles{fsBold} : TFontStyles{});
        rects_[size_t(i)] = TRect(x, y, x + c->TextWidth(items_->Strings(i)) + B + H, y + K);
        drawItem(i, i == itemIndex_);
        y += 2 * V + K;
        c->Pen()->SetColor(lineColor_);
        if (i == n - 1) continue;
        if (i == 0) {
            c->MoveTo(x + B, y - V - K);
            c->LineTo(x + H + B + B / 2, y - V - K);
            c->LineTo(x + H + B + B / 2, y + V);
        } else if (i == n - 2) {
            c->MoveTo(x + B / 2, y - 2 * V);
            c->LineTo(x + B / 2, y + V);
            c->LineTo(x - B - 1, y + V);
        } else {
            c->MoveTo(x + B / 2, y - 2 * V);
            c->LineTo(x + B / 2, y);
        }
    }
    // The trunk from the first box down to the last one; with fewer than
    // three steps its length would be negative, and there is none to draw.
    const int length = (n - 2) * K + 4 * V + 2 * V * (n - 3);
    if (n >= 3 && length > 0) {
        const int tx = leftMargin_ + H + B / 2;
        c->MoveTo(tx, topMargin_ + V + K);
        c->LineTo(tx, topMargin_ + V + K + length);
    }
}

void TVQWizardTree::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    lastDown_ = {X, Y};
    TPanel::MouseDown(Button, Shift, X, Y);
}

void TVQWizardTree::Click() {
    TPanel::Click();
    int hit = -1;
    for (size_t i = 0; i < rects_.size(); ++i) {
        const TRect& r = rects_[i];
        if (lastDown_.X >= r.Left && lastDown_.X < r.Right && lastDown_.Y >= r.Top && lastDown_.Y < r.Bottom) {
            hit = int(i);
            break;
        }
    }
    if (hit < 0 || hit == itemIndex_) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, hit, allow);
    if (!allow) return;
    SetItemIndex(hit);
    Repaint();
    if (OnChange) OnChange(this);
}
