#include "windows/portal/loadwindow.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "model/BatchDB.h"
#include "windows/map/MapPanel.h"
#include "windows/map/ShellMapInputs.h"
#include "windows/wizard/WizardRules.h"
#include "platform/Accessible.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/common/PictureButton.h"
#include "windows/common/checktreectrl.h"
#include "windows/wizard/ContentWizardLauncher.h"
#include "windows/wizard/processwizardsettings.h"
#include "windows/common/ErrorGate.h"

using namespace tw::portal;

wxIMPLEMENT_CLASS(LoadWindow, wxFrame);

wxBEGIN_EVENT_TABLE(LoadWindow, wxFrame)
    EVT_MENU(wxID_EXIT, LoadWindow::OnQuit)
    EVT_PAINT(LoadWindow::OnPaint)
    EVT_BUTTON(kGribFishingButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kBuoyWeatherButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kLaunchWizardButton, LoadWindow::OnBitmapbuttonlaunchwizardClick)
    EVT_BUTTON(kGribWeatherButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kWeatherChartsButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kTextForecastButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kSatelliteImageryButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kRadarButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kBuoysButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kSurfaceCurrentsButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kIceButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kTerrafinButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kDalenMorrowButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kMarisolVenetButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kHomeButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kPreferencesButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kGatewayButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kGpsButton, LoadWindow::OnWizardPageButtonClick)
    EVT_BUTTON(kBasicModeButton, LoadWindow::OnBasicModeButtonClick)
    EVT_BUTTON(kLibraryModeButton, LoadWindow::OnLibraryModeClick)
    EVT_BUTTON(kDownloadButton, LoadWindow::OnDownloadButtonClick)
    EVT_BUTTON(kRefreshListButton, LoadWindow::OnRefreshListClick)
    EVT_BUTTON(kZoomInButton, LoadWindow::OnZoomInClick)
    EVT_BUTTON(kZoomOutButton, LoadWindow::OnZoomOutClick)
    EVT_BUTTON(kRecenterReloadButton, LoadWindow::OnRecenterReloadClick)
    EVT_BUTTON(kChangeMapButton, LoadWindow::OnChangeMapViewClick)
    EVT_BUTTON(kDataManageButton, LoadWindow::OnLaunchPropertiesDlgClick)
    EVT_BUTTON(kHelpButton, LoadWindow::OnHelpButtonClick)
    EVT_BUTTON(kUpdateFileListButton, LoadWindow::OnUpdateFileListClick)
    EVT_TREE_ITEM_EXPANDED(ID_LOAD_CHECKTREE, LoadWindow::OnCheckTreeItemExpanded)
wxEND_EVENT_TABLE()

namespace {

constexpr int kWizardBatch = 2;
constexpr double kMinZoom = 0.146484375;
constexpr double kMaxZoom = 7.0;

LoadWindow::PropertiesDialogRunner& PropertiesRunner()
{
    static LoadWindow::PropertiesDialogRunner runner;
    return runner;
}

// Shows the home box of the application's home position, fitted to the map.
void ShowHomeBox(wxMapPanel* map)
{
    tw::Shell& app = tw::TheShell();
    const HomePosition& home = app.homePosition;
    map->SetZoom0Rect(static_cast<float>(std::fabs(home.lat)), static_cast<float>(std::fabs(home.lon)),
                      static_cast<float>(app.dlPrefs.HomeLocation_ContentBox), home.lon < 0 ? 1 : 0,
                      home.lat < 0 ? 1 : 0, -1);
}

} // namespace

LoadWindow::LoadWindow()
{
    Init();
}

LoadWindow::LoadWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                       const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
    // A main display too low for the window: near its top instead of centred.
    if (PlaceNearTop(wxDisplay(0u).GetGeometry().GetHeight(), GetSize().GetHeight()))
        Move(400, 20);
}

LoadWindow::~LoadWindow() = default;

void LoadWindow::Init()
{
    for (wxPictureButton*& button : m_buttons)
        button = nullptr;
    m_coordsLabel = nullptr;
    m_mapHolder = nullptr;
    m_contentMap = nullptr;
    m_checkTree = nullptr;
    m_backgroundImage.LoadFile(tw::ResourcesDir() + wxS("/res/LandingPageBackground.bmp"), wxBITMAP_TYPE_BMP);
}

bool LoadWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                        const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style))
        return false;
    SetBackgroundColour(wxColour(129, 129, 129));
    SetFont(wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxS("Tahoma")));
    CreateControls();
    SetIcon(GetIconResource(wxS("Icons/rivol.ico")));
    Centre(wxBOTH);
    return true;
}

void LoadWindow::CreateControls()
{
    tw::Shell& app = tw::TheShell();
    if (m_backgroundImage.IsOk())
        m_backgroundBitmap = wxBitmap(m_backgroundImage);

    // 1. Picture buttons, in table order.
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonRow& row = kButtons[i];
        auto* button = new wxPictureButton(this, row.id, GetBitmapResource(NormalFace(row)),
                                           wxPoint(row.x, row.y), wxSize(row.width, row.height), wxBORDER_NONE);
        if (row.pressedFace)
            button->SetBitmapPressed(GetBitmapResource(PressedFace(row)));
        button->SetBitmapCurrent(GetBitmapResource(HoverFace(row)));
        button->SetToolTip(wxGetTranslation(row.tooltip));
        m_buttons[i] = button;
    }

    // 2. The pointer position on the map.
    m_coordsLabel = new wxStaticText(this, wxID_STATIC, wxEmptyString, wxPoint(kCoordsLabelX, kCoordsLabelY),
                                     wxDefaultSize, wxALIGN_CENTRE);
    m_coordsLabel->SetToolTip(_("Lat/lon coordinates of your cursor on the content map"));
    m_coordsLabel->SetBackgroundColour(wxColour(255, 255, 255));

    // 3, 4. The content map in its holder.
    m_mapHolder = new wxPanel(this, ID_LOAD_MAP_HOLDER, wxPoint(kMapHolder.x, kMapHolder.y),
                              wxSize(kMapHolder.width, kMapHolder.height), wxTAB_TRAVERSAL);
    m_contentMap = new wxMapPanel(m_mapHolder, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG,
                                  wxMapPanel::kHomeChooser, kMapHolder.width, kMapHolder.height,
                                  tw::ShellMapInputs());
    m_contentMap->SetName(wxS("Map Window"));
    tw::SetAccessible(m_contentMap, tw::AccessibleRole::Map, _("Content map"));
    m_contentMap->SetBackgroundColour(wxColour(159, 159, 159));

    // 5. The suggestions tree.
    m_checkTree = new wxCheckTreeCtrl(this, ID_LOAD_CHECKTREE, wxPoint(kCheckTree.x, kCheckTree.y),
                                      wxSize(kCheckTree.width, kCheckTree.height),
                                      wxTR_HIDE_ROOT | wxTR_LINES_AT_ROOT | wxBORDER_NONE, wxDefaultValidator,
                                      wxS("treeCtrl"));
    tw::SetAccessible(m_checkTree, tw::AccessibleRole::Tree, _("Content suggestions"));
    m_checkTree->Bind(wxEVT_PAINT, &LoadWindow::OnCheckTreePaint, this, ID_LOAD_CHECKTREE);
    m_checkTree->Bind(wxEVT_ERASE_BACKGROUND, &LoadWindow::OnCheckTreeEraseBackground, this, ID_LOAD_CHECKTREE);

    // 6. The menu. Its Launch Wizard does what the button does.
    auto* modeMenu = new wxMenu;
    modeMenu->Append(ID_LOAD_LAUNCH_WIZARD_MENU, _("Launch Wizard"));
    modeMenu->Append(ID_LOAD_LIBRARY_MODE_MENU, _("Switch to Library Mode"));
    modeMenu->Append(ID_LOAD_BASIC_MODE_MENU, _("Switch to Basic Mode"));
    auto* menuBar = new wxMenuBar;
    menuBar->Append(modeMenu, _("Mode"));
    SetMenuBar(menuBar);
    Bind(wxEVT_MENU, &LoadWindow::OnLibraryModeClick, this, ID_LOAD_LIBRARY_MODE_MENU);
    Bind(wxEVT_MENU, &LoadWindow::OnBitmapbuttonlaunchwizardClick, this, ID_LOAD_LAUNCH_WIZARD_MENU);
    Bind(wxEVT_MENU, &LoadWindow::OnBasicModeButtonClick, this, ID_LOAD_BASIC_MODE_MENU);
    // The menu bar takes room inside the frame here: the client area is made
    // the size of the layout, so nothing at the bottom is cut off.
    SetClientSize(kClientWidth, kClientHeight);

    // 7. The picture buttons show the hand (wxPictureButton sets it itself).

    // 8. Map wiring.
    m_contentMap->Bind(wxEVT_MAP_BOX, &LoadWindow::OnMapBox, this);
    m_contentMap->m_statusLabel = m_coordsLabel;
    m_contentMap->m_maxZoom = kMaxZoom;
    m_contentMap->m_minZoom = kMinZoom;

    // 9. Initial state: the home box, the store, the tree, the first run.
    ShowHomeBox(m_contentMap);
    CBatchFolder::Instance()->SetDatabase(app.GetUserDb());
    RefreshList(false);
    if (app.firstRun) {
        // Queued: the wizard opens once the window is up. Once it has been
        // offered the first run is over, whatever ends this session.
        app.firstRun = false;
        CallAfter([this] {
            // A window closed before this ran (a termination signal, say)
            // offers nothing: the wizard would be destroyed with it while up.
            if (IsBeingDeleted() || wxTheApp->IsScheduledForDestruction(this))
                return;
            wxCommandEvent launch(wxEVT_BUTTON, ID_LOAD_LAUNCH_WIZARD_BUTTON);
            launch.SetEventObject(this);
            GetEventHandler()->SafelyProcessEvent(launch);
            tw::TheShell().RecordViewMode();
        });
    }
}

wxBitmap LoadWindow::GetBitmapResource(const wxString& name)
{
    if (!IsFaceFile(name.utf8_string()))
        return wxNullBitmap;
    wxBitmap bitmap;
    bitmap.LoadFile(tw::ResourcesDir() + wxS("/") + name, wxBITMAP_TYPE_PNG);
    return bitmap;
}

wxIcon LoadWindow::GetIconResource(const wxString& name)
{
    wxIcon icon;
    if (name == wxS("Icons/rivol.ico"))
        icon.LoadFile(tw::ResourcesDir() + wxS("/") + name, wxBITMAP_TYPE_ICO);
    return icon;
}

wxPictureButton* LoadWindow::GetButton(int id) const
{
    for (wxPictureButton* button : m_buttons)
        if (button && button->GetId() == id)
            return button;
    return nullptr;
}

LoadWindow::PropertiesDialogRunner LoadWindow::SetPropertiesDialogRunner(PropertiesDialogRunner runner)
{
    return std::exchange(PropertiesRunner(), std::move(runner));
}

// ---------------------------------------------------------------- suggestions

ProcessWizardSettings* LoadWindow::SuggestionLog()
{
    if (!m_suggestionLog) {
        auto* log = new ProcessWizardSettings(this, ID_PROCESSWIZARDSETTINGS, _("ProcessWizardSettings"),
                                              wxDefaultPosition, wxSize(400, 300),
                                              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
        // Closing it only hides it: the next run uses it again.
        log->Bind(wxEVT_CLOSE_WINDOW, [log](wxCloseEvent& event) {
            if (event.CanVeto()) {
                event.Veto();
                log->Hide();
            } else {
                event.Skip();
            }
        });
        m_suggestionLog = log;
    }
    return m_suggestionLog.get();
}

void LoadWindow::RefreshList(bool run)
{
    wxBusyCursor busy;
    if (run) {
        ProcessWizardSettings* log = SuggestionLog();
        if (log->m_logText)
            log->m_logText->Clear();
        if (wxGetKeyState(WXK_CONTROL)) {
            log->Show();
            log->Raise();
        } else {
            log->Hide();
        }
        log->Process(true);
    }
    if (m_checkTree) {
        SuggestionTreeText text;
        text.leafFromTitle = false;
        text.missingItem = wxS("No FileInfo for ");
        BuildSuggestionTree(*m_checkTree, text);
    }
}

void LoadWindow::LaunchWizard(int page)
{
    if (tw::RunContentWizard(this, page))
        RefreshList(true);
    RecenterReload();
}

void LoadWindow::RecenterReload()
{
    if (!m_contentMap)
        return;
    // The application's inputs as they are now (the wizard may have changed
    // the home marker).
    m_contentMap->SetInputs(tw::ShellMapInputs());
    m_contentMap->Init();
    m_contentMap->InitWorldZoom();
    ShowHomeBox(m_contentMap);
}

void LoadWindow::OnMapBox(MapBoxEvent& event)
{
    // The box becomes the manual home position, stored first; the map then
    // shows the new home box.
    tw::Shell& app = tw::TheShell();
    // Within what the home location page takes, which refuses any other.
    app.dlPrefs.HomeLocation_ContentBox = std::clamp(static_cast<int>(event.GetWidth()), tw::wizard::kMinContentBox,
                                                     tw::wizard::kMaxContentBox);
    app.dlPrefs.HomeLocation_Source = 2;
    app.dlPrefs.HomeLocation_ManualLat = event.GetLat();
    app.dlPrefs.HomeLocation_ManualLon = event.GetLon();
    app.dlPrefs.WriteRegistry();
    app.UpdateHomePosition();
    RecenterReload();
}

// ---------------------------------------------------------------- handlers

void LoadWindow::OnPaint(wxPaintEvent& event)
{
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    wxPaintDC dc(window ? window : this);
    if (m_backgroundBitmap.IsOk())
        dc.DrawBitmap(m_backgroundBitmap, 0, 0, false);
}

void LoadWindow::OnQuit(wxCommandEvent&)
{
    Close();
}

void LoadWindow::OnBitmapbuttonlaunchwizardClick(wxCommandEvent&)
{
    // Cancelling from here leaves the map as it is.
    if (tw::RunContentWizard(this, tw::kWizardWelcome)) {
        RefreshList(true);
        RecenterReload();
    }
}

void LoadWindow::OnWizardPageButtonClick(wxCommandEvent& event)
{
    const ButtonRow* row = FindButton(event.GetId());
    if (row && row->wizardPage > 0)
        LaunchWizard(row->wizardPage);
}

void LoadWindow::OnBasicModeButtonClick(wxCommandEvent&)
{
    // This window is destroyed once the event is handled.
    tw::TheShell().ChangeWindowMode(tw::kModeBasic);
}

void LoadWindow::OnLibraryModeClick(wxCommandEvent&)
{
    tw::TheShell().ChangeWindowMode(tw::kModeLibrary);
}

void LoadWindow::OnDownloadButtonClick(wxCommandEvent&)
{
    StartWizardBatchDownload(this, wxCommandEventHandler(LoadWindow::OnTransferDone));
}

void LoadWindow::OnTransferDone(wxCommandEvent& event)
{
    // The tree stays as it is: the download changes no mark.
    FinishWizardBatchDownload(event);
}

void LoadWindow::OnRefreshListClick(wxCommandEvent&)
{
    RefreshList(true);
}

void LoadWindow::OnZoomInClick(wxCommandEvent&)
{
    m_contentMap->ZoomIn();
}

void LoadWindow::OnZoomOutClick(wxCommandEvent&)
{
    m_contentMap->ZoomOut();
}

void LoadWindow::OnRecenterReloadClick(wxCommandEvent&)
{
    RecenterReload();
}

void LoadWindow::OnChangeMapViewClick(wxCommandEvent&)
{
    m_contentMap->LoadWorldMap(0.2);
}

void LoadWindow::OnLaunchPropertiesDlgClick(wxCommandEvent&)
{
    CBatchFolder* store = CBatchFolder::Instance();
    try {
        CBatch batch = store->GetBatchByIndex(kWizardBatch);
        batch.info.ID = kWizardBatch;
        const wxString folder = batch.info.folder;
        const PropertiesDialogRunner& runner = PropertiesRunner();
        const int result = runner ? runner(&batch, false) : tw::TheShell().BatchDialog(&batch, false);
        if (result != wxID_OK)
            return;
        store->SetBatchByIndex(kWizardBatch, &batch);
        if (batch.info.folder != folder)
            tw::TheShell().SetTransferFolder(batch.info.folder, true);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(wxS("The properties of the suggested content could not be stored: ") + e.GetMessage(), this);
    }
}

void LoadWindow::OnHelpButtonClick(wxCommandEvent&)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_PORTAL);
}

void LoadWindow::OnUpdateFileListClick(wxCommandEvent&)
{
    tw::TheShell().OnUpdateDB();
}

void LoadWindow::OnCheckTreeItemExpanded(wxTreeEvent& event)
{
    // As much of the branch in view as fits, the item itself never scrolled away.
    const wxTreeItemId item = event.GetItem();
    if (m_checkTree && item.IsOk() && item != m_checkTree->GetRootItem()) {
        const wxTreeItemId last = m_checkTree->GetLastChild(item);
        if (last.IsOk())
            m_checkTree->EnsureVisible(last);
        m_checkTree->EnsureVisible(item);
    }
    event.Skip();
}

void LoadWindow::OnCheckTreePaint(wxPaintEvent& event)
{
    event.Skip();
}

void LoadWindow::OnCheckTreeEraseBackground(wxEraseEvent& event)
{
    event.Skip();
}
