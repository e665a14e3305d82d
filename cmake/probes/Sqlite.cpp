// Must not compile as a unit of app/: SQLite stays inside platform/db.
#include <sqlite3.h>

int probeSqlite() { return sqlite3_libversion_number(); }
