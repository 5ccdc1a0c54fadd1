#include "engine/transfer/DialService.h"

#include <climits>
#include <string_view>
#include <functional>

#include <wx/app.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include "core/Numbers.h"
#include "core/Registry.h"
#include "core/ThreadHelper.h"
#include "core/SocketErrorText.h"

wxDEFINE_EVENT(wxEVT_DIALER_CONNECTION_COMPLETE, wxCommandEvent);
wxDEFINE_EVENT(wxEVT_DIALER_COMMAND_RESPONSE, wxCommandEvent);
wxDEFINE_EVENT(wxEVT_DIALER_CONNECTION_LOST, wxCommandEvent);

const char* const g_szCommandVersion = "version";
const char* const g_szCommandLogin = "login %s %s";
const char* const g_szCommandLogger = "logger";
const char* const g_szCommandDialup = "dialup";
const char* const g_szCommandHangup = "hangup";
const char* const g_szResponseOk = "OK\r\n";
const char* const g_szResponseInvalid = "invalid\r\n";
const char* const g_szResponseError = "error\r\n";
const char* const g_szResponseConnected = "connected";
const char* const g_szResponseDisconnected = "disconnected";
const char* const g_szDialerUsername = "rivol";
const char* const g_szDialerPassword = "kp7rud";
const char* const g_szDialerTypeZozor = "Dezavuviv Odirir";
const char* const g_szDialerTypeMsat = "MSAT Dialer";

namespace {

// At most this many bytes are taken from the socket per input notification.
constexpr size_t kReadSize = 511;

std::mutex g_waitsMutex;
CDialService::Waits g_waits;

} // namespace

bool IsExpectedResponse(const wxString& line, const wxString& expected, bool exact)
{
    if (expected.empty())
        return true;
    if (exact)
        return line == expected;
    return line.Lower().StartsWith(expected);
}

bool IsInvalidResponse(const wxString& line)
{
    return IsExpectedResponse(line, g_szResponseInvalid, true);
}

wxIMPLEMENT_DYNAMIC_CLASS(CDialService, wxEvtHandler);

wxBEGIN_EVENT_TABLE(CDialService, wxEvtHandler)
    EVT_SOCKET(wxID_ANY, CDialService::OnSocketEvent)
    EVT_COMMAND(ID_DIALER_CONNECTION_COMPLETE, wxEVT_DIALER_CONNECTION_COMPLETE, CDialService::OnConnectionComplete)
    EVT_COMMAND(ID_DIALER_COMMAND_RESPONSE, wxEVT_DIALER_COMMAND_RESPONSE, CDialService::OnResponseReceived)
    EVT_COMMAND(ID_DIALER_CONNECTION_LOST, wxEVT_DIALER_CONNECTION_LOST, CDialService::OnConnectionLost)
wxEND_EVENT_TABLE()

CDialService::Waits CDialService::GetWaits()
{
    std::lock_guard<std::mutex> lock(g_waitsMutex);
    return g_waits;
}

void CDialService::SetWaits(const Waits& waits)
{
    std::lock_guard<std::mutex> lock(g_waitsMutex);
    g_waits = waits;
}

CDialService::CDialService() = default;

CDialService::~CDialService()
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    // No "hangup" of its own here: an owner that wants one calls Close or
    // Destroy first. One already handed over and not yet written still goes.
    if (m_socket) {
        if (m_activeSerial)
            RetireActive();
        else
            RetireSocket(m_socket, false);
        m_socket = nullptr;
    }
    for (const Retired& retired : m_retired) {
        retired.socket->Notify(false);
        if (retired.owesHangup)
            SendString(retired.socket, wxString(g_szCommandHangup) + "\n");
        retired.socket->Destroy();
    }
    m_retired.clear();
}

void CDialService::SetupResponseLogging(LoggingCallback callback, void* data)
{
    std::lock_guard<std::recursive_mutex> lock(m_stateLock);
    m_logCallback = callback;
    m_logData = data;
}

wxString CDialService::GetErrorText() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    return m_errorText;
}

wxString CDialService::GetAnswerLine() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    std::lock_guard<std::recursive_mutex> state(m_stateLock);
    return m_answerLine;
}

wxString CDialService::GetVersionText() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    std::lock_guard<std::recursive_mutex> state(m_stateLock);
    return m_versionText;
}

wxString CDialService::GetServiceName() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    return m_serviceName;
}

int CDialService::GetDialerTimeout() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    std::lock_guard<std::recursive_mutex> state(m_stateLock);
    return m_dialerTimeout;
}

int CDialService::GetLinkValue() const
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    std::lock_guard<std::recursive_mutex> state(m_stateLock);
    return m_linkValue;
}

CDialService::State CDialService::GetState() const
{
    std::lock_guard<std::recursive_mutex> state(m_stateLock);
    return m_state;
}

void CDialService::SleepMs(unsigned ms) const
{
    if (ms)
        wxMilliSleep(ms);
}

// ---------------------------------------------------------------------------
// Exchanges

bool CDialService::Version(const CRegistry& settings, unsigned timeout, const wxString& serviceName,
                           IThreadResource* resource)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        // One socket per client: an earlier exchange's connection goes first.
        if (m_activeSerial && !Close()) {
            m_errorText = "Failed to connect to " + serviceName + " service.";
            return false;
        }
        m_errorText.clear();
        m_threaded = resource != nullptr;
        m_resource = resource;
        m_connected = m_answerComplete = m_answerExpected = m_lost = false;
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        m_answerLine.clear();
        m_loggingActive = false;
        m_versionText.clear();
        m_serviceName = serviceName;
        m_state = VersionPending;
    }
    return StartExchange(settings, timeout, resource);
}

bool CDialService::Dialup(const CRegistry& settings, unsigned timeout, IThreadResource* resource)
{
    // A time-out of 0 would report the link as up before the dialer has even
    // been asked; it stands for the usual wait instead.
    if (timeout == 0)
        timeout = kDefaultDialTimeout;
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        if (m_activeSerial && !Close()) {
            m_errorText = "Failed to connect to " + settings.m_dunInfo.connection + " service.";
            return false;
        }
        m_errorText.clear();
        m_threaded = resource != nullptr;
        m_resource = resource;
        m_connected = m_answerComplete = m_answerExpected = m_lost = false;
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        m_answerLine.clear();
        m_loggingActive = false;
        m_serviceName.clear();
    }
    if (resource)
        resource->StatusMessage("Dialing ...\n");
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        m_hangupPending = false;
        m_state = DialPending;

        const wxString& type = settings.m_dunInfo.connection;
        if (type == g_szDialerTypeZozor) {
            m_userName = g_szDialerUsername;
            m_password = g_szDialerPassword;
        } else if (type == g_szDialerTypeMsat) {
            m_userName = settings.m_gatewayInfo.username;
            m_password = settings.m_gatewayInfo.password;
        } else {
            m_errorText = wxString::Format("Unknown dialer service type '%s'.", type);
            return false;
        }
        m_sendLogin = settings.m_autodialLogin && !m_userName.empty() && !m_password.empty();
    }
    return StartExchange(settings, timeout, resource);
}

bool CDialService::StartExchange(const CRegistry& settings, unsigned timeout, IThreadResource* resource)
{
    bool waited = false;
    if (ConnectToService(settings, waited, timeout)) {
        if (waited)
            return WaitForResponse(timeout);
        return true;
    }
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    if (m_errorText.empty())
        m_errorText = "Failed to connect to " + m_serviceName + " service.";
    (void)resource;
    return false;
}

bool CDialService::ConnectToService(const CRegistry& settings, bool& waited, unsigned timeout)
{
    waited = false;
    wxIPV4address address;
    address.Hostname(settings.m_gatewayInfo.autodialhost);
    address.Service(static_cast<unsigned short>(settings.m_autodialPort));

    IThreadResource* resource = nullptr;
    unsigned serial = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        if (m_serviceName.empty())
            m_serviceName = settings.m_dunInfo.connection;
        if (m_serviceName != g_szDialerTypeZozor && m_serviceName != g_szDialerTypeMsat) {
            m_errorText = wxString::Format("Invalid dialer service type '%s'.", m_serviceName);
            return false;
        }
        resource = m_resource;
        serial = ++m_socketSerial;
        m_activeSerial = serial;
        m_lineBuffer.clear();
        m_eventsOff = false;
    }
    if (wxIsMainThread())
        StartSocket(serial, address, timeout);
    else
        CallAfter([this, serial, address, timeout]() { StartSocket(serial, address, timeout); });

    if (resource && resource->TestDestroy()) {
        Close();
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        m_errorText = "Connection aborted.";
        return false;
    }
    if (timeout == 0 || !resource)
        return true;

    const Waits waits = GetWaits();
    for (unsigned polls = 0;; ++polls) {
        {
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            if (m_lost || m_connected || polls >= waits.connectTicks) {
                waited = true;
                return m_connected;
            }
        }
        SleepMs(waits.tickMs);
        if (resource->TestDestroy()) {
            Close();
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            m_errorText = "Connection aborted.";
            return false;
        }
    }
}

// Main thread: makes the socket of connection `serial` and starts connecting,
// unless that connection was closed in the meantime.
void CDialService::StartSocket(unsigned serial, wxIPV4address address, unsigned timeout)
{
    std::unique_lock<std::recursive_mutex> lock(m_socketLock);
    if (serial != m_activeSerial || m_socket)
        return;
    m_socket = new wxSocketClient(wxSOCKET_NONE);
    m_socket->SetEventHandler(*this, static_cast<int>(serial));
    m_socket->SetNotify(wxSOCKET_CONNECTION_FLAG | wxSOCKET_INPUT_FLAG | wxSOCKET_LOST_FLAG);
    m_socket->Notify(true);
    if (timeout)
        m_socket->SetTimeout(static_cast<long>(timeout));
    if (m_socket->Connect(address, false) || m_socket->IsConnected())
        return;   // connected at once: the connection notification follows
    const wxSocketError error = m_socket->LastError();
    if (error == wxSOCKET_WOULDBLOCK || error == wxSOCKET_NOERROR)
        return;   // the notification tells how it ends
    // Refused before any notification could come: report it as the toolkit
    // reports a connection that never came up.
    m_lost = true;
    m_errorText = "Failed to connect to " + m_serviceName + " service.";
    const wxString text = m_errorText;
    RetireSocket(m_socket, false);
    m_socket = nullptr;
    lock.unlock();
    PostEvent(wxEVT_DIALER_CONNECTION_LOST, ID_DIALER_CONNECTION_LOST, 0, text);
}

void CDialService::RetireActive()
{
    // Called with the socket lock held.
    const unsigned serial = m_activeSerial;
    bool owesHangup = false;
    for (auto it = m_unsent.begin(); it != m_unsent.end();) {
        if (it->serial == serial) {
            owesHangup = owesHangup || it->text == g_szCommandHangup;
            it = m_unsent.erase(it);
        } else {
            ++it;
        }
    }
    m_activeSerial = 0;
    if (m_socket)
        RetireSocket(m_socket, owesHangup);
    m_socket = nullptr;
}

void CDialService::RetireSocket(wxSocketClient* socket, bool owesHangup)
{
    if (!socket)
        return;
    if (wxIsMainThread()) {
        socket->Notify(false);
        if (owesHangup)
            SendString(socket, wxString(g_szCommandHangup) + "\n");
        socket->Destroy();
        return;
    }
    m_retired.push_back({socket, owesHangup});
    CallAfter([this, socket]() { DestroyRetired(socket); });
}

void CDialService::DestroyRetired(wxSocketClient* socket)
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    for (auto it = m_retired.begin(); it != m_retired.end(); ++it) {
        if (it->socket == socket) {
            const bool owesHangup = it->owesHangup;
            m_retired.erase(it);
            socket->Notify(false);
            if (owesHangup)
                SendString(socket, wxString(g_szCommandHangup) + "\n");
            socket->Destroy();
            return;
        }
    }
}

bool CDialService::WaitForResponse(unsigned timeout)
{
    IThreadResource* resource = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        m_errorText.clear();
        resource = m_resource;
    }
    const Waits waits = GetWaits();
    SleepMs(waits.settleMs);

    for (unsigned counter = 0;; ++counter) {
        if (HaveResponse())
            break;
        {
            // Nothing more can arrive once the connection is gone.
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            if (m_lost)
                break;
        }
        if (counter >= timeout)
            break;
        SleepMs(waits.tickMs);
        if (resource && resource->TestDestroy() && Close()) {
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            m_errorText = "Connection aborted.";
            return false;
        }
    }

    // A stop asked for while the dial ran wins once the dial has ended: the
    // link that just came up is hung up again.
    if (resource && resource->TestDestroy() && Close()) {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        m_errorText = "Connection aborted.";
        return false;
    }

    wxString failure;
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        if (m_activeSerial && !(m_connected && !m_lost)) {
            if (m_errorText.empty())
                failure = m_serviceName + " service disconnected.";
        } else if (m_answerComplete && !m_answerExpected) {
            if (m_answerLine.empty())
                failure = m_serviceName + " service error.";
            else
                failure = m_serviceName + " service failed with message -- " + m_answerLine;
        } else if (m_answerComplete) {
            return true;
        } else {
            failure = "Timed out waiting for dialup completion.";
        }
        if (!failure.empty()) {
            if (!m_errorText.empty())
                failure += " (" + m_errorText + ")";
            m_errorText = failure;
        }
    }
    Close();
    return false;
}

bool CDialService::HaveResponse()
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    bool result = false;
    if (m_connected) {
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        result = m_answerComplete;
    }
    if (m_answerComplete || m_lost)
        m_eventsOff = true;   // no further notifications for this connection
    return result;
}

bool CDialService::IsConnectedImpl()
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    if (m_lost)
        m_eventsOff = true;
    return m_activeSerial && m_connected && !m_lost;
}

// ---------------------------------------------------------------------------
// Sending

size_t CDialService::SendString(wxSocketBase* socket, const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    const size_t length = bytes.length();
    if (m_sendBuffer.size() < length + 1)
        m_sendBuffer.resize(length + 1);
    memcpy(m_sendBuffer.data(), bytes.data(), length);
    m_sendBuffer[length] = '\0';
    socket->Write(m_sendBuffer.data(), static_cast<wxUint32>(length));
    return socket->LastCount();
}

// Sends one command line on the current connection. The socket is only ever
// written on the main thread.
void CDialService::Send(const wxString& text)
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    if (!m_activeSerial)
        return;
    if (wxIsMainThread()) {
        if (m_socket)
            SendString(m_socket, text + "\n");
        return;
    }
    m_unsent.push_back({m_activeSerial, text});
    CallAfter(&CDialService::FlushUnsent);
}

void CDialService::FlushUnsent()
{
    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    std::vector<Unsent> lines;
    lines.swap(m_unsent);
    for (const Unsent& line : lines)
        if (line.serial == m_activeSerial && m_socket)
            SendString(m_socket, line.text + "\n");
}

void CDialService::PostEvent(wxEventType type, int id, int value, const wxString& text)
{
    wxCommandEvent event(type, id);
    event.SetInt(value);
    event.SetString(text);
    event.SetEventObject(this);
    if (m_threaded)
        QueueEvent(event.Clone());
    else
        AddPendingEvent(event);
}

// ---------------------------------------------------------------------------
// Hang-up, close, destroy

bool CDialService::Hangup()
{
    IThreadResource* resource = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        if (!m_activeSerial)
            return true;
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        if (m_state == DialupSent) {
            // A dial in progress is not interrupted: the hang-up follows the
            // dialer's answer.
            m_hangupPending = true;
            return false;
        }
        m_hangupPending = false;
        if (m_connected) {
            m_state = HangupSent;
            m_eventsOff = false;   // the dialer's answer to it is listened for
            Send(g_szCommandHangup);
        }
        resource = m_resource;
    }
    if (resource)
        resource->StatusMessage("Hanging up.\n");
    return true;
}

void CDialService::WaitForHangupAnswer(unsigned serial)
{
    constexpr unsigned kPollMs = 10;
    const unsigned bound = GetWaits().hangupMs;
    for (unsigned waited = 0;; waited += kPollMs) {
        {
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            if (m_activeSerial != serial || m_lost || !m_connected)
                return;
            std::lock_guard<std::recursive_mutex> state(m_stateLock);
            if (m_state != HangupSent)
                return;   // answered
        }
        if (waited >= bound)
            return;
        wxMilliSleep(kPollMs);
    }
}

bool CDialService::Close()
{
    if (!wxIsMainThread()) {
        // The socket is written on the main thread only: a hang-up asked for
        // here is sent there later. Closing the connection at once would
        // drop it and leave the link up (billed by the minute), so the close
        // waits for the dialer's answer to it first.
        unsigned hungUp = 0;
        {
            std::lock_guard<std::recursive_mutex> lock(m_socketLock);
            if (m_activeSerial && m_connected && !m_lost) {
                State state;
                {
                    std::lock_guard<std::recursive_mutex> stateLock(m_stateLock);
                    state = m_state;
                }
                if (state == Dialled || state == DialupSent) {
                    if (!Hangup())
                        return false;   // the dial in progress is not interrupted
                    hungUp = m_activeSerial;
                }
            }
        }
        if (hungUp)
            WaitForHangupAnswer(hungUp);
    }

    std::lock_guard<std::recursive_mutex> lock(m_socketLock);
    if (m_activeSerial) {
        State state;
        {
            std::lock_guard<std::recursive_mutex> stateLock(m_stateLock);
            state = m_state;
        }
        // A live link is hung up first (or, while the dial runs, kept open
        // until the dialer has answered). A connection that is already gone
        // has nobody to hang up and is closed at once.
        const bool live = m_connected && !m_lost;
        if (live && (state == Dialled || state == DialupSent) && !Hangup())
            return false;
        RetireActive();
        m_lineBuffer.clear();
        m_answerComplete = m_connected = m_lost = false;
    } else {
        std::lock_guard<std::recursive_mutex> stateLock(m_stateLock);
        m_hangupPending = false;
        m_answerComplete = m_connected = m_lost = false;
    }
    return true;
}

void CDialService::Destroy()
{
    if (!wxIsMainThread()) {
        // The client is deleted on the main thread, where its socket lives;
        // from here on nothing may call back into the caller.
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        std::lock_guard<std::recursive_mutex> state(m_stateLock);
        m_logCallback = nullptr;
        m_logData = nullptr;
        m_resource = nullptr;
        m_destroyPending = true;
        CallAfter(&CDialService::DestroyOnMain);
        return;
    }
    DestroyOnMain();
}

void CDialService::DestroyOnMain()
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_socketLock);
        if (!Close()) {
            std::lock_guard<std::recursive_mutex> state(m_stateLock);
            m_logCallback = nullptr;
            m_logData = nullptr;
            m_resource = nullptr;
            m_destroyPending = true;
            return;
        }
    }
    delete this;
}

// ---------------------------------------------------------------------------
// Socket notifications (main thread)

void CDialService::OnSocketEvent(wxSocketEvent& event)
{
    std::unique_lock<std::recursive_mutex> lock(m_socketLock);
    if (!m_socket || event.GetId() != static_cast<int>(m_activeSerial) || event.GetSocket() != m_socket
        || m_eventsOff)
        return;   // a closed connection's late notification

    switch (event.GetSocketEvent()) {
    case wxSOCKET_CONNECTION: {
        bool failed = false;
        if (m_socket->Error()) {
            const wxSocketError error = m_socket->LastError();
            if (error != wxSOCKET_WOULDBLOCK) {
                m_errorText = "Error on dialup socket: " + tw::SocketErrorToString(error);
                failed = true;
            }
        }
        if (!failed && !m_connected) {
            m_connected = true;
            std::lock_guard<std::recursive_mutex> state(m_stateLock);
            if (m_state == VersionPending) {
                m_state = VersionSent;
                Send(g_szCommandVersion);
            } else if (m_state == DialPending && !m_hangupPending) {
                if (m_sendLogin) {
                    m_state = LoginSent;
                    Send(wxString::Format(g_szCommandLogin, m_userName, m_password));
                } else {
                    m_state = LoggerSent;
                    Send(g_szCommandLogger);
                }
            }
        }
        const int connected = (m_connected && !m_lost) ? 1 : 0;
        const wxString text = m_errorText;
        lock.unlock();
        PostEvent(wxEVT_DIALER_CONNECTION_COMPLETE, ID_DIALER_CONNECTION_COMPLETE, connected, text);
        break;
    }
    case wxSOCKET_LOST: {
        m_lost = true;
        const bool wasConnected = m_connected;
        if (wasConnected) {
            m_errorText = "Connection to " + m_serviceName + " service was lost.";
            m_connected = false;
        } else {
            m_errorText = "Failed to connect to " + m_serviceName + " service.";
        }
        const wxString text = m_errorText;
        lock.unlock();
        PostEvent(wxEVT_DIALER_CONNECTION_LOST, ID_DIALER_CONNECTION_LOST, wasConnected ? 1 : 0, text);
        break;
    }
    case wxSOCKET_INPUT: {
        char buffer[kReadSize];
        m_socket->Read(buffer, kReadSize);
        if (m_socket->Error() && m_socket->LastError() != wxSOCKET_WOULDBLOCK) {
            m_errorText = "Error reading dialup socket: " + tw::SocketErrorToString(m_socket->LastError());
            break;
        }
        // TCP keeps no write boundaries: an answer may come in pieces, so
        // only complete lines are judged and the rest waits for the next read.
        m_lineBuffer.append(buffer, m_socket->LastCount());
        const unsigned serial = m_activeSerial;
        for (;;) {
            if (serial != m_activeSerial)
                break;   // a line's handling closed the connection
            size_t end = m_lineBuffer.find('\n');
            if (end == std::string::npos) {
                if (m_lineBuffer.size() < kReadSize)
                    break;
                end = kReadSize - 1;   // an overlong line is taken in pieces
            }
            const std::string bytes = m_lineBuffer.substr(0, end + 1);
            m_lineBuffer.erase(0, end + 1);
            ProcessLine(wxString::FromUTF8(bytes.data(), bytes.size()), lock);
            lock.lock();
        }
        break;
    }
    default:
        break;
    }

    if (!lock.owns_lock())
        lock.lock();
    const bool destroy = m_destroyPending;
    lock.unlock();
    if (destroy)
        DestroyOnMain();   // may delete this
}

// Handles one answer line; called with the socket lock held through `lock`,
// returns with it released.
void CDialService::ProcessLine(const wxString& line, std::unique_lock<std::recursive_mutex>& lock)
{
    std::unique_lock<std::recursive_mutex> state(m_stateLock);
    m_answerLine = line;
    m_answerExpected = false;

    const bool ok = IsExpectedResponse(line, g_szResponseOk, true);
    const bool invalid = IsInvalidResponse(line);
    IThreadResource* resource = m_resource;
    bool tellConnected = false;

    switch (m_state) {
    case Idle:
        m_loggingActive = false;
        break;
    case Failed:
        m_loggingActive = false;
        m_answerComplete = true;
        break;
    case VersionPending:
    case DialPending:
        m_answerExpected = true;
        m_answerComplete = true;
        m_state = Idle;
        break;
    case VersionSent:
        if (ok) {
            m_state = Idle;
            m_answerExpected = true;
            m_answerComplete = true;
            m_answerLine.clear();
        } else if (invalid) {
            m_state = Idle;
            m_answerComplete = true;
            m_answerLine.clear();
        } else {
            m_versionText = line.BeforeFirst('\r').BeforeFirst('\n');
        }
        break;
    case LoginSent:
        if (m_hangupPending) {
            LineCountsAsError();
        } else if (ok && m_logCallback) {
            m_state = LoggerSent;
            Send(g_szCommandLogger);
        } else if (ok || invalid) {
            m_state = DialupSent;
            Send(g_szCommandDialup);
        } else {
            m_state = Failed;
            m_answerComplete = true;
        }
        break;
    case LoggerSent:
        if (m_hangupPending) {
            LineCountsAsError();
        } else if (ok && m_logCallback) {
            m_loggingActive = true;
            m_answerLine.clear();
            m_state = DialupSent;
            Send(g_szCommandDialup);
        } else if (ok || invalid) {
            m_state = DialupSent;
            Send(g_szCommandDialup);
        } else {
            m_state = Failed;
            m_answerComplete = true;
        }
        break;
    case DialupSent:
        if (IsExpectedResponse(line, g_szResponseConnected, false)) {
            m_loggingActive = false;
            m_state = Dialled;
            m_answerExpected = true;
            // "connected <time-out> <link value>", either number may be missing.
            const std::string text(line.utf8_str());
            const std::string word = g_szResponseConnected;
            if (text.compare(0, word.size(), word) == 0) {
                const std::string_view rest = std::string_view(text).substr(word.size());
                auto inRange = [](tw::NumberRead read, long long value) {
                    return read == tw::NumberRead::Ok && value >= 0 && value <= INT_MAX;
                };
                long long timeout = -1, link = -1;
                size_t end = 0;
                const tw::NumberRead first = tw::ReadInteger(rest, timeout, &end);
                if (first != tw::NumberRead::None) {
                    if (inRange(first, timeout))
                        m_dialerTimeout = static_cast<int32_t>(timeout);
                    const tw::NumberRead second = tw::ReadInteger(rest.substr(end), link);
                    if (inRange(second, link))
                        m_linkValue = static_cast<int32_t>(link);
                }
            }
            tellConnected = true;
            m_answerComplete = true;
        } else if (!m_loggingActive) {
            m_answerComplete = true;
        }
        break;
    case Dialled:
        if (m_hangupPending)
            LineCountsAsError();
        break;
    case HangupSent:
        m_answerExpected = IsExpectedResponse(line, g_szResponseDisconnected, false);
        m_loggingActive = false;
        m_state = Idle;
        m_answerComplete = true;
        break;
    }

    if (!m_answerExpected && m_answerLine == g_szResponseError) {
        m_loggingActive = false;
        m_state = Failed;
        m_answerComplete = true;
        m_answerLine.clear();
    }

    const bool complete = m_answerComplete;
    const bool expected = m_answerExpected;
    const wxString answer = m_answerLine;
    lock.unlock();

    if (tellConnected && resource)
        resource->StatusMessage("Connected.\n");
    if (m_loggingActive && !answer.empty() && m_logCallback)
        m_logCallback(answer, m_logData);
    if (complete)
        PostEvent(wxEVT_DIALER_COMMAND_RESPONSE, ID_DIALER_COMMAND_RESPONSE, expected ? 1 : 0, answer);
}

// With a hang-up pending, whatever the dialer says ends the exchange as an error.
void CDialService::LineCountsAsError()
{
    m_answerExpected = false;
    m_answerLine = g_szResponseError;
}
