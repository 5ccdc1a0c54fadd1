#include "windows/portal/PortalLayout.h"

#include <algorithm>

namespace tw::portal {

// Creation order. Pages: 1 GRIB weather, 2 weather charts, 3 text forecasts,
// 4 satellite imagery, 5 buoys, 6 ocean data, 7 fishing data, 8 home
// location, 9 GPS, 10 content preferences, 11 account settings.
const ButtonRow kButtons[kButtonCount] = {
    {kGribFishingButton, "tool_GribFishing", true, 352, 54, 36, 36, "GRIB Fishing products", 7},
    {kBuoyWeatherButton, "tool_BuoyWeather", true, 405, 54, 36, 36, "Lat/lon specific weather from BuoyWeather", 3},
    {kLaunchWizardButton, "btn_LaunchWizard", false, 50, 57, 181, 30, "Launches Tidewright Wizard", -1},
    {kGribWeatherButton, "tool_GribWeather", true, 298, 54, 36, 36, "GRIB Weather products", 1},
    {kWeatherChartsButton, "tool_WeatherCharts", true, 458, 54, 36, 36, "Classical weather charts", 2},
    {kTextForecastButton, "tool_TextForecast", true, 511, 54, 36, 36, "Text forecasts", 3},
    {kSatelliteImageryButton, "tool_SatelliteImagery", true, 564, 54, 36, 36, "Satellite Imagery", 4},
    {kRadarButton, "tool_Radar", true, 617, 54, 36, 36, "Nexrad radar", 4},
    {kBuoysButton, "tool_Buoys", true, 670, 54, 36, 36, "Buoy reports", 5},
    {kSurfaceCurrentsButton, "tool_SurfaceCurrents", true, 723, 54, 36, 36, "Surface currents and ocean data", 6},
    {kIceButton, "tool_Ice", true, 776, 54, 36, 36, "Ice products", 6},
    {kTerrafinButton, "tool_Terrafin", true, 829, 54, 36, 36, "Terrafin fishing products", 7},
    {kDalenMorrowButton, "tool_DalenMorrow", true, 882, 54, 36, 36, "Dalen Morrow weather forecasts", 3},
    {kMarisolVenetButton, "tool_MarisolVenet", true, 935, 54, 36, 36, "Marisol Venet Gulf Stream", 6},
    {kHomeButton, "tool_Home", true, 25, 621, 36, 36, "Home Location settings", 8},
    {kPreferencesButton, "tool_Preferences", true, 64, 621, 36, 36, "GRIB model and data preferences", 10},
    {kGatewayButton, "tool_Gateway", true, 103, 621, 36, 36, "Tidewright account control settings", 11},
    {kGpsButton, "tool_GPS", true, 142, 621, 36, 36, "GPS settings", 9},
    {kBasicModeButton, "btn_BasicMode", false, 25, 661, 100, 25, "Launches the Tidewright Basic mode", -1},
    {kLibraryModeButton, "btn_LibraryMode", false, 156, 661, 100, 25, "Launches the Tidewright Library mode", -1},
    {kDownloadButton, "btn_Download", false, 50, 560, 181, 57, "Loads File Transfer module to retrieve content", -1},
    {kRefreshListButton, "btn_RefreshList", false, 50, 515, 181, 30,
     "Updates your weather content suggestions using new location or preferences", -1},
    {kZoomInButton, "btn_ZoomIn", false, 294, 632, 22, 24, "Zoom in on content map", -1},
    {kZoomOutButton, "btn_ZoomOut", false, 294, 656, 22, 29, "Zoom out on content map", -1},
    {kRecenterReloadButton, "btn_RecenterReload", false, 326, 632, 180, 46,
     "Repositions the map around your home location", -1},
    {kChangeMapButton, "btn_ChangeMap", false, 829, 631, 149, 46, "Changes map center from Atlantic to Pacific", -1},
    {kDataManageButton, "tool_DataManage", true, 181, 621, 36, 36, "Data management preferences", -1},
    {kHelpButton, "tool_Help", true, 220, 621, 36, 36, "Launch the Help Window", -1},
    {kUpdateFileListButton, "btn_UpdateFileList", false, 128, 661, 25, 25,
     "Update File List: click to update the Tidewright master content library", -1},
};

const ButtonRow* FindButton(int id)
{
    for (const ButtonRow& b : kButtons)
        if (b.id == id)
            return &b;
    return nullptr;
}

std::string NormalFace(const ButtonRow& button)
{
    return std::string("res/") + button.stem + ".png";
}

std::string PressedFace(const ButtonRow& button)
{
    return button.pressedFace ? std::string("res/") + button.stem + "_select.png" : std::string();
}

std::string HoverFace(const ButtonRow& button)
{
    return std::string("res/") + button.stem + "_over.png";
}

std::vector<std::string> FaceFiles(const ButtonRow& button)
{
    std::vector<std::string> faces {NormalFace(button)};
    if (button.pressedFace)
        faces.push_back(PressedFace(button));
    faces.push_back(HoverFace(button));
    return faces;
}

const std::vector<std::string>& AllFaceFiles()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> names;
        for (const ButtonRow& b : kButtons)
            for (std::string& face : FaceFiles(b))
                names.push_back(std::move(face));
        return names;
    }();
    return all;
}

bool IsFaceFile(const std::string& name)
{
    const std::vector<std::string>& all = AllFaceFiles();
    return std::find(all.begin(), all.end(), name) != all.end();
}

} // namespace tw::portal
