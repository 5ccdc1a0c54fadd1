#include "windows/basic/basicwindow.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "windows/common/Shell.h"
#include "core/Editions.h"
#include "model/BasicBatch.h"
#include "model/BatchDB.h"
#include "model/LocalCopy.h"
#include "windows/map/MapPanel.h"
#include "windows/map/ShellMapInputs.h"
#include "platform/Accessible.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/transfer/connsettings.h"
#include "windows/common/ErrorGate.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/ContentWizardLauncher.h"

using namespace tw::basic;

wxIMPLEMENT_CLASS(BasicWindow, wxFrame);

wxBEGIN_EVENT_TABLE(BasicWindow, wxFrame)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_1, BasicWindow::OnTogglebutton1Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_2, BasicWindow::OnTogglebutton2Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_3, BasicWindow::OnTogglebutton3Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_4, BasicWindow::OnTogglebutton4Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_5, BasicWindow::OnTogglebutton5Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_6, BasicWindow::OnTogglebutton6Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_7, BasicWindow::OnTogglebutton7Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_8, BasicWindow::OnTogglebutton8Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_9, BasicWindow::OnTogglebutton9Click)
    EVT_TOGGLEBUTTON(ID_BASIC_TOGGLE_10, BasicWindow::OnTogglebutton10Click)
    EVT_BUTTON(ID_BASIC_PAGE_BUTTON, BasicWindow::OnWeatherPageButtonClick)
    EVT_BUTTON(ID_BASIC_LIBRARY_BUTTON, BasicWindow::OnMoreProductsButtonClick)
    EVT_BUTTON(ID_BASIC_UPDATE_BUTTON, BasicWindow::OnChkUpdatesButtonClick)
    EVT_BUTTON(ID_BASIC_PORTAL_BUTTON, BasicWindow::OnPortalButtonClick)
    EVT_BUTTON(ID_BASIC_SETTINGS_BUTTON, BasicWindow::OnSettingsButtonClick)
    EVT_BUTTON(ID_BASIC_PROPERTIES_BUTTON, BasicWindow::OnPropertiesButtonClick)
    EVT_BUTTON(ID_BASIC_HELP_BUTTON, BasicWindow::OnHelpButtonClick)
    EVT_BUTTON(ID_BASIC_DOWNLOAD_BUTTON, BasicWindow::OnDownloadButtonClick)
    EVT_BUTTON(ID_BASIC_CHANGE_MAP_BUTTON, BasicWindow::OnChangeMapViewButtonClick)
    EVT_BUTTON(ID_BASIC_ZOOM_IN, BasicWindow::OnZoomInClick)
    EVT_BUTTON(ID_BASIC_ZOOM_OUT, BasicWindow::OnZoomOutClick)
    EVT_BUTTON(ID_BASIC_VIEW_BUTTON, BasicWindow::OnViewButtonClick)
wxEND_EVENT_TABLE()

namespace {

const int kToggleIds[kButtonsPerPage] = {ID_BASIC_TOGGLE_1, ID_BASIC_TOGGLE_2, ID_BASIC_TOGGLE_3, ID_BASIC_TOGGLE_4,
                                         ID_BASIC_TOGGLE_5, ID_BASIC_TOGGLE_6, ID_BASIC_TOGGLE_7, ID_BASIC_TOGGLE_8,
                                         ID_BASIC_TOGGLE_9, ID_BASIC_TOGGLE_10};

// The pictures the window loads by name.
const char* const kPictureNames[] = {
    "res/tool_library.png", "res/tool_library_over.png",
    "res/tool_UpdateFileListLrg.png", "res/tool_UpdateFileListLrg_over.png",
    "res/tool_portal.png", "res/tool_portal_over.png",
    "res/tool_Gateway.png", "res/tool_Gateway_over.png",
    "res/tool_DataManage.png", "res/tool_DataManage_over.png",
    "res/tool_help_basic.png", "res/tool_help_over_basic.png",
    "res/btn_Download_Basic.png", "res/btn_Download_over_Basic.png",
    "Icons/Rivol Alaska.png", "res/btn_ChangeMapView.png",
    "res/btn_ChangeMapView_over.png", "res/btn_ZoomIn_basic.png",
    "res/btn_ZoomIn_over_basic.png", "res/ZoomStripes.png",
    "res/btn_ZoomOut_basic.png", "res/btn_ZoomOut_over_basic.png",
    "res/btn_View.png", "res/btn_View_over.png",
    "res/PointerCoordinates.png"
};

const wxString kDefaultRegionPicture = wxS("Icons/Rivol Alaska.png");
const wxString kWindowIcon = wxS("Icons/rivol.ico");

// The white field of the pointer-coordinates picture that the pointer
// label sits in (picture pixels, right and bottom edges included).
const wxRect kPointerField(180, 4, 123, 23);
// The widest text the map writes into the pointer label.
const wxString kWidestPointerText = wxS("90.00S - 180.00W");

// Product list columns: title, width the layout gives it, and the widest
// text it must show.
struct Column {
    const char* title;
    int width;
    const char* widest;
};
const Column kColumns[] = {{"Download Date", 110, "88-88-88 88:88"},
                           {"Size", 50, "99999Kb"},
                           {"Price", 50, "$99.99"},
                           {"Product Description", 370, ""}};

BasicWindow::BatchDialogRunner& DialogRunner()
{
    static BasicWindow::BatchDialogRunner runner;
    return runner;
}

// A picture of the resources folder, quietly empty when it is missing.
wxBitmap LoadPicture(const wxString& relative)
{
    const wxString path = tw::ResourcesDir() + "/" + relative;
    wxBitmap bitmap;
    if (wxFileExists(path)) {
        wxLogNull quiet;
        bitmap.LoadFile(path, wxBITMAP_TYPE_PNG);
    }
    if (!bitmap.IsOk())
        wxLogWarning("Cannot load the picture %s.", path);
    return bitmap;
}

wxFont TextFont()
{
    return wxFont(wxFontInfo(11).Family(wxFONTFAMILY_SWISS).FaceName(wxS("Tahoma")));
}

wxPictureButton* PictureButton(wxWindow* parent, int id, const wxString& normal, const wxString& hover,
                               const wxString& tip)
{
    auto* button = new wxPictureButton(parent, id, BasicWindow::GetBitmapResource(normal), wxDefaultPosition,
                                       wxDefaultSize, wxBORDER_NONE);
    button->SetBitmapCurrent(BasicWindow::GetBitmapResource(hover));
    if (!tip.empty() && BasicWindow::ShowToolTips())
        button->SetToolTip(tip);
    return button;
}

// "res/x.png" -> "res/x_over.png".
wxString OverName(const wxString& name)
{
    return name.BeforeLast('.') + wxS("_over.") + name.AfterLast('.');
}

} // namespace

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
    m_personalityCount = 0;
    m_buttonTexts.assign(kButtonCount, wxString());
    m_buttonRecids.assign(kButtonCount, wxString());
    std::fill(std::begin(m_buttonSelected), std::end(m_buttonSelected), 0);
    m_page = 1;
    // Until the stored area is read: the area a damaged one is repaired to.
    m_lat = static_cast<float>(kDefaultLat);
    m_lon = static_cast<float>(kDefaultLon);
    m_width = static_cast<float>(kDefaultWidth);
    m_wizardRequests = 0;
    m_panel = nullptr;
    std::fill(std::begin(m_toggleButtons), std::end(m_toggleButtons), nullptr);
    m_pageBox = nullptr;
    m_otherPageBox = nullptr;
    m_pageButton = nullptr;
    m_regionPicture = nullptr;
    m_productList = nullptr;
    m_mapPanel = nullptr;
    m_pointerPicture = nullptr;
    m_pointerLabel = nullptr;
    m_downloadButton = nullptr;
    m_modeMenu = nullptr;
    m_personalityMenu = nullptr;
    m_catalogueDb = nullptr;
    m_areaPending = false;
    m_areaKnown = false;
    m_pendingZoom = 0;
    m_batchFolder = CBatchFolder::Instance();
    m_batchFolder->SetDatabase(tw::TheShell().GetUserDb());
}

bool BasicWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style, wxS("frame")))
        return false;
    SetBackgroundColour(wxColour(190, 190, 190));
    CreateControls();
    const wxIcon icon = GetIconResource(kWindowIcon);
    if (icon.IsOk())
        SetIcon(icon);
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    PlacePointerLabel();
    Centre(wxBOTH);
    return true;
}

// ---------------------------------------------------------------- resources

wxBitmap BasicWindow::GetBitmapResource(const wxString& name)
{
    for (const char* known : kPictureNames)
        if (name == known)
            return LoadPicture(name);
    return wxNullBitmap;
}

wxIcon BasicWindow::GetIconResource(const wxString& name)
{
    if (name != kWindowIcon)
        return wxNullIcon;
    const wxString path = tw::ResourcesDir() + "/" + name;
    wxIcon icon;
    if (wxFileExists(path)) {
        wxLogNull quiet;
        icon.LoadFile(path, wxBITMAP_TYPE_ICO);
    }
    return icon;
}

// ---------------------------------------------------------------- construction

void BasicWindow::CreateControls()
{
    tw::Shell& app = tw::TheShell();
    const wxFont textFont = TextFont();

    m_panel = new wxPanel(this, wxID_ANY);
    m_panel->SetBackgroundColour(wxColour(190, 190, 190));
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    auto* right = new wxBoxSizer(wxVERTICAL);
    top->Add(left, 0, wxALL, 5);
    top->Add(right, 0, wxALL, 5);

    // Left column: the ten toggles, the page button, the commands, Download.
    auto* pageSizer = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Weather Page 1"));
    m_pageBox = pageSizer->GetStaticBox();
    for (int p = 0; p < kButtonsPerPage; ++p) {
        m_toggleButtons[p] = new wxToggleButton(m_pageBox, kToggleIds[p], wxString::Format("%d", p + 1));
        m_toggleButtons[p]->SetValue(false);
        pageSizer->Add(m_toggleButtons[p], 0, wxEXPAND | wxALL, 2);
    }
    left->Add(pageSizer, 0, wxEXPAND);
    left->AddSpacer(15);

    auto* otherSizer = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Weather Page 1"));
    m_otherPageBox = otherSizer->GetStaticBox();
    m_otherPageBox->SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).FaceName(wxS("Tahoma"))));
    m_pageButton = new wxButton(m_otherPageBox, ID_BASIC_PAGE_BUTTON, _("Goto Weather Page 2"));
    if (ShowToolTips())
        m_pageButton->SetToolTip(_("Move to a second page of 10 content buttons"));
    otherSizer->Add(m_pageButton, 0, wxEXPAND | wxALL, 2);
    left->Add(otherSizer, 0, wxEXPAND);
    left->AddSpacer(15);

    auto* controlSizer = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Control"));
    wxStaticBox* controlBox = controlSizer->GetStaticBox();
    auto* grid = new wxFlexGridSizer(2, 3, 10, 13);
    struct Command {
        int id;
        const char* picture;
        const char* hover;
        const char* tip;
    };
    const Command commands[] = {
        {ID_BASIC_LIBRARY_BUTTON, "res/tool_library.png", nullptr, "Launches the Tidewright Library Mode"},
        {ID_BASIC_UPDATE_BUTTON, "res/tool_UpdateFileListLrg.png", nullptr, "Update File List: checks for and updates the File List"},
        {ID_BASIC_PORTAL_BUTTON, "res/tool_portal.png", nullptr, "Launches the Tidewright Portal Mode"},
        {ID_BASIC_SETTINGS_BUTTON, "res/tool_Gateway.png", nullptr, "Tidewright account control settings"},
        {ID_BASIC_PROPERTIES_BUTTON, "res/tool_DataManage.png", nullptr, "Data management preferences"},
        {ID_BASIC_HELP_BUTTON, "res/tool_help_basic.png", "res/tool_help_over_basic.png", "Launch the Help window"},
    };
    for (const Command& c : commands) {
        const wxString normal = c.picture;
        const wxString hover = c.hover ? wxString(c.hover) : OverName(normal);
        grid->Add(PictureButton(controlBox, c.id, normal, hover, wxGetTranslation(c.tip)), 0,
                  wxALIGN_CENTER);
    }
    controlSizer->Add(grid, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    left->Add(controlSizer, 0, wxEXPAND);
    left->AddSpacer(15);

    m_downloadButton = PictureButton(m_panel, ID_BASIC_DOWNLOAD_BUTTON, wxS("res/btn_Download_Basic.png"),
                                     wxS("res/btn_Download_over_Basic.png"),
                                     _("Launch File Transfer module to retrieve content"));
    left->Add(m_downloadButton, 0, wxALIGN_CENTER_HORIZONTAL);

    // Right column: instructions and personality picture, product list,
    // instructions and Change Map View, the map, zoom and view commands.
    const int mapWidth = 600;
    auto* headRow = new wxBoxSizer(wxHORIZONTAL);
    auto* instruction = new wxStaticText(m_panel, wxID_STATIC,
                                         _("Click on Weather buttons to add/remove product from the list below"));
    instruction->SetFont(textFont);
    const wxBitmap regionBitmap = GetBitmapResource(kDefaultRegionPicture);
    m_regionPicture = new wxStaticBitmap(m_panel, wxID_STATIC, regionBitmap, wxDefaultPosition, wxSize(175, 30));
    instruction->Wrap(mapWidth - 50 - m_regionPicture->GetSize().x);
    headRow->Add(instruction, 0, wxALIGN_CENTER_VERTICAL);
    headRow->Add(50, 5, 1);
    headRow->Add(m_regionPicture, 0, wxALIGN_CENTER_VERTICAL);
    right->Add(headRow, 0, wxEXPAND | wxBOTTOM, 3);

    m_productList = new wxListCtrl(m_panel, ID_BASIC_PRODUCT_LIST, wxDefaultPosition, wxSize(mapWidth, 150),
                                   wxLC_REPORT | wxBORDER_NONE);
    m_productList->SetBackgroundColour(wxColour(255, 255, 255));
    m_productList->SetFont(textFont);
    tw::SetAccessible(m_productList, tw::AccessibleRole::List, _("Product list"));
    right->Add(m_productList, 0, wxEXPAND);

    auto* mapRow = new wxBoxSizer(wxHORIZONTAL);
    auto* mapInstruction = new wxStaticText(
        m_panel, wxID_STATIC, _("Click and drag a box around a region for which you want to download weather"));
    mapInstruction->SetFont(textFont);
    auto* changeMap = PictureButton(m_panel, ID_BASIC_CHANGE_MAP_BUTTON, wxS("res/btn_ChangeMapView.png"),
                                    wxS("res/btn_ChangeMapView_over.png"),
                                    _("Changes map center from Atlantic to Pacific"));
    mapInstruction->Wrap(mapWidth - 10 - changeMap->GetBestSize().x);
    mapRow->Add(mapInstruction, 0, wxALIGN_CENTER_VERTICAL);
    mapRow->Add(10, 33, 1);
    mapRow->Add(changeMap, 0, wxALIGN_CENTER_VERTICAL);
    right->Add(mapRow, 0, wxEXPAND | wxTOP | wxBOTTOM, 3);

    m_mapPanel = new wxMapPanel(m_panel, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, wxMapPanel::kMainWindow,
                                mapWidth, 300, tw::ShellMapInputs());
    m_mapPanel->SetName(wxS("Map Window"));
    tw::SetAccessible(m_mapPanel, tw::AccessibleRole::Map, _("Download area map"));
    right->Add(m_mapPanel, 0, wxFIXED_MINSIZE);
    right->Add(5, 10);

    auto* zoomRow = new wxBoxSizer(wxHORIZONTAL);
    auto* zoomIn = PictureButton(m_panel, ID_BASIC_ZOOM_IN, wxS("res/btn_ZoomIn_basic.png"),
                                 wxS("res/btn_ZoomIn_over_basic.png"), wxString());
    auto* stripes = new wxStaticBitmap(m_panel, wxID_STATIC, GetBitmapResource(wxS("res/ZoomStripes.png")));
    auto* zoomOut = PictureButton(m_panel, ID_BASIC_ZOOM_OUT, wxS("res/btn_ZoomOut_basic.png"),
                                  wxS("res/btn_ZoomOut_over_basic.png"), wxString());
    zoomIn->SetAccessibleName(_("Zoom in"));
    zoomOut->SetAccessibleName(_("Zoom out"));
    auto* view = PictureButton(m_panel, ID_BASIC_VIEW_BUTTON, wxS("res/btn_View.png"), wxS("res/btn_View_over.png"),
                               _("View downloaded files highlighted in download list"));
    m_pointerPicture =
        new wxStaticBitmap(m_panel, wxID_STATIC, GetBitmapResource(wxS("res/PointerCoordinates.png")));
    zoomRow->Add(zoomIn, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 2);
    zoomRow->Add(stripes, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 5);
    zoomRow->Add(zoomOut, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 15);
    zoomRow->Add(view, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 15);
    zoomRow->Add(m_pointerPicture, 0, wxALIGN_CENTER_VERTICAL);
    right->Add(zoomRow, 0, wxALIGN_CENTER_HORIZONTAL);

    // The pointer label lies over the white field of the pointer picture;
    // it is placed there whenever the layout changes. Its font is made small
    // enough for the widest position the map writes.
    m_pointerLabel = new wxStaticText(m_panel, ID_BASIC_POINTER_LABEL, _("Pointer:"), wxDefaultPosition,
                                      wxDefaultSize, wxBORDER_NONE | wxST_NO_AUTORESIZE);
    m_pointerLabel->SetBackgroundColour(wxColour(255, 255, 255));
    wxFont labelFont = textFont;
    const int fieldWidth = kPointerField.width - 4;
    while (labelFont.GetPointSize() > 6) {
        wxClientDC dc(m_pointerLabel);
        dc.SetFont(labelFont);
        if (dc.GetTextExtent(kWidestPointerText).x <= fieldWidth)
            break;
        labelFont.SetPointSize(labelFont.GetPointSize() - 1);
    }
    m_pointerLabel->SetFont(labelFont);

    m_panel->SetSizer(top);
    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(m_panel, 1, wxEXPAND);
    SetSizer(frameSizer);
    m_panel->Bind(wxEVT_SIZE, [this](wxSizeEvent&) {
        m_panel->Layout();
        PlacePointerLabel();
    });

    // The map of the Basic batch's area.
    m_mapPanel->m_statusLabel = m_pointerLabel;
    m_mapPanel->Bind(wxEVT_MAP_BOX, &BasicWindow::OnMapBox, this);
    m_mapPanel->m_maxZoom = 7.0;
    m_mapPanel->m_minZoom = 0.146484375;
    m_mapPanel->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (m_areaPending)
            ShowArea(m_pendingZoom);
    });

    // Double clicks on the product list open its product.
    m_productList->Bind(wxEVT_LEFT_DCLICK, &BasicWindow::OnLeftDClick, this);

    // Menus.
    m_modeMenu = new wxMenu;
    m_modeMenu->Append(ID_BASIC_LAUNCH_WIZARD, _("Launch Wizard"));
    m_modeMenu->Append(ID_BASIC_LIBRARY_MODE, _("Switch to Library Mode"));
    m_modeMenu->Append(ID_BASIC_PORTAL_MODE, _("Switch to Portal Mode"));
    auto* menuBar = new wxMenuBar;
    menuBar->Append(m_modeMenu, _("Mode"));
    m_personalityMenu = new wxMenu;
    m_catalogueDb = app.GetProductDb();
    BuildPersonalityMenu();
    menuBar->Append(m_personalityMenu, _("Personality"));
    SetMenuBar(menuBar);

    // The catch-all first: later bindings are searched before it.
    Bind(wxEVT_MENU, &BasicWindow::onPersonalityMenuItemClick, this, wxID_ANY);
    Bind(wxEVT_MENU, &BasicWindow::OnMenuBatchModeClick, this, ID_BASIC_LIBRARY_MODE);
    Bind(wxEVT_MENU, &BasicWindow::OnMenuContentWizardClick, this, ID_BASIC_LAUNCH_WIZARD);
    Bind(wxEVT_MENU, &BasicWindow::OnMenuLoadWindowClick, this, ID_BASIC_PORTAL_MODE);
    Bind(wxEVT_MENU, &BasicWindow::OnQuit, this, wxID_EXIT);

    // Product list columns, wide enough for their texts in this font.
    {
        wxClientDC dc(m_productList);
        dc.SetFont(textFont);
        int used = 0;
        const int count = static_cast<int>(sizeof kColumns / sizeof kColumns[0]);
        for (int c = 0; c < count; ++c) {
            int width = kColumns[c].width;
            if (c < count - 1) {
                width = std::max({width, dc.GetTextExtent(kColumns[c].widest).x + 12,
                                  dc.GetTextExtent(kColumns[c].title).x + 12});
                used += width;
            } else {
                width = std::max(width, mapWidth - used - 20);
            }
            m_productList->AppendColumn(wxGetTranslation(kColumns[c].title), wxLIST_FORMAT_LEFT, width);
        }
    }

    // The stored state; a personality that cannot be restored gives way to
    // the first one of the menu.
    bool restored = false;
    try {
        restored = LoadCurrentPersonality(true);
        if (!restored && !m_personalities.empty())
            GetNewPersonality(m_personalities.front().regionName);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
    SetProductButtons();

    // A first run opens the content wizard once the window is shown.
    if (app.firstRun) {
        // Once the wizard has been offered the first run is over, whatever
        // ends this session.
        app.firstRun = false;
        CallAfter([this] {
            // A window closed before this ran (a termination signal, say)
            // offers nothing: the wizard would be destroyed with it while up.
            if (IsBeingDeleted() || wxTheApp->IsScheduledForDestruction(this))
                return;
            wxCommandEvent launch(wxEVT_MENU, ID_BASIC_LAUNCH_WIZARD);
            launch.SetEventObject(this);
            GetEventHandler()->SafelyProcessEvent(launch);
            tw::TheShell().RecordViewMode();
        });
    }
}

void BasicWindow::BuildPersonalityMenu()
{
    m_personalities.clear();
    m_personalityCount = 0;
    if (!m_catalogueDb)
        return;
    std::vector<PictureRow> pictureRows;
    try {
        m_personalityCount = ReadPersonalityCount(m_catalogueDb);
        if (m_personalityCount > 0)
            pictureRows = ReadPictureRows(m_catalogueDb);
    } catch (const wxSQLite3Exception& e) {
        m_personalityCount = 0;
        wxLogError("Cannot read the personalities: %s", e.GetMessage());
    }
    if (m_personalityCount <= 0) {
        tw::MessageBox(wxS("Error: Buttons not found in Database"), wxS("Error"), wxOK, tw::BoxParent(this));
        return;
    }
    for (const PictureRow& row : MenuPersonalities(pictureRows, m_personalityCount)) {
        struct_PersonalityIDs entry;
        entry.regionName = row.region;
        entry.graphicName = row.graphic;
        // The label shows the name as it is: an ampersand is no mnemonic.
        wxMenuItem* item = m_personalityMenu->Append(wxID_ANY, wxControl::EscapeMnemonics(row.region));
        entry.menuId = item->GetId();
        m_personalities.push_back(entry);
    }
}

// A box drawn on the map becomes the Basic batch's area: stored first, then
// shown.
void BasicWindow::OnMapBox(MapBoxEvent& event)
{
    m_lat = static_cast<float>(event.GetLat());
    m_lon = static_cast<float>(event.GetLon());
    m_width = static_cast<float>(event.GetWidth());
    try {
        UpdateCoords();
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

// ---------------------------------------------------------------- layout

void BasicWindow::PlacePointerLabel()
{
    if (!m_pointerLabel || !m_pointerPicture)
        return;
    const wxPoint picture = m_pointerPicture->GetPosition();
    const int height = std::min(m_pointerLabel->GetBestSize().y, kPointerField.height - 2);
    const wxRect field(picture.x + kPointerField.x + 2, picture.y + kPointerField.y + (kPointerField.height - height) / 2,
                       kPointerField.width - 4, height);
    if (m_pointerLabel->GetRect() != field)
        m_pointerLabel->SetSize(field);
}

void BasicWindow::FitToContent()
{
    if (!GetSizer() || !m_panel)
        return;
    m_panel->InvalidateBestSize();
    const wxSize fit = GetSizer()->ComputeFittingWindowSize(this);
    SetMinSize(fit);
    const wxSize now = GetSize();
    if (now.x < fit.x || now.y < fit.y)
        SetSize(wxSize(std::max(now.x, fit.x), std::max(now.y, fit.y)));
    m_panel->Layout();
    PlacePointerLabel();
}

// ---------------------------------------------------------------- personalities

bool BasicWindow::LoadPersonality(const wxString& region)
{
    m_page = 1;
    std::fill(std::begin(m_buttonSelected), std::end(m_buttonSelected), 0);
    const std::vector<ButtonRow> rows = ReadPersonalityButtons(m_catalogueDb, region);
    const ButtonSet buttons = MakeButtons(rows, tw::IsRace());
    m_buttonTexts = buttons.texts;
    m_buttonRecids = buttons.recids;
    if (!buttons.Complete()) {
        // Without a catalogue, or without any buttons in it (already said),
        // there is nothing to tell.
        if (m_catalogueDb && m_personalityCount > 0)
            tw::MessageBox(wxS("Buttons not found for ") + region, wxS("Notice"), wxOK, tw::BoxParent(this));
        return false;
    }
    ShowRegionPicture(region);
    return true;
}

void BasicWindow::ShowRegionPicture(const wxString& region)
{
    if (!m_regionPicture)
        return;
    wxBitmap picture;
    for (const struct_PersonalityIDs& p : m_personalities)
        if (p.regionName == region) {
            picture = LoadPicture(wxS("Icons/") + p.graphicName);
            break;
        }
    if (!picture.IsOk())
        picture = GetBitmapResource(kDefaultRegionPicture);
    m_regionPicture->SetBitmap(picture);
}

void BasicWindow::GetNewPersonality(const wxString& region)
{
    // The batch loses its products and takes the new name together.
    SwitchBasicPersonality(tw::TheShell().GetUserDb(), region);
    if (m_productList)
        m_productList->DeleteAllItems();
    LoadPersonality(region);
    SetProductButtons();
}

void BasicWindow::onPersonalityMenuItemClick(wxCommandEvent& event)
{
    for (const struct_PersonalityIDs& p : m_personalities) {
        if (p.menuId != event.GetId())
            continue;
        const wxString region = p.regionName;   // the entries stay, but keep our own copy
        try {
            GetNewPersonality(region);
        } catch (const wxSQLite3Exception& e) {
            tw::ShowError(e.GetMessage(), this);
        }
        return;
    }
    // Not a personality: the command's own handler, if any, takes it.
    event.Skip();
}

bool BasicWindow::LoadCurrentPersonality(bool zoom)
{
    wxSQLite3Database* db = tw::TheShell().GetUserDb();
    if (!db)
        return false;
    BasicBatchRow stored;
    const bool haveRow = ReadBasicBatch(db, stored);
    const wxString& description = stored.description;

    // The area, repaired and stored again when it is out of range. It is
    // taken before the personality, whose loading may fail: the window must
    // never send an area the user did not choose.
    if (haveRow) {
        m_lat = static_cast<float>(stored.lat);
        m_lon = static_cast<float>(stored.lon);
        m_width = static_cast<float>(stored.width);
        m_areaKnown = true;
        double rlat = m_lat, rlon = m_lon, rwidth = m_width;
        if (RepairArea(rlat, rlon, rwidth)) {
            m_lat = static_cast<float>(rlat);
            m_lon = static_cast<float>(rlon);
            m_width = static_cast<float>(rwidth);
            UpdateCoords();
        }
    }

    bool loaded = false;
    if (m_productList)
        m_productList->DeleteAllItems();
    if (!description.empty()) {
        loaded = LoadPersonality(description);
        if (loaded) {
            CBatch batch = m_batchFolder->GetBatchByIndex(kBasicBatchId);
            const wxArrayString ids = BasicItemIds(db);
            for (const wxString& id : ids) {
                CFileInfo item;
                if (!tw::TheShell().FindFileInfo(item, id)) {
                    tw::MessageBox(wxS("Cannot find in list: ") + id, wxS("Error"), wxOK, tw::BoxParent(this));
                    continue;
                }
                const int k = GetButtonIdxFromRecid(id);
                // One row per product, also when its item was stored twice.
                if (k >= 0 && !m_buttonSelected[k]) {
                    m_buttonSelected[k] = 1;
                    AppendRow(batch, item, k);
                }
            }
            SetProductButtons();
        }
    }

    if (zoom)
        ShowArea(0);
    return loaded;
}

void BasicWindow::ShowArea(int zoom)
{
    if (!m_mapPanel)
        return;
    // The map centres the box in its client area: until the map has one
    // (a window not yet shown) the box waits for it.
    const wxSize client = m_mapPanel->GetClientSize();
    if (client.x <= 0 || client.y <= 0) {
        m_areaPending = true;
        m_pendingZoom = zoom;
        return;
    }
    m_areaPending = false;
    m_mapPanel->SetZoom0Rect(std::fabs(m_lat), std::fabs(m_lon), m_width, m_lon < 0 ? 1 : 0, m_lat < 0 ? 1 : 0,
                             zoom);
}

// ---------------------------------------------------------------- product buttons

void BasicWindow::SetProductButtons()
{
    for (int p = 0; p < kButtonsPerPage; ++p) {
        wxToggleButton* toggle = m_toggleButtons[p];
        const int k = ProductIndex(m_page, p);
        if (!toggle || k < 0)
            continue;
        const wxString text = k < static_cast<int>(m_buttonTexts.size()) ? m_buttonTexts[k] : wxString();
        const wxString id = k < static_cast<int>(m_buttonRecids.size()) ? m_buttonRecids[k] : wxString();
        toggle->SetLabelText(text);
        toggle->SetValue(m_buttonSelected[k] != 0);
        // A button without a product has nothing to offer.
        toggle->Enable(!id.empty());
    }
    const int other = OtherPage(m_page);
    if (m_pageBox)
        m_pageBox->SetLabel(wxString::Format(_("Weather Page %i"), m_page));
    if (m_otherPageBox)
        m_otherPageBox->SetLabel(wxString::Format(_("Weather Page %i"), other));
    if (m_pageButton)
        m_pageButton->SetLabel(wxString::Format(_("GoTo Weather Page %i"), other));
    FitToContent();
}

void BasicWindow::OnWeatherPageButtonClick(wxCommandEvent&)
{
    m_page = OtherPage(m_page);
    SetProductButtons();
}

int BasicWindow::GetButtonIdxFromRecid(const wxString& recid) const
{
    return IndexOfRecid(m_buttonRecids, recid);
}

void BasicWindow::OnTogglebuttonClick(wxToggleButton* button, int position)
{
    const int k = ProductIndex(m_page, position);
    if (!button || k < 0)
        return;
    const wxString recid = k < static_cast<int>(m_buttonRecids.size()) ? m_buttonRecids[k] : wxString();
    // A button without a product, or one the race edition bars, springs back.
    if (recid.empty() || recid == kRaceDisabledId) {
        button->SetValue(false);
        return;
    }
    CFileInfo item;
    if (!tw::TheShell().FindFileInfo(item, recid)) {
        tw::MessageBox(wxS("Cannot find in list: ") + recid, wxS("Error"), wxOK, tw::BoxParent(this));
        // Nothing was stored: the button must not claim the product.
        button->SetValue(false);
        return;
    }
    const bool pressed = button->GetValue();
    try {
        if (pressed) {
            // What the row needs is read before the product is stored, so a
            // stored product always has its row and its pressed button.
            CBatch batch = m_batchFolder->GetBatchByIndex(kBasicBatchId);
            m_batchFolder->AddItemToBatch(kBasicBatchId, item.info.FileID, 1);
            m_buttonSelected[k] = 1;
            AppendRow(batch, item, k);
        } else {
            m_batchFolder->DeleteBatchItem(kBasicBatchId, item.info.FileID);
            m_buttonSelected[k] = 0;
            RemoveFromListCtrl(&item, k);
        }
    } catch (const wxSQLite3Exception& e) {
        // The batch did not change: neither does the button.
        button->SetValue(!pressed);
        tw::ShowError(e.GetMessage(), this);
    }
}

void BasicWindow::OnTogglebutton1Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[0], 0); }
void BasicWindow::OnTogglebutton2Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[1], 1); }
void BasicWindow::OnTogglebutton3Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[2], 2); }
void BasicWindow::OnTogglebutton4Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[3], 3); }
void BasicWindow::OnTogglebutton5Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[4], 4); }
void BasicWindow::OnTogglebutton6Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[5], 5); }
void BasicWindow::OnTogglebutton7Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[6], 6); }
void BasicWindow::OnTogglebutton8Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[7], 7); }
void BasicWindow::OnTogglebutton9Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[8], 8); }
void BasicWindow::OnTogglebutton10Click(wxCommandEvent&) { OnTogglebuttonClick(m_toggleButtons[9], 9); }

// ---------------------------------------------------------------- product list

void BasicWindow::AppendToListCtrl(CFileInfo* item, int index)
{
    if (!item)
        return;
    CBatch batch = m_batchFolder->GetBatchByIndex(kBasicBatchId);
    AppendRow(batch, *item, index);
}

void BasicWindow::AppendRow(CBatch& batch, CFileInfo& item, int index)
{
    if (!m_productList)
        return;
    const wxString& folder = batch.info.folder;
    if (!folder.empty() && !wxDirExists(folder))
        CInit::MakeFolderIfNotExist(folder);
    const wxString date = tw::GetDiskDate(&batch, folder, item.info.Path);
    const long row = m_productList->InsertItem(m_productList->GetItemCount(), date);
    if (row < 0)
        return;
    m_productList->SetItemData(row, index);
    m_productList->SetItem(row, 1, item.info.CompressedSize + wxS("Kb"));
    m_productList->SetItem(row, 2, wxS("$") + item.info.Price);
    m_productList->SetItem(row, 3, item.info.Description);
}

int BasicWindow::RemoveFromListCtrl(CFileInfo*, int index)
{
    if (!m_productList)
        return -1;
    for (int row = 0; row < m_productList->GetItemCount(); ++row) {
        if (static_cast<int>(m_productList->GetItemData(row)) == index) {
            m_productList->DeleteItem(row);
            return row;
        }
    }
    return -1;
}

void BasicWindow::ViewItem(int row)
{
    if (!m_productList || row < 0 || row >= m_productList->GetItemCount())
        return;
    const int index = static_cast<int>(m_productList->GetItemData(row));
    if (index < 0 || index >= static_cast<int>(m_buttonRecids.size()))
        return;
    tw::TheShell().ViewItemGlobal(m_buttonRecids[index], kBasicBatchId);
}

void BasicWindow::OnLeftDClick(wxMouseEvent&)
{
    const long row = m_productList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row >= 0)
        ViewItem(static_cast<int>(row));
    else
        tw::MessageBox(wxS("No product is selected"), wxS("Notice"), wxOK | wxICON_ERROR, tw::BoxParent(this));
}

void BasicWindow::OnViewButtonClick(wxCommandEvent&)
{
    long row = -1;
    while ((row = m_productList->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) >= 0)
        ViewItem(static_cast<int>(row));
}

// ---------------------------------------------------------------- stored area

void BasicWindow::UpdateCoords()
{
    const float limited = static_cast<float>(LimitWidth(m_width));
    if (limited != m_width) {
        // A box outside the range the area allows: the nearest one is kept
        // and shown, so the map shows what a download sends.
        m_width = limited;
        ShowArea(-1);
    }
    if (WriteBasicArea(tw::TheShell().GetUserDb(), m_lat, m_lon, m_width))
        m_areaKnown = true;
}

// ---------------------------------------------------------------- commands

void BasicWindow::OnDownloadButtonClick(wxCommandEvent&)
{
    CActiveFileList files;
    try {
        // An area that could not be read at start is read now; without it
        // nothing is sent.
        if (!m_areaKnown) {
            double lat = m_lat, lon = m_lon;
            int width = static_cast<int>(m_width);
            if (!ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width)) {
                tw::ShowError(wxS("The download area of the Basic window could not be read."), this);
                return;
            }
            m_lat = static_cast<float>(lat);
            m_lon = static_cast<float>(lon);
            m_width = static_cast<float>(width);
            m_areaKnown = true;
            ShowArea(0);
        }
        m_batchFolder->GetActiveFileList(files, CBatchFolder::kBasicMode);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
        return;
    }
    HomePosition area(m_lat, m_lon, static_cast<int>(m_width));
    if (!tw::TheShell().FileTransferStart(files, this, wxCommandEventHandler(BasicWindow::OnTransferDone), 0, &area))
        tw::MessageBox(wxS("Failed to create the download window."), wxS("Message"), wxOK, tw::BoxParent(this));
}

void BasicWindow::OnTransferDone(wxCommandEvent& event)
{
    const bool ok = event.GetInt() != 0;
    try {
        CActiveFileList files;
        m_batchFolder->GetActiveFileList(files, CBatchFolder::kBasicMode);
        HomePosition area;
        tw::TheShell().FileTransferEpilogue(files, ok, &area);
        // Also after a partial transfer: the list shows what arrived.
        if (ok || !tw::TheShell().LastTransferOutcome().arrived.empty()) {
            m_productList->DeleteAllItems();
            LoadCurrentPersonality(false);
        }
        if (area.valid) {
            m_lat = static_cast<float>(area.lat);
            m_lon = static_cast<float>(area.lon);
            m_width = static_cast<float>(area.width);
            UpdateCoords();
            ShowArea(0);
        }
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

BasicWindow::BatchDialogRunner BasicWindow::SetBatchDialogRunner(BatchDialogRunner runner)
{
    return std::exchange(DialogRunner(), std::move(runner));
}

void BasicWindow::OnPropertiesButtonClick(wxCommandEvent&)
{
    try {
        CBatch batch = m_batchFolder->GetBatchByIndex(kBasicBatchId);
        batch.info.ID = kBasicBatchId;
        const float width = batch.info.width, lat = batch.info.lat, lon = batch.info.lon;
        const BatchDialogRunner runner = DialogRunner();
        const int result = runner ? runner(&batch, false) : tw::TheShell().BatchDialog(&batch, false);
        if (result != wxID_OK)
            return;
        // The area's width stays within what the area allows.
        batch.info.width = static_cast<float>(LimitWidth(batch.info.width));
        m_batchFolder->SetBatchByIndex(kBasicBatchId, &batch);
        if (batch.info.lon != lon || batch.info.lat != lat || batch.info.width != width) {
            m_lat = batch.info.lat;
            m_lon = batch.info.lon;
            m_width = batch.info.width;
            UpdateCoords();
            ShowArea(0);
        }
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BasicWindow::OnSettingsButtonClick(wxCommandEvent&)
{
    ConnSettings dialog(this, tw::TheShell().GetProductDb(), ConnSettings::ID_CONNSETTINGS, _("Connection Settings"),
                        wxDefaultPosition, wxSize(400, 700),
                        wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    dialog.ShowModal(false);
}

void BasicWindow::OnChkUpdatesButtonClick(wxCommandEvent&)
{
    tw::TheShell().OnUpdateDB();
}

void BasicWindow::OnHelpButtonClick(wxCommandEvent&)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_BASIC);
}

void BasicWindow::OnChangeMapViewButtonClick(wxCommandEvent&)
{
    m_mapPanel->LoadWorldMap(0.146484375);
}

void BasicWindow::OnZoomInClick(wxCommandEvent&)
{
    m_mapPanel->ZoomIn();
}

void BasicWindow::OnZoomOutClick(wxCommandEvent&)
{
    m_mapPanel->ZoomOut();
}

// ---------------------------------------------------------------- mode changes

void BasicWindow::OnMoreProductsButtonClick(wxCommandEvent&)
{
    tw::TheShell().SetBasicHomePosition(m_lat, m_lon, static_cast<int>(m_width));
    tw::TheShell().ChangeWindowMode(tw::kModeLibrary);
}

void BasicWindow::OnMenuBatchModeClick(wxCommandEvent& event)
{
    OnMoreProductsButtonClick(event);
}

void BasicWindow::OnPortalButtonClick(wxCommandEvent&)
{
    tw::TheShell().ClearBasicHomePosition();
    tw::TheShell().ChangeWindowMode(tw::kModePortal);
}

void BasicWindow::OnMenuLoadWindowClick(wxCommandEvent& event)
{
    OnPortalButtonClick(event);
}

void BasicWindow::OnMenuContentWizardClick(wxCommandEvent&)
{
    ++m_wizardRequests;
    if (!tw::RunContentWizard(this, tw::kWizardWelcome))
        return;
    tw::TheShell().ClearBasicHomePosition();
    tw::TheShell().ChangeWindowMode(tw::kModePortal);
}

void BasicWindow::OnQuit(wxCommandEvent&)
{
    Close(false);
}
