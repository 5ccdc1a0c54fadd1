// The Portal-mode main window: the suggested content (the Wizard batch) as a
// check-box tree beside a map of the home box, a row of content buttons that
// open the content wizard at their page, and the commands Download, Refresh
// List, zoom, recentre, change map, mode switches, the Wizard batch's
// properties, help and the product-database update. Fixed layout on a
// background picture (windows/portal/PortalLayout.h).
#pragma once

#include <functional>

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/weakref.h>

#include "windows/portal/PortalLayout.h"

class CBatch;
class ProcessWizardSettings;
class wxCheckTreeCtrl;
class wxMapPanel;
class MapBoxEvent;
class wxPanel;
class wxPictureButton;
class wxStaticText;
class wxTreeEvent;

enum {
    ID_LOADWINDOW = 10353,
    ID_LOAD_LAUNCH_WIZARD_BUTTON = tw::portal::kLaunchWizardButton,
    ID_LOAD_BASIC_MODE_BUTTON = tw::portal::kBasicModeButton,
    ID_LOAD_LIBRARY_MODE_BUTTON = tw::portal::kLibraryModeButton,
    ID_LOAD_CHECKTREE = tw::portal::kCheckTreeId,
    ID_LOAD_MAP_HOLDER = tw::portal::kMapHolderId,
    ID_LOAD_LAUNCH_WIZARD_MENU = 6029,
    ID_LOAD_LIBRARY_MODE_MENU = 10002,
    ID_LOAD_BASIC_MODE_MENU = 6030,
    ID_LOAD_CONTENT_WIZARD = 10156
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

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size,
                long style);
    void Init();
    void CreateControls();

    // The button faces of the layout (the 77 names, exactly as written), each
    // loaded afresh; any other name gives the empty bitmap.
    wxBitmap GetBitmapResource(const wxString& name);
    // "Icons/rivol.ico"; any other name gives the empty icon.
    wxIcon GetIconResource(const wxString& name);

    // Rebuilds the tree from batch 2; with `run` the suggestion engine first
    // recomputes batch 2. The engine's log goes to one log frame of the
    // window, made on the first run and kept hidden unless the Control key is
    // down when the run starts.
    void RefreshList(bool run);
    // Runs the content wizard from a page (0: its welcome page); when it is
    // finished, recomputes the suggestions; then recentres the map either way.
    void LaunchWizard(int page);
    // Puts the content map back on the home box: the map re-initialised on
    // the world map, the home box of HomeLocation/ContentBox degrees fitted.
    void RecenterReload();
    // End of the Wizard batch's download.
    void OnTransferDone(wxCommandEvent& event);

    // The picture button with that id, or null.
    wxPictureButton* GetButton(int id) const;
    // The engine's log frame (null before the first run with the engine).
    ProcessWizardSettings* GetSuggestionLog() const { return m_suggestionLog.get(); }

    // How the batch properties dialog is run (tests put a stand-in in place;
    // an empty function restores the application's). Returns the previous one.
    using PropertiesDialogRunner = std::function<int(CBatch* batch, bool isNew)>;
    static PropertiesDialogRunner SetPropertiesDialogRunner(PropertiesDialogRunner runner);

    // Handlers (the static event table and the run-time bindings).
    void OnPaint(wxPaintEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnBitmapbuttonlaunchwizardClick(wxCommandEvent& event);
    void OnWizardPageButtonClick(wxCommandEvent& event);
    void OnBasicModeButtonClick(wxCommandEvent& event);
    void OnLibraryModeClick(wxCommandEvent& event);
    void OnDownloadButtonClick(wxCommandEvent& event);
    void OnRefreshListClick(wxCommandEvent& event);
    void OnZoomInClick(wxCommandEvent& event);
    void OnZoomOutClick(wxCommandEvent& event);
    void OnRecenterReloadClick(wxCommandEvent& event);
    // A box drawn on the map (bound on the map).
    void OnMapBox(MapBoxEvent& event);
    void OnChangeMapViewClick(wxCommandEvent& event);
    void OnLaunchPropertiesDlgClick(wxCommandEvent& event);
    void OnHelpButtonClick(wxCommandEvent& event);
    void OnUpdateFileListClick(wxCommandEvent& event);
    void OnCheckTreeItemExpanded(wxTreeEvent& event);
    void OnCheckTreePaint(wxPaintEvent& event);
    void OnCheckTreeEraseBackground(wxEraseEvent& event);

    // The controls (children of the window; the map a child of the holder).
    wxPictureButton* m_buttons[tw::portal::kButtonCount];
    wxStaticText* m_coordsLabel;
    wxPanel* m_mapHolder;
    wxMapPanel* m_contentMap;
    wxCheckTreeCtrl* m_checkTree;

private:
    ProcessWizardSettings* SuggestionLog();

    wxImage m_backgroundImage;
    wxBitmap m_backgroundBitmap;   // the picture as drawn, made once
    wxWeakRef<ProcessWizardSettings> m_suggestionLog;

    wxDECLARE_EVENT_TABLE();
};
