#include "windows/loadwindow.h"

#include <cmath>

#include <wx/button.h>
#include <wx/menu.h>
#include <wx/panel.h>

#include "app/tidewrightapp.h"
#include "catalogue/BatchDB.h"
#include "platform/UiHooks.h"
#include "map/MapPanel.h"

wxIMPLEMENT_CLASS(LoadWindow, wxFrame);

wxBEGIN_EVENT_TABLE(LoadWindow, wxFrame)
    EVT_BUTTON(ID_LOAD_LAUNCH_WIZARD_BUTTON, LoadWindow::OnLaunchWizard)
    EVT_MENU(ID_LOAD_LAUNCH_WIZARD_MENU, LoadWindow::OnLaunchWizard)
    EVT_BUTTON(ID_LOAD_BASIC_MODE_BUTTON, LoadWindow::OnBasicModeButtonClick)
    EVT_MENU(ID_LOAD_BASIC_MODE_MENU, LoadWindow::OnBasicModeButtonClick)
    EVT_BUTTON(ID_LOAD_LIBRARY_MODE_BUTTON, LoadWindow::OnLibraryModeClick)
    EVT_MENU(ID_LOAD_LIBRARY_MODE_MENU, LoadWindow::OnLibraryModeClick)
wxEND_EVENT_TABLE()

LoadWindow::LoadWindow()
{
    Init();
}

LoadWindow::LoadWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                       const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

LoadWindow::~LoadWindow() = default;

void LoadWindow::Init()
{
    m_wizardRequests = 0;
    m_contentMap = nullptr;
}

bool LoadWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                        const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style))
        return false;
    CreateControls();
    Centre();
    return true;
}

void LoadWindow::CreateControls()
{
    TidewrightApp& app = wxGetApp();
    CBatchFolder::Instance()->SetDatabase(app.GetUserDb());

    auto* panel = new wxPanel(this, wxID_ANY);
    panel->SetBackgroundColour(wxColour(220, 221, 222));
    new wxButton(panel, ID_LOAD_LAUNCH_WIZARD_BUTTON, _("Launch Wizard"), wxPoint(50, 57), wxSize(170, 30));
    auto* holder = new wxPanel(panel, wxID_ANY, wxPoint(280, 100), wxSize(708, 510));
    m_contentMap = new wxMapPanel(holder, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, wxMapPanel::kHomeChooser,
                                  708, 510);
    m_contentMap->SetName(wxS("Map Window"));
    m_contentMap->SetBackgroundColour(wxColour(159, 159, 159));
    m_contentMap->m_loadWindow = this;
    m_contentMap->m_maxZoom = 7.0;
    m_contentMap->m_minZoom = 0.146484375;
    new wxButton(panel, ID_LOAD_BASIC_MODE_BUTTON, _("Basic"), wxPoint(25, 661), wxSize(100, 25));
    new wxButton(panel, ID_LOAD_LIBRARY_MODE_BUTTON, _("Library"), wxPoint(156, 661), wxSize(100, 25));

    const HomePosition& home = app.homePosition;
    if (home.width > 0)
        m_contentMap->SetZoom0Rect(static_cast<float>(std::fabs(home.lat)), static_cast<float>(std::fabs(home.lon)),
                                   static_cast<float>(home.width), home.lon < 0 ? 1 : 0, home.lat < 0 ? 1 : 0, -1);

    auto* modeMenu = new wxMenu;
    modeMenu->Append(ID_LOAD_LAUNCH_WIZARD_MENU, _("Launch Wizard"));
    modeMenu->Append(ID_LOAD_LIBRARY_MODE_MENU, _("Switch to Library Mode"));
    modeMenu->Append(ID_LOAD_BASIC_MODE_MENU, _("Switch to Basic Mode"));
    auto* menuBar = new wxMenuBar;
    menuBar->Append(modeMenu, _("Mode"));
    SetMenuBar(menuBar);

    if (app.firstRun) {
        app.firstRun = false;
        wxCommandEvent launch(wxEVT_BUTTON, ID_LOAD_LAUNCH_WIZARD_BUTTON);
        launch.SetEventObject(this);
        wxPostEvent(this, launch);
    }
}

void LoadWindow::RecenterReload()
{
    if (!m_contentMap)
        return;
    const HomePosition& home = wxGetApp().homePosition;
    m_contentMap->Init();
    m_contentMap->InitWorldZoom();
    m_contentMap->SetZoom0Rect(static_cast<float>(std::fabs(home.lat)), static_cast<float>(std::fabs(home.lon)),
                               static_cast<float>(wxGetApp().dlPrefs.HomeLocation_ContentBox), home.lon < 0 ? 1 : 0,
                               home.lat < 0 ? 1 : 0, -1);
}

void LoadWindow::OnLaunchWizard(wxCommandEvent&)
{
    ++m_wizardRequests;
}

void LoadWindow::OnBasicModeButtonClick(wxCommandEvent&)
{
    wxGetApp().ChangeWindowMode(TidewrightApp::kModeBasic);
}

void LoadWindow::OnLibraryModeClick(wxCommandEvent&)
{
    wxGetApp().ChangeWindowMode(TidewrightApp::kModeLibrary);
}

void LoadWindow::OnDownloadButtonClick(wxCommandEvent&)
{
    CActiveFileList files;
    CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kWizardMode);
    if (!wxGetApp().FileTransferStart(files, this, wxCommandEventHandler(LoadWindow::OnTransferDone), 1, nullptr))
        tw::MessageBox(wxS("Failed to create the download window."), wxS("Message"), wxOK);
}

void LoadWindow::OnTransferDone(wxCommandEvent& event)
{
    CActiveFileList files;
    CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kWizardMode);
    wxGetApp().FileTransferEpilogue(files, event.GetInt() != 0, nullptr);
}
