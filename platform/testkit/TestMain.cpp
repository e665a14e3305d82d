// The main of every test program that shows windows: GoogleTest plus a check
// after each test that it left nothing behind for the next one. A window
// still on screen, a modal window still registered with Qt (every other
// window would stay blocked, as the program's main window once did after a
// dialog) or a scripted dialog answer never asked for is a fault of the
// test or of the program, and fails the test that left it, naming it.
#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DialogSeam.h"
#include "TestKit.h"
#include "Controls_p.h"

namespace {

std::string WindowName(const QWidget* w) {
    std::string s = w->metaObject()->className();
    if (!w->objectName().isEmpty()) s += " " + FromQt(w->objectName());
    if (!w->windowTitle().isEmpty()) s += " [" + FromQt(w->windowTitle()) + "]";
    return s;
}

std::string AnswerName(const TSeamAnswer& a) {
    static const char* const kinds[] = {"message box", "modal form",   "input box", "open dialog",
                                        "save dialog", "print dialog", "beep"};
    std::string s = kinds[int(a.Kind)];
    for (const std::string* part : {&a.Form, &a.Caption, &a.Text})
        if (!part->empty()) s += " \"" + *part + "\"";
    return s;
}

class LeftBehindCheck : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        shownBefore_.clear();
        TDialogSeam::Instance().TakeLeftOver();
        if (!qApp) return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) shownBefore_.emplace_back(w);
    }

    // Runs before GoogleTest prints the test's result, so what it adds
    // counts for this test.
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::vector<std::string> left;
        TDialogSeam& seam = TDialogSeam::Instance();
        if (seam.Scripted()) {
            left.push_back("the dialog seam still scripted");
            seam.Uninstall();
        }
        for (const TSeamAnswer& a : seam.TakeLeftOver())
            left.push_back("a scripted answer never used: " + AnswerName(a));
        if (qApp) {
            ProcessEvents();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible() || w->windowType() == Qt::ToolTip || w->windowType() == Qt::Desktop ||
                    shownBefore(w))
                    continue;
                left.push_back("a window still shown: " + WindowName(w));
                // Hidden while still modal, so Qt unblocks the others and
                // the next test starts clean.
                w->hide();
            }
            if (QWindow* modal = QGuiApplication::modalWindow()) {
                left.push_back("a modal window still registered: " + std::string(modal->metaObject()->className()) +
                               " [" + FromQt(modal->title()) + "]");
                modal->hide();
            }
            ProcessEvents();
        }
        if (left.empty()) return;
        std::string text = "the test left behind:";
        for (const std::string& l : left) text += "\n  " + l;
        ADD_FAILURE() << text;
    }

private:
    bool shownBefore(QWidget* w) const {
        for (const QPointer<QWidget>& p : shownBefore_)
            if (p == w) return true;
        return false;
    }

    std::vector<QPointer<QWidget>> shownBefore_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Run by hand with no display, the tests use Qt's offscreen platform.
    if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Appended after the result printer: GoogleTest calls OnTestEnd in
    // reverse order, so this check runs before the result is printed.
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftBehindCheck);
    return RUN_ALL_TESTS();
}
