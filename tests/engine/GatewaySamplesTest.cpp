// The gateway stand-in's sample files for the demo: every item's file is a
// real file of its kind, read back here by its own reader (the toolkit's
// image loader, ecCodes' grib_get for GRIB), of the size the catalogue says
// within the size cap, with its bzip2 form beside it when the item has one.
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <bzlib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/wxsqlite3.h>

#include "core/StringHelpers.h"
#include "support/TestSupport.h"

namespace {

using tw::test::ReadFile;

wxString SamplesProgram()
{
    return wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/tools/gateway-sim/gateway-samples";
}

std::string Quoted(const wxString& text)
{
    std::string s = "'";
    for (char c : std::string(text.utf8_str()))
        s += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return s + "'";
}

// Runs a command line; its exit code, and what it printed in `output`.
int RunCommand(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

enum class Kind { Png, Gif, Jpeg, Grib, Text };

struct Item {
    const char* id;
    const char* title;
    const char* path;          // as the catalogue shows it (stored encoded)
    const char* compression;
    const char* rawKb;
    double lat, lon, height, width;
    Kind kind;
    const char* file;          // the stored name
    size_t expectedKb;         // with a cap of 64 KB
};

const Item kItems[] = {
    {"wc1", "Surface Analysis - North Atlantic", "charts/natl_sfc.png", "", "30", 40, 320, 50, 80, Kind::Png,
     "natl_sfc.png", 30},
    {"wc2", "500 mb Analysis - North Atlantic", "charts/natl_500.gif", "", "45", 40, 320, 50, 80, Kind::Gif,
     "natl_500.gif", 45},
    {"sat1", "Infrared Satellite - California", "sat/cal_ir.jpg", "", "180", 35.5, 238.5, 12, 14, Kind::Jpeg,
     "cal_ir.jpg", 64},
    {"gfs1", "GFS Wind - 1 Day", "grib/global=>avnwind.1day.grb", "bz2", "157", 0, 180, 180, 360, Kind::Grib,
     "avnwind.1day.grb", 64},
    {"reg1", "Biscay Wind", "grib/regional=>biscay.grb", "bz2", "53", 46, 355, 12, 20, Kind::Grib, "biscay.grb", 53},
    {"reg2", "Harbour Wind", "grib/regional=>harbour.grb", "bz2", "60", 47.6, 237.6, 0.4, 0.5, Kind::Grib,
     "harbour.grb", 60},
    {"tx1", "PZZ130 West Entrance of the Strait of Juan de Fuca", "text/coastal/pzz130.txt", "bz2", "7", 48.33,
     235.65, 0.45, 0.9, Kind::Text, "pzz130.txt", 7},
    {"tx2", "Buoy 46041 Report", "buoy/46041.txt", "", "0", 0, 0, 0, 0, Kind::Text, "46041.txt", 4},
};

class GatewaySamples : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_GIF))
            wxImage::AddHandler(new wxGIFHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
            wxImage::AddHandler(new wxJPEGHandler);

        db = dir / "zir.db";
        wxSQLite3Database catalogue;
        catalogue.Open(db);
        catalogue.ExecuteUpdate("CREATE TABLE products (FileID TEXT, Title TEXT, Path TEXT, Compression TEXT, "
                                "RawSize TEXT, Lat REAL, Lon REAL, Height REAL, Width REAL)");
        wxSQLite3Statement st = catalogue.PrepareStatement("INSERT INTO products VALUES (?,?,?,?,?,?,?,?,?)");
        for (const Item& item : kItems) {
            st.Bind(1, wxString(item.id));
            st.Bind(2, wxString::FromUTF8(item.title));
            st.Bind(3, CDbTextEncoder::encode_db_string(item.path, false));
            st.Bind(4, CDbTextEncoder::encode_db_string(item.compression, false));
            st.Bind(5, wxString(item.rawKb));
            st.Bind(6, item.lat);
            st.Bind(7, item.lon);
            st.Bind(8, item.height);
            st.Bind(9, item.width);
            st.ExecuteUpdate();
            st.Reset();
        }
        st.Finalize();
        catalogue.Close();
    }

    // Makes the samples of the catalogue into `out`; the program's exit code.
    int Make(const wxString& out, int jobs, std::string* output = nullptr)
    {
        return RunCommand(Quoted(SamplesProgram()) + " --db " + Quoted(db) + " --out " + Quoted(out) +
                       " --max-kb 64 --jobs " + std::to_string(jobs),
                   output);
    }

    tw::test::TempDir dir;
    wxString db;
};

// grib_get's answer, one line per message, each split at blanks.
std::vector<std::vector<std::string>> GribGet(const wxString& file, const std::string& keys)
{
    std::string output;
    EXPECT_EQ(RunCommand("grib_get -p " + keys + " " + Quoted(file), &output), 0) << output;
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> fields;
        std::string word;
        while (words >> word)
            fields.push_back(word);
        if (!fields.empty())
            lines.push_back(fields);
    }
    return lines;
}

void CheckPicture(const Item& item, const std::string& bytes)
{
    const struct {
        Kind kind;
        wxBitmapType type;
        std::string signature;
    } formats[] = {
        {Kind::Png, wxBITMAP_TYPE_PNG, "\x89PNG\r\n\x1a\n"},
        {Kind::Gif, wxBITMAP_TYPE_GIF, "GIF89a"},
        {Kind::Jpeg, wxBITMAP_TYPE_JPEG, "\xFF\xD8\xFF"},
    };
    for (const auto& f : formats) {
        if (f.kind != item.kind)
            continue;
        EXPECT_EQ(bytes.compare(0, f.signature.size(), f.signature), 0) << "a real file of its kind";
        wxMemoryInputStream in(bytes.data(), bytes.size());
        wxImage image;
        ASSERT_TRUE(image.LoadFile(in, f.type));
        EXPECT_GE(image.GetWidth(), 200);
        EXPECT_GE(image.GetHeight(), 150);
        EXPECT_GT(image.CountColours(64), 8u) << "a drawn chart, not a blank picture";
        // The title bar across the top is the dark navy of the program's pictures.
        const int r = image.GetRed(4, 4), g = image.GetGreen(4, 4), b = image.GetBlue(4, 4);
        EXPECT_LT(std::abs(r - 0x1F) + std::abs(g - 0x3B) + std::abs(b - 0x57), 40);
    }
}

void CheckGrib(const Item& item, const wxString& file)
{
    const auto lines = GribGet(file, "shortName,Ni,Nj,latitudeOfFirstGridPointInDegrees,"
                                     "latitudeOfLastGridPointInDegrees,longitudeOfFirstGridPointInDegrees,"
                                     "iDirectionIncrementInDegrees,step,min,max");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.size() % 2, 0u) << "u and v for every time";
    for (size_t n = 0; n < lines.size(); ++n) {
        SCOPED_TRACE(n);
        const std::vector<std::string>& f = lines[n];
        ASSERT_EQ(f.size(), 10u);
        EXPECT_EQ(f[0], n % 2 ? "10v" : "10u");
        EXPECT_EQ(std::stol(f[7]), static_cast<long>(n / 2) * 6) << "six-hourly steps";
        const long ni = std::stol(f[1]), nj = std::stol(f[2]);
        const double north = std::stod(f[3]), south = std::stod(f[4]), west = std::stod(f[5]);
        const double step = std::stod(f[6]);
        EXPECT_GE(ni * nj, 4);
        // The grid covers the item's area, and not much more.
        const double areaNorth = std::min(90.0, item.lat + item.height / 2);
        const double areaSouth = std::max(-90.0, item.lat - item.height / 2);
        EXPECT_GE(north, areaNorth - 1e-6);
        EXPECT_LE(south, areaSouth + 1e-6);
        EXPECT_LT(north - areaNorth, step + 1e-6);
        EXPECT_LT(areaSouth - south, step + 1e-6);
        if (item.width < 360) {
            const double outside = std::remainder(item.lon - item.width / 2 - west, 360.0);
            EXPECT_GE(outside, -1e-6);
            EXPECT_LT(outside, step + 1e-6);
            EXPECT_GE((ni - 1) * step, item.width - 1e-6);
        } else {
            EXPECT_NEAR(ni * step, 360.0, 1e-6) << "the whole way round";
        }
        // A wind field: it varies, within what winds do.
        const double min = std::stod(f[8]), max = std::stod(f[9]);
        EXPECT_LT(min, max);
        EXPECT_GT(min, -60.0);
        EXPECT_LT(max, 60.0);
    }
}

void CheckText(const Item& item, const std::string& bytes)
{
    for (unsigned char c : bytes)
        ASSERT_TRUE(c == '\n' || (c >= 32 && c < 127)) << "readable text, byte " << static_cast<int>(c);
    EXPECT_EQ(bytes.substr(0, bytes.find('\n')), item.title);
    EXPECT_NE(bytes.find("\nArea: "), std::string::npos);
    EXPECT_NE(bytes.find("\n.TODAY..."), std::string::npos);
    EXPECT_EQ(bytes.back(), '\n');
}

} // namespace

TEST_F(GatewaySamples, EveryItemGetsARealFileOfItsKindAndSize)
{
    const wxString out = dir / "samples";
    std::string output;
    ASSERT_EQ(Make(out, 3, &output), 0) << output;
    EXPECT_NE(output.find("gateway-samples: 12 sample files in "), std::string::npos) << output;

    for (const Item& item : kItems) {
        SCOPED_TRACE(item.file);
        const wxString file = out + "/" + item.file;
        ASSERT_TRUE(wxFileExists(file));
        const std::string bytes = ReadFile(file);
        EXPECT_EQ(bytes.size(), item.expectedKb * 1024) << "the catalogue's size, within the cap";

        // The compressed form holds the same bytes.
        const bool compressed = *item.compression != '\0';
        EXPECT_EQ(wxFileExists(file + ".bz2"), compressed);
        if (compressed) {
            std::string packed = ReadFile(file + ".bz2");
            std::string unpacked(bytes.size() + 1, '\0');
            unsigned length = static_cast<unsigned>(unpacked.size());
            ASSERT_EQ(BZ2_bzBuffToBuffDecompress(&unpacked[0], &length, &packed[0],
                                                 static_cast<unsigned>(packed.size()), 0, 0),
                      BZ_OK);
            unpacked.resize(length);
            EXPECT_TRUE(unpacked == bytes);
        }

        switch (item.kind) {
        case Kind::Grib: CheckGrib(item, file); break;
        case Kind::Text: CheckText(item, bytes); break;
        default: CheckPicture(item, bytes); break;
        }
    }

    // The same catalogue gives the same files, made by one process or several.
    const wxString again = dir / "again";
    ASSERT_EQ(Make(again, 1), 0);
    for (const Item& item : kItems)
        EXPECT_TRUE(ReadFile(out + "/" + item.file) == ReadFile(again + "/" + item.file)) << item.file;
}

TEST_F(GatewaySamples, FailuresAreReported)
{
    const struct {
        const char* name;
        std::string command;
        const char* message;
    } cases[] = {
        {"no display", "env -u DISPLAY -u WAYLAND_DISPLAY " + Quoted(SamplesProgram()) + " --db " + Quoted(db) +
                           " --out " + Quoted(dir / "a"),
         "needs a display"},
        {"no catalogue", Quoted(SamplesProgram()) + " --db " + Quoted(dir / "missing.db") + " --out " +
                             Quoted(dir / "b"),
         "cannot open"},
        {"no products table", Quoted(SamplesProgram()) + " --db " + Quoted(dir / "empty.db") + " --out " +
                                  Quoted(dir / "c"),
         "no such table: products"},
        {"folder cannot be written", Quoted(SamplesProgram()) + " --db " + Quoted(db) + " --out /proc/tw-samples",
         "cannot make /proc/tw-samples/"},
    };
    {
        wxSQLite3Database empty;
        empty.Open(dir / "empty.db");
        empty.ExecuteUpdate("CREATE TABLE other (x INTEGER)");
        empty.Close();
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string output;
        EXPECT_NE(RunCommand(c.command, &output), 0) << output;
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
    }
}
