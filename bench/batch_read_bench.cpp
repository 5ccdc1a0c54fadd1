// Reading a large batch: GetBatchByIndex of a batch of 5,000 items over a
// catalogue of 20,000 items, and the same batch over a catalogue ten times
// smaller. Each item row costs one catalogue lookup; with the catalogue's
// index the two times are about the same (ratio near 1), while a walk of the
// tree per item would make the large catalogue about ten times slower.
//
// Run under a display (xvfb-run -a bench/bench_batch_read_bench); the
// synthetic catalogues are made with the seed builder's --synthetic mode.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "model/BatchDB.h"

namespace {

const int kBatchItems = 5000;
const int kBatchId = 9;
const int kRuns = 7;

wxString SeedBuilder()
{
    return wxString(TIDEWRIGHT_BINARY_DIR) + "/tools/seedbuilder/tw_seedbuilder";
}

bool MakeCatalogue(long count, const wxString& path)
{
    wxArrayString out, err;
    const wxString cmd = "\"" + SeedBuilder() + "\" --synthetic " + wxString::Format("%ld", count) + " \"" + path + "\"";
    return wxExecute(cmd, out, err, wxEXEC_SYNC) == 0 && wxFileExists(path);
}

// A copy of the seed user database with one batch of kBatchItems items whose
// ids are spread over the whole catalogue (most of them far from its start).
bool MakeUserDb(const wxString& path, long catalogueSize)
{
    if (!wxCopyFile(wxString(TIDEWRIGHT_BUILD_RESOURCES) + "/zir_user.db", path, true))
        return false;
    wxSQLite3Database db;
    db.Open(path);
    db.Begin();
    db.ExecuteUpdate(wxString::Format("INSERT INTO batches (ID,title,status) VALUES (%d,'Big batch',1)", kBatchId));
    wxSQLite3Statement st = db.PrepareStatement("INSERT INTO batch_items (batchID,productID,status) VALUES (?,?,1)");
    for (int i = 0; i < kBatchItems; ++i) {
        const long n = (static_cast<long>(i) * 7919 + catalogueSize / 2) % catalogueSize;
        st.Reset();
        st.Bind(1, kBatchId);
        st.Bind(2, wxString::Format("syn%07ld", n));
        st.ExecuteUpdate();
    }
    db.Commit();
    db.Close();
    return true;
}

struct Result {
    double medianMs = 0;
    size_t items = 0;
};

Result Measure(const wxString& folder, long catalogueSize)
{
    Result r;
    const wxString catPath = folder + wxString::Format("/zir_%ld.db", catalogueSize);
    const wxString userPath = folder + wxString::Format("/zir_user_%ld.db", catalogueSize);
    if (!MakeCatalogue(catalogueSize, catPath) || !MakeUserDb(userPath, catalogueSize)) {
        std::fprintf(stderr, "could not make the databases for %ld items\n", catalogueSize);
        std::exit(1);
    }

    wxSQLite3Database cat;
    cat.Open(catPath);
    wxGetApp().LoadCatalogue(cat);
    cat.Close();

    wxSQLite3Database user;
    user.Open(userPath);
    CBatchFolder* store = CBatchFolder::Instance();
    store->SetDatabase(&user);

    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        const CBatch batch = store->GetBatchByIndex(kBatchId);
        const auto t1 = std::chrono::steady_clock::now();
        r.items = batch.items.GetCount();
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(times.begin(), times.end());
    r.medianMs = times[times.size() / 2];

    store->SetDatabase(nullptr);
    user.Close();
    wxGetApp().catalogue.Empty();
    wxGetApp().IndexCatalogue();
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "could not start the toolkit (run under a display)\n");
        return 2;
    }
    wxLog::EnableLogging(false);

    const wxString folder = wxFileName::CreateTempFileName("tw-bench-");
    wxRemoveFile(folder);
    wxFileName::Mkdir(folder, 0700);

    const Result large = Measure(folder, 20000);
    const Result small = Measure(folder, 2000);

    std::printf("GetBatchByIndex, %d item rows (mode: the batch store alone, in this process; goal: ratio "
                "large/small near 1):\n",
                kBatchItems);
    std::printf("  over 20000 catalogue items: %8.2f ms (%zu items read, %.2f us per item)\n", large.medianMs,
                large.items, 1000.0 * large.medianMs / kBatchItems);
    std::printf("  over  2000 catalogue items: %8.2f ms (%zu items read)\n", small.medianMs, small.items);
    std::printf("  ratio large/small catalogue: %.2f (about 1 with the index; a walk per item gives about 10)\n",
                large.medianMs / small.medianMs);

    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
    wxEntryCleanup();
    return large.items == static_cast<size_t>(kBatchItems) ? 0 : 1;
}
