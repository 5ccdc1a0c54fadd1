// The engine's frame under Xvfb: how it is made, and Process on the
// application's own databases, preferences and home.
#include <gtest/gtest.h>

#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "Oracle.h"
#include "SuggestFixture.h"
#include "app/tidewrightapp.h"
#include "windows/wizard/processwizardsettings.h"

namespace tw::test {
namespace {

// Puts the copies, preferences and home into the application object for
// the lifetime of the object.
class AppState
{
public:
    // The application owns its handles; the copies are lent to it and taken
    // back before its own come back.
    explicit AppState(SeedCopies& dbs)
        : m_app(wxGetApp()), m_prefs(m_app.dlPrefs), m_home(m_app.homePosition),
          m_dbs{m_app.productDb.release(), m_app.userDb.release(), m_app.marineZonesDb.release()}
    {
        m_app.productDb.reset(&dbs.catalogue);
        m_app.userDb.reset(&dbs.user);
        m_app.marineZonesDb.reset(&dbs.zones);
    }
    ~AppState()
    {
        m_app.dlPrefs = m_prefs;
        m_app.homePosition = m_home;
        m_app.productDb.release();
        m_app.userDb.release();
        m_app.marineZonesDb.release();
        m_app.productDb.reset(m_dbs[0]);
        m_app.userDb.reset(m_dbs[1]);
        m_app.marineZonesDb.reset(m_dbs[2]);
    }

private:
    TidewrightApp& m_app;
    DLPrefs m_prefs;
    HomePosition m_home;
    wxSQLite3Database* m_dbs[3];
};

TEST(ProcessWizardSettingsFrame, IsAFrameWithOneLogControl)
{
    auto* portal = new wxFrame(nullptr, wxID_ANY, "Portal", wxPoint(100, 100), wxSize(1000, 726));
    auto* frame = new ProcessWizardSettings(portal);
    EXPECT_EQ(frame->GetId(), 10311);
    EXPECT_EQ(frame->GetTitle(), "ProcessWizardSettings");
    EXPECT_EQ(frame->GetName(), "frame");
    EXPECT_EQ(frame->GetParent(), portal);
    EXPECT_EQ(frame->GetSize(), wxSize(400, 300));
    const long style = frame->GetWindowStyleFlag();
    for (long flag : {wxCAPTION, wxSYSTEM_MENU, wxCLOSE_BOX, wxRESIZE_BORDER})
        EXPECT_TRUE(style & flag) << flag;
    EXPECT_FALSE(style & wxMINIMIZE_BOX);
    ASSERT_EQ(frame->GetChildren().GetCount(), 1u);
    auto* log = dynamic_cast<wxTextCtrl*>(frame->GetChildren().GetFirst()->GetData());
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log, frame->m_logText);
    EXPECT_EQ(log->GetId(), 10372);
    EXPECT_TRUE(log->IsMultiLine());
    EXPECT_EQ(log->GetValue(), "");
    EXPECT_FALSE(frame->IsShown());
    EXPECT_TRUE(ProcessWizardSettings::ShowToolTips());
    EXPECT_FALSE(frame->GetBitmapResource("anything").IsOk());
    EXPECT_FALSE(frame->GetIconResource("anything").IsOk());
    // Centred on its parent.
    const wxRect p = portal->GetRect(), f = frame->GetRect();
    EXPECT_NEAR(f.GetLeft() + f.GetWidth() / 2, p.GetLeft() + p.GetWidth() / 2, 2);

    // Made by class name too.
    wxObject* made = wxCreateDynamicObject("ProcessWizardSettings");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<ProcessWizardSettings*>(made)->m_logText, nullptr);
    delete made;
    portal->Destroy();
    Pump();
}

TEST(ProcessWizardSettingsFrame, ProcessRewritesTheWizardBatch)
{
    SeedCopies dbs;
    AppState state(dbs);
    TidewrightApp& app = wxGetApp();
    Exec(dbs.zones, "UPDATE MZones SET selected = 1 WHERE zcode = 'PHZ113'");
    app.homePosition = HomePosition(21.3, -157.9, 20);
    app.dlPrefs.WxForecast_Coastal = true;
    app.dlPrefs.Satellite_Visible = true;
    app.dlPrefs.Satellite_Radar = true;
    app.dlPrefs.Satellite_CityRecID = 901;
    app.dlPrefs.OceanData_Tides = true;

    auto* portal = new wxFrame(nullptr, wxID_ANY, "Portal", wxPoint(100, 100), wxSize(1000, 726));
    portal->Show();
    auto* frame = new ProcessWizardSettings(portal);
    frame->Show();
    const SuggestionOutcome out = frame->Process(true);
    ASSERT_TRUE(out.committed) << out.error;
    const BatchRows rows = ReadBatch(dbs.user);
    const OracleWorld world = LoadWorld(dbs.catalogue, dbs.zones);
    EXPECT_EQ(rows, Expected(world, app.dlPrefs, app.homePosition, false, {}));
    EXPECT_EQ(IdSet(rows).count("radx01"), 1u);
    EXPECT_EQ(IdSet(rows).count("czphz113"), 1u);
    EXPECT_TRUE(Ui().boxes.empty());

    const wxString log = frame->m_logText->GetValue();
    EXPECT_TRUE(log.StartsWith("Home Location: 21.30:-157.90 Box: 20\nLocationWHERE:\n")) << log;
    EXPECT_TRUE(log.EndsWith("FINISHED\n"));
    Pump(100);
    Screenshot(frame, wxFileName::GetTempDir() + "/tw-process-wizard-settings.png");

    // Without the log: the same batch, the log control untouched; the
    // preferences in memory count, not the settings file.
    app.dlPrefs.Satellite_Radar = false;
    const SuggestionOutcome quiet = frame->Process(false);
    ASSERT_TRUE(quiet.committed);
    EXPECT_EQ(frame->m_logText->GetValue(), log);
    EXPECT_EQ(IdSet(ReadBatch(dbs.user)).count("radx01"), 0u);

    // Nothing chosen: one box, as the program shows boxes.
    app.dlPrefs = DLPrefs();
    Exec(dbs.zones, "UPDATE MZones SET selected = 0");
    frame->Process(true);
    ASSERT_EQ(Ui().boxes.size(), 1u);
    EXPECT_EQ(Ui().boxes[0].message, "No products were found matching your preferences");
    EXPECT_EQ(Ui().boxes[0].caption, "Message");
    EXPECT_EQ(Ui().boxes[0].style, wxOK | wxCENTRE);
    EXPECT_TRUE(ReadBatch(dbs.user).empty());
    // The log only grows.
    EXPECT_TRUE(frame->m_logText->GetValue().StartsWith(log));
    portal->Destroy();
    Pump();
}

} // namespace
} // namespace tw::test
