// The items list's commands and the two context menus: what the menus offer
// in which state, the argument vectors the viewers and a chosen program get
// (recorded, nothing is started), an item not downloaded yet, and ticking,
// unticking and deleting the unticked items of a batch.
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "CommandsFixtures.h"
#include "support/EnvGuard.h"
#include "xferwindow/XferFixtures.h"

using namespace commands_test;
using tw::test::AnswerBox;
using tw::test::AnswerChooser;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

struct MenuLine {
    int id;
    wxString label;
    bool enabled;
};

std::vector<MenuLine> Lines(const wxMenu& menu)
{
    std::vector<MenuLine> lines;
    for (const wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator())
            lines.push_back({0, "-", true});
        else
            lines.push_back({item->GetId() == wxID_ANY || item->IsSubMenu() ? -1 : item->GetId(),
                             item->GetItemLabelText(), item->IsEnabled()});
    }
    return lines;
}

void ExpectLines(const std::vector<MenuLine>& got, const std::vector<MenuLine>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(want[i].label.utf8_string());
        EXPECT_EQ(got[i].id, want[i].id);
        EXPECT_EQ(got[i].label, want[i].label);
        EXPECT_EQ(got[i].enabled, want[i].enabled);
    }
}

// Installs a viewer as an application folder (its program: the folder's
// name in lower case) in `root`.
void InstallApp(const wxString& root, const wxString& name)
{
    const wxString folder = root + "/" + name;
    wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL);
    const wxString program = folder + "/" + name.Lower();
    tw::test::WriteFile(program, "#!/bin/sh\nexit 0\n");
    wxFileName(program).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE);
}

} // namespace

// The batches context menu: its order and labels, every item with its help
// text; with "New Batch" current only the three all-batches items work.
TEST_F(LibraryApp, BatchesContextMenu)
{
    for (int current : {-1, 3}) {
        SCOPED_TRACE(current);
        Select(current);
        ASSERT_EQ(library->m_currentBatchId, current);
        std::unique_ptr<wxMenu> menu(library->BuildBatchesContextMenu());
        const bool on = current != -1;
        ExpectLines(Lines(*menu), {{ID_BATCH_ENABLE_TOGGLE, "Enable/Disable", on},
                                   {ID_BATCH_CTX_ENABLE_ALL, "Enable All Batches", true},
                                   {ID_BATCH_CTX_DISABLE_ALL, "Disable All Batches", true},
                                   {0, "-", true},
                                   {ID_BATCH_CTX_DELETE_DISABLED, "Delete All Disabled Batches", true},
                                   {ID_BATCH_DELETE_BATCH, "Delete", on},
                                   {ID_BATCH_RENAME_BATCH, "Rename", on},
                                   {0, "-", true},
                                   {ID_BATCH_EXPORT_BATCH, "Export This Batch", on},
                                   {ID_BATCH_IMPORT_BATCH, "Import Batch", on},
                                   {0, "-", true},
                                   {ID_BATCH_CTX_PROPERTIES, "Properties", on}});
        for (const wxMenuItem* item : menu->GetMenuItems()) {
            if (!item->IsSeparator()) {
                EXPECT_EQ(item->GetHelp(), item->GetItemLabelText());
            }
        }
    }
}

// The items context menu: the same in every state; a viewer the lookup does
// not find is disabled, "Choose Program..." never is.
TEST_F(LibraryApp, ItemsContextMenu)
{
    tw::test::TempDir apps;
    InstallApp(apps.Path(), "Chartloom");
    tw::test::ScopedEnv installed("TIDEWRIGHT_APPS", apps.Path());
    tw::test::ScopedEnv emptyPath("PATH", apps.Path());   // no editor, no desktop opener
    tw::test::ScopedEnv noVisual("VISUAL", "");
    tw::test::ScopedEnv noEditor("EDITOR", "");

    std::unique_ptr<wxMenu> menu(library->BuildItemsContextMenu());
    ExpectLines(Lines(*menu), {{ID_ITEMS_CTX_VIEW, "View", true},
                               {-1, "View With", true},
                               {0, "-", true},
                               {ID_ITEMS_CTX_COPY, "Copy", true},
                               {ID_ITEMS_CTX_PASTE, "Paste", true},
                               {0, "-", true},
                               {ID_ITEMS_CTX_SELECT_ALL, "Select All", true},
                               {ID_ITEMS_CTX_UNSELECT_ALL, "Un-Select All", true},
                               {0, "-", true},
                               {ID_ITEMS_CTX_DELETE, "Delete", true},
                               {ID_ITEMS_CTX_DELETE_UNSELECTED, "Delete Un-Selected", true},
                               {0, "-", true},
                               {ID_ITEMS_CTX_PROPERTIES, "Properties", true}});
    const wxMenuItem* viewWith = menu->FindItemByPosition(1);
    ASSERT_TRUE(viewWith->IsSubMenu());
    EXPECT_EQ(viewWith->GetHelp(), "");
    ExpectLines(Lines(*viewWith->GetSubMenu()), {{ID_ITEMS_CTX_GRIB_VIEWER, "Isobarion", false},
                                                 {ID_ITEMS_CTX_CHART_VIEWER, "Chartloom", true},
                                                 {ID_ITEMS_CTX_TEXT_EDITOR, "TextEdit", false},
                                                 {ID_ITEMS_CTX_PREVIEW, "Preview", false},
                                                 {0, "-", true},
                                                 {ID_ITEMS_CTX_CHOOSE_PROGRAM, "Choose Program...", true}});

    InstallApp(apps.Path(), "Isobarion");
    menu.reset(library->BuildItemsContextMenu());
    EXPECT_TRUE(menu->FindItem(ID_ITEMS_CTX_GRIB_VIEWER)->IsEnabled());
}

// What the viewers and a chosen program are started with: the program's
// path (blanks and all) and the local file (quotes and all), as two
// arguments; an item not downloaded yet is named instead.
TEST_F(LibraryApp, LaunchVectors)
{
    xfer_test::RecordingLauncher launcher;
    tw::test::TempDir dir;
    const wxString apps = dir / "My Apps";
    InstallApp(apps, "Chartloom");
    tw::test::ScopedEnv installed("TIDEWRIGHT_APPS", apps);

    // A batch holding the quoted text item, downloaded.
    app.GetUserDb()->ExecuteUpdate("INSERT INTO batch_items (batchID,productID,status) VALUES (4,'TW-QUOTE',1)");
    const wxString local = Folder("Charts") + "/it's \"q\".txt";
    ASSERT_TRUE(tw::test::WriteFile(local, "forecast"));
    Select(4);
    SelectItem("TW-QUOTE");
    ASSERT_NE(library->m_currentItem, nullptr);

    Command(ID_ITEMS_CTX_CHART_VIEWER);
    ASSERT_EQ(launcher.Starts().size(), 1u);
    EXPECT_EQ(launcher.Starts()[0], std::vector<wxString>({apps + "/Chartloom", local}));

    // Choose Program: first in the plug-ins folder, then where the last one was.
    const wxString tool = dir / "My Tools/view it";
    ASSERT_TRUE(wxFileName::Mkdir(dir / "My Tools", 0777, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(tw::test::WriteFile(tool, "#!/bin/sh\n"));
    AnswerChooser(tool);
    Command(ID_ITEMS_CTX_CHOOSE_PROGRAM);
    ASSERT_EQ(Ui().choosers.size(), 1u);
    EXPECT_EQ(Ui().choosers[0].message, "Choose Program");
    EXPECT_EQ(Ui().choosers[0].defaultDir, wxStandardPaths::Get().GetPluginsDir());
    EXPECT_EQ(Ui().choosers[0].wildcard, "*");
    EXPECT_EQ(Ui().choosers[0].parent, library);
    ASSERT_EQ(launcher.Starts().size(), 2u);
    EXPECT_EQ(launcher.Starts()[1], std::vector<wxString>({tool, local}));
    Command(ID_ITEMS_CTX_CHOOSE_PROGRAM);   // cancelled
    EXPECT_EQ(Ui().choosers[1].defaultDir, dir / "My Tools");
    EXPECT_EQ(launcher.Starts().size(), 2u);

    // Not downloaded: the viewer, a chosen program and View say so and start
    // nothing.
    wxRemoveFile(local);
    tw::test::ResetUi();
    Command(ID_ITEMS_CTX_CHART_VIEWER);
    AnswerChooser(tool);
    Command(ID_ITEMS_CTX_CHOOSE_PROGRAM);
    Command(ID_ITEMS_CTX_VIEW);
    EXPECT_EQ(launcher.Starts().size(), 2u);
    ASSERT_EQ(Ui().boxes.size(), 3u);
    for (const auto& box : Ui().boxes)
        EXPECT_EQ(box.message, "Quoted has not been downloaded yet.");

    // No current item: nothing at all.
    Select(3);
    ASSERT_EQ(library->m_currentItem, nullptr);
    tw::test::ResetUi();
    Command(ID_ITEMS_CTX_CHART_VIEWER);
    Command(ID_ITEMS_CTX_VIEW);
    EXPECT_TRUE(Ui().boxes.empty());
    EXPECT_EQ(launcher.Starts().size(), 2u);
}

// View of a downloaded item opens it as its batch says (here: the desktop's
// opener for action 2) and puts its path on the clipboard.
TEST_F(LibraryApp, ViewOpensADownloadedItem)
{
    xfer_test::RecordingLauncher launcher;
    app.GetUserDb()->ExecuteUpdate("UPDATE batches SET runstat=2 WHERE ID=3");
    const wxString local = Folder("Passage") + "/sfc1.png";
    ASSERT_TRUE(tw::test::WriteFile(local, "png"));
    Select(3);
    SelectItem("TW-SFC1");
    Command(ID_ITEMS_CTX_VIEW);
    EXPECT_TRUE(Ui().boxes.empty());
    EXPECT_TRUE(xfer_test::ClipboardText().Contains(local));
}

// Select All and Un-Select All set every stored item of the batch; Delete
// Un-Selected asks, then removes the unticked ones.
TEST_F(LibraryApp, TickUntickAndDeleteUnticked)
{
    auto statuses = [this](int batch) {
        std::vector<int> s;
        wxSQLite3ResultSet rs = app.GetUserDb()->ExecuteQuery(
            wxString::Format("SELECT status FROM batch_items WHERE batchID=%d ORDER BY productID", batch));
        while (rs.NextRow())
            s.push_back(rs.GetInt(0));
        return s;
    };
    // An item the catalogue no longer holds is stored too.
    app.GetUserDb()->ExecuteUpdate("INSERT INTO batch_items (batchID,productID,status) VALUES (3,'GONE',0)");
    Select(3);
    Command(ID_ITEMS_CTX_SELECT_ALL);
    EXPECT_EQ(statuses(3), std::vector<int>({1, 1, 1, 1}));
    EXPECT_EQ(statuses(4), std::vector<int>({1, 1})) << "other batches are untouched";
    EXPECT_EQ(library->m_itemsList->GetItemCount(), 3);
    Command(ID_ITEMS_CTX_UNSELECT_ALL);
    EXPECT_EQ(statuses(3), std::vector<int>({0, 0, 0, 0}));
    for (long row = 0; row < library->m_itemsList->GetItemCount(); ++row) {
        wxListItem item;
        item.SetId(row);
        item.SetMask(wxLIST_MASK_IMAGE);
        library->m_itemsList->GetItem(item);
        EXPECT_EQ(item.GetImage(), 0);
    }

    // Delete Un-Selected: No keeps them, Yes deletes them all (the unlisted one too).
    app.GetUserDb()->ExecuteUpdate("UPDATE batch_items SET status=1 WHERE batchID=3 AND productID='TW-WIND'");
    AnswerBox(wxNO);
    Command(ID_ITEMS_CTX_DELETE_UNSELECTED);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "Delete ALL un-checked entries in Passage batch?");
    EXPECT_EQ(Ui().boxes[0].caption, "Confirm Delete");
    EXPECT_EQ(statuses(3).size(), 4u);
    AnswerBox(wxYES);
    Command(ID_ITEMS_CTX_DELETE_UNSELECTED);
    EXPECT_EQ(statuses(3), std::vector<int>({1}));
    EXPECT_EQ(ItemIds(), std::vector<wxString>({"TW-WIND"}));

    // With "New Batch" current nothing is stored and the list stays empty.
    Select(-1);
    Command(ID_ITEMS_CTX_SELECT_ALL);
    EXPECT_EQ(library->m_itemsList->GetItemCount(), 0);
    EXPECT_EQ(statuses(4), std::vector<int>({1, 1}));
}
