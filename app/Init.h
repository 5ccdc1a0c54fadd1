// Application folders, seed databases and the start-up steps that read and
// adjust the settings.
#pragma once

#include <wx/string.h>

#include "app/Registry.h"

class CInit
{
public:
    // --- settings at start-up (InitSettings.cpp)
    // Reads General/DefaultView (empty when absent) into viewMode; always true.
    static bool InitializeAppSettings(CRegistry& settings, wxString& viewMode);
    // Parks, clears or restores the service login when the installation's
    // edition differs from the last run's, then records the current edition.
    static bool PerformEventModeSwitch(CRegistry& settings, t_evtype previous, t_evtype current);
};
