#include <sys/stat.h>

#include <wx/filename.h>

#include "SettingsFixture.h"
#include "core/Init.h"
#include "core/Editions.h"

namespace {

class RegistryTest : public SettingsFixture
{
};

mode_t FileMode(const wxString& path)
{
    struct stat st {};
    if (::stat(path.fn_str(), &st) != 0)
        return 0;
    return st.st_mode & 0777;
}

} // namespace

TEST_F(RegistryTest, WithoutAnyFileEveryDefaultApplies)
{
    CRegistry reg;
    EXPECT_EQ(reg.m_gatewayInfo.username, "");
    EXPECT_EQ(reg.m_gatewayInfo.password, "");
    EXPECT_EQ(reg.m_gatewayInfo.gateway, CRegistry::kDefaultGateway);
    EXPECT_FALSE(reg.m_gatewayInfo.gateway.empty());
    EXPECT_EQ(reg.m_gatewayInfo.autodialhost, "localhost");
    EXPECT_EQ(reg.m_gatewayPort, 443);
    EXPECT_EQ(reg.m_autodialPort, 3020);
    EXPECT_EQ(reg.m_connectionTimeout, 60);
    EXPECT_EQ(reg.m_xferTimeout, 30);
    EXPECT_TRUE(reg.m_autodialLogin);
    EXPECT_EQ(reg.m_dunInfo.connection, "Network Connection");
    EXPECT_EQ(reg.m_units, "e");
    EXPECT_EQ(reg.m_readme, "");
    EXPECT_EQ(reg.m_xferRate, "0 0");
    EXPECT_EQ(reg.m_mapOffset, 180);
    EXPECT_TRUE(reg.m_archive);
    EXPECT_EQ(reg.m_evType, EVT_NONE);
    EXPECT_EQ(reg.m_evPrevious, EVT_NONE);
    EXPECT_TRUE(reg.IsNetwork());
    EXPECT_EQ(reg.GetTransferRate(), 256000);
    EXPECT_FALSE(tw::IsRace());
    EXPECT_FALSE(tw::IsInstalledEventVersion());
    // Reading creates nothing.
    EXPECT_FALSE(wxFileName::FileExists(CRegistry::UserFileName()));
}

TEST_F(RegistryTest, WrittenGroupsReadBackExactlyAndStayPrivate)
{
    {
        CRegistry reg;
        reg.m_gatewayInfo.username = "Skipper1";
        // Characters the file format quotes or escapes, and text that looks
        // like an environment variable, come back unchanged.
        reg.m_gatewayInfo.password = " p$HOME;#=\"x\\y%PATH% ";
        reg.m_gatewayInfo.gateway = "gw.example.org";
        reg.m_gatewayPort = 8443;
        reg.m_connectionTimeout = 90;
        reg.m_xferTimeout = 45;
        reg.m_autodialPort = 3021;
        reg.m_dunInfo.connection = "MSAT Dialer";
        reg.m_speed = 6;
        reg.m_course = 270;
        reg.m_mapOffset = 0;
        reg.m_units = "m";
        reg.m_readme = "hello";
        reg.m_archive = false;
        reg.m_xferRate = "5000 700";
        reg.m_evPrevious = EVT_RACE;
        reg.WriteInfo();
    }
    CRegistry back;
    EXPECT_EQ(back.m_gatewayInfo.username, "Skipper1");
    EXPECT_EQ(back.m_gatewayInfo.password, " p$HOME;#=\"x\\y%PATH% ");
    EXPECT_EQ(back.m_gatewayInfo.gateway, "gw.example.org");
    EXPECT_EQ(back.m_gatewayPort, 8443);
    EXPECT_EQ(back.m_connectionTimeout, 90);
    EXPECT_EQ(back.m_xferTimeout, 45);
    EXPECT_EQ(back.m_autodialPort, 3021);
    EXPECT_EQ(back.m_dunInfo.connection, "MSAT Dialer");
    EXPECT_EQ(back.m_speed, 6);
    EXPECT_EQ(back.m_course, 270);
    EXPECT_EQ(back.m_mapOffset, 0);
    EXPECT_EQ(back.m_units, "m");
    EXPECT_EQ(back.m_readme, "hello");
    EXPECT_FALSE(back.m_archive);
    EXPECT_EQ(back.m_evPrevious, EVT_RACE);
    EXPECT_FALSE(back.IsNetwork());
    EXPECT_EQ(back.GetTransferRate(), 700);

    // The file holds the password: nobody else may read it.
    EXPECT_EQ(FileMode(CRegistry::UserFileName()), 0600);
    EXPECT_EQ(RawRead("Gateway/port"), "8443");
    EXPECT_EQ(RawRead("Misc/archive"), "0");
}

TEST_F(RegistryTest, AFileOthersCouldReadIsMadePrivateOnTheNextWrite)
{
    RawWrite("Gateway/username", "old");
    ::chmod(CRegistry::UserFileName().fn_str(), 0644);
    ASSERT_EQ(FileMode(CRegistry::UserFileName()), 0644);
    CRegistry reg;
    reg.WriteDUNInfo();
    EXPECT_EQ(FileMode(CRegistry::UserFileName()), 0600);
    EXPECT_EQ(RawRead("Gateway/username"), "old");
}

TEST_F(RegistryTest, UnparsableNumbersReadAsTheirDefaults)
{
    RawWrite("Gateway/port", "eighty");
    RawWrite("Gateway/xfer_timeout", "30s");
    RawWrite("Gateway/autodialport", "99999999999999999999");
    RawWrite("Misc/mapoffset", "");
    CRegistry reg;
    EXPECT_EQ(reg.m_gatewayPort, 443);
    EXPECT_EQ(reg.m_xferTimeout, 30);
    EXPECT_EQ(reg.m_autodialPort, 3020);
    EXPECT_EQ(reg.m_mapOffset, 180);
}

TEST_F(RegistryTest, TransferRatePairParsing)
{
    struct Case {
        const char* stored;     // Misc/xfer_rate, nullptr: absent
        const char* connection;
        int expected;
    };
    const Case cases[] = {
        {nullptr, "Network Connection", 256000},
        {nullptr, "MSAT Dialer", 600},
        {"0 0", "Network Connection", 256000},
        {"0 0", "Dezavuviv Odirir", 600},
        {"1000", "Network Connection", 1000},
        {"1000", "MSAT Dialer", 600},
        {"5000 700", "Network Connection", 5000},
        {"5000 700", "MSAT Dialer", 700},
        {"abc 700", "Network Connection", 256000},
        {"abc 700", "MSAT Dialer", 700},
        {"5000 x", "MSAT Dialer", 600},
        {"", "Network Connection", 256000},
        {"5000 700", "network connection", 700},   // case matters: a dialer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%s / %s", c.stored ? c.stored : "(absent)", c.connection).ToStdString());
        tw::test::TempHome home;
        if (c.stored)
            RawWrite("Misc/xfer_rate", c.stored);
        RawWrite("Connection/connection", c.connection);
        CRegistry reg;
        EXPECT_EQ(reg.GetTransferRate(), c.expected);
    }
}

TEST_F(RegistryTest, StoringTheSameRateLeavesTheFileAlone)
{
    RawWrite("Misc/xfer_rate", "5000 700");
    CRegistry reg;
    RawWrite("Misc/units", "changed elsewhere");
    reg.SetTransferRate(5000);
    EXPECT_EQ(RawRead("Misc/units"), "changed elsewhere");
    EXPECT_EQ(RawRead("Misc/xfer_rate"), "5000 700");

    // A new rate replaces only the current kind's number and rewrites the
    // whole Misc group from the object.
    reg.SetTransferRate(12345);
    EXPECT_EQ(RawRead("Misc/xfer_rate"), "12345 700");
    EXPECT_EQ(RawRead("Misc/units"), "e");

    RawWrite("Connection/connection", "MSAT Dialer");
    CRegistry dialer;
    dialer.SetTransferRate(800);
    EXPECT_EQ(RawRead("Misc/xfer_rate"), "12345 800");
    EXPECT_EQ(CRegistry().GetTransferRate(), 800);
}

TEST_F(RegistryTest, LoginNamePrefixAndEditions)
{
    struct Case {
        long evt;
        bool evtPresent;
        const char* evn;
        const char* user;
        const char* pass;
        const char* login;
        bool result;
        bool race;
        bool event;
    };
    const Case cases[] = {
        {1000, true, "", "Skipper1", "pw", "Skipper1", true, false, false},
        {1000, true, "Blue Water Rally", "Skipper1", "pw", "Skipper1", true, false, false},
        {2002, true, "Blue Water Rally", "Skipper1", "pw", "bluewaterrally_Skipper1", true, true, true},
        {3003, true, "Blue Water Rally", "Skipper1", "pw", "bluewaterrally_Skipper1", true, false, true},
        {2002, true, "", "Skipper1", "pw", "Skipper1", true, false, true},
        {3003, true, " Blue  Water ", "Skipper1", "pw", "bluewater_Skipper1", true, false, true},
        {2002, true, "Blue\tWater", "x", "pw", "blue\twater_x", true, true, true},   // only blanks go
        {2002, true, "Rally", "", "pw", "rally_", true, true, true},
        {1000, true, "", "", "pw", "", false, false, false},
        {1000, true, "", "Skipper1", "", "Skipper1", false, false, false},
        {0, false, "Rally", "Skipper1", "pw", "Skipper1", true, false, false},
        {4004, true, "Rally", "Skipper1", "pw", "Skipper1", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("evt %ld evn '%s' user '%s'", c.evt, c.evn, c.user).ToStdString());
        tw::test::TempHome home;
        WriteDefaults(c.evt, c.evn, c.evtPresent);
        RawWrite("Gateway/username", c.user);
        RawWrite("Gateway/password", c.pass);

        CRegistry reg;
        wxString login = "untouched";
        wxString password;
        EXPECT_EQ(tw::GetLoginNameAndPassword(reg, login, password), c.result);
        EXPECT_EQ(login, wxString(c.login));
        EXPECT_EQ(password, wxString(c.pass));
        EXPECT_EQ(tw::IsRace(reg), c.race);
        EXPECT_EQ(tw::IsRace(), c.race);
        EXPECT_EQ(tw::IsInstalledEventVersion(), c.event);
    }

    // Without an event name the prefix text is left as it was.
    tw::test::TempHome home;
    WriteDefaults(2002, "");
    CRegistry reg;
    wxString prefix = "keep";
    EXPECT_FALSE(tw::MakeEventNameUserPrefix(prefix, reg));
    EXPECT_EQ(prefix, "keep");
}

TEST_F(RegistryTest, ParkingAndRestoringTheLogin)
{
    RawWrite("Gateway/username", "Skipper1");
    RawWrite("Gateway/password", "secret");
    {
        CRegistry reg;
        EXPECT_TRUE(reg.CacheLoginValues());
        // The object keeps its values; the file has the parked pair only.
        EXPECT_EQ(reg.m_gatewayInfo.username, "Skipper1");
    }
    EXPECT_EQ(RawRead("Gateway/username"), "");
    EXPECT_EQ(RawRead("Gateway/password"), "");
    EXPECT_EQ(RawRead("Gateway/userstd"), "Skipper1");
    EXPECT_EQ(RawRead("Gateway/passstd"), "secret");
    EXPECT_EQ(RawRead("Gateway/cachestd"), "1");

    CRegistry reg;
    EXPECT_TRUE(reg.RestoreLoginValues());
    EXPECT_EQ(reg.m_gatewayInfo.username, "Skipper1");
    EXPECT_EQ(reg.m_gatewayInfo.password, "secret");
    EXPECT_EQ(RawRead("Gateway/username"), "Skipper1");
    EXPECT_EQ(RawRead("Gateway/password"), "secret");
    EXPECT_FALSE(RawHas("Gateway/userstd"));
    EXPECT_FALSE(RawHas("Gateway/passstd"));
    EXPECT_EQ(RawRead("Gateway/cachestd"), "0");

    // Nothing parked: nothing to restore, nothing written.
    RawWrite("Gateway/username", "other");
    EXPECT_FALSE(CRegistry().RestoreLoginValues());
    EXPECT_EQ(RawRead("Gateway/username"), "other");

    // An empty login is not parked.
    tw::test::TempHome fresh;
    EXPECT_FALSE(CRegistry().CacheLoginValues());
    EXPECT_FALSE(wxFileName::FileExists(CRegistry::UserFileName()));
}

TEST_F(RegistryTest, EditionSwitchMatrix)
{
    enum Action { Nothing, Park, Clear, ClearRestore };
    struct Case {
        long previous;
        long current;
        Action action;
    };
    const Case cases[] = {
        {1000, 2002, Park}, {1000, 3003, Park}, {1000, 4004, Park},
        {2002, 1000, ClearRestore}, {2002, 3003, Clear}, {2002, 4004, Nothing},
        {3003, 1000, ClearRestore}, {3003, 2002, Clear}, {3003, 4004, Nothing},
        {0, 1000, Nothing}, {0, 2002, Park}, {0, 3003, Park}, {0, 4004, Nothing},
        {7, 1000, Nothing}, {7, 2002, Park}, {7, 3003, Park},
        {1000, 1000, Nothing}, {2002, 2002, Nothing}, {3003, 3003, Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wxString::Format("%ld -> %ld", c.previous, c.current).ToStdString());
        tw::test::TempHome home;
        // An active login and, from an earlier standard run, a parked one.
        RawWrite("Gateway/username", "active");
        RawWrite("Gateway/password", "activepw");
        RawWrite("Gateway/userstd", "parked");
        RawWrite("Gateway/passstd", "parkedpw");
        RawWrite("Gateway/cachestd", "1");
        RawWrite("Misc/evp", wxString::Format("%ld", c.previous));
        CRegistry reg;
        EXPECT_TRUE(CInit::PerformEventModeSwitch(reg, t_evtype(c.previous), t_evtype(c.current)));
        EXPECT_EQ(RawRead("Misc/evp"), wxString::Format("%ld", c.current));
        EXPECT_EQ(reg.m_evPrevious, c.current);

        switch (c.action) {
        case Nothing:
            EXPECT_EQ(RawRead("Gateway/username"), "active");
            EXPECT_EQ(RawRead("Gateway/userstd"), "parked");
            EXPECT_EQ(RawRead("Gateway/cachestd"), "1");
            break;
        case Park:
            EXPECT_EQ(RawRead("Gateway/username"), "");
            EXPECT_EQ(RawRead("Gateway/password"), "");
            EXPECT_EQ(RawRead("Gateway/userstd"), "active");
            EXPECT_EQ(RawRead("Gateway/passstd"), "activepw");
            EXPECT_EQ(RawRead("Gateway/cachestd"), "1");
            break;
        case Clear:
            EXPECT_EQ(RawRead("Gateway/username"), "");
            EXPECT_EQ(RawRead("Gateway/password"), "");
            EXPECT_EQ(RawRead("Gateway/userstd"), "parked");
            EXPECT_EQ(RawRead("Gateway/cachestd"), "1");
            break;
        case ClearRestore:
            EXPECT_EQ(RawRead("Gateway/username"), "parked");
            EXPECT_EQ(RawRead("Gateway/password"), "parkedpw");
            EXPECT_FALSE(RawHas("Gateway/userstd"));
            EXPECT_EQ(RawRead("Gateway/cachestd"), "0");
            break;
        }
    }
}

TEST_F(RegistryTest, EditionSwitchEdges)
{
    // No edition in the defaults file after a race run: nothing happens.
    RawWrite("Gateway/username", "racer");
    RawWrite("Misc/evp", "2002");
    WriteDefaults(0, "", false);
    {
        CRegistry reg;
        EXPECT_EQ(reg.m_evType, EVT_NONE);
        EXPECT_FALSE(CInit::PerformEventModeSwitch(reg, t_evtype(reg.m_evPrevious), t_evtype(reg.m_evType)));
    }
    EXPECT_EQ(RawRead("Misc/evp"), "2002");
    EXPECT_EQ(RawRead("Gateway/username"), "racer");

    // Race to standard with nothing parked: the login is emptied and stays so.
    {
        CRegistry reg;
        EXPECT_TRUE(CInit::PerformEventModeSwitch(reg, EVT_RACE, EVT_STANDARD));
    }
    EXPECT_EQ(RawRead("Gateway/username"), "");
    EXPECT_EQ(RawRead("Misc/evp"), "1000");

    // Standard to race with an empty login: nothing parked.
    {
        CRegistry reg;
        EXPECT_TRUE(CInit::PerformEventModeSwitch(reg, EVT_STANDARD, EVT_RACE));
    }
    EXPECT_FALSE(RawHas("Gateway/userstd"));
    EXPECT_NE(RawRead("Gateway/cachestd"), "1");
    EXPECT_EQ(RawRead("Misc/evp"), "2002");
}

TEST_F(RegistryTest, StoredWindowMode)
{
    CRegistry reg;
    wxString mode = "x";
    EXPECT_TRUE(CInit::InitializeAppSettings(reg, mode));
    EXPECT_EQ(mode, "");
    RawWrite("General/DefaultView", "LoadWindow");
    EXPECT_TRUE(CInit::InitializeAppSettings(reg, mode));
    EXPECT_EQ(mode, "LoadWindow");
}
