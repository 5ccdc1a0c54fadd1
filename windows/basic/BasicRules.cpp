#include "windows/basic/BasicRules.h"

#include <algorithm>
#include <set>

namespace tw::basic {

const wxString kRaceDisabledId = wxS("RaceDisable");
const wxString kRaceDisabledLabel = wxS("Disabled for Race Mode");

int ProductIndex(int page, int position)
{
    if (position < 0 || position >= kButtonsPerPage || page < 1 || page > kPageCount)
        return -1;
    return (page - 1) * kButtonsPerPage + position;
}

ButtonSet MakeButtons(const std::vector<ButtonRow>& rows, bool race)
{
    ButtonSet set;
    for (const ButtonRow& row : rows) {
        if (set.rowsRead >= kButtonCount)
            break;
        if (row.raceDisable && race) {
            set.texts.Add(kRaceDisabledLabel);
            set.recids.Add(kRaceDisabledId);
        } else {
            set.texts.Add(row.text);
            set.recids.Add(row.recid);
        }
        ++set.rowsRead;
    }
    while (set.texts.size() < static_cast<size_t>(kButtonCount)) {
        set.texts.Add(wxString());
        set.recids.Add(wxString());
    }
    return set;
}

std::vector<PictureRow> MenuPersonalities(const std::vector<PictureRow>& pictureRows, int regionCount)
{
    std::vector<PictureRow> entries;
    std::set<wxString> seen;
    for (const PictureRow& row : pictureRows) {
        if (static_cast<int>(entries.size()) >= regionCount)
            break;
        if (!seen.insert(row.region).second)
            continue;
        entries.push_back(row);
    }
    return entries;
}

int IndexOfRecid(const wxArrayString& recids, const wxString& recid)
{
    if (recid.empty())
        return -1;
    const int n = std::min(static_cast<int>(recids.size()), kButtonCount);
    for (int i = 0; i < n; ++i)
        if (recids[i] == recid)
            return i;
    return -1;
}

} // namespace tw::basic
