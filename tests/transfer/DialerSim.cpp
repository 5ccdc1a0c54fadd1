#include "transfer/DialerSim.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/Registry.h"

namespace tw::test {

wxString DialerSim::Program()
{
    return wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/tools/dialer-sim/dialer-sim";
}

DialerSim::DialerSim(const std::vector<std::string>& options)
{
    m_log = m_dir / "requests.log";
    std::vector<std::string> args{Program().ToStdString(), "--port", "0", "--log", m_log.ToStdString()};
    args.insert(args.end(), options.begin(), options.end());

    int out[2];
    if (pipe(out) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    if (m_pid < 0) {
        close(out[0]);
        return;
    }
    // The stand-in prints its port once it listens.
    std::string line;
    pollfd pfd{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&pfd, 1, 5000) > 0) {
        char buffer[64];
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    m_port = std::atoi(line.c_str());
}

DialerSim::~DialerSim()
{
    Stop();
}

void DialerSim::Stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
}

std::vector<std::string> DialerSim::Requests() const
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(m_log));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

int DialerSim::Count(const std::string& line) const
{
    int count = 0;
    for (const std::string& l : Requests())
        count += l == line;
    return count;
}

bool DialerSim::WaitForRequest(const std::string& line, int times, int timeoutMs) const
{
    return WaitFor([&] { return Count(line) >= times; }, timeoutMs);
}

void DialerSim::Configure(CRegistry& settings) const
{
    settings.m_gatewayInfo.autodialhost = "127.0.0.1";
    settings.m_autodialPort = m_port;
}

int UnusedPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

ScopedEnv::ScopedEnv(const char* name, const wxString& value) : m_name(name)
{
    if (const char* old = std::getenv(name)) {
        m_had = true;
        m_old = old;
    }
    setenv(name, value.utf8_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

} // namespace tw::test
