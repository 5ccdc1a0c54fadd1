// The METAREA picker under Xvfb: areas read from a marine-zones database of
// the test's own, toggled by synthesised clicks on the picture, stored by
// OK; database failures reported once and survived.
#include <gtest/gtest.h>

#include <set>

#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/utils.h>

#include "windows/map/ZoneRegions.h"
#include "windows/map/metzonesdialog.h"
#include "PickerFixtures.h"

using namespace pickers_test;
using tw::test::Ui;

namespace {

const std::vector<ZoneRow> kRows = {
    {"1", "MA01", "WMA", "North East Atlantic", 0},
    {"2", "MA01B", "WMA", "Baltic Sea", 1},
    {"5.7", "MA04", "WMA", "North West Atlantic", 0},   // read as 5
    {"'12'", "MA09", "WMA", "Arabian Sea", 0},          // text, read as 12
    {"9", "MA9X", "WMA", "No outline", 0},
    {"27", "MA27", "WMA", "No outline", 0},
    {"NULL", "MA00", "WMA", "No ID", 0},
    {"1e300", "MABIG", "WMA", "ID beyond any int", 0},
    {"14", "MA11N", "WMA", "North West Pacific", 0},
    {"15", "MA11S", "WMA", "South China Sea", 0},
    {"26", "MA08", "WMA", "Indian Ocean", 0},
    {"3", "ANZ930", "EAST", "A coastal zone", 0},
};

// Every METAREA, described by the service that issues its forecasts.
const std::vector<ZoneRow> kAllAreas = {
    {"1", "MA01", "WMA", "UK", 0},           {"2", "MA01B", "WMA", "Sweden", 0},
    {"3", "MA02", "WMA", "France", 0},       {"4", "MA03", "WMA", "Greece", 0},
    {"5", "MA04", "WMA", "USA", 0},          {"6", "MA05", "WMA", "Brazil", 0},
    {"7", "MA06", "WMA", "Argentina", 0},    {"8", "MA07", "WMA", "South Africa", 0},
    {"12", "MA09", "WMA", "Pakistan", 0},    {"13", "MA10", "WMA", "Australia", 0},
    {"14", "MA11N", "WMA", "Japan", 0},      {"15", "MA11S", "WMA", "China", 0},
    {"16", "MA12", "WMA", "USA", 0},         {"17", "MA13", "WMA", "Russia", 0},
    {"18", "MA14", "WMA", "New Zealand", 0}, {"19", "MA15", "WMA", "Chile", 0},
    {"20", "MA16", "WMA", "Peru", 0},        {"21", "MA17", "WMA", "Canada", 0},
    {"22", "MA18", "WMA", "Canada", 0},      {"23", "MA19", "WMA", "Norway", 0},
    {"24", "MA20", "WMA", "Russia", 0},      {"25", "MA21", "WMA", "Russia", 0},
    {"26", "MA08", "WMA", "India", 1},
};

// A picture point inside the area with that ID: beside its label anchor.
wxPoint Inside(int id)
{
    const tw::zones::MetAreaShape* shape = tw::zones::FindMetArea(id);
    EXPECT_NE(shape, nullptr) << id;
    EXPECT_TRUE(shape->ContainsPixel(shape->labelX + 2, shape->labelY + 2)) << id;
    return wxPoint(shape->labelX + 2, shape->labelY + 2);
}

// A point of the picture outside every area (west of Greenland).
const wxPoint kNowhere(20, 50);

void ClickArea(MetZonesDialog& dialog, const wxPoint& at)
{
    Mouse(dialog.GetImagePanel(), wxEVT_LEFT_DOWN, at.x, at.y);
    Mouse(dialog.GetImagePanel(), wxEVT_LEFT_UP, at.x, at.y);
}

// Records every row the picker updates, in order.
void LogUpdates(ZonesDb& zones)
{
    zones.db.ExecuteUpdate("CREATE TABLE updates (zcode TEXT, selected INTEGER)");
    zones.db.ExecuteUpdate("CREATE TRIGGER log_updates AFTER UPDATE ON MZones BEGIN "
                           "INSERT INTO updates VALUES (new.zcode, new.selected); END");
}

std::vector<wxString> Updates(ZonesDb& zones)
{
    std::vector<wxString> out;
    wxSQLite3ResultSet rs = zones.db.ExecuteQuery("SELECT zcode, selected FROM updates ORDER BY rowid");
    while (rs.NextRow())
        out.push_back(rs.GetAsString(0) + "=" + rs.GetAsString(1));
    return out;
}

struct Expected {
    int id;
    const char* numeral;
    const char* zcode;
    const char* description;
    bool selected;
};

} // namespace

TEST(MetZonesDialog, ReadsTheMetAreaRowsThatHaveAnOutline)
{
    ZonesDb zones(kRows);
    MetZonesDialog dialog(nullptr, &zones.db);
    EXPECT_TRUE(Ui().boxes.empty());
    const Expected expected[] = {
        {1, "I", "MA01", "North East Atlantic", false}, {2, "IB", "MA01B", "Baltic Sea", true},
        {5, "IV", "MA04", "North West Atlantic", false}, {12, "IX", "MA09", "Arabian Sea", false},
        {14, "XI", "MA11N", "North West Pacific", false}, {15, "XI", "MA11S", "South China Sea", false},
        {26, "VIII", "MA08", "Indian Ocean", false},
    };
    const MetAreaObjArray& areas = dialog.GetAreas();
    ASSERT_EQ(areas.size(), std::size(expected));
    for (size_t i = 0; i < areas.size(); ++i) {
        const Expected& e = expected[i];
        const tw::zones::MetAreaShape* shape = tw::zones::FindMetArea(e.id);
        EXPECT_EQ(areas[i].ID, e.id);
        EXPECT_EQ(areas[i].name, e.numeral);
        EXPECT_EQ(areas[i].zcode, e.zcode);
        EXPECT_EQ(areas[i].description, e.description);
        EXPECT_EQ(areas[i].selected, e.selected) << e.zcode;
        EXPECT_FALSE(areas[i].changed);
        EXPECT_EQ(areas[i].shape, shape);
        EXPECT_EQ(areas[i].x, shape->labelX);
        EXPECT_EQ(areas[i].y, shape->labelY);
    }
}

TEST(MetZonesDialog, ClicksToggleAndOkStoresOnlyTheToggledAreas)
{
    ZonesDb zones(kRows);
    LogUpdates(zones);
    MetZonesDialog dialog(nullptr, &zones.db);
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(2));    // selected -> clear
        ClickArea(dialog, Inside(14));   // twice: back as it was, but changed
        ClickArea(dialog, Inside(14));
        ClickArea(dialog, Inside(26));   // clear -> selected
        ClickArea(dialog, kNowhere);     // nothing
        const MetAreaObjArray& a = dialog.GetAreas();
        EXPECT_FALSE(a[1].selected);
        EXPECT_TRUE(a[1].changed);
        EXPECT_FALSE(a[4].selected);
        EXPECT_TRUE(a[4].changed);
        EXPECT_TRUE(a[6].selected);
        EXPECT_FALSE(a[0].changed);
        EXPECT_FALSE(a[5].changed);
        EXPECT_TRUE(Updates(zones).empty()) << "nothing is stored before OK";
        PressButton(dialog, ID_METZONES_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(Updates(zones), (std::vector<wxString>{"MA01B=0", "MA11N=0", "MA08=1"}));
    EXPECT_EQ(zones.Selections(),
              (std::vector<wxString>{"MA01=0", "MA01B=0", "MA04=0", "MA09=0", "MA9X=0", "MA27=0", "MA00=0",
                                     "MABIG=0", "MA11N=0", "MA11S=0", "MA08=1", "ANZ930=0"}));
    EXPECT_TRUE(Ui().boxes.empty());
}

TEST(MetZonesDialog, CancelAndTheCloseBoxStoreNothing)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        ZonesDb zones(kRows);
        LogUpdates(zones);
        MetZonesDialog dialog(nullptr, &zones.db);
        const int result = RunModal(dialog, [&] {
            ClickArea(dialog, Inside(1));
            ClickArea(dialog, Inside(5));
            if (closeBox)
                dialog.Close();
            else
                PressButton(dialog, ID_METZONES_CANCEL);
        });
        EXPECT_EQ(result, wxID_CANCEL);
        EXPECT_TRUE(Updates(zones).empty());
    }
}

TEST(MetZonesDialog, AClickInsideTwoAreasTogglesBoth)
{
    // Two rows with one ID share an outline.
    ZonesDb zones({{"14", "A", "WMA", "first", 0}, {"14", "B", "WMA", "second", 1}, {"1", "C", "WMA", "other", 0}});
    MetZonesDialog dialog(nullptr, &zones.db);
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(14));
        PressButton(dialog, ID_METZONES_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    ASSERT_EQ(dialog.GetAreas().size(), 3u);
    EXPECT_TRUE(dialog.GetAreas()[0].selected);
    EXPECT_FALSE(dialog.GetAreas()[1].selected);
    EXPECT_FALSE(dialog.GetAreas()[2].selected);
    // Both statements run keyed by the one ID: the second one wins.
    EXPECT_EQ(zones.Selections(), (std::vector<wxString>{"A=0", "B=0", "C=0"}));
}

TEST(MetZonesDialog, WithoutADatabaseItOpensWithThePictureAlone)
{
    MetZonesDialog dialog(nullptr, nullptr);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "NULL common MarineZones database object.");
    EXPECT_EQ(Ui().boxes[0].caption, "Notice");
    EXPECT_TRUE(Ui().boxes[0].style & wxICON_ERROR);
    EXPECT_TRUE(dialog.GetAreas().empty());
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(1));
        PressButton(dialog, ID_METZONES_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(Ui().boxes.size(), 1u);
}

TEST(MetZonesDialog, AFailingQueryIsReportedOnceAndTheDialogStillWorks)
{
    struct Case {
        const char* what;
        bool withTable;
        bool locked;
        const char* message;
    } cases[] = {
        {"missing table", false, false, "no such table: MZones"},
        {"locked database", true, true, "locked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tw::test::ResetUi();
        ZonesDb zones(kRows, c.withTable);
        wxSQLite3Database other;
        other.Open(zones.Path());
        if (c.locked)
            other.ExecuteUpdate("BEGIN EXCLUSIVE");
        auto* frame = new wxFrame(nullptr, wxID_ANY, "owner");
        {
            MetZonesDialog dialog(frame, &zones.db);
            ASSERT_EQ(Ui().boxes.size(), 1u);
            EXPECT_EQ(Ui().boxes[0].caption, "Error");
            EXPECT_TRUE(Ui().boxes[0].message.Contains(c.message)) << Ui().boxes[0].message;
            EXPECT_NE(Ui().boxes[0].parent, nullptr);
            EXPECT_TRUE(dialog.GetAreas().empty());
            const int result = RunModal(dialog, [&] {
                ClickArea(dialog, Inside(1));
                PressButton(dialog, ID_METZONES_OK);
            });
            EXPECT_EQ(result, wxID_OK);
            EXPECT_EQ(Ui().boxes.size(), 1u);
        }
        if (c.locked)
            other.ExecuteUpdate("ROLLBACK");
        other.Close();
        frame->Destroy();
    }
}

// A store refused part way (the second changed area) leaves every area as
// it was: the first one's update is rolled back with the rest, and a cancel
// after it keeps the stored selection untouched.
TEST(MetZonesDialog, AStoreRefusedPartWayStoresNothing)
{
    ZonesDb zones(kRows);
    LogUpdates(zones);
    zones.db.ExecuteUpdate("CREATE TRIGGER refuse_second BEFORE UPDATE ON MZones WHEN new.zcode='MA08' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    tw::test::ResetUi();
    MetZonesDialog dialog(nullptr, &zones.db);
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(1));
        ClickArea(dialog, Inside(26));
        PressButton(dialog, ID_METZONES_OK);
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_TRUE(Ui().boxes[0].message.Contains("refused")) << Ui().boxes[0].message;
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_TRUE(zones.db.GetAutoCommit()) << "the transaction ended";
        PressButton(dialog, ID_METZONES_CANCEL);
    });
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_EQ(Updates(zones), std::vector<wxString>{});
    wxSQLite3ResultSet rs = zones.db.ExecuteQuery("SELECT COUNT(*) FROM MZones WHERE selected=1 AND zcode IN ('MA01','MA08')");
    ASSERT_TRUE(rs.NextRow());
    EXPECT_EQ(rs.GetInt(0), 0);
}

TEST(MetZonesDialog, ARefusedStoreKeepsTheDialogOpenForAnotherTry)
{
    ZonesDb zones(kRows);
    LogUpdates(zones);
    wxSQLite3Database other;
    other.Open(zones.Path());
    MetZonesDialog dialog(nullptr, &zones.db);
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(1));
        ClickArea(dialog, Inside(26));
        other.ExecuteUpdate("BEGIN EXCLUSIVE");
        PressButton(dialog, ID_METZONES_OK);
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_EQ(Ui().boxes[0].caption, "Error");
        EXPECT_TRUE(Ui().boxes[0].message.Contains("locked")) << Ui().boxes[0].message;
        EXPECT_EQ(Ui().boxes[0].parent, &dialog);
        EXPECT_TRUE(dialog.IsModal()) << "the dialog stays open";
        EXPECT_TRUE(dialog.GetAreas()[0].changed);
        other.ExecuteUpdate("ROLLBACK");
        PressButton(dialog, ID_METZONES_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Updates(zones), (std::vector<wxString>{"MA01=1", "MA08=1"}));
    other.Close();
}

TEST(MetZonesDialog, PointerOverAnAreaShowsTheHand)
{
    ZonesDb zones(kRows);
    MetZonesDialog dialog(nullptr, &zones.db);
    struct Case {
        wxPoint at;
        bool over;
    } cases[] = {{Inside(1), true}, {kNowhere, false}, {Inside(26), true},
                 // IX has a row, XII has none.
                 {Inside(12), true}, {Inside(16), false}};
    for (const Case& c : cases) {
        Mouse(dialog.GetImagePanel(), wxEVT_MOTION, c.at.x, c.at.y);
        EXPECT_EQ(dialog.IsPointerOverArea(), c.over) << c.at.x << "," << c.at.y;
    }
}

TEST(MetZonesDialog, DrawsThePictureLabelsAndCheckMarks)
{
    ZonesDb zones(kAllAreas);
    MetZonesDialog dialog(nullptr, &zones.db);
    ASSERT_EQ(dialog.GetAreas().size(), 23u);
    dialog.Show();
    ASSERT_TRUE(tw::test::WaitFor([&] { return dialog.IsShownOnScreen(); }));
    const wxSize client = dialog.GetImagePanel()->GetClientSize();
    EXPECT_EQ(client, wxSize(635, 465)) << "the whole picture inside the border";
    ClickArea(dialog, Inside(2));   // IB selected, VIII already was
    const wxImage shot = Shot(dialog.GetImagePanel(), "tw-pickers-metzones.png");
    Shot(&dialog, "tw-pickers-metzones-dialog.png");
    ASSERT_TRUE(shot.IsOk());
    const wxImage picture = LoadPng(tw::test::ResourcesDir() + "/" + MetZonesDialog::kPicture);
    ASSERT_TRUE(picture.IsOk());

    // Red check-mark pixels in the 16 x 16 cell above the numeral.
    auto redAbove = [&](int id) {
        const tw::zones::MetAreaShape* s = tw::zones::FindMetArea(id);
        int red = 0;
        for (int y = s->labelY - 16; y < s->labelY; ++y)
            for (int x = s->labelX - 10; x < s->labelX + 30; ++x)
                red += shot.GetRed(x, y) > 150 && shot.GetGreen(x, y) < 90 && shot.GetBlue(x, y) < 110;
        return red;
    };
    EXPECT_GT(redAbove(26), 8);
    EXPECT_GT(redAbove(2), 8);
    EXPECT_EQ(redAbove(1), 0);
    EXPECT_EQ(redAbove(14), 0);

    // Dark label text at the numeral and the description line; the picture
    // itself where no label is.
    auto darkNear = [&](int x0, int y0, int w, int h) {
        int dark = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                dark += shot.GetRed(x, y) < 90 && shot.GetGreen(x, y) < 90 && shot.GetBlue(x, y) < 90;
        return dark;
    };
    const tw::zones::MetAreaShape* one = tw::zones::FindMetArea(1);
    EXPECT_GT(darkNear(one->labelX, one->labelY, 12, 12), 3);
    EXPECT_GT(darkNear(one->labelX - 40, one->labelY + 12, 90, 12), 20);
    for (auto [x, y] : {std::pair{300, 420}, {450, 300}, {600, 440}}) {
        EXPECT_EQ(shot.GetRed(x, y), picture.GetRed(x, y)) << x << "," << y;
        EXPECT_EQ(shot.GetBlue(x, y), picture.GetBlue(x, y)) << x << "," << y;
    }
}

TEST(MetZonesDialog, ShowsEveryAreaOfTheShippedDatabase)
{
    tw::test::TempDir dir;
    const wxString path = dir / "MarineZones.db";
    ASSERT_TRUE(wxCopyFile(tw::test::ResourcesDir() + "/MarineZones.db", path));
    wxSQLite3Database db;
    db.Open(path);
    std::set<int> seedIds;
    {
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT ID FROM MZones WHERE region='WMA'");
        while (rs.NextRow())
            seedIds.insert(rs.GetInt(0));
    }
    MetZonesDialog dialog(nullptr, &db);
    EXPECT_TRUE(Ui().boxes.empty());
    std::set<int> shown;
    for (const MetArea& area : dialog.GetAreas())
        EXPECT_TRUE(shown.insert(area.ID).second) << "area " << area.ID << " twice";
    std::set<int> all;
    for (const auto& shape : tw::zones::MetAreaShapes())
        all.insert(shape.id);
    EXPECT_EQ(shown, all) << "every METAREA has its row";

    // A look at it as the user sees it, with two areas ticked.
    ClickArea(dialog, Inside(3));
    ClickArea(dialog, Inside(16));
    dialog.Show();
    ASSERT_TRUE(tw::test::WaitFor([&] { return dialog.IsShownOnScreen(); }));
    EXPECT_TRUE(Shot(&dialog, "tw-pickers-metzones-seed.png").IsOk());
    db.Close();
}

TEST(MetZonesDialog, MissingPicturesAreLoggedAndClicksStillWork)
{
    tw::test::TempDir emptyResources;
    const wxString saved = wxGetenv("TIDEWRIGHT_RESOURCES");
    wxSetEnv("TIDEWRIGHT_RESOURCES", emptyResources.Path());
    ZonesDb zones(kRows);
    MetZonesDialog dialog(nullptr, &zones.db);
    wxSetEnv("TIDEWRIGHT_RESOURCES", saved);
    EXPECT_TRUE(tw::test::LogContains("Cannot load the picture"));
    EXPECT_TRUE(tw::test::LogContains("WorldMetAreaMap2.png"));
    EXPECT_TRUE(tw::test::LogContains("red_check_16_16.png"));
    const int result = RunModal(dialog, [&] {
        ClickArea(dialog, Inside(1));
        dialog.Update();   // paints labels without the pictures
        PressButton(dialog, ID_METZONES_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(zones.Selections().front(), "MA01=1");
}
