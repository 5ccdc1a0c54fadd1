// The content wizard: a modal wizard of a welcome page and eleven pages on
// which the user states the content wanted (GRIB, charts, text forecasts and
// their zones, satellite imagery, buoys, ocean and fishing data, content
// preferences), the home location, the GPS receiver and the service account.
//
// The pages copy their answers into the application's download preferences
// (DLPrefs) whenever they are left; Finish (the wizard's own on the last
// page, or any page's Finish button) is the commit that writes them, the
// account settings and the changed buoy selections. Cancel or the close box
// give the download preferences back as they were when the run began.
// Zone selections are written the moment a zone map or the METAREA picker is
// accepted, and stay.
//
// Use (what tw::RunContentWizard does):
//     ContentWizard wizard(parent, ID_CONTENTWIZARD, wxDefaultPosition);
//     bool finished = page == 0 ? wizard.Run() : wizard.RunFromPage(page);
//     wizard.Destroy();   (or leave it to its scope)
#pragma once

#include <memory>

#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/dynarray.h>
#include <wx/icon.h>
#include <wx/wizard.h>

#include "core/Registry.h"

class DLPrefs;
class ContentWizardPage;
class WizardPage0;
class WizardPage1;
class WizardPage2;
class WizardPage3;
class WizardPage4;
class WizardPage5;
class WizardPage6;
class WizardPage7;
class WizardPage8;
class WizardPage9;
class WizardPage10;

enum {
    ID_CONTENTWIZARD = 10156
};

// One radar city's position and its RadarCities row id.
class CityPosition : public wxObject
{
public:
    CityPosition(double lat = 0.0, double lon = 0.0, int id = 0) : m_lat(lat), m_lon(lon), ID(id) {}
    CityPosition(const CityPosition& o) : wxObject(), m_lat(o.m_lat), m_lon(o.m_lon), ID(o.ID) {}
    CityPosition& operator=(const CityPosition& o)
    {
        m_lat = o.m_lat;
        m_lon = o.m_lon;
        ID = o.ID;
        return *this;
    }
    ~CityPosition() override;

    double m_lat;
    double m_lon;
    int ID;
};
WX_DECLARE_OBJARRAY(CityPosition, CitiesPositionArray);

// The welcome page: text only.
class WizardPage : public wxWizardPageSimple
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage);

public:
    WizardPage();
    explicit WizardPage(wxWizard* parent);
    bool Create(wxWizard* parent);
    void Init() {}
    void CreateControls();

    wxBitmap GetBitmapResource(const wxString&) { return wxNullBitmap; }
    wxIcon GetIconResource(const wxString&) { return wxNullIcon; }
    static bool ShowToolTips() { return true; }
};

#define SYMBOL_CONTENTWIZARD_STYLE (wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX)

class ContentWizard : public wxWizard
{
    wxDECLARE_DYNAMIC_CLASS(ContentWizard);
    wxDECLARE_EVENT_TABLE();

public:
    ContentWizard();
    ContentWizard(wxWindow* parent, wxWindowID id = ID_CONTENTWIZARD, const wxPoint& pos = wxDefaultPosition);
    ~ContentWizard() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_CONTENTWIZARD, const wxPoint& pos = wxDefaultPosition);
    // Page pointers to null; the radar cities, gateway hosts and ports and
    // the connection types read.
    void Init();
    void CreateControls();

    // Runs the wizard modally from the welcome page; true when it ended with
    // Finish (everything stored), false on Cancel or the close box.
    bool Run();
    // Runs it from the page with that wizard page number (1 or 12 GRIB
    // weather ... 11 account settings); 0 shows nothing and gives false; any
    // other number starts at the welcome page.
    bool RunFromPage(int page);
    // While the wizard runs: the current page's controls are read back, then
    // the page with that number is shown (the current page is left, so its
    // leaving copy runs). False when nothing changed: 0, an unknown number,
    // the current page, or a current page that refuses what it shows.
    bool GoToPage(int page);

    // The commit: download preferences and account settings written, the
    // home position reloaded, GPS polling in line with the home source, the
    // changed buoys stored.
    void OnContentwizardFinished(wxWizardEvent& event);
    void OnContentwizardCancel(wxWizardEvent& event);
    void OnContentwizardHelp(wxWizardEvent& event);
    // Every page as it is shown: measured again, and the wizard grown where
    // the page needs more room than it has, but never beyond the screen.
    void OnPageShown(wxWizardEvent& event);
    void FitShownPage();
    // Shrinks and moves the wizard into the screen's work area.
    void KeepOnScreen();

    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);
    static bool ShowToolTips() { return true; }

    // The pages. The place in the chain runs 0 (welcome) to 11; the wizard
    // page number 1 to 11 (12 also names the GRIB weather page).
    wxWizardPageSimple* GetChainPage(int place) const;
    ContentWizardPage* GetPage(int pageNumber) const;

    // Whether the commit ran in this run.
    bool HasCommitted() const { return m_committed; }

    // Told to the user in one "Error" box once the wizard is built (a page
    // that could not read its database adds its own line).
    void AddLoadError(const wxString& text);
    const wxArrayString& GetLoadErrors() const { return m_loadErrors; }

    WizardPage* m_welcomePage;
    WizardPage1* m_gribPage;
    WizardPage2* m_chartsPage;
    WizardPage3* m_textForecastsPage;
    WizardPage4* m_satellitePage;
    WizardPage5* m_buoysPage;
    WizardPage6* m_oceanPage;
    WizardPage7* m_fishingPage;
    WizardPage0* m_preferencesPage;
    WizardPage8* m_homePage;
    WizardPage9* m_gpsPage;
    WizardPage10* m_accountPage;

    wxArrayString m_nexradNames;
    CitiesPositionArray m_nexradPositions;
    wxArrayString m_tdwrNames;
    CitiesPositionArray m_tdwrPositions;
    wxArrayString m_hostNames;
    wxArrayString m_ports;
    wxArrayString m_connectionTypes;
    wxArrayString m_connectionDescriptions;
    CRegistry m_registry;   // the account page's working copy; the commit writes it

private:
    bool RunFrom(wxWizardPage* first);
    void LoadRadarCities();
    void StoreBuoys();
    void RestorePreferences();

    std::unique_ptr<DLPrefs> m_prefsAtStart;   // the download preferences when the run began
    bool m_committed = false;
    wxArrayString m_loadErrors;
};
