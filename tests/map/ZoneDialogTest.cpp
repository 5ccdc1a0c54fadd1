// The forecast-zone map: zones of a region on its sub-map, clicks and tips on
// zones, the zoom buttons, storing the changed selections, and database
// failures that leave a usable map.
#include <functional>
#include <memory>
#include <set>

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/stattext.h>

#include "map/MapFixtures.h"
#include "windows/map/weatherzonedialog.h"

using namespace map_test;

namespace {

panel_init_vars View(double zoom, double top, double left, int cx, int cy, double ppd = 11.37, int w = 800,
                     int h = 400)
{
    panel_init_vars v;
    v.zoom = zoom;
    v.topLat = top;
    v.leftLon = left;
    v.pixelsPerDegree = ppd;
    v.width = w;
    v.height = h;
    v.centreX = cx;
    v.centreY = cy;
    return v;
}

const panel_init_vars kWest = View(1.3, 51.3, -132.5, 94, 107);

class ZoneDialogTest : public MapTest
{
protected:
    // The dialog filled the way its launcher fills it, and shown.
    WeatherZoneDialog* Open(const wxString& picture, const panel_init_vars& view, const wxArrayString& codes)
    {
        dialog = new WeatherZoneDialog(frame, ID_WEATHERZONEDIALOG, "World Chart - Click and Drag on Chart to Select Region");
        map = dialog->m_mapPanel;
        map->m_minZoom = view.zoom;
        map->m_maxZoom = 7.0;
        map->InitWeatherzones(picture, view, codes);
        map->CenterOnLogicalPoint(wxPoint(view.centreX, view.centreY));
        dialog->Show();
        tw::test::WaitFor([this] { return map->IsShownOnScreen(); });
        return dialog;
    }

    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
        MapTest::TearDown();
    }

    int ZoneIndex(const wxString& zcode) const
    {
        for (size_t i = 0; i < map->m_zones.GetCount(); ++i)
            if (map->m_zones[i].m_zcode == zcode)
                return int(i);
        return -1;
    }

    // Zooms in on a zone and returns a device point inside it.
    wxPoint ZoomOnto(const wxString& zcode, double zoom = 7.0)
    {
        const int i = ZoneIndex(zcode);
        EXPECT_GE(i, 0) << zcode;
        double lat = 0, lon = 0;
        const PositionArray& outline = map->m_zones[i].m_outline;
        for (size_t k = 0; k < outline.GetCount(); ++k) {
            lat += outline[k].m_lat / outline.GetCount();
            lon += outline[k].m_lon / outline.GetCount();
        }
        map->m_zoom = zoom;
        map->m_scrollX = map->m_scrollY = 0;
        map->CenterOnLogicalPoint(map->SubMapToLogical(lat, lon));
        Picture(map);
        const mapgeo::MapRect b = map->m_zones[i].m_region.Bounds();
        return wxPoint(b.x + b.width / 2, b.y + b.height / 2);
    }

    WeatherZoneDialog* dialog = nullptr;
    wxMapPanel* map = nullptr;
};

void ClickButton(wxWindow* dialog, int id)
{
    auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(id));
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

} // namespace

TEST_F(ZoneDialogTest, ShowsTheZonesOfARegionOnItsSubMap)
{
    wxArrayString codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='WEST' ORDER BY ID");
    ASSERT_GE(codes.GetCount(), 10u);
    codes.Insert("LMZ080", 3);     // listed, without outline
    codes.Insert("NOSUCH", 5);     // not in the table
    Open("res/US800_400.png", kWest, codes);

    EXPECT_EQ(map->GetMode(), wxMapPanel::kZoneSubMap);
    EXPECT_EQ(map->m_mapBitmap.GetSize(), wxSize(800, 400));
    EXPECT_TRUE(map->m_showZones);
    EXPECT_FALSE(map->m_showBuoys);
    EXPECT_DOUBLE_EQ(map->m_zoom, 1.3);
    EXPECT_EQ(map->m_scrollX, 0) << "centred near the corner: clamped";
    EXPECT_EQ(map->m_scrollY, 0);
    EXPECT_EQ(map->m_statusLabel, dialog->m_positionLabel);

    // Every code with an outline is a zone; each code takes the next colour.
    ASSERT_EQ(map->m_zones.GetCount(), codes.GetCount() - 2);
    for (size_t i = 0, z = 0; i < codes.GetCount(); ++i) {
        if (codes[i] == "LMZ080" || codes[i] == "NOSUCH")
            continue;
        const WeatherZone& zone = map->m_zones[z++];
        EXPECT_EQ(zone.m_zcode, codes[i]);
        EXPECT_EQ(zone.m_colour, map->m_zonePalette[i % 10]) << codes[i];
        EXPECT_FALSE(zone.m_description.empty());
    }

    // The position under the pointer comes from the sub-map.
    map->m_zoom = 1.0;
    map->m_scrollX = map->m_scrollY = 0;
    Mouse(map, wxEVT_MOTION, wxPoint(0, 0));
    EXPECT_EQ(dialog->m_positionLabel->GetLabel(), "51.30N - 132.50W");
    Mouse(map, wxEVT_MOTION, wxPoint(800, 400));
    EXPECT_EQ(dialog->m_positionLabel->GetLabel(), "16.12N - 62.14W");

    // An outline with a repeated vertex gives one point of the hit area.
    Picture(map);
    const WeatherZone& bay = map->m_zones[ZoneIndex("PZZ530")];
    EXPECT_EQ(bay.m_region.Points().size(), bay.m_outline.GetCount() - 1);

    // The picture lies under the zones: a zone's colour is drawn where its
    // outline puts it on the coast.
    const wxPoint inside = ZoomOnto("PZZ250");
    const wxImage picture = Picture(map);
    EXPECT_LE(Distance(At(picture, inside.x, inside.y), map->m_zones[ZoneIndex("PZZ250")].m_colour), 30);
    tw::test::Screenshot(dialog, wxFileName::GetTempDir() + "/tw-map-zones-west.png");
}

TEST_F(ZoneDialogTest, ClicksToggleZonesAndSelectedZonesAreHatched)
{
    wxArrayString codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='WEST' ORDER BY ID");
    Open("res/US800_400.png", kWest, codes);
    const int i = ZoneIndex("PZZ250");
    ASSERT_GE(i, 0);
    const wxPoint inside = ZoomOnto("PZZ250");
    const mapgeo::MapRect b = map->m_zones[i].m_region.Bounds();
    const wxRect box(b.x + 3, b.y + 3, b.width - 6, b.height - 6);
    const int blackBefore = CountNear(Picture(map), box, *wxBLACK, 60);

    Click(map, inside);
    EXPECT_TRUE(map->m_zones[i].m_selected);
    EXPECT_TRUE(map->m_zones[i].m_changed);
    const wxImage hatched = Picture(map);
    const int blackAfter = CountNear(hatched, box, *wxBLACK, 60);
    EXPECT_GT(blackAfter, blackBefore + 50) << "a selected zone is hatched";

    // Hovering shows the zone's tip.
    Mouse(map, wxEVT_MOTION, inside);
    EXPECT_EQ(map->m_hoverIndex, i);
    EXPECT_NE(map->m_tipWindow, nullptr);
    Mouse(map, wxEVT_MOTION, wxPoint(2, 2));

    // Ctrl-click toggles back; a second toggle keeps the zone marked changed.
    Click(map, inside, true);
    EXPECT_FALSE(map->m_zones[i].m_selected);
    EXPECT_TRUE(map->m_zones[i].m_changed);
    // A box only zooms (here at the largest zoom already): no toggle.
    const mapgeo::MapRect boxBefore = map->m_highlightBox;
    LeftDrag(map, inside - wxPoint(20, 20), inside + wxPoint(40, 40));
    EXPECT_FALSE(map->m_zones[i].m_selected);
    EXPECT_FALSE(map->m_highlightBox == boxBefore);
    EXPECT_DOUBLE_EQ(map->m_zoom, 7.0);
}

TEST_F(ZoneDialogTest, OnlyChangedZonesAreStoredWithTheirCodesBound)
{
    wxSQLite3Database& db = *app.marineZonesDb;
    // A code with an apostrophe is read and written as it is.
    db.ExecuteUpdate("INSERT INTO MZones (ID, zcode, region, description, Map) "
                     "VALUES (9001, 'PZZ''9', 'WEST', 'Test ''Bay''', 'Coastal')");
    db.ExecuteUpdate("INSERT INTO MZonesPos (zcode, lat, lon, part) VALUES ('PZZ''9', 47.0, -125.0, 1), "
                     "('PZZ''9', 47.0, -124.6, 1), ('PZZ''9', 46.6, -124.6, 1), ('PZZ''9', 46.6, -125.0, 1)");
    wxArrayString codes;
    for (const char* c : {"PZZ130", "PZZ131", "PZZ135", "PZZ'9"})
        codes.Add(c);
    Open("res/US800_400.png", kWest, codes);
    ASSERT_EQ(map->m_zones.GetCount(), 4u);
    EXPECT_EQ(map->m_zones[3].m_description, "Test 'Bay'");

    map->m_zones[0].m_selected = true;       // toggled once
    map->m_zones[0].m_changed = true;
    map->m_zones[3].m_selected = true;
    map->m_zones[3].m_changed = true;
    map->m_zones[1].m_changed = true;        // toggled twice: back to 0, still written
    // Not toggled: written by somebody else meanwhile, and left alone.
    db.ExecuteUpdate("UPDATE MZones SET selected=1 WHERE zcode='PZZ135'");

    const WeatherZoneArray copy = map->m_zones;
    // Refused at the second changed zone: the first one is not kept either.
    db.ExecuteUpdate("CREATE TRIGGER refuse_second BEFORE UPDATE ON MZones WHEN new.zcode='PZZ131' "
                     "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(StoreZoneSelections(db, copy), wxSQLite3Exception);
    EXPECT_TRUE(db.GetAutoCommit()) << "the transaction ended";
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ130'"), 0);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ''9'"), 0);
    db.ExecuteUpdate("DROP TRIGGER refuse_second");
    EXPECT_EQ(StoreZoneSelections(db, copy), 3);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ130'"), 1);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ131'"), 0);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ135'"), 1);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM MZones WHERE zcode='PZZ''9'"), 1);
    EXPECT_EQ(QueryInt(db, "SELECT COUNT(*) FROM MZones WHERE selected=1"), 3);

    // The next map shows the stored selection.
    dialog->Destroy();
    dialog = nullptr;
    Open("res/US800_400.png", kWest, codes);
    EXPECT_TRUE(map->m_zones[0].m_selected);
    EXPECT_FALSE(map->m_zones[0].m_changed);
    EXPECT_TRUE(map->m_zones[3].m_selected);

    // Buoys: one transaction for the changed ones, none when nothing changed.
    db.ExecuteUpdate("INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) "
                     "VALUES ('O''NEIL1', 'Quoted', 10, 10, 0)");
    BuoyArray buoys;
    Buoy b;
    b.m_stationID = "O'NEIL1";
    b.m_selected = true;
    buoys.Add(b);
    EXPECT_EQ(StoreBuoySelections(db, buoys), 0) << "nothing changed";
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM Buoys WHERE StationID='O''NEIL1'"), 0);
    buoys[0].m_changed = true;
    EXPECT_EQ(StoreBuoySelections(db, buoys), 1);
    EXPECT_EQ(QueryInt(db, "SELECT selected FROM Buoys WHERE StationID='O''NEIL1'"), 1);
    EXPECT_TRUE(db.GetAutoCommit()) << "the transaction ended";
}

TEST_F(ZoneDialogTest, ZoomOutIsDisabledOnlyByAClickAtTheMinimum)
{
    wxArrayString codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='GULF'");
    Open("res/Carribean_800_400.png", View(2.0, 41.045, -113.467, 290, 170), codes);
    wxWindow* zoomOut = dialog->FindWindow(ID_WZ_ZOOM_OUT);
    ASSERT_NE(zoomOut, nullptr);
    EXPECT_FALSE(zoomOut->IsEnabled());
    ClickButton(dialog, ID_WZ_ZOOM_IN);
    EXPECT_TRUE(zoomOut->IsEnabled());
    EXPECT_NEAR(map->m_zoom, 2.4, 1e-9);
    int clicks = 0;
    while (zoomOut->IsEnabled() && clicks < 5) {
        ClickButton(dialog, ID_WZ_ZOOM_OUT);
        ++clicks;
        if (zoomOut->IsEnabled()) {
            EXPECT_GE(map->m_zoom, 2.0);
        }
    }
    EXPECT_GE(clicks, 2) << "the click that reaches the minimum leaves the button enabled";
    EXPECT_FALSE(zoomOut->IsEnabled());
    EXPECT_DOUBLE_EQ(map->m_zoom, 2.0);
    ClickButton(dialog, ID_WZ_ZOOM_IN);
    EXPECT_TRUE(zoomOut->IsEnabled());
    tw::test::Screenshot(dialog, wxFileName::GetTempDir() + "/tw-map-zones-gulf.png");

    // Below the map's own lower bound (the high-seas view) the minimum is
    // never reached exactly and the button stays enabled.
    dialog->Destroy();
    dialog = nullptr;
    codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='HIGHSEAS'");
    Open("res/WorldmapTiffAnti.png", View(0.1, 90.0, 0.001, 2048, 1024, 4096.0 / 360.0, 4096, 2048), codes);
    EXPECT_TRUE(map->m_mapBitmap.IsSameAs(app.worldMapAntiBitmap));
    EXPECT_EQ(map->m_zones.GetCount(), codes.GetCount());
    zoomOut = dialog->FindWindow(ID_WZ_ZOOM_OUT);
    ClickButton(dialog, ID_WZ_ZOOM_IN);
    for (int k = 0; k < 4; ++k)
        ClickButton(dialog, ID_WZ_ZOOM_OUT);
    EXPECT_TRUE(zoomOut->IsEnabled());
    EXPECT_DOUBLE_EQ(map->m_zoom, wxMapPanel::kWorldMinZoom);
    tw::test::Screenshot(dialog, wxFileName::GetTempDir() + "/tw-map-zones-highseas.png");
}

TEST_F(ZoneDialogTest, EveryRegionalMapShowsItsZonesOnItsPicture)
{
    struct Region {
        const char* region;
        const char* picture;
        panel_init_vars view;
    } regions[] = {
        {"ALASKA", "res/Alaska_800_400.png", View(0.775, 82.8, 162.8, 400, 200)},
        {"PACIFIC_ISLANDS", "res/Pacific_Hawaii_800_400.png", View(0.8, 32.9, 139.8, 400, 200)},
        {"OFFSHORE_Hawaii", "res/Pacific_Hawaii_800_400.png", View(0.8, 32.9, 139.8, 400, 200)},
        {"PR_VI", "res/Carribean_800_400.png", View(7.0, 41.045, -113.467, 540, 260)},
        {"EAST", "res/US800_400.png", View(2.5, 51.3, -132.5, 665, 130)},
    };
    for (const Region& r : regions) {
        SCOPED_TRACE(r.region);
        const wxArrayString codes =
            QueryTexts(*app.marineZonesDb, wxString("SELECT zcode FROM MZones WHERE region='") + r.region + "'");
        Open(r.picture, r.view, codes);
        EXPECT_EQ(map->m_mapBitmap.GetSize(), wxSize(800, 400));
        EXPECT_EQ(map->m_zones.GetCount(), codes.GetCount());
        // Every vertex lies on the picture.
        Picture(map);
        for (size_t i = 0; i < map->m_zones.GetCount(); ++i)
            for (size_t k = 0; k < map->m_zones[i].m_outline.GetCount(); ++k) {
                const Position& p = map->m_zones[i].m_outline[k];
                map->m_scrollX = map->m_scrollY = 0;
                const wxPoint v = map->SubMapToLogical(p.m_lat, p.m_lon);
                EXPECT_TRUE(v.x >= 0 && v.x < 800 && v.y >= 0 && v.y < 400)
                    << map->m_zones[i].m_zcode << " " << p.m_lat << "/" << p.m_lon;
            }
        map->CenterOnLogicalPoint(wxPoint(r.view.centreX, r.view.centreY));
        map->Refresh();
        tw::test::Screenshot(dialog, wxFileName::GetTempDir() + "/tw-map-zones-" + wxString(r.region).Lower() +
                                         ".png");
        dialog->Destroy();
        dialog = nullptr;
        tw::test::Pump(10);
    }
    // The zone in two parts is drawn as two areas: the Johnston Atoll part
    // has the zone's colour.
    const wxArrayString hawaii = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE zcode='PHZ180'");
    Open("res/Pacific_Hawaii_800_400.png", View(0.8, 32.9, 139.8, 400, 200), hawaii);
    map->m_zoom = 1.0;
    map->m_scrollX = 200;
    map->m_scrollY = 0;
    const wxPoint johnston = map->SubMapToLogical(16.7, -169.5);
    const wxPoint honolulu = map->SubMapToLogical(21.0, -158.0);
    const wxImage picture = Picture(map);
    EXPECT_LE(Distance(At(picture, johnston.x, johnston.y), map->m_zones[0].m_colour), 30);
    EXPECT_LE(Distance(At(picture, honolulu.x, honolulu.y), map->m_zones[0].m_colour), 30);
}

TEST_F(ZoneDialogTest, ZoneOutlinesBeyondTheLeftOrTopEdgeStayOffTheMap)
{
    wxSQLite3Database& db = *app.marineZonesDb;
    db.ExecuteUpdate("INSERT INTO MZones (ID, zcode, region, description, Map) "
                     "VALUES (9002, 'EDGE1', 'WEST', 'Across the corner', 'Offshore')");
    db.ExecuteUpdate("INSERT INTO MZonesPos (zcode, lat, lon, part) VALUES ('EDGE1', 53.0, -136.0, 1), "
                     "('EDGE1', 53.0, -128.0, 1), ('EDGE1', 49.0, -128.0, 1), ('EDGE1', 49.0, -136.0, 1)");
    wxArrayString codes;
    codes.Add("EDGE1");
    Open("res/US800_400.png", kWest, codes);
    map->m_zoom = 1.0;
    map->m_scrollX = map->m_scrollY = 0;
    const wxImage picture = Picture(map);
    const mapgeo::MapPolygon& area = map->m_zones[0].m_region;
    ASSERT_EQ(area.Points().size(), 4u);
    EXPECT_LT(area.Points()[0].x, 0);
    EXPECT_LT(area.Points()[0].y, 0);
    // Drawn from the corner to 128 W and 49 N only; nothing mirrored beyond.
    const wxColour colour = map->m_zones[0].m_colour;
    EXPECT_LE(Distance(At(picture, 5, 5), colour), 30);
    const wxPoint corner = map->SubMapToLogical(49.0, -128.0);
    EXPECT_GT(Distance(At(picture, corner.x + 10, 5), colour), 30);
    EXPECT_GT(Distance(At(picture, 5, corner.y + 10), colour), 30);
}

TEST_F(ZoneDialogTest, DatabaseFailuresLeaveAUsableMapWithoutZones)
{
    const wxArrayString codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='WEST'");
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        const char* message;
        const char* caption;
    };
    std::unique_ptr<wxSQLite3Database> other;
    const Case cases[] = {
        {"missing outline table", [&] { app.marineZonesDb->ExecuteUpdate("ALTER TABLE MZonesPos RENAME TO gone"); },
         "MZonesPos", "Error"},
        {"locked database",
         [&] {
             app.marineZonesDb->ExecuteUpdate("ALTER TABLE gone RENAME TO MZonesPos");
             other = std::make_unique<wxSQLite3Database>();
             other->Open(dir / "MarineZones.db");
             other->ExecuteUpdate("BEGIN EXCLUSIVE");
         },
         "locked", "Error"},
        {"no database",
         [&] {
             other->ExecuteUpdate("ROLLBACK");
             other->Close();
             app.CloseDatabases();
         },
         "NULL common MarineZones database object.", "Notice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakIt();
        tw::test::ResetUi();
        Open("res/US800_400.png", kWest, codes);
        ASSERT_EQ(tw::test::Ui().boxes.size(), 1u) << "one box, not one per zone";
        EXPECT_EQ(tw::test::Ui().boxes[0].caption, c.caption);
        EXPECT_TRUE(tw::test::Ui().boxes[0].message.Contains(c.message)) << tw::test::Ui().boxes[0].message;
        EXPECT_EQ(map->m_zones.GetCount(), 0u);
        // Still a map: it zooms, pans, paints and takes clicks.
        ClickButton(dialog, ID_WZ_ZOOM_IN);
        EXPECT_TRUE(dialog->FindWindow(ID_WZ_ZOOM_OUT)->IsEnabled());
        Click(map, wxPoint(100, 100));
        Picture(map);
        dialog->Destroy();
        dialog = nullptr;
        tw::test::Pump(10);
    }
}

TEST_F(ZoneDialogTest, ButtonsAndTheCloseBoxEndTheDialog)
{
    const wxArrayString codes = QueryTexts(*app.marineZonesDb, "SELECT zcode FROM MZones WHERE region='WEST'");
    struct Case {
        int id;    // 0: the close box
        int result;
    } cases[] = {{ID_WZ_OK, wxID_OK}, {ID_WZ_CANCEL, wxID_CANCEL}, {0, wxID_CANCEL}};
    for (const Case& c : cases) {
        WeatherZoneDialog dlg(nullptr);
        dlg.m_mapPanel->m_minZoom = kWest.zoom;
        dlg.m_mapPanel->InitWeatherzones("res/US800_400.png", kWest, codes);
        EXPECT_EQ(dlg.FindWindow(ID_WZ_OK)->GetName(), "WZOK");
        dlg.CallAfter([&dlg, c] {
            if (c.id)
                ClickButton(&dlg, c.id);
            else
                dlg.Close();
        });
        EXPECT_EQ(dlg.ShowModal(), c.result) << c.id;
    }
}
