#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "SettingsFixture.h"
#include "core/DownloadPreferences.h"
#include "core/ThreadHelper.h"

using namespace tw::test;

namespace {

// A job whose body is given by the test; it records its status lines and
// announces its end like the real jobs do.
class ScriptedJob : public CSimpleThreadHelper, public wxEvtHandler
{
public:
    using Body = std::function<int(ScriptedJob&)>;

    explicit ScriptedJob(Body body)
        : m_body(std::move(body))
    {
        Bind(wxEVT_THREAD, [this](wxThreadEvent& e) { result = e.GetInt(); ended = true; },
             kUpdatesExitEventId);
    }
    ~ScriptedJob() override { StopAndWait(); }

    void* Entry() override
    {
        if (gate.valid())
            gate.wait();
        JobStarted();
        const int r = m_body(*this);
        JobEnded();
        auto* e = new wxThreadEvent(wxEVT_THREAD, kUpdatesExitEventId);
        e->SetInt(r);
        wxQueueEvent(this, e);
        return nullptr;
    }

    void OutputStatusMessage(const wxString& text) override { lines.push_back(text); }

    std::shared_future<void> gate;      // when set, the job waits for it before it starts
    std::vector<wxString> lines;
    std::atomic<bool> ended{false};
    int result = -1;

private:
    Body m_body;
};

class ThreadHelperTest : public SettingsFixture
{
protected:
    ThreadHelperTest()
    {
        m_sink = new wxFrame(nullptr, wxID_ANY, "sink");
    }
    ~ThreadHelperTest() override
    {
        if (m_sink)
            m_sink->Destroy();
        Pump(10);
    }

    bool Finish(ScriptedJob& job) { return WaitFor([&] { return job.ended.load(); }, 10000); }

    wxFrame* m_sink = nullptr;
};

} // namespace

TEST_F(ThreadHelperTest, StatusLinesCoalesce)
{
    ScriptedJob job([](ScriptedJob&) { return 0; });
    job.SetEventSink(m_sink);
    job.StatusMessage("one");
    job.StatusMessage("two");
    job.StatusMessage("three");
    Pump(50);
    ASSERT_EQ(job.lines.size(), 1u);
    EXPECT_EQ(job.lines[0], "three");
}

TEST_F(ThreadHelperTest, QuestionsRoundTripToTheMainThread)
{
    const struct {
        const char* text;
        const char* caption;
        int style;
        int answer;
    } cases[] = {
        {"Replace the file?", "Confirm", wxYES_NO, wxYES},
        {"Replace the file?", "Confirm", wxYES_NO | wxCANCEL, wxCANCEL},
        {"", "Notice", wxOK, wxOK},   // an empty text is still a question
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        ResetUi();
        AnswerBox(c.answer);
        ScriptedJob job([&](ScriptedJob& self) {
            self.StatusMessage("asking");
            return self.TrMessageBox(c.text, c.caption, c.style);
        });
        job.SetEventSink(m_sink);
        ASSERT_TRUE(job.RunThread("Updates"));
        ASSERT_TRUE(Finish(job));
        EXPECT_EQ(job.result, c.answer);
        ASSERT_EQ(Ui().boxes.size(), 1u);
        EXPECT_EQ(Ui().boxes[0].message, c.text);
        EXPECT_EQ(Ui().boxes[0].caption, c.caption);
        EXPECT_EQ(Ui().boxes[0].style, c.style);
        EXPECT_EQ(Ui().boxes[0].parent, m_sink);
        ASSERT_EQ(job.lines.size(), 1u);
        EXPECT_EQ(job.lines[0], "asking");
    }

    // Error boxes answer OK whatever was pressed.
    ResetUi();
    AnswerBox(wxCANCEL);
    ScriptedJob job([](ScriptedJob& self) { return self.TrErrorBox("Disk full"); });
    job.SetEventSink(m_sink);
    ASSERT_TRUE(job.RunThread("Updates"));
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, wxOK);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Tidewright Error");
    EXPECT_TRUE(Ui().boxes[0].style & wxICON_ERROR);
}

TEST_F(ThreadHelperTest, WithoutASinkNothingIsShownAndNothingWaits)
{
    ScriptedJob job([](ScriptedJob& self) {
        self.StatusMessage("dropped");
        const int box = self.TrMessageBox("question", "Notice", wxYES_NO);
        const int error = self.TrErrorBox("error");
        return box == wxCANCEL && error == wxOK ? 1 : 0;
    });
    ASSERT_TRUE(job.RunThread("GPS"));
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, 1);
    EXPECT_TRUE(Ui().boxes.empty());
    EXPECT_TRUE(job.lines.empty());
}

TEST_F(ThreadHelperTest, StopAskedBeforeTheJobGetsGoingIsKept)
{
    std::promise<void> open;
    ScriptedJob job([](ScriptedJob& self) { return self.TestDestroy() ? 1 : 0; });
    job.gate = open.get_future().share();
    ASSERT_TRUE(job.RunThread("Updates"));
    EXPECT_TRUE(job.SignalIfActive());   // the job has not reached its first line
    open.set_value();
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, 1);
    EXPECT_EQ(job.GetRunState(), 0);
}

TEST_F(ThreadHelperTest, StopDuringTheJob)
{
    std::atomic<bool> running{false};
    ScriptedJob job([&](ScriptedJob& self) {
        running = true;
        for (int i = 0; i < 5000; ++i) {
            if (self.TestDestroy())
                return 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return 0;
    });
    EXPECT_FALSE(job.SignalIfActive());   // idle
    EXPECT_EQ(job.GetRunState(), 0);
    ASSERT_TRUE(job.RunThread("Updates"));
    ASSERT_TRUE(WaitFor([&] { return running.load(); }));
    EXPECT_TRUE(job.SignalIfActive());
    EXPECT_TRUE(job.SignalIfActive());    // asking again still reports the stop
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, 1);
    EXPECT_FALSE(job.SignalIfActive());   // idle again

    // The same object can run another job.
    job.ended = false;
    running = false;
    ASSERT_TRUE(job.RunThread("Updates"));
    ASSERT_TRUE(WaitFor([&] { return running.load(); }));
    EXPECT_TRUE(job.SignalIfActive());
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, 1);
}

TEST_F(ThreadHelperTest, ASecondRunWhileTheFirstIsAliveIsRefused)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    ScriptedJob job([&](ScriptedJob&) {
        released.wait();
        return 0;
    });
    ASSERT_TRUE(job.RunThread("Updates"));
    EXPECT_FALSE(job.RunThread("Updates"));
    EXPECT_EQ(job.LastError(), "Could not create the Updates worker thread [wxTHREAD_RUNNING].");
    release.set_value();
    ASSERT_TRUE(Finish(job));
}

TEST_F(ThreadHelperTest, NoHangWhenTheSinkGoesAway)
{
    std::atomic<bool> asking{false};
    ScriptedJob job([&](ScriptedJob& self) {
        asking = true;
        const int first = self.TrMessageBox("Still there?", "Message", wxYES_NO);
        const int second = self.TrMessageBox("And now?", "Message", wxYES_NO);
        return first == wxCANCEL && second == wxCANCEL ? 1 : 0;
    });
    job.SetEventSink(m_sink);
    ASSERT_TRUE(job.RunThread("Updates"));
    // Let the question reach the sink's queue without handling it.
    while (!asking)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    delete m_sink;
    m_sink = nullptr;
    EXPECT_EQ(job.GetEventSink(), nullptr);
    ASSERT_TRUE(Finish(job));
    EXPECT_EQ(job.result, 1);
    EXPECT_TRUE(Ui().boxes.empty());
}

TEST_F(ThreadHelperTest, DestroyingTheJobAnswersItsPendingQuestion)
{
    std::atomic<bool> asking{false};
    std::atomic<int> answer{-1};
    auto job = std::make_unique<ScriptedJob>([&](ScriptedJob& self) {
        asking = true;
        answer = self.TrMessageBox("Waiting", "Message", wxOK);
        return 0;
    });
    job->SetEventSink(m_sink);
    ASSERT_TRUE(job->RunThread("Updates"));
    while (!asking)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    job.reset();   // stops and joins the worker
    EXPECT_EQ(answer.load(), wxCANCEL);
    Pump(20);      // the status event left in the sink's queue finds nothing to do
    EXPECT_TRUE(Ui().boxes.empty());
}

TEST_F(ThreadHelperTest, TranslatedThreadErrors)
{
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {wxTHREAD_NO_ERROR, "wxTHREAD_NO_ERROR"}, {wxTHREAD_NO_RESOURCE, "wxTHREAD_NO_RESOURCE"},
        {wxTHREAD_RUNNING, "wxTHREAD_RUNNING"}, {wxTHREAD_NOT_RUNNING, "wxTHREAD_NOT_RUNNING"},
        {wxTHREAD_KILLED, "wxTHREAD_KILLED"}, {wxTHREAD_MISC_ERROR, "wxTHREAD_MISC_ERROR"},
        {42, "(unknown error)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSimpleThreadHelper::TranslateThreadError(c.code), c.name);
}

// Workers and the main thread writing the settings file at once: every
// writer's group survives and the file stays whole.
TEST_F(ThreadHelperTest, ConcurrentWritersKeepEveryGroup)
{
    constexpr int kWriters = 6;
    constexpr int kRounds = 25;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([w] {
            for (int r = 0; r < kRounds; ++r) {
                {
                    CUserConfig file;
                    file.WriteInt(wxString::Format("Writer%d/round", w), r);
                    file.WriteDouble(wxString::Format("Writer%d/value", w), w + r / 4.0);
                }
                if (w % 3 == 0) {
                    CRegistry reg;
                    reg.m_readme = wxString::Format("w%d", w);
                    reg.WriteInfo();
                } else if (w % 3 == 1) {
                    DLPrefs prefs;
                    prefs.HomeLocation_ContentBox = 10 + w;
                    prefs.WriteRegistry();
                } else {
                    CRegistry reg;
                    reg.SetTransferRate(1000 + r);
                }
            }
        });
    }
    for (int r = 0; r < kRounds; ++r) {
        CUserConfig file;
        file.WriteInt("General/BasicHome", r);
    }
    for (auto& t : writers)
        t.join();

    ClearLog();
    auto file = Raw();
    EXPECT_TRUE(CapturedLog().empty()) << "the file did not parse cleanly";
    for (int w = 0; w < kWriters; ++w) {
        wxString round;
        ASSERT_TRUE(file->Read(wxString::Format("Writer%d/round", w), &round)) << w;
        EXPECT_EQ(round, wxString::Format("%d", kRounds - 1));
    }
    for (const char* group : {"General", "Gateway", "Connection", "Misc", "GRIB", "WxChart", "WxForecast",
                              "Satellite", "OceanData", "FishingData", "HomeLocation", "GPS", "WizPrefs"})
        EXPECT_TRUE(file->HasGroup(group)) << group;
    wxString basicHome;
    file->Read("General/BasicHome", &basicHome);
    EXPECT_EQ(basicHome, wxString::Format("%d", kRounds - 1));
}
