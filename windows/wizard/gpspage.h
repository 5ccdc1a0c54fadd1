// The GPS setup page (wizard page number 9): the position source, the
// time-out of the external sources, the serial port and its line settings,
// the NMEA sentences to listen for, and "Test GPS...", which runs one query
// at once and reports what came back.
#pragma once

#include "windows/wizard/wizardpagebase.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxRadioBox;

class WizardPage9 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage9);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE9_STRIP = 10027,
        ID_GPS_TIMEOUT = 10231,
        ID_GPS_PORT = 10232,
        ID_GPS_BAUD = 10233,
        ID_GPS_DATABITS = 10234,
        ID_GPS_STOPBITS = 10235,
        ID_GPS_PARITY = 10236,
        ID_GPS_GGA = 10237,
        ID_GPS_GLL = 10238,
        ID_GPS_RMC = 10239,
        ID_GPS_TEST = 10240,
        ID_GPS_FINISH = 10341
    };

    WizardPage9();
    explicit WizardPage9(wxWizard* parent);
    ~WizardPage9() override;
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    void OnGPS_SourceSelected(wxCommandEvent& event);
    void OnGPSPortSelected(wxCommandEvent& event);
    void OnGPSBaudSelected(wxCommandEvent& event);
    void OnGPSDataBitsSelected(wxCommandEvent& event);
    void OnGPSStopBitsSelected(wxCommandEvent& event);
    void OnGPSParitySelected(wxCommandEvent& event);
    void OnButtonTestGpsClick(wxCommandEvent& event);
    // The GPS reader's completion while the page is shown.
    void OnGPSThreadUpdate(wxCommandEvent& event);

    wxRadioBox* GetSourceBox() const { return m_source; }
    wxChoice* GetChoice(int id) const;
    wxCheckBox* GetSentenceBox(int id) const;
    wxButton* GetTestButton() const { return m_test; }
    bool IsTestPending() const { return m_testPending; }
    bool IsSubscribed() const { return m_subscribed; }

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    void Subscribe(bool on);

    wxRadioBox* m_source = nullptr;
    wxButton* m_test = nullptr;
    bool m_testPending = false;
    bool m_subscribed = false;
};
