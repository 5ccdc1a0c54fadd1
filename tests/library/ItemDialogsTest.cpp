// The item properties dialog (from the items list's Properties command) and
// the product search dialog: its choices, the statement it runs on the
// products table, the rows it lists, its messages, and a drag from its
// results.
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "LibraryFixtures.h"
#include "ModalDriver.h"
#include "windows/library/batchitemsproperties.h"
#include "windows/library/FindQuery.h"
#include "windows/library/LibraryRules.h"
#include "windows/library/find.h"

using namespace library_test;
using tw::test::BoxShown;
using tw::test::Ui;

namespace {

class ItemDialogsTest : public LibraryTest
{
public:
    void SetUp() override
    {
        LibraryTest::SetUp();
        OpenProducts();
    }
    void TearDown() override
    {
        if (find)
            find->Destroy();
        Pump(10);
        app.productDb.reset();
        LibraryTest::TearDown();
    }

    // A products table with the catalogue's items (by Category, Region and
    // ChartType of the standard leaves) and one the catalogue does not hold.
    void OpenProducts()
    {
        auto* db = new wxSQLite3Database;
        db->Open(dir / "zir.db");
        db->ExecuteUpdate("CREATE TABLE products (FileID TEXT, Title TEXT, Category TEXT, Region TEXT, "
                          "ChartType TEXT, Description TEXT)");
        for (const Leaf& leaf : StandardLeaves())
            AddProduct(*db, leaf.item.info.FileID, leaf.item.info.Title, leaf.category, leaf.region, leaf.chartType,
                       leaf.item.info.Description);
        AddProduct(*db, "GHOST", "Ghost wind", "GRIB", "Atlantic", "Wind", "About a wind gone from the catalogue");
        app.productDb.reset(db);
    }
    static void AddProduct(wxSQLite3Database& db, const wxString& id, const wxString& title, const wxString& category,
                           const wxString& region, const wxString& type, const wxString& description)
    {
        wxSQLite3Statement insert = db.PrepareStatement("INSERT INTO products VALUES (?,?,?,?,?,?)");
        const wxString values[] = {id, title, category, region, type, description};
        for (int i = 0; i < 6; ++i)
            insert.Bind(i + 1, values[i]);
        insert.ExecuteUpdate();
    }

    Find* NewFind()
    {
        find = new Find(nullptr);
        find->Show();
        EXPECT_TRUE(WaitFor([this] { return find->IsShownOnScreen(); }));
        return find;
    }
    void Search(const wxString& words, const wxString& category, const wxString& region, const wxString& type)
    {
        find->m_whatCtrl->ChangeValue(words);
        find->m_categoryChoice->SetStringSelection(category);
        find->m_regionChoice->SetStringSelection(region);
        find->m_typeChoice->SetStringSelection(type);
        tw::test::ResetUi();
        Press(find, ID_FIND_NOW);
    }
    std::vector<wxString> ResultIds() const
    {
        std::vector<wxString> ids;
        for (long row = 0; row < find->m_results->GetItemCount(); ++row)
            ids.push_back(find->ResultItem(row)->info.FileID);
        return ids;
    }
    static std::vector<wxString> Entries(wxChoice* choice)
    {
        std::vector<wxString> entries;
        for (unsigned i = 0; i < choice->GetCount(); ++i)
            entries.push_back(choice->GetString(i));
        return entries;
    }

    Find* find = nullptr;
};

} // namespace

// The catalogue's values of the current item, without "$" and "Kb"; Done
// ends it; an item the catalogue no longer holds gives the message.
TEST_F(ItemDialogsTest, ItemPropertiesShowTheCatalogueValues)
{
    Open();
    ASSERT_TRUE(window->SelectBatch(3));
    Pump(20);
    const long row = RowOfItem("G1");
    ASSERT_GE(row, 0);
    ClickRow(window->m_itemsList, row, 2);
    ASSERT_NE(window->m_currentItem, nullptr);

    ModalDriver driver;
    std::vector<wxString> shown;
    bool readOnly = true;
    driver.On("BatchItemsProperties", [&](wxDialog* d) {
        for (int id = ID_ITEMPROPS_FILE; id <= ID_ITEMPROPS_SOURCE; ++id) {
            auto* field = dynamic_cast<wxTextCtrl*>(d->FindWindow(id));
            shown.push_back(field ? field->GetValue() : wxString("(none)"));
            readOnly = readOnly && field && !field->IsEditable();
        }
        Press(d, ID_ITEMPROPS_DONE);
    });
    wxCommandEvent properties(wxEVT_MENU, ID_ITEMS_CTX_PROPERTIES);
    window->GetEventHandler()->ProcessEvent(properties);
    ASSERT_EQ(driver.shown.size(), 1u);
    EXPECT_EQ(driver.shown[0].title, "Weather File Properties");
    EXPECT_EQ(driver.shown[0].id, ID_BATCHITEMSPROPERTIES);
    EXPECT_EQ(shown, std::vector<wxString>({"/srv/G1.grb", "About GFS wind", "GFS wind", "bz2", "1.50", "120", "GRIB",
                                            "NOAA"}));
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(Ui().boxes.empty());

    // The catalogue changes under the list: the item is gone.
    std::vector<Leaf> leaves = StandardLeaves();
    leaves.erase(leaves.begin());
    CFileInfo kept = *window->m_currentItem;
    window->m_currentItem = &kept;
    BuildCatalogue(leaves);
    window->GetEventHandler()->ProcessEvent(properties);
    EXPECT_EQ(driver.shown.size(), 1u);
    EXPECT_TRUE(BoxShown("Cannot find in product list: G1"));
    EXPECT_EQ(Ui().boxes.back().caption, "Error");
    window->m_currentItem = nullptr;
}

TEST_F(ItemDialogsTest, ItemPropertiesScreenshot)
{
    BatchItemsProperties dialog(nullptr);
    CFileInfo item = StandardLeaves()[0].item;
    item.info.Description = "Global GFS model, 10 m wind speed and direction, 1 day forecast";
    dialog.SetItem(item);
    dialog.Show();
    ASSERT_TRUE(WaitFor([&] { return dialog.IsShownOnScreen(); }));
    Pump(150);
    for (wxWindow* child : dialog.GetChildren()) {
        EXPECT_TRUE(wxRect(wxPoint(0, 0), dialog.GetClientSize()).Contains(child->GetRect())) << child->GetId();
        EXPECT_GE(child->GetSize().x, child->GetBestSize().x) << child->GetLabel();
    }
    const char* folder = std::getenv("TW_SCREENSHOTS");
    const wxString path = (folder ? wxString::FromUTF8(folder) : wxFileName::GetTempDir()) + "/item_dialog.png";
    EXPECT_TRUE(tw::test::Screenshot(&dialog, path));
}

// The choices: every distinct name of the whole catalogue, "--ALL--" in its
// sorted place, entry 0 chosen.
TEST_F(ItemDialogsTest, FindChoicesHoldEveryNameOnce)
{
    std::vector<Leaf> leaves = StandardLeaves();
    leaves.push_back({"Charts", "Atlantic", "Wind", Item("W2", "Atlantic wind chart", "Chart")});
    leaves.push_back({"!Notes", " Bay", "Wind", Item("N1", "Notes", "Text")});
    BuildCatalogue(leaves);
    NewFind();
    EXPECT_EQ(find->GetTitle(), "Find");
    EXPECT_EQ(Entries(find->m_categoryChoice),
              std::vector<wxString>({"!Notes", "--ALL--", "Charts", "GRIB", "Race", "race"}));
    EXPECT_EQ(Entries(find->m_regionChoice),
              std::vector<wxString>({" Bay", "--ALL--", "Atlantic", "Course", "Notes", "Pacific"}));
    EXPECT_EQ(Entries(find->m_typeChoice),
              std::vector<wxString>({"--ALL--", "Marks", "Notices", "Surface", "Waves", "Wind"}));
    for (wxChoice* choice : {find->m_categoryChoice, find->m_regionChoice, find->m_typeChoice})
        EXPECT_EQ(choice->GetSelection(), 0);
    EXPECT_FALSE(find->FindWindow(ID_FIND_STOP)->IsEnabled());
}

// Searches by table: hits by Title descending, unknown ids skipped, and the
// two messages.
TEST_F(ItemDialogsTest, FindListsTheHitsTheCatalogueHolds)
{
    NewFind();
    const wxString all = tw::kSearchAll;
    wxString thousandWords;
    for (int i = 0; i < 1000; ++i)
        thousandWords << "wind ";
    struct Case {
        const char* name;
        wxString words, category, region, type;
        std::vector<wxString> ids;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"one word, any case", "GFS", all, all, all, {"G1", "G3", "G2"}, nullptr},
        {"two words are alternatives", "rain waves", all, all, all, {"G4", "G3"}, nullptr},
        {"a word and a region", "about", "GRIB", "Pacific", all, {"G4"}, nullptr},
        {"a chosen type only", "  ", all, all, "Surface", {"W1"}, nullptr},
        {"only an unknown id matches", "gone", all, all, all, {}, "Search returned no results"},
        {"nothing matches", "hurricane", all, all, all, {}, "Search returned no results"},
        {"an apostrophe", "skipper's", all, all, all, {}, "Search returned no results"},
        {"nothing to search by", " \t", all, all, all, {}, "No search values entered"},
        {"a thousand words", thousandWords, all, all, all, {}, "The search text is too long: use at most "},
        {"one word of 49,999 bytes", wxString('w', 49999), all, all, all, {}, "The search text is too long: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Search(c.words, c.category, c.region, c.type);
        EXPECT_EQ(ResultIds(), c.ids);
        if (c.message) {
            EXPECT_TRUE(BoxShown(c.message));
            EXPECT_EQ(Ui().boxes.back().caption, "Message");
        } else {
            EXPECT_TRUE(Ui().boxes.empty());
        }
    }

    // A row carries the catalogue's own item and shows the product's columns.
    Search("wind", "GRIB", all, all);
    ASSERT_EQ(ResultIds(), std::vector<wxString>({"G1"}));
    CFileInfo copy;
    EXPECT_EQ(find->ResultItem(0), app.FindFileInfo(copy, "G1"));
    const std::vector<wxString> row = {find->m_results->GetItemText(0, 0), find->m_results->GetItemText(0, 1),
                                       find->m_results->GetItemText(0, 2), find->m_results->GetItemText(0, 3),
                                       find->m_results->GetItemText(0, 4)};
    EXPECT_EQ(row, std::vector<wxString>({"GFS wind", "GRIB", "Atlantic", "Wind", "About GFS wind"}));

    // New Search keeps the words and resets the choices; searching again
    // goes by the words alone.
    Press(find, ID_FIND_NEW_SEARCH);
    EXPECT_EQ(find->m_results->GetItemCount(), 0);
    EXPECT_EQ(find->m_whatCtrl->GetValue(), "wind");
    EXPECT_EQ(find->m_categoryChoice->GetSelection(), 0);
    Press(find, ID_FIND_NOW);
    EXPECT_EQ(ResultIds(), std::vector<wxString>({"G1"}));
}

// A broken products table is reported, and the dialog stays usable.
TEST_F(ItemDialogsTest, FindReportsADatabaseError)
{
    NewFind();
    app.productDb->ExecuteUpdate("DROP TABLE products");
    Search("wind", tw::kSearchAll, tw::kSearchAll, tw::kSearchAll);
    EXPECT_TRUE(BoxShown("The search could not be run: "));
    EXPECT_EQ(find->m_results->GetItemCount(), 0);
    OpenProducts();
    Search("wind", tw::kSearchAll, tw::kSearchAll, tw::kSearchAll);
    EXPECT_EQ(ResultIds(), std::vector<wxString>({"G1"}));
}

// A drag starts on the row under the pointer with that row's item.
TEST_F(ItemDialogsTest, FindDragsTheRowsItem)
{
    NewFind();
    Search("GFS", tw::kSearchAll, tw::kSearchAll, tw::kSearchAll);
    ASSERT_EQ(find->m_results->GetItemCount(), 3);
    find->m_results->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxListEvent drag(wxEVT_LIST_BEGIN_DRAG, ID_FIND_RESULTS);
    drag.SetEventObject(find->m_results);
    drag.m_itemIndex = 2;
    find->m_results->GetEventHandler()->ProcessEvent(drag);
    ASSERT_NE(app.draggedFileInfo, nullptr);
    EXPECT_EQ(app.draggedFileInfo->info.FileID, "G2");
    EXPECT_EQ(app.draggedFileInfo, find->ResultItem(2));

    // The batches list takes what the drag carries.
    Open();
    EXPECT_TRUE(window->DropOnBatchesList(RowPoint(window->m_batchesList, RowOfBatch(5), 1),
                                          tw::CatalogueDragText(app.draggedFileInfo->info.FileID)));
    EXPECT_EQ(ItemRows(5, "G2"), 1);
}

TEST_F(ItemDialogsTest, FindScreenshotAndDone)
{
    NewFind();
    Search("GFS WW3", tw::kSearchAll, tw::kSearchAll, tw::kSearchAll);
    Pump(150);
    const wxRect client(wxPoint(0, 0), find->GetClientSize());
    for (wxWindow* child : find->GetChildren()) {
        EXPECT_TRUE(client.Contains(child->GetRect())) << child->GetId();
        if (!dynamic_cast<wxListCtrl*>(child)) {
            EXPECT_GE(child->GetSize().x, child->GetBestSize().x) << child->GetId();
        }
    }
    const char* folder = std::getenv("TW_SCREENSHOTS");
    const wxString path = (folder ? wxString::FromUTF8(folder) : wxFileName::GetTempDir()) + "/find_dialog.png";
    EXPECT_TRUE(tw::test::Screenshot(find, path));

    wxWeakRef<Find> ref(find);
    Press(find, ID_FIND_DONE);
    find = nullptr;
    EXPECT_TRUE(WaitFor([&] { return !ref; }));
}
