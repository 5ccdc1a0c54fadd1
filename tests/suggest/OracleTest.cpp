// The engine against the plain implementation of the rules in Oracle.cpp, on
// generated catalogues full of near misses (letter case, wildcards and
// apostrophes in table values, paths that almost match, areas across the
// date line and at the poles) with random preferences and homes: the batch
// it writes must hold exactly the expected (productID, status) pairs.
#include <gtest/gtest.h>

#include <random>

#include "Oracle.h"
#include "SuggestFixture.h"
#include "core/StringHelpers.h"

namespace tw::test {
namespace {

class Generator
{
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[static_cast<size_t>(Int(0, static_cast<int>(v.size()) - 1))]; }
    // A multiple of 0.25, so that every sum and limit is exact.
    double Grid(double lo, double hi) { return Int(static_cast<int>(lo * 4), static_cast<int>(hi * 4)) / 4.0; }

    wxString Cased(const wxString& s)
    {
        if (!Chance(0.3))
            return s;
        return Chance(0.5) ? s.Upper() : s.Lower();
    }

    std::mt19937& Rng() { return m_rng; }

private:
    std::mt19937 m_rng;
};

const std::vector<wxString> kZoneCodes = {"AMZ101", "AMZ1011", "GMZ_12", "GMZ312", "GMZx12", "AB%1", "ABC1",
                                          "O'ZN1", "PKZ200", "HSNPE", "HS'X", "MA14", "MA1", ""};
const std::vector<wxString> kMaps = {"Coastal", "Offshore", "HighSeas", "MetArea", "highseas", "Coastal"};
const std::vector<wxString> kStations = {"46050", "4605", "WK_01", "WKS01", "ST%9", "STX9", "O'B12", "abc12", ""};
const std::vector<wxString> kCities = {"Seattle, WA", "Kaua'i, HI", "St_Louis", "StXLouis", "100% Bay", ""};
const std::vector<wxString> kFixed = {
    "bw1", "bw4", "ps110", "ps113", "oc30a", "oc31a", "oc36", "oc884", "ps1", "ps2", "ps3", "ps4", "ps7", "ps8",
    "ps11", "ps12", "hycomg005h", "hycomg005l", "glbhycom001", "glbocng005a", "hycomg009h", "hycomg009l",
    "glbhycom003", "glbocng007a", "nlomg400a", "hycomg006h", "hycomg006l", "glbhycom005", "glbocng009a",
    "nlomg401a", "hycomg008h", "hycomg008l", "hycomg007h", "hycomg007l", "glbhycom004", "BW1"};
const std::vector<wxString> kCategories = {
    "GRIB Global", "GRIB Regional", "grib Local", "GRIBS", "Animation", "animation", "Weather Charts", "Text",
    "Satellite Imagery", "Radar", "Buoy", "Race", "Terrafin", "Ocean Charts", "PRO Services", "Ice", "Tides",
    "Ocean Models", "Basic Mode"};
const std::vector<wxString> kChartTypes = {
    "Surface Analysis", "500 mb", "Wind", "Sea State", "Wind Wave", "Cyclone", "surface analysis", "Infrared",
    "Visible", "Water Vapor", "Image with Chart-Surface Analysis", "Image with Chart-Wind Wave", "Current Velocity",
    "SST Analysis", "Hourly sst", "SSH Anomaly", "Chlorophyll", "Catch Journals", "Fish Prices", "Other"};
const std::vector<wxString> kGribStems = {
    "=>avnwind.", "=>surfwind.", "=>wind.", "=>bwxeuwind.", "=>prwav.", "=>wave.", "=>bwxeuwave.", "=>swell.",
    "avnprmsl.", "=>prsml.", "avnhgt500mb.", "=>hgt500mb.", "avnprcp.", "=>prcp.", "avncld.", "=>cld.",
    "=>avn4lftx.", "avnairtemp.", "=>airtemp.", "=>avn.", "wind."};
const std::vector<wxString> kRegional = {"=>fxmed", "=>fxbas", "=>fxbks", "=>fxnos", "=>fxpol", "=>fxeur"};
const std::vector<wxString> kParams = {"wind.", "wave.", "prmsl.", "hgt500mb.", "prcp.", "ccc.", "airtemp."};

// Writes a generated world over the seed copies.
void Generate(Generator& g, SeedCopies& dbs, int count)
{
    Exec(dbs.catalogue, "DELETE FROM products");
    Exec(dbs.catalogue, "DELETE FROM MetHighSeasZones");
    Exec(dbs.zones, "DELETE FROM MZones");
    Exec(dbs.zones, "DELETE FROM Buoys");
    Exec(dbs.zones, "DELETE FROM RadarCities");

    std::vector<wxString> ids;
    dbs.catalogue.Begin();
    wxSQLite3Statement ins = dbs.catalogue.PrepareStatement(
        "INSERT INTO products (CategoryIdx, RegionIdx, ChartTypeIdx, Category, ChartType, FileID, Title, Path, "
        "Source, Lat, Lon, Height, Width) VALUES (0, 0, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int n = 0; n < count; ++n) {
        const wxString category = g.Pick(kCategories);
        wxString id = wxString::Format("p%05d", n);
        if (g.Chance(0.05))
            id = g.Pick(kFixed);
        else if (g.Chance(0.02))
            id = "";
        else if (g.Chance(0.02) && !ids.empty())
            id = g.Pick(ids);   // two rows with one id
        ids.push_back(id);

        wxString title = wxString::Format("Item %d", n);
        if (g.Chance(0.3))
            title = g.Cased("Most Recent") + " " + title;
        else if (g.Chance(0.1))
            title += " Most  Recent";
        if (g.Chance(0.25))
            title = g.Cased(g.Pick(kZoneCodes)) + (g.Chance(0.8) ? " " : "") + title;
        if (g.Chance(0.25))
            title += " station " + g.Cased(g.Pick(kStations));
        if (g.Chance(0.2))
            title += " - " + g.Cased(g.Pick(kCities));

        wxString path = wxString::Format("dir%d/item%d.bin", n % 7, n);
        if (category.Upper().StartsWith("GRIB") || g.Chance(0.1)) {
            const int days = g.Int(1, 9);
            const wxString stem = g.Chance(0.3)
                                      ? g.Pick(kRegional) + (g.Chance(0.5) ? "25" : "") + g.Pick(kParams)
                                      : g.Pick(kGribStems);
            path = wxString::Format("grib/m%d", n % 5) + g.Cased(stem) + wxString::Format("%d", days) +
                   (g.Chance(0.9) ? "day" : "days") + ".grb";
        }

        // Areas: mostly regional, some world-wide, some at the poles or
        // across the date line.
        double lat = g.Grid(-90, 90), lon = g.Grid(0, 359.75);
        double height = g.Grid(0.25, 40), width = g.Grid(0.25, 60);
        if (g.Chance(0.05)) {
            lat = 0, lon = 180, height = 180, width = 360;
        } else if (g.Chance(0.1)) {
            lon = g.Grid(170, 190);
            width = g.Grid(1, 30);
        } else if (g.Chance(0.05)) {
            lat = g.Chance(0.5) ? 90 : -90;
            height = g.Grid(1, 30);
        }

        ins.Bind(1, category);
        ins.Bind(2, g.Pick(kChartTypes));
        ins.Bind(3, id);
        ins.Bind(4, title);
        ins.Bind(5, CDbTextEncoder::encode_db_string(path, false));
        ins.Bind(6, g.Chance(0.5) ? wxString("ENVCAN") : g.Chance(0.5) ? wxString("envcan") : wxString("NWS"));
        ins.Bind(7, lat);
        ins.Bind(8, lon);
        ins.Bind(9, height);
        ins.Bind(10, width);
        ins.ExecuteUpdate();
        ins.Reset();
    }
    dbs.catalogue.Commit();

    // High-seas files: some shared by two zones, some also found by queries,
    // some fixed model files.
    wxSQLite3Statement hs = dbs.catalogue.PrepareStatement("INSERT INTO MetHighSeasZones (Zone, FileID) VALUES (?, ?)");
    for (const wxString& code : kZoneCodes)
        for (int k = g.Int(0, 3); k > 0; --k) {
            hs.Bind(1, code);
            hs.Bind(2, g.Chance(0.2) ? g.Pick(kFixed) : g.Pick(ids));
            hs.ExecuteUpdate();
            hs.Reset();
        }

    wxSQLite3Statement z = dbs.zones.PrepareStatement(
        "INSERT INTO MZones (zcode, region, description, lat, lon, Map, selected) VALUES (?, 'R', '', 0, 0, ?, ?)");
    for (const wxString& code : kZoneCodes) {
        z.Bind(1, code);
        z.Bind(2, g.Pick(kMaps));
        z.Bind(3, g.Chance(0.5) ? 1 : 0);
        z.ExecuteUpdate();
        z.Reset();
    }
    wxSQLite3Statement b = dbs.zones.PrepareStatement(
        "INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) VALUES (?, 'b', 0, 0, ?)");
    for (const wxString& s : kStations) {
        b.Bind(1, s);
        b.Bind(2, g.Chance(0.4) ? 1 : 0);
        b.ExecuteUpdate();
        b.Reset();
    }
    wxSQLite3Statement c = dbs.zones.PrepareStatement(
        "INSERT INTO RadarCities (ID, City, RadarType, Latitude, Longitude) VALUES (?, ?, 'NEXRAD', 0, 0)");
    for (size_t i = 0; i < kCities.size(); ++i) {
        c.Bind(1, static_cast<int>(i + 1));
        c.Bind(2, kCities[i]);
        c.ExecuteUpdate();
        c.Reset();
    }
}

DLPrefs RandomPrefs(Generator& g)
{
    DLPrefs p;
    // Every content choice the engine may read, and some it must not.
    bool* const flags[] = {
        &p.GRIB_Wind, &p.GRIB_Waves, &p.GRIB_Swell, &p.GRIB_SurfacePressure, &p.GRIB_Precipitation,
        &p.GRIB_CloudCover, &p.GRIB_500mb, &p.GRIB_AirTemperature, &p.GRIB_LiftedIndex,
        &p.WxChart_SurfaceAnalysis, &p.WxChart_500mb, &p.WxChart_Wind, &p.WxChart_SeaState, &p.WxChart_WindWave,
        &p.WxChart_CycloneAreas, &p.WxForecast_BuoyWindWave, &p.WxForecast_BuoyMet, &p.WxForecast_Coastal,
        &p.WxForecast_Offshore, &p.WxForecast_HighSeas, &p.WxForecast_MetArea, &p.WxForecast_Canadian,
        &p.WxForecast_DalenMorrowBahamas, &p.WxForecast_DalenMorrowCaribbean, &p.Satellite_Infrared,
        &p.Satellite_Visible, &p.Satellite_WaterVapor, &p.Satellite_WeatherOverImage, &p.Satellite_Radar,
        &p.OceanData_GRIBSurfaceCurrents, &p.OceanData_OceanData_Terrafin, &p.OceanData_NavyChartsGulfStream,
        &p.OceanData_MarisolVennetGulfStrea, &p.OceanData_Ice, &p.OceanData_PositionReports, &p.OceanData_Tides,
        &p.FishingData_SurfaceTemperature, &p.FishingData_SurfaceHeight, &p.FishingData_MixedLayerDepth,
        &p.FishingData_Salinity, &p.FishingData_Prices, &p.FishingData_Color, &p.WizPrefs_GRIB_Wind_GFS,
        &p.WizPrefs_GRIB_Wind_NMG, &p.WizPrefs_GRIB_Wind_WW3, &p.WizPrefs_GRIB_Wind_Med, &p.WizPrefs_GRIB_Wind_Baltic,
        &p.WizPrefs_GRIB_Wind_Barents, &p.WizPrefs_GRIB_Wind_NorthSea, &p.WizPrefs_GRIB_Wind_Polar,
        &p.WizPrefs_GRIB_Wind_Continent, &p.WizPrefs_GRIB_Wave_GFS, &p.WizPrefs_GRIB_Wave_NMG,
        &p.WizPrefs_GRIB_Wave_WW3, &p.WizPrefs_GRIB_Wave_Med, &p.WizPrefs_GRIB_Wave_Baltic,
        &p.WizPrefs_GRIB_Wave_Barents, &p.WizPrefs_GRIB_Wave_NorthSea, &p.WizPrefs_GRIB_Wave_Polar,
        &p.WizPrefs_GRIB_Wave_Continent, &p.WizPrefs_GRIB_SurfacePressure_GFS, &p.WizPrefs_GRIB_SurfacePressure_NMG,
        &p.WizPrefs_GRIB_SurfacePressure_Polar, &p.WizPrefs_GRIB_SurfacePressure_Continent,
        &p.WizPrefs_GRIB_500mb_GFS, &p.WizPrefs_GRIB_500mb_NMG, &p.WizPrefs_GRIB_500mb_Polar,
        &p.WizPrefs_GRIB_500mb_Continent, &p.WizPrefs_GRIB_CloudCover_GFS, &p.WizPrefs_GRIB_CloudCover_NMG,
        &p.WizPrefs_GRIB_CloudCover_Polar, &p.WizPrefs_GRIB_CloudCover_Continent,
        &p.WizPrefs_GRIB_Precipitation_GFS, &p.WizPrefs_GRIB_Precipitation_NMG,
        &p.WizPrefs_GRIB_Precipitation_Polar, &p.WizPrefs_GRIB_Precipitation_Continent,
        &p.WizPrefs_GRIB_AirTemp_GFS, &p.WizPrefs_GRIB_AirTemp_NMG, &p.WizPrefs_GRIB_AirTemp_Polar,
        &p.WizPrefs_GRIB_AirTemp_Continent, &p.WizPrefs_OFD_SurfaceCurrents_Terrafin,
        &p.WizPrefs_OFD_SurfaceCurrents_NOAA, &p.WizPrefs_OFD_SurfaceCurrents_Miami,
        &p.WizPrefs_OFD_SurfaceCurrents_GLBOCN, &p.WizPrefs_OFD_SurfaceCurrents_GHRSST,
        &p.WizPrefs_OFD_SurfaceTemp_Terrafin, &p.WizPrefs_OFD_SurfaceTemp_NOAA, &p.WizPrefs_OFD_SurfaceTemp_Miami,
        &p.WizPrefs_OFD_SurfaceTemp_GLBOCN, &p.WizPrefs_OFD_SurfaceTemp_GHRSST,
        &p.WizPrefs_OFD_SurfaceHeight_Terrafin, &p.WizPrefs_OFD_SurfaceHeight_NOAA,
        &p.WizPrefs_OFD_SurfaceHeight_Miami, &p.WizPrefs_OFD_SurfaceHeight_GLBOCN,
        &p.WizPrefs_OFD_SurfaceHeight_GHRSST, &p.WizPrefs_OFD_MixedLayerDepth_NOAA,
        &p.WizPrefs_OFD_Salinity_NOAA, &p.WizPrefs_OFD_Salinity_Miami, &p.WizPrefs_IncludeAnimations,
        &p.WizPrefs_Background, &p.WizPrefs_GRIBRes};
    const double density = g.Chance(0.2) ? 0.9 : 0.5;
    for (bool* f : flags)
        *f = g.Chance(density);
    p.GRIB_Days = g.Int(0, 7);
    p.Satellite_CityRecID = g.Int(0, static_cast<int>(kCities.size()) + 1);
    return p;
}

// Homes: random ones on the grid, the date-line homes and the poles.
std::vector<HomePosition> Homes(Generator& g, int random)
{
    std::vector<HomePosition> homes = {
        HomePosition(-36.8, 174.8, 20), HomePosition(21.3, -157.9, 20), HomePosition(-17.8, -178.0, 20),
        HomePosition(89.75, 0, 20),     HomePosition(-89.75, 180, 20),  HomePosition(90, 45, 30),
        HomePosition(-90, -45, 10),     HomePosition(0, 180, 15),       HomePosition(0, -180, 15),
    };
    for (int i = 0; i < random; ++i)
        homes.emplace_back(g.Grid(-90, 90), g.Grid(-180, 180), g.Int(1, 40));
    return homes;
}

TEST(SuggestionOracle, EngineWritesExactlyTheExpectedBatch)
{
    int nonEmpty = 0, withUnchecked = 0, runs = 0;
    for (unsigned seed : {11u, 23u, 47u}) {
        SeedCopies dbs;
        Generator g(seed);
        Generate(g, dbs, 1500);
        const OracleWorld world = LoadWorld(dbs.catalogue, dbs.zones);
        // An item of another batch must never be touched.
        Exec(dbs.user, "INSERT INTO batch_items (batchID, productID, status) VALUES (3, 'p00001', 0)");

        for (const HomePosition& home : Homes(g, 15)) {
            const DLPrefs prefs = RandomPrefs(g);
            const bool race = g.Chance(0.5);

            // What the user had unchecked, and items of the last run.
            dbs.user.Begin();
            Exec(dbs.user, "DELETE FROM batch_items WHERE batchID = 2");
            std::set<wxString> unchecked;
            for (int k = 0; k < 60; ++k) {
                const wxString id = g.Chance(0.9) ? world.products[g.Int(0, 1499)].fileId : g.Pick(kFixed);
                const int status = g.Chance(0.6) ? 0 : 1;
                if (status == 0)
                    unchecked.insert(id);
                Exec(dbs.user, "INSERT INTO batch_items (batchID, productID, status) VALUES (2, '" + id + "', " +
                                   wxString::Format("%d", status) + ")");
            }
            dbs.user.Commit();

            Recorder rec;
            CSuggestionRun run(dbs.Handles(), rec.Sinks(false));
            const SuggestionOutcome out = run.Run(prefs, home, race);
            ASSERT_TRUE(out.committed) << out.error;

            const BatchRows expected = Expected(world, prefs, home, race, unchecked);
            const BatchRows got = ReadBatch(dbs.user);
            ASSERT_EQ(got, expected) << "seed " << seed << " home " << home.lat << " " << home.lon << " box "
                                     << home.width << "\n" << out.queries.finalQuery;
            EXPECT_EQ(out.added, static_cast<int>(got.size()));
            EXPECT_EQ(rec.boxes.size(), got.empty() ? 1u : 0u);
            ExpectFinalQueryOrder(dbs.catalogue, dbs.user, out);
            EXPECT_EQ(Texts(dbs.user, "SELECT productID FROM batch_items WHERE batchID = 3"),
                      std::vector<wxString>{"p00001"});
            ++runs;
            nonEmpty += got.empty() ? 0 : 1;
            for (const auto& r : got)
                if (r.second == 0) {
                    ++withUnchecked;
                    break;
                }
        }
    }
    // The comparison means something only when the runs find things.
    EXPECT_GT(nonEmpty, runs * 3 / 4);
    EXPECT_GT(withUnchecked, runs / 2);
}

// The seed catalogue itself, all choices on, at the date-line homes, the
// poles and Seattle, with every zone and buoy selected and each radar city.
TEST(SuggestionOracle, SeedCatalogueWithEverythingChosen)
{
    SeedCopies dbs;
    Exec(dbs.zones, "UPDATE MZones SET selected = 1");
    Exec(dbs.zones, "UPDATE Buoys SET selected = 1");
    const OracleWorld world = LoadWorld(dbs.catalogue, dbs.zones);
    const std::vector<wxString> cityIds = Texts(dbs.zones, "SELECT ID FROM RadarCities");
    Generator g(5);
    int i = 0;
    for (const HomePosition& home : Homes(g, 0)) {
        DLPrefs prefs;
        DLPrefs& p = prefs;
        p.GRIB_Wind = p.GRIB_Waves = p.GRIB_Swell = p.GRIB_SurfacePressure = p.GRIB_Precipitation = true;
        p.GRIB_CloudCover = p.GRIB_500mb = p.GRIB_AirTemperature = p.GRIB_LiftedIndex = true;
        p.WizPrefs_GRIB_Wind_GFS = p.WizPrefs_GRIB_Wind_NMG = p.WizPrefs_GRIB_Wind_WW3 = true;
        p.WizPrefs_GRIB_Wind_Med = p.WizPrefs_GRIB_Wind_Polar = p.WizPrefs_GRIB_Wind_Continent = true;
        p.WizPrefs_GRIB_Wave_WW3 = p.WizPrefs_GRIB_Wave_NMG = p.WizPrefs_GRIB_SurfacePressure_GFS = true;
        p.WizPrefs_GRIB_AirTemp_Polar = p.WizPrefs_GRIB_CloudCover_Continent = true;
        p.WxChart_SurfaceAnalysis = p.WxChart_500mb = p.WxChart_Wind = p.WxChart_SeaState = true;
        p.WxChart_WindWave = p.WxChart_CycloneAreas = true;
        p.WxForecast_BuoyWindWave = p.WxForecast_BuoyMet = p.WxForecast_Coastal = p.WxForecast_Offshore = true;
        p.WxForecast_HighSeas = p.WxForecast_MetArea = p.WxForecast_Canadian = true;
        p.WxForecast_DalenMorrowBahamas = p.WxForecast_DalenMorrowCaribbean = true;
        p.Satellite_Infrared = p.Satellite_Visible = p.Satellite_WaterVapor = true;
        p.Satellite_WeatherOverImage = p.Satellite_Radar = true;
        p.OceanData_GRIBSurfaceCurrents = p.OceanData_OceanData_Terrafin = true;
        p.OceanData_NavyChartsGulfStream = p.OceanData_MarisolVennetGulfStrea = true;
        p.OceanData_Ice = p.OceanData_Tides = p.OceanData_PositionReports = true;
        p.FishingData_SurfaceTemperature = p.FishingData_SurfaceHeight = p.FishingData_Color = true;
        p.FishingData_Prices = p.FishingData_MixedLayerDepth = p.FishingData_Salinity = true;
        p.WizPrefs_OFD_SurfaceTemp_Terrafin = p.WizPrefs_OFD_SurfaceHeight_Terrafin = true;
        p.WizPrefs_OFD_SurfaceCurrents_NOAA = p.WizPrefs_OFD_Salinity_Miami = true;
        p.WizPrefs_IncludeAnimations = true;
        p.WizPrefs_Background = i % 2 == 0;
        p.WizPrefs_GRIBRes = i % 3 == 0;
        p.GRIB_Days = i % 7;
        // The city whose name holds an apostrophe first, then others.
        p.Satellite_CityRecID = wxAtoi(i == 0 ? wxString("901") : cityIds[static_cast<size_t>(i * 7) % cityIds.size()]);
        const bool race = i % 2 == 1;

        Recorder rec;
        CSuggestionRun run(dbs.Handles(), rec.Sinks(false));
        const SuggestionOutcome out = run.Run(p, home, race);
        ASSERT_TRUE(out.committed) << out.error;
        EXPECT_EQ(ReadBatch(dbs.user), Expected(world, p, home, race, {}))
            << home.lat << " " << home.lon << "\n" << out.queries.finalQuery;
        ExpectFinalQueryOrder(dbs.catalogue, dbs.user, out);
        ++i;
    }
}

} // namespace
} // namespace tw::test
