// The transfer worker ("Transfer Agent"): runs one transfer of a transfer
// list on a detached thread that deletes itself when it ends.
//
// It connects to the gateway through a CIPGlue, logs in, sends the request,
// receives every accepted file into its temporary file in receive passes
// (large socket reads straight into the file's write buffer; a pass ends at
// the first 256-byte chunk boundary after the window's one-second tick),
// measures the transfer rate, decompresses ".bz2" files,
// keeps an older destination file in a dated archive folder when archiving is
// on, and places each file in its download folder. It reports only through
// ITransferObserver and serves the protocol and dialer clients as their
// IThreadResource.
//
// Placement: a file is moved into place by renaming it (or copied to a
// temporary name in the destination folder and then renamed, when the two
// folders are on different file systems), so an older destination is never
// half-overwritten. A file that cannot be received, decompressed, archived or
// placed keeps its data in the temporary folder and gets an error text; the
// transfer then does not count as successful.
//
// Folders removed while a transfer runs: the temporary folder is made again
// before each file is opened and the destination folder before each file is
// placed. Every received file is held open (read-only) until it is placed, so
// a file whose folder was removed after or while it was written is written
// back into the temporary folder from that handle; a received file that can
// neither be kept nor placed is named in the log and gets an error text.
//
// Locks: the state lock guards the stop flag, the observer pointer and the
// protocol-client pointer; the time lock guards the tick flag and the two
// elapsed counters.
//
// The lock order of a transfer, written here only: a thread that holds one of
// these locks takes only locks further down the list, never one above it.
//   1. the transfer window's worker lock (CXferObserverQueue::WorkerLock)
//   2. the worker's time lock
//   3. the worker's state lock
//   4. the protocol client's lock (CIPGlue; Terminate reaches it through Abort)
//   5. the dialer client's socket lock, then its state lock (CDialService;
//      Abort closes a dialler that is still dialling)
//   6. the report queue's question lock, then its pending lock, then its
//      target lock (CXferObserverQueue)
// The one exception is deliberate: the dialer client hands its progress lines
// to the worker's Status with its state lock held, on the main thread, which
// never waits there for a lock that the worker holds.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <wx/string.h>
#include <wx/thread.h>

#include "core/ThreadHelper.h"
#include "engine/transfer/IpGlue.h"
#include "engine/transfer/TransferObserver.h"

class CFileList;
struct FileInfo;
class wxWindow;

class CXferSocketThread : public wxThread, public IThreadResource
{
public:
    // The abort text of an entry that was not received whole.
    static const char* const kAbortText;   // "File receive aborted"
    // Why a transfer without a user name ends before it connects, and where
    // the name is entered.
    static const char* const kNoAccountText;
    // Why a transfer ends when the question whether to complete an
    // interrupted download was neither answered Yes nor No.
    static const char* const kResumeCancelledText;

    CXferSocketThread(ITransferObserver* observer, bool compressionDisabled);
    ~CXferSocketThread() override;

    // Transfer kind 1: keeps the list, copies the position and the parent
    // window, takes the rate unless it is -1, and takes the job (the settings
    // snapshot, the gateway's address, the database versions) the whole
    // transfer works with; without one, the settings file as it is now.
    void SetupFileDownload(CFileList* list, CXferLocation& position, long rate, wxWindow* parent,
                           const CTransferJob& job);
    void SetupFileDownload(CFileList* list, CXferLocation& position, long rate, wxWindow* parent);

    // Asks the worker to stop. With abort it also drops the observer (the
    // worker reports nothing more) and cuts the connection, so that a blocked
    // read ends at once; returns true when a protocol client was aborted.
    bool Terminate(bool abort);
    // The window's progress timer: sets the tick flag and adds the time to
    // the file and transfer elapsed counters.
    void PerformObserverUpdate(int milliseconds);

    // IThreadResource (TestDestroy also overrides wxThread's).
    bool TestDestroy() override;
    void StatusMessage(const wxString& text) override;
    int TrMessageBox(const wxString& message, const wxString& caption, int style) override;
    int TrErrorBox(const wxString& message) override;

    // Read by the window inside its TransferDone.
    bool IsReadmeChanged() const { return m_readmeChanged; }
    long GetRate() const { return m_rate; }
    // The rate measured by this transfer's data phase; -1 when it measured none.
    long GetMeasuredRate() const { return m_rateMeasured ? m_rate : -1; }

    // Progress reports closer together than this are folded into the next
    // one (a report that ends a pass on a tick, each file's final report and
    // the last one always go out). Bounds the reports within a file to about
    // 100 a second without a pause per file. Default 10 ms.
    static void SetProgressInterval(int milliseconds);

protected:
    ExitCode Entry() override;

private:
    ITransferObserver* Observer();
    void Status(const wxString& text);
    bool Stopped() const { return m_stop.load(std::memory_order_relaxed); }

    void SetClient(CIPGlue* client);
    bool WorkerAgent(CIPGlue& client);

    // The data phase (GetAllFiles) and its steps.
    struct DataPhase {
        size_t count = 0;          // entries of the list
        long long total = 0;       // bytes the server announced for them
        long long received = 0;    // bytes read so far
        int64_t start = 0;         // ms, when the downloads began
        bool stopped = false;      // a stop ended the phase at entry m_current
    };
    bool GetAllFiles(CIPGlue& client);
    // Notices, the checks before the first byte, the totals and the begin
    // report; false (every entry marked not received) when it cannot start.
    bool BeginDataPhase(CIPGlue& client, DataPhase& phase);
    // Entry m_current: a refused one is reported (its bytes read past), an
    // accepted one received in passes; false when a stop ended the phase.
    bool ReceiveFile(CIPGlue& client, DataPhase& phase);
    bool StopSeen(DataPhase& phase);
    // The passes of one file; false when a stop came before its last byte.
    bool ReceivePasses(CIPGlue& client, long long size, DataPhase& phase);
    // One pass: socket reads until `want` bytes, a stop, or the first chunk
    // boundary after the window's tick; returns the bytes it counts.
    long long ReceivePass(CIPGlue& client, long long want, bool& onTick);
    // Takes the tick flag when it is set.
    bool TakeTick();
    // Closes the entry's file and reports its end (a write failure marks it).
    void EndFile(CIPGlue& client, const FileInfo& entry, bool complete);
    // Folded progress, the entries not received, the measured rate,
    // placement and the temporary files; the data phase's result.
    bool EndDataPhase(const DataPhase& phase);
    void ReportNotices(const std::string& loginAnswer);
    void Progress(int filePercent, int totalPercent, bool always);
    void FlushProgress();
    void ReportElapsed();
    wxTimeSpan Estimate(long long bytes) const;
    // Marks every entry from `first` on that has no error text as not received.
    void MarkUnreceived(size_t first);
    void CopyFiles2DestDir();
    // Keeps a handle on the received file of entry `index` until placement.
    void HoldReceived(size_t index, const std::string& path);
    // Writes every held file whose name was removed (its folder with it) back
    // to its temporary path; an entry whose file cannot be kept gets an error.
    void KeepVanishedFiles();
    void ReleaseHeld();
    bool ArchiveByDateFolder(const std::string& destination, wxString& error);

    std::mutex m_stateLock;
    std::mutex m_timeLock;
    int64_t m_transferElapsed = 0;   // ms, counted in ticks
    int64_t m_fileElapsed = 0;       // ms
    ITransferObserver* m_observer;
    wxWindow* m_parent = nullptr;
    CFileList* m_list = nullptr;
    CIPGlue* m_client = nullptr;
    CXferLocation m_position;
    std::optional<CTransferJob> m_job;   // set up with the list
    bool m_compressionDisabled;
    std::atomic<bool> m_stop {false};
    bool m_readmeChanged = false;
    std::atomic<bool> m_tick {false};
    int m_kind = 0;
    long m_rate = -1;
    bool m_rateMeasured = false;

    // Progress folding.
    int64_t m_lastProgressMs = -1;
    bool m_progressPending = false;
    int m_pendingFile = 0;
    int m_pendingTotal = 0;
    // A file could not be written, decompressed, archived or placed.
    bool m_localFailure = false;
    size_t m_current = 0;            // the entry being received
    long long m_ahead = 0;           // bytes of that entry received but not yet counted in a pass
    std::vector<int> m_held;         // per entry: read-only handle on its received file, or -1
    size_t m_heldCount = 0;          // handles open in m_held
};
