#include "model/BatchFile.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include <wx/app.h>
#include <wx/busyinfo.h>
#include <wx/ffile.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>
#include <wx/wfstream.h>
#include <wx/wxsqlite3.h>

#include "core/AreaWidth.h"
#include "core/Init.h"
#include "core/Numbers.h"
#include "model/BatchDB.h"
#include "model/CatalogueIndex.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "platform/WireText.h"

namespace {

const char kBatchLine[] = "[batch]";
const char kGlobalLine[] = "[global]";
const char kDocumentsPlaceholder[] = "%MyDocuments%";

// Default area side when a record's width line holds no number.
constexpr float kDefaultWidth = 30.0f;

// The after-download action that starts the batch's own program.
constexpr int kRunApplication = 3;

// A text value as one line: every line break becomes a blank.
wxString SingleLine(const wxString& text)
{
    wxString out;
    out.reserve(text.length());
    for (size_t i = 0; i < text.length(); ++i) {
        const wxUniChar c = text[i];
        if (c == '\r') {
            out += ' ';
            if (i + 1 < text.length() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

// The value of a line read at a fixed position: what follows the first
// keyLength characters (the key itself is not compared).
wxString ReadValue(CBatchFileReader& in, size_t keyLength)
{
    wxString line;
    in.ReadLine(line);
    return line.length() >= keyLength ? line.Mid(keyLength) : wxString();
}

// Writes `text` as UTF-8 to `path` through a temporary file that replaces
// the target only once it is complete, so a failed write leaves any older
// file as it was. Failures are logged.
bool WriteTextFile(const wxString& path, const wxString& text)
{
    wxTempFile file;
    bool opened = false;
    {
        wxLogNull quiet;   // the message below says it in the program's words
        opened = file.Open(path);
    }
    if (!opened) {
        wxLogError("Could not create %s", path);
        return false;
    }
    const wxScopedCharBuffer utf8 = text.utf8_str();
    bool ok = true;
    {
        wxLogNull quiet;
        ok = file.Write(utf8.data(), utf8.length()) && file.Commit();
    }
    if (!ok) {
        file.Discard();
        wxLogError("Could not write %s", path);
        return false;
    }
    return true;
}

// The ids of the items of a batch as stored, with their statuses, in row
// order (ids missing from the catalogue included).
std::vector<std::pair<wxString, int>> StoredItems(wxSQLite3Database& db, int batchId)
{
    std::vector<std::pair<wxString, int>> rows;
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT productID,status FROM batch_items WHERE batchID = " +
                                            SqlInt(batchId) + " ORDER BY ID");
    while (rs.NextRow())
        rows.emplace_back(rs.GetAsString("productID"), rs.GetInt("status", 0));
    return rows;
}

// The items of `record` added to those `batchId` already holds: an item the
// batch has keeps its place and takes the record's status; new items follow.
void MergeWithStoredItems(wxSQLite3Database& db, int batchId, CBatch& record)
{
    CFileInfoArray merged;
    std::set<wxString> seen;
    for (const auto& [id, status] : StoredItems(db, batchId)) {
        if (!seen.insert(id).second)
            continue;
        CFileInfo item;
        item.info.FileID = id;
        item.info.status = status;
        for (const CFileInfo& fromRecord : record.items) {
            if (fromRecord.info.FileID == id) {
                item = fromRecord;
                break;
            }
        }
        merged.Add(item);
    }
    for (const CFileInfo& item : record.items)
        if (seen.insert(item.info.FileID).second)
            merged.Add(item);
    record.items = merged;
}

bool IsFallbackFolderName(const wxString& name)
{
    // The safe name falls back to a numbered one when nothing usable is left.
    return CInit::SafeFolderComponent(name, 0) != CInit::SafeFolderComponent(name, 1);
}

// The area width of a record's "width=" value. A line without a number gives
// the default; 0 is "no width". A number outside the widths an area takes is
// not kept: the batch has no width then, and `refused` (when given) gets the
// number ("%g"), so the user can be told.
float ImportedWidth(const wxString& text, wxString* refused)
{
    double value = 0.0;
    const tw::NumberRead read = tw::ReadReal(text, value, nullptr, tw::RealForm::Fixed);
    if (read == tw::NumberRead::None)
        return kDefaultWidth;
    if (read == tw::NumberRead::Ok && value == 0.0)
        return 0.0f;
    if (read == tw::NumberRead::Ok && tw::AreaWidthInRange(value))
        return static_cast<float>(value);
    if (refused)
        *refused = tw::FormatG(value);
    return 0.0f;
}

// Fills `batch` from a record; `rawGrib` gets the combined GRIB path as the
// record wrote it, `refusedWidth` the width the record wrote when it was not
// kept (else it is emptied).
wxString ImportRecord(CBatch& batch, CBatchFileReader& in, wxString* rawGrib, wxString* refusedWidth = nullptr)
{
    if (refusedWidth)
        refusedWidth->clear();
    CBatch::t_batch& b = batch.info;
    b.ID = 0;

    const long long seconds = CBatchFile::ReadInt(ReadValue(in, 5));       // "date="
    b.create_date = wxDateTime(wxLongLong(seconds) * 1000);
    b.runstat = CBatchFile::ReadInt(ReadValue(in, 8));                      // "runstat="
    b.status = CBatchFile::ReadInt(ReadValue(in, 7));                       // "status="
    b.application = ReadValue(in, 12);                                      // "application="
    b.args = CBatchFile::ReadInt(ReadValue(in, 5));                         // "args="
    b.description = ReadValue(in, 12);                                      // "description="
    ReadValue(in, 7);                                                       // "folder=": not used
    b.title = ReadValue(in, 5);                                             // "name="

    // The record's own folder line is never trusted: the batch downloads to
    // a folder named after it inside the download root.
    b.folder = CBatchFile::ImportedFolder(b.title, 0);
    if (!IsFallbackFolderName(b.title))
        CInit::MakeFolderIfNotExist(b.folder);

    b.bCombineGribs = CBatchFile::ReadInt(ReadValue(in, 8));                // "combine="
    const wxString grib = ReadValue(in, 5);                                 // "grib="
    if (rawGrib)
        *rawGrib = grib;
    b.gribfile = CBatchFile::ConfineGribFile(grib, b.folder, b.title);
    b.bInteractive = CBatchFile::ReadInt(ReadValue(in, 12));                // "interactive="
    b.width = ImportedWidth(ReadValue(in, 6), refusedWidth);                // "width="
    if (!CBatchFile::ReadNumber(ReadValue(in, 4), b.lat))                   // "lat="
        b.lat = 0.0f;
    if (!CBatchFile::ReadNumber(ReadValue(in, 4), b.lon))                   // "lon="
        b.lon = 0.0f;
    b.runwexpg = CBatchFile::ReadInt(ReadValue(in, 9));                     // "runwexpg="

    batch.items.Empty();
    std::set<wxString> listed;
    CCatalogueIndex* catalogue = CBatchFolder::Instance()->GetCatalogue();
    for (;;) {
        wxString line;
        in.ReadLine(line);
        if (line.empty() || line == kBatchLine)
            return line;
        if (!line.Contains("recid="))
            throw CBatchFileFormatError("item line without recid=");
        wxString id = line;
        id.Replace("recid=", wxString());
        id.Replace("[File.", wxString());
        id.Replace("]", wxString());
        const int status = CBatchFile::ReadInt(ReadValue(in, 7));           // "status="
        CFileInfo found;
        if (!catalogue || !catalogue->Find(found, id))
            continue;
        // An item listed twice is kept once, where it first appeared.
        if (!listed.insert(found.info.FileID).second)
            continue;
        found.info.status = status;
        batch.items.Add(found);
    }
}

} // namespace

// ------------------------------------------------------------------ reader

CBatchFileReader::CBatchFileReader(std::string bytes) : m_bytes(std::move(bytes))
{
    if (m_bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        m_start = 3;
    m_pos = m_start;
}

void CBatchFileReader::Rewind()
{
    m_pos = m_start;
    m_eofSeen = false;
}

bool CBatchFileReader::ReadLine(wxString& line)
{
    line.clear();
    const size_t begin = m_pos;
    size_t end = begin;
    while (end < m_bytes.size() && m_bytes[end] != '\n' && m_bytes[end] != '\r')
        ++end;
    // UTF-8 when the line is well-formed UTF-8, else its bytes as Latin-1; a
    // NUL byte is dropped (no stored text can hold one). So every line gives
    // a text the store can write.
    line = tw::FromUtf8OrLatin1(m_bytes.data() + begin, end - begin);
    if (line.find(wxUniChar(0)) != wxString::npos)
        line.Replace(wxString(wxUniChar(0)), wxString());
    if (end >= m_bytes.size()) {
        m_pos = m_bytes.size();
        m_eofSeen = true;
        return false;
    }
    m_pos = end + 1;
    if (m_bytes[end] == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
        ++m_pos;
    return true;
}

// ------------------------------------------------------------ value readers

int CBatchFile::ReadInt(const wxString& text)
{
    return tw::LeadingInt(text);
}

bool CBatchFile::ReadNumber(const wxString& text, float& value)
{
    double parsed = 0.0;
    if (!tw::LeadingDouble(text, parsed, tw::RealForm::Fixed))
        return false;
    const float narrowed = static_cast<float>(parsed);
    if (!std::isfinite(narrowed))
        return false;
    value = narrowed;
    return true;
}

// ---------------------------------------------------------- names and paths

wxString CBatchFile::ImportedFolder(const wxString& name, long id)
{
    return CInit::GetDefaultTransferFolder() + wxS("/") + CInit::SafeFolderComponent(name, id);
}

wxString CBatchFile::ConfineGribFile(const wxString& gribfile, const wxString& folder, const wxString& name)
{
    if (gribfile.empty())
        return wxString();
    const wxString prefix = folder + wxS("/");
    if (gribfile.StartsWith(prefix)) {
        bool inside = gribfile.length() > prefix.length();
        const wxString rest = gribfile.Mid(prefix.length());
        for (const wxString& part : wxSplit(rest, '/', '\0')) {
            if (part.empty() || part == wxS(".") || part == wxS("..")) {
                inside = false;
                break;
            }
        }
        if (inside)
            return gribfile;
    }
    // Keep the file's name (made safe), in the batch's folder.
    wxString file = gribfile.AfterLast('/').AfterLast('\\');
    file.Trim(true).Trim(false);
    if (file.empty() || file == wxS(".") || file == wxS(".."))
        file = CInit::SafeFolderComponent(name, 0);
    else
        file = CInit::SafeFolderComponent(file, 0);
    if (!file.Lower().EndsWith(wxS(".grb")))
        file += wxS(".grb");
    return prefix + file;
}

// ------------------------------------------------------------- one record

void CBatchFile::Export(const CBatch& batch, wxString& out)
{
    const CBatch::t_batch& b = batch.info;
    auto line = [&out](const wxString& text) {
        out << text << '\n';
    };
    line(kBatchLine);
    line(wxString::Format("date=%lld", StoredSeconds(b.create_date)));
    line(wxString::Format("runstat=%d", b.runstat));
    line(wxString::Format("status=%d", b.status));
    line("application=" + SingleLine(b.application));
    line(wxString::Format("args=%d", b.args));
    line("description=" + SingleLine(b.description));
    wxString folder = "folder=" + SingleLine(b.folder);
    const wxString documents = tw::DocumentsDir();
    if (documents.length() > 1)
        folder.Replace(documents, kDocumentsPlaceholder);
    line(folder);
    line("name=" + SingleLine(b.title));
    line(wxString::Format("combine=%d", b.bCombineGribs));
    line("grib=" + SingleLine(b.gribfile));
    line(wxString::Format("interactive=%d", b.bInteractive));
    line("width=" + tw::FormatFixed(b.width, 6));
    line("lat=" + tw::FormatFixed(b.lat, 6));
    line("lon=" + tw::FormatFixed(b.lon, 6));
    line(wxString::Format("runwexpg=%d", b.runwexpg));
    for (const CFileInfo& item : batch.items) {
        line("recid=[File." + SingleLine(item.info.FileID) + "]");
        line(wxString::Format("status=%d", item.info.status));
    }
    line(kBatchLine);
}

wxString CBatchFile::Import(CBatch& batch, CBatchFileReader& in)
{
    return ImportRecord(batch, in, nullptr);
}

// ------------------------------------------------------------- whole files

bool CBatchFile::ExportBatch(const wxString& path, int id, bool* declined)
{
    if (declined)
        *declined = false;
    if (wxFileExists(path)) {
        const wxString name = wxFileName(path).GetName();
        if (tw::MessageBox("File " + name + " already exists. Overwrite?", "Confirm Overwrite",
                           wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION) != wxYES) {
            if (declined)
                *declined = true;
            return false;
        }
    }

    wxString text;
    try {
        CBatchFolder* store = CBatchFolder::Instance();
        wxSQLite3Database* db = store->GetDatabase();
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The user database is not open."));
        wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT * FROM batches WHERE ID = " + SqlInt(id));
        if (!rs.NextRow()) {
            wxLogError("Could not export batch %d: there is no such batch.", id);
            return false;
        }
        Export(store->ResultSetToBatch(rs, id), text);
    } catch (const wxSQLite3Exception& e) {
        wxLogError("SQL query error '%s'.", e.GetMessage());
        return false;
    }
    return WriteTextFile(path, text);
}

bool CBatchFile::BackupBatches(const wxString& path)
{
    wxString text;
    try {
        CBatchFolder* store = CBatchFolder::Instance();
        wxSQLite3Database* db = store->GetDatabase();
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The user database is not open."));
        text << kGlobalLine << '\n';
        {
            wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT * FROM batches WHERE ID=1");
            while (rs.NextRow())
                Export(store->ResultSetToBatch(rs, rs.GetInt("ID", 0)), text);
        }
        text << kGlobalLine << '\n';
        wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT * FROM batches WHERE ID<>1 ORDER BY ID");
        while (rs.NextRow())
            Export(store->ResultSetToBatch(rs, rs.GetInt("ID", 0)), text);
    } catch (const wxSQLite3Exception& e) {
        wxLogError("SQL query error '%s'.", e.GetMessage());
        return false;
    }
    return WriteTextFile(path, text);
}

namespace {

// One import of a batch text file.
class BatchImport
{
public:
    BatchImport(const wxString& path, bool replace, CBatchFileReader& in, const CBatchFile::AddedBatch& added)
        : m_path(path), m_replace(replace), m_in(in), m_store(*CBatchFolder::Instance()), m_added(added)
    {
    }

    // The outcome of Run.
    enum class Result { Complete, Incomplete, Corrupt, StoreFailed, NoBatches };
    Result Run(bool hasGlobal);
    void HideBusy() { m_busy.reset(); }

    // A record that could not be stored: its place in the file, its name and why.
    struct Failure {
        int record;
        wxString name;
        wxString reason;
    };
    const std::vector<Failure>& Failures() const { return m_failures; }
    // Records stored without the area width they wrote (the reason is the
    // width), since it lies outside the widths an area takes.
    const std::vector<Failure>& RefusedWidths() const { return m_refusedWidths; }

private:
    wxSQLite3Database& Db()
    {
        wxSQLite3Database* db = m_store.GetDatabase();
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The user database is not open."));
        return *db;
    }
    void ShowBusy() { m_busy = std::make_unique<wxBusyInfo>("Please wait, importing batches..."); }
    // Keeps the record's after-download program only when the user agrees.
    void CheckProgram(CBatch& record);
    // Stores a record into reserved batch `id`, or as a new batch when `id`
    // is negative. False (with the failure noted) when it could not be stored.
    bool Store(CBatch& record, int id, const wxString& rawGrib);
    // Store, noting a refused width once the record is stored.
    bool Stored(CBatch& record, int id, const wxString& rawGrib);
    bool StoreIntoReserved(CBatch& record, int id, const wxString& rawGrib);
    bool StoreAsNew(CBatch& record, const wxString& rawGrib);

    wxString m_path;
    bool m_replace;
    CBatchFileReader& m_in;
    CBatchFolder& m_store;
    const CBatchFile::AddedBatch& m_added;
    std::unique_ptr<wxBusyInfo> m_busy;
    std::set<wxString> m_trustedPrograms;          // already run after downloads by the user's batches
    std::map<wxString, bool> m_answers;            // per program, for this file
    wxString m_reservedTitles[3];
    wxString m_reservedFolders[3];
    int m_record = 0;                              // the record being read, counted from 1
    std::vector<Failure> m_failures;
    std::vector<Failure> m_refusedWidths;
    wxString m_refusedWidth;                       // of the record being read
};

void BatchImport::CheckProgram(CBatch& record)
{
    CBatch::t_batch& b = record.info;
    if (b.runstat != kRunApplication || b.application.empty() || m_trustedPrograms.count(b.application))
        return;
    auto known = m_answers.find(b.application);
    if (known == m_answers.end()) {
        HideBusy();
        const int answer = tw::MessageBox(
            "The batch '" + b.title + "' in the file '" + m_path + "' starts the program '" + b.application +
                "' after every download.\r\n\r\nKeep this program for the batch? Answer No to import the "
                "batch without it.",
            "Confirm Program", wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
        ShowBusy();
        known = m_answers.emplace(b.application, answer == wxYES).first;
    }
    if (!known->second) {
        b.runstat = 0;
        b.application.clear();
    }
}

bool BatchImport::Store(CBatch& record, int id, const wxString& rawGrib)
{
    wxString reason;
    try {
        if (id >= 0 ? StoreIntoReserved(record, id, rawGrib) : StoreAsNew(record, rawGrib))
            return true;
        reason = m_store.LastAddError();
    } catch (const wxSQLite3Exception& e) {
        wxLogError("SQL update error '%s'.", e.GetMessage());
        reason = e.GetMessage();
    }
    if (reason.empty())
        reason = wxS("the database did not take it");
    m_failures.push_back({m_record, record.info.title, reason});
    return false;
}

bool BatchImport::Stored(CBatch& record, int id, const wxString& rawGrib)
{
    if (!Store(record, id, rawGrib))
        return false;
    if (!m_refusedWidth.empty())
        m_refusedWidths.push_back({m_record, record.info.title, m_refusedWidth});
    return true;
}

bool BatchImport::StoreIntoReserved(CBatch& record, int id, const wxString& rawGrib)
{
    // The combined GRIB file belongs inside the folder the batch keeps.
    const wxString& folder = m_reservedFolders[id];
    if (!folder.empty())
        record.info.gribfile = CBatchFile::ConfineGribFile(rawGrib, folder, record.info.title);
    if (!m_replace)
        MergeWithStoredItems(Db(), id, record);
    return m_store.AddBatch(&record, id) >= 0;
}

bool BatchImport::StoreAsNew(CBatch& record, const wxString& rawGrib)
{
    const int id = m_store.AddBatch(&record, -1);
    if (id < 0)
        return false;
    if (IsFallbackFolderName(record.info.title)) {
        // A nameless batch gets a folder of its own, named by its id.
        record.info.folder = CBatchFile::ImportedFolder(record.info.title, id);
        record.info.gribfile = CBatchFile::ConfineGribFile(rawGrib, record.info.folder, record.info.title);
        CInit::MakeFolderIfNotExist(record.info.folder);
        Db().ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(record.info.folder) + "',gribfile='" +
                           SqlEscape(record.info.gribfile) + "' WHERE ID = " + SqlInt(id));
    }
    if (!m_replace && m_added)
        m_added(record);
    return true;
}

BatchImport::Result BatchImport::Run(bool hasGlobal)
{
    wxSQLite3Database& db = Db();
    {
        wxSQLite3ResultSet rs =
            db.ExecuteQuery("SELECT DISTINCT application FROM batches WHERE runstat=" + SqlInt(kRunApplication));
        while (rs.NextRow())
            m_trustedPrograms.insert(rs.GetAsString(0));
    }
    if (m_replace) {
        db.ExecuteUpdate("DELETE FROM batches WHERE ID > " + SqlInt(2));
        db.ExecuteUpdate("DELETE FROM batch_items WHERE batchID > " + SqlInt(2));
    }
    {
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT ID,title,folder FROM batches WHERE ID <= " + SqlInt(2));
        while (rs.NextRow()) {
            const int id = rs.GetInt(0, -1);
            if (id >= 0 && id <= 2) {
                m_reservedTitles[id] = rs.GetAsString(1);
                m_reservedFolders[id] = rs.GetAsString(2);
            }
        }
    }

    ShowBusy();
    int records = 0;   // complete records read
    wxString line;
    wxString rawGrib;
    CBatch record;
    if (hasGlobal) {
        m_in.ReadLine(line);
        if (line == kGlobalLine) {
            m_in.ReadLine(line);
            if (line != kBatchLine)
                throw CBatchFileFormatError("no record after [global]");
            ++m_record;
            ImportRecord(record, m_in, &rawGrib, &m_refusedWidth);
            CheckProgram(record);
            if (!Stored(record, kBasicBatchId, rawGrib))
                return Result::StoreFailed;
            m_in.ReadLine(line);
            if (line != kGlobalLine)
                throw CBatchFileFormatError("no [global] after the first record");
            ++records;
        } else {
            m_in.Rewind();
        }
    }

    for (;;) {
        if (m_in.AtEnd())
            return Result::Incomplete;
        const bool lineEnded = m_in.ReadLine(line);
        if (line != kBatchLine) {
            if (!lineEnded)
                return records > 0 ? Result::Complete : Result::NoBatches;
            throw CBatchFileFormatError("record without [batch]");
        }
        ++m_record;
        const wxString ended = ImportRecord(record, m_in, &rawGrib, &m_refusedWidth);
        CheckProgram(record);

        int reserved = -1;
        for (int id = 0; id <= 2 && reserved < 0; ++id)
            if (!m_reservedTitles[id].empty() && record.info.title.CmpNoCase(m_reservedTitles[id]) == 0)
                reserved = id;
        // A restore is all or nothing; an ordinary import goes on with the
        // records after one that could not be stored.
        if (!Stored(record, reserved, rawGrib) && m_replace)
            return Result::StoreFailed;

        if (ended.empty()) {
            // An empty line may only end the last record.
            if (m_in.ReadLine(line))
                throw CBatchFileFormatError("text after an empty line");
        }
        if (++records % 4 == 0 && wxTheApp)
            wxTheApp->Yield(true);
    }
}

// The message that names the records which could not be stored.
wxString StoreFailureMessage(const wxString& path, const std::vector<BatchImport::Failure>& failures, bool restore)
{
    constexpr size_t kListed = 10;
    wxString text = restore ? wxString::Format("The batches in the file '%s' could not be restored; your batches "
                                               "were left as they were.\n\n",
                                               path)
                            : wxString::Format("Some batches in the file '%s' could not be imported:\n\n", path);
    for (size_t n = 0; n < failures.size() && n < kListed; ++n) {
        const BatchImport::Failure& f = failures[n];
        text += wxString::Format("Batch '%s' (record %d of the file): %s\n", f.name, f.record, f.reason);
    }
    if (failures.size() > kListed)
        text += wxString::Format("... and %zu more.\n", failures.size() - kListed);
    text.Trim();
    return text;
}

// The notice that names the records stored without the width they wrote.
wxString RefusedWidthMessage(const wxString& path, const std::vector<BatchImport::Failure>& refused)
{
    constexpr size_t kListed = 10;
    wxString text = wxString::Format("The area width must be a number of degrees %s. These batches in the file "
                                     "'%s' were imported without an area width:\n\n",
                                     tw::AreaWidthRangeText(), path);
    for (size_t n = 0; n < refused.size() && n < kListed; ++n) {
        const BatchImport::Failure& f = refused[n];
        text += wxString::Format("Batch '%s' (record %d of the file): width %s\n", f.name, f.record, f.reason);
    }
    if (refused.size() > kListed)
        text += wxString::Format("... and %zu more.\n", refused.size() - kListed);
    text.Trim();
    return text;
}

// Runs statements as one unit when asked to: undone unless committed.
class OptionalTransaction
{
public:
    OptionalTransaction(wxSQLite3Database* db, bool active) : m_db(active ? db : nullptr)
    {
        if (m_db)
            m_db->Savepoint(wxS("tw_batch_restore"));
    }
    ~OptionalTransaction() { Rollback(); }
    void Commit()
    {
        if (m_db) {
            m_db->ReleaseSavepoint(wxS("tw_batch_restore"));
            m_db = nullptr;
        }
    }
    void Rollback()
    {
        if (!m_db)
            return;
        try {
            m_db->Rollback(wxS("tw_batch_restore"));
            m_db->ReleaseSavepoint(wxS("tw_batch_restore"));
        } catch (const wxSQLite3Exception& e) {
            wxLogError("SQL update error '%s'.", e.GetMessage());
        }
        m_db = nullptr;
    }
    OptionalTransaction(const OptionalTransaction&) = delete;
    OptionalTransaction& operator=(const OptionalTransaction&) = delete;

private:
    wxSQLite3Database* m_db;
};

} // namespace

bool CBatchFile::ImportBatchesFromFile(const wxString& path, bool replace, bool hasGlobal, const AddedBatch& added)
{
    std::string bytes;
    {
        wxLogNull quiet;
        wxFile file;
        if (!wxFileExists(path) || !file.Open(path, wxFile::read))
            return false;
        const wxFileOffset length = file.Length();
        if (length < 0)
            return false;
        bytes.resize(static_cast<size_t>(length));
        if (length > 0 && file.Read(&bytes[0], bytes.size()) != static_cast<ssize_t>(bytes.size()))
            return false;
    }
    CBatchFileReader in(std::move(bytes));

    bool corrupt = false;
    bool result = false;
    bool kept = !replace;   // the records stored so far stay in the store
    wxString failureText;
    {
        wxWindowDisabler disableAll;
        BatchImport import(path, replace, in, added);
        try {
            OptionalTransaction transaction(CBatchFolder::Instance()->GetDatabase(), replace);
            BatchImport::Result outcome = BatchImport::Result::Corrupt;
            try {
                outcome = import.Run(hasGlobal);
            } catch (const CBatchFileFormatError&) {
                outcome = BatchImport::Result::Corrupt;
            }
            import.HideBusy();
            switch (outcome) {
            case BatchImport::Result::Complete:
                transaction.Commit();
                kept = true;
                // A record that could not be stored makes the import incomplete.
                result = import.Failures().empty();
                break;
            case BatchImport::Result::Incomplete:
                // A file cut short: an import keeps the records it read, but a
                // restore does not replace the user's batches with part of a
                // backup.
                if (replace) {
                    transaction.Rollback();
                    corrupt = true;
                } else {
                    transaction.Commit();
                    kept = true;
                }
                break;
            case BatchImport::Result::Corrupt:
                // A restore leaves the user's batches as they were.
                transaction.Rollback();
                corrupt = true;
                break;
            case BatchImport::Result::StoreFailed:
                transaction.Rollback();
                break;
            case BatchImport::Result::NoBatches:
                // An empty file, or text without a record, is no backup: a
                // restore replaces nothing with it.
                if (replace) {
                    transaction.Rollback();
                    failureText = wxString::Format("%s holds no batches.", path);
                } else {
                    transaction.Commit();
                    kept = true;
                    result = true;
                }
                break;
            }
            // A restore stops at its first failure and is rolled back.
            if (!import.Failures().empty())
                failureText = StoreFailureMessage(path, import.Failures(), replace);
        } catch (const wxSQLite3Exception& e) {
            import.HideBusy();
            wxLogError("SQL update error '%s'.", e.GetMessage());
            failureText = wxString::Format("The batches in the file '%s' could not be imported: %s", path,
                                           e.GetMessage());
        }
        if (!failureText.empty())
            tw::MessageBox(failureText, "Notice", wxOK | wxICON_ERROR);
        if (kept && !import.RefusedWidths().empty())
            tw::MessageBox(RefusedWidthMessage(path, import.RefusedWidths()), "Notice", wxOK | wxICON_WARNING);
        if (corrupt)
            tw::MessageBox(wxString::Format("Exported batch file '%s' is corrupted. Some batches may not have "
                                            "been imported.",
                                            path),
                           "Message", wxOK);
    }
    return result;
}
