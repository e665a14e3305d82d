// What the tests that print reports share: the report engine's output
// folder, a tool's output (pdftotext reads the PDFs) and the folder's index,
// one line per printed file, rebuilt from the lines each test leaves.
#pragma once

#include "SysUtils.h"

#include <cstdio>
#include <fstream>
#include <string>

// build/test-output/reports/, made when missing.
inline std::string ReportsFolder() {
    const std::string out = std::string(BUILD_DIR) + "/test-output/reports/";
    ForceDirectories(out + "index.d");
    return out;
}

// What cmd writes to its standard output.
inline std::string CommandOutput(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    if (p) pclose(p);
    return out;
}

// Records file (in the reports folder) in its index.
inline void IndexReport(const std::string& file, const std::string& templateFile, int pages,
                        const std::string& firstText) {
    const std::string out = ReportsFolder();
    const std::string name = file.substr(0, file.rfind('.'));
    {
        std::ofstream line(out + "index.d/" + name + ".tsv");
        line << file << '\t' << templateFile << '\t' << pages << '\t' << firstText << '\n';
    }
    CommandOutput("cd " + out +
                  " && (printf 'file\\ttemplate\\tpages\\tfirst page text\\n'; cat index.d/*.tsv) > index.tsv.tmp"
                  " && mv index.tsv.tmp index.tsv");
}
