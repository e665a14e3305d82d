// The flat painting of a form's ordinary controls: which controls the menu
// painter takes over, the flags it keeps from their messages, and what it
// paints over them, judged in grabbed pictures of the form.
#include "vq/controls/VqXPControls.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "vq/controls/VqStdCtrls.h"
#include "vq/controls/VqXPMenu.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

QColor Q(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

class XPControls : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQXPMenu* xp = new TVQXPMenu(&form);

    template <class T>
    T* add(int x, int y, int w, int h, TWinControl* parent = nullptr) {
        auto* c = new T(&form);
        c->SetParent(parent ? parent : &form);
        c->SetBounds(x, y, w, h);
        return c;
    }
    void SetUp() override { form.SetBounds(50, 50, 420, 300); }
    QImage shot(const char* name) {
        const std::string path = std::string(BUILD_DIR) + "/test-output/screens/" + name;
        EXPECT_TRUE(SaveFormPng(&form, path));
        return QImage(QString::fromStdString(path));
    }
    // Where (x, y) of the control lies in the form's picture.
    QPoint at(TControl* c, int x, int y) const {
        const TPoint p = c->ClientToScreen(TPoint{x, y});
        const TPoint o = form.ClientToScreen(TPoint{0, 0});
        return QPoint(p.X - o.X, p.Y - o.Y);
    }
    // Pixels of colour inside the control's rectangle.
    int count(const QImage& img, TControl* c, const QColor& colour) const {
        int n = 0;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) n += img.pixelColor(at(c, x, y)) == colour;
        return n;
    }
};

TEST_F(XPControls, walkTakesControlsByKindAndContainer) {
    auto* onForm = add<TButton>(10, 10, 80, 25);
    auto* box = add<TGroupBox>(10, 50, 200, 100);
    auto* inBox = add<TButton>(10, 20, 80, 25, box);
    auto* skipped = add<TButton>(100, 10, 80, 25);
    skipped->SetTag(999);
    auto* subclass = add<TVqButton>(200, 10, 80, 25);
    auto* edit = add<TEdit>(300, 10, 80, 22);
    auto* upDown = add<TUpDown>(300, 50, 20, 30);

    xp->SetActive(true);
    EXPECT_NE(xp->SubClassOf(onForm), nullptr);
    EXPECT_NE(xp->SubClassOf(inBox), nullptr);
    EXPECT_NE(xp->SubClassOf(box), nullptr);
    EXPECT_NE(xp->SubClassOf(edit), nullptr);
    EXPECT_NE(xp->SubClassOf(upDown), nullptr);
    EXPECT_EQ(xp->SubClassOf(skipped), nullptr) << "Tag 999 keeps its own look";
    EXPECT_EQ(xp->SubClassOf(subclass), nullptr) << "class names are compared exactly";
    EXPECT_TRUE(HasControlHook(onForm, xp->SubClassOf(onForm)));

    // Group boxes no longer count as containers, edits no longer as kinds.
    TXPContainers containers = xp->XPContainers();
    containers >> xccGroupBox;
    xp->SetXPContainers(containers);
    EXPECT_EQ(xp->SubClassOf(inBox), nullptr);
    EXPECT_NE(xp->SubClassOf(onForm), nullptr);
    TXPControls kinds = xp->XPControls();
    kinds >> xcEdit;
    xp->SetXPControls(kinds);
    EXPECT_EQ(xp->SubClassOf(edit), nullptr);
    EXPECT_FALSE(HasControlHook(edit, nullptr));
}

TEST_F(XPControls, buttonsGetTheFlatFaceAndATaggedOneKeepsThePlainLook) {
    auto* focus = add<TEdit>(10, 100, 100, 22);
    focus->SetTag(-1); // never painted: keeps the focus away from the buttons
    auto* flat = add<TButton>(10, 10, 90, 30);
    flat->SetCaption("确定");
    auto* plain = add<TButton>(120, 10, 90, 30);
    plain->SetCaption("取消");
    plain->SetTag(1234567890);
    ShowAndActivate(&form);
    focus->SetFocus();
    const QImage before = shot("vq-xp-buttons-before.png");
    xp->SetActive(true);
    const QImage img = shot("vq-xp-buttons.png");
    const auto& k = xp->BtnColors();
    EXPECT_EQ(img.pixelColor(at(flat, 45, 0)), Q(k.outLineBorder));
    EXPECT_EQ(img.pixelColor(at(flat, 45, 28)), Q(k.surfaceBottomLine));
    EXPECT_EQ(img.pixelColor(at(flat, 45, 5)), Q(k.surfaceNormal));
    EXPECT_NE(img.pixelColor(at(plain, 45, 0)), Q(k.outLineBorder));
    EXPECT_NE(img.pixelColor(at(plain, 45, 0)), before.pixelColor(at(plain, 45, 0)))
        << "the plain look is painted too";
    EXPECT_EQ(img.pixelColor(at(focus, 3, 3)), before.pixelColor(at(focus, 3, 3)));
}

TEST_F(XPControls, grayedCheckBoxShowsAFilledSquareAndACheckedOneTheTick) {
    auto* off = add<TCheckBox>(10, 10, 120, 24);
    off->SetCaption("未选");
    auto* on = add<TCheckBox>(10, 40, 120, 24);
    on->SetCaption("选中");
    on->SetChecked(true);
    auto* grey = add<TCheckBox>(10, 70, 120, 24);
    grey->SetCaption("灰色");
    grey->SetAllowGrayed(true);
    grey->SetState(cbGrayed);
    auto* radio = add<TRadioButton>(10, 100, 120, 24);
    radio->SetCaption("单选");
    radio->SetChecked(true);
    xp->SetActive(true);
    ShowAndActivate(&form);
    const QImage img = shot("vq-xp-check-boxes.png");
    const QColor green = Q(xp->BtnColors().rdoChkControlChk);
    EXPECT_EQ(count(img, off, green), 0);
    const int tick = count(img, on, green), square = count(img, grey, green);
    EXPECT_GT(tick, 6) << "three strokes of the tick";
    // The square (left + 2, top + 3, right - 3, bottom - 3) of the inner box,
    // filled: more than the tick's strokes.
    EXPECT_GT(square, tick);
    EXPECT_EQ(img.pixelColor(at(grey, 9, 12)), green);
    EXPECT_GT(count(img, radio, green), 10);
}

TEST_F(XPControls, upDownIsHookedButNeverPainted) {
    auto* upDown = add<TUpDown>(10, 10, 20, 40);
    ShowAndActivate(&form);
    const QImage before = shot("vq-xp-updown-before.png");
    xp->SetActive(true);
    ASSERT_NE(xp->SubClassOf(upDown), nullptr);
    const QImage after = shot("vq-xp-updown.png");
    for (int y = 0; y < upDown->Height(); ++y)
        for (int x = 0; x < upDown->Width(); ++x)
            ASSERT_EQ(after.pixelColor(at(upDown, x, y)), before.pixelColor(at(upDown, x, y))) << x << "," << y;
}

TEST_F(XPControls, editTakesTheSurfaceColourAndAOnePixelBorder) {
    auto* edit = add<TEdit>(10, 10, 120, 24);
    auto* other = add<TButton>(10, 50, 80, 25);
    other->SetTag(-1);
    xp->SetActive(true);
    ShowAndActivate(&form);
    other->SetFocus();
    const QImage img = shot("vq-xp-edit.png");
    EXPECT_EQ(edit->Color(), xp->BtnColors().surfaceNormal);
    EXPECT_EQ(img.pixelColor(at(edit, 0, 10)), Q(XPDarken(form.Color(), 60)));
    EXPECT_EQ(img.pixelColor(at(edit, 10, 10)), Q(xp->BtnColors().surfaceNormal));
}

TEST_F(XPControls, switchedOffTheSubclassLetsGoAtTheControlsNextMessage) {
    auto* button = add<TButton>(10, 10, 90, 30);
    xp->SetActive(true);
    ShowAndActivate(&form);
    TControlSubClass* sub = xp->SubClassOf(button);
    ASSERT_NE(sub, nullptr);
    xp->SetActive(false);
    EXPECT_TRUE(HasControlHook(button, sub)) << "nothing happens before the control's next message";
    SendClick(button);
    EXPECT_EQ(xp->SubClassOf(button), nullptr);
    EXPECT_EQ(xp->SubClassCount(), 0);
    const QImage img = shot("vq-xp-released.png");
    EXPECT_NE(img.pixelColor(at(button, 45, 0)), Q(xp->BtnColors().outLineBorder));
}

TEST_F(XPControls, spaceHeldShowsThePressedLookUntilReleasedAndARepeatDoesNotRepaint) {
    auto* button = add<TButton>(10, 10, 90, 30);
    xp->SetActive(true);
    ShowAndActivate(&form);
    TControlSubClass* sub = xp->SubClassOf(button);
    ASSERT_NE(sub, nullptr);
    // A held key's repeats, as the window system reports them.
    const int before = sub->PaintRequests();
    sub->HookMessage(button, hmKeyDown, VK_SPACE, false);
    EXPECT_TRUE(sub->SpaceDown());
    EXPECT_EQ(sub->PaintRequests(), before + 1);
    const QImage held = shot("vq-xp-space-held.png");
    EXPECT_EQ(held.pixelColor(at(button, 45, 5)), Q(xp->BtnColors().surfaceDown));
    sub->HookMessage(button, hmKeyDown, VK_SPACE, true);
    EXPECT_EQ(sub->PaintRequests(), before + 1);
    sub->HookMessage(button, hmKeyUp, VK_SPACE, false);
    EXPECT_FALSE(sub->SpaceDown());
    EXPECT_EQ(sub->PaintRequests(), before + 2);

    // Through the window system: press and release leave it up again.
    SendKey(button, VK_SPACE);
    EXPECT_FALSE(sub->SpaceDown());
    const QImage up = shot("vq-xp-space-released.png");
    EXPECT_NE(up.pixelColor(at(button, 45, 5)), Q(xp->BtnColors().surfaceDown));
}

TEST_F(XPControls, everyKindPaintedTogether) {
    auto* panel = add<TPanel>(10, 10, 390, 250);
    panel->SetCaption("");
    auto* group = add<TGroupBox>(10, 10, 180, 120, panel);
    group->SetCaption("借阅条件");
    auto* check = add<TCheckBox>(10, 25, 150, 22, group);
    check->SetCaption("只看逾期");
    check->SetChecked(true);
    auto* radio = add<TRadioButton>(10, 55, 150, 22, group);
    radio->SetCaption("按读者");
    radio->SetChecked(true);
    auto* edit = add<TEdit>(10, 85, 150, 22, group);
    edit->SetText("红楼梦");
    auto* combo = add<TComboBox>(200, 20, 170, 24, panel);
    combo->Items()->Add("图书");
    combo->SetItemIndex(0);
    auto* ok = add<TButton>(200, 60, 80, 28, panel);
    ok->SetCaption("确定");
    auto* bit = add<TBitBtn>(290, 60, 80, 28, panel);
    bit->SetKind(bkCancel);
    auto* speed = add<TSpeedButton>(200, 100, 80, 28, panel);
    speed->SetCaption("查询");
    xp->SetActive(true);
    ShowAndActivate(&form);
    const QImage img = shot("vq-xp-controls.png");
    const auto& k = xp->BtnColors();
    EXPECT_GT(count(img, combo, Q(k.comboBoxChk)), 5) << "the combo box's arrow";
    EXPECT_EQ(img.pixelColor(at(bit, 40, 0)), Q(k.outLineBorder));
    EXPECT_EQ(img.pixelColor(at(speed, 40, 0)), Q(k.outLineBorder));
}

} // namespace
