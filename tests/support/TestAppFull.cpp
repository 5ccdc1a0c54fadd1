// The program's own application object, without its start-up, for the test
// programs of the windows and the application object.
#include "app/tidewrightapp.h"
#include "support/TestApp.h"

wxApp* tw::test::NewTestApp()
{
    return new TidewrightApp;
}
