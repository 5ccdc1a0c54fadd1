#include "engine/gps/GPSQuery.h"

#include <chrono>
#include <new>

#include <wx/log.h>

#include "core/DownloadPreferences.h"
#include "core/PositionText.h"
#include "core/Registry.h"

wxDEFINE_EVENT(wxEVT_QUERY_COMPLETION, wxCommandEvent);

namespace {

wxString SentenceFormatError(tw::nmea::Sentence type)
{
    return wxString::Format("Unknown GPS %s sentence format was read.", tw::nmea::SentenceName(type));
}

// The raw text for a report: NUL bytes would end the text of a message box.
wxString RawReport(const std::string& bytes)
{
    wxString text = tw::SerialBytesToText(bytes.data(), bytes.size());
    text.Replace(wxString(wxUniChar(0)), ".");
    return text;
}

} // namespace

CGPSQuery::CGPSQuery()
    : m_pollTimer(this, ID_GPS_POLL_TIMER), m_timeoutTimer(this, ID_GPS_EXTERNAL_TIMEOUT_TIMER)
{
    Bind(wxEVT_THREAD, &CGPSQuery::OnThreadExit, this, kGpsExitEventId);
    Bind(wxEVT_TIMER, &CGPSQuery::OnTimerRunQuery, this, ID_GPS_POLL_TIMER);
    Bind(wxEVT_TIMER, &CGPSQuery::OnTimerTestQuery, this, ID_GPS_EXTERNAL_TIMEOUT_TIMER);
}

CGPSQuery::~CGPSQuery()
{
    m_pollTimer.Stop();
    m_timeoutTimer.Stop();
    // The worker reads the port and the query record: it ends first. Its
    // exit event, queued on this handler, goes with the handler.
    SignalIfActive();
    WakeWaiters();
    StopAndWait();
    wxMutexLocker lock(m_deviceLock);
    DestroyDevice();
}

void CGPSQuery::SetHost(DLPrefs* prefs, std::function<void()> homeChanged)
{
    m_prefs = prefs;
    m_homeChanged = std::move(homeChanged);
}

wxSerialPort_DCS CGPSQuery::LineSettings(const DLPrefs& prefs)
{
    wxSerialPort_DCS dcs;
    dcs.baud = prefs.GPS_Baud > 0 ? prefs.GPS_Baud : wxBAUD_4800;
    dcs.parity = prefs.GPS_Parity;
    if (prefs.GPS_DataBits >= 5 && prefs.GPS_DataBits <= 8)
        dcs.wordlen = static_cast<unsigned char>(prefs.GPS_DataBits);
    else
        dcs.wordlen = prefs.GPS_DataBitsIdx == 0 ? 7 : 8;
    // Out of the byte's range is as impossible as 0.
    dcs.stopbits = prefs.GPS_StopBits >= 0 && prefs.GPS_StopBits <= 255 ? static_cast<unsigned char>(prefs.GPS_StopBits)
                                                                        : 0;
    dcs.rtscts = false;
    dcs.xonxoff = false;
    return dcs;
}

wxString CGPSQuery::ExpectedProgram(int source)
{
    switch (source) {
    case 2: return "Nobeltec Navigation";
    case 1: return "Isobarion and/or Chartloom";
    default: return "your GPS software";
    }
}

// ------------------------------------------------------------ polling

bool CGPSQuery::StartQuery(bool onlyWhenGpsHome)
{
    if (onlyWhenGpsHome && (!m_prefs || m_prefs->HomeLocation_Source != 0))
        return true;
    if (m_pollTimer.IsRunning()) {
        wxLogError("GPS polling is already active.");
        return false;
    }
    m_stopped = false;
    if (RequestPosition() == -1)
        return false;
    m_pollTimer.Start(m_timing.pollMs);
    return true;
}

bool CGPSQuery::StopQuery()
{
    m_pollTimer.Stop();
    m_timeoutTimer.Stop();
    m_stopped = true;
    m_requestAfterExit = false;
    return TerminateThread();
}

bool CGPSQuery::RunQuery()
{
    if (m_inFlight && GetRunState() == 1)
        return true;   // the running query's completion answers
    m_pollTimer.Stop();
    m_timeoutTimer.Stop();
    m_stopped = false;
    switch (RequestPosition()) {
    case -1:
        if (m_prefs && m_prefs->HomeLocation_Source == 0)
            m_pollTimer.Start(m_timing.pollMs);
        return false;
    case 1:
    case 2:
        m_timeoutTimer.StartOnce(m_timing.externalTimeoutMs > 0
                                     ? m_timing.externalTimeoutMs
                                     : tw::nmea::ExternalSourceTimeoutMs(m_prefs->GPS_TimeOutSecs));
        return true;
    default:
        return true;
    }
}

int CGPSQuery::RequestPosition()
{
    m_currentSource = m_prefs ? m_prefs->GPS_SourceIdx : -1;
    if (m_currentSource == 1 || m_currentSource == 2)
        return m_currentSource;
    if (m_currentSource == 0) {
        if (!ReapEndedQuery(true)) {
            // A query is still under way and its completion answers this
            // request; one that is being stopped is followed by a new one.
            if (GetRunState() == 2)
                m_requestAfterExit = true;
            return 0;
        }
        if (StartThread())
            return 0;
    }
    m_currentSource = -1;
    return -1;
}

bool CGPSQuery::StartThread()
{
    if (!m_prefs || !ReapEndedQuery(false))
        return false;
    StopAndWait();   // the ended worker's thread, if any

    auto query = std::make_unique<Query>();
    query->generation = ++m_generation;
    query->port = wxString(m_prefs->GPS_Port.wc_str());
    query->dcs = LineSettings(*m_prefs);
    query->gll = m_prefs->GPS_GLL;
    query->rmc = m_prefs->GPS_RMC;
    query->gga = m_prefs->GPS_GGA;
    query->pauseMs = m_timing.readPauseMs;
    query->maxReads = m_timing.maxReads;
    m_query = std::move(query);

    if (!RunThread("GPS")) {
        m_pollTimer.Stop();
        wxLogError("%s", LastError());
        m_query.reset();
        return false;
    }
    m_inFlight = m_generation;
    m_requestAfterExit = false;
    return true;
}

bool CGPSQuery::TerminateThread()
{
    if (!SignalIfActive())
        return true;
    WakeWaiters();
    if (WaitIdle(kStopWaitMs))
        return true;
    KillQuery();
    return WaitIdle(kStopWaitMs);
}

bool CGPSQuery::KillQuery()
{
    if (GetRunState() != 2)
        return false;
    return AbortQueryGPSDevice();
}

bool CGPSQuery::AbortQueryGPSDevice()
{
    // The port is not closed under a worker that may be reading it: its
    // descriptor could be reused by then. The worker's pauses end at once on
    // a stop, so waking it is all that helps.
    WakeWaiters();
    return false;
}

void CGPSQuery::WakeWaiters()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
    }
    m_wakeCond.notify_all();
}

bool CGPSQuery::WaitIdle(int ms)
{
    std::unique_lock<std::mutex> lock(m_wakeLock);
    return m_wakeCond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return GetRunState() == 0; });
}

bool CGPSQuery::PauseWorker(int ms)
{
    std::unique_lock<std::mutex> lock(m_wakeLock);
    return m_wakeCond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return TestDestroy(); });
}

bool CGPSQuery::ReapEndedQuery(bool waitForStop)
{
    if (!m_inFlight)
        return true;
    if (waitForStop && GetRunState() == 2 && !WaitIdle(kStopWaitMs)) {
        WakeWaiters();
        WaitIdle(kStopWaitMs);
    }
    if (GetRunState() != 0)
        return false;
    FinishQuery();
    return true;
}

void CGPSQuery::FinishQuery()
{
    // The job has ended; its thread is about to return.
    StopAndWait();
    m_inFlight = 0;
    const Query& query = *m_query;
    m_success = query.ok;
    m_receiveBuffer = query.received;
    m_workLat = query.lat;
    m_workLon = query.lon;
    m_errorText = query.ok ? wxString() : query.error;
    CopyResultsToDestination(query.ok);
    PostCompletion(query.ok);
}

void CGPSQuery::OnThreadExit(wxThreadEvent& event)
{
    // Only the query still waiting to be taken in: an earlier one's event is
    // late, and a query taken in at a new request has been reported already.
    if (!m_inFlight || static_cast<unsigned long>(event.GetExtraLong()) != m_inFlight)
        return;
    FinishQuery();
    if (m_requestAfterExit) {
        m_requestAfterExit = false;
        RequestPosition();
    }
}

void CGPSQuery::OnTimerRunQuery(wxTimerEvent&)
{
    if (GetRunState() == 0) {
        m_overrun = false;
        RequestPosition();
        return;
    }
    if (m_overrun) {
        wxLogError("GPS poll interval failed to complete.");
        m_pollTimer.Stop();
        return;
    }
    m_overrun = true;
    if (TerminateThread()) {
        m_overrun = false;
        RequestPosition();
    }
}

void CGPSQuery::OnTimerTestQuery(wxTimerEvent&)
{
    m_timeoutTimer.Stop();
    m_receiveBuffer.clear();
    m_success = false;
    m_errorText = "No position response received. Please verify that " + ExpectedProgram(m_currentSource) +
                  " is running and configured properly for GPS.";
    CopyResultsToDestination(false);
    PostCompletion(false);
}

void CGPSQuery::PostCompletion(bool ok)
{
    auto* event = new wxCommandEvent(wxEVT_QUERY_COMPLETION, 0);
    event->SetInt(ok ? 1 : 0);
    event->SetEventObject(this);
    QueueEvent(event);
}

void CGPSQuery::CopyResultsToDestination(bool ok)
{
    m_rawText = RawReport(m_receiveBuffer);
    m_receiveBuffer.clear();
    if (ok) {
        m_fixLat = m_workLat;
        m_fixLon = m_workLon;
        {
            // On disk before the home is reloaded from there.
            CUserConfig file;
            file.WriteDouble("HomeLocation/GPSLat", m_fixLat);
            file.WriteDouble("HomeLocation/GPSLon", m_fixLon);
            file.Flush();
        }
        if (m_prefs) {
            m_prefs->HomeLocation_GPSLat = m_fixLat;
            m_prefs->HomeLocation_GPSLon = m_fixLon;
            if (m_prefs->HomeLocation_Source == 0 && m_homeChanged)
                m_homeChanged();
        }
        wxString lonText, ew, latText, ns;
        tw::FormatPosition(m_fixLon, m_fixLat, lonText, ew, latText, ns);
        m_resultText = "Most Recent GPS Position: " + latText + " " + ns + " - " + lonText + " " + ew;
        m_errorText.clear();
    } else {
        m_resultText = m_errorText;
    }
    m_workLat = 0.0;
    m_workLon = 0.0;
    if (!m_stopped && m_prefs && m_prefs->HomeLocation_Source == 0 && !m_pollTimer.IsRunning())
        m_pollTimer.Start(m_timing.pollMs);
}

bool CGPSQuery::Notify(bool connect, wxObjectEventFunction method, wxEvtHandler* handler, wxObject* userData)
{
    if (connect) {
        Connect(wxID_ANY, wxEVT_QUERY_COMPLETION, method, userData, handler);
        return true;
    }
    return Disconnect(wxID_ANY, wxEVT_QUERY_COMPLETION, method, userData, handler);
}

bool CGPSQuery::GetPosition(double& lat, double& lon, wxString& text) const
{
    lat = m_fixLat;
    lon = m_fixLon;
    text = GetPositionError();
    return m_success;
}

wxString CGPSQuery::GetPositionError() const
{
    return m_success ? m_resultText : m_errorText;
}

// ------------------------------------------------------------ worker

void* CGPSQuery::Entry()
{
    JobStarted();
    Query& query = *m_query;
    bool ok = false;
    try {
        ok = QueryGPSDevice();
    } catch (...) {
        query.error = "Exception occurred during GPS device query.";
        wxLogError("%s", query.error);
        ok = false;
    }
    if (!ok) {
        wxMutexLocker lock(m_deviceLock);
        DestroyDevice();
    }
    query.ok = ok;
    const unsigned long generation = query.generation;
    JobEnded();
    WakeWaiters();   // a main thread waiting for the end

    auto* done = new wxThreadEvent(wxEVT_THREAD, kGpsExitEventId);
    done->SetInt(ok ? 1 : 0);
    done->SetExtraLong(static_cast<long>(generation));
    wxQueueEvent(this, done);
    return nullptr;
}

bool CGPSQuery::QueryGPSDevice()
{
    using namespace tw::nmea;
    Query& query = *m_query;
    query.error.clear();
    const wxString portUpper = query.port.Upper();

    const Sentence type = ChooseSentence(query.gll, query.rmc, query.gga);
    if (type == Sentence::None) {
        query.error = "Invalid NMEA sentence type.";
        return false;
    }

    {
        wxMutexLocker lock(m_deviceLock);
        m_serialPort = new (std::nothrow) wxSerialPort;
        if (!m_serialPort) {
            query.error = "Out of memory error creating serial port object.";
            return false;
        }
        wxSerialPort_DCS dcs = query.dcs;
        if (m_serialPort->OpenDevice(query.port, &dcs) < 0) {
            query.error = "Failed to open GPS device on " + portUpper;
            if (!m_serialPort->LastError().empty())
                query.error << "\n" << m_serialPort->LastError();
            DestroyDevice();
            return false;
        }
    }

    auto aborted = [&] {
        query.error = "Operation aborted.";
        wxMutexLocker lock(m_deviceLock);
        DestroyDevice();
        return false;
    };
    if (TestDestroy())
        return aborted();
    const std::string reply = DoChat(wxString(), type);
    if (TestDestroy())
        return aborted();
    if (reply.empty()) {
        query.error = "Failed to read GPS info from " + portUpper;
        wxMutexLocker lock(m_deviceLock);
        DestroyDevice();
        return false;
    }
    {
        // Closed before the reply is looked at.
        wxMutexLocker lock(m_deviceLock);
        DestroyDevice();
    }

    const Position position = ParsePosition(reply, type);
    switch (position.status) {
    case ParseStatus::Fix:
        query.lat = position.lat;
        query.lon = position.lon;
        return true;
    case ParseStatus::NoFields:
        query.error = "Unknown GPS sentence format was read.";
        return false;
    case ParseStatus::NoFix:
        query.error = "GPS device on " + portUpper + " has no position fix.";
        return false;
    case ParseStatus::TooFewFields:
    case ParseStatus::OutOfRange:
    default:
        query.error = SentenceFormatError(type);
        return false;
    }
}

std::string CGPSQuery::DoChat(const wxString& /*command: nothing is sent*/, tw::nmea::Sentence type)
{
    Query& query = *m_query;
    query.received.clear();
    std::string sentence;
    for (int i = 0; i < query.maxReads && sentence.empty(); ++i) {
        if (TestDestroy() || PauseWorker(query.pauseMs))
            return std::string();
        char buffer[1024];
        const int n = m_serialPort->Read(buffer, sizeof buffer - 1);
        if (n < 0)
            break;   // the device has gone: no later read brings the sentence
        if (n == 0)
            continue;
        query.received.append(buffer, static_cast<size_t>(n));
        sentence = tw::nmea::FindSentence(query.received, type);
    }
    if (TestDestroy())
        return std::string();
    return sentence;
}

void CGPSQuery::DestroyDevice()
{
    if (!m_serialPort)
        return;
    if (m_serialPort->IsOpen())
        m_serialPort->CloseDevice();
    delete m_serialPort;
    m_serialPort = nullptr;
}
