// gateway-samples: writes the gateway stand-in's sample files for every item
// of a catalogue database (see sample_files.h). The pictures are drawn with
// the toolkit, so it needs a display (Xvfb will do). The files are made by a
// few processes side by side, each with its own share.
//
// Usage: gateway-samples --db zir.db --out DIR [--max-kb N] [--jobs N]
//        (defaults: 64 KB, up to 4 processes)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "sample_files.h"

namespace {

void Usage()
{
    std::fprintf(stderr, "usage: gateway-samples --db zir.db --out DIR [--max-kb N] [--jobs N]\n");
}

// Starts the toolkit in this process and makes one share of the files.
bool MakeShare(const char* program, const std::vector<sim::SampleJob>& jobs, const std::string& out, size_t part,
               size_t parts)
{
    wxApp::SetInstance(new wxApp);   // a plain application object: the pictures need the toolkit's GUI
    int toolkitArgc = 1;
    char* toolkitArgv[] = {const_cast<char*>(program), nullptr};
    if (!wxEntryStart(toolkitArgc, toolkitArgv)) {
        std::fprintf(stderr, "gateway-samples: the toolkit could not start (is the display reachable?)\n");
        return false;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxGIFHandler);
    wxImage::AddHandler(new wxJPEGHandler);
    const bool ok = sim::WriteSamples(jobs, out, part, parts);
    wxEntryCleanup();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    std::string db, out;
    long maxKb = 64;
    long processes = std::clamp(sysconf(_SC_NPROCESSORS_ONLN), 1L, 4L);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--db")
            db = argv[++i];
        else if (i + 1 < argc && a == "--out")
            out = argv[++i];
        else if (i + 1 < argc && a == "--max-kb")
            maxKb = std::atol(argv[++i]);
        else if (i + 1 < argc && a == "--jobs")
            processes = std::atol(argv[++i]);
        else {
            Usage();
            return 2;
        }
    }
    if (db.empty() || out.empty() || maxKb <= 0 || processes <= 0) {
        Usage();
        return 2;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        std::fprintf(stderr, "gateway-samples draws its pictures with the toolkit and needs a display.\n");
        return 1;
    }
    wxDISABLE_DEBUG_SUPPORT();

    std::vector<sim::SampleJob> jobs;
    if (!sim::ReadSampleJobs(db, maxKb, jobs))
        return 1;
    const size_t parts = std::max<size_t>(1, std::min<size_t>(static_cast<size_t>(processes), jobs.size()));

    // Each share in a process of its own, forked before any toolkit starts.
    bool ok = true;
    std::vector<pid_t> children;
    std::fflush(nullptr);
    for (size_t part = 1; part < parts; ++part) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(MakeShare(argv[0], jobs, out, part, parts) ? 0 : 1);
        if (pid < 0) {
            std::perror("gateway-samples: fork");
            ok = false;
            break;
        }
        children.push_back(pid);
    }
    ok = MakeShare(argv[0], jobs, out, 0, ok ? parts : 1) && ok;
    for (pid_t pid : children) {
        int status = 0;
        ok = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
    }
    if (!ok)
        return 1;
    size_t files = 0;
    for (const sim::SampleJob& job : jobs)
        files += job.compressed ? 2 : 1;
    std::printf("gateway-samples: %zu sample files in %s\n", files, out.c_str());
    return 0;
}
