#include "support/DialerSim.h"

#include <cstdlib>
#include <sstream>

#include "core/Registry.h"

namespace tw::test {

wxString DialerSim::Program()
{
    return wxString::FromUTF8(StandInProgram("dialer-sim"));
}

namespace {

std::vector<std::string> DialerArgs(const wxString& log, const std::vector<std::string>& options)
{
    std::vector<std::string> args{DialerSim::Program().ToStdString(), "--port", "0", "--log", log.ToStdString()};
    args.insert(args.end(), options.begin(), options.end());
    return args;
}

} // namespace

// The stand-in prints its port once it listens.
DialerSim::DialerSim(const std::vector<std::string>& options)
    : m_log(m_dir / "requests.log"), m_standIn(DialerArgs(m_log, options), false, 20000)
{
}

DialerSim::~DialerSim() = default;

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
    settings.m_autodialPort = Port();
}

} // namespace tw::test
