#include "model/Broadcast.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <sys/stat.h>

#include "model/Batch.h"
#include "platform/WireText.h"

namespace {

bool Exists(const wxString& path)
{
    struct stat st {};
    return !path.empty() && ::stat(tw::FsPath(path).c_str(), &st) == 0;
}

// The clipboard text of the paths `count` and `at` give, in their order;
// `known(i)` tells a path known to exist.
template <typename PathAt, typename Known>
wxString TextOf(size_t count, PathAt at, Known known)
{
    size_t length = 0;
    for (size_t i = 0; i < count; ++i)
        length += at(i).length() + 2;
    wxString text;
    text.reserve(length);
    for (size_t i = 0; i < count; ++i) {
        const wxString& path = at(i);
        if (!path.empty() && (known(i) || Exists(path)))
            text << path << wxS("\r\n");
    }
    if (text.empty())
        text = wxS("\r\n");
    return text;
}

void Put(const wxString& text)
{
    if (!wxTheClipboard || !wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
}

} // namespace

wxString CBroadcast::BuildText(const wxArrayString& paths)
{
    return TextOf(paths.size(), [&](size_t i) -> const wxString& { return paths[i]; }, [](size_t) { return false; });
}

void CBroadcast::BroadcastFiles(const wxArrayString& paths)
{
    Put(BuildText(paths));
}

void CBroadcast::BroadcastFile(const wxString& path)
{
    wxArrayString paths;
    paths.Add(path);
    BroadcastFiles(paths);
}

void CBroadcast::BroadcastFiles2ExternApps(const CActiveFileList& files)
{
    BroadcastFiles2ExternApps(files, nullptr);
}

void CBroadcast::BroadcastFiles2ExternApps(const CActiveFileList& files,
                                           const std::function<bool(const CActiveFile&)>& placed)
{
    Put(TextOf(
        files.GetCount(), [&](size_t i) -> const wxString& { return files.Item(i).LocalPath; },
        [&](size_t i) { return placed && placed(files.Item(i)); }));
}
