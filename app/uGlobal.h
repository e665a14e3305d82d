// The logged-in state every window reads (operator, business date and the
// library settings copied from the AcctInfo row) and the small routines
// nearly every window calls: the information box, the discard question,
// the digit test, the weekday numeral and the input-code look-up.
// Not here: loading the settings (the main window's start-up) or the
// database connection (uDMData).
#pragma once

#include "System.h"

#include <string>

// Written at start-up and on a change of operator; read everywhere. One
// user-interface thread, so no locking.
extern std::string OperatorCode;
extern std::string OperatorName;
// The working day chosen after login: "today" for lending, daily lists and
// the clock. A whole day number.
extern TDateTime BusinessDate;
extern std::string CorpName;
extern Currency PerFine;
extern Currency PerFine1;
extern bool IfFine;
extern bool IfExcced;
extern bool Ifrepeat;
extern int InDay;
extern std::string AppTitle;

// The product name: application title, first status panel, default library
// name and the exit question.
inline constexpr const char* ProductName = "Quillory图书馆管理系统";

// Modal box with the text, caption "信息", information icon, OK only.
void ShowInfoBox(const std::string& text);
// "数据未存盘，是否退出？" with Yes/No, No the default; true only for Yes.
bool ConfirmDiscardExit();
// True when every character is 0-9; true for "".
bool IsDigitsOnly(const std::string& text);
// Sets text to the weekday numeral of day 0 (Sunday) .. 6; any other day
// leaves text as it was.
void WeekdayChar(int day, std::string& text);
// Fills the pinyin-initial, stroke and wubi codes of a name from "Ime.DCT"
// beside the executable: one letter per GBK character found there, in
// order. All three are cleared first; a missing dictionary gives "".
void LookupInputCodes(const std::string& name, std::string& py, std::string& wbh, std::string& wb);
