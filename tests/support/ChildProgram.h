// Starting a stand-in program (gateway, dialer service) for a test: the child
// runs with an argument vector, and its first output line (where the
// stand-ins say which port they listen on) is read back.
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

} // namespace tw::test
