// The data set framework through a vector-backed data set: states and their
// errors, navigation, editing, searching, bookmarks, filters, calculated and
// lookup fields, field conversions and the data-link window.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ListDataSet.h"
#include "SysUtils.h"

namespace {

class DataSetTest : public ::testing::Test {
protected:
    TListDataSet ds{nullptr};
    void SetUp() override {
        ds.FieldDefs().Add("Code", ftString, 10, true);
        ds.FieldDefs().Add("Name", ftString, 20);
        ds.FieldDefs().Add("Qty", ftInteger);
        ds.FieldDefs().Add("Price", ftCurrency);
        ds.FieldDefs().Add("Day", ftDate);
        ds.FieldDefs().Add("Flag", ftBoolean);
        ds.AddRow({"B001", "Alpha", 1, Currency::FromRaw(15000), TDateTime(45000), true});
        ds.AddRow({"b002", "beta", 2, Currency::FromRaw(25000), TDateTime(45001), false});
        ds.AddRow({"C003", "Gamma", 3, Null(), Null(), Null()});
        ds.AddRow({"D004", "delta", 4, Currency(4), TDateTime(45003), true});
    }
    std::string codes() {
        std::string s;
        ds.First();
        while (!ds.Eof()) {
            s += ds.FieldByName("Code")->AsString() + ",";
            ds.Next();
        }
        return s;
    }
};

template <class F>
std::string errorOf(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

TEST_F(DataSetTest, closedDataSetRefusesNavigationAndReads) {
    EXPECT_EQ(ds.State(), dsInactive);
    EXPECT_EQ(errorOf([&] { ds.First(); }), "Cannot perform this operation on a closed dataset");
    EXPECT_EQ(errorOf([&] { ds.RecordCount(); }), "Cannot perform this operation on a closed dataset");
    ds.SetName("Qry");
    EXPECT_EQ(errorOf([&] { ds.Edit(); }), "Qry: Cannot perform this operation on a closed dataset");
}

TEST_F(DataSetTest, openGoesToFirstRecordAndCloseFreesDefaultFields) {
    int afterOpen = 0, afterScroll = 0;
    ds.AfterOpen = [&](TDataSet*) { ++afterOpen; };
    ds.AfterScroll = [&](TDataSet*) { ++afterScroll; };
    ds.Open();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ds.FieldCount(), 6);
    EXPECT_EQ(afterOpen, 1);
    EXPECT_EQ(afterScroll, 1);
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 0);
    EXPECT_EQ(ds.State(), dsInactive);
}

TEST_F(DataSetTest, emptyDataSetIsBofAndEof) {
    ds.rows.clear();
    ds.Open();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Bof());
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), -1);
    EXPECT_EQ(errorOf([&] { ds.Delete(); }), "Cannot perform this operation on an empty dataset");
    EXPECT_TRUE(ds.FieldByName("Code")->IsNull());
}

TEST_F(DataSetTest, navigationFlagsAndMoveByDistance) {
    ds.Open();
    EXPECT_EQ(ds.MoveBy(2), 2);
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.MoveBy(5), 1);
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.MoveBy(-10), -3);
    EXPECT_TRUE(ds.Bof());
    ds.Last();
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "D004");
    ds.Next();
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 4);
    ds.SetRecNo(2);
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "b002");
    ds.SetRecNo(9);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(codes(), "B001,b002,C003,D004,");
}

TEST_F(DataSetTest, fieldWritesNeedEditState) {
    ds.Open();
    EXPECT_EQ(errorOf([&] { ds.FieldByName("Name")->SetAsString("x"); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { ds.Post(); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { ds.FieldByName("Nope"); }), "Field 'Nope' not found");
    EXPECT_EQ(ds.FindField("Nope"), nullptr);
    ds.FieldByName("Name")->SetReadOnly(true);
    ds.Edit();
    EXPECT_EQ(errorOf([&] { ds.FieldByName("Name")->SetAsString("x"); }), "Field 'Name' cannot be modified");
}

TEST_F(DataSetTest, editPostWritesStoreAndCancelRestores) {
    ds.Open();
    ds.Next();
    ds.Edit();
    EXPECT_EQ(ds.State(), dsEdit);
    ds.FieldByName("Name")->SetAsString("Beta2");
    EXPECT_TRUE(ds.Modified());
    EXPECT_EQ(VarToStr(ds.FieldByName("Name")->OldValue()), "beta");
    ds.Post();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(VarToStr(ds.rows[1].vals[1]), "Beta2");
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("zzz");
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), "Beta2");
    EXPECT_EQ(ds.posts, 1);
}

TEST_F(DataSetTest, navigationPostsModifiedEditAndCancelsUnmodified) {
    ds.Open();
    ds.Edit();
    ds.FieldByName("Qty")->SetAsInteger(10);
    ds.Next();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.rows[0].vals[2].AsInteger(), 10);
    ds.Append();
    ds.Prior();
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ds.posts, 1);
}

TEST_F(DataSetTest, insertGoesBeforeCurrentAndAppendAtEnd) {
    ds.Open();
    ds.Next();
    ds.Insert();
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(ds.RecNo(), -1);
    ds.FieldByName("Code")->SetAsString("N1");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 2);
    ds.Append();
    ds.FieldByName("Code")->SetAsString("N2");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 6);
    EXPECT_EQ(codes(), "B001,N1,b002,C003,D004,N2,");
}

TEST_F(DataSetTest, requiredFieldMustHaveAValue) {
    ds.Open();
    ds.Append();
    ds.FieldByName("Name")->SetAsString("x");
    EXPECT_EQ(errorOf([&] { ds.Post(); }), "Field 'Code' must have a value");
    EXPECT_EQ(ds.State(), dsInsert);
}

TEST_F(DataSetTest, newRecordDefaultsAndCancelOfInsert) {
    ds.OnNewRecord = [](TDataSet* d) { d->FieldByName("Qty")->SetAsInteger(7); };
    ds.Open();
    ds.Last();
    ds.Append();
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 7);
    EXPECT_FALSE(ds.Modified());
    ds.Cancel();
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "D004");
}

TEST_F(DataSetTest, deleteKeepsPositionAndFiresEvents) {
    std::string log;
    ds.BeforeDelete = [&](TDataSet*) { log += "before;"; };
    ds.AfterDelete = [&](TDataSet*) { log += "after;"; };
    ds.Open();
    ds.Next();
    ds.Delete();
    EXPECT_EQ(log, "before;after;");
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "C003");
    ds.Last();
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "C003");
    EXPECT_EQ(ds.RecordCount(), 2);
}

TEST_F(DataSetTest, postErrorHandlerRetriesOrFails) {
    ds.Open();
    ds.Edit();
    ds.FieldByName("Qty")->SetAsInteger(5);
    ds.failPost = true;
    int calls = 0;
    ds.OnPostError = [&](TDataSet* d, EDatabaseError&, TDataAction& a) {
        ++calls;
        static_cast<TListDataSet*>(d)->failPost = false;
        a = daRetry;
    };
    ds.Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds.rows[0].vals[2].AsInteger(), 5);
    ds.OnPostError = nullptr;
    ds.Edit();
    ds.FieldByName("Qty")->SetAsInteger(6);
    ds.failPost = true;
    EXPECT_EQ(errorOf([&] { ds.Post(); }), "post refused");
    EXPECT_EQ(ds.State(), dsEdit);
}

struct LocateRow {
    const char* name;
    const char* fields;
    std::vector<Variant> values;
    TLocateOptions options;
    bool found;
    const char* code;
};

class LocateTest : public DataSetTest, public ::testing::WithParamInterface<LocateRow> {};

TEST_P(LocateTest, findsByOptions) {
    const LocateRow& r = GetParam();
    ds.Open();
    ds.Last();
    Variant key = r.values.size() == 1 ? r.values[0] : VarArrayOf(r.values);
    EXPECT_EQ(ds.Locate(r.fields, key, r.options), r.found);
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), r.code);
}

INSTANTIATE_TEST_SUITE_P(
    Options, LocateTest,
    ::testing::Values(LocateRow{"exact", "Code", {"b002"}, 0, true, "b002"},
                      LocateRow{"exactWrongCase", "Code", {"B002"}, 0, false, "D004"},
                      LocateRow{"caseInsensitive", "Code", {"B002"}, loCaseInsensitive, true, "b002"},
                      LocateRow{"partialCaseSensitive", "Name", {"Gam"}, loPartialKey, true, "C003"},
                      LocateRow{"partialNeedsCase", "Name", {"gam"}, loPartialKey, false, "D004"},
                      LocateRow{"partialAndCase", "Name", {"GAM"}, loPartialKey | loCaseInsensitive, true, "C003"},
                      LocateRow{"twoFields", "Code;Qty", {"C003", 3}, 0, true, "C003"},
                      LocateRow{"twoFieldsNoMatch", "Code;Qty", {"C003", 4}, 0, false, "D004"},
                      LocateRow{"integerFromText", "Qty", {"2"}, 0, true, "b002"},
                      LocateRow{"nullKey", "Price", {Null()}, 0, true, "C003"},
                      LocateRow{"dateKey", "Day", {TDateTime(45001)}, 0, true, "b002"}),
    RowName());

TEST_F(DataSetTest, lookupDoesNotMove) {
    ds.Open();
    EXPECT_EQ(VarToStr(ds.Lookup("Code", "C003", "Name")), "Gamma");
    Variant both = ds.Lookup("Qty", 4, "Code;Name");
    EXPECT_EQ(VarToStr(both[0]), "D004");
    EXPECT_EQ(VarToStr(both[1]), "delta");
    EXPECT_TRUE(ds.Lookup("Code", "none", "Name").IsNull());
    EXPECT_EQ(ds.RecNo(), 1);
}

// A record inserted before the first one has the highest id but stands
// first: bookmark order once followed the ids, not the rows.
TEST_F(DataSetTest, bookmarksCompareByPresentedOrder) {
    ds.Open();
    const TBookmark first = ds.GetBookmark();
    ds.Insert();
    ds.FieldByName("Code")->SetAsString("a000");
    ds.Post();
    const TBookmark inserted = ds.GetBookmark();
    ASSERT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.CompareBookmarks(inserted, first), -1);
    EXPECT_EQ(ds.CompareBookmarks(first, inserted), 1);
}

TEST_F(DataSetTest, bookmarksGoBackAndCompareAsText) {
    ds.Open();
    ds.Next();
    TBookmark b2 = ds.GetBookmark();
    ds.Next();
    TBookmark b3 = ds.GetBookmark();
    EXPECT_NE(b2, b3);
    EXPECT_EQ(ds.CompareBookmarks(b2, b3), -1);
    EXPECT_EQ(ds.CompareBookmarks(b3, b2), 1);
    EXPECT_EQ(ds.CompareBookmarks(b2, b2), 0);
    EXPECT_EQ(ds.CompareBookmarks("", b2), 1);
    EXPECT_EQ(ds.CompareBookmarks("", ""), 0);
    ds.First();
    ds.GotoBookmark(b2);
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "b002");
    EXPECT_TRUE(ds.BookmarkValid(b2));
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(b2));
    EXPECT_EQ(errorOf([&] { ds.GotoBookmark(b2); }), "Record not found");
    ds.Append();
    EXPECT_EQ(ds.GetBookmark(), "");
}

struct FilterRow {
    const char* name;
    const char* filter;
    TFilterOptions options;
    const char* codes;
};

class FilterTest : public DataSetTest, public ::testing::WithParamInterface<FilterRow> {};

TEST_P(FilterTest, showsOnlyMatchingRecords) {
    ds.Open();
    ds.SetFilter(GetParam().filter);
    ds.SetFilterOptions(GetParam().options);
    ds.SetFiltered(true);
    EXPECT_EQ(codes(), GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(Texts, FilterTest,
                         ::testing::Values(FilterRow{"equalText", "Code = 'b002'", 0, "b002,"},
                                           FilterRow{"caseInsensitive", "Code = 'B002'", foCaseInsensitive, "b002,"},
                                           FilterRow{"prefixStar", "Name = 'Gam*'", 0, "C003,"},
                                           FilterRow{"noPartial", "Name = 'Gam*'", foNoPartialCompare, ""},
                                           FilterRow{"numberRange", "Qty >= 2 and Qty < 4", 0, "b002,C003,"},
                                           FilterRow{"orNot", "Qty = 1 or not (Qty <= 3)", 0, "B001,D004,"},
                                           FilterRow{"isNull", "Price is null", 0, "C003,"},
                                           FilterRow{"booleanTrue", "Flag = 'True'", 0, "B001,D004,"},
                                           FilterRow{"quoteInside", "Name = 'it''s'", 0, ""}),
                         RowName());

TEST_F(DataSetTest, filterRecordEventAndRecordCount) {
    ds.OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("Qty")->AsInteger() % 2 == 0; };
    ds.Open();
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_FALSE(ds.IsSequenced());
    EXPECT_EQ(codes(), "b002,D004,");
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 4);
}

TEST_F(DataSetTest, malformedFilterRaises) {
    EXPECT_EQ(errorOf([&] { ds.SetFilter("Code = "); }), "Filter expression incorrectly formatted");
}

TEST_F(DataSetTest, calculatedFieldSeesItsRecordNumber) {
    auto* order = new TIntegerField(&ds);
    order->SetFieldName("OrderId");
    order->SetFieldKind(fkCalculated);
    auto* code = new TStringField(&ds);
    code->SetFieldName("Code");
    code->SetSize(10);
    auto* qty = new TIntegerField(&ds);
    qty->SetFieldName("Qty");
    for (TField* f : std::vector<TField*>{code, qty, order}) f->SetDataSet(&ds);
    int calls = 0;
    ds.OnCalcFields = [&](TDataSet* d) {
        ++calls;
        d->FieldByName("OrderId")->SetAsInteger(d->RecNo() * 100 + d->FieldByName("Qty")->AsInteger());
    };
    ds.Open();
    EXPECT_EQ(ds.FieldCount(), 3);
    ds.Next();
    EXPECT_EQ(order->AsInteger(), 202);
    ds.Edit();
    qty->SetAsInteger(9);
    EXPECT_EQ(order->AsInteger(), 209);
    ds.Cancel();
    EXPECT_EQ(errorOf([&] {
                  ds.Edit();
                  order->SetAsInteger(1);
                  ds.Cancel();
                  qty->SetAsInteger(1);
              }),
              "Dataset not in edit or insert mode");
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 3);
    EXPECT_GT(calls, 0);
}

TEST_F(DataSetTest, lookupFieldForgetsADestroyedLookupDataSet) {
    auto* names = new TListDataSet(nullptr);
    auto* look = new TStringField(&ds);
    look->SetFieldName("QtyText");
    look->SetFieldKind(fkLookup);
    look->SetLookupDataSet(names);
    delete names;
    EXPECT_EQ(look->LookupDataSet(), nullptr);
}

TEST_F(DataSetTest, lookupFieldReadsOtherDataSet) {
    TListDataSet names(nullptr);
    names.FieldDefs().Add("Key", ftInteger);
    names.FieldDefs().Add("Text", ftString, 10);
    names.AddRow({2, "two"});
    names.AddRow({3, "three"});
    names.Open();
    auto* code = new TStringField(&ds);
    code->SetFieldName("Code");
    code->SetDataSet(&ds);
    auto* qty = new TIntegerField(&ds);
    qty->SetFieldName("Qty");
    qty->SetDataSet(&ds);
    auto* look = new TStringField(&ds);
    look->SetFieldName("QtyText");
    look->SetFieldKind(fkLookup);
    look->SetKeyFields("Qty");
    look->SetLookupDataSet(&names);
    look->SetLookupKeyFields("Key");
    look->SetLookupResultField("Text");
    look->SetDataSet(&ds);
    ds.Open();
    EXPECT_TRUE(look->IsNull());
    ds.Next();
    EXPECT_EQ(look->AsString(), "two");
    ds.Next();
    EXPECT_EQ(look->DisplayText(), "three");
}

TEST_F(DataSetTest, fieldValuesReadAndWriteArrays) {
    ds.Open();
    Variant v = ds.FieldValues("Code;Qty");
    EXPECT_EQ(VarToStr(v[0]), "B001");
    EXPECT_EQ(v[1].AsInteger(), 1);
    ds.Edit();
    ds.SetFieldValues("Name;Qty", VarArrayOf({"n", 8}));
    ds.Post();
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), "n");
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 8);
}

struct ConvertRow {
    const char* name;
    const char* field;
    const char* text;
    const char* error;
    const char* stored;
};

class FieldConvertTest : public DataSetTest, public ::testing::WithParamInterface<ConvertRow> {};

TEST_P(FieldConvertTest, setTextConvertsOrRaises) {
    const ConvertRow& r = GetParam();
    ds.FieldDefs().Add("Amount", ftFloat);
    for (auto& row : ds.rows) row.vals.push_back(Null());
    ds.Open();
    ds.FieldByName("Amount");
    auto* amount = static_cast<TFloatField*>(ds.FieldByName("Amount"));
    amount->SetMaxValue(100);
    ds.Edit();
    TField* f = ds.FieldByName(r.field);
    EXPECT_EQ(errorOf([&] { f->SetText(r.text); }), r.error);
    if (*r.error == 0) EXPECT_EQ(f->AsString(), r.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldConvertTest,
    ::testing::Values(ConvertRow{"integer", "Qty", "42", "", "42"},
                      ConvertRow{"integerBad", "Qty", "4x", "'4x' is not a valid integer value for field 'Qty'", ""},
                      ConvertRow{"floatBad", "Amount", "1,5", "'1,5' is not a valid floating point value", ""},
                      ConvertRow{"floatRange", "Amount", "250",
                                 "250 is not a valid value for field 'Amount'. The allowed range is 0 to 100", ""},
                      ConvertRow{"floatOk", "Amount", "12.25", "", "12.25"},
                      ConvertRow{"currencyExact", "Price", "0.1", "", "0.1"},
                      ConvertRow{"date", "Day", "2024-3-5", "", "2024-03-05"},
                      ConvertRow{"stringCut", "Code", "ABCDEFGHIJKLMN", "", "ABCDEFGHIJ"},
                      ConvertRow{"emptyClears", "Qty", "", "", ""}),
    RowName());

TEST_F(DataSetTest, booleanDisplayValuesAndDisplayFormats) {
    ds.Open();
    auto* flag = static_cast<TBooleanField*>(ds.FieldByName("Flag"));
    EXPECT_EQ(flag->DisplayText(), "True");
    flag->SetDisplayValues("是;否");
    EXPECT_EQ(flag->DisplayText(), "是");
    ds.Edit();
    flag->SetAsString("否");
    EXPECT_FALSE(flag->AsBoolean());
    ds.Cancel();
    TField* price = ds.FieldByName("Price");
    price->SetDisplayFormat("0.00");
    EXPECT_EQ(price->DisplayText(), "1.50");
    EXPECT_EQ(price->AsCurrency(), Currency::FromRaw(15000));
    EXPECT_EQ(ds.FieldByName("Day")->DisplayText(), DateToStr(TDateTime(45000)));
    ds.FieldByName("Name")->OnGetText = [](TField* f, std::string& t, bool display) {
        t = display ? "[" + f->AsString() + "]" : f->AsString();
    };
    EXPECT_EQ(ds.FieldByName("Name")->DisplayText(), "[Alpha]");
    EXPECT_EQ(ds.FieldByName("Name")->Text(), "Alpha");
}

TEST_F(DataSetTest, blobStreamWritesOnDestruction) {
    ds.FieldDefs().Add("Pic", ftGraphic);
    for (auto& row : ds.rows) row.vals.push_back(Null());
    ds.Open();
    TField* pic = ds.FieldByName("Pic");
    EXPECT_EQ(pic->DisplayText(), "(Graphic)");
    EXPECT_EQ(errorOf([&] { ds.CreateBlobStream(pic, bmWrite); }), "Dataset not in edit or insert mode");
    ds.Edit();
    {
        auto s = ds.CreateBlobStream(pic, bmWrite);
        s->WriteBuffer(std::string_view("\x01\x02\x00\x03", 4));
    }
    ds.Post();
    EXPECT_EQ(pic->AsString(), std::string("\x01\x02\x00\x03", 4));
    EXPECT_EQ(pic->DisplayText(), "(GRAPHIC)");
    auto r = ds.CreateBlobStream(pic, bmRead);
    EXPECT_EQ(r->Size(), 4);
}

// Counts every notification a grid would get.
class CountingLink : public TDataLink {
public:
    int changed = 0, scrolled = 0, active = 0, editing = 0, records = 0, lastDistance = 0;

protected:
    void ActiveChanged() override { ++active; }
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled(int d) override {
        ++scrolled;
        lastDistance = d;
    }
    void EditingChanged() override { ++editing; }
    void RecordChanged(TField*) override { ++records; }
};

TEST_F(DataSetTest, disableControlsNestsAndSendsOneChangeAtTheEnd) {
    TDataSource src(nullptr);
    src.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&src);
    ds.Open();
    EXPECT_EQ(link.active, 1);
    int before = link.changed + link.scrolled;
    ds.DisableControls();
    ds.DisableControls();
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.Next();
    ds.Next();
    ds.EnableControls();
    ds.Last();
    EXPECT_EQ(link.changed + link.scrolled, before);
    ds.EnableControls();
    EXPECT_FALSE(ds.ControlsDisabled());
    EXPECT_EQ(link.changed + link.scrolled, before + 1);
    ds.Edit();
    EXPECT_EQ(link.editing, 1);
    EXPECT_TRUE(link.Editing());
    ds.Cancel();
    EXPECT_EQ(link.editing, 2);
}

TEST_F(DataSetTest, linkWindowFollowsCursorAndActiveRecordReadsRows) {
    for (int i = 5; i <= 20; ++i) ds.AddRow({"X" + std::to_string(i), "n", i, Null(), Null(), Null()});
    TDataSource src(nullptr);
    src.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&src);
    link.SetBufferCount(5);
    ds.Open();
    EXPECT_EQ(link.RecordCount(), 5);
    EXPECT_EQ(link.ActiveRecord(), 0);
    ds.MoveBy(6);
    EXPECT_EQ(link.lastDistance, 2);
    EXPECT_EQ(link.ActiveRecord(), 4);
    link.SetActiveRecord(0);
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 3);
    EXPECT_EQ(ds.RecNo(), 3);
    link.SetActiveRecord(4);
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 7);
    ds.Last();
    EXPECT_EQ(link.ActiveRecord(), 4);
    link.SetActiveRecord(0);
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 16);
    link.SetActiveRecord(4);
    ds.Append();
    EXPECT_EQ(link.RecordCount(), 5);
    EXPECT_EQ(link.ActiveRecord(), 4);
    ds.FieldByName("Qty")->SetAsInteger(99);
    link.SetActiveRecord(3);
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 20);
    link.SetActiveRecord(4);
    EXPECT_EQ(ds.FieldByName("Qty")->AsInteger(), 99);
}

TEST_F(DataSetTest, fieldDataLinkNamesControlWhenFieldIsMissing) {
    TDataSource src(nullptr);
    src.SetDataSet(&ds);
    TComponent edit(nullptr);
    edit.SetName("EditRCode");
    TFieldDataLink link;
    link.SetControl(&edit);
    link.SetDataSource(&src);
    link.SetFieldName("Missing");
    EXPECT_EQ(errorOf([&] { ds.Open(); }), "EditRCode: Field 'Missing' not found");
    ds.Close();
    link.SetFieldName("Name");
    int changes = 0;
    link.OnDataChange = [&](TObject*) { ++changes; };
    ds.Open();
    EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
    ds.Next();
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(link.Edit());
    EXPECT_EQ(ds.State(), dsEdit);
    src.SetAutoEdit(false);
    ds.Cancel();
    EXPECT_FALSE(link.Edit());
}

TEST_F(DataSetTest, dataSourceStateAndEvents) {
    TDataSource src(nullptr);
    std::vector<TDataSetState> states;
    src.OnStateChange = [&](TObject*) { states.push_back(src.State()); };
    src.SetDataSet(&ds);
    ds.Open();
    ds.Edit();
    ds.Cancel();
    ds.Close();
    EXPECT_EQ(states, (std::vector<TDataSetState>{dsBrowse, dsEdit, dsBrowse, dsInactive}));
}

} // namespace

namespace {

// Exposes the set-key state the way an indexed table uses it.
class KeyedDataSet : public TListDataSet {
public:
    using TListDataSet::TListDataSet;
    void SetKey() { SetState(dsSetKey); }
    std::vector<Variant>& Keys() { return KeyBuffer(); }
};

TEST(DataSetKeyState, fieldWritesInSetKeyGoToTheKeyBuffer) {
    KeyedDataSet ds(nullptr);
    ds.FieldDefs().Add("Code", ftString, 10);
    ds.AddRow({"A"});
    ds.Open();
    ds.SetKey();
    ds.FieldByName("Code")->SetAsString("K1");
    EXPECT_EQ(VarToStr(ds.Keys()[0]), "K1");
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "K1");
    ds.Cancel();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.FieldByName("Code")->AsString(), "A");
}

TEST_F(DataSetTest, validCharactersByFieldKind) {
    ds.Open();
    EXPECT_TRUE(ds.FieldByName("Qty")->IsValidChar(U'7'));
    EXPECT_FALSE(ds.FieldByName("Qty")->IsValidChar(U'.'));
    EXPECT_TRUE(ds.FieldByName("Price")->IsValidChar(U'.'));
    EXPECT_FALSE(ds.FieldByName("Price")->IsValidChar(U'x'));
    EXPECT_TRUE(ds.FieldByName("Name")->IsValidChar(U'书'));
}

TEST_F(DataSetTest, focusControlReachesTheFieldsLink) {
    TDataSource src(nullptr);
    src.SetDataSet(&ds);
    TFieldDataLink link;
    link.SetDataSource(&src);
    link.SetFieldName("Name");
    int focused = 0;
    link.OnFocusRequest = [&](TObject*) { ++focused; };
    ds.Open();
    ds.FieldByName("Code")->FocusControl();
    EXPECT_EQ(focused, 0);
    ds.FieldByName("Name")->FocusControl();
    EXPECT_EQ(focused, 1);
}

TEST_F(DataSetTest, disabledSourceDeactivatesItsLinks) {
    TDataSource src(nullptr);
    src.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&src);
    ds.Open();
    EXPECT_TRUE(link.Active());
    src.SetEnabled(false);
    EXPECT_FALSE(link.Active());
    src.SetEnabled(true);
    EXPECT_TRUE(link.Active());
    ds.Close();
    EXPECT_FALSE(link.Active());
}

} // namespace
