// Runs the gateway stand-in (tools/gateway-sim) as a child process on a free
// loopback port for the lifetime of the object, serving the files of its own
// folder, and reads back the lines it received.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/string.h>

#include "support/ChildProgram.h"
#include "support/TestSupport.h"

namespace tw::test {

class GatewaySim
{
public:
    // `options` are the stand-in's own (see tools/gateway-sim/main.cpp), e.g.
    // {"--refuse-login"}. Faults can also be changed between connections
    // with SetFaults.
    explicit GatewaySim(const std::vector<std::string>& options = {});
    ~GatewaySim();
    GatewaySim(const GatewaySim&) = delete;
    GatewaySim& operator=(const GatewaySim&) = delete;

    bool Running() const { return m_standIn && m_standIn->Running(); }
    int Port() const { return m_standIn ? m_standIn->Port() : 0; }

    // The folder the stand-in serves files from.
    wxString Root() const { return m_root; }
    // Puts a file to serve; returns its bytes.
    std::string Serve(const wxString& name, const std::string& bytes);
    // Puts a file and its bzip2 form "<name>.bz2" (made with the bzip2 tool).
    std::string ServeWithCompressed(const wxString& name, const std::string& bytes);

    // Replaces the faults file read at every new connection ("key=value" lines).
    void SetFaults(const std::vector<std::string>& faults);
    // Every byte received from clients so far (lines with their CR LF).
    std::string Received() const;
    // The received lines, without their line ends.
    std::vector<std::string> ReceivedLines() const;

    // Writes Gateway/gateway, Gateway/port, an account and short time-outs
    // into the user settings file, with a direct network connection.
    void Configure(const wxString& user = "skipper", const wxString& password = "s3cret",
                   int xferTimeout = 20) const;

    static wxString Program();

private:
    TempDir m_dir;
    wxString m_root;
    wxString m_log;
    wxString m_faults;
    std::unique_ptr<StandIn> m_standIn;
};

// Deterministic content of a given size.
std::string SampleBytes(size_t size, unsigned seed);

} // namespace tw::test
