// Opening the three databases at start-up, the batch folders, the race
// edition's catalogue, the catalogue load and the lookups by file id.
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <wx/filefn.h>
#include <wx/log.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/QueryBudget.h"
#include "core/Registry.h"
#include "core/StringHelpers.h"
#include "app/tidewrightapp.h"
#include "platform/UiHooks.h"

namespace {

void Notice(const wxString& message)
{
    tw::MessageBox(message, wxS("Notice"), wxOK | wxICON_ERROR);
}

// How long a statement waits for a database that another program holds
// locked before it fails: long enough to ride out a short write, short
// enough that the window does not seem frozen before the error is shown.
constexpr int kBusyTimeoutMs = 2000;

// Opens a database read-write (never creating it) and, when asked, reads its
// Version row (within the bounds of a check, so that no file holds the start).
// Throws wxSQLite3Exception.
std::unique_ptr<wxSQLite3Database> OpenDatabase(const wxString& path, int* version)
{
    auto db = std::make_unique<wxSQLite3Database>();
    db->Open(path, wxString(), WXSQLITE_OPEN_READWRITE);
    db->SetBusyTimeout(kBusyTimeoutMs);
    if (version) {
        wxString why;
        if (!CInit::IsPlainTable(*db, wxS("Version"), &why))
            throw wxSQLite3Exception(WXSQLITE_ERROR, why);
        tw::QueryBudget budget(*db, CInit::kCheckSteps, CInit::kCheckMilliseconds);
        wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT Version FROM Version");
        *version = rs.NextRow() ? rs.GetInt(0, 0) : 0;
        rs.Finalize();
    }
    return db;
}

// What went wrong, without the code the wrapper puts before its messages.
wxString Reason(const wxSQLite3Exception& e)
{
    const wxString message = e.GetMessage();
    const int colon = message.Find(wxS("]: "));
    return colon == wxNOT_FOUND ? message : message.Mid(static_cast<size_t>(colon) + 3);
}

// A catalogue (or marine-zones database) the program cannot read safely is
// refused as a database that fails to open: with the reason as the
// exception's message and in `why`.
void RequireReadable(wxSQLite3Database& db, bool catalogue, wxString& why)
{
    if (!(catalogue ? CInit::IsReadableCatalogue(db, &why) : CInit::IsReadableMarineZones(db, &why)))
        throw wxSQLite3Exception(WXSQLITE_ERROR, why);
}

// As OpenDatabase, for a database the program can read safely (the
// catalogue: one the load can read); when the database fails and a previous
// version of it was kept at installation, that one is put back and opened
// instead. `putBack` gets what was wrong with the database put aside, and
// stays empty when none was.
std::unique_ptr<wxSQLite3Database> OpenReplaceableDatabase(const wxString& path, int* version, bool catalogue,
                                                           wxString* putBack = nullptr)
{
    auto open = [&](wxString& why) {
        why.clear();
        std::unique_ptr<wxSQLite3Database> db = OpenDatabase(path, version);
        RequireReadable(*db, catalogue, why);
        return db;
    };
    wxString why;
    try {
        return open(why);
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s: %s", path, e.GetMessage());
        if (!CInit::RestorePreviousDatabase(path))
            throw;
        if (putBack)
            *putBack = why.empty() ? Reason(e) : why;
    }
    return open(why);
}

// SQLite steps the catalogue load may take: some 6 times what a catalogue of
// 300,000 items needs (about 9 million), some 1.7 million items. A catalogue
// that needs more is not loaded: a file from outside holds the start for a
// few seconds at most.
constexpr long long kLoadSteps = 50000000LL;

// Where the rows of one level of the tree go: an index that names an
// existing node joins it; any other index (beyond the level, or negative)
// makes a new node at the end of the level, and later rows with that index
// join that node.
class LevelPlacer
{
public:
    // The position for `index` at a level of `count` nodes, `parent` naming
    // the level (the positions of the levels above); `created` tells whether
    // the caller must append a new node at the returned position.
    size_t Place(long long parent, int index, size_t count, bool& created)
    {
        if (!m_moved.empty()) {
            auto it = m_moved.find(Key{parent, index});
            if (it != m_moved.end()) {
                created = false;
                return it->second;
            }
        }
        if (index >= 0 && static_cast<size_t>(index) < count) {
            created = false;
            return static_cast<size_t>(index);
        }
        created = true;
        if (index < 0 || static_cast<size_t>(index) != count)
            m_moved.emplace(Key{parent, index}, count);
        return count;
    }
    bool Moved() const { return !m_moved.empty(); }

private:
    using Key = std::pair<long long, int>;
    std::map<Key, size_t> m_moved;
};

} // namespace

void TidewrightApp::CloseDatabases()
{
    for (std::unique_ptr<wxSQLite3Database>* member : {&productDb, &userDb, &marineZonesDb}) {
        if (!*member)
            continue;
        try {
            if ((*member)->IsOpen())
                (*member)->Close();
        } catch (const wxSQLite3Exception& e) {
            wxLogError("%s", e.GetMessage());
        }
        member->reset();
    }
}

bool TidewrightApp::InitDB(CRegistry& settings)
{
    // Coming back from the race edition: the archive replaces the catalogue
    // with blanked file ids unless a new catalogue arrives.
    CInit::InstallDatabaseUpdates(settings.m_evPrevious == EVT_RACE && settings.m_evType != EVT_RACE,
                                  {productDb != nullptr, marineZonesDb != nullptr});

    const wxString mzPath = CInit::GetMarineZonesDBPath();
    try {
        marineZonesDb = OpenReplaceableDatabase(mzPath, &marineZonesDbVersion, false);
    } catch (const wxSQLite3Exception&) {
        Notice("Cannot open MarineZones.db (" + mzPath + "), program will terminate.");
        CloseDatabases();
        return false;
    }

    const wxString catPath = CInit::GetProductDBPath();
    // What was wrong with a catalogue that was put aside for the previous one.
    wxString catalogueRefused;
    try {
        productDb = OpenReplaceableDatabase(catPath, &productDbVersion, true, &catalogueRefused);
    } catch (const wxSQLite3Exception&) {
        Notice("Cannot open zir.db (" + catPath + "), program will terminate.");
        CloseDatabases();
        return false;
    }

    const wxString dbDir = CInit::GetUserDBDir();
    try {
        userDb = OpenDatabase(dbDir + wxS("/") + CInit::GetUserDBFileName(), nullptr);
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s", e.GetMessage());
        Notice("Cannot open zir_user.db (" + dbDir + wxS("/") + "), program will terminate.");
        CloseDatabases();
        return false;
    }

    // Batches without a download folder: the global batch gets the download
    // root, every other batch a folder of its own title below it.
    try {
        const wxString root = CInit::GetDefaultTransferFolder();
        userDb->Begin();
        wxSQLite3Statement global = userDb->PrepareStatement(
            "UPDATE batches SET Folder = ? WHERE (Folder = '' OR Folder IS NULL) AND (ID=0)");
        global.Bind(1, root);
        global.ExecuteUpdate();
        global.Finalize();

        std::vector<std::pair<wxLongLong, wxString>> missing;
        {
            wxSQLite3ResultSet rs = userDb->ExecuteQuery("SELECT ID, title FROM batches WHERE Folder = '' OR Folder IS NULL");
            while (rs.NextRow())
                missing.emplace_back(rs.GetInt64(0), rs.GetAsString(1));
        }
        wxSQLite3Statement set = userDb->PrepareStatement("UPDATE batches SET Folder = ? WHERE ID = ?");
        for (const auto& [id, title] : missing) {
            set.Bind(1, root + wxS("/") + CInit::SafeFolderComponent(title, id.GetValue()));
            set.Bind(2, id);
            set.ExecuteUpdate();
            set.Reset();
        }
        set.Finalize();
        userDb->Commit();
    } catch (const wxSQLite3Exception& e) {
        try {
            if (userDb && !userDb->GetAutoCommit())
                userDb->Rollback();
        } catch (const wxSQLite3Exception&) {
        }
        Notice("Error updating zir_user.db: " + e.GetMessage());
        CloseDatabases();
        return false;
    }

    // Race edition: items barred from the race lose their file id. The
    // stored catalogue is changed only while an archive copy with the ids
    // exists; otherwise (and when the change fails) it happens in memory.
    bool blankInMemory = false;
    if (IsRace(settings)) {
        CInit::ArchiveProductDB(false);
        if (wxFileExists(CInit::GetProductDBArchivePath())) {
            tw::QueryBudget budget(*productDb, kLoadSteps, 0);
            try {
                productDb->ExecuteUpdate("UPDATE products SET FileID='' WHERE RaceDisable = 1");
            } catch (const wxSQLite3Exception& e) {
                Notice(budget.Exceeded() ? wxString(wxS("Withholding the items barred from the race took too long."))
                                         : e.GetMessage());
                blankInMemory = true;
            }
        } else {
            wxLogWarning("No archive copy of %s could be made; race-disabled items are withheld "
                         "without changing the stored catalogue.",
                         CInit::GetProductDBFileName());
            blankInMemory = true;
        }
    } else {
        CInit::CleanupProductDBArchive();
    }

    // The load within its bound; false, with the reason, when it fails.
    auto load = [&](bool raceBlank, wxString& why) {
        tw::QueryBudget budget(*productDb, kLoadSteps, 0);
        try {
            LoadCatalogue(*productDb, raceBlank);
            return true;
        } catch (const wxSQLite3Exception& e) {
            why = budget.Exceeded() ? wxString(wxS("reading it took too long")) : Reason(e);
            wxLogError("Reading the catalogue failed: %s", why);
        }
        catalogue.Empty();
        IndexCatalogue();
        return false;
    };
    wxString why;
    if (!load(blankInMemory, why)) {
        // A catalogue that cannot be loaded (an update, most likely) gives
        // way to the previous one when that was kept.
        bool loaded = false;
        try {
            productDb->Close();
        } catch (const wxSQLite3Exception& e) {
            wxLogError("%s", e.GetMessage());
        }
        productDb.reset();
        if (CInit::RestorePreviousDatabase(catPath)) {
            catalogueRefused = why;
            try {
                wxString unreadable;
                productDb = OpenDatabase(catPath, &productDbVersion);
                RequireReadable(*productDb, true, unreadable);
                // The race edition's barred items are withheld in memory:
                // this catalogue was not prepared for it.
                loaded = load(IsRace(settings), why);
            } catch (const wxSQLite3Exception& e) {
                wxLogError("%s: %s", catPath, e.GetMessage());
            }
        }
        if (!loaded) {
            Notice("Cannot open zir.db (" + catPath + "), program will terminate.");
            CloseDatabases();
            return false;
        }
    }
    if (!catalogueRefused.empty())
        tw::MessageBox("The product database update could not be used (" + catalogueRefused +
                           "); the previous product database was put back and is used instead.",
                       wxS("Notice"), wxOK | wxICON_WARNING);

    CInit::PerformEventModeSwitch(settings, static_cast<t_evtype>(settings.m_evPrevious),
                                  static_cast<t_evtype>(settings.m_evType));
    return true;
}

namespace {

// Columns of `products` whose texts go into the items, in pool order.
enum TextColumn {
    kColCategory,
    kColChartType,
    kColFileID,
    kColTitle,
    kColPath,
    kColFile,
    kColDescription,
    kColPrice,
    kColCompression,
    kColRawSize,
    kColCompressedSize,
    kColSource,
    kTextColumns
};

const char* const kTextColumnNames[kTextColumns] = {"Category", "ChartType", "FileID", "Title",
                                                    "Path", "File", "Description", "Price",
                                                    "Compression", "RawSize", "CompressedSize", "Source"};

// Reads the text columns of the current row straight from the database's
// UTF-8 bytes into item texts (no wxString in between), equal texts shared
// through one pool for the whole load.
class RowTexts
{
public:
    RowTexts(wxSQLite3Database& db, wxSQLite3ResultSet& rs) : m_rs(rs), m_pool(kTextColumns)
    {
        // The bytes are taken as they are stored: only a UTF-8 database
        // stores its texts as UTF-8.
        wxSQLite3ResultSet enc = db.ExecuteQuery("PRAGMA encoding");
        m_utf8 = !enc.NextRow() || enc.GetAsString(0).Upper() == wxS("UTF-8");
        enc.Finalize();
        for (int c = 0; c < kTextColumns; ++c)
            m_index[c] = rs.FindColumnIndex(kTextColumnNames[c]);
    }

    // The column's text; `decode` runs it through the catalogue's codec
    // (characters outside the codec's table pass through unchanged).
    CItemText Get(TextColumn c, bool decode = false, const char* suffix = nullptr)
    {
        int length = 0;
        const char* bytes = reinterpret_cast<const char*>(m_rs.GetBlob(m_index[c], length));
        if (!bytes) {
            bytes = "";
            length = 0;
        }
        if (!m_utf8 || !CItemText::IsValidUTF8(bytes, static_cast<size_t>(length))) {
            // Not plain UTF-8: as the database wrapper reads the text.
            wxString text = m_rs.GetAsString(m_index[c]);
            if (decode)
                CDbTextEncoder::decode_db_string(text, false);
            if (suffix)
                text += wxString::FromUTF8(suffix);
            return m_pool.Intern(c, CItemText(text));
        }
        size_t size = static_cast<size_t>(length);
        if (decode || suffix) {
            m_buffer.assign(bytes, bytes + length);
            if (decode) {
                // The codec maps the codes 32 to 127 among themselves, and
                // in UTF-8 those bytes are always whole characters.
                for (char& b : m_buffer) {
                    const unsigned char u = static_cast<unsigned char>(b);
                    if (u >= 32 && u <= 127)
                        b = static_cast<char>(g_arDecoder[u - 32]);
                }
            }
            if (suffix)
                m_buffer.insert(m_buffer.end(), suffix, suffix + std::strlen(suffix));
            bytes = m_buffer.empty() ? "" : m_buffer.data();
            size = m_buffer.size();
        }
        // Rows come grouped, so a column often repeats the row before.
        CItemText& last = m_last[c];
        if (last.Utf8Length() != size || std::memcmp(last.Utf8Data(), bytes, size) != 0)
            last = m_pool.Intern(c, bytes, size);
        return last;
    }

private:
    wxSQLite3ResultSet& m_rs;
    CItemTextPool m_pool;
    int m_index[kTextColumns];
    CItemText m_last[kTextColumns];
    bool m_utf8 = true;
    std::vector<char> m_buffer;
};

const char kRaceSuffixUtf8[] = " [unavailable in race mode]";

} // namespace

bool TidewrightApp::LoadCatalogue(wxSQLite3Database& db, bool raceBlank)
{
    catalogue.Empty();

    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM products");
    const int cCategoryIdx = rs.FindColumnIndex("CategoryIdx");
    const int cRegionIdx = rs.FindColumnIndex("RegionIdx");
    const int cChartTypeIdx = rs.FindColumnIndex("ChartTypeIdx");
    const int cRegion = rs.FindColumnIndex("Region");
    const int cRaceDisable = raceBlank ? rs.FindColumnIndex("RaceDisable") : -1;
    RowTexts texts(db, rs);

    // A row whose index at some level names no node there (it jumps ahead
    // or is negative) still gets its place: a new node at the end of that
    // level, which later rows with the same index join.
    LevelPlacer categories, regions, chartTypes;
    long row = 0;
    while (rs.NextRow()) {
        ++row;
        const int ci = rs.GetInt(cCategoryIdx, -1);
        const int ri = rs.GetInt(cRegionIdx, -1);
        const int ti = rs.GetInt(cChartTypeIdx, -1);

        auto item = std::make_unique<CFileInfo>();
        CFileInfo::t_info& f = item->info;
        f.FileID = texts.Get(kColFileID);
        if (raceBlank && cRaceDisable >= 0 && rs.GetInt(cRaceDisable, 0) == 1)
            f.FileID.clear();
        f.Title = texts.Get(kColTitle, false, f.FileID.empty() ? kRaceSuffixUtf8 : nullptr);
        f.Path = texts.Get(kColPath, true);
        f.File = texts.Get(kColFile);
        f.Description = texts.Get(kColDescription);
        f.Price = texts.Get(kColPrice);
        f.Compression = texts.Get(kColCompression, true);
        f.RawSize = texts.Get(kColRawSize);
        f.CompressedSize = texts.Get(kColCompressedSize);
        f.Source = texts.Get(kColSource);
        // The item keeps its own row's names; a new node takes them too.
        f.Category = texts.Get(kColCategory);
        f.ChartType = texts.Get(kColChartType);

        // Nodes take their names from the row that creates them; later rows
        // with the same index join them whatever names they carry.
        bool newCategory = false;
        bool newRegion = false;
        bool newChartType = false;
        const size_t cIdx = categories.Place(0, ci, catalogue.GetCount(), newCategory);
        const size_t rIdx =
            regions.Place(static_cast<long long>(cIdx), ri, newCategory ? 0 : catalogue[cIdx].regions.GetCount(),
                          newRegion);
        newRegion = newRegion || newCategory;
        const size_t tIdx = chartTypes.Place(
            static_cast<long long>((static_cast<unsigned long long>(cIdx) << 32) | rIdx), ti,
            newRegion ? 0 : catalogue[cIdx].regions[rIdx].chartTypes.GetCount(), newChartType);
        newChartType = newChartType || newRegion;
        if (!newChartType) {
            catalogue[cIdx].regions[rIdx].chartTypes[tIdx].files.Add(std::move(item));
            continue;
        }
        const CItemText categoryName = f.Category;
        CChartType chart;
        chart.name = f.ChartType.AsString();
        chart.files.Add(std::move(item));
        if (!newRegion) {
            catalogue[cIdx].regions[rIdx].Add(std::move(chart));
            continue;
        }
        CRegion region;
        region.name = rs.GetAsString(cRegion);
        region.Add(std::move(chart));
        if (!newCategory) {
            catalogue[cIdx].Add(std::move(region));
            continue;
        }
        CProduct product;
        product.name = categoryName.AsString();
        product.Add(std::move(region));
        catalogue.Add(std::move(product));
    }
    rs.Finalize();
    if (categories.Moved() || regions.Moved() || chartTypes.Moved())
        wxLogWarning("Some of the %ld catalogue rows carry category, region or chart type numbers out of "
                     "sequence; they were placed after the groups before them.",
                     row);
    IndexCatalogue();
    return true;
}

void TidewrightApp::IndexCatalogue()
{
    m_catalogueIndex.Rebuild();
}

CFileInfo* TidewrightApp::FindFileInfo(CFileInfo& out, const wxString& id)
{
    return m_catalogueIndex.Find(out, id);
}

CFileInfo* TidewrightApp::FindFileInfoFilteredBasic(CFileInfo& out, const wxString& id, bool skipBasic)
{
    return m_catalogueIndex.Find(out, id,
                                 skipBasic ? CCatalogueIndex::Filter::OutsideBasic : CCatalogueIndex::Filter::InsideBasic);
}
