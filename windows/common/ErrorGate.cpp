#include "windows/common/ErrorGate.h"

#include <exception>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/thread.h>
#include <wx/toplevel.h>
#include <wx/window.h>
#include <wx/wxsqlite3.h>

#include "platform/UiHooks.h"

namespace tw {

namespace {

// How many LogWithoutBox live on the main thread.
int g_withoutBox = 0;

class ProgramLog : public wxLogGui
{
protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override
    {
        const bool failure = level == wxLOG_Error || level == wxLOG_Warning;
        if (failure && g_withoutBox > 0 && wxThread::IsMain())
            wxLog::DoLogRecord(level, msg, info);   // formatted, to DoLogText
        else
            wxLogGui::DoLogRecord(level, msg, info);
    }
    void DoLogText(const wxString& line) override { wxMessageOutputStderr().Output(line); }
};

} // namespace

LogWithoutBox::LogWithoutBox()
{
    if (wxThread::IsMain())
        ++g_withoutBox;
}

LogWithoutBox::~LogWithoutBox()
{
    if (wxThread::IsMain())
        --g_withoutBox;
}

wxLog* NewLogTarget()
{
    return new ProgramLog;
}

wxWindow* BoxParent(wxWindow* near)
{
    if (wxWindow* active = wxGetActiveWindow())
        if (wxWindow* top = wxGetTopLevelParent(active))
            return top;
    if (near)
        if (wxWindow* top = wxGetTopLevelParent(near))
            return top;
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

void ShowError(const wxString& message, wxWindow* near)
{
    {
        const LogWithoutBox boxFollows;
        wxLogError("%s", message);
    }
    tw::MessageBox(message, wxS("Error"), wxOK | wxICON_ERROR, BoxParent(near));
}

void ShowErrorLater(const wxString& message)
{
    if (!wxTheApp) {
        wxLogError("%s", message);
        return;
    }
    {
        const LogWithoutBox boxFollows;
        wxLogError("%s", message);
    }
    wxTheApp->CallAfter([message] { tw::MessageBox(message, wxS("Error"), wxOK | wxICON_ERROR, BoxParent(nullptr)); });
}

wxString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const wxSQLite3Exception& e) {
        return e.GetMessage();
    } catch (const std::exception& e) {
        return wxString::FromUTF8(e.what());
    } catch (...) {
        return wxS("An unexpected error ended the command.");
    }
}

bool Guarded(wxWindow* near, const std::function<void()>& work, ErrorTiming timing)
{
    try {
        work();
        return true;
    } catch (...) {
        const wxString message = CurrentExceptionMessage();
        if (timing == ErrorTiming::AfterEvent)
            ShowErrorLater(message);
        else
            ShowError(message, near);
        return false;
    }
}

void ReportEscapedException()
{
    ShowErrorLater(CurrentExceptionMessage());
}

} // namespace tw
