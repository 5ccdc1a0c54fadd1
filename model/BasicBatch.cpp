#include "model/BasicBatch.h"

#include <cmath>

#include <wx/wxsqlite3.h>

namespace tw::basic {

bool AreaInRange(double lat, double lon, double width)
{
    return width >= kMinWidth && width <= kMaxWidth && lon >= -180.0 && lon <= 180.0 && lat >= -90.0 &&
           lat <= 90.0;
}

bool RepairArea(double& lat, double& lon, double& width)
{
    if (AreaInRange(lat, lon, width))
        return false;
    // A value that is not a number fails every comparison and so is replaced.
    if (!(lat >= -90.0 && lat <= 90.0))
        lat = kDefaultLat;
    if (!(lon >= -180.0 && lon <= 180.0))
        lon = kDefaultLon;
    if (!(width >= kMinWidth && width <= kMaxWidth))
        width = kDefaultWidth;
    return true;
}

double LimitWidth(double width)
{
    if (std::isnan(width))
        return kDefaultWidth;
    if (width < kMinWidth)
        return kMinWidth;
    if (width > kMaxWidth)
        return kMaxWidth;
    return width;
}

// ---------------------------------------------------------------- batch row 1

bool ReadBasicBatch(wxSQLite3Database* db, BasicBatchRow& row)
{
    if (!db)
        return false;
    wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT description,lat,lon,width FROM batches WHERE ID = 1");
    if (!rs.NextRow())
        return false;
    row.description = rs.IsNull(0) ? wxString() : rs.GetAsString(0);
    row.lat = rs.GetDouble(1, kDefaultLat);
    row.lon = rs.GetDouble(2, kDefaultLon);
    row.width = rs.GetDouble(3, kDefaultWidth);
    return true;
}

bool ReadBasicArea(wxSQLite3Database* db, double& lat, double& lon, int& width)
{
    if (!db)
        return false;
    wxSQLite3ResultSet rs = db->ExecuteQuery("SELECT lat,lon,width FROM batches WHERE ID = 1");
    if (!rs.NextRow())
        return false;
    lat = rs.GetDouble("lat", 0.0);
    lon = rs.GetDouble("lon", 0.0);
    width = rs.GetInt("width", 0);
    return true;
}

bool StoreBasicArea(wxSQLite3Database* db, double lat, double lon, int width)
{
    if (!AreaInRange(lat, lon, width))
        return false;
    if (!db)
        return false;
    wxSQLite3Statement st = db->PrepareStatement("UPDATE batches SET lat = ?, lon = ?, width = ? WHERE ID = 1");
    st.Bind(1, lat);
    st.Bind(2, lon);
    st.Bind(3, width);
    return st.ExecuteUpdate() > 0;
}

bool WriteBasicArea(wxSQLite3Database* db, double lat, double lon, double width)
{
    if (!db)
        return false;
    wxSQLite3Statement st = db->PrepareStatement("UPDATE batches SET lat = ?, lon = ?, width = ? WHERE ID = 1");
    st.Bind(1, lat);
    st.Bind(2, lon);
    st.Bind(3, width);
    st.ExecuteUpdate();
    return true;
}

void SwitchBasicPersonality(wxSQLite3Database* db, const wxString& region)
{
    if (!db)
        return;
    db->Begin();
    try {
        db->ExecuteUpdate("DELETE from batch_items WHERE batchID = 1");
        wxSQLite3Statement name = db->PrepareStatement("UPDATE batches SET description = ? WHERE ID = 1");
        name.Bind(1, region);
        name.ExecuteUpdate();
        db->Commit();
    } catch (...) {
        db->Rollback();
        throw;
    }
}

wxArrayString BasicItemIds(wxSQLite3Database* db)
{
    wxArrayString ids;
    if (!db)
        return ids;
    wxSQLite3ResultSet items = db->ExecuteQuery("SELECT productID FROM batch_items WHERE batchID = 1 ORDER BY ID");
    while (items.NextRow())
        ids.Add(items.GetAsString(0));
    return ids;
}

// ---------------------------------------------------------------- buttons

std::vector<ButtonRow> ReadPersonalityButtons(wxSQLite3Database* catalogue, const wxString& region)
{
    std::vector<ButtonRow> rows;
    if (!catalogue)
        return rows;
    wxSQLite3Statement query =
        catalogue->PrepareStatement("SELECT * FROM buttons WHERE Region = ? ORDER BY disp_ord LIMIT 20");
    query.Bind(1, region);
    wxSQLite3ResultSet set = query.ExecuteQuery();
    while (set.NextRow())
        rows.push_back({set.GetAsString("ButtonText"), set.GetAsString("recid"), set.GetInt("RaceDisable", 0) != 0});
    return rows;
}

int ReadPersonalityCount(wxSQLite3Database* catalogue)
{
    if (!catalogue)
        return 0;
    wxSQLite3ResultSet count = catalogue->ExecuteQuery("SELECT COUNT(DISTINCT Region) FROM buttons");
    return count.NextRow() ? count.GetInt(0, 0) : 0;
}

std::vector<PictureRow> ReadPictureRows(wxSQLite3Database* catalogue)
{
    std::vector<PictureRow> pictureRows;
    if (!catalogue)
        return pictureRows;
    wxSQLite3ResultSet rows = catalogue->ExecuteQuery("SELECT * FROM buttons WHERE graphic <> '' ORDER BY disp_ord");
    while (rows.NextRow())
        pictureRows.push_back({rows.GetAsString("Region"), rows.GetAsString("graphic")});
    return pictureRows;
}

} // namespace tw::basic
