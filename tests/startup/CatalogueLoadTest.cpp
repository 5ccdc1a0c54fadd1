// Building the catalogue tree from the products table and finding items by
// file id.
#include "startup/StartupFixtures.h"

using namespace startup_test;

namespace {

const char kProductsSchema[] =
    "CREATE TABLE products (CategoryIdx INTEGER, RegionIdx INTEGER, ChartTypeIdx INTEGER, "
    "Category TEXT, Region TEXT, ChartType TEXT, FileID TEXT, Title TEXT, Path TEXT, File TEXT, "
    "Description TEXT, Price TEXT, Compression TEXT, RawSize TEXT, CompressedSize TEXT, "
    "Source TEXT, RaceDisable INTEGER, TransLon REAL)";

class CatalogueLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp();
        path = dir / "zir.db";
        Exec(path, kProductsSchema);
    }
    void TearDown() override
    {
        if (db.IsOpen())
            db.Close();
        ResetApp();
    }

    void Load(const std::vector<ProductRow>& rows, bool encode = true)
    {
        InsertProducts(path, rows, encode);
        db.Open(path);
        app.LoadCatalogue(db);
    }

    // "Category/Region/ChartType: ids" for every chart type in walk order.
    std::vector<wxString> Shape() const
    {
        std::vector<wxString> out;
        for (const CProduct& p : app.catalogue)
            for (const CRegion& r : p.regions)
                for (const CChartType& c : r.chartTypes) {
                    wxString line = p.name + "/" + r.name + "/" + c.name + ":";
                    for (const CFileInfo& f : c.files)
                        line += " " + f.info.FileID;
                    out.push_back(line);
                }
        return out;
    }

    TidewrightApp& app = wxGetApp();
    tw::test::TempDir dir;
    wxString path;
    wxSQLite3Database db;
};

} // namespace

TEST_F(CatalogueLoadTest, RowsArePlacedByTheirIndicesAndFieldsAreFilled)
{
    Load({
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "G1", "GFS wind", "/grib/gfs_wind.grb", "bz2"},
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "G2", "GFS gust"},
        {0, 0, 1, "GRIB", "Atlantic", "Waves", "G3", "WW3"},
        {0, 1, 0, "GRIB", "Pacific", "Wind", "G4", "Pac wind"},
        // Same index, other names: joins the first node.
        {0, 1, 0, "GRIB-renamed", "Pacific-renamed", "Wind-renamed", "G5", "joins"},
        {1, 0, 0, "Weather Charts", "Atlantic", "Surface", "", "No id"},
    });
    EXPECT_EQ(Shape(), (std::vector<wxString>{"GRIB/Atlantic/Wind: G1 G2", "GRIB/Atlantic/Waves: G3",
                                              "GRIB/Pacific/Wind: G4 G5", "Weather Charts/Atlantic/Surface: "}));

    const CFileInfo& g1 = app.catalogue[0].regions[0].chartTypes[0].files[0];
    EXPECT_EQ(g1.info.Title, "GFS wind");
    EXPECT_EQ(g1.info.Path, "/grib/gfs_wind.grb") << "decoded";
    EXPECT_EQ(g1.info.Compression, "bz2");
    EXPECT_EQ(g1.info.File, "G1.grb");
    EXPECT_EQ(g1.info.Description, "about GFS wind");
    EXPECT_EQ(g1.info.Price, "1.25");
    EXPECT_EQ(g1.info.Category, "GRIB");
    EXPECT_EQ(g1.info.ChartType, "Wind");
    EXPECT_EQ(g1.info.RawSize, "200");
    EXPECT_EQ(g1.info.CompressedSize, "100");
    EXPECT_EQ(g1.info.Source, "NOAA");

    const CFileInfo& joined = app.catalogue[0].regions[1].chartTypes[0].files[1];
    EXPECT_EQ(joined.info.Category, "GRIB-renamed") << "an item keeps its own row's names";
    EXPECT_EQ(joined.info.ChartType, "Wind-renamed");

    const CFileInfo& noId = app.catalogue[1].regions[0].chartTypes[0].files[0];
    EXPECT_EQ(noId.info.Title, "No id [unavailable in race mode]");
}

// An index that names no node at its level (it jumps ahead, or is negative)
// makes a new node at the end of the level, and later rows with that index
// join it: no row of a catalogue update is lost.
TEST_F(CatalogueLoadTest, IndicesOutOfSequenceStillPlaceEveryRow)
{
    Load({
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "G1", "first"},
        {2, 0, 0, "Jump", "North", "Surface", "J1", "category 2 goes in at position 1"},
        {2, 0, 0, "Jump", "North", "Surface", "J2", "a later row of category 2 joins it"},
        {1, 0, 0, "Other", "X", "Y", "J3", "category 1 names that node too"},
        {0, 3, 0, "GRIB", "Pacific", "Wind", "R1", "region 3 goes in at position 1"},
        {0, 3, 0, "GRIB", "Pacific", "Wind", "R2", "joins it"},
        {0, 0, 7, "GRIB", "Atlantic", "Waves", "T1", "chart type 7 goes in at position 1"},
        {0, 0, 7, "GRIB", "Atlantic", "Waves", "T2", "joins it"},
        {0, 3, 5, "GRIB", "Pacific", "Gust", "T3", "a jump inside a moved region"},
        {-1, -2, -3, "Negative", "Neg", "Neg", "N1", "negative indices"},
        {-1, -2, -3, "Negative", "Neg", "Neg", "N2", "join the same nodes"},
        {3, 0, 0, "Charts", "Pacific", "Surface", "C1", "the next category in sequence"},
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "G2", "back to the first node"},
    });
    EXPECT_EQ(Shape(), (std::vector<wxString>{
                           "GRIB/Atlantic/Wind: G1 G2",
                           "GRIB/Atlantic/Waves: T1 T2",
                           "GRIB/Pacific/Wind: R1 R2",
                           "GRIB/Pacific/Gust: T3",
                           "Jump/North/Surface: J1 J2 J3",
                           "Negative/Neg/Neg: N1 N2",
                           "Charts/Pacific/Surface: C1",
                       }));
    CFileInfo out;
    for (const char* id : {"G1", "J1", "J2", "J3", "R1", "R2", "T1", "T2", "T3", "N1", "N2", "C1", "G2"})
        EXPECT_NE(app.FindFileInfo(out, id), nullptr) << id;
    EXPECT_FALSE(tw::test::LogContains("skipped"));
}

// Path and Compression are decoded character by character; characters the
// codec's table does not cover (control codes, anything beyond ASCII) pass
// through unchanged, and the row is loaded like any other.
TEST_F(CatalogueLoadTest, CharactersOutsideTheCodecPassThrough)
{
    const struct {
        const char* id;
        const char* path;
        const char* compression;
    } cases[] = {
        {"CTRL", "/a\tb/wind.grb", "bz2"},
        {"LATIN", "/caf\xc3\xa9/vent.grb", "bz2"},
        {"WIDE", "/\xe2\x98\x82 rain/\xf0\x9f\x8c\x8a.grb", "gz\xc3\xa9"},
        {"LOW", "/plain/x.grb", "\x01"},
    };
    std::vector<ProductRow> rows;
    for (const auto& c : cases)
        rows.push_back({0, 0, 0, "GRIB", "Atlantic", "Wind", c.id, "t", c.path, c.compression});
    Load(rows);
    const CFileInfoArray& files = app.catalogue[0].regions[0].chartTypes[0].files;
    ASSERT_EQ(files.GetCount(), std::size(cases));
    for (size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(cases[n].path);
        EXPECT_EQ(files[n].info.Path, wxString::FromUTF8(cases[n].path));
        EXPECT_EQ(files[n].info.Compression, wxString::FromUTF8(cases[n].compression));
    }
}

// Texts are read from the database as the database wrapper reads them,
// whatever a column stores: numbers, nothing (NULL), bytes that are not
// UTF-8, and texts of a database that stores UTF-16.
TEST_F(CatalogueLoadTest, EveryStoredFormReadsAsTheWrapperReadsIt)
{
    const wxString utf16 = dir / "utf16.db";
    for (const wxString& file : {path, utf16}) {
        wxSQLite3Database d;
        d.Open(file);
        if (file == utf16) {
            d.ExecuteUpdate("PRAGMA encoding = 'UTF-16le'");
            d.ExecuteUpdate(kProductsSchema);
        }
        d.Close();
        InsertProducts(file, {{0, 0, 0, "GRIB", "Atlantic", "Wind", "T1", "typed"}});
        Exec(file, "UPDATE products SET Price = 0.5, RawSize = 200, CompressedSize = NULL, "
                   "Description = CAST(X'41C328' AS TEXT), Source = X'4E4F4141' WHERE FileID = 'T1'");
        Exec(file, "INSERT INTO products (CategoryIdx, RegionIdx, ChartTypeIdx, Category, Region, ChartType, "
                   "FileID, Title, Path, File, Description, Price, Compression, RawSize, CompressedSize, Source, "
                   "RaceDisable) VALUES (0, 0, 0, 'GRIB', 'Atlantic', 'Wind', 'T2', CAST(X'C3' AS TEXT), "
                   "CAST(X'FF' AS TEXT), NULL, '', '', NULL, '', '', '', 0)");
    }

    for (const wxString& file : {path, utf16}) {
        SCOPED_TRACE(file);
        wxSQLite3Database d;
        d.Open(file);
        app.LoadCatalogue(d);
        wxSQLite3ResultSet rs = d.ExecuteQuery("SELECT * FROM products");
        const CFileInfoArray& files = app.catalogue[0].regions[0].chartTypes[0].files;
        for (size_t n = 0; rs.NextRow(); ++n) {
            ASSERT_LT(n, files.GetCount());
            const CFileInfo::t_info& f = files[n].info;
            wxString decodedPath = rs.GetAsString("Path");
            CDbTextEncoder::decode_db_string(decodedPath, false);
            EXPECT_EQ(f.Path, decodedPath);
            EXPECT_EQ(f.Title, rs.GetAsString("Title"));
            EXPECT_EQ(f.File, rs.GetAsString("File"));
            EXPECT_EQ(f.Description, rs.GetAsString("Description"));
            EXPECT_EQ(f.Price, rs.GetAsString("Price"));
            EXPECT_EQ(f.RawSize, rs.GetAsString("RawSize"));
            EXPECT_EQ(f.CompressedSize, rs.GetAsString("CompressedSize"));
            EXPECT_EQ(f.Source, rs.GetAsString("Source"));
        }
        const CFileInfo::t_info& typed = files[0].info;
        EXPECT_EQ(typed.Price, "0.5");
        EXPECT_EQ(typed.RawSize, "200");
        EXPECT_EQ(typed.CompressedSize, "");
        if (file == path) {
            EXPECT_EQ(typed.Source, "NOAA") << "the bytes of a BLOB, as text";
        }
        d.Close();
    }
}

// A catalogue's repeated texts are held once: items of one chart type share
// their category, chart type, source and repeated descriptions, and short
// texts (prices, sizes, compression) take no block at all.
TEST_F(CatalogueLoadTest, RepeatedTextsAreHeldOnce)
{
    std::vector<ProductRow> rows;
    std::vector<std::string> ids;
    for (int i = 0; i < 3000; ++i)
        ids.push_back("ITEM" + std::to_string(i));
    for (int i = 0; i < 3000; ++i)
        rows.push_back({0, 0, 0, "Weather Charts", "North Atlantic", "Surface Analysis", ids[i].c_str(),
                        i % 2 ? "Surface analysis, 00 UTC" : "Surface analysis, 12 UTC"});
    Load(rows);
    const CFileInfoArray& files = app.catalogue[0].regions[0].chartTypes[0].files;
    ASSERT_EQ(files.GetCount(), 3000u);
    const CFileInfo::t_info& a = files[1].info;
    const CFileInfo::t_info& b = files[2999].info;
    EXPECT_TRUE(a.Category.SharesWith(b.Category));
    EXPECT_TRUE(a.ChartType.SharesWith(b.ChartType));
    EXPECT_TRUE(a.Title.SharesWith(b.Title)) << "equal titles too";
    EXPECT_TRUE(a.Description.SharesWith(b.Description));
    EXPECT_EQ(a.Title, "Surface analysis, 00 UTC");
    for (const CItemText* shortText : {&a.Price, &a.RawSize, &a.CompressedSize, &a.Compression, &a.Source})
        EXPECT_EQ(shortText->HeapBytes(), 0u) << *shortText;
}

TEST_F(CatalogueLoadTest, FindFileInfoReturnsTheCatalogueItemFirstInWalkOrder)
{
    Load({
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "X", "x"},
        {0, 1, 0, "GRIB", "Pacific", "Wind", "Y", "y in the second region"},
        // Joins the first region: first in walk order although a later row.
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "Y", "y in the first region"},
        {1, 0, 0, "Basic Mode", "Basic", "Buttons", "B", "basic only"},
        {1, 0, 0, "Basic Mode", "Basic", "Buttons", "Z", "z basic"},
        {2, 0, 0, "Charts", "Any", "Any", "Z", "z other"},
        // Ids held in the field itself, in a block, and beyond ASCII.
        {2, 0, 0, "Charts", "Any", "Any", "ABCDEFG", "seven"},
        {2, 0, 0, "Charts", "Any", "Any", "ABCDEFGH", "eight"},
        {2, 0, 0, "Charts", "Any", "Any", "Z\xc3\xbcrich-1", "zurich"},
    });
    CFileInfo out;
    CFileInfo* y = app.FindFileInfo(out, "Y");
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(y, &app.catalogue[0].regions[0].chartTypes[0].files[1]) << "the catalogue's own item";
    EXPECT_EQ(out.info.Title, "y in the first region");

    struct Case {
        const char* id;
        int filter;   // 0 any, 1 skip Basic Mode, -1 only Basic Mode
        const char* title;
    } cases[] = {
        {"", 0, nullptr},       {"x", 0, nullptr},         {"X ", 0, nullptr},  {"missing", 0, nullptr},
        {"B", 0, "basic only"}, {"B", 1, nullptr},         {"B", -1, "basic only"},
        {"X", -1, nullptr},     {"X", 1, "x"},             {"Z", 0, "z basic"},
        {"Z", 1, "z other"},    {"Z", -1, "z basic"},
        {"ABCDEFG", 0, "seven"}, {"ABCDEFGH", 0, "eight"}, {"ABCDEFGh", 0, nullptr}, {"ABCDEF", 0, nullptr},
        {"Z\xc3\xbcrich-1", 0, "zurich"}, {"Zurich-1", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%s/%d", c.id, c.filter));
        CFileInfo copy;
        const wxString id = wxString::FromUTF8(c.id);
        CFileInfo* found = c.filter == 0 ? app.FindFileInfo(copy, id)
                                         : app.FindFileInfoFilteredBasic(copy, id, c.filter > 0);
        if (!c.title) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->info.Title, c.title);
        EXPECT_EQ(copy.info.Title, c.title);
        EXPECT_NE(found, &copy);
    }
}

TEST_F(CatalogueLoadTest, LookupsFollowACatalogueBuiltAgain)
{
    Load({{0, 0, 0, "GRIB", "Atlantic", "Wind", "OLD", "old"}});
    CFileInfo out;
    ASSERT_NE(app.FindFileInfo(out, "OLD"), nullptr);

    // Code that builds the tree itself (tests, tools) gets lookups over it.
    app.catalogue.Empty();
    CChartType chart;
    chart.name = "c";
    CFileInfo item;
    item.info.FileID = "NEW";
    item.info.Title = "new";
    chart.Add(item);
    CRegion region;
    region.Add(chart);
    CProduct product;
    product.Add(region);
    app.catalogue.Add(product);

    EXPECT_EQ(app.FindFileInfo(out, "OLD"), nullptr);
    CFileInfo* found = app.FindFileInfo(out, "NEW");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &app.catalogue[0].regions[0].chartTypes[0].files[0]);
}

TEST_F(CatalogueLoadTest, MissingProductsTableFailsTheDatabaseStep)
{
    Exec(path, "DROP TABLE products");
    db.Open(path);
    EXPECT_THROW(app.LoadCatalogue(db), wxSQLite3Exception);
    EXPECT_EQ(app.catalogue.GetCount(), 0u);
}
