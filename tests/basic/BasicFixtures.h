// Helpers of the Basic window tests: the application's catalogue and user
// databases on copies of the seed databases, a `buttons` table of the test's
// own, the window shown, and driving its toggles, buttons and menus.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/tglbtn.h>
#include <wx/weakref.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "windows/map/MapPanel.h"
#include "support/EnvGuard.h"
#include "support/TestSupport.h"
#include "windows/basic/basicwindow.h"
#include "windows/wizard/ContentWizardLauncher.h"
#include "xferwindow/XferFixtures.h"   // readable texts, transfer window helpers

namespace basic_test {

// One row of the `buttons` table.
struct ButtonRow {
    wxString region;
    int ord;
    int raceDisable;
    wxString text;
    wxString recid;
    wxString graphic;
};

// `count` rows of one personality from display order `firstOrd` on, labels
// "<label> n" and file ids "<prefix>nn" (n from 1); the picture on the first
// row. Rows whose number is in `race` are barred in the race edition.
inline std::vector<ButtonRow> Personality(const wxString& region, int firstOrd, int count, const wxString& prefix,
                                          const wxString& label, const wxString& graphic,
                                          const std::vector<int>& race = {})
{
    std::vector<ButtonRow> rows;
    for (int n = 1; n <= count; ++n) {
        bool barred = false;
        for (int r : race)
            barred = barred || r == n;
        rows.push_back({region, firstOrd + n, barred ? 1 : 0, wxString::Format("%s %d", label, n),
                        wxString::Format("%s%02d", prefix, n), n == 1 ? graphic : wxString()});
    }
    return rows;
}

inline void Append(std::vector<ButtonRow>& to, const std::vector<ButtonRow>& rows)
{
    to.insert(to.end(), rows.begin(), rows.end());
}

// Replaces the whole `buttons` table.
inline void WriteButtons(wxSQLite3Database& db, const std::vector<ButtonRow>& rows)
{
    db.ExecuteUpdate("DELETE FROM buttons");
    wxSQLite3Statement st = db.PrepareStatement(
        "INSERT INTO buttons (Region, disp_ord, RaceDisable, ButtonText, recid, graphic) VALUES (?,?,?,?,?,?)");
    for (const ButtonRow& r : rows) {
        st.Bind(1, r.region);
        st.Bind(2, r.ord);
        st.Bind(3, r.raceDisable);
        st.Bind(4, r.text);
        st.Bind(5, r.recid);
        st.Bind(6, r.graphic);
        st.ExecuteUpdate();
        st.Reset();
    }
}

inline std::vector<wxString> Texts(wxSQLite3Database& db, const wxString& sql)
{
    std::vector<wxString> out;
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    while (rs.NextRow())
        out.push_back(rs.GetAsString(0));
    return out;
}

inline double Real(wxSQLite3Database& db, const wxString& sql)
{
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    return rs.NextRow() ? rs.GetDouble(0) : -999.0;
}

// The centre of the map's highlighted box and its side in degrees.
inline void BoxOnMap(wxMapPanel* map, double& lat, double& lon, double& side)
{
    const mapgeo::MapRect& box = map->m_highlightBox;
    map->LogicalToMap(box.x + box.width / 2 - map->m_scrollX, box.y + box.height / 2 - map->m_scrollY, lat, lon);
    side = box.width * 360.0 / mapgeo::kWorldMapWidth;
}

// A resources folder whose defaults file names the race edition; pictures
// and databases are the build's.
class RaceEdition
{
public:
    RaceEdition()
    {
        for (const char* name : {"res", "Icons"})
            wxSymlink(tw::test::ResourcesDir() + "/" + name, m_dir / name);
        tw::test::WriteFile(m_dir / "Tidewright.conf", "[Default]\nevt=2002\nevn=Harbour Regatta\n");
        m_env.Set("TIDEWRIGHT_RESOURCES", m_dir.Path());
    }

private:
    static void wxSymlink(const wxString& target, const wxString& link)
    {
        ASSERT_EQ(symlink(target.fn_str(), link.fn_str()), 0) << link;
    }
    tw::test::TempDir m_dir;
    tw::test::EnvGuard m_env;
};

// Copies of the seed catalogue and user database opened as the application's,
// the catalogue loaded, the Basic batch's folder in a folder of the test's
// own; the window is made by Open().
class BasicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!app.worldMapBitmap.IsOk())
            app.worldMapBitmap.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG);
        if (!app.worldMapAntiBitmap.IsOk())
            app.worldMapAntiBitmap.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiffAnti.PNG",
                                            wxBITMAP_TYPE_PNG);
        for (const char* name : {"zir.db", "zir_user.db"})
            ASSERT_TRUE(wxCopyFile(tw::test::ResourcesDir() + "/" + name, dir / name));
        app.productDb.reset(OpenCopy("zir.db"));
        app.userDb.reset(OpenCopy("zir_user.db"));
        app.LoadCatalogue(*app.productDb);
        CBatchFolder::Instance()->SetDatabase(app.GetUserDb());
        basicFolder = dir / "Basic Batch";
        wxSQLite3Statement st = app.userDb->PrepareStatement("UPDATE batches SET folder = ? WHERE ID = 1");
        st.Bind(1, basicFolder);
        st.ExecuteUpdate();
    }

    void TearDown() override
    {
        if (app.topWindow)
            app.topWindow->Destroy();
        app.topWindow = nullptr;
        tw::test::Pump(30);
        tw::SetContentWizardRunner({});
        BasicWindow::SetBatchDialogRunner({});
        app.CloseDatabases();
        app.catalogue.Empty();
        app.IndexCatalogue();
        app.basicHomePosition = HomePosition();
        app.viewMode.clear();
        app.firstRun = false;
    }

    wxSQLite3Database* OpenCopy(const char* name)
    {
        auto* db = new wxSQLite3Database;
        db->Open(dir / name);
        db->SetBusyTimeout(50);
        return db;
    }

    wxSQLite3Database& Catalogue() { return *app.productDb; }
    wxSQLite3Database& User() { return *app.userDb; }

    // The window, as start-up makes it, shown and the current main window.
    BasicWindow* Open()
    {
        auto* w = new BasicWindow(nullptr);
        window = w;
        app.topWindow = w;
        w->Show();
        EXPECT_TRUE(tw::test::WaitFor([w] { return w->IsShownOnScreen(); }));
        tw::test::Pump(30);
        return w;
    }

    void SetDescription(const wxString& text)
    {
        wxSQLite3Statement st = User().PrepareStatement("UPDATE batches SET description = ? WHERE ID = 1");
        st.Bind(1, text);
        st.ExecuteUpdate();
    }
    wxString Description() { return Texts(User(), "SELECT description FROM batches WHERE ID = 1").at(0); }
    std::vector<wxString> Items()
    {
        return Texts(User(), "SELECT productID FROM batch_items WHERE batchID = 1 ORDER BY ID");
    }
    void SetArea(double lat, double lon, double width)
    {
        wxSQLite3Statement st = User().PrepareStatement("UPDATE batches SET lat = ?, lon = ?, width = ? WHERE ID = 1");
        st.Bind(1, lat);
        st.Bind(2, lon);
        st.Bind(3, width);
        st.ExecuteUpdate();
    }

    // Clicks toggle `position` as the user would: its state flips, then the
    // window hears of it.
    void Press(int position)
    {
        wxToggleButton* toggle = window->m_toggleButtons[position];
        toggle->SetValue(!toggle->GetValue());
        wxCommandEvent event(wxEVT_TOGGLEBUTTON, toggle->GetId());
        event.SetInt(toggle->GetValue() ? 1 : 0);
        event.SetEventObject(toggle);
        toggle->GetEventHandler()->ProcessEvent(event);
    }
    void Command(int id, wxEventType type = wxEVT_BUTTON)
    {
        wxCommandEvent event(type, id);
        event.SetEventObject(window.get());
        window->GetEventHandler()->ProcessEvent(event);
    }
    void Menu(int id) { Command(id, wxEVT_MENU); }

    // Labels of the ten toggles and which are pressed and enabled.
    std::vector<wxString> Labels()
    {
        std::vector<wxString> out;
        for (wxToggleButton* t : window->m_toggleButtons)
            out.push_back(t->GetLabelText());
        return out;
    }
    std::vector<bool> Pressed()
    {
        std::vector<bool> out;
        for (wxToggleButton* t : window->m_toggleButtons)
            out.push_back(t->GetValue());
        return out;
    }
    // Item data of the list rows, top to bottom.
    std::vector<long> Rows()
    {
        std::vector<long> out;
        for (int r = 0; r < window->m_productList->GetItemCount(); ++r)
            out.push_back(static_cast<long>(window->m_productList->GetItemData(r)));
        return out;
    }
    wxString Cell(int row, int column) { return window->m_productList->GetItemText(row, column); }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    TidewrightApp& app = wxGetApp();
    wxWeakRef<BasicWindow> window;
    wxString basicFolder;
};

} // namespace basic_test
