// What start-up and the transfer window need of the GPS reader, the map
// dialog and the Basic window's stored area.
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "windows/map/MapPanel.h"
#include "windows/map/mapdialog.h"
#include "startup/StartupFixtures.h"
#include "windows/basic/basicwindow.h"
#include "model/BasicBatch.h"
#include "windows/common/Shell.h"

using namespace startup_test;

TEST(GpsReader, PollsOnlyWhileGpsIsTheHomeSource)
{
    TidewrightApp& app = wxGetApp();
    CGPSQuery& gps = app.gpsQuery;
    gps.StopQuery();
    const int savedSource = app.dlPrefs.HomeLocation_Source;

    for (int source : {1, 2, -1}) {
        app.dlPrefs.HomeLocation_Source = source;
        EXPECT_TRUE(gps.StartQuery(true)) << source;
        EXPECT_FALSE(gps.IsPolling()) << source;
    }

    app.dlPrefs.HomeLocation_Source = 0;
    tw::test::ClearLog();
    EXPECT_TRUE(gps.StartQuery(true));
    EXPECT_TRUE(gps.IsPolling());
    EXPECT_FALSE(gps.StartQuery(true)) << "a second start is refused";
    EXPECT_TRUE(tw::test::LogContains("GPS polling is already active."));
    EXPECT_TRUE(gps.StopQuery());
    EXPECT_FALSE(gps.IsPolling());

    // Asked without the GPS condition it polls whatever the source.
    app.dlPrefs.HomeLocation_Source = 1;
    EXPECT_TRUE(gps.StartQuery(false));
    EXPECT_TRUE(gps.IsPolling());
    gps.StopQuery();
    app.dlPrefs.HomeLocation_Source = savedSource;
}

TEST(MapDialogLocale, ShowsAndReadsBackTheSignedCentreAndWidth)
{
    struct Case {
        double lat, lon, width;
        const char* latText;
        const char* ns;
        const char* lonText;
        const char* ew;
        const char* widthText;
    } cases[] = {
        {47.4019, -122.323, 15.9, "47.40", "N", "122.32", "W", "15"},
        {-33.5, 151.25, 10, "33.50", "S", "151.25", "E", "10"},
        {0.0, 200.0, 5, "0.00", "N", "160.00", "W", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latText);
        MapDialog dlg(nullptr);
        EXPECT_EQ(dlg.GetId(), 10068);
        ASSERT_NE(dlg.GetMapPanel(), nullptr);
        dlg.GetMapPanel()->m_maxZoom = 7.0;
        dlg.GetMapPanel()->m_minZoom = 0.146484375;
        dlg.InitializePosition(c.lat, c.lon, c.width);
        EXPECT_EQ(dlg.m_latCtrl->GetValue(), c.latText);
        EXPECT_EQ(dlg.m_nsChoice->GetStringSelection(), c.ns);
        EXPECT_EQ(dlg.m_lonCtrl->GetValue(), c.lonText);
        EXPECT_EQ(dlg.m_ewChoice->GetStringSelection(), c.ew);
        EXPECT_EQ(dlg.m_widthCtrl->GetValue(), c.widthText);
        EXPECT_LE(dlg.GetMapPanel()->m_zoom, 7.0);
        EXPECT_GE(dlg.GetMapPanel()->m_zoom, 0.146484375);

        double lat = 99, lon = 99, width = 99;
        dlg.RetrievePosition(lat, lon, width);
        double expectLat = 0, expectLon = 0;
        wxString(c.latText).ToCDouble(&expectLat);
        wxString(c.lonText).ToCDouble(&expectLon);
        EXPECT_DOUBLE_EQ(lat, *c.ns == 'S' ? -expectLat : expectLat);
        EXPECT_DOUBLE_EQ(lon, *c.ew == 'W' ? -expectLon : expectLon);
        EXPECT_DOUBLE_EQ(width, wxAtoi(c.widthText));
    }
}

TEST(MapDialogLocale, FieldsReadTheirLeadingNumber)
{
    MapDialog dlg(nullptr);
    // A text that does not begin with a number leaves the caller's value.
    struct Case {
        const char* text;
        double width;
    } cases[] = {{"12.5deg", 12.5}, {"  7", 7}, {"12.5east", 12.5}, {"wide", -1}, {"", -1}};
    for (const Case& c : cases) {
        dlg.m_widthCtrl->SetValue(c.text);
        double lat = 0, lon = 0, width = -1;
        dlg.RetrievePosition(lat, lon, width);
        EXPECT_DOUBLE_EQ(width, c.width) << c.text;
    }
    // Latitude: the number, or the caller's value, with the hemisphere's sign.
    dlg.m_nsChoice->SetSelection(1);
    dlg.m_latCtrl->SetValue("12.5 and more");
    double lat = 3, lon = 4, width = 0;
    dlg.RetrievePosition(lat, lon, width);
    EXPECT_DOUBLE_EQ(lat, -12.5);
    dlg.m_latCtrl->SetValue("N12");
    lat = 3;
    dlg.RetrievePosition(lat, lon, width);
    EXPECT_DOUBLE_EQ(lat, -3);
}

TEST(MapDialog, OpenedWithoutPositionShowsItsDefaults)
{
    MapDialog dlg(nullptr);
    EXPECT_EQ(dlg.m_latCtrl->GetValue(), "");
    EXPECT_EQ(dlg.m_lonCtrl->GetValue(), "");
    EXPECT_EQ(dlg.m_widthCtrl->GetValue(), "010");
    EXPECT_EQ(dlg.m_nsChoice->GetStringSelection(), "N");
    EXPECT_EQ(dlg.m_ewChoice->GetStringSelection(), "E");
    double lat = 7, lon = 8, width = 0;
    dlg.RetrievePosition(lat, lon, width);
    EXPECT_DOUBLE_EQ(width, 10);
    EXPECT_DOUBLE_EQ(lat, 7);
    EXPECT_DOUBLE_EQ(lon, 8);
}

TEST(MapDialog, ButtonsEndTheDialogWithOkOrCancel)
{
    for (int id : {ID_MAPDIALOG_OK, ID_MAPDIALOG_CANCEL}) {
        MapDialog dlg(nullptr);
        auto* button = dynamic_cast<wxButton*>(dlg.FindWindow(id));
        ASSERT_NE(button, nullptr);
        dlg.CallAfter([button] {
            wxCommandEvent click(wxEVT_BUTTON, button->GetId());
            click.SetEventObject(button);
            button->GetEventHandler()->ProcessEvent(click);
        });
        EXPECT_EQ(dlg.ShowModal(), id == ID_MAPDIALOG_OK ? wxID_OK : wxID_CANCEL);
    }
    MapDialog dlg(nullptr);
    dlg.InitializePosition(20, -40, 30);
    dlg.Show();
    tw::test::Screenshot(&dlg, wxFileName::GetTempDir() + "/tw-startup-mapdialog.png");
}

namespace {

class BasicAreaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp();
        ASSERT_TRUE(CInit::InitializeAppFolders());
        CRegistry settings;
        ASSERT_TRUE(app.InitDB(settings));
        userDb = CInit::GetUserDBPath();
    }
    void TearDown() override { ResetApp(); }

    TidewrightApp& app = wxGetApp();
    tw::test::TempHome home;
    wxString userDb;
};

using BasicAreaLocaleTest = BasicAreaTest;

} // namespace

TEST_F(BasicAreaLocaleTest, UpdateCoordsRefusesAreasOutOfRange)
{
    struct Case {
        double lat, lon;
        int width;
        bool stored;
    } cases[] = {
        {10, 20, 1, true},    {10, 20, 80, true},    {-90, -180, 5, true}, {90, 180, 5, true},
        {10, 20, 0, false},   {10, 20, 81, false},   {90.5, 0, 5, false},  {0, -180.5, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%g %g %d", c.lat, c.lon, c.width));
        app.userDb->ExecuteUpdate("UPDATE batches SET lat=1, lon=2, width=3 WHERE ID=1");
        EXPECT_EQ(tw::basic::StoreBasicArea(tw::TheShell().GetUserDb(), c.lat, c.lon, c.width), c.stored);
        double lat = 0, lon = 0;
        int width = 0;
        ASSERT_TRUE(tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width));
        EXPECT_DOUBLE_EQ(lat, c.stored ? c.lat : 1);
        EXPECT_DOUBLE_EQ(lon, c.stored ? c.lon : 2);
        EXPECT_EQ(width, c.stored ? c.width : 3);
    }
}

TEST_F(BasicAreaTest, GetCoordsWithoutTheBasicRowLeavesTheOutputs)
{
    app.userDb->ExecuteUpdate("DELETE FROM batches WHERE ID=1");
    double lat = 5, lon = 6;
    int width = 7;
    EXPECT_FALSE(tw::basic::ReadBasicArea(tw::TheShell().GetUserDb(), lat, lon, width));
    EXPECT_DOUBLE_EQ(lat, 5);
    EXPECT_DOUBLE_EQ(lon, 6);
    EXPECT_EQ(width, 7);
}
