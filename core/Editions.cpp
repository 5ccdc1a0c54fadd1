#include "core/Editions.h"

#include "core/Registry.h"

namespace tw {

bool IsRace(const CRegistry& settings)
{
    return settings.m_evType == EVT_RACE && !settings.m_eventName.empty();
}

bool IsRace()
{
    const CRegistry settings;
    return IsRace(settings);
}

bool IsInstalledEventVersion()
{
    const CRegistry settings;
    return settings.m_evType == EVT_RACE || settings.m_evType == EVT_TOURNAMENT;
}

bool MakeEventNameUserPrefix(wxString& prefix, const CRegistry& settings)
{
    if (settings.m_eventName.empty())
        return false;
    wxString name = settings.m_eventName;
    name.Replace(" ", wxEmptyString);
    prefix = name.Lower() + "_";
    return true;
}

bool GetLoginNameAndPassword(const CRegistry& settings, wxString& login, wxString& password)
{
    wxString prefix;
    if (settings.m_evType == EVT_RACE || settings.m_evType == EVT_TOURNAMENT)
        MakeEventNameUserPrefix(prefix, settings);
    login = prefix + settings.m_gatewayInfo.username;
    password = settings.m_gatewayInfo.password;
    return !login.empty() && !password.empty();
}

} // namespace tw
