// Starting the satellite-dialer program and asking the dialer service for its
// version.
#include <vector>

#include <wx/log.h>

#include "core/Init.h"
#include "core/Numbers.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "platform/Launcher.h"

namespace {

// Dialers from this version on open their settings when started with the
// argument "settings".
constexpr double kDialerSettingsVersion = 3.82;

// Reads the number at the start of `text` (core/Numbers.h). Returns how much
// of the text it took: none, part or all of it.
enum class NumberFit { None, Prefix, Whole };
NumberFit ParseVersion(const wxString& text, double& value)
{
    const tw::NumberText number(text);
    double parsed = 0;
    size_t end = 0;
    if (tw::ReadReal(number, parsed, &end) != tw::NumberRead::Ok)
        return NumberFit::None;
    value = parsed;
    return end == number.View().size() ? NumberFit::Whole : NumberFit::Prefix;
}

} // namespace

bool TidewrightApp::OpenAutoDialerService(bool settings)
{
    wxString resourcesDir;
    const wxString program = CInit::GetZozorDialerPath(resourcesDir);
    if (program.empty()) {
        wxLogWarning("The TALVO Dezavuviv Odirir software is not installed.");
        return false;
    }
    // An argument vector, so a path with blanks reaches the system intact.
    std::vector<wxString> argv{program};
    if (settings && dialerVersion >= kDialerSettingsVersion)
        argv.push_back("settings");
    tw::Launch(argv, resourcesDir);
    return true;
}

bool TidewrightApp::QueryAutodialerStatus(CRegistry& settings, const wxString& serviceName)
{
    if (dialerVersionKnown)
        return true;
    // A new query replaces one still running, so each handler stays bound once.
    if (dialerQueryPending)
        TerminateAutodialerStatus();

    dialService.Bind(wxEVT_DIALER_CONNECTION_COMPLETE, &TidewrightApp::OnVersionAutodialerConnect, this,
                     ID_DIALER_CONNECTION_COMPLETE);
    dialService.Bind(wxEVT_DIALER_COMMAND_RESPONSE, &TidewrightApp::OnVersionAutodialerResponse, this,
                     ID_DIALER_COMMAND_RESPONSE);
    dialService.Bind(wxEVT_DIALER_CONNECTION_LOST, &TidewrightApp::OnVersionAutodialerDisconnect, this,
                     ID_DIALER_CONNECTION_LOST);
    dialerQueryPending = true;
    m_dialerConnectBound = true;

    // Time-out 0 and no thread: returns once connecting has started.
    if (dialService.Version(settings, 0, serviceName, nullptr))
        return true;
    TerminateAutodialerStatus();
    return false;
}

bool TidewrightApp::TerminateAutodialerStatus()
{
    if (dialerQueryPending) {
        if (m_dialerConnectBound)
            dialService.Unbind(wxEVT_DIALER_CONNECTION_COMPLETE, &TidewrightApp::OnVersionAutodialerConnect, this,
                               ID_DIALER_CONNECTION_COMPLETE);
        dialService.Unbind(wxEVT_DIALER_COMMAND_RESPONSE, &TidewrightApp::OnVersionAutodialerResponse, this,
                           ID_DIALER_COMMAND_RESPONSE);
        dialService.Unbind(wxEVT_DIALER_CONNECTION_LOST, &TidewrightApp::OnVersionAutodialerDisconnect, this,
                           ID_DIALER_CONNECTION_LOST);
        dialerQueryPending = false;
        m_dialerConnectBound = false;
    }
    return dialService.Close();
}

void TidewrightApp::OnVersionAutodialerConnect(wxCommandEvent& event)
{
    if (event.GetInt() == 0) {
        TerminateAutodialerStatus();
        return;
    }
    // Connected: only the answer is awaited now.
    if (m_dialerConnectBound) {
        dialService.Unbind(wxEVT_DIALER_CONNECTION_COMPLETE, &TidewrightApp::OnVersionAutodialerConnect, this,
                           ID_DIALER_CONNECTION_COMPLETE);
        m_dialerConnectBound = false;
    }
}

void TidewrightApp::OnVersionAutodialerResponse(wxCommandEvent& event)
{
    if (event.GetInt() != 0) {
        const wxString text = dialService.GetVersionText().Strip(wxString::both);
        double version = 0;
        switch (ParseVersion(text, version)) {
        case NumberFit::Whole:
            dialerVersion = version;
            dialerVersionKnown = true;
            break;
        case NumberFit::Prefix:
            // Taken, but asked again next time.
            dialerVersion = version;
            break;
        case NumberFit::None:
            break;
        }
    }
    TerminateAutodialerStatus();
}

void TidewrightApp::OnVersionAutodialerDisconnect(wxCommandEvent&)
{
    TerminateAutodialerStatus();
}
