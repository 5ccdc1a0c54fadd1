#include "engine/transfer/ObserverQueue.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <wx/defs.h>

#include "engine/transfer/XferSocket.h"

namespace {

std::atomic<int> g_progressPauseMs {0};

wxString SpanText(const wxTimeSpan& span)
{
    return span.Format(wxS("%M:%S"));
}

} // namespace

CXferObserverQueue::CXferObserverQueue(wxEvtHandler* target) : m_target(target) {}

CXferObserverQueue::~CXferObserverQueue() = default;

void CXferObserverQueue::SetProgressPause(int milliseconds)
{
    g_progressPauseMs = std::max(0, milliseconds);
}

void CXferObserverQueue::DetachTarget()
{
    std::lock_guard<std::mutex> lock(m_targetLock);
    m_target = nullptr;
}

void CXferObserverQueue::PostLocked()
{
    if (m_flag)
        return;
    m_flag = true;
    ++m_posted;
    m_maxOutstanding = std::max(m_maxOutstanding, m_posted - m_taken);
    // The main thread clears the target under its lock before the window
    // goes (lock order: engine/transfer/XferSocket.h).
    std::lock_guard<std::mutex> lock(m_targetLock);
    if (m_target)
        wxQueueEvent(m_target, new wxThreadEvent(wxEVT_THREAD, ID_TRANSFER_THREAD_UPDATE));
}

CXferObserverQueue::Pending CXferObserverQueue::Take()
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_flag = false;
    ++m_taken;
    Pending out = std::move(m_pending);
    m_pending = Pending();
    return out;
}

void CXferObserverQueue::SetWorker(CXferSocketThread* worker)
{
    std::lock_guard<std::mutex> lock(m_workerLock);
    m_worker = worker;
}

bool CXferObserverQueue::HasWorker()
{
    std::lock_guard<std::mutex> lock(m_workerLock);
    return m_worker != nullptr;
}

bool CXferObserverQueue::StopWorker(bool force)
{
    std::lock_guard<std::mutex> lock(m_workerLock);
    if (!m_worker)
        return false;
    m_worker->Terminate(force);
    // A worker stopped by force reports nothing more; the report queue it
    // shares outlives the window, so it can be let go at once.
    if (force)
        m_worker = nullptr;
    return true;
}

void CXferObserverQueue::WorkerStarted()
{
    m_workerAlive = true;
}

void CXferObserverQueue::WorkerEnded()
{
    m_workerAlive = false;
    std::lock_guard<std::mutex> lock(m_targetLock);
    if (m_target)
        wxQueueEvent(m_target, new wxThreadEvent(wxEVT_THREAD, ID_TRANSFER_WORKER_ENDED));
}

void CXferObserverQueue::PassTick(int milliseconds)
{
    std::lock_guard<std::mutex> lock(m_workerLock);
    if (m_worker)
        m_worker->PerformObserverUpdate(milliseconds);
}

void CXferObserverQueue::Answer(uint64_t id, int answer)
{
    std::lock_guard<std::mutex> lock(m_condLock);
    if (id > m_answered) {
        m_answered = id;
        m_answer = answer;
    }
    m_cond.notify_all();
}

bool CXferObserverQueue::IsAnswered(uint64_t id)
{
    std::lock_guard<std::mutex> lock(m_condLock);
    return m_cancelAll || id <= m_answered;
}

void CXferObserverQueue::CancelQuestions()
{
    std::lock_guard<std::mutex> lock(m_condLock);
    m_cancelAll = true;
    m_cond.notify_all();
}

void CXferObserverQueue::SetMessageButtonDisabled()
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_messageButtonDisabled = true;
    m_pending.showMessage = -1;
}

int CXferObserverQueue::Posted()
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    return m_posted;
}

int CXferObserverQueue::Taken()
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    return m_taken;
}

int CXferObserverQueue::MaxOutstanding()
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    return m_maxOutstanding;
}

void CXferObserverQueue::TransferEntry()
{
    m_doneReported = false;
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_pending.running = 1;
    m_pending.filePercent = -1;
    m_pending.totalPercent = -1;
    m_pending.showMessage = -1;
    m_pending.totalBytes = -1;
    m_pending.rate = -1;
    PostLocked();
}

void CXferObserverQueue::TransferExit()
{
    // A worker that ends without its final report has failed, also when it
    // failed before the data phase (a refused request, a protocol error):
    // the state must not stay "not started", nor keep the success of an
    // earlier transfer in this window. It is set before the update is posted,
    // so that the window sees the end together with the outcome.
    if (!m_doneReported.exchange(false))
        m_state = 1;
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        m_pending.running = 0;
        m_pending.filePercent = 0;
        m_pending.totalPercent = 0;
        PostLocked();
    }
    std::lock_guard<std::mutex> lock(m_workerLock);
    m_worker = nullptr;
}

void CXferObserverQueue::TransferBegin(const wxString& text, const wxTimeSpan& estimate, int totalBytes)
{
    m_state = 3;
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_pending.totalEstimate = SpanText(estimate);
    if (!text.empty())
        m_pending.status.push_back(text);
    m_pending.filePercent = 0;
    m_pending.totalPercent = 0;
    m_pending.totalBytes = totalBytes;
    PostLocked();
}

void CXferObserverQueue::TransferDone(const wxString& text, bool ok)
{
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        if (!text.empty())
            m_pending.status.push_back(text);
        m_pending.filePercent = 0;
        m_pending.totalPercent = 0;
        m_pending.fileEstimate = wxS("00:00");
        m_pending.fileElapsed = wxS("00:00");
    }
    m_state = ok ? 2 : 1;
    m_doneReported = true;

    // The worker lock is not taken inside the pending lock (lock order:
    // engine/transfer/XferSocket.h). A rate the transfer measured is kept also when
    // not every file arrived: the bytes that came tell the link's speed.
    bool readme = false;
    long rate = -1;
    {
        std::lock_guard<std::mutex> lock(m_workerLock);
        if (m_worker) {
            readme = m_worker->IsReadmeChanged();
            rate = m_worker->GetMeasuredRate();
        }
    }
    std::lock_guard<std::mutex> lock(m_pendingLock);
    if (rate != -1)
        m_pending.rate = static_cast<int>(rate);
    if (readme && !m_messageButtonDisabled)
        m_pending.showMessage = 1;
    PostLocked();
}

void CXferObserverQueue::TransferStatus(const wxString& text)
{
    if (text.empty())
        return;
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_pending.status.push_back(text);
    PostLocked();
}

void CXferObserverQueue::TransferElapsedTime(const wxTimeSpan& fileElapsed, const wxTimeSpan& totalElapsed)
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    m_pending.fileElapsed = SpanText(fileElapsed);
    m_pending.totalElapsed = SpanText(totalElapsed);
    PostLocked();
}

void CXferObserverQueue::TransferProgress(int filePercent, int totalPercent)
{
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        m_pending.filePercent = filePercent;
        m_pending.totalPercent = totalPercent;
        PostLocked();
    }
    const int pause = g_progressPauseMs;
    if (pause > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
}

void CXferObserverQueue::TransferFileBegin(const wxString& name, int /*sizeBytes*/, const wxTimeSpan& fileEstimate)
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    if (!name.empty())
        m_pending.status.push_back("Retrieving '" + name + "'.\n");
    m_pending.filePercent = 0;
    m_pending.fileEstimate = SpanText(fileEstimate);
    PostLocked();
}

void CXferObserverQueue::TransferFileDone(const wxString& name, bool ok)
{
    std::lock_guard<std::mutex> lock(m_pendingLock);
    if (!ok && !name.empty())
        m_pending.status.push_back("Failure retrieving '" + name + "'.\r\n");
    m_pending.filePercent = 0;
    PostLocked();
}

int CXferObserverQueue::TransferMessageBox(const wxString& text, const wxString& caption, int style)
{
    // The condition lock is held from before the question is posted until
    // the wait begins, so the answer cannot come before the wait.
    std::unique_lock<std::mutex> cond(m_condLock);
    if (m_cancelAll)
        return wxCANCEL;
    const uint64_t id = ++m_questions;
    {
        std::lock_guard<std::mutex> lock(m_pendingLock);
        m_pending.messageText = text.empty() ? wxString(wxS(" ")) : text;
        m_pending.messageCaption = caption;
        m_pending.messageStyle = style;
        m_pending.messageId = id;
        PostLocked();
    }
    m_cond.wait(cond, [&] { return m_cancelAll || m_answered >= id; });
    // A stop request wins over an answer that came at the same time.
    return (!m_cancelAll && m_answered == id) ? m_answer : wxCANCEL;
}
