// The arithmetic of the map control, kept free of the toolkit so that every
// number can be checked without a window: positions and pixels on the world
// maps and on regional sub-maps, zoom limits, centring, the box the user
// drags, panning, the home-marker test, zone hit areas and the texts the map
// shows.
//
// Coordinate spaces, per axis:
//  - position: latitude and longitude in decimal degrees, south and west
//    negative;
//  - map pixel: a pixel of the map bitmap, (0, 0) at its top-left corner;
//  - view pixel: a map pixel minus the scroll;
//  - device pixel: a pixel of the control's client area.
// Device and view pixels differ by the zoom: view = Nearest(device / zoom),
// device = Nearest(view * zoom), halves rounded away from zero.
#pragma once

#include <string>
#include <vector>

#include "core/AreaWidth.h"

namespace mapgeo {

inline constexpr double kWorldMinZoom = 0.146484375;   // 600 / 4096: the world fills 600 x 300
inline constexpr double kWorldMaxZoom = 7.0;
inline constexpr int kWorldMapWidth = 4096;
inline constexpr int kWorldMapHeight = 2048;

struct MapPoint {
    int x = 0;
    int y = 0;
    bool operator==(const MapPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const MapPoint& o) const { return !(*this == o); }
};

struct MapRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(MapPoint p) const { return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height; }
    bool operator==(const MapRect& o) const
    {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// Nearest integer, halves away from zero.
int Nearest(double value);
inline int DeviceToView(int device, double zoom) { return Nearest(device / zoom); }
inline int ViewToDevice(int view, double zoom) { return Nearest(view * zoom); }

// A closed polygon in device pixels whose inside follows the even-odd rule:
// the hit area of a forecast zone.
class MapPolygon
{
public:
    void Clear();
    void Add(MapPoint p);
    bool Empty() const { return m_points.empty(); }
    const std::vector<MapPoint>& Points() const { return m_points; }
    // The smallest rectangle holding every point (empty when there is none).
    MapRect Bounds() const;
    // Even-odd test on the pixel centre; a point on the bounding box's last
    // row or column is outside, as for a filled polygon.
    bool Contains(MapPoint p) const;

private:
    std::vector<MapPoint> m_points;
    MapRect m_bounds;
};

struct GeoPosition {
    double m_lat = 0.0;
    double m_lon = 0.0;
};

// The view state of one map control and everything computed from it. The
// members carry the names the owners of a map control use.
class CMapView
{
public:
    double m_zoom = kWorldMinZoom;          // device pixels per map pixel
    int m_scrollX = 0;                      // map pixel at the top-left corner
    int m_scrollY = 0;
    double m_lonOffset = 180.0;             // 180 Greenwich-centred world map, 0 Pacific-centred
    MapRect m_highlightBox;                 // map pixels
    int m_mapWidth = kWorldMapWidth;
    int m_mapHeight = kWorldMapHeight;
    double m_boxCentreLat = 0.0;            // last box drawn with the mouse
    double m_boxCentreLon = 0.0;
    double m_boxSizeDeg = 0.0;
    double m_maxZoom = kWorldMaxZoom;       // the owner's zoom bounds
    double m_minZoom = kWorldMinZoom;
    GeoPosition m_subMapOrigin;             // sub-map: top latitude, left longitude
    double m_pixelsPerDegree = kWorldMapWidth / 360.0;
    float m_centreLat = 0.0f;               // write-back values of the last box
    float m_centreLon = 0.0f;
    int m_nsFlag = 0;                       // 1 south
    int m_ewFlag = 2;                       // 3 west, 2 east

    // World maps: position to view pixel and back. Longitudes read back lie
    // in -180..180.
    MapPoint WorldToView(double lat, double lon) const;
    void ViewToWorld(int x, int y, double& lat, double& lon) const;
    // Sub-maps (top latitude, left longitude, pixels per degree). A western
    // longitude is moved up by 360 when the map's left edge is east of
    // Greenwich; positions west of the left edge or north of the top edge
    // get negative pixels (they lie off the map).
    MapPoint SubMapToView(double lat, double lon) const;
    void ViewToSubMap(int x, int y, double& lat, double& lon) const;

    // Clamps the zoom to the owner's bounds, then to kWorldMinZoom..kWorldMaxZoom.
    void LimitZoom();
    // Map pixel at the middle of a client area of the given size.
    MapPoint CentreInMap(int clientWidth, int clientHeight) const;
    // Scrolls so that map pixel p lies in the middle; the scroll never goes
    // below 0 (there is no upper bound).
    void CentreOn(MapPoint p, int clientWidth, int clientHeight);
    // Zoom by 1.2 about the middle. ZoomOutBy changes nothing and returns
    // false when the zoom already equals the owner's minimum.
    void ZoomInBy(int clientWidth, int clientHeight);
    bool ZoomOutBy(int clientWidth, int clientHeight);

    // The square of sizeDeg degrees around a centre becomes the highlight box
    // (the centre given as absolute values: longitude negated when ewFlag is
    // 1, latitude when nsFlag is 1); zoom >= 0 is used as it is, a negative
    // zoom fits the box; then the view is centred on the box.
    void SetBox(float lat, float lon, float sizeDeg, int ewFlag, int nsFlag, int zoom, int clientWidth,
                int clientHeight);
    // Geometry of a switch between the two world maps: the other offset, the
    // box moved by half the map, no scroll, the zoom given.
    void SwitchWorld(double zoom);
    // Whole-world state: Greenwich-centred, 4096 x 2048, no scroll.
    void SetWorld();
    // Sub-map state: zoom, corner, scale and size, no scroll.
    void SetSubMap(double zoom, double topLat, double leftLon, double pixelsPerDegree, int width, int height);

    // End of a left drag from start to end (device pixels). A drag of fewer
    // than 6 pixels right or down (or any drag up or left) makes no box and
    // returns false. Otherwise the square around the dragged rectangle
    // becomes the highlight box, the view zooms and centres on it, and the
    // box's centre, side and write-back values are set; returns true.
    bool FinishBand(MapPoint start, MapPoint end, int clientWidth, int clientHeight);
    // Double click at a device point: zoom by 2 centred on the clicked map pixel.
    void ZoomAtClick(MapPoint device, int clientWidth, int clientHeight);
    // End of a right drag by delta device pixels: the map moves with the
    // pointer but shows no empty space at the right or bottom while it is
    // larger than the client area; the scroll never goes below 0.
    void FinishPan(MapPoint delta, int clientWidth, int clientHeight);

    // The position under a device point: on the sub-map in mode 3, else on
    // the world map.
    void PointerPosition(MapPoint device, bool subMap, double& lat, double& lon) const;
    // Whether the home marker is drawn at a position: plotHome set, latitude
    // and longitude not 0 and within -89.9 < lat < 90, -179.9 < lon < 181,
    // and on a sub-map east of its left edge (western longitudes moved as the
    // sub-map moves them) and south of its top edge.
    bool HomeDrawn(double lat, double lon, bool plotHome, bool subMap) const;
};

// An enlarged view (zoom above 1) is drawn from the part of the map it shows,
// scaled smoothly: the map pixels from the scroll (never below 0) to just
// past the client area's right and bottom edges, within the map, and the
// size in device pixels they are scaled to, so that map pixel p lands where
// ViewToDevice puts it. An empty source when nothing of the map is shown.
struct EnlargedPart {
    MapRect source;
    int width = 0;
    int height = 0;
};
EnlargedPart EnlargedPartOf(const CMapView& view, int clientWidth, int clientHeight);

// Fixed-point text of a number with a '.' whatever the locale ("%.Nf").
std::string FormatFixed(double value, int decimals);

// The widths the centre-and-width picker takes, in degrees: from a square of
// one degree to the whole world. Its callers store and send nothing beyond.
inline constexpr double kMinBoxWidth = tw::kMinAreaWidth;
inline constexpr double kMaxBoxWidth = tw::kMaxAreaWidth;
bool BoxWidthInRange(double width);
// The message that refuses a width outside the range.
std::string BoxWidthRefusal();
// A width as the width fields show it: "%d" of the width truncated toward
// zero, for any value ("0" for one that is not finite).
std::string WidthFieldText(double width);

// What a box drawn in the centre-and-width picker writes into its fields.
struct PickerFields {
    std::string latText;     // "%2.3f" of the absolute centre latitude
    int nsIndex = 0;         // 1 south
    std::string lonText;     // "%2.3f" of the absolute centre longitude
    int ewIndex = 0;         // 1 west
    std::string widthText;   // "%d" of the side in degrees, truncated
};
PickerFields PickerFieldsOf(const CMapView& view);
// The same for a box given by its signed centre and its side in degrees.
PickerFields PickerFieldsOf(double lat, double lon, double width);

// "%s%s - %s%s": latitude text, N/S, longitude text, E/W.
std::string StatusText(const std::string& latText, const std::string& ns, const std::string& lonText,
                       const std::string& ew);
// Latitude text, N/S, a blank, longitude text, E/W.
std::string HomeTipText(const std::string& latText, const std::string& ns, const std::string& lonText,
                        const std::string& ew);
// Station id, name and "%0.4f/%0.4f" of the position, one per line.
std::string BuoyTipText(const std::string& stationId, const std::string& name, double lat, double lon);
// Zone code and description, one per line.
std::string ZoneTipText(const std::string& zcode, const std::string& description);

} // namespace mapgeo
