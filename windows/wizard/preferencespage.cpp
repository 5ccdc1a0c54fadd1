#include "windows/wizard/preferencespage.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/intl.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/valgen.h>

#include "windows/common/Shell.h"

using tw::wizard::MatrixCell;
using tw::wizard::MatrixColumn;
using tw::wizard::MatrixRow;
using tw::wizard::PageFont;
using tw::wizard::RadioPair;

namespace {

constexpr MatrixCell None = {0, nullptr};

constexpr MatrixCell Carried(bool DLPrefs::*field)
{
    return {0, field};
}

const ContentWizardPage::Frame kFrame = {10, WizardPage0::ID_WIZARDPAGE0_STRIP, WizardPage0::ID_PREFERENCES_FINISH,
                                         "res/wiz_Content-Preferences.png", nullptr};

constexpr const char* kRegional =
    " but at high and low spatial resolutions. High res file size is roughly 3x larger than low res for same "
    "area. 4 forecasts per day out 5 days.";

} // namespace

using P = DLPrefs;

const MatrixColumn WizardPage0::kGribHeaders[kGribColumns] = {
    {"GFS", "The GFS GRIB model is a global model. As such, it models across land and sea (but does not model wave "
            "data). Moderate resolution outputs with 4 forecasts per day out to 7 days."},
    {"NMG", "The NMG model is a mix of models run by the Navy but does produce outputs across land and sea. "
            "Excellent for a second opinion to the GFS. Moderate resolution with 4 forecasts per day out to 7 days."},
    {"WW3", "The WW3 is an ocean-only model. Very good wind and wave outputs. Moderate resolution with 4 forecasts "
            "per day out to 7 days."},
    {"Mediterranean", "A regional model which forecasts wind and wave conditions only for the Mediterrenean but at "
                      "high and low spatial resolutions. High res file size is roughly 3x larger than low res for "
                      "same area. 4 forecasts per day out 5 days."},
    {"Baltic Sea", "A regional model which forecasts wind and wave conditions only for the Baltic Sea but at high "
                   "and low spatial resolutions. High res file size is roughly 3x larger than low res for same "
                   "area. 4 forecasts per day out 5 days."},
    {"Barents/Kara Seas", "A regional model which forecasts wind and wave conditions only for the Barents/Kara "
                          "Seas but at high and low spatial resolutions. High res file size is roughly 3x larger "
                          "than low res for same area. 4 forecasts per day out 5 days."},
    {"North Sea", "A regional model which forecasts wind and wave conditions only for the North Sea but at high and "
                  "low spatial resolutions. High res file size is roughly 3x larger than low res for same area. 4 "
                  "forecasts per day out 5 days."},
    {"Polar Regions", "A regional model which forecasts weather conditions for the European polar regions at high "
                      "and low spatial resolutions. High res file size is roughly 3x larger than low res for same "
                      "area. 4 forecasts per day out 5 days."},
    {"Continent", "A regional model which models the weather on the European continent at high and low spatial "
                  "resolutions.  High res file size is roughly 3x larger than low res for same area. 4 forecasts "
                  "per day out 5 days."},
};

// Columns: GFS, NMG, WW3, Med, Baltic, Barents, NorthSea, Polar, Continent.
const MatrixRow<WizardPage0::kGribColumns> WizardPage0::kGribRows[7] = {
    {"Wind",
     {{10260, &P::WizPrefs_GRIB_Wind_GFS}, {10264, &P::WizPrefs_GRIB_Wind_NMG}, {10266, &P::WizPrefs_GRIB_Wind_WW3},
      {10262, &P::WizPrefs_GRIB_Wind_Med}, {10268, &P::WizPrefs_GRIB_Wind_Baltic},
      {10278, &P::WizPrefs_GRIB_Wind_Barents}, {10280, &P::WizPrefs_GRIB_Wind_NorthSea},
      {10282, &P::WizPrefs_GRIB_Wind_Polar}, {10284, &P::WizPrefs_GRIB_Wind_Continent}}},
    {"Wave",
     {Carried(&P::WizPrefs_GRIB_Wave_GFS), {10265, &P::WizPrefs_GRIB_Wave_NMG}, {10267, &P::WizPrefs_GRIB_Wave_WW3},
      {10263, &P::WizPrefs_GRIB_Wave_Med}, {10269, &P::WizPrefs_GRIB_Wave_Baltic},
      {10279, &P::WizPrefs_GRIB_Wave_Barents}, {10281, &P::WizPrefs_GRIB_Wave_NorthSea},
      Carried(&P::WizPrefs_GRIB_Wave_Polar), Carried(&P::WizPrefs_GRIB_Wave_Continent)}},
    {"Surface Pressure",
     {{10270, &P::WizPrefs_GRIB_SurfacePressure_GFS}, {10274, &P::WizPrefs_GRIB_SurfacePressure_NMG}, None, None,
      None, None, None, {10374, &P::WizPrefs_GRIB_SurfacePressure_Polar},
      {10249, &P::WizPrefs_GRIB_SurfacePressure_Continent}}},
    {"500 mb",
     {{10312, &P::WizPrefs_GRIB_500mb_GFS}, {10373, &P::WizPrefs_GRIB_500mb_NMG}, None, None, None, None, None,
      {10244, &P::WizPrefs_GRIB_500mb_Polar}, {10250, &P::WizPrefs_GRIB_500mb_Continent}}},
    {"Cloud Cover",
     {{10271, &P::WizPrefs_GRIB_CloudCover_GFS}, {10275, &P::WizPrefs_GRIB_CloudCover_NMG}, None, None, None, None,
      None, {10247, &P::WizPrefs_GRIB_CloudCover_Polar}, {10251, &P::WizPrefs_GRIB_CloudCover_Continent}}},
    {"Precipitation",
     {{10272, &P::WizPrefs_GRIB_Precipitation_GFS}, {10276, &P::WizPrefs_GRIB_Precipitation_NMG}, None, None, None,
      None, None, {10248, &P::WizPrefs_GRIB_Precipitation_Polar}, {10252, &P::WizPrefs_GRIB_Precipitation_Continent}}},
    {"Air Temperature",
     {{10273, &P::WizPrefs_GRIB_AirTemp_GFS}, {10277, &P::WizPrefs_GRIB_AirTemp_NMG}, None, None, None, None, None,
      {10322, &P::WizPrefs_GRIB_AirTemp_Polar}, {10311, &P::WizPrefs_GRIB_AirTemp_Continent}}},
};

const MatrixColumn WizardPage0::kOceanHeaders[kOceanColumns] = {
    {"\nTerrafin", "Terrafin is high quality ocean data derived from satellite imagery and with professional "
                   "interpretation. Available for Alaska, Canada, Hawaii, US continent, Mexico and Central America. "
                   "At least daily updates."},
    {"NOAA\nHycom", "NOAA Hycom is GRIB fishing data available in low (1/4 degree) and high (1/10 degree) spatial "
                    "resolutions. High resolution file size is roughly 4x larger than low res. "},
    {"Miami Hycom\n48N to 78S", "Miami Hycom is GRIB ocean data available at high spatial resolution (1/16th of a "
                                "degree). 3 model runs each week."},
    {"\nGLBOCN", "GLBOCN is baseline GRIB ocean data at low resolution (1/4 degree). 3 model runs each week."},
    {"\nHi Res GHRSST", "High spatial resolution (1/16 degree) sea temperature and surface currents. 3 model runs "
                        "each week."},
};

// Columns: Terrafin, NOAA, Miami, GLBOCN, GHRSST.
const MatrixRow<WizardPage0::kOceanColumns> WizardPage0::kOceanRows[5] = {
    {"Surface Currents",
     {{10135, &P::WizPrefs_OFD_SurfaceCurrents_Terrafin}, {10291, &P::WizPrefs_OFD_SurfaceCurrents_NOAA},
      {10296, &P::WizPrefs_OFD_SurfaceCurrents_Miami}, {10301, &P::WizPrefs_OFD_SurfaceCurrents_GLBOCN},
      Carried(&P::WizPrefs_OFD_SurfaceCurrents_GHRSST)}},
    {"Sea Surface Temperature",
     {{10287, &P::WizPrefs_OFD_SurfaceTemp_Terrafin}, {10292, &P::WizPrefs_OFD_SurfaceTemp_NOAA},
      {10297, &P::WizPrefs_OFD_SurfaceTemp_Miami}, {10302, &P::WizPrefs_OFD_SurfaceTemp_GLBOCN},
      {10307, &P::WizPrefs_OFD_SurfaceTemp_GHRSST}}},
    {"Sea Surface Height",
     {{10288, &P::WizPrefs_OFD_SurfaceHeight_Terrafin}, {10293, &P::WizPrefs_OFD_SurfaceHeight_NOAA},
      {10298, &P::WizPrefs_OFD_SurfaceHeight_Miami}, {10303, &P::WizPrefs_OFD_SurfaceHeight_GLBOCN},
      {10308, &P::WizPrefs_OFD_SurfaceHeight_GHRSST}}},
    {"Mixed Layer Depth",
     {Carried(&P::WizPrefs_OFD_MixedLayerDepth_Terrafin), {10005, &P::WizPrefs_OFD_MixedLayerDepth_NOAA},
      Carried(&P::WizPrefs_OFD_MixedLayerDepth_Miami), Carried(&P::WizPrefs_OFD_MixedLayerDepth_GLBOCN),
      Carried(&P::WizPrefs_OFD_MixedLayerDepth_GHRSST)}},
    {"Salinity",
     {Carried(&P::WizPrefs_OFD_Salinity_Terrafin), {10295, &P::WizPrefs_OFD_Salinity_NOAA},
      {10300, &P::WizPrefs_OFD_Salinity_Miami}, Carried(&P::WizPrefs_OFD_Salinity_GLBOCN),
      Carried(&P::WizPrefs_OFD_Salinity_GHRSST)}},
};

const RadioPair WizardPage0::kRadios[3] = {
    {"Grib Resolution",
     "Some GRIBS are available in high or low resolution. High res GRIBS provide better detail but are much larger "
     "files.",
     10254, "High", 10255, "Low", &P::WizPrefs_GRIBRes},
    {"Background", "Color charts are usually larger files than black and white charts.", 10256, "Color", 10257,
     "Black/White", &P::WizPrefs_Background},
    {"Include Chartloom Broadband Animations",
     "Chartloom animations group sequential weather charts in one file to provide a moving sequence of weather. "
     "They are very informative but large. Recommended for high bandwidth connections only.",
     10258, "Yes", 10259, "No", &P::WizPrefs_IncludeAnimations},
};

namespace {

// Values and fields of a matrix, row by row.
template <size_t Columns, size_t Rows>
void LoadMatrix(const MatrixRow<Columns> (&rows)[Rows], const DLPrefs& prefs, bool* values)
{
    for (size_t r = 0; r < Rows; ++r)
        for (size_t c = 0; c < Columns; ++c) {
            const MatrixCell& cell = rows[r].cells[c];
            values[r * Columns + c] = cell.field ? prefs.*(cell.field) : false;
        }
}

template <size_t Columns, size_t Rows>
void StoreMatrix(const MatrixRow<Columns> (&rows)[Rows], const bool* values, DLPrefs& prefs)
{
    for (size_t r = 0; r < Rows; ++r)
        for (size_t c = 0; c < Columns; ++c) {
            const MatrixCell& cell = rows[r].cells[c];
            if (cell.field)
                prefs.*(cell.field) = values[r * Columns + c];
        }
}

// The matrix in a flexible grid: header row, then per product its label and
// its cells (a check box, or a spacer where the page has none).
template <size_t Columns, size_t Rows>
wxFlexGridSizer* BuildMatrix(wxWindow* page, const char* corner, const MatrixColumn (&headers)[Columns],
                             const MatrixRow<Columns> (&rows)[Rows], bool* values, size_t labelsWithoutBottom)
{
    auto* grid = new wxFlexGridSizer(static_cast<int>(Rows + 1), static_cast<int>(Columns + 1), 0, 0);
    grid->Add(new wxStaticText(page, wxID_STATIC, wxGetTranslation(corner)), 0,
              wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 5);
    for (const MatrixColumn& column : headers) {
        auto* header = new wxStaticText(page, wxID_STATIC, wxGetTranslation(column.header), wxDefaultPosition,
                                        wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);
        if (ContentWizardPage::ShowToolTips())
            header->SetToolTip(wxGetTranslation(column.tooltip));
        grid->Add(header, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    }
    for (size_t r = 0; r < Rows; ++r) {
        const int labelBorder = r < labelsWithoutBottom ? (wxTOP | wxLEFT | wxRIGHT) : wxALL;
        grid->Add(new wxStaticText(page, wxID_STATIC, wxGetTranslation(rows[r].label)), 0,
                  wxALIGN_CENTER_VERTICAL | labelBorder, 2);
        for (size_t c = 0; c < Columns; ++c) {
            const MatrixCell& cell = rows[r].cells[c];
            if (cell.id == 0) {
                grid->Add(5, 5, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
                continue;
            }
            auto* box = new wxCheckBox(page, cell.id, wxEmptyString);
            box->SetValue(false);
            box->SetValidator(wxGenericValidator(&values[r * Columns + c]));
            grid->Add(box, 0, wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL | wxALL, 2);
        }
    }
    return grid;
}

void AddPromptRow(wxWindow* page, wxSizer* main, const wxString& text)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    main->Add(row, 0, wxLEFT, 10);
    auto* prompt = new wxStaticText(page, wxID_STATIC, text);
    prompt->SetFont(PageFont(12, true));
    row->Add(prompt, 0, wxALIGN_CENTER_VERTICAL | wxTOP | wxRIGHT, 10);
}

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage0, ContentWizardPage);

WizardPage0::WizardPage0()
    : ContentWizardPage(kFrame)
{
}

WizardPage0::WizardPage0(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

void WizardPage0::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    SetFont(PageFont(8, false));

    for (const RadioPair& pair : kRadios) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        main->Add(row, 0, wxLEFT, 10);
        // 210 wide, or wider where the font needs it (FitLabels).
        auto* label = new wxStaticText(this, wxID_STATIC, wxGetTranslation(pair.label));
        label->SetMinSize(wxSize(210, -1));
        if (ShowToolTips())
            label->SetToolTip(wxGetTranslation(pair.tooltip));
        row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 5);
        auto* yes = new wxRadioButton(this, pair.trueId, wxGetTranslation(pair.trueLabel), wxDefaultPosition,
                                      wxDefaultSize, wxRB_GROUP);
        yes->SetMinSize(wxSize(50, -1));
        yes->SetValue(false);
        row->Add(yes, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        auto* no = new wxRadioButton(this, pair.falseId, wxGetTranslation(pair.falseLabel));
        no->SetValue(false);
        row->Add(no, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    }

    AddPromptRow(this, main, _("Select your preferred sources for GRIB weather data:"));
    auto* gribRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(gribRow, 0, wxLEFT, 10);
    gribRow->Add(BuildMatrix(this, "Product", kGribHeaders, kGribRows, m_gribValues.data(), 0), 0,
                 wxALIGN_CENTER_VERTICAL | wxALL, 5);

    AddPromptRow(this, main, _("Select your preferred sources for ocean and fishing data:"));
    auto* oceanRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(oceanRow, 0, wxLEFT, 10);
    oceanRow->Add(BuildMatrix(this, "\nProduct", kOceanHeaders, kOceanRows, m_oceanValues.data(), 4), 0,
                  wxALIGN_CENTER_VERTICAL | wxALL, 5);

    AddFinishRow(main);
    EndPage();

    const DLPrefs& prefs = Prefs();
    LoadMatrix(kGribRows, prefs, m_gribValues.data());
    LoadMatrix(kOceanRows, prefs, m_oceanValues.data());
    for (size_t i = 0; i < 3; ++i) {
        m_radioSeeds[i] = prefs.*(kRadios[i].field);
        GetRadio(m_radioSeeds[i] ? kRadios[i].trueId : kRadios[i].falseId)->SetValue(true);
    }
}

void WizardPage0::CopyToPrefs()
{
    DLPrefs& prefs = Prefs();
    StoreMatrix(kGribRows, m_gribValues.data(), prefs);
    StoreMatrix(kOceanRows, m_oceanValues.data(), prefs);
    // The radios have no validator: their state is read as it is now.
    for (const RadioPair& pair : kRadios)
        prefs.*(pair.field) = GetRadio(pair.trueId)->GetValue();
}

wxRadioButton* WizardPage0::GetRadio(int id) const
{
    return dynamic_cast<wxRadioButton*>(FindWindow(id));
}
