#include "library/batchwindow.h"

#include <cstring>

#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>

#include "app/Registry.h"
#include "app/tidewrightapp.h"
#include "catalogue/BatchDB.h"
#include "platform/UiHooks.h"
#include "windows/basicwindow.h"

wxIMPLEMENT_CLASS(BatchWindow, wxFrame);

wxBEGIN_EVENT_TABLE(BatchWindow, wxFrame)
    EVT_MENU(ID_BATCH_BASIC_MODE, BatchWindow::OnMenuBasicModeClick)
    EVT_MENU(ID_BATCH_PORTAL_MODE, BatchWindow::OnMenuLoadWindowClick)
wxEND_EVENT_TABLE()

namespace {

// An image list of PNG files from the resources folder; a missing file
// leaves an empty slot so the indices stay as they are.
wxImageList* LoadImages(int width, int height, std::initializer_list<const char*> files)
{
    auto* images = new wxImageList(width, height, true);
    for (const char* file : files) {
        wxBitmap bmp;
        if (wxFileExists(file))
            bmp.LoadFile(file, wxBITMAP_TYPE_PNG);
        if (!bmp.IsOk() || bmp.GetWidth() != width || bmp.GetHeight() != height) {
            wxImage blank(width, height);
            blank.InitAlpha();
            memset(blank.GetAlpha(), 0, static_cast<size_t>(width) * height);
            bmp = wxBitmap(blank);
        }
        images->Add(bmp);
    }
    return images;
}

} // namespace

BatchWindow::BatchWindow()
{
    Init();
}

BatchWindow::BatchWindow(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    Init();
    wxSize frameSize = size;
    {
        CUserConfig file;
        if (file.Has("General/Height"))
            frameSize = wxSize(file.ReadInt("General/Width", 0), file.ReadInt("General/Height", 0));
    }
    Create(parent, id, caption, pos, frameSize, style);
}

BatchWindow::~BatchWindow()
{
    // The application keeps pointers to the lists only while they exist.
    TidewrightApp& app = wxGetApp();
    if (app.catalogueTreeCtrl == m_catalogueTree)
        app.catalogueTreeCtrl = nullptr;
    if (app.batchesListCtrl == m_batchesList)
        app.batchesListCtrl = nullptr;
    if (app.batchItemsListCtrl == m_itemsList)
        app.batchItemsListCtrl = nullptr;
    if (app.sortedItemsListCtrl == m_itemsList)
        app.sortedItemsListCtrl = nullptr;
}

void BatchWindow::Init()
{
    m_catalogueTree = nullptr;
    m_batchesList = nullptr;
    m_itemsList = nullptr;
    m_outerSplitter = nullptr;
    m_innerSplitter = nullptr;
    m_currentBatchId = -2;
}

bool BatchWindow::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos,
                         const wxSize& size, long style)
{
    if (!wxFrame::Create(parent, id, caption, pos, size, style))
        return false;
    CreateControls();
    Centre();
    return true;
}

void BatchWindow::CreateControls()
{
    TidewrightApp& app = wxGetApp();
    CBatchFolder::Instance()->SetDatabase(app.GetUserDb());

    auto* modeMenu = new wxMenu;
    modeMenu->Append(ID_BATCH_BASIC_MODE, _("Switch to Basic Mode"));
    modeMenu->Append(ID_BATCH_PORTAL_MODE, _("Switch to Portal Mode"));
    auto* menuBar = new wxMenuBar;
    menuBar->Append(modeMenu, _("Mode"));
    SetMenuBar(menuBar);

    m_outerSplitter = new wxSplitterWindow(this, ID_BATCH_OUTER_SPLITTER, wxDefaultPosition, wxDefaultSize,
                                           wxSP_3DBORDER | wxSP_3DSASH | wxNO_BORDER);
    m_outerSplitter->SetMinimumPaneSize(100);
    m_innerSplitter = new wxSplitterWindow(m_outerSplitter, ID_BATCH_INNER_SPLITTER, wxDefaultPosition,
                                           wxDefaultSize, wxSP_3DBORDER | wxSP_3DSASH | wxNO_BORDER);
    m_innerSplitter->SetMinimumPaneSize(100);

    m_catalogueTree = new wxTreeCtrl(m_innerSplitter, ID_BATCH_CATALOGUE_TREE, wxDefaultPosition, wxDefaultSize,
                                     wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE);
    m_catalogueTree->AssignImageList(
        LoadImages(16, 16, {"Icons/closedfolder.png", "Icons/openfolder.png", "Icons/talvologo.png"}));

    m_batchesList = new wxListCtrl(m_innerSplitter, ID_BATCH_BATCHES_LIST, wxDefaultPosition, wxDefaultSize,
                                   wxLC_REPORT | wxLC_SINGLE_SEL);
    m_batchesList->AssignImageList(LoadImages(16, 16, {"Icons/redfolder.png", "Icons/greenfolder.png"}),
                                   wxIMAGE_LIST_SMALL);
    m_batchesList->AppendColumn(_("Status"));
    m_batchesList->AppendColumn(_("Batch Name"));
    m_batchesList->AppendColumn(_("Creation Date"));
    m_batchesList->AppendColumn(_("Description"));

    m_itemsList = new wxListCtrl(m_outerSplitter, ID_BATCH_ITEMS_LIST, wxDefaultPosition, wxDefaultSize,
                                 wxLC_REPORT);
    m_itemsList->AssignImageList(LoadImages(32, 16, {"Icons/UnChecked.png", "Icons/Checked.png"}),
                                 wxIMAGE_LIST_SMALL);
    for (const wxString& heading : {_("Batch"), _("Product"), _("Filename"), _("Last Download"), _("Type"),
                                    _("Price"), _("Size"), _("Description")})
        m_itemsList->AppendColumn(heading);

    m_innerSplitter->SplitVertically(m_catalogueTree, m_batchesList);
    m_outerSplitter->SplitHorizontally(m_innerSplitter, m_itemsList);
    {
        CUserConfig file;
        m_outerSplitter->SetSashPosition(file.ReadInt("General/HSashPos", 500));
        m_innerSplitter->SetSashPosition(file.ReadInt("General/VSashPos", 400));
    }

    app.catalogueTreeCtrl = m_catalogueTree;
    app.batchesListCtrl = m_batchesList;
    app.batchItemsListCtrl = m_itemsList;
    app.sortedItemsListCtrl = m_itemsList;

    PopulateCatalogueTree();
}

void BatchWindow::PopulateCatalogueTree()
{
    m_catalogueTree->DeleteAllItems();
    const wxTreeItemId root = m_catalogueTree->AddRoot(wxS("Catalogue"));
    for (CProduct& product : wxGetApp().catalogue) {
        const wxTreeItemId p = m_catalogueTree->AppendItem(root, product.name, 0, 1);
        for (CRegion& region : product.regions) {
            const wxTreeItemId r = m_catalogueTree->AppendItem(p, region.name, 0, 1);
            for (CChartType& chart : region.chartTypes) {
                const wxTreeItemId c = m_catalogueTree->AppendItem(r, chart.name, 0, 1);
                for (CFileInfo& item : chart.files)
                    m_catalogueTree->AppendItem(c, item.info.Title, 2, 2, new BatchTreeItemData(&item));
            }
        }
    }
}

void BatchWindow::OnMenuBasicModeClick(wxCommandEvent&)
{
    wxGetApp().ChangeWindowMode(TidewrightApp::kModeBasic);
}

void BatchWindow::OnMenuLoadWindowClick(wxCommandEvent&)
{
    wxGetApp().ClearBasicHomePosition();
    wxGetApp().ChangeWindowMode(TidewrightApp::kModePortal);
}

void BatchWindow::OnStart(wxCommandEvent&)
{
    CActiveFileList files;
    CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kLibraryMode);
    HomePosition area;
    const bool hasArea = wxGetApp().GetBasicHomePosition(area);
    if (!wxGetApp().FileTransferStart(files, this, wxCommandEventHandler(BatchWindow::OnTransferDone), 2,
                                      hasArea ? &area : nullptr))
        tw::MessageBox(wxS("Failed to create the download window."), wxS("Message"), wxOK);
}

void BatchWindow::OnTransferDone(wxCommandEvent& event)
{
    const bool hasArea = wxGetApp().HasBasicHomePosition();
    CActiveFileList files;
    CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kLibraryMode);
    HomePosition area;
    wxGetApp().FileTransferEpilogue(files, event.GetInt() != 0, hasArea ? &area : nullptr);
    if (area.valid)
        BasicWindow::UpdateCoords(area.lat, area.lon, area.width);
}
