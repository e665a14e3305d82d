// Picture files whose headers declare more pixels than any photo has. A
// JPEG of 2 KB declaring 65,500 x 65,500 pixels took 16.7 GB of memory, or
// crashed the program when the allocation failed. Each must be refused as
// an invalid picture from its header alone: the tests run with the address
// space limited, so a load that allocates for the declared size fails
// (or crashes) instead of succeeding slowly.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "Graphics.h"
#include "Jpeg.h"
#include "SysUtils.h"
#include "support/CraftedPictures.h"
#include "support/TestNames.h"

namespace {

// Limits the process's address space to what it uses now plus `room`
// while in scope.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(size_t room) {
        getrlimit(RLIMIT_AS, &saved_);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit r = saved_;
        r.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room;
        if (saved_.rlim_cur == RLIM_INFINITY || r.rlim_cur < saved_.rlim_cur) setrlimit(RLIMIT_AS, &r);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &saved_); }

private:
    rlimit saved_{};
};

struct HugeRow {
    const char* name;
    const char* extension;
    std::function<std::string()> bytes;
};

class HugeDeclaredPicture : public ::testing::TestWithParam<HugeRow> {};

TEST_P(HugeDeclaredPicture, isRefusedBeforeAnythingIsAllocated) {
    const std::string file =
        std::string(BUILD_DIR) + "/ui_graphics_huge_" + std::to_string(getpid()) + "." + GetParam().extension;
    const std::string bytes = GetParam().bytes();
    AtomicWriteFile(file, bytes);
    TPicture picture;
    std::string error = "(none)";
    {
        AddressSpaceLimit limit(size_t(512) << 20);
        try {
            picture.LoadFromFile(file);
        } catch (const EInvalidGraphic& e) {
            error = e.Message;
        }
    }
    DeleteFile(file);
    EXPECT_NE(error, "(none)");
    EXPECT_EQ(picture.Graphic(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, HugeDeclaredPicture,
                         ::testing::Values(HugeRow{"jpegBaseline", "jpg", [] { return JpegDeclaring(65500, 65500); }},
                                           HugeRow{"jpegProgressive", "jpg",
                                                   [] { return JpegDeclaring(65500, 65500, true); }},
                                           HugeRow{"jpegWide", "jpg", [] { return JpegDeclaring(65500, 2000); }},
                                           HugeRow{"bmp", "bmp", [] { return BmpDeclaring(65500, 65500); }},
                                           HugeRow{"bmpTopDown", "bmp", [] { return BmpDeclaring(65500, -65500); }},
                                           HugeRow{"icoBitmap", "ico", [] { return IcoDeclaring(65500, 65500); }}),
                         RowName());

TEST(HugeDeclaredPicture, theJpegMessageNamesTheDeclaredSize) {
    TMemoryStream in;
    const std::string bytes = JpegDeclaring(65500, 40000);
    in.Write(bytes.data(), int64_t(bytes.size()));
    in.SetPosition(0);
    TJPEGImage j;
    try {
        j.LoadFromStream(in);
        ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "JPEG image is too large (65500 x 40000 pixels)");
    }
    EXPECT_TRUE(j.Empty());
}

TEST(HugeDeclaredPicture, aLargeRealPhotoStillLoads) {
    TMemoryStream in;
    const std::string bytes = SmallJpeg(4000, 3000);
    in.Write(bytes.data(), int64_t(bytes.size()));
    in.SetPosition(0);
    TJPEGImage j;
    j.LoadFromStream(in);
    EXPECT_EQ(j.Width(), 4000);
    EXPECT_EQ(j.Height(), 3000);
}

} // namespace
