// Receiving one large file from the gateway stand-in over loopback: the
// transfer worker (receive passes, progress, placement) against a plain
// recv()/write() loop with the worker's own buffer sizes (256 KiB reads,
// 1 MiB writes) on the same server. The two run in paired rounds, taking
// turns at going first; each round gives the ratio of the worker's rate to
// the plain loop's. Printed: the median ratio with its least and most, the
// median times and CPU of both sides, and the slow rounds of each side (a
// time above 1.5 times that side's median). Goal: median ratio >= 0.95 and no
// slow worker rounds. Arguments: the size in MiB (default 512) and the
// number of rounds (default 20).
//
// Slow rounds: a third side, a bare loop that writes the same number of bytes
// into a new file in 1 MiB writes (no network at all), runs in every round
// too. On a virtual machine that hands freed memory back to its host (free
// page reporting) and is shared with other work, the first writes into the
// page-cache pages of a new file sometimes cost several times their usual
// CPU time, in the kernel's copy into the page cache; the bare loop shows
// how often that happens on the machine, independently of both receivers.
#include "GatewayBench.h"

namespace {

struct Side {
    std::vector<double> seconds;
    std::vector<double> cpu;
};

int SlowRounds(const std::vector<double>& seconds)
{
    const double median = bench::SpreadOf(seconds).median;
    int slow = 0;
    for (double s : seconds)
        if (s > 1.5 * median)
            ++slow;
    return slow;
}

} // namespace

int main(int argc, char** argv)
{
    const long long mib = argc > 1 ? std::atoll(argv[1]) : 512;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
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

    // Each side starts with no dirty pages waiting to be written back.
    auto prepare = [] { ::sync(); };
    auto bareRound = [&](Side& side) {
        prepare();
        const double c0 = bench::CpuSeconds();
        const double t = bench::BareWrite(dl + "/bare.out", size);
        side.cpu.push_back(bench::CpuSeconds() - c0);
        ::unlink((dl + "/bare.out").c_str());
        if (t < 0)
            return false;
        side.seconds.push_back(t);
        return true;
    };
    auto plainRound = [&](Side& side) {
        prepare();
        const double c0 = bench::CpuSeconds();
        const double t = bench::PlainReceive(sim.Port(), "big.grb", size, dl + "/plain.out");
        side.cpu.push_back(bench::CpuSeconds() - c0);
        ::unlink((dl + "/plain.out").c_str());
        if (t < 0)
            return false;
        side.seconds.push_back(t);
        return true;
    };
    auto workerRound = [&](Side& side) {
        CFileList list;
        list.Add("big.grb", wxString::FromUTF8(dl + "/tmp/big.grb"), wxString::FromUTF8(dl + "/big.grb"), "big.grb",
                 "", "1", false, 0, 0, 0);
        bench::Observer observer;
        prepare();
        const double c0 = bench::CpuSeconds();
        bench::RunWorker(list, observer);
        side.cpu.push_back(bench::CpuSeconds() - c0);
        struct stat st {};
        const bool placed = ::stat((dl + "/big.grb").c_str(), &st) == 0 && st.st_size == size;
        ::unlink((dl + "/big.grb").c_str());
        if (!observer.success || !placed) {
            std::printf("worker failed: %s\n", static_cast<const char*>(observer.done.utf8_str()));
            return false;
        }
        side.seconds.push_back(observer.dataEnd - observer.dataStart);
        return true;
    };

    Side plain, worker, bare;
    std::vector<double> ratios;
    std::printf("file: %lld MiB over loopback, %d paired rounds\n", mib, rounds);
    std::printf("%5s %10s %8s %10s %8s %7s %10s %8s\n", "round", "plain s", "CPU s", "worker s", "CPU s", "ratio",
                "bare s", "CPU s");
    for (int round = 0; round < rounds; ++round) {
        const bool plainFirst = round % 2 == 0;
        bool ok = plainFirst ? plainRound(plain) && workerRound(worker) : workerRound(worker) && plainRound(plain);
        if (!ok || !bareRound(bare))
            return 1;
        const double p = plain.seconds.back(), w = worker.seconds.back();
        ratios.push_back(p / w);
        std::printf("%5d %10.3f %8.3f %10.3f %8.3f %7.2f %10.3f %8.3f\n", round + 1, p, plain.cpu.back(), w,
                    worker.cpu.back(), p / w, bare.seconds.back(), bare.cpu.back());
    }

    const double mb = static_cast<double>(size) / (1 << 20);
    const bench::Spread r = bench::SpreadOf(ratios);
    const bench::Spread ps = bench::SpreadOf(plain.seconds), ws = bench::SpreadOf(worker.seconds);
    const bench::Spread pc = bench::SpreadOf(plain.cpu), wc = bench::SpreadOf(worker.cpu);
    std::printf("plain loop: median %.3f s (%.0f MiB/s), CPU %.2f s, slow rounds %d of %d\n", ps.median,
                mb / ps.median, pc.median, SlowRounds(plain.seconds), rounds);
    std::printf("worker:     median %.3f s (%.0f MiB/s), CPU %.2f s, slow rounds %d of %d\n", ws.median,
                mb / ws.median, wc.median, SlowRounds(worker.seconds), rounds);
    std::printf("bare write: median %.3f s, CPU %.2f s, slow rounds %d of %d (the machine's own)\n",
                bench::SpreadOf(bare.seconds).median, bench::SpreadOf(bare.cpu).median, SlowRounds(bare.seconds),
                rounds);
    std::printf("ratio worker/plain rate: median %.2f, min %.2f, max %.2f (goal: median >= 0.95, no slow worker "
                "rounds)\n",
                r.median, r.min, r.max);
    bench::RemoveTree(work);
    return 0;
}
