// The program's map control: a plate-carree map (one of the application's
// two world maps, or a regional sub-map) drawn at a zoom and scroll, with a
// red highlight box, buoys, forecast zones and the home marker; a rubber band
// drawn with the left button picks a box, a click toggles a buoy or zone, a
// double click zooms, a right drag pans and hovering shows tips.
//
// The arithmetic lives in mapgeo::CMapView (windows/map/MapGeometry.h), whose members
// the owners set and read directly (m_minZoom, m_maxZoom, m_zoom ...).
//
// The control knows no owner. What it shows comes from the MapInputs its
// owner hands it; a box drawn with the left button is reported as one
// wxEVT_MAP_BOX event on the control (in every mode), which the owner binds
// on it and handles itself: the Basic window stores it as its area, the
// centre-and-width picker fills its fields, the Portal window makes it the
// manual home position. The control itself writes nothing anywhere.
//
// Modes, fixed at construction:
//   0 Basic window
//   1 centre-and-width picker
//   2 buoys page            buoys shown, clicks toggle them
//   3 forecast-zone map     zones on a sub-map, clicks toggle them
//   4 Portal window
#pragma once

#include <vector>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/event.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/pen.h>
#include <wx/popupwin.h>

#include "core/HomePosition.h"
#include "windows/map/MapGeometry.h"
#include "windows/map/MapItems.h"

class wxDC;
class wxDialog;
class wxFrame;
class wxSQLite3Database;
class wxStaticText;
class wxWizardPageSimple;

// What a map control shows that it does not own, handed to it by its owner
// at construction and again when it changes (SetInputs).
struct MapInputs {
    wxBitmap worldMap;        // the Greenwich-centred world map (shared, never copied)
    wxBitmap worldMapAnti;    // the Pacific-centred one
    // The home the marker shows, read at each paint and hover: it moves
    // while the map is open (a GPS fix). Owned by whoever hands it and kept
    // alive as long as the map; null: no marker.
    const HomePosition* home = nullptr;
    int homeIconIndex = -1;   // the marker's picture (HomeLocation/IconIdx); outside the table: none
    wxSQLite3Database* marineZonesDb = nullptr;   // buoys and forecast zones; null when not open
};

// A box drawn on a map control: its signed centre and its side in degrees.
// Sent on the control (it travels up to the parents when the control's own
// handlers skip it).
class MapBoxEvent : public wxCommandEvent
{
public:
    MapBoxEvent(wxEventType type = wxEVT_NULL, int id = 0, double lat = 0.0, double lon = 0.0, double width = 0.0)
        : wxCommandEvent(type, id), m_lat(lat), m_lon(lon), m_width(width)
    {
    }
    double GetLat() const { return m_lat; }
    double GetLon() const { return m_lon; }
    double GetWidth() const { return m_width; }
    wxEvent* Clone() const override { return new MapBoxEvent(*this); }

private:
    double m_lat;
    double m_lon;
    double m_width;
};

wxDECLARE_EVENT(wxEVT_MAP_BOX, MapBoxEvent);

// The view of a regional sub-map handed to InitWeatherzones.
struct panel_init_vars {
    double zoom = 0.0;              // initial zoom (the zone dialog's launcher also uses it as minimum)
    double topLat = 0.0;            // latitude of the image's top edge
    double leftLon = 0.0;           // longitude of the image's left edge
    double pixelsPerDegree = 0.0;   // map pixels per degree, both axes
    int width = 0;                  // image size in map pixels
    int height = 0;
    int centreX = 0;                // map pixel the caller centres the view on afterwards
    int centreY = 0;
};

// The translucent box drawn while the left button is dragged.
class wxRubberBand
{
public:
    wxRubberBand();
    explicit wxRubberBand(wxWindow* window);
    wxRubberBand& operator=(const wxRubberBand& other);

    // Takes the band's rectangle (device pixels; width and height may be
    // negative) and asks the window to show it.
    void SetGeometry(int x, int y, int width, int height);
    // Draws the band: translucent grey fill, grey outline and, for a band
    // dragged right and down, the dotted white outline of this and the
    // previous step.
    void Draw(wxDC& dc);
    // Forgets the band and the outline of the previous step.
    void ClearOldRubberRect();
    bool IsShown() const { return m_shown; }

    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Rect m_lastRect;         // outline drawn at the previous step
    wxWindow* m_window;
    wxPen m_pen;

private:
    void DrawRectangleLines(wxDC& dc, const Rect& r);
    Rect m_rect;             // the band now
    Rect m_previous;         // m_lastRect when the band was set
    bool m_shown = false;
};

// A hover tip of the map. It never takes the pointer: it grabs nothing,
// takes no focus and lets every pointer event through to the map under it,
// so clicks, drags and the position label work the same while it is open.
// The map closes it (pointer off its item, off the map, or a press); it then
// clears the pointer it was given and is deleted by the toolkit later.
class MapTipWindow : public wxPopupWindow
{
public:
    // Opens below the pointer; `bound` is the item's area in screen pixels.
    MapTipWindow(wxWindow* parent, const wxString& text, MapTipWindow** windowPtr, const wxRect& bound);
    ~MapTipWindow() override;
    void SetTipWindowPtr(MapTipWindow** windowPtr) { m_windowPtr = windowPtr; }
    const wxRect& GetBoundingRect() const { return m_bound; }
    const wxString& GetText() const { return m_text; }
    // Hides the tip, clears the owner's pointer and deletes it once idle.
    bool Destroy() override;

private:
    void OnPaint(wxPaintEvent& event);

    wxString m_text;
    MapTipWindow** m_windowPtr;
    wxRect m_bound;
    int m_lineHeight = 0;

    wxDECLARE_EVENT_TABLE();
};

class wxMapPanel : public wxPanel, public mapgeo::CMapView
{
public:
    enum { kMainWindow = 0, kCentreWidthPicker = 1, kBuoyPicker = 2, kZoneSubMap = 3, kHomeChooser = 4 };
    static constexpr double kWorldMinZoom = mapgeo::kWorldMinZoom;
    static constexpr double kWorldMaxZoom = mapgeo::kWorldMaxZoom;

    // The file name and bitmap type are accepted and not used: the world
    // maps come with the inputs.
    // Buoys page: mode 2, 600 x 300, world map with buoys.
    wxMapPanel(wxWizardPageSimple* parent, const wxString& file, wxBitmapType type, int mode,
               const MapInputs& inputs);
    // Forecast-zone dialog: the mode given, 600 x 300, no map until InitWeatherzones.
    wxMapPanel(wxDialog* parent, const wxString& file, wxBitmapType type, int mode, const MapInputs& inputs);
    // Centre-and-width picker: mode 1, 600 x 300, world map.
    wxMapPanel(wxDialog* parent, const wxString& file, wxBitmapType type, const MapInputs& inputs);
    // A map of the given mode and size on a frame or panel (the Portal: mode 4, 708 x 510).
    wxMapPanel(wxFrame* parent, const wxString& file, wxBitmapType type, int mode, int width, int height,
               const MapInputs& inputs);
    wxMapPanel(wxPanel* parent, const wxString& file, wxBitmapType type, int mode, int width, int height,
               const MapInputs& inputs);
    // Basic window: mode 0, 600 x 300, world map.
    wxMapPanel(wxFrame* parent, const wxString& file, wxBitmapType type, const MapInputs& inputs);
    ~wxMapPanel() override;

    int GetMode() const { return m_mode; }

    // The inputs in use. New ones take effect where the map reads them: the
    // marker's picture at the next Init, the world maps at the next
    // InitWorldZoom, LoadWorldMap or InitWeatherzones, the zones database at
    // the next InitWeatherzones, the home at the next paint.
    const MapInputs& GetInputs() const { return m_inputs; }
    void SetInputs(const MapInputs& inputs) { m_inputs = inputs; }

    // --- view state
    // Resets zoom, band, pan and hover state, loads the home marker of the
    // inputs' icon index and the zone palette. Map, scroll, box, items and
    // mode stay.
    void Init();
    // Greenwich-centred world map, no scroll, no zones or buoys shown.
    void InitWorldZoom();
    // The same with buoys shown.
    void InitBuoys();
    // A sub-map (or, for "res/WorldmapTiff.png" and "res/WorldmapTiffAnti.png",
    // the inputs' world map read as a sub-map) with the zones of zcodes.
    void InitWeatherzones(wxString bitmapName, panel_init_vars vars, wxArrayString zcodes);

    wxPoint MapToLogical(double lat, double lon) const;
    void LogicalToMap(int x, int y, double& lat, double& lon) const;
    wxPoint SubMapToLogical(double lat, double lon) const;
    void LogicalToSubMap(int x, int y, double& lat, double& lon) const;
    void ZoomIn();
    bool ZoomOut();
    void CenterOnLogicalPoint(wxPoint p);
    wxPoint GetCurrentCenterInLogicalUnits() const;
    void SetZoom0Rect(float lat, float lon, float sizeDeg, int ewFlag, int nsFlag, int zoom);
    void LoadWorldMap(double zoom);

    // --- items
    void CreateBuoy(double lat, double lon, wxString BuoyName, wxString StationID, bool selected, wxDC* dc);
    void UpdateBuoyCoords();
    void DrawBuoy(int index, wxDC* dc);
    // Draws every buoy on dc and repaints the map.
    void DrawAllBuoys(wxDC* dc);
    void CreateWeatherZoneArray(wxArrayString zcodes);
    void CreateWeatherZone(PositionArray& outline, wxString zcode, wxString description, wxColour colour,
                           bool selected);
    void UpdateWeatherZoneCoords();
    void DrawWeatherZone(int index, wxDC* dc);
    void DrawHome(double lat, double lon, wxDC* dc);

    // Draws the whole map as a paint does (map, box, zones, buoys, home
    // marker) on any context the size of the client area.
    void Render(wxDC& dc);

    wxBitmap m_dragBitmap;          // the visible map while it is panned
    wxBitmap m_mapBitmap;           // a shared world map or a loaded sub-map
    wxImage m_homeImage;
    bool m_bandActive;
    int m_panState;                 // 0 idle, 1 right button down, 2 panning
    wxPoint m_panStart;
    wxPoint m_panDelta;
    MapTipWindow* m_tipWindow;     // the open tip or null
    wxRubberBand m_rubberBand;
    wxPoint m_bandStart;
    wxPoint m_bandEnd;
    wxColour m_zonePalette[10];
    BuoyArray m_buoys;
    bool m_showZones;
    bool m_showBuoys;
    WeatherZoneArray m_zones;
    int m_mode;
    wxStaticText* m_statusLabel;    // set by the owner
    wxRect m_homeRegion;            // where the home marker was last drawn (device pixels)
    int m_hoverIndex;

    // Event handlers.
    void OnMoveMouse(wxMouseEvent& event);
    void OnLeftDownMouse(wxMouseEvent& event);
    void OnLeftUpMouse(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnMouse(wxMouseEvent& event);
    void paintEvent(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

private:
    void Construct(wxWindow* parent, const wxSize& size, int mode);
    wxSize ClientSize() const;
    void DrawMapLayer(wxDC& dc);
    void DrawHighlightBox(wxDC& dc);
    // A picture of the whole frame for a band or pan in progress.
    wxBitmap Snapshot(bool mapOnly);
    // Reports the box just drawn (wxEVT_MAP_BOX on this control).
    void SendBox();
    void ToggleItemsAt(const wxPoint& p);
    void Hover(const wxPoint& p, bool controlDown);
    void OpenTip(const wxString& text, const wxRect& clientRect);
    void CloseTip();
    void ShowStatus(const wxPoint& p);
    void EndPan(const wxPoint& p);
    void ReportDatabaseError(const wxString& message);

    MapInputs m_inputs;
    wxBitmap m_homeBitmap;          // m_homeImage as drawn
    wxRect m_tipBound;              // the open tip's item (client pixels)
    wxBitmap m_frameBitmap;         // the frame under a band being drawn
    // The part of the map an enlarged view shows, scaled smoothly; made for
    // each paint and not kept (one per open map would add up).
    wxBitmap EnlargedView() const;

    wxDECLARE_EVENT_TABLE();
};
