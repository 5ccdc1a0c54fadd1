// The connection settings dialog, run modally under Xvfb and driven through
// its controls.
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/socket.h>
#include <wx/textctrl.h>
#include <wx/wxsqlite3.h>

#include "core/Registry.h"
#include "app/tidewrightapp.h"
#include "support/DialerSim.h"
#include "windows/transfer/connsettings.h"

using tw::test::DialerSim;
using tw::test::WaitFor;

namespace {

class ConnSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
        // A read-only copy of the seed catalogue stands in for the open one.
        const wxString copy = dir / "zir.db";
        ASSERT_TRUE(wxCopyFile(tw::test::ResourcesDir() + "/zir.db", copy));
        app.productDb = std::make_unique<wxSQLite3Database>();
        app.productDb->Open(copy, wxString(), WXSQLITE_OPEN_READONLY);
        app.dialerVersionKnown = false;
        app.dialerVersion = 3.76;
    }
    void TearDown() override
    {
        app.TerminateAutodialerStatus();
        app.CloseDatabases();
    }

    // Stores the settings the dialog is to show.
    void Store(const std::function<void(CRegistry&)>& change)
    {
        CRegistry settings;
        sim.Configure(settings);
        change(settings);
        settings.WriteInfo();
    }

    // Runs the dialog modally; `act` runs while it is shown, and must end it.
    int RunModal(ConnSettings& dialog, const std::function<void(ConnSettings&)>& act)
    {
        dialog.CallAfter([&dialog, act] {
            tw::test::Pump(50);
            act(dialog);
            if (dialog.IsModal())
                dialog.EndModal(wxID_ABORT);   // the test forgot to end it
        });
        return dialog.ShowModal(false);
    }

    static void Click(ConnSettings& dialog, int id)
    {
        wxWindow* button = dialog.FindWindow(id);
        ASSERT_NE(button, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    static void Choose(wxChoice* choice, int index)
    {
        choice->SetSelection(index);
        wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
        event.SetEventObject(choice);
        event.SetInt(index);
        choice->GetEventHandler()->ProcessEvent(event);
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    DialerSim sim;
    TidewrightApp& app = wxGetApp();
};

} // namespace

TEST_F(ConnSettingsTest, FieldsShowTheSettingsAndTheCatalogueLists)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "skipper";
        s.m_gatewayInfo.password = "pa ss";
        s.m_gatewayInfo.gateway = "sat.tidewright.net";
        s.m_gatewayPort = 8080;
        s.m_connectionTimeout = 45;
        s.m_xferTimeout = 20;
        s.m_dunInfo.connection = "MSAT Dialer";
    });
    ConnSettings dialog(nullptr, app.GetProductDb());
    EXPECT_EQ(dialog.GetId(), 10093);
    EXPECT_EQ(dialog.m_userName->GetValue(), "skipper");
    EXPECT_EQ(dialog.m_password->GetValue(), "pa ss");
    EXPECT_EQ(dialog.m_connectionTimeout->GetValue(), "45");
    EXPECT_EQ(dialog.m_xferTimeout->GetValue(), "20");

    ASSERT_EQ(dialog.m_gateway->GetCount(), 4u);
    EXPECT_EQ(dialog.m_gateway->GetString(0), "gateway.tidewright.net");
    EXPECT_EQ(dialog.m_gateway->GetString(3), "localhost");
    EXPECT_EQ(dialog.m_gateway->GetSelection(), 2);

    ASSERT_EQ(dialog.m_port->GetCount(), 5u);
    EXPECT_EQ(dialog.m_port->GetString(0), "443");
    EXPECT_EQ(dialog.m_port->GetStringSelection(), "8080");

    EXPECT_EQ(dialog.m_connectionType->GetCount(), 3u);
    EXPECT_EQ(dialog.m_connectionType->GetStringSelection(), "MSAT Dialer");
    EXPECT_EQ(dialog.m_connectionType->GetToolTipText(),
              "Connection for Westinghouse/Mitsubishi/G2 and 'Push-To-Talk' users.");
    EXPECT_TRUE(dialog.m_configureDialer->IsEnabled());
    // A dialer type asks the dialer for its version.
    EXPECT_TRUE(sim.WaitForRequest("version"));
    EXPECT_TRUE(WaitFor([&] { return app.dialerVersionKnown; }));

    const int result = RunModal(dialog, [](ConnSettings& d) {
        const wxString shot = wxString(TIDEWRIGHT_TEST_BINARY_DIR) + "/screens/connsettings.png";
        wxFileName::Mkdir(wxFileName(shot).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        tw::test::Screenshot(&d, shot);
        Click(d, ConnSettings::ID_CANCEL);
    });
    EXPECT_EQ(result, wxID_CANCEL);
}

TEST_F(ConnSettingsTest, OkWritesTheEdits)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "old";
        s.m_gatewayInfo.password = "old";
        s.m_dunInfo.connection = "Network Connection";
        s.m_readme = "kept";
    });
    ConnSettings dialog(nullptr, app.GetProductDb());
    // A direct connection needs no dialer.
    EXPECT_FALSE(dialog.m_configureDialer->IsEnabled());
    tw::test::Pump(100);
    EXPECT_EQ(sim.Count("<connect>"), 0);

    const int result = RunModal(dialog, [&](ConnSettings& d) {
        d.m_userName->SetValue("mariner");
        d.m_password->SetValue("s3cret pass");
        d.m_gateway->SetSelection(1);
        d.m_port->SetStringSelection("80");
        d.m_connectionTimeout->SetValue("45 seconds");
        d.m_xferTimeout->SetValue("90");
        Choose(d.m_connectionType, 1);
        EXPECT_TRUE(d.m_configureDialer->IsEnabled());
        EXPECT_EQ(d.m_connectionType->GetToolTipText(),
                  "Use satellite dialer to manage network, satellite or Bandwick connections.");
        EXPECT_TRUE(sim.WaitForRequest("version"));
        Click(d, ConnSettings::ID_OK);
    });
    EXPECT_EQ(result, wxID_OK);

    CRegistry stored;
    EXPECT_EQ(stored.m_gatewayInfo.username, "mariner");
    EXPECT_EQ(stored.m_gatewayInfo.password, "s3cret pass");
    EXPECT_EQ(stored.m_gatewayInfo.gateway, "gateway2.tidewright.net");
    EXPECT_EQ(stored.m_gatewayPort, 80);
    EXPECT_EQ(stored.m_connectionTimeout, 45);
    EXPECT_EQ(stored.m_xferTimeout, 90);
    EXPECT_EQ(stored.m_dunInfo.connection, "Dezavuviv Odirir");
    EXPECT_EQ(stored.m_readme, "kept");
    EXPECT_EQ(stored.m_autodialPort, sim.Port());
}

TEST_F(ConnSettingsTest, ValuesOutsideTheListsAndEmptyFields)
{
    const struct {
        const char* name;
        const char* gatewayTyped;      // null: leave the field as loaded
        const char* connectionTimeout;
        const char* xferTimeout;
        const char* gateway;           // stored afterwards
        int connection;
        int xfer;
    } cases[] = {
        {"kept as loaded", nullptr, "30", "15", "my.own.host", 30, 15},
        {"emptied gateway", "", "30", "15", "", 30, 15},
        {"typed gateway", "relay.example.org", "30", "15", "relay.example.org", 30, 15},
        // A time-out of 0 or no number at all would make every connection
        // fail at once: the usual value is stored instead.
        {"zero time-outs", nullptr, "0", "0", "my.own.host", 60, 30},
        {"letters only", nullptr, "abc", "-5", "my.own.host", 60, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store([](CRegistry& s) {
            s.m_gatewayInfo.gateway = "my.own.host";
            s.m_gatewayPort = 4444;
            s.m_dunInfo.connection = "Satellite Phone";
        });
        ConnSettings dialog(nullptr, app.GetProductDb());
        EXPECT_EQ(dialog.m_gateway->GetSelection(), wxNOT_FOUND);
        EXPECT_EQ(dialog.m_gateway->GetValue(), "my.own.host");
        EXPECT_EQ(dialog.m_port->GetSelection(), wxNOT_FOUND);
        EXPECT_EQ(dialog.m_port->GetValue(), "4444") << "a port not in the list shows as it is";
        // An unknown connection type selects nothing and leaves the button on.
        EXPECT_EQ(dialog.m_connectionType->GetSelection(), wxNOT_FOUND);
        EXPECT_TRUE(dialog.m_configureDialer->IsEnabled());

        EXPECT_EQ(RunModal(dialog,
                           [&](ConnSettings& d) {
                               if (c.gatewayTyped)
                                   d.m_gateway->SetValue(c.gatewayTyped);
                               d.m_connectionTimeout->SetValue(c.connectionTimeout);
                               d.m_xferTimeout->SetValue(c.xferTimeout);
                               Click(d, ConnSettings::ID_OK);
                           }),
                  wxID_OK);
        CRegistry stored;
        EXPECT_EQ(stored.m_gatewayInfo.gateway, c.gateway);
        EXPECT_EQ(stored.m_gatewayPort, 4444);
        EXPECT_EQ(stored.m_connectionTimeout, c.connection);
        EXPECT_EQ(stored.m_xferTimeout, c.xfer);
        EXPECT_EQ(stored.m_dunInfo.connection, "Satellite Phone");
    }
}

// "Port #" shows the stored port whatever it is, offers the catalogue's
// ports and takes any typed port from 1 to 65535; anything else is refused
// with a message, the dialog stays open and nothing is written.
TEST_F(ConnSettingsTest, PortFieldShowsAndTakesAnyValidPort)
{
    const struct {
        const char* typed;   // null: choose the list's second entry
        int stored;          // 0: refused
    } cases[] = {
        {nullptr, 80}, {"5057", 5057}, {"8443", 8443}, {" 2525 ", 2525}, {"1", 1}, {"65535", 65535},
        {"0", 0}, {"65536", 0}, {"-80", 0}, {"+80", 0}, {"80x", 0}, {"abc", 0}, {"", 0}, {"99999999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "(list)");
        Store([](CRegistry& s) { s.m_gatewayPort = 31337; });
        const std::string before = tw::test::ReadFile(CRegistry::UserFileName());
        tw::test::ResetUi();
        ConnSettings dialog(nullptr, app.GetProductDb());
        EXPECT_EQ(dialog.m_port->GetValue(), "31337");
        ASSERT_EQ(dialog.m_port->GetCount(), 5u) << "the presets stay in the list";
        bool stayedOpen = false;
        const int result = RunModal(dialog, [&](ConnSettings& d) {
            if (c.typed)
                d.m_port->SetValue(c.typed);
            else
                d.m_port->SetSelection(1);
            Click(d, ConnSettings::ID_OK);
            stayedOpen = d.IsModal();
            if (stayedOpen)
                Click(d, ConnSettings::ID_CANCEL);
        });
        if (c.stored) {
            EXPECT_EQ(result, wxID_OK);
            EXPECT_TRUE(tw::test::Ui().boxes.empty());
            EXPECT_EQ(CRegistry().m_gatewayPort, c.stored);
        } else {
            EXPECT_TRUE(stayedOpen);
            EXPECT_EQ(result, wxID_CANCEL);
            ASSERT_EQ(tw::test::Ui().boxes.size(), 1u);
            EXPECT_TRUE(tw::test::Ui().boxes[0].message.Contains(ConnSettings::kPortRefused));
            EXPECT_EQ(tw::test::ReadFile(CRegistry::UserFileName()), before) << "nothing written";
        }
    }
}

TEST_F(ConnSettingsTest, CancelWritesNothing)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "skipper";
        s.m_gatewayPort = 443;
    });
    const std::string before = tw::test::ReadFile(CRegistry::UserFileName());
    ASSERT_FALSE(before.empty());

    ConnSettings dialog(nullptr, app.GetProductDb());
    EXPECT_EQ(RunModal(dialog,
                       [&](ConnSettings& d) {
                           d.m_userName->SetValue("someone else");
                           d.m_port->SetSelection(4);
                           d.m_gateway->SetValue("elsewhere");
                           Choose(d.m_connectionType, 2);
                           Click(d, ConnSettings::ID_CANCEL);
                       }),
              wxID_CANCEL);
    EXPECT_EQ(tw::test::ReadFile(CRegistry::UserFileName()), before);
}

TEST_F(ConnSettingsTest, MissingTablesAreLoggedAndTheDialogStillOpens)
{
    std::unique_ptr<wxSQLite3Database> catalogue = std::move(app.productDb);
    app.productDb = std::make_unique<wxSQLite3Database>();
    app.productDb->Open(dir / "empty.db");
    ConnSettings dialog(nullptr, app.GetProductDb());
    app.CloseDatabases();
    app.productDb = std::move(catalogue);
    EXPECT_TRUE(tw::test::LogContains("SQL 'hosts' query error '"));
    EXPECT_TRUE(tw::test::LogContains("SQL 'ports' query error '"));
    EXPECT_EQ(dialog.m_gateway->GetCount(), 0u);
    EXPECT_EQ(dialog.m_port->GetCount(), 0u);
    EXPECT_EQ(dialog.m_gateway->GetValue(), CRegistry().m_gatewayInfo.gateway);
    EXPECT_EQ(RunModal(dialog, [](ConnSettings& d) { Click(d, ConnSettings::ID_CANCEL); }), wxID_CANCEL);
}

TEST_F(ConnSettingsTest, EventEditionKeepsTheAccount)
{
    Store([](CRegistry& s) {
        s.m_gatewayInfo.username = "racer";
        s.m_gatewayInfo.password = "fleet";
    });
    // An installation whose defaults file names the race edition.
    tw::test::TempDir resources;
    ASSERT_TRUE(tw::test::WriteFile(resources / "Tidewright.conf", "[Default]\nevt=2002\nevn=Blue Water\n"));
    tw::test::ScopedEnv env("TIDEWRIGHT_RESOURCES", resources.Path());
    ASSERT_TRUE(TidewrightApp::IsInstalledEventVersion());

    ConnSettings dialog(nullptr, app.GetProductDb());
    EXPECT_EQ(RunModal(dialog,
                       [](ConnSettings& d) {
                           EXPECT_FALSE(d.m_userName->IsEnabled());
                           EXPECT_FALSE(d.m_password->IsEnabled());
                           d.m_xferTimeout->SetValue("25");
                           Click(d, ConnSettings::ID_OK);
                       }),
              wxID_OK);
    CRegistry stored;
    EXPECT_EQ(stored.m_gatewayInfo.username, "racer");
    EXPECT_EQ(stored.m_gatewayInfo.password, "fleet");
    EXPECT_EQ(stored.m_xferTimeout, 25);
}
