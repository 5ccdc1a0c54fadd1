// Client side of the service gateway's line protocol: text lines and raw file
// bytes over one blocking TCP connection.
//
// One CIPGlue serves one exchange and is then deleted. The transfer worker
// calls ConnectToServer, Login, RequestFiles, then for each accepted entry
// InitRead, Read (repeatedly) and DoneRead. Abort may be called from another
// thread at any time: it ends a blocked read at once.
//
// Failures: a socket read failure throws a CBlockingSocketException; a
// protocol failure throws the accumulated error text as a std::string (both
// by value: catch them by const reference); connection and login failures are
// results (false, with GetErrorText set).
//
// Text on the wire is UTF-8 and numbers are written the same way whatever the
// process locale. Lines sent end in CR LF; lines received end in LF or CR LF
// and hold at most kLineLimit - 1 bytes before their LF. File bytes and lines
// come through one read buffer, so a line read never takes a file's bytes.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/string.h>

#include "engine/transfer/TransferJob.h"

class CDialService;
class CFileList;
class IThreadResource;
struct FileInfo;

// A socket read failure: the toolkit's socket error code (wxSocketError) and
// a text for the transfer log.
class CBlockingSocketException
{
public:
    CBlockingSocketException(int code, const wxString& text) : m_code(code), m_text(text) {}
    virtual ~CBlockingSocketException() = default;

    int GetErrorCode() const { return m_code; }
    const wxString& GetErrorText() const { return m_text; }

    int m_code;
    wxString m_text;
};

// The position sent with a transfer as the "pos" line when valid.
class CXferLocation
{
public:
    CXferLocation() = default;
    virtual ~CXferLocation() = default;

    // Fills the position: flag 1, units "e", valid.
    void Set(float lat, float lon, int width)
    {
        m_lat = lat;
        m_lon = lon;
        m_width = width;
        m_flag = 1;
        m_units = "e";
        m_valid = true;
    }

    float m_lat = 0.0f;     // decimal degrees, north positive
    float m_lon = 0.0f;     // decimal degrees, east positive
    int m_width = 0;        // side of the area in whole degrees
    int m_flag = 0;         // 1 once filled
    std::string m_units;    // "e" once filled
    bool m_valid = false;
};

class CIPGlue : public wxEvtHandler
{
public:
    // Every line read by this program is read with this limit.
    static constexpr int kLineLimit = 255;

    // The exchange of `job` (the settings, the gateway's address). A null
    // resource is allowed: then nothing can stop the exchange, no question or
    // status line is shown and partial files are deleted rather than resumed.
    CIPGlue(IThreadResource* resource, const CTransferJob& job);
    // The same for a job of the settings file as it is now.
    explicit CIPGlue(IThreadResource* resource);
    ~CIPGlue() override;

    CIPGlue(const CIPGlue&) = delete;
    CIPGlue& operator=(const CIPGlue&) = delete;

    // Connects, through the dialer service when the default connection is a
    // dialer; false with the error text set on failure.
    bool ConnectToServer();
    // Sends the login line and judges the answer: false with the error text
    // set when the server refused the login (the stored account is cleared),
    // false with an empty error text when no account is set; throws on a
    // server database failure.
    bool Login();

    virtual void DoneRead();
    // Reads one data-phase header, checks it against the entry and opens the
    // entry's temporary file. tempPath is in the file system's encoding,
    // fileName is the entry's (UTF-8) name. When the local partial file does
    // not fit the server's START, or the file cannot be opened, the entry's
    // bytes are still read (so the next file stays in step) but not written,
    // and GetReceiveError tells why.
    virtual void InitRead(std::string& tempPath, std::string& fileName, int size);
    // Reads exactly count file bytes into buffer and appends them to the open
    // temporary file; returns count.
    virtual int Read(char* buffer, int count);
    // Receives between 1 and `most` bytes of the current file and appends
    // them to its temporary file without handing them out: the bytes that
    // came with the last line read, else one socket read of at most
    // kReceiveSize bytes straight into the file's write buffer. Returns the
    // count; fails like Read.
    int ReceiveSome(int most);
    // The largest socket read of ReceiveSome, and the write buffer of a
    // received file, written out whenever it is full.
    static constexpr int kReceiveSize = 256 * 1024;
    static constexpr int kWriteSize = 1024 * 1024;
    // Sends the request block for every entry and reads the status, header
    // and closing lines; fills each entry's size or error text. Returns early
    // when the job is to stop.
    virtual void RequestFiles(CFileList& list, const CXferLocation& position, bool compressionDisabled);
    virtual int ServerWrite(const char* data, int count);
    // Reads exactly count bytes.
    virtual int ServerRead(char* buffer, int count);
    virtual int ServerWrite(std::string text);
    // Reads one line of at most limit - 1 bytes before its LF into buffer
    // (which holds limit bytes), without the LF and one CR before it, and
    // returns its length; limit bytes without an LF give the empty line.
    virtual int ServerReadHead(char* buffer, int limit);
    virtual int ServerReadHead(std::string& line);

    // Makes a blocked or later read fail at once; callable from any thread.
    void Abort();

    // Results.
    const wxString& GetErrorText() const { return m_errorText; }
    bool IsReadmeChanged() const { return m_readmeChanged; }
    const std::string& GetLoginAnswer() const { return m_loginAnswer; }
    // The last RequestFiles asked whether to complete an interrupted download
    // and got neither Yes nor No (Escape, the box closed, the question
    // cancelled by a stop): it sent nothing, and every partial file was kept.
    bool IsResumeCancelled() const { return m_resumeCancelled; }

    // Why the entry of the last InitRead was not written whole (empty when it
    // was, or when nothing was read); valid after DoneRead.
    const wxString& GetReceiveError() const { return m_receiveError; }
    // For an entry that this client refused although the server accepted it
    // (an unsafe name): whether its bytes follow in the data phase, and
    // reading them past.
    bool DataFollows(int index) const;
    void SkipData(int index);

    // The link value of request lines: 0 without a dialer; otherwise the
    // dialer's second "connected" number, 4 when it reported none.
    int GetLinkValue() const;

    // Status callback for the dialer client's progress lines.
    static void OnDialerMessage(const wxString& text, void* context);

    // A received file name as one safe local file name: escaped blanks
    // become blanks and "/" becomes "-". Returns false (with a reason) for a
    // name that must not be used: empty, "." or "..", a ".." path component,
    // an absolute path, a backslash, a quote, a control character, or more
    // than 255 bytes.
    static bool MakeSafeFileName(const std::string& received, std::string& safe, std::string& reason);

    // The partial file of an entry that a resume continues: its temporary file under the name the server will
    // answer with, "<name>.bz2" when the request asks for compression (and
    // the name is not compressed already), else "<name>", where <name> is
    // the entry's file name as the server names files (the area of an
    // interactive request inserted, anything up to "=>" dropped). Found by
    // that exact name, never by a pattern. Empty when the entry has no
    // temporary folder or its name is not a safe file name.
    static std::string ResumePath(const FileInfo& entry, bool compressed);

protected:
    // The resume offset of an entry: the size of the partial file the
    // server's bytes will be appended to (ResumePath).
    int GetOffset(CFileList& list, int index, bool& askFirst);
    // Accepts a file under the name the server gave it (renaming the entry),
    // returns false for an unsafe name (the entry is refused), or throws.
    bool ValidateAndMungeFilename(std::string receivedName, CFileList& list, int index);
    // Applies the interactive naming to a UTF-8 name; returns the entry's
    // interactive flag.
    bool MakeInteractiveFileName(CFileList& list, int index, std::string& name);

    std::string logError(const char* text);
    [[noreturn]] void throwError();
    [[noreturn]] void throwError(const std::string& text);
    [[noreturn]] void throwError(const char* text);
    void doLoginError(bool throwIt, const char* answer);

    bool ContactServer();
    bool TestDestroy();
    void Status(const wxString& text);

    IThreadResource* m_resource = nullptr;
    wxString m_errorText;
    CRegistry m_settings;      // the job's snapshot
    std::string m_host;        // the job's address
    int m_port = 443;
    bool m_compressionDisabled = false;   // of the last request
    std::string m_loginAnswer;
    bool m_resumeAnswer = true;
    bool m_resumeCancelled = false;
    bool m_readmeChanged = false;

    // The dialer client of a dialled connection; ended with Destroy, never deleted.
    struct DestroyDialService {
        void operator()(CDialService* dialer) const;
    };
    std::unique_ptr<CDialService, DestroyDialService> m_dialer;

private:
    enum class Plan { None, Receive, Discard };
    struct EntryPlan {
        Plan plan = Plan::None;
        long long length = 0;   // bytes that follow the data-phase header
        std::string offered;    // the partial file whose size was asked for (empty: offset 0)
    };

    enum class WaitResult { Ready, Timeout, Aborted, Error };

    void CloseSocket();
    void DestroyDialer();
    // Receives at least one byte into dst; throws (with `unread` in the text)
    // on failure, time-out, end of the connection or Abort.
    size_t RecvSome(char* dst, size_t capacity, int unread);
    // Refills the (empty) read buffer.
    void Fill(int unread);
    // Reads exactly count bytes; `done` tells how many arrived when it throws.
    void ReadExact(char* buffer, int count, int& done);
    [[noreturn]] void ThrowReadError(int code, int unread);
    WaitResult WaitFor(short events, int timeoutMs);
    void FlushOutput();
    void CloseOutput();
    // Appends bytes to the file's write buffer (nothing while not writing).
    void AppendOutput(const char* data, size_t count);
    void FailReceive(const wxString& text);
    bool ParseHeader(const std::string& line, std::string& name, long long& start, long long& end) const;

    std::mutex m_lock;                 // guards m_fd and m_dialer against Abort
    int m_fd = -1;                     // the gateway connection
    int m_wake = -1;                   // eventfd that Abort signals
    std::atomic<bool> m_abort {false};
    int m_timeoutMs = 30000;           // for reads and writes once connected

    std::vector<char> m_in;            // read buffer
    size_t m_inPos = 0;
    size_t m_inEnd = 0;

    // The file being received.
    int m_out = -1;
    std::string m_outPath;
    std::unique_ptr<char[]> m_outBuf;  // kWriteSize bytes, made with the first file
    size_t m_outFill = 0;
    bool m_writing = false;            // bytes go to m_out
    wxString m_receiveError;

    std::vector<EntryPlan> m_plans;    // per entry of the last request
    // Partial files offered for resuming under another name than the one the
    // server answered with: answered temporary path -> offered file.
    std::vector<std::pair<std::string, std::string>> m_offeredElsewhere;
};
