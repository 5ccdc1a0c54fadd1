// The Library window's frame: its size and sashes from the settings, menus,
// toolbar, columns, the catalogue tree and its mouse rules, the application's
// registrations, and a picture of it.
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "support/EnvGuard.h"

#include "LibraryFixtures.h"
#include "windows/library/ListRows.h"

using namespace library_test;

namespace {

void WriteSetting(const wxString& key, const wxString& value)
{
    CUserConfig file;
    file.WriteText(key, value);
}

// The stored text, or "(absent)".
wxString Setting(const wxString& key)
{
    CUserConfig file;
    return file.Has(key) ? file.ReadText(key) : wxString("(absent)");
}

// Where a splitter's sash ends up for a requested position: the splitter
// keeps each pane at least its minimum size.
int ClampedSash(wxSplitterWindow* splitter, int requested)
{
    const bool horizontal = splitter->GetSplitMode() == wxSPLIT_HORIZONTAL;
    const int length = horizontal ? splitter->GetClientSize().y : splitter->GetClientSize().x;
    const int most = length - splitter->GetMinimumPaneSize() - splitter->GetSashSize();
    return std::max(splitter->GetMinimumPaneSize(), std::min(requested, most));
}

} // namespace

TEST_F(LibraryTest, FrameSizeAndSashesComeFromTheSettings)
{
    const wxRect display = wxDisplay(0u).GetClientArea();
    struct Case {
        const char* name;
        const char* width;    // nullptr: key absent
        const char* height;
        const char* hsash;
        const char* vsash;
        wxSize size;          // expected frame size
        int outer, inner;     // requested sash positions
    };
    const Case cases[] = {
        {"no keys", nullptr, nullptr, nullptr, nullptr, {800, 600}, 500, 400},
        {"height only", nullptr, "700", nullptr, nullptr, {800, 700}, 500, 400},
        {"both and sashes", "900", "650", "250", "300", {900, 650}, 250, 300},
        {"non-numeric", "wide", "tall", "low", "left", {800, 600}, 500, 400},
        {"zero and negative", "0", "-20", nullptr, nullptr, {800, 600}, 500, 400},
        {"larger than the display", "99999", "88888", nullptr, nullptr, {display.width, display.height}, 500, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::TempHome caseHome;
        const std::pair<const char*, const char*> keys[] = {{"General/Width", c.width}, {"General/Height", c.height},
                                                            {"General/HSashPos", c.hsash},
                                                            {"General/VSashPos", c.vsash}};
        for (const auto& [key, value] : keys)
            if (value)
                WriteSetting(key, value);

        Open();
        EXPECT_EQ(window->GetSize(), c.size);
        EXPECT_EQ(window->m_outerSplitter->GetSashPosition(), ClampedSash(window->m_outerSplitter, c.outer));
        EXPECT_EQ(window->m_innerSplitter->GetSashPosition(), ClampedSash(window->m_innerSplitter, c.inner));
        EXPECT_EQ(window->m_outerSplitter->GetSplitMode(), wxSPLIT_HORIZONTAL);
        EXPECT_EQ(window->m_outerSplitter->GetWindow1(), window->m_innerSplitter);
        EXPECT_EQ(window->m_outerSplitter->GetWindow2(), window->m_itemsList);
        EXPECT_EQ(window->m_innerSplitter->GetWindow1(), window->m_catalogueTree);
        EXPECT_EQ(window->m_innerSplitter->GetWindow2(), window->m_batchesList);

        // Opened and closed untouched: the sashes stay as stored and the
        // size is the one it opened with.
        Close();
        EXPECT_EQ(Setting("General/HSashPos"), c.hsash ? c.hsash : "(absent)");
        EXPECT_EQ(Setting("General/VSashPos"), c.vsash ? c.vsash : "(absent)");
        EXPECT_EQ(Setting("General/Width"), wxString::Format("%i", c.size.x));
        EXPECT_EQ(Setting("General/Height"), wxString::Format("%i", c.size.y));
    }
}

// A sash moved by the user is stored, and the next window opens with it and
// with the size the last one had.
TEST_F(LibraryTest, MovedSashesAndSizeComeBack)
{
    Open(wxSize(800, 600));
    window->SetSize(wxSize(880, 640));
    Pump(50);
    for (auto [splitter, position] : {std::pair{window->m_outerSplitter, 230}, {window->m_innerSplitter, 260}}) {
        wxSplitterEvent moved(wxEVT_SPLITTER_SASH_POS_CHANGED, splitter);
        moved.SetSashPosition(position);
        splitter->GetEventHandler()->ProcessEvent(moved);
        splitter->SetSashPosition(position);
    }
    EXPECT_EQ(Setting("General/HSashPos"), wxString("230"));
    EXPECT_EQ(Setting("General/VSashPos"), wxString("260"));
    const wxSize closed = window->GetSize();
    Close();

    Open();
    EXPECT_EQ(window->GetSize(), closed);
    EXPECT_EQ(window->m_outerSplitter->GetSashPosition(), 230);
    EXPECT_EQ(window->m_innerSplitter->GetSashPosition(), 260);
}

TEST_F(LibraryTest, MenusCarryTheirIdsLabelsAndStates)
{
    Open();
    wxMenuBar* bar = window->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    const char* titles[] = {"Mode", "Program", "Edit", "Batch", "Transfer", "Help"};
    ASSERT_EQ(bar->GetMenuCount(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(bar->GetMenuLabelText(i), titles[i]);

    // Menu, then its entries in order; id 0 is a separator.
    struct Entry {
        int id;
        const char* label;
        bool enabled = true;
        bool check = false;
    };
    const std::vector<std::vector<Entry>> menus = {
        {{10024, "Switch to Basic Mode"},
         {10363, "Switch to Portal Mode"},
         {10159, "Launch Content Wizard"},
         {10323, "Reset Content Wizard Defaults"},
         {10324, "Launch Wizard Download"}},
        {{10134, "Settings..."},
         {0, ""},
         {10136, "Update File List"},
         {0, ""},
         {10139, "Archive Files in Folders by Date", true, true},
         {0, ""},
         {10140, "Exit"}},
        {{10113, "Copy", false}, {10114, "Paste", false}, {0, ""}, {10115, "Delete", false}, {0, ""}, {10116, "Find"}},
        {{10058, "New Batch"},
         {10025, "Delete"},
         {10063, "Rename"},
         {0, ""},
         {10064, "Enable/Disable"},
         {0, ""},
         {10061, "Export Batch"},
         {10062, "Import Batch"},
         {10059, "Backup Batches..."},
         {10060, "Restore Batches..."},
         {0, ""},
         {10144, "Install Sample Batches"},
         {0, ""},
         {10065, "Properties..."},
         {10066, "Global Properties..."}},
        {{10057, "Start Transfer..."}},
        {{10142, "User Guide..."}, {0, ""}, {10143, "About TALVO Tidewright..."}},
    };
    for (size_t m = 0; m < menus.size(); ++m) {
        SCOPED_TRACE(titles[m]);
        const wxMenuItemList& items = bar->GetMenu(m)->GetMenuItems();
        ASSERT_EQ(items.size(), menus[m].size());
        size_t i = 0;
        for (const wxMenuItem* item : items) {
            const Entry& e = menus[m][i++];
            if (e.id == 0) {
                EXPECT_TRUE(item->IsSeparator());
                continue;
            }
            EXPECT_EQ(item->GetId(), e.id);
            EXPECT_EQ(item->GetItemLabelText(), e.label);
            EXPECT_EQ(item->IsEnabled(), e.enabled) << e.label;
            EXPECT_EQ(item->IsCheckable(), e.check) << e.label;
            EXPECT_TRUE(item->GetHelp().empty());
            EXPECT_EQ(item->GetAccel(), nullptr) << e.label;
        }
    }

    // Exit closes the window, which takes its registrations with it.
    wxWeakRef<wxFrame> alive(window);
    wxCommandEvent exit(wxEVT_MENU, ID_BATCH_EXIT);
    window->GetEventHandler()->ProcessEvent(exit);
    EXPECT_TRUE(WaitFor([&] { return !alive; }));
    window = nullptr;
    EXPECT_EQ(app.batchesListCtrl, nullptr);
}

TEST_F(LibraryTest, ToolbarHoldsTheToolsAndTheLogo)
{
    Open();
    wxToolBar* tools = window->GetToolBar();
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->GetId(), 10026);
    struct Tool {
        int id;           // 0: separator
        const char* tip;
    };
    const Tool expected[] = {{10027, "Basic Mode"}, {10366, "Portal Mode"}, {10365, "Launch Wizard"}, {0, ""},
                             {10029, "Find"},       {10145, "Install Sample Batches"}, {0, ""},
                             {10028, "Start Transfer"}};
    ASSERT_EQ(tools->GetToolsCount(), std::size(expected) + 1);
    for (size_t i = 0; i < std::size(expected); ++i) {
        const wxToolBarToolBase* tool = tools->GetToolByPos(static_cast<int>(i));
        if (expected[i].id == 0) {
            EXPECT_TRUE(tool->IsSeparator()) << i;
            continue;
        }
        EXPECT_EQ(tool->GetId(), expected[i].id);
        EXPECT_EQ(tool->GetShortHelp(), expected[i].tip);
        EXPECT_TRUE(tool->GetLabel().empty());
        EXPECT_TRUE(tool->GetNormalBitmap().IsOk());
        EXPECT_EQ(tool->GetNormalBitmap().GetSize(), wxSize(36, 36));
        EXPECT_EQ(tool->GetDisabledBitmap().GetSize(), wxSize(36, 36));
    }
    const wxToolBarToolBase* logo = tools->GetToolByPos(static_cast<int>(std::size(expected)));
    ASSERT_TRUE(logo->IsControl());
    EXPECT_EQ(logo->GetControl(), static_cast<wxControl*>(window->m_logo));
    EXPECT_EQ(window->m_logo->GetId(), wxID_STATIC);
    EXPECT_EQ(window->m_logo->GetBitmap().GetSize(), wxSize(456, 36));

    // A known picture name loads, an unknown one gives nothing.
    EXPECT_EQ(BatchWindow::GetBitmapResource("res/tool_download_over.png").GetSize(), wxSize(36, 36));
    EXPECT_FALSE(BatchWindow::GetBitmapResource("res/tool_basic_select.png").IsOk());
    EXPECT_TRUE(BatchWindow::GetIconResource("Icons/rivol.ico").IsOk());
    EXPECT_FALSE(BatchWindow::GetIconResource("Icons/other.ico").IsOk());
}

TEST_F(LibraryTest, ListsHaveTheirColumnsImagesAndRegistrations)
{
    Open();
    struct Col {
        const char* title;
        int width;
    };
    const std::vector<Col> batches = {{"Status", 50}, {"Batch Name", 120}, {"Creation Date", 80}, {"Description", 350}};
    const std::vector<Col> items = {{"Batch", 75}, {"Product", 250}, {"Filename", 80}, {"Last Download", 80},
                                    {"Type", 80},  {"Price", 50},    {"Size", 50},     {"Description", 380}};
    for (auto [list, columns] : {std::pair{window->m_batchesList, batches}, {window->m_itemsList, items}}) {
        ASSERT_EQ(list->GetColumnCount(), static_cast<int>(columns.size()));
        for (size_t c = 0; c < columns.size(); ++c) {
            wxListItem column;
            column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH);
            list->GetColumn(static_cast<int>(c), column);
            EXPECT_EQ(column.GetText(), columns[c].title);
            EXPECT_EQ(list->GetColumnWidth(static_cast<int>(c)), columns[c].width) << columns[c].title;
        }
    }
    EXPECT_TRUE(window->m_batchesList->HasFlag(wxLC_SINGLE_SEL));
    EXPECT_FALSE(window->m_itemsList->HasFlag(wxLC_SINGLE_SEL));
    EXPECT_NE(window->m_batchesList->GetDropTarget(), nullptr);
    EXPECT_NE(window->m_itemsList->GetDropTarget(), nullptr);

    // Every picture of the image lists has the list's size.
    struct Images {
        wxImageList* list;
        int count;
        wxSize size;
    };
    for (const Images& images : {Images{window->m_catalogueTree->GetImageList(), 3, {16, 16}},
                                 Images{window->m_batchesList->GetImageList(wxIMAGE_LIST_SMALL), 2, {16, 16}},
                                 Images{window->m_itemsList->GetImageList(wxIMAGE_LIST_SMALL), 2, {32, 16}}}) {
        ASSERT_NE(images.list, nullptr);
        EXPECT_EQ(images.list->GetImageCount(), images.count);
        for (int i = 0; i < images.count; ++i)
            EXPECT_EQ(images.list->GetBitmap(i).GetSize(), images.size);
    }

    EXPECT_EQ(app.batchesListCtrl, window->m_batchesList);
    EXPECT_EQ(app.batchItemsListCtrl, window->m_itemsList);
    EXPECT_EQ(app.sortedItemsListCtrl, window->m_itemsList);
    EXPECT_EQ(app.catalogueTreeCtrl, window->m_catalogueTree);
    EXPECT_EQ(CBatchFolder::Instance()->GetDatabase(), app.GetUserDb());

    // Gone with the window: an import that appends a batch row afterwards
    // writes nowhere.
    Close();
    EXPECT_EQ(app.batchesListCtrl, nullptr);
    EXPECT_EQ(app.batchItemsListCtrl, nullptr);
    EXPECT_EQ(app.sortedItemsListCtrl, nullptr);
    EXPECT_EQ(app.catalogueTreeCtrl, nullptr);
    EXPECT_EQ(app.topWindow, nullptr);
    CBatch batch;
    batch.info.ID = 9;
    batch.info.title = "Imported";
    EXPECT_TRUE(app.AddEditBatchToBatchesListCtrl(&batch, -1));
}

// A picture that is missing or of another size still fills its slot with
// one of the list's size, so the indices of the others stay.
TEST(LibraryPictures, SizedPictureScalesOrBlanks)
{
    tw::test::TempDir dir;
    wxImage big(64, 40);
    big.SetRGB(wxRect(0, 0, 64, 40), 200, 30, 30);
    ASSERT_TRUE(big.SaveFile(dir / "big.png", wxBITMAP_TYPE_PNG));

    const wxBitmap scaled = tw::SizedPicture(dir / "big.png", 32, 16);
    EXPECT_EQ(scaled.GetSize(), wxSize(32, 16));
    EXPECT_EQ(scaled.ConvertToImage().GetRed(16, 8), 200);
    const wxBitmap missing = tw::SizedPicture(dir / "none.png", 16, 16);
    EXPECT_EQ(missing.GetSize(), wxSize(16, 16));
    EXPECT_EQ(missing.ConvertToImage().GetAlpha(8, 8), 0);

    std::unique_ptr<wxImageList> list(tw::MakeImageList(
        16, 16, {(dir / "big.png").utf8_str().data(), (dir / "none.png").utf8_str().data(), "also-missing.png"}));
    EXPECT_EQ(list->GetImageCount(), 3);
}

// A picture of the window as a user sees it, with a batch selected and a
// branch of the catalogue open (TW_SCREENSHOTS names the folder to keep it in).
TEST_F(LibraryTest, Screenshot)
{
    Open(wxSize(1000, 640));
    ASSERT_TRUE(window->SelectBatch(3));
    Pump(30);
    wxTreeItemIdValue cookie;
    const wxTreeItemId grib = window->m_catalogueTree->GetFirstChild(window->m_catalogueTree->GetRootItem(), cookie);
    window->m_catalogueTree->Expand(grib);
    wxTreeItemIdValue regionCookie;
    const wxTreeItemId atlantic = window->m_catalogueTree->GetFirstChild(grib, regionCookie);
    window->m_catalogueTree->Expand(atlantic);
    window->m_catalogueTree->ExpandAllChildren(atlantic);
    Pump(50);
    const char* folder = std::getenv("TW_SCREENSHOTS");
    const wxString path = (folder ? wxString::FromUTF8(folder) : wxFileName::GetTempDir()) + "/library_window.png";
    EXPECT_TRUE(ScreenShot(window, path));
    wxImage shot(path, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(shot.IsOk());
    EXPECT_EQ(shot.GetSize(), window->GetSize());
}

namespace {

// The tree's nodes by label path ("GRIB/Atlantic/Wind"), each node on the
// way opened as a user opens it to reach the next (a node gets its children
// when it is first opened).
wxTreeItemId Node(wxTreeCtrl* tree, const wxString& path)
{
    wxTreeItemId node = tree->GetRootItem();
    for (const wxString& label : wxSplit(path, '/')) {
        if (node != tree->GetRootItem())
            tree->Expand(node);
        wxTreeItemIdValue cookie;
        wxTreeItemId child = tree->GetFirstChild(node, cookie);
        while (child.IsOk() && tree->GetItemText(child) != label)
            child = tree->GetNextChild(node, cookie);
        if (!child.IsOk())
            return child;
        node = child;
    }
    return node;
}

// The labels of a node's children, once it is open.
std::vector<wxString> Children(wxTreeCtrl* tree, const wxTreeItemId& node)
{
    if (node.IsOk() && node != tree->GetRootItem())
        tree->Expand(node);
    std::vector<wxString> labels;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = tree->GetFirstChild(node, cookie); child.IsOk(); child = tree->GetNextChild(node, cookie))
        labels.push_back(tree->GetItemText(child));
    return labels;
}

// A point on the node's line where the tree's hit test reports `part`.
wxPoint PointOn(wxTreeCtrl* tree, const wxTreeItemId& node, int part)
{
    wxRect label;
    if (!tree->GetBoundingRect(node, label, true))
        return wxPoint(-1, -1);
    const int y = label.y + label.height / 2;
    if (part == wxTREE_HITTEST_ONITEMLABEL)
        return wxPoint(label.x + label.width / 2, y);
    if (part == wxTREE_HITTEST_ONITEMRIGHT)
        return wxPoint(label.GetRight() + 40, y);
    for (int x = label.x - 1; x >= 0; --x) {
        int flags = 0;
        if (tree->HitTest(wxPoint(x, y), flags) == node && (flags & part))
            return wxPoint(x, y);
    }
    return wxPoint(-1, -1);
}

void TreeMouse(wxTreeCtrl* tree, wxEventType type, const wxPoint& at)
{
    Pump(10);
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(tree);
    event.m_leftDown = true;
    tree->GetEventHandler()->ProcessEvent(event);
    if (type == wxEVT_LEFT_DOWN) {
        wxMouseEvent up(wxEVT_LEFT_UP);
        up.SetPosition(at);
        up.SetEventObject(tree);
        tree->GetEventHandler()->ProcessEvent(up);
    }
    Pump(10);
}

} // namespace

// The catalogue as a tree in its own order: categories, regions, chart types,
// items; "Race" only in the race edition ("race" always).
TEST_F(LibraryTest, TreeShowsTheCatalogueAndRaceOnlyInTheRaceEdition)
{
    for (const bool race : {false, true}) {
        SCOPED_TRACE(race ? "race edition" : "standard edition");
        tw::test::TempDir resources;
        tw::test::WriteFile(resources / "Tidewright.conf",
                            race ? "[Default]\nevt=2002\nevn=Regatta\n" : "[Default]\nevt=1000\nevn=\n");
        tw::test::EnvGuard env;
        env.Set("TIDEWRIGHT_RESOURCES", resources.Path());
        ASSERT_EQ(TidewrightApp::IsRace(), race);

        Open();
        wxTreeCtrl* tree = window->m_catalogueTree;
        EXPECT_TRUE(tree->HasFlag(wxTR_HIDE_ROOT));
        EXPECT_EQ(tree->GetItemText(tree->GetRootItem()), "Rooter");
        const std::vector<wxString> categories =
            race ? std::vector<wxString>{"GRIB", "Charts", "Race", "race"} : std::vector<wxString>{"GRIB", "Charts", "race"};
        EXPECT_EQ(Children(tree, tree->GetRootItem()), categories);
        EXPECT_EQ(Children(tree, Node(tree, "GRIB")), (std::vector<wxString>{"Atlantic", "Pacific"}));
        EXPECT_EQ(Children(tree, Node(tree, "GRIB/Atlantic/Wind")),
                  (std::vector<wxString>{"GFS wind", "GFS gusts", "GFS rain"}));

        // Nodes carry folders and no data; leaves the mark and their item.
        const wxTreeItemId region = Node(tree, "GRIB/Pacific");
        EXPECT_EQ(tree->GetItemImage(region), 0);
        EXPECT_EQ(tree->GetItemImage(region, wxTreeItemIcon_Selected), 1);
        EXPECT_EQ(tree->GetItemData(region), nullptr);
        const wxTreeItemId leaf = Node(tree, "Charts/Pacific/Surface/Barred chart");
        EXPECT_EQ(tree->GetItemImage(leaf), 2);
        EXPECT_EQ(tree->GetItemImage(leaf, wxTreeItemIcon_Selected), 2);
        auto* data = dynamic_cast<BatchTreeItemData*>(tree->GetItemData(leaf));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->GetItem(), &app.catalogue.Item(1).regions.Item(0).chartTypes.Item(0).files.Item(1));
        Close();
    }
}

// The tree holds the categories from the start and the rest of a branch
// once it is opened: each node with children shows its button, opening it
// adds its children once (titles and items from the catalogue), and after
// opening everything the tree holds every node of the catalogue.
TEST_F(LibraryTest, TreeFillsANodeWhenFirstOpened)
{
    Open();
    wxTreeCtrl* tree = window->m_catalogueTree;
    const wxTreeItemId root = tree->GetRootItem();
    size_t categories = 0, nodes = 0;
    for (const CProduct& p : app.catalogue) {
        if (p.name == "Race")
            continue;   // the standard edition hides it
        ++categories;
        ++nodes;
        for (const CRegion& r : p.regions) {
            ++nodes;
            for (const CChartType& c : r.chartTypes)
                nodes += 1 + c.files.GetCount();
        }
    }
    EXPECT_EQ(tree->GetCount(), categories) << "only the categories before anything is opened";
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tree->GetFirstChild(root, cookie); c.IsOk(); c = tree->GetNextChild(root, cookie)) {
        EXPECT_TRUE(tree->ItemHasChildren(c)) << tree->GetItemText(c);
        EXPECT_EQ(tree->GetChildrenCount(c, false), 0u) << tree->GetItemText(c);
    }

    const wxTreeItemId wind = Node(tree, "GRIB/Atlantic/Wind");
    ASSERT_TRUE(wind.IsOk());
    EXPECT_TRUE(tree->ItemHasChildren(wind));
    EXPECT_EQ(tree->GetChildrenCount(wind, false), 0u) << "a chart type holds no items before it is opened";
    tree->Expand(wind);
    const CFileInfoArray& files = app.catalogue.Item(0).regions.Item(0).chartTypes.Item(0).files;
    ASSERT_EQ(tree->GetChildrenCount(wind, false), files.GetCount());
    for (int round = 0; round < 2; ++round) {
        size_t k = 0;
        wxTreeItemIdValue leafCookie;
        for (wxTreeItemId leaf = tree->GetFirstChild(wind, leafCookie); leaf.IsOk();
             leaf = tree->GetNextChild(wind, leafCookie), ++k) {
            ASSERT_LT(k, files.GetCount());
            EXPECT_EQ(tree->GetItemText(leaf), files.Item(k).info.Title.AsString());
            auto* data = dynamic_cast<BatchTreeItemData*>(tree->GetItemData(leaf));
            ASSERT_NE(data, nullptr);
            EXPECT_EQ(data->GetItem(), &files.Item(k));
        }
        EXPECT_EQ(k, files.GetCount()) << "opened again, the node keeps its children once";
        tree->Collapse(wind);
        tree->Expand(wind);
    }

    tree->ExpandAll();
    EXPECT_EQ(tree->GetCount(), nodes);
}

// Type-ahead in the tree reaches nodes not yet opened: typed as a user
// types, "gf" goes from the category GRIB on to the item "GFS wind" inside
// its unopened region and chart type, which open on the way.
TEST_F(LibraryTest, TypeAheadFindsItemsInNodesNotYetOpened)
{
    Open();
    wxTreeCtrl* tree = window->m_catalogueTree;
    ASSERT_EQ(tree->GetCount(), 3u) << "only the categories before anything is opened";
    // Without a window manager the keyboard goes where the pointer is.
    window->Raise();
    wxUIActionSimulator keys;
    keys.MouseMove(window->GetScreenRect().GetBottomRight() - wxPoint(20, 20));
    tree->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == tree; }, 3000));
    keys.Char('g');
    keys.Char('f');
    ASSERT_TRUE(WaitFor([&] {
        const wxTreeItemId s = tree->GetSelection();
        return s.IsOk() && tree->GetItemText(s) == "GFS wind";
    }, 3000)) << "selected: " << (tree->GetSelection().IsOk() ? tree->GetItemText(tree->GetSelection()) : "nothing");
    auto* data = dynamic_cast<BatchTreeItemData*>(tree->GetItemData(tree->GetSelection()));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetItem()->info.FileID, "G1");
    EXPECT_TRUE(tree->IsVisible(tree->GetSelection()));
}

// Clicks on the tree through the tree's own hit test: a single click on a
// node with children works only on its button; a double click also on its
// label and icon; leaves behave normally; blank space changes nothing.
TEST_F(LibraryTest, TreeClickRules)
{
    Open();
    wxTreeCtrl* tree = window->m_catalogueTree;
    const wxTreeItemId grib = Node(tree, "GRIB");
    const wxTreeItemId charts = Node(tree, "Charts");
    tree->Expand(grib);
    Pump(30);
    const wxTreeItemId atlantic = Node(tree, "GRIB/Atlantic");

    struct Case {
        const char* name;
        wxEventType type;
        wxTreeItemId node;
        int part;             // hit-test part of the node's line
        bool selects;         // the node becomes the selection
        bool toggles;         // the node opens or closes
    };
    const Case cases[] = {
        {"press on a region's label", wxEVT_LEFT_DOWN, atlantic, wxTREE_HITTEST_ONITEMLABEL, false, false},
        {"press on a region's icon", wxEVT_LEFT_DOWN, atlantic, wxTREE_HITTEST_ONITEMICON, false, false},
        {"press right of a region's label", wxEVT_LEFT_DOWN, atlantic, wxTREE_HITTEST_ONITEMRIGHT, false, false},
        {"press on a region's button", wxEVT_LEFT_DOWN, atlantic, wxTREE_HITTEST_ONITEMBUTTON, false, true},
        {"double click on a category's label", wxEVT_LEFT_DCLICK, charts, wxTREE_HITTEST_ONITEMLABEL, true, true},
        {"double click on a category's icon", wxEVT_LEFT_DCLICK, charts, wxTREE_HITTEST_ONITEMICON, true, true},
        {"double click right of a category's label", wxEVT_LEFT_DCLICK, charts, wxTREE_HITTEST_ONITEMRIGHT, false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree->UnselectAll();
        Pump(20);
        const bool wasOpen = tree->IsExpanded(c.node);
        const wxPoint at = PointOn(tree, c.node, c.part);
        ASSERT_NE(at, wxPoint(-1, -1));
        TreeMouse(tree, c.type, at);
        EXPECT_EQ(tree->IsSelected(c.node), c.selects);
        EXPECT_EQ(tree->IsExpanded(c.node) != wasOpen, c.toggles);
    }

    // A leaf is selected by a press on its label; a press on blank space
    // below the last line keeps the selection.
    tree->Expand(atlantic);
    tree->ExpandAllChildren(atlantic);
    Pump(30);
    const wxTreeItemId wind = Node(tree, "GRIB/Atlantic/Wind/GFS gusts");
    TreeMouse(tree, wxEVT_LEFT_DOWN, PointOn(tree, wind, wxTREE_HITTEST_ONITEMLABEL));
    EXPECT_TRUE(tree->IsSelected(wind));
    const wxPoint blank(5, tree->GetClientSize().y - 3);
    int flags = 0;
    ASSERT_FALSE(tree->HitTest(blank, flags).IsOk());
    TreeMouse(tree, wxEVT_LEFT_DOWN, blank);
    TreeMouse(tree, wxEVT_LEFT_DCLICK, blank);
    EXPECT_TRUE(tree->IsSelected(wind));
}

// Opening a node shows the open folder, closing it the closed one.
TEST_F(LibraryTest, TreeFoldersFollowOpenAndClosed)
{
    Open();
    wxTreeCtrl* tree = window->m_catalogueTree;
    const wxTreeItemId grib = Node(tree, "GRIB");
    const wxTreeItemId atlantic = Node(tree, "GRIB/Atlantic");
    for (int round = 0; round < 2; ++round) {
        tree->Expand(grib);
        tree->Expand(atlantic);
        EXPECT_EQ(tree->GetItemImage(grib), 1);
        EXPECT_EQ(tree->GetItemImage(atlantic), 1);
        tree->Collapse(atlantic);
        EXPECT_EQ(tree->GetItemImage(atlantic), 0);
        EXPECT_EQ(tree->GetItemImage(grib), 1);
        tree->Collapse(grib);
        EXPECT_EQ(tree->GetItemImage(grib), 0);
    }
}

// Dragging starts from a leaf only: it names the catalogue's item as the
// dragged one; a category, region or chart-type node starts nothing.
TEST_F(LibraryTest, DragStartsOnlyFromItems)
{
    Open();
    wxTreeCtrl* tree = window->m_catalogueTree;
    tree->ExpandAll();
    auto beginDrag = [&](const wxTreeItemId& node) {
        wxTreeEvent event(wxEVT_TREE_BEGIN_DRAG, tree, node);
        tree->GetEventHandler()->ProcessEvent(event);
    };
    CFileInfo copy;
    CFileInfo* gusts = app.FindFileInfo(copy, "G2");
    beginDrag(Node(tree, "GRIB/Atlantic/Wind/GFS gusts"));
    EXPECT_EQ(app.draggedFileInfo, gusts);
    for (const char* path : {"GRIB", "GRIB/Atlantic", "GRIB/Atlantic/Wind"}) {
        beginDrag(Node(tree, path));
        EXPECT_EQ(app.draggedFileInfo, gusts) << path;
    }
}
