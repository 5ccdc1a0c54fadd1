// What the map reads from and writes to the marine-zones database: the
// zones' outlines and selections, and the buoys' selections.
#include "windows/map/MapPanel.h"

#include <wx/toplevel.h>
#include <wx/wxsqlite3.h>

#include "platform/UiHooks.h"

int StoreZoneSelections(wxSQLite3Database& db, const WeatherZoneArray& zones)
{
    int written = 0;
    wxSQLite3Statement st;
    for (size_t i = 0; i < zones.GetCount(); ++i) {
        const WeatherZone& z = zones[i];
        if (!z.m_changed)
            continue;
        if (!st.IsOk())
            st = db.PrepareStatement("UPDATE MZones SET selected = ? WHERE zcode = ?");
        st.Reset();
        st.Bind(1, z.m_selected ? 1 : 0);
        st.Bind(2, z.m_zcode);
        st.ExecuteUpdate();
        ++written;
    }
    return written;
}

int StoreBuoySelections(wxSQLite3Database& db, const BuoyArray& buoys)
{
    bool any = false;
    for (size_t i = 0; i < buoys.GetCount() && !any; ++i)
        any = buoys[i].m_changed;
    if (!any)
        return 0;
    int written = 0;
    db.Begin();
    try {
        wxSQLite3Statement st = db.PrepareStatement("UPDATE Buoys SET selected = ? WHERE StationID = ?");
        for (size_t i = 0; i < buoys.GetCount(); ++i) {
            const Buoy& b = buoys[i];
            if (!b.m_changed)
                continue;
            st.Reset();
            st.Bind(1, b.m_selected ? 1 : 0);
            st.Bind(2, b.m_stationID);
            st.ExecuteUpdate();
            ++written;
        }
        db.Commit();
    } catch (...) {
        try {
            db.Rollback();
        } catch (...) {
        }
        throw;
    }
    return written;
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
