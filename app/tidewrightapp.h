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
    // Text form of a position: "%3.2f" of the absolute value and a hemisphere
    // letter; the longitude comes first.
    static void FormatPosition(double lon, double lat, wxString& lonText, wxString& lonHemisphere,
                               wxString& latText, wxString& latHemisphere);
    static void UnFormatPosition(double& lon, double& lat, const wxString& lonHemisphere,
                                 const wxString& latHemisphere);
    static void UnFormatPosition(double& lon, double& lat, const wxString& lonText, const wxString& latText,
                                 const wxString& lonHemisphere, const wxString& latHemisphere);

    // --- editions and service login (Registry.cpp)
    static bool IsRace(class CRegistry& settings);
    static bool IsRace();
    static bool IsInstalledEventVersion();
    static bool MakeEventNameUserPrefix(wxString& prefix, class CRegistry& settings);
    static bool GetLoginNameAndPassword(class CRegistry& settings, wxString& login, wxString& password);

    // --- local file resolution and viewer paths (LocalFiles.cpp)

    // --- dialer program launch and dialer version (AutoDialer.cpp)

    // --- transfer orchestration (FileTransfer.cpp)
};

wxDECLARE_APP(TidewrightApp);
