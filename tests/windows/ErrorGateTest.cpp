// The error gate of the windows: a failure inside a command is told in one
// "Error" box with the database's message and one log line, the box
// belongs to the window the user works in, and an exception that still
// leaves an event handler is caught by the application and the loop runs on.
#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/log.h>
#include <wx/wxsqlite3.h>

#include "support/TestSupport.h"
#include "windows/common/ErrorGate.h"

namespace {

using tw::test::Ui;

int ErrorLines(const wxString& text)
{
    int n = 0;
    for (const auto& entry : tw::test::CapturedLog())
        n += entry.level == wxLOG_Error && entry.text.Contains(text);
    return n;
}

class ErrorGateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tw::test::ResetUi();
        tw::test::ClearLog();
        frame = new wxFrame(nullptr, wxID_ANY, "Gate");
        frame->Show();
        ASSERT_TRUE(tw::test::WaitFor([this] { return frame->IsShownOnScreen(); }));
    }
    void TearDown() override
    {
        frame->Destroy();
        tw::test::Pump(20);
        tw::test::ResetUi();
    }
    wxFrame* frame = nullptr;
};

TEST_F(ErrorGateTest, GuardedTellsWhatItCaughtOnceAndReportsIt)
{
    const struct {
        const char* name;
        std::function<void()> work;
        const char* message;   // nullptr: ran through
    } cases[] = {
        {"ran through", [] {}, nullptr},
        {"database error", [] { throw wxSQLite3Exception(5, "database is locked"); }, "database is locked"},
        {"standard exception", [] { throw std::runtime_error("out of room"); }, "out of room"},
        {"anything else", [] { throw 42; }, "An unexpected error ended the command."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tw::test::ResetUi();
        tw::test::ClearLog();
        EXPECT_EQ(tw::Guarded(frame, c.work), c.message == nullptr);
        if (!c.message) {
            EXPECT_TRUE(Ui().boxes.empty());
            continue;
        }
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_EQ(Ui().boxes[0].caption, "Error");
        EXPECT_TRUE(Ui().boxes[0].message.Contains(c.message)) << Ui().boxes[0].message;
        EXPECT_TRUE(Ui().boxes[0].style & wxICON_ERROR);
        EXPECT_EQ(Ui().boxes[0].parent, frame) << "the window the user works in";
        EXPECT_EQ(ErrorLines(c.message), 1);
    }
}

// Inside a toolkit callback (a drop) no box opens; it comes once the event
// is over.
TEST_F(ErrorGateTest, AfterEventShowsTheBoxOnceTheEventIsOver)
{
    EXPECT_FALSE(tw::Guarded(
        frame, [] { throw wxSQLite3Exception(5, "held by another program"); }, tw::ErrorTiming::AfterEvent));
    EXPECT_TRUE(Ui().boxes.empty());
    EXPECT_EQ(ErrorLines("held by another program"), 1);
    ASSERT_TRUE(tw::test::WaitFor([] { return !Ui().boxes.empty(); }, 2000));
    tw::test::Pump(20);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
}

// A handler that lets a database error escape, reached as the toolkit
// delivers a click, a key or a menu command: the application reports it
// once the handler is over and the program handles the next event.
TEST_F(ErrorGateTest, AnExceptionLeavingAHandlerIsReportedAndTheLoopRunsOn)
{
    int later = 0;
    frame->Bind(wxEVT_MENU, [](wxCommandEvent&) { throw wxSQLite3Exception(5, "escaped the handler"); }, 1);
    frame->Bind(wxEVT_MENU, [&later](wxCommandEvent&) { ++later; }, 2);
    wxCommandEvent failing(wxEVT_MENU, 1);
    EXPECT_NO_THROW(frame->HandleWindowEvent(failing));
    EXPECT_TRUE(Ui().boxes.empty()) << "not inside the toolkit's callback";
    wxCommandEvent next(wxEVT_MENU, 2);
    frame->HandleWindowEvent(next);
    EXPECT_EQ(later, 1);
    ASSERT_TRUE(tw::test::WaitFor([] { return !Ui().boxes.empty(); }, 3000));
    tw::test::Pump(20);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
    EXPECT_TRUE(Ui().boxes[0].message.Contains("escaped the handler"));
    EXPECT_EQ(ErrorLines("escaped the handler"), 1);
}

} // namespace
