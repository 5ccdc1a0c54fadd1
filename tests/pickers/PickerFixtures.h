// Helpers of the picker tests: a small marine-zones database of the test's
// own, synthesised mouse and button events, a guarded modal run, and reading
// pictures and screenshots.
#pragma once

#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/wxsqlite3.h>

#include "support/TestSupport.h"

namespace pickers_test {

// One MZones row. `id` is an SQL literal, so that a row may carry a real,
// a text or a NULL ID.
struct ZoneRow {
    const char* id;
    const char* zcode;
    const char* region;
    const char* description;
    int selected;
};

// A MarineZones database file in a temporary folder, open in `db`; the
// handle is what the dialog under test gets.
class ZonesDb
{
public:
    explicit ZonesDb(const std::vector<ZoneRow>& rows, bool withTable = true)
    {
        m_path = m_dir / "MarineZones.db";
        db.Open(m_path);
        db.SetBusyTimeout(50);   // a locked file fails fast
        if (!withTable)
            return;
        db.ExecuteUpdate("CREATE TABLE MZones (ID INTEGER, zcode TEXT, region TEXT, description TEXT, "
                         "lat REAL, lon REAL, Map TEXT, selected INTEGER)");
        for (const ZoneRow& r : rows) {
            wxSQLite3Statement insert = db.PrepareStatement(
                wxString("INSERT INTO MZones VALUES (") + r.id + ", ?, ?, ?, 0, 0, 'MetArea', ?)");
            insert.Bind(1, wxString::FromUTF8(r.zcode));
            insert.Bind(2, wxString::FromUTF8(r.region));
            insert.Bind(3, wxString::FromUTF8(r.description));
            insert.Bind(4, r.selected);
            insert.ExecuteUpdate();
        }
    }
    ~ZonesDb()
    {
        if (db.IsOpen())
            db.Close();
    }

    // `selected` of every row in row order, as "zcode=value" texts.
    std::vector<wxString> Selections()
    {
        std::vector<wxString> out;
        wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT zcode, selected FROM MZones ORDER BY rowid");
        while (rs.NextRow())
            out.push_back(rs.GetAsString(0) + "=" + rs.GetAsString(1));
        return out;
    }

    const wxString& Path() const { return m_path; }

    wxSQLite3Database db;

private:
    tw::test::TempDir m_dir;
    wxString m_path;
};

// Sends a mouse event of `type` at (x, y) in the window's client coordinates.
inline void Mouse(wxWindow* window, wxEventType type, int x, int y)
{
    wxMouseEvent event(type);
    event.SetEventObject(window);
    event.SetId(window->GetId());
    event.SetPosition(wxPoint(x, y));
    window->GetEventHandler()->ProcessEvent(event);
}

inline void Click(wxWindow* window, int x, int y)
{
    Mouse(window, wxEVT_LEFT_DOWN, x, y);
    Mouse(window, wxEVT_LEFT_UP, x, y);
}

inline void PressButton(wxDialog& dialog, int id)
{
    wxWindow* button = dialog.FindWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

// The result a modal run gets when the test's own steps did not end it.
constexpr int kTimedOut = -4242;

// Shows the dialog modally and runs `drive` inside its modal loop. A run
// the steps leave open is ended after a few seconds with kTimedOut.
inline int RunModal(wxDialog& dialog, const std::function<void()>& drive, int timeoutMs = 8000)
{
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&dialog](wxTimerEvent&) {
        if (dialog.IsModal())
            dialog.EndModal(kTimedOut);
    });
    guard.StartOnce(timeoutMs);
    dialog.CallAfter(drive);
    const int result = dialog.ShowModal();
    guard.Stop();
    return result;
}

inline wxImage LoadPng(const wxString& path)
{
    wxImage image;
    image.LoadFile(path, wxBITMAP_TYPE_PNG);
    return image;
}

// A picture of the window's client area as the screen shows it (also kept
// in the temporary folder under `name` for looking at).
inline wxImage Shot(wxWindow* window, const wxString& name)
{
    const wxString path = wxFileName::GetTempDir() + "/" + name;
    if (!tw::test::Screenshot(window, path))
        return wxImage();
    return LoadPng(path);
}

} // namespace pickers_test
