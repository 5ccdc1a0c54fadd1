#include "platform/SerialPort.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <libserialport.h>

#include <wx/log.h>

namespace {

bool SpeedFor(int baud, speed_t& speed)
{
    switch (baud) {
    case 150: speed = B150; return true;
    case 300: speed = B300; return true;
    case 600: speed = B600; return true;
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    case 230400: speed = B230400; return true;
    default: return false;
    }
}

std::mutex g_listerLock;
std::function<wxArrayString()> g_lister;
wxArrayString g_extraPorts;

bool Fail(wxString* why, const wxString& text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

bool tw::ApplyLineSettings(const wxSerialPort_DCS& dcs, termios& tio, wxString* why)
{
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;

    tio.c_cflag &= ~CSIZE;
    switch (dcs.wordlen) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: return Fail(why, wxString::Format("%d data bits are not possible (5 to 8).", int(dcs.wordlen)));
    }

    // Mark and space parity need CMSPAR; PARODD then picks mark (1) or space (0).
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (dcs.parity) {
    case wxPARITY_NONE: break;
    case wxPARITY_ODD: tio.c_cflag |= PARENB | PARODD; break;
    case wxPARITY_EVEN: tio.c_cflag |= PARENB; break;
    case wxPARITY_MARK: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case wxPARITY_SPACE: tio.c_cflag |= PARENB | CMSPAR; break;
    default: return Fail(why, wxString::Format("The parity setting %d is unknown.", dcs.parity));
    }

    switch (dcs.stopbits) {
    case 1: tio.c_cflag &= ~CSTOPB; break;
    case 2: tio.c_cflag |= CSTOPB; break;
    default: return Fail(why, wxString::Format("%d stop bits are not possible (1 or 2).", int(dcs.stopbits)));
    }

    if (dcs.rtscts)
        tio.c_cflag |= CRTSCTS;
    else
        tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (dcs.xonxoff)
        tio.c_iflag |= IXON | IXOFF;

    // Reads return at once with whatever is waiting.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    if (dcs.baud != 0) {
        speed_t speed;
        if (!SpeedFor(dcs.baud, speed))
            return Fail(why, wxString::Format("The line rate %d is not supported.", dcs.baud));
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    return true;
}

namespace {

bool Configure(int fd, const wxSerialPort_DCS& dcs, wxString& why)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return Fail(&why, wxSysErrorMsgStr(errno));
    if (!tw::ApplyLineSettings(dcs, tio, &why))
        return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return Fail(&why, wxSysErrorMsgStr(errno));
    return true;
}

} // namespace

wxSerialPort::~wxSerialPort()
{
    Close();
}

int wxSerialPort::Open(const char* devname, void* dcs)
{
    Close();
    m_lastError.clear();
    if (!devname || !*devname) {
        m_lastError = "No port is chosen.";
        return -1;
    }
    const wxSerialPort_DCS defaults;
    const wxSerialPort_DCS& settings = dcs ? *static_cast<const wxSerialPort_DCS*>(dcs) : defaults;

    int fd;
    do {
        fd = ::open(devname, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_lastError = wxSysErrorMsgStr(errno);
        return -1;
    }
    if (!isatty(fd)) {
        m_lastError = "The device is not a serial port.";
        ::close(fd);
        return -1;
    }
    if (!Configure(fd, settings, m_lastError)) {
        ::close(fd);
        return -1;
    }
    // What arrived before the port was opened is old news (an earlier
    // position): reading starts with what comes from now on.
    tcflush(fd, TCIFLUSH);
    m_fd = fd;
    return 0;
}

int wxSerialPort::OpenDevice(const wxString& devname, void* dcs)
{
    const wxCharBuffer name = devname.fn_str();
    if (!name.data()) {
        Close();
        m_lastError = "The port name cannot be written in the system's encoding.";
        return -1;
    }
    return Open(name.data(), dcs);
}

int wxSerialPort::Read(char* buf, size_t len)
{
    if (m_fd < 0 || !buf)
        return -1;
    if (len == 0)
        return 0;
    if (len > static_cast<size_t>(INT_MAX))
        len = INT_MAX;
    for (;;) {
        const ssize_t n = ::read(m_fd, buf, len);
        if (n > 0)
            return static_cast<int>(n);
        if (n == 0) {
            // Nothing waiting, or the device has gone (unplugged, hung up):
            // only the second is an error.
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                return -1;
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        return -1;
    }
}

int wxSerialPort::Write(const char* buf, size_t len)
{
    if (m_fd < 0 || (!buf && len))
        return -1;
    if (len > static_cast<size_t>(INT_MAX))
        len = INT_MAX;
    size_t done = 0;
    while (done < len) {
        const ssize_t n = ::write(m_fd, buf + done, len - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) > 0)
                continue;
        }
        break;
    }
    return done > 0 || len == 0 ? static_cast<int>(done) : -1;
}

int wxSerialPort::Close()
{
    if (m_fd < 0)
        return 0;
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0 ? 0 : -1;
}

namespace tw {

wxString SerialBytesToText(const char* bytes, size_t len)
{
    if (!bytes || len == 0)
        return wxString();
    return wxString(bytes, wxConvISO8859_1, len);
}

namespace {

wxArrayString SystemSerialPorts()
{
    wxArrayString names;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return names;
    for (sp_port** port = ports; port && *port; ++port) {
        if (const char* name = sp_get_port_name(*port))
            names.Add(wxString(name, *wxConvFileName));
    }
    sp_free_port_list(ports);
    return names;
}

} // namespace

wxArrayString ListSerialPorts()
{
    std::function<wxArrayString()> lister;
    wxArrayString extra;
    {
        std::lock_guard<std::mutex> lock(g_listerLock);
        lister = g_lister;
        extra = g_extraPorts;
    }
    wxArrayString names = lister ? lister() : SystemSerialPorts();
    for (const wxString& name : extra) {
        if (names.Index(name) == wxNOT_FOUND)
            names.Add(name);
    }
    return names;
}

void SetSerialPortLister(std::function<wxArrayString()> lister)
{
    std::lock_guard<std::mutex> lock(g_listerLock);
    g_lister = std::move(lister);
}

void SetExtraSerialPorts(const wxArrayString& ports)
{
    std::lock_guard<std::mutex> lock(g_listerLock);
    g_extraPorts = ports;
}

} // namespace tw
