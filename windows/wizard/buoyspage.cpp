#include "windows/wizard/buoyspage.h"

#include <wx/button.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "windows/map/MapPanel.h"
#include "windows/map/PickerSupport.h"
#include "windows/map/ShellMapInputs.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/contentwizard.h"

using tw::wizard::PageFont;

namespace {

const ContentWizardPage::Frame kFrame = {5, WizardPage5::ID_WIZARDPAGE5_STRIP, WizardPage5::ID_BUOYS_FINISH,
                                         "res/wiz_Buoy.png", nullptr};

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage5, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage5, ContentWizardPage)
    EVT_BUTTON(ID_BUOY_ZOOM_IN, WizardPage5::OnZoomBuoyInClick)
    EVT_BUTTON(ID_BUOY_ZOOM_OUT, WizardPage5::OnZoomBuoyOutClick)
    EVT_BUTTON(ID_UNSELECT_BUOYS, WizardPage5::OnUnselectAllBuoys)
wxEND_EVENT_TABLE()

WizardPage5::WizardPage5()
    : ContentWizardPage(kFrame)
{
}

WizardPage5::WizardPage5(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

void WizardPage5::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    const wxFont font = PageFont(12, false);

    auto* promptRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(promptRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* prompt = new wxStaticText(
        this, wxID_STATIC,
        _("Choose the Buoys from which you would like to receive reports, or click Next to skip:"));
    prompt->SetFont(PageFont(12, true));
    promptRow->Add(prompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    m_mapPanel = new wxMapPanel(this, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, wxMapPanel::kBuoyPicker,
                                tw::ShellMapInputs());
    column->Add(m_mapPanel, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    for (const char* help : {"Left click on the buoy you wish to select (selected icons turn from yellow to green).",
                             "Right click and drag to move the map in any direction.",
                             "Double left click to zoom into the map."}) {
        auto* text = new wxStaticText(this, wxID_STATIC, wxGetTranslation(help));
        text->SetFont(font);
        column->Add(text, 0, wxALIGN_LEFT | wxLEFT | wxRIGHT, 5);
    }

    auto* zoomRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(zoomRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 2);
    auto* coordinatesPrompt = new wxStaticText(this, wxID_STATIC, _("Mouse Cursor Coordinates:"));
    coordinatesPrompt->SetFont(font);
    zoomRow->Add(coordinatesPrompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_coordinates = new wxStaticText(this, wxID_STATIC, wxEmptyString, wxDefaultPosition, wxSize(150, -1),
                                     wxST_NO_AUTORESIZE);
    m_coordinates->SetFont(font);
    zoomRow->Add(m_coordinates, 0, wxALIGN_CENTER_VERTICAL | wxALL, 0);
    zoomRow->Add(100, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    auto* zoomIn = new wxButton(this, ID_BUOY_ZOOM_IN, _("Zoom In"));
    if (ShowToolTips())
        zoomIn->SetToolTip(_("Click here or double-click or draw box on map to zoom in"));
    zoomRow->Add(zoomIn, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    zoomRow->Add(5, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    auto* zoomOut = new wxButton(this, ID_BUOY_ZOOM_OUT, _("Zoom Out"));
    if (ShowToolTips())
        zoomOut->SetToolTip(_("Zoom out"));
    zoomRow->Add(zoomOut, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    main->Add(bottom, 0, wxALIGN_RIGHT | wxALL, 0);
    bottom->Add(175, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    auto* unselect = new wxButton(this, ID_UNSELECT_BUOYS, _("Unselect All Buoys"));
    if (ShowToolTips())
        unselect->SetToolTip(_("Unselect all previously selected buoys"));
    bottom->Add(unselect, 0, wxALIGN_BOTTOM | wxALL, 0);
    bottom->Add(5, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    auto* finishColumn = new wxBoxSizer(wxVERTICAL);
    bottom->Add(finishColumn, 0, wxALIGN_CENTER_VERTICAL | wxALL, 0);
    finishColumn->Add(5, 5, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    finishColumn->Add(MakeFinishButton(), 0, wxALIGN_CENTER_HORIZONTAL | wxRIGHT, 10);

    EndPage();

    m_mapPanel->m_statusLabel = m_coordinates;
    m_mapPanel->m_minZoom = kMinZoom;
    m_mapPanel->m_maxZoom = kMaxZoom;
    LoadBuoys();
}

void WizardPage5::LoadBuoys()
{
    m_mapPanel->m_buoys.Empty();
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
        {
            // Room for every buoy before the list is filled.
            wxSQLite3ResultSet count = db->ExecuteQuery("SELECT COUNT(*) AS rows FROM Buoys");
            const int rows = count.NextRow() ? count.GetInt("rows", 0) : 0;
            if (rows > 0)
                m_mapPanel->m_buoys.Alloc(rows);
        }
        wxSQLite3ResultSet rows = db->ExecuteQuery("SELECT * FROM Buoys");
        // The map places each buoy from its own view; it draws nothing here
        // (the page is not shown yet).
        while (rows.NextRow()) {
            const bool selected = rows.GetInt("selected", 0) != 0;
            const wxString station = rows.GetString("StationID");
            const wxString name = rows.GetString("BuoyName");
            const double lon = rows.GetDouble("Longitude", 0.0);
            const double lat = rows.GetDouble("Latitude", 0.0);
            m_mapPanel->CreateBuoy(lat, lon, name, station, selected, nullptr);
        }
    } catch (wxSQLite3Exception& e) {
        // A map without buoys rather than a part of them.
        m_mapPanel->m_buoys.Empty();
        if (ContentWizard* wizard = GetContentWizard())
            wizard->AddLoadError(wxString::Format(_("Buoys: %s"), e.GetMessage()));
    }
}

void WizardPage5::OnZoomBuoyInClick(wxCommandEvent&)
{
    m_mapPanel->ZoomIn();
}

void WizardPage5::OnZoomBuoyOutClick(wxCommandEvent&)
{
    m_mapPanel->ZoomOut();
}

void WizardPage5::OnUnselectAllBuoys(wxCommandEvent&)
{
    if (tw::MessageBox(wxS("Deselect All Buoys?"), wxS("Confirm Deselect All"), wxYES_NO | wxNO_DEFAULT,
                       tw::BoxParent(this))
        != wxYES)
        return;
    BuoyArray& buoys = m_mapPanel->m_buoys;
    for (size_t i = 0; i < buoys.GetCount(); ++i) {
        if (buoys[i].m_selected) {
            buoys[i].m_selected = false;
            buoys[i].m_changed = true;
        }
    }
    // The markers turn yellow at the next paint, asked for at once.
    m_mapPanel->DrawAllBuoys(nullptr);
}
