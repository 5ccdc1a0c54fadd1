// Private copies of the three seed databases for one test, opened
// read-write, and the pieces every engine test needs around them.
#pragma once

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/wxsqlite3.h>

#include "support/TestSupport.h"
#include "engine/suggest/SuggestionRun.h"

namespace tw::test {

class SeedCopies
{
public:
    SeedCopies()
    {
        for (const char* name : {"zir.db", "zir_user.db", "MarineZones.db"})
            EXPECT_TRUE(wxCopyFile(ResourcesDir() + "/" + name, m_dir / name)) << name;
        catalogue.Open(m_dir / "zir.db");
        user.Open(m_dir / "zir_user.db");
        zones.Open(m_dir / "MarineZones.db");
        // Tests that hold a lock from a second connection must not wait for it.
        for (wxSQLite3Database* db : {&catalogue, &user, &zones})
            db->SetBusyTimeout(0);
    }
    ~SeedCopies()
    {
        for (wxSQLite3Database* db : {&catalogue, &user, &zones})
            if (db->IsOpen())
                db->Close();
    }
    SeedCopies(const SeedCopies&) = delete;
    SeedCopies& operator=(const SeedCopies&) = delete;

    wxString Path(const wxString& name) const { return m_dir / name; }
    SuggestionDatabases Handles() { return {&catalogue, &user, &zones}; }

    wxSQLite3Database catalogue, user, zones;

private:
    TempDir m_dir;
};

// Sinks that record what the engine reports.
struct Recorder {
    wxString log;
    std::vector<wxString> boxes;
    int probes = 0;
    int deleteAtProbe = -1;   // the probe (1-based) at which the Delete key is down; -1 never

    SuggestionSinks Sinks(bool withLog = true)
    {
        SuggestionSinks s;
        if (withLog)
            s.log = [this](const wxString& t) { log += t; };
        s.messageBox = [this](const wxString& t) { boxes.push_back(t); };
        s.deleteKeyDown = [this]() { return ++probes == deleteAtProbe; };
        return s;
    }
};

inline void Exec(wxSQLite3Database& db, const wxString& sql)
{
    db.ExecuteUpdate(sql);
}

inline std::vector<wxString> Texts(wxSQLite3Database& db, const wxString& sql)
{
    std::vector<wxString> out;
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    while (rs.NextRow())
        out.push_back(rs.GetAsString(0));
    return out;
}

// The ids of batch 2 in the order the run added them, against the rows of
// its final query, run as it is written, in their order, then the fixed
// files not already added.
inline void ExpectFinalQueryOrder(wxSQLite3Database& catalogue, wxSQLite3Database& user,
                                  const SuggestionOutcome& out)
{
    std::vector<wxString> expected;
    std::set<wxString> seen;
    for (const wxString& id : Texts(catalogue, out.queries.finalQuery))
        if (!id.empty() && seen.insert(id).second)
            expected.push_back(id);
    for (const wxString& id : out.queries.hardCodedFileIds)
        if (!id.empty() && seen.insert(id).second)
            expected.push_back(id);
    EXPECT_EQ(Texts(user, "SELECT productID FROM batch_items WHERE batchID = 2 ORDER BY ROWID"), expected)
        << out.queries.finalQuery;
}

inline std::set<wxString> IdSet(const std::vector<std::pair<wxString, int>>& rows)
{
    std::set<wxString> out;
    for (const auto& r : rows)
        out.insert(r.first);
    return out;
}

} // namespace tw::test
