// Runs the dialer-service stand-in (tools/dialer-sim) as a child process on a
// free loopback port for the lifetime of the object, and reads back the
// request lines it received.
#pragma once

#include <string>
#include <vector>

#include <wx/string.h>

#include "support/ChildProgram.h"
#include "support/EnvGuard.h"
#include "support/TestSupport.h"

class CRegistry;

namespace tw::test {

class DialerSim
{
public:
    // `options` are the stand-in's own (see tools/dialer-sim/main.cpp), e.g.
    // {"--reply", "login=denied"}. The port is always chosen by the system.
    explicit DialerSim(const std::vector<std::string>& options = {});
    ~DialerSim();
    DialerSim(const DialerSim&) = delete;
    DialerSim& operator=(const DialerSim&) = delete;

    bool Running() const { return m_standIn.Running(); }
    int Port() const { return m_standIn.Port(); }
    void Stop() { m_standIn.Stop(); }

    // Every line received so far, plus "<connect>", "<close>" and "<drop>"
    // markers for the connections.
    std::vector<std::string> Requests() const;
    int Count(const std::string& line) const;
    // Pumps the event loop until `line` has been received `times` times.
    bool WaitForRequest(const std::string& line, int times = 1, int timeoutMs = 5000) const;

    // Points the dialer-service settings of `settings` at this stand-in.
    void Configure(CRegistry& settings) const;

    // The path of the stand-in program.
    static wxString Program();

private:
    TempDir m_dir;
    wxString m_log;
    StandIn m_standIn;
};

} // namespace tw::test
