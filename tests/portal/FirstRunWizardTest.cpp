// The content wizard as a new user first meets it: opened by the first run
// over the Portal, its pages visited with Next from the welcome page, then
// by the page strip, then back again. On every page each label, check box,
// button and choice shows its whole text in the font the screen uses; the
// pages are kept as pictures in the build tree's first-run-pictures folder.
#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/modalhook.h>

#include "PortalFixtures.h"
#include "support/FitCheck.h"
#include "windows/common/PictureButton.h"
#include "windows/portal/loadwindow.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/contentpages.h"
#include "windows/wizard/contentwizard.h"
#include "windows/wizard/wizardnavigator.h"
#include "windows/wizard/wizardpagebase.h"

using namespace portal_test;

namespace {

wxString PictureDir()
{
    const wxString dir = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/first-run-pictures";
    wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return dir;
}

// Runs `steps` inside the content wizard's modal loop once it is up.
class WizardSteps : public wxModalDialogHook
{
public:
    explicit WizardSteps(std::function<void(ContentWizard*)> steps) : m_steps(std::move(steps)) { Register(); }
    ~WizardSteps() override { Unregister(); }
    bool ran = false;

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* wizard = dynamic_cast<ContentWizard*>(dialog);
        if (wizard && !ran) {
            ran = true;
            wizard->CallAfter([this, wizard] { m_steps(wizard); });
        }
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::function<void(ContentWizard*)> m_steps;
};

void PressWizardButton(ContentWizard* wizard, int id)
{
    wxWindow* button = wizard->FindWindow(id);
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

} // namespace

class FirstRunWizard : public PortalApp
{
};

TEST_F(FirstRunWizard, EveryPageShowsItsWholeTextHoweverItIsReached)
{
    startup_test::ResetApp();
    tw::test::TempHome fresh;   // no settings: a first run
    tw::SetContentWizardRunner(nullptr);   // the real wizard

    bool done = false;
    WizardSteps steps([&](ContentWizard* wizard) {
        tw::test::WaitFor([wizard] { return wizard->IsShownOnScreen(); }, 3000);
        int shot = 0;
        // The page now shown: its picture kept, every text control fits.
        auto look = [&](const char* how, int place) {
            wxWizardPageSimple* expected = wizard->GetChainPage(place);
            ASSERT_EQ(wizard->GetCurrentPage(), expected) << how << " to place " << place;
            tw::test::Pump(150);
            tw::test::Screenshot(wizard, wxString::Format("%s/%02d-%s-page-%d.png", PictureDir(), shot++, how,
                                                          tw::wizard::PageNumberAtPlace(place)));
            EXPECT_EQ(tw::test::ClippedText(wizard), "") << how << ", page at place " << place;
            if (place == 1 && std::string(how) != "next") {
                EXPECT_EQ(wizard->m_gribPage->GetDaysChoice()->GetStringSelection(), "3 days");
            }
        };

        // Next from the welcome page to the last.
        for (int place = 0; place < tw::wizard::kChainLength; ++place) {
            look("next", place);
            if (place == 1) {
                // A longer period than the first, as a user picks it.
                wxChoice* days = wizard->m_gribPage->GetDaysChoice();
                days->SetSelection(2);
                wxCommandEvent chosen(wxEVT_CHOICE, days->GetId());
                chosen.SetEventObject(days);
                chosen.SetInt(2);
                days->GetEventHandler()->ProcessEvent(chosen);
            }
            if (place + 1 < tw::wizard::kChainLength)
                PressWizardButton(wizard, wxID_FORWARD);
        }
        // The strip, page after page, from the last page.
        for (int place = 1; place < tw::wizard::kChainLength; ++place) {
            auto* current = dynamic_cast<ContentWizardPage*>(wizard->GetCurrentPage());
            ASSERT_NE(current, nullptr);
            const int number = tw::wizard::PageNumberAtPlace(place);
            if (current->GetPageNumber() != number) {
                wxPictureButton* button = current->GetNavigator()->GetPageButton(number);
                ASSERT_NE(button, nullptr);
                wxCommandEvent click(wxEVT_BUTTON, button->GetId());
                click.SetEventObject(button);
                button->GetEventHandler()->ProcessEvent(click);
            }
            look("strip", place);
        }
        // Back again, every page a third time.
        for (int place = tw::wizard::kChainLength - 2; place >= 0; --place) {
            PressWizardButton(wizard, wxID_BACKWARD);
            look("back", place);
        }
        PressWizardButton(wizard, wxID_CANCEL);
        done = true;
    });

    ASSERT_TRUE(app.Startup());
    ASSERT_NE(dynamic_cast<LoadWindow*>(app.topWindow), nullptr);
    ASSERT_TRUE(tw::test::WaitFor([&] { return done; }, 60000));
    EXPECT_TRUE(steps.ran);
}

// Suites named "SmallScreen" run again on a 1024 x 768 screen with text at
// 125 % (tests/CMakeLists.txt): there the wizard is larger than the screen.
class FirstRunWizardSmallScreen : public PortalApp
{
};

TEST_F(FirstRunWizardSmallScreen, EveryTextAndButtonOfEveryPageCanBeSeenWhole)
{
    if (const char* screen = getenv("TIDEWRIGHT_TEST_SCREEN")) {
        int width = 0, height = 0;
        ASSERT_EQ(sscanf(screen, "%dx%d", &width, &height), 2) << screen;
        ASSERT_EQ(wxGetDisplaySize(), wxSize(width, height)) << "the screen the run asked for";
    }
    startup_test::ResetApp();
    tw::test::TempHome fresh;   // no settings: a first run
    tw::SetContentWizardRunner(nullptr);   // the real wizard

    bool done = false;
    WizardSteps steps([&](ContentWizard* wizard) {
        tw::test::WaitFor([wizard] { return wizard->IsShownOnScreen(); }, 3000);
        const wxSize screen = wxGetDisplaySize();
        for (int place = 0; place < tw::wizard::kChainLength; ++place) {
            ASSERT_EQ(wizard->GetCurrentPage(), wizard->GetChainPage(place));
            tw::test::Pump(150);
            tw::test::Screenshot(wizard, wxString::Format("%s/screen-%dx%d-page-%02d.png", PictureDir(), screen.x,
                                                          screen.y, place));
            const wxRect area = wxDisplay(0u).GetClientArea();
            EXPECT_TRUE(area.Contains(wizard->GetScreenRect()))
                << "page at place " << place << ": the wizard at " << wizard->GetScreenRect().x << ","
                << wizard->GetScreenRect().y << " " << wizard->GetSize().x << "x" << wizard->GetSize().y;
            EXPECT_EQ(tw::test::UnreachableText(wizard), "") << "page at place " << place;
            EXPECT_EQ(tw::test::ClippedText(wizard), "") << "page at place " << place;
            if (place + 1 < tw::wizard::kChainLength)
                PressWizardButton(wizard, wxID_FORWARD);
        }
        PressWizardButton(wizard, wxID_CANCEL);
        done = true;
    });

    ASSERT_TRUE(app.Startup());
    ASSERT_NE(dynamic_cast<LoadWindow*>(app.topWindow), nullptr);
    ASSERT_TRUE(tw::test::WaitFor([&] { return done; }, 60000));
    EXPECT_TRUE(steps.ran);
}
