// Small helpers the picture pickers share.
#pragma once

#include <wx/image.h>

class wxWindow;

namespace tw::pickers {

// The window a message box belongs to: the active top-level window, else
// the top-level window of `near`, else the application's main window.
wxWindow* MessageBoxParent(wxWindow* near);

// A PNG picture of the resources folder ("res/..." or "Icons/..."). A
// missing or unreadable file is logged as a warning and gives an empty image.
wxImage LoadResourcePicture(const char* name);

} // namespace tw::pickers
