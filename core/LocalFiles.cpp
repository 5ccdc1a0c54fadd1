// Local names of downloaded files and where the viewer programs are.
#include "core/LocalFiles.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include <wx/datetime.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "core/Init.h"
#include "core/Numbers.h"

namespace tw {

namespace {

// The name of a server-side name's file after the interactive insertion:
// without scheme, folder levels and the product part before "=>".
wxString LocalBaseName(bool interactive, float width, float lat, float lon, const wxString& serverName)
{
    wxString name = serverName;
    MakeInteractiveFileName(interactive, width, lat, lon, name);

    int pos = name.rfind(wxS("://"));
    if (pos != wxNOT_FOUND)
        name = name.Mid(pos + 3);
    pos = name.Find('/', true);
    if (pos != wxNOT_FOUND)
        name = name.Mid(pos + 1);
    pos = name.Find(wxS("=>"));
    if (pos != wxNOT_FOUND)
        name = name.Mid(pos + 2);
    return name;
}

wxString DropCompressedSuffix(const wxString& name)
{
    const size_t pos = name.rfind(wxS(".bz2"));
    return pos == wxString::npos ? name : name.Left(pos);
}

// Digits with an optional sign and an optional fraction, as "%.1f" writes them.
size_t ScanNumber(const wxString& text, size_t pos)
{
    size_t p = pos;
    if (p < text.length() && text[p] == '-')
        ++p;
    const size_t digits = p;
    while (p < text.length() && wxIsdigit(text[p]))
        ++p;
    if (p == digits)
        return wxString::npos;
    if (p < text.length() && text[p] == '.') {
        const size_t frac = ++p;
        while (p < text.length() && wxIsdigit(text[p]))
            ++p;
        if (p == frac)
            return wxString::npos;
    }
    return p;
}

// Whether `rest` begins with the area text of an interactive name
// ("_" lat "=" lon "=" width "_"), the dot before it already taken.
bool StartsWithAreaText(const wxString& rest)
{
    if (rest.empty() || rest[0] != '_')
        return false;
    size_t p = 1;
    for (int i = 0; i < 3; ++i) {
        p = ScanNumber(rest, p);
        if (p == wxString::npos || p >= rest.length())
            return false;
        const wxUniChar expected = i < 2 ? wxUniChar('=') : wxUniChar('_');
        if (rest[p] != expected)
            return false;
        ++p;
    }
    return true;
}

bool IsPlainFile(const wxString& folder, const wxString& name)
{
    if (name.empty() || name[0] == '.')
        return false;
    return wxFileName::FileExists(folder + wxFILE_SEP_PATH + name);
}

wxString JoinPath(const wxString& folder, const wxString& name)
{
    if (folder.EndsWith(wxFILE_SEP_PATH))
        return folder + name;
    return folder + wxFILE_SEP_PATH + name;
}

wxString AppBundle(const char* bundleName)
{
    wxString path;
    CInit::GetInstalledApplicationPath(wxString::FromAscii(bundleName), path);
    return path;
}

} // namespace

wxString ReplaceBadFilenameChars(const wxString& name)
{
    wxString out(name);
    out.Replace(wxS("/"), wxS("-"));
    return out;
}

bool MakeInteractiveFileName(bool interactive, float width, float lat, float lon, wxString& name)
{
    if (!interactive)
        return false;
    const int arrow = name.Find(wxS("=>"));
    if (arrow == wxNOT_FOUND)
        return true;
    const size_t dot = name.find('.', static_cast<size_t>(arrow));
    if (dot == wxString::npos)
        return true;
    const wxString area = "._" + FormatFixed(lat, 1) + "=" + FormatFixed(lon, 1) + "=" + FormatFixed(width, 1) + "_";
    name.insert(dot, area);
    return true;
}

wxString BuildWildcardFileName(bool interactive, float width, float lat, float lon,
                                              const wxString& serverName)
{
    wxString name = DropCompressedSuffix(LocalBaseName(interactive, width, lat, lon, serverName));
    const int dot = name.Find('.', true);
    if (dot != wxNOT_FOUND)
        name.Truncate(static_cast<size_t>(dot));
    return name + ".*";
}

namespace {

// Which names in a folder hold a server-side name's file.
struct MatchRule {
    // The exact names, in order of preference: as requested, then without
    // ".bz2" (a compressed file is stored decompressed).
    wxString exact[2];
    // Otherwise any extension the server delivered: the same base followed
    // by "." and anything. The comparison is literal (a name may hold "*" or "?").
    wxString prefix;
    // An interactive copy of the product belongs to an interactive request
    // of its own area, never to the plain request.
    bool areaInPrefix = false;

    MatchRule(bool interactive, float width, float lat, float lon, const wxString& serverName)
    {
        exact[0] = LocalBaseName(interactive, width, lat, lon, serverName);
        exact[1] = DropCompressedSuffix(exact[0]);
        prefix = BuildWildcardFileName(interactive, width, lat, lon, serverName);
        prefix.RemoveLast();   // the "*"
        areaInPrefix = interactive && serverName.Find(wxS("=>")) != wxNOT_FOUND;
    }

    // A name of the folder (not a hidden one) that the prefix rule takes.
    bool TakesByPrefix(const wxString& name) const
    {
        if (name.empty() || name[0] == '.' || !name.StartsWith(prefix))
            return false;
        return areaInPrefix || !StartsWithAreaText(name.Mid(prefix.length()));
    }
};

bool NameLess(const wxString& a, const wxString& b)
{
    return a.compare(b) < 0;
}

} // namespace

wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon,
                                            const wxString& folder, const wxString& serverName)
{
    if (folder.empty() || !wxDirExists(folder))
        return wxString();

    const MatchRule rule(interactive, width, lat, lon, serverName);
    for (const wxString& name : rule.exact) {
        if (IsPlainFile(folder, name))
            return JoinPath(folder, name);
    }

    wxDir dir;
    {
        wxLogNull quiet;
        if (!dir.Open(folder))
            return wxString();
    }
    std::vector<wxString> matches;
    wxString name;
    for (bool more = dir.GetFirst(&name, wxString(), wxDIR_FILES); more; more = dir.GetNext(&name)) {
        if (rule.TakesByPrefix(name))
            matches.push_back(name);
    }
    if (matches.empty())
        return wxString();
    std::sort(matches.begin(), matches.end(), NameLess);
    return JoinPath(folder, matches.front());
}

FolderListing::FolderListing(const wxString& folder) : m_folder(folder)
{
    if (folder.empty())
        return;
    // The directory's own entry types: no status call per file (a link is
    // followed, as when the folder is searched file by file).
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder.fn_str().data()), error);
    if (error)
        return;
    m_exists = true;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const wxString name = wxString(it->path().filename().c_str(), *wxConvFileName);
        if (!name.empty() && name[0] != '.')
            m_names.push_back(name);
    }
    std::sort(m_names.begin(), m_names.end(), NameLess);
}

bool FolderListing::Has(const wxString& name) const
{
    return std::binary_search(m_names.begin(), m_names.end(), name, NameLess);
}

wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon, const FolderListing& listing,
                             const wxString& serverName)
{
    if (!listing.Exists())
        return wxString();
    const MatchRule rule(interactive, width, lat, lon, serverName);
    for (const wxString& name : rule.exact) {
        if (!name.empty() && listing.Has(name))
            return JoinPath(listing.Folder(), name);
    }
    // The names are sorted: those with the prefix follow one another.
    const std::vector<wxString>& names = listing.Names();
    for (auto it = std::lower_bound(names.begin(), names.end(), rule.prefix, NameLess);
         it != names.end() && it->StartsWith(rule.prefix); ++it) {
        if (rule.TakesByPrefix(*it))
            return JoinPath(listing.Folder(), *it);
    }
    return wxString();
}

wxString GetWSPath()
{
    return AppBundle("Chartloom.app");
}

wxString GetIsobarionPath()
{
    return AppBundle("Isobarion.app");
}

wxString GetIFVAppPath()
{
    return AppBundle("Imvra.app");
}

wxString GetPreviewAppPath()
{
    return AppBundle("Preview.app");
}

wxString GetTXTAppPath()
{
    // The program itself, not its application folder; empty when it is missing.
    wxString path;
    if (!CInit::GetInstalledApplicationPath(wxS("TextEdit.app"), path, wxS("textedit")) ||
        !wxFileName::FileExists(path))
        return wxString();
    return path;
}

} // namespace tw
