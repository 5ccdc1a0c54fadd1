#include "Oracle.h"

#include <algorithm>
#include <cmath>

#include <wx/wxsqlite3.h>

#include "core/StringHelpers.h"
#include "engine/suggest/SuggestionQuery.h"

namespace tw::test {
namespace {

wxUniChar Fold(wxUniChar c, bool caseSensitive)
{
    const auto v = c.GetValue();
    if (!caseSensitive && v >= 'A' && v <= 'Z')
        return wxUniChar(v - 'A' + 'a');
    return c;
}

bool Same(wxUniChar a, wxUniChar b, bool caseSensitive)
{
    return Fold(a, caseSensitive) == Fold(b, caseSensitive);
}

std::vector<wxUniChar> Chars(const wxString& s)
{
    return std::vector<wxUniChar>(s.begin(), s.end());
}

// '%' any run of characters, '_' any one character.
bool Glob(const std::vector<wxUniChar>& t, size_t ti, const std::vector<wxUniChar>& p, size_t pi, bool cs)
{
    while (pi < p.size()) {
        if (p[pi] == '%') {
            for (size_t k = ti; k <= t.size(); ++k)
                if (Glob(t, k, p, pi + 1, cs))
                    return true;
            return false;
        }
        if (ti >= t.size())
            return false;
        if (p[pi] != '_' && !Same(t[ti], p[pi], cs))
            return false;
        ++ti;
        ++pi;
    }
    return ti == t.size();
}

// Letter case folded for the ASCII letters only, as the database does.
wxString FoldText(const wxString& s, bool caseSensitive)
{
    if (caseSensitive)
        return s;
    wxString out;
    out.reserve(s.length());
    for (wxUniChar c : s)
        out += Fold(c, false);
    return out;
}

class Matcher
{
public:
    explicit Matcher(const OracleRules& r) : m_r(r) {}

    // A fixed text anywhere in the subject / at its start.
    bool Has(const wxString& subject, const wxString& fixed) const
    {
        return FoldText(subject, m_r.caseSensitive).find(FoldText(fixed, m_r.caseSensitive)) != wxString::npos;
    }
    bool StartsWith(const wxString& subject, const wxString& fixed) const
    {
        return FoldText(subject, m_r.caseSensitive).StartsWith(FoldText(fixed, m_r.caseSensitive));
    }
    // A value from a table anywhere in the subject / at its start.
    bool HasValue(const wxString& subject, const wxString& value) const
    {
        if (m_r.wildcards)
            return Glob(Chars(subject), 0, Chars("%" + value + "%"), 0, m_r.caseSensitive);
        return Has(subject, value);
    }
    bool StartsWithValue(const wxString& subject, const wxString& value) const
    {
        if (m_r.wildcards)
            return Glob(Chars(subject), 0, Chars(value + "%"), 0, m_r.caseSensitive);
        return StartsWith(subject, value);
    }

private:
    const OracleRules& m_r;
};

double Round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}

// The content box around the home, longitudes relative to the home.
class Box
{
public:
    Box(const HomePosition& h, const OracleRules& r) : m_r(r)
    {
        m_x = Round2(-h.lon);
        m_half = Round2(h.width * 0.5);
        m_nhalf = Round2(-(h.width * 0.5));
        m_south = Round2(std::max(-90.0, h.lat - 0.5 * h.width));
        m_north = Round2(std::min(90.0, h.lat + 0.5 * h.width));
    }
    bool Holds(const OracleProduct& p) const
    {
        const double lon = m_r.westNegative && p.lon >= 180.0 ? p.lon - 360.0 : p.lon;
        double t = lon + m_x;
        if (m_r.wrapDateLine && t > 180.0)
            t = t - 360.0;
        t = Round2(t);
        const double bottom = p.lat - p.height / 2, top = p.lat + p.height / 2;
        const double left = t - p.width / 2, right = t + p.width / 2;
        if (m_r.strictEdges)
            return bottom < m_north && top > m_south && right > m_nhalf && left < m_half;
        return bottom <= m_north && top >= m_south && right >= m_nhalf && left <= m_half;
    }

private:
    const OracleRules& m_r;
    double m_x, m_half, m_nhalf, m_south, m_north;
};

bool OneOf(const wxString& v, std::initializer_list<const char*> set)
{
    for (const char* s : set)
        if (v == s)
            return true;
    return false;
}

} // namespace

BatchRows Expected(const OracleWorld& world, const DLPrefs& p, const HomePosition& home, bool race,
                   const std::set<wxString>& unchecked, const OracleRules& rules)
{
    const Matcher m(rules);
    const Box box(home, rules);
    // The forecast period index 0 to 6 (1 to 7 days); beyond it, the nearest end.
    const wxString days = wxString::Format("%dday", std::min(std::max(p.GRIB_Days, 0), 6) + 1);
    const wxString tag = p.WizPrefs_GRIBRes ? "" : "25";

    // Zones of the wanted kinds.
    std::vector<wxString> titleZones;
    std::set<wxString> highSeas;
    for (const OracleZone& z : world.zones) {
        if (!z.selected)
            continue;
        const bool wanted = (z.map == "Coastal" && p.WxForecast_Coastal) ||
                            (z.map == "Offshore" && p.WxForecast_Offshore) ||
                            (z.map == "HighSeas" && p.WxForecast_HighSeas) ||
                            (z.map == "MetArea" && p.WxForecast_MetArea);
        if (!wanted)
            continue;
        if (z.map == "HighSeas" || z.map == "MetArea")
            highSeas.insert(z.zcode);
        else if (!z.zcode.empty())
            titleZones.push_back(z.zcode);
    }
    std::vector<wxString> stations;
    for (const auto& [id, selected] : world.buoys)
        if (selected && !id.empty())
            stations.push_back(id);
    wxString city;
    if (p.Satellite_Radar) {
        auto it = world.cities.find(p.Satellite_CityRecID);
        if (it != world.cities.end())
            city = it->second;
    }

    std::set<wxString> found;
    for (const OracleProduct& x : world.products) {
        bool take = false;
        // GRIB files by name.
        if (m.StartsWith(x.category, "GRIB"))
            for (const SuggestionGribPattern& g : SuggestionGribPatterns()) {
                if (!(p.*(g.group)) || (g.model && !(p.*(g.model))))
                    continue;
                const wxString pattern = g.param ? wxString(g.prefix) + tag + g.param + days : wxString(g.prefix) + days;
                if (m.Has(x.path, pattern) && (!g.located || !rules.locateEuropeanModel || box.Holds(x)))
                    take = true;
            }
        const bool inBox = box.Holds(x);
        if (p.WizPrefs_IncludeAnimations && x.category == "Animation" && inBox)
            take = true;
        if (x.category == "Weather Charts" && inBox &&
            ((p.WxChart_SurfaceAnalysis && x.chartType == "Surface Analysis") ||
             (p.WxChart_500mb && x.chartType == "500 mb") || (p.WxChart_Wind && x.chartType == "Wind") ||
             (p.WxChart_SeaState && x.chartType == "Sea State") ||
             (p.WxChart_WindWave && x.chartType == "Wind Wave") ||
             (p.WxChart_CycloneAreas && x.chartType == "Cyclone")))
            take = true;
        // Text forecasts.
        if ((p.WxForecast_BuoyWindWave && x.fileId == "bw1") || (p.WxForecast_BuoyMet && x.fileId == "bw4") ||
            (p.WxForecast_DalenMorrowBahamas && x.fileId == "ps110") ||
            (p.WxForecast_DalenMorrowCaribbean && x.fileId == "ps113"))
            take = true;
        for (const wxString& code : titleZones)
            if (m.StartsWithValue(x.title, code))
                take = true;
        if (p.WxForecast_Canadian && x.category == "Text" && x.source == "ENVCAN" && inBox)
            take = true;
        // Satellite and radar images.
        const bool recent = m.Has(x.title, "Most Recent");
        if (x.category == "Satellite Imagery" && recent && inBox &&
            ((p.Satellite_Infrared && x.chartType == "Infrared") || (p.Satellite_Visible && x.chartType == "Visible") ||
             (p.Satellite_WaterVapor && x.chartType == "Water Vapor") ||
             (p.Satellite_WeatherOverImage &&
              OneOf(x.chartType, {"Image with Chart-Surface Analysis", "Image with Chart-Wind Wave"}))))
            take = true;
        if (!city.empty() && recent && m.HasValue(x.title, city))
            take = true;
        // Buoys.
        if (x.category == "Buoy")
            for (const wxString& id : stations)
                if (m.HasValue(x.title, id))
                    take = true;
        // Ocean data.
        if (inBox) {
            const bool colour = p.WizPrefs_Background;
            if ((race && p.OceanData_PositionReports && x.category == "Race") ||
                (p.OceanData_OceanData_Terrafin && x.category == "Terrafin" && x.chartType == "Current Velocity") ||
                (p.OceanData_NavyChartsGulfStream && x.category == "Ocean Charts" &&
                 (colour ? OneOf(x.fileId, {"oc30a", "oc31a"}) : OneOf(x.fileId, {"oc36", "oc884"}))) ||
                (p.OceanData_MarisolVennetGulfStrea && x.category == "PRO Services" &&
                 (colour ? OneOf(x.fileId, {"ps2", "ps12", "ps4", "ps8"}) : OneOf(x.fileId, {"ps1", "ps11", "ps3", "ps7"}))) ||
                (p.OceanData_Ice && x.category == "Ice") || (p.OceanData_Tides && x.category == "Tides"))
                take = true;
            // Fishing data.
            if ((p.FishingData_SurfaceTemperature && p.WizPrefs_OFD_SurfaceTemp_Terrafin && x.category == "Terrafin" &&
                 m.Has(x.chartType, "SST")) ||
                (p.FishingData_SurfaceHeight && p.WizPrefs_OFD_SurfaceHeight_Terrafin && x.category == "Terrafin" &&
                 x.chartType == "SSH Anomaly") ||
                (p.FishingData_Color && x.category == "Terrafin" && x.chartType == "Chlorophyll") ||
                (p.FishingData_Prices && x.category == "Ocean Charts" &&
                 OneOf(x.chartType, {"Catch Journals", "Fish Prices"})))
                take = true;
        }
        if (take && !x.fileId.empty())
            found.insert(x.fileId);
    }

    // Files added by name.
    std::vector<wxString> fixed;
    for (const auto& [zone, id] : world.highSeasFiles)
        if (highSeas.count(zone))
            fixed.push_back(id);
    const wxString hl = p.WizPrefs_GRIBRes ? "h" : "l";
    auto add = [&](bool flag, const wxString& id) {
        if (flag)
            fixed.push_back(id);
    };
    const bool currents = p.OceanData_GRIBSurfaceCurrents;
    add(currents && p.WizPrefs_OFD_SurfaceCurrents_NOAA, "hycomg005" + hl);
    add(currents && p.WizPrefs_OFD_SurfaceCurrents_Miami, "glbhycom001");
    add(currents && p.WizPrefs_OFD_SurfaceCurrents_GLBOCN, "glbocng005a");
    const bool sst = p.FishingData_SurfaceTemperature, ssh = p.FishingData_SurfaceHeight;
    add(sst && p.WizPrefs_OFD_SurfaceTemp_NOAA, "hycomg009" + hl);
    add(sst && p.WizPrefs_OFD_SurfaceTemp_Miami, "glbhycom003");
    add(sst && p.WizPrefs_OFD_SurfaceTemp_GLBOCN, "glbocng007a");
    add(sst && p.WizPrefs_OFD_SurfaceTemp_GHRSST, "nlomg400a");
    add(ssh && p.WizPrefs_OFD_SurfaceHeight_NOAA, "hycomg006" + hl);
    add(ssh && p.WizPrefs_OFD_SurfaceHeight_Miami, "glbhycom005");
    add(ssh && p.WizPrefs_OFD_SurfaceHeight_GLBOCN, "glbocng009a");
    add(ssh && p.WizPrefs_OFD_SurfaceHeight_GHRSST, "nlomg401a");
    add(p.FishingData_MixedLayerDepth, "hycomg008" + hl);
    add(p.FishingData_Salinity && p.WizPrefs_OFD_Salinity_NOAA, "hycomg007" + hl);
    add(p.FishingData_Salinity && p.WizPrefs_OFD_Salinity_Miami, "glbhycom004");

    BatchRows rows;
    auto status = [&](const wxString& id) { return unchecked.count(id) ? 0 : 1; };
    if (rules.once) {
        std::set<wxString> all = found;
        for (const wxString& id : fixed)
            if (!id.empty())
                all.insert(id);
        for (const wxString& id : all)
            rows.emplace_back(id, status(id));
    } else {
        for (const wxString& id : found)
            rows.emplace_back(id, status(id));
        for (const wxString& id : fixed)
            if (!id.empty())
                rows.emplace_back(id, status(id));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

OracleWorld LoadWorld(wxSQLite3Database& catalogue, wxSQLite3Database& marineZones)
{
    OracleWorld w;
    wxSQLite3ResultSet rs = catalogue.ExecuteQuery(
        "SELECT FileID, Category, ChartType, Title, Path, Source, Lat, Lon, Height, Width FROM products");
    while (rs.NextRow()) {
        OracleProduct x;
        x.fileId = rs.GetAsString(0);
        x.category = rs.GetAsString(1);
        x.chartType = rs.GetAsString(2);
        x.title = rs.GetAsString(3);
        x.path = rs.GetAsString(4);
        CDbTextEncoder::decode_db_string(x.path, false);
        x.source = rs.GetAsString(5);
        x.lat = rs.GetDouble(6);
        x.lon = rs.GetDouble(7);
        x.height = rs.GetDouble(8);
        x.width = rs.GetDouble(9);
        w.products.push_back(x);
    }
    wxSQLite3ResultSet hs = catalogue.ExecuteQuery("SELECT Zone, FileID FROM MetHighSeasZones");
    while (hs.NextRow())
        w.highSeasFiles.emplace_back(hs.GetAsString(0), hs.GetAsString(1));
    wxSQLite3ResultSet z = marineZones.ExecuteQuery("SELECT zcode, Map, selected FROM MZones");
    while (z.NextRow())
        w.zones.push_back({z.GetAsString(0), z.GetAsString(1), z.GetInt(2) == 1});
    wxSQLite3ResultSet b = marineZones.ExecuteQuery("SELECT StationID, selected FROM Buoys");
    while (b.NextRow())
        w.buoys.emplace_back(b.GetAsString(0), b.GetInt(1) == 1);
    wxSQLite3ResultSet c = marineZones.ExecuteQuery("SELECT ID, City FROM RadarCities");
    while (c.NextRow())
        w.cities.emplace(c.GetInt(0), c.GetAsString(1));
    return w;
}

BatchRows ReadBatch(wxSQLite3Database& user, int batchId)
{
    BatchRows rows;
    wxSQLite3ResultSet rs = user.ExecuteQuery(
        wxString::Format("SELECT productID, status FROM batch_items WHERE batchID = %d", batchId));
    while (rs.NextRow())
        rows.emplace_back(rs.GetAsString(0), rs.GetInt(1));
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace tw::test
