#include "windows/map/PickerSupport.h"

#include <wx/filename.h>
#include <wx/log.h>

#include "platform/Locations.h"

namespace tw::pickers {

wxImage LoadResourcePicture(const char* name)
{
    const wxString path = tw::ResourcesDir() + "/" + name;
    wxImage image;
    if (wxFileName::FileExists(path)) {
        wxLogNull quiet;   // the toolkit's own complaint would pop up later
        image.LoadFile(path, wxBITMAP_TYPE_PNG);
    }
    if (!image.IsOk())
        wxLogWarning("Cannot load the picture %s.", path);
    return image;
}

} // namespace tw::pickers
