// The plain application object of the lower layers' test programs.
#include <wx/app.h>

#include "support/TestApp.h"

wxApp* tw::test::NewTestApp()
{
    return new wxApp;
}
