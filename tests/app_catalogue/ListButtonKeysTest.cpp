// The list windows' import and bulk-delete buttons from the keyboard: each
// answers the Alt+letter its caption shows, pressed in the list itself, as
// the tool bar's other buttons do. They were reachable by the mouse only.
#include "CatalogueFixture.h"

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBookData.h"
#include "app/uBookPreData.h"
#include "app/uMagzData.h"
#include "app/uReaderData.h"
#include "support/TestNames.h"
#include "vq/grid/VQDBGrid.h"

#include <functional>
#include <memory>

namespace {

struct ButtonKeyRow {
    const char* name;
    std::function<TMDIBaseData*()> open;
    const char* button;
    char letter;
    // What the button opens, answered at once: its form or its question.
    std::function<void(TSeamScript&)> expectShown;
};

void ExpectWizard(TSeamScript& s) { s.ExpectForm("TFrmImportData", mrCancel); }

const ButtonKeyRow kRows[] = {
    {"bookListImport", [] { return new TFrmBookData(nullptr); }, "BtExcel", 'X', ExpectWizard},
    {"preCatalogueImport", [] { return new TFrmBookPreData(nullptr); }, "BtExcel", 'X', ExpectWizard},
    {"preCatalogueBulkDelete", [] { return new TFrmBookPreData(nullptr); }, "BtDelAll", 'B',
     [](TSeamScript& s) { s.ExpectMessage("是否删除显示的全部记录？", IDCANCEL, "询问"); }},
    {"periodicalListImport", [] { return new TFrmMagzData(nullptr); }, "BtExcel", 'X', ExpectWizard},
    {"readerListImport", [] { return new TFrmReaderData(nullptr); }, "BtExcel", 'X', ExpectWizard},
};

class ListButtonKeys : public CatalogueFixture, public ::testing::WithParamInterface<ButtonKeyRow> {};

TEST_P(ListButtonKeys, altLetterOfTheCaptionPressesTheButton) {
    const ButtonKeyRow& row = GetParam();
    Exec("insert into BookinfoPre (Name) values ('预编书')");
    std::unique_ptr<TMDIBaseData> list(row.open());
    ShowAndActivate(list.get());
    auto* button = dynamic_cast<TControl*>(list->FindComponent(row.button));
    ASSERT_NE(button, nullptr);
    const std::string accel = std::string("(&") + row.letter + ")";
    EXPECT_NE(button->Caption().find(accel), std::string::npos) << button->Caption();
    // To look at: the caption with its letter fits the button.
    const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";
    ForceDirectories(screens);
    EXPECT_TRUE(SaveFormPng(list.get(), screens + "list-keys-" + row.name + ".png"));
    row.expectShown(script);
    SendKey(list->DBGrid1, row.letter, {ssAlt});
    EXPECT_TRUE(script.Unused().empty()) << "Alt+" << row.letter << " did not press " << row.button;
    EXPECT_EQ(Scalar("select count(*) from BookinfoPre"), "1") << "nothing is deleted unasked";
}

INSTANTIATE_TEST_SUITE_P(Rows, ListButtonKeys, ::testing::ValuesIn(kRows), RowName());

} // namespace
