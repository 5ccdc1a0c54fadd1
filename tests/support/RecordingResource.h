// A job as the protocol, update and dialer clients see it (IThreadResource):
// it records status lines, questions and error boxes, answers questions from
// a script (wxCANCEL once the script is used up) and can be told to stop, at
// once or after a number of checks. Safe to use from a worker thread.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include <wx/defs.h>
#include <wx/string.h>

#include "core/ThreadHelper.h"

namespace tw::test {

class RecordingResource : public IThreadResource
{
public:
    bool TestDestroy() override { return stop || (stopAfter >= 0 && ++checks > stopAfter); }
    void StatusMessage(const wxString& text) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        statuses.push_back(text);
    }
    int TrMessageBox(const wxString& text, const wxString& caption, int style) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        questions.push_back(text);
        captions.push_back(caption);
        styles.push_back(style);
        if (answers.empty())
            return wxCANCEL;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int TrErrorBox(const wxString& text) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        errors.push_back(text);
        return wxOK;
    }

    // The status lines so far, taken under the lock (while a worker runs).
    std::vector<wxString> Statuses()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return statuses;
    }

    std::atomic<bool> stop {false};
    int stopAfter = -1;            // TestDestroy turns true after this many checks
    std::atomic<int> checks {0};
    std::vector<wxString> statuses;
    std::vector<wxString> questions;
    std::vector<wxString> captions;
    std::vector<int> styles;
    std::vector<wxString> errors;
    std::deque<int> answers;

private:
    std::mutex m_lock;
};

} // namespace tw::test
