// The rows of the Library window's lists: a batch in the batches list (an
// item in the items list is CFileInfo::AppendToListCtrl, defined with these),
// and the pictures of the lists and the catalogue tree.
#pragma once

#include <initializer_list>

#include <wx/bitmap.h>
#include <wx/string.h>

class CBatch;
class wxDateTime;
class wxImageList;
class wxListCtrl;

namespace tw {

// Writes the batch into `list`: a new last row when row < 0, else that row in
// place. Columns: the status image (1 enabled, 0 not), title, creation date,
// description; the row's item data is the batch id. Returns the row, or -1
// when the list refused it.
long WriteBatchRow(wxListCtrl& list, const CBatch& batch, long row);

// The creation date as the batches list shows it: the local date in the
// locale's form; empty for no date (an invalid one, or one the store keeps
// as -1).
wxString BatchDateText(const wxDateTime& date);

// A picture of exactly width x height for an image list or a toolbar: the
// PNG file (a path relative to the resources folder) scaled to that size
// when it has another, or a transparent blank of that size when the file is
// missing or unreadable. (An image list refuses or splits a picture of the
// wrong size, which would shift every later index.)
wxBitmap SizedPicture(const wxString& path, int width, int height);
// An image list of such pictures, in the order given.
wxImageList* MakeImageList(int width, int height, std::initializer_list<const char*> files);

} // namespace tw
