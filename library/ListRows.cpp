#include "library/ListRows.h"

#include <wx/datetime.h>
#include <wx/debug.h>
#include <wx/listctrl.h>

#include "app/Init.h"
#include "catalogue/Batch.h"
#include "catalogue/FileInfo.h"
#include "catalogue/LocalCopy.h"

// The row of a batch item in the items list.
int CFileInfo::AppendToListCtrl(CBatch* batch, wxListCtrl* list, void* data)
{
    wxCHECK_MSG(batch && list, -1, "AppendToListCtrl needs a batch and a list");
    const wxString& folder = batch->info.folder;
    if (!folder.empty())
        CInit::MakeFolderIfNotExist(folder);

    const wxString date = tw::GetDiskDate(batch, folder, info.Path);

    // Column 0 carries only the box: the image list holds the unchecked box
    // at 0 and the checked one at 1.
    const long row = list->InsertItem(0, wxString(), info.status);
    if (row < 0) {
        wxFAIL_MSG("Internal error: failed to insert item into list.");
        return -1;
    }
    list->SetItemPtrData(row, reinterpret_cast<wxUIntPtr>(data));

    const wxString texts[] = {
        info.Title,
        info.File,
        date,
        info.ChartType,
        "$" + info.Price,
        info.CompressedSize + "Kb",
        info.Description,
    };
    for (int column = 1; column <= 7; ++column)
        list->SetItem(row, column, texts[column - 1], -1);
    return static_cast<int>(row);
}

long tw::WriteBatchRow(wxListCtrl& list, const CBatch& batch, long row)
{
    const CBatch::t_batch& b = batch.info;
    const int image = b.status != 0 ? 1 : 0;
    long index = row;
    if (row < 0)
        index = list.InsertItem(list.GetItemCount(), wxString(), image);
    else
        list.SetItem(index, 0, wxString(), image);
    if (index < 0)
        return -1;
    list.SetItemData(index, b.ID);
    list.SetItem(index, 1, b.title);
    list.SetItem(index, 2, b.create_date.IsValid() ? b.create_date.FormatDate() : wxString());
    list.SetItem(index, 3, b.description);
    return index;
}
