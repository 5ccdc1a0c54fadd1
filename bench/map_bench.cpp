// The map control's speed and memory:
//  - paint time of a 708 x 510 control at zoom 0.146, 4 (a box of about 10
//    degrees) and 7, the world map alone, with 2,000 buoys and with 200 zones
//    of 200 vertices, the view moved by a map pixel before each paint (an
//    enlarged view is scaled smoothly afresh), against a blit of a ready
//    708 x 510 picture (the least any paint costs), in paired rounds; the medians are printed (target: under 30 ms plain, 60 ms with
//    items). "render" draws into a memory picture; "window paint" is the
//    time the window's own paint handler takes, timed inside the paint
//    event once the toolkit has delivered it after a refresh (a round in
//    which no paint arrives within a second is not counted; with none at
//    all the column shows "-");
//  - hit tests (click and hover) over 2,000 buoys or 200 zones, per event,
//    against the same event over a map without items (target: under 2 ms);
//  - opening the zone map (dialog, InitWeatherzones with 300 zone codes and
//    centring), against running the same two queries per code bare
//    (target: under 200 ms);
//  - resident memory with five map controls open against one (target: growth
//    well under one 4096 x 2048 world bitmap, 32 MB).
//
// Run under a display: DISPLAY=:N bench/bench_map_bench
#include <memory>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "windows/map/MapPanel.h"
#include "windows/map/ShellMapInputs.h"
#include "windows/map/weatherzonedialog.h"
#include "platform/UiHooks.h"
#include "Figures.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

// Paired rounds: each round times `rounds` runs of each function once; the
// median over the rounds of each is returned.
std::pair<double, double> Paired(const std::function<void()>& work, const std::function<void()>& baseline,
                                 int rounds = 15)
{
    std::vector<double> a, b;
    work();
    baseline();
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        work();
        auto t1 = Clock::now();
        baseline();
        auto t2 = Clock::now();
        a.push_back(Ms(t0, t1));
        b.push_back(Ms(t1, t2));
    }
    return {Median(a), Median(b)};
}

// Pushed onto a window: times each paint event the window handles (the
// whole handler chain, inside the event).
class PaintTimer : public wxEvtHandler
{
public:
    bool ProcessEvent(wxEvent& event) override
    {
        if (event.GetEventType() != wxEVT_PAINT)
            return wxEvtHandler::ProcessEvent(event);
        const auto t0 = Clock::now();
        const bool handled = wxEvtHandler::ProcessEvent(event);
        lastMs = Ms(t0, Clock::now());
        ++paints;
        return handled;
    }
    int paints = 0;
    double lastMs = 0;
};

// Refreshes `w` and waits (at most a second) for its paint; the paint's
// own time, or a negative value when none came.
double PaintOnce(wxWindow* w, PaintTimer& timer)
{
    const int before = timer.paints;
    w->Refresh(false);
    w->Update();
    const auto end = Clock::now() + std::chrono::seconds(1);
    while (timer.paints == before && Clock::now() < end) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        if (timer.paints == before)
            wxMilliSleep(1);
    }
    return timer.paints == before ? -1 : timer.lastMs;
}

// Paired rounds of a paint (timed inside its event) and the baseline; the
// medians, the paint's over the rounds in which one came (-1: none came).
std::pair<double, double> PairedPaint(wxWindow* w, PaintTimer& timer, const std::function<void()>& before,
                                      const std::function<void()>& baseline, int rounds = 15)
{
    std::vector<double> a, b;
    before();
    PaintOnce(w, timer);
    for (int r = 0; r < rounds; ++r) {
        before();
        const double paint = PaintOnce(w, timer);
        const auto t1 = Clock::now();
        baseline();
        b.push_back(Ms(t1, Clock::now()));
        if (paint >= 0)
            a.push_back(paint);
    }
    return {a.empty() ? -1.0 : Median(a), Median(b)};
}

long ResidentKb()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Click(wxWindow* w, wxPoint p)
{
    for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent e(type);
        e.SetPosition(p);
        e.m_leftDown = type == wxEVT_LEFT_DOWN;
        e.SetEventObject(w);
        w->GetEventHandler()->ProcessEvent(e);
    }
}

void Move(wxWindow* w, wxPoint p)
{
    wxMouseEvent e(wxEVT_MOTION);
    e.SetPosition(p);
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

// 200 zones of 200 vertices: overlapping rings spread over the world, so that
// many bounding boxes hold any point.
void AddZones(wxMapPanel* map)
{
    map->m_zones.Empty();
    for (int z = 0; z < 200; ++z) {
        PositionArray outline;
        const double clat = -60 + (z % 20) * 6.0, clon = -170 + (z / 20) * 34.0;
        const double r = 8 + (z % 7) * 3.0;
        for (int k = 0; k < 200; ++k) {
            const double a = 2 * M_PI * k / 200;
            const double wobble = 1 + 0.15 * std::sin(7 * a);
            outline.Add(Position(clat + r * wobble * std::sin(a), clon + 1.5 * r * wobble * std::cos(a), 1));
        }
        map->CreateWeatherZone(outline, wxString::Format("Z%03d", z), "bench zone", map->m_zonePalette[z % 10],
                               z % 3 == 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/tw-mapbench-XXXXXX";
    const std::string top = mkdtemp(tmpl) ? tmpl : "";
    if (top.empty())
        return 2;
    setenv("HOME", top.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (top + "/config").c_str(), 1);
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);
    wxFileName::Mkdir(top + "/config", 0700, wxPATH_MKDIR_FULL);

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Could not start the toolkit (is a display available?)\n");
        return 2;
    }
    wxInitAllImageHandlers();
    wxLog::EnableLogging(false);
    tw::SetMessageBoxHandler([](const tw::MessageBoxRequest&) { return int(wxOK); });
    TidewrightApp& app = wxGetApp();
    const wxString res = wxS(TIDEWRIGHT_BUILD_RESOURCES);

    const long rssStart = ResidentKb();
    app.worldMapBitmap.LoadFile(res + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG);
    app.worldMapAntiBitmap.LoadFile(res + "/res/WorldmapTiffAnti.PNG", wxBITMAP_TYPE_PNG);
    if (!app.worldMapBitmap.IsOk()) {
        std::fprintf(stderr, "the world maps did not load\n");
        return 2;
    }
    app.homePosition = HomePosition(47.6, -122.3, 15, true);

    auto* frame = new wxFrame(nullptr, wxID_ANY, "map bench", wxPoint(0, 0), wxSize(1000, 800));
    auto* holder = new wxPanel(frame);
    frame->Show();
    Pump();

    // ------------------------------------------------------------ paint
    {
        auto* map =
            new wxMapPanel(holder, "res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG, 2, 708, 510, tw::ShellMapInputs());
        map->m_minZoom = wxMapPanel::kWorldMinZoom;
        map->m_maxZoom = 7.0;
        Pump();
        wxBitmap target(708, 510, 24);
        wxBitmap ready(708, 510, 24);
        {
            wxMemoryDC dc(ready);
            map->Render(dc);
        }
        // The view moves by a map pixel between paints, so that an enlarged
        // view is made afresh every time (the cost after every view change).
        int nudge = 1;
        auto move = [&] {
            map->m_scrollX += nudge;
            nudge = -nudge;
        };
        auto render = [&] {
            move();
            wxMemoryDC dc(target);
            map->Render(dc);
        };
        auto* paintTimer = new PaintTimer;
        map->PushEventHandler(paintTimer);
        auto blit = [&] {
            wxMemoryDC dc(target);
            dc.DrawBitmap(ready, 0, 0, false);
        };
        std::vector<std::pair<double, double>> buoys;
        for (int i = 0; i < 2000; ++i)
            map->CreateBuoy(-70 + (i % 50) * 2.8, -179 + (i / 50) * 8.9, "bench", wxString::Format("B%04d", i),
                            i % 2 == 0, nullptr);

        std::printf("mode: one 708 x 510 map control in a shown frame, on this display\n");
        std::printf("paint of a 708 x 510 map control (median of paired rounds, ms; goal: under 30 ms plain, "
                    "60 ms with items)\n");
        std::printf("%-34s %8s %8s %12s %8s\n", "case", "zoom", "render", "window paint", "blit");
        struct Case {
            const char* name;
            bool buoys, zones;
        } cases[] = {{"world map alone", false, false}, {"with 2,000 buoys", true, false},
                     {"with 200 zones of 200 vertices", false, true}};
        for (const Case& c : cases) {
            for (double zoom : {wxMapPanel::kWorldMinZoom, 4.0, 7.0}) {
                map->m_showBuoys = c.buoys;
                map->m_showZones = c.zones;
                map->m_subMapOrigin.m_lat = 90.0;
                map->m_subMapOrigin.m_lon = -180.0;
                map->m_pixelsPerDegree = 4096.0 / 360.0;
                if (c.zones)
                    AddZones(map);
                map->m_zoom = zoom;
                map->CenterOnLogicalPoint(wxPoint(1500, 800));
                const auto [r, b1] = Paired(render, blit);
                const auto [p, b2] = PairedPaint(map, *paintTimer, move, blit);
                char paintText[32] = "-";
                if (p >= 0)
                    std::snprintf(paintText, sizeof paintText, "%.2f", p);
                std::printf("%-34s %8.3f %8.2f %12s %8.2f\n", c.name, zoom, r, paintText, (b1 + b2) / 2);
            }
        }

        // ------------------------------------------------------------ hit tests
        // Points on no item measure the search itself; points on an item also
        // open the toolkit's tip window (hover) or redraw the item (click).
        std::printf("\nhit tests per mouse event (median of paired rounds, ms; goal: under 2 ms)\n");
        std::printf("%-34s %12s %12s %14s\n", "case", "on no item", "on an item", "without items");
        map->m_zoom = wxMapPanel::kWorldMinZoom;
        map->CenterOnLogicalPoint(wxPoint(2048, 1024));
        for (bool overBuoys : {true, false}) {
            map->m_showBuoys = overBuoys;
            map->m_showZones = !overBuoys;
            if (!overBuoys)
                AddZones(map);
            {
                wxMemoryDC dc(target);
                map->Render(dc);   // places the items, as a paint does
            }
            std::vector<wxPoint> empty, onItem;
            for (int y = 3; y < 505 && (empty.size() < 100 || onItem.size() < 100); y += 7)
                for (int x = 3; x < 700; x += 11) {
                    const wxPoint p(x, y);
                    bool hit = false;
                    for (size_t i = 0; i < map->m_buoys.GetCount() && overBuoys && !hit; ++i)
                        hit = map->m_buoys[i].m_hitRect.Contains(p);
                    for (size_t i = 0; i < map->m_zones.GetCount() && !overBuoys && !hit; ++i)
                        hit = map->m_zones[i].m_region.Contains(mapgeo::MapPoint {x, y});
                    (hit ? onItem : empty).push_back(p);
                }
            empty.resize(std::min<size_t>(empty.size(), 100));
            onItem.resize(std::min<size_t>(onItem.size(), 100));
            for (bool click : {true, false}) {
                auto run = [&](const std::vector<wxPoint>& points) {
                    return [&, click] {
                        for (const wxPoint& p : points)
                            click ? Click(map, p) : Move(map, p);
                        Move(map, wxPoint(1, 1));
                        Pump();
                    };
                };
                auto bare = [&] {
                    const bool b = map->m_showBuoys, z = map->m_showZones;
                    map->m_showBuoys = map->m_showZones = false;
                    run(empty)();
                    map->m_showBuoys = b;
                    map->m_showZones = z;
                };
                const auto [none, without] = Paired(run(empty), bare, 7);
                const auto [hit, unused] = Paired(run(onItem), [] {}, 7);
                (void)unused;
                const std::string name = std::string(click ? "click" : "hover") +
                                         (overBuoys ? " over 2,000 buoys" : " over 200 zones");
                std::printf("%-34s %12.4f %12.4f %14.4f\n", name.c_str(), none / empty.size(), hit / onItem.size(),
                            without / empty.size());
            }
        }
        map->PopEventHandler(true);
        map->Destroy();
        Pump();
    }

    // ------------------------------------------------------------ zone map open
    {
        const std::string dbPath = top + "/MarineZones.db";
        wxCopyFile(res + "/MarineZones.db", wxString(dbPath));
        app.marineZonesDb = std::make_unique<wxSQLite3Database>();
        app.marineZonesDb->Open(wxString(dbPath));
        wxArrayString codes;
        app.marineZonesDb->Begin();
        for (int z = 0; z < 300; ++z) {
            const wxString code = wxString::Format("BZ%03d", z);
            codes.Add(code);
            app.marineZonesDb->ExecuteUpdate(wxString::Format(
                "INSERT INTO MZones (zcode, region, description, Map) VALUES ('%s', 'BENCH', 'bench zone %d', "
                "'Coastal')",
                code, z));
            const double lat = 20 + (z % 15) * 2.0, lon = -125 + (z / 15) * 3.0;
            for (int k = 0; k < 40; ++k) {
                const double a = 2 * M_PI * k / 40;
                app.marineZonesDb->ExecuteUpdate(wxString::Format(
                    "INSERT INTO MZonesPos (zcode, lat, lon, part) VALUES ('%s', %.4f, %.4f, 1)", code,
                    lat + std::sin(a), lon + std::cos(a)));
            }
        }
        app.marineZonesDb->Commit();
        panel_init_vars view;
        view.zoom = 1.3;
        view.topLat = 51.3;
        view.leftLon = -132.5;
        view.pixelsPerDegree = 11.37;
        view.width = 800;
        view.height = 400;
        view.centreX = 94;
        view.centreY = 107;
        auto open = [&] {
            auto* dialog = new WeatherZoneDialog(nullptr, ID_WEATHERZONEDIALOG, "bench");
            dialog->m_mapPanel->m_minZoom = view.zoom;
            dialog->m_mapPanel->m_maxZoom = 7.0;
            dialog->m_mapPanel->InitWeatherzones("res/US800_400.png", view, codes);
            dialog->m_mapPanel->CenterOnLogicalPoint(wxPoint(view.centreX, view.centreY));
            if (dialog->m_mapPanel->m_zones.GetCount() != codes.GetCount())
                std::fprintf(stderr, "zones missing\n");
            dialog->Destroy();
        };
        auto bare = [&] {
            wxSQLite3Statement zq = app.marineZonesDb->PrepareStatement("SELECT * FROM MZones WHERE zcode=?");
            wxSQLite3Statement pq =
                app.marineZonesDb->PrepareStatement("SELECT * FROM MZonesPos WHERE zcode=? ORDER BY part,ROWID");
            double sum = 0;
            for (const wxString& code : codes) {
                zq.Reset();
                zq.Bind(1, code);
                wxSQLite3ResultSet a = zq.ExecuteQuery();
                while (a.NextRow())
                    sum += a.GetInt("selected", 0);
                pq.Reset();
                pq.Bind(1, code);
                wxSQLite3ResultSet b = pq.ExecuteQuery();
                while (b.NextRow())
                    sum += b.GetDouble("lat", 0.0);
            }
            if (sum < 0)
                std::printf(" ");
        };
        const auto [opened, queries] = Paired(open, bare, 9);
        Pump();
        std::printf("\nzone map open with 300 zone codes (median, ms; goal: under 200 ms)\n");
        std::printf("%-34s %10.2f\n%-34s %10.2f\n", "dialog + InitWeatherzones + centre", opened,
                    "the same queries alone", queries);
        app.CloseDatabases();
    }

    // ------------------------------------------------------------ memory
    {
        std::vector<wxMapPanel*> maps;
        auto addMap = [&] {
            auto* map = new wxMapPanel(holder, "res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG, 4, 708, 510,
                                       tw::ShellMapInputs());
            map->m_minZoom = wxMapPanel::kWorldMinZoom;
            map->m_maxZoom = 7.0;
            map->SetZoom0Rect(47.6f, 122.3f, 15.0f, 1, 0, -1);
            maps.push_back(map);
            Pump();
            wxBitmap target(708, 510, 24);
            wxMemoryDC dc(target);
            map->Render(dc);
            map->Refresh();
            map->Update();
        };
        addMap();
        for (int i = 0; i < 3; ++i)
            Pump();
        const long one = ResidentKb();
        for (int i = 0; i < 4; ++i)
            addMap();
        for (int i = 0; i < 3; ++i)
            Pump();
        const long five = ResidentKb();
        const double worldMb = 4096.0 * 2048 * 4 / (1024 * 1024);
        std::printf("\nresident memory (MB): at start %.1f, one map control %.1f, five %.1f; growth %.1f "
                    "against %.0f for one world bitmap\n",
                    rssStart / 1024.0, one / 1024.0, five / 1024.0, (five - one) / 1024.0, worldMb);
        bool shared = true;
        for (wxMapPanel* m : maps)
            shared = shared && m->m_mapBitmap.IsSameAs(app.worldMapBitmap);
        std::printf("every control shares the application's bitmap: %s\n", shared ? "yes" : "NO");
    }

    frame->Destroy();
    Pump();
    wxEntryCleanup();
    std::system(("rm -rf '" + top + "'").c_str());
    return 0;
}
