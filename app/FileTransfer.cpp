// The download road as the application object runs it: the active files of
// a main window become the transfer list, the transfer window runs the
// transfer, and the done-handler's epilogue hands the results on.
#include "app/tidewrightapp.h"

#include <algorithm>
#include <deque>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "core/AreaWidth.h"
#include "core/Numbers.h"
#include "model/Batch.h"
#include "model/BatchDB.h"
#include "model/Broadcast.h"
#include "model/FileInfo.h"
#include "model/PostProcess.h"
#include "platform/UiHooks.h"
#include "windows/transfer/filexfer.h"

namespace {

// A worker that a forced close left finishing may still be using the
// transfer list: a new transfer is refused until it has ended (the main loop
// never waits for it; its window hands the outcome on once it has).
constexpr int kPreviousWorkerWaitMs = 0;

// Files named one by one in the notice of a transfer that did not fully succeed.
constexpr size_t kNamesShown = 20;

// Drained transfer lists of at least this many entries are freed off the
// main thread.
constexpr size_t kFreeAside = 1000;

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
        // Told here, once: the caller's own "could not be created" would
        // be a second, wrong account of it.
        wxLogError("The previous transfer has not ended yet.");
        return true;
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
    // The same holds for an area whose width is refused: told once per
    // folder and width.
    std::set<std::pair<wxString, wxString>> refusedAreas;
    for (size_t i = 0; i < files.GetCount(); ++i) {
        const CActiveFile& f = files.Item(i);
        if (refusedFolders.count(f.folder))
            continue;
        const bool areaRefused = f.bInteractive != 0 && !tw::AreaWidthInRange(f.width);
        if (areaRefused && refusedAreas.count({f.folder, tw::FormatG(f.width)}))
            continue;
        if (!ScheduleFileTransferEx(transferList, f.Path, f.folder, f.Compression, f.Price, f.bInteractive != 0,
                                    f.width, f.lat, f.lon)) {
            if (areaRefused)
                refusedAreas.insert({f.folder, tw::FormatG(f.width)});
            else if (!wxDirExists(f.folder))
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
    FileXfer* window = FileXfer::CreateInstance(&transferList, TransferWindowJob(), topWindow, wxID_ANY, title,
                                                wxDefaultPosition, wxSize(670, 500),
                                                wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU | wxRESIZE_BORDER);
    if (!window)
        return false;
    if (handler)
        window->Connect(wxID_ANY, wxEVT_TRANSFER_DONE, method, nullptr, handler);
    // Bound last, so the rate is kept before the done-handler runs.
    window->Bind(wxEVT_TRANSFER_DONE, &TidewrightApp::OnTransferWindowDone, this);
    window->ShowModal();
    return true;
}

CTransferJobBasis TidewrightApp::TransferJobBasis() const
{
    CTransferJobBasis basis;
    basis.productDb = GetProductDb();
    basis.productDbVersion = productDbVersion;
    basis.marineZonesDbVersion = marineZonesDbVersion;
    return basis;
}

FileXferJob TidewrightApp::TransferWindowJob()
{
    FileXferJob job;
    job.basis = TransferJobBasis();
    CRegistry settings;
    transferRate = settings.GetTransferRate();
    job.rate = transferRate;
    const DLPrefs& prefs = dlPrefs;
    switch (prefs.HomeLocation_Source) {
    case 0:
        job.home = HomePosition(prefs.HomeLocation_GPSLat, prefs.HomeLocation_GPSLon, prefs.HomeLocation_ContentBox);
        break;
    case 1:
        job.home = HomePosition(prefs.HomeLocation_CityLat, prefs.HomeLocation_CityLon, prefs.HomeLocation_ContentBox);
        break;
    case 2:
        job.home =
            HomePosition(prefs.HomeLocation_ManualLat, prefs.HomeLocation_ManualLon, prefs.HomeLocation_ContentBox);
        break;
    default:
        break;   // no home area: the list keeps none
    }
    return job;
}

void TidewrightApp::OnTransferWindowDone(wxCommandEvent& event)
{
    transferRate = static_cast<int>(event.GetExtraLong());
    event.Skip();
}

bool TidewrightApp::ScheduleFileTransferEx(CFileList& list, const wxString& serverPath, const wxString& folder,
                                           const wxString& compression, const wxString& price, bool interactive,
                                           float width, float lat, float lon)
{
    const wxString sep(wxFILE_SEP_PATH);
    wxString name = serverPath;
    name.Replace(wxS("/"), sep);
    name = name.AfterLast(wxFILE_SEP_PATH);

    // The gateway cuts an interactive request to its area: a width beyond
    // the widths an area takes is never sent, nor the file requested without
    // the area the user chose.
    if (interactive && !tw::AreaWidthInRange(width)) {
        tw::MessageBox(wxString::Format("The area of the files for %s is %s degrees wide; the width must be a "
                                        "number of degrees %s. These files are left out of the transfer; set "
                                        "the width in the batch's properties.",
                                        folder, tw::FormatG(width), tw::AreaWidthRangeText()),
                       wxS("Error"), wxOK | wxICON_ERROR);
        return false;
    }

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

namespace {

// The active files by where they belong (server path and download folder):
// each transfer entry takes the next active file of its place, so every
// copy of an item gets its own entry's path, or none when its own entry
// failed. The same item in two batches with their own folders has two
// places; in one folder the two copies are one file. The entries mostly
// come in the order of the active files they were made from, so the file
// after the last one taken is tried first; only an entry that is not its
// file's builds the index (one sorted table, no allocation per file).
class ActiveFileIndex
{
public:
    explicit ActiveFileIndex(const CActiveFileList& files) : m_files(files), m_taken(files.GetCount(), false) {}
    // The active file of the next entry of this place; -1 when none is left.
    long Take(const FileInfo& entry)
    {
        // The temporary path is folder/tmp/name (a name the server sent
        // instead changes only the name).
        std::wstring_view folder = View(entry.tmpPath);
        for (int level = 0; level < 2; ++level) {
            const size_t sep = folder.rfind(static_cast<wchar_t>(wxFILE_SEP_PATH));
            folder = folder.substr(0, sep == std::wstring_view::npos ? 0 : sep);
        }
        const std::wstring_view path = View(entry.serverPath);
        // Every file before the cursor is taken: the one at it is the first
        // not taken, and so the next of its own place.
        while (m_cursor < m_taken.size() && m_taken[m_cursor])
            ++m_cursor;
        if (m_cursor < m_taken.size()) {
            const CActiveFile& f = m_files.Item(m_cursor);
            if (View(f.Path) == path && View(NormalFolderOf(f)) == folder) {
                m_taken[m_cursor] = true;
                return static_cast<long>(m_cursor++);
            }
        }
        if (!m_built)
            Build();
        if (folder != m_lastFolder) {
            const auto known = m_folders.find(folder);
            if (known == m_folders.end())
                return -1;
            m_lastFolder = known->first;
            m_lastId = known->second;
        }
        const size_t hash = Hash(path, m_lastId);
        // Rows of one hash and folder lie together, in list order.
        for (auto row = std::lower_bound(m_table.begin(), m_table.end(), Row{hash, m_lastId, 0});
             row != m_table.end() && row->hash == hash && row->folder == m_lastId; ++row) {
            if (!m_taken[row->index] && View(m_files.Item(row->index).Path) == path) {
                m_taken[row->index] = true;
                return static_cast<long>(row->index);
            }
        }
        return -1;
    }

private:
    struct Row {
        size_t hash;
        size_t folder;
        size_t index;
        bool operator<(const Row& other) const
        {
            return hash != other.hash ? hash < other.hash
                                      : (folder != other.folder ? folder < other.folder : index < other.index);
        }
    };
    void Build()
    {
        m_built = true;
        m_table.reserve(m_files.GetCount());
        const wxString* lastFolder = nullptr;   // the files of a batch share their folder
        size_t lastId = 0;
        for (size_t i = 0; i < m_files.GetCount(); ++i) {
            const CActiveFile& f = m_files.Item(i);
            if (!lastFolder || *lastFolder != f.folder) {
                lastFolder = &f.folder;
                lastId = FolderId(NormalFolder(f.folder));
            }
            m_table.push_back(Row{Hash(View(f.Path), lastId), lastId, i});
        }
        std::sort(m_table.begin(), m_table.end());
    }
    // The folder of `f` as NormalFolder makes it, made again only when it
    // differs from the file's before.
    const wxString& NormalFolderOf(const CActiveFile& f)
    {
        if (!m_normalOf || *m_normalOf != f.folder) {
            m_normalOf = &f.folder;
            m_normal = NormalFolder(f.folder);
        }
        return m_normal;
    }
    static size_t Hash(std::wstring_view path, size_t folder)
    {
        return std::hash<std::wstring_view>()(path) ^ (folder * 0x9E3779B97F4A7C15ull);
    }
    static std::wstring_view View(const wxString& text)
    {
        static_assert(std::is_same<wxStringCharType, wchar_t>::value, "texts are read in place");
        return std::wstring_view(text.wx_str(), text.length());
    }
    // As a scheduled entry's paths are made: separators collapsed, none at the end.
    static wxString NormalFolder(const wxString& folder)
    {
        wxString normal = folder;
        const wxString twice = wxString(wxFILE_SEP_PATH) + wxFILE_SEP_PATH;
        if (normal.find(twice) != wxString::npos)
            normal = CollapseSeparators(normal);
        while (normal.length() > 0 && normal.Last() == wxFILE_SEP_PATH)
            normal.RemoveLast();
        return normal;
    }
    size_t FolderId(const wxString& folder)
    {
        const auto known = m_folders.find(View(folder));
        if (known != m_folders.end())
            return known->second;
        m_folderNames.push_back(folder);
        return m_folders.emplace(View(m_folderNames.back()), m_folders.size()).first->second;
    }

    const CActiveFileList& m_files;
    std::vector<Row> m_table;
    bool m_built = false;
    std::vector<bool> m_taken;
    size_t m_cursor = 0;                     // every file before it is taken
    const wxString* m_normalOf = nullptr;    // the folder m_normal was made from
    wxString m_normal;
    std::deque<wxString> m_folderNames;                       // each download folder once
    std::unordered_map<std::wstring_view, size_t> m_folders;   // views of m_folderNames
    std::wstring_view m_lastFolder {L"\n"};                  // of the entry before; no real folder
    size_t m_lastId = 0;
};

// How the user is told of a file: its catalogue title with its file name
// after, or the file name alone when the catalogue has no such item.
wxString ShownName(TidewrightApp& app, const wxString& fileId, const wxString& serverPath)
{
    wxString name = serverPath.AfterLast('/');
    if (name.Contains(wxS("=>")))
        name = name.AfterFirst('=').Mid(1);
    CFileInfo item;
    if (!fileId.empty() && app.FindFileInfo(item, fileId)) {
        const wxString title = item.info.Title;
        const wxString file = item.info.File;
        if (!file.empty())
            name = file;
        if (!title.empty())
            return title + wxS(": ") + name;
    }
    return name.empty() ? serverPath : name;
}

} // namespace

void TidewrightApp::FileTransferEpilogue(CActiveFileList& files, bool ok, HomePosition* area)
{
    // Runs once the transfer's worker has ended: the window sends its
    // outcome only then, so nothing here waits.
    if (area) {
        area->valid = FileXfer::HasHandBackPosition(transferList);
        if (area->valid)
            transferList.GetDefaultPosition(area->lat, area->lon, area->width);
    }
    // A user who ended the transfer by force asked for nothing more: what
    // arrived is recorded and kept, but no program is started and the
    // clipboard is left alone.
    const bool forced = FileXfer::WasForced(transferList);

    // Only files that arrived whole and were placed get a local path: an
    // entry the server refused, or that could not be received, decompressed
    // or placed, must not pass an older file of the same name off as new.
    TransferOutcome outcome;
    // The worker kept the paths as it placed the files: they are taken over,
    // not copied. Only when they do not account for every placed entry (the
    // list was changed after the transfer) are they gathered again below.
    transferList.TakePlacedPaths(outcome.arrived);
    size_t placedCount = 0;
    std::vector<const wxString*> placedPaths;   // where each placed entry's path is now, for that case
    placedPaths.reserve(outcome.arrived.size());
    ActiveFileIndex index(files);
    std::vector<wxString> missingIds;   // file ids of the missing entries, in order
    std::vector<const CActiveFile*> placed;   // given a path now
    placed.reserve(outcome.arrived.size());
    // The worker has ended: the entries are read as they are, without the
    // list's lock and without copies.
    for (size_t i = 0; i < transferList.GetCount(); ++i) {
        FileInfo& entry = transferList.Item(i);
        const long owner = index.Take(entry);
        if (entry.placed) {
            ++placedCount;
            const wxString* where = &entry.finalPath;
            if (owner >= 0) {
                CActiveFile& f = files.Item(static_cast<size_t>(owner));
                // A successful transfer's entries are dropped below: the
                // path is handed over, not copied a second time.
                if (ok) {
                    f.LocalPath.swap(entry.finalPath);
                    where = &f.LocalPath;
                } else {
                    f.LocalPath = entry.finalPath;
                }
                placed.push_back(&f);
            }
            placedPaths.push_back(where);
        } else {
            outcome.missing.Add(entry.serverPath);
            missingIds.push_back(owner >= 0 ? files.Item(static_cast<size_t>(owner)).FileID : wxString());
        }
        if (!entry.error.empty())
            outcome.ran = true;
    }
    if (outcome.arrived.size() != placedCount) {
        outcome.arrived.Clear();
        outcome.arrived.Alloc(placedCount);
        for (const wxString* path : placedPaths)
            outcome.arrived.Add(*path);
    }
    std::sort(placed.begin(), placed.end());
    outcome.ran = outcome.ran || !outcome.arrived.empty();
    outcome.complete = outcome.ran && outcome.missing.empty();
    // What this epilogue drops (the drained entries, the previous outcome)
    // can be many texts, and nothing uses them any more: a thread of their
    // own frees them, not the main loop.
    struct Dropped {
        FileInfoArray entries;
        TransferOutcome outcome;
    };
    auto dropped = std::make_unique<Dropped>();
    if (ok) {
        dropped->entries = std::move(transferList.files);
        transferList.files.Empty();
    }

    if (ok || !outcome.arrived.empty()) {
        outcome.keptCombined = CPostProcess::PostProcess(files, !forced);
        // The files placed now need no second look on disk.
        if (!forced)
            CBroadcast().BroadcastFiles2ExternApps(
                files, [&](const CActiveFile& f) { return std::binary_search(placed.begin(), placed.end(), &f); });
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
                text << wxS("    ") << ShownName(*this, missingIds[i], outcome.missing[i]) << wxS("\r\n");
            if (outcome.missing.size() > shown)
                text << wxString::Format("    ... and %zu more\r\n", outcome.missing.size() - shown);
            if (!outcome.arrived.empty())
                text << wxS("The files that arrived have been placed in their folders.\r\n");
        }
        for (const CPostProcess::CombinedShortfall& shortfall : CPostProcess::CombinedShortfalls(files)) {
            text << wxS("\r\nThe combined GRIB file ") << shortfall.gribfile
                 << (shortfall.rebuilt ? wxS(" was rebuilt from the GRIB files that arrived; without:\r\n")
                                       : wxS(" was not rebuilt, because none of its GRIB files arrived; the "
                                             "previous one is kept. Missing:\r\n"));
            const size_t shown = std::min<size_t>(shortfall.missing.size(), kNamesShown);
            for (size_t k = 0; k < shown; ++k) {
                const CActiveFile& f = files.Item(shortfall.missing[k]);
                text << wxS("    ") << ShownName(*this, f.FileID, f.Path) << wxS("\r\n");
            }
            if (shortfall.missing.size() > shown)
                text << wxString::Format("    ... and %zu more\r\n", shortfall.missing.size() - shown);
        }
        wxWindow* parent = wxGetActiveWindow() ? wxGetTopLevelParent(wxGetActiveWindow()) : topWindow;
        tw::MessageBox(text, wxS("Notice"), wxOK | wxICON_INFORMATION, parent);
    }
    // Exchanged, not copied (the arrays have no moves of their own).
    dropped->outcome.arrived.swap(m_transferOutcome.arrived);
    dropped->outcome.missing.swap(m_transferOutcome.missing);
    dropped->outcome.keptCombined.swap(m_transferOutcome.keptCombined);
    m_transferOutcome.arrived.swap(outcome.arrived);
    m_transferOutcome.missing.swap(outcome.missing);
    m_transferOutcome.keptCombined.swap(outcome.keptCombined);
    m_transferOutcome.notice = outcome.notice;
    m_transferOutcome.ran = outcome.ran;
    m_transferOutcome.complete = outcome.complete;
    if (dropped->entries.GetCount() + dropped->outcome.arrived.size() + dropped->outcome.missing.size() >= kFreeAside)
        std::thread([doomed = std::move(dropped)]() mutable { doomed.reset(); }).detach();
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
