// The export window's three file writers: delimited text with a side file
// for blob bytes, an HTML table, and a dBase III table. Text and HTML take
// a grid's visible columns; dBase takes every field of the data set.
// All three write GBK (code page 936) and write beside the target, renaming
// over it only when complete, so a failure never leaves half a file.
// Not here: the spreadsheet (VQExcelExport.h) and word-processor writers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "VQExportSource.h"

class TVQCustomDBGrid;

// The text writer's own failures: "网格参数不存在", "Dataset is not active".
class TVQDBToTextError : public Exception {
public:
    using Exception::Exception;
};

class TVQDatasetToText {
public:
    char Delimiter = '\t';
};

class TVQDataSetToHTML;

// CellRow: 1 for the titles, 2 for the first record; CellColumn counts the
// visible columns from 1. CellData arrives escaped and is written as left,
// so a handler may put markup there.
using THTMLFormatCellEvent =
    std::function<void(TVQDataSetToHTML* Sender, int CellRow, int CellColumn, const std::string& FieldName,
                       std::string& CustomAttrs, std::string& CellData)>;

class TVQDataSetToHTML {
public:
    // Replace the default head and tail lines when not empty.
    std::vector<std::string> Header;
    std::vector<std::string> Footer;
    THTMLFormatCellEvent OnFormatCell;
};

class TVQDataSetToDBF {
public:
    TDataSet* DataSet = nullptr;
    // Writes every field of DataSet to fileName (".dbf" added when the name
    // has no extension), replacing an existing file only once the new one
    // is complete. Types: text C (as wide as its longest GBK value, at
    // most 254 bytes), integers N(n,0), floats and money N(20,4), Boolean L,
    // dates and date-times D, times C(8), memo text C(254); graphic and
    // binary fields are left out. Names are cut to 10 GBK bytes and made
    // unique. Throws EVQExportError.
    void ExportToFile(const std::string& fileName);
    // What the last export left out or cut ("照片: 图形字段不能导出"), for
    // the caller to show.
    std::vector<std::string> Warnings;
};

// "\"" + text with inner quotes doubled + "\"".
std::string QuoteText(const std::string& s);
// & < > " escaped for HTML text and attribute values.
std::string HtmlEscape(const std::string& s);

// Writes the visible columns of every record; throws TVQDBToTextError or
// EVQExportError. Returns the name written (".txt" added when the name has
// no extension). Blob bytes go to <name>.mem; a stale one is removed.
std::string DataSetToTextFile(TVQDatasetToText* exporter, const TVQExportSource& src, const std::string& fileName);
std::string DataSetToTextFile(TVQDatasetToText* exporter, TVQCustomDBGrid* grid, const std::string& fileName);
void DataSetToHTMLFile(TVQDataSetToHTML* exporter, const TVQExportSource& src, const std::string& fileName);
void DataSetToHTMLFile(TVQDataSetToHTML* exporter, TVQCustomDBGrid* grid, const std::string& fileName);
