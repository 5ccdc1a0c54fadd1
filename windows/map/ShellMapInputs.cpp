#include "windows/map/ShellMapInputs.h"

#include "windows/common/Shell.h"

namespace tw {

MapInputs ShellMapInputs()
{
    Shell& app = TheShell();
    MapInputs inputs;
    inputs.worldMap = app.worldMapBitmap;
    inputs.worldMapAnti = app.worldMapAntiBitmap;
    inputs.home = &app.homePosition;
    inputs.homeIconIndex = app.dlPrefs.HomeLocation_IconIdx;
    inputs.marineZonesDb = app.GetMarineZonesDb();
    return inputs;
}

} // namespace tw
