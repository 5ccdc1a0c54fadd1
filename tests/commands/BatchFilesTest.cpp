// Batch files from the Library window, through the file-chooser hook into a
// temporary folder: export and import, backup and restore, a corrupt file,
// write failures, and the sample batches that ship with the program.
#include <wx/dir.h>
#include <wx/filedlg.h>

#include "CommandsFixtures.h"
#include "model/BatchFile.h"
#include "support/EnvGuard.h"

using namespace commands_test;
using tw::test::AnswerBox;
using tw::test::AnswerChooser;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

class SeedLibraryApp : public LibraryApp
{
protected:
    SeedLibraryApp() { ownCatalogue = false; }
};

} // namespace

// Export writes the selected batch; Import appends what the file holds as a
// new last row, with the same items.
TEST_F(LibraryApp, ExportThenImportAppends)
{
    tw::test::TempDir dir;
    const wxString path = dir / "passage.rvl";
    Select(3);
    AnswerChooser(path);
    Command(ID_BATCH_EXPORT_BATCH);
    ASSERT_EQ(Ui().choosers.size(), 1u);
    const tw::FileChooserRequest& save = Ui().choosers[0];
    EXPECT_EQ(save.message, "Export Batch File");
    EXPECT_EQ(save.defaultDir, Folder("Batches"));
    EXPECT_EQ(save.defaultFile, "batch.rvl");
    EXPECT_EQ(save.wildcard, "Tidewright Batch (*.rvl)|*.rvl");
    EXPECT_TRUE(save.style & wxFD_SAVE);
    EXPECT_EQ(save.parent, library);
    ASSERT_TRUE(wxFileExists(path));
    EXPECT_TRUE(Ui().boxes.empty());

    const std::vector<int> before = Ids();
    AnswerChooser(path);
    Command(ID_BATCH_IMPORT_BATCH);
    const tw::FileChooserRequest& open = Ui().choosers.back();
    EXPECT_EQ(open.message, "Select Batch File");
    EXPECT_EQ(open.wildcard, "Batch Files (*.rvl)|*.rvl");
    EXPECT_TRUE(open.style & wxFD_OPEN);
    const std::vector<int> after = Ids();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(std::vector<int>(after.begin(), after.end() - 1), before);
    EXPECT_EQ(Titles().back(), "Passage");
    const int id = Ids().back();
    EXPECT_GT(id, 5);
    EXPECT_EQ(Query(wxString::Format("SELECT count(*) FROM batch_items WHERE batchID=%d", id)), 3);
    EXPECT_EQ(Query(wxString::Format("SELECT status FROM batch_items WHERE batchID=%d AND productID='TW-SFC2'", id)),
              0);
    EXPECT_EQ(library->SelectedBatchRow(), -1) << "import deselects every batch";
    EXPECT_TRUE(Ui().boxes.empty());
}

// Export of "New Batch" is refused with its own message; a file that
// cannot be written is named; declining the overwrite question is not a
// failure; a cancelled chooser does nothing.
TEST_F(LibraryApp, ExportAndBackupFailures)
{
    tw::test::TempDir dir;
    Select(-1);
    AnswerChooser(dir / "new.rvl");
    Command(ID_BATCH_EXPORT_BATCH);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "Cannot export New Batch");
    EXPECT_FALSE(wxFileExists(dir / "new.rvl"));

    struct Case {
        const char* name;
        int command;
        wxString path;
        int answer;            // to the overwrite question (0: none asked)
        const char* message;   // the last box shown, or none
    };
    const wxString missing = dir / "no/such/folder/out.rvl";
    const wxString existing = dir / "existing.rvl";
    ASSERT_TRUE(tw::test::WriteFile(existing, "keep me"));
    const Case cases[] = {
        {"export into a missing folder", ID_BATCH_EXPORT_BATCH, missing, 0, "Could not write "},
        {"backup into a missing folder", ID_BATCH_BACKUP_BATCHES, missing, 0, "Could not write "},
        {"export declined over a file", ID_BATCH_EXPORT_BATCH, existing, wxNO, "File existing already exists"},
        {"export cancelled", ID_BATCH_EXPORT_BATCH, wxString(), 0, nullptr},
        {"backup cancelled", ID_BATCH_BACKUP_BATCHES, wxString(), 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        Select(4);
        AnswerChooser(c.path);
        if (c.answer)
            AnswerBox(c.answer);
        Command(c.command);
        if (c.message) {
            ASSERT_EQ(Ui().boxes.size(), 1u);
            EXPECT_TRUE(Ui().boxes[0].message.StartsWith(c.message)) << Ui().boxes[0].message;
            if (wxString(c.message) == "Could not write ") {
                EXPECT_EQ(Ui().boxes[0].message, "Could not write " + c.path);
            }
        } else {
            EXPECT_TRUE(Ui().boxes.empty());
        }
    }
    EXPECT_EQ(tw::test::ReadFile(existing), "keep me");

    // Backup asks before it replaces a file (the chooser does).
    Select(4);
    AnswerChooser(dir / "b.rvl");
    Command(ID_BATCH_BACKUP_BATCHES);
    EXPECT_EQ(Ui().choosers.back().message, "Backup Batches");
    EXPECT_EQ(Ui().choosers.back().defaultFile, "batches_backup.rvl");
    EXPECT_TRUE(Ui().choosers.back().style & wxFD_OVERWRITE_PROMPT);
    EXPECT_TRUE(wxFileExists(dir / "b.rvl"));
}

// Restore asks first, then replaces the user batches with the file's and
// rebuilds the list, "New Batch" first, the items list empty; No leaves
// everything; a corrupt file leaves the store as it was.
TEST_F(LibraryApp, RestoreReplacesOnlyAfterAskingAndOnlyAWholeFile)
{
    tw::test::TempDir dir;
    const wxString backup = dir / "backup.rvl";
    AnswerChooser(backup);
    Command(ID_BATCH_BACKUP_BATCHES);
    ASSERT_TRUE(wxFileExists(backup));

    // Change the batches after the backup.
    Select(5);
    AnswerBox(wxYES);
    Command(ID_BATCH_DELETE_BATCH);
    app.GetUserDb()->ExecuteUpdate("INSERT INTO batches (ID,title,status) VALUES (9,'Later',1)");
    const std::vector<wxString> changed = StoredTitles();
    Select(3);
    ASSERT_EQ(ItemIds().size(), 3u);

    // No: nothing changes.
    tw::test::ResetUi();
    AnswerChooser(backup);
    AnswerBox(wxNO);
    Command(ID_BATCH_RESTORE_BATCHES);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Confirm Restore");
    EXPECT_TRUE(Ui().boxes[0].message.Contains(backup));
    EXPECT_EQ(StoredTitles(), changed);
    EXPECT_EQ(Ui().choosers.back().message, "Restore Batches");
    EXPECT_EQ(Ui().choosers.back().defaultFile, "batches_backup.rvl");

    // A corrupt file: the store as it was, the list rebuilt from it.
    const wxString corrupt = dir / "corrupt.rvl";
    std::string text = tw::test::ReadFile(backup);
    text = text.substr(0, text.rfind("[batch]")) + "not an item line\n[batch]\n";
    ASSERT_TRUE(tw::test::WriteFile(corrupt, text));
    tw::test::ResetUi();
    AnswerChooser(corrupt);
    AnswerBox(wxYES);
    Command(ID_BATCH_RESTORE_BATCHES);
    EXPECT_TRUE(BoxShown("is corrupted"));
    EXPECT_EQ(StoredTitles(), changed);
    EXPECT_EQ(Titles(), std::vector<wxString>({"New Batch", "Wizard Batch", "Passage", "Charts", "Later"}));

    // Yes with the good file: the user batches of the file, rebuilt.
    tw::test::ResetUi();
    AnswerChooser(backup);
    AnswerBox(wxYES);
    Command(ID_BATCH_RESTORE_BATCHES);
    EXPECT_EQ(Ui().boxes.size(), 1u) << "only the question";
    EXPECT_EQ(Titles(), std::vector<wxString>({"New Batch", "Wizard Batch", "Passage", "Charts", "Idle"}));
    EXPECT_EQ(library->BatchIdOfRow(0), -1);
    EXPECT_EQ(library->m_itemsList->GetItemCount(), 0);
    EXPECT_EQ(library->m_currentBatchId, -2);
    EXPECT_EQ(Query("SELECT count(*) FROM batches WHERE title='Later'"), 0);
    EXPECT_EQ(Query("SELECT count(*) FROM batches WHERE ID>2"), 3);
    const int idle = library->BatchIdOfRow(4);
    EXPECT_EQ(Query(wxString::Format("SELECT count(*) FROM batch_items WHERE batchID=%d", idle)), 1);
}

// A file that holds no batch record is no backup: after Yes the user is told
// so and every batch stays, in the store and in the list.
TEST_F(LibraryApp, RestoreOfAFileWithoutBatchesReplacesNothing)
{
    tw::test::TempDir dir;
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"one line without a line end", "hello"},
        {"a byte-order mark only", "\xEF\xBB\xBF"},
    };
    const std::vector<wxString> stored = StoredTitles();
    const std::vector<wxString> listed = Titles();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString path = dir / "nothing.rvl";
        ASSERT_TRUE(tw::test::WriteFile(path, c.text));
        tw::test::ResetUi();
        AnswerChooser(path);
        AnswerBox(wxYES);
        Command(ID_BATCH_RESTORE_BATCHES);
        EXPECT_TRUE(BoxShown(path + " holds no batches.")) << "boxes: " << Ui().boxes.size();
        EXPECT_EQ(StoredTitles(), stored);
        EXPECT_EQ(Titles(), listed);
    }
}

// The sample batches: a missing folder is named and the chooser still
// opens; every shipped file imports whole against our catalogue, each as a
// new row with all its items.
TEST_F(SeedLibraryApp, SampleBatchesInstall)
{
    const wxString folder = BatchWindow::SampleBatchFolder();
    EXPECT_EQ(folder, tw::ResourcesDir() + "/Sample Batches");
    wxArrayString files;
    ASSERT_GT(wxDir::GetAllFiles(folder, &files, "*.rvl", wxDIR_FILES), 2u);
    files.Sort();

    wxString chosen;
    for (const wxString& f : files)
        chosen += (chosen.empty() ? "" : "\n") + f;
    const size_t rowsBefore = Ids().size();
    AnswerChooser(chosen);
    Command(ID_BATCH_TOOL_INSTALL_SAMPLES);
    ASSERT_EQ(Ui().choosers.size(), 1u);
    EXPECT_EQ(Ui().choosers[0].message, "Select Sample Batch File");
    EXPECT_EQ(Ui().choosers[0].defaultDir, folder);
    EXPECT_TRUE(Ui().choosers[0].style & wxFD_MULTIPLE);
    EXPECT_TRUE(Ui().boxes.empty()) << (Ui().boxes.empty() ? "" : Ui().boxes[0].message);
    ASSERT_EQ(Ids().size(), rowsBefore + files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].utf8_string());
        const int id = Ids()[rowsBefore + i];
        EXPECT_EQ(Titles()[rowsBefore + i], wxFileName(files[i]).GetName());
        // Every item of the file is a catalogue item.
        const std::string text = tw::test::ReadFile(files[i]);
        size_t listed = 0;
        for (size_t at = text.find("recid="); at != std::string::npos; at = text.find("recid=", at + 1))
            ++listed;
        EXPECT_GT(listed, 5u);
        const CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(id);
        EXPECT_EQ(batch.items.GetCount(), listed);
        EXPECT_TRUE(wxDirExists(batch.info.folder));
    }

    // Without the folder: the notice, and the chooser all the same.
    tw::test::TempDir empty;
    tw::test::ScopedEnv resources("TIDEWRIGHT_RESOURCES", empty.Path());
    tw::test::ResetUi();
    Command(ID_BATCH_INSTALL_SAMPLES);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "Cannot find the sample batch folder:\n" + empty.Path() + "/Sample Batches");
    EXPECT_EQ(Ui().boxes[0].caption, "Notice");
    EXPECT_EQ(Ui().choosers.size(), 1u);
}
