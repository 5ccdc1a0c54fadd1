// The GPS position reader owned by the application object. While GPS is the
// home source it asks the receiver for a position every 20 s; the reading of
// the serial port itself is done by a worker job.
#pragma once

#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>
#include <wx/timer.h>

class DLPrefs;

enum {
    ID_GPS_POLL_TIMER = 6009,
    ID_GPS_EXTERNAL_TIMEOUT_TIMER = 6010
};

class CGPSQuery : public wxEvtHandler
{
public:
    static constexpr int kPollPeriodMs = 20000;

    CGPSQuery();
    ~CGPSQuery() override;
    CGPSQuery(const CGPSQuery&) = delete;
    CGPSQuery& operator=(const CGPSQuery&) = delete;

    // The download preferences the reader follows (not owned; the
    // application object hands in its own).
    void SetPreferences(const DLPrefs* prefs) { m_prefs = prefs; }

    // With onlyWhenGpsHome, does nothing (true) unless the home source of the
    // download preferences is GPS (0). Otherwise starts polling: false when
    // polling already runs or the first request cannot be made.
    bool StartQuery(bool onlyWhenGpsHome);
    // Stops both timers and asks the worker to stop.
    bool StopQuery();

    bool IsPolling() const { return m_pollTimer.IsRunning(); }
    int GetCurrentSource() const { return m_currentSource; }

    // Worker states: 0 idle, 1 running, 2 stop requested.
    int GetState() const;

private:
    bool RequestPosition();
    void OnPollTimer(wxTimerEvent& event);
    void OnTimeoutTimer(wxTimerEvent& event);

    const DLPrefs* m_prefs = nullptr;
    wxTimer m_pollTimer;
    wxTimer m_timeoutTimer;
    wxMutex m_deviceLock;
    mutable wxMutex m_stateLock;
    int m_state = 0;
    int m_currentSource = -1;
    wxString m_latText;
    wxString m_lonText;
};
