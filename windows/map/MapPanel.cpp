#include "windows/map/MapPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <wx/app.h>
#include <wx/arrimpl.cpp>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/arrstr.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/choice.h>
#include <wx/toplevel.h>
#include <wx/wizard.h>
#include <wx/settings.h>
#include <wx/wxsqlite3.h>

#ifdef __WXGTK3__
#include <gtk/gtk.h>
#endif

#include "windows/common/Shell.h"
#include "core/PositionText.h"
#include "windows/map/mapdialog.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/basic/basicwindow.h"
#include "windows/portal/loadwindow.h"
#include "windows/wizard/WizardRules.h"

WX_DEFINE_OBJARRAY(BuoyArray);
WX_DEFINE_OBJARRAY(PositionArray);
WX_DEFINE_OBJARRAY(WeatherZoneArray);

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

int StoreZoneSelections(wxSQLite3Database& db, const WeatherZoneArray& zones)
{
    int written = 0;
    wxSQLite3Statement st;
    for (size_t i = 0; i < zones.GetCount(); ++i) {
        const WeatherZone& z = zones[i];
        if (!z.m_changed)
            continue;
        if (!st.IsOk())
            st = db.PrepareStatement("UPDATE MZones SET selected = ? WHERE zcode = ?");
        st.Reset();
        st.Bind(1, z.m_selected ? 1 : 0);
        st.Bind(2, z.m_zcode);
        st.ExecuteUpdate();
        ++written;
    }
    return written;
}

int StoreBuoySelections(wxSQLite3Database& db, const BuoyArray& buoys)
{
    bool any = false;
    for (size_t i = 0; i < buoys.GetCount() && !any; ++i)
        any = buoys[i].m_changed;
    if (!any)
        return 0;
    int written = 0;
    db.Begin();
    try {
        wxSQLite3Statement st = db.PrepareStatement("UPDATE Buoys SET selected = ? WHERE StationID = ?");
        for (size_t i = 0; i < buoys.GetCount(); ++i) {
            const Buoy& b = buoys[i];
            if (!b.m_changed)
                continue;
            st.Reset();
            st.Bind(1, b.m_selected ? 1 : 0);
            st.Bind(2, b.m_stationID);
            st.ExecuteUpdate();
            ++written;
        }
        db.Commit();
    } catch (...) {
        try {
            db.Rollback();
        } catch (...) {
        }
        throw;
    }
    return written;
}

// ---------------------------------------------------------------- rubber band

wxRubberBand::wxRubberBand() : m_window(nullptr) {}

wxRubberBand::wxRubberBand(wxWindow* window)
    : m_window(window), m_pen(*wxWHITE, 1, wxPENSTYLE_DOT)
{
}

wxRubberBand& wxRubberBand::operator=(const wxRubberBand& other)
{
    m_lastRect = other.m_lastRect;
    m_window = other.m_window;
    m_pen = other.m_pen;
    return *this;
}

void wxRubberBand::SetGeometry(int x, int y, int width, int height)
{
    m_rect = Rect {x, y, width, height};
    // The outline of the previous step stays on screen with the new one.
    m_previous = m_lastRect;
    if (x >= 0 && y >= 0 && width > 0 && height > 0)
        m_lastRect = m_rect;
    m_shown = true;
    if (m_window)
        m_window->Refresh(false);
}

void wxRubberBand::DrawRectangleLines(wxDC& dc, const Rect& r)
{
    dc.DrawLine(r.x, r.y, r.x + r.width, r.y);
    dc.DrawLine(r.x + r.width, r.y, r.x + r.width, r.y + r.height);
    dc.DrawLine(r.x + r.width, r.y + r.height, r.x, r.y + r.height);
    dc.DrawLine(r.x, r.y + r.height, r.x, r.y);
}

void wxRubberBand::Draw(wxDC& dc)
{
    if (!m_shown)
        return;
    const Rect& r = m_rect;
    const int x = r.width < 0 ? r.x + r.width : r.x;
    const int y = r.height < 0 ? r.y + r.height : r.y;
    dc.SetBrush(wxBrush(wxColour(192, 192, 192, 64)));
    dc.SetPen(*wxGREY_PEN);
    dc.DrawRectangle(x, y, std::abs(r.width) + 1, std::abs(r.height) + 1);
    if (r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0) {
        dc.SetPen(m_pen);
        DrawRectangleLines(dc, r);
        if (m_previous.width > 0 && m_previous.height > 0)
            DrawRectangleLines(dc, m_previous);
    }
    dc.SetBrush(wxNullBrush);
    dc.SetPen(wxNullPen);
}

void wxRubberBand::ClearOldRubberRect()
{
    m_lastRect = Rect();
    m_previous = Rect();
    m_rect = Rect();
    if (m_shown && m_window)
        m_window->Refresh(false);
    m_shown = false;
}

// ---------------------------------------------------------------- tips

wxBEGIN_EVENT_TABLE(MapTipWindow, wxPopupWindow)
    EVT_PAINT(MapTipWindow::OnPaint)
wxEND_EVENT_TABLE()

namespace {

constexpr int kTipPadding = 3;

// Pointer events pass through the window to whatever lies under it. On GTK
// this is the only way to keep a window that appears under the pointer from
// receiving its motions and clicks.
void LetPointerThrough(wxWindow* window)
{
#ifdef __WXGTK3__
    if (GtkWidget* widget = static_cast<GtkWidget*>(window->GetHandle())) {
        cairo_region_t* none = cairo_region_create();
        gtk_widget_input_shape_combine_region(widget, none);
        cairo_region_destroy(none);
    }
#else
    (void)window;
#endif
}

} // namespace

MapTipWindow::MapTipWindow(wxWindow* parent, const wxString& text, MapTipWindow** windowPtr, const wxRect& bound)
    : wxPopupWindow(parent, wxBORDER_SIMPLE), m_text(text), m_windowPtr(windowPtr), m_bound(bound)
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    int width = 0;
    int lines = 0;
    for (const wxString& line : wxSplit(m_text, '\n', '\0')) {
        wxCoord w = 0, h = 0;
        dc.GetTextExtent(line.empty() ? wxString(wxS(" ")) : line, &w, &h);
        width = std::max(width, int(w));
        m_lineHeight = std::max(m_lineHeight, int(h));
        ++lines;
    }
    SetClientSize(width + 2 * kTipPadding, lines * m_lineHeight + 2 * kTipPadding);
    LetPointerThrough(this);
    // Below the pointer, as tool tips are, kept on the screen.
    const wxPoint pointer = wxGetMousePosition();
    const int below = std::max(16, wxSystemSettings::GetMetric(wxSYS_CURSOR_Y, this) / 2);
    Position(pointer, wxSize(0, below));
    Show();
}

MapTipWindow::~MapTipWindow()
{
    if (m_windowPtr && *m_windowPtr == this)
        *m_windowPtr = nullptr;
}

bool MapTipWindow::Destroy()
{
    if (m_windowPtr && *m_windowPtr == this)
        *m_windowPtr = nullptr;
    m_windowPtr = nullptr;
    Hide();
    if (wxTheApp && !wxTheApp->IsScheduledForDestruction(this))
        wxTheApp->ScheduleForDestruction(this);
    return true;
}

void MapTipWindow::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetForegroundColour());
    dc.SetBackgroundMode(wxTRANSPARENT);
    int y = kTipPadding;
    for (const wxString& line : wxSplit(m_text, '\n', '\0')) {
        dc.DrawText(line, kTipPadding, y);
        y += m_lineHeight;
    }
}

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

wxMapPanel::wxMapPanel(wxWizardPageSimple* parent, const wxString&, wxBitmapType, int mode)
{
    Construct(parent, wxSize(600, 300), mode);
    InitBuoys();
}

wxMapPanel::wxMapPanel(wxDialog* parent, const wxString&, wxBitmapType, int mode)
{
    Construct(parent, wxSize(600, 300), mode);
}

wxMapPanel::wxMapPanel(wxDialog* parent, const wxString&, wxBitmapType)
{
    Construct(parent, wxSize(600, 300), kCentreWidthPicker);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxFrame* parent, const wxString&, wxBitmapType, int mode, int width, int height)
{
    Construct(parent, wxSize(width, height), mode);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxPanel* parent, const wxString&, wxBitmapType, int mode, int width, int height)
{
    Construct(parent, wxSize(width, height), mode);
    InitWorldZoom();
}

wxMapPanel::wxMapPanel(wxFrame* parent, const wxString&, wxBitmapType)
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
    m_mapDialog = nullptr;
    m_basicWindow = nullptr;
    m_loadWindow = nullptr;
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

    const int icon = tw::TheShell().dlPrefs.HomeLocation_IconIdx;
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
    m_mapBitmap = tw::TheShell().worldMapBitmap;   // shared, never copied
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
    tw::Shell& app = tw::TheShell();
    if (bitmapName == wxS("res/WorldmapTiffAnti.png")) {
        m_mapBitmap = app.worldMapAntiBitmap;
    } else if (bitmapName == wxS("res/WorldmapTiff.png")) {
        m_mapBitmap = app.worldMapBitmap;
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
    tw::Shell& app = tw::TheShell();
    m_mapBitmap = m_lonOffset == 0.0 ? app.worldMapAntiBitmap : app.worldMapBitmap;
    Refresh();
}

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

void wxMapPanel::ReportDatabaseError(const wxString& message)
{
    wxWindow* parent = wxGetActiveWindow();
    if (!parent && IsShownOnScreen())
        parent = wxGetTopLevelParent(this);
    tw::MessageBox(message, wxS("Error"), wxOK | wxICON_ERROR, parent);
}

void wxMapPanel::CreateWeatherZoneArray(wxArrayString zcodes)
{
    m_zones.Empty();
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    if (!db) {
        tw::MessageBox(wxS("NULL common MarineZones database object."), wxS("Notice"), wxOK | wxICON_ERROR,
                       wxGetActiveWindow());
        return;
    }
    try {
        wxSQLite3Statement zoneQuery = db->PrepareStatement("SELECT * FROM MZones WHERE zcode=?");
        wxSQLite3Statement outlineQuery =
            db->PrepareStatement("SELECT * FROM MZonesPos WHERE zcode=? ORDER BY part,ROWID");
        int colour = 0;
        PositionArray vertices;
        for (const wxString& code : zcodes) {
            bool selected = false;
            wxString zcode, description;
            zoneQuery.Reset();
            zoneQuery.Bind(1, code);
            {
                wxSQLite3ResultSet rs = zoneQuery.ExecuteQuery();
                if (rs.NextRow()) {
                    selected = rs.GetInt("selected", 0) != 0;
                    zcode = rs.GetAsString("zcode");
                    description = rs.GetAsString("description");
                }
            }
            vertices.Empty();
            outlineQuery.Reset();
            outlineQuery.Bind(1, code);
            {
                wxSQLite3ResultSet rs = outlineQuery.ExecuteQuery();
                while (rs.NextRow())
                    vertices.Add(Position(rs.GetDouble("lat", 0.0), rs.GetDouble("lon", 0.0), rs.GetInt("part", 0)));
            }
            if (!vertices.IsEmpty())
                CreateWeatherZone(vertices, zcode, description, m_zonePalette[colour], selected);
            colour = (colour + 1) % 10;
        }
    } catch (const wxSQLite3Exception& e) {
        // A missing or locked table: the map opens with the zones read so far.
        ReportDatabaseError(e.GetMessage());
    }
}

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
    const HomePosition home = tw::TheShell().homePosition;
    if (HomeDrawn(home.lat, home.lon, home.valid, m_mode == kZoneSubMap))
        DrawHome(home.lat, home.lon, &dc);
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
        WriteBack();
    else
        ToggleItemsAt(p);
    m_bandActive = false;
}

void wxMapPanel::WriteBack()
{
    switch (m_mode) {
    case kMainWindow:
        if (m_basicWindow) {
            m_basicWindow->m_lat = m_centreLat;
            m_basicWindow->m_lon = m_centreLon;
            m_basicWindow->m_width = static_cast<float>(m_boxSizeDeg);
            try {
                m_basicWindow->UpdateCoords();
            } catch (const wxSQLite3Exception& e) {
                ReportDatabaseError(e.GetMessage());
            }
        }
        break;
    case kCentreWidthPicker:
        if (m_mapDialog && m_mapDialog->m_latCtrl) {
            const mapgeo::PickerFields f = mapgeo::PickerFieldsOf(*this);
            m_mapDialog->m_latCtrl->SetValue(FromUtf8(f.latText));
            m_mapDialog->m_lonCtrl->SetValue(FromUtf8(f.lonText));
            m_mapDialog->m_nsChoice->SetSelection(f.nsIndex);
            m_mapDialog->m_ewChoice->SetSelection(f.ewIndex);
            m_mapDialog->m_widthCtrl->SetValue(FromUtf8(f.widthText));
        }
        break;
    case kHomeChooser: {
        tw::Shell& app = tw::TheShell();
        // Within what the home location page takes, which refuses any other.
        app.dlPrefs.HomeLocation_ContentBox = std::clamp(static_cast<int>(m_boxSizeDeg), tw::wizard::kMinContentBox,
                                                         tw::wizard::kMaxContentBox);
        app.dlPrefs.HomeLocation_Source = 2;
        app.dlPrefs.HomeLocation_ManualLat = m_centreLat;
        app.dlPrefs.HomeLocation_ManualLon = m_centreLon;
        app.dlPrefs.WriteRegistry();
        app.UpdateHomePosition();
        if (m_loadWindow)
            m_loadWindow->RecenterReload();
        break;
    }
    default:
        break;
    }
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
    if (m_homeRegion.Contains(p)) {
        m_hoverIndex = -1;
        if (!m_tipWindow) {
            const HomePosition home = tw::TheShell().homePosition;
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
