// Local names of downloaded items: interactive names, name patterns, the
// lookup of a local copy, its date text and the viewer paths.
#include <cstdlib>
#include <ctime>
#include <utime.h>

#include <gtest/gtest.h>
#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "core/LocalFiles.h"
#include "model/Batch.h"
#include "model/FileList.h"
#include "model/LocalCopy.h"
#include "support/EnvGuard.h"
#include "support/TestSupport.h"

using namespace tw::test;

namespace {

void Touch(const wxString& path, time_t mtime = 0)
{
    ASSERT_TRUE(WriteFile(path, "data")) << path;
    if (mtime) {
        struct utimbuf t = {mtime, mtime};
        ASSERT_EQ(utime(path.fn_str(), &t), 0);
    }
}

} // namespace

// Runs again under a comma-decimal locale: the area text keeps its points.
TEST(InteractiveNameLocale, AreaTextGoesBeforeTheFirstDotAfterTheArrow)
{
    struct Case {
        bool interactive;
        float width, lat, lon;
        const char* in;
        bool result;
        const char* out;
    } const cases[] = {
        {false, 15, 47.4f, -122.3f, "wind=>gfs_wind.grb.bz2", false, "wind=>gfs_wind.grb.bz2"},
        {true, 15, 47.4f, -122.3f, "data/gfs/wind=>gfs_wind.grb.bz2", true,
         "data/gfs/wind=>gfs_wind._47.4=-122.3=15.0_.grb.bz2"},
        {true, 15, 47.4f, -122.3f, "sat/ir.jpg", true, "sat/ir.jpg"},
        {true, 15, 47.4f, -122.3f, "prod=>noextension", true, "prod=>noextension"},
        {true, 2.5f, -0.04f, 179.96f, "a.b=>c.d.e", true, "a.b=>c._-0.0=180.0=2.5_.d.e"},
        {true, 10, 47.45f, 8.25f, "x=>y.txt", true, "x=>y._47.5=8.2=10.0_.txt"},
    };
    for (const Case& c : cases) {
        wxString name = c.in;
        EXPECT_EQ(tw::MakeInteractiveFileName(c.interactive, c.width, c.lat, c.lon, name), c.result)
            << c.in;
        EXPECT_EQ(name, c.out) << c.in;
    }
}

TEST(InteractiveNameLocale, NamePatterns)
{
    struct Case {
        const char* server;
        bool interactive;
        const char* pattern;
    } const cases[] = {
        {"data/gfs/wind=>gfs_wind.grb.bz2", false, "gfs_wind.*"},
        {"data/gfs/wind=>gfs_wind.grb.bz2", true, "gfs_wind._47.4=-122.3=15.0_.*"},
        {"http://host/charts/chart.png", false, "chart.*"},
        {"ftp://a://b/c.txt", false, "c.*"},
        {"plain.txt.bz2", false, "plain.*"},
        {"archive.bz2", false, "archive.*"},
        {"README", false, "README.*"},
        {"sat/ir.jpg", true, "ir.*"},
        {"a.b.c.grb", false, "a.b.c.*"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tw::BuildWildcardFileName(c.interactive, 15, 47.4f, -122.3f, c.server), c.pattern)
            << c.server;
}

TEST(LocalFiles, ReplaceBadFilenameChars)
{
    EXPECT_EQ(tw::ReplaceBadFilenameChars("a/b//c"), "a-b--c");
    EXPECT_EQ(tw::ReplaceBadFilenameChars("plain.grb"), "plain.grb");
}

// A download folder holding the exact file, an interactive copy, the same
// base with other extensions and in another letter case, a hidden file, a
// folder of the same base and the partial files of the "tmp" folder.
class LocalFileLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = dir.Path();
        ASSERT_TRUE(wxFileName::Mkdir(folder + "/tmp"));
        ASSERT_TRUE(wxFileName::Mkdir(folder + "/gfs_wind.d"));
    }
    void Files(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            Touch(folder + "/" + wxString::FromUTF8(n));
    }
    wxString Find(const char* server, bool interactive = false, float w = 15, float lat = 47.4f, float lon = -122.3f)
    {
        const wxString path =
            tw::GetMatchingFilePath(interactive, w, lat, lon, folder, wxString::FromUTF8(server));
        // A listing of the folder read once finds the same file.
        const tw::FolderListing listing(folder);
        EXPECT_EQ(tw::GetMatchingFilePath(interactive, w, lat, lon, listing, wxString::FromUTF8(server)), path)
            << server;
        return path.empty() ? wxString() : path.Mid(folder.length() + 1);
    }

    TempDir dir;
    wxString folder;
};

TEST_F(LocalFileLookup, ExactNameInteractiveCopiesAndOtherExtensions)
{
    const char* all[] = {"gfs_wind.grb", "gfs_wind.txt", "gfs_wind._47.4=-122.3=15.0_.grb",
                         "GFS_WIND.GRB", ".gfs_wind.grb", "tmp/gfs_wind.grb.bz2", "tmp/gfs_wind.aaa"};
    struct Case {
        const char* name;
        std::vector<const char*> absent;   // files of `all` left out
        const char* server;
        bool interactive;
        const char* found;
    } const cases[] = {
        {"exact name wins", {}, "data/gfs/wind=>gfs_wind.grb.bz2", false, "gfs_wind.grb"},
        {"exact other extension", {}, "wind=>gfs_wind.txt", false, "gfs_wind.txt"},
        {"another extension, never the interactive copy", {"gfs_wind.grb"}, "wind=>gfs_wind.grb", false,
         "gfs_wind.txt"},
        {"only the interactive copy", {"gfs_wind.grb", "gfs_wind.txt"}, "wind=>gfs_wind.grb", false, ""},
        {"interactive request", {}, "wind=>gfs_wind.grb.bz2", true, "gfs_wind._47.4=-122.3=15.0_.grb"},
        {"interactive request, no copy of its area", {"gfs_wind._47.4=-122.3=15.0_.grb"}, "wind=>gfs_wind.grb",
         true, ""},
        {"nothing but other case, hidden, folder and tmp",
         {"gfs_wind.grb", "gfs_wind.txt", "gfs_wind._47.4=-122.3=15.0_.grb"}, "wind=>gfs_wind.grb", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* n : all) {
            const wxString path = folder + "/" + n;
            bool absent = false;
            for (const char* a : c.absent)
                absent = absent || wxString(a) == n;
            if (absent)
                wxRemoveFile(path);
            else
                Touch(path);
        }
        EXPECT_EQ(Find(c.server, c.interactive), c.found);
    }
}

TEST_F(LocalFileLookup, SeveralMatchesGoByName)
{
    Files({"b.zzz", "b.mmm", "b.aaa", "b.", "bb.aaa"});
    EXPECT_EQ(Find("x=>b.grb"), "b.");
    wxRemoveFile(folder + "/b.");
    EXPECT_EQ(Find("x=>b.grb"), "b.aaa");
}

TEST_F(LocalFileLookup, NamesAreComparedLiterally)
{
    // As patterns "?" and "[" would match these; as names they do not.
    Files({"chartX.png", "chart[1].png"});
    EXPECT_EQ(Find("charts/chart?.gif"), "");
    EXPECT_EQ(Find("charts/chart[1].gif"), "chart[1].png");
    EXPECT_EQ(Find("charts/chart[2].gif"), "");
}

TEST_F(LocalFileLookup, ExactNameWithoutExtensionAndCompressedNames)
{
    Files({"README", "model.grb", "model.grb.bz2"});
    EXPECT_EQ(Find("docs/README"), "README");
    // The name as requested first, then without ".bz2".
    EXPECT_EQ(Find("srv/model.grb.bz2"), "model.grb.bz2");
    wxRemoveFile(folder + "/model.grb.bz2");
    EXPECT_EQ(Find("srv/model.grb.bz2"), "model.grb");
}

TEST_F(LocalFileLookup, EmptyOrMissingFolder)
{
    Files({"gfs_wind.grb"});
    EXPECT_TRUE(tw::GetMatchingFilePath(false, 0, 0, 0, wxString(), "gfs_wind.grb").empty());

    CBatch batch;
    EXPECT_TRUE(tw::GetFilePath(&batch, wxString(), "gfs_wind.grb").empty());
    EXPECT_FALSE(LogContains("not found"));

    const wxString missing = folder + "/missing";
    EXPECT_TRUE(tw::GetFilePath(&batch, missing, "gfs_wind.grb").empty());
    EXPECT_TRUE(LogContains("Directory '" + missing + "' not found."));

    ClearLog();
    EXPECT_EQ(tw::GetFilePath(&batch, folder, "gfs_wind.grb"), folder + "/gfs_wind.grb");
    EXPECT_FALSE(LogContains("not found"));
}

TEST_F(LocalFileLookup, BatchAreaSelectsTheInteractiveCopy)
{
    Files({"gfs_wind.grb", "gfs_wind._47.4=-122.3=15.0_.grb", "gfs_wind._10.0=20.0=5.0_.grb"});
    CBatch batch;
    batch.info.bInteractive = 1;
    batch.info.width = 5;
    batch.info.lat = 10;
    batch.info.lon = 20;
    EXPECT_EQ(tw::GetFilePath(&batch, folder, "wind=>gfs_wind.grb"),
              folder + "/gfs_wind._10.0=20.0=5.0_.grb");
    batch.info.bInteractive = 0;
    EXPECT_EQ(tw::GetFilePath(&batch, folder, "wind=>gfs_wind.grb"), folder + "/gfs_wind.grb");
}

TEST_F(LocalFileLookup, TransferEntryLooksInItsTmpFolder)
{
    Files({"gfs_wind.grb", "tmp/gfs_wind.grb.bz2", "tmp/gfs_wind._47.4=-122.3=15.0_.grb"});
    CFileList list;
    list.Add("wind=>gfs_wind.grb.bz2", folder + "/tmp/gfs_wind.grb.bz2", folder + "/gfs_wind.grb",
             "gfs_wind.grb.bz2", "", "1", false, 0, 0, 0);
    list.Add("wind=>gfs_wind.grb", folder + "/tmp/wind=>gfs_wind.grb", folder + "/wind=>gfs_wind.grb",
             "wind=>gfs_wind.grb", "", "1", true, 15, 47.4f, -122.3f);
    list.Add("nofolder.grb", "nofolder.grb", "nofolder.grb", "nofolder.grb", "", "1", false, 0, 0, 0);
    list.Add("absent.grb", folder + "/tmp/absent.grb", folder + "/absent.grb", "absent.grb", "", "1", false, 0,
             0, 0);
    EXPECT_EQ(tw::GetFilePath(list, 0), folder + "/tmp/gfs_wind.grb.bz2");
    EXPECT_EQ(tw::GetFilePath(list, 1), folder + "/tmp/gfs_wind._47.4=-122.3=15.0_.grb");
    EXPECT_EQ(tw::GetFilePath(list, 2), "");
    EXPECT_EQ(tw::GetFilePath(list, 3), "");
    EXPECT_EQ(tw::GetFilePath(list, 4), "");
    EXPECT_EQ(tw::GetFilePath(list, -1), "");
}

TEST_F(LocalFileLookup, DateTextInLocalTime)
{
    // 2023-07-04 18:30:00 UTC and 2023-01-15 09:05:00 UTC.
    Touch(folder + "/summer.grb", 1688495400);
    Touch(folder + "/winter.grb", 1673773500);
    CBatch batch;
    struct Case {
        const char* tz;
        const char* summer;
        const char* winter;
    } const cases[] = {
        {"UTC0", "23-07-04 18:30", "23-01-15 09:05"},
        {"EST5EDT,M3.2.0,M11.1.0", "23-07-04 14:30", "23-01-15 04:05"},
        {"JST-9", "23-07-05 03:30", "23-01-15 18:05"},
    };
    for (const Case& c : cases) {
        ScopedEnv tz("TZ", c.tz);
        EXPECT_EQ(tw::GetDiskDate(&batch, folder, "x=>summer.grb.bz2"), c.summer) << c.tz;
        EXPECT_EQ(tw::GetDiskDate(&batch, folder, "winter.grb"), c.winter) << c.tz;
    }
    EXPECT_EQ(tw::GetDiskDate(&batch, folder, "never.grb"), "  N/A   ");
    EXPECT_EQ(tw::GetDiskDate(&batch, wxString(), "summer.grb"), "  N/A   ");

    // The same over a listing of the folder; a missing folder is reported.
    {
        ScopedEnv tz("TZ", "UTC0");
        const tw::FolderListing listing(folder);
        EXPECT_EQ(tw::GetDiskDate(&batch, listing, "x=>summer.grb.bz2"), "23-07-04 18:30");
        EXPECT_EQ(tw::GetDiskDate(&batch, listing, "never.grb"), "  N/A   ");
    }
    const tw::FolderListing missing(folder + "/missing");
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(tw::GetDiskDate(&batch, missing, "summer.grb"), "  N/A   ");
    EXPECT_TRUE(LogContains("Directory '" + folder + "/missing' not found."));
}

TEST(LocalFiles, ViewerPaths)
{
    TempDir apps;
    auto program = [&](const wxString& folder, const wxString& exe) {
        ASSERT_TRUE(wxFileName::Mkdir(apps / folder, 0755, wxPATH_MKDIR_FULL));
        if (!exe.empty()) {
            const wxString path = apps / folder + "/" + exe;
            ASSERT_TRUE(WriteFile(path, "#!/bin/sh\n"));
            ASSERT_TRUE(wxFileName(path).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE));
        }
    };
    program("Chartloom", "chartloom");
    program("Isobarion", "");   // installed without its program: still found
    program("TextEdit", "textedit");
    ScopedEnv env("TIDEWRIGHT_APPS", apps.Path());

    EXPECT_EQ(tw::GetWSPath(), apps / "Chartloom");
    EXPECT_EQ(tw::GetIsobarionPath(), apps / "Isobarion");
    EXPECT_EQ(tw::GetTXTAppPath(), apps / "TextEdit" + "/textedit");
    if (!wxDirExists("/opt/tidewright-apps/Imvra")) {
        EXPECT_TRUE(tw::GetIFVAppPath().empty());
    }

    // An application folder without its program gives no text editor.
    wxRemoveFile(apps / "TextEdit" + "/textedit");
    EXPECT_TRUE(tw::GetTXTAppPath().empty());
}
