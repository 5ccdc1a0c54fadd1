// Small helpers the picture pickers share.
#pragma once

#include <wx/image.h>

namespace tw::pickers {

// A PNG picture of the resources folder ("res/..." or "Icons/..."). A
// missing or unreadable file is logged as a warning and gives an empty image.
wxImage LoadResourcePicture(const char* name);

} // namespace tw::pickers
