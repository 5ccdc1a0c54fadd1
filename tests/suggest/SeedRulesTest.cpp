// The seed catalogue must tell each rule of the engine from a plausible
// wrong one: for every rule there is a home and a choice of content for
// which the engine's batch (equal to the plain implementation's) differs
// from what the wrong rule would give, and the items named below are the
// ones that make the difference.
#include <gtest/gtest.h>

#include <functional>

#include "Oracle.h"
#include "SuggestFixture.h"

namespace tw::test {
namespace {

struct Scenario {
    const char* rule;
    HomePosition home;
    std::function<void(DLPrefs&)> choose;
    const char* zones;    // zcode list of selected zones ("" none)
    const char* buoys;    // StationID list of selected buoys
    bool race;
    OracleRules wrong;
    std::vector<wxString> present;   // in the batch
    std::vector<wxString> absent;    // not in the batch (the wrong rule would take them or they lie elsewhere)
};

OracleRules Wrong(std::function<void(OracleRules&)> f)
{
    OracleRules r;
    f(r);
    return r;
}

const HomePosition kAuckland(-36.8, 174.8, 20);
const HomePosition kHonolulu(21.3, -157.9, 20);
const HomePosition kFiji(-17.8, -178.0, 20);

std::vector<Scenario> Scenarios()
{
    return {
        {"letter case is ignored", kAuckland,
         [](DLPrefs& p) {
             p.GRIB_Swell = true;
             p.Satellite_WaterVapor = true;
         },
         "", "", false, Wrong([](OracleRules& r) { r.caseSensitive = true; }), {"ww3015", "satx04"}, {}},
        {"letter case is ignored in table values", kHonolulu,
         [](DLPrefs& p) {
             p.WxForecast_Coastal = true;
             p.Satellite_Radar = true;
             p.Satellite_CityRecID = 901;
         },
         "'PMZ_18'", "'WK_01'", false, Wrong([](OracleRules& r) { r.caseSensitive = true; }),
         {"czpmz_18", "byx01", "radx01", "satx01"}, {}},
        {"wildcards in zone codes and station ids are plain characters", kHonolulu,
         [](DLPrefs& p) { p.WxForecast_Coastal = true; }, "'PMZ_18'", "'WK_01'", false,
         Wrong([](OracleRules& r) { r.wildcards = true; }), {"czpmz_18", "byx01"},
         {"czpmz118", "czpmz118w", "byx02"}},
        {"items beyond the date line east of the home are found", kAuckland,
         [](DLPrefs& p) {
             p.WizPrefs_IncludeAnimations = true;
             p.Satellite_Infrared = p.Satellite_Visible = true;
             p.OceanData_OceanData_Terrafin = p.OceanData_Tides = p.OceanData_Ice = true;
             p.FishingData_Color = p.FishingData_Prices = true;
         },
         "", "", false, Wrong([](OracleRules& r) { r.westNegative = true; }),
         {"an07", "an08", "satx02", "satx03", "tf026", "tf028", "td11", "td12", "ice07", "oc54", "oc63"}, {}},
        {"longitudes wrap at the date line for a home west of it", kFiji,
         [](DLPrefs& p) {
             p.Satellite_Infrared = true;
             p.FishingData_SurfaceTemperature = p.WizPrefs_OFD_SurfaceTemp_Terrafin = true;
             p.FishingData_SurfaceHeight = p.WizPrefs_OFD_SurfaceHeight_Terrafin = true;
         },
         "", "", false, Wrong([](OracleRules& r) { r.wrapDateLine = false; }), {"satx05", "tf029", "tf031"},
         {"tf025"}},
        {"longitudes wrap for a home in the west", kHonolulu,
         [](DLPrefs& p) {
             p.Satellite_Visible = true;
             p.OceanData_Tides = true;
         },
         "", "", false, Wrong([](OracleRules& r) { r.wrapDateLine = false; }), {"satx01", "td07", "td08"},
         {"satx03"}},
        {"an area that only touches the box is outside", HomePosition(-27.0, 176.0, 12),
         [](DLPrefs& p) { p.OceanData_OceanData_Terrafin = true; }, "", "", false,
         Wrong([](OracleRules& r) { r.strictEdges = false; }), {}, {"tf026"}},
        {"the European wave model is limited to the box", kHonolulu,
         [](DLPrefs& p) {
             p.GRIB_Wind = p.WizPrefs_GRIB_Wind_WW3 = true;
             p.GRIB_Days = 2;
         },
         "", "", false, Wrong([](OracleRules& r) { r.locateEuropeanModel = false; }), {"ww3003"}, {"bwxeu03"}},
        {"an item found twice is added once", kAuckland,
         [](DLPrefs& p) {
             p.WxChart_SurfaceAnalysis = true;
             p.WxForecast_HighSeas = p.WxForecast_MetArea = true;
         },
         "'MA14','HSNPE','HSNPW'", "", false, Wrong([](OracleRules& r) { r.once = false; }),
         {"wc037", "hs90", "ma18"}, {}},
    };
}

TEST(SeedCatalogueRules, EachRuleChangesTheBatchSomewhere)
{
    for (const Scenario& s : Scenarios()) {
        SCOPED_TRACE(s.rule);
        SeedCopies dbs;
        if (*s.zones)
            Exec(dbs.zones, wxString("UPDATE MZones SET selected = 1 WHERE zcode IN (") + s.zones + ")");
        if (*s.buoys)
            Exec(dbs.zones, wxString("UPDATE Buoys SET selected = 1 WHERE StationID IN (") + s.buoys + ")");
        DLPrefs prefs;
        s.choose(prefs);

        Recorder rec;
        CSuggestionRun run(dbs.Handles(), rec.Sinks(false));
        const SuggestionOutcome out = run.Run(prefs, s.home, s.race);
        ASSERT_TRUE(out.committed) << out.error;
        const BatchRows got = ReadBatch(dbs.user);
        const OracleWorld world = LoadWorld(dbs.catalogue, dbs.zones);
        EXPECT_EQ(got, Expected(world, prefs, s.home, s.race, {}));
        EXPECT_NE(Expected(world, prefs, s.home, s.race, {}, s.wrong), got) << "the seed does not tell this rule";
        const std::set<wxString> ids = IdSet(got);
        for (const wxString& id : s.present)
            EXPECT_EQ(ids.count(id), 1u) << id;
        for (const wxString& id : s.absent)
            EXPECT_EQ(ids.count(id), 0u) << id;
    }
}

// Things the plain implementation cannot get wrong in another way: quoting,
// the encoded day count of 8, files named like GRIBs in other categories,
// and the fixed files that the engine names.
TEST(SeedCatalogueRules, QuotingEncodingAndFixedFiles)
{
    SeedCopies dbs;
    {
        // A radar city with an apostrophe finds its radar image and the
        // recent satellite image that names it.
        DLPrefs p;
        p.Satellite_Radar = true;
        p.Satellite_CityRecID = 901;
        Recorder rec;
        const SuggestionOutcome out = CSuggestionRun(dbs.Handles(), rec.Sinks()).Run(p, kHonolulu, false);
        ASSERT_TRUE(out.committed) << out.error;
        EXPECT_EQ(IdSet(ReadBatch(dbs.user)), (std::set<wxString>{"radx01", "satx01"}));
        EXPECT_TRUE(rec.boxes.empty());
    }
    {
        // GRIB/Days lies beyond the longest period of 7 days (index 6): it
        // asks for 7-day files, never for the 8-day file of the catalogue
        // (whose encoded pattern would hold an apostrophe). The race course
        // file named like a GRIB is not a GRIB.
        DLPrefs p;
        p.GRIB_Wind = p.WizPrefs_GRIB_Wind_GFS = p.WizPrefs_GRIB_Wind_WW3 = true;
        p.GRIB_Days = 6;
        const SuggestionOutcome seven = CSuggestionRun(dbs.Handles(), {}).Run(p, kAuckland, true);
        ASSERT_TRUE(seven.committed) << seven.error;
        const std::set<wxString> sevenDays = IdSet(ReadBatch(dbs.user));
        EXPECT_FALSE(sevenDays.empty());
        for (const int beyond : {7, 2147483647}) {
            SCOPED_TRACE(beyond);
            p.GRIB_Days = beyond;
            const SuggestionOutcome out = CSuggestionRun(dbs.Handles(), {}).Run(p, kAuckland, true);
            ASSERT_TRUE(out.committed) << out.error;
            EXPECT_EQ(IdSet(ReadBatch(dbs.user)), sevenDays);
            EXPECT_EQ(sevenDays.count("gfsx08"), 0u);
        }
        p.GRIB_Days = 2;
        const SuggestionOutcome three = CSuggestionRun(dbs.Handles(), {}).Run(p, kAuckland, true);
        ASSERT_TRUE(three.committed) << three.error;
        EXPECT_EQ(IdSet(ReadBatch(dbs.user)), (std::set<wxString>{"gfs003", "ww3003"}));
    }
    {
        // Every file the choices name by id is in the catalogue.
        DLPrefs p;
        p.OceanData_GRIBSurfaceCurrents = p.FishingData_SurfaceTemperature = p.FishingData_SurfaceHeight = true;
        p.FishingData_MixedLayerDepth = p.FishingData_Salinity = true;
        for (bool* f : {&p.WizPrefs_OFD_SurfaceCurrents_NOAA, &p.WizPrefs_OFD_SurfaceCurrents_Miami,
                        &p.WizPrefs_OFD_SurfaceCurrents_GLBOCN, &p.WizPrefs_OFD_SurfaceTemp_NOAA,
                        &p.WizPrefs_OFD_SurfaceTemp_Miami, &p.WizPrefs_OFD_SurfaceTemp_GLBOCN,
                        &p.WizPrefs_OFD_SurfaceTemp_GHRSST, &p.WizPrefs_OFD_SurfaceHeight_NOAA,
                        &p.WizPrefs_OFD_SurfaceHeight_Miami, &p.WizPrefs_OFD_SurfaceHeight_GLBOCN,
                        &p.WizPrefs_OFD_SurfaceHeight_GHRSST, &p.WizPrefs_OFD_Salinity_NOAA,
                        &p.WizPrefs_OFD_Salinity_Miami})
            *f = true;
        const std::vector<wxString> ids = Texts(dbs.catalogue, "SELECT FileID FROM products");
        const std::set<wxString> catalogue(ids.begin(), ids.end());
        int named = 0;
        for (bool high : {true, false}) {
            p.WizPrefs_GRIBRes = high;
            for (bool colour : {true, false}) {
                p.WizPrefs_Background = colour;
                const SuggestionQueries q = CSuggestionQuery(p, kAuckland, false).Build({}, {}, false, "", {});
                for (const wxString& id : q.hardCodedFileIds) {
                    EXPECT_EQ(catalogue.count(id), 1u) << id;
                    ++named;
                }
            }
        }
        EXPECT_EQ(named, 4 * 14);
        for (const char* id : {"bw1", "bw4", "ps110", "ps113", "oc30a", "oc31a", "oc36", "oc884", "ps1", "ps2", "ps3",
                               "ps4", "ps7", "ps8", "ps11", "ps12"})
            EXPECT_EQ(catalogue.count(id), 1u) << id;
    }
}

} // namespace
} // namespace tw::test
