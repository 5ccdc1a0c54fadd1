// The report queue between a transfer worker and the window that shows it.
//
// Reports from the worker go through a shared queue (CXferObserverQueue)
// that both the window and the worker hold: the worker keeps it until its
// thread object is deleted, so a report that is under way while the window
// closes never reaches freed memory. The queue folds any number of reports
// into one thread event (ID_TRANSFER_THREAD_UPDATE) at a time, posted to the
// target handler, which takes what is pending on its own thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include <wx/event.h>
#include <wx/string.h>

#include "engine/transfer/TransferObserver.h"

class CXferSocketThread;

// Thread events the queue posts to its target.
enum {
    ID_TRANSFER_THREAD_UPDATE = 6001,   // reports are pending (Take)
    ID_TRANSFER_WORKER_ENDED = 6004     // the worker's thread object was deleted
};

// Everything a transfer's worker reports, waiting for the main thread; and
// the hand-shake of a question the worker asks. Shared by the window and its
// worker (std::shared_ptr); every operation is safe from any thread.
class CXferObserverQueue final : public ITransferObserver
{
public:
    // What one update event shows; numbers are -1 and texts empty when
    // nothing new arrived.
    struct Pending {
        int running = -1;             // 1 the worker started, 0 it ended
        std::deque<wxString> status;  // log texts, in order
        wxString fileElapsed, fileEstimate, totalElapsed, totalEstimate;   // "%M:%S"
        int filePercent = -1;
        int totalPercent = -1;
        int showMessage = -1;         // 1: show the important-message button
        int totalBytes = -1;
        int rate = -1;                // measured rate to store
        wxString messageText;         // a question to show; empty when none
        wxString messageCaption;
        int messageStyle = 0;
        uint64_t messageId = 0;
    };

    explicit CXferObserverQueue(wxEvtHandler* target);
    ~CXferObserverQueue();

    // Main thread: no event is posted any more (the window is going).
    void DetachTarget();
    // Main thread: takes what is pending and clears the pending flag.
    Pending Take();

    // The worker the window started, used only under the worker lock: the
    // worker cannot end and delete itself in between (it lets go of the
    // queue's pointer in its last report, under that lock).
    void SetWorker(CXferSocketThread* worker);
    bool HasWorker();
    // Asks the worker to stop; by force it also drops the window and cuts its
    // connection, and the window lets go of it. False when none was attached.
    bool StopWorker(bool force);
    // The window's worker thread object was made (StartTransfer) and has
    // not yet been deleted; its deletion, on its own thread, posts the thread
    // event ID_TRANSFER_WORKER_ENDED to the window.
    void WorkerStarted();
    void WorkerEnded();
    bool WorkerAlive() const { return m_workerAlive.load(); }
    // The window's progress timer for the worker (PerformObserverUpdate).
    void PassTick(int milliseconds);

    // Window state: 0 not started, 1 ended without success, 2 ended well, 3 running.
    int State() const { return m_state.load(); }
    void SetState(int state) { m_state.store(state); }

    // Questions: the answer of question `id` (main thread, after its box); a
    // question that was already answered keeps its first answer.
    void Answer(uint64_t id, int answer);
    bool IsAnswered(uint64_t id);
    // Every question now waiting, and every later one, is answered wxCANCEL.
    void CancelQuestions();

    // The important-message button was clicked: it is not shown again.
    void SetMessageButtonDisabled();

    // Update events posted and taken, and the most ever posted and not yet
    // taken at one time (1 when the folding works).
    int Posted();
    int Taken();
    int MaxOutstanding();

    // ITransferObserver (worker thread).
    void TransferEntry() override;
    void TransferExit() override;
    void TransferBegin(const wxString& text, const wxTimeSpan& estimate, int totalBytes) override;
    void TransferDone(const wxString& text, bool ok) override;
    void TransferStatus(const wxString& text) override;
    void TransferElapsedTime(const wxTimeSpan& fileElapsed, const wxTimeSpan& totalElapsed) override;
    void TransferProgress(int filePercent, int totalPercent) override;
    void TransferFileBegin(const wxString& name, int sizeBytes, const wxTimeSpan& fileEstimate) override;
    void TransferFileDone(const wxString& name, bool ok) override;
    int TransferMessageBox(const wxString& text, const wxString& caption, int style) override;

    // The pause after each progress report, in ms (10; tests and benchmarks
    // may change it).
    static void SetProgressPause(int milliseconds);

private:
    // Posts the update event unless one is pending; called with m_pendingLock held.
    void PostLocked();

    std::mutex m_pendingLock;
    bool m_flag = false;
    Pending m_pending;
    bool m_messageButtonDisabled = false;
    int m_posted = 0;
    int m_taken = 0;
    int m_maxOutstanding = 0;

    std::mutex m_targetLock;
    wxEvtHandler* m_target;

    std::mutex m_workerLock;
    CXferSocketThread* m_worker = nullptr;

    std::atomic<int> m_state {0};
    std::atomic<bool> m_workerAlive {false};
    // Whether the running worker has given its final report (TransferDone).
    std::atomic<bool> m_doneReported {false};

    std::mutex m_condLock;
    std::condition_variable m_cond;
    uint64_t m_questions = 0;         // ids handed out
    uint64_t m_answered = 0;          // the last id answered
    int m_answer = 0;
    bool m_cancelAll = false;
};
