// The map control on a shown window, driven by mouse events: the box each
// mode writes back, clicks on buoys, double click, panning, tips, the status
// label, and what it draws.
#include <cmath>

#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wizard.h>

#include "map/MapFixtures.h"
#include "windows/map/mapdialog.h"
#include "windows/basic/basicwindow.h"
#include "windows/portal/loadwindow.h"

using namespace map_test;

namespace {

wxMapPanel* FindMap(wxWindow* top)
{
    return dynamic_cast<wxMapPanel*>(wxWindow::FindWindowByName(wxS("Map Window"), top));
}

// Puts a view pixel of the map at the panel's origin at zoom 1.
void View(wxMapPanel* map, int scrollX, int scrollY, double zoom = 1.0)
{
    map->m_zoom = zoom;
    map->m_scrollX = scrollX;
    map->m_scrollY = scrollY;
}

// Runs again under a comma-decimal locale: the fields must keep their points.
using MapLocaleTest = MapTest;

} // namespace

TEST_F(MapLocaleTest, PickerBoxFillsTheDialogFields)
{
    MapDialog dlg(frame);
    wxMapPanel* map = dlg.GetMapPanel();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetMode(), wxMapPanel::kCentreWidthPicker);
    EXPECT_EQ(map->m_statusLabel, dlg.m_positionLabel);
    // The dialog handles its map's box: a box on the map fills the fields.
    MapBoxEvent box(wxEVT_MAP_BOX, map->GetId(), -33.926, 151.172, 12.7);
    map->GetEventHandler()->ProcessEvent(box);
    EXPECT_EQ(dlg.m_latCtrl->GetValue(), "33.926");
    EXPECT_EQ(dlg.m_nsChoice->GetSelection(), 1);
    EXPECT_EQ(dlg.m_lonCtrl->GetValue(), "151.172");
    EXPECT_EQ(dlg.m_ewChoice->GetSelection(), 0);
    EXPECT_EQ(dlg.m_widthCtrl->GetValue(), "12");
    map->m_minZoom = wxMapPanel::kWorldMinZoom;
    map->m_maxZoom = 7.0;
    dlg.InitializePosition(10.0, 20.0, 5.0);
    dlg.Show();
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->IsShownOnScreen(); }));

    // Short drags and plain clicks change nothing.
    View(map, 3400, 1200);
    LeftDrag(map, wxPoint(300, 140), wxPoint(305, 190));
    LeftDrag(map, wxPoint(300, 140), wxPoint(250, 100));
    Click(map, wxPoint(300, 140));
    EXPECT_EQ(dlg.m_latCtrl->GetValue(), "10.00");
    EXPECT_EQ(dlg.m_widthCtrl->GetValue(), "5");

    // The pointer position in the status label.
    Mouse(map, wxEVT_MOTION, wxPoint(368, 210));
    EXPECT_EQ(dlg.m_positionLabel->GetLabel(), "33.93S - 151.17E");

    // A box around map pixel (3768, 1410) with side 145.
    View(map, 3400, 1200);
    LeftDrag(map, wxPoint(298, 140), wxPoint(438, 280));
    EXPECT_EQ(dlg.m_latCtrl->GetValue(), "33.926");
    EXPECT_EQ(dlg.m_nsChoice->GetSelection(), 1);
    EXPECT_EQ(dlg.m_lonCtrl->GetValue(), "151.172");
    EXPECT_EQ(dlg.m_ewChoice->GetSelection(), 0);
    EXPECT_EQ(dlg.m_widthCtrl->GetValue(), "12");
    EXPECT_NEAR(map->m_zoom, 300.0 / 145, 1e-12);
    double lat = 0, lon = 0, width = 0;
    dlg.RetrievePosition(lat, lon, width);
    EXPECT_DOUBLE_EQ(lat, -33.926);
    EXPECT_DOUBLE_EQ(lon, 151.172);
    EXPECT_DOUBLE_EQ(width, 12);
    tw::test::Screenshot(&dlg, wxFileName::GetTempDir() + "/tw-map-picker.png");
    dlg.Hide();
}

TEST_F(MapTest, PickerShowsTheSquareItWasOpenedWith)
{
    MapDialog dlg(frame);
    wxMapPanel* map = dlg.GetMapPanel();
    map->m_minZoom = wxMapPanel::kWorldMinZoom;
    map->m_maxZoom = 7.0;
    dlg.InitializePosition(-33.9, 151.2, 12.7);
    EXPECT_EQ(dlg.m_latCtrl->GetValue(), "33.90");
    EXPECT_EQ(dlg.m_nsChoice->GetStringSelection(), "S");
    EXPECT_EQ(dlg.m_lonCtrl->GetValue(), "151.20");
    EXPECT_EQ(dlg.m_ewChoice->GetStringSelection(), "E");
    EXPECT_EQ(dlg.m_widthCtrl->GetValue(), "12");
    mapgeo::CMapView expected;
    const wxSize s = map->GetClientSize();
    expected.SetBox(33.9f, 151.2f, 12.7f, 0, 1, -1, s.x, s.y);
    EXPECT_EQ(map->m_highlightBox, expected.m_highlightBox);
    EXPECT_DOUBLE_EQ(map->m_zoom, expected.m_zoom);
    EXPECT_NEAR(map->GetCurrentCenterInLogicalUnits().x, expected.m_highlightBox.x + expected.m_highlightBox.width / 2,
                1);

    // The box is drawn in red around the centre.
    dlg.Show();
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->IsShownOnScreen(); }));
    const wxImage picture = Picture(map);
    const mapgeo::MapRect& b = map->m_highlightBox;
    const int left = mapgeo::ViewToDevice(b.x - map->m_scrollX, map->m_zoom);
    const int top = mapgeo::ViewToDevice(b.y - map->m_scrollY, map->m_zoom);
    const int bottom = mapgeo::ViewToDevice(b.y + b.height - 1 - map->m_scrollY, map->m_zoom);
    EXPECT_GT(CountNear(picture, wxRect(left - 1, top, 3, bottom - top), wxColour(255, 0, 0), 60),
              (bottom - top) * 2 / 3);
    tw::test::Screenshot(&dlg, wxFileName::GetTempDir() + "/tw-map-picker-open.png");
    dlg.Hide();
}

TEST_F(MapTest, BasicWindowBoxIsStoredAsTheBasicArea)
{
    app.userDb->ExecuteUpdate("UPDATE batches SET lat=1, lon=2, width=3 WHERE ID=1");
    auto* window = new BasicWindow(nullptr);
    window->Show();
    wxMapPanel* map = FindMap(window);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetMode(), wxMapPanel::kMainWindow);
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->IsShownOnScreen(); }));

    // 5 by 50 is a click: nothing stored.
    View(map, 3400, 1200);
    LeftDrag(map, wxPoint(100, 50), wxPoint(105, 100));
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT lat FROM batches WHERE ID=1"), 1.0);

    View(map, 3400, 1200);
    LeftDrag(map, wxPoint(298, 140), wxPoint(438, 280));
    EXPECT_FLOAT_EQ(window->m_lat, -33.92578125f);
    EXPECT_FLOAT_EQ(window->m_lon, 151.171875f);
    EXPECT_FLOAT_EQ(window->m_width, 12.744140625f);
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT lat FROM batches WHERE ID=1"), -33.92578125);
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT lon FROM batches WHERE ID=1"), 151.171875);
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT width FROM batches WHERE ID=1"), 12.744140625);

    // A failing store is reported once and leaves the window working.
    app.userDb->ExecuteUpdate("ALTER TABLE batches RENAME TO batches_gone");
    View(map, 3400, 1200);
    LeftDrag(map, wxPoint(298, 140), wxPoint(438, 280));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Error");
    EXPECT_TRUE(tw::test::Ui().boxes[0].message.Contains("batches"));
    app.userDb->ExecuteUpdate("ALTER TABLE batches_gone RENAME TO batches");
    window->Destroy();
}

TEST_F(MapTest, PortalBoxBecomesTheManualHomeAndRecentres)
{
    auto* window = new LoadWindow(nullptr);
    window->Show();
    wxMapPanel* map = FindMap(window);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetMode(), wxMapPanel::kHomeChooser);
    EXPECT_EQ(map->GetClientSize(), wxSize(708, 510));
    ASSERT_TRUE(tw::test::WaitFor([map] { return map->IsShownOnScreen(); }));

    // A box of 181 map pixels: 15.9 degrees, stored as 15.
    View(map, 1800, 700);
    LeftDrag(map, wxPoint(100, 100), wxPoint(276, 200));
    const double lat = (2048.0 - 850) * 180 / 2048 - 90;   // box centre (1988, 850)
    const double lon = 1988.0 * 360 / 4096 - 180;
    {
        CUserConfig file;
        EXPECT_EQ(file.ReadLong("HomeLocation/Source", -1), 2);
        EXPECT_EQ(file.ReadLong("HomeLocation/ContentBox", -1), 15);
        EXPECT_NEAR(file.ReadDouble("HomeLocation/ManualLat", 0), lat, 1e-4);
        EXPECT_NEAR(file.ReadDouble("HomeLocation/ManualLon", 0), lon, 1e-4);
    }
    EXPECT_EQ(app.dlPrefs.HomeLocation_Source, 2);
    EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, 15);
    EXPECT_NEAR(app.homePosition.lat, lat, 1e-4);
    EXPECT_NEAR(app.homePosition.lon, lon, 1e-4);
    EXPECT_EQ(app.homePosition.width, 15);

    // The Portal re-centred its map on the new home box.
    const double homeLat = app.homePosition.lat, homeLon = app.homePosition.lon;
    mapgeo::CMapView expected;
    expected.SetBox(float(std::fabs(homeLat)), float(std::fabs(homeLon)), 15.0f, homeLon < 0, homeLat < 0, -1, 708,
                    510);
    EXPECT_EQ(map->m_highlightBox, expected.m_highlightBox);
    EXPECT_DOUBLE_EQ(map->m_zoom, expected.m_zoom);
    EXPECT_EQ(map->m_scrollX, expected.m_scrollX);
    EXPECT_EQ(map->m_scrollY, expected.m_scrollY);

    // A box beyond the content boxes the home page takes (1 to 180 degrees)
    // stores the nearest one: 414 degrees across the whole map, 0.6 at the
    // largest zoom.
    const struct {
        double zoom;
        wxPoint from, to;
        int stored;
    } cases[] = {{wxMapPanel::kWorldMinZoom, {10, 10}, {700, 500}, 180}, {7.0, {100, 100}, {106, 106}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        View(map, 0, 0, c.zoom);
        LeftDrag(map, c.from, c.to);
        EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, c.stored);
        CUserConfig file;
        EXPECT_EQ(file.ReadLong("HomeLocation/ContentBox", -1), c.stored);
    }
    window->Destroy();
}

// A map no window owns reports a box and nothing else: no area, home or
// setting is written, in any mode, and no box is shown.
TEST_F(MapTest, BoxOnAMapWithoutOwnerIsOnlyReported)
{
    app.userDb->ExecuteUpdate("UPDATE batches SET lat=1, lon=2, width=3 WHERE ID=1");
    const HomePosition home = app.homePosition;
    struct Seen {
        double lat, lon, width;
        wxObject* from;
    };
    std::vector<Seen> seen;
    frame->Bind(wxEVT_MAP_BOX, [&seen](MapBoxEvent& e) {
        seen.push_back({e.GetLat(), e.GetLon(), e.GetWidth(), e.GetEventObject()});
    });
    for (int mode : {wxMapPanel::kMainWindow, wxMapPanel::kCentreWidthPicker, wxMapPanel::kBuoyPicker,
                     wxMapPanel::kHomeChooser}) {
        SCOPED_TRACE(mode);
        seen.clear();
        wxMapPanel* map = MakeMap(mode);
        View(map, 3400, 1200);
        LeftDrag(map, wxPoint(298, 140), wxPoint(438, 280));
        ASSERT_EQ(seen.size(), 1u) << "one box event";
        EXPECT_DOUBLE_EQ(seen[0].lat, -33.92578125);
        EXPECT_DOUBLE_EQ(seen[0].lon, 151.171875);
        EXPECT_DOUBLE_EQ(seen[0].width, 12.744140625);
        EXPECT_EQ(seen[0].from, map);
        // A click is no box.
        Click(map, wxPoint(100, 100));
        EXPECT_EQ(seen.size(), 1u);
        map->Destroy();
    }
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT lat FROM batches WHERE ID=1"), 1.0);
    EXPECT_DOUBLE_EQ(QueryDouble(*app.userDb, "SELECT width FROM batches WHERE ID=1"), 3.0);
    EXPECT_EQ(app.dlPrefs.HomeLocation_Source, DLPrefs().HomeLocation_Source);
    EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, DLPrefs().HomeLocation_ContentBox);
    EXPECT_EQ(app.homePosition.lat, home.lat);
    EXPECT_EQ(app.homePosition.lon, home.lon);
    CUserConfig file;
    EXPECT_EQ(file.ReadLong("HomeLocation/Source", -1), -1);
    EXPECT_EQ(file.ReadLong("HomeLocation/ContentBox", -1), -1);
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
}

TEST_F(MapTest, ClicksToggleBuoysAndBandsOnlyZoom)
{
    wxMapPanel* map = MakeMap(wxMapPanel::kBuoyPicker);
    map->InitBuoys();
    map->CreateBuoy(0.0, 0.0, "Gulf of Guinea", "13001", false, nullptr);
    map->CreateBuoy(0.1, 0.1, "Gulf of Guinea East", "13002", true, nullptr);
    map->CreateBuoy(40.0, -40.0, "Mid Atlantic", "41001", false, nullptr);
    ASSERT_EQ(map->m_buoys.GetCount(), 3u);
    EXPECT_EQ(map->m_buoys[0].m_buoyName, "Gulf of Guinea");
    EXPECT_EQ(map->m_buoys[0].m_stationID, "13001");
    EXPECT_EQ(wxPoint(map->m_buoys[0].m_x, map->m_buoys[0].m_y), wxPoint(300, 150));
    EXPECT_EQ(map->m_buoys[0].m_hitRect, wxRect(296, 146, 9, 9));

    const wxPoint far(map->m_buoys[2].m_x, map->m_buoys[2].m_y);
    // Overlapping markers toggle together.
    Click(map, wxPoint(300, 150));
    EXPECT_TRUE(map->m_buoys[0].m_selected);
    EXPECT_FALSE(map->m_buoys[1].m_selected);
    EXPECT_TRUE(map->m_buoys[0].m_changed && map->m_buoys[1].m_changed);
    EXPECT_FALSE(map->m_buoys[2].m_changed);
    // A Ctrl press draws no band and the release selects.
    Mouse(map, wxEVT_LEFT_DOWN, far, {true, false, true});
    EXPECT_FALSE(map->m_bandActive);
    Mouse(map, wxEVT_LEFT_UP, far, {false, false, true});
    EXPECT_TRUE(map->m_buoys[2].m_selected);
    // Two clicks restore the selection but leave it marked changed.
    Click(map, far);
    EXPECT_FALSE(map->m_buoys[2].m_selected);
    EXPECT_TRUE(map->m_buoys[2].m_changed);

    // Drawn: selected green, unselected yellow, 9 pixels across.
    map->CreateBuoy(-20.0, 80.0, "Indian Ocean", "23001", false, nullptr);
    const wxPoint lone(map->m_buoys[3].m_x, map->m_buoys[3].m_y);
    Click(map, far);
    wxImage picture = Picture(map);
    EXPECT_LE(Distance(At(picture, far.x, far.y), wxColour(0, 255, 0)), 30);
    EXPECT_LE(Distance(At(picture, lone.x, lone.y), wxColour(255, 255, 0)), 30);
    const int yellow = CountNear(picture, wxRect(lone.x - 4, lone.y - 4, 9, 9), wxColour(255, 255, 0));
    EXPECT_GE(yellow, 9);
    EXPECT_EQ(CountNear(picture, wxRect(lone.x - 6, lone.y - 6, 13, 13), wxColour(255, 255, 0)), yellow);

    // A band zooms to its box and toggles nothing, in this mode as in 3.
    const double zoomBefore = map->m_zoom;
    LeftDrag(map, wxPoint(250, 100), wxPoint(350, 200));
    EXPECT_GT(map->m_zoom, zoomBefore);
    EXPECT_TRUE(map->m_buoys[0].m_selected);
    EXPECT_FALSE(map->m_rubberBand.IsShown());
    // The hit squares follow the view at the next paint.
    Picture(map);
    const Buoy& moved = map->m_buoys[0];
    const wxPoint expect(mapgeo::ViewToDevice(2048 - map->m_scrollX, map->m_zoom),
                         mapgeo::ViewToDevice(1024 - map->m_scrollY, map->m_zoom));
    EXPECT_EQ(wxPoint(moved.m_x, moved.m_y), expect);

    // Copies of the list are independent.
    BuoyArray copy = map->m_buoys;
    copy[0].m_selected = false;
    EXPECT_TRUE(map->m_buoys[0].m_selected);
}

TEST_F(MapTest, BandIsShownWhileDraggingAndTheMapIsNotRedrawn)
{
    wxMapPanel* map = MakeMap(wxMapPanel::kBuoyPicker);
    map->InitBuoys();
    Mouse(map, wxEVT_LEFT_DOWN, wxPoint(100, 80), {true});
    Mouse(map, wxEVT_MOTION, wxPoint(200, 160), {true});
    EXPECT_TRUE(map->m_rubberBand.IsShown());
    EXPECT_EQ(map->m_rubberBand.m_lastRect.width, 100);
    Mouse(map, wxEVT_MOTION, wxPoint(260, 200), {true});
    map->Update();
    tw::test::Screenshot(frame, wxFileName::GetTempDir() + "/tw-map-band.png");
    // Dragged up or left: the band shows without its dotted outline.
    Mouse(map, wxEVT_MOTION, wxPoint(50, 20), {true});
    EXPECT_EQ(map->m_rubberBand.m_lastRect.width, 160) << "the outline of the last step down and right";
    Mouse(map, wxEVT_LEFT_UP, wxPoint(50, 20));
    EXPECT_FALSE(map->m_rubberBand.IsShown());
    EXPECT_FALSE(map->m_bandActive);
    EXPECT_DOUBLE_EQ(map->m_zoom, wxMapPanel::kWorldMinZoom) << "a drag up and left is a click";

    // A button released outside the window: the next motion takes the band away.
    Mouse(map, wxEVT_LEFT_DOWN, wxPoint(100, 80), {true});
    Mouse(map, wxEVT_MOTION, wxPoint(200, 160), {true});
    Mouse(map, wxEVT_MOTION, wxPoint(210, 170));
    EXPECT_FALSE(map->m_rubberBand.IsShown());
}

TEST_F(MapTest, DoubleClickZoomsAndRightDragPans)
{
    wxMapPanel* map = MakeMap(wxMapPanel::kCentreWidthPicker);
    Mouse(map, wxEVT_LEFT_DCLICK, wxPoint(300, 150));
    EXPECT_DOUBLE_EQ(map->m_zoom, 0.29296875);
    EXPECT_EQ(map->GetCurrentCenterInLogicalUnits(), wxPoint(2048, 1024));

    // A right press and release without movement changes nothing.
    View(map, 1000, 500);
    Mouse(map, wxEVT_RIGHT_DOWN, wxPoint(300, 150), {false, true});
    EXPECT_EQ(map->m_panState, 1);
    Mouse(map, wxEVT_MOTION, wxPoint(302, 152), {false, true});
    EXPECT_EQ(map->m_panState, 1) << "2 pixels do not start a pan";
    Mouse(map, wxEVT_RIGHT_UP, wxPoint(302, 152));
    EXPECT_EQ(map->m_panState, 0);
    EXPECT_EQ(map->m_scrollX, 1000);
    EXPECT_EQ(map->m_scrollY, 500);

    // A drag of 3 pixels starts the pan; the scroll moves once, at the release.
    Mouse(map, wxEVT_RIGHT_DOWN, wxPoint(300, 150), {false, true});
    Mouse(map, wxEVT_MOTION, wxPoint(297, 150), {false, true});
    EXPECT_EQ(map->m_panState, 2);
    Mouse(map, wxEVT_MOTION, wxPoint(200, 100), {false, true});
    EXPECT_EQ(map->m_scrollX, 1000);
    map->Update();
    tw::test::Screenshot(frame, wxFileName::GetTempDir() + "/tw-map-pan.png");
    Mouse(map, wxEVT_RIGHT_UP, wxPoint(200, 100));
    EXPECT_EQ(map->m_panState, 0);
    EXPECT_EQ(map->m_scrollX, 1100);
    EXPECT_EQ(map->m_scrollY, 550);
    EXPECT_FALSE(map->HasCapture());

    // Far beyond the edges: clamped.
    RightDrag(map, wxPoint(10, 10), wxPoint(590, 290));
    EXPECT_EQ(map->m_scrollX, 520);
    EXPECT_EQ(map->m_scrollY, 270);
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    RightDrag(map, wxPoint(590, 290), wxPoint(0, 0));
    EXPECT_EQ(map->m_scrollX, 4096 - 600);
    EXPECT_EQ(map->m_scrollY, 2048 - 300);
    RightDrag(map, wxPoint(0, 0), wxPoint(590, 290));
    for (int i = 0; i < 8; ++i)
        RightDrag(map, wxPoint(0, 0), wxPoint(590, 290));
    EXPECT_EQ(map->m_scrollX, 0);
    EXPECT_EQ(map->m_scrollY, 0);
}

TEST_F(MapTest, TipsForBuoysAndTheHomeMarker)
{
    app.homePosition = HomePosition(41.0, -39.0, 15, true);
    wxMapPanel* map = MakeMap(wxMapPanel::kBuoyPicker);
    map->InitBuoys();
    map->CreateBuoy(40.0, -40.0, "Mid Atlantic", "41001", false, nullptr);
    map->CreateBuoy(-20.0, 80.0, "Indian Ocean", "23001", false, nullptr);
    View(map, 1500, 500, 2.0);
    Picture(map);   // places the items and the home marker
    const wxPoint buoy(map->m_buoys[0].m_x, map->m_buoys[0].m_y);
    const wxPoint homeCentre = map->m_homeRegion.GetTopLeft() + wxPoint(9, 9);
    ASSERT_FALSE(map->m_homeRegion.Contains(buoy));
    ASSERT_FALSE(map->m_buoys[0].m_hitRect.Contains(homeCentre));

    Mouse(map, wxEVT_MOTION, buoy);
    EXPECT_EQ(map->m_hoverIndex, 0);
    ASSERT_NE(map->m_tipWindow, nullptr);
    MapTipWindow* tip = map->m_tipWindow;
    // Still on the buoy: the same tip.
    Mouse(map, wxEVT_MOTION, buoy + wxPoint(1, 1));
    EXPECT_EQ(map->m_tipWindow, tip);
    // Onto the home marker while the buoy's tip is open: the tip stays.
    Mouse(map, wxEVT_MOTION, homeCentre);
    EXPECT_EQ(map->m_hoverIndex, -1);
    EXPECT_EQ(map->m_tipWindow, tip);
    // Back on the buoy, then off everything: closed.
    Mouse(map, wxEVT_MOTION, buoy);
    Mouse(map, wxEVT_MOTION, wxPoint(5, 290));
    EXPECT_EQ(map->m_tipWindow, nullptr);
    EXPECT_EQ(map->m_hoverIndex, -1);
    // The home marker alone opens its tip.
    Mouse(map, wxEVT_MOTION, homeCentre);
    EXPECT_NE(map->m_tipWindow, nullptr);
    // A band in progress or the Ctrl key keeps buoy tips from opening.
    Mouse(map, wxEVT_MOTION, wxPoint(5, 290));
    Mouse(map, wxEVT_MOTION, buoy, {false, false, true});
    EXPECT_EQ(map->m_tipWindow, nullptr);
    Mouse(map, wxEVT_LEFT_DOWN, wxPoint(5, 290), {true});
    Mouse(map, wxEVT_MOTION, buoy, {true});
    EXPECT_EQ(map->m_tipWindow, nullptr);
    Mouse(map, wxEVT_LEFT_UP, wxPoint(5, 290));
}

TEST_F(MapTest, HomeMarkerIsDrawnWithItsPixelNineNineOnTheHome)
{
    struct Case {
        double lat, lon;
        int icon;
        bool drawn;
    } cases[] = {
        {47.6, -122.3, 0, true},
        {0.0, -122.3, 0, false},
        {47.6, 0.0, 0, false},
        {-33.9, 151.2, 3, true},
    };
    const wxColour red(200, 68, 43);
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%g %g", c.lat, c.lon));
        app.homePosition = HomePosition(c.lat, c.lon, 10, true);
        app.dlPrefs.HomeLocation_IconIdx = c.icon;
        wxMapPanel* map = MakeMap(wxMapPanel::kCentreWidthPicker);
        map->m_homeRegion = wxRect();
        const wxImage picture = Picture(map);
        const wxPoint v = map->MapToLogical(c.lat, c.lon);
        const wxPoint d(mapgeo::ViewToDevice(v.x, map->m_zoom), mapgeo::ViewToDevice(v.y, map->m_zoom));
        if (c.drawn) {
            EXPECT_LE(Distance(At(picture, d.x, d.y), red), 40);
            EXPECT_EQ(map->m_homeRegion, wxRect(d.x - 9, d.y - 9, 18, 18));
        } else {
            EXPECT_GT(Distance(At(picture, d.x, d.y), red), 100);
            EXPECT_TRUE(map->m_homeRegion.IsEmpty());
        }
        map->Destroy();
    }
    // GPS/PlotHome off: not drawn.
    app.homePosition = HomePosition(47.6, -122.3, 10, false);
    wxMapPanel* map = MakeMap(wxMapPanel::kCentreWidthPicker);
    map->m_homeRegion = wxRect();
    Picture(map);
    EXPECT_TRUE(map->m_homeRegion.IsEmpty());
    // An icon index outside the table keeps the marker loaded before.
    const wxImage before = map->m_homeImage;
    app.dlPrefs.HomeLocation_IconIdx = 5;
    map->SetInputs(tw::ShellMapInputs());
    map->Init();
    ASSERT_TRUE(map->m_homeImage.IsOk());
    EXPECT_EQ(map->m_homeImage.GetSize(), before.GetSize());
    EXPECT_TRUE(map->m_homeImage.HasAlpha());
}

TEST_F(MapTest, EveryMapSharesTheApplicationsWorldMaps)
{
    wxMapPanel* a = MakeMap(wxMapPanel::kCentreWidthPicker);
    wxMapPanel* b = MakeMap(wxMapPanel::kHomeChooser, 708, 510);
    a->Update();
    b->Update();
    Picture(a);
    EXPECT_TRUE(a->m_mapBitmap.IsSameAs(app.worldMapBitmap));
    EXPECT_TRUE(b->m_mapBitmap.IsSameAs(app.worldMapBitmap));
    a->LoadWorldMap(wxMapPanel::kWorldMinZoom);
    Picture(a);
    EXPECT_TRUE(a->m_mapBitmap.IsSameAs(app.worldMapAntiBitmap));
    EXPECT_DOUBLE_EQ(a->m_lonOffset, 0.0);
    a->LoadWorldMap(wxMapPanel::kWorldMinZoom);
    EXPECT_TRUE(a->m_mapBitmap.IsSameAs(app.worldMapBitmap));

    // The map is drawn through the zoom: the Greenwich map shows sea at
    // 0 N 0 E in the middle of the panel, the Pacific map at its left edge.
    const wxImage greenwich = Picture(a);
    const wxColour sea = At(greenwich, 300, 150);
    EXPECT_GT(sea.Blue(), sea.Red() + 20);
    a->LoadWorldMap(wxMapPanel::kWorldMinZoom);
    const wxImage pacific = Picture(a);
    EXPECT_LE(Distance(At(pacific, 1, 150), sea), 30);
}

// An enlarged map is scaled smoothly: within the square a map pixel covers at
// zoom 7 the colours change (they would not, pixel by pixel enlarged), and
// the middle of each square keeps the colour of its map pixel.
TEST_F(MapTest, EnlargedMapIsScaledSmoothly)
{
    app.homePosition = HomePosition();
    wxMapPanel* map = MakeMap(wxMapPanel::kCentreWidthPicker);
    const wxImage world = app.worldMapBitmap.ConvertToImage();
    struct Case {
        const char* name;
        int scrollX, scrollY;   // a coast in view: Brittany and the Channel
        double zoom;
    } cases[] = {{"zoom 7", 2000, 420, 7.0}, {"zoom 2", 1900, 350, 2.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        map->m_zoom = c.zoom;
        map->m_scrollX = c.scrollX;
        map->m_scrollY = c.scrollY;
        const wxImage picture = Picture(map);
        const int block = static_cast<int>(c.zoom);
        int inside = 0;      // neighbours differing inside one map pixel's square
        int matching = 0, centres = 0;
        for (int y = 0; y + block < picture.GetHeight(); ++y) {
            for (int x = 0; x + 1 < picture.GetWidth(); ++x) {
                if ((x + 1) % block != 0 && Distance(At(picture, x, y), At(picture, x + 1, y)) > 0)
                    ++inside;
            }
        }
        for (int my = 1; (my + 1) * block < picture.GetHeight(); my += 3) {
            for (int mx = 1; (mx + 1) * block < picture.GetWidth(); mx += 3) {
                const wxColour source(world.GetRed(c.scrollX + mx, c.scrollY + my),
                                      world.GetGreen(c.scrollX + mx, c.scrollY + my),
                                      world.GetBlue(c.scrollX + mx, c.scrollY + my));
                const wxPoint centre(mapgeo::ViewToDevice(mx, c.zoom) + block / 2,
                                     mapgeo::ViewToDevice(my, c.zoom) + block / 2);
                ++centres;
                if (Distance(At(picture, centre.x, centre.y), source) <= 90)
                    ++matching;
            }
        }
        EXPECT_GT(inside, 1000) << "colours change within a map pixel's square";
        EXPECT_GT(matching, centres * 9 / 10) << "the map keeps its place";
    }
    tw::test::Screenshot(frame, wxFileName::GetTempDir() + "/tw-map-enlarged.png");

    // At the world's own zoom the map is drawn as before, through the zoom.
    map->m_zoom = wxMapPanel::kWorldMinZoom;
    map->m_scrollX = map->m_scrollY = 0;
    const wxColour sea = At(Picture(map), 300, 150);
    EXPECT_GT(sea.Blue(), sea.Red() + 20);
}

TEST(MapPanelConstruction, ConstructorsSetModeSizeAndMap)
{
    LoadWorldMaps();
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "constructors");
    auto* wizard = new wxWizard(frame, wxID_ANY, "wizard");
    auto* page = new wxWizardPageSimple(wizard);
    auto* dialog = new wxDialog(frame, wxID_ANY, "dialog");
    auto* panel = new wxPanel(frame);
    const wxString file = "res/WorldmapTiff.PNG";
    const MapInputs inputs = tw::ShellMapInputs();
    struct Case {
        const char* name;
        wxMapPanel* map;
        int mode;
        wxSize size;
        bool world, buoys;
    } cases[] = {
        {"wizard page", new wxMapPanel(page, file, wxBITMAP_TYPE_PNG, 2, inputs), 2, {600, 300}, true, true},
        {"dialog with mode", new wxMapPanel(dialog, file, wxBITMAP_TYPE_PNG, 3, inputs), 3, {600, 300}, false, false},
        {"dialog", new wxMapPanel(dialog, file, wxBITMAP_TYPE_PNG, inputs), 1, {600, 300}, true, false},
        {"frame with size", new wxMapPanel(frame, file, wxBITMAP_TYPE_PNG, 4, 320, 200, inputs), 4, {320, 200}, true,
         false},
        {"panel", new wxMapPanel(panel, file, wxBITMAP_TYPE_PNG, 4, 708, 510, inputs), 4, {708, 510}, true, false},
        {"frame", new wxMapPanel(frame, file, wxBITMAP_TYPE_PNG, inputs), 0, {600, 300}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.map->GetMode(), c.mode);
        EXPECT_EQ(c.map->GetSize(), c.size);
        EXPECT_EQ(c.map->m_mapBitmap.IsOk(), c.world);
        EXPECT_EQ(c.map->m_showBuoys, c.buoys);
        EXPECT_FALSE(c.map->m_showZones);
        EXPECT_DOUBLE_EQ(c.map->m_zoom, wxMapPanel::kWorldMinZoom);
        EXPECT_EQ(c.map->m_scrollX, 0);
        EXPECT_EQ(c.map->m_hoverIndex, -1);
        EXPECT_EQ(c.map->m_tipWindow, nullptr);
        EXPECT_EQ(c.map->m_zonePalette[6], wxColour(0, 255, 127));
    }
    frame->Destroy();
    tw::test::Pump(20);
}
