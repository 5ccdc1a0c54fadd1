// Start Transfer from the Library window: what it hands to the transfer
// window with and without a saved Basic area, what its end does with the
// area, and a whole download against the gateway stand-in in which every
// enabled batch's ticked items arrive in their own folders.
#include <wx/textctrl.h>

#include "CommandsFixtures.h"
#include "library/LibraryFixtures.h"
#include "engine/transfer/ObserverQueue.h"
#include "engine/transfer/XferWorkers.h"
#include "support/GatewaySim.h"
#include "xferwindow/XferFixtures.h"

using namespace commands_test;
using tw::test::GatewaySim;
using tw::test::ReadFile;
using tw::test::SampleBytes;

namespace {

class LibraryDownload : public LibraryApp
{
protected:
    void TearDown() override
    {
        if (FileXfer* w = xfer_test::FindXfer())
            xfer_test::CloseAndWait(w);
        FileXfer::WaitForWorkers(10000);
        LibraryApp::TearDown();
    }

    // The Basic batch's stored area.
    std::vector<double> BasicArea()
    {
        wxSQLite3ResultSet rs = app.GetUserDb()->ExecuteQuery("SELECT lat,lon,width FROM batches WHERE ID=1");
        std::vector<double> area;
        if (rs.NextRow())
            area = {rs.GetDouble(0), rs.GetDouble(1), rs.GetDouble(2)};
        return area;
    }

    // Closes the transfer window without a transfer and waits for its end.
    void CloseUnused()
    {
        FileXfer* xfer = xfer_test::FindXfer();
        ASSERT_NE(xfer, nullptr);
        wxWeakRef<FileXfer> ref(xfer);
        xfer_test::Click(xfer, FileXfer::ID_CLOSE_BUTTON);
        ASSERT_TRUE(WaitFor([&] { return !ref; }, 10000));
        Pump(50);
    }

    xfer_test::QuickClose quick;
    xfer_test::RecordingLauncher launcher;
};

} // namespace

// Mode 2, every enabled batch above 1 with its ticked items; the saved
// Basic area, when there is one, is the position the window offers. A
// window closed unused hands no area back: the Basic batch stays.
TEST_F(LibraryDownload, StartWithAndWithoutTheBasicArea)
{
    const std::vector<double> stored = BasicArea();
    ASSERT_EQ(stored.size(), 3u);
    ASSERT_FALSE(app.HasBasicHomePosition());

    Command(ID_BATCH_START_TRANSFER);
    EXPECT_EQ(app.transferList.xferMode, 2);
    std::vector<wxString> paths;
    for (size_t i = 0; i < app.transferList.GetCount(); ++i)
        paths.push_back(app.transferList.Item(i).serverPath);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, std::vector<wxString>({"/charts/sfc1.png", "/charts/sfc2.png", "/gfs/waves.grb",
                                            "/gfs/wind.grb", "/sat/ir.jpg"}));
    EXPECT_FALSE(library->IsEnabled()) << "the transfer window is modal";
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
    CloseUnused();
    EXPECT_EQ(BasicArea(), stored);
    EXPECT_TRUE(library->IsEnabled());

    app.SetBasicHomePosition(20.5, -150.25, 12);
    Command(ID_BATCH_TOOL_TRANSFER);
    FileXfer* xfer = xfer_test::FindXfer();
    ASSERT_NE(xfer, nullptr);
    EXPECT_EQ(xfer->m_latCtrl->GetValue(), "20.500");
    EXPECT_EQ(xfer->m_lonCtrl->GetValue(), "150.250");
    EXPECT_EQ(xfer->m_widthCtrl->GetValue(), "12");
    CloseUnused();
    EXPECT_EQ(BasicArea(), stored);

    // Nothing enabled: the window opens all the same, with nothing to fetch.
    Command(ID_BATCH_CTX_DISABLE_ALL);
    Command(ID_BATCH_START_TRANSFER);
    ASSERT_NE(xfer_test::FindXfer(), nullptr);
    EXPECT_EQ(app.transferList.GetCount(), 0u);
    CloseUnused();
}

// A start while the previous transfer's worker is still alive is refused and
// told once, as that; no window opens and the store's list is not touched.
TEST_F(LibraryDownload, AStartWhileThePreviousTransferRunsIsToldOnce)
{
    ASSERT_TRUE(FileXfer::WaitForWorkers(0)) << "no worker of another test is alive";
    app.transferList.Add("/kept.grb", "t", "f", "kept.grb", "", "1", false, 0, 0, 0);
    // A worker that has not ended (never run: deleting it ends it).
    auto* previous = new CFileXferWorker(std::make_shared<CXferObserverQueue>(nullptr), false);
    tw::test::ClearLog();
    for (int command : {ID_BATCH_START_TRANSFER, ID_BATCH_TOOL_TRANSFER}) {
        SCOPED_TRACE(command);
        tw::test::ResetUi();
        const size_t logged = tw::test::CapturedLog().size();
        Command(command);
        Pump(50);
        EXPECT_EQ(xfer_test::FindXfer(), nullptr);
        EXPECT_EQ(app.transferList.GetCount(), 1u) << "the previous transfer's list is left alone";
        const std::vector<tw::test::LogEntry> log = tw::test::CapturedLog();
        std::vector<wxString> told;
        for (size_t i = logged; i < log.size(); ++i)
            told.push_back(log[i].text);
        for (const auto& box : tw::test::Ui().boxes)
            told.push_back(box.message);
        EXPECT_EQ(told, std::vector<wxString>{"The previous transfer has not ended yet."});
        EXPECT_TRUE(library->IsEnabled());
    }
    delete previous;
    EXPECT_TRUE(FileXfer::WaitForWorkers(0));
}

// The whole road: the enabled batches' ticked items arrive, each in its
// batch's folder; a disabled batch and unticked items stay on the server;
// the saved area is sent and adopted.
TEST_F(LibraryDownload, EveryEnabledBatchsTickedItemsArrive)
{
    GatewaySim sim;
    ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
    sim.Configure();
    {
        CUserConfig config;
        config.WriteText("Misc/xfer_rate", "102400 600");
    }
    const std::string wind = SampleBytes(5000, 11), waves = SampleBytes(7000, 12), sfc2 = SampleBytes(900, 13);
    sim.Serve("wind.grb", wind);
    sim.ServeWithCompressed("waves.grb", waves);
    sim.Serve("sfc1.png", "surface one");
    sim.Serve("sfc2.png", sfc2);
    sim.Serve("ir.jpg", "infrared");
    app.GetUserDb()->ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(Folder("Suggested")) + "' WHERE ID=2");
    ASSERT_TRUE(wxFileName::Mkdir(Folder("Suggested"), 0777, wxPATH_MKDIR_FULL));
    app.SetBasicHomePosition(47.25, -124.5, 12);

    Command(ID_BATCH_START_TRANSFER);
    FileXfer* xfer = xfer_test::FindXfer();
    ASSERT_NE(xfer, nullptr);
    EXPECT_EQ(xfer->GetParent(), library);
    wxWeakRef<FileXfer> ref(xfer);
    // The user moves the area in the transfer window: it goes with the
    // request and becomes the Basic batch's area.
    EXPECT_EQ(xfer->m_latCtrl->GetValue(), "47.250");
    xfer->m_latCtrl->ChangeValue("47.750");
    xfer_test::Click(xfer, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return FileXfer::LiveWorkers() == 0 && !xfer->HasWorker() && xfer->GetState() != 3; },
                        30000));
    Pump(50);
    const wxString log = xfer->m_log->GetValue();
    EXPECT_EQ(xfer->GetState(), 2) << log;
    xfer_test::Click(xfer, FileXfer::ID_CLOSE_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return !ref; }, 10000));
    Pump(50);

    EXPECT_TRUE(ReadFile(Folder("Passage") + "/wind.grb") == wind);
    EXPECT_EQ(ReadFile(Folder("Passage") + "/sfc1.png"), "surface one");
    EXPECT_FALSE(wxFileExists(Folder("Passage") + "/sfc2.png")) << "unticked";
    EXPECT_TRUE(ReadFile(Folder("Charts") + "/waves.grb") == waves);
    EXPECT_EQ(ReadFile(Folder("Charts") + "/ir.jpg"), "infrared");
    EXPECT_TRUE(ReadFile(Folder("Suggested") + "/sfc2.png") == sfc2) << "the Wizard batch is enabled";
    EXPECT_FALSE(wxFileExists(Folder("Idle") + "/sfc2.png")) << "a disabled batch";
    EXPECT_TRUE(launcher.Starts().empty()) << "no program is run for these batches";
    const wxString clipboard = xfer_test::ClipboardText();
    EXPECT_TRUE(clipboard.Contains(Folder("Charts") + "/waves.grb")) << clipboard;

    bool sent = false;
    for (const std::string& line : sim.ReceivedLines())
        sent = sent || line.rfind("pos 47.75 -124.5 12 ", 0) == 0;
    EXPECT_TRUE(sent);
    EXPECT_EQ(BasicArea(), std::vector<double>({47.75, -124.5, 12}));
    EXPECT_EQ(app.topWindow, library);
    EXPECT_TRUE(library->IsEnabled());
    EXPECT_TRUE(tw::test::Ui().boxes.empty());

    // The Library window after the download, as a user sees it.
    Select(4);
    Pump(100);
    const char* folder = std::getenv("TW_SCREENSHOTS");
    const wxString path = (folder ? wxString::FromUTF8(folder) : wxFileName::GetTempDir()) + "/library_commands.png";
    EXPECT_TRUE(library_test::LibraryTest::ScreenShot(library, path));
}
