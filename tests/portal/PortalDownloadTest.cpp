// Downloading the Wizard batch from the Portal and from the suggestions
// window against the gateway stand-in: the checked items arrive in the
// batch's folder, the combined GRIB file is built, unchecked items stay on
// the server, and the tree is left as it was.
#include <wx/textctrl.h>

#include "windows/library/wizardtreewindow.h"
#include "portal/PortalFixtures.h"
#include "support/GatewaySim.h"
#include "windows/portal/loadwindow.h"
#include "xferwindow/XferFixtures.h"

using namespace portal_test;
using tw::test::GatewaySim;
using tw::test::ReadFile;
using tw::test::SampleBytes;

namespace {

class PortalDownload : public PortalApp
{
protected:
    void SetUp() override
    {
        PortalApp::SetUp();
        ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
        sim.Configure();
        {
            CUserConfig config;
            config.WriteText("Misc/xfer_rate", "102400 600");
        }
        StartInPortal();
        portal = dynamic_cast<LoadWindow*>(app.topWindow);
        ASSERT_NE(portal, nullptr);
        folder = home.Documents() + "/Weather Files/Suggested";
        ASSERT_TRUE(wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL));
        app.GetUserDb()->ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(folder) + "', gribfile='" +
                                       SqlEscape(folder + "/all.grb") +
                                       "', bCombineGribs=1, runstat=0, runwexpg=0, status=0 WHERE ID=2");
        xfer_test::SetClipboardText("before");
    }
    void TearDown() override
    {
        if (FileXfer* w = xfer_test::FindXfer())
            xfer_test::CloseAndWait(w);
        FileXfer::WaitForWorkers(10000);
        PortalApp::TearDown();
    }

    // Presses Download on `window`, Go in the transfer window, then Close,
    // and waits until the transfer window is gone and its end handled.
    void Download(wxWindow* window, int downloadId)
    {
        Click(window, downloadId);
        FileXfer* xfer = xfer_test::FindXfer();
        ASSERT_NE(xfer, nullptr) << "the transfer window opened";
        EXPECT_EQ(xfer->GetParent(), app.topWindow);
        EXPECT_FALSE(app.topWindow->IsEnabled()) << "the transfer window is modal";
        wxWeakRef<FileXfer> ref(xfer);
        Click(xfer, FileXfer::ID_GO_BUTTON);
        ASSERT_TRUE(tw::test::WaitFor(
            [&] { return FileXfer::LiveWorkers() == 0 && !xfer->HasWorker() && xfer->GetState() != 3; }, 30000));
        tw::test::Pump(50);
        log = xfer->m_log->GetValue();
        EXPECT_EQ(xfer->GetState(), 2) << log;
        Click(xfer, FileXfer::ID_CLOSE_BUTTON);
        ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 10000));
        tw::test::Pump(50);
        EXPECT_TRUE(app.topWindow->IsEnabled());
    }

    GatewaySim sim;
    xfer_test::QuickClose quick;
    xfer_test::RecordingLauncher launcher;
    LoadWindow* portal = nullptr;
    wxString folder;
    wxString log;
};

} // namespace

TEST_F(PortalDownload, CheckedSuggestionsArriveAndAreCombined)
{
    SetWizardBatch({{"TW-WIND", 1}, {"TW-UPA", 0}, {"TW-WAVE", 1}, {"TW-SFC1", 1}});
    portal->RefreshList(false);
    const std::string wind = SampleBytes(4000, 1), waves = SampleBytes(6000, 2);
    sim.Serve("wind.grb", wind);
    sim.ServeWithCompressed("waves.grb", waves);
    sim.Serve("sfc1.png", "surface chart");
    sim.Serve("upa.png", "upper air chart");
    tw::test::WriteFile(folder + "/all.grb", "OLD COMBINED");
    const std::vector<std::string> tree = Describe(*portal->m_checkTree);
    portal->m_checkTree->SelectItem(FindRecord(*portal->m_checkTree, "TW-WAVE"));

    Download(portal, tw::portal::kDownloadButton);
    EXPECT_TRUE(log.Contains("Retrieving 'wind.grb'.")) << log;
    EXPECT_TRUE(log.Contains("Retrieving 'waves.grb.bz2'.")) << log;
    EXPECT_FALSE(log.Contains("upa")) << "an unchecked item is not asked for\n" << log;

    ASSERT_TRUE(tw::test::WaitFor([&] { return ReadFile(folder + "/all.grb") != "OLD COMBINED"; }, 5000));
    EXPECT_EQ(ReadFile(folder + "/wind.grb"), wind);
    EXPECT_EQ(ReadFile(folder + "/waves.grb"), waves);
    EXPECT_EQ(ReadFile(folder + "/sfc1.png"), "surface chart");
    EXPECT_FALSE(wxFileExists(folder + "/upa.png"));
    const std::string combined = ReadFile(folder + "/all.grb");
    EXPECT_TRUE(combined == wind + waves || combined == waves + wind) << combined.size();
    EXPECT_TRUE(xfer_test::ClipboardText().Contains(folder + "/wind.grb\r\n")) << xfer_test::ClipboardText();
    EXPECT_TRUE(launcher.Starts().empty()) << "no program is run for this batch";

    // Nothing of the tree changed: shape, marks, selection; the statuses stay.
    EXPECT_EQ(Describe(*portal->m_checkTree), tree);
    EXPECT_TRUE(portal->m_checkTree->IsSelected(FindRecord(*portal->m_checkTree, "TW-WAVE")));
    EXPECT_EQ(StoredStatus("TW-UPA"), 0);
    EXPECT_EQ(StoredStatus("TW-WIND"), 1);
    EXPECT_EQ(app.topWindow, portal);
}

// Nothing checked: the transfer window still opens, with nothing to fetch.
TEST_F(PortalDownload, NothingCheckedStillOpensTheTransferWindow)
{
    SetWizardBatch({{"TW-WIND", 0}});
    Click(portal, tw::portal::kDownloadButton);
    FileXfer* xfer = xfer_test::FindXfer();
    ASSERT_NE(xfer, nullptr);
    EXPECT_EQ(app.transferList.GetCount(), 0u);
    EXPECT_EQ(app.transferList.xferMode, 1);
}

TEST_F(PortalDownload, FromTheSuggestionsWindow)
{
    SetWizardBatch({{"TW-WIND", 1}, {"TW-WAVE", 0}});
    const std::string wind = SampleBytes(3000, 3);
    sim.Serve("wind.grb", wind);
    sim.Serve("waves.grb", SampleBytes(3000, 4));
    auto* window = new WizardTreeWindow(portal);
    window->Show();
    ASSERT_TRUE(tw::test::WaitFor([&] { return window->IsShownOnScreen(); }));
    const std::vector<std::string> tree = Describe(*window->m_checkTree);

    Download(window, ID_WIZARDTREE_DOWNLOAD);
    ASSERT_TRUE(tw::test::WaitFor([&] { return ReadFile(folder + "/all.grb") == wind; }, 5000));
    EXPECT_EQ(ReadFile(folder + "/wind.grb"), wind);
    EXPECT_FALSE(wxFileExists(folder + "/waves.grb"));
    EXPECT_EQ(Describe(*window->m_checkTree), tree);
    window->Destroy();
}
