// A list window's report printed as a person prints it (报表打印, then OK in
// the print dialog) through the built-in PDF printer into the reports
// folder and its index (ReportOutput.h), and read back with pdftotext.
#pragma once

#include "DialogSeam.h"
#include "Menus.h"
#include "Printers.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/uMDIBaseData.h"
#include "support/ReportOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// Prints list's report into <reports>/<name>.pdf, its template copied from
// the built program folder into programDir's report folder; title is the
// report's heading, for the index. Returns the PDF's text ("" after a
// failure, when no file was written).
inline std::string PrintListReport(TMDIBaseData* list, TSeamScript& script, const std::string& programDir,
                                   const std::string& name, const std::string& title) {
    const std::string pdf = ReportsFolder() + name + ".pdf";
    ForceDirectories(programDir + "report");
    EXPECT_TRUE(CopyFile(std::string(BUILD_DIR) + "/program/report/" + list->ReportFile,
                         programDir + "report/" + list->ReportFile, false));
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    script.ExpectForm("TRMPrintDialogForm", mrOk, {}, [](TCustomForm* f) { SendClickTo(f, "BtnOK"); });
    list->N3->Click();
    if (!FileExists(pdf)) {
        ADD_FAILURE() << "no report written: " << pdf;
        return {};
    }
    IndexReport(name + ".pdf", list->ReportFile, 1, title);
    return CommandOutput("pdftotext -layout '" + pdf + "' -");
}
