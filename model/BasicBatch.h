// The Basic window's batch: row 1 of the user database's `batches` (its
// area as lat, lon and width, its personality as the description) and its
// items in `batch_items`; and the rows of the catalogue's `buttons` table a
// personality's products and the Personality menu come from.
//
// Every call runs its statements at once and keeps nothing between calls.
// A database error propagates as wxSQLite3Exception; a null database reads
// and stores nothing.
#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

class wxSQLite3Database;

namespace tw::basic {

inline constexpr int kButtonCount = 20;      // products of a personality

// The Basic batch's area: centre latitude and longitude in decimal degrees
// (north and east positive) and the box side in degrees.
inline constexpr double kMinWidth = 1.0;
inline constexpr double kMaxWidth = 80.0;
inline constexpr double kDefaultLat = 48.0;
inline constexpr double kDefaultLon = -122.0;
inline constexpr double kDefaultWidth = 10.0;

// Width 1..80, longitude -180..180, latitude -90..90, limits included.
bool AreaInRange(double lat, double lon, double width);
// A stored area made usable: each value outside its range (or not a number)
// becomes its default, the others stay. True when something changed.
bool RepairArea(double& lat, double& lon, double& width);
// A box side brought into 1..80 (the nearest limit; not a number gives the
// default width).
double LimitWidth(double width);

// --- batch row 1 of the user database

// The batch's personality and area as stored: an empty description for a
// NULL one, the default for a NULL number.
struct BasicBatchRow {
    wxString description;
    double lat = kDefaultLat;
    double lon = kDefaultLon;
    double width = kDefaultWidth;
};
// False, `row` untouched, when the row is missing.
bool ReadBasicBatch(wxSQLite3Database* db, BasicBatchRow& row);

// The stored area; false, the outputs untouched, when the row is missing.
bool ReadBasicArea(wxSQLite3Database* db, double& lat, double& lon, int& width);
// Refuses (false) a width outside 1..80, a longitude outside -180..180 or a
// latitude outside -90..90; otherwise stores the area and returns whether
// the row was there.
bool StoreBasicArea(wxSQLite3Database* db, double lat, double lon, int width);
// Stores the area as it is, as reals (the caller keeps it in range); false
// without a database.
bool WriteBasicArea(wxSQLite3Database* db, double lat, double lon, double width);

// Makes `region` the batch's personality: its items go and the description
// takes the name, together or not at all.
void SwitchBasicPersonality(wxSQLite3Database* db, const wxString& region);
// The file ids of the batch's items in row order (a product stored twice
// comes twice).
wxArrayString BasicItemIds(wxSQLite3Database* db);

// --- the catalogue's `buttons` table

// One row of the `buttons` table, as the personality's buttons use it.
struct ButtonRow {
    wxString text;        // ButtonText
    wxString recid;       // FileID of the catalogue item
    bool raceDisable = false;
};

// A row of the `buttons` table that carries a picture: it stands for its
// personality in the menu.
struct PictureRow {
    wxString region;
    wxString graphic;
};

// The first twenty rows of `region` in display order.
std::vector<ButtonRow> ReadPersonalityButtons(wxSQLite3Database* catalogue, const wxString& region);
// How many regions the table names.
int ReadPersonalityCount(wxSQLite3Database* catalogue);
// The rows with a picture, in display order.
std::vector<PictureRow> ReadPictureRows(wxSQLite3Database* catalogue);

} // namespace tw::basic
