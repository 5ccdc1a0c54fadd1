// The pickers' pictures: they load under the names the dialogs use, with
// their sizes, and they show the outlines the dialogs hit-test (the tables
// in windows/map/ZoneRegions.cpp). The colours are those of
// tools/images/make_zone_pictures.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <wx/image.h>

#include "windows/map/USZonesDialog.h"
#include "windows/map/ZoneRegions.h"
#include "windows/map/metzonesdialog.h"
#include "support/TestSupport.h"

using namespace tw::zones;

namespace {

struct Rgb {
    int r, g, b;
};

constexpr Rgb kSea{169, 203, 224};
constexpr Rgb kLand{232, 223, 196};
constexpr Rgb kCoast{107, 123, 140};
constexpr Rgb kBorder{138, 126, 104};
constexpr Rgb kState{196, 184, 158};
constexpr Rgb kNavy{31, 59, 87};
constexpr Rgb kTeal{46, 125, 140};
constexpr double kTintAlpha = 0.35;
constexpr Rgb kBase[] = {kSea, kLand, kCoast, kBorder, kState};

Rgb At(const wxImage& img, int x, int y)
{
    return {img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance = 2)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

Rgb Tinted(const Rgb& c)
{
    auto mix = [](int base, int over) { return static_cast<int>(base * (1 - kTintAlpha) + over * kTintAlpha); };
    return {mix(c.r, kTeal.r), mix(c.g, kTeal.g), mix(c.b, kTeal.b)};
}

bool IsPlain(const Rgb& c)
{
    return std::any_of(std::begin(kBase), std::end(kBase), [&](const Rgb& b) { return Near(c, b); });
}

bool IsTinted(const Rgb& c)
{
    return std::any_of(std::begin(kBase), std::end(kBase), [&](const Rgb& b) { return Near(c, Tinted(b)); });
}

// Distance from the centre of pixel (x, y) to the edge a-b.
double EdgeDistance(int x, int y, const Point& a, const Point& b)
{
    const double px = x + 0.5, py = y + 0.5;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

double RingDistance(int x, int y, const Ring& ring)
{
    double best = 1e9;
    for (size_t i = 0; i < ring.size(); ++i)
        best = std::min(best, EdgeDistance(x, y, ring[i], ring[(i + 1) % ring.size()]));
    return best;
}

// Calls f(x, y) for points about one pixel apart along every edge of the ring.
template <typename F>
void AlongEdges(const Ring& ring, F f)
{
    for (size_t i = 0; i < ring.size(); ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % ring.size()];
        const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y)));
        for (int s = 0; s <= steps; ++s) {
            const double t = double(s) / steps;
            f(static_cast<int>(std::lround(a.x + t * (b.x - a.x))), static_cast<int>(std::lround(a.y + t * (b.y - a.y))));
        }
    }
}

// Whether a pixel of the colour lies in the 3 x 3 block around (x, y).
bool ColourAround(const wxImage& img, int x, int y, const Rgb& colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int u = x + dx, v = y + dy;
            if (u >= 0 && v >= 0 && u < img.GetWidth() && v < img.GetHeight() && Near(At(img, u, v), colour))
                return true;
        }
    return false;
}

bool OnlySeaAround(const wxImage& img, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int u = std::clamp(x + dx, 0, img.GetWidth() - 1), v = std::clamp(y + dy, 0, img.GetHeight() - 1);
            if (!Near(At(img, u, v), kSea))
                return false;
        }
    return true;
}

wxImage Resource(const wxString& name)
{
    wxImage image;
    image.LoadFile(tw::test::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
    return image;
}

} // namespace

TEST(PickerPictures, LoadUnderTheirNamesWithTheirSizes)
{
    struct Case {
        const char* name;
        int width, height;
    } cases[] = {
        {MetZonesDialog::kPicture, 635, 465},
        {MetZonesDialog::kCheckMark, 16, 16},
        {USZonesDialog::kCoastalPicture, 558, 460},
        {USZonesDialog::kOffshorePicture, 558, 460},
    };
    for (const Case& c : cases) {
        const wxImage image = Resource(c.name);
        ASSERT_TRUE(image.IsOk()) << c.name;
        EXPECT_EQ(image.GetWidth(), c.width) << c.name;
        EXPECT_EQ(image.GetHeight(), c.height) << c.name;
    }
    EXPECT_STREQ(MetZonesDialog::kPicture, "res/WorldMetAreaMap2.png");
    EXPECT_STREQ(MetZonesDialog::kCheckMark, "Icons/red_check_16_16.png");
    EXPECT_STREQ(USZonesDialog::kCoastalPicture, "res/coastal_level1.png");
    EXPECT_STREQ(USZonesDialog::kOffshorePicture, "res/offshore_zones.png");
}

TEST(PickerPictures, CheckMarkIsRedOnATransparentGround)
{
    const wxImage check = Resource(MetZonesDialog::kCheckMark);
    ASSERT_TRUE(check.IsOk());
    ASSERT_TRUE(check.HasAlpha());
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
        EXPECT_EQ(check.GetAlpha(x, y), 0) << x << "," << y;
    int red = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (check.GetAlpha(x, y) == 255 && check.GetRed(x, y) > 150 && check.GetGreen(x, y) < 90)
                ++red;
    EXPECT_GE(red, 12);
}

TEST(PickerPictures, MetAreaOutlinesAreTheTableOnes)
{
    const wxImage img = Resource(MetZonesDialog::kPicture);
    ASSERT_TRUE(img.IsOk());
    // Every outline pixel of the picture lies on an edge of the table...
    int navy = 0;
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x) {
            if (!Near(At(img, x, y), kNavy))
                continue;
            ++navy;
            double best = 1e9;
            for (const MetAreaShape& shape : MetAreaShapes())
                for (const Ring& ring : shape.rings)
                    best = std::min(best, RingDistance(x, y, ring));
            ASSERT_LE(best, 1.5) << "outline pixel off the table at " << x << "," << y;
        }
    EXPECT_GT(navy, 2000);
    // ...and every edge of the table is drawn wherever it crosses open sea.
    for (const MetAreaShape& shape : MetAreaShapes()) {
        int drawn = 0;
        for (const Ring& ring : shape.rings)
            AlongEdges(ring, [&](int x, int y) {
                EXPECT_FALSE(OnlySeaAround(img, x, y)) << "area " << shape.id << " not drawn at " << x << "," << y;
                drawn += ColourAround(img, x, y, kNavy);
            });
        // Some areas (the Mediterranean, the Baltic) are bounded mostly by
        // land, but each shows some outline at sea.
        EXPECT_GT(drawn, 0) << shape.id;
    }
}

TEST(PickerPictures, RegionPicturesTintOutlineAndLabelEveryRegion)
{
    struct Face {
        const char* picture;
        const std::vector<RegionShape>& regions;
    } faces[] = {
        {USZonesDialog::kCoastalPicture, CoastalRegions()},
        {USZonesDialog::kOffshorePicture, OffshoreRegions()},
    };
    for (const Face& face : faces) {
        SCOPED_TRACE(face.picture);
        const wxImage img = Resource(face.picture);
        ASSERT_TRUE(img.IsOk());
        std::vector<int> inside(face.regions.size()), tinted(face.regions.size());
        int outside = 0, plain = 0;
        for (int y = 0; y < img.GetHeight(); ++y)
            for (int x = 0; x < img.GetWidth(); ++x) {
                bool nearEdge = false;
                int owner = -1;
                for (size_t i = 0; i < face.regions.size(); ++i) {
                    nearEdge = nearEdge || RingDistance(x, y, face.regions[i].outline) < 3.0;
                    if (owner < 0 && RingContainsPixel(face.regions[i].outline, x, y))
                        owner = static_cast<int>(i);
                }
                if (nearEdge)
                    continue;
                const Rgb c = At(img, x, y);
                if (owner >= 0) {
                    ++inside[owner];
                    tinted[owner] += IsTinted(c);
                } else {
                    ++outside;
                    plain += IsPlain(c);
                }
            }
        for (size_t i = 0; i < face.regions.size(); ++i) {
            ASSERT_GT(inside[i], 0) << face.regions[i].name;
            // The label and its halo take a part of the smaller regions.
            EXPECT_GE(double(tinted[i]) / inside[i], 0.8) << face.regions[i].name;
        }
        EXPECT_GE(double(plain) / outside, 0.99);

        for (const RegionShape& region : face.regions) {
            int samples = 0, outlined = 0;
            AlongEdges(region.outline, [&](int x, int y) {
                ++samples;
                outlined += ColourAround(img, x, y, kNavy);
            });
            EXPECT_GE(double(outlined) / samples, 0.97) << region.name;
            // The label: white halo and navy letters around its centre.
            int halo = 0, letters = 0;
            for (int y = region.labelY - 8; y <= region.labelY + 8; ++y)
                for (int x = region.labelX - 20; x <= region.labelX + 20; ++x) {
                    halo += Near(At(img, x, y), Rgb{255, 255, 255}, 0);
                    letters += Near(At(img, x, y), kNavy, 8);
                }
            EXPECT_GT(halo, 30) << region.name;
            EXPECT_GT(letters, 30) << region.name;
        }
    }
}
