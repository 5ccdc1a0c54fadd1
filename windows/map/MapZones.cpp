// What the map reads from and writes to the marine-zones database: the
// zones' outlines and selections, and the buoys' selections.
#include "windows/map/MapPanel.h"

#include <functional>

#include <wx/toplevel.h>
#include <wx/wxsqlite3.h>

#include "platform/UiHooks.h"

void StoreInOneTransaction(wxSQLite3Database& db, const std::function<void()>& store)
{
    db.Begin();
    try {
        store();
        db.Commit();
    } catch (...) {
        try {
            db.Rollback();
        } catch (...) {
        }
        throw;
    }
}

namespace {

// The selected flag of every changed entry of `rows` (zones or buoys), one
// bound statement each, all in one transaction; none when nothing changed.
template <class Rows, class Key>
int StoreChangedSelections(wxSQLite3Database& db, const Rows& rows, const char* sql, Key key)
{
    bool any = false;
    for (size_t i = 0; i < rows.GetCount() && !any; ++i)
        any = rows[i].m_changed;
    if (!any)
        return 0;
    int written = 0;
    StoreInOneTransaction(db, [&] {
        wxSQLite3Statement st = db.PrepareStatement(sql);
        for (size_t i = 0; i < rows.GetCount(); ++i) {
            const auto& row = rows[i];
            if (!row.m_changed)
                continue;
            st.Reset();
            st.Bind(1, row.m_selected ? 1 : 0);
            st.Bind(2, key(row));
            st.ExecuteUpdate();
            ++written;
        }
    });
    return written;
}

} // namespace

int StoreZoneSelections(wxSQLite3Database& db, const WeatherZoneArray& zones)
{
    return StoreChangedSelections(db, zones, "UPDATE MZones SET selected = ? WHERE zcode = ?",
                                  [](const WeatherZone& z) { return z.m_zcode; });
}

int StoreBuoySelections(wxSQLite3Database& db, const BuoyArray& buoys)
{
    return StoreChangedSelections(db, buoys, "UPDATE Buoys SET selected = ? WHERE StationID = ?",
                                  [](const Buoy& b) { return b.m_stationID; });
}

// ---------------------------------------------------------------- zones

void wxMapPanel::ReportDatabaseError(const wxString& message)
{
    wxWindow* parent = wxGetActiveWindow();
    if (!parent && IsShownOnScreen())
        parent = wxGetTopLevelParent(this);
    tw::MessageBox(message, wxS("Error"), wxOK | wxICON_ERROR, parent);
}

void wxMapPanel::CreateWeatherZoneArray(wxArrayString zcodes)
{
    m_zones.Empty();
    wxSQLite3Database* db = m_inputs.marineZonesDb;
    if (!db) {
        tw::MessageBox(wxS("NULL common MarineZones database object."), wxS("Notice"), wxOK | wxICON_ERROR,
                       wxGetActiveWindow());
        return;
    }
    try {
        wxSQLite3Statement zoneQuery = db->PrepareStatement("SELECT * FROM MZones WHERE zcode=?");
        wxSQLite3Statement outlineQuery =
            db->PrepareStatement("SELECT * FROM MZonesPos WHERE zcode=? ORDER BY part,ROWID");
        int colour = 0;
        PositionArray vertices;
        for (const wxString& code : zcodes) {
            bool selected = false;
            wxString zcode, description;
            zoneQuery.Reset();
            zoneQuery.Bind(1, code);
            {
                wxSQLite3ResultSet rs = zoneQuery.ExecuteQuery();
                if (rs.NextRow()) {
                    selected = rs.GetInt("selected", 0) != 0;
                    zcode = rs.GetAsString("zcode");
                    description = rs.GetAsString("description");
                }
            }
            vertices.Empty();
            outlineQuery.Reset();
            outlineQuery.Bind(1, code);
            {
                wxSQLite3ResultSet rs = outlineQuery.ExecuteQuery();
                while (rs.NextRow())
                    vertices.Add(Position(rs.GetDouble("lat", 0.0), rs.GetDouble("lon", 0.0), rs.GetInt("part", 0)));
            }
            if (!vertices.IsEmpty())
                CreateWeatherZone(vertices, zcode, description, m_zonePalette[colour], selected);
            colour = (colour + 1) % 10;
        }
    } catch (const wxSQLite3Exception& e) {
        // A missing or locked table: the map opens with the zones read so far.
        ReportDatabaseError(e.GetMessage());
    }
}
