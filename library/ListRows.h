// The rows of the Library window's lists: a batch in the batches list (an
// item in the items list is CFileInfo::AppendToListCtrl, defined with these).
#pragma once

class CBatch;
class wxListCtrl;

namespace tw {

// Writes the batch into `list`: a new last row when row < 0, else that row in
// place. Columns: the status image (1 enabled, 0 not), title, creation date,
// description; the row's item data is the batch id. Returns the row, or -1
// when the list refused it.
long WriteBatchRow(wxListCtrl& list, const CBatch& batch, long row);

} // namespace tw
