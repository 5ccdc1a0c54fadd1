// Per-file cost: 1,000 files of 1 KB in one request, through the transfer
// worker, with an observer that pauses 10 ms after every progress report as
// the transfer window does. The worker folds reports that come closer than
// 10 ms together, so the pause bounds reports to about 100 a second without
// costing 10 ms per file. Argument: the number of files (default 1000).
#include "GatewayBench.h"

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    bench::Environment env(argc, argv);
    std::string work = bench::MakeDir("tw-bench-files-");
    std::string root = work + "/root";
    std::string dl = work + "/dl";
    ::mkdir(root.c_str(), 0777);
    ::mkdir(dl.c_str(), 0777);
    ::mkdir((dl + "/tmp").c_str(), 0777);
    for (int i = 0; i < count; ++i)
        if (!bench::MakeFile(root + "/f" + std::to_string(i) + ".txt", 1024))
            return 1;
    bench::Sim sim(root);
    if (!sim.Port())
        return 1;
    env.Configure(sim.Port());

    CFileList list;
    for (int i = 0; i < count; ++i) {
        wxString name = wxString::Format("f%d.txt", i);
        list.Add(name, wxString::FromUTF8(dl) + "/tmp/" + name, wxString::FromUTF8(dl) + "/" + name, name, "", "1",
                 false, 0, 0, 0);
    }
    bench::Observer observer(10);
    double t0 = bench::Now();
    double c0 = bench::CpuSeconds();
    bench::RunWorker(list, observer);
    double total = bench::Now() - t0;
    double cpu = bench::CpuSeconds() - c0;
    if (!observer.success || observer.files != count) {
        std::printf("transfer failed\n");
        return 1;
    }
    double data = observer.dataEnd - observer.dataStart;
    std::printf("%d files of 1 KB: whole transfer %.3f s (CPU %.2f s), data phase %.3f s\n", count, total, cpu, data);
    std::printf("per file: %.3f ms (a 10 ms pause per file would be %.0f ms)\n", data * 1000 / count, 10.0);
    std::printf("progress reports: %d, %.0f per second of data phase (bound: about 100)\n",
                observer.progressReports.load(), observer.progressReports / std::max(data, 1e-9));
    bench::RemoveTree(work);
    return 0;
}
