// Per-file cost of a transfer of many small files in one request, through
// the transfer worker, at 1,000 and at 10,000 files of 1 KB (or the counts
// given as arguments). The observer keeps every report the way the transfer
// window's report queue does (texts appended under a lock, no pause: the
// worker folds its own progress reports). Printed per count: the whole
// transfer (set-up to the worker's end: connection, request, data phase,
// placement of every file and removal of the temporary files, with the
// settings read once when the transfer is set up) and the data phase alone,
// each per file, with the number of progress reports. Beside them, in the
// same folders, a bare loop does the least any client must do for each file
// on this file system (create its temporary file, write its 1 KB, close it,
// rename it into place): on a shared machine creating files is often the
// larger part, and it varies with what else the file system is doing.
// The two run in paired rounds (each round new folders for both, the side
// going first alternating); printed are the medians with the least and
// most of the rounds, and the ratio of the two sides round by round.
// Arguments: the counts, and --rounds N (default 7).
// Goal: the whole transfer under 0.3 ms per file at every count.
#include "GatewayBench.h"

namespace {

// Keeps what the window's report queue keeps.
class QueueLikeObserver : public bench::Observer
{
public:
    void TransferStatus(const wxString& text) override
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        m_text += text;
    }
    void TransferFileBegin(const wxString& name, int, const wxTimeSpan& estimate) override
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        m_text << "Retrieving '" << name << "'.\n";
        m_estimate = estimate.Format("%M:%S");
    }

private:
    std::mutex m_textLock;
    wxString m_text;
    wxString m_estimate;
};

struct Round {
    double whole = 0, data = 0, bare = 0;
    int reports = 0;
};

// Creates, writes, closes and renames `count` files of 1 KB from tmp/ into
// `folder`; returns the seconds.
double BarePlacement(const std::string& folder, int count)
{
    std::vector<char> bytes(1024, 'x');
    const double t0 = bench::Now();
    for (int i = 0; i < count; ++i) {
        const std::string name = "/b" + std::to_string(i) + ".txt";
        const std::string tmp = folder + "/tmp" + name;
        int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())
            || ::close(fd) != 0 || ::rename(tmp.c_str(), (folder + name).c_str()) != 0)
            return -1;
    }
    return bench::Now() - t0;
}

// The folders are removed at the end only: deleting many files makes
// creating files slower for a while on some file systems (ext4 skips
// recently freed inodes), which would burden the rounds after.
std::vector<std::string> g_work;

// A new download folder (with its tmp/) under `work`.
std::string NewFolder(const std::string& work, const std::string& name)
{
    const std::string dl = work + "/" + name;
    ::mkdir(dl.c_str(), 0777);
    ::mkdir((dl + "/tmp").c_str(), 0777);
    return dl;
}

// The worker's side of a round: the whole transfer into a new folder.
bool WorkerSide(int count, const std::string& dl, Round& round)
{
    CFileList list;
    for (int i = 0; i < count; ++i) {
        wxString name = wxString::Format("f%d.txt", i);
        list.Add(name, wxString::FromUTF8(dl) + "/tmp/" + name, wxString::FromUTF8(dl) + "/" + name, name, "", "1",
                 false, 0, 0, 0);
    }
    QueueLikeObserver observer;
    const double t0 = bench::Now();
    bench::RunWorker(list, observer);
    round.whole = bench::Now() - t0;
    round.data = observer.dataEnd - observer.dataStart;
    round.reports = observer.progressReports;
    struct stat st {};
    const bool placed = ::stat((dl + "/f" + std::to_string(count - 1) + ".txt").c_str(), &st) == 0;
    if (!observer.success || observer.files != count || !placed) {
        std::printf("transfer of %d files failed\n", count);
        return false;
    }
    return true;
}

// Paired rounds at one count: in each, the worker and the bare loop place
// the same number of files into new folders of the same file system, the
// side going first alternating.
bool RunCount(int count, int rounds, std::vector<Round>& out)
{
    std::string work = bench::MakeDir("tw-bench-files-");
    g_work.push_back(work);
    std::string root = work + "/root";
    ::mkdir(root.c_str(), 0777);
    for (int i = 0; i < count; ++i)
        if (!bench::MakeFile(root + "/f" + std::to_string(i) + ".txt", 1024))
            return false;
    bench::Sim sim(root);
    if (!sim.Port())
        return false;
    bench::Environment::Configure(sim.Port());
    for (int r = 0; r < rounds; ++r) {
        Round round;
        const std::string wdl = NewFolder(work, "worker" + std::to_string(r));
        const std::string bdl = NewFolder(work, "bare" + std::to_string(r));
        auto bare = [&] {
            round.bare = BarePlacement(bdl, count);
            return round.bare >= 0;
        };
        auto worker = [&] { return WorkerSide(count, wdl, round); };
        const bool ok = r % 2 == 0 ? worker() && bare() : bare() && worker();
        if (!ok)
            return false;
        out.push_back(round);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    int rounds = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {1000, 10000};
    bench::Environment env(argc, argv);
    std::printf("Many small files in one request: worker against the bare placement loop, %d paired rounds per "
                "count\n",
                rounds);
    std::printf("goal: whole transfer under 0.3 ms per file at every count\n");
    std::printf("figures per file in ms: median [least, most]; ratio: whole / bare of the same round\n");
    std::printf("%7s %24s %24s %24s %20s %9s\n", "files", "whole", "data phase", "bare loop", "ratio whole/bare",
                "progress");
    int failed = 0;
    for (int count : counts) {
        std::vector<Round> rs;
        if (!RunCount(count, rounds, rs)) {
            failed = 1;
            break;
        }
        std::vector<double> whole, data, bare, ratio, reports;
        for (const Round& r : rs) {
            whole.push_back(r.whole * 1000 / count);
            data.push_back(r.data * 1000 / count);
            bare.push_back(r.bare * 1000 / count);
            ratio.push_back(r.bare > 0 ? r.whole / r.bare : 0);
            reports.push_back(r.reports);
        }
        auto cell = [](const std::vector<double>& v) {
            const bench::Spread s = bench::SpreadOf(v);
            char text[64];
            std::snprintf(text, sizeof text, "%.3f [%.3f, %.3f]", s.median, s.min, s.max);
            return std::string(text);
        };
        const bench::Spread rr = bench::SpreadOf(ratio);
        char ratioText[64];
        std::snprintf(ratioText, sizeof ratioText, "%.2f [%.2f, %.2f]", rr.median, rr.min, rr.max);
        std::printf("%7d %24s %24s %24s %20s %9.0f\n", count, cell(whole).c_str(), cell(data).c_str(),
                    cell(bare).c_str(), ratioText, bench::Median(reports));
        std::fflush(stdout);
    }
    for (const std::string& work : g_work)
        bench::RemoveTree(work);
    return failed;
}
