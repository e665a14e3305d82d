// Stands in front of the system's sqlite3.h for every layer above the
// platform: SQLite is reached through platform/db (TADOConnection, TADOQuery).
#pragma once
#ifdef PLATFORM_PRIVATE_ACCESS
#include_next <sqlite3.h>
#else
#error "SQLite stays inside platform/db; use TADOConnection and TADOQuery"
#endif
