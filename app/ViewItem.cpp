// Opening the local copy of a batch item on request (a double click in one
// of the main windows' lists), the way the after-download processing opens a
// freshly downloaded file.
#include "app/tidewrightapp.h"

#include <wx/filename.h>

#include "model/Batch.h"
#include "model/BatchDB.h"
#include "model/PostProcess.h"
#include "platform/UiHooks.h"

void TidewrightApp::ViewItemGlobal(wxString id, int batchId)
{
    CFileInfo item;
    if (!FindFileInfo(item, id)) {
        tw::MessageBox(wxS("Cannot find in product list: ") + id, wxS("Error"), wxOK);
        return;
    }
    const CBatch batch = CBatchFolder::Instance()->GetBatchByIndex(batchId);
    CBatch lookup(batch);
    const wxString local = GetFilePath(&lookup, batch.info.folder, item.info.Path);

    auto exists = [](const wxString& path) { return !path.empty() && wxFileName::Exists(path, wxFILE_EXISTS_ANY); };
    const wxString gribViewer = GetIsobarionPath();
    const wxString chartViewer = GetWSPath();
    if (batch.info.runwexpg && CPostProcess::isGrib(local) && exists(gribViewer))
        CPostProcess::RunApp(gribViewer, 1, wxString(), wxString());
    else if (batch.info.runstat == 4 && (CPostProcess::isImage(local) || CPostProcess::isText(local))
             && exists(chartViewer))
        CPostProcess::RunApp(chartViewer, 1, wxString(), wxString());

    CPostProcess::RunAndBroadcast(batch, batch.info.folder, local);
}
