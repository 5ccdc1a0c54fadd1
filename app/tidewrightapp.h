// The application object.
#pragma once

#include <wx/app.h>

class TidewrightApp : public wxApp
{
public:
    TidewrightApp();
    bool OnInit() override;
    int OnExit() override;
};

wxDECLARE_APP(TidewrightApp);
