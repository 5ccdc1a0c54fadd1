#include <wx/init.h>

#include "app/tidewrightapp.h"

// Made by the application object's implementation in the app library.
wxAppConsole* wxCreateApp();

// The program's entry point. Creating the application object here (rather
// than leaving it to the toolkit's registration) is what links its
// implementation in from the static library.
int main(int argc, char** argv)
{
    wxDISABLE_DEBUG_SUPPORT();
    wxApp::SetInstance(wxCreateApp());
    return wxEntry(argc, argv);
}
