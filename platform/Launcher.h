// Starting other programs. A program is always given as an argument vector
// and started directly, never through a shell and never from a command line
// put together as text: file names may come from the server and can hold
// blanks, quotes or any other character. Programs are started asynchronously
// and never waited for. Call from the main thread.
#pragma once

#include <functional>
#include <vector>

#include <wx/string.h>

namespace tw {

struct LaunchRequest {
    std::vector<wxString> argv;   // argv[0] is the program: a path, or a name looked up in $PATH
    wxString workingDir;          // empty: the program inherits ours
    bool detached = false;        // own session, so it outlives this process quietly
};

// Returns the process id (> 0) when the program was started, 0 when it could
// not be (empty vector, program not found or not executable, start failed).
using Launcher = std::function<long(const LaunchRequest&)>;

// Starts argv[0] with the remaining entries as its arguments. A folder given
// as the program is taken as an application folder and its program is run
// (see AppLookup.h).
long Launch(const std::vector<wxString>& argv, const wxString& workingDir = wxString());
long Launch(const LaunchRequest& request);

// Opens a file or folder with the desktop's default application ("xdg-open").
long OpenWithDefault(const wxString& path);

// The path of an executable program: `program` itself when it holds a "/"
// (and names an executable file), else the first match in $PATH; empty when
// there is none.
wxString FindExecutable(const wxString& program);

// Replaces the real launcher (tests record what would be started). An empty
// function restores the real one. Returns the launcher that was in place.
Launcher SetLauncher(Launcher launcher);

// Puts a launcher in place for the lifetime of the object.
class ScopedLauncher
{
public:
    explicit ScopedLauncher(Launcher launcher) : m_previous(SetLauncher(std::move(launcher))) {}
    ~ScopedLauncher() { SetLauncher(std::move(m_previous)); }
    ScopedLauncher(const ScopedLauncher&) = delete;
    ScopedLauncher& operator=(const ScopedLauncher&) = delete;

private:
    Launcher m_previous;
};

} // namespace tw
