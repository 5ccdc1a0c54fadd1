// The Portal window's fixed layout: every picture button with its id, picture
// stem, faces, place, size, tooltip and the wizard page it opens, and the
// places of the other controls. Plain data, so it can be checked without a
// window; the window builds itself from it.
#pragma once

#include <string>
#include <vector>

namespace tw::portal {

// The client area the layout is drawn for (the background picture's size).
constexpr int kClientWidth = 1000;
constexpr int kClientHeight = 726;

// A picture button. Its faces are "res/" + stem + ".png" (normal),
// "res/" + stem + "_over.png" (pointer over it) and, when `pressedFace` is
// set, "res/" + stem + "_select.png" (held down).
struct ButtonRow {
    int id;
    const char* stem;
    bool pressedFace;
    int x, y, width, height;
    const char* tooltip;
    int wizardPage;   // the content wizard page the button opens; -1 for none
};

constexpr int kButtonCount = 29;
extern const ButtonRow kButtons[kButtonCount];

// Ids of the picture buttons that the window's handlers name.
enum ButtonId {
    kDataManageButton = 10091,
    kHelpButton = 10098,
    kUpdateFileListButton = 10083,
    kWeatherChartsButton = 10354,
    kGribWeatherButton = 10355,
    kLaunchWizardButton = 10356,
    kBasicModeButton = 10357,
    kGribFishingButton = 10358,
    kBuoyWeatherButton = 10359,
    kTextForecastButton = 10361,
    kSatelliteImageryButton = 10362,
    kRadarButton = 10367,
    kBuoysButton = 10385,
    kSurfaceCurrentsButton = 10416,
    kIceButton = 10417,
    kTerrafinButton = 10418,
    kDalenMorrowButton = 10421,
    kHomeButton = 10422,
    kMarisolVenetButton = 10423,
    kPreferencesButton = 10424,
    kZoomInButton = 10425,
    kGatewayButton = 10426,
    kGpsButton = 10427,
    kLibraryModeButton = 10428,
    kDownloadButton = 10429,
    kRefreshListButton = 10430,
    kZoomOutButton = 10431,
    kRecenterReloadButton = 10432,
    kChangeMapButton = 10433
};

// The other controls.
struct Box {
    int x, y, width, height;
};
constexpr int kMapHolderId = 10360;
constexpr Box kMapHolder {281, 102, 708, 510};
constexpr int kCheckTreeId = 10252;
constexpr Box kCheckTree {11, 102, 258, 401};
constexpr int kCoordsLabelX = 680;
constexpr int kCoordsLabelY = 651;

// The row of a button id, or null.
const ButtonRow* FindButton(int id);

// The face files of one button, normal first, then pressed (when it has
// one), then hover.
std::vector<std::string> FaceFiles(const ButtonRow& button);
std::string NormalFace(const ButtonRow& button);
std::string PressedFace(const ButtonRow& button);   // empty without a pressed face
std::string HoverFace(const ButtonRow& button);
// Every face file of the table, in table order (77 names).
const std::vector<std::string>& AllFaceFiles();
bool IsFaceFile(const std::string& name);

// Whether a window of the given full height must be placed near the top of a
// display of the given height instead of centred on it.
inline bool PlaceNearTop(int displayHeight, int windowHeight)
{
    return displayHeight - 100 < windowHeight;
}

} // namespace tw::portal
