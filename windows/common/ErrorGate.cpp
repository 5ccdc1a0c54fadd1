#include "windows/common/ErrorGate.h"

#include <exception>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/window.h>
#include <wx/wxsqlite3.h>

#include "platform/UiHooks.h"

namespace tw {

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
    wxLogError("%s", message);
    tw::MessageBox(message, wxS("Error"), wxOK | wxICON_ERROR, BoxParent(near));
}

void ShowErrorLater(const wxString& message)
{
    wxLogError("%s", message);
    if (!wxTheApp)
        return;
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
