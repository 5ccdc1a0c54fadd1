// The program's map control: a plate-carree world map with a highlighted
// square. This holds what the picker dialogs and main windows use of it; the
// control's drawing of buoys and zones, its rubber band and mouse work are
// added with the map's own work.
#pragma once

#include <wx/bitmap.h>
#include <wx/panel.h>

class wxStaticText;
class MapDialog;

class wxMapPanel : public wxPanel
{
public:
    // Map panel modes.
    enum { kMainWindow = 0, kCentreWidthPicker = 1, kBuoyPicker = 2, kZoneSubMap = 3, kHomeChooser = 4 };
    static constexpr double kWorldMinZoom = 0.146484375;   // 600 / 4096

    // A map in a dialog or panel: mode, initial size in pixels.
    wxMapPanel(wxWindow* parent, int mode, int width, int height);
    ~wxMapPanel() override;

    // Makes the square of `width` degrees around the centre the highlight box
    // (latitude negated when nsIndex is 1, longitude when ewIndex is 1) and
    // zooms to it within [m_minZoom, m_maxZoom].
    void SetZoom0Rect(float lat, float lon, float width, int ewIndex, int nsIndex, int unused);
    bool ZoomIn();
    bool ZoomOut();
    // Switches between the Greenwich- and the Pacific-centred world map.
    void LoadWorldMap(double zoom);

    int GetMode() const { return m_mode; }
    double GetBoxLat() const { return m_boxLat; }
    double GetBoxLon() const { return m_boxLon; }
    double GetBoxWidth() const { return m_boxWidth; }

    double m_zoom = kWorldMinZoom;
    double m_lonOffset = 180.0;
    double m_maxZoom = 0.0;
    double m_minZoom = 0.0;
    wxStaticText* m_statusLabel = nullptr;
    MapDialog* m_mapDialog = nullptr;

private:
    void OnPaint(wxPaintEvent& event);
    double ClampZoom(double zoom) const;

    int m_mode;
    wxBitmap m_mapBitmap;
    wxBitmap m_scaled;          // m_mapBitmap scaled to the panel, remade when either changes
    wxSize m_scaledFor;
    double m_boxLat = 0.0;
    double m_boxLon = 0.0;
    double m_boxWidth = 0.0;
    bool m_hasBox = false;
};
