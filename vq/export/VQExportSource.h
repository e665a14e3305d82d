// What every exporter reads of a grid: its data set and its visible columns
// in column order (caption, field, width in pixels). The data grid and the
// second grid library each make one of these, so the spreadsheet, text,
// HTML and word-processor writers exist once.
// Also the exporters' one exception and the write-beside-then-rename file
// that keeps a failed export from leaving half a file under the name asked.
#pragma once

#include <string>
#include <vector>

#include "DB.h"
#include "SysUtils.h"

struct TVQExportColumn {
    std::string Caption;
    // Null for a visible column bound to no field: it exports empty cells.
    TField* Field = nullptr;
    int Width = 64;
};

struct TVQExportSource {
    TDataSet* DataSet = nullptr;
    std::vector<TVQExportColumn> Columns;
};

// A failed export; the message names the real cause (the file, the
// library's own error text).
class EVQExportError : public Exception {
public:
    using Exception::Exception;
};

// Spreadsheet column letters of a 1-based column number: 1 "A", 26 "Z",
// 27 "AA", 16384 "XFD"; "" for 0 or less.
std::string ExcelColumnLetter(int column);

// Field kinds as the writers group them.
bool IsBlobKind(TFieldType t);
bool IsNumericKind(TFieldType t);

// The scope of a file written beside its final name and renamed over it
// only by Commit(): a failure (or a destructor without Commit) removes the
// scratch file and leaves whatever stood under the final name untouched.
class TVQAtomicFile {
public:
    // tempSuffix keeps an extension a library insists on ("x.dbf" is
    // written as ".x.dbf.part<pid>.dbf" beside it).
    explicit TVQAtomicFile(std::string finalName, const std::string& tempSuffix = "");
    ~TVQAtomicFile();
    TVQAtomicFile(const TVQAtomicFile&) = delete;
    TVQAtomicFile& operator=(const TVQAtomicFile&) = delete;
    const std::string& TempName() const { return temp_; }
    const std::string& FinalName() const { return final_; }
    // Renames the scratch file over the final name; throws EVQExportError.
    void Commit();

private:
    std::string final_;
    std::string temp_;
    bool committed_ = false;
};

// Walks a data set from its first record under disabled controls and
// re-enables them on every way out.
class TVQDisabledControls {
public:
    explicit TVQDisabledControls(TDataSet* ds) : ds_(ds) {
        if (ds_) ds_->DisableControls();
    }
    ~TVQDisabledControls() {
        if (ds_) ds_->EnableControls();
    }
    TVQDisabledControls(const TVQDisabledControls&) = delete;
    TVQDisabledControls& operator=(const TVQDisabledControls&) = delete;

private:
    TDataSet* ds_;
};
