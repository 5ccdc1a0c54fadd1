// Finding installed programs by application name ("Chartloom.app").
//
// An application is a folder named after it without ".app" ("Chartloom"),
// looked for in each folder of $TIDEWRIGHT_APPS (colon-separated, in order)
// and then in the system applications folder (SystemAppsDir()). Inside it:
//   <folder>/<program>     the executable; by default the folder's name in
//                          lower case ("Chartloom/chartloom"), or the name
//                          the caller gives ("zozor/dizoduv")
//   <folder>/Resources     the program's resources folder
// The first folder of that name wins. A folder found without its executable
// gives an empty executable but still its resources folder.
//
// Two system applications are mapped onto the desktop when no folder of
// theirs is installed: "Preview.app" is the desktop's default opener
// (xdg-open), "TextEdit.app" is the user's editor ($VISUAL, else $EDITOR,
// else xdg-open).
#pragma once

#include <wx/string.h>

namespace tw {

struct FoundApp {
    wxString bundle;        // the application folder (for a mapped application: its executable)
    wxString executable;    // the program to start; empty when missing
    wxString resourcesDir;  // <folder>/Resources; empty for mapped applications
    bool found = false;     // the application folder (or mapped program) exists
};

// The system applications folder: "/opt/tidewright-apps".
wxString SystemAppsDir();

FoundApp FindApplication(const wxString& bundleName);
FoundApp FindApplication(const wxString& bundleName, const wxString& executableName);

// The program inside an application folder by the default rule (the folder's
// name in lower case); empty when there is none.
wxString ApplicationFolderExecutable(const wxString& folder);

} // namespace tw
