// Helpers of the start-up tests: a resources folder of the test's own, small
// database edits, and putting the one application object back to the state
// of a fresh process between tests.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/snglinst.h>
#include <wx/wxsqlite3.h>

#include "core/Init.h"
#include "core/Registry.h"
#include "core/StringHelpers.h"
#include "app/tidewrightapp.h"
#include "support/TestSupport.h"

namespace startup_test {

using tw::test::Exec;
using tw::test::QueryInt;
using tw::test::QueryTexts;

// One row of `products`; Path and Compression given in plain text.
struct ProductRow {
    int cat, reg, chart;
    const char* category;
    const char* region;
    const char* chartType;
    const char* fileId;
    const char* title;
    const char* path = "/srv/file.grb";
    const char* compression = "bz2";
    int raceDisable = 0;
};

inline void InsertProducts(const wxString& dbPath, const std::vector<ProductRow>& rows, bool encode = true)
{
    wxSQLite3Database db;
    db.Open(dbPath);
    db.Begin();
    wxSQLite3Statement st = db.PrepareStatement(
        "INSERT INTO products (CategoryIdx, RegionIdx, ChartTypeIdx, Category, Region, ChartType, FileID, Title, "
        "Path, File, Description, Price, Compression, RawSize, CompressedSize, Source, RaceDisable) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (const ProductRow& r : rows) {
        const wxString path = wxString::FromUTF8(r.path);
        const wxString comp = wxString::FromUTF8(r.compression);
        st.Bind(1, r.cat);
        st.Bind(2, r.reg);
        st.Bind(3, r.chart);
        st.Bind(4, wxString::FromUTF8(r.category));
        st.Bind(5, wxString::FromUTF8(r.region));
        st.Bind(6, wxString::FromUTF8(r.chartType));
        st.Bind(7, wxString::FromUTF8(r.fileId));
        st.Bind(8, wxString::FromUTF8(r.title));
        st.Bind(9, encode ? CDbTextEncoder::encode_db_string(path, false) : path);
        st.Bind(10, wxString::FromUTF8(r.fileId) + ".grb");
        st.Bind(11, wxString("about ") + wxString::FromUTF8(r.title));
        st.Bind(12, wxString("1.25"));
        st.Bind(13, encode ? CDbTextEncoder::encode_db_string(comp, false) : comp);
        st.Bind(14, wxString("200"));
        st.Bind(15, wxString("100"));
        st.Bind(16, wxString("NOAA"));
        st.Bind(17, r.raceDisable);
        st.ExecuteUpdate();
        st.Reset();
    }
    db.Commit();
    db.Close();
}

// A resources folder of the test's own: the build's seed databases and a
// defaults file with the given edition; TIDEWRIGHT_RESOURCES points at it
// for the lifetime of the object.
class FakeResources
{
public:
    explicit FakeResources(long evt = 1000, const wxString& evn = wxString(),
                           const std::vector<wxString>& leaveOut = {})
    {
        const char* old = std::getenv("TIDEWRIGHT_RESOURCES");
        m_old = old ? old : "";
        for (const wxString name : {"zir.db", "zir_user.db", "MarineZones.db"}) {
            bool skip = false;
            for (const wxString& l : leaveOut)
                skip = skip || l == name;
            if (!skip)
                wxCopyFile(tw::test::ResourcesDir() + "/" + name, m_dir / name);
        }
        tw::test::WriteFile(m_dir / "Tidewright.conf",
                            wxString::Format("[Default]\nevt=%ld\nevn=%s\n", evt, evn).utf8_string());
        setenv("TIDEWRIGHT_RESOURCES", m_dir.Path().utf8_str(), 1);
    }
    ~FakeResources()
    {
        wxSetWorkingDirectory(wxFileName::GetTempDir());
        setenv("TIDEWRIGHT_RESOURCES", m_old.c_str(), 1);
    }
    const wxString& Path() const { return m_dir.Path(); }
    wxString operator/(const wxString& name) const { return m_dir / name; }

private:
    tw::test::TempDir m_dir;
    std::string m_old;
};

// Puts the application object back to what a new process starts with.
inline void ResetApp()
{
    TidewrightApp& app = wxGetApp();
    if (app.topWindow) {
        app.topWindow->Destroy();
        app.topWindow = nullptr;
    }
    tw::test::Pump(20);
    app.CloseDatabases();
    app.instanceChecker.reset();
    app.catalogue.Empty();
    app.viewMode.clear();
    app.firstRun = false;
    app.basicHomePosition = HomePosition();
    app.homePosition = HomePosition();
    app.restartRequested = false;
    app.restartExecutable.clear();
    app.restartWaitPid = 0;
    app.productDbVersion = 0;
    app.marineZonesDbVersion = 0;
    app.gpsQuery.StopQuery();
}

// Writes settings keys as a previous run would have left them.
inline void WriteSetting(const wxString& key, const wxString& value)
{
    CUserConfig file;
    file.WriteText(key, value);
}

inline wxString ReadSetting(const wxString& key)
{
    CUserConfig file;
    return file.ReadText(key, "<absent>");
}

} // namespace startup_test
