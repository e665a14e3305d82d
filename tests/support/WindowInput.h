// Keys, text and clicks delivered through the window system (QTest's
// QWindow overloads), so modal blocking, focus-window routing and popup
// grabs apply exactly as for a person. Each call first waits briefly for
// the target's window to be visible and active and fails the test when it
// is not: a key or click nobody could give is a fault of the test.
// Header only: each test folder is a program of its own.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "Controls.h"
#include "Forms.h"
#include "TestKit.h"
#include "Controls_p.h"

inline QWidget* QtWidgetOf(TControl* c) { return TControlPrivate::get(c)->widget; }

// The window that holds a control (for an MDI child, the frame's window).
inline QWindow* WindowOf(QWidget* w) { return w->window()->windowHandle(); }
inline QWindow* WindowOf(TControl* c) { return WindowOf(QtWidgetOf(c)); }

// True when w is shown and is the window that gets the keyboard.
inline bool WindowTakesInput(QWindow* w) {
    if (!w) return false;
    QTest::qWaitFor([w] { return w->isVisible() && QGuiApplication::focusWindow() == w; }, 1000);
    return w->isVisible() && QGuiApplication::focusWindow() == w;
}

// One key press and release in the window that holds `in`; the key goes
// where that window's focus is.
inline void TypeKey(QWindow* w, Word vk, TShiftState shift = {}) {
    ASSERT_TRUE(WindowTakesInput(w)) << "the window of the key is not active";
    Qt::KeyboardModifiers mods = ModifiersOf(shift);
    QTest::keyClick(w, Qt::Key(VKToQtKey(vk)), mods);
    ProcessEvents();
}
inline void TypeKey(TControl* in, Word vk, TShiftState shift = {}) { TypeKey(WindowOf(in), vk, shift); }

// Typed characters, one key each, into the focus of the window holding `in`.
inline void TypeText(TControl* in, const std::string& text) {
    QWindow* w = WindowOf(in);
    ASSERT_TRUE(WindowTakesInput(w)) << "the window of the text is not active";
    for (char32_t c : QString::fromUtf8(text.c_str()).toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        const Qt::Key k = c < 128 ? Qt::Key(QChar(c).toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, w, k, s, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, k, s, Qt::NoModifier);
    }
    ProcessEvents();
}

// A left click at a widget's point (its centre by default).
inline void ClickAt(QWidget* target, QPoint p = QPoint(-1, -1)) {
    QWindow* w = WindowOf(target);
    ASSERT_TRUE(w && w->isVisible()) << "the window of the click is not shown";
    ASSERT_TRUE(target->isVisible()) << "the clicked widget is not shown";
    if (p.x() < 0) p = target->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, target->mapTo(target->window(), p));
    ProcessEvents();
}
inline void ClickAt(TControl* target, QPoint p = QPoint(-1, -1)) {
    ClickAt(TControlPrivate::get(target)->mouseTarget(), p);
}

// The popup menu now open (nullptr when none).
inline QMenu* OpenMenu() {
    QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 1000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The captions of a menu's items, separators left out.
inline std::vector<std::string> MenuCaptions(QMenu* m) {
    std::vector<std::string> out;
    for (QAction* a : m->actions())
        if (!a->isSeparator()) out.push_back(a->text().toStdString());
    return out;
}

// A key while a popup menu is open: it goes where the platform sends keys
// then (the menu's own window, or the window under it that passes them on).
inline void TypeKeyInMenu(QMenu* m, Word vk) {
    ASSERT_TRUE(m && m->isVisible()) << "no menu open for the key";
    QWindow* w = QGuiApplication::focusWindow();
    ASSERT_NE(w, nullptr) << "no window takes keys";
    QTest::keyClick(w, Qt::Key(VKToQtKey(vk)));
    ProcessEvents();
}

// Clicks the open menu's item with this caption.
inline void ClickMenuItem(QMenu* m, const std::string& caption) {
    for (QAction* a : m->actions())
        if (a->text().toStdString() == caption) {
            QTest::mouseClick(m->windowHandle(), Qt::LeftButton, Qt::NoModifier, m->actionGeometry(a).center());
            ProcessEvents();
            return;
        }
    ADD_FAILURE() << "no menu item " << caption;
}
