// The gateway protocol client against the gateway stand-in: request lines,
// login answers, the header phase, resume offsets and the data phase.
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/socket.h>
#include <wx/wxsqlite3.h>

#include "support/DialerSim.h"
#include "support/GatewaySim.h"
#include "support/RecordingResource.h"
#include "core/Registry.h"
#include "core/ThreadHelper.h"
#include "model/FileList.h"
#include "support/TestSupport.h"
#include "engine/transfer/DialService.h"
#include "engine/transfer/IpGlue.h"

using testing::HasSubstr;
using testing::StartsWith;
using tw::test::FailureText;
using tw::test::GatewaySim;
using tw::test::RecordingResource;
using tw::test::ReadFile;
using tw::test::SampleBytes;
using tw::test::WriteFile;

namespace {

// A download folder "<root>/<name>" with its "tmp" folder, and list entries in it.
struct Folder {
    explicit Folder(const wxString& root, const wxString& name = "dl")
    {
        path = root + "/" + name;
        wxFileName::Mkdir(path + "/tmp", 0777, wxPATH_MKDIR_FULL);
    }
    wxString Tmp(const wxString& file) const { return path + "/tmp/" + file; }
    wxString Final(const wxString& file) const { return path + "/" + file; }
    void Add(CFileList& list, const wxString& serverPath, const wxString& compression = "",
             const wxString& price = "1.50") const
    {
        wxString name = serverPath.AfterLast('/');
        list.Add(serverPath, Tmp(name), Final(name), name, compression, price, false, 0, 0, 0);
    }
    wxString path;
};

class GatewayProtocol : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.Running()) << "gateway stand-in did not start: " << GatewaySim::Program();
        sim.Configure();
    }

    // Connects and logs in.
    std::unique_ptr<CIPGlue> Connect()
    {
        auto client = std::make_unique<CIPGlue>(&resource);
        EXPECT_TRUE(client->ConnectToServer()) << client->GetErrorText();
        EXPECT_TRUE(client->Login()) << client->GetErrorText();
        return client;
    }

    // Receives entry i of the list as the worker does.
    void Receive(CIPGlue& client, CFileList& list, size_t i)
    {
        FileInfo& e = list.Item(i);
        std::string tmp(e.tmpPath.fn_str());
        std::string name(e.fileName.utf8_str());
        int size = static_cast<int>(list.GetFileSize(i));
        client.InitRead(tmp, name, size);
        char buf[256];
        for (int done = 0; done < size;) {
            int n = std::min(256, size - done);
            client.Read(buf, n);
            done += n;
        }
        client.DoneRead();
    }

    std::vector<std::string> GetLines() const
    {
        std::vector<std::string> out;
        for (const auto& line : sim.ReceivedLines())
            if (line.rfind("get ", 0) == 0)
                out.push_back(line);
        return out;
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    GatewaySim sim;
    RecordingResource resource;
};

// Runs in the comma-decimal locale too: numbers and text on the wire must not change.
TEST_F(GatewayProtocol, RequestLinesLocale)
{
    sim.Configure(wxString::FromUTF8("J\xC3\xB6rg"), "pa ss");
    sim.Serve("My File.grb", "abc");
    sim.Serve("gfs_wind.grb", "0123456789");
    sim.Serve("c.txt", "x");
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "WX/My File.grb", "bz", "1.50");
    list.Add("data/gfs/wind=>gfs_wind.grb", folder.Tmp("wind=>gfs_wind.grb"), folder.Final("wind=>gfs_wind.grb"),
             "wind=>gfs_wind.grb", "", "2.25", true, 15.0f, 47.4f, -122.3f);
    folder.Add(list, "c.txt", "bz", "0.10");
    CXferLocation position;
    position.Set(47.4019f, -122.323f, 10);

    auto client = Connect();
    client->RequestFiles(list, position, true);

    std::string received = sim.Received();
    std::string expected = "nlogin --user=J\xC3\xB6rg --pass=pa ss --version=13.05m\r\n"
                           "pos 47.4019 -122.323 10 e 1\r\n"
                           "get WX/My\\ File.grb 0 1.50/0  \r\n"
                           "get data/gfs/wind=>gfs_wind._47.4=-122.3=15.0_.grb 0 2.25/0/15/47.4/-122.3  \r\n"
                           "get c.txt 0 0.10/0  \r\n"
                           "\r\n";
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(client->GetErrorText().empty());

    // With compression enabled the option is sent before the closing blank.
    GatewaySim sim2;
    sim2.Configure();
    sim2.Serve("c.txt", "x");
    CFileList one;
    folder.Add(one, "c.txt", "bz", "0.10");
    CIPGlue client2(&resource);
    ASSERT_TRUE(client2.ConnectToServer());
    ASSERT_TRUE(client2.Login());
    client2.RequestFiles(one, CXferLocation(), false);
    EXPECT_NE(sim2.Received().find("get c.txt 0 0.10/0 bz \r\n\r\n"), std::string::npos) << sim2.Received();
}

TEST_F(GatewayProtocol, LoginAnswers)
{
    struct Case {
        std::vector<std::string> faults;
        bool accepted;
        std::string errorStart;
    };
    const Case cases[] = {
        {{}, true, ""},
        {{"refuse-login"}, false, "ERROR: Invalid login\r\n"},
        // "updates " is removed before the answer is judged.
        {{"login-answer=updates ERROR: card expired"}, false, "ERROR: card expired\r\n"},
        {{"login-answer=updates OK --balance=3.5"}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults.empty() ? std::string("plain") : c.faults[0]);
        sim.Configure("skipper", "s3cret");
        sim.SetFaults(c.faults);
        CIPGlue client(&resource);
        ASSERT_TRUE(client.ConnectToServer()) << client.GetErrorText();
        EXPECT_EQ(client.Login(), c.accepted);
        std::string error(client.GetErrorText().utf8_str());
        CRegistry after;
        if (c.accepted) {
            EXPECT_TRUE(error.empty());
            EXPECT_EQ(after.m_gatewayInfo.username, "skipper");
        } else {
            EXPECT_EQ(error.rfind(c.errorStart, 0), 0u) << error;
            EXPECT_TRUE(client.GetLoginAnswer().empty());
            // The text names the account but never shows the password.
            EXPECT_NE(error.find("You entered  skipper  and  ******  as your username and password."),
                      std::string::npos)
                << error;
            EXPECT_EQ(error.find("s3cret"), std::string::npos);
            // The stored account is cleared so that the user enters it again.
            EXPECT_TRUE(after.m_gatewayInfo.username.empty());
            EXPECT_TRUE(after.m_gatewayInfo.password.empty());
        }
    }
    // An accepted answer keeps its tokens for the worker.
    sim.Configure();
    sim.SetFaults({"login-answer=updates OK --balance=3.5"});
    CIPGlue client(&resource);
    ASSERT_TRUE(client.ConnectToServer());
    ASSERT_TRUE(client.Login());
    EXPECT_EQ(client.GetLoginAnswer(), "OK --balance=3.5");
}

TEST_F(GatewayProtocol, EmptyAccountSendsNothing)
{
    sim.Configure("", "");
    CIPGlue client(&resource);
    ASSERT_TRUE(client.ConnectToServer());
    EXPECT_FALSE(client.Login());
    EXPECT_TRUE(client.GetErrorText().empty());
    EXPECT_EQ(sim.Received(), "");
}

TEST_F(GatewayProtocol, ServerFailuresThrowTheirText)
{
    {
        sim.SetFaults({"login-db-error"});
        CIPGlue client(&resource);
        ASSERT_TRUE(client.ConnectToServer());
        EXPECT_THAT(FailureText([&] { client.Login(); }), StartsWith("SERVER ERROR: DBD::SQLite"));
    }
    {
        sim.SetFaults({"status-error"});
        sim.Serve("a.grb", "a");
        Folder folder(dir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        auto client = Connect();
        EXPECT_THAT(FailureText([&] { client->RequestFiles(list, CXferLocation(), true); }),
                    HasSubstr("ERROR: The server cannot process requests now."));
    }
}

TEST_F(GatewayProtocol, ConnectionErrors)
{
    {
        CUserConfig config;
        config.WriteInt("Gateway/port", tw::test::FreeLoopbackPort());
    }
    CIPGlue refused(&resource);
    EXPECT_FALSE(refused.ConnectToServer());
    EXPECT_EQ(refused.GetErrorText().rfind("Connection error: ", 0), 0u) << refused.GetErrorText();
    EXPECT_TRUE(refused.GetErrorText().EndsWith(". The network connection may have been interrupted.\r\n"));
}

// The gateway's address may come from the catalogue's hosts table; the host
// name is bound, not spliced into the statement.
TEST_F(GatewayProtocol, HostsTableLookup)
{
    wxSQLite3Database db;
    db.Open(":memory:");
    db.ExecuteUpdate("CREATE TABLE hosts (hostname TEXT NOT NULL, IP TEXT NOT NULL DEFAULT '', disp_order INTEGER)");
    db.ExecuteUpdate("INSERT INTO hosts VALUES ('gw.o''brien.example', '127.0.0.1', 1)");
    db.ExecuteUpdate("INSERT INTO hosts VALUES ('blank.example', '', 2)");
    EXPECT_EQ(tw::ResolveGatewayAddress(&db, "gw.o'brien.example"), "127.0.0.1");
    EXPECT_EQ(tw::ResolveGatewayAddress(&db, "blank.example"), "");
    EXPECT_EQ(tw::ResolveGatewayAddress(&db, "unlisted.example"), "unlisted.example");
    EXPECT_EQ(tw::ResolveGatewayAddress(nullptr, "gw.o'brien.example"), "gw.o'brien.example");

    {
        CUserConfig config;
        config.WriteText("Gateway/gateway", "gw.o'brien.example");
    }
    CIPGlue viaTable(&resource, CTransferJob(&db, 0, 0));
    EXPECT_TRUE(viaTable.ConnectToServer()) << viaTable.GetErrorText();

    {
        CUserConfig config;
        config.WriteText("Gateway/gateway", "blank.example");
    }
    CIPGlue blank(&resource, CTransferJob(&db, 0, 0));
    EXPECT_FALSE(blank.ConnectToServer());
    EXPECT_EQ(blank.GetErrorText().rfind("Connection error: ", 0), 0u);
}

TEST_F(GatewayProtocol, RefusedFileInTheMiddle)
{
    sim.Serve("a.grb", SampleBytes(700, 1));
    sim.Serve("b.grb", SampleBytes(10, 2));
    sim.Serve("c.grb", SampleBytes(300, 3));
    sim.SetFaults({"refuse=b.grb"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    folder.Add(list, "c.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_EQ(list.GetFileSize(0), 700u);
    EXPECT_TRUE(list.GetFileError(0).empty());
    EXPECT_EQ(list.GetFileSize(1), 0u);
    EXPECT_TRUE(list.GetFileError(1).StartsWith("ERROR"));
    EXPECT_TRUE(list.GetFileError(1).EndsWith("\r\n"));
    EXPECT_EQ(list.GetFileSize(2), 300u);
    EXPECT_TRUE(client->GetErrorText().empty());
    EXPECT_FALSE(client->DataFollows(1));

    Receive(*client, list, 0);
    Receive(*client, list, 2);
    EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), SampleBytes(700, 1));
    EXPECT_EQ(ReadFile(folder.Tmp("c.grb")), SampleBytes(300, 3));
}

// x.grb asked, x.grb.bz2 sent: the entry takes the server's name, and only
// the last component of its paths changes (its folder is named x.grb too).
TEST_F(GatewayProtocol, RenamedFile)
{
    std::string packed = sim.ServeWithCompressed("x.grb", SampleBytes(5000, 4));
    ASSERT_FALSE(packed.empty());
    size_t packedSize = ReadFile(sim.Root() + "/x.grb.bz2").size();
    sim.SetFaults({"rename=x.grb"});
    Folder folder(dir.Path(), "x.grb");
    CFileList list;
    folder.Add(list, "x.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    const FileInfo& e = list.Item(0);
    EXPECT_EQ(e.fileName, "x.grb.bz2");
    EXPECT_EQ(e.tmpPath, folder.Tmp("x.grb.bz2"));
    EXPECT_EQ(e.finalPath, folder.Final("x.grb.bz2"));
    EXPECT_EQ(list.GetFileSize(0), packedSize);
    Receive(*client, list, 0);
    EXPECT_EQ(ReadFile(folder.Tmp("x.grb.bz2")), ReadFile(sim.Root() + "/x.grb.bz2"));
}

TEST_F(GatewayProtocol, OtherBaseNameAbortsTheTransfer)
{
    sim.Serve("x.grb", "data");
    sim.SetFaults({"send-name=x.grb:y.grb"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "x.grb");
    auto client = Connect();
    EXPECT_THAT(FailureText([&] { client->RequestFiles(list, CXferLocation(), true); }),
                HasSubstr("Received base file name (y.) differs from that expected (x.) while processing 'x.grb'. "
                          "Aborting transfer. Your file list may be outdated."));
}

// A name from the server that could reach outside its folder, or that is no
// plain file name, is refused for that entry; its bytes are read past and
// the next file arrives normally.
TEST_F(GatewayProtocol, HostileNamesAreRefused)
{
    const char* hostile[] = {
        "../x.grb", "x.grb/../../../evil.grb", "/tmp/x.grb", "x\".grb", "x'.grb", "x.grb\\evil", "..",
    };
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        sim.Serve("x.grb", SampleBytes(1000, 5));
        sim.Serve("z.grb", SampleBytes(400, 6));
        sim.SetFaults({std::string("send-name=x.grb:") + name});
        tw::test::TempDir work;
        Folder folder(work.Path());
        CFileList list;
        folder.Add(list, "x.grb");
        folder.Add(list, "z.grb");
        auto client = Connect();
        client->RequestFiles(list, CXferLocation(), true);
        EXPECT_TRUE(list.GetFileError(0).Contains("is not a safe file name")) << list.GetFileError(0);
        EXPECT_EQ(list.GetFileSize(0), 0u);
        EXPECT_EQ(list.Item(0).fileName, "x.grb");
        EXPECT_EQ(list.Item(0).tmpPath, folder.Tmp("x.grb"));
        ASSERT_TRUE(client->DataFollows(0));
        client->SkipData(0);
        Receive(*client, list, 1);
        EXPECT_EQ(ReadFile(folder.Tmp("z.grb")), SampleBytes(400, 6));
        wxArrayString files;
        wxDir::GetAllFiles(work.Path(), &files);
        EXPECT_EQ(files.size(), 1u);   // only tmp/z.grb
    }
    // Blanks are fine: they travel escaped.
    sim.Serve("my file.grb", "blank");
    sim.SetFaults({});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "my file.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_TRUE(list.GetFileError(0).empty()) << list.GetFileError(0);
    Receive(*client, list, 0);
    EXPECT_EQ(ReadFile(folder.Tmp("my file.grb")), "blank");
}

// A NUL in a name from the server does not cut the refusal short: the name
// is shown with the NUL written as \0, and the reason and the refused entry
// follow.
TEST_F(GatewayProtocol, NulInARefusedNameIsShownWithTheWholeReason)
{
    using namespace std::string_literals;
    sim.Serve("h.grb", SampleBytes(500, 5));
    sim.SetFaults({"send-name=h.grb:h\0x.grb"s});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "h.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_EQ(list.GetFileError(0), "Received file name 'h\\0x.grb' is not a safe file name (control character); '" +
                                        list.Item(0).serverPath + "' was refused.\r\n");
    EXPECT_EQ(list.GetFileSize(0), 0u);
}

TEST_F(GatewayProtocol, SafeFileNames)
{
    struct Case {
        const char* received;
        bool ok;
        const char* safe;
    };
    const Case cases[] = {
        {"x.grb", true, "x.grb"},
        {"my\\ file.grb", true, "my file.grb"},
        {"gfs/wind.grb", true, "gfs-wind.grb"},
        {"a..b.grb", true, "a..b.grb"},
        {"", false, ""},
        {"..", false, ""},
        {".", false, ""},
        {"a/../b.grb", false, ""},
        {"/abs.grb", false, ""},
        {"tab\there.grb", false, ""},
        {"q\"uote.grb", false, ""},
        {"back\\slash.grb", false, ""},
        {"\xff\xfe.grb", false, ""},
    };
    for (const Case& c : cases) {
        std::string safe, reason;
        EXPECT_EQ(CIPGlue::MakeSafeFileName(c.received, safe, reason), c.ok) << c.received;
        EXPECT_EQ(safe, c.safe) << c.received;
    }
    std::string safe, reason;
    EXPECT_FALSE(CIPGlue::MakeSafeFileName(std::string(256, 'n'), safe, reason));
}

// Resume: the offset is the size of the entry's own temporary file, and the
// question comes once per request, its answer holding for every entry. Only
// an explicit No deletes the partial files; an answer that is neither Yes nor
// No (Escape, the box's close button, the question cancelled by a stop)
// keeps them and sends nothing of the request.
TEST_F(GatewayProtocol, ResumeQuestion)
{
    struct Case {
        const char* name;
        int answer;
        bool stop;   // the job is stopped while the question is up
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"Yes", wxYES, false, {"get a.grb 100 1.50/0  ", "get b.grb 0 1.50/0  ", "get c.grb 30 1.50/0  "}},
        {"No", wxNO, false, {"get a.grb 0 1.50/0  ", "get b.grb 0 1.50/0  ", "get c.grb 0 1.50/0  "}},
        {"Escape or the close button", wxCANCEL, false, {}},
        {"cancelled by a stop", wxCANCEL, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GatewaySim server;
        server.Configure();
        server.Serve("a.grb", SampleBytes(500, 7));
        server.Serve("b.grb", SampleBytes(200, 8));
        server.Serve("c.grb", SampleBytes(90, 9));
        tw::test::TempDir work;
        Folder folder(work.Path());
        const std::string partialA = SampleBytes(500, 7).substr(0, 100);
        const std::string partialC = SampleBytes(90, 9).substr(0, 30);
        WriteFile(folder.Tmp("a.grb"), partialA);
        WriteFile(folder.Tmp("c.grb"), partialC);
        // Another file of the same base name is no partial copy of a.grb.
        WriteFile(folder.Tmp("b.txt"), "unrelated");
        RecordingResource job;
        job.answers.push_back(c.answer);
        CFileList list;
        folder.Add(list, "a.grb");
        folder.Add(list, "b.grb");
        folder.Add(list, "c.grb");
        CIPGlue client(&job);
        ASSERT_TRUE(client.ConnectToServer());
        ASSERT_TRUE(client.Login());
        if (c.stop)
            job.stop = true;
        client.RequestFiles(list, CXferLocation(), true);

        ASSERT_EQ(job.questions.size(), 1u);
        EXPECT_EQ(job.questions[0],
                  "An interrupted previous download has been detected. Would you like to complete it?");
        EXPECT_EQ(job.captions[0], "Notice");
        EXPECT_EQ(job.styles[0] & (wxYES_NO), wxYES_NO);
        std::vector<std::string> gets;
        for (const auto& line : server.ReceivedLines())
            if (line.rfind("get ", 0) == 0)
                gets.push_back(line);
        EXPECT_EQ(gets, c.expected);
        EXPECT_EQ(client.IsResumeCancelled(), c.answer == wxCANCEL);
        EXPECT_EQ(wxFileExists(folder.Tmp("a.grb")), c.answer != wxNO);
        EXPECT_EQ(wxFileExists(folder.Tmp("c.grb")), c.answer != wxNO);
        EXPECT_TRUE(wxFileExists(folder.Tmp("b.txt")));
        if (c.answer == wxCANCEL) {
            // Kept as they were, for the next transfer to complete.
            EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), partialA);
            EXPECT_EQ(ReadFile(folder.Tmp("c.grb")), partialC);
            EXPECT_EQ(server.Received().find("\r\n\r\n"), std::string::npos) << "no request block was ended";
            continue;
        }

        for (size_t i = 0; i < 3; ++i)
            Receive(client, list, i);
        EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), SampleBytes(500, 7));
        EXPECT_EQ(ReadFile(folder.Tmp("b.grb")), SampleBytes(200, 8));
        EXPECT_EQ(ReadFile(folder.Tmp("c.grb")), SampleBytes(90, 9));
    }
}

TEST_F(GatewayProtocol, UpdateModeDeletesPartialsWithoutAsking)
{
    sim.Serve("zir.db.bz2", SampleBytes(300, 10));
    Folder folder(dir.Path());
    WriteFile(folder.Tmp("zir.db.bz2"), "partial");
    CFileList list;
    list.xferMode = 3;
    folder.Add(list, "zir.db.bz2");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_TRUE(resource.questions.empty());
    EXPECT_FALSE(wxFileExists(folder.Tmp("zir.db.bz2")));
    EXPECT_EQ(GetLines(), std::vector<std::string>({"get zir.db.bz2 0 1.50/0  "}));
}

// Without a job nothing can be asked: partial files are deleted.
TEST_F(GatewayProtocol, NoResourceDeletesPartials)
{
    sim.Serve("a.grb", SampleBytes(300, 11));
    Folder folder(dir.Path());
    WriteFile(folder.Tmp("a.grb"), "part");
    CFileList list;
    folder.Add(list, "a.grb");
    CIPGlue client(nullptr);
    ASSERT_TRUE(client.ConnectToServer());
    ASSERT_TRUE(client.Login());
    client.RequestFiles(list, CXferLocation(), true);
    EXPECT_FALSE(wxFileExists(folder.Tmp("a.grb")));
    EXPECT_EQ(GetLines(), std::vector<std::string>({"get a.grb 0 1.50/0  "}));
}

// A server that ignores the resume offset sends the whole file from 0: the
// partial copy is cut back to START, never doubled or left with a stale tail.
TEST_F(GatewayProtocol, ServerIgnoringTheOffset)
{
    std::string bytes = SampleBytes(2000, 12);
    struct Case {
        const char* name;
        std::string partial;
    };
    const Case cases[] = {
        {"the file's first bytes", bytes.substr(0, 700)},
        {"longer than the file", std::string(2600, 'j')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GatewaySim server;
        server.Configure();
        server.Serve("a.grb", bytes);
        server.SetFaults({"ignore-offset"});
        tw::test::TempDir work;
        Folder folder(work.Path());
        WriteFile(folder.Tmp("a.grb"), c.partial);
        RecordingResource job;
        job.answers.push_back(wxYES);
        CFileList list;
        folder.Add(list, "a.grb");
        CIPGlue client(&job);
        ASSERT_TRUE(client.ConnectToServer());
        ASSERT_TRUE(client.Login());
        client.RequestFiles(list, CXferLocation(), true);
        EXPECT_NE(server.Received().find("get a.grb " + std::to_string(c.partial.size()) + " 1.50/0  \r\n"),
                  std::string::npos);
        EXPECT_EQ(list.GetFileSize(0), 2000u);
        Receive(client, list, 0);
        EXPECT_TRUE(client.GetReceiveError().empty());
        EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), bytes);
    }
}

// A START beyond the local partial size cannot be completed: the entry fails
// with a reason, its bytes are read past, and the next file is fine.
TEST_F(GatewayProtocol, StartBeyondThePartialFile)
{
    sim.Serve("a.grb", SampleBytes(1000, 13));
    sim.Serve("b.grb", SampleBytes(100, 14));
    sim.SetFaults({"header=a.grb:a.grb 400 1000"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    ASSERT_EQ(list.GetFileSize(0), 600u);
    Receive(*client, list, 0);
    EXPECT_TRUE(client->GetReceiveError().Contains("resumed 'a.grb' at byte 400 but only 0 bytes are here"))
        << client->GetReceiveError();
    EXPECT_EQ(wxFileName::GetSize(folder.Tmp("a.grb")), 0u);
    Receive(*client, list, 1);
    EXPECT_TRUE(client->GetReceiveError().empty());
    EXPECT_EQ(ReadFile(folder.Tmp("b.grb")), SampleBytes(100, 14));
}

// START equal to END: accepted with size 0, no bytes read.
TEST_F(GatewayProtocol, StartEqualToEnd)
{
    std::string bytes = sim.Serve("a.grb", SampleBytes(64, 15));
    sim.Serve("b.grb", SampleBytes(80, 16));
    Folder folder(dir.Path());
    WriteFile(folder.Tmp("a.grb"), bytes);   // already complete
    resource.answers.push_back(wxYES);
    CFileList list;
    folder.Add(list, "a.grb");
    folder.Add(list, "b.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_TRUE(list.GetFileError(0).empty());
    EXPECT_EQ(list.GetFileSize(0), 0u);
    Receive(*client, list, 0);
    EXPECT_TRUE(client->GetReceiveError().empty());
    EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), bytes);
    Receive(*client, list, 1);
    EXPECT_EQ(ReadFile(folder.Tmp("b.grb")), SampleBytes(80, 16));
}

// Header lines without a usable START and END count as refused files.
TEST_F(GatewayProtocol, BadHeaderNumbersRefuseTheFile)
{
    const char* lines[] = {"a.grb 10", "a.grb x 20", "a.grb 20 10", "a.grb -5 10", "a.grb 1 99999999999",
                           "a.grb 1.5 20", "a.grb"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        sim.Serve("a.grb", SampleBytes(50, 17));
        sim.SetFaults({std::string("header=a.grb:") + line});
        Folder folder(dir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        auto client = Connect();
        client->RequestFiles(list, CXferLocation(), true);
        EXPECT_TRUE(list.GetFileError(0).StartsWith("Invalid file header response")) << list.GetFileError(0);
        EXPECT_EQ(list.GetFileSize(0), 0u);
        EXPECT_FALSE(client->DataFollows(0));
    }
}

// An empty header line, or one of 255 bytes or more without a line end,
// ends the request with the empty-header failure.
TEST_F(GatewayProtocol, EmptyAndOverlongHeaderLines)
{
    const std::string lines[] = {"", std::string(300, 'h')};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line.size());
        sim.Serve("a.grb", "a");
        sim.Serve("b.grb", "b");
        sim.SetFaults({"header=b.grb:" + line});
        Folder folder(dir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        folder.Add(list, "b.grb");
        auto client = Connect();
        EXPECT_EQ(FailureText([&] { client->RequestFiles(list, CXferLocation(), true); }),
                  "ERROR: Empty file header response received from server.\r\nAborting at expected file "
                  "'b.grb'.\r\n\r\n");
    }
}

TEST_F(GatewayProtocol, LineEnds)
{
    // A line ending in two CRs before its LF keeps one of them.
    struct Case {
        std::string answer;
        std::string expected;
    };
    const Case cases[] = {{"OK\r\r", "OK\r"}, {"OK plain", "OK plain"}};
    for (const Case& c : cases) {
        sim.SetFaults({"login-answer=" + c.answer});
        CIPGlue client(&resource);
        ASSERT_TRUE(client.ConnectToServer());
        ASSERT_TRUE(client.Login());
        EXPECT_EQ(client.GetLoginAnswer(), c.expected);
    }
}

// Abort from another thread ends a read blocked on a silent server at once,
// long before the transfer time-out.
TEST_F(GatewayProtocol, AbortEndsABlockedRead)
{
    sim.Configure("skipper", "s3cret", 60);
    sim.Serve("a.grb", SampleBytes(5000, 18));
    sim.SetFaults({"stall-after=1000"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client->Abort();
    });
    auto began = std::chrono::steady_clock::now();
    EXPECT_THAT(FailureText<CBlockingSocketException>([&] { Receive(*client, list, 0); }),
                StartsWith("Network read operation error ("));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    stopper.join();
    EXPECT_LT(seconds, 30.0);
    // The bytes that did arrive are kept for a later resume.
    client.reset();
    EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), SampleBytes(5000, 18).substr(0, 1000));

    // Every later read fails too.
    CIPGlue aborted(&resource);
    ASSERT_TRUE(aborted.ConnectToServer());
    aborted.Abort();
    char c;
    EXPECT_THAT(FailureText<CBlockingSocketException>([&] { aborted.ServerRead(&c, 1); }),
                StartsWith("Network read operation error ("));
}

// A server that closes early ends the read with the socket failure, and
// writing into the closed connection does not kill the process.
TEST_F(GatewayProtocol, ServerClosingEarly)
{
    sim.Serve("a.grb", SampleBytes(100000, 19));
    sim.SetFaults({"cut-after=5000"});
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    auto client = Connect();
    client->RequestFiles(list, CXferLocation(), true);
    EXPECT_THAT(FailureText<CBlockingSocketException>([&] { Receive(*client, list, 0); }),
                HasSubstr("bytes unread) ["));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string big(1 << 20, 'x');
    client->ServerWrite(big);
    client->ServerWrite(big);
    client.reset();
    EXPECT_EQ(ReadFile(folder.Tmp("a.grb")), SampleBytes(100000, 19).substr(0, 5000));
}

// Through the dialer service: the link comes up first, the request lines
// carry the dialer's link value, the dialer's lines reach the job, and the
// link is hung up when the client goes.
class GatewayThroughDialer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = CDialService::GetWaits();
        CDialService::Waits quick;
        quick.tickMs = 100;
        quick.settleMs = 50;
        CDialService::SetWaits(quick);
        ASSERT_TRUE(wxSocketBase::IsInitialized() || wxSocketBase::Initialize());
        ASSERT_TRUE(gateway.Running());
        gateway.Configure();
        gateway.Serve("a.grb", "alpha");
    }
    void TearDown() override { CDialService::SetWaits(saved); }

    void UseDialer(const tw::test::DialerSim& dialer)
    {
        CUserConfig config;
        config.WriteText("Connection/connection", "Dezavuviv Odirir");
        config.WriteText("Gateway/autodialhost", "127.0.0.1");
        config.WriteInt("Gateway/autodialport", dialer.Port());
        config.WriteInt("Gateway/connection_timeout", 5);
    }

    // Runs the exchange on a worker thread while this thread serves the
    // dialer client's socket events.
    bool Exchange(CFileList& list, wxString& error)
    {
        std::atomic<bool> finished {false};
        bool connected = false;
        std::thread worker([&] {
            CIPGlue client(&resource);
            connected = client.ConnectToServer();
            error = client.GetErrorText();
            if (connected && client.Login())
                client.RequestFiles(list, CXferLocation(), true);
            finished = true;
        });
        tw::test::WaitFor([&] { return finished.load(); }, 30000);
        worker.join();
        return connected;
    }

    tw::test::TempHome home;
    tw::test::TempDir dir;
    GatewaySim gateway;
    RecordingResource resource;
    CDialService::Waits saved;
};

TEST_F(GatewayThroughDialer, LinkValueInTheRequestLines)
{
    struct Case {
        std::vector<std::string> options;
        std::string price;
    };
    const Case cases[] = {
        {{}, "1.50/2"},
        {{"--connected", "connected"}, "1.50/4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.price);
        GatewaySim server;
        server.Configure();
        server.Serve("a.grb", "alpha");
        tw::test::DialerSim dialer(c.options);
        ASSERT_TRUE(dialer.Running());
        UseDialer(dialer);
        Folder folder(dir.Path());
        CFileList list;
        folder.Add(list, "a.grb");
        wxString error;
        EXPECT_TRUE(Exchange(list, error)) << error;
        EXPECT_NE(server.Received().find("get a.grb 0 " + c.price + "  \r\n"), std::string::npos)
            << server.Received();
        EXPECT_TRUE(dialer.WaitForRequest("dialup"));
        EXPECT_TRUE(dialer.WaitForRequest("hangup"));
        bool dialing = false;
        for (const auto& s : resource.statuses)
            dialing = dialing || s.StartsWith("Dialing");
        EXPECT_TRUE(dialing);
    }
}

TEST_F(GatewayThroughDialer, FailedDialIsAConnectionFailure)
{
    tw::test::DialerSim dialer({"--reply", "dialup=error"});
    ASSERT_TRUE(dialer.Running());
    UseDialer(dialer);
    Folder folder(dir.Path());
    CFileList list;
    folder.Add(list, "a.grb");
    wxString error;
    EXPECT_FALSE(Exchange(list, error));
    EXPECT_TRUE(error.EndsWith("\r\n")) << error;
    EXPECT_TRUE(error.Contains("service")) << error;
    EXPECT_EQ(gateway.Received(), "");
}

} // namespace
