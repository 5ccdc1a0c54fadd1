// The catalogue item record and the tree nodes: every append copies, copies
// are independent, and emptying or destroying a node releases its subtree.
#include <gtest/gtest.h>

#include "model/FileInfo.h"

namespace {

CFileInfo MakeItem(const wxString& id)
{
    CFileInfo f;
    f.info.FileID = id;
    f.info.Title = "Title " + id;
    f.info.Path = "/srv/" + id;
    f.info.File = id + ".grb";
    f.info.Description = "d";
    f.info.Price = "1.50";
    f.info.Compression = "bz2";
    f.info.Category = "GRIB";
    f.info.ChartType = "Wind";
    f.info.RawSize = "200";
    f.info.CompressedSize = "100";
    f.info.Source = "NOAA";
    f.info.status = 1;
    return f;
}

bool SameInfo(const CFileInfo::t_info& a, const CFileInfo::t_info& b)
{
    return a.FileID == b.FileID && a.Title == b.Title && a.Path == b.Path && a.File == b.File &&
           a.Description == b.Description && a.Price == b.Price && a.Compression == b.Compression &&
           a.Category == b.Category && a.ChartType == b.ChartType && a.RawSize == b.RawSize &&
           a.CompressedSize == b.CompressedSize && a.Source == b.Source && a.status == b.status;
}

} // namespace

TEST(FileInfoRecord, CopyAndAssignmentCarryEveryField)
{
    CFileInfo empty;
    CFileInfo emptyCopy(empty);
    EXPECT_TRUE(SameInfo(empty.info, emptyCopy.info));

    CFileInfo full = MakeItem("A1");
    CFileInfo copy(full);
    EXPECT_TRUE(SameInfo(full.info, copy.info));

    CFileInfo assigned;
    assigned = full;
    EXPECT_TRUE(SameInfo(full.info, assigned.info));

    CFileInfo& self = assigned;
    assigned = self;
    EXPECT_TRUE(SameInfo(full.info, assigned.info));

    copy.info.Title = "changed";
    EXPECT_EQ(full.info.Title, "Title A1");
}

TEST(CatalogueTree, AddStoresIndependentCopies)
{
    CChartType ct;
    ct.name = "Wind";
    CFileInfo item = MakeItem("A1");
    ct.Add(item);
    ct.Add(item);
    item.info.Title = "after";
    ASSERT_EQ(ct.files.GetCount(), 2u);
    EXPECT_EQ(ct.files[0].info.Title, "Title A1");
    EXPECT_EQ(ct.files[1].info.Title, "Title A1");
    EXPECT_NE(&ct.files[0], &ct.files[1]);
    ct.files[0].info.Title = "first only";
    EXPECT_EQ(ct.files[1].info.Title, "Title A1");
}

TEST(CatalogueTree, NodeCopyIsDeepAndWorkingNodesCanBeReused)
{
    // The way the catalogue load fills the tree: one working node per level,
    // appended upwards, emptied between rows.
    CProductTypeArray catalogue;
    CProduct product;
    CRegion region;
    CChartType chart;
    for (int row = 0; row < 3; ++row) {
        chart.name = "Chart";
        chart.Add(MakeItem(wxString::Format("id%d", row)));
        region.name = "Region";
        region.Add(chart);
        product.name = wxString::Format("Cat%d", row);
        product.Add(region);
        catalogue.Add(product);
        chart.Empty();
        region.Empty();
        product.Empty();
        EXPECT_TRUE(chart.name.empty());
        EXPECT_EQ(chart.files.GetCount(), 0u);
        EXPECT_EQ(region.chartTypes.GetCount(), 0u);
        EXPECT_EQ(product.regions.GetCount(), 0u);
    }
    ASSERT_EQ(catalogue.GetCount(), 3u);
    EXPECT_EQ(catalogue[2].name, "Cat2");
    EXPECT_EQ(catalogue[2].regions[0].chartTypes[0].files[0].info.FileID, "id2");

    CProductTypeArray copy(catalogue);
    copy[0].regions[0].chartTypes[0].files[0].info.FileID = "changed";
    EXPECT_EQ(catalogue[0].regions[0].chartTypes[0].files[0].info.FileID, "id0");

    CProduct node(catalogue[1]);
    catalogue.Empty();
    EXPECT_EQ(node.regions[0].chartTypes[0].files[0].info.FileID, "id1");

    int visited = 0;
    for (const CRegion& r : node.regions)
        for (const CChartType& c : r.chartTypes)
            for (const CFileInfo& f : c.files)
                visited += f.info.FileID == "id1";
    EXPECT_EQ(visited, 1);
}

TEST(CatalogueTree, InsertAndRemoveKeepOrder)
{
    CFileInfoArray items;
    items.Add(MakeItem("a"));
    items.Add(MakeItem("c"));
    items.Insert(MakeItem("b"), 1);
    items.Insert(MakeItem("d"), 3);
    ASSERT_EQ(items.GetCount(), 4u);
    EXPECT_EQ(items[1].info.FileID, "b");
    EXPECT_EQ(items[3].info.FileID, "d");
    CFileInfo* c = &items[2];
    items.RemoveAt(0);
    EXPECT_EQ(&items[1], c) << "elements keep their address when others are removed";
    EXPECT_EQ(items.Last().info.FileID, "d");
}
