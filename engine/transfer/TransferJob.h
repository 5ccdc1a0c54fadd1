// What one exchange with the gateway (a transfer or an update query) is
// handed when it starts, so that the engine never reaches up for it: one
// snapshot of the settings, the address the gateway is reached at, and the
// versions of the open databases that the service's notices are compared
// with. A job is made on the main thread and then belongs to the exchange.
#pragma once

#include <string>

#include "core/Registry.h"

class wxSQLite3Database;

// Purposes of a transfer (CFileList::xferMode).
enum xferMode : int {
    XFER_MODE_BASIC = 0,      // Basic window: area from the window, handed back when changed
    XFER_MODE_PORTAL = 1,     // Portal and wizard suggestions: the list's position
    XFER_MODE_LIBRARY = 2,    // Library window: as Basic
    XFER_MODE_DATABASE = 3    // product-database update: nothing resumed, archived or placed after a stop
};

class CTransferJob
{
public:
    // The settings file as it is now; the gateway reached by its name; the
    // database versions unknown (no update notice).
    CTransferJob();
    // The same, with the gateway's address looked up in the catalogue's hosts
    // table (tw::ResolveGatewayAddress) and the versions of the open databases.
    CTransferJob(wxSQLite3Database* productDb, int productDbVersion, int marineZonesDbVersion);

    CRegistry settings;          // account, gateway, port, time-outs, connection type, archive flag
    std::string address;         // host name or address to connect to (8-bit, as on the wire)
    bool versionsKnown = false;
    int productDbVersion = 0;
    int marineZonesDbVersion = 0;
};

// What a job is made from, handed ahead of the exchange to the window that
// starts it: the catalogue database (the gateway's address) and the versions
// of the open databases. The job itself is made when the exchange starts,
// with the settings as they are then. Use the handle on the thread that owns it.
struct CTransferJobBasis {
    wxSQLite3Database* productDb = nullptr;
    int productDbVersion = 0;
    int marineZonesDbVersion = 0;

    CTransferJob MakeJob() const { return CTransferJob(productDb, productDbVersion, marineZonesDbVersion); }
};

namespace tw {

// The address to reach `gateway` at: the IP column of its row in the
// catalogue's hosts table (empty when the row holds none), else the name
// itself. A null or closed database, or one without the table, gives the
// name. The name is bound, never spliced into the statement. Use the handle
// on the thread that owns it.
std::string ResolveGatewayAddress(wxSQLite3Database* productDb, const wxString& gateway);

} // namespace tw
