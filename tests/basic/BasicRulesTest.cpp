// The Basic window's rules without a window: toggles to product indexes,
// the twenty buttons of a personality, the menu's personalities and the
// ranges of the Basic batch's area.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "basic/BasicFixtures.h"
#include "windows/basic/BasicRules.h"

using namespace tw::basic;

TEST(BasicRules, ToggleOnAPageStandsForOneProduct)
{
    struct Case {
        int page, position, index;
    } cases[] = {
        {1, 0, 0}, {1, 9, 9}, {2, 0, 10}, {2, 2, 12}, {2, 9, 19},
        {1, -1, -1}, {1, 10, -1}, {0, 3, -1}, {3, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << " position " << c.position);
        EXPECT_EQ(ProductIndex(c.page, c.position), c.index);
    }
    EXPECT_EQ(OtherPage(1), 2);
    EXPECT_EQ(OtherPage(2), 1);
}

TEST(BasicRules, ButtonsTakeTheFirstTwentyRowsAndPadTheRest)
{
    auto rows = [](int count) {
        std::vector<ButtonRow> out;
        for (int n = 1; n <= count; ++n)
            out.push_back({wxString::Format("B%d", n), wxString::Format("id%d", n), n == 3});
        return out;
    };
    struct Case {
        int rows;
        bool race;
        int read;
    } cases[] = {{20, false, 20}, {25, false, 20}, {19, false, 19}, {0, false, 0}, {20, true, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, race " << c.race);
        const ButtonSet set = MakeButtons(rows(c.rows), c.race);
        ASSERT_EQ(set.texts.size(), 20u);
        ASSERT_EQ(set.recids.size(), 20u);
        EXPECT_EQ(set.rowsRead, c.read);
        EXPECT_EQ(set.Complete(), c.read == 20);
        for (int i = 0; i < 20; ++i) {
            SCOPED_TRACE(i);
            if (i >= c.read) {
                EXPECT_EQ(set.texts[i], "");
                EXPECT_EQ(set.recids[i], "");
            } else if (i == 2 && c.race) {
                EXPECT_EQ(set.texts[i], "Disabled for Race Mode");
                EXPECT_EQ(set.recids[i], "RaceDisable");
            } else {
                EXPECT_EQ(set.texts[i], wxString::Format("B%d", i + 1));
                EXPECT_EQ(set.recids[i], wxString::Format("id%d", i + 1));
            }
        }
    }
}

TEST(BasicRules, MenuHasOnePersonalityPerRegionWithinTheRegionCount)
{
    const std::vector<PictureRow> rows = {
        {"North", "n.png"}, {"South", "s.png"}, {"North", "n2.png"}, {"East", "e.png"}, {"west", "w.png"}};
    struct Case {
        int count;
        std::vector<wxString> regions;
    } cases[] = {
        {4, {"North", "South", "East", "west"}},
        {3, {"North", "South", "East"}},
        {1, {"North"}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<wxString> got;
        for (const PictureRow& r : MenuPersonalities(rows, c.count))
            got.push_back(r.region);
        EXPECT_EQ(got, c.regions);
    }
    EXPECT_EQ(MenuPersonalities(rows, 4)[0].graphic, "n.png") << "the first picture row of a region stands for it";
}

TEST(BasicRules, RecidIsFoundExactlyAndEmptyIdsMatchNothing)
{
    wxArrayString ids;
    for (const char* id : {"a1", "B2", "", "a1", "c3"})
        ids.Add(id);
    EXPECT_EQ(IndexOfRecid(ids, "a1"), 0);
    EXPECT_EQ(IndexOfRecid(ids, "b2"), -1) << "case counts";
    EXPECT_EQ(IndexOfRecid(ids, "c3"), 4);
    EXPECT_EQ(IndexOfRecid(ids, ""), -1);
    EXPECT_EQ(IndexOfRecid(wxArrayString(), "a1"), -1);
}

TEST(BasicRules, StoredAreaIsRepairedValueByValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double lat, lon, width;
        bool repaired;
        double rlat, rlon, rwidth;
    } cases[] = {
        {95, -122.3, 10, true, 48.0, -122.3, 10},
        {40, -200, 0, true, 40, -122.0, 10.0},
        {-90, 180, 1, false, -90, 180, 1},
        {90, -180, 80, false, 90, -180, 80},
        {10, 20, 80.5, true, 10, 20, 10},
        {-91, 181, 0.5, true, 48, -122, 10},
        {nan, 5, 5, true, 48, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon << " " << c.width);
        EXPECT_EQ(AreaInRange(c.lat, c.lon, c.width), !c.repaired);
        double lat = c.lat, lon = c.lon, width = c.width;
        EXPECT_EQ(RepairArea(lat, lon, width), c.repaired);
        EXPECT_DOUBLE_EQ(lat, c.rlat);
        EXPECT_DOUBLE_EQ(lon, c.rlon);
        EXPECT_DOUBLE_EQ(width, c.rwidth);
    }
}

TEST(BasicRules, WidthIsBroughtIntoItsRange)
{
    struct Case {
        double in, out;
    } cases[] = {{0.0, 1.0}, {0.4, 1.0}, {1.0, 1.0}, {12.74, 12.74}, {80.0, 80.0}, {80.01, 80.0}, {360, 80},
                 {-5, 1}, {std::numeric_limits<double>::quiet_NaN(), 10.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(LimitWidth(c.in), c.out);
    }
}
