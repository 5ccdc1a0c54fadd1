// The suggestion engine on large catalogues: 10,000, 100,000 and 300,000
// products made by the seed builder's --synthetic mode (its category mix),
// every content choice on, 50 selected zones, 200 selected buoys and a
// radar city. Printed per size: the total time of a run and its parts
// (relative-longitude rewrite, lookups and query texts, final query, batch
// inserts), and how the time grows with the catalogue.
//
// Comparisons within the same run, in paired rounds (the order of the two
// sides alternates), medians reported:
//  - the rewrite of every row against the rewrite of only the rows whose
//    value changes (same column afterwards), once with the home moving every
//    round (every row changes) and once with the home as in the last run
//    (a refresh of the suggestions without a new home);
//  - adding the found items one text statement each through the batch store
//    against the engine's one prepared statement, on the same item ids.
//
// The synthetic rows are made to look like real ones where the rules look:
// chart and image kinds, "Most Recent" titles, titles that start with a
// selected zone code or name a selected station or the city, GRIB names
// with the real file-name patterns. Run it under a display (the toolkit
// starts the application object):
// build/bench/bench_suggestion_bench [sizes...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/wxsqlite3.h>

#include "core/StringHelpers.h"
#include "model/BatchDB.h"
#include "engine/suggest/SuggestionRun.h"
#include "Figures.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

const int kRounds = 5;
const int kZones = 50;
const int kBuoys = 200;

void Fail(const char* what)
{
    std::fprintf(stderr, "suggestion_bench: %s\n", what);
    std::exit(1);
}

bool MakeCatalogue(long count, const wxString& path)
{
    const wxString cmd = "\"" + wxString(TIDEWRIGHT_BINARY_DIR) + "/tools/seedbuilder/tw_seedbuilder\" --synthetic " +
                         wxString::Format("%ld", count) + " \"" + path + "\" >/dev/null";
    return std::system(cmd.utf8_str()) == 0 && wxFileExists(path);
}

// Marine zones: the seed's, with 50 coastal and offshore zones (and the
// high-seas zones among the first), 200 buoys and a radar city.
std::vector<wxString> SelectMarineEntries(wxSQLite3Database& zones, std::vector<wxString>& stations, wxString& city)
{
    std::vector<wxString> codes;
    zones.ExecuteUpdate("UPDATE MZones SET selected = 0");
    zones.ExecuteUpdate("UPDATE Buoys SET selected = 0");
    wxSQLite3ResultSet z = zones.ExecuteQuery(wxString::Format(
        "SELECT zcode FROM MZones WHERE Map IN ('Coastal','Offshore','HighSeas') ORDER BY Map DESC, ID LIMIT %d",
        kZones));
    while (z.NextRow())
        codes.push_back(z.GetAsString(0));
    zones.ExecuteUpdate("UPDATE MZones SET selected = 1 WHERE zcode IN (SELECT zcode FROM MZones WHERE Map IN "
                        "('Coastal','Offshore','HighSeas') ORDER BY Map DESC, ID LIMIT " +
                        wxString::Format("%d", kZones) + ")");
    wxSQLite3ResultSet b = zones.ExecuteQuery(wxString::Format("SELECT StationID FROM Buoys LIMIT %d", kBuoys));
    while (b.NextRow())
        stations.push_back(b.GetAsString(0));
    zones.ExecuteUpdate(wxString::Format("UPDATE Buoys SET selected = 1 WHERE ROWID IN "
                                         "(SELECT ROWID FROM Buoys LIMIT %d)", kBuoys));
    wxSQLite3ResultSet c = zones.ExecuteQuery("SELECT City FROM RadarCities WHERE ID = 1");
    if (c.NextRow())
        city = c.GetAsString(0);
    if (static_cast<int>(codes.size()) != kZones || static_cast<int>(stations.size()) != kBuoys || city.empty())
        Fail("the seed marine-zones database has too few entries");
    return codes;
}

// Gives the synthetic rows the texts the rules look at.
void MakeRowsLookReal(wxSQLite3Database& db, const std::vector<wxString>& codes,
                      const std::vector<wxString>& stations, const wxString& city)
{
    db.Begin();
    const char* const charts[] = {"Surface Analysis", "500 mb", "Wind", "Sea State", "Wind Wave", "Cyclone"};
    const char* const images[] = {"Infrared", "Visible", "Water Vapor", "Image with Chart-Surface Analysis"};
    const char* const terrafin[] = {"SST Analysis", "Current Velocity", "SSH Anomaly", "Chlorophyll"};
    const char* const patterns[] = {"=>avnwind.", "=>surfwind.", "=>wind.", "=>wave.", "=>swell.", "avnprmsl.",
                                    "=>fxmed25wind.", "=>fxeur25prmsl.", "=>avn4lftx.", "avnairtemp."};
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT ROWID, Category, Title, ChartType, Path, Source FROM products");
    wxSQLite3Statement upd = db.PrepareStatement(
        "UPDATE products SET ChartType = ?, Title = ?, Path = ?, Source = ? WHERE ROWID = ?");
    while (rs.NextRow()) {
        const long id = rs.GetInt64(0).ToLong();
        const wxString cat = rs.GetAsString(1);
        wxString title = rs.GetAsString(2), type = rs.GetAsString(3), path = rs.GetAsString(4);
        wxString source = rs.GetAsString(5);
        if (cat == "Weather Charts")
            type = charts[id % 6];
        else if (cat == "Satellite Imagery") {
            type = images[id % 4];
            if (id % 2)
                title = "Most Recent " + title;
        } else if (cat == "Radar" && id % 5 == 0)
            title = "Most Recent " + city + " " + title;
        else if (cat == "Text" && id % 3 == 0)
            title = codes[static_cast<size_t>(id / 3) % codes.size()] + " " + title;
        else if (cat == "Text" && id % 3 == 1)
            source = "ENVCAN";
        else if (cat == "Buoy" && id % 2 == 0)
            title = title + " station " + stations[static_cast<size_t>(id / 2) % stations.size()];
        else if (cat == "Terrafin")
            type = terrafin[id % 4];
        else if (cat == "Ocean Charts")
            type = id % 2 ? "Catch Journals" : "Fish Prices";
        else if (cat.StartsWith("GRIB") && id % 4 == 0)
            path = CDbTextEncoder::encode_db_string(
                wxString::Format("synth/g%ld%s%ldday.grb", id, patterns[(id / 4) % 10], 1 + (id / 40) % 7), false);
        upd.Bind(1, type);
        upd.Bind(2, title);
        upd.Bind(3, path);
        upd.Bind(4, source);
        upd.Bind(5, static_cast<wxLongLong>(id));
        upd.ExecuteUpdate();
        upd.Reset();
    }
    db.Commit();
}

DLPrefs Everything()
{
    DLPrefs p;
    for (bool* f : {&p.GRIB_Wind, &p.GRIB_Waves, &p.GRIB_Swell, &p.GRIB_SurfacePressure, &p.GRIB_Precipitation,
                    &p.GRIB_CloudCover, &p.GRIB_500mb, &p.GRIB_AirTemperature, &p.GRIB_LiftedIndex,
                    &p.WxChart_SurfaceAnalysis, &p.WxChart_500mb, &p.WxChart_Wind, &p.WxChart_SeaState,
                    &p.WxChart_WindWave, &p.WxChart_CycloneAreas, &p.WxForecast_BuoyWindWave, &p.WxForecast_BuoyMet,
                    &p.WxForecast_Coastal, &p.WxForecast_Offshore, &p.WxForecast_HighSeas, &p.WxForecast_MetArea,
                    &p.WxForecast_Canadian, &p.WxForecast_DalenMorrowBahamas, &p.WxForecast_DalenMorrowCaribbean,
                    &p.Satellite_Infrared, &p.Satellite_Visible, &p.Satellite_WaterVapor,
                    &p.Satellite_WeatherOverImage, &p.Satellite_Radar, &p.OceanData_GRIBSurfaceCurrents,
                    &p.OceanData_OceanData_Terrafin, &p.OceanData_NavyChartsGulfStream,
                    &p.OceanData_MarisolVennetGulfStrea, &p.OceanData_Ice, &p.OceanData_PositionReports,
                    &p.OceanData_Tides, &p.FishingData_SurfaceTemperature, &p.FishingData_SurfaceHeight,
                    &p.FishingData_MixedLayerDepth, &p.FishingData_Salinity, &p.FishingData_Prices,
                    &p.FishingData_Color, &p.WizPrefs_GRIB_Wind_GFS, &p.WizPrefs_GRIB_Wind_NMG,
                    &p.WizPrefs_GRIB_Wind_WW3, &p.WizPrefs_GRIB_Wind_Med, &p.WizPrefs_GRIB_Wind_Baltic,
                    &p.WizPrefs_GRIB_Wind_Barents, &p.WizPrefs_GRIB_Wind_NorthSea, &p.WizPrefs_GRIB_Wind_Polar,
                    &p.WizPrefs_GRIB_Wind_Continent, &p.WizPrefs_GRIB_Wave_NMG, &p.WizPrefs_GRIB_Wave_WW3,
                    &p.WizPrefs_GRIB_Wave_Med, &p.WizPrefs_GRIB_Wave_Baltic, &p.WizPrefs_GRIB_Wave_Barents,
                    &p.WizPrefs_GRIB_Wave_NorthSea, &p.WizPrefs_GRIB_SurfacePressure_GFS,
                    &p.WizPrefs_GRIB_SurfacePressure_NMG, &p.WizPrefs_GRIB_SurfacePressure_Polar,
                    &p.WizPrefs_GRIB_SurfacePressure_Continent, &p.WizPrefs_GRIB_500mb_GFS,
                    &p.WizPrefs_GRIB_500mb_NMG, &p.WizPrefs_GRIB_500mb_Polar, &p.WizPrefs_GRIB_500mb_Continent,
                    &p.WizPrefs_GRIB_CloudCover_GFS, &p.WizPrefs_GRIB_CloudCover_NMG,
                    &p.WizPrefs_GRIB_CloudCover_Polar, &p.WizPrefs_GRIB_CloudCover_Continent,
                    &p.WizPrefs_GRIB_Precipitation_GFS, &p.WizPrefs_GRIB_Precipitation_NMG,
                    &p.WizPrefs_GRIB_Precipitation_Polar, &p.WizPrefs_GRIB_Precipitation_Continent,
                    &p.WizPrefs_GRIB_AirTemp_GFS, &p.WizPrefs_GRIB_AirTemp_NMG, &p.WizPrefs_GRIB_AirTemp_Polar,
                    &p.WizPrefs_GRIB_AirTemp_Continent, &p.WizPrefs_OFD_SurfaceCurrents_NOAA,
                    &p.WizPrefs_OFD_SurfaceCurrents_Miami, &p.WizPrefs_OFD_SurfaceCurrents_GLBOCN,
                    &p.WizPrefs_OFD_SurfaceTemp_Terrafin, &p.WizPrefs_OFD_SurfaceTemp_NOAA,
                    &p.WizPrefs_OFD_SurfaceTemp_Miami, &p.WizPrefs_OFD_SurfaceTemp_GLBOCN,
                    &p.WizPrefs_OFD_SurfaceTemp_GHRSST, &p.WizPrefs_OFD_SurfaceHeight_Terrafin,
                    &p.WizPrefs_OFD_SurfaceHeight_NOAA, &p.WizPrefs_OFD_SurfaceHeight_Miami,
                    &p.WizPrefs_OFD_SurfaceHeight_GLBOCN, &p.WizPrefs_OFD_SurfaceHeight_GHRSST,
                    &p.WizPrefs_OFD_Salinity_NOAA, &p.WizPrefs_OFD_Salinity_Miami, &p.WizPrefs_IncludeAnimations,
                    &p.WizPrefs_Background})
        *f = true;
    p.GRIB_Days = 2;
    p.WizPrefs_GRIBRes = false;
    p.Satellite_CityRecID = 1;
    return p;
}

struct Figures {
    long size = 0;
    int items = 0;
    std::vector<double> total, transLon, lookups, finalQuery, inserts;   // changed-rows rewrite
    std::vector<double> totalAll, transLonAll;                           // every-row rewrite
    std::vector<double> storeInserts, preparedInserts;                   // same ids, two ways
    std::vector<double> sameHomeAll, sameHomeChanged;                    // rewrite, home as in the last run
    std::vector<double> unionRows, onePassRows;                          // the final query's rows, two ways
    bool sameRows = true;
};

// The found ids added again in a transaction that is rolled back: one text
// statement per item through the batch store, or the prepared statement.
double TimeInserts(wxSQLite3Database& user, const std::vector<wxString>& ids, bool store)
{
    user.Begin();
    user.ExecuteUpdate("DELETE FROM batch_items WHERE batchID = 2");
    const Clock::time_point t0 = Clock::now();
    if (store) {
        CBatchFolder* folder = CBatchFolder::Instance();
        folder->SetDatabase(&user);
        for (const wxString& id : ids)
            folder->AddItemToBatch(2, id, 1);
        folder->SetDatabase(nullptr);
    } else {
        wxSQLite3Statement ins = user.PrepareStatement("INSERT INTO batch_items (batchID,productID,status) values (?,?,?)");
        for (const wxString& id : ids) {
            ins.Bind(1, 2);
            ins.Bind(2, id);
            ins.Bind(3, 1);
            ins.ExecuteUpdate();
            ins.Reset();
        }
    }
    const double ms = Ms(t0, Clock::now());
    user.Rollback();
    return ms;
}

Figures Measure(long size, const wxString& folder)
{
    Figures f;
    f.size = size;
    const wxString cat = folder + wxString::Format("/zir_%ld.db", size);
    const wxString user = folder + wxString::Format("/zir_user_%ld.db", size);
    const wxString zonesPath = folder + wxString::Format("/MarineZones_%ld.db", size);
    if (!MakeCatalogue(size, cat))
        Fail("the seed builder did not make the catalogue");
    const wxString res = TIDEWRIGHT_BUILD_RESOURCES;
    if (!wxCopyFile(res + "/zir_user.db", user) || !wxCopyFile(res + "/MarineZones.db", zonesPath))
        Fail("cannot copy the seed databases");

    wxSQLite3Database catalogue, userDb, zones;
    catalogue.Open(cat);
    userDb.Open(user);
    zones.Open(zonesPath);
    std::vector<wxString> stations;
    wxString city;
    const std::vector<wxString> codes = SelectMarineEntries(zones, stations, city);
    MakeRowsLookReal(catalogue, codes, stations, city);

    const SuggestionDatabases dbs{&catalogue, &userDb, &zones};
    const DLPrefs prefs = Everything();
    // Homes whose boxes hold a fair share of the synthetic areas.
    const HomePosition homes[] = {HomePosition(-23.0, 53.0, 40), HomePosition(14.0, 106.0, 40)};
    for (int round = 0; round < kRounds; ++round)
        for (int side = 0; side < 2; ++side) {
            const bool changedRows = (side == 0) == (round % 2 == 0);
            const HomePosition& home = homes[(2 * round + side) % 2];
            CSuggestionRun run(dbs, {});
            run.SetTransLonRewrite(changedRows ? TransLonRewrite::ChangedRows : TransLonRewrite::AllRows);
            const Clock::time_point t0 = Clock::now();
            const SuggestionOutcome out = run.Run(prefs, home, true);
            const double total = Ms(t0, Clock::now());
            if (!out.committed)
                Fail(out.error.utf8_str());
            if (changedRows) {
                f.total.push_back(total);
                f.transLon.push_back(out.transLonSeconds * 1000);
                f.lookups.push_back(out.lookupSeconds * 1000);
                f.finalQuery.push_back(out.finalQuerySeconds * 1000);
                f.inserts.push_back(out.insertSeconds * 1000);
                f.items = out.added;
            } else {
                f.totalAll.push_back(total);
                f.transLonAll.push_back(out.transLonSeconds * 1000);
            }
        }

    // A refresh with the home unchanged since the last run.
    for (int round = 0; round < kRounds; ++round)
        for (int side = 0; side < 2; ++side) {
            const bool changedRows = (side == 0) == (round % 2 == 0);
            CSuggestionRun run(dbs, {});
            run.SetTransLonRewrite(changedRows ? TransLonRewrite::ChangedRows : TransLonRewrite::AllRows);
            const SuggestionOutcome out = run.Run(prefs, homes[0], true);
            (changedRows ? f.sameHomeChanged : f.sameHomeAll).push_back(out.transLonSeconds * 1000);
        }

    // The final query's rows as written (one pass per sub-query, UNION)
    // against the engine's one pass.
    {
        CSuggestionRun run(dbs, {});
        const SuggestionOutcome out = run.Run(prefs, homes[0], true);
        const wxString finalQuery = out.queries.finalQuery;
        const wxString scanQuery = CSuggestionQuery::ScanQuery(out.queries);
        auto read = [&](const wxString& sql) {
            std::vector<wxString> rows;
            wxSQLite3ResultSet r = catalogue.ExecuteQuery(sql);
            while (r.NextRow())
                rows.push_back(r.GetAsString(0));
            return rows;
        };
        for (int round = 0; round < kRounds; ++round)
            for (int side = 0; side < 2; ++side) {
                const bool asWritten = (side == 0) == (round % 2 == 0);
                const Clock::time_point t0 = Clock::now();
                const std::vector<wxString> rows = read(asWritten ? finalQuery : scanQuery);
                (asWritten ? f.unionRows : f.onePassRows).push_back(Ms(t0, Clock::now()));
                if (round == 0 && side == 1)
                    f.sameRows = rows == read(asWritten ? scanQuery : finalQuery);
            }
    }

    std::vector<wxString> ids;
    wxSQLite3ResultSet rs = userDb.ExecuteQuery("SELECT productID FROM batch_items WHERE batchID = 2");
    while (rs.NextRow())
        ids.push_back(rs.GetAsString(0));
    for (int round = 0; round < kRounds; ++round) {
        const bool storeFirst = round % 2 == 0;
        const double a = TimeInserts(userDb, ids, storeFirst);
        const double b = TimeInserts(userDb, ids, !storeFirst);
        f.storeInserts.push_back(storeFirst ? a : b);
        f.preparedInserts.push_back(storeFirst ? b : a);
    }
    catalogue.Close();
    userDb.Close();
    zones.Close();
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer init;
    if (!init.IsOk())
        Fail("cannot start the toolkit");
    wxLog::EnableLogging(false);
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atol(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000, 300000};

    const wxString folder = wxFileName::CreateTempFileName("tw-suggest-bench-");
    wxRemoveFile(folder);
    wxFileName::Mkdir(folder, 0700);

    std::printf("Suggestion engine, every choice on, %d zones, %d buoys, a radar city; medians of %d rounds (ms)\n",
                kZones, kBuoys, kRounds);
    std::printf("mode: the engine on its own database handles, no log; goal: linear growth, under 2000 ms at "
                "300,000 products\n");
    std::printf("%9s %7s | %8s %8s %8s %8s %8s | %9s %9s | %10s %10s %9s\n", "products", "items", "total",
                "rewrite", "lookups", "query", "inserts", "all-rows", "rewrite", "store-ins", "prepared", "per 5000");
    std::vector<Figures> all;
    for (long size : sizes) {
        const Figures f = Measure(size, folder);
        all.push_back(f);
        const double prepared = Median(f.preparedInserts);
        std::printf("%9ld %7d | %8.1f %8.1f %8.1f %8.1f %8.1f | %9.1f %9.1f | %10.1f %10.1f %9.1f\n", f.size,
                    f.items, Median(f.total), Median(f.transLon), Median(f.lookups), Median(f.finalQuery),
                    Median(f.inserts), Median(f.totalAll), Median(f.transLonAll), Median(f.storeInserts), prepared,
                    f.items ? prepared * 5000.0 / f.items : 0.0);
    }
    std::printf("\nthe final query's rows, paired rounds (ms): as written (UNION) against one pass\n");
    for (const Figures& f : all)
        std::printf("%9ld products: as written %8.1f, one pass %8.1f (ratio %.2f), same rows: %s\n", f.size,
                    Median(f.unionRows), Median(f.onePassRows), Median(f.onePassRows) / Median(f.unionRows),
                    f.sameRows ? "yes" : "NO");
    std::printf("\nrewrite with the home unchanged since the last run (ms):\n");
    for (const Figures& f : all)
        std::printf("%9ld products: every row %8.1f, changed rows %8.1f\n", f.size, Median(f.sameHomeAll),
                    Median(f.sameHomeChanged));
    std::printf("\ncolumns: total and its parts with the changed-rows rewrite; all-rows: total and rewrite with\n"
                "the rewrite of every row; store-ins / prepared: the found items added one text statement each\n"
                "through the batch store / through one prepared statement; per 5000: prepared, scaled to 5000 items\n");
    for (size_t i = 1; i < all.size(); ++i)
        std::printf("growth %ld -> %ld products (x%.1f): total x%.2f, final query x%.2f, rewrite x%.2f\n",
                    all[i - 1].size, all[i].size, double(all[i].size) / all[i - 1].size,
                    Median(all[i].total) / Median(all[i - 1].total),
                    Median(all[i].finalQuery) / Median(all[i - 1].finalQuery),
                    Median(all[i].transLon) / Median(all[i - 1].transLon));
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
    return 0;
}
