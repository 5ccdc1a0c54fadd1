#include "core/SocketErrorText.h"

#include <wx/socket.h>

namespace tw {

wxString SocketErrorToString(int error)
{
    switch (error) {
    case wxSOCKET_NOERROR: return "wxSOCKET_NOERROR";
    case wxSOCKET_INVOP: return "socket invalid operation";
    case wxSOCKET_IOERR: return "socket i/o error";
    case wxSOCKET_INVADDR: return "socket invalid address";
    case wxSOCKET_INVSOCK: return "invalid socket";
    case wxSOCKET_NOHOST: return "socket no host";
    case wxSOCKET_INVPORT: return "socket invalid port";
    case wxSOCKET_WOULDBLOCK: return "wxSOCKET_WOULDBLOCK";
    case wxSOCKET_TIMEDOUT: return "socket time out";
    case wxSOCKET_MEMERR: return "socket memory error";
    default: return wxString::Format("unknown socket error(%d)", error);
    }
}

wxString SocketFailureSentence(int error, bool stopped)
{
    const wxString kept = " the files received so far are kept and will resume.";
    if (stopped)
        return "The transfer was stopped;" + kept;
    switch (error) {
    case wxSOCKET_TIMEDOUT: return "The gateway stopped answering;" + kept;
    case wxSOCKET_IOERR: return "The connection to the gateway was lost;" + kept;
    case wxSOCKET_INVSOCK: return "The connection to the gateway was closed;" + kept;
    case wxSOCKET_NOHOST:
    case wxSOCKET_INVADDR:
    case wxSOCKET_INVPORT:
        return "The gateway could not be reached; check its name and port under Connection Settings.";
    default: return "The connection to the gateway failed;" + kept;
    }
}

} // namespace tw
