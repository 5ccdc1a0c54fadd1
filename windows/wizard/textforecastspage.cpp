#include "windows/wizard/textforecastspage.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "windows/map/MapPanel.h"
#include "windows/map/PickerSupport.h"
#include "windows/map/USZonesDialog.h"
#include "windows/map/metzonesdialog.h"
#include "windows/map/weatherzonedialog.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"

using tw::wizard::CheckRow;
using tw::wizard::PageFont;

namespace {

const ContentWizardPage::Frame kFrame = {3, WizardPage3::ID_WIZARDPAGE3_STRIP, WizardPage3::ID_TEXT_FINISH,
                                         "res/wiz_Text-Weather.png", nullptr};

constexpr long kPickerStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL;
constexpr long kZoneMapStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL;

void ShowDatabaseError(wxWindow* near, const wxString& what, const wxString& message)
{
    tw::ShowError(what + "\n" + message, near);
}

} // namespace

const CheckRow WizardPage3::kRows[10] = {
    {10179, "BuoyWx Wind/Wave (providing 7 day forecast of wind and waves for your lat/lon)",
     "Site-specific text forecast of wind and wave conditions out 7 days", &DLPrefs::WxForecast_BuoyWindWave},
    {10180, "BuoyWx General Met Conditions (providing 7 day forecast of general wx for your lat/lon)",
     "Site-specific text forecast of met conditions like temp, precip, wind and others out 7 days",
     &DLPrefs::WxForecast_BuoyMet},
    {ID_COASTAL, "Coastal Forecasts", "Coastal & Great Lakes text forecasts for US and Canada (out to 40 nm)",
     &DLPrefs::WxForecast_Coastal},
    {ID_OFFSHORE, "Offshore Forecasts", "Offshore text forecasts for US and Canada (out to 240 nm)",
     &DLPrefs::WxForecast_Offshore},
    {ID_HIGHSEAS, " High Seas Forecasts", "High seas text forecasts by zones", &DLPrefs::WxForecast_HighSeas},
    {ID_METAREA, "MetArea Forecasts", nullptr, &DLPrefs::WxForecast_MetArea},
    {ID_CANADIAN, "Forecasts for Canadian Waters", "Text forecasts for Canadian waters", &DLPrefs::WxForecast_Canadian},
    {10188, "Dalen Morrow (Bahamas)*", "Today's Bahamas weather forecast from Dalen Morrow/KSVR",
     &DLPrefs::WxForecast_DalenMorrowBahamas},
    {10189, "Dalen Morrow (Caribbean)*", "Today's Caribbean weather forecast from Dalen Morrow/KSVR",
     &DLPrefs::WxForecast_DalenMorrowCaribbean},
    {ID_TEXT_ALL, "All", nullptr, &DLPrefs::WxForecast_All},
};

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage3, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage3, ContentWizardPage)
    EVT_BUTTON(ID_COASTAL_MAP, WizardPage3::OnCoastalZoneMapClick)
    EVT_BUTTON(ID_OFFSHORE_MAP, WizardPage3::OnOffshoreMapButtonClick)
    EVT_BUTTON(ID_HIGHSEAS_MAP, WizardPage3::OnHighSeasButtonClick)
    EVT_BUTTON(ID_METAREA_MAP, WizardPage3::OnMetMapButtonClick)
    EVT_CHECKBOX(ID_CANADIAN, WizardPage3::OnCheckboxClick)
    EVT_CHECKBOX(ID_TEXT_ALL, WizardPage3::OnWxForecastAllCheckboxClick)
    EVT_BUTTON(ID_UNSELECT_ZONES, WizardPage3::OnUnselectAllSelectedZones)
wxEND_EVENT_TABLE()

WizardPage3::WizardPage3()
    : ContentWizardPage(kFrame)
{
}

WizardPage3::WizardPage3(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

void WizardPage3::CreateControls()
{
    wxBoxSizer* main = BeginPage();

    auto* promptRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(promptRow, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* prompt = new wxStaticText(
        this, wxID_STATIC,
        _("Choose the type of Text weather forecasts in which you are interested, or click Next to skip:"));
    prompt->SetFont(PageFont(12, true));
    promptRow->Add(prompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    const wxFont font = PageFont(12, false);
    auto box = [&](size_t row) {
        wxCheckBox* b = tw::wizard::MakeCheckBox(this, kRows[row], &m_values[row], font);
        b->SetMinSize(wxSize(-1, 25));
        return b;
    };

    column->Add(box(0), 0, wxALL, 3);
    column->Add(box(1), 0, wxALL, 3);

    // The four zone kinds, each with its map button; a grid lines the
    // buttons up whatever the font.
    struct MapButton {
        size_t row;
        int buttonId;
        const char* label;
    };
    static const MapButton maps[] = {
        {2, ID_COASTAL_MAP, "Use Interactive Map to choose your Coastal Forecast Zone(s)"},
        {3, ID_OFFSHORE_MAP, "Use Interactive Map to choose your Offshore Forecast Zone(s)"},
        {4, ID_HIGHSEAS_MAP, "Use Interactive Map to choose your High Seas Forecast Zone(s)"},
        {5, ID_METAREA_MAP, "Use Interactive Map to choose your WMO MetArea"},
    };
    auto* grid = new wxFlexGridSizer(4, 2, 0, 13);
    column->Add(grid, 0, wxALL, 0);
    for (const MapButton& m : maps) {
        grid->Add(box(m.row), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        grid->Add(new wxButton(this, m.buttonId, wxGetTranslation(m.label)), 0, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    }
    for (size_t row = 6; row < 10; ++row)
        column->Add(box(row), 0, wxALL, 3);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    main->Add(bottom, 0, wxALIGN_RIGHT | wxALL, 0);
    auto* unselect = new wxButton(this, ID_UNSELECT_ZONES, _("Unselect All Selected Zones"));
    if (ShowToolTips())
        unselect->SetToolTip(_("Unselect all previously interactive map selected text forecasts"));
    bottom->Add(unselect, 0, wxALIGN_BOTTOM | wxALL, 0);
    bottom->Add(50, 5, 0, wxALIGN_CENTER_VERTICAL, 0);
    auto* finishColumn = new wxBoxSizer(wxVERTICAL);
    bottom->Add(finishColumn, 0, wxALIGN_CENTER_VERTICAL | wxALL, 0);
    finishColumn->Add(5, 5, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    finishColumn->Add(MakeFinishButton(), 0, wxALIGN_CENTER_HORIZONTAL | wxRIGHT, 10);

    EndPage();
    tw::wizard::LoadRows(kRows, 10, Prefs(), m_values.data());
}

void WizardPage3::CopyToPrefs()
{
    tw::wizard::StoreRows(kRows, 10, m_values.data(), Prefs());
}

wxCheckBox* WizardPage3::GetCheckBox(int id) const
{
    return dynamic_cast<wxCheckBox*>(FindWindow(id));
}

void WizardPage3::OnCheckboxClick(wxCommandEvent& event)
{
    event.Skip();
}

void WizardPage3::OnWxForecastAllCheckboxClick(wxCommandEvent& event)
{
    int ids[9];
    for (size_t i = 0; i < 9; ++i)
        ids[i] = kRows[i].id;
    tw::wizard::SetCheckBoxes(this, ids, 9, event.IsChecked());
}

wxArrayString WizardPage3::ReadZoneCodes(const wxString& region, bool coastal)
{
    wxArrayString codes;
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
        wxString sql = "SELECT * FROM MZones WHERE (region=?)";
        const wxArrayString& excluded = tw::wizard::CoastalExcludedZones();
        if (coastal)
            for (size_t i = 0; i < excluded.size(); ++i)
                sql += " AND (zcode <> ?)";
        wxSQLite3Statement query = db->PrepareStatement(sql);
        int n = 1;
        query.Bind(n++, region);
        if (coastal)
            for (const wxString& code : excluded)
                query.Bind(n++, code);
        wxSQLite3ResultSet rows = query.ExecuteQuery();
        while (rows.NextRow())
            codes.Add(rows.GetAsString("zcode"));
    } catch (wxSQLite3Exception& e) {
        codes.clear();
        ShowDatabaseError(this, wxString::Format(_("The forecast zones of %s could not be read."), region),
                          e.GetMessage());
    }
    return codes;
}

void WizardPage3::OnCoastalZoneMapClick(wxCommandEvent& event)
{
    RunRegionPicker(event, true);
}

void WizardPage3::OnOffshoreMapButtonClick(wxCommandEvent& event)
{
    RunRegionPicker(event, false);
}

void WizardPage3::RunRegionPicker(wxCommandEvent& event, bool coastal)
{
    // A click posted by the previous turn finds the page gone when the
    // wizard was closed in between.
    if (!IsShown())
        return;
    auto* picker = new USZonesDialog(this, ID_USZONESDIALOG, _("USZonesDialog"), wxDefaultPosition,
                                     wxSize(580, 500), kPickerStyle);
    if (coastal)
        picker->InitCoastalZones();
    else
        picker->InitOffshoreZones();
    const int code = picker->ShowModal();
    picker->Destroy();
    if (code == wxID_CANCEL)
        return;

    tw::wizard::ZoneRegion region;
    if (!(coastal ? tw::wizard::CoastalRegion(code, region) : tw::wizard::OffshoreRegion(code, region))) {
        tw::MessageBox(wxS("Unknown Zone"), wxS("Message"), wxOK | wxCENTRE, tw::BoxParent(this));
        return;
    }

    const wxArrayString codes = ReadZoneCodes(region.region, coastal);
    const int result = LaunchWeatherZonesDialog(codes, _("World Chart - Click and Drag on Chart to Select Region"),
                                                region.view.image, region.view);
    if (result == wxID_OK)
        GetCheckBox(coastal ? ID_COASTAL : ID_OFFSHORE)->SetValue(true);

    // The region picker again, once this handler has returned.
    wxEvent* again = event.Clone();
    again->StopPropagation();
    GetEventHandler()->QueueEvent(again);
}

void WizardPage3::OnHighSeasButtonClick(wxCommandEvent&)
{
    const tw::wizard::ZoneRegion region = tw::wizard::HighSeasRegion();
    const wxArrayString codes = ReadZoneCodes(region.region, false);
    if (LaunchWeatherZonesDialog(codes, _("World Chart - Ctrl-Click on Chart to Select Region"), region.view.image,
                                 region.view)
        == wxID_OK)
        GetCheckBox(ID_HIGHSEAS)->SetValue(true);
}

void WizardPage3::OnMetMapButtonClick(wxCommandEvent&)
{
    GetCheckBox(ID_METAREA)->SetValue(true);
    // The picker stores its own changes in MZones.
    MetZonesDialog picker(this, tw::TheShell().GetMarineZonesDb(), ID_METZONESDIALOG, _("MetZonesDialog"),
                          wxDefaultPosition, wxSize(400, 300), kPickerStyle);
    picker.ShowModal();
}

int WizardPage3::LaunchWeatherZonesDialog(wxArrayString zcodes, wxString title, wxString image,
                                          tw::wizard::ZoneView view)
{
    auto* dialog = new WeatherZoneDialog(this, ID_WEATHERZONEDIALOG, title, wxDefaultPosition, wxSize(700, 400),
                                         kZoneMapStyle);
    wxMapPanel* map = dialog->m_mapPanel;
    map->m_minZoom = view.zoom;
    map->m_maxZoom = 7.0;
    panel_init_vars vars;
    vars.zoom = view.zoom;
    vars.topLat = view.topLat;
    vars.leftLon = view.leftLon;
    vars.pixelsPerDegree = view.pixelsPerDegree;
    vars.width = view.width;
    vars.height = view.height;
    vars.centreX = view.centreX;
    vars.centreY = view.centreY;
    map->InitWeatherzones(image, vars, zcodes);
    map->CenterOnLogicalPoint(wxPoint(view.centreX, view.centreY));

    int result = dialog->ShowModal();
    if (result == wxID_OK) {
        const WeatherZoneArray zones = map->m_zones;
        wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
        try {
            if (!db || !db->IsOpen())
                throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
            StoreZoneSelections(*db, zones);
        } catch (wxSQLite3Exception& e) {
            ShowDatabaseError(this, _("The zone selections could not be stored."), e.GetMessage());
            // Nothing was stored: the caller ticks nothing.
            result = wxID_CANCEL;
        }
    }
    dialog->Destroy();
    return result;
}

void WizardPage3::OnUnselectAllSelectedZones(wxCommandEvent&)
{
    if (tw::MessageBox(wxS("Deselect All Zones?"), wxS("Confirm Deselect All"), wxYES_NO | wxNO_DEFAULT,
                       tw::BoxParent(this))
        != wxYES)
        return;
    wxSQLite3Database* db = tw::TheShell().GetMarineZonesDb();
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, _("the marine-zones database is not open"));
        db->ExecuteUpdate("UPDATE MZones SET selected = 0");
    } catch (wxSQLite3Exception& e) {
        ShowDatabaseError(this, _("The zone selections could not be cleared."), e.GetMessage());
        return;
    }
    for (int id : {ID_COASTAL, ID_OFFSHORE, ID_HIGHSEAS, ID_METAREA})
        GetCheckBox(id)->SetValue(false);
}
