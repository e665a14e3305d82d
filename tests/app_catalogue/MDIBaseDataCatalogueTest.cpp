// The list window base through a real window over a small table of its
// own: columns from the layout rows (an exact code before an earlier
// prefix), a window without a layout never stays open, title clicks that
// sort and mark, the delete with its question, hook and rollback, and the
// saved layout landing in the right rows.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "app/uDMData.h"
#include "app/uMDIBaseData.h"
#include "vq/grid/VQDBGrid.h"

#include <memory>

namespace {

// A list over the table Shelf, registered in ModuleTable under its own
// name; its delete hook records what it saw and can fail on demand.
class TFrmShelfData : public TMDIBaseData {
public:
    explicit TFrmShelfData(TComponent* owner, const char* name = "FrmShelfData") : TMDIBaseData(owner) {
        SetName(name);
        ADOqData->SQL()->SetText("select * from Shelf order by Id");
    }
    void InitForm() override {
        TMDIBaseData::InitForm();
        ADOqData->Open();
    }
    void BeforeDelete() override {
        ++beforeDeleteRuns;
        ADOCommand1->SetCommandText("update Shelf set Name='touched' where Code='S3'");
        ADOCommand1->Execute();
        if (failInside) ADOCommand1->SetCommandText("update NoSuchTable set x=1"), ADOCommand1->Execute();
    }
    int beforeDeleteRuns = 0;
    bool failInside = false;
};

class MDIBaseDataCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        Exec("create table Shelf (Id integer primary key autoincrement, Code text(20) collate nocase, "
             "CodeSet text(20), Name text(40))");
        Exec("insert into Shelf (Code, CodeSet, Name) values ('s1','A','乙'), ('S2','C','甲'), ('S3','B','丙')");
        Exec("insert into ModuleTable (ModuleCode, TableCode) values ('FrmShelfData', 'Shelf')");
        // CodeSet comes first in order: its prefix match must not give
        // the column Code its title.
        Exec("insert into TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, "
             "IsVisible) values ('Shelf','CodeSet','架位',1,50,0,1), ('Shelf','Code','编号',2,70,1,1), "
             "('Shelf','Name','名称',3,120,0,1), ('Shelf','Id','序号',4,30,0,0)");
    }
    void TearDown() override {
        form.reset();
        CatalogueFixture::TearDown();
    }
    void open() {
        form.reset(new TFrmShelfData(nullptr));
        ShowAndActivate(form.get());
        ProcessEvents();
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> t;
        for (int i = 0; i < form->DBGrid1->Columns()->Count(); ++i)
            t.push_back(form->DBGrid1->Columns()->Items(i)->Title()->Caption());
        return t;
    }
    std::vector<std::string> listedCodes() const {
        std::vector<std::string> codes;
        TDataSet* q = form->ADOqData;
        for (q->First(); !q->Eof(); q->Next()) codes.push_back(q->FieldByName("Code")->AsString());
        return codes;
    }
    void clickTitle(int column) {
        TVQDBGrid* g = form->DBGrid1;
        const TRect r = g->CellRect(g->GridColumnOf(g->Columns()->Items(column)), 0);
        SendClick(g, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        ProcessEvents();
    }
    std::unique_ptr<TFrmShelfData> form;
};

TEST_F(MDIBaseDataCatalogueTest, columnsTakeTheExactLayoutRowBeforeAnEarlierPrefix) {
    open();
    EXPECT_EQ(form->TableCode, "Shelf");
    EXPECT_EQ(form->KeyColumn, "Code");
    EXPECT_EQ(titles(), (std::vector<std::string>{"架位", "编号", "名称"}));
    EXPECT_EQ(form->DBGrid1->Columns()->Items(1)->Width(), 70);
    EXPECT_EQ(form->DBGrid1->Columns()->Items(0)->Width(), 50);
}

TEST_F(MDIBaseDataCatalogueTest, aWindowWithoutLayoutRowIsReleasedAndItsOpeningStops) {
    auto* stray = new TFrmShelfData(nullptr, "FrmNotRegistered");
    bool aborted = false;
    try {
        stray->Show();
    } catch (const EAbort&) {
        aborted = true;
    }
    EXPECT_TRUE(aborted);
    EXPECT_FALSE(stray->Visible());
    ProcessEvents(); // the released window deletes itself
}

TEST_F(MDIBaseDataCatalogueTest, titleClicksSortAscendingThenAlternateAndTheMarkMoves) {
    open();
    clickTitle(2);
    // Titles compare as the engine collates Chinese: 丙 甲 乙 (bing, jia, yi).
    EXPECT_EQ(listedCodes(), (std::vector<std::string>{"S3", "S2", "s1"}));
    EXPECT_EQ(titles()[2], "名称▲");
    clickTitle(2);
    EXPECT_EQ(titles()[2], "名称▼");
    EXPECT_EQ(listedCodes(), (std::vector<std::string>{"s1", "S2", "S3"}));
    clickTitle(2);
    EXPECT_EQ(titles()[2], "名称▲");
    clickTitle(0);
    EXPECT_EQ(titles(), (std::vector<std::string>{"架位▲", "编号", "名称"}));
    EXPECT_EQ(listedCodes(), (std::vector<std::string>{"s1", "S3", "S2"}));
}

TEST_F(MDIBaseDataCatalogueTest, deleteAsksRunsTheHookInItsTransactionAndShowsTheFollowingRow) {
    open();
    form->ADOqData->Locate("Code", Variant(std::string("S2")), 0);
    script.ExpectMessage("是否删除此记录？", IDCANCEL, "询问");
    SendClick(form->BtDelete);
    EXPECT_EQ(Scalar("select count(*) from Shelf"), "3");
    EXPECT_EQ(form->beforeDeleteRuns, 0);

    // Alt+D, the key the button's caption names, from the grid; the button
    // shows itself pressed for a moment before it acts, and the key is done
    // once it has.
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendKey(form->DBGrid1, 'D', {ssAlt});
    EXPECT_EQ(Rows("select Code, Name from Shelf order by Id"), (std::vector<std::string>{"s1|乙", "S3|touched"}));
    EXPECT_EQ(form->beforeDeleteRuns, 1);
    EXPECT_EQ(form->ADOqData->FieldByName("Code")->AsString(), "S3");
}

TEST_F(MDIBaseDataCatalogueTest, aFailingDeleteRollsBackEverythingAndSaysSo) {
    open();
    form->failInside = true;
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    script.ExpectMessage("删除出错！", IDOK, "信息");
    SendClick(form->BtDelete);
    EXPECT_EQ(Rows("select Code, Name from Shelf order by Id"),
              (std::vector<std::string>{"s1|乙", "S2|甲", "S3|丙"}));
}

TEST_F(MDIBaseDataCatalogueTest, deleteOnAnEmptyListAsksAndRunsNoHook) {
    Exec("delete from Shelf");
    open();
    script.ExpectMessage("是否删除此记录？", IDOK, "询问");
    SendClick(form->BtDelete);
    EXPECT_EQ(form->beforeDeleteRuns, 0);
    EXPECT_FALSE(DMData->ADOConnection1->InTransaction());
}

TEST_F(MDIBaseDataCatalogueTest, savedLayoutWritesWidthAndOrderIntoTheExactRows) {
    open();
    form->DBGrid1->Columns()->Items(1)->SetWidth(90);
    form->DBGrid1->Columns()->Items(2)->SetIndex(0);
    form->N1Click(form->N1);
    EXPECT_EQ(Rows("select ColumnsCode, TableOrder, ColumnsLength from TableStructure where TableCode='Shelf' "
                   "order by ColumnsCode"),
              (std::vector<std::string>{"Code|3|90", "CodeSet|2|50", "Id|4|30", "Name|1|120"}));
}

TEST_F(MDIBaseDataCatalogueTest, escapeInTheGridClosesTheWindow) {
    open();
    TFrmShelfData* raw = form.release();
    bool closed = false;
    raw->OnDestroy = [&](TObject*) { closed = true; };
    SendKey(raw->DBGrid1, VK_ESCAPE);
    ProcessEvents();
    EXPECT_TRUE(closed);
}

} // namespace
