#include "core/QueryBudget.h"

#include <wx/wxsqlite3.h>

// After the wrapper, whose names some of SQLite's macros would replace.
#include <sqlite3.h>

#include "core/SqliteHandle.h"

namespace tw {

namespace {

// The connection's own SQLite handle, which the wrapper keeps to itself.
struct HandleOf : wxSQLite3Database {
    static sqlite3* Get(wxSQLite3Database& db)
    {
        return static_cast<sqlite3*>((db.*(&HandleOf::GetDatabaseHandle))());
    }
};

} // namespace

sqlite3* SqliteHandle(wxSQLite3Database& db)
{
    return db.IsOpen() ? HandleOf::Get(db) : nullptr;
}

QueryBudget::QueryBudget(wxSQLite3Database& db, long long steps, long milliseconds)
{
    if (!db.IsOpen())
        return;
    m_handle = SqliteHandle(db);
    if (!m_handle)
        return;
    m_looksLeft = steps > 0 ? (steps + kStepsPerLook - 1) / kStepsPerLook : -1;
    m_timed = milliseconds > 0;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    sqlite3_progress_handler(static_cast<sqlite3*>(m_handle), kStepsPerLook, &QueryBudget::OnProgress, this);
}

QueryBudget::~QueryBudget()
{
    if (m_handle)
        sqlite3_progress_handler(static_cast<sqlite3*>(m_handle), 0, nullptr, nullptr);
}

int QueryBudget::OnProgress(void* self)
{
    QueryBudget& budget = *static_cast<QueryBudget*>(self);
    if (budget.m_looksLeft == 0 || (budget.m_timed && std::chrono::steady_clock::now() >= budget.m_deadline)) {
        budget.m_exceeded = true;
        return 1;
    }
    if (budget.m_looksLeft > 0)
        --budget.m_looksLeft;
    return 0;
}

} // namespace tw
