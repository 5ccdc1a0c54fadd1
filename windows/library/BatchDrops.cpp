// The Library window's drop targets: catalogue items dragged from the tree
// onto the batches list or the items list.
#include "windows/library/batchwindow.h"

#include <wx/listctrl.h>
#include <wx/log.h>

#include "model/BatchDB.h"
#include "windows/common/ErrorGate.h"
#include "windows/common/Shell.h"
#include "windows/library/LibraryRules.h"

namespace {

// The Library window a list of it belongs to.
BatchWindow* OwnerOf(wxWindow* control)
{
    return control ? dynamic_cast<BatchWindow*>(wxGetTopLevelParent(control)) : nullptr;
}

} // namespace

// ---------------------------------------------------------------- drop targets

bool DnDItemToBatch::OnDropText(wxCoord x, wxCoord y, const wxString& text)
{
    wxString fileId;
    if (!tw::ParseCatalogueDragText(text, fileId))
        return false;
    BatchWindow* window = OwnerOf(tw::TheShell().batchesListCtrl);
    if (!window) {
        wxLogError("Batch folder drop encountered an error.");
        return false;
    }
    // Inside the toolkit's drop callback nothing may escape and no box may
    // open: a failure is told once the drop is over.
    bool taken = false;
    tw::Guarded(window, [&] { taken = window->DropOnBatchesList(wxPoint(x, y), text); }, tw::ErrorTiming::AfterEvent);
    return taken;
}

bool DnDFile::OnDropText(wxCoord, wxCoord, const wxString& text)
{
    wxString fileId;
    if (!tw::ParseCatalogueDragText(text, fileId))
        return false;
    BatchWindow* window = OwnerOf(tw::TheShell().batchesListCtrl);
    if (!window) {
        wxLogError("Batch item drop encountered an error.");
        return false;
    }
    bool taken = false;
    tw::Guarded(window, [&] { taken = window->DropOnItemsList(text); }, tw::ErrorTiming::AfterEvent);
    return taken;
}

// ---------------------------------------------------------------- drops

bool BatchWindow::DroppedItem(const wxString& text, CFileInfo*& item)
{
    wxString fileId;
    if (!tw::ParseCatalogueDragText(text, fileId))
        return false;
    tw::Shell& app = tw::TheShell();
    if (fileId.empty()) {
        // Only an item the race edition blanked is dragged without an id.
        CFileInfo* dragged = app.draggedFileInfo;
        if (!dragged || !dragged->info.FileID.empty())
            return false;
        item = dragged;
        return true;
    }
    CFileInfo found;
    item = app.FindFileInfo(found, fileId);
    return item != nullptr;
}

wxString BatchWindow::DropRefusal(const CFileInfo& item, int batchId)
{
    if (item.info.FileID.empty())
        return wxS("This product is unavailable in Race Mode");
    if (batchId == -1)
        return wxS("Cannot add item to New Batch");
    if (batchId < 0)
        return wxS("No batch is selected");
    if (CBatchFolder::Instance()->ItemIsInBatch(batchId, item.info.FileID))
        return wxS("Item is already in this batch");
    return wxString();
}

bool BatchWindow::DropOnBatchesList(const wxPoint& point, const wxString& text)
{
    CFileInfo* item = nullptr;
    if (!DroppedItem(text, item))
        return false;
    const long row = GetSelectedBatchItemId(point, m_batchesList, nullptr);
    if (row < 0) {
        TellLater(wxS("No batch is selected"));
        return true;
    }
    if (!tw::TheShell().batchItemsListCtrl)
        return true;
    const int id = BatchIdOfRow(row);
    const wxString refusal = DropRefusal(*item, id);
    if (!refusal.empty()) {
        TellLater(refusal);
        return true;
    }
    CBatchFolder::Instance()->AddItemToBatch(id, item->info.FileID, 1);
    // Showing the target batch shows the new item with it.
    if (SelectedBatchRow() == row && m_currentBatchId == id) {
        LoadBatchItemsCtrl(id);
    } else {
        m_batchesList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                    wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        if (m_currentBatchId != id) {
            m_currentBatchId = id;
            m_currentItem = nullptr;
            LoadBatchItemsCtrl(id);
        }
    }
    return true;
}

bool BatchWindow::DropOnItemsList(const wxString& text)
{
    CFileInfo* item = nullptr;
    if (!DroppedItem(text, item))
        return false;
    const long row = SelectedBatchRow();
    if (row < 0) {
        TellLater(wxS("No batch is selected"));
        return true;
    }
    const int id = BatchIdOfRow(row);
    const wxString refusal = DropRefusal(*item, id);
    if (!refusal.empty()) {
        TellLater(refusal);
        return true;
    }
    CBatchFolder* store = CBatchFolder::Instance();
    store->AddItemToBatch(id, item->info.FileID, 1);
    if (!tw::TheShell().batchItemsListCtrl)
        return true;
    if (m_currentBatchId == id) {
        CBatch batch = store->GetBatchByIndex(id);
        CFileInfo copy(*item);
        copy.info.status = 1;
        copy.AppendToListCtrl(&batch, m_itemsList, item);
    } else {
        // The list showed another batch (or none): show the selected one.
        m_currentBatchId = id;
        m_currentItem = nullptr;
        LoadBatchItemsCtrl(id);
    }
    return true;
}
