#include "map/MapPanel.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include "app/tidewrightapp.h"

wxMapPanel::wxMapPanel(wxWindow* parent, int mode, int width, int height)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(width, height), wxBORDER_NONE | wxTAB_TRAVERSAL),
      m_mode(mode)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_mapBitmap = wxGetApp().worldMapBitmap;
    Bind(wxEVT_PAINT, &wxMapPanel::OnPaint, this);
}

wxMapPanel::~wxMapPanel() = default;

double wxMapPanel::ClampZoom(double zoom) const
{
    if (m_maxZoom > 0.0)
        zoom = std::min(zoom, m_maxZoom);
    if (m_minZoom > 0.0)
        zoom = std::max(zoom, m_minZoom);
    return zoom;
}

void wxMapPanel::SetZoom0Rect(float lat, float lon, float width, int ewIndex, int nsIndex, int)
{
    m_boxLat = nsIndex == 1 ? -lat : lat;
    m_boxLon = ewIndex == 1 ? -lon : lon;
    m_boxWidth = width;
    m_hasBox = width > 0;
    if (width > 0) {
        // Fit the box with some margin into the panel.
        const wxSize size = GetClientSize();
        const double pixels = std::max(1, std::min(size.x, size.y)) / 3.0;
        m_zoom = ClampZoom(pixels / (width * 4096.0 / 360.0));
    }
    Refresh();
}

bool wxMapPanel::ZoomIn()
{
    const double z = ClampZoom(m_zoom * 2.0);
    const bool changed = z != m_zoom;
    m_zoom = z;
    Refresh();
    return changed;
}

bool wxMapPanel::ZoomOut()
{
    const double z = ClampZoom(m_zoom / 2.0);
    const bool changed = z != m_zoom;
    m_zoom = z;
    Refresh();
    return changed;
}

void wxMapPanel::LoadWorldMap(double zoom)
{
    TidewrightApp& app = wxGetApp();
    if (m_lonOffset == 180.0) {
        m_lonOffset = 0.0;
        m_mapBitmap = app.worldMapAntiBitmap;
    } else {
        m_lonOffset = 180.0;
        m_mapBitmap = app.worldMapBitmap;
    }
    m_scaled = wxBitmap();
    m_zoom = zoom;
    Refresh();
}

void wxMapPanel::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxColour(159, 159, 159)));
    dc.Clear();
    const wxSize size = GetClientSize();
    if (m_mapBitmap.IsOk() && size.x > 0 && size.y > 0) {
        // The whole world, scaled to the panel; the drawing of the zoomed
        // view comes with the map's own work.
        if (!m_scaled.IsOk() || m_scaledFor != size)
            m_scaled = wxBitmap(m_mapBitmap.ConvertToImage().Scale(size.x, size.y, wxIMAGE_QUALITY_NORMAL));
        m_scaledFor = size;
        dc.DrawBitmap(m_scaled, 0, 0);
    }
    if (m_hasBox && size.x > 0 && size.y > 0) {
        const double pxPerDegX = size.x / 360.0;
        const double pxPerDegY = size.y / 180.0;
        const double cx = (m_boxLon + m_lonOffset) * pxPerDegX;
        const double cy = (90.0 - m_boxLat) * pxPerDegY;
        dc.SetPen(*wxRED_PEN);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(int(cx - m_boxWidth * pxPerDegX / 2), int(cy - m_boxWidth * pxPerDegY / 2),
                         std::max(1, int(m_boxWidth * pxPerDegX)), std::max(1, int(m_boxWidth * pxPerDegY)));
    }
}
