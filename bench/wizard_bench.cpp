// Building the content wizard with a large marine-zones database: 2,000
// buoys and 800 radar cities (the shipped database has about 380 and 80).
// Printed, as medians of paired rounds:
//  - the wizard's construction (all twelve pages, the buoys' map filled,
//    the city lists read), against the same construction on the shipped
//    database, so the cost of the rows shows;
//  - the bare reading of the same rows (the two queries the wizard runs,
//    every column fetched), the least any construction has to do.
// Target: construction under 1 s.
//
// Run under a display: DISPLAY=:N build/bench/bench_wizard_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "platform/UiHooks.h"
#include "windows/wizard/contentwizard.h"
#include "Figures.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

std::unique_ptr<wxSQLite3Database> Open(const wxString& path)
{
    auto db = std::make_unique<wxSQLite3Database>();
    db->Open(path);
    return db;
}

// Adds rows until Buoys has `buoys` rows and RadarCities `cities`.
void Grow(wxSQLite3Database& db, int buoys, int cities)
{
    db.Begin();
    wxSQLite3Statement b = db.PrepareStatement(
        "INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) VALUES (?, ?, ?, ?, ?)");
    const int haveBuoys = db.ExecuteScalar("SELECT COUNT(*) FROM Buoys");
    for (int i = haveBuoys; i < buoys; ++i) {
        b.Reset();
        b.Bind(1, wxString::Format("X%05d", i));
        b.Bind(2, wxString::Format("Bench buoy %d", i));
        b.Bind(3, -70.0 + (i % 70) * 2.0);
        b.Bind(4, -179.0 + (i / 70) * 12.0);
        b.Bind(5, i % 9 == 0 ? 1 : 0);
        b.ExecuteUpdate();
    }
    wxSQLite3Statement c = db.PrepareStatement(
        "INSERT INTO RadarCities (City, RadarType, Latitude, Longitude) VALUES (?, ?, ?, ?)");
    const int haveCities = db.ExecuteScalar("SELECT COUNT(*) FROM RadarCities");
    for (int i = haveCities; i < cities; ++i) {
        c.Reset();
        c.Bind(1, wxString::Format("Bench City %04d, ZZ", i));
        c.Bind(2, i % 4 == 0 ? "TDWR" : "NEXRAD");
        c.Bind(3, 25.0 + (i % 25));
        c.Bind(4, -125.0 + (i % 60));
        c.ExecuteUpdate();
    }
    db.Commit();
}

// Reads what the wizard reads, every column, and nothing more.
void BareRead(wxSQLite3Database& db)
{
    double sink = 0;
    {
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM RadarCities ORDER BY City");
        while (rs.NextRow())
            sink += rs.GetDouble("Latitude") + rs.GetDouble("Longitude") + rs.GetInt("ID")
                    + rs.GetString("City").length() + rs.GetString("RadarType").length();
    }
    {
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM Buoys");
        while (rs.NextRow())
            sink += rs.GetInt("selected") + rs.GetString("StationID").length()
                    + rs.GetString("BuoyName").length() + rs.GetDouble("Longitude") + rs.GetDouble("Latitude");
    }
    if (sink == -1)
        std::puts("");
}

} // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/tw-wizardbench-XXXXXX";
    const std::string top = mkdtemp(tmpl) ? tmpl : "";
    if (top.empty())
        return 2;
    setenv("HOME", top.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (top + "/config").c_str(), 1);
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);
    wxFileName::Mkdir(top + "/config", 0700, wxPATH_MKDIR_FULL);

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Could not start the toolkit (is a display available?)\n");
        return 2;
    }
    wxInitAllImageHandlers();
    wxLog::EnableLogging(false);
    tw::SetMessageBoxHandler([](const tw::MessageBoxRequest&) { return int(wxOK); });
    TidewrightApp& app = wxGetApp();
    const wxString res = wxS(TIDEWRIGHT_BUILD_RESOURCES);
    app.worldMapBitmap.LoadFile(res + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG);
    app.worldMapAntiBitmap.LoadFile(res + "/res/WorldmapTiffAnti.PNG", wxBITMAP_TYPE_PNG);

    const wxString large = wxString(top) + "/MarineZones-large.db";
    const wxString shipped = wxString(top) + "/MarineZones.db";
    if (!wxCopyFile(res + "/MarineZones.db", large) || !wxCopyFile(res + "/MarineZones.db", shipped)
        || !wxCopyFile(res + "/zir.db", wxString(top) + "/zir.db")) {
        std::fprintf(stderr, "the seed databases are missing (build tw_seed_databases)\n");
        return 2;
    }
    Grow(*Open(large), 2000, 800);
    app.productDb = Open(wxString(top) + "/zir.db");
    std::unique_ptr<wxSQLite3Database> largeDb = Open(large);
    std::unique_ptr<wxSQLite3Database> shippedDb = Open(shipped);

    auto build = [&](wxSQLite3Database* db) {
        app.marineZonesDb.reset(db);
        auto t0 = Clock::now();
        auto* wizard = new ContentWizard(nullptr, ID_CONTENTWIZARD, wxDefaultPosition);
        auto t1 = Clock::now();
        wizard->Destroy();
        Pump();
        (void)app.marineZonesDb.release();   // owned by the caller
        return Ms(t0, t1);
    };

    // Paired rounds: large, shipped, bare read of the large one.
    std::vector<double> largeMs, shippedMs, bareMs;
    build(largeDb.get());
    build(shippedDb.get());
    const int rounds = 11;
    for (int r = 0; r < rounds; ++r) {
        largeMs.push_back(build(largeDb.get()));
        shippedMs.push_back(build(shippedDb.get()));
        auto t0 = Clock::now();
        BareRead(*largeDb);
        bareMs.push_back(Ms(t0, Clock::now()));
    }

    std::printf("content wizard construction, median of %d paired rounds\n", rounds);
    std::printf("  2,000 buoys, 800 radar cities   %8.1f ms   (target under 1000 ms)\n", Median(largeMs));
    std::printf("  shipped database                %8.1f ms   (ratio %.2f)\n", Median(shippedMs),
                Median(largeMs) / std::max(Median(shippedMs), 0.001));
    std::printf("  bare read of the same rows      %8.1f ms   (%.1f%% of the construction)\n", Median(bareMs),
                100.0 * Median(bareMs) / std::max(Median(largeMs), 0.001));

    app.productDb.reset();
    wxEntryCleanup();
    wxFileName::Rmdir(top, wxPATH_RMDIR_RECURSIVE);
    return Median(largeMs) < 1000.0 ? 0 : 1;
}
