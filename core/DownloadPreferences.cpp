#include "core/DownloadPreferences.h"

#include <cstddef>
#include <cstring>

#include "core/Registry.h"

namespace {

enum class Kind { Bool, Int, Double, Text };

// Where a key's value lives in the record, and its default when the key is
// absent or its value cannot be parsed.
struct Member {
    Kind kind;
    bool DLPrefs::*b;
    int DLPrefs::*i;
    double DLPrefs::*d;
    wxString DLPrefs::*s;
    double readDefault;
};

constexpr Member Bool(bool DLPrefs::*m, bool def) { return {Kind::Bool, m, nullptr, nullptr, nullptr, def ? 1.0 : 0.0}; }
constexpr Member Int(int DLPrefs::*m, int def) { return {Kind::Int, nullptr, m, nullptr, nullptr, double(def)}; }
constexpr Member Double(double DLPrefs::*m, double def) { return {Kind::Double, nullptr, nullptr, m, nullptr, def}; }
constexpr Member Text(wxString DLPrefs::*m, const char*) { return {Kind::Text, nullptr, nullptr, nullptr, m, 0.0}; }

// The value SetDefaults puts into the field, or none.
struct Wizard {
    bool set;
    double value;
};
constexpr Wizard Set(double value) { return {true, value}; }
constexpr Wizard Unchanged() { return {false, 0.0}; }

struct Entry {
    const char* key;
    Member member;
    Wizard wizard;
};

// Every key in the order it is read. Writing follows the same order except
// that OceanData/Tides is written right after OceanData/MarisolVennetGulfStrea.
const Entry kEntries[] = {
    {"GRIB/Wind", Bool(&DLPrefs::GRIB_Wind, false), Set(false)},
    {"GRIB/Waves", Bool(&DLPrefs::GRIB_Waves, false), Set(false)},
    {"GRIB/Swell", Bool(&DLPrefs::GRIB_Swell, false), Set(false)},
    {"GRIB/SurfacePressure", Bool(&DLPrefs::GRIB_SurfacePressure, false), Set(false)},
    {"GRIB/Precipitation", Bool(&DLPrefs::GRIB_Precipitation, false), Set(false)},
    {"GRIB/CloudCover", Bool(&DLPrefs::GRIB_CloudCover, false), Set(false)},
    {"GRIB/500mb", Bool(&DLPrefs::GRIB_500mb, false), Set(false)},
    {"GRIB/AirTemperature", Bool(&DLPrefs::GRIB_AirTemperature, false), Set(false)},
    {"GRIB/LiftedIndex", Bool(&DLPrefs::GRIB_LiftedIndex, false), Set(false)},
    {"GRIB/All", Bool(&DLPrefs::GRIB_All, false), Set(false)},
    {"GRIB/Days", Int(&DLPrefs::GRIB_Days, 0), Set(0)},
    {"WxChart/SurfaceAnalysis", Bool(&DLPrefs::WxChart_SurfaceAnalysis, false), Set(false)},
    {"WxChart/500mb", Bool(&DLPrefs::WxChart_500mb, false), Set(false)},
    {"WxChart/Wind", Bool(&DLPrefs::WxChart_Wind, false), Set(false)},
    {"WxChart/SeaState", Bool(&DLPrefs::WxChart_SeaState, false), Set(false)},
    {"WxChart/WindWave", Bool(&DLPrefs::WxChart_WindWave, false), Set(false)},
    {"WxChart/CycloneAreas", Bool(&DLPrefs::WxChart_CycloneAreas, false), Set(false)},
    {"WxChart/All", Bool(&DLPrefs::WxChart_All, false), Set(false)},
    {"WxForecast/BuoyWindWave", Bool(&DLPrefs::WxForecast_BuoyWindWave, false), Set(false)},
    {"WxForecast/BuoyMet", Bool(&DLPrefs::WxForecast_BuoyMet, false), Set(false)},
    {"WxForecast/Coastal", Bool(&DLPrefs::WxForecast_Coastal, false), Set(false)},
    {"WxForecast/Offshore", Bool(&DLPrefs::WxForecast_Offshore, false), Set(false)},
    {"WxForecast/HighSeas", Bool(&DLPrefs::WxForecast_HighSeas, false), Set(false)},
    {"WxForecast/MetArea", Bool(&DLPrefs::WxForecast_MetArea, false), Set(false)},
    {"WxForecast/Canadian", Bool(&DLPrefs::WxForecast_Canadian, false), Set(false)},
    {"WxForecast/DalenMorrowBahamas", Bool(&DLPrefs::WxForecast_DalenMorrowBahamas, false), Set(false)},
    {"WxForecast/DalenMorrowCaribbean", Bool(&DLPrefs::WxForecast_DalenMorrowCaribbean, false), Set(false)},
    {"WxForecast/All", Bool(&DLPrefs::WxForecast_All, false), Set(false)},
    {"Satellite/Infrared", Bool(&DLPrefs::Satellite_Infrared, false), Set(false)},
    {"Satellite/Visible", Bool(&DLPrefs::Satellite_Visible, false), Set(false)},
    {"Satellite/WaterVapor", Bool(&DLPrefs::Satellite_WaterVapor, false), Set(false)},
    {"Satellite/WeatherOverImage", Bool(&DLPrefs::Satellite_WeatherOverImage, false), Set(false)},
    {"Satellite/Radar", Bool(&DLPrefs::Satellite_Radar, false), Set(false)},
    {"Satellite/City", Int(&DLPrefs::Satellite_City, 0), Set(0)},
    {"Satellite/CityLat", Double(&DLPrefs::Satellite_CityLat, 0.0), Set(0.0)},
    {"Satellite/CityLon", Double(&DLPrefs::Satellite_CityLon, 0.0), Set(0.0)},
    {"Satellite/CityRecID", Int(&DLPrefs::Satellite_CityRecID, 0), Unchanged()},
    {"Satellite/All", Bool(&DLPrefs::Satellite_All, false), Set(false)},
    {"OceanData/GRIBSurfaceCurrents", Bool(&DLPrefs::OceanData_GRIBSurfaceCurrents, false), Set(false)},
    {"OceanData/OceanData_Terrafin", Bool(&DLPrefs::OceanData_OceanData_Terrafin, false), Set(false)},
    {"OceanData/NavyChartsGulfStream", Bool(&DLPrefs::OceanData_NavyChartsGulfStream, false), Set(false)},
    {"OceanData/MarisolVennetGulfStrea", Bool(&DLPrefs::OceanData_MarisolVennetGulfStrea, false), Set(false)},
    {"OceanData/Ice", Bool(&DLPrefs::OceanData_Ice, false), Set(false)},
    {"OceanData/PositionReports", Bool(&DLPrefs::OceanData_PositionReports, false), Set(false)},
    {"OceanData/Tides", Bool(&DLPrefs::OceanData_Tides, false), Set(false)},
    {"OceanData/All", Bool(&DLPrefs::OceanData_All, false), Set(false)},
    {"FishingData/SurfaceTemperature", Bool(&DLPrefs::FishingData_SurfaceTemperature, false), Set(false)},
    {"FishingData/SurfaceHeight", Bool(&DLPrefs::FishingData_SurfaceHeight, false), Set(false)},
    {"FishingData/HeightAnomalies", Bool(&DLPrefs::FishingData_HeightAnomalies, false), Set(false)},
    {"FishingData/MixedLayerDepth", Bool(&DLPrefs::FishingData_MixedLayerDepth, false), Set(false)},
    {"FishingData/Salinity", Bool(&DLPrefs::FishingData_Salinity, false), Set(false)},
    {"FishingData/Prices", Bool(&DLPrefs::FishingData_Prices, false), Set(false)},
    {"FishingData/Color", Bool(&DLPrefs::FishingData_Color, false), Set(false)},
    {"FishingData/All", Bool(&DLPrefs::FishingData_All, false), Set(false)},
    {"HomeLocation/UseLastGPS", Bool(&DLPrefs::HomeLocation_UseLastGPS, true), Unchanged()},
    {"HomeLocation/CityIdx", Int(&DLPrefs::HomeLocation_CityIdx, 0), Set(766)},
    {"HomeLocation/Source", Int(&DLPrefs::HomeLocation_Source, 1), Unchanged()},
    {"HomeLocation/ManualLat", Double(&DLPrefs::HomeLocation_ManualLat, 0.0), Unchanged()},
    {"HomeLocation/ManualLon", Double(&DLPrefs::HomeLocation_ManualLon, 0.0), Unchanged()},
    {"HomeLocation/GPSLat", Double(&DLPrefs::HomeLocation_GPSLat, -1.0), Unchanged()},
    {"HomeLocation/GPSLon", Double(&DLPrefs::HomeLocation_GPSLon, -1.0), Unchanged()},
    {"HomeLocation/CityLat", Double(&DLPrefs::HomeLocation_CityLat, -1.0), Unchanged()},
    {"HomeLocation/CityLon", Double(&DLPrefs::HomeLocation_CityLon, -1.0), Unchanged()},
    {"HomeLocation/ContentBox", Int(&DLPrefs::HomeLocation_ContentBox, 20), Set(15)},
    {"HomeLocation/IconIdx", Int(&DLPrefs::HomeLocation_IconIdx, 0), Set(0)},
    {"GPS/Port", Text(&DLPrefs::GPS_Port, ""), Unchanged()},
    {"GPS/Baud", Int(&DLPrefs::GPS_Baud, 0), Set(4800)},
    {"GPS/StopBits", Int(&DLPrefs::GPS_StopBits, 1), Unchanged()},
    {"GPS/DataBits", Int(&DLPrefs::GPS_DataBits, 1), Unchanged()},
    {"GPS/Parity", Int(&DLPrefs::GPS_Parity, 0), Unchanged()},
    {"GPS/PortIdx", Int(&DLPrefs::GPS_PortIdx, 0), Unchanged()},
    {"GPS/BaudIdx", Int(&DLPrefs::GPS_BaudIdx, 0), Set(1)},
    {"GPS/StopBitsIdx", Int(&DLPrefs::GPS_StopBitsIdx, 1), Unchanged()},
    {"GPS/DataBitsIdx", Int(&DLPrefs::GPS_DataBitsIdx, 1), Unchanged()},
    {"GPS/ParityIdx", Int(&DLPrefs::GPS_ParityIdx, 0), Unchanged()},
    {"GPS/GGA", Bool(&DLPrefs::GPS_GGA, true), Unchanged()},
    {"GPS/GLL", Bool(&DLPrefs::GPS_GLL, true), Unchanged()},
    {"GPS/RMC", Bool(&DLPrefs::GPS_RMC, true), Unchanged()},
    {"GPS/TimeOutIdx", Int(&DLPrefs::GPS_TimeOutIdx, 1), Unchanged()},
    {"GPS/TimeOutSecs", Int(&DLPrefs::GPS_TimeOutSecs, 1), Unchanged()},
    {"GPS/SourceIdx", Int(&DLPrefs::GPS_SourceIdx, 1), Set(0)},
    {"GPS/UpdateHome", Bool(&DLPrefs::GPS_UpdateHome, true), Unchanged()},
    {"GPS/PlotHome", Bool(&DLPrefs::GPS_PlotHome, true), Unchanged()},
    {"WizPrefs/GRIB_Wind_GFS", Bool(&DLPrefs::WizPrefs_GRIB_Wind_GFS, false), Set(true)},
    {"WizPrefs/GRIB_Wind_NMG", Bool(&DLPrefs::WizPrefs_GRIB_Wind_NMG, false), Set(false)},
    {"WizPrefs/GRIB_Wind_WW3", Bool(&DLPrefs::WizPrefs_GRIB_Wind_WW3, false), Set(true)},
    {"WizPrefs/GRIB_Wind_Med", Bool(&DLPrefs::WizPrefs_GRIB_Wind_Med, false), Set(false)},
    {"WizPrefs/GRIB_Wind_Baltic", Bool(&DLPrefs::WizPrefs_GRIB_Wind_Baltic, false), Set(false)},
    {"WizPrefs/GRIB_Wind_Barents", Bool(&DLPrefs::WizPrefs_GRIB_Wind_Barents, false), Set(false)},
    {"WizPrefs/GRIB_Wind_NorthSea", Bool(&DLPrefs::WizPrefs_GRIB_Wind_NorthSea, false), Set(false)},
    {"WizPrefs/GRIB_Wind_Polar", Bool(&DLPrefs::WizPrefs_GRIB_Wind_Polar, false), Set(false)},
    {"WizPrefs/GRIB_Wind_Continent,", Bool(&DLPrefs::WizPrefs_GRIB_Wind_Continent, false), Set(false)},
    {"WizPrefs/GRIB_Wave_GFS", Bool(&DLPrefs::WizPrefs_GRIB_Wave_GFS, false), Set(false)},
    {"WizPrefs/GRIB_Wave_NMG", Bool(&DLPrefs::WizPrefs_GRIB_Wave_NMG, false), Set(false)},
    {"WizPrefs/GRIB_Wave_WW3", Bool(&DLPrefs::WizPrefs_GRIB_Wave_WW3, false), Set(true)},
    {"WizPrefs/GRIB_Wave_Med", Bool(&DLPrefs::WizPrefs_GRIB_Wave_Med, false), Set(false)},
    {"WizPrefs/GRIB_Wave_Baltic", Bool(&DLPrefs::WizPrefs_GRIB_Wave_Baltic, false), Set(false)},
    {"WizPrefs/GRIB_Wave_Barents", Bool(&DLPrefs::WizPrefs_GRIB_Wave_Barents, false), Set(false)},
    {"WizPrefs/GRIB_Wave_NorthSea", Bool(&DLPrefs::WizPrefs_GRIB_Wave_NorthSea, false), Set(false)},
    {"WizPrefs/GRIB_Wave_Polar", Bool(&DLPrefs::WizPrefs_GRIB_Wave_Polar, false), Set(false)},
    {"WizPrefs/GRIB_Wave_Continent", Bool(&DLPrefs::WizPrefs_GRIB_Wave_Continent, false), Set(false)},
    {"WizPrefs/GRIB_SurfacePressure_GFS", Bool(&DLPrefs::WizPrefs_GRIB_SurfacePressure_GFS, false), Set(true)},
    {"WizPrefs/GRIB_SurfacePressure_NMG", Bool(&DLPrefs::WizPrefs_GRIB_SurfacePressure_NMG, false), Set(false)},
    {"WizPrefs/GRIB_SurfacePressure_Polar", Bool(&DLPrefs::WizPrefs_GRIB_SurfacePressure_Polar, false), Set(false)},
    {"WizPrefs/GRIB_SurfacePressure_Continent", Bool(&DLPrefs::WizPrefs_GRIB_SurfacePressure_Continent, false), Set(false)},
    {"WizPrefs/GRIB_500mb_GFS", Bool(&DLPrefs::WizPrefs_GRIB_500mb_GFS, false), Set(true)},
    {"WizPrefs/GRIB_500mb_NMG", Bool(&DLPrefs::WizPrefs_GRIB_500mb_NMG, false), Set(false)},
    {"WizPrefs/GRIB_500mb_Polar", Bool(&DLPrefs::WizPrefs_GRIB_500mb_Polar, false), Set(false)},
    {"WizPrefs/GRIB_500mb_Continent", Bool(&DLPrefs::WizPrefs_GRIB_500mb_Continent, false), Set(false)},
    {"WizPrefs/GRIB_CloudCover_GFS", Bool(&DLPrefs::WizPrefs_GRIB_CloudCover_GFS, false), Set(true)},
    {"WizPrefs/GRIB_CloudCover_NMG", Bool(&DLPrefs::WizPrefs_GRIB_CloudCover_NMG, false), Set(false)},
    {"WizPrefs/GRIB_CloudCover_Polar", Bool(&DLPrefs::WizPrefs_GRIB_CloudCover_Polar, false), Set(false)},
    {"WizPrefs/GRIB_CloudCover_Continent", Bool(&DLPrefs::WizPrefs_GRIB_CloudCover_Continent, false), Set(false)},
    {"WizPrefs/GRIB_Precipitation_GFS", Bool(&DLPrefs::WizPrefs_GRIB_Precipitation_GFS, false), Set(true)},
    {"WizPrefs/GRIB_Precipitation_NMG", Bool(&DLPrefs::WizPrefs_GRIB_Precipitation_NMG, false), Set(false)},
    {"WizPrefs/GRIB_Precipitation_Polar", Bool(&DLPrefs::WizPrefs_GRIB_Precipitation_Polar, false), Set(false)},
    {"WizPrefs/GRIB_Precipitation_Continent", Bool(&DLPrefs::WizPrefs_GRIB_Precipitation_Continent, false), Set(false)},
    {"WizPrefs/GRIB_AirTemp_GFS", Bool(&DLPrefs::WizPrefs_GRIB_AirTemp_GFS, false), Set(true)},
    {"WizPrefs/GRIB_AirTemp_NMG", Bool(&DLPrefs::WizPrefs_GRIB_AirTemp_NMG, false), Set(false)},
    {"WizPrefs/GRIB_AirTemp_Polar", Bool(&DLPrefs::WizPrefs_GRIB_AirTemp_Polar, false), Set(false)},
    {"WizPrefs/GRIB_AirTemp_Continent", Bool(&DLPrefs::WizPrefs_GRIB_AirTemp_Continent, false), Set(false)},
    {"WizPrefs/OFD_SurfaceCurrents_Terrafin", Bool(&DLPrefs::WizPrefs_OFD_SurfaceCurrents_Terrafin, false), Set(false)},
    {"WizPrefs/OFD_SurfaceCurrents_NOAA", Bool(&DLPrefs::WizPrefs_OFD_SurfaceCurrents_NOAA, false), Set(false)},
    {"WizPrefs/OFD_SurfaceCurrents_Miami", Bool(&DLPrefs::WizPrefs_OFD_SurfaceCurrents_Miami, false), Set(true)},
    {"WizPrefs/OFD_SurfaceCurrents_GLBOCN", Bool(&DLPrefs::WizPrefs_OFD_SurfaceCurrents_GLBOCN, false), Set(true)},
    {"WizPrefs/OFD_SurfaceCurrents_GHRSST", Bool(&DLPrefs::WizPrefs_OFD_SurfaceCurrents_GHRSST, false), Set(false)},
    {"WizPrefs/OFD_SurfaceTemp_Terrafin", Bool(&DLPrefs::WizPrefs_OFD_SurfaceTemp_Terrafin, false), Set(false)},
    {"WizPrefs/OFD_SurfaceTemp_NOAA", Bool(&DLPrefs::WizPrefs_OFD_SurfaceTemp_NOAA, false), Set(false)},
    {"WizPrefs/OFD_SurfaceTemp_Miami", Bool(&DLPrefs::WizPrefs_OFD_SurfaceTemp_Miami, false), Set(true)},
    {"WizPrefs/OFD_SurfaceTemp_GLBOCN", Bool(&DLPrefs::WizPrefs_OFD_SurfaceTemp_GLBOCN, false), Set(true)},
    {"WizPrefs/OFD_SurfaceTemp_GHRSST", Bool(&DLPrefs::WizPrefs_OFD_SurfaceTemp_GHRSST, false), Set(false)},
    {"WizPrefs/OFD_SurfaceHeight_Terrafin", Bool(&DLPrefs::WizPrefs_OFD_SurfaceHeight_Terrafin, false), Set(false)},
    {"WizPrefs/OFD_SurfaceHeight_NOAA", Bool(&DLPrefs::WizPrefs_OFD_SurfaceHeight_NOAA, false), Set(false)},
    {"WizPrefs/OFD_SurfaceHeight_Miami", Bool(&DLPrefs::WizPrefs_OFD_SurfaceHeight_Miami, false), Set(true)},
    {"WizPrefs/OFD_SurfaceHeight_GLBOCN", Bool(&DLPrefs::WizPrefs_OFD_SurfaceHeight_GLBOCN, false), Set(true)},
    {"WizPrefs/OFD_SurfaceHeight_GHRSST", Bool(&DLPrefs::WizPrefs_OFD_SurfaceHeight_GHRSST, false), Set(false)},
    {"WizPrefs/OFD_MixedLayerDepth_Terrafin", Bool(&DLPrefs::WizPrefs_OFD_MixedLayerDepth_Terrafin, false), Set(false)},
    {"WizPrefs/OFD_MixedLayerDepth_NOAA", Bool(&DLPrefs::WizPrefs_OFD_MixedLayerDepth_NOAA, false), Set(true)},
    {"WizPrefs/OFD_MixedLayerDepth_Miami", Bool(&DLPrefs::WizPrefs_OFD_MixedLayerDepth_Miami, false), Set(false)},
    {"WizPrefs/OFD_MixedLayerDepth_GLBOCN", Bool(&DLPrefs::WizPrefs_OFD_MixedLayerDepth_GLBOCN, false), Set(false)},
    {"WizPrefs/OFD_MixedLayerDepth_GHRSST", Bool(&DLPrefs::WizPrefs_OFD_MixedLayerDepth_GHRSST, false), Set(false)},
    {"WizPrefs/OFD_Salinity_Terrafin", Bool(&DLPrefs::WizPrefs_OFD_Salinity_Terrafin, false), Set(false)},
    {"WizPrefs/OFD_Salinity_NOAA", Bool(&DLPrefs::WizPrefs_OFD_Salinity_NOAA, false), Set(false)},
    {"WizPrefs/OFD_Salinity_Miami", Bool(&DLPrefs::WizPrefs_OFD_Salinity_Miami, false), Set(true)},
    {"WizPrefs/OFD_Salinity_GLBOCN", Bool(&DLPrefs::WizPrefs_OFD_Salinity_GLBOCN, false), Set(false)},
    {"WizPrefs/OFD_Salinity_GHRSST", Bool(&DLPrefs::WizPrefs_OFD_Salinity_GHRSST, false), Set(false)},
    {"WizPrefs/IncludeAnimations", Bool(&DLPrefs::WizPrefs_IncludeAnimations, false), Set(false)},
    {"WizPrefs/Background", Bool(&DLPrefs::WizPrefs_Background, false), Set(false)},
    {"WizPrefs/GRIBRes", Bool(&DLPrefs::WizPrefs_GRIBRes, false), Set(false)},
};

constexpr size_t kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);
static_assert(kEntryCount == 149, "one entry per download-preference key");

void ReadEntry(DLPrefs& prefs, const CUserConfig& file, const Entry& e)
{
    const Member& m = e.member;
    switch (m.kind) {
    case Kind::Bool: prefs.*m.b = file.ReadBool(e.key, m.readDefault != 0.0); break;
    case Kind::Int: prefs.*m.i = file.ReadInt(e.key, static_cast<int>(m.readDefault)); break;
    case Kind::Double: prefs.*m.d = file.ReadDouble(e.key, m.readDefault); break;
    case Kind::Text: prefs.*m.s = file.ReadText(e.key, wxString()); break;
    }
}

void WriteEntry(const DLPrefs& prefs, CUserConfig& file, const Entry& e)
{
    const Member& m = e.member;
    switch (m.kind) {
    case Kind::Bool: file.WriteBool(e.key, prefs.*m.b); break;
    case Kind::Int: file.WriteInt(e.key, prefs.*m.i); break;
    case Kind::Double: file.WriteDouble(e.key, prefs.*m.d); break;
    case Kind::Text: file.WriteText(e.key, prefs.*m.s); break;
    }
}

bool IsKey(const Entry& e, const char* key)
{
    return std::strcmp(e.key, key) == 0;
}

const Entry* FindEntry(const char* key)
{
    for (const Entry& e : kEntries)
        if (IsKey(e, key))
            return &e;
    return nullptr;
}

} // namespace

DLPrefs::DLPrefs()
{
    CUserConfig file;
    for (const Entry& e : kEntries)
        ReadEntry(*this, file, e);
}

DLPrefs::~DLPrefs() = default;

void DLPrefs::WriteRegistry()
{
    const Entry* tides = FindEntry("OceanData/Tides");
    CUserConfig file;
    for (const Entry& e : kEntries) {
        if (&e == tides)
            continue;
        WriteEntry(*this, file, e);
        if (tides && IsKey(e, "OceanData/MarisolVennetGulfStrea"))
            WriteEntry(*this, file, *tides);
    }
}

void DLPrefs::SetDefaults()
{
    for (const Entry& e : kEntries) {
        if (!e.wizard.set)
            continue;
        const Member& m = e.member;
        switch (m.kind) {
        case Kind::Bool: this->*m.b = e.wizard.value != 0.0; break;
        case Kind::Int: this->*m.i = static_cast<int>(e.wizard.value); break;
        case Kind::Double: this->*m.d = e.wizard.value; break;
        case Kind::Text: break;
        }
    }
}
