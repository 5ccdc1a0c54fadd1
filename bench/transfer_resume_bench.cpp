// Resuming after a cut connection: five files (four plain, one that the
// server sends compressed as "<name>.bz2") are requested; the gateway
// stand-in cuts the connection after a random number of file bytes; a second
// transfer of the same list, answering Yes to the resume question, completes
// them. Over N runs (100, or the first argument; the random offsets come from
// a fixed seed, or the second argument) it prints the bytes the server sent
// again that the partial files already held (goal 0), split by plain and
// compressed entries, and how many placed files are byte-identical to their
// sources (goal: all).
#include <random>
#include <sstream>

#include "GatewayBench.h"

namespace {

struct Served {
    std::string name;          // requested name
    std::string sentName;      // the name the server answers with
    bool compressed = false;
    std::string bytes;         // the placed file's content
    long long sentSize = 0;    // bytes the server sends for a whole file
};

// Answers the resume question with Yes.
class ResumeObserver : public bench::Observer
{
public:
    int TransferMessageBox(const wxString&, const wxString&, int) override
    {
        ++questions;
        return wxYES;
    }
    int questions = 0;
};

std::string ReadAll(const std::string& path)
{
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, n);
    std::fclose(f);
    return out;
}

long long SizeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 20240611u;
    bench::Environment env(argc, argv);
    const std::string work = bench::MakeDir("tw-bench-resume-");
    const std::string root = work + "/root";
    const std::string faults = work + "/faults";
    const std::string requests = work + "/requests.log";
    ::mkdir(root.c_str(), 0777);

    std::vector<Served> files;
    const long long sizes[] = {300000, 700000, 900000, 500000, 200000};
    for (int i = 0; i < 5; ++i) {
        Served s;
        s.name = std::string(1, static_cast<char>('a' + i)) + ".grb";
        s.compressed = i == 2;
        const std::string path = root + "/" + s.name;
        if (!bench::MakeFile(path, static_cast<size_t>(sizes[i])))
            return 1;
        s.bytes = ReadAll(path);
        if (s.compressed && std::system(("bzip2 -k -f '" + path + "'").c_str()) != 0)
            return 1;
        s.sentName = s.compressed ? s.name + ".bz2" : s.name;
        s.sentSize = SizeOf(root + "/" + s.sentName);
        files.push_back(s);
    }
    long long whole = 0;
    for (const Served& s : files)
        whole += s.sentSize;
    if (!WriteText(faults, ""))
        return 1;
    bench::Sim sim(root, {"--faults", faults, "--log", requests});
    if (!sim.Port())
        return 1;
    bench::Environment::Configure(sim.Port());

    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<long long> cutAt(1, whole - 1);
    long long resentPlain = 0, resentCompressed = 0, cutBytes = 0;
    int identical = 0, placed = 0, resumedRuns = 0, questionRuns = 0;
    for (int run = 0; run < runs; ++run) {
        const std::string dl = work + "/dl" + std::to_string(run);
        ::mkdir(dl.c_str(), 0777);
        ::mkdir((dl + "/tmp").c_str(), 0777);
        auto makeList = [&](CFileList& list) {
            for (const Served& s : files) {
                const wxString name = wxString::FromUTF8(s.name);
                list.Add(name, wxString::FromUTF8(dl) + "/tmp/" + name, wxString::FromUTF8(dl) + "/" + name, name,
                         s.compressed ? "bz" : "", "1", false, 0, 0, 0);
            }
        };
        const long long cut = cutAt(rng);
        cutBytes += cut;
        WriteText(faults, "cut-after=" + std::to_string(cut) + "\n");
        {
            CFileList first;
            makeList(first);
            bench::Observer observer;
            bench::RunWorker(first, observer, false);
        }
        // What the partial files hold: the valid prefix of each file the
        // server answers with.
        std::vector<long long> partial;
        for (const Served& s : files)
            partial.push_back(std::min(SizeOf(dl + "/tmp/" + s.sentName), s.sentSize));

        WriteText(faults, "");
        CFileList second;
        makeList(second);
        ResumeObserver observer;
        bench::RunWorker(second, observer, false);
        if (observer.questions > 0)
            ++questionRuns;
        if (!observer.success) {
            std::printf("run %d: the resumed transfer failed: %s\n", run + 1,
                        static_cast<const char*>(observer.done.utf8_str()));
        } else {
            ++resumedRuns;
        }
        // The server sends each entry from the offset asked for (at most its
        // size): what the partial file held beyond that offset is sent again.
        std::vector<std::string> gets;
        {
            std::istringstream log(ReadAll(requests));
            std::string line;
            while (std::getline(log, line))
                if (line.rfind("get ", 0) == 0)
                    gets.push_back(line);
        }
        if (gets.size() < files.size()) {
            std::printf("run %d: the request lines are missing\n", run + 1);
            return 1;
        }
        for (size_t i = 0; i < files.size(); ++i) {
            std::istringstream words(gets[gets.size() - files.size() + i]);
            std::string get, name;
            long long offset = 0;
            words >> get >> name >> offset;
            const long long start = std::min(offset, files[i].sentSize);
            const long long resent = std::max(0LL, partial[i] - start);
            (files[i].compressed ? resentCompressed : resentPlain) += resent;
        }
        for (const Served& s : files) {
            ++placed;
            if (ReadAll(dl + "/" + s.name) == s.bytes)
                ++identical;
        }
        bench::RemoveTree(dl);
    }

    std::printf("%d runs, 5 files of %lld bytes sent in all (one compressed), cut at random offsets (seed %u, "
                "mean cut %lld bytes)\n",
                runs, whole, seed, runs ? cutBytes / runs : 0);
    std::printf("resumed transfers that succeeded: %d of %d; the resume question asked in %d\n", resumedRuns, runs,
                questionRuns);
    std::printf("bytes sent again that the partial files held: %lld (plain entries %lld, compressed entry %lld) "
                "(goal: 0)\n",
                resentPlain + resentCompressed, resentPlain, resentCompressed);
    std::printf("placed files byte-identical to their sources: %d of %d (goal: all)\n", identical, placed);
    bench::RemoveTree(work);
    return 0;
}
