// Catalogue items dropped on the Library window's lists: every outcome of the
// two drop targets, called as the toolkit calls them at a row's point.
#include <wx/dnd.h>

#include "LibraryFixtures.h"
#include "windows/library/LibraryRules.h"

using namespace library_test;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

CFileInfo* Catalogued(const wxString& id)
{
    CFileInfo copy;
    return wxGetApp().FindFileInfo(copy, id);
}

// The item the race edition blanked (it has no file id).
CFileInfo* Blanked()
{
    return &wxGetApp().catalogue.Item(1).regions.Item(0).chartTypes.Item(0).files.Item(1);
}

} // namespace

TEST_F(LibraryTest, DropOnTheBatchesList)
{
    struct Case {
        const char* name;
        const char* text;
        int target;             // batch row dropped on; 0: below the rows
        CFileInfo* dragged;     // the last item dragged in this program
        bool taken;
        const char* message;    // shown after the drop (nullptr: none)
        const char* added;      // file id stored in the target with status 1
    };
    const Case cases[] = {
        {"text of another program", "hello", 4, nullptr, false, nullptr, nullptr},
        {"unknown file id", "TALVO_DATAFILE_NOPE", 4, nullptr, false, nullptr, nullptr},
        {"below the rows", "TALVO_DATAFILE_G4", 0, nullptr, true, "No batch is selected", nullptr},
        {"item blanked in the race edition", "TALVO_DATAFILE_", 4, Blanked(), true,
         "This product is unavailable in Race Mode", nullptr},
        {"bare prefix with no blanked item dragged", "TALVO_DATAFILE_", 4, Catalogued("G1"), false, nullptr,
         nullptr},
        {"onto New Batch", "TALVO_DATAFILE_G4", -1, nullptr, true, "Cannot add item to New Batch", nullptr},
        {"already in the batch", "TALVO_DATAFILE_G2", 4, Catalogued("G2"), true, "Item is already in this batch",
         nullptr},
        {"into another batch than the shown one", "TALVO_DATAFILE_G4", 4, Catalogued("G4"), true, nullptr, "G4"},
        {"the named item, not the last dragged one", "TALVO_DATAFILE_W1", 5, Catalogued("G1"), true, nullptr, "W1"},
        {"into the shown batch", "TALVO_DATAFILE_G4", 3, nullptr, true, nullptr, "G4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        ClickRow(window->m_batchesList, RowOfBatch(3));
        tw::test::ResetUi();
        app.draggedFileInfo = c.dragged;
        const int itemsBefore = Query("SELECT count(*) FROM batch_items");
        wxListCtrl* list = window->m_batchesList;
        const wxPoint at = c.target == 0 ? BelowRows(list) : RowPoint(list, RowOfBatch(c.target), 1);

        auto* target = static_cast<wxTextDropTarget*>(list->GetDropTarget());
        EXPECT_EQ(target->OnDropText(at.x, at.y, c.text), c.taken);
        EXPECT_TRUE(Ui().boxes.empty()) << "no message while the drag holds the pointer";
        Pump(30);
        if (c.message) {
            ASSERT_EQ(Ui().boxes.size(), 1u);
            EXPECT_EQ(Ui().boxes[0].message, c.message);
            EXPECT_EQ(Ui().boxes[0].caption, "Notice");
        } else {
            EXPECT_TRUE(Ui().boxes.empty());
        }
        if (!c.added) {
            EXPECT_EQ(Query("SELECT count(*) FROM batch_items"), itemsBefore);
            EXPECT_EQ(window->m_currentBatchId, 3);
            continue;
        }
        EXPECT_EQ(Query("SELECT count(*) FROM batch_items"), itemsBefore + 1);
        EXPECT_EQ(ItemStatus(c.target, c.added), 1);
        // The target batch is selected and shown with the new item, ticked.
        EXPECT_EQ(window->m_currentBatchId, c.target);
        EXPECT_EQ(Selected(list), std::vector<long>{RowOfBatch(c.target)});
        const long row = RowOfItem(c.added);
        ASSERT_GE(row, 0);
        EXPECT_EQ(Image(window->m_itemsList, row), 1);
        EXPECT_EQ(window->m_itemsList->GetItemData(row), reinterpret_cast<wxUIntPtr>(Catalogued(c.added)));
    }
}

TEST_F(LibraryTest, DropOnTheItemsList)
{
    struct Case {
        const char* name;
        const char* text;
        int selected;           // selected batch row (0: none)
        bool taken;
        const char* message;
        const char* added;
    };
    const Case cases[] = {
        {"text of another program", "G4", 3, false, nullptr, nullptr},
        {"unknown file id", "TALVO_DATAFILE_NOPE", 3, false, nullptr, nullptr},
        {"no batch selected", "TALVO_DATAFILE_G4", 0, true, "No batch is selected", nullptr},
        {"New Batch selected", "TALVO_DATAFILE_G4", -1, true, "Cannot add item to New Batch", nullptr},
        {"already in the batch", "TALVO_DATAFILE_W1", 3, true, "Item is already in this batch", nullptr},
        {"added on top of the shown items", "TALVO_DATAFILE_G4", 3, true, nullptr, "G4"},
    };
    BatchWindow::SetBatchDialogRunner([](CBatch&, bool) { return static_cast<int>(wxID_CANCEL); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        if (c.selected != 0)
            ClickRow(window->m_batchesList, RowOfBatch(c.selected));
        tw::test::ResetUi();
        const int itemsBefore = Query("SELECT count(*) FROM batch_items");
        const int rowsBefore = window->m_itemsList->GetItemCount();

        auto* target = static_cast<wxTextDropTarget*>(window->m_itemsList->GetDropTarget());
        EXPECT_EQ(target->OnDropText(5, 5, c.text), c.taken);
        EXPECT_TRUE(Ui().boxes.empty());
        Pump(30);
        if (c.message) {
            ASSERT_EQ(Ui().boxes.size(), 1u);
            EXPECT_EQ(Ui().boxes[0].message, c.message);
        } else {
            EXPECT_TRUE(Ui().boxes.empty());
        }
        if (!c.added) {
            EXPECT_EQ(Query("SELECT count(*) FROM batch_items"), itemsBefore);
            EXPECT_EQ(window->m_itemsList->GetItemCount(), rowsBefore);
            continue;
        }
        EXPECT_EQ(ItemStatus(c.selected, c.added), 1);
        ASSERT_EQ(window->m_itemsList->GetItemCount(), rowsBefore + 1);
        EXPECT_EQ(RowOfItem(c.added), 0);
        EXPECT_EQ(Image(window->m_itemsList, 0), 1);
        EXPECT_EQ(Selected(window->m_batchesList), std::vector<long>{RowOfBatch(c.selected)});
    }
}

// Without the registered batches list (its window is gone) a drop is refused
// and logged.
TEST_F(LibraryTest, DropWithoutTheListsIsRefused)
{
    Open();
    auto* onBatches = static_cast<wxTextDropTarget*>(window->m_batchesList->GetDropTarget());
    auto* onItems = static_cast<wxTextDropTarget*>(window->m_itemsList->GetDropTarget());
    wxListCtrl* registered = app.batchesListCtrl;
    app.batchesListCtrl = nullptr;
    EXPECT_FALSE(onBatches->OnDropText(5, 5, "TALVO_DATAFILE_G4"));
    EXPECT_TRUE(tw::test::LogContains("Batch folder drop encountered an error."));
    EXPECT_FALSE(onItems->OnDropText(5, 5, "TALVO_DATAFILE_G4"));
    EXPECT_TRUE(tw::test::LogContains("Batch item drop encountered an error."));
    app.batchesListCtrl = registered;
    EXPECT_EQ(Query("SELECT count(*) FROM batch_items WHERE productID='G4'"), 1);   // only batch 6's
}
