#include "app/tidewrightapp.h"

// The application object is implemented in the app library (so tests can make
// one); the program's entry point lives here alone.
wxIMPLEMENT_WXWIN_MAIN
