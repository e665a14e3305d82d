// A picture object bound to a blob field: the content tells the kind where
// it can, else the object's BlobType names it (icon and metafile each the
// kind of their name).
#include <gtest/gtest.h>

#include "report/model/RM_Report.h"

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
