// The wizard suggestions window of the Library: the Wizard batch (batch 2) as
// stored, in the same check-box tree as the Portal shows it (grouped by
// category and chart type, each item labelled with its Title), where the
// boxes enable or disable items for download, with Download and Close. The
// tree is built once, when the window is made; the suggestion engine never
// runs here. Modeless; several may be open at once.
#pragma once

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>

class wxButton;
class wxCheckTreeCtrl;

enum {
    ID_WIZARDTREEWINDOW = 10251,
    ID_WIZARDTREE_TREE = 10252,
    ID_WIZARDTREE_DOWNLOAD = 10322,
    ID_WIZARDTREE_CLOSE = 10342
};

class WizardTreeWindow : public wxFrame
{
    wxDECLARE_DYNAMIC_CLASS(WizardTreeWindow);

public:
    WizardTreeWindow();
    WizardTreeWindow(wxWindow* parent, wxWindowID id = ID_WIZARDTREEWINDOW,
                     const wxString& caption = _("Wizard Content Suggestions"), const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxSize(700, 540),
                     long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
    ~WizardTreeWindow() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_WIZARDTREEWINDOW,
                const wxString& caption = _("Wizard Content Suggestions"), const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxSize(700, 540),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
    void Init();
    void CreateControls();

    static bool ShowToolTips();
    // No pictures of its own: the empty bitmap for every name.
    wxBitmap GetBitmapResource(const wxString& name);
    // "Icons/rivol.ico"; any other name gives the empty icon.
    wxIcon GetIconResource(const wxString& name);

    void OnDownloadButtonClick(wxCommandEvent& event);
    void OnCancelButtonClick(wxCommandEvent& event);
    // End of the Wizard batch's download.
    void OnTransferDone(wxCommandEvent& event);

    wxCheckTreeCtrl* m_checkTree;

    wxDECLARE_EVENT_TABLE();
};
