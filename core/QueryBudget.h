// A bound on the work one database connection may do while a budget is in
// force: a file from outside (a catalogue update, say) can hold a query
// that never ends, or that takes hours, and the start must not wait on it.
#pragma once

#include <chrono>

class wxSQLite3Database;

namespace tw {

// While the object lives, a statement of the connection that goes beyond
// the budget is interrupted: it fails with a database exception ("interrupted").
// One budget per connection at a time; the connection must stay open while
// the budget lives (its end is told to the connection).
class QueryBudget
{
public:
    // steps: SQLite virtual-machine steps in all (0: no limit); milliseconds:
    // time from now (0: no limit).
    QueryBudget(wxSQLite3Database& db, long long steps, long milliseconds);
    ~QueryBudget();
    QueryBudget(const QueryBudget&) = delete;
    QueryBudget& operator=(const QueryBudget&) = delete;

    // Whether a statement was interrupted for going beyond the budget.
    bool Exceeded() const { return m_exceeded; }

    // Steps counted between two looks at the budget.
    static constexpr int kStepsPerLook = 1000;

private:
    static int OnProgress(void* self);

    void* m_handle = nullptr;
    long long m_looksLeft = 0;   // < 0: no step limit
    bool m_timed = false;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_exceeded = false;
};

} // namespace tw
