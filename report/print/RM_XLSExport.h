// The spreadsheet export of built pages: every text object of every page
// becomes a cell of one worksheet, rows and columns found from the objects'
// positions (one row per line of objects, pages one below the other), so
// that a list report comes out as the list. Numbers written as plain
// decimals become number cells; everything else stays text.
#pragma once

#include <vector>

#include "report/model/RM_Report.h"

class TRMXLSExportFilter : public TRMExportFilter {
public:
    bool IsSpreadsheet() const override { return true; }
    // Asks for the file (the preview's spreadsheet button).
    int Setup() override;
    void OnBeginDoc() override;
    void OnBeginPage(int pageIndex, int pageWidth, int pageHeight) override;
    void OnData(int left, int top, TRMView* view) override;
    void OnEndDoc() override;

    struct Item {
        int Page, Left, Top, Width;
        std::string Text;
    };

private:
    std::vector<Item> items_;
    int page_ = 0;
};

// The engine's own export filters, registered once: the spreadsheet
// export ("Excel 文件 (*.xlsx)").
void RMRegisterBuiltInExportFilters();
TRMXLSExportFilter* RMSpreadsheetExportFilter();
