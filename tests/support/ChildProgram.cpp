#include "support/ChildProgram.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tw::test {

ChildProgram StartChildProgram(const std::vector<std::string>& args, bool keepStdin, int timeoutMs)
{
    ChildProgram child;
    int out[2];
    int in[2] = {-1, -1};
    if (args.empty() || pipe2(out, O_CLOEXEC) != 0)
        return child;
    if (keepStdin && pipe2(in, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return child;
    }
    std::vector<std::string> owned(args);
    std::vector<char*> argv;
    for (std::string& a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    child.pid = fork();
    if (child.pid == 0) {
        if (keepStdin)
            dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    if (keepStdin) {
        close(in[0]);
        child.stdinFd = in[1];
    }
    if (child.pid < 0) {
        close(out[0]);
        return child;
    }
    // A signal (a child of the test program ending) interrupts the wait
    // without ending it: the wait goes on until the line or the deadline.
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd pfd{out[0], POLLIN, 0};
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline
                                                                                - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const int rc = poll(&pfd, 1, static_cast<int>(left.count()));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc <= 0)
            break;
        char buffer[64];
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    child.firstLine = text.substr(0, text.find('\n'));
    return child;
}

void StopChildProgram(ChildProgram& child)
{
    if (child.stdinFd >= 0) {
        close(child.stdinFd);
        child.stdinFd = -1;
    }
    if (child.pid > 0) {
        kill(child.pid, SIGTERM);
        int status = 0;
        waitpid(child.pid, &status, 0);
        child.pid = -1;
    }
}

StandIn::StandIn(const std::vector<std::string>& args, bool keepStdin, int timeoutMs)
    : m_child(StartChildProgram(args, keepStdin, timeoutMs))
{
    const std::string& line = m_child.firstLine;
    m_port = std::atoi(line.c_str() + (line.rfind("PORT ", 0) == 0 ? 5 : 0));
}

StandIn::~StandIn()
{
    Stop();
}

void StandIn::Stop()
{
    StopChildProgram(m_child);
}

std::string StandInProgram(const std::string& name)
{
    return std::string(TIDEWRIGHT_BINARY_DIR) + "/tools/" + name + "/" + name;
}

int FreeLoopbackPort()
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}

} // namespace tw::test
