// The Portal-mode main window: the content map of the home area and the mode
// commands. Its suggestions tree, category buttons and download are added
// with the Portal window's own work.
#pragma once

#include <wx/frame.h>

class wxMapPanel;

enum {
    ID_LOADWINDOW = 10353,
    ID_LOAD_LAUNCH_WIZARD_BUTTON = 10356,
    ID_LOAD_BASIC_MODE_BUTTON = 10357,
    ID_LOAD_LIBRARY_MODE_BUTTON = 10428,
    ID_LOAD_LAUNCH_WIZARD_MENU = 6029,
    ID_LOAD_LIBRARY_MODE_MENU = 10002,
    ID_LOAD_BASIC_MODE_MENU = 10355
};

class LoadWindow : public wxFrame
{
    wxDECLARE_CLASS(LoadWindow);

public:
    LoadWindow();
    LoadWindow(wxWindow* parent, wxWindowID id = ID_LOADWINDOW, const wxString& caption = _("TALVO Tidewright"),
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1000, 726),
               long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX);
    ~LoadWindow() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // Puts the content map back on the home box: the map re-initialised on
    // the world map, the home box of HomeLocation/ContentBox degrees fitted.
    void RecenterReload();

    // Download of the Wizard batch, and its end.
    void OnDownloadButtonClick(wxCommandEvent& event);
    void OnTransferDone(wxCommandEvent& event);

    // How often the content wizard was asked for (the wizard itself opens
    // once it exists).
    int m_wizardRequests;

private:
    void OnLaunchWizard(wxCommandEvent& event);
    void OnBasicModeButtonClick(wxCommandEvent& event);
    void OnLibraryModeClick(wxCommandEvent& event);

    wxMapPanel* m_contentMap;

    wxDECLARE_EVENT_TABLE();
};
