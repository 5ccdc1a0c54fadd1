#include "windows/library/wizardtreewindow.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/sizer.h>

#include "platform/Accessible.h"
#include "platform/Locations.h"
#include "windows/common/checktreectrl.h"

wxIMPLEMENT_DYNAMIC_CLASS(WizardTreeWindow, wxFrame);

wxBEGIN_EVENT_TABLE(WizardTreeWindow, wxFrame)
    EVT_BUTTON(ID_WIZARDTREE_DOWNLOAD, WizardTreeWindow::OnDownloadButtonClick)
    EVT_BUTTON(ID_WIZARDTREE_CLOSE, WizardTreeWindow::OnCancelButtonClick)
wxEND_EVENT_TABLE()

WizardTreeWindow::WizardTreeWindow()
{
    Init();
}

WizardTreeWindow::WizardTreeWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                                   const wxSize& size, long style)
{
    Init();
    Create(parent, id, caption, pos, size, style);
}

WizardTreeWindow::~WizardTreeWindow() = default;

void WizardTreeWindow::Init()
{
    m_checkTree = nullptr;
}

bool WizardTreeWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                              const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style, wxS("frame")))
        return false;
    CreateControls();
    SetIcon(GetIconResource(wxS("Icons/rivol.ico")));
    CentreOnParent(wxBOTH);
    return true;
}

void WizardTreeWindow::CreateControls()
{
    // The frame keeps the size it was given and is not fitted to its
    // content, except that the client area never starts smaller than the
    // content needs (a title bar or menu may take room from it).
    auto* column = new wxBoxSizer(wxVERTICAL);
    SetSizer(column);

    m_checkTree = new wxCheckTreeCtrl(this, ID_WIZARDTREE_TREE, wxDefaultPosition, wxSize(700, 450),
                                      wxTR_HIDE_ROOT | wxTR_LINES_AT_ROOT, wxDefaultValidator, wxS("treeCtrl"));
    tw::SetAccessible(m_checkTree, tw::AccessibleRole::Tree, _("Content suggestions"));
    column->Add(m_checkTree, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 0);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    column->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    auto* download = new wxButton(this, ID_WIZARDTREE_DOWNLOAD, _("Download"));
    download->SetDefault();
    row->Add(download, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    auto* close = new wxButton(this, ID_WIZARDTREE_CLOSE, _("Close"));
    row->Add(close, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);

    const wxSize need = column->GetMinSize();
    const wxSize have = GetClientSize();
    if (have.x < need.x || have.y < need.y)
        SetClientSize(std::max(have.x, need.x), std::max(have.y, need.y));
    Layout();

    SuggestionTreeText text;
    text.leafFromTitle = true;
    text.missingItem = wxS("No FileIfo for ");
    BuildSuggestionTree(*m_checkTree, text);
}

bool WizardTreeWindow::ShowToolTips()
{
    return true;
}

wxBitmap WizardTreeWindow::GetBitmapResource(const wxString&)
{
    return wxNullBitmap;
}

wxIcon WizardTreeWindow::GetIconResource(const wxString& name)
{
    wxIcon icon;
    if (name == wxS("Icons/rivol.ico"))
        icon.LoadFile(tw::ResourcesDir() + wxS("/") + name, wxBITMAP_TYPE_ICO);
    return icon;
}

void WizardTreeWindow::OnDownloadButtonClick(wxCommandEvent&)
{
    StartWizardBatchDownload(this, wxCommandEventHandler(WizardTreeWindow::OnTransferDone));
}

void WizardTreeWindow::OnTransferDone(wxCommandEvent& event)
{
    // The tree stays as it is.
    FinishWizardBatchDownload(event);
}

void WizardTreeWindow::OnCancelButtonClick(wxCommandEvent&)
{
    // The marks are stored already.
    Destroy();
}
