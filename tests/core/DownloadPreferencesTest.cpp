#include <clocale>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include <wx/filefn.h>

#include "SettingsFixture.h"
#include "core/DownloadPreferences.h"

namespace {

enum Type { Bool, Int, Double, Text };
const char* const kUnchanged = nullptr;

// Every key of the record: its type, the text the file holds for the value
// read when the key is absent, and for the value the wizard defaults put in
// (kUnchanged: the wizard defaults keep what was there).
struct Key {
    const char* key;
    Type type;
    const char* readDefault;
    const char* wizardDefault;
};

const Key kKeys[] = {
    {"GRIB/Wind", Bool, "0", "0"},
    {"GRIB/Waves", Bool, "0", "0"},
    {"GRIB/Swell", Bool, "0", "0"},
    {"GRIB/SurfacePressure", Bool, "0", "0"},
    {"GRIB/Precipitation", Bool, "0", "0"},
    {"GRIB/CloudCover", Bool, "0", "0"},
    {"GRIB/500mb", Bool, "0", "0"},
    {"GRIB/AirTemperature", Bool, "0", "0"},
    {"GRIB/LiftedIndex", Bool, "0", "0"},
    {"GRIB/All", Bool, "0", "0"},
    {"GRIB/Days", Int, "0", "0"},
    {"WxChart/SurfaceAnalysis", Bool, "0", "0"},
    {"WxChart/500mb", Bool, "0", "0"},
    {"WxChart/Wind", Bool, "0", "0"},
    {"WxChart/SeaState", Bool, "0", "0"},
    {"WxChart/WindWave", Bool, "0", "0"},
    {"WxChart/CycloneAreas", Bool, "0", "0"},
    {"WxChart/All", Bool, "0", "0"},
    {"WxForecast/BuoyWindWave", Bool, "0", "0"},
    {"WxForecast/BuoyMet", Bool, "0", "0"},
    {"WxForecast/Coastal", Bool, "0", "0"},
    {"WxForecast/Offshore", Bool, "0", "0"},
    {"WxForecast/HighSeas", Bool, "0", "0"},
    {"WxForecast/MetArea", Bool, "0", "0"},
    {"WxForecast/Canadian", Bool, "0", "0"},
    {"WxForecast/DalenMorrowBahamas", Bool, "0", "0"},
    {"WxForecast/DalenMorrowCaribbean", Bool, "0", "0"},
    {"WxForecast/All", Bool, "0", "0"},
    {"Satellite/Infrared", Bool, "0", "0"},
    {"Satellite/Visible", Bool, "0", "0"},
    {"Satellite/WaterVapor", Bool, "0", "0"},
    {"Satellite/WeatherOverImage", Bool, "0", "0"},
    {"Satellite/Radar", Bool, "0", "0"},
    {"Satellite/City", Int, "0", "0"},
    {"Satellite/CityLat", Double, "0", "0"},
    {"Satellite/CityLon", Double, "0", "0"},
    {"Satellite/CityRecID", Int, "0", kUnchanged},
    {"Satellite/All", Bool, "0", "0"},
    {"OceanData/GRIBSurfaceCurrents", Bool, "0", "0"},
    {"OceanData/OceanData_Terrafin", Bool, "0", "0"},
    {"OceanData/NavyChartsGulfStream", Bool, "0", "0"},
    {"OceanData/MarisolVennetGulfStrea", Bool, "0", "0"},
    {"OceanData/Ice", Bool, "0", "0"},
    {"OceanData/PositionReports", Bool, "0", "0"},
    {"OceanData/All", Bool, "0", "0"},
    {"OceanData/Tides", Bool, "0", "0"},
    {"FishingData/SurfaceTemperature", Bool, "0", "0"},
    {"FishingData/SurfaceHeight", Bool, "0", "0"},
    {"FishingData/HeightAnomalies", Bool, "0", "0"},
    {"FishingData/MixedLayerDepth", Bool, "0", "0"},
    {"FishingData/Salinity", Bool, "0", "0"},
    {"FishingData/Prices", Bool, "0", "0"},
    {"FishingData/Color", Bool, "0", "0"},
    {"FishingData/All", Bool, "0", "0"},
    {"HomeLocation/UseLastGPS", Bool, "1", kUnchanged},
    {"HomeLocation/CityIdx", Int, "0", "766"},
    {"HomeLocation/Source", Int, "1", kUnchanged},
    {"HomeLocation/ManualLat", Double, "0", kUnchanged},
    {"HomeLocation/ManualLon", Double, "0", kUnchanged},
    {"HomeLocation/GPSLat", Double, "-1", kUnchanged},
    {"HomeLocation/GPSLon", Double, "-1", kUnchanged},
    {"HomeLocation/CityLat", Double, "-1", kUnchanged},
    {"HomeLocation/CityLon", Double, "-1", kUnchanged},
    {"HomeLocation/ContentBox", Int, "20", "15"},
    {"HomeLocation/IconIdx", Int, "0", "0"},
    {"GPS/Port", Text, "", kUnchanged},
    {"GPS/Baud", Int, "0", "4800"},
    {"GPS/StopBits", Int, "1", kUnchanged},
    {"GPS/DataBits", Int, "1", kUnchanged},
    {"GPS/Parity", Int, "0", kUnchanged},
    {"GPS/PortIdx", Int, "0", kUnchanged},
    {"GPS/BaudIdx", Int, "0", "1"},
    {"GPS/StopBitsIdx", Int, "1", kUnchanged},
    {"GPS/DataBitsIdx", Int, "1", kUnchanged},
    {"GPS/ParityIdx", Int, "0", kUnchanged},
    {"GPS/GGA", Bool, "1", kUnchanged},
    {"GPS/GLL", Bool, "1", kUnchanged},
    {"GPS/RMC", Bool, "1", kUnchanged},
    {"GPS/TimeOutIdx", Int, "1", kUnchanged},
    {"GPS/TimeOutSecs", Int, "1", kUnchanged},
    {"GPS/SourceIdx", Int, "1", "0"},
    {"GPS/UpdateHome", Bool, "1", kUnchanged},
    {"GPS/PlotHome", Bool, "1", kUnchanged},
    {"WizPrefs/GRIB_Wind_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_Wind_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_WW3", Bool, "0", "1"},
    {"WizPrefs/GRIB_Wind_Med", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_Baltic", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_Barents", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_NorthSea", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wind_Continent,", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_GFS", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_WW3", Bool, "0", "1"},
    {"WizPrefs/GRIB_Wave_Med", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_Baltic", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_Barents", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_NorthSea", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_Wave_Continent", Bool, "0", "0"},
    {"WizPrefs/GRIB_SurfacePressure_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_SurfacePressure_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_SurfacePressure_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_SurfacePressure_Continent", Bool, "0", "0"},
    {"WizPrefs/GRIB_500mb_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_500mb_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_500mb_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_500mb_Continent", Bool, "0", "0"},
    {"WizPrefs/GRIB_CloudCover_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_CloudCover_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_CloudCover_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_CloudCover_Continent", Bool, "0", "0"},
    {"WizPrefs/GRIB_Precipitation_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_Precipitation_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_Precipitation_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_Precipitation_Continent", Bool, "0", "0"},
    {"WizPrefs/GRIB_AirTemp_GFS", Bool, "0", "1"},
    {"WizPrefs/GRIB_AirTemp_NMG", Bool, "0", "0"},
    {"WizPrefs/GRIB_AirTemp_Polar", Bool, "0", "0"},
    {"WizPrefs/GRIB_AirTemp_Continent", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceCurrents_Terrafin", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceCurrents_NOAA", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceCurrents_Miami", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceCurrents_GLBOCN", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceCurrents_GHRSST", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceTemp_Terrafin", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceTemp_NOAA", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceTemp_Miami", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceTemp_GLBOCN", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceTemp_GHRSST", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceHeight_Terrafin", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceHeight_NOAA", Bool, "0", "0"},
    {"WizPrefs/OFD_SurfaceHeight_Miami", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceHeight_GLBOCN", Bool, "0", "1"},
    {"WizPrefs/OFD_SurfaceHeight_GHRSST", Bool, "0", "0"},
    {"WizPrefs/OFD_MixedLayerDepth_Terrafin", Bool, "0", "0"},
    {"WizPrefs/OFD_MixedLayerDepth_NOAA", Bool, "0", "1"},
    {"WizPrefs/OFD_MixedLayerDepth_Miami", Bool, "0", "0"},
    {"WizPrefs/OFD_MixedLayerDepth_GLBOCN", Bool, "0", "0"},
    {"WizPrefs/OFD_MixedLayerDepth_GHRSST", Bool, "0", "0"},
    {"WizPrefs/OFD_Salinity_Terrafin", Bool, "0", "0"},
    {"WizPrefs/OFD_Salinity_NOAA", Bool, "0", "0"},
    {"WizPrefs/OFD_Salinity_Miami", Bool, "0", "1"},
    {"WizPrefs/OFD_Salinity_GLBOCN", Bool, "0", "0"},
    {"WizPrefs/OFD_Salinity_GHRSST", Bool, "0", "0"},
    {"WizPrefs/IncludeAnimations", Bool, "0", "0"},
    {"WizPrefs/Background", Bool, "0", "0"},
    {"WizPrefs/GRIBRes", Bool, "0", "0"},
};

class DownloadPreferencesTest : public SettingsFixture
{
protected:
    // Every entry of the user file, by full key.
    std::map<wxString, wxString> AllEntries()
    {
        std::map<wxString, wxString> out;
        auto file = Raw();
        wxString group;
        long gi = 0;
        std::vector<wxString> groups;
        for (bool more = file->GetFirstGroup(group, gi); more; more = file->GetNextGroup(group, gi))
            groups.push_back(group);
        for (const wxString& g : groups) {
            file->SetPath("/" + g);
            wxString entry;
            long ei = 0;
            for (bool more = file->GetFirstEntry(entry, ei); more; more = file->GetNextEntry(entry, ei)) {
                wxString value;
                file->Read(entry, &value);
                out[g + "/" + entry] = value;
            }
            file->SetPath("/");
        }
        return out;
    }

    void Seed(const std::map<wxString, wxString>& values)
    {
        auto file = Raw();
        for (const auto& [key, value] : values)
            file->Write(key, value);
        file->Flush();
    }

    void RemoveUserFile() { ASSERT_TRUE(wxRemoveFile(CRegistry::UserFileName())); }
};

// A value of the key's type that differs from its read default.
wxString NonDefault(const Key& k, size_t index)
{
    switch (k.type) {
    case Bool: return wxString(k.readDefault) == "1" ? "0" : "1";
    case Int: return wxString::Format("%d", int(100 + index));
    case Double: return wxString::Format("-%d.5", int(index));
    case Text: return "/dev/ttyS9";
    }
    return wxString();
}

} // namespace

TEST_F(DownloadPreferencesTest, KeysTypesReadDefaultsAndWizardDefaults)
{
    std::set<wxString> keys;
    for (const Key& k : kKeys)
        keys.insert(k.key);
    ASSERT_EQ(keys.size(), sizeof(kKeys) / sizeof(kKeys[0]));

    // Nothing stored: the record holds the read defaults and writes every key.
    DLPrefs fresh;
    fresh.WriteRegistry();
    auto written = AllEntries();
    std::set<wxString> writtenKeys;
    for (const auto& [key, value] : written)
        writtenKeys.insert(key);
    EXPECT_EQ(writtenKeys, keys);
    for (const Key& k : kKeys) {
        SCOPED_TRACE(k.key);
        EXPECT_EQ(written[k.key], wxString(k.readDefault));
    }

    // Every key stored with another value: the wizard defaults replace the
    // values they name and keep the others.
    std::map<wxString, wxString> seeded;
    for (size_t i = 0; i < keys.size(); ++i)
        seeded[kKeys[i].key] = NonDefault(kKeys[i], i);
    Seed(seeded);
    DLPrefs prefs;
    prefs.SetDefaults();
    prefs.WriteRegistry();
    written = AllEntries();
    for (const Key& k : kKeys) {
        SCOPED_TRACE(k.key);
        EXPECT_EQ(written[k.key], k.wizardDefault ? wxString(k.wizardDefault) : seeded[k.key]);
    }
}

TEST_F(DownloadPreferencesTest, WizardDefaultsTurnOnSixteenModelFlags)
{
    DLPrefs prefs;
    prefs.SetDefaults();
    prefs.WriteRegistry();
    int on = 0;
    for (const auto& [key, value] : AllEntries())
        if (key.StartsWith("WizPrefs/") && value == "1")
            ++on;
    EXPECT_EQ(on, 16);
}

// Runs again under a comma-decimal locale.
TEST_F(DownloadPreferencesTest, RoundTripThroughTheFileLocale)
{
    const char* all = std::getenv("LC_ALL");
    if (all && wxString(all).StartsWith("de_DE")) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }

    const size_t count = sizeof(kKeys) / sizeof(kKeys[0]);
    // Eight passes, each setting the flags from one bit of the key's index:
    // any two keys sharing a field, or a key read into the wrong field,
    // shows up in one of them.
    for (int bit = 0; bit < 8; ++bit) {
        SCOPED_TRACE(bit);
        std::map<wxString, wxString> seeded;
        std::map<wxString, wxString> expected;
        for (size_t i = 0; i < count; ++i) {
            const Key& k = kKeys[i];
            const bool on = (i >> bit) & 1;
            switch (k.type) {
            case Bool:
                seeded[k.key] = expected[k.key] = on ? "1" : "0";
                break;
            case Int:
                seeded[k.key] = expected[k.key] = wxString::Format("%d", int(i * 8 + bit) * (on ? -1 : 1));
                break;
            case Double:
                // Stored with six significant digits, '.' whatever the locale.
                seeded[k.key] = wxString::Format("%s%d.32345", on ? "-" : "", int(100 + i));
                expected[k.key] = wxString::Format("%s%d.323", on ? "-" : "", int(100 + i));
                break;
            case Text:
                seeded[k.key] = expected[k.key] = wxString::Format("COM%d ;#$HOME", bit);
                break;
            }
        }
        Seed(seeded);
        DLPrefs prefs;
        RemoveUserFile();
        prefs.WriteRegistry();
        auto written = AllEntries();
        for (const Key& k : kKeys) {
            SCOPED_TRACE(k.key);
            EXPECT_EQ(written[k.key], expected[k.key]);
        }
    }

    // In memory, doubles come back rounded the same way.
    DLPrefs prefs;
    prefs.HomeLocation_ManualLon = -122.32345;
    prefs.HomeLocation_ManualLat = 47.40192;
    prefs.GPS_Port = "/dev/ttyUSB0";
    prefs.WriteRegistry();
    DLPrefs back;
    EXPECT_DOUBLE_EQ(back.HomeLocation_ManualLon, -122.323);
    EXPECT_DOUBLE_EQ(back.HomeLocation_ManualLat, 47.4019);
    EXPECT_EQ(back.GPS_Port, "/dev/ttyUSB0");
    EXPECT_EQ(RawRead("HomeLocation/ManualLat"), "47.4019");
}

TEST_F(DownloadPreferencesTest, UnparsableValuesReadAsTheirDefaults)
{
    const struct {
        const char* key;
        const char* stored;
        const char* readBack;
    } cases[] = {
        {"GPS/Baud", "fast", "0"},
        {"HomeLocation/ContentBox", "15x", "20"},
        {"HomeLocation/Source", "", "1"},
        {"GPS/TimeOutSecs", "99999999999", "1"},
        {"HomeLocation/GPSLat", "north", "-1"},
        {"HomeLocation/ManualLat", "47,5", "0"},
        {"Satellite/CityLon", "nan", "0"},
        {"HomeLocation/CityLat", "1e999", "-1"},
        {"GRIB/Wind", "x", "0"},
        {"HomeLocation/UseLastGPS", "maybe", "1"},
        {"GPS/GGA", "", "1"},
    };
    std::map<wxString, wxString> seeded;
    for (const auto& c : cases)
        seeded[c.key] = c.stored;
    Seed(seeded);
    DLPrefs prefs;
    RemoveUserFile();
    prefs.WriteRegistry();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(RawRead(c.key), wxString(c.readBack));
    }
}
