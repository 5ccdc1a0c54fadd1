// The two world maps and the splash picture: sizes, and the georeference of
// the maps checked at places whose land or sea we know.
#include <gtest/gtest.h>

#include <wx/image.h>

#include <cmath>

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

// Plate carree, 4096 x 2048; x 0 at `leftLon`, y 0 at 90 N.
wxPoint PixelOf(double lat, double lon, double leftLon)
{
    double t = std::fmod(lon - leftLon + 720.0, 360.0);
    return wxPoint(static_cast<int>(4096.0 * t / 360.0), static_cast<int>(2048.0 * (90.0 - lat) / 180.0));
}

struct Place {
    const char* name;
    double lat, lon;
    Surface surface;
};

const Place kPlaces[] = {
    {"0 N 0 E (Gulf of Guinea)", 0.0, 0.0, Surface::Sea},
    {"central Africa", 5.0, 22.0, Surface::Land},
    {"central Pacific", 0.0, -160.0, Surface::Sea},
    {"Pacific west of the date line", 10.0, 175.0, Surface::Sea},
    {"Pacific east of the date line", 10.0, -175.0, Surface::Sea},
    {"interior of Australia", -25.0, 134.0, Surface::Land},
    {"central Brazil", -10.0, -50.0, Surface::Land},
    {"Siberia", 62.0, 100.0, Surface::Land},
    {"mid North Atlantic", 40.0, -40.0, Surface::Sea},
    {"Indian Ocean", -20.0, 80.0, Surface::Sea},
    {"Antarctica", -85.0, 0.0, Surface::Land},
};

class WorldMaps : public ::testing::TestWithParam<std::pair<const char*, double>>
{
};

TEST_P(WorldMaps, AreGeoreferenced)
{
    const auto& [file, leftLon] = GetParam();
    wxImage img;
    ASSERT_TRUE(img.LoadFile(tw::test::ResourcesDir() + "/res/" + file, wxBITMAP_TYPE_PNG)) << file;
    ASSERT_EQ(img.GetWidth(), 4096);
    ASSERT_EQ(img.GetHeight(), 2048);
    for (const Place& p : kPlaces)
    {
        const wxPoint px = PixelOf(p.lat, p.lon, leftLon);
        EXPECT_EQ(SurfaceAt(img, px.x, px.y), p.surface) << file << ": " << p.name << " at " << px.x << "," << px.y;
    }
}

INSTANTIATE_TEST_SUITE_P(BothCentres, WorldMaps,
                         ::testing::Values(std::make_pair("WorldmapTiff.PNG", -180.0),
                                           std::make_pair("WorldmapTiffAnti.PNG", 0.0)));

TEST(WorldMapsPair, PacificMapIsTheGreenwichMapRolledByHalfItsWidth)
{
    wxImage greenwich, pacific;
    ASSERT_TRUE(greenwich.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(pacific.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiffAnti.PNG", wxBITMAP_TYPE_PNG));
    int differing = 0;
    for (int y = 0; y < 2048; y += 7)
        for (int x = 0; x < 4096; x += 5)
        {
            const int xs = (x + 2048) % 4096;
            if (greenwich.GetRed(x, y) != pacific.GetRed(xs, y) || greenwich.GetGreen(x, y) != pacific.GetGreen(xs, y) ||
                greenwich.GetBlue(x, y) != pacific.GetBlue(xs, y))
                ++differing;
        }
    EXPECT_EQ(differing, 0);
}

TEST(SplashPicture, LeavesRoomForTheVersionLine)
{
    wxImage img;
    ASSERT_TRUE(img.LoadFile(tw::test::ResourcesDir() + "/res/LaunchScreen.bmp", wxBITMAP_TYPE_BMP));
    ASSERT_GE(img.GetWidth(), 400);
    ASSERT_GE(img.GetHeight(), 200);
    // The strip where start-up writes "Version ..." in grey is one light colour.
    const int r = img.GetRed(148, 102), g = img.GetGreen(148, 102), b = img.GetBlue(148, 102);
    EXPECT_GT(r + g + b, 600);
    for (int y = 100; y < 120; ++y)
        for (int x = 148; x < 300; ++x)
            ASSERT_TRUE(img.GetRed(x, y) == r && img.GetGreen(x, y) == g && img.GetBlue(x, y) == b)
                << "busy pixel at " << x << "," << y;
}

} // namespace
