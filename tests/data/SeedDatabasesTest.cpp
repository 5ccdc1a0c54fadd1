// The seed databases the build writes into the resources folder: every table
// and column the program reads or writes, the reserved batches, a catalogue
// that loads into the tree as intended, encoded server names, and content
// that the windows, the pickers and the suggestion engine can work on.
#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/wxsqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "core/StringHelpers.h"
#include "support/TestSupport.h"

namespace {

wxString SeedPath(const wxString& name)
{
    return tw::test::ResourcesDir() + "/" + name;
}

class SeedDatabases : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const char* name : {"zir.db", "zir_user.db", "MarineZones.db"})
            ASSERT_TRUE(wxFileExists(SeedPath(name))) << name << " was not built";
        catalogue().Open(SeedPath("zir.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
        user().Open(SeedPath("zir_user.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
        zones().Open(SeedPath("MarineZones.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
    }
    static void TearDownTestSuite()
    {
        catalogue().Close();
        user().Close();
        zones().Close();
    }
    static wxSQLite3Database& catalogue()
    {
        static wxSQLite3Database db;
        return db;
    }
    static wxSQLite3Database& user()
    {
        static wxSQLite3Database db;
        return db;
    }
    static wxSQLite3Database& zones()
    {
        static wxSQLite3Database db;
        return db;
    }

    static int Count(wxSQLite3Database& db, const wxString& sql)
    {
        wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
        return rs.NextRow() ? rs.GetInt(0) : -1;
    }

    static std::vector<wxString> Column(wxSQLite3Database& db, const wxString& sql)
    {
        std::vector<wxString> out;
        wxSQLite3ResultSet rs = db.ExecuteQuery(sql);
        while (rs.NextRow())
            out.push_back(rs.GetAsString(0));
        return out;
    }

    static std::set<wxString> Set(wxSQLite3Database& db, const wxString& sql)
    {
        const std::vector<wxString> v = Column(db, sql);
        return std::set<wxString>(v.begin(), v.end());
    }
};

struct TableColumns {
    const char* database;
    const char* table;
    std::vector<std::pair<const char*, const char*>> columns; // name, declared type ("" = any)
};

TEST_F(SeedDatabases, HaveEveryTableAndColumnTheProgramUses)
{
    const std::vector<TableColumns> expected = {
        {"zir", "Version", {{"Version", "INTEGER"}}},
        {"zir", "products",
         {{"CategoryIdx", "INTEGER"}, {"RegionIdx", "INTEGER"}, {"ChartTypeIdx", "INTEGER"}, {"Category", "TEXT"},
          {"Region", "TEXT"}, {"ChartType", "TEXT"}, {"FileID", "TEXT"}, {"Title", "TEXT"}, {"Path", "TEXT"},
          {"File", "TEXT"}, {"Description", "TEXT"}, {"Price", "TEXT"}, {"Compression", "TEXT"},
          {"RawSize", "TEXT"}, {"CompressedSize", "TEXT"}, {"Source", "TEXT"}, {"RaceDisable", "INTEGER"},
          {"Lat", "REAL"}, {"Lon", "REAL"}, {"Height", "REAL"}, {"Width", "REAL"}, {"TransLon", "REAL"}}},
        {"zir", "buttons",
         {{"Region", "TEXT"}, {"disp_ord", "INTEGER"}, {"RaceDisable", "INTEGER"}, {"ButtonText", "TEXT"},
          {"recid", "TEXT"}, {"graphic", "TEXT"}}},
        {"zir", "hosts", {{"hostname", "TEXT"}, {"IP", "TEXT"}, {"disp_order", "INTEGER"}}},
        {"zir", "ports", {{"port", "INTEGER"}, {"disp_order", "INTEGER"}}},
        {"zir", "MetHighSeasZones", {{"Zone", "TEXT"}, {"FileID", "TEXT"}}},
        {"zir_user", "batches",
         {{"ID", "INTEGER"}, {"title", "TEXT"}, {"description", "TEXT"}, {"create_date", "INTEGER"},
          {"status", "INTEGER"}, {"runstat", "INTEGER"}, {"application", "TEXT"}, {"args", "INTEGER"},
          {"folder", "TEXT"}, {"bCombineGribs", "INTEGER"}, {"gribfile", "TEXT"}, {"bInteractive", "INTEGER"},
          {"width", "REAL"}, {"lat", "REAL"}, {"lon", "REAL"}, {"runwexpg", "INTEGER"}, {"version", "REAL"}}},
        {"zir_user", "batch_items",
         {{"ID", "INTEGER"}, {"batchID", "INTEGER"}, {"productID", "TEXT"}, {"status", "INTEGER"}}},
        {"MarineZones", "Version", {{"Version", "INTEGER"}}},
        {"MarineZones", "Buoys",
         {{"StationID", "TEXT"}, {"BuoyName", "TEXT"}, {"Latitude", "REAL"}, {"Longitude", "REAL"},
          {"selected", "INTEGER"}}},
        {"MarineZones", "MZones",
         {{"ID", "INTEGER"}, {"zcode", "TEXT"}, {"region", "TEXT"}, {"description", "TEXT"}, {"lat", "REAL"},
          {"lon", "REAL"}, {"Map", "TEXT"}, {"selected", "INTEGER"}}},
        {"MarineZones", "MZonesPos", {{"zcode", "TEXT"}, {"lat", "REAL"}, {"lon", "REAL"}, {"part", "INTEGER"}}},
        {"MarineZones", "RadarCities",
         {{"ID", "INTEGER"}, {"City", "TEXT"}, {"RadarType", "TEXT"}, {"Latitude", "REAL"}, {"Longitude", "REAL"}}},
    };
    for (const TableColumns& t : expected)
    {
        wxSQLite3Database& db = wxString(t.database) == "zir" ? catalogue()
                                : wxString(t.database) == "zir_user" ? user() : zones();
        std::map<wxString, wxString> declared;
        wxSQLite3ResultSet rs = db.ExecuteQuery(wxString("PRAGMA table_info('") + t.table + "')");
        while (rs.NextRow())
            declared[rs.GetAsString("name")] = rs.GetAsString("type").Upper();
        ASSERT_FALSE(declared.empty()) << t.database << "." << t.table << " is missing";
        for (const auto& [name, type] : t.columns)
        {
            auto it = declared.find(name);
            ASSERT_NE(it, declared.end()) << t.database << "." << t.table << "." << name << " is missing";
            if (*type)
            {
                EXPECT_EQ(it->second, wxString(type)) << t.database << "." << t.table << "." << name;
            }
        }
    }
    EXPECT_GT(Count(catalogue(), "SELECT Version FROM Version"), 0);
    EXPECT_GT(Count(zones(), "SELECT Version FROM Version"), 0);
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM Version"), 1);
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM Version"), 1);
}

// Statements the program runs word for word must be accepted by the seeds.
TEST_F(SeedDatabases, AcceptTheProgramsOwnStatements)
{
    const std::vector<std::pair<wxSQLite3Database*, const char*>> statements = {
        {&catalogue(), "SELECT * FROM products"},
        {&catalogue(), "SELECT COUNT(DISTINCT Region) FROM buttons"},
        {&catalogue(), "SELECT * FROM buttons WHERE graphic <> '' ORDER BY disp_ord"},
        {&catalogue(), "SELECT * FROM buttons WHERE Region='Hawaii' ORDER BY disp_ord LIMIT 20"},
        {&catalogue(), "SELECT * FROM hosts ORDER BY disp_order"},
        {&catalogue(), "SELECT * FROM ports ORDER BY disp_order"},
        {&catalogue(), "SELECT IP FROM hosts WHERE hostname='localhost'"},
        {&catalogue(), "SELECT FileID FROM MetHighSeasZones WHERE (1=0) OR Zone='HSNPE'OR Zone='MA12'"},
        {&catalogue(), "SELECT Title,Category,Region,ChartType,Description,FileID FROM products WHERE "
                       "(description LIKE '%wind%' OR description LIKE '%wave%' ) AND Region='Global' "
                       "ORDER BY Title DESC"},
        {&user(), "SELECT * FROM batches WHERE (status=1) AND (ID = 1)"},
        {&user(), "SELECT * FROM batches WHERE (ID = 2)"},
        {&user(), "SELECT * FROM batches WHERE (status=1) AND (ID > 1)"},
        {&user(), "SELECT description,lat,lon,width FROM batches WHERE ID = 1"},
        {&user(), "SELECT productID,status FROM batch_items  WHERE batchID = 1"},
        {&zones(), "SELECT COUNT(*) AS rows FROM Buoys"},
        {&zones(), "SELECT * FROM Buoys"},
        {&zones(), "SELECT * FROM MZones WHERE region='WMA'"},
        {&zones(), "SELECT * FROM MZonesPos WHERE zcode='PZZ135' ORDER BY part,ROWID"},
        {&zones(), "SELECT * FROM RadarCities ORDER BY City"},
        {&zones(), "SELECT City FROM RadarCities WHERE ID=1 LIMIT 1"},
        {&zones(), "SELECT zcode,Map FROM MZones WHERE (selected=1) AND ((1=0)  OR (Map='Coastal') "
                   "OR (Map='Offshore') OR (Map='HighSeas') OR (Map='MetArea'))"},
    };
    for (const auto& [db, sql] : statements)
    {
        try
        {
            wxSQLite3ResultSet rs = db->ExecuteQuery(sql);
            rs.NextRow();
        }
        catch (const wxSQLite3Exception& e)
        {
            ADD_FAILURE() << sql << ": " << e.GetMessage();
        }
    }
}

TEST_F(SeedDatabases, HoldTheReservedBatchesAndNoOthers)
{
    EXPECT_EQ(Set(user(), "SELECT ID FROM batches"), (std::set<wxString>{"0", "1", "2"}));
    EXPECT_EQ(Count(user(), "SELECT COUNT(*) FROM batch_items"), 0);
    // Start-up gives batches without a folder their default folders.
    EXPECT_EQ(Count(user(), "SELECT COUNT(*) FROM batches WHERE folder = '' OR folder IS NULL"), 3);
    EXPECT_EQ(Count(user(), "SELECT status FROM batches WHERE ID = 1"), 1);

    // The Basic batch starts with a personality that has its twenty buttons
    // and an area the Basic window accepts as it is.
    wxSQLite3ResultSet rs = user().ExecuteQuery("SELECT description,lat,lon,width FROM batches WHERE ID = 1");
    ASSERT_TRUE(rs.NextRow());
    const wxString personality = rs.GetAsString("description");
    EXPECT_GE(Count(catalogue(), "SELECT COUNT(*) FROM buttons WHERE Region='" + personality + "'"), 20);
    const double lat = rs.GetDouble("lat"), lon = rs.GetDouble("lon"), width = rs.GetDouble("width");
    EXPECT_TRUE(lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180 && width >= 1 && width <= 80);

    // A new batch gets an id above the reserved ones. The seed is opened
    // read-only, so try it on a copy.
    tw::test::TempDir dir;
    const wxString copy = dir / "zir_user.db";
    ASSERT_TRUE(wxCopyFile(SeedPath("zir_user.db"), copy));
    wxSQLite3Database db;
    db.Open(copy);
    db.ExecuteUpdate("INSERT INTO batches (title,description,create_date,status,runstat,application,args,folder,"
                     "bCombineGribs,gribfile,bInteractive,width,lat,lon,runwexpg,version) VALUES ('North Pacific',"
                     "'','-1',1,0,'',0,'',0,'',0,10.000000,47.400002,-122.322998,0,3.05)");
    EXPECT_EQ(db.GetLastRowId().ToLong(), 3);
    db.ExecuteUpdate("INSERT INTO batch_items (batchID,productID,status) values (3,'gfs001',0)");
    // The unselected-items delete compares status with a quoted '0'.
    EXPECT_EQ(db.ExecuteUpdate("DELETE FROM batch_items WHERE batchID=3 AND status = '0'"), 1);
    db.Close();
}

// Rows must come grouped, with indices that count 0, 1, 2 ... in order of
// first appearance at each level and always name the same node.
TEST_F(SeedDatabases, CatalogueIndicesAreDenseAndInOrder)
{
    struct Node {
        wxString name;
        std::vector<Node> children;
    };
    std::vector<Node> tree;
    wxString lastKey;
    std::set<wxString> finishedKeys;
    int rows = 0;
    wxSQLite3ResultSet rs = catalogue().ExecuteQuery("SELECT * FROM products ORDER BY ROWID");
    while (rs.NextRow())
    {
        ++rows;
        const int ci = rs.GetInt("CategoryIdx"), ri = rs.GetInt("RegionIdx"), ti = rs.GetInt("ChartTypeIdx");
        const wxString c = rs.GetAsString("Category"), r = rs.GetAsString("Region"), t = rs.GetAsString("ChartType");
        const wxString where = c + " / " + r + " / " + t;

        ASSERT_TRUE(ci >= 0 && ci <= static_cast<int>(tree.size())) << where;
        if (ci == static_cast<int>(tree.size()))
            tree.push_back({c, {}});
        Node& cat = tree[ci];
        ASSERT_EQ(cat.name, c) << where;
        ASSERT_TRUE(ri >= 0 && ri <= static_cast<int>(cat.children.size())) << where;
        if (ri == static_cast<int>(cat.children.size()))
            cat.children.push_back({r, {}});
        Node& reg = cat.children[ri];
        ASSERT_EQ(reg.name, r) << where;
        ASSERT_TRUE(ti >= 0 && ti <= static_cast<int>(reg.children.size())) << where;
        if (ti == static_cast<int>(reg.children.size()))
            reg.children.push_back({t, {}});
        ASSERT_EQ(reg.children[ti].name, t) << where;

        // Grouped: once a chart type is left it never comes back.
        const wxString key = wxString::Format("%d/%d/%d", ci, ri, ti);
        if (key != lastKey)
        {
            ASSERT_EQ(finishedKeys.count(key), 0u) << where << " is split";
            if (!lastKey.empty())
                finishedKeys.insert(lastKey);
            lastKey = key;
        }
    }
    EXPECT_GE(rows, 300);
    EXPECT_GE(tree.size(), 14u);
}

TEST_F(SeedDatabases, ServerNamesRoundTripThroughTheCodec)
{
    std::set<wxString> localNames;
    int withBlank = 0;
    wxSQLite3ResultSet rs = catalogue().ExecuteQuery("SELECT FileID, Path, Compression FROM products");
    while (rs.NextRow())
    {
        const wxString stored = rs.GetAsString("Path");
        wxString path = stored;
        CDbTextEncoder::decode_db_string(path, false);
        EXPECT_EQ(CDbTextEncoder::encode_db_string(path, false), stored);
        ASSERT_FALSE(path.empty()) << rs.GetAsString("FileID");
        for (wxUniChar ch : path)
            ASSERT_TRUE(ch.GetValue() >= 32 && ch.GetValue() < 127) << path;
        EXPECT_NE(path, stored) << "stored in plain text";
        if (path.Contains(" "))
            ++withBlank;

        wxString compression = rs.GetAsString("Compression");
        CDbTextEncoder::decode_db_string(compression, false);
        EXPECT_TRUE(compression.empty() || compression == "bz2") << compression;

        // Every item lands under its own local file name (the part after the
        // last "/", then after "=>"), so no two items overwrite each other.
        wxString name = path.AfterLast('/');
        if (name.Contains("=>"))
            name = name.AfterFirst('=').Mid(1);
        EXPECT_TRUE(localNames.insert(name).second) << "two items download to " << name;
    }
    EXPECT_GT(withBlank, 0) << "some server names should carry a blank";
}

TEST_F(SeedDatabases, CatalogueHasTheKindsOfContentTheWindowsOffer)
{
    const std::set<wxString> categories = Set(catalogue(), "SELECT DISTINCT Category FROM products");
    for (const char* c : {"Animation", "Weather Charts", "Text", "Satellite Imagery", "Buoy", "Race", "Terrafin",
                          "Ocean Charts", "PRO Services", "Ice", "Tides", "Basic Mode"})
        EXPECT_EQ(categories.count(c), 1u) << c;
    EXPECT_GE(Count(catalogue(), "SELECT COUNT(DISTINCT Category) FROM products WHERE Category LIKE 'GRIB%'"), 1);

    const std::set<wxString> chartTypes = Set(catalogue(), "SELECT DISTINCT ChartType FROM products");
    for (const char* t : {"Surface Analysis", "500 mb", "Wind", "Sea State", "Wind Wave", "Cyclone", "Infrared",
                          "Visible", "Water Vapor", "Image with Chart-Surface Analysis", "Image with Chart-Wind Wave",
                          "Current Velocity", "SSH Anomaly", "Chlorophyll", "Catch Journals", "Fish Prices"})
        EXPECT_EQ(chartTypes.count(t), 1u) << t;
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Category='Terrafin' AND ChartType LIKE '%SST%'"),
              0);

    // Items without a file id, race-disabled items, and both kinds of race
    // rows in the Basic window's buttons.
    EXPECT_GE(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE FileID = ''"), 2);
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE RaceDisable = 1"), 0);
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE RaceDisable = 0"), 0);
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM buttons WHERE RaceDisable = 1"), 0);
    // File ids are unique.
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE FileID <> ''"),
              Count(catalogue(), "SELECT COUNT(DISTINCT FileID) FROM products WHERE FileID <> ''"));
    // Prices and sizes are decimal texts.
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE typeof(Price) <> 'text' OR "
                                 "typeof(RawSize) <> 'text' OR typeof(CompressedSize) <> 'text'"),
              0);
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Price NOT GLOB '[0-9]*.[0-9][0-9]' OR "
                                 "RawSize GLOB '*[^0-9]*' OR CompressedSize GLOB '*[^0-9]*'"),
              0);
    // Areas are on the globe, longitudes east in [0, 360).
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Lon < 0 OR Lon >= 360 OR Lat < -90 OR "
                                 "Lat > 90 OR Width <= 0 OR Width > 360 OR Height <= 0 OR Height > 180"),
              0);
}

TEST_F(SeedDatabases, HoldEveryFixedFileIdTheSuggestionsUse)
{
    const std::set<wxString> ids = Set(catalogue(), "SELECT FileID FROM products");
    for (const char* id :
         {"bw1", "bw4", "ps110", "ps113", "oc30a", "oc31a", "oc36", "oc884", "ps1", "ps2", "ps3", "ps4", "ps7",
          "ps8", "ps11", "ps12", "hycomg005h", "hycomg005l", "glbhycom001", "glbocng005a", "hycomg009h",
          "hycomg009l", "glbhycom003", "glbocng007a", "nlomg400a", "hycomg006h", "hycomg006l", "glbhycom005",
          "glbocng009a", "nlomg401a", "hycomg008h", "hycomg008l", "hycomg007h", "hycomg007l", "glbhycom004"})
        EXPECT_EQ(ids.count(id), 1u) << id;

    // The Gulf Stream charts that the colour and black-and-white choices name
    // belong to the categories those queries ask for.
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Category='Ocean Charts' AND "
                                 "FileID IN ('oc30a','oc31a','oc36','oc884')"),
              4);
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Category='PRO Services' AND "
                                 "FileID IN ('ps1','ps2','ps3','ps4','ps7','ps8','ps11','ps12')"),
              8);
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Category='Text' AND Source='ENVCAN'"), 0);
}

// Every file-name pattern of the GRIB preferences, for every forecast length
// and both grid choices, finds catalogue items through the encoded LIKE.
TEST_F(SeedDatabases, GribPreferencePatternsFindItems)
{
    struct Pattern {
        const char* prefix;
        const char* param;
        bool regional;
        std::vector<int> days;
    };
    const std::vector<int> week = {1, 2, 3, 4, 5, 6, 7};
    const std::vector<Pattern> patterns = {
        {"=>avnwind.", "", false, week},        {"=>surfwind.", "", false, {1, 2, 3, 4, 5}},
        {"=>wind.", "", false, week},           {"=>bwxeuwind.", "", false, {1, 2, 3, 4, 5}},
        {"=>prwav.", "", false, {1, 5}},        {"=>wave.", "", false, week},
        {"=>bwxeuwave.", "", false, {1, 5}},    {"=>swell.", "", false, week},
        {"avnprmsl.", "", false, week},         {"=>prsml.", "", false, {1, 5}},
        {"avnhgt500mb.", "", false, week},      {"=>hgt500mb.", "", false, {1, 5}},
        {"avnprcp.", "", false, week},          {"=>prcp.", "", false, {1, 5}},
        {"avncld.", "", false, week},           {"=>cld.", "", false, {1, 5}},
        {"=>avn4lftx.", "", false, week},       {"avnairtemp.", "", false, week},
        {"=>airtemp.", "", false, {1, 5}},      {"=>fxmed", "wind.", true, {1, 2, 3}},
        {"=>fxbas", "wind.", true, {1, 3}},     {"=>fxbks", "wind.", true, {1, 3}},
        {"=>fxnos", "wind.", true, {1, 3}},     {"=>fxpol", "wind.", true, {1, 3}},
        {"=>fxeur", "wind.", true, {1, 3}},     {"=>fxmed", "wave.", true, {1, 3}},
        {"=>fxbas", "wave.", true, {1, 3}},     {"=>fxbks", "wave.", true, {1, 3}},
        {"=>fxnos", "wave.", true, {1, 3}},     {"=>fxpol", "prmsl.", true, {1, 3}},
        {"=>fxeur", "prmsl.", true, {1, 3}},    {"=>fxpol", "hgt500mb.", true, {1, 3}},
        {"=>fxeur", "hgt500mb.", true, {1, 3}}, {"=>fxpol", "prcp.", true, {1, 3}},
        {"=>fxeur", "prcp.", true, {1, 3}},     {"=>fxpol", "ccc.", true, {1, 3}},
        {"=>fxeur", "ccc.", true, {1, 3}},      {"=>fxpol", "airtemp.", true, {1, 3}},
        {"=>fxeur", "airtemp.", true, {1, 3}},
    };
    for (const Pattern& p : patterns)
        for (int n : p.days)
            for (const char* res : p.regional ? std::vector<const char*>{"", "25"} : std::vector<const char*>{""})
            {
                const wxString plain = wxString::Format("%s%s%s%dday", p.prefix, res, p.param, n);
                const wxString sql = "SELECT COUNT(*) FROM products WHERE (Category LIKE 'GRIB%') AND "
                                     "(Path LIKE '%" + CDbTextEncoder::encode_db_string(plain, true) +
                                     "%' ESCAPE '\\')";
                EXPECT_EQ(Count(catalogue(), sql), 1) << plain;
            }
}

TEST_F(SeedDatabases, PersonalitiesHaveTwentyButtonsOfBasicItems)
{
    const std::vector<wxString> pictureRows =
        Column(catalogue(), "SELECT Region FROM buttons WHERE graphic <> '' ORDER BY disp_ord");
    EXPECT_GE(pictureRows.size(), 3u);
    EXPECT_EQ(static_cast<int>(pictureRows.size()), Count(catalogue(), "SELECT COUNT(DISTINCT Region) FROM buttons"));
    for (const wxString& region : pictureRows)
    {
        EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM buttons WHERE Region='" + region + "'"), 20) << region;
        EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM buttons WHERE Region='" + region + "' AND graphic <> ''"),
                  1)
            << region;
        EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM buttons b JOIN products p ON p.FileID = b.recid "
                                     "WHERE b.Region='" + region + "' AND p.Category = 'Basic Mode'"),
                  20)
            << region;
    }
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM buttons WHERE graphic IS NULL OR ButtonText = ''"), 0);
}

TEST_F(SeedDatabases, OfferTheLocalTestGateway)
{
    EXPECT_EQ(Column(catalogue(), "SELECT IP FROM hosts WHERE hostname='localhost'"),
              (std::vector<wxString>{"127.0.0.1"}));
    const std::set<wxString> ports = Set(catalogue(), "SELECT port FROM ports");
    EXPECT_EQ(ports.count("443"), 1u);
    EXPECT_EQ(Count(catalogue(), "SELECT COUNT(*) FROM hosts"), Count(catalogue(), "SELECT COUNT(DISTINCT disp_order) FROM hosts"));
}

TEST_F(SeedDatabases, HighSeasZonesMapToCatalogueItems)
{
    const std::set<wxString> ids = Set(catalogue(), "SELECT FileID FROM products WHERE FileID <> ''");
    const std::set<wxString> highSeasZones =
        Set(zones(), "SELECT zcode FROM MZones WHERE (Map='HighSeas' OR Map='MetArea') AND ID <> 27");
    std::set<wxString> mapped;
    wxSQLite3ResultSet rs = catalogue().ExecuteQuery("SELECT Zone, FileID FROM MetHighSeasZones");
    while (rs.NextRow())
    {
        EXPECT_EQ(ids.count(rs.GetAsString("FileID")), 1u) << rs.GetAsString("FileID");
        EXPECT_EQ(highSeasZones.count(rs.GetAsString("Zone")), 1u) << rs.GetAsString("Zone");
        mapped.insert(rs.GetAsString("Zone"));
    }
    // METAREA 27 has no outline in the picker, so it can never be chosen.
    EXPECT_EQ(mapped, highSeasZones) << "every high-seas zone and METAREA has a product";
    EXPECT_GT(Count(catalogue(), "SELECT COUNT(*) FROM (SELECT Zone FROM MetHighSeasZones GROUP BY Zone "
                                 "HAVING COUNT(*) > 1)"),
              0);
}

TEST_F(SeedDatabases, BuoysArePlausibleAndSomeSitNearTheDateLine)
{
    EXPECT_GE(Count(zones(), "SELECT COUNT(*) FROM Buoys"), 200);
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM Buoys"), Count(zones(), "SELECT COUNT(DISTINCT StationID) FROM Buoys"));
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM Buoys WHERE Latitude < -90 OR Latitude > 90 OR Longitude < -180 "
                             "OR Longitude > 180 OR StationID LIKE '%''%' OR BuoyName = '' OR selected <> 0"),
              0);
    EXPECT_GE(Count(zones(), "SELECT COUNT(*) FROM Buoys WHERE Longitude > 178"), 2);
    EXPECT_GE(Count(zones(), "SELECT COUNT(*) FROM Buoys WHERE Longitude < -178"), 2);
    // Buoy reports name their station in the title, which is how selected
    // buoys find them.
    std::vector<wxString> stations = Column(zones(), "SELECT StationID FROM Buoys WHERE Longitude > 178");
    int withReports = 0;
    for (const wxString& s : stations)
        if (Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Category='Buoy' AND Title LIKE '%" + s + "%'") > 0)
            ++withReports;
    EXPECT_GT(withReports, 0);
}

// The view of a regional map: top-left corner and 11.37 pixels per degree on
// an 800 x 400 picture, or the whole Pacific-centred world map.
struct SubMap {
    const char* regionPrefix;
    double top, left, ppd;
    int width, height;
};

TEST_F(SeedDatabases, ZoneOutlinesLieInsideTheMapsThatShowThem)
{
    const double worldPpd = 4096.0 / 360.0;
    const std::map<wxString, SubMap> views = {
        {"WEST", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"EAST", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"GREAT_LAKES", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"SOUTH", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"GULF", {"", 41.045, -113.467, 11.37, 800, 400}},
        {"ALASKA", {"", 82.8, 162.8, 11.37, 800, 400}},
        {"PACIFIC_ISLANDS", {"", 32.9, 139.8, 11.37, 800, 400}},
        {"PR_VI", {"", 41.045, -113.467, 11.37, 800, 400}},
        {"OFFSHORE_Gulf", {"", 41.045, -113.467, 11.37, 800, 400}},
        {"OFFSHORE_Alaska", {"", 82.8, 162.8, 11.37, 800, 400}},
        {"OFFSHORE_West Coast", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"OFFSHORE_Atlantic", {"", 51.3, -132.5, 11.37, 800, 400}},
        {"OFFSHORE_Caribbean", {"", 41.045, -113.467, 11.37, 800, 400}},
        {"OFFSHORE_Arctic", {"", 82.8, 162.8, 11.37, 800, 400}},
        {"OFFSHORE_Hawaii", {"", 32.9, 139.8, 11.37, 800, 400}},
        {"HIGHSEAS", {"", 90.0, 0.001, worldPpd, 4096, 2048}},
    };
    // Every region the pickers and the engine query has zones.
    for (const auto& [region, view] : views)
        EXPECT_GT(Count(zones(), "SELECT COUNT(*) FROM MZones WHERE region='" + region + "'"), 0) << region;

    // The codes the coastal map's query leaves out of every coastal region.
    const std::set<wxString> neverOffered = {"ANZ070", "ANZ170", "ANZ270", "ANZ271", "ANZ272", "ANZ273",
                                             "ANZ370", "ANZ470", "ANZ670", "AMZ170", "AMZ270", "AMZ370"};
    wxSQLite3ResultSet rs = zones().ExecuteQuery("SELECT zcode, region, Map FROM MZones WHERE region <> 'WMA'");
    int zoneCount = 0;
    std::set<wxString> withoutOutline;
    while (rs.NextRow())
    {
        ++zoneCount;
        const wxString zcode = rs.GetAsString("zcode"), region = rs.GetAsString("region");
        auto it = views.find(region);
        ASSERT_NE(it, views.end()) << "zone " << zcode << " in unknown region " << region;
        const SubMap& v = it->second;
        wxSQLite3ResultSet pos =
            zones().ExecuteQuery("SELECT lat, lon FROM MZonesPos WHERE zcode='" + zcode + "' ORDER BY part,ROWID");
        int vertices = 0;
        while (pos.NextRow())
        {
            ++vertices;
            double lat = pos.GetDouble("lat"), lon = pos.GetDouble("lon");
            EXPECT_TRUE(lon >= -180 && lon <= 180) << zcode;
            // The map control's sub-map conversion.
            if (v.left * lon < 0)
                lon += 360;
            const double x = std::trunc((lon - v.left) * v.ppd);
            const double y = std::trunc((lat - v.top) * v.ppd);
            EXPECT_TRUE(x >= 0 && x < v.width && y <= 0 && -y < v.height)
                << zcode << " vertex " << pos.GetDouble("lat") << "/" << pos.GetDouble("lon") << " is off its map";
        }
        if (vertices == 0)
            withoutOutline.insert(zcode);
        else
            EXPECT_GE(vertices, 3) << zcode << " has no area";

        // Coastal and offshore zones that a map offers find their text
        // forecasts by title.
        const wxString kind = rs.GetAsString("Map");
        const bool offered = vertices > 0 && !(region == "EAST" && neverOffered.count(zcode));
        if ((kind == "Coastal" || kind == "Offshore") && offered)
        {
            EXPECT_GE(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE Title LIKE '" + zcode + "%'"), 1)
                << zcode;
        }
    }
    EXPECT_GT(zoneCount, 50);
    // One listed code has no outline: the map lists it and draws nothing.
    EXPECT_EQ(withoutOutline, (std::set<wxString>{"LMZ080"}));
    EXPECT_EQ(Set(zones(), "SELECT zcode FROM MZones WHERE region='EAST' AND zcode IN ('ANZ070','ANZ170','ANZ270',"
                           "'ANZ271','ANZ272','ANZ273','ANZ370','ANZ470','ANZ670','AMZ170','AMZ270','AMZ370')"),
              neverOffered)
        << "the eastern region holds every code its coastal map leaves out";
    // A zone in two parts, and an outline with a vertex repeated right after itself.
    EXPECT_GE(Count(zones(), "SELECT COUNT(*) FROM (SELECT zcode FROM MZonesPos GROUP BY zcode "
                             "HAVING COUNT(DISTINCT part) > 1)"),
              1);
    EXPECT_GE(Count(zones(), "SELECT COUNT(*) FROM MZonesPos a JOIN MZonesPos b ON b.ROWID = a.ROWID + 1 "
                             "AND a.zcode = b.zcode AND a.part = b.part AND a.lat = b.lat AND a.lon = b.lon"),
              1);

    // Zone codes are unique and never carry an apostrophe.
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZones"), Count(zones(), "SELECT COUNT(DISTINCT zcode) FROM MZones"));
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZones WHERE zcode LIKE '%''%' OR selected <> 0"), 0);
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZonesPos p LEFT JOIN MZones z ON z.zcode = p.zcode "
                             "WHERE z.zcode IS NULL"),
              0);
}

TEST_F(SeedDatabases, MetAreasCarryThePickersIds)
{
    std::set<wxString> expected;
    for (int id = 1; id <= 26; ++id)
        if (id < 9 || id > 11)
            expected.insert(wxString::Format("%d", id));
    expected.insert("27");   // one METAREA the picker has no outline for
    EXPECT_EQ(Set(zones(), "SELECT ID FROM MZones WHERE region='WMA'"), expected);
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZones WHERE region='WMA' AND Map <> 'MetArea'"), 0);
    // The picker writes "WHERE ID = '5'": the integer column matches the quoted id.
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZones WHERE ID = '5'"), 1);
    // The picker writes each description under its numeral: short texts only.
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM MZones WHERE region='WMA' AND length(description) > 14"), 0);
}

TEST_F(SeedDatabases, RadarCitiesOfBothKindsHaveRecentImages)
{
    EXPECT_EQ(Set(zones(), "SELECT DISTINCT RadarType FROM RadarCities"), (std::set<wxString>{"NEXRAD", "TDWR"}));
    // One city name holds an apostrophe, which every statement must quote.
    EXPECT_EQ(Count(zones(), "SELECT COUNT(*) FROM RadarCities WHERE City LIKE '%''%'"), 1);
    for (const wxString& city : Column(zones(), "SELECT City FROM RadarCities"))
    {
        wxString quoted = city;
        quoted.Replace("'", "''");
        EXPECT_GE(Count(catalogue(), "SELECT COUNT(*) FROM products WHERE (Title LIKE '%Most Recent%') AND "
                                     "(Title LIKE '%" + quoted + "%')"),
                  1)
            << city;
    }
}

// The suggestion engine's longitude arithmetic on the seed catalogue: with
// longitudes stored east in [0, 360) every relative longitude stays within
// (-180, 180], and an area across the date line is found from either side.
TEST_F(SeedDatabases, AreasWorkAcrossTheDateLine)
{
    tw::test::TempDir dir;
    const wxString copy = dir / "zir.db";
    ASSERT_TRUE(wxCopyFile(SeedPath("zir.db"), copy));
    wxSQLite3Database db;
    db.Open(copy);

    struct Home {
        double lat, lon;
        int box;
    };
    for (const Home& h : {Home{52.0, 179.0, 15}, Home{52.0, -179.0, 15}, Home{47.4019, -122.323, 15},
                          Home{-20.0, 178.5, 10}, Home{0.0, 0.0, 20}})
    {
        const wxString x = wxString::FromCDouble(-h.lon, 2);
        db.ExecuteUpdate("UPDATE products SET TransLon = (CASE WHEN (Lon + " + x + ") > 180.0 THEN ROUND((Lon + " + x +
                         " - 360.0),2) ELSE ROUND((Lon + " + x + "),2) END)");
        EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM products WHERE TransLon <= -180 OR TransLon > 180"), 0) << h.lon;

        const wxString half = wxString::FromCDouble(h.box * 0.5, 2), nhalf = wxString::FromCDouble(-(h.box * 0.5), 2);
        const wxString south = wxString::FromCDouble(std::max(-90.0, h.lat - 0.5 * h.box), 2);
        const wxString north = wxString::FromCDouble(std::min(90.0, h.lat + 0.5 * h.box), 2);
        const wxString where = "((Lat-(Height/2))<" + north + ") AND ((Lat+(Height/2))>" + south +
                               ") AND ((TransLon+(Width/2))>" + nhalf + ") AND ((TransLon-(Width/2))<" + half + ")";
        // World-wide items are always in the box; regional charts are found
        // for homes near them.
        EXPECT_GT(Count(db, "SELECT COUNT(*) FROM products WHERE Width = 360 AND " + where), 0);
        EXPECT_GT(Count(db, "SELECT COUNT(*) FROM products WHERE Width < 360 AND " + where), 0) << h.lat << " " << h.lon;
    }
    // The North Pacific charts span the date line: found from 179 E and 179 W.
    for (double lon : {179.0, -179.0})
    {
        const wxString x = wxString::FromCDouble(-lon, 2);
        db.ExecuteUpdate("UPDATE products SET TransLon = (CASE WHEN (Lon + " + x + ") > 180.0 THEN ROUND((Lon + " + x +
                         " - 360.0),2) ELSE ROUND((Lon + " + x + "),2) END)");
        EXPECT_GT(Count(db, "SELECT COUNT(*) FROM products WHERE Category = 'Weather Charts' AND "
                            "Region = 'North Pacific' AND ((Lat-(Height/2))<47.50) AND ((Lat+(Height/2))>32.50) AND "
                            "((TransLon+(Width/2))>-7.50) AND ((TransLon-(Width/2))<7.50)"),
                  0)
            << lon;
    }
    db.Close();
}

} // namespace
