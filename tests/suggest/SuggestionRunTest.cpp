// The engine's run on copies of the seed databases: the unchecked state
// across runs, the boxes and the log, the Delete key, the lookups that may
// fail and go on, and failures that must leave the Wizard batch exactly as
// it was.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "core/Init.h"
#include "Oracle.h"
#include "SuggestFixture.h"

namespace tw::test {
namespace {

const HomePosition kSeattle(47.4019, -122.323, 15);
const wxString kNothing = "No products were found matching your preferences";
const wxString kAborted = "Processing aborted by Delete Key Press";

DLPrefs SeattleChoices()
{
    DLPrefs p;
    p.WxChart_SurfaceAnalysis = p.WxChart_Wind = true;
    p.Satellite_Infrared = true;
    p.OceanData_Tides = true;
    p.WxForecast_Coastal = true;
    p.OceanData_GRIBSurfaceCurrents = p.WizPrefs_OFD_SurfaceCurrents_Miami = p.WizPrefs_OFD_SurfaceCurrents_GLBOCN = true;
    return p;
}

SuggestionOutcome RunOnce(SeedCopies& dbs, Recorder& rec, const DLPrefs& p, const HomePosition& home = kSeattle,
                          bool race = false)
{
    CSuggestionRun run(dbs.Handles(), rec.Sinks());
    return run.Run(p, home, race);
}

TEST(SuggestionRun, UncheckedItemsStayUncheckedAcrossRuns)
{
    SeedCopies dbs;
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('PZZ135', 'PZZ130')");
    Recorder rec;
    const DLPrefs p = SeattleChoices();
    ASSERT_TRUE(RunOnce(dbs, rec, p).committed);
    const BatchRows first = ReadBatch(dbs.user);
    ASSERT_GE(first.size(), 6u);
    for (const auto& r : first)
        EXPECT_EQ(r.second, 1) << r.first;
    const std::set<wxString> ids = IdSet(first);
    ASSERT_EQ(ids.count("czpzz135"), 1u);
    ASSERT_EQ(ids.count("glbhycom001"), 1u);

    // The user unchecks a found item and a fixed one.
    Exec(dbs.user, "UPDATE batch_items SET status = 0 WHERE batchID = 2 AND productID IN ('czpzz135', 'glbhycom001')");
    ASSERT_TRUE(RunOnce(dbs, rec, p).committed);
    BatchRows second = ReadBatch(dbs.user);
    EXPECT_EQ(IdSet(second), ids);
    for (const auto& r : second)
        EXPECT_EQ(r.second, r.first == "czpzz135" || r.first == "glbhycom001" ? 0 : 1) << r.first;

    // A zone no longer chosen takes its item out; chosen again, it comes back checked.
    Exec(dbs.zones, "UPDATE MZones SET selected = 0 WHERE zcode = 'PZZ135'");
    ASSERT_TRUE(RunOnce(dbs, rec, p).committed);
    EXPECT_EQ(IdSet(ReadBatch(dbs.user)).count("czpzz135"), 0u);
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode = 'PZZ135'");
    ASSERT_TRUE(RunOnce(dbs, rec, p).committed);
    const BatchRows third = ReadBatch(dbs.user);
    EXPECT_EQ(third.size(), first.size());
    for (const auto& r : third)
        EXPECT_EQ(r.second, r.first == "glbhycom001" ? 0 : 1) << r.first;
    EXPECT_TRUE(rec.boxes.empty());
}

TEST(SuggestionRun, NothingChosenEmptiesTheBatchWithOneBox)
{
    SeedCopies dbs;
    Exec(dbs.user, "INSERT INTO batch_items (batchID, productID, status) VALUES (2, 'gfs001', 0), (2, 'wc001', 1)");
    Recorder rec;
    const SuggestionOutcome out = RunOnce(dbs, rec, DLPrefs());
    EXPECT_TRUE(out.committed);
    EXPECT_EQ(out.queries.finalQuery, "SELECT FileID FROM Products WHERE 1=0");
    EXPECT_TRUE(ReadBatch(dbs.user).empty());
    EXPECT_EQ(rec.boxes, std::vector<wxString>{kNothing});
    EXPECT_TRUE(rec.log.EndsWith("Creating new Wizard Batch...\nFINISHED\n")) << rec.log;

    // Selected buoys are found without any preference.
    Exec(dbs.zones, "UPDATE Buoys SET selected = 1 WHERE StationID IN ('WK_01', 'WKS01')");
    Recorder again;
    ASSERT_TRUE(RunOnce(dbs, again, DLPrefs()).committed);
    EXPECT_EQ(IdSet(ReadBatch(dbs.user)), (std::set<wxString>{"byx01", "byx02"}));
    EXPECT_TRUE(again.boxes.empty());
}

// The log, step by step, with the texts the engine built.
TEST(SuggestionRun, LogFollowsTheSteps)
{
    SeedCopies dbs;
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('PZZ135', 'HSNPE', 'HSNPW')");
    DLPrefs p = SeattleChoices();
    p.WxForecast_HighSeas = true;
    p.Satellite_Radar = true;
    p.Satellite_CityRecID = 1;
    Recorder rec;
    const SuggestionOutcome out = RunOnce(dbs, rec, p);
    ASSERT_TRUE(out.committed);
    const SuggestionQueries& q = out.queries;

    wxString expected = "Home Location: 47.40:-122.32 Box: 15\nLocationWHERE:\n" + q.locationClause + "\n" +
                        "Process GRIBs...\nNo SelectGribs:..\nProcess Animations...\nAnimationsQuery:..\n\n" +
                        "SelectWxCharts:..\n" + q.charts.text + "\nProcess TextWx forecasts...\n" +
                        "TextWxQuery:..\n" + q.text.text + "\n" + "MetAndHighSeasQuery:..\n" +
                        "SELECT FileID FROM MetHighSeasZones WHERE (1=0) OR Zone='HSNPE'OR Zone='HSNPW'\n";
    for (const wxString& id : Texts(dbs.catalogue, "SELECT FileID FROM MetHighSeasZones WHERE Zone IN ('HSNPE','HSNPW')"))
        expected += id + "\n";
    expected += "Process satellite Imagery...\nSatImgQuery:..\n" + q.satellite.text + "\n" + "RadarCityQuery:..\n" +
                q.radar.text + "\nBuoysQuery:..\n" + q.buoys.text + "\nOceanQuery:..\n" + q.ocean.text +
                "\nFishingQuery:..\n" + q.fishing.text + "\n\n --- QUERY ---\n" + q.finalQuery +
                "\nCreating new Wizard Batch...\n";
    ASSERT_TRUE(rec.log.StartsWith(expected)) << rec.log;
    EXPECT_TRUE(q.radar.text.Contains("(Title LIKE '%Seattle, WA%')"));

    // Then one line per item: found ones by id, fixed ones marked, each once.
    const wxString items = rec.log.Mid(expected.length());
    EXPECT_TRUE(items.EndsWith("FINISHED\n"));
    EXPECT_TRUE(items.Contains("\nczpzz135\n") || items.StartsWith("czpzz135\n")) << items;
    EXPECT_TRUE(items.Contains("HardCodedFileIDs: glbhycom001\nHardCodedFileIDs: glbocng005a\n")) << items;
    EXPECT_EQ(items.Freq('\n') - 1, static_cast<int>(ReadBatch(dbs.user).size()));
    EXPECT_FALSE(items.Contains("HardCodedFileIDs: hs90\nHardCodedFileIDs: hs90")) << items;

    // Without a log the same batch and boxes.
    const BatchRows withLog = ReadBatch(dbs.user);
    Recorder quiet;
    CSuggestionRun run(dbs.Handles(), quiet.Sinks(false));
    ASSERT_TRUE(run.Run(p, kSeattle, false).committed);
    EXPECT_EQ(ReadBatch(dbs.user), withLog);
    EXPECT_EQ(quiet.log, "");
    EXPECT_EQ(quiet.boxes, rec.boxes);
}

// An item found by the query and also fixed, or listed for two selected
// zones, is added once.
TEST(SuggestionRun, NoItemIsAddedTwice)
{
    SeedCopies dbs;
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('MA14', 'HSNPE', 'HSNPW', 'MA12')");
    DLPrefs p;
    p.WxChart_SurfaceAnalysis = true;
    p.WxForecast_HighSeas = p.WxForecast_MetArea = true;
    Recorder rec;
    const SuggestionOutcome out = RunOnce(dbs, rec, p, HomePosition(-36.8, 174.8, 20));
    ASSERT_TRUE(out.committed);
    const std::vector<wxString>& fixed = out.queries.hardCodedFileIds;
    EXPECT_GE(std::count(fixed.begin(), fixed.end(), wxString("hs90")), 3);
    EXPECT_EQ(std::count(fixed.begin(), fixed.end(), wxString("wc037")), 1);
    const BatchRows rows = ReadBatch(dbs.user);
    EXPECT_EQ(rows.size(), IdSet(rows).size());
    EXPECT_EQ(IdSet(rows).count("hs90"), 1u);
    EXPECT_EQ(IdSet(rows).count("wc037"), 1u);
    EXPECT_EQ(out.added, static_cast<int>(rows.size()));
}

TEST(SuggestionRun, DeleteKeyEndsTheAdditions)
{
    struct Case {
        const char* when;
        int probe;             // the probe at which the key is down
        bool fixedSkipped;     // none of the fixed files added
    };
    const Case cases[] = {{"before the first item", 1, true}, {"among the found items", 3, true},
                          {"among the fixed files", -2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.when);
        SeedCopies dbs;
        Exec(dbs.user, "INSERT INTO batch_items (batchID, productID, status) VALUES (2, 'old', 1)");
        const DLPrefs p = SeattleChoices();
        // How many items the query finds, from a run without the key.
        Recorder plain;
        const SuggestionOutcome full = RunOnce(dbs, plain, p);
        const int found = full.added - static_cast<int>(full.queries.hardCodedFileIds.size());
        ASSERT_GT(found, 3);

        Recorder rec;
        // -2: the second fixed file.
        rec.deleteAtProbe = c.probe > 0 ? c.probe : found + 2;
        const SuggestionOutcome out = RunOnce(dbs, rec, p);
        EXPECT_TRUE(out.committed);
        EXPECT_TRUE(out.aborted);
        const int before = rec.deleteAtProbe - 1;
        EXPECT_EQ(out.added, before);
        EXPECT_EQ(static_cast<int>(ReadBatch(dbs.user).size()), before);
        EXPECT_EQ(rec.probes, rec.deleteAtProbe) << "no probe after the key";
        const std::set<wxString> ids = IdSet(ReadBatch(dbs.user));
        EXPECT_EQ(ids.count("old"), 0u);
        EXPECT_EQ(ids.count("glbhycom001") == 0, c.fixedSkipped);
        std::vector<wxString> boxes = {kAborted};
        if (before == 0)
            boxes.push_back(kNothing);
        EXPECT_EQ(rec.boxes, boxes);
    }
}

// Lookups whose failure costs only their own part.
TEST(SuggestionRun, FailedLookupsShowTheirErrorAndGoOn)
{
    struct Case {
        const char* table;
        bool catalogue;
        const char* label;
        const char* lost;   // an item the run then lacks
    };
    const Case cases[] = {
        {"MetHighSeasZones", true, "\nSQL Error (MetAndHighSeas):\n", "hs90"},
        {"RadarCities", false, "\nSQL (City) Error:\n", "radx01"},
        {"Buoys", false, "\nSQL (Buoys) Error:\n", "byx02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        SeedCopies dbs;
        Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('HSNPE', 'PZZ135')");
        Exec(dbs.zones, "UPDATE Buoys SET selected = 1 WHERE StationID = 'WKS01'");
        DLPrefs p = SeattleChoices();
        p.WxForecast_HighSeas = true;
        p.Satellite_Radar = true;
        p.Satellite_CityRecID = 901;
        Exec(c.catalogue ? dbs.catalogue : dbs.zones, wxString("DROP TABLE ") + c.table);
        Recorder rec;
        const SuggestionOutcome out = RunOnce(dbs, rec, p);
        EXPECT_TRUE(out.committed);
        ASSERT_EQ(rec.boxes.size(), 1u);
        EXPECT_TRUE(rec.boxes[0].Contains(c.table)) << rec.boxes[0];
        EXPECT_TRUE(rec.log.Contains(c.label + rec.boxes[0] + "\n"));
        const std::set<wxString> ids = IdSet(ReadBatch(dbs.user));
        EXPECT_EQ(ids.count(c.lost), 0u);
        EXPECT_EQ(ids.count("czpzz135"), 1u) << "the rest is still found";
        EXPECT_EQ(ids.count("glbhycom001"), 1u);
    }
}

// Failures that must leave the Wizard batch byte for byte as it was, with
// one box holding the database's message.
TEST(SuggestionRun, FailuresLeaveTheBatchAsItWas)
{
    struct Case {
        const char* what;
        std::function<void(SeedCopies&, wxSQLite3Database& other)> breakIt;
        const char* label;
        const char* message;   // part of the database's message
    };
    const std::vector<Case> cases = {
        {"a broken catalogue table",
         [](SeedCopies& d, wxSQLite3Database&) { Exec(d.catalogue, "ALTER TABLE products RENAME COLUMN ChartType TO Kind"); },
         "\nSQL Error 2:\n", "ChartType"},
        {"an insert refused half-way",
         [](SeedCopies& d, wxSQLite3Database&) {
             Exec(d.user, "CREATE TRIGGER refuse BEFORE INSERT ON batch_items WHEN NEW.productID = 'glbocng005a' "
                          "BEGIN SELECT RAISE(ABORT, 'item refused'); END");
         },
         "\nSQL Error 2:\n", "item refused"},
        {"a batch table that refuses deletes",
         [](SeedCopies& d, wxSQLite3Database&) {
             Exec(d.user, "CREATE TRIGGER keep BEFORE DELETE ON batch_items "
                          "BEGIN SELECT RAISE(ABORT, 'items are kept'); END");
         },
         "\nSQL Error 1:\n", "items are kept"},
        {"a catalogue locked by another program",
         [](SeedCopies& d, wxSQLite3Database& other) {
             other.Open(d.Path("zir.db"));
             other.Begin(WXSQLITE_TRANSACTION_EXCLUSIVE);
         },
         "\nSQL (TransLon) Error:\n", "locked"},
        {"a read-only catalogue",
         [](SeedCopies& d, wxSQLite3Database&) {
             d.catalogue.Close();
             d.catalogue.Open(d.Path("zir.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
         },
         "\nSQL (TransLon) Error:\n", "readonly"},
        {"a read-only catalogue whose longitudes are already right",
         [](SeedCopies& d, wxSQLite3Database&) {
             Exec(d.catalogue, CSuggestionQuery(DLPrefs(), kSeattle, false).TransLonUpdate());
             d.catalogue.Close();
             d.catalogue.Open(d.Path("zir.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
         },
         "\nSQL (TransLon) Error:\n", "readonly"},
        {"a batch database locked by another program",
         [](SeedCopies& d, wxSQLite3Database& other) {
             other.Open(d.Path("zir_user.db"));
             other.Begin(WXSQLITE_TRANSACTION_IMMEDIATE);
         },
         "\nSQL Error 1:\n", "locked"},
        {"an unreadable zone table",
         [](SeedCopies& d, wxSQLite3Database&) { Exec(d.zones, "DROP TABLE MZones"); }, "\nSQL (Zones) Error:\n",
         "MZones"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SeedCopies dbs;
        Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode = 'PZZ135'");
        const DLPrefs p = SeattleChoices();
        // A batch from an earlier run, with an unchecked item.
        {
            Recorder first;
            ASSERT_TRUE(RunOnce(dbs, first, p, HomePosition(40, -70, 20)).committed);
            Exec(dbs.user, "UPDATE batch_items SET status = 0 WHERE batchID = 2 AND productID = 'glbhycom001'");
        }
        const BatchRows before = ReadBatch(dbs.user);
        ASSERT_FALSE(before.empty());

        wxSQLite3Database other;
        c.breakIt(dbs, other);
        const std::string bytes = ReadFile(dbs.Path("zir_user.db"));
        Recorder rec;
        const SuggestionOutcome out = RunOnce(dbs, rec, p);
        if (other.IsOpen()) {
            other.Rollback();
            other.Close();
        }
        EXPECT_FALSE(out.committed);
        ASSERT_EQ(rec.boxes.size(), 1u);
        EXPECT_TRUE(rec.boxes[0].Contains(c.message)) << rec.boxes[0];
        EXPECT_EQ(rec.boxes[0], out.error);
        EXPECT_TRUE(rec.log.EndsWith(c.label + out.error + "\n")) << rec.log;
        EXPECT_FALSE(rec.log.Contains("FINISHED"));
        EXPECT_TRUE(dbs.user.GetAutoCommit()) << "no transaction left open";
        dbs.user.Close();
        EXPECT_EQ(ReadFile(dbs.Path("zir_user.db")), bytes);
        dbs.user.Open(dbs.Path("zir_user.db"));
        EXPECT_EQ(ReadBatch(dbs.user), before);
    }
}

// Values with apostrophes and wildcards select what they name.
TEST(SuggestionRun, ApostrophesAndWildcardsInTableValues)
{
    SeedCopies dbs;
    Exec(dbs.zones, "INSERT INTO MZones (ID, zcode, region, description, lat, lon, Map, selected) VALUES "
                    "(990, 'O''ZN1', 'WEST', 'Odd', 0, 0, 'Coastal', 1), "
                    "(991, 'HS''X', 'HIGHSEAS', 'Odd', 0, 0, 'HighSeas', 1)");
    Exec(dbs.zones, "INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) VALUES "
                    "('O''B_1', 'Odd', 0, 0, 1)");
    Exec(dbs.catalogue, "INSERT INTO MetHighSeasZones (Zone, FileID) VALUES ('HS''X', 'hs01')");
    Exec(dbs.catalogue, "UPDATE products SET Title = 'o''zn1 Odd Waters' WHERE FileID = 'czpzz130'");
    Exec(dbs.catalogue, "UPDATE products SET Title = 'Odd o''b_1 report' WHERE FileID = 'byx02'");
    Exec(dbs.catalogue, "UPDATE products SET Title = 'Odd O''BX1 report' WHERE FileID = 'byx01'");
    DLPrefs p;
    p.WxForecast_Coastal = p.WxForecast_HighSeas = true;
    p.Satellite_Radar = true;
    p.Satellite_CityRecID = 901;
    Recorder rec;
    const SuggestionOutcome out = RunOnce(dbs, rec, p);
    ASSERT_TRUE(out.committed) << out.error;
    EXPECT_TRUE(rec.boxes.empty());
    EXPECT_EQ(IdSet(ReadBatch(dbs.user)), (std::set<wxString>{"czpzz130", "byx02", "hs01", "radx01", "satx01"}));
}

// Zone codes, station ids and a radar city far longer than any real one (a
// damaged marine-zones file) are passed over: the run commits without a box
// and the real values beside them still select their items.
TEST(SuggestionRun, OverlongTableValuesArePassedOver)
{
    SeedCopies dbs;
    const wxString huge(wxUniChar('Q'), 50000);
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('HSNPE', 'PZZ135')");
    Exec(dbs.zones, "UPDATE Buoys SET selected = 1 WHERE StationID = 'WKS01'");
    Exec(dbs.zones, "INSERT INTO MZones (ID, zcode, region, description, lat, lon, Map, selected) VALUES "
                    "(990, 'C" + huge + "', 'WEST', 'Odd', 0, 0, 'Coastal', 1), "
                    "(991, 'H" + huge + "', 'HIGHSEAS', 'Odd', 0, 0, 'HighSeas', 1)");
    Exec(dbs.zones, "INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) VALUES "
                    "('B" + huge + "', 'Odd', 0, 0, 1)");
    Exec(dbs.zones, "INSERT INTO RadarCities (ID, City, RadarType, Latitude, Longitude) VALUES "
                    "(990, 'R" + huge + "', 'NEXRAD', 0, 0)");
    DLPrefs p = SeattleChoices();
    p.WxForecast_HighSeas = true;
    p.Satellite_Radar = true;
    for (int city : {901, 990}) {
        SCOPED_TRACE(city);
        p.Satellite_CityRecID = city;
        Recorder rec;
        const SuggestionOutcome out = RunOnce(dbs, rec, p);
        ASSERT_TRUE(out.committed) << out.error;
        EXPECT_TRUE(rec.boxes.empty());
        const std::set<wxString> ids = IdSet(ReadBatch(dbs.user));
        for (const char* id : {"czpzz135", "hs90", "byx02", "glbhycom001"})
            EXPECT_EQ(ids.count(id), 1u) << id;
        EXPECT_EQ(ids.count("radx01"), city == 901 ? 1u : 0u);
        EXPECT_FALSE(rec.log.Contains(huge.Left(300)));
    }
}

// Both ways of rewriting the relative longitudes leave the same column.
TEST(SuggestionRun, TransLonRewritesAgree)
{
    SeedCopies dbs;
    auto column = [&]() { return Texts(dbs.catalogue, "SELECT printf('%.2f', TransLon) FROM products ORDER BY ROWID"); };
    const HomePosition homes[] = {HomePosition(-36.8, 174.8, 20), HomePosition(21.3, -157.9, 20),
                                  HomePosition(21.3, -157.9, 20), HomePosition(-17.8, -178.0, 20)};
    for (const HomePosition& home : homes) {
        CSuggestionRun all(dbs.Handles(), {});
        all.SetTransLonRewrite(TransLonRewrite::AllRows);
        ASSERT_TRUE(all.Run(DLPrefs(), home, false).committed);
        const std::vector<wxString> expected = column();
        Exec(dbs.catalogue, "UPDATE products SET TransLon = 0");
        CSuggestionRun changed(dbs.Handles(), {});
        changed.SetTransLonRewrite(TransLonRewrite::ChangedRows);
        ASSERT_TRUE(changed.Run(DLPrefs(), home, false).committed);
        EXPECT_EQ(column(), expected) << home.lon;
    }
}

// Without the marine-zones database there are no zones, buoys or city.
TEST(SuggestionRun, WorksWithoutTheMarineZonesDatabase)
{
    SeedCopies dbs;
    Exec(dbs.zones, "UPDATE MZones SET selected = 1");
    DLPrefs p = SeattleChoices();
    p.Satellite_Radar = true;
    p.Satellite_CityRecID = 1;
    SuggestionDatabases handles = dbs.Handles();
    handles.marineZones = nullptr;
    Recorder rec;
    const SuggestionOutcome out = CSuggestionRun(handles, rec.Sinks()).Run(p, kSeattle, false);
    ASSERT_TRUE(out.committed);
    EXPECT_TRUE(rec.boxes.empty());
    const std::set<wxString> ids = IdSet(ReadBatch(dbs.user));
    EXPECT_EQ(ids.count("czpzz135"), 0u);
    EXPECT_EQ(ids.count("glbhycom001"), 1u);
    EXPECT_FALSE(ids.empty());
}

// Ends a test's statements when they have not ended on their own in time, so
// that a statement that never ends fails the test instead of holding it.
class Watchdog
{
public:
    explicit Watchdog(std::vector<wxSQLite3Database*> dbs)
        : m_thread([this, dbs] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(60), [this] { return m_stop; })) {
                  m_fired = true;
                  for (wxSQLite3Database* db : dbs)
                      db->Interrupt();
              }
          })
    {
    }
    ~Watchdog() { Stop(); }
    // Whether it had to end a statement.
    bool Stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_done.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_stop = false;
    bool m_fired = false;
    std::thread m_thread;
};

// A catalogue or marine-zones table that makes a statement of the run
// endless (a file put in place without the update check) stops that
// statement within its bound: the run ends, as on any database error.
TEST(SuggestionRun, StatementsThatWouldNotEndAreStopped)
{
    const wxString recursive = "WITH RECURSIVE n(i) AS (SELECT 1 UNION SELECT i + 1 FROM n)";
    const wxString endlessView = "CREATE VIEW spin AS " + recursive + " SELECT i FROM n";
    struct Case {
        const char* name;
        bool catalogue;
        wxString sql;
        const char* label;
        bool committed;
    };
    const Case cases[] = {
        {"an endless trigger on products", true,
         endlessView + "; CREATE TRIGGER slow AFTER UPDATE ON products BEGIN SELECT count(*) FROM spin; END",
         "\nSQL (TransLon) Error:\n", false},
        {"MetHighSeasZones an endless view", true,
         "ALTER TABLE MetHighSeasZones RENAME TO m0; CREATE VIEW MetHighSeasZones AS " + recursive +
             " SELECT m0.* FROM m0, n",
         "\nSQL Error (MetAndHighSeas):\n", true},
        {"MZones an endless view", false,
         "ALTER TABLE MZones RENAME TO z0; CREATE VIEW MZones AS " + recursive + " SELECT z0.* FROM z0, n",
         "\nSQL (Zones) Error:\n", false},
        {"Buoys an endless view", false,
         "ALTER TABLE Buoys RENAME TO b0; CREATE VIEW Buoys AS " + recursive + " SELECT b0.* FROM b0, n",
         "\nSQL (Buoys) Error:\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeedCopies dbs;
        Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode IN ('HSNPE', 'PZZ135')");
        DLPrefs p = SeattleChoices();
        p.WxForecast_HighSeas = true;
        Recorder rec;
        ASSERT_TRUE(RunOnce(dbs, rec, p).committed);
        const auto before = ReadBatch(dbs.user);
        Exec(c.catalogue ? dbs.catalogue : dbs.zones, c.sql);

        rec = Recorder();
        Watchdog watchdog({&dbs.catalogue, &dbs.zones});
        const SuggestionOutcome out = RunOnce(dbs, rec, p, HomePosition(21.3, -157.9, 20));
        ASSERT_FALSE(watchdog.Stop()) << "the statement did not end by itself";
        EXPECT_EQ(out.committed, c.committed);
        ASSERT_FALSE(rec.boxes.empty());
        EXPECT_EQ(rec.boxes[0], "The statement took too long and was stopped.");
        EXPECT_TRUE(rec.log.Contains(c.label + rec.boxes[0] + "\n"));
        if (!c.committed) {
            EXPECT_EQ(out.error, rec.boxes[0]);
            EXPECT_EQ(ReadBatch(dbs.user), before);
        }
    }
}

// The Wizard batch holds the final query's rows, run as written, in their
// order, for every variant of the catalogue the catalogue check admits; the
// variants the one pass would give other rows for are refused.
TEST(SuggestionRun, BatchFollowsTheFinalQueryForEveryCatalogueTheCheckAdmits)
{
    // Two ids the run finds, and a third.
    std::vector<wxString> found;
    {
        SeedCopies dbs;
        Recorder rec;
        const SuggestionOutcome out = RunOnce(dbs, rec, SeattleChoices());
        ASSERT_TRUE(out.committed);
        found = Texts(dbs.catalogue, out.queries.finalQuery);
        ASSERT_GE(found.size(), 3u);
    }
    auto declare = [](const wxString& declaration) {
        return "DROP INDEX products_fileid; PRAGMA writable_schema = ON; "
               "UPDATE sqlite_master SET sql = replace(sql, 'FileID         TEXT', '" +
               declaration + "') WHERE name = 'products'; PRAGMA writable_schema = OFF";
    };
    auto set = [&found](int n, const wxString& value) {
        return "UPDATE products SET FileID = " + value + " WHERE FileID = '" + found[static_cast<size_t>(n)] + "'";
    };
    struct Case {
        const char* name;
        std::vector<wxString> sql;
        bool admitted;
    };
    const Case cases[] = {
        {"as built", {}, true},
        {"texts of digits and bytes", {set(0, "'10'"), set(1, "9"), set(2, "X'41'")}, true},
        {"a text type of another name", {declare("FileID VARCHAR(20)"), set(0, "'b'"), set(1, "'B'")}, true},
        {"case twins compared without case",
         {declare("FileID TEXT COLLATE NOCASE"), set(0, "'twin'"), set(1, "'TWIN'")}, false},
        {"numbers", {declare("FileID INTEGER"), set(0, "10"), set(1, "9")}, false},
        {"no type, a whole and a real number", {declare("FileID"), set(0, "1"), set(1, "1.0")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeedCopies dbs;
        for (const wxString& sql : c.sql)
            Exec(dbs.catalogue, sql);
        // Afresh, with the schema as changed.
        dbs.catalogue.Close();
        dbs.catalogue.Open(dbs.Path("zir.db"));
        wxString why;
        EXPECT_EQ(CInit::IsReadableCatalogue(dbs.catalogue, &why), c.admitted) << why;
        if (!c.admitted) {
            EXPECT_TRUE(why.Contains("FileID")) << why;
            continue;
        }
        Recorder rec;
        const SuggestionOutcome out = RunOnce(dbs, rec, SeattleChoices());
        ASSERT_TRUE(out.committed);
        ExpectFinalQueryOrder(dbs.catalogue, dbs.user, out);
    }
}

} // namespace
} // namespace tw::test
