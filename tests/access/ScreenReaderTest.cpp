// What a screen reader finds in the main windows, read over the desktop's
// accessibility bus as a reader does: every picture button a named push
// button, the map, the trees and the lists named with their kind.
#include <gtest/gtest.h>

#include <wx/listctrl.h>
#include <wx/treectrl.h>

#include "access/AccessFixtures.h"
#include "startup/StartupFixtures.h"
#include "windows/wizard/contentwizard.h"
#include "windows/wizard/wizardnavigator.h"
#include "windows/wizard/wizardpagebase.h"
#include "xferwindow/XferFixtures.h"
#include "platform/Accessible.h"
#include "windows/common/PictureButton.h"

using namespace access_test;

namespace {

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

// Every picture button of `window` is on the bus as a focusable push button
// named by its tooltip (or, without one, by a name of its own).
void ExpectButtonsNamed(wxWindow* window, const std::vector<AccessibleObject>& objects, size_t atLeast)
{
    const std::vector<wxPictureButton*> buttons = PictureButtons(window, true);
    EXPECT_GE(buttons.size(), atLeast);
    for (wxPictureButton* b : buttons) {
        const std::string tip = Utf8(b->GetToolTipText());
        const std::string name = tip.empty() ? Utf8(tw::AccessibleName(b)) : tip;
        SCOPED_TRACE("button " + std::to_string(b->GetId()) + " \"" + name + "\"");
        EXPECT_FALSE(name.empty()) << "a button without a name";
        bool found = false;
        for (const AccessibleObject& o : objects)
            if (o.role == "push button" && o.name == name) {
                found = true;
                EXPECT_TRUE(o.states.count("focusable")) << "not focusable";
            }
        EXPECT_TRUE(found) << "not on the bus as a named push button";
    }
    // (A hidden button is passed over by readers: the transfer window's
    // message button gets its tooltip when it shows.)
    for (const AccessibleObject& o : objects)
        EXPECT_FALSE(o.role == "push button" && o.name.empty() && o.states.count("showing"))
            << "an unnamed push button";
}

} // namespace

// Each main window as a reader finds it right after the program started in it.
TEST_F(AccessTest, MainWindowsAreNamedOnTheBus)
{
    REQUIRE_ACCESSIBILITY_BUS();
    struct Control {
        const char* role;
        const char* name;
    };
    struct Case {
        const char* mode;
        size_t buttons;   // picture buttons at least
        std::vector<Control> controls;
    };
    const std::vector<Case> cases = {
        {"LoadWindow", 29, {{"canvas", "Content map"}, {"tree", "Content suggestions"}}},
        {"Basic", 11, {{"canvas", "Download area map"}, {"list", "Product list"}}},
        {"Batch", 0, {{"tree", "Content catalogue"}, {"list", "Batches"}, {"list", "Batch items"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        wxWindow* window = Start(c.mode);
        ASSERT_NE(window, nullptr);
        std::string error;
        const std::vector<AccessibleObject> objects = ReadAccessibleObjects(error);
        ASSERT_TRUE(error.empty()) << error;
        ExpectButtonsNamed(window, objects, c.buttons);
        for (const Control& control : c.controls)
            EXPECT_EQ(CountObjects(objects, control.role, control.name), 1)
                << control.role << " \"" << control.name << "\"";
        startup_test::ResetApp();
    }
}

// The transfer window's tools and the wizard's page strip (over the Portal).
TEST_F(AccessTest, TransferToolsAndWizardStripAreNamedOnTheBus)
{
    REQUIRE_ACCESSIBILITY_BUS();
    {
        SCOPED_TRACE("transfer window");
        xfer_test::QuickClose quick;
        CFileList list;
        auto* xfer = dynamic_cast<FileXfer*>(OpenTransferWindow(list));
        ASSERT_NE(xfer, nullptr);
        std::string error;
        const std::vector<AccessibleObject> objects = ReadAccessibleObjects(error);
        ASSERT_TRUE(error.empty()) << error;
        ExpectButtonsNamed(xfer, objects, 5);
        EXPECT_EQ(CountObjects(objects, "push button", "Start weather transfer"), 1);
        xfer_test::CloseAndWait(xfer);
    }

    SCOPED_TRACE("wizard");
    wxWindow* portal = Start("LoadWindow");
    ASSERT_NE(portal, nullptr);
    ContentWizard wizard(portal, ID_CONTENTWIZARD);
    bool stepsRan = false;
    wizard.CallAfter([&] {
        stepsRan = true;
        tw::test::WaitFor([&] { return wizard.IsShownOnScreen(); }, 3000);
        tw::test::Pump(100);
        auto* page = dynamic_cast<ContentWizardPage*>(wizard.GetCurrentPage());
        std::string error;
        const std::vector<AccessibleObject> objects = ReadAccessibleObjects(error);
        EXPECT_TRUE(error.empty()) << error;
        EXPECT_NE(page, nullptr);
        if (page && error.empty())
            ExpectButtonsNamed(page->GetNavigator(), objects, 11);
        wizard.EndModal(wxID_CANCEL);
    });
    wizard.RunFromPage(1);
    EXPECT_TRUE(stepsRan);
}
