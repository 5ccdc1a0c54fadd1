#include <gtest/gtest.h>

#include <sys/stat.h>

#include <wx/filename.h>

#include "platform/AppLookup.h"
#include "support/TestSupport.h"
#include "support/EnvGuard.h"

using namespace tw::test;

namespace {

void MakeDir(const wxString& path)
{
    ASSERT_TRUE(wxFileName::Mkdir(path, 0755, wxPATH_MKDIR_FULL)) << path;
}

void MakeProgram(const wxString& path, bool executable = true)
{
    ASSERT_TRUE(WriteFile(path, "#!/bin/sh\nexit 0\n")) << path;
    chmod(path.fn_str(), executable ? 0755 : 0644);
}

// Two search folders as an installation might hold them.
class AppLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first = apps / "first apps";
        second = apps / "second";
        MakeDir(first + "/Chartloom/Resources");
        MakeProgram(first + "/Chartloom/chartloom");
        MakeDir(first + "/Isobarion/Resources");
        MakeProgram(first + "/Isobarion/isobarion", false);   // present but not executable
        MakeDir(first + "/TALVOMail");                        // no dialer inside
        MakeDir(second + "/zozor/Resources");
        MakeProgram(second + "/zozor/dizoduv");
        MakeDir(first + "/Imvra");
        MakeProgram(first + "/Imvra/imvra");
        MakeDir(second + "/Imvra");
        MakeProgram(second + "/Imvra/imvra");
        MakeDir(bin.Path());
        env.Set("TIDEWRIGHT_APPS", first + ":" + second + "/");
        env.Set("PATH", bin.Path());
        env.Unset("VISUAL").Unset("EDITOR");
    }

    TempDir apps;
    TempDir bin;
    wxString first, second;
    EnvGuard env;
};

} // namespace

TEST_F(AppLookup, FindsFoldersByApplicationName)
{
    const struct {
        const char* bundle;
        const char* executableName;   // nullptr: the default rule
        bool found;
        wxString bundleDir, executable, resources;
    } cases[] = {
        {"Chartloom.app", nullptr, true, "first apps/Chartloom", "first apps/Chartloom/chartloom",
         "first apps/Chartloom/Resources"},
        {"Chartloom", nullptr, true, "first apps/Chartloom", "first apps/Chartloom/chartloom",
         "first apps/Chartloom/Resources"},
        // Found, but its program cannot be run: no executable, resources kept.
        {"Isobarion.app", nullptr, true, "first apps/Isobarion", "", "first apps/Isobarion/Resources"},
        {"TALVOMail.app", "dizoduv", true, "first apps/TALVOMail", "", "first apps/TALVOMail/Resources"},
        {"zozor.app", "dizoduv", true, "second/zozor", "second/zozor/dizoduv", "second/zozor/Resources"},
        // The default rule does not find a program named otherwise.
        {"zozor.app", nullptr, true, "second/zozor", "", "second/zozor/Resources"},
        // The earlier search folder wins.
        {"Imvra.app", nullptr, true, "first apps/Imvra", "first apps/Imvra/imvra", "first apps/Imvra/Resources"},
        // Names are matched exactly.
        {"chartloom.app", nullptr, false, "", "", ""},
        {"NoSuchViewer.app", nullptr, false, "", "", ""},
        // Names that would leave the search folders.
        {"../second/zozor.app", "dizoduv", false, "", "", ""},
        {"..app", nullptr, false, "", "", ""},
        {".app", nullptr, false, "", "", ""},
        {"zozor.app", "../zozor/dizoduv", false, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bundle);
        const tw::FoundApp app = c.executableName ? tw::FindApplication(c.bundle, c.executableName)
                                                  : tw::FindApplication(c.bundle);
        auto full = [&](const wxString& rel) { return rel.empty() ? rel : apps.Path() + "/" + rel; };
        EXPECT_EQ(app.found, c.found);
        EXPECT_EQ(app.bundle, full(c.bundleDir));
        EXPECT_EQ(app.executable, full(c.executable));
        EXPECT_EQ(app.resourcesDir, full(c.resources));
    }
}

TEST_F(AppLookup, WithoutSearchFoldersNothingOfOursIsFound)
{
    env.Unset("TIDEWRIGHT_APPS");
    EXPECT_FALSE(tw::FindApplication("Chartloom.app").found);
    env.Set("TIDEWRIGHT_APPS", "");
    EXPECT_FALSE(tw::FindApplication("Chartloom.app").found);
}

TEST_F(AppLookup, PreviewIsTheDesktopOpener)
{
    EXPECT_FALSE(tw::FindApplication("Preview.app").found);   // no opener installed

    MakeProgram(bin / "xdg-open");
    const tw::FoundApp preview = tw::FindApplication("Preview.app");
    EXPECT_TRUE(preview.found);
    EXPECT_EQ(preview.executable, bin / "xdg-open");
    EXPECT_EQ(preview.bundle, bin / "xdg-open");
    EXPECT_TRUE(preview.resourcesDir.empty());

    // An installed folder of that name is taken first.
    MakeDir(first + "/Preview");
    MakeProgram(first + "/Preview/preview");
    EXPECT_EQ(tw::FindApplication("Preview.app").executable, first + "/Preview/preview");
}

TEST_F(AppLookup, TextEditIsTheUsersEditor)
{
    MakeProgram(bin / "xdg-open");
    MakeProgram(bin / "visual-editor");
    MakeProgram(bin / "plain editor");
    const wxString unset = "(unset)";
    const struct {
        wxString visual;
        wxString editor;
        wxString expected;
    } cases[] = {
        {"visual-editor", "plain editor", bin / "visual-editor"},
        {unset, "plain editor", bin / "plain editor"},
        {"no-such-editor", "plain editor", bin / "plain editor"},
        {"", bin / "visual-editor", bin / "visual-editor"},
        {unset, unset, bin / "xdg-open"},
        {"no-such-editor", "/nowhere/ed", bin / "xdg-open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EnvGuard local;
        c.visual == unset ? local.Unset("VISUAL") : local.Set("VISUAL", c.visual);
        c.editor == unset ? local.Unset("EDITOR") : local.Set("EDITOR", c.editor);
        const tw::FoundApp app = tw::FindApplication("TextEdit.app", "TextEdit");
        EXPECT_TRUE(app.found);
        EXPECT_EQ(app.executable, c.expected);
    }
}

TEST_F(AppLookup, ApplicationFolderProgramRule)
{
    EXPECT_EQ(tw::ApplicationFolderExecutable(first + "/Chartloom"), first + "/Chartloom/chartloom");
    EXPECT_EQ(tw::ApplicationFolderExecutable(first + "/Chartloom/"), first + "/Chartloom/chartloom");
    EXPECT_EQ(tw::ApplicationFolderExecutable(first + "/Isobarion"), "");
    EXPECT_EQ(tw::ApplicationFolderExecutable(first + "/Nothing"), "");
}
