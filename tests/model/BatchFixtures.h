// Shared pieces of the batch, store and local-file tests: a small catalogue
// for the batch store, and a private copy of the seed user database opened
// for it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <wx/string.h>
#include <wx/wxsqlite3.h>

#include "model/Batch.h"
#include "model/BatchDB.h"
#include "model/CatalogueIndex.h"
#include "support/TestSupport.h"

namespace tw::test {

inline CFileInfo MakeItem(const wxString& id, const wxString& path, const wxString& price = wxS("1.00"),
                          const wxString& compressed = wxS("10"), const wxString& raw = wxS("20"),
                          int status = 1)
{
    CFileInfo item;
    CFileInfo::t_info& i = item.info;
    i.FileID = id;
    i.Title = "Title of " + id;
    i.Path = path;
    i.File = path.AfterLast('/');
    i.Description = "About " + id;
    i.Price = price;
    i.Compression = wxS("bz2");
    i.Category = wxS("Weather");
    i.ChartType = wxS("GRIB");
    i.RawSize = raw;
    i.CompressedSize = compressed;
    i.Source = wxS("NOAA");
    i.status = status;
    return item;
}

// The items the store tests use; one id holds an apostrophe.
inline std::vector<CFileInfo> StandardItems()
{
    return {
        MakeItem("GFS-WIND", "data/gfs/wind=>gfs_wind.grb.bz2", "1.50", "120", "300"),
        MakeItem("SAT-IR", "sat/ir.jpg", "0.75", "80", "80"),
        MakeItem("TXT-FCST", "text/forecast.txt", "0.10", "2", "5"),
        MakeItem("O'BRIEN", "buoy/o'brien.txt", "0.25", "1", "1"),
    };
}

// A catalogue of the items (one category, region and chart type) that the
// batch store looks items up in, for the lifetime of the object; the store's
// previous catalogue comes back afterwards.
class ScopedCatalogue
{
public:
    explicit ScopedCatalogue(const std::vector<CFileInfo>& items) : m_previous(CBatchFolder::Instance()->GetCatalogue())
    {
        CChartType type;
        type.name = wxS("GRIB");
        for (const CFileInfo& item : items)
            type.Add(item);
        CRegion region;
        region.name = wxS("Pacific");
        region.Add(type);
        CProduct product;
        product.name = wxS("Weather");
        product.Add(region);
        m_tree.Add(product);
        CBatchFolder::Instance()->SetCatalogue(&m_index);
    }
    ~ScopedCatalogue() { CBatchFolder::Instance()->SetCatalogue(m_previous); }
    ScopedCatalogue(const ScopedCatalogue&) = delete;
    ScopedCatalogue& operator=(const ScopedCatalogue&) = delete;

    CFileInfo* Find(CFileInfo& out, const wxString& id) { return m_index.Find(out, id); }

private:
    CProductTypeArray m_tree;
    CCatalogueIndex m_index{m_tree};
    CCatalogueIndex* m_previous;
};

// A private copy of the seed user database, open and handed to the store.
class ScopedUserDb
{
public:
    ScopedUserDb()
    {
        m_path = m_dir / "zir_user.db";
        const std::string seed = ReadFile(ResourcesDir() + "/zir_user.db");
        m_ok = !seed.empty() && WriteFile(m_path, seed);
        if (m_ok) {
            m_db.Open(m_path);
            CBatchFolder::Instance()->SetDatabase(&m_db);
        }
    }
    ~ScopedUserDb()
    {
        CBatchFolder::Instance()->SetDatabase(nullptr);
        if (m_db.IsOpen())
            m_db.Close();
    }
    ScopedUserDb(const ScopedUserDb&) = delete;
    ScopedUserDb& operator=(const ScopedUserDb&) = delete;

    bool Ok() const { return m_ok; }
    wxSQLite3Database& Db() { return m_db; }
    const wxString& Path() const { return m_path; }
    const TempDir& Dir() const { return m_dir; }

    // The item rows of a batch as (productID, status), in row order.
    std::vector<std::pair<wxString, int>> Items(int batchId)
    {
        std::vector<std::pair<wxString, int>> rows;
        wxSQLite3ResultSet rs = m_db.ExecuteQuery(
            wxString::Format("SELECT productID,status FROM batch_items WHERE batchID=%d ORDER BY ID", batchId));
        while (rs.NextRow())
            rows.emplace_back(rs.GetAsString("productID"), rs.GetInt("status"));
        return rows;
    }
    bool BatchRowExists(int id)
    {
        return m_db.ExecuteScalar(wxString::Format("SELECT count(*) FROM batches WHERE ID=%d", id)) > 0;
    }
    wxString Column(int id, const wxString& column)
    {
        wxSQLite3ResultSet rs =
            m_db.ExecuteQuery(wxString::Format("SELECT %s FROM batches WHERE ID=%d", column, id));
        return rs.NextRow() ? rs.GetAsString(0) : wxString("<no row>");
    }
    // Inserts a batch row with a fixed id.
    void InsertBatch(int id, const wxString& title, int status, const wxString& folder = wxString())
    {
        wxSQLite3Statement st = m_db.PrepareStatement(
            "INSERT INTO batches (ID,title,description,create_date,status,folder) VALUES (?,?,?,?,?,?)");
        st.Bind(1, id);
        st.Bind(2, title);
        st.Bind(3, "Description of " + title);
        st.Bind(4, 1700000000);
        st.Bind(5, status);
        st.Bind(6, folder);
        st.ExecuteUpdate();
    }
    void InsertItem(int batchId, const wxString& productId, int status)
    {
        wxSQLite3Statement st =
            m_db.PrepareStatement("INSERT INTO batch_items (batchID,productID,status) VALUES (?,?,?)");
        st.Bind(1, batchId);
        st.Bind(2, productId);
        st.Bind(3, status);
        st.ExecuteUpdate();
    }

private:
    TempDir m_dir;
    wxString m_path;
    wxSQLite3Database m_db;
    bool m_ok = false;
};

using ItemRows = std::vector<std::pair<wxString, int>>;

} // namespace tw::test
