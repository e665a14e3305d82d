// The rules of the reader windows as statements with bound values: the
// list's quick search and condition, and what a reader's code means to the
// loan tables and the write-offs. A reader has loans in both loan tables (books and
// periodicals), so the delete guard, the delete clean-up and a code rename
// look at both; the list, the editor and the tests call these.
// Not here: the windows and their messages (uReaderData, uReaderDataEdit).
#pragma once

#include "ADODB.h"

#include <string>

// The quick search of the reader list: code or name contain the typed text,
// or an input code begins with it; an empty text lists every reader.
TBoundSql ReaderQuickSearchSql(const std::string& typed);

// What the reader condition dialog holds when confirmed; an empty box adds
// no criterion.
struct TReaderCondition {
    std::string Code;       // contained in Code
    std::string Name;       // contained in Name, or the start of an input code
    std::string Sort;       // the reader type, exactly
    std::string Department; // exactly
    std::string Tel;        // contained in any of the three telephones
    std::string Addr;       // contained in Addr
};
// The condition without "where", criteria joined by " and " in the
// dialog's order; the name and telephone alternatives are one group each.
TBoundSql ReaderConditionWhere(const TReaderCondition& c);
// "select * from Readerinfo where ... order by code", or every reader.
TBoundSql ReaderConditionSql(const TReaderCondition& c);

// True when the reader has an item on loan ("未还") in either loan table.
bool ReaderHasOpenLoans(TADOConnection* c, const std::string& code);
// Moves every loan, return and reservation row of both loan tables, and
// the write-offs the reader was held responsible for, from oldCode to
// newCode: the write-off lists name the reader through that code. Run
// inside the caller's transaction; nothing to do when the codes are equal
// or oldCode is empty (a new reader owns no rows).
void RenameReaderCode(TADOConnection* c, const std::string& oldCode, const std::string& newCode);
// Deletes the reader's rows of both loan tables (the delete's clean-up,
// inside its transaction).
void DeleteReaderLoans(TADOConnection* c, const std::string& code);
// True when another reader than the one loaded as selfCode ("" for a new
// reader) already has code.
bool ReaderCodeTaken(TADOConnection* c, const std::string& code, const std::string& selfCode);
