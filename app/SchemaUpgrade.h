// Bringing a database made by an earlier release up to this one's schema
// as it opens: the unique index on the item codes (Bookinfo.Code,
// Magzinfo.Code), which circulation relies on to find one copy by its code,
// and the ISBN / ISSN indexes that copy cataloguing looks copies up by.
// A file whose items already share codes keeps its data and its plain
// index, and the duplicates are reported each time it opens, until they
// are mended; then the next opening makes the index unique.
// Not here: copying an older file's rows into this one (uParameter).
#pragma once

#include <string>
#include <vector>

class TADOConnection;

// The codes one table holds more than once (compared as the column
// compares: without regard to case), each with its number of rows.
struct TDuplicateCodes {
    std::string Table;
    std::vector<std::pair<std::string, int>> Codes;
};

// The item tables whose Code is unique, in the order they are reported.
const std::vector<std::string>& UniqueCodeTables();

// Whether table's code index is the unique one.
bool CodeIsUnique(TADOConnection* c, const std::string& table);

// The codes of table that occur more than once.
TDuplicateCodes DuplicateCodes(TADOConnection* c, const std::string& table);

// Makes each item table's code index unique where it is not yet and the
// rows allow it; returns the tables whose duplicates kept it plain. Each
// table changes in a transaction of its own: a failure leaves its index as
// it was. Raises EDatabaseError only when the file cannot be read at all.
std::vector<TDuplicateCodes> UpgradeSchema(TADOConnection* c);

// Turns table's unique code index back into a plain one, inside the
// caller's transaction: for copying an older file's rows that share codes.
void RelaxCodeIndex(TADOConnection* c, const std::string& table);

// The report of duplicates to the operator: which codes, per table, at
// most ten of each; "" when there are none.
std::string DuplicateCodesMessage(const std::vector<TDuplicateCodes>& found);

// Runs UpgradeSchema on the shared connection and shows its report, if
// any, through the dialog seam. Never raises: a file the upgrade cannot
// touch opens as it is.
void UpgradeOpenedDatabase(TADOConnection* c);
