#include "support/GatewaySim.h"

#include <cstdlib>
#include <random>


#include <wx/filefn.h>
#include <wx/filename.h>

#include "core/Registry.h"

namespace tw::test {

wxString GatewaySim::Program()
{
    return wxString::FromUTF8(StandInProgram("gateway-sim"));
}

GatewaySim::GatewaySim(const std::vector<std::string>& options)
{
    m_root = m_dir / "root";
    wxFileName::Mkdir(m_root, 0777, wxPATH_MKDIR_FULL);
    m_log = m_dir / "received.log";
    m_faults = m_dir / "faults.txt";
    WriteFile(m_faults, "");

    std::vector<std::string> args = {Program().ToStdString(), "--root", m_root.ToStdString(), "--port", "0",
                                     "--log", m_log.ToStdString(), "--faults", m_faults.ToStdString(),
                                     "--exit-on-stdin-eof"};
    args.insert(args.end(), options.begin(), options.end());

    // The stand-in prints "PORT <n>" once it listens, and ends when its input closes.
    m_standIn = std::make_unique<StandIn>(args, true);
}

GatewaySim::~GatewaySim() = default;

std::string GatewaySim::Serve(const wxString& name, const std::string& bytes)
{
    WriteFile(m_root + "/" + name, bytes);
    return bytes;
}

std::string GatewaySim::ServeWithCompressed(const wxString& name, const std::string& bytes)
{
    wxString path = m_root + "/" + name;
    WriteFile(path, bytes);
    std::string cmd = "bzip2 -k -f '" + path.ToStdString() + "'";
    if (std::system(cmd.c_str()) != 0)
        return std::string();
    return bytes;
}

void GatewaySim::SetFaults(const std::vector<std::string>& faults)
{
    std::string text;
    for (const auto& f : faults)
        text += f + "\n";
    // Written under another name and renamed, so a connection never reads half a file.
    WriteFile(m_faults + ".new", text);
    wxRenameFile(m_faults + ".new", m_faults, true);
}

std::string GatewaySim::Received() const
{
    return wxFileExists(m_log) ? ReadFile(m_log) : std::string();
}

std::vector<std::string> GatewaySim::ReceivedLines() const
{
    std::vector<std::string> lines;
    std::string all = Received();
    size_t start = 0;
    while (start < all.size()) {
        size_t lf = all.find('\n', start);
        if (lf == std::string::npos)
            lf = all.size();
        std::string line = all.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

void GatewaySim::Configure(const wxString& user, const wxString& password, int xferTimeout) const
{
    CUserConfig config;
    config.WriteText("Gateway/gateway", "127.0.0.1");
    config.WriteInt("Gateway/port", Port());
    config.WriteText("Gateway/username", user);
    config.WriteText("Gateway/password", password);
    config.WriteInt("Gateway/connection_timeout", 5);
    config.WriteInt("Gateway/xfer_timeout", xferTimeout);
    config.WriteText("Connection/connection", "Network Connection");
    config.WriteText("Misc/readme", "readme");
    config.WriteBool("Misc/archive", false);
}

std::string SampleBytes(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (auto& c : out)
        c = static_cast<char>(rng() & 0xff);
    return out;
}

} // namespace tw::test
