// The pictures the windows load by name: every name exists with exactly that
// spelling, loads as the type its extension names, and has the size its
// window lays out for it. This table is the one list of names and sizes of
// the windows' pictures (the map pictures are checked with the maps).
#include <gtest/gtest.h>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/wxsqlite3.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

struct Picture {
    std::string name;   // relative to the resources folder, as the windows ask for it
    int width;
    int height;
};

// A tool button's faces: STEM.png plus one file per suffix, all 36 x 36.
void Faces(std::vector<Picture>& out, const std::string& stem, std::initializer_list<const char*> suffixes)
{
    out.push_back({"res/" + stem + ".png", 36, 36});
    for (const char* suffix : suffixes)
        out.push_back({"res/" + stem + suffix + ".png", 36, 36});
}

const std::vector<Picture>& Table()
{
    static const std::vector<Picture> table = [] {
        std::vector<Picture> t;

        // Transfer window and start-up.
        for (const char* stem : {"tool_Go", "tool_SatelliteDialer", "tool_Gateway-FT", "tool_Close", "tool_help-FT"})
            Faces(t, stem, {"_over"});
        t.push_back({"res/TidewrightLogo.png", 156, 36});
        t.push_back({"res/TidewrightLogoAlt.png", 156, 36});
        t.push_back({"Icons/update.bmp", 32, 32});
        t.push_back({"Icons/updateinv.bmp", 32, 32});
        t.push_back({"res/LaunchScreen.bmp", 480, 320});

        // Content wizard: the page strip's buttons and ground, the side
        // pictures (all one size) and the processing notice.
        for (const char* stem : {"tool_GribWeather", "tool_WeatherCharts", "tool_TextForecast", "tool_SatelliteImagery",
                                 "tool_Buoys", "tool_SurfaceCurrents", "tool_GribFishing", "tool_Preferences",
                                 "tool_Home", "tool_GPS", "tool_Gateway"})
            Faces(t, stem, {"_select", "_over"});
        t.push_back({"res/loadwin_toll_bkg_no_transp.png", 601, 54});
        for (const char* page : {"WizardPage-LeftCol", "wiz_GRIB-Weather", "wiz_Weather-Charts", "wiz_Text-Weather",
                                 "wiz_Satellite-Imagery", "wiz_Buoy", "wiz_Ocean_Data", "wiz_Fishing_Data",
                                 "wiz_Content-Preferences", "wiz_Home-Location", "wiz_GPS", "wiz_Account-Settings"})
            t.push_back({std::string("res/") + page + ".png", 164, 640});
        t.push_back({"res/wiz_processing.png", 262, 61});

        // Portal window: the category and settings buttons the strip does not
        // have, the labelled buttons at their places' sizes, the ground.
        for (const char* stem : {"tool_BuoyWeather", "tool_Radar", "tool_Ice", "tool_Terrafin", "tool_DalenMorrow",
                                 "tool_MarisolVenet", "tool_DataManage", "tool_Help"})
            Faces(t, stem, {"_select", "_over"});
        const struct {
            const char* stem;
            int w, h;
        } portalButtons[] = {
            {"btn_LaunchWizard", 181, 30}, {"btn_BasicMode", 100, 25},    {"btn_LibraryMode", 100, 25},
            {"btn_Download", 181, 57},     {"btn_RefreshList", 181, 30},  {"btn_ZoomIn", 22, 24},
            {"btn_ZoomOut", 22, 29},       {"btn_RecenterReload", 180, 46}, {"btn_ChangeMap", 149, 46},
            {"btn_UpdateFileList", 25, 25},
        };
        for (const auto& b : portalButtons)
        {
            t.push_back({std::string("res/") + b.stem + ".png", b.w, b.h});
            t.push_back({std::string("res/") + b.stem + "_over.png", b.w, b.h});
        }
        t.push_back({"res/LandingPageBackground.bmp", 1000, 726});
        t.push_back({"Icons/talvologo.png", 16, 16});

        // Basic window (tool_Gateway and tool_DataManage are above), with
        // its irregular hover names.
        for (const char* stem : {"tool_library", "tool_UpdateFileListLrg", "tool_portal"})
            Faces(t, stem, {"_over"});
        t.push_back({"res/tool_help_basic.png", 36, 36});
        t.push_back({"res/tool_help_over_basic.png", 36, 36});
        t.push_back({"res/btn_Download_Basic.png", 165, 42});
        t.push_back({"res/btn_Download_over_Basic.png", 165, 42});
        t.push_back({"Icons/Rivol Alaska.png", 175, 30});
        t.push_back({"res/btn_ChangeMapView.png", 165, 30});
        t.push_back({"res/btn_ChangeMapView_over.png", 165, 30});
        t.push_back({"res/btn_ZoomIn_basic.png", 23, 22});
        t.push_back({"res/btn_ZoomIn_over_basic.png", 23, 22});
        t.push_back({"res/ZoomStripes.png", 14, 12});
        t.push_back({"res/btn_ZoomOut_basic.png", 23, 22});
        t.push_back({"res/btn_ZoomOut_over_basic.png", 23, 22});
        t.push_back({"res/btn_View.png", 101, 30});
        t.push_back({"res/btn_View_over.png", 101, 30});
        t.push_back({"res/PointerCoordinates.png", 307, 30});

        // Library window: toolbar, logo block, tree and list images.
        for (const char* stem : {"tool_basic", "tool_wizard", "tool_search", "tool_install-batches", "tool_download"})
            Faces(t, stem, {"_over"});
        t.push_back({"res/TidewrightLogoBlockWide.png", 456, 36});
        for (const char* icon : {"closedfolder", "openfolder", "redfolder", "greenfolder"})
            t.push_back({std::string("Icons/") + icon + ".png", 16, 16});
        t.push_back({"Icons/UnChecked.png", 32, 16});
        t.push_back({"Icons/Checked.png", 32, 16});
        return t;
    }();
    return table;
}

wxString PathOf(const std::string& name)
{
    return tw::test::ResourcesDir() + "/" + wxString::FromUTF8(name);
}

wxBitmapType TypeOf(const std::string& name)
{
    const wxString ext = wxFileName(wxString::FromUTF8(name)).GetExt();
    if (ext == "bmp")
        return wxBITMAP_TYPE_BMP;
    if (ext == "ico")
        return wxBITMAP_TYPE_ICO;
    return wxBITMAP_TYPE_PNG;
}

TEST(Pictures, EveryNameLoadsAsItsTypeAtItsSize)
{
    std::set<std::string> seen;
    for (const Picture& p : Table())
    {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(seen.insert(p.name).second) << "listed twice";
        wxImage img;
        ASSERT_TRUE(wxFileExists(PathOf(p.name)));
        ASSERT_TRUE(img.LoadFile(PathOf(p.name), TypeOf(p.name)));
        EXPECT_EQ(img.GetWidth(), p.width);
        EXPECT_EQ(img.GetHeight(), p.height);
    }
}

TEST(Pictures, WindowIconHoldsThreeSizes)
{
    const wxString path = PathOf("Icons/rivol.ico");
    ASSERT_EQ(wxImage::GetImageCount(path, wxBITMAP_TYPE_ICO), 3);
    std::set<int> sides;
    for (int i = 0; i < 3; ++i)
    {
        wxImage img;
        ASSERT_TRUE(img.LoadFile(path, wxBITMAP_TYPE_ICO, i));
        EXPECT_EQ(img.GetWidth(), img.GetHeight());
        sides.insert(img.GetWidth());
    }
    EXPECT_EQ(sides, (std::set<int>{16, 32, 48}));
}

// Names are case-sensitive: each name is spelt in its folder exactly as the
// windows ask for it and has no twin in another case (on a case-insensitive
// file system twins would collide, and a window asking for one spelling
// would get the other picture).
std::map<wxString, std::vector<wxString>> FilesByLowerName(const wxString& root)
{
    std::map<wxString, std::vector<wxString>> byLower;
    for (const char* folder : {"res", "Icons"})
    {
        wxArrayString files;
        wxDir::GetAllFiles(root + "/" + folder, &files, wxEmptyString, wxDIR_FILES);
        for (const wxString& f : files)
        {
            const wxString relative = wxString(folder) + "/" + wxFileName(f).GetFullName();
            byLower[relative.Lower()].push_back(relative);
        }
    }
    return byLower;
}

TEST(Pictures, NamesAreCaseSensitive)
{
    const auto installed = FilesByLowerName(tw::test::ResourcesDir());
    for (const Picture& p : Table())
    {
        const wxString name = wxString::FromUTF8(p.name);
        const auto it = installed.find(name.Lower());
        ASSERT_NE(it, installed.end()) << p.name;
        wxString found;
        for (const wxString& f : it->second)
            found += " \"" + f + "\"";
        EXPECT_TRUE(it->second.size() == 1 && it->second[0] == name) << p.name << " found as" << found;
    }
    for (const auto& [lower, names] : FilesByLowerName(tw::test::SourceDir()))
        EXPECT_EQ(names.size(), 1u) << names.front() << " has a twin in another case";
}

// The faces of one tool button: transparent corners (no box around the
// face on any ground), an opaque middle, and every face different from the
// others so that hover and press show.
TEST(Pictures, ToolFacesAreRoundedAndDistinct)
{
    std::map<std::string, std::vector<std::string>> groups;
    for (const Picture& p : Table())
    {
        if (p.width != 36 || p.height != 36)
            continue;
        std::string stem = p.name;
        stem.erase(stem.size() - 4);
        for (const char* suffix : {"_select", "_over_basic", "_over"})
        {
            const std::string s = suffix;
            if (stem.size() > s.size() && stem.compare(stem.size() - s.size(), s.size(), s) == 0)
            {
                stem.erase(stem.size() - s.size());
                break;
            }
        }
        if (stem == "res/tool_help_basic")
            stem = "res/tool_help";
        groups[stem].push_back(p.name);
    }
    for (const auto& [stem, names] : groups)
    {
        SCOPED_TRACE(stem);
        EXPECT_GE(names.size(), 2u) << "a face without its hover face";
        std::vector<wxImage> faces;
        for (const std::string& name : names)
        {
            wxImage img;
            ASSERT_TRUE(img.LoadFile(PathOf(name), wxBITMAP_TYPE_PNG)) << name;
            ASSERT_TRUE(img.HasAlpha()) << name;
            for (const wxPoint c : {wxPoint(0, 0), wxPoint(35, 0), wxPoint(0, 35), wxPoint(35, 35)})
                EXPECT_EQ(img.GetAlpha(c.x, c.y), 0) << name << " corner " << c.x << "," << c.y;
            EXPECT_EQ(img.GetAlpha(18, 18), 255) << name;
            faces.push_back(img);
        }
        for (size_t i = 0; i < faces.size(); ++i)
            for (size_t j = i + 1; j < faces.size(); ++j)
            {
                int differing = 0;
                for (int y = 0; y < 36; ++y)
                    for (int x = 0; x < 36; ++x)
                        if (faces[i].GetRed(x, y) != faces[j].GetRed(x, y) ||
                            faces[i].GetGreen(x, y) != faces[j].GetGreen(x, y) ||
                            faces[i].GetBlue(x, y) != faces[j].GetBlue(x, y))
                            ++differing;
                EXPECT_GT(differing, 100) << names[i] << " looks like " << names[j];
            }
    }
}

// Every personality of the seed catalogue has its region picture.
TEST(Pictures, EveryPersonalityHasItsRegionPicture)
{
    wxSQLite3Database db;
    db.Open(tw::test::ResourcesDir() + "/zir.db", wxEmptyString, WXSQLITE_OPEN_READONLY);
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT DISTINCT graphic FROM buttons WHERE graphic <> ''");
    int count = 0;
    while (rs.NextRow())
    {
        const wxString name = "Icons/" + rs.GetAsString(0);
        SCOPED_TRACE(name.ToStdString());
        wxImage img;
        ASSERT_TRUE(img.LoadFile(tw::test::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG));
        EXPECT_EQ(img.GetWidth(), 175);
        EXPECT_EQ(img.GetHeight(), 30);
        ++count;
    }
    EXPECT_GT(count, 0) << "no personality in the catalogue";
}

} // namespace
