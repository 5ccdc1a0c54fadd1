#include "windows/common/checktreectrl.h"

#include <unordered_map>

#include <wx/image.h>
#include <wx/frame.h>
#include <wx/imaglist.h>
#include <wx/toplevel.h>
#include <wx/wxsqlite3.h>

#include "windows/common/Shell.h"
#include "model/BatchDB.h"
#include "platform/Locations.h"
#include "platform/UiHooks.h"
#include "windows/common/SuggestionGroups.h"
#include "windows/common/ErrorGate.h"

wxDEFINE_EVENT(wxEVT_CKTR_ITEM_SELECTED, wxCheckTreeCtrlEvent);
wxDEFINE_EVENT(wxEVT_CKTR_ITEM_UNSELECTED, wxCheckTreeCtrlEvent);

namespace {

constexpr int kWizardBatch = 2;

// The two boxes: a dark blue frame with a light fill shading down to white,
// the top and bottom rows and the outer columns transparent; the checked one
// with a green tick.
const char* const Checkbox_on_xpm[] = {
    "16 16 9 1",
    "  c None",
    "b c #185284",
    "1 c #E7E7DE",
    "2 c #ECECE4",
    "3 c #F1F1EB",
    "4 c #F5F5F1",
    "5 c #FAFAF8",
    "6 c #FFFFFF",
    "g c #21A521",
    "                ",
    " bbbbbbbbbbbbbb ",
    " b111111111111b ",
    " b111111111111b ",
    " b222222222gg2b ",
    " b22222222ggg2b ",
    " b3333333ggg33b ",
    " b3gg333ggg333b ",
    " b4ggg4ggg4444b ",
    " b44ggggg44444b ",
    " b555ggg555555b ",
    " b5555g5555555b ",
    " b666666666666b ",
    " b666666666666b ",
    " bbbbbbbbbbbbbb ",
    "                ",
};

const char* const Checkbox_off_xpm[] = {
    "16 16 8 1",
    "  c None",
    "b c #185284",
    "1 c #E7E7DE",
    "2 c #ECECE4",
    "3 c #F1F1EB",
    "4 c #F5F5F1",
    "5 c #FAFAF8",
    "6 c #FFFFFF",
    "                ",
    " bbbbbbbbbbbbbb ",
    " b111111111111b ",
    " b111111111111b ",
    " b222222222222b ",
    " b222222222222b ",
    " b333333333333b ",
    " b333333333333b ",
    " b444444444444b ",
    " b444444444444b ",
    " b555555555555b ",
    " b555555555555b ",
    " b666666666666b ",
    " b666666666666b ",
    " bbbbbbbbbbbbbb ",
    "                ",
};

// A picture of exactly side x side with transparent parts: the image list
// takes no other size (a wider picture would be cut into several images and
// shift every later index).
wxBitmap ImageListPicture(wxImage image, int side)
{
    if (!image.IsOk()) {
        image.Create(side, side);
        image.InitAlpha();
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                image.SetAlpha(x, y, 0);
    } else if (image.GetWidth() != side || image.GetHeight() != side) {
        image.Rescale(side, side, wxIMAGE_QUALITY_HIGH);
    }
    if (!image.HasAlpha() && !image.HasMask())
        image.InitAlpha();
    return wxBitmap(image);
}

} // namespace

wxBEGIN_EVENT_TABLE(wxCheckTreeCtrl, wxTreeCtrl)
    EVT_LEFT_DOWN(wxCheckTreeCtrl::OnLeftDown)
    EVT_LEFT_DCLICK(wxCheckTreeCtrl::OnLeftDblClick)
    EVT_RIGHT_DOWN(wxCheckTreeCtrl::OnRightDown)
wxEND_EVENT_TABLE()

wxCheckTreeCtrl::wxCheckTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                                 const wxValidator& validator, const wxString& name)
    : wxTreeCtrl(parent, id, pos, size, style | wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT, validator, name)
{
    m_bitmaps[kImageChecked] = ImageListPicture(wxBitmap(Checkbox_on_xpm).ConvertToImage(), kImageSide);
    m_bitmaps[kImageUnchecked] = ImageListPicture(wxBitmap(Checkbox_off_xpm).ConvertToImage(), kImageSide);
    wxImage logo;
    logo.LoadFile(tw::ResourcesDir() + wxS("/Icons/talvologo.png"), wxBITMAP_TYPE_PNG);
    m_bitmaps[kImageNoBox] = ImageListPicture(logo, kImageSide);

    auto* images = new wxImageList(kImageSide, kImageSide, true, 3);
    for (const wxBitmap& bitmap : m_bitmaps)
        images->Add(bitmap);
    AssignImageList(images);
}

void wxCheckTreeCtrl::SetBoth(const wxTreeItemId& item, int image)
{
    SetItemImage(item, image, wxTreeItemIcon_Normal);
    SetItemImage(item, image, wxTreeItemIcon_Selected);
}

wxTreeItemId wxCheckTreeCtrl::AddRoot(const wxString& text, bool checked, wxTreeItemData* data)
{
    const int image = checked ? kImageChecked : kImageUnchecked;
    return wxTreeCtrl::AddRoot(text, image, image, data);
}

wxTreeItemId wxCheckTreeCtrl::AppendItem(const wxTreeItemId& parent, const wxString& text, bool checked,
                                         wxTreeItemData* data)
{
    const int image = checked ? kImageChecked : kImageUnchecked;
    return wxTreeCtrl::AppendItem(parent, text, image, image, data);
}

wxTreeItemId wxCheckTreeCtrl::AppendNoCheckboxItem(const wxTreeItemId& parent, const wxString& text,
                                                   wxTreeItemData* data)
{
    return wxTreeCtrl::AppendItem(parent, text, kImageNoBox, kImageNoBox, data);
}

void wxCheckTreeCtrl::Check(const wxTreeItemId& item, bool checked)
{
    if (!HasCheckbox(item))
        return;
    SetBoth(item, checked ? kImageChecked : kImageUnchecked);
}

bool wxCheckTreeCtrl::IsChecked(const wxTreeItemId& item) const
{
    return GetItemImage(item, wxTreeItemIcon_Normal) == kImageChecked;
}

bool wxCheckTreeCtrl::HasCheckbox(const wxTreeItemId& item) const
{
    return GetItemImage(item, wxTreeItemIcon_Normal) != kImageNoBox;
}

void wxCheckTreeCtrl::GetItemChildrenRecursive(const wxTreeItemId& item, wxArrayTreeItemIds& items) const
{
    items.Add(item);
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(item, cookie); child.IsOk(); child = GetNextChild(item, cookie))
        GetItemChildrenRecursive(child, items);
}

void wxCheckTreeCtrl::RecursiveCheck(const wxTreeItemId& item, bool checked)
{
    wxArrayTreeItemIds items;
    GetItemChildrenRecursive(item, items);
    for (const wxTreeItemId each : items)
        Check(each, checked);
}

wxString wxCheckTreeCtrl::GetRecordId(const wxTreeItemId& item) const
{
    const auto* data = dynamic_cast<strRecidData*>(GetItemData(item));
    return data ? data->GetRecid() : wxString();
}

bool wxCheckTreeCtrl::RecursiveCheckandSetBatchItem(CBatchFolder* store, const wxTreeItemId& item, bool checked)
{
    wxArrayTreeItemIds items;
    GetItemChildrenRecursive(item, items);
    std::vector<int> before;
    before.reserve(items.size());
    for (const wxTreeItemId each : items)
        before.push_back(GetItemImage(each, wxTreeItemIcon_Normal));

    wxSQLite3Database* db = store ? store->GetDatabase() : nullptr;
    bool begun = false;
    try {
        if (!db || !db->IsOpen())
            throw wxSQLite3Exception(WXSQLITE_ERROR, wxS("The user database is not open."));
        db->Begin();
        begun = true;
        for (const wxTreeItemId each : items) {
            Check(each, checked);
            if (HasCheckbox(each))
                store->SetBatchItemStatus(checked ? 1 : 0, kWizardBatch, GetRecordId(each));
        }
        db->Commit();
        return true;
    } catch (const wxSQLite3Exception& e) {
        // Nothing of the command stays stored, and the transaction does not
        // stay open to make every later one fail.
        if (begun) {
            try {
                db->Rollback();
            } catch (const wxSQLite3Exception&) {
            }
        }
        ShowStoredMarks(store, items, before);
        ReportStoreFailure(e.GetMessage());
        return false;
    }
}

void wxCheckTreeCtrl::ShowStoredMarks(CBatchFolder* store, const wxArrayTreeItemIds& items,
                                      const std::vector<int>& fallback)
{
    std::unordered_map<wxString, int> stored;
    try {
        wxSQLite3Database* db = store ? store->GetDatabase() : nullptr;
        if (db && db->IsOpen()) {
            wxSQLite3ResultSet rs =
                db->ExecuteQuery("SELECT productID,status FROM batch_items WHERE batchID = " + SqlInt(kWizardBatch));
            while (rs.NextRow())
                stored.emplace(rs.GetAsString(0), rs.GetInt(1, 0));
        }
    } catch (const wxSQLite3Exception&) {
        stored.clear();
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (!HasCheckbox(items[i]))
            continue;
        const auto found = stored.find(GetRecordId(items[i]));
        if (found != stored.end())
            Check(items[i], found->second != 0);
        else
            SetBoth(items[i], fallback[i]);
    }
}

void wxCheckTreeCtrl::ReportStoreFailure(const wxString& message)
{
    tw::ShowError(wxS("The download selection could not be stored: ") + message +
                      wxS("\nThe check marks show what is stored."),
                  this);
}

void wxCheckTreeCtrl::OnLeftDown(wxMouseEvent& event)
{
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (!item.IsOk() || !(flags & wxTREE_HITTEST_ONITEMICON)) {
        event.Skip();
        return;
    }
    // An icon click is never passed on: the item does not become selected.
    if (!HasCheckbox(item))
        return;
    const bool check = !IsChecked(item);
    wxCheckTreeCtrlEvent notice(check ? wxEVT_CKTR_ITEM_SELECTED : wxEVT_CKTR_ITEM_UNSELECTED, GetId(), item);
    notice.SetEventObject(this);
    GetEventHandler()->ProcessEvent(notice);
    if (!notice.IsAllowed())
        return;

    const int before = GetItemImage(item, wxTreeItemIcon_Normal);
    Check(item, check);
    CBatchFolder* store = CBatchFolder::Instance();
    try {
        store->SetBatchItemStatus(check ? 1 : 0, kWizardBatch, GetRecordId(item));
    } catch (const wxSQLite3Exception& e) {
        wxArrayTreeItemIds items;
        items.Add(item);
        ShowStoredMarks(store, items, {before});
        ReportStoreFailure(e.GetMessage());
    }
}

void wxCheckTreeCtrl::OnLeftDblClick(wxMouseEvent& event)
{
    // Never passed on: the tree neither expands nor collapses on a double click.
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (!item.IsOk() || !(flags & wxTREE_HITTEST_ONITEMLABEL))
        return;
    // Grouping nodes have no box and no file.
    if (!HasCheckbox(item))
        return;
    const wxString id = GetRecordId(item);
    if (id.empty())
        return;
    tw::TheShell().ViewItemGlobal(id, kWizardBatch);
}

void wxCheckTreeCtrl::OnRightDown(wxMouseEvent& event)
{
    // Never passed on: the item under the pointer does not become selected.
    int flags = 0;
    const wxTreeItemId item = HitTest(event.GetPosition(), flags);
    if (!item.IsOk())
        return;
    tw::MessageBoxRequest question;
    if (ItemHasChildren(item)) {
        question.message = tw::GroupName(GetRecordId(item)) + wxS(" files...");
        question.yesLabel = wxS("Enable All");
        question.noLabel = wxS("Disable All");
    } else {
        question.message = wxS("This file...");
        question.yesLabel = wxS("Enable");
        question.noLabel = wxS("Disable");
    }
    question.cancelLabel = wxS("Cancel");
    question.caption = wxS("Enable/Disable Download");
    question.style = wxYES_NO | wxCANCEL;
    question.parent = tw::BoxParent(this);
    switch (tw::MessageBox(question)) {
    case wxYES:
        RecursiveCheckandSetBatchItem(CBatchFolder::Instance(), item, true);
        break;
    case wxNO:
        RecursiveCheckandSetBatchItem(CBatchFolder::Instance(), item, false);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- the Wizard batch's tree

bool BuildSuggestionTree(wxCheckTreeCtrl& tree, const SuggestionTreeText& text)
{
    tw::Shell& app = tw::TheShell();
    tw::CSuggestionGroups groups;
    wxArrayString missing;
    wxString error;
    try {
        const CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(kWizardBatch);
        CFileInfo found;
        for (const CFileInfo& item : batch.items) {
            if (!app.FindFileInfoFilteredBasic(found, item.info.FileID, true)) {
                missing.Add(item.info.FileID);
                continue;
            }
            const wxString& name = text.leafFromTitle ? found.info.Title : found.info.Description;
            groups.Add(found.info.Category, found.info.ChartType,
                       tw::SuggestionLeaf {name + wxS(":") + found.info.FileID, item.info.FileID,
                                           item.info.status != 0});
        }
    } catch (const wxSQLite3Exception& e) {
        error = e.GetMessage();
        groups = tw::CSuggestionGroups();
        missing.clear();
    }

    tree.Freeze();
    tree.DeleteAllItems();
    const wxTreeItemId root = tree.AddRoot(wxS("Rooter"), false);
    for (const tw::SuggestionCategory& category : groups.Categories()) {
        const wxTreeItemId categoryNode =
            tree.AppendNoCheckboxItem(root, category.name, new strRecidData(tw::CategoryRecordId(category.name)));
        for (const tw::SuggestionChartType& chartType : category.chartTypes) {
            const wxTreeItemId typeNode = tree.AppendNoCheckboxItem(
                categoryNode, chartType.name, new strRecidData(tw::ChartTypeRecordId(chartType.name)));
            for (const tw::SuggestionLeaf& leaf : chartType.leaves)
                tree.AppendItem(typeNode, leaf.label, leaf.checked, new strRecidData(leaf.recordId));
        }
    }
    tree.ExpandAll();
    tree.Thaw();

    wxWindow* parent = tw::BoxParent(&tree);
    if (!error.empty()) {
        tw::MessageBox(wxS("The suggested content could not be read: ") + error, wxS("Error"),
                       wxOK | wxCENTRE | wxICON_ERROR, parent);
        return false;
    }
    // One notice for all of them: a catalogue update can take away many
    // suggested items at once.
    if (!missing.empty()) {
        wxString ids;
        for (const wxString& id : missing)
            ids << (ids.empty() ? wxS("") : wxS(", ")) << id;
        tw::MessageBox(text.missingItem + ids, wxS("Message"), wxOK | wxCENTRE, parent);
    }
    return true;
}

// ---------------------------------------------------------------- the Wizard batch's download

void StartWizardBatchDownload(wxEvtHandler* handler, wxObjectEventFunction done)
{
    auto* window = dynamic_cast<wxWindow*>(handler);
    CActiveFileList files;
    try {
        CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kWizardMode);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(wxS("The suggested content could not be read: ") + e.GetMessage(), window);
        return;
    }
    if (!tw::TheShell().FileTransferStart(files, handler, done, 1, nullptr))
        tw::MessageBox(wxS("Failed to create the download window."), wxS("Message"), wxOK | wxCENTRE,
                       tw::BoxParent(window));
}

void FinishWizardBatchDownload(const wxCommandEvent& event)
{
    CActiveFileList files;
    try {
        CBatchFolder::Instance()->GetActiveFileList(files, CBatchFolder::kWizardMode);
    } catch (const wxSQLite3Exception& e) {
        tw::ShowError(wxS("The downloaded files could not be processed: ") + e.GetMessage(), nullptr);
        return;
    }
    tw::TheShell().FileTransferEpilogue(files, event.GetInt() != 0, nullptr);
}
