// Receiving one large file from the gateway stand-in over loopback: the
// transfer worker (256-byte chunks, receive passes, placement) against a
// plain recv()/write() loop on the same server, side by side in one run.
// Both times are of the data phase alone, the best of three rounds each.
// Target: the worker at 0.8 or more of the plain loop's rate. Argument: the
// size in MiB (default 256).
#include "GatewayBench.h"

int main(int argc, char** argv)
{
    long long mib = argc > 1 ? std::atoll(argv[1]) : 256;
    const long long size = mib << 20;
    bench::Environment env(argc, argv);
    std::string work = bench::MakeDir("tw-bench-throughput-");
    std::string root = work + "/root";
    std::string dl = work + "/dl";
    ::mkdir(root.c_str(), 0777);
    ::mkdir(dl.c_str(), 0777);
    ::mkdir((dl + "/tmp").c_str(), 0777);
    if (!bench::MakeFile(root + "/big.grb", static_cast<size_t>(size)))
        return 1;
    bench::Sim sim(root);
    if (!sim.Port())
        return 1;
    env.Configure(sim.Port());

    double bestPlain = 1e9, bestWorker = 1e9, plainCpu = 0, workerCpu = 0;
    for (int round = 0; round < 3; ++round) {
        // Each side starts with no dirty pages waiting to be written back.
        ::sync();
        double c0 = bench::CpuSeconds();
        double plain = bench::PlainReceive(sim.Port(), "big.grb", size, dl + "/plain.out");
        double c1 = bench::CpuSeconds();
        if (plain < 0)
            return 1;
        if (plain < bestPlain) {
            bestPlain = plain;
            plainCpu = c1 - c0;
        }
        ::unlink((dl + "/plain.out").c_str());

        CFileList list;
        list.Add("big.grb", wxString::FromUTF8(dl + "/tmp/big.grb"), wxString::FromUTF8(dl + "/big.grb"), "big.grb",
                 "", "1", false, 0, 0, 0);
        bench::Observer observer;
        ::sync();
        double c2 = bench::CpuSeconds();
        bench::RunWorker(list, observer);
        double c3 = bench::CpuSeconds();
        if (!observer.success) {
            std::printf("worker failed: %s\n", static_cast<const char*>(observer.done.utf8_str()));
            return 1;
        }
        struct stat st {};
        if (::stat((dl + "/big.grb").c_str(), &st) != 0 || st.st_size != size) {
            std::printf("worker placed a wrong file\n");
            return 1;
        }
        double worker = observer.dataEnd - observer.dataStart;
        if (worker < bestWorker) {
            bestWorker = worker;
            workerCpu = c3 - c2;
        }
        ::unlink((dl + "/big.grb").c_str());
    }
    double mb = static_cast<double>(size) / (1 << 20);
    std::printf("file: %lld MiB over loopback\n", mib);
    std::printf("plain loop: %.3f s, %.0f MiB/s, CPU %.2f s\n", bestPlain, mb / bestPlain, plainCpu);
    std::printf("worker:     %.3f s, %.0f MiB/s, CPU %.2f s (CPU of the whole transfer, placement included)\n",
                bestWorker, mb / bestWorker, workerCpu);
    std::printf("ratio worker/plain rate = %.2f (target >= 0.8)\n", bestPlain / bestWorker);
    bench::RemoveTree(work);
    return 0;
}
