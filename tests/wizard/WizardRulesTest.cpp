// The wizard's rules that need no window: the chain and its page numbers,
// where a run starts, the strip's buttons, the GPS settings behind each
// choice, the content box and the typed position, the zone regions.
#include <gtest/gtest.h>

#include <set>

#include "windows/wizard/WizardRules.h"

using namespace tw::wizard;

TEST(WizardChain, PagesStandInTheirPlacesAndNumbersFindThemBack)
{
    // place -> wizard page number; the preferences page (10) stands ninth.
    const int chain[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 8, 9, 11};
    for (int place = 0; place < kChainLength; ++place) {
        EXPECT_EQ(PageNumberAtPlace(place), chain[place]) << place;
        if (place > 0) {
            EXPECT_EQ(PlaceOfPageNumber(chain[place]), place);
        }
    }
    EXPECT_EQ(PlaceOfPageNumber(12), 1) << "12 is the GRIB weather page too";
    for (int n : {0, -1, 13, 99})
        EXPECT_EQ(PlaceOfPageNumber(n), -1) << n;
    EXPECT_EQ(PageNumberAtPlace(12), 0);
    EXPECT_EQ(PageNumberAtPlace(-1), 0);
}

TEST(WizardChain, WhereARunStarts)
{
    struct Case {
        int page;
        int place;
    } cases[] = {
        {0, -1},                           // not at all
        {1, 1}, {12, 1},                   // GRIB weather
        {2, 2}, {7, 7}, {8, 9}, {9, 10}, {10, 8}, {11, 11},
        {13, 0}, {-1, 0}, {1000, 0},       // welcome page
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartPlace(c.page), c.place) << c.page;
}

TEST(WizardStrip, ButtonsStandLeftToRightInChainOrder)
{
    std::set<int> ids;
    for (int i = 0; i < kStripButtons; ++i) {
        const StripButton& b = StripButtons()[i];
        EXPECT_EQ(b.place, i + 1);
        EXPECT_EQ(b.x, 13 + 54 * i);
        EXPECT_EQ(b.id, 10135 + b.pageNumber) << "ids follow the page numbers";
        EXPECT_EQ(PageNumberAtPlace(b.place), b.pageNumber) << "the strip follows the chain";
        EXPECT_EQ(StripButtonOfPage(b.pageNumber), &b);
        EXPECT_EQ(StripButtonOfId(b.id), &b);
        ids.insert(b.id);
    }
    EXPECT_EQ(ids.size(), 11u);
    const StripButton& last = StripButtons()[kStripButtons - 1];
    EXPECT_EQ(last.x + kStripButtonSize, 589);
    EXPECT_LE(last.x + kStripButtonSize, kStripWidth);
    EXPECT_EQ(StripButtonOfPage(0), nullptr);
    EXPECT_EQ(StripButtonOfPage(12), nullptr);
    EXPECT_EQ(StripButtonOfId(10147), nullptr);

    const StripButton* prefs = StripButtonOfPage(10);
    ASSERT_NE(prefs, nullptr);
    EXPECT_EQ(prefs->place, 8);
    EXPECT_EQ(StripFace(*prefs), "res/tool_Preferences.png");
    EXPECT_EQ(StripSelectFace(*prefs), "res/tool_Preferences_select.png");
    EXPECT_EQ(StripOverFace(*prefs), "res/tool_Preferences_over.png");
    EXPECT_EQ(StripFace(*StripButtonOfPage(8)), "res/tool_Home.png");
    EXPECT_EQ(StripButtonOfPage(8)->place, 9);
}

TEST(WizardGpsSettings, EachChoiceGivesItsValue)
{
    struct Case {
        int index;
        int timeout, baud, dataBits, stopBits, parity;
    } cases[] = {
        {-1, 2, 4800, 8, 1, 0},
        {0, 1, 2400, 7, 0, 0},
        {1, 2, 4800, 8, 1, 1},
        {2, 5, 9600, 8, 2, 2},
        {3, 10, 19200, 8, 1, 3},
        {4, 2, 4800, 8, 1, 4},
        {5, 2, 4800, 8, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(TimeOutSecondsForIndex(c.index), c.timeout);
        EXPECT_EQ(BaudForIndex(c.index), c.baud);
        EXPECT_EQ(DataBitsForIndex(c.index), c.dataBits);
        EXPECT_EQ(StopBitsForIndex(c.index), c.stopBits);
        EXPECT_EQ(ParityForIndex(c.index), c.parity);
    }
}

TEST(WizardHome, ContentBoxIsClampedAndAnEmptyAnswerKeepsTheStoredOne)
{
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"25", 25}, {"25x", 25}, {" 30", 30}, {"180", 180}, {"181", 180}, {"999", 180},
        {"0", 1}, {"-5", 1}, {"1", 1}, {"", 17}, {"abc", 17}, {"x25", 17},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContentBoxFromText(c.text, 17), c.expected) << c.text;
}

// A typed box beyond 1..180 is refused with the range; no number is no answer.
TEST(WizardHome, ContentBoxOutOfRangeIsNamed)
{
    for (const char* text : {"0", "-5", "181", "999", " 0x"})
        EXPECT_EQ(ContentBoxProblem(text), "The content box size must be a number of degrees from 1 to 180.") << text;
    for (const char* text : {"1", "25x", "180", " 30", "", "abc", "x999"})
        EXPECT_TRUE(ContentBoxProblem(text).empty()) << text;
}

TEST(WizardHome, TypedPositionTakesTheSignOfItsHemisphere)
{
    struct Case {
        const char* lat;
        const char* lon;
        bool north, east;
        double expectLat, expectLon;
        bool latOk, lonOk;
    } cases[] = {
        {"33.50", "151.25", false, true, -33.5, 151.25, true, true},
        {"12.5", "160", true, false, 12.5, -160.0, true, true},
        {"-12.5", "0", false, true, -12.5, 0.0, true, true},       // south stays south
        {"-12.5", "-3", true, true, -12.5, -3.0, true, true},      // a typed sign with N/E is kept
        {"90", "180", true, false, 90.0, -180.0, true, true},
        {"90.01", "180.5", true, true, 90.01, 180.5, false, false},
        {"95", "10", false, true, -95.0, 10.0, false, true},
        {"", "abc", true, true, 0.0, 0.0, true, true},
        {"45.5N", "7.25 E", true, true, 45.5, 7.25, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " / " + c.lon);
        const ManualPosition p = ReadManualPosition(c.lat, c.lon, c.north, c.east);
        EXPECT_DOUBLE_EQ(p.lat, c.expectLat);
        EXPECT_DOUBLE_EQ(p.lon, c.expectLon);
        EXPECT_EQ(p.latOk, c.latOk);
        EXPECT_EQ(p.lonOk, c.lonOk);
        EXPECT_EQ(ManualPositionProblem(p).empty(), c.latOk && c.lonOk);
    }
    const ManualPosition bad = ReadManualPosition("91", "200", true, true);
    EXPECT_TRUE(ManualPositionProblem(bad).Contains("latitude"));
    EXPECT_TRUE(ManualPositionProblem(bad).Contains("longitude"));
}

TEST(WizardZones, PickerCodesNameTheirRegionsAndViews)
{
    struct Case {
        bool coastal;
        int code;
        const char* region;   // null: not in the table
        const char* image;
        double zoom;
        int cx, cy;
    } cases[] = {
        {true, 1, "WEST", "res/US800_400.png", 1.3, 94, 107},
        {true, 5, "GULF", "res/Carribean_800_400.png", 2.0, 290, 170},
        {true, 8, "PR_VI", "res/Carribean_800_400.png", 7.0, 540, 260},
        {true, 9, nullptr, nullptr, 0, 0, 0},
        {false, 5, "OFFSHORE_Gulf", "res/Carribean_800_400.png", 1.0, 265, 180},
        {false, 12, "OFFSHORE_Arctic", "res/Alaska_800_400.png", 0.775, 400, 200},
        {false, 13, "OFFSHORE_Hawaii", "res/Pacific_Hawaii_800_400.png", 0.8, 400, 200},
        {false, 7, nullptr, nullptr, 0, 0, 0},
        {false, 8, nullptr, nullptr, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ZoneRegion r;
        const bool found = c.coastal ? CoastalRegion(c.code, r) : OffshoreRegion(c.code, r);
        ASSERT_EQ(found, c.region != nullptr);
        if (!found)
            continue;
        EXPECT_EQ(r.region, c.region);
        EXPECT_STREQ(r.view.image, c.image);
        EXPECT_DOUBLE_EQ(r.view.zoom, c.zoom);
        EXPECT_EQ(r.view.centreX, c.cx);
        EXPECT_EQ(r.view.centreY, c.cy);
        EXPECT_DOUBLE_EQ(r.view.pixelsPerDegree, 11.37);
        EXPECT_EQ(r.view.width, 800);
        EXPECT_EQ(r.view.height, 400);
    }
    const ZoneRegion high = HighSeasRegion();
    EXPECT_EQ(high.region, "HIGHSEAS");
    EXPECT_STREQ(high.view.image, "res/WorldmapTiffAnti.png");
    EXPECT_NEAR(high.view.pixelsPerDegree, 11.3778, 1e-4);
    EXPECT_EQ(CoastalExcludedZones().size(), 12u);
}
