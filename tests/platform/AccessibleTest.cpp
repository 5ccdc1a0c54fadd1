// Names and roles of controls the program draws itself, as the desktop's
// accessibility layer holds them for screen readers.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/treectrl.h>

#include "platform/Accessible.h"
#include "support/TestSupport.h"

namespace {

class AccessibleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, "Accessible", wxDefaultPosition, wxSize(400, 300));
        m_panel = new wxPanel(m_frame);
    }
    void TearDown() override
    {
        m_frame->Destroy();
        tw::test::Pump(20);
    }
    wxFrame* m_frame = nullptr;
    wxPanel* m_panel = nullptr;
};

TEST_F(AccessibleTest, EachKindOfControlGetsItsRoleAndName)
{
    struct Case {
        const char* what;
        std::function<wxWindow*(wxWindow*)> make;
        tw::AccessibleRole role;
        const char* roleName;
    };
    const std::vector<Case> cases = {
        {"drawn button", [](wxWindow* p) { return new wxPanel(p); }, tw::AccessibleRole::PushButton, "push button"},
        {"tree", [](wxWindow* p) { return new wxTreeCtrl(p, wxID_ANY); }, tw::AccessibleRole::Tree, "tree"},
        {"report list", [](wxWindow* p) { return new wxListCtrl(p, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                                                 wxLC_REPORT); },
         tw::AccessibleRole::List, "list"},
        {"map", [](wxWindow* p) { return new wxWindow(p, wxID_ANY); }, tw::AccessibleRole::Map, "canvas"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wxWindow* control = c.make(m_panel);
        EXPECT_NE(tw::AccessibleRoleName(control), c.roleName) << "already so before it was told";
        tw::SetAccessible(control, c.role, wxString::FromUTF8("Name of the ") + c.what);
        EXPECT_EQ(tw::AccessibleRoleName(control), c.roleName);
        EXPECT_EQ(tw::AccessibleName(control), wxString::FromUTF8("Name of the ") + c.what);
        // A tooltip does not replace a name given.
        control->SetToolTip("a tooltip");
        EXPECT_EQ(tw::AccessibleName(control), wxString::FromUTF8("Name of the ") + c.what);
    }
}

TEST_F(AccessibleTest, NameFollowsTheTooltipUntilOneIsGiven)
{
    auto* control = new wxPanel(m_panel);
    tw::SetAccessibleFromToolTip(control, tw::AccessibleRole::PushButton);
    EXPECT_EQ(tw::AccessibleRoleName(control), "push button");
    EXPECT_EQ(tw::AccessibleName(control), "");
    control->SetToolTip("first");
    EXPECT_EQ(tw::AccessibleName(control), "first");
    control->SetToolTip("second");
    EXPECT_EQ(tw::AccessibleName(control), "second");
    tw::SetAccessibleFromToolTip(control, tw::AccessibleRole::PushButton);   // twice: still one follower
    control->SetToolTip("third");
    EXPECT_EQ(tw::AccessibleName(control), "third");
    tw::SetAccessible(control, tw::AccessibleRole::PushButton, "given");
    control->SetToolTip("fourth");
    EXPECT_EQ(tw::AccessibleName(control), "given");
}

} // namespace
