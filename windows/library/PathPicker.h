// A folder or file picker for the batch dialog: an optional text field with
// the path and a button that opens the program's folder or file chooser
// (platform/UiHooks.h, parented to the dialog). A path chosen with the button
// is sent as the toolkit's picker-changed event of the control's id.
#pragma once

#include <wx/panel.h>

class wxButton;
class wxTextCtrl;

class PathPicker : public wxPanel
{
public:
    enum class Kind {
        Folder,     // an existing folder (event wxEVT_DIRPICKER_CHANGED)
        OpenFile,   // an existing file (wxEVT_FILEPICKER_CHANGED)
        SaveFile,   // a file to write, asking before an existing one is replaced
    };

    // withText: the path is shown in an editable field beside the button;
    // without it the button alone stands for the control.
    PathPicker(wxWindow* parent, wxWindowID id, Kind kind, const wxString& message, const wxString& wildcard,
               bool withText, const wxSize& size = wxDefaultSize);

    wxString GetPath() const;
    void SetPath(const wxString& path);
    // Where the chooser opens when no path is set.
    void SetInitialDirectory(const wxString& folder) { m_initialDir = folder; }
    const wxString& GetInitialDirectory() const { return m_initialDir; }

    wxTextCtrl* GetTextCtrl() const { return m_text; }
    wxButton* GetPickerButton() const { return m_button; }

    // Opens the chooser now, as the button does.
    void Choose();

private:
    void OnButton(wxCommandEvent& event);

    Kind m_kind;
    wxString m_message;
    wxString m_wildcard;
    wxString m_path;          // the path when there is no text field
    wxString m_initialDir;
    wxTextCtrl* m_text = nullptr;
    wxButton* m_button = nullptr;
};
