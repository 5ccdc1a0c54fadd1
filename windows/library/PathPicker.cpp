#include "windows/library/PathPicker.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/filepicker.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "platform/UiHooks.h"

PathPicker::PathPicker(wxWindow* parent, wxWindowID id, Kind kind, const wxString& message,
                       const wxString& wildcard, bool withText, const wxSize& size)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_kind(kind), m_message(message), m_wildcard(wildcard)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (withText) {
        m_text = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition,
                                wxSize(size.x > 0 ? size.x : 200, -1));
        row->Add(m_text, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 2);
    }
    m_button = new wxButton(this, wxID_ANY, kind == Kind::Folder ? _("Choose...") : _("Browse..."));
    row->Add(m_button, 0, wxALIGN_CENTER_VERTICAL);
    SetSizerAndFit(row);
    m_button->Bind(wxEVT_BUTTON, &PathPicker::OnButton, this);
}

wxString PathPicker::GetPath() const
{
    return m_text ? m_text->GetValue() : m_path;
}

void PathPicker::SetPath(const wxString& path)
{
    if (m_text)
        m_text->ChangeValue(path);
    else
        m_path = path;
    m_button->SetToolTip(path);
}

void PathPicker::OnButton(wxCommandEvent&)
{
    Choose();
}

void PathPicker::Choose()
{
    tw::FileChooserRequest request;
    request.message = m_message;
    request.wildcard = m_wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : m_wildcard;
    request.parent = wxGetTopLevelParent(this);
    const wxString current = GetPath();
    if (!current.empty()) {
        const wxFileName name = m_kind == Kind::Folder ? wxFileName::DirName(current) : wxFileName(current);
        request.defaultDir = name.GetPath();
        request.defaultFile = m_kind == Kind::Folder ? wxString() : name.GetFullName();
    }
    if (request.defaultDir.empty() || !wxFileName::DirExists(request.defaultDir))
        request.defaultDir = m_initialDir;
    switch (m_kind) {
    case Kind::Folder:
        request.folder = true;
        break;
    case Kind::OpenFile:
        request.style = wxFD_OPEN | wxFD_FILE_MUST_EXIST;
        break;
    case Kind::SaveFile:
        request.style = wxFD_SAVE | wxFD_OVERWRITE_PROMPT;
        break;
    }
    const wxString chosen = tw::ChooseFile(request);
    if (chosen.empty())
        return;
    SetPath(chosen);
    wxFileDirPickerEvent changed(m_kind == Kind::Folder ? wxEVT_DIRPICKER_CHANGED : wxEVT_FILEPICKER_CHANGED, this,
                                 GetId(), chosen);
    GetEventHandler()->ProcessEvent(changed);
}
