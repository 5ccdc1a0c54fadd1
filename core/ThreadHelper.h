// The worker-thread base: a joinable worker that polls a run state to learn
// that it must stop, and carries status lines and modal questions to the main
// thread, where the toolkit lives.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>

class wxWindow;
class wxWindowDestroyEvent;

// What a job (or protocol code lent to a job) uses to report and to learn
// that it must stop. Never deleted through this interface.
class IThreadResource
{
public:
    virtual bool TestDestroy() = 0;
    virtual void StatusMessage(const wxString& text) = 0;
    virtual int TrMessageBox(const wxString& text, const wxString& caption, int style) = 0;
    virtual int TrErrorBox(const wxString& text) = 0;

protected:
    ~IThreadResource() = default;
};

// A derived job supplies Entry(), which must:
//   - call JobStarted() first,
//   - ask TestDestroy() between its steps and end early when it is true,
//   - call JobEnded() last, then queue its own end event (a wxThreadEvent of
//     type wxEVT_THREAD, id kUpdatesExitEventId or kGpsExitEventId, int =
//     its result) to its handler.
// The job counts as running from the moment RunThread starts it, so a stop
// asked for before Entry gets going is not lost.
//
// Status lines and questions reach the main thread as a wxEVT_THREAD event
// with id kStatusEventId queued to the event sink, which SetEventSink binds
// to OnThreadStatusUpdate. Without a sink, status lines are dropped and
// questions are answered wxCANCEL at once. When the sink window is destroyed,
// or the job is stopped and waited for, every pending question is answered
// wxCANCEL, so a worker never hangs.
//
// A derived class whose Entry() uses its own members must call StopAndWait()
// in its destructor; the base's destructor does it too, as a last resort.
class CSimpleThreadHelper : public wxThreadHelper, public IThreadResource
{
public:
    static constexpr int kStatusEventId = 6040;       // status line or question pending
    static constexpr int kUpdatesExitEventId = 6039;  // the update check ended
    static constexpr int kGpsExitEventId = 6000;      // the GPS reader's query ended

    CSimpleThreadHelper();
    ~CSimpleThreadHelper() override;
    CSimpleThreadHelper(const CSimpleThreadHelper&) = delete;
    CSimpleThreadHelper& operator=(const CSimpleThreadHelper&) = delete;

    void* Entry() override = 0;

    // Shows a status line on the main thread; nothing in the base.
    virtual void OutputStatusMessage(const wxString& text);
    // Main thread: shows the pending status line, then the pending question.
    virtual void OnThreadStatusUpdate(wxThreadEvent& event);

    bool TestDestroy() override;
    void StatusMessage(const wxString& text) override;
    int TrMessageBox(const wxString& text, const wxString& caption, int style) override;
    int TrErrorBox(const wxString& text) override;

    // Main thread. Starts the job; on failure LastError() says why.
    bool RunThread(const wxString& name);
    // Asks a running job to stop; true when a stop is now requested.
    bool SignalIfActive();
    // Main thread. Asks the job to stop, answers any pending question with
    // wxCANCEL and waits for the worker to end.
    void StopAndWait();

    const wxString& LastError() const { return m_lastError; }
    static wxString TranslateThreadError(int code);

    // Main thread. The window that receives the status events and parents
    // the message boxes (not owned; may be null).
    void SetEventSink(wxWindow* sink);
    wxWindow* GetEventSink() const;

    // 0 idle, 1 running, 2 stop requested.
    int GetRunState() const;

protected:
    void JobStarted();
    void JobEnded();

private:
    void DetachSink();
    void OnSinkDestroyed(wxWindowDestroyEvent& event);
    // Queues the status event to the sink; false without one. The Locked
    // form expects the text lock held (the box lock, when held, comes first).
    bool QueueStatusEvent();
    bool QueueStatusEventLocked();
    void CloseQuestions();
    void JoinWorker();

    // Run state.
    int m_runState = 0;
    mutable std::mutex m_stateLock;

    // Sink and pending status line.
    mutable std::mutex m_textLock;
    wxString m_lastError;
    wxWindow* m_sink = nullptr;
    wxString m_pendingStatus;

    // The question being asked (one at a time; later askers wait their turn).
    std::mutex m_boxLock;
    std::condition_variable m_boxCond;
    bool m_questionsOpen = false;   // a sink is there to answer
    bool m_boxBusy = false;         // a worker owns the question slot
    bool m_boxPosted = false;       // the question waits for the main thread
    bool m_boxAnswered = false;
    std::uint64_t m_boxSerial = 0;
    wxString m_boxText;
    wxString m_boxCaption;
    int m_boxStyle = 0;
    int m_boxAnswer = 0;

    bool m_started = false;         // a worker was started and not yet joined
};
