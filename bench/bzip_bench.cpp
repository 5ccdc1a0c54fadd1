// CBZip against the bzip2 tool on the same input in the same run: a file of
// 100 MiB (uncompressed; pass another size in MiB as the first argument),
// compressed as two bzip2 streams one after the other, is decompressed by
// `bzip2 -dc` and by CBZip in paired samples (5, or the second argument; at
// least 3), the two taking turns at going first. Both write a new file in the
// same folder, which is deleted after the sample, and both times run until
// that file is closed. Every output must be byte-identical to the input;
// printed are each sample's times and ratio and the median ratio with its
// least and most. Goal: median ratio CBZip/bzip2 at most 1.1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/transfer/bzip.h"

namespace {

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ChildCpu()
{
    rusage ru {};
    getrusage(RUSAGE_CHILDREN, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double SelfCpu()
{
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

int Run(const std::string& cmd)
{
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// Weather-file-like content: runs of repeated records mixed with noise, so
// that bzip2 has real work in both directions.
bool MakeInput(const std::string& path, size_t bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::mt19937_64 rng(42);
    std::vector<char> block(1 << 16);
    size_t done = 0;
    while (done < bytes) {
        for (size_t i = 0; i < block.size();) {
            if (rng() % 4 == 0) {
                uint64_t r = rng();
                for (int k = 0; k < 8 && i < block.size(); ++k, ++i)
                    block[i] = static_cast<char>(r >> (8 * k));
            } else {
                int n = std::snprintf(block.data() + i, block.size() - i, "%05u %+08.3f ",
                                      static_cast<unsigned>(rng() % 500), (rng() % 20000) / 100.0);
                i += n > 0 ? static_cast<size_t>(std::min<int>(n, static_cast<int>(block.size() - i))) : 1;
            }
        }
        size_t n = std::min(block.size(), bytes - done);
        if (std::fwrite(block.data(), 1, n, f) != n) {
            std::fclose(f);
            return false;
        }
        done += n;
    }
    return std::fclose(f) == 0;
}

bool SameFiles(const std::string& a, const std::string& b)
{
    return Run("cmp -s '" + a + "' '" + b + "'") == 0;
}

} // namespace

int main(int argc, char** argv)
{
    size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const int samples = std::max(3, argc > 2 ? std::atoi(argv[2]) : 5);
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp ? tmp : "/tmp") + "/tidewright-bench-bzip";
    mkdir(dir.c_str(), 0777);
    std::string raw = dir + "/input-" + std::to_string(mib) + ".bin";
    std::string packed = raw + ".bz2";
    std::string byTool = dir + "/out-tool.bin";
    std::string byUs = dir + "/out-cbzip.bin";

    struct stat st {};
    if (stat(packed.c_str(), &st) != 0) {
        std::printf("making %zu MiB of input and compressing it as two streams (once)...\n", mib);
        std::fflush(stdout);
        if (!MakeInput(raw, mib << 20))
            return 1;
        // Two streams: the first half and the second half, concatenated.
        size_t half = (mib << 20) / 2;
        std::string cmd = "head -c " + std::to_string(half) + " '" + raw + "' | bzip2 -9 > '" + packed + "' && "
                          "tail -c +" + std::to_string(half + 1) + " '" + raw + "' | bzip2 -9 >> '" + packed + "'";
        if (Run(cmd) != 0)
            return 1;
    }

    // Warm the page cache so that neither side pays for the first read.
    Run("cat '" + packed + "' > /dev/null");

    auto byToolRun = [&](double& wall, double& cpu) {
        const double c0 = ChildCpu();
        const double t0 = Now();
        const bool ok = Run("bzip2 -dc '" + packed + "' > '" + byTool + "'") == 0;
        wall = Now() - t0;
        cpu = ChildCpu() - c0;
        return ok;
    };
    std::string ourError;
    auto byUsRun = [&](double& wall, double& cpu) {
        CBZip bz;
        const double c0 = SelfCpu();
        const double t0 = Now();
        const bool ok = bz.Decompress(packed.c_str(), byUs.c_str());
        wall = Now() - t0;
        cpu = SelfCpu() - c0;
        if (!ok)
            ourError = bz.LastError();
        return ok;
    };

    std::vector<double> ratios;
    bool same = true;
    std::printf("%7s %12s %10s %12s %10s %7s\n", "sample", "bzip2 -dc s", "CPU s", "CBZip s", "CPU s", "ratio");
    for (int i = 0; i < samples; ++i) {
        double toolTime = 0, toolCpu = 0, ourTime = 0, ourCpu = 0;
        const bool toolFirst = i % 2 == 0;
        bool ok = toolFirst ? byToolRun(toolTime, toolCpu) && byUsRun(ourTime, ourCpu)
                            : byUsRun(ourTime, ourCpu) && byToolRun(toolTime, toolCpu);
        if (!ok) {
            std::printf("decompression failed: %s\n", ourError.empty() ? "bzip2 -dc" : ourError.c_str());
            return 1;
        }
        same = same && SameFiles(byTool, byUs) && SameFiles(raw, byUs);
        unlink(byTool.c_str());
        unlink(byUs.c_str());
        ratios.push_back(ourTime / toolTime);
        std::printf("%7d %12.2f %10.2f %12.2f %10.2f %7.3f%s\n", i + 1, toolTime, toolCpu, ourTime, ourCpu,
                    ourTime / toolTime, toolFirst ? "" : "  (CBZip first)");
    }
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios.size() % 2 ? ratios[ratios.size() / 2]
                                            : (ratios[ratios.size() / 2 - 1] + ratios[ratios.size() / 2]) / 2;
    std::printf("ratio CBZip/bzip2: median %.3f, min %.3f, max %.3f over %d samples (goal: median <= 1.1), "
                "output %s\n",
                median, ratios.front(), ratios.back(), samples, same ? "byte-identical" : "DIFFERS");
    return same ? 0 : 1;
}
