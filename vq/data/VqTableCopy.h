// Bringing outside tables into an in-memory table, as the import wizard
// does: a block of a spreadsheet (.xls or .xlsx) or a whole dBase table.
// Also the dictionary-labelled query and the routines of the shared data
// module, which this system never assigns: those give their failure values.
#pragma once

#include "ADODB.h"
#include "Variants.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TVQCustomMemTable;
class TDataSet;

// One cell of a sheet as the import sees it: its text (numbers written as
// the shortest exact decimal, dates as their serial day number, formulas as
// their last computed value) or nothing. The text is a view into the
// sheet, valid until the sheet is changed or goes away.
struct TVqSheetCell {
    bool present = false;
    std::string_view text;
};

// A sheet read whole: rows and columns from 1. Its texts lie end to end
// in a few blocks of 32 KB, and every cell is a pointer and a length into
// them, so a large sheet costs a few allocations rather than one per cell;
// a text that many cells share (a spreadsheet's shared strings) is kept
// once. Blocks stay below the size the allocator maps from the system
// afresh, which would fault every page in again at each reading.
class TVqSheet {
public:
    TVqSheet() = default;
    TVqSheet(TVqSheet&&) = default;
    TVqSheet& operator=(TVqSheet&&) = default;
    TVqSheetCell Cell(int row, int col) const;
    int RowCount() const { return int(rows_.size()); }
    void Set(int row, int col, std::string_view text);
    // Room for rows (capped); reading works without it.
    void Reserve(int rows);
    // Keeps text once and gives its number for SetShared (0, 1, 2, ...).
    int AddShared(std::string_view text);
    int SharedCount() const { return int(shared_.size()); }
    // The cell shows shared text number index (0 <= index < SharedCount()).
    void SetShared(int row, int col, int index);

private:
    struct Span {
        const char* data = nullptr;
        uint32_t length = 0;
        bool present = false;
    };
    Span& slot(int row, int col);
    Span keep(std::string_view text);

    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t blockUsed_ = 0, blockSize_ = 0;
    std::vector<Span> shared_;
    std::vector<std::vector<Span>> rows_;
};

// Reads the active sheet (.xlsx) or the first sheet (.xls). Raises
// EVqSheetError with the cause when the file cannot be opened or is not a
// spreadsheet this reader knows.
class EVqSheetError : public Exception {
public:
    using Exception::Exception;
};
TVqSheet ReadSheet(const std::string& fileName);

// The message the import shows when the spreadsheet cannot be used.
inline constexpr const char* SheetFailedMessage = "没有发现Excel,或是设置有误!";

// Loads a block of the sheet into table, which it redefines: row firstRow
// gives the field names (columns firstCol .. firstCol + colCount: one more
// than colCount, as the wizard has always read), a blank header skips its
// column, a repeated name gets 1, 2, ... appended; each field is text, as
// wide as the longest cell of its column but at least 100 bytes. The next
// rowCount rows become records; an empty cell stays null. When the file
// cannot be read, or reading fails midway, the message SheetFailedMessage
// is shown and the records posted so far stay. Always returns false.
bool ExcelToMemTable(const std::string& fileName, int firstRow, int firstCol, int colCount, int rowCount,
                     TVQCustomMemTable* table);

// Loads a dBase table (text in GBK) into table, which it redefines:
// character fields become strings of their width, numbers with decimals
// Currency (fixed-point, as the table's BCD), whole numbers integers, logical
// fields Booleans, dates dates. Failures (no such file, not a dBase file)
// raise EDatabaseError for the caller. Always returns false.
bool CopyTableToMemTable(const std::string& fileName, TVQCustomMemTable* table);

// Would copy the table into the shared data module's business database;
// without the module it writes nothing and returns false.
bool CopyTableToSqlServer(TDataSet* source, const std::string& tableName);
// Would run the SQL on the module's connection; without the module: 0, and
// result unchanged.
int QueryValues(const std::string& sql, Variant& result, bool system);
void StartBusinessTransaction();
void CommitBusinessTransaction();
void RollbackBusinessTransaction();

// An ADO query that shows Currency and BCD fields with two decimals once it
// opens. Its dictionary labels come from the shared data module, absent
// here, so RefreshDictLabels changes nothing.
class TVQADOQuery : public TADOQuery {
public:
    explicit TVQADOQuery(TComponent* AOwner) : TADOQuery(AOwner) {}
    std::string ClassName() const override { return "TVQADOQuery"; }
    const std::string& DictTableName() const { return dictTableName_; }
    void SetDictTableName(const std::string& v) { dictTableName_ = v; }
    bool RefreshField() const { return false; }
    void SetRefreshField(bool) { RefreshDictLabels(); }
    void RefreshDictLabels() {}

protected:
    void DoAfterOpen() override;

private:
    std::string dictTableName_;
};
