// The book catalogue's statements as plain functions with bound values:
// the list's quick search, the condition dialog's criteria, the editor's
// duplicate-code test and the side updates of a save. What the operator
// types is matched as typed (a quote or a % included), so the windows and
// the tests agree on every statement.
// Not here: the windows (uBookData, uBookDataEdit, uBookCond).
#pragma once

#include "ADODB.h"
#include "System.h"

#include <string>

// The list's quick search: with code text T, the code (withCode: records
// of the pre-catalogue have none) or title contains T, the call number is
// T, or an input code begins with T; else, with class text S, the class
// code contains S; else "" (every row).
TBoundSql BookSearchWhere(const std::string& text, const std::string& sortText, bool withCode);

// What the book condition dialog holds when confirmed; empty texts add
// nothing.
struct TBookCondition {
    std::string Code, Name, YName, Scode, Publisher, Isbn, Sort, Writer, Translator, Posi, State, Remarks,
        Remarks1;
    // New copies: at most InDay days between RegDate and Today.
    bool OnlyNew = false;
    TDateTime Today = 0;
    int InDay = 0;
    // A code range, used as typed (also when a box is empty).
    bool Range = false;
    std::string From, To;
};

// The condition (without "where") in the dialog's order: code, the title
// group (title contains, input codes begin with), original title, call
// number, publisher, ISBN, class, writer, translator, shelf (equal),
// state (在馆 / 外借 / 报废), synopsis, abstract, new copies, code range.
// Criteria are joined with "and"; "" when nothing was filled in.
TBoundSql BookConditionWhere(const TBookCondition& c);

// "select * from <table> where <condition> order by Id", or without the
// where for an empty condition.
TBoundSql BookListSql(const std::string& table, const TBoundSql& where);

// Whether another copy than the one with id selfId (0: none) holds code.
bool BookCodeTaken(TADOConnection* c, const std::string& code, int64_t selfId);

// The side updates of saving a copy, run inside the save's transaction:
// a copy whose code changed from oldCode (non-empty, the code as loaded)
// takes the rows of both loan tables and its write-offs along; a new copy
// counts one received on every ordering line of its title, or of its
// ISBN when it has one.
void BookSaveSideUpdates(TADOConnection* c, bool adding, const std::string& oldCode, const std::string& code,
                         const std::string& name, const std::string& isbn);

// What became of a pre-catalogue record's transfer into the catalogue.
enum class TTransferResult { Done, DuplicateCode, NoRecord };

// Transfers the pre-catalogue record preId into the catalogue as a copy
// with barcode code, in one transaction: its bibliographic columns, the
// abstract and the input codes of its title go over, the circulation
// columns stay empty, and the record is deleted unless keepRecord.
// DuplicateCode (nothing written) when a copy already has the code.
TTransferResult TransferToCatalogue(TADOConnection* c, int64_t preId, const std::string& code, bool keepRecord);

// Bulk delete of the pre-catalogue's listed records: those matching
// condition, or, for the unfiltered list (an empty condition, which shows
// only the first records by Id), those up to lastListedId. One statement;
// returns the number deleted.
int DeletePreCatalogue(TADOConnection* c, const TBoundSql& condition, int64_t lastListedId);

// A copy's state once it has no write-off left: "外借" while it has an open
// loan, else "" (in the library).
void RestoreCopyState(TADOConnection* c, const std::string& code);

// The item updates of saving a write-off, inside the save's transaction:
// the copy code is written off ("报废"); when an edit moved the write-off
// from formerCode to another copy, the former copy gets its state back
// unless another write-off still holds it.
void WriteOffSideUpdates(TADOConnection* c, const std::string& code, const std::string& formerCode);

// Deletes every write-off of the copy and gives it its state back.
void DeleteWriteOffs(TADOConnection* c, const std::string& code);
