// Helpers shared by every test program: a private home folder per test, a
// captured log, scripted answers to message boxes and file choosers, and
// event pumping for window tests under Xvfb.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/string.h>

#include "platform/UiHooks.h"

namespace tw::test {

// A fresh, empty HOME (with XDG folders inside it, the runtime folder
// included) for the lifetime of the object; the previous environment comes
// back on destruction.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const wxString& Path() const { return m_path; }
    wxString DataHome() const;      // $XDG_DATA_HOME
    wxString ConfigHome() const;    // $XDG_CONFIG_HOME
    wxString Documents() const;     // $XDG_DOCUMENTS_DIR

private:
    wxString m_path;
    std::vector<std::pair<std::string, std::string>> m_saved;
    std::vector<std::string> m_unset;
};

// Makes a fresh temporary folder; removed with its content on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const wxString& Path() const { return m_path; }
    wxString operator/(const wxString& name) const;

private:
    wxString m_path;
};

// Every log message since the program started or since ClearLog().
struct LogEntry {
    unsigned long level;   // wxLogLevel
    wxString text;
};
std::vector<LogEntry> CapturedLog();
void ClearLog();
bool LogContains(const wxString& fragment);

// Message boxes and file choosers asked for by the code under test. Answers
// queued with Answer…() are taken in order; with none queued a message box is
// answered wxOK (wxNO for yes/no questions, wxCANCEL when offered) and a file
// chooser is cancelled.
struct UiScript {
    std::vector<MessageBoxRequest> boxes;
    std::vector<FileChooserRequest> choosers;
    std::deque<int> boxAnswers;
    std::deque<wxString> chooserAnswers;
};
UiScript& Ui();           // the process-wide script (reset before every test)
void ResetUi();
void AnswerBox(int answer);
void AnswerChooser(const wxString& path);
bool BoxShown(const wxString& fragment);

// Runs the event loop until pred() holds or the timeout passes; returns pred().
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs pending events for about the given time.
void Pump(int ms = 50);
// Runs the toolkit's own event loop, as the program's main loop runs, until
// the application has been idle twice (what the first idle pass shows, such
// as the log's boxes, has been shown) or the timeout passes; returns whether
// it got that far. Unlike Pump, idle work runs, and an exception that leaves
// a queued event comes out here.
bool RunLoopUntilIdle(int timeoutMs = 3000);

// The text a call fails with, for "this call fails with this text": the
// std::string it throws (the protocol failures), or the GetErrorText() of an
// `Error` it throws (the socket failures), as UTF-8; kNoFailure when the call
// returns. Anything else it throws goes on to the test.
inline const std::string kNoFailure = "(the call returned)";
struct NoOtherError {
    wxString GetErrorText() const { return wxString(); }
};
template <class Error = NoOtherError, class Call>
std::string FailureText(Call&& call)
{
    try {
        call();
    } catch (const std::string& text) {
        return text;
    } catch (const Error& error) {
        return std::string(error.GetErrorText().utf8_str());
    }
    return kNoFailure;
}

// Real windows on the test's display, found by their exact title through
// xdotool (callable from a helper thread while the main thread runs a modal
// box): whether such a window is mapped within timeoutMs; and Escape typed
// on it through the XTest extension, a few times if need be, until it is
// gone (false when it stays or never came).
bool WindowShown(const std::string& title, int timeoutMs);
bool EscapeOnWindow(const std::string& title);

// Saves a picture of a shown window as PNG (for looking at during development).
bool Screenshot(class wxWindow* window, const wxString& path);

// The build's resources folder (seed databases, images, defaults file).
wxString ResourcesDir();
// The source tree (for test fixtures kept under tests/).
wxString SourceDir();

// A database file, outside the code under test: runs statements on it
// (creating it when missing), and reads the first column of a query's first
// row as an int (`missing` without a row) or of every row as text.
void Exec(const wxString& path, const wxString& sql);
int QueryInt(const wxString& path, const wxString& sql, int missing = -1);
std::vector<wxString> QueryTexts(const wxString& path, const wxString& sql);

// Reads/writes a whole file as bytes.
std::string ReadFile(const wxString& path);
bool WriteFile(const wxString& path, const std::string& bytes);

} // namespace tw::test
