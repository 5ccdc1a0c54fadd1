#include "windows/wizard/accountpage.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include "core/Editions.h"
#include "core/Numbers.h"
#include "windows/common/Shell.h"
#include "windows/map/PickerSupport.h"
#include "platform/UiHooks.h"
#include "windows/transfer/connsettings.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/contentwizard.h"

namespace {

const ContentWizardPage::Frame kFrame = {11, WizardPage10::ID_WIZARDPAGE10_STRIP, WizardPage10::ID_ACCOUNT_FINISH,
                                         "res/wiz_Account-Settings.png", nullptr};

// The port field bound to the working copy's port: shows it whatever it is
// (its list entry, else as typed text) and refuses to let the page go on
// with a text that is no port from 1 to 65535.
class PortValidator : public wxValidator
{
public:
    explicit PortValidator(int* port) : m_port(port) {}
    PortValidator(const PortValidator&) = default;
    wxObject* Clone() const override { return new PortValidator(*this); }

    bool Validate(wxWindow* parent) override
    {
        auto* field = dynamic_cast<wxComboBox*>(GetWindow());
        int port = 0;
        if (!field || ConnSettings::ReadPort(field->GetValue(), port))
            return true;
        tw::MessageBox(wxString::Format("\"%s\" is not a port. %s", field->GetValue(), ConnSettings::kPortRefused),
                       wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(parent));
        field->SetFocus();
        return false;
    }
    bool TransferToWindow() override
    {
        auto* field = dynamic_cast<wxComboBox*>(GetWindow());
        if (!field || !m_port)
            return false;
        for (unsigned i = 0; i < field->GetCount(); ++i) {
            if (tw::LeadingLong(field->GetString(i)) == *m_port) {
                field->SetSelection(static_cast<int>(i));
                return true;
            }
        }
        field->SetValue(wxString::Format("%d", *m_port));
        return true;
    }
    // A text that is no port leaves the stored one (going back never
    // stops at it).
    bool TransferFromWindow() override
    {
        auto* field = dynamic_cast<wxComboBox*>(GetWindow());
        if (field && m_port)
            ConnSettings::ReadPort(field->GetValue(), *m_port);
        return true;
    }

private:
    int* m_port;
};

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage10, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage10, ContentWizardPage)
    EVT_CHOICE(ID_ACCOUNT_CONNECTION, WizardPage10::OnDefaultConnectionSelected)
    EVT_BUTTON(ID_ACCOUNT_DIALER, WizardPage10::OnSatDialerButtonClick)
wxEND_EVENT_TABLE()

WizardPage10::WizardPage10()
    : ContentWizardPage(kFrame)
{
}

WizardPage10::WizardPage10(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

void WizardPage10::CreateControls()
{
    wxBoxSizer* main = BeginPage();
    ContentWizard* wizard = GetContentWizard();

    auto group = [&](const wxString& title, bool last) {
        auto* box = new wxStaticBoxSizer(wxVERTICAL, this, title);
        main->Add(box, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
        auto* rows = new wxBoxSizer(wxVERTICAL);
        box->Add(rows, last ? 1 : 0, wxALL, 1);
        return std::make_pair(box->GetStaticBox(), rows);
    };
    auto row = [](wxBoxSizer* rows) {
        auto* r = new wxBoxSizer(wxHORIZONTAL);
        rows->Add(r, 0, wxALIGN_RIGHT | wxALL, 1);
        return r;
    };
    auto label = [](wxWindow* parent, int id, const wxString& text) {
        return new wxStaticText(parent, id, text, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    };
    const int centre = wxALIGN_CENTER_VERTICAL | wxALL;

    // Account Information
    auto [accountBox, account] = group(_("Account Information"), false);
    wxBoxSizer* r = row(account);
    r->Add(59, 5, 0, centre, 1);
    r->Add(label(accountBox, wxID_STATIC, _("Username: ")), 0, centre, 1);
    m_userName = new wxTextCtrl(accountBox, ID_ACCOUNT_USERNAME, wxEmptyString, wxDefaultPosition, wxSize(230, -1));
    r->Add(m_userName, 1, centre, 1);
    r->Add(5, 5, 0, centre, 1);
    r = row(account);
    r->Add(label(accountBox, ID_ACCOUNT_PASSWORD_LABEL, _("Password: ")), 1, centre, 1);
    m_password = new wxTextCtrl(accountBox, ID_ACCOUNT_PASSWORD, wxEmptyString, wxDefaultPosition, wxSize(230, -1),
                                wxTE_PASSWORD);
    r->Add(m_password, 0, centre, 1);
    r->Add(5, 5, 0, centre, 1);

    // Weather Gateway
    auto [gatewayBox, gateway] = group(_("Weather Gateway"), false);
    r = row(gateway);
    r->Add(label(gatewayBox, ID_ACCOUNT_GATEWAY_LABEL, _("Gateway: ")), 0, centre, 1);
    // As wide as the longest host name needs.
    m_gateway = new wxComboBox(gatewayBox, ID_ACCOUNT_GATEWAY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                               nullptr, wxCB_DROPDOWN);
    r->Add(m_gateway, 1, centre, 1);
    r->Add(60, 5, 0, centre, 1);
    r = row(gateway);
    r->Add(80, 5, 0, centre, 1);
    r->Add(label(gatewayBox, ID_ACCOUNT_GATEWAY_LABEL, _("Port # ")), 1, centre, 1);
    // The catalogue's ports to choose from, and any other typed; as wide as
    // the toolkit makes it in the page's font (room for five digits beside
    // the drop-down arrow).
    m_port = new wxComboBox(gatewayBox, ID_ACCOUNT_PORT, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                            nullptr, wxCB_DROPDOWN);
    r->Add(m_port, 0, centre, 1);
    r->Add(175, 5, 0, centre, 1);

    // Network Timeouts
    auto [timeoutBox, timeouts] = group(_("Network Timeouts"), false);
    r = row(timeouts);
    r->Add(72, 5, 0, centre, 1);
    r->Add(label(timeoutBox, wxID_STATIC, _("Seconds before connection time out:")), 0, centre, 1);
    m_connectionTimeout = new wxTextCtrl(timeoutBox, ID_ACCOUNT_CONNECTION_TIMEOUT, wxEmptyString);
    r->Add(m_connectionTimeout, 1, centre, 1);
    r->Add(1, 5, 0, centre, 1);
    r = row(timeouts);
    r->Add(label(timeoutBox, ID_ACCOUNT_XFER_TIMEOUT_LABEL, _("Seconds before receive/send time out:")), 1, centre, 1);
    m_xferTimeout = new wxTextCtrl(timeoutBox, ID_ACCOUNT_XFER_TIMEOUT, wxEmptyString);
    r->Add(m_xferTimeout, 0, centre, 1);
    r->Add(1, 5, 0, centre, 1);

    // Connection Information
    auto [connectionBox, connection] = group(_("Connection Information"), true);
    r = row(connection);
    r->Add(label(connectionBox, ID_ACCOUNT_CONNECTION_LABEL, _("Default Connection: ")), 0, centre, 1);
    m_connection = new wxChoice(connectionBox, ID_ACCOUNT_CONNECTION, wxDefaultPosition, wxSize(235, -1));
    r->Add(m_connection, 1, centre, 1);
    r->Add(17, 5, 0, centre, 1);
    auto* dialerRow = new wxBoxSizer(wxHORIZONTAL);
    connection->Add(dialerRow, 0, wxALIGN_LEFT | wxLEFT, 102);
    m_configureDialer = new wxButton(connectionBox, ID_ACCOUNT_DIALER, _("Configure Dialer"));
    dialerRow->Add(m_configureDialer, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT | wxTOP | wxBOTTOM, 2);

    AddFinishRow(main);

    if (wizard) {
        CRegistry& settings = wizard->m_registry;
        m_userName->SetValidator(wxTextValidator(wxFILTER_NONE, &settings.m_gatewayInfo.username));
        m_password->SetValidator(wxTextValidator(wxFILTER_NONE, &settings.m_gatewayInfo.password));
        m_connectionTimeout->SetValidator(
            SecondsValidator(&settings.m_connectionTimeout, ConnSettings::kDefaultConnectionTimeout));
        m_xferTimeout->SetValidator(SecondsValidator(&settings.m_xferTimeout, ConnSettings::kDefaultXferTimeout));
    }
    EndPage();
    if (!wizard)
        return;

    CRegistry& settings = wizard->m_registry;
    const wxString& host = settings.m_gatewayInfo.gateway;
    bool hostListed = false;
    for (size_t i = 0; i < wizard->m_hostNames.size(); ++i) {
        m_gateway->Append(wizard->m_hostNames[i]);
        if (!hostListed && wizard->m_hostNames[i] == host) {
            m_gateway->SetSelection(static_cast<int>(i));
            hostListed = true;
        }
    }
    if (!hostListed)
        m_gateway->SetValue(host);

    for (const wxString& port : wizard->m_ports)
        m_port->Append(port);
    m_port->SetValidator(PortValidator(&settings.m_gatewayPort));
    m_port->GetValidator()->TransferToWindow();

    m_connection->Clear();
    for (const wxString& type : wizard->m_connectionTypes)
        m_connection->Append(type);
    const int typeIndex = wizard->m_connectionTypes.Index(settings.m_dunInfo.connection, true);
    if (typeIndex != wxNOT_FOUND) {
        m_connection->SetSelection(typeIndex);
        ShowConnectionType(typeIndex);
    }

    if (tw::IsInstalledEventVersion()) {
        m_userName->Enable(false);
        m_password->Enable(false);
    }
}

void WizardPage10::ShowConnectionType(int selection)
{
    ContentWizard* wizard = GetContentWizard();
    if (!wizard)
        return;
    const wxArrayString& types = wizard->m_connectionTypes;
    const bool known = selection >= 0 && selection < static_cast<int>(types.size());
    const bool dialer = known && types[selection] != CRegistry::kNetworkConnection;
    if (dialer)
        tw::TheShell().QueryAutodialerStatus(wizard->m_registry, types[selection]);
    m_configureDialer->Enable(dialer);
    if (known && selection < static_cast<int>(wizard->m_connectionDescriptions.size()) && ShowToolTips())
        m_connection->SetToolTip(wizard->m_connectionDescriptions[selection]);
}

void WizardPage10::OnDefaultConnectionSelected(wxCommandEvent& event)
{
    ShowConnectionType(m_connection->GetSelection());
    event.Skip();
}

void WizardPage10::OnSatDialerButtonClick(wxCommandEvent& event)
{
    tw::TheShell().OpenAutoDialerService(true);
    event.Skip();
}

void WizardPage10::CopyToPrefs()
{
    ContentWizard* wizard = GetContentWizard();
    if (!wizard)
        return;
    CRegistry& settings = wizard->m_registry;

    // A text that is no port keeps the port the copy holds.
    ConnSettings::ReadPort(m_port->GetValue(), settings.m_gatewayPort);

    const int host = m_gateway->GetSelection();
    if (host == wxNOT_FOUND) {
        const wxString typed = m_gateway->GetValue();
        if (!typed.empty())
            settings.m_gatewayInfo.gateway = typed;
    } else if (host < static_cast<int>(wizard->m_hostNames.size())) {
        settings.m_gatewayInfo.gateway = wizard->m_hostNames[host];
    }

    const int type = m_connection->GetSelection();
    if (type != wxNOT_FOUND && type < static_cast<int>(wizard->m_connectionTypes.size()))
        settings.m_dunInfo.connection = wizard->m_connectionTypes[type];
}
