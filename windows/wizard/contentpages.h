// The content wizard's check-box pages: GRIB weather (1), weather charts
// (2), satellite imagery (4), ocean data (6) and fishing data (7). Each holds
// its check boxes as a table of rows (id, label, tooltip, download
// preference); the leaving copy walks that table.
#pragma once

#include <array>

#include "windows/wizard/wizardpagebase.h"

class wxCheckBox;
class wxChoice;
class wxMouseEvent;
class wxGenericStaticText;

// GRIB weather: nine kinds and All, and the forecast period.
class WizardPage1 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage1);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE1_STRIP = 10434,
        ID_GRIB_ALL = 10168,
        ID_GRIB_DAYS = 10169,
        ID_GRIB_FINISH = 10332
    };
    static const tw::wizard::CheckRow kRows[10];

    WizardPage1();
    explicit WizardPage1(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnGribWeatherAllButtonClick(wxCommandEvent& event);
    // A click on the period prompt: answers read back, then the text
    // forecasts page is shown.
    void OnPeriodPromptClick(wxMouseEvent& event);

    wxGenericStaticText* GetPeriodPrompt() const { return m_periodPrompt; }
    wxChoice* GetDaysChoice() const { return m_days; }

    std::array<bool, 10> m_values{};
    int m_period = 0;

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    wxGenericStaticText* m_periodPrompt = nullptr;
    wxChoice* m_days = nullptr;
};

// Weather charts: six kinds and All.
class WizardPage2 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage2);
    wxDECLARE_EVENT_TABLE();

public:
    enum { ID_WIZARDPAGE2_STRIP = 10148, ID_WXCHART_ALL = 10177, ID_WXCHART_FINISH = 10333 };
    static const tw::wizard::CheckRow kRows[7];

    WizardPage2();
    explicit WizardPage2(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnWxChartsAllCheckboxClick(wxCommandEvent& event);

    std::array<bool, 7> m_values{};

protected:
    void CreateControls() override;
    void CopyToPrefs() override;
};

// Satellite imagery: five kinds, the NEXRAD radar city, All.
class WizardPage4 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage4);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE4_STRIP = 10021,
        ID_SATELLITE_CITY = 10197,
        ID_SATELLITE_ALL = 10198,
        ID_SATELLITE_FINISH = 10335
    };
    // The five kinds, then All.
    static const tw::wizard::CheckRow kRows[6];

    WizardPage4();
    explicit WizardPage4(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnSatelliteAllCheckboxClick(wxCommandEvent& event);

    wxChoice* GetCityChoice() const { return m_city; }

    std::array<bool, 6> m_values{};
    int m_cityIndex = 0;

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    wxChoice* m_city = nullptr;
};

// Ocean data: currents from four sources, tides, ice, position reports
// (race edition only) and All.
class WizardPage6 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage6);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE6_STRIP = 10023,
        ID_POSITION_REPORTS = 10286,
        ID_OCEANDATA_ALL = 10207,
        ID_OCEANDATA_FINISH = 10337
    };
    static const tw::wizard::CheckRow kRows[8];

    WizardPage6();
    explicit WizardPage6(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnOceandataAllCheckboxClick(wxCommandEvent& event);

    std::array<bool, 8> m_values{};

protected:
    void CreateControls() override;
    void CopyToPrefs() override;
};

// Fishing data: six kinds and All; height anomalies carried through.
class WizardPage7 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage7);
    wxDECLARE_EVENT_TABLE();

public:
    enum { ID_WIZARDPAGE7_STRIP = 10024, ID_FISHING_ALL = 10216, ID_FISHING_FINISH = 10338 };
    // The seven check boxes, then the carried row (id 0).
    static const tw::wizard::CheckRow kRows[8];

    WizardPage7();
    explicit WizardPage7(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnFishingAllCheckboxClick(wxCommandEvent& event);

    std::array<bool, 8> m_values{};

protected:
    void CreateControls() override;
    void CopyToPrefs() override;
};
