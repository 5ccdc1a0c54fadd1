#include "windows/map/MapPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/wizard.h>

#include "core/PositionText.h"
#include "platform/Locations.h"

wxDEFINE_EVENT(wxEVT_MAP_BOX, MapBoxEvent);

namespace {

using mapgeo::MapPoint;

MapPoint ToMapPoint(const wxPoint& p)
{
    return MapPoint {p.x, p.y};
}

wxString FromUtf8(const std::string& s)
{
    return wxString::FromUTF8(s.c_str());
}

std::string ToUtf8(const wxString& s)
{
    return std::string(s.utf8_str());
}

// A picture named relative to the resources folder, or an absolute path.
wxString ResourcePath(const wxString& name)
{
    if (wxFileName(name).IsAbsolute())
        return name;
    return tw::ResourcesDir() + "/" + name;
}

const char* const kHomeIcons[] = {
    "res/PointerIcon-Crosshair-25.png", "res/PointerIcon-Yacht-25.png", "res/PointerIcon-Sailboat-25.png",
    "res/PointerIcon-Home-25.png", "res/PointerIcon-Hiker-25.png",
};

} // namespace

// ---------------------------------------------------------------- construction

wxBEGIN_EVENT_TABLE(wxMapPanel, wxPanel)
    EVT_MOTION(wxMapPanel::OnMoveMouse)
    EVT_LEFT_DOWN(wxMapPanel::OnLeftDownMouse)
    EVT_LEFT_UP(wxMapPanel::OnLeftUpMouse)
    EVT_LEFT_DCLICK(wxMapPanel::OnLeftDClick)
    EVT_MOUSE_EVENTS(wxMapPanel::OnMouse)
    EVT_PAINT(wxMapPanel::paintEvent)
    EVT_SIZE(wxMapPanel::OnSize)
    EVT_MOUSE_CAPTURE_LOST(wxMapPanel::OnCaptureLost)
wxEND_EVENT_TABLE()

wxMapPanel::wxMapPanel(wxWizardPageSimple* parent, const wxString&, wxBitmapType, int mode,
                       const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(600, 300), mode);
    InitBuoys();
}

wxMapPanel::wxMapPanel(wxDialog* parent, const wxString&, wxBitmapType, int mode, const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(600, 300), mode);
}

wxMapPanel::wxMapPanel(wxDialog* parent, const wxString&, wxBitmapType, const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(600, 300), kCentreWidthPicker);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxFrame* parent, const wxString&, wxBitmapType, int mode, int width, int height,
                       const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(width, height), mode);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxPanel* parent, const wxString&, wxBitmapType, int mode, int width, int height,
                       const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(width, height), mode);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxFrame* parent, const wxString&, wxBitmapType, const MapInputs& inputs)
    : m_inputs(inputs)
{
    Construct(parent, wxSize(600, 300), kMainWindow);
    InitWorldZoom();
}

void wxMapPanel::Construct(wxWindow* parent, const wxSize& size, int mode)
{
    m_bandActive = false;
    m_panState = 0;
    m_tipWindow = nullptr;
    m_showZones = false;
    m_showBuoys = false;
    m_mode = mode;
    m_statusLabel = nullptr;
    m_hoverIndex = -1;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    wxPanel::Create(parent, wxID_ANY, wxDefaultPosition, size, wxTAB_TRAVERSAL | wxBORDER_NONE);
    SetInitialSize(size);
    m_rubberBand = wxRubberBand(this);
    Init();
}

wxMapPanel::~wxMapPanel()
{
    CloseTip();
    if (HasCapture())
        ReleaseMouse();
}

wxSize wxMapPanel::ClientSize() const
{
    return GetClientSize();
}

// ---------------------------------------------------------------- view state

void wxMapPanel::Init()
{
    m_bandActive = false;
    CloseTip();
    m_zoom = kWorldMinZoom;
    m_panState = 0;
    m_dragBitmap = wxNullBitmap;
    m_frameBitmap = wxNullBitmap;
    m_hoverIndex = -1;

    const int icon = m_inputs.homeIconIndex;
    if (icon >= 0 && icon < int(WXSIZEOF(kHomeIcons))) {
        wxImage image;
        if (image.LoadFile(ResourcePath(kHomeIcons[icon]), wxBITMAP_TYPE_PNG)) {
            if (image.HasMask() && !image.HasAlpha())
                image.InitAlpha();
            m_homeImage = image;
            m_homeBitmap = wxBitmap(m_homeImage);
        }
    }

    static const unsigned char palette[10][3] = {
        {255, 182, 193}, {255, 131, 250}, {224, 102, 255}, {171, 130, 255}, {176, 196, 222},
        {152, 245, 255}, {0, 255, 127},   {255, 255, 0},   {255, 250, 205}, {238, 149, 114},
    };
    for (int i = 0; i < 10; ++i)
        m_zonePalette[i] = wxColour(palette[i][0], palette[i][1], palette[i][2]);
}

void wxMapPanel::InitWorldZoom()
{
    m_mapBitmap = m_inputs.worldMap;   // shared, never copied
    SetWorld();
    m_showZones = false;
    m_showBuoys = false;
}

void wxMapPanel::InitBuoys()
{
    InitWorldZoom();
    m_showBuoys = true;
}

void wxMapPanel::InitWeatherzones(wxString bitmapName, panel_init_vars vars, wxArrayString zcodes)
{
    if (bitmapName == wxS("res/WorldmapTiffAnti.png")) {
        m_mapBitmap = m_inputs.worldMapAnti;
    } else if (bitmapName == wxS("res/WorldmapTiff.png")) {
        m_mapBitmap = m_inputs.worldMap;
    } else {
        wxBitmap loaded;
        if (loaded.LoadFile(ResourcePath(bitmapName), wxBITMAP_TYPE_PNG))
            m_mapBitmap = loaded;
        else
            m_mapBitmap = wxNullBitmap;
    }
    SetSubMap(vars.zoom, vars.topLat, vars.leftLon, vars.pixelsPerDegree, vars.width, vars.height);
    CreateWeatherZoneArray(zcodes);
    m_showZones = true;
    m_showBuoys = false;
}

wxPoint wxMapPanel::MapToLogical(double lat, double lon) const
{
    const MapPoint p = WorldToView(lat, lon);
    return wxPoint(p.x, p.y);
}

void wxMapPanel::LogicalToMap(int x, int y, double& lat, double& lon) const
{
    ViewToWorld(x, y, lat, lon);
}

wxPoint wxMapPanel::SubMapToLogical(double lat, double lon) const
{
    const MapPoint p = SubMapToView(lat, lon);
    return wxPoint(p.x, p.y);
}

void wxMapPanel::LogicalToSubMap(int x, int y, double& lat, double& lon) const
{
    ViewToSubMap(x, y, lat, lon);
}

void wxMapPanel::ZoomIn()
{
    const wxSize s = ClientSize();
    ZoomInBy(s.x, s.y);
    Refresh();
}

bool wxMapPanel::ZoomOut()
{
    const wxSize s = ClientSize();
    if (!ZoomOutBy(s.x, s.y))
        return false;
    Refresh();
    return true;
}

void wxMapPanel::CenterOnLogicalPoint(wxPoint p)
{
    const wxSize s = ClientSize();
    CentreOn(ToMapPoint(p), s.x, s.y);
}

wxPoint wxMapPanel::GetCurrentCenterInLogicalUnits() const
{
    const wxSize s = GetClientSize();
    const MapPoint p = CentreInMap(s.x, s.y);
    return wxPoint(p.x, p.y);
}

void wxMapPanel::SetZoom0Rect(float lat, float lon, float sizeDeg, int ewFlag, int nsFlag, int zoom)
{
    const wxSize s = ClientSize();
    SetBox(lat, lon, sizeDeg, ewFlag, nsFlag, zoom, s.x, s.y);
    Refresh();
}

void wxMapPanel::LoadWorldMap(double zoom)
{
    SwitchWorld(zoom);
    m_mapBitmap = m_lonOffset == 0.0 ? m_inputs.worldMapAnti : m_inputs.worldMap;
    Refresh();
}

// ---------------------------------------------------------------- painting

void wxMapPanel::DrawMapLayer(wxDC& dc)
{
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    if (!m_mapBitmap.IsOk())
        return;
    if (m_zoom > 1.0) {
        // Enlarged: the part in view, scaled smoothly. Drawn through the
        // zoom, every map pixel would become a block.
        const wxBitmap view = EnlargedView();
        if (view.IsOk()) {
            dc.DrawBitmap(view, 0, 0, false);
            return;
        }
    }
    // The shared bitmap is drawn through the zoom; it is never copied or
    // selected into a context of its own.
    dc.SetUserScale(m_zoom, m_zoom);
    dc.DrawBitmap(m_mapBitmap, -std::max(m_scrollX, 0), -std::max(m_scrollY, 0), false);
    dc.SetUserScale(1.0, 1.0);
}

wxBitmap wxMapPanel::EnlargedView() const
{
    const wxSize s = ClientSize();
    // Within the picture as it is, whatever size the view was given for it.
    mapgeo::CMapView view = *this;
    view.m_mapWidth = std::min(m_mapWidth, m_mapBitmap.GetWidth());
    view.m_mapHeight = std::min(m_mapHeight, m_mapBitmap.GetHeight());
    const mapgeo::EnlargedPart part = mapgeo::EnlargedPartOf(view, s.x, s.y);
    if (part.source.width <= 0)
        return wxNullBitmap;
    const mapgeo::MapRect& r = part.source;
    const wxImage piece = m_mapBitmap.GetSubBitmap(wxRect(r.x, r.y, r.width, r.height)).ConvertToImage();
    return wxBitmap(piece.Scale(part.width, part.height, wxIMAGE_QUALITY_BILINEAR));
}

void wxMapPanel::DrawHighlightBox(wxDC& dc)
{
    const mapgeo::MapRect& b = m_highlightBox;
    if (b.width <= 0 || b.height <= 0)
        return;
    const int vx = b.x - std::max(m_scrollX, 0);
    const int vy = b.y - std::max(m_scrollY, 0);
    const int x0 = mapgeo::ViewToDevice(vx, m_zoom);
    const int y0 = mapgeo::ViewToDevice(vy, m_zoom);
    const int x1 = mapgeo::ViewToDevice(vx + b.width - 1, m_zoom);
    const int y1 = mapgeo::ViewToDevice(vy + b.height - 1, m_zoom);
    // One map pixel wide, never thinner than one device pixel.
    dc.SetPen(wxPen(wxColour(255, 0, 0), std::max(1, mapgeo::Nearest(m_zoom)), wxPENSTYLE_SOLID));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(x0, y0, std::max(1, x1 - x0 + 1), std::max(1, y1 - y0 + 1));
}

void wxMapPanel::Render(wxDC& dc)
{
    DrawMapLayer(dc);
    DrawHighlightBox(dc);
    const wxRect client(wxPoint(0, 0), ClientSize());
    if (m_showZones) {
        UpdateWeatherZoneCoords();
        for (size_t i = 0; i < m_zones.GetCount(); ++i) {
            const mapgeo::MapRect r = m_zones[i].m_region.Bounds();
            if (wxRect(r.x, r.y, r.width + 1, r.height + 1).Intersects(client))
                DrawWeatherZone(int(i), &dc);
        }
    }
    if (m_showBuoys) {
        UpdateBuoyCoords();
        for (size_t i = 0; i < m_buoys.GetCount(); ++i)
            if (m_buoys[i].m_hitRect.Intersects(client))
                DrawBuoy(int(i), &dc);
    }
    if (const HomePosition* home = m_inputs.home)
        if (HomeDrawn(home->lat, home->lon, home->valid, m_mode == kZoneSubMap))
            DrawHome(home->lat, home->lon, &dc);
    dc.SetUserScale(1.0, 1.0);
}

wxBitmap wxMapPanel::Snapshot(bool mapOnly)
{
    const wxSize s = ClientSize();
    wxBitmap bitmap(std::max(1, s.x), std::max(1, s.y), 24);
    wxMemoryDC mem(bitmap);
    if (mapOnly)
        DrawMapLayer(mem);
    else
        Render(mem);
    mem.SelectObject(wxNullBitmap);
    return bitmap;
}

void wxMapPanel::paintEvent(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (m_panState == 2 && m_dragBitmap.IsOk()) {
        // While panning the picture of the map taken at the start moves with
        // the pointer; the map itself is drawn again at the release.
        dc.SetBackground(wxBrush(GetBackgroundColour()));
        dc.Clear();
        dc.DrawBitmap(m_dragBitmap, m_panDelta.x, m_panDelta.y, false);
        return;
    }
    if (m_bandActive && m_rubberBand.IsShown() && m_frameBitmap.IsOk()) {
        // While a band is drawn the map is not drawn again.
        dc.DrawBitmap(m_frameBitmap, 0, 0, false);
        m_rubberBand.Draw(dc);
        return;
    }
    Render(dc);
}

void wxMapPanel::OnSize(wxSizeEvent& event)
{
    Refresh(true);
    event.Skip();
}

// ---------------------------------------------------------------- mouse

void wxMapPanel::OnLeftDownMouse(wxMouseEvent& event)
{
    // A press closes the tip, as on any tool tip; the press itself is the map's.
    CloseTip();
    // A press with Ctrl (Command on macOS) only selects at its release.
    if (event.ControlDown())
        return;
    m_bandStart = m_bandEnd = event.GetPosition();
    m_bandActive = true;
}

void wxMapPanel::OnMoveMouse(wxMouseEvent& event)
{
    const wxPoint p = event.GetPosition();
    m_bandEnd = p;
    if (event.LeftIsDown() && m_bandActive) {
        if (!m_rubberBand.IsShown())
            m_frameBitmap = Snapshot(false);
        m_rubberBand.SetGeometry(m_bandStart.x, m_bandStart.y, p.x - m_bandStart.x, p.y - m_bandStart.y);
    } else if (m_rubberBand.IsShown()) {
        // The button went up where this window did not see it: the band
        // disappears and the map is drawn live again.
        m_rubberBand.ClearOldRubberRect();
        m_frameBitmap = wxNullBitmap;
    }
    ShowStatus(p);
    OnMouse(event);
}

void wxMapPanel::ShowStatus(const wxPoint& p)
{
    if (!m_statusLabel)
        return;
    double lat = 0.0, lon = 0.0;
    PointerPosition(ToMapPoint(p), m_mode == kZoneSubMap, lat, lon);
    wxString lonText, ew, latText, ns;
    tw::FormatPosition(lon, lat, lonText, ew, latText, ns);
    m_statusLabel->SetLabel(FromUtf8(mapgeo::StatusText(ToUtf8(latText), ToUtf8(ns), ToUtf8(lonText), ToUtf8(ew))));
}

void wxMapPanel::OnLeftUpMouse(wxMouseEvent& event)
{
    const wxPoint p = event.GetPosition();
    bool boxMade = false;
    if (m_bandActive) {
        m_rubberBand.ClearOldRubberRect();
        m_frameBitmap = wxNullBitmap;
        const wxSize s = ClientSize();
        boxMade = FinishBand(ToMapPoint(m_bandStart), ToMapPoint(m_bandEnd), s.x, s.y);
        if (boxMade)
            Refresh();
    }
    if (boxMade)
        SendBox();
    else
        ToggleItemsAt(p);
    m_bandActive = false;
}

void wxMapPanel::SendBox()
{
    // The owner stores the box and shows it; unhandled, it changes nothing.
    MapBoxEvent event(wxEVT_MAP_BOX, GetId(), m_centreLat, m_centreLon, m_boxSizeDeg);
    event.SetEventObject(this);
    GetEventHandler()->ProcessEvent(event);
}

void wxMapPanel::ToggleItemsAt(const wxPoint& p)
{
    if (m_showBuoys) {
        for (size_t i = 0; i < m_buoys.GetCount(); ++i) {
            Buoy& b = m_buoys[i];
            if (b.m_hitRect.Contains(p)) {
                b.m_selected = !b.m_selected;
                b.m_changed = true;
                RefreshRect(b.m_hitRect.Inflate(1), false);
            }
        }
    }
    if (m_showZones) {
        for (size_t i = 0; i < m_zones.GetCount(); ++i) {
            WeatherZone& z = m_zones[i];
            if (z.m_region.Contains(ToMapPoint(p))) {
                z.m_selected = !z.m_selected;
                z.m_changed = true;
                const mapgeo::MapRect r = z.m_region.Bounds();
                RefreshRect(wxRect(r.x - 1, r.y - 1, r.width + 3, r.height + 3), false);
            }
        }
    }
}

void wxMapPanel::OnLeftDClick(wxMouseEvent& event)
{
    const wxSize s = ClientSize();
    ZoomAtClick(ToMapPoint(event.GetPosition()), s.x, s.y);
    Refresh();
}

void wxMapPanel::EndPan(const wxPoint& p)
{
    m_panDelta = p - m_panStart;
    if (HasCapture())
        ReleaseMouse();
    m_dragBitmap = wxNullBitmap;
    const wxSize s = ClientSize();
    FinishPan(ToMapPoint(m_panDelta), s.x, s.y);
    Refresh();
}

void wxMapPanel::OnMouse(wxMouseEvent& event)
{
    const wxPoint p = event.GetPosition();
    if (event.Leaving()) {
        // Off the map: no item is under the pointer any more.
        CloseTip();
        m_hoverIndex = -1;
        event.Skip();
        return;
    }
    if (event.RightDown()) {
        CloseTip();
        m_panState = 1;
        m_panStart = p;
        return;
    }
    if (event.RightUp() && m_panState != 0) {
        const bool panning = m_panState == 2;
        m_panState = 0;
        if (panning)
            EndPan(p);
        return;
    }
    if (event.Dragging()) {
        if (m_panState == 2) {
            m_panDelta = p - m_panStart;
            Refresh(false);
            return;
        }
        if (m_panState == 1) {
            if (std::abs(p.x - m_panStart.x) <= 2 && std::abs(p.y - m_panStart.y) <= 2)
                return;
            m_panState = 2;
            m_dragBitmap = Snapshot(true);
            m_panDelta = p - m_panStart;
            if (!HasCapture())
                CaptureMouse();
            Refresh(false);
            return;
        }
    }
    if (event.Moving() || event.Dragging() || event.Entering()) {
        Hover(p, event.ControlDown());
        // A tip lasts while the pointer stays on its item (or on the home
        // marker, which never replaces an open tip).
        if (m_tipWindow && !m_tipBound.Contains(p) && !m_homeRegion.Contains(p))
            CloseTip();
    }
    event.Skip();
}

void wxMapPanel::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    // Another window took the pointer: the pan ends where it was last shown.
    if (m_panState == 2) {
        m_panState = 0;
        EndPan(m_panStart + m_panDelta);
    }
    m_panState = 0;
}

void wxMapPanel::Hover(const wxPoint& p, bool controlDown)
{
    if (m_homeRegion.Contains(p) && m_inputs.home) {
        m_hoverIndex = -1;
        if (!m_tipWindow) {
            const HomePosition home = *m_inputs.home;
            wxString lonText, ew, latText, ns;
            tw::FormatPosition(home.lon, home.lat, lonText, ew, latText, ns);
            OpenTip(FromUtf8(mapgeo::HomeTipText(ToUtf8(latText), ToUtf8(ns), ToUtf8(lonText), ToUtf8(ew))),
                    m_homeRegion);
        }
        return;
    }
    if (m_bandActive || controlDown)
        return;
    if (m_showBuoys) {
        const int count = int(m_buoys.GetCount());
        if (m_hoverIndex >= 0 && m_hoverIndex < count && m_buoys[m_hoverIndex].m_hitRect.Contains(p))
            return;
        for (int i = 0; i < count; ++i) {
            if (i == m_hoverIndex || !m_buoys[i].m_hitRect.Contains(p))
                continue;
            CloseTip();
            m_hoverIndex = i;
            const Buoy& b = m_buoys[i];
            OpenTip(FromUtf8(mapgeo::BuoyTipText(ToUtf8(b.m_stationID), ToUtf8(b.m_buoyName), b.m_lat, b.m_lon)),
                    b.m_hitRect);
            return;
        }
        m_hoverIndex = -1;
        CloseTip();
    } else if (m_showZones) {
        const int count = int(m_zones.GetCount());
        const MapPoint mp = ToMapPoint(p);
        if (m_hoverIndex >= 0 && m_hoverIndex < count && m_zones[m_hoverIndex].m_region.Contains(mp))
            return;
        for (int i = 0; i < count; ++i) {
            if (i == m_hoverIndex || !m_zones[i].m_region.Contains(mp))
                continue;
            CloseTip();
            m_hoverIndex = i;
            const WeatherZone& z = m_zones[i];
            const mapgeo::MapRect r = z.m_region.Bounds();
            OpenTip(FromUtf8(mapgeo::ZoneTipText(ToUtf8(z.m_zcode), ToUtf8(z.m_description))),
                    wxRect(r.x, r.y, r.width, r.height));
            return;
        }
        m_hoverIndex = -1;
        CloseTip();
    }
}

void wxMapPanel::OpenTip(const wxString& text, const wxRect& clientRect)
{
    if (!IsShownOnScreen())
        return;
    CloseTip();
    m_tipBound = clientRect;
    const wxRect bound(ClientToScreen(clientRect.GetTopLeft()), clientRect.GetSize());
    m_tipWindow = new MapTipWindow(this, text, &m_tipWindow, bound);
}

void wxMapPanel::CloseTip()
{
    if (!m_tipWindow)
        return;
    MapTipWindow* tip = m_tipWindow;
    m_tipWindow = nullptr;
    tip->SetTipWindowPtr(nullptr);
    tip->Destroy();
}
