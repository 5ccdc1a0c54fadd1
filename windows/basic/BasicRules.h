// The rules of the Basic window that need no window: which product a toggle
// stands for, the twenty labels and file ids of a personality, the entries of
// the Personality menu, and the ranges of the Basic batch's area.
#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

namespace tw::basic {

inline constexpr int kButtonCount = 20;      // products of a personality
inline constexpr int kButtonsPerPage = 10;   // toggles on the window
inline constexpr int kPageCount = 2;

// The file id and label a row barred in the race edition gets.
extern const wxString kRaceDisabledId;       // "RaceDisable"
extern const wxString kRaceDisabledLabel;    // "Disabled for Race Mode"

// The product index (0..19) of toggle `position` (0..9) on `page` (1 or 2);
// -1 for a position or page outside those ranges.
int ProductIndex(int page, int position);
// The page that is not `page`.
inline int OtherPage(int page) { return page == 1 ? 2 : 1; }

// One row of the `buttons` table, as the personality's buttons use it.
struct ButtonRow {
    wxString text;        // ButtonText
    wxString recid;       // FileID of the catalogue item
    bool raceDisable = false;
};

// The labels and file ids of a personality's buttons.
struct ButtonSet {
    wxArrayString texts;   // always kButtonCount entries
    wxArrayString recids;  // always kButtonCount entries; empty: no product
    int rowsRead = 0;      // rows taken from `rows` (at most kButtonCount)
    bool Complete() const { return rowsRead == kButtonCount; }
};

// The buttons made from a personality's rows in display order: the first
// twenty rows, a row barred in the race edition shown as such when `race`,
// and empty entries after the last row read.
ButtonSet MakeButtons(const std::vector<ButtonRow>& rows, bool race);

// A row of the `buttons` table that carries a picture: it stands for its
// personality in the menu.
struct PictureRow {
    wxString region;
    wxString graphic;
};

// The personalities of the menu, from the picture rows in display order:
// one per region (the first picture row of each), at most `regionCount`.
std::vector<PictureRow> MenuPersonalities(const std::vector<PictureRow>& pictureRows, int regionCount);

// The first index (0..19) whose file id is `recid` (exact, case included);
// -1 for none and for an empty id.
int IndexOfRecid(const wxArrayString& recids, const wxString& recid);

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

} // namespace tw::basic
