// The suggestion engine's frame: a log of what the engine does, and the run
// itself. The Portal window creates one for each refresh of its suggestions,
// shows it only while the Control key is held, calls Process(true) and then
// reads batch 2 back.
#pragma once

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>

#include "engine/suggest/SuggestionRun.h"

class wxTextCtrl;

enum {
    ID_PROCESSWIZARDSETTINGS = 10311,
    ID_PROCESSWIZARDSETTINGS_LOG = 10372
};

class ProcessWizardSettings : public wxFrame
{
    wxDECLARE_DYNAMIC_CLASS(ProcessWizardSettings);
    wxDECLARE_EVENT_TABLE();

public:
    ProcessWizardSettings();
    ProcessWizardSettings(wxWindow* parent, wxWindowID id = ID_PROCESSWIZARDSETTINGS,
                          const wxString& caption = _("ProcessWizardSettings"),
                          const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(400, 300),
                          long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);

    bool Create(wxWindow* parent, wxWindowID id = ID_PROCESSWIZARDSETTINGS,
                const wxString& caption = _("ProcessWizardSettings"), const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxSize(400, 300),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
    void Init();
    void CreateControls();

    // Recomputes the Wizard batch (batch 2) from the application's download
    // preferences and home position, on the application's three databases.
    // With log the steps are appended to the log control. Message boxes go
    // through the program's message-box hook; the Delete key, held down,
    // ends the additions early. Returns what happened (the Portal needs
    // nothing of it: it reads batch 2 back).
    SuggestionOutcome Process(bool log);

    static bool ShowToolTips();
    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);

    wxTextCtrl* m_logText;
};
