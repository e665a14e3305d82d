// The two ordering lists share their rules: book orders (Bookshort) and
// periodical subscriptions (MagzOrder) are both lines with a code, copies
// ordered (RegQty) and copies received so far (BeBuy). A line is fully
// received once it ordered something and at least as many copies came;
// a line that orders nothing yet is never one of them.
// Not here: the windows, or the columns only one of the two lists has
// beyond the condition of the book orders.
#pragma once

#include "ADODB.h"

#include <initializer_list>
#include <string>

// Builds a WHERE text criterion by criterion, each joined with "and"; the
// typed values are bound, never written into the text.
class TOrderWhere {
public:
    // column like '%typed%' (typed literally); nothing when typed is empty.
    void Contains(const char* column, const std::string& typed);
    // column = typed; nothing when typed is empty.
    void Equals(const char* column, const std::string& typed);
    // One criterion of its own, with its values.
    void Add(const std::string& text, std::initializer_list<Variant> values);
    const TBoundSql& Where() const { return where_; }

private:
    TBoundSql where_;
};

// "select * from <table> [where ...] order by code".
TBoundSql OrderListSql(const std::string& table, const TBoundSql& where);
// The list's search: any of columns contains typed; the whole list when
// typed is empty.
TBoundSql OrderSearchSql(const std::string& table, std::initializer_list<const char*> columns,
                         const std::string& typed);
// True when another line of table already has this code ("" never is).
bool OrderCodeTaken(TADOConnection* c, const std::string& table, const std::string& code);
// Deletes the fully received lines of table; returns how many.
int ClearFullyReceivedOrders(TADOConnection* c, const std::string& table);

// ---- book orders (Bookshort)

// The list's search: code, title or source-language title contain typed.
TBoundSql BookShortSearchSql(const std::string& typed);
struct TBookShortCondition {
    std::string Code, Name, YName, Publisher, Isbn, Sort, Translator, Writer;
};
// One criterion per filled box, in the dialog's order; the ISBN must be
// equal, every other box is contained. The class is "contains" wherever it
// stands, as in every other class box of the lists ("TP3" finds TP31),
// rather than "contains" when first and "equals" after another box.
TBoundSql BookShortConditionWhere(const TBookShortCondition& c);
TBoundSql BookShortConditionSql(const TBookShortCondition& c);
