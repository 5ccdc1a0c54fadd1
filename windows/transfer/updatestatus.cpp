#include "windows/transfer/updatestatus.h"

#include <algorithm>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "engine/transfer/IPUpdates.h"
#include "engine/transfer/bzip.h"

wxIMPLEMENT_CLASS(UpdateStatus, wxDialog);

wxBEGIN_EVENT_TABLE(UpdateStatus, wxDialog)
    EVT_BUTTON(UpdateStatus::ID_OK_BUTTON, UpdateStatus::OnOKButtonClick)
    EVT_BUTTON(UpdateStatus::ID_IMPORT_BUTTON, UpdateStatus::OnImportFromDiscButtonClick)
    EVT_BUTTON(UpdateStatus::ID_CHECK_BUTTON, UpdateStatus::OnCheckForUpdatesButtonClick)
    EVT_BUTTON(UpdateStatus::ID_CANCEL_BUTTON, UpdateStatus::OnCancelButtonClick)
    EVT_THREAD(CSimpleThreadHelper::kUpdatesExitEventId, UpdateStatus::OnThreadExit)
    EVT_TIMER(UpdateStatus::ID_CANCEL_TIMER, UpdateStatus::OnCancelTimer)
wxEND_EVENT_TABLE()

namespace {

// Server text (8-bit) for showing: UTF-8 when it is, else byte for byte.
wxString FromServer(const std::string& bytes)
{
    wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
    if (text.empty() && !bytes.empty())
        text = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
    return text;
}

void RemoveQuietly(const wxString& path)
{
    wxLogNull quiet;
    if (wxFileExists(path))
        wxRemoveFile(path);
}

// Kilobytes of a byte count as shown ("%u" of the integer quotient).
unsigned Kb(long long bytes)
{
    return static_cast<unsigned>(bytes / 1024);
}

} // namespace

UpdateStatus::UpdateStatus(bool brief, bool offer, const CTransferJobBasis& basis)
    : m_basis(basis), m_cancelTimer(this, ID_CANCEL_TIMER)
{
    Init();
    m_brief = brief;
    m_offer = offer;
}

UpdateStatus::~UpdateStatus()
{
    m_cancelTimer.Stop();
    // The job uses this object's members: end it first. A read blocked on
    // the network is ended by closing the connection.
    SignalIfActive();
    if (m_updates && GetRunState() != 0)
        m_updates->Abort();
    StopAndWait();
}

void UpdateStatus::Init()
{
    m_statusLabel = nullptr;
    m_report = nullptr;
    m_okButton = nullptr;
    m_importButton = nullptr;
    m_checkButton = nullptr;
    m_cancelButton = nullptr;
    m_updates.reset();
    m_cancelled = false;
    m_newProductDBSize = 0;
    m_newMarineZonesSize = 0;
    m_imported = false;
    m_checkSucceeded = false;
    m_lastFolder = tw::DocumentsDir();
    m_chosenFiles.clear();
}

bool UpdateStatus::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                          const wxSize& size, long style)
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    wxDialog::Create(parent, id, caption, pos, size, style);
    CreateControls();
    if (GetSizer())
        GetSizer()->SetSizeHints(this);
    Centre();
    SetEventSink(this);
    return true;
}

void UpdateStatus::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    SetSizer(top);

    auto* box = new wxStaticBox(this, ID_AVAILABLE_BOX, _("Available Updates"));
    auto* boxSizer = new wxStaticBoxSizer(box, wxVERTICAL);
    top->Add(boxSizer, 0, wxEXPAND | wxALL, 5);
    m_statusLabel = new wxStaticText(boxSizer->GetStaticBox(), wxID_STATIC, wxString(), wxDefaultPosition,
                                     wxSize(480, -1), 0);
    boxSizer->Add(m_statusLabel, 0, wxEXPAND | wxALL, 5);

    m_report = new wxTextCtrl(this, ID_REPORT, wxString(), wxDefaultPosition, wxSize(500, 300),
                              wxTE_MULTILINE | wxTE_READONLY);
    top->Add(m_report, 1, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 5);
    m_okButton = new wxButton(this, ID_OK_BUTTON, _("OK"));
    row->Add(m_okButton, 0, wxALL, 5);
    m_importButton = new wxButton(this, ID_IMPORT_BUTTON, _("Import from Disc"));
    row->Add(m_importButton, 0, wxALL, 5);
    m_checkButton = new wxButton(this, ID_CHECK_BUTTON, _("Check for Updates"));
    row->Add(m_checkButton, 0, wxALL, 5);
    m_cancelButton = new wxButton(this, ID_CANCEL_BUTTON, _("Cancel"));
    row->Add(m_cancelButton, 0, wxALL, 5);

    m_okButton->Disable();
    m_report->SetValue(
        "*** Press the 'Import' button to load Product Database updates from disk, or press the 'Check Updates' "
        "button to check for updates on the server. ***\r\n");
}

void UpdateStatus::Finish(int code)
{
    if (IsModal()) {
        EndModal(code);
    } else {
        SetReturnCode(code);
        Hide();
    }
}

// ------------------------------------------------------------ status texts

void UpdateStatus::OutputStatusMessage(const wxString& text)
{
    if (m_report)
        m_report->SetValue(text);
}

void UpdateStatus::OnThreadStatusUpdate(wxThreadEvent& event)
{
    CSimpleThreadHelper::OnThreadStatusUpdate(event);
}

// ------------------------------------------------------------ the check

void UpdateStatus::OnCheckForUpdatesButtonClick(wxCommandEvent&)
{
    m_newProductDBSize = 0;
    m_newMarineZonesSize = 0;
    m_imported = false;
    m_checkSucceeded = false;
    m_statusLabel->SetLabel(wxString());
    m_chosenFiles.clear();
    if (m_offer)
        m_importButton->Disable();

    m_updates = std::make_unique<CIPUpdates>(static_cast<IThreadResource*>(this), m_basis.MakeJob());
    if (RunThread("Updates")) {
        m_checkButton->Disable();
    } else {
        m_updates.reset();
        wxLogError("%s", LastError());
    }
}

void* UpdateStatus::Entry()
{
    JobStarted();
    bool result = false;
    if (!wxFileExists(CInit::GetProductDBPath())) {
        TrMessageBox("Installation problem (zir.db). Please re-install Tidewright and try again.", "Notice", wxOK);
    } else if (!wxFileExists(CInit::GetMarineZonesDBPath())) {
        TrMessageBox("Installation problem (marinezones.db). Please re-install Tidewright and try again.", "Notice",
                     wxOK);
    } else {
        StatusMessage("Contacting server to check updates.  Please wait ...");
        // A check the user stopped ends without an error box: closing its
        // connection is what made it fail.
        try {
            result = m_updates->QueryUpdate(m_brief);
        } catch (const CBlockingSocketException& e) {
            if (!TestDestroy())
                TrErrorBox(e.GetErrorText());
        } catch (const std::string& text) {
            if (!TestDestroy())
                TrErrorBox(FromServer(text));
        } catch (...) {
            if (!TestDestroy())
                TrErrorBox("Unknown exception occurred during Update request.");
        }
    }
    JobEnded();
    auto* done = new wxThreadEvent(wxEVT_THREAD, kUpdatesExitEventId);
    done->SetInt(result ? 1 : 0);
    wxQueueEvent(this, done);
    return nullptr;
}

void UpdateStatus::OnThreadExit(wxThreadEvent& event)
{
    // The job has ended: reap its thread.
    StopAndWait();
    const bool ok = event.GetInt() != 0;
    if (!ok) {
        m_report->SetValue("Check update was interrupted or failed.");
    } else if (m_updates) {
        m_newProductDBSize = 0;
        m_newMarineZonesSize = 0;
        m_imported = false;
        m_checkSucceeded = true;

        wxString summary;
        // A size the server cannot mean is taken as nothing to fetch.
        const wxInt32 productSize = std::max(0, m_updates->GetProductDBSize());
        const wxInt32 zonesSize = std::max(0, m_updates->GetMarineZonesSize());
        if (m_basis.productDbVersion < m_updates->GetProductDBVersion()) {
            summary << wxString::Format("File List: %u Kb", Kb(productSize));
            m_newProductDBSize = productSize;
        }
        if (m_basis.marineZonesDbVersion < m_updates->GetMarineZonesVersion()) {
            if (!summary.empty())
                summary << "        ";
            summary << wxString::Format("Zones List: %u Kb", Kb(zonesSize));
            m_newMarineZonesSize = zonesSize;
        }
        const long long total = static_cast<long long>(m_newProductDBSize) + m_newMarineZonesSize;
        if (total == 0)
            summary = "No updates required at this time";
        m_statusLabel->SetLabel(summary);

        wxString report;
        if (total > 0 && m_offer) {
            report << "*** Press the OK button to continue with Product Database Update ***\r\n";
            CRegistry settings;
            if (settings.IsAutoDialer())
                report << "NOTE: Your connection to the server is configured as a low-speed device, such as a "
                          "satellite phone, "
                       << wxString::Format("which may make this data transfer of %u Kb very slow and expensive.",
                                           Kb(total))
                       << "\r\n\r\n";
        }
        if (!m_brief) {
            if (!report.empty())
                report << "\r\n" << wxString('-', 47) << "\r\n";
            report << FromServer(m_updates->GetNotes()) << "\r\n";
        }
        m_report->SetValue(report);
        Layout();
    }

    if (m_cancelled) {
        m_cancelled = false;
        Finish(wxID_CANCEL);
        return;
    }
    if (ok) {
        m_okButton->Enable();
        if (!m_offer)
            m_cancelButton->Disable();
    }
}

void UpdateStatus::OnCancelButtonClick(wxCommandEvent&)
{
    if (GetThread() && GetRunState() != 0) {
        m_cancelled = true;
        // The check gets a moment to stop by itself; the window goes on
        // meanwhile, and the job's end event closes the dialog.
        if (SignalIfActive() && !m_cancelTimer.IsRunning())
            m_cancelTimer.StartOnce(std::max(1, cancelWaitMs));
        return;
    }
    Finish(wxID_CANCEL);
}

void UpdateStatus::OnCancelTimer(wxTimerEvent&)
{
    // Still waiting on the network: close the connection, so that the
    // blocked read returns and the job ends.
    if (GetRunState() != 0 && m_updates)
        m_updates->Abort();
}

// ------------------------------------------------------------ from disk

void UpdateStatus::OnImportFromDiscButtonClick(wxCommandEvent&)
{
    m_cancelButton->Enable();
    tw::FileChooserRequest request;
    request.message = "Choose one or more Product Database files";
    request.defaultDir = m_lastFolder;
    request.wildcard = "DB files (*.db;*.db.bz2)|*.db;*.db.bz2";
    request.style = wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE;
    request.parent = this;
    // Several chosen files come one per line.
    const wxArrayString chosen = wxStringTokenize(tw::ChooseFile(request), "\r\n", wxTOKEN_STRTOK);

    if (!chosen.empty()) {
        m_checkButton->Disable();
        m_newProductDBSize = 0;
        m_newMarineZonesSize = 0;
        m_imported = false;
        m_checkSucceeded = false;
        m_chosenFiles.clear();
        m_statusLabel->SetLabel(wxString());
        m_lastFolder = wxFileName(chosen[0]).GetPath();

        const wxString names[] = {CInit::GetProductDBFileName(), CInit::GetProductBZ2FileName(),
                                  CInit::GetMarineZonesDBFileName(), CInit::GetMarineZonesBZ2FileName()};
        wxString summary = "Selected Product Database files: ";
        bool first = true;
        for (const wxString& path : chosen) {
            const wxString name = wxFileName(path).GetFullName();
            bool known = false;
            for (const wxString& n : names)
                known = known || name.CmpNoCase(n) == 0;
            if (!known)
                continue;
            if (!first)
                summary << ", ";
            summary << name;
            first = false;
            m_chosenFiles.Add(path);
        }
        m_statusLabel->SetLabel(summary);
        m_report->SetValue("*** Press the OK button to install the new Product Database updates. ***\r\n");
        m_okButton->Enable();
        m_importButton->Disable();
    }

    if (!m_okButton->IsEnabled()) {
        m_report->SetValue(wxString());
        m_statusLabel->SetLabel("No files selected.");
    }
}

bool UpdateStatus::PlaceChosenFiles()
{
    const wxString dir = CInit::GetProductDBUpdatesDir();
    struct Placement {
        wxString source;
        wxString destination;   // the pending update's own name
        wxString temporary;     // beside it, never installed
    };
    std::vector<Placement> placements;
    bool ok = true;
    for (const wxString& source : m_chosenFiles) {
        wxFileName file(source);
        const bool compressed = file.GetExt().CmpNoCase("bz2") == 0;
        const wxString plain = compressed ? file.GetName() : file.GetFullName();
        // A file is placed under the database's own name, whatever the case
        // of the chosen name, so that the next start finds it.
        wxString name = plain;
        if (plain.CmpNoCase(CInit::GetProductDBFileName()) == 0)
            name = CInit::GetProductDBFileName();
        else if (plain.CmpNoCase(CInit::GetMarineZonesDBFileName()) == 0)
            name = CInit::GetMarineZonesDBFileName();
        const wxString destination = dir + "/" + name;
        const wxString temporary = destination + ".import";

        wxString why;
        bool placed = false;
        if (compressed) {
            CBZip bzip;
            placed = bzip.Decompress(source.fn_str(), temporary.fn_str());
            if (!placed)
                why = wxString::FromUTF8(bzip.LastError().c_str());
        } else {
            wxLogNull quiet;
            placed = wxCopyFile(source, temporary, true);
            if (!placed)
                why = "the file could not be copied";
        }
        if (placed && wxFileName::GetSize(temporary) == 0) {
            placed = false;
            why = "the file is empty";
        }
        if (placed && !(name == CInit::GetProductDBFileName() ? CInit::IsUsableCatalogue(temporary, &why)
                                                               : CInit::IsUsableDatabase(temporary, &why)))
            placed = false;
        if (!placed) {
            RemoveQuietly(temporary);
            if (!why.empty())
                wxLogError("%s: %s", file.GetFullName(), why);
            wxLogError("Failed to copy file '%s' to the destination '%s'. Aborting database imports.",
                       file.GetFullName(), destination);
            ok = false;
            break;
        }
        // A later file for the same database replaces an earlier one.
        bool replaced = false;
        for (Placement& p : placements) {
            if (p.destination == destination) {
                p.source = source;
                replaced = true;
            }
        }
        if (!replaced)
            placements.push_back({source, destination, temporary});
    }

    // Every file is good: give them their names. Anything else: none stays.
    std::vector<wxString> named;
    if (ok) {
        for (const Placement& p : placements) {
            if (!wxRenameFile(p.temporary, p.destination, true)) {
                wxLogError("Failed to copy file '%s' to the destination '%s'. Aborting database imports.",
                           wxFileName(p.source).GetFullName(), p.destination);
                ok = false;
                break;
            }
            named.push_back(p.destination);
        }
    }
    if (!ok) {
        for (const Placement& p : placements)
            RemoveQuietly(p.temporary);
        for (const wxString& path : named)
            RemoveQuietly(path);
    }
    return ok;
}

void UpdateStatus::OnOKButtonClick(wxCommandEvent&)
{
    if (!m_chosenFiles.empty()) {
        m_report->SetValue("Copying new Product Database updates ...\r\n");
        m_report->Update();
        wxTheApp->SafeYieldFor(this, wxEVT_CATEGORY_UI);
        if (PlaceChosenFiles())
            m_imported = true;
    }
    Finish(wxID_OK);
}
