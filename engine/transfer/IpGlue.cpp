#include "engine/transfer/IpGlue.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/msgdlg.h>
#include <wx/socket.h>

#include "core/Editions.h"
#include "core/LocalFiles.h"
#include "core/Numbers.h"
#include "core/SocketErrorText.h"
#include "core/ThreadHelper.h"
#include "model/FileList.h"
#include "engine/transfer/DialService.h"
#include "platform/WireText.h"

namespace {

using tw::FromWire;
using tw::FsPath;
using tw::ToWire;

constexpr size_t kReadBuffer = CIPGlue::kReceiveSize;
constexpr size_t kWriteBuffer = CIPGlue::kWriteSize;

// "%g" of a request value, as bytes for the wire.
std::string FormatG(float value)
{
    return ToWire(tw::FormatG(value));
}

std::string EscapeBlanks(const std::string& name)
{
    std::string out;
    out.reserve(name.size() + 8);
    for (char c : name) {
        if (c == ' ')
            out += "\\ ";
        else
            out += c;
    }
    return out;
}

std::string UnescapeBlanks(const std::string& name)
{
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size() && name[i + 1] == ' ') {
            out += ' ';
            ++i;
        } else {
            out += name[i];
        }
    }
    return out;
}

// The first whitespace-delimited token, a backslash-blank counting as part of
// it (kept escaped), and the rest of the line after it.
void SplitFirstToken(const std::string& line, std::string& token, std::string& rest)
{
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == ' ')
            ++i;
        ++i;
    }
    token = line.substr(start, i - start);
    rest = line.substr(i);
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

wxString ReplaceLastComponent(const wxString& path, const wxString& name)
{
    int slash = path.Find('/', true);
    if (slash == wxNOT_FOUND)
        return name;
    return path.Left(static_cast<size_t>(slash) + 1) + name;
}

wxString ErrnoText(int err)
{
    return wxString::FromUTF8(std::strerror(err));
}

} // namespace

// ------------------------------------------------------------ construction

CIPGlue::CIPGlue(IThreadResource* resource, const CTransferJob& job)
    : m_resource(resource), m_settings(job.settings), m_host(job.address), m_port(job.settings.m_gatewayPort)
{
    m_in.resize(kReadBuffer);
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

CIPGlue::CIPGlue(IThreadResource* resource) : CIPGlue(resource, CTransferJob()) {}

CIPGlue::~CIPGlue()
{
    CloseOutput();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        CloseSocket();
    }
    DestroyDialer();
    if (m_wake >= 0)
        ::close(m_wake);
}

void CIPGlue::DestroyDialService::operator()(CDialService* dialer) const
{
    dialer->Destroy();
}

// ------------------------------------------------------------ resource

bool CIPGlue::TestDestroy()
{
    return m_resource && m_resource->TestDestroy();
}

void CIPGlue::Status(const wxString& text)
{
    if (m_resource && !text.empty())
        m_resource->StatusMessage(text);
}

void CIPGlue::OnDialerMessage(const wxString& text, void* context)
{
    if (context)
        static_cast<CIPGlue*>(context)->Status(text);
}

int CIPGlue::GetLinkValue() const
{
    if (!m_dialer)
        return 0;
    int link = m_dialer->GetLinkValue();
    return link < 0 ? 4 : link;
}

// ------------------------------------------------------------ connection

void CIPGlue::CloseSocket()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void CIPGlue::DestroyDialer()
{
    // Destroy goes to the main thread: never with the lock held.
    decltype(m_dialer) dialer;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        dialer = std::move(m_dialer);
    }
}

bool CIPGlue::ConnectToServer()
{
    if (m_settings.IsAutoDialer()) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_dialer)
                m_dialer.reset(new CDialService);
        }
        m_dialer->SetupResponseLogging(&CIPGlue::OnDialerMessage, this);
        unsigned timeout = m_settings.m_connectionTimeout > 0 ? static_cast<unsigned>(m_settings.m_connectionTimeout) : 0;
        if (!m_dialer->Dialup(m_settings, timeout, m_resource)) {
            m_errorText = m_dialer->GetErrorText() + "\r\n";
            DestroyDialer();
            return false;
        }
    } else {
        DestroyDialer();
    }
    bool connected = ContactServer();
    if (!connected && m_dialer)
        DestroyDialer();
    return connected;
}

CIPGlue::WaitResult CIPGlue::WaitFor(short events, int timeoutMs)
{
    pollfd fds[2];
    fds[0].fd = m_fd;
    fds[0].events = events;
    fds[1].fd = m_wake;
    fds[1].events = POLLIN;
    for (;;) {
        if (m_abort)
            return WaitResult::Aborted;
        fds[0].revents = fds[1].revents = 0;
        int rc = ::poll(fds, m_wake >= 0 ? 2 : 1, timeoutMs);
        if (rc < 0 && errno == EINTR)
            continue;
        if (m_abort)
            return WaitResult::Aborted;
        if (rc < 0)
            return WaitResult::Error;
        if (rc == 0)
            return WaitResult::Timeout;
        if (fds[0].revents)
            return WaitResult::Ready;
    }
}

bool CIPGlue::ContactServer()
{
    m_loginAnswer.clear();
    m_errorText.clear();

    int code = wxSOCKET_NOERROR;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string port = std::to_string(m_port);
    if (m_host.empty() || m_port <= 0 || m_port > 65535
        || ::getaddrinfo(m_host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        code = (m_port <= 0 || m_port > 65535) ? wxSOCKET_INVPORT : wxSOCKET_NOHOST;
    } else {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            code = wxSOCKET_IOERR;
        } else {
            {
                std::lock_guard<std::mutex> lock(m_lock);
                m_fd = fd;
            }
            int rc = ::connect(fd, found->ai_addr, found->ai_addrlen);
            if (rc != 0 && errno != EINPROGRESS) {
                code = errno == ETIMEDOUT ? wxSOCKET_TIMEDOUT : wxSOCKET_IOERR;
            } else if (rc != 0) {
                int timeoutMs = std::max(1, m_settings.m_connectionTimeout) * 1000;
                switch (WaitFor(POLLOUT, timeoutMs)) {
                case WaitResult::Ready: {
                    int err = 0;
                    socklen_t len = sizeof err;
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                    if (err != 0)
                        code = err == ETIMEDOUT ? wxSOCKET_TIMEDOUT : wxSOCKET_IOERR;
                    break;
                }
                case WaitResult::Timeout:
                    code = wxSOCKET_TIMEDOUT;
                    break;
                default:
                    code = wxSOCKET_IOERR;
                    break;
                }
            }
            if (code == wxSOCKET_NOERROR && m_abort)
                code = wxSOCKET_IOERR;
        }
    }
    if (found)
        ::freeaddrinfo(found);

    if (code != wxSOCKET_NOERROR) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            CloseSocket();
        }
        m_errorText = "Connection error: " + tw::SocketErrorToString(code)
                      + ". The network connection may have been interrupted.\r\n";
        return false;
    }
    int seconds = m_settings.m_xferTimeout;
    if (m_dialer && m_dialer->GetDialerTimeout() >= 0)
        seconds = m_dialer->GetDialerTimeout();
    m_timeoutMs = std::max(1, seconds) * 1000;
    m_inPos = m_inEnd = 0;
    return true;
}

void CIPGlue::Abort()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_abort = true;
    if (m_fd >= 0) {
        // Shut the connection down (a plain close would not wake a thread
        // blocked on it) and wake the reader.
        ::shutdown(m_fd, SHUT_RDWR);
    } else if (m_dialer) {
        m_dialer->Close();
    }
    if (m_wake >= 0) {
        uint64_t one = 1;
        ssize_t n = ::write(m_wake, &one, sizeof one);
        (void)n;
    }
}

// ------------------------------------------------------------ writing

int CIPGlue::ServerWrite(const char* data, int count)
{
    if (m_fd < 0 || count <= 0)
        return 0;
    int written = 0;
    while (written < count) {
        if (m_abort)
            break;
        ssize_t n = ::send(m_fd, data + written, static_cast<size_t>(count - written), MSG_NOSIGNAL);
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (WaitFor(POLLOUT, m_timeoutMs) == WaitResult::Ready)
                continue;
        }
        break;   // the failure shows up as a failed read of the answer
    }
    return written;
}

int CIPGlue::ServerWrite(std::string text)
{
    return ServerWrite(text.data(), static_cast<int>(text.size()));
}

// ------------------------------------------------------------ reading

void CIPGlue::ThrowReadError(int code, int unread)
{
    wxString text;
    text.Printf("Network read operation error (%d bytes unread) [%s].", unread,
                tw::SocketErrorToString(code));
    throw CBlockingSocketException(code, text);
}

size_t CIPGlue::RecvSome(char* dst, size_t capacity, int unread)
{
    for (;;) {
        if (m_abort || m_fd < 0)
            ThrowReadError(m_fd < 0 ? wxSOCKET_INVSOCK : wxSOCKET_IOERR, unread);
        ssize_t n = ::recv(m_fd, dst, capacity, 0);
        if (n > 0) {
            if (m_abort)
                ThrowReadError(wxSOCKET_IOERR, unread);
            return static_cast<size_t>(n);
        }
        if (n == 0)
            ThrowReadError(wxSOCKET_IOERR, unread);   // the server closed the connection
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            ThrowReadError(wxSOCKET_IOERR, unread);
        switch (WaitFor(POLLIN, m_timeoutMs)) {
        case WaitResult::Ready:
            break;
        case WaitResult::Timeout:
            ThrowReadError(wxSOCKET_TIMEDOUT, unread);
        default:
            ThrowReadError(wxSOCKET_IOERR, unread);
        }
    }
}

void CIPGlue::Fill(int unread)
{
    m_inPos = 0;
    m_inEnd = 0;
    m_inEnd = RecvSome(m_in.data(), m_in.size(), unread);
}

void CIPGlue::ReadExact(char* buffer, int count, int& done)
{
    done = 0;
    if (m_abort)
        ThrowReadError(wxSOCKET_IOERR, count);
    while (done < count) {
        size_t want = static_cast<size_t>(count - done);
        size_t avail = m_inEnd - m_inPos;
        if (avail > 0) {
            size_t n = std::min(avail, want);
            std::memcpy(buffer + done, m_in.data() + m_inPos, n);
            m_inPos += n;
            done += static_cast<int>(n);
        } else if (want >= m_in.size()) {
            done += static_cast<int>(RecvSome(buffer + done, want, count - done));
        } else {
            Fill(count - done);
        }
    }
}

int CIPGlue::ServerRead(char* buffer, int count)
{
    int done = 0;
    ReadExact(buffer, count, done);
    return count;
}

int CIPGlue::ServerReadHead(std::string& line)
{
    line.clear();
    const size_t limit = kLineLimit;
    if (m_abort)
        ThrowReadError(wxSOCKET_IOERR, static_cast<int>(limit));
    for (;;) {
        if (m_inPos == m_inEnd)
            Fill(static_cast<int>(limit - line.size()));
        const char* p = m_in.data() + m_inPos;
        size_t scan = std::min(m_inEnd - m_inPos, limit - line.size());
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', scan));
        if (lf) {
            size_t k = static_cast<size_t>(lf - p);
            line.append(p, k);
            m_inPos += k + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return static_cast<int>(line.size());
        }
        line.append(p, scan);
        m_inPos += scan;
        if (line.size() >= limit) {
            // No line end within the limit: the bytes are dropped.
            line.clear();
            return 0;
        }
    }
}

int CIPGlue::ServerReadHead(char* buffer, int limit)
{
    // Every line of this program is read with kLineLimit; a smaller buffer
    // gets the line cut to fit.
    std::string line;
    ServerReadHead(line);
    if (limit <= 0)
        return 0;
    size_t n = std::min(line.size(), static_cast<size_t>(limit - 1));
    std::memcpy(buffer, line.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

// ------------------------------------------------------------ error text

std::string CIPGlue::logError(const char* text)
{
    m_errorText += FromWire(text ? text : "");
    return ToWire(m_errorText);
}

void CIPGlue::throwError()
{
    m_errorText += "\r\n";
    throw ToWire(m_errorText);
}

void CIPGlue::throwError(const std::string& text)
{
    logError(text.c_str());
    throwError();
}

void CIPGlue::throwError(const char* text)
{
    logError(text);
    throwError();
}

void CIPGlue::doLoginError(bool throwIt, const char* answer)
{
    wxString name = m_settings.m_gatewayInfo.username;
    wxString password = m_settings.m_gatewayInfo.password;
    m_settings.m_gatewayInfo.username.clear();
    m_settings.m_gatewayInfo.password.clear();
    m_settings.ClearLoginValues();
    m_errorText.clear();

    wxString text;
    if (answer)
        text = FromWire(answer) + "\r\n";
    if (name.empty()) {
        text += "Your username or password have not been entered ";
    } else {
        // The password is never shown in clear: one "*" per character.
        text += "You entered  " + name + "  and  " + wxString('*', password.length())
                + "  as your username and password. One or both of these may be incorrect ";
    }
    if (throwIt) {
        m_errorText += text;
        throwError();
    }
    m_errorText += text + "\r\n";
}

// ------------------------------------------------------------ login

bool CIPGlue::Login()
{
    m_errorText.clear();
    wxString login, password;
    if (!tw::GetLoginNameAndPassword(m_settings, login, password))
        return false;

    ServerWrite("nlogin --user=" + ToWire(login) + " --pass=" + ToWire(password) + " --version=13.05m\r\n");
    std::string answer;
    ServerReadHead(answer);

    const std::string updates = "updates ";
    for (size_t at; (at = answer.find(updates)) != std::string::npos;)
        answer.erase(at, updates.size());

    if (answer.find("ERROR") != std::string::npos) {
        m_loginAnswer.clear();
        doLoginError(false, answer.c_str());
        return false;
    }
    if (answer.find("DBD::SQLite") != std::string::npos) {
        m_loginAnswer.clear();
        throwError("SERVER ERROR: " + answer);
    }
    m_loginAnswer = answer;
    return true;
}

// ------------------------------------------------------------ request

bool CIPGlue::MakeInteractiveFileName(CFileList& list, int index, std::string& name)
{
    const FileInfo& entry = list.Item(static_cast<size_t>(index));
    wxString text = FromWire(name);
    bool interactive = tw::MakeInteractiveFileName(entry.interactive, entry.width, entry.lat, entry.lon, text);
    name = ToWire(text);
    return interactive;
}

std::string CIPGlue::ResumePath(const FileInfo& entry, bool compressed)
{
    const std::string tmp = FsPath(entry.tmpPath);
    const size_t slash = tmp.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    wxString name = entry.fileName;
    tw::MakeInteractiveFileName(entry.interactive, entry.width, entry.lat, entry.lon, name);
    std::string wire = ToWire(name);
    const size_t arrow = wire.find("=>");
    if (arrow != std::string::npos)
        wire.erase(0, arrow + 2);
    const std::string bz2 = ".bz2";
    const bool alreadyCompressed = wire.size() >= bz2.size() && wire.compare(wire.size() - bz2.size(), bz2.size(), bz2) == 0;
    if (compressed && !alreadyCompressed)
        wire += bz2;
    std::string safe, reason;
    if (!MakeSafeFileName(wire, safe, reason))
        return std::string();
    return tmp.substr(0, slash + 1) + FsPath(FromWire(safe));
}

int CIPGlue::GetOffset(CFileList& list, int index, bool& askFirst)
{
    // The partial file is the one the server's bytes will be appended to:
    // the entry's temporary file under the name the server answers with.
    // Another file of a similar name is never taken for it.
    const FileInfo& entry = list.Item(static_cast<size_t>(index));
    const bool compressed = !m_compressionDisabled && !entry.compression.empty();
    const std::string path = ResumePath(entry, compressed);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    if (list.xferMode == XFER_MODE_DATABASE) {
        ::unlink(path.c_str());
        return 0;
    }
    if (st.st_size == 0)
        return 0;   // nothing to complete
    if (askFirst) {
        askFirst = false;
        // Without a job nothing can be asked: the partial file goes.
        const int answer = m_resource ? m_resource->TrMessageBox("An interrupted previous download has been "
                                                                  "detected. Would you like to complete it?",
                                                                  "Notice", wxYES_NO)
                                      : wxNO;
        m_resumeAnswer = answer == wxYES;
        // Escape, the box's close button, or the question cancelled by a
        // stop: the paid bytes go only on an explicit No.
        m_resumeCancelled = answer != wxYES && answer != wxNO;
    }
    if (m_resumeCancelled)
        return 0;   // kept for the next transfer; nothing is requested now
    if (m_resumeAnswer && st.st_size <= INT_MAX) {
        if (static_cast<size_t>(index) < m_plans.size())
            m_plans[static_cast<size_t>(index)].offered = path;
        return static_cast<int>(st.st_size);
    }
    ::unlink(path.c_str());
    return 0;
}

bool CIPGlue::MakeSafeFileName(const std::string& received, std::string& safe, std::string& reason)
{
    std::string name = UnescapeBlanks(received);
    safe.clear();
    if (name.empty()) {
        reason = "empty name";
        return false;
    }
    if (wxString::FromUTF8(name.data(), name.size()).empty()) {
        reason = "not UTF-8 text";
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f) {
            reason = "control character";
            return false;
        }
        if (c == '"' || c == '\'' || c == '`') {
            reason = "quote";
            return false;
        }
        if (c == '\\') {
            reason = "backslash";
            return false;
        }
    }
    if (name[0] == '/') {
        reason = "absolute path";
        return false;
    }
    size_t start = 0;
    for (;;) {
        size_t slash = name.find('/', start);
        std::string component = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (component == "..") {
            reason = "parent folder";
            return false;
        }
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    if (name == ".") {
        reason = "not a file name";
        return false;
    }
    std::replace(name.begin(), name.end(), '/', '-');
    if (name.size() > 255) {
        reason = "name too long";
        return false;
    }
    safe = name;
    return true;
}

bool CIPGlue::ValidateAndMungeFilename(std::string receivedName, CFileList& list, int index)
{
    FileInfo& entry = list.Item(static_cast<size_t>(index));
    std::string received = UnescapeBlanks(receivedName);

    // A name the server gave must be one plain file name inside the entry's
    // folders; anything else is refused for this entry.
    std::string safe, reason;
    if (!MakeSafeFileName(receivedName, safe, reason)) {
        wxString text = "Received file name '" + FromWire(received) + "' is not a safe file name (" + reason
                        + "); '" + entry.serverPath + "' was refused.\r\n";
        list.SetFileError(static_cast<size_t>(index), text);
        list.SetFileSize(static_cast<size_t>(index), 0);
        return false;
    }

    std::string expected = ToWire(entry.fileName);
    MakeInteractiveFileName(list, index, expected);
    size_t arrow = expected.find("=>");
    if (arrow != std::string::npos)
        expected.erase(0, arrow + 2);

    size_t dot = expected.rfind('.');
    while (dot != std::string::npos && expected.compare(dot + 1, std::string::npos, "bz2") == 0)
        dot = dot == 0 ? std::string::npos : expected.rfind('.', dot - 1);
    if (dot == std::string::npos)
        throwError("Expected file name (" + expected + ") format error: missing file extension. Aborting transfer.");
    if (received.find('.') == std::string::npos)
        throwError("Received file name (" + received + ") format error: missing file extension. Aborting transfer.");
    size_t k = dot + 1;
    std::string expectedBase = expected.substr(0, k);
    std::string receivedBase = received.substr(0, std::min(k, received.size()));
    if (expectedBase != receivedBase)
        throwError("Received base file name (" + receivedBase + ") differs from that expected (" + expectedBase
                   + ") while processing '" + ToWire(entry.serverPath)
                   + "'. Aborting transfer. Your file list may be outdated.");

    // Accept under the server's name; only the last path component changes.
    wxString newName = FromWire(safe);
    entry.finalPath = ReplaceLastComponent(entry.finalPath, newName);
    entry.tmpPath = ReplaceLastComponent(entry.tmpPath, newName);
    entry.fileName = newName;
    return true;
}

bool CIPGlue::ParseHeader(const std::string& line, std::string& name, long long& start, long long& end) const
{
    std::string rest;
    SplitFirstToken(line, name, rest);
    std::vector<std::string> numbers = Words(rest);
    if (name.empty() || numbers.size() < 2)
        return false;
    int first = 0, last = 0;
    if (!tw::ParseInt(numbers[0], first) || !tw::ParseInt(numbers[1], last))
        return false;
    start = first;
    end = last;
    return start >= 0 && end >= start;
}

void CIPGlue::RequestFiles(CFileList& list, const CXferLocation& position, bool compressionDisabled)
{
    m_errorText.clear();
    m_compressionDisabled = compressionDisabled;
    const int count = static_cast<int>(list.GetCount());
    m_plans.assign(static_cast<size_t>(count), EntryPlan());
    m_offeredElsewhere.clear();
    m_resumeCancelled = false;

    // The resume offsets before anything of the request is sent: a resume
    // question that is not answered Yes or No ends the request with nothing
    // asked of the server and every partial file kept.
    std::vector<int> offsets(static_cast<size_t>(count), 0);
    bool askFirst = true;
    for (int i = 0; i < count; ++i) {
        offsets[static_cast<size_t>(i)] = GetOffset(list, i, askFirst);
        if (m_resumeCancelled || TestDestroy())
            return;
    }

    if (position.m_valid) {
        ServerWrite("pos " + FormatG(position.m_lat) + " " + FormatG(position.m_lon) + " "
                    + std::to_string(position.m_width) + " " + position.m_units + " " + std::to_string(position.m_flag)
                    + "\r\n");
        if (TestDestroy())
            return;
    }
    if (TestDestroy())
        return;

    const std::string link = std::to_string(GetLinkValue());
    for (int i = 0; i < count; ++i) {
        const FileInfo& entry = list.Item(static_cast<size_t>(i));
        std::string price = ToWire(entry.price) + "/" + link;
        std::string name = ToWire(entry.serverPath);
        if (MakeInteractiveFileName(list, i, name))
            price += "/" + FormatG(entry.width) + "/" + FormatG(entry.lat) + "/" + FormatG(entry.lon);
        const int offset = offsets[static_cast<size_t>(i)];
        std::string compression = compressionDisabled ? std::string() : ToWire(entry.compression);
        ServerWrite("get " + EscapeBlanks(name) + " " + std::to_string(offset) + " " + price + " " + compression
                    + " \r\n");
        if (TestDestroy())
            return;
    }
    ServerWrite(std::string("\r\n"));

    std::string status;
    ServerReadHead(status);
    if (status.find("ERROR") != std::string::npos) {
        logError(status.c_str());
        throwError();
    }
    std::vector<std::string> statusWords = Words(status);
    wxString word = statusWords.empty() ? wxString() : FromWire(statusWords[0]);
    m_readmeChanged = word.CmpNoCase(m_settings.m_readme) != 0;

    for (int i = 0; i < count; ++i) {
        const size_t index = static_cast<size_t>(i);
        std::string line;
        ServerReadHead(line);
        if (line.empty()) {
            logError(("ERROR: Empty file header response received from server.\r\nAborting at expected file '"
                      + ToWire(list.Item(index).fileName) + "'.\r\n")
                         .c_str());
            throwError();
        }
        if (TestDestroy())
            return;
        if (line.find("ERROR") != std::string::npos) {
            wxString text = FromWire(line) + "\r\n";
            list.SetFileError(index, text);
            list.SetFileSize(index, 0);
            m_errorText += text;
            continue;
        }
        list.SetFileError(index, wxString());
        std::string name;
        long long start = 0, end = 0;
        if (!ParseHeader(line, name, start, end)) {
            // No usable length: the file counts as refused.
            list.SetFileError(index, "Invalid file header response '" + FromWire(line) + "' from server for '"
                                         + list.Item(index).serverPath + "'.\r\n");
            list.SetFileSize(index, 0);
            continue;
        }
        if (name == ToWire(list.Item(index).fileName) || ValidateAndMungeFilename(name, list, i)) {
            list.SetFileSize(index, static_cast<wxUint32>(end - start));
            m_plans[index].plan = Plan::Receive;
            const std::string answered = FsPath(list.Item(index).tmpPath);
            if (!m_plans[index].offered.empty() && m_plans[index].offered != answered)
                m_offeredElsewhere.emplace_back(answered, m_plans[index].offered);
        } else {
            m_plans[index].plan = Plan::Discard;
        }
        m_plans[index].length = end - start;
    }
    m_errorText.clear();
    if (!TestDestroy()) {
        std::string closing;
        ServerReadHead(closing);
    }
}

// ------------------------------------------------------------ data phase

bool CIPGlue::DataFollows(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_plans.size()
           && m_plans[static_cast<size_t>(index)].plan == Plan::Discard;
}

void CIPGlue::SkipData(int index)
{
    if (!DataFollows(index))
        return;
    EntryPlan& plan = m_plans[static_cast<size_t>(index)];
    std::string header;
    ServerReadHead(header);
    if (header.empty())
        throwError("Received null file header response from server.\r\n");
    std::string name;
    long long start = 0, end = 0;
    if (!ParseHeader(header, name, start, end) || end - start != plan.length)
        throwError("Mismatch between file header response and local file info.\r\n");
    char buffer[64 * 1024];
    long long left = plan.length;
    while (left > 0) {
        int n = static_cast<int>(std::min<long long>(left, sizeof buffer));
        ServerRead(buffer, n);
        left -= n;
    }
    plan.plan = Plan::None;
}

void CIPGlue::FailReceive(const wxString& text)
{
    if (m_receiveError.empty())
        m_receiveError = text;
    m_writing = false;
    m_outFill = 0;
}

void CIPGlue::FlushOutput()
{
    if (m_out < 0 || !m_writing) {
        m_outFill = 0;
        return;
    }
    const char* p = m_outBuf.get();
    size_t left = m_outFill;
    while (left > 0) {
        ssize_t n = ::write(m_out, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int err = n < 0 ? errno : EIO;
            FailReceive("Failed to write file '" + wxString(m_outPath.c_str(), wxConvFile) + "': " + ErrnoText(err)
                        + ".\r\n");
            return;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    m_outFill = 0;
}

void CIPGlue::AppendOutput(const char* data, size_t count)
{
    while (m_writing && count > 0) {
        if (m_outFill == kWriteBuffer)
            FlushOutput();
        const size_t n = std::min(count, kWriteBuffer - m_outFill);
        std::memcpy(m_outBuf.get() + m_outFill, data, n);
        m_outFill += n;
        data += n;
        count -= n;
    }
    if (m_writing && m_outFill == kWriteBuffer)
        FlushOutput();
}

void CIPGlue::CloseOutput()
{
    if (m_out < 0)
        return;
    FlushOutput();
    if (::close(m_out) != 0 && m_writing)
        FailReceive("Failed to write file '" + wxString(m_outPath.c_str(), wxConvFile) + "': " + ErrnoText(errno)
                    + ".\r\n");
    m_out = -1;
    m_writing = false;
}

void CIPGlue::InitRead(std::string& tempPath, std::string& fileName, int size)
{
    m_errorText.clear();
    CloseOutput();
    m_receiveError.clear();
    m_writing = false;
    m_outFill = 0;
    m_outPath = tempPath;

    if (TestDestroy())
        return;
    std::string header;
    ServerReadHead(header);
    if (header.empty())
        throwError("Received null file header response from server.\r\n");
    if (TestDestroy())
        return;

    std::string name;
    long long start = 0, end = 0;
    bool parsed = ParseHeader(header, name, start, end);
    std::string safe = UnescapeBlanks(name);
    std::replace(safe.begin(), safe.end(), '/', '-');
    if (!parsed || end - start != size || safe != fileName)
        throwError("Mismatch between file header response and local file info.\r\n");

    const wxString shownPath(tempPath.c_str(), wxConvFile);
    m_out = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (m_out < 0) {
        FailReceive("Failed to open file '" + shownPath + "' for output: " + ErrnoText(errno) + ".\r\n");
        return;
    }
    struct stat st {};
    if (::fstat(m_out, &st) != 0) {
        FailReceive("Failed to seek end of file '" + shownPath + "': " + ErrnoText(errno) + ".\r\n");
        return;
    }
    // The local partial file must end exactly where the server starts: a
    // longer one is cut back to START, a shorter one cannot be completed.
    long long local = static_cast<long long>(st.st_size);
    if (start > local) {
        FailReceive(wxString::Format("The server resumed '%s' at byte %lld but only %lld bytes are here; the file "
                                     "was not received.\r\n",
                                     wxString(fileName.c_str(), wxConvUTF8), start, local));
        // The server answered under another name than the partial file that
        // was offered: that one can never be completed and would be offered
        // again every time. The next transfer starts the file afresh.
        for (const auto& offered : m_offeredElsewhere)
            if (offered.first == tempPath)
                ::unlink(offered.second.c_str());
        return;
    }
    if (start < local && ::ftruncate(m_out, static_cast<off_t>(start)) != 0) {
        FailReceive("Failed to seek offset in file '" + shownPath + "': " + ErrnoText(errno) + ".\r\n");
        return;
    }
    if (::lseek(m_out, static_cast<off_t>(start), SEEK_SET) < 0) {
        FailReceive("Failed to seek offset in file '" + shownPath + "': " + ErrnoText(errno) + ".\r\n");
        return;
    }
    if (!m_outBuf)
        m_outBuf.reset(new char[kWriteBuffer]);
    m_writing = true;
    if (TestDestroy())
        CloseOutput();
}

int CIPGlue::Read(char* buffer, int count)
{
    int done = 0;
    try {
        ReadExact(buffer, count, done);
    } catch (...) {
        // Keep what did arrive of this chunk, so that a resume does not ask
        // for it again.
        AppendOutput(buffer, static_cast<size_t>(done));
        throw;
    }
    AppendOutput(buffer, static_cast<size_t>(count));
    return count;
}

int CIPGlue::ReceiveSome(int most)
{
    if (m_abort)
        ThrowReadError(wxSOCKET_IOERR, most);
    if (most <= 0)
        return 0;
    size_t want = static_cast<size_t>(most);
    const size_t buffered = m_inEnd - m_inPos;
    if (buffered > 0) {
        const size_t n = std::min(buffered, want);
        AppendOutput(m_in.data() + m_inPos, n);
        m_inPos += n;
        return static_cast<int>(n);
    }
    want = std::min(want, kReadBuffer);
    if (!m_writing) {
        // Read past: the line buffer is empty and serves as scratch space.
        return static_cast<int>(RecvSome(m_in.data(), want, most));
    }
    if (m_outFill == kWriteBuffer)
        FlushOutput();
    if (!m_writing)
        return static_cast<int>(RecvSome(m_in.data(), want, most));
    want = std::min(want, kWriteBuffer - m_outFill);
    const size_t n = RecvSome(m_outBuf.get() + m_outFill, want, most);
    m_outFill += n;
    if (m_outFill == kWriteBuffer)
        FlushOutput();
    return static_cast<int>(n);
}

void CIPGlue::DoneRead()
{
    CloseOutput();
}
