#include "platform/AppLookup.h"

#include <cstdlib>
#include <vector>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>

#include "platform/Launcher.h"

namespace tw {

namespace {

wxString Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? wxString::FromUTF8(value) : wxString();
}

bool IsExecutableFile(const wxString& path)
{
    return wxFileExists(path) && wxFileName::IsFileExecutable(path);
}

std::vector<wxString> SearchFolders()
{
    std::vector<wxString> folders;
    wxStringTokenizer tokens(Env("TIDEWRIGHT_APPS"), ":", wxTOKEN_STRTOK);
    while (tokens.HasMoreTokens()) {
        wxString folder = tokens.GetNextToken();
        while (folder.length() > 1 && folder.EndsWith("/"))
            folder.RemoveLast();
        folders.push_back(folder);
    }
    folders.push_back(SystemAppsDir());
    return folders;
}

// Preview and TextEdit stand for what the desktop offers.
FoundApp MappedApplication(const wxString& name)
{
    wxString program;
    if (name == "TextEdit") {
        for (const char* var : {"VISUAL", "EDITOR"}) {
            const wxString editor = Env(var);
            if (!editor.empty()) {
                program = FindExecutable(editor);
                if (!program.empty())
                    break;
            }
        }
    }
    if (program.empty() && (name == "Preview" || name == "TextEdit"))
        program = FindExecutable("xdg-open");

    FoundApp app;
    if (!program.empty()) {
        app.bundle = program;
        app.executable = program;
        app.found = true;
    }
    return app;
}

} // namespace

wxString SystemAppsDir()
{
    return "/opt/tidewright-apps";
}

wxString ApplicationFolderExecutable(const wxString& folder)
{
    wxString dir = folder;
    while (dir.length() > 1 && dir.EndsWith("/"))
        dir.RemoveLast();
    const wxString candidate = dir + "/" + wxFileName(dir).GetFullName().Lower();
    return IsExecutableFile(candidate) ? candidate : wxString();
}

FoundApp FindApplication(const wxString& bundleName)
{
    return FindApplication(bundleName, wxString());
}

FoundApp FindApplication(const wxString& bundleName, const wxString& executableName)
{
    wxString name = bundleName;
    if (name.EndsWith(".app"))
        name.RemoveLast(4);
    FoundApp app;
    // A name that could climb out of the folders is never looked up.
    if (name.empty() || name.Contains("/") || name == "." || name == "..")
        return app;
    if (executableName.Contains("/") || executableName == "." || executableName == "..")
        return app;

    for (const wxString& root : SearchFolders()) {
        const wxString folder = root + "/" + name;
        if (!wxDirExists(folder))
            continue;
        app.found = true;
        app.bundle = folder;
        app.resourcesDir = folder + "/Resources";
        if (executableName.empty()) {
            app.executable = ApplicationFolderExecutable(folder);
        } else {
            const wxString candidate = folder + "/" + executableName;
            if (IsExecutableFile(candidate))
                app.executable = candidate;
        }
        return app;
    }
    return MappedApplication(name);
}

} // namespace tw
