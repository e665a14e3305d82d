// The pieces the drop-downs share: where a drop-down goes beside its edit
// inside the work area, the special row's cell texts and colour, the size
// grip's corners and drags, the list's type-ahead, and the field lists.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "gridlib/edits/DBCtrlsEh.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "TestKit.h"
#include "db/ListDataSet.h"

namespace {

TEST(DropDownPlacement, belowAboveCutAndShiftedWithTheGripAwayFromTheEdit) {
    const TRect work = Rect(0, 0, 800, 600);
    struct Row {
        const char* name;
        TRect edit;
        int w, h;
        TDropDownAlign align;
        int x, y, width, height, vside, hside;
    } rows[] = {
        {"fits below", Rect(100, 100, 220, 121), 150, 200, daLeft, 100, 121, 150, 200, 3, 1},
        {"only above fits", Rect(100, 500, 220, 521), 150, 200, daLeft, 100, 300, 150, 200, 2, 1},
        {"neither: larger side above, cut", Rect(100, 350, 220, 371), 150, 500, daLeft, 100, 0, 150, 350, 2, 1},
        {"neither: larger side below, cut", Rect(100, 200, 220, 221), 150, 500, daLeft, 100, 221, 150, 379, 3, 1},
        {"right aligned starts left of the edit", Rect(300, 100, 420, 121), 200, 100, daRight, 220, 121, 200, 100, 3, 0},
        {"centred", Rect(300, 100, 420, 121), 200, 100, daCenter, 260, 121, 200, 100, 3, 1},
        {"pushed left by the right edge", Rect(700, 100, 780, 121), 200, 100, daLeft, 600, 121, 200, 100, 3, 0},
        {"right aligned pushed right at the left edge", Rect(10, 100, 60, 121), 200, 100, daRight, 0, 121, 200, 100, 3, 1},
        {"wider than the work area", Rect(10, 100, 60, 121), 900, 100, daLeft, 0, 121, 800, 100, 3, 0},
    };
    for (const Row& r : rows) {
        TDropDownPlace p = PlaceDropDownRect(r.edit, r.w, r.h, r.align, work);
        EXPECT_EQ(p.X, r.x) << r.name;
        EXPECT_EQ(p.Y, r.y) << r.name;
        EXPECT_EQ(p.Width, r.width) << r.name;
        EXPECT_EQ(p.Height, r.height) << r.name;
        EXPECT_EQ(p.VerticalSide, r.vside) << r.name;
        EXPECT_EQ(p.HorizontalSide, r.hside) << r.name;
    }
}

TEST(SpecRow, cellsTextSplitsAtSemicolonsOutsideQuotes) {
    struct Row {
        const char* text;
        std::vector<std::string> cells;
    } rows[] = {
        {"Nothing;\"a;b\"", {"Nothing", "a;b"}},
        {"a;;b", {"a", "", "b"}},
        {"a;", {"a"}},
        {"\"say \"\"hi\"\"\";x", {"say \"hi\"", "x"}},
        {"\t全部 ;\r\n 无", {"全部 ", " 无"}},
        {"", {}},
    };
    for (const Row& r : rows) EXPECT_EQ(TSpecRowEh::SplitCellsText(r.text), r.cells) << r.text;
    TSpecRowEh row(nullptr);
    row.SetCellsText("Nothing;\"a;b\"");
    EXPECT_EQ(row.CellTextAt(1), "a;b");
    EXPECT_EQ(row.CellTextAt(5), "");
    EXPECT_EQ(row.CellTextAt(-1), "");
}

TEST(SpecRow, followsTheOwnersFontUntilItHasItsOwn) {
    TForm form(nullptr);
    auto* owner = new TEdit(&form);
    owner->SetParent(&form);
    TSpecRowEh row(owner);
    int changes = 0;
    row.OnInternalChange = [&](TObject*) { ++changes; };
    owner->Font()->SetSize(14);
    EXPECT_EQ(row.Font()->Size(), 14);
    EXPECT_FALSE(row.FontAssigned());
    EXPECT_EQ(changes, 0);
    row.Font()->SetName("SimSun");
    EXPECT_TRUE(row.FontAssigned());
    EXPECT_EQ(changes, 1);
    owner->Font()->SetSize(9);
    EXPECT_EQ(row.Font()->Size(), 14);
    // The colour: the owner's until set; an equal colour is no change.
    row.SetColor(owner->Color());
    EXPECT_FALSE(row.ColorAssigned());
    row.SetColor(clYellow);
    EXPECT_TRUE(row.ColorAssigned());
    // Assign copies all but the short-cut.
    TSpecRowEh copy(nullptr);
    copy.ShortCut = 0;
    row.SetValue(Variant(-1));
    row.SetVisible(true);
    row.SetCellsText("全部");
    copy.Assign(&row);
    EXPECT_EQ(copy.CellTextAt(0), "全部");
    EXPECT_EQ(copy.Color(), clYellow);
    EXPECT_EQ(copy.Value().AsInteger(), -1);
    EXPECT_TRUE(copy.Visible());
    EXPECT_EQ(copy.ShortCut, 0);
}

TEST(SizeGrip, dragsStayInTheWorkAreaAndTopLeftKeepsTheOppositeEdges) {
    const TRect work = Rect(0, 0, 800, 600);
    const TRect at = Rect(600, 100, 750, 300);
    // Beyond the right edge: the right edge stops at the work area's.
    EXPECT_EQ(TSizeGripEh::DragBounds(gcBottomRightEh, at, 200, 50, work), Rect(600, 100, 800, 350));
    // A top-left drag moves the top-left corner only.
    EXPECT_EQ(TSizeGripEh::DragBounds(gcTopLeftEh, at, -40, 30, work), Rect(560, 130, 750, 300));
    EXPECT_EQ(TSizeGripEh::DragBounds(gcTopLeftEh, at, 0, -500, work), Rect(600, 0, 750, 300));
    EXPECT_EQ(TSizeGripEh::DragBounds(gcBottomLeftEh, at, -700, 400, work), Rect(0, 100, 750, 600));
}

TEST(SizeGrip, movesToTheSideItIsSent) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 100);
    auto* grip = new TSizeGripEh(&form);
    grip->SetParent(panel);
    grip->SnapToCorner();
    EXPECT_EQ(grip->Left(), panel->ClientWidth() - grip->Width());
    EXPECT_EQ(grip->Top(), panel->ClientHeight() - grip->Height());
    struct Row {
        int side;
        TGripCornerEh after;
    } rows[] = {{2, gcTopRightEh}, {0, gcTopLeftEh}, {0, gcTopLeftEh}, {3, gcBottomLeftEh}, {1, gcBottomRightEh}};
    for (const Row& r : rows) {
        grip->MoveToSide(r.side);
        EXPECT_EQ(grip->Corner(), r.after) << r.side;
    }
    grip->MoveToSide(0);
    EXPECT_EQ(grip->Left(), 0);
    EXPECT_EQ(grip->Top(), panel->ClientHeight() - grip->Height());
}

TEST(PopupList, typedCharactersSeekTheFirstEntryStartingWithThem) {
    TForm form(nullptr);
    auto* list = new TPopupListboxEh(&form);
    list->SetParent(&form);
    for (const char* s : {"北京", "上海", "上饶", "Shanghai"}) list->Items()->Add(s);
    list->Perform(WM_CHAR, U'上');
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Perform(WM_CHAR, U'饶');
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->SearchText(), "上饶");
    list->Perform(WM_CHAR, 27);
    list->Perform(WM_CHAR, 's');
    EXPECT_EQ(list->ItemIndex(), 3); // case is ignored
}

TEST(FieldLists, namesResolveInOrderAndAMissingOneRaises) {
    TForm form(nullptr);
    auto* ds = new TListDataSet(&form);
    ds->FieldDefs().Add("Code", ftString, 10);
    ds->FieldDefs().Add("Name", ftString, 20);
    ds->AddRow({Variant("B1"), Variant("书")});
    ds->Open();
    std::vector<TField*> f = FieldsByNames(ds, nullptr, "Name; Code");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0]->FieldName(), "Name");
    EXPECT_EQ(f[1]->FieldName(), "Code");
    try {
        FieldsByNames(ds, nullptr, "Code;Nope");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'Nope' not found");
    }
    ds->Edit();
    AssignFieldValues(ds, "Code;Name", VarArrayOf({Variant("B2"), Variant("刊")}));
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "刊");
    AssignFieldValues(ds, "Code", Null());
    EXPECT_TRUE(ds->FieldByName("Code")->IsNull());
    ds->Cancel();
}

} // namespace
