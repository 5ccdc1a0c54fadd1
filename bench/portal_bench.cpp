// The Portal window with 2,000 items in the Wizard batch (8 categories of 6
// chart types):
//  - construction of the whole window (controls, map on the home box, tree
//    filled from batch 2), median of paired rounds (target: under 300 ms);
//  - RefreshList(false) on an open window, against the least such a rebuild
//    costs: the same batch read through the store, the same catalogue
//    lookups and the same grouped tree appended to a plain tree control of
//    the same size and expanded, in paired rounds; medians and their ratio.
//
// Run under a display: DISPLAY=:N bench/bench_portal_bench [items]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/treectrl.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/common/checktreectrl.h"
#include "windows/portal/loadwindow.h"
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

// The catalogue's products replaced by `items` of our own, all of them in batch 2.
bool FillDatabases(int items)
{
    const wxString dbDir = tw::UserDataDir() + "/DB";
    try {
        wxSQLite3Database catalogue;
        catalogue.Open(dbDir + "/zir.db");
        catalogue.Begin();
        catalogue.ExecuteUpdate("DELETE FROM products");
        wxSQLite3Statement st = catalogue.PrepareStatement(
            "INSERT INTO products (CategoryIdx, RegionIdx, ChartTypeIdx, Category, Region, ChartType, FileID, "
            "Title, Path, File, Description, Price, Compression, RawSize, CompressedSize, Source, RaceDisable) "
            "VALUES (?,0,?,?,'Atlantic',?,?,?,?,?,?,'1.25','',200,100,'NOAA',0)");
        for (int i = 0; i < items; ++i) {
            const int category = i % 8, chartType = (i / 8) % 6;
            const wxString id = wxString::Format("B%05d", i);
            st.Bind(1, category);
            st.Bind(2, chartType);
            st.Bind(3, wxString::Format("Category %d", category));
            st.Bind(4, wxString::Format("Chart type %d", chartType));
            st.Bind(5, id);
            st.Bind(6, "Item " + id);
            st.Bind(7, "/bench/" + id + ".grb");
            st.Bind(8, id + ".grb");
            st.Bind(9, "Suggested item " + id);
            st.ExecuteUpdate();
            st.Reset();
        }
        catalogue.Commit();
        catalogue.Close();

        wxSQLite3Database user;
        user.Open(dbDir + "/zir_user.db");
        user.Begin();
        user.ExecuteUpdate("DELETE FROM batch_items WHERE batchID=2");
        wxSQLite3Statement add =
            user.PrepareStatement("INSERT INTO batch_items (batchID,productID,status) VALUES (2,?,?)");
        for (int i = 0; i < items; ++i) {
            add.Bind(1, wxString::Format("B%05d", i));
            add.Bind(2, i % 3 ? 1 : 0);
            add.ExecuteUpdate();
            add.Reset();
        }
        user.Commit();
        user.Close();
    } catch (const wxSQLite3Exception& e) {
        std::fprintf(stderr, "database: %s\n", e.GetMessage().utf8_str().data());
        return false;
    }
    return true;
}

// The baseline rebuild: read, look up, group and append to a plain tree.
void PlainRebuild(wxTreeCtrl* tree)
{
    TidewrightApp& app = wxGetApp();
    const CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(2);
    tree->Freeze();
    tree->DeleteAllItems();
    const wxTreeItemId root = tree->AddRoot("Rooter");
    std::map<wxString, wxTreeItemId> categories;
    std::map<std::pair<wxString, wxString>, wxTreeItemId> chartTypes;
    CFileInfo found;
    for (const CFileInfo& item : batch.items) {
        if (!app.FindFileInfoFilteredBasic(found, item.info.FileID, true))
            continue;
        auto cat = categories.find(found.info.Category);
        if (cat == categories.end())
            cat = categories.emplace(found.info.Category, tree->AppendItem(root, found.info.Category)).first;
        const auto key = std::make_pair(found.info.Category, found.info.ChartType);
        auto type = chartTypes.find(key);
        if (type == chartTypes.end())
            type = chartTypes.emplace(key, tree->AppendItem(cat->second, found.info.ChartType)).first;
        tree->AppendItem(type->second, found.info.Description + ":" + found.info.FileID);
    }
    tree->ExpandAll();
    tree->Thaw();
}

} // namespace

int main(int argc, char** argv)
{
    const int items = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    char tmpl[] = "/tmp/tw-portalbench-XXXXXX";
    const std::string top = mkdtemp(tmpl) ? tmpl : "";
    if (top.empty())
        return 2;
    setenv("HOME", top.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (top + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (top + "/data").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (top + "/Documents").c_str(), 1);
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);
    wxFileName::Mkdir(top + "/config", 0700, wxPATH_MKDIR_FULL);
    wxFileName::Mkdir(top + "/Documents", 0700, wxPATH_MKDIR_FULL);

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
    app.worldMapBitmap.LoadFile(res + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG);
    app.worldMapAntiBitmap.LoadFile(res + "/res/WorldmapTiffAnti.PNG", wxBITMAP_TYPE_PNG);
    if (!CInit::InitializeAppFolders() || !FillDatabases(items)) {
        std::fprintf(stderr, "could not prepare the databases\n");
        return 2;
    }
    {
        CRegistry settings;
        if (!app.InitDB(settings)) {
            std::fprintf(stderr, "could not open the databases\n");
            return 2;
        }
    }
    app.homePosition = HomePosition(47.6, -122.3, 15, true);
    CBatchFolder::Instance()->SetDatabase(app.GetUserDb());

    // Construction, one window per round.
    std::vector<double> construct;
    long leaves = 0;
    for (int round = 0; round < 11; ++round) {
        const auto t0 = Clock::now();
        auto* window = new LoadWindow(nullptr);
        const auto t1 = Clock::now();
        if (round == 0) {
            wxArrayTreeItemIds all;
            window->m_checkTree->GetItemChildrenRecursive(window->m_checkTree->GetRootItem(), all);
            for (const wxTreeItemId item : all)
                leaves += window->m_checkTree->HasCheckbox(item) && !window->m_checkTree->ItemHasChildren(item);
        } else {
            construct.push_back(Ms(t0, t1));
        }
        window->Show();
        Pump();
        window->Destroy();
        Pump();
    }

    // RefreshList(false) against the plain rebuild, paired rounds.
    auto* window = new LoadWindow(nullptr);
    window->Show();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "plain tree", wxPoint(0, 0), wxSize(300, 450));
    auto* plain = new wxTreeCtrl(frame, wxID_ANY, wxPoint(11, 10), wxSize(258, 401),
                                 wxTR_HIDE_ROOT | wxTR_LINES_AT_ROOT | wxTR_HAS_BUTTONS | wxBORDER_NONE);
    frame->Show();
    Pump();
    std::vector<double> refresh, baseline;
    window->RefreshList(false);
    PlainRebuild(plain);
    for (int round = 0; round < 15; ++round) {
        auto t0 = Clock::now();
        window->RefreshList(false);
        auto t1 = Clock::now();
        PlainRebuild(plain);
        auto t2 = Clock::now();
        refresh.push_back(Ms(t0, t1));
        baseline.push_back(Ms(t1, t2));
        Pump();
    }

    const double c = Median(construct), r = Median(refresh), b = Median(baseline);
    std::printf("Portal with %d items in batch 2 (%ld leaves in the tree)\n", items, leaves);
    std::printf("  construction (controls, map, tree):   %8.1f ms  (target under 300 ms: %s)\n", c,
                c < 300 ? "met" : "MISSED");
    std::printf("  RefreshList(false):                   %8.1f ms\n", r);
    std::printf("  plain tree of the same items:         %8.1f ms\n", b);
    std::printf("  ratio RefreshList / plain:            %8.2f\n", b > 0 ? r / b : 0.0);

    window->Destroy();
    frame->Destroy();
    Pump();
    app.CloseDatabases();
    wxEntryCleanup();
    wxFileName::Rmdir(top, wxPATH_RMDIR_RECURSIVE);
    return 0;
}
