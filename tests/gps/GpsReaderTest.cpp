// The GPS reader against a receiver on a real pseudo-terminal: fixes, the
// failures and what they leave alone, stopping, polling and its overrun
// rule, and the reader's end.
#include <dirent.h>

#include <atomic>
#include <future>
#include <memory>

#include <gtest/gtest.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "FakeReceiver.h"
#include "core/DownloadPreferences.h"
#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "engine/gps/GPSQuery.h"
#include "support/TestSupport.h"

using namespace tw::test;
using gps_test::FakeReceiver;
using gps_test::WithChecksum;

namespace {

// The three sentences of one receiver, each carrying its own position so a
// test can tell which one the reader used.
const std::string kGll = WithChecksum("$GPGLL,4916.450,N,12311.120,W,225444,A,A");       // 49.274 N 123.1853 W
const std::string kRmc = WithChecksum("$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A");
const std::string kGga = WithChecksum("$GNGGA,123519,3351.000,S,15112.600,E,1,08,0.9,545.4,M,46.9,M,,");

// What else a receiver sends: other talkers and sentences, and lines without
// a checksum.
const std::vector<std::string> kTraffic = {
    "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n",
    "$GLGSV,2,1,08,65,40,083,46,66,17,308,41,72,07,344,39,81,27,065,42*6A\r\n",
    "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K\r\n",
    "$GNGNS,123519,4807.038,N,01131.000,E,AA,08,0.9,545.4,46.9,,\r\n",
};

std::vector<std::string> Script(std::vector<std::string> wanted)
{
    std::vector<std::string> lines = kTraffic;
    lines.insert(lines.begin() + 2, wanted.begin(), wanted.end());
    return lines;
}

int CountEntries(const char* dir)
{
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] != '.')
                ++n;
        }
        closedir(d);
    }
    return n;
}

// Receives the reader's completions the way the wizard's pages do.
class Subscriber : public wxEvtHandler
{
public:
    explicit Subscriber(CGPSQuery& reader)
        : m_reader(reader)
    {
    }

    void OnCompletion(wxCommandEvent& event)
    {
        event.Skip();   // the other subscribers are told too
        results.push_back(event.GetInt());
        texts.push_back(m_reader.GetPositionError());
        raw.push_back(m_reader.GetRawText());
    }

    size_t Count() const { return results.size(); }

    std::vector<int> results;
    std::vector<wxString> texts;
    std::vector<wxString> raw;

private:
    CGPSQuery& m_reader;
};

class GpsReaderTest : public ::testing::Test
{
protected:
    GpsReaderTest()
    {
        prefs.HomeLocation_Source = 0;
        prefs.GPS_SourceIdx = 0;
        prefs.GPS_Port = wxString::FromUTF8(gps.Port());
        prefs.GPS_Baud = 4800;
        prefs.GPS_DataBits = 8;
        prefs.GPS_StopBits = 1;
        prefs.GPS_Parity = 0;
        Attach(reader);
    }

    ~GpsReaderTest() override
    {
        reader.StopQuery();
        Pump(10);
    }

    void Attach(CGPSQuery& r)
    {
        r.SetHost(&prefs, [this] { ++homeReloads; });
        r.Notify(true, wxCommandEventHandler(Subscriber::OnCompletion), &sub);
    }

    // Runs one query of the test button and waits for its completion.
    bool Query(int timeoutMs = 15000)
    {
        const size_t before = sub.Count();
        if (!reader.RunQuery())
            return false;
        return WaitFor([&] { return sub.Count() > before; }, timeoutMs);
    }

    wxString PortUpper() const { return wxString::FromUTF8(gps.Port()).Upper(); }

    // Starts a test query and waits until its worker has the port open.
    bool QueryUnderWay(CGPSQuery& r)
    {
        const int fds = CountEntries("/proc/self/fd");
        return r.RunQuery() && WaitFor([&] { return CountEntries("/proc/self/fd") > fds; });
    }

    static double Stored(const char* key)
    {
        CUserConfig file;
        return file.ReadDouble(key, -999.0);
    }

    TempHome home;
    FakeReceiver gps;
    DLPrefs prefs;
    int homeReloads = 0;
    CGPSQuery reader;
    Subscriber sub{reader};
};

} // namespace

TEST_F(GpsReaderTest, ReadsTheChosenSentenceAmongOtherTraffic)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send(Script({kGll, kRmc, kGga}), 0, 3);

    const double gllLat = 49 + 16.45 / 60, gllLon = -(123 + 11.12 / 60);
    const double rmcLat = 48 + 7.038 / 60, rmcLon = 11 + 31.0 / 60;
    const double ggaLat = -(33 + 51.0 / 60), ggaLon = 151 + 12.6 / 60;
    const struct {
        bool gll, rmc, gga;
        double lat, lon;
        const char* text;
        const char* tagInRaw;
    } cases[] = {
        {false, true, false, rmcLat, rmcLon, "Most Recent GPS Position: 48.12 N - 11.52 E", "$GNRMC"},
        {true, false, false, gllLat, gllLon, "Most Recent GPS Position: 49.27 N - 123.19 W", "$GPGLL"},
        {false, false, true, ggaLat, ggaLon, "Most Recent GPS Position: 33.85 S - 151.21 E", "$GNGGA"},
        {true, true, true, gllLat, gllLon, "Most Recent GPS Position: 49.27 N - 123.19 W", "$GPGLL"},
        {false, true, true, rmcLat, rmcLon, "Most Recent GPS Position: 48.12 N - 11.52 E", "$GNRMC"},
    };
    int reloads = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        prefs.GPS_GLL = c.gll;
        prefs.GPS_RMC = c.rmc;
        prefs.GPS_GGA = c.gga;
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 1);
        EXPECT_EQ(sub.texts.back(), c.text);

        double lat = 0, lon = 0;
        wxString text;
        EXPECT_TRUE(reader.GetPosition(lat, lon, text));
        EXPECT_NEAR(lat, c.lat, 1e-9);
        EXPECT_NEAR(lon, c.lon, 1e-9);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(sub.raw.back().Contains(c.tagInRaw));

        // Kept, stored and followed by the home.
        EXPECT_DOUBLE_EQ(prefs.HomeLocation_GPSLat, c.lat);
        EXPECT_DOUBLE_EQ(prefs.HomeLocation_GPSLon, c.lon);
        EXPECT_NEAR(Stored("HomeLocation/GPSLat"), c.lat, 1e-3);
        EXPECT_NEAR(Stored("HomeLocation/GPSLon"), c.lon, 1e-3);
        EXPECT_EQ(homeReloads, ++reloads);
    }
}

TEST_F(GpsReaderTest, HomeFollowsOnlyWhenGpsIsTheHomeSource)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kRmc});
    prefs.GPS_GLL = false;
    for (int source : {1, 2, 0}) {
        SCOPED_TRACE(source);
        prefs.HomeLocation_Source = source;
        const int before = homeReloads;
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 1);
        // The fix is stored whatever the home source.
        EXPECT_NEAR(Stored("HomeLocation/GPSLat"), 48.1173, 1e-4);
        EXPECT_EQ(homeReloads, before + (source == 0 ? 1 : 0));
    }
}

TEST_F(GpsReaderTest, NoFixMovesNothing)
{
    ASSERT_TRUE(gps.Ok());
    prefs.GPS_GLL = true;
    gps.Send({kGll});
    ASSERT_TRUE(Query());
    ASSERT_EQ(sub.results.back(), 1);
    double fixLat = 0, fixLon = 0;
    wxString text;
    reader.GetPosition(fixLat, fixLon, text);
    const double storedLat = Stored("HomeLocation/GPSLat");
    const int reloads = homeReloads;

    const struct {
        const char* what;
        std::string sentence;
        bool gll, rmc, gga;
    } cases[] = {
        {"GLL without position", WithChecksum("$GPGLL,,,,,225444,V,N"), true, false, false},
        {"GLL status V", WithChecksum("$GPGLL,4807.038,N,01131.000,E,225444,V,N"), true, false, false},
        {"RMC status V", WithChecksum("$GPRMC,123519,V,4807.038,N,01131.000,E,,,230394,,,N"), false, true, false},
        {"GGA quality 0", WithChecksum("$GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,"), false, false, true},
        {"GGA empty", WithChecksum("$GNGGA,,,,,,0,00,99.99,,,,,,"), false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gps.Send({c.sentence, kTraffic[0]});
        prefs.GPS_GLL = c.gll;
        prefs.GPS_RMC = c.rmc;
        prefs.GPS_GGA = c.gga;
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 0);
        EXPECT_EQ(sub.texts.back(), "GPS device on " + PortUpper() + " has no position fix.");

        double lat = 0, lon = 0;
        EXPECT_FALSE(reader.GetPosition(lat, lon, text));
        EXPECT_EQ(text, sub.texts.back());
        EXPECT_DOUBLE_EQ(lat, fixLat);
        EXPECT_DOUBLE_EQ(lon, fixLon);
        EXPECT_DOUBLE_EQ(prefs.HomeLocation_GPSLat, fixLat);
        EXPECT_DOUBLE_EQ(Stored("HomeLocation/GPSLat"), storedLat);
        EXPECT_EQ(homeReloads, reloads);
    }
}

// Numbers too long for a double make the sentence unreadable: neither a
// plausible position nor a missing fix is made of them, and the stored home
// stays where the last fix put it.
TEST_F(GpsReaderTest, NumbersBeyondADoubleAreAnUnreadableSentence)
{
    ASSERT_TRUE(gps.Ok());
    prefs.GPS_GLL = true;
    gps.Send({kGll});
    ASSERT_TRUE(Query());
    ASSERT_EQ(sub.results.back(), 1);
    const double storedLat = Stored("HomeLocation/GPSLat");
    const double storedLon = Stored("HomeLocation/GPSLon");
    const int reloads = homeReloads;

    const struct {
        const char* what;
        std::string sentence;
        bool gll, gga;
        const char* text;
    } cases[] = {
        {"latitude minutes of 320 nines",
         WithChecksum("$GPGLL,44" + std::string(320, '9') + ",N,00000.000,E,225444,A,A"), true, false,
         "Unknown GPS GLL sentence format was read."},
        {"fix quality of 1 and 320 zeros",
         WithChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1" + std::string(320, '0') + ",08,0.9,545.4,M,46.9,M,,"),
         false, true, "Unknown GPS GGA sentence format was read."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gps.Send({c.sentence, kTraffic[0]});
        prefs.GPS_GLL = c.gll;
        prefs.GPS_RMC = false;
        prefs.GPS_GGA = c.gga;
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 0);
        EXPECT_EQ(sub.texts.back(), c.text);
        EXPECT_DOUBLE_EQ(Stored("HomeLocation/GPSLat"), storedLat);
        EXPECT_DOUBLE_EQ(Stored("HomeLocation/GPSLon"), storedLon);
        EXPECT_EQ(homeReloads, reloads);
    }
}

TEST_F(GpsReaderTest, GarbageFromAWrongLineRateIsReportedWhole)
{
    ASSERT_TRUE(gps.Ok());
    // What a 4800 baud receiver looks like to a port at another rate: bytes
    // that are no valid UTF-8, with the odd readable stretch among them.
    const std::string garbage = std::string("\xc3\x28\xa0\xa1\xe2\x28\xa1\xf0\x28\x8c\xbc") + "MARK" +
                                std::string("\xfe\xff\x80\x81\x00\x7f", 6) + "\r\n";
    gps.Send({garbage});
    reader.SetTiming({CGPSQuery::kPollPeriodMs, 50, 12, 0});
    prefs.GPS_GLL = false;
    ASSERT_TRUE(Query());
    EXPECT_EQ(sub.results.back(), 0);
    EXPECT_EQ(sub.texts.back(), "Failed to read GPS info from " + PortUpper());
    // Every byte arrived as one character: nothing was dropped for not
    // being UTF-8, and a NUL does not end the text.
    const wxString& raw = sub.raw.back();
    EXPECT_TRUE(raw.Contains("MARK"));
    EXPECT_TRUE(raw.Contains(wxString::FromUTF8("\xc3\x83(\xc2\xa0")));   // C3 28 A0 as Latin-1
    EXPECT_TRUE(raw.Contains(".\x7f\r\n"));

    // Once the line is right the sentence comes through the noise.
    gps.Send(Script({kRmc}), 0, 20);
    reader.SetTiming({});
    ASSERT_TRUE(Query());
    EXPECT_EQ(sub.results.back(), 1);
}

TEST_F(GpsReaderTest, ChosenSentenceNeverSentEndsAfterFortyReads)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send(Script({kRmc}), 200);
    prefs.GPS_GLL = true;   // the receiver sends no GLL
    wxStopWatch sw;
    ASSERT_TRUE(Query(30000));
    const long elapsed = sw.Time();
    EXPECT_EQ(sub.results.back(), 0);
    EXPECT_EQ(sub.texts.back(), "Failed to read GPS info from " + PortUpper());
    // 40 reads, 200 ms apart.
    EXPECT_GE(elapsed, 40 * 200 - 50);
    EXPECT_LT(elapsed, 25000);
    // The report holds all that was read, line ends included.
    EXPECT_TRUE(sub.raw.back().Contains(wxString::FromUTF8(kRmc)));
}

TEST_F(GpsReaderTest, UnpluggedReceiverFailsWithoutWaitingOut)
{
    ASSERT_TRUE(gps.Ok());
    gps.Silence();
    ASSERT_TRUE(QueryUnderWay(reader));
    gps.Unplug();
    wxStopWatch sw;
    ASSERT_TRUE(WaitFor([&] { return sub.Count() == 1; }, 10000));
    EXPECT_LT(sw.Time(), 4000);
    EXPECT_EQ(sub.results.back(), 0);
    EXPECT_EQ(sub.texts.back(), "Failed to read GPS info from " + PortUpper());
}

TEST_F(GpsReaderTest, ImpossibleSettingsFailWithTheirText)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGll});
    const wxString open = "Failed to open GPS device on ";
    const struct {
        const char* what;
        std::function<void(DLPrefs&)> change;
        wxString text;      // the whole message or, with a reason, its first line
        bool reason;        // a second line says why
    } cases[] = {
        {"no sentence chosen", [](DLPrefs& p) { p.GPS_GLL = p.GPS_RMC = p.GPS_GGA = false; },
         "Invalid NMEA sentence type.", false},
        {"stop bits 0", [](DLPrefs& p) { p.GPS_StopBits = 0; }, open + PortUpper(), true},
        {"stop bits 3", [](DLPrefs& p) { p.GPS_StopBits = 3; }, open + PortUpper(), true},
        {"stop bits out of range", [](DLPrefs& p) { p.GPS_StopBits = 258; }, open + PortUpper(), true},
        {"parity 9", [](DLPrefs& p) { p.GPS_Parity = 9; }, open + PortUpper(), true},
        {"rate 1234", [](DLPrefs& p) { p.GPS_Baud = 1234; }, open + PortUpper(), true},
        {"no such port", [](DLPrefs& p) { p.GPS_Port = "/dev/tw-no-gps"; }, open + "/DEV/TW-NO-GPS", true},
        {"no port chosen", [](DLPrefs& p) { p.GPS_Port.clear(); }, open, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DLPrefs saved = prefs;
        c.change(prefs);
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 0);
        const wxString& text = sub.texts.back();
        EXPECT_EQ(text.BeforeFirst('\n'), c.text);
        EXPECT_EQ(text.Contains("\n"), c.reason) << text;
        EXPECT_EQ(sub.raw.back(), "");
        prefs = saved;
    }
    EXPECT_EQ(homeReloads, 0);
    // And the line works again with good settings.
    ASSERT_TRUE(Query());
    EXPECT_EQ(sub.results.back(), 1);
}

TEST(GpsLineSettings, NeverChosenSettingsBecome4800EightNOne)
{
    const struct {
        int baud, dataBits, dataBitsIdx, stopBits, parity;
        int wantBaud, wantBits, wantStop, wantParity;
    } cases[] = {
        {0, 1, 1, 1, 0, 4800, 8, 1, 0},        // the record's own defaults
        {0, 1, 0, 1, 0, 4800, 7, 1, 0},        // data bits from the index
        {-5, 0, 3, 2, 2, 4800, 8, 2, 2},
        {9600, 7, 1, 1, 3, 9600, 7, 1, 3},     // chosen values are kept
        {19200, 8, 0, 2, 4, 19200, 8, 2, 4},
        {2400, 9, 1, 0, 1, 2400, 8, 0, 1},     // stop bits 0 stays, and fails at open
        {4800, 8, 1, -1, 0, 4800, 8, 0, 0},
    };
    TempHome home;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.baud << " " << c.dataBits << " " << c.stopBits);
        DLPrefs prefs;
        prefs.GPS_Baud = c.baud;
        prefs.GPS_DataBits = c.dataBits;
        prefs.GPS_DataBitsIdx = c.dataBitsIdx;
        prefs.GPS_StopBits = c.stopBits;
        prefs.GPS_Parity = c.parity;
        const wxSerialPort_DCS dcs = CGPSQuery::LineSettings(prefs);
        EXPECT_EQ(dcs.baud, c.wantBaud);
        EXPECT_EQ(dcs.wordlen, c.wantBits);
        EXPECT_EQ(dcs.stopbits, c.wantStop);
        EXPECT_EQ(dcs.parity, c.wantParity);
        EXPECT_FALSE(dcs.rtscts);
        EXPECT_FALSE(dcs.xonxoff);
    }
}

TEST_F(GpsReaderTest, FreshPreferencesReadTheReceiver)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGga, kGll});
    // The settings as a fresh record has them (rate 0, data bits 1), only
    // the port and the source chosen.
    DLPrefs fresh;
    fresh.GPS_Port = prefs.GPS_Port;
    fresh.GPS_SourceIdx = 0;
    prefs = fresh;
    ASSERT_TRUE(Query());
    EXPECT_EQ(sub.results.back(), 1) << sub.texts.back();
    EXPECT_TRUE(sub.texts.back().StartsWith("Most Recent GPS Position: 49.27 N"));
}

TEST_F(GpsReaderTest, PositionalPacketSourcesTimeOutNamingTheProgram)
{
    ASSERT_TRUE(gps.Ok());
    reader.SetTiming({CGPSQuery::kPollPeriodMs, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 300});
    const struct {
        int source;
        const char* program;
    } cases[] = {{1, "Isobarion and/or Chartloom"}, {2, "Nobeltec Navigation"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        prefs.GPS_SourceIdx = c.source;
        ASSERT_TRUE(Query());
        EXPECT_EQ(sub.results.back(), 0);
        EXPECT_EQ(sub.texts.back(), wxString("No position response received. Please verify that ") + c.program +
                                        " is running and configured properly for GPS.");
        EXPECT_EQ(sub.raw.back(), "");
        EXPECT_EQ(reader.GetCurrentSource(), c.source);
    }
    EXPECT_EQ(CGPSQuery::ExpectedProgram(-1), "your GPS software");

    // No source at all: nothing to ask.
    prefs.GPS_SourceIdx = 3;
    EXPECT_FALSE(reader.RunQuery());
    EXPECT_EQ(reader.GetCurrentSource(), -1);
}

TEST_F(GpsReaderTest, StopDuringAReadEndsAtOnce)
{
    ASSERT_TRUE(gps.Ok());
    gps.Silence();
    const int fds = CountEntries("/proc/self/fd");
    ASSERT_TRUE(reader.StartQuery(true));
    ASSERT_TRUE(WaitFor([&] { return CountEntries("/proc/self/fd") > fds; }));
    ASSERT_EQ(reader.GetState(), 1);
    wxStopWatch sw;
    EXPECT_TRUE(reader.StopQuery());
    // Within the first of the two 200 ms waits (and far below it normally).
    EXPECT_LT(sw.Time(), 2 * CGPSQuery::kStopWaitMs);
    EXPECT_EQ(reader.GetState(), 0);
    ASSERT_TRUE(WaitFor([&] { return sub.Count() == 1; }));
    EXPECT_EQ(sub.results.back(), 0);
    EXPECT_EQ(sub.texts.back(), "Operation aborted.");
    // Stopped means stopped: the completion does not start polling again.
    EXPECT_FALSE(reader.IsPolling());

    // The port was let go: the next query reads the receiver.
    gps.Send({kGll});
    ASSERT_TRUE(Query());
    EXPECT_EQ(sub.results.back(), 1);
    EXPECT_TRUE(reader.IsPolling()) << "a completed query polls again for a GPS home";
}

TEST_F(GpsReaderTest, DestroyedWhileReading)
{
    ASSERT_TRUE(gps.Ok());
    gps.Silence();
    const int fds = CountEntries("/proc/self/fd");
    auto doomed = std::make_unique<CGPSQuery>();
    Attach(*doomed);
    ASSERT_TRUE(QueryUnderWay(*doomed));
    wxStopWatch sw;
    doomed.reset();
    EXPECT_LT(sw.Time(), 1000);
    // Neither its end nor its completion reaches anyone after it is gone.
    Pump(100);
    EXPECT_EQ(sub.Count(), 0u);
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
}

TEST_F(GpsReaderTest, PollingFollowsTheReceiver)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kRmc});
    prefs.GPS_GLL = false;
    // A period well above a query's length, so that no tick cuts one short.
    reader.SetTiming({1500, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 0});
    ASSERT_TRUE(reader.StartQuery(true));
    EXPECT_TRUE(reader.IsPolling());
    EXPECT_FALSE(reader.StartQuery(true));
    EXPECT_TRUE(LogContains("GPS polling is already active."));
    ASSERT_TRUE(WaitFor([&] { return sub.Count() >= 2; }, 15000));

    // The boat moves.
    gps.Send({WithChecksum("$GPRMC,123520,A,4808.000,N,01132.000,E,022.4,084.4,230394,003.1,W")});
    ASSERT_TRUE(WaitFor(
        [&] { return sub.Count() >= 3 && sub.texts.back() == "Most Recent GPS Position: 48.13 N - 11.53 E"; },
        15000));
    for (int r : sub.results)
        EXPECT_EQ(r, 1);
    EXPECT_EQ(homeReloads, static_cast<int>(sub.Count()));
    EXPECT_NEAR(Stored("HomeLocation/GPSLat"), 48 + 8.0 / 60, 1e-4);
    EXPECT_TRUE(reader.IsPolling());
    EXPECT_FALSE(LogContains("GPS poll interval failed to complete."));

    EXPECT_TRUE(reader.StopQuery());
    EXPECT_FALSE(reader.IsPolling());
}

TEST_F(GpsReaderTest, PollingOnlyForAGpsHomeUnlessAsked)
{
    for (int source : {1, 2, -1}) {
        prefs.HomeLocation_Source = source;
        EXPECT_TRUE(reader.StartQuery(true)) << source;
        EXPECT_FALSE(reader.IsPolling()) << source;
    }
    // Asked without the condition, it polls; a positional-packet source
    // polls without reading anything.
    prefs.GPS_SourceIdx = 1;
    EXPECT_TRUE(reader.StartQuery(false));
    EXPECT_TRUE(reader.IsPolling());
    EXPECT_EQ(reader.GetState(), 0);
    EXPECT_TRUE(reader.StopQuery());
    // No source: no polling.
    prefs.GPS_SourceIdx = 7;
    EXPECT_FALSE(reader.StartQuery(false));
    EXPECT_FALSE(reader.IsPolling());
}

TEST_F(GpsReaderTest, TestQueryPausesPollingUntilItEnds)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGll});
    reader.SetTiming({60000, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 0});
    const struct {
        int homeSource;
        bool pollingAfter;
    } cases[] = {{0, true}, {1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.homeSource);
        prefs.HomeLocation_Source = c.homeSource;
        if (c.homeSource == 0) {
            ASSERT_TRUE(reader.StartQuery(true));
            ASSERT_TRUE(WaitFor([&] { return sub.Count() == 1; }));
        }
        const size_t before = sub.Count();
        ASSERT_TRUE(reader.RunQuery());
        EXPECT_FALSE(reader.IsPolling());
        // Asked again while it runs: the same query answers both.
        EXPECT_TRUE(reader.RunQuery());
        EXPECT_EQ(reader.RequestPosition(), 0);
        ASSERT_TRUE(WaitFor([&] { return sub.Count() > before; }));
        Pump(100);
        EXPECT_EQ(sub.Count(), before + 1);
        EXPECT_EQ(sub.results.back(), 1);
        EXPECT_EQ(reader.IsPolling(), c.pollingAfter);
        reader.StopQuery();
    }
}

TEST_F(GpsReaderTest, AnEarlierQueryNeverOverwritesALaterOne)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGll});
    // The first query ends, but its end is not taken in before the next
    // request (no events are handled in between).
    ASSERT_TRUE(reader.RunQuery());
    wxStopWatch sw;
    while (reader.GetState() != 0 && sw.Time() < 15000)
        wxMilliSleep(2);
    ASSERT_EQ(reader.GetState(), 0);

    gps.Send({kRmc});
    prefs.GPS_GLL = false;
    ASSERT_TRUE(reader.RunQuery());   // takes in the first, starts the second
    ASSERT_TRUE(WaitFor([&] { return sub.Count() >= 2; }));
    Pump(200);
    ASSERT_EQ(sub.Count(), 2u) << "the first query's late end is not announced twice";
    EXPECT_EQ(sub.texts[0], "Most Recent GPS Position: 49.27 N - 123.19 W");
    EXPECT_EQ(sub.texts[1], "Most Recent GPS Position: 48.12 N - 11.52 E");
    double lat = 0, lon = 0;
    wxString text;
    EXPECT_TRUE(reader.GetPosition(lat, lon, text));
    EXPECT_NEAR(lat, 48.1173, 1e-4);
    EXPECT_NEAR(Stored("HomeLocation/GPSLat"), 48.1173, 1e-4);
}

TEST_F(GpsReaderTest, ManyQueriesLeaveNoPortOrThreadBehind)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGll});
    ASSERT_TRUE(Query());   // warm-up: the toolkit's own first-use threads and files
    const int fds = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(Query()) << i;
        ASSERT_EQ(sub.results.back(), 1) << i;
    }
    // Alternate with stopped queries.
    gps.Silence();
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(QueryUnderWay(reader));
        EXPECT_TRUE(reader.StopQuery());
    }
    ASSERT_TRUE(WaitFor([&] { return sub.Count() == 21; }));
    EXPECT_EQ(sub.texts.back(), "Operation aborted.");
    EXPECT_TRUE(WaitFor([&] { return CountEntries("/proc/self/task") == threads; }, 2000));
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
}

namespace {

// A query that hangs on its port and does not hear a stop until the test
// lets it go.
class StuckReader : public CGPSQuery
{
public:
    StuckReader()
        : gate(release.get_future().share())
    {
    }
    ~StuckReader() override
    {
        Release();
        StopAndWait();
    }
    bool QueryGPSDevice() override
    {
        entered = true;
        gate.wait();
        return false;
    }
    void Release()
    {
        if (!released.exchange(true))
            release.set_value();
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> released{false};
    std::promise<void> release;
    std::shared_future<void> gate;
};

} // namespace

TEST_F(GpsReaderTest, TwoTicksOverAStuckQueryEndPolling)
{
    StuckReader stuck;
    Attach(stuck);
    stuck.SetTiming({300, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 0});
    ASSERT_TRUE(stuck.StartQuery(true));
    ASSERT_TRUE(WaitFor([&] { return stuck.entered.load(); }));

    // The first tick asks it to stop and waits twice 200 ms in vain; the
    // second gives up polling.
    ASSERT_TRUE(WaitFor([&] { return LogContains("GPS poll interval failed to complete."); }, 10000));
    EXPECT_FALSE(stuck.IsPolling());
    EXPECT_EQ(stuck.GetState(), 2);
    EXPECT_EQ(sub.Count(), 0u);
    // A request meanwhile neither starts a second worker nor waits long.
    wxStopWatch sw;
    EXPECT_FALSE(stuck.TerminateThread());
    EXPECT_LT(sw.Time(), 2 * CGPSQuery::kStopWaitMs + 300);

    // When it finally ends it is announced, and a GPS home polls again.
    stuck.Release();
    ASSERT_TRUE(WaitFor([&] { return sub.Count() == 1; }));
    EXPECT_EQ(sub.results.back(), 0);
    EXPECT_TRUE(stuck.IsPolling());
    stuck.StopQuery();
}

TEST_F(GpsReaderTest, ATickOverASlowQueryStopsItAndAsksAgain)
{
    ASSERT_TRUE(gps.Ok());
    gps.Silence();   // every query would read for 8 s
    reader.SetTiming({300, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 0});
    ASSERT_TRUE(reader.StartQuery(true));
    ASSERT_TRUE(WaitFor([&] { return sub.Count() >= 2; }, 10000));
    for (size_t i = 0; i < sub.Count(); ++i)
        EXPECT_EQ(sub.texts[i], "Operation aborted.");
    EXPECT_TRUE(reader.IsPolling());
    EXPECT_FALSE(LogContains("GPS poll interval failed to complete."));

    // A receiver that answers in time ends the aborts.
    reader.StopQuery();
    gps.Send({kGll});
    reader.SetTiming({2000, CGPSQuery::kReadPauseMs, CGPSQuery::kMaxReads, 0});
    ASSERT_TRUE(reader.StartQuery(true));
    ASSERT_TRUE(WaitFor([&] { return !sub.results.empty() && sub.results.back() == 1; }, 15000));
}

TEST_F(GpsReaderTest, SubscribersComeAndGo)
{
    ASSERT_TRUE(gps.Ok());
    gps.Send({kGll});
    Subscriber second(reader);
    EXPECT_TRUE(reader.Notify(true, wxCommandEventHandler(Subscriber::OnCompletion), &second));
    ASSERT_TRUE(Query());
    ASSERT_TRUE(WaitFor([&] { return second.Count() == 1; }));
    EXPECT_TRUE(reader.Notify(false, wxCommandEventHandler(Subscriber::OnCompletion), &second));
    EXPECT_FALSE(reader.Notify(false, wxCommandEventHandler(Subscriber::OnCompletion), &second));
    ASSERT_TRUE(Query());
    EXPECT_EQ(second.Count(), 1u);
    EXPECT_EQ(sub.Count(), 2u);
}

TEST(GpsReaderInTheApplication, HomePositionFollowsTheFix)
{
    TempHome home;
    FakeReceiver gps;
    ASSERT_TRUE(gps.Ok());
    gps.Send({kRmc});

    TidewrightApp& app = wxGetApp();
    const DLPrefs saved = app.dlPrefs;
    app.dlPrefs = DLPrefs();
    app.dlPrefs.HomeLocation_Source = 0;
    app.dlPrefs.GPS_SourceIdx = 0;
    app.dlPrefs.GPS_GLL = false;
    app.dlPrefs.GPS_Port = wxString::FromUTF8(gps.Port());
    {
        // What the home is reloaded from, before the fix.
        CUserConfig file;
        file.WriteLong("HomeLocation/Source", 0);
        file.WriteDouble("HomeLocation/GPSLat", 1.0);
        file.WriteDouble("HomeLocation/GPSLon", 2.0);
    }
    app.UpdateHomePosition();
    ASSERT_DOUBLE_EQ(app.homePosition.lat, 1.0);

    Subscriber sub(app.gpsQuery);
    app.gpsQuery.Notify(true, wxCommandEventHandler(Subscriber::OnCompletion), &sub);
    ASSERT_TRUE(app.gpsQuery.RunQuery());
    ASSERT_TRUE(WaitFor([&] { return sub.Count() == 1; }, 15000));
    EXPECT_EQ(sub.results.back(), 1);
    EXPECT_NEAR(app.homePosition.lat, 48 + 7.038 / 60, 1e-4);
    EXPECT_NEAR(app.homePosition.lon, 11 + 31.0 / 60, 1e-4);
    EXPECT_DOUBLE_EQ(app.dlPrefs.HomeLocation_GPSLat, 48 + 7.038 / 60);

    app.gpsQuery.StopQuery();
    app.gpsQuery.Notify(false, wxCommandEventHandler(Subscriber::OnCompletion), &sub);
    app.dlPrefs = saved;
}
