// The local copy of a batch item or of a transfer entry, and its date text.
#pragma once

#include <wx/string.h>

class CBatch;
class CFileList;

namespace tw {

class FolderListing;

// The local copy of a batch item, with the batch's area
// (tw::GetMatchingFilePath); empty when there is none, logged when the folder
// is missing.
wxString GetFilePath(const CBatch* batch, const wxString& folder, const wxString& serverName);
// The partial or received file of a transfer entry, in its "tmp" folder.
wxString GetFilePath(const CFileList& list, int index);
// "%y-%m-%d %H:%M" (local time) of the local copy, or "  N/A   ".
wxString GetDiskDate(const CBatch* batch, const wxString& folder, const wxString& serverName);
// The same over a listing of the batch's folder (for many items at once).
wxString GetDiskDate(const CBatch* batch, const FolderListing& folder, const wxString& serverName);

} // namespace tw
