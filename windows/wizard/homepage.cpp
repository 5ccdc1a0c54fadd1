#include "windows/wizard/homepage.h"

#include <cmath>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>

#include "core/PositionText.h"
#include "windows/common/Shell.h"
#include "windows/map/PickerSupport.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/contentwizard.h"

using tw::wizard::PageFont;

namespace {

const ContentWizardPage::Frame kFrame = {8, WizardPage8::ID_WIZARDPAGE8_STRIP, WizardPage8::ID_HOME_FINISH,
                                         "res/wiz_Home-Location.png", nullptr};

const wxString kGpsPrefix = wxS("Most Recent GPS Position: ");

// Typing into a position field: digits, a point and a sign only.
void NumbersOnly(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key < WXK_SPACE || key == WXK_DELETE || key > WXK_START || (key >= '0' && key <= '9') || key == '.'
        || key == '-' || key == '+')
        event.Skip();
}

} // namespace

const char* const WizardPage8::kIcons[5] = {
    "res/PointerIcon-Crosshair-25.png", "res/PointerIcon-Yacht-25.png", "res/PointerIcon-Sailboat-25.png",
    "res/PointerIcon-Home-25.png", "res/PointerIcon-Hiker-25.png",
};

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage8, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage8, ContentWizardPage)
    EVT_RADIOBUTTON(ID_SOURCE_GPS, WizardPage8::OnHomeGpsRadioSelected)
    EVT_RADIOBUTTON(ID_SOURCE_CITY, WizardPage8::OnHomeCityRadioSelected)
    EVT_RADIOBUTTON(ID_SOURCE_MANUAL, WizardPage8::OnHomeManualRadioSelected)
wxEND_EVENT_TABLE()

WizardPage8::WizardPage8()
    : ContentWizardPage(kFrame)
{
}

WizardPage8::WizardPage8(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

WizardPage8::~WizardPage8()
{
    Subscribe(false);
}

void WizardPage8::Subscribe(bool on)
{
    if (on == m_subscribed)
        return;
    tw::TheShell().gpsQuery.Notify(on, wxCommandEventHandler(WizardPage8::OnGPSThreadUpdate), this);
    m_subscribed = on;
}

void WizardPage8::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    const wxFont font = PageFont(12, false);

    auto* headingRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(headingRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* heading = new wxStaticText(this, wxID_STATIC,
                                     _("Your Home Location is used by Tidewright as your geo-reference\nfor content "
                                       "downloads.  Your Home Location will be obtained from:"));
    heading->SetFont(PageFont(12, true));
    headingRow->Add(heading, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto text = [&](const wxString& label, int width = -1) {
        auto* t = new wxStaticText(this, wxID_STATIC, label, wxDefaultPosition, wxSize(width, -1));
        t->SetFont(font);
        return t;
    };
    auto radio = [&](int id, const wxString& label, long style = 0) {
        auto* r = new wxRadioButton(this, id, label, wxDefaultPosition, wxDefaultSize, style);
        r->SetValue(false);
        r->SetFont(font);
        return r;
    };

    // GPS
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALL, 5);
    wxRadioButton* gps = radio(ID_SOURCE_GPS, _("GPS"), wxRB_GROUP);
    if (ShowToolTips())
        gps->SetToolTip(_("Use your GPS to provide home location information. GPS feed must be dedicated or "
                          "repeated to Tidewright port specified on upcoming GPS setup screen."));
    row->Add(gps, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(50, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    m_gpsLabel = text(kGpsPrefix);
    m_gpsLabel->Bind(wxEVT_LEFT_DOWN, [](wxMouseEvent& e) { e.Skip(); });
    row->Add(m_gpsLabel, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALL, 5);
    row->Add(30, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    m_useLastGpsBox = new wxCheckBox(this, ID_USE_LAST_GPS,
                                     _("If GPS is disconnected, use last GPS positon as my Home Location"));
    m_useLastGpsBox->SetValue(false);
    m_useLastGpsBox->SetFont(font);
    row->Add(m_useLastGpsBox, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // City
    wxRadioButton* city = radio(ID_SOURCE_CITY, _("City List"));
    if (ShowToolTips())
        city->SetToolTip(_("Click on the city list pulldown and select for your home location."));
    column->Add(city, 0, wxALL, 5);
    row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALL, 5);
    row->Add(20, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    m_city = new wxChoice(this, ID_CITY);
    row->Add(m_city, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(text(_("Select City from List")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // Manual position
    column->Add(radio(ID_SOURCE_MANUAL, _("Manual Lat/Lon Entry")), 0, wxALL, 5);
    struct Coordinate {
        const char* prompt;
        int textId;
        wxTextCtrl** text;
        int firstId;
        const char* first;
        int secondId;
        const char* second;
    };
    const Coordinate coordinates[] = {
        {"Latitude (xx.x)", ID_MANUAL_LAT, &m_latText, ID_NORTH, "N", ID_SOUTH, "S"},
        {"Longitude (yyy.y)", ID_MANUAL_LON, &m_lonText, ID_EAST, "E", ID_WEST, "W"},
    };
    // The two rows in a grid, so that the fields line up whatever the font.
    auto* grid = new wxFlexGridSizer(2, 5, 0, 0);
    column->Add(grid, 0, wxALL, 0);
    for (const Coordinate& c : coordinates) {
        grid->Add(20, 5, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        grid->Add(text(wxGetTranslation(c.prompt), 90), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        *c.text = new wxTextCtrl(this, c.textId, wxEmptyString, wxDefaultPosition, wxSize(75, -1));
        (*c.text)->Bind(wxEVT_CHAR, NumbersOnly);
        grid->Add(*c.text, 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        grid->Add(radio(c.firstId, wxGetTranslation(c.first), wxRB_GROUP), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        grid->Add(radio(c.secondId, wxGetTranslation(c.second)), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    }

    // Content box
    row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALL, 5);
    wxStaticText* boxPrompt = text(_("Content Box Size (degrees, square)"));
    if (ShowToolTips())
        boxPrompt->SetToolTip(_("Specify the size of the square box within which you want Tidewright to search for "
                                "weather and ocean content possibly applicable to you. Your home location will be at "
                                "center of this box. A 20 to 30 degree box is recommended. A 30 degree box would "
                                "place 15 degrees to the east, west, north and south of your home location."));
    row->Add(boxPrompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    m_contentBoxText = new wxTextCtrl(this, ID_CONTENT_BOX, wxEmptyString, wxDefaultPosition, wxSize(60, -1));
    m_contentBoxText->SetMaxLength(3);
    row->Add(m_contentBoxText, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // Home marker
    wxStaticText* iconPrompt = text(_("Home Location Icon:"));
    if (ShowToolTips())
        iconPrompt->SetToolTip(_("This home location icon will appear on your Portal and Basic mode maps."));
    column->Add(iconPrompt, 0, wxALL, 5);
    row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALL, 5);
    for (int i = 0; i < 5; ++i) {
        row->Add(radio(ID_ICON_0 + i, wxEmptyString, i == 0 ? wxRB_GROUP : 0), 0, wxALIGN_CENTER_VERTICAL | wxALL,
                 5);
        row->Add(new wxStaticBitmap(this, wxID_STATIC, GetBitmapResource(kIcons[i]), wxDefaultPosition,
                                    wxSize(25, 25)),
                 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
    }

    AddFinishRow(main);

    m_useLastGpsBox->SetValidator(wxGenericValidator(&m_useLastGps));
    m_city->SetValidator(tw::wizard::ChoiceIndexValidator(&m_cityIndex));
    EndPage();

    const DLPrefs& prefs = Prefs();
    ContentWizard* wizard = GetContentWizard();
    m_city->Clear();
    if (wizard)
        m_city->Append(wizard->m_tdwrNames);
    m_useLastGps = prefs.HomeLocation_UseLastGPS;
    // A stored city that is not in the list shows none chosen; it stays
    // stored until the user chooses one.
    m_cityIndex = prefs.HomeLocation_CityIdx;
    m_source = prefs.HomeLocation_Source;

    wxString lonText, ew, latText, ns;
    tw::FormatPosition(prefs.HomeLocation_ManualLon, prefs.HomeLocation_ManualLat, lonText, ew, latText, ns);
    m_manualLat = latText;
    m_manualLon = lonText;
    GetRadio(ns == "S" ? ID_SOUTH : ID_NORTH)->SetValue(true);
    GetRadio(ew == "W" ? ID_WEST : ID_EAST)->SetValue(true);

    m_gpsLabel->SetLabel(GpsPositionText(prefs.HomeLocation_GPSLat, prefs.HomeLocation_GPSLon, wxS(" - ")));

    SelectSource(m_source == 0 || m_source == 1 ? m_source : 2);

    m_contentBox = prefs.HomeLocation_ContentBox;
    m_iconIndex = prefs.HomeLocation_IconIdx;
    if (m_iconIndex >= 0 && m_iconIndex < 5)
        GetRadio(ID_ICON_0 + m_iconIndex)->SetValue(true);
}

wxString WizardPage8::GpsPositionText(double lat, double lon, const wxString& separator)
{
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0)
        return kGpsPrefix + "Not Available.";
    wxString lonText, ew, latText, ns;
    tw::FormatPosition(lon, lat, lonText, ew, latText, ns);
    return kGpsPrefix + latText + " " + ns + separator + lonText + " " + ew;
}

wxRadioButton* WizardPage8::GetRadio(int id) const
{
    return dynamic_cast<wxRadioButton*>(FindWindow(id));
}

void WizardPage8::SelectSource(int source)
{
    const int radio = source == 0 ? ID_SOURCE_GPS : source == 1 ? ID_SOURCE_CITY : ID_SOURCE_MANUAL;
    GetRadio(radio)->SetValue(true);
    m_useLastGpsBox->Enable(source == 0);
    m_city->Enable(source == 1);
    for (int id : {ID_MANUAL_LAT, ID_MANUAL_LON, ID_NORTH, ID_SOUTH, ID_EAST, ID_WEST})
        FindWindow(id)->Enable(source == 2);
}

void WizardPage8::OnHomeGpsRadioSelected(wxCommandEvent&)
{
    SelectSource(0);
}

void WizardPage8::OnHomeCityRadioSelected(wxCommandEvent&)
{
    SelectSource(1);
}

void WizardPage8::OnHomeManualRadioSelected(wxCommandEvent&)
{
    SelectSource(2);
}

bool WizardPage8::TransferDataToWindow()
{
    Subscribe(true);
    const bool ok = ContentWizardPage::TransferDataToWindow();
    m_latText->ChangeValue(m_manualLat);
    m_lonText->ChangeValue(m_manualLon);
    m_contentBoxText->ChangeValue(wxString::Format("%d", m_contentBox));
    return ok;
}

bool WizardPage8::TransferDataFromWindow()
{
    Subscribe(false);
    const bool ok = ContentWizardPage::TransferDataFromWindow();
    m_manualLat = m_latText->GetValue();
    m_manualLon = m_lonText->GetValue();
    m_contentBox = tw::wizard::ContentBoxFromText(m_contentBoxText->GetValue(), m_contentBox);
    return ok;
}

bool WizardPage8::Validate()
{
    if (GetRadio(ID_SOURCE_MANUAL)->GetValue()) {
        const tw::wizard::ManualPosition p = tw::wizard::ReadManualPosition(
            m_latText->GetValue(), m_lonText->GetValue(), GetRadio(ID_NORTH)->GetValue(), GetRadio(ID_EAST)->GetValue());
        const wxString problem = tw::wizard::ManualPositionProblem(p);
        if (!problem.empty()) {
            tw::MessageBox(problem, wxS("Warning"), wxOK | wxICON_WARNING | wxCENTRE,
                           tw::BoxParent(this));
            (p.latOk ? m_lonText : m_latText)->SetFocus();
            return false;
        }
    }
    const wxString boxProblem = tw::wizard::ContentBoxProblem(m_contentBoxText->GetValue());
    if (!boxProblem.empty()) {
        tw::MessageBox(boxProblem, wxS("Warning"), wxOK | wxICON_WARNING | wxCENTRE, tw::BoxParent(this));
        m_contentBoxText->SetFocus();
        return false;
    }
    return ContentWizardPage::Validate();
}

void WizardPage8::CopyToPrefs()
{
    DLPrefs& prefs = Prefs();
    prefs.HomeLocation_UseLastGPS = m_useLastGps;
    ContentWizard* wizard = GetContentWizard();
    if (wizard && m_cityIndex >= 0 && m_cityIndex < static_cast<int>(wizard->m_tdwrPositions.GetCount())) {
        prefs.HomeLocation_CityIdx = m_cityIndex;
        prefs.HomeLocation_CityLat = wizard->m_tdwrPositions[m_cityIndex].m_lat;
        prefs.HomeLocation_CityLon = wizard->m_tdwrPositions[m_cityIndex].m_lon;
    }
    if (GetRadio(ID_SOURCE_GPS)->GetValue())
        prefs.HomeLocation_Source = 0;
    else if (GetRadio(ID_SOURCE_MANUAL)->GetValue())
        prefs.HomeLocation_Source = 2;
    else
        prefs.HomeLocation_Source = 1;

    // Stored whatever the source; a coordinate out of range (typed while
    // another source was chosen) keeps the stored one.
    const tw::wizard::ManualPosition p = tw::wizard::ReadManualPosition(
        m_manualLat, m_manualLon, GetRadio(ID_NORTH)->GetValue(), GetRadio(ID_EAST)->GetValue());
    if (p.latOk)
        prefs.HomeLocation_ManualLat = p.lat;
    if (p.lonOk)
        prefs.HomeLocation_ManualLon = p.lon;

    prefs.HomeLocation_ContentBox = m_contentBox;
    prefs.HomeLocation_IconIdx = 0;
    for (int i = 0; i < 5; ++i) {
        if (GetRadio(ID_ICON_0 + i)->GetValue()) {
            prefs.HomeLocation_IconIdx = i;
            break;
        }
    }
}

void WizardPage8::OnGPSThreadUpdate(wxCommandEvent& event)
{
    event.Skip();   // every subscriber is told
    if (event.GetInt() == 0)
        return;
    double lat = 0.0;
    double lon = 0.0;
    wxString text;
    if (!tw::TheShell().gpsQuery.GetPosition(lat, lon, text)) {
        m_gpsLabel->SetLabel("GPS Error: " + text);
    } else {
        m_gpsLabel->SetLabel(GpsPositionText(lat, lon, wxS(" -- ")));
    }
    Layout();
}

wxBitmap WizardPage8::GetBitmapResource(const wxString& name)
{
    for (const char* icon : kIcons) {
        if (name == icon) {
            wxBitmap bitmap;
            bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
            return bitmap;
        }
    }
    return ContentWizardPage::GetBitmapResource(name);
}
