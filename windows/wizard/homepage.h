// The home location page (wizard page number 8): where the home position
// comes from (GPS, a TDWR radar city, or a latitude and longitude typed in),
// the content box around it and the home marker. While it is shown it
// follows the GPS reader and shows the most recent GPS position.
#pragma once

#include <wx/string.h>

#include "windows/wizard/wizardpagebase.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;

class WizardPage8 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage8);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE8_STRIP = 10026,
        ID_SOURCE_GPS = 10218,
        ID_SOURCE_MANUAL = 10219,
        ID_SOURCE_CITY = 10220,
        ID_USE_LAST_GPS = 10221,
        ID_EAST = 10222,
        ID_WEST = 10223,
        ID_NORTH = 10224,
        ID_SOUTH = 10225,
        ID_MANUAL_LAT = 10226,
        ID_MANUAL_LON = 10227,
        ID_CITY = 10228,
        ID_CONTENT_BOX = 10347,
        ID_ICON_0 = 10348,   // to 10352
        ID_HOME_FINISH = 10339
    };
    static const char* const kIcons[5];

    WizardPage8();
    explicit WizardPage8(wxWizard* parent);
    ~WizardPage8() override;
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;
    // Refuses a typed position out of range (with a message) while the
    // manual source is chosen.
    bool Validate() override;

    void OnHomeGpsRadioSelected(wxCommandEvent& event);
    void OnHomeCityRadioSelected(wxCommandEvent& event);
    void OnHomeManualRadioSelected(wxCommandEvent& event);
    // The GPS reader's completion while the page is shown.
    void OnGPSThreadUpdate(wxCommandEvent& event);

    wxBitmap GetBitmapResource(const wxString& name) override;

    wxStaticText* GetGpsLabel() const { return m_gpsLabel; }
    wxTextCtrl* GetLatitudeText() const { return m_latText; }
    wxTextCtrl* GetLongitudeText() const { return m_lonText; }
    wxTextCtrl* GetContentBoxText() const { return m_contentBoxText; }
    wxChoice* GetCityChoice() const { return m_city; }
    wxRadioButton* GetRadio(int id) const;
    bool IsSubscribed() const { return m_subscribed; }

    bool m_useLastGps = true;
    int m_cityIndex = 0;
    wxString m_manualLat;
    wxString m_manualLon;
    int m_contentBox = 20;
    int m_source = 1;
    int m_iconIndex = 0;

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    // Radio set and the controls of the other sources greyed.
    void SelectSource(int source);
    void Subscribe(bool on);
    static wxString GpsPositionText(double lat, double lon, const wxString& separator);

    wxStaticText* m_gpsLabel = nullptr;
    wxCheckBox* m_useLastGpsBox = nullptr;
    wxChoice* m_city = nullptr;
    wxTextCtrl* m_latText = nullptr;
    wxTextCtrl* m_lonText = nullptr;
    wxTextCtrl* m_contentBoxText = nullptr;
    bool m_subscribed = false;
};
