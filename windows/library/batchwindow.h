// The Library-mode main window (the batch manager): the whole catalogue as a
// tree, the batches list headed by a "New Batch" row, the items of the
// selected batch with their check boxes, the menus and the toolbar; sorting,
// the clipboard keys and drag and drop of catalogue items onto the lists.
//
// The window's members are defined by job: batchwindow.cpp (construction,
// menus, the catalogue tree, commands, batch files), BatchLists.cpp (the
// lists, sorting, keys and clipboard), BatchDrops.cpp (drop targets) and
// BatchViewers.cpp (context menus, item viewers and item commands).
#pragma once

#include <functional>
#include <vector>

#include <wx/dnd.h>
#include <wx/frame.h>
#include <wx/treebase.h>

#include "model/FileInfo.h"

class CBatch;
class wxAboutDialogInfo;
class wxListCtrl;
class wxListEvent;
class wxMenu;
class wxSplitterEvent;
class wxSplitterWindow;
class wxStaticBitmap;
class wxToolBar;
class wxTreeCtrl;
class wxTreeEvent;

enum {
    ID_BATCHWINDOW = 10022,
    ID_BATCH_TOOLBAR = 10026,
    ID_BATCH_OUTER_SPLITTER = 10030,
    ID_BATCH_INNER_SPLITTER = 10031,
    ID_BATCH_CATALOGUE_TREE = 10032,
    ID_BATCH_ITEMS_LIST = 10033,
    ID_BATCH_BATCHES_LIST = 10035,

    // Mode menu
    ID_BATCH_BASIC_MODE = 10024,
    ID_BATCH_PORTAL_MODE = 10363,
    ID_BATCH_CONTENT_WIZARD = 10159,
    ID_BATCH_WIZARD_DEFAULTS = 10323,
    ID_BATCH_WIZARD_DOWNLOAD = 10324,
    // Program menu
    ID_BATCH_SETTINGS = 10134,
    ID_BATCH_UPDATE_FILE_LIST = 10136,
    ID_BATCH_ARCHIVE_FILES = 10139,
    ID_BATCH_EXIT = 10140,
    // Edit menu
    ID_BATCH_COPY = 10113,
    ID_BATCH_PASTE = 10114,
    ID_BATCH_DELETE_ITEMS = 10115,
    ID_BATCH_FIND = 10116,
    // Batch menu
    ID_BATCH_NEW_BATCH = 10058,
    ID_BATCH_DELETE_BATCH = 10025,
    ID_BATCH_RENAME_BATCH = 10063,
    ID_BATCH_ENABLE_TOGGLE = 10064,
    ID_BATCH_EXPORT_BATCH = 10061,
    ID_BATCH_IMPORT_BATCH = 10062,
    ID_BATCH_BACKUP_BATCHES = 10059,
    ID_BATCH_RESTORE_BATCHES = 10060,
    ID_BATCH_INSTALL_SAMPLES = 10144,
    ID_BATCH_PROPERTIES = 10065,
    ID_BATCH_GLOBAL_PROPERTIES = 10066,
    // Transfer and Help menus
    ID_BATCH_START_TRANSFER = 10057,
    ID_BATCH_USER_GUIDE = 10142,
    ID_BATCH_ABOUT = 10143,

    // Toolbar
    ID_BATCH_TOOL_BASIC = 10027,
    ID_BATCH_TOOL_PORTAL = 10366,
    ID_BATCH_TOOL_WIZARD = 10365,
    ID_BATCH_TOOL_FIND = 10029,
    ID_BATCH_TOOL_INSTALL_SAMPLES = 10145,
    ID_BATCH_TOOL_TRANSFER = 10028,

    // Batches context menu
    ID_BATCH_CTX_PROPERTIES = 9990,
    ID_BATCH_CTX_ENABLE_ALL = 6000,
    ID_BATCH_CTX_DISABLE_ALL = 6001,
    ID_BATCH_CTX_DELETE_DISABLED = 6002,
    // Items context menu
    ID_ITEMS_CTX_GRIB_VIEWER = 6004,
    ID_ITEMS_CTX_CHART_VIEWER = 6005,
    ID_ITEMS_CTX_TEXT_EDITOR = 6006,
    ID_ITEMS_CTX_PREVIEW = 6007,
    ID_ITEMS_CTX_CHOOSE_PROGRAM = 6008,
    ID_ITEMS_CTX_VIEW = 6009,
    ID_ITEMS_CTX_COPY = 6011,
    ID_ITEMS_CTX_PASTE = 6012,
    ID_ITEMS_CTX_SELECT_ALL = 6013,
    ID_ITEMS_CTX_UNSELECT_ALL = 6014,
    ID_ITEMS_CTX_DELETE = 6015,
    ID_ITEMS_CTX_DELETE_UNSELECTED = 6016,
    ID_ITEMS_CTX_PROPERTIES = 6017,
};

// Key codes the Edit commands post to the window (F1, F2, Delete).
enum {
    kLibraryCopyKey = 340,
    kLibraryPasteKey = 341,
    kLibraryDeleteKey = 127,
};

// A leaf of the catalogue tree: the catalogue's own item (not owned).
class BatchTreeItemData : public wxTreeItemData
{
public:
    explicit BatchTreeItemData(CFileInfo* item) : m_item(item) {}
    CFileInfo* GetItem() const { return m_item; }

private:
    CFileInfo* m_item;
};

// Drop targets of catalogue drags: on the batches list the item goes to the
// batch under the drop point, on the items list to the selected batch. The
// point is in the list's row area (below the column headings).
class DnDItemToBatch : public wxTextDropTarget
{
public:
    explicit DnDItemToBatch(wxListCtrl* list) : m_list(list) {}
    bool OnDropText(wxCoord x, wxCoord y, const wxString& text) override;

private:
    wxListCtrl* m_list;
};

class DnDFile : public wxTextDropTarget
{
public:
    explicit DnDFile(wxListCtrl* list) : m_list(list) {}
    bool OnDropText(wxCoord x, wxCoord y, const wxString& text) override;

private:
    wxListCtrl* m_list;
};

// The row of `list` under `point` (in the list's row-area coordinates), or
// -1, also without a list. `rightOfColumn0`, when given, gets 1 when the
// point lies right of column 0 (the check or status column), else 0.
long GetSelectedBatchItemId(const wxPoint& point, const wxListCtrl* list, long* rightOfColumn0);

// The comparator both lists sort with; `sortData` is the sort of the list
// being sorted (its keys taken before sorting).
int wxCALLBACK ListItemCompare(wxIntPtr item1, wxIntPtr item2, wxIntPtr sortData);

class BatchWindow : public wxFrame
{
    wxDECLARE_CLASS(BatchWindow);

public:
    BatchWindow();
    BatchWindow(wxWindow* parent, wxWindowID id = ID_BATCHWINDOW, const wxString& caption = _("Library Window"),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 600),
                long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX |
                             wxRESIZE_BORDER);
    ~BatchWindow() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                const wxSize& size, long style);
    void Init();
    void CreateControls();

    // Pictures by resource name: the toolbar's tools and the logo (an
    // unknown name gives an empty bitmap), the frame's icon.
    static wxBitmap GetBitmapResource(const wxString& name);
    static wxIcon GetIconResource(const wxString& name);

    // The batch properties dialog as the Library window runs it: fills the
    // batch and returns the dialog's end code (wxID_OK stores it). Replaced
    // by tests; the previous runner is returned.
    using BatchDialogRunner = std::function<int(CBatch& batch, bool isNew)>;
    static BatchDialogRunner SetBatchDialogRunner(BatchDialogRunner runner);

    // --- the catalogue tree and the lists
    // Fills the catalogue tree from the application's catalogue: the
    // categories at once; the children of a node when it is first opened
    // (each node with children shows its button before that), the items'
    // titles read from the catalogue then.
    void PopulateCatalogueTree();
    // Adds the children of a category, region or chart-type node of the
    // catalogue tree unless it has them already.
    void FillCatalogueNode(const wxTreeItemId& node);
    // Appends a row per stored batch above the Basic batch, in store order.
    void PopulateBatchesList();
    // Puts the "New Batch" row at the top of the batches list.
    void InsertNewBatchItem();
    // Shows the items of batch `batchId` (those the catalogue holds), the
    // last stored on top, and the batch's title over the check column.
    void LoadBatchItemsCtrl(int batchId);
    // Opens the local copy of a row's item (row -1: the current item).
    void ViewBatchItem(long row);
    // Clears the selection and focus of every batches-list row.
    void DeselectAllBatches();
    // The batch dialog for a new batch; on OK the batch is stored and listed.
    void LaunchNewBatchDlg();
    // No batch shown any more (its row was deleted or the list rebuilt): the
    // items list is emptied and m_currentBatchId becomes -2.
    void ForgetCurrentBatch();
    // The selected row of the batches list, or -1.
    long SelectedBatchRow() const;
    // The batch id a batches-list row carries (-1 for "New Batch").
    int BatchIdOfRow(long row) const;
    // Whether items may be stored into the current batch: false, after telling
    // the user, for the "New Batch" row ("Cannot add item to New Batch") and
    // for no batch or one whose row is gone ("No batch is selected").
    bool CurrentBatchTakesItems();
    // Selects the batches-list row of batch `batchId` (as a click would);
    // false when it is not listed.
    bool SelectBatch(int batchId);
    // Sorts a list by a column as a click on its heading does.
    void SortList(wxListCtrl* list, int column);

    // --- the clipboard commands of the keys and the Edit menu
    void CopySelectedItems();
    void PasteClipboard();
    // Delete: `source` is the list the key was typed in, or null for a key
    // posted by a command. Returns false when the key should go on to the list.
    bool DeleteSelection(wxObject* source);

    // --- drops (the drop targets hand their text here); true: the drop was taken
    bool DropOnBatchesList(const wxPoint& point, const wxString& text);
    bool DropOnItemsList(const wxString& text);

    // --- download of every enabled user batch, and its end
    void OnStart(wxCommandEvent& event);
    void OnTransferDone(wxCommandEvent& event);

    // --- handlers of the lists, the tree and the frame
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnBatchListCtrlSelected(wxListEvent& event);
    void OnBatchListCtrlDeselected(wxListEvent& event);
    void OnBatchListCtrlColLeftClick(wxListEvent& event);
    void OnBatchListCtrlLeftDown(wxMouseEvent& event);
    void OnBatchListRightDown(wxMouseEvent& event);
    void OnBatchItemsListCtrlSelected(wxListEvent& event);
    void OnBatchItemsListCtrlColLeftClick(wxListEvent& event);
    void OnBatchItemsLeftDown(wxMouseEvent& event);
    void OnBatchItemsLeftDClick(wxMouseEvent& event);
    void OnItemsListRightDown(wxMouseEvent& event);
    void OnEnableBatchToggleClick(wxCommandEvent& event);
    void OnProductTreeCtrlLeftDown(wxMouseEvent& event);
    void OnProductTreeCtrlLeftDClick(wxMouseEvent& event);
    void OnProductTreeCtrlRightDown(wxMouseEvent& event);
    void OnProductTreeCtrlRightUp(wxMouseEvent& event);
    void OnProductTreeCtrlItemRightClick(wxTreeEvent& event);
    void OnProductTreeCtrlItemExpanded(wxTreeEvent& event);
    void OnProductTreeCtrlItemCollapsed(wxTreeEvent& event);
    void OnProductTreeCtrlBeginDrag(wxTreeEvent& event);
    void OnSplitterwindowSashPosChanged(wxSplitterEvent& event);
    void OnSplitterwindow1SashPosChanged(wxSplitterEvent& event);

    // --- commands that work here
    void OnMenuBasicModeClick(wxCommandEvent& event);     // 10024, tool 10027
    void OnMenuLoadWindowClick(wxCommandEvent& event);    // 10363, tool 10366
    void OnMenuExitClick(wxCommandEvent& event);          // 10140 and the system Quit
    void OnMenuCopyClick(wxCommandEvent& event);          // 10113, 6011
    void OnMenuPasteClick(wxCommandEvent& event);         // 10114, 6012
    void OnMenuDeleteClick(wxCommandEvent& event);        // 10115, 6015
    void OnNewBatchClick(wxCommandEvent& event);          // 10058

    // --- batch commands, item commands and viewers
    // Sets every listed batch's status (the "New Batch" row aside) in the
    // store and in its row.
    void EnableDisableAllBatches(int enable);
    // The download folder of the current batch and the local file of the
    // current item (empty when it is not downloaded); false without a current
    // item or when the catalogue does not hold it (the user is told).
    bool GetAppRunArgs(wxString& folder, wxString& file);
    // Starts `application` with the current item's local file as its one
    // argument; an item not downloaded yet is named to the user instead.
    void RunApp(const wxString& application);
    // The context menus as they are popped up (the caller owns them).
    wxMenu* BuildBatchesContextMenu() const;
    wxMenu* BuildItemsContextMenu() const;
    // What the About box shows.
    static wxAboutDialogInfo AboutInformation();
    // The folder the sample batch files are installed in.
    static wxString SampleBatchFolder();

    void OnMenuContentWizardClick(wxCommandEvent& event);          // 10159, tool 10365
    void OnMenuSetDefaultsClick(wxCommandEvent& event);            // 10323
    void OnMenuLaunchWizardDownloadClick(wxCommandEvent& event);   // 10324
    void OnMenuSettingsClick(wxCommandEvent& event);               // 10134
    void OnMenuUpdateFileListClick(wxCommandEvent& event);         // 10136
    void OnMenuArchiveFilesClick(wxCommandEvent& event);           // 10139
    void OnMenuFindClick(wxCommandEvent& event);                   // 10116, tool 10029
    void OnDeleteBatchClick(wxCommandEvent& event);                // 10025
    void OnRenameBatchClick(wxCommandEvent& event);                // 10063
    void OnExportBatchClick(wxCommandEvent& event);                // 10061
    void OnImportBatchClick(wxCommandEvent& event);                // 10062
    void OnBackupBatchesClick(wxCommandEvent& event);              // 10059
    void OnRestoreBatchesClick(wxCommandEvent& event);             // 10060
    void OnMenuInstallSampleBatchesClick(wxCommandEvent& event);   // 10144, tool 10145
    void OnBatchPropertiesClick(wxCommandEvent& event);            // 10065
    void OnGlobalBatchPropertiesClick(wxCommandEvent& event);      // 10066
    void OnMenuHelpClick(wxCommandEvent& event);                   // 10142
    void OnMenuAboutClick(wxCommandEvent& event);                  // 10143
    void OnBatchProperties(wxCommandEvent& event);                 // 9990
    void OnEnableAllBatchesClick(wxCommandEvent& event);           // 6000
    void OnDisableAllBatchesClick(wxCommandEvent& event);          // 6001
    void OnDeleteAllDisabledBatchesClick(wxCommandEvent& event);   // 6002
    void OnBatchItemsViewWith(wxCommandEvent& event);              // 6004 to 6007
    void OnBatchItemsChooseViewProgram(wxCommandEvent& event);     // 6008
    void OnBatchItemsViewFile(wxCommandEvent& event);              // 6009
    void OnBatchItemsSelectAll(wxCommandEvent& event);             // 6013
    void OnBatchItemsUnselectAll(wxCommandEvent& event);           // 6014
    void OnBatchItemsDeleteUnselected(wxCommandEvent& event);      // 6016
    void OnBatchItemsProperties(wxCommandEvent& event);            // 6017
    void OnBatchesContextMenu(wxContextMenuEvent& event);          // batches list
    void OnBatchItemsContextMenu(wxContextMenuEvent& event);       // items list
    void OnMenuArchiveFilesUpdate(wxUpdateUIEvent& event);         // tick of 10139

    // --- state
    wxMenu* m_modeMenu;
    wxMenu* m_programMenu;
    wxMenu* m_editMenu;
    wxMenu* m_batchMenu;
    wxMenu* m_transferMenu;
    wxToolBar* m_toolBar;
    wxStaticBitmap* m_logo;
    wxTreeCtrl* m_catalogueTree;
    // The catalogue index of each category node, in tree order (a category
    // the edition hides has none).
    std::vector<size_t> m_treeCategories;
    void OnCatalogueTreeExpanding(wxTreeEvent& event);
    // Type-ahead over the whole catalogue, nodes not yet opened included:
    // the typed prefix and when its last key came.
    wxString m_typeAhead;
    wxLongLong m_typeAheadAt = 0;
    void OnCatalogueTreeChar(wxKeyEvent& event);
    wxListCtrl* m_batchesList;
    wxListCtrl* m_itemsList;
    wxSplitterWindow* m_outerSplitter;
    wxSplitterWindow* m_innerSplitter;
    // -2 no batch shown, -1 the "New Batch" row, else the id of the shown batch.
    int m_currentBatchId;
    // A right press on a list came since the last selection (a selection of
    // the "New Batch" row then opens no dialog).
    bool m_rightButtonDown;
    // Copies of the items taken by the last copy or cut.
    CFileInfoArray m_itemClipboard;
    // The catalogue item of the last selected items-list row (not owned).
    CFileInfo* m_currentItem;
    // The list in which a row was selected last (copy and delete act on it).
    wxListCtrl* m_lastSelectedList;
    // Folder the items list's Choose Program dialog opens in.
    wxString m_chooseProgramDir;
    // The last load of the items list failed: the store could not give the
    // batch (the user has been told).
    bool m_itemsUnreadable;
    // Sash moves are stored only once the window is shown and laid out: the
    // splitters move their sashes while they get their first sizes.
    bool m_sashesTracked;

private:
    void OnIdleUntilLaidOut(wxIdleEvent& event);
    void SaveFrameSize();
    void ApplyStoredSashes();
    void EnableEditItems(bool copy, bool paste, bool del);
    void SetItemsHeading(const wxString& text);
    void ToggleItemCheck(long row);
    bool DeleteBatchRow(long row, int id, const wxString& title);
    void DeleteSelectedItems(int id, const wxString& title);
    // Resolves a drop text to the catalogue item it names: false to refuse
    // the drop (not a catalogue drag, or an id the catalogue does not hold).
    bool DroppedItem(const wxString& text, CFileInfo*& item);
    // Why an item cannot go into batch `batchId`, or empty when it can.
    wxString DropRefusal(const CFileInfo& item, int batchId);
    // A notice shown once the current event (a drop, a press) is over.
    void TellLater(const wxString& text);
    int Tell(const wxString& text, const wxString& caption, long style);
    void PostKey(int keyCode);
    // Properties of batch `id` (its batches-list row `row`, -1 for none).
    void EditBatchProperties(long row, int id);
    void SetAllItemsStatus(int status);
    void TellNotDownloaded(const CFileInfo& item);
    wxString ChooseBatchFile(const wxString& title, const wxString& folder, const wxString& name,
                             const wxString& wildcard, long style);
    // The stored batches above the Basic batch, in store order, as the
    // batches list shows them; false (logged) when they cannot be read.
    bool ReadListedBatches(std::vector<CBatch>& batches);
    // An ordinary import of one batch file, its new batches listed at the end.
    bool ImportBatchFile(const wxString& path);

    // While a list is sorted (which deselects every row) and its selection is
    // put back, its selection handlers do nothing.
    bool m_sorting;
    bool m_headingFontSet;

    wxDECLARE_EVENT_TABLE();
};
