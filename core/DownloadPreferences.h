// The download preferences: the content choices, home location, GPS
// receiver settings and content preferences recorded by the content wizard,
// one field per key of the user settings file (groups GRIB, WxChart,
// WxForecast, Satellite, OceanData, FishingData, HomeLocation, GPS and
// WizPrefs). Each field is named after its key: group, underscore, name
// (`WizPrefs/GRIB_Wind_Continent,` is WizPrefs_GRIB_Wind_Continent).
//
// The constructor reads every key; WriteRegistry stores them all at once
// (the last writer wins); SetDefaults puts the wizard's starting values into
// the fields without writing. The file is used under the settings lock
// (CRegistry::ConfigLock), so a record may be read or written from any
// thread, but the fields themselves are not guarded.
#pragma once

#include <wx/string.h>

class DLPrefs
{
public:
    DLPrefs();
    virtual ~DLPrefs();

    void WriteRegistry();
    void SetDefaults();

    // GRIB
    bool GRIB_Wind = false;
    bool GRIB_Waves = false;
    bool GRIB_Swell = false;
    bool GRIB_SurfacePressure = false;
    bool GRIB_Precipitation = false;
    bool GRIB_CloudCover = false;
    bool GRIB_500mb = false;
    bool GRIB_AirTemperature = false;
    bool GRIB_LiftedIndex = false;
    bool GRIB_All = false;
    int GRIB_Days = 0;

    // WxChart
    bool WxChart_SurfaceAnalysis = false;
    bool WxChart_500mb = false;
    bool WxChart_Wind = false;
    bool WxChart_SeaState = false;
    bool WxChart_WindWave = false;
    bool WxChart_CycloneAreas = false;
    bool WxChart_All = false;

    // WxForecast
    bool WxForecast_BuoyWindWave = false;
    bool WxForecast_BuoyMet = false;
    bool WxForecast_Coastal = false;
    bool WxForecast_Offshore = false;
    bool WxForecast_HighSeas = false;
    bool WxForecast_MetArea = false;
    bool WxForecast_Canadian = false;
    bool WxForecast_DalenMorrowBahamas = false;
    bool WxForecast_DalenMorrowCaribbean = false;
    bool WxForecast_All = false;

    // Satellite
    bool Satellite_Infrared = false;
    bool Satellite_Visible = false;
    bool Satellite_WaterVapor = false;
    bool Satellite_WeatherOverImage = false;
    bool Satellite_Radar = false;
    int Satellite_City = 0;
    double Satellite_CityLat = 0.0;
    double Satellite_CityLon = 0.0;
    int Satellite_CityRecID = 0;
    bool Satellite_All = false;

    // OceanData
    bool OceanData_GRIBSurfaceCurrents = false;
    bool OceanData_OceanData_Terrafin = false;
    bool OceanData_NavyChartsGulfStream = false;
    bool OceanData_MarisolVennetGulfStrea = false;
    bool OceanData_Ice = false;
    bool OceanData_PositionReports = false;
    bool OceanData_All = false;
    bool OceanData_Tides = false;

    // FishingData
    bool FishingData_SurfaceTemperature = false;
    bool FishingData_SurfaceHeight = false;
    bool FishingData_HeightAnomalies = false;
    bool FishingData_MixedLayerDepth = false;
    bool FishingData_Salinity = false;
    bool FishingData_Prices = false;
    bool FishingData_Color = false;
    bool FishingData_All = false;

    // HomeLocation
    bool HomeLocation_UseLastGPS = true;
    int HomeLocation_CityIdx = 0;
    int HomeLocation_Source = 1;
    double HomeLocation_ManualLat = 0.0;
    double HomeLocation_ManualLon = 0.0;
    double HomeLocation_GPSLat = -1.0;
    double HomeLocation_GPSLon = -1.0;
    double HomeLocation_CityLat = -1.0;
    double HomeLocation_CityLon = -1.0;
    int HomeLocation_ContentBox = 20;
    int HomeLocation_IconIdx = 0;

    // GPS
    wxString GPS_Port;
    int GPS_Baud = 0;
    int GPS_StopBits = 1;
    int GPS_DataBits = 1;
    int GPS_Parity = 0;
    int GPS_PortIdx = 0;
    int GPS_BaudIdx = 0;
    int GPS_StopBitsIdx = 1;
    int GPS_DataBitsIdx = 1;
    int GPS_ParityIdx = 0;
    bool GPS_GGA = true;
    bool GPS_GLL = true;
    bool GPS_RMC = true;
    int GPS_TimeOutIdx = 1;
    int GPS_TimeOutSecs = 1;
    int GPS_SourceIdx = 1;
    bool GPS_UpdateHome = true;
    bool GPS_PlotHome = true;

    // WizPrefs
    bool WizPrefs_GRIB_Wind_GFS = false;
    bool WizPrefs_GRIB_Wind_NMG = false;
    bool WizPrefs_GRIB_Wind_WW3 = false;
    bool WizPrefs_GRIB_Wind_Med = false;
    bool WizPrefs_GRIB_Wind_Baltic = false;
    bool WizPrefs_GRIB_Wind_Barents = false;
    bool WizPrefs_GRIB_Wind_NorthSea = false;
    bool WizPrefs_GRIB_Wind_Polar = false;
    bool WizPrefs_GRIB_Wind_Continent = false;
    bool WizPrefs_GRIB_Wave_GFS = false;
    bool WizPrefs_GRIB_Wave_NMG = false;
    bool WizPrefs_GRIB_Wave_WW3 = false;
    bool WizPrefs_GRIB_Wave_Med = false;
    bool WizPrefs_GRIB_Wave_Baltic = false;
    bool WizPrefs_GRIB_Wave_Barents = false;
    bool WizPrefs_GRIB_Wave_NorthSea = false;
    bool WizPrefs_GRIB_Wave_Polar = false;
    bool WizPrefs_GRIB_Wave_Continent = false;
    bool WizPrefs_GRIB_SurfacePressure_GFS = false;
    bool WizPrefs_GRIB_SurfacePressure_NMG = false;
    bool WizPrefs_GRIB_SurfacePressure_Polar = false;
    bool WizPrefs_GRIB_SurfacePressure_Continent = false;
    bool WizPrefs_GRIB_500mb_GFS = false;
    bool WizPrefs_GRIB_500mb_NMG = false;
    bool WizPrefs_GRIB_500mb_Polar = false;
    bool WizPrefs_GRIB_500mb_Continent = false;
    bool WizPrefs_GRIB_CloudCover_GFS = false;
    bool WizPrefs_GRIB_CloudCover_NMG = false;
    bool WizPrefs_GRIB_CloudCover_Polar = false;
    bool WizPrefs_GRIB_CloudCover_Continent = false;
    bool WizPrefs_GRIB_Precipitation_GFS = false;
    bool WizPrefs_GRIB_Precipitation_NMG = false;
    bool WizPrefs_GRIB_Precipitation_Polar = false;
    bool WizPrefs_GRIB_Precipitation_Continent = false;
    bool WizPrefs_GRIB_AirTemp_GFS = false;
    bool WizPrefs_GRIB_AirTemp_NMG = false;
    bool WizPrefs_GRIB_AirTemp_Polar = false;
    bool WizPrefs_GRIB_AirTemp_Continent = false;
    bool WizPrefs_OFD_SurfaceCurrents_Terrafin = false;
    bool WizPrefs_OFD_SurfaceCurrents_NOAA = false;
    bool WizPrefs_OFD_SurfaceCurrents_Miami = false;
    bool WizPrefs_OFD_SurfaceCurrents_GLBOCN = false;
    bool WizPrefs_OFD_SurfaceCurrents_GHRSST = false;
    bool WizPrefs_OFD_SurfaceTemp_Terrafin = false;
    bool WizPrefs_OFD_SurfaceTemp_NOAA = false;
    bool WizPrefs_OFD_SurfaceTemp_Miami = false;
    bool WizPrefs_OFD_SurfaceTemp_GLBOCN = false;
    bool WizPrefs_OFD_SurfaceTemp_GHRSST = false;
    bool WizPrefs_OFD_SurfaceHeight_Terrafin = false;
    bool WizPrefs_OFD_SurfaceHeight_NOAA = false;
    bool WizPrefs_OFD_SurfaceHeight_Miami = false;
    bool WizPrefs_OFD_SurfaceHeight_GLBOCN = false;
    bool WizPrefs_OFD_SurfaceHeight_GHRSST = false;
    bool WizPrefs_OFD_MixedLayerDepth_Terrafin = false;
    bool WizPrefs_OFD_MixedLayerDepth_NOAA = false;
    bool WizPrefs_OFD_MixedLayerDepth_Miami = false;
    bool WizPrefs_OFD_MixedLayerDepth_GLBOCN = false;
    bool WizPrefs_OFD_MixedLayerDepth_GHRSST = false;
    bool WizPrefs_OFD_Salinity_Terrafin = false;
    bool WizPrefs_OFD_Salinity_NOAA = false;
    bool WizPrefs_OFD_Salinity_Miami = false;
    bool WizPrefs_OFD_Salinity_GLBOCN = false;
    bool WizPrefs_OFD_Salinity_GHRSST = false;
    bool WizPrefs_IncludeAnimations = false;
    bool WizPrefs_Background = false;
    bool WizPrefs_GRIBRes = false;
};
