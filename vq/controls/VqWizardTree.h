// The steps of a wizard drawn as a diagram on a panel: the first step at
// the top left, the middle ones indented under it, the last back at the
// left, each a coloured box and its caption, joined by lines. The current
// step has its own box colour and a bold caption; clicking a step makes it
// current unless OnChanging refuses.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ExtCtrls.h"

using TVQWizardChangingEvent = std::function<void(TObject* Sender, int NewIndex, bool& AllowChange)>;

class TVQWizardTree : public TPanel {
public:
    explicit TVQWizardTree(TComponent* AOwner);
    ~TVQWizardTree() override;
    std::string ClassName() const override { return "TVQWizardTree"; }

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* v);
    int ItemIndex() const { return itemIndex_; }
    // Below -1, or not below the number of steps: ignored.
    void SetItemIndex(int v);
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor v) { set(lineColor_, v); }
    TColor SelectedBoxColor() const { return selectedBoxColor_; }
    void SetSelectedBoxColor(TColor v) { set(selectedBoxColor_, v); }
    TColor BoxColor() const { return boxColor_; }
    void SetBoxColor(TColor v) { set(boxColor_, v); }
    int BoxHeight() const { return boxHeight_; }
    void SetBoxHeight(int v) { set(boxHeight_, v); }
    int BoxWidth() const { return boxWidth_; }
    void SetBoxWidth(int v) { set(boxWidth_, v); }
    int HorizontalSpace() const { return horizontalSpace_; }
    void SetHorizontalSpace(int v) { set(horizontalSpace_, v); }
    int VerticalSpace() const { return verticalSpace_; }
    void SetVerticalSpace(int v) { set(verticalSpace_, v); }
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int v) { set(topMargin_, v); }
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int v) { set(leftMargin_, v); }

    TVQWizardChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // Each step's clickable area as the last paint measured it.
    const std::vector<TRect>& ItemRects() const { return rects_; }

protected:
    void Paint() override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    template <class T>
    void set(T& field, T v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    void drawItem(int index, bool current);
    std::unique_ptr<TStringList> items_;
    int itemIndex_ = 0;
    TColor lineColor_ = 255;
    TColor selectedBoxColor_ = 65280;
    TColor boxColor_ = 65535;
    int boxHeight_ = 17;
    int boxWidth_ = 16;
    int horizontalSpace_ = 4;
    int verticalSpace_ = 8;
    int topMargin_ = 4;
    int leftMargin_ = 4;
    std::vector<TRect> rects_;
    TPoint lastDown_{-1, -1};
};
