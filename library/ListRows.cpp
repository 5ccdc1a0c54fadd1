// The row of a batch item in the Library window's items list.
#include "catalogue/FileInfo.h"

#include <wx/datetime.h>
#include <wx/debug.h>
#include <wx/listctrl.h>

#include "app/Init.h"
#include "app/tidewrightapp.h"
#include "catalogue/Batch.h"

int CFileInfo::AppendToListCtrl(CBatch* batch, wxListCtrl* list, void* data)
{
    wxCHECK_MSG(batch && list, -1, "AppendToListCtrl needs a batch and a list");
    const wxString& folder = batch->info.folder;
    if (!folder.empty())
        CInit::MakeFolderIfNotExist(folder);

    wxDateTime unused;
    const wxString date = TidewrightApp::GetDiskDate(batch, folder, info.Path, unused);

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
