// The extra controls: panel, bevel, shape, image, notebook, radio group,
// splitter and the timer.
#pragma once

#include "Controls.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

class TPicture;
class TStrings;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with a centred caption and up to two bevels.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);
    std::string ClassName() const override { return "TPanel"; }
    void SetText(const std::string& v) override;
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v) {
        bevelInner_ = v;
        Invalidate();
    }
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v) {
        bevelOuter_ = v;
        Invalidate();
    }
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v) {
        bevelWidth_ = v;
        Realign();
        Invalidate();
    }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v) {
        borderWidth_ = v;
        Realign();
        Invalidate();
    }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v) {
        alignment_ = v;
        Invalidate();
    }

protected:
    void Paint() override;
    void AlignControls(TRect& Rect) override;

private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    std::string ClassName() const override { return "TBevel"; }
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape v) {
        shape_ = v;
        Invalidate();
    }
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle v) {
        style_ = v;
        Invalidate();
    }

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    std::string ClassName() const override { return "TShape"; }
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v) {
        shape_ = v;
        Invalidate();
    }
    TPen* Pen() const { return pen_; }
    TBrush* Brush() const { return brush_; }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TPen* pen_;
    TBrush* brush_;
};

// A picture. LoadFromFile errors leave the picture as it was.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }
    TPicture* Picture() const { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v) {
        stretch_ = v;
        Invalidate();
    }
    bool Center() const { return center_; }
    void SetCenter(bool v) {
        center_ = v;
        Invalidate();
    }
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v) {
        proportional_ = v;
        Invalidate();
    }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) {
        transparent_ = v;
        Invalidate();
    }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) {
        autoSize_ = v;
        pictureChanged();
    }

protected:
    void Paint() override;

private:
    void pictureChanged();
    TPicture* picture_;
    bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false, autoSize_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled (and OnTimer set).
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;
    // Starts or stops the timer after OnTimer was assigned or cleared.
    void UpdateTimer();

private:
    class Impl;
    Impl* impl_;
    bool enabled_ = true;
    int interval_ = 1000;
};

// One page of a notebook: a plain container.
class TPage : public TWinControl {
public:
    explicit TPage(TComponent* AOwner) : TWinControl(AOwner) {}
    std::string ClassName() const override { return "TPage"; }
};

// Pages stacked on each other, one shown at a time, named by Pages().
class TNotebook : public TWinControl {
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;
    std::string ClassName() const override { return "TNotebook"; }
    // The page names; adding or deleting a name adds or deletes a page.
    TStrings* Pages() const;
    TPage* Page(int i) const;
    int PageIndex() const { return pageIndex_; }
    void SetPageIndex(int v);
    std::string ActivePage() const;
    // Raises EInvalidOperation when no page has that name.
    void SetActivePage(const std::string& name);
    TNotifyEvent OnPageChanged;

private:
    void syncPages();
    class PageList;
    PageList* pages_;
    std::vector<TPage*> pageControls_;
    int pageIndex_ = -1;
};

// A group box of radio buttons made from Items, in Columns columns.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    std::string ClassName() const override { return "TRadioGroup"; }
    TStrings* Items() const;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    int Columns() const { return columns_; }
    void SetColumns(int v) {
        columns_ = v;
        arrange();
    }
    TRadioButton* Buttons(int i) const { return buttons_.at(size_t(i)); }

protected:
    void Resize() override;

private:
    void rebuild();
    void arrange();
    class ItemList;
    ItemList* items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
};

// Drag bar between two aligned controls: dragging resizes the control it
// is aligned against.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    std::string ClassName() const override { return "TSplitter"; }
    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = v; }
    TNotifyEvent OnMoved;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    TControl* target() const;
    int minSize_ = 30;
    bool dragging_ = false;
    TPoint start_;
    int startSize_ = 0;
};
