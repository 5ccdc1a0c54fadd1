// The update query against the gateway stand-in: what is sent, how the reply
// is read, what is stored, and the failures.
#include <atomic>

#include <gtest/gtest.h>

#include "core/ThreadHelper.h"
#include "support/RecordingResource.h"
#include "tests/engine/UpdateFixtures.h"
#include "engine/transfer/IPUpdates.h"

using namespace update_test;
using tw::test::RecordingResource;

namespace {

class UpdateQuery : public UpdateFixture
{
protected:
    wxString Readme()
    {
        CRegistry settings;
        return settings.m_readme;
    }
    wxString Account()
    {
        CRegistry settings;
        return settings.m_gatewayInfo.username + "/" + settings.m_gatewayInfo.password;
    }
};

// Run again under a comma-decimal locale: the sizes are read the same.
using UpdateQueryLocale = UpdateQuery;

} // namespace

// What the reply's first line gives, token by token.
TEST_F(UpdateQueryLocale, ReplyValues)
{
    const struct {
        const char* line;
        int zir, zirSize, mz, mzSize;
    } cases[] = {
        {"--zir=7 --oexsz=123456 --mz=9 --mzsz=4096", 7, 123456, 9, 4096},
        {"--zir=7 --oexsz=1.9e3 --mz=9 --mzsz=1.9e3", 7, 1, 9, 1900},   // only the zone size is a real number
        {"--zir=7 --oexsz=300", 7, 300, 0, 0},                          // missing tokens leave 0
        {"--zir= --oexsz=abc --mz=-3 --mzsz=2.9", 0, 0, -3, 2},
        {"OK --mzsz=99999999999 --zir=+12x", 12, 0, 0, 2147483647},
        {"--mz=-99999999999 --mzsz=-1e999", 0, 0, -2147483647 - 1, -2147483647 - 1},
        {"--mzsz=1e-999", 0, 0, 0, 0},                                  // too small to be anything but 0
        {"nothing here", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        sim.SetFaults({std::string("update-line=") + c.line});
        RecordingResource resource;
        CIPUpdates query(&resource);
        ASSERT_TRUE(query.QueryUpdate(true));
        EXPECT_EQ(query.GetProductDBVersion(), c.zir);
        EXPECT_EQ(query.GetProductDBSize(), c.zirSize);
        EXPECT_EQ(query.GetMarineZonesVersion(), c.mz);
        EXPECT_EQ(query.GetMarineZonesSize(), c.mzSize);
    }
}

// The exchange on the wire, the notes in both forms and the stored readme word.
TEST_F(UpdateQuery, ExchangeNotesAndReadme)
{
    const std::string notes600 = [] {
        std::string s;
        for (int i = 0; i < 600; ++i)
            s += static_cast<char>('a' + i % 26);
        return s;
    }();
    const struct {
        const char* name;
        bool brief;
        std::vector<std::string> faults;
        std::string notes;
    } cases[] = {
        {"600 bytes of notes", false, {"update-notes=" + notes600, "readme=news42"}, notes600},
        {"brief: notes not read", true, {"update-notes=" + notes600, "readme=news43"}, ""},
        {"no notes", false, {"update-notes=", "readme=news44"}, ""},
        {"a NUL ends what is kept of a piece", false, {"update-notes=ab\\0cd", "readme=news45"}, "ab"},
        {"line ends in the notes", false, {"update-notes=one\\ntwo\\n", "readme=news46"}, "one\ntwo\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetFaults(c.faults);
        const size_t before = sim.Received().size();
        RecordingResource resource;
        CIPUpdates query(&resource);
        ASSERT_TRUE(query.QueryUpdate(c.brief));
        EXPECT_EQ(query.GetNotes(), c.notes);
        EXPECT_EQ(Readme(), wxString(c.faults.back().substr(7)));

        // The connection closes when the object goes.
        query.Abort();
        ASSERT_TRUE(tw::test::WaitFor([&] { return sim.Received().find(std::string("EOT\0", 4), before) !=
                                                   std::string::npos; }));
        const std::string sent = sim.Received().substr(before);
        EXPECT_NE(sent.find("\r\nnupdate --version=13.05m\r\n"), std::string::npos) << sent;
        EXPECT_EQ(sent.substr(sent.size() - 4), std::string("EOT\0", 4));
    }
}

// Failures: nothing is stored, and the account is cleared only when the
// server says the login is invalid.
TEST_F(UpdateQuery, Failures)
{
    enum Outcome { False, ThrowsText };
    const struct {
        const char* name;
        std::vector<std::string> faults;
        Outcome outcome;
        const char* text;          // in the thrown text or the error box
        bool accountCleared;
    } cases[] = {
        {"login refused", {"refuse-login"}, False, "ERROR: Invalid login", true},
        {"invalid login in the reply", {"update-line=ERROR: Invalid login"}, ThrowsText, "ERROR: Invalid login", true},
        {"other error in the reply", {"update-line=ERROR: maintenance until 12:00"}, ThrowsText,
         "ERROR: maintenance until 12:00", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Configure();
        sim.SetFaults(c.faults);
        RecordingResource resource;
        CIPUpdates query(&resource);
        bool result = true;
        const std::string thrown = tw::test::FailureText([&] { result = query.QueryUpdate(false); });
        if (c.outcome == False) {
            EXPECT_FALSE(result);
            ASSERT_EQ(resource.errors.size(), 1u);
            EXPECT_TRUE(resource.errors[0].Contains(c.text)) << resource.errors[0];
        } else {
            EXPECT_NE(thrown.find(c.text), std::string::npos) << thrown;
        }
        EXPECT_EQ(Account() == "/", c.accountCleared) << Account();
        EXPECT_EQ(Readme(), "readme");
    }

    // No account at all: the box says so.
    {
        CUserConfig config;
        config.WriteText("Gateway/username", "");
    }
    sim.SetFaults({});
    RecordingResource resource;
    CIPUpdates query(&resource);
    EXPECT_FALSE(query.QueryUpdate(false));
    ASSERT_EQ(resource.errors.size(), 1u);
    EXPECT_TRUE(resource.errors[0].Contains("have not been entered"));

    // No gateway listening.
    sim.Configure();
    {
        CUserConfig config;
        config.WriteInt("Gateway/port", tw::test::FreeLoopbackPort());
    }
    CIPUpdates unreachable(&resource);
    EXPECT_THROW(unreachable.QueryUpdate(false), std::string);
}

// A stop asked for between the steps ends the query with false, without the
// end marker and without storing the readme word.
TEST_F(UpdateQuery, StopBetweenSteps)
{
    sim.SetFaults({"readme=changed"});
    for (int after = 0; after < 4; ++after) {
        SCOPED_TRACE(after);
        const size_t before = sim.Received().size();
        RecordingResource resource;
        resource.stopAfter = after;
        {
            CIPUpdates query(&resource);
            EXPECT_FALSE(query.QueryUpdate(false));
        }
        tw::test::Pump(100);
        EXPECT_EQ(sim.Received().find(std::string("EOT\0", 4), before), std::string::npos);
        EXPECT_EQ(Readme(), "readme");
    }
}
