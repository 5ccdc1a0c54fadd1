// Building the catalogue tree from the products table and finding items by
// file id.
#include "startup/StartupFixtures.h"

using namespace startup_test;

namespace {

class CatalogueLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp();
        path = dir / "zir.db";
        Exec(path, "CREATE TABLE products (CategoryIdx INTEGER, RegionIdx INTEGER, ChartTypeIdx INTEGER, "
                   "Category TEXT, Region TEXT, ChartType TEXT, FileID TEXT, Title TEXT, Path TEXT, File TEXT, "
                   "Description TEXT, Price TEXT, Compression TEXT, RawSize TEXT, CompressedSize TEXT, "
                   "Source TEXT, RaceDisable INTEGER, TransLon REAL)");
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

TEST_F(CatalogueLoadTest, RowsThatDoNotFitAreSkippedWithAWarning)
{
    Load({
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "G1", "ok"},
        {-1, 0, 0, "Bad", "Bad", "Bad", "NEG", "negative category"},
        {0, -3, 0, "GRIB", "Bad", "Bad", "NEGR", "negative region"},
        {2, 0, 0, "Jump", "Jump", "Jump", "JUMP", "category jumps"},
        {0, 2, 0, "GRIB", "Jump", "Jump", "JUMPR", "region jumps"},
        {0, 0, 5, "GRIB", "Atlantic", "Jump", "JUMPT", "chart type jumps"},
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "CTRL", "control code", "/a\tb"},
        {0, 0, 0, "GRIB", "Atlantic", "Wind", "WIDE", "wide code", "/caf\xc3\xa9"},
        {1, 0, 0, "Charts", "Pacific", "Surface", "C1", "after the bad rows"},
    });
    EXPECT_EQ(Shape(), (std::vector<wxString>{"GRIB/Atlantic/Wind: G1", "Charts/Pacific/Surface: C1"}));
    for (const char* id : {"NEG", "NEGR", "JUMP", "JUMPR", "JUMPT", "CTRL", "WIDE"})
        EXPECT_TRUE(tw::test::LogContains(wxString::Format("(file id \"%s\") skipped", id))) << id;
    EXPECT_TRUE(tw::test::LogContains("7 of 9 catalogue rows were skipped."));
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%s/%d", c.id, c.filter));
        CFileInfo copy;
        CFileInfo* found = c.filter == 0 ? app.FindFileInfo(copy, c.id)
                                         : app.FindFileInfoFilteredBasic(copy, c.id, c.filter > 0);
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
