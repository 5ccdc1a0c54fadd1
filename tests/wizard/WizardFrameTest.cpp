// The wizard frame: what it reads when it is built, where a run starts,
// jumping between pages, the commit, and what Cancel gives back.
#include <gtest/gtest.h>

#include <wx/fileconf.h>

#include "WizardFixtures.h"
#include "windows/map/MapPanel.h"
#include "windows/wizard/ContentWizardLauncher.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/accountpage.h"
#include "windows/wizard/buoyspage.h"
#include "windows/wizard/contentpages.h"
#include "windows/wizard/homepage.h"
#include "windows/wizard/preferencespage.h"
#include "windows/wizard/textforecastspage.h"
#include "windows/wizard/gpspage.h"
#include "windows/wizard/wizardnavigator.h"

using namespace wizard_test;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

// What a database tells its hooks, in order: "U <table>" per changed row,
// "C" per commit, "R" per rollback.
class Recorder : public wxSQLite3Hook
{
public:
    bool CommitCallback() override
    {
        events.push_back("C");
        return false;
    }
    void RollbackCallback() override { events.push_back("R"); }
    void UpdateCallback(wxUpdateType, const wxString&, const wxString& table, wxLongLong) override
    {
        events.push_back("U " + std::string(table.utf8_str()));
    }
    std::vector<std::string> events;
};

// Every download preference as the settings file would hold it.
std::string AllPreferences(DLPrefs prefs)
{
    tw::test::TempHome scratch;
    prefs.WriteRegistry();
    return tw::test::ReadFile(CRegistry::UserFileName());
}

int SelectedBuoy(wxSQLite3Database& db, const wxString& station)
{
    wxSQLite3Statement q = db.PrepareStatement("SELECT selected FROM Buoys WHERE StationID = ?");
    q.Bind(1, station);
    wxSQLite3ResultSet rs = q.ExecuteQuery();
    return rs.NextRow() ? rs.GetInt(0) : -1;
}

} // namespace

class WizardFrameTest : public WizardTest
{
};

TEST_F(WizardFrameTest, ReadsItsListsWhenBuilt)
{
    Zones().ExecuteUpdate("INSERT INTO RadarCities (City, RadarType, Latitude, Longitude) "
                          "VALUES ('Aardvark, ZZ', 'WSR', 1, 2)");
    ContentWizard* w = MakeWizard();
    EXPECT_TRUE(Ui().boxes.empty());

    EXPECT_EQ(w->m_nexradNames.size(), 57u);
    EXPECT_EQ(w->m_tdwrNames.size(), 20u);
    EXPECT_EQ(w->m_nexradPositions.GetCount(), w->m_nexradNames.size());
    EXPECT_EQ(w->m_tdwrPositions.GetCount(), w->m_tdwrNames.size());
    EXPECT_EQ(w->m_nexradNames.Index("Aardvark, ZZ"), wxNOT_FOUND) << "neither NEXRAD nor TDWR";
    EXPECT_EQ(w->m_tdwrNames.Index("Aardvark, ZZ"), wxNOT_FOUND);
    for (size_t i = 1; i < w->m_nexradNames.size(); ++i)
        EXPECT_LE(w->m_nexradNames[i - 1], w->m_nexradNames[i]) << "by city name";

    // Name and position lists stay parallel: each position is its city's row.
    for (size_t i = 0; i < w->m_nexradNames.size(); i += 7) {
        wxSQLite3Statement q = Zones().PrepareStatement("SELECT ID, Latitude, Longitude FROM RadarCities WHERE City=?");
        q.Bind(1, w->m_nexradNames[i]);
        wxSQLite3ResultSet rs = q.ExecuteQuery();
        ASSERT_TRUE(rs.NextRow());
        EXPECT_EQ(w->m_nexradPositions[i].ID, rs.GetInt(0));
        EXPECT_DOUBLE_EQ(w->m_nexradPositions[i].m_lat, rs.GetDouble(1));
        EXPECT_DOUBLE_EQ(w->m_nexradPositions[i].m_lon, rs.GetDouble(2));
    }

    const wxArrayString hosts = w->m_hostNames;
    ASSERT_EQ(hosts.size(), 4u);
    EXPECT_EQ(hosts[0], "gateway.tidewright.net");
    EXPECT_EQ(hosts[3], "localhost");
    ASSERT_EQ(w->m_ports.size(), 5u);
    EXPECT_EQ(w->m_ports[0], "443");
    EXPECT_EQ(w->m_ports[4], "5057");
    ASSERT_EQ(w->m_connectionTypes.size(), 3u);
    EXPECT_EQ(w->m_connectionTypes[1], "Dezavuviv Odirir");
    EXPECT_EQ(w->m_connectionDescriptions[2],
              "Connection for Westinghouse/Mitsubishi/G2 and 'Push-To-Talk' users.");

    EXPECT_EQ(w->GetTitle(), "TALVO Tidewright Content Wizard");
    EXPECT_EQ(w->GetId(), ID_CONTENTWIZARD);
    EXPECT_TRUE(w->GetBitmapResource("res/WizardPage-LeftCol.png").IsOk());
    EXPECT_FALSE(w->GetBitmapResource("res/wiz_Buoy.png").IsOk());
    EXPECT_TRUE(w->GetIconResource("Icons/rivol.ico").IsOk());
    EXPECT_FALSE(w->GetIconResource("Icons/other.ico").IsOk());

    // The chain: each page's neighbours, no page before the welcome page and
    // none after the account page.
    for (int place = 0; place < tw::wizard::kChainLength; ++place) {
        wxWizardPageSimple* page = w->GetChainPage(place);
        ASSERT_NE(page, nullptr) << place;
        EXPECT_EQ(page->GetPrev(), place > 0 ? w->GetChainPage(place - 1) : nullptr);
        EXPECT_EQ(page->GetNext(), place < 11 ? w->GetChainPage(place + 1) : nullptr);
        if (place > 0) {
            EXPECT_EQ(w->GetPage(tw::wizard::PageNumberAtPlace(place)), page);
        }
    }
}

TEST_F(WizardFrameTest, UnreadableTablesAreToldOnceAndTheWizardStillWorks)
{
    Zones().ExecuteUpdate("DROP TABLE RadarCities");
    Zones().ExecuteUpdate("DROP TABLE Buoys");
    ContentWizard* w = MakeWizard();

    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
    EXPECT_TRUE(Ui().boxes[0].message.Contains("Radar cities"));
    EXPECT_TRUE(Ui().boxes[0].message.Contains("Buoys"));
    EXPECT_TRUE(w->m_nexradNames.empty());
    EXPECT_TRUE(w->m_tdwrPositions.IsEmpty());
    EXPECT_EQ(w->m_buoysPage->GetMapPanel()->m_buoys.GetCount(), 0u);
    EXPECT_TRUE(Zones().GetAutoCommit());

    // Every page can be shown and the run finished.
    app.dlPrefs.Satellite_City = 3;
    const bool finished = RunWizard(*w, 1, [&] {
        for (int i = 0; i < 11; ++i)
            Next(*w);
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(app.dlPrefs.Satellite_City, 3) << "no city list: the stored city stays";
}

TEST_F(WizardFrameTest, HostAndPortFailuresAreLoggedAndLeaveEmptyLists)
{
    app.productDb.reset();
    ContentWizard* w = MakeWizard();
    EXPECT_TRUE(w->m_hostNames.empty());
    EXPECT_TRUE(w->m_ports.empty());
    EXPECT_TRUE(tw::test::LogContains("SQL 'hosts' query error '"));
    EXPECT_TRUE(tw::test::LogContains("SQL 'ports' query error '"));
    EXPECT_EQ(w->m_nexradNames.size(), 57u);
}

TEST_F(WizardFrameTest, RunFromPageStartsWhereItsNumberSays)
{
    struct Case {
        int page;
        int place;   // of the first page shown
    } cases[] = {
        {1, 1}, {12, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 9}, {9, 10}, {10, 8}, {11, 11},
        {13, 0}, {-1, 0},
    };
    ContentWizard* w = MakeWizard();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        wxWizardPage* shown = nullptr;
        EXPECT_FALSE(RunWizard(*w, c.page, [&] {
            shown = w->GetCurrentPage();
            Cancel(*w);
        }));
        EXPECT_EQ(shown, w->GetChainPage(c.place));
    }

    DialogScript script;
    EXPECT_FALSE(w->RunFromPage(0));
    EXPECT_TRUE(script.Shown().empty()) << "page 0 shows nothing";
}

TEST_F(WizardFrameTest, GoToPageReadsThePageBackAndMovesOnlyToAnotherPage)
{
    ContentWizard* w = MakeWizard();
    WizardPage2* charts = w->m_chartsPage;
    RunWizard(*w, 2, [&] {
        auto* wind = dynamic_cast<wxCheckBox*>(charts->FindWindow(10173));
        wind->SetValue(true);

        // 0: nothing read back.
        EXPECT_FALSE(w->GoToPage(0));
        EXPECT_FALSE(charts->m_values[2]);

        // The page shown now: read back, no page change, no leaving copy.
        EXPECT_FALSE(w->GoToPage(2));
        EXPECT_TRUE(charts->m_values[2]);
        EXPECT_FALSE(app.dlPrefs.WxChart_Wind);
        EXPECT_EQ(w->GetCurrentPage(), charts);

        // A number of no page: read back, no change.
        wind->SetValue(false);
        EXPECT_FALSE(w->GoToPage(99));
        EXPECT_FALSE(charts->m_values[2]);
        wind->SetValue(true);

        // Another page: read back, left (leaving copy), shown.
        EXPECT_TRUE(w->GoToPage(10));
        EXPECT_EQ(w->GetCurrentPage(), w->m_preferencesPage);
        EXPECT_TRUE(app.dlPrefs.WxChart_Wind);

        EXPECT_TRUE(w->GoToPage(12));
        EXPECT_EQ(w->GetCurrentPage(), w->m_gribPage);
        EXPECT_FALSE(w->GoToPage(12)) << "12 is the GRIB page, shown already";
        EXPECT_FALSE(w->GoToPage(1));
        Cancel(*w);
    });
}

TEST_F(WizardFrameTest, FinishOnTheLastPageCommitsOnce)
{
    ContentWizard* w = MakeWizard();
    Recorder hook;
    BuoyArray& buoys = w->m_buoysPage->GetMapPanel()->m_buoys;
    ASSERT_GT(buoys.GetCount(), 2u);
    const wxString station = buoys[1].m_stationID;
    const int before = SelectedBuoy(Zones(), station);
    buoys[1].m_selected = !buoys[1].m_selected;
    buoys[1].m_changed = true;
    Zones().SetCommitHook(&hook);
    Zones().SetUpdateHook(&hook);

    const bool finished = RunWizard(*w, 11, [&] {
        EXPECT_EQ(WizardButton(*w, wxID_FORWARD)->GetLabel(), "&Finish");
        w->m_accountPage->m_userName->ChangeValue("skipper");
        Next(*w);
    });
    Zones().SetCommitHook(nullptr);
    Zones().SetUpdateHook(nullptr);

    EXPECT_TRUE(finished);
    EXPECT_TRUE(w->HasCommitted());
    EXPECT_EQ(hook.events, (std::vector<std::string>{"U Buoys", "C"})) << "one update, one transaction, once";
    EXPECT_EQ(SelectedBuoy(Zones(), station), 1 - before);
    EXPECT_EQ(SettingText("Gateway/username"), "skipper");
    EXPECT_TRUE(HasSetting("WizPrefs/GRIB_Wind_Continent,"));
}

TEST_F(WizardFrameTest, EachPagesFinishCommitsWithoutTheLaterPages)
{
    for (int page = 1; page <= 11; ++page) {
        SCOPED_TRACE(page);
        tw::test::TempHome fresh;
        app.dlPrefs = DLPrefs();
        ContentWizard* w = MakeWizard();
        // Answers waiting on a later page were loaded and are committed as loaded.
        app.dlPrefs.GPS_BaudIdx = 2;
        const bool finished = RunWizard(*w, page, [&] {
            ContentWizardPage* p = w->GetPage(page);
            EXPECT_EQ(w->GetCurrentPage(), p);
            Click(p->GetFinishButton());
        });
        EXPECT_TRUE(finished);
        EXPECT_TRUE(w->HasCommitted());
        EXPECT_TRUE(HasSetting("GRIB/Wind"));
        if (page == 9)
            EXPECT_EQ(app.dlPrefs.GPS_BaudIdx, 0) << "the GPS page copies what it loaded";
        else
            EXPECT_EQ(SettingText("GPS/BaudIdx"), "2");
    }
}

TEST_F(WizardFrameTest, CancelGivesBackEveryPreferenceAndWritesNothing)
{
    app.dlPrefs.SetDefaults();
    app.dlPrefs.HomeLocation_CityIdx = 3;
    const DLPrefs before = app.dlPrefs;
    ContentWizard* w = MakeWizard();

    const bool finished = RunWizard(*w, 1, [&] {
        // Change something on every page, leaving each by Next.
        for (int i = 0; i < 11; ++i) {
            wxWindow* page = w->GetCurrentPage();
            for (wxWindow* child : page->GetChildren()) {
                if (auto* box = dynamic_cast<wxCheckBox*>(child))
                    if (box->IsEnabled())
                        box->SetValue(!box->GetValue());
            }
            if (page == w->m_homePage) {
                Pick(w->m_homePage->GetRadio(WizardPage8::ID_SOURCE_MANUAL));
                w->m_homePage->GetContentBoxText()->ChangeValue("44");
            }
            if (page == w->m_accountPage)
                break;
            Next(*w);
        }
        EXPECT_NE(AllPreferences(app.dlPrefs), AllPreferences(before)) << "the pages did copy";
        // A GPS fix while the wizard runs belongs to the reader.
        app.dlPrefs.HomeLocation_GPSLat = 12.5;
        app.dlPrefs.HomeLocation_GPSLon = -8.25;
        Cancel(*w);
    });

    EXPECT_FALSE(finished);
    EXPECT_FALSE(w->HasCommitted());
    EXPECT_FALSE(wxFileExists(CRegistry::UserFileName())) << "nothing written";
    EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_GPSLat, 12.5);
    EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_GPSLon, -8.25);
    DLPrefs expected = before;
    expected.HomeLocation_GPSLat = 12.5;
    expected.HomeLocation_GPSLon = -8.25;
    EXPECT_EQ(AllPreferences(app.dlPrefs), AllPreferences(expected));
}

TEST_F(WizardFrameTest, CommitWritesPreferencesAccountAndHome)
{
    app.dlPrefs.HomeLocation_Source = 2;
    app.dlPrefs.HomeLocation_ManualLat = -33.5;
    app.dlPrefs.HomeLocation_ManualLon = 151.25;
    app.dlPrefs.HomeLocation_ContentBox = 25;
    app.dlPrefs.GRIB_Swell = true;
    ContentWizard* w = MakeWizard();
    w->m_registry.m_gatewayPort = 8080;
    w->m_registry.m_dunInfo.connection = "MSAT Dialer";
    wxWizardEvent event;
    w->OnContentwizardFinished(event);

    EXPECT_EQ(SettingText("GRIB/Swell"), "1");
    EXPECT_EQ(SettingText("Gateway/port"), "8080");
    EXPECT_EQ(SettingText("Connection/connection"), "MSAT Dialer");
    EXPECT_DOUBLE_EQ(app.homePosition.lat, -33.5);
    EXPECT_DOUBLE_EQ(app.homePosition.lon, 151.25);
    EXPECT_EQ(app.homePosition.width, 25);
}

TEST_F(WizardFrameTest, CommitBringsGpsPollingInLineWithTheHomeSource)
{
    ContentWizard* w = MakeWizard();
    wxWizardEvent event;
    struct Case {
        int source;
        bool pollingBefore;
        bool pollingAfter;
    } cases[] = {{0, false, true}, {1, true, false}, {2, false, false}, {0, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        app.gpsQuery.StopQuery();
        if (c.pollingBefore) {
            app.dlPrefs.HomeLocation_Source = 0;
            app.dlPrefs.GPS_SourceIdx = 1;   // a positional packet: no serial port is opened
            ASSERT_TRUE(app.gpsQuery.StartQuery(false));
        }
        ASSERT_EQ(app.gpsQuery.IsPolling(), c.pollingBefore);
        app.dlPrefs.HomeLocation_Source = c.source;
        app.dlPrefs.GPS_SourceIdx = 1;
        w->OnContentwizardFinished(event);
        EXPECT_EQ(app.gpsQuery.IsPolling(), c.pollingAfter);
    }
    app.gpsQuery.StopQuery();
}

TEST_F(WizardFrameTest, BuoysAreStoredOnlyWhenChangedAndAFailureRollsBack)
{
    ContentWizard* w = MakeWizard();
    BuoyArray& buoys = w->m_buoysPage->GetMapPanel()->m_buoys;
    Recorder hook;
    Zones().SetCommitHook(&hook);
    Zones().SetUpdateHook(&hook);
    wxWizardEvent event;

    // Nothing toggled: no statement at all.
    w->OnContentwizardFinished(event);
    EXPECT_TRUE(hook.events.empty());

    // Toggled twice: back to its value, still written; with its station id
    // holding an apostrophe, bound and not spliced.
    Zones().ExecuteUpdate("UPDATE Buoys SET StationID = 'O''Neil' WHERE rowid = 3");
    hook.events.clear();
    buoys[2].m_stationID = "O'Neil";
    buoys[2].m_changed = true;
    buoys[5].m_changed = true;
    w->OnContentwizardFinished(event);
    EXPECT_EQ(hook.events, (std::vector<std::string>{"U Buoys", "U Buoys", "C"}));
    EXPECT_EQ(SelectedBuoy(Zones(), "O'Neil"), buoys[2].m_selected ? 1 : 0);

    // A failing statement: told once, nothing stored, no transaction left open.
    Zones().SetCommitHook(nullptr);
    Zones().SetUpdateHook(nullptr);
    Zones().ExecuteUpdate("CREATE TRIGGER refuse BEFORE UPDATE ON Buoys WHEN NEW.StationID = 'O''Neil' "
                          "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    buoys[1].m_selected = !buoys[1].m_selected;
    buoys[1].m_changed = true;
    const int before = SelectedBuoy(Zones(), buoys[1].m_stationID);
    w->OnContentwizardFinished(event);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
    EXPECT_TRUE(Ui().boxes[0].message.Contains("refused"));
    EXPECT_TRUE(Zones().GetAutoCommit()) << "no BEGIN left open";
    EXPECT_EQ(SelectedBuoy(Zones(), buoys[1].m_stationID), before) << "rolled back";
}

TEST_F(WizardFrameTest, HelpOpensTheUserGuide)
{
    ContentWizard* w = MakeWizard();
    RunWizard(*w, 4, [&] {
        Click(WizardButton(*w, wxID_HELP));
        Cancel(*w);
    });
    EXPECT_TRUE(BoxShown("user guide")) << "no guide installed under test";
}

TEST_F(WizardFrameTest, TheWindowsRunTheRealWizardThroughTheLauncher)
{
    struct Case {
        int page;
        int place;
        bool finish;
    } cases[] = {{0, 0, false}, {4, 4, true}, {10, 8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        wxWizardPage* shown = nullptr;
        DialogScript script;
        script.Then<ContentWizard>([&](ContentWizard* w) {
            shown = w->GetCurrentPage();
            EXPECT_EQ(w->GetId(), ID_CONTENTWIZARD);
            if (c.finish)
                Click(static_cast<ContentWizardPage*>(shown)->GetFinishButton());
            else
                Cancel(*w);
        });
        EXPECT_EQ(tw::RunContentWizard(nullptr, c.page), c.finish);
        EXPECT_TRUE(script.Done());
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetClassInfo()->GetClassName(),
                  wxString(c.place == 0 ? "WizardPage" : c.place == 4 ? "WizardPage4" : "WizardPage0"));
        tw::test::Pump(20);
    }
}
