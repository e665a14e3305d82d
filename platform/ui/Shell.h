// Opening documents with the desktop: files, web addresses and "mailto:"
// links, and the help command line of the old help viewer.
#pragma once

#include <string>

// Opens target (a path, "http://..." or "mailto:...") with the desktop's
// handler. Returns true when a handler was started.
bool ShellExecuteOpen(const std::string& target);
// Runs a command line of the old help viewer, "HH.exe <file>::<topic>":
// opens the file's HTML page for the topic when one exists beside it, else
// the file itself when present. Any other command line is refused (false):
// nothing else is ever executed.
bool WinExecHelp(const std::string& commandLine);
// The page WinExecHelp would open ("" when none): for "dir/help.chm::/a.htm"
// dir/help/a.htm or dir/a.htm when they exist, else the file when it exists.
std::string HelpTarget(const std::string& commandLine);
