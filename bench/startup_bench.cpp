// Start-up and catalogue load over a synthetic catalogue (20,000 products,
// or the count given as the first argument):
//  - the time from the start of the start-up to the main window shown, for
//    each of the three view modes (seeds already installed, as on every run
//    but the first), inside this process (the toolkit is up already; the
//    launch benchmark times the real program from its exec);
//  - the catalogue load against a baseline that does the same reading with
//    nothing of the catalogue's own: it selects the columns the load reads,
//    with the same types (indices as integers, texts as their UTF-8 bytes),
//    keeps every row and builds a hash index by file id; both alternate in
//    the same run, medians compared (goal: at most 1.5 times the baseline);
//  - the heap the loaded catalogue and its index hold, per product;
//  - FindFileInfo lookups per second.
//
// The first start is a first run, on which the Portal opens the content
// wizard by itself: the wizard runner is replaced, as in the tests, by one
// that answers at once as a cancelled wizard would, so the benchmark never
// waits on a modal dialog.
//
// Run under a display: DISPLAY=:N bench/bench_startup_bench [COUNT]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string_view>
#include <unordered_map>
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

#include "core/Init.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "windows/wizard/ContentWizardLauncher.h"
#include "Figures.h"

namespace {

long kProducts = 20000;
const int kRuns = 9;
const int kStartRuns = 5;
const long kLookups = 1000000;

using bench::Clock;
using bench::Median;
using bench::Ms;

// Bytes the allocator has handed out (small blocks and mapped ones).
size_t HeapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
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

// One row as the baseline keeps it.
struct BaselineRow {
    int categoryIdx, regionIdx, chartTypeIdx, raceDisable;
    std::string category, region, chartType, fileId, title, path, file, description, price, compression, rawSize,
        compressedSize, source;
};

std::string Bytes(wxSQLite3ResultSet& rs, int column)
{
    int length = 0;
    const unsigned char* p = rs.GetBlob(column, length);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length)) : std::string();
}

// The baseline: the same columns, typed as the load reads them, every row
// kept (in a deque: no row is moved as it grows), an index by file id built.
size_t BaselineLoad(wxSQLite3Database& db, std::deque<BaselineRow>& rows,
                    std::unordered_map<std::string_view, size_t>& index)
{
    rows.clear();
    index.clear();
    wxSQLite3ResultSet rs = db.ExecuteQuery(
        "SELECT CategoryIdx, RegionIdx, ChartTypeIdx, Category, Region, ChartType, FileID, Title, Path, File, "
        "Description, Price, Compression, RawSize, CompressedSize, Source, RaceDisable FROM products");
    while (rs.NextRow()) {
        BaselineRow r;
        r.categoryIdx = rs.GetInt(0, -1);
        r.regionIdx = rs.GetInt(1, -1);
        r.chartTypeIdx = rs.GetInt(2, -1);
        r.category = Bytes(rs, 3);
        r.region = Bytes(rs, 4);
        r.chartType = Bytes(rs, 5);
        r.fileId = Bytes(rs, 6);
        r.title = Bytes(rs, 7);
        r.path = Bytes(rs, 8);
        r.file = Bytes(rs, 9);
        r.description = Bytes(rs, 10);
        r.price = Bytes(rs, 11);
        r.compression = Bytes(rs, 12);
        r.rawSize = Bytes(rs, 13);
        r.compressedSize = Bytes(rs, 14);
        r.source = Bytes(rs, 15);
        r.raceDisable = rs.GetInt(16, 0);
        rows.push_back(std::move(r));
    }
    rs.Finalize();
    index.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        index.emplace(rows[i].fileId, i);
    return rows.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        kProducts = std::max(1L, std::strtol(argv[1], nullptr, 10));
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
    int wizardRuns = 0;
    tw::SetContentWizardRunner([&](wxWindow*, int) {
        ++wizardRuns;
        return false;
    });

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

    // Catalogue load against the baseline, alternating, same run.
    wxSQLite3Database db;
    db.Open(CInit::GetProductDBPath(), wxString(), WXSQLITE_OPEN_READONLY);
    std::vector<double> bare, load;
    size_t bareRows = 0;
    app.catalogue.Empty();
    app.IndexCatalogue();
    malloc_trim(0);
    const size_t heapBefore = HeapInUse();
    size_t heapAfter = 0;
    std::vector<double> ratios;
    for (int run = 0; run < kRuns; ++run) {
        // Paired rounds, the order alternating so neither side always
        // finds the other's caches warm.
        double bareRound = 0, loadRound = 0;
        for (int side = 0; side < 2; ++side) {
            // The load starts from an empty catalogue, as at start-up.
            app.catalogue.Empty();
            const auto t0 = Clock::now();
            if ((side == 0) == (run % 2 == 0)) {
                std::deque<BaselineRow> rows;
                std::unordered_map<std::string_view, size_t> index;
                bareRows = BaselineLoad(db, rows, index);
                bareRound = Ms(t0, Clock::now());
            } else {
                app.LoadCatalogue(db);
                loadRound = Ms(t0, Clock::now());
                if (heapAfter == 0)
                    heapAfter = HeapInUse();
            }
        }
        bare.push_back(bareRound);
        load.push_back(loadRound);
        ratios.push_back(loadRound / bareRound);
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
    std::printf("Mode: in-process start-up of each stored view mode (Portal, Basic, Library) after a first run;\n"
                "      the content wizard of the first run answered at once (%d run)\n", wizardRuns);
    std::printf("Synthetic catalogue: %ld products (%zu rows, %zu items loaded)\n", kProducts, bareRows, loadedItems);
    std::printf("Start-up to main window shown (median of %d; goal: within 1000 ms at 300,000 products):\n",
                kStartRuns);
    std::printf("  first run (seeds copied, Portal): %8.1f ms\n", firstStart);
    std::printf("  Portal window:                    %8.1f ms\n", startPortal);
    std::printf("  Basic window:                     %8.1f ms\n", startBasic);
    std::printf("  Library window:                  %8.1f ms\n", startLibrary);
    std::printf("Catalogue load (median of %d):      %8.2f ms (%.2f us per product)\n", kRuns, loadMs,
                loadMs * 1000.0 / double(loadedItems));
    std::printf("Baseline (same columns and types, rows kept, id index): %8.2f ms\n", bareMs);
    std::printf("  ratio load / baseline:            %8.2f (median of the paired rounds; goal <= 1.5)\n",
                Median(ratios));
    std::printf("Resident memory: %ld KB with the toolkit started, %ld KB after the first start-up\n", rssToolkit,
                rssStarted);
    std::printf("Heap held by the loaded catalogue and its index: %zu KB (%.0f bytes per product; goal < 600)\n",
                (heapAfter - heapBefore) / 1024, double(heapAfter - heapBefore) / double(loadedItems));
    std::printf("FindFileInfo: %ld lookups in %.1f ms = %.0f lookups/s (%zu found)\n", kLookups, lookupMs,
                kLookups / (lookupMs / 1000.0), found);

    app.catalogue.Empty();
    wxEntryCleanup();
    wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
    return found == static_cast<size_t>(kLookups) ? 0 : 1;
}
