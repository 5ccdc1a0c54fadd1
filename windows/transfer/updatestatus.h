// The "Update Status" dialog: checks the service for newer copies of the two
// replaceable databases (the catalogue "zir.db" and the marine zones
// "MarineZones.db"), or takes such files from disk and places them in the
// updates folder, from where the next start installs them.
//
// The check runs on a worker thread (the update query); the dialog reports
// which databases are newer than the open ones, how large the download is
// and the service's notes. The download itself is left to the owner, which
// reads the results after the dialog ended with wxID_OK.
#pragma once

#include <memory>

#include <wx/arrstr.h>
#include <wx/dialog.h>
#include <wx/timer.h>

#include "core/ThreadHelper.h"
#include "engine/transfer/TransferJob.h"

class CIPUpdates;
class wxButton;
class wxStaticText;
class wxTextCtrl;

class UpdateStatus : public wxDialog, public CSimpleThreadHelper
{
    wxDECLARE_CLASS(UpdateStatus);
    wxDECLARE_EVENT_TABLE();

public:
    enum {
        ID_UPDATESTATUS = 10376,
        ID_REPORT = 10377,
        ID_OK_BUTTON = 10378,
        ID_AVAILABLE_BOX = 10379,
        ID_IMPORT_BUTTON = 10082,
        ID_CHECK_BUTTON = 10106,
        ID_CANCEL_BUTTON = 10390,
        ID_CANCEL_TIMER = 10391
    };

    // brief: do not fetch or show the service's notes; offer: OK goes on
    // with the download (the owner's part); basis: the open databases the
    // check's job is made with and the service's versions compared to.
    UpdateStatus(bool brief, bool offer, const CTransferJobBasis& basis);
    ~UpdateStatus() override;

    bool Create(wxWindow* parent, wxWindowID id = ID_UPDATESTATUS, const wxString& caption = _("Update Status"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(400, 300),
                long style = wxCAPTION | wxRESIZE_BORDER | wxSYSTEM_MENU | wxCLOSE_BOX | wxTAB_TRAVERSAL);
    void Init();
    void CreateControls();

    // Results, read after the dialog ended with wxID_OK.
    bool IsImported() const { return m_imported; }
    bool CheckSucceeded() const { return m_checkSucceeded; }
    wxInt32 GetNewProductDBSize() const { return m_newProductDBSize; }
    wxInt32 GetNewMarineZonesSize() const { return m_newMarineZonesSize; }
    // The recognised files chosen from disk (full paths).
    const wxArrayString& GetChosenFiles() const { return m_chosenFiles; }

    // The check job (worker thread).
    void* Entry() override;
    void OutputStatusMessage(const wxString& text) override;
    void OnThreadStatusUpdate(wxThreadEvent& event) override;

    void OnOKButtonClick(wxCommandEvent& event);
    void OnImportFromDiscButtonClick(wxCommandEvent& event);
    void OnCheckForUpdatesButtonClick(wxCommandEvent& event);
    void OnCancelButtonClick(wxCommandEvent& event);
    void OnThreadExit(wxThreadEvent& event);
    void OnCancelTimer(wxTimerEvent& event);

    // Places the chosen files in the updates folder, all or none: each is
    // decompressed or copied to a temporary name beside its destination and
    // checked to be a usable database; only when every one is, they take
    // their final names. True when all were placed.
    bool PlaceChosenFiles();

    // After Cancel, how long the check may take to stop by itself before its
    // connection is closed (ms). The window is not blocked meanwhile.
    int cancelWaitMs = 50;

private:
    // Ends the dialog with `code` (also when it is shown without a modal loop).
    void Finish(int code);

    wxStaticText* m_statusLabel;
    wxTextCtrl* m_report;
    wxButton* m_okButton;
    wxButton* m_importButton;
    wxButton* m_checkButton;
    wxButton* m_cancelButton;

    CTransferJobBasis m_basis;
    std::unique_ptr<CIPUpdates> m_updates;
    wxTimer m_cancelTimer;
    bool m_cancelled = false;
    bool m_brief = false;
    bool m_offer = true;
    wxInt32 m_newProductDBSize = 0;
    wxInt32 m_newMarineZonesSize = 0;
    bool m_imported = false;
    bool m_checkSucceeded = false;
    wxString m_lastFolder;
    wxArrayString m_chosenFiles;
};
