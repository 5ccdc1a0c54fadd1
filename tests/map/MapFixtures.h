// Helpers of the map tests: the application's world maps and databases on
// copies of the seed databases, a shown frame to put map controls on,
// synthesised mouse events, and pictures of what a map control draws.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/wxsqlite3.h>

#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "windows/map/MapPanel.h"
#include "windows/map/ShellMapInputs.h"
#include "support/TestSupport.h"

namespace map_test {

inline wxString Resource(const wxString& name)
{
    return tw::test::ResourcesDir() + "/" + name;
}

// The application's two world maps, loaded once per test program.
inline void LoadWorldMaps()
{
    TidewrightApp& app = wxGetApp();
    if (!app.worldMapBitmap.IsOk())
        app.worldMapBitmap.LoadFile(Resource("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG);
    if (!app.worldMapAntiBitmap.IsOk())
        app.worldMapAntiBitmap.LoadFile(Resource("res/WorldmapTiffAnti.PNG"), wxBITMAP_TYPE_PNG);
}

inline int QueryInt(wxSQLite3Database& db, const wxString& sql, int missing = -1)
{
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    const int v = rs.NextRow() ? rs.GetInt(0, missing) : missing;
    rs.Finalize();
    return v;
}

inline double QueryDouble(wxSQLite3Database& db, const wxString& sql)
{
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    const double v = rs.NextRow() ? rs.GetDouble(0) : -999.0;
    rs.Finalize();
    return v;
}

inline wxArrayString QueryTexts(wxSQLite3Database& db, const wxString& sql)
{
    wxArrayString out;
    wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
    while (rs.NextRow())
        out.Add(rs.GetAsString(0));
    rs.Finalize();
    return out;
}

// A fresh HOME (settings file), copies of the seed marine-zones and user
// databases opened as the application's, the world maps loaded and a frame
// shown for map controls.
class MapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoadWorldMaps();
        ASSERT_TRUE(app.worldMapBitmap.IsOk());
        for (const char* name : {"MarineZones.db", "zir_user.db"})
            ASSERT_TRUE(wxCopyFile(Resource(name), dir / name));
        app.marineZonesDb.reset(OpenCopy("MarineZones.db"));
        app.userDb.reset(OpenCopy("zir_user.db"));
        app.dlPrefs = DLPrefs();
        app.homePosition = HomePosition(47.6, -122.3, 15, true);
        frame = new wxFrame(nullptr, wxID_ANY, "map test", wxPoint(0, 0), wxSize(900, 700));
        holder = new wxPanel(frame, wxID_ANY);
        frame->Show();
        tw::test::WaitFor([this] { return frame->IsShownOnScreen(); });
    }

    void TearDown() override
    {
        if (frame)
            frame->Destroy();
        tw::test::Pump(20);
        app.CloseDatabases();
        app.homePosition = HomePosition();
    }

    wxSQLite3Database* OpenCopy(const char* name)
    {
        auto* db = new wxSQLite3Database;
        db->Open(dir / name);
        db->SetBusyTimeout(50);
        return db;
    }

    // A shown map control of the given mode and size on the test frame.
    wxMapPanel* MakeMap(int mode, int width = 600, int height = 300)
    {
        auto* map = new wxMapPanel(holder, wxS("res/WorldmapTiff.PNG"), wxBITMAP_TYPE_PNG, mode, width, height,
                                   tw::ShellMapInputs());
        map->m_minZoom = wxMapPanel::kWorldMinZoom;
        map->m_maxZoom = 7.0;
        holder->SetSize(frame->GetClientSize());
        tw::test::WaitFor([map] { return map->IsShownOnScreen(); });
        return map;
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    TidewrightApp& app = wxGetApp();
    wxFrame* frame = nullptr;
    wxPanel* holder = nullptr;
};

// ---------------------------------------------------------------- mouse

struct Buttons {
    bool left = false;
    bool right = false;
    bool ctrl = false;
};

inline void Mouse(wxWindow* w, wxEventType type, wxPoint p, Buttons b = {})
{
    wxMouseEvent e(type);
    e.SetPosition(p);
    e.m_leftDown = b.left;
    e.m_rightDown = b.right;
    e.SetControlDown(b.ctrl);
    e.SetRawControlDown(b.ctrl);
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

// A left drag from one device point to another in a few motion steps.
inline void LeftDrag(wxWindow* w, wxPoint from, wxPoint to)
{
    Mouse(w, wxEVT_LEFT_DOWN, from, {true});
    for (int step = 1; step <= 4; ++step)
        Mouse(w, wxEVT_MOTION, from + (to - from) * step / 4, {true});
    Mouse(w, wxEVT_LEFT_UP, to);
}

inline void Click(wxWindow* w, wxPoint p, bool ctrl = false)
{
    Mouse(w, wxEVT_LEFT_DOWN, p, {true, false, ctrl});
    Mouse(w, wxEVT_LEFT_UP, p, {false, false, ctrl});
}

inline void RightDrag(wxWindow* w, wxPoint from, wxPoint to)
{
    Mouse(w, wxEVT_RIGHT_DOWN, from, {false, true});
    for (int step = 1; step <= 4; ++step)
        Mouse(w, wxEVT_MOTION, from + (to - from) * step / 4, {false, true});
    Mouse(w, wxEVT_RIGHT_UP, to);
}

// ---------------------------------------------------------------- pictures

// What the map control draws, as a picture of its client area.
inline wxImage Picture(wxMapPanel* map)
{
    const wxSize s = map->GetClientSize();
    wxBitmap bitmap(s.x, s.y, 24);
    {
        wxMemoryDC dc(bitmap);
        map->Render(dc);
    }
    return bitmap.ConvertToImage();
}

inline wxColour At(const wxImage& img, int x, int y)
{
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

inline int Distance(const wxColour& a, const wxColour& b)
{
    return std::abs(a.Red() - b.Red()) + std::abs(a.Green() - b.Green()) + std::abs(a.Blue() - b.Blue());
}

// Pixels of one colour (within a tolerance) inside a rectangle.
inline int CountNear(const wxImage& img, const wxRect& r, const wxColour& c, int tolerance = 30)
{
    int n = 0;
    for (int y = std::max(0, r.y); y < std::min(img.GetHeight(), r.GetBottom() + 1); ++y)
        for (int x = std::max(0, r.x); x < std::min(img.GetWidth(), r.GetRight() + 1); ++x)
            if (Distance(At(img, x, y), c) <= tolerance)
                ++n;
    return n;
}

} // namespace map_test
