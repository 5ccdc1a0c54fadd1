// The Library-mode main window (the batch manager): the catalogue tree, the
// batches list and the items list, and the mode commands. Its batch and item
// commands, drag and drop, toolbar and transfer are added with the Library
// window's own work.
#pragma once

#include <wx/frame.h>
#include <wx/treebase.h>

class CFileInfo;
class wxListCtrl;
class wxSplitterWindow;
class wxTreeCtrl;

enum {
    ID_BATCHWINDOW = 10022,
    ID_BATCH_OUTER_SPLITTER = 10030,
    ID_BATCH_INNER_SPLITTER = 10031,
    ID_BATCH_CATALOGUE_TREE = 10032,
    ID_BATCH_ITEMS_LIST = 10033,
    ID_BATCH_BATCHES_LIST = 10035,
    ID_BATCH_BASIC_MODE = 10024,
    ID_BATCH_PORTAL_MODE = 10363
};

// A leaf of the catalogue tree: the catalogue's own item (not owned).
class BatchTreeItemData : public wxTreeItemData
{
public:
    explicit BatchTreeItemData(CFileInfo* item) : m_item(item) {}
    CFileInfo* GetItem() const { return m_item; }

private:
    CFileInfo* m_item;
};

class BatchWindow : public wxFrame
{
    wxDECLARE_CLASS(BatchWindow);

public:
    BatchWindow();
    BatchWindow(wxWindow* parent, wxWindowID id = ID_BATCHWINDOW, const wxString& caption = _("Library Window"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 600),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX |
                             wxRESIZE_BORDER);
    ~BatchWindow() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // Fills the catalogue tree from the application's catalogue.
    void PopulateCatalogueTree();

    // Download of every enabled user batch, and its end.
    void OnStart(wxCommandEvent& event);
    void OnTransferDone(wxCommandEvent& event);

    wxTreeCtrl* m_catalogueTree;
    wxListCtrl* m_batchesList;
    wxListCtrl* m_itemsList;
    int m_currentBatchId;

private:
    void OnMenuBasicModeClick(wxCommandEvent& event);
    void OnMenuLoadWindowClick(wxCommandEvent& event);

    wxSplitterWindow* m_outerSplitter;
    wxSplitterWindow* m_innerSplitter;

    wxDECLARE_EVENT_TABLE();
};
