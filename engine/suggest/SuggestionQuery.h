// The statements of the suggestion engine, built as text from a snapshot of
// the content preferences and the home position. Nothing here touches a
// database or a window: the engine (SuggestionRun) runs the lookups and
// hands their results back in.
//
// Every sub-query selects the FileID of catalogue items; the final query
// joins the wanted ones with UNION. Values read from the marine-zones
// tables (zone codes, station ids, the radar city) are put between
// apostrophes with each apostrophe doubled; inside a LIKE pattern their
// wildcards are escaped, and then (only then) the pattern carries
// ESCAPE '\', so that ordinary values give the same text as always.
#pragma once

#include <functional>
#include <vector>

#include <wx/string.h>

#include "core/DownloadPreferences.h"
#include "core/HomePosition.h"

// One file-name pattern of the GRIB preferences. A group flag includes the
// GRIB sub-query; each set model flag of the group adds its pattern (a null
// model flag: the group's only pattern, always added). Regional patterns put
// the resolution tag and a parameter between the prefix and the day count.
struct SuggestionGribPattern {
    bool DLPrefs::*group;
    bool DLPrefs::*model;
    const char* prefix;
    const char* param;   // null: not regional
    bool located;        // limited to items that overlap the content box
};

// Every GRIB pattern, group by group, in the order they are written.
const std::vector<SuggestionGribPattern>& SuggestionGribPatterns();

// One selected forecast zone as the zone query returns it.
struct SuggestionZone {
    wxString zcode;
    wxString map;   // 'Coastal', 'Offshore', 'HighSeas' or 'MetArea'
};

// One sub-query: whether it takes part in the final query, and its text
// (also logged when it does not).
struct SuggestionSubQuery {
    bool included = false;
    wxString text;
};

// Everything one run selects by, once the lookups are done.
struct SuggestionQueries {
    wxString locationClause;
    wxString transLonUpdate;
    wxString zoneQuery;          // empty when no zone kind is wanted
    std::vector<wxString> highSeasZones;
    wxString metHighSeasQuery;   // empty when no high-seas zone is selected
    wxString radarCityQuery;     // empty when radar images are not wanted
    wxString buoyQuery;
    SuggestionSubQuery grib, animations, charts, text, satellite, radar, buoys, ocean, fishing;
    wxString finalQuery;
    // Files added without a catalogue query, in order: those of the selected
    // high-seas zones, then the ocean and fishing model files.
    std::vector<wxString> hardCodedFileIds;
};

class CSuggestionQuery
{
public:
    // The stored form of a plain text as a LIKE pattern fragment (catalogue
    // text encoding, then escaped for LIKE with the backslash).
    using PatternEncoder = std::function<wxString(const wxString&)>;
    static PatternEncoder DefaultEncoder();

    // Zone codes, station ids and radar city names longer than this are
    // passed over.
    static constexpr size_t kMaxTableValueLength = 256;

    // prefs is copied; race: the race edition is in force.
    CSuggestionQuery(const DLPrefs& prefs, const HomePosition& home, bool race,
                     PatternEncoder encoder = DefaultEncoder());

    const DLPrefs& Prefs() const { return m_prefs; }
    const HomePosition& Home() const { return m_home; }

    // Texts of the set-up: limits and the relative-longitude rewrite.
    wxString LocationClause() const;
    wxString TransLonUpdate() const;
    // The same rewrite, writing only the rows whose value changes (the
    // stored column ends up the same).
    wxString TransLonUpdateChanged() const;
    wxString DayCount() const;       // N: GRIB/Days + 1, GRIB/Days taken as 0 to 6
    wxString ResolutionTag() const;  // R: "" high resolution, "25" low

    SuggestionSubQuery Grib() const;
    SuggestionSubQuery Animations() const;
    SuggestionSubQuery Charts() const;

    // The selected zones of the wanted kinds; empty when no kind is wanted
    // (then the zone table is not read).
    wxString ZoneQuery() const;
    SuggestionSubQuery Text(const std::vector<SuggestionZone>& zones) const;
    static std::vector<wxString> HighSeasZones(const std::vector<SuggestionZone>& zones);
    static wxString MetHighSeasQuery(const std::vector<wxString>& highSeasZones);

    SuggestionSubQuery Satellite() const;
    // Empty when radar images are not wanted.
    wxString RadarCityQuery() const;
    // cityFound: the lookup returned a row, whose City is city.
    SuggestionSubQuery Radar(bool cityFound, const wxString& city) const;

    static wxString BuoyQuery();
    SuggestionSubQuery Buoys(const std::vector<wxString>& stationIds) const;

    // Both append their fixed model files to hardCoded.
    SuggestionSubQuery Ocean(std::vector<wxString>& hardCoded) const;
    SuggestionSubQuery Fishing(std::vector<wxString>& hardCoded) const;

    // The included sub-queries of q joined in their fixed order.
    static wxString FinalQuery(const SuggestionQueries& q);
    // The rows of the final query in one pass over the table: the included
    // sub-queries' conditions joined with OR, after the final query's empty
    // first part with UNION, which sorts them and drops repeats as the final
    // query does. The final query reads the table once per sub-query. Of
    // ids the column counts as equal that are not the same text, the one
    // pass may keep another one: the catalogue check admits only a FileID
    // declared as text compared by its bytes.
    static wxString ScanQuery(const SuggestionQueries& q);

    // Every statement of a run, given what the lookups found.
    SuggestionQueries Build(const std::vector<SuggestionZone>& zones, const std::vector<wxString>& highSeasFileIds,
                            bool cityFound, const wxString& city, const std::vector<wxString>& stationIds) const;

    // Batch statements.
    static wxString UncheckedQuery(int batchId);
    static wxString DeleteBatchItems(int batchId);

    // "<column> LIKE '<before><value><after>'" for a value from a table: its
    // apostrophes doubled and, when it holds '%', '_' or '\', those escaped
    // and " ESCAPE '\'" added.
    static wxString LikeValue(const wxString& column, const wxString& before, const wxString& value,
                              const wxString& after);

private:
    wxString Number(double value) const;

    DLPrefs m_prefs;
    HomePosition m_home;
    bool m_race;
    PatternEncoder m_encoder;
};
