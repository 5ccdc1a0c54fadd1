// The check-box pages and the content preferences page: each page shows the
// download preferences it loaded, and its leaving copy (forwards, backwards,
// by the strip, by Finish) puts what the controls show back into them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <wx/stattext.h>
#include <wx/generic/stattextg.h>

#include "WizardFixtures.h"
#include "support/EnvGuard.h"
#include "windows/common/PictureButton.h"
#include "windows/wizard/WizardRules.h"
#include "windows/wizard/contentpages.h"
#include "windows/wizard/preferencespage.h"
#include "windows/wizard/textforecastspage.h"
#include "windows/wizard/wizardnavigator.h"

using namespace wizard_test;
using tw::wizard::CheckRow;

namespace {

struct CheckPage {
    int number;
    const CheckRow* rows;
    size_t count;
};

const CheckPage kCheckPages[] = {
    {1, WizardPage1::kRows, 10}, {2, WizardPage2::kRows, 7}, {3, WizardPage3::kRows, 10},
    {4, WizardPage4::kRows, 6},  {6, WizardPage6::kRows, 8}, {7, WizardPage7::kRows, 8},
};

wxCheckBox* Box(wxWindow* page, int id)
{
    return dynamic_cast<wxCheckBox*>(page->FindWindow(id));
}

enum class Leave { Forward, Backward, Strip, Finish };

// Leaves the current page the given way.
void LeaveBy(ContentWizard& w, Leave how)
{
    auto* page = static_cast<ContentWizardPage*>(w.GetCurrentPage());
    switch (how) {
    case Leave::Forward: Next(w); break;
    case Leave::Backward: Back(w); break;
    case Leave::Strip: {
        // The strip's button of another page.
        const int other = page->GetPageNumber() == 5 ? 6 : 5;
        Click(page->GetNavigator()->GetPageButton(other));
        break;
    }
    case Leave::Finish: Click(page->GetFinishButton()); break;
    }
}

// Where a run starts so that the page can be left that way: Back is off on
// the page a run starts from, so leaving backwards starts one page earlier.
int StartFor(int page, Leave how)
{
    if (how != Leave::Backward)
        return page;
    const int previous = tw::wizard::PageNumberAtPlace(tw::wizard::PlaceOfPageNumber(page) - 1);
    return previous == 0 ? 13 : previous;   // 13: the welcome page
}

} // namespace

class PagesTest : public WizardTest
{
};

TEST_F(PagesTest, CheckBoxPagesShowTheirPreferencesAndCopyThemBackHoweverLeft)
{
    for (const CheckPage& p : kCheckPages) {
        for (Leave how : {Leave::Forward, Leave::Backward, Leave::Strip, Leave::Finish}) {
            SCOPED_TRACE(testing::Message() << "page " << p.number << " leave " << int(how));
            app.dlPrefs = DLPrefs();
            for (size_t i = 0; i < p.count; ++i)
                app.dlPrefs.*(p.rows[i].field) = i % 3 == 0;
            ContentWizard* w = MakeWizard();
            ContentWizardPage* page = w->GetPage(p.number);
            // A shown box is flipped; a carried one keeps its value.
            auto expectStored = [&] {
                for (size_t i = 0; i < p.count; ++i) {
                    const CheckRow& row = p.rows[i];
                    const bool shown = row.id != 0 && Box(page, row.id)->IsShown();
                    EXPECT_EQ(app.dlPrefs.*(row.field), shown ? i % 3 != 0 : i % 3 == 0)
                        << (row.label ? row.label : "carried");
                }
            };
            const bool finished = RunWizard(*w, StartFor(p.number, how), [&] {
                if (how == Leave::Backward)
                    Next(*w);   // the first page of a run has no Back
                ASSERT_EQ(w->GetCurrentPage(), page);
                for (size_t i = 0; i < p.count; ++i) {
                    const CheckRow& row = p.rows[i];
                    if (row.id == 0 || !Box(page, row.id)->IsShown())
                        continue;
                    EXPECT_EQ(Box(page, row.id)->GetValue(), i % 3 == 0) << row.label;
                    Box(page, row.id)->SetValue(i % 3 != 0);
                }
                LeaveBy(*w, how);
                if (w->IsModal()) {
                    expectStored();
                    Cancel(*w);
                }
            });
            EXPECT_EQ(finished, how == Leave::Finish);
            if (finished) {
                expectStored();
                EXPECT_TRUE(HasSetting("GRIB/Wind")) << "committed";
            }
        }
    }
}

TEST_F(PagesTest, LeavingByAnyWayCopiesThePageBeforeTheNextPageShows)
{
    // What the leaving copy stored is visible while the wizard still runs.
    for (Leave how : {Leave::Forward, Leave::Backward, Leave::Strip}) {
        SCOPED_TRACE(int(how));
        app.dlPrefs = DLPrefs();
        ContentWizard* w = MakeWizard();
        RunWizard(*w, StartFor(2, how), [&] {
            if (how == Leave::Backward)
                Next(*w);
            Box(w->m_chartsPage, 10174)->SetValue(true);   // Sea State
            LeaveBy(*w, how);
            EXPECT_NE(w->GetCurrentPage(), w->m_chartsPage);
            EXPECT_TRUE(app.dlPrefs.WxChart_SeaState);
            EXPECT_EQ(w->m_chartsPage->GetNavigator()->GetMarkedPage(), 2) << "its strip marks it again";
            Cancel(*w);
        });
        EXPECT_FALSE(app.dlPrefs.WxChart_SeaState) << "and Cancel gives it back";
    }
}

TEST_F(PagesTest, AllSetsTheOtherBoxesOnTheScreenOnly)
{
    struct Case {
        int page;
        int all;
        std::vector<int> followers;
        std::vector<int> untouched;
    } cases[] = {
        {1, 10168, {10160, 10161, 10253, 10162, 10165, 10163, 10164, 10167, 10166}, {}},
        {2, 10177, {10171, 10172, 10173, 10174, 10175, 10176}, {}},
        {3, 10190, {10179, 10180, 10181, 10178, 10184, 10186, 10005, 10188, 10189}, {}},
        {4, 10198, {10192, 10193, 10194, 10195, 10196}, {}},
        {6, 10207, {10203, 10375, 10202, 10206, 10283, 10205}, {10286}},   // reports: race edition only
        {7, 10216, {10209, 10210, 10204, 10212, 10213, 10215}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        app.dlPrefs = DLPrefs();
        ContentWizard* w = MakeWizard();
        ContentWizardPage* page = w->GetPage(c.page);
        RunWizard(*w, c.page, [&] {
            Tick(Box(page, c.all), true);
            for (int id : c.followers)
                EXPECT_TRUE(Box(page, id)->GetValue()) << id;
            for (int id : c.untouched)
                EXPECT_FALSE(Box(page, id)->GetValue()) << id;
            // A follower cleared by hand leaves All as it is.
            Tick(Box(page, c.followers[0]), false);
            EXPECT_TRUE(Box(page, c.all)->GetValue());
            Next(*w);
            // Back again: All cleared clears every follower, ticked before or not.
            Back(*w);
            Tick(Box(page, c.all), false);
            for (int id : c.followers)
                EXPECT_FALSE(Box(page, id)->GetValue()) << id;
            Cancel(*w);
        });
    }
}

TEST_F(PagesTest, AfterTickingAllTheOtherBoxesAndAllAreStoredAsShown)
{
    ContentWizard* w = MakeWizard();
    RunWizard(*w, 1, [&] {
        Tick(Box(w->m_gribPage, 10168), true);
        Tick(Box(w->m_gribPage, 10160), false);   // Wind
        Next(*w);
        EXPECT_TRUE(app.dlPrefs.GRIB_All);
        EXPECT_FALSE(app.dlPrefs.GRIB_Wind);
        EXPECT_TRUE(app.dlPrefs.GRIB_Waves);
        Cancel(*w);
    });
}

TEST_F(PagesTest, OceanPositionReportsAreForTheRaceEditionOnly)
{
    for (bool race : {false, true}) {
        SCOPED_TRACE(race);
        tw::test::TempDir resources;
        tw::test::EnvGuard env;
        if (race) {
            ASSERT_TRUE(tw::test::WriteFile(resources / "Tidewright.conf", "[Default]\nevt=2002\nevn=Blue Water\n"));
            for (const char* folder : {"res", "Icons"})
                ASSERT_EQ(symlink((tw::test::ResourcesDir() + "/" + folder).fn_str(),
                                  (resources / folder).fn_str()),
                          0);
            env.Set("TIDEWRIGHT_RESOURCES", resources.Path());
        }
        app.dlPrefs = DLPrefs();
        app.dlPrefs.OceanData_PositionReports = true;
        ContentWizard* w = MakeWizard();
        WizardPage6* ocean = w->m_oceanPage;
        RunWizard(*w, 6, [&] {
            wxCheckBox* reports = Box(ocean, WizardPage6::ID_POSITION_REPORTS);
            EXPECT_EQ(reports->IsShown(), race);
            EXPECT_TRUE(reports->GetValue());
            Tick(Box(ocean, WizardPage6::ID_OCEANDATA_ALL), true);
            Tick(Box(ocean, WizardPage6::ID_OCEANDATA_ALL), false);
            EXPECT_EQ(reports->GetValue(), !race) << "All reaches it only in the race edition";
            Back(*w);
            EXPECT_EQ(app.dlPrefs.OceanData_PositionReports, !race);
            Cancel(*w);
        });
    }
}

TEST_F(PagesTest, GribPeriodIsTheChoiceIndexAndAStrangeOneIsKept)
{
    struct Case {
        int stored;
        int shown;    // wxNOT_FOUND: none
        int chosen;   // -1: leave it
        int expected;
    } cases[] = {{0, 0, 6, 6}, {3, 3, 0, 0}, {3, 3, -1, 3}, {9, wxNOT_FOUND, -1, 9}, {-2, wxNOT_FOUND, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        app.dlPrefs = DLPrefs();
        app.dlPrefs.GRIB_Days = c.stored;
        ContentWizard* w = MakeWizard();
        RunWizard(*w, 1, [&] {
            wxChoice* days = w->m_gribPage->GetDaysChoice();
            EXPECT_EQ(days->GetSelection(), c.shown);
            if (c.chosen >= 0)
                days->SetSelection(c.chosen);
            EXPECT_EQ(days->GetString(6), "7 days");
            Next(*w);
            EXPECT_EQ(app.dlPrefs.GRIB_Days, c.expected);
            Cancel(*w);
        });
    }
}

TEST_F(PagesTest, ThePeriodPromptJumpsToTextForecastsWithTheAnswersStored)
{
    ContentWizard* w = MakeWizard();
    RunWizard(*w, 1, [&] {
        Box(w->m_gribPage, 10162)->SetValue(true);   // Surface Pressure, just before the click
        w->m_gribPage->GetDaysChoice()->SetSelection(4);
        wxMouseEvent click(wxEVT_LEFT_DOWN);
        click.SetEventObject(w->m_gribPage->GetPeriodPrompt());
        w->m_gribPage->GetPeriodPrompt()->GetEventHandler()->ProcessEvent(click);
        EXPECT_EQ(w->GetCurrentPage(), w->m_textForecastsPage);
        EXPECT_TRUE(app.dlPrefs.GRIB_SurfacePressure);
        EXPECT_EQ(app.dlPrefs.GRIB_Days, 4);
        Cancel(*w);
    });
}

TEST_F(PagesTest, SatelliteCityStoresItsPositionOnlyWhenOneIsChosen)
{
    struct Case {
        const char* what;
        int stored;
        int choose;   // -1: leave the choice
        bool emptyList;
        bool moves;
    } cases[] = {
        {"default index: the first city", 0, -1, false, true},
        {"a chosen city", 0, 5, false, true},
        {"stored index beyond the list", 500, -1, false, false},
        {"no list at all", 0, -1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.emptyList)
            Zones().ExecuteUpdate("DELETE FROM RadarCities WHERE RadarType = 'NEXRAD'");
        app.dlPrefs = DLPrefs();
        app.dlPrefs.Satellite_City = c.stored;
        app.dlPrefs.Satellite_CityLat = 11.0;
        app.dlPrefs.Satellite_CityLon = 22.0;
        app.dlPrefs.Satellite_CityRecID = 33;
        ContentWizard* w = MakeWizard();
        const bool finished = RunWizard(*w, 4, [&] {
            wxChoice* city = w->m_satellitePage->GetCityChoice();
            EXPECT_EQ(city->GetCount(), w->m_nexradNames.size());
            const bool listed = c.stored < static_cast<int>(w->m_nexradNames.size());
            EXPECT_EQ(city->GetSelection(), listed ? c.stored : wxNOT_FOUND);
            if (c.choose >= 0)
                city->SetSelection(c.choose);
            Click(w->m_satellitePage->GetFinishButton());
        });
        EXPECT_TRUE(finished);
        const DLPrefs& prefs = app.dlPrefs;
        if (c.moves) {
            const int index = c.choose >= 0 ? c.choose : 0;
            EXPECT_EQ(prefs.Satellite_City, index);
            EXPECT_DOUBLE_EQ(prefs.Satellite_CityLat, w->m_nexradPositions[index].m_lat);
            EXPECT_DOUBLE_EQ(prefs.Satellite_CityLon, w->m_nexradPositions[index].m_lon);
            EXPECT_EQ(prefs.Satellite_CityRecID, w->m_nexradPositions[index].ID);
        } else {
            EXPECT_EQ(prefs.Satellite_City, c.stored);
            EXPECT_DOUBLE_EQ(prefs.Satellite_CityLat, 11.0);
            EXPECT_DOUBLE_EQ(prefs.Satellite_CityLon, 22.0);
            EXPECT_EQ(prefs.Satellite_CityRecID, 33);
        }
    }
}

TEST_F(PagesTest, PreferencesPageCarriesAll66Preferences)
{
    using P = WizardPage0;
    // Every matrix preference and every radio seed, set to a pattern.
    std::vector<std::pair<bool DLPrefs::*, int>> cells;   // field, check box id (0: carried)
    for (const auto& row : P::kGribRows)
        for (const auto& cell : row.cells)
            if (cell.field)
                cells.push_back({cell.field, cell.id});
    for (const auto& row : P::kOceanRows)
        for (const auto& cell : row.cells)
            if (cell.field)
                cells.push_back({cell.field, cell.id});
    ASSERT_EQ(cells.size(), 63u);
    size_t boxes = 0;
    for (const auto& c : cells)
        boxes += c.second != 0;
    EXPECT_EQ(boxes, 52u);

    for (size_t i = 0; i < cells.size(); ++i)
        app.dlPrefs.*(cells[i].first) = i % 2 == 0;
    app.dlPrefs.WizPrefs_GRIBRes = false;
    app.dlPrefs.WizPrefs_Background = true;
    app.dlPrefs.WizPrefs_IncludeAnimations = false;

    ContentWizard* w = MakeWizard();
    P* page = w->m_preferencesPage;
    RunWizard(*w, 10, [&] {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (!cells[i].second)
                continue;
            wxCheckBox* box = Box(page, cells[i].second);
            ASSERT_NE(box, nullptr) << cells[i].second;
            EXPECT_EQ(box->GetValue(), i % 2 == 0) << cells[i].second;
            box->SetValue(i % 2 != 0);
        }
        EXPECT_TRUE(page->GetRadio(10255)->GetValue()) << "Low";
        EXPECT_TRUE(page->GetRadio(10256)->GetValue()) << "Color";
        EXPECT_TRUE(page->GetRadio(10259)->GetValue()) << "No";
        page->GetRadio(10254)->SetValue(true);   // High
        page->GetRadio(10257)->SetValue(true);   // Black/White
        Back(*w);
        Cancel(*w);
    });
    // Cancel gave them back: run again and leave by Finish.
    ContentWizard* again = MakeWizard();
    P* page2 = again->m_preferencesPage;
    const bool finished = RunWizard(*again, 10, [&] {
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i].second)
                Box(page2, cells[i].second)->SetValue(i % 2 != 0);
        page2->GetRadio(10254)->SetValue(true);
        page2->GetRadio(10257)->SetValue(true);
        page2->GetRadio(10258)->SetValue(true);
        Click(page2->GetFinishButton());
    });
    ASSERT_TRUE(finished);
    for (size_t i = 0; i < cells.size(); ++i) {
        const bool carried = cells[i].second == 0;
        EXPECT_EQ(app.dlPrefs.*(cells[i].first), carried ? i % 2 == 0 : i % 2 != 0) << i;
    }
    EXPECT_TRUE(app.dlPrefs.WizPrefs_GRIBRes);
    EXPECT_FALSE(app.dlPrefs.WizPrefs_Background);
    EXPECT_TRUE(app.dlPrefs.WizPrefs_IncludeAnimations);

    // The odd key keeps its comma on disk and reads back the same.
    EXPECT_TRUE(HasSetting("WizPrefs/GRIB_Wind_Continent,"));
    EXPECT_EQ(DLPrefs().WizPrefs_GRIB_Wind_Continent, app.dlPrefs.WizPrefs_GRIB_Wind_Continent);
}
