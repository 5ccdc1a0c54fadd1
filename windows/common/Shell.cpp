#include "windows/common/Shell.h"

#include <wx/debug.h>

namespace tw {

const wxString kModeBasic = wxS("Basic");
const wxString kModeLibrary = wxS("Batch");
const wxString kModePortal = wxS("LoadWindow");

namespace {
Shell* g_shell = nullptr;
}

Shell& TheShell()
{
    wxASSERT_MSG(g_shell, "no shell installed");
    return *g_shell;
}

Shell* InstallShell(Shell* shell)
{
    Shell* before = g_shell;
    g_shell = shell;
    return before;
}

} // namespace tw
