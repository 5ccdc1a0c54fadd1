// Entry point of every test program: a private HOME, the toolkit started
// (under Xvfb) with the test program's application object (support/TestApp.h),
// a log target that records instead of showing dialogs, and scripted answers
// to message boxes reset before each test.
#include <clocale>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "support/TestApp.h"
#include "support/TestSupport.h"

namespace tw::test {
void RecordLog(unsigned long level, const wxString& text);
bool WaitForDisplay();
}

namespace {

class CapturingLog : public wxLog
{
protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override
    {
        tw::test::RecordLog(level, msg);
    }
};

class ResetBetweenTests : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        tw::test::ResetUi();
        tw::test::ClearLog();
    }
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    // Nothing a test does may touch the real user's files.
    auto processHome = std::make_unique<tw::test::TempHome>();
    setenv("TIDEWRIGHT_RESOURCES", TIDEWRIGHT_BUILD_RESOURCES, 0);
    setenv("TIDEWRIGHT_TESTING", "1", 1);
    std::setlocale(LC_ALL, "");

    // A loaded X server can turn a connection away for a moment; that must
    // not fail a whole test program.
    tw::test::WaitForDisplay();

    wxApp::SetInstance(tw::test::NewTestApp());
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "Could not start the toolkit (is a display available?)\n");
        return 2;
    }
    wxInitAllImageHandlers();
    delete wxLog::SetActiveTarget(new CapturingLog);
    wxLog::SetLogLevel(wxLOG_Max);
    wxLog::EnableLogging(true);

    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBetweenTests);
    tw::test::ResetUi();

    int rc = RUN_ALL_TESTS();

    tw::SetMessageBoxHandler({});
    tw::SetFileChooserHandler({});
    processHome.reset();
    wxEntryCleanup();
    return rc;
}
