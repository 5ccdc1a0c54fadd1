#include "platform/UiHooks.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace tw {
namespace {
std::mutex g_hookLock;
MessageBoxHandler g_messageBox;
FileChooserHandler g_fileChooser;
std::atomic<bool> g_dismiss {false};
// The boxes now on screen, innermost last (main thread only).
std::vector<wxMessageDialog*> g_open;

// Ends a box that is on screen as its close box does.
void Dismiss(wxMessageDialog* dialog)
{
#ifdef __WXGTK__
    // The desktop's own box runs its own loop: it is told it was closed.
    GtkWidget* widget = static_cast<GtkWidget*>(dialog->GetHandle());
    if (widget && GTK_IS_DIALOG(widget)) {
        gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
        return;
    }
#endif
    if (dialog->IsModal())
        dialog->EndModal(wxID_CANCEL);
}

// Shows the box and gives its answer as wxMessageBox gives it; a box open
// when the program starts closing is ended then.
int ShowBox(wxMessageDialog& dialog)
{
    g_open.push_back(&dialog);
    const int shown = dialog.ShowModal();
    g_open.erase(std::find(g_open.begin(), g_open.end(), &dialog));
    switch (shown) {
    case wxID_OK:
        return wxOK;
    case wxID_YES:
        return wxYES;
    case wxID_NO:
        return wxNO;
    case wxID_HELP:
        return wxHELP;
    default:
        return wxCANCEL;
    }
}
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
    if (g_dismiss)
        return wxCANCEL;
    if (handler)
        return handler(request);
    if (request.yesLabel.empty() && request.noLabel.empty() && request.cancelLabel.empty()) {
        // As wxMessageBox shows it: a question's icon for a question, else
        // an information icon, unless the style names one.
        long style = request.style;
        if (!(style & wxICON_NONE) && !(style & wxICON_MASK))
            style |= (style & wxYES) ? wxICON_QUESTION : wxICON_INFORMATION;
        wxMessageDialog dialog(request.parent, request.message, request.caption, style);
        return ShowBox(dialog);
    }

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
    return ShowBox(dialog);
}

void DismissMessageBoxes(bool dismiss)
{
    g_dismiss = dismiss;
    if (!dismiss)
        return;
    // Innermost first: an outer box's loop ends once the inner one's has.
    const std::vector<wxMessageDialog*> open(g_open.rbegin(), g_open.rend());
    for (wxMessageDialog* dialog : open)
        Dismiss(dialog);
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
