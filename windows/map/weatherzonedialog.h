// The modal forecast-zone map: a map control on a regional sub-map whose
// zones the user toggles by clicking, a position label and the zoom, accept
// and cancel buttons. Its launcher fills the map (InitWeatherzones,
// CenterOnLogicalPoint) before ShowModal and, after wxID_OK, stores the
// changed zones (StoreZoneSelections in windows/map/MapPanel.h).
#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/icon.h>

class wxButton;
class wxMapPanel;
class wxStaticText;

enum {
    ID_WEATHERZONEDIALOG = 10241,
    ID_WZ_ZOOM_IN = 10247,
    ID_WZ_ZOOM_OUT = 10248,
    ID_WZ_OK = 10243,
    ID_WZ_CANCEL = 10244
};

class WeatherZoneDialog : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(WeatherZoneDialog);

public:
    WeatherZoneDialog();
    WeatherZoneDialog(wxWindow* parent, wxWindowID id = ID_WEATHERZONEDIALOG,
                      const wxString& caption = wxS("World Chart - Click and Drag on Chart to Select Region"),
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(700, 400),
                      long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL);
    ~WeatherZoneDialog() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size,
                long style);
    void Init();
    void CreateControls();

    static bool ShowToolTips() { return true; }
    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);

    wxMapPanel* m_mapPanel;          // mode 3; its m_zones hold the selection
    wxStaticText* m_positionLabel;
    wxButton* m_zoomOutButton;

private:
    void OnWzZoomInClick(wxCommandEvent& event);
    void OnWzZoomOutClick(wxCommandEvent& event);
    void OnButtonWzOkClick(wxCommandEvent& event);
    void OnButtonWzCancelClick(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
