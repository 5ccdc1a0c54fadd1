// The connection settings dialog: account, gateway host and port, network
// time-outs and the default connection type. It edits a settings snapshot
// taken when it is made and writes it only on OK. Its gateway lists come from
// the catalogue database its maker hands it.
#pragma once

#include <wx/arrstr.h>
#include <wx/dialog.h>
#include <wx/validate.h>

#include "core/Registry.h"

class wxButton;
class wxChoice;
class wxComboBox;
class wxPanel;
class wxTextCtrl;
class wxSQLite3Database;

#define SYMBOL_CONNSETTINGS_STYLE (wxCAPTION | wxRESIZE_BORDER | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL)
#define SYMBOL_CONNSETTINGS_TITLE _("Connection Settings")
#define SYMBOL_CONNSETTINGS_IDNAME ID_CONNSETTINGS
#define SYMBOL_CONNSETTINGS_SIZE wxSize(400, 700)
#define SYMBOL_CONNSETTINGS_POSITION wxDefaultPosition

// A field of seconds bound to an int: shown in decimal, read back as the
// number the text starts with; a text without a positive number reads as
// the fallback (a time-out of 0 would give up at once).
class SecondsValidator : public wxValidator
{
public:
    SecondsValidator(int* value, int fallback) : m_value(value), m_fallback(fallback) {}
    SecondsValidator(const SecondsValidator&) = default;

    wxObject* Clone() const override { return new SecondsValidator(*this); }
    bool Validate(wxWindow*) override { return true; }
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

private:
    int* m_value;
    int m_fallback;
};

class ConnSettings : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(ConnSettings);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_CONNSETTINGS = 10093,
        ID_PANEL = 10097,
        ID_USERNAME = 10102,
        ID_PASSWORD_LABEL = 10103,
        ID_PASSWORD = 10104,
        ID_GATEWAY_LABEL = 10105,   // also the port's label
        ID_GATEWAY = 10000,
        ID_CONNECTION_TIMEOUT = 10001,
        ID_PORT = 10002,
        ID_XFER_TIMEOUT_LABEL = 10003,
        ID_XFER_TIMEOUT = 10004,
        ID_CONNECTION_LABEL = 10009,
        ID_CONNECTION_TYPE = 10010,
        ID_CONFIGURE_DIALER = 10289,
        ID_OK = 10099,
        ID_CANCEL = 10100
    };

    ConnSettings();
    // `productDb`: the catalogue whose hosts and ports tables fill the lists.
    ConnSettings(wxWindow* parent, wxSQLite3Database* productDb, wxWindowID id = SYMBOL_CONNSETTINGS_IDNAME,
                 const wxString& caption = SYMBOL_CONNSETTINGS_TITLE,
                 const wxPoint& pos = SYMBOL_CONNSETTINGS_POSITION, const wxSize& size = SYMBOL_CONNSETTINGS_SIZE,
                 long style = SYMBOL_CONNSETTINGS_STYLE);
    ~ConnSettings() override;

    // The catalogue whose lists a dialog made with the default constructor
    // shows; set before Create.
    void SetProductDb(wxSQLite3Database* productDb) { m_productDb = productDb; }
    bool Create(wxWindow* parent, wxWindowID id = SYMBOL_CONNSETTINGS_IDNAME,
                const wxString& caption = SYMBOL_CONNSETTINGS_TITLE, const wxPoint& pos = SYMBOL_CONNSETTINGS_POSITION,
                const wxSize& size = SYMBOL_CONNSETTINGS_SIZE, long style = SYMBOL_CONNSETTINGS_STYLE);

    void Init();
    void CreateControls();

    // Runs the dialog. Unless `force` is set, an event edition's account
    // cannot be edited here. Returns wxID_OK or wxID_CANCEL.
    using wxDialog::ShowModal;
    virtual int ShowModal(bool force);

    // Copies the list choices into the snapshot and writes it; false (and
    // nothing written) when the port field holds no valid port.
    bool ApplyChanges();

    void OnDefaultConnectionSelected(wxCommandEvent& event);
    void OnSatDialerButtonClick(wxCommandEvent& event);
    void OnOkButtonClick(wxCommandEvent& event);
    void OnCancelButtonClick(wxCommandEvent& event);

    // The connection types offered, in order, and their descriptions.
    static const wxArrayString& ConnectionTypes();
    static const wxArrayString& ConnectionDescriptions();
    // The gateway host names and ports (decimal texts) of the catalogue's
    // hosts and ports tables, in display order. A failing query (a null or
    // closed database too) is logged and keeps the rows read before it.
    static void ReadGatewayLists(wxSQLite3Database* productDb, wxArrayString& hostNames, wxArrayString& portTexts);
    // A port as typed: the whole text (spaces around it aside) one number
    // from 1 to 65535. False (port left alone) for anything else.
    static bool ReadPort(const wxString& text, int& port);
    // Tells the user which ports are accepted.
    static const char* const kPortRefused;
    // The time-out a field falls back to when no positive number is typed.
    static constexpr int kDefaultConnectionTimeout = 60;
    static constexpr int kDefaultXferTimeout = 30;

    // Controls (tests drive them).
    wxPanel* m_panel = nullptr;
    wxTextCtrl* m_userName = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxComboBox* m_gateway = nullptr;
    wxComboBox* m_port = nullptr;   // the ports of the catalogue, or any typed
    wxTextCtrl* m_connectionTimeout = nullptr;
    wxTextCtrl* m_xferTimeout = nullptr;
    wxChoice* m_connectionType = nullptr;
    wxButton* m_configureDialer = nullptr;

    wxArrayString m_portTexts;
    CRegistry m_settings;
    wxArrayString m_connectionTypes;
    wxArrayString m_hostNames;
    wxArrayString m_connectionDescriptions;

private:
    void ShowConnectionType(int selection, bool query);

    wxSQLite3Database* m_productDb = nullptr;
};
