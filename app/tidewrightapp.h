// The application object.
#pragma once

#include <wx/app.h>

// Each group of members below is kept by the code that implements it; add to
// a group with a small edit rather than rewriting the file.
class TidewrightApp : public wxApp
{
public:
    TidewrightApp();
    bool OnInit() override;
    int OnExit() override;

    // --- start-up, shutdown, window modes, databases, catalogue (tidewrightapp.cpp)

    // --- position text (PositionText.cpp)

    // --- local file resolution and viewer paths (LocalFiles.cpp)

    // --- dialer program launch and dialer version (AutoDialer.cpp)

    // --- transfer orchestration (FileTransfer.cpp)
};

wxDECLARE_APP(TidewrightApp);
