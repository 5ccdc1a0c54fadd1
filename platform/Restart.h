// Starting the program again after it has ended (after a database update).
//
// A small detached helper waits until this process has gone and then starts
// the executable afresh, so the new instance finds the settings saved and the
// single-instance lock free. Call it during shutdown; the helper waits as long
// as this process lives.
#pragma once

#include <wx/string.h>

namespace tw {

// The running program's executable.
wxString CurrentExecutable();

// Starts the waiting helper for `executable` (default: this program) and the
// process `pid` (default: this process). Returns the helper's process id, or
// 0 when it could not be started. The helper runs /bin/sh with a fixed script;
// the executable's path and the process id reach it only as arguments.
long ScheduleRestart(const wxString& executable = wxString(), long pid = 0);

} // namespace tw
