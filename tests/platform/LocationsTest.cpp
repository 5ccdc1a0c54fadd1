#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "platform/Locations.h"
#include "support/TestSupport.h"
#include "support/EnvGuard.h"

using namespace tw::test;

TEST(Locations, ResourcesFollowOverrideThenInstalledShareThenBuildTree)
{
    TempDir prefix;
    wxFileName::Mkdir(prefix / "bin", 0755, wxPATH_MKDIR_FULL);
    const wxString exe = prefix / "bin/tidewright";
    ASSERT_TRUE(WriteFile(exe, "#!/bin/sh\n"));
    const wxString installed = prefix / "share/tidewright";

    EnvGuard env;
    env.Unset("TIDEWRIGHT_RESOURCES");
    // Nothing installed beside the executable: the build tree's folder.
    EXPECT_EQ(tw::ResourcesDirFor(exe), wxString(TIDEWRIGHT_BUILD_RESOURCES));

    ASSERT_TRUE(wxFileName::Mkdir(installed, 0755, wxPATH_MKDIR_FULL));
    EXPECT_EQ(tw::ResourcesDirFor(exe), installed);

    env.Set("TIDEWRIGHT_RESOURCES", "/srv/tw resources/");
    EXPECT_EQ(tw::ResourcesDirFor(exe), "/srv/tw resources");
    EXPECT_EQ(tw::ResourcesDir(), "/srv/tw resources");

    env.Set("TIDEWRIGHT_RESOURCES", "");
    EXPECT_EQ(tw::ResourcesDirFor(exe), installed);
}

TEST(Locations, RunningTestProgramFindsTheBuildResources)
{
    EnvGuard env;
    env.Unset("TIDEWRIGHT_RESOURCES");
    EXPECT_EQ(tw::ResourcesDir(), wxString(TIDEWRIGHT_BUILD_RESOURCES));
    EXPECT_TRUE(wxFileExists(tw::ResourcesDir() + "/Tidewright.conf"));
}

TEST(Locations, UserDataFolderUsesXdgDataHome)
{
    TempHome home;
    EnvGuard env;
    const struct {
        const char* dataHome;   // nullptr: unset
        wxString expected;
    } cases[] = {
        {"/var/data/", "/var/data/TALVO/Tidewright"},
        {"/var/da ta", "/var/da ta/TALVO/Tidewright"},
        {"relative/share", home.Path() + "/.local/share/TALVO/Tidewright"},  // not absolute: ignored
        {"", home.Path() + "/.local/share/TALVO/Tidewright"},
        {nullptr, home.Path() + "/.local/share/TALVO/Tidewright"},
    };
    for (const auto& c : cases) {
        if (c.dataHome)
            env.Set("XDG_DATA_HOME", c.dataHome);
        else
            env.Unset("XDG_DATA_HOME");
        EXPECT_EQ(tw::UserDataDir(), c.expected) << (c.dataHome ? c.dataHome : "(unset)");
    }
}

TEST(Locations, DocumentsFolderFromEnvironmentThenUserDirsThenHome)
{
    const struct {
        const char* name;
        const char* envValue;       // XDG_DOCUMENTS_DIR; nullptr: unset
        const char* userDirsLine;   // a line of user-dirs.dirs; nullptr: no file
        bool makeDocuments;         // ~/Documents exists
        const char* expected;       // relative to HOME when it does not start with "/"
    } cases[] = {
        {"environment wins", "/mnt/docs/", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"", true, "/mnt/docs"},
        {"relative environment ignored", "docs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"", true, "Papers"},
        {"user-dirs relative to home", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Meine Dokumente\"", false,
         "Meine Dokumente"},
        {"user-dirs absolute with escapes", nullptr, "XDG_DOCUMENTS_DIR=\"/data/my \\\"docs\\\"\"", false,
         "/data/my \"docs\""},
        {"user-dirs disabled entry", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/\"", true, ""},
        {"user-dirs without the entry", nullptr, "XDG_MUSIC_DIR=\"$HOME/Music\"", true, "Documents"},
        {"user-dirs unquoted value ignored", nullptr, "XDG_DOCUMENTS_DIR=$HOME/Papers", false, ""},
        {"home Documents folder", nullptr, nullptr, true, "Documents"},
        {"home itself", nullptr, nullptr, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        EnvGuard env;
        if (c.envValue)
            env.Set("XDG_DOCUMENTS_DIR", c.envValue);
        else
            env.Unset("XDG_DOCUMENTS_DIR");
        wxFileName::Rmdir(home.Path() + "/Documents", wxPATH_RMDIR_RECURSIVE);
        if (c.makeDocuments)
            wxFileName::Mkdir(home.Path() + "/Documents", 0755);
        if (c.userDirsLine) {
            ASSERT_TRUE(WriteFile(home.ConfigHome() + "/user-dirs.dirs",
                                  std::string("# written by xdg-user-dirs-update\n") + c.userDirsLine + "\n"));
        }
        wxString expected = wxString::FromUTF8(c.expected);
        if (!expected.StartsWith("/"))
            expected = expected.empty() ? home.Path() : home.Path() + "/" + expected;
        EXPECT_EQ(tw::DocumentsDir(), expected);
    }
}

TEST(Locations, AppIdentityNamesTheSettingsFile)
{
    TempHome home;
    tw::ApplyAppIdentity();
    ASSERT_NE(wxTheApp, nullptr);
    EXPECT_EQ(wxTheApp->GetAppName(), "Tidewright");
    EXPECT_EQ(wxTheApp->GetVendorName(), "TALVO");
    // A settings file opened with no names of its own lands under the
    // application's name in the private home.
    {
        wxFileConfig config;
        config.Write("General/DefaultView", "Basic");
    }
    EXPECT_TRUE(wxFileExists(wxFileConfig::GetLocalFileName(tw::kAppName)));
    EXPECT_TRUE(wxFileConfig::GetLocalFileName(tw::kAppName).StartsWith(home.Path()));
}
