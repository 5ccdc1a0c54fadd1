// What the map draws over itself for a moment: the rubber band of a box
// being drawn and the hover tips.
#include <algorithm>
#include <cstdlib>

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

#ifdef __WXGTK3__
#include <gtk/gtk.h>
#endif

#include "windows/map/MapPanel.h"

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
