// The GPS reader against a receiver on a pseudo-terminal:
//  - the time from StartQuery to the completion event with a receiver that
//    sends one RMC sentence a second at 4800 baud (target: within 1.5 s),
//    against a bare reader that opens the same line and polls it until the
//    next whole sentence is in (the line's own share of the wait);
//  - the time StopQuery takes while the worker waits for input (target:
//    under 250 ms), against waking and joining a bare thread that waits the
//    same way;
//  - 1,000 query cycles, every other one stopped half-way: open files and
//    threads of the process before and after (target: the same).
// Rounds are paired (reader, then bare), both starting at the same random
// phase of the receiver's second; medians and maxima are printed.
//
// Run under a display: bench/bench_gps_bench [rounds]
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "core/DownloadPreferences.h"
#include "app/tidewrightapp.h"
#include "engine/gps/GPSQuery.h"
#include "engine/gps/Nmea.h"
#include "tests/gps/FakeReceiver.h"
#include "Figures.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;
using gps_test::FakeReceiver;

double Max(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

int CountEntries(const char* dir)
{
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] != '.')
                ++n;
        }
        closedir(d);
    }
    return n;
}

template <typename Pred>
bool WaitFor(Pred pred, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (Clock::now() > end)
            return pred();
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(1);
    }
    return true;
}

void Idle(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    WaitFor([&] { return Clock::now() >= end; }, ms + 1000);
}

class Counter : public wxEvtHandler
{
public:
    void OnCompletion(wxCommandEvent& event)
    {
        event.Skip();
        ++count;
        if (event.GetInt())
            ++fixes;
    }
    int count = 0;
    int fixes = 0;
};

// The bare reader: opens the line raw, then polls until the next complete
// RMC sentence is in.
double BareSentenceMs(const std::string& port)
{
    const auto start = Clock::now();
    const int fd = open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    tcflush(fd, TCIFLUSH);
    std::string got;
    double ms = -1;
    while (Ms(start, Clock::now()) < 5000) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buf[1024];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, static_cast<size_t>(n));
            if (!tw::nmea::FindSentence(got, tw::nmea::Sentence::RMC).empty()) {
                ms = Ms(start, Clock::now());
                break;
            }
        }
    }
    close(fd);
    return ms;
}

// A bare thread waiting 200 ms at a time for a stop, as the worker does;
// the time from asking it to stop to its end.
double BareStopMs(int delayMs)
{
    std::mutex lock;
    std::condition_variable cond;
    bool stop = false;
    std::thread worker([&] {
        std::unique_lock<std::mutex> l(lock);
        while (!stop)
            cond.wait_for(l, std::chrono::milliseconds(200), [&] { return stop; });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    const auto start = Clock::now();
    {
        std::lock_guard<std::mutex> l(lock);
        stop = true;
    }
    cond.notify_all();
    worker.join();
    return Ms(start, Clock::now());
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;

    const wxString home = wxFileName::CreateTempFileName("tw-gps-bench-");
    wxRemoveFile(home);
    wxFileName::Mkdir(home + "/.config", 0700, wxPATH_MKDIR_FULL);
    setenv("HOME", home.utf8_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").utf8_str(), 1);

    wxApp::SetInstance(new TidewrightApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "could not start the toolkit (run under a display)\n");
        return 2;
    }
    wxLog::EnableLogging(false);
    std::mt19937 random(4800);

    const std::string rmc =
        gps_test::WithChecksum("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    int failures = 0;

    // ---------------------------------------------------------------- fix latency
    std::vector<double> queryMs, bareMs;
    {
        FakeReceiver gps;
        if (!gps.Ok()) {
            std::fprintf(stderr, "no pseudo-terminal\n");
            return 2;
        }
        // One sentence a second: its ten bit times per byte, then the rest
        // of the second.
        const int sendMs = static_cast<int>(rmc.size() * 10 * 1000 / 4800);
        gps.Send({rmc}, 1000 - sendMs);

        DLPrefs prefs;
        prefs.HomeLocation_Source = 0;
        prefs.GPS_SourceIdx = 0;
        prefs.GPS_Port = wxString::FromUTF8(gps.Port());
        prefs.GPS_Baud = 4800;
        prefs.GPS_DataBits = 8;
        prefs.GPS_GLL = false;
        Counter counter;
        CGPSQuery reader;
        reader.SetHost(&prefs, {});
        reader.Notify(true, wxCommandEventHandler(Counter::OnCompletion), &counter);
        Idle(1200);

        // Both of a pair start at the same point of the receiver's second:
        // that many ms after a sentence has gone out.
        std::uniform_int_distribution<int> phase(0, 999);
        auto startAt = [&](int ms) {
            const int cycles = gps.Cycles();
            WaitFor([&] { return gps.Cycles() != cycles; }, 3000);
            Idle(ms);
        };
        for (int r = 0; r < rounds; ++r) {
            const int d = phase(random);
            startAt(d);
            const int before = counter.count;
            const auto start = Clock::now();
            if (!reader.StartQuery(true) || !WaitFor([&] { return counter.count > before; }, 15000)) {
                ++failures;
                continue;
            }
            queryMs.push_back(Ms(start, Clock::now()));
            reader.StopQuery();

            startAt(d);
            const double bare = BareSentenceMs(gps.Port());
            if (bare >= 0)
                bareMs.push_back(bare);
        }
        if (counter.fixes != static_cast<int>(queryMs.size()))
            ++failures;
        reader.Notify(false, wxCommandEventHandler(Counter::OnCompletion), &counter);
    }
    std::printf("StartQuery to completion, one RMC sentence a second at 4800 baud (%d rounds):\n", rounds);
    std::printf("  reader:      median %7.1f ms, max %7.1f ms (target: max within 1500 ms)\n", Median(queryMs),
                Max(queryMs));
    std::printf("  bare reader: median %7.1f ms, max %7.1f ms (the line's own wait for a whole sentence)\n",
                Median(bareMs), Max(bareMs));
    std::printf("  difference of medians: %.1f ms (the 200 ms read pace, thread start, open and close)\n",
                Median(queryMs) - Median(bareMs));

    // ---------------------------------------------------------------- stop latency
    std::vector<double> stopMs, bareStopMs;
    {
        FakeReceiver gps;
        gps.Silence();
        DLPrefs prefs;
        prefs.HomeLocation_Source = 0;
        prefs.GPS_SourceIdx = 0;
        prefs.GPS_Port = wxString::FromUTF8(gps.Port());
        CGPSQuery reader;
        reader.SetHost(&prefs, {});
        std::uniform_int_distribution<int> delay(0, 399);
        for (int r = 0; r < rounds * 3; ++r) {
            const int fds = CountEntries("/proc/self/fd");
            if (!reader.RunQuery() || !WaitFor([&] { return CountEntries("/proc/self/fd") > fds; }, 5000)) {
                ++failures;
                continue;
            }
            const int d = delay(random);
            Idle(d);
            const auto start = Clock::now();
            const bool stopped = reader.StopQuery();
            stopMs.push_back(Ms(start, Clock::now()));
            if (!stopped)
                ++failures;
            WaitFor([&] { return reader.GetState() == 0; }, 2000);
            bareStopMs.push_back(BareStopMs(d));
        }
    }
    std::printf("StopQuery while the worker waits for input (%d rounds):\n", rounds * 3);
    std::printf("  reader:      median %7.2f ms, max %7.2f ms (target: under 250 ms)\n", Median(stopMs),
                Max(stopMs));
    std::printf("  bare thread: median %7.2f ms, max %7.2f ms (wake and join)\n", Median(bareStopMs),
                Max(bareStopMs));

    // ---------------------------------------------------------------- cycles
    {
        FakeReceiver gps(0);
        gps.Send({rmc});
        DLPrefs prefs;
        prefs.HomeLocation_Source = 2;   // no polling between the cycles
        prefs.GPS_SourceIdx = 0;
        prefs.GPS_Port = wxString::FromUTF8(gps.Port());
        prefs.GPS_GLL = false;
        Counter counter;
        CGPSQuery reader;
        reader.SetHost(&prefs, {});
        reader.SetTiming({CGPSQuery::kPollPeriodMs, 5, CGPSQuery::kMaxReads, 0});
        reader.Notify(true, wxCommandEventHandler(Counter::OnCompletion), &counter);

        auto cycle = [&](bool stop) {
            const int before = counter.count;
            const int fds = CountEntries("/proc/self/fd");
            if (!reader.RunQuery())
                return false;
            if (stop) {
                WaitFor([&] { return CountEntries("/proc/self/fd") > fds || counter.count > before; }, 5000);
                reader.StopQuery();
            }
            return WaitFor([&] { return counter.count > before; }, 10000);
        };
        cycle(false);   // the toolkit's first-use threads and files
        WaitFor([&] { return reader.GetState() == 0; }, 2000);
        const int fdsBefore = CountEntries("/proc/self/fd");
        const int threadsBefore = CountEntries("/proc/self/task");
        const auto start = Clock::now();
        int done = 0;
        for (int i = 0; i < 1000; ++i) {
            if (cycle(i % 2 == 1))
                ++done;
        }
        const double seconds = Ms(start, Clock::now()) / 1000;
        WaitFor([&] { return reader.GetState() == 0; }, 2000);
        Idle(50);
        const int fdsAfter = CountEntries("/proc/self/fd");
        const int threadsAfter = CountEntries("/proc/self/task");
        std::printf("1000 query cycles, every other one stopped (%.1f s, %d completed, %d of them fixes):\n", seconds,
                    done, counter.fixes - 1);
        std::printf("  open files: %d before, %d after; threads: %d before, %d after (target: the same)\n",
                    fdsBefore, fdsAfter, threadsBefore, threadsAfter);
        if (done != 1000 || fdsAfter != fdsBefore || threadsAfter != threadsBefore)
            ++failures;
        reader.Notify(false, wxCommandEventHandler(Counter::OnCompletion), &counter);
    }

    wxFileName::Rmdir(home, wxPATH_RMDIR_RECURSIVE);
    wxEntryCleanup();
    if (failures)
        std::printf("%d round(s) failed\n", failures);
    return failures ? 1 : 0;
}
