#include "windows/wizard/contentpages.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
// After the native label, which it would otherwise hide.
#include <wx/generic/stattextg.h>

#include "core/Editions.h"
#include "windows/common/Shell.h"
#include "windows/wizard/contentwizard.h"

using tw::wizard::CheckRow;
using tw::wizard::PageFont;

namespace {

// Builds the check boxes of `rows` (rows with an id) into `column`, each
// with a border of 5 on every side, bound to values[i].
void AddRows(wxWindow* page, wxSizer* column, const CheckRow* rows, size_t count, bool* values)
{
    const wxFont font = PageFont(12, false);
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].id == 0)
            continue;
        column->Add(tw::wizard::MakeCheckBox(page, rows[i], &values[i], font), 0, wxALL, 5);
    }
}

// A prompt row: the text, bold, centred.
wxStaticText* AddPrompt(wxWindow* page, wxSizer* main, const wxString& text)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    main->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* prompt = new wxStaticText(page, wxID_STATIC, text);
    prompt->SetFont(PageFont(12, true));
    row->Add(prompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    return prompt;
}

template <size_t N>
constexpr size_t Count(const CheckRow (&)[N])
{
    return N;
}

} // namespace

// ---------------------------------------------------------------- GRIB weather

const CheckRow WizardPage1::kRows[10] = {
    {10160, "Wind", "Wind direction and speed GRIBS", &DLPrefs::GRIB_Wind},
    {10161, "Wave", "Wave height, direction and speed GRIBS", &DLPrefs::GRIB_Waves},
    {10253, "Swell (NMG Only)", "Swell direction and speed GRIBS", &DLPrefs::GRIB_Swell},
    {10162, "Surface Pressure", "Surface pressure GRIBS with isobars", &DLPrefs::GRIB_SurfacePressure},
    {10165, "500 mb", "500 mb GRIBS with isoheights", &DLPrefs::GRIB_500mb},
    {10163, "Precipitation", "Precipitation GRIBS, rainfall rate", &DLPrefs::GRIB_Precipitation},
    {10164, "Cloud Cover", "Cloud cover GRIBS, percentage of coverage", &DLPrefs::GRIB_CloudCover},
    {10167, "Lifted Index (GFS Only)", "Lifted Index GRIBS, a measure of atmospheric instability",
     &DLPrefs::GRIB_LiftedIndex},
    {10166, "Air Temperature", "Air temperature GRIBS", &DLPrefs::GRIB_AirTemperature},
    {ID_GRIB_ALL, "All", "Choose all GRIB types (could generate large downloads)", &DLPrefs::GRIB_All},
};

namespace {
const ContentWizardPage::Frame kGribFrame = {1, WizardPage1::ID_WIZARDPAGE1_STRIP, WizardPage1::ID_GRIB_FINISH,
                                             "res/wiz_GRIB-Weather.png",
                                             "Save your preferences and return to the Portal"};
} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage1, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage1, ContentWizardPage)
    EVT_CHECKBOX(ID_GRIB_ALL, WizardPage1::OnGribWeatherAllButtonClick)
wxEND_EVENT_TABLE()

WizardPage1::WizardPage1()
    : ContentWizardPage(kGribFrame)
{
}

WizardPage1::WizardPage1(wxWizard* parent)
    : ContentWizardPage(kGribFrame)
{
    Create(parent);
}

void WizardPage1::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    AddPrompt(this, main, _("Choose the types of GRIB Weather data in which you are interested, or click Next to skip:"));

    auto* content = new wxBoxSizer(wxHORIZONTAL);
    main->Add(content, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    content->Add(checks, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    AddRows(this, checks, kRows, Count(kRows), m_values.data());
    content->Add(50, 5, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    auto* period = new wxBoxSizer(wxVERTICAL);
    content->Add(period, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    // A window of its own, so that a click on it reaches the page on every
    // desktop (a plain label gets no mouse events on GTK).
    m_periodPrompt = new wxGenericStaticText(this, wxID_STATIC,
                                             _("GRIB Weather data is available\nin forecasts ranging from 1 "
                                               "through\n7 days (at 6 hour intervals each day).\nWhat forecast "
                                               "period do you prefer:"));
    m_periodPrompt->SetFont(PageFont(12, false));
    period->Add(m_periodPrompt, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    wxArrayString days;
    days.Add(_("1 day"));
    for (int d = 2; d <= 7; ++d)
        days.Add(wxString::Format(_("%d days"), d));
    m_days = new wxChoice(this, ID_GRIB_DAYS, wxDefaultPosition, wxDefaultSize, days);
    m_days->SetSelection(0);
    m_days->SetValidator(tw::wizard::ChoiceIndexValidator(&m_period));
    period->Add(m_days, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    AddFinishRow(main);
    m_periodPrompt->Bind(wxEVT_LEFT_DOWN, &WizardPage1::OnPeriodPromptClick, this);
    EndPage();

    tw::wizard::LoadRows(kRows, Count(kRows), Prefs(), m_values.data());
    m_period = Prefs().GRIB_Days;
}

void WizardPage1::CopyToPrefs()
{
    tw::wizard::StoreRows(kRows, Count(kRows), m_values.data(), Prefs());
    Prefs().GRIB_Days = m_period;
}

void WizardPage1::OnGribWeatherAllButtonClick(wxCommandEvent& event)
{
    int ids[Count(kRows) - 1];
    for (size_t i = 0; i + 1 < Count(kRows); ++i)
        ids[i] = kRows[i].id;
    tw::wizard::SetCheckBoxes(this, ids, Count(kRows) - 1, event.IsChecked());
}

void WizardPage1::OnPeriodPromptClick(wxMouseEvent&)
{
    TransferDataFromWindow();
    ContentWizard* wizard = GetContentWizard();
    if (wizard && wizard->GetCurrentPage() == this)
        wizard->ShowPage(wizard->GetPage(3), true);
}

// ---------------------------------------------------------------- weather charts

const CheckRow WizardPage2::kRows[7] = {
    {10171, "Surface Analysis", "Surface analysis charts from NOAA and other met agencies",
     &DLPrefs::WxChart_SurfaceAnalysis},
    {10172, "500 mb", "500 mb charts from NOAA and other met agencies", &DLPrefs::WxChart_500mb},
    {10173, "Wind", "Wind charts from NOAA and other met agencies", &DLPrefs::WxChart_Wind},
    {10174, "Sea State", "Sea state charts from NOAA and other met agencies", &DLPrefs::WxChart_SeaState},
    {10175, "Wind/Wave", "Wind/wave charts from NOAA and other met agencies", &DLPrefs::WxChart_WindWave},
    {10176, "Hurricane/Cyclone Hazard Areas",
     "Hurricane and tropical storm charts from the Tropical Prediction Center", &DLPrefs::WxChart_CycloneAreas},
    {ID_WXCHART_ALL, "All", nullptr, &DLPrefs::WxChart_All},
};

namespace {
const ContentWizardPage::Frame kChartsFrame = {2, WizardPage2::ID_WIZARDPAGE2_STRIP, WizardPage2::ID_WXCHART_FINISH,
                                               "res/wiz_Weather-Charts.png", nullptr};
} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage2, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage2, ContentWizardPage)
    EVT_CHECKBOX(ID_WXCHART_ALL, WizardPage2::OnWxChartsAllCheckboxClick)
wxEND_EVENT_TABLE()

WizardPage2::WizardPage2()
    : ContentWizardPage(kChartsFrame)
{
}

WizardPage2::WizardPage2(wxWizard* parent)
    : ContentWizardPage(kChartsFrame)
{
    Create(parent);
}

void WizardPage2::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    AddPrompt(this, main, _("Choose the types of Weather Charts in which you are interested, or click Next to skip:"));
    main->Add(5, 35, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    AddRows(this, column, kRows, Count(kRows), m_values.data());
    AddFinishRow(main);
    EndPage();
    tw::wizard::LoadRows(kRows, Count(kRows), Prefs(), m_values.data());
}

void WizardPage2::CopyToPrefs()
{
    tw::wizard::StoreRows(kRows, Count(kRows), m_values.data(), Prefs());
}

void WizardPage2::OnWxChartsAllCheckboxClick(wxCommandEvent& event)
{
    static const int charts[] = {10171, 10172, 10173, 10174, 10175, 10176};
    tw::wizard::SetCheckBoxes(this, charts, 6, event.IsChecked());
}

// ---------------------------------------------------------------- satellite imagery

const CheckRow WizardPage4::kRows[6] = {
    {10192, "Infrared (24-hour availability)", "Satellite imagery at infrared (thermal) wavelengths",
     &DLPrefs::Satellite_Infrared},
    {10193, "Visible (daylight hours only)", "Satellite imagery at visible wavelengths", &DLPrefs::Satellite_Visible},
    {10194, "Water Vapor (storm formation)", "Satellite imagery highlighting water vapor levels",
     &DLPrefs::Satellite_WaterVapor},
    {10195, "Weather chart over Image (North Atlantic and North Pacific only)",
     "Satellite imagery layered with weather charts for North Pacific and North Atlantic",
     &DLPrefs::Satellite_WeatherOverImage},
    {10196, "Weather Radar", "Nexrad weather radar sweeps for US cities", &DLPrefs::Satellite_Radar},
    {ID_SATELLITE_ALL, "All", nullptr, &DLPrefs::Satellite_All},
};

namespace {
const ContentWizardPage::Frame kSatelliteFrame = {4, WizardPage4::ID_WIZARDPAGE4_STRIP,
                                                  WizardPage4::ID_SATELLITE_FINISH,
                                                  "res/wiz_Satellite-Imagery.png", nullptr};
} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage4, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage4, ContentWizardPage)
    EVT_CHECKBOX(ID_SATELLITE_ALL, WizardPage4::OnSatelliteAllCheckboxClick)
wxEND_EVENT_TABLE()

WizardPage4::WizardPage4()
    : ContentWizardPage(kSatelliteFrame)
{
}

WizardPage4::WizardPage4(wxWizard* parent)
    : ContentWizardPage(kSatelliteFrame)
{
    Create(parent);
}

void WizardPage4::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    AddPrompt(this, main,
              _("Choose the type of Satellite Imagery in which you are interested, or click Next to skip:"));
    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    const wxFont font = PageFont(12, false);
    for (size_t i = 0; i + 1 < Count(kRows); ++i)
        column->Add(tw::wizard::MakeCheckBox(this, kRows[i], &m_values[i], font), 0, wxALL, 5);

    auto* cityRow = new wxBoxSizer(wxHORIZONTAL);
    column->Add(cityRow, 0, wxALL, 5);
    m_city = new wxChoice(this, ID_SATELLITE_CITY);
    if (ShowToolTips())
        m_city->SetToolTip(_("Select US city"));
    cityRow->Add(m_city, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    auto* cityPrompt = new wxStaticText(this, wxID_STATIC, _("Select city(s) for Nexrad feed"));
    cityPrompt->SetFont(font);
    cityRow->Add(cityPrompt, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    const size_t all = Count(kRows) - 1;
    column->Add(tw::wizard::MakeCheckBox(this, kRows[all], &m_values[all], font), 0, wxALL, 5);
    m_city->SetValidator(tw::wizard::ChoiceIndexValidator(&m_cityIndex));

    AddFinishRow(main);
    EndPage();

    tw::wizard::LoadRows(kRows, Count(kRows), Prefs(), m_values.data());
    m_cityIndex = Prefs().Satellite_City;
    m_city->Clear();
    if (ContentWizard* wizard = GetContentWizard())
        m_city->Append(wizard->m_nexradNames);
}

void WizardPage4::CopyToPrefs()
{
    DLPrefs& prefs = Prefs();
    tw::wizard::StoreRows(kRows, Count(kRows), m_values.data(), prefs);
    // Only a city of the list moves the stored one; without a list, or with
    // a stored index beyond it, the city stays as it was.
    ContentWizard* wizard = GetContentWizard();
    if (wizard && m_cityIndex >= 0 && m_cityIndex < static_cast<int>(wizard->m_nexradPositions.GetCount())) {
        const CityPosition& city = wizard->m_nexradPositions[m_cityIndex];
        prefs.Satellite_City = m_cityIndex;
        prefs.Satellite_CityLat = city.m_lat;
        prefs.Satellite_CityLon = city.m_lon;
        prefs.Satellite_CityRecID = city.ID;
    }
}

void WizardPage4::OnSatelliteAllCheckboxClick(wxCommandEvent& event)
{
    static const int kinds[] = {10192, 10193, 10194, 10195, 10196};
    tw::wizard::SetCheckBoxes(this, kinds, 5, event.IsChecked());
}

// ---------------------------------------------------------------- ocean data

const CheckRow WizardPage6::kRows[8] = {
    {10203, "Surface Currents from GRIB", "Ocean surface current speed and direction from GRIB models",
     &DLPrefs::OceanData_GRIBSurfaceCurrents},
    {10375, "Surface Currents from Terrafin", "Ocean surface current speed and direction from Terrafin",
     &DLPrefs::OceanData_OceanData_Terrafin},
    {10202, "Surface Currents from Navy Charts (Gulf Stream only)",
     "Ocean surface current charts for the Gulf Stream from the US Navy", &DLPrefs::OceanData_NavyChartsGulfStream},
    {10206, "Surface Currents from Marisol Vennet (Gulf Stream only)",
     "Ocean surface current charts for the Gulf Stream from Marisol Venet",
     &DLPrefs::OceanData_MarisolVennetGulfStrea},
    {10283, "Tides", nullptr, &DLPrefs::OceanData_Tides},
    {10205, "Ice", "Ice charts for the Arctic and for Antarctica", &DLPrefs::OceanData_Ice},
    {ID_POSITION_REPORTS, "Position Reports", nullptr, &DLPrefs::OceanData_PositionReports},
    {ID_OCEANDATA_ALL, "All", nullptr, &DLPrefs::OceanData_All},
};

namespace {
const ContentWizardPage::Frame kOceanFrame = {6, WizardPage6::ID_WIZARDPAGE6_STRIP, WizardPage6::ID_OCEANDATA_FINISH,
                                              "res/wiz_Ocean_Data.png", nullptr};
} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage6, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage6, ContentWizardPage)
    EVT_CHECKBOX(ID_OCEANDATA_ALL, WizardPage6::OnOceandataAllCheckboxClick)
wxEND_EVENT_TABLE()

WizardPage6::WizardPage6()
    : ContentWizardPage(kOceanFrame)
{
}

WizardPage6::WizardPage6(wxWizard* parent)
    : ContentWizardPage(kOceanFrame)
{
    Create(parent);
}

void WizardPage6::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    AddPrompt(this, main,
              _("There are five categories of Ocean data within Tidewright.\nChoose the types of Surface Currents, "
                "Tides and Ice data\nin which you are interested, or click Next to skip."));
    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    AddRows(this, column, kRows, Count(kRows), m_values.data());

    auto* finishColumn = new wxBoxSizer(wxVERTICAL);
    main->Add(finishColumn, 0, wxALIGN_RIGHT | wxALL, 0);
    finishColumn->Add(5, 5, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 0);
    finishColumn->Add(MakeFinishButton(), 0, wxALIGN_CENTER_HORIZONTAL | wxRIGHT, 10);

    EndPage();
    tw::wizard::LoadRows(kRows, Count(kRows), Prefs(), m_values.data());
    if (!tw::IsRace())
        FindWindow(ID_POSITION_REPORTS)->Hide();
}

void WizardPage6::CopyToPrefs()
{
    tw::wizard::StoreRows(kRows, Count(kRows), m_values.data(), Prefs());
}

void WizardPage6::OnOceandataAllCheckboxClick(wxCommandEvent& event)
{
    static const int sources[] = {10203, 10375, 10202, 10206, 10283, 10205};
    tw::wizard::SetCheckBoxes(this, sources, 6, event.IsChecked());
    if (tw::IsRace()) {
        static const int reports[] = {ID_POSITION_REPORTS};
        tw::wizard::SetCheckBoxes(this, reports, 1, event.IsChecked());
    }
}

// ---------------------------------------------------------------- fishing data

const CheckRow WizardPage7::kRows[8] = {
    {10209, "Sea Surface Temperature", "Sea surface temperature GRIBS and charts",
     &DLPrefs::FishingData_SurfaceTemperature},
    {10210, "Sea Surface Height", "Sea surface height GRIBS and charts", &DLPrefs::FishingData_SurfaceHeight},
    {10204, "Chlorophyll/Ocean Color/Plankton", "Chlorophyll GRIBS and charts", &DLPrefs::FishingData_Color},
    {10212, "Mixed Layer Depth", "GRIBS mapping the depth of the mixed layer", &DLPrefs::FishingData_MixedLayerDepth},
    {10213, "Salinity", "Salinity GRIBS", &DLPrefs::FishingData_Salinity},
    {10215, "Fish Prices and Fishing Reports (NE Atlantic only)",
     "Fish price and market reports for the North Atlantic", &DLPrefs::FishingData_Prices},
    {ID_FISHING_ALL, "All", nullptr, &DLPrefs::FishingData_All},
    {0, nullptr, nullptr, &DLPrefs::FishingData_HeightAnomalies},
};

namespace {
const ContentWizardPage::Frame kFishingFrame = {7, WizardPage7::ID_WIZARDPAGE7_STRIP, WizardPage7::ID_FISHING_FINISH,
                                                "res/wiz_Fishing_Data.png", nullptr};
} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage7, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage7, ContentWizardPage)
    EVT_CHECKBOX(ID_FISHING_ALL, WizardPage7::OnFishingAllCheckboxClick)
wxEND_EVENT_TABLE()

WizardPage7::WizardPage7()
    : ContentWizardPage(kFishingFrame)
{
}

WizardPage7::WizardPage7(wxWizard* parent)
    : ContentWizardPage(kFishingFrame)
{
    Create(parent);
}

void WizardPage7::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    AddPrompt(this, main,
              _("There are seven categories of Fishing data within Tidewright.\nIf you want fishing data, click on "
                "those categories of interest to you, otherwise click Next:"));
    auto* column = new wxBoxSizer(wxVERTICAL);
    main->Add(column, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    AddRows(this, column, kRows, Count(kRows), m_values.data());
    AddFinishRow(main);
    EndPage();
    tw::wizard::LoadRows(kRows, Count(kRows), Prefs(), m_values.data());
}

void WizardPage7::CopyToPrefs()
{
    tw::wizard::StoreRows(kRows, Count(kRows), m_values.data(), Prefs());
}

void WizardPage7::OnFishingAllCheckboxClick(wxCommandEvent& event)
{
    static const int kinds[] = {10209, 10210, 10204, 10212, 10213, 10215};
    tw::wizard::SetCheckBoxes(this, kinds, 6, event.IsChecked());
}
