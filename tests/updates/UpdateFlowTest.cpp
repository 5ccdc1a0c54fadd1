// The whole product-database update against the gateway stand-in: the
// dialog's check, the download through the transfer window, the restart
// question, and the installation at the next start.
#include <functional>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dir.h>
#include <wx/textctrl.h>

#include "tests/updates/AppUpdateFixture.h"
#include "windows/transfer/filexfer.h"
#include "windows/transfer/updatestatus.h"

using namespace update_test;
using tw::test::BoxShown;
using tw::test::WaitFor;

namespace {

class UpdateFlow : public AppUpdateFixture
{
protected:
    void SetUp() override
    {
        AppUpdateFixture::SetUp();
        FileXfer::SetCloseTimings(10, 10);
        app.restartRequested = false;
        app.transferList.Clear();
    }
    void TearDown() override
    {
        app.restartRequested = false;
        app.transferList.Clear();
    }

    static void Click(UpdateStatus& d, int id)
    {
        auto* button = dynamic_cast<wxButton*>(d.FindWindow(id));
        ASSERT_TRUE(button && button->IsEnabled()) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }

    // Runs the flow; `steps` drive the update dialog inside its modal loop.
    void RunFlow(const std::function<void(UpdateStatus&)>& steps)
    {
        bool driven = false;
        wxTheApp->CallAfter([&] {
            auto* d = dynamic_cast<UpdateStatus*>(wxWindow::FindWindowById(UpdateStatus::ID_UPDATESTATUS));
            ASSERT_NE(d, nullptr);
            ASSERT_TRUE(d->IsModal());
            driven = true;
            steps(*d);
        });
        app.OnUpdateDB();
        EXPECT_TRUE(driven);
    }

    // Check for updates, then OK.
    void CheckThenOk()
    {
        RunFlow([](UpdateStatus& d) {
            Click(d, UpdateStatus::ID_CHECK_BUTTON);
            ASSERT_TRUE(WaitFor([&] { return d.FindWindow(UpdateStatus::ID_OK_BUTTON)->IsEnabled(); }, 20000));
            Click(d, UpdateStatus::ID_OK_BUTTON);
        });
    }

    static FileXfer* TransferWindow()
    {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* x = dynamic_cast<FileXfer*>(w))
                if (x->IsShown())
                    return x;
        return nullptr;
    }

    // Runs the update's transfer to its end and closes its window.
    void RunTransfer()
    {
        FileXfer* x = TransferWindow();
        ASSERT_NE(x, nullptr);
        ASSERT_TRUE(x->StartTransfer());
        ASSERT_TRUE(WaitFor([&] { return x->GetState() == 1 || x->GetState() == 2; }, 30000));
        ASSERT_TRUE(WaitFor([&] { return !x->HasWorker(); }, 10000));
        x->InitiateWindowClose(false);
        ASSERT_TRUE(WaitFor([] { return TransferWindow() == nullptr; }, 10000));
        tw::test::Pump(200);
    }

    wxString RestartText(const char* what)
    {
        return wxString("The Product Database ") + what + " You must restart " + wxTheApp->GetAppDisplayName() +
               " to complete the update.\r\n\r\nRestart NOW?";
    }
};

} // namespace

TEST_F(UpdateFlow, NothingNewerDownloadsNothing)
{
    sim.SetFaults({"update-zir=500", "update-mz=500"});
    CheckThenOk();
    EXPECT_EQ(TransferWindow(), nullptr);
    EXPECT_EQ(app.transferList.GetCount(), 0u);
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
}

// A newer catalogue is fetched into the updates folder, the restart is
// offered, and the next start installs it.
TEST_F(UpdateFlow, NewerCatalogueIsFetchedAndInstalledAtTheNextStart)
{
    Offer("zir.db", 501, Newer("zir.db", 501));
    const long compressed = static_cast<long>(wxFileName::GetSize(sim.Root() + "/zir.db.bz2").GetValue());
    CheckThenOk();

    ASSERT_EQ(app.transferList.GetCount(), 1u);
    const FileInfo& entry = app.transferList.Item(0);
    EXPECT_EQ(entry.serverPath, "/zir.db.bz2");
    EXPECT_EQ(entry.compression, "");
    EXPECT_EQ(entry.price, "0");
    EXPECT_EQ(entry.finalPath, updates + "/zir.db.bz2");
    EXPECT_EQ(app.transferList.xferMode, 3);
    EXPECT_EQ(app.transferList.price, 0.0);
    EXPECT_EQ(app.transferList.compressedSize, compressed / 1024);
    EXPECT_EQ(app.transferList.rawSize, compressed / 1024);

    tw::test::AnswerBox(wxYES);
    RunTransfer();
    EXPECT_TRUE(BoxShown(RestartText("update succeded.")));
    EXPECT_TRUE(app.restartRequested);
    EXPECT_EQ(Version(updates + "/zir.db"), 501);
    EXPECT_EQ(Version(dbDir + "/zir.db"), kInstalledVersion);

    // The next start.
    CInit::InstallDatabaseUpdates(false);
    EXPECT_EQ(Version(dbDir + "/zir.db"), 501);
    EXPECT_FALSE(wxFileExists(updates + "/zir.db"));
}

// A newer marine-zones database: the user's selected stations and zones are
// carried over into it when the next start installs it.
TEST_F(UpdateFlow, NewerMarineZonesKeepTheUsersSelections)
{
    const wxString installed = dbDir + "/MarineZones.db";
    Exec(installed, "UPDATE Buoys SET selected=1 WHERE StationID IN ('41081','41100')");
    Exec(installed, "UPDATE MZones SET selected=1 WHERE zcode='AMZ013'");
    Offer("MarineZones.db", 501,
          Newer("MarineZones.db", 501,
                "UPDATE Buoys SET selected=0; UPDATE MZones SET selected=0; DELETE FROM Buoys WHERE "
                "StationID='41100'"));
    CheckThenOk();
    ASSERT_EQ(app.transferList.GetCount(), 1u);
    EXPECT_EQ(app.transferList.Item(0).serverPath, "/MarineZones.db.bz2");

    RunTransfer();   // the restart is declined (the default answer)
    EXPECT_TRUE(BoxShown(RestartText("update succeded.")));
    EXPECT_FALSE(app.restartRequested);

    CInit::InstallDatabaseUpdates(false);
    EXPECT_EQ(Version(installed), 501);
    EXPECT_EQ(tw::test::QueryTexts(installed, "SELECT StationID FROM Buoys WHERE selected=1"), std::vector<wxString>{"41081"});
    EXPECT_EQ(tw::test::QueryTexts(installed, "SELECT zcode FROM MZones WHERE selected=1"), std::vector<wxString>{"AMZ013"});
}

// A download that does not deliver a whole database is reported as a
// failure: no restart is offered and the installed databases stay as they are.
TEST_F(UpdateFlow, RefusedOrCorruptUpdateIsAFailure)
{
    const std::string good = Newer("zir.db", 501);
    const struct {
        const char* name;
        std::function<void()> serve;
        bool failureBox;   // the transfer itself ended well; the check found the fault
    } cases[] = {
        {"refused by the server", [&] {
             Offer("zir.db", 501, good);
             offers.push_back("refuse=zir.db.bz2");
             sim.SetFaults(offers);
         }, false},
        {"not a database inside the bzip2 file", [&] { Offer("zir.db", 501, std::string(50000, 'z')); }, true},
        {"an empty database file", [&] { Offer("zir.db", 501, ""); }, true},
        {"a broken bzip2 file", [&] {
             Offer("zir.db", 501, good);
             const std::string bz = tw::test::ReadFile(sim.Root() + "/zir.db.bz2");
             tw::test::WriteFile(sim.Root() + "/zir.db.bz2", bz.substr(0, bz.size() / 2));
         }, false},
        {"cut off by the server", [&] {
             Offer("zir.db", 501, good);
             offers.push_back("cut-after=1000");
             sim.SetFaults(offers);
         }, false},
        {"a catalogue without a column the load reads", [&] {
             Offer("zir.db", 501, Newer("zir.db", 501, "ALTER TABLE products DROP COLUMN RegionIdx"));
         }, true},
        {"a catalogue whose products is an endless view", [&] {
             Offer("zir.db", 501,
                   Newer("zir.db", 501,
                         "ALTER TABLE products RENAME TO p0; CREATE VIEW products AS WITH RECURSIVE n(i) AS "
                         "(SELECT 1 UNION SELECT i + 1 FROM n) SELECT p0.* FROM p0, n ORDER BY i DESC"));
         }, true},
    };
    const std::string installedBefore = tw::test::ReadFile(dbDir + "/zir.db");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        offers.clear();
        c.serve();
        CheckThenOk();
        RunTransfer();
        EXPECT_FALSE(BoxShown("Restart NOW?"));
        EXPECT_FALSE(app.restartRequested);
        EXPECT_TRUE(!c.failureBox || (BoxShown("The Product Database update failed.") && BoxShown("zir.db: ")));
        EXPECT_FALSE(wxFileExists(updates + "/zir.db"));
        CInit::InstallDatabaseUpdates(false);
        EXPECT_EQ(tw::test::ReadFile(dbDir + "/zir.db"), installedBefore);
    }
}

// The server may send a database under another name than the one asked for.
// Every such transfer ends: a plain rename is placed where the next start
// looks for it; a name that is not ours is a failure that names the file, and
// nothing is written outside the updates folder.
TEST_F(UpdateFlow, DatabaseSentUnderAnotherName)
{
    const std::string good = Newer("zir.db", 501);
    const std::string installedBefore = tw::test::ReadFile(dbDir + "/zir.db");
    const struct {
        const char* sent;
        bool plainBytes;     // the server sends the database uncompressed
        bool placed;         // a usable zir.db is waiting in the updates folder
        int state;           // of the window: 2 the transfer ended well, 1 it failed
        const char* logged;  // in the transfer log
        const char* boxed;   // in the failure box
    } cases[] = {
        {"zir.db", true, true, 2, "Moving ", nullptr},
        {"zir.db", false, false, 2, "Moving ", "zir.db: it is not a usable database"},
        {"other.db.bz2", false, false, 1, "Received base file name (othe) differs from that expected (zir.)",
         nullptr},
        {"../../zir.db", false, false, 2, "is not a safe file name", "zir.db: Received file name '../../zir.db'"},
        {"zir.db.bz2/../../../zir.db", false, false, 2, "is not a safe file name", "is not a safe file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        tw::test::ResetUi();
        tw::test::AnswerBox(wxNO);   // the restart, when offered
        wxRemoveFile(updates + "/zir.db");
        offers.clear();
        Offer("zir.db", 501, good);
        if (c.plainBytes)
            sim.Serve("zir.db.bz2", good);
        offers.push_back(std::string("send-name=zir.db.bz2:") + c.sent);
        sim.SetFaults(offers);
        CheckThenOk();

        FileXfer* x = TransferWindow();
        ASSERT_NE(x, nullptr);
        ASSERT_TRUE(x->StartTransfer());
        ASSERT_TRUE(WaitFor([&] { return !x->HasWorker() && FileXfer::LiveWorkers() == 0; }, 20000));
        tw::test::Pump(100);
        EXPECT_EQ(x->GetState(), c.state) << "the window must learn how the transfer ended";
        EXPECT_TRUE(x->m_log->GetValue().Contains(c.logged)) << x->m_log->GetValue();
        x->InitiateWindowClose(false);
        ASSERT_TRUE(WaitFor([] { return TransferWindow() == nullptr; }, 10000));
        tw::test::Pump(200);

        EXPECT_EQ(BoxShown(RestartText("update succeded.")), c.placed);
        EXPECT_FALSE(app.restartRequested);
        if (c.boxed) {
            EXPECT_TRUE(BoxShown(c.boxed));
        }
        if (c.placed) {
            EXPECT_EQ(Version(updates + "/zir.db"), 501);
        } else {
            EXPECT_FALSE(wxFileExists(updates + "/zir.db"));
        }
        wxArrayString named;
        wxDir::GetAllFiles(wxGetHomeDir(), &named, "zir.db*");
        wxDir::GetAllFiles(wxGetHomeDir(), &named, "other.db*");
        for (const wxString& path : named)
            EXPECT_TRUE(path == dbDir + "/zir.db" || path == updates + "/zir.db") << path;
        EXPECT_EQ(tw::test::ReadFile(dbDir + "/zir.db"), installedBefore);
    }
}

// An update left in the updates folder by an earlier run does not count as
// the result of a download that reports success.
TEST_F(UpdateFlow, AnEarlierPendingFileIsNotTakenForTheDownload)
{
    const wxString pending = updates + "/zir.db";
    tw::test::WriteFile(pending, Newer("zir.db", 450));
    const wxDateTime hourAgo = wxDateTime::Now() - wxTimeSpan::Hour();
    wxFileName(pending).SetTimes(&hourAgo, &hourAgo, nullptr);

    app.transferList.Add("/zir.db.bz2", updates + "/tmp/zir.db.bz2", updates + "/zir.db.bz2", "zir.db.bz2", "",
                         "0", false, 0, 0, 0);
    app.updateFilesScheduled.clear();
    app.updateFilesScheduled.Add("zir.db");
    app.updateStartedAt = static_cast<long long>(wxDateTime::Now().GetTicks());
    wxCommandEvent done(wxEVT_TRANSFER_DONE);
    done.SetInt(1);
    app.OnUpdateDBDone(done);
    EXPECT_FALSE(BoxShown("Restart NOW?"));
    EXPECT_TRUE(BoxShown("zir.db: it did not arrive"));
    EXPECT_EQ(Version(pending), 450);

    // The same file written by this download counts.
    tw::test::ResetUi();
    tw::test::WriteFile(pending, Newer("zir.db", 501));
    app.OnUpdateDBDone(done);
    EXPECT_TRUE(BoxShown(RestartText("update succeded.")));
}

// An import from disk asks about the restart at once, without a download.
TEST_F(UpdateFlow, ImportFromDiskOffersTheRestart)
{
    const wxString file = scratch / "zir.db";
    tw::test::WriteFile(file, Newer("zir.db", 777));
    tw::test::AnswerChooser(file);
    RunFlow([](UpdateStatus& d) {
        Click(d, UpdateStatus::ID_IMPORT_BUTTON);
        Click(d, UpdateStatus::ID_OK_BUTTON);
    });
    EXPECT_EQ(TransferWindow(), nullptr);
    EXPECT_TRUE(BoxShown(RestartText("import succeeded.")));
    EXPECT_EQ(Version(updates + "/zir.db"), 777);

    // Cancelled: nothing at all.
    tw::test::ResetUi();
    RunFlow([](UpdateStatus& d) { Click(d, UpdateStatus::ID_CANCEL_BUTTON); });
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
}
