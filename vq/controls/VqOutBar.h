// The panel bar: a stack of panel tabs, one of them open, the open panel
// showing a column of picture buttons with captions that two arrow buttons
// scroll when they do not fit. A click on a tab opens its panel and calls
// the panel's onClick; a click on a button's picture calls the button's.
// Layout and drawing happen together on every paint, so the open panel
// always lies within the panels there are.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "ExtCtrls.h"
#include "ImgList.h"

class TSWOutButton : public TObject {
public:
    std::string Text;
    int ImageIndex = 0;
    TNotifyEvent onClick;
    // Laid out by the bar for the visible buttons.
    TRect CellRect;
    TRect FrameRect;
};

class TSWOutPanel : public TObject {
public:
    std::string Text;
    TNotifyEvent onClick;
    // Small pictures with the caption beside them; else large ones with the
    // caption below.
    bool SmallImages = false;
    TSWOutButton* AddButton(const std::string& text, int imageIndex = 0);
    int ButtonCount() const { return int(buttons_.size()); }
    TSWOutButton* Buttons(int i) const { return buttons_[size_t(i)].get(); }
    TRect TabRect;

private:
    std::vector<std::unique_ptr<TSWOutButton>> buttons_;
};

class TVQOutBar : public TCustomControl {
public:
    explicit TVQOutBar(TComponent* AOwner);
    ~TVQOutBar() override;
    std::string ClassName() const override { return "TVQOutBar"; }

    TSWOutPanel* AddPanel(const std::string& text);
    void DeletePanel(int i);
    int PanelCount() const { return int(panels_.size()); }
    TSWOutPanel* Panels(int i) const { return panels_[size_t(i)].get(); }
    int PanelIndex() const { return panelIndex_; }
    void SetPanelIndex(int v);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int v);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    TImageList* SmallImages() const { return smallImages_; }
    void SetSmallImages(TImageList* v);

    // What the last layout found.
    int FirstVisibleButton() const { return firstButton_; }
    int LastVisibleButton() const { return lastButton_; }
    bool UpArrowShown() const { return upShown_; }
    bool DownArrowShown() const { return downShown_; }
    const TRect& UpArrowRect() const { return upRect_; }
    const TRect& DownArrowRect() const { return downRect_; }
    const TRect& ContentRect() const { return content_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    enum TState { stNormal, stHot, stPressed };
    void layout();
    void layoutButtons(bool restart);
    void drawTab(int i, TState s);
    void drawButton(int i, TState s);
    void drawArrow(const TRect& r, bool up, bool pressed);
    int tabAt(int X, int Y) const;
    int buttonAt(int X, int Y, bool frameOnly) const;
    TImageList* listOf(const TSWOutPanel* p) const;
    void tick();

    std::vector<std::unique_ptr<TSWOutPanel>> panels_;
    TRect content_;
    std::unique_ptr<TTimer> timer_;
    int firstButton_ = 0, lastButton_ = -1;
    TRect upRect_, downRect_;
    bool upShown_ = false, upPressed_ = false;
    bool downShown_ = false, downPressed_ = false;
    int panelIndex_ = 0;
    int tabHeight_ = 23;
    int pressedTab_ = -1, pressedButton_ = -1, hotButton_ = -1, hotTab_ = -1;
    TImageList* images_ = nullptr;
    TImageList* smallImages_ = nullptr;
};
