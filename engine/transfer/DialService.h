// Client of the local satellite-dialer service.
//
// The dialer is a separate program that brings up a satellite or other
// low-speed link on request. It listens on TCP (Gateway/autodialhost and
// Gateway/autodialport, by default localhost:3020) and speaks short text
// lines: requests end with LF, answers with CR LF.
//
// Two ways of use:
//  - Asynchronous (the application's version query): Version() with time-out 0
//    and no thread resource returns at once; the outcome arrives later as the
//    three dialer events below, posted to the client itself.
//  - Blocking (the gateway connection of a transfer, on a worker thread):
//    Dialup() with a time-out and the worker's IThreadResource waits until the
//    link is up or the attempt failed; afterwards the owner calls Destroy(),
//    which hangs up. Never delete a client that may still be connected.
//
// Threads: the socket itself lives on the main thread. Its notifications are
// handled there by OnSocketEvent, and every operation on the toolkit's socket
// object (create, connect, write, close) is carried out there: a call made on
// a worker thread hands that work to the main thread's event loop and only
// reads and writes the client's flags, under its two locks (the socket lock
// before the state lock, in the lock order of engine/transfer/XferSocket.h). A worker
// that waits polls those flags.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/socket.h>
#include <wx/string.h>

class CRegistry;
class IThreadResource;

// Events the client posts to itself; owners bind handlers on the client.
//   connection complete: int 1 when the socket counts as connected, string = error text
//   command response:    int 1 when the awaited answer was the expected one, string = answer line
//   connection lost:     int 1 when the connection had been established, string = error text
wxDECLARE_EVENT(wxEVT_DIALER_CONNECTION_COMPLETE, wxCommandEvent);
wxDECLARE_EVENT(wxEVT_DIALER_COMMAND_RESPONSE, wxCommandEvent);
wxDECLARE_EVENT(wxEVT_DIALER_CONNECTION_LOST, wxCommandEvent);

enum {
    ID_DIALER_CONNECTION_COMPLETE = 6039,
    ID_DIALER_COMMAND_RESPONSE = 6040,
    ID_DIALER_CONNECTION_LOST = 6041
};

// Wire texts.
extern const char* const g_szCommandVersion;     // "version"
extern const char* const g_szCommandLogin;       // "login %s %s"
extern const char* const g_szCommandLogger;      // "logger"
extern const char* const g_szCommandDialup;      // "dialup"
extern const char* const g_szCommandHangup;      // "hangup"
extern const char* const g_szResponseOk;         // "OK" CR LF
extern const char* const g_szResponseInvalid;    // "invalid" CR LF
extern const char* const g_szResponseError;      // "error" CR LF
extern const char* const g_szResponseConnected;  // "connected" (a prefix)
extern const char* const g_szResponseDisconnected; // "disconnected" (a prefix)
// The built-in login of the "Dezavuviv Odirir" dialer.
extern const char* const g_szDialerUsername;
extern const char* const g_szDialerPassword;

// The two dialer connection types (values of Connection/connection).
extern const char* const g_szDialerTypeZozor;    // "Dezavuviv Odirir"
extern const char* const g_szDialerTypeMsat;     // "MSAT Dialer"

// True when `expected` is empty; with `exact`, when the line equals it
// character for character; otherwise when the lower-cased line begins with it.
bool IsExpectedResponse(const wxString& line, const wxString& expected, bool exact);
// The line is exactly "invalid" CR LF.
bool IsInvalidResponse(const wxString& line);

class CDialService : public wxEvtHandler
{
public:
    enum State {
        Idle,
        Failed,
        VersionPending,
        VersionSent,
        DialPending,
        LoginSent,
        LoggerSent,
        DialupSent,
        Dialled,
        HangupSent
    };

    // Receives each progress line of the dialer (with its line end), on the
    // main thread, with the client's state lock held: it must not call back
    // into the client.
    using LoggingCallback = void (*)(const wxString& line, void* data);

    // The waits of the blocking exchange. A tick is one step of the connect
    // poll and of the answer wait (a time-out of n seconds allows n ticks);
    // the settle wait comes before the answer wait starts. The defaults are
    // one second and two seconds; tests shorten them.
    // A close on a worker thread that has to hang up first waits at most
    // hangupMs for the dialer to answer the hang-up.
    struct Waits {
        unsigned tickMs = 1000;
        unsigned settleMs = 2000;
        unsigned connectTicks = 3;
        unsigned hangupMs = 3000;
    };
    static Waits GetWaits();
    static void SetWaits(const Waits& waits);

    // The answer wait used when a dial is asked for with a time-out of 0.
    static constexpr unsigned kDefaultDialTimeout = 60;

    CDialService();
    ~CDialService() override;

    void SetupResponseLogging(LoggingCallback callback, void* data);

    // Asks the dialer for its version. With a time-out of 0 or no resource it
    // returns once the connection is started and the outcome arrives as events;
    // otherwise it waits for the answer. `serviceName` names the service in
    // messages (empty: Connection/connection).
    bool Version(const CRegistry& settings, unsigned timeout, const wxString& serviceName,
                 IThreadResource* resource);

    // Brings the link up. With a resource it blocks (on a worker thread) until
    // the dialer answers "connected" (true) or the attempt failed (false, with
    // the error text set). A time-out of 0 waits kDefaultDialTimeout.
    bool Dialup(const CRegistry& settings, unsigned timeout, IThreadResource* resource);

    // Sends "hangup" when connected; false while a dial is in progress (the
    // hang-up is then sent as soon as the dialer has answered the dial).
    bool Hangup();
    // Hangs up when needed and closes the connection; false when the
    // connection has to stay open because a dial is in progress. On a worker
    // thread the hang-up is written by the main thread: the close then waits
    // (at most Waits::hangupMs) until the dialer has answered it, or the
    // connection is gone, before it closes.
    bool Close();
    // Closes and deletes the client, at once or as soon as it can be closed.
    // The deletion itself always happens on the main thread.
    void Destroy();

    // Results of the last exchange.
    wxString GetErrorText() const;
    wxString GetAnswerLine() const;
    wxString GetVersionText() const;
    wxString GetServiceName() const;
    // The two numbers of the dialer's "connected" answer; -1 when not reported.
    int GetDialerTimeout() const;
    int GetLinkValue() const;
    State GetState() const;

protected:
    bool ConnectToService(const CRegistry& settings, bool& waited, unsigned timeout);
    bool WaitForResponse(unsigned timeout);
    bool HaveResponse();
    bool IsConnectedImpl();
    size_t SendString(wxSocketBase* socket, const wxString& text);

    void OnSocketEvent(wxSocketEvent& event);
    void OnConnectionComplete(wxCommandEvent&) {}
    void OnResponseReceived(wxCommandEvent&) {}
    void OnConnectionLost(wxCommandEvent&) {}

private:
    bool StartExchange(const CRegistry& settings, unsigned timeout, IThreadResource* resource);
    void StartSocket(unsigned serial, wxIPV4address address, unsigned timeout);
    void ProcessLine(const wxString& line, std::unique_lock<std::recursive_mutex>& lock);
    void LineCountsAsError();
    // Retires the open connection's socket. A "hangup" handed to the main
    // thread for that connection and not yet written goes out on it first:
    // a link must never stay up because its connection was closed before
    // the main thread got round to writing the hang-up.
    void RetireActive();
    void RetireSocket(wxSocketClient* socket, bool owesHangup);
    void DestroyRetired(wxSocketClient* socket);
    void Send(const wxString& text);
    // Main thread: writes the lines handed over by other threads, in order,
    // on the connection they were meant for (a closed one's are dropped).
    void FlushUnsent();
    void PostEvent(wxEventType type, int id, int value, const wxString& text);
    void DestroyOnMain();
    void SleepMs(unsigned ms) const;
    // Worker thread: waits until the hang-up sent on connection `serial` was
    // answered, the connection is gone, or the wait's bound has passed.
    void WaitForHangupAnswer(unsigned serial);

    mutable std::recursive_mutex m_socketLock;
    mutable std::recursive_mutex m_stateLock;

    wxString m_errorText;
    wxString m_answerLine;
    wxString m_userName;
    wxString m_password;
    wxString m_serviceName;
    wxString m_versionText;

    wxSocketClient* m_socket = nullptr;       // made and used on the main thread only
    unsigned m_socketSerial = 0;              // last connection number handed out
    unsigned m_activeSerial = 0;              // the open connection's number (its socket events' id); 0 = none
    bool m_eventsOff = false;                 // the open connection's notifications are ignored
    struct Retired {
        wxSocketClient* socket;
        bool owesHangup;   // a hang-up queued for it is still to be written
    };
    std::vector<Retired> m_retired;            // closed sockets waiting for the main thread
    struct Unsent {
        unsigned serial;   // the connection the line is meant for
        wxString text;
    };
    std::vector<Unsent> m_unsent;              // lines handed to the main thread, not yet written
    std::string m_lineBuffer;                 // input received after the last complete line

    IThreadResource* m_resource = nullptr;
    LoggingCallback m_logCallback = nullptr;
    void* m_logData = nullptr;

    std::atomic<bool> m_threaded{false};
    bool m_connected = false;
    bool m_answerComplete = false;
    bool m_answerExpected = false;
    bool m_lost = false;
    bool m_loggingActive = false;
    bool m_sendLogin = false;
    bool m_hangupPending = false;
    bool m_destroyPending = false;

    std::vector<char> m_sendBuffer;

    State m_state = Idle;
    int32_t m_dialerTimeout = -1;
    int32_t m_linkValue = -1;

    wxDECLARE_DYNAMIC_CLASS_NO_COPY(CDialService);
    wxDECLARE_EVENT_TABLE();
};
