// Starting without a display: the run command and the program itself say in
// one sentence what is needed, before anything is built and without the
// toolkit's own diagnostics.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <wx/filefn.h>

#include "platform/Launcher.h"
#include "support/TestSupport.h"

namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;   // standard output and error together
};

// Runs a shell command line and collects what it prints.
Outcome RunShell(const std::string& command)
{
    Outcome out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.output.append(buffer, n);
    const int status = pclose(pipe);
    out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string Quoted(const wxString& text)
{
    std::string s = "'";
    for (char c : std::string(text.utf8_str())) {
        if (c == '\'')
            s += "'\\''";
        else
            s += c;
    }
    return s + "'";
}

int Lines(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

} // namespace

TEST(RunCommand, WithoutADisplaySaysWhatToDoBeforeBuilding)
{
    tw::test::TempDir dir;
    const wxString build = dir / "build";
    const std::string script = Quoted(tw::test::SourceDir() + "/scripts/run");
    const struct {
        const char* name;
        std::string env;   // changes to the environment
    } cases[] = {
        {"no display at all", "env -u DISPLAY -u WAYLAND_DISPLAY"},
        {"empty display", "env -u WAYLAND_DISPLAY DISPLAY="},
        {"a display nobody serves", "env -u WAYLAND_DISPLAY DISPLAY=:9973"},
        {"a Wayland name without its socket", "env -u DISPLAY WAYLAND_DISPLAY=tw-none XDG_RUNTIME_DIR=" +
                                                  Quoted(dir.Path())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A display that is named but not served is found out with xdpyinfo
        // (which the set-up installs); without it the command would go on.
        if (c.env.find("DISPLAY=:") != std::string::npos && tw::FindExecutable("xdpyinfo").empty())
            continue;
        const Outcome out =
            RunShell(c.env + " TIDEWRIGHT_BUILD_DIR=" + Quoted(build) + " timeout 60 bash " + script);
        EXPECT_EQ(out.exitCode, 1) << out.output;
        EXPECT_EQ(Lines(out.output), 1) << out.output;
        EXPECT_NE(out.output.find("needs a display"), std::string::npos) << out.output;
        EXPECT_NE(out.output.find("xvfb-run scripts/run"), std::string::npos) << out.output;
        EXPECT_FALSE(wxDirExists(build)) << "nothing was built";
    }
}

TEST(RunCommand, ProgramWithoutADisplaySaysSoInOneLine)
{
    const wxString program = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/tidewright";
    if (!wxFileExists(program))
        GTEST_SKIP() << "the program is not built in " << TIDEWRIGHT_TEST_BINARY_DIR;
    tw::test::TempHome home;
    const Outcome out = RunShell("env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 " + Quoted(program));
    EXPECT_EQ(out.exitCode, 1) << out.output;
    EXPECT_EQ(out.output, "Tidewright needs a display: start it in a desktop session.\n");
}
