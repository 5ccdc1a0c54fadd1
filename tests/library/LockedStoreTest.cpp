// The Library window's commands with the user database held by another
// program: every command leaves the program running, says so in one "Error"
// box, and the store and the lists keep agreeing (nothing removed from a
// list that is still stored, nothing listed that was not stored).
#include <functional>

#include "library/LibraryFixtures.h"

#include "model/BatchFile.h"
#include "windows/common/ErrorGate.h"

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/wxsqlite3.h>

namespace library_test {
namespace {

using tw::test::Ui;

class LockedStoreTest : public LibraryTest
{
public:
    // Everything the store holds, as text.
    wxString StoredState()
    {
        wxString text;
        for (const char* sql : {"SELECT ID,title,status FROM batches ORDER BY ID",
                                "SELECT batchID,productID,status FROM batch_items ORDER BY ID"}) {
            wxSQLite3ResultSet rs = app.userDb->ExecuteQuery(sql);
            while (rs.NextRow())
                text << rs.GetAsString(0) << "|" << rs.GetAsString(1) << "|" << rs.GetAsString(2) << "\n";
            rs.Finalize();
            text << "--\n";
        }
        return text;
    }
    // What both lists show: ids and their check or status pictures.
    wxString ListedState(bool items = true) const
    {
        wxString text;
        const wxListCtrl* batches = window->m_batchesList;
        for (long row = 0; row < batches->GetItemCount(); ++row)
            text << window->BatchIdOfRow(row) << ":" << Image(batches, row) << " ";
        text << "| ";
        if (!items)
            return text;
        const wxListCtrl* list = window->m_itemsList;
        for (long row = 0; row < list->GetItemCount(); ++row)
            text << reinterpret_cast<CFileInfo*>(list->GetItemData(row))->info.FileID << ":" << Image(list, row)
                 << " ";
        return text;
    }
    void Lock()
    {
        locker.Open(dir / "zir_user.db");
        locker.ExecuteUpdate("BEGIN EXCLUSIVE");
        // The program's own wait for a lock, shortened for the test.
        app.userDb->SetBusyTimeout(20);
    }
    void Unlock()
    {
        locker.ExecuteUpdate("ROLLBACK");
        locker.Close();
    }
    static int ErrorBoxes()
    {
        int n = 0;
        for (const auto& box : Ui().boxes)
            n += box.caption == "Error";
        return n;
    }
    void DropOn(wxListCtrl* list, const wxPoint& at, const wxString& text)
    {
        auto* target = static_cast<wxTextDropTarget*>(list->GetDropTarget());
        EXPECT_FALSE(target->OnDropText(at.x, at.y, text)) << "a drop the store refused is not taken";
        EXPECT_EQ(ErrorBoxes(), 0) << "no box while the drag holds the pointer";
    }

    // New Batch, its dialog answered OK with a title and folder.
    void NewBatchAnsweredOk()
    {
        BatchWindow::SetBatchDialogRunner([this](CBatch& batch, bool) {
            batch.info.title = "Fresh";
            batch.info.folder = dir / "Fresh";
            return static_cast<int>(wxID_OK);
        });
        window->LaunchNewBatchDlg();
    }

    wxSQLite3Database locker;
};

TEST_F(LockedStoreTest, EveryCommandOnALockedStoreKeepsTheProgramTheStoreAndTheLists)
{
    struct Case {
        const char* name;
        std::function<void(LockedStoreTest&)> prepare;   // before the lock
        std::function<void(LockedStoreTest&)> act;       // with the store locked
        bool itemsEmptied;                               // the items list could not be read
    };
    auto none = [](LockedStoreTest&) {};
    auto selectG1 = [](LockedStoreTest& t) { t.ClickRow(t.window->m_itemsList, t.RowOfItem("G1")); };
    const Case cases[] = {
        {"Batch > Enable/Disable (10064)", none,
         [](LockedStoreTest& t) {
             wxCommandEvent e(wxEVT_MENU, ID_BATCH_ENABLE_TOGGLE);
             t.window->GetEventHandler()->ProcessEvent(e);
         },
         false},
        {"click on the status column", none,
         [](LockedStoreTest& t) {
             t.Mouse(t.window->m_batchesList, wxEVT_LEFT_DOWN, RowPoint(t.window->m_batchesList, t.RowOfBatch(3), 0));
         },
         false},
        {"click on the check column", none,
         [](LockedStoreTest& t) {
             t.Mouse(t.window->m_itemsList, wxEVT_LEFT_DOWN, RowPoint(t.window->m_itemsList, t.RowOfItem("G1"), 0));
         },
         false},
        {"Batch > Delete (10025) answered Yes", none,
         [](LockedStoreTest& t) {
             tw::test::AnswerBox(wxYES);
             wxCommandEvent e(wxEVT_MENU, ID_BATCH_DELETE_BATCH);
             t.window->GetEventHandler()->ProcessEvent(e);
         },
         false},
        {"Delete key in the batches list answered Yes", none,
         [](LockedStoreTest& t) {
             tw::test::AnswerBox(wxYES);
             t.Key(t.window->m_batchesList, WXK_DELETE);
         },
         false},
        {"Delete key in the items list answered Yes", selectG1,
         [](LockedStoreTest& t) {
             tw::test::AnswerBox(wxYES);
             t.Key(t.window->m_itemsList, WXK_DELETE);
         },
         false},
        {"Ctrl+X in the items list answered Yes", selectG1,
         [](LockedStoreTest& t) {
             tw::test::AnswerBox(wxYES);
             t.Key(t.window->m_itemsList, 'X', true);
         },
         false},
        {"paste into another batch",
         [](LockedStoreTest& t) {
             t.ClickRow(t.window->m_itemsList, t.RowOfItem("G1"));
             t.Key(t.window->m_itemsList, 'C', true);
             t.ClickRow(t.window->m_batchesList, t.RowOfBatch(5));
         },
         [](LockedStoreTest& t) { t.Key(t.window->m_itemsList, 'V', true); }, false},
        {"choosing another batch", none,
         [](LockedStoreTest& t) { t.ClickRow(t.window->m_batchesList, t.RowOfBatch(4)); }, true},
        {"drop on a batch row", none,
         [](LockedStoreTest& t) {
             t.DropOn(t.window->m_batchesList, RowPoint(t.window->m_batchesList, t.RowOfBatch(3), 1),
                      "TALVO_DATAFILE_G4");
         },
         false},
        {"drop on the items list", none,
         [](LockedStoreTest& t) { t.DropOn(t.window->m_itemsList, wxPoint(5, 5), "TALVO_DATAFILE_G4"); }, false},
        {"Start Transfer", none,
         [](LockedStoreTest& t) {
             wxCommandEvent e(wxEVT_MENU, ID_BATCH_START_TRANSFER);
             t.window->GetEventHandler()->ProcessEvent(e);
         },
         false},
        {"end of a transfer", none,
         [](LockedStoreTest& t) {
             wxCommandEvent done;
             done.SetInt(1);
             t.window->OnTransferDone(done);
         },
         false},
        {"New Batch answered OK", none,
         [](LockedStoreTest& t) { t.NewBatchAnsweredOk(); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        ClickRow(window->m_batchesList, RowOfBatch(3));
        c.prepare(*this);
        const wxString stored = StoredState();
        const wxString listed = ListedState(!c.itemsEmptied);
        tw::test::ResetUi();

        Lock();
        EXPECT_NO_THROW(c.act(*this));
        Pump(30);
        Unlock();

        EXPECT_EQ(ErrorBoxes(), 1);
        EXPECT_EQ(StoredState(), stored);
        EXPECT_EQ(ListedState(!c.itemsEmptied), listed);
        if (c.itemsEmptied)
            EXPECT_EQ(window->m_itemsList->GetItemCount(), 0) << "nothing listed that the store did not give";
        // No transfer window was opened.
        for (wxWindow* w : wxTopLevelWindows)
            EXPECT_TRUE(w == window || !w->IsShown()) << w->GetLabel();
        BatchWindow::SetBatchDialogRunner([](CBatch&, bool) { return static_cast<int>(wxID_CANCEL); });
    }
}

} // namespace
} // namespace library_test

namespace library_test {
namespace {

// A restore while the user database is held elsewhere: the user is told, and
// the store and the batches list keep every batch.
TEST_F(LockedStoreTest, RestoreOnALockedStoreKeepsTheBatchesAndTheirRows)
{
    ResetStore();
    Open();
    const wxString backup = dir / "backup.rvl";
    ASSERT_TRUE(CBatchFile::BackupBatches(backup));
    ClickRow(window->m_batchesList, RowOfBatch(3));
    const wxString stored = StoredState();
    const wxString listed = ListedState(false);
    tw::test::ResetUi();

    Lock();
    tw::test::AnswerChooser(backup);
    tw::test::AnswerBox(wxYES);
    wxCommandEvent restore(wxEVT_MENU, ID_BATCH_RESTORE_BATCHES);
    EXPECT_NO_THROW(window->GetEventHandler()->ProcessEvent(restore));
    Pump(30);
    Unlock();

    EXPECT_TRUE(tw::test::BoxShown("could not be imported"));
    EXPECT_EQ(StoredState(), stored);
    EXPECT_EQ(ListedState(false), listed);
}

} // namespace
} // namespace library_test

namespace library_test {
namespace {

// The boxes a user sees, counted as the program shows them: the program's
// own (the scripted message boxes) and those the program's log target opens
// once the loop is idle (every modal dialog, ended at once).
class SeenBoxes : public wxModalDialogHook
{
public:
    SeenBoxes() : m_log(tw::NewLogTarget()) { Register(); }
    ~SeenBoxes() override { Unregister(); }
    std::vector<wxString> logBoxes;

    // Every box shown: its caption, and its text for the program's own.
    std::vector<wxString> All() const
    {
        std::vector<wxString> all;
        for (const auto& box : Ui().boxes)
            all.push_back(box.caption + ": " + box.message);
        all.insert(all.end(), logBoxes.begin(), logBoxes.end());
        return all;
    }
    static std::string Listed(const std::vector<wxString>& boxes)
    {
        wxString text;
        for (const wxString& box : boxes)
            text << "[" << box << "] ";
        return text.utf8_string();
    }

protected:
    int Enter(wxDialog* dialog) override
    {
        logBoxes.push_back(dialog->GetTitle());
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    // The program's log target, behind the test's record of the log.
    wxLogChain m_log;
};

TEST_F(LockedStoreTest, AFailedCommandIsOneBoxAndOneLogLine)
{
    struct Case {
        const char* name;
        std::function<void(LockedStoreTest&)> act;
    };
    const Case cases[] = {
        {"Batch > Enable/Disable (10064)",
         [](LockedStoreTest& t) {
             wxCommandEvent e(wxEVT_MENU, ID_BATCH_ENABLE_TOGGLE);
             t.window->GetEventHandler()->ProcessEvent(e);
         }},
        {"click on the status column of another batch",
         [](LockedStoreTest& t) {
             t.Mouse(t.window->m_batchesList, wxEVT_LEFT_DOWN, RowPoint(t.window->m_batchesList, t.RowOfBatch(4), 0));
         }},
        {"choosing another batch",
         [](LockedStoreTest& t) { t.ClickRow(t.window->m_batchesList, t.RowOfBatch(4)); }},
        {"New Batch answered OK",
         [](LockedStoreTest& t) { t.NewBatchAnsweredOk(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetStore();
        Open();
        ClickRow(window->m_batchesList, RowOfBatch(3));
        const int status4 = Query("SELECT status FROM batches WHERE ID=4");
        tw::test::ResetUi();
        tw::test::ClearLog();
        {
            SeenBoxes seen;
            Lock();
            c.act(*this);
            EXPECT_TRUE(tw::test::RunLoopUntilIdle());
            Unlock();
            const std::vector<wxString> all = seen.All();
            ASSERT_EQ(all.size(), 1u) << SeenBoxes::Listed(all);
            EXPECT_EQ(Ui().boxes.size(), 1u);
            EXPECT_EQ(Ui().boxes[0].caption, "Error");
            EXPECT_TRUE(Ui().boxes[0].message.Contains("database is locked")) << Ui().boxes[0].message;
        }
        int errorLines = 0;
        for (const auto& entry : tw::test::CapturedLog())
            errorLines += entry.level == wxLOG_Error;
        EXPECT_GE(errorLines, 1) << "the failure stays in the log";
        EXPECT_EQ(Query("SELECT status FROM batches WHERE ID=4"), status4);
        BatchWindow::SetBatchDialogRunner([](CBatch&, bool) { return static_cast<int>(wxID_CANCEL); });
    }
}

// The Edit menu's commands are queued keys, handled after the command: what
// their work meets (here the question itself fails) is told in the gate's
// box, and the program's loop runs on.
TEST_F(LockedStoreTest, AFailureInAQueuedEditCommandIsToldAndTheLoopRunsOn)
{
    ResetStore();
    Open();
    ClickRow(window->m_batchesList, RowOfBatch(3));
    ClickRow(window->m_itemsList, RowOfItem("G1"));
    tw::test::ResetUi();
    int questions = 0;
    tw::SetMessageBoxHandler([&questions](const tw::MessageBoxRequest& request) {
        Ui().boxes.push_back(request);
        if (request.caption == "Confirm Delete") {
            ++questions;
            throw wxSQLite3Exception(5, "database is locked");
        }
        return static_cast<int>(wxOK);
    });
    wxCommandEvent del(wxEVT_MENU, ID_BATCH_DELETE_ITEMS);
    window->GetEventHandler()->ProcessEvent(del);
    EXPECT_EQ(questions, 0) << "queued, not handled inside the command";
    EXPECT_NO_THROW(EXPECT_TRUE(tw::test::RunLoopUntilIdle()));
    EXPECT_EQ(questions, 1);
    int errors = 0;
    for (const auto& box : Ui().boxes)
        errors += box.caption == "Error" && box.message.Contains("database is locked");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(ItemRows(3, "G1"), 1);
}

} // namespace
} // namespace library_test
