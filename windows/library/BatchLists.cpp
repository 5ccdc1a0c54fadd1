// The Library window's lists: the batches list and its "New Batch" row, the
// items of the selected batch with their check boxes, sorting by a column,
// and the keys and clipboard of the lists.
#include "windows/library/batchwindow.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/LocalFiles.h"
#include "model/BatchDB.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/common/Shell.h"
#include "windows/library/BatchWindowParts.h"
#include "windows/library/LibraryRules.h"
#include "windows/library/ListRows.h"

namespace tw::library {

int RowImage(const wxListCtrl* list, long row)
{
    wxListItem item;
    item.SetId(row);
    item.SetColumn(0);
    item.SetMask(wxLIST_MASK_IMAGE);
    if (!list->GetItem(item))
        return -1;
    return item.GetImage();
}

CFileInfo* RowItem(const wxListCtrl* list, long row)
{
    return reinterpret_cast<CFileInfo*>(list->GetItemData(row));
}

} // namespace tw::library

using tw::library::DialogRunner;
using tw::library::RowImage;
using tw::library::RowItem;

namespace {

std::vector<long> SelectedRows(const wxListCtrl* list)
{
    std::vector<long> rows;
    for (long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row >= 0;
         row = list->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

// What a list is sorted by: its keys, taken before sorting.
struct SortSnapshot {
    tw::LibrarySortRule rule = tw::LibrarySortRule::Text;
    bool ascending = true;
    std::unordered_map<wxIntPtr, tw::LibrarySortKey> keys;
};

} // namespace

// ---------------------------------------------------------------- free functions

long GetSelectedBatchItemId(const wxPoint& point, const wxListCtrl* list, long* rightOfColumn0)
{
    if (!list)
        return -1;
    // Column 0 is where it is drawn: the list may be scrolled sideways.
    if (rightOfColumn0)
        *rightOfColumn0 = list->CalcUnscrolledPosition(point).x > list->GetColumnWidth(0) ? 1 : 0;
    int flags = 0;
    const long row = list->HitTest(point, flags);
    if (row < 0 || row >= list->GetItemCount() || (flags & wxLIST_HITTEST_ONITEM) == 0)
        return -1;
    return row;
}

int wxCALLBACK ListItemCompare(wxIntPtr item1, wxIntPtr item2, wxIntPtr sortData)
{
    const auto* sort = reinterpret_cast<const SortSnapshot*>(sortData);
    static const tw::LibrarySortKey none;
    const auto a = sort->keys.find(item1);
    const auto b = sort->keys.find(item2);
    return tw::CompareLibraryRows(a != sort->keys.end() ? a->second : none, b != sort->keys.end() ? b->second : none,
                                  sort->rule, sort->ascending);
}

// ---------------------------------------------------------------- batches list

bool BatchWindow::ReadListedBatches(std::vector<CBatch>& batches)
{
    batches.clear();
    wxSQLite3Database* db = tw::TheShell().GetUserDb();
    if (!db || !db->IsOpen())
        return false;
    try {
        wxSQLite3ResultSet rs = db->ExecuteQuery(wxString::Format("SELECT * from batches WHERE ID>%i", 1));
        while (rs.NextRow()) {
            CBatch batch;
            CBatch::t_batch& b = batch.info;
            b.ID = rs.GetInt("ID");
            b.title = rs.GetAsString("title");
            b.description = rs.GetAsString("description");
            const wxLongLong seconds = rs.GetInt64("create_date", -1);
            b.create_date = seconds >= 0 ? wxDateTime(seconds * 1000) : wxDateTime();
            b.status = rs.GetInt("status", 0);
            batches.push_back(batch);
        }
        rs.Finalize();
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s", e.GetMessage());
        batches.clear();
        return false;
    }
    return true;
}

void BatchWindow::PopulateBatchesList()
{
    std::vector<CBatch> batches;
    ReadListedBatches(batches);
    for (CBatch& batch : batches)
        tw::WriteBatchRow(*m_batchesList, batch, -1);
}

void BatchWindow::InsertNewBatchItem()
{
    const long row = m_batchesList->InsertItem(0, wxString(), 0);
    m_batchesList->SetItemData(row, -1);
    m_batchesList->SetItem(row, 1, wxS("New Batch"));
    m_batchesList->SetItem(row, 2, wxS(" "));
    m_batchesList->SetItem(row, 3, wxS("click me!"));
}

long BatchWindow::SelectedBatchRow() const
{
    return m_batchesList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

int BatchWindow::BatchIdOfRow(long row) const
{
    return static_cast<int>(static_cast<long>(m_batchesList->GetItemData(row)));
}

bool BatchWindow::SelectBatch(int batchId)
{
    for (long row = 0; row < m_batchesList->GetItemCount(); ++row) {
        if (BatchIdOfRow(row) == batchId) {
            m_batchesList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            m_batchesList->EnsureVisible(row);
            return true;
        }
    }
    return false;
}

void BatchWindow::DeselectAllBatches()
{
    for (long row = 0; row < m_batchesList->GetItemCount(); ++row)
        m_batchesList->SetItemState(row, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

void BatchWindow::ForgetCurrentBatch()
{
    m_itemsList->DeleteAllItems();
    SetItemsHeading(wxS("Batch"));
    m_currentBatchId = -2;
    m_currentItem = nullptr;
}

void BatchWindow::EnableEditItems(bool copy, bool paste, bool del)
{
    m_editMenu->Enable(ID_BATCH_COPY, copy);
    m_editMenu->Enable(ID_BATCH_PASTE, paste);
    m_editMenu->Enable(ID_BATCH_DELETE_ITEMS, del);
}

void BatchWindow::OnBatchListCtrlSelected(wxListEvent& event)
{
    if (m_sorting)
        return;
    m_lastSelectedList = m_batchesList;
    EnableEditItems(false, m_editMenu->IsEnabled(ID_BATCH_PASTE), true);
    const int id = BatchIdOfRow(event.GetIndex());
    if (id != m_currentBatchId)
        m_currentItem = nullptr;
    m_currentBatchId = id;
    if (id == -1) {
        m_itemsList->DeleteAllItems();
        SetItemsHeading(wxS("Batch"));
        if (!m_rightButtonDown)
            LaunchNewBatchDlg();
    } else {
        LoadBatchItemsCtrl(id);
    }
    m_rightButtonDown = false;
}

void BatchWindow::OnBatchListCtrlDeselected(wxListEvent&)
{
    if (m_sorting)
        return;
    m_currentBatchId = -2;
    m_itemsList->DeleteAllItems();
    SetItemsHeading(wxS("Batch"));
}

void BatchWindow::OnBatchListCtrlLeftDown(wxMouseEvent& event)
{
    long rightOfColumn0 = 0;
    const long row = GetSelectedBatchItemId(event.GetPosition(), m_batchesList, &rightOfColumn0);
    if (row < 0 || rightOfColumn0) {
        event.Skip();
        return;
    }
    // The status column: select the row (as a click would), then flip it.
    // A batch whose items could not be read is not flipped: the click has
    // failed, and the user has been told once.
    const int id = BatchIdOfRow(row);
    if (id != m_currentBatchId || SelectedBatchRow() != row) {
        m_batchesList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                    wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        if (m_itemsUnreadable)
            return;
    }
    if (id != -1) {
        wxCommandEvent none;
        OnEnableBatchToggleClick(none);
    }
}

void BatchWindow::OnBatchListRightDown(wxMouseEvent& event)
{
    m_rightButtonDown = true;
    const long row = GetSelectedBatchItemId(event.GetPosition(), m_batchesList, nullptr);
    if (row < 0)
        return;
    m_batchesList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    event.Skip();
}

void BatchWindow::OnEnableBatchToggleClick(wxCommandEvent&)
{
    const long row = SelectedBatchRow();
    if (row < 0) {
        Tell(wxS("No batch is selected"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    const int id = BatchIdOfRow(row);
    if (id == -1)
        return;
    int status = 0;
    if (tw::Guarded(this, [&] { status = CBatchFolder::Instance()->ToggleBatchEnable(id); }))
        m_batchesList->SetItemImage(row, status != 0 ? 1 : 0);
}

void BatchWindow::LaunchNewBatchDlg()
{
    CBatch batch;
    if (DialogRunner()(batch, true) != wxID_OK)
        return;
    CBatchFolder* store = CBatchFolder::Instance();
    int stored = -1;
    {
        // The store logs a failure that it returns; the user sees it once,
        // in the box below.
        const tw::LogWithoutBox boxFollows;
        if (!tw::Guarded(this, [&] { stored = store->AddBatch(&batch, -1); }))
            return;
    }
    if (stored < 0) {
        tw::MessageBox(store->LastAddError(), wxS("Error"), wxOK | wxICON_ERROR, tw::BoxParent(this));
        return;
    }
    tw::TheShell().AddEditBatchToBatchesListCtrl(&batch, -1);
}

// ---------------------------------------------------------------- items list

void BatchWindow::SetItemsHeading(const wxString& text)
{
    wxListItem column;
    column.SetMask(wxLIST_MASK_TEXT);
    column.SetText(text);
    m_itemsList->SetColumn(0, column);
}

void BatchWindow::LoadBatchItemsCtrl(int batchId)
{
    m_itemsList->Freeze();
    m_itemsList->DeleteAllItems();
    m_itemsUnreadable = false;
    if (batchId < 0) {
        SetItemsHeading(wxS("Batch"));
        m_itemsList->Thaw();
        return;
    }
    tw::Shell& app = tw::TheShell();
    CBatch batch;
    m_itemsUnreadable = !tw::Guarded(this, [&] { batch = CBatchFolder::Instance()->GetBatchByIndex(batchId); });
    if (m_itemsUnreadable) {
        // Nothing shown that the store did not give.
        SetItemsHeading(wxS("Batch"));
        m_itemsList->Thaw();
        return;
    }
    // The download folder is made and read once for all the rows.
    if (!batch.info.folder.empty())
        CInit::MakeFolderIfNotExist(batch.info.folder);
    const tw::FolderListing folder(batch.info.folder);
    for (CFileInfo& item : batch.items) {
        CFileInfo found;
        CFileInfo* own = app.FindFileInfo(found, item.info.FileID);
        if (own)
            item.AppendToListCtrl(&batch, m_itemsList, own, &folder);
    }
    SetItemsHeading(batch.info.title);
    m_itemsList->Thaw();
}

void BatchWindow::OnBatchItemsListCtrlSelected(wxListEvent& event)
{
    if (m_sorting)
        return;
    m_lastSelectedList = m_itemsList;
    m_currentItem = RowItem(m_itemsList, event.GetIndex());
    EnableEditItems(true, true, true);
    m_rightButtonDown = false;
}

bool BatchWindow::CurrentBatchTakesItems()
{
    if (m_currentBatchId == -1) {
        Tell(wxS("Cannot add item to New Batch"), wxS("Notice"), wxOK | wxICON_ERROR);
        return false;
    }
    const long row = m_currentBatchId < 0 ? -1 : m_batchesList->FindItem(-1, static_cast<wxUIntPtr>(m_currentBatchId));
    if (row < 0) {
        Tell(wxS("No batch is selected"), wxS("Notice"), wxOK | wxICON_ERROR);
        return false;
    }
    return true;
}

void BatchWindow::ToggleItemCheck(long row)
{
    CFileInfo* item = RowItem(m_itemsList, row);
    if (!item)
        return;
    if (m_currentBatchId < 0 || m_batchesList->FindItem(-1, static_cast<wxUIntPtr>(m_currentBatchId)) < 0) {
        TellLater(m_currentBatchId == -1 ? wxS("Cannot add item to New Batch") : wxS("No batch is selected"));
        return;
    }
    const int status = RowImage(m_itemsList, row) == 1 ? 0 : 1;
    if (tw::Guarded(this, [&] { CBatchFolder::Instance()->SetBatchItemStatus(status, m_currentBatchId, item->info.FileID); }))
        m_itemsList->SetItemImage(row, status);
}

void BatchWindow::OnBatchItemsLeftDown(wxMouseEvent& event)
{
    long rightOfColumn0 = 0;
    const long row = GetSelectedBatchItemId(event.GetPosition(), m_itemsList, &rightOfColumn0);
    if (row >= 0 && !rightOfColumn0)
        ToggleItemCheck(row);
    event.Skip();
}

void BatchWindow::OnBatchItemsLeftDClick(wxMouseEvent& event)
{
    long rightOfColumn0 = 0;
    const long row = GetSelectedBatchItemId(event.GetPosition(), m_itemsList, &rightOfColumn0);
    if (row >= 0 && rightOfColumn0)
        ViewBatchItem(row);
}

void BatchWindow::OnItemsListRightDown(wxMouseEvent& event)
{
    m_rightButtonDown = true;
    const long row = GetSelectedBatchItemId(event.GetPosition(), m_itemsList, nullptr);
    if (row < 0)
        return;
    // The row also becomes the list's current row: a list without one takes
    // the press as a click beside its rows and asks for a context menu of its
    // own, after the one the toolkit asks for (the menu opened twice).
    m_itemsList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                              wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    event.Skip();
}

// ---------------------------------------------------------------- sorting

void BatchWindow::OnBatchListCtrlColLeftClick(wxListEvent& event)
{
    SortList(m_batchesList, event.GetColumn());
}

void BatchWindow::OnBatchItemsListCtrlColLeftClick(wxListEvent& event)
{
    SortList(m_itemsList, event.GetColumn());
}

void BatchWindow::SortList(wxListCtrl* list, int column)
{
    if (!list || column < 0 || column >= list->GetColumnCount())
        return;
    tw::Shell& app = tw::TheShell();
    const bool items = list == m_itemsList;
    ListSortInfo& info = items ? app.itemsListSortInfo : app.batchesListSortInfo;
    info.listName = items ? wxS("BatchItemsList") : wxS("BatchList");
    info.listCtrl = items ? app.sortedItemsListCtrl : app.batchesListCtrl;
    info.ascending = column != info.sortColumn ? true : !info.ascending;
    info.sortColumn = column;

    SortSnapshot sort;
    sort.rule = tw::LibrarySortRuleFor(items, column);
    sort.ascending = info.ascending;

    // Creation dates as stored, not read back from the shown text.
    std::unordered_map<long, long long> created;
    wxSQLite3Database* db = app.GetUserDb();
    if (sort.rule == tw::LibrarySortRule::Day && db && db->IsOpen()) {
        try {
            wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT ID,create_date FROM batches");
            while (rs.NextRow())
                created[rs.GetInt(0)] = rs.GetInt64(1, -1).GetValue();
            rs.Finalize();
        } catch (const wxSQLite3Exception& e) {
            wxLogError("%s", e.GetMessage());
        }
    }

    std::vector<wxUIntPtr> selected;
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const wxUIntPtr data = list->GetItemData(row);
        if (list->GetItemState(row, wxLIST_STATE_SELECTED))
            selected.push_back(data);
        const wxIntPtr key = static_cast<wxIntPtr>(data);
        if (sort.keys.count(key))
            continue;   // a row is known by the first row with its data
        tw::LibrarySortKey& k = sort.keys[key];
        k.newBatchRow = !items && key == -1;
        switch (sort.rule) {
        case tw::LibrarySortRule::Image:
            k.image = RowImage(list, row);
            break;
        case tw::LibrarySortRule::Size:
            k.size = tw::LibrarySizeValue(list->GetItemText(row, column));
            break;
        case tw::LibrarySortRule::Day: {
            const auto found = created.find(static_cast<long>(key));
            k.day = found != created.end() ? tw::LibraryCreationDay(found->second) : -1;
            break;
        }
        case tw::LibrarySortRule::Text:
            k.text = list->GetItemText(row, column);
            break;
        }
    }

    // Sorting deselects every row; the selection comes back afterwards
    // without running the selection handlers again.
    m_sorting = true;
    list->SortItems(ListItemCompare, reinterpret_cast<wxIntPtr>(&sort));
    for (long row = 0; row < list->GetItemCount() && !selected.empty(); ++row) {
        const wxUIntPtr data = list->GetItemData(row);
        if (std::find(selected.begin(), selected.end(), data) != selected.end()) {
            list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            if (!items) {
                list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
                list->EnsureVisible(row);
                break;
            }
        }
    }
    m_sorting = false;
}

// ---------------------------------------------------------------- keys and clipboard

void BatchWindow::OnChar(wxKeyEvent& event)
{
    // The Edit commands queue their keys here: handled outside any toolkit
    // callback, an exception would end the program rather than reach the
    // application, so what they meet is told here.
    tw::Guarded(this, [&] { OnKeyDown(event); });
}

void BatchWindow::OnKeyDown(wxKeyEvent& event)
{
    wxObject* source = event.GetEventObject();
    switch (tw::LibraryKeyAction(event.GetKeyCode(), event.ControlDown())) {
    case tw::LibraryKey::PassOn:
        event.Skip();
        break;
    case tw::LibraryKey::Consume:
        break;
    case tw::LibraryKey::Copy:
        CopySelectedItems();
        break;
    case tw::LibraryKey::Cut:
        CopySelectedItems();
        if (!DeleteSelection(source))
            event.Skip();
        break;
    case tw::LibraryKey::Delete:
        if (!DeleteSelection(source))
            event.Skip();
        break;
    case tw::LibraryKey::Paste:
        PasteClipboard();
        break;
    }
}

void BatchWindow::CopySelectedItems()
{
    if (m_lastSelectedList != m_itemsList || !m_currentItem)
        return;
    m_itemClipboard.Empty();
    for (long row : SelectedRows(m_itemsList)) {
        if (const CFileInfo* item = RowItem(m_itemsList, row))
            m_itemClipboard.Add(*item);
    }
}

void BatchWindow::PasteClipboard()
{
    if (m_itemClipboard.GetCount() == 0) {
        Tell(wxS("Nothing in Clipboard"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    if (!CurrentBatchTakesItems())
        return;
    tw::Shell& app = tw::TheShell();
    CBatchFolder* store = CBatchFolder::Instance();
    tw::Guarded(this, [&] {
        CBatch batch = store->GetBatchByIndex(m_currentBatchId);
        for (const CFileInfo& copied : m_itemClipboard) {
            CFileInfo item;
            // The row refers to the catalogue's own item, which outlives the clipboard.
            CFileInfo* own = app.FindFileInfo(item, copied.info.FileID);
            if (!own || store->ItemIsInBatch(m_currentBatchId, item.info.FileID))
                continue;
            item.info.status = 1;
            // Listed once stored.
            store->AddItemToBatch(m_currentBatchId, item.info.FileID, 1);
            item.AppendToListCtrl(&batch, m_itemsList, own);
        }
    });
}

bool BatchWindow::DeleteSelection(wxObject* source)
{
    const long row = SelectedBatchRow();
    if (row < 0) {
        Tell(wxS("No batch is selected"), wxS("Message"), wxOK | wxCENTRE);
        return true;
    }
    const int id = BatchIdOfRow(row);
    const wxString title = m_batchesList->GetItemText(row, 1);
    // Typed in the batches list it deletes the batch; typed in the items
    // list, or posted by the Edit menu (no source) after an item was
    // selected, the selected items; posted after a batch was selected, the
    // batch.
    const bool fromBatchesList = source == m_batchesList;
    const bool batch = fromBatchesList || (!source && m_lastSelectedList == m_batchesList);
    if (batch) {
        if (id <= 2) {
            const wxString name = id == 2   ? wxS("Wizard")
                                  : id == 1 ? wxS("Basic")
                                  : id == 0 ? wxS("Global")
                                            : wxS("This");
            Tell(name + wxS(" Batch cannot be deleted"), wxS("Message"), wxOK | wxCENTRE);
            return !fromBatchesList;
        }
        if (m_lastSelectedList == m_batchesList)
            DeleteBatchRow(row, id, title);
        return true;
    }
    if (m_lastSelectedList == m_itemsList)
        DeleteSelectedItems(id, title);
    return true;
}

bool BatchWindow::DeleteBatchRow(long row, int id, const wxString& title)
{
    // Only a plain Yes deletes: Escape and the close box keep the batch.
    if (Tell(wxS("Delete ") + title + wxS(" and everything in it?"), wxS("Confirm Delete"),
             wxYES_NO | wxNO_DEFAULT) != wxYES)
        return false;
    if (!tw::Guarded(this, [&] { CBatchFolder::Instance()->DeleteBatch(id); }))
        return false;
    m_batchesList->DeleteItem(row);
    // The items shown were the deleted batch's.
    ForgetCurrentBatch();
    return true;
}

void BatchWindow::DeleteSelectedItems(int id, const wxString& title)
{
    if (Tell(wxS("Delete selected item(s) from ") + title + wxS("?"), wxS("Confirm Delete"),
             wxYES_NO | wxNO_DEFAULT) != wxYES)
        return;
    if (id < 0)
        return;   // the "New Batch" row holds no items
    CBatchFolder* store = CBatchFolder::Instance();
    wxSQLite3Database* db = store->GetDatabase();
    // All the selected items go, or none: the list keeps showing what the
    // store holds.
    const bool deleted = tw::Guarded(this, [&] {
        wxSQLite3Transaction transaction(db);
        for (long row : SelectedRows(m_itemsList)) {
            if (const CFileInfo* item = RowItem(m_itemsList, row))
                store->DeleteBatchItem(id, item->info.FileID);
        }
        transaction.Commit();
    });
    if (deleted)
        LoadBatchItemsCtrl(id);
}
