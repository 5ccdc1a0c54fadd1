// One place through which the program shows message boxes and file choosers
// and through which tests answer them instead of a person.
#pragma once

#include <functional>
#include <wx/defs.h>
#include <wx/string.h>

class wxWindow;

namespace tw {

struct MessageBoxRequest {
    wxString message;
    wxString caption;
    long style = 0;
    wxWindow* parent = nullptr;
    // Button texts in place of the usual Yes, No and Cancel (empty: the usual).
    wxString yesLabel;
    wxString noLabel;
    wxString cancelLabel;
};

struct FileChooserRequest {
    wxString message;
    wxString defaultDir;
    wxString defaultFile;
    wxString wildcard;
    long style = 0;           // wxFD_OPEN, wxFD_SAVE, ...
    wxWindow* parent = nullptr;
    bool folder = false;      // choose an existing folder, not a file (style and wildcard unused)
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
// Returns the chosen path, or an empty string when the user cancelled; with
// wxFD_MULTIPLE the chosen paths, one per line.
using FileChooserHandler = std::function<wxString(const FileChooserRequest&)>;

// Shows a message box (wxMessageBox semantics: returns wxYES, wxNO, wxOK or wxCANCEL).
int MessageBox(const wxString& message, const wxString& caption = wxS("Message"),
               long style = wxOK | wxCENTRE,
               wxWindow* parent = nullptr);

// The same for a request that may name its own button texts.
int MessageBox(const MessageBoxRequest& request);

// Shows a file chooser (a folder chooser for a folder request); an empty
// result means cancelled.
wxString ChooseFile(const FileChooserRequest& request);

// The program is closing: every message box now open is ended as its close
// box ends it (its caller gets wxCANCEL), and every later one is answered so
// at once, without being shown, so that no box keeps the program alive.
// False shows boxes again (tests).
void DismissMessageBoxes(bool dismiss = true);

// Replaces the handlers (tests). Passing an empty function restores the real dialogs.
void SetMessageBoxHandler(MessageBoxHandler handler);
void SetFileChooserHandler(FileChooserHandler handler);

} // namespace tw
