#include "model/BatchDB.h"

#include <wx/log.h>
#include <wx/wxsqlite3.h>

#include "core/Numbers.h"
#include "model/CatalogueIndex.h"

// ------------------------------------------------------------ statement pieces

wxString SqlEscape(const wxString& text)
{
    wxString out;
    out.reserve(text.length() + 2);
    for (wxUniChar c : text) {
        out += c;
        if (c == '\'')
            out += c;
    }
    return out;
}

wxString SqlInt(long value)
{
    return wxString::Format("%ld", value);
}

wxString SqlReal(double value)
{
    return tw::FormatFixed(value, 6);
}

// Seconds since 1970-01-01 00:00 UTC as stored in `create_date`: -1 for an
// invalid date, one before the epoch, or one that does not fit.
long long StoredSeconds(const wxDateTime& date)
{
    if (!date.IsValid())
        return -1;
    const wxLongLong ms = date.GetValue();
    if (ms < 0)
        return -1;
    const long long seconds = (ms / 1000).GetValue();
    if (seconds >= 2147483647LL)
        return -1;
    return seconds;
}

namespace {

const char kAllBatchItems[] = "ALL_BATCH_ITEMS";

// A savepoint around a run of statements: rolled back unless released.
// Savepoints nest inside a caller's own transaction.
class Savepoint
{
public:
    Savepoint(wxSQLite3Database& db, const char* name) : m_db(db), m_name(name)
    {
        m_db.Savepoint(m_name);
    }
    ~Savepoint()
    {
        if (m_open) {
            try {
                m_db.Rollback(m_name);
                m_db.ReleaseSavepoint(m_name);
            } catch (const wxSQLite3Exception&) {
                // The statement that failed already told the caller.
            }
        }
    }
    void Release()
    {
        m_db.ReleaseSavepoint(m_name);
        m_open = false;
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

private:
    wxSQLite3Database& m_db;
    wxString m_name;
    bool m_open = true;
};

wxDateTime FromStoredSeconds(wxLongLong seconds)
{
    return wxDateTime(seconds * 1000);
}

} // namespace

// ------------------------------------------------------------------- the store

CBatchFolder* CBatchFolder::Instance()
{
    // Created on first use and deliberately never destroyed.
    static CBatchFolder* store = new CBatchFolder;
    return store;
}

CBatchFolder::~CBatchFolder() = default;

wxSQLite3Database& CBatchFolder::Db() const
{
    if (!m_db || !m_db->IsOpen())
        throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The user database is not open."));
    return *m_db;
}

void CBatchFolder::ReadItems(CBatch& batch, int id)
{
    wxSQLite3ResultSet rs =
        Db().ExecuteQuery("SELECT productID,status FROM batch_items  WHERE batchID = " + SqlInt(id));
    CFileInfo found;
    while (rs.NextRow()) {
        const wxString productId = rs.GetAsString("productID");
        if (!m_catalogue || !m_catalogue->Find(found, productId))
            continue;
        found.info.status = rs.GetInt("status", 0);
        batch.items.Add(found);
    }
}

CBatch CBatchFolder::ResultSetToBatch(wxSQLite3ResultSet& set, int id)
{
    CBatch batch;
    CBatch::t_batch& b = batch.info;
    if (set.Eof()) {
        // No current row: every column reads as its default.
        b.title.clear();
        b.description.clear();
        b.create_date = FromStoredSeconds(0);
        b.status = b.runstat = b.args = b.bCombineGribs = b.bInteractive = b.runwexpg = 0;
        b.width = b.lat = b.lon = b.version = 0.0f;
        b.application.clear();
        b.folder.clear();
        b.gribfile.clear();
    } else {
        b.version = static_cast<float>(set.GetDouble("version", 0.0));
        b.description = set.GetAsString("description");
        b.title = set.GetAsString("title");
        b.create_date = FromStoredSeconds(set.GetInt64("create_date", 0));
        b.status = set.GetInt("status", 0);
        b.application = set.GetAsString("application");
        b.args = set.GetInt("args", 0);
        b.bCombineGribs = set.GetInt("bCombineGribs", 0);
        b.folder = set.GetAsString("folder");
        b.gribfile = set.GetAsString("gribfile");
        b.bInteractive = set.GetInt("bInteractive", 0);
        b.lat = static_cast<float>(set.GetDouble("lat", 0.0));
        b.lon = static_cast<float>(set.GetDouble("lon", 0.0));
        b.width = static_cast<float>(set.GetDouble("width", 0.0));
        b.runstat = set.GetInt("runstat", 0);
        b.runwexpg = set.GetInt("runwexpg", 0);
    }
    b.ID = id;
    ReadItems(batch, id);
    return batch;
}

CBatch CBatchFolder::GetBatchByIndex(int id)
{
    wxSQLite3ResultSet rs = Db().ExecuteQuery("SELECT * FROM batches WHERE ID = " + SqlInt(id));
    rs.NextRow();
    return ResultSetToBatch(rs, id);
}

void CBatchFolder::GetActiveFileList(CActiveFileList& list, int mode)
{
    const char* sql = nullptr;
    switch (mode) {
    case kBasicMode:
        sql = "SELECT * FROM batches WHERE (status=1) AND (ID = 1)";
        break;
    case kWizardMode:
        sql = "SELECT * FROM batches WHERE (ID = 2)";
        break;
    case kLibraryMode:
        sql = "SELECT * FROM batches WHERE (status=1) AND (ID > 1)";
        break;
    default:
        return;
    }
    wxSQLite3ResultSet rs = Db().ExecuteQuery(sql);
    while (rs.NextRow()) {
        const long id = tw::LeadingLong(rs.GetAsString("ID"));
        const CBatch batch = ResultSetToBatch(rs, static_cast<int>(id));
        batch.GetActiveFiles(list);
    }
}

int CBatchFolder::AddBatch(CBatch* batch, int id)
{
    wxCHECK_MSG(batch, -1, "AddBatch needs a batch");
    CBatch::t_batch& b = batch->info;

    wxString sql;
    if (id < 0) {
        sql << "INSERT INTO batches (title,description,create_date,status,runstat,application,args,folder,"
               "bCombineGribs,gribfile,bInteractive,width,lat,lon,runwexpg,version) VALUES ('"
            << SqlEscape(b.title) << "','" << SqlEscape(b.description) << "','"
            << wxString::Format("%lld", StoredSeconds(b.create_date)) << "',"
            << SqlInt(b.status) << "," << SqlInt(b.runstat) << ",'" << SqlEscape(b.application) << "',"
            << SqlInt(b.args) << ",'" << SqlEscape(b.folder) << "'," << SqlInt(b.bCombineGribs) << ",'"
            << SqlEscape(b.gribfile) << "'," << SqlInt(b.bInteractive) << "," << SqlReal(b.width) << ","
            << SqlReal(b.lat) << "," << SqlReal(b.lon) << "," << SqlInt(b.runwexpg) << "," << "3.05" << ")";
    } else {
        sql << "UPDATE batches SET ";
        if (!b.title.empty())
            sql << "description='" << SqlEscape(b.description) << "',";
        sql << "status=" << SqlInt(b.status) << ","
            << "runstat=" << SqlInt(b.runstat) << ","
            << "application='" << SqlEscape(b.application) << "',"
            << "args=" << SqlInt(b.args) << ","
            << "bCombineGribs=" << SqlInt(b.bCombineGribs) << ","
            << "gribfile='" << SqlEscape(b.gribfile) << "',"
            << "bInteractive=" << SqlInt(b.bInteractive) << ","
            << "width=" << SqlReal(b.width) << ","
            << "lat=" << SqlReal(b.lat) << ","
            << "lon=" << SqlReal(b.lon) << ","
            << "runwexpg=" << SqlInt(b.runwexpg) << ","
            << "version=" << "3.05"
            << " WHERE ID =" << SqlInt(id);
    }

    // The row and its items are written together or not at all.
    m_lastAddError.clear();
    std::unique_ptr<Savepoint> savepoint;
    int rowId = -1;
    try {
        wxSQLite3Database& db = Db();
        savepoint = std::make_unique<Savepoint>(db, "tw_add_batch");
        if (db.ExecuteUpdate(sql) == 0) {
            m_lastAddError = wxString::Format("there is no batch %d to update", id);
            return -1;
        }
        rowId = id < 0 ? static_cast<int>(db.GetLastRowId().GetValue()) : id;
    } catch (const wxSQLite3Exception& e) {
        wxLogError("SQL update error '%s'.", e.GetMessage());
        m_lastAddError = e.GetMessage();
        return -1;
    }

    try {
        wxSQLite3ResultSet rs = Db().ExecuteQuery("SELECT ID,create_date FROM batches WHERE ID = " + SqlInt(rowId));
        if (rs.NextRow()) {
            b.ID = rs.GetInt("ID", 0);
            b.create_date = FromStoredSeconds(rs.GetInt64("create_date", 0));
        }
    } catch (const wxSQLite3Exception& e) {
        wxLogError("SQL query error '%s'.", e.GetMessage());
        m_lastAddError = e.GetMessage();
        return -1;
    }

    // Storing a batch again replaces its item rows rather than adding to them.
    Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID=" + SqlInt(rowId));
    for (const CFileInfo& item : batch->items)
        AddItemToBatch(rowId, item.info.FileID, item.info.status);

    savepoint->Release();
    return rowId;
}

void CBatchFolder::SetBatchByIndex(int id, CBatch* batch)
{
    wxCHECK_RET(batch, "SetBatchByIndex needs a batch");
    const CBatch::t_batch& b = batch->info;
    wxString sql;
    sql << "UPDATE batches SET title='" << SqlEscape(b.title) << "',description='" << SqlEscape(b.description) << "'"
        << ",status=" << SqlInt(b.status) << ",args=" << SqlInt(b.args)
        << ",bCombineGribs=" << SqlInt(b.bCombineGribs) << ",bInteractive=" << SqlInt(b.bInteractive)
        << ",width=" << SqlReal(b.width) << ",lat=" << SqlReal(b.lat) << ",lon=" << SqlReal(b.lon)
        << ",runwexpg=" << SqlInt(b.runwexpg) << ",version=" << SqlReal(b.version)
        << ",runstat='" << SqlInt(b.runstat) << "'"
        << ",application='" << SqlEscape(b.application) << "'"
        << ",folder='" << SqlEscape(b.folder) << "'"
        << ",gribfile='" << SqlEscape(b.gribfile) << "'"
        << " WHERE ID = " << SqlInt(id);
    Db().ExecuteUpdate(sql);
}

void CBatchFolder::AddItemToBatch(int batchID, const wxString& fileID, int status)
{
    Db().ExecuteUpdate("INSERT INTO batch_items (batchID,productID,status) values (" + SqlInt(batchID) + ",'" +
                       SqlEscape(fileID) + "'," + SqlInt(status) + ")");
}

void CBatchFolder::DeleteBatchItem(int batchID, const wxString& fileID)
{
    Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID=" + SqlInt(batchID) + " AND productID = '" +
                       SqlEscape(fileID) + "'");
}

void CBatchFolder::SetBatchItemStatus(int status, int batchID, const wxString& fileID)
{
    wxString sql = "UPDATE batch_items SET status=" + SqlInt(status) + " WHERE batchID = " + SqlInt(batchID);
    if (fileID != kAllBatchItems)
        sql << " AND productID = '" << SqlEscape(fileID) << "'";
    Db().ExecuteUpdate(sql);
}

bool CBatchFolder::ItemIsInBatch(int batchID, const wxString& fileID)
{
    wxSQLite3ResultSet rs = Db().ExecuteQuery("SELECT * FROM batch_items WHERE batchID = " + SqlInt(batchID) +
                                              " AND productID = '" + SqlEscape(fileID) + "'");
    return rs.NextRow();
}

void CBatchFolder::DeleteUnselectedBatchItems(int batchID)
{
    Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID=" + SqlInt(batchID) + " AND status = '0'");
}

void CBatchFolder::DeleteBatch(int id)
{
    wxSQLite3Database& db = Db();
    Savepoint savepoint(db, "tw_delete_batch");
    db.ExecuteUpdate("DELETE FROM batches WHERE ID=" + SqlInt(id));
    db.ExecuteUpdate("DELETE FROM batch_items WHERE batchID=" + SqlInt(id));
    savepoint.Release();
}

void CBatchFolder::SetBatchStatus(int id, int status)
{
    Db().ExecuteUpdate("UPDATE batches SET status=" + SqlInt(status) + " WHERE ID = " + SqlInt(id));
}

int CBatchFolder::ToggleBatchEnable(int id)
{
    int stored = 0;
    {
        wxSQLite3ResultSet rs = Db().ExecuteQuery("SELECT * FROM batches WHERE ID = " + SqlInt(id));
        if (rs.NextRow())
            stored = rs.GetInt("status", 0);
    }
    const int status = stored == 0 ? 1 : 0;
    Db().ExecuteUpdate("UPDATE batches SET status=" + SqlInt(status) + " WHERE ID = " + SqlInt(id));
    return status;
}

wxString CBatchFolder::SetBatchTransferFolder(bool keepExisting, int id, const wxString& folder)
{
    if (keepExisting) {
        wxSQLite3ResultSet rs = Db().ExecuteQuery("SELECT * FROM batches WHERE ID = " + SqlInt(id));
        if (rs.NextRow()) {
            const wxString stored = rs.GetAsString("folder");
            if (!stored.empty())
                return stored;
        }
    }
    Db().ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(folder) + "' WHERE ID = " + SqlInt(id));
    return folder;
}
