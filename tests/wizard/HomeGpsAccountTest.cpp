// The home location, GPS setup and account pages: what they show of the
// stored values, what their leaving copies store, the typed position's
// rules, the GPS test against a receiver on a pseudo-terminal, and the
// account page's lists and dialer button.
#include <gtest/gtest.h>

#include <wx/combobox.h>
#include <wx/socket.h>
#include <wx/stattext.h>

#include "WizardFixtures.h"
#include "windows/transfer/connsettings.h"
#include "gps/FakeReceiver.h"
#include "platform/SerialPort.h"
#include "support/DialerSim.h"
#include "support/EnvGuard.h"
#include "windows/wizard/accountpage.h"
#include "windows/wizard/gpspage.h"
#include "windows/wizard/homepage.h"

using namespace wizard_test;
using gps_test::FakeReceiver;
using gps_test::WithChecksum;
using tw::test::BoxShown;
using tw::test::Ui;
using tw::test::WaitFor;

class HomePageTest : public WizardTest
{
protected:
    // Runs the wizard on the home page; `steps` act on it and leave it open.
    void OnPage(const std::function<void(ContentWizard&, WizardPage8&)>& steps)
    {
        ContentWizard* w = MakeWizard();
        RunWizard(*w, 8, [&] {
            steps(*w, *w->m_homePage);
            if (w->IsModal())
                Cancel(*w);
        });
    }
};

TEST_F(HomePageTest, ManualPositionRoundTrips)
{
    struct Case {
        double lat, lon;
        const char* latText;
        bool north;
        const char* lonText;
        bool east;
        const char* typedLat;   // null: leave the text as shown
        const char* typedLon;
        double storedLat, storedLon;
    } cases[] = {
        {-33.5, 151.25, "33.50", false, "151.25", true, nullptr, nullptr, -33.5, 151.25},
        {10.0, 200.0, "10.00", true, "160.00", false, nullptr, nullptr, 10.0, -160.0},
        {12.3456, -0.5, "12.35", true, "0.50", false, nullptr, nullptr, 12.35, -0.5},
        {5.0, 5.0, "5.00", true, "5.00", true, "-12.5", "7.25abc", -12.5, 7.25},   // typed sign kept with N
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latText);
        app.dlPrefs = DLPrefs();
        app.dlPrefs.HomeLocation_Source = 2;
        app.dlPrefs.HomeLocation_ManualLat = c.lat;
        app.dlPrefs.HomeLocation_ManualLon = c.lon;
        OnPage([&](ContentWizard& w, WizardPage8& page) {
            EXPECT_EQ(page.GetLatitudeText()->GetValue(), c.latText);
            EXPECT_EQ(page.GetLongitudeText()->GetValue(), c.lonText);
            EXPECT_EQ(page.GetRadio(WizardPage8::ID_NORTH)->GetValue(), c.north);
            EXPECT_EQ(page.GetRadio(WizardPage8::ID_EAST)->GetValue(), c.east);
            if (c.typedLat)
                page.GetLatitudeText()->ChangeValue(c.typedLat);
            if (c.typedLon)
                page.GetLongitudeText()->ChangeValue(c.typedLon);
            Next(w);
            EXPECT_EQ(w.GetCurrentPage(), w.m_gpsPage);
            EXPECT_EQ(app.dlPrefs.HomeLocation_Source, 2);
            EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLat, c.storedLat);
            EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLon, c.storedLon);
        });
    }
}

TEST_F(HomePageTest, ATypedPositionOutOfRangeIsRefusedWhereverTheUserGoes)
{
    app.dlPrefs.HomeLocation_Source = 2;
    app.dlPrefs.HomeLocation_ManualLat = 10.0;
    app.dlPrefs.HomeLocation_ManualLon = 20.0;
    OnPage([&](ContentWizard& w, WizardPage8& page) {
        page.GetLatitudeText()->ChangeValue("95");
        Next(w);
        EXPECT_EQ(w.GetCurrentPage(), &page) << "Next refused";
        EXPECT_FALSE(w.GoToPage(1)) << "the strip refused";
        Click(page.GetFinishButton());
        EXPECT_TRUE(w.IsModal()) << "Finish refused";
        ASSERT_EQ(Ui().boxes.size(), 3u);
        EXPECT_EQ(Ui().boxes[0].caption, "Warning");
        EXPECT_TRUE(Ui().boxes[0].message.Contains("latitude must lie between 0 and 90"));
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLat, 10.0);

        // Typed while another source is chosen: not in the way, not stored.
        Pick(page.GetRadio(WizardPage8::ID_SOURCE_CITY));
        page.GetLongitudeText()->ChangeValue("181");
        Next(w);
        EXPECT_EQ(w.GetCurrentPage(), w.m_gpsPage);
        EXPECT_EQ(app.dlPrefs.HomeLocation_Source, 1);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLat, 10.0);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLon, 20.0);

        // Back with the manual source and a good position: stored.
        Back(w);
        Pick(page.GetRadio(WizardPage8::ID_SOURCE_MANUAL));
        page.GetLatitudeText()->ChangeValue("90");
        page.GetLongitudeText()->ChangeValue("180");
        Next(w);
        EXPECT_EQ(w.GetCurrentPage(), w.m_gpsPage);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLat, 90.0);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLon, 180.0);
    });
}

TEST_F(HomePageTest, ContentBoxOutOfRangeIsRefusedAndNothingTypedKeepsIt)
{
    struct Case {
        const char* text;
        bool refused;
        int stored;
    } cases[] = {{"25x", false, 25}, {"", false, 17}, {"abc", false, 17}, {"1", false, 1},
                 {"180", false, 180}, {"0", true, 17}, {"999", true, 17}, {"-5", true, 17}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        app.dlPrefs = DLPrefs();
        app.dlPrefs.HomeLocation_ContentBox = 17;
        Ui().boxes.clear();
        OnPage([&](ContentWizard& w, WizardPage8& page) {
            EXPECT_EQ(page.GetContentBoxText()->GetValue(), "17");
            page.GetContentBoxText()->ChangeValue(c.text);
            Next(w);
            EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, c.stored);
            if (c.refused) {
                EXPECT_EQ(w.GetCurrentPage(), &page) << "the page is kept";
                ASSERT_EQ(Ui().boxes.size(), 1u);
                EXPECT_EQ(Ui().boxes[0].caption, "Warning");
                EXPECT_TRUE(Ui().boxes[0].message.Contains("from 1 to 180")) << Ui().boxes[0].message;
                EXPECT_EQ(page.GetContentBoxText()->GetValue(), c.text) << "what was typed stays to be mended";
                Click(page.GetFinishButton());
                EXPECT_TRUE(w.IsModal()) << "Finish refused too";
                EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, 17);
            } else {
                EXPECT_EQ(w.GetCurrentPage(), w.m_gpsPage);
                EXPECT_TRUE(Ui().boxes.empty());
            }
        });
    }
    OnPage([&](ContentWizard&, WizardPage8& page) {
        page.GetContentBoxText()->ChangeValue("12");
        page.GetContentBoxText()->AppendText("345");
        EXPECT_LE(page.GetContentBoxText()->GetValue().length(), 3u) << "three characters at most";
    });
}

TEST_F(HomePageTest, SourceRadiosGreyTheOtherSourcesAndGiveTheSource)
{
    struct Case {
        int radio;
        int source;
        bool useLast, city, manual;   // enabled
    } cases[] = {
        {WizardPage8::ID_SOURCE_GPS, 0, true, false, false},
        {WizardPage8::ID_SOURCE_CITY, 1, false, true, false},
        {WizardPage8::ID_SOURCE_MANUAL, 2, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        OnPage([&](ContentWizard& w, WizardPage8& page) {
            Pick(page.GetRadio(c.radio));
            EXPECT_EQ(page.FindWindow(WizardPage8::ID_USE_LAST_GPS)->IsEnabled(), c.useLast);
            EXPECT_EQ(page.GetCityChoice()->IsEnabled(), c.city);
            for (int id : {WizardPage8::ID_MANUAL_LAT, WizardPage8::ID_MANUAL_LON, WizardPage8::ID_NORTH,
                           WizardPage8::ID_SOUTH, WizardPage8::ID_EAST, WizardPage8::ID_WEST})
                EXPECT_EQ(page.FindWindow(id)->IsEnabled(), c.manual) << id;
            Next(w);
            EXPECT_EQ(app.dlPrefs.HomeLocation_Source, c.source);
        });
    }
    // A stored source of no kind shows the manual entry.
    app.dlPrefs.HomeLocation_Source = 7;
    OnPage([&](ContentWizard&, WizardPage8& page) {
        EXPECT_TRUE(page.GetRadio(WizardPage8::ID_SOURCE_MANUAL)->GetValue());
        EXPECT_TRUE(page.GetLatitudeText()->IsEnabled());
    });
}

TEST_F(HomePageTest, CityIndexOutsideTheListLeavesTheStoredCity)
{
    struct Case {
        const char* what;
        int stored;
        int choose;   // -1: leave the choice
        bool emptyList;
        bool moves;
    } cases[] = {
        {"a city of the list", 4, -1, false, true},
        {"another chosen", 4, 9, false, true},
        {"the wizard defaults' 766", 766, -1, false, false},
        {"a negative index", -3, -1, false, false},
        {"no TDWR list", 0, -1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.emptyList)
            Zones().ExecuteUpdate("DELETE FROM RadarCities WHERE RadarType = 'TDWR'");
        app.dlPrefs = DLPrefs();
        app.dlPrefs.HomeLocation_CityIdx = c.stored;
        app.dlPrefs.HomeLocation_CityLat = 1.5;
        app.dlPrefs.HomeLocation_CityLon = 2.5;
        OnPage([&](ContentWizard& w, WizardPage8& page) {
            EXPECT_EQ(page.GetCityChoice()->GetCount(), w.m_tdwrNames.size());
            EXPECT_EQ(page.GetCityChoice()->GetSelection(), c.moves ? c.stored : wxNOT_FOUND);
            if (c.choose >= 0)
                page.GetCityChoice()->SetSelection(c.choose);
            Next(w);
            const DLPrefs& prefs = app.dlPrefs;
            if (c.moves) {
                const int index = c.choose >= 0 ? c.choose : c.stored;
                EXPECT_EQ(prefs.HomeLocation_CityIdx, index);
                EXPECT_DOUBLE_EQ(prefs.HomeLocation_CityLat, w.m_tdwrPositions[index].m_lat);
                EXPECT_DOUBLE_EQ(prefs.HomeLocation_CityLon, w.m_tdwrPositions[index].m_lon);
            } else {
                EXPECT_EQ(prefs.HomeLocation_CityIdx, c.stored);
                EXPECT_DOUBLE_EQ(prefs.HomeLocation_CityLat, 1.5);
                EXPECT_DOUBLE_EQ(prefs.HomeLocation_CityLon, 2.5);
            }
        });
    }
}

TEST_F(HomePageTest, IconAndGpsLabelFromTheStoredValues)
{
    struct Case {
        int icon;
        int stored;
        double gpsLat, gpsLon;
        const char* label;
    } cases[] = {
        {3, 3, -1.0, -1.0, "Most Recent GPS Position: 1.00 S - 1.00 W"},
        {7, 0, 95.0, 10.0, "Most Recent GPS Position: Not Available."},
        {0, 0, 47.5, 200.0, "Most Recent GPS Position: Not Available."},
        {4, 4, 47.25, -122.5, "Most Recent GPS Position: 47.25 N - 122.50 W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        app.dlPrefs = DLPrefs();
        app.dlPrefs.HomeLocation_IconIdx = c.icon;
        app.dlPrefs.HomeLocation_GPSLat = c.gpsLat;
        app.dlPrefs.HomeLocation_GPSLon = c.gpsLon;
        OnPage([&](ContentWizard& w, WizardPage8& page) {
            EXPECT_EQ(page.GetGpsLabel()->GetLabel(), c.label);
            if (c.icon >= 0 && c.icon < 5)
                EXPECT_TRUE(page.GetRadio(WizardPage8::ID_ICON_0 + c.icon)->GetValue());
            Next(w);
            EXPECT_EQ(app.dlPrefs.HomeLocation_IconIdx, c.stored);
        });
    }
    EXPECT_TRUE(MakeWizard()->m_homePage->GetBitmapResource("res/PointerIcon-Yacht-25.png").IsOk());
}

// ---------------------------------------------------------------- GPS

class GpsPageTest : public WizardTest
{
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        ASSERT_TRUE(receiver.Ok());
        tw::SetSerialPortLister([] { return wxArrayString(); });
        tw::SetExtraSerialPorts(wxArrayString(1, &port));
        app.gpsQuery.SetTiming({CGPSQuery::kPollPeriodMs, 20, 25, 0});
        DLPrefs& p = app.dlPrefs;
        p.HomeLocation_Source = 1;
        p.GPS_SourceIdx = 0;
        p.GPS_Port = port;
        p.GPS_BaudIdx = 1;
        p.GPS_DataBitsIdx = 1;
        p.GPS_StopBitsIdx = 1;
        p.GPS_ParityIdx = 0;
        p.GPS_TimeOutIdx = 1;
    }
    void TearDown() override
    {
        app.gpsQuery.StopQuery();
        app.gpsQuery.SetTiming({});
        tw::SetExtraSerialPorts(wxArrayString());
        tw::SetSerialPortLister({});
        WizardTest::TearDown();
    }

    void OnPage(const std::function<void(ContentWizard&, WizardPage9&)>& steps)
    {
        ContentWizard* w = MakeWizard();
        RunWizard(*w, 9, [&] {
            steps(*w, *w->m_gpsPage);
            if (w->IsModal())
                Cancel(*w);
        });
    }

    // Presses Test GPS and waits for its report.
    wxString Test(WizardPage9& page)
    {
        const size_t before = Ui().boxes.size();
        Click(page.GetTestButton());
        EXPECT_TRUE(page.IsTestPending());
        EXPECT_FALSE(page.GetTestButton()->IsEnabled()) << "until the result is in";
        if (!WaitFor([&] { return Ui().boxes.size() > before; }, 10000))
            return wxString();
        EXPECT_TRUE(page.GetTestButton()->IsEnabled());
        EXPECT_FALSE(page.IsTestPending());
        EXPECT_EQ(Ui().boxes.back().caption, "'Test GPS' Results");
        EXPECT_TRUE(Ui().boxes.back().style & wxICON_INFORMATION);
        return Ui().boxes.back().message;
    }

    FakeReceiver receiver{0};
    wxString port = wxString::FromUTF8(receiver.Port());
};

TEST_F(GpsPageTest, ChoicesShowTheStoredIndexesAndAreCopiedAtOnce)
{
    OnPage([&](ContentWizard& w, WizardPage9& page) {
        wxChoice* ports = page.GetChoice(WizardPage9::ID_GPS_PORT);
        ASSERT_EQ(ports->GetCount(), 1u);
        EXPECT_EQ(ports->GetSelection(), 0);
        EXPECT_EQ(page.GetChoice(WizardPage9::ID_GPS_BAUD)->GetSelection(), 1);
        EXPECT_EQ(page.GetChoice(WizardPage9::ID_GPS_TIMEOUT)->GetSelection(), 1);
        EXPECT_FALSE(page.GetSourceBox()->IsItemEnabled(1));
        EXPECT_FALSE(page.GetSourceBox()->IsItemEnabled(2));

        // A protocol choice goes to the preferences at once, with the other
        // protocol choices; the time-out and the sentences wait.
        page.GetChoice(WizardPage9::ID_GPS_TIMEOUT)->SetSelection(2);
        page.GetSentenceBox(WizardPage9::ID_GPS_GLL)->SetValue(false);
        Choose(page.GetChoice(WizardPage9::ID_GPS_STOPBITS), 0);
        EXPECT_EQ(app.dlPrefs.GPS_StopBits, 0);
        EXPECT_EQ(app.dlPrefs.GPS_StopBitsIdx, 0);
        EXPECT_EQ(app.dlPrefs.GPS_TimeOutIdx, 2) << "the whole page is copied";
        Choose(page.GetChoice(WizardPage9::ID_GPS_DATABITS), 0);
        EXPECT_EQ(app.dlPrefs.GPS_DataBits, 7);
        Choose(page.GetChoice(WizardPage9::ID_GPS_PARITY), 4);
        EXPECT_EQ(app.dlPrefs.GPS_Parity, 4);
        Choose(page.GetChoice(WizardPage9::ID_GPS_BAUD), 0);
        EXPECT_EQ(app.dlPrefs.GPS_Baud, 2400);
        EXPECT_FALSE(app.dlPrefs.GPS_GLL);
        Next(w);
        EXPECT_EQ(app.dlPrefs.GPS_TimeOutSecs, 5);
        EXPECT_EQ(app.dlPrefs.GPS_Port, port);
        EXPECT_EQ(app.dlPrefs.GPS_PortIdx, 0);
    });
}

TEST_F(GpsPageTest, AStoredPortThatIsNotPluggedInIsKept)
{
    tw::SetExtraSerialPorts(wxArrayString());
    app.dlPrefs.GPS_Port = "/dev/ttyUSB7";
    app.dlPrefs.GPS_PortIdx = 3;
    OnPage([&](ContentWizard& w, WizardPage9& page) {
        EXPECT_EQ(page.GetChoice(WizardPage9::ID_GPS_PORT)->GetCount(), 0u);
        Next(w);
        EXPECT_EQ(app.dlPrefs.GPS_Port, "/dev/ttyUSB7");
        EXPECT_EQ(app.dlPrefs.GPS_PortIdx, 3);
    });
}

TEST_F(GpsPageTest, TestGpsReportsThePositionAndTheRawData)
{
    const std::string gga = WithChecksum("$GNGGA,123519,3351.000,S,15112.600,E,1,08,0.9,545.4,M,46.9,M,,");
    receiver.Send({"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K\r\n", gga}, 10);
    app.dlPrefs.GPS_GLL = false;   // the reader listens for the first chosen of GLL, RMC, GGA
    app.dlPrefs.GPS_RMC = false;
    OnPage([&](ContentWizard&, WizardPage9& page) {
        const wxString report = Test(page);
        EXPECT_TRUE(report.StartsWith("Most Recent GPS Position: 33.85 S - 151.21 E\r\n")) << report.utf8_str().data();
        // Everything read, the other sentences too.
        const int raw = report.Find("\r\nRaw data received:\r\n");
        ASSERT_NE(raw, wxNOT_FOUND);
        EXPECT_TRUE(report.Mid(raw).Contains("$GNGGA,123519"));
        EXPECT_TRUE(report.Mid(raw).Contains("$GPVTG,054.7"));
    });
}

TEST_F(GpsPageTest, TestGpsReportsFailuresWithWhatCameIn)
{
    struct Case {
        const char* what;
        std::function<void(WizardPage9&)> set;
        const char* expected;
    } cases[] = {
        {"no sentence chosen",
         [](WizardPage9& page) {
             for (int id : {WizardPage9::ID_GPS_GGA, WizardPage9::ID_GPS_GLL, WizardPage9::ID_GPS_RMC})
                 page.GetSentenceBox(id)->SetValue(false);
             // The boxes reach the preferences with the next copy.
             Choose(page.GetChoice(WizardPage9::ID_GPS_BAUD), 1);
         },
         "Invalid NMEA sentence type.\r\n\r\nRaw data received:\r\n(no data)"},
        {"a silent receiver", [](WizardPage9&) {}, "\r\n\r\nRaw data received:\r\n(no data)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        receiver.Silence();
        OnPage([&](ContentWizard&, WizardPage9& page) {
            c.set(page);
            const wxString report = Test(page);
            EXPECT_TRUE(report.EndsWith(c.expected)) << report;
        });
    }
}

TEST_F(GpsPageTest, CompletionsOfRegularPollsShowNothing)
{
    OnPage([&](ContentWizard& w, WizardPage9& page) {
        EXPECT_TRUE(page.IsSubscribed());
        wxCommandEvent done(wxEVT_QUERY_COMPLETION, 0);
        done.SetInt(0);
        app.gpsQuery.ProcessEvent(done);
        EXPECT_TRUE(Ui().boxes.empty());
        Next(w);
        EXPECT_FALSE(page.IsSubscribed()) << "left: no longer listening";
    });
}

TEST_F(GpsPageTest, HomePageShowsAFixThatComesWhileItIsShown)
{
    const std::string rmc = WithChecksum("$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A");
    receiver.Send({rmc}, 10);
    app.dlPrefs.GPS_GLL = false;
    ContentWizard* w = MakeWizard();
    WizardPage8* home = w->m_homePage;
    RunWizard(*w, 8, [&] {
        EXPECT_TRUE(home->IsSubscribed());
        const wxString before = home->GetGpsLabel()->GetLabel();
        // A failed query leaves the label alone.
        wxCommandEvent failed(wxEVT_QUERY_COMPLETION, 0);
        failed.SetInt(0);
        app.gpsQuery.ProcessEvent(failed);
        EXPECT_EQ(home->GetGpsLabel()->GetLabel(), before);

        ASSERT_TRUE(app.gpsQuery.RunQuery());
        EXPECT_TRUE(WaitFor([&] { return home->GetGpsLabel()->GetLabel() != before; }, 10000));
        EXPECT_EQ(home->GetGpsLabel()->GetLabel(), "Most Recent GPS Position: 48.12 N -- 11.52 E");
        Next(*w);
        EXPECT_FALSE(home->IsSubscribed());
        Cancel(*w);
    });
}

// ---------------------------------------------------------------- account

class AccountPageTest : public WizardTest
{
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
    }

    void Store(const std::function<void(CRegistry&)>& change)
    {
        CRegistry settings;
        sim.Configure(settings);
        change(settings);
        settings.WriteInfo();
    }

    void OnPage(const std::function<void(ContentWizard&, WizardPage10&)>& steps)
    {
        ContentWizard* w = MakeWizard();
        RunWizard(*w, 11, [&] {
            steps(*w, *w->m_accountPage);
            if (w->IsModal())
                Cancel(*w);
        });
    }

    tw::test::DialerSim sim;
};

TEST_F(AccountPageTest, ListsShowTheSnapshotAndTheLeavingCopyTakesTheChoices)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "skipper";
        s.m_gatewayInfo.gateway = "sat.tidewright.net";
        s.m_gatewayPort = 8080;
        s.m_dunInfo.connection = "Network Connection";
    });
    OnPage([&](ContentWizard& w, WizardPage10& page) {
        EXPECT_EQ(page.m_userName->GetValue(), "skipper");
        EXPECT_EQ(page.m_gateway->GetSelection(), 2);
        EXPECT_EQ(page.m_port->GetStringSelection(), "8080");
        EXPECT_EQ(page.m_connection->GetStringSelection(), "Network Connection");
        EXPECT_FALSE(page.m_configureDialer->IsEnabled());
        EXPECT_EQ(page.m_connection->GetToolTipText(), "Connect directly to Ethernet or public Wi-Fi.");

        page.m_port->SetSelection(0);
        page.m_gateway->SetSelection(3);
        page.m_connectionTimeout->ChangeValue("45abc");
        page.m_xferTimeout->ChangeValue("none");
        Back(w);
        const CRegistry& snapshot = w.m_registry;
        EXPECT_EQ(snapshot.m_gatewayPort, 443);
        EXPECT_EQ(snapshot.m_gatewayInfo.gateway, "localhost");
        EXPECT_EQ(snapshot.m_connectionTimeout, 45);
        EXPECT_EQ(snapshot.m_xferTimeout, 30) << "no number: the default, as in the connection settings";
        EXPECT_EQ(SettingText("Gateway/port"), "8080") << "nothing written before the commit";
    });
}

TEST_F(AccountPageTest, HostsAndPortsOutsideTheLists)
{
    struct Case {
        const char* what;
        const char* typed;   // null: leave the text
        const char* stored;
    } cases[] = {
        {"kept as typed text", nullptr, "gw.example.org"},
        {"a new name typed", "relay.example.net", "relay.example.net"},
        {"text cleared", "", "gw.example.org"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store([](CRegistry& s) {
            s.m_gatewayInfo.gateway = "gw.example.org";
            s.m_gatewayPort = 9999;
        });
        OnPage([&](ContentWizard& w, WizardPage10& page) {
            EXPECT_EQ(page.m_gateway->GetValue(), "gw.example.org");
            EXPECT_EQ(page.m_port->GetSelection(), wxNOT_FOUND);
            if (c.typed)
                page.m_gateway->SetValue(c.typed);
            Click(page.GetFinishButton());
            EXPECT_FALSE(w.IsModal());
        });
        EXPECT_EQ(SettingText("Gateway/gateway"), c.stored);
        EXPECT_EQ(SettingText("Gateway/port"), "9999");
    }
}

// "Port #" shows the stored port whatever it is and takes any typed port
// from 1 to 65535; another text is refused with a message and the wizard
// stays open.
TEST_F(AccountPageTest, PortFieldShowsAndTakesAnyValidPort)
{
    const struct {
        const char* typed;
        const char* stored;   // null: refused
    } cases[] = {
        {"31337", "31337"}, {"8443", "8443"}, {"443", "443"}, {"0", nullptr}, {"70000", nullptr}, {"http", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Store([](CRegistry& s) { s.m_gatewayPort = 31337; });
        tw::test::ResetUi();
        OnPage([&](ContentWizard& w, WizardPage10& page) {
            EXPECT_EQ(page.m_port->GetValue(), "31337");
            EXPECT_EQ(page.m_port->GetCount(), 5u) << "the presets stay in the list";
            page.m_port->SetValue(c.typed);
            Click(page.GetFinishButton());
            if (c.stored) {
                EXPECT_FALSE(w.IsModal());
                EXPECT_TRUE(tw::test::Ui().boxes.empty());
            } else {
                EXPECT_TRUE(w.IsModal()) << "the page stays with the port to mend";
                ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
                EXPECT_TRUE(tw::test::Ui().boxes[0].message.Contains(ConnSettings::kPortRefused));
                Cancel(w);
            }
        });
        EXPECT_EQ(SettingText("Gateway/port"), c.stored ? c.stored : "31337");
    }
}

TEST_F(AccountPageTest, DialerTypesEnableConfigureDialerAndAskForTheVersion)
{
    Store([](CRegistry& s) { s.m_dunInfo.connection = "Network Connection"; });
    app.dialerVersionKnown = false;
    OnPage([&](ContentWizard& w, WizardPage10& page) {
        EXPECT_EQ(sim.Count("version"), 0) << "no query for a network connection";
        Choose(page.m_connection, 1);
        EXPECT_TRUE(page.m_configureDialer->IsEnabled());
        EXPECT_TRUE(sim.WaitForRequest("version"));
        EXPECT_EQ(page.m_connection->GetToolTipText(),
                  "Use satellite dialer to manage network, satellite or Bandwick connections.");
        Choose(page.m_connection, 0);
        EXPECT_FALSE(page.m_configureDialer->IsEnabled());
        Choose(page.m_connection, 2);
        Next(w);   // Finish: the last page
    });
    EXPECT_EQ(SettingText("Connection/connection"), "MSAT Dialer");

    OnPage([&](ContentWizard&, WizardPage10& page) {
        tw::test::EnvGuard env;
        env.Set("TIDEWRIGHT_APPS", dir.Path());
        env.Set("PATH", dir.Path());
        Click(page.m_configureDialer);
        EXPECT_TRUE(tw::test::LogContains("The TALVO Dezavuviv Odirir software is not installed."));
    });
}

TEST_F(AccountPageTest, EventEditionKeepsTheAccount)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "crew7";
        s.m_gatewayInfo.password = "secret";
    });
    tw::test::TempDir resources;
    ASSERT_TRUE(tw::test::WriteFile(resources / "Tidewright.conf", "[Default]\nevt=3003\nevn=Cup\n"));
    tw::test::EnvGuard env;
    env.Set("TIDEWRIGHT_RESOURCES", resources.Path());
    OnPage([&](ContentWizard& w, WizardPage10& page) {
        EXPECT_FALSE(page.m_userName->IsEnabled());
        EXPECT_FALSE(page.m_password->IsEnabled());
        EXPECT_EQ(page.m_userName->GetValue(), "crew7");
        Next(w);
    });
    EXPECT_EQ(SettingText("Gateway/username"), "crew7");
    EXPECT_EQ(SettingText("Gateway/password"), "secret");
}

// Run again under a comma-decimal locale: the position texts keep their
// point, and what is typed with a point is read as such.
class HomePageLocaleTest : public HomePageTest
{
};

TEST_F(HomePageLocaleTest, PositionTextsAreTheSameInEveryLocale)
{
    app.dlPrefs.HomeLocation_Source = 2;
    app.dlPrefs.HomeLocation_ManualLat = 41.126;
    app.dlPrefs.HomeLocation_ManualLon = -70.5;
    app.dlPrefs.HomeLocation_GPSLat = 12.25;
    app.dlPrefs.HomeLocation_GPSLon = 3.5;
    OnPage([&](ContentWizard& w, WizardPage8& page) {
        EXPECT_EQ(page.GetLatitudeText()->GetValue(), "41.13");
        EXPECT_EQ(page.GetLongitudeText()->GetValue(), "70.50");
        EXPECT_EQ(page.GetGpsLabel()->GetLabel(), "Most Recent GPS Position: 12.25 N - 3.50 E");
        page.GetLatitudeText()->ChangeValue("12.75");
        Next(w);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLat, 12.75);
        EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_ManualLon, -70.5);
    });
}

// ---------------------------------------------------------------- the wizard's hold on the GPS reader

// Cancel gives the reader back as it was: a GPS test with GPS chosen as the
// home source leaves no polling behind when polling was off before.
TEST_F(GpsPageTest, CancelLeavesTheReaderAsItWasBeforeTheWizard)
{
    const std::string rmc = WithChecksum("$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A");
    receiver.Send({rmc}, 10);
    app.dlPrefs.GPS_GLL = false;
    ASSERT_FALSE(app.gpsQuery.IsPolling());
    OnPage([&](ContentWizard&, WizardPage9& page) {
        app.dlPrefs.HomeLocation_Source = 0;   // GPS chosen on the home page
        EXPECT_FALSE(Test(page).empty());
        EXPECT_TRUE(WaitFor([&] { return app.gpsQuery.IsPolling(); }, 3000)) << "the test left the reader polling";
    });
    EXPECT_EQ(app.dlPrefs.HomeLocation_Source, 1);
    EXPECT_FALSE(app.gpsQuery.IsPolling());
    EXPECT_EQ(app.gpsQuery.GetState(), 0) << "no query left running";
}

// A click on the strip button of the page already shown changes nothing: a
// pending test still reports, and the page keeps listening to the reader.
TEST_F(GpsPageTest, StripClickOnTheShownPageKeepsItsTestAndItsReader)
{
    const std::string rmc = WithChecksum("$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A");
    receiver.Send({rmc}, 200);
    app.dlPrefs.GPS_GLL = false;
    OnPage([&](ContentWizard& w, WizardPage9& page) {
        const size_t before = Ui().boxes.size();
        Click(page.GetTestButton());
        ASSERT_TRUE(page.IsTestPending());
        EXPECT_FALSE(w.GoToPage(9));
        EXPECT_TRUE(page.IsSubscribed());
        EXPECT_TRUE(page.IsTestPending());
        EXPECT_EQ(w.GetCurrentPage(), w.m_gpsPage);
        ASSERT_TRUE(WaitFor([&] { return Ui().boxes.size() > before; }, 10000)) << "the test's result is shown";
        EXPECT_EQ(Ui().boxes.back().caption, "'Test GPS' Results");
        EXPECT_TRUE(page.GetTestButton()->IsEnabled());
    });
}
