// The transfer window: an application-modal frame that runs one transfer of
// the application's transfer list. The application hands it its job when it
// makes it (FileXferJob). It shows price, size and estimated time, starts the
// transfer worker on request, turns the worker's reports into the log, gauges
// and times, asks the worker's questions, stores the measured rate in the
// settings, and when it closes queues wxEVT_TRANSFER_DONE (int 1 = the
// transfer ended well; extra long = its transfer rate) to the window that
// asked for the transfer.
//
// Reports from the worker go through the shared report queue
// (engine/transfer/ObserverQueue.h).
#pragma once

#include <deque>
#include <memory>

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/icon.h>
#include <wx/timer.h>

#include "core/HomePosition.h"
#include "engine/transfer/IpGlue.h"
#include "engine/transfer/ObserverQueue.h"
#include "engine/transfer/TransferJob.h"
#include "engine/transfer/TransferObserver.h"

class CFileList;
class CXferSocketThread;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxGauge;
class wxMenu;
class wxPictureButton;
class wxStaticBitmap;
class wxStaticText;
class wxTextCtrl;
class wxThreadEvent;
class wxWindowDisabler;

// Queued on the transfer window when it closes; id = the window's id,
// int = 1 when the transfer counts as successful, else 0; extra long = the
// transfer rate the window ends with (the one it was handed, the settings'
// after its settings dialog, or the one the transfer measured), for the
// application to keep.
wxDECLARE_EVENT(wxEVT_TRANSFER_DONE, wxCommandEvent);

// What the application hands a transfer window when it makes it.
struct FileXferJob {
    // The transfer's job is made from this when the transfer starts, with
    // the settings as they are then (the window's settings dialog may have
    // changed them); its catalogue also fills the settings dialog's lists.
    CTransferJobBasis basis;
    // The stored transfer rate (bytes a second; none measured when <= 0).
    long rate = -1;
    // The area for a list that comes without one (the home location of the
    // download preferences); valid false: none.
    HomePosition home;
};

enum {
    ID_TIMER_TRANSFER_AGENT = 6000,
    ID_TIMER_BLINK_UPDATE = 6002,
    ID_TIMER_STATUS_UPDATE = 6003
};

class FileXfer : public wxFrame, public ITransferObserver
{
    wxDECLARE_CLASS(FileXfer);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_MAP_BUTTON = 10074,
        ID_MENUITEM_START = 10075,
        ID_SATELLITE_DIALER_BUTTON = 10076,
        ID_SETTINGS_BUTTON = 10077,
        ID_CLOSE_BUTTON = 10078,
        ID_HELP_BUTTON = 10079,
        ID_DISABLE_COMPRESSION = 10080,
        ID_FILE_GAUGE = 10085,
        ID_LOG = 10086,
        ID_MENUITEM_FORCE_DISCONNECT = 10087,
        ID_MENUITEM_DONE = 10089,
        ID_MENUITEM_SETTINGS = 10090,
        ID_MENUITEM_HELP = 10092,
        ID_GO_BUTTON = 10094,
        ID_TOTAL_GAUGE = 10000,
        ID_LAT = 10048,
        ID_NS = 10049,
        ID_LON = 10050,
        ID_EW = 10051,
        ID_WIDTH = 10052,
        ID_UPDATE_BUTTON = 10211,
        ID_SETTINGS_DIALOG = 10093,
        ID_MAP_DIALOG = 10068
    };

    FileXfer();
    ~FileXfer() override;

    // Null when `list` is null; otherwise the window, made (not shown) for the list and the job.
    static FileXfer* CreateInstance(CFileList* list, const FileXferJob& job, wxWindow* parent, int id,
                                    const wxString& title, const wxPoint& pos, const wxSize& size, long style);

    bool Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos, const wxSize& size,
                long style);
    void Init();
    void CreateControls();

    // Shows the window with every other top-level window disabled; returns at once.
    bool ShowModal();

    bool StartTransfer();
    // Asks for the window to close (force: the close box). True when the
    // window ended at once: hidden, the outcome event and its destruction to
    // follow; false when an ordinary close waits for the worker (at most ten
    // countdown ticks before it is stopped by force).
    bool InitiateWindowClose(bool force);
    // Asks the worker to stop. True when the window may end now: no worker
    // is attached, or the close is forced (the worker then gets the stop
    // pause to end by itself before it is stopped by force); otherwise the
    // countdown is started.
    bool ShutdownTransferAgent(bool force);
    void TerminateWindow();
    // 1 when the transfer ended well and the user did not force the window down.
    bool TransferSuccess();

    void CalculateDownloadSizeAndTime(long rate);
    void InitLatLon();
    void SaveLatLon(CXferLocation& location, bool update);

    wxBitmap GetBitmapResource(const wxString& name);
    wxIcon GetIconResource(const wxString& name);

    // ITransferObserver: the window's own reports go through its queue.
    void TransferEntry() override { m_queue->TransferEntry(); }
    void TransferExit() override { m_queue->TransferExit(); }
    void TransferBegin(const wxString& text, const wxTimeSpan& estimate, int totalBytes) override
    {
        m_queue->TransferBegin(text, estimate, totalBytes);
    }
    void TransferDone(const wxString& text, bool ok) override { m_queue->TransferDone(text, ok); }
    void TransferStatus(const wxString& text) override { m_queue->TransferStatus(text); }
    void TransferElapsedTime(const wxTimeSpan& fileElapsed, const wxTimeSpan& totalElapsed) override
    {
        m_queue->TransferElapsedTime(fileElapsed, totalElapsed);
    }
    void TransferProgress(int filePercent, int totalPercent) override
    {
        m_queue->TransferProgress(filePercent, totalPercent);
    }
    void TransferFileBegin(const wxString& name, int sizeBytes, const wxTimeSpan& fileEstimate) override
    {
        m_queue->TransferFileBegin(name, sizeBytes, fileEstimate);
    }
    void TransferFileDone(const wxString& name, bool ok) override { m_queue->TransferFileDone(name, ok); }
    int TransferMessageBox(const wxString& text, const wxString& caption, int style) override
    {
        return m_queue->TransferMessageBox(text, caption, style);
    }

    // Handlers.
    void OnThreadUpdate(wxThreadEvent& event);
    void OnWorkerEnded(wxThreadEvent& event);
    void OnTimerTransferAgent(wxTimerEvent& event);
    void OnTimerBlinkUpdate(wxTimerEvent& event);
    void OnTimerStatusUpdate(wxTimerEvent& event);
    void OnUpdatebuttonClick(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnCloseButtonClick(wxCommandEvent& event);
    void OnMenuitemDoneClick(wxCommandEvent& event);
    void OnForceDisconnectClick(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnGoButtonClick(wxCommandEvent& event);
    void OnMenuitemStartClick(wxCommandEvent& event);
    void OnMenuitemSettingsClick(wxCommandEvent& event);
    void OnSettingsButtonClick(wxCommandEvent& event);
    void OnSatelliteDialerButtonClick(wxCommandEvent& event);
    void OnMenuitemHelpClick(wxCommandEvent& event);
    void OnHelpButtonClick(wxCommandEvent& event);
    void OnMapButtonClick(wxCommandEvent& event);
    void OnDisableCompressionCheckboxClick(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnTransferDone(wxCommandEvent& event);

    // The shared report queue (tests look at its counters).
    const std::shared_ptr<CXferObserverQueue>& Queue() const { return m_queue; }
    int GetState() const { return m_queue->State(); }
    bool HasWorker();
    CFileList* GetTransferList() const { return m_list; }
    // The transfer rate the window goes by now (and reports when it closes).
    long GetRate() const { return m_job.rate; }

    // Waits of the close sequence, run by the countdown timer (the main
    // thread never sleeps): the pause a forced close leaves the worker to end
    // by itself (100 ms) and the countdown tick (300 ms). Tests shorten them.
    static void SetCloseTimings(int pauseMs, int countdownTickMs);
    // Whether the list's position is the area to hand back to the caller:
    // set, and not withdrawn by a close that found the area unchanged (the
    // list keeps the position it had; only this mark says it is not news).
    static bool HasHandBackPosition(const CFileList& list);
    // Forgets the marks (a list refilled for a new transfer).
    static void ResetHandBack(const CFileList& list);
    // Whether the last window of the list was ended by the user's Force
    // Disconnect or Quit: what arrived is kept, nothing more is asked for.
    static bool WasForced(const CFileList& list);
    // Transfer workers whose thread has not ended yet, in the whole program.
    static int LiveWorkers();
    // Waits (without running events) until every transfer worker has ended;
    // false when some still run after `timeoutMs`.
    static bool WaitForWorkers(int timeoutMs);

    // Update events handled (tests).
    int m_updatesHandled;
    // Log text received and not yet in the log: a long burst of log text is
    // put in at most kLogSliceChars at a time, the rest when the event loop
    // is idle again (after the toolkit has laid out the text put in before),
    // so the window never stops responding while it takes it.
    static constexpr size_t kLogSliceChars = 8 * 1024;
    size_t LogBacklog() const { return m_logBacklogChars; }

    // Controls.
    wxMenu* m_transferMenu;
    wxMenu* m_helpMenu;
    wxSizer* m_toolSizer;
    wxPictureButton* m_goButton;
    wxPictureButton* m_dialerButton;
    wxPictureButton* m_settingsButton;
    wxPictureButton* m_closeButton;
    wxPictureButton* m_helpButton;
    wxPictureButton* m_updateButton;
    wxStaticBitmap* m_logo;
    wxButton* m_mapButton;
    wxTextCtrl* m_latCtrl;
    wxChoice* m_nsChoice;
    wxTextCtrl* m_lonCtrl;
    wxChoice* m_ewChoice;
    wxTextCtrl* m_widthCtrl;
    wxStaticText* m_priceLabel;
    wxCheckBox* m_disableCompression;
    wxStaticText* m_approxTime;
    wxStaticText* m_approxSize;
    wxGauge* m_fileGauge;
    wxStaticText* m_fileElapsedLabel;
    wxStaticText* m_fileTimeLabel;
    wxGauge* m_totalGauge;
    wxStaticText* m_totalElapsedLabel;
    wxStaticText* m_totalTimeLabel;
    wxStaticText* m_totalSizeLabel;
    wxTextCtrl* m_log;

    wxString m_latText;
    wxString m_lonText;
    int m_sizePercent;

private:
    // The close sequence, one state at a time.
    enum class CloseState {
        Open,       // no close asked for
        Waiting,    // an ordinary close waits for the worker (countdown)
        Ending,     // ended and hidden; the outcome event and the destruction
                    // follow once the worker is let go and no message box of
                    // the window is open
        Ended       // the outcome event went out; the window is destroyed
    };
    bool Ending() const { return m_close == CloseState::Ending || m_close == CloseState::Ended; }

    void ShowMessageButton();
    void SetGoEnabled(bool enabled);
    // Puts the next slice of the log backlog into the log; the rest follows
    // on a later turn of the event loop.
    void AppendLogSlice();
    void OnIdle(wxIdleEvent& event);
    // The end of a close: a worker still attached is stopped by force, then
    // the outcome event and the window's destruction; nothing while a message
    // box of the window is open (its end calls again), and nothing while the
    // worker's thread has not ended (its exit event calls again): the
    // caller's epilogue reads the list only once no worker writes to it, and
    // the main loop never waits for that.
    void FinishClose();

    CFileList* m_list;
    FileXferJob m_job;
    std::shared_ptr<CXferObserverQueue> m_queue;
    CloseState m_close;
    int m_countdown;           // ticks left before a waiting close stops the worker by force
    bool m_forced;             // closed with Force Disconnect or Quit: never a success
    int m_boxDepth;            // message boxes of this window now open
    bool m_blinkPhase;
    wxBitmap m_updateBitmap;
    wxBitmap m_updateInvBitmap;
    std::unique_ptr<wxWindowDisabler> m_disabler;
    wxTimer m_agentTimer;
    wxTimer m_blinkTimer;
    wxTimer m_statusTimer;
    std::deque<wxString> m_logBacklog;   // texts waiting for the log, in order
    size_t m_logFrontPos = 0;             // what of the first is in the log already
    size_t m_logBacklogChars = 0;         // characters waiting
};

// Puts `value` after the first colon of the label's text ("Caption: value"),
// or makes it the whole text when the label holds no colon.
void AppendValueToLabel(const wxString& value, wxStaticText* label);
