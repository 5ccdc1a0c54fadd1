#include <gtest/gtest.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "platform/UiHooks.h"
#include "support/TestSupport.h"

using namespace tw::test;

TEST(UiHooks, MessageBoxesAreAnsweredByTheScript)
{
    AnswerBox(wxYES);
    EXPECT_EQ(tw::MessageBox("Delete it?", "Confirm", wxYES_NO), wxYES);
    EXPECT_EQ(tw::MessageBox("Again?", "Confirm", wxYES_NO | wxCANCEL), wxCANCEL);
    ASSERT_EQ(Ui().boxes.size(), 2u);
    EXPECT_EQ(Ui().boxes[0].caption, "Confirm");
    EXPECT_TRUE(BoxShown("Again?"));
}

TEST(UiHooks, FileChoosersAreAnsweredByTheScript)
{
    AnswerChooser("/tmp/x.rvl");
    tw::FileChooserRequest req;
    req.message = "Open";
    EXPECT_EQ(tw::ChooseFile(req), "/tmp/x.rvl");
    EXPECT_EQ(tw::ChooseFile(req), "");
}

TEST(UiHooks, ErrorLogIsCapturedNotShown)
{
    wxLogError("disk %s", "full");
    EXPECT_TRUE(LogContains("disk full"));
}
