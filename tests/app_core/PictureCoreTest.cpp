// Pictures of the start-up windows for a look by eye (scripts/screenshot.sh
// runs these under Xvfb): the login and business-date dialogs as shown,
// and the main window after the start-up.
#include "CoreFixture.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uLogin.h"
#include "app/uMain.h"
#include "app/uSysDate.h"

#include <memory>

namespace {

class PictureCoreTest : public CoreFixture {};

TEST_F(PictureCoreTest, startUpWindows) {
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    AppTitle = ProductName;
    std::unique_ptr<TDMData> dm(new TDMData(nullptr));
    ASSERT_TRUE(dm->Opened());
    const std::string build = BUILD_DIR;
    script.ExpectForm("TFrmLogin", mrNone, {}, [build](TCustomForm* f) {
        auto* login = static_cast<TFrmLogin*>(f);
        login->CmbId->SetItemIndex(0);
        EXPECT_TRUE(SaveFormPng(f, build + "/test-output/screens/login-window.png"));
        login->BitBtn1->Click();
    });
    script.ExpectForm("TFrmSysDate", mrNone, {}, [build](TCustomForm* f) {
        auto* d = static_cast<TFrmSysDate*>(f);
        d->DTPDate->SetDate(EncodeDate(2011, 5, 1));
        EXPECT_TRUE(SaveFormPng(f, build + "/test-output/screens/date-window.png"));
        d->BitBtn1->Click();
    });
    TFrmMain* main = nullptr;
    Application->CreateForm(main);
    main->Show();
    ProcessEvents();
    main->Timer1Timer(nullptr);
    ProcessEvents();
    EXPECT_TRUE(SaveFormPng(main, build + "/test-output/screens/main-window-after-login.png"));
    EXPECT_GT(FileSize(build + "/test-output/screens/main-window-after-login.png"), 0);
    delete main;
    ProcessEvents();
}

} // namespace
