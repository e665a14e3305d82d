// Dragging one control onto another: an automatic drag starts only once the
// pointer has moved, asks the control under it, drops on the one that takes
// the source and tells the source where it went; a short press stays a click.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestKit.h"

#include <string>
#include <vector>

namespace {

struct DragForm {
    TForm form{nullptr};
    TPanel* source = nullptr;
    TPanel* bin = nullptr;
    TPanel* other = nullptr;
    std::vector<std::string> heard;
    DragForm() {
        form.SetBounds(0, 0, 420, 200);
        auto panel = [&](const char* name, int left) {
            auto* p = new TPanel(&form);
            p->SetName(name);
            p->SetParent(&form);
            p->SetBounds(left, 20, 100, 100);
            return p;
        };
        source = panel("Source", 10);
        bin = panel("Bin", 150);
        other = panel("Other", 290);
        source->SetDragMode(dmAutomatic);
        source->OnClick = [this](TObject*) { heard.push_back("click"); };
        source->OnStartDrag = [this](TObject*) { heard.push_back("start"); };
        source->OnEndDrag = [this](TObject*, TObject* target, int x, int y) {
            heard.push_back(target == bin ? "end in bin at " + std::to_string(x) + "," + std::to_string(y)
                                          : "end nowhere");
        };
        bin->OnDragOver = [this](TObject*, TObject* src, int, int, TDragState st, bool& accept) {
            heard.push_back(st == dsDragEnter ? "enter" : st == dsDragLeave ? "leave" : "over");
            accept = src == source;
        };
        bin->OnDragDrop = [this](TObject*, TObject* src, int x, int y) {
            heard.push_back(std::string(src == source ? "dropped" : "?") + " at " + std::to_string(x) + "," +
                            std::to_string(y));
        };
        ShowAndActivate(&form);
    }
    // A point of `to` in the source's client coordinates.
    TPoint at(TControl* to, int x, int y) { return source->ScreenToClient(to->ClientToScreen({x, y})); }
};

TEST(Drag, anAutomaticDragStartsAfterFivePixelsAndDropsOnTheControlThatTakesIt) {
    DragForm f;
    SendMouseDown(f.source, 50, 50);
    SendMouseMove(f.source, 52, 51, TShiftState{ssLeft});
    EXPECT_FALSE(f.source->Dragging());
    SendMouseMove(f.source, 54, 51, TShiftState{ssLeft});
    EXPECT_TRUE(f.source->Dragging());
    EXPECT_EQ(f.source->Cursor(), crNoDrop);
    const TPoint inBin = f.at(f.bin, 30, 40);
    SendMouseMove(f.source, inBin.X, inBin.Y, TShiftState{ssLeft});
    EXPECT_EQ(f.source->Cursor(), crDrag);
    const TPoint inBin2 = f.at(f.bin, 31, 40);
    SendMouseMove(f.source, inBin2.X, inBin2.Y, TShiftState{ssLeft});
    SendMouseUp(f.source, inBin2.X, inBin2.Y);
    EXPECT_FALSE(f.source->Dragging());
    EXPECT_EQ(f.source->Cursor(), crDefault);
    EXPECT_EQ(f.heard, (std::vector<std::string>{"start", "enter", "over", "dropped at 31,40", "end in bin at 31,40"}));
}

TEST(Drag, aReleaseOverAControlThatRefusesDropsNothingAndAShortPressIsAClick) {
    DragForm f;
    SendMouseDown(f.source, 50, 50);
    const TPoint inBin = f.at(f.bin, 30, 40), inOther = f.at(f.other, 30, 40);
    SendMouseMove(f.source, inBin.X, inBin.Y, TShiftState{ssLeft});
    SendMouseMove(f.source, inOther.X, inOther.Y, TShiftState{ssLeft});
    EXPECT_EQ(f.source->Cursor(), crNoDrop);
    SendMouseUp(f.source, inOther.X, inOther.Y);
    // (The window system may add a move of its own while over the bin.)
    std::erase(f.heard, "over");
    EXPECT_EQ(f.heard, (std::vector<std::string>{"start", "enter", "leave", "end nowhere"}));
    f.heard.clear();
    SendClick(f.source, 50, 50);
    EXPECT_EQ(f.heard, (std::vector<std::string>{"click"}));
    // Esc gives a running drag up: nothing is dropped where it is released.
    f.heard.clear();
    SendMouseDown(f.source, 50, 50);
    SendMouseMove(f.source, inBin.X, inBin.Y, TShiftState{ssLeft});
    ASSERT_TRUE(f.source->Dragging());
    SendKeyToFocus(f.source, VK_ESCAPE);
    EXPECT_FALSE(f.source->Dragging());
    EXPECT_EQ(f.source->Cursor(), crDefault);
    SendMouseUp(f.source, inBin.X, inBin.Y);
    std::erase(f.heard, "over");
    EXPECT_EQ(f.heard, (std::vector<std::string>{"start", "enter", "leave", "end nowhere"}));
    // A manual control drags only when told to.
    f.heard.clear();
    f.source->SetDragMode(dmManual);
    SendMouseDown(f.source, 50, 50);
    SendMouseMove(f.source, inBin.X, inBin.Y, TShiftState{ssLeft});
    SendMouseUp(f.source, inBin.X, inBin.Y);
    EXPECT_EQ(f.heard, (std::vector<std::string>{}));
}

} // namespace
