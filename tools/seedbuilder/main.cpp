// Seed-database builder.
//
//   tw_seedbuilder [--data DIR] --out DIR
//       Builds zir.db, zir_user.db and MarineZones.db in DIR from DIR_DATA:
//       for each database NAME the schema NAME.sql and every NAME/<Table>.csv
//       (the file's header names the columns of table <Table>).
//
//   tw_seedbuilder [--data DIR] --synthetic COUNT OUTFILE
//       Writes a catalogue database with COUNT generated products (plus the
//       other catalogue tables from the data folder), for benchmarks.
//
// products.csv holds Path and Compression in plain text; the builder stores
// them through CDbTextEncoder. When the file has no CategoryIdx, RegionIdx and
// ChartTypeIdx columns the builder numbers the categories, the regions of each
// category and the chart types of each region 0, 1, 2 ... in order of first
// appearance; it refuses a catalogue whose rows are not grouped that way.

#include "core/StringHelpers.h"
#include "tools/seedbuilder/CsvReader.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/wxsqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#ifndef TIDEWRIGHT_DATA_DIR
#define TIDEWRIGHT_DATA_DIR "data"
#endif

namespace
{

struct BuildError : std::runtime_error
{
    explicit BuildError(const wxString& message) : std::runtime_error(message.utf8_string()) {}
};

const char* const kDatabases[] = {"zir", "zir_user", "MarineZones"};

wxString ReadTextFile(const wxString& path)
{
    wxFFile file(path, "rb");
    wxString text;
    if (!file.IsOpened() || !file.ReadAll(&text, wxConvUTF8))
        throw BuildError("cannot read " + path);
    return text;
}

// Declared type of every column of a table, upper-cased.
std::map<wxString, wxString> ColumnTypes(wxSQLite3Database& db, const wxString& table)
{
    std::map<wxString, wxString> types;
    wxSQLite3ResultSet rs = db.ExecuteQuery("PRAGMA table_info('" + table + "')");
    while (rs.NextRow())
        types[rs.GetAsString("name")] = rs.GetAsString("type").Upper();
    return types;
}

enum class Kind { Text, Integer, Real };

Kind KindOf(const wxString& declared)
{
    if (declared.Contains("INT"))
        return Kind::Integer;
    if (declared.Contains("REAL") || declared.Contains("FLOA") || declared.Contains("DOUB"))
        return Kind::Real;
    return Kind::Text;
}

// Column order of an insert and the way each value is bound.
class TableWriter
{
public:
    TableWriter(wxSQLite3Database& db, const wxString& table, const std::vector<wxString>& columns)
        : m_table(table)
    {
        const std::map<wxString, wxString> types = ColumnTypes(db, table);
        if (types.empty())
            throw BuildError("the schema has no table " + table);
        wxString names, marks;
        for (const wxString& c : columns)
        {
            auto it = types.find(c);
            if (it == types.end())
                throw BuildError("table " + table + " has no column " + c);
            m_kinds.push_back(KindOf(it->second));
            m_columns.push_back(c);
            if (!names.empty())
            {
                names += ",";
                marks += ",";
            }
            names += "\"" + c + "\"";
            marks += "?";
        }
        m_stmt = db.PrepareStatement("INSERT INTO \"" + table + "\" (" + names + ") VALUES (" + marks + ")");
    }

    void Insert(const std::vector<wxString>& values, const wxString& where)
    {
        m_stmt.Reset();
        m_stmt.ClearBindings();
        for (size_t i = 0; i < values.size(); ++i)
        {
            const int param = static_cast<int>(i) + 1;
            const wxString& v = values[i];
            switch (m_kinds[i])
            {
            case Kind::Text:
                m_stmt.Bind(param, v);
                break;
            case Kind::Integer:
            {
                wxLongLong_t n = 0;
                if (!v.Strip(wxString::both).ToLongLong(&n))
                    throw BuildError(where + ": column " + m_columns[i] + " needs an integer, not '" + v + "'");
                m_stmt.Bind(param, wxLongLong(n));
                break;
            }
            case Kind::Real:
            {
                double d = 0;
                if (!v.Strip(wxString::both).ToCDouble(&d))
                    throw BuildError(where + ": column " + m_columns[i] + " needs a number, not '" + v + "'");
                m_stmt.Bind(param, d);
                break;
            }
            }
        }
        m_stmt.ExecuteUpdate();
    }

private:
    wxString m_table;
    std::vector<wxString> m_columns;
    std::vector<Kind> m_kinds;
    wxSQLite3Statement m_stmt;
};

// Adds the three tree indices to the catalogue rows and checks the grouping.
void NumberCatalogue(CsvTable& t, const wxString& where)
{
    const int cat = t.ColumnIndex("Category");
    const int reg = t.ColumnIndex("Region");
    const int typ = t.ColumnIndex("ChartType");
    if (cat < 0 || reg < 0 || typ < 0)
        throw BuildError(where + ": products needs the columns Category, Region and ChartType");
    if (t.ColumnIndex("CategoryIdx") >= 0 || t.ColumnIndex("RegionIdx") >= 0 || t.ColumnIndex("ChartTypeIdx") >= 0)
        return; // numbered by hand

    std::vector<wxString> categories;
    std::map<wxString, std::vector<wxString>> regions;                       // per category
    std::map<std::pair<wxString, wxString>, std::vector<wxString>> types;    // per category and region
    std::set<wxString> closedCats;
    std::set<std::pair<wxString, wxString>> closedRegs;
    std::set<std::vector<wxString>> closedTypes;
    wxString lastCat, lastReg, lastType;
    bool first = true;

    auto indexIn = [](std::vector<wxString>& list, const wxString& name) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == name)
                return static_cast<int>(i);
        list.push_back(name);
        return static_cast<int>(list.size()) - 1;
    };

    t.header.push_back("CategoryIdx");
    t.header.push_back("RegionIdx");
    t.header.push_back("ChartTypeIdx");
    for (size_t r = 0; r < t.rows.size(); ++r)
    {
        std::vector<wxString>& row = t.rows[r];
        const wxString c = row[cat], g = row[reg], y = row[typ];
        const wxString at = wxString::Format("%s line %d", where, t.lines[r]);
        if (!first)
        {
            if (c != lastCat)
            {
                closedCats.insert(lastCat);
                closedRegs.insert({lastCat, lastReg});
                closedTypes.insert({lastCat, lastReg, lastType});
            }
            else if (g != lastReg)
            {
                closedRegs.insert({lastCat, lastReg});
                closedTypes.insert({lastCat, lastReg, lastType});
            }
            else if (y != lastType)
            {
                closedTypes.insert({lastCat, lastReg, lastType});
            }
        }
        if (closedCats.count(c) || closedRegs.count({c, g}) || closedTypes.count({c, g, y}))
            throw BuildError(at + ": rows of " + c + " / " + g + " / " + y + " are not grouped together");
        first = false;
        lastCat = c;
        lastReg = g;
        lastType = y;

        const int ci = indexIn(categories, c);
        const int ri = indexIn(regions[c], g);
        const int ti = indexIn(types[{c, g}], y);
        row.push_back(wxString::Format("%d", ci));
        row.push_back(wxString::Format("%d", ri));
        row.push_back(wxString::Format("%d", ti));
    }
}

void EncodeCatalogueTexts(CsvTable& t)
{
    for (const char* name : {"Path", "Compression"})
    {
        const int col = t.ColumnIndex(name);
        if (col < 0)
            continue;
        for (std::vector<wxString>& row : t.rows)
            row[col] = CDbTextEncoder::encode_db_string(row[col], false);
    }
}

void CheckUniqueFileIds(const CsvTable& t, const wxString& where)
{
    const int id = t.ColumnIndex("FileID");
    if (id < 0)
        return;
    std::set<wxString> seen;
    for (size_t r = 0; r < t.rows.size(); ++r)
    {
        const wxString& v = t.rows[r][id];
        if (v.empty())
            continue;
        if (!seen.insert(v).second)
            throw BuildError(wxString::Format("%s line %d: FileID %s appears twice", where, t.lines[r], v));
    }
}

void LoadTable(wxSQLite3Database& db, const wxString& table, CsvTable& t, const wxString& where)
{
    if (table == "products")
    {
        CheckUniqueFileIds(t, where);
        NumberCatalogue(t, where);
        EncodeCatalogueTexts(t);
    }
    TableWriter writer(db, table, t.header);
    for (size_t r = 0; r < t.rows.size(); ++r)
        writer.Insert(t.rows[r], wxString::Format("%s line %d", where, t.lines[r]));
}

wxArrayString CsvFilesOf(const wxString& dir)
{
    wxArrayString files;
    if (wxDirExists(dir))
        wxDir::GetAllFiles(dir, &files, "*.csv", wxDIR_FILES);
    files.Sort();
    return files;
}

void OpenFresh(wxSQLite3Database& db, const wxString& path, const wxString& schemaPath)
{
    if (wxFileExists(path) && !wxRemoveFile(path))
        throw BuildError("cannot replace " + path);
    db.Open(path);
    db.ExecuteUpdate("PRAGMA journal_mode=DELETE");
    const wxString schema = ReadTextFile(schemaPath);
    const wxCharBuffer utf8 = schema.utf8_str();
    db.ExecuteUpdate(utf8.data());
}

// Builds one database into a temporary file and moves it into place.
void BuildDatabase(const wxString& dataDir, const wxString& name, bool skipProducts,
                   const std::function<void(wxSQLite3Database&)>& extra, const wxString& target)
{
    const wxString temp = target + ".tmp";
    wxSQLite3Database db;
    try
    {
        OpenFresh(db, temp, dataDir + "/" + name + ".sql");
        db.Begin();
        for (const wxString& file : CsvFilesOf(dataDir + "/" + name))
        {
            const wxString table = wxFileName(file).GetName();
            if (skipProducts && table == "products")
                continue;
            CsvTable t;
            wxString error;
            if (!ReadCsvFile(file, t, error))
                throw BuildError(error);
            LoadTable(db, table, t, file);
        }
        if (extra)
            extra(db);
        db.Commit();
        db.ExecuteUpdate("VACUUM");
        db.Close();
    }
    catch (...)
    {
        // Leave no half-built database behind, neither the new one nor an
        // older copy that no longer matches the sources.
        if (db.IsOpen())
            db.Close();
        wxRemoveFile(temp);
        if (wxFileExists(target))
            wxRemoveFile(target);
        throw;
    }
    if (!wxRenameFile(temp, target, true))
        throw BuildError("cannot move " + temp + " to " + target);
}

// A large, plausible-looking catalogue for speed tests: categories, regions
// and chart types nested and grouped as the real catalogue is.
void WriteSyntheticProducts(wxSQLite3Database& db, long count)
{
    static const char* const categories[] = {
        "GRIB Weather", "Weather Charts", "Animation", "Text", "Satellite Imagery", "Radar",
        "Buoy", "Ocean Charts", "PRO Services", "Terrafin", "Ocean Models", "Ice", "Tides"};
    static const char* const parameters[] = {"wind", "wave", "prmsl", "hgt500mb", "prcp", "cld", "airtemp", "sst"};
    const int nCat = sizeof(categories) / sizeof(categories[0]);
    const int nReg = 40;
    const int nType = 8;
    const long leaves = static_cast<long>(nCat) * nReg * nType;
    const long perLeaf = count > 0 ? (count + leaves - 1) / leaves : 0;
    const std::vector<wxString> columns = {
        "CategoryIdx", "RegionIdx", "ChartTypeIdx", "Category", "Region", "ChartType", "FileID", "Title", "Path",
        "File", "Description", "Price", "Compression", "RawSize", "CompressedSize", "Source", "RaceDisable",
        "Lat", "Lon", "Height", "Width"};
    TableWriter writer(db, "products", columns);
    long n = 0;
    for (int c = 0; c < nCat && n < count; ++c)
        for (int r = 0; r < nReg && n < count; ++r)
            for (int t = 0; t < nType && n < count; ++t)
                for (long k = 0; k < perLeaf && n < count; ++k, ++n)
                {
                    const char* param = parameters[t];
                    const int days = 1 + static_cast<int>(n % 7);
                    const double lat = -60.0 + (r * 37 % 120);
                    const double lon = static_cast<double>((r * 53 + c * 29) % 360);
                    const wxString path =
                        wxString::Format("synth/c%02d/r%02d=>%s%07ld.%dday.grb", c, r, param, n, days);
                    const std::vector<wxString> v = {
                        wxString::Format("%d", c),
                        wxString::Format("%d", r),
                        wxString::Format("%d", t),
                        categories[c],
                        wxString::Format("Area %02d", r),
                        wxString::Format("%s field", param),
                        wxString::Format("syn%07ld", n),
                        wxString::Format("Synthetic %s %d day product %ld", param, days, n),
                        CDbTextEncoder::encode_db_string(path, false),
                        wxString::Format("%s%07ld.grb", param, n),
                        wxString::Format("Generated %s field for area %02d, %d day forecast", param, r, days),
                        wxString::Format("%d.%02d", static_cast<int>(n % 4), static_cast<int>(n * 25 % 100)),
                        CDbTextEncoder::encode_db_string(n % 3 ? "bz2" : "", false),
                        wxString::Format("%ld", 40 + n % 900),
                        wxString::Format("%ld", 12 + n % 300),
                        "SYNTH",
                        n % 17 == 0 ? "1" : "0",
                        wxString::FromCDouble(lat),
                        wxString::FromCDouble(lon),
                        "20",
                        "30",
                    };
                    writer.Insert(v, "synthetic row");
                }
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: tw_seedbuilder [--data DIR] --out DIR\n"
                 "       tw_seedbuilder [--data DIR] --synthetic COUNT OUTFILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer init;
    if (!init.IsOk())
    {
        std::fprintf(stderr, "tw_seedbuilder: cannot initialise the toolkit\n");
        return 1;
    }
    wxString dataDir = TIDEWRIGHT_DATA_DIR;
    wxString outDir;
    wxString syntheticFile;
    long syntheticCount = -1;
    for (int i = 1; i < argc; ++i)
    {
        const wxString a = wxString::FromUTF8(argv[i]);
        if (a == "--data" && i + 1 < argc)
            dataDir = wxString::FromUTF8(argv[++i]);
        else if (a == "--out" && i + 1 < argc)
            outDir = wxString::FromUTF8(argv[++i]);
        else if (a == "--synthetic" && i + 2 < argc)
        {
            if (!wxString::FromUTF8(argv[++i]).ToLong(&syntheticCount) || syntheticCount < 0)
                return Usage();
            syntheticFile = wxString::FromUTF8(argv[++i]);
        }
        else
            return Usage();
    }
    if (outDir.empty() == syntheticFile.empty())
        return Usage();

    try
    {
        if (!syntheticFile.empty())
        {
            BuildDatabase(dataDir, "zir", true,
                          [&](wxSQLite3Database& db) { WriteSyntheticProducts(db, syntheticCount); },
                          syntheticFile);
            std::printf("tw_seedbuilder: %ld synthetic products in %s\n", syntheticCount,
                        static_cast<const char*>(syntheticFile.utf8_str()));
            return 0;
        }
        if (!wxFileName::Mkdir(outDir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL))
            throw BuildError("cannot create " + outDir);
        for (const char* name : kDatabases)
            BuildDatabase(dataDir, name, false, nullptr, outDir + "/" + name + ".db");
    }
    catch (const BuildError& e)
    {
        std::fprintf(stderr, "tw_seedbuilder: %s\n", e.what());
        return 1;
    }
    catch (const wxSQLite3Exception& e)
    {
        std::fprintf(stderr, "tw_seedbuilder: database error: %s\n",
                     static_cast<const char*>(e.GetMessage().utf8_str()));
        return 1;
    }
    return 0;
}
