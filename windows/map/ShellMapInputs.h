// The map inputs of the application as it is now, for the windows that put
// a map control up.
#pragma once

#include "windows/map/MapPanel.h"

namespace tw {

// The application's world maps, home position (the application's own, which
// the map reads at each paint), home marker and marine-zones database.
MapInputs ShellMapInputs();

} // namespace tw
