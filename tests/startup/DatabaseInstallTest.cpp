// Installing downloaded database updates at start-up, putting back the
// previous version of a database that no longer opens, the race edition's
// archive copy, and the download folders given to batches without one.
#include <sys/stat.h>

#include <fstream>

#include <wx/datetime.h>

#include "platform/Locations.h"
#include "startup/StartupFixtures.h"

using namespace startup_test;

namespace {

class DatabaseInstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp();
        ASSERT_TRUE(CInit::InitializeAppFolders());
        db = CInit::GetUserDBDir();
        updates = CInit::GetProductDBUpdatesDir();
        Exec(db + "/zir.db", "UPDATE Version SET Version=100");
        Exec(db + "/MarineZones.db", "UPDATE Version SET Version=200");
    }
    void TearDown() override { ResetApp(); }

    // A pending update: a copy of the installed database with a new version.
    wxString MakePending(const wxString& name, int version)
    {
        const wxString pending = updates + "/" + name;
        wxCopyFile(db + "/" + name, pending);
        Exec(pending, wxString::Format("UPDATE Version SET Version=%d", version));
        return pending;
    }

    int Version(const wxString& path) { return QueryInt(path, "SELECT Version FROM Version"); }

    // Sets both times of a file to now + offset seconds.
    static void Age(const wxString& path, int offsetSeconds)
    {
        const wxDateTime t = wxDateTime::Now() + wxTimeSpan::Seconds(offsetSeconds);
        wxFileName(path).SetTimes(&t, &t, nullptr);
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    wxString db;
    wxString updates;
};

} // namespace

TEST_F(DatabaseInstallTest, NoPendingFileChangesNothing)
{
    EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
    EXPECT_EQ(Version(db + "/zir.db"), 100);
    EXPECT_FALSE(wxFileExists(db + "/zir.db.old"));
}

TEST_F(DatabaseInstallTest, GoodPendingCatalogueReplacesTheInstalledOne)
{
    const wxString pending = MakePending("zir.db", 101);
    EXPECT_TRUE(CInit::InstallDatabaseUpdates(false));
    EXPECT_EQ(Version(db + "/zir.db"), 101);
    EXPECT_EQ(Version(db + "/zir.db.old"), 100);
    EXPECT_FALSE(wxFileExists(pending));
    struct stat st {};
    ASSERT_EQ(stat((db + "/zir.db").fn_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(DatabaseInstallTest, PendingUpdateIsInstalledEvenWhenTheInstalledFileIsNewer)
{
    // The program writes to the installed database while it runs (zone
    // selections, the suggestion engine), which makes it newer than an
    // update fetched earlier.
    const wxString pending = MakePending("zir.db", 101);
    Age(pending, -3600);
    Exec(db + "/zir.db", "UPDATE products SET TransLon=1");
    Age(db + "/zir.db", 0);
    EXPECT_TRUE(CInit::InstallDatabaseUpdates(false));
    EXPECT_EQ(Version(db + "/zir.db"), 101);
    EXPECT_FALSE(wxFileExists(pending));
}

TEST_F(DatabaseInstallTest, UnusablePendingFilesAreMovedAsideAndTheInstalledOneStays)
{
    struct Case {
        const char* name;
        std::string content;      // written as the pending file
        const char* sql;          // or made as a database with these statements
    } cases[] = {
        {"garbage", std::string(8192, '\x5a'), nullptr},
        {"cut-off download", std::string("SQLite format 3") + std::string(100, '\0'), nullptr},
        {"database without Version", "", "CREATE TABLE products (x INTEGER)"},
        {"empty Version table", "", "CREATE TABLE Version (Version INTEGER)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ClearLog();
        const wxString pending = updates + "/zir.db";
        wxRemoveFile(pending + ".bad");
        if (c.sql)
            Exec(pending, c.sql);
        else
            tw::test::WriteFile(pending, c.content);
        EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
        EXPECT_EQ(Version(db + "/zir.db"), 100);
        EXPECT_FALSE(wxFileExists(pending)) << "not tried again at every start";
        EXPECT_TRUE(wxFileExists(pending + ".bad"));
        EXPECT_TRUE(tw::test::LogContains("cannot be installed"));
        EXPECT_TRUE(tw::test::LogContains(pending + ".bad"));
        EXPECT_FALSE(wxFileExists(db + "/zir.db.old"));
    }
}

namespace {

// Catalogues the program cannot read, each made from a copy of a good one by
// these statements: tables it needs missing; views, triggers and computed
// columns whose reading or writing could take for ever; a FileID the
// suggestion engine's one pass does not give the rows of its UNION for.
struct UnreadableCatalogue {
    wxString name;
    wxString sql;
};

std::vector<UnreadableCatalogue> UnreadableCatalogues()
{
    const wxString recursive = "WITH RECURSIVE n(i) AS (SELECT 1 UNION SELECT i + 1 FROM n)";
    std::vector<UnreadableCatalogue> cases = {
        {"no products table", "DROP TABLE products"},
        {"products a view over an unbounded recursive query",
         "ALTER TABLE products RENAME TO p0; CREATE VIEW products AS " + recursive +
             " SELECT p0.* FROM p0, n ORDER BY i DESC"},
        {"products a view over a cross join",
         "ALTER TABLE products RENAME TO p0; CREATE VIEW products AS SELECT a.* FROM p0 a, p0 b, p0 c, p0 d, p0 e "
         "ORDER BY random()"},
        {"products a virtual table",
         "DROP TABLE products; CREATE VIRTUAL TABLE products USING fts4(CategoryIdx, RegionIdx, ChartTypeIdx, "
         "Category, Region, ChartType, FileID, Title, Path, File, Description, Price, Compression, RawSize, "
         "CompressedSize, Source, RaceDisable)"},
        {"products with a column computed as it is read",
         "ALTER TABLE products ADD COLUMN Slow TEXT GENERATED ALWAYS AS (hex(zeroblob(100000000))) VIRTUAL"},
        {"Version a view over an unbounded recursive query",
         "ALTER TABLE Version RENAME TO v0; CREATE VIEW Version AS " + recursive +
             " SELECT i AS Version FROM n ORDER BY i DESC"},
        {"buttons a view over an unbounded recursive query",
         "ALTER TABLE buttons RENAME TO b0; CREATE VIEW buttons AS " + recursive +
             " SELECT b0.* FROM b0, n ORDER BY i DESC"},
        {"hosts a view over an unbounded recursive query",
         "ALTER TABLE hosts RENAME TO h0; CREATE VIEW hosts AS " + recursive + " SELECT h0.* FROM h0, n"},
        {"ports a view over a cross join",
         "ALTER TABLE ports RENAME TO o0; CREATE VIEW ports AS SELECT a.* FROM o0 a, o0 b, o0 c, o0 d"},
        {"MetHighSeasZones a view over an unbounded recursive query",
         "ALTER TABLE MetHighSeasZones RENAME TO m0; CREATE VIEW MetHighSeasZones AS " + recursive +
             " SELECT m0.* FROM m0, n"},
        {"an endless trigger on products",
         "CREATE VIEW spin AS " + recursive + " SELECT i FROM n; "
         "CREATE TRIGGER slow AFTER UPDATE ON products BEGIN SELECT count(*) FROM spin; END"},
        {"a trigger on buttons", "CREATE TRIGGER t BEFORE INSERT ON buttons BEGIN SELECT 1; END"},
        {"FileID compared without case",
         "DROP INDEX products_fileid; PRAGMA writable_schema = ON; "
         "UPDATE sqlite_master SET sql = replace(sql, 'FileID         TEXT', 'FileID TEXT COLLATE NOCASE') "
         "WHERE name = 'products'; PRAGMA writable_schema = OFF"},
        {"FileID a number",
         "DROP INDEX products_fileid; PRAGMA writable_schema = ON; "
         "UPDATE sqlite_master SET sql = replace(sql, 'FileID         TEXT', 'FileID INTEGER') "
         "WHERE name = 'products'; PRAGMA writable_schema = OFF"},
        {"FileID without a type",
         "DROP INDEX products_fileid; PRAGMA writable_schema = ON; "
         "UPDATE sqlite_master SET sql = replace(sql, 'FileID         TEXT', 'FileID') "
         "WHERE name = 'products'; PRAGMA writable_schema = OFF"},
    };
    for (const wxString& column : CInit::CatalogueColumns())
        cases.push_back({"products without " + column,
                         "DROP INDEX IF EXISTS products_fileid; ALTER TABLE products DROP COLUMN " + column});
    return cases;
}

// Overwrites leaf pages in the middle of products, as damage in transit
// would: the file opens and its tables look right, but reading every row
// fails.
void DamageProductRows(const wxString& path)
{
    std::vector<wxString> pages =
        QueryTexts(path, "SELECT pageno FROM dbstat WHERE name = 'products' AND pagetype = 'leaf' ORDER BY pageno");
    const int pageSize = QueryInt(path, "PRAGMA page_size");
    ASSERT_GT(pages.size(), 4u);
    ASSERT_GT(pageSize, 0);
    std::fstream file(path.fn_str(), std::ios::binary | std::ios::in | std::ios::out);
    for (size_t i = pages.size() / 2; i < pages.size() / 2 + 2; ++i) {
        long page = 0;
        ASSERT_TRUE(pages[i].ToLong(&page));
        file.seekp(static_cast<std::streamoff>(page - 1) * pageSize);
        const std::string garbage(static_cast<size_t>(pageSize), '\xa5');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    ASSERT_TRUE(file.good());
}

} // namespace

// A catalogue update the load could not read is never installed: it is moved
// aside and the installed catalogue stays. None of them holds the check up.
TEST_F(DatabaseInstallTest, CatalogueUpdatesTheLoadCannotReadAreMovedAside)
{
    for (const UnreadableCatalogue& c : UnreadableCatalogues()) {
        SCOPED_TRACE(c.name);
        tw::test::ClearLog();
        const wxString pending = MakePending("zir.db", 101);
        wxRemoveFile(pending + ".bad");
        Exec(pending, c.sql);
        wxString why;
        EXPECT_FALSE(CInit::IsUsableCatalogue(pending, &why));
        EXPECT_FALSE(why.empty());
        EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
        EXPECT_EQ(Version(db + "/zir.db"), 100);
        EXPECT_FALSE(wxFileExists(pending));
        EXPECT_TRUE(wxFileExists(pending + ".bad"));
        EXPECT_TRUE(tw::test::LogContains("cannot be installed (" + why + ")"));
        EXPECT_FALSE(wxFileExists(db + "/zir.db.old"));
    }
    // The catalogue as built, and one with a column, a view and a table of
    // its own added and FileID declared as another text type, pass.
    const wxString pending = MakePending("zir.db", 102);
    EXPECT_TRUE(CInit::IsUsableCatalogue(pending));
    Exec(pending, "ALTER TABLE products ADD COLUMN Extra TEXT");
    Exec(pending, "CREATE TABLE notes (n TEXT); CREATE VIEW recent AS SELECT * FROM notes");
    Exec(pending, "DROP INDEX products_fileid; PRAGMA writable_schema = ON; "
                  "UPDATE sqlite_master SET sql = replace(sql, 'FileID         TEXT', 'FileID VARCHAR(40) COLLATE BINARY') "
                  "WHERE name = 'products'; PRAGMA writable_schema = OFF");
    EXPECT_TRUE(CInit::IsUsableCatalogue(pending));
    EXPECT_TRUE(CInit::InstallDatabaseUpdates(false));
    EXPECT_EQ(Version(db + "/zir.db"), 102);
}

namespace {

// Marine-zones databases whose tables the program cannot read safely, each
// made from a copy of a good one by these statements.
std::vector<UnreadableCatalogue> UnsafeMarineZones()
{
    const wxString recursive = "WITH RECURSIVE n(i) AS (SELECT 1 UNION SELECT i + 1 FROM n)";
    std::vector<UnreadableCatalogue> cases = {
        {"an endless trigger on MZones",
         "CREATE VIEW spin AS " + recursive + " SELECT i FROM n; "
         "CREATE TRIGGER slow AFTER UPDATE ON MZones BEGIN SELECT count(*) FROM spin; END"},
        {"a trigger on Buoys", "CREATE TRIGGER t AFTER UPDATE ON Buoys BEGIN SELECT 1; END"},
        {"RadarCities a virtual table",
         "DROP TABLE RadarCities; CREATE VIRTUAL TABLE RadarCities USING fts4(ID, City)"},
    };
    for (const char* table : {"Version", "Buoys", "MZones", "MZonesPos", "RadarCities"})
        cases.push_back({wxString(table) + " a view over an unbounded recursive query",
                         wxString::Format("ALTER TABLE %s RENAME TO t0; CREATE VIEW %s AS ", table, table) +
                             recursive + " SELECT t0.* FROM t0, n"});
    return cases;
}

} // namespace

// A marine-zones update whose tables could hold the program up is never
// installed; an installed one gives way to the previous one at the start, or
// ends the start with its notice when there is none.
TEST_F(DatabaseInstallTest, MarineZonesTheProgramCannotReadSafelyAreRefused)
{
    const wxString installed = db + "/MarineZones.db";
    const wxString good = home.Path() + "/good-mz.db";
    wxCopyFile(installed, good);
    for (const UnreadableCatalogue& c : UnsafeMarineZones()) {
        SCOPED_TRACE(c.name);
        ResetApp();
        tw::test::ClearLog();
        tw::test::ResetUi();
        const wxString pending = MakePending("MarineZones.db", 201);
        wxRemoveFile(pending + ".bad");
        Exec(pending, c.sql);
        wxString why;
        // Checked before the install, which writes to the pending file.
        ASSERT_FALSE(CInit::IsUsableDatabase(pending, &why));
        EXPECT_FALSE(why.empty());
        EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
        EXPECT_EQ(Version(installed), 200);
        EXPECT_FALSE(wxFileExists(pending));
        EXPECT_TRUE(wxFileExists(pending + ".bad"));
        EXPECT_TRUE(tw::test::LogContains("cannot be installed (" + why + ")"));

        // The same file installed as it stands.
        for (const bool previous : {true, false}) {
            SCOPED_TRACE(previous ? "previous kept" : "no previous");
            ResetApp();
            tw::test::ResetUi();
            wxRemoveFile(installed + ".bad");
            wxCopyFile(pending + ".bad", installed);
            if (previous)
                wxCopyFile(good, installed + ".old");
            else
                wxRemoveFile(installed + ".old");
            CRegistry settings;
            if (previous) {
                ASSERT_TRUE(app.InitDB(settings));
                EXPECT_EQ(app.marineZonesDbVersion, 200);
                EXPECT_TRUE(wxFileExists(installed + ".bad"));
            } else {
                EXPECT_FALSE(app.InitDB(settings));
                EXPECT_TRUE(tw::test::BoxShown("Cannot open MarineZones.db (" + installed +
                                               "), program will terminate."));
                EXPECT_EQ(app.marineZonesDb, nullptr);
            }
        }
        ResetApp();
        wxCopyFile(good, installed);
    }
}

// A start on an installed catalogue that cannot be loaded puts the previous
// one back, runs on it and tells the user; without a previous one the start
// ends with its notice, at once.
TEST_F(DatabaseInstallTest, UnloadableCatalogueGivesWayToThePreviousOne)
{
    std::vector<UnreadableCatalogue> cases = UnreadableCatalogues();
    cases.push_back({"damaged rows", ""});
    const wxString installed = db + "/zir.db";
    const wxString good = home.Path() + "/good.db";
    wxCopyFile(installed, good);
    for (const UnreadableCatalogue& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool previous : {true, false}) {
            SCOPED_TRACE(previous ? "previous kept" : "no previous");
            ResetApp();
            tw::test::ClearLog();
            tw::test::ResetUi();
            wxRemoveFile(installed + ".bad");
            wxRemoveFile(installed + ".old");
            wxCopyFile(good, installed);
            Exec(installed, "UPDATE Version SET Version=101");
            if (c.sql.empty())
                DamageProductRows(installed);
            else
                Exec(installed, c.sql);
            if (previous)
                wxCopyFile(good, installed + ".old");
            CRegistry settings;
            if (!previous) {
                EXPECT_FALSE(app.InitDB(settings));
                EXPECT_TRUE(tw::test::BoxShown("Cannot open zir.db (" + installed + "), program will terminate."));
                EXPECT_EQ(app.productDb, nullptr);
                continue;
            }
            ASSERT_TRUE(app.InitDB(settings));
            EXPECT_EQ(app.productDbVersion, 100);
            EXPECT_EQ(static_cast<int>(app.catalogue.GetCount()),
                      QueryInt(good, "SELECT count(DISTINCT CategoryIdx) FROM products"));
            EXPECT_FALSE(tw::test::BoxShown("Cannot open"));
            EXPECT_TRUE(tw::test::BoxShown("The product database update could not be used ("));
            EXPECT_FALSE(tw::test::BoxShown("WXSQLITE_"));
            EXPECT_TRUE(tw::test::BoxShown("the previous product database was put back and is used instead."));
            EXPECT_TRUE(wxFileExists(installed + ".bad"));
            EXPECT_FALSE(wxFileExists(installed + ".old"));
            EXPECT_EQ(Version(installed), 100);
        }
    }
}

TEST_F(DatabaseInstallTest, EmptyPendingFileStaysWhereItIs)
{
    const wxString pending = updates + "/MarineZones.db";
    tw::test::WriteFile(pending, "");
    EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
    EXPECT_TRUE(wxFileExists(pending));
    EXPECT_EQ(Version(db + "/MarineZones.db"), 200);
}

TEST_F(DatabaseInstallTest, PendingUpdateWhileADatabaseIsOpenInstallsNothing)
{
    MakePending("zir.db", 101);
    MakePending("MarineZones.db", 201);
    for (const CInit::OpenDatabases open : {CInit::OpenDatabases{true, false}, CInit::OpenDatabases{false, true}}) {
        SCOPED_TRACE(open.catalogue ? "catalogue open" : "marine zones open");
        EXPECT_FALSE(CInit::InstallDatabaseUpdates(false, open));
        EXPECT_EQ(Version(db + "/zir.db"), 100);
        EXPECT_EQ(Version(db + "/MarineZones.db"), 200);
    }
}

TEST_F(DatabaseInstallTest, MarineZonesUpdateCarriesTheUserSelectionsOver)
{
    const wxString installed = db + "/MarineZones.db";
    Exec(installed, "DELETE FROM Buoys");
    Exec(installed, "DELETE FROM MZones");
    Exec(installed,
         "INSERT INTO Buoys (StationID, BuoyName, Latitude, Longitude, selected) VALUES "
         "('46041','Cape Elizabeth',47.35,-124.74,1),('O''Brien','quote',1,1,1),"
         "('gone','removed in update',2,2,1),('46050','Stonewall',44.6,-124.5,0)");
    Exec(installed,
         "INSERT INTO MZones (zcode, region, description, Map, selected) VALUES "
         "('PZZ150','WEST','a','Coastal',1),('ANZ''X','EAST','b','Coastal',1),('PZZ250','WEST','c','Coastal',0)");
    const wxString pending = updates + "/MarineZones.db";
    wxCopyFile(installed, pending);
    Exec(pending, "UPDATE Version SET Version=201");
    Exec(pending, "DELETE FROM Buoys WHERE StationID='gone'");
    Exec(pending, "UPDATE Buoys SET selected=CASE WHEN StationID='46050' THEN 1 ELSE 0 END");
    Exec(pending, "UPDATE MZones SET selected=CASE WHEN zcode='PZZ250' THEN 1 ELSE 0 END");
    Exec(pending, "INSERT INTO MZones (zcode, region, Map, selected) VALUES ('NEW1','WEST','Coastal',1)");

    EXPECT_TRUE(CInit::InstallDatabaseUpdates(false));
    EXPECT_EQ(Version(installed), 201);
    EXPECT_EQ(Version(installed + ".old"), 200);
    EXPECT_FALSE(wxFileExists(pending));
    EXPECT_EQ(QueryTexts(installed, "SELECT StationID FROM Buoys WHERE selected=1 ORDER BY StationID"),
              (std::vector<wxString>{"46041", "O'Brien"}));
    EXPECT_EQ(QueryTexts(installed, "SELECT zcode FROM MZones WHERE selected=1 ORDER BY zcode"),
              (std::vector<wxString>{"ANZ'X", "PZZ150"}));
    EXPECT_EQ(QueryInt(installed, "SELECT count(*) FROM Buoys"), 3);
}

TEST_F(DatabaseInstallTest, FailedCarryOverKeepsTheOldMarineZonesAndShowsItsNotice)
{
    // The pending file is a database with a version but without the tables
    // the selections live in.
    MakePending("zir.db", 101);
    const wxString pending = updates + "/MarineZones.db";
    Exec(pending, "CREATE TABLE Version (Version INTEGER); INSERT INTO Version VALUES (201)");
    EXPECT_FALSE(CInit::InstallDatabaseUpdates(false));
    EXPECT_TRUE(tw::test::BoxShown("Failed to copy user values for MarineZones database (" + pending +
                                   ") - previous database will be used."));
    EXPECT_EQ(Version(db + "/zir.db"), 101) << "the catalogue stays replaced";
    EXPECT_EQ(Version(db + "/MarineZones.db"), 200);
    EXPECT_TRUE(wxFileExists(pending));
}

TEST_F(DatabaseInstallTest, UnopenableInstalledDatabaseGetsItsPreviousVersionBack)
{
    for (const char* name : {"zir.db", "MarineZones.db"}) {
        SCOPED_TRACE(name);
        ResetApp();
        tw::test::ClearLog();
        tw::test::ResetUi();
        const wxString installed = db + "/" + name;
        wxRenameFile(installed, installed + ".old", true);
        tw::test::WriteFile(installed, std::string(4096, 'q'));
        CRegistry settings;
        ASSERT_TRUE(app.InitDB(settings));
        EXPECT_FALSE(tw::test::BoxShown("Cannot open"));
        EXPECT_TRUE(tw::test::LogContains("the previous version was put back"));
        EXPECT_TRUE(wxFileExists(installed + ".bad"));
        EXPECT_FALSE(wxFileExists(installed + ".old"));
        EXPECT_EQ(std::string(name) == "zir.db" ? app.productDbVersion : app.marineZonesDbVersion,
                  std::string(name) == "zir.db" ? 100 : 200);
    }
}

TEST_F(DatabaseInstallTest, BatchesWithoutAFolderGetOneBelowTheDownloadRoot)
{
    // A Documents folder with an apostrophe in its name.
    const wxString docs = home.Path() + "/O'Neil Docs";
    wxFileName::Mkdir(docs, 0700, wxPATH_MKDIR_FULL);
    setenv("XDG_DOCUMENTS_DIR", docs.utf8_str(), 1);
    const wxString root = docs + "/Weather Files";

    const wxString userDb = db + "/zir_user.db";
    Exec(userDb, "UPDATE batches SET folder=NULL WHERE ID=0");
    Exec(userDb, "UPDATE batches SET folder='' WHERE ID IN (1,2)");
    Exec(userDb,
         "INSERT INTO batches (ID, title, folder) VALUES "
         "(3,'North Pacific',''),(4,'../../etc',NULL),(5,'',''),(6,'..',''),(7,'Bob''s a/b',''),"
         "(8,'kept','/somewhere/else')");
    CRegistry settings;
    ASSERT_TRUE(app.InitDB(settings));

    struct Expect {
        int id;
        wxString folder;
    } expected[] = {
        {0, root},
        {1, root + "/Basic Batch"},
        {3, root + "/North Pacific"},
        {4, root + "/.._.._etc"},
        {5, root + "/Batch 5"},
        {6, root + "/Batch 6"},
        {7, root + "/Bob's a_b"},
        {8, "/somewhere/else"},
    };
    for (const Expect& e : expected)
        EXPECT_EQ(QueryTexts(userDb, wxString::Format("SELECT folder FROM batches WHERE ID=%d", e.id)).at(0),
                  e.folder)
            << e.id;
}

TEST(FolderNames, BatchTitlesBecomeOneSafeComponent)
{
    struct Case {
        const char* title;
        const char* expected;
    } cases[] = {
        {"North Pacific", "North Pacific"}, {"a/b\\c", "a_b_c"}, {"  spaced  ", "spaced"},
        {"", "Batch 9"},                    {".", "Batch 9"},    {"..", "Batch 9"},
        {"...", "..."},                     {"/", "_"},          {"tab\there", "tab_here"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CInit::SafeFolderComponent(wxString::FromUTF8(c.title), 9), wxString::FromUTF8(c.expected))
            << c.title;
}

TEST(FolderNames, MkDirTreeMakesEveryLevelAndStopsAtAFile)
{
    tw::test::TempDir dir;
    EXPECT_TRUE(MkDirTree(dir / "a/b/c"));
    EXPECT_TRUE(wxDirExists(dir / "a/b/c"));
    EXPECT_TRUE(MkDirTree(dir / "a/b/c"));
    tw::test::WriteFile(dir / "file", "x");
    EXPECT_FALSE(MkDirTree(dir / "file/sub"));
}

// ---------------------------------------------------------------- race edition

namespace {

class RaceEditionTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetApp(); }
    void TearDown() override { ResetApp(); }

    void Install(FakeResources&)
    {
        ASSERT_TRUE(CInit::InitializeAppFolders());
        catalogue = CInit::GetProductDBPath();
        Exec(catalogue, "DELETE FROM products");
        InsertProducts(catalogue, {{0, 0, 0, "GRIB", "Atlantic", "Wind", "G1", "Open to all"},
                                   {0, 0, 0, "GRIB", "Atlantic", "Wind", "G2", "Barred", "/g2", "", 1}});
    }

    wxString FileIdOf(const wxString& title)
    {
        for (const CProduct& p : app.catalogue)
            for (const CRegion& r : p.regions)
                for (const CChartType& c : r.chartTypes)
                    for (const CFileInfo& f : c.files)
                        if (f.info.Title.StartsWith(title))
                            return f.info.FileID;
        return "<missing>";
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    wxString catalogue;
};

} // namespace

TEST_F(RaceEditionTest, BarredItemsLoseTheirIdsAfterTheArchiveIsMade)
{
    FakeResources res(2002, "Fastnet Race");
    Install(res);
    CRegistry settings;
    ASSERT_TRUE(app.InitDB(settings));
    const wxString archive = CInit::GetProductDBArchivePath();
    ASSERT_TRUE(wxFileExists(archive));
    EXPECT_EQ(QueryTexts(archive, "SELECT FileID FROM products ORDER BY FileID"),
              (std::vector<wxString>{"G1", "G2"}));
    EXPECT_EQ(QueryTexts(catalogue, "SELECT FileID FROM products WHERE Title='Barred'"),
              (std::vector<wxString>{""}));
    EXPECT_EQ(FileIdOf("Barred"), "");
    CFileInfo out;
    EXPECT_EQ(app.FindFileInfo(out, "G2"), nullptr);
    ASSERT_NE(app.FindFileInfo(out, "G1"), nullptr);
    EXPECT_EQ(out.info.Title, "Open to all");
    // The barred item is listed as unavailable.
    bool listed = false;
    for (const CFileInfo& f : app.catalogue[0].regions[0].chartTypes[0].files)
        listed = listed || f.info.Title == "Barred [unavailable in race mode]";
    EXPECT_TRUE(listed);
}

TEST_F(RaceEditionTest, WithoutAnArchiveTheStoredIdsStayAndOnlyTheLoadedCatalogueHidesThem)
{
    FakeResources res(2002, "Fastnet Race");
    Install(res);
    // Something in the way of the archive copy.
    wxFileName::Mkdir(catalogue + ".ar.part", 0700, wxPATH_MKDIR_FULL);
    CRegistry settings;
    ASSERT_TRUE(app.InitDB(settings));
    EXPECT_FALSE(wxFileExists(CInit::GetProductDBArchivePath()));
    EXPECT_TRUE(tw::test::LogContains("Failed to make archive copy of zir.db"));
    EXPECT_EQ(QueryTexts(catalogue, "SELECT FileID FROM products ORDER BY FileID"),
              (std::vector<wxString>{"G1", "G2"}))
        << "no file id is lost for good";
    EXPECT_EQ(FileIdOf("Barred"), "");
    CFileInfo out;
    EXPECT_EQ(app.FindFileInfo(out, "G2"), nullptr);
}

TEST_F(RaceEditionTest, LeavingTheRaceEditionPutsTheArchiveBack)
{
    {
        FakeResources race(2002, "Fastnet Race");
        Install(race);
        CRegistry settings;
        ASSERT_TRUE(app.InitDB(settings));
        app.CloseDatabases();
        WriteSetting("Misc/evp", "2002");
    }
    FakeResources standard(1000);
    CRegistry settings;
    ASSERT_TRUE(app.InitDB(settings));
    EXPECT_EQ(QueryTexts(catalogue, "SELECT FileID FROM products ORDER BY FileID"),
              (std::vector<wxString>{"G1", "G2"}));
    EXPECT_TRUE(wxFileExists(catalogue + ".bk"));
    EXPECT_FALSE(wxFileExists(CInit::GetProductDBArchivePath()));
    CFileInfo out;
    EXPECT_NE(app.FindFileInfo(out, "G2"), nullptr);
}
