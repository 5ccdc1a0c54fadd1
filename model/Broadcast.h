// Hands the paths of downloaded files to other programs through the
// clipboard: the paths that exist, each followed by CR LF, as plain text
// (a lone CR LF when none exists).
#pragma once

#include <functional>

#include <wx/arrstr.h>
#include <wx/string.h>

class CActiveFile;
class CActiveFileList;

class CBroadcast
{
public:
    CBroadcast() = default;
    virtual ~CBroadcast() = default;

    // Puts the text of `paths` (in their order) on the clipboard; nothing
    // when the clipboard cannot be opened.
    void BroadcastFiles(const wxArrayString& paths);
    void BroadcastFile(const wxString& path);
    // The local paths of all the list's entries, in list order.
    void BroadcastFiles2ExternApps(const CActiveFileList& files);
    // The same, where `placed` tells the entries whose file was placed just
    // now (by the transfer that ended): those are not looked up on disk again.
    void BroadcastFiles2ExternApps(const CActiveFileList& files,
                                   const std::function<bool(const CActiveFile&)>& placed);

    // The clipboard text for `paths`.
    static wxString BuildText(const wxArrayString& paths);
};
