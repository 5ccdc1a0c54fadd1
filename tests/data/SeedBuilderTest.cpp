// The seed-database builder as a program: it reads quoted CSV fields, numbers
// and encodes the catalogue, refuses content it would load wrongly, and
// writes large synthetic catalogues for the benchmarks.
#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include <map>
#include <set>

#include "core/StringHelpers.h"
#include "support/TestSupport.h"

namespace {

wxString Builder()
{
    return wxString(wxS(TIDEWRIGHT_TEST_BINARY_DIR)) + "/tools/seedbuilder/tw_seedbuilder";
}

// Runs the builder; returns its exit code and collects its error output.
int RunBuilder(const wxString& args, wxString* errors = nullptr)
{
    wxArrayString out, err;
    const long rc = wxExecute("\"" + Builder() + "\" " + args, out, err, wxEXEC_SYNC | wxEXEC_NODISABLE);
    if (errors)
        for (const wxString& line : err)
            *errors += line + "\n";
    return static_cast<int>(rc);
}

// A data folder with the real schemas and a hand-made catalogue.
class BuilderData
{
public:
    explicit BuilderData(const std::string& products)
    {
        const wxString src = tw::test::SourceDir() + "/data";
        for (const char* name : {"zir.sql", "zir_user.sql", "MarineZones.sql"})
            wxCopyFile(src + "/" + name, m_dir / name);
        wxMkdir(m_dir / "zir");
        tw::test::WriteFile(m_dir / "zir/products.csv", products);
        wxMkdir(m_dir / "out");
    }
    wxString Args() const { return "--data \"" + m_dir.Path() + "\" --out \"" + (m_dir / "out") + "\""; }
    wxString Out(const wxString& name) const { return m_dir / ("out/" + name); }

private:
    tw::test::TempDir m_dir;
};

const char kHeader[] = "Category,Region,ChartType,FileID,Title,Path,Compression,Price,Lat,Lon\n";

TEST(SeedBuilder, NumbersEncodesAndReadsQuotedFields)
{
    BuilderData data(std::string(kHeader) +
                     "# a comment line\n"
                     "GRIB Global,Global,Wind,w1,\"Wind, 1 day\",grib/global=>avnwind.1day.grb,bz2,0.30,0,180\n"
                     "GRIB Global,Global,Wind,w2,\"Say \"\"two\"\"\nlines\",grib/global=>avnwind.2day.grb,bz2,0.40,0,180\n"
                     "\n"
                     "GRIB Global,Global,Waves,v1,Waves,grib/ww3=>wave.1day.grb,,0.30,0,180\n"
                     "GRIB Global,Europe,Wind,e1,Europe wind,grib/eu wind.grb,bz2,0.50,48,5\r\n"
                     "Text,US Coastal,West Coast,t1,PZZ135 Puget Sound,text/coastal/pzz135.txt,bz2,0.10,47.5,237.4\n");
    wxString errors;
    ASSERT_EQ(RunBuilder(data.Args(), &errors), 0) << errors;

    wxSQLite3Database db;
    db.Open(data.Out("zir.db"), wxEmptyString, WXSQLITE_OPEN_READONLY);
    struct Row {
        int c, r, t;
        wxString title, path, compression;
    };
    std::map<wxString, Row> rows;
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT * FROM products ORDER BY ROWID");
    while (rs.NextRow())
    {
        wxString path = rs.GetAsString("Path"), compression = rs.GetAsString("Compression");
        CDbTextEncoder::decode_db_string(path, false);
        CDbTextEncoder::decode_db_string(compression, false);
        rows[rs.GetAsString("FileID")] = {rs.GetInt("CategoryIdx"), rs.GetInt("RegionIdx"), rs.GetInt("ChartTypeIdx"),
                                          rs.GetAsString("Title"), path, compression};
    }
    ASSERT_EQ(rows.size(), 5u);
    struct Expect {
        const char* id;
        int c, r, t;
    };
    for (const Expect& e : {Expect{"w1", 0, 0, 0}, Expect{"w2", 0, 0, 0}, Expect{"v1", 0, 0, 1}, Expect{"e1", 0, 1, 0},
                            Expect{"t1", 1, 0, 0}})
    {
        const Row& r = rows[e.id];
        EXPECT_EQ(r.c, e.c) << e.id;
        EXPECT_EQ(r.r, e.r) << e.id;
        EXPECT_EQ(r.t, e.t) << e.id;
    }
    EXPECT_EQ(rows["w1"].title, "Wind, 1 day");
    EXPECT_EQ(rows["w2"].title, "Say \"two\"\nlines");
    EXPECT_EQ(rows["e1"].path, "grib/eu wind.grb");
    EXPECT_EQ(rows["w1"].compression, "bz2");
    EXPECT_EQ(rows["v1"].compression, "");
    // Untyped texts stay texts; numbers land as numbers.
    wxSQLite3ResultSet types = db.ExecuteQuery("SELECT typeof(Price), typeof(Lon) FROM products WHERE FileID='t1'");
    ASSERT_TRUE(types.NextRow());
    EXPECT_EQ(types.GetAsString(0), "text");
    EXPECT_EQ(types.GetAsString(1), "real");
    db.Close();
}

TEST(SeedBuilder, RefusesContentItWouldLoadWrongly)
{
    struct Case {
        const char* what;
        std::string products;
        const char* message;
    };
    const std::string h = kHeader;
    const Case cases[] = {
        {"a category split in two", h + "A,R,T,a1,x,p/a1,,1,0,0\nB,R,T,b1,x,p/b1,,1,0,0\nA,R,T,a2,x,p/a2,,1,0,0\n",
         "not grouped"},
        {"a chart type split in two", h + "A,R,T,a1,x,p/a1,,1,0,0\nA,R,U,a2,x,p/a2,,1,0,0\nA,R,T,a3,x,p/a3,,1,0,0\n",
         "not grouped"},
        {"a file id used twice", h + "A,R,T,a1,x,p/a1,,1,0,0\nA,R,T,a1,y,p/a2,,1,0,0\n", "twice"},
        {"a word in a number column", h + "A,R,T,a1,x,p/a1,,1,north,0\n", "number"},
        {"a short row", h + "A,R,T,a1,x,p/a1,,1,0\n", "fields"},
        {"an unterminated quote", h + "A,R,T,a1,\"x,p/a1,,1,0,0\n", "unterminated"},
    };
    for (const Case& c : cases)
    {
        BuilderData data(c.products);
        wxString errors;
        EXPECT_NE(RunBuilder(data.Args(), &errors), 0) << c.what;
        EXPECT_TRUE(errors.Contains(c.message)) << c.what << ": " << errors;
        EXPECT_FALSE(wxFileExists(data.Out("zir.db"))) << c.what;
    }
}

TEST(SeedBuilder, WritesALargeSyntheticCatalogue)
{
    tw::test::TempDir dir;
    const wxString out = dir / "big.db";
    wxString errors;
    ASSERT_EQ(RunBuilder("--synthetic 20000 \"" + out + "\"", &errors), 0) << errors;

    wxSQLite3Database db;
    db.Open(out, wxEmptyString, WXSQLITE_OPEN_READONLY);
    EXPECT_EQ(db.ExecuteScalar("SELECT COUNT(*) FROM products"), 20000);
    EXPECT_EQ(db.ExecuteScalar("SELECT COUNT(DISTINCT FileID) FROM products"), 20000);
    EXPECT_GT(db.ExecuteScalar("SELECT COUNT(*) FROM buttons"), 0);

    // Indices dense and in order of first appearance, rows grouped.
    std::map<std::pair<int, int>, int> types;    // (category, region) -> chart types seen
    std::map<int, int> regions;                  // category -> regions seen
    int categories = 0;
    std::set<std::vector<int>> left;
    std::vector<int> last;
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT CategoryIdx, RegionIdx, ChartTypeIdx, Path FROM products");
    while (rs.NextRow())
    {
        const int c = rs.GetInt(0), r = rs.GetInt(1), t = rs.GetInt(2);
        ASSERT_LE(c, categories);
        if (c == categories)
            ++categories;
        ASSERT_LE(r, regions[c]);
        if (r == regions[c])
            ++regions[c];
        int& typesSeen = types[std::make_pair(c, r)];
        ASSERT_LE(t, typesSeen);
        if (t == typesSeen)
            ++typesSeen;
        const std::vector<int> key = {c, r, t};
        if (key != last)
        {
            ASSERT_EQ(left.count(key), 0u);
            if (!last.empty())
                left.insert(last);
            last = key;
        }
        wxString path = rs.GetAsString(3);
        CDbTextEncoder::decode_db_string(path, false);
        ASSERT_TRUE(path.StartsWith("synth/")) << path;
    }
    EXPECT_GT(categories, 5);
    db.Close();
}

} // namespace
