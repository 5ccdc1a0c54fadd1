#include "model/LocalCopy.h"

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "core/LocalFiles.h"
#include "model/Batch.h"
#include "model/FileList.h"

namespace tw {

wxString GetFilePath(const CBatch* batch, const wxString& folder, const wxString& serverName)
{
    wxCHECK_MSG(batch, wxString(), "GetFilePath needs a batch");
    const CBatch::t_batch& b = batch->info;
    const wxString path = GetMatchingFilePath(b.bInteractive != 0, b.width, b.lat, b.lon, folder, serverName);
    if (path.empty() && !folder.empty() && !wxDirExists(folder))
        wxLogError("Directory '%s' not found.", folder);
    return path;
}

wxString GetFilePath(const CFileList& list, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= list.GetCount())
        return wxString();
    const FileInfo& entry = list.Item(static_cast<size_t>(index));

    wxString volume, folder, name, ext;
    bool hasExt = false;
    wxFileName::SplitPath(entry.tmpPath, &volume, &folder, &name, &ext, &hasExt);
    if (folder.empty())
        return wxString();
    if (hasExt)
        name << '.' << ext;
    if (!volume.empty())
        folder = volume + wxFileName::GetVolumeSeparator() + folder;
    return GetMatchingFilePath(entry.interactive, entry.width, entry.lat, entry.lon, folder, name);
}

namespace {

wxString ModificationText(const wxString& path)
{
    const wxString na = wxS("  N/A   ");
    if (path.empty())
        return na;
    wxDateTime modified;
    {
        wxLogNull quiet;
        modified = wxFileName(path).GetModificationTime();
    }
    if (!modified.IsValid())
        return na;
    return modified.Format(wxS("%y-%m-%d %H:%M"));
}

} // namespace

wxString GetDiskDate(const CBatch* batch, const wxString& folder, const wxString& serverName)
{
    return ModificationText(GetFilePath(batch, folder, serverName));
}

wxString GetDiskDate(const CBatch* batch, const FolderListing& folder, const wxString& serverName)
{
    wxCHECK_MSG(batch, wxString(), "GetDiskDate needs a batch");
    const CBatch::t_batch& b = batch->info;
    const wxString path = GetMatchingFilePath(b.bInteractive != 0, b.width, b.lat, b.lon, folder, serverName);
    if (path.empty() && !folder.Folder().empty() && !folder.Exists())
        wxLogError("Directory '%s' not found.", folder.Folder());
    return ModificationText(path);
}

} // namespace tw
