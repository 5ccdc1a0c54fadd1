// Start-up and catalogue load over a synthetic catalogue of 20,000 products:
//  - the time from the start of the start-up to the main window shown, for
//    each of the three view modes (seeds already installed, as on every run
//    but the first);
//  - the catalogue load against a bare "SELECT * FROM products" that reads
//    every column of the same rows as text, measured in the same run, as a
//    ratio (target: at most 2);
//  - the resident memory the loaded catalogue takes;
//  - FindFileInfo lookups per second.
//
// Run under a display: xvfb-run -a bench/bench_startup_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <random>
#include <unistd.h>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "app/Init.h"
#include "app/Registry.h"
#include "app/tidewrightapp.h"

namespace {

const long kProducts = 20000;
const int kRuns = 7;
const int kStartRuns = 5;
const long kLookups = 1000000;

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void Pump(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(1);
    }
}

bool Run(const wxString& cmd)
{
    wxArrayString out, err;
    return wxExecute(cmd, out, err, wxEXEC_SYNC) == 0;
}

// A resources folder with the synthetic catalogue in place of the seed one.
bool MakeResources(const wxString& dir)
{
    const wxString build = TIDEWRIGHT_BUILD_RESOURCES;
    const wxString builder = wxString(TIDEWRIGHT_BINARY_DIR) + "/tools/seedbuilder/tw_seedbuilder";
    if (!Run("\"" + builder + "\" --synthetic " + wxString::Format("%ld", kProducts) + " \"" + dir + "/zir.db\""))
        return false;
    for (const char* name : {"zir_user.db", "MarineZones.db", "Tidewright.conf"})
        if (!wxCopyFile(build + "/" + name, dir + "/" + name))
            return false;
    return wxFileName::Exists(build + "/res") &&
           symlink((build + "/res").fn_str(), (dir + "/res").fn_str()) == 0 &&
           symlink((build + "/Icons").fn_str(), (dir + "/Icons").fn_str()) == 0;
}

void SetHome(const wxString& home)
{
    setenv("HOME", home.utf8_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").utf8_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").utf8_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").utf8_str(), 1);
    wxFileName::Mkdir(home + "/.config", 0700, wxPATH_MKDIR_FULL);
    wxFileName::Mkdir(home + "/Documents", 0700, wxPATH_MKDIR_FULL);
}

// Start-up to the main window shown on screen, for one stored view mode.
double TimeStart(const wxString& mode)
{
    TidewrightApp& app = wxGetApp();
    std::vector<double> times;
    for (int run = 0; run < kStartRuns; ++run) {
        {
            CUserConfig file;
            file.WriteText("General/DefaultView", mode);
        }
        const auto t0 = Clock::now();
        if (!app.Startup()) {
            std::fprintf(stderr, "start-up failed\n");
            std::exit(1);
        }
        while (!app.topWindow->IsShownOnScreen())
            Pump(1);
        times.push_back(Ms(t0, Clock::now()));
        app.topWindow->Destroy();
        app.topWindow = nullptr;
        Pump(20);
        app.Shutdown();
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    const wxString work = wxFileName::CreateTempFileName("tw-startup-bench-");
    wxRemoveFile(work);
    wxFileName::Mkdir(work + "/resources", 0700, wxPATH_MKDIR_FULL);
    SetHome(work + "/home");
    setenv("TIDEWRIGHT_RESOURCES", (work + "/resources").utf8_str(), 1);

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "could not start the toolkit (run under a display)\n");
        return 2;
    }
    wxLog::EnableLogging(false);
    TidewrightApp& app = wxGetApp();
    app.splashTimeoutMs = 9000;

    if (!MakeResources(work + "/resources")) {
        std::fprintf(stderr, "could not make the synthetic resources folder\n");
        return 1;
    }

    // First start: seeds copied, Portal window (first run).
    const long rssToolkit = ResidentKb();
    const auto f0 = Clock::now();
    if (!app.Startup()) {
        std::fprintf(stderr, "first start-up failed\n");
        return 1;
    }
    while (!app.topWindow->IsShownOnScreen())
        Pump(1);
    const double firstStart = Ms(f0, Clock::now());
    Pump(100);
    const long rssStarted = ResidentKb();
    const size_t loadedItems = [&] {
        size_t n = 0;
        for (const CProduct& p : app.catalogue)
            for (const CRegion& r : p.regions)
                for (const CChartType& c : r.chartTypes)
                    n += c.files.GetCount();
        return n;
    }();
    app.topWindow->Destroy();
    app.topWindow = nullptr;
    Pump(20);
    app.Shutdown();

    const double startPortal = TimeStart("LoadWindow");
    const double startBasic = TimeStart("Basic");
    const double startLibrary = TimeStart("Batch");

    // Catalogue load against the bare query, alternating, same run.
    wxSQLite3Database db;
    db.Open(CInit::GetProductDBPath(), wxString(), WXSQLITE_OPEN_READONLY);
    std::vector<double> bare, load;
    size_t bareRows = 0;
    app.catalogue.Empty();
    app.IndexCatalogue();
    const size_t heapBefore = mallinfo2().uordblks;
    size_t heapAfter = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto t0 = Clock::now();
        {
            wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM products");
            const int columns = rs.GetColumnCount();
            size_t chars = 0;
            bareRows = 0;
            while (rs.NextRow()) {
                for (int c = 0; c < columns; ++c)
                    chars += rs.GetAsString(c).length();
                ++bareRows;
            }
            if (chars == 0)
                std::fprintf(stderr, "(no text read)\n");
        }
        bare.push_back(Ms(t0, Clock::now()));

        t0 = Clock::now();
        app.LoadCatalogue(db);
        load.push_back(Ms(t0, Clock::now()));
        if (run == 0)
            heapAfter = mallinfo2().uordblks;
    }

    // Lookups of ids spread over the whole catalogue.
    std::vector<wxString> ids;
    for (const CProduct& p : app.catalogue)
        for (const CRegion& r : p.regions)
            for (const CChartType& c : r.chartTypes)
                for (const CFileInfo& f : c.files)
                    ids.push_back(f.info.FileID);
    std::mt19937 rng(42);
    std::shuffle(ids.begin(), ids.end(), rng);
    CFileInfo out;
    size_t found = 0;
    const auto l0 = Clock::now();
    for (long i = 0; i < kLookups; ++i)
        found += app.FindFileInfo(out, ids[static_cast<size_t>(i) % ids.size()]) != nullptr;
    const double lookupMs = Ms(l0, Clock::now());
    db.Close();

    const double bareMs = Median(bare);
    const double loadMs = Median(load);
    std::printf("Synthetic catalogue: %ld products (%zu rows, %zu items loaded)\n", kProducts, bareRows, loadedItems);
    std::printf("Start-up to main window shown (median of %d):\n", kStartRuns);
    std::printf("  first run (seeds copied, Portal): %8.1f ms\n", firstStart);
    std::printf("  Portal window:                    %8.1f ms\n", startPortal);
    std::printf("  Basic window:                     %8.1f ms\n", startBasic);
    std::printf("  Library window (full tree):       %8.1f ms\n", startLibrary);
    std::printf("Catalogue load (median of %d):      %8.2f ms\n", kRuns, loadMs);
    std::printf("Bare SELECT * FROM products:        %8.2f ms\n", bareMs);
    std::printf("  ratio load / bare query:          %8.2f (target <= 2)\n", loadMs / bareMs);
    std::printf("Resident memory: %ld KB with the toolkit started, %ld KB after the first start-up\n", rssToolkit,
                rssStarted);
    std::printf("Heap held by the loaded catalogue and its index: %zu KB (%.0f bytes per item)\n",
                (heapAfter - heapBefore) / 1024, double(heapAfter - heapBefore) / double(loadedItems));
    std::printf("FindFileInfo: %ld lookups in %.1f ms = %.0f lookups/s (%zu found)\n", kLookups, lookupMs,
                kLookups / (lookupMs / 1000.0), found);

    app.catalogue.Empty();
    wxEntryCleanup();
    wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
    return found == static_cast<size_t>(kLookups) ? 0 : 1;
}
