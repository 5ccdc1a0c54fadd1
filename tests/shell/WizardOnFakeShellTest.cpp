// The windows stand on their own layer: the content wizard runs under a
// small shell of the test's own, with no application object linked, asks
// it for help, and gives its preferences back when cancelled.
#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/timer.h>
#include <wx/wxsqlite3.h>

#include "FakeShell.h"
#include "support/TestSupport.h"
#include "windows/wizard/contentwizard.h"

namespace {

using shell_test::FakeShell;

class WizardOnFakeShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wxCopyFile(tw::test::ResourcesDir() + "/MarineZones.db", dir / "MarineZones.db"));
        zones.Open(dir / "MarineZones.db");
        shell.zones = &zones;
        shell.worldMapBitmap.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiff.PNG", wxBITMAP_TYPE_PNG);
        shell.worldMapAntiBitmap.LoadFile(tw::test::ResourcesDir() + "/res/WorldmapTiffAnti.PNG", wxBITMAP_TYPE_PNG);
    }
    void TearDown() override
    {
        if (wizard)
            wizard->Destroy();
        tw::test::Pump(20);
        shell.gpsQuery.StopQuery();
        zones.Close();
    }

    // Runs the wizard from its first page; `steps` run inside its loop,
    // then the wizard is cancelled. Returns whether it finished.
    bool RunAndCancel(const std::function<void()>& steps)
    {
        wizard = new ContentWizard(nullptr, ID_CONTENTWIZARD, wxDefaultPosition);
        wxTimer guard;
        guard.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (wizard->IsModal())
                wizard->EndModal(wxID_CANCEL);
        });
        guard.StartOnce(20000);
        wizard->CallAfter([this, steps] {
            tw::test::WaitFor([this] { return wizard->IsShownOnScreen(); }, 3000);
            steps();
            wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
            cancel.SetEventObject(wizard);
            wizard->FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(cancel);
        });
        const bool finished = wizard->Run();
        guard.Stop();
        return finished;
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    wxSQLite3Database zones;
    FakeShell shell;
    ContentWizard* wizard = nullptr;
};

TEST_F(WizardOnFakeShellTest, AsksTheShellForHelpAndGivesItsPreferencesBackOnCancel)
{
    shell.dlPrefs.GRIB_Wind = false;
    const bool finished = RunAndCancel([this] {
        wxWizardEvent help(wxEVT_WIZARD_HELP, ID_CONTENTWIZARD, true, wizard->GetCurrentPage());
        help.SetEventObject(wizard);
        wizard->GetEventHandler()->ProcessEvent(help);
        // What a page writes while the wizard is up.
        shell.dlPrefs.GRIB_Wind = true;
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(shell.help, std::vector<__help_section_id>({HELP_SECTION_WIZARD}));
    EXPECT_FALSE(shell.dlPrefs.GRIB_Wind) << "a cancelled wizard keeps the preferences as they were";
}

} // namespace
