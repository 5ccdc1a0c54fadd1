// The Library window's context menus and its item commands: viewing an
// item's file, opening it with a program, checking, unchecking and deleting
// items, the item's properties.
#include "windows/library/batchwindow.h"

#include <memory>

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/stdpaths.h>
#include <wx/wxsqlite3.h>

#include "core/LocalFiles.h"
#include "model/BatchDB.h"
#include "model/LocalCopy.h"
#include "model/PostProcess.h"
#include "platform/UiHooks.h"
#include "windows/common/ErrorGate.h"
#include "windows/common/Shell.h"
#include "windows/library/BatchWindowParts.h"
#include "windows/library/batchitemsproperties.h"

using tw::library::RowItem;

// ---------------------------------------------------------------- context menus

wxMenu* BatchWindow::BuildBatchesContextMenu() const
{
    auto* menu = new wxMenu;
    auto add = [&](int id, const wxString& label, bool disabledOnNewBatch) {
        menu->Append(id, label, label);
        if (disabledOnNewBatch && m_currentBatchId == -1)
            menu->Enable(id, false);
    };
    add(ID_BATCH_ENABLE_TOGGLE, wxS("Enable/Disable"), true);
    add(ID_BATCH_CTX_ENABLE_ALL, wxS("Enable All Batches"), false);
    add(ID_BATCH_CTX_DISABLE_ALL, wxS("Disable All Batches"), false);
    menu->AppendSeparator();
    add(ID_BATCH_CTX_DELETE_DISABLED, wxS("Delete All Disabled Batches"), false);
    add(ID_BATCH_DELETE_BATCH, wxS("Delete"), true);
    add(ID_BATCH_RENAME_BATCH, wxS("Rename"), true);
    menu->AppendSeparator();
    add(ID_BATCH_EXPORT_BATCH, wxS("Export This Batch"), true);
    add(ID_BATCH_IMPORT_BATCH, wxS("Import Batch"), true);
    menu->AppendSeparator();
    add(ID_BATCH_CTX_PROPERTIES, wxS("Properties"), true);
    return menu;
}

wxMenu* BatchWindow::BuildItemsContextMenu() const
{
    auto* viewWith = new wxMenu;
    const struct {
        int id;
        const char* label;
        wxString (*path)();
    } viewers[] = {
        {ID_ITEMS_CTX_GRIB_VIEWER, "Isobarion", &tw::GetIsobarionPath},
        {ID_ITEMS_CTX_CHART_VIEWER, "Chartloom", &tw::GetWSPath},
        {ID_ITEMS_CTX_TEXT_EDITOR, "TextEdit", &tw::GetTXTAppPath},
        {ID_ITEMS_CTX_PREVIEW, "Preview", &tw::GetPreviewAppPath},
    };
    for (const auto& viewer : viewers) {
        viewWith->Append(viewer.id, viewer.label, viewer.label);
        if (viewer.path().empty())
            viewWith->Enable(viewer.id, false);
    }
    viewWith->AppendSeparator();
    viewWith->Append(ID_ITEMS_CTX_CHOOSE_PROGRAM, wxS("Choose Program..."), wxS("Choose Program..."));

    auto* menu = new wxMenu;
    auto add = [&](int id, const wxString& label) { menu->Append(id, label, label); };
    add(ID_ITEMS_CTX_VIEW, wxS("View"));
    menu->Append(wxID_ANY, wxS("View With"), viewWith, wxString());
    menu->AppendSeparator();
    add(ID_ITEMS_CTX_COPY, wxS("Copy"));
    add(ID_ITEMS_CTX_PASTE, wxS("Paste"));
    menu->AppendSeparator();
    add(ID_ITEMS_CTX_SELECT_ALL, wxS("Select All"));
    add(ID_ITEMS_CTX_UNSELECT_ALL, wxS("Un-Select All"));
    menu->AppendSeparator();
    add(ID_ITEMS_CTX_DELETE, wxS("Delete"));
    add(ID_ITEMS_CTX_DELETE_UNSELECTED, wxS("Delete Un-Selected"));
    menu->AppendSeparator();
    add(ID_ITEMS_CTX_PROPERTIES, wxS("Properties"));
    return menu;
}

void BatchWindow::OnBatchesContextMenu(wxContextMenuEvent&)
{
    std::unique_ptr<wxMenu> menu(BuildBatchesContextMenu());
    PopupMenu(menu.get());
    m_rightButtonDown = false;
}

void BatchWindow::OnBatchItemsContextMenu(wxContextMenuEvent&)
{
    std::unique_ptr<wxMenu> menu(BuildItemsContextMenu());
    PopupMenu(menu.get());
}

// ---------------------------------------------------------------- item commands and viewers

void BatchWindow::TellNotDownloaded(const CFileInfo& item)
{
    Tell(item.info.Title + wxS(" has not been downloaded yet."), wxS("Notice"), wxOK | wxICON_INFORMATION);
}

void BatchWindow::ViewBatchItem(long row)
{
    const CFileInfo* item = row < 0 ? m_currentItem
                                    : (row < m_itemsList->GetItemCount() ? RowItem(m_itemsList, row) : nullptr);
    if (!item)
        return;
    try {
        // Nothing to open for an item whose file is not here yet.
        CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(m_currentBatchId);
        if (tw::GetFilePath(&batch, batch.info.folder, item->info.Path).empty()) {
            TellNotDownloaded(*item);
            return;
        }
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
        return;
    }
    tw::TheShell().ViewItemGlobal(item->info.FileID, m_currentBatchId);
}

bool BatchWindow::GetAppRunArgs(wxString& folder, wxString& file)
{
    if (!m_currentItem)
        return false;
    CFileInfo item;
    if (!tw::TheShell().FindFileInfo(item, m_currentItem->info.FileID)) {
        Tell(wxS("Cannot find in product list: ") + m_currentItem->info.FileID, wxS("Error"), wxOK);
        return false;
    }
    try {
        CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(m_currentBatchId);
        folder = batch.info.folder;
        file = tw::GetFilePath(&batch, folder, item.info.Path);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
        return false;
    }
    return true;
}

void BatchWindow::RunApp(const wxString& application)
{
    wxString folder, file;
    if (!GetAppRunArgs(folder, file))
        return;
    if (file.empty()) {
        TellNotDownloaded(*m_currentItem);
        return;
    }
    // The program and the file as an argument vector: no text is ever parsed.
    CPostProcess::RunApp(application, 0, folder, file);
}

void BatchWindow::OnBatchItemsViewWith(wxCommandEvent& event)
{
    wxString path;
    switch (event.GetId()) {
    case ID_ITEMS_CTX_GRIB_VIEWER:
        path = tw::GetIsobarionPath();
        break;
    case ID_ITEMS_CTX_CHART_VIEWER:
        path = tw::GetWSPath();
        break;
    case ID_ITEMS_CTX_TEXT_EDITOR:
        path = tw::GetTXTAppPath();
        break;
    case ID_ITEMS_CTX_PREVIEW:
        path = tw::GetPreviewAppPath();
        break;
    default:
        return;
    }
    if (!path.empty())
        RunApp(path);
}

void BatchWindow::OnBatchItemsChooseViewProgram(wxCommandEvent&)
{
    if (m_chooseProgramDir.empty())
        m_chooseProgramDir = wxStandardPaths::Get().GetPluginsDir();
    tw::FileChooserRequest request;
    request.message = wxS("Choose Program");
    request.defaultDir = m_chooseProgramDir;
    request.wildcard = wxS("*");
    request.style = wxFD_OPEN | wxFD_FILE_MUST_EXIST;
    request.parent = tw::BoxParent(this);
    const wxString program = tw::ChooseFile(request);
    if (program.empty())
        return;
    m_chooseProgramDir = wxFileName(program).GetPath(wxPATH_GET_VOLUME);
    RunApp(program);
}

void BatchWindow::OnBatchItemsViewFile(wxCommandEvent&)
{
    ViewBatchItem(-1);
}

void BatchWindow::SetAllItemsStatus(int status)
{
    try {
        if (m_currentBatchId >= 0)
            CBatchFolder::Instance()->SetBatchItemStatus(status, m_currentBatchId, wxS("ALL_BATCH_ITEMS"));
        LoadBatchItemsCtrl(m_currentBatchId);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BatchWindow::OnBatchItemsSelectAll(wxCommandEvent&)
{
    SetAllItemsStatus(1);
}

void BatchWindow::OnBatchItemsUnselectAll(wxCommandEvent&)
{
    SetAllItemsStatus(0);
}

void BatchWindow::OnBatchItemsDeleteUnselected(wxCommandEvent&)
{
    try {
        CBatchFolder* store = CBatchFolder::Instance();
        const CBatch batch = store->GetBatchByIndex(m_currentBatchId);
        if (Tell(wxS("Delete ALL un-checked entries in ") + batch.info.title + wxS(" batch?"), wxS("Confirm Delete"),
                 wxYES_NO | wxNO_DEFAULT) != wxYES)
            return;
        if (m_currentBatchId >= 0)
            store->DeleteUnselectedBatchItems(m_currentBatchId);
        LoadBatchItemsCtrl(m_currentBatchId);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BatchWindow::OnBatchItemsProperties(wxCommandEvent&)
{
    if (!m_currentItem)
        return;
    CFileInfo item;
    if (!tw::TheShell().FindFileInfo(item, m_currentItem->info.FileID)) {
        Tell(wxS("Cannot find in product list: ") + m_currentItem->info.FileID, wxS("Error"), wxOK);
        return;
    }
    BatchItemsProperties dialog(nullptr, ID_BATCHITEMSPROPERTIES, _("Weather File Properties"), wxDefaultPosition,
                                wxSize(400, 300), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    dialog.SetItem(item);
    dialog.ShowModal();
}
