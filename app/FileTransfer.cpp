// The download road as the application object runs it: the active files of
// a main window become the transfer list, the transfer window runs the
// transfer, and the done-handler's epilogue hands the results on.
#include "app/tidewrightapp.h"

#include <algorithm>
#include <set>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "app/Numbers.h"
#include "catalogue/Batch.h"
#include "catalogue/BatchDB.h"
#include "catalogue/Broadcast.h"
#include "catalogue/PostProcess.h"
#include "platform/UiHooks.h"
#include "transfer/filexfer.h"

namespace {

// A worker that a forced close left finishing may still be using the
// transfer list; a new transfer waits this long for it before it refills it.
constexpr int kPreviousWorkerWaitMs = 5000;

// Files named one by one in the notice of a transfer that did not fully succeed.
constexpr size_t kNamesShown = 20;

wxString CollapseSeparators(wxString path)
{
    const wxString twice = wxString(wxFILE_SEP_PATH) + wxFILE_SEP_PATH;
    while (path.Replace(twice, wxString(wxFILE_SEP_PATH)) > 0) {
    }
    return path;
}

} // namespace

bool TidewrightApp::FileTransferStart(CActiveFileList& files, wxEvtHandler* handler, wxObjectEventFunction method,
                                      int mode, HomePosition* area)
{
    if ((handler == nullptr) != (method == nullptr))
        return false;
    if (!FileXfer::WaitForWorkers(kPreviousWorkerWaitMs)) {
        wxLogError("The previous transfer has not ended yet.");
        return false;
    }

    transferList.Clear();
    FileXfer::ResetHandBack(transferList);
    transferList.xferMode = mode;
    if (area)
        transferList.SetDefaultPosition(area->lat, area->lon, area->width);

    // The totals cover the files that are really requested: a file whose
    // folder the user did not want made is not part of the transfer.
    double price = 0.0;
    long compressed = 0;
    long raw = 0;
    // A missing folder is asked about once in a transfer: a folder the user
    // did not want made (or that could not be made) leaves out the rest of
    // its files without asking again.
    std::set<wxString> refusedFolders;
    for (size_t i = 0; i < files.GetCount(); ++i) {
        const CActiveFile& f = files.Item(i);
        if (refusedFolders.count(f.folder))
            continue;
        if (!ScheduleFileTransferEx(transferList, f.Path, f.folder, f.Compression, f.Price, f.bInteractive != 0,
                                    f.width, f.lat, f.lon)) {
            if (!wxDirExists(f.folder))
                refusedFolders.insert(f.folder);
            continue;
        }
        price += tw::LeadingDouble(f.Price);
        compressed += tw::LeadingInt(f.CompressedSize);
        raw += tw::LeadingInt(f.RawSize);
    }
    transferList.compressedSize = static_cast<int>(compressed);
    transferList.rawSize = static_cast<int>(raw);
    transferList.price = price;

    const wxString title = mode == XFER_MODE_DATABASE ? wxS("Product Database Transfer and Control Status")
                                                      : wxS("File Transfer and Control Status");
    FileXfer* window = FileXfer::CreateInstance(&transferList, topWindow, wxID_ANY, title, wxDefaultPosition,
                                                wxSize(670, 500),
                                                wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
    if (!window)
        return false;
    if (handler)
        window->Connect(wxID_ANY, wxEVT_TRANSFER_DONE, method, nullptr, handler);
    window->ShowModal();
    return true;
}

bool TidewrightApp::ScheduleFileTransferEx(CFileList& list, const wxString& serverPath, const wxString& folder,
                                           const wxString& compression, const wxString& price, bool interactive,
                                           float width, float lat, float lon)
{
    const wxString sep(wxFILE_SEP_PATH);
    wxString name = serverPath;
    name.Replace(wxS("/"), sep);
    name = name.AfterLast(wxFILE_SEP_PATH);

    if (!wxDirExists(folder)) {
        const int answer = tw::MessageBox(
            wxString::Format("Download folder %s does not exist. Would you like to create it?", folder),
            wxS("Confirm Folder Creation"), wxYES_NO | wxNO_DEFAULT);
        if (answer != wxYES)
            return false;
        if (!MkDirTree(folder)) {
            tw::MessageBox(wxString::Format("Failed to create download folder %s. File %s will be skipped.", folder,
                                            name),
                           wxS("Error"), wxOK);
            return false;
        }
    }
    const wxString tmpFolder = folder + sep + "tmp";
    if (!wxDirExists(tmpFolder)) {
        wxLogNull quiet;   // a failure shows later as the file's own failure
        wxMkdir(tmpFolder, 0777);
    }
    list.Add(serverPath, CollapseSeparators(tmpFolder + sep + name), CollapseSeparators(folder + sep + name), name,
             compression, price, interactive, width, lat, lon);
    return true;
}

int TidewrightApp::InsertLocalPath(CActiveFileList& files, const wxString& serverPath, const wxString& localPath)
{
    // The same item in two batches: each entry goes to its own active file,
    // the first with that path that has none yet.
    for (size_t i = 0; i < files.GetCount(); ++i) {
        CActiveFile& f = files.Item(i);
        if (f.Path == serverPath && f.LocalPath.empty()) {
            f.LocalPath = localPath;
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(files.GetCount());
}

void TidewrightApp::FileTransferEpilogue(CActiveFileList& files, bool ok, HomePosition* area)
{
    // A worker that a forced close left finishing may still be placing
    // files: what arrived is read once it has ended.
    FileXfer::WaitForWorkers(kPreviousWorkerWaitMs);

    if (area) {
        area->valid = FileXfer::HasHandBackPosition(transferList);
        if (area->valid)
            transferList.GetDefaultPosition(area->lat, area->lon, area->width);
    }

    // Only files that arrived whole and were placed get a local path: an
    // entry the server refused, or that could not be received, decompressed
    // or placed, must not pass an older file of the same name off as new.
    TransferOutcome outcome;
    for (size_t i = 0; i < transferList.GetCount(); ++i) {
        wxString placedAt;
        if (transferList.IsFilePlaced(i, &placedAt)) {
            outcome.arrived.Add(placedAt);
            InsertLocalPath(files, transferList.Item(i).serverPath, placedAt);
        } else {
            outcome.missing.Add(transferList.Item(i).serverPath);
        }
        if (!transferList.GetFileError(i).empty())
            outcome.ran = true;
    }
    outcome.ran = outcome.ran || !outcome.arrived.empty();
    outcome.complete = outcome.ran && outcome.missing.empty();
    if (ok)
        transferList.files.Empty();

    if (ok || !outcome.arrived.empty()) {
        outcome.keptCombined = CPostProcess::PostProcess(files);
        CBroadcast().BroadcastFiles2ExternApps(files);
    } else if (outcome.ran) {
        outcome.keptCombined = CPostProcess::IncompleteCombinedFiles(files);
    }

    if (outcome.ran && (!outcome.missing.empty() || !outcome.keptCombined.empty())) {
        wxString& text = outcome.notice;
        if (!outcome.missing.empty()) {
            text << wxS("The transfer did not fully succeed. ");
            text << (outcome.missing.size() == 1 ? wxS("This file did not arrive:\r\n")
                                                 : wxS("These files did not arrive:\r\n"));
            const size_t shown = std::min<size_t>(outcome.missing.size(), kNamesShown);
            for (size_t i = 0; i < shown; ++i)
                text << wxS("    ") << outcome.missing[i] << wxS("\r\n");
            if (outcome.missing.size() > shown)
                text << wxString::Format("    ... and %zu more\r\n", outcome.missing.size() - shown);
            if (!outcome.arrived.empty())
                text << wxS("The files that arrived have been placed in their folders.\r\n");
        }
        for (const wxString& gribfile : outcome.keptCombined)
            text << wxS("\r\nThe combined GRIB file ") << gribfile
                 << wxS(" was not rebuilt, because not every GRIB file of its batch arrived; the previous one is "
                        "kept.\r\n");
        wxWindow* parent = wxGetActiveWindow() ? wxGetTopLevelParent(wxGetActiveWindow()) : topWindow;
        tw::MessageBox(text, wxS("Notice"), wxOK | wxICON_INFORMATION, parent);
    }
    m_transferOutcome = std::move(outcome);
}

wxString TidewrightApp::GetTransferFolder()
{
    return CBatchFolder::Instance()->GetBatchByIndex(kGlobalBatchId).info.folder;
}

void TidewrightApp::SetTransferFolder(wxString folder, bool alsoBasic)
{
    CBatchFolder* store = CBatchFolder::Instance();
    store->SetBatchTransferFolder(false, kGlobalBatchId, folder);
    if (alsoBasic)
        store->SetBatchTransferFolder(false, kBasicBatchId, folder + wxFILE_SEP_PATH + "Basic Batch");
}
