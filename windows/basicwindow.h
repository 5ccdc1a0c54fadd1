// The Basic-mode main window: a map of the Basic batch's area and the mode
// commands. Its product buttons, product list and download are added with
// the Basic window's own work.
#pragma once

#include <wx/frame.h>

class CBatchFolder;
class wxMapPanel;
class wxStaticText;

enum {
    ID_BASICWINDOW = 10000,
    ID_BASIC_LAUNCH_WIZARD = 6029,
    ID_BASIC_LIBRARY_MODE = 10002,
    ID_BASIC_PORTAL_MODE = 6030,
    ID_BASIC_POINTER_LABEL = 10067
};

class BasicWindow : public wxFrame
{
    wxDECLARE_CLASS(BasicWindow);

public:
    BasicWindow();
    BasicWindow(wxWindow* parent, wxWindowID id = ID_BASICWINDOW, const wxString& caption = _("Basic Window"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 800),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX |
                             wxRESIZE_BORDER);
    ~BasicWindow() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // The Basic batch's stored area (batch row 1 of the user database).
    // GetCoords leaves the outputs alone and returns false when the row is
    // missing; a database error propagates as wxSQLite3Exception.
    static bool GetCoords(double& lat, double& lon, int& width);
    // Refuses (false) a width outside 1..80, a longitude outside -180..180 or
    // a latitude outside -90..90; otherwise stores the area in batch row 1.
    static bool UpdateCoords(double lat, double lon, int width);
    // Stores the window's m_lat, m_lon and m_width in batch row 1 as they
    // are (no range test); a database error propagates as wxSQLite3Exception.
    void UpdateCoords();

    // The window's map box.
    float m_lat;
    float m_lon;
    float m_width;

    // Download of the Basic batch with the window's map box, and its end.
    void OnDownloadButtonClick(wxCommandEvent& event);
    void OnTransferDone(wxCommandEvent& event);

    // How often the content wizard was asked for (the wizard itself opens
    // once it exists).
    int m_wizardRequests;

private:
    void OnLaunchWizard(wxCommandEvent& event);
    void OnLibraryMode(wxCommandEvent& event);
    void OnPortalMode(wxCommandEvent& event);

    CBatchFolder* m_batchFolder;
    wxMapPanel* m_map;
    wxStaticText* m_pointerLabel;

    wxDECLARE_EVENT_TABLE();
};
