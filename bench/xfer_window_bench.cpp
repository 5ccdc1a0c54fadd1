// The transfer window's event loop during a fast loopback transfer of many
// small files from the gateway stand-in, at the default setting (no pause
// after a progress report), at 2,000 and at 10,000 files (or the counts given
// as arguments), three runs each:
//  - the longest time the main loop was blocked, measured as the largest gap
//    between two ticks of a 5 ms timer, and how many gaps were over 25 ms;
//  - files and update events per second, the update events posted and the
//    most ever waiting at once (1 when the reports are folded), and the size
//    of the log at the end.
// The window is shown and painted before the transfer starts, as it is when
// the user presses Go. Goal: the longest block under 50 ms at every count.
//
// Run under a display: tests/support/run-on-own-display build/bench/bench_xfer_window_bench [files...]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "app/Registry.h"
#include "app/tidewrightapp.h"
#include "catalogue/FileList.h"
#include "platform/UiHooks.h"
#include "support/ChildProgram.h"
#include "transfer/filexfer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
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

// Measures the gaps between ticks of a short timer and ends the loop once
// the transfer has ended.
class LoopWatch : public wxEvtHandler
{
public:
    LoopWatch(FileXfer* window, wxEventLoop& loop) : m_window(window), m_loop(loop), m_timer(this)
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
        // Ended, and every report shown: no update event waiting.
        if (FileXfer::LiveWorkers() == 0 && !m_window->HasWorker() && m_window->GetState() != 3
            && m_window->Queue()->Taken() >= m_window->Queue()->Posted() && m_window->LogBacklog() == 0) {
            if (++m_settle > 10 && m_loop.IsRunning())
                m_loop.Exit();
        }
    }

    FileXfer* m_window;
    wxEventLoop& m_loop;
    wxTimer m_timer;
    Clock::time_point m_last;
    Clock::time_point m_start;
    int m_settle = 0;
};

struct Result {
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

Result RunOnce(const std::string& folder, int files)
{
    TidewrightApp& app = wxGetApp();
    CFileList& list = app.transferList;
    list.Clear();
    list.xferMode = 1;
    for (int i = 0; i < files; ++i) {
        const wxString name = wxString::Format("f%05d.grb", i);
        TidewrightApp::ScheduleFileTransferEx(list, "/bench/" + name, wxString::FromUTF8(folder.c_str()), "", "0.10",
                                              false, 0, 0, 0);
    }
    FileXfer* window = FileXfer::CreateInstance(&list, nullptr, wxID_ANY, "File Transfer and Control Status",
                                                wxDefaultPosition, wxSize(670, 500),
                                                wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
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
    LoopWatch watch(window, loop);
    const auto start = Clock::now();
    window->StartTransfer();
    loop.Run();
    r.seconds = Seconds(start, Clock::now());
    watch.Stop();
    r.state = window->GetState();
    r.updates = window->m_updatesHandled;
    r.posted = window->Queue()->Posted();
    r.maxOutstanding = window->Queue()->MaxOutstanding();
    r.longestGapMs = watch.longestGapMs;
    r.longestAtMs = watch.longestAtMs;
    r.over25 = watch.over25;
    r.logChars = window->m_log->GetLastPosition();
    window->InitiateWindowClose(true);
    for (int i = 0; i < 50; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    }
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {2000, 10000};
    const int most = *std::max_element(counts.begin(), counts.end());
    const size_t bytes = 2048;
    const int runs = 3;

    const std::string top = MakeTempDir();
    if (top.empty())
        return 2;
    setenv("HOME", top.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (top + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (top + "/data").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (top + "/Documents").c_str(), 1);
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);
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

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Could not start the toolkit (is a display available?)\n");
        return 2;
    }
    wxLog::EnableLogging(false);
    tw::SetMessageBoxHandler([](const tw::MessageBoxRequest&) { return int(wxNO); });

    {
        tw::test::StandIn gateway({tw::test::StandInProgram("gateway-sim"), "--root", root, "--port", "0",
                                   "--exit-on-stdin-eof"},
                                  true);
        if (!gateway.Running()) {
            std::fprintf(stderr, "the gateway stand-in did not start\n");
            return 2;
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

        std::printf("transfer window event loop at the default setting: files of %zu bytes over loopback\n", bytes);
        std::printf("%7s %4s %8s %9s %11s %8s %8s %14s %8s %10s\n", "files", "run", "seconds", "files/s",
                    "updates/s", "posted", "waiting", "longest block", "> 25 ms", "log chars");
        bool failed = false;
        for (int files : counts) {
            std::vector<double> longest;
            for (int run = 1; run <= runs; ++run) {
                char folder[64];
                std::snprintf(folder, sizeof folder, "/Documents/Weather Files/Bench%d-%d", files, run);
                wxFileName::Mkdir(top + folder, 0777, wxPATH_MKDIR_FULL);
                const Result r = RunOnce(top + folder, files);
                longest.push_back(r.longestGapMs);
                failed = failed || r.state != 2;
                std::printf("%7d %4d %8.2f %9.0f %11.0f %8d %8d %8.1f ms at %5.0f %4d %10ld%s\n", files, run,
                            r.seconds, files / r.seconds, r.updates / r.seconds, r.posted, r.maxOutstanding,
                            r.longestGapMs, r.longestAtMs, r.over25, r.logChars,
                            r.state == 2 ? "" : "  (transfer failed)");
            }
            std::sort(longest.begin(), longest.end());
            std::printf("%7d files: longest block median %.1f ms, most %.1f ms\n", files, longest[longest.size() / 2],
                        longest.back());
        }
        std::printf("goal: longest block under 50 ms at every count%s\n", failed ? " (a transfer failed)" : "");
    }
    wxEntryCleanup();
    std::system(("rm -rf '" + top + "'").c_str());
    return 0;
}
