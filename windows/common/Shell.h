// What the windows ask of the application object, and what the two share.
//
// The windows never name the application object: it implements this and
// installs itself at start-up (InstallShell); window code reaches it through
// TheShell(). Tests that run windows without the application install a
// small one of their own.
#pragma once

#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/event.h>
#include <wx/string.h>

#include "core/DownloadPreferences.h"
#include "core/HomePosition.h"
#include "engine/gps/GPSQuery.h"
#include "model/FileInfo.h"

class wxFrame;
class wxListCtrl;
class wxSQLite3Database;
class wxTreeCtrl;
class CActiveFileList;
class CBatch;
class CRegistry;

// What became of the files of the last transfer (FileTransferEpilogue).
struct TransferOutcome {
    bool ran = false;               // a transfer was run in the window (Go pressed)
    bool complete = false;          // every scheduled file arrived whole and was placed
    wxArrayString arrived;          // final paths of the files placed in this transfer
    wxArrayString missing;          // server-side names of the files that did not arrive
    wxArrayString keptCombined;     // combined GRIB files left as they were
    wxString notice;                // what the user is told; empty when the transfer ran complete or did not run
};

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

namespace tw {

// The view modes and their windows, as the settings store them.
extern const wxString kModeBasic;     // "Basic"
extern const wxString kModeLibrary;   // "Batch"
extern const wxString kModePortal;    // "LoadWindow"

class Shell
{
public:
    virtual ~Shell() = default;

    // --- window modes, help, first run
    virtual void ChangeWindowMode(const wxString& mode) = 0;
    // Writes the view mode to the settings file now (the first run is over).
    virtual void RecordViewMode() = 0;
    virtual void ShowHelpViewer(__help_section_id section) = 0;
    // The product-database update flow (update dialog, download, restart).
    virtual void OnUpdateDB() = 0;

    // --- transfers
    // Opens the modal transfer window for the active files and returns at
    // once; the end arrives as wxEVT_TRANSFER_DONE on `handler`'s `method`.
    // Modes: 0 Basic window, 1 Portal and wizard, 2 Library, 3 update.
    // False only when the caller has to tell that the window could not be
    // made; a refusal this call has told already (the previous transfer has
    // not ended) gives true and no window.
    virtual bool FileTransferStart(CActiveFileList& files, wxEvtHandler* handler, wxObjectEventFunction method,
                                   int mode, HomePosition* area) = 0;
    // The done-handlers' half, once the transfer's worker has ended.
    virtual void FileTransferEpilogue(CActiveFileList& files, bool ok, HomePosition* area) = 0;
    virtual const TransferOutcome& LastTransferOutcome() const = 0;
    // The global download folder (batch row 0); with alsoBasic also the
    // Basic batch's folder.
    virtual wxString GetTransferFolder() = 0;
    virtual void SetTransferFolder(wxString folder, bool alsoBasic) = 0;

    // --- items and batches
    // Opens the local copy of catalogue item `id` as an item of batch `batchId`.
    virtual void ViewItemGlobal(wxString id, int batchId) = 0;
    // The batch properties dialog: wxID_OK after writing the answers into
    // the record, 0 when the user cancelled.
    virtual int BatchDialog(CBatch* batch, bool isNew) = 0;
    // Writes one batch into the Library window's batches list (a new last
    // row when row < 0); nothing without the list.
    virtual bool AddEditBatchToBatchesListCtrl(CBatch* batch, long row) = 0;

    // --- the catalogue
    // The catalogue's own item with this file id, or null; on a match `out`
    // gets a copy of it.
    virtual CFileInfo* FindFileInfo(CFileInfo& out, const wxString& id) = 0;
    // The same, counting only items outside (skipBasic) or inside "Basic Mode".
    virtual CFileInfo* FindFileInfoFilteredBasic(CFileInfo& out, const wxString& id, bool skipBasic) = 0;

    // --- home positions
    virtual void UpdateHomePosition() = 0;
    virtual void SetBasicHomePosition(double lat, double lon, int width) = 0;
    virtual void ClearBasicHomePosition() = 0;
    virtual bool HasBasicHomePosition() const = 0;
    virtual bool GetBasicHomePosition(HomePosition& out) const = 0;

    // --- the dialer service
    virtual bool OpenAutoDialerService(bool settings) = 0;
    virtual bool QueryAutodialerStatus(CRegistry& settings, const wxString& serviceName) = 0;

    // --- the open databases (null when not open; main thread only)
    virtual wxSQLite3Database* GetProductDb() const = 0;
    virtual wxSQLite3Database* GetUserDb() const = 0;
    virtual wxSQLite3Database* GetMarineZonesDb() const = 0;

    // --- kept by the application, read and written by the windows
    wxFrame* topWindow = nullptr;   // the main window of the current mode
    CProductTypeArray catalogue;
    DLPrefs dlPrefs;
    CGPSQuery gpsQuery;
    HomePosition homePosition;
    wxBitmap worldMapBitmap;
    wxBitmap worldMapAntiBitmap;
    bool firstRun = false;

    // --- the Library window's lists while it is up (null otherwise), their
    // sort state and the catalogue item being dragged
    wxListCtrl* sortedItemsListCtrl = nullptr;
    ListSortInfo itemsListSortInfo;
    ListSortInfo batchesListSortInfo;
    CFileInfo* draggedFileInfo = nullptr;
    wxTreeCtrl* catalogueTreeCtrl = nullptr;
    wxListCtrl* batchesListCtrl = nullptr;
    wxListCtrl* batchItemsListCtrl = nullptr;
};

// The installed shell (the application object in the program). Reaching it
// before one is installed is a programming error.
Shell& TheShell();
// Installs `shell` (null uninstalls); returns the one installed before.
Shell* InstallShell(Shell* shell);

} // namespace tw
