// The US region picker under Xvfb: each face's regions, the code a release
// over a region answers, and the ways out without one.
#include <gtest/gtest.h>

#include <wx/panel.h>
#include <wx/utils.h>

#include "windows/map/USZonesDialog.h"
#include "windows/map/ZoneRegions.h"
#include "PickerFixtures.h"

using namespace pickers_test;

namespace {

enum class Face { Coastal, Offshore };

void Load(USZonesDialog& dialog, Face face)
{
    if (face == Face::Coastal)
        dialog.InitCoastalZones();
    else
        dialog.InitOffshoreZones();
}

const std::vector<tw::zones::RegionShape>& Regions(Face face)
{
    return face == Face::Coastal ? tw::zones::CoastalRegions() : tw::zones::OffshoreRegions();
}

void Release(USZonesDialog& dialog, int x, int y)
{
    Mouse(dialog.GetImagePanel(), wxEVT_LEFT_UP, x, y);
}

} // namespace

TEST(USZonesDialog, EachFaceHasItsRegionsInOrder)
{
    struct Case {
        Face face;
        std::vector<std::pair<wxString, int>> regions;
    } cases[] = {
        {Face::Coastal,
         {{"West", 1}, {"East", 2}, {"Great Lakes", 3}, {"South", 4}, {"Gulf", 5}, {"Alaska", 6},
          {"Caribbean", 8}, {"PACIFIC_ISLANDS", 7}}},
        {Face::Offshore,
         {{"West Coast", 9}, {"Atlantic", 10}, {"Carribean", 11}, {"Gulf", 5}, {"Alaska", 6}, {"US Arctic", 12},
          {"Hawaii", 13}}},
    };
    for (const Case& c : cases) {
        USZonesDialog dialog(nullptr);
        EXPECT_TRUE(dialog.GetAreas().empty());
        Load(dialog, c.face);
        std::vector<std::pair<wxString, int>> got;
        for (const USArea& area : dialog.GetAreas())
            got.emplace_back(area.name, area.code);
        EXPECT_EQ(got, c.regions);
    }
}

TEST(USZonesDialog, AReleaseOverARegionAnswersItsCode)
{
    for (Face face : {Face::Coastal, Face::Offshore}) {
        for (const tw::zones::RegionShape& region : Regions(face)) {
            SCOPED_TRACE(region.name);
            auto* dialog = new USZonesDialog(nullptr);
            Load(*dialog, face);
            const int result = RunModal(*dialog, [&] {
                Mouse(dialog->GetImagePanel(), wxEVT_LEFT_DOWN, region.labelX, region.labelY);
                EXPECT_TRUE(dialog->IsModal()) << "the press alone answers nothing";
                Release(*dialog, region.labelX, region.labelY);
            });
            EXPECT_EQ(result, region.code);
            dialog->Destroy();
        }
    }
    tw::test::Pump(20);
}

TEST(USZonesDialog, ThePointOfReleaseDecides)
{
    USZonesDialog dialog(nullptr);
    dialog.InitCoastalZones();
    const int result = RunModal(dialog, [&] {
        Mouse(dialog.GetImagePanel(), wxEVT_LEFT_DOWN, 50, 100);   // West
        Release(dialog, 380, 60);                                  // Great Lakes
    });
    EXPECT_EQ(result, 3);
}

TEST(USZonesDialog, LeavingWithoutARegionAnswersCancel)
{
    struct Case {
        const char* what;
        bool init;
        bool closeBox;
    } cases[] = {
        {"Return to Wizard", true, false},
        {"close box", true, true},
        {"no face loaded", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        USZonesDialog dialog(nullptr);
        if (c.init)
            dialog.InitOffshoreZones();
        const int result = RunModal(dialog, [&] {
            // Releases outside every region (anywhere, with no face) do nothing.
            std::vector<wxPoint> points = {{300, 150}, {100, 245}};
            if (!c.init)
                points.push_back({50, 100});
            for (const wxPoint& p : points) {
                Mouse(dialog.GetImagePanel(), wxEVT_LEFT_DOWN, p.x, p.y);
                Release(dialog, p.x, p.y);
                EXPECT_TRUE(dialog.IsModal()) << p.x << "," << p.y;
            }
            if (c.closeBox)
                dialog.Close();
            else
                PressButton(dialog, ID_USZONES_RETURN);
        });
        EXPECT_EQ(result, wxID_CANCEL);
    }
}

TEST(USZonesDialog, ASecondFaceAddsItsRegionsAfterTheFirst)
{
    USZonesDialog dialog(nullptr);
    dialog.InitCoastalZones();
    dialog.InitOffshoreZones();
    ASSERT_EQ(dialog.GetAreas().size(), 15u);
    EXPECT_EQ(dialog.GetAreas()[8].name, "West Coast");
    // West (coastal) and West Coast (offshore) overlap: the earlier one wins.
    EXPECT_EQ(dialog.RegionCodeAt(50, 100), 1);
    EXPECT_EQ(dialog.RegionCodeAt(20, 240), tw::zones::kNoRegion);
    EXPECT_EQ(dialog.RegionCodeAt(220, 20), 12);
}

TEST(USZonesDialog, PointerOverARegionShowsTheHand)
{
    USZonesDialog dialog(nullptr);
    dialog.InitCoastalZones();
    struct Case {
        int x, y;
        bool over;
    } cases[] = {{50, 100, true}, {250, 200, false}, {248, 420, true}, {557, 459, false}};
    for (const Case& c : cases) {
        Mouse(dialog.GetImagePanel(), wxEVT_MOTION, c.x, c.y);
        EXPECT_EQ(dialog.IsPointerOverArea(), c.over) << c.x << "," << c.y;
    }
}

TEST(USZonesDialog, ShowsTheFacePicture)
{
    struct Case {
        Face face;
        const char* picture;
        const char* shot;
    } cases[] = {
        {Face::Coastal, USZonesDialog::kCoastalPicture, "tw-pickers-uszones-coastal.png"},
        {Face::Offshore, USZonesDialog::kOffshorePicture, "tw-pickers-uszones-offshore.png"},
    };
    for (const Case& c : cases) {
        USZonesDialog dialog(nullptr);
        Load(dialog, c.face);
        dialog.Show();
        ASSERT_TRUE(tw::test::WaitFor([&] { return dialog.IsShownOnScreen(); }));
        EXPECT_EQ(dialog.GetImagePanel()->GetClientSize(), wxSize(558, 460));
        const wxImage picture = LoadPng(tw::test::ResourcesDir() + "/" + c.picture);
        ASSERT_TRUE(picture.IsOk());
        const wxImage panel = Shot(dialog.GetImagePanel(), c.shot);
        ASSERT_TRUE(panel.IsOk());
        int same = 0, total = 0;
        for (int y = 3; y < 455; y += 7)   // the rounded corners are the border's
            for (int x = 3; x < 553; x += 7) {
                ++total;
                const bool equal = panel.GetRed(x, y) == picture.GetRed(x, y) &&
                                   panel.GetGreen(x, y) == picture.GetGreen(x, y) &&
                                   panel.GetBlue(x, y) == picture.GetBlue(x, y);
                same += equal;
                if (!equal)
                    ADD_FAILURE() << x << "," << y << " " << panel.GetRed(x, y) << "/" << picture.GetRed(x, y);
            }
        EXPECT_EQ(same, total);
        Shot(&dialog, wxString("tw-pickers-uszones-dialog-") + (c.face == Face::Coastal ? "coastal" : "offshore") +
                          ".png");
    }
}

TEST(USZonesDialog, AMissingPictureIsLoggedAndRegionsStillAnswer)
{
    tw::test::TempDir emptyResources;
    const wxString saved = wxGetenv("TIDEWRIGHT_RESOURCES");
    wxSetEnv("TIDEWRIGHT_RESOURCES", emptyResources.Path());
    USZonesDialog dialog(nullptr);
    dialog.InitOffshoreZones();
    wxSetEnv("TIDEWRIGHT_RESOURCES", saved);
    EXPECT_TRUE(tw::test::LogContains("offshore_zones.png"));
    const int result = RunModal(dialog, [&] {
        dialog.Update();
        Release(dialog, 220, 20);
    });
    EXPECT_EQ(result, 12);
}
