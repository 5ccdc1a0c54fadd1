// Where the program's files live on this desktop: the read-only resources
// (images, seed databases, defaults file), the per-user data folder and the
// user's Documents folder. Every answer is worked out afresh from the
// environment, so tests can move the folders by changing it.
#pragma once

#include <wx/string.h>

namespace tw {

// The application and vendor names: they name the settings file and the
// per-user folders, and must be the same for the program and its tests.
extern const char* const kAppName;     // "Tidewright"
extern const char* const kVendorName;  // "TALVO"

// Gives the application object (when one exists) the names above, so that
// wxStandardPaths and wxFileConfig use them. Safe to call more than once.
void ApplyAppIdentity();

// The resources folder, without a trailing separator: $TIDEWRIGHT_RESOURCES
// when set and not empty; otherwise <folder of the executable>/../share/tidewright
// when that folder exists (an installed program); otherwise the build tree's
// resources folder.
wxString ResourcesDir();
// The same, for the given executable in place of the running one.
wxString ResourcesDirFor(const wxString& executable);

// The per-user data folder: $XDG_DATA_HOME (when absolute, else ~/.local/share)
// + "/TALVO/Tidewright". Not created here.
wxString UserDataDir();

// The user's Documents folder: $XDG_DOCUMENTS_DIR when it is an absolute path;
// else the XDG_DOCUMENTS_DIR entry of user-dirs.dirs in the XDG config folder;
// else ~/Documents when it exists; else the home folder. Not created here.
wxString DocumentsDir();

// The home folder ($HOME, else the password database's entry).
wxString HomeDir();

} // namespace tw
