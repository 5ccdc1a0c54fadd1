#include "windows/map/ZoneRegions.h"

#include <cstddef>

namespace tw::zones {

bool RingContains(const Ring& ring, double x, double y)
{
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n ? n - 1 : 0; i < n; j = i++) {
        const double xi = ring[i].x, yi = ring[i].y;
        const double xj = ring[j].x, yj = ring[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

bool RingContainsPixel(const Ring& ring, int x, int y)
{
    return RingContains(ring, x + 0.5, y + 0.5);
}

bool MetAreaShape::ContainsPixel(int x, int y) const
{
    for (const Ring& ring : rings)
        if (RingContainsPixel(ring, x, y))
            return true;
    return false;
}

// Outlines follow the areas' limits over the sea; where a limit is a coast
// the outline runs a little inland, so that a click near the shore still
// counts. Neighbouring areas share their vertices along common limits.
const std::vector<MetAreaShape>& MetAreaShapes()
{
    static const std::vector<MetAreaShape> shapes = {
        {1, "I", 81, 141,
         {{{65, 78}, {90, 78}, {90, 127}, {116, 127}, {111, 166}, {92, 180}, {41, 180}, {41, 125}}}},
        {2, "IB", 142, 122, {{{114, 150}, {116, 172}, {140, 166}, {152, 145}, {143, 118}}}},
        {3, "II", 62, 205,
         {{{41, 180}, {92, 180}, {83, 191}, {88, 207}, {69, 244}, {84, 262}, {113, 264}, {117, 280}, {65, 280},
           {65, 258}, {41, 258}}}},
        {4, "III", 126, 197, {{{88, 207}, {100, 191}, {120, 183}, {168, 180}, {158, 212}, {152, 220}, {100, 220}}}},
        // Cut by the picture's side edges: the part east of 60 W on the left,
        // the whole area again on the right.
        {5, "IV", 584, 210,
         {{{1, 121}, {41, 121}, {41, 258}, {16, 258}, {11, 261}, {1, 256}},
          {{530, 123}, {525, 238}, {555, 256}, {628, 256}, {628, 121}}}},
        {6, "V", 46, 300, {{{1, 256}, {11, 261}, {16, 258}, {41, 258}, {65, 258}, {65, 333}, {1, 333}}}},
        {7, "VI", 598, 368,
         {{{1, 333}, {65, 333}, {65, 464}, {1, 464}}, {{575, 381}, {592, 333}, {633, 333}, {633, 464}, {575, 464}}}},
        {8, "VII", 135, 354,
         {{{65, 280}, {117, 280}, {162, 286}, {187, 287}, {187, 319}, {228, 319}, {228, 464}, {65, 464}}}},
        {12, "IX", 168, 231,
         {{{152, 220}, {158, 212}, {168, 206}, {200, 212}, {200, 231}, {180, 252}, {168, 269}, {157, 236}}}},
        {13, "X", 280, 354,
         {{{252, 286}, {318, 286}, {318, 270}, {375, 270}, {375, 464}, {228, 464}, {228, 319}, {252, 319}}}},
        {14, "XI", 336, 223, {{{296, 232}, {318, 248}, {318, 270}, {392, 270}, {392, 188}, {330, 188}, {300, 200}}}},
        {15, "XI", 282, 258,
         {{{253, 244}, {253, 268}, {252, 270}, {252, 286}, {318, 286}, {318, 248}, {296, 232}, {262, 238}}}},
        {16, "XII", 451, 211,
         {{{392, 121}, {409, 121}, {440, 100}, {489, 110}, {475, 160}, {485, 190}, {507, 232}, {525, 238},
           {555, 256}, {556, 264}, {392, 264}}}},
        {17, "XIII", 351, 150, {{{300, 200}, {330, 188}, {392, 188}, {392, 121}, {340, 121}, {305, 150}, {295, 185}}}},
        {18, "XIV", 428, 365, {{{375, 270}, {392, 270}, {392, 264}, {489, 264}, {489, 464}, {375, 464}}}},
        {19, "XV", 531, 365, {{{489, 304}, {570, 304}, {575, 381}, {575, 464}, {489, 464}}}},
        {20, "XVI", 525, 275, {{{489, 264}, {556, 264}, {552, 279}, {570, 304}, {489, 304}}}},
        {21, "XVII", 440, 38, {{{409, 1}, {489, 1}, {489, 110}, {440, 100}, {409, 121}}}},
        {22, "XVIII", 545, 38, {{{489, 1}, {628, 1}, {628, 121}, {530, 123}, {489, 110}}}},
        {23, "XIX", 93, 38,
         {{{41, 125}, {65, 78}, {90, 78}, {90, 127}, {116, 127}, {147, 100}, {147, 1}, {41, 1}}}},
        {24, "XX", 217, 20, {{{147, 1}, {253, 1}, {253, 110}, {190, 112}, {147, 100}}}},
        {25, "XXI", 353, 58, {{{253, 1}, {409, 1}, {409, 121}, {392, 121}, {330, 108}, {253, 110}}}},
        // Three pieces: north of the equator, south of it, and the strip
        // along 90-95 E down to 30 S.
        {26, "VIII", 200, 260,
         {{{168, 269}, {180, 252}, {200, 231}, {246, 232}, {253, 244}, {253, 268}},
          {{168, 269}, {244, 269}, {244, 319}, {187, 319}, {187, 287}, {162, 286}},
          {{244, 270}, {252, 270}, {252, 319}, {245, 319}}}},
    };
    return shapes;
}

const MetAreaShape* FindMetArea(int id)
{
    for (const MetAreaShape& shape : MetAreaShapes())
        if (shape.id == id)
            return &shape;
    return nullptr;
}

const std::vector<RegionShape>& CoastalRegions()
{
    static const std::vector<RegionShape> regions = {
        {"West", 1, {{39, 7}, {8, 223}, {91, 227}, {90, 9}}, "West", 58, 120},
        {"East", 2, {{459, 200}, {501, 29}, {533, 30}, {533, 202}}, "East", 511, 120},
        {"Great Lakes", 3, {{320, 23}, {462, 23}, {440, 111}, {319, 114}}, "Great Lakes", 382, 70},
        {"South", 4, {{379, 253}, {461, 201}, {530, 242}, {463, 317}}, "South", 470, 256},
        {"Gulf", 5, {{262, 297}, {380, 253}, {383, 312}, {302, 328}}, "Gulf", 336, 300},
        {"Alaska", 6, {{23, 309}, {79, 254}, {194, 349}, {49, 392}}, "Alaska", 92, 336},
        {"Caribbean", 8, {{380, 382}, {425, 337}, {536, 327}, {536, 415}, {491, 417}}, "Caribbean", 478, 398},
        {"PACIFIC_ISLANDS", 7, {{170, 380}, {307, 363}, {321, 444}, {203, 445}}, "Pacific Islands", 248, 428},
    };
    return regions;
}

const std::vector<RegionShape>& OffshoreRegions()
{
    static const std::vector<RegionShape> regions = {
        {"West Coast", 9, {{0, 0}, {81, 7}, {79, 228}, {7, 236}}, "West Coast", 42, 120},
        {"Atlantic", 10, {{423, 235}, {494, 25}, {552, 26}, {548, 296}, {454, 297}}, "Atlantic", 510, 170},
        {"Carribean", 11, {{356, 412}, {407, 355}, {512, 351}, {533, 439}, {465, 449}}, "Caribbean", 455, 425},
        {"Gulf", 5, {{250, 295}, {409, 248}, {435, 300}, {404, 343}, {288, 356}}, "Gulf", 345, 320},
        {"Alaska", 6, {{2, 255}, {178, 270}, {180, 361}, {3, 412}}, "Alaska", 90, 340},
        {"US Arctic", 12, {{142, 3}, {296, 3}, {298, 40}, {147, 38}}, "US Arctic", 220, 21},
        {"Hawaii", 13, {{148, 389}, {299, 370}, {304, 447}, {173, 450}}, "Hawaii", 228, 430},
    };
    return regions;
}

int RegionCodeAt(const std::vector<RegionShape>& regions, int x, int y)
{
    for (const RegionShape& region : regions)
        if (RingContainsPixel(region.outline, x, y))
            return region.code;
    return kNoRegion;
}

} // namespace tw::zones
