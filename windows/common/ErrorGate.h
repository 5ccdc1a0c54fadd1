// How the windows meet a failure they cannot mend, above all a database that
// refuses a statement (locked by another program, full disk, damaged file):
// the command is abandoned, the user is shown one "Error" box with the
// database's own message, one line goes to the log, and the program runs on.
//
// Every event handler that touches a store runs its work through Guarded().
// What still escapes a handler reaches the application's last net
// (ReportEscapedException), which reports it the same way once the handler
// is over.
#pragma once

#include <functional>

#include <wx/string.h>

class wxLog;
class wxWindow;

namespace tw {

// The window a message box belongs to: the active top-level window (a modal
// dialog while one is up), else the top-level window of `near`, else the
// application's main window. On GTK a box without the right parent can open
// behind the window the user works in.
wxWindow* BoxParent(wxWindow* near);

// Logs `message` at error level and shows it in one "Error" box.
void ShowError(const wxString& message, wxWindow* near);

// The same once the current event is over: for failures met inside a
// toolkit callback that must not open a modal box (a drop, a drag loop).
void ShowErrorLater(const wxString& message);

// How Guarded reports what it caught.
enum class ErrorTiming { Now, AfterEvent };

// Runs `work`. A database error (or any other exception) it throws is
// reported (ShowError, or ShowErrorLater with ErrorTiming::AfterEvent) and
// false is returned; true when `work` ran to its end.
bool Guarded(wxWindow* near, const std::function<void()>& work, ErrorTiming timing = ErrorTiming::Now);

// While one lives, what is logged at error or warning level goes to the log
// only and gets no box of its own from the program's log target: the caller
// shows the failure in its own box (the gate's own line, a store that logs
// the failure it then returns). Main thread.
class LogWithoutBox
{
public:
    LogWithoutBox();
    ~LogWithoutBox();
    LogWithoutBox(const LogWithoutBox&) = delete;
    LogWithoutBox& operator=(const LogWithoutBox&) = delete;
};

// The program's log target (the application hands it to the toolkit): the
// toolkit's own, which shows what was logged at error or warning level in a
// box once the loop is idle, except for the lines logged under a
// LogWithoutBox, which go to the standard error stream.
wxLog* NewLogTarget();

// The message of the exception being handled (call inside a catch block):
// the database's message for a database error, what() for a standard
// exception, a fixed text otherwise.
wxString CurrentExceptionMessage();

// The application's net for an exception that left an event handler: logs
// it and shows it once the handler is over; the loop runs on.
void ReportEscapedException();

} // namespace tw
