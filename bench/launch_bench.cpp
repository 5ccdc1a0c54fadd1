// Launch of the real program at catalogue scale: starts build/tidewright as
// a user would (exec, its own HOME, the X server of $DISPLAY) and times it
// from the exec to the moment its main window is mapped, for catalogues of
// the seed size and of 20,000, 100,000 and 300,000 synthetic products:
//  - first run: a new HOME, the seeds (with the catalogue of that size) are
//    copied in, the Portal window opens;
//  - later run: the same HOME again, with each view mode stored in turn
//    (Portal, Basic, Library; --mode gives one of them alone), timed to
//    that mode's window.
// Memory per product is the program's resident size once it is idle after
// the window is mapped, less that of the same run over an empty catalogue,
// divided by the number of products.
//
// Usage: DISPLAY=:N bench/bench_launch_bench [--mode LoadWindow|Basic|Batch]...
//        [--runs N] [--program PATH]... [COUNT...]
// COUNT 0 stands for the seed catalogue. Given --program more than once, it
// times each build in turn, round by round, on the same catalogues (the
// way to compare a change with the build before it).
//
// Xlib only (no toolkit headers): the program under test is a separate
// process, and Xlib's macros clash with the toolkit's.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "Figures.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

const std::string kBinary = TIDEWRIGHT_BINARY_DIR;
const std::string kResources = TIDEWRIGHT_BUILD_RESOURCES;

bool RunProgram(const std::vector<std::string>& args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CopyFile(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return in.good() || in.eof() ? static_cast<bool>(out) : false;
}

void RemoveTree(const std::string& path)
{
    RunProgram({"/bin/rm", "-rf", path});
}

// A resources folder whose seed catalogue has `count` synthetic products
// (count < 0: the built seed catalogue itself).
std::string MakeResources(const std::string& work, long count)
{
    if (count < 0)
        return kResources;
    const std::string dir = work + "/resources-" + std::to_string(count);
    mkdir(dir.c_str(), 0700);
    if (!RunProgram({kBinary + "/tools/seedbuilder/tw_seedbuilder", "--synthetic", std::to_string(count),
                     dir + "/zir.db"}))
        return {};
    for (const char* name : {"zir_user.db", "MarineZones.db", "Tidewright.conf"})
        if (!CopyFile(kResources + "/" + name, dir + "/" + name))
            return {};
    if (symlink((kResources + "/res").c_str(), (dir + "/res").c_str()) != 0 ||
        symlink((kResources + "/Icons").c_str(), (dir + "/Icons").c_str()) != 0)
        return {};
    return dir;
}

// Sets a key of the [General] group of the settings file (INI text).
void SetGeneralKey(const std::string& file, const std::string& key, const std::string& value)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    in.close();
    bool inGeneral = false, done = false;
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            if (inGeneral && !done) {
                out.push_back(key + "=" + value);
                done = true;
            }
            inGeneral = line == "[General]";
        } else if (inGeneral && line.rfind(key + "=", 0) == 0) {
            out.push_back(key + "=" + value);
            done = true;
            continue;
        }
        out.push_back(line);
    }
    if (!done) {
        if (!inGeneral)
            out.push_back("[General]");
        out.push_back(key + "=" + value);
    }
    std::ofstream o(file, std::ios::trunc);
    for (const std::string& line : out)
        o << line << "\n";
}

long StatusKb(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);)
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

long CpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14)
            utime = std::strtol(f.c_str(), nullptr, 10);
        if (i == 15)
            stime = std::strtol(f.c_str(), nullptr, 10);
    }
    return utime + stime;
}

// Waits until the process has used no CPU for a while (its start-up work,
// including what runs after the window is shown, is done).
void WaitIdle(pid_t pid)
{
    const auto end = Clock::now() + std::chrono::seconds(20);
    long last = CpuTicks(pid);
    int quiet = 0;
    while (Clock::now() < end && quiet < 4) {
        usleep(100 * 1000);
        const long now = CpuTicks(pid);
        quiet = now == last ? quiet + 1 : 0;
        last = now;
    }
}

struct Launch {
    bool ok = false;
    double ms = 0;      // exec to main window mapped
    long rssKb = 0;     // resident size once idle after that
};

std::string WindowName(Display* display, Window w)
{
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, w, &name) && name)
        text = name;
    if (name)
        XFree(name);
    if (text.empty()) {
        Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
        Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, w, netName, 0, 256, False, utf8, &type, &format, &count, &after, &data) ==
                Success &&
            data) {
            text.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
        }
    }
    return text;
}

// Starts the program in `home` and waits for a top-level window titled
// `title` to be mapped.
Launch LaunchOnce(Display* display, const std::string& program, const std::string& home,
                  const std::string& resources, const std::string& title)
{
    Launch result;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    while (XPending(display)) {
        XEvent skip;
        XNextEvent(display, &skip);
    }

    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_DOCUMENTS_DIR", (home + "/Documents").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
        setenv("TIDEWRIGHT_RESOURCES", resources.c_str(), 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        unsetenv("TIDEWRIGHT_TESTING");
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, STDIN_FILENO);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        return result;

    const int fd = ConnectionNumber(display);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!result.ok && Clock::now() < deadline) {
        if (!XPending(display)) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 100);
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::fprintf(stderr, "the program ended before its window was shown\n");
                return result;
            }
            continue;
        }
        XEvent ev;
        XNextEvent(display, &ev);
        if (ev.type == MapNotify && WindowName(display, ev.xmap.window) == title) {
            result.ms = Ms(t0, Clock::now());
            result.ok = true;
        }
    }
    if (result.ok) {
        WaitIdle(pid);
        result.rssKb = StatusKb(pid, "VmRSS");
    }
    kill(pid, SIGTERM);
    const auto killBy = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (Clock::now() > killBy) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(10 * 1000);
    }
    return result;
}

void MakeHome(const std::string& home)
{
    RemoveTree(home);
    for (const char* sub : {"", "/.config", "/.local", "/.local/share", "/Documents", "/run"})
        mkdir((home + sub).c_str(), 0700);
}

struct Figures {
    std::vector<double> first, later, laterKb;
    bool ok = true;
    double FirstMs() const { return Median(first); }
    double LaterMs() const { return Median(later); }
    double LaterKb() const { return Median(laterKb); }
};

// One round for one program: a first run in a new HOME, then a later run
// in the same HOME with `mode` stored.
bool MeasureRound(Display* display, const std::string& work, const std::string& program,
                  const std::string& resources, const std::string& mode, const std::string& title, Figures& f)
{
    const std::string home = work + "/home";
    MakeHome(home);
    const Launch a = LaunchOnce(display, program, home, resources, "TALVO Tidewright");
    if (!a.ok)
        return false;
    SetGeneralKey(home + "/.config/Tidewright.conf", "DefaultView", mode);
    const Launch b = LaunchOnce(display, program, home, resources, title);
    if (!b.ok)
        return false;
    f.first.push_back(a.ms);
    f.later.push_back(b.ms);
    f.laterKb.push_back(static_cast<double>(b.rssKb));
    return true;
}

// Rounds over every program, the programs' order turning each round, so
// that a change in the machine's load falls on all of them alike.
std::vector<Figures> Measure(Display* display, const std::string& work, const std::vector<std::string>& programs,
                             const std::string& resources, const std::string& mode, const std::string& title,
                             int runs)
{
    std::vector<Figures> figures(programs.size());
    for (int round = 0; round < runs; ++round)
        for (size_t k = 0; k < programs.size(); ++k) {
            const size_t p = (k + static_cast<size_t>(round)) % programs.size();
            if (figures[p].ok && !MeasureRound(display, work, programs[p], resources, mode, title, figures[p]))
                figures[p].ok = false;
        }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> modes;
    int runs = 5;
    std::vector<long> counts;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mode" && i + 1 < argc)
            modes.push_back(argv[++i]);
        else if (a == "--program" && i + 1 < argc)
            programs.push_back(argv[++i]);
        else if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            counts.push_back(std::strtol(a.c_str(), nullptr, 10));
    }
    if (programs.empty())
        programs.push_back(kBinary + "/tidewright");
    if (counts.empty())
        counts = {0, 20000, 100000, 300000};
    const std::map<std::string, std::string> titles = {
        {"LoadWindow", "TALVO Tidewright"}, {"Basic", "Basic Window"}, {"Batch", "Library Window"}};
    const std::map<std::string, std::string> modeNames = {
        {"LoadWindow", "Portal"}, {"Basic", "Basic"}, {"Batch", "Library"}};
    if (modes.empty())
        modes = {"LoadWindow", "Basic", "Batch"};
    for (const std::string& mode : modes)
        if (!titles.count(mode)) {
            std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
            return 2;
        }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display (set DISPLAY to an X server)\n");
        return 2;
    }
    char pattern[] = "/tmp/tw-launch-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made)
        return 1;
    const std::string work = made;

    std::printf("Launch to the main window mapped (median of %d rounds; first run: Portal; later runs in the mode "
                "shown)\n",
                runs);
    std::printf("Goals: the window within 1000 ms at 300,000 products in every mode; under 600 bytes per "
                "product in every mode.\n");
    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("  [%zu] %s\n", p, programs[p].c_str());
    std::printf("%-8s %9s %4s  %12s  %12s  %14s  %14s\n", "mode", "products", "prog", "first run ms",
                "later run ms", "RSS later MB", "bytes/product");
    std::fflush(stdout);

    // The reference for memory: the same runs over an empty catalogue, in
    // each mode.
    const std::string emptyResources = MakeResources(work, 0);
    if (emptyResources.empty()) {
        std::fprintf(stderr, "could not make the resources folders\n");
        return 1;
    }
    bool allOk = true;
    std::map<std::string, std::vector<Figures>> empty;
    for (const std::string& mode : modes) {
        empty[mode] = Measure(display, work, programs, emptyResources, mode, titles.at(mode), runs);
        for (size_t p = 0; p < programs.size(); ++p) {
            const Figures& e = empty[mode][p];
            if (!e.ok) {
                std::fprintf(stderr, "%s: [%zu] did not show its window\n", mode.c_str(), p);
                allOk = false;
                continue;
            }
            std::printf("%-8s %9d %4zu  %12.0f  %12.0f  %14.1f  %14s\n", modeNames.at(mode).c_str(), 0, p,
                        e.FirstMs(), e.LaterMs(), e.LaterKb() / 1024.0, "-");
        }
        std::fflush(stdout);
    }
    for (long count : counts) {
        long products = count;
        std::string resources;
        if (count == 0) {
            resources = MakeResources(work, -1);
            std::ifstream csv(std::string(TIDEWRIGHT_SOURCE_DIR) + "/data/zir/products.csv");
            long rows = 0;
            for (std::string line; std::getline(csv, line);)
                if (!line.empty() && line[0] != '#')
                    ++rows;
            products = rows > 0 ? rows - 1 : 0;
        } else {
            resources = MakeResources(work, count);
        }
        if (resources.empty()) {
            std::fprintf(stderr, "could not make the catalogue of %ld products\n", count);
            allOk = false;
            continue;
        }
        for (const std::string& mode : modes) {
            const std::vector<Figures> f = Measure(display, work, programs, resources, mode, titles.at(mode), runs);
            for (size_t p = 0; p < programs.size(); ++p) {
                if (!f[p].ok || !empty[mode][p].ok) {
                    std::fprintf(stderr, "%s, %ld products: [%zu] did not show its window\n", mode.c_str(),
                                 products, p);
                    allOk = false;
                    continue;
                }
                // Below some thousands of products the difference of two
                // resident sizes is mostly noise (pages the toolkit touched).
                char perProduct[32] = "-";
                if (products >= 10000)
                    std::snprintf(perProduct, sizeof perProduct, "%.0f",
                                  (f[p].LaterKb() - empty[mode][p].LaterKb()) * 1024.0 / double(products));
                std::printf("%-8s %9ld %4zu  %12.0f  %12.0f  %14.1f  %14s\n", modeNames.at(mode).c_str(), products,
                            p, f[p].FirstMs(), f[p].LaterMs(), f[p].LaterKb() / 1024.0, perProduct);
            }
            std::fflush(stdout);
        }
        if (count > 0)
            RemoveTree(resources);
    }
    XCloseDisplay(display);
    RemoveTree(work);
    return allOk ? 0 : 1;
}
