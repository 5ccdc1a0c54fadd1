// The Library window's two lists: filling them from the store, selection,
// the status and check columns, sorting, and the clipboard keys.
#include <algorithm>
#include <set>

#include <wx/menu.h>

#include "LibraryFixtures.h"

using namespace library_test;
using tw::test::AnswerBox;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

std::vector<int> BatchIds(BatchWindow* window)
{
    std::vector<int> ids;
    for (long row = 0; row < window->m_batchesList->GetItemCount(); ++row)
        ids.push_back(window->BatchIdOfRow(row));
    return ids;
}

std::vector<wxString> ItemIds(BatchWindow* window)
{
    std::vector<wxString> ids;
    for (long row = 0; row < window->m_itemsList->GetItemCount(); ++row)
        ids.push_back(reinterpret_cast<CFileInfo*>(window->m_itemsList->GetItemData(row))->info.FileID);
    return ids;
}

wxString Heading(wxListCtrl* list, int column)
{
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    list->GetColumn(column, item);
    return item.GetText();
}

void ClickHeading(wxListCtrl* list, int column)
{
    wxListEvent event(wxEVT_LIST_COL_CLICK, list->GetId());
    event.SetEventObject(list);
    event.m_col = column;
    list->GetEventHandler()->ProcessEvent(event);
    Pump(10);
}

bool EditEnabled(BatchWindow* window, int id)
{
    return window->GetMenuBar()->IsEnabled(id);
}

CFileInfo* Catalogued(const wxString& id)
{
    CFileInfo copy;
    return wxGetApp().FindFileInfo(copy, id);
}

} // namespace

TEST_F(LibraryTest, BatchesListShowsNewBatchThenTheStoredBatches)
{
    Open();
    wxListCtrl* list = window->m_batchesList;
    // Rows 0 and 1 (global, Basic) are not listed; the Wizard batch is.
    EXPECT_EQ(BatchIds(window), (std::vector<int>{-1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Column(list, 1),
              (std::vector<wxString>{"New Batch", "Wizard Batch", "Alpha", "beta", "Gamma", "Undated"}));
    EXPECT_EQ(Text(list, 0, 2), " ");
    EXPECT_EQ(Text(list, 0, 3), "click me!");
    EXPECT_EQ(Text(list, 2, 3), "About Alpha");
    // Folders: red for disabled (and the "New Batch" row), green for enabled.
    const int images[] = {0, 1, 1, 0, 1, 1};
    for (long row = 0; row < 6; ++row)
        EXPECT_EQ(Image(list, row), images[row]) << row;
    // Dates are the local date of the stored instant; none for -1.
    EXPECT_EQ(Text(list, 2, 2), wxDateTime(15, wxDateTime::Mar, 2024).FormatDate());
    EXPECT_EQ(Text(list, 5, 2), "");
    // The same row written from the store's record (a stored -1 is an
    // instant before 1970 there): still no date, not 1969.
    CBatch undated = CBatchFolder::Instance()->GetBatchByIndex(6);
    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&undated, 5));
    EXPECT_EQ(Text(list, 5, 2), "");
    EXPECT_EQ(Text(list, 5, 1), "Undated");
    EXPECT_EQ(window->m_itemsList->GetItemCount(), 0);
    EXPECT_EQ(window->m_currentBatchId, -2);

    // Without user batches (and without the Wizard batch) only "New Batch".
    Close();
    app.userDb->ExecuteUpdate("DELETE FROM batches WHERE ID>1");
    Open();
    EXPECT_EQ(BatchIds(window), std::vector<int>{-1});
}

TEST_F(LibraryTest, SelectingABatchShowsItsItems)
{
    // G1 has been downloaded into Alpha's folder.
    ASSERT_TRUE(wxFileName::Mkdir(dir / "Alpha", 0700, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(tw::test::WriteFile(dir / "Alpha/G1.grb", "GRIB"));
    const wxString fetched = wxFileName(dir / "Alpha/G1.grb").GetModificationTime().Format("%y-%m-%d %H:%M");
    Open();
    wxListCtrl* items = window->m_itemsList;
    ClickRow(window->m_batchesList, RowOfBatch(3));
    EXPECT_EQ(window->m_currentBatchId, 3);
    EXPECT_EQ(window->m_lastSelectedList, window->m_batchesList);
    // Stored order G1, GONE, W1: the item the catalogue lacks is left out
    // (and kept in the store), the last stored is on top.
    EXPECT_EQ(ItemIds(window), (std::vector<wxString>{"W1", "G1"}));
    EXPECT_EQ(ItemRows(3, "GONE"), 1);
    EXPECT_EQ(Heading(items, 0), "Alpha");
    EXPECT_EQ(Image(items, 0), 0);
    EXPECT_EQ(Image(items, 1), 1);
    const wxString row[] = {"", "Surface chart", "W1.grb", "  N/A   ", "Chart", "$0.75", "80Kb", "About Surface chart"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(Text(items, 0, c), row[c]) << c;
    EXPECT_EQ(items->GetItemData(1), reinterpret_cast<wxUIntPtr>(Catalogued("G1")));
    EXPECT_EQ(Text(items, 1, 3), fetched);
    EXPECT_FALSE(EditEnabled(window, ID_BATCH_COPY));
    EXPECT_FALSE(EditEnabled(window, ID_BATCH_PASTE));
    EXPECT_TRUE(EditEnabled(window, ID_BATCH_DELETE_ITEMS));

    // An item row: the current item, and every Edit command.
    ClickRow(items, RowOfItem("G1"), 2);
    EXPECT_EQ(window->m_currentItem, Catalogued("G1"));
    EXPECT_EQ(window->m_lastSelectedList, items);
    for (int id : {ID_BATCH_COPY, ID_BATCH_PASTE, ID_BATCH_DELETE_ITEMS})
        EXPECT_TRUE(EditEnabled(window, id)) << id;

    // Another batch: its items, and no current item any more.
    ClickRow(window->m_batchesList, RowOfBatch(4));
    EXPECT_EQ(window->m_currentBatchId, 4);
    EXPECT_EQ(window->m_currentItem, nullptr);
    EXPECT_EQ(ItemIds(window), (std::vector<wxString>{"G3", "G2"}));
    EXPECT_EQ(Heading(items, 0), "beta");

    // No batch selected: nothing shown.
    window->m_batchesList->SetItemState(RowOfBatch(4), 0, wxLIST_STATE_SELECTED);
    EXPECT_EQ(window->m_currentBatchId, -2);
    EXPECT_EQ(items->GetItemCount(), 0);
}

// The "New Batch" row opens the batch dialog when selected, unless a right
// press selected it; on OK the new batch is stored and listed last.
TEST_F(LibraryTest, NewBatchRowOpensTheBatchDialog)
{
    int dialogs = 0;
    BatchWindow::SetBatchDialogRunner([&](CBatch& batch, bool isNew) {
        ++dialogs;
        EXPECT_TRUE(isNew);
        batch.info.title = "Delta";
        batch.info.description = "About Delta";
        batch.info.status = 1;
        batch.info.create_date = wxDateTime::Now();   // as the dialog does
        return static_cast<int>(wxID_OK);
    });
    Open();
    wxListCtrl* list = window->m_batchesList;

    Mouse(list, wxEVT_RIGHT_DOWN, RowPoint(list, 0, 1));
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(window->m_currentBatchId, -1);
    EXPECT_EQ(window->m_itemsList->GetItemCount(), 0);
    EXPECT_FALSE(window->m_rightButtonDown) << "the selection it made clears it";

    ClickRow(list, RowOfBatch(3));
    ClickRow(list, 0, 3);
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(list->GetItemCount(), 7);
    EXPECT_EQ(Text(list, 6, 1), "Delta");
    EXPECT_EQ(window->BatchIdOfRow(0), -1);
    const int id = window->BatchIdOfRow(6);
    EXPECT_EQ(Query(wxString::Format("SELECT count(*) FROM batches WHERE ID=%d AND title='Delta'", id)), 1);
    EXPECT_EQ(Text(list, 6, 2), wxDateTime::Now().FormatDate());

    // Cancel stores nothing.
    BatchWindow::SetBatchDialogRunner([&](CBatch&, bool) {
        ++dialogs;
        return static_cast<int>(wxID_CANCEL);
    });
    ClickRow(list, RowOfBatch(3));
    ClickRow(list, 0, 0);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(list->GetItemCount(), 7);
}

// A press on the status column selects the batch and flips its enabled state
// in the store and in the folder picture; other columns only select.
TEST_F(LibraryTest, StatusColumnFlipsTheBatch)
{
    int dialogs = 0;
    BatchWindow::SetBatchDialogRunner([&](CBatch&, bool) {
        ++dialogs;
        return static_cast<int>(wxID_CANCEL);
    });
    Open();
    wxListCtrl* list = window->m_batchesList;
    const long beta = RowOfBatch(4);
    ClickRow(list, beta, 0);
    EXPECT_EQ(window->m_currentBatchId, 4);
    EXPECT_EQ(Selected(list), std::vector<long>{beta});
    EXPECT_EQ(Query("SELECT status FROM batches WHERE ID=4"), 1);
    EXPECT_EQ(Image(list, beta), 1);
    ClickRow(list, beta, 0);
    EXPECT_EQ(Query("SELECT status FROM batches WHERE ID=4"), 0);
    EXPECT_EQ(Image(list, beta), 0);
    ClickRow(list, beta, 1);
    EXPECT_EQ(Query("SELECT status FROM batches WHERE ID=4"), 0);

    // "New Batch": selected (the dialog opens), never flipped.
    ClickRow(list, 0, 0);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Image(list, 0), 0);
    // Below the rows nothing is flipped or opened (the list itself may
    // clear its selection).
    Mouse(list, wxEVT_LEFT_DOWN, BelowRows(list));
    EXPECT_EQ(dialogs, 1);
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(Image(list, row), window->BatchIdOfRow(row) == -1 || window->BatchIdOfRow(row) == 4 ? 0 : 1);

    // The menu command with no batch selected says so.
    list->SetItemState(0, 0, wxLIST_STATE_SELECTED);
    wxCommandEvent toggle(wxEVT_MENU, ID_BATCH_ENABLE_TOGGLE);
    window->GetEventHandler()->ProcessEvent(toggle);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "No batch is selected");
    EXPECT_EQ(Ui().boxes[0].caption, "Notice");
    EXPECT_EQ(Ui().boxes[0].parent, window) << "over the window the user works in";
}

// A press on an item's check column flips its stored status and its box,
// and the row is selected too; a press elsewhere on the row only selects.
TEST_F(LibraryTest, CheckColumnFlipsTheItem)
{
    Open();
    ClickRow(window->m_batchesList, RowOfBatch(3));
    wxListCtrl* items = window->m_itemsList;
    const long w1 = RowOfItem("W1");
    ClickRow(items, w1, 0);
    EXPECT_EQ(ItemStatus(3, "W1"), 1);
    EXPECT_EQ(Image(items, w1), 1);
    EXPECT_EQ(Selected(items), std::vector<long>{w1});
    ClickRow(items, w1, 0);
    EXPECT_EQ(ItemStatus(3, "W1"), 0);
    EXPECT_EQ(Image(items, w1), 0);

    const long g1 = RowOfItem("G1");
    ClickRow(items, g1, 1);
    EXPECT_EQ(ItemStatus(3, "G1"), 1);
    EXPECT_EQ(Image(items, g1), 1);
    EXPECT_EQ(Selected(items), std::vector<long>{g1});
    Mouse(items, wxEVT_LEFT_DOWN, BelowRows(items));
    EXPECT_EQ(ItemStatus(3, "W1"), 0);
    EXPECT_EQ(ItemStatus(3, "G1"), 1);

    // Scrolled sideways, the left edge shows another column: no flip there.
    items->Scroll(10, -1);   // scroll units of the list
    Pump(30);
    ASSERT_GT(items->CalcUnscrolledPosition(wxPoint(0, 0)).x, items->GetColumnWidth(0));
    Mouse(items, wxEVT_LEFT_DOWN, wxPoint(10, RowPoint(items, w1, 0).y));
    EXPECT_EQ(ItemStatus(3, "W1"), 0);
    EXPECT_EQ(Image(items, w1), 0);
}

// Sorting by a column heading: the rule of each column, the direction
// flipping on a second click, "New Batch" first both ways, and the selected
// batch still selected (with its items) afterwards.
TEST_F(LibraryTest, SortingByColumns)
{
    StoreBatches({{7, "Sizes", LocalSeconds(1, wxDateTime::Feb, 2024, 12), 1,
                   {{"G1", 1}, {"G2", 0}, {"G3", 1}, {"W1", 1}}}});
    Open();
    wxListCtrl* batches = window->m_batchesList;
    wxListCtrl* items = window->m_itemsList;
    ClickRow(batches, RowOfBatch(7));
    ASSERT_EQ(items->GetItemCount(), 4);

    struct Case {
        const char* name;
        bool itemsList;
        int column;
        std::vector<wxString> first, second;   // the column's texts after one click and after two
    };
    const Case cases[] = {
        {"size as a number", true, 6, {"9Kb", "12Kb", "80Kb", "120Kb"}, {"120Kb", "80Kb", "12Kb", "9Kb"}},
        {"price as text", true, 5, {"$0.75", "$1.50", "$10.00", "$9.00"}, {"$9.00", "$10.00", "$1.50", "$0.75"}},
        {"product ignoring case", true, 1, {"GFS gusts", "GFS rain", "GFS wind", "Surface chart"},
         {"Surface chart", "GFS wind", "GFS rain", "GFS gusts"}},
        {"batch name ignoring case, New Batch first", false, 1,
         {"New Batch", "Alpha", "beta", "Gamma", "Sizes", "Undated", "Wizard Batch"},
         {"New Batch", "Wizard Batch", "Undated", "Sizes", "Gamma", "beta", "Alpha"}},
    };
    auto checkSortState = [&](bool itemsList, int column, bool ascending) {
        const ListSortInfo& info = itemsList ? app.itemsListSortInfo : app.batchesListSortInfo;
        EXPECT_EQ(info.listName, itemsList ? "BatchItemsList" : "BatchList");
        EXPECT_EQ(info.sortColumn, column);
        EXPECT_EQ(info.ascending, ascending);
        // Sorting never loses the shown batch.
        EXPECT_EQ(window->m_currentBatchId, 7);
        EXPECT_EQ(Selected(batches), std::vector<long>{RowOfBatch(7)});
        EXPECT_EQ(items->GetItemCount(), 4);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wxListCtrl* list = c.itemsList ? items : batches;
        ClickHeading(list, c.column);
        EXPECT_EQ(Column(list, c.column), c.first);
        checkSortState(c.itemsList, c.column, true);
        ClickHeading(list, c.column);
        EXPECT_EQ(Column(list, c.column), c.second);
        checkSortState(c.itemsList, c.column, false);
    }

    // Pictures: the unticked item (G2) and the disabled batch (beta) first,
    // then last; "New Batch" stays on top.
    ClickHeading(items, 0);
    EXPECT_EQ(ItemIds(window).front(), "G2");
    ClickHeading(items, 0);
    EXPECT_EQ(ItemIds(window).back(), "G2");
    ClickHeading(batches, 0);
    EXPECT_EQ(BatchIds(window)[0], -1);
    EXPECT_EQ(BatchIds(window)[1], 4);
    ClickHeading(batches, 0);
    EXPECT_EQ(BatchIds(window)[0], -1);
    EXPECT_EQ(BatchIds(window).back(), 4);
    checkSortState(false, 0, false);

    // Creation dates by day as stored: the newest first on the first click;
    // two batches of one day compare equal; no date is older than any.
    ClickHeading(batches, 2);
    std::vector<int> ids = BatchIds(window);
    EXPECT_EQ(ids.front(), -1);
    EXPECT_EQ(ids[1], 2);   // 2025
    EXPECT_EQ(std::set<int>(ids.begin() + 2, ids.begin() + 4), (std::set<int>{3, 4}));   // both 2024-03-15
    EXPECT_EQ(ids[4], 7);   // 2024-02-01
    EXPECT_EQ(ids[5], 5);   // 2023
    EXPECT_EQ(ids[6], 6);   // none
    ClickHeading(batches, 2);
    ids = BatchIds(window);
    EXPECT_EQ(ids.front(), -1);
    EXPECT_EQ(ids[1], 6);
    EXPECT_EQ(ids.back(), 2);
    EXPECT_EQ(window->m_currentBatchId, 7);
    EXPECT_EQ(Selected(batches), std::vector<long>{RowOfBatch(7)});
}

// The keys in the lists and the Edit commands, each from a fresh store:
// (key, Ctrl, list typed in, list selected last) -> store and messages.
TEST_F(LibraryTest, KeyTable)
{
    enum Source { Batches, Items, Posted };
    struct Case {
        const char* name;
        int batch;                 // batch row to select (0: none)
        const char* item;          // item row to select after it (nullptr: none)
        const char* clipboard;     // copied (Ctrl+C on that item of batch 3) before
        int key;
        bool ctrl;
        Source source;
        int answer;                // to a question
        const char* message;       // the one message shown (nullptr: none)
        std::vector<wxString> clipboardAfter;
        std::function<void(LibraryTest&)> check;
    };
    auto stays = [](int batch, const char* id, int rows) {
        return [=](LibraryTest& t) { EXPECT_EQ(t.ItemRows(batch, id), rows) << batch << " " << id; };
    };
    const Case cases[] = {
        {"Ctrl+C copies the selected items", 3, "G1", nullptr, 'C', true, Items, 0, nullptr, {"G1"}, nullptr},
        {"F1 copies", 3, "W1", nullptr, 340, false, Items, 0, nullptr, {"W1"}, nullptr},
        {"C without Ctrl does nothing", 3, "G1", nullptr, 'c', false, Items, 0, nullptr, {}, nullptr},
        {"copy after a batch row keeps the clipboard", 4, nullptr, "G1", 'C', true, Batches, 0, nullptr, {"G1"},
         nullptr},
        {"Ctrl+V pastes into the shown batch", 4, nullptr, "G1", 'V', true, Batches, 0, nullptr, {"G1"},
         stays(4, "G1", 1)},
        {"F2 pastes", 5, nullptr, "W1", 341, false, Items, 0, nullptr, {"W1"}, stays(5, "W1", 1)},
        {"V without Ctrl does nothing", 4, nullptr, "G1", 'v', false, Batches, 0, nullptr, {"G1"},
         stays(4, "G1", 0)},
        {"paste with an empty clipboard", 4, nullptr, nullptr, 341, false, Items, 0, "Nothing in Clipboard", {},
         nullptr},
        {"paste into New Batch", -1, nullptr, "G1", 341, false, Posted, 0, "Cannot add item to New Batch", {"G1"},
         stays(-1, "G1", 0)},
        {"Delete in the items list asks; No keeps", 3, "G1", nullptr, 127, false, Items, wxNO,
         "Delete selected item(s) from Alpha?", {}, stays(3, "G1", 1)},
        {"Delete in the items list asks; Yes deletes", 3, "G1", nullptr, 127, false, Items, wxYES,
         "Delete selected item(s) from Alpha?", {}, stays(3, "G1", 0)},
        {"Edit menu Delete after an item: the items", 3, "W1", nullptr, 127, false, Posted, wxYES,
         "Delete selected item(s) from Alpha?", {}, stays(3, "W1", 0)},
        {"Delete in the batches list deletes the batch", 4, nullptr, nullptr, 127, false, Batches, wxYES,
         "Delete beta and everything in it?", {}, [](LibraryTest& t) {
             EXPECT_EQ(t.Query("SELECT count(*) FROM batches WHERE ID=4"), 0);
             EXPECT_EQ(t.ItemRows(4, "G2"), 0);
             EXPECT_EQ(t.RowOfBatch(4), -1);
         }},
        {"Edit menu Delete after a batch: the batch", 4, nullptr, nullptr, 127, false, Posted, wxNO,
         "Delete beta and everything in it?", {}, [](LibraryTest& t) { EXPECT_NE(t.RowOfBatch(4), -1); }},
        {"Ctrl+X in the batches list: no copy, delete", 4, nullptr, "W1", 'X', true, Batches, wxYES,
         "Delete beta and everything in it?", {"W1"}, [](LibraryTest& t) { EXPECT_EQ(t.RowOfBatch(4), -1); }},
        {"Ctrl+X in the items list: copy, delete", 3, "G1", nullptr, 'x', true, Items, wxYES,
         "Delete selected item(s) from Alpha?", {"G1"}, stays(3, "G1", 0)},
        {"X without Ctrl does nothing", 3, "G1", nullptr, 'X', false, Items, wxYES, nullptr, {}, stays(3, "G1", 1)},
        {"Delete on New Batch", -1, nullptr, nullptr, 127, false, Batches, 0, "This Batch cannot be deleted", {},
         nullptr},
        {"Delete on the Wizard batch", 2, nullptr, nullptr, 127, false, Batches, 0, "Wizard Batch cannot be deleted",
         {}, [](LibraryTest& t) { EXPECT_EQ(t.Query("SELECT count(*) FROM batches WHERE ID=2"), 1); }},
        {"Delete with no batch selected", 0, nullptr, nullptr, 127, false, Batches, 0, "No batch is selected", {},
         nullptr},
    };
    BatchWindow::SetBatchDialogRunner([](CBatch&, bool) { return static_cast<int>(wxID_CANCEL); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        if (c.clipboard) {
            ClickRow(window->m_batchesList, RowOfBatch(3));
            ClickRow(window->m_itemsList, RowOfItem(c.clipboard));
            Key(window->m_itemsList, 'C', true);
            ASSERT_EQ(window->m_itemClipboard.GetCount(), 1u);
        }
        if (c.batch != 0)
            ClickRow(window->m_batchesList, RowOfBatch(c.batch), 1);
        else
            window->DeselectAllBatches();
        if (c.item)
            ClickRow(window->m_itemsList, RowOfItem(c.item), 1);
        tw::test::ResetUi();
        if (c.answer)
            AnswerBox(c.answer);

        wxListCtrl* source = c.source == Batches ? window->m_batchesList
                             : c.source == Items ? window->m_itemsList
                                                 : nullptr;
        Key(source, c.key, c.ctrl);

        if (c.message) {
            ASSERT_EQ(Ui().boxes.size(), 1u);
            EXPECT_EQ(Ui().boxes[0].message, c.message);
        } else {
            EXPECT_TRUE(Ui().boxes.empty()) << Ui().boxes[0].message;
        }
        std::vector<wxString> clipboard;
        for (const CFileInfo& item : window->m_itemClipboard)
            clipboard.push_back(item.info.FileID);
        EXPECT_EQ(clipboard, c.clipboardAfter);
        if (c.check)
            c.check(*this);
    }
}

// Pasting a clipboard twice into one batch adds its items once; rows refer
// to the catalogue's own items, not to the clipboard's copies.
TEST_F(LibraryTest, PastingTwiceAddsNothingTheSecondTime)
{
    Open();
    ClickRow(window->m_batchesList, RowOfBatch(4));
    window->m_itemsList->SetItemState(RowOfItem("G2"), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    window->m_itemsList->SetItemState(RowOfItem("G3"), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Key(window->m_itemsList, 'C', true);
    ASSERT_EQ(window->m_itemClipboard.GetCount(), 2u);

    ClickRow(window->m_batchesList, RowOfBatch(5));
    Key(window->m_itemsList, 'V', true);
    Key(window->m_itemsList, 'V', true);
    EXPECT_EQ(ItemRows(5, "G2"), 1);
    EXPECT_EQ(ItemRows(5, "G3"), 1);
    EXPECT_EQ(ItemStatus(5, "G2"), 1);
    EXPECT_EQ(window->m_itemsList->GetItemCount(), 2);
    for (long row = 0; row < 2; ++row) {
        auto* item = reinterpret_cast<CFileInfo*>(window->m_itemsList->GetItemData(row));
        EXPECT_EQ(item, Catalogued(item->info.FileID));
        EXPECT_EQ(Image(window->m_itemsList, row), 1);
    }
    EXPECT_TRUE(Ui().boxes.empty());
}

// Once the shown batch is deleted nothing can be stored for it: the items
// list is empty, no batch is current, and a paste is refused.
TEST_F(LibraryTest, NothingIsStoredForADeletedBatch)
{
    Open();
    ClickRow(window->m_batchesList, RowOfBatch(3));
    ClickRow(window->m_itemsList, RowOfItem("G1"));
    Key(window->m_itemsList, 'C', true);
    ClickRow(window->m_batchesList, RowOfBatch(4));
    AnswerBox(wxYES);
    Key(window->m_batchesList, 127);
    EXPECT_EQ(window->m_currentBatchId, -2);
    EXPECT_EQ(window->m_itemsList->GetItemCount(), 0);
    EXPECT_EQ(Heading(window->m_itemsList, 0), "Batch");

    tw::test::ResetUi();
    Key(nullptr, kLibraryPasteKey);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "No batch is selected");
    EXPECT_EQ(Query("SELECT count(*) FROM batch_items WHERE batchID=4"), 0);
    EXPECT_EQ(Query("SELECT count(*) FROM batch_items WHERE batchID<0"), 0);
}

// The Edit menu's commands reach the keyboard handler through the window's
// queue, after the command has returned.
TEST_F(LibraryTest, EditMenuPostsKeys)
{
    Open();
    ClickRow(window->m_batchesList, RowOfBatch(3));
    ClickRow(window->m_itemsList, RowOfItem("W1"));
    wxCommandEvent copy(wxEVT_MENU, ID_BATCH_COPY);
    window->GetEventHandler()->ProcessEvent(copy);
    EXPECT_EQ(window->m_itemClipboard.GetCount(), 0u) << "not before the queue runs";
    Pump(20);
    ASSERT_EQ(window->m_itemClipboard.GetCount(), 1u);
    EXPECT_EQ(window->m_itemClipboard.Item(0).info.FileID, "W1");

    ClickRow(window->m_batchesList, RowOfBatch(5));
    wxCommandEvent paste(wxEVT_MENU, ID_ITEMS_CTX_PASTE);
    window->GetEventHandler()->ProcessEvent(paste);
    Pump(20);
    EXPECT_EQ(ItemRows(5, "W1"), 1);
}
