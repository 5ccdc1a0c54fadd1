// The application object.
#pragma once

#include <memory>
#include <vector>

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/datetime.h>
#include <wx/weakref.h>

#include "core/DownloadPreferences.h"
#include "core/Editions.h"
#include "core/HomePosition.h"
#include "core/Init.h"
#include "core/LocalFiles.h"
#include "core/PositionText.h"
#include "core/Registry.h"
#include "core/SocketErrorText.h"
#include "model/Batch.h"
#include "model/CatalogueIndex.h"
#include "model/FileInfo.h"
#include "model/FileList.h"
#include "model/LocalCopy.h"
#include "engine/gps/GPSQuery.h"
#include "engine/transfer/DialService.h"
#include "engine/transfer/TransferJob.h"
#include "windows/common/Shell.h"

class wxFrame;
class wxListCtrl;
class wxTreeCtrl;
class wxSingleInstanceChecker;
class wxSQLite3Database;
class wxSplashScreen;

// Each group of members below is kept by the code that implements it; add to
// a group with a small edit rather than rewriting the file.
class TidewrightApp : public wxApp, public tw::Shell
{
public:
    TidewrightApp();
    bool OnInit() override;
    int OnExit() override;

    // --- start-up, shutdown, window modes, databases, catalogue (tidewrightapp.cpp)
    ~TidewrightApp() override;

    // The work of OnInit and OnExit, callable on an application object whose
    // OnInit was never run (tests). Startup returns false after releasing
    // whatever it had taken (lock, databases, splash, window).
    bool Startup();
    void Shutdown();

    // The net for an exception that left an event handler: it is logged and
    // shown once the handler is over, and the program runs on.
    bool OnExceptionInMainLoop() override;
    // Writes the view mode to the settings file now. Called once the first
    // run has been handled (the Portal is up and the wizard was offered), so
    // that a later start, whatever ended this one, never resets the profile.
    void RecordViewMode() override;
    // SIGTERM, SIGHUP and SIGINT are taken as a request to close (installed
    // by OnInit): CloseOnSignal runs on the main loop, ends the message boxes
    // that are up as their close box does (and shows no more), closes the
    // other windows that are open as their close box does and waits until
    // they are gone (a transfer under way stops, what arrived is placed and
    // the outcome handed on), then closes the main window as its close box
    // does; the program ends through OnExit. A second signal meanwhile ends
    // the program at once.
    void InstallTerminationSignals();
    void CloseOnSignal();

    // View modes and their windows.
    static const wxString& kModeBasic;       // "Basic"
    static const wxString& kModeLibrary;     // "Batch"
    static const wxString& kModePortal;      // "LoadWindow"
    void ChangeWindowMode(const wxString& mode) override;

    void UpdateHomePosition() override;
    void SetBasicHomePosition(double lat, double lon, int width) override;
    void ClearBasicHomePosition() override;
    bool HasBasicHomePosition() const override;
    bool GetBasicHomePosition(HomePosition& out) const override;
    // Opens the user guide; when none is installed, or it cannot be shown,
    // says so in a message box.
    void ShowHelpViewer(__help_section_id section) override;

    // The single-instance lock: the file InstanceLockName() in
    // $XDG_RUNTIME_DIR when that is an absolute path to a folder the user may
    // write in, else in the folder of the settings file (made when missing).
    static wxString InstanceLockName();
    static wxString InstanceLockDir();

    // Creates every missing folder of path.
    static bool MkDirTree(const wxString& path) { return ::MkDirTree(path); }

    // Databases (InitDB.cpp): opens the three databases, reads their versions,
    // fixes batch folders, applies the race edition and loads the catalogue.
    // A statement on any of the handles waits at most 2 s for a lock that
    // another program holds, then fails.
    bool InitDB(CRegistry& settings);
    // Closes and deletes every open database handle.
    void CloseDatabases();
    // Builds `catalogue` from the products table of `db` (replacing what it
    // held) and indexes it. Every row is placed: a new node goes at the end
    // of its level, and an index that names no node there (one that jumps
    // ahead, or a negative one) is taken for that new node, so later rows
    // with the same index join it. Path and Compression are decoded; their
    // characters outside the codec's table pass through unchanged.
    // raceBlank: give items marked RaceDisable an empty file id. Returns true.
    bool LoadCatalogue(wxSQLite3Database& db, bool raceBlank = false);

    // The catalogue's own item with this file id (the first in walk order:
    // category, region, chart type, item), or null; on a match `out` gets a
    // copy of it (model/CatalogueIndex.h: the index follows every change
    // of the tree; IndexCatalogue() builds it now). The batch store looks
    // items up through the same index.
    CFileInfo* FindFileInfo(CFileInfo& out, const wxString& id) override;
    // The same, counting only items outside (skipBasic) or inside the
    // category "Basic Mode".
    CFileInfo* FindFileInfoFilteredBasic(CFileInfo& out, const wxString& id, bool skipBasic) override;
    void IndexCatalogue();

    // The open databases (null when not open). The handles are used on the
    // main thread only: what a worker needs from them (the gateway's address,
    // the versions) is handed to it when its job starts (CTransferJob).
    wxSQLite3Database* GetProductDb() const override { return productDb.get(); }
    wxSQLite3Database* GetUserDb() const override { return userDb.get(); }
    wxSQLite3Database* GetMarineZonesDb() const override { return marineZonesDb.get(); }

    // Splash screen time-out in ms; 0 shows no splash (the default under test).
    int splashTimeoutMs = 9000;
    // The splash of the current start-up while it is shown.
    wxWeakRef<wxSplashScreen> splashScreen;

    wxString viewMode;
    HomePosition basicHomePosition;
    std::unique_ptr<wxSQLite3Database> productDb;
    std::unique_ptr<wxSQLite3Database> userDb;
    std::unique_ptr<wxSQLite3Database> marineZonesDb;
    std::unique_ptr<wxSingleInstanceChecker> instanceChecker;
    int productDbVersion = 0;
    int marineZonesDbVersion = 0;
    int transferRate = -1;   // the stored rate, as the last transfer window left it
    bool restartRequested = false;
    // The program a requested restart starts (empty: this one) and the
    // process it waits for first (0: this one).
    wxString restartExecutable;
    long restartWaitPid = 0;

private:
    void ShowSplash();
    void SignalCloseStep();
    std::unique_ptr<class wxTimer> m_signalCloseTimer;
    int m_signalCloseTicks = 0;
    bool m_signalMainClosed = false;
    std::vector<class wxWindow*> m_signalClosed;   // windows asked to close
    // Releases what a start-up that fails has taken.
    void AbandonStartup();
    CCatalogueIndex m_catalogueIndex{catalogue};   // registered with the batch store

public:
    // --- position text (core/PositionText.h)
    static void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere,
                               wxString& latText, wxString& latHemisphere)
    {
        tw::FormatPosition(lon, lat, lonText, lonHemisphere, latText, latHemisphere);
    }
    static void UnFormatPosition(double& lon, double& lat, const wxString& lonHemisphere,
                                 const wxString& latHemisphere)
    {
        tw::UnFormatPosition(lon, lat, lonHemisphere, latHemisphere);
    }
    static void UnFormatPosition(double& lon, double& lat, const wxString& lonText, const wxString& latText,
                                 const wxString& lonHemisphere, const wxString& latHemisphere)
    {
        tw::UnFormatPosition(lon, lat, lonText, latText, lonHemisphere, latHemisphere);
    }

    // --- editions and service login (core/Editions.h)
    static bool IsRace(CRegistry& settings) { return tw::IsRace(settings); }
    static bool IsRace() { return tw::IsRace(); }
    static bool IsInstalledEventVersion() { return tw::IsInstalledEventVersion(); }
    static bool MakeEventNameUserPrefix(wxString& prefix, CRegistry& settings)
    {
        return tw::MakeEventNameUserPrefix(prefix, settings);
    }
    static bool GetLoginNameAndPassword(CRegistry& settings, wxString& login, wxString& password)
    {
        return tw::GetLoginNameAndPassword(settings, login, password);
    }

    // --- local file resolution and viewer paths (core/LocalFiles.h, model/LocalCopy.h)
    static wxString ReplaceBadFilenameChars(const wxString& name) { return tw::ReplaceBadFilenameChars(name); }
    static bool MakeInteractiveFileName(bool interactive, float width, float lat, float lon, wxString& name)
    {
        return tw::MakeInteractiveFileName(interactive, width, lat, lon, name);
    }
    static wxString BuildWildcardFileName(bool interactive, float width, float lat, float lon,
                                          const wxString& serverName)
    {
        return tw::BuildWildcardFileName(interactive, width, lat, lon, serverName);
    }
    static wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon,
                                        const wxString& folder, const wxString& serverName)
    {
        return tw::GetMatchingFilePath(interactive, width, lat, lon, folder, serverName);
    }
    static wxString GetFilePath(CBatch* batch, const wxString& folder, const wxString& serverName)
    {
        return tw::GetFilePath(batch, folder, serverName);
    }
    static wxString GetFilePath(CFileList& list, int index) { return tw::GetFilePath(list, index); }
    static wxString GetDiskDate(CBatch* batch, wxString folder, wxString serverName, wxDateTime& /*date*/)
    {
        return tw::GetDiskDate(batch, folder, serverName);
    }
    static wxString GetWSPath() { return tw::GetWSPath(); }
    static wxString GetIsobarionPath() { return tw::GetIsobarionPath(); }
    static wxString GetIFVAppPath() { return tw::GetIFVAppPath(); }
    static wxString GetPreviewAppPath() { return tw::GetPreviewAppPath(); }
    static wxString GetTXTAppPath() { return tw::GetTXTAppPath(); }

    // --- dialer program launch and dialer version (AutoDialer.cpp)
public:
    // Starts the dialer program (found as "TALVOMail.app" or "zozor.app",
    // program "dizoduv") in its resources folder; with `settings` asks it to
    // open its settings, which only dialers from version 3.82 on understand.
    // False (with a warning) when the program is not installed.
    bool OpenAutoDialerService(bool settings) override;
    // Starts asking the dialer service for its version and returns at once:
    // true when the version is already known or the query was started. The
    // answer arrives later on the main thread; nothing ever waits for it.
    // `serviceName` is the connection type the service is named by in messages.
    bool QueryAutodialerStatus(class CRegistry& settings, const wxString& serviceName) override;
    // Ends a running version query and closes the client (the result of its Close).
    bool TerminateAutodialerStatus();
    void OnVersionAutodialerConnect(wxCommandEvent& event);
    void OnVersionAutodialerResponse(wxCommandEvent& event);
    void OnVersionAutodialerDisconnect(wxCommandEvent& event);
    // The text of a socket error code (wxSocketError) for messages (core/SocketErrorText.h).
    static wxString SocketErrorToString(int error) { return tw::SocketErrorToString(error); }

    CDialService dialService;           // the application's own client, for the version query only
    bool dialerVersionKnown = false;    // the service has told its version in this run
    double dialerVersion = 3.76;        // the service's version; 3.76 until it answers
    bool dialerQueryPending = false;    // the version query's handlers are bound
    bool m_dialerConnectBound = false;  // the connection handler of that query is still bound

    // --- transfer orchestration (FileTransfer.cpp)
    // Fills transferList from the active files (modes: 0 Basic window, 1
    // Portal and wizard suggestions, 2 Library window, 3 product-database
    // update), opens the modal transfer window and returns at once; the end
    // arrives as wxEVT_TRANSFER_DONE, bound on the window to `method` of
    // `handler` (both or neither; false when only one is given). `area`
    // (may be null) is the position sent with the request. A transfer
    // refused because the previous one has not ended is told here and opens
    // no window; the result is then true, so the caller tells nothing more.
    bool FileTransferStart(class CActiveFileList& files, wxEvtHandler* handler, wxObjectEventFunction method,
                           int mode, HomePosition* area) override;
    // Adds one file to `list`; false when it is skipped (its download folder
    // is missing and the user declines its creation, or it cannot be made).
    static bool ScheduleFileTransferEx(CFileList& list, const wxString& serverPath, const wxString& folder,
                                       const wxString& compression, const wxString& price, bool interactive,
                                       float width, float lat, float lon);
    // What a transfer window is handed when it is made: the open databases
    // its job is made with, the stored transfer rate (read from the settings
    // now and kept in transferRate) and the home location of the download
    // preferences as the area for a list without one.
    struct FileXferJob TransferWindowJob();
    // The open databases an exchange's job is made with (catalogue handle and versions).
    CTransferJobBasis TransferJobBasis() const;
    // Keeps the transfer rate a closing transfer window reports in
    // transferRate. Bound on each transfer window after its done-handler, so
    // that it runs before it; it lets the event go on.
    void OnTransferWindowDone(wxCommandEvent& event);
    // The done-handlers' half, run once the transfer's worker has ended:
    // hands the area that was sent back through `area` (valid only when the
    // window changed it); records where each file that arrived whole and was
    // placed landed (each active file by its own entry), runs the
    // after-download processing on those files (the others take no part; a
    // combined GRIB file is rebuilt from the GRIB files that arrived) and
    // puts their paths on the clipboard, also when the transfer did not fully
    // succeed (`ok` false); after a Force Disconnect or Quit no program is
    // started and the clipboard is left alone. When a transfer ran and not
    // every file arrived, the user is told which did not, by catalogue title
    // (a "Notice" box), and the outcome is kept for the caller
    // (LastTransferOutcome: what arrived, also after a partial transfer).
    void FileTransferEpilogue(class CActiveFileList& files, bool ok, HomePosition* area) override;
    // The outcome of the last FileTransferEpilogue.
    const TransferOutcome& LastTransferOutcome() const override { return m_transferOutcome; }
    // Gives the first active file with that server path and no local path
    // yet the local path; returns its index, or the count when none matches.
    static int InsertLocalPath(class CActiveFileList& files, const wxString& serverPath, const wxString& localPath);
    // The global download folder (batch row 0) and setting it (with alsoBasic
    // also the Basic batch's folder, "Basic Batch" inside it).
    wxString GetTransferFolder() override;
    void SetTransferFolder(wxString folder, bool alsoBasic) override;
    // Opens the local copy of catalogue item `id` as an item of batch
    // `batchId`, the way the after-download processing would (ViewItem.cpp).
    void ViewItemGlobal(wxString id, int batchId) override;

    CFileList transferList;             // the files of the current (or last) transfer
    TransferOutcome m_transferOutcome;  // of the last epilogue

    // --- batch properties dialog
    // Runs the batch properties dialog for `batch` (a new batch when isNew);
    // returns wxID_OK after writing the answers into the record, 0 when the
    // user cancelled (the record unchanged).
    int BatchDialog(class CBatch* batch, bool isNew) override;

    // --- Library batches list row (windows/library/ListRows.h)
    // Writes one batch into the Library window's batches list: a new last row
    // when row < 0, else that row in place. Does nothing without the list.
    bool AddEditBatchToBatchesListCtrl(class CBatch* batch, long row) override;

    // --- product-database update flow (UpdateFlow.cpp)
    // Shows the update dialog; after a check that found newer databases
    // downloads them into the updates folder (transfer mode 3), after an
    // import from disk offers the restart. Returns once the dialog closed
    // and, when a download follows, once its transfer window is shown.
    void OnUpdateDB() override;
    // End of the update's transfer (int 1 = success): the restart is offered
    // only when every scheduled database arrived whole; otherwise the user is
    // told what failed.
    void OnUpdateDBDone(wxCommandEvent& event);
    // Asks whether to restart now; on Yes marks the restart and ends the
    // program. Returns the mark.
    bool RestartApplicationNow(const wxString& text);
    // The database files the running update download is to deliver (file
    // names in the updates folder) and when it started (seconds since 1970).
    wxArrayString updateFilesScheduled;
    long long updateStartedAt = 0;
};

wxDECLARE_APP(TidewrightApp);
