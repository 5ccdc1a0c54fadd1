#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "platform/SerialPort.h"
#include "support/TestSupport.h"

using namespace tw::test;

namespace {

// A pseudo-terminal: the test writes into the master side what a GPS
// receiver would send; the port under test opens the slave side.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        if (const char* name = ptsname(m_master))
            m_slave = name;
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() { HangUp(); }

    bool Ok() const { return m_master >= 0 && !m_slave.empty(); }
    const std::string& SlaveName() const { return m_slave; }

    void Send(const std::string& bytes)
    {
        ASSERT_EQ(write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string Receive(size_t expected, int timeoutMs = 2000)
    {
        std::string got;
        wxStopWatch sw;
        while (got.size() < expected && sw.Time() < timeoutMs) {
            char buf[256];
            const ssize_t n = read(m_master, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<size_t>(n));
            else
                wxMilliSleep(5);
        }
        return got;
    }
    void HangUp()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    std::string m_slave;
};

// Reads from the port until `expected` bytes have come or the time is up.
std::string ReadAll(wxSerialPort& port, size_t expected, int timeoutMs = 2000)
{
    std::string got;
    wxStopWatch sw;
    while (got.size() < expected && sw.Time() < timeoutMs) {
        char buf[1024];
        const int n = port.Read(buf, 1023);
        if (n > 0)
            got.append(buf, static_cast<size_t>(n));
        else if (n < 0)
            break;
        else
            wxMilliSleep(5);
    }
    return got;
}

wxSerialPort_DCS Settings(int baud, int parity, int wordlen, int stopbits)
{
    wxSerialPort_DCS dcs;
    dcs.baud = baud;
    dcs.parity = parity;
    dcs.wordlen = static_cast<unsigned char>(wordlen);
    dcs.stopbits = static_cast<unsigned char>(stopbits);
    return dcs;
}

} // namespace

TEST(SerialPort, ReadsSentencesByteForByte)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    wxSerialPort port;
    wxSerialPort_DCS dcs = Settings(wxBAUD_4800, wxPARITY_NONE, 8, 1);
    ASSERT_EQ(port.Open(pty.SlaveName().c_str(), &dcs), 0);
    EXPECT_TRUE(port.IsOpen());

    // Carriage returns, flow-control and interrupt characters, a NUL and
    // high bytes would all be changed or swallowed by a terminal's line
    // discipline; a GPS reader must see them as sent.
    const std::string sentence = "$GPGLL,4724.114,N,12219.380,W,225444,A*1D\r\n";
    const std::string controls("\x11\x13\x03\x1a\x7f\x04\x00\xff\r\r\n", 11);
    pty.Send(sentence);
    pty.Send(controls);
    EXPECT_EQ(ReadAll(port, sentence.size() + controls.size()), sentence + controls);
}

TEST(SerialPort, ReadDoesNotWaitWhenNothingHasArrived)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    wxSerialPort port;
    ASSERT_EQ(port.OpenDevice(wxString::FromUTF8(pty.SlaveName())), 0);
    char buf[1024];
    wxStopWatch sw;
    EXPECT_EQ(port.Read(buf, sizeof buf - 1), 0);
    EXPECT_LT(sw.Time(), 100);

    // Bytes sent before the read are picked up by a later read.
    pty.Send("$GPRMC,");
    EXPECT_EQ(ReadAll(port, 7), "$GPRMC,");
}

TEST(SerialPort, BytesFromBeforeTheOpenAreDiscarded)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    // Someone else holds the line open, so what the receiver sends waits in
    // its buffer until the port opens: an old position, not read.
    const int holder = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    pty.Send("$GPGLL,old\r\n");
    wxSerialPort port;
    ASSERT_EQ(port.Open(pty.SlaveName().c_str()), 0);
    pty.Send("$GPGLL,new\r\n");
    EXPECT_EQ(ReadAll(port, 12), "$GPGLL,new\r\n");
    close(holder);
}

TEST(SerialPort, BytesBecomeOneCharacterEach)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const wxString text = tw::SerialBytesToText(all.data(), all.size());
    ASSERT_EQ(text.length(), 256u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<int>(text[b].GetValue()), b);
    EXPECT_EQ(tw::SerialBytesToText(nullptr, 0), "");
}

TEST(SerialPort, WritesReachTheOtherSide)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    wxSerialPort port;
    ASSERT_EQ(port.Open(pty.SlaveName().c_str()), 0);
    const std::string text("$PTWQ,1\r\n\x11", 10);
    EXPECT_EQ(port.Write(text.data(), text.size()), static_cast<int>(text.size()));
    EXPECT_EQ(pty.Receive(text.size()), text);
}

TEST(SerialPort, LineSettingsTranslateToTerminalFlags)
{
    const struct {
        int baud, parity, wordlen, stopbits;
        bool rtscts, xonxoff;
        bool ok;
        speed_t speed;
        tcflag_t size, parityBits;
        bool twoStops;
    } cases[] = {
        {wxBAUD_4800, wxPARITY_NONE, 8, 1, false, false, true, B4800, CS8, 0, false},
        {wxBAUD_2400, wxPARITY_ODD, 7, 2, false, false, true, B2400, CS7, PARENB | PARODD, true},
        {wxBAUD_9600, wxPARITY_EVEN, 6, 1, false, false, true, B9600, CS6, PARENB, false},
        {wxBAUD_19200, wxPARITY_MARK, 7, 1, false, false, true, B19200, CS7, PARENB | PARODD | CMSPAR, false},
        {wxBAUD_115200, wxPARITY_SPACE, 5, 1, true, true, true, B115200, CS5, PARENB | CMSPAR, false},
        {1234, wxPARITY_NONE, 8, 1, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, 5, 8, 1, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, -1, 8, 1, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, wxPARITY_NONE, 4, 1, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, wxPARITY_NONE, 9, 1, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, wxPARITY_NONE, 8, 0, false, false, false, 0, 0, 0, false},
        {wxBAUD_4800, wxPARITY_NONE, 8, 3, false, false, false, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.baud << " parity " << c.parity << " bits " << c.wordlen);
        wxSerialPort_DCS dcs = Settings(c.baud, c.parity, c.wordlen, c.stopbits);
        dcs.rtscts = c.rtscts;
        dcs.xonxoff = c.xonxoff;
        // Start from a cooked terminal with every flag that must go set.
        termios tio{};
        tio.c_iflag = ICRNL | IXON | IXANY | IGNCR | INLCR | ISTRIP;
        tio.c_oflag = OPOST | ONLCR;
        tio.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
        tio.c_cflag = CS8 | PARENB | PARODD | CSTOPB | CRTSCTS;
        wxString why;
        ASSERT_EQ(tw::ApplyLineSettings(dcs, tio, &why), c.ok);
        if (!c.ok) {
            EXPECT_FALSE(why.empty());
            continue;
        }
        EXPECT_EQ(cfgetispeed(&tio), c.speed);
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.size);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.parityBits);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.rtscts);
        EXPECT_EQ((tio.c_iflag & IXON) != 0, c.xonxoff);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IGNCR | INLCR | ISTRIP | IXANY), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
}

TEST(SerialPort, LineSettingsReachTheDevice)
{
    // A pseudo-terminal keeps the speed, the stop bits and the raw mode; it
    // always reports eight data bits without parity, so those are checked
    // on the flags above.
    const struct {
        int baud, stopbits;
        speed_t speed;
        bool twoStops;
    } cases[] = {
        {wxBAUD_4800, 1, B4800, false},
        {wxBAUD_2400, 2, B2400, true},
        {wxBAUD_19200, 1, B19200, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.baud << " stop bits " << c.stopbits);
        PseudoTerminal pty;
        ASSERT_TRUE(pty.Ok());
        wxSerialPort port;
        wxSerialPort_DCS dcs = Settings(c.baud, wxPARITY_NONE, 8, c.stopbits);
        ASSERT_EQ(port.Open(pty.SlaveName().c_str(), &dcs), 0);

        const int fd = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios tio{};
        ASSERT_EQ(tcgetattr(fd, &tio), 0);
        close(fd);
        EXPECT_EQ(cfgetispeed(&tio), c.speed);
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
    }
}

TEST(SerialPort, BaudZeroKeepsTheLineSpeed)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    {
        wxSerialPort port;
        wxSerialPort_DCS dcs = Settings(wxBAUD_9600, wxPARITY_NONE, 8, 1);
        ASSERT_EQ(port.Open(pty.SlaveName().c_str(), &dcs), 0);
    }
    wxSerialPort port;
    wxSerialPort_DCS dcs = Settings(0, wxPARITY_NONE, 8, 1);
    ASSERT_EQ(port.Open(pty.SlaveName().c_str(), &dcs), 0);
    const int fd = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
}

TEST(SerialPort, OpenFailuresLeaveThePortClosed)
{
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir / "plain file", "$GPGLL\r\n"));
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    const std::string plain = std::string((dir / "plain file").utf8_str());

    const struct {
        const char* what;
        std::string device;
        wxSerialPort_DCS dcs;
    } cases[] = {
        {"no such device", "/dev/tw-no-such-port", Settings(4800, 0, 8, 1)},
        {"empty name", "", Settings(4800, 0, 8, 1)},
        {"not a terminal", plain, Settings(4800, 0, 8, 1)},
        {"unknown speed", pty.SlaveName(), Settings(1234, 0, 8, 1)},
        {"too many data bits", pty.SlaveName(), Settings(4800, 0, 9, 1)},
        {"unknown parity", pty.SlaveName(), Settings(4800, 7, 8, 1)},
        {"no stop bits", pty.SlaveName(), Settings(4800, 0, 8, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        wxSerialPort port;
        wxSerialPort_DCS dcs = c.dcs;
        EXPECT_LT(port.Open(c.device.c_str(), &dcs), 0);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.LastError().empty());
        // A good open afterwards clears the reason.
        if (c.device == pty.SlaveName()) {
            wxSerialPort_DCS good = Settings(4800, 0, 8, 1);
            EXPECT_EQ(port.Open(c.device.c_str(), &good), 0);
            EXPECT_TRUE(port.LastError().empty());
            port.Close();
        }
        char buf[16];
        EXPECT_LT(port.Read(buf, sizeof buf), 0);
    }
    wxSerialPort port;
    EXPECT_LT(port.Open(nullptr), 0);
    EXPECT_LT(port.OpenDevice("/dev/tw-no-such-port"), 0);
}

TEST(SerialPort, ClosedOrUnpluggedPortReportsErrors)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    wxSerialPort port;
    ASSERT_EQ(port.Open(pty.SlaveName().c_str()), 0);
    char buf[64];

    pty.HangUp();   // the receiver went away
    int rc = 0;
    EXPECT_TRUE(WaitFor([&] { return (rc = port.Read(buf, sizeof buf)) < 0; }, 1000)) << rc;

    EXPECT_EQ(port.CloseDevice(), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_LT(port.Read(buf, sizeof buf), 0);
    EXPECT_LT(port.Write("x", 1), 0);
    EXPECT_EQ(port.Close(), 0);   // closing twice is harmless
}

TEST(SerialPort, ReopeningSwitchesToTheNewDevice)
{
    PseudoTerminal first, second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    wxSerialPort port;
    ASSERT_EQ(port.Open(first.SlaveName().c_str()), 0);
    ASSERT_EQ(port.Open(second.SlaveName().c_str()), 0);
    first.Send("first");
    second.Send("second");
    EXPECT_EQ(ReadAll(port, 6), "second");
}

TEST(SerialPortList, ComesFromTheSystemUnlessReplaced)
{
    for (const wxString& name : tw::ListSerialPorts())
        EXPECT_TRUE(name.StartsWith("/dev/")) << name;

    tw::SetSerialPortLister([] {
        wxArrayString ports;
        ports.Add("/dev/pts/7");
        return ports;
    });
    const wxArrayString replaced = tw::ListSerialPorts();
    tw::SetSerialPortLister({});
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0], "/dev/pts/7");
}

TEST(SerialPortList, ExtraPortsFollowTheSystemsOwn)
{
    const wxArrayString system = tw::ListSerialPorts();
    wxArrayString extra;
    extra.Add("/dev/pts/41");
    extra.Add("/dev/pts/42");
    tw::SetExtraSerialPorts(extra);
    const wxArrayString listed = tw::ListSerialPorts();
    ASSERT_EQ(listed.size(), system.size() + 2);
    for (size_t i = 0; i < system.size(); ++i)
        EXPECT_EQ(listed[i], system[i]);
    EXPECT_EQ(listed[system.size()], "/dev/pts/41");
    EXPECT_EQ(listed[system.size() + 1], "/dev/pts/42");

    // Also after a replaced list, and never twice.
    tw::SetSerialPortLister([] {
        wxArrayString ports;
        ports.Add("/dev/pts/42");
        return ports;
    });
    const wxArrayString both = tw::ListSerialPorts();
    tw::SetSerialPortLister({});
    tw::SetExtraSerialPorts(wxArrayString());
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], "/dev/pts/42");
    EXPECT_EQ(both[1], "/dev/pts/41");
    EXPECT_EQ(tw::ListSerialPorts().size(), system.size());
}
