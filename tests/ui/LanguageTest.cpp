// Every text the program shows is Chinese whatever the system's language:
// the toolkit's own file dialog and calendar, from the catalogues shipped in
// the program folder. The real file dialog (no script) is driven through
// the window system and photographed into build/test-output/screens/.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <QToolButton>

#include "Controls_p.h" // the toolkit's own dialogs and calendar

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A program folder holding the shipped catalogues, made the executable's
// folder, with the program's start-up run on it.
class ToolkitLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = (fs::temp_directory_path() / ("uilang-" + std::to_string(::getpid()))).string() + "/";
        fs::create_directories(dir_);
        for (const char* qm : {"qtbase_zh_CN.qm", "qt_zh_CN.qm"})
            fs::copy_file(std::string(BUILD_DIR) + "/program/" + qm, dir_ + qm, fs::copy_options::overwrite_existing);
        SetExeDirForTesting(dir_);
        Application->Initialize();
    }
    void TearDown() override {
        SetExeDirForTesting(std::string(BUILD_DIR) + "/no-such-folder/");
        Application->Initialize();
        fs::remove_all(dir_);
    }
    // Runs `act` on the first modal widget of class W that shows up while
    // `run` blocks in its own loop.
    template <class W>
    void WhileShown(const std::function<void()>& run, const std::function<void(W*)>& act) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!w || seen) return;
            seen = true;
            poll.stop();
            act(w);
        });
        poll.start();
        run();
        EXPECT_TRUE(seen) << "the dialog never showed";
    }
    std::string dir_;
};

std::string LabelText(QWidget* w, const char* name) {
    auto* l = w->findChild<QLabel*>(name);
    return l ? l->text().toStdString() : std::string("<none>");
}

// The backup dialog read "Look in", "File name", "Save", "Cancel"; saving
// over the day's backup asked "... already exists. Do you want to replace
// it?" although a second backup under the default name overwrites.
TEST_F(ToolkitLanguage, saveDialogSpeaksChineseAndOverwritesWithoutAsking) {
    const std::string target = dir_ + "Bck20250310.RKB";
    AtomicWriteFile(target, "old");
    TSaveDialog dialog(nullptr);
    dialog.SetFilter("备份文件 (*.RKB)|*.RKB");
    dialog.SetInitialDir(dir_);
    dialog.SetFileName("Bck20250310.RKB");
    bool executed = false;
    bool askedToReplace = false;
    WhileShown<QFileDialog>(
        [&] { executed = dialog.Execute(); },
        [&](QFileDialog* fd) {
            EXPECT_EQ(LabelText(fd, "lookInLabel"), "查找范围：");
            EXPECT_EQ(LabelText(fd, "fileNameLabel"), "文件名称(&N)：");
            EXPECT_EQ(LabelText(fd, "fileTypeLabel"), "文件类型：");
            auto* box = fd->findChild<QDialogButtonBox*>("buttonBox");
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text().toStdString(), "取消");
            fs::create_directories(std::string(BUILD_DIR) + "/test-output/screens");
            fd->grab().save(QString::fromStdString(std::string(BUILD_DIR) + "/test-output/screens/file-dialog.png"));
            // Anything asked after Enter is a question the backup must not ask.
            QTimer::singleShot(300, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    askedToReplace = true;
                    box->reject();
                }
            });
            SendKeyToWidget(fd, VK_RETURN);
        });
    QTest::qWait(400);
    EXPECT_FALSE(askedToReplace);
    EXPECT_TRUE(executed);
    EXPECT_EQ(dialog.FileName(), target);
}

// Under an English system locale the calendars showed "February 2027" and
// "Mon Tue".
TEST_F(ToolkitLanguage, calendarShowsChineseMonthAndDayNames) {
    TForm form(nullptr);
    auto* cal = new TMonthCalendar(&form);
    cal->SetParent(&form);
    cal->SetDate(EncodeDate(2027, 2, 10));
    ShowAndActivate(&form);
    auto* widget = static_cast<QCalendarWidget*>(WidgetOf(cal));
    auto* month = widget->findChild<QToolButton*>("qt_calendar_monthbutton");
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text().toStdString(), "二月");
    EXPECT_EQ(widget->locale().dayName(1, QLocale::ShortFormat).toStdString(), "周一");
}

} // namespace
