// JPEG encode/decode through libjpeg, bad files raising the class library's
// texts, and TPicture leaving its picture alone when a load fails.
#include <vector>
#include <cstdio>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <cstdlib>
#include <QImage>
#include <fstream>

#include "Graphics.h"
#include "Jpeg.h"
#include "SysUtils.h"

namespace {

// Each test runs as a process of its own, several at once: a file name of
// its own keeps one test's fixture from being rewritten under another.
// They are removed when the process ends.
std::string TempPath(const std::string& name) {
    struct Made {
        std::vector<std::string> paths;
        ~Made() {
            for (const std::string& p : paths) std::remove(p.c_str());
        }
    };
    static Made made;
    made.paths.push_back(std::string(BUILD_DIR) + "/ui_graphics_" + std::to_string(getpid()) + "_" + name);
    return made.paths.back();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string JpegBytes(int w = 16, int h = 16) {
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, w / 2, h));
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(Rect(w / 2, 0, w, h));
    TJPEGImage j;
    j.Assign(&b);
    j.SetCompressionQuality(95);
    TMemoryStream ms;
    j.SaveToStream(ms);
    return ms.Bytes();
}

bool Near(TColor a, TColor b, int tol = 40) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

TEST(Jpeg, encodeDecodeRoundTrip) {
    std::string bytes = JpegBytes(32, 16);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(uint8_t(bytes[0]), 0xFF);
    EXPECT_EQ(uint8_t(bytes[1]), 0xD8);
    TMemoryStream in;
    in.Write(bytes.data(), int64_t(bytes.size()));
    in.SetPosition(0);
    TJPEGImage j;
    j.LoadFromStream(in);
    EXPECT_EQ(j.Width(), 32);
    EXPECT_EQ(j.Height(), 16);
    TBitmap b;
    b.Assign(&j);
    EXPECT_TRUE(Near(b.Canvas()->Pixels(3, 8), clRed));
    EXPECT_TRUE(Near(b.Canvas()->Pixels(28, 8), clBlue));
    // An untouched image saves back the bytes it read.
    TMemoryStream out;
    j.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), bytes);
}

TEST(Jpeg, grayscaleEncodesOneChannel) {
    TBitmap b;
    b.SetSize(8, 8);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 8, 8));
    TJPEGImage j;
    j.SetGrayscale(true);
    j.Assign(&b);
    TMemoryStream ms;
    j.SaveToStream(ms);
    ms.SetPosition(0);
    TJPEGImage back;
    back.LoadFromStream(ms);
    TBitmap out;
    out.Assign(&back);
    TColor c = out.Canvas()->Pixels(4, 4);
    EXPECT_EQ(GetRValue(c), GetGValue(c));
    EXPECT_EQ(GetGValue(c), GetBValue(c));
    EXPECT_NEAR(GetRValue(c), 76, 6) << "red's luminance";
}

TEST(Jpeg, scaleHalvesDecodedSize) {
    std::string bytes = JpegBytes(32, 16);
    TMemoryStream in;
    in.Write(bytes.data(), int64_t(bytes.size()));
    in.SetPosition(0);
    TJPEGImage j;
    j.SetScale(jsHalf);
    j.LoadFromStream(in);
    EXPECT_EQ(j.Width(), 16);
    EXPECT_EQ(j.Height(), 8);
}

struct BadJpegRow {
    const char* name;
    std::function<std::string()> bytes;
    const char* message;
};

class BadJpeg : public testing::TestWithParam<BadJpegRow> {};

TEST_P(BadJpeg, raisesLibjpegMessageAndKeepsImage) {
    std::string good = JpegBytes();
    TMemoryStream gs;
    gs.Write(good.data(), int64_t(good.size()));
    gs.SetPosition(0);
    TJPEGImage j;
    j.LoadFromStream(gs);
    std::string bad = GetParam().bytes();
    TMemoryStream bs;
    bs.Write(bad.data(), int64_t(bad.size()));
    bs.SetPosition(0);
    try {
        j.LoadFromStream(bs);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, GetParam().message);
    }
    EXPECT_EQ(j.Width(), 16);
    EXPECT_EQ(j.Data().size(), good.size());
}

INSTANTIATE_TEST_SUITE_P(Files, BadJpeg,
                         testing::Values(BadJpegRow{"NotAJpeg", [] { return std::string("BM\x10\x00garbage"); },
                                                    "Not a JPEG file: starts with 0x42 0x4d"},
                                         BadJpegRow{"Truncated",
                                                    [] {
                                                        std::string s = JpegBytes();
                                                        return s.substr(0, s.size() / 2);
                                                    },
                                                    "Premature end of JPEG file"},
                                         BadJpegRow{"Empty", [] { return std::string(); }, "Empty input file"},
                                         BadJpegRow{"HeaderOnly", [] { return std::string("\xFF\xD8\xFF", 3); },
                                                    "Premature end of JPEG file"}),
                         RowName());

TEST(Jpeg, flippedBytesInScanNeverCrash) {
    std::string good = JpegBytes(64, 64);
    for (size_t at = 20; at < good.size(); at += 7) {
        std::string bad = good;
        bad[at] = char(bad[at] ^ 0x5A);
        TMemoryStream s;
        s.Write(bad.data(), int64_t(bad.size()));
        s.SetPosition(0);
        TJPEGImage j;
        try {
            j.LoadFromStream(s);
        } catch (const EInvalidGraphic&) {}
    }
    SUCCEED();
}

class PictureLoad : public testing::Test {
protected:
    void SetUp() override {
        TBitmap b;
        b.SetSize(7, 5);
        b.SaveToFile(TempPath("good.bmp"));
        pic.LoadFromFile(TempPath("good.bmp"));
        ASSERT_NE(dynamic_cast<TBitmap*>(pic.Graphic()), nullptr);
    }
    void ExpectUnchanged() {
        EXPECT_NE(dynamic_cast<TBitmap*>(pic.Graphic()), nullptr);
        EXPECT_EQ(pic.Width(), 7);
        EXPECT_EQ(pic.Height(), 5);
    }
    TPicture pic;
};

TEST_F(PictureLoad, missingFileRaisesOpenErrorAndKeepsPicture) {
    std::string path = TempPath("missing.jpg");
    DeleteFile(path);
    try {
        pic.LoadFromFile(path);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file \"" + path + "\"");
    }
    ExpectUnchanged();
}

TEST_F(PictureLoad, corruptBitmapRaisesBitmapNotValid) {
    WriteFile(TempPath("bad.bmp"), "BMnot really a bitmap");
    try {
        pic.LoadFromFile(TempPath("bad.bmp"));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Bitmap image is not valid");
    }
    ExpectUnchanged();
}

TEST_F(PictureLoad, corruptJpegRaisesLibjpegTextAndKeepsPicture) {
    std::string s = JpegBytes();
    WriteFile(TempPath("cut.jpg"), s.substr(0, s.size() / 2));
    try {
        pic.LoadFromFile(TempPath("cut.jpg"));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Premature end of JPEG file");
    }
    ExpectUnchanged();
}

TEST_F(PictureLoad, unknownExtensionNamesIt) {
    try {
        pic.LoadFromFile(TempPath("photo.Xyz"));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Unknown picture file extension (.Xyz)");
    }
    ExpectUnchanged();
}

TEST_F(PictureLoad, jpegByExtensionBecomesJpegImage) {
    WriteFile(TempPath("photo.JPEG"), JpegBytes());
    pic.LoadFromFile(TempPath("photo.JPEG"));
    EXPECT_NE(dynamic_cast<TJPEGImage*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 16);
}

TEST_F(PictureLoad, iconByExtensionBecomesIcon) {
    QImage ico(16, 16, QImage::Format_ARGB32);
    ico.fill(Qt::red);
    ASSERT_TRUE(ico.save(QString::fromStdString(TempPath("app.ico")), "ICO"));
    pic.LoadFromFile(TempPath("app.ico"));
    ASSERT_NE(dynamic_cast<TIcon*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 16);
    TBitmap b;
    b.SetSize(20, 20);
    b.Canvas()->Draw(2, 2, pic.Graphic());
    EXPECT_EQ(b.Canvas()->Pixels(5, 5), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
}

TEST(Picture, drawingOnItsBitmapCountsAsAChange) {
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    pic.Bitmap()->SetSize(4, 4);
    int afterSize = changes;
    EXPECT_GE(afterSize, 1);
    pic.Bitmap()->Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_GT(changes, afterSize);
}

TEST(Bitmap, bmpFileRoundTrip) {
    TBitmap b;
    b.SetSize(5, 3);
    b.Canvas()->SetPixels(4, 2, RGB(9, 99, 199));
    b.SaveToFile(TempPath("rt.bmp"));
    TBitmap c;
    c.LoadFromFile(TempPath("rt.bmp"));
    EXPECT_EQ(c.Width(), 5);
    EXPECT_EQ(c.Height(), 3);
    EXPECT_EQ(c.Canvas()->Pixels(4, 2), RGB(9, 99, 199));
}

} // namespace
