#include "vq/controls/VqOutBar.h"

#include <algorithm>
#include <utility>

namespace {

const TColor kBack = RGB(128, 128, 128);
const TColor kFace = RGB(192, 192, 192);

bool Inside(const TRect& r, int X, int Y) { return X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom; }

} // namespace

TSWOutButton* TSWOutPanel::AddButton(const std::string& text, int imageIndex) {
    buttons_.push_back(std::make_unique<TSWOutButton>());
    buttons_.back()->Text = text;
    buttons_.back()->ImageIndex = imageIndex;
    return buttons_.back().get();
}

TVQOutBar::TVQOutBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
    SetWidth(150);
    SetAlign(alLeft);
    SetParentFont(true);
}

TVQOutBar::~TVQOutBar() = default;

TSWOutPanel* TVQOutBar::AddPanel(const std::string& text) {
    panels_.push_back(std::make_unique<TSWOutPanel>());
    panels_.back()->Text = text;
    Invalidate();
    return panels_.back().get();
}

void TVQOutBar::DeletePanel(int i) {
    if (i < 0 || i >= PanelCount()) return;
    panels_.erase(panels_.begin() + i);
    Invalidate();
}

void TVQOutBar::SetPanelIndex(int v) {
    hotTab_ = hotButton_ = -1;
    if (v == panelIndex_) return;
    panelIndex_ = v;
    firstButton_ = 0;
    Invalidate();
}

void TVQOutBar::SetTabHeight(int v) {
    if (v == tabHeight_) return;
    tabHeight_ = v;
    Invalidate();
}

void TVQOutBar::SetImages(TImageList* v) {
    images_ = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TVQOutBar::SetSmallImages(TImageList* v) {
    smallImages_ = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TVQOutBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == images_) images_ = nullptr;
    if (AComponent == smallImages_) smallImages_ = nullptr;
}

TImageList* TVQOutBar::listOf(const TSWOutPanel* p) const { return p->SmallImages ? smallImages_ : images_; }

void TVQOutBar::Paint() { layout(); }

void TVQOutBar::layout() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(kBack);
    c->FillRect(r);
    Frame3D(c, r, clBlack, clBtnHighlight, 1);
    // A panel deleted while open must not leave the index past the end.
    if (panelIndex_ >= PanelCount()) panelIndex_ = PanelCount() - 1;
    const int n = std::min(PanelCount(), 128);
    const int h = Height() - n * tabHeight_ - 2;
    int y = 1;
    content_ = TRect();
    for (int i = 0; i < n; ++i) {
        TSWOutPanel* p = panels_[size_t(i)].get();
        p->TabRect = TRect(1, y, Width() - 2, y + tabHeight_ - 1);
        y += tabHeight_;
        if (i == panelIndex_) {
            content_ = TRect(1, p->TabRect.Bottom + 1, Width() - 2, p->TabRect.Bottom + h);
            y += h;
        }
        drawTab(i, i == pressedTab_ ? stPressed : i == hotTab_ ? stHot : stNormal);
    }
    if (panelIndex_ >= 0 && panelIndex_ < n) layoutButtons(false);
}

void TVQOutBar::layoutButtons(bool restart) {
    TCanvas* c = Canvas();
    const TRect& R = content_;
    c->Brush()->SetColor(kBack);
    c->FillRect(R);
    upRect_ = TRect(R.Right - 25, R.Top + 5, R.Right - 6, R.Top + 24);
    downRect_ = TRect(R.Right - 25, R.Bottom - 25, R.Right - 6, R.Bottom - 6);
    upShown_ = downShown_ = false;
    lastButton_ = -1;
    TSWOutPanel* p = panels_[size_t(panelIndex_)].get();
    TImageList* list = listOf(p);
    if (p->ButtonCount() == 0 || !list) return;
    const int w = list->Width(), h = list->Height();
    const int ch = p->SmallImages ? h + 9 : h + 28;
    TRect cell(R.Left + 2, R.Top + 2, R.Right - 2, R.Top + 2 + ch - 1);
    TRect frame = p->SmallImages
                      ? TRect(cell.Left + 2, cell.Top + 2, cell.Left + w + 6, cell.Top + h + 6)
                      : TRect(cell.Left + (R.Width() - w - 10) / 2, cell.Top + 4,
                              cell.Left + (R.Width() - w - 10) / 2 + w + 10, cell.Top + h + 12);
    if (restart) firstButton_ = 0;
    firstButton_ = std::clamp(firstButton_, 0, p->ButtonCount() - 1);
    lastButton_ = std::min((R.Bottom - R.Top + 1) / ch + firstButton_ - 1, p->ButtonCount() - 1);
    for (int i = firstButton_; i <= lastButton_; ++i) {
        TSWOutButton* b = p->Buttons(i);
        b->CellRect = cell;
        b->FrameRect = frame;
        drawButton(i, i == pressedButton_ ? stPressed : i == hotButton_ ? stHot : stNormal);
        cell.Top += ch;
        cell.Bottom += ch;
        frame.Top += ch;
        frame.Bottom += ch;
    }
    upShown_ = firstButton_ > 0;
    downShown_ = lastButton_ < p->ButtonCount() - 1;
    if (upShown_) drawArrow(upRect_, true, upPressed_);
    if (downShown_) drawArrow(downRect_, false, downPressed_);
}

void TVQOutBar::drawTab(int i, TState s) {
    TCanvas* c = Canvas();
    TSWOutPanel* p = panels_[size_t(i)].get();
    TRect r = p->TabRect;
    c->Brush()->SetColor(kFace);
    c->FillRect(r);
    if (s == stHot)
        Frame3D(c, r, clBtnHighlight, clBlack, 1);
    else if (s == stNormal)
        Frame3D(c, r, cl3DLight, clBtnShadow, 1);
    else
        Frame3D(c, r, clBtnShadow, clBtnHighlight, 2);
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Font()->SetColor(clBlack);
    c->DrawText(p->Text, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
}

void TVQOutBar::drawButton(int i, TState s) {
    TCanvas* c = Canvas();
    TSWOutPanel* p = panels_[size_t(panelIndex_)].get();
    TSWOutButton* b = p->Buttons(i);
    TRect f = b->FrameRect;
    if (s == stHot)
        Frame3D(c, f, kFace, clBlack, 1);
    else if (s == stNormal)
        Frame3D(c, f, kBack, kBack, 1);
    else
        Frame3D(c, f, clBlack, kFace, 1);
    TImageList* list = listOf(p);
    const int w = list ? list->Width() : p->SmallImages ? 16 : 24;
    const int h = list ? list->Height() : p->SmallImages ? 16 : 24;
    const TRect& fr = b->FrameRect;
    if (list && b->ImageIndex >= 0 && b->ImageIndex < list->Count())
        list->Draw(c, fr.Left + (fr.Width() - w) / 2, fr.Top + (fr.Height() - h) / 2, b->ImageIndex);
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Font()->SetColor(clWhite);
    if (p->SmallImages) {
        TRect t(fr.Right + 4, b->CellRect.Top, b->CellRect.Right, b->CellRect.Bottom);
        c->DrawText(b->Text, -1, t, DT_LEFT | DT_SINGLELINE);
    } else {
        TRect t(b->CellRect.Left, fr.Bottom + 2, b->CellRect.Right, b->CellRect.Bottom);
        c->DrawText(b->Text, -1, t, DT_CENTER | DT_SINGLELINE);
    }
    c->Brush()->SetStyle(bsSolid);
}

void TVQOutBar::drawArrow(const TRect& r0, bool up, bool pressed) {
    TCanvas* c = Canvas();
    TRect r = r0;
    c->Brush()->SetColor(kFace);
    c->FillRect(r);
    if (pressed) {
        Frame3D(c, r, clBlack, cl3DLight, 1);
        Frame3D(c, r, kBack, kFace, 1);
    } else {
        Frame3D(c, r, cl3DLight, clBlack, 1);
        Frame3D(c, r, clWhite, kBack, 1);
    }
    c->Pen()->SetColor(clBlack);
    for (int i = 0; i <= 4; ++i) {
        const int row = up ? r0.Top + 11 - i : r0.Top + 8 + i;
        c->MoveTo(r0.Left + 5 + i, row);
        c->LineTo(r0.Left + 13 - i, row);
    }
}

int TVQOutBar::tabAt(int X, int Y) const {
    for (int i = 0; i < PanelCount(); ++i)
        if (Inside(panels_[size_t(i)]->TabRect, X, Y)) return i;
    return -1;
}

int TVQOutBar::buttonAt(int X, int Y, bool frameOnly) const {
    if (panelIndex_ < 0 || panelIndex_ >= PanelCount()) return -1;
    TSWOutPanel* p = panels_[size_t(panelIndex_)].get();
    for (int i = firstButton_; i <= lastButton_ && i < p->ButtonCount(); ++i)
        if (Inside(frameOnly ? p->Buttons(i)->FrameRect : p->Buttons(i)->CellRect, X, Y)) return i;
    return -1;
}

void TVQOutBar::MouseMove(TShiftState Shift, int X, int Y) {
    const int tab = tabAt(X, Y);
    SetCursor(tab >= 0 ? crHandPoint : crDefault);
    if (!Shift.Contains(ssLeft)) {
        if (tab != hotTab_) {
            hotTab_ = tab;
            Invalidate();
        }
        if (panelIndex_ >= PanelCount()) panelIndex_ = PanelCount() - 1;
        const int b = buttonAt(X, Y, false);
        if (b != hotButton_) {
            hotButton_ = b;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TVQOutBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    pressedTab_ = pressedButton_ = -1;
    bool arrow = false;
    if (upShown_ && Inside(upRect_, X, Y)) {
        upPressed_ = arrow = true;
    } else if (downShown_ && Inside(downRect_, X, Y)) {
        downPressed_ = arrow = true;
    } else if (const int t = tabAt(X, Y); t >= 0) {
        pressedTab_ = t;
        hotButton_ = -1;
    } else {
        pressedButton_ = buttonAt(X, Y, true);
    }
    if (arrow) {
        timer_ = std::make_unique<TTimer>(nullptr);
        timer_->SetInterval(200);
        timer_->OnTimer = [this](TObject*) { tick(); };
        timer_->SetEnabled(true);
    }
    Invalidate();
}

void TVQOutBar::tick() {
    if ((upPressed_ && !upShown_) || (downPressed_ && !downShown_)) {
        if (timer_) timer_->SetEnabled(false);
        return;
    }
    if (upPressed_) --firstButton_;
    if (downPressed_) ++firstButton_;
    Repaint();
}

void TVQOutBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (upPressed_ || downPressed_) {
        timer_.reset();
        const bool up = upPressed_;
        upPressed_ = downPressed_ = false;
        if (up && upShown_) --firstButton_;
        if (!up && downShown_) ++firstButton_;
        Repaint();
        return;
    }
    if (pressedTab_ >= 0) {
        const int t = std::exchange(pressedTab_, -1);
        SetPanelIndex(t);
        Repaint();
        if (t < PanelCount() && panels_[size_t(t)]->onClick) panels_[size_t(t)]->onClick(panels_[size_t(t)].get());
        return;
    }
    if (pressedButton_ >= 0) {
        const int b = std::exchange(pressedButton_, -1);
        Repaint();
        if (panelIndex_ >= 0 && panelIndex_ < PanelCount() && b < Panels(panelIndex_)->ButtonCount()) {
            TSWOutButton* btn = Panels(panelIndex_)->Buttons(b);
            if (btn->onClick) btn->onClick(btn);
        }
    }
}
