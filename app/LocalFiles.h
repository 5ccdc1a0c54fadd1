// Local names of downloaded files and where the viewer programs are: pure
// functions of a server-side name, an area and the file system.
#pragma once

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

// Viewer programs and applications; empty when not installed.
wxString GetWSPath();
wxString GetIsobarionPath();
wxString GetIFVAppPath();
wxString GetPreviewAppPath();
wxString GetTXTAppPath();

} // namespace tw
