#include <cstdio>
#include <cstdlib>

#include <wx/init.h>

#include "app/tidewrightapp.h"

// Made by the application object's implementation in the app library.
wxAppConsole* wxCreateApp();

// The program's entry point. Creating the application object here (rather
// than leaving it to the toolkit's registration) is what links its
// implementation in from the static library.
int main(int argc, char** argv)
{
    // Without a display the toolkit cannot start, and it ends the process
    // with a screen of its own diagnostics: say what is needed instead.
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        std::fprintf(stderr, "Tidewright needs a display: start it in a desktop session.\n");
        return 1;
    }

    wxDISABLE_DEBUG_SUPPORT();
    wxApp::SetInstance(wxCreateApp());
    return wxEntry(argc, argv);
}
