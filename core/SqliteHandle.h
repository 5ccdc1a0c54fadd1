// The SQLite connection under a wrapper database, for the few calls the
// wrapper does not offer (progress handler, column declarations).
#pragma once

class wxSQLite3Database;
struct sqlite3;

namespace tw {

// Null when the database is not open.
sqlite3* SqliteHandle(wxSQLite3Database& db);

} // namespace tw
