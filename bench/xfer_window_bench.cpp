// The transfer window's event loop during a fast loopback transfer of many
// small files from the gateway stand-in:
//  - files and observer reports per second, update events the window handled
//    per second, and the most update events ever waiting at once (1 when the
//    reports are folded);
//  - the longest time the main loop was blocked, measured as the largest gap
//    between two ticks of a 5 ms timer (target: well under 100 ms, so the
//    window never looks hung).
// It runs once with no pause after a progress report (the default: the
// worker folds its progress reports itself) and once with a 10 ms pause.
//
// Run under a display: xvfb-run -a bench/bench_xfer_window_bench [files] [bytes]
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

private:
    void OnTick(wxTimerEvent&)
    {
        const auto now = Clock::now();
        const double gap = std::chrono::duration<double, std::milli>(now - m_last).count();
        if (gap > longestGapMs) {
            longestGapMs = gap;
            longestAtMs = std::chrono::duration<double, std::milli>(now - m_start).count();
        }
        m_last = now;
        ++ticks;
        if (FileXfer::LiveWorkers() == 0 && !m_window->HasWorker() && m_window->GetState() != 3) {
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
    long logLines = 0;
};

Result RunOnce(const std::string& folder, int files, int pauseMs)
{
    CXferObserverQueue::SetProgressPause(pauseMs);
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
    r.logLines = window->m_log->GetNumberOfLines();
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
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t bytes = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 2048;

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
    const std::string folder = top + "/Documents/Weather Files/Bench";
    wxFileName::Mkdir(root, 0777, wxPATH_MKDIR_FULL);
    wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL);
    for (int i = 0; i < files; ++i) {
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

        std::printf("transfer window event loop: %d files of %zu bytes over loopback\n", files, bytes);
        std::printf("%-26s %8s %9s %11s %9s %11s %13s\n", "progress pause", "seconds", "files/s", "updates/s",
                    "posted", "max waiting", "longest block");
        for (int pause : {0, 10}) {
            const Result r = RunOnce(folder, files, pause);
            std::printf("%-26s %8.2f %9.0f %11.0f %9d %11d %10.1f ms (at %.0f ms)%s\n",
                        pause == 0 ? "none (default)" : "10 ms after each report", r.seconds, files / r.seconds,
                        r.updates / r.seconds, r.posted, r.maxOutstanding, r.longestGapMs, r.longestAtMs,
                        r.state == 2 ? "" : "  (transfer failed)");
        }
        std::printf("longest block / 100 ms is the ratio to keep below 1\n");
    }
    wxEntryCleanup();
    std::system(("rm -rf '" + top + "'").c_str());
    return 0;
}
