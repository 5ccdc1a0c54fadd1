// The GPS position reader owned by the application object. While GPS is the
// home source it asks the receiver for a position every 20 s; each query runs
// on a short-lived joinable worker that opens the serial port, reads NMEA text
// until one sentence of the chosen type has come (at most 40 reads, 200 ms
// apart), closes the port and ends. Back on the main thread the reader keeps
// the fix, writes it to HomeLocation/GPSLat and GPSLon, lets the home follow
// it when GPS is the home source and tells every subscriber, fix or failure,
// with wxEVT_QUERY_COMPLETION.
//
// The reader sits below the application object: what it needs from there
// (the download preferences it reads, and how the home position is reloaded)
// is handed to it with SetHost at start-up.
//
// Threads: the worker touches only the serial port and the query record it
// was started with; everything else, timers and subscribers included, runs
// on the main thread. One worker at a time; each query has a generation
// number, so the end of an earlier query can never overwrite a later one.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>
#include <wx/timer.h>

#include "core/ThreadHelper.h"
#include "engine/gps/Nmea.h"
#include "platform/SerialPort.h"

class DLPrefs;

// The reader's result: a wxCommandEvent with id 0 whose int is 1 after a fix
// and 0 after a failure, sent from the reader's own handler (see Notify).
wxDECLARE_EVENT(wxEVT_QUERY_COMPLETION, wxCommandEvent);

enum {
    ID_GPS_POLL_TIMER = 6009,
    ID_GPS_EXTERNAL_TIMEOUT_TIMER = 6010
};

class CGPSQuery : public CSimpleThreadHelper, public wxEvtHandler
{
public:
    static constexpr int kPollPeriodMs = 20000;
    static constexpr int kReadPauseMs = 200;   // pause before each read
    static constexpr int kMaxReads = 40;       // reads per query
    static constexpr int kStopWaitMs = 200;    // each of the two waits of TerminateThread

    CGPSQuery();
    ~CGPSQuery() override;
    CGPSQuery(const CGPSQuery&) = delete;
    CGPSQuery& operator=(const CGPSQuery&) = delete;

    // Main thread, before the first query. `prefs` is the download-preferences
    // record read at every use (not owned; null: no position source);
    // `homeChanged` reloads the application's home position after a fix has
    // been written while GPS is the home source (may be empty).
    void SetHost(DLPrefs* prefs, std::function<void()> homeChanged);

    // With onlyWhenGpsHome, does nothing (true) unless HomeLocation/Source is
    // GPS (0). Otherwise starts polling: false when polling already runs or
    // the first request cannot be made.
    bool StartQuery(bool onlyWhenGpsHome);
    // Stops both timers and the running query (TerminateThread's result).
    // Polling stays off until StartQuery or RunQuery.
    bool StopQuery();
    // One immediate query (the test of the GPS setup); false when none can
    // be made. While a query runs, its completion is the answer.
    bool RunQuery();
    // Starts a query for GPS/SourceIdx: 0 (serial receiver: a worker runs or
    // the running one will answer), 1 or 2 (positional packets: nothing is
    // started), -1 (no source, or the worker could not start).
    int RequestPosition();
    bool StartThread();
    // Asks a running query to stop and waits up to twice 200 ms for it;
    // true when no query is left running.
    bool TerminateThread();
    // The second stage of TerminateThread.
    bool KillQuery();
    bool AbortQueryGPSDevice();

    // Binds (connect true) or unbinds `method` of `handler` to
    // wxEVT_QUERY_COMPLETION of any id on the reader's handler; unbinding
    // returns whether a binding was removed. As with every event, a
    // subscriber that wants the others told as well calls Skip().
    bool Notify(bool connect, wxObjectEventFunction method, wxEvtHandler* handler, wxObject* userData = nullptr);

    // The last good fix (kept through later failures) and the text of the
    // last query; returns whether the last query gave a fix.
    bool GetPosition(double& lat, double& lon, wxString& text) const;
    // The text of the last query: the position text after a fix, the
    // failure message otherwise.
    wxString GetPositionError() const;
    // Everything the last completed query received.
    const wxString& GetRawText() const { return m_rawText; }

    bool IsPolling() const { return m_pollTimer.IsRunning(); }
    int GetCurrentSource() const { return m_currentSource; }
    // Worker states: 0 idle, 1 running, 2 stop requested.
    int GetState() const { return GetRunState(); }

    // The line settings of the GPS/ fields: a rate of 0 (never chosen) is
    // 4800 and data bits outside 5 to 8 follow GPS/DataBitsIdx (7 for 0, else
    // 8); parity and stop bits are taken as they are, so an impossible one
    // makes the open fail.
    static wxSerialPort_DCS LineSettings(const DLPrefs& prefs);
    // The program named in the time-out message of a positional-packet source.
    static wxString ExpectedProgram(int source);

    // The reader's periods; tests shorten them. An external time-out of 0
    // follows GPS/TimeOutSecs.
    struct Timing {
        int pollMs = kPollPeriodMs;
        int readPauseMs = kReadPauseMs;
        int maxReads = kMaxReads;
        int externalTimeoutMs = 0;
    };
    void SetTiming(const Timing& timing) { m_timing = timing; }

    // Worker thread.
    void* Entry() override;
    // One complete serial query of the running worker.
    virtual bool QueryGPSDevice();

protected:
    // Ends the worker's pause at once when a stop has been asked for; true
    // when a stop is asked for.
    bool PauseWorker(int ms);

private:
    // One serial query: what the worker was given and what it found. The
    // main thread fills it before the worker starts and reads it only after
    // the worker has ended.
    struct Query {
        unsigned long generation = 0;
        wxString port;
        wxSerialPort_DCS dcs;
        bool gll = false, rmc = false, gga = false;
        int pauseMs = kReadPauseMs;
        int maxReads = kMaxReads;
        std::string received;     // every byte read
        double lat = 0.0;         // the fix being parsed
        double lon = 0.0;
        wxString error;
        bool ok = false;
    };

    std::string DoChat(const wxString& command, tw::nmea::Sentence type);
    // Closes and deletes the port; the caller holds the device mutex.
    void DestroyDevice();
    void CopyResultsToDestination(bool ok);
    void PostCompletion(bool ok);
    // Main thread: waits until the worker has ended its job, at most ms.
    bool WaitIdle(int ms);
    void WakeWaiters();
    // Takes in the query whose worker has ended (its exit event not handled
    // yet); false while it still runs. With waitForStop a query being
    // stopped gets the two stop waits to end.
    bool ReapEndedQuery(bool waitForStop);
    void FinishQuery();

    void OnThreadExit(wxThreadEvent& event);
    void OnTimerRunQuery(wxTimerEvent& event);
    void OnTimerTestQuery(wxTimerEvent& event);

    wxMutex m_deviceLock{wxMUTEX_RECURSIVE};
    wxTimer m_pollTimer;
    wxTimer m_timeoutTimer;
    bool m_overrun = false;
    wxString m_resultText;
    wxString m_errorText;
    wxSerialPort* m_serialPort = nullptr;
    double m_fixLat = 0.0;
    double m_fixLon = 0.0;
    wxString m_rawText;
    double m_workLat = 0.0;
    double m_workLon = 0.0;
    std::string m_receiveBuffer;
    bool m_success = false;
    int m_currentSource = -1;

    DLPrefs* m_prefs = nullptr;
    std::function<void()> m_homeChanged;
    Timing m_timing;

    std::unique_ptr<Query> m_query;        // the query of the current or last worker
    unsigned long m_generation = 0;        // of the last query started
    unsigned long m_inFlight = 0;          // generation whose end is not taken in yet; 0 none
    bool m_requestAfterExit = false;       // a request came while a query was being stopped
    bool m_stopped = false;                // StopQuery: a completion does not restart polling

    // The worker's pauses and the main thread's stop waits.
    std::mutex m_wakeLock;
    std::condition_variable m_wakeCond;
};
