// The Basic window's batch (row 1 of a private copy of the seed user
// database) and the catalogue's `buttons` rows, without a window.
#include <gtest/gtest.h>
#include <wx/wxsqlite3.h>

#include "model/BasicBatch.h"
#include "tests/model/BatchFixtures.h"

using namespace tw::test;
using namespace tw::basic;

namespace {

class BasicBatch : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(user.Ok()) << "seed zir_user.db missing in " << ResourcesDir(); }

    void SetArea(double lat, double lon, double width)
    {
        wxSQLite3Statement st = Db().PrepareStatement("UPDATE batches SET lat=?, lon=?, width=? WHERE ID=1");
        st.Bind(1, lat);
        st.Bind(2, lon);
        st.Bind(3, width);
        st.ExecuteUpdate();
    }
    double Real(const char* column)
    {
        wxSQLite3ResultSet rs = Db().ExecuteQuery(wxString::Format("SELECT %s FROM batches WHERE ID=1", column));
        return rs.NextRow() ? rs.GetDouble(0) : -999;
    }
    wxString Type(const char* column)
    {
        wxSQLite3ResultSet rs =
            Db().ExecuteQuery(wxString::Format("SELECT typeof(%s) FROM batches WHERE ID=1", column));
        return rs.NextRow() ? rs.GetAsString(0) : wxString("<no row>");
    }
    // Basic items GFS-WIND, SAT-IR, GFS-WIND again; one item of batch 2.
    void StoreItems()
    {
        Db().ExecuteUpdate("DELETE FROM batch_items");
        user.InsertItem(1, "GFS-WIND", 1);
        user.InsertItem(2, "WIZ-ONLY", 1);
        user.InsertItem(1, "SAT-IR", 0);
        user.InsertItem(1, "GFS-WIND", 1);
    }
    wxSQLite3Database& Db() { return user.Db(); }

    ScopedUserDb user;
};

using BasicBatchLocale = BasicBatch;

} // namespace

TEST_F(BasicBatchLocale, StoredAreaIsReadBackAndOutOfRangeAreasAreRefused)
{
    struct Case {
        double lat, lon;
        int width;
        bool stored;
    } cases[] = {
        {10, 20, 1, true},     {10, 20, 80, true},    {-90, -180, 5, true}, {90, 180, 5, true},
        {47.25, -122.5, 12, true},
        {10, 20, 0, false},    {10, 20, 81, false},   {90.5, 0, 5, false},  {-90.5, 0, 5, false},
        {0, -180.5, 5, false}, {0, 180.5, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%g %g %d", c.lat, c.lon, c.width));
        SetArea(1, 2, 3);
        EXPECT_EQ(StoreBasicArea(&Db(), c.lat, c.lon, c.width), c.stored);
        double lat = 0, lon = 0;
        int width = 0;
        ASSERT_TRUE(ReadBasicArea(&Db(), lat, lon, width));
        EXPECT_DOUBLE_EQ(lat, c.stored ? c.lat : 1);
        EXPECT_DOUBLE_EQ(lon, c.stored ? c.lon : 2);
        EXPECT_EQ(width, c.stored ? c.width : 3);
    }

    // The unchecked store keeps what it is given, as reals.
    EXPECT_TRUE(WriteBasicArea(&Db(), -20.5, 30.25, 12.5));
    EXPECT_DOUBLE_EQ(Real("lat"), -20.5);
    EXPECT_DOUBLE_EQ(Real("lon"), 30.25);
    EXPECT_DOUBLE_EQ(Real("width"), 12.5);
    for (const char* column : {"lat", "lon", "width"})
        EXPECT_EQ(Type(column), "real") << column;
    // Whole-degree reading of the width, as the start-up takes it.
    double lat = 0, lon = 0;
    int width = 0;
    ASSERT_TRUE(ReadBasicArea(&Db(), lat, lon, width));
    EXPECT_EQ(width, 12);
}

TEST_F(BasicBatch, WithoutTheRowOrADatabaseNothingIsReadOrStored)
{
    Db().ExecuteUpdate("DELETE FROM batches WHERE ID=1");
    double lat = 5, lon = 6;
    int width = 7;
    EXPECT_FALSE(ReadBasicArea(&Db(), lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 5);
    EXPECT_DOUBLE_EQ(lon, 6);
    EXPECT_EQ(width, 7);
    EXPECT_FALSE(StoreBasicArea(&Db(), 10, 10, 10));
    BasicBatchRow row;
    row.description = "kept";
    EXPECT_FALSE(ReadBasicBatch(&Db(), row));
    EXPECT_EQ(row.description, "kept");
    EXPECT_EQ(Db().ExecuteScalar("SELECT count(*) FROM batches WHERE ID=1"), 0);

    EXPECT_FALSE(ReadBasicArea(nullptr, lat, lon, width));
    EXPECT_EQ(width, 7);
    EXPECT_FALSE(StoreBasicArea(nullptr, 10, 10, 10));
    EXPECT_FALSE(WriteBasicArea(nullptr, 10, 10, 10));
    EXPECT_FALSE(ReadBasicBatch(nullptr, row));
    EXPECT_TRUE(BasicItemIds(nullptr).empty());
    EXPECT_NO_THROW(SwitchBasicPersonality(nullptr, "Anything"));
}

TEST_F(BasicBatch, RowGivesPersonalityAndAreaWithDefaultsForMissingValues)
{
    Db().ExecuteUpdate("UPDATE batches SET description='Gulf of Maine' WHERE ID=1");
    SetArea(43.5, -68.25, 15);
    BasicBatchRow row;
    ASSERT_TRUE(ReadBasicBatch(&Db(), row));
    EXPECT_EQ(row.description, "Gulf of Maine");
    EXPECT_DOUBLE_EQ(row.lat, 43.5);
    EXPECT_DOUBLE_EQ(row.lon, -68.25);
    EXPECT_DOUBLE_EQ(row.width, 15);

    // A table of an older schema may hold NULLs: no name, the default area.
    wxSQLite3Database loose;
    loose.Open(":memory:");
    loose.ExecuteUpdate("CREATE TABLE batches (ID INTEGER PRIMARY KEY, description TEXT, lat REAL, lon REAL, "
                        "width REAL)");
    loose.ExecuteUpdate("INSERT INTO batches (ID) VALUES (1)");
    BasicBatchRow empty;
    empty.description = "stale";
    empty.lat = empty.lon = empty.width = -1;
    ASSERT_TRUE(ReadBasicBatch(&loose, empty));
    EXPECT_EQ(empty.description, "");
    EXPECT_DOUBLE_EQ(empty.lat, kDefaultLat);
    EXPECT_DOUBLE_EQ(empty.lon, kDefaultLon);
    EXPECT_DOUBLE_EQ(empty.width, kDefaultWidth);
}

TEST_F(BasicBatch, ItemsAndPersonalitySwitch)
{
    StoreItems();
    const wxArrayString ids = BasicItemIds(&Db());
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[0], "GFS-WIND");
    EXPECT_EQ(ids[1], "SAT-IR");
    EXPECT_EQ(ids[2], "GFS-WIND");

    // The new name is bound, apostrophe and all; only batch 1 loses items.
    SetArea(43.5, -68.25, 15);
    SwitchBasicPersonality(&Db(), "Gulf o' Maine");
    EXPECT_EQ(user.Column(1, "description"), "Gulf o' Maine");
    EXPECT_TRUE(BasicItemIds(&Db()).empty());
    EXPECT_EQ(user.Items(2), (ItemRows{{"WIZ-ONLY", 1}}));
    EXPECT_DOUBLE_EQ(Real("lat"), 43.5);
    EXPECT_DOUBLE_EQ(Real("width"), 15);
}

TEST_F(BasicBatch, FailedPersonalitySwitchKeepsItemsAndNameAndThrows)
{
    StoreItems();
    Db().ExecuteUpdate("UPDATE batches SET description='Old' WHERE ID=1");
    Db().ExecuteUpdate("CREATE TRIGGER refuse BEFORE UPDATE OF description ON batches "
                       "BEGIN SELECT RAISE(ABORT, 'batch 1 is locked'); END");
    EXPECT_THROW(SwitchBasicPersonality(&Db(), "New"), wxSQLite3Exception);
    EXPECT_EQ(user.Column(1, "description"), "Old");
    EXPECT_EQ(user.Items(1), (ItemRows{{"GFS-WIND", 1}, {"SAT-IR", 0}, {"GFS-WIND", 1}}));
    // The connection is usable afterwards: no transaction was left open.
    EXPECT_TRUE(Db().GetAutoCommit());
    EXPECT_TRUE(StoreBasicArea(&Db(), 1, 2, 3));
}

TEST_F(BasicBatch, LockedDatabaseThrowsAndChangesNothing)
{
    SetArea(1, 2, 3);
    StoreItems();
    // Another connection holds the file; this one does not wait.
    Db().SetBusyTimeout(0);
    wxSQLite3Database other;
    other.Open(user.Path());
    other.ExecuteUpdate("BEGIN EXCLUSIVE");

    double lat = 0, lon = 0;
    int width = 0;
    BasicBatchRow row;
    EXPECT_THROW(ReadBasicArea(&Db(), lat, lon, width), wxSQLite3Exception);
    EXPECT_THROW(ReadBasicBatch(&Db(), row), wxSQLite3Exception);
    EXPECT_THROW(BasicItemIds(&Db()), wxSQLite3Exception);
    EXPECT_THROW(StoreBasicArea(&Db(), 10, 20, 5), wxSQLite3Exception);
    EXPECT_THROW(WriteBasicArea(&Db(), 10, 20, 5), wxSQLite3Exception);
    EXPECT_THROW(SwitchBasicPersonality(&Db(), "New"), wxSQLite3Exception);
    EXPECT_TRUE(Db().GetAutoCommit());

    other.ExecuteUpdate("ROLLBACK");
    other.Close();
    ASSERT_TRUE(ReadBasicArea(&Db(), lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 1);
    EXPECT_DOUBLE_EQ(lon, 2);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(BasicItemIds(&Db()).size(), 3u);
}

TEST(BasicButtons, PersonalityRowsComeInDisplayOrderAtMostTwenty)
{
    wxSQLite3Database catalogue;
    catalogue.Open(":memory:");
    catalogue.ExecuteUpdate("CREATE TABLE buttons (Region TEXT NOT NULL, disp_ord INTEGER NOT NULL, RaceDisable "
                            "INTEGER NOT NULL DEFAULT 0, ButtonText TEXT NOT NULL DEFAULT '', recid TEXT NOT NULL "
                            "DEFAULT '', graphic TEXT NOT NULL DEFAULT '')");
    // North: 22 rows inserted in reverse order, its picture on row 5.
    for (int i = 22; i >= 1; --i) {
        wxSQLite3Statement st = catalogue.PrepareStatement(
            "INSERT INTO buttons (Region,disp_ord,RaceDisable,ButtonText,recid,graphic) VALUES (?,?,?,?,?,?)");
        st.Bind(1, "North");
        st.Bind(2, i);
        st.Bind(3, i == 3 ? 1 : 0);
        st.Bind(4, wxString::Format("Button %d", i));
        st.Bind(5, wxString::Format("N-%d", i));
        st.Bind(6, i == 5 ? "north.png" : "");
        st.ExecuteUpdate();
    }
    catalogue.ExecuteUpdate("INSERT INTO buttons (Region,disp_ord,ButtonText,recid,graphic) VALUES "
                            "('Sou''th',1,'Only','S-1','south.png'), ('Sou''th',2,'Second','S-2','')");

    const std::vector<ButtonRow> north = ReadPersonalityButtons(&catalogue, "North");
    ASSERT_EQ(north.size(), static_cast<size_t>(kButtonCount));
    for (int i = 0; i < kButtonCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(north[i].text, wxString::Format("Button %d", i + 1));
        EXPECT_EQ(north[i].recid, wxString::Format("N-%d", i + 1));
        EXPECT_EQ(north[i].raceDisable, i == 2);
    }
    // The region name is bound: an apostrophe is no end of text.
    const std::vector<ButtonRow> south = ReadPersonalityButtons(&catalogue, "Sou'th");
    ASSERT_EQ(south.size(), 2u);
    EXPECT_EQ(south[0].recid, "S-1");
    EXPECT_TRUE(ReadPersonalityButtons(&catalogue, "Nowhere").empty());

    EXPECT_EQ(ReadPersonalityCount(&catalogue), 2);
    const std::vector<PictureRow> pictures = ReadPictureRows(&catalogue);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].region, "Sou'th");   // display order 1 before 5
    EXPECT_EQ(pictures[0].graphic, "south.png");
    EXPECT_EQ(pictures[1].region, "North");
    EXPECT_EQ(pictures[1].graphic, "north.png");

    // Without a catalogue nothing; without the table an error.
    EXPECT_TRUE(ReadPersonalityButtons(nullptr, "North").empty());
    EXPECT_EQ(ReadPersonalityCount(nullptr), 0);
    EXPECT_TRUE(ReadPictureRows(nullptr).empty());
    catalogue.ExecuteUpdate("DROP TABLE buttons");
    EXPECT_THROW(ReadPersonalityCount(&catalogue), wxSQLite3Exception);
    EXPECT_THROW(ReadPersonalityButtons(&catalogue, "North"), wxSQLite3Exception);
}
