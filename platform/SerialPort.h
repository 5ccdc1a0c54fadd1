// Serial ports: the list of the system's ports, and a small port class for
// reading a GPS receiver.
//
// The port is driven through POSIX termios in raw mode (no echo, no line
// editing, no CR/LF translation), so bytes arrive exactly as sent; this works
// for real serial devices and for pseudo-terminals alike.
#pragma once

#include <cstddef>
#include <functional>

#include <wx/arrstr.h>
#include <wx/string.h>

enum wxBaud {
    wxBAUD_150 = 150,
    wxBAUD_300 = 300,
    wxBAUD_600 = 600,
    wxBAUD_1200 = 1200,
    wxBAUD_2400 = 2400,
    wxBAUD_4800 = 4800,
    wxBAUD_9600 = 9600,
    wxBAUD_19200 = 19200,
    wxBAUD_38400 = 38400,
    wxBAUD_57600 = 57600,
    wxBAUD_115200 = 115200,
    wxBAUD_230400 = 230400
};

// The numbers match the settings' parity values (0 none, 1 odd, 2 even,
// 3 mark, 4 space).
enum wxParity {
    wxPARITY_NONE = 0,
    wxPARITY_ODD = 1,
    wxPARITY_EVEN = 2,
    wxPARITY_MARK = 3,
    wxPARITY_SPACE = 4
};

// Line settings of a port.
struct wxSerialPort_DCS {
    int baud = wxBAUD_4800;      // bits per second; 0 leaves the port's speed as it is
    int parity = wxPARITY_NONE;  // a wxParity value
    unsigned char wordlen = 8;   // data bits, 5 to 8
    unsigned char stopbits = 1;  // 1 or 2
    bool rtscts = false;         // hardware flow control
    bool xonxoff = false;        // software flow control
};

class wxSerialPort
{
public:
    wxSerialPort() = default;
    virtual ~wxSerialPort();
    wxSerialPort(const wxSerialPort&) = delete;
    wxSerialPort& operator=(const wxSerialPort&) = delete;

    // Opens the device with the given settings (default settings when null).
    // Returns 0 on success, a negative number on failure (no such device, not
    // a terminal, settings the line cannot take); LastError() then says why.
    // An open port is closed first. Bytes that arrived before the open are
    // discarded.
    int Open(const char* devname, void* dcs = nullptr);
    int OpenDevice(const wxString& devname, void* dcs = nullptr);

    // Reads what is waiting, without blocking: the number of bytes read,
    // 0 when nothing is waiting, negative on error or when the port is closed.
    int Read(char* buf, size_t len);
    // Writes the bytes; the number written or negative on error.
    int Write(const char* buf, size_t len);

    int Close();
    int CloseDevice() { return Close(); }
    bool IsOpen() const { return m_fd >= 0; }

    // Why the last Open failed (one sentence); empty after a good open.
    const wxString& LastError() const { return m_lastError; }

private:
    int m_fd = -1;
    wxString m_lastError;
};

struct termios;

namespace tw {

// Puts the settings into a terminal description: raw mode, reads that return
// at once, and the line settings. False when the settings cannot be expressed
// (unknown speed or parity, data bits other than 5 to 8, stop bits other than
// 1 or 2), with the reason in *why when given.
bool ApplyLineSettings(const wxSerialPort_DCS& dcs, termios& tio, wxString* why = nullptr);

// Bytes from a serial line as text, one character per byte (Latin-1): a
// receiver at the wrong speed sends bytes that are no valid UTF-8, and every
// one of them must still be seen.
wxString SerialBytesToText(const char* bytes, size_t len);

// The serial ports of the system, as libserialport lists them (device paths
// such as /dev/ttyUSB0), in its order, followed by the extra ports; empty
// when there are none.
wxArrayString ListSerialPorts();

// Replaces the system's part of the port list (tests). An empty function
// restores the real one.
void SetSerialPortLister(std::function<wxArrayString()> lister);

// Ports listed after the system's own (tests add a pseudo-terminal here);
// an empty list removes them.
void SetExtraSerialPorts(const wxArrayString& ports);

} // namespace tw
