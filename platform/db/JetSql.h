// The Jet-dialect SQL translator: the application writes its statements in the
// dialect of the original desktop database engine (#date# literals, isnull(),
// iif(), left(), len(), DateDiff(), select top N, true/false); this turns one
// such statement into text SQLite runs with the same meaning.
// It is not a parser: it works on tokens, rewrites only the forms above and
// passes everything else through unchanged, spacing included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Translates one Jet-dialect statement into SQLite's dialect.
// Quoted text ('...' with '' escapes, "...") is never rewritten, so a '#' or
// the word "top" inside a literal stays as typed. Dates in #...# become quoted
// 'yyyy-MM-dd' text (the form every date column stores), zero-padded.
// Throws EDatabaseError for a #...# literal that is not a date or is not closed.
// Placeholders pass through: ":name" as it stands, and each bare "?" becomes
// "?N", numbered from 1 in the order they appear, so that a rewrite which
// repeats an argument (right(), DateDiff()) binds the same value twice
// instead of shifting the ones after it.
std::string JetToSqlite(std::string_view jetSql);

// The placeholders of a Jet-dialect statement in the order they appear,
// outside quoted text, [names] and #dates#: the name of each ":name"
// (without the colon) and "" for each "?". A name that appears twice is
// listed twice.
std::vector<std::string> JetPlaceholders(std::string_view jetSql);
