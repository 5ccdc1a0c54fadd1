#include "platform/UiHooks.h"

#include <mutex>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

namespace tw {
namespace {
std::mutex g_hookLock;
MessageBoxHandler g_messageBox;
FileChooserHandler g_fileChooser;
} // namespace

int MessageBox(const wxString& message, const wxString& caption, long style, wxWindow* parent)
{
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        handler = g_messageBox;
    }
    MessageBoxRequest request{message, caption, style, parent};
    if (handler)
        return handler(request);
    return wxMessageBox(message, caption, style, parent);
}

wxString ChooseFile(const FileChooserRequest& request)
{
    FileChooserHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        handler = g_fileChooser;
    }
    if (handler)
        return handler(request);
    wxFileDialog dialog(request.parent, request.message, request.defaultDir, request.defaultFile,
                        request.wildcard, request.style);
    if (dialog.ShowModal() != wxID_OK)
        return wxString();
    if (request.style & wxFD_MULTIPLE) {
        wxArrayString paths;
        dialog.GetPaths(paths);
        wxString joined;
        for (size_t i = 0; i < paths.size(); ++i) {
            if (i)
                joined += wxS("\n");
            joined += paths[i];
        }
        return joined;
    }
    return dialog.GetPath();
}

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard<std::mutex> lock(g_hookLock);
    g_messageBox = std::move(handler);
}

void SetFileChooserHandler(FileChooserHandler handler)
{
    std::lock_guard<std::mutex> lock(g_hookLock);
    g_fileChooser = std::move(handler);
}

} // namespace tw
