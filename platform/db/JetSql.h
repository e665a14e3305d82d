// The Jet-dialect SQL translator: the application writes its statements in the
// dialect of the original desktop database engine (#date# literals, isnull(),
// iif(), left(), len(), DateDiff(), select top N, true/false); this turns one
// such statement into text SQLite runs with the same meaning.
// It is not a parser: it works on tokens, rewrites only the forms above and
// passes everything else through unchanged, spacing included.
#pragma once

#include <string>
#include <string_view>

// Translates one Jet-dialect statement into SQLite's dialect.
// Quoted text ('...' with '' escapes, "...") is never rewritten, so a '#' or
// the word "top" inside a literal stays as typed. Dates in #...# become quoted
// 'yyyy-MM-dd' text (the form every date column stores), zero-padded.
// Throws EDatabaseError for a #...# literal that is not a date or is not closed.
std::string JetToSqlite(std::string_view jetSql);
