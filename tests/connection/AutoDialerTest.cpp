// The application's dialer version query and the start of the dialer program.
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/socket.h>
#include <wx/stopwatch.h>

#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "platform/Launcher.h"
#include "support/DialerSim.h"

using tw::test::DialerSim;
using tw::test::ScopedEnv;
using tw::test::WaitFor;

namespace {

// Puts the application's dialer state back to what start-up sets.
void ResetDialerState(TidewrightApp& app)
{
    app.TerminateAutodialerStatus();
    app.dialerVersionKnown = false;
    app.dialerVersion = 3.76;
}

class AutoDialerVersionLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
        ResetDialerState(app);
        settings.m_dunInfo.connection = "Network Connection";
    }
    void TearDown() override { ResetDialerState(app); }

    TidewrightApp& app = wxGetApp();
    CRegistry settings;
};

} // namespace

// Start-up asks the dialer for its version under a name and goes on at once;
// the answer is taken whenever it comes, whatever the locale's decimal mark.
TEST_F(AutoDialerVersionLocale, VersionAnswers)
{
    const struct {
        std::vector<std::string> options;
        bool known;
        double version;
    } cases[] = {
        {{}, true, 3.85},
        {{"--version", "3.81"}, true, 3.81},
        {{"--split", "--version", "4.2"}, true, 4.2},
        {{"--version", "3.9beta"}, false, 3.9},      // taken, but asked again next time
        {{"--version", "unknown"}, false, 3.76},
        {{"--reply", "version=invalid"}, false, 3.76},
        {{"--reply", "version=error"}, false, 3.76},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.empty() ? std::string("default") : c.options.back());
        ResetDialerState(app);
        DialerSim sim(c.options);
        ASSERT_TRUE(sim.Running());
        sim.Configure(settings);

        wxStopWatch clock;
        EXPECT_TRUE(app.QueryAutodialerStatus(settings, "Dezavuviv Odirir"));
        EXPECT_LT(clock.Time(), 200);   // start-up never waits for the dialer
        EXPECT_TRUE(app.dialerQueryPending);

        ASSERT_TRUE(WaitFor([&] { return !app.dialerQueryPending; }));
        EXPECT_EQ(app.dialerVersionKnown, c.known);
        EXPECT_DOUBLE_EQ(app.dialerVersion, c.version);
        EXPECT_EQ(sim.Count("version"), 1);
        // The query's connection is closed once it has its answer.
        EXPECT_TRUE(sim.WaitForRequest("<close>"));

        // Known versions are not asked for again; others are.
        EXPECT_TRUE(app.QueryAutodialerStatus(settings, "Dezavuviv Odirir"));
        if (c.known) {
            EXPECT_FALSE(app.dialerQueryPending);
            tw::test::Pump(100);
            EXPECT_EQ(sim.Count("version"), 1);
        } else {
            EXPECT_TRUE(sim.WaitForRequest("version", 2));
            EXPECT_TRUE(WaitFor([&] { return !app.dialerQueryPending; }));
        }
    }
}

TEST_F(AutoDialerVersionLocale, NoDialerRunning)
{
    settings.m_gatewayInfo.autodialhost = "127.0.0.1";
    settings.m_autodialPort = tw::test::FreeLoopbackPort();
    wxStopWatch clock;
    app.QueryAutodialerStatus(settings, "MSAT Dialer");
    EXPECT_LT(clock.Time(), 200);
    EXPECT_TRUE(WaitFor([&] { return !app.dialerQueryPending; }, 3000));
    EXPECT_FALSE(app.dialerVersionKnown);
    EXPECT_DOUBLE_EQ(app.dialerVersion, 3.76);
    EXPECT_FALSE(tw::test::BoxShown(""));
}

TEST_F(AutoDialerVersionLocale, ANewQueryReplacesOneStillRunning)
{
    // A dialer that never answers the version keeps the first query open.
    DialerSim silent({"--reply", "version=3.1"});
    DialerSim answering;
    silent.Configure(settings);
    ASSERT_TRUE(app.QueryAutodialerStatus(settings, "Dezavuviv Odirir"));
    ASSERT_TRUE(silent.WaitForRequest("version"));
    EXPECT_TRUE(app.dialerQueryPending);

    answering.Configure(settings);
    ASSERT_TRUE(app.QueryAutodialerStatus(settings, "MSAT Dialer"));
    EXPECT_TRUE(silent.WaitForRequest("<close>"));
    ASSERT_TRUE(WaitFor([&] { return !app.dialerQueryPending; }));
    EXPECT_TRUE(app.dialerVersionKnown);
    EXPECT_DOUBLE_EQ(app.dialerVersion, 3.85);
}

TEST(AutoDialerProgram, ArgumentsFollowTheKnownVersion)
{
    tw::test::TempDir apps;
    const wxString folder = apps / "zozor";
    ASSERT_TRUE(wxFileName::Mkdir(folder + "/Resources", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    const wxString program = folder + "/dizoduv";
    ASSERT_TRUE(tw::test::WriteFile(program, "#!/bin/sh\nexit 0\n"));
    ASSERT_EQ(chmod(program.utf8_str(), 0755), 0);
    ScopedEnv env("TIDEWRIGHT_APPS", apps.Path());

    std::vector<tw::LaunchRequest> launched;
    tw::ScopedLauncher recorder([&](const tw::LaunchRequest& r) {
        launched.push_back(r);
        return 4242L;
    });

    TidewrightApp& app = wxGetApp();
    const double savedVersion = app.dialerVersion;
    const struct {
        double version;
        bool settings;
        std::vector<wxString> arguments;
    } cases[] = {
        {3.76, true, {}},              // version not known yet
        {3.81, true, {}},
        {3.82, true, {"settings"}},
        {3.85, true, {"settings"}},
        {3.85, false, {}},
    };
    for (const auto& c : cases) {
        launched.clear();
        app.dialerVersion = c.version;
        EXPECT_TRUE(app.OpenAutoDialerService(c.settings));
        ASSERT_EQ(launched.size(), 1u);
        std::vector<wxString> expected{program};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(launched[0].argv, expected) << c.version;
        EXPECT_TRUE(wxFileName::DirName(launched[0].workingDir).SameAs(wxFileName::DirName(folder + "/Resources")))
            << launched[0].workingDir;
    }
    app.dialerVersion = savedVersion;
}

TEST(AutoDialerProgram, StartsFromAPathWithBlanks)
{
    tw::test::TempDir root;
    const wxString apps = root / "My Apps";
    const wxString folder = apps + "/zozor";
    const wxString resources = folder + "/Resources";
    ASSERT_TRUE(wxFileName::Mkdir(resources, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    const wxString program = folder + "/dizoduv";
    const wxString record = root / "launched.txt";
    // The fake dialer writes down where it runs and what it was given.
    ASSERT_TRUE(tw::test::WriteFile(program, "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > \""
                                                 + record.ToStdString() + ".part\"\nmv \"" + record.ToStdString()
                                                 + ".part\" \"" + record.ToStdString() + "\"\n"));
    ASSERT_EQ(chmod(program.utf8_str(), 0755), 0);
    ScopedEnv env("TIDEWRIGHT_APPS", apps);

    TidewrightApp& app = wxGetApp();
    const double savedVersion = app.dialerVersion;
    app.dialerVersion = 3.85;
    EXPECT_TRUE(app.OpenAutoDialerService(true));
    app.dialerVersion = savedVersion;
    ASSERT_TRUE(WaitFor([&] { return wxFileExists(record); }, 5000));
    EXPECT_EQ(tw::test::ReadFile(record), resources.ToStdString() + "\n[settings]\n");
}

TEST(AutoDialerProgram, NotInstalled)
{
    tw::test::TempDir apps;
    ScopedEnv env("TIDEWRIGHT_APPS", apps.Path());
    std::vector<tw::LaunchRequest> launched;
    tw::ScopedLauncher recorder([&](const tw::LaunchRequest& r) {
        launched.push_back(r);
        return 1L;
    });
    EXPECT_FALSE(wxGetApp().OpenAutoDialerService(true));
    EXPECT_TRUE(launched.empty());
    EXPECT_TRUE(tw::test::LogContains("The TALVO Dezavuviv Odirir software is not installed."));
}
