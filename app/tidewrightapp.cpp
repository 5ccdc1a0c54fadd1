// The application object: start-up, shutdown, the main window of each view
// mode, the home records and the help.
#include "app/tidewrightapp.h"

#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <thread>
#include <unistd.h>

#include <wx/dcmemory.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/font.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/snglinst.h>
#include <wx/socket.h>
#include <wx/splash.h>
#include <wx/sysopt.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "model/BasicBatch.h"
#include "model/BatchDB.h"
#include "windows/library/BatchDialog.h"
#include "windows/library/BatchDialogRules.h"
#include "windows/library/ListRows.h"
#include "windows/library/batchwindow.h"
#include "platform/Help.h"
#include "platform/Locations.h"
#include "platform/Restart.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/basic/basicwindow.h"
#include "windows/portal/loadwindow.h"
#include "windows/transfer/filexfer.h"

wxIMPLEMENT_APP_NO_MAIN(TidewrightApp);

const wxString& TidewrightApp::kModeBasic = tw::kModeBasic;
const wxString& TidewrightApp::kModeLibrary = tw::kModeLibrary;
const wxString& TidewrightApp::kModePortal = tw::kModePortal;

namespace {

const wxString kVersionText = wxS("3.05");
constexpr double kFirstRunLat = 47.4019;
constexpr double kFirstRunLon = -122.323;
constexpr int kFirstRunContentBox = 15;

const long kResizableFrame =
    wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER;
const long kFixedFrame = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX;

bool UnderTest()
{
    const char* v = std::getenv("TIDEWRIGHT_TESTING");
    return v && *v && std::strcmp(v, "0") != 0;
}

// The main window of a view mode ("LoadWindow", "Basic", anything else the
// Library window).
wxFrame* CreateMainWindow(const wxString& mode)
{
    if (mode == TidewrightApp::kModePortal)
        return new LoadWindow(nullptr, ID_LOADWINDOW, _("TALVO Tidewright"), wxDefaultPosition, wxSize(1000, 726),
                              kFixedFrame);
    if (mode == TidewrightApp::kModeBasic)
        return new BasicWindow(nullptr, ID_BASICWINDOW, _("Basic Window"), wxDefaultPosition, wxSize(800, 800),
                               kResizableFrame);
    return new BatchWindow(nullptr, ID_BATCHWINDOW, _("Library Window"), wxDefaultPosition, wxSize(800, 600),
                           kResizableFrame);
}

// Decodes the world maps on threads of their own while start-up goes on
// with the splash screen, the databases and the catalogue; the application
// takes the bitmaps at their own step, so nothing sees them earlier. The
// two maps are large (4096 x 2048), and decoding them was a fifth of the
// start-up. On GTK 3 a bitmap made from a picture is a plain pixel buffer:
// the toolkit allocates a pixbuf and copies the pixels, with no call to the
// display, so the thread makes the bitmap too; elsewhere the bitmap is made
// on the main thread when it is taken. A picture that does not load leaves
// its bitmap empty.
class WorldMapDecoder
{
public:
    explicit WorldMapDecoder(std::initializer_list<const char*> files)
    {
        for (const char* file : files)
            m_maps.push_back(std::make_unique<Map>(file));
    }
    WorldMapDecoder(const WorldMapDecoder&) = delete;
    WorldMapDecoder& operator=(const WorldMapDecoder&) = delete;
    ~WorldMapDecoder()
    {
        for (auto& m : m_maps)
            m->Join();
    }

    // The bitmap of picture `index` (waits for its decoding).
    wxBitmap Bitmap(size_t index)
    {
        Map& m = *m_maps.at(index);
        m.Join();
        if (!m.bitmap.IsOk() && m.image.IsOk())
            m.bitmap = wxBitmap(m.image);
        m.image = wxImage();
        return m.bitmap;
    }

private:
    struct Map {
        explicit Map(const char* file)
            : thread([this, name = wxString(file)] {
                  wxLogNull quiet;
                  if (!image.LoadFile(name, wxBITMAP_TYPE_PNG))
                      return;
#ifdef __WXGTK3__
                  bitmap = wxBitmap(image);
                  image = wxImage();
#endif
              })
        {
        }
        void Join()
        {
            if (thread.joinable())
                thread.join();
        }
        wxImage image;
        wxBitmap bitmap;
        std::thread thread;   // last: starts once the others exist
    };
    std::vector<std::unique_ptr<Map>> m_maps;
};

} // namespace

TidewrightApp::TidewrightApp()
{
    if (UnderTest())
        splashTimeoutMs = 0;
    // The windows reach the application through the shell.
    tw::InstallShell(this);
    // The batch store finds the items of stored batches in this catalogue.
    CBatchFolder::Instance()->SetCatalogue(&m_catalogueIndex);
    // The GPS reader reads the preferences in place and reloads the home
    // position through us after a fix.
    gpsQuery.SetHost(&dlPrefs, [this] { UpdateHomePosition(); });
}

TidewrightApp::~TidewrightApp()
{
    if (CBatchFolder::Instance()->GetCatalogue() == &m_catalogueIndex)
        CBatchFolder::Instance()->SetCatalogue(nullptr);
    CloseDatabases();
    TerminateAutodialerStatus();
    instanceChecker.reset();
    tw::Shell* installed = tw::InstallShell(nullptr);
    if (installed != this)
        tw::InstallShell(installed);
}

bool TidewrightApp::OnInit()
{
    // The base class's initialisation is not called: the program takes no
    // command line.
    // The log shows in a box what no window has shown in its own.
    delete wxLog::SetActiveTarget(tw::NewLogTarget());
    if (!Startup())
        return false;
    InstallTerminationSignals();
    return true;
}

bool TidewrightApp::OnExceptionInMainLoop()
{
    tw::ReportEscapedException();
    return true;
}

void TidewrightApp::RecordViewMode()
{
    CUserConfig file;
    file.WriteText("General/DefaultView", viewMode);
    file.Flush();
}

// ---------------------------------------------------------------- termination signals

namespace {

const int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT};
// The other windows get this long to close before the main window is closed anyway,
// and the main window as long again before the program saves and ends.
constexpr int kSignalCloseTickMs = 50;
constexpr int kSignalCloseTicks = 100;

// Called by the toolkit on the main loop, after the signal.
void OnTerminationSignal(int)
{
    // From now on a signal ends the program at once. (The toolkit's own
    // table of handlers is not touched: it is being walked right now.)
    for (int sig : kTerminationSignals)
        std::signal(sig, SIG_DFL);
    wxGetApp().CloseOnSignal();
}

} // namespace

void TidewrightApp::InstallTerminationSignals()
{
    for (int sig : kTerminationSignals) {
        SetSignalHandler(sig, OnTerminationSignal);
        // A second signal that comes before the first is handled takes the
        // default action: it ends the program.
        struct sigaction action;
        if (sigaction(sig, nullptr, &action) == 0) {
            action.sa_flags |= SA_RESETHAND;
            sigaction(sig, &action, nullptr);
        }
    }
}

void TidewrightApp::CloseOnSignal()
{
    if (m_signalCloseTimer)
        return;
    // A message box on screen is closed as its close box would close it, and
    // none is shown any more: a question is answered Cancel, so nothing is
    // done that only an explicit Yes may do.
    tw::DismissMessageBoxes(true);
    m_signalCloseTicks = 0;
    m_signalMainClosed = false;
    m_signalClosed.clear();
    m_signalCloseTimer = std::make_unique<wxTimer>();
    m_signalCloseTimer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { SignalCloseStep(); });
    m_signalCloseTimer->Start(kSignalCloseTickMs);
    SignalCloseStep();
}

void TidewrightApp::SignalCloseStep()
{
    ++m_signalCloseTicks;
    if (!m_signalMainClosed) {
        // First every other window that is up, as its close box would close
        // it: a dialog's caller then returns. The transfer window stops its
        // transfer, places what arrived and hands the outcome to the window
        // that asked for it before it goes; it is waited for until it is
        // gone, hidden as it is meanwhile.
        std::vector<wxWindow*> open;
        for (wxWindow* window : wxTopLevelWindows) {
            if (window == topWindow || window->IsBeingDeleted())
                continue;
            if (window->IsShown() || dynamic_cast<FileXfer*>(window))
                open.push_back(window);
        }
        if (!open.empty() && m_signalCloseTicks < kSignalCloseTicks) {
            for (wxWindow* window : open) {
                if (std::find(m_signalClosed.begin(), m_signalClosed.end(), window) != m_signalClosed.end())
                    continue;   // asked once
                m_signalClosed.push_back(window);
                window->Close();
            }
            return;
        }
        // Then the main window, as its close box does; the loop ends when
        // it is gone, and OnExit saves.
        m_signalMainClosed = true;
        m_signalCloseTicks = 0;
        if (topWindow)
            topWindow->Close();
        else
            ExitMainLoop();
        return;
    }
    // A window that does not close must not keep the program alive: save
    // and end.
    if (m_signalCloseTicks >= kSignalCloseTicks) {
        m_signalCloseTimer->Stop();
        wxLogWarning("The program did not close in time after a termination signal; it ends now.");
        Shutdown();
        std::_Exit(0);
    }
}

int TidewrightApp::OnExit()
{
    Shutdown();
    return wxApp::OnExit();
}

// ---------------------------------------------------------------- start-up

void TidewrightApp::AbandonStartup()
{
    if (splashScreen) {
        splashScreen->Hide();
        splashScreen->Destroy();
    }
    splashScreen = nullptr;
    if (topWindow) {
        topWindow->Destroy();
        topWindow = nullptr;
    }
    CloseDatabases();
    instanceChecker.reset();
}

bool TidewrightApp::Startup()
{
    // 1. One instance per user.
    tw::ApplyAppIdentity();
    instanceChecker = std::make_unique<wxSingleInstanceChecker>();
    instanceChecker->Create(InstanceLockName(), InstanceLockDir());
    if (instanceChecker->IsAnotherRunning()) {
        wxLogError(_("Another %s program instance is already running. Exiting."), GetAppName());
        instanceChecker.reset();
        return false;
    }

    // 2, 3. The settings as they are now (the preferences too: the object may
    // have been made long before this start).
    CRegistry settings;
    dlPrefs = DLPrefs();
    transferRate = -1;
    dialerVersion = 3.76;
    dialerVersionKnown = false;

    // 4. Every window in the small variant.
    wxSystemOptions::SetOption("window-default-variant", 1);

    // 5. Folders and seed databases.
    if (!CInit::InitializeAppFolders()) {
        AbandonStartup();
        return false;
    }

    // 6. Image handlers (adding one that exists already changes nothing).
    wxImage::AddHandler(new wxXPMHandler);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxJPEGHandler);
    wxImage::AddHandler(new wxGIFHandler);
    wxImage::AddHandler(new wxICOHandler);
    // The world maps (step 12) are decoded from here on, beside the steps
    // before them.
    WorldMapDecoder worldMaps({"res/WorldmapTiff.PNG", "res/WorldmapTiffAnti.PNG"});

    // 7, 8. Splash screen with the version drawn on it.
    ShowSplash();
    Yield(true);

    // 9. The stored view mode.
    CInit::InitializeAppSettings(settings, viewMode);

    // 10. Sockets and the dialer version query (answered later).
    if (!wxSocketBase::Initialize()) {
        tw::MessageBox("Socket initialization failed.", "Notice", wxOK | wxICON_ERROR);
    } else {
        QueryAutodialerStatus(settings, settings.IsAutoDialer() ? settings.m_dunInfo.connection
                                                                : wxString(wxS("Dezavuviv Odirir")));
    }

    // 11. Databases and catalogue.
    if (!InitDB(settings)) {
        if (settings.IsAutoDialer())
            TerminateAutodialerStatus();
        AbandonStartup();
        return false;
    }

    // 12. World maps (missing ones leave the maps empty).
    worldMapBitmap = worldMaps.Bitmap(0);
    worldMapAntiBitmap = worldMaps.Bitmap(1);

    // 13. Home position.
    UpdateHomePosition();

    // 14. First run: no known view mode stored.
    firstRun = false;
    if (viewMode != kModeLibrary && viewMode != kModeBasic && viewMode != kModePortal) {
        viewMode = kModePortal;
        firstRun = true;
        dlPrefs.SetDefaults();
        homePosition.lat = kFirstRunLat;
        homePosition.lon = kFirstRunLon;
        dlPrefs.HomeLocation_ContentBox = kFirstRunContentBox;
        dlPrefs.HomeLocation_CityLat = kFirstRunLat;
        dlPrefs.HomeLocation_CityLon = kFirstRunLon;
        dlPrefs.HomeLocation_GPSLat = kFirstRunLat;
        dlPrefs.HomeLocation_GPSLon = kFirstRunLon;
        dlPrefs.HomeLocation_ManualLat = kFirstRunLat;
        dlPrefs.HomeLocation_ManualLon = kFirstRunLon;
        dlPrefs.WriteRegistry();
    }

    // 15. The main window of the mode.
    try {
        topWindow = CreateMainWindow(viewMode);
        SetTopWindow(topWindow);
        topWindow->Show();
        if (viewMode != kModePortal && viewMode != kModeBasic) {
            long basicHome = 0;
            {
                CUserConfig file;
                basicHome = file.ReadLong("General/BasicHome", 0);
            }
            if (basicHome != 0) {
                double lat = basicHomePosition.lat;
                double lon = basicHomePosition.lon;
                int width = basicHomePosition.width;
                basicHomePosition.valid = tw::basic::ReadBasicArea(GetUserDb(), lat, lon, width);
                basicHomePosition.lat = lat;
                basicHomePosition.lon = lon;
                basicHomePosition.width = width;
            }
        }
    } catch (const wxSQLite3Exception& e) {
        wxLogError("%s", e.GetMessage());
        if (settings.IsAutoDialer())
            TerminateAutodialerStatus();
        AbandonStartup();
        return false;
    } catch (...) {
        wxLogError("Unknown exception during initialization.");
        if (settings.IsAutoDialer())
            TerminateAutodialerStatus();
        AbandonStartup();
        return false;
    }

    // 16. The splash goes (it may have timed out and gone already).
    if (splashScreen) {
        splashScreen->Hide();
        splashScreen->Destroy();
    }
    splashScreen = nullptr;

    // 17. GPS polling, when GPS is the home source.
    gpsQuery.StartQuery(true);
    return true;
}

void TidewrightApp::ShowSplash()
{
    splashScreen = nullptr;
    if (splashTimeoutMs <= 0)
        return;
    wxBitmap bitmap;
    {
        wxLogNull quiet;
        if (!bitmap.LoadFile(wxS("res") + wxString(wxFILE_SEP_PATH) + wxS("LaunchScreen.bmp"), wxBITMAP_TYPE_BMP))
            return;
    }
    {
        wxMemoryDC dc(bitmap);
        dc.SetFont(wxFont(11, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD));
        dc.SetTextForeground(wxColour(95, 98, 103));
        dc.DrawText(wxS("Version ") + kVersionText, 148, 102);
        dc.SelectObject(wxNullBitmap);
    }
    splashScreen = new wxSplashScreen(bitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, splashTimeoutMs,
                                      nullptr, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                      wxSIMPLE_BORDER | wxSTAY_ON_TOP);
}

// ---------------------------------------------------------------- shutdown

void TidewrightApp::Shutdown()
{
    m_signalCloseTimer.reset();
    gpsQuery.StopQuery();

    // Saved (and written to disk) before anything else: a restarted
    // instance must find them.
    {
        CUserConfig file;
        file.WriteText("General/DefaultView", viewMode);
        file.WriteLong("General/BasicHome", basicHomePosition.valid ? 1 : 0);
        file.Flush();
    }

    CloseDatabases();

    // The lock goes before a restart is arranged, so the new instance is
    // not turned away as a second one.
    instanceChecker.reset();

    if (restartRequested) {
        restartRequested = false;
        const wxString executable = restartExecutable.empty() ? tw::CurrentExecutable() : restartExecutable;
        const long pid = tw::ScheduleRestart(executable, restartWaitPid);
        if (pid <= 0)
            wxLogWarning("wxExecute returned %d for executable path %s", static_cast<int>(pid), executable);
    }
}

// ---------------------------------------------------------------- view modes

void TidewrightApp::ChangeWindowMode(const wxString& mode)
{
    viewMode = mode;
    if (mode != kModeBasic && mode != kModeLibrary && mode != kModePortal)
        return;
    if (topWindow) {
        topWindow->Hide();
        topWindow->Destroy();
    }
    topWindow = CreateMainWindow(mode);
    SetTopWindow(topWindow);
    topWindow->Show();
}

// ---------------------------------------------------------------- home records

void TidewrightApp::UpdateHomePosition()
{
    CUserConfig file;
    homePosition.valid = file.ReadBool("GPS/PlotHome", true);
    homePosition.useLastGps = file.ReadBool("HomeLocation/UseLastGPS", true);
    const long source = file.ReadLong("HomeLocation/Source", -1);
    homePosition.width = file.ReadInt("HomeLocation/ContentBox", 20);
    switch (source) {
    case 0:
        homePosition.lat = file.ReadDouble("HomeLocation/GPSLat", -1.0);
        homePosition.lon = file.ReadDouble("HomeLocation/GPSLon", -1.0);
        break;
    case 1:
        homePosition.lat = file.ReadDouble("HomeLocation/CityLat", -1.0);
        homePosition.lon = file.ReadDouble("HomeLocation/CityLon", -1.0);
        break;
    case 2:
        homePosition.lat = file.ReadDouble("HomeLocation/ManualLat", -1.0);
        homePosition.lon = file.ReadDouble("HomeLocation/ManualLon", -1.0);
        break;
    default:
        break;
    }
}

void TidewrightApp::SetBasicHomePosition(double lat, double lon, int width)
{
    basicHomePosition.lat = lat;
    basicHomePosition.lon = lon;
    basicHomePosition.width = width;
    basicHomePosition.valid = true;
}

void TidewrightApp::ClearBasicHomePosition()
{
    basicHomePosition.valid = false;
}

bool TidewrightApp::HasBasicHomePosition() const
{
    return basicHomePosition.valid;
}

bool TidewrightApp::GetBasicHomePosition(HomePosition& out) const
{
    if (basicHomePosition.valid) {
        out.lat = basicHomePosition.lat;
        out.lon = basicHomePosition.lon;
        out.width = basicHomePosition.width;
    }
    out.valid = basicHomePosition.valid;
    return basicHomePosition.valid;
}

void TidewrightApp::ShowHelpViewer(__help_section_id /*section*/)
{
    // The window the user asked from (a modal transfer window included).
    wxWindow* parent = wxGetActiveWindow();
    parent = parent ? wxGetTopLevelParent(parent) : topWindow;
    const wxString page = tw::HelpIndexPath();
    if (!wxFileExists(page)) {
        tw::MessageBox(wxS("The user guide is not installed."), wxS("Notice"), wxOK | wxICON_INFORMATION, parent);
        return;
    }
    if (!tw::ShowHelp())
        tw::MessageBox(wxS("The user guide could not be opened: no program to show ") + page + wxS(" could be started."),
                       wxS("Notice"), wxOK | wxICON_ERROR, parent);
}

// ---------------------------------------------------------------- single instance

wxString TidewrightApp::InstanceLockName()
{
    return wxString(tw::kAppName) + wxS("-") + wxGetUserId();
}

wxString TidewrightApp::InstanceLockDir()
{
    // The session's runtime folder when it is usable; it is private to the
    // user and emptied at log-out, so a stale lock cannot outlive the session.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && wxDirExists(wxString::FromUTF8(runtime)) &&
        access(runtime, W_OK | X_OK) == 0) {
        wxString dir = wxString::FromUTF8(runtime);
        while (dir.length() > 1 && dir.EndsWith(wxS("/")))
            dir.RemoveLast();
        return dir;
    }
    // Otherwise the folder of the settings file.
    const wxString dir = wxFileName(CRegistry::UserFileName()).GetPath();
    if (!wxDirExists(dir))
        wxFileName::Mkdir(dir, 0700, wxPATH_MKDIR_FULL);
    return dir;
}

// ---------------------------------------------------------------- batch properties

int TidewrightApp::BatchDialog(CBatch* batch, bool isNew)
{
    if (!batch)
        return 0;
    NewBatch dialog(nullptr, ID_NEWBATCH, tw::BatchDialogCaption(isNew, batch->info.ID), wxDefaultPosition,
                    wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    dialog.Fill(*batch, isNew);
    // OK has written the answers into the record and made its folder.
    return dialog.ShowModal() == wxID_OK ? static_cast<int>(wxID_OK) : 0;
}

// ---------------------------------------------------------------- Library lists

bool TidewrightApp::AddEditBatchToBatchesListCtrl(CBatch* batch, long row)
{
    if (batchesListCtrl && batch)
        tw::WriteBatchRow(*batchesListCtrl, *batch, row);
    return true;
}
