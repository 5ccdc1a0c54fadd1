// The check-box tree of the Wizard batch on a frame of its own: its pictures,
// the marks, the mouse rules through synthesised events (box clicks store the
// status at once, a veto keeps everything, grouping nodes have no box, label
// clicks only select, a double click opens the item's file, the right-click
// question), and what a store that fails does to the marks.
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/imaglist.h>

#include "portal/PortalFixtures.h"
#include "xferwindow/XferFixtures.h"

using namespace portal_test;

namespace {

class CheckTree : public PortalApp
{
protected:
    void SetUp() override
    {
        PortalApp::SetUp();
        OpenDatabases();
        SetWizardBatch({{"TW-SFC1", 1}, {"TW-UPA", 0}, {"TW-SFC2", 0}, {"TW-WIND", 1}, {"TW-WAVE", 1}});
        frame = new wxFrame(nullptr, wxID_ANY, "tree", wxPoint(20, 20), wxSize(360, 420));
        tree = new wxCheckTreeCtrl(frame, 10252, wxPoint(0, 0), wxSize(340, 400),
                                   wxTR_HIDE_ROOT | wxTR_LINES_AT_ROOT | wxBORDER_NONE);
        frame->Show();
        ASSERT_TRUE(tw::test::WaitFor([this] { return tree->IsShownOnScreen(); }));
        Build();
    }
    void TearDown() override
    {
        if (frame)
            frame->Destroy();
        tw::test::Pump(20);
        PortalApp::TearDown();
    }

    void Build()
    {
        SuggestionTreeText text;
        text.missingItem = "No FileInfo for ";
        ASSERT_TRUE(BuildSuggestionTree(*tree, text));
        tw::test::Pump(30);
    }
    wxTreeItemId Item(const wxString& id)
    {
        const wxTreeItemId item = FindRecord(*tree, id);
        EXPECT_TRUE(item.IsOk()) << id;
        return item;
    }
    wxPoint Icon(const wxString& id) { return PointOn(*tree, Item(id), wxTREE_HITTEST_ONITEMICON); }
    wxPoint Label(const wxString& id) { return PointOn(*tree, Item(id), wxTREE_HITTEST_ONITEMLABEL); }
    std::vector<int> StoredStatuses(const std::vector<const char*>& ids)
    {
        std::vector<int> out;
        for (const char* id : ids)
            out.push_back(StoredStatus(id));
        return out;
    }
    std::vector<bool> Marks(const std::vector<const char*>& ids)
    {
        std::vector<bool> out;
        for (const char* id : ids)
            out.push_back(tree->IsChecked(Item(id)));
        return out;
    }

    wxFrame* frame = nullptr;
    wxCheckTreeCtrl* tree = nullptr;
};

const std::vector<const char*> kLeaves = {"TW-SFC1", "TW-UPA", "TW-SFC2", "TW-WIND", "TW-WAVE"};

} // namespace

TEST_F(CheckTree, ThreeSixteenPixelPicturesWithTheSameFaceWhenSelected)
{
    EXPECT_TRUE(tree->HasFlag(wxTR_HAS_BUTTONS));
    EXPECT_TRUE(tree->HasFlag(wxTR_LINES_AT_ROOT));
    wxImageList* images = tree->GetImageList();
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->GetImageCount(), 3) << "no picture was split or refused";
    for (int i = 0; i < 3; ++i) {
        int w = 0, h = 0;
        ASSERT_TRUE(images->GetSize(i, w, h));
        EXPECT_EQ(wxSize(w, h), wxSize(16, 16)) << i;
        const wxImage picture = images->GetBitmap(i).ConvertToImage();
        EXPECT_TRUE(picture.HasMask() || picture.HasAlpha()) << i << ": transparent parts";
        EXPECT_TRUE(picture.IsTransparent(0, 0)) << i << ": the corner is transparent";
    }
    // The boxes: a dark blue frame and a green tick only in the checked one.
    const wxImage on = images->GetBitmap(0).ConvertToImage(), off = images->GetBitmap(1).ConvertToImage();
    EXPECT_EQ(wxColour(on.GetRed(1, 1), on.GetGreen(1, 1), on.GetBlue(1, 1)), wxColour("#185284"));
    auto greens = [](const wxImage& img) {
        int n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                n += !img.IsTransparent(x, y) && wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)) ==
                                                      wxColour("#21A521");
        return n;
    };
    EXPECT_GT(greens(on), 10);
    EXPECT_EQ(greens(off), 0);

    // Marks are the images, normal and selected alike; Check leaves a
    // grouping node's logo alone.
    const wxTreeItemId leaf = Item("TW-UPA"), group = Item("_cat:GRIB");
    tree->Check(leaf, true);
    EXPECT_EQ(tree->GetItemImage(leaf, wxTreeItemIcon_Normal), 0);
    EXPECT_EQ(tree->GetItemImage(leaf, wxTreeItemIcon_Selected), 0);
    tree->Check(leaf, false);
    EXPECT_EQ(tree->GetItemImage(leaf, wxTreeItemIcon_Selected), 1);
    tree->Check(group, true);
    EXPECT_EQ(tree->GetItemImage(group, wxTreeItemIcon_Normal), 2);
    EXPECT_FALSE(tree->IsChecked(group));
    EXPECT_EQ(StoredStatus("TW-UPA"), 0) << "Check stores nothing";

    // Pre-order walk, and RecursiveCheck without store writes.
    wxArrayTreeItemIds all;
    all.Add(tree->GetRootItem());   // not cleared first
    tree->GetItemChildrenRecursive(Item("_cat:Weather Charts"), all);
    std::vector<wxString> ids;
    for (size_t i = 1; i < all.size(); ++i)
        ids.push_back(tree->GetRecordId(all[i]));
    EXPECT_EQ(ids, (std::vector<wxString> {"_cat:Weather Charts", "type:Surface", "TW-SFC1", "TW-SFC2",
                                           "type:Upper Air", "TW-UPA"}));
    tree->RecursiveCheck(Item("_cat:Weather Charts"), true);
    EXPECT_EQ(Marks({"TW-SFC1", "TW-SFC2", "TW-UPA"}), (std::vector<bool> {true, true, true}));
    EXPECT_EQ(StoredStatuses({"TW-SFC1", "TW-UPA", "TW-SFC2"}), (std::vector<int> {1, 0, 0}));
}

TEST_F(CheckTree, BoxClicksStoreAtOnceAndOtherClicksDoNot)
{
    int selected = 0, unselected = 0;
    std::vector<wxString> about;
    frame->Bind(wxEVT_CKTR_ITEM_SELECTED, [&](wxCheckTreeCtrlEvent& e) {
        ++selected;
        about.push_back(tree->GetRecordId(e.GetItem()));
        EXPECT_EQ(e.GetEventObject(), tree);
        EXPECT_EQ(e.GetId(), 10252);
        e.Skip();
    });
    frame->Bind(wxEVT_CKTR_ITEM_UNSELECTED, [&](wxCheckTreeCtrlEvent& e) {
        ++unselected;
        about.push_back(tree->GetRecordId(e.GetItem()));
    });

    // The box of an unchecked leaf: checked and stored, not selected.
    const wxTreeItemId upa = Item("TW-UPA");
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("TW-UPA"));
    EXPECT_TRUE(tree->IsChecked(upa));
    EXPECT_EQ(StoredStatus("TW-UPA"), 1);
    EXPECT_FALSE(tree->IsSelected(upa));
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(about, std::vector<wxString> {"TW-UPA"});
    // Again: unchecked and 0.
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("TW-UPA"));
    EXPECT_FALSE(tree->IsChecked(upa));
    EXPECT_EQ(StoredStatus("TW-UPA"), 0);
    EXPECT_EQ(unselected, 1);

    // The logo of a grouping node: nothing, no event.
    const wxTreeItemId type = Item("type:Surface");
    ASSERT_NE(Icon("type:Surface"), wxPoint(-1, -1)) << "grouping nodes show the logo";
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("type:Surface"));
    EXPECT_EQ(tree->GetItemImage(type), 2);
    EXPECT_TRUE(tree->IsExpanded(type));
    EXPECT_EQ(selected + unselected, 2);

    // The label of a leaf: selected, mark and store alone.
    Mouse(tree, wxEVT_LEFT_DOWN, Label("TW-SFC1"));
    Mouse(tree, wxEVT_LEFT_UP, Label("TW-SFC1"));
    EXPECT_TRUE(tree->IsSelected(Item("TW-SFC1")));
    EXPECT_TRUE(tree->IsChecked(Item("TW-SFC1")));
    EXPECT_EQ(StoredStatuses(kLeaves), (std::vector<int> {1, 0, 0, 1, 1}));
    EXPECT_EQ(selected + unselected, 2);

    // A veto keeps both; Allow() after a veto lets the change through.
    auto veto = [](wxCheckTreeCtrlEvent& e) { e.Veto(); };
    frame->Bind(wxEVT_CKTR_ITEM_SELECTED, veto);
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("TW-SFC2"));
    EXPECT_FALSE(tree->IsChecked(Item("TW-SFC2")));
    EXPECT_EQ(StoredStatus("TW-SFC2"), 0);
    auto allow = [](wxCheckTreeCtrlEvent& e) {
        e.Allow();
        e.Skip();
    };
    tree->Bind(wxEVT_CKTR_ITEM_SELECTED, allow);   // runs before the frame's handlers
    frame->Unbind(wxEVT_CKTR_ITEM_SELECTED, veto);
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("TW-SFC2"));
    EXPECT_TRUE(tree->IsChecked(Item("TW-SFC2")));
    EXPECT_EQ(StoredStatus("TW-SFC2"), 1);
}

TEST_F(CheckTree, DoubleClickOpensTheItemsFileAndNeverToggles)
{
    const wxString folder = home.Documents() + "/Weather Files/Suggested";
    ASSERT_TRUE(wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL));
    app.GetUserDb()->ExecuteUpdate("UPDATE batches SET folder='" + SqlEscape(folder) +
                                   "', runstat=0, runwexpg=0 WHERE ID=2");
    tw::test::WriteFile(folder + "/sfc1.png", "picture");
    xfer_test::RecordingLauncher launcher;
    xfer_test::SetClipboardText("before");

    // On a grouping label, on a leaf's box and on empty space: nothing, and
    // the branch stays open.
    Mouse(tree, wxEVT_LEFT_DCLICK, Label("type:Surface"));
    Mouse(tree, wxEVT_LEFT_DCLICK, Icon("TW-SFC1"));
    Mouse(tree, wxEVT_LEFT_DCLICK, wxPoint(5, tree->GetClientSize().y - 3));
    EXPECT_TRUE(tree->IsExpanded(Item("type:Surface")));
    EXPECT_EQ(xfer_test::ClipboardText(), "before");
    EXPECT_TRUE(tw::test::Ui().boxes.empty());

    // On a leaf's label: its downloaded file, handed on through the clipboard.
    Mouse(tree, wxEVT_LEFT_DCLICK, Label("TW-SFC1"));
    EXPECT_EQ(xfer_test::ClipboardText(), folder + "/sfc1.png\r\n");
    EXPECT_TRUE(tree->IsChecked(Item("TW-SFC1")));
    EXPECT_EQ(StoredStatus("TW-SFC1"), 1);
}

TEST_F(CheckTree, RightClickAsksAndSetsTheWholeBranchInOneGo)
{
    struct Case {
        const char* item;     // where the right click lands
        int answer;
        const char* message;
        const char* yes;
        const char* no;
        std::vector<int> after;   // stored statuses of kLeaves
    };
    const Case cases[] = {
        {"_cat:Weather Charts", wxYES, "Weather Charts files...", "Enable All", "Disable All", {1, 1, 1, 1, 1}},
        {"type:Surface", wxNO, "Surface files...", "Enable All", "Disable All", {0, 1, 0, 1, 1}},
        {"TW-WAVE", wxNO, "This file...", "Enable", "Disable", {0, 1, 0, 1, 0}},
        {"_cat:GRIB", wxCANCEL, "GRIB files...", "Enable All", "Disable All", {0, 1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        tw::test::ResetUi();
        tw::test::AnswerBox(c.answer);
        Mouse(tree, wxEVT_RIGHT_DOWN, Label(c.item));
        ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
        const tw::MessageBoxRequest& box = tw::test::Ui().boxes[0];
        EXPECT_EQ(box.message, c.message);
        EXPECT_EQ(box.caption, "Enable/Disable Download");
        EXPECT_EQ(box.style & (wxYES_NO | wxCANCEL), wxYES_NO | wxCANCEL);
        EXPECT_EQ(box.yesLabel, c.yes);
        EXPECT_EQ(box.noLabel, c.no);
        EXPECT_EQ(box.cancelLabel, "Cancel");
        EXPECT_EQ(box.parent, frame);
        EXPECT_EQ(StoredStatuses(kLeaves), c.after);
        for (size_t i = 0; i < kLeaves.size(); ++i)
            EXPECT_EQ(tree->IsChecked(Item(kLeaves[i])), c.after[i] != 0) << kLeaves[i];
        EXPECT_FALSE(tree->IsSelected(Item(c.item))) << "a right click does not select";
    }
    // Empty space below the last row: no question.
    tw::test::ResetUi();
    Mouse(tree, wxEVT_RIGHT_DOWN, wxPoint(30, tree->GetClientSize().y - 3));
    EXPECT_TRUE(tw::test::Ui().boxes.empty());
    EXPECT_TRUE(app.GetUserDb()->GetAutoCommit()) << "no transaction left open";
}

// A store that refuses a write part way through: the transaction is rolled
// back (nothing of the command stays and later commands work), the marks show
// what is stored and the user is told. A refused single click likewise.
TEST_F(CheckTree, AFailedWriteRollsBackAndShowsTheStoredMarks)
{
    wxSQLite3Database& db = *app.GetUserDb();
    db.ExecuteUpdate("CREATE TRIGGER refuse_upa BEFORE UPDATE ON batch_items WHEN NEW.productID='TW-UPA' "
                     "BEGIN SELECT RAISE(ABORT, 'no writes for TW-UPA'); END");
    const std::vector<int> before = StoredStatuses(kLeaves);

    tw::test::AnswerBox(wxYES);
    Mouse(tree, wxEVT_RIGHT_DOWN, Label("_cat:Weather Charts"));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_EQ(tw::test::Ui().boxes[1].caption, "Error");
    EXPECT_TRUE(tw::test::Ui().boxes[1].message.Contains("no writes for TW-UPA")) << tw::test::Ui().boxes[1].message;
    EXPECT_TRUE(tw::test::Ui().boxes[1].message.Contains("The check marks show what is stored"));
    EXPECT_TRUE(db.GetAutoCommit()) << "the transaction was ended";
    EXPECT_EQ(StoredStatuses(kLeaves), before) << "TW-SFC1 and TW-SFC2 were written before the refusal";
    for (size_t i = 0; i < kLeaves.size(); ++i)
        EXPECT_EQ(tree->IsChecked(Item(kLeaves[i])), before[i] != 0) << kLeaves[i];

    // A later command works.
    tw::test::ResetUi();
    tw::test::AnswerBox(wxNO);
    Mouse(tree, wxEVT_RIGHT_DOWN, Label("_cat:GRIB"));
    EXPECT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(StoredStatuses({"TW-WIND", "TW-WAVE"}), (std::vector<int> {0, 0}));

    // A single box click that the store refuses: mark back, told once.
    tw::test::ResetUi();
    Mouse(tree, wxEVT_LEFT_DOWN, Icon("TW-UPA"));
    EXPECT_FALSE(tree->IsChecked(Item("TW-UPA")));
    EXPECT_EQ(StoredStatus("TW-UPA"), 0);
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].caption, "Error");

    // The store unreadable as well: the marks go back to what they were.
    db.ExecuteUpdate("ALTER TABLE batch_items RENAME TO batch_items_gone");
    tw::test::ResetUi();
    tw::test::AnswerBox(wxYES);
    Mouse(tree, wxEVT_RIGHT_DOWN, Label("type:Wind"));
    EXPECT_FALSE(tree->IsChecked(Item("TW-WIND")));
    EXPECT_EQ(tw::test::Ui().boxes.size(), 2u);
    EXPECT_TRUE(db.GetAutoCommit());
    db.ExecuteUpdate("ALTER TABLE batch_items_gone RENAME TO batch_items");
}
