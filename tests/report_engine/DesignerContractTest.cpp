// What the designer will stand on: objects open its editors through hooks
// bound to their properties, the designer slot is set only while it runs,
// and objects unpacked from built pages have their own IDs.
#include <gtest/gtest.h>

#include <set>

#include "report/model/RM_Designer.h"
#include "report/model/RM_Report.h"

TEST(ReportDesignerContract, propertyEditorsOpenTheirHooksAndEmptyHooksDoNothing) {
    TRMMemoView memo;
    memo.DefineProperties();
    TRMBandView cross;
    cross.SetBandType(bkCrossData);
    cross.DefineProperties();
    TRMBandView data;
    data.SetBandType(bkMasterData);
    data.DefineProperties();
    struct Case {
        TRMObject* obj;
        const char* prop;
        TRMEditorHook* hook;
    };
    const Case cases[] = {
        {&memo, "Memo", &RMEditorHooks.MemoEditor},
        {&memo, "Font", &RMEditorHooks.FontEditor},
        {&memo, "Highlight", &RMEditorHooks.HighlightEditor},
        {&memo, "Tag", &RMEditorHooks.TagEditor},
        {&memo, "Restrictions", &RMEditorHooks.RestrictionsEditor},
        {&cross, "DataSource", &RMEditorHooks.CrossDataSourceEditor},
        {&data, "DataSource", &RMEditorHooks.BandDataSourceEditor},
        {&data, "NewPageCondition", &RMEditorHooks.TagEditor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prop);
        const TRMPropRec* r = c.obj->FindProperty(c.prop);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->Editor, c.hook);
        TRMEditorHooksRec::Call(r->Editor, &memo); // empty: nothing happens
        TRMView* got = nullptr;
        *c.hook = [&](TRMView* v) { got = v; };
        TRMEditorHooksRec::Call(r->Editor, &memo);
        EXPECT_EQ(got, &memo);
        *c.hook = nullptr;
    }
    EXPECT_EQ(memo.FindProperty("Left")->Editor, nullptr);
}

TEST(ReportDesignerContract, designReportSetsTheDesignerOnlyWhileItRuns) {
    TRMReport r;
    EXPECT_EQ(r.DesignReport(), 2); // no designer registered
    TRMReportDesigner* made = nullptr;
    RMPreparedMode = true;
    TRMReportDesigner* seen = nullptr;
    bool prepared = true;
    RMDesignerClass = [&](bool full) -> TRMReportDesigner* {
        struct D : TRMReportDesigner {
            TRMReportDesigner** s;
            bool* p;
            int ShowModal() override {
                *s = CurDesigner;
                *p = RMPreparedMode;
                return 1;
            }
        };
        auto* d = new D;
        d->s = &seen;
        d->p = &prepared;
        d->FullDesigner = full;
        made = d;
        return d;
    };
    EXPECT_EQ(r.DesignReport(), 1);
    EXPECT_EQ(seen, made);
    EXPECT_FALSE(prepared);
    EXPECT_EQ(CurDesigner, nullptr);
    EXPECT_TRUE(RMPreparedMode);
    RMPreparedMode = false;
    RMDesignerClass = nullptr;
}

TEST(ReportDesignerContract, objectsUnpackedFromBuiltPagesHaveTheirOwnIds) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
    b->SetBandType(bkMasterData);
    b->SetDataSet("3");
    b->SetBounds(0, 40, 700, 20);
    auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
    m->SetBounds(10, 40, 100, 20);
    m->Memo = {"[Line#]"};
    ASSERT_TRUE(r.PrepareReport());
    std::set<uint32_t> ids;
    for (auto& o : r.Pages[0]->Objects) ids.insert(o->ID);
    size_t design = ids.size();
    TRMPage* built = r.EMFPages.UnpackPage(0);
    ASSERT_TRUE(built);
    ASSERT_EQ(built->Objects.size(), 3u); // one memo per row
    for (auto& o : built->Objects) ids.insert(o->ID);
    EXPECT_EQ(ids.size(), design + 3);
    EXPECT_EQ(built->FindObjectByID(built->Objects[1]->ID), built->Objects[1].get());
}

// The designer component keeps the settings the designer reads when it
// opens: the last one made is the process's, a recent-file count outside
// 0..9 is ignored, and its restrictions come into force.
TEST(ReportDesignerContract, designerComponentKeepsTheSettingsTheDesignerReads) {
    TComponent form(nullptr);
    auto* first = new TRMDesigner(&form);
    EXPECT_EQ(first->HelpFile, "rmuser.hlp");
    EXPECT_TRUE(first->CloseQuery);
    EXPECT_TRUE(first->CanEditRestrictions);
    EXPECT_EQ(first->OpenFileCount(), 4);
    for (int n : {12, -1}) {
        first->SetOpenFileCount(n);
        EXPECT_EQ(first->OpenFileCount(), 4) << n;
    }
    first->SetOpenFileCount(0);
    EXPECT_EQ(first->OpenFileCount(), 0);
    first->SetDesignerRestrictions(RMdrDontEditObj | RMdrDontDeletePage);
    EXPECT_EQ(RMDesignerRestrictions, RMdrDontEditObj | RMdrDontDeletePage);
    EXPECT_EQ(RMDesignerComp(), first);
    {
        TRMDesigner second(nullptr);
        EXPECT_EQ(RMDesignerComp(), &second);
        second.SetDesignerRestrictions(0);
    }
    EXPECT_EQ(RMDesignerComp(), nullptr);
    delete first;
    EXPECT_EQ(RMDesignerComp(), nullptr);
    EXPECT_EQ(RMDesignerRestrictions, 0);
}

// A band offers the properties its kind uses, in the inspector's order,
// and not the text lines it keeps for itself.
TEST(ReportDesignerContract, bandOffersThePropertiesOfItsKind) {
    auto names = [](TRMBandKind k) {
        TRMBandView b;
        b.SetBandType(k);
        b.DefineProperties();
        std::vector<std::string> own;
        bool past = false;
        for (auto& p : b.Properties()) {
            if (past) own.push_back(p.Name);
            past |= p.Name == "Memo1"; // the last of the view's own
        }
        EXPECT_EQ(b.FindProperty("Memo"), nullptr);
        return own;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(names(bkPageFooter), (V{"OnFirstPage", "OnLastPage", "EOF", "OnBeforePrint", "OnAfterPrint"}));
    EXPECT_EQ(names(bkPageHeader), (V{"ChildBand", "PrintChildIfInvisible", "Stretched", "OnFirstPage",
                                      "RepeatHeader1", "EOF", "OnBeforePrint", "OnAfterPrint"}));
    EXPECT_EQ(names(bkGroupHeader),
              (V{"ChildBand", "PrintChildIfInvisible", "Stretched", "FormNewPage", "Breaked", "RepeatHeader",
                 "RepeatHeader1", "Condition", "Master", "GroupsPerPage", "EOF", "OnBeforePrint", "OnAfterPrint"}));
    EXPECT_EQ(names(bkMasterData),
              (V{"ChildBand", "PrintChildIfInvisible", "Stretched", "FormNewPage", "PrintIfSubsetEmpty", "Breaked",
                 "Columns", "ColumnWidth", "ColumnGap", "DataSource", "LinesPerPage", "PrintColFirst", "RangeBegin",
                 "RangeEnd", "RangeEndCount", "PrintIfEmpty", "NewPageCondition", "PrintAtDesignPos",
                 "AdjustColumns", "RowNo", "RowCount", "EOF", "AutoAppendBlank", "OnBeforePrint", "OnAfterPrint"}));
}
