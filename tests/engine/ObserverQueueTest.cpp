// The report queue between a transfer worker and its window, and the count
// of live transfer workers: folding of reports into one event, the order of
// log texts, the outcome state, the question hand-shake across threads, and
// the worker's hold on the queue.
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/defs.h>

#include "engine/transfer/ObserverQueue.h"
#include "engine/transfer/XferWorkers.h"
#include "support/TestSupport.h"

namespace {

// Records the ids of the thread events queued on it, from any thread.
class RecordingTarget : public wxEvtHandler
{
public:
    void QueueEvent(wxEvent* event) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_ids.push_back(event->GetId());
        delete event;
    }
    std::vector<int> Ids()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_ids;
    }
    int Count(int id)
    {
        int n = 0;
        for (int i : Ids())
            n += i == id ? 1 : 0;
        return n;
    }

private:
    std::mutex m_lock;
    std::vector<int> m_ids;
};

} // namespace

TEST(ObserverQueue, ReportsFoldIntoOneEventUntilTakenAndKeepTheirOrder)
{
    RecordingTarget target;
    CXferObserverQueue queue(&target);
    queue.TransferEntry();
    queue.TransferBegin("Connecting.\n", wxTimeSpan::Seconds(75), 4096);
    queue.TransferStatus("first\n");
    queue.TransferStatus(wxEmptyString);   // nothing to log
    queue.TransferFileBegin("a.grb", 100, wxTimeSpan::Seconds(3));
    queue.TransferProgress(40, 10);
    queue.TransferFileDone("a.grb", false);
    queue.TransferStatus("last\n");
    EXPECT_EQ(target.Ids(), std::vector<int>{ID_TRANSFER_THREAD_UPDATE}) << "one event for the whole burst";

    CXferObserverQueue::Pending p = queue.Take();
    EXPECT_EQ(p.running, 1);
    EXPECT_EQ(std::vector<wxString>(p.status.begin(), p.status.end()),
              (std::vector<wxString>{"Connecting.\n", "first\n", "Retrieving 'a.grb'.\n",
                                     "Failure retrieving 'a.grb'.\r\n", "last\n"}));
    EXPECT_EQ(p.totalEstimate, "01:15");
    EXPECT_EQ(p.fileEstimate, "00:03");
    EXPECT_EQ(p.totalBytes, 4096);
    EXPECT_EQ(p.filePercent, 0) << "the file's end resets its gauge";
    EXPECT_EQ(p.totalPercent, 10);
    EXPECT_EQ(queue.State(), 3) << "running";

    // Taken: nothing is left over, and the next report posts again.
    EXPECT_TRUE(queue.Take().status.empty());
    queue.TransferElapsedTime(wxTimeSpan::Seconds(2), wxTimeSpan::Seconds(62));
    EXPECT_EQ(target.Count(ID_TRANSFER_THREAD_UPDATE), 2);
    p = queue.Take();
    EXPECT_EQ(p.fileElapsed, "00:02");
    EXPECT_EQ(p.totalElapsed, "01:02");
    EXPECT_EQ(p.running, -1);
    EXPECT_EQ(queue.Posted(), 2);
    EXPECT_EQ(queue.Taken(), 3);
    EXPECT_EQ(queue.MaxOutstanding(), 1);
}

TEST(ObserverQueue, ReportsFromManyThreadsKeepEachThreadsOrder)
{
    RecordingTarget target;
    CXferObserverQueue queue(&target);
    constexpr int kThreads = 4;
    constexpr int kTexts = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&queue, t] {
            for (int i = 0; i < kTexts; ++i)
                queue.TransferStatus(wxString::Format("%d %d", t, i));
        });
    std::vector<int> next(kThreads, 0);
    int taken = 0;
    // Taken as the window takes them: once per event posted.
    auto drain = [&] {
        if (queue.Posted() <= queue.Taken())
            return;
        for (const wxString& text : queue.Take().status) {
            long t = 0, i = 0;
            ASSERT_TRUE(text.BeforeFirst(' ').ToLong(&t) && text.AfterFirst(' ').ToLong(&i)) << text;
            EXPECT_EQ(i, next[t]) << "thread " << t;
            next[t] = static_cast<int>(i) + 1;
            ++taken;
        }
    };
    EXPECT_TRUE(tw::test::WaitFor([&] {
        drain();
        return taken >= kThreads * kTexts / 2;
    }));
    for (std::thread& t : threads)
        t.join();
    drain();
    EXPECT_EQ(taken, kThreads * kTexts) << "nothing lost";
    EXPECT_EQ(queue.MaxOutstanding(), 1) << "never a second event before the first was taken";
}

TEST(ObserverQueue, OutcomeStateOfARun)
{
    struct Case {
        const char* name;
        bool begin;
        int done;       // -1 no final report, 0 failed, 1 ok
        int expected;
    };
    const Case cases[] = {
        {"ended well", true, 1, 2},
        {"final report failed", true, 0, 1},
        {"ended before the data phase", false, -1, 1},
        {"ended in the data phase without a final report", true, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTarget target;
        CXferObserverQueue queue(&target);
        EXPECT_EQ(queue.State(), 0) << "not started";
        queue.TransferEntry();
        if (c.begin)
            queue.TransferBegin(wxEmptyString, wxTimeSpan(), 0);
        if (c.done >= 0)
            queue.TransferDone("done\n", c.done == 1);
        queue.TransferExit();
        EXPECT_EQ(queue.State(), c.expected);
        CXferObserverQueue::Pending p = queue.Take();
        EXPECT_EQ(p.running, 0) << "the end is reported";
        EXPECT_EQ(p.rate, -1) << "no worker, nothing measured";

        // A second run in the same window that fails early does not keep
        // the first one's outcome.
        queue.TransferEntry();
        queue.TransferExit();
        EXPECT_EQ(queue.State(), 1);
    }
}

TEST(ObserverQueue, QuestionsAreAnsweredAcrossThreads)
{
    RecordingTarget target;
    CXferObserverQueue queue(&target);

    std::atomic<int> answer {-1};
    std::thread asker([&] { answer = queue.TransferMessageBox(wxEmptyString, "Notice", wxYES_NO); });
    CXferObserverQueue::Pending p;
    ASSERT_TRUE(tw::test::WaitFor([&] {
        if (p.messageText.empty())
            p = queue.Take();
        return !p.messageText.empty();
    }));
    EXPECT_EQ(p.messageText, " ") << "an empty question still shows a box";
    EXPECT_EQ(p.messageCaption, "Notice");
    EXPECT_EQ(p.messageStyle, wxYES_NO);
    EXPECT_FALSE(queue.IsAnswered(p.messageId));
    EXPECT_EQ(answer.load(), -1) << "the worker waits for the answer";
    queue.Answer(p.messageId, wxNO);
    asker.join();
    EXPECT_EQ(answer.load(), wxNO);
    queue.Answer(p.messageId, wxYES);
    EXPECT_TRUE(queue.IsAnswered(p.messageId));

    // A stop answers the question now waiting, and every later one, Cancel.
    answer = -1;
    std::thread waiting([&] { answer = queue.TransferMessageBox("Resume?", "Notice", wxYES_NO); });
    ASSERT_TRUE(tw::test::WaitFor([&] { return !queue.Take().messageText.empty(); }));
    queue.CancelQuestions();
    waiting.join();
    EXPECT_EQ(answer.load(), wxCANCEL);
    EXPECT_EQ(queue.TransferMessageBox("Again?", "Notice", wxYES_NO), wxCANCEL);
}

TEST(ObserverQueue, DetachedTargetGetsNoEventsButReportsWait)
{
    RecordingTarget target;
    CXferObserverQueue queue(&target);
    queue.DetachTarget();
    queue.TransferStatus("late\n");
    queue.WorkerEnded();
    EXPECT_TRUE(target.Ids().empty());
    EXPECT_EQ(queue.Take().status.size(), 1u);
}

TEST(ObserverQueue, WorkerHoldsTheQueueAndIsCounted)
{
    ASSERT_TRUE(CFileXferWorker::WaitForWorkers(0)) << "no worker of another test is alive";
    RecordingTarget target;
    auto queue = std::make_shared<CXferObserverQueue>(&target);
    std::weak_ptr<CXferObserverQueue> held = queue;

    auto* worker = new CFileXferWorker(queue, false);
    EXPECT_EQ(CFileXferWorker::LiveWorkers(), 1);
    EXPECT_TRUE(queue->WorkerAlive());
    EXPECT_FALSE(CFileXferWorker::WaitForWorkers(20));
    EXPECT_FALSE(queue->StopWorker(false)) << "not attached yet";
    queue->SetWorker(worker);
    EXPECT_TRUE(queue->HasWorker());
    queue->TransferExit();   // the worker's last report lets go of it
    EXPECT_FALSE(queue->HasWorker());

    // The window goes first: the worker keeps the queue alive.
    queue.reset();
    EXPECT_FALSE(held.expired());
    delete worker;   // never run: its thread object is deleted at once
    EXPECT_TRUE(held.expired());
    EXPECT_EQ(CFileXferWorker::LiveWorkers(), 0);
    EXPECT_TRUE(CFileXferWorker::WaitForWorkers(0));
    EXPECT_EQ(target.Count(ID_TRANSFER_WORKER_ENDED), 1) << "the target hears of the end";
}
