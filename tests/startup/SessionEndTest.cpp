// The end of a session the program did not choose: the first run is over as
// soon as it has been handled, so a later start never resets the profile,
// and SIGTERM, SIGHUP or SIGINT close the program as its close box does.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/filefn.h>

#include "platform/Launcher.h"
#include "platform/Locations.h"
#include "startup/StartupFixtures.h"
#include "windows/portal/loadwindow.h"
#include "windows/wizard/ContentWizardLauncher.h"

using namespace startup_test;

namespace {

// What a user set up in a first session.
const struct {
    const char* key;
    const char* value;
} kChosen[] = {
    {"GRIB/Wind", "1"},
    {"HomeLocation/ManualLat", "50.2"},
    {"HomeLocation/ContentBox", "8"},
};

void WriteChosen()
{
    for (const auto& c : kChosen)
        WriteSetting(c.key, c.value);
}

void ExpectChosen()
{
    for (const auto& c : kChosen)
        EXPECT_EQ(ReadSetting(c.key), c.value) << c.key;
}

class FirstRunTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetApp(); }
    void TearDown() override
    {
        ResetApp();
        tw::SetContentWizardRunner({});
    }
    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
};

// The view mode is written once the Portal is up and the wizard was
// offered, before any exit: a session cut short after that (no exit at
// all) leaves a profile the next start keeps.
TEST_F(FirstRunTest, IsRecordedOnceTheWizardWasOffered)
{
    int offered = 0;
    tw::SetContentWizardRunner([&](wxWindow*, int) {
        ++offered;
        return false;
    });
    ASSERT_TRUE(app.Startup());
    ASSERT_NE(dynamic_cast<LoadWindow*>(app.topWindow), nullptr);
    ASSERT_TRUE(tw::test::WaitFor([&] { return offered == 1; }, 3000));
    tw::test::Pump(20);
    EXPECT_EQ(ReadSetting("General/DefaultView"), "LoadWindow");

    // The session ends without an exit (killed, power lost), after the
    // user chose some preferences.
    WriteChosen();
    ResetApp();

    ASSERT_TRUE(app.Startup());
    EXPECT_FALSE(app.firstRun);
    tw::test::Pump(50);
    EXPECT_EQ(offered, 1) << "no second wizard";
    ExpectChosen();
}

// A main window closed before its queued wizard ran (a termination signal
// just after the window came up) offers no wizard: the wizard would be
// destroyed with its parent while it is up.
TEST_F(FirstRunTest, WindowClosedBeforeTheWizardRanOffersNone)
{
    int offered = 0;
    tw::SetContentWizardRunner([&](wxWindow*, int) {
        ++offered;
        return false;
    });
    ASSERT_TRUE(app.Startup());
    ASSERT_NE(dynamic_cast<LoadWindow*>(app.topWindow), nullptr);
    ASSERT_TRUE(app.topWindow->Close());
    tw::test::Pump(50);
    EXPECT_EQ(offered, 0);
    app.topWindow = nullptr;
}

// ---------------------------------------------------------------- the real program and signals

class SignalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        program = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/tidewright";
        if (!wxFileExists(program))
            GTEST_SKIP() << "the program is not built in " << TIDEWRIGHT_TEST_BINARY_DIR;
        if (tw::FindExecutable("xdotool").empty())
            GTEST_SKIP() << "xdotool is not installed";
    }
    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // Starts the program and waits for its main window to be mapped.
    bool Start()
    {
        pid = fork();
        if (pid == 0) {
            const std::string path(program.utf8_str());
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string wait = "timeout 60 xdotool search --sync --onlyvisible --name '^TALVO Tidewright$' "
                                 ">/dev/null 2>&1";
        return pid > 0 && std::system(wait.c_str()) == 0;
    }

    // Sends `sig` and waits for the end; returns the wait status.
    int EndWith(int sig)
    {
        kill(pid, sig);
        int status = -1;
        for (int waited = 0; waited < 20000; waited += 50) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            usleep(50 * 1000);
        }
        return -1;
    }

    static wxString LockPath() { return TidewrightApp::InstanceLockDir() + "/" + TidewrightApp::InstanceLockName(); }

    tw::test::TempHome home;
    wxString program;
    pid_t pid = -1;
};

// A first run ended by a signal, then preferences chosen, then another start
// ended by a signal: the program closes cleanly each time (view mode
// written, lock released) and the second start keeps every preference.
TEST_F(SignalTest, TerminationSignalsCloseCleanlyAndNothingIsReset)
{
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(sig));
        tw::test::TempHome session;
        tw::ApplyAppIdentity();

        // The first run: the Portal with the real wizard over it.
        ASSERT_TRUE(Start());
        const int first = EndWith(sig);
        ASSERT_TRUE(WIFEXITED(first)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(first), 0);
        EXPECT_EQ(ReadSetting("General/DefaultView"), "LoadWindow");
        EXPECT_FALSE(wxFileExists(LockPath())) << "the lock is released";

        WriteChosen();
        ASSERT_TRUE(Start());
        const int second = EndWith(sig);
        ASSERT_TRUE(WIFEXITED(second));
        EXPECT_EQ(WEXITSTATUS(second), 0);
        ExpectChosen();
        EXPECT_FALSE(wxFileExists(LockPath()));
    }
}

} // namespace
