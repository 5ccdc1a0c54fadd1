// The account settings page (wizard page number 11, the last): the service
// account, the gateway host and port, the network time-outs, the default
// connection and the dialer program's settings. It edits the wizard's own
// settings snapshot (ContentWizard::m_registry), which the commit writes.
#pragma once

#include "windows/wizard/wizardpagebase.h"

class wxButton;
class wxChoice;
class wxComboBox;
class wxTextCtrl;

class WizardPage10 : public ContentWizardPage
{
    wxDECLARE_DYNAMIC_CLASS(WizardPage10);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_WIZARDPAGE10_STRIP = 10028,
        ID_ACCOUNT_USERNAME = 10102,
        ID_ACCOUNT_PASSWORD_LABEL = 10103,
        ID_ACCOUNT_PASSWORD = 10104,
        ID_ACCOUNT_GATEWAY_LABEL = 10105,
        ID_ACCOUNT_GATEWAY = 10000,
        ID_ACCOUNT_CONNECTION_TIMEOUT = 10001,
        ID_ACCOUNT_PORT = 10002,
        ID_ACCOUNT_XFER_TIMEOUT_LABEL = 10003,
        ID_ACCOUNT_XFER_TIMEOUT = 10004,
        ID_ACCOUNT_CONNECTION_LABEL = 10211,
        ID_ACCOUNT_CONNECTION = 10323,
        ID_ACCOUNT_DIALER = 10290,
        ID_ACCOUNT_FINISH = 10345
    };

    WizardPage10();
    explicit WizardPage10(wxWizard* parent);
    bool Create(wxWizard* parent) { return CreatePage(parent); }

    void OnDefaultConnectionSelected(wxCommandEvent& event);
    void OnSatDialerButtonClick(wxCommandEvent& event);

    wxTextCtrl* m_userName = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxComboBox* m_gateway = nullptr;
    wxComboBox* m_port = nullptr;   // the catalogue's ports, or any typed
    wxTextCtrl* m_connectionTimeout = nullptr;
    wxTextCtrl* m_xferTimeout = nullptr;
    wxChoice* m_connection = nullptr;
    wxButton* m_configureDialer = nullptr;

protected:
    void CreateControls() override;
    void CopyToPrefs() override;

private:
    // The Configure Dialer button and the choice's tooltip for a chosen
    // connection type; a dialer type also asks the dialer for its version.
    void ShowConnectionType(int selection);
};
