// A transparent picture button shows what lies under it on its parent.
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "TestKit.h"
#include "app/uVQGifButton.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "Controls_p.h" // the pixels the button drew

#include <memory>

namespace {

QRgb PixelOf(QWidget* w, QPoint p) { return w->grab().toImage().pixel(p); }

// The transparent painting drew the parent's colour and sibling images
// only: a shape (or anything else the parent shows) under the button
// vanished behind it.
TEST(PictureButton, transparentButtonShowsTheParentsPaintingUnderIt) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientWidth(200);
    form->SetClientHeight(120);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 120);
    panel->SetColor(RGB(0, 0, 255));
    auto* shape = new TShape(form.get());
    shape->SetParent(panel);
    shape->SetBounds(20, 20, 60, 60);
    shape->Brush()->SetColor(RGB(255, 0, 0));
    shape->Pen()->SetColor(RGB(255, 0, 0));
    auto* button = new tVQGifButton(form.get());
    button->SetParent(panel);
    button->SetBounds(10, 10, 80, 80);
    button->SetTransparent(true);
    ShowAndActivate(form.get());
    QWidget* b = WidgetOf(button);
    EXPECT_EQ(QColor(PixelOf(b, QPoint(40, 40))), QColor(255, 0, 0)) << "the shape under the button";
    EXPECT_EQ(QColor(PixelOf(b, QPoint(3, 3))), QColor(0, 0, 255)) << "the panel beside the shape";
}

} // namespace
