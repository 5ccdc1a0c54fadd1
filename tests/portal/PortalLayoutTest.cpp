// The Portal's layout table and the grouping of suggestions, without a
// window: every control inside the client area and none over another, the 77
// face files, the placement rule for low displays, and the tree shape.
#include <set>

#include <gtest/gtest.h>
#include <wx/image.h>

#include "support/TestSupport.h"
#include "windows/portal/PortalLayout.h"
#include "windows/common/SuggestionGroups.h"

using namespace tw::portal;

TEST(PortalLayout, EveryControlFitsAndNoneOverlaps)
{
    struct Placed {
        std::string name;
        int x, y, w, h;
    };
    std::vector<Placed> placed;
    std::set<int> ids;
    for (const ButtonRow& b : kButtons) {
        EXPECT_TRUE(ids.insert(b.id).second) << b.id;
        placed.push_back({b.stem, b.x, b.y, b.width, b.height});
    }
    placed.push_back({"map", kMapHolder.x, kMapHolder.y, kMapHolder.width, kMapHolder.height});
    placed.push_back({"tree", kCheckTree.x, kCheckTree.y, kCheckTree.width, kCheckTree.height});
    // The coordinates label: its place and the text it shows (about 120 x 14).
    placed.push_back({"coordinates", kCoordsLabelX, kCoordsLabelY, 130, 16});

    for (const Placed& p : placed) {
        EXPECT_GE(p.x, 0) << p.name;
        EXPECT_GE(p.y, 0) << p.name;
        EXPECT_LE(p.x + p.w, kClientWidth) << p.name;
        EXPECT_LE(p.y + p.h, kClientHeight) << p.name;
    }
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const Placed &a = placed[i], &b = placed[j];
            const bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << a.name << " and " << b.name;
        }
    // The lowest controls, as the client area must hold them.
    EXPECT_EQ(FindButton(kZoomOutButton)->y + FindButton(kZoomOutButton)->height, 685);
    EXPECT_EQ(FindButton(kBasicModeButton)->y + FindButton(kBasicModeButton)->height, 686);
    EXPECT_EQ(FindButton(12345), nullptr);
}

TEST(PortalLayout, FaceFilesExistAtTheirButtonsSizes)
{
    const std::vector<std::string>& all = AllFaceFiles();
    EXPECT_EQ(all.size(), 77u);
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 77u);
    const ButtonRow* ice = FindButton(kIceButton);
    EXPECT_EQ(FaceFiles(*ice), (std::vector<std::string> {"res/tool_Ice.png", "res/tool_Ice_select.png",
                                                           "res/tool_Ice_over.png"}));
    EXPECT_EQ(FaceFiles(*FindButton(kDownloadButton)),
              (std::vector<std::string> {"res/btn_Download.png", "res/btn_Download_over.png"}));
    int tools = 0;
    for (const ButtonRow& b : kButtons) {
        tools += b.pressedFace;
        for (const std::string& face : FaceFiles(b)) {
            wxImage image;
            ASSERT_TRUE(image.LoadFile(tw::test::ResourcesDir() + "/" + face, wxBITMAP_TYPE_PNG)) << face;
            EXPECT_EQ(image.GetSize(), wxSize(b.width, b.height)) << face;
            EXPECT_TRUE(IsFaceFile(face));
        }
    }
    EXPECT_EQ(tools, 19);
    EXPECT_FALSE(IsFaceFile("res/tool_ice.png"));
    EXPECT_FALSE(IsFaceFile("res/tool_Ice"));
}

TEST(PortalLayout, LowDisplaysPlaceTheWindowNearTheTop)
{
    const struct {
        int display, window;
        bool top;
    } cases[] = {{1024, 790, false}, {890, 790, false}, {889, 790, true}, {768, 790, true}};
    for (const auto& c : cases)
        EXPECT_EQ(PlaceNearTop(c.display, c.window), c.top) << c.display;
}

TEST(SuggestionGroups, CategoriesThenChartTypesInOrderOfFirstItem)
{
    using tw::SuggestionLeaf;
    tw::CSuggestionGroups groups;
    const struct {
        const char* category;
        const char* chartType;
        const char* id;
    } items[] = {
        {"Charts", "Surface", "A"}, {"Charts", "Upper Air", "B"}, {"GRIB", "Wind", "C"},
        {"Charts", "Surface", "D"},   // a later item of the first chart type
        {"charts", "Surface", "E"},   // differs only in case: a category of its own
        {"GRIB", "Surface", "F"},     // a chart type of the same name elsewhere
    };
    for (const auto& item : items)
        groups.Add(item.category, item.chartType, SuggestionLeaf {item.id, item.id, true});

    std::vector<std::string> shape;
    for (const tw::SuggestionCategory& c : groups.Categories())
        for (const tw::SuggestionChartType& t : c.chartTypes) {
            std::string line = c.name.utf8_string() + "/" + t.name.utf8_string() + ":";
            for (const SuggestionLeaf& leaf : t.leaves)
                line += " " + leaf.recordId.utf8_string();
            shape.push_back(line);
        }
    EXPECT_EQ(shape, (std::vector<std::string> {"Charts/Surface: A D", "Charts/Upper Air: B", "GRIB/Wind: C",
                                                "GRIB/Surface: F", "charts/Surface: E"}));
    EXPECT_EQ(groups.LeafCount(), 6u);
    EXPECT_EQ(tw::CategoryRecordId("Satellite"), "_cat:Satellite");
    EXPECT_EQ(tw::ChartTypeRecordId("Surface"), "type:Surface");
    EXPECT_EQ(tw::GroupName("_cat:Satellite"), "Satellite");
    EXPECT_EQ(tw::GroupName("type:Upper Air"), "Upper Air");
}
