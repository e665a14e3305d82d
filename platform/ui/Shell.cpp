// Desktop hand-off through QDesktopServices; help command lines are parsed,
// never executed as given.
#include "Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <filesystem>

#include "Application.h"
#include "Controls_p.h"

bool ShellExecuteOpen(const std::string& target) {
    Application.get();
    QString t = ToQt(target);
    QUrl url = t.contains("://") || t.startsWith("mailto:", Qt::CaseInsensitive) ? QUrl(t) : QUrl::fromLocalFile(t);
    return QDesktopServices::openUrl(url);
}

std::string HelpTarget(const std::string& commandLine) {
    std::string s = commandLine;
    auto lower = [](std::string v) {
        for (char& c : v) c = char(std::tolower((unsigned char)c));
        return v;
    };
    size_t exe = lower(s).find("hh.exe");
    if (exe == std::string::npos) return {};
    s = s.substr(exe + 6);
    while (!s.empty() && (s.front() == ' ' || s.front() == '"')) s.erase(s.begin());
    while (!s.empty() && (s.back() == ' ' || s.back() == '"')) s.pop_back();
    std::string file = s, topic;
    if (size_t sep = s.find("::"); sep != std::string::npos) {
        file = s.substr(0, sep);
        topic = s.substr(sep + 2);
    }
    for (char& c : file)
        if (c == '\\') c = '/';
    for (char& c : topic)
        if (c == '\\') c = '/';
    while (!topic.empty() && topic.front() == '/') topic.erase(topic.begin());
    namespace fs = std::filesystem;
    fs::path f(file);
    if (!topic.empty()) {
        fs::path stemDir = f.parent_path() / f.stem();
        for (const fs::path& cand : {stemDir / topic, f.parent_path() / topic})
            if (fs::exists(cand)) return cand.string();
    }
    return fs::exists(f) ? f.string() : std::string();
}

bool WinExecHelp(const std::string& commandLine) {
    std::string target = HelpTarget(commandLine);
    return !target.empty() && ShellExecuteOpen(target);
}
