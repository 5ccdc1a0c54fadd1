// The text of a socket error code (the toolkit's wxSocketError) for messages.
#pragma once

#include <wx/string.h>

namespace tw {

// "socket time out", "socket i/o error", ...; "unknown socket error(N)" for
// a code that is none of them.
wxString SocketErrorToString(int error);

// The plain sentence a transfer broken off by a socket error starts its
// report with, before the technical line: what happened to the connection
// and that the files received so far are kept for the next transfer to
// resume. `stopped`: the user stopped the transfer (the error is only the
// cut connection).
wxString SocketFailureSentence(int error, bool stopped);

} // namespace tw
