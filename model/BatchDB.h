// The batch store: batches and their items in the user database
// (`batches`, `batch_items`). One process-wide object, created on first use,
// holding a non-owning handle of the user database that the main windows set
// before their first call. Every operation runs its statements at once and
// keeps nothing between calls.
#pragma once

#include <wx/object.h>
#include <wx/datetime.h>
#include <wx/string.h>

#include "model/Batch.h"

class CCatalogueIndex;
class wxSQLite3Database;
class wxSQLite3ResultSet;

class CBatchFolder : public wxObject
{
public:
    // The store, created on the first call and never destroyed.
    static CBatchFolder* Instance();

    // The user database the store works on (not owned). Callers may run their
    // own statements on it or wrap a run of store calls in a transaction.
    void SetDatabase(wxSQLite3Database* db) { m_db = db; }
    wxSQLite3Database* GetDatabase() const { return m_db; }

    // The catalogue the items of stored batches are looked up in (not owned;
    // the application object sets its own). Without one a batch reads with
    // no items.
    void SetCatalogue(CCatalogueIndex* catalogue) { m_catalogue = catalogue; }
    CCatalogueIndex* GetCatalogue() const { return m_catalogue; }

    // Selection modes of GetActiveFileList.
    enum {
        kBasicMode = 0,    // batch 1, only when enabled
        kWizardMode = 1,   // batch 2, enabled or not
        kLibraryMode = 2,  // every enabled batch above 1
    };

    // Appends the selected items of the batches chosen by `mode` to `list`,
    // batch by batch in ascending id. The batches' combined GRIB files are
    // left alone: the processing after a transfer rebuilds one only when all
    // of its GRIB files arrived, so a failed transfer does not cost the user
    // the last good one.
    void GetActiveFileList(CActiveFileList& list, int mode);

    // The batch with that id and its items found in the catalogue; a missing
    // row gives empty texts, zero numbers, a creation date of 0 seconds and
    // the requested id.
    CBatch GetBatchByIndex(int id);
    // A batch made from the current row of a "SELECT * FROM batches" query,
    // with `id` as its id and its items read from the database.
    CBatch ResultSetToBatch(wxSQLite3ResultSet& set, int id);

    // Stores a batch: a new row when `id` is negative, else updates row `id`
    // (title, folder and creation date stay as stored; the description too
    // when the batch's title is empty). The batch's item rows are replaced by
    // its items, all in one transaction. Puts the row's id and creation date
    // into the batch and returns the row id; -1 when the row does not exist or
    // the database failed on the row (logged). A failure on an item row throws
    // wxSQLite3Exception. Either way nothing of the batch is stored.
    int AddBatch(CBatch* batch, int id);
    // Why the last AddBatch that returned -1 failed.
    const wxString& LastAddError() const { return m_lastAddError; }
    // Writes every setting of the batch except its creation date into row `id`;
    // items are not touched.
    void SetBatchByIndex(int id, CBatch* batch);

    void AddItemToBatch(int batchID, const wxString& fileID, int status);
    void DeleteBatchItem(int batchID, const wxString& fileID);
    // With the id "ALL_BATCH_ITEMS" (exactly) every item of the batch.
    void SetBatchItemStatus(int status, int batchID, const wxString& fileID);
    bool ItemIsInBatch(int batchID, const wxString& fileID);
    void DeleteUnselectedBatchItems(int batchID);
    // Deletes the batch row and its item rows together. Reserved ids are not
    // protected here; that is the callers' task.
    void DeleteBatch(int id);
    void SetBatchStatus(int id, int status);
    // Flips the stored status (a missing row counts as 0) and returns the new one.
    int ToggleBatchEnable(int id);
    // With keepExisting and a non-empty stored folder returns that folder and
    // writes nothing; otherwise stores `folder` and returns it.
    wxString SetBatchTransferFolder(bool keepExisting, int id, const wxString& folder);

    ~CBatchFolder() override;

private:
    CBatchFolder() = default;
    CBatchFolder(const CBatchFolder&) = delete;
    CBatchFolder& operator=(const CBatchFolder&) = delete;

    wxSQLite3Database& Db() const;
    void ReadItems(CBatch& batch, int id);

    wxSQLite3Database* m_db = nullptr;
    CCatalogueIndex* m_catalogue = nullptr;
    wxString m_lastAddError;
};

// Text and number pieces of the store's statements: a text with every
// apostrophe doubled (to be put between single quotes), an integer, and a real
// written with six decimals and a point whatever the user's locale (a value
// that is not finite is written as 0).
wxString SqlEscape(const wxString& text);
wxString SqlInt(long value);
wxString SqlReal(double value);

// A batch's creation date as whole seconds since 1970-01-01 00:00 UTC, the
// form the store and the batch text file keep: -1 for an invalid date, one
// before 1970, or one too large for 32 bits.
long long StoredSeconds(const wxDateTime& date);
