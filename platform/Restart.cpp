#include "platform/Restart.h"

#include <unistd.h>

#include <wx/stdpaths.h>

#include "platform/Launcher.h"

namespace tw {

namespace {

// $0 is the program to start, $1 the process to outlive. The script text is
// fixed; nothing from outside is ever spliced into it.
const char* const kWaitThenStart =
    "while kill -0 \"$1\" 2>/dev/null; do sleep 0.2; done; exec \"$0\"";

} // namespace

wxString CurrentExecutable()
{
    return wxStandardPaths::Get().GetExecutablePath();
}

long ScheduleRestart(const wxString& executable, long pid)
{
    const wxString program = executable.empty() ? CurrentExecutable() : executable;
    if (program.empty())
        return 0;
    LaunchRequest request;
    request.argv = {"/bin/sh", "-c", kWaitThenStart, program,
                    wxString::Format("%ld", pid > 0 ? pid : static_cast<long>(getpid()))};
    request.detached = true;
    return Launch(request);
}

} // namespace tw
