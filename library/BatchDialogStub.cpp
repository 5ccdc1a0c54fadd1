// Stand-in for the batch properties dialog until the dialog itself is built:
// it says so and changes nothing. Remove this file when the dialog arrives.
#include "app/tidewrightapp.h"

#include <wx/frame.h>

#include "platform/UiHooks.h"

int TidewrightApp::BatchDialog(CBatch* /*batch*/, bool /*isNew*/)
{
    wxWindow* parent = wxGetActiveWindow();
    parent = parent ? wxGetTopLevelParent(parent) : static_cast<wxWindow*>(topWindow);
    tw::MessageBox(wxS("The batch properties dialog is not available in this version."), wxS("Notice"),
                   wxOK | wxICON_INFORMATION, parent);
    return 0;
}
