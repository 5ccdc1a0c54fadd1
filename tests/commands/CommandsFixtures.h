// The Library window's commands as a user meets them: the program started in
// a private home in Library mode, with a small catalogue of our own and three
// user batches, a stand-in content wizard and batch dialog, and helpers that
// send commands and read back the lists and the store.
#pragma once

#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "windows/library/batchwindow.h"
#include "platform/Locations.h"
#include "startup/StartupFixtures.h"
#include "support/TestSupport.h"
#include "windows/wizard/ContentWizardLauncher.h"

namespace commands_test {

using startup_test::ProductRow;
using tw::test::Pump;
using tw::test::WaitFor;

inline const std::vector<ProductRow>& Products()
{
    static const std::vector<ProductRow> rows = {
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "TW-WIND", "Wind", "/gfs/wind.grb"},
        {0, 0, 1, "GRIB", "Atlantic", "Waves", "TW-WAVE", "Waves", "/gfs/waves.grb"},
        {1, 0, 0, "Weather Charts", "Atlantic", "Surface", "TW-SFC1", "Surface one", "/charts/sfc1.png"},
        {1, 0, 0, "Weather Charts", "Atlantic", "Surface", "TW-SFC2", "Surface two", "/charts/sfc2.png"},
        {2, 0, 0, "Satellite", "Pacific", "Infrared", "TW-IR", "Infrared", "/sat/ir.jpg"},
        {3, 0, 0, "Text", "Pacific", "Forecast", "TW-QUOTE", "Quoted", "/text/it's \"q\".txt"},
    };
    return rows;
}

// A user batch stored before the program starts (its folder is made by the
// start-up: the download root and its title).
struct UserBatch {
    int id;
    const char* title;
    int status;
    std::vector<std::pair<const char*, int>> items;
};

inline std::vector<UserBatch> UserBatches()
{
    return {
        {3, "Passage", 1, {{"TW-WIND", 1}, {"TW-SFC1", 1}, {"TW-SFC2", 0}}},
        {4, "Charts", 1, {{"TW-WAVE", 1}, {"TW-IR", 1}}},
        {5, "Idle", 0, {{"TW-SFC2", 1}}},
    };
}

class LibraryApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startup_test::ResetApp();
        ASSERT_TRUE(CInit::InitializeAppFolders());
        if (ownCatalogue) {
            const wxString catalogue = tw::UserDataDir() + "/DB/zir.db";
            tw::test::Exec(catalogue, "DELETE FROM products");
            startup_test::InsertProducts(catalogue, Products());
        }
        tw::test::Exec(UserDbPath(), "DELETE FROM batch_items; UPDATE batches SET runstat=0, status=1 WHERE ID=2; "
                                     "INSERT INTO batch_items (batchID,productID,status) VALUES (2,'TW-SFC2',1)");
        for (const UserBatch& b : UserBatches()) {
            tw::test::Exec(UserDbPath(),
                           wxString::Format("INSERT INTO batches (ID,title,description,create_date,status,runstat,"
                                            "args,folder) VALUES (%d,'%s','About %s',1710496800,%d,0,0,'')",
                                            b.id, b.title, b.title, b.status));
            for (const auto& [fileId, status] : b.items)
                tw::test::Exec(UserDbPath(), wxString::Format("INSERT INTO batch_items (batchID,productID,status) "
                                                              "VALUES (%d,'%s',%d)",
                                                              b.id, fileId, status));
        }
        previousWizard = tw::SetContentWizardRunner([this](wxWindow* parent, int page) {
            wizardCalls.push_back({parent, page});
            return wizardFinishes;
        });
        BatchWindow::SetBatchDialogRunner([this](CBatch& batch, bool isNew) {
            dialogs.push_back({batch.info.ID, isNew});
            return onDialog ? onDialog(batch, isNew) : static_cast<int>(wxID_CANCEL);
        });
        startup_test::WriteSetting("General/DefaultView", "Batch");
        ASSERT_TRUE(app.Startup());
        library = dynamic_cast<BatchWindow*>(app.topWindow);
        ASSERT_NE(library, nullptr);
        ASSERT_TRUE(WaitFor([this] { return library->IsShownOnScreen() && library->m_sashesTracked; }));
        Pump(30);
        // The batches' download folders exist, as after the user has looked
        // at each batch once.
        for (int id = 2; id <= 5; ++id)
            wxFileName::Mkdir(CBatchFolder::Instance()->GetBatchByIndex(id).info.folder, 0777, wxPATH_MKDIR_FULL);
        tw::test::ResetUi();
    }

    void TearDown() override
    {
        tw::SetContentWizardRunner(previousWizard);
        BatchWindow::SetBatchDialogRunner({});
        for (wxWindow* w : std::vector<wxWindow*>(wxTopLevelWindows.begin(), wxTopLevelWindows.end()))
            if (w != app.topWindow)
                w->Destroy();
        startup_test::ResetApp();
    }

    static wxString UserDbPath() { return tw::UserDataDir() + "/DB/zir_user.db"; }
    wxString Folder(const wxString& title) const { return home.Documents() + "/Weather Files/" + title; }

    // A command as its menu item, tool or context-menu item sends it.
    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(library);
        library->GetEventHandler()->ProcessEvent(event);
        Pump(10);
    }

    // --- the batches list
    std::vector<int> Ids() const
    {
        std::vector<int> ids;
        for (long row = 0; row < library->m_batchesList->GetItemCount(); ++row)
            ids.push_back(library->BatchIdOfRow(row));
        return ids;
    }
    std::vector<wxString> Titles() const
    {
        std::vector<wxString> titles;
        for (long row = 0; row < library->m_batchesList->GetItemCount(); ++row)
            titles.push_back(library->m_batchesList->GetItemText(row, 1));
        return titles;
    }
    int RowImage(long row) const
    {
        wxListItem item;
        item.SetId(row);
        item.SetMask(wxLIST_MASK_IMAGE);
        library->m_batchesList->GetItem(item);
        return item.GetImage();
    }
    long RowOf(int id) const
    {
        for (long row = 0; row < library->m_batchesList->GetItemCount(); ++row)
            if (library->BatchIdOfRow(row) == id)
                return row;
        return -1;
    }
    // Selects a batch as a click on its row does (the "New Batch" row as a
    // right click does: without opening the batch dialog).
    void Select(int id)
    {
        if (id == -1)
            library->m_rightButtonDown = true;
        ASSERT_TRUE(library->SelectBatch(id)) << id;
        Pump(10);
    }
    std::vector<wxString> ItemIds() const
    {
        std::vector<wxString> ids;
        for (long row = 0; row < library->m_itemsList->GetItemCount(); ++row)
            ids.push_back(reinterpret_cast<CFileInfo*>(library->m_itemsList->GetItemData(row))->info.FileID);
        return ids;
    }
    // Selects an items-list row as a click on its product name does.
    void SelectItem(const wxString& fileId)
    {
        wxListCtrl* items = library->m_itemsList;
        for (long row = 0; row < items->GetItemCount(); ++row) {
            if (reinterpret_cast<CFileInfo*>(items->GetItemData(row))->info.FileID == fileId) {
                items->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                Pump(10);
                return;
            }
        }
        ADD_FAILURE() << "no item " << fileId;
    }

    // --- the store
    int Query(const wxString& sql, int missing = -1)
    {
        wxSQLite3ResultSet rs = app.GetUserDb()->ExecuteQuery(sql);
        const int v = rs.NextRow() ? rs.GetInt(0, missing) : missing;
        rs.Finalize();
        return v;
    }
    std::vector<wxString> StoredTitles()
    {
        std::vector<wxString> titles;
        wxSQLite3ResultSet rs = app.GetUserDb()->ExecuteQuery("SELECT title FROM batches ORDER BY ID");
        while (rs.NextRow())
            titles.push_back(rs.GetAsString(0));
        return titles;
    }
    int Status(int id) { return Query(wxString::Format("SELECT status FROM batches WHERE ID=%d", id)); }

    bool ownCatalogue = true;
    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    BatchWindow* library = nullptr;
    struct WizardCall {
        wxWindow* parent;
        int page;
    };
    std::vector<WizardCall> wizardCalls;
    bool wizardFinishes = false;
    struct DialogCall {
        int id;
        bool isNew;
    };
    std::vector<DialogCall> dialogs;
    std::function<int(CBatch&, bool)> onDialog;
    tw::ContentWizardRunner previousWizard;
};

} // namespace commands_test
