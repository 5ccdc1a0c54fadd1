// Pieces of the keyboard and screen-reader tests: the program started in one
// of its main windows on copies of the seed databases, the windows' picture
// buttons, real key presses, and the program's controls read back over the
// desktop's accessibility bus by a reader program of its own.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/window.h>

#include "app/tidewrightapp.h"
#include "support/TestSupport.h"

class wxPictureButton;

namespace access_test {

// One object as a screen reader sees it.
struct AccessibleObject {
    int depth = 0;            // 0: the program itself
    std::string role;         // "push button", "tree", ...
    std::string name;
    std::set<std::string> states;   // "focusable", "focused", "showing", "enabled"
};

// Why this program cannot read the accessibility bus (empty when it can).
std::string NoBusReason();

// Reads every accessible object of this program over the accessibility bus
// while the event loop keeps running (the program answers the reader from
// it). On failure returns nothing and says why in `error`.
std::vector<AccessibleObject> ReadAccessibleObjects(std::string& error);

// The objects of `objects` with this role and name.
int CountObjects(const std::vector<AccessibleObject>& objects, const std::string& role, const std::string& name);

// Every picture button inside `window`, in the order of the window tree;
// with `shownOnly` only those shown on the screen.
std::vector<wxPictureButton*> PictureButtons(wxWindow* window, bool shownOnly = false);

// Presses and releases a key as a user does (through the X server).
void PressKey(int keyCode);

// A fresh home with the seed databases installed and the application object
// reset before and after; the program started in one of its main windows.
class AccessTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program in view mode `mode` ("LoadWindow", "Basic", "Batch");
    // the main window once it is shown.
    wxWindow* Start(const wxString& mode);

    // A transfer window of the list, idle (nothing started), shown as the
    // program shows it over a network connection.
    wxWindow* OpenTransferWindow(class CFileList& list);

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
};

} // namespace access_test

// Skips the test when the accessibility bus cannot be read here; under CI,
// where it must run, fails it instead.
#define REQUIRE_ACCESSIBILITY_BUS()                                                   \
    do {                                                                              \
        const std::string reason = access_test::NoBusReason();                        \
        if (!reason.empty()) {                                                        \
            const char* ci = std::getenv("CI");                                       \
            if (ci && std::string(ci) == "true")                                      \
                FAIL() << "no accessibility bus under CI: " << reason;               \
            GTEST_SKIP() << "no accessibility bus: " << reason;                       \
        }                                                                             \
    } while (0)
