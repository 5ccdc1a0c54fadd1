#include "engine/transfer/XferWorkers.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// Transfer workers alive in the program.
std::mutex g_liveLock;
std::condition_variable g_liveCond;
int g_live = 0;

} // namespace

CFileXferWorker::CFileXferWorker(std::shared_ptr<CXferObserverQueue> queue, bool compressionDisabled)
    : CXferSocketThread(queue.get(), compressionDisabled), m_queue(std::move(queue))
{
    m_queue->WorkerStarted();
    std::lock_guard<std::mutex> lock(g_liveLock);
    ++g_live;
}

CFileXferWorker::~CFileXferWorker()
{
    {
        std::lock_guard<std::mutex> lock(g_liveLock);
        --g_live;
        g_liveCond.notify_all();
    }
    // Counted out first: the window's exit event finds no live worker.
    m_queue->WorkerEnded();
    m_queue.reset();
}

int CFileXferWorker::LiveWorkers()
{
    std::lock_guard<std::mutex> lock(g_liveLock);
    return g_live;
}

bool CFileXferWorker::WaitForWorkers(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(g_liveLock);
    return g_liveCond.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)), [] { return g_live == 0; });
}
