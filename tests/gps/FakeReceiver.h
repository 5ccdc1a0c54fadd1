// A GPS receiver on a pseudo-terminal: the test's master side, in raw mode,
// is written by a thread at the pace of a 4800 baud line (ten bit times per
// byte), in fragments of random length so that sentences arrive split across
// reads; optionally with noise bytes between the lines. The reader under
// test opens the slave side as its serial port.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace gps_test {

class FakeReceiver
{
public:
    // bitsPerSecond 0 writes as fast as the line takes it.
    explicit FakeReceiver(int bitsPerSecond = 4800)
        : m_bitsPerSecond(bitsPerSecond)
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        if (const char* name = ptsname(m_master))
            m_port = name;
        termios tio{};
        if (tcgetattr(m_master, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(m_master, TCSANOW, &tio);
        }
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        // Held open so that the line does not hang up each time the reader
        // closes its port; it never reads.
        m_keepOpen = open(m_port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        m_thread = std::thread([this] { Run(); });
    }

    ~FakeReceiver()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_stop = true;
        }
        m_cond.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        Unplug();
        if (m_keepOpen >= 0)
            close(m_keepOpen);
    }

    FakeReceiver(const FakeReceiver&) = delete;
    FakeReceiver& operator=(const FakeReceiver&) = delete;

    bool Ok() const { return m_master >= 0 && !m_port.empty() && m_keepOpen >= 0; }
    const std::string& Port() const { return m_port; }

    // What the receiver sends, over and over: the lines (each with its own
    // line end, or none), then a pause of gapMs. Noise: that many random
    // bytes (never '$') between lines. Replacing the script starts the new
    // one at once.
    void Send(std::vector<std::string> lines, int gapMs = 0, int noiseBytes = 0)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_lines = std::move(lines);
            m_gapMs = gapMs;
            m_noise = noiseBytes;
            ++m_version;
        }
        m_cond.notify_all();
    }
    void Silence() { Send({}); }

    // The receiver goes away: the reader's port sees the line hang up.
    void Unplug()
    {
        std::lock_guard<std::mutex> lock(m_writeLock);
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

    // Bytes written so far.
    size_t BytesSent() const { return m_sent.load(); }
    // Script cycles completed since the script was last set.
    int Cycles() const { return m_cycles.load(); }

private:
    void Run()
    {
        std::mt19937 random(12345);
        auto next = std::chrono::steady_clock::now();
        unsigned lastVersion = ~0u;
        for (;;) {
            std::vector<std::string> lines;
            int gap = 0, noise = 0;
            unsigned version = 0;
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_cond.wait(lock, [this] { return m_stop || !m_lines.empty(); });
                if (m_stop)
                    return;
                if (lastVersion != m_version)
                    m_cycles = 0;
                lastVersion = m_version;
                lines = m_lines;
                gap = m_gapMs;
                noise = m_noise;
                version = m_version;
            }
            for (const std::string& line : lines) {
                std::string bytes = line;
                if (noise > 0) {
                    std::uniform_int_distribution<int> byte(0, 255);
                    for (int i = 0; i < noise; ++i) {
                        char c = static_cast<char>(byte(random));
                        bytes += c == '$' ? '#' : c;
                    }
                }
                size_t done = 0;
                std::uniform_int_distribution<size_t> fragment(1, 24);
                while (done < bytes.size()) {
                    if (Changed(version))
                        break;
                    const size_t n = std::min(fragment(random), bytes.size() - done);
                    if (!Write(bytes.data() + done, n))
                        return;
                    done += n;
                    if (m_bitsPerSecond > 0) {
                        // Ten bit times per byte; a writer that fell far
                        // behind (a loaded machine) does not burst to catch up.
                        next += std::chrono::microseconds(static_cast<long long>(n) * 10 * 1000000 / m_bitsPerSecond);
                        const auto now = std::chrono::steady_clock::now();
                        if (next < now - std::chrono::milliseconds(50))
                            next = now;
                        std::unique_lock<std::mutex> lock(m_lock);
                        m_cond.wait_until(lock, next, [&] { return m_stop || m_version != version; });
                    }
                }
                if (Changed(version))
                    break;
            }
            if (!Changed(version))
                ++m_cycles;
            if (gap > 0) {
                std::unique_lock<std::mutex> lock(m_lock);
                m_cond.wait_for(lock, std::chrono::milliseconds(gap), [&] { return m_stop || m_version != version; });
                next = std::chrono::steady_clock::now();
            }
        }
    }

    bool Changed(unsigned version)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_stop || m_version != version;
    }

    // False once the receiver is unplugged or stopped.
    bool Write(const char* data, size_t len)
    {
        while (len > 0) {
            {
                std::lock_guard<std::mutex> lock(m_writeLock);
                if (m_master < 0)
                    return false;
                const ssize_t n = write(m_master, data, len);
                if (n > 0) {
                    data += n;
                    len -= static_cast<size_t>(n);
                    m_sent += static_cast<size_t>(n);
                    continue;
                }
            }
            // The line's buffer is full (nobody reads): wait a little.
            std::unique_lock<std::mutex> lock(m_lock);
            if (m_cond.wait_for(lock, std::chrono::milliseconds(5), [this] { return m_stop; }))
                return false;
        }
        return true;
    }

    const int m_bitsPerSecond;
    int m_master = -1;
    int m_keepOpen = -1;
    std::string m_port;
    std::thread m_thread;
    std::mutex m_writeLock;

    std::mutex m_lock;
    std::condition_variable m_cond;
    bool m_stop = false;
    std::vector<std::string> m_lines;
    int m_gapMs = 0;
    int m_noise = 0;
    unsigned m_version = 0;
    std::atomic<size_t> m_sent{0};
    std::atomic<int> m_cycles{0};
};

// A sentence with its checksum and line end.
inline std::string WithChecksum(const std::string& body)
{
    unsigned sum = 0;
    for (size_t i = 1; i < body.size(); ++i)
        sum ^= static_cast<unsigned char>(body[i]);
    char tail[8];
    snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return body + tail;
}

} // namespace gps_test
