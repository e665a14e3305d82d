// The rules of the periodical windows as statements with bound values: the
// catalogue's search and condition, what a copy's code means to the loans
// and write-offs, the received count of the subscriptions, the state a
// write-off gives a copy and takes back, and the subscription list's
// search, condition and clearing. The windows and the tests call these.
// Not here: the windows and their messages (uMagz*).
#pragma once

#include "ADODB.h"

#include <string>
#include <vector>

// ---- the catalogue (Magzinfo)

// The quick search: code or title contain T, the call number equals T, or
// an input code begins with T; else, with a class text S, the class code
// contains S; else every copy. Ordered by code.
TBoundSql MagzQuickSearchSql(const std::string& typed, const std::string& sortCode);

// What the periodical condition dialog holds when confirmed; an empty box
// adds no criterion. Current chooses the current issues (IsNew) or the
// back issues, and always applies.
struct TMagzCondition {
    std::string Code, Name, Scode, Publisher, Isbn, Sort, Writer;
    std::string Posi, Year, PeriodNo;
    // "在馆", "外借" or "报废"; any other text adds nothing.
    std::string State;
    std::string Remarks;
    bool Current = true;
};
TBoundSql MagzConditionWhere(const TMagzCondition& c);
TBoundSql MagzConditionSql(const TMagzCondition& c);

// The columns a new copy takes from an earlier one (by ISSN or from the
// copy saved last), in order. Never the code, the state, the loans or the
// input codes.
const std::vector<const char*>& MagzCopiedColumns();

// True when a copy other than the one with Id selfId (0 for a new copy)
// already has code.
bool MagzCodeTaken(TADOConnection* c, const std::string& code, int64_t selfId);
// Moves the periodical loan rows and the write-off rows of copy oldCode to
// newCode, inside the caller's transaction; nothing when unchanged or new.
void RenameMagzCode(TADOConnection* c, const std::string& oldCode, const std::string& newCode);
// A new copy received: every subscription with the same title, or with the
// same ISSN when the copy has one, counts one more copy.
void CountSubscriptionReceived(TADOConnection* c, const std::string& name, const std::string& issn);

// ---- write-offs (MagzReject)

// Marks the copy written off; returns false when no copy has that code.
bool WriteOffMagz(TADOConnection* c, const std::string& code);
// Gives a copy back the state it has without a write-off: "外借" while a
// periodical loan of it is open, else in the library ("").
void RestoreMagzState(TADOConnection* c, const std::string& code);
// Takes every write-off of the copy away and gives the copy back its
// state, inside the caller's transaction.
void DeleteMagzWriteOffs(TADOConnection* c, const std::string& code);
// The copy a saved write-off named before its code was changed gets its
// state back, unless another write-off (not the row rejectRowId) still
// holds it; then the copy now named is written off. In the caller's
// transaction. False when no copy has newCode.
bool MoveMagzWriteOff(TADOConnection* c, const std::string& oldCode, const std::string& newCode, int64_t rejectRowId);
// The list's search: copy code contains T; else reader code contains R.
TBoundSql MagzRejectSearchSql(const std::string& copy, const std::string& reader);

// ---- subscriptions (MagzOrder)

// The list's search: code or title contain T; ordered by code.
TBoundSql MagzOrderSearchSql(const std::string& typed);
struct TMagzOrderCondition {
    std::string Code, Name, Publisher, Isbn, Sort, PostNo, PubNo, Pubfreq, Tel, LinkMan, Writer;
};
// The class criterion is "contains" wherever it stands, as the lists'
// class boxes are everywhere ("TP3" finds TP31).
TBoundSql MagzOrderConditionWhere(const TMagzOrderCondition& c);
TBoundSql MagzOrderConditionSql(const TMagzOrderCondition& c);
