#include "core/Init.h"

bool CInit::InitializeAppSettings(CRegistry& /*settings*/, wxString& viewMode)
{
    CUserConfig file;
    viewMode = file.ReadText("General/DefaultView", wxString());
    return true;
}

bool CInit::PerformEventModeSwitch(CRegistry& settings, t_evtype previous, t_evtype current)
{
    if (current == EVT_NONE)
        return false;
    if (current == previous)
        return true;

    const bool toEvent = current == EVT_RACE || current == EVT_TOURNAMENT;
    switch (previous) {
    case EVT_STANDARD:
        // Leaving the standard edition: the user's own login is parked and
        // the event starts with an empty one.
        settings.CacheLoginValues();
        break;
    case EVT_RACE:
    case EVT_TOURNAMENT:
        if (current == EVT_STANDARD) {
            settings.ClearLoginValues();
            settings.RestoreLoginValues();
        } else if (toEvent) {
            settings.ClearLoginValues();
        }
        break;
    default:
        if (toEvent)
            settings.CacheLoginValues();
        break;
    }

    settings.m_evPrevious = current;
    settings.WriteMISCInfo();
    return true;
}
