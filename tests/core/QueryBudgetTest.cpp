// The bound on what one connection may work through: a statement that goes
// beyond it fails instead of running on, and the connection is free again
// once the bound is gone.
#include <gtest/gtest.h>
#include <wx/wxsqlite3.h>

#include "core/QueryBudget.h"
#include "support/TestSupport.h"

namespace {

// Never ends, and never yields a row: a sort of an unbounded sequence.
const char kEndless[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i FROM n ORDER BY i";
// Ends after some 5 million steps.
const char kLong[] = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500000) "
                     "SELECT count(*) FROM n";

long long Count(wxSQLite3Database& db)
{
    wxSQLite3ResultSet rs = db.ExecuteQuery(kLong);
    return rs.NextRow() ? rs.GetInt64(0).GetValue() : -1;
}

} // namespace

TEST(QueryBudget, StatementsBeyondTheBudgetFailAndTheConnectionIsFreeAfterwards)
{
    tw::test::TempDir dir;
    wxSQLite3Database db;
    db.Open(dir / "b.db");
    const struct {
        const char* what;
        long long steps;
        long milliseconds;
    } bounds[] = {
        {"steps", 1000000, 0},
        {"time", 0, 200},
        {"both, steps first", 1000000, 600000},
        {"both, time first", 100000000000LL, 200},
    };
    for (const auto& b : bounds) {
        SCOPED_TRACE(b.what);
        {
            tw::QueryBudget budget(db, b.steps, b.milliseconds);
            EXPECT_THROW(db.ExecuteQuery(kEndless), wxSQLite3Exception);
            EXPECT_TRUE(budget.Exceeded());
        }
        // Bound gone: a statement of more steps than the budget runs to its end.
        EXPECT_EQ(Count(db), 500000);
    }

    // Within the budget nothing is stopped, and a budget without any limit
    // stops nothing either.
    for (const long long steps : {100000000LL, 0LL}) {
        tw::QueryBudget budget(db, steps, 0);
        EXPECT_EQ(Count(db), 500000);
        EXPECT_FALSE(budget.Exceeded());
    }
}
