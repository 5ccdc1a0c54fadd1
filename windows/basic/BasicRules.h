// The rules of the Basic window that need no window: which product a toggle
// stands for, the twenty labels and file ids of a personality and the entries
// of the Personality menu. The Basic batch itself (its area and its ranges,
// its items, the `buttons` rows) is the model's: model/BasicBatch.h.
#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/string.h>

#include "model/BasicBatch.h"

namespace tw::basic {

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

// The personalities of the menu, from the picture rows in display order:
// one per region (the first picture row of each), at most `regionCount`.
std::vector<PictureRow> MenuPersonalities(const std::vector<PictureRow>& pictureRows, int regionCount);

// The first index (0..19) whose file id is `recid` (exact, case included);
// -1 for none and for an empty id.
int IndexOfRecid(const wxArrayString& recids, const wxString& recid);

} // namespace tw::basic
