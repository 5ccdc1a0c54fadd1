// The text forecasts page (wizard page number 3): the kinds of text
// forecast wanted, and the zone pickers of the coastal, offshore, high-seas
// and METAREA forecasts, whose selections go straight into MZones of the
// marine-zones database.
//
// The coastal and offshore pickers loop: region picker, zone map, then the
// region picker again (a click event the page posts to itself), until the
// region picker is closed without a region.
#pragma once

#include <array>

#include <wx/arrstr.h>

#include "windows/wizard/WizardRules.h"
#include "windows/wizard/wizardpagebase.h"

class wxButton;
class wxCheckBox;

class WizardPage3 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage3);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE3_STRIP = 10006,
        ID_COASTAL = 10181,
        ID_OFFSHORE = 10178,
        ID_HIGHSEAS = 10184,
        ID_METAREA = 10186,
        ID_CANADIAN = 10005,
        ID_TEXT_ALL = 10190,
        ID_COASTAL_MAP = 10182,
        ID_OFFSHORE_MAP = 10183,
        ID_HIGHSEAS_MAP = 10185,
        ID_METAREA_MAP = 10187,
        ID_UNSELECT_ZONES = 10368,
        ID_TEXT_FINISH = 10334
    };
    static const tw::wizard::CheckRow kRows[10];

    WizardPage3();
    explicit WizardPage3(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnCoastalZoneMapClick(wxCommandEvent& event);
    void OnOffshoreMapButtonClick(wxCommandEvent& event);
    void OnHighSeasButtonClick(wxCommandEvent& event);
    void OnMetMapButtonClick(wxCommandEvent& event);
    void OnCheckboxClick(wxCommandEvent& event);
    void OnWxForecastAllCheckboxClick(wxCommandEvent& event);
    void OnUnselectAllSelectedZones(wxCommandEvent& event);

    // Shows the zones on the view's map; after Accept stores the changed
    // zones in MZones. Returns the zone map's result.
    int LaunchWeatherZonesDialog(wxArrayString zcodes, wxString title, wxString image, tw::wizard::ZoneView view);

    // The zone codes of an MZones region (the coastal maps leave out the
    // outer-water codes). A database error is told in an "Error" box and
    // gives no codes.
    wxArrayString ReadZoneCodes(const wxString& region, bool coastal);

    wxCheckBox* GetCheckBox(int id) const;

    std::array<bool, 10> m_values{};

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    // One turn of the coastal or offshore loop.
    void RunRegionPicker(wxCommandEvent& event, bool coastal);
};
