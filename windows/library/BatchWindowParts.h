// What the source files of the Library window share: the rows of its lists
// and the batch properties dialog it runs. Not for use outside the window.
#pragma once

#include "windows/library/batchwindow.h"

class wxListCtrl;

namespace tw::library {

// The picture of a list row (-1 when it cannot be read).
int RowImage(const wxListCtrl* list, long row);
// The catalogue item an items-list row points at.
CFileInfo* RowItem(const wxListCtrl* list, long row);
// How the batch properties dialog is run (see BatchWindow::SetBatchDialogRunner).
BatchWindow::BatchDialogRunner& DialogRunner();

} // namespace tw::library
