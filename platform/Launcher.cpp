#include "platform/Launcher.h"

#include <cstdlib>
#include <mutex>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include "platform/AppLookup.h"

namespace tw {

namespace {

std::mutex g_launcherLock;
Launcher g_launcher;

bool IsExecutableFile(const wxString& path)
{
    return wxFileExists(path) && wxFileName::IsFileExecutable(path);
}

long RealLaunch(const LaunchRequest& request)
{
    if (request.argv.empty() || request.argv.front().empty())
        return 0;

    wxString program = request.argv.front();
    if (wxDirExists(program))
        program = ApplicationFolderExecutable(program);
    else
        program = FindExecutable(program);
    if (program.empty()) {
        wxLogDebug("Program not found: %s", request.argv.front());
        return 0;
    }

    // The arguments go to the program byte for byte, in the file-name encoding.
    std::vector<wxCharBuffer> args;
    args.reserve(request.argv.size());
    args.push_back(program.fn_str());
    for (size_t i = 1; i < request.argv.size(); ++i)
        args.push_back(request.argv[i].fn_str());
    std::vector<const char*> pointers;
    for (const wxCharBuffer& arg : args) {
        if (!arg.data())
            return 0;   // not representable as a file name
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);

    wxExecuteEnv env;
    env.cwd = request.workingDir;
    if (!env.cwd.empty() && !wxDirExists(env.cwd))
        return 0;
    int flags = wxEXEC_ASYNC;
    if (request.detached)
        flags |= wxEXEC_MAKE_GROUP_LEADER;
    const long pid = wxExecute(pointers.data(), flags, nullptr, &env);
    return pid > 0 ? pid : 0;
}

} // namespace

wxString FindExecutable(const wxString& program)
{
    if (program.empty())
        return wxString();
    if (program.Contains("/"))
        return IsExecutableFile(program) ? program : wxString();
    const char* path = std::getenv("PATH");
    wxStringTokenizer dirs(path ? wxString::FromUTF8(path) : wxString("/usr/local/bin:/usr/bin:/bin"),
                           ":", wxTOKEN_STRTOK);
    while (dirs.HasMoreTokens()) {
        const wxString candidate = dirs.GetNextToken() + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return wxString();
}

long Launch(const LaunchRequest& request)
{
    Launcher launcher;
    {
        std::lock_guard<std::mutex> lock(g_launcherLock);
        launcher = g_launcher;
    }
    if (launcher)
        return launcher(request);
    return RealLaunch(request);
}

long Launch(const std::vector<wxString>& argv, const wxString& workingDir)
{
    LaunchRequest request;
    request.argv = argv;
    request.workingDir = workingDir;
    return Launch(request);
}

long OpenWithDefault(const wxString& path)
{
    if (path.empty())
        return 0;
    // An absolute path can never be mistaken for one of the opener's options.
    wxFileName name(path);
    name.MakeAbsolute();
    return Launch({"xdg-open", name.GetFullPath()});
}

Launcher SetLauncher(Launcher launcher)
{
    std::lock_guard<std::mutex> lock(g_launcherLock);
    Launcher previous = std::move(g_launcher);
    g_launcher = std::move(launcher);
    return previous;
}

} // namespace tw
