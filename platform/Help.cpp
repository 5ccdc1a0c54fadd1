#include "platform/Help.h"

#include <wx/filefn.h>

#include "platform/Launcher.h"
#include "platform/Locations.h"

namespace tw {

wxString HelpIndexPath()
{
    return ResourcesDir() + "/help/index.html";
}

bool ShowHelp()
{
    const wxString page = HelpIndexPath();
    if (!wxFileExists(page))
        return false;
    return OpenWithDefault(page) > 0;
}

} // namespace tw
