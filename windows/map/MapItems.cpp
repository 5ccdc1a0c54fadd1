// The map's items: buoys and forecast zones (their copies, where they lie
// in the view and how they are drawn) and the home marker.
#include "windows/map/MapItems.h"

#include <vector>

#include <wx/arrimpl.cpp>
#include <wx/dc.h>

#include "windows/map/MapPanel.h"

WX_DEFINE_OBJARRAY(BuoyArray);
WX_DEFINE_OBJARRAY(PositionArray);
WX_DEFINE_OBJARRAY(WeatherZoneArray);

using mapgeo::MapPoint;

// ---------------------------------------------------------------- items

Buoy::Buoy()
    : m_x(0), m_y(0), m_hitRect(0, 0, 0, 0), m_lat(0.0), m_lon(0.0), m_selected(false), m_changed(false)
{
}

Buoy::Buoy(const Buoy& o)
    : wxObject(), m_x(o.m_x), m_y(o.m_y), m_hitRect(o.m_hitRect), m_stationID(o.m_stationID),
      m_buoyName(o.m_buoyName), m_lat(o.m_lat), m_lon(o.m_lon), m_selected(o.m_selected), m_changed(o.m_changed)
{
}

Buoy& Buoy::operator=(const Buoy& o)
{
    m_x = o.m_x;
    m_y = o.m_y;
    m_hitRect = o.m_hitRect;
    m_stationID = o.m_stationID;
    m_buoyName = o.m_buoyName;
    m_lat = o.m_lat;
    m_lon = o.m_lon;
    m_selected = o.m_selected;
    m_changed = o.m_changed;
    return *this;
}

Buoy::~Buoy() = default;

WeatherZone::WeatherZone() : m_selected(false), m_changed(false) {}

WeatherZone::WeatherZone(const WeatherZone& o)
    : wxObject(), m_outline(o.m_outline), m_region(o.m_region), m_zcode(o.m_zcode), m_description(o.m_description),
      m_selected(o.m_selected), m_changed(o.m_changed), m_colour(o.m_colour)
{
}

WeatherZone& WeatherZone::operator=(const WeatherZone& o)
{
    m_outline = o.m_outline;
    m_region = o.m_region;
    m_zcode = o.m_zcode;
    m_description = o.m_description;
    m_selected = o.m_selected;
    m_changed = o.m_changed;
    m_colour = o.m_colour;
    return *this;
}

WeatherZone::~WeatherZone() = default;

// ---------------------------------------------------------------- buoys

void wxMapPanel::CreateBuoy(double lat, double lon, wxString BuoyName, wxString StationID, bool selected, wxDC*)
{
    Buoy b;
    const MapPoint v = WorldToView(lat, lon);
    b.m_x = mapgeo::ViewToDevice(v.x, m_zoom);
    b.m_y = mapgeo::ViewToDevice(v.y, m_zoom);
    b.m_hitRect = wxRect(b.m_x - 4, b.m_y - 4, 9, 9);
    b.m_stationID = StationID;
    b.m_buoyName = BuoyName;
    b.m_lat = lat;
    b.m_lon = lon;
    b.m_selected = selected;
    b.m_changed = false;
    m_buoys.Add(b);
}

void wxMapPanel::UpdateBuoyCoords()
{
    for (size_t i = 0; i < m_buoys.GetCount(); ++i) {
        Buoy& b = m_buoys[i];
        const MapPoint v = WorldToView(b.m_lat, b.m_lon);
        b.m_x = mapgeo::ViewToDevice(v.x, m_zoom);
        b.m_y = mapgeo::ViewToDevice(v.y, m_zoom);
        b.m_hitRect = wxRect(b.m_x - 4, b.m_y - 4, 9, 9);
    }
}

void wxMapPanel::DrawBuoy(int index, wxDC* dc)
{
    if (!dc || index < 0 || index >= int(m_buoys.GetCount()))
        return;
    const Buoy& b = m_buoys[index];
    dc->SetUserScale(1.0, 1.0);
    dc->SetBrush(b.m_selected ? wxBrush(wxColour(0, 255, 0)) : wxBrush(wxColour(255, 255, 0)));
    dc->SetPen(wxPen(wxColour(0, 0, 0), 1, wxPENSTYLE_SOLID));
    const wxPoint diamond[4] = {wxPoint(b.m_x - 4, b.m_y), wxPoint(b.m_x, b.m_y - 4), wxPoint(b.m_x + 4, b.m_y),
                                wxPoint(b.m_x, b.m_y + 4)};
    dc->DrawPolygon(4, diamond, 0, 0, wxODDEVEN_RULE);
}

void wxMapPanel::DrawAllBuoys(wxDC* dc)
{
    for (size_t i = 0; i < m_buoys.GetCount(); ++i)
        DrawBuoy(int(i), dc);
    Refresh(false);
}

// ---------------------------------------------------------------- zones

void wxMapPanel::CreateWeatherZone(PositionArray& outline, wxString zcode, wxString description, wxColour colour,
                                   bool selected)
{
    WeatherZone z;
    z.m_outline = outline;
    z.m_zcode = zcode;
    z.m_description = description;
    z.m_selected = selected;
    z.m_changed = false;
    z.m_colour = colour;
    m_zones.Add(z);
}

void wxMapPanel::UpdateWeatherZoneCoords()
{
    for (size_t i = 0; i < m_zones.GetCount(); ++i) {
        WeatherZone& z = m_zones[i];
        z.m_region.Clear();
        MapPoint last;
        for (size_t k = 0; k < z.m_outline.GetCount(); ++k) {
            const Position& p = z.m_outline[k];
            const MapPoint v = SubMapToView(p.m_lat, p.m_lon);
            if (k > 0 && v == last)
                continue;
            last = v;
            z.m_region.Add(MapPoint {mapgeo::ViewToDevice(v.x, m_zoom), mapgeo::ViewToDevice(v.y, m_zoom)});
        }
    }
}

void wxMapPanel::DrawWeatherZone(int index, wxDC* dc)
{
    if (!dc || index < 0 || index >= int(m_zones.GetCount()))
        return;
    const WeatherZone& z = m_zones[index];
    const wxBrush fill(z.m_colour);
    const wxBrush hatch(wxColour(0, 0, 0), wxBRUSHSTYLE_CROSSDIAG_HATCH);
    dc->SetUserScale(1.0, 1.0);
    dc->SetPen(wxPen(wxColour(0, 0, 0), 1, wxPENSTYLE_SOLID));
    std::vector<wxPoint> part;
    part.reserve(z.m_outline.GetCount());
    const size_t n = z.m_outline.GetCount();
    for (size_t k = 0; k < n; ++k) {
        const Position& p = z.m_outline[k];
        const MapPoint v = SubMapToView(p.m_lat, p.m_lon);
        part.emplace_back(mapgeo::ViewToDevice(v.x, m_zoom), mapgeo::ViewToDevice(v.y, m_zoom));
        if (k + 1 == n || z.m_outline[k + 1].m_part != p.m_part) {
            dc->SetBrush(fill);
            dc->DrawPolygon(int(part.size()), part.data(), 0, 0, wxODDEVEN_RULE);
            if (z.m_selected) {
                dc->SetBrush(hatch);
                dc->DrawPolygon(int(part.size()), part.data(), 0, 0, wxODDEVEN_RULE);
            }
            part.clear();
        }
    }
}

// ---------------------------------------------------------------- home marker

void wxMapPanel::DrawHome(double lat, double lon, wxDC* dc)
{
    const MapPoint v = m_mode == kZoneSubMap ? SubMapToView(lat, lon) : WorldToView(lat, lon);
    const int x = mapgeo::ViewToDevice(v.x, m_zoom);
    const int y = mapgeo::ViewToDevice(v.y, m_zoom);
    if (dc) {
        dc->SetUserScale(1.0, 1.0);
        if (m_homeBitmap.IsOk())
            dc->DrawBitmap(m_homeBitmap, x - 9, y - 9, false);
    }
    m_homeRegion = wxRect(x - 9, y - 9, 18, 18);
}
