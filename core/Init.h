// Application folders, seed databases and the start-up steps that read and
// adjust the settings.
#pragma once

#include <vector>

#include <wx/string.h>

#include "core/Registry.h"

class wxSQLite3Database;

class CInit
{
public:
    // --- folders, seed databases, pending updates, race archive (Init.cpp)
    // Every operation is static and keeps no state: answers are worked out
    // from the platform's folders and the file system each time, and a
    // folder is created when somebody asks for it (a failure is only logged).

    // Start-up: vendor name, working directory (the resources folder),
    // download root and the seed databases. False ends the start.
    static bool InitializeAppFolders();
    // True when the folder exists or was created; else logs "Failed to create directory.".
    static bool MakeFolderIfNotExist(const wxString& path);

    static wxString GetDefaultTransferFolder();   // Documents/Weather Files
    static wxString GetDefaultBatchFolder();      // .../Weather Files/Batches
    static wxString GetUserDBDir();               // <user data>/DB
    static wxString GetProductDBUpdatesDir();     // <user data>/DB/Updates
    static wxString GetProductDBPath();           // DB/zir.db
    static wxString GetMarineZonesDBPath();       // DB/MarineZones.db
    static wxString GetUserDBPath();              // DB/zir_user.db
    static wxString GetProductDBUpdatesPath();    // DB/Updates/zir.db
    static wxString GetMarineZonesDBUpdatesPath();// DB/Updates/MarineZones.db

    static wxString GetProductDBFileName();       // "zir.db"
    static wxString GetMarineZonesDBFileName();   // "MarineZones.db"
    static wxString GetUserDBFileName();          // "zir_user.db"
    static wxString GetProductBZ2FileName();      // "zir.db.bz2"
    static wxString GetMarineZonesBZ2FileName();  // "MarineZones.db.bz2"
    static wxString GetProductBZ2RivolName();     // "/zir.db.bz2"
    static wxString GetMarineZonesBZ2RivolName(); // "/MarineZones.db.bz2"
    static wxString GetApplicationsDir();
    // A batch title as the name of one folder: separators and control
    // characters become "_", surrounding blanks go; an empty result, "." or
    // ".." gives "Batch <id>".
    static wxString SafeFolderComponent(const wxString& title, long id);

    // Which of the replaceable databases the caller has open.
    struct OpenDatabases {
        bool catalogue = false;
        bool marineZones = false;
    };
    // Installs pending database updates (before any database is open: a
    // pending update of a database that is open installs nothing). A
    // non-empty pending file is checked to be a database with a Version row
    // first; a bad one is moved aside to <pending>.bad. restoreArchive: put
    // the race archive back when no new catalogue is installed. True when at
    // least one database was replaced and no step failed.
    static bool InstallDatabaseUpdates(bool restoreArchive, OpenDatabases open);
    static bool InstallDatabaseUpdates(bool restoreArchive) { return InstallDatabaseUpdates(restoreArchive, {}); }
    // True when `path` opens read-only as a sound marine-zones database
    // whose Version is a table with a row (IsReadableMarineZones). The check
    // is bounded (kCheckSteps, kCheckMilliseconds): a file that would take
    // longer is not usable.
    static bool IsUsableDatabase(const wxString& path, wxString* why = nullptr);
    // As IsUsableDatabase, for a catalogue the load can read (IsReadableCatalogue).
    static bool IsUsableCatalogue(const wxString& path, wxString* why = nullptr);
    // True when the open catalogue's Version and products are ordinary tables
    // (no view, no virtual table, no column computed as it is read), so is
    // every other table the program reads from it that it holds
    // (CatalogueTables), it holds no trigger, products has every column the
    // load reads (CatalogueColumns) and its FileID is declared as text
    // compared by its bytes (the suggestion engine's one pass over products
    // gives the rows of its UNION only then); reads no row of products.
    // Throws wxSQLite3Exception.
    static bool IsReadableCatalogue(wxSQLite3Database& db, wxString* why = nullptr);
    // True when every table the program reads from the open marine-zones
    // database that it holds (MarineZonesTables) is an ordinary table and it
    // holds no trigger. Throws wxSQLite3Exception.
    static bool IsReadableMarineZones(wxSQLite3Database& db, wxString* why = nullptr);
    // True when the database holds no trigger and each of `tables` that it
    // holds is an ordinary table (IsPlainTable): no statement of the program
    // on them runs work of the file's own, which may never end. Throws
    // wxSQLite3Exception.
    static bool RunsNoWorkOfItsOwn(wxSQLite3Database& db, const std::vector<wxString>& tables,
                                   wxString* why = nullptr);
    // The tables the program reads from the catalogue and from MarineZones.db.
    static const std::vector<wxString>& CatalogueTables();
    static const std::vector<wxString>& MarineZonesTables();
    // True when `table` is an ordinary table that can be read row by row: not
    // a view (whose query may never end), not a virtual table, and without
    // columns computed as they are read. Throws wxSQLite3Exception.
    static bool IsPlainTable(wxSQLite3Database& db, const wxString& table, wxString* why = nullptr);
    // The columns of products the catalogue load reads.
    static const std::vector<wxString>& CatalogueColumns();
    // Bounds of checking a database from outside, in SQLite steps and in
    // time: some 7 times what checking a catalogue of 300,000 items takes
    // (about 14 million steps, a third of a second), and only seconds.
    static constexpr long long kCheckSteps = 100000000LL;
    static constexpr long kCheckMilliseconds = 5000;
    // Puts <installed>.old back over an installed database that fails to open.
    static bool RestorePreviousDatabase(const wxString& installedPath);

    // The race archive (catalogue path + ".ar").
    static wxString GetProductDBArchivePath();
    static void ArchiveProductDB(bool refresh);
    static bool RestoreProductDB();
    static void CleanupProductDBArchive();

    // Installed applications (viewers, the dialer program).
    static bool GetInstalledApplicationPath(const wxString& bundleName, wxString& path,
                                            const wxString& executableName = wxString(),
                                            wxString* resourcesDir = nullptr);
    static wxString GetZozorDialerPath(wxString& resourcesDir);

    // --- settings at start-up (InitSettings.cpp)
    // Reads General/DefaultView (empty when absent) into viewMode; always true.
    static bool InitializeAppSettings(CRegistry& settings, wxString& viewMode);
    // Parks, clears or restores the service login when the installation's
    // edition differs from the last run's, then records the current edition.
    static bool PerformEventModeSwitch(CRegistry& settings, t_evtype previous, t_evtype current);

private:
    static bool IsUsableDatabase(const wxString& path, bool catalogue, wxString* why);
};

// Sets a file's permission bits to 0644.
void SetNormalFilePermissions(const wxString& path);
// Creates every missing folder of path; false when one cannot be made.
bool MkDirTree(const wxString& path);
