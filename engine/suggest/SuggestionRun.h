// The suggestion engine's run: rewrites the home-relative longitudes of the
// catalogue, reads the selected zones, buoys and radar city, runs the
// statements of CSuggestionQuery and replaces the items of the Wizard batch
// (batch 2) with what they find, keeping the unchecked state of items the
// user had unchecked.
//
// It works on the database handles it is given and reports only through
// its sinks (log text, message boxes, the Delete-key probe), so it knows
// nothing of windows or of the application object.
//
// The batch is rewritten in one transaction, from reading the unchecked
// items to the commit: on any database error the transaction is rolled
// back, one box shows the database's message and the batch stays exactly
// as it was. A failure to rewrite the longitudes or to read the zones stops
// the run before the batch is touched. The lookups of the high-seas files,
// the radar city and the buoys show their error and go on without what
// they could not read. No item is added twice.
#pragma once

#include <functional>
#include <vector>

#include <wx/string.h>

#include "core/DownloadPreferences.h"
#include "core/HomePosition.h"
#include "engine/suggest/SuggestionQuery.h"

class wxSQLite3Database;

struct SuggestionDatabases {
    wxSQLite3Database* catalogue = nullptr;    // zir.db: products, MetHighSeasZones
    wxSQLite3Database* user = nullptr;         // zir_user.db: batch_items
    wxSQLite3Database* marineZones = nullptr;  // MarineZones.db; may be null (no zones, buoys or city then)
};

struct SuggestionSinks {
    // Log text, appended as it comes; null: no log.
    std::function<void(const wxString&)> log;
    // A message box with the caption "Message" and an OK button; returns once
    // it is closed. Null: not shown.
    std::function<void(const wxString&)> messageBox;
    // Whether the Delete key is down; asked before each item is added. Null:
    // never.
    std::function<bool()> deleteKeyDown;
};

// How the home-relative longitudes are rewritten: every row, or only the
// rows whose value changes (same column afterwards, fewer writes).
enum class TransLonRewrite { AllRows, ChangedRows };

struct SuggestionOutcome {
    bool committed = false;   // batch 2 was replaced
    bool aborted = false;     // the Delete key ended the additions early
    int added = 0;            // items in the new batch
    wxString error;           // the database's message when the run stopped or was rolled back
    SuggestionQueries queries;
    // Time spent, in seconds (for measurements).
    double transLonSeconds = 0, lookupSeconds = 0, finalQuerySeconds = 0, insertSeconds = 0;
};

class CSuggestionRun
{
public:
    static const int kWizardBatch = 2;

    CSuggestionRun(const SuggestionDatabases& dbs, SuggestionSinks sinks);

    void SetTransLonRewrite(TransLonRewrite mode) { m_rewrite = mode; }

    // One run with these preferences, this home (latitude, longitude, box
    // side) and edition.
    SuggestionOutcome Run(const DLPrefs& prefs, const HomePosition& home, bool race,
                          CSuggestionQuery::PatternEncoder encoder = CSuggestionQuery::DefaultEncoder());

private:
    void Log(const wxString& text) const;
    void Box(const wxString& text) const;
    bool DeleteKeyDown() const;
    void Failed(const wxString& label, const wxString& message) const;

    SuggestionDatabases m_dbs;
    SuggestionSinks m_sinks;
    TransLonRewrite m_rewrite = TransLonRewrite::ChangedRows;
};
