// Local names of downloaded files and where the viewer programs are: pure
// functions of a server-side name, an area and the file system.
#pragma once

#include <vector>

#include <wx/string.h>

namespace tw {

// `name` with every "/" replaced by "-".
wxString ReplaceBadFilenameChars(const wxString& name);
// For an interactive request inserts "._lat=lon=width_" (one decimal each)
// before the first "." after the first "=>"; returns `interactive`.
bool MakeInteractiveFileName(bool interactive, float width, float lat, float lon, wxString& name);
// The local name pattern of a server-side name: its base name and ".*".
wxString BuildWildcardFileName(bool interactive, float width, float lat, float lon, const wxString& serverName);
// The file in `folder` that holds the item: the exact name when it exists,
// else the first by name of the files of the same base with any extension
// (a plain request never takes an interactive copy); empty when none.
wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon, const wxString& folder,
                             const wxString& serverName);

// The files of one folder (hidden ones left out), read once, for finding
// the local copies of many items in it (the items list of a batch). It is a
// picture of the moment it was made.
class FolderListing
{
public:
    explicit FolderListing(const wxString& folder);

    const wxString& Folder() const { return m_folder; }
    // The folder could be read.
    bool Exists() const { return m_exists; }
    bool Has(const wxString& name) const;
    // The names, sorted.
    const std::vector<wxString>& Names() const { return m_names; }

private:
    wxString m_folder;
    bool m_exists = false;
    std::vector<wxString> m_names;
};
// GetMatchingFilePath over a listing of the folder: the same file, without
// reading the folder again.
wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon, const FolderListing& listing,
                             const wxString& serverName);

// Viewer programs and applications; empty when not installed.
wxString GetWSPath();
wxString GetIsobarionPath();
wxString GetIFVAppPath();
wxString GetPreviewAppPath();
wxString GetTXTAppPath();

} // namespace tw
