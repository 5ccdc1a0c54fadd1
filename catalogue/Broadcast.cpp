#include "catalogue/Broadcast.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filename.h>

#include "catalogue/Batch.h"

wxString CBroadcast::BuildText(const wxArrayString& paths)
{
    wxString text;
    for (const wxString& path : paths) {
        if (!path.empty() && wxFileName::Exists(path))
            text << path << "\r\n";
    }
    if (text.empty())
        text = wxS("\r\n");
    return text;
}

void CBroadcast::BroadcastFiles(const wxArrayString& paths)
{
    if (!wxTheClipboard || !wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new wxTextDataObject(BuildText(paths)));
    wxTheClipboard->Close();
}

void CBroadcast::BroadcastFile(const wxString& path)
{
    wxArrayString paths;
    paths.Add(path);
    BroadcastFiles(paths);
}

void CBroadcast::BroadcastFiles2ExternApps(const CActiveFileList& files)
{
    wxArrayString paths;
    for (size_t i = 0; i < files.GetCount(); ++i)
        paths.Add(files.Item(i).LocalPath);
    BroadcastFiles(paths);
}
