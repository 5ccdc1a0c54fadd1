// Prints the pickers' outline tables (windows/map/ZoneRegions.cpp) for the picture
// script make_zone_pictures.sh, one line per area, fields separated by tabs:
//   metarea  ID  NUMERAL  LABEL_X  LABEL_Y  RING...
//   coastal  CODE  NAME  CAPTION  LABEL_X  LABEL_Y  RING
//   offshore CODE  NAME  CAPTION  LABEL_X  LABEL_Y  RING
// A ring is its vertices "x,y" separated by blanks.
// Built by the script itself (plain C++, no toolkit):
//   c++ -std=c++17 -I. tools/images/zone_regions.cpp windows/map/ZoneRegions.cpp
#include <cstddef>
#include <cstdio>

#include "windows/map/ZoneRegions.h"

namespace {

void PrintRing(const tw::zones::Ring& ring)
{
    std::printf("\t");
    for (std::size_t i = 0; i < ring.size(); ++i)
        std::printf(i ? " %d,%d" : "%d,%d", ring[i].x, ring[i].y);
}

void PrintRegions(const char* face, const std::vector<tw::zones::RegionShape>& regions)
{
    for (const auto& r : regions) {
        std::printf("%s\t%d\t%s\t%s\t%d\t%d", face, r.code, r.name, r.caption, r.labelX, r.labelY);
        PrintRing(r.outline);
        std::printf("\n");
    }
}

} // namespace

int main()
{
    for (const auto& area : tw::zones::MetAreaShapes()) {
        std::printf("metarea\t%d\t%s\t%d\t%d", area.id, area.numeral, area.labelX, area.labelY);
        for (const auto& ring : area.rings)
            PrintRing(ring);
        std::printf("\n");
    }
    PrintRegions("coastal", tw::zones::CoastalRegions());
    PrintRegions("offshore", tw::zones::OffshoreRegions());
    return 0;
}
