#include "windows/transfer/filexfer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <new>
#include <set>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/valtext.h>

#include "windows/common/ErrorGate.h"
#include "core/Editions.h"
#include "core/Numbers.h"
#include "core/PositionText.h"
#include "core/Registry.h"
#include "windows/common/Shell.h"
#include "model/FileList.h"
#include "windows/map/MapPanel.h"
#include "windows/map/mapdialog.h"
#include "windows/common/PictureButton.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "engine/transfer/XferWorkers.h"
#include "windows/transfer/connsettings.h"

wxDEFINE_EVENT(wxEVT_TRANSFER_DONE, wxCommandEvent);

namespace {

std::atomic<int> g_pauseMs {100};
std::atomic<int> g_countdownTickMs {300};

// Lists whose position a closing window found unchanged, and lists whose
// window the user ended by force.
std::mutex g_handBackLock;
std::set<const CFileList*> g_withdrawn;
std::set<const CFileList*> g_forced;

void Withdraw(const CFileList* list, bool withdrawn)
{
    std::lock_guard<std::mutex> lock(g_handBackLock);
    if (withdrawn)
        g_withdrawn.insert(list);
    else
        g_withdrawn.erase(list);
}

wxString SpanText(const wxTimeSpan& span)
{
    return span.Format(wxS("%M:%S"));
}

} // namespace

wxIMPLEMENT_CLASS(FileXfer, wxFrame);

wxBEGIN_EVENT_TABLE(FileXfer, wxFrame)
    EVT_THREAD(ID_TRANSFER_THREAD_UPDATE, FileXfer::OnThreadUpdate)
    EVT_THREAD(ID_TRANSFER_WORKER_ENDED, FileXfer::OnWorkerEnded)
    EVT_TIMER(ID_TIMER_TRANSFER_AGENT, FileXfer::OnTimerTransferAgent)
    EVT_TIMER(ID_TIMER_BLINK_UPDATE, FileXfer::OnTimerBlinkUpdate)
    EVT_TIMER(ID_TIMER_STATUS_UPDATE, FileXfer::OnTimerStatusUpdate)
    EVT_IDLE(FileXfer::OnIdle)
    EVT_BUTTON(FileXfer::ID_UPDATE_BUTTON, FileXfer::OnUpdatebuttonClick)
    EVT_CLOSE(FileXfer::OnCloseWindow)
    EVT_BUTTON(FileXfer::ID_CLOSE_BUTTON, FileXfer::OnCloseButtonClick)
    EVT_MENU(FileXfer::ID_MENUITEM_DONE, FileXfer::OnMenuitemDoneClick)
    EVT_MENU(FileXfer::ID_MENUITEM_FORCE_DISCONNECT, FileXfer::OnForceDisconnectClick)
    EVT_MENU(wxID_EXIT, FileXfer::OnQuit)
    EVT_BUTTON(FileXfer::ID_GO_BUTTON, FileXfer::OnGoButtonClick)
    EVT_MENU(FileXfer::ID_MENUITEM_START, FileXfer::OnMenuitemStartClick)
    EVT_MENU(FileXfer::ID_MENUITEM_SETTINGS, FileXfer::OnMenuitemSettingsClick)
    EVT_BUTTON(FileXfer::ID_SETTINGS_BUTTON, FileXfer::OnSettingsButtonClick)
    EVT_BUTTON(FileXfer::ID_SATELLITE_DIALER_BUTTON, FileXfer::OnSatelliteDialerButtonClick)
    EVT_MENU(FileXfer::ID_MENUITEM_HELP, FileXfer::OnMenuitemHelpClick)
    EVT_BUTTON(FileXfer::ID_HELP_BUTTON, FileXfer::OnHelpButtonClick)
    EVT_BUTTON(FileXfer::ID_MAP_BUTTON, FileXfer::OnMapButtonClick)
    EVT_CHECKBOX(FileXfer::ID_DISABLE_COMPRESSION, FileXfer::OnDisableCompressionCheckboxClick)
    EVT_SIZE(FileXfer::OnSize)
    EVT_COMMAND(wxID_ANY, wxEVT_TRANSFER_DONE, FileXfer::OnTransferDone)
wxEND_EVENT_TABLE()

FileXfer::FileXfer()
    : m_agentTimer(this, ID_TIMER_TRANSFER_AGENT),
      m_blinkTimer(this, ID_TIMER_BLINK_UPDATE),
      m_statusTimer(this, ID_TIMER_STATUS_UPDATE)
{
    Init();
}

FileXfer::~FileXfer()
{
    m_agentTimer.Stop();
    m_blinkTimer.Stop();
    m_statusTimer.Stop();
    m_queue->DetachTarget();
    // A worker still attached (the window destroyed without its close
    // sequence) must not wait for an answer nor report to this window.
    m_queue->CancelQuestions();
    m_queue->StopWorker(true);
}

void FileXfer::Init()
{
    m_updatesHandled = 0;
    m_transferMenu = nullptr;
    m_helpMenu = nullptr;
    m_toolSizer = nullptr;
    m_goButton = nullptr;
    m_dialerButton = nullptr;
    m_settingsButton = nullptr;
    m_closeButton = nullptr;
    m_helpButton = nullptr;
    m_updateButton = nullptr;
    m_logo = nullptr;
    m_mapButton = nullptr;
    m_latCtrl = nullptr;
    m_nsChoice = nullptr;
    m_lonCtrl = nullptr;
    m_ewChoice = nullptr;
    m_widthCtrl = nullptr;
    m_priceLabel = nullptr;
    m_disableCompression = nullptr;
    m_approxTime = nullptr;
    m_approxSize = nullptr;
    m_fileGauge = nullptr;
    m_fileElapsedLabel = nullptr;
    m_fileTimeLabel = nullptr;
    m_totalGauge = nullptr;
    m_totalElapsedLabel = nullptr;
    m_totalTimeLabel = nullptr;
    m_totalSizeLabel = nullptr;
    m_log = nullptr;
    m_sizePercent = 100;
    m_list = nullptr;
    m_queue = std::make_shared<CXferObserverQueue>(this);
    m_close = CloseState::Open;
    m_countdown = 0;
    m_forced = false;
    m_boxDepth = 0;
    m_blinkPhase = false;
}

FileXfer* FileXfer::CreateInstance(CFileList* list, const FileXferJob& job, wxWindow* parent, int id,
                                   const wxString& title, const wxPoint& pos, const wxSize& size, long style)
{
    if (!list)
        return nullptr;
    auto* window = new FileXfer;
    window->m_list = list;
    window->m_job = job;
    window->Create(parent, id, title, pos, size, style);
    return window;
}

void FileXfer::SetCloseTimings(int pauseMs, int countdownTickMs)
{
    g_pauseMs = std::max(1, pauseMs);
    g_countdownTickMs = std::max(1, countdownTickMs);
}

int FileXfer::LiveWorkers()
{
    return CFileXferWorker::LiveWorkers();
}

bool FileXfer::WaitForWorkers(int timeoutMs)
{
    return CFileXferWorker::WaitForWorkers(timeoutMs);
}

bool FileXfer::HasHandBackPosition(const CFileList& list)
{
    if (!list.HasDefaultPosition())
        return false;
    std::lock_guard<std::mutex> lock(g_handBackLock);
    return g_withdrawn.count(&list) == 0;
}

void FileXfer::ResetHandBack(const CFileList& list)
{
    Withdraw(&list, false);
    std::lock_guard<std::mutex> lock(g_handBackLock);
    g_forced.erase(&list);
}

bool FileXfer::WasForced(const CFileList& list)
{
    std::lock_guard<std::mutex> lock(g_handBackLock);
    return g_forced.count(&list) != 0;
}

bool FileXfer::HasWorker()
{
    return m_queue->HasWorker();
}

bool FileXfer::Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                      const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS | wxWS_EX_VALIDATE_RECURSIVELY);
    wxFrame::Create(parent, id, title, pos, size, style);
    SetFont(wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxS("Tahoma")));
    SetBackgroundColour(wxColour(190, 190, 190));

    CreateControls();
    SetIcon(GetIconResource(wxS("Icons/rivol.ico")));
    Centre(wxBOTH);

    m_dialerButton->Enable();
    AppendValueToLabel(wxS("$") + tw::FormatFixed(m_list ? m_list->price : 0.0, 2), m_priceLabel);
    m_fileGauge->SetValue(0);
    m_totalGauge->SetValue(0);
    if (m_list && m_list->xferMode == XFER_MODE_DATABASE) {
        m_disableCompression->SetValue(true);
        m_disableCompression->Disable();
    }

    CalculateDownloadSizeAndTime(m_job.rate);
    InitLatLon();

    // The hidden message button keeps its place in the row.
    for (wxSizerItem* item : m_toolSizer->GetChildren())
        item->SetFlag(item->GetFlag() | wxRESERVE_SPACE_EVEN_IF_HIDDEN);
    m_toolSizer->Layout();
    TransferDataToWindow();
    return true;
}

void FileXfer::CreateControls()
{
    auto* menuBar = new wxMenuBar;
    m_transferMenu = new wxMenu;
    m_transferMenu->Append(ID_MENUITEM_START, _("Start"));
    m_transferMenu->Append(ID_MENUITEM_FORCE_DISCONNECT, _("Force Disconnect"));
    m_transferMenu->AppendSeparator();
    m_transferMenu->Append(ID_MENUITEM_DONE, _("Done"));
    menuBar->Append(m_transferMenu, _("Transfer"));
    auto* settingsMenu = new wxMenu;
    settingsMenu->Append(ID_MENUITEM_SETTINGS, _("Settings"));
    menuBar->Append(settingsMenu, _("Settings"));
    m_helpMenu = new wxMenu;
    m_helpMenu->Append(ID_MENUITEM_HELP, _("User Guide..."));
    menuBar->Append(m_helpMenu, _("Help"));
    SetMenuBar(menuBar);

    auto* main = new wxBoxSizer(wxVERTICAL);
    SetSizer(main);

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    main->Add(top, 0, wxGROW | wxTOP, 4);
    auto* left = new wxBoxSizer(wxVERTICAL);
    top->Add(left, 0, wxALIGN_TOP, 0);

    // Tool buttons.
    m_toolSizer = new wxBoxSizer(wxHORIZONTAL);
    left->Add(m_toolSizer, 0, wxRIGHT | wxTOP | wxBOTTOM, 5);
    m_toolSizer->Add(5, 5, 0);
    struct Tool {
        wxPictureButton** button;
        int id;
        const char* image;
        const char* hover;
        bool hoverDisabled;
        const char* tip;
    };
    const Tool tools[] = {
        {&m_goButton, ID_GO_BUTTON, "res/tool_Go.png", "res/tool_Go_over.png", true, "Start weather transfer"},
        {&m_dialerButton, ID_SATELLITE_DIALER_BUTTON, "res/tool_SatelliteDialer.png",
         "res/tool_SatelliteDialer_over.png", true, "Open Dezavuviv Odirir"},
        {&m_settingsButton, ID_SETTINGS_BUTTON, "res/tool_Gateway-FT.png", "res/tool_Gateway-FT_over.png", false,
         "Settings"},
        {&m_closeButton, ID_CLOSE_BUTTON, "res/tool_Close.png", "res/tool_Close_over.png", true,
         "Close transfer window"},
        {&m_helpButton, ID_HELP_BUTTON, "res/tool_help-FT.png", "res/tool_help-FT_over.png", false, "User Guide"},
    };
    for (const Tool& t : tools) {
        auto* button = new wxPictureButton(this, t.id, GetBitmapResource(t.image), wxDefaultPosition,
                                           wxSize(36, 36), wxBORDER_NONE);
        const wxBitmap hover = GetBitmapResource(t.hover);
        button->SetBitmapCurrent(hover);
        if (t.hoverDisabled)
            button->SetBitmapDisabled(hover);
        button->SetCursor(wxCursor(wxCURSOR_HAND));
        button->SetToolTip(wxGetTranslation(t.tip));
        m_toolSizer->Add(button, 0, wxALIGN_CENTER_VERTICAL, 0);
        m_toolSizer->Add(5, 5, 0);
        *t.button = button;
    }
    m_updateButton = new wxPictureButton(this, ID_UPDATE_BUTTON, GetBitmapResource(wxS("Icons/update.bmp")),
                                         wxDefaultPosition, wxSize(32, 32), wxBORDER_NONE);
    m_updateButton->Show(false);
    m_toolSizer->Add(m_updateButton, 0, wxALIGN_CENTER_VERTICAL, 0);
    m_toolSizer->Add(50, 5, 0);
    const char* logo = tw::IsInstalledEventVersion() ? "res/TidewrightLogoAlt.png"
                                                               : "res/TidewrightLogo.png";
    wxBitmap logoBitmap;
    logoBitmap.LoadFile(tw::ResourcesDir() + "/" + logo, wxBITMAP_TYPE_PNG);
    m_logo = new wxStaticBitmap(this, wxID_STATIC, logoBitmap, wxDefaultPosition, wxSize(156, 36), 0);
    m_toolSizer->Add(m_logo, 0, wxALIGN_CENTER_VERTICAL, 0);

    // Area of interest.
    auto* areaBox = new wxStaticBox(this, wxID_ANY, _("Interactive Weather Parameters"));
    auto* area = new wxStaticBoxSizer(areaBox, wxHORIZONTAL);
    left->Add(area, 0, wxLEFT | wxRIGHT, 5);
    m_mapButton = new wxButton(this, ID_MAP_BUTTON, _("Map"), wxDefaultPosition, wxSize(43, -1), wxBU_EXACTFIT);
    area->Add(m_mapButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    area->Add(new wxStaticText(this, wxID_STATIC, _(" Lat:")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    m_latCtrl = new wxTextCtrl(this, ID_LAT, wxEmptyString, wxDefaultPosition, wxSize(60, -1), 0,
                               wxTextValidator(wxFILTER_NONE, &m_latText));
    area->Add(m_latCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    const wxString ns[] = {_("N"), _("S")};
    m_nsChoice = new wxChoice(this, ID_NS, wxDefaultPosition, wxSize(40, -1), 2, ns);
    m_nsChoice->SetSelection(0);
    area->Add(m_nsChoice, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    area->Add(new wxStaticText(this, wxID_STATIC, _(" Lon:")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    m_lonCtrl = new wxTextCtrl(this, ID_LON, wxEmptyString, wxDefaultPosition, wxSize(60, -1), 0,
                               wxTextValidator(wxFILTER_NONE, &m_lonText));
    area->Add(m_lonCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    const wxString ew[] = {_("E"), _("W")};
    m_ewChoice = new wxChoice(this, ID_EW, wxDefaultPosition, wxSize(40, -1), 2, ew);
    m_ewChoice->SetSelection(0);
    area->Add(m_ewChoice, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    area->Add(new wxStaticText(this, wxID_STATIC, _(" Width (Deg):")), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    m_widthCtrl = new wxTextCtrl(this, ID_WIDTH, wxS("010"), wxDefaultPosition, wxSize(45, -1), 0);
    area->Add(m_widthCtrl, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    // The choices at least 40 wide, wider where the toolkit's arrow needs it.
    for (wxChoice* choice : {m_nsChoice, m_ewChoice})
        choice->SetMinSize(wxSize(std::max(choice->GetSize().x, choice->GetBestSize().x), -1));
    // The fields are at least wide enough for the longest text they hold
    // ("179.999"), with room to spare: the toolkit reports its frame before
    // the field is shown narrower than it draws it.
    for (wxTextCtrl* field : {m_latCtrl, m_lonCtrl}) {
        const int width = field->GetSizeFromTextSize(field->GetTextExtent(wxS("0000.0000"))).x;
        field->SetMinSize(wxSize(std::max(field->GetSize().x, width), -1));
    }

    // Summary of the request.
    auto* downloadBox = new wxStaticBox(this, wxID_ANY, _("Download"));
    auto* download = new wxStaticBoxSizer(downloadBox, wxHORIZONTAL);
    top->Add(download, 0, wxLEFT | wxALIGN_TOP, 10);
    auto* summary = new wxBoxSizer(wxVERTICAL);
    download->Add(summary, 0, wxALL, 2);
    m_priceLabel = new wxStaticText(this, wxID_STATIC, _("Download Price: $00.00"), wxDefaultPosition,
                                    wxSize(130, -1), wxST_NO_AUTORESIZE);
    summary->Add(m_priceLabel, 0, wxALL, 2);
    m_disableCompression = new wxCheckBox(this, ID_DISABLE_COMPRESSION, _("Disable Compression"));
    m_disableCompression->SetValue(false);
    summary->Add(m_disableCompression, 0, wxALL, 2);
    auto* approx = new wxFlexGridSizer(2, 2, 2, 4);
    summary->Add(approx, 0, wxALL, 2);
    approx->Add(new wxStaticText(this, wxID_STATIC, _("Approx Download Time:")), 0, wxALIGN_CENTER_VERTICAL);
    m_approxTime = new wxStaticText(this, wxID_STATIC, wxS("00:00"), wxDefaultPosition, wxSize(40, -1),
                                    wxST_NO_AUTORESIZE);
    approx->Add(m_approxTime, 0, wxALIGN_CENTER_VERTICAL);
    approx->Add(new wxStaticText(this, wxID_STATIC, _("Approx Download Size:")), 0, wxALIGN_CENTER_VERTICAL);
    m_approxSize = new wxStaticText(this, wxID_STATIC, wxS("000Kb"), wxDefaultPosition, wxSize(40, -1),
                                    wxST_NO_AUTORESIZE);
    approx->Add(m_approxSize, 0, wxALIGN_CENTER_VERTICAL);

    // At least the given width, wider where the text needs it.
    auto label = [this](const wxString& text, int width) {
        auto* l = new wxStaticText(this, wxID_STATIC, text, wxDefaultPosition, wxSize(width, -1), wxST_NO_AUTORESIZE);
        l->SetMinSize(wxSize(std::max(width, l->GetBestSize().x), -1));
        return l;
    };

    // Current file.
    m_fileGauge = new wxGauge(this, ID_FILE_GAUGE, 100, wxDefaultPosition, wxSize(650, 12), wxGA_HORIZONTAL);
    main->Add(m_fileGauge, 0, wxGROW | wxLEFT | wxRIGHT | wxTOP, 5);
    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(fileRow, 0, wxLEFT | wxRIGHT, 5);
    fileRow->Add(5, 5, 0);
    fileRow->Add(label(_("Current File Transfer Status:    "), 155), 0, wxALL, 2);
    m_fileElapsedLabel = label(_("File Elapsed Time: 00:00"), 155);
    fileRow->Add(m_fileElapsedLabel, 0, wxALL, 2);
    m_fileTimeLabel = label(_("File Download Time: 00:00"), 155);
    fileRow->Add(m_fileTimeLabel, 0, wxALL, 2);
    fileRow->Add(label(wxEmptyString, 175), 0, wxALL, 2);

    // Whole transfer.
    m_totalGauge = new wxGauge(this, ID_TOTAL_GAUGE, 100, wxDefaultPosition, wxSize(650, 12), wxGA_HORIZONTAL);
    main->Add(m_totalGauge, 0, wxGROW | wxLEFT | wxRIGHT | wxTOP, 5);
    auto* totalRow = new wxBoxSizer(wxHORIZONTAL);
    main->Add(totalRow, 0, wxLEFT | wxRIGHT, 5);
    totalRow->Add(5, 5, 0);
    totalRow->Add(label(_("Total File Transfer Status:"), 155), 0, wxALL, 2);
    m_totalElapsedLabel = label(_("Total Elapsed Time: 00:00"), 155);
    totalRow->Add(m_totalElapsedLabel, 0, wxALL, 2);
    m_totalTimeLabel = label(_("Total Download Time: 00:00"), 155);
    totalRow->Add(m_totalTimeLabel, 0, wxALL, 2);
    m_totalSizeLabel = label(_("Total Download Size: 0000 kb"), 175);
    totalRow->Add(m_totalSizeLabel, 0, wxALL, 2);

    m_log = new wxTextCtrl(this, ID_LOG, wxEmptyString, wxDefaultPosition, wxSize(650, 250),
                           wxTE_MULTILINE | wxTE_READONLY);
    main->Add(m_log, 1, wxGROW | wxALL, 5);

    for (wxStaticText* l : {m_totalTimeLabel, m_totalElapsedLabel, m_totalSizeLabel, m_fileTimeLabel,
                            m_fileElapsedLabel})
        AppendValueToLabel(wxEmptyString, l);

    const int h = GetCharHeight();
    m_sizePercent = h >= 12 ? 100 + (h - 11) * 100 / h : 100;
}

wxBitmap FileXfer::GetBitmapResource(const wxString& name)
{
    static const char* const pngs[] = {
        "res/tool_Go.png", "res/tool_Go_over.png", "res/tool_SatelliteDialer.png",
        "res/tool_SatelliteDialer_over.png", "res/tool_Gateway-FT.png", "res/tool_Gateway-FT_over.png",
        "res/tool_Close.png", "res/tool_Close_over.png", "res/tool_help-FT.png", "res/tool_help-FT_over.png",
        "res/TidewrightLogo.png",
    };
    wxBitmap bitmap;
    if (name == wxS("Icons/update.bmp")) {
        bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_BMP);
        return bitmap;
    }
    for (const char* png : pngs) {
        if (name == png) {
            bitmap.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_PNG);
            break;
        }
    }
    return bitmap;
}

wxIcon FileXfer::GetIconResource(const wxString& name)
{
    wxIcon icon;
    if (name == wxS("Icons/rivol.ico"))
        icon.LoadFile(tw::ResourcesDir() + "/" + name, wxBITMAP_TYPE_ICO);
    return icon;
}

bool FileXfer::ShowModal()
{
    m_disabler.reset(new wxWindowDisabler(this));
    const bool shown = Show(true);
    if (wxMenuBar* bar = GetMenuBar()) {
        const size_t last = bar->GetMenuCount();
        if (last > 0) {
            bar->EnableTop(last - 1, false);
            bar->EnableTop(last - 1, true);
        }
    }
    return shown;
}

// ---------------------------------------------------------------- estimate and area

namespace {

// The labels keep the width they were given, and grow (the window laid out
// again) when their text needs more: a long transfer's times and sizes, a
// longer translation.
void SetLabelShown(wxStaticText* label, const wxString& text)
{
    label->SetLabelText(text);
    label->InvalidateBestSize();
    const int need = label->GetBestSize().x;
    if (need <= label->GetMinSize().x)
        return;
    label->SetMinSize(wxSize(need, -1));
    if (wxWindow* top = wxGetTopLevelParent(label))
        top->Layout();
}

} // namespace

void AppendValueToLabel(const wxString& value, wxStaticText* label)
{
    if (!label)
        return;
    const wxString text = label->GetLabelText();
    const int colon = text.Find(':');
    if (colon == wxNOT_FOUND)
        SetLabelShown(label, value);
    else
        SetLabelShown(label, text.Left(static_cast<size_t>(colon) + 1) + " " + value);
}

void FileXfer::CalculateDownloadSizeAndTime(long rate)
{
    if (!m_list)
        return;
    const long long size = m_disableCompression->IsChecked() ? m_list->rawSize : m_list->compressedSize;
    SetLabelShown(m_approxSize, wxString::Format("%lldKb", size));
    if (rate <= 0) {
        // Nothing measured to go by.
        SetLabelShown(m_approxTime, wxS("--:--"));
        return;
    }
    const long long seconds = size * 1024 / rate;
    SetLabelShown(m_approxTime, SpanText(wxTimeSpan::Milliseconds(seconds * 1000)));
}

void FileXfer::InitLatLon()
{
    const bool editable = m_list && (m_list->xferMode == XFER_MODE_BASIC || m_list->xferMode == XFER_MODE_LIBRARY);
    for (wxWindow* w : std::initializer_list<wxWindow*>{m_mapButton, m_latCtrl, m_nsChoice, m_lonCtrl, m_ewChoice,
                                                         m_widthCtrl})
        w->Enable(editable);
    if (!m_list)
        return;

    if (!m_list->HasDefaultPosition()) {
        const HomePosition& home = m_job.home;
        if (!home.valid)
            return;
        m_list->SetDefaultPosition(home.lat, home.lon, home.width);
        Withdraw(m_list, false);
    }
    double lat = 0.0, lon = 0.0;
    int width = 0;
    m_list->GetDefaultPosition(lat, lon, width);
    const float flat = static_cast<float>(lat);
    const float flon = static_cast<float>(lon);
    m_latText = tw::FormatFixed(std::fabs(flat), 3);
    m_lonText = tw::FormatFixed(std::fabs(flon), 3);
    m_widthCtrl->ChangeValue(wxString::Format("%d", width));
    m_nsChoice->SetSelection(flat < 0 ? 1 : 0);
    m_ewChoice->SetSelection(flon < 0 ? 1 : 0);
    TransferDataToWindow();
}

void FileXfer::SaveLatLon(CXferLocation& location, bool update)
{
    location.m_valid = false;
    if (m_latCtrl->IsEnabled()) {
        TransferDataFromWindow();
        float lat = static_cast<float>(tw::LeadingDouble(m_latText));
        float lon = static_cast<float>(tw::LeadingDouble(m_lonText));
        if (m_nsChoice->GetSelection() > 0)
            lat = -lat;
        if (m_ewChoice->GetSelection() > 0)
            lon = -lon;
        const int width = tw::LeadingInt(m_widthCtrl->GetValue());
        location.m_lat = lat;
        location.m_lon = lon;
        location.m_width = width;
        location.m_valid = true;
        if (update && m_list && m_list->HasDefaultPosition()) {
            double listLat = 0.0, listLon = 0.0;
            int listWidth = 0;
            m_list->GetDefaultPosition(listLat, listLon, listWidth);
            if (width == listWidth && std::fabs(lat - listLat) <= 0.05 && std::fabs(lon - listLon) <= 0.05) {
                Withdraw(m_list, true);
            } else {
                m_list->SetDefaultPosition(lat, lon, width);
                Withdraw(m_list, false);
            }
        }
    } else if (m_list) {
        double lat = 0.0, lon = 0.0;
        int width = 0;
        if (m_list->GetDefaultPosition(lat, lon, width)) {
            location.m_lat = static_cast<float>(lat);
            location.m_lon = static_cast<float>(lon);
            location.m_width = width;
            location.m_valid = true;
        }
    }
    location.m_flag = 1;
    location.m_units = "e";
}

// ---------------------------------------------------------------- reports on the main thread

void FileXfer::SetGoEnabled(bool enabled)
{
    m_goButton->Enable(enabled);
    if (wxMenuBar* bar = GetMenuBar())
        bar->Enable(ID_MENUITEM_START, enabled);
}

void FileXfer::OnThreadUpdate(wxThreadEvent&)
{
    CXferObserverQueue::Pending p = m_queue->Take();
    ++m_updatesHandled;

    if (!p.status.empty()) {
        // Text waiting already is put in when the loop is idle; new text
        // goes after it.
        const bool waiting = LogBacklog() > 0;
        for (wxString& text : p.status) {
            m_logBacklogChars += text.length();
            m_logBacklog.push_back(std::move(text));
        }
        if (!waiting)
            AppendLogSlice();
        if (LogBacklog() > 0)
            wxWakeUpIdle();
    }
    if (!p.totalEstimate.empty())
        AppendValueToLabel(p.totalEstimate, m_totalTimeLabel);
    if (!p.totalElapsed.empty())
        AppendValueToLabel(p.totalElapsed, m_totalElapsedLabel);
    if (p.totalBytes != -1)
        AppendValueToLabel(wxString::Format("%dKb", p.totalBytes / 1024), m_totalSizeLabel);
    if (!p.fileEstimate.empty())
        AppendValueToLabel(p.fileEstimate, m_fileTimeLabel);
    if (!p.fileElapsed.empty())
        AppendValueToLabel(p.fileElapsed, m_fileElapsedLabel);
    if (p.running != -1)
        SetGoEnabled(p.running == 0);
    if (p.showMessage != -1) {
        m_blinkPhase = false;
        ShowMessageButton();
    }
    if (p.filePercent >= 0)
        m_fileGauge->SetValue(std::min(p.filePercent, m_fileGauge->GetRange()));
    if (p.totalPercent >= 0) {
        const bool running = m_queue->State() == 3;
        if (running && !m_statusTimer.IsRunning() && !Ending())
            m_statusTimer.Start(1000);
        else if (!running && m_statusTimer.IsRunning())
            m_statusTimer.Stop();
        m_totalGauge->SetValue(std::min(p.totalPercent, m_totalGauge->GetRange()));
    }
    if (p.rate >= 0) {
        m_job.rate = p.rate;
        CRegistry settings;
        settings.SetTransferRate(p.rate);
    }

    TransferDataToWindow();

    if (!p.messageText.empty()) {
        // A question the close sequence already answered is not shown.
        if (Ending() || m_queue->IsAnswered(p.messageId)) {
            m_queue->Answer(p.messageId, wxCANCEL);
        } else {
            ++m_boxDepth;
            const int answer = tw::MessageBox(p.messageText, p.messageCaption, p.messageStyle, this);
            --m_boxDepth;
            m_queue->Answer(p.messageId, answer);
            if (m_boxDepth == 0 && m_close == CloseState::Ending)
                CallAfter(&FileXfer::FinishClose);
        }
    }
}

void FileXfer::AppendLogSlice()
{
    // Whole texts (lines, mostly) up to the slice size; a longer one in pieces.
    wxString slice;
    while (!m_logBacklog.empty()) {
        const wxString& front = m_logBacklog.front();
        const size_t left = front.length() - m_logFrontPos;
        const size_t room = kLogSliceChars > slice.length() ? kLogSliceChars - slice.length() : 0;
        if (left <= room) {
            slice += m_logFrontPos ? front.Mid(m_logFrontPos) : front;
            m_logBacklog.pop_front();
            m_logFrontPos = 0;
            m_logBacklogChars -= left;
        } else {
            if (slice.empty()) {
                slice = front.Mid(m_logFrontPos, room);
                m_logFrontPos += room;
                m_logBacklogChars -= room;
            }
            break;
        }
    }
    if (slice.empty())
        return;
    m_log->AppendText(slice);
    if (slice.Find('\n') != wxNOT_FOUND)
        m_log->ShowPosition(m_log->GetLastPosition());
}

void FileXfer::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    if (LogBacklog() == 0 || Ending())
        return;
    // One slice a turn: the toolkit lays it out and draws it before the next.
    AppendLogSlice();
    if (LogBacklog() > 0)
        event.RequestMore();
}

void FileXfer::ShowMessageButton()
{
    if (!m_updateButton->IsEnabled())
        return;
    if (!m_updateBitmap.IsOk()) {
        m_updateBitmap.LoadFile(tw::ResourcesDir() + "/Icons/update.bmp", wxBITMAP_TYPE_BMP);
        if (!m_updateBitmap.IsOk()) {
            tw::MessageBox(wxS("Failed to load standard Update button bitmap file."), wxS("Error"),
                           wxOK | wxCENTRE);
            return;
        }
    }
    if (!m_updateInvBitmap.IsOk()) {
        m_updateInvBitmap.LoadFile(tw::ResourcesDir() + "/Icons/updateinv.bmp", wxBITMAP_TYPE_BMP);
        if (!m_updateInvBitmap.IsOk()) {
            tw::MessageBox(wxS("Failed to load inverse Update button bitmap file."), wxS("Error"),
                           wxOK | wxCENTRE);
            return;
        }
    }
    m_updateButton->SetBitmapLabel(m_updateBitmap);
    m_updateButton->SetToolTip(wxS("An important message from TALVO has arrived"));
    m_updateButton->Show(true);
    m_toolSizer->Layout();
    m_blinkTimer.Start(500);
}

void FileXfer::OnTimerBlinkUpdate(wxTimerEvent&)
{
    if (m_blinkPhase) {
        m_updateButton->SetBitmapLabel(m_updateBitmap);
        m_blinkPhase = false;
    } else {
        m_updateButton->SetBitmapLabel(m_updateInvBitmap);
        m_blinkPhase = true;
    }
}

void FileXfer::OnUpdatebuttonClick(wxCommandEvent&)
{
    m_blinkTimer.Stop();
    m_blinkPhase = false;
    m_updateButton->SetBitmapLabel(m_updateBitmap);
    m_updateButton->Disable();
    m_queue->SetMessageButtonDisabled();
    Refresh();
    tw::MessageBox(wxString(wxS("TALVO has an important message for you. Please execute ")) + wxS("\"")
                       + _("Update File List") + wxS("\"")
                       + wxS(" from Portal, Basic or Library mode screens to view this message."),
                   wxS("Notice"), wxOK, this);
}

void FileXfer::OnTimerStatusUpdate(wxTimerEvent&)
{
    m_queue->PassTick(1000);
}

// ---------------------------------------------------------------- starting

bool FileXfer::StartTransfer()
{
    if (Ending() || HasWorker())
        return false;   // one worker at a time
    // A width beyond the map picker's range is never sent.
    double width = 0.0;
    if (m_widthCtrl->IsEnabled() && tw::LeadingDouble(m_widthCtrl->GetValue(), width) &&
        !mapgeo::BoxWidthInRange(width)) {
        tw::MessageBox(wxString::FromUTF8(mapgeo::BoxWidthRefusal().c_str()), wxS("Error"), wxOK | wxICON_ERROR,
                       this);
        m_widthCtrl->SetFocus();
        return false;
    }
    m_blinkTimer.Stop();
    m_statusTimer.Stop();

    CXferLocation location;
    SaveLatLon(location, false);

    for (wxStaticText* l : {m_totalTimeLabel, m_totalElapsedLabel, m_fileTimeLabel, m_fileElapsedLabel})
        AppendValueToLabel(wxS("00:00"), l);
    AppendValueToLabel(wxEmptyString, m_totalSizeLabel);
    m_logBacklog.clear();
    m_logFrontPos = 0;
    m_logBacklogChars = 0;
    m_log->Clear();
    TransferDataToWindow();

    CXferSocketThread* worker = new (std::nothrow) CFileXferWorker(m_queue, m_disableCompression->IsChecked());
    if (!worker) {
        wxLogError("Failed to create transfer thread object.\n");
        return false;
    }
    // The transfer works with the settings and the gateway's address as they
    // are now, and compares the service's notices with the open databases.
    worker->SetupFileDownload(m_list, location, m_job.rate, this, m_job.basis.MakeJob());
    m_queue->SetWorker(worker);

    if (worker->Create() != wxTHREAD_NO_ERROR) {
        wxLogError("Creation of Transfer Agent thread failed!");
        m_queue->SetWorker(nullptr);
        delete worker;
        return false;
    }
    if (worker->Run() != wxTHREAD_NO_ERROR) {
        wxLogError("Run of Transfer Agent thread failed!");
        m_queue->SetWorker(nullptr);
        delete worker;
        return false;
    }
    return true;
}

void FileXfer::OnGoButtonClick(wxCommandEvent&)
{
    StartTransfer();
}

void FileXfer::OnMenuitemStartClick(wxCommandEvent&)
{
    StartTransfer();
}

// ---------------------------------------------------------------- closing

bool FileXfer::ShutdownTransferAgent(bool force)
{
    // A question the worker waits on is answered Cancel, so the worker can
    // see the stop request at all.
    m_queue->CancelQuestions();
    if (!m_queue->StopWorker(false))
        return true;
    if (force)
        return true;
    if (!m_agentTimer.IsRunning()) {
        m_countdown = 10;
        m_agentTimer.Start(g_countdownTickMs);
    }
    return false;
}

void FileXfer::OnTimerTransferAgent(wxTimerEvent&)
{
    if (m_close == CloseState::Ended) {
        Destroy();
        return;
    }
    if (m_close == CloseState::Ending) {
        // The pause of a forced close is over.
        m_agentTimer.Stop();
        FinishClose();
        return;
    }
    // A close waiting for the worker: noticed at the first tick after the
    // worker let go; the worker is stopped by force at the end of the count.
    if (m_queue->HasWorker() && m_countdown-- != 0)
        return;
    m_agentTimer.Stop();
    m_queue->StopWorker(true);
    if (m_close == CloseState::Waiting)
        TerminateWindow();
}

bool FileXfer::InitiateWindowClose(bool force)
{
    if (Ending())
        return true;
    m_blinkTimer.Stop();
    m_statusTimer.Stop();
    if (ShutdownTransferAgent(force)) {
        m_agentTimer.Stop();
        TerminateWindow();
        return true;
    }
    m_close = CloseState::Waiting;
    return false;
}

bool FileXfer::TransferSuccess()
{
    // Only a transfer that ended well counts, in every mode; the user's
    // Force Disconnect or Quit never does.
    if (m_forced)
        return false;
    return m_queue->State() == 2;
}

void FileXfer::TerminateWindow()
{
    if (Ending())
        return;
    m_close = CloseState::Ending;
    m_agentTimer.Stop();
    m_blinkTimer.Stop();
    m_statusTimer.Stop();

    CXferLocation location;
    SaveLatLon(location, true);

    m_disabler.reset();
    if (GetParent() && GetParent()->IsTopLevel()) {
        if (wxMenuBar* bar = GetMenuBar()) {
            const size_t last = bar->GetMenuCount();
            if (last > 0) {
                bar->EnableTop(last - 1, false);
                bar->EnableTop(last - 1, true);
            }
        }
    }

    Hide();
    // The outcome reaches the bound handler after this call has returned,
    // and the window is destroyed only once that handler has run. A worker
    // still attached (a forced close) first gets the pause to end by itself;
    // the outcome is taken after it.
    if (m_queue->HasWorker())
        m_agentTimer.StartOnce(g_pauseMs);
    else
        CallAfter(&FileXfer::FinishClose);
}

void FileXfer::FinishClose()
{
    if (m_close != CloseState::Ending)
        return;
    m_agentTimer.Stop();
    m_queue->StopWorker(true);
    // Closed from within one of its own message boxes: the box's caller
    // still runs on this window, and the box's end calls again.
    if (m_boxDepth > 0)
        return;
    if (m_queue->WorkerAlive())
        return;
    m_close = CloseState::Ended;
    if (m_list) {
        std::lock_guard<std::mutex> lock(g_handBackLock);
        if (m_forced)
            g_forced.insert(m_list);
        else
            g_forced.erase(m_list);
    }
    wxCommandEvent done(wxEVT_TRANSFER_DONE, GetId());
    done.SetInt(TransferSuccess() ? 1 : 0);
    done.SetExtraLong(m_job.rate);
    done.SetEventObject(this);
    // This runs after the event that closed the window (queued, or from the
    // worker's end), where an exception would end the program rather than
    // reach the application: what the done-handler meets is told here.
    tw::Guarded(GetParent(), [&] { GetEventHandler()->ProcessEvent(done); });
    m_queue->DetachTarget();
    // Destroyed at a later turn of the loop: taking down the controls (a
    // log of millions of characters, after a large transfer) is not added
    // to the time the done-handler just held the loop.
    m_agentTimer.StartOnce(1);
}

void FileXfer::OnWorkerEnded(wxThreadEvent&)
{
    if (m_close == CloseState::Ending && m_boxDepth == 0)
        FinishClose();
}

void FileXfer::OnCloseWindow(wxCloseEvent&)
{
    InitiateWindowClose(true);
}

void FileXfer::OnCloseButtonClick(wxCommandEvent&)
{
    InitiateWindowClose(false);
}

void FileXfer::OnMenuitemDoneClick(wxCommandEvent&)
{
    InitiateWindowClose(false);
}

void FileXfer::OnForceDisconnectClick(wxCommandEvent&)
{
    m_forced = true;
    InitiateWindowClose(false);
}

void FileXfer::OnQuit(wxCommandEvent& event)
{
    m_forced = true;
    InitiateWindowClose(false);
    if (wxWindow* parent = GetParent())
        wxQueueEvent(parent, event.Clone());
}

void FileXfer::OnTransferDone(wxCommandEvent&)
{
    // The requesting window's handler does the work.
}

// ---------------------------------------------------------------- other controls

void FileXfer::OnMenuitemSettingsClick(wxCommandEvent&)
{
    {
        ConnSettings dialog(this, m_job.basis.productDb, ID_SETTINGS_DIALOG, _("Connection Settings"),
                            wxDefaultPosition, wxSize(400, 700),
                            wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
        dialog.ShowModal(false);
    }
    CRegistry settings;
    m_job.rate = settings.GetTransferRate();
    CalculateDownloadSizeAndTime(m_job.rate);
}

void FileXfer::OnSettingsButtonClick(wxCommandEvent&)
{
    ConnSettings dialog(this, m_job.basis.productDb, ID_SETTINGS_DIALOG, _("Connection Settings"), wxDefaultPosition,
                        wxSize(400, 700), wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    dialog.ShowModal(false);
}

void FileXfer::OnSatelliteDialerButtonClick(wxCommandEvent&)
{
    tw::TheShell().OpenAutoDialerService(true);
}

void FileXfer::OnMenuitemHelpClick(wxCommandEvent&)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_TRANSFER);
}

void FileXfer::OnHelpButtonClick(wxCommandEvent&)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_TRANSFER);
}

void FileXfer::OnDisableCompressionCheckboxClick(wxCommandEvent&)
{
    CalculateDownloadSizeAndTime(m_job.rate);
}

void FileXfer::OnMapButtonClick(wxCommandEvent&)
{
    MapDialog dialog(nullptr, ID_MAP_DIALOG, wxS("World Chart - Click and Drag on Chart to Select Region"),
                     wxDefaultPosition, wxSize(400, 300),
                     wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    if (wxMapPanel* panel = dialog.GetMapPanel()) {
        panel->m_maxZoom = 7.0;
        panel->m_minZoom = 0.146484375;
    }
    double width = tw::LeadingDouble(m_widthCtrl->GetValue());
    double lat = 0.0, lon = 0.0;
    tw::UnFormatPosition(lon, lat, m_lonCtrl->GetValue(), m_latCtrl->GetValue(), m_ewChoice->GetStringSelection(),
                         m_nsChoice->GetStringSelection());
    dialog.InitializePosition(lat, lon, width);
    if (dialog.ShowModal() != wxID_OK)
        return;
    // The picker leaves the width as it was when its field holds no number.
    dialog.RetrievePosition(lat, lon, width);
    wxString lonText, ewLetter, latText, nsLetter;
    tw::FormatPosition(lon, lat, lonText, ewLetter, latText, nsLetter);
    m_latText = latText;
    m_lonText = lonText;
    m_latCtrl->ChangeValue(latText);
    m_lonCtrl->ChangeValue(lonText);
    m_nsChoice->SetStringSelection(nsLetter);
    m_ewChoice->SetStringSelection(ewLetter);
    m_widthCtrl->ChangeValue(wxString::FromUTF8(mapgeo::WidthFieldText(width).c_str()));
}

void FileXfer::OnSize(wxSizeEvent& event)
{
    if (m_sizePercent != 100) {
        const wxSize size = event.GetSize();
        const int percent = m_sizePercent;
        m_sizePercent = 100;
        SetSize(size.GetWidth() * percent / 100, size.GetHeight() * percent / 100);
    }
    event.Skip();
}
