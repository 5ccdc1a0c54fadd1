// The program's start and end as a whole, under Xvfb: the first run, a
// start in each view mode, mode switches, the single instance, the fatal
// start-up failures and the keys saved at exit.
#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/defs.h>
#include <wx/dir.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/snglinst.h>
#include <wx/treectrl.h>
#include <wx/splash.h>
#include <wx/utils.h>

#include "windows/library/batchwindow.h"
#include "platform/Launcher.h"
#include "platform/Locations.h"
#include "startup/StartupFixtures.h"
#include "windows/basic/basicwindow.h"
#include "windows/portal/loadwindow.h"
#include "windows/wizard/ContentWizardLauncher.h"

using namespace startup_test;

namespace {

class StartupTest : public ::testing::Test
{
protected:
    // A first run opens the content wizard from the Portal: a stand-in that
    // answers Cancel keeps the modal wizard out of tests that do not look at it.
    void SetUp() override
    {
        ResetApp();
        m_wizard = tw::SetContentWizardRunner([](wxWindow*, int) { return false; });
    }
    void TearDown() override
    {
        ResetApp();
        tw::SetContentWizardRunner(m_wizard);
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    tw::ContentWizardRunner m_wizard;

    wxString DbDir() const { return tw::UserDataDir() + "/DB"; }
    static wxString LockPath() { return TidewrightApp::InstanceLockDir() + "/" + TidewrightApp::InstanceLockName(); }

    // Installs the seeds as a first start would, so a test can edit the
    // user's databases before the start it looks at.
    void InstallSeeds() { ASSERT_TRUE(CInit::InitializeAppFolders()); }
};

// The suites whose names hold "Locale" run again under a comma-decimal locale.
using StartupLocaleTest = StartupTest;

struct ModeCase {
    const char* stored;
    wxClassInfo* windowClass;
    int id;
    const char* title;
    wxSize size;
    bool resizable;
};

} // namespace

TEST_F(StartupLocaleTest, FirstRunOpensPortalWritesPreferencesAndCopiesSeeds)
{
    std::vector<int> wizardPages;
    const tw::ContentWizardRunner previous = tw::SetContentWizardRunner([&](wxWindow*, int page) {
        wizardPages.push_back(page);
        return false;
    });
    ASSERT_TRUE(app.Startup());

    EXPECT_EQ(app.viewMode, "LoadWindow");
    auto* portal = dynamic_cast<LoadWindow*>(app.topWindow);
    ASSERT_NE(portal, nullptr);
    EXPECT_FALSE(app.firstRun) << "the Portal window takes the first-run flag";
    EXPECT_TRUE(tw::test::WaitFor([&] { return wizardPages.size() == 1; }, 2000))
        << "the Portal window opens the content wizard by itself";
    tw::SetContentWizardRunner(previous);

    // Preferences of a first run.
    EXPECT_EQ(ReadSetting("HomeLocation/ContentBox"), "15");
    for (const char* key : {"HomeLocation/CityLat", "HomeLocation/GPSLat", "HomeLocation/ManualLat"})
        EXPECT_EQ(ReadSetting(key), "47.4019") << key;
    for (const char* key : {"HomeLocation/CityLon", "HomeLocation/GPSLon", "HomeLocation/ManualLon"})
        EXPECT_EQ(ReadSetting(key), "-122.323") << key;
    EXPECT_DOUBLE_EQ(app.homePosition.lat, 47.4019);
    EXPECT_DOUBLE_EQ(app.homePosition.lon, -122.323);
    EXPECT_EQ(app.homePosition.width, 20) << "the width read before the first-run step stays";

    // Seeds copied with their normal permissions; the download root made.
    for (const char* name : {"zir.db", "zir_user.db", "MarineZones.db"}) {
        struct stat st {};
        ASSERT_EQ(stat((DbDir() + "/" + name).fn_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0644u) << name;
    }
    EXPECT_TRUE(wxDirExists(home.Documents() + "/Weather Files"));
    EXPECT_NE(app.productDb, nullptr);
    EXPECT_NE(app.userDb, nullptr);
    EXPECT_NE(app.marineZonesDb, nullptr);

    tw::test::Screenshot(app.topWindow, wxFileName::GetTempDir() + "/tw-startup-portal.png");
}

TEST_F(StartupTest, StartsInTheStoredModeWithItsWindow)
{
    const long resizable = wxRESIZE_BORDER | wxMAXIMIZE_BOX;
    const ModeCase cases[] = {
        {"LoadWindow", CLASSINFO(LoadWindow), 10353, "TALVO Tidewright", wxSize(1000, 726), false},
        {"Basic", CLASSINFO(BasicWindow), 10000, "Basic Window", wxSize(800, 800), true},
        {"Batch", CLASSINFO(BatchWindow), 10022, "Library Window", wxSize(800, 600), true},
    };
    std::vector<int> wizardPages;
    const tw::ContentWizardRunner previous = tw::SetContentWizardRunner([&](wxWindow*, int page) {
        wizardPages.push_back(page);
        return false;
    });
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.stored);
        ResetApp();
        tw::test::TempHome caseHome;
        WriteSetting("General/DefaultView", c.stored);
        ASSERT_TRUE(app.Startup());
        EXPECT_EQ(app.viewMode, c.stored);
        EXPECT_FALSE(app.firstRun);
        ASSERT_NE(app.topWindow, nullptr);
        EXPECT_TRUE(app.topWindow->IsKindOf(c.windowClass));
        EXPECT_EQ(app.topWindow->GetId(), c.id);
        EXPECT_EQ(app.topWindow->GetTitle(), c.title);
        // The Portal's fixed layout is its client area, below its menu bar;
        // the Basic window takes the size its content needs.
        if (c.windowClass == CLASSINFO(LoadWindow))
            EXPECT_EQ(app.topWindow->GetClientSize(), c.size);
        else if (dynamic_cast<BasicWindow*>(app.topWindow))
            EXPECT_EQ(app.topWindow->GetSize(), app.topWindow->GetMinSize());
        else
            EXPECT_EQ(app.topWindow->GetSize(), c.size);
        EXPECT_EQ((app.topWindow->GetWindowStyle() & resizable) == resizable, c.resizable);
        EXPECT_TRUE(app.topWindow->IsShown());
        EXPECT_EQ(app.GetTopWindow(), app.topWindow);
        tw::test::Screenshot(app.topWindow,
                             wxFileName::GetTempDir() + "/tw-startup-" + wxString(c.stored) + ".png");
        // A later start is not a first run: nothing asks for the wizard.
        tw::test::Pump(50);
        EXPECT_TRUE(wizardPages.empty());
        if (auto* basic = dynamic_cast<BasicWindow*>(app.topWindow)) {
            EXPECT_EQ(basic->m_wizardRequests, 0);
        }
        ResetApp();
    }
    tw::SetContentWizardRunner(previous);
}

// The world maps are decoded beside the database steps; what the start
// hands the map control is the picture as its file holds it, and a map
// whose file is missing stays empty without stopping the start.
TEST_F(StartupTest, WorldMapsAreLoadedAndAMissingOneStaysEmpty)
{
    FakeResources res;
    wxFileName::Mkdir(res / "res", 0700, wxPATH_MKDIR_FULL);
    const wxString mapFile = tw::test::ResourcesDir() + "/res/WorldmapTiff.PNG";
    ASSERT_TRUE(wxCopyFile(mapFile, res / "res/WorldmapTiff.PNG"));
    WriteSetting("General/DefaultView", "Basic");

    ASSERT_TRUE(app.Startup());
    ASSERT_TRUE(app.worldMapBitmap.IsOk());
    EXPECT_FALSE(app.worldMapAntiBitmap.IsOk());
    const wxImage expected(mapFile, wxBITMAP_TYPE_PNG);
    const wxImage loaded = app.worldMapBitmap.ConvertToImage();
    ASSERT_EQ(loaded.GetSize(), expected.GetSize());
    EXPECT_EQ(std::memcmp(loaded.GetData(), expected.GetData(),
                          size_t(expected.GetWidth()) * size_t(expected.GetHeight()) * 3),
              0);
}

TEST_F(StartupTest, UnknownStoredModeCountsAsFirstRun)
{
    WriteSetting("General/DefaultView", "basic");
    ASSERT_TRUE(app.Startup());
    EXPECT_EQ(app.viewMode, "LoadWindow");
    EXPECT_TRUE(app.topWindow->IsKindOf(CLASSINFO(LoadWindow)));
    EXPECT_EQ(ReadSetting("HomeLocation/ContentBox"), "15");
}

TEST_F(StartupLocaleTest, LibraryStartRestoresTheBasicAreaOnlyWhenFlagged)
{
    struct Case {
        const char* basicHome;
        bool deleteRow1;
        bool expectValid;
    } cases[] = {
        {"1", false, true},
        {"0", false, false},
        {"1", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("BasicHome=%s, row 1 deleted=%d", c.basicHome, c.deleteRow1));
        ResetApp();
        tw::test::TempHome caseHome;
        InstallSeeds();
        const wxString userDb = DbDir() + "/zir_user.db";
        Exec(userDb, "UPDATE batches SET lat=-33.5, lon=151.25, width=12 WHERE ID=1");
        if (c.deleteRow1)
            Exec(userDb, "DELETE FROM batches WHERE ID=1");
        WriteSetting("General/DefaultView", "Batch");
        WriteSetting("General/BasicHome", c.basicHome);

        ASSERT_TRUE(app.Startup());
        ASSERT_TRUE(app.topWindow->IsKindOf(CLASSINFO(BatchWindow)));
        EXPECT_EQ(app.HasBasicHomePosition(), c.expectValid);
        HomePosition out(1.0, 2.0, 3, true);
        EXPECT_EQ(app.GetBasicHomePosition(out), c.expectValid);
        EXPECT_EQ(out.valid, c.expectValid);
        if (c.expectValid) {
            EXPECT_DOUBLE_EQ(out.lat, -33.5);
            EXPECT_DOUBLE_EQ(out.lon, 151.25);
            EXPECT_EQ(out.width, 12);
        } else {
            EXPECT_DOUBLE_EQ(out.lat, 1.0) << "no saved area leaves the output's values alone";
            EXPECT_EQ(out.width, 3);
        }
        ResetApp();
    }
}

TEST_F(StartupTest, LibraryWindowRegistersItsListsAndShowsTheCatalogue)
{
    InstallSeeds();
    Exec(DbDir() + "/zir.db", "DELETE FROM products");
    InsertProducts(DbDir() + "/zir.db", {{0, 0, 0, "GRIB", "Atlantic", "Wind", "G1", "GFS wind"},
                                         {0, 0, 0, "GRIB", "Atlantic", "Wind", "G2", "GFS gusts"},
                                         {1, 0, 0, "Weather Charts", "Pacific", "Surface", "W1", "Surface chart"}});
    WriteSetting("General/DefaultView", "Batch");
    ASSERT_TRUE(app.Startup());
    auto* library = dynamic_cast<BatchWindow*>(app.topWindow);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(app.catalogueTreeCtrl, library->m_catalogueTree);
    EXPECT_EQ(app.batchesListCtrl, library->m_batchesList);
    EXPECT_EQ(app.batchItemsListCtrl, library->m_itemsList);
    EXPECT_EQ(app.sortedItemsListCtrl, library->m_itemsList);
    EXPECT_EQ(library->m_itemsList->GetColumnCount(), 8);
    // The categories at first; opened, the categories, regions, chart types
    // and items: 2 + 2 + 2 + 3 under the hidden root.
    EXPECT_EQ(library->m_catalogueTree->GetCount(), 2u);
    library->m_catalogueTree->ExpandAll();
    EXPECT_EQ(library->m_catalogueTree->GetCount(), 9u);
    tw::test::Screenshot(library, wxFileName::GetTempDir() + "/tw-startup-library-tree.png");

    // The pointers do not outlive the window.
    app.ChangeWindowMode("Basic");
    tw::test::Pump(50);
    EXPECT_EQ(app.batchesListCtrl, nullptr);
    EXPECT_EQ(app.catalogueTreeCtrl, nullptr);
}

TEST_F(StartupTest, ModeSwitchesReplaceTheWindowAndOtherTextsOnlyStoreTheMode)
{
    WriteSetting("General/DefaultView", "Basic");
    ASSERT_TRUE(app.Startup());
    wxWeakRef<wxFrame> basic(app.topWindow);

    // The Basic window's own menu command: keeps its area, opens the Library.
    auto* bw = dynamic_cast<BasicWindow*>(app.topWindow);
    ASSERT_NE(bw, nullptr);
    bw->m_lat = 10.5f;
    bw->m_lon = -20.25f;
    bw->m_width = 8.0f;
    wxCommandEvent toLibrary(wxEVT_MENU, ID_BASIC_LIBRARY_MODE);
    bw->GetEventHandler()->ProcessEvent(toLibrary);
    EXPECT_EQ(app.viewMode, "Batch");
    ASSERT_TRUE(app.topWindow->IsKindOf(CLASSINFO(BatchWindow)));
    ASSERT_TRUE(tw::test::WaitFor([&] { return !basic; }, 2000)) << "the old window is destroyed";
    HomePosition saved;
    ASSERT_TRUE(app.GetBasicHomePosition(saved));
    EXPECT_DOUBLE_EQ(saved.lat, 10.5);
    EXPECT_DOUBLE_EQ(saved.lon, -20.25);
    EXPECT_EQ(saved.width, 8);

    // The Library window's Portal command forgets the area.
    wxCommandEvent toPortal(wxEVT_MENU, ID_BATCH_PORTAL_MODE);
    app.topWindow->GetEventHandler()->ProcessEvent(toPortal);
    EXPECT_EQ(app.viewMode, "LoadWindow");
    EXPECT_TRUE(app.topWindow->IsKindOf(CLASSINFO(LoadWindow)));
    EXPECT_FALSE(app.HasBasicHomePosition());

    wxFrame* portal = app.topWindow;
    app.ChangeWindowMode("Portal");
    EXPECT_EQ(app.viewMode, "Portal");
    EXPECT_EQ(app.topWindow, portal) << "an unknown mode keeps the current window";
    tw::test::Pump(50);
    EXPECT_TRUE(portal->IsShown());

    app.Shutdown();
    EXPECT_EQ(ReadSetting("General/DefaultView"), "Portal");
    ResetApp();
    // The next start counts it as a first run.
    ASSERT_TRUE(app.Startup());
    EXPECT_EQ(app.viewMode, "LoadWindow");
    EXPECT_EQ(ReadSetting("HomeLocation/ContentBox"), "15");
}

TEST_F(StartupTest, KeysAreSavedAtExit)
{
    struct Case {
        const char* mode;
        bool area;
        const char* basicHome;
    } cases[] = {{"Batch", true, "1"}, {"Basic", false, "0"}, {"LoadWindow", true, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ResetApp();
        tw::test::TempHome caseHome;
        WriteSetting("General/DefaultView", "Basic");
        ASSERT_TRUE(app.Startup());
        app.ChangeWindowMode(c.mode);
        if (c.area)
            app.SetBasicHomePosition(1, 2, 3);
        else
            app.ClearBasicHomePosition();
        app.Shutdown();
        EXPECT_EQ(ReadSetting("General/DefaultView"), c.mode);
        EXPECT_EQ(ReadSetting("General/BasicHome"), c.basicHome);
        EXPECT_EQ(app.productDb, nullptr) << "databases closed at exit";
        EXPECT_EQ(app.userDb, nullptr);
        EXPECT_EQ(app.marineZonesDb, nullptr);
        EXPECT_EQ(app.instanceChecker, nullptr);
    }
}

TEST_F(StartupTest, SecondInstanceIsRefusedAndTheFirstKeepsItsLock)
{
    tw::ApplyAppIdentity();
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The "running instance": holds the lock until told to go.
        close(ready[0]);
        close(release[1]);
        wxSingleInstanceChecker held;
        const char ok = held.Create(TidewrightApp::InstanceLockName(), TidewrightApp::InstanceLockDir()) &&
                                !held.IsAnotherRunning()
                            ? '1'
                            : '0';
        if (write(ready[1], &ok, 1) != 1)
            _exit(2);
        char c;
        while (read(release[0], &c, 1) > 0) {
        }
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    EXPECT_FALSE(app.Startup());
    EXPECT_TRUE(tw::test::LogContains("Another Tidewright program instance is already running. Exiting."));
    EXPECT_EQ(app.instanceChecker, nullptr);
    EXPECT_EQ(app.topWindow, nullptr);
    EXPECT_EQ(app.productDb, nullptr) << "nothing beyond the check ran";
    EXPECT_FALSE(wxFileExists(tw::UserDataDir() + "/DB/zir.db"));
    EXPECT_TRUE(wxFileExists(LockPath())) << "the running one keeps its lock";

    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // With the first instance gone the program starts.
    tw::test::ClearLog();
    EXPECT_TRUE(app.Startup());
}

// The lock of the single instance is kept out of sight: in the session's
// runtime folder, else beside the settings file; never in the home folder.
TEST_F(StartupTest, LockLivesInTheRuntimeFolderElseBesideTheSettings)
{
    const wxString lockName = "Tidewright-" + wxGetUserId();
    const struct {
        const char* name;
        std::function<void()> prepare;   // changes the environment TempHome set up
        const char* folder;              // where the lock is: "run" or "config"
    } cases[] = {
        {"runtime folder", [] {}, "run"},
        {"runtime folder with a trailing slash",
         [] { setenv("XDG_RUNTIME_DIR", (wxString(std::getenv("XDG_RUNTIME_DIR")) + "/").utf8_str(), 1); }, "run"},
        {"no runtime folder", [] { unsetenv("XDG_RUNTIME_DIR"); }, "config"},
        {"runtime folder empty", [] { setenv("XDG_RUNTIME_DIR", "", 1); }, "config"},
        {"runtime folder relative", [] { setenv("XDG_RUNTIME_DIR", "run", 1); }, "config"},
        {"runtime folder missing", [] { setenv("XDG_RUNTIME_DIR", "/nonexistent/tw-run", 1); }, "config"},
        {"runtime folder is a file",
         [] {
             const wxString file = wxString(std::getenv("HOME")) + "/runfile";
             tw::test::WriteFile(file, "x");
             setenv("XDG_RUNTIME_DIR", file.utf8_str(), 1);
         },
         "config"},
        {"no runtime folder, no settings folder yet",
         [] {
             unsetenv("XDG_RUNTIME_DIR");
             setenv("XDG_CONFIG_HOME", (wxString(std::getenv("HOME")) + "/new/config").utf8_str(), 1);
         },
         "config"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetApp();
        tw::test::TempHome caseHome;
        const wxString runtime = caseHome.Path() + "/.run";
        WriteSetting("General/DefaultView", "Basic");
        c.prepare();
        const wxString folder =
            wxString(c.folder) == "run" ? runtime : wxString::FromUTF8(std::getenv("XDG_CONFIG_HOME"));

        ASSERT_TRUE(app.Startup());
        EXPECT_TRUE(wxFileExists(folder + "/" + lockName)) << folder;
        EXPECT_EQ(LockPath(), folder + "/" + lockName);
        wxArrayString inHome;
        wxDir::GetAllFiles(caseHome.Path(), &inHome, "Tidewright-*", wxDIR_FILES);
        EXPECT_TRUE(inHome.empty()) << "nothing in the home folder itself";
        app.Shutdown();
        EXPECT_FALSE(wxFileExists(folder + "/" + lockName)) << "released at exit";
        ResetApp();
    }
}

// Help with no user guide installed says so, once, over the window the user
// asked from; an installed guide opens in the browser without a message.
TEST_F(StartupTest, HelpSaysWhenTheUserGuideIsNotInstalled)
{
    FakeResources res;
    WriteSetting("General/DefaultView", "Basic");
    ASSERT_TRUE(app.Startup());
    std::vector<std::vector<wxString>> launched;
    long launchResult = 4242;
    tw::ScopedLauncher launcher([&](const tw::LaunchRequest& r) {
        launched.push_back(r.argv);
        return launchResult;
    });

    for (__help_section_id section : {HELP_SECTION_LIBRARY, HELP_SECTION_BASIC, HELP_SECTION_PORTAL,
                                      HELP_SECTION_WIZARD, HELP_SECTION_TRANSFER}) {
        SCOPED_TRACE(static_cast<int>(section));
        tw::test::ResetUi();
        app.ShowHelpViewer(section);
        ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
        EXPECT_EQ(tw::test::Ui().boxes[0].message, "The user guide is not installed.");
        EXPECT_EQ(tw::test::Ui().boxes[0].parent, app.topWindow);
    }
    EXPECT_TRUE(launched.empty());

    wxFileName::Mkdir(res / "help", 0755);
    tw::test::WriteFile(res / "help/index.html", "<html></html>");
    tw::test::ResetUi();
    app.ShowHelpViewer(HELP_SECTION_BASIC);
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (std::vector<wxString>{"xdg-open", res / "help/index.html"}));

    launchResult = 0;   // no browser could be started
    app.ShowHelpViewer(HELP_SECTION_BASIC);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_TRUE(tw::test::Ui().boxes[0].message.StartsWith("The user guide could not be opened"));
}

TEST_F(StartupTest, FatalStartupFailuresEndWithTheirMessage)
{
    struct Case {
        const char* name;
        std::function<void(FakeResources&, const wxString& dbDir)> prepare;
        const char* logged;   // in the log, or empty
        const char* box;      // in a message box, or empty
    };
    const Case cases[] = {
        {"resources folder missing",
         [](FakeResources&, const wxString&) { setenv("TIDEWRIGHT_RESOURCES", "/nonexistent/tidewright-res", 1); },
         "Failed to set working directory to /nonexistent/tidewright-res", ""},
        {"resources path is a file",
         [](FakeResources& res, const wxString&) {
             tw::test::WriteFile(res / "plainfile", "x");
             setenv("TIDEWRIGHT_RESOURCES", (res / "plainfile").utf8_str(), 1);
         },
         "Failed to set working directory to", ""},
        {"seed catalogue missing",
         [](FakeResources& res, const wxString&) { wxRemoveFile(res / "zir.db"); },
         "Failed to install the database zir.db", ""},
        {"catalogue unopenable",
         [](FakeResources&, const wxString& dbDir) {
             wxFileName::Mkdir(dbDir, 0700, wxPATH_MKDIR_FULL);
             tw::test::WriteFile(dbDir + "/zir.db", std::string(4096, 'x'));
         },
         "", "Cannot open zir.db ("},
        {"marine zones unopenable",
         [](FakeResources&, const wxString& dbDir) {
             wxFileName::Mkdir(dbDir, 0700, wxPATH_MKDIR_FULL);
             tw::test::WriteFile(dbDir + "/MarineZones.db", "not a database at all, but long enough to look like one");
         },
         "", "Cannot open MarineZones.db ("},
        {"user database unopenable",
         [](FakeResources&, const wxString& dbDir) { wxFileName::Mkdir(dbDir + "/zir_user.db", 0700, wxPATH_MKDIR_FULL); },
         "", "Cannot open zir_user.db ("},
        {"user database without batches",
         [](FakeResources&, const wxString& dbDir) {
             wxFileName::Mkdir(dbDir, 0700, wxPATH_MKDIR_FULL);
             Exec(dbDir + "/zir_user.db", "CREATE TABLE other (x INTEGER)");
         },
         "", "Error updating zir_user.db: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetApp();
        tw::test::TempHome caseHome;
        tw::test::ResetUi();
        tw::test::ClearLog();
        FakeResources res;
        c.prepare(res, tw::UserDataDir() + "/DB");

        EXPECT_FALSE(app.Startup());
        if (*c.logged) {
            EXPECT_TRUE(tw::test::LogContains(c.logged));
        }
        if (*c.box) {
            EXPECT_TRUE(tw::test::BoxShown(c.box));
            EXPECT_TRUE(tw::test::BoxShown("program will terminate.") || tw::test::BoxShown("Error updating"));
        }
        EXPECT_EQ(app.topWindow, nullptr);
        EXPECT_EQ(app.productDb, nullptr);
        EXPECT_EQ(app.userDb, nullptr);
        EXPECT_EQ(app.marineZonesDb, nullptr);
        EXPECT_EQ(app.instanceChecker, nullptr) << "a failed start releases the lock";
        EXPECT_FALSE(wxFileExists(LockPath()));
    }
}

// A catalogue update the program cannot read never stops the start: one
// still waiting is moved aside, one installed already gives way to the
// previous catalogue, and the program opens its window on that.
TEST_F(StartupTest, StartAfterAnUnusableCatalogueUpdateRunsOnThePreviousOne)
{
    const wxString endless = "ALTER TABLE products RENAME TO p0; CREATE VIEW products AS WITH RECURSIVE n(i) AS "
                             "(SELECT 1 UNION SELECT i + 1 FROM n) SELECT p0.* FROM p0, n ORDER BY i DESC";
    const struct {
        const char* name;
        bool installed;   // the update was installed (by an earlier program), not waiting
        wxString sql;
        const char* box;  // shown, or empty
    } cases[] = {
        {"waiting, without a column", false, "ALTER TABLE products DROP COLUMN Title", ""},
        {"waiting, an endless view", false, endless, ""},
        {"installed, without a column", true, "ALTER TABLE products DROP COLUMN Title",
         "The product database update could not be used (products has no column Title)"},
        {"installed, an endless view", true, endless,
         "The product database update could not be used (products is a view, not a table)"},
        {"installed, without products", true, "DROP TABLE products",
         "The product database update could not be used (products is missing)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetApp();
        tw::test::TempHome caseHome;
        tw::test::ResetUi();
        FakeResources res;
        WriteSetting("General/DefaultView", "Basic");
        InstallSeeds();
        const wxString installed = DbDir() + "/zir.db";
        Exec(installed, "UPDATE Version SET Version=300");
        const wxString update = c.installed ? installed : CInit::GetProductDBUpdatesPath();
        if (c.installed)
            ASSERT_TRUE(wxCopyFile(installed, installed + ".old"));
        else
            ASSERT_TRUE(wxCopyFile(installed, update));
        Exec(update, "UPDATE Version SET Version=301");
        Exec(update, c.sql);

        ASSERT_TRUE(app.Startup());
        EXPECT_NE(app.topWindow, nullptr);
        EXPECT_EQ(app.productDbVersion, 300);
        EXPECT_GT(app.catalogue.GetCount(), 0u);
        EXPECT_FALSE(tw::test::BoxShown("Cannot open"));
        if (*c.box) {
            EXPECT_TRUE(tw::test::BoxShown(c.box));
        }
        EXPECT_TRUE(wxFileExists(update + ".bad"));
        EXPECT_FALSE(wxFileExists(CInit::GetProductDBUpdatesPath()));
        EXPECT_EQ(tw::test::QueryInt(installed, "SELECT Version FROM Version"), 300);
    }
}

// A database that another program holds locked ends the start-up with its
// notice after a short wait for the lock, not after a minute of a frozen
// splash screen.
TEST_F(StartupTest, LockedDatabaseEndsTheStartAfterAShortWait)
{
    const struct {
        const char* file;
        const char* lock;
        const char* box;
    } cases[] = {
        {"MarineZones.db", "BEGIN EXCLUSIVE", "Cannot open MarineZones.db ("},
        {"zir.db", "BEGIN EXCLUSIVE", "Cannot open zir.db ("},
        {"zir_user.db", "BEGIN IMMEDIATE", "Error updating zir_user.db: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ResetApp();
        tw::test::TempHome caseHome;
        tw::test::ResetUi();
        FakeResources res;
        InstallSeeds();
        wxSQLite3Database holder;
        holder.Open(DbDir() + "/" + c.file);
        holder.ExecuteUpdate(c.lock);

        const auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(app.Startup());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_TRUE(tw::test::BoxShown(c.box));
        EXPECT_GE(seconds, 1.5) << "the lock was waited for";
        EXPECT_LT(seconds, 20.0) << "but not for long";
        EXPECT_EQ(app.productDb, nullptr);
        EXPECT_EQ(app.userDb, nullptr);
        EXPECT_EQ(app.marineZonesDb, nullptr);
        holder.Rollback();
        holder.Close();
    }
}

TEST_F(StartupTest, MissingSeedStopsTheCopiesThatFollowIt)
{
    FakeResources res(1000, wxString(), {"zir.db"});
    EXPECT_FALSE(CInit::InitializeAppFolders());
    EXPECT_TRUE(wxFileExists(DbDir() + "/zir_user.db"));
    EXPECT_FALSE(wxFileExists(DbDir() + "/zir.db"));
    EXPECT_FALSE(wxFileExists(DbDir() + "/MarineZones.db")) << "names after the failed one are not tried";
}

TEST_F(StartupTest, SeedsAreCopiedOnceAndNeverOverwritten)
{
    InstallSeeds();
    const wxString userDb = DbDir() + "/zir_user.db";
    Exec(userDb, "UPDATE batches SET title='mine' WHERE ID=2");
    InstallSeeds();
    EXPECT_EQ(QueryTexts(userDb, "SELECT title FROM batches WHERE ID=2").at(0), "mine");
    EXPECT_FALSE(wxFileExists(userDb + ".part"));
}

TEST_F(StartupTest, RestartIsArrangedAfterSettingsAreSavedAndTheLockIsGone)
{
    WriteSetting("General/DefaultView", "Basic");
    ASSERT_TRUE(app.Startup());
    app.ChangeWindowMode("Batch");

    // The "restarted program" records what it finds when it starts.
    tw::test::TempDir dir;
    const wxString report = dir / "report.txt";
    const wxString lock = LockPath();
    const wxString script = dir / "restarted.sh";
    tw::test::WriteFile(script, ("#!/bin/sh\n"
                                 "if [ -e '" + lock + "' ]; then l=held; else l=free; fi\n"
                                 "v=$(grep '^DefaultView=' '" + CRegistry::UserFileName() + "')\n"
                                 "echo \"$l $v\" > '" + report + ".tmp' && mv '" + report + ".tmp' '" + report + "'\n")
                                    .utf8_string());
    chmod(script.fn_str(), 0755);

    // It waits for a process that has already ended, so it starts at once.
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);

    app.restartRequested = true;
    app.restartExecutable = script;
    app.restartWaitPid = gone;
    app.Shutdown();
    ASSERT_TRUE(tw::test::WaitFor([&] { return wxFileExists(report); }, 5000));
    EXPECT_EQ(wxString::FromUTF8(tw::test::ReadFile(report)).Trim(), "free DefaultView=Batch");
    EXPECT_FALSE(tw::test::LogContains("wxExecute returned"));
}

TEST_F(StartupTest, SplashIsClosedByStartupEvenWhenItTimedOutFirst)
{
    // A long time-out is ended by the start; a time-out that passes during
    // the start closes the splash by itself, and the start must then leave
    // it alone.
    for (int timeout : {5000, 1}) {
        SCOPED_TRACE(timeout);
        ResetApp();
        tw::test::TempHome caseHome;
        app.splashTimeoutMs = timeout;
        WriteSetting("General/DefaultView", "Basic");
        if (timeout == 1)
            wxMilliSleep(5);
        const bool started = app.Startup();
        app.splashTimeoutMs = 0;
        ASSERT_TRUE(started);
        EXPECT_FALSE(app.splashScreen);
        tw::test::Pump(50);
        bool splashShown = false;
        for (wxWindow* w : wxTopLevelWindows)
            splashShown = splashShown || (w->IsKindOf(CLASSINFO(wxSplashScreen)) && w->IsShown());
        EXPECT_FALSE(splashShown);
    }
}

TEST_F(StartupLocaleTest, HomePositionFollowsTheChosenSource)
{
    struct Case {
        const char* source;
        double lat, lon;
    } cases[] = {{"0", 10, 11}, {"1", 20, 21}, {"2", 30, 31}, {"7", -5, -6}, {nullptr, -5, -6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source ? c.source : "absent");
        tw::test::TempHome caseHome;
        WriteSetting("HomeLocation/GPSLat", "10");
        WriteSetting("HomeLocation/GPSLon", "11");
        WriteSetting("HomeLocation/CityLat", "20");
        WriteSetting("HomeLocation/CityLon", "21");
        WriteSetting("HomeLocation/ManualLat", "30");
        WriteSetting("HomeLocation/ManualLon", "31");
        WriteSetting("HomeLocation/ContentBox", "9");
        WriteSetting("GPS/PlotHome", "0");
        if (c.source)
            WriteSetting("HomeLocation/Source", c.source);
        app.homePosition.lat = -5;
        app.homePosition.lon = -6;
        app.UpdateHomePosition();
        EXPECT_DOUBLE_EQ(app.homePosition.lat, c.lat);
        EXPECT_DOUBLE_EQ(app.homePosition.lon, c.lon);
        EXPECT_EQ(app.homePosition.width, 9);
        EXPECT_FALSE(app.homePosition.valid);
        EXPECT_TRUE(app.homePosition.useLastGps);
    }
}
