// The program body: title, splash, the process date format, the data
// module, then the main window, whose first show logs the operator in.
#include "Forms.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uMain.h"
#include "app/uStartup.h"
#include "vq/export/VQTranOut.h"

int main() {
    Application->Initialize();
    AppTitle = ProductName;
    Application->SetTitle(AppTitle);
    // The data grids' title menu opens the export and chart windows.
    InstallGridTitleMenu();

    // Owned by the application but not created through it: the main window
    // must be the application's main form.
    auto* splash = new TFrmStartup(Application);
    splash->Repaint();
    splash->Show();
    splash->Update();
    Application->ProcessMessages();
    Sleep(1000);
    if (splash->Visible()) splash->Hide();

    // Every date the program turns into text, SQL literals included.
    FormatSettings.ShortDateFormat = "yyyy-MM-dd";

    DMData = new TDMData(Application);
    if (!DMData->Opened()) return 1;

    Application->CreateForm(FrmMain);
    Application->Run();
    return 0;
}
