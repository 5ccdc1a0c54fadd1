#include "windows/wizard/processwizardsettings.h"

#include <mutex>

#include <wx/textctrl.h>
#include <wx/utils.h>

#include "windows/common/Shell.h"
#include "core/Editions.h"
#include "platform/UiHooks.h"

wxIMPLEMENT_DYNAMIC_CLASS(ProcessWizardSettings, wxFrame);

wxBEGIN_EVENT_TABLE(ProcessWizardSettings, wxFrame)
wxEND_EVENT_TABLE()

ProcessWizardSettings::ProcessWizardSettings()
{
    Init();
}

ProcessWizardSettings::ProcessWizardSettings(wxWindow* parent, wxWindowID id, const wxString& caption,
                                             const wxPoint& pos, const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

bool ProcessWizardSettings::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                                   const wxSize& size, long style)
{
    wxFrame::Create(parent, id, caption, pos, size, style, wxS("frame"));
    CreateControls();
    Centre(wxBOTH);
    return true;
}

void ProcessWizardSettings::Init()
{
    m_logText = nullptr;
}

void ProcessWizardSettings::CreateControls()
{
    // The only child of the frame, so it fills the client area.
    m_logText = new wxTextCtrl(this, ID_PROCESSWIZARDSETTINGS_LOG, wxEmptyString, wxDefaultPosition,
                               wxDefaultSize, wxTE_MULTILINE);
}

bool ProcessWizardSettings::ShowToolTips()
{
    return true;
}

wxBitmap ProcessWizardSettings::GetBitmapResource(const wxString&)
{
    return wxNullBitmap;
}

wxIcon ProcessWizardSettings::GetIconResource(const wxString&)
{
    return wxNullIcon;
}

SuggestionOutcome ProcessWizardSettings::Process(bool log)
{
    tw::Shell& app = tw::TheShell();
    // The engine works on copies taken now: changes during the run do not count.
    const DLPrefs prefs = app.dlPrefs;
    const HomePosition home = app.homePosition;
    const bool race = tw::IsRace();

    // The log is gathered and written in pieces: before each box, so that the
    // log is up to date while it is shown, and at the end.
    wxString pending;
    auto flush = [&]() {
        if (!pending.empty() && m_logText)
            m_logText->AppendText(pending);
        pending.clear();
    };

    SuggestionSinks sinks;
    if (log)
        sinks.log = [&](const wxString& text) { pending += text; };
    sinks.messageBox = [&](const wxString& text) {
        flush();
        wxWindow* active = wxGetActiveWindow();
        wxWindow* parent = active ? wxGetTopLevelParent(active) : GetParent();
        tw::MessageBox(text, wxS("Message"), wxOK | wxCENTRE, parent);
    };
    sinks.deleteKeyDown = []() { return wxGetKeyState(WXK_DELETE); };

    SuggestionDatabases dbs;
    dbs.catalogue = app.GetProductDb();
    dbs.user = app.GetUserDb();
    dbs.marineZones = app.GetMarineZonesDb();

    CSuggestionRun run(dbs, sinks);
    SuggestionOutcome outcome = run.Run(prefs, home, race);
    flush();
    return outcome;
}
