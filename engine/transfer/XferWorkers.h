// The transfer worker a transfer window starts, and the count of such
// workers alive in the program.
//
// A worker holds its window's report queue until its thread object is
// deleted, so that a report that is under way when the window goes still
// finds the queue. Its deletion (on its own thread) is counted out and then
// posts ID_TRANSFER_WORKER_ENDED to the queue's target.
#pragma once

#include <memory>

#include "engine/transfer/ObserverQueue.h"
#include "engine/transfer/XferSocket.h"

class CFileXferWorker : public CXferSocketThread
{
public:
    CFileXferWorker(std::shared_ptr<CXferObserverQueue> queue, bool compressionDisabled);
    ~CFileXferWorker() override;

    // Workers whose thread object has not been deleted yet, in the whole program.
    static int LiveWorkers();
    // Waits (without running events) until every worker has ended; false
    // when some still run after `timeoutMs`.
    static bool WaitForWorkers(int timeoutMs);

private:
    std::shared_ptr<CXferObserverQueue> m_queue;
};
