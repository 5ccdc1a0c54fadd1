// The pickers' outline tables and their point lookup, without a window.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <wx/defs.h>

#include "windows/map/ZoneRegions.h"

using namespace tw::zones;

namespace {

std::string Describe(const Ring& ring)
{
    std::string s;
    for (const Point& p : ring)
        s += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    return s;
}

} // namespace

TEST(RingContains, EvenOddRuleWithHalfOpenEdges)
{
    const Ring square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    // A five-pointed star drawn in one stroke: under the even-odd rule its
    // pentagon centre is outside, its points inside.
    const Ring star = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    struct Case {
        const Ring* ring;
        double x, y;
        bool inside;
        const char* what;
    } cases[] = {
        {&square, 5, 5, true, "middle"},
        {&square, 15, 5, false, "right of it"},
        {&square, -1, 5, false, "left of it"},
        {&square, 0, 5, true, "on the left edge"},
        {&square, 10, 5, false, "on the right edge"},
        {&square, 5, 0, true, "on the top edge"},
        {&square, 5, 10, false, "on the bottom edge"},
        {&star, 50, 10, true, "top point"},
        {&star, 10, 38, true, "left point"},
        {&star, 50, 50, false, "centre of the star"},
        {&star, 50, 95, false, "below the star"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RingContains(*c.ring, c.x, c.y), c.inside) << c.what << " " << c.x << "," << c.y;
    EXPECT_FALSE(RingContains(Ring{}, 0, 0));
    // A pixel counts by its centre.
    EXPECT_TRUE(RingContainsPixel(square, 9, 9));
    EXPECT_FALSE(RingContainsPixel(square, 10, 9));
}

TEST(RingContains, RingsSharingAnEdgeSplitItsPixels)
{
    // Two quadrilaterals with a common slanted edge: every pixel of their
    // union belongs to exactly one of them.
    const Ring left = {{0, 0}, {40, 0}, {25, 50}, {0, 50}};
    const Ring right = {{40, 0}, {80, 0}, {80, 50}, {25, 50}};
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(RingContainsPixel(left, x, y) + RingContainsPixel(right, x, y), 1) << x << "," << y;
}

TEST(MetAreaTable, IdsNumeralsAndLabelAnchors)
{
    struct Row {
        int id;
        const char* numeral;
        int x, y;
    } expected[] = {
        {1, "I", 81, 141},     {2, "IB", 142, 122},    {3, "II", 62, 205},     {4, "III", 126, 197},
        {5, "IV", 584, 210},   {6, "V", 46, 300},      {7, "VI", 598, 368},    {8, "VII", 135, 354},
        {12, "IX", 168, 231},  {13, "X", 280, 354},    {14, "XI", 336, 223},   {15, "XI", 282, 258},
        {16, "XII", 451, 211}, {17, "XIII", 351, 150}, {18, "XIV", 428, 365},  {19, "XV", 531, 365},
        {20, "XVI", 525, 275}, {21, "XVII", 440, 38},  {22, "XVIII", 545, 38}, {23, "XIX", 93, 38},
        {24, "XX", 217, 20},   {25, "XXI", 353, 58},   {26, "VIII", 200, 260},
    };
    const auto& shapes = MetAreaShapes();
    ASSERT_EQ(shapes.size(), std::size(expected));
    for (size_t i = 0; i < shapes.size(); ++i) {
        EXPECT_EQ(shapes[i].id, expected[i].id);
        EXPECT_STREQ(shapes[i].numeral, expected[i].numeral) << expected[i].id;
        EXPECT_EQ(shapes[i].labelX, expected[i].x) << expected[i].id;
        EXPECT_EQ(shapes[i].labelY, expected[i].y) << expected[i].id;
        EXPECT_EQ(FindMetArea(expected[i].id), &shapes[i]);
    }
    for (int id : {0, 9, 10, 11, 27, -5})
        EXPECT_EQ(FindMetArea(id), nullptr) << id;
}

TEST(MetAreaTable, FixedOutlines)
{
    const MetAreaShape* one = FindMetArea(1);
    ASSERT_NE(one, nullptr);
    ASSERT_EQ(one->rings.size(), 1u);
    EXPECT_EQ(Describe(one->rings[0]), "(65,78)(90,78)(90,127)(116,127)(111,166)(92,180)(41,180)(41,125)");

    // IV: the outline that returns to its start before jumping to the other
    // side of the picture, kept as its two pieces.
    const MetAreaShape* four = FindMetArea(5);
    ASSERT_NE(four, nullptr);
    ASSERT_EQ(four->rings.size(), 2u);
    EXPECT_EQ(Describe(four->rings[0]), "(1,121)(41,121)(41,258)(16,258)(11,261)(1,256)");
    EXPECT_EQ(Describe(four->rings[1]), "(530,123)(525,238)(555,256)(628,256)(628,121)");

    const MetAreaShape* eight = FindMetArea(26);
    ASSERT_NE(eight, nullptr);
    ASSERT_EQ(eight->rings.size(), 3u);
    EXPECT_EQ(Describe(eight->rings[0]), "(168,269)(180,252)(200,231)(246,232)(253,244)(253,268)");
    EXPECT_EQ(Describe(eight->rings[1]), "(168,269)(244,269)(244,319)(187,319)(187,287)(162,286)");
    EXPECT_EQ(Describe(eight->rings[2]), "(244,270)(252,270)(252,319)(245,319)");
}

TEST(MetAreaTable, OutlinesStayOnThePictureAndNeverOverlap)
{
    for (const MetAreaShape& shape : MetAreaShapes()) {
        ASSERT_FALSE(shape.rings.empty()) << shape.id;
        for (const Ring& ring : shape.rings) {
            EXPECT_GE(ring.size(), 3u) << shape.id;
            for (const Point& p : ring) {
                EXPECT_TRUE(p.x >= 1 && p.x <= 633 && p.y >= 1 && p.y <= 464)
                    << shape.id << " " << p.x << "," << p.y;
            }
        }
        // Clicking the label toggles its own area.
        EXPECT_TRUE(shape.ContainsPixel(shape.labelX, shape.labelY)) << shape.id;
    }
    // A click anywhere toggles at most one area.
    for (int y = 0; y < kMetAreaPictureHeight; ++y)
        for (int x = 0; x < kMetAreaPictureWidth; ++x) {
            int hits = 0;
            for (const MetAreaShape& shape : MetAreaShapes())
                hits += shape.ContainsPixel(x, y);
            ASSERT_LE(hits, 1) << x << "," << y;
        }
}

TEST(MetAreaTable, AreasCutByThePictureEdgesReachBothSides)
{
    for (int id : {5, 7}) {
        const MetAreaShape* shape = FindMetArea(id);
        ASSERT_NE(shape, nullptr);
        EXPECT_TRUE(shape->ContainsPixel(2, 200 + (id == 7) * 150)) << id;
        EXPECT_TRUE(shape->ContainsPixel(620, 200 + (id == 7) * 150)) << id;
    }
    // Along IV's top row between its two pieces: the jump from one piece to
    // the other encloses nothing, so a click there toggles I (or nothing),
    // never IV as well.
    for (int x : {60, 100, 300, 500})
        EXPECT_FALSE(FindMetArea(5)->ContainsPixel(x, 121)) << x;
    EXPECT_TRUE(FindMetArea(1)->ContainsPixel(60, 122));
}

TEST(RegionTables, NamesCodesAndOutlinesInLookupOrder)
{
    struct Row {
        const char* name;
        int code;
        const char* outline;
    };
    const Row coastal[] = {
        {"West", 1, "(39,7)(8,223)(91,227)(90,9)"},
        {"East", 2, "(459,200)(501,29)(533,30)(533,202)"},
        {"Great Lakes", 3, "(320,23)(462,23)(440,111)(319,114)"},
        {"South", 4, "(379,253)(461,201)(530,242)(463,317)"},
        {"Gulf", 5, "(262,297)(380,253)(383,312)(302,328)"},
        {"Alaska", 6, "(23,309)(79,254)(194,349)(49,392)"},
        {"Caribbean", 8, "(380,382)(425,337)(536,327)(536,415)(491,417)"},
        {"PACIFIC_ISLANDS", 7, "(170,380)(307,363)(321,444)(203,445)"},
    };
    const Row offshore[] = {
        {"West Coast", 9, "(0,0)(81,7)(79,228)(7,236)"},
        {"Atlantic", 10, "(423,235)(494,25)(552,26)(548,296)(454,297)"},
        {"Carribean", 11, "(356,412)(407,355)(512,351)(533,439)(465,449)"},
        {"Gulf", 5, "(250,295)(409,248)(435,300)(404,343)(288,356)"},
        {"Alaska", 6, "(2,255)(178,270)(180,361)(3,412)"},
        {"US Arctic", 12, "(142,3)(296,3)(298,40)(147,38)"},
        {"Hawaii", 13, "(148,389)(299,370)(304,447)(173,450)"},
    };
    auto check = [](const std::vector<RegionShape>& table, const Row* rows, size_t count) {
        ASSERT_EQ(table.size(), count);
        for (size_t i = 0; i < count; ++i) {
            EXPECT_STREQ(table[i].name, rows[i].name);
            EXPECT_EQ(table[i].code, rows[i].code) << rows[i].name;
            EXPECT_EQ(Describe(table[i].outline), rows[i].outline) << rows[i].name;
            for (const Point& p : table[i].outline)
                EXPECT_TRUE(p.x >= 0 && p.x < kRegionPictureWidth && p.y >= 0 && p.y < kRegionPictureHeight);
            EXPECT_TRUE(RingContainsPixel(table[i].outline, table[i].labelX, table[i].labelY)) << rows[i].name;
        }
    };
    check(CoastalRegions(), coastal, std::size(coastal));
    check(OffshoreRegions(), offshore, std::size(offshore));

    // One code space over both faces, clear of the toolkit's cancel id.
    std::set<int> codes;
    for (const auto* table : {&CoastalRegions(), &OffshoreRegions()})
        for (const RegionShape& r : *table) {
            codes.insert(r.code);
            EXPECT_NE(r.code, wxID_CANCEL);
        }
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

TEST(RegionTables, CodeByPoint)
{
    struct Case {
        int x, y, code;
    };
    const Case coastal[] = {
        {50, 100, 1},  {520, 100, 2}, {380, 60, 3},  {470, 256, 4}, {336, 300, 5},  {92, 336, 6},
        {478, 398, 8}, {248, 420, 7}, {250, 200, kNoRegion}, {200, 300, kNoRegion}, {557, 459, kNoRegion},
        // Beside the shared corner of South and Gulf.
        {378, 256, 5}, {386, 256, 4},
    };
    for (const Case& c : coastal)
        EXPECT_EQ(RegionCodeAt(CoastalRegions(), c.x, c.y), c.code) << "coastal " << c.x << "," << c.y;
    const Case offshore[] = {
        {40, 100, 9},  {510, 150, 10}, {455, 420, 11}, {345, 320, 5},         {90, 340, 6},
        {220, 20, 12}, {228, 420, 13}, {300, 150, kNoRegion}, {100, 245, kNoRegion},
    };
    for (const Case& c : offshore)
        EXPECT_EQ(RegionCodeAt(OffshoreRegions(), c.x, c.y), c.code) << "offshore " << c.x << "," << c.y;
}

TEST(RegionTables, FirstMatchWinsWhereOutlinesOverlap)
{
    const std::vector<RegionShape> overlapping = {
        {"A", 21, {{0, 0}, {50, 0}, {50, 50}, {0, 50}}, "A", 10, 10},
        {"B", 22, {{25, 25}, {90, 25}, {90, 90}, {25, 90}}, "B", 70, 70},
    };
    EXPECT_EQ(RegionCodeAt(overlapping, 30, 30), 21);
    EXPECT_EQ(RegionCodeAt(overlapping, 60, 60), 22);
    EXPECT_EQ(RegionCodeAt({overlapping[1], overlapping[0]}, 30, 30), 22);
    EXPECT_EQ(RegionCodeAt(overlapping, 95, 95), kNoRegion);
}
