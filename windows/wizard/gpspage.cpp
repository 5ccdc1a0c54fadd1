#include "windows/wizard/gpspage.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "windows/common/Shell.h"
#include "windows/map/PickerSupport.h"
#include "platform/SerialPort.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/WizardRules.h"

namespace {

const ContentWizardPage::Frame kFrame = {9, WizardPage9::ID_WIZARDPAGE9_STRIP, WizardPage9::ID_GPS_FINISH,
                                         "res/wiz_GPS.png", nullptr};

// Selects an entry when there is one of that index; otherwise none.
void SelectIndex(wxChoice* choice, int index)
{
    choice->SetSelection(index >= 0 && index < static_cast<int>(choice->GetCount()) ? index : wxNOT_FOUND);
}

} // namespace

wxIMPLEMENT_DYNAMIC_CLASS(WizardPage9, ContentWizardPage);

wxBEGIN_EVENT_TABLE(WizardPage9, ContentWizardPage)
    EVT_RADIOBOX(wxID_ANY, WizardPage9::OnGPS_SourceSelected)
    EVT_CHOICE(ID_GPS_PORT, WizardPage9::OnGPSPortSelected)
    EVT_CHOICE(ID_GPS_BAUD, WizardPage9::OnGPSBaudSelected)
    EVT_CHOICE(ID_GPS_DATABITS, WizardPage9::OnGPSDataBitsSelected)
    EVT_CHOICE(ID_GPS_STOPBITS, WizardPage9::OnGPSStopBitsSelected)
    EVT_CHOICE(ID_GPS_PARITY, WizardPage9::OnGPSParitySelected)
    EVT_BUTTON(ID_GPS_TEST, WizardPage9::OnButtonTestGpsClick)
wxEND_EVENT_TABLE()

WizardPage9::WizardPage9()
    : ContentWizardPage(kFrame)
{
}

WizardPage9::WizardPage9(wxWizard* parent)
    : ContentWizardPage(kFrame)
{
    Create(parent);
}

WizardPage9::~WizardPage9()
{
    Subscribe(false);
}

void WizardPage9::Subscribe(bool on)
{
    if (on == m_subscribed)
        return;
    tw::TheShell().gpsQuery.Notify(on, wxCommandEventHandler(WizardPage9::OnGPSThreadUpdate), this);
    m_subscribed = on;
}

void WizardPage9::CreateControls()
{
    wxBoxSizer* main = BeginPage();

    auto* content = new wxBoxSizer(wxVERTICAL);
    main->Add(content, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    // Neither part grows: a proportion here would make the column as tall
    // as twice its taller part.
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    content->Add(top, 0, wxGROW | wxALL, 5);

    // Source and time-out
    auto* left = new wxBoxSizer(wxVERTICAL);
    top->Add(left, 1, wxGROW | wxALL, 0);
    wxArrayString sources;
    sources.Add(_("&Global Positioning System"));
    sources.Add(_("&TALVO Software Positional Packet"));
    sources.Add(_("&Nobeltec Positional Packet"));
    m_source = new wxRadioBox(this, wxID_ANY, _("Source"), wxDefaultPosition, wxDefaultSize, sources, 1,
                              wxRA_SPECIFY_COLS);
    m_source->SetForegroundColour(wxColour(0, 70, 213));
    m_source->SetBackgroundColour(wxColour(220, 221, 222));
    m_source->SetSelection(0);
    left->Add(m_source, 0, wxGROW | wxALL, 5);

    auto* timeoutBox = new wxStaticBoxSizer(wxHORIZONTAL, this, _("Timeout"));
    left->Add(timeoutBox, 0, wxGROW | wxALL, 5);
    timeoutBox->Add(new wxStaticText(timeoutBox->GetStaticBox(), wxID_STATIC, _("Time out after ")), 0,
                    wxALIGN_CENTER_VERTICAL | wxALL, 5);
    wxArrayString timeouts;
    timeouts.Add(_("1 second"));
    timeouts.Add(_("2 seconds"));
    timeouts.Add(_("5 seconds"));
    timeouts.Add(_("10 seconds"));
    auto* timeout = new wxChoice(timeoutBox->GetStaticBox(), ID_GPS_TIMEOUT, wxDefaultPosition, wxDefaultSize,
                                 timeouts);
    timeout->SetSelection(3);
    timeoutBox->Add(timeout, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    // Line settings
    auto* protocol = new wxStaticBoxSizer(wxVERTICAL, this, _("Communication Protocol"));
    top->Add(protocol, 0, wxGROW | wxALL, 5);
    auto* grid = new wxFlexGridSizer(5, 2, 0, 0);
    grid->AddGrowableCol(0);
    grid->AddGrowableCol(1);
    protocol->Add(grid, 1, wxGROW | wxALL, 0);
    wxWindow* box = protocol->GetStaticBox();
    auto line = [&](const wxString& prompt, int id, const wxArrayString& entries) {
        grid->Add(new wxStaticText(box, wxID_STATIC, prompt), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT | wxTOP | wxBOTTOM,
                  9);
        auto* choice = new wxChoice(box, id, wxDefaultPosition, wxDefaultSize, entries);
        grid->Add(choice, 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT | wxALL, 5);
    };
    auto list = [](std::initializer_list<const char*> texts) {
        wxArrayString a;
        for (const char* t : texts)
            a.Add(wxGetTranslation(t));
        return a;
    };
    line(_("Port"), ID_GPS_PORT, wxArrayString());
    line(_("Baud Rate"), ID_GPS_BAUD, list({"2400", "4800", "9600", "19200"}));
    line(_("Data Bits"), ID_GPS_DATABITS, list({"7-Bit", "8-Bit"}));
    line(_("Stop Bits"), ID_GPS_STOPBITS, list({"0-Bit", "1-Bit", "2-Bit"}));
    line(_("Parity"), ID_GPS_PARITY, list({"None", "Odd", "Even", "Mark", "Space"}));

    // Sentences and the test
    auto* sentences = new wxStaticBoxSizer(wxHORIZONTAL, this, _("NMEA 0183 Sentences"));
    content->Add(sentences, 0, wxGROW | wxALL, 5);
    auto* checks = new wxBoxSizer(wxVERTICAL);
    sentences->Add(checks, 0, wxALIGN_CENTER_VERTICAL | wxALL, 0);
    wxWindow* sentenceBox = sentences->GetStaticBox();
    for (auto [id, label] : {std::pair<int, const char*>{ID_GPS_GGA, "GGA - Global Positioning System Fix Data"},
                             {ID_GPS_GLL, "GLL - Geographical Position"},
                             {ID_GPS_RMC, "RMC - Recommended Minimum Specific GPS/TRANSIT Data"}}) {
        auto* check = new wxCheckBox(sentenceBox, id, wxGetTranslation(label));
        check->SetValue(false);
        checks->Add(check, 0, wxLEFT | wxTOP | wxBOTTOM, 5);
    }
    sentences->AddStretchSpacer();
    m_test = new wxButton(sentenceBox, ID_GPS_TEST, _("Test GPS..."));
    sentences->Add(m_test, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    sentences->AddStretchSpacer();

    AddFinishRow(main);
    EndPage();

    m_source->Enable(1, false);
    m_source->Enable(2, false);

    const DLPrefs& prefs = Prefs();
    wxChoice* port = GetChoice(ID_GPS_PORT);
    port->Clear();
    const wxArrayString ports = tw::ListSerialPorts();
    for (size_t i = 0; i < ports.size(); ++i) {
        port->Append(ports[i]);
        if (ports[i] == prefs.GPS_Port)
            port->SetSelection(static_cast<int>(i));
    }
    SelectIndex(GetChoice(ID_GPS_STOPBITS), prefs.GPS_StopBitsIdx);
    SelectIndex(GetChoice(ID_GPS_DATABITS), prefs.GPS_DataBitsIdx);
    SelectIndex(GetChoice(ID_GPS_PARITY), prefs.GPS_ParityIdx);
    SelectIndex(GetChoice(ID_GPS_BAUD), prefs.GPS_BaudIdx);
    GetSentenceBox(ID_GPS_GGA)->SetValue(prefs.GPS_GGA);
    GetSentenceBox(ID_GPS_GLL)->SetValue(prefs.GPS_GLL);
    GetSentenceBox(ID_GPS_RMC)->SetValue(prefs.GPS_RMC);
    SelectIndex(GetChoice(ID_GPS_TIMEOUT), prefs.GPS_TimeOutIdx);
    if (prefs.GPS_SourceIdx >= 0 && prefs.GPS_SourceIdx < static_cast<int>(m_source->GetCount()))
        m_source->SetSelection(prefs.GPS_SourceIdx);
}

wxChoice* WizardPage9::GetChoice(int id) const
{
    return dynamic_cast<wxChoice*>(FindWindow(id));
}

wxCheckBox* WizardPage9::GetSentenceBox(int id) const
{
    return dynamic_cast<wxCheckBox*>(FindWindow(id));
}

void WizardPage9::CopyToPrefs()
{
    DLPrefs& prefs = Prefs();
    // No port chosen (the stored one is not plugged in now): the stored port
    // stays, to be found again when it is back.
    wxChoice* port = GetChoice(ID_GPS_PORT);
    const int portIndex = port->GetSelection();
    if (portIndex != wxNOT_FOUND) {
        prefs.GPS_PortIdx = portIndex;
        prefs.GPS_Port = port->GetString(portIndex);
    }

    auto index = [this](int id) { return GetChoice(id)->GetSelection(); };
    prefs.GPS_StopBitsIdx = index(ID_GPS_STOPBITS);
    prefs.GPS_StopBits = tw::wizard::StopBitsForIndex(prefs.GPS_StopBitsIdx);
    prefs.GPS_DataBitsIdx = index(ID_GPS_DATABITS);
    prefs.GPS_DataBits = tw::wizard::DataBitsForIndex(prefs.GPS_DataBitsIdx);
    prefs.GPS_ParityIdx = index(ID_GPS_PARITY);
    prefs.GPS_Parity = tw::wizard::ParityForIndex(prefs.GPS_ParityIdx);
    prefs.GPS_BaudIdx = index(ID_GPS_BAUD);
    prefs.GPS_Baud = tw::wizard::BaudForIndex(prefs.GPS_BaudIdx);

    prefs.GPS_GGA = GetSentenceBox(ID_GPS_GGA)->GetValue();
    prefs.GPS_GLL = GetSentenceBox(ID_GPS_GLL)->GetValue();
    prefs.GPS_RMC = GetSentenceBox(ID_GPS_RMC)->GetValue();

    prefs.GPS_SourceIdx = m_source->GetSelection();
    prefs.GPS_TimeOutIdx = index(ID_GPS_TIMEOUT);
    prefs.GPS_TimeOutSecs = tw::wizard::TimeOutSecondsForIndex(prefs.GPS_TimeOutIdx);
}

void WizardPage9::OnGPS_SourceSelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnGPSPortSelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnGPSBaudSelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnGPSDataBitsSelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnGPSStopBitsSelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnGPSParitySelected(wxCommandEvent&)
{
    LeavePage();
}

void WizardPage9::OnButtonTestGpsClick(wxCommandEvent&)
{
    m_testPending = true;
    if (tw::TheShell().gpsQuery.RunQuery())
        m_test->Enable(false);
    else
        m_testPending = false;
}

void WizardPage9::OnGPSThreadUpdate(wxCommandEvent& event)
{
    event.Skip();   // every subscriber is told
    CGPSQuery& reader = tw::TheShell().gpsQuery;
    wxString report;
    if (event.GetInt() != 0) {
        double lat = 0.0;
        double lon = 0.0;
        reader.GetPosition(lat, lon, report);
    } else if (m_testPending) {
        report = reader.GetPositionError();
    }
    wxString message;
    if (!report.empty())
        message = report + "\r\n";
    if (!m_testPending)
        return;   // a regular poll: nothing to tell
    m_testPending = false;
    if (Prefs().GPS_SourceIdx == 0) {
        message += "\r\nRaw data received:\r\n";
        message += reader.GetRawText().empty() ? wxString("(no data)") : reader.GetRawText();
    }
    tw::MessageBox(message, wxS("'Test GPS' Results"), wxOK | wxICON_INFORMATION | wxCENTRE,
                   tw::BoxParent(this));
    m_test->Enable(true);
}

bool WizardPage9::TransferDataToWindow()
{
    m_testPending = false;
    m_test->Enable(true);
    Subscribe(true);
    return ContentWizardPage::TransferDataToWindow();
}

bool WizardPage9::TransferDataFromWindow()
{
    m_testPending = false;
    Subscribe(false);
    return ContentWizardPage::TransferDataFromWindow();
}
