// The suggestion statements as exact texts: location limits, the
// relative-longitude rewrite, every sub-query with its spacing, the GRIB
// pattern table, day count and resolution tag, quoting and LIKE escaping of
// values from the marine-zones tables, and the final query's order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <wx/wxsqlite3.h>

#include "core/StringHelpers.h"
#include "model/BatchDB.h"
#include "engine/suggest/SuggestionQuery.h"

namespace {

// Patterns as they are, so that the texts below read plainly; the real
// encoding has its own test.
wxString Plain(const wxString& p)
{
    return p;
}

const HomePosition kSeattle(47.4019, -122.323, 15);
const wxString kSeattleWhere = "((Lat-(Height/2))<54.90) AND ((Lat+(Height/2))>39.90) AND "
                               "((TransLon+(Width/2))>-7.50) AND ((TransLon-(Width/2))<7.50)";

CSuggestionQuery Builder(const DLPrefs& prefs, const HomePosition& home = kSeattle, bool race = false)
{
    return CSuggestionQuery(prefs, home, race, Plain);
}

TEST(SuggestionQueryText, LocationClauseKeepsLimitsOnTheGlobe)
{
    struct Case {
        HomePosition home;
        const char* expected;
    };
    const Case cases[] = {
        {kSeattle, "((Lat-(Height/2))<54.90) AND ((Lat+(Height/2))>39.90) AND ((TransLon+(Width/2))>-7.50) AND "
                   "((TransLon-(Width/2))<7.50)"},
        {HomePosition(85, 0, 20), "((Lat-(Height/2))<90.00) AND ((Lat+(Height/2))>75.00) AND "
                                  "((TransLon+(Width/2))>-10.00) AND ((TransLon-(Width/2))<10.00)"},
        {HomePosition(-85, 10, 20), "((Lat-(Height/2))<-75.00) AND ((Lat+(Height/2))>-90.00) AND "
                                    "((TransLon+(Width/2))>-10.00) AND ((TransLon-(Width/2))<10.00)"},
        {HomePosition(-36.8, 174.8, 1), "((Lat-(Height/2))<-36.30) AND ((Lat+(Height/2))>-37.30) AND "
                                        "((TransLon+(Width/2))>-0.50) AND ((TransLon-(Width/2))<0.50)"},
    };
    DLPrefs prefs;
    for (const Case& c : cases)
        EXPECT_EQ(Builder(prefs, c.home).LocationClause(), c.expected) << c.home.lat;
}

TEST(SuggestionQueryText, TransLonRewriteCarriesTheNegatedHomeLongitude)
{
    DLPrefs prefs;
    EXPECT_EQ(Builder(prefs).TransLonUpdate(),
              "UPDATE products SET TransLon = (CASE WHEN (Lon + 122.32) > 180.0 THEN ROUND((Lon + 122.32 - 360.0),2) "
              "ELSE ROUND((Lon + 122.32),2) END)");
    EXPECT_EQ(Builder(prefs, HomePosition(0, 10.5, 15)).TransLonUpdate(),
              "UPDATE products SET TransLon = (CASE WHEN (Lon + -10.50) > 180.0 THEN ROUND((Lon + -10.50 - 360.0),2) "
              "ELSE ROUND((Lon + -10.50),2) END)");
}

// The rewrite's arithmetic, run on a scratch table: both forms of the
// statement give the same column.
TEST(SuggestionQueryText, TransLonValuesAcrossTheDateLine)
{
    struct Case {
        double homeLon, lon, transLon;
    };
    const Case cases[] = {
        {-170, 175, -15.00}, {-170, 5, 175.00},   {170, 185, 15.00},   {170, 165, -5.00},
        {170, -175, -345.00}, {0, 180, 180.00},   {174.8, 185, 10.20}, {174.8, 350, 175.20},
        {-178, 178, -4.00},  {-157.9, 190, -12.10}, {-157.9, 22.1, 180.00},
    };
    wxSQLite3Database db;
    db.Open(":memory:");
    db.ExecuteUpdate("CREATE TABLE products (Lon REAL, TransLon REAL NOT NULL DEFAULT 0)");
    DLPrefs prefs;
    for (const Case& c : cases)
        for (bool changedOnly : {false, true}) {
            db.ExecuteUpdate("DELETE FROM products");
            db.ExecuteUpdate(wxString("INSERT INTO products (Lon) VALUES (") + wxString::FromCDouble(c.lon) + ")");
            const CSuggestionQuery b = Builder(prefs, HomePosition(0, c.homeLon, 10));
            db.ExecuteUpdate(changedOnly ? b.TransLonUpdateChanged() : b.TransLonUpdate());
            wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT TransLon FROM products");
            ASSERT_TRUE(rs.NextRow());
            EXPECT_DOUBLE_EQ(rs.GetDouble(0), c.transLon) << c.homeLon << " " << c.lon << " " << changedOnly;
        }
}

// One row per model flag of the GRIB table (groups without models: the
// group alone); the day count is 3 and the tag is filled in as {R}.
TEST(SuggestionQueryText, GribPatternTable)
{
    using Set = std::function<void(DLPrefs&)>;
    struct Row {
        Set set;
        std::vector<std::string> patterns;   // "@" in front: limited to the content box
    };
#define F(group, model) [](DLPrefs& p) { p.group = true; p.model = true; }
#define G(group) [](DLPrefs& p) { p.group = true; }
    const std::vector<Row> rows = {
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_GFS), {"=>avnwind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_NMG), {"=>surfwind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_WW3), {"=>wind.3day", "@=>bwxeuwind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_Med), {"=>fxmed{R}wind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_Baltic), {"=>fxbas{R}wind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_Barents), {"=>fxbks{R}wind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_NorthSea), {"=>fxnos{R}wind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_Polar), {"=>fxpol{R}wind.3day"}},
        {F(GRIB_Wind, WizPrefs_GRIB_Wind_Continent), {"=>fxeur{R}wind.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_NMG), {"=>prwav.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_WW3), {"=>wave.3day", "@=>bwxeuwave.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_Med), {"=>fxmed{R}wave.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_Baltic), {"=>fxbas{R}wave.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_Barents), {"=>fxbks{R}wave.3day"}},
        {F(GRIB_Waves, WizPrefs_GRIB_Wave_NorthSea), {"=>fxnos{R}wave.3day"}},
        {G(GRIB_Swell), {"=>swell.3day"}},
        {F(GRIB_SurfacePressure, WizPrefs_GRIB_SurfacePressure_GFS), {"avnprmsl.3day"}},
        {F(GRIB_SurfacePressure, WizPrefs_GRIB_SurfacePressure_NMG), {"=>prsml.3day"}},
        {F(GRIB_SurfacePressure, WizPrefs_GRIB_SurfacePressure_Polar), {"=>fxpol{R}prmsl.3day"}},
        {F(GRIB_SurfacePressure, WizPrefs_GRIB_SurfacePressure_Continent), {"=>fxeur{R}prmsl.3day"}},
        {F(GRIB_500mb, WizPrefs_GRIB_500mb_GFS), {"avnhgt500mb.3day"}},
        {F(GRIB_500mb, WizPrefs_GRIB_500mb_NMG), {"=>hgt500mb.3day"}},
        {F(GRIB_500mb, WizPrefs_GRIB_500mb_Polar), {"=>fxpol{R}hgt500mb.3day"}},
        {F(GRIB_500mb, WizPrefs_GRIB_500mb_Continent), {"=>fxeur{R}hgt500mb.3day"}},
        {F(GRIB_Precipitation, WizPrefs_GRIB_Precipitation_GFS), {"avnprcp.3day"}},
        {F(GRIB_Precipitation, WizPrefs_GRIB_Precipitation_NMG), {"=>prcp.3day"}},
        {F(GRIB_Precipitation, WizPrefs_GRIB_Precipitation_Polar), {"=>fxpol{R}prcp.3day"}},
        {F(GRIB_Precipitation, WizPrefs_GRIB_Precipitation_Continent), {"=>fxeur{R}prcp.3day"}},
        {F(GRIB_CloudCover, WizPrefs_GRIB_CloudCover_GFS), {"avncld.3day"}},
        {F(GRIB_CloudCover, WizPrefs_GRIB_CloudCover_NMG), {"=>cld.3day"}},
        {F(GRIB_CloudCover, WizPrefs_GRIB_CloudCover_Polar), {"=>fxpol{R}ccc.3day"}},
        {F(GRIB_CloudCover, WizPrefs_GRIB_CloudCover_Continent), {"=>fxeur{R}ccc.3day"}},
        {G(GRIB_LiftedIndex), {"=>avn4lftx.3day"}},
        {F(GRIB_AirTemperature, WizPrefs_GRIB_AirTemp_GFS), {"avnairtemp.3day"}},
        {F(GRIB_AirTemperature, WizPrefs_GRIB_AirTemp_NMG), {"=>airtemp.3day"}},
        {F(GRIB_AirTemperature, WizPrefs_GRIB_AirTemp_Polar), {"=>fxpol{R}airtemp.3day"}},
        {F(GRIB_AirTemperature, WizPrefs_GRIB_AirTemp_Continent), {"=>fxeur{R}airtemp.3day"}},
    };
#undef F
#undef G
    ASSERT_EQ(rows.size(), 37u);
    for (bool high : {false, true})
        for (const Row& row : rows) {
            DLPrefs prefs;
            prefs.GRIB_Days = 2;
            prefs.WizPrefs_GRIBRes = high;
            row.set(prefs);
            wxString expected = "SELECT FileID FROM Products WHERE ((Category LIKE 'GRIB%') AND ((1=0)";
            for (std::string p : row.patterns) {
                const size_t r = p.find("{R}");
                if (r != std::string::npos)
                    p.replace(r, 3, high ? "" : "25");
                if (p[0] == '@')
                    expected += " OR ((Path LIKE '%" + p.substr(1) + "%' ESCAPE '\\') AND (" + kSeattleWhere + "))";
                else
                    expected += " OR (Path LIKE '%" + p + "%' ESCAPE '\\')";
            }
            expected += "))";
            const SuggestionSubQuery q = Builder(prefs).Grib();
            EXPECT_TRUE(q.included) << row.patterns[0];
            EXPECT_EQ(q.text, expected);
        }
}

TEST(SuggestionQueryText, GribGroupsModelsDaysAndOrder)
{
    DLPrefs prefs;
    // Model flags alone include nothing.
    prefs.WizPrefs_GRIB_Wind_GFS = prefs.WizPrefs_GRIB_Wave_NMG = prefs.WizPrefs_GRIB_500mb_GFS = true;
    EXPECT_FALSE(Builder(prefs).Grib().included);
    EXPECT_EQ(Builder(prefs).Grib().text, "");

    // A group without a model still includes a sub-query that finds nothing.
    DLPrefs none;
    none.GRIB_Waves = true;
    EXPECT_TRUE(Builder(none).Grib().included);
    EXPECT_EQ(Builder(none).Grib().text, "SELECT FileID FROM Products WHERE ((Category LIKE 'GRIB%') AND ((1=0)))");

    // Groups in the table's order, whatever order they are set in; the day
    // count is GRIB/Days + 1.
    DLPrefs p;
    p.GRIB_AirTemperature = p.WizPrefs_GRIB_AirTemp_NMG = true;
    p.GRIB_Swell = true;
    p.GRIB_Wind = p.WizPrefs_GRIB_Wind_Med = p.WizPrefs_GRIB_Wind_GFS = true;
    p.WizPrefs_GRIBRes = false;
    struct Days {
        int index;
        const char* n;
    };
    for (const Days& d : {Days{0, "1"}, Days{6, "7"}}) {
        p.GRIB_Days = d.index;
        const wxString n = d.n;
        EXPECT_EQ(Builder(p).DayCount(), n);
        EXPECT_EQ(Builder(p).Grib().text,
                  "SELECT FileID FROM Products WHERE ((Category LIKE 'GRIB%') AND ((1=0)"
                  " OR (Path LIKE '%=>avnwind." + n + "day%' ESCAPE '\\')"
                  " OR (Path LIKE '%=>fxmed25wind." + n + "day%' ESCAPE '\\')"
                  " OR (Path LIKE '%=>swell." + n + "day%' ESCAPE '\\')"
                  " OR (Path LIKE '%=>airtemp." + n + "day%' ESCAPE '\\')))");
    }
    EXPECT_EQ(Builder(p).ResolutionTag(), "25");
    p.WizPrefs_GRIBRes = true;
    EXPECT_EQ(Builder(p).ResolutionTag(), "");
}

// The stored encoding with LIKE escaping: the pattern is the encoded text
// (the codec writes "8" as an apostrophe, which comes out doubled), and the
// day count stays within 1 to 7 days whatever the settings file holds.
TEST(SuggestionQueryText, GribPatternsAreEncodedAndEscaped)
{
    DLPrefs p;
    p.GRIB_Wind = p.WizPrefs_GRIB_Wind_GFS = true;
    struct Days {
        int index;
        int n;
    };
    for (const Days& d : {Days{2, 3}, Days{7, 7}, Days{2147483647, 7}, Days{-1, 1}, Days{-2147483647 - 1, 1}}) {
        SCOPED_TRACE(d.index);
        p.GRIB_Days = d.index;
        EXPECT_EQ(CSuggestionQuery(p, kSeattle, false).DayCount(), wxString::Format("%d", d.n));
        const wxString plain = wxString::Format("=>avnwind.%dday", d.n);
        const wxString encoded = CDbTextEncoder::encode_db_string(plain, true);
        const wxString text = CSuggestionQuery(p, kSeattle, false).Grib().text;
        EXPECT_EQ(text, "SELECT FileID FROM Products WHERE ((Category LIKE 'GRIB%') AND ((1=0) OR (Path LIKE '%" +
                            encoded + "%' ESCAPE '\\')))");
    }
    EXPECT_EQ(CDbTextEncoder::encode_db_string("=>avnwind.8day", true).Freq('\''), 2);
}

TEST(SuggestionQueryText, AnimationsAndChartsKeepTheirSpacing)
{
    DLPrefs p;
    EXPECT_FALSE(Builder(p).Animations().included);
    EXPECT_EQ(Builder(p).Animations().text, "");
    p.WizPrefs_IncludeAnimations = true;
    EXPECT_TRUE(Builder(p).Animations().included);
    EXPECT_EQ(Builder(p).Animations().text,
              "SELECT FileID FROM Products WHERE (Category='Animation')  AND (" + kSeattleWhere + ")");

    DLPrefs c;
    EXPECT_FALSE(Builder(c).Charts().included);
    c.WizPrefs_Background = true;   // does not touch the charts
    c.WxChart_SurfaceAnalysis = c.WxChart_Wind = c.WxChart_CycloneAreas = true;
    EXPECT_TRUE(Builder(c).Charts().included);
    EXPECT_EQ(Builder(c).Charts().text,
              "SELECT FileID FROM Products WHERE (Category = 'Weather Charts') AND ((1=0)  OR (ChartType = 'Surface "
              "Analysis') OR (ChartType = 'Wind') OR (ChartType = 'Cyclone'))AND (" + kSeattleWhere + ")");
    c.WxChart_SurfaceAnalysis = c.WxChart_Wind = c.WxChart_CycloneAreas = false;
    c.WxChart_500mb = c.WxChart_SeaState = c.WxChart_WindWave = true;
    EXPECT_EQ(Builder(c).Charts().text,
              "SELECT FileID FROM Products WHERE (Category = 'Weather Charts') AND ((1=0)  OR (ChartType = '500 mb') "
              "OR (ChartType = 'Sea State') OR (ChartType = 'Wind Wave'))AND (" + kSeattleWhere + ")");
}

TEST(SuggestionQueryText, ZoneQueryAsksOnlyForWantedKinds)
{
    DLPrefs p;
    EXPECT_EQ(Builder(p).ZoneQuery(), "");
    p.WxForecast_Offshore = p.WxForecast_MetArea = true;
    EXPECT_EQ(Builder(p).ZoneQuery(),
              "SELECT zcode,Map FROM MZones WHERE (selected=1) AND ((1=0)  OR (Map='Offshore') OR (Map='MetArea'))");
    p.WxForecast_Coastal = p.WxForecast_HighSeas = true;
    EXPECT_EQ(Builder(p).ZoneQuery(),
              "SELECT zcode,Map FROM MZones WHERE (selected=1) AND ((1=0)  OR (Map='Coastal') OR (Map='Offshore') OR "
              "(Map='HighSeas') OR (Map='MetArea'))");
}

TEST(SuggestionQueryText, TextForecastTermsInOrder)
{
    const std::vector<SuggestionZone> zones = {
        {"PZZ135", "Coastal"}, {"HSNPE", "HighSeas"}, {"PZZ800", "Offshore"}, {"MA12", "MetArea"}};
    DLPrefs p;
    EXPECT_FALSE(Builder(p).Text(zones).included);
    EXPECT_EQ(Builder(p).Text(zones).text, "SELECT FileID FROM Products WHERE ((1=0))");

    p.WxForecast_BuoyWindWave = p.WxForecast_BuoyMet = p.WxForecast_Coastal = true;
    p.WxForecast_DalenMorrowBahamas = p.WxForecast_DalenMorrowCaribbean = p.WxForecast_Canadian = true;
    EXPECT_TRUE(Builder(p).Text(zones).included);
    EXPECT_EQ(Builder(p).Text(zones).text,
              "SELECT FileID FROM Products WHERE ((FILEid='bw1') OR (FILEid='bw4') OR (Title LIKE 'PZZ135%') OR "
              "(Title LIKE 'PZZ800%') OR (FILEid='ps110') OR (FILEid='ps113') OR ((Category='Text') AND "
              "(Source='ENVCAN') AND (" + kSeattleWhere + ")) OR (1=0))");

    // A zone kind alone includes the sub-query, even with no zone selected.
    DLPrefs z;
    z.WxForecast_HighSeas = true;
    EXPECT_TRUE(Builder(z).Text({}).included);
    EXPECT_EQ(Builder(z).Text({}).text, "SELECT FileID FROM Products WHERE ((1=0))");

    EXPECT_EQ(CSuggestionQuery::HighSeasZones(zones), (std::vector<wxString>{"HSNPE", "MA12"}));
    EXPECT_EQ(CSuggestionQuery::MetHighSeasQuery({"HSNPE", "MA12"}),
              "SELECT FileID FROM MetHighSeasZones WHERE (1=0) OR Zone='HSNPE'OR Zone='MA12'");
    EXPECT_EQ(CSuggestionQuery::MetHighSeasQuery({}), "");
}

TEST(SuggestionQueryText, SatelliteAndRadar)
{
    DLPrefs p;
    const wxString none = "SELECT FileID FROM Products WHERE ((Category = 'Satellite Imagery') AND (Title LIKE "
                          "'%Most Recent%%') AND ((1=0) ) )  AND (" + kSeattleWhere + ")";
    EXPECT_FALSE(Builder(p).Satellite().included);
    EXPECT_EQ(Builder(p).Satellite().text, none);
    p.Satellite_Infrared = p.Satellite_WeatherOverImage = true;
    EXPECT_TRUE(Builder(p).Satellite().included);
    EXPECT_EQ(Builder(p).Satellite().text,
              "SELECT FileID FROM Products WHERE ((Category = 'Satellite Imagery') AND (Title LIKE '%Most Recent%%') "
              "AND ((1=0)  OR (ChartType='Infrared') OR (ChartType='Image with Chart-Surface Analysis') OR "
              "(ChartType='Image with Chart-Wind Wave')) )  AND (" + kSeattleWhere + ")");
    p.Satellite_Infrared = p.Satellite_WeatherOverImage = false;
    p.Satellite_Visible = p.Satellite_WaterVapor = true;
    EXPECT_EQ(Builder(p).Satellite().text,
              "SELECT FileID FROM Products WHERE ((Category = 'Satellite Imagery') AND (Title LIKE '%Most Recent%%') "
              "AND ((1=0)  OR (ChartType='Visible') OR (ChartType='Water Vapor')) )  AND (" + kSeattleWhere + ")");

    DLPrefs r;
    EXPECT_EQ(Builder(r).RadarCityQuery(), "");
    EXPECT_FALSE(Builder(r).Radar(true, "Seattle, WA").included);
    r.Satellite_Radar = true;
    r.Satellite_CityRecID = 17;
    EXPECT_EQ(Builder(r).RadarCityQuery(), "SELECT City FROM RadarCities WHERE ID=17 LIMIT 1");
    const SuggestionSubQuery found = Builder(r).Radar(true, "Seattle, WA");
    EXPECT_TRUE(found.included);
    EXPECT_EQ(found.text, "SELECT FileID FROM Products WHERE (Title LIKE '%Most Recent%') AND ((1=0)  OR "
                          "(Title LIKE '%Seattle, WA%'))");
    // Included even when the city is unknown; then it finds nothing.
    const SuggestionSubQuery missing = Builder(r).Radar(false, "");
    EXPECT_TRUE(missing.included);
    EXPECT_EQ(missing.text, "SELECT FileID FROM Products WHERE (Title LIKE '%Most Recent%') AND ((1=0) )");
    // A found but empty name would match every recent image.
    EXPECT_EQ(Builder(r).Radar(true, "").text, missing.text);
}

TEST(SuggestionQueryText, BuoysNeedNoPreference)
{
    DLPrefs p;
    EXPECT_EQ(CSuggestionQuery::BuoyQuery(), "SELECT StationID FROM Buoys WHERE selected=1");
    EXPECT_FALSE(Builder(p).Buoys({}).included);
    EXPECT_EQ(Builder(p).Buoys({}).text, "SELECT FileID FROM products WHERE ((Category='Buoy') AND ((1=0)))");
    const SuggestionSubQuery q = Builder(p).Buoys({"46050", "", "CAPE1"});
    EXPECT_TRUE(q.included);
    EXPECT_EQ(q.text, "SELECT FileID FROM products WHERE ((Category='Buoy') AND ( (Title LIKE '%46050%') OR  "
                      "(Title LIKE '%CAPE1%') OR (1=0)))");
    EXPECT_FALSE(Builder(p).Buoys({""}).included);
}

// Values from the marine-zones tables: apostrophes doubled; wildcards
// escaped, and only then an ESCAPE clause.
TEST(SuggestionQueryText, TableValuesAreQuotedAndEscaped)
{
    struct Case {
        const char* value;
        const char* like;
    };
    const Case cases[] = {
        {"PZZ135", "Title LIKE 'PZZ135%'"},
        {"O'Neil", "Title LIKE 'O''Neil%'"},
        {"PMZ_18", "Title LIKE 'PMZ\\_18%' ESCAPE '\\'"},
        {"AB%1", "Title LIKE 'AB\\%1%' ESCAPE '\\'"},
        {"A\\B'_", "Title LIKE 'A\\\\B''\\_%' ESCAPE '\\'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSuggestionQuery::LikeValue("Title", "", c.value, "%"), c.like) << c.value;

    DLPrefs p;
    p.WxForecast_Coastal = true;
    EXPECT_EQ(Builder(p).Text({{"PMZ_18", "Coastal"}, {"", "Coastal"}}).text,
              "SELECT FileID FROM Products WHERE ((Title LIKE 'PMZ\\_18%' ESCAPE '\\') OR (1=0))");
    EXPECT_EQ(CSuggestionQuery::MetHighSeasQuery({"H'S"}),
              "SELECT FileID FROM MetHighSeasZones WHERE (1=0) OR Zone='H''S'");
    p.Satellite_Radar = true;
    EXPECT_EQ(Builder(p).Radar(true, "Kaua'i, HI").text,
              "SELECT FileID FROM Products WHERE (Title LIKE '%Most Recent%') AND ((1=0)  OR "
              "(Title LIKE '%Kaua''i, HI%'))");
    EXPECT_EQ(Builder(p).Buoys({"WK_01"}).text,
              "SELECT FileID FROM products WHERE ((Category='Buoy') AND ( (Title LIKE '%WK\\_01%' ESCAPE '\\') OR "
              "(1=0)))");

    // A value longer than any real code is passed over; one at the limit is kept.
    const wxString limit(wxUniChar('Z'), CSuggestionQuery::kMaxTableValueLength);
    const wxString over = limit + "Z";
    EXPECT_EQ(Builder(p).Text({{over, "Coastal"}}).text, Builder(p).Text({}).text);
    EXPECT_TRUE(Builder(p).Text({{limit, "Coastal"}}).text.Contains(limit));
    EXPECT_EQ(CSuggestionQuery::HighSeasZones({{over, "HighSeas"}, {"HS1", "MetArea"}}), std::vector<wxString>{"HS1"});
    EXPECT_EQ(Builder(p).Radar(true, over).text, Builder(p).Radar(false, wxString()).text);
    EXPECT_FALSE(Builder(p).Buoys({over}).included);
    EXPECT_TRUE(Builder(p).Buoys({limit}).text.Contains(limit));
}

TEST(SuggestionQueryText, OceanTermsFixedFilesAndEdition)
{
    DLPrefs p;
    std::vector<wxString> fixed;
    const SuggestionSubQuery none = Builder(p).Ocean(fixed);
    EXPECT_FALSE(none.included);
    EXPECT_EQ(none.text, "SELECT FileID FROM products WHERE ((1=0))AND (" + kSeattleWhere + ")");
    EXPECT_TRUE(fixed.empty());

    p.OceanData_GRIBSurfaceCurrents = true;
    p.WizPrefs_OFD_SurfaceCurrents_NOAA = p.WizPrefs_OFD_SurfaceCurrents_Miami = true;
    p.WizPrefs_OFD_SurfaceCurrents_GLBOCN = true;
    p.OceanData_PositionReports = p.OceanData_OceanData_Terrafin = p.OceanData_NavyChartsGulfStream = true;
    p.OceanData_MarisolVennetGulfStrea = p.OceanData_Ice = p.OceanData_Tides = true;
    struct Case {
        bool colour, high, race;
        const char* text;
        std::vector<wxString> fixed;
    };
    const Case cases[] = {
        {true, true, true,
         "SELECT FileID FROM products WHERE ((Category='Race') OR (Category='Terrafin' AND ChartType='Current "
         "Velocity') OR (Category='Ocean Charts' AND  (FileID='oc30a' OR FileID='oc31a') ) OR (Category='PRO "
         "Services' AND  (FileID='ps2' OR FileID='ps12' OR FileID='ps4' OR FileID='ps8') ) OR (Category='Ice') OR "
         "(Category='Tides') OR (1=0))AND (",
         {"hycomg005h", "glbhycom001", "glbocng005a"}},
        {false, false, false,
         "SELECT FileID FROM products WHERE ((Category='Terrafin' AND ChartType='Current Velocity') OR "
         "(Category='Ocean Charts' AND  (FileID='oc36' OR FileID='oc884') ) OR (Category='PRO Services' AND  "
         "(FileID='ps1' OR FileID='ps11' OR FileID='ps3' OR FileID='ps7') ) OR (Category='Ice') OR "
         "(Category='Tides') OR (1=0))AND (",
         {"hycomg005l", "glbhycom001", "glbocng005a"}},
    };
    for (const Case& c : cases) {
        p.WizPrefs_Background = c.colour;
        p.WizPrefs_GRIBRes = c.high;
        std::vector<wxString> got;
        const SuggestionSubQuery q = Builder(p, kSeattle, c.race).Ocean(got);
        EXPECT_TRUE(q.included);
        EXPECT_EQ(q.text, wxString(c.text) + kSeattleWhere + ")");
        EXPECT_EQ(got, c.fixed);
    }

    // Position reports count only in the race edition; the fixed files alone
    // do not include the sub-query.
    DLPrefs r;
    r.OceanData_PositionReports = true;
    r.OceanData_GRIBSurfaceCurrents = r.WizPrefs_OFD_SurfaceCurrents_Miami = true;
    std::vector<wxString> got;
    EXPECT_FALSE(Builder(r, kSeattle, false).Ocean(got).included);
    EXPECT_EQ(got, (std::vector<wxString>{"glbhycom001"}));
    got.clear();
    EXPECT_TRUE(Builder(r, kSeattle, true).Ocean(got).included);
}

TEST(SuggestionQueryText, FishingTermsAndFixedFiles)
{
    DLPrefs p;
    std::vector<wxString> fixed;
    EXPECT_FALSE(Builder(p).Fishing(fixed).included);
    EXPECT_EQ(Builder(p).Fishing(fixed).text,
              "SELECT FileID FROM products WHERE ((1=0))AND (" + kSeattleWhere + ")");

    // Provider flags count only under their data kind.
    p.WizPrefs_OFD_SurfaceTemp_Terrafin = p.WizPrefs_OFD_SurfaceTemp_NOAA = true;
    p.WizPrefs_OFD_Salinity_Miami = true;
    EXPECT_FALSE(Builder(p).Fishing(fixed).included);
    EXPECT_TRUE(fixed.empty());

    p.FishingData_SurfaceTemperature = p.FishingData_SurfaceHeight = p.FishingData_Color = true;
    p.FishingData_MixedLayerDepth = p.FishingData_Salinity = p.FishingData_Prices = true;
    p.WizPrefs_OFD_SurfaceTemp_Miami = p.WizPrefs_OFD_SurfaceTemp_GLBOCN = p.WizPrefs_OFD_SurfaceTemp_GHRSST = true;
    p.WizPrefs_OFD_SurfaceHeight_Terrafin = p.WizPrefs_OFD_SurfaceHeight_NOAA = true;
    p.WizPrefs_OFD_SurfaceHeight_Miami = p.WizPrefs_OFD_SurfaceHeight_GLBOCN = true;
    p.WizPrefs_OFD_SurfaceHeight_GHRSST = p.WizPrefs_OFD_Salinity_NOAA = true;
    for (bool high : {true, false}) {
        p.WizPrefs_GRIBRes = high;
        const wxString h = high ? "h" : "l";
        std::vector<wxString> got;
        const SuggestionSubQuery q = Builder(p).Fishing(got);
        EXPECT_TRUE(q.included);
        EXPECT_EQ(q.text, "SELECT FileID FROM products WHERE ((Category='Terrafin' AND ChartType LIKE '%SST%') OR "
                          "(Category='Terrafin' AND ChartType='SSH Anomaly') OR (Category='Terrafin' AND "
                          "ChartType='Chlorophyll') OR (Category='Ocean Charts' AND (ChartType='Catch Journals' OR "
                          "ChartType='Fish Prices')) OR (1=0))AND (" + kSeattleWhere + ")");
        EXPECT_EQ(got, (std::vector<wxString>{"hycomg009" + h, "glbhycom003", "glbocng007a", "nlomg400a",
                                              "hycomg006" + h, "glbhycom005", "glbocng009a", "nlomg401a",
                                              "hycomg008" + h, "hycomg007" + h, "glbhycom004"}));
    }
}

// The final query joins the included sub-queries in a fixed order that is
// not the order in which they are built.
TEST(SuggestionQueryText, FinalQueryOrderAndFixedFiles)
{
    DLPrefs p;
    const SuggestionQueries empty = Builder(p).Build({}, {}, false, "", {});
    EXPECT_EQ(empty.finalQuery, "SELECT FileID FROM Products WHERE 1=0");
    EXPECT_TRUE(empty.hardCodedFileIds.empty());

    p.GRIB_Swell = true;
    p.WizPrefs_IncludeAnimations = true;
    p.WxChart_Wind = true;
    p.WxForecast_BuoyMet = true;
    p.WxForecast_HighSeas = true;
    p.Satellite_Visible = true;
    p.Satellite_Radar = true;
    p.OceanData_Ice = true;
    p.OceanData_GRIBSurfaceCurrents = p.WizPrefs_OFD_SurfaceCurrents_Miami = true;
    p.FishingData_Color = true;
    p.FishingData_MixedLayerDepth = true;
    const CSuggestionQuery b = Builder(p);
    const SuggestionQueries q = b.Build({{"HSNPE", "HighSeas"}}, {"hs01", "hs90"}, true, "Seattle, WA", {"46050"});
    std::vector<wxString> hard;
    EXPECT_EQ(q.finalQuery, "SELECT FileID FROM Products WHERE 1=0 UNION " + b.Grib().text + " UNION " +
                                b.Charts().text + " UNION " + b.Animations().text + " UNION " +
                                b.Text({{"HSNPE", "HighSeas"}}).text + " UNION " + b.Satellite().text + " UNION " +
                                b.Buoys({"46050"}).text + " UNION " + b.Radar(true, "Seattle, WA").text + " UNION " +
                                b.Ocean(hard).text + " UNION " + b.Fishing(hard).text);
    EXPECT_EQ(q.hardCodedFileIds, (std::vector<wxString>{"hs01", "hs90", "glbhycom001", "hycomg008l"}));
    EXPECT_EQ(q.metHighSeasQuery, "SELECT FileID FROM MetHighSeasZones WHERE (1=0) OR Zone='HSNPE'");
    EXPECT_EQ(CSuggestionQuery::UncheckedQuery(2), "SELECT productID FROM batch_items WHERE (status = 0) AND batchID = 2");
    EXPECT_EQ(CSuggestionQuery::DeleteBatchItems(2), "DELETE FROM batch_items WHERE batchID = 2");
}

} // namespace

namespace {

// Run again under a comma-decimal locale: the numbers in the statements keep
// their decimal point.
TEST(SuggestionQueryTextLocale, NumbersKeepTheirPoint)
{
    DLPrefs prefs;
    const CSuggestionQuery b(prefs, HomePosition(-36.8, 174.8, 15), false);
    EXPECT_EQ(b.LocationClause(), "((Lat-(Height/2))<-29.30) AND ((Lat+(Height/2))>-44.30) AND "
                                  "((TransLon+(Width/2))>-7.50) AND ((TransLon-(Width/2))<7.50)");
    EXPECT_TRUE(b.TransLonUpdate().Contains("(Lon + -174.80)")) << b.TransLonUpdate();
}

} // namespace

// The one-pass rows come in the order and number in which the final query's
// UNION gives them (asked of the database itself), for texts of every kind:
// case, digits, accents, other scripts, repeats, the empty text, and for
// values stored as bytes or as nothing.
TEST(SuggestionQueryText, OnePassRowsFollowTheUnionOrder)
{
    const std::vector<wxString> scanned = {
        "b", "a", "B", "b", "10", "9", "", wxString::FromUTF8("\xc3\xa9t\xc3\xa9"), "zz", "e",
        wxString::FromUTF8("\xe6\xb0\xb4"), wxString::FromUTF8("\xf0\x9f\x8c\x8a"), "a", "A_", "a%", ""};
    wxSQLite3Database db;
    db.Open(":memory:");
    db.ExecuteUpdate("CREATE TABLE Products (FileID TEXT, k INTEGER)");
    // Rows alternate between two sub-queries, so that each finds some.
    int k = 0;
    for (const wxString& v : scanned)
        db.ExecuteUpdate("INSERT INTO Products VALUES ('" + SqlEscape(v) + "', " + SqlInt(k++ % 2) + ")");
    db.ExecuteUpdate("INSERT INTO Products VALUES (X'41', 0), (X'41', 1), (NULL, 1), ('A', 0)");
    SuggestionQueries q;
    q.grib = {true, "SELECT FileID FROM Products WHERE k = 1"};
    q.charts = {true, "SELECT FileID FROM products WHERE k = 0"};
    q.finalQuery = CSuggestionQuery::FinalQuery(q);
    auto rows = [&db](const wxString& sql) {
        std::vector<std::pair<wxString, wxString>> out;
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT FileID, typeof(FileID) FROM (" + sql + ")");
        while (rs.NextRow())
            out.emplace_back(rs.GetAsString(0), rs.GetAsString(1));
        return out;
    };
    const auto fromUnion = rows(q.finalQuery);
    EXPECT_EQ(fromUnion.size(), 16u);
    EXPECT_EQ(rows(CSuggestionQuery::ScanQuery(q)), fromUnion);
}
