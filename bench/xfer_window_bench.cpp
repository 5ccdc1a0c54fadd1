// The transfer window's event loop during a fast loopback transfer of many
// small files from the gateway stand-in, at the default setting (no pause
// after a progress report), and the epilogue that follows when the window is
// closed, at 2,000, 10,000 and 20,000 files (or the counts given as
// arguments). Each count runs in a process of its own, three transfers one
// after the other, so that the first transfer of a process (fresh memory,
// toolkit work done once) is measured at every count; it is printed beside
// the median of the transfers after it:
//  - the longest time the main loop was blocked from Go until the window is
//    gone and the done-handler has run the epilogue on the batch's active
//    files, measured as the largest gap between two ticks of a 5 ms timer,
//    and how many gaps were over 25 ms;
//  - files and update events per second, the update events posted and the
//    most ever waiting at once (1 when the reports are folded), and the size
//    of the log at the end;
//  - the epilogue's own main-thread time, paired in each run with its
//    baseline, the floor of the same work: the list of arrived files the
//    worker kept taken over, each placed entry's path given to the active
//    file at its own position (no lookup at all), then the same after-download processing and the same
//    clipboard text, none of whose paths is looked up on disk (the program
//    looks up none of the files it placed). The two run in turns: the first
//    transfer's epilogue before its baseline, the second's after, and so on.
//    Beside each, the memory pages it touched for the first time (minor page
//    faults of the main thread): fresh memory is what makes a first transfer
//    slower than the later ones.
// The window is shown and painted before the transfer starts, as it is when
// the user presses Go. Goal: the longest block, epilogue included, under
// 50 ms at every count, the first transfer too.
//
// Run under a display: tests/support/run-on-own-display build/bench/bench_xfer_window_bench [files...]
// It is not run by ctest.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "Figures.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "model/Batch.h"
#include "model/Broadcast.h"
#include "model/FileList.h"
#include "model/PostProcess.h"
#include "platform/UiHooks.h"
#include "support/ChildProgram.h"
#include "windows/transfer/filexfer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Pages this thread has touched for the first time (minor page faults) so far.
long FreshPages()
{
    rusage ru {};
    getrusage(RUSAGE_THREAD, &ru);
    return ru.ru_minflt;
}

std::string MakeTempDir()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp ? tmp : "/tmp") + "/tw-xferbench-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
}

bool WriteBytes(const std::string& path, size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Receives the window's outcome and runs the epilogue as a main window's
// done-handler does, timing it.
class DoneHandler : public wxEvtHandler
{
public:
    explicit DoneHandler(CActiveFileList& files) : m_files(files) {}
    void OnDone(wxCommandEvent& event)
    {
        const long pages = FreshPages();
        const auto start = Clock::now();
        wxGetApp().FileTransferEpilogue(m_files, event.GetInt() != 0, nullptr);
        epilogueMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        epiloguePages = FreshPages() - pages;
        done = true;
    }
    bool done = false;
    double epilogueMs = 0;
    long epiloguePages = 0;

private:
    CActiveFileList& m_files;
};

// The baseline of the epilogue, the floor of its work: the arrived paths the
// worker kept taken over, each placed entry's path handed to the active file
// at its own position (the ended list is dropped after), read as the
// epilogue reads it (no lock), then the same processing and clipboard. Every active file starts
// without a path here, so every path on the clipboard is one placed now:
// none is looked up on disk.
double Baseline(CFileList& list, CActiveFileList files, long& pages)
{
    const long before = FreshPages();
    const auto start = Clock::now();
    wxArrayString arrived;
    list.TakePlacedPaths(arrived);
    for (size_t i = 0; i < list.GetCount() && i < files.GetCount(); ++i) {
        FileInfo& entry = list.Item(i);
        if (entry.placed)
            files.Item(i).LocalPath.swap(entry.finalPath);
    }
    CPostProcess::PostProcess(files);
    CBroadcast().BroadcastFiles2ExternApps(files, [](const CActiveFile&) { return true; });
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    pages = FreshPages() - before;
    return ms;
}

// Measures the gaps between ticks of a short timer; once the transfer has
// ended it closes the window and ends the loop after the epilogue has run.
class LoopWatch : public wxEvtHandler
{
public:
    LoopWatch(FileXfer* window, wxEventLoop& loop, DoneHandler& done, std::function<void()> beforeClose)
        : m_window(window), m_loop(loop), m_done(done), m_beforeClose(std::move(beforeClose)), m_timer(this)
    {
        Bind(wxEVT_TIMER, &LoopWatch::OnTick, this);
        m_last = m_start = Clock::now();
        m_timer.Start(5);
    }
    ~LoopWatch() override { m_timer.Stop(); }
    void Stop() { m_timer.Stop(); }

    double longestGapMs = 0.0;
    double longestAtMs = 0.0;   // when it ended, from the start
    long ticks = 0;
    int over25 = 0;

private:
    void OnTick(wxTimerEvent&)
    {
        const auto now = Clock::now();
        const double gap = std::chrono::duration<double, std::milli>(now - m_last).count();
        if (gap > 25.0)
            ++over25;
        if (gap > longestGapMs) {
            longestGapMs = gap;
            longestAtMs = std::chrono::duration<double, std::milli>(now - m_start).count();
        }
        m_last = now;
        ++ticks;
        if (m_done.done) {
            if (++m_settle > 10 && m_loop.IsRunning())
                m_loop.Exit();
            return;
        }
        // Ended, and every report shown: no update event waiting. Then the
        // user's Close, whose outcome runs the epilogue.
        if (!m_closed && FileXfer::LiveWorkers() == 0 && !m_window->HasWorker() && m_window->GetState() != 3
            && m_window->Queue()->Taken() >= m_window->Queue()->Posted() && m_window->LogBacklog() == 0) {
            if (++m_quiet > 10) {
                m_closed = true;
                state = m_window->GetState();
                updates = m_window->m_updatesHandled;
                posted = m_window->Queue()->Posted();
                maxOutstanding = m_window->Queue()->MaxOutstanding();
                logChars = m_window->m_log->GetLastPosition();
                transferSeconds = std::chrono::duration<double>(now - m_start).count();
                if (m_beforeClose)
                    m_beforeClose();
                m_last = Clock::now();   // the baseline's time is not the loop's
                m_window->InitiateWindowClose(false);
            }
        }
    }

public:
    int state = 0;
    int updates = 0;
    int posted = 0;
    int maxOutstanding = 0;
    long logChars = 0;
    double transferSeconds = 0;

private:
    FileXfer* m_window;
    wxEventLoop& m_loop;
    DoneHandler& m_done;
    std::function<void()> m_beforeClose;
    bool m_closed = false;
    int m_quiet = 0;
    wxTimer m_timer;
    Clock::time_point m_last;
    Clock::time_point m_start;
    int m_settle = 0;
};

struct Result {
    double epilogueMs = 0;
    double baselineMs = 0;
    long epiloguePages = 0;    // pages touched for the first time
    long baselinePages = 0;
    double seconds = 0;
    int state = 0;
    int updates = 0;
    int posted = 0;
    int maxOutstanding = 0;
    double longestGapMs = 0;
    double longestAtMs = 0;
    int over25 = 0;
    long logChars = 0;
};

Result RunOnce(const std::string& folder, int files, bool baselineFirst)
{
    TidewrightApp& app = wxGetApp();
    CFileList& list = app.transferList;
    list.Clear();
    FileXfer::ResetHandBack(list);
    list.xferMode = 1;
    // The batch's active files, as its done-handler fetches them again.
    CActiveFileList batch;
    const wxString where = wxString::FromUTF8(folder.c_str());
    for (int i = 0; i < files; ++i) {
        const wxString name = wxString::Format("f%05d.grb", i);
        batch.Add(wxString::Format("B%05d", i), "/bench/" + name, "", "2", "2", "0.10", "", where, 0, 0, 0, "", 0,
                   0.0f, 0.0f, 0.0f, 0);
        TidewrightApp::ScheduleFileTransferEx(list, "/bench/" + name, where, "", "0.10", false, 0, 0, 0);
    }
    FileXfer* window = FileXfer::CreateInstance(&list, app.TransferWindowJob(), nullptr, wxID_ANY,
                                                "File Transfer and Control Status", wxDefaultPosition, wxSize(670, 500),
                                                wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
    DoneHandler done(batch);
    window->Connect(wxID_ANY, wxEVT_TRANSFER_DONE, wxCommandEventHandler(DoneHandler::OnDone), nullptr, &done);
    window->ShowModal();

    Result r;
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
    // Shown and painted first, as when the user presses Go.
    for (int i = 0; i < 30; ++i) {
        wxTheApp->ProcessPendingEvents();
        loop.DispatchTimeout(10);
        wxTheApp->Yield(true);
    }
    // The baseline's list: the transfer's entries as they ended (the
    // epilogue drains the application's own).
    CFileList ended;
    CActiveFileList before;
    auto baseline = [&] { r.baselineMs = Baseline(ended, before, r.baselinePages); };
    LoopWatch watch(window, loop, done, [&] {
        ended = list;
        before = batch;
        if (baselineFirst)
            baseline();
    });
    window->StartTransfer();
    loop.Run();
    watch.Stop();
    if (!baselineFirst)
        baseline();
    r.seconds = watch.transferSeconds;
    r.state = done.done ? watch.state : -1;
    r.updates = watch.updates;
    r.posted = watch.posted;
    r.maxOutstanding = watch.maxOutstanding;
    r.longestGapMs = watch.longestGapMs;
    r.longestAtMs = watch.longestAtMs;
    r.over25 = watch.over25;
    r.logChars = watch.logChars;
    r.epilogueMs = done.epilogueMs;
    r.epiloguePages = done.epiloguePages;
    for (int i = 0; i < 50; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    }
    return r;
}

// The runs of one count in this process: the served files and the settings
// folder are under `top`. Prints a row per run and the summary; false when a
// transfer failed or the toolkit did not start.
bool RunCount(int argc, char** argv, const std::string& top, int files)
{
    const int runs = 3;
    setenv("HOME", top.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (top + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (top + "/data").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (top + "/Documents").c_str(), 1);
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Could not start the toolkit (is a display available?)\n");
        return false;
    }
    wxLog::EnableLogging(false);
    tw::SetMessageBoxHandler([](const tw::MessageBoxRequest&) { return int(wxNO); });

    bool failed = false;
    {
        tw::test::StandIn gateway({tw::test::StandInProgram("gateway-sim"), "--root", top + "/served", "--port",
                                   "0", "--exit-on-stdin-eof"},
                                  true);
        if (!gateway.Running()) {
            std::fprintf(stderr, "the gateway stand-in did not start\n");
            wxEntryCleanup();
            return false;
        }
        {
            CUserConfig config;
            config.WriteText("Gateway/gateway", "127.0.0.1");
            config.WriteInt("Gateway/port", gateway.Port());
            config.WriteText("Gateway/username", "bench");
            config.WriteText("Gateway/password", "bench");
            config.WriteInt("Gateway/connection_timeout", 5);
            config.WriteInt("Gateway/xfer_timeout", 30);
            config.WriteText("Connection/connection", CRegistry::kNetworkConnection);
            config.WriteText("Misc/readme", "readme");
            config.WriteBool("Misc/archive", false);
            config.WriteText("Misc/xfer_rate", "1000000 600");
        }

        std::vector<double> longest, epilogue, base;
        Result first;
        for (int run = 1; run <= runs; ++run) {
            char folder[64];
            std::snprintf(folder, sizeof folder, "/Documents/Weather Files/Bench%d-%d", files, run);
            wxFileName::Mkdir(top + folder, 0777, wxPATH_MKDIR_FULL);
            const Result r = RunOnce(top + folder, files, run % 2 == 0);
            if (run == 1) {
                first = r;
            } else {
                longest.push_back(r.longestGapMs);
                epilogue.push_back(r.epilogueMs);
                base.push_back(r.baselineMs);
            }
            failed = failed || r.state != 2;
            std::printf("%7d %4d %8.2f %9.0f %11.0f %8d %8d %8.1f ms at %5.0f %4d %10ld %7.1f ms %6ld %7.1f ms %6ld%s\n",
                        files, run, r.seconds, files / r.seconds, r.updates / r.seconds, r.posted, r.maxOutstanding,
                        r.longestGapMs, r.longestAtMs, r.over25, r.logChars, r.epilogueMs, r.epiloguePages,
                        r.baselineMs, r.baselinePages, r.state == 2 ? "" : "  (transfer failed)");
        }
        const bench::Spread block = bench::SpreadOf(longest);
        const bench::Spread ep = bench::SpreadOf(epilogue);
        const bench::Spread bl = bench::SpreadOf(base);
        std::printf("%7d files, first transfer: longest block %.1f ms; epilogue %.1f ms, baseline %.1f ms, ratio %.2f\n",
                    files, first.longestGapMs, first.epilogueMs, first.baselineMs,
                    first.baselineMs > 0 ? first.epilogueMs / first.baselineMs : 0.0);
        std::printf("%7d files, later transfers (median, range): longest block %.1f ms (%.1f-%.1f); epilogue %.1f ms "
                    "(%.1f-%.1f), baseline %.1f ms (%.1f-%.1f), ratio %.2f\n",
                    files, block.median, block.min, block.max, ep.median, ep.min, ep.max, bl.median, bl.min, bl.max,
                    bl.median > 0 ? ep.median / bl.median : 0.0);
    }
    wxEntryCleanup();
    return !failed;
}

double LoadAverage()
{
    double load = -1;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    return load;
}

} // namespace

extern char** environ;

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A child for one count: --count TOP FILES.
    if (argc == 4 && std::string(argv[1]) == "--count") {
        int childArgc = 1;
        return RunCount(childArgc, argv, argv[2], std::atoi(argv[3])) ? 0 : 1;
    }
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {2000, 10000, 20000};
    const int most = *std::max_element(counts.begin(), counts.end());
    const size_t bytes = 2048;

    const std::string top = MakeTempDir();
    if (top.empty())
        return 2;
    wxFileName::Mkdir(top + "/config", 0700, wxPATH_MKDIR_FULL);
    const std::string root = top + "/served";
    wxFileName::Mkdir(root, 0777, wxPATH_MKDIR_FULL);
    for (int i = 0; i < most; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/f%05d.grb", i);
        if (!WriteBytes(root + name, bytes, static_cast<unsigned>(i))) {
            std::fprintf(stderr, "cannot write the served files\n");
            return 2;
        }
    }

    std::printf("transfer window event loop at the default setting, then the epilogue: files of %zu bytes over "
                "loopback; one process per count, load average %.2f at the start\n",
                bytes, LoadAverage());
    std::printf("%7s %4s %8s %9s %11s %8s %8s %14s %8s %10s %10s %6s %10s %6s\n", "files", "run", "seconds",
                "files/s", "updates/s", "posted", "waiting", "longest block", "> 25 ms", "log chars", "epilogue",
                "pages", "baseline", "pages");
    bool failed = false;
    for (int files : counts) {
        const std::string self = "/proc/self/exe";
        const std::string count = std::to_string(files);
        std::vector<char*> args = {argv[0], const_cast<char*>("--count"), const_cast<char*>(top.c_str()),
                                   const_cast<char*>(count.c_str()), nullptr};
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, self.c_str(), nullptr, nullptr, args.data(), environ) != 0
            || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            failed = true;
            std::printf("%7d files: the run failed\n", files);
        }
    }
    std::printf("goal: longest block, epilogue included, under 50 ms at every count, first transfer too%s; load "
                "average %.2f at the end\n",
                failed ? " (a transfer failed)" : "", LoadAverage());
    std::system(("rm -rf '" + top + "'").c_str());
    return failed ? 1 : 0;
}
