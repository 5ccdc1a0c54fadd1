// The Portal window under Xvfb, started as the program starts it: its
// controls as laid out, its pictures, the tree of the Wizard batch, the
// content wizard opened by its buttons and menu (a stand-in wizard), the
// first run, the engine's log frame, the batch properties, the map and mode
// commands, and a picture of the whole window.
#include <cmath>

#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "library/ModalDriver.h"
#include "windows/library/batchwindow.h"
#include "windows/map/MapPanel.h"
#include "portal/PortalFixtures.h"
#include "windows/common/PictureButton.h"
#include "windows/basic/basicwindow.h"
#include "windows/portal/loadwindow.h"
#include "windows/wizard/processwizardsettings.h"

using namespace portal_test;
using tw::portal::ButtonRow;
using tw::portal::kButtons;

namespace {

class Portal : public PortalApp
{
protected:
    void SetUp() override
    {
        PortalApp::SetUp();
        OpenDatabases();
        SetWizardBatch({{"TW-SFC1", 1}, {"TW-UPA", 0}, {"TW-WIND", 1}, {"TW-SFC2", 1}, {"TW-LOWER", 1}});
        app.CloseDatabases();
        tw::test::ResetUi();
        StartInPortal();
        portal = dynamic_cast<LoadWindow*>(app.topWindow);
        ASSERT_NE(portal, nullptr);
        ASSERT_TRUE(tw::test::WaitFor([this] { return portal->IsShownOnScreen(); }));
        tw::test::Pump(50);
    }

    // Where the map shows the home box after a recentre.
    mapgeo::CMapView HomeView() const
    {
        mapgeo::CMapView view;
        const HomePosition& h = app.homePosition;
        view.SetBox(float(std::fabs(h.lat)), float(std::fabs(h.lon)), float(app.dlPrefs.HomeLocation_ContentBox),
                    h.lon < 0, h.lat < 0, -1, 708, 510);
        return view;
    }
    bool MapOnHomeBox() const
    {
        const mapgeo::CMapView view = HomeView();
        const wxMapPanel* map = portal->m_contentMap;
        return map->m_highlightBox == view.m_highlightBox && map->m_zoom == view.m_zoom &&
               map->m_scrollX == view.m_scrollX && map->m_scrollY == view.m_scrollY;
    }

    LoadWindow* portal = nullptr;
};

} // namespace

TEST_F(Portal, ControlsAreWhereTheLayoutPutsThem)
{
    EXPECT_EQ(portal->GetId(), 10353);
    EXPECT_EQ(portal->GetTitle(), "TALVO Tidewright");
    EXPECT_FALSE(portal->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(portal->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(portal->GetClientSize(), wxSize(1000, 726)) << "nothing is cut off under the menu bar";
    EXPECT_EQ(portal->GetBackgroundColour(), wxColour(129, 129, 129));
    const wxRect client(portal->GetClientSize());

    for (const ButtonRow& row : kButtons) {
        SCOPED_TRACE(row.stem);
        auto* button = dynamic_cast<wxPictureButton*>(portal->FindWindow(row.id));
        ASSERT_NE(button, nullptr) << "our own picture button, no theme frame";
        EXPECT_EQ(button, portal->GetButton(row.id));
        EXPECT_EQ(button->GetParent(), portal);
        EXPECT_EQ(button->GetRect(), wxRect(row.x, row.y, row.width, row.height));
        EXPECT_TRUE(client.Contains(button->GetRect()));
        EXPECT_EQ(button->GetToolTipText(), row.tooltip);
        EXPECT_TRUE(button->IsEnabled());
        const wxBitmap normal = button->GetBitmap(wxPictureButton::Face_Normal);
        ASSERT_TRUE(normal.IsOk());
        EXPECT_EQ(normal.GetSize(), wxSize(row.width, row.height));
        EXPECT_TRUE(button->GetBitmap(wxPictureButton::Face_Current).IsOk());
        EXPECT_EQ(button->GetBitmap(wxPictureButton::Face_Pressed).IsOk(), row.pressedFace);
    }

    ASSERT_NE(portal->m_coordsLabel, nullptr);
    EXPECT_EQ(portal->m_coordsLabel->GetId(), wxID_STATIC);
    EXPECT_EQ(portal->m_coordsLabel->GetPosition(), wxPoint(680, 651));
    EXPECT_EQ(portal->m_coordsLabel->GetToolTipText(), "Lat/lon coordinates of your cursor on the content map");
    EXPECT_EQ(portal->m_coordsLabel->GetBackgroundColour(), *wxWHITE);

    ASSERT_NE(portal->m_mapHolder, nullptr);
    EXPECT_EQ(portal->m_mapHolder->GetId(), 10360);
    EXPECT_EQ(portal->m_mapHolder->GetRect(), wxRect(281, 102, 708, 510));
    wxMapPanel* map = portal->m_contentMap;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetParent(), portal->m_mapHolder);
    EXPECT_EQ(map->GetName(), "Map Window");
    EXPECT_EQ(map->GetMode(), wxMapPanel::kHomeChooser);
    EXPECT_EQ(map->GetClientSize(), wxSize(708, 510));
    EXPECT_EQ(map->m_statusLabel, portal->m_coordsLabel);
    EXPECT_EQ(map->m_maxZoom, 7.0);
    EXPECT_EQ(map->m_minZoom, 0.146484375);
    EXPECT_TRUE(MapOnHomeBox()) << "the map opens on the home box";
    {
        // The Portal handles its map's box: it becomes the manual home
        // (the content box within what the home page takes), stored, and the
        // map shows the new home box.
        MapBoxEvent box(wxEVT_MAP_BOX, map->GetId(), -33.9, 18.4, 200.0);
        map->GetEventHandler()->ProcessEvent(box);
        EXPECT_EQ(app.dlPrefs.HomeLocation_Source, 2);
        EXPECT_EQ(app.dlPrefs.HomeLocation_ContentBox, 180);
        EXPECT_NEAR(app.homePosition.lat, -33.9, 1e-9) << "read back from the settings file";
        EXPECT_NEAR(app.homePosition.lon, 18.4, 1e-9);
        EXPECT_TRUE(MapOnHomeBox()) << "on the new home box";
    }

    wxCheckTreeCtrl* tree = portal->m_checkTree;
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetId(), 10252);
    EXPECT_EQ(tree->GetName(), "treeCtrl");
    EXPECT_EQ(tree->GetRect(), wxRect(11, 102, 258, 401));
    EXPECT_TRUE(tree->HasFlag(wxTR_HIDE_ROOT));

    // The Mode menu.
    wxMenuBar* bar = portal->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), 1u);
    EXPECT_EQ(bar->GetMenuLabelText(0), "Mode");
    wxMenu* menu = bar->GetMenu(0);
    ASSERT_EQ(menu->GetMenuItemCount(), 3u);
    const std::pair<int, const char*> items[] = {
        {6029, "Launch Wizard"}, {10002, "Switch to Library Mode"}, {ID_LOAD_BASIC_MODE_MENU, "Switch to Basic Mode"}};
    for (size_t i = 0; i < 3; ++i) {
        const wxMenuItem* item = menu->FindItemByPosition(i);
        EXPECT_EQ(item->GetId(), items[i].first);
        EXPECT_EQ(item->GetItemLabelText(), items[i].second);
    }
}

TEST_F(Portal, PicturesAreLookedUpByTheirExactNames)
{
    const std::vector<std::string>& faces = tw::portal::AllFaceFiles();
    ASSERT_EQ(faces.size(), 77u);
    for (const ButtonRow& row : kButtons)
        for (const std::string& face : tw::portal::FaceFiles(row)) {
            const wxBitmap bitmap = portal->GetBitmapResource(face);
            ASSERT_TRUE(bitmap.IsOk()) << face;
            EXPECT_EQ(bitmap.GetSize(), wxSize(row.width, row.height)) << face;
        }
    for (const char* other : {"res/tool_help.png", "res/tool_Help", "RES/tool_Help.png", "res/tool_Help_Over.png",
                              "Icons/talvologo.png", "res/LandingPageBackground.bmp", ""})
        EXPECT_FALSE(portal->GetBitmapResource(other).IsOk()) << other;
    EXPECT_TRUE(portal->GetIconResource("Icons/rivol.ico").IsOk());
    EXPECT_FALSE(portal->GetIconResource("Icons/talvologo.png").IsOk());
}

TEST_F(Portal, TreeShowsTheWizardBatchAsStored)
{
    const std::vector<std::string> expected = {
        "Weather Charts <_cat:Weather Charts>",
        "  Surface <type:Surface>",
        "    [x] about Surface one:TW-SFC1 <TW-SFC1>",
        "    [x] about Surface two:TW-SFC2 <TW-SFC2>",
        "  Upper Air <type:Upper Air>",
        "    [ ] about Upper air:TW-UPA <TW-UPA>",
        "GRIB <_cat:GRIB>",
        "  Wind <type:Wind>",
        "    [x] about Wind:TW-WIND <TW-WIND>",
        "grib <_cat:grib>",
        "  Wind <type:Wind>",
        "    [x] about Lower wind:TW-LOWER <TW-LOWER>",
    };
    EXPECT_EQ(Describe(*portal->m_checkTree), expected);
    EXPECT_EQ(portal->m_checkTree->GetItemText(portal->m_checkTree->GetRootItem()), "Rooter");
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = portal->m_checkTree->GetFirstChild(portal->m_checkTree->GetRootItem(), cookie); c.IsOk();
         c = portal->m_checkTree->GetNextChild(portal->m_checkTree->GetRootItem(), cookie))
        EXPECT_TRUE(portal->m_checkTree->IsExpanded(c));
    EXPECT_TRUE(tw::test::Ui().boxes.empty());

    // Items the catalogue does not offer outside "Basic Mode": one notice
    // naming them all, per refresh; an item gone from the catalogue entirely
    // is dropped by the store. An empty batch gives an empty tree.
    SetWizardBatch({{"TW-BASIC", 1}, {"TW-IR", 0}, {"TW-GONE", 1}, {"TW-BASIC2", 1}});
    portal->RefreshList(false);
    EXPECT_EQ(Describe(*portal->m_checkTree),
              (std::vector<std::string> {"Satellite <_cat:Satellite>", "  Infrared <type:Infrared>",
                                         "    [ ] about Infrared:TW-IR <TW-IR>"}));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].message, "No FileInfo for TW-BASIC, TW-BASIC2");
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Message");
    EXPECT_EQ(tw::test::Ui().boxes[0].parent, portal);

    SetWizardBatch({});
    portal->RefreshList(false);
    EXPECT_TRUE(Describe(*portal->m_checkTree).empty());
    EXPECT_EQ(tw::test::Ui().boxes.size(), 1u);

    // A batch that cannot be read: said, and an empty tree.
    app.GetUserDb()->ExecuteUpdate("ALTER TABLE batch_items RENAME TO batch_items_gone");
    portal->RefreshList(false);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(tw::test::Ui().boxes[1].caption, "Error");
    EXPECT_TRUE(Describe(*portal->m_checkTree).empty());
    app.GetUserDb()->ExecuteUpdate("ALTER TABLE batch_items_gone RENAME TO batch_items");
}

TEST_F(Portal, ButtonsOpenTheWizardAtTheirPage)
{
    const std::pair<int, int> pages[] = {
        {10358, 7}, {10359, 3}, {10355, 1}, {10354, 2}, {10361, 3}, {10362, 4}, {10367, 4}, {10385, 5},
        {10416, 6}, {10417, 6}, {10418, 7}, {10421, 3}, {10423, 6}, {10422, 8}, {10424, 10}, {10426, 11},
        {10427, 9}, {10356, 0}, {6029, 0},
    };
    const std::vector<std::string> tree = Describe(*portal->m_checkTree);
    for (const auto& [id, page] : pages) {
        SCOPED_TRACE(id);
        wizardCalls.clear();
        wizardParents.clear();
        portal->m_contentMap->ZoomIn();
        Click(portal, id, id == 6029 ? wxEVT_MENU : wxEVT_BUTTON);
        ASSERT_EQ(wizardCalls, std::vector<int> {page});
        EXPECT_EQ(wizardParents[0], portal);
        // Cancelled: the suggestions stay; a content button recentres the
        // map, Launch Wizard (button or menu) leaves it.
        EXPECT_EQ(Describe(*portal->m_checkTree), tree);
        EXPECT_EQ(portal->GetSuggestionLog(), nullptr) << "the engine did not run";
        EXPECT_EQ(MapOnHomeBox(), page != 0);
        portal->RecenterReload();
    }
    EXPECT_EQ(app.topWindow, portal);
}

// A finished wizard runs the engine once on the new preferences and the tree
// shows what it stored: here every content flag is off, so the suggestions
// are emptied (the engine keeps nothing it did not find). From a content
// button the map is recentred as well; the menu item does what the button
// does and keeps this window.
TEST_F(Portal, FinishingTheWizardRecomputesAndRebuilds)
{
    const struct {
        int id;
        wxEventType type;
    } ways[] = {{10356, wxEVT_BUTTON}, {6029, wxEVT_MENU}, {10427, wxEVT_BUTTON}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.id);
        SetWizardBatch({{"TW-SFC1", 1}, {"TW-IR", 0}});
        portal->RefreshList(false);
        ASSERT_EQ(Describe(*portal->m_checkTree).size(), 6u);
        wizardCalls.clear();
        onWizard = [this](int) {
            // What a finished wizard leaves: new preferences and home.
            app.dlPrefs.SetDefaults();
            app.dlPrefs.HomeLocation_ContentBox = 10;
            app.homePosition.lat = -33.9;
            app.homePosition.lon = 18.4;
            return true;
        };
        portal->m_contentMap->ZoomIn();
        Click(portal, way.id, way.type);
        onWizard = nullptr;
        EXPECT_EQ(wizardCalls.size(), 1u);
        ProcessWizardSettings* log = portal->GetSuggestionLog();
        ASSERT_NE(log, nullptr) << "the engine ran";
        size_t runs = 0;
        for (size_t at = log->m_logText->GetValue().find("Home Location: -33.90:18.40"); at != wxString::npos;
             at = log->m_logText->GetValue().find("Home Location:", at + 1))
            ++runs;
        EXPECT_EQ(runs, 1u) << log->m_logText->GetValue();
        EXPECT_EQ(StoredStatus("TW-SFC1"), -1) << "batch 2 was recomputed";
        EXPECT_TRUE(Describe(*portal->m_checkTree).empty()) << "and the tree rebuilt from it";
        EXPECT_TRUE(MapOnHomeBox()) << "on the new home box";
        EXPECT_EQ(app.topWindow, portal);
    }
}

TEST_F(Portal, EngineLogFrameIsOneAndShownOnlyWithControlHeld)
{
    Click(portal, tw::portal::kRefreshListButton);
    ProcessWizardSettings* log = portal->GetSuggestionLog();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->GetParent(), portal);
    EXPECT_EQ(log->GetId(), 10311);
    EXPECT_EQ(log->GetTitle(), "ProcessWizardSettings");
    EXPECT_FALSE(log->IsShown());
    const wxString first = log->m_logText->GetValue();
    EXPECT_TRUE(first.Contains("Home Location:")) << first;

    // Again: the same frame, with this run's log only.
    Click(portal, tw::portal::kRefreshListButton);
    EXPECT_EQ(portal->GetSuggestionLog(), log);
    EXPECT_EQ(log->m_logText->GetValue(), first);
    int frames = 0;
    for (wxWindow* w : wxTopLevelWindows)
        frames += dynamic_cast<ProcessWizardSettings*>(w) != nullptr;
    EXPECT_EQ(frames, 1);

    // Control held while Refresh List is pressed: shown. Its close box hides
    // it for the next run.
    wxUIActionSimulator keys;
    keys.KeyDown(WXK_CONTROL);
    ASSERT_TRUE(tw::test::WaitFor([] { return wxGetKeyState(WXK_CONTROL); }, 2000));
    Click(portal, tw::portal::kRefreshListButton);
    keys.KeyUp(WXK_CONTROL);
    ASSERT_TRUE(tw::test::WaitFor([] { return !wxGetKeyState(WXK_CONTROL); }, 2000));
    EXPECT_TRUE(log->IsShown());
    // (Checked before the loop runs again: the toolkit may still report a
    // late mapping of the frame as a new showing.)
    EXPECT_FALSE(log->Close()) << "the close is refused: the frame is only hidden";
    EXPECT_FALSE(log->IsShown());
    Click(portal, tw::portal::kRefreshListButton);
    EXPECT_EQ(portal->GetSuggestionLog(), log);
    EXPECT_FALSE(log->IsShown());
}

TEST_F(Portal, FirstRunOpensTheWizardOnceAndNeverInASecondPortal)
{
    startup_test::ResetApp();
    tw::test::TempHome fresh;   // no settings: a first run
    ASSERT_TRUE(app.Startup());
    auto* first = dynamic_cast<LoadWindow*>(app.topWindow);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(app.firstRun);
    EXPECT_TRUE(wizardCalls.empty()) << "queued, not run inside the construction";
    ASSERT_TRUE(tw::test::WaitFor([this] { return !wizardCalls.empty(); }, 3000));
    tw::test::Pump(100);
    EXPECT_EQ(wizardCalls, std::vector<int> {0});
    EXPECT_EQ(wizardParents[0], first);

    app.ChangeWindowMode("Basic");
    tw::test::Pump(50);
    EXPECT_NE(dynamic_cast<BasicWindow*>(app.topWindow), nullptr);
    app.ChangeWindowMode("LoadWindow");
    ASSERT_NE(dynamic_cast<LoadWindow*>(app.topWindow), nullptr);
    tw::test::Pump(150);
    EXPECT_EQ(wizardCalls.size(), 1u) << "a second Portal opens no wizard";
}

TEST_F(Portal, PropertiesOfTheWizardBatch)
{
    const wxString folder0 = app.GetTransferFolder();
    CBatch before = CBatchFolder::Instance()->GetBatchByIndex(2);
    const wxString moved = home.Documents() + "/Elsewhere";
    struct Case {
        const char* name;
        int result;
        bool moveFolder;
    };
    const Case cases[] = {{"cancelled", 0, true}, {"same folder", wxID_OK, false}, {"new folder", wxID_OK, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> seen;
        auto previous = LoadWindow::SetPropertiesDialogRunner([&](CBatch* batch, bool isNew) {
            seen.push_back(batch->info.ID);
            EXPECT_FALSE(isNew);
            batch->info.description = wxString("changed: ") + c.name;
            if (c.moveFolder)
                batch->info.folder = moved;
            return c.result;
        });
        Click(portal, tw::portal::kDataManageButton);
        LoadWindow::SetPropertiesDialogRunner(previous);
        EXPECT_EQ(seen, std::vector<int> {2});
        const CBatch after = CBatchFolder::Instance()->GetBatchByIndex(2);
        if (c.result != wxID_OK) {
            EXPECT_EQ(after.info.description, before.info.description);
            EXPECT_EQ(after.info.folder, before.info.folder);
        } else {
            EXPECT_EQ(after.info.description, wxString("changed: ") + c.name);
        }
        if (c.result == wxID_OK && c.moveFolder) {
            EXPECT_EQ(after.info.folder, moved);
            EXPECT_EQ(app.GetTransferFolder(), moved);
            EXPECT_EQ(CBatchFolder::Instance()->GetBatchByIndex(1).info.folder, moved + "/Basic Batch");
        } else {
            EXPECT_EQ(app.GetTransferFolder(), folder0) << "the global folder stays";
        }
    }
    // By default the application's batch dialog opens, for batch 2;
    // cancelled, it stores nothing.
    {
        library_test::ModalDriver driver;
        Click(portal, tw::portal::kDataManageButton);
        ASSERT_EQ(driver.shown.size(), 1u);
        EXPECT_EQ(driver.shown[0].className, "NewBatch");
        EXPECT_EQ(driver.shown[0].title, "Data Management");
    }
    EXPECT_EQ(CBatchFolder::Instance()->GetBatchByIndex(2).info.description, wxString("changed: new folder"));

    // A store that cannot be read: told, nothing asked.
    tw::test::ResetUi();
    bool asked = false;
    auto previous = LoadWindow::SetPropertiesDialogRunner([&](CBatch*, bool) {
        asked = true;
        return int(wxID_OK);
    });
    app.GetUserDb()->ExecuteUpdate("ALTER TABLE batches RENAME TO batches_gone");
    Click(portal, tw::portal::kDataManageButton);
    app.GetUserDb()->ExecuteUpdate("ALTER TABLE batches_gone RENAME TO batches");
    LoadWindow::SetPropertiesDialogRunner(previous);
    EXPECT_FALSE(asked);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Error");
}

TEST_F(Portal, MapAndModeCommands)
{
    wxMapPanel* map = portal->m_contentMap;
    const double start = map->m_zoom;
    Click(portal, tw::portal::kZoomInButton);
    EXPECT_DOUBLE_EQ(map->m_zoom, std::min(start * 1.2, 7.0));
    Click(portal, tw::portal::kZoomOutButton);
    EXPECT_NEAR(map->m_zoom, start, 1e-9);
    const double offset = map->m_lonOffset;
    Click(portal, tw::portal::kChangeMapButton);
    EXPECT_NE(map->m_lonOffset, offset) << "the other world map";
    EXPECT_NEAR(map->m_zoom, 0.2, 1e-9);
    Click(portal, tw::portal::kRecenterReloadButton);
    EXPECT_EQ(map->m_lonOffset, offset);
    EXPECT_TRUE(MapOnHomeBox());

    Click(portal, tw::portal::kHelpButton);
    EXPECT_TRUE(tw::test::BoxShown("The user guide is not installed."));

    const struct {
        int id;
        wxEventType type;
        const char* mode;
        wxClassInfo* window;
    } switches[] = {
        {tw::portal::kBasicModeButton, wxEVT_BUTTON, "Basic", CLASSINFO(BasicWindow)},
        {tw::portal::kLibraryModeButton, wxEVT_BUTTON, "Batch", CLASSINFO(BatchWindow)},
        {ID_LOAD_BASIC_MODE_MENU, wxEVT_MENU, "Basic", CLASSINFO(BasicWindow)},
        {ID_LOAD_LIBRARY_MODE_MENU, wxEVT_MENU, "Batch", CLASSINFO(BatchWindow)},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(s.id);
        app.ChangeWindowMode("LoadWindow");
        auto* window = dynamic_cast<LoadWindow*>(app.topWindow);
        ASSERT_NE(window, nullptr);
        wxWeakRef<LoadWindow> ref(window);
        Click(window, s.id, s.type);
        EXPECT_EQ(app.viewMode, s.mode);
        EXPECT_TRUE(app.topWindow->IsKindOf(s.window));
        ASSERT_TRUE(tw::test::WaitFor([&] { return !ref; }, 2000)) << "the Portal is gone";
    }
}

// A picture of the Portal with a filled tree, for looking at: the background
// fills the client area, the buttons show their faces without frames, the
// bottom row and the zoom buttons are whole.
TEST_F(Portal, Screenshot)
{
    SetWizardBatch({{"TW-SFC1", 1}, {"TW-UPA", 0}, {"TW-WIND", 1}, {"TW-WAVE", 0}, {"TW-SFC2", 1}, {"TW-IR", 1},
                    {"TW-LOWER", 1}});
    portal->RefreshList(false);
    // The pointer over the map: its position in the label between the map buttons.
    Mouse(portal->m_contentMap, wxEVT_MOTION, wxPoint(354, 255));
    EXPECT_FALSE(portal->m_coordsLabel->GetLabel().empty());
    const wxRect label = portal->m_coordsLabel->GetRect();
    EXPECT_TRUE(wxRect(677, 647, 143, 26).Contains(label)) << "inside its field of the background";
    portal->Raise();
    tw::test::Pump(200);
    EXPECT_TRUE(tw::test::Screenshot(portal, wxFileName::GetTempDir() + "/tw-portal.png"));
}

// The transfer's update notice says to execute "Update File List": the one
// picture that runs it carries that name in its tooltip.
TEST_F(Portal, UpdatePictureIsNamedUpdateFileList)
{
    std::vector<int> named;
    for (wxWindow* child : portal->GetChildren())
        if (child->GetToolTipText().StartsWith("Update File List"))
            named.push_back(child->GetId());
    EXPECT_EQ(named, std::vector<int> {tw::portal::kUpdateFileListButton});
}
