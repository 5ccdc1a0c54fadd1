// The Library window's batch commands sent as menu commands, checked on the
// batches list and the store: delete, enable and disable (one, all), delete
// the disabled ones, properties, the wizard's defaults, the archive switch,
// the content wizard and the windows the commands open.
#include <wx/aboutdlg.h>
#include <wx/dialog.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "CommandsFixtures.h"
#include "library/ModalDriver.h"
#include "windows/library/find.h"
#include "windows/library/wizardtreewindow.h"
#include "windows/transfer/connsettings.h"

using namespace commands_test;
using tw::test::AnswerBox;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

template <class T>
std::vector<T*> TopLevel()
{
    std::vector<T*> found;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* t = dynamic_cast<T*>(w); t && !t->IsBeingDeleted())
            found.push_back(t);
    return found;
}

} // namespace

// Delete (10025) by table: no row, the reserved rows, a user batch answered
// No and Yes.
TEST_F(LibraryApp, DeleteTable)
{
    struct Case {
        const char* name;
        int select;            // -2: none
        int answer;            // to the question, when asked
        const char* message;   // the notice or question shown
        const char* caption;
        bool deleted;
    };
    const Case cases[] = {
        {"no row", -2, 0, "No batch is selected", "Notice", false},
        {"the Wizard batch", 2, 0, "Cannot delete Wizard Batch", "Notice", false},
        {"the New Batch row", -1, 0, "Cannot delete New Batch", "Notice", false},
        {"a batch, answered No", 4, wxNO, "Delete Charts and everything in it?", "Confirm Delete", false},
        {"a batch, answered Yes", 4, wxYES, "Delete Charts and everything in it?", "Confirm Delete", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        library->DeselectAllBatches();
        if (c.select != -2)
            Select(c.select);
        if (c.answer)
            AnswerBox(c.answer);
        Command(ID_BATCH_DELETE_BATCH);
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_EQ(Ui().boxes[0].message, c.message);
        EXPECT_EQ(Ui().boxes[0].caption, c.caption);
        EXPECT_EQ(RowOf(4) < 0, c.deleted);
        EXPECT_EQ(Query("SELECT count(*) FROM batches WHERE ID=4"), c.deleted ? 0 : 1);
        EXPECT_EQ(Query("SELECT count(*) FROM batch_items WHERE batchID=4"), c.deleted ? 0 : 2);
    }
    EXPECT_EQ(Ids(), std::vector<int>({-1, 2, 3, 5}));
    EXPECT_EQ(library->m_currentBatchId, -2) << "the deleted batch's items are no longer shown";
    EXPECT_EQ(library->m_itemsList->GetItemCount(), 0);
}

// Enable All, Disable All and Delete All Disabled, from a table of starting
// states: the Wizard batch and "New Batch" always survive, and nothing is asked.
TEST_F(LibraryApp, EnableDisableAndDeleteDisabledTables)
{
    struct Case {
        const char* name;
        std::vector<int> start;      // stored statuses of batches 2, 3, 4, 5
        std::vector<int> commands;
        std::vector<int> rows;       // ids of the rows afterwards
        std::vector<int> after;      // stored statuses of 2, 3, 4, 5 (-1: deleted)
    };
    const std::vector<Case> cases = {
        {"enable all", {0, 1, 1, 0}, {ID_BATCH_CTX_ENABLE_ALL}, {-1, 2, 3, 4, 5}, {1, 1, 1, 1}},
        {"disable all", {1, 1, 1, 1}, {ID_BATCH_CTX_DISABLE_ALL}, {-1, 2, 3, 4, 5}, {0, 0, 0, 0}},
        {"delete the disabled", {0, 1, 0, 0}, {ID_BATCH_CTX_DELETE_DISABLED}, {-1, 2, 3}, {0, 1, -1, -1}},
        {"disable all, then delete", {1, 1, 1, 1}, {ID_BATCH_CTX_DISABLE_ALL, ID_BATCH_CTX_DELETE_DISABLED},
         {-1, 2}, {0, -1, -1, -1}},
        {"no user batch disabled", {0, 1, 1, 1}, {ID_BATCH_CTX_DELETE_DISABLED}, {-1, 2, 3, 4, 5}, {0, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The three user batches again, with the starting statuses, listed.
        app.GetUserDb()->ExecuteUpdate("DELETE FROM batches WHERE ID>2");
        for (const UserBatch& b : UserBatches())
            app.GetUserDb()->ExecuteUpdate(wxString::Format(
                "INSERT INTO batches (ID,title,status,create_date) VALUES (%d,'%s',1,1710496800)", b.id, b.title));
        for (int i = 0; i < 4; ++i)
            CBatchFolder::Instance()->SetBatchStatus(i + 2, c.start[i]);
        library->m_batchesList->DeleteAllItems();
        library->ForgetCurrentBatch();
        library->PopulateBatchesList();
        library->InsertNewBatchItem();
        tw::test::ResetUi();

        for (int id : c.commands)
            Command(id);
        EXPECT_EQ(Ids(), c.rows);
        std::vector<int> statuses;
        for (int id : {2, 3, 4, 5})
            statuses.push_back(Status(id));
        EXPECT_EQ(statuses, c.after);
        for (long row = 1; row < library->m_batchesList->GetItemCount(); ++row)
            EXPECT_EQ(RowImage(row), Status(library->BatchIdOfRow(row))) << "row " << row;
        EXPECT_TRUE(Ui().boxes.empty()) << "these commands ask nothing";
    }
}

// Enable/Disable (10064) flips the selected batch; with no row it says so;
// on "New Batch" nothing happens.
TEST_F(LibraryApp, EnableDisableOne)
{
    Select(4);
    Command(ID_BATCH_ENABLE_TOGGLE);
    EXPECT_EQ(Status(4), 0);
    EXPECT_EQ(RowImage(RowOf(4)), 0);
    Select(-1);
    Command(ID_BATCH_ENABLE_TOGGLE);
    EXPECT_TRUE(Ui().boxes.empty());
    library->DeselectAllBatches();
    Command(ID_BATCH_ENABLE_TOGGLE);
    EXPECT_TRUE(BoxShown("No batch is selected"));
}

// Properties (10065), Rename (10063), the context menu's Properties (9990)
// and Global Properties (10066).
TEST_F(LibraryApp, PropertiesCommands)
{
    const wxString created = library->m_batchesList->GetItemText(RowOf(3), 2);
    onDialog = [](CBatch& batch, bool) {
        batch.info.title += " (edited)";
        batch.info.description = "Edited";
        return static_cast<int>(wxID_OK);
    };
    // No row, and the "New Batch" row: messages for the menu items, silence
    // for the context menu's item; no dialog.
    library->DeselectAllBatches();
    for (int id : {ID_BATCH_PROPERTIES, ID_BATCH_RENAME_BATCH, ID_BATCH_CTX_PROPERTIES})
        Command(id);
    Select(-1);
    for (int id : {ID_BATCH_PROPERTIES, ID_BATCH_RENAME_BATCH, ID_BATCH_CTX_PROPERTIES})
        Command(id);
    ASSERT_EQ(Ui().boxes.size(), 4u);
    EXPECT_EQ(Ui().boxes[0].message, "No batch is selected");
    EXPECT_EQ(Ui().boxes[1].message, "No batch is selected");
    EXPECT_EQ(Ui().boxes[2].message, "Cannot change properties of New Batch");
    EXPECT_EQ(Ui().boxes[3].message, "Cannot change properties of New Batch");
    EXPECT_TRUE(dialogs.empty());

    // A user batch: stored and its row rewritten, with its creation date.
    Select(3);
    Command(ID_BATCH_RENAME_BATCH);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].id, 3);
    EXPECT_FALSE(dialogs[0].isNew);
    EXPECT_EQ(library->m_batchesList->GetItemText(RowOf(3), 1), "Passage (edited)");
    EXPECT_EQ(library->m_batchesList->GetItemText(RowOf(3), 3), "Edited");
    EXPECT_EQ(library->m_batchesList->GetItemText(RowOf(3), 2), created);
    EXPECT_EQ(Query("SELECT count(*) FROM batches WHERE ID=3 AND title='Passage (edited)' AND "
                    "create_date=1710496800"),
              1);
    Command(ID_BATCH_CTX_PROPERTIES);
    EXPECT_EQ(library->m_batchesList->GetItemText(RowOf(3), 1), "Passage (edited) (edited)");

    // Cancel stores nothing.
    onDialog = nullptr;
    Command(ID_BATCH_PROPERTIES);
    EXPECT_EQ(library->m_batchesList->GetItemText(RowOf(3), 1), "Passage (edited) (edited)");

    // The global batch: id 0, stored, no row.
    onDialog = [](CBatch& batch, bool) {
        batch.info.description = "Global edited";
        return static_cast<int>(wxID_OK);
    };
    const std::vector<int> rows = Ids();
    Command(ID_BATCH_GLOBAL_PROPERTIES);
    EXPECT_EQ(dialogs.back().id, 0);
    EXPECT_EQ(Query("SELECT count(*) FROM batches WHERE ID=0 AND description='Global edited'"), 1);
    EXPECT_EQ(Ids(), rows);
}

// New Batch (10058) through the real dialog's runner default: the real
// dialog, driven through its modal run, stores and lists the batch.
TEST_F(LibraryApp, NewBatchThroughTheRealDialog)
{
    BatchWindow::SetBatchDialogRunner({});
    library_test::ModalDriver driver;
    driver.On("NewBatch", [](wxDialog* d) {
        auto* name = dynamic_cast<wxTextCtrl*>(d->FindWindow(10034));
        name->ChangeValue("Offshore");
        library_test::Press(d, 10055);
    });
    Command(ID_BATCH_NEW_BATCH);
    ASSERT_EQ(driver.shown.size(), 1u);
    EXPECT_EQ(Titles().back(), "Offshore");
    const int id = Ids().back();
    EXPECT_GT(id, 5);
    EXPECT_TRUE(wxDirExists(Folder("Offshore")));
    EXPECT_EQ(Query(wxString::Format("SELECT count(*) FROM batches WHERE ID=%d AND folder='%s'", id,
                                     SqlEscape(Folder("Offshore")))),
              1);
}

// Reset Content Wizard Defaults: preferences written with their defaults,
// every buoy and zone unselected, nothing asked.
TEST_F(LibraryApp, ResetContentWizardDefaults)
{
    wxSQLite3Database* zones = app.GetMarineZonesDb();
    ASSERT_NE(zones, nullptr);
    zones->ExecuteUpdate("UPDATE Buoys SET selected=1");
    zones->ExecuteUpdate("UPDATE MZones SET selected=1");
    startup_test::WriteSetting("HomeLocation/ContentBox", "40");
    app.dlPrefs = DLPrefs();
    Command(ID_BATCH_WIZARD_DEFAULTS);
    EXPECT_EQ(startup_test::ReadSetting("HomeLocation/ContentBox"), "15");
    EXPECT_EQ(tw::test::QueryInt(tw::UserDataDir() + "/DB/MarineZones.db", "SELECT count(*) FROM Buoys WHERE selected<>0"),
              0);
    EXPECT_EQ(tw::test::QueryInt(tw::UserDataDir() + "/DB/MarineZones.db", "SELECT count(*) FROM MZones WHERE selected<>0"),
              0);
    EXPECT_GT(tw::test::QueryInt(tw::UserDataDir() + "/DB/MarineZones.db", "SELECT count(*) FROM Buoys"), 0);
    EXPECT_TRUE(Ui().boxes.empty());
}

// The archive switch: toggled twice the stored value is back; the tick
// always shows the stored value, also after the file changed elsewhere.
TEST_F(LibraryApp, ArchiveSwitchFollowsTheStoredSetting)
{
    auto tick = [this] {
        wxUpdateUIEvent update(ID_BATCH_ARCHIVE_FILES);
        update.SetEventObject(library);
        library->GetEventHandler()->ProcessEvent(update);
        EXPECT_TRUE(update.GetSetChecked());
        return update.GetChecked();
    };
    const bool before = CRegistry().m_archive;
    EXPECT_EQ(tick(), before);
    Command(ID_BATCH_ARCHIVE_FILES);
    EXPECT_EQ(CRegistry().m_archive, !before);
    EXPECT_EQ(tick(), !before);
    Command(ID_BATCH_ARCHIVE_FILES);
    EXPECT_EQ(CRegistry().m_archive, before);
    EXPECT_EQ(tick(), before);
    startup_test::WriteSetting("Misc/archive", before ? "0" : "1");
    EXPECT_EQ(tick(), !before);
}

// The content wizard: cancelled, the Library stays; finished, the saved
// Basic area is forgotten and the Portal replaces the Library.
TEST_F(LibraryApp, ContentWizard)
{
    app.SetBasicHomePosition(47, -122, 15);
    Command(ID_BATCH_TOOL_WIZARD);
    ASSERT_EQ(wizardCalls.size(), 1u);
    EXPECT_EQ(wizardCalls[0].parent, library);
    EXPECT_EQ(wizardCalls[0].page, 0);
    EXPECT_EQ(app.topWindow, library);
    EXPECT_TRUE(app.HasBasicHomePosition());

    wizardFinishes = true;
    wxWeakRef<wxFrame> ref(library);
    Command(ID_BATCH_CONTENT_WIZARD);
    EXPECT_TRUE(WaitFor([&] { return !ref; }));
    EXPECT_EQ(app.viewMode, TidewrightApp::kModePortal);
    EXPECT_FALSE(app.HasBasicHomePosition());
    EXPECT_NE(app.topWindow, nullptr);
    library = nullptr;
}

// The windows and dialogs the commands open.
TEST_F(LibraryApp, CommandsOpenTheirWindows)
{
    // Find (menu and tool): a new modeless dialog each time.
    Command(ID_BATCH_FIND);
    Command(ID_BATCH_TOOL_FIND);
    const std::vector<Find*> finds = TopLevel<Find>();
    ASSERT_EQ(finds.size(), 2u);
    for (Find* f : finds) {
        EXPECT_EQ(f->GetId(), ID_FIND);
        EXPECT_EQ(f->GetTitle(), "Find");
        EXPECT_EQ(f->GetParent(), library);
        EXPECT_TRUE(f->IsShown());
        EXPECT_FALSE(f->IsModal());
    }

    // Launch Wizard Download: the suggestions window, modeless.
    Command(ID_BATCH_WIZARD_DOWNLOAD);
    const std::vector<WizardTreeWindow*> trees = TopLevel<WizardTreeWindow>();
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_EQ(trees[0]->GetId(), ID_WIZARDTREEWINDOW);
    EXPECT_EQ(trees[0]->GetTitle(), "Wizard Content Suggestions");
    EXPECT_EQ(trees[0]->GetParent(), library);
    EXPECT_EQ(trees[0]->GetSize(), wxSize(700, 540));

    // Settings: the connection settings dialog, modal, then gone.
    {
        library_test::ModalDriver driver;
        Command(ID_BATCH_SETTINGS);
        ASSERT_EQ(driver.shown.size(), 1u);
        EXPECT_EQ(driver.shown[0].className, "ConnSettings");
        EXPECT_EQ(driver.shown[0].id, 10093);
        EXPECT_EQ(driver.shown[0].title, "Connection Settings");
    }
    EXPECT_TRUE(TopLevel<ConnSettings>().empty());

    // User Guide: no guide is installed here, which the user is told.
    Command(ID_BATCH_USER_GUIDE);
    EXPECT_EQ(Ui().boxes.size(), 1u);

    // The About box's record.
    const wxAboutDialogInfo about = BatchWindow::AboutInformation();
    EXPECT_EQ(about.GetName(), "TALVO Tidewright");
    EXPECT_EQ(about.GetVersion(), "3.05");
    EXPECT_EQ(about.GetDescription(),
              "Easy, reliable access to thousands of weather and ocean data spanning the globe         ");
    EXPECT_TRUE(about.HasCopyright());
    EXPECT_TRUE(about.HasWebSite());
    EXPECT_EQ(about.GetDevelopers().size(), 3u);
}

// Basic and Portal (menus and tools) leave the Library; Portal forgets the
// saved Basic area, Basic keeps it.
TEST_F(LibraryApp, ModeSwitches)
{
    app.SetBasicHomePosition(47, -122, 15);
    wxWeakRef<wxFrame> ref(library);
    Command(ID_BATCH_TOOL_BASIC);
    EXPECT_TRUE(WaitFor([&] { return !ref; }));
    EXPECT_EQ(app.viewMode, TidewrightApp::kModeBasic);
    EXPECT_TRUE(app.HasBasicHomePosition());

    app.ChangeWindowMode(TidewrightApp::kModeLibrary);
    library = dynamic_cast<BatchWindow*>(app.topWindow);
    ASSERT_NE(library, nullptr);
    ref = library;
    Command(ID_BATCH_PORTAL_MODE);
    EXPECT_TRUE(WaitFor([&] { return !ref; }));
    EXPECT_EQ(app.viewMode, TidewrightApp::kModePortal);
    EXPECT_FALSE(app.HasBasicHomePosition());
    library = nullptr;
}

// The window opens with the keyboard in the batches list: a Return typed
// right after the start stays in the Library and does not act as the first
// tool (Basic mode).
TEST_F(LibraryApp, OpensWithTheKeyboardInTheBatchesList)
{
    auto inBatchesList = [this] {
        for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent())
            if (w == library->m_batchesList)
                return true;
        return false;
    };
    // Without a window manager the keyboard goes where the pointer is: it
    // rests over the window (no click) as a user's would.
    library->Raise();
    wxUIActionSimulator keys;
    keys.MouseMove(library->GetScreenRect().GetBottomRight() - wxPoint(20, 20));
    EXPECT_TRUE(WaitFor([&] {
        return wxWindow::FindFocus() && wxGetTopLevelParent(wxWindow::FindFocus()) == library;
    }, 3000)) << "no control of the window has the keyboard focus";
    EXPECT_TRUE(inBatchesList()) << "focus on "
                                 << (wxWindow::FindFocus() ? wxWindow::FindFocus()->GetClassInfo()->GetClassName()
                                                           : L"nothing");

    wxWeakRef<wxFrame> ref(library);
    keys.Char(WXK_RETURN);
    Pump(300);
    ASSERT_TRUE(ref) << "Return switched the mode";
    EXPECT_EQ(app.topWindow, library);
    EXPECT_EQ(app.viewMode, TidewrightApp::kModeLibrary);
}
