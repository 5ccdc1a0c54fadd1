// The Library's wizard suggestions window: its frame and controls, the same
// tree as the Portal's with each item's Title, two windows agreeing through
// the store, Close, and a picture of it.
#include <wx/button.h>
#include <wx/sizer.h>

#include "windows/library/wizardtreewindow.h"
#include "portal/PortalFixtures.h"

using namespace portal_test;

namespace {

class SuggestionsWindow : public PortalApp
{
protected:
    void SetUp() override
    {
        PortalApp::SetUp();
        OpenDatabases();
        SetWizardBatch({{"TW-SFC1", 1}, {"TW-BASIC", 1}, {"TW-UPA", 0}, {"TW-IR", 1}, {"TW-SFC2", 0}});
        library = new wxFrame(nullptr, wxID_ANY, "Library Window", wxPoint(50, 50), wxSize(800, 600));
        library->Show();
        ASSERT_TRUE(tw::test::WaitFor([this] { return library->IsShownOnScreen(); }));
    }
    void TearDown() override
    {
        library->Destroy();
        tw::test::Pump(20);
        PortalApp::TearDown();
    }

    WizardTreeWindow* Open()
    {
        auto* window = new WizardTreeWindow(library, ID_WIZARDTREEWINDOW, _("Wizard Content Suggestions"),
                                            wxDefaultPosition, wxSize(700, 540),
                                            wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
        window->Show();
        EXPECT_TRUE(tw::test::WaitFor([&] { return window->IsShownOnScreen(); }));
        tw::test::Pump(50);
        return window;
    }

    wxFrame* library = nullptr;
};

} // namespace

TEST_F(SuggestionsWindow, FrameControlsAndTree)
{
    WizardTreeWindow* window = Open();
    EXPECT_EQ(window->GetId(), 10251);
    EXPECT_EQ(window->GetTitle(), "Wizard Content Suggestions");
    EXPECT_EQ(window->GetName(), "frame");
    EXPECT_EQ(window->GetParent(), library);
    EXPECT_TRUE(window->HasFlag(wxRESIZE_BORDER));
    EXPECT_GE(window->GetClientSize().y, window->GetSizer()->GetMinSize().y) << "the buttons are not cut off";
    EXPECT_TRUE(WizardTreeWindow::ShowToolTips());
    EXPECT_FALSE(window->GetBitmapResource("res/tool_Help.png").IsOk());
    EXPECT_TRUE(window->GetIconResource("Icons/rivol.ico").IsOk());
    EXPECT_FALSE(window->GetIconResource("rivol.ico").IsOk());

    wxCheckTreeCtrl* tree = window->m_checkTree;
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetId(), 10252);
    EXPECT_EQ(tree->GetName(), "treeCtrl");
    EXPECT_EQ(tree->GetSize(), wxSize(700, 450));
    EXPECT_TRUE(tree->HasFlag(wxTR_HIDE_ROOT));
    auto* download = dynamic_cast<wxButton*>(window->FindWindow(10322));
    auto* close = dynamic_cast<wxButton*>(window->FindWindow(10342));
    ASSERT_NE(download, nullptr);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(download->GetLabel(), "Download");
    EXPECT_EQ(close->GetLabel(), "Close");
    EXPECT_EQ(window->GetDefaultItem(), download);
    EXPECT_GT(download->GetPosition().y, tree->GetRect().GetBottom());
    EXPECT_TRUE(wxRect(window->GetClientSize()).Contains(close->GetRect()));

    // Leaves carry the Title where the Portal shows the Description; the
    // missing item is named once, in this window's wording.
    EXPECT_EQ(Describe(*tree), (std::vector<std::string> {
                                   "Weather Charts <_cat:Weather Charts>",
                                   "  Surface <type:Surface>",
                                   "    [x] Surface one:TW-SFC1 <TW-SFC1>",
                                   "    [ ] Surface two:TW-SFC2 <TW-SFC2>",
                                   "  Upper Air <type:Upper Air>",
                                   "    [ ] Upper air:TW-UPA <TW-UPA>",
                                   "Satellite <_cat:Satellite>",
                                   "  Infrared <type:Infrared>",
                                   "    [x] Infrared:TW-IR <TW-IR>",
                               }));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].message, "No FileIfo for TW-BASIC");

    // The right-click question names the whole category.
    tw::test::ResetUi();
    tw::test::AnswerBox(wxCANCEL);
    Mouse(tree, wxEVT_RIGHT_DOWN, PointOn(*tree, FindRecord(*tree, "_cat:Weather Charts"), wxTREE_HITTEST_ONITEMLABEL));
    ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
    EXPECT_EQ(tw::test::Ui().boxes[0].message, "Weather Charts files...");

    window->Raise();
    tw::test::Pump(150);
    EXPECT_TRUE(tw::test::Screenshot(window, wxFileName::GetTempDir() + "/tw-suggestions-window.png"));

    wxWeakRef<WizardTreeWindow> ref(window);
    Click(window, 10342);
    EXPECT_TRUE(tw::test::WaitFor([&] { return !ref; }, 2000)) << "Close destroys the window";
}

TEST_F(SuggestionsWindow, TwoWindowsAgreeThroughTheStore)
{
    WizardTreeWindow* first = Open();
    WizardTreeWindow* second = Open();
    EXPECT_EQ(Describe(*first->m_checkTree), Describe(*second->m_checkTree));

    // A box checked in the first is stored; a window opened afterwards shows
    // it, the one already open keeps what it showed.
    Mouse(first->m_checkTree, wxEVT_LEFT_DOWN,
          PointOn(*first->m_checkTree, FindRecord(*first->m_checkTree, "TW-UPA"), wxTREE_HITTEST_ONITEMICON));
    EXPECT_EQ(StoredStatus("TW-UPA"), 1);
    EXPECT_FALSE(second->m_checkTree->IsChecked(FindRecord(*second->m_checkTree, "TW-UPA")));
    WizardTreeWindow* third = Open();
    EXPECT_TRUE(third->m_checkTree->IsChecked(FindRecord(*third->m_checkTree, "TW-UPA")));
    EXPECT_EQ(Describe(*first->m_checkTree), Describe(*third->m_checkTree));
}
