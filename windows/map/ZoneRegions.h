// Clickable areas of the two pickers that show a fixed picture: the METAREA
// picker (world picture, 635 x 465) and the US coastal / offshore region
// picker (two pictures, 558 x 460). Everything is in pixels of the picture,
// origin at its top left corner, so the dialogs can hit-test the pointer
// position in their picture panel directly.
//
// These tables are the one source of the outlines: the dialogs hit-test
// them and tools/images/make_zone_pictures.sh draws the pictures from them
// (through tools/images/zone_regions.cpp, which prints them), so what the
// user sees and where a click lands cannot disagree.
//
// Plain C++: no toolkit headers.
#pragma once

#include <vector>

namespace tw::zones {

struct Point {
    int x;
    int y;
};

// A closed outline: the last vertex joins the first.
using Ring = std::vector<Point>;

// Whether the point (x, y) lies inside the ring under the even-odd rule.
// Points exactly on an edge follow the usual half-open convention, so two
// rings that share an edge never both contain a point of it.
bool RingContains(const Ring& ring, double x, double y);

// Whether the pixel (x, y) of the picture belongs to the ring: its centre
// (x + 0.5, y + 0.5) lies inside, as when the outline is filled.
bool RingContainsPixel(const Ring& ring, int x, int y);

// ---------------------------------------------------------------- METAREAs

constexpr int kMetAreaPictureWidth = 635;
constexpr int kMetAreaPictureHeight = 465;

struct MetAreaShape {
    int id;                    // MZones.ID of the area
    const char* numeral;       // label's first line
    int labelX;                // label anchor
    int labelY;
    std::vector<Ring> rings;   // the area is the union of its rings

    bool ContainsPixel(int x, int y) const;
};

// The 23 areas, in ID order: 1 to 8 and 12 to 26 (9, 10 and 11 have none).
// The picture is a Mercator world map 587 pixels to 360 degrees, x 0 at
// 60.145 W, the equator on row 270; its last 48 columns repeat the first,
// so the areas cut by the picture's side edges (IV and VI) have one ring on
// each side.
const std::vector<MetAreaShape>& MetAreaShapes();
// The area of that MZones ID, or null.
const MetAreaShape* FindMetArea(int id);

// ---------------------------------------------------------------- US regions

constexpr int kRegionPictureWidth = 558;
constexpr int kRegionPictureHeight = 460;

struct RegionShape {
    const char* name;      // the region's name (not shown by the dialog)
    int code;              // what a click on it answers
    Ring outline;
    const char* caption;   // the label the picture shows
    int labelX;            // centre of that label in the picture
    int labelY;
};

// The coastal regions (picture res/coastal_level1.png) and the offshore
// regions (res/offshore_zones.png), each in the order a click looks them up.
// Codes 1 to 13 form one space over both faces; none equals the toolkit's
// cancel id.
const std::vector<RegionShape>& CoastalRegions();
const std::vector<RegionShape>& OffshoreRegions();

// The code of the first region (in table order) that holds the pixel, or
// kNoRegion when none does.
constexpr int kNoRegion = -1;
int RegionCodeAt(const std::vector<RegionShape>& regions, int x, int y);

} // namespace tw::zones
