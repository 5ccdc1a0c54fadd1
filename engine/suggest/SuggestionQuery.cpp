#include "engine/suggest/SuggestionQuery.h"

#include <algorithm>

#include "core/Numbers.h"
#include "core/StringHelpers.h"
#include "model/BatchDB.h"

namespace {

// The groups in the order their patterns are written.
bool DLPrefs::* const kGribGroups[] = {
    &DLPrefs::GRIB_Wind,          &DLPrefs::GRIB_Waves,      &DLPrefs::GRIB_Swell,
    &DLPrefs::GRIB_SurfacePressure, &DLPrefs::GRIB_500mb,    &DLPrefs::GRIB_Precipitation,
    &DLPrefs::GRIB_CloudCover,    &DLPrefs::GRIB_LiftedIndex, &DLPrefs::GRIB_AirTemperature,
};

const wxString kSelect = wxS("SELECT FileID FROM Products WHERE ");

// A zone code, station id or radar city worth a term: not empty (that would
// match every title) and not longer than any real one (such a value comes
// from a damaged marine-zones file and would only make the statement fail).
bool UsableValue(const wxString& value)
{
    return !value.empty() && value.length() <= CSuggestionQuery::kMaxTableValueLength;
}

} // namespace

const std::vector<SuggestionGribPattern>& SuggestionGribPatterns()
{
    static const std::vector<SuggestionGribPattern> patterns = {
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_GFS, "=>avnwind.", nullptr, false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_NMG, "=>surfwind.", nullptr, false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_WW3, "=>wind.", nullptr, false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_WW3, "=>bwxeuwind.", nullptr, true},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_Med, "=>fxmed", "wind.", false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_Baltic, "=>fxbas", "wind.", false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_Barents, "=>fxbks", "wind.", false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_NorthSea, "=>fxnos", "wind.", false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_Polar, "=>fxpol", "wind.", false},
        {&DLPrefs::GRIB_Wind, &DLPrefs::WizPrefs_GRIB_Wind_Continent, "=>fxeur", "wind.", false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_NMG, "=>prwav.", nullptr, false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_WW3, "=>wave.", nullptr, false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_WW3, "=>bwxeuwave.", nullptr, true},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_Med, "=>fxmed", "wave.", false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_Baltic, "=>fxbas", "wave.", false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_Barents, "=>fxbks", "wave.", false},
        {&DLPrefs::GRIB_Waves, &DLPrefs::WizPrefs_GRIB_Wave_NorthSea, "=>fxnos", "wave.", false},
        {&DLPrefs::GRIB_Swell, nullptr, "=>swell.", nullptr, false},
        {&DLPrefs::GRIB_SurfacePressure, &DLPrefs::WizPrefs_GRIB_SurfacePressure_GFS, "avnprmsl.", nullptr, false},
        {&DLPrefs::GRIB_SurfacePressure, &DLPrefs::WizPrefs_GRIB_SurfacePressure_NMG, "=>prsml.", nullptr, false},
        {&DLPrefs::GRIB_SurfacePressure, &DLPrefs::WizPrefs_GRIB_SurfacePressure_Polar, "=>fxpol", "prmsl.", false},
        {&DLPrefs::GRIB_SurfacePressure, &DLPrefs::WizPrefs_GRIB_SurfacePressure_Continent, "=>fxeur", "prmsl.", false},
        {&DLPrefs::GRIB_500mb, &DLPrefs::WizPrefs_GRIB_500mb_GFS, "avnhgt500mb.", nullptr, false},
        {&DLPrefs::GRIB_500mb, &DLPrefs::WizPrefs_GRIB_500mb_NMG, "=>hgt500mb.", nullptr, false},
        {&DLPrefs::GRIB_500mb, &DLPrefs::WizPrefs_GRIB_500mb_Polar, "=>fxpol", "hgt500mb.", false},
        {&DLPrefs::GRIB_500mb, &DLPrefs::WizPrefs_GRIB_500mb_Continent, "=>fxeur", "hgt500mb.", false},
        {&DLPrefs::GRIB_Precipitation, &DLPrefs::WizPrefs_GRIB_Precipitation_GFS, "avnprcp.", nullptr, false},
        {&DLPrefs::GRIB_Precipitation, &DLPrefs::WizPrefs_GRIB_Precipitation_NMG, "=>prcp.", nullptr, false},
        {&DLPrefs::GRIB_Precipitation, &DLPrefs::WizPrefs_GRIB_Precipitation_Polar, "=>fxpol", "prcp.", false},
        {&DLPrefs::GRIB_Precipitation, &DLPrefs::WizPrefs_GRIB_Precipitation_Continent, "=>fxeur", "prcp.", false},
        {&DLPrefs::GRIB_CloudCover, &DLPrefs::WizPrefs_GRIB_CloudCover_GFS, "avncld.", nullptr, false},
        {&DLPrefs::GRIB_CloudCover, &DLPrefs::WizPrefs_GRIB_CloudCover_NMG, "=>cld.", nullptr, false},
        {&DLPrefs::GRIB_CloudCover, &DLPrefs::WizPrefs_GRIB_CloudCover_Polar, "=>fxpol", "ccc.", false},
        {&DLPrefs::GRIB_CloudCover, &DLPrefs::WizPrefs_GRIB_CloudCover_Continent, "=>fxeur", "ccc.", false},
        {&DLPrefs::GRIB_LiftedIndex, nullptr, "=>avn4lftx.", nullptr, false},
        {&DLPrefs::GRIB_AirTemperature, &DLPrefs::WizPrefs_GRIB_AirTemp_GFS, "avnairtemp.", nullptr, false},
        {&DLPrefs::GRIB_AirTemperature, &DLPrefs::WizPrefs_GRIB_AirTemp_NMG, "=>airtemp.", nullptr, false},
        {&DLPrefs::GRIB_AirTemperature, &DLPrefs::WizPrefs_GRIB_AirTemp_Polar, "=>fxpol", "airtemp.", false},
        {&DLPrefs::GRIB_AirTemperature, &DLPrefs::WizPrefs_GRIB_AirTemp_Continent, "=>fxeur", "airtemp.", false},
    };
    return patterns;
}

CSuggestionQuery::PatternEncoder CSuggestionQuery::DefaultEncoder()
{
    return [](const wxString& plain) { return CDbTextEncoder::encode_db_string(plain, true); };
}

CSuggestionQuery::CSuggestionQuery(const DLPrefs& prefs, const HomePosition& home, bool race,
                                   PatternEncoder encoder)
    : m_prefs(prefs), m_home(home), m_race(race), m_encoder(encoder ? std::move(encoder) : DefaultEncoder())
{
}

wxString CSuggestionQuery::Number(double value) const
{
    return tw::FormatFixed(value, 2);
}

wxString CSuggestionQuery::LikeValue(const wxString& column, const wxString& before, const wxString& value,
                                     const wxString& after)
{
    const bool wild = value.find_first_of(wxS("%_\\")) != wxString::npos;
    const wxString body = wild ? CDbTextEncoder::EscapeForLike(value) : SqlEscape(value);
    wxString out = column + wxS(" LIKE '") + before + body + after + wxS("'");
    if (wild)
        out += wxS(" ESCAPE '\\'");
    return out;
}

wxString CSuggestionQuery::LocationClause() const
{
    const double half = m_home.width * 0.5;
    const double south = std::max(-90.0, m_home.lat - 0.5 * m_home.width);
    const double north = std::min(90.0, m_home.lat + 0.5 * m_home.width);
    return wxS("((Lat-(Height/2))<") + Number(north) + wxS(") AND ((Lat+(Height/2))>") + Number(south) +
           wxS(") AND ((TransLon+(Width/2))>") + Number(-half) + wxS(") AND ((TransLon-(Width/2))<") +
           Number(half) + wxS(")");
}

namespace {
wxString TransLonValue(const wxString& x)
{
    return wxS("(CASE WHEN (Lon + ") + x + wxS(") > 180.0 THEN ROUND((Lon + ") + x +
           wxS(" - 360.0),2) ELSE ROUND((Lon + ") + x + wxS("),2) END)");
}
} // namespace

wxString CSuggestionQuery::TransLonUpdate() const
{
    return wxS("UPDATE products SET TransLon = ") + TransLonValue(Number(-m_home.lon));
}

wxString CSuggestionQuery::TransLonUpdateChanged() const
{
    const wxString value = TransLonValue(Number(-m_home.lon));
    return wxS("UPDATE products SET TransLon = ") + value + wxS(" WHERE TransLon IS NOT ") + value;
}

wxString CSuggestionQuery::DayCount() const
{
    // The forecast period index: 0 (1 day) to 6 (7 days).
    return wxString::Format("%d", std::clamp(m_prefs.GRIB_Days, 0, 6) + 1);
}

wxString CSuggestionQuery::ResolutionTag() const
{
    return m_prefs.WizPrefs_GRIBRes ? wxString() : wxString(wxS("25"));
}

SuggestionSubQuery CSuggestionQuery::Grib() const
{
    SuggestionSubQuery q;
    const wxString n = DayCount(), r = ResolutionTag();
    wxString cond = wxS("((Category LIKE 'GRIB%') AND ((1=0)");
    for (bool DLPrefs::*group : kGribGroups) {
        if (!(m_prefs.*group))
            continue;
        q.included = true;
        for (const SuggestionGribPattern& p : SuggestionGribPatterns()) {
            if (p.group != group || (p.model && !(m_prefs.*(p.model))))
                continue;
            wxString plain = wxString::FromAscii(p.prefix);
            if (p.param)
                plain += r + wxString::FromAscii(p.param);
            plain += n + wxS("day");
            const wxString like = wxS("(Path LIKE '%") + m_encoder(plain) + wxS("%' ESCAPE '\\')");
            if (p.located)
                cond += wxS(" OR (") + like + wxS(" AND (") + LocationClause() + wxS("))");
            else
                cond += wxS(" OR ") + like;
        }
    }
    cond += wxS("))");
    if (q.included)
        q.text = kSelect + cond;
    return q;
}

SuggestionSubQuery CSuggestionQuery::Animations() const
{
    SuggestionSubQuery q;
    if (m_prefs.WizPrefs_IncludeAnimations) {
        q.included = true;
        q.text = kSelect + wxS("(Category='Animation')  AND (") + LocationClause() + wxS(")");
    }
    return q;
}

SuggestionSubQuery CSuggestionQuery::Charts() const
{
    struct Term {
        bool DLPrefs::*flag;
        const char* text;
    };
    static const Term terms[] = {
        {&DLPrefs::WxChart_SurfaceAnalysis, " OR (ChartType = 'Surface Analysis')"},
        {&DLPrefs::WxChart_500mb, " OR (ChartType = '500 mb')"},
        {&DLPrefs::WxChart_Wind, " OR (ChartType = 'Wind')"},
        {&DLPrefs::WxChart_SeaState, " OR (ChartType = 'Sea State')"},
        {&DLPrefs::WxChart_WindWave, " OR (ChartType = 'Wind Wave')"},
        {&DLPrefs::WxChart_CycloneAreas, " OR (ChartType = 'Cyclone')"},
    };
    SuggestionSubQuery q;
    wxString cond = wxS("(Category = 'Weather Charts') AND ((1=0) ");
    for (const Term& t : terms)
        if (m_prefs.*(t.flag)) {
            cond += wxString::FromAscii(t.text);
            q.included = true;
        }
    cond += wxS(")");
    if (q.included)
        q.text = kSelect + cond + wxS("AND (") + LocationClause() + wxS(")");
    return q;
}

wxString CSuggestionQuery::ZoneQuery() const
{
    const DLPrefs& p = m_prefs;
    if (!p.WxForecast_Coastal && !p.WxForecast_Offshore && !p.WxForecast_HighSeas && !p.WxForecast_MetArea)
        return wxString();
    wxString sql = wxS("SELECT zcode,Map FROM MZones WHERE (selected=1) AND ((1=0) ");
    if (p.WxForecast_Coastal)
        sql += wxS(" OR (Map='Coastal')");
    if (p.WxForecast_Offshore)
        sql += wxS(" OR (Map='Offshore')");
    if (p.WxForecast_HighSeas)
        sql += wxS(" OR (Map='HighSeas')");
    if (p.WxForecast_MetArea)
        sql += wxS(" OR (Map='MetArea')");
    return sql + wxS(")");
}

namespace {
bool IsHighSeas(const SuggestionZone& z)
{
    return z.map == wxS("HighSeas") || z.map == wxS("MetArea");
}
} // namespace

std::vector<wxString> CSuggestionQuery::HighSeasZones(const std::vector<SuggestionZone>& zones)
{
    std::vector<wxString> out;
    for (const SuggestionZone& z : zones)
        if (IsHighSeas(z) && z.zcode.length() <= kMaxTableValueLength)
            out.push_back(z.zcode);
    return out;
}

SuggestionSubQuery CSuggestionQuery::Text(const std::vector<SuggestionZone>& zones) const
{
    const DLPrefs& p = m_prefs;
    SuggestionSubQuery q;
    wxString sql = kSelect + wxS("(");
    if (p.WxForecast_BuoyWindWave) {
        sql += wxS("(FILEid='bw1') OR ");
        q.included = true;
    }
    if (p.WxForecast_BuoyMet) {
        sql += wxS("(FILEid='bw4') OR ");
        q.included = true;
    }
    if (p.WxForecast_Coastal || p.WxForecast_Offshore || p.WxForecast_HighSeas || p.WxForecast_MetArea) {
        for (const SuggestionZone& z : zones)
            if (!IsHighSeas(z) && UsableValue(z.zcode))
                sql += wxS("(") + LikeValue(wxS("Title"), wxString(), z.zcode, wxS("%")) + wxS(") OR ");
        q.included = true;
    }
    if (p.WxForecast_DalenMorrowBahamas) {
        sql += wxS("(FILEid='ps110') OR ");
        q.included = true;
    }
    if (p.WxForecast_DalenMorrowCaribbean) {
        sql += wxS("(FILEid='ps113') OR ");
        q.included = true;
    }
    if (p.WxForecast_Canadian) {
        sql += wxS("((Category='Text') AND (Source='ENVCAN') AND (") + LocationClause() + wxS(")) OR ");
        q.included = true;
    }
    sql += wxS("(1=0))");
    q.text = sql;
    return q;
}

wxString CSuggestionQuery::MetHighSeasQuery(const std::vector<wxString>& highSeasZones)
{
    if (highSeasZones.empty())
        return wxString();
    wxString sql = wxS("SELECT FileID FROM MetHighSeasZones WHERE (1=0) ");
    for (const wxString& code : highSeasZones)
        sql += wxS("OR Zone='") + SqlEscape(code) + wxS("'");
    return sql;
}

SuggestionSubQuery CSuggestionQuery::Satellite() const
{
    struct Term {
        bool DLPrefs::*flag;
        const char* text;
    };
    static const Term terms[] = {
        {&DLPrefs::Satellite_Infrared, " OR (ChartType='Infrared')"},
        {&DLPrefs::Satellite_Visible, " OR (ChartType='Visible')"},
        {&DLPrefs::Satellite_WaterVapor, " OR (ChartType='Water Vapor')"},
        {&DLPrefs::Satellite_WeatherOverImage,
         " OR (ChartType='Image with Chart-Surface Analysis') OR (ChartType='Image with Chart-Wind Wave')"},
    };
    SuggestionSubQuery q;
    wxString cond = wxS("(Category = 'Satellite Imagery') AND (Title LIKE '%Most Recent%%') AND ((1=0) ");
    for (const Term& t : terms)
        if (m_prefs.*(t.flag)) {
            cond += wxString::FromAscii(t.text);
            q.included = true;
        }
    cond += wxS(") ) ");
    q.text = kSelect + wxS("(") + cond + wxS(" AND (") + LocationClause() + wxS(")");
    return q;
}

wxString CSuggestionQuery::RadarCityQuery() const
{
    if (!m_prefs.Satellite_Radar)
        return wxString();
    return wxString::Format("SELECT City FROM RadarCities WHERE ID=%d LIMIT 1", m_prefs.Satellite_CityRecID);
}

SuggestionSubQuery CSuggestionQuery::Radar(bool cityFound, const wxString& city) const
{
    SuggestionSubQuery q;
    wxString terms;
    if (cityFound && UsableValue(city))
        terms = wxS(" OR (") + LikeValue(wxS("Title"), wxS("%"), city, wxS("%")) + wxS(")");
    q.included = m_prefs.Satellite_Radar;
    q.text = kSelect + wxS("(Title LIKE '%Most Recent%') AND ((1=0) ") + terms + wxS(")");
    return q;
}

wxString CSuggestionQuery::BuoyQuery()
{
    return wxS("SELECT StationID FROM Buoys WHERE selected=1");
}

SuggestionSubQuery CSuggestionQuery::Buoys(const std::vector<wxString>& stationIds) const
{
    SuggestionSubQuery q;
    wxString terms;
    for (const wxString& id : stationIds) {
        if (!UsableValue(id))
            continue;
        terms += wxS(" (") + LikeValue(wxS("Title"), wxS("%"), id, wxS("%")) + wxS(") OR ");
        q.included = true;
    }
    q.text = wxS("SELECT FileID FROM products WHERE ((Category='Buoy') AND (") + terms + wxS("(1=0))") + wxS(")");
    return q;
}

SuggestionSubQuery CSuggestionQuery::Ocean(std::vector<wxString>& hardCoded) const
{
    const DLPrefs& p = m_prefs;
    const bool hi = p.WizPrefs_GRIBRes;
    const bool colour = p.WizPrefs_Background;
    if (p.OceanData_GRIBSurfaceCurrents) {
        if (p.WizPrefs_OFD_SurfaceCurrents_NOAA)
            hardCoded.push_back(hi ? wxS("hycomg005h") : wxS("hycomg005l"));
        if (p.WizPrefs_OFD_SurfaceCurrents_Miami)
            hardCoded.push_back(wxS("glbhycom001"));
        if (p.WizPrefs_OFD_SurfaceCurrents_GLBOCN)
            hardCoded.push_back(wxS("glbocng005a"));
    }
    SuggestionSubQuery q;
    wxString cond = wxS("(");
    auto term = [&](bool flag, const wxString& text) {
        if (flag) {
            cond += text;
            q.included = true;
        }
    };
    term(m_race && p.OceanData_PositionReports, wxS("(Category='Race') OR "));
    term(p.OceanData_OceanData_Terrafin, wxS("(Category='Terrafin' AND ChartType='Current Velocity') OR "));
    term(p.OceanData_NavyChartsGulfStream,
         wxS("(Category='Ocean Charts' AND ") +
             (colour ? wxString(wxS(" (FileID='oc30a' OR FileID='oc31a') "))
                     : wxString(wxS(" (FileID='oc36' OR FileID='oc884') "))) +
             wxS(") OR "));
    term(p.OceanData_MarisolVennetGulfStrea,
         wxS("(Category='PRO Services' AND ") +
             (colour ? wxString(wxS(" (FileID='ps2' OR FileID='ps12' OR FileID='ps4' OR FileID='ps8') "))
                     : wxString(wxS(" (FileID='ps1' OR FileID='ps11' OR FileID='ps3' OR FileID='ps7') "))) +
             wxS(") OR "));
    term(p.OceanData_Ice, wxS("(Category='Ice') OR "));
    term(p.OceanData_Tides, wxS("(Category='Tides') OR "));
    cond += wxS("(1=0))");
    q.text = wxS("SELECT FileID FROM products WHERE ") + cond + wxS("AND (") + LocationClause() + wxS(")");
    return q;
}

SuggestionSubQuery CSuggestionQuery::Fishing(std::vector<wxString>& hardCoded) const
{
    const DLPrefs& p = m_prefs;
    const bool hi = p.WizPrefs_GRIBRes;
    SuggestionSubQuery q;
    wxString cond;
    auto term = [&](bool flag, const wxString& text) {
        if (flag) {
            cond += text;
            q.included = true;
        }
    };
    auto fixed = [&](bool flag, const wxString& id) {
        if (flag)
            hardCoded.push_back(id);
    };
    if (p.FishingData_SurfaceTemperature) {
        term(p.WizPrefs_OFD_SurfaceTemp_Terrafin, wxS("(Category='Terrafin' AND ChartType LIKE '%SST%') OR "));
        fixed(p.WizPrefs_OFD_SurfaceTemp_NOAA, hi ? wxS("hycomg009h") : wxS("hycomg009l"));
        fixed(p.WizPrefs_OFD_SurfaceTemp_Miami, wxS("glbhycom003"));
        fixed(p.WizPrefs_OFD_SurfaceTemp_GLBOCN, wxS("glbocng007a"));
        fixed(p.WizPrefs_OFD_SurfaceTemp_GHRSST, wxS("nlomg400a"));
    }
    if (p.FishingData_SurfaceHeight) {
        term(p.WizPrefs_OFD_SurfaceHeight_Terrafin, wxS("(Category='Terrafin' AND ChartType='SSH Anomaly') OR "));
        fixed(p.WizPrefs_OFD_SurfaceHeight_NOAA, hi ? wxS("hycomg006h") : wxS("hycomg006l"));
        fixed(p.WizPrefs_OFD_SurfaceHeight_Miami, wxS("glbhycom005"));
        fixed(p.WizPrefs_OFD_SurfaceHeight_GLBOCN, wxS("glbocng009a"));
        fixed(p.WizPrefs_OFD_SurfaceHeight_GHRSST, wxS("nlomg401a"));
    }
    term(p.FishingData_Color, wxS("(Category='Terrafin' AND ChartType='Chlorophyll') OR "));
    fixed(p.FishingData_MixedLayerDepth, hi ? wxS("hycomg008h") : wxS("hycomg008l"));
    if (p.FishingData_Salinity) {
        fixed(p.WizPrefs_OFD_Salinity_NOAA, hi ? wxS("hycomg007h") : wxS("hycomg007l"));
        fixed(p.WizPrefs_OFD_Salinity_Miami, wxS("glbhycom004"));
    }
    term(p.FishingData_Prices,
         wxS("(Category='Ocean Charts' AND (ChartType='Catch Journals' OR ChartType='Fish Prices')) OR "));
    cond += wxS("(1=0))");
    q.text = wxS("SELECT FileID FROM products WHERE (") + cond + wxS("AND (") + LocationClause() + wxS(")");
    return q;
}

wxString CSuggestionQuery::FinalQuery(const SuggestionQueries& q)
{
    wxString sql = wxS("SELECT FileID FROM Products WHERE 1=0");
    for (const SuggestionSubQuery* s :
         {&q.grib, &q.charts, &q.animations, &q.text, &q.satellite, &q.buoys, &q.radar, &q.ocean, &q.fishing})
        if (s->included)
            sql += wxS(" UNION ") + s->text;
    return sql;
}

namespace {

// The condition of a sub-query: its text after "SELECT FileID FROM
// Products WHERE " (the table's name in either case).
wxString WhereOf(const wxString& subQuery)
{
    static const wxString kLower = wxS("select fileid from products where ");
    if (subQuery.length() >= kLower.length() && subQuery.Left(kLower.length()).Lower() == kLower)
        return subQuery.Mid(kLower.length());
    return wxS("FileID IN (") + subQuery + wxS(")");
}

} // namespace

wxString CSuggestionQuery::ScanQuery(const SuggestionQueries& q)
{
    // The final query's own first part leads, so that UNION sorts and drops
    // repeats as the final query does: by the column's collation, type
    // order and the database's encoding.
    wxString sql = wxS("SELECT FileID FROM Products WHERE 1=0 UNION SELECT FileID FROM Products WHERE (1=0)");
    for (const SuggestionSubQuery* s :
         {&q.grib, &q.charts, &q.animations, &q.text, &q.satellite, &q.buoys, &q.radar, &q.ocean, &q.fishing})
        if (s->included)
            sql += wxS(" OR (") + WhereOf(s->text) + wxS(")");
    return sql;
}

SuggestionQueries CSuggestionQuery::Build(const std::vector<SuggestionZone>& zones,
                                          const std::vector<wxString>& highSeasFileIds, bool cityFound,
                                          const wxString& city, const std::vector<wxString>& stationIds) const
{
    SuggestionQueries q;
    q.locationClause = LocationClause();
    q.transLonUpdate = TransLonUpdate();
    q.grib = Grib();
    q.animations = Animations();
    q.charts = Charts();
    q.zoneQuery = ZoneQuery();
    q.text = Text(zones);
    q.highSeasZones = HighSeasZones(zones);
    q.metHighSeasQuery = MetHighSeasQuery(q.highSeasZones);
    q.hardCodedFileIds = highSeasFileIds;
    q.satellite = Satellite();
    q.radarCityQuery = RadarCityQuery();
    q.radar = Radar(cityFound, city);
    q.buoyQuery = BuoyQuery();
    q.buoys = Buoys(stationIds);
    q.ocean = Ocean(q.hardCodedFileIds);
    q.fishing = Fishing(q.hardCodedFileIds);
    q.finalQuery = FinalQuery(q);
    return q;
}

wxString CSuggestionQuery::UncheckedQuery(int batchId)
{
    return wxS("SELECT productID FROM batch_items WHERE (status = 0) AND batchID = ") + SqlInt(batchId);
}

wxString CSuggestionQuery::DeleteBatchItems(int batchId)
{
    return wxS("DELETE FROM batch_items WHERE batchID = ") + SqlInt(batchId);
}
