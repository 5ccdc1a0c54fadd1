#include "engine/transfer/XferSocket.h"

#include "core/SocketErrorText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/log.h>
#include <wx/msgdlg.h>

#include "core/Init.h"
#include "core/Numbers.h"
#include "core/Registry.h"
#include "core/StringHelpers.h"
#include "model/FileList.h"
#include "engine/transfer/bzip.h"
#include "platform/WireText.h"

const char* const CXferSocketThread::kAbortText = "File receive aborted";
const char* const CXferSocketThread::kNoAccountText =
    "No account is set: the user name is empty, so no connection was made. Enter your user name and password "
    "under Connection Settings (the Settings button of this window) or on the Account Settings page of the "
    "Content Wizard, then start the transfer again.\n";

const char* const CXferSocketThread::kResumeCancelledText =
    "The question whether to complete the interrupted previous download was not answered: nothing was requested, "
    "and the partial file is kept for the next transfer.\n";

namespace {

using tw::FromWire;
using tw::FsPath;
using tw::ToWire;

constexpr int kChunk = 256;
constexpr int64_t kRateWindowMs = 1500;
std::atomic<int> g_progressIntervalMs {10};

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}


wxString ShowPath(const std::string& path)
{
    return wxString(path.c_str(), wxConvFile);
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string DirName(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// A name in `folder` that no other file has, for a file written there and
// then renamed over its final name.
std::string UniqueSibling(const std::string& folder, const std::string& name)
{
    static std::atomic<unsigned> counter {0};
    return folder + "/." + name + ".tw" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

// Copies the whole file open as `in` (read from its start; `src` names it in
// errors) to dst through a temporary file next to dst, renamed over dst only
// when every byte was written: an existing dst is replaced whole or not at
// all.
bool CopyFileReplacing(int in, const std::string& src, const std::string& dst, std::string& error)
{
    std::string tmp = UniqueSibling(DirName(dst), BaseName(dst));
    int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        error = "cannot create '" + tmp + "': " + std::strerror(errno);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (off_t at = 0;;) {
        ssize_t n = ::pread(in, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read '" + src + "': " + std::strerror(errno);
            ok = false;
            break;
        }
        if (n == 0)
            break;
        at += n;
        const char* p = buffer.data();
        size_t left = static_cast<size_t>(n);
        while (left > 0) {
            ssize_t w = ::write(out, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                error = "cannot write '" + dst + "': " + std::strerror(w < 0 ? errno : EIO);
                ok = false;
                break;
            }
            p += w;
            left -= static_cast<size_t>(w);
        }
        if (!ok)
            break;
    }
    if (::close(out) != 0 && ok) {
        error = "cannot write '" + dst + "': " + std::strerror(errno);
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), dst.c_str()) != 0) {
        error = "cannot replace '" + dst + "': " + std::strerror(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

// Copies src to dst, replacing dst whole or not at all.
bool CopyReplacing(const std::string& src, const std::string& dst, std::string& error)
{
    int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = "cannot open '" + src + "': " + std::strerror(errno);
        return false;
    }
    const bool ok = CopyFileReplacing(in, src, dst, error);
    ::close(in);
    return ok;
}

// Makes a folder that was removed (with its parents) again; a failure shows
// as the failure of what is then written there.
void MakeFolderAgain(const std::string& folder)
{
    wxLogNull quiet;
    MkDirTree(wxString(folder.c_str(), wxConvFile));
}

// Moves src over dst (a rename, or a copy and rename across file systems).
bool MoveReplacing(const std::string& src, const std::string& dst, std::string& error)
{
    if (::rename(src.c_str(), dst.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        error = "cannot move '" + src + "' to '" + dst + "': " + std::strerror(errno);
        return false;
    }
    if (!CopyReplacing(src, dst, error))
        return false;
    ::unlink(src.c_str());
    return true;
}

int Percent(long long part, long long whole)
{
    if (whole <= 0 || part <= 0)
        return 0;
    long long p = part * 100 / whole;
    return static_cast<int>(std::min<long long>(p, 100));
}

} // namespace

// ------------------------------------------------------------ set-up

CXferSocketThread::CXferSocketThread(ITransferObserver* observer, bool compressionDisabled)
    : wxThread(wxTHREAD_DETACHED), m_observer(observer), m_compressionDisabled(compressionDisabled)
{
}

CXferSocketThread::~CXferSocketThread()
{
    ReleaseHeld();
}

void CXferSocketThread::SetupFileDownload(CFileList* list, CXferLocation& position, long rate, wxWindow* parent)
{
    SetupFileDownload(list, position, rate, parent, CTransferJob());
}

void CXferSocketThread::SetupFileDownload(CFileList* list, CXferLocation& position, long rate, wxWindow* parent,
                                          const CTransferJob& job)
{
    m_kind = 1;
    m_job = job;
    m_list = list;
    m_position.m_lat = position.m_lat;
    m_position.m_lon = position.m_lon;
    m_position.m_width = position.m_width;
    m_position.m_flag = position.m_flag;
    m_position.m_units = position.m_units;
    m_position.m_valid = position.m_valid;
    m_parent = parent;
    if (rate != -1)
        m_rate = rate;
}

void CXferSocketThread::SetProgressInterval(int milliseconds)
{
    g_progressIntervalMs = std::max(0, milliseconds);
}

bool CXferSocketThread::Terminate(bool abort)
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    m_stop = true;
    if (!abort)
        return false;
    m_observer = nullptr;
    if (m_client) {
        m_client->Abort();
        return true;
    }
    return false;
}

void CXferSocketThread::PerformObserverUpdate(int milliseconds)
{
    std::lock_guard<std::mutex> lock(m_timeLock);
    m_tick = true;
    m_fileElapsed += milliseconds;
    m_transferElapsed += milliseconds;
}

// ------------------------------------------------------------ resource

ITransferObserver* CXferSocketThread::Observer()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_observer;
}

bool CXferSocketThread::TestDestroy()
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    return m_stop;
}

void CXferSocketThread::StatusMessage(const wxString& text)
{
    Status(text);
}

void CXferSocketThread::Status(const wxString& text)
{
    if (text.empty())
        return;
    if (ITransferObserver* observer = Observer())
        observer->TransferStatus(text);
}

int CXferSocketThread::TrMessageBox(const wxString& message, const wxString& caption, int style)
{
    ITransferObserver* observer = Observer();
    return observer ? observer->TransferMessageBox(message, caption, style) : wxCANCEL;
}

int CXferSocketThread::TrErrorBox(const wxString& message)
{
    TrMessageBox(message, "Error", wxOK | wxCENTRE | wxICON_ERROR);
    return wxOK;
}

// ------------------------------------------------------------ thread body

wxThread::ExitCode CXferSocketThread::Entry()
{
    // The stop flag is not cleared here: a stop asked for before the thread
    // got going must not be lost.
    if (ITransferObserver* observer = Observer())
        observer->TransferEntry();

    bool result = false;
    if (m_kind == 1) {
        // What counts as arrived is what this transfer places.
        if (m_list)
            m_list->ClearPlaced();
        auto client = std::make_unique<CIPGlue>(this, *m_job);
        SetClient(client.get());
        bool brokeOff = true;
        try {
            result = WorkerAgent(*client);
            brokeOff = false;
        } catch (const CBlockingSocketException& e) {
            // A sentence a user can act on first, then the technical line.
            Status(tw::SocketFailureSentence(e.GetErrorCode(), Stopped()) + "\n");
            Status(e.GetErrorText() + "\n");
        } catch (const std::string& text) {
            Status(FromWire(text));
        } catch (...) {
            Status("UNKNOWN EXCEPTION in Transfer Agent.\n");
        }
        SetClient(nullptr);
        if (brokeOff && m_list) {
            // The transfer broke off before any file was placed: none of the
            // entries may pass for received.
            MarkUnreceived(0);
        }
        client.reset();   // closes the file and the connection, hangs up a dialer
        // What arrived before the break stays for the next transfer, also
        // when its folder was removed meanwhile.
        if (brokeOff && m_list)
            KeepVanishedFiles();
        ReleaseHeld();
    }

    if (ITransferObserver* observer = Observer())
        observer->TransferExit();
    {
        std::lock_guard<std::mutex> lock(m_stateLock);
        m_observer = nullptr;
    }
    return reinterpret_cast<ExitCode>(static_cast<intptr_t>(result ? 1 : -1));
}

void CXferSocketThread::SetClient(CIPGlue* client)
{
    std::lock_guard<std::mutex> lock(m_stateLock);
    m_client = client;
}

bool CXferSocketThread::WorkerAgent(CIPGlue& client)
{
    const CRegistry& settings = m_job->settings;
    wxString closing;
    bool result = false;

    if (!m_list || m_list->GetCount() == 0) {
        closing = "No files selected for download.\nTransfer aborted.\n";
    } else if (settings.m_gatewayInfo.username.empty()) {
        // The gateway would only refuse an empty name: nothing is sent.
        closing = wxString(kNoAccountText) + "Transfer aborted.\n";
        MarkUnreceived(0);
    } else {
        Status("Opening connection to " + settings.m_gatewayInfo.gateway + "\n");
        if (settings.IsAutoDialer())
            Status("Connecting through " + settings.m_dunInfo.connection + "...\n");
        closing = "Transfer aborted.\n";
        bool going = !Stopped();
        if (going && !client.ConnectToServer()) {
            if (!client.GetErrorText().empty())
                closing = client.GetErrorText();
            going = false;
        }
        if (going && !Stopped()) {
            Status("Please wait one moment while the server processes your request...\n");
            if (!client.Login()) {
                if (!client.GetErrorText().empty())
                    closing = client.GetErrorText();
                going = false;
            }
        }
        if (going && !Stopped()) {
            client.RequestFiles(*m_list, m_position, m_compressionDisabled);
            if (client.IsResumeCancelled()) {
                closing = wxString(kResumeCancelledText) + "Transfer aborted.\n";
                going = false;
            }
        }
        if (going && !Stopped()) {
            result = GetAllFiles(client);
            if (result)
                closing = "Transfer done.\n";
            else if (m_localFailure && !Stopped())
                closing = "Transfer ended with errors: some files were not received or placed.\n";
        } else {
            MarkUnreceived(0);
        }
    }

    // From here on a forced stop has no connection to cut.
    SetClient(nullptr);
    if (ITransferObserver* observer = Observer())
        observer->TransferDone(closing, result);
    return result;
}

void CXferSocketThread::MarkUnreceived(size_t first)
{
    for (size_t i = first; i < m_list->GetCount(); ++i)
        if (m_list->GetFileError(i).empty())
            m_list->SetFileError(i, kAbortText);
}

// ------------------------------------------------------------ receiving

wxTimeSpan CXferSocketThread::Estimate(long long bytes) const
{
    if (m_rate <= 0 || bytes <= 0)
        return wxTimeSpan::Milliseconds(0);
    return wxTimeSpan::Milliseconds(static_cast<wxLongLong_t>(bytes / m_rate) * 1000);
}

void CXferSocketThread::ReportElapsed()
{
    // Called with the time lock held, so the two counters agree.
    if (ITransferObserver* observer = Observer())
        observer->TransferElapsedTime(wxTimeSpan::Milliseconds(m_fileElapsed),
                                      wxTimeSpan::Milliseconds(m_transferElapsed));
}

void CXferSocketThread::Progress(int filePercent, int totalPercent, bool always)
{
    int64_t now = NowMs();
    int interval = g_progressIntervalMs;
    if (!always && m_lastProgressMs >= 0 && now - m_lastProgressMs < interval) {
        m_progressPending = true;
        m_pendingFile = filePercent;
        m_pendingTotal = totalPercent;
        return;
    }
    m_progressPending = false;
    if (ITransferObserver* observer = Observer())
        observer->TransferProgress(filePercent, totalPercent);
    // Counted from the end of the report: an observer that pauses after
    // each report (the window does, to bound them) then still sees at most
    // one report per interval of work, not one per file.
    m_lastProgressMs = NowMs();
}

void CXferSocketThread::FlushProgress()
{
    if (m_progressPending)
        Progress(m_pendingFile, m_pendingTotal, true);
}

void CXferSocketThread::ReportNotices(const std::string& loginAnswer)
{
    std::string balanceText = extract_equals_token("--balance=", loginAnswer);
    std::string zirText = extract_equals_token("--zir=", loginAnswer);
    std::string mzText = extract_equals_token("--mz=", loginAnswer);
    const double balance = tw::LeadingDouble(balanceText);
    bool newer = false;
    if (m_job->versionsKnown) {
        if (!zirText.empty() && tw::LeadingLong(zirText) > m_job->productDbVersion)
            newer = true;
        if (!mzText.empty() && tw::LeadingLong(mzText) > m_job->marineZonesDbVersion)
            newer = true;
    }
    if (newer) {
        Status("\n      **** Available Tidewright Updates ****\n");
        Status("A newer version of the File List is available. Updating your file list is especially important if "
               "you are getting file not found errors or stale products.\n");
        Status("Execute an \"Update File List\" from Portal, Basic or Library mode screens.\n");
        Status("      **** End of Update Notice ****\n\n");
    }
    if (balance > 0.0) {
        Status("\n      **** Low Balance Notice ****\n");
        Status("Your Tidewright card balance is $" + tw::FormatFixed(balance, 2) + ".  "
               + "You will be unable to download once the balance reaches $0.0. "
               + "Please contact your Tidewright dealer ASAP to re-up your card.\n");
        Status("      **** End of Low Balance Notice ****\n\n");
    }
}

// The data phase, in steps that each decide one thing in one place: a stop
// ends the phase where it is seen (StopSeen), a file that could not be
// written marks only that file and the transfer (EndFile), and what the
// phase leaves behind, the entries not received among it, is settled once
// (EndDataPhase).
bool CXferSocketThread::GetAllFiles(CIPGlue& client)
{
    DataPhase phase;
    if (!BeginDataPhase(client, phase))
        return false;
    for (m_current = 0; m_current < phase.count; ++m_current) {
        if (!ReceiveFile(client, phase))
            break;
    }
    return EndDataPhase(phase);
}

bool CXferSocketThread::BeginDataPhase(CIPGlue& client, DataPhase& phase)
{
    m_readmeChanged = client.IsReadmeChanged();
    if (!client.GetLoginAnswer().empty())
        ReportNotices(client.GetLoginAnswer());

    if (Stopped()) {
        MarkUnreceived(0);
        return false;
    }
    if (m_rate == -1) {
        Status("ERROR: Transfer rate value is undefined.\n");
        MarkUnreceived(0);
        return false;
    }

    phase.count = m_list->GetCount();
    ReleaseHeld();
    m_held.assign(phase.count, -1);
    for (size_t i = 0; i < phase.count; ++i)
        phase.total += m_list->GetFileSize(i);
    const int totalBytes = m_list->GetDataSize();
    {
        std::lock_guard<std::mutex> lock(m_timeLock);
        m_tick = false;
        m_transferElapsed = 0;
    }
    if (ITransferObserver* observer = Observer())
        observer->TransferBegin(wxString::Format("Downloading %d files. Total data transfer size = %d bytes\n",
                                                 static_cast<int>(phase.count), totalBytes),
                                Estimate(phase.total), totalBytes);
    phase.start = NowMs();
    m_lastProgressMs = -1;
    m_progressPending = false;
    return true;
}

bool CXferSocketThread::ReceiveFile(CIPGlue& client, DataPhase& phase)
{
    const size_t i = m_current;
    if (Stopped())
        return StopSeen(phase);

    const wxString refusal = m_list->GetFileError(i);
    if (!refusal.empty()) {
        Status(refusal);
        // Bytes the server sends for a file this client refused are read past.
        if (client.DataFollows(static_cast<int>(i)))
            client.SkipData(static_cast<int>(i));
        return true;
    }

    FileInfo& entry = m_list->Item(i);
    std::string tmpPath = FsPath(entry.tmpPath);
    std::string fileName = ToWire(entry.fileName);
    const long long size = m_list->GetFileSize(i);
    m_ahead = 0;
    // The temporary folder may have been removed since the transfer began.
    MakeFolderAgain(DirName(tmpPath));
    client.InitRead(tmpPath, fileName, static_cast<int>(size));
    HoldReceived(i, tmpPath);

    bool complete = false;
    if (!Stopped()) {
        if (ITransferObserver* observer = Observer())
            observer->TransferFileBegin(entry.fileName, static_cast<int>(size), Estimate(size));
        {
            std::lock_guard<std::mutex> lock(m_timeLock);
            m_fileElapsed = 0;
            ReportElapsed();
        }
        complete = ReceivePasses(client, size, phase);
    }
    // Every file's end is reported, also that of a file whose bytes were
    // all here already (a resumed partial that was complete).
    if (!complete)
        StopSeen(phase);
    else
        Progress(100, phase.total > 0 ? Percent(phase.received, phase.total) : 100, true);
    EndFile(client, entry, complete);
    return !phase.stopped;
}

bool CXferSocketThread::StopSeen(DataPhase& phase)
{
    // The entry at hand and those after it are marked by EndDataPhase.
    phase.stopped = true;
    return false;
}

bool CXferSocketThread::ReceivePasses(CIPGlue& client, long long size, DataPhase& phase)
{
    long long done = 0;
    while (done < size) {
        bool onTick = false;
        const long long got = ReceivePass(client, size - done, onTick);
        phase.received += got;
        if (Stopped())
            return false;
        Progress(Percent(done, size), Percent(phase.received, phase.total), onTick);
        if (onTick) {
            std::lock_guard<std::mutex> lock(m_timeLock);
            ReportElapsed();
        }
        done += got;
    }
    return true;
}

long long CXferSocketThread::ReceivePass(CIPGlue& client, long long want, bool& onTick)
{
    // The file's bytes come in socket reads of up to CIPGlue::kReceiveSize,
    // straight into its write buffer; the stop flag and the tick are looked
    // at once per read. A pass still ends at a chunk boundary: a tick seen
    // after a read ends the pass at the first boundary after the bytes the
    // pass held before that read, and bytes received beyond it count for the
    // next pass.
    long long got = 0;
    long long end = want;
    while (got < end) {
        if (m_ahead == 0)
            m_ahead = client.ReceiveSome(static_cast<int>(std::min<long long>(want - got, CIPGlue::kReceiveSize)));
        const long long before = got;
        const long long take = std::min(m_ahead, end - got);
        got += take;
        m_ahead -= take;
        if (Stopped())
            break;
        if (!onTick && TakeTick()) {
            onTick = true;
            end = std::min(want, (before / kChunk + 1) * kChunk);
            if (got > end) {
                m_ahead += got - end;
                got = end;
            }
        }
    }
    return got;
}

bool CXferSocketThread::TakeTick()
{
    if (!m_tick.load(std::memory_order_relaxed))
        return false;
    std::lock_guard<std::mutex> lock(m_timeLock);
    m_tick = false;
    return true;
}

void CXferSocketThread::EndFile(CIPGlue& client, const FileInfo& entry, bool complete)
{
    client.DoneRead();
    bool ok = complete;
    if (!client.GetReceiveError().empty()) {
        // The bytes were read but not (all) written: the file keeps what
        // it holds and does not count as received.
        m_list->SetFileError(m_current, client.GetReceiveError());
        Status(client.GetReceiveError());
        ok = false;
        m_localFailure = true;
    }
    if (ITransferObserver* observer = Observer())
        observer->TransferFileDone(entry.serverPath, ok);
}

bool CXferSocketThread::EndDataPhase(const DataPhase& phase)
{
    FlushProgress();
    if (phase.stopped)
        MarkUnreceived(m_current);

    const int64_t elapsed = NowMs() - phase.start;
    if (elapsed >= kRateWindowMs) {
        long long rate = phase.received * 1000 / elapsed;
        if (rate > 0) {   // a rate of 0 would divide later estimates by 0
            m_rate = static_cast<long>(rate);
            m_rateMeasured = true;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_timeLock);
        m_fileElapsed = 0;
        ReportElapsed();
    }

    const bool place = !(Stopped() && m_list->xferMode == XFER_MODE_DATABASE);
    if (place) {
        KeepVanishedFiles();
        CopyFiles2DestDir();
    }

    // Temporary files: a file that failed keeps its data for the next
    // transfer to complete; the others are no longer needed.
    for (size_t k = 0; k < phase.count; ++k) {
        if (place && !m_list->GetFileError(k).empty())
            continue;
        std::string tmp = FsPath(m_list->Item(k).tmpPath);
        if (!tmp.empty())
            ::unlink(tmp.c_str());
    }
    ReleaseHeld();
    return !phase.stopped && !m_localFailure;
}

void CXferSocketThread::HoldReceived(size_t index, const std::string& path)
{
    // Enough handles for any usual list, well below the process's limit;
    // files beyond it are placed all the same, only without this guard.
    constexpr size_t kHeldMost = 256;
    if (index >= m_held.size() || m_held[index] >= 0 || m_heldCount >= kHeldMost)
        return;
    m_held[index] = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_held[index] >= 0)
        ++m_heldCount;
}

void CXferSocketThread::KeepVanishedFiles()
{
    for (size_t k = 0; k < m_held.size() && k < m_list->GetCount(); ++k) {
        const int fd = m_held[k];
        struct stat held {};
        if (fd < 0 || ::fstat(fd, &held) != 0 || held.st_nlink > 0)
            continue;   // not held, or still in its folder
        // The file lost its name (its folder was removed): its bytes live
        // only in this handle, and go back where the next step looks for them.
        const std::string tmp = FsPath(m_list->Item(k).tmpPath);
        MakeFolderAgain(DirName(tmp));
        std::string reason;
        if (CopyFileReplacing(fd, tmp, tmp, reason)) {
            Status("Received file " + ShowPath(tmp)
                   + " was removed during the transfer; it was written there again.\n");
            continue;
        }
        const wxString text =
            "Could not keep received file " + ShowPath(tmp) + ": " + wxString::FromUTF8(reason.c_str());
        Status(text + "\n");
        if (m_list->GetFileError(k).empty())
            m_list->SetFileError(k, text);
        m_localFailure = true;
    }
}

void CXferSocketThread::ReleaseHeld()
{
    for (int& fd : m_held) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    m_heldCount = 0;
}

// ------------------------------------------------------------ placement

bool CXferSocketThread::ArchiveByDateFolder(const std::string& destination, wxString& error)
{
    struct stat st {};
    if (::stat(destination.c_str(), &st) != 0)
        return true;   // no older file
    std::tm local {};
    time_t mtime = st.st_mtime;
    if (!::localtime_r(&mtime, &local)) {
        error = "cannot read the date of '" + ShowPath(destination) + "'";
        return false;
    }
    char day[16], time[16];
    std::strftime(day, sizeof day, "%Y%m%d", &local);
    std::strftime(time, sizeof time, "%H%M%S", &local);
    std::string folder = DirName(destination) + "/" + day;
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "cannot create '" + ShowPath(folder) + "': " + wxString::FromUTF8(std::strerror(errno));
        return false;
    }
    std::string target = folder + "/" + time + "." + BaseName(destination);

    // A second name for the older file costs no space; where links are not
    // possible, copy it.
    std::string link = UniqueSibling(folder, BaseName(target));
    if (::link(destination.c_str(), link.c_str()) == 0) {
        if (::rename(link.c_str(), target.c_str()) == 0)
            return true;
        ::unlink(link.c_str());
    }
    std::string reason;
    if (!CopyReplacing(destination, target, reason)) {
        error = "cannot archive '" + ShowPath(destination) + "': " + wxString::FromUTF8(reason.c_str());
        return false;
    }
    return true;
}

void CXferSocketThread::CopyFiles2DestDir()
{
    bool first = true;
    const size_t count = m_list->GetCount();
    for (size_t i = 0; i < count; ++i) {
        if (!m_list->GetFileError(i).empty())
            continue;
        if (first) {
            Status("Copying files to destination...\n");
            first = false;
        }
        FileInfo& entry = m_list->Item(i);
        std::string tmp = FsPath(entry.tmpPath);
        if (!Exists(tmp)) {
            // Received, and gone before it could be placed.
            const wxString text = "Received file " + ShowPath(tmp) + " is missing; it was not placed";
            Status(text + ".\n");
            m_list->SetFileError(i, text);
            m_localFailure = true;
            continue;
        }
        std::string source = tmp;
        std::string final = FsPath(entry.finalPath);
        bool decompressed = false;

        if (EndsWith(tmp, ".bz2")) {
            std::string plain = tmp.substr(0, tmp.size() - 4);
            std::string finalPlain = EndsWith(final, ".bz2") ? final.substr(0, final.size() - 4) : final;
            Status("Decompressing " + ShowPath(tmp) + " --> " + ShowPath(plain) + "\n");
            CBZip bz;
            if (!bz.Decompress(tmp.c_str(), plain.c_str())) {
                Status("Decompress of " + ShowPath(tmp) + " failed.\n");
                wxString reason = wxString::FromUTF8(bz.LastError().c_str());
                Status(reason + "\n");
                ::unlink(plain.c_str());
                m_list->SetFileError(i, "Decompress of " + ShowPath(tmp) + " failed: " + reason);
                // Arrived but not placed: the transfer did not fully succeed.
                m_localFailure = true;
                // Corrupt data cannot be completed: it goes. Otherwise the
                // compressed file is intact and kept for another try.
                if (!bz.WriteFailed())
                    ::unlink(tmp.c_str());
                continue;
            }
            m_list->SetFinalPath(i, wxString(finalPlain.c_str(), wxConvFile));
            final = finalPlain;
            source = plain;
            decompressed = true;
        }

        Status("Moving " + ShowPath(source) + " --> " + ShowPath(final) + "\n");
        // The destination folder may have been removed during the transfer.
        MakeFolderAgain(DirName(final));
        if (m_list->xferMode != XFER_MODE_DATABASE) {
            wxString archiveError;
            if (m_job->settings.m_archive && !ArchiveByDateFolder(final, archiveError)) {
                // The older file stays where it is, and so does the new one.
                Status("Archive of " + ShowPath(final) + " failed: " + archiveError + ".\n");
                m_list->SetFileError(i, "Archive of " + ShowPath(final) + " failed: " + archiveError);
                m_localFailure = true;
                if (decompressed)
                    ::unlink(source.c_str());
                continue;
            }
        }
        std::string reason;
        if (!MoveReplacing(source, final, reason)) {
            Status("File move failed.\n");
            Status(wxString::FromUTF8(reason.c_str()) + "\n");
            m_list->SetFileError(i, "File move failed: " + wxString::FromUTF8(reason.c_str()));
            m_localFailure = true;
            if (decompressed)
                ::unlink(source.c_str());
            continue;
        }
        m_list->SetFilePlaced(i, wxString(final.c_str(), wxConvFile));
    }
}
