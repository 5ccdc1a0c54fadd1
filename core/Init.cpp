// Where the program's files live, the seed databases of a first run, the
// installation of downloaded database updates and the race edition's archive
// copy of the catalogue.
#include "core/Init.h"

#include <sys/stat.h>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/wxsqlite3.h>

// After the wrapper, whose names some of SQLite's macros would replace.
#include <sqlite3.h>

#include "core/QueryBudget.h"
#include "core/SqliteHandle.h"
#include "platform/AppLookup.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"

namespace {

const wxString kWeatherFiles = wxS("Weather Files");
const wxString kBatches = wxS("Batches");
const wxString kDbFolder = wxS("DB");
const wxString kUpdatesFolder = wxS("Updates");
const wxString kProductDb = wxS("zir.db");
const wxString kUserDb = wxS("zir_user.db");
const wxString kMarineZonesDb = wxS("MarineZones.db");
const wxString kBz2 = wxS(".bz2");

wxULongLong FileSize(const wxString& path)
{
    wxStructStat st;
    if (wxStat(path, &st) != 0)
        return 0;
    return wxULongLong(static_cast<wxULongLong_t>(st.st_size));
}

// Copies src to dst by way of a temporary file beside dst, so that dst is
// either absent (or unchanged) or complete: a copy cut short never leaves a
// half-written database under the real name.
bool CopyFileWhole(const wxString& src, const wxString& dst, bool overwrite)
{
    if (!overwrite && wxFileExists(dst))
        return false;
    const wxString tmp = dst + wxS(".part");
    if (wxFileExists(tmp))
        wxRemoveFile(tmp);
    if (!wxCopyFile(src, tmp, true)) {
        if (wxFileExists(tmp))
            wxRemoveFile(tmp);
        return false;
    }
    if (!wxRenameFile(tmp, dst, overwrite)) {
        wxRemoveFile(tmp);
        return false;
    }
    return true;
}

// A pending update that cannot be installed is renamed aside so that it is
// not tried again at every start.
void MoveAsideBadUpdate(const wxString& pending, const wxString& why)
{
    const wxString bad = pending + wxS(".bad");
    if (wxRenameFile(pending, bad, true))
        wxLogError("The downloaded database update %s cannot be installed (%s); it was moved to %s "
                   "and the installed database stays in use.",
                   pending, why, bad);
    else
        wxLogError("The downloaded database update %s cannot be installed (%s) and could not be moved "
                   "aside; the installed database stays in use.",
                   pending, why);
}

// Copies the selected flags of the installed marine-zones database into the
// pending one, keyed by StationID and zcode. Throws wxSQLite3Exception.
void CarryOverSelections(wxSQLite3Database& pending, wxSQLite3Database& installed)
{
    pending.Begin();
    pending.ExecuteUpdate("UPDATE Buoys SET selected=0 WHERE 1");
    {
        wxSQLite3Statement set = pending.PrepareStatement("UPDATE Buoys SET selected=1 WHERE StationID=?");
        wxSQLite3ResultSet rows = installed.ExecuteQuery("SELECT StationID FROM Buoys WHERE selected=1");
        while (rows.NextRow()) {
            set.Bind(1, rows.GetAsString(0));
            set.ExecuteUpdate();
            set.Reset();
        }
    }
    pending.ExecuteUpdate("UPDATE MZones SET selected=0 WHERE 1");
    {
        wxSQLite3Statement set = pending.PrepareStatement("UPDATE MZones SET selected=1 WHERE zcode=?");
        wxSQLite3ResultSet rows = installed.ExecuteQuery("SELECT zcode FROM MZones WHERE selected=1");
        while (rows.NextRow()) {
            set.Bind(1, rows.GetAsString(0));
            set.ExecuteUpdate();
            set.Reset();
        }
    }
    pending.Commit();
}

void CloseQuietly(wxSQLite3Database& db)
{
    try {
        if (db.IsOpen())
            db.Close();
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s", e.GetMessage());
    }
}

} // namespace

void SetNormalFilePermissions(const wxString& path)
{
    chmod(path.fn_str(), 0644);
}

// ---------------------------------------------------------------- folders

bool MkDirTree(const wxString& path)
{
    if (wxDirExists(path))
        return true;
    wxStringTokenizer pieces(path, wxS("/\\"), wxTOKEN_RET_EMPTY_ALL);
    wxString sofar;
    while (pieces.HasMoreTokens()) {
        sofar += pieces.GetNextToken();
        sofar += wxFILE_SEP_PATH;
        if (!wxDirExists(sofar) && !wxMkdir(sofar, 0777))
            return false;
    }
    return true;
}

bool CInit::MakeFolderIfNotExist(const wxString& path)
{
    if (wxDirExists(path) || MkDirTree(path))
        return true;
    wxLogError("Failed to create directory.");
    return false;
}

wxString CInit::GetDefaultTransferFolder()
{
    const wxString dir = tw::DocumentsDir() + wxS("/") + kWeatherFiles;
    MakeFolderIfNotExist(dir);
    return dir;
}

wxString CInit::GetDefaultBatchFolder()
{
    const wxString dir = GetDefaultTransferFolder() + wxS("/") + kBatches;
    MakeFolderIfNotExist(dir);
    return dir;
}

wxString CInit::GetUserDBDir()
{
    const wxString dir = tw::UserDataDir() + wxS("/") + kDbFolder;
    MakeFolderIfNotExist(dir);
    return dir;
}

wxString CInit::GetProductDBUpdatesDir()
{
    const wxString dir = GetUserDBDir() + wxS("/") + kUpdatesFolder;
    MakeFolderIfNotExist(dir);
    return dir;
}

wxString CInit::GetProductDBPath() { return GetUserDBDir() + wxS("/") + kProductDb; }
wxString CInit::GetMarineZonesDBPath() { return GetUserDBDir() + wxS("/") + kMarineZonesDb; }
wxString CInit::GetUserDBPath() { return GetUserDBDir() + wxS("/") + kUserDb; }
wxString CInit::GetProductDBUpdatesPath() { return GetProductDBUpdatesDir() + wxS("/") + kProductDb; }
wxString CInit::GetMarineZonesDBUpdatesPath() { return GetProductDBUpdatesDir() + wxS("/") + kMarineZonesDb; }

wxString CInit::GetProductDBFileName() { return kProductDb; }
wxString CInit::GetMarineZonesDBFileName() { return kMarineZonesDb; }
wxString CInit::GetUserDBFileName() { return kUserDb; }
wxString CInit::GetProductBZ2FileName() { return kProductDb + kBz2; }
wxString CInit::GetMarineZonesBZ2FileName() { return kMarineZonesDb + kBz2; }
wxString CInit::GetProductBZ2RivolName() { return wxS("/") + kProductDb + kBz2; }
wxString CInit::GetMarineZonesBZ2RivolName() { return wxS("/") + kMarineZonesDb + kBz2; }
wxString CInit::GetApplicationsDir() { return tw::SystemAppsDir(); }

wxString CInit::SafeFolderComponent(const wxString& title, long id)
{
    wxString name;
    name.reserve(title.length());
    for (wxUniChar c : title) {
        const wxUint32 code = c.GetValue();
        name += (c == '/' || c == '\\' || code < 32 || code == 127) ? wxUniChar('_') : c;
    }
    name.Trim(true).Trim(false);
    if (name.empty() || name == wxS(".") || name == wxS(".."))
        name = wxString::Format("Batch %ld", id);
    return name;
}

// ---------------------------------------------------------------- start-up

bool CInit::InitializeAppFolders()
{
    tw::ApplyAppIdentity();

    const wxString resources = tw::ResourcesDir();
    if (!wxDirExists(resources) || !wxSetWorkingDirectory(resources)) {
        wxLogError("Failed to set working directory to %s", resources);
        return false;
    }

    MakeFolderIfNotExist(tw::DocumentsDir() + wxS("/") + kWeatherFiles);

    const wxString dbDir = GetUserDBDir();
    for (const wxString& name : {kUserDb, kProductDb, kMarineZonesDb}) {
        const wxString target = dbDir + wxS("/") + name;
        if (wxFileName::Exists(target))
            continue;
        const wxString seed = resources + wxS("/") + name;
        if (!wxFileExists(seed) || !CopyFileWhole(seed, target, false)) {
            wxLogError("Failed to install the database %s from %s into %s.", name, seed, dbDir);
            return false;
        }
        SetNormalFilePermissions(target);
    }
    return true;
}

// ---------------------------------------------------------------- updates

bool CInit::IsPlainTable(wxSQLite3Database& db, const wxString& table, wxString* why)
{
    auto refuse = [&](const wxString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    wxSQLite3Statement find = db.PrepareStatement(
        "SELECT type, sql FROM sqlite_master WHERE name = ? COLLATE NOCASE AND type IN ('table', 'view')");
    find.Bind(1, table);
    wxSQLite3ResultSet found = find.ExecuteQuery();
    if (found.Eof())
        return refuse(table + wxS(" is missing"));
    const wxString type = found.GetAsString(0);
    const wxString sql = found.GetAsString(1);
    found.Finalize();
    if (type != wxS("table"))
        return refuse(table + wxS(" is a ") + type + wxS(", not a table"));
    if (sql.Upper().Trim(false).StartsWith(wxS("CREATE VIRTUAL")))
        return refuse(table + wxS(" is a virtual table"));
    // hidden: 2 for a column computed whenever it is read.
    wxSQLite3ResultSet columns = db.ExecuteQuery(wxS("PRAGMA table_xinfo(\"") + table + wxS("\")"));
    const int name = columns.FindColumnIndex("name");
    const int hidden = columns.FindColumnIndex("hidden");
    while (columns.NextRow())
        if (columns.GetInt(hidden) == 2)
            return refuse(table + wxS(" has the column ") + columns.GetAsString(name) + wxS(", computed as it is read"));
    return true;
}

const std::vector<wxString>& CInit::CatalogueColumns()
{
    static const std::vector<wxString> columns = {
        wxS("CategoryIdx"), wxS("RegionIdx"),   wxS("ChartTypeIdx"), wxS("Category"),    wxS("Region"),
        wxS("ChartType"),   wxS("FileID"),      wxS("Title"),        wxS("Path"),        wxS("File"),
        wxS("Description"), wxS("Price"),       wxS("Compression"),  wxS("RawSize"),     wxS("CompressedSize"),
        wxS("Source"),      wxS("RaceDisable"),
    };
    return columns;
}

const std::vector<wxString>& CInit::CatalogueTables()
{
    static const std::vector<wxString> tables = {
        wxS("Version"), wxS("products"), wxS("buttons"), wxS("hosts"), wxS("ports"), wxS("MetHighSeasZones"),
    };
    return tables;
}

const std::vector<wxString>& CInit::MarineZonesTables()
{
    static const std::vector<wxString> tables = {
        wxS("Version"), wxS("Buoys"), wxS("MZones"), wxS("MZonesPos"), wxS("RadarCities"),
    };
    return tables;
}

bool CInit::RunsNoWorkOfItsOwn(wxSQLite3Database& db, const std::vector<wxString>& tables, wxString* why)
{
    auto refuse = [&](const wxString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    {
        wxSQLite3ResultSet triggers =
            db.ExecuteQuery("SELECT name, tbl_name FROM sqlite_master WHERE type = 'trigger' LIMIT 1");
        if (triggers.NextRow())
            return refuse(wxS("it holds the trigger ") + triggers.GetAsString(0) + wxS(" on ") +
                          triggers.GetAsString(1));
    }
    wxSQLite3Statement find = db.PrepareStatement(
        "SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE AND type IN ('table', 'view')");
    for (const wxString& table : tables) {
        find.Bind(1, table);
        bool held = false;
        {
            wxSQLite3ResultSet found = find.ExecuteQuery();
            held = !found.Eof();
        }
        find.Reset();
        wxString reason;
        if (held && !IsPlainTable(db, table, &reason))
            return refuse(reason);
    }
    return true;
}

bool CInit::IsReadableMarineZones(wxSQLite3Database& db, wxString* why)
{
    return RunsNoWorkOfItsOwn(db, MarineZonesTables(), why);
}

namespace {

// True when a column of this declared type stores numbers as text (SQLite's
// affinity rules: "INT" first, then "CHAR", "CLOB" or "TEXT").
bool IsTextAffinity(const wxString& declared)
{
    const wxString type = declared.Upper();
    return !type.Contains(wxS("INT")) &&
           (type.Contains(wxS("CHAR")) || type.Contains(wxS("CLOB")) || type.Contains(wxS("TEXT")));
}

} // namespace

bool CInit::IsReadableCatalogue(wxSQLite3Database& db, wxString* why)
{
    wxString reason;
    for (const wxString& table : {wxString(wxS("Version")), wxString(wxS("products"))}) {
        if (!IsPlainTable(db, table, &reason)) {
            if (why)
                *why = reason;
            return false;
        }
    }
    if (!RunsNoWorkOfItsOwn(db, CatalogueTables(), why))
        return false;
    // The columns as the load finds them, in a statement that reads no row.
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM products LIMIT 0");
    for (const wxString& column : CatalogueColumns()) {
        try {
            rs.FindColumnIndex(column);
        } catch (const wxSQLite3Exception&) {
            if (why)
                *why = wxS("products has no column ") + column;
            return false;
        }
    }
    // The suggestion engine's one pass keeps, of ids the column counts as
    // equal, another one than the sub-queries joined with UNION would: ids
    // must be equal only when they are the same text.
    const char* type = nullptr;
    const char* collation = nullptr;
    const int rc = sqlite3_table_column_metadata(tw::SqliteHandle(db), "main", "products", "FileID", &type,
                                                 &collation, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw wxSQLite3Exception(rc, wxString::FromUTF8(sqlite3_errstr(rc)));
    const wxString declared = wxString::FromUTF8(type ? type : "");
    if (!IsTextAffinity(declared) || wxString::FromUTF8(collation ? collation : "").Upper() != wxS("BINARY")) {
        if (why)
            *why = wxS("products.FileID is declared \"") + declared +
                   (collation ? wxS("\" COLLATE ") + wxString::FromUTF8(collation) : wxString(wxS("\""))) +
                   wxS(", not as text compared by its bytes");
        return false;
    }
    return true;
}

bool CInit::IsUsableDatabase(const wxString& path, wxString* why)
{
    return IsUsableDatabase(path, false, why);
}

bool CInit::IsUsableCatalogue(const wxString& path, wxString* why)
{
    return IsUsableDatabase(path, true, why);
}

namespace {

// The checks of IsUsableDatabase on the open database. Throws wxSQLite3Exception.
bool PassesChecks(wxSQLite3Database& db, bool catalogue, wxString* why)
{
    auto refuse = [&](const wxString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    wxString reason;
    if (!CInit::IsPlainTable(db, wxS("Version"), &reason))
        return refuse(reason);
    wxSQLite3ResultSet check = db.ExecuteQuery("PRAGMA quick_check");
    if (!check.NextRow() || check.GetAsString(0) != wxS("ok"))
        return refuse(wxS("the integrity check failed"));
    check.Finalize();
    wxSQLite3ResultSet version = db.ExecuteQuery("SELECT Version FROM Version");
    if (!version.NextRow())
        return refuse(wxS("it has no version"));
    version.Finalize();
    return catalogue ? CInit::IsReadableCatalogue(db, why) : CInit::IsReadableMarineZones(db, why);
}

} // namespace

bool CInit::IsUsableDatabase(const wxString& path, bool catalogue, wxString* why)
{
    wxSQLite3Database db;
    bool usable = false;
    try {
        db.Open(path, wxString(), WXSQLITE_OPEN_READONLY);
        // The budget ends before the database is closed.
        tw::QueryBudget budget(db, kCheckSteps, kCheckMilliseconds);
        try {
            usable = PassesChecks(db, catalogue, why);
        } catch (const wxSQLite3Exception&) {
            if (budget.Exceeded())
                throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("checking it took too long"));
            throw;
        }
    } catch (const wxSQLite3Exception& e) {
        if (why)
            *why = e.GetMessage();
        usable = false;
    }
    CloseQuietly(db);
    return usable;
}

bool CInit::RestorePreviousDatabase(const wxString& installedPath)
{
    const wxString old = installedPath + wxS(".old");
    if (!wxFileExists(old))
        return false;
    const wxString bad = installedPath + wxS(".bad");
    if (wxFileExists(installedPath) && !wxRenameFile(installedPath, bad, true))
        return false;
    if (!wxRenameFile(old, installedPath, true)) {
        wxRenameFile(bad, installedPath, true);
        return false;
    }
    wxLogWarning("The database %s could not be opened; the previous version was put back "
                 "(the unusable file was kept as %s).",
                 installedPath, bad);
    return true;
}

bool CInit::InstallDatabaseUpdates(bool restoreArchive, OpenDatabases open)
{
    const wxString catPending = GetProductDBUpdatesPath();
    const wxString catInstalled = GetProductDBPath();
    const wxString mzPending = GetMarineZonesDBUpdatesPath();
    const wxString mzInstalled = GetMarineZonesDBPath();

    // A pending file that is not empty is due whenever its installed
    // counterpart exists: the installed database is written to while the
    // program runs, so comparing file times would pass an update over.
    const bool catIsPending = wxFileExists(catPending) && FileSize(catPending) > 0;
    if (catIsPending && open.catalogue)
        return false;
    const bool mzIsPending = wxFileExists(mzPending) && FileSize(mzPending) > 0;
    if (mzIsPending && open.marineZones)
        return false;

    bool catDue = catIsPending && wxFileExists(catInstalled);
    bool mzDue = mzIsPending && wxFileExists(mzInstalled);

    wxString why;
    if (catDue && !IsUsableCatalogue(catPending, &why)) {
        MoveAsideBadUpdate(catPending, why);
        catDue = false;
    }
    if (mzDue && !IsUsableDatabase(mzPending, &why)) {
        MoveAsideBadUpdate(mzPending, why);
        mzDue = false;
    }

    bool replaced = false;
    if (catDue) {
        const wxString old = catInstalled + wxS(".old");
        if (!wxRenameFile(catInstalled, old, true)) {
            wxLogError("Backup of old product database failed prior to install of new version.");
            return false;
        }
        if (!CopyFileWhole(catPending, catInstalled, false)) {
            wxLogError("Failed to install new product database file - restoring previous version.");
            wxRenameFile(old, catInstalled, true);
            return false;
        }
        SetNormalFilePermissions(catInstalled);
        wxRemoveFile(catPending);
        ArchiveProductDB(true);
        replaced = true;
    } else if (restoreArchive) {
        RestoreProductDB();
    }

    if (mzDue) {
        wxSQLite3Database pending;
        wxSQLite3Database installed;
        try {
            pending.Open(mzPending, wxString(), WXSQLITE_OPEN_READWRITE);
            installed.Open(mzInstalled, wxString(), WXSQLITE_OPEN_READONLY);
            CarryOverSelections(pending, installed);
            pending.Close();
            installed.Close();
        } catch (const wxSQLite3Exception& e) {
            tw::MessageBox("Failed to copy user values for MarineZones database (" + mzPending +
                               ") - previous database will be used.",
                           "Notice", wxOK | wxICON_ERROR);
            wxLogError("%s", e.GetMessage());
            CloseQuietly(pending);
            CloseQuietly(installed);
            return false;
        }
        const wxString old = mzInstalled + wxS(".old");
        if (!wxRenameFile(mzInstalled, old, true)) {
            wxLogError("Backup of old marine zones database file failed prior to install of new version.");
            return false;
        }
        if (!CopyFileWhole(mzPending, mzInstalled, false)) {
            wxLogError("Failed to install new marine zones database file - restoring previous version.");
            wxRenameFile(old, mzInstalled, true);
            return false;
        }
        SetNormalFilePermissions(mzInstalled);
        wxRemoveFile(mzPending);
        replaced = true;
    }
    return replaced;
}

// ---------------------------------------------------------------- race archive

wxString CInit::GetProductDBArchivePath()
{
    return GetProductDBPath() + wxS(".ar");
}

void CInit::ArchiveProductDB(bool refresh)
{
    const wxString catalogue = GetProductDBPath();
    const wxString archive = catalogue + wxS(".ar");
    if (wxFileExists(archive) != refresh)
        return;
    if (!CopyFileWhole(catalogue, archive, true))
        wxLogError("Failed to make archive copy of %s", kProductDb);
    const wxString stale = catalogue + wxS(".rs");
    if (wxFileExists(stale))
        wxRemoveFile(stale);
}

bool CInit::RestoreProductDB()
{
    const wxString catalogue = GetProductDBPath();
    const wxString backup = catalogue + wxS(".bk");
    const wxString archive = catalogue + wxS(".ar");
    if (wxFileExists(backup))
        wxRemoveFile(backup);
    if (!wxFileExists(archive))
        return false;
    if (!wxRenameFile(catalogue, backup, true)) {
        wxLogError("Backup of current product database %s failed during restore operation.", kProductDb);
        return false;
    }
    if (CopyFileWhole(archive, catalogue, false)) {
        wxRemoveFile(archive);
        return true;
    }
    wxLogError("Restore of product database %s failed - reinstalling previous version from backup.", kProductDb);
    wxRenameFile(backup, catalogue, true);
    return false;
}

void CInit::CleanupProductDBArchive()
{
    const wxString archive = GetProductDBArchivePath();
    if (wxFileExists(archive))
        wxRemoveFile(archive);
}

// ---------------------------------------------------------------- applications

bool CInit::GetInstalledApplicationPath(const wxString& bundleName, wxString& path,
                                        const wxString& executableName, wxString* resourcesDir)
{
    path.clear();
    const tw::FoundApp found = executableName.empty() ? tw::FindApplication(bundleName)
                                                      : tw::FindApplication(bundleName, executableName);
    if (!found.found)
        return false;
    path = found.bundle;
    if (resourcesDir && !found.resourcesDir.empty())
        *resourcesDir = found.resourcesDir + wxS("/");
    if (!executableName.empty())
        path = found.executable;
    return !path.empty();
}

wxString CInit::GetZozorDialerPath(wxString& resourcesDir)
{
    for (const wxString& bundle : {wxString(wxS("TALVOMail.app")), wxString(wxS("zozor.app"))}) {
        wxString path;
        if (GetInstalledApplicationPath(bundle, path, wxS("dizoduv"), &resourcesDir))
            return path;
    }
    return wxString();
}
