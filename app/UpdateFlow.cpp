// The product-database update flow: the update dialog, the download of the
// newer databases into the updates folder, and the offer to restart so that
// the next start installs them.
#include <ctime>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "core/Init.h"
#include "app/tidewrightapp.h"
#include "model/FileList.h"
#include "platform/UiHooks.h"
#include "windows/transfer/filexfer.h"
#include "windows/transfer/updatestatus.h"

void TidewrightApp::OnUpdateDB()
{
    wxInt32 productSize = 0;
    wxInt32 zonesSize = 0;
    {
        UpdateStatus dialog(false, true, TransferJobBasis());
        dialog.Create(topWindow, UpdateStatus::ID_UPDATESTATUS, _("Update Status"), wxDefaultPosition,
                      wxSize(400, 300),
                      wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
        if (dialog.ShowModal() != wxID_OK)
            return;
        if (dialog.IsImported()) {
            RestartApplicationNow("The Product Database import succeeded. You must restart " +
                                  wxTheApp->GetAppDisplayName() + " to complete the update.");
            return;
        }
        if (!dialog.CheckSucceeded())
            return;
        productSize = dialog.GetNewProductDBSize();
        zonesSize = dialog.GetNewMarineZonesSize();
    }
    if (productSize == 0 && zonesSize == 0)
        return;

    // A worker left behind by a forced close may still be reading the list:
    // refused until it has ended, without waiting for it here.
    if (!FileXfer::WaitForWorkers(0)) {
        wxLogError("The previous transfer has not ended yet.");
        return;
    }
    transferList.Clear();
    updateFilesScheduled.clear();
    const wxString folder = CInit::GetProductDBUpdatesDir();
    long total = 0;
    if (productSize != 0 &&
        ScheduleFileTransferEx(transferList, CInit::GetProductBZ2RivolName(), folder, wxString(), "0", false, 0.0f,
                               0.0f, 0.0f)) {
        total = productSize / 1024;
        updateFilesScheduled.Add(CInit::GetProductDBFileName());
    }
    if (zonesSize != 0 &&
        ScheduleFileTransferEx(transferList, CInit::GetMarineZonesBZ2RivolName(), folder, wxString(), "0", false,
                               0.0f, 0.0f, 0.0f)) {
        total += zonesSize / 1024;
        updateFilesScheduled.Add(CInit::GetMarineZonesDBFileName());
    }
    if (updateFilesScheduled.empty())
        return;
    transferList.price = 0.0;
    transferList.compressedSize = static_cast<int>(total);
    transferList.rawSize = static_cast<int>(total);
    transferList.xferMode = XFER_MODE_DATABASE;
    updateStartedAt = static_cast<long long>(std::time(nullptr));

    FileXfer* window = FileXfer::CreateInstance(&transferList, TransferWindowJob(), topWindow, wxID_ANY,
                                                wxS("Product Database Transfer and Control Status"),
                                                wxDefaultPosition, wxSize(670, 500),
                                                wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
    if (!window)
        return;
    window->Bind(wxEVT_TRANSFER_DONE, &TidewrightApp::OnUpdateDBDone, this);
    // Bound last, so the rate is kept before the update's done-handler runs.
    window->Bind(wxEVT_TRANSFER_DONE, &TidewrightApp::OnTransferWindowDone, this);
    window->ShowModal();
}

void TidewrightApp::OnUpdateDBDone(wxCommandEvent& event)
{
    if (event.GetInt() == 0)
        return;

    // The transfer ended well; still, each database must be there, written
    // by this transfer, not empty, and a database that opens.
    const wxString folder = CInit::GetProductDBUpdatesDir();
    wxString failures;
    wxString arrived;
    for (const wxString& name : updateFilesScheduled) {
        const wxString path = folder + wxS("/") + name;
        wxString why;
        const wxString serverPath = wxS("/") + name + wxS(".bz2");
        for (size_t i = 0; i < transferList.GetCount() && why.empty(); ++i)
            if (transferList.Item(i).serverPath == serverPath)
                why = transferList.GetFileError(i);
        const bool exists = wxFileExists(path);
        const bool fresh = exists && wxFileName(path).GetModificationTime().GetTicks() >= updateStartedAt - 1;
        if (why.empty() && (!exists || !fresh)) {
            why = wxS("it did not arrive");
        } else if (why.empty() && wxFileName::GetSize(path) == 0) {
            why = wxS("it arrived empty");
        } else if (why.empty() && !(name == CInit::GetProductDBFileName() ? CInit::IsUsableCatalogue(path, &why)
                                                                           : CInit::IsUsableDatabase(path, &why))) {
            why = wxS("it is not a usable database (") + why + wxS(")");
        } else if (!why.empty()) {
            why.Trim();
        }
        if (why.empty()) {
            arrived << (arrived.empty() ? wxS("") : wxS(", ")) << name;
            continue;
        }
        // What this transfer left there must not be installed.
        if (fresh) {
            wxLogNull quiet;
            wxRemoveFile(path);
        }
        failures << name << wxS(": ") << why << wxS("\r\n");
    }
    if (!failures.empty()) {
        wxLogError("Product Database update failed: %s", failures);
        wxString text = "The Product Database update failed.\r\n\r\n" + failures +
                        "\r\nThe installed databases have not been changed.";
        if (!arrived.empty())
            text << " " << arrived << " arrived whole and will be installed at the next start.";
        tw::MessageBox(text, wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    RestartApplicationNow("The Product Database update succeded. You must restart " + wxTheApp->GetAppDisplayName() +
                          " to complete the update.");
}

bool TidewrightApp::RestartApplicationNow(const wxString& text)
{
    const int answer = tw::MessageBox(text + "\r\n\r\nRestart NOW?", wxS("Confirm Program Restart"),
                                      wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    if (answer == wxYES) {
        restartRequested = true;
        ExitMainLoop();
        return true;
    }
    restartRequested = false;
    return false;
}
