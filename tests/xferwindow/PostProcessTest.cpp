// What happens to downloaded files: file kinds, the processing order, the
// actual file of a request, the programs started for each after-download
// action (recorded, never run), the default opener's messages, combined
// GRIB files and the clipboard text.
#include <algorithm>
#include <unistd.h>

#include <wx/dir.h>
#include <wx/filefn.h>

#include "model/Broadcast.h"
#include "model/PostProcess.h"
#include "xferwindow/XferFixtures.h"

using namespace xfer_test;
using tw::test::ReadFile;
using tw::test::WriteFile;

namespace {

using Argv = std::vector<wxString>;
using Starts = std::vector<Argv>;

class PostProcessing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous = CPostProcess::SetFileTypeLookup([this](const wxString& ext, const wxString&) {
            CPostProcess::FileType t;
            t.known = ext != "unknownext";
            t.hasOpener = t.known && ext != "ani" && ext != "ANI";
            return t;
        });
    }
    void TearDown() override { CPostProcess::SetFileTypeLookup(previous); }

    // A downloaded file in the test folder.
    wxString Put(const wxString& name, const std::string& bytes = "data")
    {
        const wxString path = dir / name;
        WriteFile(path, bytes);
        return path;
    }

    tw::test::TempDir dir;
    RecordingLauncher launcher;
    CPostProcess::FileTypeLookup previous;
};

} // namespace

TEST_F(PostProcessing, FileKindsByTheTextOfThePath)
{
    struct Case {
        const char* path;
        bool text, image, grib;
    };
    const Case cases[] = {
        {"/d/forecast.TXT", true, false, false},
        {"/d/notes.text.gz", true, false, false},
        {"/d/chart.png.bz2", false, true, false},
        {"/d/model.GRB2", false, false, true},
        {"/d/run.grib", false, false, true},
        {"/d/loop.ani", false, true, false},
        {"/d/sat.TIF", false, true, false},
        {"/d/plain", false, false, false},
        {"/d.grb/plain", false, false, true},   // anywhere in the path
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPostProcess::isText(c.path), c.text) << c.path;
        EXPECT_EQ(CPostProcess::isImage(c.path), c.image) << c.path;
        EXPECT_EQ(CPostProcess::isGrib(c.path), c.grib) << c.path;
    }
}

TEST_F(PostProcessing, OrderByExtensionIsStableAndPutsNoExtensionFirst)
{
    CActiveFileList files;
    const char* paths[] = {"/d/b.txt", "/d/noext", "/d/a.grb", "", "/d/c.txt", "/d/z.grb", "/d/A.TXT", "/d/m.png"};
    for (const char* p : paths) {
        Active a;
        a.id = p;
        a.runstat = 0;
        AddActive(files, a);
        files.Item(files.GetCount() - 1).LocalPath = p;
    }
    CPostProcess::PostProcess(files);
    std::vector<wxString> order;
    for (size_t i = 0; i < files.GetCount(); ++i)
        order.push_back(files.Item(i).LocalPath);
    const std::vector<wxString> expected = {"/d/noext", "", "/d/A.TXT", "/d/a.grb", "/d/z.grb",
                                            "/d/m.png", "/d/b.txt", "/d/c.txt"};
    EXPECT_EQ(order, expected);

    CActiveFile x, y;
    x.LocalPath = "/d/a";
    y.LocalPath = "/d/b";
    EXPECT_EQ(SortAscendingExt(x, y), 0) << "two paths without extension are equal";
    y.LocalPath = "/d/b.grb";
    EXPECT_EQ(SortAscendingExt(x, y), -1);
    EXPECT_EQ(SortAscendingExt(y, x), 1) << "the order is consistent whichever side lacks the dot";
}

TEST_F(PostProcessing, ActualFileOfARequest)
{
    ASSERT_TRUE(wxFileName::Mkdir(dir / "b", 0777));
    WriteFile(dir / "b/c.png", "x");
    WriteFile(dir / "b/exact.txt", "x");
    struct Case {
        wxString requested;
        wxString actual;
    };
    const Case cases[] = {
        {dir / "b/exact.txt", dir / "b/exact.txt"},
        {dir / "b/c.jpg", dir / "b/c.png"},       // same name, another extension
        {dir / "b/nothing", ""},                  // no "." at all
        {dir / "b/d.jpg", ""},
        {dir / "missing/c.jpg", ""},              // folder cannot be read
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPostProcess::GetActualFile(c.requested), c.actual) << c.requested;
}

TEST_F(PostProcessing, ProgramsGetTheFileAsOneArgument)
{
    const wxString app = "/Applications/My Viewer.app";
    const wxString hostile = Put("a \"b\" --c ;rm x.txt");
    CPostProcess::RunApp(app, 0, dir.Path(), hostile);
    CPostProcess::RunApp(app, 1, dir.Path(), hostile);
    CPostProcess::RunApp("", 0, dir.Path(), hostile);
    CPostProcess::RunApp("/opt/view\"er", 2, dir.Path(), hostile);
    const Starts expected = {{app, hostile}, {app}, {"/opt/view\"er", hostile}};
    EXPECT_EQ(launcher.Starts(), expected);
}

// One file's action by the batch's settings, with the viewers installed or not.
TEST_F(PostProcessing, ActionsByRunstatAndViewers)
{
    struct Case {
        const char* name;
        const char* file;
        int runstat;
        int runwexpg;
        int args;
        bool viewers;
        std::vector<std::vector<std::string>> starts;   // "CHART", "GRIB", "APP", "FILE", "OPEN" placeholders
    };
    const Case cases[] = {
        {"runstat 0 from a list opens with the default", "a.txt", 0, 0, 0, true, {{"OPEN", "FILE"}}},
        {"runstat 1 text", "a.txt", 1, 0, 0, true, {{"OPEN", "FILE"}}},
        {"runstat 2 image", "a.png", 2, 0, 0, true, {{"OPEN", "FILE"}}},
        {"runstat 1 GRIB", "a.grb", 1, 0, 0, true, {{"OPEN", "FILE"}}},
        {"runstat 3 with the file", "a.grb", 3, 0, 0, true, {{"APP", "FILE"}}},
        {"runstat 3 without the file", "a.grb", 3, 0, 1, true, {{"APP"}}},
        {"runstat 4 text", "a.txt", 4, 0, 1, true, {{"CHART", "FILE"}}},
        {"runstat 4 image", "a.gif", 4, 0, 0, true, {{"CHART", "FILE"}}},
        {"runstat 4 GRIB goes to the default", "a.grb", 4, 0, 0, true, {{"OPEN", "FILE"}}},
        {"runstat 4 text, no chart viewer", "a.txt", 4, 0, 0, false, {}},
        {"runstat 4 image, no chart viewer", "a.gif", 4, 0, 0, false, {}},
        {"GRIB viewer", "a.grb", 3, 1, 1, true, {{"GRIB", "FILE"}}},
        {"GRIB viewer missing: nothing at all", "a.grb", 3, 1, 0, false, {}},
        {"GRIB viewer flag on a text file", "a.txt", 1, 1, 0, true, {{"OPEN", "FILE"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        launcher.Clear();
        FakeApps apps(c.viewers, c.viewers, c.viewers);
        const wxString file = Put(c.file);
        CBatch batch;
        batch.info.runstat = c.runstat;
        batch.info.runwexpg = c.runwexpg;
        batch.info.args = c.args;
        batch.info.application = "/opt/apps/Batch App";
        CPostProcess::RunAndBroadcast(batch, dir.Path(), file);
        Starts expected;
        for (const auto& argv : c.starts) {
            Argv a;
            for (const std::string& part : argv) {
                if (part == "CHART")
                    a.push_back(apps.Chart());
                else if (part == "GRIB")
                    a.push_back(apps.Grib());
                else if (part == "APP")
                    a.push_back("/opt/apps/Batch App");
                else if (part == "FILE")
                    a.push_back(file);
                else
                    a.push_back("xdg-open");
            }
            expected.push_back(a);
        }
        EXPECT_EQ(launcher.Starts(), expected);
        EXPECT_EQ(ClipboardText(), file + "\r\n");
        wxRemoveFile(file);
    }
}

TEST_F(PostProcessing, DefaultOpenerMessages)
{
    struct Case {
        const char* file;
        const char* logged;   // empty: opened
    };
    const Case cases[] = {
        {"notes.txt", ""},
        {"pic.png", ""},
        {"model.grb", ""},
        {"data.unknownext", "No viewer exists for files of type 'unknownext'."},
        {"loop.ani", "TALVO Chartloom required but not found for this file type ("},
        {"LOOP.ANI", "No viewer found for file '"},
        {"50%d.ANI", "50%d.ANI'."},   // taken as it stands, not as a format
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        tw::test::ClearLog();
        launcher.Clear();
        const wxString file = Put(c.file);
        CPostProcess::RunAssocApp(dir.Path(), file);
        if (*c.logged) {
            EXPECT_TRUE(tw::test::LogContains(c.logged));
            EXPECT_TRUE(launcher.Starts().empty());
        } else {
            EXPECT_EQ(launcher.Starts(), Starts({{"xdg-open", file}}));
        }
    }
    // A missing file resolves to nothing: nothing opened, nothing said.
    tw::test::ClearLog();
    launcher.Clear();
    CPostProcess::RunAssocApp(dir.Path(), dir / "absent.txt");
    EXPECT_TRUE(launcher.Starts().empty());
    EXPECT_TRUE(tw::test::CapturedLog().empty());
}

TEST_F(PostProcessing, OpenerThatCannotStartIsReported)
{
    tw::ScopedLauncher failing([](const tw::LaunchRequest&) { return 0L; });
    const wxString file = Put("x.txt");
    CPostProcess::RunAssocApp(dir.Path(), file);
    EXPECT_TRUE(tw::test::LogContains("Failed to execute command 'xdg-open " + file + "'."));
}

// A combining batch: its GRIB files are joined in sorted order and never
// opened alone; viewers start once, before their first file; the combined
// file opens last.
TEST_F(PostProcessing, CombinedFilePerBatch)
{
    FakeApps apps;
    struct Case {
        const char* combined;
        bool combinedIsGrib;
    };
    const Case cases[] = {{"all.grb", true}, {"all.dat", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combined);
        launcher.Clear();
        const wxString combined = dir / c.combined;
        WriteFile(combined, "OLDER COMBINED FILE");
        CActiveFileList files;
        const char* names[] = {"c.grb", "a.grb", "notes.txt", "b.grb"};
        for (const char* n : names) {
            Active a;
            a.id = n;
            a.folder = dir.Path();
            a.runstat = 4;
            a.runwexpg = 1;
            a.combine = 1;
            a.gribfile = combined;
            AddActive(files, a);
            files.Item(files.GetCount() - 1).LocalPath = Put(n, std::string("<") + n + ">");
        }
        CPostProcess::PostProcess(files);
        EXPECT_EQ(ReadFile(combined), "<c.grb><a.grb><b.grb>") << "stable order, the older file replaced";
        Starts expected = {{apps.Chart()}, {apps.Chart(), dir / "notes.txt"}};
        if (c.combinedIsGrib) {
            expected.push_back({apps.Grib()});
            expected.push_back({apps.Grib(), combined});
        } else {
            // The GRIB viewer still starts before the first combined file
            // (its flag is set), which then opens by runstat 4: neither text
            // nor image, so in the default application.
            expected.push_back({apps.Grib()});
            expected.push_back({"xdg-open", combined});
        }
        EXPECT_EQ(launcher.Starts(), expected);
        wxArrayString left;
        wxDir::GetAllFiles(dir.Path(), &left, ".*", wxDIR_FILES | wxDIR_HIDDEN);
        EXPECT_TRUE(left.empty()) << "no temporary file stays: " << left[0];
    }
}

// A combined file is rebuilt only when every GRIB file naming it arrived;
// otherwise it keeps what it holds and is not opened, the GRIB files that did
// arrive are not opened alone either, and the other files are processed as
// usual. A GRIB file without a local path is known by its server-side name.
// A combined file is rebuilt from the GRIB files that arrived in this
// transfer, never from an older copy of one that did not; one that none of
// its GRIB files arrived for is left as it was and not opened. Without
// programs (a forced end) the files are joined and nothing is started.
TEST_F(PostProcessing, CombinedFileRebuiltFromTheGribFilesThatArrived)
{
    FakeApps apps;
    struct Case {
        const char* name;
        bool aArrived;             // /gfs/a.grb arrived
        const char* missingPath;   // server-side name of the file that did not arrive
        bool incomplete;           // some GRIB file of the combined file did not arrive
        bool runPrograms;
    };
    const Case cases[] = {
        {"a GRIB file missing", true, "/gfs/b.grb", true, true},
        {"a GRIB file of another form missing", true, "/gfs/b.GRIB2", true, true},
        {"only a text file missing", true, "/text/late.txt", false, true},
        {"no GRIB file arrived", false, "/gfs/b.grb", true, true},
        {"a GRIB file missing, no programs", true, "/gfs/b.grb", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        launcher.Clear();
        const wxString combined = dir / "all.grb";
        WriteFile(combined, "OLDER COMBINED FILE");
        WriteFile(dir / "b.grb", "<older b>");
        CActiveFileList files;
        auto add = [&](const wxString& path, const wxString& local) {
            Active a;
            a.id = path;
            a.path = path;
            a.folder = dir.Path();
            a.runstat = 4;
            a.runwexpg = 1;
            a.combine = 1;
            a.gribfile = combined;
            AddActive(files, a);
            files.Item(files.GetCount() - 1).LocalPath = local;
        };
        add("/gfs/a.grb", c.aArrived ? Put("a.grb", "<a>") : wxString());
        add(c.missingPath, wxString());
        add("/text/notes.txt", Put("notes.txt"));

        const wxArrayString incomplete = CPostProcess::PostProcess(files, c.runPrograms);
        Starts expected = {{apps.Chart()}, {apps.Chart(), dir / "notes.txt"}};
        if (c.aArrived) {
            EXPECT_EQ(ReadFile(combined), "<a>");
            expected.push_back({apps.Grib()});
            expected.push_back({apps.Grib(), combined});
        } else {
            EXPECT_EQ(ReadFile(combined), "OLDER COMBINED FILE");
        }
        if (!c.runPrograms)
            expected.clear();
        EXPECT_EQ(launcher.Starts(), expected);
        ASSERT_EQ(incomplete.size(), c.incomplete ? 1u : 0u);
        const auto shortfalls = CPostProcess::CombinedShortfalls(files);
        ASSERT_EQ(shortfalls.size(), c.incomplete ? 1u : 0u);
        if (c.incomplete) {
            EXPECT_EQ(incomplete[0], combined);
            EXPECT_EQ(shortfalls[0].gribfile, combined);
            EXPECT_EQ(shortfalls[0].rebuilt, c.aArrived);
            std::vector<wxString> missing;
            for (size_t i : shortfalls[0].missing)
                missing.push_back(files.Item(i).Path);
            std::vector<wxString> want = {c.missingPath};
            if (!c.aArrived)
                want.insert(want.begin(), "/gfs/a.grb");
            std::sort(missing.begin(), missing.end());
            std::sort(want.begin(), want.end());
            EXPECT_EQ(missing, want);
        }
    }
}

TEST_F(PostProcessing, TwoBatchesNamingOneCombinedFile)
{
    FakeApps apps;
    const wxString combined = dir / "shared.grb";
    CActiveFileList files;
    struct Spec {
        const char* name;
        int runstat;
        const char* app;
        wxString gribfile;
    };
    const Spec specs[] = {{"x.grb", 3, "/opt/First App", combined},
                          {"y.grb", 1, "", dir / "./shared.grb"}};   // another spelling of the same file
    for (const Spec& s : specs) {
        Active a;
        a.id = s.name;
        a.folder = dir.Path();
        a.runstat = s.runstat;
        a.combine = 1;
        a.gribfile = s.gribfile;
        a.application = s.app;
        AddActive(files, a);
        files.Item(files.GetCount() - 1).LocalPath = Put(s.name, s.name);
    }
    CPostProcess::PostProcess(files);
    EXPECT_EQ(ReadFile(combined), "x.grby.grb");
    EXPECT_EQ(launcher.Starts(), Starts({{"/opt/First App", combined}})) << "opened once, with the first's settings";
}

TEST_F(PostProcessing, CombinedFileThatCannotBeMade)
{
    FakeApps apps;
    CActiveFileList files;
    for (const char* n : {"a.grb", "b.grb"}) {
        Active a;
        a.id = n;
        a.folder = dir.Path();
        a.runstat = 1;
        a.runwexpg = 1;
        a.combine = 1;
        a.gribfile = dir / "no such folder/all.grb";
        AddActive(files, a);
        files.Item(files.GetCount() - 1).LocalPath = Put(n);
    }
    CPostProcess::PostProcess(files);
    int logged = 0;
    for (const auto& e : tw::test::CapturedLog())
        logged += e.text.Contains("Could not open output GRIB file " + dir / "no such folder/all.grb");
    EXPECT_EQ(logged, 2) << "once for every GRIB file of the batch";
    EXPECT_TRUE(launcher.Starts().empty());
}

TEST_F(PostProcessing, CombinedFileIsNeverAppendedToItself)
{
    FakeApps apps;
    CActiveFileList files;
    for (const char* n : {"a.grb", "b.grb"}) {
        Active a;
        a.id = n;
        a.folder = dir.Path();
        a.runstat = 0;
        a.combine = 1;
        a.gribfile = dir / "b.grb";   // the batch's combined file is one of its own downloads
        AddActive(files, a);
        files.Item(files.GetCount() - 1).LocalPath = Put(n, n);
    }
    CPostProcess::PostProcess(files);
    EXPECT_EQ(ReadFile(dir / "b.grb"), "a.grb") << "built from a.grb; b.grb is not appended to itself";
    EXPECT_TRUE(tw::test::LogContains("is the combined GRIB file itself"));

    // The same through a link to the combined file.
    ASSERT_EQ(symlink((dir / "b.grb").fn_str(), (dir / "link.grb").fn_str()), 0);
    CActiveFile linked;
    linked.LocalPath = dir / "link.grb";
    linked.gribfile = dir / "b.grb";
    EXPECT_FALSE(CPostProcess::ConcatGrib(linked, false));
    EXPECT_EQ(ReadFile(dir / "b.grb"), "a.grb");
}

TEST_F(PostProcessing, UnreadableDownloadIsNotAppended)
{
    CActiveFile f;
    f.LocalPath = dir / "gone.grb";
    ASSERT_EQ(symlink("nowhere", f.LocalPath.fn_str()), 0);   // named, but nothing to read
    f.gribfile = dir / "all.grb";
    EXPECT_FALSE(CPostProcess::ConcatGrib(f, true));
    EXPECT_TRUE(tw::test::LogContains("Cound not open input GRIB file " + f.LocalPath));
    EXPECT_FALSE(wxFileExists(f.gribfile));
    wxArrayString left;
    wxDir::GetAllFiles(dir.Path(), &left, ".*", wxDIR_FILES | wxDIR_HIDDEN);
    EXPECT_TRUE(left.empty()) << "the temporary file went too";
}

TEST_F(PostProcessing, FilesThatDidNotArriveTakeNoPart)
{
    FakeApps apps;
    WriteFile(dir / "old.txt", "older copy");
    CActiveFileList files;
    Active a;
    a.id = "OLD";
    a.path = "/text/old.txt";
    a.folder = dir.Path();
    a.runstat = 4;
    AddActive(files, a);   // no local path: not received in this transfer
    CPostProcess::PostProcess(files);
    CBroadcast().BroadcastFiles2ExternApps(files);
    EXPECT_TRUE(launcher.Starts().empty());
    EXPECT_EQ(ClipboardText(), "\r\n");
}

TEST_F(PostProcessing, ClipboardText)
{
    const wxString a = Put("a.txt"), b = Put("b.grb");
    const wxString accented = Put(wxString::FromUTF8("pr\xC3\xA9vision \xC3\xBC.txt"));
    // Characters of two, three and four bytes in UTF-8.
    const wxString wide = Put(wxString::FromUTF8("\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8C\x8A.grb"));
    struct Case {
        wxArrayString paths;
        wxString text;
    };
    wxArrayString both, withMissing, none, notAscii;
    both.Add(b);
    both.Add(a);
    notAscii.Add(accented);
    notAscii.Add(a);
    notAscii.Add(wide);
    withMissing.Add("");
    withMissing.Add(dir / "gone.txt");
    withMissing.Add(a);
    none.Add(dir / "gone.txt");
    const Case cases[] = {
        {both, b + "\r\n" + a + "\r\n"},
        {withMissing, a + "\r\n"},
        {none, "\r\n"},
        {wxArrayString(), "\r\n"},
        {notAscii, accented + "\r\n" + a + "\r\n" + wide + "\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CBroadcast::BuildText(c.paths), c.text);
        CBroadcast().BroadcastFiles(c.paths);
        EXPECT_EQ(ClipboardText(), c.text);
    }
}

// Files of a type no viewer opens, in one transfer: one notice at the end
// naming each such type once and how to choose a program; no error per file.
TEST_F(PostProcessing, TypeWithoutViewerIsToldOncePerTransfer)
{
    CActiveFileList files;
    const char* names[] = {"a.unknownext", "b.unknownext", "c.unknownext", "d.txt"};
    for (const char* name : names) {
        Active a;
        a.id = name;
        a.path = wxString("/x/") + name;
        a.folder = dir.Path();
        a.runstat = 1;   // the desktop's default application
        AddActive(files, a);
        files.Item(files.GetCount() - 1).LocalPath = Put(name);
    }
    for (int transfer = 0; transfer < 2; ++transfer) {
        SCOPED_TRACE(transfer);
        tw::test::ClearLog();
        launcher.Clear();
        CPostProcess::PostProcess(files);
        int notices = 0;
        for (const tw::test::LogEntry& e : tw::test::CapturedLog()) {
            EXPECT_NE(e.level, static_cast<unsigned long>(wxLOG_Error)) << e.text;
            if (e.text.Contains("'unknownext'")) {
                ++notices;
                EXPECT_EQ(e.level, static_cast<unsigned long>(wxLOG_Message));
                EXPECT_TRUE(e.text.Contains("View With > Choose Program...")) << e.text;
            }
        }
        EXPECT_EQ(notices, 1);
        EXPECT_EQ(launcher.Starts(), Starts({{"xdg-open", dir / "d.txt"}})) << "the other file still opens";
    }
}
