// The settings store: the per-user settings file, the read-only defaults file
// that fixes the installation's edition, and CRegistry, a snapshot of the
// account, connection and miscellaneous settings.
//
// Where the files live:
//   user settings   $XDG_CONFIG_HOME/Tidewright.conf (~/.config/Tidewright.conf
//                   when XDG_CONFIG_HOME is not set), mode 0600 because it holds
//                   the service password; the toolkit's system-wide
//                   /etc/Tidewright.conf is read underneath it.
//   defaults        <resources folder>/Tidewright.conf, group Default (read only).
//
// Threads: the settings file is used from the main thread and from workers.
// Every open, read, write and close of it happens while CRegistry::ConfigLock()
// is held. Code that needs the user file directly opens it through CUserConfig,
// which takes that lock for its whole lifetime, so no writer loses another's
// group and no reader sees a half-written file.
#pragma once

#include <memory>
#include <mutex>

#include <wx/string.h>

class wxFileConfig;

// Editions of the installation (Default/evt) and of the last run (Misc/evp).
// Values other than these can appear in a file and are kept as they are.
enum t_evtype : long {
    EVT_NONE = 0,
    EVT_STANDARD = 1000,
    EVT_RACE = 2002,
    EVT_TOURNAMENT = 3003
};

// The account record.
struct t_GatewayInfo {
    wxString username;      // Gateway/username
    wxString password;      // Gateway/password
    wxString gateway;       // Gateway/gateway
    wxString autodialhost;  // Gateway/autodialhost
};

// The connection record; the default connection's name is its only member in use.
struct t_DUNInfo {
    wxString connection;    // Connection/connection
};

// The user settings file, opened for the lifetime of the object with the
// process-wide configuration lock held. Values are read and written with the
// typed helpers below: numbers are written and read as core/Numbers.h says
// (a value is one whole number), doubles keep six significant digits, and a
// value that cannot be parsed reads as the default.
// The destructor writes the file back when anything changed and releases the
// lock. Do not keep one open across a modal dialog or a long wait.
class CUserConfig
{
public:
    CUserConfig();
    ~CUserConfig();
    CUserConfig(const CUserConfig&) = delete;
    CUserConfig& operator=(const CUserConfig&) = delete;

    wxFileConfig& File() { return *m_config; }
    wxFileConfig* operator->() { return m_config.get(); }

    bool Has(const wxString& key) const;
    wxString ReadText(const wxString& key, const wxString& def = wxString()) const;
    long ReadLong(const wxString& key, long def) const;
    int ReadInt(const wxString& key, int def) const;
    bool ReadBool(const wxString& key, bool def) const;
    double ReadDouble(const wxString& key, double def) const;

    void WriteText(const wxString& key, const wxString& value);
    void WriteLong(const wxString& key, long value);
    void WriteInt(const wxString& key, int value) { WriteLong(key, value); }
    void WriteBool(const wxString& key, bool value);
    void WriteDouble(const wxString& key, double value);
    bool DeleteEntry(const wxString& key);

    // Writes pending changes now (the destructor does it too).
    bool Flush();

private:
    std::lock_guard<std::recursive_mutex> m_lock;
    wxString m_path;
    std::unique_ptr<wxFileConfig> m_config;
};

class CRegistry
{
public:
    CRegistry();
    virtual ~CRegistry();

    // The one lock around every use of the settings file (recursive).
    static std::recursive_mutex& ConfigLock();
    // Full path of the user settings file and of the read-only defaults file.
    static wxString UserFileName();
    static wxString DefaultsFileName();

    void Create();
    void GetLegacySettings(wxFileConfig& config);

    void WriteGatewayInfo();
    void WriteDUNInfo();
    void WriteMISCInfo();
    void WriteInfo();

    int GetTransferRate();
    void SetTransferRate(long rate);

    bool IsNetwork() const;
    bool IsAutoDialer() const { return !IsNetwork(); }

    bool CacheLoginValues();
    bool RestoreLoginValues();
    bool ClearLoginValues();

    // The gateway used when the user has chosen none.
    static const wxString kDefaultGateway;
    // Connection/connection for a direct network connection.
    static const wxString kNetworkConnection;

    // --- the snapshot (members in the order of the file's groups)
    t_GatewayInfo m_gatewayInfo;
    int m_gatewayPort = 0;          // Gateway/port
    int m_autodialPort = 0;         // Gateway/autodialport
    int m_connectionTimeout = 0;    // Gateway/connection_timeout, seconds
    int m_xferTimeout = 0;          // Gateway/xfer_timeout, seconds
    bool m_autodialLogin = false;   // Gateway/autodiallogin

    t_DUNInfo m_dunInfo;

    wxString m_units;               // Misc/units
    wxString m_readme;              // Misc/readme
    wxString m_xferRate;            // Misc/xfer_rate, "network dialer"
    wxString m_eventName;           // Default/evn

    long m_evType = EVT_NONE;       // Default/evt, edition of this installation
    long m_evPrevious = EVT_NONE;   // Misc/evp, edition of the last run
    int m_speed = 0;                // Misc/speed
    int m_course = 0;               // Misc/course
    int m_mapOffset = 0;            // Misc/mapoffset
    bool m_archive = false;         // Misc/archive

private:
    void ReadRatePair(long* network, long* dialer) const;
};
