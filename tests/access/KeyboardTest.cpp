// The picture buttons of the main windows with the keyboard only, pressed
// as a user presses keys (through the X server): Tab reaches every one of
// them, and Space and Return press the one that has the focus.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <wx/filename.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include "access/AccessFixtures.h"
#include "startup/StartupFixtures.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/contentwizard.h"
#include "xferwindow/XferFixtures.h"
#include "windows/wizard/wizardnavigator.h"
#include "windows/wizard/wizardpagebase.h"

using namespace access_test;

namespace {

// Clicks that reached the buttons, by id. The buttons' own handler keeps a
// click from going on to the window, so nothing else happens.
class ClickRecorder
{
public:
    explicit ClickRecorder(const std::vector<wxPictureButton*>& buttons)
    {
        for (wxPictureButton* b : buttons)
            b->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { m_clicks.push_back(e.GetId()); });
    }
    size_t Count() const { return m_clicks.size(); }
    int Last() const { return m_clicks.empty() ? 0 : m_clicks.back(); }

private:
    std::vector<int> m_clicks;
};

struct TabWalk {
    std::set<wxWindow*> reached;
    std::map<int, std::string> unpressed;   // id -> which key did not press it
};

// Presses Tab until the focus has gone round the window; at every picture
// button it lands on, presses Space and Return and checks each sends one
// click of that button.
TabWalk WalkWithTab(wxWindow* top, const std::vector<wxPictureButton*>& buttons, ClickRecorder& clicks)
{
    TabWalk walk;
    const std::set<wxWindow*> wanted(buttons.begin(), buttons.end());
    int sinceNew = 0;
    for (int presses = 0; presses < 400 && sinceNew < 60; ++presses) {
        wxWindow* before = wxWindow::FindFocus();
        PressKey(WXK_TAB);
        tw::test::WaitFor([&] { return wxWindow::FindFocus() != before; }, 1000);
        wxWindow* now = wxWindow::FindFocus();
        ++sinceNew;
        if (!now)
            continue;   // on a part of the toolkit's own (a wizard's button row)
        if (wxGetTopLevelParent(now) != top)
            break;
        if (!wanted.count(now) || walk.reached.count(now))
            continue;
        walk.reached.insert(now);
        sinceNew = 0;
        for (int key : {WXK_SPACE, WXK_RETURN}) {
            const size_t count = clicks.Count();
            PressKey(key);
            if (!tw::test::WaitFor([&] { return clicks.Count() > count; }, 2000) || clicks.Last() != now->GetId() ||
                clicks.Count() != count + 1)
                walk.unpressed[now->GetId()] += key == WXK_SPACE ? "Space " : "Return ";
        }
        if (walk.reached.size() == wanted.size())
            break;
    }
    return walk;
}

std::string Missing(const std::vector<wxPictureButton*>& buttons, const TabWalk& walk)
{
    std::string missing;
    for (wxPictureButton* b : buttons)
        if (!walk.reached.count(b))
            missing += std::to_string(b->GetId()) + " \"" + b->GetToolTipText().utf8_string() + "\"; ";
    return missing;
}

} // namespace

TEST_F(AccessTest, TabReachesEveryPictureButtonAndSpaceOrReturnPressesIt)
{
    xfer_test::QuickClose quick;
    CFileList list;
    for (const char* mode : {"LoadWindow", "Basic", "transfer"}) {
        SCOPED_TRACE(mode);
        wxWindow* top = std::string(mode) == "transfer" ? OpenTransferWindow(list) : Start(mode);
        ASSERT_NE(top, nullptr);
        top->Raise();
        ASSERT_TRUE(tw::test::WaitFor([top] { return wxWindow::FindFocus() &&
                                                     wxGetTopLevelParent(wxWindow::FindFocus()) == top; }, 3000))
            << "the window never got the keyboard focus";
        const std::vector<wxPictureButton*> buttons = PictureButtons(top, true);
        ASSERT_FALSE(buttons.empty());
        ClickRecorder clicks(buttons);
        const TabWalk walk = WalkWithTab(top, buttons, clicks);
        EXPECT_EQ(Missing(buttons, walk), "") << "not reached with Tab";
        for (const auto& [id, keys] : walk.unpressed)
            ADD_FAILURE() << "button " << id << " not pressed by " << keys;
        // The last button reached shows its focus frame.
        tw::test::Screenshot(top, wxFileName::GetTempDir() + "/tw-keyboard-" + mode + ".png");
        if (auto* xfer = dynamic_cast<FileXfer*>(top))
            xfer_test::CloseAndWait(xfer);
        startup_test::ResetApp();
    }
}

// The wizard's page strip over the Portal: a page opens with the focus on
// its own first control and Return goes on to Next, as before the strip took
// the focus; Tab then reaches the strip's eleven buttons, and Space and
// Return press them.
TEST_F(AccessTest, TabReachesTheWizardStripAndReturnStillGoesToNext)
{
    wxWindow* portal = Start("LoadWindow");
    ASSERT_NE(portal, nullptr);
    ContentWizard wizard(portal, ID_CONTENTWIZARD);
    bool stepsRan = false;
    wizard.CallAfter([&] {
        stepsRan = true;
        tw::test::WaitFor([&] { return wizard.IsShownOnScreen(); }, 3000);
        wxWizardPage* first = wizard.GetCurrentPage();
        ASSERT_TRUE(tw::test::WaitFor([&] { return wxWindow::FindFocus() != nullptr; }, 3000));
        EXPECT_EQ(dynamic_cast<wxPictureButton*>(wxWindow::FindFocus()), nullptr)
            << "the page opens with the focus on the strip";
        PressKey(WXK_RETURN);
        ASSERT_TRUE(tw::test::WaitFor([&] { return wizard.GetCurrentPage() != first; }, 3000))
            << "Return did not go on to Next";
        EXPECT_EQ(wizard.GetCurrentPage(), first->GetNext());
        tw::test::Pump(100);

        auto* page = dynamic_cast<ContentWizardPage*>(wizard.GetCurrentPage());
        ASSERT_NE(page, nullptr);
        const std::vector<wxPictureButton*> buttons = PictureButtons(page->GetNavigator());
        EXPECT_EQ(buttons.size(), 11u);
        ClickRecorder clicks(buttons);
        const TabWalk walk = WalkWithTab(&wizard, buttons, clicks);
        EXPECT_EQ(Missing(buttons, walk), "") << "not reached with Tab";
        for (const auto& [id, keys] : walk.unpressed)
            ADD_FAILURE() << "strip button " << id << " not pressed by " << keys;
        wizard.EndModal(wxID_CANCEL);
    });
    // A step that stops early leaves the wizard open: it is ended after a while.
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (wizard.IsModal())
            wizard.EndModal(wxID_CANCEL);
    });
    guard.StartOnce(120000);
    wizard.RunFromPage(1);
    EXPECT_TRUE(stepsRan);
}
