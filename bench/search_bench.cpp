// The product search of the Library window: a two-word search with a
// category over the seed catalogue and over a synthetic catalogue of 100,000
// products (target under 300 ms), from the Find Now press to a filled
// results list: the statement built with bound words, run on the products
// table, each hit looked up in the catalogue and written as a row.
//
// Baseline, measured in the same run on the same dialog: the same rows read
// with a plain statement whose values are written into its text, and the
// same texts written into the same list, without the catalogue look-ups.
// Rounds are paired (ours, then the baseline) and the medians printed.
//
// Run under a display: xvfb-run -a bench/bench_search_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "app/tidewrightapp.h"
#include "windows/library/find.h"
#include "platform/UiHooks.h"
#include "Figures.h"

namespace {

const long kProducts = 100000;
const int kRuns = 9;

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

wxString Quoted(const wxString& text)
{
    wxString q = text;
    q.Replace("'", "''");
    return "'" + q + "'";
}

// The same rows as the search, read with the values in the statement's
// text and written into the list as they come.
double Baseline(Find& find, const wxString& word1, const wxString& word2, const wxString& category)
{
    const auto t0 = Clock::now();
    wxListCtrl* list = find.m_results;
    list->DeleteAllItems();
    const wxString sql = "SELECT Title,Category,Region,ChartType,Description,FileID FROM products WHERE "
                         "(Description LIKE " + Quoted("%" + word1 + "%") + " OR Description LIKE " +
                         Quoted("%" + word2 + "%") + ") AND Category=" + Quoted(category) +
                         " ORDER BY Title DESC";
    list->Freeze();
    wxSQLite3ResultSet rs = wxGetApp().GetProductDb()->ExecuteQuery(sql);
    long rows = 0;
    while (rs.NextRow()) {
        const long row = list->InsertItem(rows++, rs.GetAsString(0), -1);
        list->SetItemPtrData(row, 0);
        for (int c = 1; c < 5; ++c)
            list->SetItem(row, c, rs.GetAsString(c));
    }
    rs.Finalize();
    list->Thaw();
    return Ms(t0, Clock::now());
}

struct Figures {
    size_t products = 0;
    int hits = 0;
    double search = 0, base = 0;
};

Figures Measure(const wxString& catalogue, const wxString& word1, const wxString& word2, const wxString& category)
{
    Figures f;
    TidewrightApp& app = wxGetApp();
    auto* db = new wxSQLite3Database;
    db->Open(catalogue);
    app.productDb.reset(db);
    app.LoadCatalogue(*db);
    for (CProduct& p : app.catalogue)
        for (CRegion& r : p.regions)
            for (CChartType& t : r.chartTypes)
                f.products += t.files.GetCount();

    auto* find = new Find(nullptr);
    find->Show();
    Pump();
    find->m_whatCtrl->ChangeValue(word1 + " " + word2);
    find->m_categoryChoice->SetStringSelection(category);

    std::vector<double> ours, base;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = Clock::now();
        f.hits = find->Search();
        ours.push_back(Ms(t0, Clock::now()));
        Pump();
        base.push_back(Baseline(*find, word1, word2, category));
        Pump();
    }
    f.search = Median(ours);
    f.base = Median(base);
    find->Destroy();
    Pump();
    app.catalogue.Empty();
    app.IndexCatalogue();
    app.productDb.reset();
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
    wxLog::EnableLogging(false);
    // A search that finds nothing would ask the user to acknowledge it.
    tw::SetMessageBoxHandler([](const tw::MessageBoxRequest&) { return static_cast<int>(wxOK); });

    const wxString work = wxFileName::CreateTempFileName("tw-search-bench-");
    wxRemoveFile(work);
    wxFileName::Mkdir(work, 0700);
    const wxString synthetic = work + "/zir_synthetic.db";
    const wxString builder = wxString(TIDEWRIGHT_BINARY_DIR) + "/tools/seedbuilder/tw_seedbuilder";
    if (!Run("\"" + builder + "\" --synthetic " + wxString::Format("%ld", kProducts) + " \"" + synthetic + "\"")) {
        std::fprintf(stderr, "could not make the synthetic catalogue\n");
        return 1;
    }
    const wxString seedCopy = work + "/zir.db";
    wxCopyFile(wxString(TIDEWRIGHT_BUILD_RESOURCES) + "/zir.db", seedCopy, true);

    const Figures seed = Measure(seedCopy, "wind", "waves", "GRIB Global");
    const Figures large = Measure(synthetic, "wind", "wave", "GRIB Weather");

    std::printf("Product search, two words and a category, medians of %d paired rounds:\n", kRuns);
    std::printf("  seed catalogue (%zu products), %d hits:   %7.1f ms (plain statement, same rows: %7.1f ms, "
                "ratio %.2f)\n",
                seed.products, seed.hits, seed.search, seed.base, seed.search / seed.base);
    std::printf("  %zu products, %d hits:              %7.1f ms (plain statement, same rows: %7.1f ms, "
                "ratio %.2f)  target < 300 ms\n",
                large.products, large.hits, large.search, large.base, large.search / large.base);

    wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
    wxEntryCleanup();
    return large.hits > 0 && large.search < 300 ? 0 : 1;
}
