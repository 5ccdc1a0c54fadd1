// Peak resident size of a process that receives one file through the
// transfer worker: 1 MiB against 1 GiB (each in its own child process, so
// that each peak is its own). Target: they differ by a few MiB at most.
// Argument: the large size in MiB (default 1024).
#include "GatewayBench.h"

namespace {

long ReceiveInChild(int port, const std::string& dl, const std::string& name, long long size)
{
    pid_t pid = fork();
    if (pid == 0) {
        CFileList list;
        list.Add(wxString::FromUTF8(name), wxString::FromUTF8(dl + "/tmp/" + name), wxString::FromUTF8(dl + "/" + name),
                 wxString::FromUTF8(name), "", "1", false, 0, 0, 0);
        bench::Observer observer;
        bench::RunWorker(list, observer);
        struct stat st {};
        bool ok = observer.success && ::stat((dl + "/" + name).c_str(), &st) == 0 && st.st_size == size;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    rusage ru {};
    wait4(pid, &status, 0, &ru);
    (void)port;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return ru.ru_maxrss;   // KiB
}

} // namespace

int main(int argc, char** argv)
{
    long long bigMib = argc > 1 ? std::atoll(argv[1]) : 1024;
    bench::Environment env(argc, argv);
    std::string work = bench::MakeDir("tw-bench-memory-");
    std::string root = work + "/root";
    std::string dl = work + "/dl";
    ::mkdir(root.c_str(), 0777);
    ::mkdir(dl.c_str(), 0777);
    ::mkdir((dl + "/tmp").c_str(), 0777);
    if (!bench::MakeFile(root + "/small.grb", 1 << 20) || !bench::MakeFile(root + "/big.grb", bigMib << 20))
        return 1;
    bench::Sim sim(root);
    if (!sim.Port())
        return 1;
    env.Configure(sim.Port());

    long small = ReceiveInChild(sim.Port(), dl, "small.grb", 1 << 20);
    ::unlink((dl + "/small.grb").c_str());
    long big = ReceiveInChild(sim.Port(), dl, "big.grb", bigMib << 20);
    ::unlink((dl + "/big.grb").c_str());
    if (small < 0 || big < 0) {
        std::printf("transfer failed\n");
        return 1;
    }
    std::printf("peak RSS receiving 1 MiB: %.1f MiB\n", small / 1024.0);
    std::printf("peak RSS receiving %lld MiB: %.1f MiB\n", bigMib, big / 1024.0);
    std::printf("difference: %.2f MiB (target: a few MiB at most)\n", (big - small) / 1024.0);
    bench::RemoveTree(work);
    return 0;
}
