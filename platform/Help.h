// The program's help: the page help/index.html of the resources folder,
// opened in the desktop's default browser.
#pragma once

#include <wx/string.h>

namespace tw {

// The help start page (it may not exist).
wxString HelpIndexPath();

// Opens the help start page when it exists; false when there is no help page
// or the browser could not be started.
bool ShowHelp();

} // namespace tw
