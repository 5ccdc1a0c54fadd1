#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>

#include "platform/Help.h"
#include "platform/Launcher.h"
#include "platform/Restart.h"
#include "support/TestSupport.h"
#include "support/EnvGuard.h"

using namespace tw::test;

namespace {

// A stand-in program that writes its working folder, its argument count and
// its arguments (one per line) into `out`, in one rename so that a reader
// never sees half of it.
void MakeArgvRecorder(const wxString& program, const wxString& out)
{
    wxFileName::Mkdir(wxFileName(program).GetPath(), 0755, wxPATH_MKDIR_FULL);
    const std::string script =
        "#!/bin/sh\n"
        "out='" + std::string(out.utf8_str()) + "'\n"
        "{ pwd -P; echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\" && "
        "/bin/mv \"$out.part\" \"$out\"\n";
    ASSERT_TRUE(WriteFile(program, script));
    chmod(program.fn_str(), 0755);
}

struct Recorded {
    wxString workingDir;
    std::vector<wxString> args;
};

bool WaitForRecord(const wxString& out, Recorded& record, int timeoutMs = 10000)
{
    if (!WaitFor([&] { return wxFileExists(out); }, timeoutMs))
        return false;
    const wxString text = wxString::FromUTF8(ReadFile(out));
    std::vector<wxString> lines;
    wxStringTokenizer tokens(text, "\n", wxTOKEN_RET_EMPTY_ALL);
    while (tokens.HasMoreTokens())
        lines.push_back(tokens.GetNextToken());
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();   // after the final newline
    if (lines.size() < 2)
        return false;
    record.workingDir = lines[0];
    long count = -1;
    lines[1].ToLong(&count);
    record.args.assign(lines.begin() + 2, lines.end());
    return count == static_cast<long>(record.args.size());
}

// Texts that a shell would take apart; a file name from the server may hold any of them.
const std::vector<wxString> kAwkwardArguments = {
    "/data/Weather Files/My Batch/gfs wind.grb",
    "say \"hello\".txt",
    "it's.txt",
    "$HOME;touch pwned",
    "`touch pwned`",
    "$(touch pwned)",
    "*",
    "a|b&c>d",
    "",
    "--help",
    "Wetterkarte Übersicht.png",
};

class RecordingLauncher
{
public:
    RecordingLauncher()
        : m_scope([this](const tw::LaunchRequest& r) {
              requests.push_back(r);
              return result;
          })
    {
    }
    std::vector<tw::LaunchRequest> requests;
    long result = 4242;

private:
    tw::ScopedLauncher m_scope;
};

} // namespace

TEST(Launcher, ArgumentsReachTheProgramUntouched)
{
    TempDir dir;
    const wxString program = dir / "viewer programs/Fake \"Viewer\" it's";
    const wxString out = dir / "argv.txt";
    MakeArgvRecorder(program, out);
    const wxString workingDir = dir / "work dir";
    wxFileName::Mkdir(workingDir, 0755);

    std::vector<wxString> argv = {program};
    argv.insert(argv.end(), kAwkwardArguments.begin(), kAwkwardArguments.end());
    EXPECT_GT(tw::Launch(argv, workingDir), 0);

    Recorded record;
    ASSERT_TRUE(WaitForRecord(out, record));
    EXPECT_EQ(record.args, kAwkwardArguments);
    EXPECT_EQ(record.workingDir, workingDir);
    EXPECT_FALSE(wxFileExists(workingDir + "/pwned"));
    EXPECT_FALSE(wxFileExists(dir / "pwned"));
}

TEST(Launcher, ProgramIsLookedUpInPathAndApplicationFolders)
{
    TempDir dir;
    EnvGuard env;
    env.Set("PATH", dir / "bin");

    MakeArgvRecorder(dir / "bin/tw-fake-viewer", dir / "path.txt");
    EXPECT_GT(tw::Launch({"tw-fake-viewer", "one file"}), 0);
    Recorded record;
    ASSERT_TRUE(WaitForRecord(dir / "path.txt", record));
    EXPECT_EQ(record.args, std::vector<wxString>{"one file"});

    // An application folder as the program runs the program inside it.
    MakeArgvRecorder(dir / "apps/Chartloom/chartloom", dir / "bundle.txt");
    EXPECT_GT(tw::Launch({dir / "apps/Chartloom", "/tmp/chart one.png"}), 0);
    ASSERT_TRUE(WaitForRecord(dir / "bundle.txt", record));
    EXPECT_EQ(record.args, std::vector<wxString>{"/tmp/chart one.png"});
}

TEST(Launcher, ReportsWhatCannotBeStarted)
{
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir / "not-executable", "#!/bin/sh\n"));
    chmod((dir / "not-executable").fn_str(), 0644);
    MakeArgvRecorder(dir / "fine", dir / "never.txt");
    wxFileName::Mkdir(dir / "Empty App", 0755);

    const struct {
        const char* what;
        std::vector<wxString> argv;
        wxString workingDir;
    } cases[] = {
        {"nothing to start", {}, ""},
        {"empty program", {""}, ""},
        {"missing program", {dir / "nowhere", "x"}, ""},
        {"missing from PATH", {"tw-no-such-program-anywhere"}, ""},
        {"not executable", {dir / "not-executable"}, ""},
        {"application folder without its program", {dir / "Empty App"}, ""},
        {"missing working folder", {dir / "fine"}, dir / "no such folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tw::Launch(c.argv, c.workingDir), 0);
    }
    Pump(100);
    EXPECT_FALSE(wxFileExists(dir / "never.txt"));
}

TEST(Launcher, RecordingLauncherSeesRequestsAndIsRemovedAfterwards)
{
    TempDir dir;
    {
        RecordingLauncher recorder;
        EXPECT_EQ(tw::Launch({"/opt/tidewright-apps/Isobarion/isobarion", "a b.grb"}, "/srv/Resources"), 4242);
        ASSERT_EQ(recorder.requests.size(), 1u);
        EXPECT_EQ(recorder.requests[0].argv,
                  (std::vector<wxString>{"/opt/tidewright-apps/Isobarion/isobarion", "a b.grb"}));
        EXPECT_EQ(recorder.requests[0].workingDir, "/srv/Resources");
        EXPECT_FALSE(recorder.requests[0].detached);
    }
    // The real launcher is back: a missing program is reported, not recorded.
    EXPECT_EQ(tw::Launch({dir / "nowhere"}), 0);
}

TEST(Launcher, DefaultOpenerGetsAnAbsolutePath)
{
    RecordingLauncher recorder;
    const wxString cwd = wxGetCwd();
    const struct {
        wxString path;
        wxString expected;
    } cases[] = {
        {"/data/Weather Files/b.jpg", "/data/Weather Files/b.jpg"},
        {"-rf x.png", cwd + "/-rf x.png"},   // never read as an option
        {"rel/it's.txt", cwd + "/rel/it's.txt"},
    };
    for (const auto& c : cases) {
        recorder.requests.clear();
        EXPECT_EQ(tw::OpenWithDefault(c.path), 4242);
        ASSERT_EQ(recorder.requests.size(), 1u);
        EXPECT_EQ(recorder.requests[0].argv, (std::vector<wxString>{"xdg-open", c.expected}));
    }
    recorder.requests.clear();
    EXPECT_EQ(tw::OpenWithDefault(""), 0);
    EXPECT_TRUE(recorder.requests.empty());
}

TEST(Help, OpensIndexPageOfResourcesWhenPresent)
{
    TempDir resources;
    EnvGuard env;
    env.Set("TIDEWRIGHT_RESOURCES", resources.Path());
    RecordingLauncher recorder;

    EXPECT_FALSE(tw::ShowHelp());
    EXPECT_TRUE(recorder.requests.empty());

    wxFileName::Mkdir(resources / "help", 0755);
    ASSERT_TRUE(WriteFile(resources / "help/index.html", "<html></html>"));
    EXPECT_TRUE(tw::ShowHelp());
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_EQ(recorder.requests[0].argv, (std::vector<wxString>{"xdg-open", resources / "help/index.html"}));

    recorder.result = 0;   // the browser could not be started
    EXPECT_FALSE(tw::ShowHelp());
}

TEST(Restart, HelperGetsExecutableAsArgumentNotAsScript)
{
    RecordingLauncher recorder;
    const wxString exe = "/opt/my \"odd\" it's/tidewright";
    EXPECT_EQ(tw::ScheduleRestart(exe, 777), 4242);
    ASSERT_EQ(recorder.requests.size(), 1u);
    const tw::LaunchRequest& r = recorder.requests[0];
    ASSERT_EQ(r.argv.size(), 5u);
    EXPECT_EQ(r.argv[0], "/bin/sh");
    EXPECT_EQ(r.argv[1], "-c");
    EXPECT_FALSE(r.argv[2].Contains("tidewright"));
    EXPECT_EQ(r.argv[3], exe);
    EXPECT_EQ(r.argv[4], "777");
    EXPECT_TRUE(r.detached);

    recorder.requests.clear();
    tw::ScheduleRestart();
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_EQ(recorder.requests[0].argv[3], tw::CurrentExecutable());
    EXPECT_EQ(recorder.requests[0].argv[4], wxString::Format("%ld", static_cast<long>(getpid())));
}

TEST(Restart, ProgramStartsOnlyAfterTheOldProcessHasEnded)
{
    TempDir dir;
    const wxString program = dir / "new \"instance\" it's";
    const wxString out = dir / "started.txt";
    MakeArgvRecorder(program, out);

    // Stands for the exiting program.
    const pid_t exiting = fork();
    ASSERT_GE(exiting, 0);
    if (exiting == 0) {
        pause();
        _exit(0);
    }
    EXPECT_GT(tw::ScheduleRestart(program, exiting), 0);
    Pump(600);
    EXPECT_FALSE(wxFileExists(out)) << "started while the old process still ran";

    kill(exiting, SIGKILL);
    waitpid(exiting, nullptr, 0);
    Recorded record;
    ASSERT_TRUE(WaitForRecord(out, record));
    EXPECT_TRUE(record.args.empty());
}
