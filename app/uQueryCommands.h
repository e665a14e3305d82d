// The main menu's query, ranking, daily-list, statistics and fine
// commands, wired to their items in one table so that the main window's
// own unit stays about the frame.
#pragma once

class TFrmMain;

// Sets the OnClick of every query, ranking, daily-list, overdue,
// statistics and fine item of the main menu.
void WireQueryCommands(TFrmMain* main);
