// The Basic window on the seed catalogue with `buttons` tables of the tests'
// own: the Personality menu, loading and changing personalities, the two
// pages of toggles, the product list, restoring the Basic batch, its area,
// the commands and mode changes, and the end of a transfer.
#include <functional>

#include <wx/uiaction.h>

#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/statbox.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "library/ModalDriver.h"
#include "basic/BasicFixtures.h"
#include "windows/library/batchwindow.h"
#include "model/BasicBatch.h"
#include "windows/common/Shell.h"
#include "map/MapFixtures.h"
#include "windows/transfer/connsettings.h"
#include "windows/transfer/filexfer.h"
#include "windows/transfer/updatestatus.h"
#include "windows/portal/loadwindow.h"
#include "xferwindow/XferFixtures.h"

using namespace basic_test;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

// Five personalities, listed in the menu by the display order of their
// picture rows (Short, Harbour, Queen Charlotte's Sound, Wind & Waves, Bay);
// Bay has 25 rows and a second picture row, Short only 19 rows.
std::vector<ButtonRow> FivePersonalities()
{
    std::vector<ButtonRow> rows;
    Append(rows, Personality("Bay", 500, 25, "bmcal", "Bay", "basic_california.png"));
    Append(rows, Personality("Harbour", 100, 20, "bmpnw", "Harbour", "basic_pacific_northwest.png", {2, 12}));
    Append(rows, Personality("Wind & Waves", 300, 20, "bmusec", "W&W", "basic_us_east_coast.png"));
    Append(rows, Personality("Short", 50, 19, "bmgulf", "Short", "basic_gulf_of_mexico.png"));
    Append(rows, Personality("Queen Charlotte's Sound", 200, 20, "bmhaw", "Queen's", "basic_hawaii.png"));
    rows.push_back({"Bay", 9999, 0, "Extra", "bmhaw01", "basic_hawaii.png"});
    return rows;
}

int MenuIdOf(BasicWindow* w, const wxString& region)
{
    for (const BasicWindow::struct_PersonalityIDs& p : w->m_personalities)
        if (p.regionName == region)
            return p.menuId;
    ADD_FAILURE() << "no menu entry for " << region.utf8_string();
    return wxID_NONE;
}

CFileInfo Item(const wxString& id)
{
    CFileInfo item;
    EXPECT_TRUE(wxGetApp().FindFileInfo(item, id)) << id.utf8_string();
    return item;
}

// The local copy of a catalogue item in the Basic batch's folder.
wxString LocalCopy(const wxString& folder, const wxString& id)
{
    wxString name = Item(id).info.Path.AfterLast('/');
    if (name.Contains("=>"))
        name = name.AfterFirst('>');
    return folder + "/" + name;
}

bool LooksLikeDate(const wxString& text)
{
    wxDateTime date;
    wxString::const_iterator end;
    return date.ParseFormat(text, "%y-%m-%d %H:%M", &end) && end == text.end();
}

class BasicWindowTest : public BasicTest
{
protected:
    void SetUp() override
    {
        BasicTest::SetUp();
        WriteButtons(Catalogue(), FivePersonalities());
        SetDescription("Harbour");
    }

    // Closes the current main window and opens a new Basic window, as a
    // restart of the program would.
    BasicWindow* Reopen()
    {
        if (app.topWindow)
            app.topWindow->Destroy();
        app.topWindow = nullptr;
        tw::test::Pump(20);
        return Open();
    }
};

using BasicWindowLocaleTest = BasicWindowTest;

} // namespace

TEST_F(BasicWindowTest, MenuListsPersonalitiesByPictureRowWithTheirNamesAsTheyAre)
{
    BasicWindow* w = Open();
    EXPECT_EQ(w->m_personalityCount, 5);
    std::vector<wxString> regions, labels;
    for (const BasicWindow::struct_PersonalityIDs& p : w->m_personalities) {
        regions.push_back(p.regionName);
        wxMenuItem* item = w->GetMenuBar()->FindItem(p.menuId);
        ASSERT_NE(item, nullptr);
        labels.push_back(item->GetItemLabelText());
    }
    const std::vector<wxString> expected = {"Short", "Harbour", "Queen Charlotte's Sound", "Wind & Waves", "Bay"};
    EXPECT_EQ(regions, expected) << "one entry per region, the second picture row of Bay left out";
    EXPECT_EQ(labels, expected) << "an ampersand shows as itself";
    EXPECT_EQ(w->GetMenuBar()->FindItem(MenuIdOf(w, "Wind & Waves"))->GetItemLabel(), "Wind && Waves");
    EXPECT_EQ(w->m_personalities[0].graphicName, "basic_gulf_of_mexico.png");
    EXPECT_EQ(w->m_personalities[4].graphicName, "basic_california.png");

    wxMenuBar* bar = w->GetMenuBar();
    ASSERT_EQ(bar->GetMenuCount(), 2u);
    EXPECT_EQ(bar->GetMenuLabelText(0), "Mode");
    EXPECT_EQ(bar->GetMenuLabelText(1), "Personality");
    EXPECT_EQ(bar->GetMenu(1)->GetMenuItemCount(), 5u);
    const std::vector<std::pair<int, const char*>> modeItems = {
        {ID_BASIC_LAUNCH_WIZARD, "Launch Wizard"},
        {ID_BASIC_LIBRARY_MODE, "Switch to Library Mode"},
        {ID_BASIC_PORTAL_MODE, "Switch to Portal Mode"}};
    for (size_t i = 0; i < modeItems.size(); ++i) {
        wxMenuItem* item = bar->GetMenu(0)->FindItemByPosition(i);
        EXPECT_EQ(item->GetId(), modeItems[i].first);
        EXPECT_EQ(item->GetItemLabelText(), modeItems[i].second);
    }
}

TEST_F(BasicWindowTest, NamesWithAmpersandOrApostropheLoadAndSurviveARestart)
{
    BasicWindow* w = Open();
    Press(0);
    ASSERT_EQ(Items().size(), 1u);
    for (const wxString region : {"Wind & Waves", "Queen Charlotte's Sound"}) {
        SCOPED_TRACE(region.utf8_string());
        Menu(MenuIdOf(w, region));
        EXPECT_EQ(Description(), region);
        EXPECT_TRUE(Items().empty()) << "a new personality empties the Basic batch";
        EXPECT_EQ(w->m_productList->GetItemCount(), 0);
        const wxString first = region.StartsWith("Wind") ? "W&W 1" : "Queen's 1";
        EXPECT_EQ(Labels()[0], first);
        EXPECT_TRUE(w->m_toggleButtons[0]->IsEnabled());
        Press(0);
        ASSERT_EQ(Items().size(), 1u);
    }
    EXPECT_EQ(Items()[0], "bmhaw01");
    EXPECT_FALSE(BoxShown("Buttons not found"));

    w = Reopen();
    EXPECT_EQ(Description(), "Queen Charlotte's Sound");
    EXPECT_EQ(Labels()[0], "Queen's 1");
    EXPECT_TRUE(Pressed()[0]);
    EXPECT_EQ(Rows(), std::vector<long>({0}));
}

TEST_F(BasicWindowTest, PersonalitiesUseTheirFirstTwentyRowsAndShortOnesAreRefusedSafely)
{
    BasicWindow* w = Open();
    Menu(MenuIdOf(w, "Bay"));
    EXPECT_EQ(w->m_buttonRecids.size(), 20u);
    EXPECT_EQ(w->m_buttonRecids[19], "bmcal20");
    Command(ID_BASIC_PAGE_BUTTON);
    EXPECT_EQ(Labels()[9], "Bay 20");

    // Nineteen rows: refused with a notice; the twentieth button is empty,
    // disabled and inert, on whichever page it is asked for.
    Menu(MenuIdOf(w, "Short"));
    EXPECT_TRUE(BoxShown("Buttons not found for Short"));
    EXPECT_EQ(Ui().boxes.back().caption, "Notice");
    EXPECT_EQ(Description(), "Short");
    EXPECT_EQ(w->m_page, 1);
    ASSERT_EQ(w->m_buttonRecids.size(), 20u);
    EXPECT_EQ(Labels()[9], "Short 10");
    Command(ID_BASIC_PAGE_BUTTON);
    EXPECT_EQ(Labels()[8], "Short 19");
    EXPECT_EQ(Labels()[9], "");
    EXPECT_FALSE(w->m_toggleButtons[9]->IsEnabled());
    EXPECT_TRUE(w->m_toggleButtons[8]->IsEnabled());
    Press(9);
    EXPECT_FALSE(w->m_toggleButtons[9]->GetValue());
    Press(8);
    EXPECT_EQ(Items(), std::vector<wxString>({"bmgulf19"}));
    EXPECT_EQ(Rows(), std::vector<long>({18}));
}

TEST_F(BasicWindowTest, PagesShowTheirProductsAndTogglesStoreExactlyTheirOwn)
{
    BasicWindow* w = Open();
    EXPECT_EQ(w->m_pageBox->GetLabel(), "Weather Page 1");
    EXPECT_EQ(w->m_otherPageBox->GetLabel(), "Weather Page 2");
    EXPECT_EQ(w->m_pageButton->GetLabel(), "GoTo Weather Page 2");
    EXPECT_EQ(Labels()[0], "Harbour 1");

    Press(0);
    Command(ID_BASIC_PAGE_BUTTON);
    EXPECT_EQ(w->m_pageBox->GetLabel(), "Weather Page 2");
    EXPECT_EQ(w->m_otherPageBox->GetLabel(), "Weather Page 1");
    EXPECT_EQ(w->m_pageButton->GetLabel(), "GoTo Weather Page 1");
    EXPECT_EQ(Labels()[0], "Harbour 11");
    EXPECT_EQ(Pressed(), std::vector<bool>(10, false)) << "marks belong to products, not to toggles";

    // The third button of page 2 is the thirteenth product.
    Press(2);
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw01", "bmpnw13"}));
    EXPECT_EQ(Rows(), std::vector<long>({0, 12}));
    const CFileInfo item = Item("bmpnw13");
    EXPECT_EQ(Cell(1, 0), "  N/A   ");
    EXPECT_EQ(Cell(1, 1), item.info.CompressedSize + "Kb");
    EXPECT_EQ(Cell(1, 2), "$" + item.info.Price);
    EXPECT_EQ(Cell(1, 3), item.info.Description);
    EXPECT_TRUE(wxDirExists(basicFolder)) << "the list row makes the batch's folder";

    // Turning the pages keeps the marks where they belong.
    Command(ID_BASIC_PAGE_BUTTON);
    std::vector<bool> page1(10, false);
    page1[0] = true;
    EXPECT_EQ(Pressed(), page1);
    Command(ID_BASIC_PAGE_BUTTON);
    std::vector<bool> page2(10, false);
    page2[2] = true;
    EXPECT_EQ(Pressed(), page2);

    // A release removes its own row wherever it stands.
    Press(0);   // product 10
    Command(ID_BASIC_PAGE_BUTTON);
    Press(5);   // product 5
    EXPECT_EQ(Rows(), std::vector<long>({0, 12, 10, 5}));
    Command(ID_BASIC_PAGE_BUTTON);
    Press(2);
    EXPECT_EQ(Rows(), std::vector<long>({0, 10, 5}));
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw01", "bmpnw11", "bmpnw06"}));

    // A product stored twice is released altogether.
    CBatchFolder::Instance()->AddItemToBatch(1, "bmpnw01", 1);
    Command(ID_BASIC_PAGE_BUTTON);
    Press(0);
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw11", "bmpnw06"}));
    EXPECT_EQ(Rows(), std::vector<long>({10, 5}));
    EXPECT_TRUE(Ui().boxes.empty());
}

TEST_F(BasicWindowTest, ButtonWhoseProductIsNotInTheCatalogueSpringsBack)
{
    std::vector<ButtonRow> rows = Personality("Harbour", 100, 20, "bmpnw", "Harbour", "basic_pacific_northwest.png");
    rows[3].recid = "NOT-IN-CATALOGUE";
    WriteButtons(Catalogue(), rows);
    BasicWindow* w = Open();
    Press(3);
    EXPECT_TRUE(BoxShown("Cannot find in list: NOT-IN-CATALOGUE"));
    EXPECT_EQ(Ui().boxes.back().caption, "Error");
    EXPECT_EQ(Ui().boxes.back().parent, w) << "the box belongs to the window";
    EXPECT_FALSE(w->m_toggleButtons[3]->GetValue()) << "the button claims no product that will not download";
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(Rows().empty());
}

TEST_F(BasicWindowTest, RaceEditionBarsItsRowsAndNothingElse)
{
    for (bool race : {false, true}) {
        SCOPED_TRACE(race);
        std::unique_ptr<RaceEdition> edition;
        if (race)
            edition = std::make_unique<RaceEdition>();
        ASSERT_EQ(TidewrightApp::IsRace(), race);
        User().ExecuteUpdate("DELETE FROM batch_items");
        tw::test::ResetUi();
        BasicWindow* w = Reopen();
        EXPECT_EQ(Labels()[1], race ? "Disabled for Race Mode" : "Harbour 2");
        EXPECT_EQ(Labels()[2], "Harbour 3");
        Press(1);
        EXPECT_EQ(w->m_toggleButtons[1]->GetValue(), !race);
        EXPECT_EQ(Items(), race ? std::vector<wxString>() : std::vector<wxString>({"bmpnw02"}));
        Command(ID_BASIC_PAGE_BUTTON);
        EXPECT_EQ(Labels()[1], race ? "Disabled for Race Mode" : "Harbour 12");
        const wxSize best = w->m_toggleButtons[1]->GetBestSize();
        EXPECT_GE(w->m_toggleButtons[1]->GetSize().x, best.x) << "the longest label fits";
        if (race)
            tw::test::Screenshot(w, wxFileName::GetTempDir() + "/tw-basic-race.png");
        EXPECT_TRUE(Ui().boxes.empty()) << "a barred button springs back silently";
    }
}

TEST_F(BasicWindowTest, EmptyButtonsTableLeavesInertButtonsAndTheBatchAlone)
{
    WriteButtons(Catalogue(), {});
    CBatchFolder::Instance()->AddItemToBatch(1, "bmpnw01", 1);
    BasicWindow* w = Open();
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "Error: Buttons not found in Database");
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
    EXPECT_EQ(w->m_personalityCount, 0);
    EXPECT_TRUE(w->m_personalities.empty());
    EXPECT_EQ(w->GetMenuBar()->GetMenu(1)->GetMenuItemCount(), 0u);
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(Labels()[p], "");
        EXPECT_FALSE(w->m_toggleButtons[p]->IsEnabled());
        Press(p);
        EXPECT_FALSE(w->m_toggleButtons[p]->GetValue());
    }
    EXPECT_EQ(Description(), "Harbour") << "there is no personality to fall back to";
    EXPECT_EQ(Items(), std::vector<wxString>({"bmpnw01"}));
}

TEST_F(BasicWindowTest, UnloadableStoredPersonalityGivesWayToTheFirstOfTheMenuButKeepsTheArea)
{
    std::vector<ButtonRow> rows;
    Append(rows, Personality("Bay", 500, 20, "bmcal", "Bay", "basic_california.png"));
    Append(rows, Personality("Harbour", 100, 20, "bmpnw", "Harbour", "basic_pacific_northwest.png"));
    for (const wxString stored : {"Nowhere", ""}) {
        SCOPED_TRACE(stored.utf8_string());
        WriteButtons(Catalogue(), rows);
        SetDescription(stored);
        User().ExecuteUpdate("DELETE FROM batch_items");
        CBatchFolder::Instance()->AddItemToBatch(1, "bmcal01", 1);
        SetArea(-12.5, 130.25, 6);
        tw::test::ResetUi();
        BasicWindow* w = Reopen();
        EXPECT_EQ(BoxShown("Buttons not found for Nowhere"), !stored.empty());
        EXPECT_EQ(Description(), "Harbour");
        EXPECT_TRUE(Items().empty());
        EXPECT_EQ(Labels()[0], "Harbour 1");
        EXPECT_FLOAT_EQ(w->m_lat, -12.5f) << "the window sends the stored area, not one of its own";
        EXPECT_FLOAT_EQ(w->m_lon, 130.25f);
        EXPECT_FLOAT_EQ(w->m_width, 6.0f);
        EXPECT_GT(w->m_mapPanel->m_highlightBox.width, 0);
    }
}

TEST_F(BasicWindowTest, RestoredBatchShowsItsProductsInStoredOrderWithTheirDates)
{
    for (const char* id : {"bmpnw13", "bmpnw06", "GONE", "bmcal01", "bmpnw06"})
        CBatchFolder::Instance()->AddItemToBatch(1, id, 1);
    ASSERT_TRUE(wxFileName::Mkdir(basicFolder, 0777, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(tw::test::WriteFile(LocalCopy(basicFolder, "bmpnw06"), "picture"));

    BasicWindow* w = Open();
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "Cannot find in list: GONE");
    EXPECT_EQ(Rows(), std::vector<long>({12, 5})) << "one row per product, in stored order";
    EXPECT_TRUE(LooksLikeDate(Cell(1, 0))) << Cell(1, 0).utf8_string();
    EXPECT_EQ(Cell(0, 0), "  N/A   ");
    std::vector<bool> page1(10, false);
    page1[5] = true;
    EXPECT_EQ(Pressed(), page1);
    EXPECT_EQ(Items().size(), 5u) << "restoring stores nothing";

    // Viewing: a double click without a selection says so; with rows
    // selected the View button opens each, top to bottom.
    xfer_test::RecordingLauncher launcher;
    wxMouseEvent dclick(wxEVT_LEFT_DCLICK);
    dclick.SetEventObject(w->m_productList);
    w->m_productList->GetEventHandler()->ProcessEvent(dclick);
    EXPECT_TRUE(BoxShown("No product is selected"));
    EXPECT_EQ(Ui().boxes.back().style & (wxOK | wxICON_ERROR), wxOK | wxICON_ERROR);
    ASSERT_TRUE(tw::test::WriteFile(LocalCopy(basicFolder, "bmpnw13"), "picture"));
    w->m_productList->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    w->m_productList->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    Command(ID_BASIC_VIEW_BUTTON);
    const auto starts = launcher.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].back(), LocalCopy(basicFolder, "bmpnw13"));
    EXPECT_EQ(starts[1].back(), LocalCopy(basicFolder, "bmpnw06"));
    launcher.Clear();
    w->m_productList->SetItemState(0, 0, wxLIST_STATE_SELECTED);
    w->m_productList->GetEventHandler()->ProcessEvent(dclick);
    ASSERT_EQ(launcher.Starts().size(), 1u);
    EXPECT_EQ(launcher.Starts()[0].back(), LocalCopy(basicFolder, "bmpnw06")) << "the first selected row";
}

// The list's rows live in an inner window of the list control: a real
// double click must still reach the window.
TEST_F(BasicWindowTest, RealDoubleClickOnTheListOpensTheRowUnderIt)
{
    CBatchFolder::Instance()->AddItemToBatch(1, "bmpnw06", 1);
    ASSERT_TRUE(wxFileName::Mkdir(basicFolder, 0777, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(tw::test::WriteFile(LocalCopy(basicFolder, "bmpnw06"), "picture"));
    xfer_test::RecordingLauncher launcher;
    BasicWindow* w = Open();
    w->Raise();
    ASSERT_EQ(w->m_productList->GetItemCount(), 1);
    wxRect row;
    ASSERT_TRUE(w->m_productList->GetItemRect(0, row));

    wxUIActionSimulator mouse;
    mouse.MouseMove(w->m_productList->ClientToScreen(wxPoint(row.x + 40, row.y + row.height / 2)));
    tw::test::Pump(50);
    mouse.MouseDblClick();
    ASSERT_TRUE(tw::test::WaitFor([&] { return launcher.Starts().size() == 1; }, 3000));
    EXPECT_EQ(launcher.Starts()[0].back(), LocalCopy(basicFolder, "bmpnw06"));

    w->m_productList->SetItemState(0, 0, wxLIST_STATE_SELECTED);
    mouse.MouseMove(w->m_productList->ClientToScreen(wxPoint(row.x + 40, row.y + 4 * row.height)));
    tw::test::Pump(50);
    mouse.MouseDblClick();
    EXPECT_TRUE(tw::test::WaitFor([] { return BoxShown("No product is selected"); }, 3000));
    EXPECT_EQ(launcher.Starts().size(), 1u);
}

TEST_F(BasicWindowLocaleTest, StoredAreaIsRestoredRepairedAndShown)
{
    struct Case {
        double lat, lon, width;
        float rlat, rlon, rwidth;
    } cases[] = {
        {95, -122.3, 10, 48.0f, -122.3f, 10.0f},
        {40, -200, 0, 40.0f, -122.0f, 10.0f},
        {-33.5, 151.25, 12.5, -33.5f, 151.25f, 12.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon << " " << c.width);
        SetArea(c.lat, c.lon, c.width);
        BasicWindow* w = Reopen();
        EXPECT_FLOAT_EQ(w->m_lat, c.rlat);
        EXPECT_FLOAT_EQ(w->m_lon, c.rlon);
        EXPECT_FLOAT_EQ(w->m_width, c.rwidth);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT lat FROM batches WHERE ID=1"), c.rlat);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT lon FROM batches WHERE ID=1"), c.rlon);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT width FROM batches WHERE ID=1"), c.rwidth);
        double lat = 0, lon = 0, side = 0;
        BoxOnMap(w->m_mapPanel, lat, lon, side);
        EXPECT_NEAR(lat, c.rlat, 0.2);
        EXPECT_NEAR(lon, c.rlon, 0.2);
        EXPECT_NEAR(side, c.rwidth, 0.2);
    }
}

TEST_F(BasicWindowLocaleTest, StoredAreaOperationsKeepTheirRanges)
{
    SetArea(1, 2, 3);
    EXPECT_FALSE(tw::basic::StoreBasicArea(tw::TheShell().GetUserDb(), 47.5, -122.5, 81));
    EXPECT_DOUBLE_EQ(Real(User(), "SELECT width FROM batches WHERE ID=1"), 3);
    EXPECT_TRUE(tw::basic::StoreBasicArea(tw::TheShell().GetUserDb(), 47.5, -122.5, 80));
    double lat = 0, lon = 0;
    int width = 0;
    ASSERT_TRUE(tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 47.5);
    EXPECT_DOUBLE_EQ(lon, -122.5);
    EXPECT_EQ(width, 80);

    // The window's own store keeps the width within 1..80, as a real.
    BasicWindow* w = Open();
    struct Case {
        float width, stored;
    } cases[] = {{120.0f, 80.0f}, {0.25f, 1.0f}, {12.5f, 12.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        w->m_lat = -20.5f;
        w->m_lon = 30.25f;
        w->m_width = c.width;
        w->UpdateCoords();
        EXPECT_FLOAT_EQ(w->m_width, c.stored);
        EXPECT_DOUBLE_EQ(Real(User(), "SELECT width FROM batches WHERE ID=1"), c.stored);
        EXPECT_DOUBLE_EQ(Real(User(), "SELECT lat FROM batches WHERE ID=1"), -20.5);
        EXPECT_EQ(Texts(User(), "SELECT typeof(lon) FROM batches WHERE ID=1")[0], "real");
    }

    // Without the Basic batch's row nothing is read or written.
    User().ExecuteUpdate("DELETE FROM batches WHERE ID=1");
    EXPECT_FALSE(tw::basic::StoreBasicArea(tw::TheShell().GetUserDb(), 10, 10, 10));
    EXPECT_FALSE(tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width));
    EXPECT_EQ(width, 80);
}

TEST_F(BasicWindowLocaleTest, BoxDrawnOnTheMapIsStoredWithinTheWidthRange)
{
    BasicWindow* w = Open();
    wxMapPanel* map = w->m_mapPanel;
    struct Case {
        double zoom;
        wxPoint from, to;
        double width;   // stored
    } cases[] = {
        {wxMapPanel::kWorldMinZoom, wxPoint(10, 10), wxPoint(590, 290), 80.0},
        {7.0, wxPoint(100, 100), wxPoint(107, 107), 1.0},
        {1.0, wxPoint(100, 100), wxPoint(200, 150), -1},   // as drawn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        SetArea(1, 2, 3);
        map->m_zoom = c.zoom;
        map->m_scrollX = 1000;
        map->m_scrollY = 500;
        map_test::LeftDrag(map, c.from, c.to);
        const double width = c.width < 0 ? map->m_boxSizeDeg : c.width;
        if (c.width < 0)
            EXPECT_GT(width, 8.0);
        EXPECT_NEAR(w->m_width, width, 1e-4);
        EXPECT_NEAR(Real(User(), "SELECT width FROM batches WHERE ID=1"), width, 1e-4);
        EXPECT_DOUBLE_EQ(Real(User(), "SELECT lat FROM batches WHERE ID=1"), w->m_lat);
        EXPECT_DOUBLE_EQ(Real(User(), "SELECT lon FROM batches WHERE ID=1"), w->m_lon);
        double lat = 0, lon = 0, side = 0;
        BoxOnMap(map, lat, lon, side);
        EXPECT_NEAR(side, width, 0.2) << "the map shows the stored box";
        EXPECT_NEAR(lat, w->m_lat, 0.2);
        EXPECT_NEAR(lon, w->m_lon, 0.2);
    }
    EXPECT_TRUE(Ui().boxes.empty());
}

TEST_F(BasicWindowTest, MenuCommandsAndModeButtonsReachTheirHandlers)
{
    enum Outcome { Stays, ToLibrary, ToPortal, Closed, NewPersonality };
    struct Case {
        const char* name;
        wxEventType type;
        int id;            // wxID_NONE: the menu id of the personality Bay
        int wizardAnswer;  // -1: the wizard must not be opened
        Outcome outcome;
    } cases[] = {
        {"Library menu", wxEVT_MENU, ID_BASIC_LIBRARY_MODE, -1, ToLibrary},
        {"Library button", wxEVT_BUTTON, ID_BASIC_LIBRARY_BUTTON, -1, ToLibrary},
        {"Portal menu", wxEVT_MENU, ID_BASIC_PORTAL_MODE, -1, ToPortal},
        {"Portal button", wxEVT_BUTTON, ID_BASIC_PORTAL_BUTTON, -1, ToPortal},
        {"wizard cancelled", wxEVT_MENU, ID_BASIC_LAUNCH_WIZARD, 0, Stays},
        {"wizard finished", wxEVT_MENU, ID_BASIC_LAUNCH_WIZARD, 1, ToPortal},
        {"Quit", wxEVT_MENU, wxID_EXIT, -1, Closed},
        {"personality", wxEVT_MENU, wxID_NONE, -1, NewPersonality},
        {"unknown command", wxEVT_MENU, 4242, -1, Stays},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDescription("Harbour");
        User().ExecuteUpdate("DELETE FROM batch_items");
        app.viewMode = TidewrightApp::kModeBasic;
        app.SetBasicHomePosition(1, 2, 3);
        int wizardRuns = 0;
        tw::SetContentWizardRunner([&](wxWindow* parent, int page) {
            ++wizardRuns;
            EXPECT_EQ(parent, window.get());
            EXPECT_EQ(page, 0);
            return c.wizardAnswer == 1;
        });
        BasicWindow* w = Reopen();
        Press(0);
        w->m_lat = 10.5f;
        w->m_lon = -20.25f;
        w->m_width = 12.9f;

        Command(c.id == wxID_NONE ? MenuIdOf(w, "Bay") : c.id, c.type);
        tw::test::Pump(30);

        EXPECT_EQ(wizardRuns, c.wizardAnswer < 0 ? 0 : 1);
        const bool gone = c.outcome == ToLibrary || c.outcome == ToPortal || c.outcome == Closed;
        EXPECT_TRUE(tw::test::WaitFor([&] { return !window == gone; }, 2000));
        HomePosition saved;
        const bool hasArea = app.GetBasicHomePosition(saved);
        switch (c.outcome) {
        case ToLibrary:
            EXPECT_EQ(app.viewMode, "Batch");
            EXPECT_TRUE(app.topWindow && app.topWindow->IsKindOf(CLASSINFO(BatchWindow)));
            ASSERT_TRUE(hasArea);
            EXPECT_DOUBLE_EQ(saved.lat, 10.5);
            EXPECT_DOUBLE_EQ(saved.lon, -20.25);
            EXPECT_EQ(saved.width, 12) << "the width is cut to whole degrees";
            break;
        case ToPortal:
            EXPECT_EQ(app.viewMode, "LoadWindow");
            EXPECT_TRUE(app.topWindow && app.topWindow->IsKindOf(CLASSINFO(LoadWindow)));
            EXPECT_FALSE(hasArea) << "the Portal forgets the Basic area";
            break;
        case Closed:
            app.topWindow = nullptr;
            break;
        case Stays:
        case NewPersonality:
            EXPECT_EQ(app.viewMode, "Basic");
            EXPECT_TRUE(hasArea);
            EXPECT_EQ(saved.width, 3);
            break;
        }
        EXPECT_EQ(Description(), c.outcome == NewPersonality ? "Bay" : "Harbour");
        EXPECT_EQ(Items().size(), c.outcome == NewPersonality ? 0u : 1u);
        EXPECT_TRUE(Ui().boxes.empty());
    }
}

TEST_F(BasicWindowTest, FirstRunOpensTheWizardOnceTheWindowIsUp)
{
    for (bool first : {true, false}) {
        SCOPED_TRACE(first);
        int runs = 0;
        tw::SetContentWizardRunner([&](wxWindow*, int) {
            ++runs;
            return false;
        });
        app.firstRun = first;
        Reopen();
        EXPECT_FALSE(app.firstRun);
        EXPECT_EQ(tw::test::WaitFor([&] { return runs > 0; }, first ? 3000 : 300), first);
        tw::test::Pump(50);
        EXPECT_EQ(runs, first ? 1 : 0);
        EXPECT_TRUE(window) << "a cancelled wizard leaves the window";
    }
}

TEST_F(BasicWindowTest, EndOfTransferRebuildsAfterSuccessAndAlwaysAdoptsAReturnedArea)
{
    struct Case {
        int result;
        bool position;
    } cases[] = {{1, true}, {1, false}, {0, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "result " << c.result << ", position " << c.position);
        User().ExecuteUpdate("DELETE FROM batch_items");
        SetArea(47.25, -122.5, 15);
        wxRemoveFile(LocalCopy(basicFolder, "bmpnw01"));
        BasicWindow* w = Reopen();
        Press(0);
        Command(ID_BASIC_PAGE_BUTTON);
        // Meanwhile the product arrived and the batch gained another.
        ASSERT_TRUE(tw::test::WriteFile(LocalCopy(basicFolder, "bmpnw01"), "GRIB"));
        CBatchFolder::Instance()->AddItemToBatch(1, "bmpnw02", 1);

        TidewrightApp& a = wxGetApp();
        a.transferList.Clear();
        if (c.position) {
            a.transferList.SetDefaultPosition(-20.5, 30.25, 7);
            FileXfer::ResetHandBack(a.transferList);
        }
        wxCommandEvent done(wxEVT_TRANSFER_DONE);
        done.SetInt(c.result);
        w->OnTransferDone(done);

        if (c.result) {
            EXPECT_EQ(Rows(), std::vector<long>({0, 1})) << "the list is rebuilt from the batch";
            EXPECT_TRUE(LooksLikeDate(Cell(0, 0))) << Cell(0, 0).utf8_string();
            EXPECT_EQ(w->m_page, 1);
        } else {
            EXPECT_EQ(Rows(), std::vector<long>({0}));
            EXPECT_EQ(Cell(0, 0), "  N/A   ");
            EXPECT_EQ(w->m_page, 2);
        }
        const float lat = c.position ? -20.5f : 47.25f;
        const float width = c.position ? 7.0f : 15.0f;
        EXPECT_FLOAT_EQ(w->m_lat, lat);
        EXPECT_FLOAT_EQ(w->m_width, width);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT lat FROM batches WHERE ID=1"), lat);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT width FROM batches WHERE ID=1"), width);
        if (c.position) {
            double blat = 0, blon = 0, side = 0;
            BoxOnMap(w->m_mapPanel, blat, blon, side);
            EXPECT_NEAR(blat, -20.5, 0.2);
            EXPECT_NEAR(blon, 30.25, 0.2);
            EXPECT_NEAR(side, 7, 0.2);
        }
    }
    wxGetApp().transferList.Clear();
}

TEST_F(BasicWindowLocaleTest, PropertiesKeepTheAreaWithinItsRangesAndRezoomOnlyOnChange)
{
    struct Case {
        const char* name;
        int result;
        std::function<void(CBatch&)> edit;
        float lat, width;
        bool rezoomed;
    } cases[] = {
        {"width too large", wxID_OK, [](CBatch& b) { b.info.width = 120; }, 47.25f, 80.0f, true},
        {"width zero", wxID_OK, [](CBatch& b) { b.info.width = 0; }, 47.25f, 1.0f, true},
        {"latitude", wxID_OK, [](CBatch& b) { b.info.lat = -33.5f; }, -33.5f, 15.0f, true},
        {"unchanged", wxID_OK, [](CBatch&) {}, 47.25f, 15.0f, false},
        {"cancelled", 0, [](CBatch& b) { b.info.width = 30; }, 47.25f, 15.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetArea(47.25, -122.5, 15);
        BasicWindow* w = Reopen();
        int runs = 0;
        BasicWindow::SetBatchDialogRunner([&](CBatch* batch, bool isNew) {
            ++runs;
            EXPECT_FALSE(isNew);
            EXPECT_EQ(batch->info.ID, 1);
            EXPECT_FLOAT_EQ(batch->info.width, 15.0f);
            c.edit(*batch);
            return c.result;
        });
        w->m_mapPanel->ZoomIn();
        const double zoom = w->m_mapPanel->m_zoom;
        Command(ID_BASIC_PROPERTIES_BUTTON);
        EXPECT_EQ(runs, 1);
        EXPECT_FLOAT_EQ(w->m_lat, c.lat);
        EXPECT_FLOAT_EQ(w->m_width, c.width);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT lat FROM batches WHERE ID=1"), c.lat);
        EXPECT_FLOAT_EQ(Real(User(), "SELECT width FROM batches WHERE ID=1"), c.width);
        EXPECT_EQ(Texts(User(), "SELECT typeof(width) FROM batches WHERE ID=1")[0], "real");
        EXPECT_EQ(w->m_mapPanel->m_zoom != zoom, c.rezoomed);
    }

    // By default the application's batch dialog opens, for batch 1.
    BasicWindow::SetBatchDialogRunner({});
    library_test::ModalDriver driver;
    Command(ID_BASIC_PROPERTIES_BUTTON);
    ASSERT_EQ(driver.shown.size(), 1u);
    EXPECT_EQ(driver.shown[0].className, "NewBatch");
    EXPECT_EQ(driver.shown[0].title, "Batch Properties");
}

TEST_F(BasicWindowTest, CommandButtonsOpenTheirDialogsAndDriveTheMap)
{
    BasicWindow* w = Open();
    wxMapPanel* map = w->m_mapPanel;

    // Connection settings and the update check: modal dialogs over the window.
    struct Modal {
        int button;
        std::function<wxDialog*()> find;
    } modals[] = {
        {ID_BASIC_SETTINGS_BUTTON,
         [] { return dynamic_cast<wxDialog*>(wxWindow::FindWindowById(ConnSettings::ID_CONNSETTINGS)); }},
        {ID_BASIC_UPDATE_BUTTON,
         [] { return dynamic_cast<wxDialog*>(wxWindow::FindWindowById(UpdateStatus::ID_UPDATESTATUS)); }},
    };
    for (const Modal& m : modals) {
        SCOPED_TRACE(m.button);
        bool seen = false;
        wxTheApp->CallAfter([&] {
            wxDialog* d = m.find();
            ASSERT_NE(d, nullptr);
            seen = d->IsModal();
            d->EndModal(wxID_CANCEL);
        });
        Command(m.button);
        EXPECT_TRUE(seen);
    }

    Command(ID_BASIC_HELP_BUTTON);
    EXPECT_TRUE(BoxShown("user guide"));

    map->m_zoom = 1.0;
    Command(ID_BASIC_ZOOM_IN);
    EXPECT_DOUBLE_EQ(map->m_zoom, 1.2);
    Command(ID_BASIC_ZOOM_OUT);
    Command(ID_BASIC_ZOOM_OUT);
    EXPECT_NEAR(map->m_zoom, 1.0 / 1.2, 1e-12);

    const wxBitmap before = map->m_mapBitmap;
    Command(ID_BASIC_CHANGE_MAP_BUTTON);
    EXPECT_FALSE(map->m_mapBitmap.IsSameAs(before)) << "the other world map";
    EXPECT_DOUBLE_EQ(map->m_zoom, wxMapPanel::kWorldMinZoom);
    Command(ID_BASIC_CHANGE_MAP_BUTTON);
    EXPECT_TRUE(map->m_mapBitmap.IsSameAs(before));
}

// The transfer's update notice says to execute "Update File List": the one
// picture that runs it carries that name in its tooltip.
TEST_F(BasicWindowTest, UpdatePictureIsNamedUpdateFileList)
{
    BasicWindow* w = Open();
    std::vector<int> named;
    std::function<void(wxWindow*)> look = [&](wxWindow* parent) {
        for (wxWindow* child : parent->GetChildren()) {
            if (child->GetToolTipText().StartsWith("Update File List"))
                named.push_back(child->GetId());
            look(child);
        }
    };
    look(w);
    EXPECT_EQ(named, std::vector<int> {ID_BASIC_UPDATE_BUTTON});
}
