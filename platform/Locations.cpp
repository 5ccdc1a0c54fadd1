#include "platform/Locations.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/textfile.h>
#include <wx/utils.h>

#ifndef TIDEWRIGHT_BUILD_RESOURCES
#define TIDEWRIGHT_BUILD_RESOURCES ""
#endif
#ifndef TIDEWRIGHT_INSTALL_RESOURCES_REL
#define TIDEWRIGHT_INSTALL_RESOURCES_REL "share/tidewright"
#endif

namespace tw {

const char* const kAppName = "Tidewright";
const char* const kVendorName = "TALVO";

namespace {

wxString Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? wxString::FromUTF8(value) : wxString();
}

bool IsAbsolute(const wxString& path)
{
    return path.StartsWith("/");
}

wxString WithoutTrailingSeparator(wxString path)
{
    while (path.length() > 1 && path.EndsWith("/"))
        path.RemoveLast();
    return path;
}

// The XDG config folder ($XDG_CONFIG_HOME when absolute, else ~/.config).
wxString ConfigHome()
{
    wxString dir = Env("XDG_CONFIG_HOME");
    if (!IsAbsolute(dir))
        dir = HomeDir() + "/.config";
    return WithoutTrailingSeparator(dir);
}

// Reads one entry of user-dirs.dirs. Values are written as
// KEY="$HOME/relative" or KEY="/absolute", with backslash escapes.
wxString UserDirsEntry(const wxString& key)
{
    const wxString path = ConfigHome() + "/user-dirs.dirs";
    if (!wxFileExists(path))
        return wxString();
    wxTextFile file;
    if (!file.Open(path, wxConvUTF8))
        return wxString();
    wxString result;
    for (size_t n = 0; n < file.GetLineCount(); ++n) {
        wxString line = file.GetLine(n);
        line.Trim(false).Trim(true);
        if (line.StartsWith("#") || !line.StartsWith(key + "="))
            continue;
        wxString raw = line.Mid(key.length() + 1);
        if (raw.length() < 2 || !raw.StartsWith("\"") || !raw.EndsWith("\""))
            continue;
        raw = raw.Mid(1, raw.length() - 2);
        wxString value;
        for (size_t i = 0; i < raw.length(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.length())
                ++i;
            value += raw[i];
        }
        if (value == "$HOME" || value.StartsWith("$HOME/"))
            value = HomeDir() + value.Mid(5);
        if (IsAbsolute(value))
            result = WithoutTrailingSeparator(value);  // the last entry wins
    }
    return result;
}

} // namespace

void ApplyAppIdentity()
{
    if (wxTheApp) {
        wxTheApp->SetAppName(kAppName);
        wxTheApp->SetVendorName(kVendorName);
        wxTheApp->SetAppDisplayName(kAppName);
        wxTheApp->SetVendorDisplayName(kVendorName);
    }
}

wxString HomeDir()
{
    wxString home = Env("HOME");
    if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid()))
            home = wxString::FromUTF8(pw->pw_dir);
    }
    return WithoutTrailingSeparator(home);
}

wxString ResourcesDir()
{
    return ResourcesDirFor(wxStandardPaths::Get().GetExecutablePath());
}

wxString ResourcesDirFor(const wxString& exe)
{
    const wxString overridden = Env("TIDEWRIGHT_RESOURCES");
    if (!overridden.empty())
        return WithoutTrailingSeparator(overridden);

    if (!exe.empty()) {
        wxFileName installed(wxFileName(exe).GetPath() + "/../" TIDEWRIGHT_INSTALL_RESOURCES_REL, wxString());
        installed.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        const wxString dir = WithoutTrailingSeparator(installed.GetPath());
        if (wxDirExists(dir))
            return dir;
    }
    return WithoutTrailingSeparator(wxString::FromUTF8(TIDEWRIGHT_BUILD_RESOURCES));
}

wxString UserDataDir()
{
    wxString base = Env("XDG_DATA_HOME");
    if (!IsAbsolute(base))
        base = HomeDir() + "/.local/share";
    return WithoutTrailingSeparator(base) + "/" + kVendorName + "/" + kAppName;
}

wxString DocumentsDir()
{
    const wxString fromEnv = Env("XDG_DOCUMENTS_DIR");
    if (IsAbsolute(fromEnv))
        return WithoutTrailingSeparator(fromEnv);
    const wxString fromFile = UserDirsEntry("XDG_DOCUMENTS_DIR");
    if (!fromFile.empty())
        return fromFile;
    const wxString home = HomeDir();
    if (wxDirExists(home + "/Documents"))
        return home + "/Documents";
    return home;
}

} // namespace tw
