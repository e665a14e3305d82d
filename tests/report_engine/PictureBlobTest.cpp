// A picture object bound to a blob field: the content tells the kind where
// it can, else the object's BlobType names it (icon and metafile each the
// kind of their name).
#include <gtest/gtest.h>

#include <fstream>

#include "Metafile.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

std::string bmpBytes(int w, int h) {
    TBitmap b;
    b.SetSize(w, h);
    TMemoryStream s;
    b.SaveToStream(s);
    return s.Bytes();
}


} // namespace

TEST(ReportPictureBlob, kindComesFromTheContentElseFromBlobType) {
    const std::string jfif = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + "rest";
    const std::string unknown = "\x12\x34\x56\x78 picture bytes";
    struct Case {
        const char* what;
        std::string bytes;
        uint8_t blobType;
        uint8_t kind;
        uint8_t blobTypeAfter;
    };
    const Case cases[] = {
        {"JFIF wins over the blob type", jfif, 3, pkJpeg, 1},
        {"a bitmap header wins", std::string("BM") + std::string(20, '\0'), 2, pkBitmap, 2},
        {"btBMP", unknown, 0, pkBitmap, 0},
        {"btJPG", unknown, 1, pkJpeg, 1},
        {"btICO gives an icon", unknown, 2, pkIcon, 2},
        {"btWMF gives a metafile", unknown, 3, pkMetafile, 3},
        {"btGIF selects nothing", unknown, 4, pkNone, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRMPictureView p;
        p.BlobType = c.blobType;
        p.GetBlob(c.bytes, false);
        EXPECT_EQ(p.Picture.Kind, c.kind);
        EXPECT_EQ(p.Picture.Bytes, c.bytes);
        EXPECT_EQ(p.BlobType, c.blobTypeAfter);
    }
    TRMPictureView p;
    p.GetBlob(unknown, false);
    p.GetBlob(Null(), false);
    EXPECT_TRUE(p.Picture.Empty());
    p.GetBlob(unknown, true); // a blank row shows no picture
    EXPECT_TRUE(p.Picture.Empty());
}

// A new picture is stretched keeping its aspect; Center and KeepAspect are
// the bits the report file gives them (0x2 and 0x4).
TEST(ReportPicture, optionsAreTheFileFormatsBits) {
    TRMPictureView p;
    EXPECT_TRUE(p.Stretched());
    EXPECT_TRUE(p.KeepAspect());
    EXPECT_FALSE(p.Center());
    EXPECT_EQ(p.Flags & 0x000F, flStretched | 0x0004);
    struct Case {
        const char* name;
        uint16_t bit;
    };
    for (Case c : {Case{"Stretched", 0x0001}, Case{"Center", 0x0002}, Case{"KeepAspect", 0x0004},
                   Case{"Transparent", 0x0008}}) {
        SCOPED_TRACE(c.name);
        TRMPictureView q;
        q.Flags &= ~0x000F;
        q.SetPropValue(c.name, true);
        EXPECT_EQ(q.Flags & 0x000F, c.bit);
        EXPECT_TRUE(q.GetPropValue(c.name).AsBoolean());
    }
    p.SetPropValue("BlobType", 2);
    EXPECT_EQ(p.GetPropValue("BlobType").AsInteger(), 2);
}

// The target rectangle: stretched over the object, keeping the aspect at
// the left or in the middle, or in the picture's own size, always clipped
// to the object; a transparent picture goes through cmSrcAnd, so that the
// paper under its white shows.
TEST(ReportPicture, drawsIntoTheRectangleItsOptionsGive) {
    struct Case {
        bool stretched, keepAspect, center, transparent;
        TRect want;
    };
    const Case cases[] = {
        {true, false, false, false, TRect(0, 0, 100, 50)},
        {true, true, false, false, TRect(0, 0, 50, 50)},
        {true, true, true, false, TRect(25, 0, 75, 50)},
        {false, false, false, true, TRect(0, 0, 200, 200)},
        {false, false, true, false, TRect(-50, -75, 150, 125)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want.Left * 1000 + c.want.Right);
        TRMPictureView p;
        p.SetBounds(0, 0, 100, 50);
        p.Picture.Bytes = bmpBytes(200, 200);
        p.Picture.Kind = pkBitmap;
        p.SetPropValue("Stretched", c.stretched);
        p.SetPropValue("KeepAspect", c.keepAspect);
        p.SetPropValue("Center", c.center);
        p.SetPropValue("Transparent", c.transparent);
        auto images = DrawnRecords(p, mrImage);
        ASSERT_EQ(images.size(), 1u);
        const TMetafileRecord* r = &images[0];
        EXPECT_EQ(r->Bounds, c.want);
        EXPECT_TRUE(r->Clipped);
        EXPECT_EQ(TCopyMode(r->Param1), c.transparent ? cmSrcAnd : cmSrcCopy);
    }
}

// A script loads the picture from a file; an empty or missing name leaves
// it empty, and the design view then shows the placeholder.
TEST(ReportPicture, loadFromFileTakesAFileOrEmptiesThePicture) {
    TRMReport r;
    auto* p = static_cast<TRMPictureView*>(r.Pages[0]->Add(std::make_unique<TRMPictureView>()));
    p->CreateUniqueName(&r);
    p->SetBounds(0, 0, 100, 50);
    std::string file = GetTempFileName("") + ".bmp";
    std::ofstream(file, std::ios::binary) << bmpBytes(4, 3);
    r.Variables["F"] = file;
    r.RunScript({p->Name + ".LoadFromFile(F)"});
    EXPECT_EQ(p->Picture.Kind, pkBitmap);
    r.RunScript({p->Name + ".LoadFromFile('')"});
    EXPECT_TRUE(p->Picture.Empty());
    TMetafile mf;
    std::vector<std::string> texts;
    {
        TMetafileCanvas c(&mf);
        p->Draw(&c);
        for (auto* t : c.TextRecords()) texts.push_back(t->Text);
    }
    EXPECT_EQ(texts, std::vector<std::string>{"[图片]"});
    DeleteFile(file);
}

// A line is the top side of a flat object and the left side of a narrow
// one; drawn once, it keeps that shape.
TEST(ReportLine, flatLineDrawsItsTopSideAndLosesItsHeight) {
    TRMLineView l;
    l.SetBounds(10, 20, 200, 3);
    auto lines = DrawnRecords(l, mrLine);
    EXPECT_EQ(l.Height, 0);
    EXPECT_TRUE(l.TopFrame.Visible);
    EXPECT_FALSE(l.LeftFrame.Visible);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points[0].Y, lines[0].Points[1].Y);
    TRMLineView v;
    v.SetBounds(10, 20, 3, 200);
    DrawnRecords(v, mrLine);
    EXPECT_EQ(v.Width, 0);
    EXPECT_TRUE(v.LeftFrame.Visible);
}
