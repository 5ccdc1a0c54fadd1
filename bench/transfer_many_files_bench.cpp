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

struct Result {
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

// The folders of every count are removed at the end only: deleting many
// files makes creating files slower for a while on some file systems (ext4
// skips recently freed inodes), which would burden the next count.
std::vector<std::string> g_work;

bool RunCount(int count, Result& result)
{
    std::string work = bench::MakeDir("tw-bench-files-");
    g_work.push_back(work);
    std::string root = work + "/root";
    std::string dl = work + "/dl";
    ::mkdir(root.c_str(), 0777);
    ::mkdir(dl.c_str(), 0777);
    ::mkdir((dl + "/tmp").c_str(), 0777);
    for (int i = 0; i < count; ++i)
        if (!bench::MakeFile(root + "/f" + std::to_string(i) + ".txt", 1024))
            return false;
    bench::Sim sim(root);
    if (!sim.Port())
        return false;
    bench::Environment::Configure(sim.Port());

    CFileList list;
    for (int i = 0; i < count; ++i) {
        wxString name = wxString::Format("f%d.txt", i);
        list.Add(name, wxString::FromUTF8(dl) + "/tmp/" + name, wxString::FromUTF8(dl) + "/" + name, name, "", "1",
                 false, 0, 0, 0);
    }
    result.bare = BarePlacement(dl, count);
    QueueLikeObserver observer;
    const double t0 = bench::Now();
    bench::RunWorker(list, observer);
    result.whole = bench::Now() - t0;
    result.data = observer.dataEnd - observer.dataStart;
    result.reports = observer.progressReports;
    struct stat st {};
    const bool placed = ::stat((dl + "/f" + std::to_string(count - 1) + ".txt").c_str(), &st) == 0;
    if (!observer.success || observer.files != count || !placed || result.bare < 0) {
        std::printf("transfer of %d files failed\n", count);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1000, 10000};
    bench::Environment env(argc, argv);
    std::printf("%8s %14s %14s %16s %9s %13s\n", "files", "whole ms/file", "data ms/file", "whole transfer s",
                "progress", "bare ms/file");
    for (int count : counts) {
        Result r;
        if (!RunCount(count, r)) {
            for (const std::string& work : g_work)
                bench::RemoveTree(work);
            return 1;
        }
        std::printf("%8d %14.3f %14.3f %16.2f %9d %13.3f\n", count, r.whole * 1000 / count, r.data * 1000 / count,
                    r.whole, r.reports, r.bare * 1000 / count);
    }
    for (const std::string& work : g_work)
        bench::RemoveTree(work);
    std::printf("goal: whole transfer under 0.3 ms per file at every count\n");
    return 0;
}
