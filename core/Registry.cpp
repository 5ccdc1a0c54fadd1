#include "core/Registry.h"

#include <sys/stat.h>

#include <climits>

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include "core/Numbers.h"
#include "platform/Locations.h"

const wxString CRegistry::kDefaultGateway = wxS("gateway.tidewright.net");
const wxString CRegistry::kNetworkConnection = wxS("Network Connection");

namespace {

// Both files are opened with the local and the global file (the user file)
// or the global file alone (the defaults file).
constexpr long kUserFileStyle = wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE;
constexpr long kDefaultsFileStyle = wxCONFIG_USE_GLOBAL_FILE;

constexpr long kDefaultNetworkRate = 256000;
constexpr long kDefaultDialerRate = 600;

wxString AppName() { return wxString::FromUTF8(tw::kAppName); }
wxString VendorName() { return wxString::FromUTF8(tw::kVendorName); }

std::unique_ptr<wxFileConfig> OpenConfig(const wxString& local, const wxString& global, long style)
{
    auto config = std::make_unique<wxFileConfig>(AppName(), VendorName(), local, global, style);
    // Values come back exactly as stored: a password holding "$HOME" or
    // "%PATH%" must not be expanded.
    config->SetExpandEnvVars(false);
    config->SetUmask(0077);
    return config;
}

} // namespace

// ------------------------------------------------------------ CUserConfig

CUserConfig::CUserConfig()
    : m_lock(CRegistry::ConfigLock()),
      m_path(CRegistry::UserFileName()),
      m_config(OpenConfig(m_path, wxString(), kUserFileStyle))
{
}

CUserConfig::~CUserConfig()
{
    Flush();
    m_config.reset();
}

bool CUserConfig::Flush()
{
    const wxFileName path(m_path);
    if (!path.DirExists())
        wxFileName::Mkdir(path.GetPath(), 0700, wxPATH_MKDIR_FULL);
    const bool ok = m_config->Flush();
    // The toolkit keeps the mode of a file it rewrites, so a file that was
    // once readable by others would stay so: the password lives here.
    struct stat st;
    const wxCharBuffer native = path.GetFullPath().fn_str();
    if (::stat(native.data(), &st) == 0 && (st.st_mode & 077) != 0)
        ::chmod(native.data(), st.st_mode & 0700);
    return ok;
}

bool CUserConfig::Has(const wxString& key) const
{
    return m_config->HasEntry(key);
}

wxString CUserConfig::ReadText(const wxString& key, const wxString& def) const
{
    wxString value;
    if (!m_config->Read(key, &value))
        return def;
    return value;
}

long CUserConfig::ReadLong(const wxString& key, long def) const
{
    wxString text;
    long value = def;
    if (m_config->Read(key, &text) && tw::ParseLong(text, value))
        return value;
    return def;
}

int CUserConfig::ReadInt(const wxString& key, int def) const
{
    const long value = ReadLong(key, def);
    if (value < INT_MIN || value > INT_MAX)
        return def;
    return static_cast<int>(value);
}

bool CUserConfig::ReadBool(const wxString& key, bool def) const
{
    return ReadLong(key, def ? 1 : 0) != 0;
}

double CUserConfig::ReadDouble(const wxString& key, double def) const
{
    wxString text;
    double value = def;
    if (m_config->Read(key, &text) && tw::ParseDouble(text, value))
        return value;
    return def;
}

void CUserConfig::WriteText(const wxString& key, const wxString& value)
{
    m_config->Write(key, value);
}

void CUserConfig::WriteLong(const wxString& key, long value)
{
    m_config->Write(key, wxString::Format("%ld", value));
}

void CUserConfig::WriteBool(const wxString& key, bool value)
{
    m_config->Write(key, wxString(value ? "1" : "0"));
}

void CUserConfig::WriteDouble(const wxString& key, double value)
{
    m_config->Write(key, tw::FormatG(value));
}

bool CUserConfig::DeleteEntry(const wxString& key)
{
    return m_config->DeleteEntry(key, false);
}

// ------------------------------------------------------------ CRegistry

std::recursive_mutex& CRegistry::ConfigLock()
{
    static std::recursive_mutex lock;
    return lock;
}

wxString CRegistry::UserFileName()
{
    // XDG layout: $XDG_CONFIG_HOME/Tidewright.conf, else ~/.config/Tidewright.conf.
    wxString dir;
    if (!wxGetEnv("XDG_CONFIG_HOME", &dir) || dir.empty() || !wxIsAbsolutePath(dir))
        dir = tw::HomeDir() + "/.config";
    return wxFileName(dir, AppName() + ".conf").GetFullPath();
}

wxString CRegistry::DefaultsFileName()
{
    // Same file name as the toolkit's system-wide file for this application,
    // but inside the resources folder.
    const wxFileName global(wxFileConfig::GetGlobalFileName(AppName()));
    return wxFileName(tw::ResourcesDir(), global.GetFullName()).GetFullPath();
}

CRegistry::CRegistry()
{
    Create();
}

CRegistry::~CRegistry() = default;

void CRegistry::GetLegacySettings(wxFileConfig& config)
{
    auto readText = [&](const char* key, const wxString& def) {
        wxString value;
        return config.Read(key, &value) ? value : def;
    };
    auto readInt = [&](const char* key, int def) {
        int value = def;
        if (!tw::ParseInt(readText(key, wxString()), value))
            return def;
        return value;
    };
    m_gatewayInfo.username = readText("Gateway/username", wxString());
    m_gatewayInfo.password = readText("Gateway/password", wxString());
    m_gatewayInfo.gateway = readText("Gateway/gateway", kDefaultGateway);
    m_gatewayPort = readInt("Gateway/port", 443);
    m_connectionTimeout = readInt("Gateway/connection_timeout", 60);
    m_xferTimeout = readInt("Gateway/xfer_timeout", 30);
    m_dunInfo.connection = readText("Connection/connection", kNetworkConnection);
    m_archive = readInt("Misc/archive", 1) != 0;
}

void CRegistry::Create()
{
    CUserConfig user;
    GetLegacySettings(user.File());
    m_gatewayInfo.autodialhost = user.ReadText("Gateway/autodialhost", wxS("localhost"));
    m_autodialPort = user.ReadInt("Gateway/autodialport", 3020);
    m_autodialLogin = user.ReadBool("Gateway/autodiallogin", true);
    m_speed = user.ReadInt("Misc/speed", 0);
    m_course = user.ReadInt("Misc/course", 0);
    m_units = user.ReadText("Misc/units", wxS("e"));
    m_readme = user.ReadText("Misc/readme", wxString());
    m_mapOffset = user.ReadInt("Misc/mapoffset", 180);
    m_xferRate = user.ReadText("Misc/xfer_rate", wxS("0 0"));

    {
        // The defaults file: a missing one gives the standard edition.
        auto defaults = OpenConfig(wxString(), DefaultsFileName(), kDefaultsFileStyle);
        wxString text;
        m_eventName = defaults->Read("Default/evn", &text) ? text : wxString();
        long evt = EVT_NONE;
        if (!defaults->Read("Default/evt", &text) || !tw::ParseLong(text, evt))
            evt = EVT_NONE;
        m_evType = evt;
    }

    m_evPrevious = user.ReadLong("Misc/evp", EVT_NONE);
}

void CRegistry::WriteGatewayInfo()
{
    CUserConfig user;
    user.WriteText("Gateway/username", m_gatewayInfo.username);
    user.WriteText("Gateway/password", m_gatewayInfo.password);
    user.WriteText("Gateway/gateway", m_gatewayInfo.gateway);
    user.WriteInt("Gateway/port", m_gatewayPort);
    user.WriteInt("Gateway/connection_timeout", m_connectionTimeout);
    user.WriteInt("Gateway/xfer_timeout", m_xferTimeout);
    user.WriteText("Gateway/autodialhost", m_gatewayInfo.autodialhost);
    user.WriteInt("Gateway/autodialport", m_autodialPort);
}

void CRegistry::WriteDUNInfo()
{
    CUserConfig user;
    user.WriteText("Connection/connection", m_dunInfo.connection);
}

void CRegistry::WriteMISCInfo()
{
    CUserConfig user;
    user.WriteInt("Misc/speed", m_speed);
    user.WriteInt("Misc/course", m_course);
    user.WriteInt("Misc/mapoffset", m_mapOffset);
    user.WriteText("Misc/units", m_units);
    user.WriteText("Misc/readme", m_readme);
    user.WriteBool("Misc/archive", m_archive);
    user.WriteText("Misc/xfer_rate", m_xferRate);
    user.WriteLong("Misc/evp", m_evPrevious);
}

void CRegistry::WriteInfo()
{
    WriteMISCInfo();
    WriteDUNInfo();
    WriteGatewayInfo();
}

void CRegistry::ReadRatePair(long* network, long* dialer) const
{
    // "%d %d": a number that is missing or unreadable counts as 0.
    *network = 0;
    *dialer = 0;
    wxString rest = m_xferRate;
    rest.Trim(false);
    const wxString first = rest.BeforeFirst(' ');
    wxString second = rest.AfterFirst(' ');
    second.Trim(false);
    second = second.BeforeFirst(' ');
    int value = 0;
    *network = tw::ParseInt(first, value) ? value : 0;
    *dialer = tw::ParseInt(second, value) ? value : 0;
}

int CRegistry::GetTransferRate()
{
    long network = 0;
    long dialer = 0;
    ReadRatePair(&network, &dialer);
    if (IsNetwork())
        return static_cast<int>(network != 0 ? network : kDefaultNetworkRate);
    return static_cast<int>(dialer != 0 ? dialer : kDefaultDialerRate);
}

void CRegistry::SetTransferRate(long rate)
{
    long network = 0;
    long dialer = 0;
    ReadRatePair(&network, &dialer);
    long& current = IsNetwork() ? network : dialer;
    if (current == rate)
        return;
    current = rate;
    m_xferRate = wxString::Format("%ld %ld", network, dialer);
    WriteMISCInfo();
}

bool CRegistry::IsNetwork() const
{
    return m_dunInfo.connection == kNetworkConnection;
}

bool CRegistry::ClearLoginValues()
{
    CUserConfig user;
    user.WriteText("Gateway/username", wxString());
    user.WriteText("Gateway/password", wxString());
    return true;
}

bool CRegistry::CacheLoginValues()
{
    if (m_gatewayInfo.username.empty() && m_gatewayInfo.password.empty())
        return false;
    std::lock_guard<std::recursive_mutex> lock(ConfigLock());
    {
        CUserConfig user;
        user.WriteText("Gateway/userstd", m_gatewayInfo.username);
        user.WriteText("Gateway/passstd", m_gatewayInfo.password);
        user.WriteLong("Gateway/cachestd", 1);
    }
    ClearLoginValues();
    return true;
}

bool CRegistry::RestoreLoginValues()
{
    CUserConfig user;
    if (user.ReadLong("Gateway/cachestd", 0) == 0)
        return false;
    user.WriteLong("Gateway/cachestd", 0);
    const bool hadUser = user.Has("Gateway/userstd");
    m_gatewayInfo.username = user.ReadText("Gateway/userstd", wxString());
    if (hadUser)
        user.DeleteEntry("Gateway/userstd");
    const bool hadPass = user.Has("Gateway/passstd");
    m_gatewayInfo.password = user.ReadText("Gateway/passstd", wxString());
    if (hadUser && hadPass)
        user.DeleteEntry("Gateway/passstd");
    user.WriteText("Gateway/username", m_gatewayInfo.username);
    user.WriteText("Gateway/password", m_gatewayInfo.password);
    return true;
}
