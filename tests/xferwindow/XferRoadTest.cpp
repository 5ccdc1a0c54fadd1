// The download road against the gateway stand-in: from the transfer start
// through the transfer window and its worker to the epilogue, the combined
// GRIB file, the viewers and the clipboard; a refused login, stopping and
// closing, a close while the worker asks about resuming, the measured rate,
// the important-message button and a transfer through the dialer service.
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <thread>

#include <unistd.h>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/gauge.h>
#include <wx/socket.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "model/BasicBatch.h"
#include "windows/common/Shell.h"
#include "model/BatchDB.h"
#include "model/FileList.h"
#include "windows/library/batchwindow.h"
#include "platform/Locations.h"
#include "startup/StartupFixtures.h"
#include "engine/transfer/DialService.h"
#include "engine/transfer/XferSocket.h"
#include "platform/Launcher.h"
#include "platform/UiHooks.h"
#include "support/GatewaySim.h"
#include "windows/basic/basicwindow.h"
#include "windows/common/PictureButton.h"
#include "xferwindow/XferFixtures.h"

using namespace xfer_test;
using tw::test::GatewaySim;
using tw::test::ReadFile;
using tw::test::SampleBytes;
using tw::test::WriteFile;

namespace {

void WriteRate(const wxString& rate)
{
    CUserConfig config;
    config.WriteText("Misc/xfer_rate", rate);
}

wxString ReadKey(const wxString& key)
{
    CUserConfig config;
    return config.ReadText(key, "<absent>");
}

bool ReachesEnd(FileXfer* w, int timeoutMs = 30000)
{
    const bool ended = tw::test::WaitFor(
        [&] { return FileXfer::LiveWorkers() == 0 && !w->HasWorker() && w->GetState() != 3; }, timeoutMs);
    tw::test::Pump(60);
    return ended;
}

// A transfer started straight through the application's transfer start, with
// a done-handler that runs the epilogue on the test's active files.
class XferTransfer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
        sim.Configure();
        WriteRate("102400 600");
        folder = dir / "Batch";
        ASSERT_TRUE(wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL));
        SetClipboardText("before");
    }
    void TearDown() override
    {
        rec.onDone = nullptr;   // the test's own lists are gone
        if (FileXfer* w = FindXfer())
            CloseAndWait(w);
        FileXfer::WaitForWorkers(10000);
    }

    FileXfer* Start(CActiveFileList& files, int mode, HomePosition* area = nullptr)
    {
        rec.onDone = [this, &files, area](wxCommandEvent& e) {
            wxGetApp().FileTransferEpilogue(files, e.GetInt() != 0, area);
        };
        EXPECT_TRUE(wxGetApp().FileTransferStart(files, &rec, wxCommandEventHandler(DoneRecorder::OnDone), mode, area));
        return FindXfer();
    }

    // Serves wind.grb compressed, leaves its first 1000 compressed bytes in
    // the batch's tmp folder as an interrupted download and opens the
    // transfer window for it (null when it did not open); `partial` gets
    // the bytes left.
    FileXfer* StartWithPartialWind(CActiveFileList& files, unsigned seed, std::string& partial)
    {
        sim.ServeWithCompressed("wind.grb", SampleBytes(50000, seed));
        partial = ReadFile(sim.Root() + "/wind.grb.bz2").substr(0, 1000);
        EXPECT_TRUE(wxFileName::Mkdir(folder + "/tmp", 0777, wxPATH_MKDIR_FULL));
        WriteFile(folder + "/tmp/wind.grb.bz2", partial);
        AddActive(files, File("W", "wind.grb"));
        return Start(files, 1);
    }

    // Presses Go and waits for the worker to end.
    bool Go(FileXfer* w)
    {
        Click(w, FileXfer::ID_GO_BUTTON);
        return ReachesEnd(w);
    }

    // Starts a Portal transfer of the one file `name` (results cleared) and
    // waits until its bytes are coming in; null when that did not happen.
    FileXfer* StartReceiving(CActiveFileList& files, const wxString& name)
    {
        rec.results.clear();
        AddActive(files, File("B", name));
        FileXfer* w = Start(files, 1);
        if (!w)
            return nullptr;
        Click(w, FileXfer::ID_GO_BUTTON);
        const bool receiving = tw::test::WaitFor(
            [&] { return w->m_log->GetValue().Contains("Retrieving '" + name + "'"); }, 10000);
        EXPECT_TRUE(receiving) << w->m_log->GetValue();
        return receiving ? w : nullptr;
    }

    // Closes with the Close button and waits for the outcome.
    int Close(FileXfer* w)
    {
        wxWeakRef<FileXfer> ref(w);
        const size_t before = rec.results.size();
        Click(w, FileXfer::ID_CLOSE_BUTTON);
        EXPECT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() > before; }, 10000));
        return rec.results.empty() ? -1 : rec.results.back();
    }

    Active File(const wxString& id, const wxString& name, int runstat = 1)
    {
        Active a;
        a.id = id;
        a.path = "/gfs/" + name;
        a.folder = folder;
        a.runstat = runstat;
        return a;
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    QuickClose quick;
    GatewaySim sim;
    RecordingLauncher launcher;
    FakeApps apps;
    DoneRecorder rec;
    wxString folder;
};

} // namespace

// A refused login is a failure in every mode: the caller hears 0 and nothing
// of the transfer is processed, so older files are neither opened nor handed on.
TEST_F(XferTransfer, RefusedLoginIsAFailureInEveryMode)
{
    for (int mode : {0, 1, 2, 3}) {
        SCOPED_TRACE(mode);
        sim.Configure();
        sim.SetFaults({"refuse-login"});
        launcher.Clear();
        WriteFile(folder + "/wind.grb", "OLD WIND");
        WriteFile(folder + "/all.grb", "OLD COMBINED");
        CActiveFileList files;
        Active a = File("W", "wind.grb");
        a.combine = 1;
        a.gribfile = folder + "/all.grb";
        AddActive(files, a);
        sim.Serve("wind.grb", "NEW WIND");

        FileXfer* w = Start(files, mode);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(Go(w));
        EXPECT_EQ(w->GetState(), 1);
        EXPECT_TRUE(w->m_log->GetValue().Contains("Invalid login")) << w->m_log->GetValue();
        EXPECT_EQ(Close(w), 0);

        EXPECT_TRUE(launcher.Starts().empty());
        EXPECT_EQ(ClipboardText(), "before");
        EXPECT_EQ(ReadFile(folder + "/wind.grb"), "OLD WIND");
        EXPECT_EQ(ReadFile(folder + "/all.grb"), "OLD COMBINED");
        EXPECT_EQ(files.Item(0).LocalPath, "");
        EXPECT_EQ(ReadKey("Misc/xfer_rate"), "102400 600") << "a failed transfer stores no rate";
        EXPECT_EQ(wxGetApp().transferList.GetCount(), 1u) << "a failed transfer leaves the list as it was";
        rec.results.clear();
    }
}

// Stopping while data flows: every way of closing ends the worker, reports
// failure and places nothing.
TEST_F(XferTransfer, ClosingDuringTheTransferStopsTheWorker)
{
    enum How { CloseBox, CloseButton, ForceDisconnect, DoneMenu };
    const How hows[] = {CloseBox, CloseButton, ForceDisconnect, DoneMenu};
    sim.SetFaults({"rate=20000"});
    sim.Serve("big.grb", SampleBytes(400000, 3));
    for (How how : hows) {
        SCOPED_TRACE(static_cast<int>(how));
        CActiveFileList files;
        FileXfer* w = StartReceiving(files, "big.grb");
        ASSERT_NE(w, nullptr);
        wxWeakRef<FileXfer> ref(w);
        EXPECT_FALSE(w->m_goButton->IsEnabled());

        wxStopWatch watch;
        switch (how) {
        case CloseBox:
            EXPECT_TRUE(w->InitiateWindowClose(true)) << "the close box does not wait";
            break;
        case CloseButton:
            Click(w, FileXfer::ID_CLOSE_BUTTON);
            break;
        case ForceDisconnect:
            Click(w, FileXfer::ID_MENUITEM_FORCE_DISCONNECT, wxEVT_MENU);
            break;
        case DoneMenu:
            Click(w, FileXfer::ID_MENUITEM_DONE, wxEVT_MENU);
            break;
        }
        ASSERT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }, 10000));
        EXPECT_LT(watch.Time(), 3000);
        EXPECT_EQ(rec.results[0], 0);
        EXPECT_TRUE(FileXfer::WaitForWorkers(5000)) << "the worker has ended";
        EXPECT_FALSE(wxFileExists(folder + "/big.grb"));
        EXPECT_TRUE(launcher.Starts().empty());
        EXPECT_EQ(ClipboardText(), "before");
    }
}

// A worker stuck on a server that went silent never sees a stop request by
// itself. An ordinary close keeps the window up through the countdown and
// then stops the worker by force; the close box ends the window at once and
// stops the worker after the pause. Neither waits on the main thread: the
// call returns at once and the event loop runs on meanwhile.
TEST_F(XferTransfer, ClosingWhileTheWorkerIsStuck)
{
    sim.Configure("skipper", "s3cret", 60);
    sim.SetFaults({"stall-after=1000"});
    sim.Serve("big.grb", SampleBytes(50000, 4));
    const struct {
        const char* name;
        bool force;
        int pauseMs;
        int tickMs;
    } cases[] = {
        {"Close button", false, 300, 30},
        {"close box", true, 300, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FileXfer::SetCloseTimings(c.pauseMs, c.tickMs);
        CActiveFileList files;
        FileXfer* w = StartReceiving(files, "big.grb");
        ASSERT_NE(w, nullptr);
        wxWeakRef<FileXfer> ref(w);
        tw::test::Pump(100);

        wxStopWatch watch;
        EXPECT_EQ(w->InitiateWindowClose(c.force), c.force);
        EXPECT_LT(watch.Time(), 150) << "the call does not wait out the 300 ms pause";
        EXPECT_EQ(w->IsShown(), !c.force) << "only an ordinary close keeps the window up";
        tw::test::Pump(2 * c.tickMs);
        ASSERT_TRUE(ref) << "the window waits for the worker";
        EXPECT_TRUE(w->HasWorker()) << "the stuck worker did not end by itself";
        EXPECT_TRUE(rec.results.empty());

        ASSERT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }, 5000));
        EXPECT_EQ(rec.results[0], 0);
        EXPECT_TRUE(FileXfer::WaitForWorkers(5000)) << "the worker was stopped by force";
        EXPECT_FALSE(wxFileExists(folder + "/big.grb"));
    }
    FileXfer::SetCloseTimings(20, 30);
}

// The user closes the window while the worker waits for the answer to the
// resume question: the question is answered Cancel, the worker is released
// and ends, and the window goes without waiting for the late answer.
TEST_F(XferTransfer, ForcedCloseDuringTheResumeQuestion)
{
    // The item asks for compression and the server has it compressed: the
    // partial file is the compressed one.
    CActiveFileList files;
    std::string partial;
    FileXfer* w = StartWithPartialWind(files, 5, partial);
    ASSERT_NE(w, nullptr);
    wxWeakRef<FileXfer> ref(w);

    int questions = 0;
    bool workerEndedBeforeAnswer = false;
    tw::SetMessageBoxHandler([&](const tw::MessageBoxRequest& request) {
        if (!request.message.Contains("interrupted previous download"))
            return int(wxOK);
        ++questions;
        // The close box while the box is up.
        if (ref)
            ref->Close();
        workerEndedBeforeAnswer = tw::test::WaitFor([] { return FileXfer::LiveWorkers() == 0; }, 5000);
        return int(wxYES);   // the late answer is not used
    });
    Click(w, FileXfer::ID_GO_BUTTON);
    EXPECT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }, 10000));
    tw::test::ResetUi();

    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(workerEndedBeforeAnswer) << "the worker was released while the question was still on screen";
    ASSERT_EQ(rec.results.size(), 1u);
    EXPECT_EQ(rec.results[0], 0);
    EXPECT_FALSE(wxFileExists(folder + "/wind.grb"));
    EXPECT_EQ(ReadFile(folder + "/tmp/wind.grb.bz2"), partial)
        << "a question cancelled by the close keeps the partial file";
    EXPECT_TRUE(launcher.Starts().empty());
}

// Escape typed on the real resume question: the partial file (paid bytes)
// stays as it was, nothing is asked of the server, and the transfer ends
// saying why; only an explicit No deletes it.
TEST_F(XferTransfer, EscapeOnTheResumeQuestionKeepsThePartial)
{
    if (tw::FindExecutable("xdotool").empty())
        GTEST_SKIP() << "xdotool is not installed";
    CActiveFileList files;
    std::string partial;
    FileXfer* w = StartWithPartialWind(files, 5, partial);
    ASSERT_NE(w, nullptr);

    tw::SetMessageBoxHandler({});   // the real box
    std::atomic<bool> escaped {false};
    std::thread keys([&] { escaped = tw::test::WindowShown("Notice", 20000) && tw::test::EscapeOnWindow("Notice"); });
    Click(w, FileXfer::ID_GO_BUTTON);
    const bool ended = ReachesEnd(w);
    keys.join();
    tw::test::ResetUi();

    EXPECT_TRUE(escaped) << "the box was answered by Escape";
    ASSERT_TRUE(ended);
    EXPECT_EQ(w->GetState(), 1);
    EXPECT_TRUE(w->m_log->GetValue().Contains(CXferSocketThread::kResumeCancelledText)) << w->m_log->GetValue();
    EXPECT_EQ(ReadFile(folder + "/tmp/wind.grb.bz2"), partial);
    EXPECT_FALSE(wxFileExists(folder + "/wind.grb"));
    for (const std::string& line : sim.ReceivedLines())
        EXPECT_NE(line.rfind("get ", 0), 0u) << line;
    EXPECT_EQ(Close(w), 0);
}

TEST_F(XferTransfer, MeasuredRateIsStoredAfterSuccess)
{
    sim.SetFaults({"rate=40000"});
    sim.Serve("slow.grb", SampleBytes(80000, 7));
    CActiveFileList files;
    AddActive(files, File("S", "slow.grb"));
    FileXfer* w = Start(files, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wxGetApp().transferRate, 102400);
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(w->GetState(), 2) << w->m_log->GetValue();
    const wxString stored = ReadKey("Misc/xfer_rate");
    long network = 0;
    ASSERT_TRUE(stored.BeforeFirst(' ').ToLong(&network)) << stored;
    EXPECT_GT(network, 20000) << stored;
    EXPECT_LT(network, 60000) << stored;
    EXPECT_EQ(stored.AfterFirst(' '), "600") << "the dialer's half stays";
    EXPECT_EQ(w->GetRate(), network) << "the window goes by the measured rate";
    EXPECT_EQ(Close(w), 1);
    EXPECT_EQ(wxGetApp().transferRate, network) << "the application keeps what the window reported";
    EXPECT_EQ(ReadFile(folder + "/slow.grb"), SampleBytes(80000, 7));
}

TEST_F(XferTransfer, ImportantMessageButtonBlinksUntilClicked)
{
    sim.SetFaults({"readme=news"});
    sim.Serve("a.txt", "text");
    CActiveFileList files;
    AddActive(files, File("A", "a.txt", 0));
    FileXfer* w = Start(files, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->m_updateButton->IsShown());
    ASSERT_TRUE(Go(w));
    ASSERT_TRUE(w->m_updateButton->IsShown());
    EXPECT_EQ(w->m_updateButton->GetToolTipText(), "An important message from TALVO has arrived");
    // It blinks: the image changes within a few half-second ticks.
    const wxBitmap first = w->m_updateButton->GetBitmapLabel();
    EXPECT_TRUE(tw::test::WaitFor(
        [&] { return !w->m_updateButton->GetBitmapLabel().IsSameAs(first); }, 2000));

    Click(w, FileXfer::ID_UPDATE_BUTTON);
    EXPECT_FALSE(w->m_updateButton->IsEnabled());
    EXPECT_TRUE(w->m_updateButton->IsShown());
    EXPECT_TRUE(tw::test::BoxShown("Please execute \"Update File List\" from Portal, Basic or Library mode"));

    // A later transfer in the same window does not bring it back.
    ASSERT_TRUE(Go(w));
    EXPECT_FALSE(w->m_updateButton->IsEnabled());
    const wxBitmap now = w->m_updateButton->GetBitmapLabel();
    tw::test::Pump(700);
    EXPECT_TRUE(w->m_updateButton->GetBitmapLabel().IsSameAs(now)) << "no blinking after the click";
    EXPECT_EQ(Close(w), 1);
}

// The server sends a file under another name. A plain rename to the
// compressed name is decompressed and placed under the name asked for; a name
// with another base ends the transfer as a failure, also after an earlier
// success in the same window; a name that would leave the folder is refused
// for that file alone. Every transfer ends.
TEST_F(XferTransfer, FileSentUnderAnotherName)
{
    const std::string wind = SampleBytes(30000, 21);
    const std::string rain = SampleBytes(20000, 22);
    sim.ServeWithCompressed("packed.grb", wind);
    const std::string packed = ReadFile(sim.Root() + "/packed.grb.bz2");
    ASSERT_FALSE(packed.empty());
    sim.Serve("wind.grb", packed);   // the compressed bytes, without a .bz2 file beside them
    sim.Serve("rain.grb", rain);
    WriteFile(folder + "/rain.grb", "OLD RAIN");
    CActiveFileList files;
    AddActive(files, File("W", "wind.grb", 0));
    AddActive(files, File("R", "rain.grb", 0));
    FileXfer* w = Start(files, 2);
    ASSERT_NE(w, nullptr);

    sim.SetFaults({"send-name=wind.grb:wind.grb.bz2"});
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(w->GetState(), 2) << w->m_log->GetValue();
    EXPECT_EQ(ReadFile(folder + "/wind.grb"), wind);
    EXPECT_EQ(ReadFile(folder + "/rain.grb"), rain);
    EXPECT_FALSE(wxFileExists(folder + "/wind.grb.bz2"));

    WriteFile(folder + "/rain.grb", "OLD RAIN");
    sim.SetFaults({"send-name=wind.grb:rain.grb"});
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(w->GetState(), 1) << w->m_log->GetValue();
    EXPECT_TRUE(w->m_log->GetValue().Contains(
        "Received base file name (rain.) differs from that expected (wind.) while processing '/gfs/wind.grb'."))
        << w->m_log->GetValue();
    EXPECT_TRUE(w->m_goButton->IsEnabled());
    EXPECT_EQ(ReadFile(folder + "/rain.grb"), "OLD RAIN") << "nothing of the failed transfer is placed";
    EXPECT_EQ(Close(w), 0) << "the earlier success does not stand for the failed transfer";
    EXPECT_EQ(files.Item(0).LocalPath, "");

    // A name that climbs out of the folder: refused with its reason, the
    // other file arrives, and nothing is written elsewhere.
    rec.results.clear();
    wxRemoveFile(folder + "/wind.grb");
    CActiveFileList again;
    AddActive(again, File("W", "wind.grb", 0));
    AddActive(again, File("R", "rain.grb", 0));
    w = Start(again, 2);
    ASSERT_NE(w, nullptr);
    sim.SetFaults({"send-name=wind.grb:../../wind.grb.bz2"});
    ASSERT_TRUE(Go(w));
    EXPECT_TRUE(w->m_log->GetValue().Contains("Received file name '../../wind.grb.bz2' is not a safe file name"))
        << w->m_log->GetValue();
    EXPECT_TRUE(w->m_log->GetValue().Contains("Failure retrieving '/gfs/wind.grb'") ||
                w->m_log->GetValue().Contains("'/gfs/wind.grb' was refused"))
        << w->m_log->GetValue();
    EXPECT_EQ(ReadFile(folder + "/rain.grb"), rain);
    Close(w);
    EXPECT_EQ(again.Item(0).LocalPath, "") << "the refused file is not taken as arrived";
    EXPECT_EQ(again.Item(1).LocalPath, folder + "/rain.grb");
    wxArrayString everything;
    wxDir::GetAllFiles(dir.Path(), &everything, "wind.grb*");
    EXPECT_TRUE(everything.empty()) << everything[0];
}

// One file of a combining batch does not arrive: the files that did are
// placed, processed and put on the clipboard all the same, the combined GRIB
// file is rebuilt from this transfer's GRIB files alone (never from an older
// copy of the missing one), and the user is told both. A file that arrived
// but cannot be placed, or was corrupt and could not be decompressed, ends
// the transfer with errors (the outcome event says 0).
TEST_F(XferTransfer, PartialTransferProcessesWhatArrived)
{
    struct Case {
        const char* name;
        bool placeFails;     // rain.grb's final path is taken by a folder
        int outcome;         // the outcome event's int
    };
    const Case cases[] = {
        {"a file that cannot be placed", true, 0},
        {"a corrupt compressed file", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec.results.clear();
        tw::test::ResetUi();
        launcher.Clear();
        SetClipboardText("before");
        const wxString batch = dir / (c.placeFails ? "placing" : "corrupt");
        ASSERT_TRUE(wxFileName::Mkdir(batch, 0777, wxPATH_MKDIR_FULL));
        const wxString combined = batch + "/all.grb";
        WriteFile(combined, "OLD COMBINED");
        const std::string wind = SampleBytes(4000, 41);
        sim.Serve("wind.grb", wind);
        sim.Serve("forecast.txt", "Seas 2 m.\n");
        if (c.placeFails) {
            sim.Serve("rain.grb", SampleBytes(3000, 42));
            ASSERT_TRUE(wxMkdir(batch + "/rain.grb"));
        } else {
            std::string bad = SampleBytes(3000, 43);
            bad.replace(0, 3, "BZh");
            sim.Serve("rain.grb.bz2", bad);
        }
        CActiveFileList files;
        for (const char* path : {"/gfs/wind.grb", "/gfs/rain.grb", "/text/forecast.txt"}) {
            Active a;
            a.id = path;
            a.path = path;
            a.folder = batch;
            a.runstat = 4;
            a.runwexpg = 1;
            a.combine = 1;
            a.gribfile = combined;
            AddActive(files, a);
        }
        if (!c.placeFails)
            WriteFile(batch + "/rain.grb", "OLD RAIN");   // an older copy of the file that fails
        FileXfer* w = Start(files, 2);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(Go(w));
        EXPECT_EQ(w->GetState(), 1);
        EXPECT_TRUE(w->m_log->GetValue().EndsWith(
            "Transfer ended with errors: some files were not received or placed.\n"))
            << w->m_log->GetValue();
        EXPECT_EQ(Close(w), c.outcome);

        EXPECT_EQ(ReadFile(batch + "/wind.grb"), wind);
        EXPECT_EQ(ReadFile(combined), wind) << "rebuilt from what arrived, nothing older";
        const TransferOutcome& outcome = wxGetApp().LastTransferOutcome();
        EXPECT_TRUE(outcome.ran);
        EXPECT_FALSE(outcome.complete);
        EXPECT_EQ(std::vector<wxString>(outcome.missing.begin(), outcome.missing.end()),
                  std::vector<wxString>({"/gfs/rain.grb"}));
        EXPECT_EQ(std::vector<wxString>(outcome.keptCombined.begin(), outcome.keptCombined.end()),
                  std::vector<wxString>({combined}));
        EXPECT_TRUE(tw::test::BoxShown("This file did not arrive:\r\n    rain.grb\r\n")) << outcome.notice;
        EXPECT_TRUE(tw::test::BoxShown("The combined GRIB file " + combined
                                       + " was rebuilt from the GRIB files that arrived; without:\r\n    rain.grb\r\n"))
            << outcome.notice;
        // The text file opens in the chart viewer; the GRIB file of the
        // combining batch is not opened alone, the rebuilt combined file is.
        EXPECT_EQ(launcher.Starts(),
                  std::vector<std::vector<wxString>>({{apps.Chart()},
                                                      {apps.Chart(), batch + "/forecast.txt"},
                                                      {apps.Grib()},
                                                      {apps.Grib(), combined}}));
        EXPECT_EQ(ClipboardText(), batch + "/wind.grb\r\n" + batch + "/forecast.txt\r\n");
        std::map<wxString, wxString> local;   // by item
        for (size_t i = 0; i < files.GetCount(); ++i)
            local[files.Item(i).FileID] = files.Item(i).LocalPath;
        EXPECT_EQ(local["/gfs/wind.grb"], batch + "/wind.grb");
        EXPECT_EQ(local["/gfs/rain.grb"], "");
        EXPECT_EQ(local["/text/forecast.txt"], batch + "/forecast.txt");
    }
}

TEST_F(XferTransfer, ThroughTheDialerService)
{
    const CDialService::Waits saved = CDialService::GetWaits();
    CDialService::Waits quickWaits;
    quickWaits.tickMs = 100;
    quickWaits.settleMs = 50;
    CDialService::SetWaits(quickWaits);
    ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
    tw::test::DialerSim dialer;
    ASSERT_TRUE(dialer.Running());
    {
        CUserConfig config;
        config.WriteText("Connection/connection", "Dezavuviv Odirir");
        config.WriteText("Gateway/autodialhost", "127.0.0.1");
        config.WriteInt("Gateway/autodialport", dialer.Port());
    }
    sim.Serve("wind.grb", "wind by satellite");
    CActiveFileList files;
    AddActive(files, File("W", "wind.grb"));
    FileXfer* w = Start(files, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wxGetApp().transferRate, 600) << "the dialer's stored rate";
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(w->GetState(), 2) << w->m_log->GetValue();
    EXPECT_TRUE(w->m_log->GetValue().Contains("Connecting through Dezavuviv Odirir")) << w->m_log->GetValue();
    EXPECT_TRUE(dialer.WaitForRequest("dialup"));
    EXPECT_TRUE(dialer.WaitForRequest("hangup"));
    EXPECT_EQ(Close(w), 1);
    EXPECT_EQ(ReadFile(folder + "/wind.grb"), "wind by satellite");
    EXPECT_EQ(ClipboardText(), folder + "/wind.grb\r\n");
    CDialService::SetWaits(saved);
}

// Force Disconnect after files arrived: they are recorded and placed (the
// combined GRIB file made from them), but no viewer or program is started and
// the clipboard keeps what the user had there.
TEST_F(XferTransfer, ForceDisconnectKeepsWhatArrivedAndStartsNothing)
{
    const std::string wind = SampleBytes(3000, 51);
    sim.Serve("wind.grb", wind);
    sim.Serve("forecast.txt", "Seas 1 m.\n");
    const wxString combined = folder + "/all.grb";
    CActiveFileList files;
    for (const char* path : {"/gfs/wind.grb", "/text/forecast.txt"}) {
        Active a;
        a.id = path;
        a.path = path;
        a.folder = folder;
        a.runstat = 4;
        a.runwexpg = 1;
        a.combine = 1;
        a.gribfile = combined;
        AddActive(files, a);
    }
    FileXfer* w = Start(files, 2);
    ASSERT_NE(w, nullptr);
    wxWeakRef<FileXfer> ref(w);
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(w->GetState(), 2) << w->m_log->GetValue();
    Click(w, FileXfer::ID_MENUITEM_FORCE_DISCONNECT, wxEVT_MENU);
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }, 10000));
    EXPECT_EQ(rec.results[0], 0);

    std::map<wxString, wxString> local;   // by item
    for (size_t i = 0; i < files.GetCount(); ++i)
        local[files.Item(i).FileID] = files.Item(i).LocalPath;
    EXPECT_EQ(local["/gfs/wind.grb"], folder + "/wind.grb");
    EXPECT_EQ(local["/text/forecast.txt"], folder + "/forecast.txt");
    EXPECT_EQ(ReadFile(combined), wind);
    EXPECT_TRUE(launcher.Starts().empty());
    EXPECT_EQ(ClipboardText(), "before");

    // A later transfer that is not forced hands its files on again.
    rec.results.clear();
    w = Start(files, 2);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Go(w));
    EXPECT_EQ(Close(w), 1);
    EXPECT_FALSE(launcher.Starts().empty());
    EXPECT_EQ(ClipboardText(), folder + "/wind.grb\r\n" + folder + "/forecast.txt\r\n");
}

// A transfer in which a file arrived but could not be placed, or arrived
// corrupt and could not be decompressed, ends with errors; the rate it
// measured is stored all the same.
TEST_F(XferTransfer, PartialTransferStoresItsMeasuredRate)
{
    struct Case {
        const char* name;
        bool placeFails;
    };
    for (const Case& c : {Case{"a file that cannot be placed", true}, Case{"a corrupt compressed file", false}}) {
        SCOPED_TRACE(c.name);
        WriteRate("102400 600");
        rec.results.clear();
        const wxString batch = dir / (c.placeFails ? "rate-placing" : "rate-corrupt");
        ASSERT_TRUE(wxFileName::Mkdir(batch, 0777, wxPATH_MKDIR_FULL));
        sim.SetFaults({"rate=40000"});
        sim.Serve("slow.grb", SampleBytes(80000, 52));
        if (c.placeFails) {
            sim.Serve("bad.grb", SampleBytes(2000, 53));
            ASSERT_TRUE(wxMkdir(batch + "/bad.grb"));
        } else {
            std::string bad = SampleBytes(2000, 54);
            bad.replace(0, 3, "BZh");
            sim.Serve("bad.grb.bz2", bad);
        }
        CActiveFileList files;
        for (const char* name : {"slow.grb", "bad.grb"}) {
            Active a = File(name, name, 0);
            a.folder = batch;
            AddActive(files, a);
        }
        FileXfer* w = Start(files, 2);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(Go(w));
        EXPECT_EQ(w->GetState(), 1) << w->m_log->GetValue();
        EXPECT_FALSE(w->m_log->GetValue().Contains("Transfer done.")) << w->m_log->GetValue();
        const wxString stored = ReadKey("Misc/xfer_rate");
        long network = 0;
        ASSERT_TRUE(stored.BeforeFirst(' ').ToLong(&network)) << stored;
        EXPECT_GT(network, 20000) << stored;
        EXPECT_LT(network, 60000) << stored;
        EXPECT_EQ(w->GetRate(), network) << "the window goes by the measured rate";
        EXPECT_EQ(Close(w), 0);
        EXPECT_EQ(wxGetApp().transferRate, network) << "the application keeps what the window reported";
        EXPECT_EQ(ReadFile(batch + "/slow.grb"), SampleBytes(80000, 52));
        std::map<wxString, wxString> local;   // by item
        for (size_t i = 0; i < files.GetCount(); ++i)
            local[files.Item(i).FileID] = files.Item(i).LocalPath;
        EXPECT_EQ(local["slow.grb"], batch + "/slow.grb");
        EXPECT_EQ(local["bad.grb"], "");
    }
}

// The download folder removed while its files arrive: what arrived is
// written back and placed, and the transfer is done. When the folder cannot
// be made again (a file took its place), the log does not end as if the
// transfer was done, the caller hears 0 and the notice names every file.
TEST_F(XferTransfer, DownloadFolderRemovedWhileFilesArrive)
{
    struct Case {
        const char* name;
        bool fileInItsPlace;
    };
    for (const Case& c : {Case{"removed", false}, Case{"a file in its place", true}}) {
        SCOPED_TRACE(c.name);
        rec.results.clear();
        tw::test::ResetUi();
        const wxString batch = dir / (c.fileInItsPlace ? "taken" : "removed");
        ASSERT_TRUE(wxFileName::Mkdir(batch, 0777, wxPATH_MKDIR_FULL));
        sim.SetFaults({"rate=100000"});
        std::map<wxString, std::string> served;
        served["wind.grb"] = sim.Serve("wind.grb", SampleBytes(3000, 71));
        served["rain.grb"] = sim.Serve("rain.grb", SampleBytes(4000, 72));
        served["swell.grb"] = sim.Serve("swell.grb", SampleBytes(150000, 73));   // about 1.5 s
        CActiveFileList files;
        for (const char* name : {"wind.grb", "rain.grb", "swell.grb"}) {
            Active a = File(name, name, 0);
            a.folder = batch;
            AddActive(files, a);
        }
        FileXfer* w = Start(files, 2);
        ASSERT_NE(w, nullptr);
        Click(w, FileXfer::ID_GO_BUTTON);
        // The first two files are in the temporary folder, the last one is
        // being written there.
        ASSERT_TRUE(tw::test::WaitFor([&] { return w->m_log->GetValue().Contains("Retrieving 'swell.grb'"); }, 10000))
            << w->m_log->GetValue();
        std::filesystem::remove_all(std::filesystem::path(batch.fn_str().data()));
        if (c.fileInItsPlace)
            WriteFile(batch, "not a folder");
        ASSERT_TRUE(ReachesEnd(w));
        const wxString log = w->m_log->GetValue();
        if (!c.fileInItsPlace) {
            EXPECT_EQ(w->GetState(), 2) << log;
            EXPECT_TRUE(log.EndsWith("Transfer done.\n")) << log;
            EXPECT_EQ(Close(w), 1);
            for (size_t i = 0; i < files.GetCount(); ++i) {
                const CActiveFile& f = files.Item(i);
                EXPECT_EQ(f.LocalPath, batch + "/" + f.FileID);
                EXPECT_TRUE(wxFileExists(f.LocalPath) && ReadFile(f.LocalPath) == served[f.FileID]) << f.FileID;
            }
            EXPECT_TRUE(tw::test::Ui().boxes.empty()) << tw::test::Ui().boxes.front().message;
        } else {
            EXPECT_EQ(w->GetState(), 1) << log;
            EXPECT_FALSE(log.Contains("Transfer done.")) << log;
            EXPECT_TRUE(log.EndsWith("Transfer ended with errors: some files were not received or placed.\n")) << log;
            EXPECT_EQ(Close(w), 0);
            EXPECT_TRUE(tw::test::BoxShown("These files did not arrive:\r\n    wind.grb\r\n    rain.grb\r\n    "
                                           "swell.grb\r\n"))
                << wxGetApp().LastTransferOutcome().notice;
            EXPECT_EQ(ReadFile(batch), "not a folder");
        }
    }
}

// The close box while the worker waits for the dialer's answer to a dial,
// which only the main loop reads: the window goes at once, the main loop runs
// on (the dialer is answered and hung up), and the outcome reaches the caller
// only once the worker has ended, without the caller's handler waiting.
TEST_F(XferTransfer, CloseDuringADialHandsTheOutcomeOnOnceTheWorkerEnded)
{
    const CDialService::Waits saved = CDialService::GetWaits();
    CDialService::Waits quickWaits;
    quickWaits.tickMs = 100;
    quickWaits.settleMs = 50;
    CDialService::SetWaits(quickWaits);
    ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
    tw::test::DialerSim dialer({"--dial-delay", "1500"});
    ASSERT_TRUE(dialer.Running());
    {
        CUserConfig config;
        config.WriteText("Connection/connection", "Dezavuviv Odirir");
        config.WriteText("Gateway/autodialhost", "127.0.0.1");
        config.WriteInt("Gateway/autodialport", dialer.Port());
        config.WriteInt("Gateway/connection_timeout", 30);
    }
    sim.Serve("wind.grb", "wind by satellite");
    CActiveFileList files;
    AddActive(files, File("W", "wind.grb"));
    FileXfer* w = Start(files, 1);
    ASSERT_NE(w, nullptr);
    wxWeakRef<FileXfer> ref(w);
    int liveAtDone = -1;
    long handlerMs = -1;
    rec.onDone = [&](wxCommandEvent& e) {
        liveAtDone = FileXfer::LiveWorkers();
        wxStopWatch watch;
        wxGetApp().FileTransferEpilogue(files, e.GetInt() != 0, nullptr);
        handlerMs = watch.Time();
    };
    Click(w, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(dialer.WaitForRequest("dialup"));
    EXPECT_TRUE(w->InitiateWindowClose(true));
    EXPECT_FALSE(w->IsShown());
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }, 20000));
    EXPECT_EQ(rec.results[0], 0);
    EXPECT_EQ(liveAtDone, 0) << "the outcome came while the worker still ran";
    EXPECT_LT(handlerMs, 1000) << "the done-handler waited for the worker";
    EXPECT_TRUE(dialer.WaitForRequest("hangup"));
    EXPECT_FALSE(wxFileExists(folder + "/wind.grb"));
    CDialService::SetWaits(saved);
}

// A termination signal (SIGTERM, SIGHUP: the session ends) while a transfer
// runs: the transfer window is closed as its close box closes it and waited
// for, so what arrived is placed and the outcome reaches the window that
// asked, and only then the main window is closed.
class SignalClose : public XferTransfer
{
protected:
    void SetUp() override
    {
        XferTransfer::SetUp();
        // The close waits as the program's own: the close box gives the
        // worker 100 ms to end by itself before it is stopped by force.
        FileXfer::SetCloseTimings(100, 300);
        main = new wxFrame(nullptr, wxID_ANY, "Main Window");
        main->Show();
        app.topWindow = main;
    }
    void TearDown() override
    {
        // The end of the program as OnExit makes it (this also ends the
        // signal close's own wait, which would end the process).
        app.Shutdown();
        tw::DismissMessageBoxes(false);
        tw::test::ResetUi();
        if (main)
            main->Destroy();
        app.topWindow = nullptr;
        XferTransfer::TearDown();
    }

    // Waits until the main window is gone, then ends as OnExit would.
    bool ProgramEnds(int timeoutMs)
    {
        const bool ended = tw::test::WaitFor([&] { return !main; }, timeoutMs);
        app.Shutdown();
        return ended;
    }

    static int64_t NowMs()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    TidewrightApp& app = wxGetApp();
    wxWeakRef<wxFrame> main;
};

TEST_F(SignalClose, WhatArrivedIsPlacedBeforeTheProgramEnds)
{
    sim.SetFaults({"rate=15000"});
    const std::string first = SampleBytes(2000, 61);
    sim.ServeWithCompressed("first.grb", first);
    for (const char* name : {"second.grb", "third.grb", "fourth.grb"})
        sim.ServeWithCompressed(name, SampleBytes(60000, 62));
    CActiveFileList files;
    for (const char* name : {"first.grb", "second.grb", "third.grb", "fourth.grb"})
        AddActive(files, File(name, name));
    FileXfer* w = Start(files, 1);
    ASSERT_NE(w, nullptr);
    wxWeakRef<FileXfer> ref(w);
    EXPECT_EQ(w->GetParent(), main.get());
    Click(w, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor([&] { return w->m_log->GetValue().Contains("Retrieving 'second.grb.bz2'"); },
                                  15000))
        << w->m_log->GetValue();
    EXPECT_TRUE(wxFileExists(folder + "/tmp/first.grb.bz2")) << "arrived whole, not yet placed";

    app.CloseOnSignal();
    ASSERT_TRUE(ProgramEnds(4000)) << "the main window was closed";
    EXPECT_FALSE(ref) << "the transfer window went before it";
    ASSERT_EQ(rec.results.size(), 1u) << "the outcome reached the window that asked for the transfer";
    EXPECT_EQ(rec.results[0], 0);
    EXPECT_TRUE(FileXfer::WaitForWorkers(5000));

    EXPECT_TRUE(ReadFile(folder + "/first.grb") == first) << "decompressed and placed";
    EXPECT_FALSE(wxFileExists(folder + "/tmp/first.grb.bz2"));
    EXPECT_TRUE(wxFileExists(folder + "/tmp/second.grb.bz2")) << "the file under way stays for a resume";
    EXPECT_FALSE(wxFileExists(folder + "/second.grb"));
    std::map<wxString, wxString> local;   // by item
    for (size_t i = 0; i < files.GetCount(); ++i)
        local[files.Item(i).FileID] = files.Item(i).LocalPath;
    EXPECT_EQ(local["first.grb"], folder + "/first.grb") << "the epilogue ran";
    EXPECT_EQ(local["second.grb"], "");
}

// The signal comes while a box of the desktop's own is up (here the resume
// question): the box is closed as its close box closes it, the partial file
// stays, and the program ends at once, not after the 5 s that a window which
// does not close is given. A box still up 2.6 s after the signal is answered
// with Escape, so that the test sees the end in time to tell.
TEST_F(SignalClose, AMessageBoxUpDoesNotHoldTheEndBack)
{
    if (tw::FindExecutable("xdotool").empty())
        GTEST_SKIP() << "xdotool is not installed";
    CActiveFileList files;
    std::string partial;
    FileXfer* w = StartWithPartialWind(files, 63, partial);
    ASSERT_NE(w, nullptr);

    app.InstallTerminationSignals();
    tw::SetMessageBoxHandler({});   // the real box
    std::atomic<bool> shown {false}, escaped {false};
    std::atomic<int64_t> signalledMs {0};
    std::thread helper([&] {
        shown = tw::test::WindowShown("Notice", 20000);
        if (!shown)
            return;
        signalledMs = NowMs();
        kill(getpid(), SIGTERM);
        while (NowMs() - signalledMs < 2600 && tw::test::WindowShown("Notice", 0))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (tw::test::WindowShown("Notice", 0))
            escaped = tw::test::EscapeOnWindow("Notice");
    });
    Click(w, FileXfer::ID_GO_BUTTON);
    const bool ended = ProgramEnds(4000);
    const int64_t endedMs = NowMs();
    helper.join();

    ASSERT_TRUE(shown) << "the resume question came";
    EXPECT_FALSE(escaped) << "the box was still up 2.6 s after the signal";
    ASSERT_TRUE(ended);
    EXPECT_LT(endedMs - signalledMs, 2500) << "a window that does not close is given 5 s";
    ASSERT_EQ(rec.results.size(), 1u);
    EXPECT_EQ(rec.results[0], 0);
    EXPECT_TRUE(FileXfer::WaitForWorkers(5000));
    EXPECT_EQ(ReadFile(folder + "/tmp/wind.grb.bz2"), partial) << "a question cancelled by the signal keeps it";
    EXPECT_FALSE(wxFileExists(folder + "/wind.grb"));
}

// The whole road as the Library window runs it, with the application started
// as a user starts it.
class XferRoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startup_test::ResetApp();
        ASSERT_TRUE(sim.Running());
    }
    void TearDown() override
    {
        if (FileXfer* w = FindXfer())
            CloseAndWait(w);
        startup_test::ResetApp();
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    QuickClose quick;
    GatewaySim sim;
};

TEST_F(XferRoad, LibraryDownloadFromStartToClipboard)
{
    using startup_test::InsertProducts;
    ASSERT_TRUE(CInit::InitializeAppFolders());
    const wxString catalogue = tw::UserDataDir() + "/DB/zir.db";
    startup_test::Exec(catalogue, "DELETE FROM products");
    InsertProducts(catalogue, {{0, 0, 0, "GRIB", "Atlantic", "Wind", "TW-WIND", "Wind", "/gfs/wind.grb"},
                               {0, 0, 0, "GRIB", "Atlantic", "Waves", "TW-WAVE", "Waves", "/gfs/waves.grb"},
                               {1, 0, 0, "Text", "Atlantic", "Forecast", "TW-TEXT", "Forecast", "/text/forecast.txt"},
                               {2, 0, 0, "Charts", "Atlantic", "Surface", "TW-CHART", "Chart", "/charts/surface.png"},
                               {1, 0, 0, "Text", "Atlantic", "Gone", "TW-GONE", "Gone", "/text/refused.txt"}});
    startup_test::WriteSetting("General/DefaultView", "Batch");
    sim.Configure();
    WriteRate("102400 600");
    ASSERT_TRUE(app.Startup());
    auto* library = dynamic_cast<BatchWindow*>(app.topWindow);
    ASSERT_NE(library, nullptr);

    // One user batch: chart viewer for text and images, GRIB viewer, and one
    // combined GRIB file.
    app.GetUserDb()->ExecuteUpdate("UPDATE batches SET status=0 WHERE ID>1");
    const wxString folder = home.Documents() + "/Weather Files/Road";
    ASSERT_TRUE(wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL));
    CBatch batch;
    batch.info.title = "Road";
    batch.info.folder = folder;
    batch.info.runstat = 4;
    batch.info.runwexpg = 1;
    batch.info.bCombineGribs = 1;
    batch.info.gribfile = folder + "/all.grb";
    for (const char* id : {"TW-WIND", "TW-WAVE", "TW-TEXT", "TW-CHART", "TW-GONE"}) {
        CFileInfo item;
        ASSERT_TRUE(app.FindFileInfo(item, id)) << id;
        item.info.status = 1;
        batch.items.Add(item);
    }
    const int batchId = CBatchFolder::Instance()->AddBatch(&batch, -1);
    ASSERT_GT(batchId, 2);

    // Older files: the refused item's must not pass for new, the old
    // combined file is replaced.
    WriteFile(folder + "/refused.txt", "OLD REFUSED");
    WriteFile(folder + "/all.grb", "OLD COMBINED");
    const std::string wind = SampleBytes(3000, 1), waves = SampleBytes(5000, 2);
    sim.Serve("wind.grb", wind);
    sim.ServeWithCompressed("waves.grb", waves);
    sim.Serve("forecast.txt", "Winds NW 20 kt.\n");
    sim.Serve("surface.png", "PNG bytes");
    sim.Serve("refused.txt", "NEW REFUSED");
    sim.SetFaults({"refuse=refused.txt"});
    double basicLat = 0, basicLon = 0;
    int basicWidth = 0;
    tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), basicLat, basicLon, basicWidth);

    RecordingLauncher launcher;
    FakeApps apps;
    SetClipboardText("before");

    wxCommandEvent start(wxEVT_MENU);
    library->OnStart(start);
    FileXfer* w = FindXfer();
    ASSERT_NE(w, nullptr);
    wxWeakRef<FileXfer> ref(w);
    EXPECT_EQ(w->GetTitle(), "File Transfer and Control Status");
    EXPECT_FALSE(library->IsEnabled()) << "the transfer window is modal";
    EXPECT_EQ(w->m_priceLabel->GetLabelText(), "Download Price: $6.25");
    EXPECT_EQ(w->m_approxSize->GetLabelText(), "500Kb");
    EXPECT_EQ(w->m_approxTime->GetLabelText(), "00:05") << "500 KB at the stored 102400 bytes a second";

    Click(w, FileXfer::ID_GO_BUTTON);
    ASSERT_TRUE(ReachesEnd(w));
    const wxString log = w->m_log->GetValue();
    EXPECT_EQ(w->GetState(), 2) << log;
    for (const char* line : {"Retrieving 'wind.grb'.", "Retrieving 'waves.grb.bz2'.", "Retrieving 'forecast.txt'.",
                             "Transfer done."})
        EXPECT_TRUE(log.Contains(line)) << line << "\n" << log;
    EXPECT_TRUE(w->m_goButton->IsEnabled());
    EXPECT_EQ(w->Queue()->MaxOutstanding(), 1) << "never more than one update waiting";
    EXPECT_LT(w->m_updatesHandled, w->Queue()->Posted() + 1);
    w->Raise();
    tw::test::Screenshot(w, wxFileName::GetTempDir() + "/tw-transfer-window.png");

    Click(w, FileXfer::ID_CLOSE_BUTTON);
    ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 10000));
    tw::test::Pump(50);
    EXPECT_TRUE(library->IsEnabled());

    // Placed, decompressed and combined.
    EXPECT_EQ(ReadFile(folder + "/wind.grb"), wind);
    EXPECT_EQ(ReadFile(folder + "/waves.grb"), waves);
    EXPECT_EQ(ReadFile(folder + "/forecast.txt"), "Winds NW 20 kt.\n");
    EXPECT_EQ(ReadFile(folder + "/refused.txt"), "OLD REFUSED");
    EXPECT_EQ(ReadFile(folder + "/all.grb"), wind + waves) << "this transfer's GRIB files, in sorted order";

    // Viewers, each started once without a file before its first file.
    const std::vector<std::vector<wxString>> expected = {
        {apps.Chart()},
        {apps.Chart(), folder + "/surface.png"},
        {apps.Chart(), folder + "/forecast.txt"},
        {apps.Grib()},
        {apps.Grib(), folder + "/all.grb"},
    };
    EXPECT_EQ(launcher.Starts(), expected);

    // The clipboard has what arrived, in the processing order; the refused
    // item's older file is not among them.
    EXPECT_EQ(ClipboardText(), folder + "/wind.grb\r\n" + folder + "/waves.grb\r\n" + folder + "/surface.png\r\n"
                                   + folder + "/forecast.txt\r\n");
    EXPECT_EQ(app.transferList.GetCount(), 0u) << "the epilogue drained the list";
    // The user is told which file did not arrive.
    // The user is told by its catalogue title, with the file name after.
    EXPECT_TRUE(tw::test::BoxShown("This file did not arrive:\r\n    Gone: TW-GONE.grb\r\n"));
    EXPECT_FALSE(app.LastTransferOutcome().complete);

    // The Library window sent the home area and, the area being unchanged,
    // got none back: the Basic batch's area stays.
    bool pos = false;
    for (const std::string& line : sim.ReceivedLines())
        pos = pos || line.rfind("pos ", 0) == 0;
    EXPECT_TRUE(pos);
    double lat = 0, lon = 0;
    int width = 0;
    tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width);
    EXPECT_EQ(lat, basicLat);
    EXPECT_EQ(width, basicWidth);

    // Opening one downloaded item from a list: the GRIB viewer once without
    // a file, then with it; the path on the clipboard.
    launcher.Clear();
    app.ViewItemGlobal("TW-WIND", batchId);
    const std::vector<std::vector<wxString>> view = {{apps.Grib()}, {apps.Grib(), folder + "/wind.grb"}};
    EXPECT_EQ(launcher.Starts(), view);
    EXPECT_EQ(ClipboardText(), folder + "/wind.grb\r\n");
    launcher.Clear();
    app.ViewItemGlobal("NOT-THERE", batchId);
    EXPECT_TRUE(tw::test::BoxShown("Cannot find in product list: NOT-THERE"));
    EXPECT_TRUE(launcher.Starts().empty());
}
