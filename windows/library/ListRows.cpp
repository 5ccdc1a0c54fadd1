#include "windows/library/ListRows.h"

#include <cstring>

#include <wx/datetime.h>
#include <wx/debug.h>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/log.h>

#include "core/Init.h"
#include "core/LocalFiles.h"
#include "model/Batch.h"
#include "model/BatchDB.h"
#include "model/FileInfo.h"
#include "model/LocalCopy.h"

// The row of a batch item in the items list.
int CFileInfo::AppendToListCtrl(CBatch* batch, wxListCtrl* list, void* data, const tw::FolderListing* listing)
{
    wxCHECK_MSG(batch && list, -1, "AppendToListCtrl needs a batch and a list");
    const wxString& folder = batch->info.folder;
    wxString date;
    if (listing && listing->Folder() == folder && listing->Exists()) {
        date = tw::GetDiskDate(batch, *listing, info.Path);
    } else {
        if (!folder.empty())
            CInit::MakeFolderIfNotExist(folder);
        date = tw::GetDiskDate(batch, folder, info.Path);
    }

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
    list.SetItem(index, 2, BatchDateText(b.create_date));
    list.SetItem(index, 3, b.description);
    return index;
}

wxString tw::BatchDateText(const wxDateTime& date)
{
    // StoredSeconds is -1 for an invalid date and for one before 1970 (the
    // store's "no date"), which would otherwise show as 1969 or 1970.
    if (StoredSeconds(date) < 0)
        return wxString();
    return date.FormatDate();
}

wxBitmap tw::SizedPicture(const wxString& path, int width, int height)
{
    wxImage image;
    if (wxFileExists(path)) {
        wxLogNull quiet;
        image.LoadFile(path, wxBITMAP_TYPE_PNG);
    }
    if (!image.IsOk()) {
        image.Create(width, height);
        image.InitAlpha();
        std::memset(image.GetAlpha(), 0, static_cast<size_t>(width) * height);
    } else if (image.GetWidth() != width || image.GetHeight() != height) {
        image.Rescale(width, height, wxIMAGE_QUALITY_HIGH);
    }
    return wxBitmap(image);
}

wxImageList* tw::MakeImageList(int width, int height, std::initializer_list<const char*> files)
{
    auto* images = new wxImageList(width, height, true, static_cast<int>(files.size()));
    for (const char* file : files)
        images->Add(SizedPicture(wxString::FromUTF8(file), width, height));
    return images;
}
