// Pictures of the classification window and the MARC import, for a person
// to look at: build/test-output/screens/.
#include "CatalogueFixture.h"

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "app/uMarcIn.h"
#include "app/uSortSet.h"

#include <filesystem>
#include <memory>

namespace {

const std::string screens = std::string(BUILD_DIR) + "/test-output/screens/";

class ScreensCatalogueTest : public CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        std::filesystem::create_directories(screens);
    }
};

TEST_F(ScreensCatalogueTest, classificationWindow) {
    Exec("insert into Type (sKey, ParentKey, SortCode, SortName) values "
         "('000000', '00', 'A', '马克思主义、列宁主义'), ('000001', '00', 'B', '哲学、宗教'), "
         "('000002', '00', 'I', '文学'), ('000003', '00', 'T', '工业技术'), "
         "('0000020000', '000002', 'I1', '世界文学'), ('0000020001', '000002', 'I2', '中国文学'), "
         "('0000020002', '000002', 'I3', '亚洲文学'), ('00000200010000', '0000020001', 'I24', '小说'), "
         "('0000030000', '000003', 'TP', '自动化技术、计算机技术')");
    TFrmSortSet form(nullptr);
    ShowAndActivate(&form);
    form.FindParentNode("000002")->Expand(false);
    form.FindParentNode("0000020001")->Expand(false);
    form.Tvtemp->SetSelected(form.FindParentNode("000002"));
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(&form, screens + "class-tree-three-levels.png"));
}

TEST_F(ScreensCatalogueTest, marcImportDialog) {
    TFrmMarcIn form(nullptr);
    ShowAndActivate(&form);
    SendText(form.EditFile, "/home/librarian/marc/新书目录.iso");
    EXPECT_TRUE(SaveFormPng(&form, screens + "marc-import.png"));
}

} // namespace
