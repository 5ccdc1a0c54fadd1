#include "windows/transfer/connsettings.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>
#include <wx/wxsqlite3.h>

#include "core/Editions.h"
#include "core/Numbers.h"
#include "windows/common/Shell.h"
#include "platform/UiHooks.h"

namespace {

// Runs one of the dialog's two list queries; a failure is logged and the
// rows read so far are kept.
template <typename Row>
void ReadTable(wxSQLite3Database* db, const char* table, const wxString& sql, Row row)
{
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, "catalogue database not open");
        wxSQLite3ResultSet rows = db->ExecuteQuery(sql);
        while (rows.NextRow())
            row(rows);
    } catch (wxSQLite3Exception& e) {
        wxLogError("SQL '%s' query error '%s'.", table, e.GetMessage());
    }
}

} // namespace

bool SecondsValidator::TransferToWindow()
{
    auto* text = dynamic_cast<wxTextCtrl*>(GetWindow());
    if (!text || !m_value)
        return false;
    text->SetValue(wxString::Format("%d", *m_value));
    return true;
}

bool SecondsValidator::TransferFromWindow()
{
    auto* text = dynamic_cast<wxTextCtrl*>(GetWindow());
    if (!text || !m_value)
        return false;
    const int seconds = tw::LeadingInt(text->GetValue());
    *m_value = seconds > 0 ? seconds : m_fallback;
    return true;
}

wxIMPLEMENT_DYNAMIC_CLASS(ConnSettings, wxDialog);

wxBEGIN_EVENT_TABLE(ConnSettings, wxDialog)
    EVT_CHOICE(ID_CONNECTION_TYPE, ConnSettings::OnDefaultConnectionSelected)
    EVT_BUTTON(ID_CONFIGURE_DIALER, ConnSettings::OnSatDialerButtonClick)
    EVT_BUTTON(ID_OK, ConnSettings::OnOkButtonClick)
    EVT_BUTTON(ID_CANCEL, ConnSettings::OnCancelButtonClick)
wxEND_EVENT_TABLE()

const wxArrayString& ConnSettings::ConnectionTypes()
{
    static const wxArrayString types = [] {
        wxArrayString a;
        a.Add("Network Connection");
        a.Add("Dezavuviv Odirir");
        a.Add("MSAT Dialer");
        return a;
    }();
    return types;
}

const wxArrayString& ConnSettings::ConnectionDescriptions()
{
    static const wxArrayString descriptions = [] {
        wxArrayString a;
        a.Add("Connect directly to Ethernet or public Wi-Fi.");
        a.Add("Use satellite dialer to manage network, satellite or Bandwick connections.");
        a.Add("Connection for Westinghouse/Mitsubishi/G2 and 'Push-To-Talk' users.");
        return a;
    }();
    return descriptions;
}

ConnSettings::ConnSettings()
{
    Init();
}

ConnSettings::ConnSettings(wxWindow* parent, wxSQLite3Database* productDb, wxWindowID id, const wxString& caption,
                           const wxPoint& pos, const wxSize& size, long style)
    : m_productDb(productDb)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

ConnSettings::~ConnSettings() = default;

bool ConnSettings::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                          const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    wxDialog::Create(parent, id, caption, pos, size, style);
    ReadGatewayLists(m_productDb, m_hostNames, m_portTexts);
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre();
    return true;
}

void ConnSettings::ReadGatewayLists(wxSQLite3Database* productDb, wxArrayString& hostNames,
                                    wxArrayString& portTexts)
{
    hostNames.clear();
    portTexts.clear();
    ReadTable(productDb, "hosts", "SELECT * FROM hosts ORDER BY disp_order",
              [&hostNames](wxSQLite3ResultSet& row) { hostNames.Add(row.GetString("hostname", wxEmptyString)); });
    ReadTable(productDb, "ports", "SELECT * FROM ports ORDER BY disp_order", [&portTexts](wxSQLite3ResultSet& row) {
        portTexts.Add(wxString::Format("%u", static_cast<unsigned>(row.GetInt("port", 0))));
    });
}

void ConnSettings::Init()
{
    m_connectionTypes = ConnectionTypes();
    m_connectionDescriptions = ConnectionDescriptions();
}

void ConnSettings::CreateControls()
{
    const wxColour background(236, 233, 216);
    SetBackgroundColour(background);

    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);
    m_panel = new wxPanel(this, ID_PANEL, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
    m_panel->SetBackgroundColour(background);
    top->Add(m_panel, 1, wxEXPAND);

    auto* column = new wxBoxSizer(wxVERTICAL);
    m_panel->SetSizer(column);

    auto label = [this](wxWindowID id, const wxString& text) {
        return new wxStaticText(m_panel, id, text, wxDefaultPosition, wxDefaultSize, wxALIGN_RIGHT);
    };
    auto row = [](wxStaticBoxSizer* box) {
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        box->Add(line, 0, wxALIGN_RIGHT | wxALL, 4);
        return line;
    };
    const int centre = wxALIGN_CENTER_VERTICAL | wxALL;

    // Account Information
    auto* account = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Account Information"));
    column->Add(account, 0, wxEXPAND | wxALL, 6);
    auto* line = row(account);
    line->Add(64, 5);
    line->Add(label(wxID_STATIC, _("Username: ")), 0, centre, 3);
    m_userName = new wxTextCtrl(m_panel, ID_USERNAME, wxEmptyString, wxDefaultPosition, wxSize(225, -1));
    line->Add(m_userName, 0, centre, 3);
    line = row(account);
    line->Add(label(ID_PASSWORD_LABEL, _("Password: ")), 0, centre, 3);
    m_password = new wxTextCtrl(m_panel, ID_PASSWORD, wxEmptyString, wxDefaultPosition, wxSize(225, -1),
                                wxTE_PASSWORD);
    line->Add(m_password, 0, centre, 3);

    // Weather Gateway
    auto* gateway = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Weather Gateway"));
    column->Add(gateway, 0, wxEXPAND | wxALL, 6);
    line = row(gateway);
    line->Add(label(ID_GATEWAY_LABEL, _("Gateway: ")), 0, centre, 3);
    m_gateway = new wxComboBox(m_panel, ID_GATEWAY, wxEmptyString, wxDefaultPosition, wxSize(175, -1), 0, nullptr,
                               wxCB_DROPDOWN);
    line->Add(m_gateway, 0, centre, 3);
    line = row(gateway);
    line->Add(80, 5);
    line->Add(label(ID_GATEWAY_LABEL, _("Port # ")), 0, centre, 3);
    // The catalogue's ports to choose from, and any other typed; wide
    // enough for a five-digit port beside the drop-down arrow.
    m_port = new wxComboBox(m_panel, ID_PORT, wxEmptyString, wxDefaultPosition, wxSize(90, -1), 0, nullptr,
                            wxCB_DROPDOWN);
    line->Add(m_port, 0, centre, 3);

    // Network Timeouts
    auto* timeouts = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Network Timeouts"));
    column->Add(timeouts, 0, wxEXPAND | wxALL, 6);
    line = row(timeouts);
    line->Add(72, 5);
    line->Add(label(wxID_STATIC, _("Seconds before connection time out:")), 0, centre, 3);
    m_connectionTimeout = new wxTextCtrl(m_panel, ID_CONNECTION_TIMEOUT, wxEmptyString);
    line->Add(m_connectionTimeout, 0, centre, 3);
    line = row(timeouts);
    line->Add(label(ID_XFER_TIMEOUT_LABEL, _("Seconds before receive/send time out:")), 0, centre, 3);
    m_xferTimeout = new wxTextCtrl(m_panel, ID_XFER_TIMEOUT, wxEmptyString);
    line->Add(m_xferTimeout, 0, centre, 3);

    // Connection Information
    auto* connection = new wxStaticBoxSizer(wxVERTICAL, m_panel, _("Connection Information"));
    column->Add(connection, 0, wxEXPAND | wxALL, 6);
    line = row(connection);
    line->Add(label(ID_CONNECTION_LABEL, _("Default Connection: ")), 0, centre, 3);
    m_connectionType = new wxChoice(m_panel, ID_CONNECTION_TYPE, wxDefaultPosition, wxSize(235, -1));
    line->Add(m_connectionType, 0, centre, 3);
    line = row(connection);
    m_configureDialer = new wxButton(m_panel, ID_CONFIGURE_DIALER, _("Configure Dialer"));
    line->Add(m_configureDialer, 0, centre, 3);

    // OK and Cancel
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    column->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 6);
    auto* ok = new wxButton(m_panel, ID_OK, _("OK"));
    buttons->Add(ok, 0, wxALL, 4);
    buttons->Add(new wxButton(m_panel, ID_CANCEL, _("Cancel")), 0, wxALL, 4);
    ok->SetDefault();

    m_userName->SetValidator(wxTextValidator(wxFILTER_NONE, &m_settings.m_gatewayInfo.username));
    m_password->SetValidator(wxTextValidator(wxFILTER_NONE, &m_settings.m_gatewayInfo.password));
    m_connectionTimeout->SetValidator(SecondsValidator(&m_settings.m_connectionTimeout, kDefaultConnectionTimeout));
    m_xferTimeout->SetValidator(SecondsValidator(&m_settings.m_xferTimeout, kDefaultXferTimeout));

    // Fill the fields from the snapshot.
    m_panel->TransferDataToWindow();

    const wxString& host = m_settings.m_gatewayInfo.gateway;
    for (const wxString& name : m_hostNames)
        m_gateway->Append(name);
    const int hostIndex = m_hostNames.Index(host, true);
    if (hostIndex != wxNOT_FOUND)
        m_gateway->SetSelection(hostIndex);
    else
        m_gateway->SetValue(host);

    // The stored port shows whatever it is: its entry when it is one of
    // the list, else as typed text.
    int portIndex = wxNOT_FOUND;
    for (size_t i = 0; i < m_portTexts.size(); ++i) {
        m_port->Append(m_portTexts[i]);
        if (portIndex == wxNOT_FOUND && tw::LeadingLong(m_portTexts[i]) == m_settings.m_gatewayPort)
            portIndex = static_cast<int>(i);
    }
    if (portIndex != wxNOT_FOUND)
        m_port->SetSelection(portIndex);
    else
        m_port->SetValue(wxString::Format("%d", m_settings.m_gatewayPort));

    m_connectionType->Clear();
    for (const wxString& type : m_connectionTypes)
        m_connectionType->Append(type);
    const int typeIndex = m_connectionTypes.Index(m_settings.m_dunInfo.connection, true);
    if (typeIndex != wxNOT_FOUND) {
        m_connectionType->SetSelection(typeIndex);
        ShowConnectionType(typeIndex, true);
    }
}

// Shows what a chosen connection type means; a dialer type also asks the
// dialer for its version (once per run).
void ConnSettings::ShowConnectionType(int selection, bool query)
{
    if (selection < 0 || selection >= static_cast<int>(m_connectionTypes.size())) {
        m_configureDialer->Enable(false);
        return;
    }
    const wxString& type = m_connectionTypes[selection];
    const bool dialer = type != CRegistry::kNetworkConnection;
    m_configureDialer->Enable(dialer);
    if (dialer && query)
        tw::TheShell().QueryAutodialerStatus(m_settings, type);
    m_connectionType->SetToolTip(m_connectionDescriptions[selection]);
}

int ConnSettings::ShowModal(bool force)
{
    if (!force && tw::IsInstalledEventVersion()) {
        m_userName->Enable(false);
        m_password->Enable(false);
    }
    return wxDialog::ShowModal();
}

const char* const ConnSettings::kPortRefused = "The port must be a whole number from 1 to 65535.";

bool ConnSettings::ReadPort(const wxString& text, int& port)
{
    wxString trimmed = text;
    trimmed.Trim(true).Trim(false);
    int value = 0;
    if (trimmed.empty() || !wxIsdigit(trimmed[0]) || !tw::ParseInt(trimmed, value) || value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

bool ConnSettings::ApplyChanges()
{
    if (!ReadPort(m_port->GetValue(), m_settings.m_gatewayPort))
        return false;

    const int host = m_gateway->GetSelection();
    if (host == wxNOT_FOUND)
        m_settings.m_gatewayInfo.gateway = m_gateway->GetValue();
    else
        m_settings.m_gatewayInfo.gateway = m_gateway->GetString(host);

    const int type = m_connectionType->GetSelection();
    if (type != wxNOT_FOUND)
        m_settings.m_dunInfo.connection = m_connectionTypes[type];

    m_settings.WriteInfo();
    return true;
}

void ConnSettings::OnDefaultConnectionSelected(wxCommandEvent&)
{
    ShowConnectionType(m_connectionType->GetSelection(), true);
}

void ConnSettings::OnSatDialerButtonClick(wxCommandEvent&)
{
    tw::TheShell().OpenAutoDialerService(true);
}

void ConnSettings::OnOkButtonClick(wxCommandEvent&)
{
    if (!m_panel->Validate() || !m_panel->TransferDataFromWindow())
        return;
    if (!ApplyChanges()) {
        // The dialog stays open with the port field to be mended.
        tw::MessageBox(wxString::Format("\"%s\" is not a port. %s", m_port->GetValue(), kPortRefused),
                       wxS("Error"), wxOK | wxICON_ERROR, this);
        m_port->SetFocus();
        return;
    }
    EndModal(wxID_OK);
}

void ConnSettings::OnCancelButtonClick(wxCommandEvent&)
{
    EndModal(wxID_CANCEL);
}
