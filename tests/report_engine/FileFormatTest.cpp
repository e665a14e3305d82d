// Report streams byte by byte: primitives, the header, object records of
// every built-in class and the barcode, round trips and older versions.
#include <gtest/gtest.h>

#include <set>

#include "TestKit.h"

#include "report/barcode/RM_BarCodeView.h"
#include "report/model/RM_Report.h"

namespace {

std::string hex(const std::string& b) {
    std::string o;
    char buf[4];
    for (unsigned char c : b) {
        snprintf(buf, sizeof buf, "%02X ", c);
        o += buf;
    }
    if (!o.empty()) o.pop_back();
    return o;
}

template <class F>
std::string bytesOf(F f) {
    TMemoryStream m;
    f(m);
    m.SetPosition(0);
    return m.ReadRest();
}

TMemoryStream streamOf(const std::string& bytes) {
    TMemoryStream m;
    m.WriteBuffer(bytes);
    m.SetPosition(0);
    return m;
}

TEST(ReportStream, emptyStringAndListAreThreeZeroBytes) {
    EXPECT_EQ(hex(bytesOf([](TStream& s) { RMWriteString(s, ""); })), "00 00 00");
    EXPECT_EQ(hex(bytesOf([](TStream& s) { RMWriteMemo(s, {}); })), "00 00 00");
}

TEST(ReportStream, twoLinesAreSeparatedByCarriageReturnAndClosedByZero) {
    EXPECT_EQ(hex(bytesOf([](TStream& s) { RMWriteMemo(s, {"a", "b"}); })), "02 00 01 00 61 0D 01 00 62 00");
}

TEST(ReportStream, emptyListReadConsumesItsClosingZero) {
    TMemoryStream m;
    m.WriteBuffer(std::string("\x00\x00\x00\x07", 4));
    m.SetPosition(0);
    EXPECT_TRUE(RMReadMemo(m).empty());
    EXPECT_EQ(RMReadByte(m), 7);
}

TEST(ReportStream, chineseTextIsGbkOnDisk) {
    std::string b = bytesOf([](TStream& s) { RMWriteString(s, "书"); });
    EXPECT_EQ(hex(b), "02 00 CA E9 00");
    auto m = streamOf(b);
    EXPECT_EQ(RMReadString(m), "书");
}

TEST(ReportStream, pictureWithoutGraphicPointsJustBehindItsEndField) {
    std::string b = bytesOf([](TStream& s) { RMWritePicture(s, {}, true); });
    EXPECT_EQ(hex(b), "00 00 06 00 00 00");
}

TEST(ReportStream, unknownPictureBytesSurviveLoadAndSave) {
    TRMPictureView v;
    v.Picture.Kind = pkMetafile;
    v.Picture.Bytes = std::string("\xD7\xCD\xC6\x9A\x01\x02\x03", 7);
    TMemoryStream m;
    v.SaveToStream(m);
    m.SetPosition(0);
    TRMPictureView w;
    w.LoadFromStream(m);
    EXPECT_EQ(w.Picture.Kind, pkMetafile);
    EXPECT_EQ(w.Picture.Bytes, v.Picture.Bytes);
}

TEST(ReportFile, newFileStartsWithVersionSubVersionsAndSignature) {
    TRMReport r;
    std::string b = bytesOf([&](TStream& s) { r.SaveToStream(s); });
    EXPECT_EQ(hex(b.substr(0, 6)), "2B 00 0B 1A 00 56");
    EXPECT_EQ(b.substr(5, 25), "VodidiVerovev Report File");
    EXPECT_EQ(hex(b.substr(30, 2)), "1A 00");
}

TEST(ReportFile, frameWidthIsStoredInThousandths) {
    TRMMemoView v;
    v.LeftFrame.Width = 1.5;
    TMemoryStream m;
    v.SaveToStream(m);
    m.SetPosition(0);
    TRMMemoView w;
    w.LoadFromStream(m);
    EXPECT_DOUBLE_EQ(w.LeftFrame.Width, 1.5);
}

// The barcode writes object version 0; a Flags2 written anyway would shift
// every later field by four bytes.
TEST(ReportFile, barcodeRecordWithObjectVersionZeroReadsBack) {
    TRMBarCodeView b;
    b.Name = "Bar1";
    b.SetBounds(10, 20, 200, 60);
    b.Memo = {"[Books.\"Barcode\"]"};
    b.Settings.BarType = 3;
    b.Settings.Zoom = 2;
    b.Settings.Angle = 90;
    TMemoryStream m;
    b.SaveToStream(m);
    m.SetPosition(0);
    TRMBarCodeView c;
    c.LoadFromStream(m);
    EXPECT_EQ(m.Position(), m.Size());
    EXPECT_EQ(c.ObjectVersion, 0);
    EXPECT_EQ(c.Name, "Bar1");
    EXPECT_EQ(c.Memo, b.Memo);
    EXPECT_EQ(c.Settings.Zoom, 2);
    EXPECT_DOUBLE_EQ(c.Settings.Angle, 90);
    EXPECT_EQ(c.Width, 200);
}

TRMReport* sampleReport(TRMReport& r) {
    TRMPage* p = r.Pages[0];
    auto* band = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
    band->Name = "MasterData1";
    band->SetBandType(bkMasterData);
    band->SetDataSet("Books");
    band->SetBounds(0, 100, 700, 24);
    auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
    m->Name = "Memo1";
    m->SetBounds(20, 102, 200, 20);
    m->Memo = {"书名：[Books.\"Title\"]", "第二行"};
    m->Font.Name = "宋体";
    m->Font.Size = 12;
    m->Font.Style = 2;
    m->SetFrameAll(true, 1.5);
    auto* bc = static_cast<TRMBarCodeView*>(p->Add(std::make_unique<TRMBarCodeView>()));
    bc->Name = "Bar1";
    bc->SetBounds(300, 102, 150, 40);
    auto* l = p->Add(std::make_unique<TRMLineView>());
    l->Name = "Line1";
    l->SetBounds(0, 130, 700, 0);
    r.Dictionary.Variables.push_back({" 分类", ""});
    r.Dictionary.Variables.push_back({"馆名", "'图书馆'"});
    r.ReportInfo.Title = "图书清单";
    r.DoublePass = true;
    return &r;
}

TEST(ReportFile, saveLoadSaveIsByteIdentical) {
    TRMReport r;
    sampleReport(r);
    std::string a = bytesOf([&](TStream& s) { r.SaveToStream(s); });
    TRMReport r2;
    auto m = streamOf(a);
    ASSERT_TRUE(r2.LoadFromStream(m));
    std::string b = bytesOf([&](TStream& s) { r2.SaveToStream(s); });
    EXPECT_EQ(hex(a), hex(b));
    EXPECT_EQ(r2.ReportInfo.Title, "图书清单");
    EXPECT_TRUE(r2.DoublePass);
    ASSERT_EQ(r2.Pages[0]->Objects.size(), 4u);
    auto* memo = dynamic_cast<TRMMemoView*>(r2.FindObject("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Memo[0], "书名：[Books.\"Title\"]");
    EXPECT_EQ(memo->Font.Name, "宋体");
    EXPECT_NE(dynamic_cast<TRMBarCodeView*>(r2.FindObject("Bar1")), nullptr);
}

TEST(ReportFile, everyObjectGetsItsOwnId) {
    TRMReport r;
    sampleReport(r);
    std::set<uint32_t> ids;
    for (auto& o : r.Pages[0]->Objects) ids.insert(o->ID);
    EXPECT_EQ(ids.size(), r.Pages[0]->Objects.size());
    auto c = r.FindObject("Memo1")->Clone();
    EXPECT_FALSE(ids.count(c->ID));
}

TEST(ReportFile, unknownAddInIsSkippedAndTheRestLoads) {
    TRMReport r;
    sampleReport(r);
    std::string a = bytesOf([&](TStream& s) { r.SaveToStream(s); });
    // Rename the barcode's class to one nobody registered (same length).
    size_t p = a.find("TRMBarCodeView");
    ASSERT_NE(p, std::string::npos);
    a.replace(p, 14, "TRMFooBarzView");
    TRMReport r2;
    auto m = streamOf(a);
    EXPECT_TRUE(r2.LoadFromStream(m));
    EXPECT_NE(r2.LastError.find("TRMFooBarzView"), std::string::npos);
    EXPECT_NE(r2.FindObject("Memo1"), nullptr);
    EXPECT_NE(r2.FindObject("Line1"), nullptr);
    EXPECT_EQ(r2.FindObject("Bar1"), nullptr);
}

TEST(ReportFile, newerVersionIsRefused) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    seam.ExpectMessage("不支持的rmf格式", IDOK);
    TRMReport r;
    auto m = streamOf(std::string("\x2C\x00\x0B", 3));
    EXPECT_FALSE(r.LoadFromStream(m));
    EXPECT_EQ(r.LastError, "不支持的rmf格式");
}

TEST(ReportFile, wrongSignatureLeavesOneEmptyPage) {
    TSeamScript seam;
    seam.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    seam.ExpectMessage("不是VodidiVerovev报表文件", IDOK);
    TRMReport r;
    sampleReport(r);
    std::string a = bytesOf([&](TStream& s) { r.SaveToStream(s); });
    a[6] = 'X';
    auto m = streamOf(a);
    EXPECT_FALSE(r.LoadFromStream(m));
    EXPECT_EQ(r.Pages.Count(), 1);
    EXPECT_TRUE(r.Pages[0]->Objects.empty());
}

TEST(ReportFile, missingFileSaysSoAndKeepsTheName) {
    TRMReport r;
    EXPECT_FALSE(r.LoadFromFile("/nonexistent/BookData"));
    EXPECT_EQ(r.FileName, "/nonexistent/BookData.rmf");
    EXPECT_EQ(r.LastError, "报表文件不存在：/nonexistent/BookData.rmf");
}

// Version 38, object version 2: the old view form (W = 3820) with its frame
// word, string frame width and 16-bit GapY.
TEST(ReportFile, version38ObjectVersion2ReadsTheOldViewForm) {
    std::string b;
    auto put = [&](const std::string& x) { b += x; };
    auto i32 = [&](int v) { put(std::string(reinterpret_cast<char*>(&v), 4)); };
    auto u16 = [&](int v) {
        uint16_t w = uint16_t(v);
        put(std::string(reinterpret_cast<char*>(&w), 2));
    };
    auto str = [&](const std::string& s) {
        u16(int(s.size()));
        put(s);
        put(std::string(1, '\0'));
    };
    str("Line9");
    put(std::string("\x02\x00", 2)); // ObjectVersion 2, ClassVersion 0
    i32(1);
    i32(2);
    i32(30);
    i32(0);
    u16(0x0C00);
    u16(8 | 4); // frame: top + left
    str("2.5"); // frame width
    i32(0xFF);  // frame colour
    u16(0);     // skipped
    u16(0);     // frame style
    i32(3);     // GapX
    u16(4);     // GapY
    i32(0x1FFFFFFF);
    put(std::string(1, '\0')); // BandAlign
    i32(0x22E);
    str("");
    u16(0);
    put(std::string(1, '\0')); // Memo
    u16(0);
    put(std::string(1, '\0')); // OnBeforePrint
    u16(0);
    put(std::string(1, '\0')); // OnAfterPrint
    u16(0xFFFF);
    u16(0);
    str("");
    auto m = streamOf(b);
    RMStreamVersion = 38;
    TRMLineView v;
    v.LoadFromStream(m);
    RMStreamVersion = RMCurrentVersion;
    EXPECT_EQ(m.Position(), m.Size());
    EXPECT_EQ(v.Name, "Line9");
    EXPECT_TRUE(v.TopFrame.Visible);
    EXPECT_TRUE(v.LeftFrame.Visible);
    EXPECT_FALSE(v.RightFrame.Visible);
    EXPECT_DOUBLE_EQ(v.TopFrame.Width, 2.5);
    EXPECT_EQ(v.GapY, 4);
}

TEST(ReportFile, templateKeepsDescriptionAndBody) {
    TRMReport r;
    sampleReport(r);
    std::string f = std::string(BUILD_DIR) + "/test-tmp-template.rmt";
    r.SaveTemplate(f, {"图书清单模板"});
    TRMReport t;
    TRMLines d;
    ASSERT_TRUE(t.LoadTemplate(f, &d, nullptr, true));
    EXPECT_EQ(d, TRMLines{"图书清单模板"});
    EXPECT_NE(t.FindObject("Memo1"), nullptr);
    remove(f.c_str());
}

TEST(ReportFile, dictionaryFileRoundTrips) {
    TRMDataDictionary d;
    d.Variables = {{" 馆藏", ""}, {"书价合计", "SUM([Price])"}};
    std::string f = std::string(BUILD_DIR) + "/test-tmp-dict.rmd";
    d.SaveToFile(f);
    TRMDataDictionary e;
    ASSERT_TRUE(e.LoadFromFile(f));
    ASSERT_EQ(e.Variables.size(), 2u);
    EXPECT_EQ(e.Variables[1].Value, "SUM([Price])");
    remove(f.c_str());
}

} // namespace
