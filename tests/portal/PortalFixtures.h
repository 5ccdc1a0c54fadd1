// Pieces of the Portal and suggestions-window tests: the application's
// databases installed in a private home with a small catalogue of our own,
// the Wizard batch (batch 2) written as a test needs it, a stand-in content
// wizard, a picture of a check tree as text, and synthesised mouse events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/treectrl.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "platform/Locations.h"
#include "startup/StartupFixtures.h"
#include "support/TestSupport.h"
#include "windows/common/checktreectrl.h"
#include "windows/wizard/ContentWizardLauncher.h"

namespace portal_test {

using startup_test::ProductRow;

// The catalogue of every Portal test: two chart types of one category,
// categories that differ only in case, and two items of "Basic Mode".
inline const std::vector<ProductRow>& Products()
{
    static const std::vector<ProductRow> rows = {
        {0, 0, 0, "Weather Charts", "Atlantic", "Surface", "TW-SFC1", "Surface one", "/charts/sfc1.png"},
        {0, 0, 0, "Weather Charts", "Atlantic", "Surface", "TW-SFC2", "Surface two", "/charts/sfc2.png"},
        {0, 0, 1, "Weather Charts", "Atlantic", "Upper Air", "TW-UPA", "Upper air", "/charts/upa.png"},
        {1, 0, 0, "GRIB", "Atlantic", "Wind", "TW-WIND", "Wind", "/gfs/wind.grb"},
        {1, 0, 1, "GRIB", "Atlantic", "Waves", "TW-WAVE", "Waves", "/gfs/waves.grb"},
        {2, 0, 0, "grib", "Pacific", "Wind", "TW-LOWER", "Lower wind", "/gfs/lower.grb"},
        {3, 0, 0, "Basic Mode", "Atlantic", "Basic", "TW-BASIC", "Basic one", "/basic/one.grb"},
        {3, 0, 0, "Basic Mode", "Atlantic", "Basic", "TW-BASIC2", "Basic two", "/basic/two.grb"},
        {4, 0, 0, "Satellite", "Atlantic", "Infrared", "TW-IR", "Infrared", "/sat/ir.jpg"},
    };
    return rows;
}

// A private home with the application's databases installed and our
// catalogue in place of the seed's; the application object back to a fresh
// state before and after.
class PortalApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startup_test::ResetApp();
        ASSERT_TRUE(CInit::InitializeAppFolders());
        const wxString catalogue = tw::UserDataDir() + "/DB/zir.db";
        tw::test::Exec(catalogue, "DELETE FROM products");
        startup_test::InsertProducts(catalogue, Products());
        tw::test::Exec(UserDbPath(), "DELETE FROM batch_items WHERE batchID=2");
        previousWizard = tw::SetContentWizardRunner([this](wxWindow* parent, int page) {
            wizardCalls.push_back(page);
            wizardParents.push_back(parent);
            return onWizard ? onWizard(page) : false;
        });
    }
    void TearDown() override
    {
        tw::SetContentWizardRunner(previousWizard);
        for (wxWindow* w : std::vector<wxWindow*>(wxTopLevelWindows.begin(), wxTopLevelWindows.end()))
            if (w != app.topWindow)
                w->Destroy();
        startup_test::ResetApp();
    }

    static wxString UserDbPath() { return tw::UserDataDir() + "/DB/zir_user.db"; }

    // Opens the databases and loads the catalogue as start-up does, without
    // making a main window.
    void OpenDatabases()
    {
        CRegistry settings;
        ASSERT_TRUE(app.InitDB(settings));
        CBatchFolder::Instance()->SetDatabase(app.GetUserDb());
    }

    // Starts the program as a user does, in the Portal.
    void StartInPortal()
    {
        startup_test::WriteSetting("General/DefaultView", "LoadWindow");
        ASSERT_TRUE(app.Startup());
        ASSERT_NE(app.topWindow, nullptr);
    }

    // Replaces batch 2's items (in this order) through the open database.
    void SetWizardBatch(const std::vector<std::pair<const char*, int>>& items)
    {
        wxSQLite3Database* db = app.GetUserDb();
        ASSERT_NE(db, nullptr);
        db->ExecuteUpdate("DELETE FROM batch_items WHERE batchID=2");
        for (const auto& item : items)
            db->ExecuteUpdate(wxString::Format("INSERT INTO batch_items (batchID,productID,status) VALUES (2,'%s',%d)",
                                               item.first, item.second));
    }

    // The stored status of a batch-2 item (-1 without a row).
    int StoredStatus(const wxString& id)
    {
        wxSQLite3ResultSet rs = app.GetUserDb()->ExecuteQuery(
            "SELECT status FROM batch_items WHERE batchID=2 AND productID='" + id + "'");
        return rs.NextRow() ? rs.GetInt(0) : -1;
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    std::vector<int> wizardCalls;
    std::vector<wxWindow*> wizardParents;
    std::function<bool(int page)> onWizard;   // the stand-in's answer (false: cancelled)
    tw::ContentWizardRunner previousWizard;
};

// The tree as lines: two blanks per level below the (hidden) root, then
// "[x] " or "[ ] " for items with a box, the label, and " <record id>".
inline std::vector<std::string> Describe(const wxCheckTreeCtrl& tree)
{
    std::vector<std::string> lines;
    std::function<void(const wxTreeItemId&, int)> walk = [&](const wxTreeItemId& item, int depth) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
             child = tree.GetNextChild(item, cookie)) {
            std::string line(2 * depth, ' ');
            if (tree.HasCheckbox(child))
                line += tree.IsChecked(child) ? "[x] " : "[ ] ";
            line += tree.GetItemText(child).utf8_string() + " <" + tree.GetRecordId(child).utf8_string() + ">";
            lines.push_back(line);
            walk(child, depth + 1);
        }
    };
    if (tree.GetRootItem().IsOk())
        walk(tree.GetRootItem(), 0);
    return lines;
}

// The item with this record id, or an invalid id.
inline wxTreeItemId FindRecord(const wxCheckTreeCtrl& tree, const wxString& recordId)
{
    wxTreeItemId found;
    std::function<void(const wxTreeItemId&)> walk = [&](const wxTreeItemId& item) {
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk() && !found.IsOk();
             child = tree.GetNextChild(item, cookie)) {
            if (tree.GetRecordId(child) == recordId)
                found = child;
            else
                walk(child);
        }
    };
    if (tree.GetRootItem().IsOk())
        walk(tree.GetRootItem());
    return found;
}

// A point of the item's row whose hit test has `flag` (the icon, the label),
// found by walking along the row; (-1, -1) when there is none.
inline wxPoint PointOn(wxCheckTreeCtrl& tree, const wxTreeItemId& item, int flag)
{
    wxRect row;
    if (!tree.GetBoundingRect(item, row, true))
        return wxPoint(-1, -1);
    const int y = row.y + row.height / 2;
    for (int x = 0; x < tree.GetClientSize().x; ++x) {
        int flags = 0;
        const wxTreeItemId hit = tree.HitTest(wxPoint(x, y), flags);
        if (hit == item && (flags & flag))
            return wxPoint(x, y);
    }
    return wxPoint(-1, -1);
}

inline void Mouse(wxWindow* w, wxEventType type, const wxPoint& p)
{
    wxMouseEvent e(type);
    e.SetPosition(p);
    e.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK;
    e.m_rightDown = type == wxEVT_RIGHT_DOWN;
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

inline void Click(wxWindow* window, int id, wxEventType type = wxEVT_BUTTON)
{
    wxCommandEvent event(type, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

} // namespace portal_test
