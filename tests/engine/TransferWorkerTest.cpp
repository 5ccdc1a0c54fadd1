// The transfer worker end to end against the gateway stand-in, with an
// observer that records every report: receiving, decompression, the date
// archive, placement, resume after a cut connection, hostile names, a full
// disk and stopping.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/socket.h>

#include "support/GatewaySim.h"
#include "core/Registry.h"
#include "core/SocketErrorText.h"
#include "model/FileList.h"
#include "support/TestSupport.h"
#include "engine/transfer/XferSocket.h"

using tw::test::GatewaySim;
using tw::test::ReadFile;
using tw::test::SampleBytes;
using tw::test::WriteFile;

namespace {

// Records every report as one text, in order.
class RecordingObserver : public ITransferObserver
{
public:
    void TransferEntry() override { Add("Entry"); }
    void TransferExit() override
    {
        Add("Exit");
        std::lock_guard<std::mutex> lock(m_lock);
        m_exited = true;
        m_cond.notify_all();
    }
    void TransferBegin(const wxString& text, const wxTimeSpan&, int totalBytes) override
    {
        Add("Begin " + std::to_string(totalBytes) + " " + std::string(text.utf8_str()));
    }
    void TransferDone(const wxString& text, bool ok) override
    {
        Add(std::string("Done ") + (ok ? "ok " : "failed ") + std::string(text.utf8_str()));
    }
    void TransferStatus(const wxString& text) override { Add("Status " + std::string(text.utf8_str())); }
    void TransferElapsedTime(const wxTimeSpan& file, const wxTimeSpan& total) override
    {
        Add("Elapsed " + std::to_string(file.GetMilliseconds().ToLong()) + " "
            + std::to_string(total.GetMilliseconds().ToLong()));
    }
    void TransferProgress(int filePercent, int totalPercent) override
    {
        Add("Progress " + std::to_string(filePercent) + " " + std::to_string(totalPercent));
    }
    void TransferFileBegin(const wxString& name, int size, const wxTimeSpan&) override
    {
        Add("FileBegin " + std::string(name.utf8_str()) + " " + std::to_string(size));
        if (onFileBegin)
            onFileBegin();
    }
    void TransferFileDone(const wxString& name, bool ok) override
    {
        Add("FileDone " + std::string(name.utf8_str()) + (ok ? " ok" : " failed"));
        if (onFileDone)
            onFileDone();
    }
    int TransferMessageBox(const wxString& text, const wxString&, int) override
    {
        Add("Box " + std::string(text.utf8_str()));
        std::lock_guard<std::mutex> lock(m_lock);
        if (answers.empty())
            return wxCANCEL;
        int a = answers.front();
        answers.pop_front();
        return a;
    }

    bool WaitForExit(int seconds = 60)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_cond.wait_for(lock, std::chrono::seconds(seconds), [&] { return m_exited; });
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events;
    }
    std::vector<std::string> Starting(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const auto& e : Events())
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e);
        return out;
    }
    bool Has(const std::string& fragment)
    {
        for (const auto& e : Events())
            if (e.find(fragment) != std::string::npos)
                return true;
        return false;
    }
    std::string All()
    {
        std::string out;
        for (const auto& e : Events())
            out += e + "\n";
        return out;
    }

    std::deque<int> answers;
    std::function<void()> onFileBegin;
    std::function<void()> onFileDone;

private:
    void Add(const std::string& e)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back(e);
    }
    std::mutex m_lock;
    std::condition_variable m_cond;
    std::vector<std::string> m_events;
    bool m_exited = false;
};

struct Folder {
    explicit Folder(const wxString& root)
    {
        path = root + "/Weather Files/My Batch";
        wxFileName::Mkdir(path + "/tmp", 0777, wxPATH_MKDIR_FULL);
    }
    wxString Tmp(const wxString& file) const { return path + "/tmp/" + file; }
    wxString Final(const wxString& file) const { return path + "/" + file; }
    void Add(CFileList& list, const wxString& serverPath, const wxString& compression = "") const
    {
        wxString name = serverPath.AfterLast('/');
        list.Add(serverPath, Tmp(name), Final(name), name, compression, "1.00", false, 0, 0, 0);
    }
    wxArrayString TmpFiles() const
    {
        wxArrayString files;
        wxDir::GetAllFiles(path + "/tmp", &files);
        return files;
    }
    wxString path;
};

class TransferWorker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start";
        sim.Configure();
    }

    // Runs one transfer of `list` to its end and returns its observer's
    // record (the observer stays valid for the test).
    RecordingObserver& Run(CFileList& list, bool disableCompression = false, long rate = 100000)
    {
        observers.emplace_back(std::make_unique<RecordingObserver>());
        RecordingObserver& observer = *observers.back();
        observer.answers = answers;
        answers.clear();
        Start(observer, list, disableCompression, rate);
        EXPECT_TRUE(observer.WaitForExit()) << observer.All();
        return observer;
    }

    CXferSocketThread* Start(RecordingObserver& observer, CFileList& list, bool disableCompression = false,
                             long rate = 100000)
    {
        auto* worker = new CXferSocketThread(&observer, disableCompression);
        CXferLocation position;
        worker->SetupFileDownload(&list, position, rate, nullptr);
        return Launch(worker);
    }

    // Runs a worker set up by the test.
    static CXferSocketThread* Launch(CXferSocketThread* worker)
    {
        EXPECT_EQ(worker->Create(), wxTHREAD_NO_ERROR);
        EXPECT_EQ(worker->Run(), wxTHREAD_NO_ERROR);
        return worker;
    }

    static void SetArchive(bool on)
    {
        CUserConfig config;
        config.WriteBool("Misc/archive", on);
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    GatewaySim sim;
    std::deque<int> answers;
    std::vector<std::unique_ptr<RecordingObserver>> observers;
};

TEST_F(TransferWorker, SeveralFilesOneCompressed)
{
    std::string a = sim.Serve("a.grb", SampleBytes(70000, 1));
    std::string b = sim.ServeWithCompressed("b.grb", std::string(200000, 'b') + SampleBytes(3000, 2));
    std::string c = sim.Serve("c.txt", "forecast text\n");
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "gfs/a.grb");
    folder.Add(list, "wx/b.grb", "bz");
    folder.Add(list, "c.txt");
    RecordingObserver& o = Run(list);

    EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
    EXPECT_EQ(ReadFile(folder.Final("b.grb")), b);
    EXPECT_EQ(ReadFile(folder.Final("c.txt")), c);
    EXPECT_FALSE(wxFileExists(folder.Final("b.grb.bz2")));
    EXPECT_EQ(list.Item(1).finalPath, folder.Final("b.grb"));
    EXPECT_TRUE(folder.TmpFiles().empty()) << folder.TmpFiles().size();

    std::vector<std::string> events = o.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "Entry");
    EXPECT_EQ(events.back(), "Exit");
    EXPECT_EQ(events[events.size() - 2], "Done ok Transfer done.\n");
    int total = static_cast<int>(a.size() + ReadFile(sim.Root() + "/b.grb.bz2").size() + c.size());
    EXPECT_TRUE(o.Has("Begin " + std::to_string(total) + " Downloading 3 files. Total data transfer size = "
                      + std::to_string(total) + " bytes\n"))
        << o.All();
    EXPECT_EQ(o.Starting("FileDone"),
              std::vector<std::string>({"FileDone gfs/a.grb ok", "FileDone wx/b.grb ok", "FileDone c.txt ok"}));
    EXPECT_TRUE(o.Has("Status Opening connection to 127.0.0.1\n"));
    EXPECT_TRUE(o.Has("Status Copying files to destination...\n"));
    EXPECT_TRUE(o.Has("Status Decompressing " + std::string(folder.Tmp("b.grb.bz2").utf8_str()) + " --> "
                      + std::string(folder.Tmp("b.grb").utf8_str()) + "\n"));
    // The last progress report of the transfer shows it complete.
    std::vector<std::string> progress = o.Starting("Progress");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), "Progress 100 100");
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(list.GetFileError(i).empty());
}

// A corrupt compressed file: reported, nothing placed for it, both temporary
// files gone, the entry does not pass for received and the transfer ends
// with errors.
TEST_F(TransferWorker, CorruptCompressedFile)
{
    std::string good = sim.Serve("a.grb", SampleBytes(5000, 3));
    std::string bad = SampleBytes(4000, 4);
    bad.replace(0, 3, "BZh");
    sim.Serve("bad.grb.bz2", bad);
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "bad.grb.bz2");
    folder.Add(list, "a.grb");
    RecordingObserver& o = Run(list);

    EXPECT_TRUE(o.Has("Status Decompress of " + std::string(folder.Tmp("bad.grb.bz2").utf8_str()) + " failed.\n"))
        << o.All();
    EXPECT_FALSE(wxFileExists(folder.Final("bad.grb")));
    EXPECT_FALSE(wxFileExists(folder.Final("bad.grb.bz2")));
    EXPECT_TRUE(folder.TmpFiles().empty());
    EXPECT_TRUE(list.GetFileError(0).StartsWith("Decompress of ")) << list.GetFileError(0);
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), good);
    // The file arrived and was not placed: the transfer did not fully succeed.
    EXPECT_TRUE(o.Has("Done failed Transfer ended with errors: some files were not received or placed.\n"))
        << o.All();
    EXPECT_FALSE(o.Has("Done ok Transfer done.\n"));
}

// With archiving on, the older destination goes into the folder of its own
// modification date under its own time; with it off nothing is kept.
TEST_F(TransferWorker, DateArchive)
{
    const char* savedTz = std::getenv("TZ");
    std::string oldTz = savedTz ? savedTz : "";
    setenv("TZ", "UTC", 1);
    tzset();

    for (bool archive : {true, false}) {
        SCOPED_TRACE(archive ? "archive on" : "archive off");
        tw::test::TempDir work;
        Folder folder(work.Path());
        std::string fresh = sim.Serve("a.grb", SampleBytes(3000, 5));
        WriteFile(folder.Final("a.grb"), "yesterday's file");
        // 2024-03-09 23:59:58 UTC
        utimbuf times {1710028798, 1710028798};
        ASSERT_EQ(utime(folder.Final("a.grb").fn_str(), &times), 0);
        SetArchive(archive);
        CFileList list;
        folder.Add(list, "a.grb");
        RecordingObserver& o = Run(list);
        EXPECT_TRUE(o.Has("Done ok Transfer done.\n")) << o.All();
        EXPECT_EQ(ReadFile(folder.Final("a.grb")), fresh);
        wxString archived = folder.path + "/20240309/235958.a.grb";
        EXPECT_EQ(wxFileExists(archived), archive);
        EXPECT_EQ(wxDirExists(folder.path + "/20240309"), archive);
        if (archive) {
            EXPECT_EQ(ReadFile(archived), "yesterday's file");
        }
    }

    if (savedTz)
        setenv("TZ", oldTz.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// A connection cut in the middle of the second of three files: nothing is
// placed, the received bytes stay; the next transfer asks once, resumes each
// file from its size, and the placed files equal the sources byte for byte.
TEST_F(TransferWorker, CutConnectionThenResume)
{
    std::string a = sim.Serve("a.grb", SampleBytes(300000, 6));
    std::string b = sim.Serve("b.grb", SampleBytes(500000, 7));
    std::string c = sim.Serve("c.grb", SampleBytes(200000, 8));
    sim.SetFaults({"cut-after=450000"});
    Folder folder(dir.Path());
    auto makeList = [&](CFileList& list) {
        folder.Add(list, "a.grb");
        folder.Add(list, "b.grb");
        folder.Add(list, "c.grb");
    };
    CFileList first;
    makeList(first);
    RecordingObserver& cut = Run(first);
    EXPECT_TRUE(cut.Has("Status Network read operation error (")) << cut.All();
    EXPECT_TRUE(cut.Starting("Done").empty());
    EXPECT_EQ(cut.Events().back(), "Exit");
    EXPECT_FALSE(wxFileExists(folder.Final("a.grb")));
    EXPECT_FALSE(wxFileExists(folder.Final("b.grb")));
    EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), a);
    EXPECT_EQ(ReadFile(folder.Tmp("b.grb")), b.substr(0, 150000));
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(first.GetFileError(i).empty()) << i;

    sim.SetFaults({});
    answers.push_back(wxYES);
    CFileList second;
    makeList(second);
    RecordingObserver& resumed = Run(second);
    EXPECT_EQ(resumed.Starting("Box").size(), 1u);
    EXPECT_TRUE(resumed.Has("Done ok Transfer done.\n")) << resumed.All();
    std::vector<std::string> gets;
    for (const auto& line : sim.ReceivedLines())
        if (line.rfind("get ", 0) == 0)
            gets.push_back(line);
    ASSERT_EQ(gets.size(), 6u);
    EXPECT_EQ(gets[3], "get a.grb 300000 1.00/0  ");
    EXPECT_EQ(gets[4], "get b.grb 150000 1.00/0  ");
    EXPECT_EQ(gets[5], "get c.grb 0 1.00/0  ");
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
    EXPECT_EQ(ReadFile(folder.Final("b.grb")), b);
    EXPECT_EQ(ReadFile(folder.Final("c.grb")), c);
    EXPECT_TRUE(folder.TmpFiles().empty());
}

// The resume question answered neither Yes nor No (Escape, the box closed):
// the transfer ends at once as a failure that says why, nothing is asked of
// the server or placed, and every file keeps what it held, an older copy in
// the download folder too; the next transfer asks again and completes it.
TEST_F(TransferWorker, ResumeQuestionNotAnsweredKeepsThePartial)
{
    const std::string a = sim.Serve("a.grb", SampleBytes(3000, 31));
    const std::string b = sim.Serve("b.grb", SampleBytes(2000, 32));
    Folder folder(dir.Path());
    WriteFile(folder.Tmp("b.grb"), b.substr(0, 700));
    WriteFile(folder.Final("a.grb"), "OLD A");
    auto makeList = [&](CFileList& list) {
        folder.Add(list, "a.grb");
        folder.Add(list, "b.grb");
    };
    CFileList first;
    makeList(first);
    answers.push_back(wxCANCEL);
    RecordingObserver& cancelled = Run(first);
    EXPECT_EQ(cancelled.Starting("Box").size(), 1u) << cancelled.All();
    EXPECT_EQ(cancelled.Starting("Done"),
              std::vector<std::string>({std::string("Done failed ") + CXferSocketThread::kResumeCancelledText
                                        + "Transfer aborted.\n"}));
    EXPECT_TRUE(cancelled.Starting("FileBegin").empty());
    EXPECT_EQ(ReadFile(folder.Tmp("b.grb")), b.substr(0, 700));
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), "OLD A");
    EXPECT_FALSE(wxFileExists(folder.Final("b.grb")));
    for (size_t i = 0; i < 2; ++i)
        EXPECT_FALSE(first.GetFileError(i).empty()) << i << ": not received";
    for (const auto& line : sim.ReceivedLines())
        EXPECT_NE(line.rfind("get ", 0), 0u) << line;

    answers.push_back(wxYES);
    CFileList second;
    makeList(second);
    RecordingObserver& resumed = Run(second);
    EXPECT_TRUE(resumed.Has("Done ok Transfer done.\n")) << resumed.All();
    EXPECT_TRUE(sim.Received().find("get b.grb 700 ") != std::string::npos) << sim.Received();
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
    EXPECT_EQ(ReadFile(folder.Final("b.grb")), b);
}

// A compressed entry (answered as "<name>.bz2") resumes from the partial file
// the server's bytes are appended to, tmp/<name>.bz2: the question is asked
// (also for a lone such entry), its size is the offset, the server sends only
// the rest, and every placed file equals its source. A partial file of the
// other form is never taken for it.
TEST_F(TransferWorker, CompressedEntryResumesFromItsOwnPartial)
{
    struct Case {
        const char* name;
        bool withPlainEntries;   // plain entries before and after it
        long long cut;           // file bytes sent before the connection is cut
    };
    const Case cases[] = {
        {"among plain entries", true, 200000 + 90000},
        {"alone", false, 120000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::TempDir work;
        Folder folder(work.Path());
        const std::string a = sim.Serve("a.grb", SampleBytes(200000, 31));
        const std::string packed = sim.ServeWithCompressed("c.grb", SampleBytes(400000, 32));
        const std::string bz2 = ReadFile(sim.Root() + "/c.grb.bz2");
        const std::string e = sim.Serve("e.grb", SampleBytes(50000, 33));
        ASSERT_GT(bz2.size(), 200000u);
        auto makeList = [&](CFileList& list) {
            if (c.withPlainEntries)
                folder.Add(list, "a.grb");
            folder.Add(list, "c.grb", "bz");
            if (c.withPlainEntries)
                folder.Add(list, "e.grb");
        };
        // A stale plain partial of the compressed entry must not be taken for it.
        WriteFile(folder.Tmp("c.grb"), "stale plain bytes");

        sim.SetFaults({"cut-after=" + std::to_string(c.cut)});
        CFileList first;
        makeList(first);
        answers.push_back(wxNO);   // the stale plain partial: not the entry's own, so no question is asked
        RecordingObserver& cut = Run(first);
        EXPECT_TRUE(cut.Starting("Box").empty()) << cut.All();
        answers.clear();
        const long long partial = c.withPlainEntries ? c.cut - 200000 : c.cut;
        ASSERT_EQ(ReadFile(folder.Tmp("c.grb.bz2")), bz2.substr(0, static_cast<size_t>(partial))) << cut.All();

        sim.SetFaults({});
        const size_t linesBefore = sim.ReceivedLines().size();
        answers.push_back(wxYES);
        CFileList second;
        makeList(second);
        RecordingObserver& resumed = Run(second);
        EXPECT_EQ(resumed.Starting("Box").size(), 1u) << resumed.All();
        EXPECT_TRUE(resumed.Has("Done ok Transfer done.\n")) << resumed.All();
        std::vector<std::string> gets;
        const std::vector<std::string> lines = sim.ReceivedLines();
        for (size_t i = linesBefore; i < lines.size(); ++i)
            if (lines[i].rfind("get ", 0) == 0)
                gets.push_back(lines[i]);
        const std::vector<std::string> expected =
            c.withPlainEntries ? std::vector<std::string>({"get a.grb 200000 1.00/0  ",
                                                           "get c.grb " + std::to_string(partial) + " 1.00/0 bz ",
                                                           "get e.grb 0 1.00/0  "})
                               : std::vector<std::string>({"get c.grb " + std::to_string(partial) + " 1.00/0 bz "});
        EXPECT_EQ(gets, expected);
        // Only the rest was sent: the data phase announced what was missing.
        const long long rest = static_cast<long long>(bz2.size()) - partial + (c.withPlainEntries ? e.size() : 0);
        EXPECT_TRUE(resumed.Has("Begin " + std::to_string(rest) + " ")) << resumed.All();
        EXPECT_EQ(ReadFile(folder.Final("c.grb")), packed);
        if (c.withPlainEntries) {
            EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
            EXPECT_EQ(ReadFile(folder.Final("e.grb")), e);
        }
        EXPECT_FALSE(wxFileExists(folder.Tmp("c.grb.bz2")));
    }
}

// The offset is the size of the file the server's bytes will be appended
// to: the entry's temporary file under the name the server answers with,
// found by that exact name.
TEST(ResumePath, TheFileTheServerWillAnswerWith)
{
    struct Case {
        const char* server;
        bool interactive;
        bool compressed;
        const char* expected;   // inside /dl/tmp/, or "" for none
    } cases[] = {
        {"gfs/a.grb", false, false, "a.grb"},
        {"gfs/a.grb", false, true, "a.grb.bz2"},
        {"gfs/a.grb.bz2", false, true, "a.grb.bz2"},
        {"gfs/wind=>gfs_wind.grb", false, false, "gfs_wind.grb"},
        {"gfs/wind=>gfs_wind.grb", false, true, "gfs_wind.grb.bz2"},
        {"gfs/wind=>gfs_wind.grb", true, true, "gfs_wind._47.4=-122.3=15.0_.grb.bz2"},
        {"gfs/plain.grb", true, false, "plain.grb"},
        {"gfs/My File.grb", false, false, "My File.grb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        CFileList list;
        const wxString name = wxString(c.server).AfterLast('/');
        list.Add(c.server, "/dl/tmp/" + name, "/dl/" + name, name, "bz", "1", c.interactive, 15.0f, 47.4f, -122.3f);
        const std::string expected = *c.expected ? std::string("/dl/tmp/") + c.expected : std::string();
        EXPECT_EQ(CIPGlue::ResumePath(list.Item(0), c.compressed), expected);
    }
    CFileList bare;
    bare.Add("a.grb", "a.grb", "a.grb", "a.grb", "", "1", false, 0, 0, 0);
    EXPECT_EQ(CIPGlue::ResumePath(bare.Item(0), false), "") << "no temporary folder";
}

// Every file's final progress report goes out, however fast the files come:
// folding never drops the report that ends a file.
TEST_F(TransferWorker, EveryFileEndsWithItsFullProgress)
{
    Folder folder(dir.Path());
    CFileList list;
    for (int i = 0; i < 5; ++i) {
        const wxString name = wxString::Format("f%d.txt", i);
        sim.Serve(name, SampleBytes(700 + 100 * static_cast<size_t>(i), 40 + static_cast<unsigned>(i)));
        folder.Add(list, name);
    }
    RecordingObserver& o = Run(list);
    ASSERT_TRUE(o.Has("Done ok Transfer done.\n")) << o.All();
    // Between each file's begin and its end there is a report of 100 %.
    int files = 0;
    bool full = false;
    for (const std::string& e : o.Events()) {
        if (e.rfind("FileBegin ", 0) == 0)
            full = false;
        else if (e.rfind("Progress 100 ", 0) == 0)
            full = true;
        else if (e.rfind("FileDone ", 0) == 0) {
            ++files;
            EXPECT_TRUE(full) << e << "\n" << o.All();
        }
    }
    EXPECT_EQ(files, 5);
    EXPECT_EQ(o.Starting("Progress").back(), "Progress 100 100");
}

// A resumed file whose partial already holds every byte gets no data, and
// still ends with its 100 % report, alone in the transfer or among others.
TEST_F(TransferWorker, CompletePartialStillEndsWithItsFullProgress)
{
    const std::string a = sim.Serve("a.grb", SampleBytes(3000, 51));
    const std::string b = sim.Serve("b.grb", SampleBytes(2000, 52));
    const struct {
        const char* what;
        std::vector<const char*> files;   // a.grb's partial is complete
    } cases[] = {
        {"alone", {"a.grb"}},
        {"before another file", {"a.grb", "b.grb"}},
        {"after another file", {"b.grb", "a.grb"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tw::test::TempDir work;
        Folder folder(work.Path());
        WriteFile(folder.Tmp("a.grb"), a);
        CFileList list;
        for (const char* file : c.files)
            folder.Add(list, file);
        answers.push_back(wxYES);
        RecordingObserver& o = Run(list);
        ASSERT_TRUE(o.Has("Done ok Transfer done.\n")) << o.All();
        EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
        // Between each file's begin and its end there is a report of 100 %.
        size_t files = 0;
        bool full = false;
        for (const std::string& e : o.Events()) {
            if (e.rfind("FileBegin ", 0) == 0) {
                full = false;
            } else if (e.rfind("Progress 100 ", 0) == 0) {
                full = true;
            } else if (e.rfind("FileDone ", 0) == 0) {
                ++files;
                EXPECT_TRUE(full) << e << "\n" << o.All();
            }
        }
        EXPECT_EQ(files, c.files.size());
        ASSERT_FALSE(o.Starting("Progress").empty()) << o.All();
        EXPECT_EQ(o.Starting("Progress").back(), "Progress 100 100");
    }
}

// A hostile name from the server writes nothing outside the download folder;
// the entry is refused with a clear reason and the others arrive.
TEST_F(TransferWorker, HostileName)
{
    sim.Serve("a.grb", SampleBytes(1000, 9));
    std::string b = sim.Serve("b.grb", SampleBytes(1000, 10));
    sim.SetFaults({"send-name=a.grb:a.grb/../../../../escaped.grb"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    RecordingObserver& o = Run(list);
    EXPECT_TRUE(o.Has("is not a safe file name")) << o.All();
    EXPECT_EQ(ReadFile(folder.Final("b.grb")), b);
    wxArrayString everything;
    wxDir::GetAllFiles(dir.Path(), &everything);
    EXPECT_EQ(everything.size(), 1u);
    EXPECT_FALSE(list.GetFileError(0).empty());
}

// A file system that takes no more bytes: the file fails with the reason,
// keeps what it holds for later, nothing half-written is placed, and the
// transfer is not reported as a success.
TEST_F(TransferWorker, FullDisk)
{
    struct Case {
        const char* name;
        bool compressed;
    };
    for (const Case& c : {Case {"received", false}, Case {"decompressed", true}}) {
        SCOPED_TRACE(c.name);
        tw::test::TempDir work;
        Folder folder(work.Path());
        CFileList list;
        std::string big;
        if (c.compressed) {
            big = sim.ServeWithCompressed("big.grb", std::string(400000, 'z'));
            folder.Add(list, "big.grb", "bz");
        } else {
            big = sim.Serve("big.grb", SampleBytes(400000, 11));
            folder.Add(list, "big.grb");
        }
        WriteFile(folder.Final("big.grb"), "older copy");

        struct sigaction ignore {}, saved {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &saved);
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 100000;
        setrlimit(RLIMIT_FSIZE, &small);
        RecordingObserver& o = Run(list);
        setrlimit(RLIMIT_FSIZE, &old);
        sigaction(SIGXFSZ, &saved, nullptr);

        std::vector<std::string> done = o.Starting("Done");
        ASSERT_EQ(done.size(), 1u) << o.All();
        EXPECT_EQ(done[0].rfind("Done failed ", 0), 0u) << done[0];
        EXPECT_TRUE(o.Has("File too large")) << o.All();
        EXPECT_FALSE(list.GetFileError(0).empty());
        EXPECT_EQ(ReadFile(folder.Final("big.grb")), "older copy");
        if (c.compressed) {
            // The compressed file arrived whole and stays for another try.
            EXPECT_EQ(ReadFile(folder.Tmp("big.grb.bz2")), ReadFile(sim.Root() + "/big.grb.bz2"));
            EXPECT_FALSE(wxFileExists(folder.Tmp("big.grb")));
        } else {
            EXPECT_TRUE(o.Has("FileDone big.grb failed"));
            EXPECT_EQ(ReadFile(folder.Tmp("big.grb")), big.substr(0, 100000));
        }
    }
}

// Whether the file at `path` holds exactly `bytes` (without printing them).
bool Holds(const wxString& path, const std::string& bytes)
{
    return wxFileExists(path) && ReadFile(path) == bytes;
}

// The download folder removed (with its temporary folder) while a transfer
// runs: after a file arrived, while one is written, or once all arrived and
// before they are placed. Nothing received is lost: the folders are made
// again and every file is placed whole. When the place is taken so that a
// file cannot be placed, or the folder cannot be made again at all, the
// transfer ends with errors that name the file, and a file that can be kept
// stays in the temporary folder, where the next transfer places it.
TEST_F(TransferWorker, DownloadFolderRemovedDuringTheTransfer)
{
    enum class Then { Nothing, FolderAtFinalPath, FileAtFolderPath };
    struct Case {
        const char* name;
        bool atBegin;   // at the begin report of file `file`, else at its done report
        int file;
        Then then;      // what the test puts in the folder's place after removing it
    };
    const Case cases[] = {
        {"after the first file arrived", false, 0, Then::Nothing},
        {"while the second file is written", true, 1, Then::Nothing},
        {"once every file arrived", false, 2, Then::Nothing},
        {"and a folder takes the second file's place", false, 2, Then::FolderAtFinalPath},
        {"and a file takes the folder's place", true, 1, Then::FileAtFolderPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::TempDir work;
        Folder folder(work.Path());
        const std::string a = sim.Serve("a.grb", SampleBytes(150000, 61));
        const std::string b = sim.ServeWithCompressed("b.grb", std::string(100000, 'b') + SampleBytes(90000, 62));
        const std::string c3 = sim.Serve("c.grb", SampleBytes(120000, 63));
        const std::string bz2 = ReadFile(sim.Root() + "/b.grb.bz2");
        auto makeList = [&](CFileList& list) {
            folder.Add(list, "a.grb");
            folder.Add(list, "b.grb", "bz");
            folder.Add(list, "c.grb");
        };
        CFileList list;
        makeList(list);
        observers.emplace_back(std::make_unique<RecordingObserver>());
        RecordingObserver& o = *observers.back();
        int begun = 0, done = 0;
        auto remove = [&] {
            const std::filesystem::path path(folder.path.fn_str().data());
            std::filesystem::remove_all(path);
            if (c.then == Then::FolderAtFinalPath)
                std::filesystem::create_directories(path / "b.grb");
            else if (c.then == Then::FileAtFolderPath)
                WriteFile(folder.path, "not a folder");
        };
        o.onFileBegin = [&] {
            if (c.atBegin && begun++ == c.file)
                remove();
        };
        o.onFileDone = [&] {
            if (!c.atBegin && done++ == c.file)
                remove();
        };
        Start(o, list);
        ASSERT_TRUE(o.WaitForExit()) << o.All();

        const std::vector<std::string> outcome = o.Starting("Done");
        ASSERT_EQ(outcome.size(), 1u) << o.All();
        if (c.then == Then::Nothing) {
            EXPECT_EQ(outcome[0], "Done ok Transfer done.\n") << o.All();
            EXPECT_TRUE(Holds(folder.Final("a.grb"), a)) << folder.Final("a.grb");
            EXPECT_TRUE(Holds(folder.Final("b.grb"), b)) << folder.Final("b.grb");
            EXPECT_TRUE(Holds(folder.Final("c.grb"), c3)) << folder.Final("c.grb");
            EXPECT_TRUE(folder.TmpFiles().empty()) << folder.TmpFiles().size();
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_TRUE(list.GetFileError(i).empty()) << i << ": " << list.GetFileError(i);
                EXPECT_TRUE(list.Item(i).placed) << i;
            }
            continue;
        }
        EXPECT_EQ(outcome[0], "Done failed Transfer ended with errors: some files were not received or placed.\n")
            << o.All();
        if (c.then == Then::FolderAtFinalPath) {
            // The others are placed; b.grb arrived whole and waits in the
            // temporary folder, named in its error and in the log.
            EXPECT_TRUE(Holds(folder.Final("a.grb"), a)) << folder.Final("a.grb");
            EXPECT_TRUE(Holds(folder.Final("c.grb"), c3)) << folder.Final("c.grb");
            EXPECT_TRUE(Holds(folder.Tmp("b.grb.bz2"), bz2)) << folder.Tmp("b.grb.bz2");
            EXPECT_FALSE(wxFileExists(folder.Tmp("b.grb")));
            EXPECT_TRUE(list.GetFileError(0).empty()) << list.GetFileError(0);
            EXPECT_TRUE(list.GetFileError(2).empty()) << list.GetFileError(2);
            EXPECT_FALSE(list.Item(1).placed);
            EXPECT_TRUE(list.GetFileError(1).Contains("/b.grb")) << list.GetFileError(1);
            EXPECT_TRUE(o.Has("Status File move failed.\n")) << o.All();

            // Once the place is free, the next transfer places it.
            ASSERT_TRUE(wxFileName::Rmdir(folder.Final("b.grb")));
            CFileList next;
            makeList(next);
            answers.push_back(wxYES);
            RecordingObserver& again = Run(next);
            EXPECT_TRUE(again.Has("Done ok Transfer done.\n")) << again.All();
            EXPECT_TRUE(Holds(folder.Final("b.grb"), b)) << folder.Final("b.grb");
            EXPECT_TRUE(folder.TmpFiles().empty()) << folder.TmpFiles().size();
            continue;
        }
        // Nowhere to keep anything: every file fails with its own name.
        const char* names[] = {"a.grb", "b.grb", "c.grb"};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_FALSE(list.Item(i).placed) << i;
            EXPECT_TRUE(list.GetFileError(i).Contains(names[i])) << i << ": " << list.GetFileError(i);
        }
        EXPECT_EQ(ReadFile(folder.path), "not a folder");
    }
}

// Receive passes end at the first chunk after a tick: the file percent is
// what the file held before the pass, the total what arrived with it.
TEST_F(TransferWorker, ProgressPerPass)
{
    CXferSocketThread::SetProgressInterval(0);
    sim.Serve("a.grb", SampleBytes(600, 12));
    sim.Serve("b.grb", SampleBytes(400, 13));
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    observers.emplace_back(std::make_unique<RecordingObserver>());
    RecordingObserver& o = *observers.back();
    std::atomic<CXferSocketThread*> worker {nullptr};
    bool ticked = false;
    o.onFileBegin = [&] {
        if (!ticked) {
            ticked = true;
            while (!worker.load())
                std::this_thread::yield();
            worker.load()->PerformObserverUpdate(1000);
        }
    };
    worker = Start(o, list);
    ASSERT_TRUE(o.WaitForExit());
    CXferSocketThread::SetProgressInterval(10);
    EXPECT_EQ(o.Starting("Progress"),
              std::vector<std::string>({"Progress 0 25", "Progress 42 60", "Progress 100 60", "Progress 0 100",
                                        "Progress 100 100"}))
        << o.All();
    // Elapsed times at each file's start, after the pass that ended on the
    // tick, and after the last file.
    EXPECT_EQ(o.Starting("Elapsed"), std::vector<std::string>(4, "Elapsed 0 1000")) << o.All();
}

TEST_F(TransferWorker, NothingToDo)
{
    struct Case {
        const char* name;
        long rate;
        std::vector<std::string> refuse;
        std::string done;
    };
    const Case cases[] = {
        {"empty list", 100000, {}, "Done failed No files selected for download.\nTransfer aborted.\n"},
        {"no rate", -1, {}, "Done failed Transfer aborted.\n"},
        {"all refused", 100000, {"refuse=a.grb"}, "Done ok Transfer done.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Serve("a.grb", "a");
        sim.SetFaults(c.refuse);
        Folder folder(dir.Path());
        CFileList list;
        bool empty = std::string(c.name) == "empty list";
        if (!empty)
            folder.Add(list, "a.grb");
        size_t before = sim.Received().size();
        RecordingObserver& o = Run(list, false, c.rate);
        EXPECT_EQ(o.Starting("Done"), std::vector<std::string>({c.done})) << o.All();
        if (empty) {
            EXPECT_EQ(sim.Received().size(), before);   // no connection at all
        }
        if (c.rate == -1) {
            EXPECT_TRUE(o.Has("Status ERROR: Transfer rate value is undefined.\n"));
        }
        if (!c.refuse.empty()) {
            EXPECT_TRUE(o.Has("Begin 0 "));
            EXPECT_TRUE(o.Has("Status ERROR: File 'a.grb' is not available.\r\n")) << o.All();
        }
    }
}

// Terminate(false) during a slow transfer: the current file keeps its partial
// copy, the files before it are placed, and a file the transfer never
// reached is neither placed nor deleted, even when an old complete-looking
// temporary file exists for it.
TEST_F(TransferWorker, StopDuringTheDataPhase)
{
    std::string a = sim.Serve("a.grb", SampleBytes(2000, 14));
    sim.Serve("b.grb", SampleBytes(400000, 15));
    sim.Serve("c.grb", SampleBytes(1000, 16));
    sim.SetFaults({"rate=100000"});
    Folder folder(dir.Path());
    WriteFile(folder.Tmp("c.grb"), "stale");
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    folder.Add(list, "c.grb");
    observers.emplace_back(std::make_unique<RecordingObserver>());
    RecordingObserver& o = *observers.back();
    o.answers.push_back(wxYES);   // keep c.grb's old copy to complete it
    CXferSocketThread* worker = Start(o, list);
    ASSERT_TRUE(tw::test::WaitFor([&] { return o.Has("FileBegin b.grb"); }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    worker->Terminate(false);
    ASSERT_TRUE(o.WaitForExit());
    EXPECT_TRUE(o.Has("Done failed Transfer aborted.\n")) << o.All();
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), a);
    EXPECT_FALSE(wxFileExists(folder.Final("b.grb")));
    EXPECT_FALSE(wxFileExists(folder.Final("c.grb")));
    EXPECT_GT(wxFileName::GetSize(folder.Tmp("b.grb")), 0u);
    EXPECT_EQ(ReadFile(folder.Tmp("c.grb")), "stale");
    EXPECT_EQ(list.GetFileError(1), CXferSocketThread::kAbortText);
    EXPECT_EQ(list.GetFileError(2), CXferSocketThread::kAbortText);
}

// Terminate(true) while the worker waits on a silent server: the read ends
// at once and the observer hears nothing more, not even the exit.
TEST_F(TransferWorker, ForcedStop)
{
    sim.Configure("skipper", "s3cret", 60);
    sim.Serve("a.grb", SampleBytes(50000, 17));
    sim.SetFaults({"stall-after=10000"});
    Folder folder(dir.Path());
    // The worker may touch the list until it has ended; this one outlives it.
    auto* list = new CFileList;
    folder.Add(*list, "a.grb");
    observers.emplace_back(std::make_unique<RecordingObserver>());
    RecordingObserver& o = *observers.back();
    CXferSocketThread* worker = Start(o, *list);
    ASSERT_TRUE(tw::test::WaitFor([&] { return o.Has("FileBegin a.grb"); }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    size_t before = o.Events().size();
    EXPECT_TRUE(worker->Terminate(true));
    // The worker ends well within the transfer time-out: its entry is marked.
    EXPECT_TRUE(tw::test::WaitFor([&] { return !list->GetFileError(0).empty(); }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(o.Events().size(), before) << o.All();
    EXPECT_FALSE(o.Has("Exit"));
    EXPECT_FALSE(wxFileExists(folder.Final("a.grb")));
}

} // namespace

// The whole transfer works with the settings it was set up with: a change
// of the settings file while it runs (here made before it starts) reaches
// neither the connection nor the placement of its files.
TEST_F(TransferWorker, SettingsAreTakenOnceWhenTheTransferIsSetUp)
{
    Folder folder(dir.Path());
    const std::string fresh = sim.Serve("a.grb", SampleBytes(2000, 21));
    WriteFile(folder.Final("a.grb"), "older");
    SetArchive(false);
    CFileList list;
    folder.Add(list, "a.grb");
    RecordingObserver o;
    auto* worker = new CXferSocketThread(&o, true);
    CXferLocation position;
    worker->SetupFileDownload(&list, position, 100000, nullptr);

    SetArchive(true);
    {
        CUserConfig config;
        config.WriteInt("Gateway/port", tw::test::FreeLoopbackPort());
    }
    Launch(worker);
    ASSERT_TRUE(o.WaitForExit()) << o.All();
    EXPECT_TRUE(o.Has("Done ok Transfer done.\n")) << o.All();
    EXPECT_EQ(ReadFile(folder.Final("a.grb")), fresh);
    wxDir archive(folder.path);
    wxString name;
    EXPECT_FALSE(archive.GetFirst(&name, wxEmptyString, wxDIR_DIRS) && name != "tmp") << "archived into " << name;
}

// The service's notices after the login: a newer catalogue or zone list
// than the databases the job was handed, and a low card balance.
TEST_F(TransferWorker, NoticesCompareWithTheJobsDatabases)
{
    const std::string updateNotice = "Status \n      **** Available Tidewright Updates ****\n";
    const std::string balanceNotice = "Status \n      **** Low Balance Notice ****\n";
    const struct {
        const char* answer;
        bool versionsKnown;
        bool update;
        const char* balance;   // the balance text of the notice, or null
    } cases[] = {
        {"OK --zir=6 --mz=3", true, true, nullptr},
        {"OK --zir=5 --mz=4", true, true, nullptr},
        {"OK --zir=5 --mz=3", true, false, nullptr},
        {"OK --zir=4 --mz=2", true, false, nullptr},
        {"OK --zir=6 --mz=4", false, false, nullptr},   // nothing to compare with
        {"OK --zir=x6", true, false, nullptr},
        {"OK --balance=12.5", true, false, "$12.50."},
        {"OK --balance=+0.004 --zir=9", true, true, "$0.00."},
        {"OK --balance=0", true, false, nullptr},
        {"OK --balance=-3.25", true, false, nullptr},
        {"OK --balance=abc", true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        sim.SetFaults({std::string("login-answer=") + c.answer});
        sim.Serve("a.grb", "a");
        Folder folder(dir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        CTransferJob job;
        job.versionsKnown = c.versionsKnown;
        job.productDbVersion = 5;
        job.marineZonesDbVersion = 3;
        RecordingObserver o;
        auto* worker = new CXferSocketThread(&o, true);
        CXferLocation position;
        worker->SetupFileDownload(&list, position, 100000, nullptr, job);
        Launch(worker);
        ASSERT_TRUE(o.WaitForExit()) << o.All();
        EXPECT_TRUE(o.Has("Done ok Transfer done.\n")) << o.All();
        EXPECT_EQ(o.Has(updateNotice), c.update) << o.All();
        EXPECT_EQ(o.Has(balanceNotice), c.balance != nullptr) << o.All();
        if (c.balance) {
            EXPECT_TRUE(o.Has(std::string("Your Tidewright card balance is ") + c.balance)) << o.All();
        }
    }
}

// Without a user name the transfer ends before it connects, saying what is
// missing and where to enter it; no file passes for received.
TEST_F(TransferWorker, NoAccountEndsBeforeConnecting)
{
    sim.Serve("a.grb", "a");
    {
        CUserConfig config;
        config.WriteText("Gateway/username", "");
    }
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    const std::string before = sim.Received();
    RecordingObserver& o = Run(list);
    EXPECT_EQ(o.Starting("Done"),
              std::vector<std::string>({std::string("Done failed ") + CXferSocketThread::kNoAccountText
                                        + "Transfer aborted.\n"}))
        << o.All();
    EXPECT_NE(std::string(CXferSocketThread::kNoAccountText).find("Connection Settings"), std::string::npos);
    EXPECT_FALSE(o.Has("Status Opening connection")) << o.All();
    EXPECT_EQ(sim.Received(), before) << "nothing reached the gateway";
    EXPECT_EQ(list.GetFileError(0), CXferSocketThread::kAbortText);
    EXPECT_FALSE(wxFileExists(folder.Final("a.grb")));
}

// A connection that breaks off mid-file: the report starts with a sentence
// saying what happened and that the received part is kept, and the
// technical line follows it unchanged.
TEST_F(TransferWorker, BrokenConnectionIsToldInPlainWordsFirst)
{
    struct Case {
        const char* fault;
        const char* sentence;
        const char* technical;
    };
    const Case cases[] = {
        {"stall-after=10000", "The gateway stopped answering; the files received so far are kept and will resume.\n",
         "[socket time out]."},
        {"cut-after=10000", "The connection to the gateway was lost; the files received so far are kept and will resume.\n",
         "[socket i/o error]."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim.Configure("skipper", "s3cret", 1);
        sim.Serve("a.grb", SampleBytes(50000, 18));
        sim.SetFaults({c.fault});
        // A folder of its own: the part kept by the case before would be
        // offered for completion.
        tw::test::TempDir caseDir;
        Folder folder(caseDir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        RecordingObserver& o = Run(list);
        const std::vector<std::string> status = o.Starting("Status ");
        auto sentence = std::find(status.begin(), status.end(), std::string("Status ") + c.sentence);
        ASSERT_NE(sentence, status.end()) << o.All();
        ASSERT_NE(sentence + 1, status.end()) << o.All();
        EXPECT_EQ((sentence + 1)->rfind("Status Network read operation error (", 0), 0u) << o.All();
        EXPECT_NE((sentence + 1)->find(c.technical), std::string::npos) << o.All();
        EXPECT_GT(wxFileName::GetSize(folder.Tmp("a.grb")), 0u) << "the received part is kept";
    }
}

TEST(SocketFailureSentence, StoppedByTheUserIsNotALostConnection)
{
    EXPECT_EQ(tw::SocketFailureSentence(wxSOCKET_IOERR, true),
              "The transfer was stopped; the files received so far are kept and will resume.");
    EXPECT_EQ(tw::SocketFailureSentence(wxSOCKET_NOHOST, false),
              "The gateway could not be reached; check its name and port under Connection Settings.");
    EXPECT_EQ(tw::SocketFailureSentence(wxSOCKET_MEMERR, false),
              "The connection to the gateway failed; the files received so far are kept and will resume.");
}
