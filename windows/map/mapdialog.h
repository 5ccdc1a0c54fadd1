// The modal centre-and-width picker: a world map, the centre as latitude and
// longitude with hemisphere choices, and the side of the square in degrees.
#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/icon.h>

class wxChoice;
class wxMapPanel;
class MapBoxEvent;
class wxStaticText;
class wxTextCtrl;

enum {
    ID_MAPDIALOG = 10068,
    ID_MAPDIALOG_POSITION = 10073,
    ID_MAPDIALOG_LAT = 10048,
    ID_MAPDIALOG_NS = 10049,
    ID_MAPDIALOG_LON = 10050,
    ID_MAPDIALOG_EW = 10051,
    ID_MAPDIALOG_WIDTH = 10052,
    ID_MAPDIALOG_OK = 10070,
    ID_MAPDIALOG_CANCEL = 10071,
    ID_MAPDIALOG_ZOOM_IN = 10285,
    ID_MAPDIALOG_ZOOM_OUT = 10072,
    ID_MAPDIALOG_CHANGE_VIEW = 10133
};

class MapDialog : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(MapDialog);

public:
    MapDialog();
    MapDialog(wxWindow* parent, wxWindowID id = ID_MAPDIALOG,
              const wxString& caption = wxS("World Chart - Click and Drag on Chart to Select Region"),
              const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(400, 300),
              long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~MapDialog() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // Shows the signed centre and the width in the fields and on the map.
    void InitializePosition(double lat, double lon, double width);
    // Reads the fields back as signed degrees and the width. A field that
    // does not begin with a number leaves its value as the caller had it
    // (latitude and longitude still take the hemisphere's sign).
    void RetrievePosition(double& lat, double& lon, double& width) const;

    wxMapPanel* GetMapPanel() const { return m_mapPanel; }

    static bool ShowToolTips() { return true; }
    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);

    wxMapPanel* m_mapPanel;
    wxStaticText* m_positionLabel;
    wxTextCtrl* m_latCtrl;
    wxChoice* m_nsChoice;
    wxTextCtrl* m_lonCtrl;
    wxChoice* m_ewChoice;
    wxTextCtrl* m_widthCtrl;
    wxString m_latText;
    wxString m_lonText;
    wxString m_widthText;

private:
    void OnButtonOkClick(wxCommandEvent& event);
    void OnButtonCancelClick(wxCommandEvent& event);
    void OnButtonZoomInClick(wxCommandEvent& event);
    void OnButtonZoomOutClick(wxCommandEvent& event);
    void OnButtonChangeViewClick(wxCommandEvent& event);
    // A box drawn on the map fills the fields (bound on the map).
    void OnMapBox(MapBoxEvent& event);

    wxDECLARE_EVENT_TABLE();
};
