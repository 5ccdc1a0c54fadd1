#include "windows/map/MapGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace mapgeo {

int Nearest(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double r = std::round(value);   // halves away from zero
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

namespace {

// Truncation toward zero into an int, saturating far off the map.
int TruncToInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= static_cast<double>(std::numeric_limits<int>::max() / 2))
        return std::numeric_limits<int>::max() / 2;
    if (t <= static_cast<double>(std::numeric_limits<int>::min() / 2))
        return std::numeric_limits<int>::min() / 2;
    return static_cast<int>(t);
}

int FloorToInt(double value)
{
    return TruncToInt(std::floor(value));
}

} // namespace

// ---------------------------------------------------------------- polygon

void MapPolygon::Clear()
{
    m_points.clear();
    m_bounds = MapRect();
}

void MapPolygon::Add(MapPoint p)
{
    if (m_points.empty()) {
        m_bounds = MapRect {p.x, p.y, 0, 0};
    } else {
        const int right = std::max(m_bounds.x + m_bounds.width, p.x);
        const int bottom = std::max(m_bounds.y + m_bounds.height, p.y);
        m_bounds.x = std::min(m_bounds.x, p.x);
        m_bounds.y = std::min(m_bounds.y, p.y);
        m_bounds.width = right - m_bounds.x;
        m_bounds.height = bottom - m_bounds.y;
    }
    m_points.push_back(p);
}

MapRect MapPolygon::Bounds() const
{
    return m_bounds;
}

bool MapPolygon::Contains(MapPoint p) const
{
    if (m_points.size() < 3 || !m_bounds.Contains(p))
        return false;
    // Crossing count of a ray from the pixel centre to the right.
    const double px = p.x + 0.5, py = p.y + 0.5;
    bool inside = false;
    const size_t n = m_points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = m_points[i].x, yi = m_points[i].y;
        const double xj = m_points[j].x, yj = m_points[j].y;
        if ((yi > py) != (yj > py)) {
            const double xCross = xj + (py - yj) * (xi - xj) / (yi - yj);
            if (px < xCross)
                inside = !inside;
        }
    }
    return inside;
}

// ---------------------------------------------------------------- conversions

MapPoint CMapView::WorldToView(double lat, double lon) const
{
    double t = m_lonOffset + lon;
    if (t < 0)
        t += 360.0;
    const int x = TruncToInt(m_mapWidth * (t / 360.0)) - m_scrollX;
    const int y = TruncToInt(m_mapHeight * ((90.0 - lat) / 180.0)) - m_scrollY;
    return MapPoint {x, y};
}

void CMapView::ViewToWorld(int x, int y, double& lat, double& lon) const
{
    const long long mx = static_cast<long long>(x) + m_scrollX;
    const long long my = static_cast<long long>(y) + m_scrollY;
    lon = static_cast<double>(mx * 360) / m_mapWidth - m_lonOffset;
    if (lon > 180.0)
        lon -= 360.0;
    lat = static_cast<double>((m_mapHeight - my) * 180) / m_mapHeight - 90.0;
}

MapPoint CMapView::SubMapToView(double lat, double lon) const
{
    const double left = m_subMapOrigin.m_lon, top = m_subMapOrigin.m_lat;
    if (left * lon < 0)
        lon += 360.0;
    // Pixels counted from the left and top edges keep their sign, so that a
    // vertex beyond an edge stays beyond it.
    const int x = FloorToInt((lon - left) * m_pixelsPerDegree) - m_scrollX;
    const int y = FloorToInt((top - lat) * m_pixelsPerDegree) - m_scrollY;
    return MapPoint {x, y};
}

void CMapView::ViewToSubMap(int x, int y, double& lat, double& lon) const
{
    lon = (static_cast<double>(x) + m_scrollX) / m_pixelsPerDegree + m_subMapOrigin.m_lon;
    if (lon > 180.0)
        lon -= 360.0;
    lat = m_subMapOrigin.m_lat - (static_cast<double>(y) + m_scrollY) / m_pixelsPerDegree;
}

// ---------------------------------------------------------------- zoom and centre

void CMapView::LimitZoom()
{
    m_zoom = std::min(m_maxZoom, m_zoom);
    m_zoom = std::max(m_minZoom, m_zoom);
    if (m_zoom > kWorldMaxZoom)
        m_zoom = kWorldMaxZoom;
    else if (m_zoom < kWorldMinZoom || !std::isfinite(m_zoom))
        m_zoom = kWorldMinZoom;
}

MapPoint CMapView::CentreInMap(int clientWidth, int clientHeight) const
{
    return MapPoint {DeviceToView(clientWidth / 2, m_zoom) + m_scrollX,
                     DeviceToView(clientHeight / 2, m_zoom) + m_scrollY};
}

void CMapView::CentreOn(MapPoint p, int clientWidth, int clientHeight)
{
    m_scrollX = std::max(0, p.x - DeviceToView(clientWidth, m_zoom) / 2);
    m_scrollY = std::max(0, p.y - DeviceToView(clientHeight, m_zoom) / 2);
}

void CMapView::ZoomInBy(int clientWidth, int clientHeight)
{
    const MapPoint centre = CentreInMap(clientWidth, clientHeight);
    m_zoom *= 1.2;
    LimitZoom();
    CentreOn(centre, clientWidth, clientHeight);
}

bool CMapView::ZoomOutBy(int clientWidth, int clientHeight)
{
    if (m_zoom == m_minZoom)
        return false;
    const MapPoint centre = CentreInMap(clientWidth, clientHeight);
    m_zoom /= 1.2;
    LimitZoom();
    CentreOn(centre, clientWidth, clientHeight);
    return true;
}

void CMapView::SetBox(float lat, float lon, float sizeDeg, int ewFlag, int nsFlag, int zoom, int clientWidth,
                      int clientHeight)
{
    if (ewFlag == 1)
        lon = -lon;
    if (nsFlag == 1)
        lat = -lat;
    // Beyond these the box would lie off the map or wrap it: what is shown
    // is the same, and no pixel arithmetic below can overflow.
    const auto limit = [](float value, float bound) {
        return std::isnan(value) ? 0.0f : std::clamp(value, -bound, bound);
    };
    lat = limit(lat, 1000.0f);
    lon = limit(lon, 1000.0f);
    sizeDeg = limit(sizeDeg, static_cast<float>(kMaxBoxWidth));
    const float half = sizeDeg / 2;
    // Corners on the whole map, the scroll not subtracted.
    CMapView whole = *this;
    whole.m_scrollX = whole.m_scrollY = 0;
    const MapPoint nw = whole.WorldToView(lat + half, lon - half);
    const MapPoint se = whole.WorldToView(lat - half, lon + half);
    m_highlightBox.x = std::min(nw.x, se.x);
    m_highlightBox.y = std::min(nw.y, se.y);
    m_highlightBox.width = std::abs(se.x - nw.x) + 1;
    m_highlightBox.height = std::abs(se.y - nw.y) + 1;
    const MapRect& b = m_highlightBox;
    const MapPoint centre {(b.width + 2 * b.x - 1) / 2, (b.height + 2 * b.y - 1) / 2};
    if (zoom >= 0)
        m_zoom = zoom;
    else if (b.width > b.height)
        m_zoom = m_mapWidth * 0.125 / b.width * 0.7;
    else
        m_zoom = m_mapHeight * 0.125 / b.height * 0.7;
    LimitZoom();
    CentreOn(centre, clientWidth, clientHeight);
}

void CMapView::SwitchWorld(double zoom)
{
    m_zoom = zoom;
    m_lonOffset = m_lonOffset == 180.0 ? 0.0 : 180.0;
    m_highlightBox.x -= m_mapWidth / 2;
    if (m_highlightBox.x < 0)
        m_highlightBox.x += m_mapWidth;
    m_scrollX = m_scrollY = 0;
    LimitZoom();
}

void CMapView::SetWorld()
{
    m_lonOffset = 180.0;
    m_scrollX = m_scrollY = 0;
    m_mapWidth = kWorldMapWidth;
    m_mapHeight = kWorldMapHeight;
}

void CMapView::SetSubMap(double zoom, double topLat, double leftLon, double pixelsPerDegree, int width, int height)
{
    m_zoom = zoom;
    m_subMapOrigin.m_lat = topLat;
    m_subMapOrigin.m_lon = leftLon;
    m_pixelsPerDegree = pixelsPerDegree > 0 ? pixelsPerDegree : kWorldMapWidth / 360.0;
    m_mapWidth = width;
    m_mapHeight = height;
    m_scrollX = m_scrollY = 0;
    m_lonOffset = 180.0;
    LimitZoom();
}

// ---------------------------------------------------------------- mouse

bool CMapView::FinishBand(MapPoint start, MapPoint end, int clientWidth, int clientHeight)
{
    const int dx = end.x - start.x;
    const int dy = end.y - start.y;
    if (dy < 6 || dx < 6)
        return false;
    const int w = DeviceToView(dx, m_zoom);
    const int h = DeviceToView(dy, m_zoom);
    const int x0 = DeviceToView(start.x, m_zoom) + m_scrollX;
    const int y0 = DeviceToView(start.y, m_zoom) + m_scrollY;
    const int cx = (w + 2 * x0) / 2;
    const int cy = (h + 2 * y0) / 2;
    const int half = (std::max(w, h) + 1) / 2;
    const int side = 2 * half + 5;
    m_highlightBox = MapRect {cx - half - 2, cy - half - 2, side, side};

    // The square is never wider than high: the client height decides.
    m_zoom = static_cast<double>(clientHeight) / side;
    LimitZoom();
    CentreOn(MapPoint {cx, cy}, clientWidth, clientHeight);

    ViewToWorld(cx - m_scrollX, cy - m_scrollY, m_boxCentreLat, m_boxCentreLon);
    m_centreLat = static_cast<float>(m_boxCentreLat);
    m_centreLon = static_cast<float>(m_boxCentreLon);
    m_ewFlag = m_centreLon < 0 ? 3 : 2;
    m_nsFlag = m_centreLat < 0 ? 1 : 0;
    m_boxSizeDeg = side * 360.0 / m_mapWidth;
    return true;
}

void CMapView::ZoomAtClick(MapPoint device, int clientWidth, int clientHeight)
{
    const MapPoint p {DeviceToView(device.x, m_zoom) + m_scrollX, DeviceToView(device.y, m_zoom) + m_scrollY};
    m_zoom *= 2;
    LimitZoom();
    CentreOn(p, clientWidth, clientHeight);
}

void CMapView::FinishPan(MapPoint delta, int clientWidth, int clientHeight)
{
    m_scrollX -= DeviceToView(delta.x, m_zoom);
    m_scrollY -= DeviceToView(delta.y, m_zoom);
    const int rightEdge = ViewToDevice(m_mapWidth - m_scrollX, m_zoom);
    const int bottomEdge = ViewToDevice(m_mapHeight - m_scrollY, m_zoom);
    if (rightEdge < clientWidth)
        m_scrollX -= DeviceToView(clientWidth - rightEdge, m_zoom);
    if (bottomEdge < clientHeight)
        m_scrollY -= DeviceToView(clientHeight - bottomEdge, m_zoom);
    m_scrollX = std::max(0, m_scrollX);
    m_scrollY = std::max(0, m_scrollY);
}

void CMapView::PointerPosition(MapPoint device, bool subMap, double& lat, double& lon) const
{
    const int vx = DeviceToView(device.x, m_zoom);
    const int vy = DeviceToView(device.y, m_zoom);
    if (subMap)
        ViewToSubMap(vx, vy, lat, lon);
    else
        ViewToWorld(vx, vy, lat, lon);
}

bool CMapView::HomeDrawn(double lat, double lon, bool plotHome, bool subMap) const
{
    if (!plotHome)
        return false;
    if (lat == 0.0 || !(lat > -89.9 && lat < 90.0))
        return false;
    if (lon == 0.0 || !(lon > -179.9 && lon < 181.0))
        return false;
    if (subMap) {
        const double left = m_subMapOrigin.m_lon;
        if (left * lon < 0)
            lon += 360.0;
        if (lon < left || lat > m_subMapOrigin.m_lat)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- texts

std::string FormatFixed(double value, int decimals)
{
    char buf[400];
    if (!std::isfinite(value))
        return "0";
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return "0";
    return std::string(buf, r.ptr);
}

EnlargedPart EnlargedPartOf(const CMapView& view, int clientWidth, int clientHeight)
{
    EnlargedPart part;
    if (!(view.m_zoom > 0.0) || clientWidth <= 0 || clientHeight <= 0)
        return part;
    const int x = std::max(view.m_scrollX, 0);
    const int y = std::max(view.m_scrollY, 0);
    const auto span = [&](int client, int from, int size) {
        const double wanted = std::ceil(client / view.m_zoom) + 1.0;
        return std::max(0, std::min(size - from, static_cast<int>(std::min(wanted, double(size)))));
    };
    const int w = span(clientWidth, x, view.m_mapWidth);
    const int h = span(clientHeight, y, view.m_mapHeight);
    if (w <= 0 || h <= 0)
        return part;
    part.source = MapRect {x, y, w, h};
    part.width = std::max(1, Nearest(w * view.m_zoom));
    part.height = std::max(1, Nearest(h * view.m_zoom));
    return part;
}

bool BoxWidthInRange(double width)
{
    return tw::AreaWidthInRange(width);
}

std::string BoxWidthRefusal()
{
    return "Width must be a number of degrees " + tw::AreaWidthRangeText() + ".";
}

std::string WidthFieldText(double width)
{
    if (!std::isfinite(width))
        return "0";
    const double whole = std::trunc(width);
    return whole == 0.0 ? std::string("0") : FormatFixed(whole, 0);
}

PickerFields PickerFieldsOf(const CMapView& view)
{
    PickerFields f;
    f.latText = FormatFixed(std::fabs(view.m_centreLat), 3);
    f.lonText = FormatFixed(std::fabs(view.m_centreLon), 3);
    f.nsIndex = view.m_nsFlag != 0 ? 1 : 0;
    f.ewIndex = view.m_ewFlag != 2 ? 1 : 0;
    const double side = std::fabs(view.m_boxSizeDeg);
    f.widthText = WidthFieldText(side);
    return f;
}

PickerFields PickerFieldsOf(double lat, double lon, double width)
{
    PickerFields f;
    f.latText = FormatFixed(std::fabs(lat), 3);
    f.lonText = FormatFixed(std::fabs(lon), 3);
    f.nsIndex = lat < 0 ? 1 : 0;
    f.ewIndex = lon < 0 ? 1 : 0;
    f.widthText = WidthFieldText(std::fabs(width));
    return f;
}

std::string StatusText(const std::string& latText, const std::string& ns, const std::string& lonText,
                       const std::string& ew)
{
    return latText + ns + " - " + lonText + ew;
}

std::string HomeTipText(const std::string& latText, const std::string& ns, const std::string& lonText,
                        const std::string& ew)
{
    return latText + ns + " " + lonText + ew;
}

std::string BuoyTipText(const std::string& stationId, const std::string& name, double lat, double lon)
{
    return stationId + "\n" + name + "\n" + FormatFixed(lat, 4) + "/" + FormatFixed(lon, 4);
}

std::string ZoneTipText(const std::string& zcode, const std::string& description)
{
    return zcode + "\n" + description;
}

} // namespace mapgeo
