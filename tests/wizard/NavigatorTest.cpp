// The page strip: its buttons and faces, which button it marks, and a click
// taking the wizard to the button's page.
#include <gtest/gtest.h>

#include <wx/frame.h>

#include "WizardFixtures.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/contentpages.h"
#include "windows/wizard/homepage.h"
#include "windows/wizard/preferencespage.h"
#include "windows/wizard/wizardnavigator.h"

using namespace wizard_test;
using tw::wizard::StripButton;

namespace {

// A strip of its own on a shown frame.
struct LoneStrip {
    LoneStrip()
    {
        frame = new wxFrame(nullptr, wxID_ANY, "strip", wxDefaultPosition, wxSize(700, 120));
        strip = new WizardNavigator(frame, 10434, wxDefaultPosition, wxSize(601, 54));
        frame->Show();
        tw::test::WaitFor([this] { return strip->IsShownOnScreen(); });
    }
    ~LoneStrip() { frame->Destroy(); }

    // The pages whose buttons show the "_select" face.
    std::vector<int> Marked() const
    {
        std::vector<int> pages;
        for (int i = 0; i < tw::wizard::kStripButtons; ++i) {
            const StripButton& b = tw::wizard::StripButtons()[i];
            if (strip->GetPageButton(b.pageNumber)->IsSelected())
                pages.push_back(b.pageNumber);
        }
        return pages;
    }

    wxFrame* frame;
    WizardNavigator* strip;
};

} // namespace

TEST(WizardNavigator, ButtonsStandInTheirPlacesWithTheirFacesAndTips)
{
    wizard_test::FailOnAssertions();
    LoneStrip lone;
    WizardNavigator* strip = lone.strip;
    EXPECT_EQ(strip->GetBackgroundColour(), wxColour(159, 159, 159));
    for (int i = 0; i < tw::wizard::kStripButtons; ++i) {
        const StripButton& b = tw::wizard::StripButtons()[i];
        SCOPED_TRACE(b.stem);
        wxPictureButton* button = strip->GetPageButton(b.pageNumber);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetId(), b.id);
        EXPECT_EQ(button->GetPosition(), wxPoint(b.x, 9));
        EXPECT_EQ(button->GetSize(), wxSize(36, 36));
        EXPECT_EQ(button->GetToolTipText(), b.tooltip);
        for (const wxString& face :
             {tw::wizard::StripFace(b), tw::wizard::StripSelectFace(b), tw::wizard::StripOverFace(b)}) {
            const wxBitmap bitmap = strip->GetBitmapResource(face);
            ASSERT_TRUE(bitmap.IsOk()) << face;
            EXPECT_EQ(bitmap.GetSize(), wxSize(36, 36));
        }
        EXPECT_TRUE(button->GetBitmap(wxPictureButton::Face_Pressed).IsOk());
        EXPECT_TRUE(button->GetBitmap(wxPictureButton::Face_Current).IsOk());
    }
    EXPECT_FALSE(strip->GetBitmapResource("res/tool_gps.png").IsOk()) << "names are exact";
    EXPECT_FALSE(strip->GetBitmapResource("res/tool_Go.png").IsOk());
    EXPECT_EQ(strip->GetPageButton(0), nullptr);
    EXPECT_EQ(strip->GetPageButton(12), nullptr);
    EXPECT_FALSE(strip->GetIconResource("anything").IsOk());
}

TEST(WizardNavigator, SelectPageButtonMarksAPageAndRemembersTheFirst)
{
    wizard_test::FailOnAssertions();
    LoneStrip lone;
    WizardNavigator* strip = lone.strip;
    struct Step {
        int call;
        int remembered;
        std::vector<int> marked;
    } steps[] = {
        {-1, -1, {}},   // nothing remembered yet: nothing marked
        {0, -1, {}},
        {12, -1, {}},
        {3, 3, {3}},
        {5, 3, {5}},
        {99, 3, {5}},   // no page: nothing changes
        {-1, 3, {3}},
        {10, 3, {10}},
        {8, 3, {8}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.call);
        strip->SelectPageButton(s.call);
        EXPECT_EQ(strip->GetSelectedPage(), s.remembered);
        EXPECT_EQ(lone.Marked(), s.marked);
    }
    // Page 10 is the eighth button, page 8 the ninth.
    strip->SelectPageButton(10);
    EXPECT_EQ(strip->GetPageButton(10)->GetId(), 10145);
    EXPECT_EQ(strip->GetPageButton(10)->GetPosition().x, 391);
    EXPECT_EQ(strip->GetPageButton(8)->GetPosition().x, 445);
    // Without a wizard a click does nothing.
    Click(strip->GetPageButton(4));
}

class StripInWizardTest : public WizardTest
{
};

TEST_F(StripInWizardTest, EachPageMarksItsOwnButton)
{
    ContentWizard* w = MakeWizard();
    for (int n = 1; n <= 11; ++n) {
        WizardNavigator* strip = w->GetPage(n)->GetNavigator();
        EXPECT_EQ(strip->m_wizard, w);
        EXPECT_EQ(strip->GetSelectedPage(), n);
        EXPECT_EQ(strip->GetMarkedPage(), n);
        EXPECT_EQ(strip->GetId(), w->GetPage(n)->GetFrame().stripId);
    }
}

TEST_F(StripInWizardTest, AClickGoesToTheButtonsPage)
{
    ContentWizard* w = MakeWizard();
    RunWizard(*w, 2, [&] {
        WizardNavigator* strip = w->m_chartsPage->GetNavigator();
        auto* wind = dynamic_cast<wxCheckBox*>(w->m_chartsPage->FindWindow(10173));
        wind->SetValue(true);

        // Its own button: read back, but the page stays and is not left.
        Click(strip->GetPageButton(2));
        EXPECT_EQ(w->GetCurrentPage(), w->m_chartsPage);
        EXPECT_TRUE(w->m_chartsPage->m_values[2]);
        EXPECT_FALSE(app.dlPrefs.WxChart_Wind);

        // The home button (ninth place): the home page, the charts copied.
        Click(strip->GetPageButton(8));
        EXPECT_EQ(w->GetCurrentPage(), w->m_homePage);
        EXPECT_TRUE(app.dlPrefs.WxChart_Wind);
        EXPECT_EQ(strip->GetMarkedPage(), 2);

        // And from there the preferences button (eighth place).
        Click(w->m_homePage->GetNavigator()->GetPageButton(10));
        EXPECT_EQ(w->GetCurrentPage(), w->m_preferencesPage);
        Cancel(*w);
    });
}
