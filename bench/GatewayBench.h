// Shared by the transfer benchmarks: the gateway stand-in as a child process,
// a private settings folder, a minimal observer and a plain receive loop.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/init.h>

#include "Figures.h"
#include "core/Registry.h"
#include "support/ChildProgram.h"
#include "model/FileList.h"
#include "engine/transfer/XferSocket.h"

namespace bench {

inline double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double CpuSeconds()
{
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

inline std::string MakeDir(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
}

inline void RemoveTree(const std::string& path)
{
    if (!path.empty())
        std::system(("rm -rf '" + path + "'").c_str());
}

// A file of `size` bytes of cheap, non-repeating content.
inline bool MakeFile(const std::string& path, size_t size)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    std::vector<uint64_t> block(1 << 17);
    uint64_t x = 0x9e3779b97f4a7c15ull;
    size_t done = 0;
    while (done < size) {
        for (auto& v : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = x;
        }
        size_t n = std::min(size - done, block.size() * sizeof(uint64_t));
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
            ::close(fd);
            return false;
        }
        done += n;
    }
    return ::close(fd) == 0;
}

// Starts wx without a GUI and points the settings at a private folder.
class Environment
{
public:
    Environment(int& argc, char** argv)
    {
        std::signal(SIGPIPE, SIG_IGN);
        m_home = MakeDir("tw-bench-home-");
        setenv("HOME", m_home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_home + "/.config").c_str(), 1);
        ::mkdir((m_home + "/.config").c_str(), 0700);
        wxApp::SetInstance(new wxAppConsole);
        m_init = new wxInitializer(argc, argv);
    }
    ~Environment()
    {
        delete m_init;
        RemoveTree(m_home);
    }

    static void Configure(int port)
    {
        CUserConfig config;
        config.WriteText("Gateway/gateway", "127.0.0.1");
        config.WriteInt("Gateway/port", port);
        config.WriteText("Gateway/username", "bench");
        config.WriteText("Gateway/password", "bench");
        config.WriteInt("Gateway/xfer_timeout", 30);
        config.WriteText("Connection/connection", "Network Connection");
        config.WriteBool("Misc/archive", false);
    }

private:
    std::string m_home;
    wxInitializer* m_init = nullptr;
};

// The gateway stand-in serving `root`.
class Sim
{
public:
    explicit Sim(const std::string& root, const std::vector<std::string>& options = {})
        : m_standIn(Args(root, options), true)
    {
    }
    int Port() const { return m_standIn.Port(); }

private:
    static std::vector<std::string> Args(const std::string& root, const std::vector<std::string>& options)
    {
        std::vector<std::string> args = {tw::test::StandInProgram("gateway-sim"), "--root", root, "--port", "0",
                                         "--exit-on-stdin-eof"};
        args.insert(args.end(), options.begin(), options.end());
        return args;
    }
    tw::test::StandIn m_standIn;
};

// Counts reports; optionally pauses after each progress report as the
// transfer window does.
class Observer : public ITransferObserver
{
public:
    explicit Observer(int progressPauseMs = 0) : m_pause(progressPauseMs) {}
    void TransferEntry() override {}
    void TransferExit() override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_exited = true;
        m_cond.notify_all();
    }
    void TransferBegin(const wxString&, const wxTimeSpan&, int) override { dataStart = Now(); }
    void TransferDone(const wxString& text, bool ok) override
    {
        done = text;
        success = ok;
    }
    void TransferStatus(const wxString&) override {}
    void TransferElapsedTime(const wxTimeSpan&, const wxTimeSpan&) override {}
    void TransferProgress(int, int) override
    {
        ++progressReports;
        if (m_pause > 0)
            wxMilliSleep(m_pause);
    }
    void TransferFileBegin(const wxString&, int, const wxTimeSpan&) override {}
    void TransferFileDone(const wxString&, bool) override
    {
        ++files;
        dataEnd = Now();
    }
    int TransferMessageBox(const wxString&, const wxString&, int) override { return wxNO; }

    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_cond.wait(lock, [&] { return m_exited; });
    }

    std::atomic<int> progressReports {0};
    std::atomic<int> files {0};
    double dataStart = 0, dataEnd = 0;
    wxString done;
    bool success = false;

private:
    int m_pause;
    std::mutex m_lock;
    std::condition_variable m_cond;
    bool m_exited = false;
};

// Runs the worker over `list` and waits for it to end.
inline void RunWorker(CFileList& list, Observer& observer, bool compressionDisabled = true)
{
    auto* worker = new CXferSocketThread(&observer, compressionDisabled);
    CXferLocation position;
    worker->SetupFileDownload(&list, position, 1000000, nullptr);
    if (worker->Create() != wxTHREAD_NO_ERROR || worker->Run() != wxTHREAD_NO_ERROR) {
        std::fprintf(stderr, "cannot start the worker\n");
        std::exit(1);
    }
    observer.Wait();
}

// The worker's own buffer sizes: socket reads of up to 256 KiB, file writes
// of 1 MiB.
constexpr size_t kReadSize = 256 * 1024;
constexpr size_t kWriteSize = 1024 * 1024;

// The least a client can do with the worker's buffer sizes: the same
// exchange, then recv() of up to kReadSize bytes at a time straight into a
// kWriteSize buffer that is written to the file whenever it is full, and the
// file closed. Returns the seconds of the data phase (from the first file
// byte to the closed file), -1 on failure.
inline double PlainReceive(int port, const std::string& name, long long size, const std::string& out)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    std::string request = "nlogin --user=bench --pass=bench --version=13.05m\r\nget " + name + " 0 1/0  \r\n\r\n";
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    // Login answer, status, header, closing line, data header: five lines,
    // read a byte at a time so that no file byte is taken with them.
    int lf = 0;
    while (lf < 5) {
        char c = 0;
        if (::recv(fd, &c, 1, 0) != 1) {
            ::close(fd);
            return -1;
        }
        if (c == '\n')
            ++lf;
    }
    std::vector<char> buffer(kWriteSize);
    int file = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    double start = Now();
    long long left = size;
    size_t used = 0;
    bool ok = file >= 0;
    while (ok && left > 0) {
        size_t want = std::min<size_t>({kReadSize, buffer.size() - used, static_cast<size_t>(left)});
        ssize_t n = ::recv(fd, buffer.data() + used, want, 0);
        if (n <= 0) {
            ok = false;
            break;
        }
        used += static_cast<size_t>(n);
        left -= n;
        if (used == buffer.size() || left == 0) {
            ok = ::write(file, buffer.data(), used) == static_cast<ssize_t>(used);
            used = 0;
        }
    }
    if (file >= 0 && ::close(file) != 0)
        ok = false;
    double seconds = Now() - start;
    ::close(fd);
    return ok ? seconds : -1;
}

// Writes `size` bytes into a new file in kWriteSize writes and closes it:
// the file-system half of a receive loop without the network. Returns the
// seconds, -1 on failure.
inline double BareWrite(const std::string& path, long long size)
{
    std::vector<char> buffer(kWriteSize, 'x');
    int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0)
        return -1;
    const double start = Now();
    bool ok = true;
    for (long long left = size; ok && left > 0;) {
        const size_t n = static_cast<size_t>(std::min<long long>(left, kWriteSize));
        ok = ::write(file, buffer.data(), n) == static_cast<ssize_t>(n);
        left -= static_cast<long long>(n);
    }
    ok = ::close(file) == 0 && ok;
    return ok ? Now() - start : -1;
}

} // namespace bench
