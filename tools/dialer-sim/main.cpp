// dialer-sim: a stand-in for the local satellite-dialer service.
//
// It listens on 127.0.0.1 and speaks the dialer's line protocol: requests end
// with LF, replies with CR LF. Every connection is served on its own thread.
//
//   "version"          -> the version text, then "OK"
//   "login USER PASS"  -> "OK"
//   "logger"           -> "OK"; from then on the dial sends progress lines
//   "dialup"           -> progress lines (when logging), then "connected T L"
//   "hangup"           -> "disconnected"
//   anything else      -> "invalid"
//
// Options (all optional) make it misbehave the way tests need:
//   --port N              port to listen on (default 3020); 0 picks a free one.
//                         The port actually used is printed on stdout.
//   --version TEXT        version text (default 3.85)
//   --reply CMD=TEXT      answer CMD (version, login, logger, dialup, hangup)
//                         with the single line TEXT instead of the normal reply,
//                         e.g. --reply login=denied --reply version=invalid
//   --connected TEXT      the line that ends a successful dial
//                         (default "connected 30 2"; "connected" for none)
//   --dial-delay MS       time the dial takes (default 200)
//   --progress N          progress lines sent while dialling with logging on
//                         (default 2)
//   --drop-on-dial        close the connection instead of answering a dial
//   --split               write each reply in two pieces: the text and CR,
//                         then the LF a moment later
//   --bare-lf             end replies with LF alone
//   --log FILE            append every request line received to FILE
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

struct Options {
    int port = 3020;
    std::string version = "3.85";
    std::map<std::string, std::string> replies;
    std::string connected = "connected 30 2";
    int dialDelayMs = 200;
    int progressLines = 2;
    bool dropOnDial = false;
    bool split = false;
    bool bareLf = false;
    std::string logPath;
};

Options g_opt;
std::mutex g_logMutex;

void LogLine(const std::string& line)
{
    if (g_opt.logPath.empty())
        return;
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (FILE* f = std::fopen(g_opt.logPath.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool Reply(int fd, const std::string& text)
{
    if (g_opt.bareLf)
        return WriteAll(fd, text + "\n");
    if (g_opt.split) {
        if (!WriteAll(fd, text + "\r"))
            return false;
        Sleep(40);
        return WriteAll(fd, "\n");
    }
    return WriteAll(fd, text + "\r\n");
}

// The override for a command, if one was given.
bool Override(const std::string& command, std::string& text)
{
    auto it = g_opt.replies.find(command);
    if (it == g_opt.replies.end())
        return false;
    text = it->second;
    return true;
}

void Serve(int fd)
{
    LogLine("<connect>");
    bool logging = false;
    std::string pending;
    char buffer[512];
    for (;;) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(n));
        size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            LogLine(line);

            std::string command = line.substr(0, line.find(' '));
            std::string text;
            bool ok = true;
            if (Override(command, text)) {
                ok = Reply(fd, text);
                continue;
            }
            if (command == "version") {
                ok = Reply(fd, g_opt.version) && Reply(fd, "OK");
            } else if (command == "login") {
                ok = Reply(fd, "OK");
            } else if (command == "logger") {
                logging = true;
                ok = Reply(fd, "OK");
            } else if (command == "dialup") {
                int steps = logging ? g_opt.progressLines : 0;
                for (int i = 0; ok && i < steps; ++i) {
                    Sleep(g_opt.dialDelayMs / (steps + 1));
                    ok = Reply(fd, "Dialing step " + std::to_string(i + 1) + " of " + std::to_string(steps));
                }
                Sleep(g_opt.dialDelayMs - (steps ? steps * (g_opt.dialDelayMs / (steps + 1)) : 0));
                if (g_opt.dropOnDial) {
                    LogLine("<drop>");
                    ::shutdown(fd, SHUT_RDWR);
                    ::close(fd);
                    return;
                }
                logging = false;
                if (ok)
                    ok = Reply(fd, g_opt.connected);
            } else if (command == "hangup") {
                ok = Reply(fd, "disconnected");
            } else {
                ok = Reply(fd, "invalid");
            }
            if (!ok)
                break;
        }
    }
    LogLine("<close>");
    ::close(fd);
}

void Usage()
{
    std::fprintf(stderr,
                 "usage: dialer-sim [--port N] [--version TEXT] [--reply CMD=TEXT]... "
                 "[--connected TEXT] [--dial-delay MS] [--progress N] [--drop-on-dial] "
                 "[--split] [--bare-lf] [--log FILE]\n");
}

bool ParseArgs(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--port" && value(v)) {
            g_opt.port = std::atoi(v.c_str());
        } else if (arg == "--version" && value(v)) {
            g_opt.version = v;
        } else if (arg == "--reply" && value(v)) {
            size_t eq = v.find('=');
            if (eq == std::string::npos)
                return false;
            g_opt.replies[v.substr(0, eq)] = v.substr(eq + 1);
        } else if (arg == "--connected" && value(v)) {
            g_opt.connected = v;
        } else if (arg == "--dial-delay" && value(v)) {
            g_opt.dialDelayMs = std::max(0, std::atoi(v.c_str()));
        } else if (arg == "--progress" && value(v)) {
            g_opt.progressLines = std::max(0, std::atoi(v.c_str()));
        } else if (arg == "--drop-on-dial") {
            g_opt.dropOnDial = true;
        } else if (arg == "--split") {
            g_opt.split = true;
        } else if (arg == "--bare-lf") {
            g_opt.bareLf = true;
        } else if (arg == "--log" && value(v)) {
            g_opt.logPath = v;
        } else {
            return false;
        }
    }
    return g_opt.port >= 0 && g_opt.port <= 65535;
}

} // namespace

int main(int argc, char** argv)
{
    if (!ParseArgs(argc, argv)) {
        Usage();
        return 2;
    }
    ::signal(SIGPIPE, SIG_IGN);

    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0) {
        std::perror("socket");
        return 1;
    }
    int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(g_opt.port));
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0) {
        std::perror("bind");
        return 1;
    }
    if (::listen(listener, 8) < 0) {
        std::perror("listen");
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::printf("%u\n", static_cast<unsigned>(ntohs(addr.sin_port)));
    std::fflush(stdout);

    for (;;) {
        int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0)
            continue;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        std::thread(Serve, fd).detach();
    }
}
