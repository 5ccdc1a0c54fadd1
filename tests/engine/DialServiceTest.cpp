// The dialer-service client against the dialer stand-in.
#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/socket.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "core/Registry.h"
#include "core/ThreadHelper.h"
#include "core/SocketErrorText.h"
#include "engine/transfer/DialService.h"
#include "support/DialerSim.h"
#include "support/RecordingResource.h"

using tw::test::DialerSim;
using tw::test::RecordingResource;
using tw::test::WaitFor;

namespace {

// Progress lines reach this callback on the main thread.
struct ProgressLog {
    std::vector<wxString> lines;
    static void Callback(const wxString& line, void* data) { static_cast<ProgressLog*>(data)->lines.push_back(line); }
};

// Runs `job` on a worker thread while this (main) thread keeps the event
// loop going, as the program does during a transfer.
bool OnWorker(const std::function<bool()>& job, int timeoutMs = 20000)
{
    std::atomic<bool> done{false};
    bool result = false;
    std::thread worker([&] {
        result = job();
        done = true;
    });
    WaitFor([&] { return done.load(); }, timeoutMs);
    worker.join();
    return result;
}

// A client whose deletion can be seen.
class ProbeDialService : public CDialService
{
public:
    explicit ProbeDialService(std::atomic<bool>* deleted) : m_deleted(deleted) {}
    ~ProbeDialService() override { *m_deleted = true; }

private:
    std::atomic<bool>* m_deleted;
};

class DialServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = CDialService::GetWaits();
        CDialService::Waits quick;
        quick.tickMs = 100;
        quick.settleMs = 50;
        CDialService::SetWaits(quick);
        ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
        settings.m_dunInfo.connection = "Dezavuviv Odirir";
        settings.m_autodialLogin = true;
    }
    void TearDown() override { CDialService::SetWaits(saved); }

    CDialService::Waits saved;
    CRegistry settings;
};

} // namespace

TEST(SocketErrorText, EveryCodeHasItsText)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {wxSOCKET_NOERROR, "wxSOCKET_NOERROR"},
        {wxSOCKET_INVOP, "socket invalid operation"},
        {wxSOCKET_IOERR, "socket i/o error"},
        {wxSOCKET_INVADDR, "socket invalid address"},
        {wxSOCKET_INVSOCK, "invalid socket"},
        {wxSOCKET_NOHOST, "socket no host"},
        {wxSOCKET_INVPORT, "socket invalid port"},
        {wxSOCKET_WOULDBLOCK, "wxSOCKET_WOULDBLOCK"},
        {wxSOCKET_TIMEDOUT, "socket time out"},
        {wxSOCKET_MEMERR, "socket memory error"},
        {10, "unknown socket error(10)"},
        {-3, "unknown socket error(-3)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::SocketErrorToString(c.code), c.text) << c.code;
}

TEST(DialerAnswers, ExpectedAndInvalid)
{
    const struct {
        const char* line;
        const char* expected;
        bool exact;
        bool result;
    } cases[] = {
        {"OK\r\n", "OK\r\n", true, true},
        {"OK\n", "OK\r\n", true, false},      // a bare LF is not the answer
        {"ok\r\n", "OK\r\n", true, false},
        {"Connected 30 2\r\n", "connected", false, true},
        {"CONNECTED\r\n", "connected", false, true},
        {"not connected\r\n", "connected", false, false},
        {"anything", "", true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsExpectedResponse(c.line, c.expected, c.exact), c.result) << c.line;
    EXPECT_TRUE(IsInvalidResponse("invalid\r\n"));
    EXPECT_FALSE(IsInvalidResponse("invalid\n"));
    EXPECT_FALSE(IsInvalidResponse("Invalid\r\n"));
}

// The asynchronous version query: returns at once, the answer comes as events.
TEST_F(DialServiceTest, VersionQueryAnswersThroughEvents)
{
    const struct {
        std::vector<std::string> options;
        int expected;          // the response event's int
        const char* version;   // the client's version text afterwards
    } cases[] = {
        {{}, 1, "3.85"},
        {{"--version", "3.9.1 build 7"}, 1, "3.9.1 build 7"},
        {{"--split"}, 1, "3.85"},                       // "OK" CR, then LF in a later write
        {{"--reply", "version=invalid"}, 0, ""},
        {{"--reply", "version=error"}, 0, "error"},
    };
    for (const auto& c : cases) {
        DialerSim sim(c.options);
        ASSERT_TRUE(sim.Running());
        sim.Configure(settings);
        CDialService client;
        std::vector<int> connects, responses, losses;
        client.Bind(wxEVT_DIALER_CONNECTION_COMPLETE, [&](wxCommandEvent& e) { connects.push_back(e.GetInt()); },
                    ID_DIALER_CONNECTION_COMPLETE);
        client.Bind(wxEVT_DIALER_COMMAND_RESPONSE, [&](wxCommandEvent& e) { responses.push_back(e.GetInt()); },
                    ID_DIALER_COMMAND_RESPONSE);
        client.Bind(wxEVT_DIALER_CONNECTION_LOST, [&](wxCommandEvent& e) { losses.push_back(e.GetInt()); },
                    ID_DIALER_CONNECTION_LOST);

        ASSERT_TRUE(client.Version(settings, 0, "Dezavuviv Odirir", nullptr));
        ASSERT_TRUE(WaitFor([&] { return !responses.empty(); })) << c.version;
        EXPECT_EQ(connects, std::vector<int>{1});
        EXPECT_EQ(responses.front(), c.expected) << c.version;
        EXPECT_EQ(client.GetVersionText(), c.version);
        EXPECT_TRUE(losses.empty());
        EXPECT_EQ(sim.Count("version"), 1);
        EXPECT_TRUE(client.Close());
    }
}

TEST_F(DialServiceTest, VersionQueryWithNoServiceReportsFailedConnection)
{
    settings.m_gatewayInfo.autodialhost = "127.0.0.1";
    settings.m_autodialPort = tw::test::FreeLoopbackPort();
    CDialService client;
    int lost = -1;
    wxString text;
    client.Bind(wxEVT_DIALER_CONNECTION_LOST,
                [&](wxCommandEvent& e) {
                    lost = e.GetInt();
                    text = e.GetString();
                },
                ID_DIALER_CONNECTION_LOST);
    client.Bind(wxEVT_DIALER_CONNECTION_COMPLETE,
                [&](wxCommandEvent& e) {
                    if (e.GetInt() == 0) {
                        lost = 0;
                        text = e.GetString();
                    }
                },
                ID_DIALER_CONNECTION_COMPLETE);
    client.Version(settings, 0, "MSAT Dialer", nullptr);
    ASSERT_TRUE(WaitFor([&] { return lost >= 0; }, 3000));
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(text.empty());
}

// A dial as a transfer worker runs it: blocking, with progress lines.
TEST_F(DialServiceTest, DialupOutcomes)
{
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* connection;
        bool login;            // Gateway/autodiallogin
        bool logging;          // a progress callback is set
        bool result;
        const char* error;     // the client's error text afterwards
        std::vector<std::string> requests;   // what the dialer received, in order
        int dialerTimeout;
        int linkValue;
        size_t progress;       // progress lines passed on
    } cases[] = {
        {"login, logger and dial", {}, "Dezavuviv Odirir", true, true, true, "",
         {"login rivol kp7rud", "logger", "dialup"}, 30, 2, 2},
        {"account of the MSAT dialer", {}, "MSAT Dialer", true, true, true, "",
         {"login skipper s3cret", "logger", "dialup"}, 30, 2, 2},
        {"no logger without a callback", {}, "Dezavuviv Odirir", true, false, true, "",
         {"login rivol kp7rud", "dialup"}, 30, 2, 0},
        {"logger alone without login", {}, "Dezavuviv Odirir", false, true, true, "", {"logger", "dialup"}, 30, 2, 2},
        {"dialer without login or logger", {"--reply", "login=invalid", "--reply", "logger=invalid"},
         "Dezavuviv Odirir", true, true, true, "", {"login rivol kp7rud", "dialup"}, 30, 2, 0},
        {"replies split across reads", {"--split"}, "Dezavuviv Odirir", true, true, true, "",
         {"login rivol kp7rud", "logger", "dialup"}, 30, 2, 2},
        {"upper-case answer carries no numbers", {"--connected", "Connected 30 2"}, "Dezavuviv Odirir", true,
         true, true, "", {"login rivol kp7rud", "logger", "dialup"}, -1, -1, 2},
        {"no link numbers", {"--connected", "connected"}, "Dezavuviv Odirir", true, true, true, "",
         {"login rivol kp7rud", "logger", "dialup"}, -1, -1, 2},
        {"time-out alone", {"--connected", "connected 45"}, "Dezavuviv Odirir", true, true, true, "",
         {"login rivol kp7rud", "logger", "dialup"}, 45, -1, 2},
        {"numbers out of range are not taken", {"--connected", "connected -5 99999999999"}, "Dezavuviv Odirir",
         true, true, true, "", {"login rivol kp7rud", "logger", "dialup"}, -1, -1, 2},
        {"login refused", {"--reply", "login=denied"}, "Dezavuviv Odirir", true, true, false,
         "Dezavuviv Odirir service failed with message -- denied\r\n", {"login rivol kp7rud"}, -1, -1, 0},
        {"logger refused", {"--reply", "logger=nope"}, "Dezavuviv Odirir", true, true, false,
         "Dezavuviv Odirir service failed with message -- nope\r\n", {"login rivol kp7rud", "logger"}, -1, -1, 0},
        {"dial refused", {"--reply", "dialup=error"}, "MSAT Dialer", true, true, false, "MSAT Dialer service error.",
         {"login skipper s3cret", "logger", "dialup"}, -1, -1, 0},
        {"OK ended by a bare LF", {"--bare-lf"}, "Dezavuviv Odirir", true, true, false,
         "Dezavuviv Odirir service failed with message -- OK\n", {"login rivol kp7rud"}, -1, -1, 0},
        {"link dropped while dialling", {"--drop-on-dial"}, "Dezavuviv Odirir", true, true, false,
         "Connection to Dezavuviv Odirir service was lost.", {"login rivol kp7rud", "logger", "dialup"}, -1, -1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialerSim sim(c.options);
        ASSERT_TRUE(sim.Running());
        sim.Configure(settings);
        settings.m_dunInfo.connection = c.connection;
        settings.m_autodialLogin = c.login;
        settings.m_gatewayInfo.username = "skipper";
        settings.m_gatewayInfo.password = "s3cret";

        std::atomic<bool> deleted{false};
        auto* client = new ProbeDialService(&deleted);
        ProgressLog progress;
        if (c.logging)
            client->SetupResponseLogging(&ProgressLog::Callback, &progress);
        RecordingResource worker;
        wxStopWatch clock;
        const bool ok = OnWorker([&] { return client->Dialup(settings, 20, &worker); });
        EXPECT_EQ(ok, c.result);
        EXPECT_EQ(client->GetErrorText(), c.error);
        EXPECT_EQ(client->GetDialerTimeout(), c.dialerTimeout);
        EXPECT_EQ(client->GetLinkValue(), c.linkValue);
        // A dropped link or a refusal ends the wait at once, not after the time-out.
        EXPECT_LT(clock.Time(), 1500);

        std::vector<std::string> requests;
        for (const std::string& r : sim.Requests())
            if (r[0] != '<')
                requests.push_back(r);
        EXPECT_EQ(requests, c.requests);

        // The progress lines as the dialer sent them, never the "OK" that opened the log.
        EXPECT_EQ(progress.lines.size(), c.progress);
        if (c.progress && !progress.lines.empty()) {
            EXPECT_EQ(progress.lines[0], "Dialing step 1 of 2\r\n");
        }

        const std::vector<wxString> statuses = worker.Statuses();
        EXPECT_FALSE(statuses.empty());
        if (!statuses.empty()) {
            EXPECT_EQ(statuses.front(), "Dialing ...\n");
        }
        EXPECT_EQ(std::find(statuses.begin(), statuses.end(), "Connected.\n") != statuses.end(), c.result);

        // The owner ends the client from the worker; a link that is up is hung up.
        OnWorker([&] {
            client->Destroy();
            return true;
        });
        EXPECT_TRUE(WaitFor([&] { return deleted.load(); }));
        if (c.result) {
            EXPECT_TRUE(sim.WaitForRequest("hangup"));
        }
        EXPECT_TRUE(WaitFor([&] { return sim.Count("<close>") + sim.Count("<drop>") == 1; }));
        if (!c.result) {
            EXPECT_EQ(sim.Count("hangup"), 0);
        }
    }
}

TEST_F(DialServiceTest, DialupFailuresBeforeTheDial)
{
    RecordingResource worker;
    CDialService client;

    settings.m_dunInfo.connection = "Network Connection";
    EXPECT_FALSE(OnWorker([&] { return client.Dialup(settings, 5, &worker); }));
    EXPECT_EQ(client.GetErrorText(), "Unknown dialer service type 'Network Connection'.");

    settings.m_dunInfo.connection = "MSAT Dialer";
    settings.m_gatewayInfo.autodialhost = "127.0.0.1";
    settings.m_autodialPort = tw::test::FreeLoopbackPort();
    EXPECT_FALSE(OnWorker([&] { return client.Dialup(settings, 5, &worker); }));
    EXPECT_EQ(client.GetErrorText(), "Failed to connect to MSAT Dialer service.");

    // A stop asked for before the connection is up aborts it.
    DialerSim sim;
    sim.Configure(settings);
    worker.stop = true;
    EXPECT_FALSE(OnWorker([&] { return client.Dialup(settings, 5, &worker); }));
    EXPECT_EQ(client.GetErrorText(), "Connection aborted.");
}

TEST_F(DialServiceTest, DialupTimesOutAndHangsUpOnceTheDialerAnswers)
{
    // The dial takes longer than the wait: the dialer is not interrupted, the
    // client is deleted only after its answer, and the link is hung up.
    DialerSim sim({"--dial-delay", "1200"});
    sim.Configure(settings);
    std::atomic<bool> deleted{false};
    auto* client = new ProbeDialService(&deleted);
    RecordingResource worker;
    EXPECT_FALSE(OnWorker([&] { return client->Dialup(settings, 2, &worker); }));
    EXPECT_EQ(client->GetErrorText(), "Timed out waiting for dialup completion.");
    EXPECT_EQ(client->GetState(), CDialService::DialupSent);
    OnWorker([&] {
        client->Destroy();
        return true;
    });
    tw::test::Pump(100);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(sim.Count("hangup"), 0);
    EXPECT_TRUE(sim.WaitForRequest("hangup"));
    EXPECT_TRUE(WaitFor([&] { return deleted.load(); }));
    EXPECT_TRUE(sim.WaitForRequest("<close>"));
}

TEST_F(DialServiceTest, StopWhileDiallingWaitsForTheDialerThenHangsUp)
{
    DialerSim sim({"--dial-delay", "800"});
    sim.Configure(settings);
    std::atomic<bool> deleted{false};
    auto* client = new ProbeDialService(&deleted);
    RecordingResource worker;
    std::atomic<bool> done{false};
    bool result = true;
    std::thread thread([&] {
        result = client->Dialup(settings, 20, &worker);
        done = true;
    });
    ASSERT_TRUE(sim.WaitForRequest("dialup"));
    // The transfer window's cancel: the stop state, and a close from the main
    // thread, which cannot interrupt the dial in progress.
    worker.stop = true;
    EXPECT_FALSE(client->Close());
    ASSERT_TRUE(WaitFor([&] { return done.load(); }, 10000));
    thread.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(client->GetErrorText(), "Connection aborted.");
    // The owner ends the client; it goes once the dialer has answered the
    // dial, and the link that came up is hung up.
    client->Destroy();
    EXPECT_TRUE(sim.WaitForRequest("hangup"));
    EXPECT_TRUE(WaitFor([&] { return deleted.load(); }));
    EXPECT_TRUE(sim.WaitForRequest("<close>"));
    const std::vector<std::string> requests = sim.Requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "hangup"), 1);
}

// The stop is seen by the waiting worker itself once the link is up (the
// dial having run on after the transfer window's cancel): the worker's close
// sends "hangup" and waits for its answer before the connection goes, so the
// link does not stay up.
TEST_F(DialServiceTest, StopSeenByTheWorkerAfterTheDialHangsUpBeforeClosing)
{
    // Stops from the check after the last one the connect wait can make, or
    // as soon as the link is up: the stop is always seen in the answer wait.
    class StopInTheAnswerWait : public RecordingResource
    {
    public:
        explicit StopInTheAnswerWait(const CDialService*& client) : m_client(client) {}
        bool TestDestroy() override
        {
            const int seen = ++m_seen;
            return seen > 1 + static_cast<int>(CDialService::GetWaits().connectTicks)
                   || (m_client && m_client->GetState() == CDialService::Dialled);
        }

    private:
        const CDialService*& m_client;
        std::atomic<int> m_seen {0};
    };

    DialerSim sim({"--dial-delay", "1500"});
    sim.Configure(settings);
    std::atomic<bool> deleted{false};
    auto* client = new ProbeDialService(&deleted);
    const CDialService* watched = client;
    StopInTheAnswerWait worker(watched);
    bool result = true;
    std::atomic<bool> done{false};
    std::thread thread([&] {
        result = client->Dialup(settings, 20, &worker);
        done = true;
    });
    ASSERT_TRUE(sim.WaitForRequest("dialup"));
    // The window's cancel from the main thread cannot interrupt the dial.
    EXPECT_FALSE(client->Close());
    ASSERT_TRUE(WaitFor([&] { return done.load(); }, 20000));
    thread.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(client->GetErrorText(), "Connection aborted.");
    // The hang-up went out before the connection closed, once.
    EXPECT_TRUE(sim.WaitForRequest("<close>"));
    const std::vector<std::string> requests = sim.Requests();
    const auto hangup = std::find(requests.begin(), requests.end(), "hangup");
    const auto closed = std::find(requests.begin(), requests.end(), "<close>");
    EXPECT_TRUE(hangup < closed) << "no hangup before the connection closed";
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "hangup"), 1);
    watched = nullptr;
    client->Destroy();
    EXPECT_TRUE(WaitFor([&] { return deleted.load(); }));
}

TEST_F(DialServiceTest, ZeroTimeOutStillWaitsForTheLink)
{
    DialerSim sim({"--dial-delay", "300"});
    sim.Configure(settings);
    CDialService client;
    RecordingResource worker;
    EXPECT_TRUE(OnWorker([&] { return client.Dialup(settings, 0, &worker); }));
    // The link is up when the call returns: the numbers are known.
    EXPECT_EQ(client.GetState(), CDialService::Dialled);
    EXPECT_EQ(client.GetLinkValue(), 2);
    EXPECT_TRUE(client.Close());
    EXPECT_TRUE(sim.WaitForRequest("hangup"));
}

// A worker's close hands "hangup" to the main thread and waits a bounded
// time for the answer. Whatever then retires the connection first, the
// queued hang-up is written before the socket goes, once: a main loop that
// did not run for longer than the wait, or a close on the main thread that
// overtakes the worker's.
TEST_F(DialServiceTest, QueuedHangupIsWrittenBeforeTheConnectionGoes)
{
    enum class Then { MainLoopStalls, MainThreadClosesFirst };
    for (Then then : {Then::MainLoopStalls, Then::MainThreadClosesFirst}) {
        SCOPED_TRACE(then == Then::MainLoopStalls ? "main loop stalls" : "main thread closes first");
        CDialService::Waits waits = CDialService::GetWaits();
        waits.hangupMs = then == Then::MainLoopStalls ? 100 : 20000;
        CDialService::SetWaits(waits);
        DialerSim sim;
        sim.Configure(settings);
        std::atomic<bool> deleted{false};
        auto* client = new ProbeDialService(&deleted);
        RecordingResource worker;
        ASSERT_TRUE(OnWorker([&] { return client->Dialup(settings, 20, &worker); }));
        ASSERT_EQ(client->GetState(), CDialService::Dialled);

        // From here the main thread runs no events until the worker's
        // close has returned.
        std::atomic<bool> closed{false};
        std::thread thread([&] {
            client->Close();
            closed = true;
        });
        if (then == Then::MainThreadClosesFirst) {
            for (int i = 0; i < 2000 && client->GetState() != CDialService::HangupSent; ++i)
                wxMilliSleep(1);
            ASSERT_EQ(client->GetState(), CDialService::HangupSent);
            EXPECT_TRUE(client->Close());
        }
        thread.join();
        EXPECT_TRUE(closed);
        if (then == Then::MainLoopStalls) {
            EXPECT_EQ(sim.Count("hangup"), 0) << "nothing is written off the main thread";
        }

        EXPECT_TRUE(sim.WaitForRequest("<close>"));
        const std::vector<std::string> requests = sim.Requests();
        const auto hangup = std::find(requests.begin(), requests.end(), "hangup");
        const auto gone = std::find(requests.begin(), requests.end(), "<close>");
        EXPECT_TRUE(hangup < gone) << "no hangup before the connection closed";
        EXPECT_EQ(std::count(requests.begin(), requests.end(), "hangup"), 1);
        client->Destroy();
        EXPECT_TRUE(WaitFor([&] { return deleted.load(); }));
        tw::test::Pump(50);
        EXPECT_EQ(sim.Count("hangup"), 1);
    }
}
