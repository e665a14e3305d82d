// The family names windows ask for resolve to installed faces that cover
// Chinese: a Song/Ming face for "宋体", Hei for "黑体", Kai for "楷体_GB2312",
// and Latin faces backed by a Chinese one for the Western names.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <QFontInfo>
#include <QFontMetrics>

#include "Graphics.h"
#include "Canvas_p.h"

namespace {

struct FontRow {
    const char* name;
    const char* asked;
    const char* family;
};

class FontMapping : public testing::TestWithParam<FontRow> {};

TEST_P(FontMapping, resolvesToInstalledFace) {
    TFont f;
    f.SetName(GetParam().asked);
    QFont q = ToQFont(f, 96);
    EXPECT_EQ(QFontInfo(q).family().toStdString(), GetParam().family);
    // Chinese text has glyphs in the resolved font or its fallback.
    EXPECT_TRUE(QFontMetrics(q).inFontUcs4(U'图') || QFontInfo(q).family().startsWith("DejaVu"));
}

INSTANTIATE_TEST_SUITE_P(Families, FontMapping,
                         testing::Values(FontRow{"Song", "宋体", "AR PL UMing CN"},
                                         FontRow{"Hei", "黑体", "WenQuanYi Zen Hei"},
                                         FontRow{"Kai", "楷体_GB2312", "AR PL UKai CN"},
                                         FontRow{"Arial", "Arial", "DejaVu Sans"},
                                         FontRow{"Times", "Times New Roman", "DejaVu Serif"},
                                         FontRow{"MsSansSerif", "MS Sans Serif", "DejaVu Sans"},
                                         FontRow{"CourierNew", "Courier New", "DejaVu Sans Mono"}),
                         RowName());

TEST(FontMapping, songNinePointIsTwelvePixelsOnScreen) {
    TFont f;
    QFont q = ToQFont(f, 96);
    EXPECT_EQ(q.pixelSize(), 12);
}

} // namespace
