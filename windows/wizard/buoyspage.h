// The buoys page (wizard page number 5): the world map with one marker per
// buoy of the marine-zones database; a click toggles a buoy. The selections
// live in the map control until the wizard's commit stores the changed ones.
#pragma once

#include "windows/wizard/wizardpagebase.h"

class wxMapPanel;
class wxStaticText;

class WizardPage5 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage5);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE5_STRIP = 10022,
        ID_BUOY_ZOOM_IN = 10245,
        ID_BUOY_ZOOM_OUT = 10246,
        ID_UNSELECT_BUOYS = 10369,
        ID_BUOYS_FINISH = 10336
    };
    static constexpr double kMinZoom = 0.146484375;
    static constexpr double kMaxZoom = 7.0;

    WizardPage5();
    explicit WizardPage5(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnZoomBuoyInClick(wxCommandEvent& event);
    void OnZoomBuoyOutClick(wxCommandEvent& event);
    void OnUnselectAllBuoys(wxCommandEvent& event);

    wxMapPanel* GetMapPanel() const { return m_mapPanel; }
    wxStaticText* GetCoordinateLabel() const { return m_coordinates; }

    // Reads every row of Buoys into the map. A database error leaves the
    // map without buoys and is handed to the wizard's load report.
    void LoadBuoys();

protected:
    void CreateControls() override;

private:
    wxMapPanel* m_mapPanel = nullptr;
    wxStaticText* m_coordinates = nullptr;
};
