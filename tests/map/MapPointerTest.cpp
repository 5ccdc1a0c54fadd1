// The map control under real pointer input (the X server's test extension,
// through xdotool): what the toolkit does with the pointer while a hover tip
// is open cannot be seen by handing events to the control.
#include <cstdlib>
#include <string>

#include <wx/stattext.h>

#include "map/MapFixtures.h"
#include "windows/basic/basicwindow.h"

using namespace map_test;

namespace {

// Runs xdotool with the given arguments; true when it succeeded.
bool XDo(const wxString& args)
{
    const std::string command = "xdotool " + std::string(args.utf8_str()) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

class MapPointerTest : public MapTest
{
protected:
    void SetUp() override
    {
        MapTest::SetUp();
        ASSERT_EQ(std::system("command -v xdotool >/dev/null 2>&1"), 0) << "xdotool is needed";
    }

    // Moves the real pointer onto a client point of the map and waits until
    // the map has seen it there. The toolkit passes on one motion at a time
    // (it drops motions that come before the previous one was handled), and
    // a pointer entering a window brings no motion: when the map did not see
    // the move, the pointer steps one pixel aside and back, each step seen
    // before the next.
    bool PointerTo(wxMapPanel* map, wxPoint client, int timeoutMs = 1000)
    {
        const auto moveTo = [&](wxPoint p) {
            const wxPoint screen = map->ClientToScreen(p);
            return XDo(wxString::Format("mousemove --sync %d %d", screen.x, screen.y)) &&
                   tw::test::WaitFor([&] { return map->m_bandEnd == p; }, timeoutMs);
        };
        if (moveTo(client))
            return true;
        moveTo(client + wxPoint(1, 1));
        if (moveTo(client))
            return true;
        wxRect tip;
        if (map->m_tipWindow)
            tip = map->m_tipWindow->GetScreenRect();
        ADD_FAILURE() << "pointer at client " << client.x << "," << client.y << ": the map saw " << map->m_bandEnd.x
                      << "," << map->m_bandEnd.y << "; tip " << tip.x << "," << tip.y << " " << tip.width << "x"
                      << tip.height;
        return false;
    }

    static void View(wxMapPanel* map, int scrollX, int scrollY, double zoom)
    {
        map->m_zoom = zoom;
        map->m_scrollX = scrollX;
        map->m_scrollY = scrollY;
        map->Refresh();
        map->Update();
    }

    wxStaticText* Label(wxMapPanel* map)
    {
        auto* label = new wxStaticText(holder, wxID_ANY, "Position: ", wxPoint(10, 640), wxSize(200, -1));
        map->m_statusLabel = label;
        return label;
    }

    void TearDown() override
    {
        XDo("mouseup 1");
        XDo("mousemove 1270 1010");
        MapTest::TearDown();
    }
};

} // namespace

// Tips open over buoys and zones; with one open the pointer still belongs to
// the map: the position label follows it and the first click toggles the item.
TEST_F(MapPointerTest, WithATipOpenTheFirstClickTogglesAndTheLabelFollows)
{
    struct Case {
        const char* name;
        int mode;
    } cases[] = {{"buoy", wxMapPanel::kBuoyPicker}, {"zone", wxMapPanel::kZoneSubMap}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wxMapPanel* map = MakeMap(c.mode);
        wxStaticText* label = Label(map);
        std::function<bool()> selected;
        wxPoint item;
        wxPoint inside;   // another point on the same item
        if (c.mode == wxMapPanel::kBuoyPicker) {
            map->InitBuoys();
            map->CreateBuoy(40.0, -40.0, "Mid Atlantic", "41001", false, nullptr);
            View(map, 1500, 500, 2.0);
            Picture(map);
            item = wxPoint(map->m_buoys[0].m_x, map->m_buoys[0].m_y);
            inside = item + wxPoint(3, 2);
            selected = [map] { return map->m_buoys[0].m_selected; };
        } else {
            panel_init_vars vars;
            vars.zoom = 1.0;
            vars.topLat = 90.0;
            vars.leftLon = -180.0;
            vars.pixelsPerDegree = 4096 / 360.0;
            vars.width = 4096;
            vars.height = 2048;
            map->InitWeatherzones("res/WorldmapTiff.png", vars, wxArrayString());
            PositionArray outline;
            for (const auto& corner : {std::make_pair(45.0, -50.0), std::make_pair(45.0, -30.0),
                                       std::make_pair(35.0, -30.0), std::make_pair(35.0, -50.0)})
                outline.Add(Position(corner.first, corner.second, 1));
            map->CreateWeatherZone(outline, "ANZ999", "Open Atlantic", wxColour(255, 182, 193), false);
            View(map, 1250, 400, 1.0);
            Picture(map);
            const mapgeo::MapRect b = map->m_zones[0].m_region.Bounds();
            item = wxPoint(b.x + b.width / 2, b.y + b.height / 2);
            inside = item + wxPoint(40, 25);
            ASSERT_TRUE(map->m_zones[0].m_region.Contains({inside.x, inside.y}));
            selected = [map] { return map->m_zones[0].m_selected; };
        }

        ASSERT_TRUE(PointerTo(map, item));
        ASSERT_TRUE(tw::test::WaitFor([map] { return map->m_tipWindow != nullptr; }));
        tw::test::Pump(100);   // the tip is on screen
        const wxString before = label->GetLabel();
        EXPECT_TRUE(PointerTo(map, inside)) << "the map sees the pointer move with the tip open";
        EXPECT_NE(label->GetLabel(), before) << "the position label follows the pointer";
        EXPECT_NE(map->m_tipWindow, nullptr) << "still on the item: the tip stays";

        ASSERT_TRUE(XDo("click 1"));
        EXPECT_TRUE(tw::test::WaitFor(selected, 2000)) << "the first click toggles";
        EXPECT_FALSE(map->m_bandActive);
        // Off the item the map still follows the pointer, and the next click
        // reaches it as well.
        EXPECT_TRUE(PointerTo(map, wxPoint(5, 5)));
        EXPECT_EQ(map->m_tipWindow, nullptr);
        ASSERT_TRUE(PointerTo(map, item));
        ASSERT_TRUE(XDo("click 1"));
        EXPECT_TRUE(tw::test::WaitFor([&] { return !selected(); }, 2000));
        XDo("mousemove 1270 1010");
        tw::test::Pump(50);
        map->Destroy();
        label->Destroy();
        tw::test::Pump(50);
    }
}

// A box dragged on the Basic map across the home marker ends where the button
// is released, and that area is stored.
TEST_F(MapPointerTest, BoxDraggedAcrossTheHomeMarkerIsTheAreaStored)
{
    app.homePosition = HomePosition(45.0, -8.0, 15, true);
    app.userDb->ExecuteUpdate("UPDATE batches SET lat=1, lon=2, width=3 WHERE ID=1");
    auto* window = new BasicWindow(nullptr);
    window->Move(0, 0);
    window->Show();
    window->Raise();
    auto* map = dynamic_cast<wxMapPanel*>(wxWindow::FindWindowByName(wxS("Map Window"), window));
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->IsShownOnScreen(); }));
    // Map pixel (1956, 512), 45 N 8 W, in the middle of the panel at zoom 1.
    View(map, 1656, 362, 1.0);
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->m_homeRegion.Contains(wxPoint(300, 150)); }));

    // From 53 N 13 W to 37 N 3 W, through the marker.
    const wxPoint from(244, 58), to(357, 241);
    ASSERT_TRUE(PointerTo(map, from));
    ASSERT_TRUE(XDo("mousedown 1"));
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->m_bandActive; }));
    bool tipSeen = false;
    for (int step = 1; step <= 40; ++step) {
        const wxPoint p = from + (to - from) * step / 40;
        PointerTo(map, p, 1000);
        tipSeen = tipSeen || map->m_tipWindow != nullptr;
    }
    EXPECT_TRUE(tipSeen) << "the home tip opened on the way";
    EXPECT_EQ(map->m_bandEnd, to) << "the band follows the pointer past the marker";
    ASSERT_TRUE(XDo("mouseup 1"));
    ASSERT_TRUE(tw::test::WaitFor([map] { return !map->m_bandActive; }));

    // dx 113, dy 183: the square around map pixel (1956, 511) with side 189.
    EXPECT_NEAR(window->m_lat, 45.09, 0.01);
    EXPECT_NEAR(window->m_lon, -8.09, 0.01);
    EXPECT_NEAR(window->m_width, 189 * 360.0 / 4096, 1e-4);
    EXPECT_NEAR(QueryDouble(*app.userDb, "SELECT lat FROM batches WHERE ID=1"), 45.09, 0.01);
    EXPECT_NEAR(QueryDouble(*app.userDb, "SELECT lon FROM batches WHERE ID=1"), -8.09, 0.01);
    EXPECT_NEAR(QueryDouble(*app.userDb, "SELECT width FROM batches WHERE ID=1"), 189 * 360.0 / 4096, 1e-4);
    window->Destroy();
}
