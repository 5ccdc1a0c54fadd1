// The product search dialog of the Library window: words looked for in the
// products' descriptions, and a category, region and chart type to keep to;
// the hits are listed and can be dragged onto a batch like an item of the
// catalogue tree. Modeless; several can be open; it changes nothing stored.
#pragma once

#include <wx/arrstr.h>
#include <wx/dialog.h>

class CFileInfo;
class wxButton;
class wxChoice;
class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

enum {
    ID_FIND = 10117,
    ID_FIND_WHAT = 10118,
    ID_FIND_NOW = 10119,
    ID_FIND_CATEGORY = 10120,
    ID_FIND_STOP = 10130,
    ID_FIND_RESULTS = 10131,
    ID_FIND_REGION = 10002,
    ID_FIND_NEW_SEARCH = 10003,
    ID_FIND_TYPE = 10000,
    ID_FIND_DONE = 10001,
};

class Find : public wxDialog
{
    wxDECLARE_DYNAMIC_CLASS(Find);

public:
    Find();
    Find(wxWindow* parent, wxWindowID id = ID_FIND, const wxString& caption = _("Find"),
         const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1000, 600),
         long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    ~Find() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_FIND, const wxString& caption = _("Find"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1000, 600),
                long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    void Init();
    void CreateControls();

    // Runs the search of the fields now (what Find Now does); returns the
    // number of hits listed, or -1 when nothing was searched (no values, or
    // the database failed, which the user is told).
    int Search();
    // The catalogue item of a results row.
    CFileInfo* ResultItem(long row) const;

    void OnFindNowButtonClick(wxCommandEvent& event);
    void OnStopButtonClick(wxCommandEvent& event);
    void OnNewSearchButtonClick(wxCommandEvent& event);
    void OnDoneButtonClick(wxCommandEvent& event);
    void OnListctrlBeginDrag(wxListEvent& event);

    wxTextCtrl* m_whatCtrl;
    wxChoice* m_categoryChoice;
    wxChoice* m_regionChoice;
    wxChoice* m_typeChoice;
    wxListCtrl* m_results;

    // What the validators carry from the controls.
    wxString m_words;
    wxString m_category;
    wxString m_region;
    wxString m_type;

    // The entries of the three choices.
    wxArrayString m_categories;
    wxArrayString m_regions;
    wxArrayString m_types;

private:
    void FillChoices();
    void OnClose(wxCloseEvent& event);

    wxDECLARE_EVENT_TABLE();
};
