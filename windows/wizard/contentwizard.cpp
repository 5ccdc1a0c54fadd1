#include "windows/wizard/contentwizard.h"

#include <algorithm>

#include <wx/arrimpl.cpp>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/font.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "windows/map/MapPanel.h"
#include "windows/map/PickerSupport.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/transfer/connsettings.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/accountpage.h"
#include "windows/wizard/buoyspage.h"
#include "windows/wizard/contentpages.h"
#include "windows/wizard/gpspage.h"
#include "windows/wizard/homepage.h"
#include "windows/wizard/preferencespage.h"
#include "windows/wizard/textforecastspage.h"
#include "windows/wizard/wizardpagebase.h"

WX_DEFINE_OBJARRAY(CitiesPositionArray);

CityPosition::~CityPosition() = default;

namespace {

constexpr const char* kSideBitmap = "res/WizardPage-LeftCol.png";
constexpr const char* kIcon = "Icons/rivol.ico";
// Room kept free at either side of a text broken into lines.
constexpr int kPageEdge = 10;

} // namespace

// ---------------------------------------------------------------- welcome page

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage, wxWizardPageSimple);

WizardPage::WizardPage() = default;

WizardPage::WizardPage(wxWizard* parent)
{
    Create(parent);
}

bool WizardPage::Create(wxWizard* parent)
{
    SetPrev(nullptr);
    SetNext(nullptr);
    wxWizardPageSimple::Create(parent, nullptr, nullptr, wxNullBitmap);
    CreateControls();
    tw::wizard::FitLabels(this);
    if (GetSizer())
        GetSizer()->Fit(this);
    return true;
}

void WizardPage::CreateControls()
{
    SetFont(wxFont(12, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxS("Tahoma")));
    auto* main = new wxBoxSizer(wxVERTICAL);
    SetSizer(main);
    auto* text = new wxStaticText(
        this, wxID_STATIC,
        _("Welcome to the Tidewright Content Wizard.  Within this wizard we will ask you about your preferences "
          "for weather, ocean or fishing data, specify your home location, establish your GPS connection and "
          "provide other information enhancing your experience with Tidewright."),
        wxDefaultPosition, wxSize(500, -1), 0);
    text->SetFont(wxFont(13, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, wxS("Tahoma")));
    text->Wrap(500);
    main->Add(text, 1, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
}

// ---------------------------------------------------------------- the wizard

wxIMPLEMENT_DYNAMIC_CLASS(ContentWizard, wxWizard);

wxBEGIN_EVENT_TABLE(ContentWizard, wxWizard)
    EVT_WIZARD_CANCEL(ID_CONTENTWIZARD, ContentWizard::OnContentwizardCancel)
    EVT_WIZARD_FINISHED(ID_CONTENTWIZARD, ContentWizard::OnContentwizardFinished)
    EVT_WIZARD_HELP(ID_CONTENTWIZARD, ContentWizard::OnContentwizardHelp)
wxEND_EVENT_TABLE()

ContentWizard::ContentWizard()
{
    Init();
}

ContentWizard::ContentWizard(wxWindow* parent, wxWindowID id, const wxPoint& pos)
{
    Init();
    Create(parent, id, pos);
}

ContentWizard::~ContentWizard() = default;

bool ContentWizard::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS | wxWIZARD_EX_HELPBUTTON);
    wxWizard::Create(parent, id, _("TALVO Tidewright Content Wizard"), GetBitmapResource(kSideBitmap), pos,
                     SYMBOL_CONTENTWIZARD_STYLE);
    CreateControls();
    SetIcon(GetIconResource(kIcon));

    if (!m_loadErrors.empty()) {
        wxString text = _("Part of the content wizard's data could not be read:");
        for (const wxString& line : m_loadErrors)
            text += "\n" + line;
        tw::MessageBox(text, wxS("Error"), wxOK | wxICON_ERROR | wxCENTRE,
                       tw::BoxParent(parent ? parent : this));
    }
    return true;
}

void ContentWizard::Init()
{
    m_welcomePage = nullptr;
    m_gribPage = nullptr;
    m_chartsPage = nullptr;
    m_textForecastsPage = nullptr;
    m_satellitePage = nullptr;
    m_buoysPage = nullptr;
    m_oceanPage = nullptr;
    m_fishingPage = nullptr;
    m_preferencesPage = nullptr;
    m_homePage = nullptr;
    m_gpsPage = nullptr;
    m_accountPage = nullptr;

    LoadRadarCities();
    ConnSettings::ReadGatewayLists(tw::TheShell().GetProductDb(), m_hostNames, m_ports);
    m_connectionTypes = ConnSettings::ConnectionTypes();
    m_connectionDescriptions = ConnSettings::ConnectionDescriptions();
}

void ContentWizard::LoadRadarCities()
{
    m_nexradNames.clear();
    m_nexradPositions.Clear();
    m_tdwrNames.clear();
    m_tdwrPositions.Clear();
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
        wxSQLite3ResultSet rows = db->ExecuteQuery("SELECT * FROM RadarCities ORDER BY City");
        while (rows.NextRow()) {
            const CityPosition city(rows.GetDouble("Latitude", 0.0), rows.GetDouble("Longitude", 0.0),
                                    rows.GetInt("ID", 0));
            const wxString name = rows.GetString("City");
            const wxString type = rows.GetString("RadarType");
            if (type == "NEXRAD") {
                m_nexradNames.Add(name);
                m_nexradPositions.Add(city);
            } else if (type == "TDWR") {
                m_tdwrNames.Add(name);
                m_tdwrPositions.Add(city);
            }
        }
    } catch (wxSQLite3Exception& e) {
        // No radar cities rather than half a list.
        m_nexradNames.clear();
        m_nexradPositions.Clear();
        m_tdwrNames.clear();
        m_tdwrPositions.Clear();
        AddLoadError(wxString::Format(_("Radar cities: %s"), e.GetMessage()));
    }
}

void ContentWizard::CreateControls()
{
    SetWindowVariant(wxWINDOW_VARIANT_SMALL);
    // The font first: the pages' controls take it when they are made and are
    // measured in it. Set after them, it would reach their text on the
    // screen (GTK passes a font down to the children) while the layout kept
    // the sizes measured in the desktop's smaller font.
    SetFont(wxFont(12, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxS("Tahoma")));

    m_welcomePage = new WizardPage(this);
    m_gribPage = new WizardPage1(this);
    m_chartsPage = new WizardPage2(this);
    m_textForecastsPage = new WizardPage3(this);
    m_satellitePage = new WizardPage4(this);
    m_buoysPage = new WizardPage5(this);
    m_oceanPage = new WizardPage6(this);
    m_fishingPage = new WizardPage7(this);
    m_preferencesPage = new WizardPage0(this);
    m_homePage = new WizardPage8(this);
    m_gpsPage = new WizardPage9(this);
    m_accountPage = new WizardPage10(this);

    for (int place = 0; place < tw::wizard::kChainLength; ++place)
        GetPageAreaSizer()->Add(GetChainPage(place));
    for (int place = 1; place < tw::wizard::kChainLength; ++place)
        wxWizardPageSimple::Chain(GetChainPage(place - 1), GetChainPage(place));

    // Only the background: on GTK a foreground colour set here would reach
    // every label of the pages and make their text the colour of the ground.
    SetBackgroundColour(wxColour(190, 190, 190));
    Bind(wxEVT_WIZARD_PAGE_SHOWN, &ContentWizard::OnPageShown, this);
}

wxWizardPageSimple* ContentWizard::GetChainPage(int place) const
{
    switch (place) {
    case 0: return m_welcomePage;
    case 1: return m_gribPage;
    case 2: return m_chartsPage;
    case 3: return m_textForecastsPage;
    case 4: return m_satellitePage;
    case 5: return m_buoysPage;
    case 6: return m_oceanPage;
    case 7: return m_fishingPage;
    case 8: return m_preferencesPage;
    case 9: return m_homePage;
    case 10: return m_gpsPage;
    case 11: return m_accountPage;
    default: return nullptr;
    }
}

ContentWizardPage* ContentWizard::GetPage(int pageNumber) const
{
    const int place = tw::wizard::PlaceOfPageNumber(pageNumber);
    return place > 0 ? static_cast<ContentWizardPage*>(GetChainPage(place)) : nullptr;
}

void ContentWizard::AddLoadError(const wxString& text)
{
    m_loadErrors.Add(text);
}

bool ContentWizard::Run()
{
    for (wxWindow* child : GetChildren()) {
        if (auto* page = dynamic_cast<wxWizardPage*>(child))
            return RunFrom(page);
    }
    return false;
}

bool ContentWizard::RunFromPage(int page)
{
    const int place = tw::wizard::StartPlace(page);
    if (place < 0)
        return false;
    if (place == 0)
        return Run();
    return RunFrom(GetChainPage(place));
}

bool ContentWizard::RunFrom(wxWizardPage* first)
{
    if (!first)
        return false;
    // A page an earlier run ended on is put away first: the new run starts
    // afresh (and the toolkit may not "change" to the page already shown).
    if (m_page) {
        m_page->Hide();
        m_page = nullptr;
    }
    CGPSQuery& reader = tw::TheShell().gpsQuery;
    const bool pollingBefore = reader.IsPolling();
    m_prefsAtStart = std::make_unique<DLPrefs>(tw::TheShell().dlPrefs);
    m_committed = false;
    const bool finished = RunWizard(first);
    if (!finished && !m_committed) {
        RestorePreferences();
        // A GPS test started here may have left the reader polling (or a
        // query under way): it runs as it did before the wizard.
        if (!pollingBefore)
            reader.StopQuery();
        else if (!reader.IsPolling())
            reader.StartQuery(false);
    }
    m_prefsAtStart.reset();
    return finished;
}

void ContentWizard::RestorePreferences()
{
    if (!m_prefsAtStart)
        return;
    DLPrefs& prefs = tw::TheShell().dlPrefs;
    // The GPS reader's last fix is its own, not an answer of the wizard.
    const double gpsLat = prefs.HomeLocation_GPSLat;
    const double gpsLon = prefs.HomeLocation_GPSLon;
    prefs = *m_prefsAtStart;
    prefs.HomeLocation_GPSLat = gpsLat;
    prefs.HomeLocation_GPSLon = gpsLon;
}

bool ContentWizard::GoToPage(int page)
{
    if (page == 0)
        return false;
    wxWizardPage* current = GetCurrentPage();
    if (!current)
        return false;
    ContentWizardPage* target = GetPage(page);
    if (!target || target == current) {
        // The controls are read back and the page stays; it is not left, so
        // what leaving ends (a pending GPS test, listening to the reader)
        // goes on.
        if (current->Validate())
            current->wxWizardPage::TransferDataFromWindow();
        return false;
    }
    // A page that refuses what it shows (a position out of range) stays.
    if (!current->Validate())
        return false;
    current->TransferDataFromWindow();
    return ShowPage(target, true);
}

void ContentWizard::OnContentwizardFinished(wxWizardEvent&)
{
    tw::Shell& app = tw::TheShell();
    app.dlPrefs.WriteRegistry();
    app.UpdateHomePosition();
    m_registry.WriteInfo();

    const bool gpsHome = app.dlPrefs.HomeLocation_Source == 0;
    if (app.gpsQuery.IsPolling() != gpsHome) {
        if (gpsHome)
            app.gpsQuery.StartQuery(false);
        else
            app.gpsQuery.StopQuery();
    }

    StoreBuoys();
    m_committed = true;
}

void ContentWizard::StoreBuoys()
{
    if (!m_buoysPage || !m_buoysPage->GetMapPanel())
        return;
    const BuoyArray buoys = m_buoysPage->GetMapPanel()->m_buoys;
    bool anyChanged = false;
    for (size_t i = 0; i < buoys.GetCount() && !anyChanged; ++i)
        anyChanged = buoys[i].m_changed;
    if (!anyChanged)
        return;
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
        // One transaction; on an error it is rolled back and nothing is stored.
        StoreBuoySelections(*db, buoys);
    } catch (wxSQLite3Exception& e) {
        tw::MessageBox(wxString::Format(_("The buoy selections could not be stored: %s"), e.GetMessage()),
                       wxS("Error"), wxOK | wxICON_ERROR | wxCENTRE, tw::BoxParent(this));
    }
}

void ContentWizard::OnPageShown(wxWizardEvent& event)
{
    event.Skip();
    FitShownPage();
    // Once more when the loop runs again: the first page is shown before
    // the wizard is on the screen and its styles are applied.
    CallAfter(&ContentWizard::FitShownPage);
}

void ContentWizard::FitShownPage()
{
    // Sizes measured before the page was first on the screen may be short of
    // what its text needs once GTK has applied its styles (the wizard's own
    // buttons too, made before the wizard's font was set): each page is
    // measured again whenever it is shown, and the wizard grows when the
    // page no longer fits.
    wxWizardPage* page = GetCurrentPage();
    if (!page)
        return;
    tw::wizard::InvalidateBestSizes(this);
    // The toolkit gave its buttons a fixed least size when it made them.
    for (wxWindow* child : GetChildren()) {
        if (auto* button = dynamic_cast<wxButton*>(child)) {
            const wxSize best = button->GetBestSize();
            const wxSize min = button->GetMinSize();
            button->SetMinSize(wxSize(std::max(min.x, best.x), std::max(min.y, best.y)));
        }
    }
    tw::wizard::FitLabels(page);
    const wxSize need = page->GetSizer() ? page->GetSizer()->GetMinSize() : page->GetBestSize();
    const wxSize have = page->GetSize();
    if (need.x > have.x || need.y > have.y) {
        GetPageAreaSizer()->SetMinSize(wxSize(std::max(need.x, have.x), std::max(need.y, have.y)));
        GetSizer()->SetSizeHints(this);
    }
    KeepOnScreen();
    Layout();
    // A page narrower than its texts breaks them into lines (leaving room
    // for a scroll bar), so that each can be read whole; what is still too
    // large for the page's room is reached by scrolling.
    const int room = page->GetClientSize().x;
    if (page->GetSizer() && page->GetSizer()->GetMinSize().x > room) {
        tw::wizard::WrapWideTexts(page, room - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, page) - 2 * kPageEdge);
        tw::wizard::FitLabels(page);
    }
    page->FitInside();
    page->Layout();
}

void ContentWizard::KeepOnScreen()
{
    // Never larger than the screen's work area, and wholly inside it: on a
    // small screen the pages get what room is left, and scroll.
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const wxSize min = GetMinSize();
    if (min.x > area.width || min.y > area.height)
        SetMinSize(wxSize(std::min(min.x, area.width), std::min(min.y, area.height)));
    wxRect rect = GetRect();
    rect.width = std::min(rect.width, area.width);
    rect.height = std::min(rect.height, area.height);
    rect.x = std::max(area.x, std::min(rect.x, area.GetRight() + 1 - rect.width));
    rect.y = std::max(area.y, std::min(rect.y, area.GetBottom() + 1 - rect.height));
    if (rect != GetRect())
        SetSize(rect);
}

void ContentWizard::OnContentwizardCancel(wxWizardEvent&)
{
    // Not vetoed: the wizard closes with Cancel, and the run gives the
    // download preferences back.
}

void ContentWizard::OnContentwizardHelp(wxWizardEvent& event)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_WIZARD);
    event.Skip();
}

wxBitmap ContentWizard::GetBitmapResource(const wxString& name)
{
    if (name == kSideBitmap) {
        wxBitmap bitmap;
        bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
        return bitmap;
    }
    return wxNullBitmap;
}

wxIcon ContentWizard::GetIconResource(const wxString& name)
{
    wxIcon icon;
    if (name == kIcon)
        icon.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_ICO);
    return icon;
}
