// The application's transfer start and epilogue without a server: how files
// are scheduled and named, missing download folders, the totals the window
// shows, where each received file is recorded, and the area handed back.
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include <wx/filefn.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "core/Registry.h"
#include "model/FileList.h"
#include "engine/transfer/XferSocket.h"
#include "xferwindow/XferFixtures.h"

using namespace xfer_test;

namespace {

class Scheduling : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CUserConfig config;
        config.WriteText("Connection/connection", CRegistry::kNetworkConnection);
        config.WriteText("Misc/xfer_rate", "102400 600");
    }
    void TearDown() override
    {
        rec.onDone = nullptr;   // the test's own lists are gone
        if (FileXfer* w = FindXfer())
            CloseAndWait(w);
        wxGetApp().transferList.Clear();
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    QuickClose quick;
    DoneRecorder rec;
    TidewrightApp& app = wxGetApp();
};

std::vector<wxString> Texts(const wxArrayString& texts)
{
    return std::vector<wxString>(texts.begin(), texts.end());
}

} // namespace

TEST_F(Scheduling, NamesAndPathsOfAScheduledFile)
{
    struct Case {
        const char* serverPath;
        wxString folder;
        const char* name;
    };
    const Case cases[] = {
        {"/data/gfs/wind.grb", dir.Path(), "wind.grb"},
        {"plain.grb", dir.Path(), "plain.grb"},
        {"/models/run/run.grb.bz2", dir.Path() + "/", "run.grb.bz2"},   // a folder ending in the separator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serverPath);
        CFileList list;
        ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, c.serverPath, c.folder, "bz2", "1.50", true, 10.0f,
                                                          20.0f, 30.0f));
        ASSERT_EQ(list.GetCount(), 1u);
        const FileInfo& e = list.Item(0);
        EXPECT_EQ(e.serverPath, c.serverPath);
        EXPECT_EQ(e.fileName, c.name);
        EXPECT_EQ(e.tmpPath, dir.Path() + "/tmp/" + c.name);
        EXPECT_EQ(e.finalPath, dir.Path() + "/" + c.name);
        EXPECT_EQ(e.compression, "bz2");
        EXPECT_EQ(e.price, "1.50");
        EXPECT_TRUE(e.interactive);
        EXPECT_FLOAT_EQ(e.width, 10.0f);
        EXPECT_FLOAT_EQ(e.lat, 20.0f);
        EXPECT_FLOAT_EQ(e.lon, 30.0f);
        EXPECT_TRUE(wxDirExists(dir.Path() + "/tmp"));
    }
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
}

TEST_F(Scheduling, MissingDownloadFolder)
{
    const wxString missing = dir / "new/deeper";
    // Declined: asked again for each file, nothing scheduled.
    CFileList list;
    EXPECT_FALSE(TidewrightApp::ScheduleFileTransferEx(list, "/a.grb", missing, "", "1", false, 0, 0, 0));
    EXPECT_FALSE(TidewrightApp::ScheduleFileTransferEx(list, "/b.grb", missing, "", "1", false, 0, 0, 0));
    EXPECT_EQ(list.GetCount(), 0u);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(tw::test::Ui().boxes[0].message,
              "Download folder " + missing + " does not exist. Would you like to create it?");
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Confirm Folder Creation");
    EXPECT_TRUE(tw::test::Ui().boxes[0].style & wxNO_DEFAULT);
    EXPECT_FALSE(wxDirExists(missing));

    // Accepted: made with every level, and its tmp folder.
    tw::test::AnswerBox(wxYES);
    EXPECT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, "/a.grb", missing, "", "1", false, 0, 0, 0));
    EXPECT_TRUE(wxDirExists(missing + "/tmp"));

    // Cannot be made (a file stands where a folder should be).
    tw::test::WriteFile(dir / "blocker", "x");
    tw::test::ResetUi();
    tw::test::AnswerBox(wxYES);
    EXPECT_FALSE(TidewrightApp::ScheduleFileTransferEx(list, "/c.grb", dir / "blocker/sub", "", "1", false, 0, 0, 0));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(tw::test::Ui().boxes[1].message,
              "Failed to create download folder " + dir / "blocker/sub" + ". File c.grb will be skipped.");
    EXPECT_EQ(tw::test::Ui().boxes[1].caption, "Error");
    EXPECT_EQ(list.GetCount(), 1u);
}

// The totals the window shows cover only the files really requested.
TEST_F(Scheduling, DeclinedFolderLeavesItsFilesOutOfTheTotals)
{
    CActiveFileList files;
    Active kept;
    kept.id = "K";
    kept.path = "/k.grb";
    kept.folder = dir.Path();
    kept.price = "2.50";
    kept.compressed = "300";
    kept.raw = "700";
    AddActive(files, kept);
    Active skipped = kept;
    skipped.id = "S";
    skipped.path = "/s.grb";
    skipped.folder = dir / "not there";
    skipped.price = "9.75";
    skipped.compressed = "5000";
    skipped.raw = "9000";
    AddActive(files, skipped);
    Active odd = kept;
    odd.id = "O";
    odd.path = "/o.grb";
    odd.price = "free";   // not a number: counts as 0
    odd.compressed = "n/a";
    AddActive(files, odd);

    HomePosition area(12.5, -45.25, 8);
    ASSERT_TRUE(app.FileTransferStart(files, &rec, wxCommandEventHandler(DoneRecorder::OnDone), 2, &area));
    FileXfer* w = FindXfer();
    ASSERT_NE(w, nullptr);
    const CFileList& list = app.transferList;
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_DOUBLE_EQ(list.price, 2.5);
    EXPECT_EQ(list.compressedSize, 300);
    EXPECT_EQ(list.rawSize, 1400);
    EXPECT_EQ(list.xferMode, 2);
    double lat = 0, lon = 0;
    int width = 0;
    ASSERT_TRUE(list.GetDefaultPosition(lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 12.5);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(w->m_priceLabel->GetLabelText(), "Download Price: $2.50");
    EXPECT_EQ(w->m_approxSize->GetLabelText(), "300Kb");
    EXPECT_EQ(w->m_approxTime->GetLabelText(), "00:03");
    EXPECT_EQ(w->m_latCtrl->GetValue(), "12.500");
    // The area fields are wide enough for the longest value they hold.
    for (wxTextCtrl* field : {w->m_latCtrl, w->m_lonCtrl})
        EXPECT_GE(field->GetSize().x, field->GetSizeFromTextSize(field->GetTextExtent("122.323")).x);
}

// Many files of a missing folder: the question comes once per folder in a
// transfer, and the answer holds for the rest of that folder's files; the
// next transfer asks again.
TEST_F(Scheduling, MissingFolderIsAskedAboutOncePerTransfer)
{
    const wxString first = dir / "first", second = dir / "second";
    CActiveFileList files;
    const std::pair<const char*, wxString> rows[] = {
        {"/a.grb", first}, {"/b.grb", second}, {"/c.grb", first}, {"/d.grb", dir.Path()}, {"/e.grb", second},
        {"/f.grb", first},
    };
    for (const auto& row : rows) {
        Active a;
        a.id = row.first;
        a.path = row.first;
        a.folder = row.second;
        AddActive(files, a);
    }
    auto asked = [](const wxString& folder) {
        int n = 0;
        for (const auto& box : tw::test::Ui().boxes)
            n += box.message == "Download folder " + folder + " does not exist. Would you like to create it?";
        return n;
    };

    // No for the first folder, Yes for the second.
    tw::test::AnswerBox(wxNO);
    tw::test::AnswerBox(wxYES);
    ASSERT_TRUE(app.FileTransferStart(files, nullptr, nullptr, 2, nullptr));
    EXPECT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(asked(first), 1);
    EXPECT_EQ(asked(second), 1);
    std::vector<wxString> scheduled;
    for (size_t i = 0; i < app.transferList.GetCount(); ++i)
        scheduled.push_back(app.transferList.Item(i).serverPath);
    EXPECT_EQ(scheduled, (std::vector<wxString> {"/b.grb", "/d.grb", "/e.grb"}));
    EXPECT_FALSE(wxDirExists(first));
    EXPECT_TRUE(wxDirExists(second));
    if (FileXfer* w = FindXfer())
        CloseAndWait(w);

    // The next transfer asks again about the folder still missing.
    tw::test::ResetUi();
    ASSERT_TRUE(app.FileTransferStart(files, nullptr, nullptr, 2, nullptr));
    EXPECT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(asked(first), 1);
}

TEST_F(Scheduling, StartNeedsBothHandlerAndMethodOrNeither)
{
    app.transferList.Add("/keep.grb", "t", "f", "keep.grb", "", "1", false, 0, 0, 0);
    CActiveFileList files;
    EXPECT_FALSE(app.FileTransferStart(files, &rec, nullptr, 1, nullptr));
    EXPECT_FALSE(app.FileTransferStart(files, nullptr, wxCommandEventHandler(DoneRecorder::OnDone), 1, nullptr));
    EXPECT_EQ(app.transferList.GetCount(), 1u) << "nothing changed";
    EXPECT_EQ(FindXfer(), nullptr);

    // An empty list still opens the window, with zero totals.
    ASSERT_TRUE(app.FileTransferStart(files, nullptr, nullptr, 1, nullptr));
    FileXfer* w = FindXfer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(app.transferList.GetCount(), 0u);
    EXPECT_EQ(w->m_priceLabel->GetLabelText(), "Download Price: $0.00");
    EXPECT_EQ(w->GetTitle(), "File Transfer and Control Status");
}

TEST_F(Scheduling, DatabaseTransferHasItsOwnTitle)
{
    CActiveFileList files;
    ASSERT_TRUE(app.FileTransferStart(files, &rec, wxCommandEventHandler(DoneRecorder::OnDone), 3, nullptr));
    FileXfer* w = FindXfer();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetTitle(), "Product Database Transfer and Control Status");
}

// The same item in two batches: each entry goes to its own active file.
TEST_F(Scheduling, LocalPathsOfTheSameItemInTwoBatches)
{
    CActiveFileList files;
    for (const char* folder : {"/one", "/two"}) {
        Active a;
        a.id = "SAME";
        a.path = "/gfs/wind.grb";
        a.folder = folder;
        AddActive(files, a);
    }
    EXPECT_EQ(TidewrightApp::InsertLocalPath(files, "/gfs/wind.grb", "/one/wind.grb"), 0);
    EXPECT_EQ(TidewrightApp::InsertLocalPath(files, "/gfs/wind.grb", "/two/wind.grb"), 1);
    EXPECT_EQ(files.Item(0).LocalPath, "/one/wind.grb");
    EXPECT_EQ(files.Item(1).LocalPath, "/two/wind.grb");
    EXPECT_EQ(TidewrightApp::InsertLocalPath(files, "/gfs/wind.grb", "/three/wind.grb"), 2) << "none left";
    EXPECT_EQ(TidewrightApp::InsertLocalPath(files, "/GFS/wind.grb", "/x"), 2) << "case-sensitive";
}

// The epilogue records, processes and hands on exactly the files the
// transfer placed, however the transfer ended; the others keep no local path,
// even where an older file of their name lies, and the user is told which
// files did not arrive.
TEST_F(Scheduling, EpilogueRecordsOnlyWhatArrived)
{
    struct Case {
        const char* name;
        bool ok;                  // the outcome event's int
        bool ran;                 // the worker placed or failed entries
        bool drained;             // the list is emptied
        bool processed;           // the placed files get their paths, actions and the clipboard
        bool notice;              // the user is told what did not arrive
    };
    const Case cases[] = {
        {"ended well, one file refused", true, true, true, true, true},
        {"ended with errors", false, true, false, true, true},
        {"window closed before a transfer", false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        RecordingLauncher launcher;
        SetClipboardText("before");
        tw::test::TempDir work;
        const wxString one = work / "one", two = work / "two";
        wxMkdir(one);
        wxMkdir(two);
        CActiveFileList files;
        for (const wxString& folder : {one, two}) {
            Active a;
            a.id = "SAME";
            a.path = "/gfs/wind.grb";
            a.folder = folder;
            a.runstat = 0;
            AddActive(files, a);
        }
        Active refused;
        refused.id = "R";
        refused.path = "/gfs/refused.grb";
        refused.folder = one;
        refused.runstat = 1;
        AddActive(files, refused);

        CFileList& list = app.transferList;
        list.Clear();
        for (size_t i = 0; i < files.GetCount(); ++i) {
            const CActiveFile& f = files.Item(i);
            ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, f.Path, f.folder, "", "1", false, 0, 0, 0));
        }
        tw::test::WriteFile(one + "/wind.grb", "new one");
        tw::test::WriteFile(two + "/wind.grb", "new two");
        tw::test::WriteFile(one + "/refused.grb", "an older copy");
        if (c.ran) {
            list.SetFilePlaced(0, one + "/wind.grb");
            list.SetFilePlaced(1, two + "/wind.grb");
            list.SetFileError(2, "ERROR: File '/gfs/refused.grb' is not available.");
        }

        app.FileTransferEpilogue(files, c.ok, nullptr);
        EXPECT_EQ(list.GetCount(), c.drained ? 0u : 3u);
        const TransferOutcome& outcome = app.LastTransferOutcome();
        EXPECT_EQ(outcome.ran, c.ran);
        EXPECT_FALSE(outcome.complete);
        ASSERT_EQ(files.GetCount(), 3u);
        if (c.processed) {
            // PostProcess sorted the list: the refused entry has no path and comes first.
            EXPECT_EQ(files.Item(0).FileID, "R");
            EXPECT_EQ(files.Item(0).LocalPath, "");
            EXPECT_EQ(files.Item(1).LocalPath, one + "/wind.grb");
            EXPECT_EQ(files.Item(2).LocalPath, two + "/wind.grb");
            EXPECT_EQ(ClipboardText(), one + "/wind.grb\r\n" + two + "/wind.grb\r\n");
            EXPECT_EQ(Texts(outcome.arrived), std::vector<wxString>({one + "/wind.grb", two + "/wind.grb"}));
        } else {
            for (size_t i = 0; i < files.GetCount(); ++i)
                EXPECT_EQ(files.Item(i).LocalPath, "") << i;
            EXPECT_EQ(ClipboardText(), "before");
        }
        EXPECT_TRUE(launcher.Starts().empty()) << "the older refused file is not opened";
        EXPECT_EQ(tw::test::Ui().boxes.size(), c.notice ? 1u : 0u);
        if (c.notice) {
            EXPECT_EQ(Texts(outcome.missing), std::vector<wxString>({"/gfs/refused.grb"}));
            EXPECT_TRUE(tw::test::BoxShown("This file did not arrive:\r\n    refused.grb\r\n"))
                << outcome.notice;
            EXPECT_EQ(tw::test::Ui().boxes.empty() ? wxString() : tw::test::Ui().boxes[0].caption, "Notice");
        } else {
            EXPECT_EQ(outcome.notice, "");
        }
    }
}

// The notice names at most twenty files and counts the rest.
TEST_F(Scheduling, NoticeOfManyMissingFiles)
{
    CActiveFileList files;
    CFileList& list = app.transferList;
    list.Clear();
    wxMkdir(dir / "f");
    for (int i = 0; i < 25; ++i) {
        Active a;
        a.id = wxString::Format("I%d", i);
        a.path = wxString::Format("/gfs/f%02d.grb", i);
        a.folder = dir / "f";
        AddActive(files, a);
        ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, a.path, a.folder, "", "1", false, 0, 0, 0));
        list.SetFileError(static_cast<size_t>(i), CXferSocketThread::kAbortText);
    }
    app.FileTransferEpilogue(files, false, nullptr);
    const wxString notice = app.LastTransferOutcome().notice;
    EXPECT_TRUE(notice.Contains("    f19.grb\r\n")) << notice;
    EXPECT_FALSE(notice.Contains("f20.grb")) << notice;
    EXPECT_TRUE(notice.Contains("    ... and 5 more\r\n")) << notice;
    EXPECT_EQ(app.LastTransferOutcome().missing.size(), 25u);
}

// The same item in two batches with their own folders: each batch's copy
// gets the path of its own entry, or none when its own copy did not arrive
// or was not scheduled; never the other batch's path.
TEST_F(Scheduling, EachCopyOfAnItemGetsItsOwnPathOrNone)
{
    struct Case {
        const char* name;
        bool scheduledA;   // A's folder may have been declined
        bool placedA;
        bool placedB;
    };
    const Case cases[] = {
        {"A's copy failed locally", true, false, true},
        {"B's copy failed locally", true, true, false},
        {"both arrived", true, true, true},
        {"A's copy was not scheduled", false, false, true},
    };
    tw::test::ResetUi();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString a = dir / "A", b = dir / "B";
        wxMkdir(a);
        wxMkdir(b);
        CActiveFileList files;
        for (const wxString& folder : {a, b}) {
            Active active;
            active.id = "SAME";
            active.path = "/gfs/wind.grb";
            active.folder = folder;
            active.runstat = 0;
            AddActive(files, active);
        }
        CFileList& list = app.transferList;
        list.Clear();
        if (c.scheduledA)
            ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, "/gfs/wind.grb", a + "/", "", "1", false, 0, 0, 0));
        ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, "/gfs/wind.grb", b, "", "1", false, 0, 0, 0));
        const size_t entryB = c.scheduledA ? 1 : 0;
        if (c.scheduledA) {
            if (c.placedA)
                list.SetFilePlaced(0, a + "/wind.grb");
            else
                list.SetFileError(0, "File move failed: no room");
        }
        if (c.placedB)
            list.SetFilePlaced(entryB, b + "/wind.grb");
        else
            list.SetFileError(entryB, "File move failed: no room");

        app.FileTransferEpilogue(files, false, nullptr);
        std::map<wxString, wxString> local;   // by folder
        for (size_t i = 0; i < files.GetCount(); ++i)
            local[files.Item(i).folder] = files.Item(i).LocalPath;
        EXPECT_EQ(local[a], c.placedA ? a + "/wind.grb" : wxString());
        EXPECT_EQ(local[b], c.placedB ? b + "/wind.grb" : wxString());
    }
}

// Whatever the order of the entries against the active files (the same
// item twice in one folder and once in another, a file left out of the
// transfer, entries in another order), each active file gets the path of
// an entry of its own place, and the arrived files are the placed entries'
// paths; also when the list was changed after the transfer.
TEST_F(Scheduling, EntriesFindTheirActiveFilesInAnyOrder)
{
    struct Case {
        const char* name;
        std::vector<int> entries;   // the active file each entry is made from, in list order
        bool ok;
        int removed;                // a placed entry taken out of the list afterwards; -1 none
    };
    const Case cases[] = {
        {"in order", {0, 1, 2, 3, 4}, true, -1},
        {"reversed", {4, 3, 2, 1, 0}, true, -1},
        {"reversed, ended with errors", {4, 3, 2, 1, 0}, false, -1},
        {"one left out", {0, 1, 3, 4}, true, -1},
        {"rotated, one left out", {3, 4, 0, 2}, false, -1},
        {"list changed after", {0, 1, 2, 3, 4}, false, 1},
    };
    tw::test::ResetUi();
    const wxString x = dir / "X", y = dir / "Y";
    wxMkdir(x);
    wxMkdir(y);
    // The active files: wind twice in X, wind in Y, and two more in X.
    const std::vector<std::pair<wxString, wxString>> active = {
        {"/gfs/wind.grb", x}, {"/gfs/wave.grb", x}, {"/gfs/wind.grb", y}, {"/gfs/wind.grb", x}, {"/gfs/rain.grb", x},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CActiveFileList files;
        for (const auto& [path, folder] : active) {
            Active a;
            a.id = path.AfterLast('/');
            a.path = path;
            a.folder = folder;
            a.runstat = 0;
            AddActive(files, a);
        }
        CFileList& list = app.transferList;
        list.Clear();
        std::vector<wxString> placed;
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const auto& [path, folder] = active[static_cast<size_t>(c.entries[i])];
            ASSERT_TRUE(TidewrightApp::ScheduleFileTransferEx(list, path, folder, "", "1", false, 0, 0, 0));
            list.SetFilePlaced(i, folder + "/" + path.AfterLast('/'));
            placed.push_back(folder + "/" + path.AfterLast('/'));
        }
        if (c.removed >= 0) {
            list.files.RemoveRange(static_cast<size_t>(c.removed));
            placed.erase(placed.begin() + c.removed);
        }
        app.FileTransferEpilogue(files, c.ok, nullptr);

        // Every place has as many active files with a path as it had entries left.
        std::map<wxString, int> entriesOf, pathsOf;   // by local path
        for (const wxString& path : placed)
            ++entriesOf[path];
        for (size_t i = 0; i < files.GetCount(); ++i) {
            const CActiveFile& f = files.Item(i);
            if (f.LocalPath.empty())
                continue;
            EXPECT_EQ(f.LocalPath, f.folder + "/" + f.Path.AfterLast('/')) << "a path of another place";
            ++pathsOf[f.LocalPath];
        }
        EXPECT_EQ(pathsOf, entriesOf);
        EXPECT_EQ(Texts(app.LastTransferOutcome().arrived), placed);
    }
}

TEST_F(Scheduling, AreaHandedBackByTheEpilogue)
{
    struct Case {
        const char* name;
        bool changed;
    };
    for (const Case c : {Case{"unchanged", false}, Case{"moved", true}}) {
        SCOPED_TRACE(c.name);
        rec.results.clear();
        CActiveFileList files;
        HomePosition area(10.0, 20.0, 15);
        HomePosition back;
        rec.onDone = [&](wxCommandEvent& e) { app.FileTransferEpilogue(files, e.GetInt() != 0, &back); };
        ASSERT_TRUE(app.FileTransferStart(files, &rec, wxCommandEventHandler(DoneRecorder::OnDone), 0, &area));
        FileXfer* w = FindXfer();
        ASSERT_NE(w, nullptr);
        if (c.changed)
            w->m_latCtrl->ChangeValue("11.5");
        wxWeakRef<FileXfer> ref(w);
        w->InitiateWindowClose(true);
        ASSERT_TRUE(tw::test::WaitFor([&] { return !ref && rec.results.size() == 1; }));
        EXPECT_EQ(rec.results[0], 0) << "closed before a transfer";
        EXPECT_EQ(back.valid, c.changed);
        if (c.changed) {
            EXPECT_NEAR(back.lat, 11.5, 1e-5);
            EXPECT_DOUBLE_EQ(back.lon, 20.0);
            EXPECT_EQ(back.width, 15);
        }
    }
}

// A batch's area goes into a transfer only with a width from 1 to 360
// degrees: the files of an area with any other width are left out (never
// requested without their area either), named once per folder and width,
// before any question about their folder.
TEST_F(Scheduling, AreaWidthsOutsideTheRangeAreNeverSent)
{
    const struct {
        float width;
        bool interactive;
        bool sent;
    } rows[] = {
        {999.0f, true, false},
        {3e9f, true, false},
        {-5.0f, true, false},
        {0.0f, true, false},
        {0.5f, true, false},
        {360.5f, true, false},
        {std::numeric_limits<float>::quiet_NaN(), true, false},
        {1.0f, true, true},
        {360.0f, true, true},
        {12.5f, true, true},
        {999.0f, false, true},   // no area is asked for: the width is not sent
    };
    CActiveFileList files;
    std::vector<wxString> expected;
    int refused = 0;
    for (size_t n = 0; n < std::size(rows); ++n) {
        const wxString folder = dir / wxString::Format("r%zu", n);
        // A refused area's folder is missing: nobody is asked to make it.
        if (rows[n].sent)
            ASSERT_TRUE(wxMkdir(folder));
        const wxString path = wxString::Format("/f%zu.grb", n);
        files.Add(path, path, "bz2", "100", "200", "1.00", "", folder, 0, 0, 0, "", rows[n].interactive ? 1 : 0,
                  rows[n].width, 10.0f, 20.0f, 0);
        // A second file of the same area is left out without a second message.
        files.Add(path + "2", path + "2", "bz2", "100", "200", "1.00", "", folder, 0, 0, 0, "",
                  rows[n].interactive ? 1 : 0, rows[n].width, 10.0f, 20.0f, 0);
        if (rows[n].sent) {
            expected.push_back(path);
            expected.push_back(path + "2");
        } else {
            ++refused;
        }
    }
    ASSERT_TRUE(app.FileTransferStart(files, nullptr, nullptr, 2, nullptr));
    const CFileList& list = app.transferList;
    std::vector<wxString> scheduled;
    for (size_t i = 0; i < list.GetCount(); ++i) {
        scheduled.push_back(list.Item(i).serverPath);
        if (list.Item(i).interactive)
            EXPECT_TRUE(list.Item(i).width >= 1.0f && list.Item(i).width <= 360.0f) << list.Item(i).width;
    }
    EXPECT_EQ(scheduled, expected);
    EXPECT_DOUBLE_EQ(list.price, static_cast<double>(expected.size()));

    ASSERT_EQ(tw::test::Ui().boxes.size(), static_cast<size_t>(refused));
    for (size_t n = 0, box = 0; n < std::size(rows); ++n) {
        if (rows[n].sent)
            continue;
        const auto& b = tw::test::Ui().boxes[box++];
        SCOPED_TRACE(b.message);
        EXPECT_TRUE(b.message.StartsWith("The area of the files for " + dir / wxString::Format("r%zu", n) + " is "));
        EXPECT_TRUE(b.message.Contains("the width must be a number of degrees from 1 to 360."));
        EXPECT_EQ(b.caption, "Error");
        EXPECT_FALSE(wxDirExists(dir / wxString::Format("r%zu", n)));
    }
    EXPECT_TRUE(tw::test::Ui().boxes[0].message.Contains(" is 999 degrees wide"));
}
