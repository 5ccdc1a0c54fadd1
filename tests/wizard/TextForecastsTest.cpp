// The text forecasts page's zone pickers under Xvfb, driven through the
// dialogs they open: the coastal and offshore loop (region picker, zone
// map, region picker again), the high seas, the METAREAs, Unselect All, and
// the marine-zones database failing under them.
#include <gtest/gtest.h>

#include <set>

#include "WizardFixtures.h"
#include "windows/map/MapPanel.h"
#include "windows/map/USZonesDialog.h"
#include "windows/map/metzonesdialog.h"
#include "windows/map/weatherzonedialog.h"
#include "windows/wizard/textforecastspage.h"

using namespace wizard_test;
using tw::test::AnswerBox;
using tw::test::BoxShown;
using tw::test::Ui;
using tw::test::WaitFor;
using tw::wizard::CheckRow;

namespace {

std::set<wxString> RegionCodes(wxSQLite3Database& db, const wxString& region)
{
    std::set<wxString> codes;
    wxSQLite3Statement q = db.PrepareStatement("SELECT zcode FROM MZones WHERE region = ?");
    q.Bind(1, region);
    wxSQLite3ResultSet rs = q.ExecuteQuery();
    while (rs.NextRow())
        codes.insert(rs.GetAsString(0));
    return codes;
}

int Selected(wxSQLite3Database& db, const wxString& zcode)
{
    wxSQLite3Statement q = db.PrepareStatement("SELECT selected FROM MZones WHERE zcode = ?");
    q.Bind(1, zcode);
    wxSQLite3ResultSet rs = q.ExecuteQuery();
    return rs.NextRow() ? rs.GetInt(0) : -1;
}

int SelectedCount(wxSQLite3Database& db)
{
    wxSQLite3ResultSet rs = db.ExecuteQuery("SELECT COUNT(*) FROM MZones WHERE selected <> 0");
    return rs.NextRow() ? rs.GetInt(0) : -1;
}

// What a zone map showed.
struct ZoneMapSeen {
    std::set<wxString> codes;
    double minZoom = 0.0;
    double maxZoom = 0.0;
    double zoom = 0.0;
    wxString title;
    wxString toggled;       // the zone the step toggled
    bool wasSelected = false;
};

// A zone map step: remembers what it shows, toggles the first zone when
// asked, and ends with `result`.
std::function<void(WeatherZoneDialog*)> ZoneMap(ZoneMapSeen& seen, int result, bool toggle)
{
    return [&seen, result, toggle](WeatherZoneDialog* d) {
        wxMapPanel* map = d->m_mapPanel;
        for (size_t i = 0; i < map->m_zones.GetCount(); ++i)
            seen.codes.insert(map->m_zones[i].m_zcode);
        seen.minZoom = map->m_minZoom;
        seen.maxZoom = map->m_maxZoom;
        seen.zoom = map->m_zoom;
        seen.title = d->GetTitle();
        if (toggle && map->m_zones.GetCount() > 0) {
            WeatherZone& z = map->m_zones[0];
            seen.toggled = z.m_zcode;
            seen.wasSelected = z.m_selected;
            z.m_selected = !z.m_selected;
            z.m_changed = true;
        }
        d->EndModal(result);
    };
}

} // namespace

class TextForecastsTest : public WizardTest
{
protected:
    // Runs the wizard on the text forecasts page; `steps` acts on the page.
    void OnPage(const std::function<void(ContentWizard&, WizardPage3&)>& steps)
    {
        ContentWizard* w = MakeWizard();
        RunWizard(*w, 3, [&] {
            steps(*w, *w->m_textForecastsPage);
            if (w->IsModal())
                Cancel(*w);
        });
    }

    static wxButton* Button(WizardPage3& page, int id) { return dynamic_cast<wxButton*>(page.FindWindow(id)); }
};

TEST_F(TextForecastsTest, CoastalLoopPicksARegionAZoneAndOffersThePickerAgain)
{
    ZoneMapSeen seen;
    DialogScript script;
    script.Then<USZonesDialog>([](USZonesDialog* d) {
              EXPECT_FALSE(d->GetAreas().empty());
              EXPECT_EQ(d->GetAreas()[0].name, "West") << "the coastal face";
              d->EndModal(1);
          })
        .Then<WeatherZoneDialog>(ZoneMap(seen, wxID_OK, true))
        .End<USZonesDialog>(wxID_CANCEL);

    OnPage([&](ContentWizard& w, WizardPage3& page) {
        EXPECT_FALSE(page.GetCheckBox(WizardPage3::ID_COASTAL)->GetValue());
        Click(Button(page, WizardPage3::ID_COASTAL_MAP));
        // The second picker comes from the posted click, after the handler returned.
        EXPECT_TRUE(WaitFor([&] { return script.Done(); }));
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_COASTAL)->GetValue());
        EXPECT_FALSE(app.dlPrefs.WxForecast_Coastal) << "the box reaches the preferences when the page is left";
        Next(w);
        EXPECT_TRUE(app.dlPrefs.WxForecast_Coastal);
    });

    EXPECT_TRUE(script.Done());
    EXPECT_EQ(seen.codes, RegionCodes(Zones(), "WEST"));
    EXPECT_DOUBLE_EQ(seen.minZoom, 1.3);
    EXPECT_DOUBLE_EQ(seen.maxZoom, 7.0);
    EXPECT_EQ(seen.title, "World Chart - Click and Drag on Chart to Select Region");
    ASSERT_FALSE(seen.toggled.empty());
    EXPECT_EQ(Selected(Zones(), seen.toggled), seen.wasSelected ? 0 : 1) << "stored at once, and kept after Cancel";
}

TEST_F(TextForecastsTest, CoastalMapsLeaveOutTheOuterWaters)
{
    ZoneMapSeen east, prvi;
    DialogScript script;
    script.End<USZonesDialog>(2)
        .Then<WeatherZoneDialog>(ZoneMap(east, wxID_CANCEL, false))
        .End<USZonesDialog>(8)
        .Then<WeatherZoneDialog>(ZoneMap(prvi, wxID_CANCEL, false))
        .End<USZonesDialog>(wxID_CANCEL);
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Click(Button(page, WizardPage3::ID_COASTAL_MAP));
        EXPECT_TRUE(WaitFor([&] { return script.Done(); }));
        EXPECT_FALSE(page.GetCheckBox(WizardPage3::ID_COASTAL)->GetValue()) << "cancelled maps tick nothing";
    });
    std::set<wxString> expected = RegionCodes(Zones(), "EAST");
    ASSERT_TRUE(expected.count("ANZ070"));
    for (const wxString& outer : tw::wizard::CoastalExcludedZones())
        expected.erase(outer);
    expected.erase("LMZ080");   // listed without an outline: the map shows nothing of it
    std::set<wxString> shown = east.codes;
    shown.erase("LMZ080");
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(prvi.codes.empty());
    EXPECT_DOUBLE_EQ(prvi.minZoom, 7.0) << "region 8: both bounds 7";
    EXPECT_DOUBLE_EQ(prvi.zoom, 7.0);
}

TEST_F(TextForecastsTest, OffshoreRegionsAndCodesOutsideTheTable)
{
    ZoneMapSeen gulf;
    DialogScript script;
    script.Then<USZonesDialog>([](USZonesDialog* d) {
              EXPECT_EQ(d->GetAreas()[0].name, "West Coast") << "the offshore face";
              d->EndModal(5);
          })
        .Then<WeatherZoneDialog>(ZoneMap(gulf, wxID_OK, false))
        .End<USZonesDialog>(7);   // no offshore region: told, and the loop ends
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Click(Button(page, WizardPage3::ID_OFFSHORE_MAP));
        EXPECT_TRUE(WaitFor([&] { return script.Done() && BoxShown("Unknown Zone"); }));
        tw::test::Pump(100);
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_OFFSHORE)->GetValue()) << "accepted without a change";
    });
    EXPECT_EQ(gulf.codes, RegionCodes(Zones(), "OFFSHORE_Gulf"));
    EXPECT_FALSE(gulf.codes.empty());
    EXPECT_DOUBLE_EQ(gulf.minZoom, 1.0);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Message");
    EXPECT_EQ(script.Shown().size(), 4u) << "wizard, picker, zone map, picker: no picker after the unknown code";
}

TEST_F(TextForecastsTest, HighSeasRunsOnceOnTheWholeWorld)
{
    ZoneMapSeen seen;
    DialogScript script;
    script.Then<WeatherZoneDialog>(ZoneMap(seen, wxID_OK, true));
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Click(Button(page, WizardPage3::ID_HIGHSEAS_MAP));
        EXPECT_TRUE(script.Done());
        tw::test::Pump(100);
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_HIGHSEAS)->GetValue());
    });
    EXPECT_EQ(seen.codes, RegionCodes(Zones(), "HIGHSEAS"));
    EXPECT_EQ(seen.title, "World Chart - Ctrl-Click on Chart to Select Region");
    EXPECT_EQ(script.Shown().size(), 2u) << "no picker before or after";
    ASSERT_FALSE(seen.toggled.empty());
    EXPECT_EQ(Selected(Zones(), seen.toggled), seen.wasSelected ? 0 : 1);
}

TEST_F(TextForecastsTest, MetAreaIsTickedWhateverThePickerAnswers)
{
    DialogScript script;
    script.End<MetZonesDialog>(wxID_CANCEL);
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Click(Button(page, WizardPage3::ID_METAREA_MAP));
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_METAREA)->GetValue());
    });
}

TEST_F(TextForecastsTest, UnselectAllClearsEveryZoneAndTheFourZoneBoxes)
{
    Zones().ExecuteUpdate("UPDATE MZones SET selected = 1 WHERE rowid % 3 = 0");
    const int selectedBefore = SelectedCount(Zones());
    ASSERT_GT(selectedBefore, 0);
    OnPage([&](ContentWizard&, WizardPage3& page) {
        for (const CheckRow& row : WizardPage3::kRows)
            page.GetCheckBox(row.id)->SetValue(true);
        // No: nothing changes.
        Click(Button(page, WizardPage3::ID_UNSELECT_ZONES));
        EXPECT_TRUE(BoxShown("Deselect All Zones?"));
        EXPECT_EQ(Ui().boxes.back().caption, "Confirm Deselect All");
        EXPECT_TRUE(Ui().boxes.back().style & wxNO_DEFAULT);
        EXPECT_EQ(SelectedCount(Zones()), selectedBefore);
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_COASTAL)->GetValue());
        // Yes: every zone, and the four zone boxes only.
        AnswerBox(wxYES);
        Click(Button(page, WizardPage3::ID_UNSELECT_ZONES));
        EXPECT_EQ(SelectedCount(Zones()), 0);
        for (const CheckRow& row : WizardPage3::kRows) {
            const bool zoneKind = row.id == WizardPage3::ID_COASTAL || row.id == WizardPage3::ID_OFFSHORE
                                  || row.id == WizardPage3::ID_HIGHSEAS || row.id == WizardPage3::ID_METAREA;
            EXPECT_EQ(page.GetCheckBox(row.id)->GetValue(), !zoneKind) << row.label;
        }
    });
}

TEST_F(TextForecastsTest, ADatabaseFailureIsToldAndTheLoopGoesOn)
{
    ZoneMapSeen seen;
    DialogScript script;
    script.End<USZonesDialog>(3)
        .Then<WeatherZoneDialog>(ZoneMap(seen, wxID_OK, false))
        .End<USZonesDialog>(wxID_CANCEL);
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Zones().ExecuteUpdate("ALTER TABLE MZones RENAME TO MZonesGone");
        Click(Button(page, WizardPage3::ID_COASTAL_MAP));
        EXPECT_TRUE(WaitFor([&] { return script.Done(); }));
        Zones().ExecuteUpdate("ALTER TABLE MZonesGone RENAME TO MZones");
    });
    ASSERT_GE(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].caption, "Error");
    EXPECT_TRUE(Ui().boxes[0].message.Contains("GREAT_LAKES"));
    EXPECT_TRUE(seen.codes.empty()) << "a map without zones";
    EXPECT_TRUE(Zones().GetAutoCommit());
}

TEST_F(TextForecastsTest, AStoreThatFailsIsToldAndLeavesNoTransaction)
{
    Zones().ExecuteUpdate("CREATE TRIGGER refuse BEFORE UPDATE ON MZones BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ZoneMapSeen seen;
    DialogScript script;
    script.Then<WeatherZoneDialog>(ZoneMap(seen, wxID_OK, true));
    OnPage([&](ContentWizard&, WizardPage3& page) {
        // Ticked by an earlier selection that was stored.
        page.GetCheckBox(WizardPage3::ID_HIGHSEAS)->SetValue(true);
        Click(Button(page, WizardPage3::ID_HIGHSEAS_MAP));
        AnswerBox(wxYES);
        Click(Button(page, WizardPage3::ID_UNSELECT_ZONES));
        EXPECT_TRUE(page.GetCheckBox(WizardPage3::ID_HIGHSEAS)->GetValue()) << "a failed clear clears no box";
    });
    int errors = 0;
    for (const auto& box : Ui().boxes)
        errors += box.caption == "Error" && box.message.Contains("refused");
    EXPECT_EQ(errors, 2);
    EXPECT_TRUE(Zones().GetAutoCommit());
}

// A zone map accepted with OK whose selection the store refuses ticks no box:
// the boxes show what is stored.
TEST_F(TextForecastsTest, AZoneSelectionThatIsNotStoredTicksNothing)
{
    Zones().ExecuteUpdate("CREATE TRIGGER refuse BEFORE UPDATE ON MZones BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ZoneMapSeen seen;
    DialogScript script;
    script.Then<WeatherZoneDialog>(ZoneMap(seen, wxID_OK, true));
    OnPage([&](ContentWizard&, WizardPage3& page) {
        Click(Button(page, WizardPage3::ID_HIGHSEAS_MAP));
        EXPECT_TRUE(script.Done());
        tw::test::Pump(50);
        EXPECT_FALSE(page.GetCheckBox(WizardPage3::ID_HIGHSEAS)->GetValue());
    });
    int errors = 0;
    for (const auto& box : Ui().boxes)
        errors += box.caption == "Error";
    EXPECT_EQ(errors, 1);
    ASSERT_FALSE(seen.toggled.empty());
    EXPECT_EQ(Selected(Zones(), seen.toggled), seen.wasSelected ? 1 : 0) << "nothing stored";
}
