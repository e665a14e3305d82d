// The window layer's acceptance for the data grid: an MDI frame with a menu
// holding a child window whose data grid shows a query on a small database
// file; moving and editing in the grid reach the database.
#include <gtest/gtest.h>

#include <cstdio>

#include "ADODB.h"
#include "DBGrids.h"
#include "Forms.h"
#include "Menus.h"
#include "TestKit.h"

namespace {

std::vector<std::string> Names(TADOConnection* conn) {
    TADOQuery q(nullptr);
    q.SetConnection(conn);
    q.SQL()->Add("select Name from Bookinfo order by Code");
    q.Open();
    std::vector<std::string> out;
    for (; !q.Eof(); q.Next()) out.push_back(q.FieldByName("Name")->AsString());
    return out;
}

TEST(MdiDBGrid, childGridShowsAndEditsAQueryOnADatabaseFile) {
    const std::string path = BUILD_DIR "/uic_mdi_grid.mdb";
    std::remove(path.c_str());
    CreateDatabaseFile(path, "CREATE TABLE Bookinfo (Code TEXT(20) PRIMARY KEY, Name TEXT(40));"
                             "INSERT INTO Bookinfo VALUES ('B001', '红楼梦');"
                             "INSERT INTO Bookinfo VALUES ('B002', '西游记');"
                             "INSERT INTO Bookinfo VALUES ('B003', '水浒传');");
    TForm* frame = nullptr;
    Application->CreateForm(frame);
    frame->SetName("FrmMain");
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 800, 600);
    auto* menu = new TMainMenu(frame);
    auto* window = new TMenuItem(menu);
    window->SetCaption("窗口(&W)");
    menu->Items()->Add(window);
    frame->SetMenu(menu);
    ShowAndActivate(frame);

    auto* child = new TForm(frame);
    child->SetName("FrmBookList");
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 500, 300);
    auto* conn = new TADOConnection(child);
    conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path);
    conn->Open();
    auto* query = new TADOQuery(child);
    query->SetConnection(conn);
    query->SQL()->Add("select Code, Name from Bookinfo order by Code");
    auto* src = new TDataSource(child);
    src->SetDataSet(query);
    auto* grid = new TDBGrid(child);
    grid->SetName("DBGrid1");
    grid->SetParent(child);
    grid->SetAlign(alClient);
    grid->SetDataSource(src);
    query->Open();
    ShowAndActivate(child);

    ASSERT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->MDIChildren(0), child);
    ASSERT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->RowCount(), 4);

    grid->SetFocus();
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(query->RecNo(), 2);
    grid->SetSelectedIndex(1);
    SendText(grid, "S");
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    SendText(grid->InplaceEditor(), "anguo");
    SendKey(grid->InplaceEditor(), VK_DOWN);
    EXPECT_EQ(query->RecNo(), 3);
    EXPECT_EQ(Names(conn), (std::vector<std::string>{"红楼梦", "Sanguo", "水浒传"}));

    delete child;
    delete frame;
    std::remove(path.c_str());
}

} // namespace
