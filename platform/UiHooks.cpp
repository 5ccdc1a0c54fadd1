#include "platform/UiHooks.h"

#include <mutex>
#include <wx/dirdlg.h>
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
    MessageBoxRequest request;
    request.message = message;
    request.caption = caption;
    request.style = style;
    request.parent = parent;
    return MessageBox(request);
}

int MessageBox(const MessageBoxRequest& request)
{
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        handler = g_messageBox;
    }
    if (handler)
        return handler(request);
    if (request.yesLabel.empty() && request.noLabel.empty() && request.cancelLabel.empty())
        return wxMessageBox(request.message, request.caption, request.style, request.parent);

    // Own button texts need the dialog itself; its answer is given as
    // wxMessageBox gives it.
    wxMessageDialog dialog(request.parent, request.message, request.caption, request.style | wxCENTRE);
    using Label = wxMessageDialog::ButtonLabel;
    const Label yes = request.yesLabel.empty() ? Label(wxID_YES) : Label(request.yesLabel);
    const Label no = request.noLabel.empty() ? Label(wxID_NO) : Label(request.noLabel);
    const Label cancel = request.cancelLabel.empty() ? Label(wxID_CANCEL) : Label(request.cancelLabel);
    if (request.style & wxCANCEL)
        dialog.SetYesNoCancelLabels(yes, no, cancel);
    else
        dialog.SetYesNoLabels(yes, no);
    switch (dialog.ShowModal()) {
    case wxID_YES:
        return wxYES;
    case wxID_NO:
        return wxNO;
    case wxID_OK:
        return wxOK;
    default:
        return wxCANCEL;
    }
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
    if (request.folder) {
        wxDirDialog dialog(request.parent, request.message.empty() ? wxString(wxDirSelectorPromptStr) : request.message,
                           request.defaultDir, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
        return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    }
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
