// The report's data dictionary: categories, disabled data sets, aliases,
// the designer's lists, values and field resolution during a build, the
// record in both layouts and the dictionary file.
#include <gtest/gtest.h>

#include "TestKit.h"

#include "Gbk.h"

#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

std::vector<std::string> items(const TStrings& l) {
    std::vector<std::string> v;
    for (int i = 0; i < l.Count(); ++i) v.push_back(l.Strings(i));
    return v;
}

std::string bytesOf(const std::function<void(TStream&)>& f) {
    TMemoryStream m;
    f(m);
    m.SetPosition(0);
    return m.ReadRest();
}

// Two data sets and a band data source on the report's window.
struct Library {
    TComponent window{nullptr};
    TListDataSet* books = new TListDataSet(&window);
    TListDataSet* orders = new TListDataSet(&window);
    TRMDBDataSet* rmBooks = new TRMDBDataSet(&window);
    TRMReport report{&window};
    TRMDataDictionary& d = report.Dictionary;

    Library() {
        window.SetName("FrmBooks");
        books->SetName("Books");
        books->FieldDefs().Add("Title", ftString, 40);
        books->FieldDefs().Add("Price", ftFloat);
        books->FieldDefs().Add("Isbn", ftString, 20);
        books->AddRow({std::string("红楼梦"), 35.5, std::string("7-02")});
        books->AddRow({std::string("水浒传"), 28.0, Null()});
        orders->SetName("Orders");
        orders->FieldDefs().Add("Copies", ftInteger);
        rmBooks->SetName("RMBooks");
        rmBooks->SetDataSet(books);
    }
    std::vector<std::string> dataSets() {
        TStringList l;
        d.GetDataSetList(&l);
        return items(l);
    }
    std::vector<std::string> fields(const std::string& ds) {
        TStringList l;
        d.GetFieldList(ds, &l);
        return items(l);
    }
};

TEST(Dictionary, categoriesHoldTheVariablesUpToTheNextCategory) {
    TRMDataDictionary d;
    d.Variables = {{" Cat", ""}, {"A", "1"}, {"B", "2"}, {" Cat2", ""}, {"D", "3"}};
    TStringList l;
    d.GetCategoryList(&l);
    EXPECT_EQ(items(l), (std::vector<std::string>{"Cat", "Cat2"}));
    d.GetCategoryVariables("cat", &l);
    EXPECT_EQ(items(l), (std::vector<std::string>{"A", "B"}));
    d.GetCategoryVariables("Cat2", &l);
    EXPECT_EQ(items(l), (std::vector<std::string>{"D"}));
    d.GetCategoryVariables("无此分类", &l);
    EXPECT_TRUE(items(l).empty());
}

struct EnabledCase {
    const char* name;
    const char* dataSet;
    bool enabled;
};
void PrintTo(const EnabledCase& c, std::ostream* os) { *os << c.name; }
class DictionaryDisabled : public ::testing::TestWithParam<EnabledCase> {};

TEST_P(DictionaryDisabled, prefixAndExactEntries) {
    TRMDataDictionary d;
    d.DisabledDataSets = {"Tmp*", "Scratch"};
    EXPECT_EQ(d.IsDataSetEnabled(GetParam().dataSet), GetParam().enabled);
}
const EnabledCase kEnabled[] = {
    {"prefixUpperCase", "TMPORDERS", false}, {"prefixAlone", "tmp", false}, {"exactEntry", "scratch", false},
    {"other", "Orders", true},               {"exactIsNoPrefix", "Scratch2", true},
};
INSTANTIATE_TEST_SUITE_P(Report, DictionaryDisabled, ::testing::ValuesIn(kEnabled),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Dictionary, dataSetListShowsEveryEnabledSetOrOnlyThoseWithAnAlias) {
    Library f;
    EXPECT_EQ(f.dataSets(), (std::vector<std::string>{"Books", "Orders"}));
    f.d.DisabledDataSets = {"Ord*"};
    EXPECT_EQ(f.dataSets(), (std::vector<std::string>{"Books"}));
    f.d.DisabledDataSets.clear();
    f.d.FieldAliases = {{"Books", "图书"}};
    EXPECT_EQ(f.dataSets(), (std::vector<std::string>{"图书"}));
    f.d.FieldAliases = {{"Orders", ""}, {"Books", "图书"}};
    EXPECT_EQ(f.dataSets(), (std::vector<std::string>{"Orders", "图书"}));
}

TEST(Dictionary, fieldListShowsAliasesAndLeavesOutHiddenFields) {
    Library f;
    EXPECT_EQ(f.fields("Books"), (std::vector<std::string>{"Title", "Price", "Isbn"}));
    f.d.FieldAliases = {{"Books", "图书"}, {"Books.Title", "书名"}, {"Books.Isbn", ""}};
    const std::vector<std::string> shown{"书名", "Price"};
    EXPECT_EQ(f.fields("Books"), shown);
    EXPECT_EQ(f.fields("图书"), shown);
    EXPECT_TRUE(f.fields("NoSuchSet").empty());
}

TEST(Dictionary, dataSourceListNamesBandSources) {
    Library f;
    TStringList l;
    f.d.GetDataSourceList(&l);
    EXPECT_EQ(items(l), (std::vector<std::string>{"RMBooks"}));
    f.d.DataSourceAliases = {{"RMBooks", "图书清单"}};
    f.d.GetDataSourceList(&l);
    EXPECT_EQ(items(l), (std::vector<std::string>{"图书清单"}));
}

TEST(Dictionary, aliasesTranslateBothWays) {
    TRMDataDictionary d;
    d.FieldAliases = {{"Books", "图书"}, {"Books.Title", "书名"}, {"Books.Isbn", ""}};
    d.DataSourceAliases = {{"RMBooks", "图书清单"}};
    EXPECT_EQ(d.GetRealDataSetName("图书"), "Books");
    EXPECT_EQ(d.GetRealDataSetName("书名"), "Books.Title");
    EXPECT_EQ(d.GetRealFieldName("书名"), "Title");
    EXPECT_EQ(d.GetRealDataSetName("未知"), "未知");
    EXPECT_EQ(d.GetRealDataSourceName("图书清单"), "RMBooks");
    EXPECT_EQ(d.GetAliasName("books"), "图书");
    EXPECT_EQ(d.GetAliasName("RMBooks"), "图书清单");
    EXPECT_EQ(d.GetAliasName("Books.Isbn"), "Books.Isbn");
}

TEST(Dictionary, valueOfAnExpressionVariableOrOfTheReportVariableOfThatName) {
    TRMReport r;
    r.Dictionary.Variables = {{" 计算", ""}, {"Sum", "1 + 2"}, {"Copies", "100"}, {"Empty", ""}};
    r.Variables["Copies"] = 7;
    Variant v;
    ASSERT_TRUE(r.Dictionary.GetValue("sum", v));
    EXPECT_EQ(VarToStr(v), "3");
    ASSERT_TRUE(r.Dictionary.GetValue("Copies", v));
    EXPECT_EQ(VarToStr(v), "7");
    ASSERT_TRUE(r.Dictionary.GetValue("Empty", v));
    EXPECT_TRUE(VarIsNull(v));
    // A category is no variable.
    EXPECT_FALSE(r.Dictionary.GetValue("计算", v));
    EXPECT_FALSE(r.Dictionary.GetValue("NotThere", v));
}

TEST(Dictionary, variableThatIsAFieldReferenceReadsTheCurrentRowWhileBuilding) {
    Library f;
    f.d.Variables = {{" 图书", ""}, {"书名", "Books.\"Title\""}, {"价格", "[Books.\"Price\"] * 2"}};
    TRMPage* page = f.report.Pages[0];
    AddBand(f.report, page, bkMasterData, 100, 20, "RMBooks");
    AddMemo(f.report, page, 0, 100, "[书名]|[价格]", 300);
    ASSERT_TRUE(f.report.PrepareReport());
    EXPECT_TRUE(f.report.BuildErrors.empty());
    ASSERT_NE(f.d.CachedField("书名"), nullptr);
    EXPECT_EQ(f.d.CachedField("书名")->DataSet, f.books);
    EXPECT_EQ(f.d.CachedField("书名")->FieldName, "Title");
    EXPECT_EQ(f.d.CachedField("价格"), nullptr);
    EXPECT_EQ(PageTexts(f.report, 0), (std::vector<std::string>{"红楼梦|71", "水浒传|56"}));
}

TEST(Dictionary, dottedNameResolvesThroughDataSetAndFieldAliases) {
    Library f;
    f.books->Open();
    f.d.FieldAliases = {{"Books", "图书"}, {"Books.Title", "书名"}};
    EXPECT_TRUE(f.d.ResolveField("图书.书名"));
    ASSERT_NE(f.d.CachedField("图书.书名"), nullptr);
    EXPECT_EQ(f.d.CachedField("图书.书名")->FieldName, "Title");
    Variant v;
    ASSERT_TRUE(f.d.GetValue("图书.书名", v));
    EXPECT_EQ(VarToStr(v), "红楼梦");
    EXPECT_FALSE(f.d.ResolveField("图书.作者"));
    f.d.ClearCache();
    EXPECT_EQ(f.d.CachedField("图书.书名"), nullptr);
}

// Old layout (marker 0xFE): per entry kind, number and three short strings;
// then the names, whose order wins. A list that then starts with a plain
// name had its blanks the other way round.
TEST(Dictionary, oldLayoutTakesValuesByNameAndTurnsTheBlanksAround) {
    RMStreamVersion = 43;
    auto shortStr = [](const std::string& utf8) {
        std::string g = Utf8ToGbk(utf8);
        return std::string(1, char(g.size())) + g;
    };
    std::string b("\x03\x00\x00\x00", 4);
    b += std::string("\x01\x00\x00\x00\x00", 5) + shortStr("Books") + shortStr("Title") + shortStr("书名");
    b += std::string("\x02\x00\x00\x00\x00", 5) + shortStr("") + shortStr("") + shortStr("页号");
    b += std::string("\x02\x01\x00\x00\x00", 5) + shortStr("") + shortStr("'馆'") + shortStr("馆名");
    b += bytesOf([](TStream& s) { RMWriteMemo(s, {"图书", " 书名", " 页号", " 馆名"}); });
    TMemoryStream m;
    m.WriteBuffer(b.data(), int64_t(b.size()));
    m.SetPosition(0);
    TRMDataDictionary d;
    d.LoadFromStream(m, -1);
    EXPECT_EQ(d.Version, -1);
    EXPECT_EQ(m.Position(), m.Size());
    ASSERT_EQ(d.Variables.size(), 4u);
    EXPECT_EQ(d.Variables[0].Name, " 图书");
    EXPECT_EQ(d.Variables[1].Name, "书名");
    EXPECT_EQ(d.Variables[1].Value, "Books.\"Title\"");
    EXPECT_EQ(d.Variables[2].Value, "Page#");
    EXPECT_EQ(d.Variables[3].Value, "'馆'");
}

TEST(Dictionary, reportStreamReadsTheOldLayoutAfterItsMarker) {
    TRMReport r;
    r.Dictionary.Variables = {{" 分类", ""}, {"馆名", "'图书馆'"}};
    std::string a = bytesOf([&](TStream& s) { r.SaveToStream(s); });
    // The current record is the last thing written: swap it for an old one.
    size_t at = a.rfind('\xFC');
    ASSERT_NE(at, std::string::npos);
    std::string old = std::string("\xFE\x00\x00\x00\x00", 5) + bytesOf([](TStream& s) { RMWriteMemo(s, {"图书"}); });
    std::string b = a.substr(0, at) + old;
    TMemoryStream m;
    m.WriteBuffer(b.data(), int64_t(b.size()));
    m.SetPosition(0);
    TRMReport t;
    ASSERT_TRUE(t.LoadFromStream(m));
    EXPECT_EQ(t.Dictionary.Version, -1);
    ASSERT_EQ(t.Dictionary.Variables.size(), 1u);
    EXPECT_EQ(t.Dictionary.Variables[0].Name, " 图书");
}

// Before version 30 there is no header word, and aliases that hide fields
// that are not there, or name no data source, are dropped.
TEST(Dictionary, version29DropsStaleEmptyAliases) {
    Library f;
    RMStreamVersion = 29;
    std::string b = bytesOf([](TStream& s) {
        RMWriteInteger(s, 0);
        RMWriteInteger(s, 3);
        for (const char* n : {"Books.Isbn", "Books.Gone", "Books"}) {
            RMWriteString(s, n);
            RMWriteString(s, "");
        }
        RMWriteInteger(s, 2);
        for (auto [n, v] : {std::pair{"RMBooks", ""}, std::pair{"RMOrders", "订单"}}) {
            RMWriteString(s, n);
            RMWriteString(s, v);
        }
    });
    TMemoryStream m;
    m.WriteBuffer(b.data(), int64_t(b.size()));
    m.SetPosition(0);
    f.d.LoadFromStream(m, 29);
    RMStreamVersion = 43;
    ASSERT_EQ(f.d.FieldAliases.size(), 1u);
    EXPECT_EQ(f.d.FieldAliases[0].Name, "Books.Isbn");
    ASSERT_EQ(f.d.DataSourceAliases.size(), 1u);
    EXPECT_EQ(f.d.DataSourceAliases[0].Name, "RMOrders");
}

struct DictionaryFile : ::testing::Test {
    std::string dir = std::string(BUILD_DIR) + "/test-tmp-dictionary/";
    void SetUp() override { ForceDirectories(dir); }
};

TEST_F(DictionaryFile, savedBytesAndTheExtensionAddedToABareName) {
    TRMDataDictionary d;
    d.Variables = {{" 馆", ""}, {"A", "1"}};
    remove((dir + "vars.rmd").c_str());
    d.SaveToFile(dir + "vars");
    TMemoryStream m;
    m.LoadFromFile(dir + "vars.rmd");
    std::string b = m.ReadRest();
    const std::string expected = std::string("\x2B\x00\x00\x00\x1E\x00", 6) + "VodidiVerovev Dictionary File\x1A" +
                                 std::string("\x00\x01\x00\x02\x00\x00\x00\x03\x00 \xB9\xDD\x00\x00\x00\x00", 16) +
                                 std::string("\x01\x00" "A\x00\x01\x00" "1\x00", 8) +
                                 std::string("\x00\x00\x00\x00\x00\x00\x00\x00", 8);
    EXPECT_EQ(b, expected);
    d.SaveToFile(dir + "vars.dic");
    EXPECT_TRUE(FileExists(dir + "vars.dic"));
    EXPECT_FALSE(FileExists(dir + "vars.dic.rmd"));
}

TEST_F(DictionaryFile, mergeKeepsWhatIsThereAndTakesTheFilesValues) {
    TRMDataDictionary file;
    file.Variables = {{" 馆", ""}, {"A", "10"}, {"C", "3"}};
    file.FieldAliases = {{"Books", "图书"}};
    file.SaveToFile(dir + "merge.rmd");
    TRMDataDictionary d;
    d.Variables = {{" 馆", ""}, {"A", "1"}, {"B", "2"}};
    ASSERT_TRUE(d.MergeFromFile(dir + "merge"));
    ASSERT_EQ(d.Variables.size(), 4u);
    EXPECT_EQ(d.FindVariable("A")->Value, "10");
    EXPECT_EQ(d.FindVariable("B")->Value, "2");
    EXPECT_EQ(d.Variables[3].Name, "C");
    EXPECT_EQ(d.GetAliasName("Books"), "图书");
    ASSERT_TRUE(d.LoadFromFile(dir + "merge"));
    EXPECT_EQ(d.Variables.size(), 3u);
    EXPECT_FALSE(d.LoadFromFile(""));
    EXPECT_FALSE(d.MergeFromFile(dir + "missing"));
}

TEST_F(DictionaryFile, wrongSignatureSaysSoAndChangesNothing) {
    std::string b = std::string("\x2B\x00\x00\x00\x05\x00", 6) + "Other" + std::string(1, '\0');
    TMemoryStream m;
    m.WriteBuffer(b.data(), int64_t(b.size()));
    m.SaveToFile(dir + "other.rmd");
    TSeamScript seam;
    seam.OnFailure = [](const std::string& msg) { ADD_FAILURE() << msg; };
    seam.ExpectMessage("不是VodidiVerovev数据字典文件!", IDOK, "错误");
    TRMDataDictionary d;
    d.Variables = {{" 馆", ""}, {"A", "1"}};
    EXPECT_FALSE(d.LoadFromFile(dir + "other.rmd"));
    EXPECT_EQ(d.Variables.size(), 2u);
}

TEST_F(DictionaryFile, aNewReportStartsWithTheDefaultDictionary) {
    TRMDataDictionary file;
    file.Variables = {{" 馆", ""}, {"馆名", "'城东图书馆'"}};
    file.SaveToFile(dir + "default");
    TRMReport r;
    r.Dictionary.Variables = {{" 旧", ""}, {"Old", "1"}};
    r.NewReport();
    EXPECT_TRUE(r.Dictionary.Variables.empty());
    r.DefaultDictionaryFile = dir + "default";
    r.NewReport();
    ASSERT_TRUE(r.Dictionary.IsVariable("馆名"));
    EXPECT_EQ(VarToStr(r.Calc("[馆名]")), "城东图书馆");
}

TEST_F(DictionaryFile, fileCutShortLeavesTheDictionaryAsItWas) {
    TRMDataDictionary file;
    file.Variables = {{" 馆", ""}, {"A", "10"}};
    file.SaveToFile(dir + "cut.rmd");
    TMemoryStream m;
    m.LoadFromFile(dir + "cut.rmd");
    m.SetSize(m.Size() - 6);
    m.SaveToFile(dir + "cut.rmd");
    TRMDataDictionary d;
    d.Variables = {{" 馆", ""}, {"B", "2"}};
    EXPECT_FALSE(d.LoadFromFile(dir + "cut.rmd"));
    ASSERT_EQ(d.Variables.size(), 2u);
    EXPECT_EQ(d.Variables[1].Name, "B");
}

} // namespace
