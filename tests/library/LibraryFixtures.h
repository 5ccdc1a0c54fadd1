// Helpers of the Library window tests: a small catalogue and user batches
// on a copy of the seed user database, the window opened as the application
// opens it, and synthesised mouse and key events at computed points.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dcscreen.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>
#include <wx/wxsqlite3.h>

#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "windows/library/batchwindow.h"
#include "support/TestSupport.h"

namespace library_test {

using tw::test::Pump;
using tw::test::WaitFor;

inline CFileInfo Item(const wxString& id, const wxString& title, const wxString& chartType,
                      const wxString& size = wxS("10"), const wxString& price = wxS("1.00"))
{
    CFileInfo item;
    CFileInfo::t_info& i = item.info;
    i.FileID = id;
    i.Title = title;
    i.Path = "/srv/" + (id.empty() ? wxString("blank") : id) + ".grb";
    i.File = (id.empty() ? wxString("blank") : id) + ".grb";
    i.Description = "About " + title;
    i.Price = price;
    i.Compression = "bz2";
    i.ChartType = chartType;
    i.RawSize = "20";
    i.CompressedSize = size;
    i.Source = "NOAA";
    return item;
}

// Category > region > chart type > items.
struct Leaf {
    const char* category;
    const char* region;
    const char* chartType;
    CFileInfo item;
};

inline void BuildCatalogue(const std::vector<Leaf>& leaves)
{
    TidewrightApp& app = wxGetApp();
    app.catalogue.Empty();
    for (const Leaf& leaf : leaves) {
        CFileInfo item = leaf.item;
        item.info.Category = leaf.category;
        auto find = [](auto& array, const wxString& name) -> decltype(&array.Item(0)) {
            for (size_t i = 0; i < array.GetCount(); ++i)
                if (array.Item(i).name == name)
                    return &array.Item(i);
            return nullptr;
        };
        CProduct* product = find(app.catalogue, leaf.category);
        if (!product) {
            CProduct p;
            p.name = leaf.category;
            app.catalogue.Add(p);
            product = &app.catalogue.Item(app.catalogue.GetCount() - 1);
        }
        CRegion* region = find(product->regions, leaf.region);
        if (!region) {
            CRegion r;
            r.name = leaf.region;
            product->Add(r);
            region = &product->regions.Item(product->regions.GetCount() - 1);
        }
        CChartType* chart = find(region->chartTypes, leaf.chartType);
        if (!chart) {
            CChartType c;
            c.name = leaf.chartType;
            region->Add(c);
            chart = &region->chartTypes.Item(region->chartTypes.GetCount() - 1);
        }
        chart->Add(item);
    }
    app.IndexCatalogue();
}

// The standard catalogue of these tests: two ordinary categories, the race
// edition's "Race" and a category that is only spelt like it, and an item
// the race edition has blanked.
inline std::vector<Leaf> StandardLeaves()
{
    return {
        {"GRIB", "Atlantic", "Wind", Item("G1", "GFS wind", "GRIB", "120", "1.50")},
        {"GRIB", "Atlantic", "Wind", Item("G2", "GFS gusts", "GRIB", "9", "10.00")},
        {"GRIB", "Atlantic", "Wind", Item("G3", "GFS rain", "GRIB", "12", "9.00")},
        {"GRIB", "Pacific", "Waves", Item("G4", "WW3 waves", "GRIB", "300", "2.00")},
        {"Charts", "Pacific", "Surface", Item("W1", "Surface chart", "Chart", "80", "0.75")},
        {"Charts", "Pacific", "Surface", Item("", "Barred chart", "Chart", "70", "0.75")},
        {"Race", "Course", "Marks", Item("R1", "Course marks", "Text", "1", "0.10")},
        {"race", "Notes", "Notices", Item("R2", "Race notices", "Text", "2", "0.10")},
    };
}

// A local date's seconds since 1970 (the form the store keeps).
inline long long LocalSeconds(int day, wxDateTime::Month month, int year, int hour)
{
    return wxDateTime(day, month, year, hour, 0, 0).GetTicks();
}

// Stored user batches of the tests (ids 3 to 6; the seed holds 0 to 2).
struct StoredBatch {
    int id;
    const char* title;
    long long created;
    int status;
    std::vector<std::pair<const char*, int>> items;   // file id, status, in stored order
};

inline std::vector<StoredBatch> StandardBatches()
{
    return {
        {3, "Alpha", LocalSeconds(15, wxDateTime::Mar, 2024, 10), 1, {{"G1", 1}, {"GONE", 1}, {"W1", 0}}},
        {4, "beta", LocalSeconds(15, wxDateTime::Mar, 2024, 18), 0, {{"G2", 1}, {"G3", 1}}},
        {5, "Gamma", LocalSeconds(2, wxDateTime::Jan, 2023, 9), 1, {}},
        {6, "Undated", -1, 1, {{"G4", 1}}},
    };
}

class LibraryTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        m_oldCwd = wxGetCwd();
        // The window reads its pictures relative to the resources folder.
        wxSetWorkingDirectory(tw::test::ResourcesDir());
        BuildCatalogue(StandardLeaves());
        ResetStore();
        app.itemsListSortInfo = ListSortInfo();
        app.batchesListSortInfo = ListSortInfo();
        app.draggedFileInfo = nullptr;
        // No test runs into the real (modal) batch dialog unless it asks for it.
        BatchWindow::SetBatchDialogRunner([](CBatch&, bool) { return static_cast<int>(wxID_CANCEL); });
    }

    void TearDown() override
    {
        Close();
        BatchWindow::SetBatchDialogRunner({});
        app.draggedFileInfo = nullptr;
        app.CloseDatabases();
        CBatchFolder::Instance()->SetDatabase(nullptr);
        app.catalogue.Empty();
        app.IndexCatalogue();
        wxSetWorkingDirectory(m_oldCwd);
    }

    // A fresh copy of the seed user database with the standard batches, as
    // the application's (a shown window is closed first).
    void ResetStore()
    {
        Close();
        app.CloseDatabases();
        wxRemoveFile(dir / "zir_user.db");
        ASSERT_TRUE(wxCopyFile(tw::test::ResourcesDir() + "/zir_user.db", dir / "zir_user.db"));
        auto* db = new wxSQLite3Database;
        db->Open(dir / "zir_user.db");
        app.userDb.reset(db);
        CBatchFolder::Instance()->SetDatabase(db);
        // The Wizard batch downloads into a folder of the test's own.
        db->ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(dir / "Wizard") + "' WHERE ID=2");
        StoreBatches(StandardBatches());
    }

    void StoreBatches(const std::vector<StoredBatch>& batches)
    {
        wxSQLite3Database& db = *app.userDb;
        for (const StoredBatch& b : batches) {
            db.ExecuteUpdate(wxString::Format(
                "INSERT INTO batches (ID,title,description,create_date,status,folder) VALUES (%d,'%s','About %s',%lld,%d,'%s')",
                b.id, b.title, b.title, b.created, b.status, SqlEscape(dir / b.title)));
            for (const auto& [fileId, status] : b.items)
                db.ExecuteUpdate(wxString::Format("INSERT INTO batch_items (batchID,productID,status) VALUES (%d,'%s',%d)",
                                                  b.id, fileId, status));
        }
    }

    // The window as the application creates it, shown and laid out.
    BatchWindow* Open(const wxSize& size = wxSize(800, 600))
    {
        window = new BatchWindow(nullptr, ID_BATCHWINDOW, "Library Window", wxDefaultPosition, size,
                                 wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX |
                                     wxRESIZE_BORDER);
        app.topWindow = window;
        window->Show();
        EXPECT_TRUE(WaitFor([this] { return window->IsShownOnScreen() && window->m_sashesTracked; }));
        Pump(30);
        return window;
    }

    void Close()
    {
        if (!window)
            return;
        window->Destroy();
        window = nullptr;
        Pump(30);
    }

    // --- stored state
    int Query(const wxString& sql, int missing = -1)
    {
        wxSQLite3ResultSet rs = app.userDb->ExecuteQuery(sql);
        const int v = rs.NextRow() ? rs.GetInt(0, missing) : missing;
        rs.Finalize();
        return v;
    }
    int ItemStatus(int batchId, const wxString& fileId)
    {
        return Query(wxString::Format("SELECT status FROM batch_items WHERE batchID=%d AND productID='%s'", batchId,
                                      fileId));
    }
    int ItemRows(int batchId, const wxString& fileId)
    {
        return Query(wxString::Format("SELECT count(*) FROM batch_items WHERE batchID=%d AND productID='%s'",
                                      batchId, fileId));
    }

    // --- lists
    static wxString Text(const wxListCtrl* list, long row, int column) { return list->GetItemText(row, column); }
    static int Image(const wxListCtrl* list, long row)
    {
        wxListItem item;
        item.SetId(row);
        item.SetColumn(0);
        item.SetMask(wxLIST_MASK_IMAGE);
        list->GetItem(item);
        return item.GetImage();
    }
    static std::vector<wxString> Column(const wxListCtrl* list, int column)
    {
        std::vector<wxString> texts;
        for (long row = 0; row < list->GetItemCount(); ++row)
            texts.push_back(list->GetItemText(row, column));
        return texts;
    }
    long RowOfBatch(int id) const
    {
        for (long row = 0; row < window->m_batchesList->GetItemCount(); ++row)
            if (window->BatchIdOfRow(row) == id)
                return row;
        return -1;
    }
    long RowOfItem(const wxString& fileId) const
    {
        const wxListCtrl* list = window->m_itemsList;
        for (long row = 0; row < list->GetItemCount(); ++row) {
            auto* item = reinterpret_cast<CFileInfo*>(list->GetItemData(row));
            if (item && item->info.FileID == fileId)
                return row;
        }
        return -1;
    }
    std::vector<long> Selected(const wxListCtrl* list) const
    {
        std::vector<long> rows;
        for (long row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemState(row, wxLIST_STATE_SELECTED))
                rows.push_back(row);
        return rows;
    }

    // The window that draws a list's rows (below the headings): mouse
    // events and drop points are in its coordinates.
    static wxWindow* RowArea(wxListCtrl* list)
    {
        wxWindow* area = nullptr;
        for (wxWindow* child : list->GetChildren())
            if (!area || child->GetPosition().y > area->GetPosition().y)
                area = child;
        return area;
    }
    // A point on `row` in the row area: in column 0 (the check or status
    // column) or in the middle of column `column`.
    static wxPoint RowPoint(wxListCtrl* list, long row, int column)
    {
        wxRect rect;
        list->GetItemRect(row, rect);
        const int top = RowArea(list)->GetPosition().y;
        int x = 0;
        for (int c = 0; c < column; ++c)
            x += list->GetColumnWidth(c);
        x += std::min(list->GetColumnWidth(column) / 2, 20);
        return wxPoint(x, rect.y - top + rect.height / 2);
    }
    // A point in the row area below the last row.
    static wxPoint BelowRows(wxListCtrl* list)
    {
        const wxSize area = RowArea(list)->GetClientSize();
        return wxPoint(10, area.y - 5);
    }

    // A mouse event as the list's row area receives it from the pointer.
    static void Mouse(wxListCtrl* list, wxEventType type, const wxPoint& at)
    {
        Pump(10);   // the list acts on clicks only once it has laid its rows out
        wxWindow* area = RowArea(list);
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(area);
        event.m_leftDown = type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK;
        event.m_rightDown = type == wxEVT_RIGHT_DOWN;
        area->GetEventHandler()->ProcessEvent(event);
        if (type == wxEVT_LEFT_DOWN || type == wxEVT_RIGHT_DOWN) {
            wxMouseEvent up(type == wxEVT_LEFT_DOWN ? wxEVT_LEFT_UP : wxEVT_RIGHT_UP);
            up.SetPosition(at);
            up.SetEventObject(area);
            area->GetEventHandler()->ProcessEvent(up);
        }
        Pump(10);
    }

    // A key as a list's handler receives it (list null: posted by a command).
    void Key(wxListCtrl* list, int code, bool ctrl = false)
    {
        wxKeyEvent event(list ? wxEVT_KEY_DOWN : wxEVT_CHAR);
        event.m_keyCode = code;
        event.m_controlDown = ctrl;
        if (list) {
            event.SetEventObject(list);
            list->GetEventHandler()->ProcessEvent(event);
        } else {
            window->GetEventHandler()->ProcessEvent(event);
        }
        Pump(10);
    }

    // Selects a row as the user's click on it does.
    void ClickRow(wxListCtrl* list, long row, int column = 1) { Mouse(list, wxEVT_LEFT_DOWN, RowPoint(list, row, column)); }

    // A picture of the whole frame with its menu bar and toolbar.
    static bool ScreenShot(wxWindow* window, const wxString& path)
    {
        Pump(150);
        const wxRect rect = window->GetScreenRect();
        wxScreenDC screen;
        wxBitmap bmp(rect.width, rect.height);
        wxMemoryDC mem(bmp);
        mem.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        mem.SelectObject(wxNullBitmap);
        return bmp.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    TidewrightApp& app = wxGetApp();
    BatchWindow* window = nullptr;

private:
    wxString m_oldCwd;
};

} // namespace library_test
