#include "engine/suggest/SuggestionRun.h"

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include <wx/wxsqlite3.h>

#include "core/Numbers.h"
#include "core/QueryBudget.h"
#include "model/BatchDB.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const wxString kAbortText = wxS("Processing aborted by Delete Key Press");
const wxString kNothingText = wxS("No products were found matching your preferences");
const wxString kTooLongText = wxS("The statement took too long and was stopped.");

// SQLite steps one statement of a run may take: at least kMinStatementSteps,
// and kStatementStepsPerRow for each row of products (many times what the
// widest scan of a row takes). A statement beyond its bound (a file from
// outside can make one endless) fails like any database error.
constexpr long long kMinStatementSteps = 10000000LL;
constexpr long long kStatementStepsPerRow = 5000;

// Runs `statement` on db within `steps`; false, with the database's message
// (or why the statement was stopped) in `error`, when it fails.
template <class Statement>
bool Bounded(wxSQLite3Database& db, long long steps, wxString& error, Statement&& statement)
{
    tw::QueryBudget budget(db, steps, 0);
    try {
        statement();
        return true;
    } catch (const wxSQLite3Exception& e) {
        error = budget.Exceeded() ? kTooLongText : e.GetMessage();
    }
    return false;
}

} // namespace

CSuggestionRun::CSuggestionRun(const SuggestionDatabases& dbs, SuggestionSinks sinks)
    : m_dbs(dbs), m_sinks(std::move(sinks))
{
}

void CSuggestionRun::Log(const wxString& text) const
{
    if (m_sinks.log)
        m_sinks.log(text);
}

void CSuggestionRun::Box(const wxString& text) const
{
    if (m_sinks.messageBox)
        m_sinks.messageBox(text);
}

bool CSuggestionRun::DeleteKeyDown() const
{
    return m_sinks.deleteKeyDown && m_sinks.deleteKeyDown();
}

// A database step failed: the box with the database's message, then the
// step's label and the message in the log.
void CSuggestionRun::Failed(const wxString& label, const wxString& message) const
{
    Box(message);
    Log(label + message + wxS("\n"));
}

SuggestionOutcome CSuggestionRun::Run(const DLPrefs& prefs, const HomePosition& home, bool race,
                                      CSuggestionQuery::PatternEncoder encoder)
{
    SuggestionOutcome out;
    if (!m_dbs.catalogue || !m_dbs.user) {
        out.error = wxS("The content databases are not open.");
        Box(out.error);
        return out;
    }
    wxSQLite3Database& catalogue = *m_dbs.catalogue;
    wxSQLite3Database& user = *m_dbs.user;
    const CSuggestionQuery builder(prefs, home, race, std::move(encoder));
    SuggestionQueries& q = out.queries;

    // Longitudes relative to the home, before anything reads them. Without
    // them nothing can be selected, so a failure ends the run here.
    q.locationClause = builder.LocationClause();
    q.transLonUpdate = builder.TransLonUpdate();
    Clock::time_point start = Clock::now();
    long long steps = kMinStatementSteps;
    const bool rewritten =
        Bounded(catalogue, kMinStatementSteps, out.error,
                [&] {
                    wxSQLite3ResultSet rows = catalogue.ExecuteQuery("SELECT count(*) FROM products");
                    if (rows.NextRow())
                        steps = std::max(steps, rows.GetInt64(0).GetValue() * kStatementStepsPerRow);
                }) &&
        Bounded(catalogue, steps, out.error, [&] {
            catalogue.ExecuteUpdate(m_rewrite == TransLonRewrite::AllRows ? q.transLonUpdate
                                                                          : builder.TransLonUpdateChanged());
        });
    if (!rewritten) {
        Failed(wxS("\nSQL (TransLon) Error:\n"), out.error);
        return out;
    }
    out.transLonSeconds = SecondsSince(start);

    start = Clock::now();
    Log(wxS("Home Location: ") + tw::FormatFixed(home.lat, 2) + wxS(":") + tw::FormatFixed(home.lon, 2) + wxS(" ") +
        wxS("Box: ") + wxString::Format("%d", home.width) + wxS("\n") + wxS("LocationWHERE:\n") +
        q.locationClause + wxS("\n") + wxS("Process GRIBs...") + wxS("\n"));

    q.grib = builder.Grib();
    if (q.grib.included)
        Log(wxS("SelectGribs:..\n") + q.grib.text + wxS("\n"));
    else
        Log(wxS("No SelectGribs:..\n"));
    Log(wxS("Process Animations...\n"));

    q.animations = builder.Animations();
    Log(wxS("AnimationsQuery:..\n") + q.animations.text + wxS("\n"));

    q.charts = builder.Charts();
    if (q.charts.included)
        Log(wxS("SelectWxCharts:..\n") + q.charts.text + wxS("\n"));
    else
        Log(wxS("No SelectWxCharts:..\n"));
    Log(wxS("Process TextWx forecasts...\n"));

    // Selected forecast zones of the wanted kinds. Without them the text
    // forecasts would silently lose the user's zones, so a failure ends the
    // run before the batch is touched.
    std::vector<SuggestionZone> zones;
    q.zoneQuery = builder.ZoneQuery();
    if (!q.zoneQuery.empty() && m_dbs.marineZones &&
        !Bounded(*m_dbs.marineZones, kMinStatementSteps, out.error, [&] {
            wxSQLite3ResultSet rs = m_dbs.marineZones->ExecuteQuery(q.zoneQuery);
            while (rs.NextRow())
                zones.push_back({rs.GetAsString(wxS("zcode")), rs.GetAsString(wxS("Map"))});
        })) {
        Failed(wxS("\nSQL (Zones) Error:\n"), out.error);
        return out;
    }
    q.text = builder.Text(zones);
    if (q.text.included)
        Log(wxS("TextWxQuery:..\n") + q.text.text + wxS("\n"));
    else
        Log(wxS("No TextWxQuery:..\n"));

    // Products of the selected high-seas zones and METAREAs, wherever they lie.
    std::vector<wxString> hardCoded;
    q.highSeasZones = CSuggestionQuery::HighSeasZones(zones);
    q.metHighSeasQuery = CSuggestionQuery::MetHighSeasQuery(q.highSeasZones);
    if (!q.metHighSeasQuery.empty()) {
        Log(wxS("MetAndHighSeasQuery:..\n") + q.metHighSeasQuery + wxS("\n"));
        wxString error;
        if (!Bounded(catalogue, steps, error, [&] {
                wxSQLite3ResultSet rs = catalogue.ExecuteQuery(q.metHighSeasQuery);
                while (rs.NextRow()) {
                    const wxString id = rs.GetAsString(wxS("FileID"));
                    hardCoded.push_back(id);
                    Log(id + wxS("\n"));
                }
            }))
            Failed(wxS("\nSQL Error (MetAndHighSeas):\n"), error);
    }
    Log(wxS("Process satellite Imagery...\n"));

    q.satellite = builder.Satellite();
    Log(wxS("SatImgQuery:..\n") + q.satellite.text + wxS("\n"));

    bool cityFound = false;
    wxString city;
    q.radarCityQuery = builder.RadarCityQuery();
    if (!q.radarCityQuery.empty() && m_dbs.marineZones) {
        wxString error;
        if (!Bounded(*m_dbs.marineZones, kMinStatementSteps, error, [&] {
                wxSQLite3ResultSet rs = m_dbs.marineZones->ExecuteQuery(q.radarCityQuery);
                if (rs.NextRow()) {
                    city = rs.GetAsString(wxS("City"));
                    cityFound = true;
                }
            }))
            Failed(wxS("\nSQL (City) Error:\n"), error);
    }
    q.radar = builder.Radar(cityFound, city);
    Log(wxS("RadarCityQuery:..\n") + q.radar.text + wxS("\n"));

    std::vector<wxString> stations;
    q.buoyQuery = CSuggestionQuery::BuoyQuery();
    if (m_dbs.marineZones) {
        wxString error;
        if (!Bounded(*m_dbs.marineZones, kMinStatementSteps, error, [&] {
                wxSQLite3ResultSet rs = m_dbs.marineZones->ExecuteQuery(q.buoyQuery);
                while (rs.NextRow())
                    stations.push_back(rs.GetAsString(wxS("StationID")));
            }))
            Failed(wxS("\nSQL (Buoys) Error:\n"), error);
    }
    q.buoys = builder.Buoys(stations);
    Log(wxS("BuoysQuery:..\n") + q.buoys.text + wxS("\n"));

    q.ocean = builder.Ocean(hardCoded);
    Log(wxS("OceanQuery:..\n") + q.ocean.text + wxS("\n"));
    q.fishing = builder.Fishing(hardCoded);
    Log(wxS("FishingQuery:..\n") + q.fishing.text + wxS("\n"));

    q.hardCodedFileIds = hardCoded;
    q.finalQuery = CSuggestionQuery::FinalQuery(q);
    out.lookupSeconds = SecondsSince(start);

    // The new batch, all in one transaction: read what the user had
    // unchecked, empty the batch, add what the final query finds and the
    // fixed files, commit. Boxes wait until the transaction has ended.
    std::vector<wxString> boxes;
    std::unordered_set<wxString> unchecked;
    std::unordered_set<wxString> inBatch;
    const wxString* label = nullptr;
    bool scanStopped = false;
    static const wxString kLabel1 = wxS("\nSQL Error 1:\n");
    static const wxString kLabel2 = wxS("\nSQL Error 2:\n");
    try {
        label = &kLabel1;
        {
            wxSQLite3ResultSet rs = user.ExecuteQuery(CSuggestionQuery::UncheckedQuery(kWizardBatch));
            while (rs.NextRow())
                unchecked.insert(rs.GetAsString(0));
        }
        user.Begin();
        user.ExecuteUpdate(CSuggestionQuery::DeleteBatchItems(kWizardBatch));
        Log(wxS("\n --- QUERY ---\n") + q.finalQuery + wxS("\n") + wxS("Creating new Wizard Batch...") + wxS("\n"));

        label = &kLabel2;
        wxSQLite3Statement insert =
            user.PrepareStatement(wxS("INSERT INTO batch_items (batchID,productID,status) values (?,?,?)"));
        double insertSeconds = 0;
        auto add = [&](const wxString& id) {
            // Added once, whether the query found it, it is fixed, or both.
            if (id.empty() || !inBatch.insert(id).second)
                return false;
            const Clock::time_point t = Clock::now();
            insert.Bind(1, kWizardBatch);
            insert.Bind(2, id);
            insert.Bind(3, unchecked.count(id) ? 0 : 1);
            insert.ExecuteUpdate();
            insert.Reset();
            insertSeconds += SecondsSince(t);
            ++out.added;
            return true;
        };

        start = Clock::now();
        {
            // The final query's rows, read in one pass over the table
            // instead of one pass per sub-query.
            std::vector<wxString> found;
            {
                tw::QueryBudget budget(catalogue, steps, 0);
                try {
                    wxSQLite3ResultSet rs = catalogue.ExecuteQuery(CSuggestionQuery::ScanQuery(q));
                    while (rs.NextRow())
                        found.push_back(rs.GetAsString(0));
                } catch (const wxSQLite3Exception&) {
                    scanStopped = budget.Exceeded();
                    throw;
                }
            }
            for (const wxString& id : found) {
                if (DeleteKeyDown()) {
                    out.aborted = true;
                    boxes.push_back(kAbortText);
                    break;
                }
                if (add(id))
                    Log(id + wxS("\n"));
            }
        }
        if (!out.aborted) {
            for (const wxString& id : hardCoded) {
                if (DeleteKeyDown()) {
                    out.aborted = true;
                    boxes.push_back(kAbortText);
                    break;
                }
                if (add(id))
                    Log(wxS("HardCodedFileIDs: ") + id + wxS("\n"));
            }
        }
        out.insertSeconds = insertSeconds;
        out.finalQuerySeconds = SecondsSince(start) - insertSeconds;
        user.Commit();
        out.committed = true;
    } catch (const wxSQLite3Exception& e) {
        if (!user.GetAutoCommit()) {
            try {
                user.Rollback();
            } catch (const wxSQLite3Exception&) {
                // The connection rolls back by itself when it cannot go on.
            }
        }
        out.error = scanStopped ? kTooLongText : e.GetMessage();
        out.added = 0;
        Failed(*label, out.error);
        return out;
    } catch (...) {
        if (!user.GetAutoCommit()) {
            try {
                user.Rollback();
            } catch (const wxSQLite3Exception&) {
            }
        }
        throw;
    }

    if (out.added == 0)
        boxes.push_back(kNothingText);
    for (const wxString& text : boxes)
        Box(text);
    Log(wxS("FINISHED\n"));
    return out;
}
