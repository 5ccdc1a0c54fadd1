// The application object.
#pragma once

#include <mutex>
#include <unordered_map>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/weakref.h>

#include "app/DownloadPreferences.h"
#include "app/HomePosition.h"
#include "app/PositionText.h"
#include "catalogue/FileInfo.h"
#include "catalogue/FileList.h"
#include "map/GPSQuery.h"
#include "transfer/DialService.h"

class CRegistry;
class wxFrame;
class wxListCtrl;
class wxTreeCtrl;
class wxSingleInstanceChecker;
class wxSQLite3Database;
class wxSplashScreen;

// Sort state the Library window keeps per list.
struct ListSortInfo {
    wxString listName;            // "BatchItemsList" or "BatchList"
    bool ascending = false;
    int sortColumn = -1;
    wxListCtrl* listCtrl = nullptr;
};

// Help sections (the help shows the same start page for each).
enum __help_section_id {
    HELP_SECTION_LIBRARY = 1,
    HELP_SECTION_BASIC = 2,
    HELP_SECTION_PORTAL = 3,
    HELP_SECTION_WIZARD = 4,
    HELP_SECTION_TRANSFER = 6
};

// Each group of members below is kept by the code that implements it; add to
// a group with a small edit rather than rewriting the file.
class TidewrightApp : public wxApp
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

    // View modes and their windows.
    static const wxString kModeBasic;        // "Basic"
    static const wxString kModeLibrary;      // "Batch"
    static const wxString kModePortal;       // "LoadWindow"
    void ChangeWindowMode(const wxString& mode);

    void UpdateHomePosition();
    void SetBasicHomePosition(double lat, double lon, int width);
    void ClearBasicHomePosition();
    bool HasBasicHomePosition() const;
    bool GetBasicHomePosition(HomePosition& out) const;
    void ShowHelpViewer(__help_section_id section);

    // Creates every missing folder of path.
    static bool MkDirTree(const wxString& path);

    // Databases (InitDB.cpp): opens the three databases, reads their versions,
    // fixes batch folders, applies the race edition and loads the catalogue.
    bool InitDB(CRegistry& settings);
    // Closes and deletes every open database handle.
    void CloseDatabases();
    // Builds `catalogue` from the products table of `db` (replacing what it
    // held) and indexes it; rows that cannot be placed are skipped with a
    // warning. raceBlank: give items marked RaceDisable an empty file id.
    bool LoadCatalogue(wxSQLite3Database& db, bool raceBlank = false);

    // The catalogue's own item with this file id (the first in walk order:
    // category, region, chart type, item), or null; on a match `out` gets a
    // copy of it. The catalogue is indexed when loaded; code that fills it by
    // other means may call IndexCatalogue() (a lookup that misses the index
    // also walks the tree, and re-indexes when the walk finds the item).
    CFileInfo* FindFileInfo(CFileInfo& out, const wxString& id);
    // The same, counting only items outside (skipBasic) or inside the
    // category "Basic Mode".
    CFileInfo* FindFileInfoFilteredBasic(CFileInfo& out, const wxString& id, bool skipBasic);
    void IndexCatalogue();

    // The open databases (null when not open). The handles are used on the
    // main thread; a worker thread that reads through one holds DbLock()
    // around its use, as does main-thread code running at the same time as
    // such a worker.
    wxSQLite3Database* GetProductDb() const { return productDb; }
    wxSQLite3Database* GetUserDb() const { return userDb; }
    wxSQLite3Database* GetMarineZonesDb() const { return marineZonesDb; }
    static std::recursive_mutex& DbLock();

    // Splash screen time-out in ms; 0 shows no splash (the default under test).
    int splashTimeoutMs = 9000;
    // The splash of the current start-up while it is shown.
    wxWeakRef<wxSplashScreen> splashScreen;

    wxString viewMode;
    wxFrame* topWindow = nullptr;
    CProductTypeArray catalogue;
    wxListCtrl* sortedItemsListCtrl = nullptr;
    ListSortInfo itemsListSortInfo;
    ListSortInfo batchesListSortInfo;
    wxBitmap worldMapBitmap;
    wxBitmap worldMapAntiBitmap;
    bool firstRun = false;
    HomePosition homePosition;
    CFileInfo* draggedFileInfo = nullptr;
    wxTreeCtrl* catalogueTreeCtrl = nullptr;
    wxListCtrl* batchesListCtrl = nullptr;
    wxListCtrl* batchItemsListCtrl = nullptr;
    HomePosition basicHomePosition;
    wxSQLite3Database* productDb = nullptr;
    wxSQLite3Database* userDb = nullptr;
    wxSQLite3Database* marineZonesDb = nullptr;
    wxSingleInstanceChecker* instanceChecker = nullptr;
    CGPSQuery gpsQuery;
    DLPrefs dlPrefs;
    int productDbVersion = 0;
    int marineZonesDbVersion = 0;
    int transferRate = -1;
    bool restartRequested = false;
    // The program a requested restart starts (empty: this one) and the
    // process it waits for first (0: this one).
    wxString restartExecutable;
    long restartWaitPid = 0;

private:
    struct CatalogueEntry {
        CFileInfo* first = nullptr;      // first item with the id
        CFileInfo* firstBasic = nullptr; // first one in "Basic Mode"
        CFileInfo* firstOther = nullptr; // first one outside it
    };
    CFileInfo* LookUp(CFileInfo& out, const wxString& id, int filter);
    void ShowSplash();
    // Releases what a start-up that fails has taken.
    void AbandonStartup();
    std::unordered_map<wxString, CatalogueEntry> m_catalogueIndex;
    bool m_catalogueIndexed = false;
    unsigned long m_indexedVersion = 0;

public:
    // --- position text (PositionText.cpp)
    // Text form of a position: "%3.2f" of the absolute value and a hemisphere
    // letter; the longitude comes first.
    // (app/PositionText.h holds them for code below the application object.)
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

    // --- editions and service login (Registry.cpp)
    static bool IsRace(class CRegistry& settings);
    static bool IsRace();
    static bool IsInstalledEventVersion();
    static bool MakeEventNameUserPrefix(wxString& prefix, class CRegistry& settings);
    static bool GetLoginNameAndPassword(class CRegistry& settings, wxString& login, wxString& password);

    // --- local file resolution and viewer paths (LocalFiles.cpp)
    // `name` with every "/" replaced by "-".
    static wxString ReplaceBadFilenameChars(const wxString& name);
    // For an interactive request inserts "._lat=lon=width_" (one decimal each)
    // before the first "." after the first "=>"; returns `interactive`.
    static bool MakeInteractiveFileName(bool interactive, float width, float lat, float lon, wxString& name);
    // The local name pattern of a server-side name: its base name and ".*".
    static wxString BuildWildcardFileName(bool interactive, float width, float lat, float lon,
                                          const wxString& serverName);
    // The file in `folder` that holds the item: the exact name when it exists,
    // else the first by name of the files of the same base with any extension
    // (a plain request never takes an interactive copy); empty when none.
    static wxString GetMatchingFilePath(bool interactive, float width, float lat, float lon,
                                        const wxString& folder, const wxString& serverName);
    // The local copy of a batch item, with the batch's area.
    static wxString GetFilePath(class CBatch* batch, const wxString& folder, const wxString& serverName);
    // The partial or received file of a transfer entry, in its "tmp" folder.
    static wxString GetFilePath(class CFileList& list, int index);
    // "%y-%m-%d %H:%M" (local time) of the local copy, or "  N/A   ".
    static wxString GetDiskDate(class CBatch* batch, wxString folder, wxString serverName, class wxDateTime& date);
    // Viewer programs and applications; empty when not installed.
    static wxString GetWSPath();
    static wxString GetIsobarionPath();
    static wxString GetIFVAppPath();
    static wxString GetPreviewAppPath();
    static wxString GetTXTAppPath();

    // --- dialer program launch and dialer version (AutoDialer.cpp)
public:
    // Starts the dialer program (found as "TALVOMail.app" or "zozor.app",
    // program "dizoduv") in its resources folder; with `settings` asks it to
    // open its settings, which only dialers from version 3.82 on understand.
    // False (with a warning) when the program is not installed.
    bool OpenAutoDialerService(bool settings);
    // Starts asking the dialer service for its version and returns at once:
    // true when the version is already known or the query was started. The
    // answer arrives later on the main thread; nothing ever waits for it.
    // `serviceName` is the connection type the service is named by in messages.
    bool QueryAutodialerStatus(class CRegistry& settings, const wxString& serviceName);
    // Ends a running version query and closes the client (the result of its Close).
    bool TerminateAutodialerStatus();
    void OnVersionAutodialerConnect(wxCommandEvent& event);
    void OnVersionAutodialerResponse(wxCommandEvent& event);
    void OnVersionAutodialerDisconnect(wxCommandEvent& event);
    // The text of a socket error code (wxSocketError) for messages.
    static wxString SocketErrorToString(int error);

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
    // (may be null) is the position sent with the request.
    bool FileTransferStart(class CActiveFileList& files, wxEvtHandler* handler, wxObjectEventFunction method,
                           int mode, HomePosition* area);
    // Adds one file to `list`; false when it is skipped (its download folder
    // is missing and the user declines its creation, or it cannot be made).
    static bool ScheduleFileTransferEx(CFileList& list, const wxString& serverPath, const wxString& folder,
                                       const wxString& compression, const wxString& price, bool interactive,
                                       float width, float lat, float lon);
    // The done-handlers' half: hands the area that was sent back through
    // `area` (valid only when the window changed it) and, after a transfer
    // that ended well, records where each received file landed, runs the
    // after-download processing and puts the paths on the clipboard.
    void FileTransferEpilogue(class CActiveFileList& files, bool ok, HomePosition* area);
    // Gives the first active file with that server path and no local path
    // yet the local path; returns its index, or the count when none matches.
    static int InsertLocalPath(class CActiveFileList& files, const wxString& serverPath, const wxString& localPath);
    // The global download folder (batch row 0) and setting it (with alsoBasic
    // also the Basic batch's folder, "Basic Batch" inside it).
    wxString GetTransferFolder();
    void SetTransferFolder(wxString folder, bool alsoBasic);
    // Opens the local copy of catalogue item `id` as an item of batch
    // `batchId`, the way the after-download processing would (ViewItem.cpp).
    void ViewItemGlobal(wxString id, int batchId);

    CFileList transferList;             // the files of the current (or last) transfer

    // --- Library batches list row (catalogue/BatchFile.cpp)
    // Writes one batch into the Library window's batches list: a new last row
    // when row < 0, else that row in place. Does nothing without the list.
    bool AddEditBatchToBatchesListCtrl(class CBatch* batch, long row);

    // --- product-database update flow (UpdateFlow.cpp)
    // Shows the update dialog; after a check that found newer databases
    // downloads them into the updates folder (transfer mode 3), after an
    // import from disk offers the restart. Returns once the dialog closed
    // and, when a download follows, once its transfer window is shown.
    void OnUpdateDB();
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
