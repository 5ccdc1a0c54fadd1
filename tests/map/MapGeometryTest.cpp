// The map control's arithmetic without a window: conversions, zoom, centring,
// the highlight box, the dragged box and its write-back values, panning, the
// home-marker test, zone hit areas and texts.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "windows/map/MapGeometry.h"

using namespace mapgeo;

namespace {

CMapView Greenwich()
{
    CMapView v;
    v.SetWorld();
    return v;
}

CMapView Pacific()
{
    CMapView v;
    v.SetWorld();
    v.m_lonOffset = 0.0;
    return v;
}

// A sub-map view as the zone map's launcher sets it up.
CMapView SubMap(double zoom, double top, double left, double ppd = 11.37, int width = 800, int height = 400)
{
    CMapView v;
    v.m_minZoom = zoom;
    v.SetSubMap(zoom, top, left, ppd, width, height);
    return v;
}

} // namespace

TEST(MapGeometry, WorldConversionsOfTheWorkedExamples)
{
    struct Case {
        const char* name;
        double lonOffset;
        double lat, lon;
        MapPoint pixel;
    } cases[] = {
        {"Greenwich north-west corner", 180, 90, -180, {0, 0}},
        {"Greenwich 0/0", 180, 0, 0, {2048, 1024}},
        {"Pacific 0 N 90 W", 0, 0, -90, {3072, 1024}},
        {"Pacific longitudes above 180 are not reduced", 0, 0, 190, {2161, 1024}},
        {"Pacific 10 W wraps to 350", 0, 0, -10, {3982, 1024}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMapView v = Greenwich();
        v.m_lonOffset = c.lonOffset;
        EXPECT_EQ(v.WorldToView(c.lat, c.lon), c.pixel);
    }

    double lat = 0, lon = 0;
    Greenwich().ViewToWorld(4095, 2047, lat, lon);
    EXPECT_DOUBLE_EQ(lon, 179.912109375);
    EXPECT_DOUBLE_EQ(lat, -89.912109375);
    Pacific().ViewToWorld(3072, 1024, lat, lon);
    EXPECT_DOUBLE_EQ(lon, -90.0) << "270 reduced by 360";
    EXPECT_DOUBLE_EQ(lat, 0.0);

    // The scroll is subtracted from view pixels and added back.
    CMapView scrolled = Greenwich();
    scrolled.m_scrollX = 1000;
    scrolled.m_scrollY = 500;
    EXPECT_EQ(scrolled.WorldToView(0, 0), (MapPoint {1048, 524}));
    scrolled.ViewToWorld(1048, 524, lat, lon);
    EXPECT_DOUBLE_EQ(lon, 0.0);
    EXPECT_DOUBLE_EQ(lat, 0.0);
}

TEST(MapGeometry, RoundTripsStayWithinOneMapPixelAndInTheirHemisphere)
{
    struct Map {
        const char* name;
        CMapView view;
        double latFrom, latTo, lonFrom, lonTo;   // lonTo may pass 180 on maps across the date line
        bool subMap;
    } maps[] = {
        {"Greenwich world", Greenwich(), -89.9, 89.9, -179.95, 179.95, false},
        {"Pacific world", Pacific(), -89.9, 89.9, -179.95, 179.95, false},
        {"Alaska sub-map", SubMap(0.775, 82.8, 162.8), 47.7, 82.7, 162.9, 233.0, true},
        {"US sub-map", SubMap(1.3, 51.3, -132.5), 16.2, 51.2, -132.4, -62.2, true},
    };
    for (Map& m : maps) {
        SCOPED_TRACE(m.name);
        for (int scroll : {0, 137}) {
            m.view.m_scrollX = scroll;
            m.view.m_scrollY = scroll / 2;
            const double ppd = m.subMap ? m.view.m_pixelsPerDegree : 4096.0 / 360.0;
            const double onePixel = 1.0 / ppd + 1e-9;
            int checked = 0;
            for (double lat = m.latFrom; lat <= m.latTo; lat += 0.737) {
                for (double lon = m.lonFrom; lon <= m.lonTo; lon += 0.613) {
                    const double wantLon = lon > 180 ? lon - 360 : lon;
                    const MapPoint p = m.subMap ? m.view.SubMapToView(lat, wantLon) : m.view.WorldToView(lat, wantLon);
                    double backLat = 0, backLon = 0;
                    if (m.subMap)
                        m.view.ViewToSubMap(p.x, p.y, backLat, backLon);
                    else
                        m.view.ViewToWorld(p.x, p.y, backLat, backLon);
                    double dLon = std::fabs(backLon - wantLon);
                    dLon = std::min(dLon, 360.0 - dLon);
                    ASSERT_LE(dLon, onePixel) << lat << "/" << wantLon << " -> " << p.x << "," << p.y;
                    ASSERT_LE(std::fabs(backLat - lat), onePixel) << lat << "/" << wantLon;
                    // Never the wrong hemisphere (beyond a pixel's width of the equator or a meridian edge).
                    if (std::fabs(lat) > onePixel) {
                        ASSERT_EQ(backLat < 0, lat < 0) << lat << "/" << wantLon;
                    }
                    if (std::fabs(wantLon) > onePixel && std::fabs(std::fabs(wantLon) - 180) > onePixel) {
                        ASSERT_EQ(backLon < 0, wantLon < 0) << lat << "/" << wantLon;
                    }
                    // And the pixel read back lands on the same pixel or its neighbour.
                    const MapPoint again =
                        m.subMap ? m.view.SubMapToView(backLat, backLon) : m.view.WorldToView(backLat, backLon);
                    ASSERT_LE(std::abs(again.x - p.x), 1) << lat << "/" << wantLon;
                    ASSERT_LE(std::abs(again.y - p.y), 1) << lat << "/" << wantLon;
                    ++checked;
                }
            }
            EXPECT_GT(checked, 1000);
        }
    }
}

TEST(MapGeometry, SubMapPositionsBeyondTheLeftOrTopEdgeLieOffTheMap)
{
    struct Case {
        const char* name;
        double top, left, lat, lon;
        bool xOff, yOff;
    } cases[] = {
        {"US map, west of its left edge", 51.3, -132.5, 45.0, -140.0, true, false},
        {"US map, north of its top edge", 51.3, -132.5, 55.0, -120.0, false, true},
        {"Alaska map, west of 162.8 E", 82.8, 162.8, 60.0, 150.0, true, false},
        {"Alaska map, 150 W moved east by 360", 82.8, 162.8, 60.0, -150.0, false, false},
        {"Pacific map, north-west of both edges", 32.9, 139.8, 40.0, 130.0, true, true},
        {"US map, the corner itself", 51.3, -132.5, 51.3, -132.5, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CMapView v = SubMap(1.0, c.top, c.left);
        const MapPoint p = v.SubMapToView(c.lat, c.lon);
        EXPECT_EQ(p.x < 0, c.xOff) << p.x;
        EXPECT_EQ(p.y < 0, c.yOff) << p.y;
    }
    // A point one degree inside each edge lies 11 pixels in.
    const CMapView us = SubMap(1.0, 51.3, -132.5);
    EXPECT_EQ(us.SubMapToView(50.3, -131.5), (MapPoint {11, 11}));
    // Reading a view pixel back gives the position, longitudes within -180..180.
    const CMapView alaska = SubMap(1.0, 82.8, 162.8);
    double lat = 0, lon = 0;
    alaska.ViewToSubMap(400, 200, lat, lon);
    EXPECT_NEAR(lon, 162.8 + 400 / 11.37 - 360, 1e-9);
    EXPECT_NEAR(lat, 82.8 - 200 / 11.37, 1e-9);
}

TEST(MapGeometry, ZoomLimitsAndZoomSteps)
{
    struct Case {
        double minZoom, maxZoom, zoom, limited;
    } cases[] = {
        {kWorldMinZoom, 7.0, 8.4, 7.0},
        {kWorldMinZoom, 7.0, 0.1, kWorldMinZoom},
        {0.3, 7.0, 0.2, 0.3},
        {0.1, 7.0, 0.1, kWorldMinZoom},    // the absolute bounds apply last
        {kWorldMinZoom, 9.0, 8.0, 7.0},
        {0.5, 2.0, 3.0, 2.0},
    };
    for (const Case& c : cases) {
        CMapView v = Greenwich();
        v.m_minZoom = c.minZoom;
        v.m_maxZoom = c.maxZoom;
        v.m_zoom = c.zoom;
        v.LimitZoom();
        EXPECT_DOUBLE_EQ(v.m_zoom, c.limited) << c.zoom;
    }

    // Zoom Out stops at the owner's minimum, then answers false.
    CMapView out = Greenwich();
    out.m_minZoom = 0.3;
    out.m_zoom = 0.33;
    EXPECT_TRUE(out.ZoomOutBy(600, 300));
    EXPECT_DOUBLE_EQ(out.m_zoom, 0.3);
    EXPECT_FALSE(out.ZoomOutBy(600, 300));
    EXPECT_DOUBLE_EQ(out.m_zoom, 0.3);

    // Below the fixed lower bound the minimum is never reached exactly.
    CMapView highSeas = SubMap(0.1, 90.0, 0.001, 4096.0 / 360.0, 4096, 2048);
    highSeas.ZoomInBy(600, 300);
    EXPECT_TRUE(highSeas.ZoomOutBy(600, 300));
    EXPECT_TRUE(highSeas.ZoomOutBy(600, 300));

    // Zoom In stops at 7 and keeps the centre (up to rounding).
    CMapView in = Greenwich();
    in.m_zoom = 6.5;
    in.CentreOn(MapPoint {1500, 700}, 600, 300);
    const MapPoint before = in.CentreInMap(600, 300);
    in.ZoomInBy(600, 300);
    EXPECT_DOUBLE_EQ(in.m_zoom, 7.0);
    const MapPoint after = in.CentreInMap(600, 300);
    EXPECT_LE(std::abs(after.x - before.x), 1);
    EXPECT_LE(std::abs(after.y - before.y), 1);
}

TEST(MapGeometry, HighlightBoxFromCentreAndSide)
{
    struct Case {
        const char* name;
        float lat, lon, side;
        int ew, ns, zoom;
        int clientW, clientH;
        MapRect box;
        double expectZoom;
        int scrollX, scrollY;
    } cases[] = {
        {"Seattle, 15 degrees, automatic zoom", 47.4019f, 122.323f, 15, 1, 0, -1, 708, 510, {570, 399, 172, 172},
         179.2 / 172, 315, 239},
        {"Seattle, 20 degrees", 47.4019f, 122.323f, 20, 1, 0, -1, 708, 510, {542, 370, 229, 229}, 0.7825327510917031,
         -1, -1},
        {"1 degree at 0/0, zoom 0", 0, 0, 1, 0, 0, 0, 600, 300, {2042, 1018, 12, 12}, kWorldMinZoom, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMapView v = Greenwich();
        v.m_scrollX = 999;   // whatever it was before
        v.m_scrollY = 333;
        v.SetBox(c.lat, c.lon, c.side, c.ew, c.ns, c.zoom, c.clientW, c.clientH);
        EXPECT_EQ(v.m_highlightBox, c.box) << v.m_highlightBox.x << "," << v.m_highlightBox.y << " "
                                           << v.m_highlightBox.width << "x" << v.m_highlightBox.height;
        EXPECT_NEAR(v.m_zoom, c.expectZoom, 1e-9);
        if (c.scrollX >= 0) {
            EXPECT_EQ(v.m_scrollX, c.scrollX);
            EXPECT_EQ(v.m_scrollY, c.scrollY);
        }
    }

    // The flags give the signs: the same box south-east.
    CMapView v = Greenwich();
    v.SetBox(33.9f, 151.2f, 12.7f, 0, 1, -1, 600, 300);
    EXPECT_GT(v.m_highlightBox.x, 2048);
    EXPECT_GT(v.m_highlightBox.y, 1024);
    double lat = 0, lon = 0;
    v.ViewToWorld(v.m_highlightBox.x + v.m_highlightBox.width / 2 - v.m_scrollX,
                  v.m_highlightBox.y + v.m_highlightBox.height / 2 - v.m_scrollY, lat, lon);
    EXPECT_NEAR(lat, -33.9, 0.1);
    EXPECT_NEAR(lon, 151.2, 0.1);
}

// Widths far beyond the map (typed into a width field) place the box of the
// whole world; nothing in the pixel arithmetic overflows.
TEST(MapGeometry, BoxWiderThanTheWorldIsTheWholeWorld)
{
    CMapView world = Greenwich();
    world.SetBox(10.0f, 20.0f, 360.0f, 0, 0, -1, 600, 300);
    for (float side : {361.0f, 3e9f, 1e30f, std::numeric_limits<float>::infinity(), -3e9f}) {
        SCOPED_TRACE(side);
        CMapView v = Greenwich();
        v.SetBox(10.0f, 20.0f, side, 0, 0, -1, 600, 300);
        EXPECT_EQ(v.m_highlightBox, world.m_highlightBox);
        EXPECT_DOUBLE_EQ(v.m_zoom, world.m_zoom);
        EXPECT_EQ(v.m_scrollX, world.m_scrollX);
    }
    CMapView far = Greenwich();
    far.SetBox(3e9f, -3e9f, 3e9f, 1, 1, -1, 600, 300);
    EXPECT_GT(far.m_highlightBox.width, 0);
    EXPECT_GE(far.m_scrollX, 0);
}

// The picker takes 1 to 360 degrees; a width field shows any width as its
// whole degrees, truncated toward zero, however large.
TEST(MapGeometry, WidthRangeAndWidthFieldText)
{
    const struct {
        double width;
        bool inRange;
        const char* text;
    } cases[] = {
        {1.0, true, "1"},          {360.0, true, "360"},          {12.7, true, "12"},
        {0.99, false, "0"},        {360.01, false, "360"},        {0.0, false, "0"},
        {-0.5, false, "0"},        {-12.7, false, "-12"},         {999.0, false, "999"},
        {3e9, false, "3000000000"}, {-3e9, false, "-3000000000"}, {std::nan(""), false, "0"},
        {1e20, false, "100000000000000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(BoxWidthInRange(c.width), c.inRange);
        EXPECT_EQ(WidthFieldText(c.width), c.text);
    }
    EXPECT_EQ(BoxWidthRefusal(), "Width must be a number of degrees from 1 to 360.");

    CMapView huge = Greenwich();
    huge.m_boxSizeDeg = 3e9;
    EXPECT_EQ(PickerFieldsOf(huge).widthText, "3000000000");
}

// The part of the map an enlarged view is made of: from the scroll to just
// past the client area, within the map, scaled to where the zoom puts it.
TEST(MapGeometry, EnlargedPartCoversTheClientAreaWithinTheMap)
{
    const struct {
        const char* name;
        int scrollX, scrollY;
        double zoom;
        int clientW, clientH;
        MapRect source;
        int width, height;
    } cases[] = {
        {"zoom 2", 100, 50, 2.0, 600, 300, {100, 50, 301, 151}, 602, 302},
        {"zoom 7, the Portal's size", 1800, 700, 7.0, 708, 510, {1800, 700, 103, 74}, 721, 518},
        {"a zoom between whole numbers", 0, 0, 3.3, 600, 300, {0, 0, 183, 92}, 604, 304},
        {"at the right and bottom edges", 4000, 2000, 2.0, 600, 300, {4000, 2000, 96, 48}, 192, 96},
        {"a negative scroll starts at the map's edge", -10, -5, 2.0, 600, 300, {0, 0, 301, 151}, 602, 302},
        {"scrolled past the map", 5000, 100, 2.0, 600, 300, {0, 0, 0, 0}, 0, 0},
        {"no client area", 0, 0, 2.0, 0, 300, {0, 0, 0, 0}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMapView v = Greenwich();
        v.m_scrollX = c.scrollX;
        v.m_scrollY = c.scrollY;
        v.m_zoom = c.zoom;
        const EnlargedPart part = EnlargedPartOf(v, c.clientW, c.clientH);
        EXPECT_EQ(part.source, c.source) << part.source.x << "," << part.source.y << " " << part.source.width << "x"
                                         << part.source.height;
        EXPECT_EQ(part.width, c.width);
        EXPECT_EQ(part.height, c.height);
    }
}

TEST(MapGeometry, SwitchingWorldMapsMovesTheBoxAndBack)
{
    CMapView v = Greenwich();
    v.m_highlightBox = MapRect {100, 50, 30, 40};
    v.m_scrollX = 500;
    v.SwitchWorld(0.2);
    EXPECT_DOUBLE_EQ(v.m_lonOffset, 0.0);
    EXPECT_EQ(v.m_highlightBox, (MapRect {2148, 50, 30, 40}));
    EXPECT_EQ(v.m_scrollX, 0);
    EXPECT_DOUBLE_EQ(v.m_zoom, 0.2);
    v.SwitchWorld(kWorldMinZoom);
    EXPECT_DOUBLE_EQ(v.m_lonOffset, 180.0);
    EXPECT_EQ(v.m_highlightBox, (MapRect {100, 50, 30, 40}));
}

TEST(MapGeometry, CentringClampsOnlyAtTheTopLeft)
{
    CMapView v = Greenwich();
    v.m_zoom = 1.0;
    v.CentreOn(MapPoint {4000, 2000}, 600, 300);
    EXPECT_EQ(v.m_scrollX, 3700);
    EXPECT_EQ(v.m_scrollY, 1850);
    EXPECT_GT(v.m_scrollX + 600, v.m_mapWidth) << "empty space shows right of the map";
    v.CentreOn(MapPoint {100, 100}, 600, 300);
    EXPECT_EQ(v.m_scrollX, 0);
    EXPECT_EQ(v.m_scrollY, 0);
}

TEST(MapGeometry, DraggedBoxAndItsWriteBackValues)
{
    // Band thresholds: at least 6 pixels right and down.
    struct Threshold {
        MapPoint start, end;
        bool box;
    } thresholds[] = {
        {{100, 100}, {106, 106}, true}, {{100, 100}, {105, 150}, false}, {{100, 100}, {150, 105}, false},
        {{100, 100}, {40, 160}, false}, {{100, 100}, {160, 40}, false},  {{100, 100}, {50, 50}, false},
    };
    for (const Threshold& t : thresholds) {
        CMapView v = Greenwich();
        EXPECT_EQ(v.FinishBand(t.start, t.end, 600, 300), t.box) << t.end.x << "," << t.end.y;
    }

    // 100 x 40 view pixels at view (200, 100), scroll 0 and zoom 1: the
    // square (198, 68) with side 105 around (250, 120).
    CMapView v = Greenwich();
    v.m_zoom = 1.0;
    ASSERT_TRUE(v.FinishBand(MapPoint {200, 100}, MapPoint {300, 140}, 600, 300));
    EXPECT_EQ(v.m_highlightBox, (MapRect {198, 68, 105, 105}));
    EXPECT_DOUBLE_EQ(v.m_zoom, 300.0 / 105);
    EXPECT_DOUBLE_EQ(v.m_boxSizeDeg, 105 * 360.0 / 4096);
    const MapPoint centre = v.CentreInMap(600, 300);
    EXPECT_LE(std::abs(centre.x - 250), 1);
    EXPECT_LE(std::abs(centre.y - 120), 1);

    // A box centred on map pixel (3768, 1410) with side 145 in the picker:
    // 33.926 S, 151.172 E, width 12.
    CMapView picker = Greenwich();
    picker.m_zoom = 1.0;
    picker.m_scrollX = 3000;
    picker.m_scrollY = 1000;
    ASSERT_TRUE(picker.FinishBand(MapPoint {698, 340}, MapPoint {838, 480}, 900, 600));
    EXPECT_EQ(picker.m_highlightBox, (MapRect {3696, 1338, 145, 145}));
    EXPECT_DOUBLE_EQ(picker.m_boxSizeDeg, 12.744140625);
    EXPECT_DOUBLE_EQ(picker.m_boxCentreLat, -33.92578125);
    EXPECT_DOUBLE_EQ(picker.m_boxCentreLon, 151.171875);
    EXPECT_EQ(picker.m_nsFlag, 1);
    EXPECT_EQ(picker.m_ewFlag, 2);
    const PickerFields f = PickerFieldsOf(picker);
    EXPECT_EQ(f.latText, "33.926");
    EXPECT_EQ(f.nsIndex, 1);
    EXPECT_EQ(f.lonText, "151.172");
    EXPECT_EQ(f.ewIndex, 0);
    EXPECT_EQ(f.widthText, "12");

    // North-west: the flags and indexes turn.
    CMapView nw = Greenwich();
    nw.m_zoom = 1.0;
    ASSERT_TRUE(nw.FinishBand(MapPoint {500, 300}, MapPoint {560, 340}, 900, 600));
    EXPECT_EQ(nw.m_nsFlag, 0);
    EXPECT_EQ(nw.m_ewFlag, 3);
    const PickerFields g = PickerFieldsOf(nw);
    EXPECT_EQ(g.nsIndex, 0);
    EXPECT_EQ(g.ewIndex, 1);
}

// The picker fills its fields from the box its map reports (centre and side):
// the same fields as from the view that drew the box, in every quarter.
TEST(MapGeometry, PickerFieldsOfAReportedBoxAreThoseOfItsView)
{
    const struct {
        const char* name;
        MapPoint from, to;
    } cases[] = {
        {"north-east", {600, 100}, {700, 200}},
        {"north-west", {100, 100}, {200, 200}},
        {"south-east", {600, 540}, {700, 590}},
        {"south-west", {100, 540}, {200, 590}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMapView view = Greenwich();
        view.m_zoom = 1.0;
        view.m_scrollX = 1500;
        view.m_scrollY = 500;
        ASSERT_TRUE(view.FinishBand(c.from, c.to, 900, 600));
        const PickerFields expected = PickerFieldsOf(view);
        EXPECT_EQ(view.m_nsFlag, c.name[0] == 's' ? 1 : 0);
        EXPECT_EQ(view.m_ewFlag, c.name[6] == 'w' ? 3 : 2);
        const PickerFields f = PickerFieldsOf(view.m_centreLat, view.m_centreLon, view.m_boxSizeDeg);
        EXPECT_EQ(f.latText, expected.latText);
        EXPECT_EQ(f.nsIndex, expected.nsIndex);
        EXPECT_EQ(f.lonText, expected.lonText);
        EXPECT_EQ(f.ewIndex, expected.ewIndex);
        EXPECT_EQ(f.widthText, expected.widthText);
    }
}

TEST(MapGeometry, DoubleClickZoomsByTwoAboutThePoint)
{
    CMapView v = Greenwich();
    v.ZoomAtClick(MapPoint {300, 150}, 600, 300);
    EXPECT_DOUBLE_EQ(v.m_zoom, 0.29296875);
    EXPECT_EQ(v.CentreInMap(600, 300), (MapPoint {2048, 1024}));
    EXPECT_EQ(v.m_scrollX, 1024);
    EXPECT_EQ(v.m_scrollY, 512);
}

TEST(MapGeometry, PanningNeverShowsSpaceRightOrBelowALargerMap)
{
    struct Case {
        const char* name;
        double zoom;
        int scrollX, scrollY;
        MapPoint delta;
        int wantX, wantY;
    } cases[] = {
        {"drag left by 100 at zoom 1", 1.0, 1000, 500, {-100, 0}, 1100, 500},
        {"drag right past the left edge", 1.0, 50, 50, {200, 200}, 0, 0},
        {"drag left past the right edge", 1.0, 3400, 1700, {-400, -300}, 3496, 1748},
        {"no movement", 2.0, 700, 300, {0, 0}, 700, 300},
        {"map smaller than the panel", kWorldMinZoom, 0, 0, {-300, -100}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMapView v = Greenwich();
        v.m_zoom = c.zoom;
        v.m_scrollX = c.scrollX;
        v.m_scrollY = c.scrollY;
        v.FinishPan(c.delta, 600, 300);
        EXPECT_EQ(v.m_scrollX, c.wantX);
        EXPECT_EQ(v.m_scrollY, c.wantY);
        EXPECT_GE(v.m_scrollX, 0);
        EXPECT_GE(v.m_scrollY, 0);
    }
}

TEST(MapGeometry, HomeMarkerIsDrawnOnlyAtPlausiblePositions)
{
    struct Case {
        const char* name;
        bool subMap;
        double top, left;
        double lat, lon;
        bool plot;
        bool drawn;
    } cases[] = {
        {"ordinary", false, 0, 0, 47.4, -122.3, true, true},
        {"plotting switched off", false, 0, 0, 47.4, -122.3, false, false},
        {"on the equator", false, 0, 0, 0.0, 10.0, true, false},
        {"on the prime meridian", false, 0, 0, 10.0, 0.0, true, false},
        {"longitude 180.5", false, 0, 0, 10.0, 180.5, true, true},
        {"longitude 181", false, 0, 0, 10.0, 181.0, true, false},
        {"latitude -89.9", false, 0, 0, -89.9, 10.0, true, false},
        {"sub-map, inside", true, 51.3, -132.5, 40.0, -100.0, true, true},
        {"sub-map, west of its left edge", true, 51.3, -132.5, 40.0, -140.0, true, false},
        {"sub-map, north of its top edge", true, 51.3, -132.5, 55.0, -100.0, true, false},
        {"Alaska map, Anchorage across the date line", true, 82.8, 162.8, 61.2, -149.9, true, true},
        {"high-seas map, a western home", true, 90.0, 0.001, 47.4, -122.3, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CMapView v = c.subMap ? SubMap(1.0, c.top, c.left) : Greenwich();
        EXPECT_EQ(v.HomeDrawn(c.lat, c.lon, c.plot, c.subMap), c.drawn);
    }
}

TEST(MapGeometry, ZoneHitAreaFollowsTheEvenOddRule)
{
    MapPolygon square;
    for (MapPoint p : {MapPoint {10, 10}, MapPoint {30, 10}, MapPoint {30, 30}, MapPoint {10, 30}})
        square.Add(p);
    EXPECT_EQ(square.Bounds(), (MapRect {10, 10, 20, 20}));

    // Two triangles joined into one outline (a zone in two parts) and a
    // concave outline.
    MapPolygon twoParts;
    for (MapPoint p : {MapPoint {0, 0}, MapPoint {20, 0}, MapPoint {0, 20}, MapPoint {40, 40}, MapPoint {60, 40},
                       MapPoint {60, 60}})
        twoParts.Add(p);
    MapPolygon notch;
    for (MapPoint p : {MapPoint {0, 0}, MapPoint {40, 0}, MapPoint {40, 40}, MapPoint {20, 10}, MapPoint {0, 40}})
        notch.Add(p);

    struct Case {
        const MapPolygon* polygon;
        MapPoint p;
        bool inside;
    } cases[] = {
        {&square, {20, 20}, true},    {&square, {10, 10}, true},  {&square, {29, 29}, true},
        {&square, {30, 20}, false},   {&square, {9, 20}, false},  {&square, {20, 30}, false},
        {&twoParts, {8, 3}, true},    {&twoParts, {55, 45}, true}, {&notch, {20, 5}, true},
        {&notch, {20, 30}, false},    {&notch, {5, 30}, true},     {&notch, {100, 100}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.polygon->Contains(c.p), c.inside) << c.p.x << "," << c.p.y;

    MapPolygon line;
    line.Add(MapPoint {0, 0});
    line.Add(MapPoint {10, 10});
    EXPECT_FALSE(line.Contains(MapPoint {5, 5})) << "fewer than three points enclose nothing";
    MapPolygon empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(empty.Contains(MapPoint {0, 0}));
}

TEST(MapGeometryLocale, TextsUseAPointWhateverTheLocale)
{
    EXPECT_EQ(FormatFixed(33.92578125, 3), "33.926");
    EXPECT_EQ(FormatFixed(5.5, 3), "5.500");
    EXPECT_EQ(FormatFixed(-0.00001, 4), "-0.0000");
    EXPECT_EQ(BuoyTipText("46001", "Gulf of Alaska", 56.3, -148.021), "46001\nGulf of Alaska\n56.3000/-148.0210");
    EXPECT_EQ(ZoneTipText("PZZ135", "Puget Sound"), "PZZ135\nPuget Sound");
    EXPECT_EQ(StatusText("47.40", "N", "122.32", "W"), "47.40N - 122.32W");
    EXPECT_EQ(HomeTipText("47.40", "N", "122.32", "W"), "47.40N 122.32W");
}
