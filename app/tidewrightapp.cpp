#include "app/tidewrightapp.h"

#include <wx/frame.h>

wxIMPLEMENT_APP_NO_MAIN(TidewrightApp);

TidewrightApp::TidewrightApp() = default;

bool TidewrightApp::OnInit()
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, wxS("Tidewright"), wxDefaultPosition, wxSize(800, 600));
    frame->Show();
    SetTopWindow(frame);
    return true;
}

int TidewrightApp::OnExit()
{
    return wxApp::OnExit();
}
