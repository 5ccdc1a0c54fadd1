// Starting a stand-in program (gateway, dialer service) for a test or a
// benchmark: the child runs with an argument vector, and its first output
// line (where the stand-ins say which port they listen on) is read back.
// Plain C++ and POSIX, so the benchmarks use it as the tests do.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tw::test {

struct ChildProgram {
    pid_t pid = -1;
    int stdinFd = -1;       // the child's standard input, when kept open
    std::string firstLine;  // without the line end; empty when none came in time
};

// Starts args[0] with args; with keepStdin the child's standard input is a
// pipe whose writing end is returned (closing it tells the child to end).
ChildProgram StartChildProgram(const std::vector<std::string>& args, bool keepStdin, int timeoutMs);

// Ends the child (SIGTERM) and reaps it; closes its input first when open.
void StopChildProgram(ChildProgram& child);

// A stand-in listening on a loopback port the system chose; ended (and its
// input closed) when the object goes.
class StandIn
{
public:
    // Starts `args` (args[0] the program) and reads the port from the first
    // line, "PORT <n>" (the gateway) or "<n>" (the dialer service); with
    // keepStdin the stand-in ends when its input closes.
    StandIn(const std::vector<std::string>& args, bool keepStdin, int timeoutMs = 10000);
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    bool Running() const { return m_child.pid > 0 && m_port > 0; }
    int Port() const { return m_port; }
    void Stop();

private:
    ChildProgram m_child;
    int m_port = 0;
};

// The path of a built stand-in: "gateway-sim" or "dialer-sim".
std::string StandInProgram(const std::string& name);

// A loopback port on which nothing listens.
int FreeLoopbackPort();

} // namespace tw::test
