// The installation's edition (standard, race or tournament, from the
// defaults file) and the service login it implies.
#pragma once

#include <wx/string.h>

class CRegistry;

namespace tw {

// The race edition: Default/evt is 2002 and Default/evn names the event.
bool IsRace(const CRegistry& settings);
bool IsRace();   // with the settings as they are now
// The race or the tournament edition (the event name does not matter).
bool IsInstalledEventVersion();
// The event name without blanks, lower-cased, then "_"; false (prefix left
// alone) when there is no event name.
bool MakeEventNameUserPrefix(wxString& prefix, const CRegistry& settings);
// The name and password the service is asked to log in with: in the race and
// tournament editions the name carries the event prefix. False when either
// is empty.
bool GetLoginNameAndPassword(const CRegistry& settings, wxString& login, wxString& password);

} // namespace tw
