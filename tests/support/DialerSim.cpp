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

    // The stand-in prints its port once it listens.
    m_child = StartChildProgram(args, false, 5000);
    m_port = std::atoi(m_child.firstLine.c_str());
}

DialerSim::~DialerSim()
{
    Stop();
}

void DialerSim::Stop()
{
    StopChildProgram(m_child);
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
