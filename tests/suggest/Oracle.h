// A plain implementation of the suggestion rules, written from the rules
// themselves and sharing no code with the engine: it walks every catalogue
// row in memory and decides with string and number comparisons. The tests
// compare its answer with the batch the engine writes.
//
// OracleRules switches single rules to a wrong variant, so that a test can
// show that some catalogue tells the right rule from the wrong one.
#pragma once

#include <map>
#include <set>
#include <utility>
#include <vector>

#include <wx/string.h>

#include "core/DownloadPreferences.h"
#include "core/HomePosition.h"

class wxSQLite3Database;

namespace tw::test {

struct OracleProduct {
    wxString fileId, category, chartType, title, path, source;   // path in plain text
    double lat = 0, lon = 0, height = 0, width = 0;
};

struct OracleZone {
    wxString zcode, map;
    bool selected = false;
};

struct OracleWorld {
    std::vector<OracleProduct> products;
    std::vector<std::pair<wxString, wxString>> highSeasFiles;   // Zone, FileID
    std::vector<OracleZone> zones;
    std::vector<std::pair<wxString, bool>> buoys;               // StationID, selected
    std::map<long, wxString> cities;                            // ID, City
};

struct OracleRules {
    bool caseSensitive = false;     // wrong: letter case must match
    bool wildcards = false;         // wrong: '%' and '_' in table values act as wildcards
    bool wrapDateLine = true;       // wrong when false: relative longitudes are not reduced by 360
    bool westNegative = false;      // wrong: catalogue longitudes taken as west-negative [-180, 180)
    bool strictEdges = true;        // wrong when false: touching the box counts
    bool locateEuropeanModel = true;  // wrong when false: the European wave-model files ignore the box
    bool once = true;               // wrong when false: an item found twice is listed twice
};

using BatchRows = std::vector<std::pair<wxString, int>>;   // productID, status; sorted

BatchRows Expected(const OracleWorld& world, const DLPrefs& prefs, const HomePosition& home, bool race,
                   const std::set<wxString>& unchecked, const OracleRules& rules = OracleRules());

// The world as the three databases hold it (paths decoded).
OracleWorld LoadWorld(wxSQLite3Database& catalogue, wxSQLite3Database& marineZones);

// Batch 2 as stored, sorted.
BatchRows ReadBatch(wxSQLite3Database& user, int batchId = 2);

} // namespace tw::test
