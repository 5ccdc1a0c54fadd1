// The Library window over a large catalogue:
//  - construction (the whole catalogue as a tree, both lists filled) with the
//    seed catalogue and with a synthetic one of 20,000 products (target under
//    1 s), against a bare frame holding a tree of the same nodes and two
//    empty report lists built in the same run;
//  - showing a batch of 2,000 items (the batch read from the store, each
//    item's local copy looked up in a download folder of 3,000 files, half
//    of them the batch's) (target under 200 ms), against writing the same
//    2,000 rows of ready texts into the same list, and against a floor: a
//    virtual list of the same size and columns that shows the same rows
//    from the ready texts (nothing stored or measured per cell; the rows
//    are asked for only when drawn), its count set and one paint done.
// Rounds are paired (ours, then the baseline) and the medians printed.
//
// Run under a display: xvfb-run -a bench/bench_library_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/treectrl.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "model/BatchDB.h"
#include "windows/library/batchwindow.h"
#include "Figures.h"

namespace {

const long kProducts = 20000;
const int kBatchItems = 2000;
const int kOtherFiles = 2000;
const int kBatchId = 9;
const int kRuns = 7;

using bench::Clock;
using bench::Median;
using bench::Ms;

void Pump()
{
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
}

bool Run(const wxString& cmd)
{
    wxArrayString out, err;
    return wxExecute(cmd, out, err, wxEXEC_SYNC) == 0;
}

void Touch(const wxString& path)
{
    wxFile file(path, wxFile::write);
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

void LoadCatalogue(const wxString& path)
{
    wxSQLite3Database db;
    db.Open(path);
    wxGetApp().LoadCatalogue(db);
    db.Close();
}

// The user database: the seed's batches and one batch of kBatchItems items
// spread over the catalogue, downloading into `folder`, which holds every
// other item's file and kOtherFiles unrelated files.
bool MakeUserDb(const wxString& path, const wxString& folder)
{
    if (!wxCopyFile(wxString(TIDEWRIGHT_BUILD_RESOURCES) + "/zir_user.db", path, true))
        return false;
    wxFileName::Mkdir(folder, 0700, wxPATH_MKDIR_FULL);
    std::vector<CFileInfo*> items;
    for (CProduct& p : wxGetApp().catalogue)
        for (CRegion& r : p.regions)
            for (CChartType& t : r.chartTypes)
                for (CFileInfo& f : t.files)
                    items.push_back(&f);
    if (items.size() < static_cast<size_t>(kBatchItems))
        return false;
    wxSQLite3Database db;
    db.Open(path);
    db.Begin();
    db.ExecuteUpdate(wxString::Format("INSERT INTO batches (ID,title,status,create_date,folder) VALUES "
                                      "(%d,'Big batch',1,1700000000,'%s')",
                                      kBatchId, SqlEscape(folder)));
    wxSQLite3Statement st = db.PrepareStatement("INSERT INTO batch_items (batchID,productID,status) VALUES (?,?,1)");
    for (int i = 0; i < kBatchItems; ++i) {
        const CFileInfo* item = items[(static_cast<size_t>(i) * 7919) % items.size()];
        st.Reset();
        st.Bind(1, kBatchId);
        st.Bind(2, item->info.FileID);
        st.ExecuteUpdate();
        if (i % 2 == 0) {
            wxString name = item->info.Path.AfterLast('/');
            name = name.Contains("=>") ? name.AfterFirst('>') : name;
            if (name.EndsWith(".bz2"))
                name.RemoveLast(4);
            Touch(folder + "/" + name);
        }
    }
    db.Commit();
    db.Close();
    for (int i = 0; i < kOtherFiles; ++i)
        Touch(folder + wxString::Format("/unrelated_%05d.dat", i));
    return true;
}

struct Figures {
    size_t products = 0;
    double construct = 0, constructBase = 0, constructFull = 0;
    double show = 0, showBase = 0, showFloor = 0;
    int rows = 0;
};

// The toolkit's own part of construction: a frame with the same tree nodes
// (the categories, each with its button; with `full`, every node of the
// catalogue, as a tree filled all at once holds) and two report lists with
// their columns.
double BaselineConstruction(bool full)
{
    const auto t0 = Clock::now();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "baseline", wxDefaultPosition, wxSize(800, 600));
    auto* tree = new wxTreeCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE);
    auto* batches = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
    auto* items = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
    for (int c = 0; c < 4; ++c)
        batches->AppendColumn("c");
    for (int c = 0; c < 8; ++c)
        items->AppendColumn("c");
    const wxTreeItemId root = tree->AddRoot("root");
    for (CProduct& p : wxGetApp().catalogue) {
        const wxTreeItemId pn = tree->AppendItem(root, p.name);
        tree->SetItemHasChildren(pn, !p.regions.IsEmpty());
        if (!full)
            continue;
        for (CRegion& r : p.regions) {
            const wxTreeItemId rn = tree->AppendItem(pn, r.name);
            for (CChartType& t : r.chartTypes) {
                const wxTreeItemId tn = tree->AppendItem(rn, t.name);
                for (CFileInfo& f : t.files)
                    tree->AppendItem(tn, f.info.Title);
            }
        }
    }
    const auto t1 = Clock::now();
    frame->Destroy();
    Pump();
    return Ms(t0, t1);
}

// The floor: a virtual report list handing out ready texts.
class VirtualRows : public wxListCtrl
{
public:
    VirtualRows(wxWindow* parent, const std::vector<std::vector<wxString>>* rows)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_VIRTUAL), m_rows(rows)
    {
        for (int c = 0; c < 8; ++c)
            AppendColumn("c");
    }
    wxString OnGetItemText(long item, long column) const override
    {
        const size_t row = static_cast<size_t>(item);
        return row < m_rows->size() ? (*m_rows)[m_rows->size() - 1 - row][static_cast<size_t>(column)] : wxString();
    }

private:
    const std::vector<std::vector<wxString>>* m_rows;
};

double FloorRows(VirtualRows* list, size_t rows)
{
    list->SetItemCount(0);
    list->Update();
    const auto t0 = Clock::now();
    list->SetItemCount(static_cast<long>(rows));
    list->Refresh();
    list->Update();
    return Ms(t0, Clock::now());
}

// The list's own part of showing the batch: the same rows of ready texts.
double BaselineRows(wxListCtrl* list, const std::vector<std::vector<wxString>>& rows)
{
    const auto t0 = Clock::now();
    list->Freeze();
    list->DeleteAllItems();
    for (const auto& texts : rows) {
        const long row = list->InsertItem(0, wxString(), 1);
        list->SetItemPtrData(row, 0);
        for (int c = 1; c < 8; ++c)
            list->SetItem(row, c, texts[c]);
    }
    list->Thaw();
    return Ms(t0, Clock::now());
}

Figures Measure(const wxString& catalogue, const wxString& work, bool big)
{
    Figures f;
    LoadCatalogue(catalogue);
    for (CProduct& p : wxGetApp().catalogue)
        for (CRegion& r : p.regions)
            for (CChartType& t : r.chartTypes)
                f.products += t.files.GetCount();
    const wxString userDb = work + "/zir_user.db";
    if (big && !MakeUserDb(userDb, work + "/Big batch")) {
        std::fprintf(stderr, "could not make the user database\n");
        std::exit(1);
    }
    if (!big)
        wxCopyFile(wxString(TIDEWRIGHT_BUILD_RESOURCES) + "/zir_user.db", userDb, true);
    auto* db = new wxSQLite3Database;
    db->Open(userDb);
    wxGetApp().userDb.reset(db);

    std::vector<double> construct, constructBase, constructFull, show, showBase, showFloor;
    std::vector<std::vector<wxString>> floorRows;
    wxFrame* floorFrame = nullptr;
    VirtualRows* floorList = nullptr;
    if (big) {
        floorFrame = new wxFrame(nullptr, wxID_ANY, "floor", wxDefaultPosition, wxSize(800, 600));
        floorList = new VirtualRows(floorFrame, &floorRows);
        floorFrame->Show();
        Pump();
    }
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = Clock::now();
        auto* window = new BatchWindow(nullptr);
        const auto t1 = Clock::now();
        construct.push_back(Ms(t0, t1));
        constructBase.push_back(BaselineConstruction(false));
        constructFull.push_back(BaselineConstruction(true));

        if (big) {
            window->Show();
            Pump();
            const auto s0 = Clock::now();
            window->SelectBatch(kBatchId);
            const auto s1 = Clock::now();
            show.push_back(Ms(s0, s1));
            f.rows = window->m_itemsList->GetItemCount();
            std::vector<std::vector<wxString>> rows;
            for (long row = f.rows - 1; row >= 0; --row) {
                std::vector<wxString> texts;
                for (int c = 0; c < 8; ++c)
                    texts.push_back(window->m_itemsList->GetItemText(row, c));
                rows.push_back(texts);
            }
            floorRows = rows;
            floorList->SetSize(window->m_itemsList->GetSize());
            showFloor.push_back(FloorRows(floorList, floorRows.size()));
            showBase.push_back(BaselineRows(window->m_itemsList, rows));
        }
        window->Destroy();
        Pump();
    }
    if (floorFrame) {
        floorFrame->Destroy();
        Pump();
    }
    f.construct = Median(construct);
    f.constructBase = Median(constructBase);
    f.constructFull = Median(constructFull);
    if (big) {
        f.show = Median(show);
        f.showBase = Median(showBase);
        f.showFloor = Median(showFloor);
    }
    wxGetApp().CloseDatabases();
    CBatchFolder::Instance()->SetDatabase(nullptr);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "could not start the toolkit (run under a display)\n");
        return 2;
    }
    wxInitAllImageHandlers();
    wxLog::EnableLogging(false);

    const wxString work = wxFileName::CreateTempFileName("tw-library-bench-");
    wxRemoveFile(work);
    wxFileName::Mkdir(work, 0700);
    SetHome(work + "/home");
    wxSetWorkingDirectory(TIDEWRIGHT_BUILD_RESOURCES);

    const wxString synthetic = work + "/zir_synthetic.db";
    const wxString builder = wxString(TIDEWRIGHT_BINARY_DIR) + "/tools/seedbuilder/tw_seedbuilder";
    if (!Run("\"" + builder + "\" --synthetic " + wxString::Format("%ld", kProducts) + " \"" + synthetic + "\"")) {
        std::fprintf(stderr, "could not make the synthetic catalogue\n");
        return 1;
    }

    wxFileName::Mkdir(work + "/seed", 0700);
    const Figures seed = Measure(wxString(TIDEWRIGHT_BUILD_RESOURCES) + "/zir.db", work + "/seed", false);
    const Figures large = Measure(synthetic, work, true);

    std::printf("Library window, medians of %d paired rounds (mode: the window built alone, in this process):\n",
                kRuns);
    std::printf("  construction, seed catalogue (%zu products): %8.1f ms (bare tree and lists: %7.1f ms, ratio %.2f)\n",
                seed.products, seed.construct, seed.constructBase, seed.construct / seed.constructBase);
    std::printf("  construction, %zu products:                %8.1f ms (bare tree and lists: %7.1f ms, ratio %.2f)"
                "  target < 1000 ms\n",
                large.products, large.construct, large.constructBase, large.construct / large.constructBase);
    std::printf("    for reference, a bare tree of every node of the catalogue: seed %.1f ms, %zu products %.1f ms\n",
                seed.constructFull, large.products, large.constructFull);
    std::printf("  showing a batch of %d items (%d rows):     %8.1f ms (same rows of ready texts: %7.1f ms, ratio %.2f)"
                "  target < 200 ms\n",
                kBatchItems, large.rows, large.show, large.showBase, large.show / large.showBase);
    std::printf("    floor, a virtual list showing the same rows:  %8.1f ms (ratio ours / floor %.2f)\n",
                large.showFloor, large.show / large.showFloor);

    wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
    wxEntryCleanup();
    return large.rows == kBatchItems ? 0 : 1;
}
