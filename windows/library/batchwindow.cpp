#include "windows/library/batchwindow.h"

#include <optional>
#include <vector>

#include <wx/aboutdlg.h>
#include <wx/dataobj.h>
#include <wx/display.h>
#include <wx/file.h>
#include <wx/filedlg.h>
#include <wx/icon.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/statbmp.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "windows/common/Shell.h"
#include "core/Editions.h"
#include "model/BasicBatch.h"
#include "model/BatchDB.h"
#include "model/BatchFile.h"
#include "windows/library/BatchWindowParts.h"
#include "windows/library/LibraryRules.h"
#include "windows/library/ListRows.h"
#include "windows/library/find.h"
#include "windows/library/wizardtreewindow.h"
#include "platform/Accessible.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/transfer/connsettings.h"
#include "windows/common/ErrorGate.h"
#include "windows/wizard/ContentWizardLauncher.h"

wxIMPLEMENT_CLASS(BatchWindow, wxFrame);

wxBEGIN_EVENT_TABLE(BatchWindow, wxFrame)
    // Mode
    EVT_MENU(ID_BATCH_BASIC_MODE, BatchWindow::OnMenuBasicModeClick)
    EVT_MENU(ID_BATCH_PORTAL_MODE, BatchWindow::OnMenuLoadWindowClick)
    EVT_MENU(ID_BATCH_CONTENT_WIZARD, BatchWindow::OnMenuContentWizardClick)
    EVT_MENU(ID_BATCH_WIZARD_DEFAULTS, BatchWindow::OnMenuSetDefaultsClick)
    EVT_MENU(ID_BATCH_WIZARD_DOWNLOAD, BatchWindow::OnMenuLaunchWizardDownloadClick)
    // Program
    EVT_MENU(ID_BATCH_SETTINGS, BatchWindow::OnMenuSettingsClick)
    EVT_MENU(ID_BATCH_UPDATE_FILE_LIST, BatchWindow::OnMenuUpdateFileListClick)
    EVT_MENU(ID_BATCH_ARCHIVE_FILES, BatchWindow::OnMenuArchiveFilesClick)
    EVT_UPDATE_UI(ID_BATCH_ARCHIVE_FILES, BatchWindow::OnMenuArchiveFilesUpdate)
    EVT_MENU(ID_BATCH_EXIT, BatchWindow::OnMenuExitClick)
    EVT_MENU(wxID_EXIT, BatchWindow::OnMenuExitClick)
    // Edit
    EVT_MENU(ID_BATCH_COPY, BatchWindow::OnMenuCopyClick)
    EVT_MENU(ID_BATCH_PASTE, BatchWindow::OnMenuPasteClick)
    EVT_MENU(ID_BATCH_DELETE_ITEMS, BatchWindow::OnMenuDeleteClick)
    EVT_MENU(ID_BATCH_FIND, BatchWindow::OnMenuFindClick)
    // Batch
    EVT_MENU(ID_BATCH_NEW_BATCH, BatchWindow::OnNewBatchClick)
    EVT_MENU(ID_BATCH_DELETE_BATCH, BatchWindow::OnDeleteBatchClick)
    EVT_MENU(ID_BATCH_RENAME_BATCH, BatchWindow::OnRenameBatchClick)
    EVT_MENU(ID_BATCH_ENABLE_TOGGLE, BatchWindow::OnEnableBatchToggleClick)
    EVT_MENU(ID_BATCH_EXPORT_BATCH, BatchWindow::OnExportBatchClick)
    EVT_MENU(ID_BATCH_IMPORT_BATCH, BatchWindow::OnImportBatchClick)
    EVT_MENU(ID_BATCH_BACKUP_BATCHES, BatchWindow::OnBackupBatchesClick)
    EVT_MENU(ID_BATCH_RESTORE_BATCHES, BatchWindow::OnRestoreBatchesClick)
    EVT_MENU(ID_BATCH_INSTALL_SAMPLES, BatchWindow::OnMenuInstallSampleBatchesClick)
    EVT_MENU(ID_BATCH_PROPERTIES, BatchWindow::OnBatchPropertiesClick)
    EVT_MENU(ID_BATCH_GLOBAL_PROPERTIES, BatchWindow::OnGlobalBatchPropertiesClick)
    // Transfer and Help
    EVT_MENU(ID_BATCH_START_TRANSFER, BatchWindow::OnStart)
    EVT_MENU(ID_BATCH_USER_GUIDE, BatchWindow::OnMenuHelpClick)
    EVT_MENU(ID_BATCH_ABOUT, BatchWindow::OnMenuAboutClick)
    // Tools: each does what its menu twin does
    EVT_MENU(ID_BATCH_TOOL_BASIC, BatchWindow::OnMenuBasicModeClick)
    EVT_MENU(ID_BATCH_TOOL_PORTAL, BatchWindow::OnMenuLoadWindowClick)
    EVT_MENU(ID_BATCH_TOOL_WIZARD, BatchWindow::OnMenuContentWizardClick)
    EVT_MENU(ID_BATCH_TOOL_FIND, BatchWindow::OnMenuFindClick)
    EVT_MENU(ID_BATCH_TOOL_INSTALL_SAMPLES, BatchWindow::OnMenuInstallSampleBatchesClick)
    EVT_MENU(ID_BATCH_TOOL_TRANSFER, BatchWindow::OnStart)
    // Batches context menu
    EVT_MENU(ID_BATCH_CTX_PROPERTIES, BatchWindow::OnBatchProperties)
    EVT_MENU(ID_BATCH_CTX_ENABLE_ALL, BatchWindow::OnEnableAllBatchesClick)
    EVT_MENU(ID_BATCH_CTX_DISABLE_ALL, BatchWindow::OnDisableAllBatchesClick)
    EVT_MENU(ID_BATCH_CTX_DELETE_DISABLED, BatchWindow::OnDeleteAllDisabledBatchesClick)
    // Items context menu
    EVT_MENU_RANGE(ID_ITEMS_CTX_GRIB_VIEWER, ID_ITEMS_CTX_PREVIEW, BatchWindow::OnBatchItemsViewWith)
    EVT_MENU(ID_ITEMS_CTX_CHOOSE_PROGRAM, BatchWindow::OnBatchItemsChooseViewProgram)
    EVT_MENU(ID_ITEMS_CTX_VIEW, BatchWindow::OnBatchItemsViewFile)
    EVT_MENU(ID_ITEMS_CTX_COPY, BatchWindow::OnMenuCopyClick)
    EVT_MENU(ID_ITEMS_CTX_PASTE, BatchWindow::OnMenuPasteClick)
    EVT_MENU(ID_ITEMS_CTX_SELECT_ALL, BatchWindow::OnBatchItemsSelectAll)
    EVT_MENU(ID_ITEMS_CTX_UNSELECT_ALL, BatchWindow::OnBatchItemsUnselectAll)
    EVT_MENU(ID_ITEMS_CTX_DELETE, BatchWindow::OnMenuDeleteClick)
    EVT_MENU(ID_ITEMS_CTX_DELETE_UNSELECTED, BatchWindow::OnBatchItemsDeleteUnselected)
    EVT_MENU(ID_ITEMS_CTX_PROPERTIES, BatchWindow::OnBatchItemsProperties)
    // Frame, splitters, tree, lists
    EVT_CHAR(BatchWindow::OnChar)
    EVT_SPLITTER_SASH_POS_CHANGED(ID_BATCH_OUTER_SPLITTER, BatchWindow::OnSplitterwindowSashPosChanged)
    EVT_SPLITTER_SASH_POS_CHANGED(ID_BATCH_INNER_SPLITTER, BatchWindow::OnSplitterwindow1SashPosChanged)
    EVT_TREE_BEGIN_DRAG(ID_BATCH_CATALOGUE_TREE, BatchWindow::OnProductTreeCtrlBeginDrag)
    EVT_TREE_ITEM_COLLAPSED(ID_BATCH_CATALOGUE_TREE, BatchWindow::OnProductTreeCtrlItemCollapsed)
    EVT_TREE_ITEM_EXPANDED(ID_BATCH_CATALOGUE_TREE, BatchWindow::OnProductTreeCtrlItemExpanded)
    EVT_TREE_ITEM_RIGHT_CLICK(ID_BATCH_CATALOGUE_TREE, BatchWindow::OnProductTreeCtrlItemRightClick)
    EVT_LIST_ITEM_SELECTED(ID_BATCH_BATCHES_LIST, BatchWindow::OnBatchListCtrlSelected)
    EVT_LIST_ITEM_DESELECTED(ID_BATCH_BATCHES_LIST, BatchWindow::OnBatchListCtrlDeselected)
    EVT_LIST_COL_CLICK(ID_BATCH_BATCHES_LIST, BatchWindow::OnBatchListCtrlColLeftClick)
    EVT_LIST_ITEM_SELECTED(ID_BATCH_ITEMS_LIST, BatchWindow::OnBatchItemsListCtrlSelected)
    EVT_LIST_COL_CLICK(ID_BATCH_ITEMS_LIST, BatchWindow::OnBatchItemsListCtrlColLeftClick)
wxEND_EVENT_TABLE()

namespace {

wxColour Grey()
{
    return wxColour(190, 190, 190);
}

// The batch properties dialog of the application.
int RealBatchDialog(CBatch& batch, bool isNew)
{
    return tw::TheShell().BatchDialog(&batch, isNew);
}

// The items list's column headings: one font for all (the list draws every
// heading alike).
wxFont HeadingFont()
{
    return wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, "Tahoma");
}

// Gives a list's headings a font. Where the toolkit has no call for it, the
// headings are the list's child window above its rows, which can be told
// only once the list is laid out; false until then.
bool SetHeadingFont(wxListCtrl* list, const wxFont& font)
{
    wxItemAttr heading;
    heading.SetFont(font);
    if (list->SetHeaderAttr(heading))
        return true;
    const wxWindowList& children = list->GetChildren();
    if (children.size() != 2)
        return children.size() < 2;   // no headings to change
    wxWindow* first = children.front();
    wxWindow* second = children.back();
    if (first->GetPosition().y == second->GetPosition().y)
        return false;
    (first->GetPosition().y < second->GetPosition().y ? first : second)->SetFont(font);
    return true;
}

} // namespace

namespace tw::library {

BatchWindow::BatchDialogRunner& DialogRunner()
{
    static BatchWindow::BatchDialogRunner runner = RealBatchDialog;
    return runner;
}

} // namespace tw::library

using tw::library::DialogRunner;
using tw::library::RowImage;

// ---------------------------------------------------------------- construction

BatchWindow::BatchWindow()
{
    Init();
}

BatchWindow::BatchWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    Init();
    std::optional<wxString> width, height;
    {
        CUserConfig file;
        if (file.Has("General/Width"))
            width = file.ReadText("General/Width");
        if (file.Has("General/Height"))
            height = file.ReadText("General/Height");
    }
    const wxRect area = wxDisplay(0u).GetClientArea();
    const tw::FrameDims dims =
        tw::LibraryFrameSize(width, height, {size.x, size.y}, {area.width, area.height});
    Create(parent, id, caption, pos, wxSize(dims.width, dims.height), style);
}

BatchWindow::~BatchWindow()
{
    SaveFrameSize();
    // Nothing may reach the lists through the application once they are gone.
    tw::Shell& app = tw::TheShell();
    if (m_catalogueTree && app.catalogueTreeCtrl == m_catalogueTree)
        app.catalogueTreeCtrl = nullptr;
    if (m_batchesList && app.batchesListCtrl == m_batchesList)
        app.batchesListCtrl = nullptr;
    if (m_itemsList && app.batchItemsListCtrl == m_itemsList)
        app.batchItemsListCtrl = nullptr;
    if (m_itemsList && app.sortedItemsListCtrl == m_itemsList)
        app.sortedItemsListCtrl = nullptr;
    if (m_itemsList && app.itemsListSortInfo.listCtrl == m_itemsList)
        app.itemsListSortInfo.listCtrl = nullptr;
    if (m_batchesList && app.batchesListSortInfo.listCtrl == m_batchesList)
        app.batchesListSortInfo.listCtrl = nullptr;
    if (app.topWindow == this)
        app.topWindow = nullptr;
}

void BatchWindow::Init()
{
    m_modeMenu = m_programMenu = m_editMenu = m_batchMenu = m_transferMenu = nullptr;
    m_toolBar = nullptr;
    m_logo = nullptr;
    m_catalogueTree = nullptr;
    m_batchesList = nullptr;
    m_itemsList = nullptr;
    m_outerSplitter = nullptr;
    m_innerSplitter = nullptr;
    m_currentBatchId = -2;
    m_rightButtonDown = false;
    m_itemsUnreadable = false;
    m_itemClipboard.Empty();
    m_currentItem = nullptr;
    m_lastSelectedList = nullptr;
    m_chooseProgramDir.clear();
    m_sashesTracked = false;
    m_headingFontSet = false;
    m_sorting = false;
}

bool BatchWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style))
        return false;
    SetForegroundColour(Grey());
    SetBackgroundColour(Grey());
    CreateControls();
    const wxIcon icon = GetIconResource("Icons/rivol.ico");
    if (icon.IsOk())
        SetIcon(icon);
    Centre();
    ApplyStoredSashes();
    Bind(wxEVT_IDLE, &BatchWindow::OnIdleUntilLaidOut, this);
    // The keyboard starts in the batches list, not on the first tool, where
    // a Return would switch the mode.
    m_batchesList->SetFocus();
    return true;
}

void BatchWindow::CreateControls()
{
    tw::Shell& app = tw::TheShell();

    // Menus.
    m_modeMenu = new wxMenu;
    m_modeMenu->Append(ID_BATCH_BASIC_MODE, _("Switch to Basic Mode"));
    m_modeMenu->Append(ID_BATCH_PORTAL_MODE, _("Switch to Portal Mode"));
    m_modeMenu->Append(ID_BATCH_CONTENT_WIZARD, _("Launch Content Wizard"));
    m_modeMenu->Append(ID_BATCH_WIZARD_DEFAULTS, _("Reset Content Wizard Defaults"));
    m_modeMenu->Append(ID_BATCH_WIZARD_DOWNLOAD, _("Launch Wizard Download"));

    m_programMenu = new wxMenu;
    m_programMenu->Append(ID_BATCH_SETTINGS, _("Settings..."));
    m_programMenu->AppendSeparator();
    m_programMenu->Append(ID_BATCH_UPDATE_FILE_LIST, _("Update File List"));
    m_programMenu->AppendSeparator();
    m_programMenu->AppendCheckItem(ID_BATCH_ARCHIVE_FILES, _("Archive Files in Folders by Date"));
    m_programMenu->AppendSeparator();
    m_programMenu->Append(ID_BATCH_EXIT, _("Exit"));

    m_editMenu = new wxMenu;
    m_editMenu->Append(ID_BATCH_COPY, _("Copy"));
    m_editMenu->Append(ID_BATCH_PASTE, _("Paste"));
    m_editMenu->AppendSeparator();
    m_editMenu->Append(ID_BATCH_DELETE_ITEMS, _("Delete"));
    m_editMenu->AppendSeparator();
    m_editMenu->Append(ID_BATCH_FIND, _("Find"));
    for (int id : {ID_BATCH_COPY, ID_BATCH_PASTE, ID_BATCH_DELETE_ITEMS})
        m_editMenu->Enable(id, false);

    m_batchMenu = new wxMenu;
    m_batchMenu->Append(ID_BATCH_NEW_BATCH, _("New Batch"));
    m_batchMenu->Append(ID_BATCH_DELETE_BATCH, _("Delete"));
    m_batchMenu->Append(ID_BATCH_RENAME_BATCH, _("Rename"));
    m_batchMenu->AppendSeparator();
    m_batchMenu->Append(ID_BATCH_ENABLE_TOGGLE, _("Enable/Disable"));
    m_batchMenu->AppendSeparator();
    m_batchMenu->Append(ID_BATCH_EXPORT_BATCH, _("Export Batch"));
    m_batchMenu->Append(ID_BATCH_IMPORT_BATCH, _("Import Batch"));
    m_batchMenu->Append(ID_BATCH_BACKUP_BATCHES, _("Backup Batches..."));
    m_batchMenu->Append(ID_BATCH_RESTORE_BATCHES, _("Restore Batches..."));
    m_batchMenu->AppendSeparator();
    m_batchMenu->Append(ID_BATCH_INSTALL_SAMPLES, _("Install Sample Batches"));
    m_batchMenu->AppendSeparator();
    m_batchMenu->Append(ID_BATCH_PROPERTIES, _("Properties..."));
    m_batchMenu->Append(ID_BATCH_GLOBAL_PROPERTIES, _("Global Properties..."));

    m_transferMenu = new wxMenu;
    m_transferMenu->Append(ID_BATCH_START_TRANSFER, _("Start Transfer..."));

    auto* helpMenu = new wxMenu;
    helpMenu->Append(ID_BATCH_USER_GUIDE, _("User Guide..."));
    helpMenu->AppendSeparator();
    helpMenu->Append(ID_BATCH_ABOUT, _("About TALVO Tidewright..."));

    auto* menuBar = new wxMenuBar;
    menuBar->Append(m_modeMenu, _("Mode"));
    menuBar->Append(m_programMenu, _("Program"));
    menuBar->Append(m_editMenu, _("Edit"));
    menuBar->Append(m_batchMenu, _("Batch"));
    menuBar->Append(m_transferMenu, _("Transfer"));
    menuBar->Append(helpMenu, _("Help"));
    SetMenuBar(menuBar);

    // Toolbar, the logo after the last tool.
    m_toolBar = CreateToolBar(wxTB_FLAT | wxTB_HORIZONTAL, ID_BATCH_TOOLBAR);
    m_toolBar->SetForegroundColour(Grey());
    m_toolBar->SetBackgroundColour(Grey());
    m_toolBar->SetToolBitmapSize(wxSize(36, 36));
    m_toolBar->SetToolSeparation(0);
    m_toolBar->SetToolPacking(0);
    struct Tool {
        int id;
        const char* stem;
        const char* tip;
    };
    const Tool tools[] = {
        {ID_BATCH_TOOL_BASIC, "tool_basic", "Basic Mode"},
        {ID_BATCH_TOOL_PORTAL, "tool_portal", "Portal Mode"},
        {ID_BATCH_TOOL_WIZARD, "tool_wizard", "Launch Wizard"},
        {0, nullptr, nullptr},
        {ID_BATCH_TOOL_FIND, "tool_search", "Find"},
        {ID_BATCH_TOOL_INSTALL_SAMPLES, "tool_install-batches", "Install Sample Batches"},
        {0, nullptr, nullptr},
        {ID_BATCH_TOOL_TRANSFER, "tool_download", "Start Transfer"},
    };
    for (const Tool& tool : tools) {
        if (!tool.stem) {
            m_toolBar->AddSeparator();
            continue;
        }
        const wxString stem = wxString("res/") + tool.stem;
        m_toolBar->AddTool(tool.id, wxString(), GetBitmapResource(stem + ".png"),
                           GetBitmapResource(stem + "_over.png"), wxITEM_NORMAL, wxGetTranslation(tool.tip),
                           wxString());
    }
    m_logo = new wxStaticBitmap(m_toolBar, wxID_STATIC, GetBitmapResource("res/TidewrightLogoBlockWide.png"),
                                wxPoint(1051, 4), wxSize(456, 36), wxBORDER_NONE);
    m_toolBar->AddControl(m_logo, wxString());
    m_toolBar->Realize();
    tw::NameToolsFromToolTips(m_toolBar);

    // Splitters: the tree and the batches list side by side over the items list.
    const long splitterStyle = wxSP_3DBORDER | wxSP_3DSASH | wxNO_BORDER;
    m_outerSplitter = new wxSplitterWindow(this, ID_BATCH_OUTER_SPLITTER, wxDefaultPosition, wxDefaultSize,
                                           splitterStyle);
    m_outerSplitter->SetMinimumPaneSize(100);
    m_innerSplitter = new wxSplitterWindow(m_outerSplitter, ID_BATCH_INNER_SPLITTER, wxDefaultPosition,
                                           wxDefaultSize, splitterStyle);
    m_innerSplitter->SetMinimumPaneSize(100);

    m_catalogueTree = new wxTreeCtrl(m_innerSplitter, ID_BATCH_CATALOGUE_TREE, wxDefaultPosition, wxDefaultSize,
                                     wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE);
    m_batchesList = new wxListCtrl(m_innerSplitter, ID_BATCH_BATCHES_LIST, wxDefaultPosition, wxDefaultSize,
                                   wxLC_REPORT | wxLC_SINGLE_SEL);
    m_innerSplitter->SplitVertically(m_catalogueTree, m_batchesList);
    m_itemsList = new wxListCtrl(m_outerSplitter, ID_BATCH_ITEMS_LIST, wxDefaultPosition, wxDefaultSize,
                                 wxLC_REPORT);
    m_outerSplitter->SplitHorizontally(m_innerSplitter, m_itemsList);
    tw::SetAccessible(m_catalogueTree, tw::AccessibleRole::Tree, _("Content catalogue"));
    tw::SetAccessible(m_batchesList, tw::AccessibleRole::List, _("Batches"));
    tw::SetAccessible(m_itemsList, tw::AccessibleRole::List, _("Batch items"));

    // Run-time handlers: mouse and keys arrive at the controls themselves.
    m_catalogueTree->Bind(wxEVT_LEFT_DOWN, &BatchWindow::OnProductTreeCtrlLeftDown, this);
    m_catalogueTree->Bind(wxEVT_LEFT_DCLICK, &BatchWindow::OnProductTreeCtrlLeftDClick, this);
    m_catalogueTree->Bind(wxEVT_RIGHT_DOWN, &BatchWindow::OnProductTreeCtrlRightDown, this);
    m_catalogueTree->Bind(wxEVT_RIGHT_UP, &BatchWindow::OnProductTreeCtrlRightUp, this);
    m_batchesList->Bind(wxEVT_LEFT_DOWN, &BatchWindow::OnBatchListCtrlLeftDown, this);
    m_batchesList->Bind(wxEVT_RIGHT_DOWN, &BatchWindow::OnBatchListRightDown, this);
    m_batchesList->Bind(wxEVT_CONTEXT_MENU, &BatchWindow::OnBatchesContextMenu, this);
    m_batchesList->Bind(wxEVT_KEY_DOWN, &BatchWindow::OnKeyDown, this);
    m_itemsList->Bind(wxEVT_LEFT_DOWN, &BatchWindow::OnBatchItemsLeftDown, this);
    m_itemsList->Bind(wxEVT_LEFT_DCLICK, &BatchWindow::OnBatchItemsLeftDClick, this);
    m_itemsList->Bind(wxEVT_RIGHT_DOWN, &BatchWindow::OnItemsListRightDown, this);
    m_itemsList->Bind(wxEVT_CONTEXT_MENU, &BatchWindow::OnBatchItemsContextMenu, this);
    m_itemsList->Bind(wxEVT_KEY_DOWN, &BatchWindow::OnKeyDown, this);

    // Tree pictures.
    m_catalogueTree->AssignImageList(
        tw::MakeImageList(16, 16, {"Icons/closedfolder.png", "Icons/openfolder.png", "Icons/talvologo.png"}));

    // Batches list.
    m_batchesList->SetDropTarget(new DnDItemToBatch(m_batchesList));
    app.batchesListCtrl = m_batchesList;
    m_batchesList->AppendColumn("Status", wxLIST_FORMAT_LEFT, 50);
    m_batchesList->AppendColumn("Batch Name", wxLIST_FORMAT_LEFT, 120);
    m_batchesList->AppendColumn("Creation Date", wxLIST_FORMAT_LEFT, 80);
    m_batchesList->AppendColumn("Description", wxLIST_FORMAT_LEFT, 350);
    m_batchesList->AssignImageList(tw::MakeImageList(16, 16, {"Icons/redfolder.png", "Icons/greenfolder.png"}),
                                   wxIMAGE_LIST_SMALL);

    // Items list.
    app.sortedItemsListCtrl = m_itemsList;
    m_itemsList->SetDropTarget(new DnDFile(m_itemsList));
    app.batchItemsListCtrl = m_itemsList;
    struct Column {
        const char* title;
        int width;
    };
    const Column columns[] = {{"Batch", 75},         {"Product", 250}, {"Filename", 80}, {"Last Download", 80},
                              {"Type", 80},          {"Price", 50},    {"Size", 50},     {"Description", 380}};
    for (const Column& column : columns)
        m_itemsList->AppendColumn(column.title, wxLIST_FORMAT_LEFT, column.width);
    m_headingFontSet = SetHeadingFont(m_itemsList, HeadingFont());
    m_itemsList->AssignImageList(tw::MakeImageList(32, 16, {"Icons/UnChecked.png", "Icons/Checked.png"}),
                                 wxIMAGE_LIST_SMALL);

    // Catalogue tree.
    app.catalogueTreeCtrl = m_catalogueTree;
    PopulateCatalogueTree();

    CBatchFolder::Instance()->SetDatabase(app.GetUserDb());
    PopulateBatchesList();
    InsertNewBatchItem();
}

wxBitmap BatchWindow::GetBitmapResource(const wxString& name)
{
    struct Known {
        const char* name;
        int width, height;
    };
    static const Known known[] = {
        {"res/tool_basic.png", 36, 36},           {"res/tool_basic_over.png", 36, 36},
        {"res/tool_portal.png", 36, 36},          {"res/tool_portal_over.png", 36, 36},
        {"res/tool_wizard.png", 36, 36},          {"res/tool_wizard_over.png", 36, 36},
        {"res/tool_search.png", 36, 36},          {"res/tool_search_over.png", 36, 36},
        {"res/tool_install-batches.png", 36, 36}, {"res/tool_install-batches_over.png", 36, 36},
        {"res/tool_download.png", 36, 36},        {"res/tool_download_over.png", 36, 36},
        {"res/TidewrightLogoBlockWide.png", 456, 36},
    };
    for (const Known& k : known) {
        if (name == k.name)
            return tw::SizedPicture(name, k.width, k.height);
    }
    return wxNullBitmap;
}

wxIcon BatchWindow::GetIconResource(const wxString& name)
{
    wxIcon icon;
    if (name == "Icons/rivol.ico" && wxFileExists(name)) {
        wxLogNull quiet;
        icon.LoadFile(name, wxBITMAP_TYPE_ICO);
    }
    return icon;
}

BatchWindow::BatchDialogRunner BatchWindow::SetBatchDialogRunner(BatchDialogRunner runner)
{
    BatchDialogRunner previous = DialogRunner();
    DialogRunner() = runner ? std::move(runner) : BatchDialogRunner(RealBatchDialog);
    return previous;
}

// ---------------------------------------------------------------- size and sashes

void BatchWindow::SaveFrameSize()
{
    // Done from the destructor: the frame's own destroy event comes only
    // after this class is gone.
    const wxSize size = GetSize();
    if (size.x <= 0 || size.y <= 0)
        return;
    CUserConfig file;
    file.WriteText("General/Width", wxString::Format("%i", size.x));
    file.WriteText("General/Height", wxString::Format("%i", size.y));
}

void BatchWindow::ApplyStoredSashes()
{
    CUserConfig file;
    m_outerSplitter->SetSashPosition(file.ReadInt("General/HSashPos", 500));
    m_innerSplitter->SetSashPosition(file.ReadInt("General/VSashPos", 400));
}

void BatchWindow::OnIdleUntilLaidOut(wxIdleEvent& event)
{
    event.Skip();
    if (m_sashesTracked || !IsShownOnScreen())
        return;
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0 || m_outerSplitter->GetSize() != client)
        return;
    m_sashesTracked = true;
    if (!m_headingFontSet)
        m_headingFontSet = SetHeadingFont(m_itemsList, HeadingFont());
    CallAfter([this] { Unbind(wxEVT_IDLE, &BatchWindow::OnIdleUntilLaidOut, this); });
}

void BatchWindow::OnSplitterwindowSashPosChanged(wxSplitterEvent& event)
{
    event.Skip();
    if (!m_sashesTracked || event.GetEventObject() != m_outerSplitter)
        return;
    CUserConfig file;
    file.WriteText("General/HSashPos", wxString::Format("%i", event.GetSashPosition()));
}

void BatchWindow::OnSplitterwindow1SashPosChanged(wxSplitterEvent& event)
{
    event.Skip();
    if (!m_sashesTracked || event.GetEventObject() != m_innerSplitter)
        return;
    CUserConfig file;
    file.WriteText("General/VSashPos", wxString::Format("%i", event.GetSashPosition()));
}

// ---------------------------------------------------------------- catalogue tree

void BatchWindow::PopulateCatalogueTree()
{
    const bool race = tw::IsRace();
    m_catalogueTree->Unbind(wxEVT_TREE_ITEM_EXPANDING, &BatchWindow::OnCatalogueTreeExpanding, this);
    m_catalogueTree->Bind(wxEVT_TREE_ITEM_EXPANDING, &BatchWindow::OnCatalogueTreeExpanding, this);
    m_catalogueTree->Unbind(wxEVT_CHAR, &BatchWindow::OnCatalogueTreeChar, this);
    m_catalogueTree->Bind(wxEVT_CHAR, &BatchWindow::OnCatalogueTreeChar, this);
    m_catalogueTree->Freeze();
    m_catalogueTree->DeleteAllItems();
    m_treeCategories.clear();
    const wxTreeItemId root = m_catalogueTree->AddRoot(wxS("Rooter"), 0, 0);
    CProductTypeArray& catalogue = tw::TheShell().catalogue;
    for (size_t i = 0; i < catalogue.GetCount(); ++i) {
        const CProduct& product = catalogue.Item(i);
        if (!race && product.name == wxS("Race"))
            continue;
        const wxTreeItemId p = m_catalogueTree->AppendItem(root, product.name, 0, 1);
        m_catalogueTree->SetItemHasChildren(p, !product.regions.IsEmpty());
        m_treeCategories.push_back(i);
    }
    m_catalogueTree->Thaw();
}

namespace {

// The place of a node among its parent's children.
size_t SiblingIndex(const wxTreeCtrl& tree, wxTreeItemId node)
{
    size_t index = 0;
    for (node = tree.GetPrevSibling(node); node.IsOk(); node = tree.GetPrevSibling(node))
        ++index;
    return index;
}

} // namespace

void BatchWindow::FillCatalogueNode(const wxTreeItemId& node)
{
    wxTreeCtrl& tree = *m_catalogueTree;
    const wxTreeItemId root = tree.GetRootItem();
    if (!node.IsOk() || node == root || tree.GetChildrenCount(node, false) > 0)
        return;
    // The node's path of places from the root: category, region, chart type.
    std::vector<size_t> path;
    for (wxTreeItemId n = node; n.IsOk() && n != root; n = tree.GetItemParent(n))
        path.insert(path.begin(), SiblingIndex(tree, n));
    if (path.empty() || path.size() > 3 || path[0] >= m_treeCategories.size())
        return;
    CProductTypeArray& catalogue = tw::TheShell().catalogue;
    if (m_treeCategories[path[0]] >= catalogue.GetCount())
        return;
    CProduct& product = catalogue.Item(m_treeCategories[path[0]]);
    tree.Freeze();
    if (path.size() == 1) {
        for (const CRegion& region : product.regions) {
            const wxTreeItemId r = tree.AppendItem(node, region.name, 0, 1);
            tree.SetItemHasChildren(r, !region.chartTypes.IsEmpty());
        }
    } else if (path[1] < product.regions.GetCount()) {
        CRegion& region = product.regions.Item(path[1]);
        if (path.size() == 2) {
            for (const CChartType& chart : region.chartTypes) {
                const wxTreeItemId c = tree.AppendItem(node, chart.name, 0, 1);
                tree.SetItemHasChildren(c, !chart.files.IsEmpty());
            }
        } else if (path[2] < region.chartTypes.GetCount()) {
            for (CFileInfo& item : region.chartTypes.Item(path[2]).files)
                tree.AppendItem(node, item.info.Title, 2, 2, new BatchTreeItemData(&item));
        }
    }
    tree.Thaw();
}

void BatchWindow::OnCatalogueTreeExpanding(wxTreeEvent& event)
{
    event.Skip();
    FillCatalogueNode(event.GetItem());
}

namespace {

// True when `label` begins with `prefix` (lower case), letters compared
// without case.
bool StartsWithNoCase(const wxString& label, const wxString& prefix)
{
    if (label.length() < prefix.length())
        return false;
    auto p = prefix.begin();
    for (auto l = label.begin(); p != prefix.end(); ++l, ++p)
        if (wxTolower(*l) != *p)
            return false;
    return true;
}

} // namespace

void BatchWindow::OnCatalogueTreeChar(wxKeyEvent& event)
{
    // The keys the tree's own incremental search takes; it finds only the
    // nodes already filled, so the search runs over the catalogue instead.
    const int key = event.GetKeyCode();
    if (event.HasModifiers() || !((key >= '0' && key <= '9') || (key >= 'a' && key <= 'z') ||
                                  (key >= 'A' && key <= 'Z') || key == '_')) {
        event.Skip();
        return;
    }
    wxTreeCtrl& tree = *m_catalogueTree;
    const wxTreeItemId root = tree.GetRootItem();
    // Where the search starts: the tree's current node, as its places from
    // the root (category in the tree, region, chart type, item).
    std::vector<size_t> currentPath;
    for (wxTreeItemId n = tree.GetFocusedItem(); n.IsOk() && n != root; n = tree.GetItemParent(n))
        currentPath.insert(currentPath.begin(), SiblingIndex(tree, n));
    // As the tree's own search: the prefix lasts half a second after a key;
    // one letter typed again moves on to the next node it starts.
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - m_typeAheadAt > 500)
        m_typeAhead.clear();
    m_typeAheadAt = now;
    const wxChar ch = static_cast<wxChar>(key);
    const bool again = m_typeAhead.length() == 1 && m_typeAhead[0] == ch;
    const wxString prefix = (again ? wxString(ch) : m_typeAhead + ch).Lower();
    // One walk over the catalogue in the tree's order: the first node the
    // prefix starts after the current one (a longer prefix may stay on the
    // current one), else the first before it.
    const bool stayMay = prefix.length() > 1;
    bool passed = currentPath.empty();   // the walk is past the current node
    std::vector<size_t> found, wrapped;
    std::vector<size_t> path;
    auto visit = [&](const wxString& label) {
        const bool isCurrent = !passed && path == currentPath;
        if ((passed || (isCurrent && stayMay)) && StartsWithNoCase(label, prefix)) {
            found = path;
            return false;
        }
        if (isCurrent)
            passed = true;
        else if (!passed && wrapped.empty() && StartsWithNoCase(label, prefix))
            wrapped = path;
        return true;
    };
    CProductTypeArray& catalogue = tw::TheShell().catalogue;
    bool going = true;
    for (size_t k = 0; k < m_treeCategories.size() && going; ++k) {
        if (m_treeCategories[k] >= catalogue.GetCount())
            break;
        const CProduct& product = catalogue.Item(m_treeCategories[k]);
        path.assign(1, k);
        going = visit(product.name);
        for (size_t r = 0; r < product.regions.GetCount() && going; ++r) {
            const CRegion& region = product.regions.Item(r);
            path.resize(1);
            path.push_back(r);
            going = visit(region.name);
            for (size_t c = 0; c < region.chartTypes.GetCount() && going; ++c) {
                const CChartType& chart = region.chartTypes.Item(c);
                path.resize(2);
                path.push_back(c);
                going = visit(chart.name);
                for (size_t f = 0; f < chart.files.GetCount() && going; ++f) {
                    path.resize(3);
                    path.push_back(f);
                    going = visit(chart.files.Item(f).info.Title);
                }
            }
        }
    }
    if (found.empty())
        found.swap(wrapped);
    if (found.empty())
        return;
    if (!again)
        m_typeAhead += ch;
    // Fills the nodes on the way to it, then selects it as the tree would.
    wxTreeItemId node = root;
    for (size_t place : found) {
        if (node != root)
            FillCatalogueNode(node);
        wxTreeItemIdValue cookie;
        wxTreeItemId child = tree.GetFirstChild(node, cookie);
        for (size_t i = 0; i < place && child.IsOk(); ++i)
            child = tree.GetNextChild(node, cookie);
        if (!child.IsOk())
            return;
        node = child;
    }
    tree.SelectItem(node);
    tree.EnsureVisible(node);
}

namespace {

tw::TreeHitPart HitPart(const wxTreeItemId& item, int flags)
{
    if (!item.IsOk() || (flags & wxTREE_HITTEST_NOWHERE))
        return tw::TreeHitPart::Nowhere;
    if (flags & wxTREE_HITTEST_ONITEMBUTTON)
        return tw::TreeHitPart::Button;
    if (flags & wxTREE_HITTEST_ONITEMICON)
        return tw::TreeHitPart::Icon;
    if (flags & wxTREE_HITTEST_ONITEMLABEL)
        return tw::TreeHitPart::Label;
    return tw::TreeHitPart::Elsewhere;
}

} // namespace

void BatchWindow::OnProductTreeCtrlLeftDown(wxMouseEvent& event)
{
    int flags = 0;
    const wxTreeItemId item = m_catalogueTree->HitTest(event.GetPosition(), flags);
    const bool children = item.IsOk() && m_catalogueTree->ItemHasChildren(item);
    if (tw::TreeClickPassesOn(false, HitPart(item, flags), children))
        event.Skip();
}

void BatchWindow::OnProductTreeCtrlLeftDClick(wxMouseEvent& event)
{
    int flags = 0;
    const wxTreeItemId item = m_catalogueTree->HitTest(event.GetPosition(), flags);
    const bool children = item.IsOk() && m_catalogueTree->ItemHasChildren(item);
    if (tw::TreeClickPassesOn(true, HitPart(item, flags), children))
        event.Skip();
}

// The tree never acts on the right button.
void BatchWindow::OnProductTreeCtrlRightDown(wxMouseEvent&) {}
void BatchWindow::OnProductTreeCtrlRightUp(wxMouseEvent&) {}
void BatchWindow::OnProductTreeCtrlItemRightClick(wxTreeEvent&) {}

void BatchWindow::OnProductTreeCtrlItemExpanded(wxTreeEvent& event)
{
    const wxTreeItemId item = event.GetItem();
    if (!item.IsOk() || item == m_catalogueTree->GetRootItem())
        return;
    m_catalogueTree->SetItemImage(item, 1);
    // The last child first, then the node: the node stays in view however
    // many children it has.
    const wxTreeItemId last = m_catalogueTree->GetLastChild(item);
    if (last.IsOk())
        m_catalogueTree->EnsureVisible(last);
    m_catalogueTree->EnsureVisible(item);
}

void BatchWindow::OnProductTreeCtrlItemCollapsed(wxTreeEvent& event)
{
    const wxTreeItemId item = event.GetItem();
    if (!item.IsOk() || item == m_catalogueTree->GetRootItem())
        return;
    m_catalogueTree->SetItemImage(item, 0);
}

void BatchWindow::OnProductTreeCtrlBeginDrag(wxTreeEvent& event)
{
    const wxTreeItemId node = event.GetItem();
    auto* data = node.IsOk() ? dynamic_cast<BatchTreeItemData*>(m_catalogueTree->GetItemData(node)) : nullptr;
    if (!data || !data->GetItem())
        return;   // categories, regions and chart types are not dragged
    CFileInfo* item = data->GetItem();
    tw::TheShell().draggedFileInfo = item;
    // A drag runs only while a button holds it; the toolkit's drag loop would
    // otherwise wait for a release that never comes.
    if (!wxGetMouseState().ButtonIsDown(wxMOUSE_BTN_ANY))
        return;
    wxTextDataObject text(tw::CatalogueDragText(item->info.FileID));
    wxDropSource source(text, this);
    source.DoDragDrop(wxDrag_CopyOnly);
}

// ---------------------------------------------------------------- messages

int BatchWindow::Tell(const wxString& text, const wxString& caption, long style)
{
    return tw::MessageBox(text, caption, style, tw::BoxParent(this));
}

void BatchWindow::TellLater(const wxString& text)
{
    CallAfter([this, text] { Tell(text, wxS("Notice"), wxOK | wxICON_ERROR); });
}

// ---------------------------------------------------------------- commands

void BatchWindow::OnMenuBasicModeClick(wxCommandEvent&)
{
    tw::TheShell().ChangeWindowMode(tw::kModeBasic);
}

void BatchWindow::OnMenuLoadWindowClick(wxCommandEvent&)
{
    tw::TheShell().ClearBasicHomePosition();
    tw::TheShell().ChangeWindowMode(tw::kModePortal);
}

void BatchWindow::OnMenuExitClick(wxCommandEvent&)
{
    Close();
}

void BatchWindow::PostKey(int keyCode)
{
    auto* key = new wxKeyEvent(wxEVT_CHAR);
    key->m_keyCode = keyCode;
    GetEventHandler()->QueueEvent(key);
}

void BatchWindow::OnMenuCopyClick(wxCommandEvent&)
{
    PostKey(kLibraryCopyKey);
}

void BatchWindow::OnMenuPasteClick(wxCommandEvent&)
{
    PostKey(kLibraryPasteKey);
}

void BatchWindow::OnMenuDeleteClick(wxCommandEvent&)
{
    PostKey(kLibraryDeleteKey);
}

void BatchWindow::OnNewBatchClick(wxCommandEvent&)
{
    LaunchNewBatchDlg();
}

void BatchWindow::OnStart(wxCommandEvent&)
{
    CActiveFileList files;
    if (!tw::Guarded(this, [&] { CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kLibraryMode); }))
        return;
    HomePosition area;
    const bool hasArea = tw::TheShell().GetBasicHomePosition(area);
    if (!tw::TheShell().FileTransferStart(files, this, wxCommandEventHandler(BatchWindow::OnTransferDone), 2,
                                      hasArea ? &area : nullptr))
        Tell(wxS("Failed to create the download window."), wxS("Message"), wxOK | wxCENTRE);
}

void BatchWindow::OnTransferDone(wxCommandEvent& event)
{
    const bool hasArea = tw::TheShell().HasBasicHomePosition();
    HomePosition area;
    area.valid = false;
    tw::Guarded(this, [&] {
        CActiveFileList files;
        CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kLibraryMode);
        tw::TheShell().FileTransferEpilogue(files, event.GetInt() != 0, hasArea ? &area : nullptr);
        if (area.valid)
            tw::basic::StoreBasicArea(tw::TheShell().GetUserDb(), area.lat, area.lon, area.width);
    });
}

// ---------------------------------------------------------------- mode, program and help commands

void BatchWindow::OnMenuContentWizardClick(wxCommandEvent&)
{
    if (!tw::RunContentWizard(this, tw::kWizardWelcome))
        return;
    tw::TheShell().ClearBasicHomePosition();
    tw::TheShell().ChangeWindowMode(tw::kModePortal);
}

void BatchWindow::OnMenuSetDefaultsClick(wxCommandEvent&)
{
    // Without asking: the wizard's preferences and every buoy and zone
    // selection go back to their defaults.
    tw::Shell& app = tw::TheShell();
    app.dlPrefs.SetDefaults();
    app.dlPrefs.WriteRegistry();
    wxSQLite3Database* zones = app.GetMarineZonesDb();
    if (!zones || !zones->IsOpen())
        return;
    try {
        zones->ExecuteUpdate("UPDATE Buoys SET selected=0 WHERE 1");
        zones->ExecuteUpdate("UPDATE MZones SET selected=0 WHERE 1");
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BatchWindow::OnMenuLaunchWizardDownloadClick(wxCommandEvent&)
{
    auto* window = new WizardTreeWindow(this, ID_WIZARDTREEWINDOW, _("Wizard Content Suggestions"), wxDefaultPosition,
                                        wxSize(700, 540), wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
    window->Show();
}

void BatchWindow::OnMenuSettingsClick(wxCommandEvent&)
{
    ConnSettings dialog(this, tw::TheShell().GetProductDb(), ConnSettings::ID_CONNSETTINGS, _("Connection Settings"),
                        wxDefaultPosition, wxSize(400, 700),
                        wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    dialog.ShowModal(false);
}

void BatchWindow::OnMenuUpdateFileListClick(wxCommandEvent&)
{
    tw::TheShell().OnUpdateDB();
}

void BatchWindow::OnMenuArchiveFilesClick(wxCommandEvent&)
{
    // The stored setting decides, not the tick.
    CRegistry settings;
    settings.m_archive = !settings.m_archive;
    settings.WriteMISCInfo();
}

void BatchWindow::OnMenuArchiveFilesUpdate(wxUpdateUIEvent& event)
{
    CRegistry settings;
    event.Check(settings.m_archive);
}

void BatchWindow::OnMenuFindClick(wxCommandEvent&)
{
    auto* find = new Find(this, ID_FIND, _("Find"), wxDefaultPosition, wxSize(1000, 600),
                          wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxTAB_TRAVERSAL);
    find->Show(true);
}

void BatchWindow::OnMenuHelpClick(wxCommandEvent&)
{
    tw::TheShell().ShowHelpViewer(HELP_SECTION_LIBRARY);
}

wxAboutDialogInfo BatchWindow::AboutInformation()
{
    wxAboutDialogInfo info;
    info.SetName(_("TALVO Tidewright"));
    info.SetVersion(wxS("3.05"));
    info.SetDescription(wxS("Easy, reliable access to thousands of weather and ocean data spanning the globe") +
                        wxString(wxS(' '), 9));
    info.SetCopyright(wxS("(C) TALVO Marine Data. All rights reserved."));
    info.SetWebSite(wxS("https://www.talvo.example/tidewright"), wxString());
    info.AddDeveloper(wxS("The Tidewright team"));
    info.AddDeveloper(wxS("TALVO gateway engineering"));
    info.AddDeveloper(wxS("TALVO catalogue editors"));
    return info;
}

void BatchWindow::OnMenuAboutClick(wxCommandEvent&)
{
    wxAboutBox(AboutInformation());
}

// ---------------------------------------------------------------- batch commands

void BatchWindow::OnDeleteBatchClick(wxCommandEvent&)
{
    const long row = SelectedBatchRow();
    if (row < 0) {
        Tell(wxS("No batch is selected"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    const wxString title = m_batchesList->GetItemText(row, 1);
    const int id = BatchIdOfRow(row);
    if (id <= kWizardBatchId) {
        Tell(wxS("Cannot delete ") + title, wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    DeleteBatchRow(row, id, title);
}

void BatchWindow::OnRenameBatchClick(wxCommandEvent& event)
{
    OnBatchPropertiesClick(event);
}

void BatchWindow::OnBatchPropertiesClick(wxCommandEvent&)
{
    const long row = SelectedBatchRow();
    if (row < 0) {
        Tell(wxS("No batch is selected"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    const int id = BatchIdOfRow(row);
    if (id == -1) {
        Tell(wxS("Cannot change properties of New Batch"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    EditBatchProperties(row, id);
}

void BatchWindow::OnBatchProperties(wxCommandEvent&)
{
    // The context menu's variant: silent (its item is disabled on "New Batch").
    const long row = SelectedBatchRow();
    if (row < 0)
        return;
    const int id = BatchIdOfRow(row);
    if (id == -1)
        return;
    EditBatchProperties(row, id);
}

void BatchWindow::OnGlobalBatchPropertiesClick(wxCommandEvent&)
{
    EditBatchProperties(-1, kGlobalBatchId);
}

void BatchWindow::EditBatchProperties(long row, int id)
{
    try {
        CBatchFolder* store = CBatchFolder::Instance();
        CBatch batch = store->GetBatchByIndex(id);
        batch.info.ID = id;
        if (DialogRunner()(batch, false) != wxID_OK)
            return;
        store->SetBatchByIndex(id, &batch);
        if (row >= 0)
            tw::TheShell().AddEditBatchToBatchesListCtrl(&batch, row);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BatchWindow::EnableDisableAllBatches(int enable)
{
    try {
        for (long row = 0; row < m_batchesList->GetItemCount(); ++row) {
            const int id = BatchIdOfRow(row);
            if (id == -1)
                continue;
            CBatchFolder::Instance()->SetBatchStatus(id, enable);
            m_batchesList->SetItemImage(row, enable);
        }
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

void BatchWindow::OnEnableAllBatchesClick(wxCommandEvent&)
{
    EnableDisableAllBatches(1);
}

void BatchWindow::OnDisableAllBatchesClick(wxCommandEvent&)
{
    EnableDisableAllBatches(0);
}

void BatchWindow::OnDeleteAllDisabledBatchesClick(wxCommandEvent&)
{
    // Without asking, as the command says: every disabled user batch goes.
    try {
        for (long row = m_batchesList->GetItemCount() - 1; row >= 0; --row) {
            const int id = BatchIdOfRow(row);
            if (id <= kWizardBatchId || RowImage(m_batchesList, row) != 0)
                continue;
            CBatchFolder::Instance()->DeleteBatch(id);
            m_batchesList->DeleteItem(row);
            if (id == m_currentBatchId)
                ForgetCurrentBatch();
        }
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(e.GetMessage(), this);
    }
}

// ---------------------------------------------------------------- batch files

namespace {

const char kSaveWildcard[] = "Tidewright Batch (*.rvl)|*.rvl";
const char kOpenWildcard[] = "Batch Files (*.rvl)|*.rvl";

bool Readable(const wxString& path)
{
    return wxFileExists(path) && wxFile::Access(path, wxFile::read);
}

} // namespace

wxString BatchWindow::ChooseBatchFile(const wxString& title, const wxString& folder, const wxString& name,
                                      const wxString& wildcard, long style)
{
    tw::FileChooserRequest request;
    request.message = title;
    request.defaultDir = folder;
    request.defaultFile = name;
    request.wildcard = wildcard;
    request.style = style;
    request.parent = tw::BoxParent(this);
    return tw::ChooseFile(request);
}

wxString BatchWindow::SampleBatchFolder()
{
    return tw::ResourcesDir() + wxFILE_SEP_PATH + wxS("Sample Batches");
}

bool BatchWindow::ImportBatchFile(const wxString& path)
{
    if (!Readable(path)) {
        Tell(wxS("Could not read ") + path, wxS("Error"), wxOK | wxICON_ERROR);
        return false;
    }
    // Every batch the file adds gets its row at the end of the list.
    return CBatchFile::ImportBatchesFromFile(path, false, false, [](CBatch& batch) {
        tw::TheShell().AddEditBatchToBatchesListCtrl(&batch, -1);
    });
}

void BatchWindow::OnExportBatchClick(wxCommandEvent&)
{
    const long selected = SelectedBatchRow();
    if (selected >= 0 && BatchIdOfRow(selected) == -1) {
        Tell(wxS("Cannot export New Batch"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    const wxString path =
        ChooseBatchFile(wxS("Export Batch File"), CInit::GetDefaultBatchFolder(), wxS("batch.rvl"), kSaveWildcard,
                        wxFD_SAVE);
    if (path.empty())
        return;
    const long row = SelectedBatchRow();
    if (row < 0)
        return;
    const int id = BatchIdOfRow(row);
    if (id == -1) {
        Tell(wxS("Cannot export New Batch"), wxS("Notice"), wxOK | wxICON_ERROR);
        return;
    }
    bool declined = false;
    if (!CBatchFile::ExportBatch(path, id, &declined) && !declined)
        Tell(wxS("Could not write ") + path, wxS("Error"), wxOK | wxICON_ERROR);
}

void BatchWindow::OnImportBatchClick(wxCommandEvent&)
{
    const wxString path =
        ChooseBatchFile(wxS("Select Batch File"), CInit::GetDefaultBatchFolder(), wxString(), kOpenWildcard,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (path.empty())
        return;
    DeselectAllBatches();
    ImportBatchFile(path);
}

void BatchWindow::OnBackupBatchesClick(wxCommandEvent&)
{
    const wxString path = ChooseBatchFile(wxS("Backup Batches"), CInit::GetDefaultTransferFolder(),
                                          wxS("batches_backup.rvl"), kSaveWildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (path.empty())
        return;
    if (!CBatchFile::BackupBatches(path))
        Tell(wxS("Could not write ") + path, wxS("Error"), wxOK | wxICON_ERROR);
}

void BatchWindow::OnRestoreBatchesClick(wxCommandEvent&)
{
    const wxString path = ChooseBatchFile(wxS("Restore Batches"), CInit::GetDefaultTransferFolder(),
                                          wxS("batches_backup.rvl"), kSaveWildcard, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (path.empty())
        return;
    if (!Readable(path)) {
        Tell(wxS("Could not read ") + path, wxS("Error"), wxOK | wxICON_ERROR);
        return;
    }
    if (Tell(wxS("Replace all your batches with the batches in ") + path + wxS("?"), wxS("Confirm Restore"),
             wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION) != wxYES)
        return;
    // The store takes the file whole or not at all; the lists show what it
    // holds afterwards either way (a list that cannot be read again stays
    // as it was).
    ForgetCurrentBatch();
    CBatchFile::ImportBatchesFromFile(path, true, true);
    std::vector<CBatch> batches;
    if (!ReadListedBatches(batches))
        return;
    m_batchesList->DeleteAllItems();
    for (CBatch& batch : batches)
        tw::WriteBatchRow(*m_batchesList, batch, -1);
    InsertNewBatchItem();
}

void BatchWindow::OnMenuInstallSampleBatchesClick(wxCommandEvent&)
{
    const wxString folder = SampleBatchFolder();
    if (!wxDirExists(folder))
        Tell(wxS("Cannot find the sample batch folder:\n") + folder, wxS("Notice"), wxOK);
    const wxString chosen = ChooseBatchFile(wxS("Select Sample Batch File"), folder, wxString(), kOpenWildcard,
                                            wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (chosen.empty())
        return;
    DeselectAllBatches();
    for (const wxString& path : wxSplit(chosen, '\n', '\0')) {
        if (!path.empty())
            ImportBatchFile(path);
    }
}
