// The check-box tree of the Wizard batch (batch 2): a tree whose item icons
// are check boxes. Clicking a box checks or unchecks the item and stores its
// status in batch 2 at once; a double click on an item's label opens its
// downloaded file; a right click offers to enable or disable the item, or
// every item below a category or chart-type node, in one go.
//
// The check state of an item is its image (the same for the normal and the
// selected state): 0 checked, 1 unchecked, 2 no box (a grouping node, showing
// the logo). Every item but the root carries a strRecidData with its record
// id: "_cat:" + Category on category nodes, "type:" + ChartType on chart-type
// nodes, the FileID on leaves.
#pragma once

#include <vector>

#include <wx/bitmap.h>
#include <wx/event.h>
#include <wx/treectrl.h>

class CBatchFolder;

// Sent, synchronously, before a click changes a mark; a handler may Veto()
// it to keep the mark and the stored status as they are.
class wxCheckTreeCtrlEvent : public wxNotifyEvent
{
public:
    wxCheckTreeCtrlEvent(wxEventType type = wxEVT_NULL, int id = 0, const wxTreeItemId& item = wxTreeItemId())
        : wxNotifyEvent(type, id), m_item(item)
    {
    }
    wxTreeItemId GetItem() const { return m_item; }
    void SetItem(const wxTreeItemId& item) { m_item = item; }
    wxEvent* Clone() const override { return new wxCheckTreeCtrlEvent(*this); }

private:
    wxTreeItemId m_item;
};

wxDECLARE_EVENT(wxEVT_CKTR_ITEM_SELECTED, wxCheckTreeCtrlEvent);    // about to be checked
wxDECLARE_EVENT(wxEVT_CKTR_ITEM_UNSELECTED, wxCheckTreeCtrlEvent);  // about to be unchecked

// The record id of a tree item.
class strRecidData : public wxTreeItemData
{
public:
    explicit strRecidData(const wxString& recid) : m_recid(recid) {}
    const wxString& GetRecid() const { return m_recid; }

private:
    wxString m_recid;
};

class wxCheckTreeCtrl : public wxTreeCtrl
{
public:
    enum { kImageChecked = 0, kImageUnchecked = 1, kImageNoBox = 2 };
    // The side of the three item pictures.
    static constexpr int kImageSide = 16;

    // The style gets wxTR_HAS_BUTTONS and wxTR_LINES_AT_ROOT added.
    wxCheckTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS,
                    const wxValidator& validator = wxDefaultValidator, const wxString& name = wxS("treeCtrl"));

    using wxTreeCtrl::AddRoot;
    virtual wxTreeItemId AddRoot(const wxString& text, bool checked, wxTreeItemData* data = nullptr);
    virtual wxTreeItemId AppendItem(const wxTreeItemId& parent, const wxString& text, bool checked,
                                    wxTreeItemData* data = nullptr);
    virtual wxTreeItemId AppendNoCheckboxItem(const wxTreeItemId& parent, const wxString& text,
                                              wxTreeItemData* data = nullptr);
    // Sets the mark of an item with a box (nothing for a box-less one). Writes
    // nothing to the store.
    virtual void Check(const wxTreeItemId& item, bool checked);
    bool IsChecked(const wxTreeItemId& item) const;
    bool HasCheckbox(const wxTreeItemId& item) const;

    // Appends the item and all its descendants, in pre-order, to `items`
    // (which is not cleared first).
    void GetItemChildrenRecursive(const wxTreeItemId& item, wxArrayTreeItemIds& items) const;
    // Check on the item and every descendant; no store writes.
    void RecursiveCheck(const wxTreeItemId& item, bool checked);
    // Marks the item and its descendants and stores the statuses of those
    // with a box in batch 2, in one transaction. When a write fails, the
    // transaction is rolled back, the marks are set again from the store and
    // the user is told; returns false then.
    bool RecursiveCheckandSetBatchItem(CBatchFolder* store, const wxTreeItemId& item, bool checked);

    // The item's record id (empty without one).
    wxString GetRecordId(const wxTreeItemId& item) const;

    // The three pictures of the image list, in image-index order.
    const wxBitmap& GetItemBitmap(int image) const { return m_bitmaps[image]; }

    virtual void OnLeftDown(wxMouseEvent& event);
    virtual void OnRightDown(wxMouseEvent& event);
    virtual void OnLeftDblClick(wxMouseEvent& event);

private:
    void SetBoth(const wxTreeItemId& item, int image);
    // Sets the marks of `items` from their stored statuses in batch 2; an
    // item the store cannot tell about gets the mark in `fallback` back.
    void ShowStoredMarks(CBatchFolder* store, const wxArrayTreeItemIds& items, const std::vector<int>& fallback);
    void ReportStoreFailure(const wxString& message);

    wxBitmap m_bitmaps[3];   // checked, unchecked, logo

    wxDECLARE_EVENT_TABLE();
};

// What differs between the windows that show the Wizard batch in a check
// tree (the Portal shows each item's Description, the suggestions window its
// Title; their notices of missing items are worded differently).
struct SuggestionTreeText {
    bool leafFromTitle = false;   // leaf label: Title (else Description) + ":" + FileID
    wxString missingItem;         // put before the file ids of items the catalogue does not offer
};

// Rebuilds the tree from batch 2 as stored: the hidden root "Rooter", then
// per category its chart types and their items (SuggestionGroups.h),
// everything expanded. Items that the catalogue does not offer (outside
// "Basic Mode") are left out and named together in one notice. Returns false
// after telling the user when batch 2 cannot be read (the tree is then empty).
bool BuildSuggestionTree(wxCheckTreeCtrl& tree, const SuggestionTreeText& text);

// The Wizard batch's download, shared by the windows that show it: starts
// the transfer of batch 2's checked items (transfer mode 1, no position) with
// `handler`'s `done` as the end handler, and on the end runs the epilogue on
// a fresh list of the same items. Problems are told in message boxes.
void StartWizardBatchDownload(wxEvtHandler* handler, wxObjectEventFunction done);
void FinishWizardBatchDownload(const wxCommandEvent& event);
