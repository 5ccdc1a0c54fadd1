#include <clocale>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/PositionText.h"

namespace {

// Under LC_ALL=de_DE.UTF-8 these suites run with a comma as decimal point.
void ExpectCommaLocaleWhenAsked()
{
    const char* all = std::getenv("LC_ALL");
    if (all && wxString(all).StartsWith("de_DE")) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
}

} // namespace

TEST(PositionTextLocale, Format)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        double lon, lat;
        const char *lonText, *lonHemi, *latText, *latHemi;
    } cases[] = {
        {190.0, -33.456, "170.00", "W", "33.46", "S"},
        {-0.004, 0.0, "0.00", "W", "0.00", "N"},     // the sign of the unrounded value
        {180.0, 0.0, "180.00", "E", "0.00", "N"},
        {360.0, 10.0, "0.00", "E", "10.00", "N"},
        {-122.323, 47.4019, "122.32", "W", "47.40", "N"},
        {-190.0, 5.5, "170.00", "E", "5.50", "N"},   // below -180 wraps like above 180
        {-180.0, -90.0, "180.00", "W", "90.00", "S"},
        {540.0, 1.005, "180.00", "E", "1.00", "N"},
        {5.0, 0.0, "5.00", "E", "0.00", "N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lon << " " << c.lat);
        wxString lonText, lonHemi, latText, latHemi;
        tw::FormatPosition(c.lon, c.lat, lonText, lonHemi, latText, latHemi);
        EXPECT_EQ(lonText, c.lonText);
        EXPECT_EQ(lonHemi, c.lonHemi);
        EXPECT_EQ(latText, c.latText);
        EXPECT_EQ(latHemi, c.latHemi);
    }
}

TEST(PositionTextLocale, Parse)
{
    ExpectCommaLocaleWhenAsked();
    const struct {
        const char *lonText, *latText, *lonHemi, *latHemi;
        double lon, lat;
    } cases[] = {
        {"122.32", "47.40", "W", "N", -122.32, 47.40},
        {"-122.30", "47.40", "W", "N", -122.30, 47.40},     // already negative: still west
        {"-122.30", "-47.40", "W", "S", -122.30, -47.40},
        {"122.32", "47.40", "w", "s", 122.32, 47.40},       // hemisphere letters are exact
        {"12.5 deg", " 3.25", "E", "N", 12.5, 3.25},        // trailing text ignored
        {"abc", "", "W", "S", -1.0, -2.0},                  // no number: outputs keep their values
        {"12,5", "3,75", "E", "N", 12.0, 3.0},              // '.' is the decimal point everywhere
        {"1e999", "7", "E", "N", 1.0, 7.0},                 // out of range: kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lonText << " " << c.latText);
        double lon = 1.0, lat = 2.0;
        tw::UnFormatPosition(lon, lat, c.lonText, c.latText, c.lonHemi, c.latHemi);
        EXPECT_DOUBLE_EQ(lon, c.lon);
        EXPECT_DOUBLE_EQ(lat, c.lat);
    }

    // Numbers already in place.
    double lon = 10.0, lat = -5.0;
    tw::UnFormatPosition(lon, lat, "w", "S");
    EXPECT_DOUBLE_EQ(lon, 10.0);
    EXPECT_DOUBLE_EQ(lat, -5.0);
    tw::UnFormatPosition(lon, lat, "W", "N");
    EXPECT_DOUBLE_EQ(lon, -10.0);
    EXPECT_DOUBLE_EQ(lat, -5.0);
}

TEST(PositionTextLocale, FormattedTextParsesBack)
{
    for (double lon : {-179.99, -45.5, 0.0, 12.25, 179.99}) {
        for (double lat : {-89.5, -0.5, 0.0, 33.33, 89.99}) {
            wxString lonText, lonHemi, latText, latHemi;
            tw::FormatPosition(lon, lat, lonText, lonHemi, latText, latHemi);
            double lon2 = 0, lat2 = 0;
            tw::UnFormatPosition(lon2, lat2, lonText, latText, lonHemi, latHemi);
            EXPECT_NEAR(lon2, lon, 0.005);
            EXPECT_NEAR(lat2, lat, 0.005);
        }
    }
}
