// The logged-in state and the shared small routines; see uGlobal.h.
#include "uGlobal.h"

#include "Forms.h"
#include "Gbk.h"
#include "SysUtils.h"

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

namespace {

// The dictionary's lines as GBK bytes, line ends removed.
std::vector<std::string> readDictionary() {
    std::vector<std::string> lines;
    const std::string path = ExeDir() + "Ime.DCT";
    if (!FileExists(path)) return lines;
    std::string bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const Exception&) {
        return lines;
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The trimmed one-byte column (1-based) of a line; "" when the line is
// shorter.
std::string column(const std::string& line, size_t col) {
    if (line.size() < col) return {};
    return Trim(line.substr(col - 1, 1));
}

} // namespace

void LookupInputCodes(const std::string& name, std::string& py, std::string& wbh, std::string& wb) {
    const std::vector<std::string> lines = readDictionary();
    py.clear();
    wbh.clear();
    wb.clear();
    // Keys are two GBK bytes at a time, so an ASCII letter pairs with the
    // next byte and usually finds nothing: the dictionary holds only
    // Chinese characters.
    std::string rest = Utf8ToGbk(name);
    std::string gbkPy, gbkWbh, gbkWb;
    while (!rest.empty()) {
        const std::string key = rest.substr(0, 2);
        for (const std::string& line : lines) {
            if (line.size() >= 2 && line.compare(0, 2, key) == 0 && key.size() == 2) {
                gbkPy += column(line, 37);
                gbkWbh += column(line, 13);
                gbkWb += column(line, 7);
                break;
            }
        }
        rest.erase(0, 2);
    }
    py = GbkToUtf8(gbkPy);
    wbh = GbkToUtf8(gbkWbh);
    wb = GbkToUtf8(gbkWb);
}
