// The text of a socket error code (the toolkit's wxSocketError) for messages.
#pragma once

#include <wx/string.h>

namespace tw {

// "socket time out", "socket i/o error", ...; "unknown socket error(N)" for
// a code that is none of them.
wxString SocketErrorToString(int error);

} // namespace tw
