// The batch store against a private copy of the seed user database.
#include <functional>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/log.h>

#include "core/Numbers.h"
#include "model/BatchDB.h"
#include "tests/model/BatchFixtures.h"

using namespace tw::test;

namespace {

class BatchStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.Ok()) << "seed zir_user.db missing in " << ResourcesDir();
        store = CBatchFolder::Instance();
    }

    ScopedCatalogue catalogue{StandardItems()};
    ScopedUserDb db;
    CBatchFolder* store = nullptr;
};

CBatch NewBatch(const wxString& title)
{
    CBatch b;
    b.info.title = title;
    b.info.description = "About " + title;
    b.info.status = 1;
    b.info.runstat = 4;
    b.info.application = wxS("/opt/apps/Viewer");
    b.info.args = 1;
    b.info.folder = "/tmp/weather/" + title;
    b.info.gribfile = "/tmp/weather/" + title + "/all.grb";
    b.info.bCombineGribs = 1;
    b.info.bInteractive = 1;
    b.info.width = 15.0f;
    b.info.lat = 47.4019f;
    b.info.lon = -122.323f;
    b.info.runwexpg = 1;
    return b;
}

void AddItem(CBatch& b, const wxString& id, int status)
{
    CFileInfo item;
    ASSERT_TRUE(CBatchFolder::Instance()->GetCatalogue()->Find(item, id)) << id;
    item.info.status = status;
    b.items.Add(item);
}

} // namespace

// Each operation on batch 7 (items GFS-WIND:1, SAT-IR:0, O'BRIEN:1) next to
// batch 8 (GFS-WIND:1), and the item rows both are left with.
TEST_F(BatchStore, ItemOperationsLeaveTheseRows)
{
    struct Case {
        const char* name;
        std::function<void(CBatchFolder&)> op;
        ItemRows batch7;
        bool batch7RowKept;
    };
    const ItemRows initial = {{"GFS-WIND", 1}, {"SAT-IR", 0}, {"O'BRIEN", 1}};
    const Case cases[] = {
        {"add item", [](CBatchFolder& s) { s.AddItemToBatch(7, "TXT-FCST", 0); },
         {{"GFS-WIND", 1}, {"SAT-IR", 0}, {"O'BRIEN", 1}, {"TXT-FCST", 0}}, true},
        {"add item with apostrophe", [](CBatchFolder& s) { s.AddItemToBatch(7, "it's", 1); },
         {{"GFS-WIND", 1}, {"SAT-IR", 0}, {"O'BRIEN", 1}, {"it's", 1}}, true},
        {"delete item with apostrophe", [](CBatchFolder& s) { s.DeleteBatchItem(7, "O'BRIEN"); },
         {{"GFS-WIND", 1}, {"SAT-IR", 0}}, true},
        {"delete item of another letter case", [](CBatchFolder& s) { s.DeleteBatchItem(7, "o'brien"); },
         initial, true},
        {"select one item", [](CBatchFolder& s) { s.SetBatchItemStatus(1, 7, "SAT-IR"); },
         {{"GFS-WIND", 1}, {"SAT-IR", 1}, {"O'BRIEN", 1}}, true},
        {"unselect item with apostrophe", [](CBatchFolder& s) { s.SetBatchItemStatus(0, 7, "O'BRIEN"); },
         {{"GFS-WIND", 1}, {"SAT-IR", 0}, {"O'BRIEN", 0}}, true},
        {"unselect all items", [](CBatchFolder& s) { s.SetBatchItemStatus(0, 7, "ALL_BATCH_ITEMS"); },
         {{"GFS-WIND", 0}, {"SAT-IR", 0}, {"O'BRIEN", 0}}, true},
        {"select all items", [](CBatchFolder& s) { s.SetBatchItemStatus(1, 7, "ALL_BATCH_ITEMS"); },
         {{"GFS-WIND", 1}, {"SAT-IR", 1}, {"O'BRIEN", 1}}, true},
        {"all-items word in other case is a file id",
         [](CBatchFolder& s) { s.SetBatchItemStatus(1, 7, "all_batch_items"); }, initial, true},
        {"delete unselected items", [](CBatchFolder& s) { s.DeleteUnselectedBatchItems(7); },
         {{"GFS-WIND", 1}, {"O'BRIEN", 1}}, true},
        {"delete batch", [](CBatchFolder& s) { s.DeleteBatch(7); }, {}, false},
        {"store the batch again",
         [](CBatchFolder& s) {
             CBatch b = s.GetBatchByIndex(7);
             EXPECT_EQ(s.AddBatch(&b, 7), 7);
         },
         initial, true},
        {"store it twice more",
         [](CBatchFolder& s) {
             CBatch b = s.GetBatchByIndex(7);
             EXPECT_EQ(s.AddBatch(&b, 7), 7);
             EXPECT_EQ(s.AddBatch(&b, 7), 7);
         },
         initial, true},
        {"store with an item removed and one changed",
         [](CBatchFolder& s) {
             CBatch b = s.GetBatchByIndex(7);
             b.items.RemoveAt(1);
             b.items[1].info.status = 0;
             EXPECT_EQ(s.AddBatch(&b, 7), 7);
         },
         {{"GFS-WIND", 1}, {"O'BRIEN", 0}}, true},
        {"store into a missing row",
         [](CBatchFolder& s) {
             CBatch b = s.GetBatchByIndex(7);
             EXPECT_EQ(s.AddBatch(&b, 99), -1);
         },
         initial, true},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID IN (7,8,99)");
        db.Db().ExecuteUpdate("DELETE FROM batch_items WHERE batchID IN (7,8,99)");
        db.InsertBatch(7, "Seven", 1);
        db.InsertBatch(8, "Eight", 1);
        for (const auto& [id, status] : initial)
            db.InsertItem(7, id, status);
        db.InsertItem(8, "GFS-WIND", 1);

        c.op(*store);

        EXPECT_EQ(db.Items(7), c.batch7);
        EXPECT_EQ(db.BatchRowExists(7), c.batch7RowKept);
        EXPECT_EQ(db.Items(8), (ItemRows{{"GFS-WIND", 1}}));
        EXPECT_TRUE(db.BatchRowExists(8));
        EXPECT_TRUE(db.Items(99).empty());
        EXPECT_FALSE(db.BatchRowExists(99));
    }
}

TEST_F(BatchStore, ItemIsInBatchMatchesExactly)
{
    db.InsertBatch(7, "Seven", 1);
    db.InsertItem(7, "O'BRIEN", 0);
    db.InsertItem(7, "SAT-IR", 1);
    struct Case {
        int batch;
        const char* id;
        bool found;
    } const cases[] = {
        {7, "O'BRIEN", true}, {7, "SAT-IR", true}, {7, "o'brien", false},
        {7, "GFS-WIND", false}, {8, "SAT-IR", false}, {7, "' OR '1'='1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store->ItemIsInBatch(c.batch, c.id), c.found) << c.batch << " " << c.id;
}

TEST_F(BatchStore, SeedHoldsTheReservedBatches)
{
    for (int id : {kGlobalBatchId, kBasicBatchId, kWizardBatchId}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(db.BatchRowExists(id));
        const CBatch b = store->GetBatchByIndex(id);
        EXPECT_EQ(b.info.ID, id);
        EXPECT_FALSE(b.info.title.empty());
    }
    // New batches come after them.
    CBatch fresh = NewBatch("Fresh");
    const int id = store->AddBatch(&fresh, -1);
    EXPECT_GT(id, 2);
    EXPECT_EQ(fresh.info.ID, id);
}

TEST_F(BatchStore, StoringIntoTheGlobalBatchUpdatesRowZero)
{
    CBatch b = NewBatch("");
    AddItem(b, "SAT-IR", 1);
    const wxString titleBefore = db.Column(0, "title");
    EXPECT_EQ(store->AddBatch(&b, 0), 0);
    EXPECT_EQ(db.Column(0, "title"), titleBefore);
    EXPECT_EQ(db.Items(0), (ItemRows{{"SAT-IR", 1}}));
    EXPECT_EQ(db.Column(0, "runstat"), "4");

    // The store itself does not protect the reserved rows.
    store->DeleteBatch(0);
    EXPECT_FALSE(db.BatchRowExists(0));
    EXPECT_TRUE(db.Items(0).empty());
}

TEST_F(BatchStore, NewBatchRoundTripsEverySetting)
{
    CBatch b = NewBatch("Round trip");
    b.info.create_date = wxDateTime(wxLongLong(1700000123456LL));   // milliseconds
    AddItem(b, "GFS-WIND", 1);
    AddItem(b, "SAT-IR", 0);
    AddItem(b, "O'BRIEN", 2);

    const int id = store->AddBatch(&b, -1);
    ASSERT_GT(id, 2);
    EXPECT_EQ(b.info.ID, id);
    // The stored date has whole seconds and comes back into the record.
    EXPECT_EQ(b.info.create_date.GetValue(), wxLongLong(1700000123000LL));
    EXPECT_EQ(db.Column(id, "version"), "3.05");

    const CBatch r = store->GetBatchByIndex(id);
    EXPECT_EQ(r.info.ID, id);
    EXPECT_EQ(r.info.title, "Round trip");
    EXPECT_EQ(r.info.description, "About Round trip");
    EXPECT_EQ(r.info.create_date.GetValue(), wxLongLong(1700000123000LL));
    EXPECT_EQ(r.info.status, 1);
    EXPECT_EQ(r.info.runstat, 4);
    EXPECT_EQ(r.info.application, "/opt/apps/Viewer");
    EXPECT_EQ(r.info.args, 1);
    EXPECT_EQ(r.info.folder, "/tmp/weather/Round trip");
    EXPECT_EQ(r.info.gribfile, "/tmp/weather/Round trip/all.grb");
    EXPECT_EQ(r.info.bCombineGribs, 1);
    EXPECT_EQ(r.info.bInteractive, 1);
    EXPECT_EQ(r.info.width, 15.0f);
    EXPECT_EQ(r.info.lat, 47.4019f);
    EXPECT_EQ(r.info.lon, -122.323f);
    EXPECT_EQ(r.info.runwexpg, 1);
    EXPECT_FLOAT_EQ(r.info.version, 3.05f);
    ASSERT_EQ(r.items.GetCount(), 3u);
    EXPECT_EQ(r.items[0].info.FileID, "GFS-WIND");
    EXPECT_EQ(r.items[0].info.Path, "data/gfs/wind=>gfs_wind.grb.bz2");
    EXPECT_EQ(r.items[0].info.status, 1);
    EXPECT_EQ(r.items[1].info.status, 0);
    EXPECT_EQ(r.items[2].info.FileID, "O'BRIEN");
    EXPECT_EQ(r.items[2].info.status, 2);
}

TEST_F(BatchStore, CreationDateOutsideTheStoredRangeBecomesMinusOne)
{
    struct Case {
        const char* name;
        wxDateTime date;
    } const cases[] = {
        {"invalid", wxDateTime()},
        {"before 1970", wxDateTime(wxLongLong(-5000))},
        {"past 2^31 seconds", wxDateTime(wxLongLong(2147483647LL) * 1000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBatch b = NewBatch("Dated");
        b.info.create_date = c.date;
        const int id = store->AddBatch(&b, -1);
        ASSERT_GT(id, 2);
        EXPECT_EQ(db.Column(id, "create_date"), "-1");
        // One second before the epoch, not the invalid date.
        ASSERT_TRUE(b.info.create_date.IsValid());
        EXPECT_EQ(b.info.create_date.GetValue(), wxLongLong(-1000));
    }
}

TEST_F(BatchStore, UpdateKeepsTitleFolderAndDate)
{
    db.InsertBatch(7, "Seven", 0, "/data/seven");
    CBatch b = NewBatch("Renamed");
    b.info.description = "New words";
    EXPECT_EQ(store->AddBatch(&b, 7), 7);
    EXPECT_EQ(db.Column(7, "title"), "Seven");
    EXPECT_EQ(db.Column(7, "folder"), "/data/seven");
    EXPECT_EQ(db.Column(7, "create_date"), "1700000000");
    EXPECT_EQ(db.Column(7, "description"), "New words");
    EXPECT_EQ(db.Column(7, "status"), "1");
    EXPECT_EQ(db.Column(7, "gribfile"), "/tmp/weather/Renamed/all.grb");
    EXPECT_EQ(b.info.create_date.GetValue(), wxLongLong(1700000000000LL));

    // An empty title keeps the description as well.
    CBatch untitled = NewBatch("");
    untitled.info.description = "Ignored";
    untitled.info.runstat = 3;
    EXPECT_EQ(store->AddBatch(&untitled, 7), 7);
    EXPECT_EQ(db.Column(7, "description"), "New words");
    EXPECT_EQ(db.Column(7, "runstat"), "3");
}

TEST_F(BatchStore, SetBatchByIndexWritesAllButTheDate)
{
    db.InsertBatch(7, "Seven", 1, "/data/seven");
    CBatch b = NewBatch("Renamed");
    b.info.version = 2.5f;
    AddItem(b, "SAT-IR", 1);
    store->SetBatchByIndex(7, &b);
    EXPECT_EQ(db.Column(7, "title"), "Renamed");
    EXPECT_EQ(db.Column(7, "folder"), "/tmp/weather/Renamed");
    EXPECT_EQ(db.Column(7, "runstat"), "4");
    EXPECT_EQ(db.Column(7, "typeof(runstat)"), "integer");
    EXPECT_EQ(db.Column(7, "version"), "2.5");
    EXPECT_EQ(db.Column(7, "create_date"), "1700000000");
    EXPECT_TRUE(db.Items(7).empty());
}

TEST_F(BatchStore, MissingBatchReadsAsDefaults)
{
    db.InsertItem(42, "SAT-IR", 1);
    db.InsertItem(42, "GONE-FROM-CATALOGUE", 1);
    const CBatch b = store->GetBatchByIndex(42);
    EXPECT_EQ(b.info.ID, 42);
    EXPECT_TRUE(b.info.title.empty());
    EXPECT_EQ(b.info.status, 0);
    EXPECT_EQ(b.info.width, 0.0f);
    EXPECT_EQ(b.info.create_date.GetValue(), wxLongLong(0));
    ASSERT_EQ(b.items.GetCount(), 1u);
    EXPECT_EQ(b.items[0].info.FileID, "SAT-IR");
    // The row of the item that left the catalogue stays.
    EXPECT_EQ(db.Items(42).size(), 2u);
}

TEST_F(BatchStore, ToggleAndSetStatus)
{
    db.InsertBatch(7, "Seven", 1);
    EXPECT_EQ(store->ToggleBatchEnable(7), 0);
    EXPECT_EQ(db.Column(7, "status"), "0");
    EXPECT_EQ(store->ToggleBatchEnable(7), 1);
    EXPECT_EQ(db.Column(7, "status"), "1");
    EXPECT_EQ(store->ToggleBatchEnable(99), 1);
    EXPECT_FALSE(db.BatchRowExists(99));
    store->SetBatchStatus(7, 0);
    EXPECT_EQ(db.Column(7, "status"), "0");
}

TEST_F(BatchStore, TransferFolderKeepsOrReplaces)
{
    db.InsertBatch(7, "Seven", 1, "/data/seven");
    db.InsertBatch(8, "Eight", 1, "");
    struct Case {
        bool keep;
        int id;
        const char* folder;
        const char* result;
        const char* stored;
    } const cases[] = {
        {true, 7, "/other", "/data/seven", "/data/seven"},
        {true, 8, "/data/eight", "/data/eight", "/data/eight"},
        {false, 7, "/data/o'neil's files", "/data/o'neil's files", "/data/o'neil's files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store->SetBatchTransferFolder(c.keep, c.id, c.folder), c.result) << c.id;
        EXPECT_EQ(db.Column(c.id, "folder"), c.stored) << c.id;
    }
}

// Batches 1, 2 and 5 enabled, 3 disabled; each with selected and unselected items.
class BatchStoreModes : public BatchStore
{
protected:
    void SetUp() override
    {
        BatchStore::SetUp();
        db.Db().ExecuteUpdate("DELETE FROM batch_items");
        db.Db().ExecuteUpdate("DELETE FROM batches WHERE ID > 2");
        db.Db().ExecuteUpdate("UPDATE batches SET status=1, folder='/dl/' || ID WHERE ID IN (1,2)");
        db.InsertBatch(3, "Three", 0, "/dl/3");
        db.InsertBatch(5, "Five", 1, "/dl/5");
        db.InsertItem(1, "SAT-IR", 1);
        db.InsertItem(2, "GFS-WIND", 1);
        db.InsertItem(2, "TXT-FCST", 0);
        db.InsertItem(3, "TXT-FCST", 1);
        db.InsertItem(5, "O'BRIEN", 1);
        db.InsertItem(5, "GFS-WIND", 2);
        db.InsertItem(5, "SAT-IR", 0);
    }

    // (FileID, folder) of every entry.
    static std::vector<std::pair<wxString, wxString>> Entries(const CActiveFileList& list)
    {
        std::vector<std::pair<wxString, wxString>> out;
        for (const CActiveFile& f : list.files)
            out.emplace_back(f.FileID, f.folder);
        return out;
    }
    using Entries_t = std::vector<std::pair<wxString, wxString>>;
};

TEST_F(BatchStoreModes, EachModeSelectsItsBatches)
{
    struct Case {
        const char* name;
        const char* setup;
        int mode;
        Entries_t expected;
    } const cases[] = {
        {"basic, enabled", "", CBatchFolder::kBasicMode, {{"SAT-IR", "/dl/1"}}},
        {"basic, disabled", "UPDATE batches SET status=0 WHERE ID=1", CBatchFolder::kBasicMode, {}},
        {"wizard, enabled", "", CBatchFolder::kWizardMode, {{"GFS-WIND", "/dl/2"}}},
        {"wizard, disabled", "UPDATE batches SET status=0 WHERE ID=2", CBatchFolder::kWizardMode,
         {{"GFS-WIND", "/dl/2"}}},
        {"library", "", CBatchFolder::kLibraryMode,
         {{"GFS-WIND", "/dl/2"}, {"O'BRIEN", "/dl/5"}, {"GFS-WIND", "/dl/5"}}},
        {"library, wizard disabled", "UPDATE batches SET status=0 WHERE ID=2", CBatchFolder::kLibraryMode,
         {{"O'BRIEN", "/dl/5"}, {"GFS-WIND", "/dl/5"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.Db().ExecuteUpdate("UPDATE batches SET status=1 WHERE ID IN (1,2)");
        if (*c.setup)
            db.Db().ExecuteUpdate(c.setup);
        CActiveFileList list;
        list.Add("EARLIER", "x", "", "0", "0", "0", "", "/before", 0, 0, 0, "", 0, 0, 0, 0, 0);
        store->GetActiveFileList(list, c.mode);
        Entries_t expected = c.expected;
        expected.insert(expected.begin(), {"EARLIER", "/before"});
        EXPECT_EQ(Entries(list), expected);
    }
}

TEST_F(BatchStoreModes, EntriesCarryTheirBatchSettings)
{
    db.Db().ExecuteUpdate("UPDATE batches SET runstat=3, application='/apps/x', args=1, bCombineGribs=1, "
                          "gribfile='/dl/5/all.grb', bInteractive=1, width=15, lat=47.4, lon=-122.3, "
                          "runwexpg=1 WHERE ID=5");
    CActiveFileList list;
    store->GetActiveFileList(list, CBatchFolder::kLibraryMode);
    ASSERT_EQ(list.GetCount(), 3u);
    const CActiveFile& f = list[2];
    EXPECT_EQ(f.FileID, "GFS-WIND");
    EXPECT_EQ(f.Path, "data/gfs/wind=>gfs_wind.grb.bz2");
    EXPECT_EQ(f.Compression, "bz2");
    EXPECT_EQ(f.Price, "1.50");
    EXPECT_EQ(f.CompressedSize, "120");
    EXPECT_EQ(f.RawSize, "300");
    EXPECT_TRUE(f.LocalPath.empty());
    EXPECT_EQ(f.runstat, 3);
    EXPECT_EQ(f.application, "/apps/x");
    EXPECT_EQ(f.args, 1);
    EXPECT_EQ(f.bCombineGribs, 1);
    EXPECT_EQ(f.gribfile, "/dl/5/all.grb");
    EXPECT_EQ(f.bInteractive, 1);
    EXPECT_EQ(f.width, 15.0f);
    EXPECT_EQ(f.lat, 47.4f);
    EXPECT_EQ(f.lon, -122.3f);
    EXPECT_EQ(f.runwexpg, 1);
}

// Building a download list must not cost the user the last combined GRIB
// file: a transfer that then fails would leave nothing.
TEST_F(BatchStoreModes, CombinedGribFileSurvivesBuildingTheList)
{
    TempDir dir;
    const wxString grib = dir / "all.grb";
    ASSERT_TRUE(WriteFile(grib, "GRIB...7777"));
    wxSQLite3Statement st = db.Db().PrepareStatement("UPDATE batches SET bCombineGribs=1, gribfile=? WHERE ID IN (2,3,5)");
    st.Bind(1, grib);
    st.ExecuteUpdate();
    for (int mode : {CBatchFolder::kWizardMode, CBatchFolder::kLibraryMode}) {
        CActiveFileList list;
        store->GetActiveFileList(list, mode);
        store->GetActiveFileList(list, mode);
        EXPECT_EQ(ReadFile(grib), "GRIB...7777") << mode;
    }
}

TEST_F(BatchStore, ItemRowsAreReplacedInOneTransaction)
{
    db.InsertBatch(7, "Seven", 1);
    db.InsertItem(7, "SAT-IR", 1);
    // An item insert that the database refuses.
    db.Db().ExecuteUpdate("CREATE TRIGGER refuse_bad BEFORE INSERT ON batch_items "
                          "WHEN NEW.productID = 'BAD' BEGIN SELECT RAISE(ABORT, 'bad item'); END");
    CBatch b = NewBatch("Seven");
    b.info.runstat = 3;
    AddItem(b, "GFS-WIND", 1);
    CFileInfo bad;
    bad.info.FileID = "BAD";
    b.items.Add(bad);

    EXPECT_THROW(store->AddBatch(&b, 7), wxSQLite3Exception);
    // Nothing of the failed store is left: old settings and items are intact.
    EXPECT_EQ(db.Items(7), (ItemRows{{"SAT-IR", 1}}));
    EXPECT_EQ(db.Column(7, "runstat"), "0");

    const int before = db.Db().ExecuteScalar("SELECT count(*) FROM batches");
    EXPECT_THROW(store->AddBatch(&b, -1), wxSQLite3Exception);
    EXPECT_EQ(db.Db().ExecuteScalar("SELECT count(*) FROM batches"), before);
    EXPECT_TRUE(db.Db().GetAutoCommit());
}

TEST_F(BatchStore, WorksInsideTheCallersTransaction)
{
    db.Db().Begin();
    CBatch b = NewBatch("Inside");
    AddItem(b, "SAT-IR", 1);
    const int id = store->AddBatch(&b, -1);
    ASSERT_GT(id, 2);
    store->SetBatchItemStatus(0, id, "ALL_BATCH_ITEMS");
    store->DeleteBatch(3 == id ? 4 : 3);
    db.Db().Rollback();
    EXPECT_FALSE(db.BatchRowExists(id));
    EXPECT_TRUE(db.Items(id).empty());

    db.Db().Begin();
    EXPECT_EQ(store->AddBatch(&b, -1), id);
    db.Db().Commit();
    EXPECT_EQ(db.Items(id), (ItemRows{{"SAT-IR", 1}}));
}

TEST_F(BatchStore, DatabaseFailuresAreLoggedOrThrown)
{
    wxSQLite3Database empty;
    empty.Open(db.Dir() / "empty.db");
    store->SetDatabase(&empty);

    CBatch b = NewBatch("Nowhere");
    EXPECT_EQ(store->AddBatch(&b, -1), -1);
    EXPECT_TRUE(LogContains("SQL update error '"));
    EXPECT_THROW(store->GetBatchByIndex(1), wxSQLite3Exception);
    EXPECT_THROW(store->SetBatchStatus(1, 0), wxSQLite3Exception);
    CActiveFileList list;
    EXPECT_THROW(store->GetActiveFileList(list, CBatchFolder::kLibraryMode), wxSQLite3Exception);

    store->SetDatabase(nullptr);
    EXPECT_EQ(store->AddBatch(&b, -1), -1);
    EXPECT_THROW(store->ToggleBatchEnable(1), wxSQLite3Exception);
    store->SetDatabase(&db.Db());
}

// Texts with apostrophes, quotes and LIKE characters, and reals, whatever the
// user's locale (this suite runs again under a comma-decimal locale).
TEST_F(BatchStore, LocaleTextsAndRealsRoundTrip)
{
    const wxString title = wxS("Bob's \"best\" 50%_files");
    CBatch b = NewBatch("x");
    b.info.title = title;
    b.info.description = wxS("It's O'Neil's; DROP TABLE batches; -- 100%");
    b.info.application = wxS("/Applications/Bob's Viewer.app");
    b.info.folder = wxS("/Users/o'neil/Weather Files/Bob's \"best\"");
    b.info.gribfile = wxS("/Users/o'neil/all'.grb");
    b.info.width = 30.0f;
    b.info.lat = 47.4019f;
    b.info.lon = -122.323f;

    const int id = store->AddBatch(&b, -1);
    ASSERT_GT(id, 2);
    CBatch r = store->GetBatchByIndex(id);
    EXPECT_EQ(r.info.title, title);
    EXPECT_EQ(r.info.description, b.info.description);
    EXPECT_EQ(r.info.application, b.info.application);
    EXPECT_EQ(r.info.folder, b.info.folder);
    EXPECT_EQ(r.info.gribfile, b.info.gribfile);
    EXPECT_EQ(r.info.width, 30.0f);
    EXPECT_EQ(r.info.lat, 47.4019f);
    EXPECT_EQ(r.info.lon, -122.323f);
    EXPECT_EQ(db.Column(id, "typeof(lon)"), "real");
    EXPECT_EQ(db.Column(id, "lon"), "-122.322998");
    EXPECT_EQ(db.Column(id, "version"), "3.05");
    EXPECT_TRUE(db.BatchRowExists(0));

    // The update paths.
    r.info.description = wxS("Now 'quoted'");
    r.info.lat = -33.8688f;
    EXPECT_EQ(store->AddBatch(&r, id), id);
    r.info.title = wxS("Bob's second");
    r.info.version = 3.5f;
    store->SetBatchByIndex(id, &r);
    EXPECT_EQ(store->SetBatchTransferFolder(false, id, wxS("/Users/d'Arcy")), wxS("/Users/d'Arcy"));
    const CBatch s = store->GetBatchByIndex(id);
    EXPECT_EQ(s.info.title, wxS("Bob's second"));
    EXPECT_EQ(s.info.description, wxS("Now 'quoted'"));
    EXPECT_EQ(s.info.lat, -33.8688f);
    EXPECT_EQ(s.info.version, 3.5f);
    EXPECT_EQ(s.info.folder, wxS("/Users/d'Arcy"));
    EXPECT_EQ(db.Column(id, "typeof(version)"), "real");
}

TEST(BatchStoreLocale, NumbersAreWrittenWithAPoint)
{
    struct Case {
        double value;
        const char* text;
    } const cases[] = {
        {30.0, "30.000000"},
        {double(-122.323f), "-122.322998"},
        {0.5, "0.500000"},
        {-0.0000004, "-0.000000"},
        {1e300 * 1e300, "0.000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SqlReal(c.value), c.text);
    EXPECT_EQ(SqlInt(-12345678), "-12345678");
    EXPECT_EQ(SqlEscape(wxS("a'b''c")), wxS("a''b''''c"));
    EXPECT_EQ(tw::FormatFixed(47.45f, 1), "47.5");
}
