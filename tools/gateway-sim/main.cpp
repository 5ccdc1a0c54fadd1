// gateway-sim: a stand-in for the service gateway, for tests, benchmarks and
// demos. It listens on 127.0.0.1 and speaks the gateway's line protocol:
//
//   client: nlogin --user=U --pass=P --version=V      -> one answer line
//           [pos LAT LON WIDTH UNITS FLAG]
//           get NAME OFFSET PRICE [COMPRESSION]        (one per file)
//           <empty line>
//   server: status line (first word = readme word)
//           one header per file: "NAME START END" or a line with "ERROR"
//           closing line
//           for each accepted file: its header again, then END-START bytes
//
// Files are served from the --root folder, by the file's product name (the
// last "/" component of the requested path, after "=>" when it has one).
// When the request carries a compression option and "<name>.bz2" exists,
// that file is sent under the name "<name>.bz2".
//
// Usage:
//   gateway-sim --root DIR [--port N|0] [--accounts FILE] [--log FILE]
//               [--faults FILE] [--exit-on-stdin-eof] [fault options...]
//   tools/gateway-sim/run-demo.sh BUILD_DIR [PORT] makes the sample files once
//   (with gateway-samples, see sample_files.h) and serves them with the
//   account demo/demo.
//
// With --port 0 an ephemeral port is chosen; the port is printed on stdout as
// "PORT <n>" once the socket listens. --log appends every line received from
// clients, byte for byte (CR LF included). --faults names a file of
// "key=value" lines read afresh for every connection, so that a test can
// change the faults between two transfers; the same keys can be given on the
// command line as --key=value (or --key for a flag):
//
//   refuse-login             answer every login with "ERROR: Invalid login"
//   login-db-error           answer the login with a server database failure
//   login-answer=TEXT        the whole answer of an accepted login
//   balance=X zir=N mz=N     tokens of the accepted login answer
//   readme=WORD              first word of the status line (default "readme")
//   status-error             status line "ERROR: ..."
//   refuse=NAME              header "ERROR ..." for that file (repeatable)
//   rename=NAME              send NAME as NAME.bz2 (its .bz2 file when present)
//   send-name=NAME:SENT      header name SENT for NAME (hostile names; repeatable)
//   header=NAME:LINE         the exact header line for NAME, both phases (when it
//                            reads "NAME START END", that range is sent)
//   data-header=NAME:LINE    the exact data-phase header line for NAME
//   ignore-offset            always START 0 and the whole file
//   cut-after=N              close the connection after N file bytes
//   stall=login|status|headers|data   stop answering at that point
//   stall-after=N            stop sending after N file bytes (connection open)
//   rate=BYTES               throttle file bytes to that many per second
//
// The product-database update query ("nupdate") is answered after the login;
// its fault keys (update-zir=N, update-mz=N, ...) are listed in updates.h.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "samples.h"
#include "updates.h"

namespace {

// ---------------------------------------------------------------- options

struct Faults {
    bool refuseLogin = false;
    bool loginDbError = false;
    std::string loginAnswer;
    std::string balance, zir, mz;
    std::string readme = "readme";
    bool statusError = false;
    std::set<std::string> refuse;
    std::set<std::string> rename;
    std::map<std::string, std::string> sendName;
    std::map<std::string, std::string> header;
    std::map<std::string, std::string> dataHeader;
    bool ignoreOffset = false;
    long long cutAfter = -1;
    std::string stall;
    long long stallAfter = -1;
    long long rate = 0;
    sim::UpdateOffer update;

    // Applies one "key=value" (or "key"); false when the key is unknown.
    bool Apply(const std::string& item)
    {
        std::string key = item, value;
        size_t eq = item.find('=');
        if (eq != std::string::npos) {
            key = item.substr(0, eq);
            value = item.substr(eq + 1);
        }
        auto pair = [&](std::map<std::string, std::string>& m) {
            size_t colon = value.find(':');
            if (colon == std::string::npos)
                return false;
            m[value.substr(0, colon)] = value.substr(colon + 1);
            return true;
        };
        if (key == "refuse-login") refuseLogin = true;
        else if (key == "login-db-error") loginDbError = true;
        else if (key == "login-answer") loginAnswer = value;
        else if (key == "balance") balance = value;
        else if (key == "zir") zir = value;
        else if (key == "mz") mz = value;
        else if (key == "readme") readme = value;
        else if (key == "status-error") statusError = true;
        else if (key == "refuse") refuse.insert(value);
        else if (key == "rename") rename.insert(value);
        else if (key == "send-name") return pair(sendName);
        else if (key == "header") return pair(header);
        else if (key == "data-header") return pair(dataHeader);
        else if (key == "ignore-offset") ignoreOffset = true;
        else if (key == "cut-after") cutAfter = std::atoll(value.c_str());
        else if (key == "stall") stall = value;
        else if (key == "stall-after") stallAfter = std::atoll(value.c_str());
        else if (key == "rate") rate = std::atoll(value.c_str());
        else if (update.Apply(key, value)) { }
        else return false;
        return true;
    }
};

struct Config {
    std::string root = ".";
    int port = 0;
    std::string accounts;
    std::string log;
    std::string faultsFile;
    bool exitOnStdinEof = false;
    Faults faults;   // from the command line
};

Config g_config;
std::mutex g_logLock;

Faults CurrentFaults()
{
    Faults f = g_config.faults;
    if (!g_config.faultsFile.empty()) {
        std::ifstream in(g_config.faultsFile);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            if (!f.Apply(line))
                std::fprintf(stderr, "gateway-sim: unknown fault '%s'\n", line.c_str());
        }
    }
    return f;
}

void LogReceived(const std::string& raw)
{
    if (g_config.log.empty())
        return;
    std::lock_guard<std::mutex> lock(g_logLock);
    int fd = ::open(g_config.log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const char* p = raw.data();
    size_t left = raw.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n <= 0)
            break;
        p += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
}

// ------------------------------------------------------------- connection

class Connection
{
public:
    explicit Connection(int fd) : m_fd(fd), m_faults(CurrentFaults()) {}
    ~Connection() { ::close(m_fd); }

    void Serve();

private:
    struct Entry {
        std::string requested;   // the requested path, unescaped
        long long offset = 0;
        std::string compression;
        bool accepted = false;
        std::string header;      // header phase line (no line end)
        std::string dataHeader;  // data phase line
        std::string file;        // local file to send
        long long start = 0, end = 0;
    };

    bool ReadLine(std::string& line);           // false at EOF or error
    bool Send(const std::string& text);
    bool SendLine(const std::string& text) { return Send(text + "\r\n"); }
    bool SendFileBytes(const std::string& path, long long start, long long count);
    void StallUntilClosed();
    bool CheckAccount(const std::string& user, const std::string& pass, std::string& balance);
    Entry Resolve(const std::string& getLine);

    int m_fd;
    Faults m_faults;
    std::string m_in;          // bytes received and not yet taken
    long long m_sentData = 0;  // file bytes sent on this connection
    bool m_dead = false;       // cut or closed by the peer
};

bool Connection::ReadLine(std::string& line)
{
    for (;;) {
        size_t lf = m_in.find('\n');
        if (lf != std::string::npos) {
            std::string raw = m_in.substr(0, lf + 1);
            m_in.erase(0, lf + 1);
            LogReceived(raw);
            line = raw.substr(0, lf);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        char buf[4096];
        ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_in.append(buf, static_cast<size_t>(n));
    }
}

bool Connection::Send(const std::string& text)
{
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::send(m_fd, p, left, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_dead = true;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void Connection::StallUntilClosed()
{
    // Keep the connection open and silent until the client goes away.
    char buf[4096];
    for (;;) {
        ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
    }
    m_dead = true;
}

bool Connection::SendFileBytes(const std::string& path, long long start, long long count)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "gateway-sim: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        m_dead = true;
        return false;
    }
    off_t pos = static_cast<off_t>(start);
    auto began = std::chrono::steady_clock::now();
    long long sentHere = 0;
    bool ok = true;
    while (count > 0) {
        long long chunk = std::min<long long>(count, 1 << 20);
        if (m_faults.rate > 0)
            chunk = std::min<long long>(chunk, std::max<long long>(1, m_faults.rate / 20));
        if (m_faults.cutAfter >= 0) {
            if (m_sentData >= m_faults.cutAfter) {
                ::shutdown(m_fd, SHUT_RDWR);
                m_dead = true;
                ok = false;
                break;
            }
            chunk = std::min(chunk, m_faults.cutAfter - m_sentData);
        }
        if (m_faults.stallAfter >= 0) {
            if (m_sentData >= m_faults.stallAfter) {
                StallUntilClosed();
                ok = false;
                break;
            }
            chunk = std::min(chunk, m_faults.stallAfter - m_sentData);
        }
        ssize_t n = ::sendfile(m_fd, fd, &pos, static_cast<size_t>(chunk));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_dead = true;
            ok = false;
            break;
        }
        count -= n;
        sentHere += n;
        m_sentData += n;
        if (m_faults.rate > 0) {
            // Sleep until the average rate is back at the limit.
            double due = static_cast<double>(sentHere) / static_cast<double>(m_faults.rate);
            double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            if (due > spent)
                std::this_thread::sleep_for(std::chrono::duration<double>(due - spent));
        }
    }
    ::close(fd);
    return ok;
}

bool Connection::CheckAccount(const std::string& user, const std::string& pass, std::string& balance)
{
    if (g_config.accounts.empty())
        return !user.empty() && !pass.empty();
    std::ifstream in(g_config.accounts);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        // "user<TAB>password[<TAB>balance]"; blanks inside are allowed.
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t'))
            fields.push_back(field);
        if (fields.size() >= 2 && fields[0] == user && fields[1] == pass) {
            if (fields.size() >= 3)
                balance = fields[2];
            return true;
        }
    }
    return false;
}

// Splits a request line at blanks that are not escaped by a backslash; the
// escapes are removed from the fields.
std::vector<std::string> SplitEscaped(const std::string& line)
{
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == ' ') {
            cur += ' ';
            ++i;
        } else if (c == ' ') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

std::string EscapeBlanks(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == ' ')
            out += "\\ ";
        else
            out += c;
    }
    return out;
}

long long FileSize(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

Connection::Entry Connection::Resolve(const std::string& getLine)
{
    Entry e;
    std::vector<std::string> f = SplitEscaped(getLine);
    // f[0] = "get", f[1] = name, f[2] = offset, f[3] = price, f[4] = compression
    if (f.size() > 1)
        e.requested = f[1];
    if (f.size() > 2)
        e.offset = std::atoll(f[2].c_str());
    if (f.size() > 4)
        e.compression = f[4];

    std::string name = sim::ProductName(e.requested);
    if (name.empty() || m_faults.refuse.count(name) || m_faults.refuse.count(e.requested)) {
        e.header = "ERROR: File '" + e.requested + "' is not available.";
        return e;
    }
    std::string local = g_config.root + "/" + sim::StoredName(name);
    std::string sentName = name;
    bool compressed = !e.compression.empty() && FileSize(local + ".bz2") >= 0;
    if (m_faults.rename.count(name)) {
        compressed = FileSize(local + ".bz2") >= 0;
        sentName = name + ".bz2";
    }
    if (compressed) {
        local += ".bz2";
        sentName = name + ".bz2";
    }
    long long size = FileSize(local);
    if (size < 0) {
        e.header = "ERROR: File '" + e.requested + "' not found.";
        return e;
    }
    auto named = m_faults.sendName.find(name);
    if (named != m_faults.sendName.end())
        sentName = named->second;

    e.accepted = true;
    e.file = local;
    e.end = size;
    e.start = m_faults.ignoreOffset ? 0 : std::min(std::max(0LL, e.offset), size);
    e.header = EscapeBlanks(sentName) + " " + std::to_string(e.start) + " " + std::to_string(e.end);
    auto h = m_faults.header.find(name);
    if (h != m_faults.header.end()) {
        e.header = h->second;
        // An override that still reads "NAME START END" also sets the range sent.
        std::vector<std::string> f2 = SplitEscaped(e.header);
        char* endp = nullptr;
        if (f2.size() == 3 && !f2[1].empty() && !f2[2].empty()) {
            long long start = std::strtoll(f2[1].c_str(), &endp, 10);
            bool ok = *endp == '\0';
            long long end = std::strtoll(f2[2].c_str(), &endp, 10);
            ok = ok && *endp == '\0';
            if (ok && start >= 0 && end >= start && end <= size) {
                e.start = start;
                e.end = end;
            }
        }
    }
    e.dataHeader = e.header;
    auto dh = m_faults.dataHeader.find(name);
    if (dh != m_faults.dataHeader.end())
        e.dataHeader = dh->second;
    return e;
}

void Connection::Serve()
{
    std::string line;
    if (!ReadLine(line))
        return;
    if (line.rfind("nlogin", 0) != 0) {
        SendLine("ERROR: Expected nlogin");
        return;
    }
    auto field = [&](const std::string& key, const std::string& next) {
        size_t at = line.find(key);
        if (at == std::string::npos)
            return std::string();
        at += key.size();
        size_t end = next.empty() ? std::string::npos : line.find(next, at);
        return line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    };
    std::string user = field(" --user=", " --pass=");
    std::string pass = field(" --pass=", " --version=");

    if (m_faults.stall == "login") {
        StallUntilClosed();
        return;
    }
    std::string balance = m_faults.balance;
    if (m_faults.loginDbError) {
        SendLine("DBD::SQLite::db do failed: database is locked");
        return;
    }
    if (m_faults.refuseLogin || !CheckAccount(user, pass, balance)) {
        SendLine("ERROR: Invalid login");
        return;
    }
    if (!m_faults.loginAnswer.empty()) {
        SendLine(m_faults.loginAnswer);
    } else {
        std::string answer = "OK Welcome";
        if (!balance.empty())
            answer += " --balance=" + balance;
        if (!m_faults.zir.empty())
            answer += " --zir=" + m_faults.zir;
        if (!m_faults.mz.empty())
            answer += " --mz=" + m_faults.mz;
        SendLine(answer);
    }

    std::vector<Entry> entries;
    for (;;) {
        if (!ReadLine(line))
            return;
        if (line.empty())
            break;
        if (line.rfind("get ", 0) == 0) {
            entries.push_back(Resolve(line));
        } else if (line.rfind("pos ", 0) == 0) {
            // The area is only recorded in the log.
        } else if (line.rfind("nupdate", 0) == 0) {
            if (m_faults.update.stall) {
                StallUntilClosed();
                return;
            }
            if (!Send(sim::UpdateReply(m_faults.update, g_config.root, m_faults.readme)))
                return;
            // The client ends with "EOT" and a NUL byte and closes: record them.
            LogReceived(m_in + sim::ReadUntilClosed(m_fd));
            m_in.clear();
            return;
        } else {
            SendLine("ERROR: Unknown request '" + line + "'");
            return;
        }
    }

    if (m_faults.stall == "status") {
        StallUntilClosed();
        return;
    }
    if (m_faults.statusError) {
        SendLine("ERROR: The server cannot process requests now.");
        return;
    }
    if (!SendLine(m_faults.readme + " " + std::to_string(entries.size()) + " files"))
        return;
    if (m_faults.stall == "headers") {
        StallUntilClosed();
        return;
    }
    for (const Entry& e : entries)
        if (!SendLine(e.header))
            return;
    if (!SendLine("EOT"))
        return;
    if (m_faults.stall == "data") {
        StallUntilClosed();
        return;
    }
    for (const Entry& e : entries) {
        if (!e.accepted)
            continue;
        if (!SendLine(e.dataHeader))
            return;
        if (!SendFileBytes(e.file, e.start, e.end - e.start))
            return;
    }
    // Wait for the client to close, so that it reads everything before the
    // connection goes away.
    ::shutdown(m_fd, SHUT_WR);
    StallUntilClosed();
}

// -------------------------------------------------------------------- main

void Usage()
{
    std::fprintf(stderr,
                 "usage: gateway-sim --root DIR [--port N] [--accounts FILE] [--log FILE]\n"
                 "                   [--faults FILE] [--exit-on-stdin-eof] [--FAULT[=VALUE]...]\n");
}

int Serve()
{
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        std::perror("socket");
        return 1;
    }
    int one = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(g_config.port));
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 64) != 0) {
        std::perror("bind/listen");
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::printf("PORT %d\n", ntohs(addr.sin_port));
    std::fflush(stdout);

    if (g_config.exitOnStdinEof) {
        std::thread([] {
            char c;
            while (::read(0, &c, 1) > 0) {
            }
            std::_Exit(0);
        }).detach();
    }

    for (;;) {
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            std::perror("accept");
            return 1;
        }
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::thread([fd] {
            Connection c(fd);
            c.Serve();
        }).detach();
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            target = argv[++i];
        };
        std::string tmp;
        if (a == "--root") value(g_config.root);
        else if (a == "--port") { value(tmp); g_config.port = std::atoi(tmp.c_str()); }
        else if (a == "--accounts") value(g_config.accounts);
        else if (a == "--log") value(g_config.log);
        else if (a == "--faults") value(g_config.faultsFile);
        else if (a == "--exit-on-stdin-eof") g_config.exitOnStdinEof = true;
        else if (a == "--help" || a == "-h") { Usage(); return 0; }
        else if (a.rfind("--", 0) == 0 && g_config.faults.Apply(a.substr(2))) { }
        else { Usage(); return 2; }
    }
    return Serve();
}
