// The pictures of the map control and its zone map: every name loads with its
// size, the regional maps put land and sea where the map control's sub-map
// conversion expects them, and the home markers are visible on sea and land.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/colour.h>
#include <wx/image.h>

#include "windows/map/MapGeometry.h"
#include "support/TestSupport.h"

namespace {

enum class Surface { Sea, Land, Other };

Surface SurfaceAt(const wxImage& img, int x, int y)
{
    const int r = img.GetRed(x, y), g = img.GetGreen(x, y), b = img.GetBlue(x, y);
    if (b > r + 20 && b > g)
        return Surface::Sea;
    if (r > b + 20 && g > b)
        return Surface::Land;
    return Surface::Other;
}

struct Place {
    const char* name;
    double lat, lon;
    Surface surface;
};

struct SubMapPicture {
    const char* file;
    double top, left;
    std::vector<Place> places;
};

const SubMapPicture kSubMaps[] = {
    {"res/US800_400.png", 51.3, -132.5,
     {{"Kansas", 38.5, -98.0, Surface::Land},
      {"Pacific off California", 35.0, -128.0, Surface::Sea},
      {"Gulf of Mexico", 25.5, -90.0, Surface::Sea},
      {"Lake Michigan", 43.5, -87.0, Surface::Sea},
      {"Atlantic east of Hatteras", 35.0, -68.0, Surface::Sea},
      {"northern Mexico", 27.0, -103.0, Surface::Land},
      {"Ontario", 49.5, -85.0, Surface::Land}}},
    {"res/Carribean_800_400.png", 41.045, -113.467,
     {{"Texas", 31.0, -99.0, Surface::Land},
      {"Caribbean Sea", 15.0, -75.0, Surface::Sea},
      {"central Cuba", 21.8, -78.8, Surface::Land},
      {"Sargasso Sea", 30.0, -60.0, Surface::Sea},
      {"Venezuela", 8.0, -66.0, Surface::Land},
      {"Yucatan", 19.5, -89.3, Surface::Land},
      {"Gulf of Mexico", 25.0, -90.0, Surface::Sea}}},
    {"res/Alaska_800_400.png", 82.8, 162.8,
     {{"interior Alaska", 64.5, -150.0, Surface::Land},
      {"Bering Sea", 57.0, -175.0, Surface::Sea},
      {"Chukotka, west of the date line", 66.0, 172.0, Surface::Land},
      {"Gulf of Alaska", 56.0, -145.0, Surface::Sea},
      {"Yukon", 63.0, -135.0, Surface::Land},
      {"Arctic Ocean", 76.0, -160.0, Surface::Sea}}},
    {"res/Pacific_Hawaii_800_400.png", 32.9, 139.8,
     {{"Hawaii, the Big Island", 19.6, -155.5, Surface::Land},
      {"the date line at 20 N", 20.0, 180.0, Surface::Sea},
      {"west Pacific", 5.0, 160.0, Surface::Sea},
      {"north of Hawaii", 30.0, -160.0, Surface::Sea}}},
};

} // namespace

TEST(MapPictures, RegionalMapsAreDrawnAtTheirOwnExtent)
{
    for (const SubMapPicture& m : kSubMaps) {
        SCOPED_TRACE(m.file);
        wxImage img;
        ASSERT_TRUE(img.LoadFile(tw::test::ResourcesDir() + "/" + m.file, wxBITMAP_TYPE_PNG));
        ASSERT_EQ(img.GetWidth(), 800);
        ASSERT_EQ(img.GetHeight(), 400);
        mapgeo::CMapView view;
        view.SetSubMap(1.0, m.top, m.left, 11.37, 800, 400);
        for (const Place& p : m.places) {
            const mapgeo::MapPoint px = view.SubMapToView(p.lat, p.lon);
            ASSERT_TRUE(px.x >= 0 && px.x < 800 && px.y >= 0 && px.y < 400) << p.name;
            EXPECT_EQ(SurfaceAt(img, px.x, px.y), p.surface) << p.name << " at " << px.x << "," << px.y;
        }
        // Both kinds of surface fill a fair share of the picture: it is a map,
        // not a blank.
        int sea = 0, land = 0;
        for (int y = 0; y < 400; y += 4)
            for (int x = 0; x < 800; x += 4) {
                const Surface s = SurfaceAt(img, x, y);
                sea += s == Surface::Sea;
                land += s == Surface::Land;
            }
        EXPECT_GT(sea, 500);
        EXPECT_GT(land, std::string(m.file).find("Pacific") != std::string::npos ? 2 : 500);
    }
}

TEST(MapPictures, HomeMarkersPointAtTheirPixelNineNineOnSeaAndLand)
{
    const wxColour sea(169, 203, 224), land(232, 223, 196);
    auto distance = [](const wxImage& img, int x, int y, const wxColour& c) {
        return std::abs(img.GetRed(x, y) - c.Red()) + std::abs(img.GetGreen(x, y) - c.Green()) +
               std::abs(img.GetBlue(x, y) - c.Blue());
    };
    for (const char* name : {"Crosshair", "Yacht", "Sailboat", "Home", "Hiker"}) {
        SCOPED_TRACE(name);
        wxImage img;
        ASSERT_TRUE(img.LoadFile(tw::test::ResourcesDir() + "/res/PointerIcon-" + name + "-25.png",
                                 wxBITMAP_TYPE_PNG));
        ASSERT_EQ(img.GetSize(), wxSize(25, 25));
        ASSERT_TRUE(img.HasAlpha());
        EXPECT_EQ(img.GetAlpha(9, 9), 255) << "the marked pixel is opaque";
        EXPECT_EQ(img.GetAlpha(24, 0), 0) << "the corners are transparent";
        EXPECT_EQ(img.GetAlpha(0, 24), 0);
        // Opaque pixels near the marked one that stand out from both surfaces.
        int strong = 0;
        for (int y = 5; y <= 13; ++y)
            for (int x = 5; x <= 13; ++x)
                if (img.GetAlpha(x, y) == 255 && distance(img, x, y, sea) > 200 && distance(img, x, y, land) > 200)
                    ++strong;
        EXPECT_GE(strong, 10);
    }
}
