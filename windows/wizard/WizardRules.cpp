#include "windows/wizard/WizardRules.h"

#include <algorithm>
#include <cmath>

#include "core/Numbers.h"
#include "core/PositionText.h"

namespace tw::wizard {

// ---------------------------------------------------------------- pages

namespace {

// The wizard page number at each place of the chain.
constexpr int kChain[kChainLength] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 8, 9, 11};

} // namespace

int PageNumberAtPlace(int place)
{
    return place >= 0 && place < kChainLength ? kChain[place] : 0;
}

int PlaceOfPageNumber(int pageNumber)
{
    if (pageNumber == 12)
        pageNumber = 1;
    if (pageNumber < 1 || pageNumber > 11)
        return -1;
    for (int place = 1; place < kChainLength; ++place)
        if (kChain[place] == pageNumber)
            return place;
    return -1;
}

int StartPlace(int pageNumber)
{
    if (pageNumber == 0)
        return -1;
    const int place = PlaceOfPageNumber(pageNumber);
    return place > 0 ? place : 0;
}

// ---------------------------------------------------------------- page strip

namespace {

const StripButton kStrip[kStripButtons] = {
    {1, 13, 10136, "GribWeather", "GRIB Weather products", 1},
    {2, 67, 10137, "WeatherCharts", "Classical weather charts", 2},
    {3, 121, 10138, "TextForecast", "Text forecasts", 3},
    {4, 175, 10139, "SatelliteImagery", "Satellite imagery", 4},
    {5, 229, 10140, "Buoys", "Buoy reports", 5},
    {6, 283, 10141, "SurfaceCurrents", "Surface currents and ocean data", 6},
    {7, 337, 10142, "GribFishing", "GRIB Fishing products", 7},
    {8, 391, 10145, "Preferences", "GRIB model and data preferences", 10},
    {9, 445, 10143, "Home", "Home Location settings", 8},
    {10, 499, 10144, "GPS", "GPS settings", 9},
    {11, 553, 10146, "Gateway", "Tidewright account control settings", 11},
};

} // namespace

const StripButton* StripButtons()
{
    return kStrip;
}

const StripButton* StripButtonOfPage(int pageNumber)
{
    for (const StripButton& b : kStrip)
        if (b.pageNumber == pageNumber)
            return &b;
    return nullptr;
}

const StripButton* StripButtonOfId(int id)
{
    for (const StripButton& b : kStrip)
        if (b.id == id)
            return &b;
    return nullptr;
}

wxString StripFace(const StripButton& button)
{
    return wxString::Format("res/tool_%s.png", button.stem);
}

wxString StripSelectFace(const StripButton& button)
{
    return wxString::Format("res/tool_%s_select.png", button.stem);
}

wxString StripOverFace(const StripButton& button)
{
    return wxString::Format("res/tool_%s_over.png", button.stem);
}

// ---------------------------------------------------------------- GPS setup

int TimeOutSecondsForIndex(int index)
{
    switch (index) {
    case 0: return 1;
    case 2: return 5;
    case 3: return 10;
    default: return 2;
    }
}

int BaudForIndex(int index)
{
    switch (index) {
    case 0: return 2400;
    case 2: return 9600;
    case 3: return 19200;
    default: return 4800;
    }
}

int DataBitsForIndex(int index)
{
    return index == 0 ? 7 : 8;
}

int StopBitsForIndex(int index)
{
    switch (index) {
    case 0: return 0;
    case 2: return 2;
    default: return 1;
    }
}

int ParityForIndex(int index)
{
    return index >= 1 && index <= 4 ? index : 0;
}

// ---------------------------------------------------------------- home location

int ContentBoxFromText(const wxString& text, int previous)
{
    int value = 0;
    if (!LeadingInt(text, value))
        return previous;
    return std::clamp(value, kMinContentBox, kMaxContentBox);
}

wxString ContentBoxProblem(const wxString& text)
{
    long long value = 0;
    if (ReadInteger(text, value) == NumberRead::None)
        return wxString();
    if (value >= kMinContentBox && value <= kMaxContentBox)
        return wxString();
    return wxString::Format("The content box size must be a number of degrees from %d to %d.", kMinContentBox,
                            kMaxContentBox);
}

ManualPosition ReadManualPosition(const wxString& latText, const wxString& lonText, bool north, bool east)
{
    ManualPosition p;
    p.lat = LeadingDouble(latText);
    p.lon = LeadingDouble(lonText);
    UnFormatPosition(p.lon, p.lat, east ? wxS("E") : wxS("W"), north ? wxS("N") : wxS("S"));
    p.latOk = std::isfinite(p.lat) && std::fabs(p.lat) <= 90.0;
    p.lonOk = std::isfinite(p.lon) && std::fabs(p.lon) <= 180.0;
    return p;
}

wxString ManualPositionProblem(const ManualPosition& position)
{
    wxString text;
    if (!position.latOk)
        text += "The latitude must lie between 0 and 90 degrees north or south.";
    if (!position.lonOk) {
        if (!text.empty())
            text += "\n";
        text += "The longitude must lie between 0 and 180 degrees east or west.";
    }
    return text;
}

// ---------------------------------------------------------------- forecast zones

namespace {

constexpr double kSubMapScale = 11.37;
constexpr const char* kUS = "res/US800_400.png";
constexpr const char* kCaribbean = "res/Carribean_800_400.png";
constexpr const char* kAlaska = "res/Alaska_800_400.png";
constexpr const char* kPacific = "res/Pacific_Hawaii_800_400.png";

struct RegionRow {
    int code;
    const char* region;
    const char* image;
    double zoom;
    double topLat;
    double leftLon;
    int centreX;
    int centreY;
};

const RegionRow kCoastal[] = {
    {1, "WEST", kUS, 1.3, 51.3, -132.5, 94, 107},
    {2, "EAST", kUS, 2.5, 51.3, -132.5, 665, 130},
    {3, "GREAT_LAKES", kUS, 2.0, 51.3, -132.5, 547, 61},
    {4, "SOUTH", kUS, 2.0, 51.3, -132.5, 572, 245},
    {5, "GULF", kCaribbean, 2.0, 41.045, -113.467, 290, 170},
    {6, "ALASKA", kAlaska, 0.775, 82.8, 162.8, 400, 200},
    {7, "PACIFIC_ISLANDS", kPacific, 0.8, 32.9, 139.8, 400, 200},
    {8, "PR_VI", kCaribbean, 7.0, 41.045, -113.467, 540, 260},
};

// The region name follows "OFFSHORE_".
const RegionRow kOffshore[] = {
    {5, "Gulf", kCaribbean, 1.0, 41.045, -113.467, 265, 180},
    {6, "Alaska", kAlaska, 0.775, 82.8, 162.8, 400, 200},
    {9, "West Coast", kUS, 1.0, 51.3, -132.5, 200, 100},
    {10, "Atlantic", kUS, 0.8, 51.3, -132.5, 415, 196},
    {11, "Caribbean", kCaribbean, 0.8, 41.045, -113.467, 460, 270},
    {12, "Arctic", kAlaska, 0.775, 82.8, 162.8, 400, 200},
    {13, "Hawaii", kPacific, 0.8, 32.9, 139.8, 400, 200},
};

template <size_t N>
bool Find(const RegionRow (&rows)[N], int code, const char* prefix, ZoneRegion& out)
{
    for (const RegionRow& r : rows) {
        if (r.code != code)
            continue;
        out.code = code;
        out.region = wxString(prefix) + r.region;
        out.view = ZoneView{r.image, r.zoom, r.topLat, r.leftLon, kSubMapScale, 800, 400, r.centreX, r.centreY};
        return true;
    }
    return false;
}

} // namespace

bool CoastalRegion(int code, ZoneRegion& out)
{
    return Find(kCoastal, code, "", out);
}

bool OffshoreRegion(int code, ZoneRegion& out)
{
    return Find(kOffshore, code, "OFFSHORE_", out);
}

ZoneRegion HighSeasRegion()
{
    ZoneRegion r;
    r.code = 0;
    r.region = "HIGHSEAS";
    r.view = ZoneView{"res/WorldmapTiffAnti.png", 0.1, 90.0, 0.001, 4096.0 / 360.0, 4096, 2048, 2048, 1024};
    return r;
}

const wxArrayString& CoastalExcludedZones()
{
    static const wxArrayString codes = [] {
        wxArrayString a;
        for (const char* c : {"ANZ070", "ANZ170", "ANZ270", "ANZ271", "ANZ272", "ANZ273", "ANZ370", "ANZ470",
                              "ANZ670", "AMZ170", "AMZ270", "AMZ370"})
            a.Add(c);
        return a;
    }();
    return codes;
}

} // namespace tw::wizard
