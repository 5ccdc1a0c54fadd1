#include "windows/basicwindow.h"

#include <cmath>

#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "catalogue/BatchDB.h"
#include "platform/UiHooks.h"
#include "map/MapPanel.h"

wxIMPLEMENT_CLASS(BasicWindow, wxFrame);

wxBEGIN_EVENT_TABLE(BasicWindow, wxFrame)
    EVT_MENU(ID_BASIC_LAUNCH_WIZARD, BasicWindow::OnLaunchWizard)
    EVT_MENU(ID_BASIC_LIBRARY_MODE, BasicWindow::OnLibraryMode)
    EVT_MENU(ID_BASIC_PORTAL_MODE, BasicWindow::OnPortalMode)
wxEND_EVENT_TABLE()

BasicWindow::BasicWindow()
{
    Init();
}

BasicWindow::BasicWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

BasicWindow::~BasicWindow() = default;

void BasicWindow::Init()
{
    m_lat = 0.0f;
    m_lon = 0.0f;
    m_width = 0.0f;
    m_wizardRequests = 0;
    m_map = nullptr;
    m_pointerLabel = nullptr;
    m_batchFolder = CBatchFolder::Instance();
    m_batchFolder->SetDatabase(wxGetApp().GetUserDb());
}

bool BasicWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style))
        return false;
    CreateControls();
    Centre();
    return true;
}

void BasicWindow::CreateControls()
{
    auto* modeMenu = new wxMenu;
    modeMenu->Append(ID_BASIC_LAUNCH_WIZARD, _("Launch Wizard"));
    modeMenu->Append(ID_BASIC_LIBRARY_MODE, _("Switch to Library Mode"));
    modeMenu->Append(ID_BASIC_PORTAL_MODE, _("Switch to Portal Mode"));
    auto* menuBar = new wxMenuBar;
    menuBar->Append(modeMenu, _("Mode"));
    SetMenuBar(menuBar);

    auto* panel = new wxPanel(this, wxID_ANY);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    panel->SetSizer(sizer);
    m_map = new wxMapPanel(panel, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, wxMapPanel::kMainWindow, 600, 300);
    m_map->SetName(wxS("Map Window"));
    sizer->Add(m_map, 1, wxEXPAND | wxALL, 5);
    m_pointerLabel = new wxStaticText(panel, ID_BASIC_POINTER_LABEL, wxEmptyString);
    sizer->Add(m_pointerLabel, 0, wxALL, 5);
    m_map->m_statusLabel = m_pointerLabel;
    m_map->m_basicWindow = this;
    m_map->m_maxZoom = 7.0;
    m_map->m_minZoom = 0.146484375;

    double lat = 0.0, lon = 0.0;
    int width = 0;
    if (wxGetApp().GetUserDb() && GetCoords(lat, lon, width)) {
        m_lat = static_cast<float>(lat);
        m_lon = static_cast<float>(lon);
        m_width = static_cast<float>(width);
        if (width > 0)
            m_map->SetZoom0Rect(static_cast<float>(std::fabs(lat)), static_cast<float>(std::fabs(lon)),
                                static_cast<float>(width), lon < 0 ? 1 : 0, lat < 0 ? 1 : 0, -1);
    }

    TidewrightApp& app = wxGetApp();
    if (app.firstRun) {
        app.firstRun = false;
        wxCommandEvent launch(wxEVT_MENU, ID_BASIC_LAUNCH_WIZARD);
        launch.SetEventObject(this);
        wxPostEvent(this, launch);
    }
}

bool BasicWindow::GetCoords(double& lat, double& lon, int& width)
{
    wxSQLite3Database* db = wxGetApp().GetUserDb();
    if (!db)
        return false;
    wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT lat,lon,width FROM batches WHERE ID = 1");
    if (!rs.NextRow())
        return false;
    lat = rs.GetDouble("lat", 0.0);
    lon = rs.GetDouble("lon", 0.0);
    width = rs.GetInt("width", 0);
    return true;
}

bool BasicWindow::UpdateCoords(double lat, double lon, int width)
{
    if (width < 1 || width > 80 || lon < -180.0 || lon > 180.0 || lat < -90.0 || lat > 90.0)
        return false;
    wxSQLite3Database* db = wxGetApp().GetUserDb();
    if (!db)
        return false;
    wxSQLite3Statement st = db->PrepareStatement("UPDATE batches SET lat = ?, lon = ?, width = ? WHERE ID = 1");
    st.Bind(1, lat);
    st.Bind(2, lon);
    st.Bind(3, width);
    st.ExecuteUpdate();
    return true;
}

void BasicWindow::UpdateCoords()
{
    wxSQLite3Database* db = wxGetApp().GetUserDb();
    if (!db)
        return;
    wxSQLite3Statement st = db->PrepareStatement("UPDATE batches SET lat = ?, lon = ?, width = ? WHERE ID = 1");
    st.Bind(1, static_cast<double>(m_lat));
    st.Bind(2, static_cast<double>(m_lon));
    st.Bind(3, static_cast<double>(m_width));
    st.ExecuteUpdate();
}

void BasicWindow::OnLaunchWizard(wxCommandEvent&)
{
    wxGetApp().ClearBasicHomePosition();
    ++m_wizardRequests;
}

void BasicWindow::OnLibraryMode(wxCommandEvent&)
{
    wxGetApp().SetBasicHomePosition(m_lat, m_lon, static_cast<int>(m_width));
    wxGetApp().ChangeWindowMode(TidewrightApp::kModeLibrary);
}

void BasicWindow::OnPortalMode(wxCommandEvent&)
{
    wxGetApp().ClearBasicHomePosition();
    wxGetApp().ChangeWindowMode(TidewrightApp::kModePortal);
}

void BasicWindow::OnDownloadButtonClick(wxCommandEvent&)
{
    CActiveFileList files;
    m_batchFolder->GetActiveFileList(files, CBatchFolder::kBasicMode);
    HomePosition area(m_lat, m_lon, static_cast<int>(m_width));
    if (!wxGetApp().FileTransferStart(files, this, wxCommandEventHandler(BasicWindow::OnTransferDone), 0, &area))
        tw::MessageBox(wxS("Failed to create the download window."), wxS("Message"), wxOK);
}

void BasicWindow::OnTransferDone(wxCommandEvent& event)
{
    CActiveFileList files;
    m_batchFolder->GetActiveFileList(files, CBatchFolder::kBasicMode);
    HomePosition area;
    wxGetApp().FileTransferEpilogue(files, event.GetInt() != 0, &area);
    if (!area.valid)
        return;
    m_lat = static_cast<float>(area.lat);
    m_lon = static_cast<float>(area.lon);
    m_width = static_cast<float>(area.width);
    UpdateCoords(area.lat, area.lon, area.width);
    if (m_map && area.width > 0)
        m_map->SetZoom0Rect(static_cast<float>(std::fabs(area.lat)), static_cast<float>(std::fabs(area.lon)),
                            static_cast<float>(area.width), area.lon < 0 ? 1 : 0, area.lat < 0 ? 1 : 0, -1);
}
