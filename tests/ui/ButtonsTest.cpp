// Picture buttons, masked edits and image lists.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "Buttons.h"
#include "ImgList.h"
#include "Mask.h"
#include "Metafile.h"
#include "TestKit.h"

namespace {

TEST(BitBtn, okKindIsTheDefaultButtonWithModalResultOk) {
    TSeamScript script;
    script.ExpectForm("", mrNone, {}, [](TCustomForm* f) { SendKeyToFocus(f, VK_RETURN); });
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* ok = new TBitBtn(&form);
    ok->SetParent(&form);
    ok->SetKind(bkOK);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(form.ShowModal(), mrOk);
}

TEST(SpeedButton, groupedButtonsAreDownOneAtATime) {
    TForm form(nullptr);
    TSpeedButton* b[3];
    for (auto*& x : b) {
        x = new TSpeedButton(&form);
        x->SetParent(&form);
        x->SetGroupIndex(1);
    }
    b[0]->Click();
    b[2]->Click();
    EXPECT_FALSE(b[0]->Down());
    EXPECT_TRUE(b[2]->Down());
    b[2]->Click();
    EXPECT_TRUE(b[2]->Down());
    b[2]->SetAllowAllUp(true);
    b[2]->Click();
    EXPECT_FALSE(b[2]->Down());
}

struct MaskRow {
    const char* name;
    const char* mask;
    const char* qt;
};

class MaskTranslation : public ::testing::TestWithParam<MaskRow> {};

TEST_P(MaskTranslation, classLibraryMaskBecomesQtMask) { EXPECT_EQ(QtInputMaskFor(GetParam().mask), GetParam().qt); }

INSTANTIATE_TEST_SUITE_P(Rows, MaskTranslation,
                         ::testing::Values(MaskRow{"date", "!9999/99/99;1;_", "0000/00/00;_"},
                                           MaskRow{"requiredDigits", "000-000;0;*", "999-999;*"},
                                           MaskRow{"upperLetters", ">LL<ll;1;_", ">AA<aa;_"},
                                           MaskRow{"qtSpecialLiteral", "\\A00 h;1; ", "\\A99 \\h; "},
                                           MaskRow{"noSections", "99", "00;_"}),
                         RowName());

TEST(MaskEdit, textLeavesLiteralsOutWhenTheMaskDoesNotSaveThem) {
    TSeamScript script;
    TForm form(nullptr);
    auto* e = new TMaskEdit(&form);
    e->SetParent(&form);
    e->SetEditMask("000-000;0;_");
    ShowAndActivate(&form);
    SendText(e, "123456");
    EXPECT_EQ(e->EditText(), "123-456");
    EXPECT_EQ(e->GetText(), "123456");
    e->SetEditMask("000-000;1;_");
    e->SetText("654321");
    EXPECT_EQ(e->GetText(), "654-321");
}

TEST(MaskEdit, validateEditRejectsAnEmptyRequiredPosition) {
    TForm form(nullptr);
    auto* e = new TMaskEdit(&form);
    e->SetParent(&form);
    e->SetEditMask("000;1;_");
    e->SetText("12");
    try {
        e->ValidateEdit();
        FAIL() << "no error";
    } catch (const EConvertError& err) {
        EXPECT_EQ(err.Message, "Invalid input value.  Use escape key to abandon changes");
    }
}

// The masked edit once carried a smaller private part than the edit base
// reads, so these settings wrote past the object.
TEST(MaskEdit, maskEditKeepsTheEditSettingsOfEveryEdit) {
    TForm form(nullptr);
    auto* e = new TMaskEdit(&form);
    e->SetParent(&form);
    e->SetAutoSelect(false);
    e->SetCharCase(ecUpperCase);
    e->SetBorderStyle(bsNone);
    EXPECT_FALSE(e->AutoSelect());
    EXPECT_EQ(e->CharCase(), ecUpperCase);
    EXPECT_EQ(e->BorderStyle(), bsNone);
}

TEST(ImageList, maskedColourIsTransparentWhenDrawn) {
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    TBitmap strip;
    strip.SetSize(8, 4);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(Rect(0, 0, 8, 4));
    strip.Canvas()->Brush()->SetColor(clBlue);
    strip.Canvas()->FillRect(Rect(4, 0, 8, 4));
    strip.Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);
    TBitmap target;
    target.SetSize(4, 4);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 4, 4));
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(3, 3), clWhite);
    EXPECT_THROW(list.Draw(target.Canvas(), 0, 0, 2), EInvalidOperation);
}

} // namespace

#include <QMenu>
#include "Menus_p.h"

namespace {

TEST(Menus, ownerDrawnItemsAreMeasuredAndPaintedByTheirHandlers) {
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    auto* item = new TMenuItem(&menu);
    item->SetCaption("打印(&P)");
    menu.Items()->Add(item);
    int measured = 0, drawn = 0;
    item->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
        ++measured;
        w = 120;
        h = 30;
    };
    item->OnDrawItem = [&](TObject*, TCanvas* c, TRect r, bool) {
        ++drawn;
        c->Brush()->SetColor(clRed);
        c->FillRect(r);
    };
    QMenu* qm = MenuItemMenu(menu.Items());
    qm->adjustSize();
    QImage shot = qm->grab().toImage();
    EXPECT_GE(measured, 1);
    EXPECT_GE(drawn, 1);
    EXPECT_GE(qm->sizeHint().height(), 30);
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(255, 0, 0));
}

TEST(Menus, shortcutTextRoundTrips) {
    for (const char* t : {"Ctrl+F2", "Shift+Del", "Alt+X", "F9", "Shift+Ctrl+A"})
        EXPECT_EQ(ShortCutToText(TextToShortCut(t)), t);
    EXPECT_EQ(TextToShortCut("ctrl+f7"), TShortCut(scCtrl | VK_F7));
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
}

} // namespace
