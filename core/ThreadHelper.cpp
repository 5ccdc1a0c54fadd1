#include "core/ThreadHelper.h"

#include <wx/defs.h>
#include <wx/window.h>

#include "platform/UiHooks.h"

CSimpleThreadHelper::CSimpleThreadHelper()
    : wxThreadHelper(wxTHREAD_JOINABLE)
{
}

CSimpleThreadHelper::~CSimpleThreadHelper()
{
    DetachSink();
    StopAndWait();
}

void CSimpleThreadHelper::OutputStatusMessage(const wxString&)
{
}

wxString CSimpleThreadHelper::TranslateThreadError(int code)
{
    switch (code) {
    case wxTHREAD_NO_ERROR: return "wxTHREAD_NO_ERROR";
    case wxTHREAD_NO_RESOURCE: return "wxTHREAD_NO_RESOURCE";
    case wxTHREAD_RUNNING: return "wxTHREAD_RUNNING";
    case wxTHREAD_NOT_RUNNING: return "wxTHREAD_NOT_RUNNING";
    case wxTHREAD_KILLED: return "wxTHREAD_KILLED";
    case wxTHREAD_MISC_ERROR: return "wxTHREAD_MISC_ERROR";
    default: return "(unknown error)";
    }
}

// ------------------------------------------------------------ run state

int CSimpleThreadHelper::GetRunState() const
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_runState;
}

void CSimpleThreadHelper::JobStarted()
{
    // RunThread already marked the job running; a stop asked for since then stays.
    std::lock_guard<std::mutex> lock(m_stateLock);
    if (m_runState == 0)
        m_runState = 1;
}

void CSimpleThreadHelper::JobEnded()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    m_runState = 0;
}

bool CSimpleThreadHelper::TestDestroy()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_runState == 2;
}

bool CSimpleThreadHelper::SignalIfActive()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    if (m_runState == 1)
        m_runState = 2;
    return m_runState == 2;
}

bool CSimpleThreadHelper::RunThread(const wxString& name)
{
    wxThread* previous = GetThread();
    if (previous && previous->IsAlive()) {
        // Replacing a live worker would kill it in the middle of its job.
        m_lastError = wxString::Format("Could not create the %s worker thread [%s].", name,
                                       TranslateThreadError(wxTHREAD_RUNNING));
        return false;
    }
    JoinWorker();

    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_runState = 1;
    }
    wxThreadError err = CreateThread(wxTHREAD_JOINABLE);
    if (err != wxTHREAD_NO_ERROR) {
        JobEnded();
        m_lastError = wxString::Format("Could not create the %s worker thread [%s].", name,
                                       TranslateThreadError(err));
        return false;
    }
    err = GetThread()->Run();
    if (err != wxTHREAD_NO_ERROR) {
        JobEnded();
        m_lastError = wxString::Format("Could not run the %s worker thread [%s].", name,
                                       TranslateThreadError(err));
        return false;
    }
    m_started = true;
    return true;
}

void CSimpleThreadHelper::JoinWorker()
{
    if (!m_started)
        return;
    if (wxThread* thread = GetThread())
        thread->Wait(wxTHREAD_WAIT_BLOCK);
    m_started = false;
}

void CSimpleThreadHelper::StopAndWait()
{
    SignalIfActive();
    if (!m_started)
        return;
    // A worker waiting for an answer would never end while we wait for it.
    CloseQuestions();
    JoinWorker();
    std::lock_guard<std::mutex> lock(m_boxLock);
    m_questionsOpen = GetEventSink() != nullptr;
}

// ------------------------------------------------------------ event sink

void CSimpleThreadHelper::SetEventSink(wxWindow* sink)
{
    DetachSink();
    if (!sink)
        return;
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        m_sink = sink;
    }
    sink->Bind(wxEVT_THREAD, &CSimpleThreadHelper::OnThreadStatusUpdate, this, kStatusEventId);
    sink->Bind(wxEVT_DESTROY, &CSimpleThreadHelper::OnSinkDestroyed, this);
    std::lock_guard<std::mutex> lock(m_boxLock);
    m_questionsOpen = true;
}

wxWindow* CSimpleThreadHelper::GetEventSink() const
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_sink;
}

void CSimpleThreadHelper::DetachSink()
{
    wxWindow* sink = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        sink = m_sink;
        m_sink = nullptr;
        m_pendingStatus.clear();
    }
    if (sink) {
        sink->Unbind(wxEVT_THREAD, &CSimpleThreadHelper::OnThreadStatusUpdate, this, kStatusEventId);
        sink->Unbind(wxEVT_DESTROY, &CSimpleThreadHelper::OnSinkDestroyed, this);
    }
    CloseQuestions();
}

void CSimpleThreadHelper::OnSinkDestroyed(wxWindowDestroyEvent& event)
{
    event.Skip();
    // Destroy events of child windows travel up to the sink as well.
    if (event.GetEventObject() == GetEventSink())
        DetachSink();
}

void CSimpleThreadHelper::CloseQuestions()
{
    std::lock_guard<std::mutex> lock(m_boxLock);
    m_questionsOpen = false;
    m_boxCond.notify_all();
}

bool CSimpleThreadHelper::QueueStatusEvent()
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return QueueStatusEventLocked();
}

bool CSimpleThreadHelper::QueueStatusEventLocked()
{
    if (!m_sink)
        return false;
    wxQueueEvent(m_sink, new wxThreadEvent(wxEVT_THREAD, kStatusEventId));
    return true;
}

// ------------------------------------------------------------ worker side

void CSimpleThreadHelper::StatusMessage(const wxString& text)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    if (!m_sink)
        return;
    m_pendingStatus = text;
    QueueStatusEventLocked();
}

int CSimpleThreadHelper::TrMessageBox(const wxString& text, const wxString& caption, int style)
{
    std::unique_lock<std::mutex> lock(m_boxLock);
    // One question at a time.
    m_boxCond.wait(lock, [this] { return !m_boxBusy || !m_questionsOpen; });
    if (!m_questionsOpen)
        return wxCANCEL;

    m_boxBusy = true;
    m_boxPosted = true;
    m_boxAnswered = false;
    ++m_boxSerial;
    m_boxText = text;
    m_boxCaption = caption;
    m_boxStyle = style;

    int answer = wxCANCEL;
    if (QueueStatusEvent()) {
        // Woken for the answer, for a closed sink, or for nothing at all.
        m_boxCond.wait(lock, [this] { return m_boxAnswered || !m_questionsOpen; });
        if (m_boxAnswered)
            answer = m_boxAnswer;
    }

    m_boxBusy = false;
    m_boxPosted = false;
    m_boxAnswered = false;
    m_boxText.clear();
    m_boxCaption.clear();
    m_boxCond.notify_all();
    return answer;
}

int CSimpleThreadHelper::TrErrorBox(const wxString& text)
{
    TrMessageBox(text, "Tidewright Error", wxOK | wxICON_ERROR | wxCENTRE);
    return wxOK;
}

// ------------------------------------------------------------ main-thread side

void CSimpleThreadHelper::OnThreadStatusUpdate(wxThreadEvent&)
{
    wxString status;
    wxWindow* sink = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        status.swap(m_pendingStatus);
        sink = m_sink;
    }
    if (!status.empty())
        OutputStatusMessage(status);
    if (!sink)
        return;

    wxString text;
    wxString caption;
    int style = 0;
    std::uint64_t serial = 0;
    {
        std::lock_guard<std::mutex> lock(m_boxLock);
        if (!m_boxPosted || !m_questionsOpen)
            return;
        m_boxPosted = false;   // taken: later events do not show it again
        text = m_boxText;
        caption = m_boxCaption;
        style = m_boxStyle;
        serial = m_boxSerial;
    }

    const int answer = tw::MessageBox(text, caption, style, sink);

    std::lock_guard<std::mutex> lock(m_boxLock);
    if (m_boxBusy && serial == m_boxSerial && !m_boxAnswered) {
        m_boxAnswer = answer;
        m_boxAnswered = true;
    }
    m_boxCond.notify_all();
}
