// The logged-in state and the shared small routines; see uGlobal.h.
#include "uGlobal.h"

#include "Application.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "vq/data/VqTextUtils.h"

#include <vector>

std::string OperatorCode;
std::string OperatorName;
TDateTime BusinessDate = 0;
std::string CorpName;
Currency PerFine;
Currency PerFine1;
bool IfFine = false;
bool IfExcced = false;
bool Ifrepeat = false;
int InDay = 0;
std::string AppTitle;

void ShowInfoBox(const std::string& text) { Application->MessageBox(text, "信息", MB_OK | MB_ICONINFORMATION); }

bool ConfirmDiscardExit() {
    return Application->MessageBox("数据未存盘，是否退出？", "提示！", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

bool IsDigitsOnly(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

void WeekdayChar(int day, std::string& text) {
    static const char* const names[] = {"日", "一", "二", "三", "四", "五", "六"};
    if (day >= 0 && day <= 6) text = names[day];
}

// The dictionary walk is the library's, so the library's own dialogs and
// the application's editors give the same codes.
void LookupInputCodes(const std::string& name, std::string& py, std::string& wbh, std::string& wb) {
    BuildInputCodes(name, py, wbh, wb);
}
